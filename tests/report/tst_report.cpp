// The report engine, read through the documents it lays out, the pages it draws and the
// PDF files it writes.
#include "text/Formats.h"
#include "report/Painter.h"
#include "report/PreviewDialog.h"
#include "report/Report.h"
#include "widgets/Dialogs.h"

#include <QImage>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QSpinBox>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

using namespace report;

namespace {

constexpr double kEps = 0.01;  // mm

TableSource numberedRows(int n)
{
    TableSource rows({QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 1; i <= n; ++i)
        rows.addRow({QStringLiteral("Linha %1").arg(i), i * 0.25});
    return rows;
}

QString money(double v)  // what the "0.00" mask prints with the Brazilian formats
{
    return QString::number(v, 'f', 2).replace(QLatin1Char('.'), QLatin1Char(','));
}

// Detail names of a page, in order.
QStringList lines(const Page& page)
{
    QStringList out;
    for (const QString& t : page.texts())
        if (t.startsWith(QLatin1String("Linha ")))
            out << t;
    return out;
}

// The one text whose box starts at `left` mm from the paper's edge.
const Item* textAt(const Page& page, double left)
{
    const Item* found = nullptr;
    for (const Item& it : page.items)
        if (it.kind == Item::Kind::Text && qAbs(it.rect.left() - left) < kEps) {
            if (found)
                return nullptr;
            found = &it;
        }
    return found;
}

QString textAtOr(const Page& page, double left)
{
    const Item* it = textAt(page, left);
    return it ? it->text() : QStringLiteral("<none>");
}

struct Layout {
    double margin = 10;
    double header = 20;
    double columns = 6;
    double footer = 8;
    double detail = 5;
    double title = 0;
    bool landscape = false;
    bool headerOnFirstPage = true;
};

}  // namespace

Q_DECLARE_METATYPE(Layout)

namespace {

// Footer texts start at these offsets from the left margin.
constexpr double kPageSumX = 100;
constexpr double kReportSumX = 140;
constexpr double kUserSumX = 60;

// A list: page header with its label and page number, column captions, one line per
// record (name and value), and a footer with the page sum and the report sum.
std::unique_ptr<Report> listReport(TableSource& rows, const Layout& l = {})
{
    auto r = std::make_unique<Report>();
    r->setTitle(QStringLiteral("Relatório de teste"));
    r->setMargins(l.margin);
    r->setOrientation(l.landscape ? QPageLayout::Landscape : QPageLayout::Portrait);
    r->setRecordSource(&rows);
    r->setNow(QDateTime(QDate(2002, 3, 4), QTime(10, 20, 30)));
    const double w = r->bandWidth();
    if (l.header > 0) {
        Band& h = r->addBand(BandKind::PageHeader, l.header);
        h.setPrintOnFirstPage(l.headerOnFirstPage);
        h.addLabel(QStringLiteral("CABECALHO"), {5, 0, 60, 0});
        h.addSystemField(SystemValue::PageNumber, {w - 20, 0, 20, 0}).setAlignment(Qt::AlignRight);
    }
    if (l.title > 0)
        r->addBand(BandKind::Title, l.title).addLabel(QStringLiteral("TITULO"), {5, 0, 60, 0});
    Band& c = r->addBand(BandKind::ColumnHeader, l.columns);
    c.addLabel(QStringLiteral("Nome"), {0, 0, 40, 0});
    c.addLabel(QStringLiteral("Valor"), {w - 40, 0, 40, 0}).setAlignment(Qt::AlignRight);
    Band& d = r->addBand(BandKind::Detail, l.detail);
    d.addDataText(QStringLiteral("NOME"), {0, 0, 60, 0});
    d.addDataText(QStringLiteral("VALOR"), {w - 40, 0, 40, 0}, QStringLiteral("0.00")).setAlignment(Qt::AlignRight);
    if (l.footer > 0) {
        Band& f = r->addBand(BandKind::PageFooter, l.footer);
        f.addLabel(QStringLiteral("RODAPE"), {5, 0, 30, 0});
        f.addRunningSum(QStringLiteral("VALOR"), ResetScope::Page, {kPageSumX, 0, 30, 0}, QStringLiteral("0.00"));
        f.addRunningSum(QStringLiteral("VALOR"), ResetScope::Report, {kReportSumX, 0, 30, 0}, QStringLiteral("0.00"));
    }
    return r;
}

QString run(const QString& program, const QStringList& args)
{
    QProcess p;
    p.start(program, args);
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>").arg(program, QString::fromLocal8Bit(p.readAllStandardError()));
    return QString::fromUtf8(p.readAllStandardOutput());
}

// Columns of pixels holding ink (darker than mid grey) in a row band of an image.
std::pair<int, int> inkColumns(const QImage& img, const QRect& area)
{
    int first = -1, last = -1;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (qGray(img.pixel(x, y)) < 128) {
                if (first < 0)
                    first = x;
                last = x;
                break;
            }
    return {first, last};
}

}  // namespace

class TestReport : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void pageHeaderAndFooter_data();
    void pageHeaderAndFooter();
    void detailBreaksWhereThePageIsFull_data();
    void detailBreaksWhereThePageIsFull();
    void groups_data();
    void groups();
    void pageFooterTotals();
    void secondRunGivesTheSameDocument();
    void printIfEmpty_data();
    void printIfEmpty();
    void printEventBlanksRepeatedName();
    void cancelledDetailIsNotCounted();
    void landscapeSwapsThePaper();
    void dataRequestReport();
    void valuesThroughMasks_data();
    void valuesThroughMasks();
    void memoWrapsAndStretchesItsBand();
    void memoKeepsLeadingBlanks();
    void sourceWalkEndsAfterEveryRun();
    void autoSizeKeepsTheAlignedEdge_data();
    void autoSizeKeepsTheAlignedEdge();
    void pageCountOnEveryPage();
    void drawingMatchesTheLayout_data();
    void drawingMatchesTheLayout();
    void pdfOfAMultiPageReport_data();
    void pdfOfAMultiPageReport();
    void previewSinkReceivesTheDocument();
    void previewDialogNavigatesAndPrintsAfresh();
    void previewSavesAndPrintsThroughTheScriptedDialogs_data();
    void previewSavesAndPrintsThroughTheScriptedDialogs();
    void previewToolbarFitsASmallScreen();
    void previewWithoutAPrinterOffersPdf_data();
    void previewWithoutAPrinterOffersPdf();
};

