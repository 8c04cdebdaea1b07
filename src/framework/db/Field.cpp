#include "db/Field.h"

#include "db/Binding.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DatabaseError.h"
#include "text/Formats.h"

namespace db {

Field::Field(Dataset* dataset, const QString& name, FieldType type, int size, FieldKind kind)
    : dataset_(dataset), name_(name.toUpper()), type_(type), size_(size), kind_(kind)
{
}

bool Field::isNumeric() const
{
    switch (type_) {
    case FieldType::SmallInt:
    case FieldType::Integer:
    case FieldType::Float:
    case FieldType::Currency:
        return true;
    default:
        return false;
    }
}

Field& Field::setVisible(bool on)
{
    if (visible_ != on) {
        visible_ = on;
        if (dataset_)
            emit dataset_->rowsChanged();
    }
    return *this;
}

int Field::displayWidth() const
{
    if (displayWidth_ > 0)
        return displayWidth_;
    switch (type_) {
    case FieldType::String:
        return size_ > 0 ? size_ : 20;
    case FieldType::Date:
        return 10;
    case FieldType::DateTime:
        return 18;
    case FieldType::SmallInt:
        return 6;
    case FieldType::Integer:
        return 10;
    default:
        return 12;
    }
}

Field& Field::setLookup(Dataset* lookupDataset, const QString& keyFields, const QString& lookupKeyFields,
                        const QString& resultField)
{
    lookupDataset_ = lookupDataset;
    keyFields_ = keyFields;
    lookupKeyFields_ = lookupKeyFields;
    lookupResultField_ = resultField;
    // Split once: every read of the field looks up.
    const auto split = [](const QString& names) {
        QStringList out;
        for (const QString& n : names.split(u';', Qt::SkipEmptyParts))
            out << n.trimmed().toUpper();
        return out;
    };
    keyFieldList_ = split(keyFields);
    lookupKeyFieldList_ = split(lookupKeyFields);
    return *this;
}

QVariant Field::value() const
{
    return dataset_->fieldValue(*this);
}

QVariant Field::oldValue() const
{
    return dataset_->oldValueOf(*this);
}

bool Field::isNull() const
{
    const QVariant v = value();
    return !v.isValid() || v.isNull();
}

bool Field::isChanged() const
{
    return value() != oldValue();
}

void Field::setValue(const QVariant& v)
{
    if (kind_ == FieldKind::Lookup)
        throw DataError(QStringLiteral("O campo \"%1\" não pode ser alterado.").arg(displayLabel()));
    QVector<QVariant>* values = dataset_->editValues();
    if (!values)
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" não está em modo de edição ou inclusão.")
                            .arg(dataset_->name()));
    const QVariant coerced = coerce(v);
    if (const auto problem = storageProblem(coerced))
        throw DataError(*problem);
    dataset_->clearPendingText(*this);
    if (values->at(slot_) == coerced && values->at(slot_).isNull() == coerced.isNull())
        return;
    (*values)[slot_] = coerced;
    dataset_->fieldValueChanged(this);
}

QVariant Field::coerce(const QVariant& v) const
{
    if (isNullValue(v))
        return QVariant();
    bool ok = true;
    switch (type_) {
    case FieldType::String: {
        QString s = v.typeId() == QMetaType::Double     ? text::floatToText(v.toDouble())
                    : v.typeId() == QMetaType::QDate     ? text::formatDate(v.toDate())
                    : v.typeId() == QMetaType::QDateTime ? timestampText(v.toDateTime())
                                                         : v.toString();
        if (size_ > 0 && s.size() > size_)
            s.truncate(size_);
        return s;
    }
    case FieldType::SmallInt:
    case FieldType::Integer: {
        if (v.typeId() == QMetaType::QString) {
            const auto n = text::parseInteger(v.toString());
            if (!n)
                break;
            return int(*n);
        }
        const int n = v.toInt(&ok);
        if (ok)
            return n;
        break;
    }
    case FieldType::Float:
    case FieldType::Currency: {
        if (v.typeId() == QMetaType::QString) {
            const auto d = text::parseFloat(v.toString());
            if (!d)
                break;
            return *d;
        }
        const double d = v.toDouble(&ok);
        if (ok)
            return d;
        break;
    }
    case FieldType::Date:
        if (v.typeId() == QMetaType::QDateTime)
            return v.toDateTime().date();
        if (v.typeId() == QMetaType::QDate)
            return v;
        if (v.typeId() == QMetaType::QString) {
            const auto d = text::parseDate(v.toString());
            if (d)
                return *d;
        }
        break;
    case FieldType::DateTime:
        if (v.typeId() == QMetaType::QDate)
            return QDateTime(v.toDate(), QTime(0, 0));
        if (v.typeId() == QMetaType::QDateTime)
            return v;
        if (v.typeId() == QMetaType::QString) {
            if (const auto d = parseTimestamp(v.toString()))
                return *d;
        }
        break;
    case FieldType::Unknown:
        return v;
    }
    throw DataError(QStringLiteral("\"%1\" não é um valor válido para o campo \"%2\".")
                        .arg(v.toString(), displayLabel()));
}

QString Field::asString() const
{
    const QVariant v = value();
    if (!v.isValid() || v.isNull())
        return QString();
    return plainText(v);
}

