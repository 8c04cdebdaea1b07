// The pivot layer read as a user and a file reader see it: the cube's labels and sums,
// every cell of the grid with its kind in each layout, the rearranging a user does, the
// colours and sizes the grid paints, the text a spreadsheet receives, the bars of the
// chart and the files and pages it writes.
#include "pivot/Cube.h"
#include "pivot/PivotChart.h"
#include "pivot/PivotGrid.h"
#include "pivot/PivotModel.h"
#include "text/Formats.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QHeaderView>
#include <QMenu>
#include <QPrinter>
#include <QProcess>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTableView>
#include <QTemporaryDir>
#include <QtTest>

using namespace pivot;

namespace {

// Tipo X in MG twice (1 + 2), Y in MG (4) and SP (8), Y in RJ without a value.
TableRows exemplo()
{
    return TableRows({QStringLiteral("TIPO"), QStringLiteral("UF"), QStringLiteral("VALOR")},
                     {{QStringLiteral("X"), QStringLiteral("MG"), 1.0},
                      {QStringLiteral("Y"), QStringLiteral("SP"), 8.0},
                      {QStringLiteral("Y"), QStringLiteral("MG"), 4.0},
                      {QStringLiteral("X"), QStringLiteral("MG"), 2.0},
                      {QStringLiteral("Y"), QStringLiteral("RJ"), QVariant()}});
}

void define(Cube& cube)
{
    cube.addDimension(QStringLiteral("TIPO"), QStringLiteral("Tipo"));
    cube.addDimension(QStringLiteral("UF"), QStringLiteral("UF"));
    cube.addSummary(QStringLiteral("VALOR"), QStringLiteral("Valor"), QStringLiteral("0.0"));
}

// Every cell of the grid, row by row: its kind (Caption, Label, Data, Other), '*' for a
// total, and its text.
QStringList celulas(const PivotModel& m)
{
    static const char kinds[] = "CLDO";
    QStringList out;
    for (int r = -m.fixedRows(); r < m.dataRowCount(); ++r) {
        QStringList line;
        for (int c = -m.fixedColumns(); c < m.dataColumnCount(); ++c)
            line << QStringLiteral("%1%2:%3")
                        .arg(QLatin1Char(kinds[int(m.cellKind(c, r))]))
                        .arg(m.cellIsTotal(c, r) ? QStringLiteral("*") : QString())
                        .arg(m.cellText(c, r));
        out << line.join(QStringLiteral(" | "));
    }
    return out;
}

QString pdfInfo(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished(30000);
    return QString::fromUtf8(p.readAllStandardOutput());
}

}  // namespace

class TestPivot : public QObject {
    Q_OBJECT

private slots:
    void initTestCase() { text::setBrazilianFormats(); }

    void cubeLabelsInOrderAndSums()
    {
        TableRows rows({QStringLiteral("NOME"), QStringLiteral("N"), QStringLiteral("V")},
                       {{QStringLiteral("Zé"), 10, 1.5},
                        {QStringLiteral("Água Boa"), 2, 2.0},
                        {QVariant(), 2.0, QStringLiteral("x")},
                        {QStringLiteral("Abaeté"), 10, QVariant()},
                        {QStringLiteral("Zé"), 10, 3.0}});
        Cube cube;
        cube.addDimension(QStringLiteral("nome"));
        cube.addDimension(QStringLiteral("N"));
        cube.addSummary(QStringLiteral("v"));
        QSignalSpy changed(&cube, &Cube::changed);
        cube.build(rows);
        QCOMPARE(changed.count(), 1);
        // Nulls first, texts as Portuguese sorts them (the accent does not count), 2 and
        // 2.0 one label, numbers by value.
        QCOMPARE(cube.values(0), (QVariantList{QVariant(), QStringLiteral("Abaeté"), QStringLiteral("Água Boa"), QStringLiteral("Zé")}));
        QCOMPARE(cube.valueCount(1), 2);
        QCOMPARE(cube.values(1).at(0).toDouble(), 2.0);
        QCOMPARE(cube.values(1).at(1).toDouble(), 10.0);
        // One cell per combination met; a value that is null or not a number is not counted.
        QCOMPARE(cube.cellCount(), 4);
        QMap<QString, QPair<double, int>> cells;
        for (int i = 0; i < cube.cellCount(); ++i)
            cells.insert(cube.valueText(0, cube.cellCoordinates(i)[0]), {cube.cellSum(i, 0), cube.cellCount(i, 0)});
        QCOMPARE(cells.value(QStringLiteral("Zé")), (QPair<double, int>{4.5, 2}));
        QCOMPARE(cells.value(QStringLiteral("Abaeté")), (QPair<double, int>{0, 0}));
        QCOMPARE(cells.value(QString()), (QPair<double, int>{0, 0}));

        // A field the rows lack: an error naming it, and an empty cube.
        Cube wrong;
        wrong.addDimension(QStringLiteral("NOME"));
        wrong.addSummary(QStringLiteral("VALOR"));
        try {
            wrong.build(rows);
            QFAIL("a missing field was accepted");
        } catch (const std::runtime_error& e) {
            QVERIFY(QString::fromStdString(e.what()).contains(QStringLiteral("VALOR")));
        }
        QVERIFY(!wrong.isActive());
        QCOMPARE(wrong.cellCount(), 0);
        QVERIFY_THROWS_EXCEPTION(std::logic_error, [] {
            Cube c;
            for (int i = 0; i < 6; ++i)
                c.addDimension(QString::number(i));
        }());
    }

