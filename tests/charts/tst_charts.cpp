// The two pivot windows as a user at a state sees them, against a real database: every
// cell of the grid and its margins equal to an independent GROUP BY, an empty year, the
// menu commands, the grid printed under the window's title in the layout of the moment,
// the chart printed in landscape on the default printer, saved as PNG and PDF, the grid
// copied for a spreadsheet, and a query that fails.
#include "Dados.h"

#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"
#include "charts/TFormGraficoAplicacaoRecursos.h"
#include "charts/TFormGraficoFonteComprovacao.h"
#include "data/DMPrincipal.h"
#include "db/Statement.h"
#include "forms/FormAtivo.h"
#include "pivot/PivotChart.h"
#include "pivot/PivotGrid.h"
#include "report/PreviewDialog.h"
#include "reports/TFormImprimeGrid.h"
#include "support/DataModule.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"

#include <QApplication>
#include <QClipboard>
#include <QFontMetrics>
#include <QTableView>
#include <QImage>
#include <QPrinter>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <memory>

using ui::Dialogs;

namespace {

const QString ano = QStringLiteral("2003");

void exec(const QString& sql)
{
    db::Statement(DMPrincipal->IBDatabaseGeral, {sql}).exec();
}

// A state installation of MG in 2003.
void parametros()
{
    exec(QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) values ('KORVA', '2003', 'MG', 0)"));
}

std::unique_ptr<TFormGrafico> janela(bool recursos)
{
    std::unique_ptr<TFormGrafico> w;
    if (recursos)
        w = std::make_unique<TFormGraficoAplicacaoRecursos>();
    else
        w = std::make_unique<TFormGraficoFonteComprovacao>();
    w->show();
    return w;
}

QString pdfInfo(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestCharts : public QObject {
    Q_OBJECT

    QList<report::Document> previstos;
    std::unique_ptr<TFormImprimeGrid> pagina;

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::freshDataModule(QStringLiteral("empty"));
        parametros();
        dados::medicamentosSemMarca(DMPrincipal->IBDatabaseGeral);
        Dialogs::startScript();
        pagina = std::make_unique<TFormImprimeGrid>();
        FormImprimeGrid = pagina.get();
        previstos.clear();
        report::setPreviewSink([this](report::Report&, const report::Document& d) { previstos << d; });
    }
    void cleanup()
    {
        report::setPreviewSink({});
        Dialogs::stopScript();
        pagina.reset();
        delete DMPrincipal;
        DMPrincipal = nullptr;
        FormAtivo = nullptr;
    }

    void everyCellAndMarginIsAGroupBy_data()
    {
        QTest::addColumn<bool>("recursos");
        QTest::newRow("Grafico Fonte Comprovação") << false;
        QTest::newRow("Gráfico de aplicação de Recursos") << true;
    }
    void everyCellAndMarginIsAGroupBy()
    {
        QFETCH(bool, recursos);
        db::Connection& c = DMPrincipal->IBDatabaseGeral;
        dados::anoVariado(c, ano, 1200, 11);
        dados::anoVariado(c, QStringLiteral("2004"), 200, 12);
        const dados::Somas esperado = recursos ? dados::somasRecursos(c, ano) : dados::somasFavorecido(c, ano);
        auto w = janela(recursos);
        QCOMPARE(w->windowTitle(), QString::fromUtf8(QTest::currentDataTag()));
        QVERIFY(w->IBQuery1.isActive());
        pivot::PivotGrid& g = *w->DecisionGrid1;
        g.setTotals(true);
        const QString mascara = recursos ? QStringLiteral("###,###,###,##0.00") : QStringLiteral("###,###,###,##0.000");

        // States on the rows, labels on the columns; "Total" closes both.
        QCOMPARE(g.fixedRows(), 2);
        QCOMPARE(g.fixedCols(), 2);
        QCOMPARE(g.cells(-1, -2), recursos ? QStringLiteral("Recursos") : QStringLiteral("Favorecido"));
        QCOMPARE(g.cells(-1, -1), QStringLiteral("UF"));
        int vistos = 0;
        for (int r = 0; r < g.rowCount() - g.fixedRows(); ++r)
            for (int col = 0; col < g.colCount() - g.fixedCols(); ++col) {
                auto chave = [](const QString& t) { return t.trimmed() == QLatin1String("Total") ? QString() : t.trimmed(); };
                const QPair<QString, QString> k{chave(g.cells(col, -2)), chave(g.cells(-1, r))};
                const QVariant v = esperado.value(k);
                QCOMPARE(g.cells(col, r), v.isNull() ? QString() : text::formatFloat(mascara, v.toDouble()));
                if (!v.isNull()) {
                    QVERIFY(qAbs(w->DecisionSource1.cellValue(col, r).toDouble() - v.toDouble()) < 1e-6);
                    ++vistos;
                }
            }
        int naoNulos = 0;
        for (const QVariant& v : esperado)
            naoNulos += !v.isNull();
        QCOMPARE(vistos, naoNulos);
        // Every label and figure shows whole ("Outros Medicamentos" was cut at the default width).
        const QFontMetrics rotulo(g.labelFont().font), numero(g.dataFont().font);
        const int coluna = g.view(pivot::PivotGrid::Part::Top)->columnWidth(0);
        QCOMPARE(coluna, g.shownColWidth());
        QVERIFY(coluna >= g.defaultColWidth());
        for (int col = 0; col < g.colCount() - g.fixedCols(); ++col) {
            QVERIFY2(rotulo.horizontalAdvance(g.cells(col, -2)) < coluna, qPrintable(g.cells(col, -2)));
            for (int r = 0; r < g.rowCount() - g.fixedRows(); ++r)
                QVERIFY(numero.horizontalAdvance(g.cells(col, r)) < coluna);
        }

        // The chart shows the same values, totals left out.
        const pivot::PivotChart& chart = *w->DecisionGraph1;
        QCOMPARE(chart.chart()->title(), w->windowTitle());
        QCOMPARE(chart.categories().size(), g.rowCount() - g.fixedRows() - 1);
        QCOMPARE(chart.seriesNames().size(), g.colCount() - g.fixedCols() - 1);
        for (int s = 0; s < chart.seriesNames().size(); ++s)
            for (int r = 0; r < chart.categories().size(); ++r)
                QCOMPARE(chart.values(s).at(r), esperado.value({chart.seriesNames().at(s), chart.categories().at(r)}).toDouble());
    }

    // The chart windows have no Sair: Esc closes them, from the grid or the chart, and
    // closing them closes their query.
    void escapeClosesTheWindow_data()
    {
        QTest::addColumn<bool>("recursos");
        QTest::addColumn<bool>("naGrade");
        QTest::newRow("Fonte Comprovação, from the grid") << false << true;
        QTest::newRow("Aplicação de Recursos, from the chart") << true << false;
    }
    void escapeClosesTheWindow()
    {
        QFETCH(bool, recursos);
        QFETCH(bool, naGrade);
        dados::anoVariado(DMPrincipal->IBDatabaseGeral, ano, 20, 3);
        auto w = janela(recursos);
        QVERIFY(QTest::qWaitForWindowActive(w.get()));
        QWidget* alvo = naGrade ? static_cast<QWidget*>(w->DecisionGrid1) : w->DecisionGraph1;
        alvo->setFocus();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : alvo, Qt::Key_Escape);
        QVERIFY(!w->isVisible());
        QVERIFY(!w->IBQuery1.isActive());
        QVERIFY(Dialogs::records().isEmpty());
    }

