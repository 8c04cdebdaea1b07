#include "DatasetSource.h"

#include "Dataset.h"

namespace report {

bool DatasetSource::active() const
{
    return m_dataset && m_dataset->isActive();
}

void DatasetSource::first()
{
    if (active())
        m_dataset->first();
}

void DatasetSource::next()
{
    if (active() && !m_dataset->eof())
        m_dataset->next();
}

bool DatasetSource::eof() const
{
    return !active() || m_dataset->eof();
}

QVariant DatasetSource::value(const QString& fieldName) const
{
    if (eof())
        return {};
    const db::Field* f = m_dataset->findField(fieldName);
    return f ? f->value() : QVariant();
}

bool DatasetSource::isEmpty() const
{
    return !active() || m_dataset->isEmpty();
}

QStringList DatasetSource::fieldNames() const
{
    QStringList names;
    if (!m_dataset)
        return names;
    for (const auto& f : m_dataset->fields())
        names << f->fieldName();
    return names;
}

}  // namespace report
