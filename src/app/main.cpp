#include "app/Encerramento.h"
#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QScreen>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORVA"));
    inicializacao::carregaTraducoes(app);
    QApplication::setPalette(ui::withReadableDisabledText(QApplication::palette()));
    if (!inicializacao::criaObjetosGlobais()) {
        inicializacao::destroiObjetosGlobais();
        return 1;
    }
    encerramento::instala(frmPrincipal);
    // Maximised; the geometry first, for desktops whose window manager does not maximise.
    frmPrincipal->setGeometry(QGuiApplication::primaryScreen()->availableGeometry());
    frmPrincipal->showMaximized();
    const int rc = app.exec();
    encerramento::desinstala();
    inicializacao::destroiObjetosGlobais();
    return rc;
}
