#pragma once
#include <QString>
#include <QStringList>

// The engine's own check of a database and the rebuilding of its indices, through the
// Firebird client API. Knows no table of its own: the caller names them.
namespace db::fb {

class Database;

// What the engine's full validation reported.
struct ResultadoValidacao {
    QStringList linhas;  // the engine's report, line by line ("Number of index page errors : 5")
    int erros = 0;       // the sum of the counts of errors
    int avisos = 0;      // the sum of the counts of warnings (pages a stopped engine leaves unused)
    bool valido() const { return erros == 0; }
};

// Runs the full validation of database (what `gfix -v -full -n` does: pages, records and
// indices, read only): a file of the embedded engine, or host:/path or host/port:/path on a
// server. Nothing is changed. The engine wants the database to itself: another attachment,
// this process's own included, makes it fail. Throws db::DatabaseError with the engine's
// words when it cannot run.
ResultadoValidacao valida(const QString& database, const QString& user, const QString& password);

// Rebuilds every index of the tables named (upper case, as the engine keeps them): a plain
// index made inactive and active again, the index of a primary key or unique constraint by
// dropping the constraint and adding it again with its name and columns; all in one
// transaction, committed at the end. Returns the names of the indices rebuilt. A table
// whose key a foreign key references is refused by the engine, and then nothing changes.
QStringList reconstroiIndices(Database& db, const QStringList& tabelas);

}  // namespace db::fb
