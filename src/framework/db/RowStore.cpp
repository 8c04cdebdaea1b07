#include "db/RowStore.h"

#include "db/Binding.h"

#include <QTime>

namespace db {

void RowStore::reset(const std::vector<Kind>& kinds)
{
    columns_.clear();
    columns_.resize(kinds.size());
    for (size_t i = 0; i < kinds.size(); ++i)
        columns_[i].kind = kinds[i];
    ids_.clear();
    ++version_;
}

void RowStore::clear()
{
    std::vector<Kind> kinds;
    for (const Column& c : columns_)
        kinds.push_back(c.kind);
    reset(kinds);
}

void RowStore::take(RowStore&& other)
{
    columns_ = std::move(other.columns_);
    ids_ = std::move(other.ids_);
    version_ = std::max(version_, other.version_) + 1;
}

void RowStore::reserve(int rows)
{
    ids_.reserve(size_t(rows));
    for (Column& c : columns_) {
        switch (c.kind) {
        case Kind::Text: c.text.reserve(size_t(rows)); break;
        case Kind::Integer: c.integer.reserve(size_t(rows)); c.null.reserve(size_t(rows)); break;
        case Kind::Double: c.real.reserve(size_t(rows)); c.null.reserve(size_t(rows)); break;
        case Kind::Date: c.date.reserve(size_t(rows)); break;
        case Kind::DateTime: c.dateTime.reserve(size_t(rows)); break;
        case Kind::Any: c.any.reserve(size_t(rows)); break;
        }
    }
}

QVariant RowStore::value(int row, int column) const
{
    const Column& c = columns_[size_t(column)];
    const auto r = size_t(row);
    switch (c.kind) {
    case Kind::Text: {
        const std::uint32_t i = c.text[r];
        return i == 0 ? QVariant() : QVariant(c.pool[i]);
    }
    case Kind::Integer:
        return c.null[r] ? QVariant() : QVariant(int(c.integer[r]));
    case Kind::Double:
        return c.null[r] ? QVariant() : QVariant(c.real[r]);
    case Kind::Date:
        return c.date[r].isValid() ? QVariant(c.date[r]) : QVariant();
    case Kind::DateTime:
        return c.dateTime[r].isValid() ? QVariant(c.dateTime[r]) : QVariant();
    case Kind::Any:
        return c.any[r];
    }
    return QVariant();
}

QVector<QVariant> RowStore::record(int row) const
{
    QVector<QVariant> values(columnCount());
    for (int i = 0; i < columnCount(); ++i)
        values[i] = value(row, i);
    return values;
}

int RowStore::find(quint64 id) const
{
    for (size_t i = 0; i < ids_.size(); ++i)
        if (ids_[i] == id)
            return int(i);
    return -1;
}

std::uint32_t RowStore::poolIndex(Column& c, const QString& s, bool share)
{
    if (share) {
        // Filling: equal texts share one entry.
        const auto it = c.pooled.constFind(s);
        if (it != c.pooled.cend())
            return *it;
        const auto index = std::uint32_t(c.pool.size());
        c.pool.push_back(s);
        c.pooled.insert(s, index);
        return index;
    }
    // A value set later: its own entry (a pool entry left behind by an edit is a few
    // bytes, not worth the search).
    c.pool.push_back(s);
    return std::uint32_t(c.pool.size() - 1);
}

void RowStore::assign(Column& c, size_t row, const QVariant& v, bool share)
{
    const bool null = isNullValue(v);
    switch (c.kind) {
    case Kind::Text:
        c.text[row] = null ? 0 : poolIndex(c, v.toString(), share);
        break;
    case Kind::Integer:
        c.null[row] = null;
        c.integer[row] = null ? 0 : (v.typeId() == QMetaType::Double ? qint32(qRound64(v.toDouble())) : qint32(v.toInt()));
        break;
    case Kind::Double:
        c.null[row] = null;
        c.real[row] = null ? 0.0 : v.toDouble();
        break;
    case Kind::Date:
        c.date[row] = null ? QDate() : (v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate());
        break;
    case Kind::DateTime:
        c.dateTime[row] = null ? QDateTime() : (v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime());
        break;
    case Kind::Any:
        c.any[row] = null ? QVariant() : v;
        break;
    }
}

void RowStore::pushNull(Column& c)
{
    switch (c.kind) {
    case Kind::Text: c.text.push_back(0); break;
    case Kind::Integer: c.integer.push_back(0); c.null.push_back(true); break;
    case Kind::Double: c.real.push_back(0.0); c.null.push_back(true); break;
    case Kind::Date: c.date.emplace_back(); break;
    case Kind::DateTime: c.dateTime.emplace_back(); break;
    case Kind::Any: c.any.emplace_back(); break;
    }
}

void RowStore::insertNull(Column& c, size_t row)
{
    switch (c.kind) {
    case Kind::Text: c.text.insert(c.text.begin() + qsizetype(row), 0); break;
    case Kind::Integer:
        c.integer.insert(c.integer.begin() + qsizetype(row), 0);
        c.null.insert(c.null.begin() + qsizetype(row), true);
        break;
    case Kind::Double:
        c.real.insert(c.real.begin() + qsizetype(row), 0.0);
        c.null.insert(c.null.begin() + qsizetype(row), true);
        break;
    case Kind::Date: c.date.insert(c.date.begin() + qsizetype(row), QDate()); break;
    case Kind::DateTime: c.dateTime.insert(c.dateTime.begin() + qsizetype(row), QDateTime()); break;
    case Kind::Any: c.any.insert(c.any.begin() + qsizetype(row), QVariant()); break;
    }
}

void RowStore::startRow(quint64 id)
{
    for (Column& c : columns_)
        pushNull(c);
    ids_.push_back(id);
    ++version_;
}

void RowStore::put(int column, const QVariant& value)
{
    // The common cases without a conversion: every value of a read passes here.
    Column& c = columns_[size_t(column)];
    const size_t row = ids_.size() - 1;
    if (c.kind == Kind::Text && value.typeId() == QMetaType::QString) {
        const QString& s = *static_cast<const QString*>(value.constData());
        if (s.isNull())
            return;
        // A text equal to the one above shares its entry without a hash.
        if (row > 0 && c.text[row - 1] != 0 && c.pool[c.text[row - 1]] == s)
            c.text[row] = c.text[row - 1];
        else
            c.text[row] = poolIndex(c, s, true);
        return;
    }
    if (c.kind == Kind::Integer && value.typeId() == QMetaType::Int) {
        c.integer[row] = *static_cast<const int*>(value.constData());
        c.null[row] = false;
        return;
    }
    if (c.kind == Kind::Double && value.typeId() == QMetaType::Double) {
        c.real[row] = *static_cast<const double*>(value.constData());
        c.null[row] = false;
        return;
    }
    assign(c, row, value, true);
}

void RowStore::endFill()
{
    for (Column& c : columns_)
        c.pooled = {};
}

void RowStore::append(const QVector<QVariant>& values, quint64 id)
{
    insert(rowCount(), values, id);
}

void RowStore::insert(int row, const QVector<QVariant>& values, quint64 id)
{
    const auto r = size_t(row);
    for (Column& c : columns_)
        insertNull(c, r);
    ids_.insert(ids_.begin() + qsizetype(r), id);
    setRecord(row, values);
}

void RowStore::setRecord(int row, const QVector<QVariant>& values)
{
    for (size_t i = 0; i < columns_.size(); ++i)
        assign(columns_[i], size_t(row), values.value(qsizetype(i)), false);
    ++version_;
}

void RowStore::set(int row, int column, const QVariant& value)
{
    assign(columns_[size_t(column)], size_t(row), value, false);
    ++version_;
}

void RowStore::erase(int row)
{
    const auto r = qsizetype(row);
    for (Column& c : columns_) {
        switch (c.kind) {
        case Kind::Text: c.text.erase(c.text.begin() + r); break;
        case Kind::Integer:
            c.integer.erase(c.integer.begin() + r);
            c.null.erase(c.null.begin() + r);
            break;
        case Kind::Double:
            c.real.erase(c.real.begin() + r);
            c.null.erase(c.null.begin() + r);
            break;
        case Kind::Date: c.date.erase(c.date.begin() + r); break;
        case Kind::DateTime: c.dateTime.erase(c.dateTime.begin() + r); break;
        case Kind::Any: c.any.erase(c.any.begin() + r); break;
        }
    }
    ids_.erase(ids_.begin() + r);
    ++version_;
}

}  // namespace db
