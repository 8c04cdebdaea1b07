#include "reports/DatasetSource.h"

#include "db/Dataset.h"
#include "text/Formats.h"

namespace report {

bool DatasetSource::active() const
{
    return dataset_ && dataset_->isActive();
}

void DatasetSource::first()
{
    if (!active())
        return;
    if (!walked_) {
        dataset_->checkBrowseMode();
        start_ = dataset_->bookmark();
        dataset_->disableControls();
        walked_ = dataset_;
    }
    dataset_->first();
}

void DatasetSource::finish()
{
    db::Dataset* ds = walked_;
    walked_ = nullptr;
    if (!ds)
        return;
    // Controls come back even if the row does not.
    struct Resume {
        db::Dataset* ds;
        ~Resume() { ds->enableControls(); }
    } resume{ds};
    if (ds->isActive() && ds->bookmarkValid(start_))
        ds->gotoBookmark(start_);
}

QString DatasetSource::displayFormat(const QString& fieldName) const
{
    const db::Field* f = dataset_ ? dataset_->findField(fieldName) : nullptr;
    if (!f)
        return {};
    if (f->displayFormat().isEmpty() && f->isCurrency())
        return text::masks::money;
    return f->displayFormat();
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
