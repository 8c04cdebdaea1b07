#pragma once
// The window most recently opened from the main menu. The templates act on the
// controls of the window it designates. It empties itself when that window is freed,
// so it never points at a window that is gone.
#include <QPointer>
#include <QWidget>

extern QPointer<QWidget> FormAtivo;