    void gridOfEachLayout_data()
    {
        QTest::addColumn<QList<int>>("rows");
        QTest::addColumn<QList<int>>("columns");
        QTest::addColumn<bool>("totals");
        QTest::addColumn<QStringList>("grid");
        QTest::newRow("states on the rows") << QList<int>{1} << QList<int>{0} << false
                                            << QStringList{
                                                   "O: | C:Tipo | L:X | L:Y",
                                                   "O: | C:UF | O: | O:",
                                                   "O: | L:MG | D:3,0 | D:4,0",
                                                   "O: | L:RJ | D: | D:",
                                                   "O: | L:SP | D: | D:8,0",
                                               };
        QTest::newRow("with totals") << QList<int>{1} << QList<int>{0} << true
                                     << QStringList{
                                            "O: | C:Tipo | L:X | L:Y | L*:Total",
                                            "O: | C:UF | O: | O: | O*:",
                                            "O: | L:MG | D:3,0 | D:4,0 | D*:7,0",
                                            "O: | L:RJ | D: | D: | D*:",
                                            "O: | L:SP | D: | D:8,0 | D*:8,0",
                                            "O: | L*:Total | D*:3,0 | D*:12,0 | D*:15,0",
                                        };
        QTest::newRow("both on the rows") << QList<int>{1, 0} << QList<int>{} << true
                                          << QStringList{
                                                 "O: | C:UF | C:Tipo | L:Valor",
                                                 "O: | L:MG | L:X | D:3,0",
                                                 "O: | L: | L:Y | D:4,0",
                                                 "O: | L*: | L*:Total | D*:7,0",
                                                 "O: | L:RJ | L:Y | D:",
                                                 "O: | L*: | L*:Total | D*:",
                                                 "O: | L:SP | L:Y | D:8,0",
                                                 "O: | L*: | L*:Total | D*:8,0",
                                                 "O: | L*:Total | L*: | D*:15,0",
                                             };
        QTest::newRow("both on the columns") << QList<int>{} << QList<int>{0, 1} << false
                                             << QStringList{
                                                    "O: | C:Tipo | L:X | L:Y | L: | L:",
                                                    "O: | C:UF | L:MG | L:MG | L:RJ | L:SP",
                                                    "O: | L:Valor | D:3,0 | D:4,0 | D: | D:8,0",
                                                };
    }

    void gridOfEachLayout()
    {
        QFETCH(QList<int>, rows);
        QFETCH(QList<int>, columns);
        QFETCH(bool, totals);
        QFETCH(QStringList, grid);
        Cube cube;
        define(cube);
        PivotModel model;
        model.setCube(&cube);
        model.setLayout(rows, columns);
        model.setShowTotals(totals);
        const TableRows data = exemplo();
        cube.build(data);
        QCOMPARE(celulas(model), grid);
        QCOMPARE(model.gridRowCount(), grid.size());
        // Outside the grid: "[Error]".
        for (const QPoint& p : {QPoint(-model.fixedColumns() - 1, 0), QPoint(model.dataColumnCount(), 0),
                                QPoint(0, -model.fixedRows() - 1), QPoint(0, model.dataRowCount())}) {
            QCOMPARE(model.cellText(p.x(), p.y()), QStringLiteral("[Error]"));
            QCOMPARE(model.cellKind(p.x(), p.y()), CellKind::Other);
        }
        // The item model a view shows is the same grid.
        QCOMPARE(model.rowCount(), model.gridRowCount());
        QCOMPARE(model.columnCount(), model.gridColumnCount());
        QCOMPARE(model.index(model.rowCount() - 1, model.columnCount() - 1).data().toString(),
                 model.cellText(model.dataColumnCount() - 1, model.dataRowCount() - 1));
    }

