#pragma once
#include <QString>

namespace db {

// Gets the embedded Firebird engine ready for this process: unless FIREBIRD_LOCK is
// already set, points it at a folder of this user's own, so that a normal user, not only
// root, can use the embedded engine. Call before the first attachment; idempotent.
void prepareEmbeddedEngine();

// The folder prepareEmbeddedEngine() chose (or the one FIREBIRD_LOCK named).
QString lockFolder();

// Data folder: KORVA_HOME, else ~/korva (C:\korva on Windows).
QString dataFolder();
// Database: KORVA_DATABASE, else <data folder>/KORVA.GDB. May be "host:/path/file.fdb".
QString defaultDatabasePath();
// Export folder: <data folder>/export.
QString exportFolder();

inline constexpr const char* defaultUser = "SYSDBA";
inline constexpr const char* defaultPassword = "cobaltrim";

}  // namespace db
