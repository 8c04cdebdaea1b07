#include "reports/DatasetSource.h"

#include "db/Dataset.h"

namespace report {

bool DatasetSource::active() const
{
    return dataset_ && dataset_->isActive();
}

void DatasetSource::first()
{
    if (active())
        dataset_->first();
}

void DatasetSource::next()
{
    if (active() && !dataset_->eof())
        dataset_->next();
}

bool DatasetSource::eof() const
{
    return !active() || dataset_->eof();
}

QVariant DatasetSource::value(const QString& fieldName) const
{
    if (eof())
        return {};
    const db::Field* f = dataset_->findField(fieldName);
    return f ? f->value() : QVariant();
}

bool DatasetSource::isEmpty() const
{
    return !active() || dataset_->isEmpty();
}

QStringList DatasetSource::fieldNames() const
{
    QStringList names;
    if (!dataset_)
        return names;
    for (const auto& f : dataset_->fields())
        names << f->fieldName();
    return names;
}

}  // namespace report
