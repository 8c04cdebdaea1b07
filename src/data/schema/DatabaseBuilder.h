#pragma once
#include "data/Installation.h"

#include <QString>

#include <functional>
#include <stdexcept>

namespace data {

// createDatabase refuses to touch a file that is already there.
class DatabaseExists : public std::runtime_error {
public:
    explicit DatabaseExists(const QString& path);
    QString path() const { return path_; }

private:
    QString path_;
};

// A last step of the creation, run on the finished database once it is committed and
// no longer attached here (a tool above this layer computes what the features compute,
// through the program's own connection). Its exception fails the creation.
using CompletionStep = std::function<void(const QString& path)>;

// Creates a KORVA database at path: the schema (korva.sql), the reference data (states,
// municipalities, census figures, pact modalities, the medication list and the
// medications agreed per state) and, with demo, a municipal demonstration installation
// (parameters, pacts, rates and some months of follow-up of the current year; its annual
// incentive is the incentive calculation's, which korva-db runs as the last step).
// Creates the folder if needed. Throws DatabaseExists when the file exists (it is left
// alone), db::DatabaseError for the server's refusals and std::runtime_error for the
// rest; a database left half made, the last step's failure included, is deleted, so that
// a retry starts clean. path may name a database on a Firebird server
// ("host/port:/path/file.fdb"): the server creates it, as the installation's user
// (installation::databaseSettings).
void createDatabase(const QString& path, bool demo, const CompletionStep& lastStep = {});

}  // namespace data
