// The follow-up's consultation as a clerk uses it, against a real database: the months
// listed whatever their state, a month's header, lines and documents with the
// consultation's own total, nothing typed and nothing written, and both kinds of
// installation, a state's looking at the months its municipalities sent.
#include "Acompanhamento.h"

#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"

#include "data/DMPrincipal.h"
#include "dbui/ControlKind.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "forms/FormAtivo.h"
#include "support/UserActions.h"
#include "text/Formats.h"
#include "tracking/TfrmConsultaExecucaoMunicipal.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <QToolBar>

#include <memory>

using namespace teste;
using ui::Dialogs;

namespace {

constexpr int perdoes = 3149903;
constexpr int aguaBoa = 3100609;

const Figuras exemplo{100, 50, 10, 10, 5, 20, 150};

const QString cnpjA = QStringLiteral("11222333000181");
const QString cnpjSes = QStringLiteral("19100000000191");

QStringList itens(const QComboBox* c)
{
    QStringList out;
    for (int i = 0; i < c->count(); ++i)
        out << c->itemText(i);
    return out;
}

QStringList colunas(const ui::DbGrid* g)
{
    QStringList out;
    for (int c = 0; c < g->model()->columnCount(); ++c)
        out << g->model()->headerData(c, Qt::Horizontal).toString();
    return out;
}

// The texts of the grid's rows, one line each, cells apart by '|'.
QStringList celulas(const ui::DbGrid* g)
{
    QStringList out;
    for (int r = 0; r < g->model()->rowCount(); ++r) {
        QStringList linha;
        for (int c = 0; c < g->model()->columnCount(); ++c)
            linha << g->model()->index(r, c).data().toString();
        out << linha.join(u'|');
    }
    return out;
}

// Every row of the tables a follow-up writes, to see that nothing changed.
QList<QList<QVariantList>> gravado()
{
    QList<QList<QVariantList>> out;
    for (const char* tabela : {"TB_MOVIMENTO_MUNICIPIO", "TB_SALDO_INICIAL_MUNICIPIO", "TB_EXECUCAO_FISICA_MUNICIPIO",
                               "TB_FONTE_COMPROVACAO_MUNICIPIO"})
        out << linhas(QStringLiteral("select * from %1 order by 1, 2, 3, 4").arg(QLatin1String(tabela)));
    return out;
}

// The incentive of another municipality of the UF, which a state installation adds up.
void incentivo(int cidade, double federal, double estadual, double municipal)
{
    executa(QStringLiteral("insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_FEDERAL, VL_ESTADUAL, "
                           "VL_MUNICIPAL) values (:1, 'MG', :2, :3, :4, :5)"),
            {ano, cidade, federal, estadual, municipal});
}

void escolhe(QComboBox* c, const QString& texto)
{
    support::chooseEntry(c, texto);
}

}  // namespace

class TestConsulta : public QObject {
    Q_OBJECT

    std::unique_ptr<TfrmConsultaExecucaoMunicipal> frm;

