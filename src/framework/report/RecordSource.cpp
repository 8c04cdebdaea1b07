#include "report/RecordSource.h"

namespace report {

TableSource::TableSource(const QStringList& columns, QList<QVariantList> rows) : rows_(std::move(rows))
{
    setColumns(columns);
}

void TableSource::setColumns(const QStringList& columns)
{
    columns_ = columns;
    exact_.clear();
    folded_.clear();
    for (int i = 0; i < columns.size(); ++i) {
        exact_.insert(columns[i], i);
        folded_.insert(columns[i].toUpper(), i);
    }
}

void TableSource::addRow(QVariantList row)
{
    rows_.append(std::move(row));
}

int TableSource::column(const QString& name) const
{
    auto it = exact_.constFind(name);
    if (it != exact_.constEnd())
        return *it;
    return folded_.value(name.toUpper(), -1);
}

QVariant TableSource::value(const QString& fieldName) const
{
    if (eof())
        return {};
    const int c = column(fieldName);
    const QVariantList& row = rows_[pos_];
    return c >= 0 && c < row.size() ? row[c] : QVariant();
}

}  // namespace report
