#pragma once
// The layout of one run of a report. Internal to the report library.
#include "report/Report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QSet>
#include <QVarLengthArray>
#include <functional>
#include <memory>
#include <optional>
#include <tuple>
#include <unordered_map>

class QPaintDevice;

namespace report::detail {

// Text is measured at this fixed resolution, whatever it is later drawn on; the painter
// draws at the same font size in its own coordinates, so widths agree everywhere.
constexpr double kLayoutDpi = 1200.0;
constexpr double kMmPerUnit = 25.4 / kLayoutDpi;
const QPaintDevice* layoutDevice();
QFont layoutFont(QFont f);  // what every document font is made of: unhinted, so it scales

struct FontEntry {
    explicit FontEntry(const QFont& f);
    // Measuring shapes the text, the dearest step of a layout; a report repeats its
    // texts (months, codes, names, amounts), so each is measured once per run.
    double width(const QString& s) const;

    QFont font;
    QFontMetricsF metrics;
    double ascent;       // mm
    double height;       // mm, one line without leading
    double lineSpacing;  // mm, from one baseline to the next
    mutable QHash<QString, double> widths;
};

QStringList wrapText(const QString& text, const FontEntry& font, double width);

// Receives each finished page, in order.
using PageSink = std::function<void(const Page&)>;

class Engine {
public:
    // With a sink, each page goes to it as soon as it is finished and leaves the
    // document empty (so that a long report does not wait in memory), unless a page may
    // still change once finished (a page count, a last footer that may go): then every
    // page goes to the sink at the end of the run.
    explicit Engine(Report& report, PageSink sink = {});
    ~Engine();
    Document run();

    QVariant value(const QString& field) const;
    int pageNumber() const { return pageNo_; }
    int recordNumber() const { return recordNo_; }
    bool isLastPage() const { return lastPage_; }
    int pageCount() const { return pageCount_; }
    const QDateTime& now() const { return now_; }

private:
    struct Rendered {
        QList<Item> items;  // band coordinates: x from the left margin, y from the band's top
        double height = 0;
        bool pageDependent = false;  // holds running sums or page fields
        std::vector<std::tuple<TextElement*, qsizetype, qsizetype>> pageCounts;  // element, first item, count
    };
    struct PendingCount {
        int page;
        qsizetype first, count;
        TextElement* element;
        QPointF origin;
    };

    bool fetchFirst();
    void finishWalk();
    void drawPageFrame();
    void handOver();
    bool fetchNext();
    void takeSnapshot();
    void collect(Band* b);

    bool printBand(Band* b, bool detail = false);
    void placeFixed(Band* b, std::optional<double> top = {});
    void place(Rendered& r, double top);
    Rendered render(Band& b);
    qsizetype emitText(const TextElement& el, const QString& text, const QPointF& origin, QList<Item>& out,
                       double* bottom);
    const FontEntry& fontFor(const TextElement& el);

    void ensurePage();
    void startPage();
    void finishPage(bool last);
    bool fits(double height) const { return y_ + height <= limit_ + 1e-6; }
    bool atTop() const { return !pageOpen_ || !contentOnPage_; }
    void startGroup(const Group* g);
    void accumulate(std::vector<double>* saved);
    void patchPageCounts();

    Report& r_;
    Document doc_;
    quint64 runId_;
    QDateTime now_;
    std::unordered_map<QString, std::unique_ptr<FontEntry>> fonts_;

    std::vector<RunningSum*> sums_;
    std::vector<const Group*> sumGroups_;  // the group resetting each Group-scope sum
    QVariantMap line_;
    QVariantMap snapshot_;
    bool useSnapshot_ = false;
    QStringList fieldNames_;
    mutable QSet<QString> askedNames_;
    RecordSource* walking_ = nullptr;  // the source whose walk first() began
    PageSink sink_;
    bool streaming_ = false;
    bool pageCountShown_ = false;

    double y_ = 0;
    double limit_ = 0;
    bool pageOpen_ = false;
    bool contentOnPage_ = false;
    bool lastPage_ = false;
    int pageNo_ = 0;
    int pageCount_ = 0;
    int recordNo_ = 0;
    std::vector<std::pair<qsizetype, qsizetype>> footerItems_;  // per page: first item, count
    std::vector<PendingCount> pendingCounts_;
};

}  // namespace report::detail
