// The monthly follow-up driven as a clerk drives it, against a real database: the month
// offered and its balance, the header saves, the page rules, the medication and document
// lines with their checks, the closing, and both kinds of installation.
#include "Acompanhamento.h"

#include "data/DMPrincipal.h"
#include "db/Connection.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "support/TestDatabase.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "tracking/TfrmExecucaoMunicipal.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QRadioButton>
#include <QTest>
#include <QThread>

#include <csignal>
#include <memory>

using namespace teste;
using ui::Dialogs;

namespace {

// The enabled state of Novo, Apagar, Confirmar, Cancelar and Sair.
QString botoes(const TfrmExecucaoMunicipal& f)
{
    QString s;
    for (QAction* a : {f.BbtInserir, f.BbtExcluir, f.BbtGravar, f.BbtCancelar, f.BbtSair})
        s += a->isEnabled() ? u'1' : u'0';
    return s;
}

QStringList itens(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QStringList botoesDoGrupo(const ui::DbRadioGroup* g)
{
    return g->items();
}

// The header of a month as stored: saldo anterior, federal, estadual, municipal,
// rendimentos, medicamentos, gastos, situacao, outros.
QVariantList gravado(int mes, int cidade = lavras)
{
    const QList<QVariantList> r =
        linhas(QStringLiteral("select VL_SALDO_ANTERIOR, VL_ALOC_FEDERAL, VL_ALOC_ESTADUAL, VL_ALOC_MUNICIPAL, "
                              "VL_RENDIMENTOS_APLICADOS, VL_ALOC_MED, VL_REC_GASTOS, SITUACAO, VL_TOT_OUTROS_PACTUADA "
                              "from TB_MOVIMENTO_MUNICIPIO where CO_CIDADE = :1 and NU_MES_COMPET = :2"),
               {cidade, QString::number(mes)});
    return r.isEmpty() ? QVariantList() : r.first();
}

int conta(const QString& tabela)
{
    return valor(QStringLiteral("select count(*) from ") + tabela).toInt();
}

// Types the seven figures of the financial page, in tab order.
void digitaFiguras(TfrmExecucaoMunicipal* f, const Figuras& v, bool comSaldo = true)
{
    if (comSaldo)
        digita(f->EdtSaldoAnterior, text::floatToText(v.saldoAnterior));
    digita(f->EdtRecAlocFederal, text::floatToText(v.federal));
    digita(f->EdtRecAlocEstadual, text::floatToText(v.estadual));
    digita(f->EdtRecAlocMunicipal, text::floatToText(v.municipal));
    digita(f->EdtRecAlocRendAplic, text::floatToText(v.rendimentos));
    digita(f->EdtRecMedAloc, text::floatToText(v.medicamentos));
    digita(f->EdtRecGastos, text::floatToText(v.gastos));
    sai(f);
}

const Figuras exemplo{100, 50, 10, 10, 5, 20, 150};

}  // namespace

class TestExecucao : public QObject {
    Q_OBJECT

    std::unique_ptr<TfrmExecucaoMunicipal> frm;

    TfrmExecucaoMunicipal* janela()
    {
        frm.reset(abre());
        return frm.get();
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init() { Dialogs::startScript(); }
    void cleanup()
    {
        frm.reset();
        Dialogs::stopScript();
        delete DMPrincipal;
        DMPrincipal = nullptr;
    }

    void firstUseOfTheYear()
    {
        instala();
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(f->windowTitle(), QStringLiteral("Acompanhamento Municipal       Ano : 2005   Estado : MG   "
                                                  "Município : Lavras   Pactuação : TDM"));
        QCOMPARE(f->EdtAnoCompetencia->text(), QStringLiteral("2005"));
        QCOMPARE(f->EditUF->text(), QStringLiteral("MG"));
        QCOMPARE(f->EdtMunicipio->text(), QStringLiteral("Lavras"));
        QVERIFY(f->EdtMunicipio->isVisible() && f->LblMunicipio->isVisible());
        QCOMPARE(itens(f->CBMes), text::monthNames());
        QCOMPARE(f->CBMes->currentIndex(), -1);
        QCOMPARE(botoes(*f), QStringLiteral("10001"));
        QVERIFY(!f->pnAjuda->isVisible());

        // No month, no other page.
        clicaAba(f, f->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->tbsprincipal);

        support::chooseEntry(f->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->tbsMovimentacao);
        QCOMPARE(f->windowTitle(), QStringLiteral("Acompanhamento Municipal       Ano : 2005   Estado : MG   Mes : Março   "
                                                  "Município : Lavras   Pactuação : TDM"));
        QVERIFY(!f->EdtSaldoAnterior->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), f->EdtSaldoAnterior);
        QVERIFY(f->GrpTotalMensal->isVisible());
        QCOMPARE(f->EdtMensalFederal->text(), QStringLiteral("100,00"));
        QCOMPARE(f->EdtMensalEstadual->text(), QStringLiteral("200,00"));
        QCOMPARE(f->EdtMensalMunicipal->text(), QStringLiteral("300,00"));

        digitaFiguras(f, exemplo);
        QCOMPARE(f->EdtTotal->text(), QStringLiteral("195,00"));
        QCOMPARE(f->EdtSaldoAtual->text(), QStringLiteral("45,00"));
        QVERIFY(f->BbtGravar->isEnabled());

        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        QCOMPARE(linhas(QStringLiteral("select VL_SALDO_MUNICIPIO, NU_MES_COMPET, CO_CIDADE from TB_SALDO_INICIAL_MUNICIPIO")),
                 (QList<QVariantList>{{100.0, QStringLiteral("3"), lavras}}));
        QCOMPARE(conta(QStringLiteral("TB_MOVIMENTO_MUNICIPIO")), 1);
        QCOMPARE(gravado(3), (QVariantList{100.0, 50.0, 10.0, 10.0, 5.0, 20.0, 150.0, QStringLiteral("1"), QVariant()}));
        QCOMPARE(botoes(*f).at(0), u'1');
        QVERIFY(!f->BbtGravar->isEnabled());
        QVERIFY(!f->BbtCancelar->isEnabled());
    }
};

QTEST_MAIN(TestExecucao)
#include "tst_execucao.moc"