void TestReport::initTestCase()
{
    text::setBrazilianFormats();
    // A printer is there unless a test says otherwise (its scripted dialog prints to a file).
    report::setPrinterCheck([] { return true; });
}

void TestReport::cleanup()
{
    setPreviewSink({});
    ui::Dialogs::stopScript();
}

void TestReport::pageHeaderAndFooter_data()
{
    QTest::addColumn<bool>("headerOnFirst");
    QTest::addColumn<bool>("footerOnLast");
    QTest::newRow("both everywhere") << true << true;
    QTest::newRow("no footer on the last page") << true << false;
    QTest::newRow("no header on the first page") << false << true;
}

void TestReport::pageHeaderAndFooter()
{
    QFETCH(bool, headerOnFirst);
    QFETCH(bool, footerOnLast);
    TableSource rows = numberedRows(120);
    Layout l;
    l.headerOnFirstPage = headerOnFirst;
    auto r = listReport(rows, l);
    r->band(BandKind::PageFooter)->setPrintOnLastPage(footerOnLast);
    const Document doc = r->run();
    QVERIFY(doc.pageCount() >= 3);
    for (int p = 0; p < doc.pageCount(); ++p) {
        const Page& page = doc.pages[p];
        const bool header = p > 0 || headerOnFirst;
        const bool footer = p < doc.pageCount() - 1 || footerOnLast;
        QCOMPARE(page.find(QStringLiteral("CABECALHO")).size(), header ? 1 : 0);
        QCOMPARE(page.find(QStringLiteral("RODAPE")).size(), footer ? 1 : 0);
        QCOMPARE(page.find(QStringLiteral("Nome")).size(), 1);  // column captions on every page
        if (header)
            QCOMPARE(page.find(QString::number(p + 1)).size(), 1);
        if (footer)  // at the bottom, above the margin
            QCOMPARE(page.findFirst(QStringLiteral("RODAPE"))->rect.top(), 297.0 - 10 - 8);
    }
}

void TestReport::detailBreaksWhereThePageIsFull_data()
{
    QTest::addColumn<Layout>("layout");
    QTest::addColumn<int>("firstPage");
    QTest::addColumn<int>("perPage");
    Layout l;
    // 297 - 2*10 - 20 - 6 - 8 = 243 mm for lines of 5 mm
    QTest::newRow("A4 portrait") << l << 48 << 48;
    Layout exact = l;
    exact.header = 21;
    exact.footer = 10;  // 240 mm: the 48th line ends exactly at the footer
    QTest::newRow("exact fit") << exact << 48 << 48;
    Layout landscape = l;
    landscape.landscape = true;  // 210 - 20 - 34 = 156 mm
    QTest::newRow("landscape") << landscape << 31 << 31;
    Layout noFooter = l;
    noFooter.footer = 0;  // 251 mm
    QTest::newRow("no page footer") << noFooter << 50 << 50;
    Layout templ;
    templ.margin = 12.7;
    templ.header = 23.5;
    templ.footer = 6.35;
    templ.detail = 6.35;  // 235.75 mm
    QTest::newRow("letterhead page") << templ << 37 << 37;
    Layout title = l;
    title.title = 30;
    QTest::newRow("title on the first page") << title << 42 << 48;
    Layout noHeader = l;
    noHeader.headerOnFirstPage = false;
    QTest::newRow("no header on the first page") << noHeader << 52 << 48;
}

void TestReport::detailBreaksWhereThePageIsFull()
{
    QFETCH(Layout, layout);
    QFETCH(int, firstPage);
    QFETCH(int, perPage);
    const int n = firstPage + 2 * perPage + 3;
    TableSource rows = numberedRows(n);
    auto r = listReport(rows, layout);
    const Document doc = r->run();
    QCOMPARE(doc.pageCount(), 4);
    int next = 1;
    for (int p = 0; p < doc.pageCount(); ++p) {
        const QStringList got = lines(doc.pages[p]);
        const int expected = p == 0 ? firstPage : std::min(perPage, n - next + 1);
        QCOMPARE(got.size(), expected);
        QCOMPARE(got.first(), QStringLiteral("Linha %1").arg(next));
        next += expected;
    }
    // The first line of a following page sits under the page header and column captions.
    const Item* first = doc.pages[1].findFirst(QStringLiteral("Linha %1").arg(firstPage + 1));
    QVERIFY(first);
    QCOMPARE(first->rect.top(), layout.margin + layout.header + layout.columns);
    const Item* last = doc.pages[0].findFirst(QStringLiteral("Linha %1").arg(firstPage));
    const double paperHeight = layout.landscape ? 210 : 297;
    QVERIFY(last->rect.top() + layout.detail <= paperHeight - layout.margin - layout.footer + 1e-6);
}

void TestReport::groups_data()
{
    QTest::addColumn<bool>("newPage");
    QTest::addColumn<QList<int>>("headerPages");  // page of each group header
    QTest::addColumn<QList<int>>("footerPages");
    // Groups of 3, 60 and 2 lines; 48 lines fit on a page without group bands.
    QTest::newRow("each group on a new page") << true << QList<int>{0, 1, 3} << QList<int>{0, 2, 3};
    QTest::newRow("groups run on") << false << QList<int>{0, 0, 1} << QList<int>{0, 1, 1};
}

