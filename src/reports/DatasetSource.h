#pragma once
// A dataset as the record source of a report.
#include "db/Dataset.h"
#include "report/RecordSource.h"

#include <QPointer>

namespace report {

// Walks a db::Dataset for a report: first() and next() move the dataset itself (so its
// calculated fields follow each record), values are read through its field objects by
// name, case ignored, and a field's display format is the mask of a text that has none.
//
// Where the dataset stands: a run returns it to the row it stood on before the walk, and
// the controls bound to it (a window's grid) are suspended while it walks, so that they
// neither follow nor repaint each record; a detail dataset linked to it does not follow
// either until the walk ends (a report refreshes its details itself). A pending insert or
// edit is posted by first(), as Dataset::first does. A closed dataset (or none) is an
// empty source and is not opened here.
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
    void finish() override;
    QString displayFormat(const QString& fieldName) const override;
    // Every field object of the dataset, data, calculated and lookup alike.
    QStringList fieldNames() const override;

private:
    bool active() const;

    QPointer<db::Dataset> dataset_;
    // The walk under way: the dataset it suspends and the row to return to.
    QPointer<db::Dataset> walked_;
    db::Bookmark start_ = 0;
};

}  // namespace report
