#pragma once
// Where a report's detail rows come from.
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace report {

// A forward cursor over records. The report calls first() once per run and next()
// after every record, until eof(); then finish(), also when the run stops on an error.
class RecordSource {
public:
    virtual ~RecordSource() = default;
    virtual void first() = 0;  // current record: the first one, or eof when there is none
    virtual void next() = 0;
    virtual bool eof() const = 0;
    virtual QVariant value(const QString& fieldName) const = 0;
    virtual bool isEmpty() const = 0;
    // The walk that first() began is over: a source over rows someone else shows may
    // put them back as they were.
    virtual void finish() {}
    // The display mask the source gives a field (a dataset field's display format), used
    // by the texts and sums of that field that have no mask of their own; empty: none.
    virtual QString displayFormat(const QString& fieldName) const { return {}; }
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
    const QStringList& columns() const { return columns_; }
    void addRow(QVariantList row);
    const QList<QVariantList>& rows() const { return rows_; }
    qsizetype rowCount() const { return rows_.size(); }
    void clear() { rows_.clear(); pos_ = 0; }
    qsizetype position() const { return pos_; }

    void first() override { pos_ = 0; }
    void next() override { if (pos_ < rows_.size()) ++pos_; }
    bool eof() const override { return pos_ >= rows_.size(); }
    QVariant value(const QString& fieldName) const override;
    bool isEmpty() const override { return rows_.isEmpty(); }
    QStringList fieldNames() const override { return columns_; }

private:
    int column(const QString& name) const;

    QStringList columns_;
    QHash<QString, int> exact_;
    QHash<QString, int> folded_;
    QList<QVariantList> rows_;
    qsizetype pos_ = 0;
};

}  // namespace report
