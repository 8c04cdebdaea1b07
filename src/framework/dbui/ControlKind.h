#pragma once
// The kinds of input control the templates tell apart, data-aware ones included.
class QWidget;

namespace ui {

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