void TestReport::groups()
{
    QFETCH(bool, newPage);
    QFETCH(QList<int>, headerPages);
    QFETCH(QList<int>, footerPages);
    TableSource rows({QStringLiteral("GRUPO"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    const QStringList names{QStringLiteral("Alfa"), QStringLiteral("Beta"), QStringLiteral("Gama")};
    const QList<int> sizes{3, 60, 2};
    QList<double> totals;
    int line = 0;
    for (int g = 0; g < 3; ++g) {
        double total = 0;
        for (int i = 0; i < sizes[g]; ++i) {
            const double v = ++line * 0.5;
            rows.addRow({names[g], QStringLiteral("Linha %1").arg(line), v});
            total += v;
        }
        totals << total;
    }
    Layout l;
    l.footer = 0;
    l.detail = 4;
    auto r = listReport(rows, l);
    Group& g = r->addGroup(QStringLiteral("GRUPO"));
    g.setNewPage(newPage);
    g.header().setHeight(6);
    g.header().addDataText([](const Report& rep) { return QStringLiteral("Grupo %1").arg(rep.value("GRUPO").toString()); },
                           {0, 0, 80, 0});
    g.footer().setHeight(6);
    // The footer reads the group it closes, not the record that opened the next one.
    g.footer().addDataText([](const Report& rep) { return QStringLiteral("Total %1").arg(rep.value("GRUPO").toString()); },
                           {0, 0, 60, 0});
    g.footer().addRunningSum(QStringLiteral("VALOR"), ResetScope::Group, {kReportSumX, 0, 30, 0}, QStringLiteral("0.00"));

    const Document doc = r->run();
    QCOMPARE(doc.pageCount(), newPage ? 4 : 2);
    for (int i = 0; i < 3; ++i) {
        QList<int> headerAt, footerAt;
        for (int p = 0; p < doc.pageCount(); ++p) {
            if (doc.pages[p].findFirst(QStringLiteral("Grupo ") + names[i]))
                headerAt << p;
            if (const Item* f = doc.pages[p].findFirst(QStringLiteral("Total ") + names[i])) {
                footerAt << p;
                const Item* sum = nullptr;
                for (const Item& it : doc.pages[p].items)
                    if (it.kind == Item::Kind::Text && qAbs(it.rect.left() - (10 + kReportSumX)) < kEps
                        && qAbs(it.rect.top() - f->rect.top()) < kEps)
                        sum = &it;
                QVERIFY(sum);
                QCOMPARE(sum->text(), money(totals[i]));
            }
        }
        QCOMPARE(headerAt, QList<int>{headerPages[i]});
        QCOMPARE(footerAt, QList<int>{footerPages[i]});
    }
    if (newPage)  // a group page starts with the group, under the headers
        QCOMPARE(doc.pages[1].findFirst(QStringLiteral("Grupo Beta"))->rect.top(), 10.0 + 20 + 6);
}

void TestReport::pageFooterTotals()
{
    TableSource rows = numberedRows(110);
    auto r = listReport(rows);
    // The report windows keep their own total in the detail's before-print and show it in
    // the footer's before-print; it must agree with the engine's sums on every page.
    double userTotal = 0;
    auto& shown = r->band(BandKind::PageFooter)->addLabel(QString(), {kUserSumX, 0, 20, 0});
    r->setOnReportStart([&](Report&) { userTotal = 0; });
    r->band(BandKind::Detail)->setBeforePrint([&](Band& b) {
        userTotal += b.report().value("VALOR").toDouble();
        return true;
    });
    r->band(BandKind::PageFooter)->setBeforePrint([&](Band&) {
        shown.setText(money(userTotal));
        return true;
    });
    const Document doc = r->run();
    QCOMPARE(doc.pageCount(), 3);
    double cumulative = 0;
    int line = 0;
    for (int p = 0; p < doc.pageCount(); ++p) {
        double pageSum = 0;
        for (int i = 0; i < lines(doc.pages[p]).size(); ++i)
            pageSum += ++line * 0.25;
        cumulative += pageSum;
        QCOMPARE(textAtOr(doc.pages[p], 10 + kPageSumX), money(pageSum));
        QCOMPARE(textAtOr(doc.pages[p], 10 + kReportSumX), money(cumulative));
        QCOMPARE(textAtOr(doc.pages[p], 10 + kUserSumX), money(cumulative));
    }
    QCOMPARE(line, 110);
    QCOMPARE(textAtOr(doc.pages.last(), 10 + kReportSumX), money(110 * 111 / 2 * 0.25));
}

void TestReport::secondRunGivesTheSameDocument()
{
    TableSource rows = numberedRows(70);
    auto r = listReport(rows);
    int starts = 0;
    double kept = 0;
    auto& label = r->band(BandKind::PageFooter)->addLabel(QString(), {kUserSumX, 0, 20, 0});
    r->setOnReportStart([&](Report&) {
        ++starts;
        kept = 0;
    });
    r->band(BandKind::Detail)->setAfterPrint([&](Band& b) { kept += b.report().value("VALOR").toDouble(); });
    r->band(BandKind::PageFooter)->setBeforePrint([&](Band&) {
        label.setText(money(kept));
        return true;
    });
    const Document first = r->run();
    const Document second = r->run();
    QCOMPARE(starts, 2);
    QCOMPARE(first.pageCount(), 2);
    QCOMPARE(textAtOr(second.pages.last(), 10 + kReportSumX), money(70 * 71 / 2 * 0.25));
    QVERIFY(first == second);
}

void TestReport::printIfEmpty_data()
{
    QTest::addColumn<bool>("printIfEmpty");
    QTest::addColumn<bool>("dataRequest");
    QTest::newRow("off, record source") << false << false;
    QTest::newRow("on, record source") << true << false;
    QTest::newRow("off, data request") << false << true;
    QTest::newRow("on, data request") << true << true;
}

void TestReport::printIfEmpty()
{
    QFETCH(bool, printIfEmpty);
    QFETCH(bool, dataRequest);
    TableSource rows = numberedRows(0);
    auto r = listReport(rows);
    r->setPrintIfEmpty(printIfEmpty);
    if (dataRequest)
        r->setDataRequest([](QVariantMap&) { return false; });
    r->addBand(BandKind::Summary, 6).addLabel(QStringLiteral("FIM"), {0, 0, 20, 0});
    const Document doc = r->run();
    QCOMPARE(doc.pageCount(), printIfEmpty ? 1 : 0);
    if (printIfEmpty) {
        const QStringList texts = doc.texts(0);
        for (const char* t : {"CABECALHO", "Nome", "Valor", "FIM", "RODAPE"})
            QVERIFY2(texts.contains(QLatin1String(t)), t);
        QVERIFY(lines(doc.pages[0]).isEmpty());
        QCOMPARE(textAtOr(doc.pages[0], 10 + kReportSumX), QStringLiteral("0,00"));
    }
}

void TestReport::printEventBlanksRepeatedName()
{
    TableSource rows({QStringLiteral("MEDICAMENTO"), QStringLiteral("NOME"), QStringLiteral("VALOR")});
    for (int i = 1; i <= 53; ++i)
        rows.addRow({i <= 50 ? QStringLiteral("Dipirona") : QStringLiteral("Paracetamol"),
                     QStringLiteral("Linha %1").arg(i), 1.0});
    auto r = listReport(rows);
    QString previous;
    r->setOnReportStart([&](Report&) { previous.clear(); });
    auto& name = r->band(BandKind::Detail)->addDataText(QStringLiteral("MEDICAMENTO"), {70, 0, 50, 0});
    name.setOnPrint([&](TextElement& e, QString& text) {
        if (e.band().report().value("MEDICAMENTO").toString() == previous)
            text.clear();
    });
    r->band(BandKind::Detail)->setAfterPrint([&](Band& b) { previous = b.report().value("MEDICAMENTO").toString(); });

    for (int pass = 0; pass < 2; ++pass) {  // the preview, then the printout
        const Document doc = r->run();
        QCOMPARE(doc.pageCount(), 2);
        QCOMPARE(doc.pages[0].find(QStringLiteral("Dipirona")).size(), 1);
        QCOMPARE(doc.pages[1].find(QStringLiteral("Dipirona")).size(), 0);  // also after the break
        QCOMPARE(doc.pages[1].find(QStringLiteral("Paracetamol")).size(), 1);
        const Item* first = doc.pages[0].findFirst(QStringLiteral("Dipirona"));
        QCOMPARE(first->rect.top(), doc.pages[0].findFirst(QStringLiteral("Linha 1"))->rect.top());
    }
}

void TestReport::cancelledDetailIsNotCounted()
{
    TableSource rows = numberedRows(10);
    auto r = listReport(rows);
    int after = 0;
    r->band(BandKind::Detail)->setBeforePrint([](Band& b) { return b.report().recordNumber() % 2 == 0; });
    r->band(BandKind::Detail)->setAfterPrint([&](Band&) { ++after; });
    const Document doc = r->run();
    QCOMPARE(lines(doc.pages[0]),
             (QStringList{"Linha 2", "Linha 4", "Linha 6", "Linha 8", "Linha 10"}));
    QCOMPARE(after, 5);
    // No gaps: the printed lines follow one another.
    QCOMPARE(doc.pages[0].findFirst("Linha 4")->rect.top() - doc.pages[0].findFirst("Linha 2")->rect.top(), 5.0);
    QCOMPARE(textAtOr(doc.pages[0], 10 + kReportSumX), money((2 + 4 + 6 + 8 + 10) * 0.25));
}

void TestReport::landscapeSwapsThePaper()
{
    TableSource rows = numberedRows(40);
    Layout l;
    l.landscape = true;
    auto r = listReport(rows, l);
    QCOMPARE(r->paperSize(), QSizeF(297, 210));
    QCOMPARE(r->bandWidth(), 277.0);
    const Document doc = r->run();
    QCOMPARE(doc.paperSize(), QSizeF(297, 210));
    QCOMPARE(doc.pageLayout().orientation(), QPageLayout::Landscape);
    QCOMPARE(doc.pageCount(), 2);
    const Item* caption = doc.pages[0].findFirst(QStringLiteral("Valor"));
    QCOMPARE(caption->rect.right(), 287.0);
    QCOMPARE(doc.pages[0].findFirst(QStringLiteral("RODAPE"))->rect.top(), 210.0 - 10 - 8);
}

void TestReport::dataRequestReport()
{
    // One line per call, as the grid printing asks for its rows: a field in the line's
    // values, and a label the request fills itself.
    Report r;
    r.setMargins(10);
    r.addBand(BandKind::Title, 13).addSystemField(SystemValue::ReportTitle, {0, 0, r.bandWidth(), 0}).setAlignment(Qt::AlignHCenter);
    r.setTitle(QStringLiteral("Grade"));
    Band& d = r.addBand(BandKind::Detail, 5.3);
    d.addDataText(QStringLiteral("LINHA"), {0, 0, 30, 5.3});
    auto& cell = d.addLabel(QString(), {30, 0, 26, 5.3});
    cell.setAlignment(Qt::AlignHCenter);
    cell.frame().setAll(true);
    int row = 0;
    r.setOnReportStart([&](Report&) { row = -2; });  // two header rows first
    r.setDataRequest([&](QVariantMap& line) {
        if (row > 59)
            return false;
        line.insert(QStringLiteral("LINHA"), QStringLiteral("Linha %1").arg(row + 3));
        cell.setText(row < 0 ? QStringLiteral("Cabeçalho") : QString::number(row * 10));
        ++row;
        return true;
    });
    const Document doc = r.run();
    // 297 - 20 - 13 = 264 mm on the first page: 49 lines of 5.3 mm; 277 mm then: 52.
    QCOMPARE(doc.pageCount(), 2);
    QCOMPARE(lines(doc.pages[0]).size(), 49);
    QCOMPARE(lines(doc.pages[1]).size(), 13);
    QCOMPARE(doc.pages[0].find(QStringLiteral("Cabeçalho")).size(), 2);
    QCOMPARE(doc.pages[1].find(QStringLiteral("Grade")).size(), 0);
    QCOMPARE(doc.pages[1].find(QStringLiteral("590")).size(), 1);
    const Item* first = doc.pages[0].findFirst(QStringLiteral("Linha 1"));
    QCOMPARE(first->rect.top(), 10.0 + 13);
    QCOMPARE(doc.pages[0].ofKind(Item::Kind::Line).size(), 49 * 4);  // every cell framed
    QVERIFY(r.run() == doc);
}

void TestReport::valuesThroughMasks_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("mask");
    QTest::addColumn<QString>("expected");
    QTest::newRow("money") << QVariant(1234567.5) << text::masks::money << "1.234.567,50";
    QTest::newRow("rounded half up") << QVariant(2.675) << text::masks::money << "2,68";
    QTest::newRow("unit price") << QVariant(1.5) << text::masks::unitPrice << "1,50";
    QTest::newRow("integer with mask") << QVariant(12345) << QStringLiteral("###,###,##0") << "12.345";
    QTest::newRow("float without mask") << QVariant(1234.5) << QString() << "1234,5";
    QTest::newRow("integer without mask") << QVariant(qint64(42)) << QString() << "42";
    QTest::newRow("date") << QVariant(QDate(2002, 1, 5)) << QString() << "05/01/2002";
    QTest::newRow("midnight timestamp") << QVariant(QDateTime(QDate(2002, 1, 5), QTime(0, 0))) << QString()
                                        << "05/01/2002";
    QTest::newRow("timestamp") << QVariant(QDateTime(QDate(2002, 1, 5), QTime(10, 30))) << QString()
                               << "05/01/2002 10:30:00";
    QTest::newRow("text") << QVariant(QStringLiteral("Água Boa")) << QString() << "Água Boa";
    QTest::newRow("null") << QVariant(QMetaType(QMetaType::Double)) << text::masks::money << "";
}

void TestReport::valuesThroughMasks()
{
    QFETCH(QVariant, value);
    QFETCH(QString, mask);
    QFETCH(QString, expected);
    TableSource rows({QStringLiteral("V")}, {{value}});
    Report r;
    r.setRecordSource(&rows);
    r.addBand(BandKind::Detail, 5).addDataText(QStringLiteral("v"), {0, 0, 50, 0}, mask);
    const Document doc = r.run();
    QCOMPARE(doc.texts(0), expected.isEmpty() ? QStringList() : QStringList{expected});
}

void TestReport::memoWrapsAndStretchesItsBand()
{
    const QString text = QStringLiteral("Comprimido de dipirona sódica 500 mg, caixa com vinte comprimidos, "
                                        "uso adulto e pediátrico acima de doze anos");
    TableSource rows({QStringLiteral("NOME"), QStringLiteral("OBS")},
                     {{QStringLiteral("Linha 1"), text}, {QStringLiteral("Linha 2"), QStringLiteral("curto")}});
    Report r;
    r.setMargins(10);
    r.setRecordSource(&rows);
    Band& d = r.addBand(BandKind::Detail, 5);
    d.addDataText(QStringLiteral("NOME"), {0, 0, 20, 0});
    auto& obs = d.addDataText(QStringLiteral("OBS"), {30, 0, 40, 5});
    obs.setWordWrap(true);
    obs.setAutoStretch(true);
    d.frame().bottom = true;
    r.addBand(BandKind::Summary, 5).addMemo(QStringLiteral("Primeira linha\nSegunda linha"), {0, 0, 100, 5});

    const Document doc = r.run();
    const Page& page = doc.pages[0];
    const Item* memo = page.findFirst(QStringLiteral("Primeira linha\nSegunda linha"));
    QVERIFY(memo);
    QCOMPARE(memo->lines.size(), 2);
    const Item* wrapped = nullptr;
    for (const Item& it : page.items)
        if (it.kind == Item::Kind::Text && it.lines.size() > 1 && it.text() != memo->text())
            wrapped = &it;
    QVERIFY(wrapped);
    QVERIFY(wrapped->lines.size() >= 3);
    QCOMPARE(wrapped->lines.join(QLatin1Char(' ')), text);  // no word lost
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(1200 / 0.0254));
    device.setDotsPerMeterY(qRound(1200 / 0.0254));
    const QFontMetricsF fm(wrapped->font, &device);
    for (const QString& l : wrapped->lines)
        QVERIFY2(fm.horizontalAdvance(l) * 25.4 / 1200 <= 40 + 1e-6, qPrintable(l));
    // The band grew with the text: the next line starts under it, and so does the frame.
    const double next = page.findFirst(QStringLiteral("Linha 2"))->rect.top();
    QCOMPARE(next, wrapped->rect.bottom());
    QVERIFY(next > 10 + 5 + 1);
    QCOMPARE(page.ofKind(Item::Kind::Line).first()->rect.top(), next);
}

// A caption indented with blanks prints indented: lines that fit are kept as written,
// and a paragraph that wraps keeps its indent on its first line.
void TestReport::memoKeepsLeadingBlanks()
{
    Report r;
    r.setMargins(10);
    Band& h = r.addBand(BandKind::PageHeader, 20);
    auto& saldo = h.addMemo(QStringLiteral("    Saldo \n  Anterior\n( Devedor )"), {0, 0, 34, 5});
    auto& longo = h.addMemo(QStringLiteral("   Recursos alocados em medicamentos entregues"), {40, 0, 30, 5});
    const Document doc = r.run();
    const Page& page = doc.pages[0];
    const Item* s = page.findFirst(saldo.text());
    QVERIFY(s);
    QCOMPARE(s->lines, (QStringList{QStringLiteral("    Saldo "), QStringLiteral("  Anterior"), QStringLiteral("( Devedor )")}));
    for (const QPointF& o : s->origins)
        QCOMPARE(o.x(), 10.0);
    const Item* l = nullptr;
    for (const Item* it : page.ofKind(Item::Kind::Text))
        if (it != s)
            l = it;
    QVERIFY(l && l->lines.size() > 1);
    QVERIFY2(l->lines[0].startsWith(QStringLiteral("   Recursos")), qPrintable(l->lines[0]));
    QVERIFY(!l->lines[1].startsWith(QLatin1Char(' ')));
    QCOMPARE(l->lines.join(QLatin1Char(' ')), longo.text());
}

// A source hears when every run's walk is over, once, also when the run stops on an
// error, so that a dataset someone is looking at can be put back.
void TestReport::sourceWalkEndsAfterEveryRun()
{
    struct Fonte : RecordSource {
        TableSource rows{{QStringLiteral("NOME"), QStringLiteral("VALOR")}, {{QStringLiteral("Linha 1"), 1.0}}};
        int walks = 0, ends = 0;
        void first() override { ++walks; rows.first(); }
        void next() override { rows.next(); }
        bool eof() const override { return rows.eof(); }
        QVariant value(const QString& f) const override { return rows.value(f); }
        bool isEmpty() const override { return rows.isEmpty(); }
        void finish() override { ++ends; }
        void clear() { rows.clear(); }
    } rows;
    TableSource unused;
    auto r = listReport(unused);
    r->setRecordSource(&rows);
    r->run();
    QCOMPARE(rows.walks, 1);
    QCOMPARE(rows.ends, 1);
    r->band(BandKind::Detail)->setBeforePrint([](Band&) -> bool { throw std::runtime_error("falhou"); });
    QVERIFY_THROWS_EXCEPTION(std::runtime_error, r->run());
    QCOMPARE(rows.walks, 2);
    QCOMPARE(rows.ends, 2);
    // A source with no rows is not walked, and so not ended.
    rows.clear();
    r->setPrintIfEmpty(false);
    QCOMPARE(r->run().pageCount(), 0);
    QCOMPARE(rows.walks, 2);
    QCOMPARE(rows.ends, 2);
}

void TestReport::autoSizeKeepsTheAlignedEdge_data()
{
    QTest::addColumn<int>("alignment");
    QTest::newRow("left") << int(Qt::AlignLeft);
    QTest::newRow("centre") << int(Qt::AlignHCenter);
    QTest::newRow("right") << int(Qt::AlignRight);
}

void TestReport::autoSizeKeepsTheAlignedEdge()
{
    QFETCH(int, alignment);
    Report r;
    r.setMargins(10);
    Band& t = r.addBand(BandKind::Title, 10);
    auto& fixed = t.addLabel(QStringLiteral("Estado :"), {50, 0, 60, 0});
    fixed.setAlignment(Qt::Alignment(alignment));
    auto& sized = t.addLabel(QStringLiteral("Estado :"), {50, 5, 60, 0});
    sized.setAlignment(Qt::Alignment(alignment));
    sized.setAutoSize(true);
    const Document doc = r.run();
    const QList<const Item*> items = doc.pages[0].find(QStringLiteral("Estado :"));
    QCOMPARE(items.size(), 2);
    const QRectF box = items[0]->rect;
    const QRectF fit = items[1]->rect;
    QCOMPARE(box, QRectF(60, 10, 60, box.height()));
    QVERIFY(fit.width() > 5 && fit.width() < 20);
    // The text stands where it stood in the fixed box.
    QCOMPARE(items[1]->origins[0].x(), items[0]->origins[0].x());
    if (alignment == Qt::AlignLeft)
        QCOMPARE(fit.left(), 60.0);
    else if (alignment == Qt::AlignRight)
        QCOMPARE(fit.right(), 120.0);
    else
        QCOMPARE(fit.center().x(), 90.0);
}

void TestReport::pageCountOnEveryPage()
{
    TableSource rows = numberedRows(110);
    auto r = listReport(rows);
    Band* h = r->band(BandKind::PageHeader);
    const double w = r->bandWidth();
    h->addLabel(QStringLiteral("de"), {w - 30, 5, 10, 0});
    auto& count = h->addSystemField(SystemValue::PageCount, {w - 20, 5, 20, 0});
    count.setAlignment(Qt::AlignRight);
    count.setAutoSize(true);
    h->addSystemField(SystemValue::Date, {5, 10, 30, 0});
    h->addSystemField(SystemValue::Time, {40, 10, 30, 0});
    const Document doc = r->run();
    QCOMPARE(doc.pageCount(), 3);
    for (int p = 0; p < 3; ++p) {
        const Page& page = doc.pages[p];
        const Item* c = nullptr;
        for (const Item& it : page.items)
            if (it.kind == Item::Kind::Text && qAbs(it.rect.top() - 15) < kEps && qAbs(it.rect.right() - 200) < kEps)
                c = &it;
        QVERIFY(c);
        QCOMPARE(c->text(), QStringLiteral("3"));
        QVERIFY(page.findFirst(QStringLiteral("04/03/2002")));
        QVERIFY(page.findFirst(QStringLiteral("10:20:30")));
    }
    // Saved as PDF, whose pages are drawn as they are laid out, a page count still
    // reaches the first pages: they wait for the last.
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("contagem.pdf"));
    QVERIFY(r->exportPdf(path));
    const QStringList folhas = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")})
                                   .split(QLatin1Char('\f'), Qt::SkipEmptyParts);
    QCOMPARE(folhas.size(), 3);
    for (const QString& f : folhas)
        QVERIFY2(QRegularExpression(QStringLiteral("de\\s+3\\n")).match(f).hasMatch(), qPrintable(f.left(300)));
}

