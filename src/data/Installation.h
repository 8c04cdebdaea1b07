#pragma once
// Where this installation keeps its things, and how it reaches its database.
#include "db/DatabaseError.h"

#include <QString>

namespace db {
class Connection;
}

namespace installation {

// Data folder: KORVA_HOME, else ~/korva (C:\korva on Windows).
QString dataFolder();
// Export folder: <data folder>/export.
QString exportFolder();
// Where the backups go: <data folder>/copias.
QString copiesFolder();
// How many of the newest backups the automatic copy keeps in copiesFolder(): KORVA_COPIAS,
// else korva.conf's line, else 7; 0 turns the automatic copy off. Throws SettingsError
// for a value that is not such a number.
int copiesToKeep();
// The installation's settings file: <data folder>/korva.conf. Optional; lines
// "KORVA_DATABASE=...", "KORVA_USER=...", "KORVA_PASSWORD=...", "KORVA_COPIAS=..." and "#"
// comments. As it
// may hold a password, it is used only while nobody but its owner may read or write it.
QString configFile();

// korva.conf may not be used, or a server database has no user and password: the message
// says what to change.
class SettingsError : public db::DatabaseError {
public:
    using db::DatabaseError::DatabaseError;
};

// How the installation reaches its database. Each value comes from the environment
// variable of that name, else from korva.conf, else from the fixed defaults: the database
// <data folder>/KORVA.GDB and, for a database the embedded engine opens, the user SYSDBA
// with the fixed password. A database on a server has no default user or password.
struct DatabaseSettings {
    QString database;  // a path, or "host:/path/file.fdb", "host/port:/path/file.fdb"
    QString user;
    QString password;
    // Where user and password came from, for messages: "informados em KORVA_USER e
    // KORVA_PASSWORD", "informados no arquivo ...", "padrão do banco local".
    QString origin;
};

// The settings for the installation's database (KORVA_DATABASE, korva.conf or the
// default). Throws SettingsError, in Portuguese and never with the password, when
// korva.conf may not be used (others may read or change it, it is not the user's, a line
// it does not understand) or a server database has no user and password.
DatabaseSettings databaseSettings();
// The settings for another database, with the installation's credentials.
DatabaseSettings databaseSettings(const QString& database);
// The installation's database alone. Throws as databaseSettings().
QString databasePath();

// The database a first start creates: the default one, <data folder>/KORVA.GDB, when
// neither KORVA_DATABASE nor korva.conf names a database and nothing is at its path yet
// (not even a link to nothing). Empty otherwise, and when korva.conf may not be used: the
// start then says why the database does not open.
QString databaseToCreate();

// The database tool: korva-db in the program's own folder (in the build tree, a link that
// the build puts beside the program).
QString databaseTool();

// What the first start did about the database.
struct FirstStart {
    enum class Outcome { Nothing, Created, Failed };
    Outcome outcome = Outcome::Nothing;
    QString database;
    // For the user: where the database was made, or why it could not be.
    QString message;
};

// When databaseToCreate() names one, has the database tool make it ("korva-db create",
// schema and reference data, no demonstration) and waits for it. The program itself opens
// no attachment of its own, so the tool makes the file.
FirstStart createOnFirstStart(const QString& tool = databaseTool());

// Points connection at the installation's database: the settings are read again at every
// attempt to open it, so that a fixed korva.conf takes effect on the next try.
void configure(db::Connection& connection);
// The same for another database (a file named on a command line).
void configure(db::Connection& connection, const QString& database);

}  // namespace installation
