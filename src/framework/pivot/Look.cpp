#include "pivot/Look.h"

#include "report/Report.h"

#include <QApplication>
#include <QPalette>

namespace pivot {

namespace {

QColor mix(const QColor& a, const QColor& b, double t)
{
    return QColor::fromRgbF(float(a.redF() * (1 - t) + b.redF() * t), float(a.greenF() * (1 - t) + b.greenF() * t),
                            float(a.blueF() * (1 - t) + b.blueF() * t));
}

}  // namespace

QColor systemColour(SystemColour which)
{
    const QPalette p = QApplication::palette();
    switch (which) {
    case SystemColour::ActiveCaption:
        return p.color(QPalette::Active, QPalette::Highlight);
    case SystemColour::CaptionText:
        return p.color(QPalette::Active, QPalette::HighlightedText);
    case SystemColour::InactiveCaption:
        return mix(p.color(QPalette::Active, QPalette::Highlight), p.color(QPalette::Active, QPalette::Window), 0.55);
    case SystemColour::ButtonFace:
        return p.color(QPalette::Active, QPalette::Button);
    case SystemColour::InfoBackground:
        return p.color(QPalette::Active, QPalette::ToolTipBase);
    case SystemColour::WindowText:
        return p.color(QPalette::Active, QPalette::WindowText);
    case SystemColour::Window:
        return p.color(QPalette::Active, QPalette::Window);
    }
    return {};
}

QFont namedFont(const QString& family, double pointSize)
{
    report::installFontSubstitutions();
    QFont f(family);
    f.setPointSizeF(pointSize);
    f.setStyleHint(QFont::SansSerif);
    return f;
}

}  // namespace pivot