    void anEmptyCubeHasHeadersOnly()
    {
        Cube cube;
        define(cube);
        PivotModel model;
        model.setCube(&cube);
        model.setLayout({1}, {0});
        model.setShowTotals(true);
        cube.build(TableRows({QStringLiteral("TIPO"), QStringLiteral("UF"), QStringLiteral("VALOR")}));
        QCOMPARE(celulas(model), (QStringList{"O: | C:Tipo", "O: | C:UF"}));
        PivotChart chart;
        chart.setSource(&model);
        QVERIFY(chart.categories().isEmpty());
        QVERIFY(chart.seriesNames().isEmpty());
    }

    void theUserRearrangesTheGrid()
    {
        Cube cube;
        define(cube);
        PivotModel model;
        model.setCube(&cube);
        model.setLayout({1}, {0});
        const TableRows data = exemplo();
        cube.build(data);
        PivotGrid grid;
        grid.setSource(&model);
        QSignalSpy rearranged(&grid, &PivotGrid::rearranged);

        // "Tipo" dropped on the states' labels takes their place on the rows; dropped on
        // the caption "UF", it takes UF's place.
        QVERIFY(grid.dropCaption(0, -1, 0));
        QCOMPARE(model.rowDimensions(), (QList<int>{0, 1}));
        QVERIFY(model.columnDimensions().isEmpty());
        QVERIFY(grid.dropCaption(0, -1, -1));
        QCOMPARE(model.rowDimensions(), (QList<int>{1, 0}));
        // A caption dropped on itself, or on the data, changes nothing.
        QVERIFY(!grid.dropCaption(0, -1, -1));
        QVERIFY(!grid.dropCaption(1, 0, 0));
        QCOMPARE(rearranged.count(), 2);

        // The context menu of a caption moves it; "Trocar linhas e colunas" swaps the axes.
        auto acao = [](QMenu* menu, const QString& text) -> QAction* {
            for (QAction* a : menu->actions())
                if (a->text() == text)
                    return a;
            return nullptr;
        };
        std::unique_ptr<QMenu> menu = grid.contextMenu(-1, -1);  // "Tipo", second on the rows
        QVERIFY(menu);
        QVERIFY(acao(menu.get(), QStringLiteral("Mover \"Tipo\" para a esquerda")));
        QVERIFY(!acao(menu.get(), QStringLiteral("Mover \"Tipo\" para a direita")));
        acao(menu.get(), QStringLiteral("Mover \"Tipo\" para as colunas"))->trigger();
        QCOMPARE(model.rowDimensions(), QList<int>{1});
        QCOMPARE(model.columnDimensions(), QList<int>{0});
        menu = grid.contextMenu(0, 0);
        // On a data cell, every dimension can go to the other side.
        QVERIFY(acao(menu.get(), QStringLiteral("Mover \"UF\" para as colunas")));
        QVERIFY(acao(menu.get(), QStringLiteral("Mover \"Tipo\" para as linhas")));
        acao(menu.get(), QStringLiteral("&Trocar linhas e colunas"))->trigger();
        QCOMPARE(model.rowDimensions(), QList<int>{0});
        QCOMPARE(model.columnDimensions(), QList<int>{1});
        QCOMPARE(rearranged.count(), 4);
        QCOMPARE(celulas(model).at(2), QStringLiteral("O: | L:X | D:3,0 | D: | D:"));

        // With the mouse: the caption "UF" dragged onto the caption "Tipo".
        grid.resize(400, 200);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        PivotGrid::Part part{};
        const QRect uf = grid.cellRect(-1, -2, &part);
        QCOMPARE(grid.cells(-1, -2), QStringLiteral("UF"));
        QCOMPARE(part, PivotGrid::Part::Corner);
        QWidget* canto = grid.view(part)->viewport();
        const QPoint tipo = grid.cellRect(-1, -1).center();
        QTest::mousePress(canto, Qt::LeftButton, {}, uf.center());
        QTest::mouseMove(canto, tipo);
        QTest::mouseRelease(canto, Qt::LeftButton, {}, tipo);
        QCOMPARE(model.rowDimensions(), (QList<int>{1, 0}));
        QVERIFY(model.columnDimensions().isEmpty());
        QCOMPARE(rearranged.count(), 5);
    }

