#pragma once
#include <QString>
#include <stdexcept>

namespace db {

// An error raised by the database server or client library. what() and message() carry
// the server's own text.
class DatabaseError : public std::runtime_error {
public:
    explicit DatabaseError(const QString& message, int code = 0);
    QString message() const { return message_; }
    int code() const { return code_; }
    // The only way a duplicate key is recognised: the server's text.
    bool isKeyViolation() const;

private:
    QString message_;
    int code_;
};

// The database is being used by another process (the embedded engine lets one process
// at a time use a database file).
class DatabaseInUseError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// A modify, insert or delete through an update object that wrote no row: the row was
// changed or removed after it was read. Nothing was written.
class RowNotFoundError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
};

// A failure that is not the database's: a required field left empty, a typed value that
// does not convert, an operation the dataset's state does not allow.
class DataError : public std::runtime_error {
public:
    explicit DataError(const QString& message);
    QString message() const { return message_; }

private:
    QString message_;
};

}  // namespace db
