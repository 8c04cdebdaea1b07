#pragma once
// Doing things as a user would, for window tests.
#include <QString>

class QComboBox;

namespace support {

// Opens the combo box's list, moves to the entry and presses Enter.
void chooseEntry(QComboBox* combo, int row);
// The same for the entry showing text; fails the running test when there is none.
void chooseEntry(QComboBox* combo, const QString& text);

}  // namespace support
