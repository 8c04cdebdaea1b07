#pragma once
// What a band holds: texts, lines and rectangles, placed in millimetres from the band's
// top-left corner.
#include <QColor>
#include <QFont>
#include <QLineF>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>
#include <optional>

namespace report {

class Band;
class Group;
class Report;
namespace detail {
class Engine;
}

// A value computed from the report's current record (Report::value()).
using Expression = std::function<QVariant(const Report&)>;

// The printed text of a value: numbers through a Delphi-style mask (the general float
// text or plain integer without one), dates in the short date format, a date-time with a
// time of day also with the time, null as "".
QString formatValue(const QVariant& value, const QString& mask = {});

// A font described by what differs from the report's base font.
struct FontSpec {
    std::optional<QString> family;
    std::optional<double> pointSize;
    std::optional<bool> bold;
    std::optional<bool> italic;
    std::optional<bool> underline;

    QFont resolve(const QFont& base) const;
    bool operator==(const FontSpec&) const = default;
};

// Lines along the sides of a band or of a text's box.
struct Frame {
    bool top = false;
    bool bottom = false;
    bool left = false;
    bool right = false;
    double width = 0.25;  // mm
    QColor color = Qt::black;

    void setAll(bool on) { top = bottom = left = right = on; }
    bool any() const { return top || bottom || left || right; }
    bool operator==(const Frame&) const = default;
};

class Element {
public:
    enum class Kind { Label, DataText, Memo, SystemField, RunningSum, Line, Shape };

    Element(const Element&) = delete;
    Element& operator=(const Element&) = delete;
    virtual ~Element() = default;

    Kind kind() const { return kind_; }
    Band& band() const { return band_; }
    const QString& name() const { return name_; }
    void setName(const QString& name) { name_ = name; }
    // A disabled element prints nothing (and takes no part in a band's stretch).
    bool isEnabled() const { return enabled_; }
    void setEnabled(bool on) { enabled_ = on; }
    bool isText() const { return kind_ <= Kind::RunningSum; }

protected:
    Element(Kind kind, Band& band) : kind_(kind), band_(band) {}

private:
    Kind kind_;
    Band& band_;
    QString name_;
    bool enabled_ = true;
};

class TextElement : public Element {
public:
    // Called with the text about to print; may change it or blank it.
    using PrintHandler = std::function<void(TextElement&, QString& text)>;

    // The box; a height of 0 is one line of the element's font.
    QRectF geometry() const { return geometry_; }
    void setGeometry(const QRectF& mm) { geometry_ = mm; }

    Qt::Alignment alignment() const { return alignment_; }
    // Horizontal: left, centre or right; vertical: top (default), centre or bottom.
    void setAlignment(Qt::Alignment a) { alignment_ = a; }
    // The box takes the width of the text, keeping its left edge, centre or right edge
    // as the alignment says.
    bool autoSize() const { return autoSize_; }
    void setAutoSize(bool on) { autoSize_ = on; }
    bool wordWrap() const { return wordWrap_; }
    void setWordWrap(bool on) { wordWrap_ = on; }
    // The box grows downwards to hold every line, and the band with it.
    bool autoStretch() const { return autoStretch_; }
    void setAutoStretch(bool on) { autoStretch_ = on; }

    const FontSpec& fontSpec() const { return font_; }
    void setFontSpec(const FontSpec& f) { font_ = f; fontRun_ = 0; }
    void setFont(const QFont& f);
    void setFont(const QString& family, double pointSize, bool bold = false, bool italic = false);
    void setFontFamily(const QString& family) { font_.family = family; fontRun_ = 0; }
    void setFontSize(double pointSize) { font_.pointSize = pointSize; fontRun_ = 0; }
    void setBold(bool on) { font_.bold = on; fontRun_ = 0; }
    void setItalic(bool on) { font_.italic = on; fontRun_ = 0; }
    void setUnderline(bool on) { font_.underline = on; fontRun_ = 0; }

    QColor color() const { return color_; }
    void setColor(const QColor& c) { color_ = c; }
    // Painted under the text over the whole box; invalid: transparent.
    QColor background() const { return background_; }
    void setBackground(const QColor& c) { background_ = c; }
    Frame& frame() { return frame_; }
    const Frame& frame() const { return frame_; }
    void setFrame(const Frame& f) { frame_ = f; }
    double padding() const { return padding_; }  // mm between the box and the text
    void setPadding(double mm) { padding_ = mm; }

    void setOnPrint(PrintHandler h) { onPrint_ = std::move(h); }
    const PrintHandler& onPrint() const { return onPrint_; }

    // The text as the element would print it now, before the print handler.
    virtual QString content(const Report& report) const = 0;

protected:
    TextElement(Kind kind, Band& band, const QRectF& geometry) : Element(kind, band), geometry_(geometry) {}

private:
    friend class detail::Engine;

