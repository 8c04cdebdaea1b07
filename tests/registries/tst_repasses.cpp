// The transfer-rate windows driven as a user drives them, against a real database:
// the standard rates of a year, the state and municipal exceptions, their keys, the
// years offered, the rates in reais and the municipality list that follows the state.
#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "registries/TfrmExcessaoEstadual.h"
#include "registries/TfrmExcessaoMunicipal.h"
#include "registries/TfrmRepasseMestre.h"
#include "rules/Anos.h"
#include "support/DataModule.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QTest>

using ui::Dialogs;

namespace {

constexpr int lavras = 3138203;
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

void digitaAno(ui::DbComboBox* box, const QString& ano)
{
    box->setFocus(Qt::MouseFocusReason);
    digita(box->lineEdit(), ano);
}

QList<QVariantList> linhas(const QString& sql)
{
    return db::Statement(DMPrincipal->IBDatabaseGeral, {sql}).selectAll();
}

QStringList titulos(ui::DbGrid* grid)
{
    QStringList out;
    for (int c = 0; c < grid->model()->columnCount(); ++c)
        out << grid->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

QStringList entradas(QComboBox* box)
{
    QStringList out;
    for (int i = 0; i < box->count(); ++i)
        out << box->itemText(i);
    return out;
}

// A save that the database refuses as a duplicate: the question, then "Registro
// Existente" alone, and the window still editing.
void recusadoComoDuplicado(db::Dataset& ds)
{
    const QList<Dialogs::Record>& r = Dialogs::records();
    QCOMPARE(r.size(), 2);
    QCOMPARE(r.at(0).text, confirma);
    QCOMPARE(r.at(1).text, QStringLiteral("Registro Existente"));
    QCOMPARE(ds.state(), db::DatasetState::Insert);
}

}  // namespace

class TestRepasses : public QObject {
    Q_OBJECT

    void mostra(QWidget* w)
    {
        FormAtivo = w;
        w->show();
        QVERIFY(QTest::qWaitForWindowActive(w));
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::freshDataModule(QStringLiteral("empty"));
        Dialogs::startScript();
    }
    void cleanup()
    {
        Dialogs::stopScript();
        delete DMPrincipal;
    }

