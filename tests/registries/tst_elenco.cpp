// "Relação Pactuada de Medicamentos" driven as a user drives it, against a real
// database: Novo, the name's length, the code's range, PACTUADA written as null, and
// the codes that follow-up lines or agreed lists still use.
#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "dbui/DataControls.h"
#include "forms/FormAtivo.h"
#include "registries/TfrmElencoMinimo.h"
#include "support/DataModule.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"

#include <QAction>
#include <QApplication>
#include <QRadioButton>
#include <QTest>

using ui::Dialogs;

namespace {

const QString confirma = QStringLiteral("Confirma a gravação do registro");

void tecla(QWidget* janela, int key)
{
    QWidget* alvo = QApplication::focusWidget() ? QApplication::focusWidget() : janela;
    QTest::keyClick(alvo, Qt::Key(key));
}

void digita(QLineEdit* e, const QString& texto)
{
    e->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(e, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Backspace);
    QTest::keyClicks(e, texto);
}

void exec(const QString& sql)
{
    db::Statement(DMPrincipal->IBDatabaseGeral, {sql}).exec();
}

QList<QVariantList> medicamento(int codigo)
{
    db::Statement s(DMPrincipal->IBDatabaseGeral,
                    {QStringLiteral("select CO_SEQ_MEDICAMENTO, DS_MEDICAMENTO, PACTUADA, ST_ELENCO_MINIMO "
                                    "from TB_ELENCO_MINIMO where CO_SEQ_MEDICAMENTO = :C")});
    s.setParam(QStringLiteral("C"), codigo);
    return s.selectAll();
}

}  // namespace

class TestElenco : public QObject {
    Q_OBJECT