    QRectF geometry_;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignTop;
    bool autoSize_ = false;
    bool wordWrap_ = false;
    bool autoStretch_ = false;
    FontSpec font_;
    QColor color_ = Qt::black;
    QColor background_;
    Frame frame_;
    double padding_ = 0;
    PrintHandler onPrint_;
    // The engine's resolved font for this element, valid for one run.
    mutable const void* fontEntry_ = nullptr;
    mutable quint64 fontRun_ = 0;
};

// Fixed text ("caption").
class Label final : public TextElement {
public:
    Label(Band& band, const QString& text, const QRectF& geometry)
        : TextElement(Kind::Label, band, geometry), text_(text) {}
    const QString& text() const { return text_; }
    void setText(const QString& t) { text_ = t; }
    QString content(const Report&) const override { return text_; }

private:
    QString text_;
};

// Several lines of text, wrapped to the box's width; the box grows with them.
class Memo final : public TextElement {
public:
    Memo(Band& band, const QString& text, const QRectF& geometry);
    QString text() const { return lines_.join(QLatin1Char('\n')); }
    void setText(const QString& t) { lines_ = t.split(QLatin1Char('\n')); }
    const QStringList& lines() const { return lines_; }
    void setLines(const QStringList& lines) { lines_ = lines; }
    QString content(const Report&) const override { return text(); }

private:
    QStringList lines_;
};

// A field of the current record, or an expression, through a display mask.
class DataText final : public TextElement {
public:
    DataText(Band& band, const QString& field, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::DataText, band, geometry), field_(field), mask_(mask) {}
    DataText(Band& band, Expression expr, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::DataText, band, geometry), expression_(std::move(expr)), mask_(mask) {}

    const QString& field() const { return field_; }
    void setField(const QString& f) { field_ = f; expression_ = nullptr; }
    void setExpression(Expression e) { expression_ = std::move(e); field_.clear(); }
    // Without a mask of its own, a field's text takes the source's display format.
    const QString& mask() const { return mask_; }
    void setMask(const QString& m) { mask_ = m; }
    QVariant value(const Report& report) const;
    QString content(const Report& report) const override;

private:
    QString field_;
    Expression expression_;
    QString mask_;
};

enum class SystemValue { ReportTitle, PageNumber, PageCount, Date, Time, DateTime };

// Report title, page number, page count, and the date and time the run started.
class SystemField final : public TextElement {
public:
    SystemField(Band& band, SystemValue what, const QRectF& geometry)
        : TextElement(Kind::SystemField, band, geometry), what_(what) {}
    SystemValue what() const { return what_; }
    void setWhat(SystemValue w) { what_ = w; }
    QString content(const Report& report) const override;

private:
    SystemValue what_;
};

// Page: restarts on every page. Group: restarts when its group starts. Report: once per run.
enum class ResetScope { Page, Group, Report };

// The sum of a field or expression over the detail rows printed so far in its scope.
class RunningSum final : public TextElement {
public:
    RunningSum(Band& band, const QString& field, ResetScope scope, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::RunningSum, band, geometry), field_(field), scope_(scope), mask_(mask) {}
    RunningSum(Band& band, Expression expr, ResetScope scope, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::RunningSum, band, geometry), expression_(std::move(expr)), scope_(scope), mask_(mask) {}

    ResetScope scope() const { return scope_; }
    void setScope(ResetScope s) { scope_ = s; }
    // The group whose start resets the sum; by default the band's own group, or else
    // the innermost group.
    Group* resetGroup() const { return group_; }
    void setResetGroup(Group* g) { group_ = g; }
    // Without a mask of its own, the sum of a field takes the source's display format.
    const QString& mask() const { return mask_; }
    void setMask(const QString& m) { mask_ = m; }
    double value() const { return sum_; }
    QString content(const Report& report) const override;

private:
    friend class detail::Engine;
    QVariant term(const Report& report) const;

    QString field_;
    Expression expression_;
    ResetScope scope_;
    QString mask_;
    Group* group_ = nullptr;
    double sum_ = 0;
};

// A straight line, usually horizontal or vertical.
class LineElement final : public Element {
public:
    LineElement(Band& band, const QLineF& mm, double width) : Element(Kind::Line, band), line_(mm), width_(width) {}
    QLineF line() const { return line_; }
    void setLine(const QLineF& mm) { line_ = mm; }
    double width() const { return width_; }
    void setWidth(double mm) { width_ = mm; }
    QColor color() const { return color_; }
    void setColor(const QColor& c) { color_ = c; }

private:
    QLineF line_;
    double width_;
    QColor color_ = Qt::black;
};

// A rectangle, outlined, filled or both.
class ShapeElement final : public Element {
public:
    ShapeElement(Band& band, const QRectF& mm, const QColor& fill, double penWidth)
        : Element(Kind::Shape, band), rect_(mm), fill_(fill), penWidth_(penWidth) {}
    QRectF geometry() const { return rect_; }
    void setGeometry(const QRectF& mm) { rect_ = mm; }
    QColor fill() const { return fill_; }
    void setFill(const QColor& c) { fill_ = c; }
    double penWidth() const { return penWidth_; }  // 0: no outline
    void setPenWidth(double mm) { penWidth_ = mm; }
    QColor penColor() const { return penColor_; }
    void setPenColor(const QColor& c) { penColor_ = c; }

private:
    QRectF rect_;
    QColor fill_;
    double penWidth_;
    QColor penColor_ = Qt::black;
};

}  // namespace report
