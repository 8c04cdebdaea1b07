#pragma once
// SIGTERM and SIGINT in korva-db: the work in progress (an import, a backup, a restore)
// stops at its next safe point and says so; a second signal ends the program at once.
#include <QString>

#include <atomic>

namespace korvadb {

// The signal that asked the work to stop (SIGTERM, SIGINT), 0 while none did.
extern std::atomic<int> sinalRecebido;

// Blocks both signals in every thread -- the database engine's too, whose own handlers
// would shut the connection down in the middle of the work -- and takes them in a thread
// of its own. Called before any other thread exists, so that every thread inherits the
// mask.
void esperaSinais();

// "SIGTERM", "SIGINT", or the number.
QString nomeDoSinal(int sinal);

}  // namespace korvadb
