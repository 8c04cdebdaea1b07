#pragma once
// The classic desktop colours a pivot grid is painted with, taken from the application's
// palette where it has their equivalent, and fonts with a colour.
#include <QColor>
#include <QFont>

namespace pivot {

enum class SystemColour {
    ActiveCaption,    // the palette's highlight
    CaptionText,      // the text on it
    InactiveCaption,  // the highlight faded halfway into the window colour
    ButtonFace,
    InfoBackground,   // the tooltip's background
    WindowText,
    Window,
};

QColor systemColour(SystemColour which);

// A font and the colour of its text.
struct FontStyle {
    QFont font;
    QColor color = Qt::black;
    bool operator==(const FontStyle&) const = default;
};

// A font by family and size, its family replaced by the nearest one installed when
// missing ("MS Sans Serif" becomes a sans serif of the same size).
QFont namedFont(const QString& family, double pointSize);

}  // namespace pivot
