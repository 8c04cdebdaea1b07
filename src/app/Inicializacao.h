#pragma once
// Start-up in the program's order: the data module (which connects), the main window,
// then the report templates that live for the whole run.
class QWidget;

namespace inicializacao {

// Creates DMPrincipal and frmPrincipal, binds the menu commands to their windows, then
// creates the report templates.
// A second running copy on the same database is told so and false is returned.
bool criaObjetosGlobais();
// Frees what criaObjetosGlobais created, in reverse order.
void destroiObjetosGlobais();

}  // namespace inicializacao