    void aYearWithoutDocumentsShowsNothing()
    {
        dados::documento(DMPrincipal->IBDatabaseGeral, QStringLiteral("2004"), QStringLiteral("MG"), 1, QStringLiteral("N"),
                         QStringLiteral("1"), 10.0);
        auto w = janela(false);
        QCOMPARE(w->DecisionGrid1->rowCount(), w->DecisionGrid1->fixedRows());
        QCOMPARE(w->DecisionGrid1->colCount(), w->DecisionGrid1->fixedCols());
        QVERIFY(w->DecisionGraph1->categories().isEmpty());
        QVERIFY(w->DecisionGraph1->seriesNames().isEmpty());
        QVERIFY(Dialogs::records().isEmpty());
    }

    void theMenuOpensBothWindows()
    {
        report::setPreviewSink({});
        pagina.reset();
        delete DMPrincipal;
        DMPrincipal = nullptr;
        const QString banco = support::TestDatabase::fresh(QStringLiteral("demo"));
        QVERIFY(inicializacao::criaObjetosGlobais());
        QStringList titulos;
        for (QAction* comando : {frmPrincipal->Graficos1, frmPrincipal->GraficosAplicaodeRecursos1}) {
            QTimer::singleShot(0, [&] {
                auto* w = qobject_cast<TFormGrafico*>(FormAtivo.data());
                QVERIFY(w);
                titulos << w->windowTitle();
                QVERIFY(w->isModal());
                QCOMPARE(w->DecisionGridRpt1.QuickRep(), &FormImprimeGrid->QuickRep1);
                // The demonstration's municipality bought and paid in MG.
                QVERIFY(w->DecisionGrid1->cells(-1, 0) == QStringLiteral("MG"));
                w->close();
            });
            comando->trigger();
        }
        QCOMPARE(titulos, (QStringList{"Grafico Fonte Comprovação", "Gráfico de aplicação de Recursos"}));
        QVERIFY(Dialogs::records().isEmpty());
        inicializacao::destroiObjetosGlobais();
    }

