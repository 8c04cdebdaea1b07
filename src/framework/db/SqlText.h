#pragma once
#include <QString>
#include <QStringList>
#include <QVariant>

class QSqlQuery;

namespace db {

// A statement whose ":NAME" parameters have been turned into positional '?' markers,
// with the names in the order they appear. Quoted text and comments are left alone.
struct ParsedSql {
    QString text;
    QStringList names;  // upper case, one per marker (a name may repeat)
};

ParsedSql parseParameters(const QString& sql);

// Joins statement lines the way they were written: one line after the other.
QString joinLines(const QStringList& lines);

// Prepares a bound value for the driver: dates become midnight timestamps, a null of
// any kind becomes a plain null.
QVariant toDriverValue(const QVariant& v);

// Text of the last error of a query, as the server gave it.
QString serverText(const QSqlQuery& query);

// Throws the query's last error: a LockConflictError when another connection holds the
// rows it needed, else a DatabaseError with the server's text.
[[noreturn]] void throwQueryError(const QSqlQuery& query);

}  // namespace db