    void theStandardRatesOfAYear()
    {
        TfrmRepasseMestre frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Repasse Padrão"));
        QCOMPARE(frm.DBBoxAno->items(), rules::yearList(2000, 2005));
        QCOMPARE(frm.DBBoxAno->items().first(), QStringLiteral("2000"));
        QCOMPARE(frm.DBBoxAno->toolTip(), QStringLiteral("Informe o ano de competência da pactuação"));
        const QList<QPair<QWidget*, QString>> nomes = {{frm.DBBoxAno, QStringLiteral("Ano Competência")},
                                                       {frm.DBEdit1, QStringLiteral("Valor Repasse Federal")},
                                                       {frm.DBEdit2, QStringLiteral("Valor Repasse Estadual")},
                                                       {frm.DBEdit3, QStringLiteral("Valor Repasse Municipal")}};
        for (const auto& [w, nome] : nomes)
            QCOMPARE(w->accessibleName(), nome);

        tecla(&frm, Qt::Key_F2);
        digitaAno(frm.DBBoxAno, QStringLiteral("2004"));
        tecla(&frm, Qt::Key_Tab);
        QCOMPARE(QApplication::focusWidget(), frm.DBEdit1);
        QTest::keyClicks(frm.DBEdit1, QStringLiteral("1,5"));
        tecla(&frm, Qt::Key_Return);
        QTest::keyClicks(frm.DBEdit2, QStringLiteral("0,5"));
        tecla(&frm, Qt::Key_Return);
        QTest::keyClicks(frm.DBEdit3, QStringLiteral("1234,5"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        QCOMPARE(linhas(QStringLiteral("select NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE, VL_REPASSE_ESTADUAL_MESTRE, "
                                       "VL_REPASSE_MUNICIPAL_MESTRE from TB_REPASSE_MESTRE")),
                 (QList<QVariantList>{{"2004", 1.5, 0.5, 1234.5}}));

        // In reais; while typed in, the plain number.
        QCOMPARE(frm.DBEdit1->text(), QStringLiteral("R$ 1,50"));
        QCOMPARE(frm.DBEdit2->text(), QStringLiteral("R$ 0,50"));
        QCOMPARE(frm.DBEdit3->text(), QStringLiteral("R$ 1.234,50"));
        tecla(&frm, Qt::Key_F3);
        frm.DBEdit3->setFocus(Qt::TabFocusReason);
        QCOMPARE(frm.DBEdit3->text(), QStringLiteral("1234,50"));
        tecla(&frm, Qt::Key_F6);
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(titulos(frm.dbgEdicao), (QStringList{"Ano Competência", "Valor Repasse Municipal", "Valor Repasse Estadual",
                                                      "Valor Repasse Federal"}));
        QCOMPARE(frm.dbgEdicao->model()->index(0, 1).data().toString(), QStringLiteral("R$ 1.234,50"));
        tecla(&frm, Qt::Key_F6);

        // One row per year.
        Dialogs::clearRecords();
        tecla(&frm, Qt::Key_F2);
        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2004"));
        QTest::keyClicks(frm.DBEdit1, QStringLiteral("2"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        recusadoComoDuplicado(DMPrincipal->TB_Repasse_Mestre);
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(linhas(QStringLiteral("select count(*) from TB_REPASSE_MESTRE")).at(0).at(0).toInt(), 1);

        // A year typed short is refused, saying why, and the window stays editing.
        Dialogs::clearRecords();
        tecla(&frm, Qt::Key_F2);
        digitaAno(frm.DBBoxAno, QStringLiteral("204"));
        tecla(&frm, Qt::Key_Tab);
        QTest::keyClicks(frm.DBEdit1, QStringLiteral("2"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::records().size(), 2);
        QCOMPARE(Dialogs::records().at(1).kind, Dialogs::Kind::Error);
        QCOMPARE(Dialogs::records().at(1).text,
                 QStringLiteral("Problema na Gravação !! ... operação cancelada\n\n"
                                "O campo \"Ano Competência\" deve conter o ano com quatro algarismos."));
        QCOMPARE(DMPrincipal->TB_Repasse_Mestre.state(), db::DatasetState::Insert);
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(linhas(QStringLiteral("select count(*) from TB_REPASSE_MESTRE")).at(0).at(0).toInt(), 1);
    }

    // A letter in a year is refused as it is typed, said once, never dropped in silence.
    void aYearTakesDigitsOnlyAndSaysSoOnce()
    {
        TfrmRepasseMestre frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        const int beeps = ui::beepCount();
        // As the keyboard does it: the keys reach the box.
        frm.DBBoxAno->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(frm.DBBoxAno, QStringLiteral("20a0b4"));
        QCOMPARE(frm.DBBoxAno->lineEdit()->text(), QStringLiteral("2004"));
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("O ano de competência aceita somente algarismos.")});
        QCOMPARE(ui::beepCount(), beeps + 2);
    }

    // A negative rate is refused, in one box, and nothing is written.
    void aNegativeRateIsRefused()
    {
        TfrmRepasseMestre frm;
        mostra(&frm);
        tecla(&frm, Qt::Key_F2);
        digitaAno(frm.DBBoxAno, QStringLiteral("2004"));
        tecla(&frm, Qt::Key_Tab);
        QTest::keyClicks(frm.DBEdit1, QStringLiteral("-0,25"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::records().size(), 2);
        QCOMPARE(Dialogs::records().at(1).text, QStringLiteral("Problema na Gravação !! ... operação cancelada\n\n"
                                                               "Valor inválido. O campo \"Valor Repasse Federal\" não aceita valor negativo."));
        QCOMPARE(DMPrincipal->TB_Repasse_Mestre.state(), db::DatasetState::Insert);
        QVERIFY(linhas(QStringLiteral("select * from TB_REPASSE_MESTRE")).isEmpty());
    }

    void aStateHasOneExceptionPerYear()
    {
        TfrmExcessaoEstadual frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Exceção de Repasse Padrão Estadual"));
        QCOMPARE(frm.DBBoxAno->items(), rules::yearList(2001, 2005));
        QCOMPARE(frm.DBBoxEstado->count(), 27);
        QCOMPARE(frm.DBBoxEstado->toolTip(), QStringLiteral("Informe a sigla da unidade da federação da pactuação"));
        QCOMPARE(frm.DBEdit1->accessibleName(), QStringLiteral("Valor Repasse"));
        const auto nova = [&](const QString& ano, const QString& valor) {
            tecla(&frm, Qt::Key_F2);
            support::chooseEntry(frm.DBBoxAno, ano);
            support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
            digita(frm.DBEdit1, valor);
            Dialogs::addAnswers({true});
            tecla(&frm, Qt::Key_F5);
        };
        nova(QStringLiteral("2004"), QStringLiteral("2"));
        nova(QStringLiteral("2005"), QStringLiteral("2,25"));
        QCOMPARE(Dialogs::texts(), (QStringList{confirma, confirma}));
        const QString todas = QStringLiteral("select NU_ANO_COMPET, CO_UF, VL_REPASSE_ESTADUAL_EXCESSAO "
                                             "from TB_REPASSE_ESTADUAL_EXCESSAO order by NU_ANO_COMPET");
        QCOMPARE(linhas(todas), (QList<QVariantList>{{"2004", "MG", 2.0}, {"2005", "MG", 2.25}}));
        QCOMPARE(frm.DBEdit1->text(), QStringLiteral("R$ 2,25"));

        Dialogs::clearRecords();
        nova(QStringLiteral("2005"), QStringLiteral("3"));
        recusadoComoDuplicado(DMPrincipal->TB_Repasse_Estadual_Excessao);
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(linhas(todas).size(), 2);
        tecla(&frm, Qt::Key_F10);
        QVERIFY(!DMPrincipal->TB_Unidade_Federacao.isActive());
        QVERIFY(!DMPrincipal->TB_Repasse_Estadual_Excessao.isActive());
    }

    // An exception without a rate is none: refused when saved, nothing written.
    void anExceptionWithoutARateIsRefused()
    {
        {
            TfrmExcessaoEstadual frm;
            mostra(&frm);
            tecla(&frm, Qt::Key_F2);
            support::chooseEntry(frm.DBBoxAno, QStringLiteral("2004"));
            support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
            Dialogs::addAnswers({true});
            tecla(&frm, Qt::Key_F5);
            QVERIFY2(Dialogs::texts().join(QLatin1Char('\n')).contains(QStringLiteral("O campo \"Valor Repasse\" deve ser informado.")),
                     qPrintable(Dialogs::texts().join(QLatin1Char('\n'))));
            QCOMPARE(DMPrincipal->TB_Repasse_Estadual_Excessao.state(), db::DatasetState::Insert);
            tecla(&frm, Qt::Key_F6);
            tecla(&frm, Qt::Key_F10);
        }
        Dialogs::clearRecords();
        {
            TfrmExcessaoMunicipal frm;
            mostra(&frm);
            tecla(&frm, Qt::Key_F2);
            support::chooseEntry(frm.DBBoxAno, QStringLiteral("2004"));
            support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
            support::chooseEntry(frm.DBBoxMunicipio, QStringLiteral("Lavras"));
            Dialogs::addAnswers({true});
            tecla(&frm, Qt::Key_F5);
            QVERIFY2(Dialogs::texts().join(QLatin1Char('\n')).contains(QStringLiteral("O campo \"Valor Repasse\" deve ser informado.")),
                     qPrintable(Dialogs::texts().join(QLatin1Char('\n'))));
            tecla(&frm, Qt::Key_F6);
            tecla(&frm, Qt::Key_F10);
        }
        QCOMPARE(linhas(QStringLiteral("select count(*) from TB_REPASSE_ESTADUAL_EXCESSAO")).at(0).at(0).toInt(), 0);
        QCOMPARE(linhas(QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO")).at(0).at(0).toInt(), 0);
    }

    void aMunicipalExceptionsMunicipalityIsOneOfItsState()
    {
        TfrmExcessaoMunicipal frm;
        mostra(&frm);
        QCOMPARE(frm.windowTitle(), QStringLiteral("Exceção de Repasse Padrão Municipal"));
        QCOMPARE(frm.DBBoxAno->items(), rules::yearList(2001, 2005));
        QCOMPARE(frm.DBBoxMunicipio->toolTip(), QStringLiteral("Informe o município da pactuação"));
        tecla(&frm, Qt::Key_F2);
        support::chooseEntry(frm.DBBoxAno, QStringLiteral("2004"));

        // The state box drives the municipality list, by name.
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("SP"));
        QStringList lista = entradas(frm.DBBoxMunicipio);
        QCOMPARE(lista.first(), QStringLiteral("Adamantina"));
        QVERIFY(lista.contains(QStringLiteral("São Paulo")));
        QVERIFY(!lista.contains(QStringLiteral("Lavras")));
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("MG"));
        lista = entradas(frm.DBBoxMunicipio);
        QCOMPARE(lista.first(), QStringLiteral("Abadia dos Dourados"));
        QVERIFY(lista.indexOf(QStringLiteral("Abaeté")) < lista.indexOf(QStringLiteral("Abre Campo")));
        QVERIFY(!lista.contains(QStringLiteral("São Paulo")));

        support::chooseEntry(frm.DBBoxMunicipio, QStringLiteral("Lavras"));
        digita(frm.DBEdit1, QStringLiteral("0,75"));
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{confirma});
        const QString todas = QStringLiteral("select NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_REPASSE_MUNICIPAL_EXCESSAO "
                                             "from TB_REPASSE_MUNICIPAL_EXCESSAO");
        QCOMPARE(linhas(todas), (QList<QVariantList>{{"2004", "MG", lavras, 0.75}}));

        // After the save the name is read from the city table; the identifier is no
        // column of the search grid.
        QCOMPARE(DMPrincipal->TB_Repasse_Municipal_ExcessaoNO_CIDADE->asString(), QStringLiteral("Lavras"));
        tecla(&frm, Qt::Key_F7);
        QCOMPARE(titulos(frm.dbgEdicao), (QStringList{"Ano de Competência", "UF", "Município", "Valor Repasse"}));
        QCOMPARE(frm.dbgEdicao->model()->index(0, 2).data().toString(), QStringLiteral("Lavras"));
        QCOMPARE(frm.dbgEdicao->model()->index(0, 3).data().toString(), QStringLiteral("R$ 0,75"));
        tecla(&frm, Qt::Key_F5);

        // Another state leaves the municipality box empty: Lavras is not saved under SP.
        Dialogs::clearRecords();
        tecla(&frm, Qt::Key_F3);
        support::chooseEntry(frm.DBBoxEstado, QStringLiteral("SP"));
        QCOMPARE(frm.DBBoxMunicipio->currentIndex(), -1);
        Dialogs::addAnswers({true});
        tecla(&frm, Qt::Key_F5);
        QCOMPARE(Dialogs::records().size(), 2);
        QVERIFY(Dialogs::records().at(1).text.startsWith(QStringLiteral("Problema na Gravação !! ... operação cancelada\n\n")));
        QVERIFY2(Dialogs::records().at(1).text.contains(QStringLiteral("Município")), qPrintable(Dialogs::records().at(1).text));
        QCOMPARE(DMPrincipal->TB_Repasse_Municipal_Excessao.state(), db::DatasetState::Edit);
        // Cancelar shows the stored exception, its state's municipalities listed.
        tecla(&frm, Qt::Key_F6);
        QCOMPARE(frm.DBBoxEstado->currentText(), QStringLiteral("MG"));
        QCOMPARE(frm.DBBoxMunicipio->currentText(), QStringLiteral("Lavras"));
        QCOMPARE(linhas(todas), (QList<QVariantList>{{"2004", "MG", lavras, 0.75}}));
    }
};

QTEST_MAIN(TestRepasses)
#include "tst_repasses.moc"