QString Field::plainText(const QVariant& v) const
{
    switch (type_) {
    case FieldType::String:
        return v.toString();
    case FieldType::SmallInt:
    case FieldType::Integer:
        return text::integerToText(v.toLongLong());
    case FieldType::Float:
    case FieldType::Currency:
        return text::floatToText(v.toDouble());
    case FieldType::Date:
        return text::formatDate(v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate());
    case FieldType::DateTime:
        return timestampText(v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime());
    case FieldType::Unknown:
        break;
    }
    return v.toString();
}

std::optional<QString> Field::storageProblem(const QVariant& v) const
{
    if (type_ != FieldType::String || kind_ != FieldKind::Data || v.typeId() != QMetaType::QString)
        return std::nullopt;
    const Connection* c = dataset_->connection();
    if (!c)
        return std::nullopt;
    if (const auto ch = unstorableCharacter(v.toString(), c->storageCharset()))
        return unstorableMessage(*ch, BindTarget{true, displayLabel()});
    return std::nullopt;
}

int Field::asInteger() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::Double)
        return int(qRound64(v.toDouble()));
    return v.toInt();
}

double Field::asFloat() const
{
    return value().toDouble();
}

QDate Field::asDate() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDateTime)
        return v.toDateTime().date();
    return v.toDate();
}

QDateTime Field::asDateTime() const
{
    const QVariant v = value();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v.toDateTime();
}

std::optional<QVariant> Field::convertText(const QString& s) const
{
    const QString t = s.trimmed();
    if (type_ != FieldType::String && t.isEmpty())
        return QVariant();
    switch (type_) {
    case FieldType::String:
        return coerce(s.isEmpty() ? QVariant() : QVariant(s));
    case FieldType::SmallInt:
    case FieldType::Integer: {
        const auto n = text::parseInteger(t);
        if (!n || (type_ == FieldType::SmallInt && (*n < -32768 || *n > 32767)) || *n < INT_MIN || *n > INT_MAX)
            return std::nullopt;
        return QVariant(int(*n));
    }
    case FieldType::Float:
    case FieldType::Currency: {
        // As typed, or as a grouped figure is shown ("1.234,50"); "1.5" is neither.
        auto d = text::parseFloat(t);
        if (!d)
            d = text::parseAmount(t);
        if (!d)
            return std::nullopt;
        return QVariant(*d);
    }
    case FieldType::Date: {
        const auto d = text::parseDate(t);
        if (!d)
            return std::nullopt;
        return QVariant(*d);
    }
    case FieldType::DateTime: {
        const auto d = parseTimestamp(t);
        if (!d)
            return std::nullopt;
        return QVariant(*d);
    }
    case FieldType::Unknown:
        return QVariant(s);
    }
    return std::nullopt;
}

void Field::setAsString(const QString& s)
{
    const auto v = convertText(s);
    if (!v)
        throw DataError(QStringLiteral("\"%1\" não é um valor válido para o campo \"%2\".").arg(s, displayLabel()));
    setValue(*v);
}

void Field::setText(const QString& s)
{
    if (onSetText) {
        onSetText(*this, s);
        return;
    }
    // Text that does not convert, or that the database cannot store, stays as typed and
    // the post fails naming the field.
    const auto v = convertText(s);
    std::optional<QString> problem;
    if (v)
        problem = storageProblem(*v);
    else
        problem = QStringLiteral("\"%1\" não é um valor válido para o campo \"%2\".").arg(s, displayLabel());
    if (!problem) {
        setValue(*v);
        return;
    }
    if (!dataset_->editValues())
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" não está em modo de edição ou inclusão.")
                            .arg(dataset_->name()));
    dataset_->setPendingText(*this, s, *problem);
    dataset_->fieldValueChanged(this);
}

QString Field::formatValue(const QVariant& v, bool forEdit) const
{
    if (!v.isValid() || v.isNull())
        return QString();
    switch (type_) {
    case FieldType::String:
        return v.toString();
    case FieldType::SmallInt:
    case FieldType::Integer: {
        const QString mask = forEdit ? editFormat_ : displayFormat_;
        if (!mask.isEmpty())
            return text::formatFloat(mask, v.toDouble());
        return text::integerToText(v.toLongLong());
    }
    case FieldType::Float:
    case FieldType::Currency: {
        QString mask = forEdit ? editFormat_ : displayFormat_;
        if (mask.isEmpty() && isCurrency())
            mask = forEdit ? text::masks::twoDecimals : text::masks::money;
        if (!mask.isEmpty()) {
            QString out = text::formatFloat(mask, v.toDouble());
            // An edit mask without a required integer digit would offer ",50".
            if (forEdit && out.startsWith(text::formats().decimalSeparator))
                out.prepend(u'0');
            return out;
        }
        return text::floatToText(v.toDouble());
    }
    case FieldType::Date:
        return text::formatDate(v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate());
    case FieldType::DateTime:
        return timestampText(v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime());
    case FieldType::Unknown:
        return v.toString();
    }
    return v.toString();
}

QString Field::displayText() const
{
    if (dataset_->hasPendingText(*this))
        return dataset_->pendingText(*this);
    if (onGetText)
        return onGetText(*this, true);
    return formatValue(value(), false);
}

QString Field::editText() const
{
    if (dataset_->hasPendingText(*this))
        return dataset_->pendingText(*this);
    if (onGetText)
        return onGetText(*this, false);
    return formatValue(value(), true);
}

}  // namespace db