void TestReport::drawingMatchesTheLayout_data()
{
    QTest::addColumn<int>("dpi");
    QTest::newRow("screen") << 96;
    QTest::newRow("printer") << 300;
}

void TestReport::drawingMatchesTheLayout()
{
    QFETCH(int, dpi);
    Report r;
    r.setMargins(10);
    Band& t = r.addBand(BandKind::Title, 20);
    auto& right = t.addLabel(QStringLiteral("Total geral 1.234.567,89"), {90, 0, 100, 0});
    right.setAlignment(Qt::AlignRight);
    right.setFont(QStringLiteral("Arial"), 12, true);
    auto& left = t.addLabel(QStringLiteral("Descritivo de Aquisição"), {0, 10, 100, 0});
    left.setFont(QStringLiteral("Times New Roman"), 14);
    const Document doc = r.run();
    const Item* a = doc.pages[0].findFirst(right.text());
    const Item* b = doc.pages[0].findFirst(left.text());

    const double pxPerMm = dpi / 25.4;
    QImage img(qRound(210 * pxPerMm), qRound(297 * pxPerMm), QImage::Format_RGB32);
    img.setDotsPerMeterX(qRound(dpi / 0.0254));
    img.setDotsPerMeterY(qRound(dpi / 0.0254));
    img.fill(Qt::white);
    {
        QPainter p(&img);
        drawPage(p, doc.pages[0], pxPerMm);
    }
    auto rowsOf = [&](const Item* it) {
        return QRect(0, qRound(it->rect.top() * pxPerMm), img.width(), qRound(it->rect.height() * pxPerMm));
    };
    QImage device(1, 1, QImage::Format_RGB32);
    device.setDotsPerMeterX(qRound(1200 / 0.0254));
    device.setDotsPerMeterY(qRound(1200 / 0.0254));
    const double tolerance = 0.6;  // mm: side bearings and anti-aliasing
    {
        const auto [first, last] = inkColumns(img, rowsOf(a));
        const double width = QFontMetricsF(a->font, &device).horizontalAdvance(a->text()) * 25.4 / 1200;
        QVERIFY2(qAbs(last / pxPerMm - 200) < tolerance, qPrintable(QString::number(last / pxPerMm)));
        QVERIFY2(qAbs(first / pxPerMm - (200 - width)) < tolerance, qPrintable(QString::number(first / pxPerMm)));
    }
    {
        const auto [first, last] = inkColumns(img, rowsOf(b));
        const double width = QFontMetricsF(b->font, &device).horizontalAdvance(b->text()) * 25.4 / 1200;
        QVERIFY(qAbs(first / pxPerMm - 10) < tolerance);
        QVERIFY2(qAbs(last / pxPerMm - (10 + width)) < tolerance, qPrintable(QString::number(last / pxPerMm)));
    }
}

