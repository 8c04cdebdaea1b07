#pragma once
// What a data-aware control shares with the others: the data source and field name it
// is bound to, the refresh when the record, the field or the state changes, and the
// way a user's change reaches the field.
#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class QWidget;

#include "db/DataSource.h"
#include "db/Dataset.h"  // DataSource.h holds a QPointer<Dataset>

namespace db {
class Dataset;
class Field;
}  // namespace db

namespace ui {

class FieldLink : public QObject {
    Q_OBJECT
public:
    explicit FieldLink(QWidget* control);

    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const { return source_; }
    void setDataField(const QString& name);
    QString dataField() const { return fieldName_; }

    db::Dataset* dataset() const;
    // The bound field; null when unbound, when the dataset is closed or has no such field.
    db::Field* field() const;
    bool canModify() const;

    // The control calls this when the user changes it: puts the dataset into edit
    // through the data source and runs apply (which hands the value to the field),
    // without refreshing the control from what it just wrote. Errors are shown in the
    // standard error box. Returns false, and refreshes the control, when the dataset
    // cannot take the change.
    bool userChange(const std::function<void(db::Field&)>& apply);

    // The control holds a change the field does not have yet (a failed hand-over);
    // it is given again when the dataset asks for its controls' data.
    bool isModified() const { return modified_; }
    void setModified(bool on) { modified_ = on; }

    // Reloads the control now (unless display is suspended).
    void refresh();

    // Set by the control: show the field's current value (field may be null).
    std::function<void(db::Field* field)> onRefresh;
    // Set by the control: hand its pending change to the field (on updateData).
    std::function<void(db::Field& field)> onUpdate;

private:
    void connectSource();

    QWidget* control_;
    QPointer<db::DataSource> source_;
    QString fieldName_;
    QList<QMetaObject::Connection> links_;
    bool pushing_ = false;
    bool modified_ = false;
};

}  // namespace ui
