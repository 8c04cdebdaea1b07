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

    Kind kind() const { return m_kind; }
    Band& band() const { return m_band; }
    const QString& name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    // A disabled element prints nothing (and takes no part in a band's stretch).
    bool isEnabled() const { return m_enabled; }
    void setEnabled(bool on) { m_enabled = on; }
    bool isText() const { return m_kind <= Kind::RunningSum; }

protected:
    Element(Kind kind, Band& band) : m_kind(kind), m_band(band) {}

private:
    Kind m_kind;
    Band& m_band;
    QString m_name;
    bool m_enabled = true;
};

class TextElement : public Element {
public:
    // Called with the text about to print; may change it or blank it.
    using PrintHandler = std::function<void(TextElement&, QString& text)>;

    // The box; a height of 0 is one line of the element's font.
    QRectF geometry() const { return m_geometry; }
    void setGeometry(const QRectF& mm) { m_geometry = mm; }

    Qt::Alignment alignment() const { return m_alignment; }
    // Horizontal: left, centre or right; vertical: top (default), centre or bottom.
    void setAlignment(Qt::Alignment a) { m_alignment = a; }
    // The box takes the width of the text, keeping its left edge, centre or right edge
    // as the alignment says.
    bool autoSize() const { return m_autoSize; }
    void setAutoSize(bool on) { m_autoSize = on; }
    bool wordWrap() const { return m_wordWrap; }
    void setWordWrap(bool on) { m_wordWrap = on; }
    // The box grows downwards to hold every line, and the band with it.
    bool autoStretch() const { return m_autoStretch; }
    void setAutoStretch(bool on) { m_autoStretch = on; }

    const FontSpec& fontSpec() const { return m_font; }
    void setFontSpec(const FontSpec& f) { m_font = f; m_fontRun = 0; }
    void setFont(const QFont& f);
    void setFont(const QString& family, double pointSize, bool bold = false, bool italic = false);
    void setFontFamily(const QString& family) { m_font.family = family; m_fontRun = 0; }
    void setFontSize(double pointSize) { m_font.pointSize = pointSize; m_fontRun = 0; }
    void setBold(bool on) { m_font.bold = on; m_fontRun = 0; }
    void setItalic(bool on) { m_font.italic = on; m_fontRun = 0; }
    void setUnderline(bool on) { m_font.underline = on; m_fontRun = 0; }

    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }
    // Painted under the text over the whole box; invalid: transparent.
    QColor background() const { return m_background; }
    void setBackground(const QColor& c) { m_background = c; }
    Frame& frame() { return m_frame; }
    const Frame& frame() const { return m_frame; }
    void setFrame(const Frame& f) { m_frame = f; }
    double padding() const { return m_padding; }  // mm between the box and the text
    void setPadding(double mm) { m_padding = mm; }

    void setOnPrint(PrintHandler h) { m_onPrint = std::move(h); }
    const PrintHandler& onPrint() const { return m_onPrint; }

    // The text as the element would print it now, before the print handler.
    virtual QString content(const Report& report) const = 0;

protected:
    TextElement(Kind kind, Band& band, const QRectF& geometry) : Element(kind, band), m_geometry(geometry) {}

private:
    friend class detail::Engine;

    QRectF m_geometry;
    Qt::Alignment m_alignment = Qt::AlignLeft | Qt::AlignTop;
    bool m_autoSize = false;
    bool m_wordWrap = false;
    bool m_autoStretch = false;
    FontSpec m_font;
    QColor m_color = Qt::black;
    QColor m_background;
    Frame m_frame;
    double m_padding = 0;
    PrintHandler m_onPrint;
    // The engine's resolved font for this element, valid for one run.
    mutable const void* m_fontEntry = nullptr;
    mutable quint64 m_fontRun = 0;
};

// Fixed text ("caption").
class Label final : public TextElement {
public:
    Label(Band& band, const QString& text, const QRectF& geometry)
        : TextElement(Kind::Label, band, geometry), m_text(text) {}
    const QString& text() const { return m_text; }
    void setText(const QString& t) { m_text = t; }
    QString content(const Report&) const override { return m_text; }

private:
    QString m_text;
};

// Several lines of text, wrapped to the box's width; the box grows with them.
class Memo final : public TextElement {
public:
    Memo(Band& band, const QString& text, const QRectF& geometry);
    QString text() const { return m_lines.join(QLatin1Char('\n')); }
    void setText(const QString& t) { m_lines = t.split(QLatin1Char('\n')); }
    const QStringList& lines() const { return m_lines; }
    void setLines(const QStringList& lines) { m_lines = lines; }
    QString content(const Report&) const override { return text(); }

private:
    QStringList m_lines;
};

