#include "db/DataSource.h"

#include "db/Dataset.h"

namespace db {

DataSource::DataSource(Dataset* dataset, QObject* parent) : QObject(parent)
{
    setDataset(dataset);
}

void DataSource::setDataset(Dataset* dataset)
{
    for (const auto& l : links_)
        disconnect(l);
    links_.clear();
    dataset_ = dataset;
    if (dataset) {
        links_ << connect(dataset, &Dataset::stateChanged, this, &DataSource::stateChanged);
        links_ << connect(dataset, &Dataset::dataChanged, this, &DataSource::dataChanged);
        links_ << connect(dataset, &Dataset::rowsChanged, this, &DataSource::rowsChanged);
        links_ << connect(dataset, &Dataset::updateRecord, this, &DataSource::updateData);
        links_ << connect(dataset, &QObject::destroyed, this, [this] { setDataset(nullptr); });
    }
    emit datasetChanged();
}

bool DataSource::edit()
{
    if (!dataset_ || !dataset_->isActive())
        return false;
    if (dataset_->isEditing())
        return true;
    if (!autoEdit_ || !dataset_->canModify())
        return false;
    if (dataset_->isEmpty()) {
        dataset_->append();
        return true;
    }
    dataset_->edit();
    return true;
}

}  // namespace db
