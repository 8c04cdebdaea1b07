#include "db/LockTimeout.h"

#include <ibase.h>

#include <algorithm>
#include <atomic>
#include <cstdarg>
#include <vector>

namespace db {

namespace {
std::atomic<int> seconds{defaultLockTimeout};
}

int lockTimeout()
{
    return seconds.load();
}

void setLockTimeout(int s)
{
    seconds.store(std::clamp(s, 1, 32767));
}

}  // namespace db

// Qt's Firebird driver starts each transaction with isc_start_transaction and no
// transaction parameters, which means: wait for ever on a locked row. The driver has no
// way to pass parameters, so the program defines this function itself and exports it
// (see CMakeLists.txt): the driver, loaded later, binds to it. A transaction started
// without parameters gets the engine's defaults spelled out -- read-write, snapshot,
// wait -- plus the lock timeout; one started with parameters keeps them. Then it goes to
// isc_start_multiple of the client library, as the library's own isc_start_transaction
// does.
namespace {

// Laid out as the client library's transaction existence block.
struct Teb {
    isc_db_handle* database;
    int length;
    const char* parameters;
};

}  // namespace

extern "C" ISC_STATUS ISC_EXPORT_VARARG isc_start_transaction(ISC_STATUS* status, isc_tr_handle* transaction, short count,
                                                              ...)
{
    const unsigned timeout = unsigned(db::lockTimeout());
    const char withTimeout[] = {isc_tpb_version3,     isc_tpb_write,        isc_tpb_concurrency, isc_tpb_wait,
                                isc_tpb_lock_timeout, 4,                    char(timeout & 0xFF), char((timeout >> 8) & 0xFF),
                                char((timeout >> 16) & 0xFF), char((timeout >> 24) & 0xFF)};
    std::vector<Teb> blocks(size_t(std::max<short>(count, 0)));
    va_list args;
    va_start(args, count);
    for (Teb& b : blocks) {
        b.database = va_arg(args, isc_db_handle*);
        b.length = va_arg(args, int);
        b.parameters = va_arg(args, const char*);
        if (b.length == 0) {
            b.length = int(sizeof withTimeout);
            b.parameters = withTimeout;
        }
    }
    va_end(args);
    return isc_start_multiple(status, transaction, count, blocks.data());
}
