#include "widgets/Look.h"

#include <QApplication>
#include <QLabel>
#include <QPalette>
#include <cmath>

namespace ui {

namespace {
int& beeps()
{
    static int n = 0;
    return n;
}
}  // namespace

namespace {

double luminance(const QColor& c)
{
    const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
    const QColor rgb = c.toRgb();
    return 0.2126 * channel(rgb.redF()) + 0.7152 * channel(rgb.greenF()) + 0.0722 * channel(rgb.blueF());
}

}  // namespace

double contrastRatio(const QColor& a, const QColor& b)
{
    const double la = luminance(a);
    const double lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& text, const QColor& background, double ratio)
{
    if (contrastRatio(text, background) >= ratio)
        return text;
    // Towards the far end of the scale from the background, one grey level at a time.
    const bool dark = luminance(background) < 0.18;
    const QColor start = text.toRgb();
    for (int step = 1; step <= 255; ++step) {
        const double t = step / 255.0;
        const auto mix = [&](int v) { return int(std::lround(v + ((dark ? 255 : 0) - v) * t)); };
        const QColor c(mix(start.red()), mix(start.green()), mix(start.blue()));
        if (contrastRatio(c, background) >= ratio)
            return c;
    }
    return dark ? QColor(Qt::white) : QColor(Qt::black);
}

QPalette withReadableDisabledText(const QPalette& palette)
{
    QPalette p = palette;
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::WindowText, QPalette::ButtonText}) {
        QColor c = p.color(QPalette::Disabled, role);
        for (QPalette::ColorRole face : {QPalette::Window, QPalette::Base, QPalette::Button})
            c = readableOn(c, p.color(QPalette::Disabled, face), disabledTextContrast);
        p.setColor(QPalette::Disabled, role, c);
    }
    return p;
}

void setEditColour(QWidget* control, bool enabled)
{
    const QPalette app = QApplication::palette(control);
    const QColor colour = app.color(QPalette::Active, enabled ? QPalette::Base : QPalette::Button);
    QPalette p = control->palette();
    // Every colour group: a disabled control paints with the disabled group.
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    p.setColor(QPalette::Disabled, QPalette::Base, colour);
    // The value a disabled control shows is read, not only seen to be there.
    for (QPalette::ColorRole role : {QPalette::Text, QPalette::ButtonText, QPalette::WindowText})
        p.setColor(QPalette::Disabled, role, readableOn(p.color(QPalette::Disabled, role), app.color(QPalette::Active, QPalette::Button),
                                                        disabledTextContrast));
    control->setPalette(p);
}

void setCaption(QLabel* label, QWidget* control)
{
    label->setBuddy(control);
    QString name = label->text();
    // "&&" stands for one '&'; a single '&' marks the mnemonic.
    name.replace(QStringLiteral("&&"), QStringLiteral("\x01"));
    name.remove(u'&');
    name.replace(QChar(1), u'&');
    control->setAccessibleName(name.trimmed());
}

QLabel* captionLabel(const QString& text, QWidget* control, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    setCaption(label, control);
    return label;
}

QLabel* boldLabel(const QString& text, QWidget* parent)
{
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

void beep()
{
    ++beeps();
    QApplication::beep();
}

int beepCount()
{
    return beeps();
}

}  // namespace ui
