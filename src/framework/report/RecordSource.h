#pragma once
// Where a report's detail rows come from.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace report {

// A forward cursor over records. The report calls first() once per run and next()
// after every record, until eof().
class RecordSource {
public:
    virtual ~RecordSource() = default;
    virtual void first() = 0;  // current record: the first one, or eof when there is none
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual QVariant value(const QString& fieldName) const = 0;
    virtual bool isEmpty() const = 0;
    // Every field name, when the source knows them: the report keeps the last record of
    // a group with them, so that a group footer reads the group's values and not the
    // next group's. Without it, the fields the report has asked for are kept.
    virtual QStringList fieldNames() const { return {}; }
};

// Rows held in memory. Field names are matched exactly first, then ignoring case.
class TableSource final : public RecordSource {
public:
    TableSource() = default;
    explicit TableSource(const QStringList& columns, QList<QVariantList> rows = {});

    void setColumns(const QStringList& columns);
    const QStringList& columns() const { return m_columns; }
    void addRow(QVariantList row);
    const QList<QVariantList>& rows() const { return m_rows; }
    qsizetype rowCount() const { return m_rows.size(); }
    void clear() { m_rows.clear(); m_pos = 0; }
    qsizetype position() const { return m_pos; }

    void first() override { m_pos = 0; }
    void next() override { if (m_pos < m_rows.size()) ++m_pos; }
    bool eof() const override { return m_pos >= m_rows.size(); }
    QVariant value(const QString& fieldName) const override;
    bool isEmpty() const override { return m_rows.isEmpty(); }
    QStringList fieldNames() const override { return m_columns; }

private:
    int column(const QString& name) const;

    QStringList m_columns;
    QHash<QString, int> m_exact;
    QHash<QString, int> m_folded;
    QList<QVariantList> m_rows;
    qsizetype m_pos = 0;
};

}  // namespace report
