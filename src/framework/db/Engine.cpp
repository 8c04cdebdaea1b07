#include "Engine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QtGlobal>

#include <unistd.h>

namespace db {

namespace {
QString chosenLockFolder;
}

void prepareEmbeddedEngine()
{
    if (!chosenLockFolder.isEmpty())
        return;
    QString folder = qEnvironmentVariable("FIREBIRD_LOCK");
    if (folder.isEmpty()) {
        const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
        folder = !runtime.isEmpty() && QFileInfo(runtime).isWritable()
                     ? runtime + QStringLiteral("/korva-firebird")
                     : QDir::tempPath() + QStringLiteral("/korva-firebird-%1").arg(getuid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
    }
    QDir().mkpath(folder);
    QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    chosenLockFolder = folder;
}

QString lockFolder()
{
    prepareEmbeddedEngine();
    return chosenLockFolder;
}

QString dataFolder()
{
    const QString home = qEnvironmentVariable("KORVA_HOME");
    if (!home.isEmpty())
        return home;
#ifdef Q_OS_WIN
    return QStringLiteral("C:/korva");
#else
    return QDir::homePath() + QStringLiteral("/korva");
#endif
}

QString defaultDatabasePath()
{
    const QString db = qEnvironmentVariable("KORVA_DATABASE");
    if (!db.isEmpty())
        return db;
    return dataFolder() + QStringLiteral("/KORVA.GDB");
}

QString exportFolder()
{
    return dataFolder() + QStringLiteral("/export");
}

}  // namespace db
