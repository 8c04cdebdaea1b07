#include "Look.h"

#include "DataControls.h"
#include "Widgets.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

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

ControlKind controlKind(const QWidget* w)
{
    if (!w)
        return ControlKind::Other;
    // The parts of composite controls are not controls of their own.
    if (const QWidget* p = w->parentWidget();
        p && (qobject_cast<const QComboBox*>(p) || qobject_cast<const QAbstractSpinBox*>(p)))
        return ControlKind::Other;
    if (qobject_cast<const DbEdit*>(w))
        return ControlKind::DbEdit;
    if (qobject_cast<const DbDateEdit*>(w))
        return ControlKind::DbDateEdit;
    if (qobject_cast<const DbLookupComboBox*>(w))
        return ControlKind::DbLookupComboBox;
    if (qobject_cast<const DbComboBox*>(w))
        return ControlKind::DbComboBox;
    if (qobject_cast<const DbMemo*>(w))
        return ControlKind::DbMemo;
    if (qobject_cast<const DbRadioGroup*>(w))
        return ControlKind::DbRadioGroup;
    if (qobject_cast<const MoneyEdit*>(w))
        return ControlKind::MoneyEdit;
    if (const auto* le = qobject_cast<const QLineEdit*>(w))
        return le->inputMask().isEmpty() ? ControlKind::PlainEdit : ControlKind::MaskedEdit;
    if (qobject_cast<const QComboBox*>(w))
        return ControlKind::PlainCombo;
    if (qobject_cast<const QPlainTextEdit*>(w) || qobject_cast<const QTextEdit*>(w))
        return ControlKind::PlainMemo;
    if (qobject_cast<const QDateEdit*>(w))
        return ControlKind::PlainDateEdit;
    return ControlKind::Other;
}

}  // namespace ui
