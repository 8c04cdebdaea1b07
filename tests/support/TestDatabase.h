#pragma once
#include <QString>

#include <optional>

namespace db {
class Connection;
}

namespace support {

// A Firebird server the tests may use: the one scripts/firebird-server.sh started in the
// folder KORVA_TEST_SERVER_DIR names (the CTest fixture start_test_server).
struct TestServer {
    QString address;  // "127.0.0.1/<port>"
    QString user;
    QString password;
};

// Fresh databases for tests, copied from the templates that the CTest fixture
// create_test_templates makes once per run (tests/support/CreateTemplates.cmake).
//
// A test run with KORVA_TEST_SERVER_DIR set (the "_servidor" tests) gets its databases
// from the test server instead: the copy is served by it, and KORVA_DATABASE,
// KORVA_USER and KORVA_PASSWORD say so. When that folder holds no running server, such a
// test prints why and ends with exit code 77 before it starts, which CTest reports as
// skipped.
class TestDatabase {
public:
    // Copies the template `kind` -- "empty" (schema and reference data) or "demo" (with
    // the demonstration installation) -- into a new temporary folder that lives until the
    // process ends, points KORVA_HOME at that folder and KORVA_DATABASE at the copy (on
    // the test server, when the test runs against one), and returns the copy's file path.
    // Throws std::runtime_error when the template is missing.
    static QString fresh(const QString& kind = QStringLiteral("empty"));

    // Points connection at the database fresh() made last, with the installation's
    // credentials.
    static void configure(db::Connection& connection);

    // The folder of the templates: KORVA_TEST_TEMPLATE_DIR.
    static QString templateFolder();

    // The test server, when this test runs against one.
    static const TestServer* server();
    // The server of KORVA_TEST_SERVER_DIR, or none; *why says why not.
    static std::optional<TestServer> readServer(QString* why = nullptr);
};

}  // namespace support
