#pragma once
// The layout of one run of a report. Internal to the report library.
#include "Report.h"

#include <QFontMetricsF>
#include <QHash>
#include <QSet>
#include <QVarLengthArray>
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
    double width(const QString& s) const { return metrics.horizontalAdvance(s) * kMmPerUnit; }

    QFont font;
    QFontMetricsF metrics;
    double ascent;       // mm
    double height;       // mm, one line without leading
    double lineSpacing;  // mm, from one baseline to the next
};

QStringList wrapText(const QString& text, const FontEntry& font, double width);

class Engine {
public:
    explicit Engine(Report& report);
    Document run();

    QVariant value(const QString& field) const;
    int pageNumber() const { return m_pageNo; }
    int recordNumber() const { return m_recordNo; }
    bool isLastPage() const { return m_lastPage; }
    int pageCount() const { return m_pageCount; }
    const QDateTime& now() const { return m_now; }

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
    bool fits(double height) const { return m_y + height <= m_limit + 1e-6; }
    bool atTop() const { return !m_pageOpen || !m_contentOnPage; }
    void startGroup(const Group* g);
    void accumulate(std::vector<double>* saved);
    void patchPageCounts();

    Report& m_r;
    Document m_doc;
    quint64 m_runId;
    QDateTime m_now;
    std::unordered_map<QString, std::unique_ptr<FontEntry>> m_fonts;

    std::vector<RunningSum*> m_sums;
    std::vector<const Group*> m_sumGroups;  // the group resetting each Group-scope sum
    QVariantMap m_line;
    QVariantMap m_snapshot;
    bool m_useSnapshot = false;
    QStringList m_fieldNames;
    mutable QSet<QString> m_askedNames;

    double m_y = 0;
    double m_limit = 0;
    bool m_pageOpen = false;
    bool m_contentOnPage = false;
    bool m_lastPage = false;
    int m_pageNo = 0;
    int m_pageCount = 0;
    int m_recordNo = 0;
    std::vector<std::pair<qsizetype, qsizetype>> m_footerItems;  // per page: first item, count
    std::vector<PendingCount> m_pendingCounts;
};

}  // namespace report::detail
