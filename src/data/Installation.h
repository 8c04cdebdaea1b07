#pragma once
// Where this installation keeps its things, and how it reaches its database.
#include <QString>

namespace installation {

// Data folder: KORVA_HOME, else ~/korva (C:\korva on Windows).
QString dataFolder();
// Database: KORVA_DATABASE, else <data folder>/KORVA.GDB. May be "host:/path/file.fdb".
QString databasePath();
// Export folder: <data folder>/export.
QString exportFolder();

// The database user and password of the embedded database.
QString userName();
QString password();

}  // namespace installation
