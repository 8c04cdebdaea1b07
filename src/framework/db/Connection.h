#pragma once
// The program's one database connection and its write units.
#include <QHash>
#include <QObject>
#include <QSqlDatabase>
#include <QString>

#include <functional>
#include <memory>

class QSqlQuery;

namespace db {

// A database name that a Firebird server serves ("host:/path/file.fdb",
// "host/port:/path", "inet://host/path"), rather than a file the embedded engine opens.
bool isServerDatabase(const QString& name);

// Wraps a QIBASE connection. It opens on demand: a failed start is reported when it
// happens, and every later use tries again.
//
// Transactions: reads run in the driver's own short read transaction (a dataset reads
// all rows and clears its query, so nothing lingers). Writes run in write units: the
// outermost unit starts the transaction and commits it when it completes, so what a
// user saved survives the program being killed right after. A unit opened inside
// another is a savepoint of the transaction.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    void setDatabaseName(const QString& name) { databaseName_ = name; }
    QString databaseName() const { return databaseName_; }
    void setUserName(const QString& user) { userName_ = user; }
    QString userName() const { return userName_; }
    void setPassword(const QString& password) { password_ = password; }
    // Where the user name and password came from ("KORVA_USER e KORVA_PASSWORD", a file),
    // named when the server refuses them; never the password itself.
    void setCredentialsOrigin(const QString& origin) { credentialsOrigin_ = origin; }
    // Called at the start of every attempt to open, so that settings kept outside the
    // program (a file the user may have just fixed) are read again; it may set the name,
    // user and password, and may throw DatabaseError, which the attempt then reports.
    void setConfigure(std::function<void(Connection&)> configure) { configure_ = std::move(configure); }

    // Opens the connection; throws DatabaseError with the server's message and the path
    // (LoginError when the server refuses the user or password).
    void open();
    // Commits an open write unit's work (a disconnection ends work with a commit), then
    // disconnects. Harmless when not connected.
    void close();
    bool isOpen() const;
    // open() unless already open.
    void ensureOpen();

    // The Qt connection, opened on demand.
    QSqlDatabase database();

    // Write units (see WriteUnit). The outermost starts and ends the transaction; each
    // one inside it sets a savepoint, released on commit and rolled back to on rollback.
    void beginUnit();
    void commitUnit();
    void rollbackUnit();
    bool inUnit() const { return depth_ > 0; }
    int unitDepth() const { return depth_; }
    // Increments at every commit or rollback of the transaction: the driver's prepared
    // statements end there and must be prepared again. A savepoint rolled back or
    // released leaves them usable.
    quint64 generation() const { return generation_; }

    // The character set the database stores text in ("WIN1252"), read at open; empty
    // while closed.
    QString storageCharset() const { return charset_; }
    // How long a transaction of this connection waits on a row another connection holds,
    // as the engine reported it at open (-1: for ever). See LockTimeout.h.
    int transactionLockTimeout() const { return lockTimeout_; }

signals:
    void connected();
    void disconnected();

private:
    QString connectionName_;
    QString databaseName_;
    QString userName_;
    QString password_;
    QString credentialsOrigin_;
    std::function<void(Connection&)> configure_;
    void savepoint(const QString& command);

    // The savepoint commands, prepared once per transaction: a unit per row of a bulk
    // operation costs two executions, not two preparations.
    QHash<QString, std::shared_ptr<QSqlQuery>> savepoints_;
    quint64 savepointsGeneration_ = 0;

    int depth_ = 0;
    // Set when a savepoint could not be rolled back: the transaction holds work that
    // was meant to be undone, so it may only roll back.
    bool rollbackOnly_ = false;
    quint64 generation_ = 0;
    QString charset_;
    int lockTimeout_ = -1;
};

// RAII write unit: everything done while it lives commits whole when commit() is
// called, or rolls back whole when it is destroyed uncommitted (an exception passing
// through). A unit inside another is a savepoint: destroyed uncommitted, it undoes only
// its own work and the outer unit goes on; committed, its work joins the outer unit's,
// which still decides whether any of it is kept.
class WriteUnit {
public:
    explicit WriteUnit(Connection& connection);
    ~WriteUnit();
    WriteUnit(const WriteUnit&) = delete;
    WriteUnit& operator=(const WriteUnit&) = delete;
    void commit();

private:
    Connection& connection_;
    int depth_;
    bool done_ = false;
};

}  // namespace db
