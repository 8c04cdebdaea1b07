#pragma once
// Start-up in the program's order: the data module (which connects), the main window,
// then the report templates that live for the whole run.
#include <QString>
#include <QStringList>

class QCoreApplication;
class QWidget;

namespace inicializacao {

// What the command line asks for.
struct Opcoes {
    // --administracao: the main window also shows the items of the people who keep the
    // reference tables (TfrmPrincipal::MostraItensAdministracao).
    bool administracao = false;
    // --help: print texto and stop.
    bool ajuda = false;
    // A command line the program does not know: print erro and texto, and stop.
    QString erro;
    QString texto;
};
// Reads the arguments, the program's name first. The window system's own options, which
// Qt takes once the application starts (-platform, -display, -style, ...), are let through.
Opcoes leOpcoes(const QStringList& argumentos);

// Creates DMPrincipal and frmPrincipal, binds the menu commands to their windows,
// applies the options, then creates the report templates. A database that cannot be
// opened is told once: the later steps that fail the same way stay silent, and
// start-up goes on. A second running copy on the same database is told so and false
// is returned.
bool criaObjetosGlobais(const Opcoes& opcoes = {});
// Frees what criaObjetosGlobais created, in reverse order.
void destroiObjetosGlobais();

// The program's formats: the text functions' (short date "dd/mm/yyyy", decimal comma,
// thousands point) and Qt's default locale, Brazilian Portuguese. main() calls it first,
// so that nothing the program shows, parses or writes follows the machine's locale.
void formatosBrasileiros();

// Qt's own texts (context menus, standard buttons, the file and print dialogs) in
// Brazilian Portuguese for Qt's own texts, and the words of the file dialogs its
// catalogue lacks. Returns whether the translations were found.
bool carregaTraducoes(QCoreApplication& app);

// The message of the exception being handled (inside a catch block), for the standard
// error box: a database that cannot be reached adds what the user can do about it.
QString mensagemDeFalha();

}  // namespace inicializacao
