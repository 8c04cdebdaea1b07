#pragma once
// Bands: horizontal strips of a page, printed once, per page, per record or per group.
#include "Elements.h"

#include <functional>
#include <memory>
#include <vector>

namespace report {

enum class BandKind { Title, PageHeader, ColumnHeader, GroupHeader, Detail, GroupFooter, Summary, PageFooter };

class Band {
public:
    // Runs before each occurrence, when the report's current record is the one the band
    // is for; returning false leaves this occurrence out. It may change the elements.
    using BeforePrint = std::function<bool(Band&)>;
    // Runs after each printed occurrence.
    using AfterPrint = std::function<void(Band&)>;

    Band(Report& report, BandKind kind, Group* group = nullptr);
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;
    ~Band();

    BandKind kind() const { return m_kind; }
    Report& report() const { return m_report; }
    Group* group() const { return m_group; }  // group headers and footers

    double height() const { return m_height; }  // mm
    void setHeight(double mm) { m_height = mm; }
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }
    void setFrame(const Frame& f) { m_frame = f; }
    // Page header only.
    bool printOnFirstPage() const { return m_onFirstPage; }
    void setPrintOnFirstPage(bool on) { m_onFirstPage = on; }
    // Page footer only.
    bool printOnLastPage() const { return m_onLastPage; }
    void setPrintOnLastPage(bool on) { m_onLastPage = on; }

    void setBeforePrint(BeforePrint h) { m_before = std::move(h); }
    const BeforePrint& beforePrint() const { return m_before; }
    void setAfterPrint(AfterPrint h) { m_after = std::move(h); }
    const AfterPrint& afterPrint() const { return m_after; }

    // Rectangles are in mm from the band's top-left corner.
    Label& addLabel(const QString& text, const QRectF& mm);
    DataText& addDataText(const QString& field, const QRectF& mm, const QString& mask = {});
    DataText& addDataText(Expression expr, const QRectF& mm, const QString& mask = {});
    Memo& addMemo(const QString& text, const QRectF& mm);
    SystemField& addSystemField(SystemValue what, const QRectF& mm);
    RunningSum& addRunningSum(const QString& field, ResetScope scope, const QRectF& mm, const QString& mask = {});
    RunningSum& addRunningSum(Expression expr, ResetScope scope, const QRectF& mm, const QString& mask = {});
    LineElement& addLine(const QLineF& mm, double width = 0.25);
    LineElement& addHLine(double x, double y, double length, double width = 0.25);
    LineElement& addVLine(double x, double y, double length, double width = 0.25);
    ShapeElement& addRect(const QRectF& mm, const QColor& fill = {}, double penWidth = 0.25);

    const std::vector<std::unique_ptr<Element>>& elements() const { return m_elements; }
    Element* find(const QString& name) const;
    void removeElement(Element* e);
    void clearElements() { m_elements.clear(); }

private:
    template <class T, class... A>
    T& add(A&&... args)
    {
        m_elements.push_back(std::make_unique<T>(*this, std::forward<A>(args)...));
        return static_cast<T&>(*m_elements.back());
    }

    Report& m_report;
    BandKind m_kind;
    Group* m_group;
    double m_height = 0;
    bool m_enabled = true;
    bool m_onFirstPage = true;
    bool m_onLastPage = true;
    Frame m_frame;
    BeforePrint m_before;
    AfterPrint m_after;
    std::vector<std::unique_ptr<Element>> m_elements;
};

// A group of consecutive records with the same value of an expression: a header before
// the first record of each group and a footer after its last.
class Group {
public:
    Group(Report& report, Expression expr);
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

    Band& header() { return m_header; }
    Band& footer() { return m_footer; }
    const Expression& expression() const { return m_expr; }
    void setExpression(Expression e) { m_expr = std::move(e); }
    void setField(const QString& field);
    // Every group starts on a new page, unless nothing but headers is on the page yet.
    bool newPage() const { return m_newPage; }
    void setNewPage(bool on) { m_newPage = on; }

private:
    Expression m_expr;
    bool m_newPage = false;
    Band m_header;
    Band m_footer;
};

}  // namespace report
