#include "db/DatabaseError.h"

namespace db {

DatabaseError::DatabaseError(const QString& message, int code)
    : std::runtime_error(message.toStdString()), message_(message), code_(code)
{
}

bool DatabaseError::isKeyViolation() const
{
    return message_.contains(QLatin1String("violation of PRIMARY or UNIQUE KEY"));
}

DataError::DataError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

}  // namespace db
