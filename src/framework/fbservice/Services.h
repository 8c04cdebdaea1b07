#pragma once
// The Firebird services API: the engine's own backup and restore (gbak's format), full
// validation and shutdown, run by the service manager of the embedded engine or of a
// server. A service attachment opens no database attachment in this process: the engine
// attaches by itself, as gbak does, in a read-only snapshot for a backup, so that a copy
// is consistent while the program works on the same database.
//
// A backup may be streamed to the caller and a restore read from the caller, so that the
// file is written and read by this process, on this machine, whether the database is
// embedded or on a server near or far. Failures throw db::DatabaseError with the
// engine's words.
#include "db/DatabaseError.h"

#include <QString>
#include <QStringList>

#include <functional>

namespace db::fb {

// A database name split into the service manager that reaches it and the path the
// engine knows it by: "host:/p" and "host/port:/p" are a server's ("host" or
// "host/port"), anything else a file of the embedded engine (server empty).
struct ServiceTarget {
    QString server;
    QString path;
};
ServiceTarget serviceTarget(const QString& database);

// The caller stopped the operation (a sink or source said so); nothing was completed.
class ServiceStopped : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

class ServiceManager {
public:
    // Attaches to the service manager of server ("" for the embedded engine).
    ServiceManager(const QString& server, const QString& user, const QString& password);
    ~ServiceManager();  // detaches; a running service is abandoned
    ServiceManager(const ServiceManager&) = delete;
    ServiceManager& operator=(const ServiceManager&) = delete;

    // Receives the backup's bytes as they come; false stops the backup.
    using Sink = std::function<bool(const char* data, qsizetype size)>;
    // Fills buffer with up to max bytes of the backup and returns how many; 0 at its end,
    // -1 to stop the restore.
    using Source = std::function<qsizetype(char* buffer, qsizetype max)>;
    // A line of the engine's report while it works.
    using Line = std::function<void(const QString& line)>;

    // A backup of database (its path on the engine's side) in the engine's format,
    // garbage collection left for the database's own sweep. Throws ServiceStopped when
    // sink returned false, DatabaseError when the engine failed. The backup is always
    // streamed: a stopped one leaves no file the engine could still be writing to (the
    // engine's backup runs on until it notices it lost its reader).
    void backup(const QString& database, const Sink& sink);

    // Restores a backup read from source into database, a file that must not exist
    // (the engine creates it), with the page size and settings the backup recorded.
    // Every line of the engine's verbose report goes to line. On failure the engine
    // may leave a partial file behind: the caller removes it.
    void restore(const Source& source, const QString& database, const Line& line = {});

    // Full validation of database (records, pages and indexes), which needs it to
    // itself. Returns what the engine reported; empty when it found nothing wrong.
    QStringList validate(const QString& database);

    // Takes database down for good (full shutdown) unless someone is attached to it, in
    // which case it throws DatabaseError and the database stays as it was.
    void shutdown(const QString& database);
    // Brings a shut-down database back online.
    void bringOnline(const QString& database);

private:
    void start(const QByteArray& spb);
    // Whether the service started last is still at work.
    bool running();
    // Reads the service's report to its end, line by line; line may stop it by
    // throwing.
    QStringList lines(const Line& line = {});

    unsigned int handle_ = 0;
};

}  // namespace db::fb
