#include "db/Binding.h"

#include "db/DatabaseError.h"
#include "text/Formats.h"

#include <QSqlDriver>
#include <QSqlQuery>
#include <QRegularExpression>
#include <QSqlResult>
#include <QTime>

#include <ibase.h>

#include <cmath>
#include <limits>
#include <vector>

namespace db {

namespace {

ParamType typeOf(const XSQLVAR& var)
{
    ParamType t;
    t.scale = var.sqlscale;
    switch (var.sqltype & ~1) {
    case SQL_TEXT:
    case SQL_VARYING:
        t.kind = ParamType::Kind::Text;
        break;
    case SQL_SHORT:
        t.kind = ParamType::Kind::SmallInt;
        break;
    case SQL_LONG:
        t.kind = ParamType::Kind::Integer;
        break;
    case SQL_INT64:
        t.kind = ParamType::Kind::BigInt;
        break;
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_D_FLOAT:
        t.kind = ParamType::Kind::Float;
        break;
    case SQL_TIMESTAMP:
        t.kind = ParamType::Kind::Timestamp;
        break;
    case SQL_TYPE_DATE:
        t.kind = ParamType::Kind::Date;
        break;
    case SQL_TYPE_TIME:
        t.kind = ParamType::Kind::Time;
        break;
    case SQL_BLOB:
        t.kind = ParamType::Kind::Blob;
        break;
    case SQL_BOOLEAN:
        t.kind = ParamType::Kind::Boolean;
        break;
    default:
        t.kind = ParamType::Kind::Other;
        break;
    }
    return t;
}

[[noreturn]] void refuse(const QVariant& value, const BindTarget& target)
{
    throw DataError(QStringLiteral("\"%1\" não é um valor válido para o %2.").arg(value.toString(), target.phrase()));
}

bool isText(const QVariant& v)
{
    return v.typeId() == QMetaType::QString;
}

bool isIntegral(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Bool:
        return true;
    default:
        return false;
    }
}

bool isFloating(const QVariant& v)
{
    return v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float;
}

// An integer of the parameter's range.
QVariant toInteger(const QVariant& v, const ParamType& type, const BindTarget& target)
{
    qint64 n = 0;
    if (isText(v)) {
        const auto parsed = text::parseInteger(v.toString());
        if (!parsed)
            refuse(v, target);
        n = *parsed;
    } else if (v.typeId() == QMetaType::ULongLong) {
        if (v.toULongLong() > quint64(std::numeric_limits<qint64>::max()))
            refuse(v, target);
        n = v.toLongLong();
    } else if (isIntegral(v)) {
        n = v.toLongLong();
    } else if (isFloating(v)) {
        // A whole number only: the driver would cut the fraction without a word.
        const double d = v.toDouble();
        if (!std::isfinite(d) || d != std::trunc(d) || std::fabs(d) > 9.2e18)
            refuse(v, target);
        n = qint64(d);
    } else {
        refuse(v, target);
    }
    qint64 low = std::numeric_limits<qint64>::min();
    qint64 high = std::numeric_limits<qint64>::max();
    if (type.kind == ParamType::Kind::SmallInt) {
        low = std::numeric_limits<qint16>::min();
        high = std::numeric_limits<qint16>::max();
    } else if (type.kind == ParamType::Kind::Integer) {
        low = std::numeric_limits<qint32>::min();
        high = std::numeric_limits<qint32>::max();
    }
    if (n < low || n > high)
        refuse(v, target);
    if (type.kind == ParamType::Kind::BigInt)
        return QVariant(qlonglong(n));
    return QVariant(int(n));
}

QVariant toDouble(const QVariant& v, const BindTarget& target)
{
    double d = 0;
    if (isText(v)) {
        const auto parsed = text::parseFloat(v.toString());
        if (!parsed)
            refuse(v, target);
        d = *parsed;
    } else if (isFloating(v) || isIntegral(v)) {
        d = v.toDouble();
    } else {
        refuse(v, target);
    }
    if (!std::isfinite(d))
        refuse(v, target);
    return QVariant(d);
}

QDateTime toDateTime(const QVariant& v, const BindTarget& target)
{
    switch (v.typeId()) {
    case QMetaType::QDateTime:
        if (v.toDateTime().isValid())
            return v.toDateTime();
        break;
    case QMetaType::QDate:
        if (v.toDate().isValid())
            return QDateTime(v.toDate(), QTime(0, 0));
        break;
    case QMetaType::QString:
        if (const auto dt = parseTimestamp(v.toString()))
            return *dt;
        break;
    default:
        break;
    }
    refuse(v, target);
}

QString textOf(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
        return text::floatToText(v.toDouble());
    case QMetaType::QDate:
        return text::formatDate(v.toDate());
    case QMetaType::QDateTime:
        return timestampText(v.toDateTime());
    default:
        return v.toString();
    }
}

}  // namespace

QString BindTarget::phrase() const
{
    return QStringLiteral("%1 \"%2\"").arg(field ? QStringLiteral("campo") : QStringLiteral("parâmetro"), name);
}

