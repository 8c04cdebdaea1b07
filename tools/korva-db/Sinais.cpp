#include "Sinais.h"

#include <csignal>
#include <cstdlib>
#include <thread>

#ifdef Q_OS_UNIX
#include <pthread.h>
#endif

namespace korvadb {

std::atomic<int> sinalRecebido{0};

void esperaSinais()
{
#ifdef Q_OS_UNIX
    sigset_t sinais;
    sigemptyset(&sinais);
    sigaddset(&sinais, SIGTERM);
    sigaddset(&sinais, SIGINT);
    pthread_sigmask(SIG_BLOCK, &sinais, nullptr);
    std::thread([sinais] {
        int sinal = 0;
        while (sigwait(&sinais, &sinal) == 0) {
            int nenhum = 0;
            if (!sinalRecebido.compare_exchange_strong(nenhum, sinal))
                std::_Exit(128 + sinal);
        }
    }).detach();
#else
    for (int sinal : {SIGTERM, SIGINT})
        std::signal(sinal, [](int n) {
            int nenhum = 0;
            if (!sinalRecebido.compare_exchange_strong(nenhum, n))
                std::_Exit(128 + n);
        });
#endif
}

QString nomeDoSinal(int sinal)
{
    return sinal == SIGTERM ? QStringLiteral("SIGTERM") : sinal == SIGINT ? QStringLiteral("SIGINT") : QString::number(sinal);
}

}  // namespace korvadb
