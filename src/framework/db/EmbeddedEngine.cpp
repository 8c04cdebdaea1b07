#include "db/EmbeddedEngine.h"

#include "db/DatabaseError.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QtGlobal>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace db {

namespace {
QString chosenLockFolder;

[[noreturn]] void unsafe(const QString& folder, const QString& reason)
{
    throw DatabaseError(QStringLiteral("A pasta \"%1\", onde o banco de dados guarda suas travas, não é segura: %2. "
                                       "Apague-a, ou indique outra pasta sua na variável FIREBIRD_LOCK.")
                            .arg(folder, reason));
}
}  // namespace

void secureLockFolder(const QString& folder, uint uid)
{
    const QByteArray path = QFile::encodeName(folder);
    // Made here with the final mode, so that nobody else can slip in between.
    if (::mkdir(path.constData(), 0700) != 0 && errno != EEXIST)
        throw DatabaseError(QStringLiteral("Não foi possível criar a pasta \"%1\": %2.")
                                .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    struct stat st {};
    if (::lstat(path.constData(), &st) != 0)
        throw DatabaseError(QStringLiteral("Não foi possível examinar a pasta \"%1\": %2.")
                                .arg(folder, QString::fromLocal8Bit(std::strerror(errno))));
    // A lock file named after the database could otherwise lead the engine to overwrite
    // a file of the user's, through a link that someone else planted.
    if (S_ISLNK(st.st_mode))
        unsafe(folder, QStringLiteral("é um link simbólico"));
    if (!S_ISDIR(st.st_mode))
        unsafe(folder, QStringLiteral("não é uma pasta"));
    if (st.st_uid != uid)
        unsafe(folder, QStringLiteral("pertence a outro usuário"));
    if (st.st_mode & (S_IWGRP | S_IWOTH))
        unsafe(folder, QStringLiteral("outros usuários podem gravar nela"));
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
                     : QDir::tempPath() + QStringLiteral("/korva-firebird-%1").arg(::getuid());
        secureLockFolder(folder, ::getuid());
        qputenv("FIREBIRD_LOCK", QFile::encodeName(folder));
    } else if (!QFileInfo::exists(folder)) {
        // A folder the user named is used as given: made when missing, its mode never touched.
        QDir().mkpath(folder);
    }
    chosenLockFolder = folder;
}

QString lockFolder()
{
    prepareEmbeddedEngine();
    return chosenLockFolder;
}

}  // namespace db
