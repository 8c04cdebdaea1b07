#include "support/TestDatabase.h"

#include "data/Installation.h"
#include "db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <vector>

namespace support {

namespace {

[[noreturn]] void fail(const QString& message)
{
    throw std::runtime_error(message.toStdString());
}

// A test meant to run against a server and that has none is skipped whole, before any
// of its cases runs, with the reason.
const std::optional<TestServer> testServer = [] {
    if (qEnvironmentVariable("KORVA_TEST_SERVER_DIR").isEmpty())
        return std::optional<TestServer>();
    QString why;
    std::optional<TestServer> s = TestDatabase::readServer(&why);
    if (!s) {
        std::printf("SKIP   : nenhum servidor Firebird para este teste: %s\n", why.toLocal8Bit().constData());
        std::fflush(stdout);
        std::_Exit(77);
    }
    return s;
}();

}  // namespace

std::optional<TestServer> TestDatabase::readServer(QString* why)
{
    const QString folder = qEnvironmentVariable("KORVA_TEST_SERVER_DIR");
    QFile env(folder + QStringLiteral("/servidor.env"));
    if (folder.isEmpty() || !env.open(QIODevice::ReadOnly | QIODevice::Text)) {
        QFile reason(folder + QStringLiteral("/indisponivel"));
        if (why)
            *why = reason.open(QIODevice::ReadOnly) ? QString::fromUtf8(reason.readAll()).trimmed()
                                                    : QStringLiteral("o servidor de testes não foi iniciado em \"%1\"").arg(folder);
        return std::nullopt;
    }
    TestServer s;
    for (const QString& line : QString::fromUtf8(env.readAll()).split(QLatin1Char('\n'))) {
        const QString value = line.section(QLatin1Char('='), 1);
        if (line.startsWith(QLatin1String("KORVA_TEST_SERVER=")))
            s.address = value;
        else if (line.startsWith(QLatin1String("KORVA_TEST_SERVER_USER=")))
            s.user = value;
        else if (line.startsWith(QLatin1String("KORVA_TEST_SERVER_PASSWORD=")))
            s.password = value;
    }
    return s;
}

const TestServer* TestDatabase::server()
{
    return testServer ? &*testServer : nullptr;
}

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
    if (const TestServer* s = server()) {
        qputenv("KORVA_DATABASE", (s->address + QLatin1Char(':') + copy).toUtf8());
        qputenv("KORVA_USER", s->user.toUtf8());
        qputenv("KORVA_PASSWORD", s->password.toUtf8());
    } else {
        qputenv("KORVA_DATABASE", QFile::encodeName(copy));
    }
    folders.push_back(std::move(folder));
    return copy;
}

void TestDatabase::configure(db::Connection& connection)
{
    installation::configure(connection);
}

}  // namespace support
