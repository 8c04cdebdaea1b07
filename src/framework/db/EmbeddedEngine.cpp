#include "db/EmbeddedEngine.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
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

}  // namespace db
