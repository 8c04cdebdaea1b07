#pragma once
// Binds controls to a dataset and links a detail dataset to its master.
#include <QObject>
#include <QPointer>

#include "db/Dataset.h"

namespace db {

class Field;

class DataSource : public QObject {
    Q_OBJECT
public:
    explicit DataSource(Dataset* dataset = nullptr, QObject* parent = nullptr);
    Dataset* dataset() const { return dataset_; }
    void setDataset(Dataset* dataset);
    // A control the user types into puts the dataset into edit by itself.
    bool autoEdit() const { return autoEdit_; }
    void setAutoEdit(bool on) { autoEdit_ = on; }
    // Puts the dataset into edit state if it is browsing and auto-edit is on; returns
    // whether the dataset can now take values.
    bool edit();

signals:
    void stateChanged();
    void dataChanged(db::Field* field);
    void rowsChanged();
    void datasetChanged();
    void updateData();

private:
    QPointer<Dataset> dataset_;
    bool autoEdit_ = true;
    QList<QMetaObject::Connection> links_;
};

}  // namespace db