void TestReport::pdfOfAMultiPageReport_data()
{
    QTest::addColumn<bool>("landscape");
    QTest::addColumn<int>("pages");
    QTest::addColumn<QString>("size");
    QTest::newRow("portrait") << false << 3 << "595 x 842 pts (A4)";
    QTest::newRow("landscape") << true << 4 << "842 x 595 pts (A4)";
}

void TestReport::pdfOfAMultiPageReport()
{
    QFETCH(bool, landscape);
    QFETCH(int, pages);
    QFETCH(QString, size);
    TableSource rows = numberedRows(110);
    Layout l;
    l.landscape = landscape;
    auto r = listReport(rows, l);
    r->band(BandKind::PageHeader)->frame().bottom = true;
    r->band(BandKind::PageFooter)->frame().top = true;
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("relatorio.pdf"));
    QString error;
    QVERIFY2(r->exportPdf(path, &error), qPrintable(error));

    const QString info = run(QStringLiteral("pdfinfo"), {path});
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+%1\\n").arg(pages))), qPrintable(info));
    QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Page size:\\s+") + QRegularExpression::escape(size))),
             qPrintable(info));
    QVERIFY2(info.contains(QStringLiteral("Relatório de teste")), qPrintable(info));
    const Document doc = r->run();
    QCOMPARE(doc.pageCount(), pages);
    for (int p = 1; p <= pages; ++p) {
        const QString page = run(QStringLiteral("pdftotext"),
                                 {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(p),
                                  QStringLiteral("-l"), QString::number(p), path, QStringLiteral("-")});
        QVERIFY2(page.contains(QStringLiteral("CABECALHO")), qPrintable(page));
        QVERIFY2(page.contains(lines(doc.pages[p - 1]).first()), qPrintable(page));
        QVERIFY2(page.contains(textAtOr(doc.pages[p - 1], 10 + kReportSumX)), qPrintable(page));
    }
    const QString last = run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), QStringLiteral("-f"),
                                                           QString::number(pages), path, QStringLiteral("-")});
    QVERIFY2(last.contains(QRegularExpression(QStringLiteral("RODAPE\\s+\\S+\\s+1526,25"))), qPrintable(last));

    // Where the PDF puts a right-aligned caption: the right edge of its box.
    const QString boxes = run(QStringLiteral("pdftotext"), {QStringLiteral("-bbox"), QStringLiteral("-f"),
                                                            QStringLiteral("1"), QStringLiteral("-l"),
                                                            QStringLiteral("1"), path, QStringLiteral("-")});
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("xMax=\"([0-9.]+)\"[^>]*>Valor<")).match(boxes);
    QVERIFY2(m.hasMatch(), qPrintable(boxes.left(2000)));
    const double rightMm = m.captured(1).toDouble() * 25.4 / 72;
    QVERIFY2(qAbs(rightMm - doc.pages[0].findFirst(QStringLiteral("Valor"))->rect.right()) < 0.5,
             qPrintable(QString::number(rightMm)));

    const QString fonts = run(QStringLiteral("pdffonts"), {path});
    QVERIFY2(fonts.contains(QStringLiteral("LiberationSans")), qPrintable(fonts));
    for (const QString& line : fonts.split(QLatin1Char('\n')).mid(2))
        if (!line.trimmed().isEmpty())
            QVERIFY2(line.contains(QRegularExpression(QStringLiteral("Identity-H\\s+yes\\b"))), qPrintable(line));
}