    void theGridPrintsUnderTheTitleAsItIsLaidOut()
    {
        db::Connection& c = DMPrincipal->IBDatabaseGeral;
        dados::documento(c, ano, QStringLiteral("MG"), 1, QStringLiteral("N"), QStringLiteral("2"), 100.5);
        dados::documento(c, ano, QStringLiteral("SP"), 2, QStringLiteral("N"), QStringLiteral("5"), 20.0);
        auto w = janela(false);
        w->BitBtn2->click();
        QCOMPARE(previstos.size(), 1);
        QCOMPARE(pagina->QuickRep1.title(), QStringLiteral("Grafico Fonte Comprovação"));
        QStringList textos = previstos.first().texts(0);
        QCOMPARE(textos, (QStringList{"Grafico Fonte Comprovação", "Favorecido", "Drogaria/Farmácia ", "Sec. Est. de Saúde", "UF",
                                      "MG", "100,500", "SP", "20,000"}));

        // The user swaps rows and columns: the printout follows.
        w->DecisionSource1.swapAxes();
        w->BitBtn2->click();
        textos = previstos.last().texts(0);
        QCOMPARE(textos, (QStringList{"Grafico Fonte Comprovação", "UF", "MG", "SP", "Favorecido", "Drogaria/Farmácia ",
                                      "100,500", "Sec. Est. de Saúde", "20,000"}));
        // The page is given back: no band, no data request.
        QVERIFY(!pagina->QuickRep1.band(report::BandKind::Detail));
        QVERIFY(!pagina->QuickRep1.dataRequest());
    }

