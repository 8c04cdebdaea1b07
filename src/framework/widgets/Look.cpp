#include "widgets/Look.h"

#include <QApplication>
#include <QLabel>

namespace ui {

namespace {
int& beeps()
{
    static int n = 0;
    return n;
}
}  // namespace

void setEditColour(QWidget* control, bool enabled)
{
    const QPalette app = QApplication::palette(control);
    const QColor colour = app.color(QPalette::Active, enabled ? QPalette::Base : QPalette::Button);
    QPalette p = control->palette();
    // Every colour group: a disabled control paints with the disabled group.
    p.setColor(QPalette::Active, QPalette::Base, colour);
    p.setColor(QPalette::Inactive, QPalette::Base, colour);
    p.setColor(QPalette::Disabled, QPalette::Base, colour);
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
