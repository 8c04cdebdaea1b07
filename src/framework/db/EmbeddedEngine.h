#pragma once
#include <QString>

namespace db {

// Gets the embedded Firebird engine ready for this process: unless FIREBIRD_LOCK is
// already set, points it at a folder of this user's own, so that a normal user, not only
// root, can use the embedded engine: $XDG_RUNTIME_DIR/korva-firebird, else
// /tmp/korva-firebird-<uid>, checked by secureLockFolder. A folder the user names in
// FIREBIRD_LOCK is used as given. Call before the first attachment; idempotent once it
// succeeds. Throws DatabaseError naming a folder that is not safe.
void prepareEmbeddedEngine();

// The folder prepareEmbeddedEngine() chose (or the one FIREBIRD_LOCK named).
QString lockFolder();

// Creates folder with mode 0700 when absent; an existing one must be a real directory
// (not a symbolic link) owned by uid and writable by nobody else. Throws DatabaseError
// naming the folder and what is wrong with it.
void secureLockFolder(const QString& folder, uint uid);

}  // namespace db
