#include "data/schema/DatabaseBuilder.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "data/schema/DemoData.h"
#include "fbapi/FbClient.h"
#include "data/schema/RefData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace data {

DatabaseExists::DatabaseExists(const QString& path)
    : std::runtime_error(QStringLiteral("O arquivo %1 já existe; nada foi alterado.").arg(path).toStdString()),
      path_(path)
{
}

namespace {

QString resourceText(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Recurso interno ausente: %1").arg(name).toStdString());
    return QString::fromUtf8(file.readAll());
}

}  // namespace

void createDatabase(const QString& path, bool demo, const CompletionStep& lastStep)
{
    const installation::DatabaseSettings settings = installation::databaseSettings(path);
    const bool remote = db::isServerDatabase(path);
    if (!remote) {
        const QFileInfo info(path);
        if (info.exists() || info.isSymLink())
            throw DatabaseExists(path);
        if (!QDir().mkpath(info.absolutePath()))
            throw std::runtime_error(
                QStringLiteral("Não foi possível criar a pasta %1").arg(QDir::toNativeSeparators(info.absolutePath()))
                    .toStdString());
    }

    db::fb::Database database;
    try {
        database.create(path, settings.user, settings.password);  // refuses an existing file by itself, too
    } catch (const db::DatabaseError& e) {
        // A server says so in its own words.
        if (remote && e.message().contains(QLatin1String("File exists")))
            throw DatabaseExists(path);
        if (db::isLoginRefusedText(e.message()))
            throw db::LoginError(path, settings.user, settings.origin, e.message(), e.code());
        throw;
    }
    try {
        db::fb::runScript(database, resourceText(QStringLiteral(":/korva/schema/korva.sql")));
        db::fb::Transaction tr(database);
        loadReferenceData(tr);
        if (demo)
            loadDemoData(tr);
        tr.commit();
        database.detach();
        if (lastStep)
            lastStep(path);
    } catch (...) {
        // Never leave a half-made database behind.
        try {
            if (!database.isAttached())
                database.attach(path, settings.user, settings.password);
            database.drop();
        } catch (...) {
        }
        if (!remote && QFileInfo::exists(path))
            QFile::remove(path);
        throw;
    }
}

}  // namespace data