    void mostra(QWidget* w)
    {
        FormAtivo = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }
    void vaiPara(int codigo)
    {
        QVERIFY(DMPrincipal->Tb_Elenco_Minimo.locate(QStringLiteral("CO_SEQ_MEDICAMENTO"), codigo));
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::freshDataModule(QStringLiteral("empty"));
        Dialogs::startScript();
        // A medication no state has agreed yet.
        exec(QStringLiteral("insert into TB_ELENCO_MINIMO (CO_SEQ_MEDICAMENTO, DS_MEDICAMENTO, PACTUADA, ST_ELENCO_MINIMO) "
                            "values (45, 'Sulfato de zinco 10 mg comprimido', 'S', 'N')"));
    }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
    }

    void novoPreselectsSimAndStartsOnTheCode()
    {
        TfrmElencoMinimo frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Relação Pactuada de Medicamentos"));
        QCOMPARE(frm.dbeDS_MEDICAMENTO->accessibleName(), QStringLiteral("Descrição"));
        QCOMPARE(frm.dbeCO_SEQ_MEDICAMENTO->accessibleName(), QStringLiteral("Código"));
        QCOMPARE(frm.DBRadioGroup2->title(), QStringLiteral("Elenco Mínimo ?"));
        QCOMPARE(frm.DBRadioGroup2->items(), (QStringList{"Sim", "Não"}));
        // Side by side, the name first in tab order.
        QCOMPARE(frm.DBRadioGroup2->button(0)->y(), frm.DBRadioGroup2->button(1)->y());
        QCOMPARE(frm.dbeDS_MEDICAMENTO->nextInFocusChain(), frm.dbeCO_SEQ_MEDICAMENTO);

        tecla(&frm, Qt::Key_F2);
        QCOMPARE(QApplication::focusWidget(), frm.dbeCO_SEQ_MEDICAMENTO);
        QVERIFY(frm.DBRadioGroup2->button(0)->isChecked());
        QCOMPARE(frm.DBRadioGroup2->value(), QStringLiteral("S"));
        QTest::keyClicks(frm.dbeCO_SEQ_MEDICAMENTO, QStringLiteral("46"));

        // The name takes 80 characters and no more.
        frm.dbeDS_MEDICAMENTO->setFocus(Qt::BacktabFocusReason);
        QTest::keyClicks(frm.dbeDS_MEDICAMENTO, QString(81, u'x'));
        QCOMPARE(frm.dbeDS_MEDICAMENTO->text(), QString(80, u'x'));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QCOMPARE(medicamento(46), (QList<QVariantList>{{46, QString(80, u'x'), QVariant(), "S"}}));
    }

    void savingAnEditedMedicationWritesPactuadaAsNull()
    {
        TfrmElencoMinimo frm;
        mostra(&frm);
        vaiPara(45);
        QCOMPARE(frm.DBRadioGroup2->itemIndex(), 1);
        tecla(&frm, Qt::Key_F3);
        QTest::mouseClick(frm.DBRadioGroup2->button(0), Qt::LeftButton);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QCOMPARE(medicamento(45), (QList<QVariantList>{{45, "Sulfato de zinco 10 mg comprimido", QVariant(), "S"}}));
    }

    void theCodeIsASmallWholeNumber_data()
    {
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<bool>("aceito");
        QTest::newRow("the largest") << "32767" << true;
        QTest::newRow("the smallest") << "-32768" << true;
        QTest::newRow("above") << "32768" << false;
        QTest::newRow("below") << "-32769" << false;
        QTest::newRow("a fraction") << "12,5" << false;
    }
    void theCodeIsASmallWholeNumber()
    {
        QFETCH(QString, codigo);
        QFETCH(bool, aceito);
        TfrmElencoMinimo frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        QTest::keyClicks(frm.dbeCO_SEQ_MEDICAMENTO, codigo);
        digita(frm.dbeDS_MEDICAMENTO, QStringLiteral("Teste"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        const QList<QVariantList> gravados =
            db::Statement(DMPrincipal->IBDatabaseGeral,
                          {QStringLiteral("select CO_SEQ_MEDICAMENTO from TB_ELENCO_MINIMO where DS_MEDICAMENTO = 'Teste'")})
                .selectAll();
        if (aceito) {
            QCOMPARE(Dialogs::texts(), QStringList{confirma});
            QCOMPARE(gravados, (QList<QVariantList>{{codigo.toInt()}}));
            return;
        }
        // Refused with the data layer's words, naming the value and the field.
        const QList<Dialogs::Record>& r = Dialogs::records();
        QCOMPARE(r.size(), 2);
        QCOMPARE(r.at(1).kind, Dialogs::Kind::Error);
        QCOMPARE(r.at(1).text, QStringLiteral("Problema na Gravação !! ... operação cancelada\n\n"
                                              "\"%1\" não é um valor válido para o campo \"Codigo\".").arg(codigo));
        QCOMPARE(DMPrincipal->Tb_Elenco_Minimo.state(), db::DatasetState::Insert);
        QVERIFY(gravados.isEmpty());
    }

    void aCodeInUseIsNeitherChangedNorDeleted()
    {
        // One follow-up line records medication 45.
        exec(QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                            "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                            "values ('2024', 'MG', 3138203, '1', 45, 10, 1, 10, 'M')"));
        TfrmElencoMinimo frm;
        mostra(&frm);
        vaiPara(45);
        const QList<QVariantList> antes = medicamento(45);

        tecla(&frm, Qt::Key_F3);
        digita(frm.dbeCO_SEQ_MEDICAMENTO, QStringLiteral("46"));
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(),
                 QStringList{QStringLiteral("O código 45 não pode ser alterado porque ainda é usado por 1 lançamento de "
                                            "Execução Física do acompanhamento. Altere só a descrição ou o elenco mínimo, "
                                            "ou cancele a alteração.")});
        QCOMPARE(DMPrincipal->Tb_Elenco_Minimo.state(), db::DatasetState::Edit);
        QCOMPARE(frm.dbeCO_SEQ_MEDICAMENTO->text(), QStringLiteral("46"));
        QVERIFY(medicamento(46).isEmpty());
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(medicamento(45), antes);

        Dialogs::clearRecords();
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(),
                 QStringList{QStringLiteral("O medicamento \"Sulfato de zinco 10 mg comprimido\" não pode ser excluído "
                                            "porque ainda é usado por 1 lançamento de Execução Física do acompanhamento.")});
        QCOMPARE(medicamento(45), antes);

        // A medication of the states' agreed lists stays too.
        Dialogs::clearRecords();
        vaiPara(1);
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts().size(), 1);
        QVERIFY2(Dialogs::texts().at(0).endsWith(QStringLiteral("porque ainda é usado pela relação pactuada de 27 estados "
                                                                "(AC, AL, AM, AP, BA, CE, DF, ES, GO, MA, MG, MS, MT, PA, PB, "
                                                                "PE, PI, PR, RJ, RN, RO, RR, RS, SC, SE, SP e TO).")),
                 qPrintable(Dialogs::texts().at(0)));
        QCOMPARE(medicamento(1).size(), 1);

        // Once nothing uses it, the code moves and then the medication goes.
        exec(QStringLiteral("delete from TB_EXECUCAO_FISICA_MUNICIPIO"));
        Dialogs::clearRecords();
        vaiPara(45);
        tecla(&frm, Qt::Key_F3);
        digita(frm.dbeCO_SEQ_MEDICAMENTO, QStringLiteral("46"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QVERIFY(medicamento(45).isEmpty());
        QCOMPARE(medicamento(46).size(), 1);
        Dialogs::clearRecords();
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Você deseja realmente excluir este registro?")});
        QVERIFY(medicamento(46).isEmpty());
    }
};

QTEST_MAIN(TestElenco)
#include "tst_elenco.moc"