void TestReport::previewSinkReceivesTheDocument()
{
    TableSource rows = numberedRows(60);
    auto r = listReport(rows);
    QList<Document> previewed;
    setPreviewSink([&](Report& rep, const Document& doc) {
        QCOMPARE(&rep, r.get());
        previewed << doc;
    });
    report::preview(*r, nullptr);
    rows.clear();
    r->setPrintIfEmpty(false);
    report::preview(*r, nullptr);
    QCOMPARE(previewed.size(), 2);
    QCOMPARE(previewed[0].pageCount(), 2);
    QCOMPARE(lines(previewed[0].pages[1]).last(), QStringLiteral("Linha 60"));
    QCOMPARE(previewed[1].pageCount(), 0);
}

void TestReport::previewDialogNavigatesAndPrintsAfresh()
{
    TableSource rows = numberedRows(110);
    auto r = listReport(rows);
    int starts = 0;
    r->setOnReportStart([&](Report&) { ++starts; });
    PreviewDialog dialog(*r, r->run());
    QCOMPARE(starts, 1);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Visualização - Relatório de teste"));
    auto action = [&](const char* text) {
        for (QAction* a : dialog.findChildren<QAction*>())
            if (a->text() == QString::fromUtf8(text))
                return a;
        return static_cast<QAction*>(nullptr);
    };
    auto* pageBox = dialog.findChild<QSpinBox*>();
    QVERIFY(pageBox && action("Primeira") && action("Anterior") && action("Próxima") && action("Última"));
    QCOMPARE(pageBox->value(), 1);
    QVERIFY(!action("Anterior")->isEnabled());
    action("Próxima")->trigger();
    QCOMPARE(dialog.currentPage(), 1);
    QCOMPARE(pageBox->value(), 2);
    action("Última")->trigger();
    QCOMPARE(dialog.currentPage(), 2);
    QVERIFY(!action("Próxima")->isEnabled());
    pageBox->setValue(1);
    QCOMPARE(dialog.currentPage(), 0);

    const double z = dialog.zoom();
    action("Ampliar")->trigger();
    QCOMPARE(dialog.zoom(), z * 1.25);
    action("100%")->trigger();
    QCOMPARE(dialog.zoom(), 1.0);
    action("Página inteira")->trigger();
    QCOMPARE(dialog.zoomMode(), PreviewDialog::ZoomMode::FitPage);
    QVERIFY(dialog.zoom() < 1.0);

    QTemporaryDir dir;
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(dir.filePath(QStringLiteral("impresso.pdf")));
    QVERIFY(dialog.printTo(&printer));
    QCOMPARE(starts, 2);
    QVERIFY(dialog.savePdf(dir.filePath(QStringLiteral("salvo.pdf"))));
    QCOMPARE(starts, 3);
    for (const char* name : {"impresso.pdf", "salvo.pdf"}) {
        const QString info = run(QStringLiteral("pdfinfo"), {dir.filePath(QString::fromLatin1(name))});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(info));
    }
}

