#include "data/Installation.h"

#include <QDir>
#include <QtGlobal>

namespace installation {

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

QString databasePath()
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

QString userName()
{
    return QStringLiteral("SYSDBA");
}

QString password()
{
    return QStringLiteral("cobaltrim");
}

}  // namespace installation
