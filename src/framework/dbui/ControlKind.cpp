#include "dbui/ControlKind.h"

#include "dbui/DataControls.h"
#include "widgets/Widgets.h"

#include <QAbstractSpinBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>

namespace ui {

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
