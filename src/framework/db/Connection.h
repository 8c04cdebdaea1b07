#pragma once
// The program's one database connection and its write units.
#include <QObject>
#include <QSqlDatabase>
#include <QString>

namespace db {

// Wraps a QIBASE connection. It opens on demand: a failed start is reported when it
// happens, and every later use tries again.
//
// Transactions: reads run in the driver's own short read transaction (a dataset reads
// all rows and clears its query, so nothing lingers). Writes run in write units: the
// outermost unit starts the transaction and commits it when it completes, so what a
// user saved survives the program being killed right after.
class Connection : public QObject {
    Q_OBJECT
public:
    explicit Connection(QObject* parent = nullptr);
    ~Connection() override;

    void setDatabaseName(const QString& name) { databaseName_ = name; }
    QString databaseName() const { return databaseName_; }
    void setUserName(const QString& user) { userName_ = user; }
    void setPassword(const QString& password) { password_ = password; }

    // Opens the connection; throws DatabaseError with the server's message and the path.
    void open();
    // Commits an open write unit's work (a disconnection ends work with a commit), then
    // disconnects. Harmless when not connected.
    void close();
    bool isOpen() const;
    // open() unless already open.
    void ensureOpen();

    // The Qt connection, opened on demand.
    QSqlDatabase database();

    // Write units (see WriteUnit).
    void beginUnit();
    void commitUnit();
    void rollbackUnit();
    bool inUnit() const { return depth_ > 0; }
    // Increments at every commit or rollback: prepared statements end there.
    quint64 generation() const { return generation_; }

signals:
    void connected();
    void disconnected();

private:
    QString connectionName_;
    QString databaseName_;
    QString userName_;
    QString password_;
    int depth_ = 0;
    bool rollbackOnly_ = false;
    quint64 generation_ = 0;
};

// RAII write unit: everything done while it lives commits whole when commit() is
// called, or rolls back whole when it is destroyed uncommitted (an exception passing
// through). Nested units join the outermost one; an inner unit that fails dooms it.
class WriteUnit {
public:
    explicit WriteUnit(Connection& connection);
    ~WriteUnit();
    WriteUnit(const WriteUnit&) = delete;
    WriteUnit& operator=(const WriteUnit&) = delete;
    void commit();

private:
    Connection& connection_;
    bool done_ = false;
};

}  // namespace db
