#pragma once
#include <QString>
#include <QVariant>
#include <QVariantList>

#include <memory>

// A small wrapper over the Firebird client library (the ISC API), for the work Qt Sql
// cannot do: creating a database and running DDL in SQL dialect 1, and bulk loads with
// statements prepared once. Everything runs in dialect 1; the connection character set
// is UTF8, so text goes in and comes out as Unicode whatever the database's default
// character set is. Failures throw db::DatabaseError with the server's whole message.
//
// Lifetimes: a Statement must go before its Transaction, a Transaction before its
// Database.
namespace db::fb {

class Transaction;
class Statement;

class Database {
public:
    Database();
    ~Database();  // detaches; errors are ignored there
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // Creates a new database file in dialect 1 and leaves this object attached to it.
    // Firebird refuses to create over an existing file. When this throws, no new file
    // is left behind.
    void create(const QString& path, const QString& user, const QString& password,
                int pageSize = 8192, const QString& defaultCharacterSet = QStringLiteral("WIN1252"));
    void attach(const QString& path, const QString& user, const QString& password);
    void detach();
    // Deletes the attached database, its file included, and detaches.
    void drop();
    bool isAttached() const;

private:
    friend class Transaction;
    friend class Statement;
    struct Handles;
    std::unique_ptr<Handles> h_;
};

class Transaction {
public:
    // Starts a transaction with the server's defaults (snapshot, read-write, wait).
    explicit Transaction(Database& db);
    ~Transaction();  // rolls back what was not committed
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    void start();
    void commit();
    void rollback();
    bool isActive() const;

    // Runs a statement without parameters (DDL, for example).
    void executeImmediate(const QString& sql);

    Database& database() { return db_; }

private:
    friend class Statement;
    Database& db_;
    struct Handle;
    std::unique_ptr<Handle> h_;
};

// A statement prepared once and executed as often as needed, within whatever the
// transaction's current unit is (it may be committed and started again in between).
class Statement {
public:
    Statement(Transaction& tr, const QString& sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    int parameterCount() const;
    int columnCount() const;
    QString columnName(int column) const;

    // Binds the values in order: a null or invalid QVariant as SQL null, strings as
    // text, integers, floating point numbers, QDate and QDateTime as timestamps (a date
    // without time of day), bool as 0/1; anything else as its text. A select's rows are
    // then read with next().
    void execute(const QVariantList& params = {});
    // Moves to the next row of the result; false at the end.
    bool next();
    // A column of the current row: QString, int, qlonglong, double, QDateTime, QDate,
    // QTime or bool; a null QVariant for SQL null.
    QVariant value(int column) const;

private:
    struct Impl;
    std::unique_ptr<Impl> d_;
};

// Runs an SQL script as isql would: statements end with the current terminator
// (";" until "SET TERM x ;" changes it), comments are skipped, "SET SQL DIALECT",
// "SET NAMES" and "SET AUTODDL" are ignored, COMMIT and ROLLBACK end the current unit.
// What is left uncommitted at the end is committed. A failing statement throws with the
// server's message followed by the start of the statement; the unit it was in is rolled
// back.
void runScript(Database& db, const QString& script);

}  // namespace db::fb