    void theGridPaintsByKindAndKeepsItsHeadersInView()
    {
        Cube cube;
        define(cube);
        PivotModel model;
        model.setCube(&cube);
        model.setLayout({1}, {0});
        model.setShowTotals(true);
        const TableRows data = exemplo();
        cube.build(data);
        PivotGrid grid;
        grid.setSource(&model);
        const QColor caption(Qt::darkBlue), label(Qt::lightGray), labelSum(Qt::cyan), dado(Qt::yellow), dadoSum(Qt::green),
            fundo(Qt::gray);
        grid.setCaptionColor(caption);
        grid.setLabelColor(label);
        grid.setLabelSumColor(labelSum);
        grid.setDataColor(dado);
        grid.setDataSumColor(dadoSum);
        grid.setColor(fundo);
        QCOMPARE(grid.cellColor(-1, -2), caption);
        QCOMPARE(grid.cellColor(0, -2), label);
        QCOMPARE(grid.cellColor(2, -2), labelSum);
        QCOMPARE(grid.cellColor(0, -1), fundo);
        QCOMPARE(grid.cellColor(2, -1), labelSum);
        QCOMPARE(grid.cellColor(-1, 0), label);
        QCOMPARE(grid.cellColor(-1, 3), labelSum);
        QCOMPARE(grid.cellColor(0, 0), dado);
        QCOMPARE(grid.cellColor(2, 0), dadoSum);
        QCOMPARE(grid.cellColor(-2, 0), fundo);

        // Painted as such: the middle of a data cell on the screen.
        grid.resize(260, 110);
        grid.show();
        QVERIFY(QTest::qWaitForWindowExposed(&grid));
        PivotGrid::Part part{};
        const QRect r = grid.cellRect(0, 0, &part);
        QCOMPARE(part, PivotGrid::Part::Body);
        const QImage shot = grid.view(part)->viewport()->grab().toImage();
        QCOMPARE(shot.pixelColor(r.center() + QPoint(-r.width() / 2 + 4, 0)), dado);

        // Sizes: the outline column narrow, every other 100 pixels, rows 20.
        grid.setDefaultColWidth(100);
        grid.setDefaultRowHeight(20);
        QCOMPARE(grid.cellRect(-2, -2).width(), grid.outlineWidth());
        QCOMPARE(grid.cellRect(-1, -2).width(), 100);
        QCOMPARE(grid.cellRect(1, 1).size(), QSize(100, 20));

        // The data scrolls under the header rows and columns, which stay in view.
        QTableView* body = grid.view(PivotGrid::Part::Body);
        QVERIFY(body->horizontalScrollBar()->maximum() > 0);
        body->horizontalScrollBar()->setValue(body->horizontalScrollBar()->maximum());
        body->verticalScrollBar()->setValue(body->verticalScrollBar()->maximum());
        QCOMPARE(grid.view(PivotGrid::Part::Top)->horizontalScrollBar()->value(), body->horizontalScrollBar()->value());
        QCOMPARE(grid.view(PivotGrid::Part::Left)->verticalScrollBar()->value(), body->verticalScrollBar()->value());
        QCOMPARE(grid.cellRect(-1, -1, &part).topLeft(), QPoint(grid.outlineWidth(), 20));
        QCOMPARE(part, PivotGrid::Part::Corner);
    }

    void theGridCopiesAsTabSeparatedText()
    {
        Cube cube;
        cube.addDimension(QStringLiteral("TIPO"), QStringLiteral("Tipo"));
        cube.addDimension(QStringLiteral("UF"), QStringLiteral("UF"));
        cube.addSummary(QStringLiteral("VALOR"), QStringLiteral("Valor"), QStringLiteral("###,##0.00"));
        PivotModel model;
        model.setCube(&cube);
        model.setLayout({1}, {0});
        TableRows rows({QStringLiteral("TIPO"), QStringLiteral("UF"), QStringLiteral("VALOR")},
                       {{QStringLiteral("Drogaria\tFarmácia  "), QStringLiteral("MG"), 1234.5},
                        {QStringLiteral("Sec. Est. de Saúde"), QStringLiteral("SP"), 0.125}});
        cube.build(rows);
        PivotGrid grid;
        grid.setSource(&model);
        grid.copyAction()->trigger();
        // Labels without their padding, numbers whole and unformatted, empty cells empty.
        QCOMPARE(QApplication::clipboard()->text(),
                 QStringLiteral("Tipo\tDrogaria Farmácia\tSec. Est. de Saúde\n"
                                "UF\t\t\n"
                                "MG\t1234,5\t\n"
                                "SP\t\t0,125\n"));
        QCOMPARE(model.cellText(0, 0), QStringLiteral("1.234,50"));
    }

