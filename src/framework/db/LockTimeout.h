#pragma once
// How long a transaction of this process waits for a row that another connection has
// changed and not yet committed. Every transaction started without parameters of its own
// -- the driver's, for write units and reads alike -- waits at most this long; then the
// statement fails with a lock conflict (LockConflictError) and nothing it did stays.
// Without it two seats on one server could wait on each other for ever.

namespace db {

constexpr int defaultLockTimeout = 5;

// Seconds, process-wide; the change applies to transactions started after it.
int lockTimeout();
void setLockTimeout(int seconds);

}  // namespace db
