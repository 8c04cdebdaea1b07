#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORVA"));
    if (!inicializacao::criaObjetosGlobais()) {
        inicializacao::destroiObjetosGlobais();
        return 1;
    }
    // Maximised; the geometry first, for desktops whose window manager does not maximise.
    frmPrincipal->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    frmPrincipal->showMaximized();
    const int rc = app.exec();
    inicializacao::destroiObjetosGlobais();
    return rc;
}