// A field of the current record, or an expression, through a display mask.
class DataText final : public TextElement {
public:
    DataText(Band& band, const QString& field, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::DataText, band, geometry), m_field(field), m_mask(mask) {}
    DataText(Band& band, Expression expr, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::DataText, band, geometry), m_expression(std::move(expr)), m_mask(mask) {}

    const QString& field() const { return m_field; }
    void setField(const QString& f) { m_field = f; m_expression = nullptr; }
    void setExpression(Expression e) { m_expression = std::move(e); m_field.clear(); }
    const QString& mask() const { return m_mask; }
    void setMask(const QString& m) { m_mask = m; }
    QVariant value(const Report& report) const;
    QString content(const Report& report) const override { return formatValue(value(report), m_mask); }

private:
    QString m_field;
    Expression m_expression;
    QString m_mask;
};

enum class SystemValue { ReportTitle, PageNumber, PageCount, Date, Time, DateTime };

// Report title, page number, page count, and the date and time the run started.
class SystemField final : public TextElement {
public:
    SystemField(Band& band, SystemValue what, const QRectF& geometry)
        : TextElement(Kind::SystemField, band, geometry), m_what(what) {}
    SystemValue what() const { return m_what; }
    void setWhat(SystemValue w) { m_what = w; }
    QString content(const Report& report) const override;

private:
    SystemValue m_what;
};

// Page: restarts on every page. Group: restarts when its group starts. Report: once per run.
enum class ResetScope { Page, Group, Report };

// The sum of a field or expression over the detail rows printed so far in its scope.
class RunningSum final : public TextElement {
public:
    RunningSum(Band& band, const QString& field, ResetScope scope, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::RunningSum, band, geometry), m_field(field), m_scope(scope), m_mask(mask) {}
    RunningSum(Band& band, Expression expr, ResetScope scope, const QRectF& geometry, const QString& mask = {})
        : TextElement(Kind::RunningSum, band, geometry), m_expression(std::move(expr)), m_scope(scope), m_mask(mask) {}

    ResetScope scope() const { return m_scope; }
    void setScope(ResetScope s) { m_scope = s; }
    // The group whose start resets the sum; by default the band's own group, or else
    // the innermost group.
    Group* resetGroup() const { return m_group; }
    void setResetGroup(Group* g) { m_group = g; }
    const QString& mask() const { return m_mask; }
    void setMask(const QString& m) { m_mask = m; }
    double value() const { return m_sum; }
    QString content(const Report&) const override { return formatValue(m_sum, m_mask); }

private:
    friend class detail::Engine;
    QVariant term(const Report& report) const;

    QString m_field;
    Expression m_expression;
    ResetScope m_scope;
    QString m_mask;
    Group* m_group = nullptr;
    double m_sum = 0;
};

// A straight line, usually horizontal or vertical.
class LineElement final : public Element {
public:
    LineElement(Band& band, const QLineF& mm, double width) : Element(Kind::Line, band), m_line(mm), m_width(width) {}
    QLineF line() const { return m_line; }
    void setLine(const QLineF& mm) { m_line = mm; }
    double width() const { return m_width; }
    void setWidth(double mm) { m_width = mm; }
    QColor color() const { return m_color; }
    void setColor(const QColor& c) { m_color = c; }

private:
    QLineF m_line;
    double m_width;
    QColor m_color = Qt::black;
};

// A rectangle, outlined, filled or both.
class ShapeElement final : public Element {
public:
    ShapeElement(Band& band, const QRectF& mm, const QColor& fill, double penWidth)
        : Element(Kind::Shape, band), m_rect(mm), m_fill(fill), m_penWidth(penWidth) {}
    QRectF geometry() const { return m_rect; }
    void setGeometry(const QRectF& mm) { m_rect = mm; }
    QColor fill() const { return m_fill; }
    void setFill(const QColor& c) { m_fill = c; }
    double penWidth() const { return m_penWidth; }  // 0: no outline
    void setPenWidth(double mm) { m_penWidth = mm; }
    QColor penColor() const { return m_penColor; }
    void setPenColor(const QColor& c) { m_penColor = c; }

private:
    QRectF m_rect;
    QColor m_fill;
    double m_penWidth;
    QColor m_penColor = Qt::black;
};

}  // namespace report
