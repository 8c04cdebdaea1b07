#include "app/Encerramento.h"

#include "data/DMPrincipal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPointer>
#include <QSocketNotifier>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <csignal>
#include <pthread.h>
#include <thread>
#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

namespace encerramento {

namespace {

// How long the windows have to close before the program leaves its event loops.
constexpr int prazoMs = 800;

int pipe_[2] = {-1, -1};
QSocketNotifier* aviso = nullptr;
QPointer<QWidget> principal;
QElapsedTimer desde;

void aoSinal(int)
{
    // Only what is safe in a signal handler: the event loop does the rest.
    const int salvo = errno;
    const char byte = 1;
    [[maybe_unused]] const ssize_t n = ::write(pipe_[1], &byte, 1);
    errno = salvo;
}

// One step of the ending, run from the event loop until the main window is closed.
void passo()
{
    if (!principal) {
        // Start-up: the boxes it shows close; main() ends once it returns.
        if (QWidget* modal = QApplication::activeModalWidget())
            modal->close();
        QTimer::singleShot(10, passo);
        return;
    }
    if (desde.elapsed() > prazoMs) {
        // A window that would not close: leave every event loop; the stack unwinds and
        // each action ends its own work as it does when a dialog is cancelled.
        QCoreApplication::exit(0);
        return;
    }
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // The top window first; the one it was opened from once its loop has returned.
        modal->close();
        QTimer::singleShot(10, passo);
        return;
    }
    if (DMPrincipal && DMPrincipal->IBDatabaseGeral.inUnit()) {
        // An action is still writing: closing now would commit half of it.
        QTimer::singleShot(10, passo);
        return;
    }
    principal->close();
}

void leSinal()
{
    char buffer[16];
    while (::read(pipe_[0], buffer, sizeof buffer) > 0) {
    }
    if (desde.isValid())
        return;  // already ending
    desde.start();
    QTimer::singleShot(0, passo);
}

constexpr int sinais[] = {SIGTERM, SIGINT};
struct sigaction anteriores[2];
bool instalado = false;
bool bloqueados = false;

bool criaCanal()
{
    if (pipe_[0] >= 0)
        return true;
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, pipe_) != 0)
        return false;
    for (int fd : pipe_) {
        ::fcntl(fd, F_SETFD, FD_CLOEXEC);
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    return true;
}

}  // namespace

void bloqueiaSinais()
{
    if (bloqueados || !criaCanal())
        return;
    sigset_t conjunto;
    sigemptyset(&conjunto);
    for (int sinal : sinais)
        sigaddset(&conjunto, sinal);
    if (pthread_sigmask(SIG_BLOCK, &conjunto, nullptr) != 0)
        return;
    bloqueados = true;
    std::thread([conjunto] {
        int sinal = 0;
        while (sigwait(&conjunto, &sinal) == 0)
            aoSinal(sinal);
    }).detach();
}

bool pedido()
{
    return desde.isValid();
}

void instala(QWidget* janelaPrincipal)
{
    principal = janelaPrincipal;
    if (janelaPrincipal)
        desde.invalidate();
    if (!aviso) {
        if (!criaCanal())
            return;
        aviso = new QSocketNotifier(pipe_[0], QSocketNotifier::Read, qApp);
        QObject::connect(aviso, &QSocketNotifier::activated, qApp, [] { leSinal(); });
    }
    // Blocked and taken by a thread of their own: no handler to install.
    if (instalado || bloqueados)
        return;
    struct sigaction sa = {};
    sa.sa_handler = aoSinal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    for (int i = 0; i < 2; ++i)
        sigaction(sinais[i], &sa, &anteriores[i]);
    instalado = true;
}

void desinstala()
{
    if (instalado)
        for (int i = 0; i < 2; ++i)
            sigaction(sinais[i], &anteriores[i], nullptr);
    instalado = false;
    principal = nullptr;
    desde.invalidate();
}

}  // namespace encerramento
