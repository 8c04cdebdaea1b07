#pragma once
#include <QString>

namespace db {
class Connection;
}

namespace support {

// Fresh databases for tests, copied from the templates that the CTest fixture
// create_test_templates makes once per run (tests/support/CreateTemplates.cmake).
class TestDatabase {
public:
    // Copies the template `kind` -- "empty" (schema and reference data) or "demo" (with
    // the demonstration installation) -- into a new temporary folder that lives until the
    // process ends, points KORVA_HOME at that folder and KORVA_DATABASE at the copy, and
    // returns the copy's path. Throws std::runtime_error when the template is missing.
    static QString fresh(const QString& kind = QStringLiteral("empty"));

    // Points connection at the database fresh() made last, with the installation's
    // credentials.
    static void configure(db::Connection& connection);

    // The folder of the templates: KORVA_TEST_TEMPLATE_DIR.
    static QString templateFolder();
};

}  // namespace support
