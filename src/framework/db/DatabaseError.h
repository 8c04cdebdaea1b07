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

// Another connection holds a row this statement had to change, and did not let go of it
// within the lock timeout (or changed it and committed after this transaction began).
// The statement did nothing; the unit it ran in rolls back when the error leaves it.
// message() says so in Portuguese; serverText() keeps the engine's words.
class LockConflictError : public DatabaseError {
public:
    explicit LockConflictError(const QString& serverText, int code = 0);
    QString serverText() const { return serverText_; }

private:
    QString serverText_;
};

// The server refused the user name or the password. The message names the user and
// where the credentials came from, never the password.
class LoginError : public DatabaseError {
public:
    using DatabaseError::DatabaseError;
    // origin: where the user and password came from (may be empty).
    LoginError(const QString& database, const QString& user, const QString& origin, const QString& serverText,
               int code = 0);
};

// The engine's text of a refused user name or password.
bool isLoginRefusedText(const QString& serverText);

// The engine's text of a lock conflict: a row locked by another transaction that did not
// end within the wait, or changed by one that committed after this one began.
bool isLockConflictText(const QString& serverText);

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
