#include "RecordSource.h"

namespace report {

TableSource::TableSource(const QStringList& columns, QList<QVariantList> rows) : m_rows(std::move(rows))
{
    setColumns(columns);
}

void TableSource::setColumns(const QStringList& columns)
{
    m_columns = columns;
    m_exact.clear();
    m_folded.clear();
    for (int i = 0; i < columns.size(); ++i) {
        m_exact.insert(columns[i], i);
        m_folded.insert(columns[i].toUpper(), i);
    }
}

void TableSource::addRow(QVariantList row)
{
    m_rows.append(std::move(row));
}

int TableSource::column(const QString& name) const
{
    auto it = m_exact.constFind(name);
    if (it != m_exact.constEnd())
        return *it;
    return m_folded.value(name.toUpper(), -1);
}

QVariant TableSource::value(const QString& fieldName) const
{
    if (eof())
        return {};
    const int c = column(fieldName);
    const QVariantList& row = m_rows[m_pos];
    return c >= 0 && c < row.size() ? row[c] : QVariant();
}

}  // namespace report
