#pragma once
// A banded report: page, bands, record source; run() lays it out into a Document, which
// the preview shows and the painter draws onto a printer or a PDF file.
//
//   report::Report r;
//   r.setTitle("Vendas");
//   r.setRecordSource(&rows);                 // or r.setDataRequest(...)
//   auto& header = r.addBand(report::BandKind::PageHeader, 20);
//   header.addSystemField(report::SystemValue::ReportTitle, {0, 0, r.bandWidth(), 0});
//   auto& detail = r.addBand(report::BandKind::Detail, 5);
//   detail.addDataText("VALOR", {150, 0, 40, 0}, "###,##0.00").setAlignment(Qt::AlignRight);
//   r.preview(parentWindow);
#include "Band.h"
#include "Document.h"
#include "Elements.h"
#include "RecordSource.h"

#include <QDateTime>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QVariantMap>
#include <array>
#include <functional>
#include <memory>
#include <vector>

class QPrinter;
class QWidget;

namespace report {

class Report {
public:
    // Supplies the next line into `line` (empty on entry); false when there is none.
    using DataRequest = std::function<bool(QVariantMap& line)>;
    using ReportStart = std::function<void(Report&)>;

    Report();
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;
    ~Report();

    // Page. Margins in mm; the default is A4 portrait with 10 mm on every side.
    void setPageSize(const QPageSize& size) { m_pageSize = size; }
    const QPageSize& pageSize() const { return m_pageSize; }
    void setOrientation(QPageLayout::Orientation o) { m_orientation = o; }
    QPageLayout::Orientation orientation() const { return m_orientation; }
    void setMargins(const QMarginsF& mm) { m_margins = mm; }
    void setMargins(double mm) { m_margins = QMarginsF(mm, mm, mm, mm); }
    const QMarginsF& margins() const { return m_margins; }
    QSizeF paperSize() const;  // mm, orientation applied
    double bandWidth() const;  // mm between the left and right margins

    // Base font of every text that does not say otherwise (Arial 10 pt by default).
    void setBaseFont(const QString& family, double pointSize);
    const QFont& baseFont() const { return m_baseFont; }

    void setTitle(const QString& t) { m_title = t; }
    const QString& title() const { return m_title; }
    // Off: a report without records has no page. On (default): one page with its headers.
    void setPrintIfEmpty(bool on) { m_printIfEmpty = on; }
    bool printIfEmpty() const { return m_printIfEmpty; }

    // The records, not owned. A data request, when set, is used instead.
    void setRecordSource(RecordSource* source) { m_source = source; }
    RecordSource* recordSource() const { return m_source; }
    void setDataRequest(DataRequest request) { m_dataRequest = std::move(request); }
    const DataRequest& dataRequest() const { return m_dataRequest; }
    // Runs at the start of every run (preview, print, PDF), before the first band.
    void setOnReportStart(ReportStart h) { m_onStart = std::move(h); }
    const ReportStart& onReportStart() const { return m_onStart; }
    // The date and time system fields show; unset, the moment each run starts.
    void setNow(const QDateTime& dt) { m_now = dt; }

    // Bands other than group bands; addBand() returns the existing one with its new height.
    Band& addBand(BandKind kind, double heightMm);
    Band* band(BandKind kind) const;
    void removeBand(BandKind kind);
    Group& addGroup(const QString& field);
    Group& addGroup(Expression expr);
    const std::vector<std::unique_ptr<Group>>& groups() const { return m_groups; }
    void removeGroup(Group* g);

    // Lays the report out afresh: report-start event, running sums at 0, first record.
    Document run();

    // While running: the current record's field (the group's last record while its footer
    // prints, the last record in the summary), the current page, and whether the page
    // footer being printed closes the last page.
    QVariant value(const QString& field) const;
    int pageNumber() const;
    int pageCount() const;  // known once the last page is laid out; 0 before
    int recordNumber() const;
    bool isLastPage() const;
    bool isRunning() const { return m_engine != nullptr; }
    QDateTime runTime() const;  // what the date and time fields show

    // Runs the report and shows it in the modal preview, or hands it to the preview sink.
    // The dialog does not open for a report without pages; the sink receives it all the same.
    void preview(QWidget* parent = nullptr);
    // Each runs the report again.
    bool exportPdf(const QString& path, QString* error = nullptr);
    bool print(QPrinter* printer);

private:
    friend class detail::Engine;
    static constexpr int kSingleBands = 8;

    QPageSize m_pageSize{QPageSize::A4};
    QPageLayout::Orientation m_orientation = QPageLayout::Portrait;
    QMarginsF m_margins{10, 10, 10, 10};
    QFont m_baseFont;
    QString m_title;
    bool m_printIfEmpty = true;
    RecordSource* m_source = nullptr;
    DataRequest m_dataRequest;
    ReportStart m_onStart;
    QDateTime m_now;
    std::array<std::unique_ptr<Band>, kSingleBands> m_bands;
    std::vector<std::unique_ptr<Group>> m_groups;
    detail::Engine* m_engine = nullptr;
};

// Receives every document Report::preview() would show, instead of the dialog; tests set
// it to read what a window previews. An empty function restores the dialog.
using PreviewSink = std::function<void(Report&, const Document&)>;
void setPreviewSink(PreviewSink sink);
const PreviewSink& previewSink();

// Where a requested family is missing, its metric twin: Arial → Liberation Sans, Times New
// Roman → Liberation Serif, Courier New → Liberation Mono. Reports call it by themselves.
void installFontSubstitutions();

}  // namespace report
