#include "db/Connection.h"

#include "db/DatabaseError.h"
#include "db/EmbeddedEngine.h"

#include <QSqlError>
#include <atomic>

namespace db {

namespace {
std::atomic<int> connectionSerial{0};

QString errorText(const QSqlError& e)
{
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    return text.trimmed();
}
}  // namespace

Connection::Connection(QObject* parent)
    : QObject(parent),
      connectionName_(QStringLiteral("korva-%1").arg(++connectionSerial))
{
}

Connection::~Connection()
{
    try {
        close();
    } catch (...) {
    }
    QSqlDatabase::removeDatabase(connectionName_);
}

bool Connection::isOpen() const
{
    return QSqlDatabase::contains(connectionName_) && QSqlDatabase::database(connectionName_, false).isOpen();
}

void Connection::open()
{
    if (isOpen())
        return;
    prepareEmbeddedEngine();
    QSqlDatabase db = QSqlDatabase::contains(connectionName_)
                          ? QSqlDatabase::database(connectionName_, false)
                          : QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), connectionName_);
    if (!db.isValid())
        throw DatabaseError(QStringLiteral("O driver QIBASE do Qt não está instalado."));
    db.setDatabaseName(databaseName_);
    db.setUserName(userName_);
    db.setPassword(password_);
    if (!db.open()) {
        const QSqlError e = db.lastError();
        QString server = errorText(e);
        int code = e.nativeErrorCode().toInt();
        // The embedded engine lets one process at a time use a database file.
        const bool inUse = server.contains(QLatin1String("\"lock\" operation"), Qt::CaseInsensitive) ||
                           server.contains(QLatin1String("already opened"), Qt::CaseInsensitive);
        if (inUse)
            throw DatabaseInUseError(
                QStringLiteral("O banco de dados \"%1\" já está em uso por outra cópia do KORVA.\n%2").arg(databaseName_, server),
                code);
        throw DatabaseError(QStringLiteral("Não foi possível abrir o banco de dados \"%1\".\n%2").arg(databaseName_, server), code);
    }
    depth_ = 0;
    rollbackOnly_ = false;
    emit connected();
}

void Connection::ensureOpen()
{
    if (!isOpen())
        open();
}

void Connection::close()
{
    if (!isOpen())
        return;
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    if (depth_ > 0) {
        // A disconnection ends pending work with a commit.
        db.commit();
        depth_ = 0;
        ++generation_;
    }
    db.close();
    emit disconnected();
}

QSqlDatabase Connection::database()
{
    ensureOpen();
    return QSqlDatabase::database(connectionName_, false);
}

void Connection::beginUnit()
{
    if (depth_ == 0) {
        QSqlDatabase db = database();
        if (!db.transaction())
            throw DatabaseError(errorText(db.lastError()));
        rollbackOnly_ = false;
    }
    ++depth_;
}

void Connection::commitUnit()
{
    if (depth_ <= 0)
        return;
    if (--depth_ > 0)
        return;
    QSqlDatabase db = QSqlDatabase::database(connectionName_, false);
    ++generation_;
    if (rollbackOnly_) {
        db.rollback();
        rollbackOnly_ = false;
        throw DatabaseError(QStringLiteral("A operação foi desfeita porque uma de suas etapas falhou."));
    }
    if (!db.commit()) {
        const QString text = errorText(db.lastError());
        db.rollback();
        throw DatabaseError(text);
    }
}

void Connection::rollbackUnit()
{
    if (depth_ <= 0)
        return;
    rollbackOnly_ = true;
    if (--depth_ > 0)
        return;
    ++generation_;
    rollbackOnly_ = false;
    if (isOpen())
        QSqlDatabase::database(connectionName_, false).rollback();
}

WriteUnit::WriteUnit(Connection& connection) : connection_(connection)
{
    connection_.beginUnit();
}

WriteUnit::~WriteUnit()
{
    if (!done_)
        connection_.rollbackUnit();
}

void WriteUnit::commit()
{
    if (done_)
        return;
    done_ = true;
    connection_.commitUnit();
}

}  // namespace db
