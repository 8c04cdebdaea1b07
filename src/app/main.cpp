#include "app/Encerramento.h"
#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QScreen>

#include <cstdio>

int main(int argc, char* argv[])
{
    // Brazilian formats before anything else, whatever the machine's locale and whatever
    // start-up meets (a database out of reach included).
    inicializacao::formatosBrasileiros();
    // Before any thread exists, so that every thread inherits the blocked signals.
    encerramento::bloqueiaSinais();
    // The command line is read before any window system is needed: --help and a wrong
    // option answer without a display.
    inicializacao::Opcoes opcoes;
    {
        QCoreApplication linha(argc, argv);
        inicializacao::carregaTraducoes(linha);
        opcoes = inicializacao::leOpcoes(QCoreApplication::arguments());
        if (!opcoes.erro.isEmpty()) {
            std::fputs(qPrintable(opcoes.erro + QStringLiteral("\n\n") + opcoes.texto), stderr);
            return 2;
        }
        if (opcoes.ajuda) {
            std::fputs(qPrintable(opcoes.texto), stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KORVA"));
    // The desktop entry and the icon the package installs.
    QGuiApplication::setDesktopFileName(QStringLiteral("korva"));
    QApplication::setWindowIcon(TfrmPrincipal::icone());
    inicializacao::carregaTraducoes(app);
    QApplication::setPalette(ui::withReadableDisabledText(QApplication::palette()));
    // A logout or Ctrl+C while start-up shows a box ends the program as well.
    encerramento::instala(nullptr);
    const bool criados = inicializacao::criaObjetosGlobais(opcoes);
    if (encerramento::pedido()) {
        inicializacao::destroiObjetosGlobais();
        return 0;
    }
    if (!criados) {
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