    void theChartShowsTheGridsValues()
    {
        Cube cube;
        define(cube);
        PivotModel model;
        model.setCube(&cube);
        model.setLayout({1}, {0});
        model.setShowTotals(true);
        const TableRows data = exemplo();
        cube.build(data);
        PivotChart chart;
        chart.setTitle(QStringLiteral("Gráfico"));
        chart.setSource(&model);
        // Totals are left out; a cell without a value is a bar of 0.
        QCOMPARE(chart.categories(), (QStringList{"MG", "RJ", "SP"}));
        QCOMPARE(chart.seriesNames(), (QStringList{"X", "Y"}));
        QCOMPARE(chart.values(0), (QList<qreal>{3, 0, 0}));
        QCOMPARE(chart.values(1), (QList<qreal>{4, 0, 8}));
        QCOMPARE(chart.seriesColor(0), QColor(Qt::red));
        QVERIFY(chart.seriesColor(1) != QColor(Qt::red));
        QCOMPARE(chart.chart()->title(), QStringLiteral("Gráfico"));

        // It follows the pivot.
        model.swapAxes();
        QCOMPARE(chart.categories(), (QStringList{"X", "Y"}));
        QCOMPARE(chart.values(2), (QList<qreal>{0, 8}));
    }

    void theChartSavesAndPrintsInLandscape()
    {
        Cube cube;
        define(cube);
        PivotModel model;
        model.setCube(&cube);
        model.setLayout({1}, {0});
        const TableRows data = exemplo();
        cube.build(data);
        PivotChart chart;
        chart.setTitle(QStringLiteral("Gráfico"));
        chart.setSource(&model);
        QTemporaryDir dir;

        const QString png = dir.filePath(QStringLiteral("g.png"));
        QVERIFY(chart.savePng(png));
        const QImage image(png);
        QCOMPARE(image.size(), QSize(2000, 1200));
        int red = 0;
        for (int x = 0; x < image.width(); x += 2)
            for (int y = 0; y < image.height(); y += 2)
                red += image.pixelColor(x, y) == QColor(Qt::red);
        QVERIFY2(red > 500, "no red bars in the picture");

        const QString pdf = dir.filePath(QStringLiteral("g.pdf"));
        QVERIFY(chart.savePdf(pdf));
        QVERIFY(pdfInfo(pdf).contains(QStringLiteral("842 x 595")));
        QString error;
        QVERIFY(!chart.savePdf(dir.filePath(QStringLiteral("no/such/folder/g.pdf")), &error));
        QVERIFY(error.contains(QStringLiteral("no/such/folder")));

        // A printer in portrait prints the chart in landscape and is left in portrait.
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        const QString printed = dir.filePath(QStringLiteral("p.pdf"));
        printer.setOutputFileName(printed);
        printer.setPageOrientation(QPageLayout::Portrait);
        QVERIFY(chart.print(printer));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        const QString info = pdfInfo(printed);
        QVERIFY2(info.contains(QStringLiteral("Pages:           1")), qPrintable(info));
        QVERIFY2(info.contains(QStringLiteral("842 x 595")), qPrintable(info));
        // One that fails says so, and keeps its orientation too.
        printer.setOutputFileName(dir.filePath(QStringLiteral("no/such/folder/p.pdf")));
        QVERIFY(!chart.print(printer, &error));
        QVERIFY(error.startsWith(QStringLiteral("Não foi possível imprimir o gráfico")));
        QCOMPARE(printer.pageLayout().orientation(), QPageLayout::Portrait);
        // No printer at all: said so, nothing printed.
        QPrinter none(QPrinter::HighResolution);
        none.setOutputFormat(QPrinter::NativeFormat);
        none.setPrinterName(QString());
        QVERIFY(!chart.print(none, &error));
        QVERIFY2(error.startsWith(QStringLiteral("Não há impressora padrão")), qPrintable(error));
    }
};

QTEST_MAIN(TestPivot)
#include "tst_pivot.moc"
