#include "support/TestDatabase.h"

#include "data/Installation.h"
#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <memory>
#include <stdexcept>
#include <vector>

namespace support {

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

}  // namespace

QString TestDatabase::templateFolder()
{
    const QString folder = qEnvironmentVariable("KORVA_TEST_TEMPLATE_DIR");
    if (folder.isEmpty())
        fail(QStringLiteral("KORVA_TEST_TEMPLATE_DIR is not set: run the tests through ctest"));
    return folder;
}

QString TestDatabase::fresh(const QString& kind)
{
    // Folders stay until the process ends, so that a test can reopen its database.
    static std::vector<std::unique_ptr<QTemporaryDir>> folders;

    const QString source = templateFolder() + QLatin1Char('/') + kind + QStringLiteral(".gdb");
    if (!QFileInfo::exists(source))
        fail(QStringLiteral("template database %1 is missing: run the test create_test_templates").arg(source));

    auto folder = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/korva-test-XXXXXX"));
    if (!folder->isValid())
        fail(QStringLiteral("cannot create a temporary folder: %1").arg(folder->errorString()));
    const QString copy = folder->filePath(QStringLiteral("KORVA.GDB"));
    if (!QFile::copy(source, copy))
        fail(QStringLiteral("cannot copy %1 to %2").arg(source, copy));
    QFile::setPermissions(copy, QFileDevice::ReadOwner | QFileDevice::WriteOwner);

    qputenv("KORVA_HOME", QFile::encodeName(folder->path()));
    qputenv("KORVA_DATABASE", QFile::encodeName(copy));
    folders.push_back(std::move(folder));
    return copy;
}

void TestDatabase::configure(db::Connection& connection)
{
    connection.setDatabaseName(installation::databasePath());
    connection.setUserName(installation::userName());
    connection.setPassword(installation::password());
}

}  // namespace support
