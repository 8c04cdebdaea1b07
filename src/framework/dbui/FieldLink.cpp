#include "dbui/FieldLink.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "widgets/Guard.h"

#include <QWidget>

namespace ui {

FieldLink::FieldLink(QWidget* control) : QObject(control), control_(control) {}

void FieldLink::setDataSource(db::DataSource* source)
{
    source_ = source;
    connectSource();
    refresh();
}

void FieldLink::setDataField(const QString& name)
{
    fieldName_ = name;
    refresh();
}

db::Dataset* FieldLink::dataset() const
{
    return source_ ? source_->dataset() : nullptr;
}

db::Field* FieldLink::field() const
{
    db::Dataset* ds = dataset();
    if (!ds || !ds->isActive() || fieldName_.isEmpty())
        return nullptr;
    return ds->findField(fieldName_);
}

bool FieldLink::canModify() const
{
    db::Field* f = field();
    return f && !f->isReadOnly() && f->kind() == db::FieldKind::Data && dataset()->canModify();
}

void FieldLink::connectSource()
{
    for (const auto& l : links_)
        disconnect(l);
    links_.clear();
    if (!source_)
        return;
    links_ << connect(source_, &db::DataSource::dataChanged, this, [this](db::Field* f) {
        if (!f || f->fieldName().compare(fieldName_, Qt::CaseInsensitive) == 0)
            refresh();
    });
    links_ << connect(source_, &db::DataSource::stateChanged, this, &FieldLink::refresh);
    links_ << connect(source_, &db::DataSource::rowsChanged, this, &FieldLink::refresh);
    links_ << connect(source_, &db::DataSource::datasetChanged, this, &FieldLink::refresh);
    links_ << connect(source_, &db::DataSource::updateData, this, [this] {
        // A post is starting: the typed text that did not reach the field goes now.
        // Errors propagate to the post, which reports them.
        if (!modified_ || !onUpdate)
            return;
        if (db::Field* f = field()) {
            const bool was = pushing_;
            pushing_ = true;
            try {
                onUpdate(*f);
            } catch (...) {
                pushing_ = was;
                throw;
            }
            pushing_ = was;
            modified_ = false;
        }
    });
    links_ << connect(source_, &QObject::destroyed, this, [this] { refresh(); });
}

void FieldLink::refresh()
{
    if (pushing_ || !onRefresh)
        return;
    if (db::Dataset* ds = dataset(); ds && ds->controlsDisabled())
        return;
    modified_ = false;
    onRefresh(field());
}

bool FieldLink::userChange(const std::function<void(db::Field&)>& apply)
{
    if (pushing_)
        return true;
    if (!canModify()) {
        refresh();
        return false;
    }
    pushing_ = true;
    modified_ = true;
    bool editing = false;
    guarded(
        [&] {
            editing = source_->edit();
            if (!editing)
                return;
            if (db::Field* f = field()) {
                apply(*f);
                modified_ = false;
            }
        },
        control_->window());
    pushing_ = false;
    if (!editing) {
        refresh();
        return false;
    }
    return !modified_;
}

}  // namespace ui
