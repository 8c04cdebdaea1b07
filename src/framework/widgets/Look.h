#pragma once
// The look every window shares: the colour of editable controls, readable text in
// disabled ones, the caption labels that name them and the beep of a refused key.
#include <QColor>
#include <QString>

class QLabel;
class QPalette;
class QWidget;

namespace ui {

// An enabled input control has the window colour (QPalette::Base of the application),
// a disabled one the button face (QPalette::Button), so that a disabled box reads as
// such in every style. The value a disabled control shows stays readable: its text
// keeps at least the contrast readableContrast with the button face.
void setEditColour(QWidget* control, bool enabled);

// The contrast ratio of two colours by their relative luminance, 1 to 21.
double contrastRatio(const QColor& a, const QColor& b);
// What disabled text needs against its background, and what it is given: a margin for
// the shading a style gives a button face.
constexpr double readableContrast = 4.5;
constexpr double disabledTextContrast = 5.0;
// text itself when it reads on background at ratio or more; else the nearest grey
// towards black (or white, on a dark background) that does.
QColor readableOn(const QColor& text, const QColor& background, double ratio = readableContrast);
// palette with its disabled texts (Text, WindowText, ButtonText) readable
// (disabledTextContrast) on the disabled window, base and button colours; the program
// applies it at start-up.
QPalette withReadableDisabledText(const QPalette& palette);

// Makes label the caption of control: its buddy, so that the mnemonic focuses the
// control, and the control's accessible name (the caption without '&').
void setCaption(QLabel* label, QWidget* control);
// A caption label created beside nothing: returns a label with the text, already the
// caption of control.
QLabel* captionLabel(const QString& text, QWidget* control, QWidget* parent);

// A label in the bold type of the window's font.
QLabel* boldLabel(const QString& text, QWidget* parent);

// The system's default beep for a refused key. beepCount() lets tests see it.
void beep();
int beepCount();


}  // namespace ui
