// The monthly follow-up driven as a clerk drives it, against a real database: the month
// offered and its balance, the header saves, the page rules, the medication and document
// lines with their checks, the closing, and both kinds of installation.
#include "Acompanhamento.h"

#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"

#include "data/AlteracoesIncentivo.h"
#include "data/DMPrincipal.h"
#include "db/Connection.h"
#include "db/LockTimeout.h"
#include "db/Statement.h"
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
#include <QTimer>
#include <QToolButton>

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

// The payees of the document tests: CNPJs with valid check digits.
const QString cnpjA = QStringLiteral("11222333000181");
const QString cnpjB = QStringLiteral("44321111000175");
const QString cnpjC = QStringLiteral("60660660000120");
const QString cnpjSes = QStringLiteral("19100000000191");

const QString aspirina = QStringLiteral("Ácido acetilsalicílico 100 mg comprimido");  // minimum list
const QString amitriptilina = QStringLiteral("Amitriptilina 25 mg comprimido");     // another agreed one

void clica(QWidget* w)
{
    QTest::mouseClick(w, Qt::LeftButton);
}

void clicaBotao(TfrmExecucaoMunicipal* f, QAction* a)
{
    QTest::mouseClick(f->button(a), Qt::LeftButton);
}

// Clicks the grid's row as a user picks a line.
void selecionaLinha(ui::DbGrid* grid, int row)
{
    const QRect r = grid->visualRect(grid->model()->index(row, 0));
    QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, r.center());
}

// The row of the grid whose field has the value.
int linhaCom(db::Dataset& ds, const QString& campo, const QVariant& v)
{
    for (int r = 0; r < ds.recordCount(); ++r)
        if (ds.rowValue(r, ds.fieldByName(campo)) == v)
            return r;
    return -1;
}

