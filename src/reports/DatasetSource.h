#pragma once
// A dataset as the record source of a report.
#include "db/Dataset.h"
#include "report/RecordSource.h"

#include <QPointer>

namespace report {

// Walks a db::Dataset for a report: first() and next() move the dataset itself (so its
// calculated fields and its details follow each record), values are read through its
// field objects by name, case ignored.
//
// Where the dataset stands: a run leaves it at eof on its last row, as a walk with
// first()/next() does; a pending insert or edit is posted by first(), as Dataset::first
// does. A closed dataset (or none) is an empty source and is not opened here.
class DatasetSource final : public RecordSource {
public:
    explicit DatasetSource(db::Dataset* dataset = nullptr) : dataset_(dataset) {}

    void setDataset(db::Dataset* dataset) { dataset_ = dataset; }
    db::Dataset* dataset() const { return dataset_; }

    void first() override;
    void next() override;
    bool eof() const override;
    QVariant value(const QString& fieldName) const override;
    bool isEmpty() const override;
    // Every field object of the dataset, data, calculated and lookup alike.
    QStringList fieldNames() const override;

private:
    bool active() const;

    QPointer<db::Dataset> dataset_;
};

}  // namespace report
