#pragma once
// Values on their way to the database. The driver converts a bound value to its
// parameter's type without telling anyone when it cannot ("05/02/2004" into a date
// becomes 17/11/1858, "12,5" into a number becomes 0), so every value is converted here,
// by the program's formats, before anything is sent; a value that does not convert is
// refused naming what it was meant for.
#include <QDateTime>
#include <QString>
#include <QVariant>
#include <QVector>
#include <optional>

class QSqlQuery;

namespace db {

// What the engine expects for one parameter of a prepared statement.
struct ParamType {
    enum class Kind { Text, SmallInt, Integer, BigInt, Float, Timestamp, Date, Time, Blob, Boolean, Other };
    Kind kind = Kind::Other;
    int scale = 0;  // negative: a scaled integer (a fixed-point number)
};

// The types of a prepared query's parameters, in marker order; empty when the driver
// does not say.
QVector<ParamType> describeParameters(const QSqlQuery& query);

// What a refused value was meant for, as the message names it: `campo "Valor"` or
// `parâmetro "DT_DOC"`.
struct BindTarget {
    bool field = false;
    QString name;
    QString phrase() const;
};

// Converts value to what the driver must receive for a parameter of this type: texts
// parsed by the program's formats (decimal comma, optional sign and exponent; dates
// dd/mm/yyyy with an optional hh:mm or hh:mm:ss), empty text as null for every type but
// text, numbers checked against the parameter's range, and a text checked against the
// database's character set `charset` (checked only for "WIN1252"). Throws DataError
// naming the target and the value, or the character that cannot be stored.
QVariant toParameter(const QVariant& value, const ParamType& type, const BindTarget& target, const QString& charset);

// The first character of text that the character set cannot store (checked only for
// "WIN1252"); nullopt when every one can.
std::optional<QString> unstorableCharacter(const QString& text, const QString& charset);
// The message for such a character.
QString unstorableMessage(const QString& character, const BindTarget& target);

// Dates as the program types and shows them: "dd/mm/yyyy", optionally followed by a
// blank and hh:mm or hh:mm:ss; a value at midnight shows the date alone.
std::optional<QDateTime> parseTimestamp(const QString& text);
QString timestampText(const QDateTime& value);

// A null of any kind: no value, a null QVariant, or a null string, date or time in it.
bool isNullValue(const QVariant& value);

}  // namespace db
