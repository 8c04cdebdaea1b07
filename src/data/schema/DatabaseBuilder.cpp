#include "data/schema/DatabaseBuilder.h"

#include "db/DatabaseError.h"
#include "data/schema/DemoData.h"
#include "fbapi/FbClient.h"
#include "data/schema/RefData.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>

namespace data {

DatabaseExists::DatabaseExists(const QString& path)
    : std::runtime_error(QStringLiteral("O arquivo %1 já existe; nada foi alterado.").arg(path).toStdString()),
      path_(path)
{
}

namespace {

// "host:/path" or "host/port:path" names a database on a Firebird server; "C:/x" does not.
bool isRemote(const QString& path)
{
    static const QRegularExpression remote(QStringLiteral("^[^/\\\\:]{2,}:"));
    return remote.match(path).hasMatch();
}

QString resourceText(const QString& name)
{
    QFile file(name);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("Recurso interno ausente: %1").arg(name).toStdString());
    return QString::fromUtf8(file.readAll());
}

}  // namespace

void createDatabase(const QString& path, bool demo, const QString& user, const QString& password,
                    const CompletionStep& lastStep)
{
    const bool remote = isRemote(path);
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
    database.create(path, user, password);  // refuses an existing file by itself, too
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
                database.attach(path, user, password);
            database.drop();
        } catch (...) {
        }
        if (!remote && QFileInfo::exists(path))
            QFile::remove(path);
        throw;
    }
}

}  // namespace data
