#pragma once
// The look every window shares: the colour of editable controls, the caption labels that
// name them and the beep of a refused key.
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


}  // namespace ui
