#pragma once
// The rows a dataset holds, kept column by column in the column's own type: numbers as
// numbers, texts as indexes into a pool of distinct texts (a year, a state or a month
// repeats on every row and is stored once). A dataset of 100,000 rows takes a few
// megabytes instead of a QVariant per value.
#include <QDate>
#include <QDateTime>
#include <QHash>
#include <QString>
#include <QVariant>
#include <QVector>

#include <cstdint>
#include <vector>

namespace db {

class RowStore {
public:
    enum class Kind : std::uint8_t { Text, Integer, Double, Date, DateTime, Any };

    // Empties the store and gives it one column of each kind.
    void reset(const std::vector<Kind>& kinds);
    void clear();
    // Takes the rows of other (read apart, so that a failed read leaves these alone).
    void take(RowStore&& other);
    void reserve(int rows);

    int rowCount() const { return int(ids_.size()); }
    int columnCount() const { return int(columns_.size()); }
    // Increments at every change of a row, so that indexes over the rows know when
    // they are stale.
    quint64 version() const { return version_; }

    QVariant value(int row, int column) const;
    // One whole row, for an edit buffer.
    QVector<QVariant> record(int row) const;
    quint64 id(int row) const { return ids_[size_t(row)]; }
    // The row with this id, or -1.
    int find(quint64 id) const;

    void append(const QVector<QVariant>& values, quint64 id);
    void insert(int row, const QVector<QVariant>& values, quint64 id);
    void setRecord(int row, const QVector<QVariant>& values);
    void set(int row, int column, const QVariant& value);
    void erase(int row);

    // Filling row by row without a QVariant per row: startRow(), then put() for the
    // columns that have a value (the others stay null).
    void startRow(quint64 id);
    void put(int column, const QVariant& value);
    // Equal texts put while filling share one pool entry; call when the last row is in
    // to drop what that took.
    void endFill();

private:
    struct Column {
        Kind kind = Kind::Any;
        std::vector<std::uint32_t> text;  // index into pool; 0 is null
        std::vector<qint32> integer;
        std::vector<double> real;
        std::vector<bool> null;            // integers and doubles
        std::vector<QDate> date;           // an invalid date is null
        std::vector<QDateTime> dateTime;   // an invalid one is null
        std::vector<QVariant> any;
        std::vector<QString> pool{QString()};
        QHash<QString, std::uint32_t> pooled;  // while filling
    };

    void pushNull(Column& c);
    void assign(Column& c, size_t row, const QVariant& value, bool share);
    void insertNull(Column& c, size_t row);
    std::uint32_t poolIndex(Column& c, const QString& s, bool share);

    std::vector<Column> columns_;
    std::vector<quint64> ids_;
    quint64 version_ = 0;
};

}  // namespace db