void TestReport::previewSavesAndPrintsThroughTheScriptedDialogs_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("answer");   // the path chosen, relative to a fresh folder; "" cancels
    QTest::addColumn<QString>("written");  // the file that must hold the report, "" none
    QTest::addColumn<QString>("warning");  // the start of the warning shown, "" none
    QTest::newRow("save, .pdf added") << "Salvar PDF" << "saida" << "saida.pdf" << "";
    QTest::newRow("save cancelled") << "Salvar PDF" << "" << "" << "";
    QTest::newRow("save into a missing folder") << "Salvar PDF" << "falta/saida.pdf" << ""
                                                << "Não foi possível gravar o arquivo";
    QTest::newRow("print to a file") << "Imprimir" << "impresso.pdf" << "impresso.pdf" << "";
    QTest::newRow("print cancelled") << "Imprimir" << "" << "" << "";
    QTest::newRow("print into a missing folder") << "Imprimir" << "falta/impresso.pdf" << ""
                                                 << "Não foi possível imprimir o relatório";
}

void TestReport::previewSavesAndPrintsThroughTheScriptedDialogs()
{
    QFETCH(QString, button);
    QFETCH(QString, answer);
    QFETCH(QString, written);
    QFETCH(QString, warning);
    TableSource rows = numberedRows(110);
    auto r = listReport(rows);
    PreviewDialog dialog(*r, r->run());
    QTemporaryDir dir;
    ui::Dialogs::startScript();
    ui::Dialogs::addPaths({answer.isEmpty() ? QString() : dir.filePath(answer)});
    QAction* action = nullptr;
    for (QAction* a : dialog.findChildren<QAction*>())
        if (a->text() == button)
            action = a;
    QVERIFY(action);
    if (!warning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, "QPainter::begin(): Returned false");
    action->trigger();

    const auto& records = ui::Dialogs::records();
    QVERIFY(!records.isEmpty());
    const bool saving = button == QStringLiteral("Salvar PDF");
    QCOMPARE(records.first().kind, saving ? ui::Dialogs::Kind::SaveFile : ui::Dialogs::Kind::Print);
    QCOMPARE(records.first().title, button);
    if (saving)
        QCOMPARE(records.first().text, QStringLiteral("Relatório de teste.pdf"));
    if (warning.isEmpty()) {
        QCOMPARE(records.size(), 1);
    } else {
        QCOMPARE(records.size(), 2);
        QCOMPARE(records.at(1).kind, ui::Dialogs::Kind::Warning);
        QVERIFY2(records.at(1).text.startsWith(warning), qPrintable(records.at(1).text));
        QVERIFY2(records.at(1).text.contains(dir.filePath(answer)), qPrintable(records.at(1).text));
    }
    const QStringList files = QDir(dir.path()).entryList(QDir::Files);
    QCOMPARE(files, written.isEmpty() ? QStringList() : QStringList{written});
    if (!written.isEmpty()) {
        const QString info = run(QStringLiteral("pdfinfo"), {dir.filePath(written)});
        QVERIFY2(info.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))), qPrintable(info));
    }
}

