#pragma once
#include <QString>

namespace db {

// Gets the embedded Firebird engine ready for this process: unless FIREBIRD_LOCK is
// already set, points it at a folder of this user's own, so that a normal user, not only
// root, can use the embedded engine. Call before the first attachment; idempotent.
void prepareEmbeddedEngine();

// The folder prepareEmbeddedEngine() chose (or the one FIREBIRD_LOCK named).
QString lockFolder();

}  // namespace db
