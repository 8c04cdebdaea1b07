#pragma once
// Bands: horizontal strips of a page, printed once, per page, per record or per group.
#include "report/Elements.h"

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

    BandKind kind() const { return kind_; }
    Report& report() const { return report_; }
    Group* group() const { return group_; }  // group headers and footers

    double height() const { return height_; }  // mm
    void setHeight(double mm) { height_ = mm; }
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    Frame& frame() { return frame_; }
    const Frame& frame() const { return frame_; }
    void setFrame(const Frame& f) { frame_ = f; }
    // Page header only.
    bool printOnFirstPage() const { return onFirstPage_; }
    void setPrintOnFirstPage(bool on) { onFirstPage_ = on; }
    // Page footer only.
    bool printOnLastPage() const { return onLastPage_; }
    void setPrintOnLastPage(bool on) { onLastPage_ = on; }

    void setBeforePrint(BeforePrint h) { before_ = std::move(h); }
    const BeforePrint& beforePrint() const { return before_; }
    void setAfterPrint(AfterPrint h) { after_ = std::move(h); }
    const AfterPrint& afterPrint() const { return after_; }

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

    const std::vector<std::unique_ptr<Element>>& elements() const { return elements_; }
    Element* find(const QString& name) const;
    void removeElement(Element* e);
    void clearElements() { elements_.clear(); }

private:
    template <class T, class... A>
    T& add(A&&... args)
    {
        elements_.push_back(std::make_unique<T>(*this, std::forward<A>(args)...));
        return static_cast<T&>(*elements_.back());
    }

    Report& report_;
    BandKind kind_;
    Group* group_;
    double height_ = 0;
    bool enabled_ = true;
    bool onFirstPage_ = true;
    bool onLastPage_ = true;
    Frame frame_;
    BeforePrint before_;
    AfterPrint after_;
    std::vector<std::unique_ptr<Element>> elements_;
};

// A group of consecutive records with the same value of an expression: a header before
// the first record of each group and a footer after its last.
class Group {
public:
    Group(Report& report, Expression expr);
    Group(const Group&) = delete;
    Group& operator=(const Group&) = delete;

    Band& header() { return header_; }
    Band& footer() { return footer_; }
    const Expression& expression() const { return expr_; }
    void setExpression(Expression e) { expr_ = std::move(e); }
    void setField(const QString& field);
    // Every group starts on a new page, unless nothing but headers is on the page yet.
    bool newPage() const { return newPage_; }
    void setNewPage(bool on) { newPage_ = on; }

private:
    Expression expr_;
    bool newPage_ = false;
    Band header_;
    Band footer_;
};

}  // namespace report
