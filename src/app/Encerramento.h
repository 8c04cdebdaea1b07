#pragma once
// Ending when the system asks: SIGTERM or SIGINT (a logout, a shutdown, Ctrl+C) ends the
// program as closing the main window does. The signal handler only writes a byte to a
// pipe; the event loop reads it and closes the open windows from the top (a pending
// edit is dropped with its window, never half saved), then the main window.
class QWidget;

namespace encerramento {

// Called first in main(), before any other thread exists: SIGTERM and SIGINT are blocked
// in every thread (the database engine's own handlers never see them) and taken by a
// thread of their own, which hands them to the event loop as the handler does.
void bloqueiaSinais();
// Catches SIGTERM and SIGINT for the main window. Installing again replaces the window.
// Without a window (start-up), a signal closes the boxes start-up shows, and pedido()
// tells main() to end once start-up returns.
void instala(QWidget* janelaPrincipal);
// Whether a signal asked the program to end.
bool pedido();
// Gives SIGTERM and SIGINT back to the handlers they had before.
void desinstala();

}  // namespace encerramento
