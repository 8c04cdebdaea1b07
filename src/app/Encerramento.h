#pragma once
// Ending when the system asks: SIGTERM or SIGINT (a logout, a shutdown, Ctrl+C) ends the
// program as closing the main window does. The signal handler only writes a byte to a
// pipe; the event loop reads it and closes the open windows from the top (a pending
// edit is dropped with its window, never half saved), then the main window.
class QWidget;

namespace encerramento {

// Catches SIGTERM and SIGINT for the main window. Installing again replaces the window.
void instala(QWidget* janelaPrincipal);
// Gives SIGTERM and SIGINT back to the handlers they had before.
void desinstala();

}  // namespace encerramento
