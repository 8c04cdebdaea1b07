#pragma once
// A banded report: page, bands, record source; run() lays it out into a Document, which
// the preview (PreviewDialog.h) shows and the painter draws onto a printer or a PDF file.
//
//   report::Report r;
//   r.setTitle("Vendas");
//   r.setRecordSource(&rows);                 // or r.setDataRequest(...)
//   auto& header = r.addBand(report::BandKind::PageHeader, 20);
//   header.addSystemField(report::SystemValue::ReportTitle, {0, 0, r.bandWidth(), 0});
//   auto& detail = r.addBand(report::BandKind::Detail, 5);
//   detail.addDataText("VALOR", {150, 0, 40, 0}, "###,##0.00").setAlignment(Qt::AlignRight);
//   report::preview(r, parentWindow);
#include "report/Band.h"
#include "report/Document.h"
#include "report/Elements.h"
#include "report/RecordSource.h"

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
    void setPageSize(const QPageSize& size) { pageSize_ = size; }
    const QPageSize& pageSize() const { return pageSize_; }
    void setOrientation(QPageLayout::Orientation o) { orientation_ = o; }
    QPageLayout::Orientation orientation() const { return orientation_; }
    void setMargins(const QMarginsF& mm) { margins_ = mm; }
    void setMargins(double mm) { margins_ = QMarginsF(mm, mm, mm, mm); }
    const QMarginsF& margins() const { return margins_; }
    // Lines along the sides of every page's printable area (inside the margins), drawn
    // under the bands, whichever bands print.
    Frame& pageFrame() { return pageFrame_; }
    const Frame& pageFrame() const { return pageFrame_; }
    void setPageFrame(const Frame& f) { pageFrame_ = f; }
    QSizeF paperSize() const;  // mm, orientation applied
    double bandWidth() const;  // mm between the left and right margins

    // Base font of every text that does not say otherwise (Arial 10 pt by default).
    void setBaseFont(const QString& family, double pointSize);
    const QFont& baseFont() const { return baseFont_; }

    void setTitle(const QString& t) { title_ = t; }
    const QString& title() const { return title_; }
    // Off: a report without records has no page. On (default): one page with its headers.
    void setPrintIfEmpty(bool on) { printIfEmpty_ = on; }
    bool printIfEmpty() const { return printIfEmpty_; }

    // The records, not owned. A data request, when set, is used instead.
    void setRecordSource(RecordSource* source) { source_ = source; }
    RecordSource* recordSource() const { return source_; }
    void setDataRequest(DataRequest request) { dataRequest_ = std::move(request); }
    const DataRequest& dataRequest() const { return dataRequest_; }
    // Runs at the start of every run (preview, print, PDF), before the first band.
    void setOnReportStart(ReportStart h) { onStart_ = std::move(h); }
    const ReportStart& onReportStart() const { return onStart_; }
    // The date and time system fields show; unset, the moment each run starts.
    void setNow(const QDateTime& dt) { now_ = dt; }

    // Bands other than group bands; addBand() returns the existing one with its new height.
    Band& addBand(BandKind kind, double heightMm);
    Band* band(BandKind kind) const;
    void removeBand(BandKind kind);
    Group& addGroup(const QString& field);
    Group& addGroup(Expression expr);
    const std::vector<std::unique_ptr<Group>>& groups() const { return groups_; }
    void removeGroup(Group* g);

    // Lays the report out afresh: report-start event, running sums at 0, first record.
    Document run();

    // While running: the current record's field (the group's last record while its footer
    // prints, the last record in the summary), the current page, and whether the page
    // footer being printed closes the last page.
    QVariant value(const QString& field) const;
    // The record source's display mask of a field; empty with a data request or none.
    QString displayFormat(const QString& field) const;
    int pageNumber() const;
    int pageCount() const;  // known once the last page is laid out; 0 before
    int recordNumber() const;
    bool isLastPage() const;
    bool isRunning() const { return engine_ != nullptr; }
    QDateTime runTime() const;  // what the date and time fields show

    // Each runs the report again, drawing each page as it is laid out.
    bool exportPdf(const QString& path, QString* error = nullptr);
    bool print(QPrinter* printer);

private:
    friend class detail::Engine;
    // A run that hands each finished page to sink (see detail::Engine).
    Document run(const std::function<void(const Page&)>& sink);
    static constexpr int kSingleBands = 8;

    QPageSize pageSize_{QPageSize::A4};
    QPageLayout::Orientation orientation_ = QPageLayout::Portrait;
    QMarginsF margins_{10, 10, 10, 10};
    Frame pageFrame_;
    QFont baseFont_;
    QString title_;
    bool printIfEmpty_ = true;
    RecordSource* source_ = nullptr;
    DataRequest dataRequest_;
    ReportStart onStart_;
    QDateTime now_;
    std::array<std::unique_ptr<Band>, kSingleBands> bands_;
    std::vector<std::unique_ptr<Group>> groups_;
    detail::Engine* engine_ = nullptr;
};

// Where a requested family is missing, its metric twin: Arial → Liberation Sans, Times New
// Roman → Liberation Serif, Courier New → Liberation Mono. Reports call it by themselves.
void installFontSubstitutions();

}  // namespace report
