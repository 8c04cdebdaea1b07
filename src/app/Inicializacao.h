#pragma once
// Start-up in the program's order: the data module (which connects), the main window,
// then the report templates that live for the whole run.
#include <QString>

class QApplication;
class QWidget;

namespace inicializacao {

// Creates DMPrincipal and frmPrincipal, binds the menu commands to their windows, then
// creates the report templates. A database that cannot be opened is told once: the
// later steps that fail the same way stay silent, and start-up goes on.
// A second running copy on the same database is told so and false is returned.
bool criaObjetosGlobais();
// Frees what criaObjetosGlobais created, in reverse order.
void destroiObjetosGlobais();

// Qt's own texts (context menus, standard buttons, the file and print dialogs) in
// Brazilian Portuguese, and the Brazilian locale. Returns whether the translations
// were found.
bool carregaTraducoes(QApplication& app);

// The message of the exception being handled (inside a catch block), for the standard
// error box: a database that cannot be reached adds what the user can do about it.
QString mensagemDeFalha();

}  // namespace inicializacao