bool focoEm(QWidget* w)
{
    QWidget* foco = QApplication::focusWidget();
    return foco && (foco == w || w->isAncestorOf(foco));
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
        digita(f->paginas->EdtSaldoAnterior, text::floatToText(v.saldoAnterior));
    digita(f->paginas->EdtRecAlocFederal, text::floatToText(v.federal));
    digita(f->paginas->EdtRecAlocEstadual, text::floatToText(v.estadual));
    digita(f->paginas->EdtRecAlocMunicipal, text::floatToText(v.municipal));
    digita(f->paginas->EdtRecAlocRendAplic, text::floatToText(v.rendimentos));
    digita(f->paginas->EdtRecMedAloc, text::floatToText(v.medicamentos));
    digita(f->paginas->EdtRecGastos, text::floatToText(v.gastos));
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
        // A test that shortened the lock timeout and failed half-way leaves the others the usual one.
        db::setLockTimeout(db::defaultLockTimeout);
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
        QCOMPARE(f->paginas->EdtAnoCompetencia->text(), QStringLiteral("2005"));
        QCOMPARE(f->paginas->EditUF->text(), QStringLiteral("MG"));
        QCOMPARE(f->paginas->EdtMunicipio->text(), QStringLiteral("Lavras"));
        QVERIFY(f->paginas->EdtMunicipio->isVisible() && f->paginas->LblMunicipio->isVisible());
        QCOMPARE(itens(f->paginas->CBMes), text::monthNames());
        QCOMPARE(f->paginas->CBMes->currentIndex(), -1);
        QCOMPARE(botoes(*f), QStringLiteral("10001"));
        QVERIFY(!f->pnAjuda->isVisible());

        // No month, no other page.
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->tbsprincipal);

        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsMovimentacao);
        QCOMPARE(f->windowTitle(), QStringLiteral("Acompanhamento Municipal       Ano : 2005   Estado : MG   Mes : Março   "
                                                  "Município : Lavras   Pactuação : TDM"));
        QVERIFY(!f->paginas->EdtSaldoAnterior->isReadOnly());
        QCOMPARE(QApplication::focusWidget(), f->paginas->EdtSaldoAnterior);
        QVERIFY(f->paginas->GrpTotalMensal->isVisible());
        QCOMPARE(f->paginas->EdtMensalFederal->text(), QStringLiteral("100,00"));
        QCOMPARE(f->paginas->EdtMensalEstadual->text(), QStringLiteral("200,00"));
        QCOMPARE(f->paginas->EdtMensalMunicipal->text(), QStringLiteral("300,00"));

        digitaFiguras(f, exemplo);
        QCOMPARE(f->paginas->EdtTotal->text(), QStringLiteral("195,00"));
        QCOMPARE(f->paginas->EdtSaldoAtual->text(), QStringLiteral("45,00"));
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

    // Under the monthly incentive, a line says when the year's pacts changed after its
    // calculation.
    void aStaleIncentiveIsSaidUnderTheMonthlyIncentive()
    {
        instala();
        // As the year's calculation records itself.
        data::registraCalculoIncentivo(DMPrincipal->IBDatabaseGeral, ano);
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QVERIFY(f->paginas->GrpTotalMensal->isVisible());
        QVERIFY(!f->paginas->LblIncentivoDesatualizado->isVisible());

        executa(QStringLiteral("update TB_CIDADE_PACTUACAO set QT_POPULACAO = 1 where CO_CIDADE = 3138203"));
        clicaAba(f, f->tbsprincipal);
        clicaAba(f, f->paginas->tbsMovimentacao);
        QVERIFY(f->paginas->LblIncentivoDesatualizado->isVisible());
        const QString linha = f->paginas->LblIncentivoDesatualizado->text();
        QVERIFY2(linha.startsWith(QStringLiteral("Incentivo de 2005 desatualizado: calculado em ")) &&
                     linha.contains(QStringLiteral(", antes destas alterações: Pactuações em ")),
                 qPrintable(linha));
        QCOMPARE(f->paginas->EdtMensalFederal->text(), QStringLiteral("100,00"));
        const QString pasta = qEnvironmentVariable("KORVA_SHOTS");
        if (!pasta.isEmpty())
            f->grab().save(pasta + QStringLiteral("/acompanhamento-desatualizado.png"));
    }

    void theMenuOpensTheWindow()
    {
        instala();
        delete DMPrincipal;
        DMPrincipal = nullptr;
        QVERIFY(inicializacao::criaObjetosGlobais());
        QString titulo;
        QTimer::singleShot(0, [&] {
            if (auto* j = qobject_cast<TfrmExecucaoMunicipal*>(FormAtivo.data())) {
                titulo = j->windowTitle();
                j->close();
            }
        });
        frmPrincipal->Municipal1->trigger();
        QVERIFY2(titulo.startsWith(QStringLiteral("Acompanhamento Municipal       Ano : 2005")), qPrintable(titulo));
        QVERIFY(Dialogs::texts().isEmpty());
        inicializacao::destroiObjetosGlobais();
    }

    void aSecondSaveOfTheYearsFirstMonth()
    {
        instala();
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Janeiro"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        digitaFiguras(f, {100, 10, 0, 0, 0, 0, 0});
        Dialogs::addAnswers({true, true});
        tecla(f, Qt::Key_F5);
        // A later save of the same month: the initial balance follows the typed balance,
        // the header is updated, and nothing is said but the question.
        digita(f->paginas->EdtSaldoAnterior, QStringLiteral("120"));
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("15"));
        sai(f);
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList(2, QStringLiteral("Confirma a gravação do registro ?")));
        QCOMPARE(linhas(QStringLiteral("select VL_SALDO_MUNICIPIO, NU_MES_COMPET from TB_SALDO_INICIAL_MUNICIPIO")),
                 (QList<QVariantList>{{120.0, QStringLiteral("1")}}));
        QCOMPARE(gravado(1).mid(0, 2), (QVariantList{120.0, 15.0}));
        // Arriving on a detail page saves once more, without a word.
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsExecucaoFisica);
        QCOMPARE(Dialogs::texts().size(), 2);
        QCOMPARE(conta(QStringLiteral("TB_MOVIMENTO_MUNICIPIO")), 1);
    }

    void anOpenMonthIsOfferedAloneWithItsFigures()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), exemplo);
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Março")});
        QCOMPARE(f->paginas->CBMes->currentText(), QStringLiteral("Março"));
        QCOMPARE(f->paginas->EdtRecAlocFederal->text(), QStringLiteral("50,00"));
        QCOMPARE(f->paginas->EdtRecGastos->text(), QStringLiteral("150,00"));
        QCOMPARE(f->paginas->EdtTotal->text(), QStringLiteral("195,00"));
        QCOMPARE(botoes(*f), QStringLiteral("10001"));
        // The year's only header: its balance brought forward may still be typed.
        clicaAba(f, f->paginas->tbsMovimentacao);
        QVERIFY(!f->paginas->EdtSaldoAnterior->isReadOnly());
        QCOMPARE(f->paginas->EdtSaldoAnterior->value(), 100.0);
    }

    void afterClosingMarchOnlyAprilWithTheBalanceCarried()
    {
        instala();
        saldoInicial(100, 1);
        cabecalho(1, QStringLiteral("3"), {100, 0, 0, 0, 0, 0, 0});
        cabecalho(2, QStringLiteral("2"), {100, 0, 0, 0, 0, 0, 0});
        cabecalho(3, QStringLiteral("2"), exemplo);
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Abril")});
        clicaAba(f, f->paginas->tbsMovimentacao);
        // March's balance, allocations and medications less its spending; not its income.
        QVERIFY(f->paginas->EdtSaldoAnterior->isReadOnly());
        QCOMPARE(f->paginas->EdtSaldoAnterior->text(), QStringLiteral("40,00"));
        QVERIFY(focoEm(f->paginas->EdtRecAlocFederal));
    }

    void theWorkedMonthClosesAndCarriesItsBalance()
    {
        instala();
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        digitaFiguras(f, exemplo);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        // The month's lines and documents agree with it.
        medicamento(3, 1, 100, 1.3);
        medicamento(3, 37, 20, 1);
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("1"), 130);
        documento(3, QStringLiteral("G"), cnpjSes, QStringLiteral("2"), 20, QStringLiteral("5"));
        Dialogs::clearRecords();
        Dialogs::addAnswers({true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), (QStringList{QStringLiteral("Confirma Fechamento do mês ?"), QStringLiteral("Fechamento Efetuado")}));
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("2"));
        QCOMPARE(valor(QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO where NU_MES_COMPET = '3'")).toDate(),
                 QDate::currentDate());
        // The next month is offered at once, with the balance carried.
        QCOMPARE(f->pgEdicao->currentPage(), f->tbsprincipal);
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Abril")});
        QCOMPARE(botoes(*f), QStringLiteral("10001"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtSaldoAnterior->text(), QStringLiteral("40,00"));
    }

    void spentMoreThanTheTotal_data()
    {
        QTest::addColumn<bool>("pelaAba");
        QTest::newRow("on Confirmar") << false;
        QTest::newRow("on the medications' tab") << true;
    }
    void spentMoreThanTheTotal()
    {
        QFETCH(bool, pelaAba);
        instala();
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        digitaFiguras(f, {100, 50, 10, 10, 5, 20, 200});
        QCOMPARE(f->paginas->EdtSaldoAtual->text(), QStringLiteral("-5,00"));
        if (pelaAba)
            clicaAba(f, f->paginas->tbsExecucaoFisica);
        else
            tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado\n"
                                                              "Recursos Gastos: 200,00 — Total Alocado: 195,00")});
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsMovimentacao);
        QVERIFY(focoEm(f->paginas->EdtRecGastos));
        QCOMPARE(conta(QStringLiteral("TB_MOVIMENTO_MUNICIPIO")), 0);
        QCOMPARE(conta(QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO")), 0);
    }

    void aNegativeFigureIsUndone()
    {
        instala();
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("50"));
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("-5"));
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Valor Negativo não permitido")});
        QCOMPARE(f->paginas->EdtRecAlocFederal->value(), 50.0);
        QVERIFY(focoEm(f->paginas->EdtRecAlocFederal));
        QCOMPARE(f->paginas->EdtTotal->value(), 50.0);
    }

    void anInitialBalanceWithoutHeadersIsBroughtForward()
    {
        // The year's initial balance was recorded before any month: any month may be
        // chosen, and it brings that balance forward, read-only. Saving twice updates.
        instala();
        saldoInicial(80, 2);
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(f->paginas->CBMes->count(), 12);
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Fevereiro"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QVERIFY(f->paginas->EdtSaldoAnterior->isReadOnly());
        QCOMPARE(f->paginas->EdtSaldoAnterior->text(), QStringLiteral("80,00"));
        Dialogs::addAnswers({true, true});
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("10"));
        sai(f);
        tecla(f, Qt::Key_F5);
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("20"));
        sai(f);
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList(2, QStringLiteral("Confirma a gravação do registro ?")));
        QCOMPARE(conta(QStringLiteral("TB_MOVIMENTO_MUNICIPIO")), 1);
        QCOMPARE(gravado(2).mid(0, 2), (QVariantList{80.0, 20.0}));
        QCOMPARE(linhas(QStringLiteral("select VL_SALDO_MUNICIPIO, NU_MES_COMPET from TB_SALDO_INICIAL_MUNICIPIO")),
                 (QList<QVariantList>{{80.0, QStringLiteral("2")}}));
    }

    void switchingDetailPagesSavesTheHeaderEachTime()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), exemplo);
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsMovimentacao);
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        for (QWidget* pagina : {f->paginas->tbsFonteComprovacao, f->paginas->tbsExecucaoFisica}) {
            executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_ALOC_FEDERAL = 999"));
            clicaAba(f, pagina);
            QCOMPARE(f->pgEdicao->currentPage(), pagina);
            QCOMPARE(gravado(3).at(1), QVariant(50.0));
        }
        QVERIFY(Dialogs::texts().isEmpty());
    }

    void monthNumberStored_data()
    {
        QTest::addColumn<QString>("mes");
        QTest::addColumn<QString>("numero");
        QTest::newRow("January") << "Janeiro" << "1";
        QTest::newRow("October") << "Outubro" << "10";
        QTest::newRow("December") << "Dezembro" << "12";
    }
    void monthNumberStored()
    {
        QFETCH(QString, mes);
        QFETCH(QString, numero);
        instala();
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, mes);
        clicaAba(f, f->paginas->tbsMovimentacao);
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("1"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(valor(QStringLiteral("select NU_MES_COMPET from TB_MOVIMENTO_MUNICIPIO")).toString(), numero);
        QCOMPARE(valor(QStringLiteral("select NU_MES_COMPET from TB_SALDO_INICIAL_MUNICIPIO")).toString(), numero);
    }

    void aStateInstallation()
    {
        instala(0);
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(f->windowTitle(), QStringLiteral("Acompanhamento Estadual        Ano : 2005   Estado : MG"));
        QVERIFY(!f->paginas->EdtMunicipio->isVisible());
        QVERIFY(!f->paginas->LblMunicipio->isVisible());
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Janeiro"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->windowTitle(), QStringLiteral("Acompanhamento Estadual        Ano : 2005   Estado : MG   Mes : Janeiro"));
        QVERIFY(!f->paginas->GrpTotalMensal->isVisible());
        // No delivery notes at a state: its medications allocated stay 0.
        QVERIFY(f->paginas->EdtRecMedAloc->isReadOnly());
        QCOMPARE(f->paginas->EdtRecMedAloc->text(), QStringLiteral("0,00"));
        digita(f->paginas->EdtSaldoAnterior, QStringLiteral("10"));
        sai(f);
        Dialogs::addAnswers({true, true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(gravado(1, 0).value(0), QVariant(10.0));
        QCOMPARE(valor(QStringLiteral("select CO_CIDADE from TB_SALDO_INICIAL_MUNICIPIO")), QVariant(0));

        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QVERIFY(!f->paginas->DBOrigem->isVisible());
        tecla(f, Qt::Key_F2);
        support::chooseEntry(f->paginas->DBLookupMedicamento, aspirina);
        digita(f->paginas->DBEdit1, QStringLiteral("2"));
        digita(f->paginas->DBEdit2, QStringLiteral("1"));
        sai(f);
        tecla(f, Qt::Key_F5);
        QCOMPARE(linhas(QStringLiteral("select CO_CIDADE, ST_ORIGEM, VL_TOTAL from TB_EXECUCAO_FISICA_MUNICIPIO")),
                 (QList<QVariantList>{{0, QStringLiteral("E"), 2.0}}));

        tecla(f, Qt::Key_F6);
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        QCOMPARE(f->paginas->DBTipoDocumento->items(),
                 (QStringList{QStringLiteral("Nota Fiscal"), QStringLiteral("Empenho"), QStringLiteral("Depósito")}));
        QCOMPARE(f->paginas->DBTipoFavorecido->items(), (QStringList{QStringLiteral("Distribuidora"), QStringLiteral("Drogaria/Farmácia"),
                                                            QStringLiteral("Industria Privada"), QStringLiteral("Industria Pública")}));
    }

    void aMedicationLine_data()
    {
        QTest::addColumn<QString>("medicamento");
        QTest::addColumn<bool>("elencoMinimo");
        QTest::newRow("of the minimum list") << aspirina << true;
        QTest::newRow("another agreed medication") << amitriptilina << false;
    }
    void aMedicationLine()
    {
        QFETCH(QString, medicamento);
        QFETCH(bool, elencoMinimo);
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"), {10, 0, 0, 0, 0, 0, 0});
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(botoes(*f), QStringLiteral("11001"));
        tecla(f, Qt::Key_F2);
        QCOMPARE(f->Tb_Execucao_Fisica_Municipio.state(), db::DatasetState::Insert);
        QCOMPARE(botoes(*f), QStringLiteral("00111"));
        QCOMPARE(f->paginas->DBOrigem->value(), QStringLiteral("M"));
        QVERIFY(focoEm(f->paginas->DBLookupMedicamento));
        support::chooseEntry(f->paginas->DBLookupMedicamento, medicamento);
        digita(f->paginas->DBEdit1, QStringLiteral("0,5"));
        digita(f->paginas->DBEdit2, QStringLiteral("3"));
        sai(f);
        QCOMPARE(f->paginas->DBEdit3->text(), QStringLiteral("1,50"));

        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        QCOMPARE(linhas(QStringLiteral("select QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM, CO_SEQ_MED, NU_MES_COMPET "
                                       "from TB_EXECUCAO_FISICA_MUNICIPIO")),
                 (QList<QVariantList>{{3, 0.5, 1.5, QStringLiteral("M"), 1, QStringLiteral("3")}}));
        QCOMPARE(f->paginas->EdtTotalElencoMinimo->text(), elencoMinimo ? QStringLiteral("1,50") : QStringLiteral("0,00"));
        QCOMPARE(f->paginas->EdtPactuada->text(), elencoMinimo ? QStringLiteral("0,00") : QStringLiteral("1,50"));
        QCOMPARE(f->paginas->EdtTotalGeralExecFis->text(), QStringLiteral("1,50"));
        QCOMPARE(gravado(3).at(8), QVariant(elencoMinimo ? 0.0 : 1.5));
        // The next line is already being typed, and the page cannot be left.
        QCOMPARE(f->Tb_Execucao_Fisica_Municipio.state(), db::DatasetState::Insert);
        QCOMPARE(botoes(*f), QStringLiteral("00111"));
        QVERIFY(!f->paginas->DBGridExecucao->isEnabled());
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Mudança não permitida ... Atualização pendente !!"));
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsExecucaoFisica);
        tecla(f, Qt::Key_F6);
        QCOMPARE(botoes(*f), QStringLiteral("11001"));
        QVERIFY(f->paginas->DBGridExecucao->isEnabled());
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsFonteComprovacao);
    }

    void aMedicationLineIncomplete_data()
    {
        QTest::addColumn<QString>("unitario");
        QTest::addColumn<QString>("quantidade");
        QTest::addColumn<QString>("mensagem");
        QTest::addColumn<QString>("foco");
        QTest::newRow("no quantity") << "0,5" << "" << "informe a Quantidade" << "DBEdit2";
        QTest::newRow("a zero quantity") << "0,5" << "0" << "informe a Quantidade" << "DBEdit2";
        QTest::newRow("no unit price") << "" << "3" << "informe o Valor Unitário" << "DBEdit1";
        QTest::newRow("a zero unit price") << "0" << "3" << "informe o Valor Unitário" << "DBEdit1";
    }
    void aMedicationLineIncomplete()
    {
        QFETCH(QString, unitario);
        QFETCH(QString, quantidade);
        QFETCH(QString, mensagem);
        QFETCH(QString, foco);
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        tecla(f, Qt::Key_F2);
        support::chooseEntry(f->paginas->DBLookupMedicamento, aspirina);
        digita(f->paginas->DBEdit1, unitario);
        digita(f->paginas->DBEdit2, quantidade);
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().last(), mensagem);
        QCOMPARE(QApplication::focusWidget()->objectName(), foco);
        QCOMPARE(f->Tb_Execucao_Fisica_Municipio.state(), db::DatasetState::Insert);
        QCOMPARE(conta(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO")), 0);
    }

    void typedValuesThatDoNotConvert()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        tecla(f, Qt::Key_F2);
        digita(f->paginas->DBEdit1, QStringLiteral("1,2,3"));
        sai(f);
        QCOMPARE(Dialogs::records().size(), 1);
        QCOMPARE(Dialogs::records().first().text, QStringLiteral("Valor inválido."));
        QCOMPARE(Dialogs::records().first().title, QStringLiteral("Erro"));
        QTRY_VERIFY(focoEm(f->paginas->DBEdit1));
        Dialogs::clearRecords();
        tecla(f, Qt::Key_F6);

        clicaAba(f, f->paginas->tbsFonteComprovacao);
        tecla(f, Qt::Key_F2);
        digita(f->paginas->DBEdit7, QStringLiteral("31022005"));
        sai(f);
        QCOMPARE(Dialogs::records().size(), 1);
        QCOMPARE(Dialogs::records().first().text, QStringLiteral("Data inválida."));
        QCOMPARE(Dialogs::records().first().title, QStringLiteral("Erro"));
        QTRY_VERIFY(focoEm(f->paginas->DBEdit7));
        // Saving with the focus in an empty date is refused too.
        Dialogs::clearRecords();
        f->paginas->DBEdit7->clear();
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Data Inválida"));
        QVERIFY(focoEm(f->paginas->DBEdit7));
    }

    void documentChecks_data()
    {
        QTest::addColumn<int>("tipoDoc");
        QTest::addColumn<int>("tipoFav");
        QTest::addColumn<QString>("favorecido");
        QTest::addColumn<QString>("numero");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("mensagem");  // empty: saved
        QTest::addColumn<QString>("foco");
        QTest::newRow("no document type") << -1 << -1 << cnpjC << "9" << "10" << "Informe o Tipo do Documento !!" << "DBTipoDocumento";
        QTest::newRow("no payee type") << 0 << -1 << cnpjC << "9" << "10" << "Informe o Tipo do Favorecido !!" << "DBTipoFavorecido";
        QTest::newRow("a delivery note from a distributor")
            << 3 << 0 << cnpjC << "9" << "10" << "Tipo Favorecido só pode ser SES" << "DBTipoFavorecido";
        QTest::newRow("no value") << 0 << 0 << cnpjC << "9" << "" << "informe o Valor" << "DBEdit6";
        QTest::newRow("fourteen zeros") << 0 << 0 << "00000000000000" << "9" << "10" << "identificação Inválida" << "DBEdit4";
        QTest::newRow("a wrong last digit") << 0 << 0 << "11222333000182" << "9" << "10" << "Identificação Inválida !!" << "DBEdit4";
        QTest::newRow("the number of that payee, elsewhere")
            << 0 << 0 << cnpjA << "123" << "10" << "Documento já lançado para este favorecido" << "DBEdit5";
        QTest::newRow("that payee with another type")
            << 0 << 1 << cnpjA << "456" << "10" << "Favorecido já lançado com outro tipo" << "DBEdit4";
        QTest::newRow("a deposit for a payee with a type")
            << 2 << -1 << cnpjA << "789" << "10" << "Favorecido já lançado com outro tipo" << "DBEdit4";
        QTest::newRow("a deposit for a payee of deposits") << 2 << -1 << cnpjB << "DEP2" << "10" << "" << "";
        QTest::newRow("an invoice") << 0 << 0 << cnpjC << "9" << "10,5" << "" << "";
        QTest::newRow("a delivery note") << 3 << -1 << cnpjSes << "GR1" << "10" << "" << "";
    }
    void documentChecks()
    {
        QFETCH(int, tipoDoc);
        QFETCH(int, tipoFav);
        QFETCH(QString, favorecido);
        QFETCH(QString, numero);
        QFETCH(QString, valor);
        QFETCH(QString, mensagem);
        QFETCH(QString, foco);
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        // Payee A's invoice 123 in another municipality and year; payee B on deposits only.
        documento(5, QStringLiteral("N"), cnpjA, QStringLiteral("123"), 10, QStringLiteral("1"), 3100203, QStringLiteral("2004"));
        documento(2, QStringLiteral("D"), cnpjB, QStringLiteral("DEP1"), 5, QString());
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        QVERIFY(focoEm(f->paginas->DBTipoDocumento));
        tecla(f, Qt::Key_F2);
        QVERIFY(focoEm(f->paginas->DBEdit4));
        if (tipoDoc >= 0)
            clica(f->paginas->DBTipoDocumento->button(tipoDoc));
        if (tipoFav >= 0)
            clica(f->paginas->DBTipoFavorecido->button(tipoFav));
        digita(f->paginas->DBEdit4, favorecido);
        digita(f->paginas->DBEdit5, numero);
        digita(f->paginas->DBEdit6, valor);
        Dialogs::clearRecords();
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        const int gravados = conta(QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO where NU_MES_COMPET = '3'"));
        if (mensagem.isEmpty()) {
            QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
            QCOMPARE(gravados, 1);
            // Stored as typed, the types by their codes.
            const QVariantList linha = linhas(QStringLiteral("select ST_TIPO_DOC, ST_TIPO_FAVORECIDO, NU_FAVORECIDO, NR_NUMERO_DOC, "
                                                             "CO_CIDADE from TB_FONTE_COMPROVACAO_MUNICIPIO "
                                                             "where NU_MES_COMPET = '3'"))
                                           .first();
            QCOMPARE(linha.at(0).toString(), f->paginas->DBTipoDocumento->values().at(tipoDoc));
            QCOMPARE(linha.at(1).toString(), tipoDoc == 3 ? QStringLiteral("5") : tipoFav >= 0 ? f->paginas->DBTipoFavorecido->values().at(tipoFav) : QString());
            QCOMPARE(linha.mid(2), (QVariantList{favorecido, numero, lavras}));
            QCOMPARE(f->Tb_Fonte_comprovacao_Municipio.state(), db::DatasetState::Insert);
        } else {
            QCOMPARE(Dialogs::texts().last(), mensagem);
            QCOMPARE(gravados, 0);
            QVERIFY2(focoEm(f->findChild<QWidget*>(foco)), qPrintable(QApplication::focusWidget()->objectName()));
        }
    }

    // A clerk typing payee, number, value and date without a pause, each key to whatever
    // has the focus, and F5 at once: the line is stored with everything every control shows.
    void aDocumentTypedWithoutPausesKeepsEveryValue()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        tecla(f, Qt::Key_F2);
        clica(f->paginas->DBTipoDocumento->button(0));
        clica(f->paginas->DBTipoFavorecido->button(0));
        f->paginas->DBEdit4->setFocus(Qt::MouseFocusReason);
        const auto teclas = [](const QString& texto) {
            for (const QChar c : texto)
                QTest::keyClick(QApplication::focusWidget(), c.toLatin1());
        };
        const auto tab = [] { QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab); };
        teclas(cnpjA);
        tab();
        teclas(QStringLiteral("NF-77"));
        tab();
        teclas(QStringLiteral("12,34"));
        tab();
        teclas(QStringLiteral("10032005"));
        Dialogs::addAnswers({true});
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        const QList<QVariantList> gravadas =
            linhas(QStringLiteral("select NU_FAVORECIDO, NR_NUMERO_DOC, VL_DOC, DT_DOC from TB_FONTE_COMPROVACAO_MUNICIPIO"));
        QCOMPARE(gravadas.size(), 1);
        QCOMPARE(gravadas.first().mid(0, 3), (QVariantList{cnpjA, QStringLiteral("NF-77"), 12.34}));
        QCOMPARE(gravadas.first().at(3).toDate(), QDate(2005, 3, 10));
    }

    // A CNPJ typed as printed is stored as its digits and shown as printed.
    void aPunctuatedCnpjIsStoredAsDigits()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        tecla(f, Qt::Key_F2);
        clica(f->paginas->DBTipoDocumento->button(0));
        clica(f->paginas->DBTipoFavorecido->button(0));
        digita(f->paginas->DBEdit4, QStringLiteral("11.222.333/0001-81"));
        QCOMPARE(f->paginas->DBEdit4->text(), QStringLiteral("11.222.333/0001-81"));
        digita(f->paginas->DBEdit5, QStringLiteral("5"));
        digita(f->paginas->DBEdit6, QStringLiteral("7"));
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        QCOMPARE(valor(QStringLiteral("select NU_FAVORECIDO from TB_FONTE_COMPROVACAO_MUNICIPIO")), QVariant(cnpjA));
        db::Dataset& ds = f->Tb_Fonte_comprovacao_Municipio;
        QCOMPARE(ds.rowDisplayText(0, ds.fieldByName(QStringLiteral("NU_FAVORECIDO"))), QStringLiteral("11.222.333/0001-81"));
    }

    // The keyboard alone: Tab leaves a line grid, and a page's access letter turns to it
    // through the same guard as a click.
    void theKeyboardLeavesGridsAndTurnsPages()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("1"), 70);
        TfrmExecucaoMunicipal* f = janela();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_O, Qt::AltModifier);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsFonteComprovacao);
        f->paginas->DBGridFonte->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(f->paginas->DBGridFonte, Qt::Key_Tab);
        QVERIFY(!focoEm(f->paginas->DBGridFonte));
        // A line being typed keeps the page.
        tecla(f, Qt::Key_F2);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_M, Qt::AltModifier);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Mudança não permitida ... Atualização pendente !!")});
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsFonteComprovacao);
    }

    void deliveryNotesAndDepositsChooseTheirPayeeType()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        tecla(f, Qt::Key_F2);
        clica(f->paginas->DBTipoFavorecido->button(0));
        clica(f->paginas->DBTipoDocumento->button(3));
        QCOMPARE(f->paginas->DBTipoFavorecido->value(), QStringLiteral("5"));
        QVERIFY(focoEm(f->paginas->DBTipoDocumento));
        clica(f->paginas->DBTipoDocumento->button(2));
        QVERIFY(!f->paginas->DBTipoFavorecido->isVisible());
        digita(f->paginas->DBEdit4, cnpjC);
        digita(f->paginas->DBEdit5, QStringLiteral("D-1"));
        digita(f->paginas->DBEdit6, QStringLiteral("7"));
        digita(f->paginas->DBEdit7, QStringLiteral("05022005"));
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        const QList<QVariantList> r = linhas(QStringLiteral("select ST_TIPO_DOC, ST_TIPO_FAVORECIDO, VL_DOC, DT_DOC "
                                                            "from TB_FONTE_COMPROVACAO_MUNICIPIO"));
        QCOMPARE(r.size(), 1);
        QCOMPARE(r.first().mid(0, 3), (QVariantList{QStringLiteral("D"), QVariant(), 7.0}));
        QCOMPARE(r.first().at(3).toDate(), QDate(2005, 2, 5));
        QCOMPARE(f->paginas->EdtTotalDeposito->text(), QStringLiteral("7,00"));
    }

    void aQuoteInADocumentNumberIsJustACharacter()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        tecla(f, Qt::Key_F2);
        for (int vez = 0; vez < 2; ++vez) {
            clica(f->paginas->DBTipoDocumento->button(0));
            clica(f->paginas->DBTipoFavorecido->button(0));
            digita(f->paginas->DBEdit4, cnpjC);
            digita(f->paginas->DBEdit5, QStringLiteral("12'3"));
            digita(f->paginas->DBEdit6, QStringLiteral("10"));
            Dialogs::addAnswers({true});
            tecla(f, Qt::Key_F5);
        }
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Documento já lançado para este favorecido"));
        QCOMPARE(valor(QStringLiteral("select NR_NUMERO_DOC from TB_FONTE_COMPROVACAO_MUNICIPIO")).toString(), QStringLiteral("12'3"));
        QCOMPARE(conta(QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO")), 1);
    }

    void editingADocument()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("123"), 10);
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        db::Dataset& ds = f->Tb_Fonte_comprovacao_Municipio;
        // Only its value: the line is not taken for a second document of its number.
        selecionaLinha(f->paginas->DBGridFonte, 0);
        digita(f->paginas->DBEdit6, QStringLiteral("12"));
        QCOMPARE(ds.state(), db::DatasetState::Edit);
        Dialogs::addAnswers({true, true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        QCOMPARE(valor(QStringLiteral("select VL_DOC from TB_FONTE_COMPROVACAO_MUNICIPIO")), QVariant(12.0));
        // Its payee type: the payee's only document is no other type.
        tecla(f, Qt::Key_F6);
        selecionaLinha(f->paginas->DBGridFonte, 0);
        clica(f->paginas->DBTipoFavorecido->button(1));
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().size(), 2);
        QCOMPARE(valor(QStringLiteral("select ST_TIPO_FAVORECIDO from TB_FONTE_COMPROVACAO_MUNICIPIO")).toString(), QStringLiteral("2"));
        QCOMPARE(conta(QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO")), 1);
    }

    void editingAMedicationLineKeepsItsOrigin()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        medicamento(3, 1, 10, 1.0, QStringLiteral("E"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        selecionaLinha(f->paginas->DBGridExecucao, 0);
        digita(f->paginas->DBEdit1, QStringLiteral("2"));
        sai(f);
        QCOMPARE(f->paginas->DBOrigem->value(), QStringLiteral("E"));
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(linhas(QStringLiteral("select ST_ORIGEM, VL_TOTAL from TB_EXECUCAO_FISICA_MUNICIPIO")),
                 (QList<QVariantList>{{QStringLiteral("E"), 20.0}}));
    }

    void deletingAMedicationLineRewritesTheHeadersTotal()
    {
        instala();
        saldoInicial(20, 3);
        cabecalho(3, QStringLiteral("1"), {20, 0, 0, 0, 0, 0, 15}, lavras, 5);
        medicamento(3, 1, 10, 1.0);
        medicamento(3, 37, 5, 1.0);
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(f->paginas->EdtPactuada->text(), QStringLiteral("5,00"));
        selecionaLinha(f->paginas->DBGridExecucao, linhaCom(f->Tb_Execucao_Fisica_Municipio, QStringLiteral("CO_SEQ_MEDICAMENTO"), 37));
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F4);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Você deseja realmente excluir este registro?")});
        QCOMPARE(conta(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO")), 1);
        QCOMPARE(f->paginas->EdtPactuada->text(), QStringLiteral("0,00"));
        QCOMPARE(f->paginas->EdtTotalGeralExecFis->text(), QStringLiteral("10,00"));
        // Stored at once: a month closed now keeps the right total.
        QCOMPARE(gravado(3).at(8), QVariant(0.0));
    }

    void closing_data()
    {
        QTest::addColumn<double>("medicamentos");
        QTest::addColumn<double>("guias");
        QTest::addColumn<double>("alocado");  // "Recursos em Medicamentos Alocados ( Guia de Remessa )"
        QTest::addColumn<QStringList>("mensagens");
        QTest::addColumn<QString>("situacao");
        const QStringList fechado{QStringLiteral("Confirma Fechamento do mês ?"), QStringLiteral("Fechamento Efetuado")};
        QTest::newRow("all agree") << 100.0 << 30.0 << 30.0 << fechado << "2";
        QTest::newRow("beyond the second decimal") << 100.004 << 30.0 << 30.0 << fechado << "2";
        QTest::newRow("delivery notes 29,99")
            << 100.0 << 29.99 << 30.0
            << QStringList{QStringLiteral("Total Movimentação Financeira Diferente do Total da Fonte de Comprovação\n"
                                          "Movimentação Financeira: 100,00 — Fonte de Comprovação: 99,99")}
            << "1";
        QTest::newRow("medications 99")
            << 99.0 << 30.0 << 30.0
            << QStringList{QStringLiteral("Total Movimentação Financeira diferente do Total Execução Física\n"
                                          "Movimentação Financeira: 100,00 — Execução Física: 99,00")}
            << "1";
        QTest::newRow("medications received 25 against delivery notes of 30")
            << 100.0 << 30.0 << 25.0
            << QStringList{QStringLiteral("Total em Medicamentos diferente do Total da Guia de Remessa\n"
                                          "Medicamentos Alocados: 25,00 — Guia de Remessa: 30,00")}
            << "1";
    }
    void closing()
    {
        QFETCH(double, medicamentos);
        QFETCH(double, guias);
        QFETCH(double, alocado);
        QFETCH(QStringList, mensagens);
        QFETCH(QString, situacao);
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), {100, 0, 0, 0, 0, alocado, 100});
        medicamento(3, 1, 1, medicamentos);
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("1"), 70);
        documento(3, QStringLiteral("G"), cnpjSes, QStringLiteral("2"), guias, QStringLiteral("5"));
        // Deposits and commitments take no part in the checks.
        documento(3, QStringLiteral("D"), cnpjB, QStringLiteral("3"), 40, QString());
        documento(3, QStringLiteral("E"), cnpjC, QStringLiteral("4"), 55, QStringLiteral("3"));
        TfrmExecucaoMunicipal* f = janela();
        Dialogs::addAnswers({true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), mensagens);
        QCOMPARE(gravado(3).at(7).toString(), situacao);
        if (situacao == QLatin1String("2")) {
            QCOMPARE(valor(QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")).toDate(), QDate::currentDate());
            QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Abril")});
        } else {
            QVERIFY(valor(QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")).isNull());
        }
    }

    // Figures typed and not saved are saved by the closing, then checked as stored.
    void closingSavesTheFiguresTypedFirst()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), {100, 0, 0, 0, 0, 30, 90});
        medicamento(3, 1, 1, 100);
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("1"), 70);
        documento(3, QStringLiteral("G"), cnpjSes, QStringLiteral("2"), 30, QStringLiteral("5"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsMovimentacao);
        digita(f->paginas->EdtRecGastos, QStringLiteral("100"));
        sai(f);
        Dialogs::addAnswers({true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), (QStringList{QStringLiteral("Confirma Fechamento do mês ?"), QStringLiteral("Fechamento Efetuado")}));
        QCOMPARE(gravado(3).at(6), QVariant(100.0));
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("2"));
    }

    // The balance brought forward is stored as shown, month after month, across a closed
    // and an exported month.
    void theCarriedBalanceIsStoredAndCarriedOn()
    {
        instala();
        saldoInicial(100, 1);
        cabecalho(1, QStringLiteral("2"), {100, 50, 0, 0, 5, 0, 30});  // carries 120
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Fevereiro")});
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtSaldoAnterior->text(), QStringLiteral("120,00"));
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("10"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(gravado(2).at(0), QVariant(120.0));
        // No lines, nothing spent: February closes and carries 130.
        Dialogs::addAnswers({true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(gravado(2).at(7).toString(), QStringLiteral("2"));
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Março")});
        // Exported meanwhile: March still starts from what February carries.
        executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set SITUACAO = '3' where NU_MES_COMPET = '2'"));
        frm.reset();
        f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Março")});
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtSaldoAnterior->text(), QStringLiteral("130,00"));
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(gravado(3).at(0), QVariant(130.0));
    }

    // The year's first save is one unit: a header the database refuses leaves no initial
    // balance either, and says why.
    void aFailedFirstSaveOfTheYearLeavesNothing()
    {
        instala();
        executa(QStringLiteral("alter table TB_MOVIMENTO_MUNICIPIO add constraint CK_TESTE_FEDERAL check (VL_ALOC_FEDERAL < 1000)"));
        TfrmExecucaoMunicipal* f = janela();
        support::chooseEntry(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        digita(f->paginas->EdtSaldoAnterior, QStringLiteral("100"));
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("5000"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().size(), 2);
        QVERIFY2(Dialogs::texts().last().startsWith(QStringLiteral("Problema na Gravação - Movimentação!! ... operação cancelada\n")),
                 qPrintable(Dialogs::texts().last()));
        QCOMPARE(conta(QStringLiteral("TB_MOVIMENTO_MUNICIPIO")), 0);
        QCOMPARE(conta(QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO")), 0);
    }

    void closingAbandonsALineBeingTyped()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        tecla(f, Qt::Key_F2);
        support::chooseEntry(f->paginas->DBLookupMedicamento, aspirina);
        digita(f->paginas->DBEdit1, QStringLiteral("5"));
        Dialogs::addAnswers({true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Fechamento Efetuado"));
        QCOMPARE(conta(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO")), 0);
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("2"));
    }

    // Spent typed above the total and "Fecha Movimento" pressed at once: refused as the
    // save refuses it, the month open and its stored figures as they were.
    void closingWithSpentAboveTheTotalIsRefused()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), {100, 50, 0, 0, 0, 30, 170});
        medicamento(3, 1, 2, 100);
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("1"), 170);
        documento(3, QStringLiteral("G"), cnpjSes, QStringLiteral("2"), 30, QStringLiteral("5"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsMovimentacao);
        digita(f->paginas->EdtRecGastos, QStringLiteral("200"));
        sai(f);
        Dialogs::addAnswers({true, true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado\n"
                                                              "Recursos Gastos: 200,00 — Total Alocado: 180,00")});
        QCOMPARE(gravado(3), (QVariantList{100.0, 50.0, 0.0, 0.0, 0.0, 30.0, 170.0, QStringLiteral("1"), 0.0}));
        QVERIFY(focoEm(f->paginas->EdtRecGastos));
        QCOMPARE(f->paginas->EdtRecGastos->value(), 200.0);
        // Nor is February's balance of a closed month of that kind replaced by 0 unsaid.
    }

    // A negative balance brought forward from what is stored is shown as it is, and said.
    void aNegativeBalanceBroughtForwardIsShownAndSaid()
    {
        instala();
        saldoInicial(100, 1);
        cabecalho(1, QStringLiteral("2"), {100, 50, 0, 0, 0, 30, 200});
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Fevereiro")});
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("O saldo transportado para Fevereiro é negativo: -20,00.\n"
                                                              "Ele é mostrado como está gravado; confira o fechamento do mês anterior.")});
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtSaldoAnterior->text(), QStringLiteral("-20,00"));
        QCOMPARE(Dialogs::texts().size(), 1);
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("50"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(gravado(2).at(0), QVariant(-20.0));
        QCOMPARE(gravado(2).at(1), QVariant(50.0));
    }

    // Pressed while a pending header save fails, the closing stops there: the month stays
    // open.
    void closingStopsWhenItsSaveFails()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), {100, 0, 0, 0, 0, 0, 0});
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsMovimentacao);
        db::setLockTimeout(1);
        db::Connection outro;
        support::TestDatabase::configure(outro);
        auto emMaos = std::make_unique<db::WriteUnit>(outro);
        db::Statement(outro, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_ALOC_ESTADUAL = 0")}).exec();
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("60"));
        sai(f);
        Dialogs::addAnswers({true, true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), (QStringList{QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada\n"
                                                               "Outro usuário está alterando os mesmos dados neste momento. "
                                                               "A operação foi desfeita e pode ser repetida.")}));
        emMaos->commit();
        emMaos.reset();
        db::setLockTimeout(db::defaultLockTimeout);
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("1"));
        QCOMPARE(gravado(3).at(1), QVariant(0.0));
    }

    void decemberClosedCompletesTheYear()
    {
        instala();
        saldoInicial(0, 1);
        cabecalho(11, QStringLiteral("2"));
        cabecalho(12, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Dezembro")});
        Dialogs::addAnswers({true});
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), (QStringList{QStringLiteral("Confirma Fechamento do mês ?"), QStringLiteral("Fechamento Efetuado"),
                                                QStringLiteral("Informações completas para este ano")}));
        QCOMPARE(f->paginas->CBMes->count(), 0);
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->tbsprincipal);
    }

    void closingWhatCannotBeClosed()
    {
        instala();
        TfrmExecucaoMunicipal* f = janela();
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Informe o mes")});
        QVERIFY(focoEm(f->paginas->CBMes));

        frm.reset();
        Dialogs::clearRecords();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        f = janela();
        // Exported meanwhile.
        executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set SITUACAO = '3'"));
        clicaBotao(f, f->ToolButtonFecha);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Movimento já está fechado/exportado")});
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("3"));
    }

    void aMonthClosedElsewhereIsNotOpenedAgain()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), exemplo);
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsMovimentacao);
        executa(QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set SITUACAO = '2'"));
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("60"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada\n"
                                                         "O mês de Março já está fechado ou exportado."));
        QCOMPARE(gravado(3).at(1), QVariant(50.0));
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("2"));
        QCOMPARE(botoes(*f).at(0), u'1');
        // Nor are lines entered for it.
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsMovimentacao);
    }

    // Two seats of a state office on one database.
    void aMonthAnotherSeatIsChangingIsNotSavedAndSaysWhy()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), exemplo);
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsMovimentacao);
        db::setLockTimeout(1);
        db::Connection outro;
        support::TestDatabase::configure(outro);
        auto emMaos = std::make_unique<db::WriteUnit>(outro);
        db::Statement(outro, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_ALOC_FEDERAL = 70")}).exec();

        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("60"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().mid(1),
                 (QStringList{QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada\n"
                                             "Outro usuário está alterando os mesmos dados neste momento. "
                                             "A operação foi desfeita e pode ser repetida.")}));
        emMaos->commit();
        emMaos.reset();
        QCOMPARE(gravado(3).at(1), QVariant(70.0));

        // Repeated once the other seat is done, it is saved.
        Dialogs::clearRecords();
        digita(f->paginas->EdtRecAlocFederal, QStringLiteral("60"));
        sai(f);
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Confirma a gravação do registro ?")});
        QCOMPARE(gravado(3).at(1), QVariant(60.0));
        db::setLockTimeout(db::defaultLockTimeout);
    }

    void aLineWhoseHeaderCannotTakeItsTotalIsNotStored()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        TfrmExecucaoMunicipal* f = janela();
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        tecla(f, Qt::Key_F2);
        support::chooseEntry(f->paginas->DBLookupMedicamento, amitriptilina);
        digita(f->paginas->DBEdit1, QStringLiteral("2"));
        digita(f->paginas->DBEdit2, QStringLiteral("4"));
        sai(f);
        // The month's header is gone meanwhile.
        executa(QStringLiteral("delete from TB_MOVIMENTO_MUNICIPIO"));
        Dialogs::addAnswers({true});
        tecla(f, Qt::Key_F5);
        QCOMPARE(Dialogs::texts().last(), QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada\n"
                                                         "O mês de Março não tem movimentação gravada."));
        QCOMPARE(conta(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO")), 0);
        // The line is still being typed, with what was typed.
        db::Dataset& ds = f->Tb_Execucao_Fisica_Municipio;
        QCOMPARE(ds.state(), db::DatasetState::Insert);
        QCOMPARE(ds.fieldByName(QStringLiteral("QT_MEDICAMENTO")).asInteger(), 4);
        QCOMPARE(f->paginas->DBEdit3->text(), QStringLiteral("8,00"));
        QCOMPARE(f->paginas->DBLookupMedicamento->currentText(), amitriptilina);
        QCOMPARE(f->paginas->EdtTotalGeralExecFis->text(), QStringLiteral("0,00"));
    }

    void aMunicipalityWithoutAPact()
    {
        instala();
        executa(QStringLiteral("delete from TB_CIDADE_PACTUACAO"));
        TfrmExecucaoMunicipal* f = janela();
        QCOMPARE(Dialogs::texts(), QStringList{QStringLiteral("Município sem pactuação")});
        QTRY_VERIFY(!f->isVisible());
    }

    void everyControlIsNamedByItsCaption()
    {
        instala();
        TfrmExecucaoMunicipal* f = janela();
        const QList<QPair<QWidget*, QString>> nomes = {
            {f->paginas->EdtAnoCompetencia, QStringLiteral("Ano Competência")},
            {f->paginas->EditUF, QStringLiteral("Estado")},
            {f->paginas->EdtMunicipio, QStringLiteral("Município")},
            {f->paginas->CBMes, QStringLiteral("Mês Competência")},
            {f->paginas->EdtSaldoAnterior, QStringLiteral("Saldo Anterior (+)")},
            {f->paginas->EdtRecAlocFederal, QStringLiteral("Federal")},
            {f->paginas->EdtRecAlocEstadual, QStringLiteral("Estadual")},
            {f->paginas->EdtRecAlocMunicipal, QStringLiteral("Tesouro Municipal")},
            {f->paginas->EdtRecAlocRendAplic, QStringLiteral("Rendimentos Aplicados")},
            {f->paginas->EdtRecMedAloc, QStringLiteral("Recursos em Medicamentos Alocados ( Guia de Remessa )")},
            {f->paginas->EdtTotal, QStringLiteral("Total (+)")},
            {f->paginas->EdtRecGastos, QStringLiteral("Recursos Gastos (-)")},
            {f->paginas->EdtSaldoAtual, QStringLiteral("Saldo Atual (=)")},
            {f->paginas->EdtMensalFederal, QStringLiteral("Federal")},
            {f->paginas->EdtMensalMunicipal, QStringLiteral("Tesouro Municipal")},
            {f->paginas->DBLookupMedicamento, QStringLiteral("Medicamento")},
            {f->paginas->DBOrigem, QStringLiteral("Origem")},
            {f->paginas->DBEdit1, QStringLiteral("Valor Unitário")},
            {f->paginas->DBEdit2, QStringLiteral("Quantidade")},
            {f->paginas->DBEdit3, QStringLiteral("Valor Total")},
            {f->paginas->EdtTotalElencoMinimo, QStringLiteral("Total de Medicamentos do Elenco Mínimo")},
            {f->paginas->EdtPactuada, QStringLiteral("Total dos Outros Medicamentos da Relação Pactuada")},
            {f->paginas->EdtTotalGeralExecFis, QStringLiteral("Total Geral")},
            {f->paginas->DBTipoDocumento, QStringLiteral("Tipo Documento")},
            {f->paginas->DBTipoFavorecido, QStringLiteral("Tipo Favorecido")},
            {f->paginas->DBEdit4, QStringLiteral("Identificação do Favorecido")},
            {f->paginas->DBEdit5, QStringLiteral("Identificação do Documento")},
            {f->paginas->DBEdit6, QStringLiteral("Valor")},
            {f->paginas->DBEdit7, QStringLiteral("Data")},
            {f->paginas->EdtTotalNF, QStringLiteral("Total N. Fiscal")},
            {f->paginas->EdtTotalGuiaRemessa, QStringLiteral("Total Guia Remessa")},
            {f->paginas->EdtTotalDeposito, QStringLiteral("Total Depósito")},
            {f->paginas->EdtTotalEmpenho, QStringLiteral("Total Empenho")},
        };
        for (const auto& [w, nome] : nomes)
            QCOMPARE(w->accessibleName(), nome);
        QCOMPARE(f->paginas->EdtRecAlocFederal->accessibleDescription(), QStringLiteral("Recursos Financeiros Alocados"));
        QCOMPARE(f->paginas->EdtMensalFederal->accessibleDescription(), QStringLiteral("Total Mensal dos Incentivos"));
        QCOMPARE(f->ToolButtonFecha->iconText(), QStringLiteral("&Fecha Movimento"));
        // Each with its access letter: Alt and the letter turn to it as a click does.
        QCOMPARE(f->pgEdicao->tabText(0), QStringLiteral("&Identificação"));
        QCOMPARE(f->pgEdicao->tabText(1), QStringLiteral("&Movimentação Financeira"));
        QCOMPARE(f->pgEdicao->tabText(2), QStringLiteral("&Execução Física"));
        QCOMPARE(f->pgEdicao->tabText(3), QStringLiteral("F&onte de Comprovação"));
        QVERIFY(f->BbtExcluir->isVisible());
        QVERIFY(!f->BbtEditar->isVisible() && !f->BbtPesquisar->isVisible());
    }

    void aClosedMonthSurvivesTheProgramBeingKilled()
    {
        instala();
        saldoInicial(0, 3);
        cabecalho(3, QStringLiteral("1"));
        DMPrincipal->IBDatabaseGeral.close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVA_CHILD_FECHA"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("fechado"));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        DMPrincipal->IBDatabaseGeral.open();
        QCOMPARE(gravado(3).at(7).toString(), QStringLiteral("2"));
    }
};

// In the child: close the open month through the window, say so, and wait to be killed.
static int fechaEEspera()
{
    text::setBrazilianFormats();
    DMPrincipal = new TDMPrincipal;
    DMPrincipal->DataModuleCreate();
    Dialogs::startScript({true});
    TfrmExecucaoMunicipal* f = abre();
    clicaBotao(f, f->ToolButtonFecha);
    if (!Dialogs::texts().contains(QStringLiteral("Fechamento Efetuado"))) {
        fprintf(stdout, "%s\n", qPrintable(Dialogs::texts().join(u'|')));
        fflush(stdout);
        return 1;
    }
    fprintf(stdout, "fechado\n");
    fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("KORVA_CHILD_FECHA"))
        return fechaEEspera();
    TestExecucao t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_execucao.moc"
