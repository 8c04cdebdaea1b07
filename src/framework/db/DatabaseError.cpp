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

LockConflictError::LockConflictError(const QString& serverText, int code)
    : DatabaseError(QStringLiteral("Outro usuário está alterando os mesmos dados neste momento. "
                                   "A operação foi desfeita e pode ser repetida."),
                    code),
      serverText_(serverText)
{
}

LoginError::LoginError(const QString& database, const QString& user, const QString& origin, const QString& serverText,
                       int code)
    : DatabaseError(QStringLiteral("O banco de dados \"%1\" recusou o usuário \"%2\" ou a senha%3. Confira-os e tente de novo.\n%4")
                        .arg(database, user, origin.isEmpty() ? QString() : QStringLiteral(" (%1)").arg(origin), serverText),
                    code)
{
}

bool isLoginRefusedText(const QString& serverText)
{
    return serverText.contains(QLatin1String("user name and password are not defined"), Qt::CaseInsensitive);
}

bool isLockConflictText(const QString& serverText)
{
    // "deadlock - update conflicts with concurrent update", "lock conflict on no wait
    // transaction", "lock time-out on wait transaction".
    static const char* const texts[] = {"update conflicts with concurrent update", "deadlock",
                                        "lock conflict on no wait transaction", "lock time-out on wait transaction"};
    for (const char* t : texts)
        if (serverText.contains(QLatin1String(t), Qt::CaseInsensitive))
            return true;
    return false;
}

DataError::DataError(const QString& message)
    : std::runtime_error(message.toStdString()), message_(message)
{
}

}  // namespace db
