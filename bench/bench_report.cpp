// Report rendering: a 2,000-line list of five columns with page totals written to PDF by
// the report engine, against the same lines, page breaks and texts drawn with bare
// QPainter calls on a QPrinter in PDF format. Best of several runs; no assertion on time.
#include "text/Formats.h"
#include "report/Painter.h"
#include "report/Report.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPainter>
#include <QPrinter>
#include <QProcess>
#include <QTemporaryDir>
#include <cstdio>
#include <functional>

namespace {

constexpr int kRows = 2000;
constexpr int kRepeats = 5;
constexpr double kMargin = 12.7;
constexpr double kHeader = 23.5;
constexpr double kColumns = 6;
constexpr double kDetail = 5;
constexpr double kFooter = 6.35;

struct Column {
    const char* field;
    const char* caption;
    double x, width;
    bool right;
    QString mask;
};

const QList<Column>& columns()
{
    static const QList<Column> c{
        {"MES", "Mes", 0, 12, false, {}},
        {"DS_MEDICAMENTO", "Medicamento", 14, 80, false, {}},
        {"VL_UNITARIO", "Valor Unitário", 96, 30, true, text::masks::unitPrice},
        {"QT_MEDICAMENTO", "Quantidade", 128, 24, true, QStringLiteral("###,###,##0")},
        {"VL_TOTAL", "Valor Total", 154, 30.6, true, text::masks::money},
    };
    return c;
}

report::TableSource makeRows()
{
    report::TableSource rows({"MES", "DS_MEDICAMENTO", "VL_UNITARIO", "QT_MEDICAMENTO", "VL_TOTAL"});
    for (int i = 0; i < kRows; ++i) {
        const double unit = 0.37 + (i % 97) * 1.13;
        const int qty = 10 + (i * 7919) % 5000;
        rows.addRow({double(1 + i % 12), QStringLiteral("Medicamento %1 comprimido 500 mg").arg(i % 300, 3, 10, QLatin1Char('0')),
                     unit, qty, unit * qty});
    }
    return rows;
}

void buildReport(report::Report& r, report::TableSource& rows)
{
    using namespace report;
    r.setTitle(QStringLiteral("Descritivo de Aquisição de Medicamentos"));
    r.setMargins(kMargin);
    r.setRecordSource(&rows);
    const double w = r.bandWidth();
    Band& h = r.addBand(BandKind::PageHeader, kHeader);
    auto& title = h.addSystemField(SystemValue::ReportTitle, {0, 0, w, 0});
    title.setAlignment(Qt::AlignHCenter);
    title.setFont(QStringLiteral("Arial"), 12, true);
    h.addLabel(QStringLiteral("Secretaria de Estado da Saúde"), {0, 8, 100, 0});
    h.addLabel(QStringLiteral("Pagina"), {w - 30, 8, 14, 0});
    h.addSystemField(SystemValue::PageNumber, {w - 16, 8, 16, 0}).setAlignment(Qt::AlignRight);
    h.frame().bottom = true;
    Band& c = r.addBand(BandKind::ColumnHeader, kColumns);
    Band& d = r.addBand(BandKind::Detail, kDetail);
    for (const Column& col : columns()) {
        c.addLabel(QString::fromUtf8(col.caption), {col.x, 0.5, col.width, 0}).setAlignment(col.right ? Qt::AlignRight : Qt::AlignLeft);
        d.addDataText(QString::fromLatin1(col.field), {col.x, 0.5, col.width, 0}, col.mask)
            .setAlignment(col.right ? Qt::AlignRight : Qt::AlignLeft);
    }
    c.frame().bottom = true;
    Band& f = r.addBand(BandKind::PageFooter, kFooter);
    f.frame().top = true;
    f.addLabel(QStringLiteral("Total da página -->"), {60, 1, 40, 0});
    f.addRunningSum(QStringLiteral("VL_TOTAL"), ResetScope::Page, {104, 1, 40, 0}, text::masks::money).setAlignment(Qt::AlignRight);
    f.addRunningSum(QStringLiteral("VL_TOTAL"), ResetScope::Report, {w - 40, 1, 40, 0}, text::masks::money)
        .setAlignment(Qt::AlignRight);
}

// The same pages drawn directly: fixed line count per page, texts formatted the same way.
int drawBare(const report::TableSource& rows, const QString& path)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(path);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF()));
    QPainter p(&printer);
    const double px = printer.resolution() / 25.4;
    auto mm = [px](double x, double y, double w, double h) { return QRectF(x * px, y * px, w * px, h * px); };
    QFont base(QStringLiteral("Arial"));
    base.setPointSizeF(10);
    QFont bold = base;
    bold.setPointSizeF(12);
    bold.setBold(true);
    const double width = 210 - 2 * kMargin;
    const double bottom = 297 - kMargin - kFooter;
    const int perPage = int((bottom - kMargin - kHeader - kColumns) / kDetail + 1e-6);
    double grand = 0;
    int pages = 0;
    const auto& cols = columns();
    for (int start = 0; start < rows.rowCount(); start += perPage) {
        if (pages++)
            printer.newPage();
        p.setPen(Qt::black);
        p.setFont(bold);
        p.drawText(mm(kMargin, kMargin, width, 6), Qt::AlignHCenter | Qt::AlignTop,
                   QStringLiteral("Descritivo de Aquisição de Medicamentos"));
        p.setFont(base);
        p.drawText(mm(kMargin, kMargin + 8, 100, 5), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Secretaria de Estado da Saúde"));
        p.drawText(mm(kMargin + width - 30, kMargin + 8, 14, 5), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Pagina"));
        p.drawText(mm(kMargin + width - 16, kMargin + 8, 16, 5), Qt::AlignRight | Qt::AlignTop, QString::number(pages));
        p.setPen(QPen(Qt::black, 0.25 * px));
        p.drawLine(QPointF(kMargin * px, (kMargin + kHeader) * px), QPointF((kMargin + width) * px, (kMargin + kHeader) * px));
        double y = kMargin + kHeader;
        for (const Column& c : cols)
            p.drawText(mm(kMargin + c.x, y + 0.5, c.width, 5), (c.right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop,
                       QString::fromUtf8(c.caption));
        y += kColumns;
        p.drawLine(QPointF(kMargin * px, y * px), QPointF((kMargin + width) * px, y * px));
        double pageSum = 0;
        const int end = std::min<int>(start + perPage, rows.rowCount());
        for (int i = start; i < end; ++i, y += kDetail) {
            const QVariantList& row = rows.rows()[i];
            for (int k = 0; k < cols.size(); ++k)
                p.drawText(mm(kMargin + cols[k].x, y + 0.5, cols[k].width, 5),
                           (cols[k].right ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop, report::formatValue(row[k], cols[k].mask));
            pageSum += row[4].toDouble();
        }
        grand += pageSum;
        const double fy = 297 - kMargin - kFooter;
        p.drawLine(QPointF(kMargin * px, fy * px), QPointF((kMargin + width) * px, fy * px));
        p.drawText(mm(kMargin + 60, fy + 1, 40, 5), Qt::AlignLeft | Qt::AlignTop, QStringLiteral("Total da página -->"));
        p.drawText(mm(kMargin + 104, fy + 1, 40, 5), Qt::AlignRight | Qt::AlignTop, text::formatFloat(text::masks::money, pageSum));
        p.drawText(mm(kMargin + width - 40, fy + 1, 40, 5), Qt::AlignRight | Qt::AlignTop, text::formatFloat(text::masks::money, grand));
    }
    return pages;
}

double best(const std::function<void()>& f)
{
    double best = 1e300;
    for (int i = 0; i < kRepeats; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        best = std::min(best, t.nsecsElapsed() / 1e6);
    }
    return best;
}

QString pdfPages(const QString& path)
{
    QProcess p;
    p.start(QStringLiteral("pdfinfo"), {path});
    p.waitForFinished();
    for (const QString& l : QString::fromUtf8(p.readAllStandardOutput()).split(QLatin1Char('\n')))
        if (l.startsWith(QLatin1String("Pages:")))
            return l.mid(6).trimmed();
    return QStringLiteral("?");
}

}  // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    text::setBrazilianFormats();
    report::installFontSubstitutions();
    QTemporaryDir dir;
    report::TableSource rows = makeRows();
    report::Report r;
    buildReport(r, rows);

    const QString enginePdf = dir.filePath(QStringLiteral("engine.pdf"));
    const QString barePdf = dir.filePath(QStringLiteral("bare.pdf"));
    int pages = 0;
    report::Document doc;
    const double layout = best([&] { doc = r.run(); });
    const double draw = best([&] { report::writePdf(doc, enginePdf); });
    const double engine = best([&] { r.exportPdf(enginePdf); });
    const double bare = best([&] { pages = drawBare(rows, barePdf); });

    std::printf("report rendering, %d lines x 5 columns with page totals, best of %d\n", kRows, kRepeats);
    std::printf("  engine (layout + PDF): %8.1f ms   %s pages\n", engine, qPrintable(pdfPages(enginePdf)));
    std::printf("    layout only:         %8.1f ms   %d pages\n", layout, doc.pageCount());
    std::printf("    drawing only:        %8.1f ms\n", draw);
    std::printf("  bare QPainter on PDF:  %8.1f ms   %s pages (%d drawn)\n", bare, qPrintable(pdfPages(barePdf)), pages);
    std::printf("  ratio engine / bare:   %8.2f (goal: at most 3)\n", engine / bare);
    return 0;
}