    TfrmConsultaExecucaoMunicipal* janela()
    {
        frm = std::make_unique<TfrmConsultaExecucaoMunicipal>();
        mostra(frm.get());
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

    void theYearsMonthsAndOneOfThemShown()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(5, QStringLiteral("1"), {40, 1, 0, 0, 0, 0, 0});
        cabecalho(3, QStringLiteral("3"), {100, 50, 10, 10, 5, 30, 150}, lavras, 99);
        cabecalho(4, QStringLiteral("2"), {40, 2, 0, 0, 0, 0, 0});
        // Neither another municipality's months nor another year's.
        cabecalho(1, QStringLiteral("1"), {}, perdoes);
        executa(QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, SITUACAO) "
                               "values ('2004', 'MG', :1, '2', '3')"),
                {lavras});
        medicamento(3, 37, 20, 1.5);
        medicamento(3, 1, 100, 1.2, QStringLiteral("E"));
        medicamento(4, 4, 10, 1);
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("NF 1"), 120);
        documento(3, QStringLiteral("G"), cnpjSes, QStringLiteral("GR 2"), 30, QStringLiteral("5"));
        documento(3, QStringLiteral("D"), cnpjA, QStringLiteral("DEP 3"), 7.5, QString());

        TfrmConsultaExecucaoMunicipal* f = janela();
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   "
                                                  "Município : Lavras   Pactuação : TDM"));
        QCOMPARE(f->paginas->EdtAnoCompetencia->text(), QStringLiteral("2005"));
        QCOMPARE(f->paginas->EditUF->text(), QStringLiteral("MG"));
        QCOMPARE(f->paginas->EdtMunicipio->text(), QStringLiteral("Lavras"));
        QVERIFY(f->paginas->EdtMunicipio->isVisible() && !f->CBAcompanhamento->isVisible());
        QCOMPARE(itens(f->paginas->CBMes), (QStringList{QStringLiteral("Março"), QStringLiteral("Abril"), QStringLiteral("Maio")}));
        QCOMPARE(f->paginas->CBMes->currentIndex(), -1);
        QCOMPARE(QApplication::focusWidget(), f->paginas->CBMes);
        QVERIFY(!f->pnAjuda->isVisible());

        escolhe(f->paginas->CBMes, QStringLiteral("Março"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   Mes : Março   "
                                                  "Município : Lavras   Pactuação : TDM"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsMovimentacao);
        const QList<QPair<ui::MoneyEdit*, QString>> figuras = {
            {f->paginas->EdtSaldoAnterior, QStringLiteral("100,00")}, {f->paginas->EdtRecAlocFederal, QStringLiteral("50,00")},
            {f->paginas->EdtRecAlocEstadual, QStringLiteral("10,00")}, {f->paginas->EdtRecAlocMunicipal, QStringLiteral("10,00")},
            {f->paginas->EdtRecAlocRendAplic, QStringLiteral("5,00")}, {f->paginas->EdtRecMedAloc, QStringLiteral("30,00")},
            {f->paginas->EdtTotal, QStringLiteral("200,00")}, {f->paginas->EdtRecGastos, QStringLiteral("150,00")},
            {f->paginas->EdtSaldoAtual, QStringLiteral("50,00")}, {f->paginas->EdtMensalFederal, QStringLiteral("100,00")},
            {f->paginas->EdtMensalEstadual, QStringLiteral("200,00")}, {f->paginas->EdtMensalMunicipal, QStringLiteral("300,00")}};
        for (const auto& [edit, texto] : figuras)
            QVERIFY2(edit->text() == texto, qPrintable(edit->accessibleName() + QLatin1Char(' ') + edit->text()));
        QVERIFY(f->paginas->GrpTotalMensal->isVisible());

        // The lines by medication name, each with its name and list mark as read with it.
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsExecucaoFisica);
        QCOMPARE(colunas(f->paginas->DBGridExecucao), (QStringList{QStringLiteral("Medicamento"), QStringLiteral("Elenco"),
                                                          QStringLiteral("Origem"), QStringLiteral("Valor Unitário"),
                                                          QStringLiteral("Qtde"), QStringLiteral("Valor Total")}));
        QCOMPARE(celulas(f->paginas->DBGridExecucao),
                 (QStringList{QStringLiteral("Ácido acetilsalicílico 100 mg comprimido|S|Estado|1,20000000|100|120,00"),
                              QStringLiteral("Amitriptilina 25 mg comprimido|N|Município|1,50000000|20|30,00")}));
        QCOMPARE(f->paginas->DBLookupMedicamento->currentText(), QStringLiteral("Ácido acetilsalicílico 100 mg comprimido"));
        QCOMPARE(f->paginas->EdtTotalElencoMinimo->text(), QStringLiteral("120,00"));
        QCOMPARE(f->paginas->EdtPactuada->text(), QStringLiteral("30,00"));
        QCOMPARE(f->paginas->EdtTotalGeralExecFis->text(), QStringLiteral("150,00"));

        clicaAba(f, f->paginas->tbsFonteComprovacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->paginas->tbsFonteComprovacao);
        QCOMPARE(colunas(f->paginas->DBGridFonte), (QStringList{QStringLiteral("Tipo"), QStringLiteral("Identificação Favorecido"),
                                                       QStringLiteral("Número do Documento"), QStringLiteral("Data"),
                                                       QStringLiteral("Valor")}));
        QCOMPARE(celulas(f->paginas->DBGridFonte).size(), 3);
        QCOMPARE(f->paginas->DBEdit5->accessibleName(), QStringLiteral("Número do Documento"));
        QCOMPARE(f->paginas->DBTipoFavorecido->title(), QStringLiteral("Tipo de Favorecido"));
        QCOMPARE(f->paginas->EdtTotalNF->text(), QStringLiteral("120,00"));
        QCOMPARE(f->paginas->EdtTotalGuiaRemessa->text(), QStringLiteral("30,00"));
        QCOMPARE(f->paginas->EdtTotalDeposito->text(), QStringLiteral("7,50"));
        QCOMPARE(f->paginas->EdtTotalEmpenho->text(), QStringLiteral("0,00"));

        // Another month, from the first page: its own lines only.
        clicaAba(f, f->tbsprincipal);
        escolhe(f->paginas->CBMes, QStringLiteral("Abril"));
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(celulas(f->paginas->DBGridExecucao), QStringList{QStringLiteral("Amoxicilina 500 mg cápsula|S|Município|1,00000000|10|10,00")});
        QCOMPARE(f->paginas->EdtTotalGeralExecFis->text(), QStringLiteral("10,00"));
        QCOMPARE(f->paginas->EdtRecAlocFederal->text(), QStringLiteral("2,00"));
        QVERIFY(Dialogs::records().isEmpty());
    }

    void aMonthIsShownWhateverItsState_data()
    {
        QTest::addColumn<QString>("situacao");
        QTest::newRow("open") << "1";
        QTest::newRow("closed") << "2";
        QTest::newRow("exported") << "3";
    }
    void aMonthIsShownWhateverItsState()
    {
        // The follow-up's total of this month is 195,00 and its balance 45,00: the
        // consultation leaves the investment income out of both.
        QFETCH(QString, situacao);
        instala();
        cabecalho(3, situacao, exemplo);
        TfrmConsultaExecucaoMunicipal* f = janela();
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Março")});
        escolhe(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtRecAlocRendAplic->text(), QStringLiteral("5,00"));
        QCOMPARE(f->paginas->EdtTotal->text(), QStringLiteral("190,00"));
        QCOMPARE(f->paginas->EdtSaldoAtual->text(), QStringLiteral("40,00"));
    }

    void withoutAMonthOnlyIdentificacao()
    {
        instala();
        cabecalho(3, QStringLiteral("1"), exemplo);
        TfrmConsultaExecucaoMunicipal* f = janela();
        for (QWidget* pagina : {f->paginas->tbsMovimentacao, f->paginas->tbsExecucaoFisica, f->paginas->tbsFonteComprovacao}) {
            clicaAba(f, pagina);
            QCOMPARE(f->pgEdicao->currentPage(), f->tbsprincipal);
            QCOMPARE(QApplication::focusWidget(), f->paginas->CBMes);
        }
        QVERIFY(Dialogs::records().isEmpty());
    }

    void nothingIsTypedAndNothingWritten()
    {
        instala();
        saldoInicial(100, 3);
        cabecalho(3, QStringLiteral("1"), exemplo);
        medicamento(3, 1, 10, 2);
        documento(3, QStringLiteral("N"), cnpjA, QStringLiteral("NF 1"), 20);
        const auto antes = gravado();
        TfrmConsultaExecucaoMunicipal* f = janela();

        // Only Sair, and the choice of what to show.
        QStringList botoes;
        for (QAction* a : f->ToolBar1->actions())
            if (a->isVisible())
                botoes << a->iconText();
        QCOMPARE(botoes, QStringList{QStringLiteral("&Sair (F10)")});
        for (QWidget* c : f->pgEdicao->findChildren<QWidget*>()) {
            if (ui::controlKind(c) == ui::ControlKind::Other)
                continue;
            QVERIFY2(c->isEnabled() == (c == f->paginas->CBMes || c == f->CBAcompanhamento), qPrintable(c->objectName()));
        }

        escolhe(f->paginas->CBMes, QStringLiteral("Março"));
        for (QWidget* pagina : {f->tbsprincipal, f->paginas->tbsMovimentacao, f->paginas->tbsExecucaoFisica, f->paginas->tbsFonteComprovacao}) {
            clicaAba(f, pagina);
            QCOMPARE(f->pgEdicao->currentPage(), pagina);
            for (int tecla : {Qt::Key_F2, Qt::Key_F3, Qt::Key_F4, Qt::Key_F5, Qt::Key_F6, Qt::Key_F7}) {
                teste::tecla(f, tecla);
                QCOMPARE(f->pgEdicao->currentPage(), pagina);
            }
        }
        QCOMPARE(f->Tb_Execucao_Fisica_Municipio.recordCount(), 1);
        QCOMPARE(f->Tb_Execucao_Fisica_Municipio.state(), db::DatasetState::Browse);
        QCOMPARE(f->Tb_Fonte_comprovacao_Municipio.state(), db::DatasetState::Browse);
        QVERIFY(Dialogs::records().isEmpty());
        QCOMPARE(gravado(), antes);

        // F10 closes, from a detail page as from any.
        teste::tecla(f, Qt::Key_F10);
        QVERIFY(!f->isVisible());
        QVERIFY(!f->Tb_Fonte_comprovacao_Municipio.isActive());
        QCOMPARE(gravado(), antes);
    }

    void aLineWhoseMedicationIsNotInTheListIsShownAndCounted()
    {
        // The follow-up counted it among the other medications when the month closed.
        instala();
        cabecalho(3, QStringLiteral("2"), {0, 30, 0, 0, 0, 0, 30});
        medicamento(3, 1, 10, 2);
        medicamento(3, 9999, 5, 2);
        TfrmConsultaExecucaoMunicipal* f = janela();
        escolhe(f->paginas->CBMes, QStringLiteral("Março"));
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QCOMPARE(celulas(f->paginas->DBGridExecucao).size(), 2);
        QCOMPARE(celulas(f->paginas->DBGridExecucao).first(), QStringLiteral("||Município|2,00000000|5|10,00"));
        QCOMPARE(f->paginas->EdtTotalElencoMinimo->text(), QStringLiteral("20,00"));
        QCOMPARE(f->paginas->EdtPactuada->text(), QStringLiteral("10,00"));
        QCOMPARE(f->paginas->EdtTotalGeralExecFis->text(), QStringLiteral("30,00"));
    }

    void aStateInstallationsOwnMonths()
    {
        instala(0);
        incentivo(perdoes, 2400, 1200, 0);
        cabecalho(2, QStringLiteral("2"), {0, 10, 0, 0, 0, 0, 0}, 0);
        cabecalho(1, QStringLiteral("3"), {0, 20, 0, 0, 0, 0, 0}, 0);
        cabecalho(6, QStringLiteral("3"), {}, lavras);
        medicamento(1, 1, 3, 1, QStringLiteral("E"), 0);
        TfrmConsultaExecucaoMunicipal* f = janela();
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Estadual        Ano : 2005   Estado : MG"));
        QVERIFY(!f->paginas->EdtMunicipio->isVisible() && !f->paginas->LblMunicipio->isVisible());
        QCOMPARE(f->CBAcompanhamento->currentText(), QStringLiteral("Estadual"));
        QCOMPARE(f->cidadeConsultada(), 0);
        QCOMPARE(itens(f->paginas->CBMes), (QStringList{QStringLiteral("Janeiro"), QStringLiteral("Fevereiro")}));

        escolhe(f->paginas->CBMes, QStringLiteral("Janeiro"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Estadual        Ano : 2005   Estado : MG   Mes : Janeiro"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtRecAlocFederal->text(), QStringLiteral("20,00"));
        // A twelfth of the UF's incentive, over all its municipalities.
        QVERIFY(f->paginas->GrpTotalMensal->isVisible());
        QCOMPARE(f->paginas->EdtMensalFederal->text(), QStringLiteral("300,00"));
        QCOMPARE(f->paginas->EdtMensalEstadual->text(), QStringLiteral("300,00"));
        QCOMPARE(f->paginas->EdtMensalMunicipal->text(), QStringLiteral("300,00"));
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QVERIFY(!f->paginas->DBOrigem->isVisible());
        QCOMPARE(celulas(f->paginas->DBGridExecucao).size(), 1);
        QCOMPARE(f->paginas->DBTipoDocumento->items(),
                 (QStringList{QStringLiteral("Nota Fiscal"), QStringLiteral("Empenho"), QStringLiteral("Depósito")}));
    }

    void aStateInstallationLooksAtAMunicipalitysMonths()
    {
        instala(0);
        cabecalho(1, QStringLiteral("1"), {0, 20, 0, 0, 0, 0, 0}, 0);
        cabecalho(4, QStringLiteral("3"), {10, 0, 0, 0, 0, 0, 0}, lavras);
        cabecalho(3, QStringLiteral("3"), exemplo, lavras);
        medicamento(3, 37, 20, 1, QStringLiteral("M"), lavras);
        documento(3, QStringLiteral("G"), cnpjSes, QStringLiteral("GR 2"), 20, QStringLiteral("5"), lavras);
        cabecalho(2, QStringLiteral("2"), {}, aguaBoa);  // no pact row
        // Months of another year, or of a municipality of another UF, are not listed.
        executa(QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, SITUACAO) "
                               "values ('2004', 'MG', :1, '2', '3')"),
                {perdoes});
        executa(QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, SITUACAO) "
                               "values ('2005', 'SP', 3500105, '2', '3')"));
        TfrmConsultaExecucaoMunicipal* f = janela();
        QVERIFY(f->CBAcompanhamento->isVisible());
        QCOMPARE(f->CBAcompanhamento->accessibleName(), QStringLiteral("Acompanhamento"));
        QCOMPARE(itens(f->CBAcompanhamento),
                 (QStringList{QStringLiteral("Estadual"), QStringLiteral("Água Boa"), QStringLiteral("Lavras")}));

        // The state's month chosen first: nothing of it stays once Lavras is chosen.
        escolhe(f->paginas->CBMes, QStringLiteral("Janeiro"));
        escolhe(f->CBAcompanhamento, QStringLiteral("Lavras"));
        QCOMPARE(f->cidadeConsultada(), lavras);
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   "
                                                  "Município : Lavras   Pactuação : TDM"));
        QCOMPARE(itens(f->paginas->CBMes), (QStringList{QStringLiteral("Março"), QStringLiteral("Abril")}));
        QCOMPARE(f->paginas->CBMes->currentIndex(), -1);
        QCOMPARE(f->paginas->EdtRecAlocFederal->value(), 0.0);
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->pgEdicao->currentPage(), f->tbsprincipal);

        escolhe(f->paginas->CBMes, QStringLiteral("Março"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   Mes : Março   "
                                                  "Município : Lavras   Pactuação : TDM"));
        clicaAba(f, f->paginas->tbsMovimentacao);
        QCOMPARE(f->paginas->EdtTotal->text(), QStringLiteral("190,00"));
        // Lavras's own incentive.
        QCOMPARE(f->paginas->EdtMensalFederal->text(), QStringLiteral("100,00"));
        clicaAba(f, f->paginas->tbsExecucaoFisica);
        QVERIFY(f->paginas->DBOrigem->isVisible());
        QCOMPARE(celulas(f->paginas->DBGridExecucao), QStringList{QStringLiteral("Amitriptilina 25 mg comprimido|N|Município|1,00000000|20|20,00")});
        clicaAba(f, f->paginas->tbsFonteComprovacao);
        // A municipality's documents are read with a municipality's choices.
        QCOMPARE(f->paginas->DBTipoDocumento->value(), QStringLiteral("G"));
        QCOMPARE(f->paginas->DBTipoDocumento->items().last(), QStringLiteral("Guia Remessa"));
        QCOMPARE(f->paginas->DBTipoFavorecido->value(), QStringLiteral("5"));
        QCOMPARE(f->paginas->EdtTotalGuiaRemessa->text(), QStringLiteral("20,00"));

        // A municipality without a pact is named as the list names it.
        clicaAba(f, f->tbsprincipal);
        escolhe(f->CBAcompanhamento, QStringLiteral("Água Boa"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   "
                                                  "Município : Água Boa   Pactuação : "));
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Fevereiro")});
        QVERIFY(!f->Tb_Execucao_Fisica_Municipio.isActive());
        QCOMPARE(f->paginas->EdtTotalGuiaRemessa->value(), 0.0);

        escolhe(f->CBAcompanhamento, QStringLiteral("Estadual"));
        QCOMPARE(f->windowTitle(), QStringLiteral("Consulta Acompanhamento Estadual        Ano : 2005   Estado : MG"));
        QCOMPARE(itens(f->paginas->CBMes), QStringList{QStringLiteral("Janeiro")});
        QVERIFY(Dialogs::records().isEmpty());
    }

    void theMenuOpensTheConsultationWithoutAPactCheck()
    {
        // A municipality without a pact row still looks at its months.
        instala();
        executa(QStringLiteral("delete from TB_CIDADE_PACTUACAO"));
        cabecalho(3, QStringLiteral("2"), exemplo);
        delete DMPrincipal;
        DMPrincipal = nullptr;
        QVERIFY(inicializacao::criaObjetosGlobais());
        QString titulo;
        QStringList meses;
        QTimer::singleShot(0, [&] {
            if (auto* j = qobject_cast<TfrmConsultaExecucaoMunicipal*>(FormAtivo.data())) {
                titulo = j->windowTitle();
                meses = itens(j->paginas->CBMes);
                j->close();
            }
        });
        frmPrincipal->ConsultaAcompanhamento1->trigger();
        QCOMPARE(titulo, QStringLiteral("Consulta Acompanhamento Municipal       Ano : 2005   Estado : MG   Município :    Pactuação : "));
        QCOMPARE(meses, QStringList{QStringLiteral("Março")});
        QVERIFY(Dialogs::records().isEmpty());
        inicializacao::destroiObjetosGlobais();
    }
};

QTEST_MAIN(TestConsulta)
#include "tst_consulta.moc"
