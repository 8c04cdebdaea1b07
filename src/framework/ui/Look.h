#pragma once
// The look every window shares: the colour of editable controls, the caption labels that
// name them, the beep of a refused key, and the kinds of input control the templates
// tell apart.
#include <QString>

class QLabel;
class QWidget;

namespace ui {

// An enabled input control has the window colour (QPalette::Base of the application),
// a disabled one the button face (QPalette::Button), so that a disabled box reads as
// such in every style.
void setEditColour(QWidget* control, bool enabled);

// Makes label the caption of control: its buddy, so that the mnemonic focuses the
// control, and the control's accessible name (the caption without '&').
void setCaption(QLabel* label, QWidget* control);
// A caption label created beside nothing: returns a label with the text, already the
// caption of control.
QLabel* captionLabel(const QString& text, QWidget* control, QWidget* parent);

// The system's default beep for a refused key. beepCount() lets tests see it.
void beep();
int beepCount();

// Kinds of input control, as the templates tell them apart. Data-aware kinds come
// first: a DbEdit is a QLineEdit too, but never a "plain edit".
enum class ControlKind {
    Other,
    PlainEdit,      // QLineEdit without a mask
    MaskedEdit,     // QLineEdit with an input mask
    MoneyEdit,
    PlainCombo,     // QComboBox
    PlainMemo,      // QPlainTextEdit or QTextEdit
    PlainDateEdit,  // QDateEdit
    DbEdit,
    DbComboBox,
    DbLookupComboBox,
    DbMemo,
    DbDateEdit,
    DbRadioGroup,
};

// The kind of w. The parts of composite controls (the line edit of a combo box or of a
// date edit, the viewport of a memo) are Other: only the control itself counts.
ControlKind controlKind(const QWidget* w);

}  // namespace ui
