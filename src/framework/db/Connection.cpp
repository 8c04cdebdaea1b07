#include "db/Connection.h"

#include "db/DatabaseError.h"
#include "db/EmbeddedEngine.h"
#include "db/LockTimeout.h"

#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <atomic>
#include <stdexcept>

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

bool isServerDatabase(const QString& name)
{
    // "host:path", "host/port:path", "[v6 address]/port:path" or "inet://host/path"; a
    // one-letter "host" is a Windows drive.
    static const QRegularExpression server(
        QStringLiteral("^(?:(?:inet[46]?|wnet)://|(?:\\[[^\\]]*\\]|[^/\\\\:\\[\\]]{2,})(?:/[^/\\\\:]+)?:)"),
        QRegularExpression::CaseInsensitiveOption);
    return server.match(name).hasMatch();
}

void Connection::open()
{
    if (isOpen())
        return;
    if (configure_)
        configure_(*this);
    // A seat of a server needs no embedded engine, nor its lock folder.
    if (!isServerDatabase(databaseName_))
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
        if (isLoginRefusedText(server))
            throw LoginError(databaseName_, userName_, credentialsOrigin_, server, code);
        if (inUse)
            throw DatabaseInUseError(
                QStringLiteral("O banco de dados \"%1\" já está em uso por outra cópia do KORVA.\n%2").arg(databaseName_, server),
                code);
        throw DatabaseError(QStringLiteral("Não foi possível abrir o banco de dados \"%1\".\n%2").arg(databaseName_, server), code);
    }
    depth_ = 0;
    rollbackOnly_ = false;
    bool read = false;
    {
        QSqlQuery q(db);
        lockTimeout_ = 0;
        if (q.exec(QStringLiteral("select rdb$character_set_name, rdb$get_context('SYSTEM', 'LOCK_TIMEOUT') "
                                  "from rdb$database")) &&
            q.next()) {
            charset_ = q.value(0).toString().trimmed().toUpper();
            lockTimeout_ = q.value(1).toInt();
            read = true;
        }
        q.finish();
        q.clear();
    }
    // Every transaction waits at most the lock timeout only when the driver starts them
    // through this program's isc_start_transaction. A driver bound to another (a client
    // library loaded before the program's, a driver built otherwise) would let two seats
    // wait on each other for ever: such a connection is not used.
    if (!read || lockTimeout_ != lockTimeout()) {
        const QString why = read ? QStringLiteral("as transações esperariam %1 por uma linha travada por outro usuário, e não %2 s")
                                       .arg(lockTimeout_ < 0 ? QStringLiteral("para sempre") : QStringLiteral("%1 s").arg(lockTimeout_))
                                       .arg(lockTimeout())
                                 : QStringLiteral("não foi possível ler o tempo de espera das transações");
        db.close();
        throw DatabaseError(QStringLiteral("Não foi possível abrir o banco de dados \"%1\": %2. O driver Firebird do Qt não "
                                           "inicia as transações pela função do KORVA (isc_start_transaction); verifique se "
                                           "nenhuma outra biblioteca cliente do Firebird é carregada antes do programa.")
                                .arg(databaseName_, why));
    }
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
        if (rollbackOnly_)
            db.rollback();
        else
            db.commit();
        depth_ = 0;
        rollbackOnly_ = false;
        ++generation_;
    }
    savepoints_.clear();
    db.close();
    charset_.clear();
    emit disconnected();
}

QSqlDatabase Connection::database()
{
    ensureOpen();
    return QSqlDatabase::database(connectionName_, false);
}

void Connection::savepoint(const QString& command)
{
    if (savepointsGeneration_ != generation_) {
        savepoints_.clear();
        savepointsGeneration_ = generation_;
    }
    std::shared_ptr<QSqlQuery>& q = savepoints_[command];
    if (!q) {
        auto prepared = std::make_shared<QSqlQuery>(QSqlDatabase::database(connectionName_, false));
        if (!prepared->prepare(command))
            throw DatabaseError(errorText(prepared->lastError()));
        q = std::move(prepared);
    }
    if (!q->exec()) {
        const QString text = errorText(q->lastError());
        savepoints_.remove(command);
        throw DatabaseError(text);
    }
}

static QString savepointName(int depth)
{
    return QStringLiteral("KORVA_UNIT_%1").arg(depth);
}

void Connection::beginUnit()
{
    if (depth_ == 0) {
        QSqlDatabase db = database();
        if (!db.transaction())
            throw DatabaseError(errorText(db.lastError()));
        rollbackOnly_ = false;
    } else {
        savepoint(QStringLiteral("SAVEPOINT ") + savepointName(depth_ + 1));
    }
    ++depth_;
}

void Connection::commitUnit()
{
    if (depth_ <= 0)
        return;
    if (depth_ > 1) {
        // The savepoint goes; its work is now the outer unit's.
        savepoint(QStringLiteral("RELEASE SAVEPOINT ") + savepointName(depth_));
        --depth_;
        return;
    }
    depth_ = 0;
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
    if (depth_ > 1) {
        const QString name = savepointName(depth_);
        --depth_;
        try {
            savepoint(QStringLiteral("ROLLBACK TO SAVEPOINT ") + name);
            savepoint(QStringLiteral("RELEASE SAVEPOINT ") + name);
        } catch (const DatabaseError&) {
            // The unit's work may still be there: nothing of the transaction may be kept.
            rollbackOnly_ = true;
        }
        return;
    }
    depth_ = 0;
    ++generation_;
    rollbackOnly_ = false;
    if (isOpen())
        QSqlDatabase::database(connectionName_, false).rollback();
}

WriteUnit::WriteUnit(Connection& connection) : connection_(connection)
{
    connection_.beginUnit();
    depth_ = connection_.unitDepth();
}

WriteUnit::~WriteUnit()
{
    // A closed connection already ended the unit with a commit.
    if (!done_ && connection_.unitDepth() == depth_)
        connection_.rollbackUnit();
}

void WriteUnit::commit()
{
    if (done_)
        return;
    if (connection_.unitDepth() != depth_) {
        if (connection_.unitDepth() > depth_)
            throw std::logic_error("a write unit was committed while a unit inside it was still open");
        done_ = true;
        return;
    }
    // Done only once it worked: a savepoint that could not be released is still rolled
    // back to when the unit goes.
    connection_.commitUnit();
    done_ = true;
}

}  // namespace db