QVector<ParamType> describeParameters(const QSqlQuery& query)
{
    const QSqlResult* result = query.result();
    if (!result || !query.driver() || query.driver()->dbmsType() != QSqlDriver::Interbase)
        return {};
    const QVariant handle = result->handle();
    if (handle.metaType() != QMetaType::fromType<isc_stmt_handle>())
        return {};
    isc_stmt_handle statement = *static_cast<const isc_stmt_handle*>(handle.constData());
    if (!statement)
        return {};

    ISC_STATUS_ARRAY status;
    const auto describe = [&](std::vector<char>& buffer, short count) -> XSQLDA* {
        buffer.assign(XSQLDA_LENGTH(count), 0);
        auto* da = reinterpret_cast<XSQLDA*>(buffer.data());
        da->version = SQLDA_VERSION1;
        da->sqln = count;
        if (isc_dsql_describe_bind(status, &statement, SQLDA_VERSION1, da))
            return nullptr;
        return da;
    };
    std::vector<char> buffer;
    XSQLDA* da = describe(buffer, 1);
    if (!da)
        return {};
    if (da->sqld > da->sqln) {
        da = describe(buffer, da->sqld);
        if (!da)
            return {};
    }
    QVector<ParamType> types;
    types.reserve(da->sqld);
    for (int i = 0; i < da->sqld; ++i)
        types << typeOf(da->sqlvar[i]);
    return types;
}

bool isNullValue(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return true;
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString().isNull();
    case QMetaType::QDate:
        return v.toDate().isNull();
    case QMetaType::QDateTime:
        return v.toDateTime().isNull();
    case QMetaType::QTime:
        return v.toTime().isNull();
    default:
        return false;
    }
}

QVariant toParameter(const QVariant& value, const ParamType& type, const BindTarget& target, const QString& charset)
{
    if (isNullValue(value))
        return QVariant();
    using Kind = ParamType::Kind;
    const bool textual = type.kind == Kind::Text || type.kind == Kind::Blob || type.kind == Kind::Other;
    if (!textual && isText(value) && value.toString().trimmed().isEmpty())
        return QVariant();

    switch (type.kind) {
    case Kind::Text: {
        const QString s = textOf(value);
        if (const auto c = unstorableCharacter(s, charset))
            throw DataError(unstorableMessage(*c, target));
        return s;
    }
    case Kind::SmallInt:
    case Kind::Integer:
    case Kind::BigInt:
        // A scaled integer is a fixed-point number: the driver scales a double.
        if (type.scale < 0)
            return toDouble(value, target);
        return toInteger(value, type, target);
    case Kind::Float:
        return toDouble(value, target);
    case Kind::Timestamp:
        return toDateTime(value, target);
    case Kind::Date: {
        const QDateTime dt = toDateTime(value, target);
        if (dt.time() != QTime(0, 0))
            refuse(value, target);
        return dt.date();
    }
    case Kind::Time: {
        if (value.typeId() == QMetaType::QTime && value.toTime().isValid())
            return value;
        if (isText(value)) {
            for (const char* format : {"h:mm:ss", "h:mm"}) {
                const QTime t = QTime::fromString(value.toString().trimmed(), QString::fromLatin1(format));
                if (t.isValid())
                    return t;
            }
        }
        refuse(value, target);
    }
    case Kind::Boolean:
        if (value.typeId() == QMetaType::Bool || isIntegral(value))
            return QVariant(value.toBool());
        refuse(value, target);
    case Kind::Blob:
    case Kind::Other:
        if (isText(value)) {
            if (const auto c = unstorableCharacter(value.toString(), charset))
                throw DataError(unstorableMessage(*c, target));
        }
        if (value.typeId() == QMetaType::QDate)
            return QDateTime(value.toDate(), QTime(0, 0));
        return value;
    }
    return value;
}

std::optional<QString> unstorableCharacter(const QString& s, const QString& charset)
{
    if (charset != QLatin1String("WIN1252"))
        return std::nullopt;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
            continue;
        const qsizetype length = QChar::isHighSurrogate(u) && i + 1 < s.size() && s.at(i + 1).isLowSurrogate() ? 2 : 1;
        const QString c = s.mid(i, length);
        // C1 controls have no place in the code page, even those it leaves undefined.
        if ((u >= 0x80 && u < 0xA0) || text::fromWin1252(text::toWin1252(c)) != c)
            return c;
        i += length - 1;
    }
    return std::nullopt;
}

QString unstorableMessage(const QString& character, const BindTarget& target)
{
    const QString t = target.phrase();
    return QStringLiteral("O %1 contém o caractere \"%2\" (U+%3), que o banco de dados não pode guardar.")
        .arg(t, character,
             QStringLiteral("%1").arg(character.toUcs4().value(0), 4, 16, QLatin1Char('0')).toUpper());
}

std::optional<QDateTime> parseTimestamp(const QString& s)
{
    const QString t = s.trimmed();
    const qsizetype blank = t.indexOf(u' ');
    const auto date = text::parseDate(blank < 0 ? t : t.left(blank));
    if (!date)
        return std::nullopt;
    if (blank < 0)
        return QDateTime(*date, QTime(0, 0));
    const QString clock = t.mid(blank + 1).trimmed();
    // hh:mm or hh:mm:ss, the hour with one or two digits.
    static const QRegularExpression shape(QStringLiteral("^\\d{1,2}:\\d{2}(:\\d{2})?$"));
    if (!shape.match(clock).hasMatch())
        return std::nullopt;
    const QTime time = QTime::fromString(clock, clock.count(u':') == 2 ? QStringLiteral("h:mm:ss") : QStringLiteral("h:mm"));
    if (!time.isValid())
        return std::nullopt;
    return QDateTime(*date, time);
}

QString timestampText(const QDateTime& value)
{
    if (!value.isValid())
        return {};
    if (value.time() == QTime(0, 0))
        return text::formatDate(value.date());
    return text::formatDate(value.date()) + u' ' + value.time().toString(QStringLiteral("hh:mm:ss"));
}

}  // namespace db