// On a 1024×768 screen the preview's toolbar shows every command, "Fechar" too, without
// the overflow button; each command keeps its key.
void TestReport::previewToolbarFitsASmallScreen()
{
    TableSource rows = numberedRows(110);
    auto r = listReport(rows);
    PreviewDialog dialog(*r, r->run());
    dialog.resize(1024 * 9 / 10, 768 * 9 / 10);  // what the preview takes of such a screen
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    QStringList vistos, escondidos;
    for (QToolButton* b : dialog.findChildren<QToolButton*>()) {
        if (b->objectName() == QLatin1String("qt_toolbar_ext_button")) {
            if (b->isVisible())
                escondidos << QStringLiteral("››");
            continue;
        }
        (b->isVisible() && b->geometry().right() < b->parentWidget()->width() ? vistos : escondidos) << b->text();
    }
    QVERIFY2(escondidos.isEmpty(), qPrintable(escondidos.join(QStringLiteral(", "))));
    QVERIFY(vistos.contains(QStringLiteral("Fechar")));
    QCOMPARE(vistos.size(), 12);
    QMap<QString, QKeySequence> teclas;
    for (QAction* a : dialog.findChildren<QAction*>())
        teclas[a->text()] = a->shortcut();
    QCOMPARE(teclas.value(QStringLiteral("Fechar")), QKeySequence(Qt::Key_Escape));
    QCOMPARE(teclas.value(QStringLiteral("Imprimir")), QKeySequence(QKeySequence::Print));
    QCOMPARE(teclas.value(QStringLiteral("Salvar PDF")), QKeySequence(QKeySequence::Save));
    QCOMPARE(teclas.value(QStringLiteral("Próxima")), QKeySequence(Qt::Key_PageDown));
    QCOMPARE(teclas.value(QStringLiteral("Anterior")), QKeySequence(Qt::Key_PageUp));
    QCOMPARE(teclas.value(QStringLiteral("Ampliar")), QKeySequence(Qt::CTRL | Qt::Key_Plus));
    QCOMPARE(teclas.value(QStringLiteral("Reduzir")), QKeySequence(Qt::CTRL | Qt::Key_Minus));
}

// Without a printer "Imprimir" says so and offers "Salvar PDF": answered "Sim", the save
// dialog and the file; "Não", nothing more. The print dialog is never offered.
void TestReport::previewWithoutAPrinterOffersPdf_data()
{
    QTest::addColumn<bool>("salva");
    QTest::newRow("saved as PDF") << true;
    QTest::newRow("declined") << false;
}

void TestReport::previewWithoutAPrinterOffersPdf()
{
    QFETCH(bool, salva);
    TableSource rows = numberedRows(110);
    auto r = listReport(rows);
    PreviewDialog dialog(*r, r->run());
    QTemporaryDir dir;
    report::setPrinterCheck([] { return false; });
    ui::Dialogs::startScript({salva});
    ui::Dialogs::addPaths({dir.filePath(QStringLiteral("relatorio.pdf"))});
    dialog.print();
    report::setPrinterCheck([] { return true; });

    const auto& records = ui::Dialogs::records();
    QCOMPARE(records.value(0).kind, ui::Dialogs::Kind::Confirmation);
    QCOMPARE(records.value(0).text, QStringLiteral("Não há impressora instalada para imprimir o relatório.\n"
                                                   "Deseja salvar o relatório em PDF?"));
    QCOMPARE(records.size(), salva ? 2 : 1);
    if (salva)
        QCOMPARE(records.at(1).kind, ui::Dialogs::Kind::SaveFile);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files), salva ? QStringList{QStringLiteral("relatorio.pdf")} : QStringList());
}

QTEST_MAIN(TestReport)
#include "tst_report.moc"