    void theChartPrintsInLandscapeOnTheDefaultPrinter()
    {
        dados::documento(DMPrincipal->IBDatabaseGeral, ano, QStringLiteral("MG"), 1, QStringLiteral("N"), QStringLiteral("1"), 10.0);
        auto w = janela(false);
        QTemporaryDir dir;
        QPrinter& printer = pivot::defaultPrinter();
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("grafico.pdf")));
        printer.setPageOrientation(QPageLayout::Portrait);
        w->BitBtn1->click();
        QVERIFY(Dialogs::records().isEmpty());
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        const QString info = pdfInfo(dir.filePath(QStringLiteral("grafico.pdf")));
        QVERIFY2(info.contains(QStringLiteral("842 x 595")), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("Grafico Fonte Comprovação")), qPrintable(info));

        // A printer that cannot print is told, and nothing else changes.
        printer.setOutputFileName(dir.filePath(QStringLiteral("nao/existe/grafico.pdf")));
        w->BitBtn1->click();
        QCOMPARE(Dialogs::records().size(), 1);
        QCOMPARE(Dialogs::records().first().kind, Dialogs::Kind::Warning);
        QVERIFY(Dialogs::records().first().text.startsWith(QStringLiteral("Não foi possível imprimir o gráfico")));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        printer.setOutputFileName(QString());
    }

    void theChartSavesAsPngOrPdf()
    {
        dados::documento(DMPrincipal->IBDatabaseGeral, ano, QStringLiteral("MG"), 1, QStringLiteral("N"), QStringLiteral("1"), 10.0);
        auto w = janela(true);
        QTemporaryDir dir;
        const QString png = dir.filePath(QStringLiteral("a.png")), pdf = dir.filePath(QStringLiteral("b.PDF")),
                      semSufixo = dir.filePath(QStringLiteral("c"));
        Dialogs::addPaths({png, pdf, semSufixo, QString(), dir.filePath(QStringLiteral("nao/existe/d.png"))});
        for (int i = 0; i < 5; ++i)
            w->BtnSalvaGrafico->click();
        // The dialog offered the window's title as the name.
        QCOMPARE(Dialogs::records().first().kind, Dialogs::Kind::SaveFile);
        QVERIFY(Dialogs::records().first().text.endsWith(QStringLiteral("Gráfico de aplicação de Recursos.png")));
        QCOMPARE(QImage(png).size(), QSize(2000, 1200));
        QVERIFY(pdfInfo(pdf).contains(QStringLiteral("842 x 595")));
        QCOMPARE(QImage(semSufixo + QStringLiteral(".png")).size(), QSize(2000, 1200));
        // Cancelled: nothing; a folder that does not exist: said so.
        QCOMPARE(Dialogs::records().size(), 6);
        QCOMPARE(Dialogs::records().last().kind, Dialogs::Kind::Warning);
        QVERIFY(Dialogs::records().last().text.contains(QStringLiteral("nao/existe/d.png")));
    }

    void theGridCopiesForASpreadsheet()
    {
        db::Connection& c = DMPrincipal->IBDatabaseGeral;
        dados::compra(c, ano, QStringLiteral("MG"), 1, 1, 1234.5);
        dados::compra(c, ano, QStringLiteral("BA"), 3, 36, 0.25);
        auto w = janela(true);
        w->BtnCopiaGrade->click();
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("Recursos\tElenco Minimo\tOutros Medicamentos\n"
                                                                   "UF\t\t\n"
                                                                   "BA\t\t0,25\n"
                                                                   "MG\t1234,5\t\n"));
    }

    void aQueryThatFailsIsToldOnce()
    {
        exec(QStringLiteral("drop table TB_FONTE_COMPROVACAO_MUNICIPIO"));
        auto w = janela(false);
        QCOMPARE(Dialogs::records().size(), 1);
        QCOMPARE(Dialogs::records().first().kind, Dialogs::Kind::Error);
        QVERIFY2(Dialogs::records().first().text.contains(QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO"), Qt::CaseInsensitive),
                 qPrintable(Dialogs::records().first().text));
        // The window stays, empty; becoming active again does not repeat the error.
        QVERIFY(w->isVisible());
        QVERIFY(!w->IBQuery1.isActive());
        QCOMPARE(w->DecisionGrid1->rowCount(), w->DecisionGrid1->fixedRows());
        QVERIFY(w->DecisionGraph1->seriesNames().isEmpty());
        QEvent ativa(QEvent::WindowActivate);
        QApplication::sendEvent(w.get(), &ativa);
        QCOMPARE(Dialogs::records().size(), 1);
    }
};

QTEST_MAIN(TestCharts)
#include "tst_charts.moc"
