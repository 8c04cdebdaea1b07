#pragma once
// A query dataset in the manner Delphi programmers know: SQL held as lines with ":NAME"
// parameters, typed field objects, the states browse / insert / edit, an update object
// that posts, a current row and bookmarks. All rows are read at open and kept in memory,
// column by column in each column's own type (RowStore), and the query is then cleared
// so that no read transaction stays open.
//
// Where the cursor stands:
//  - open: on the first row (an empty result: bof and eof both true);
//  - first: first row, bof true; last: last row, eof true; next past the last row or
//    prior before the first leave the row and set eof / bof;
//  - insert: a new row before the current one; append: a new row at the end; the new
//    row is current; cancel drops it and the row that was current before returns;
//  - post: the posted row stays current; remove: the next row, or the new last one;
//  - refresh: the row with the same key, else the same position;
//  - edit on an empty dataset: insert.
//
// Locate and lookup find a row through an index of the key fields' values, built when
// first needed and again only after the rows changed (a lookup field of 100,000 rows
// into 5,570 municipalities costs a hash per row, not a scan).
#include "db/Field.h"
#include "db/RowStore.h"

#include <QHash>
#include <QObject>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>
#include <memory>
#include <vector>

class QSqlQuery;
class QSqlRecord;

namespace db {

class Connection;
class DataSource;
class UpdateSql;

enum class DatasetState { Inactive, Browse, Insert, Edit, CalcFields };

using Bookmark = quint64;  // 0: no bookmark

struct LocateOptions {
    bool caseInsensitive = false;
    bool partialKey = false;
};

class Dataset : public QObject {
    Q_OBJECT
public:
    explicit Dataset(Connection* connection, const QString& name = {}, QObject* parent = nullptr);
    ~Dataset() override;

    QString name() const { return name_; }
    Connection* connection() const { return connection_; }

    // SQL. Changing it closes the dataset.
    const QStringList& sql() const { return sql_; }
    void setSql(const QStringList& lines);
    void setSql(const QString& text) { setSql(QStringList{text}); }

    // Parameters by name (case does not matter). A detail dataset takes the values of
    // its master's current row for parameters named after master fields.
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    QStringList paramNames() const;

    // Persistent fields. A dataset with none gets one field per column at open; one
    // with some reaches only those.
    Field& addField(const QString& name, FieldType type, int size = 0, FieldKind kind = FieldKind::Data);
    Field* findField(const QString& name) const;
    Field& fieldByName(const QString& name) const;  // throws DataError
    const std::vector<std::unique_ptr<Field>>& fields() const { return fields_; }
    int fieldCount() const { return int(fields_.size()); }
    Field& field(int index) const { return *fields_.at(size_t(index)); }
    // Key fields, used by refresh to find the row again; taken from the update object
    // when not set.
    void setKeyFields(const QString& names) { keyFields_ = names; }
    QStringList keyFieldNames() const;

    void setMasterSource(DataSource* master);
    DataSource* masterSource() const { return master_; }
    void setUpdateObject(UpdateSql* update) { update_ = update; }
    UpdateSql* updateObject() const { return update_; }

    // Lifecycle.
    void open();
    void close();
    bool isActive() const { return state_ != DatasetState::Inactive; }
    // Posts a pending change, reads the rows again and returns to the same key.
    void refresh();
    DatasetState state() const { return state_; }
    bool isEditing() const { return state_ == DatasetState::Insert || state_ == DatasetState::Edit; }

    // Navigation.
    void first();
    void last();
    void next();
    void prior();
    bool bof() const { return bof_; }
    bool eof() const { return eof_; }
    int recNo() const { return rows_.rowCount() == 0 ? 0 : current_ + 1; }  // 1-based
    void setRecNo(int recNo);
    int recordCount() const { return rows_.rowCount(); }
    bool isEmpty() const { return rows_.rowCount() == 0; }
    // Moves to the first row whose fields equal the values. Several fields are named
    // apart by ';' and take a list with one value each, as a QVariantList or a QVariant
    // holding one; a count of values that does not match the fields throws DataError
    // (it never falls back to comparing the first field with the whole list).
    bool locate(const QString& fieldNames, const QVariant& value, LocateOptions options = {});
    bool locate(const QString& fieldNames, const QVariantList& values, LocateOptions options = {});
    bool locate(const QStringList& fieldNames, const QVariantList& values, LocateOptions options = {});
    // The value of resultField in the first row whose keyFields equal values, without
    // moving the cursor; null when none. The count rule of locate holds.
    QVariant lookup(const QString& keyFields, const QVariantList& values, const QString& resultField) const;
    QVariant lookup(const QStringList& keyFields, const QVariantList& values, const QString& resultField) const;
    Bookmark bookmark() const;
    bool bookmarkValid(Bookmark b) const;
    void gotoBookmark(Bookmark b);

    // Editing.
    void insert();
    void append();
    void edit();
    // Checks required fields and typed values (DataError, nothing sent), runs
    // before-post, posts through the update object (DatabaseError on refusal). A failed
    // post leaves the state and the typed values as they were.
    void post();
    // What post does before it writes: the controls give their typed text to the fields,
    // then the typed values, before-post and the required fields are checked
    // (DataError). For a record that something else writes (setEditable).
    void prepareToPost();
    void cancel();
    // Deletes the current row through the update object at once.
    void remove();
    // Posts a pending insert or edit.
    void checkBrowseMode();
    bool canModify() const { return update_ != nullptr || editable_; }
    // Records may be inserted and edited without an update object: someone else writes
    // them (prepareToPost, then cancel and read the rows again); post refuses.
    void setEditable(bool editable) { editable_ = editable; }

    // Display suspension: bound controls are not updated until the last enableControls.
    void disableControls() { ++disabled_; }
    void enableControls();
    bool controlsDisabled() const { return disabled_ > 0; }

    // Values of any row, for grids: row 0-based, by field.
    QVariant rowValue(int row, const Field& field) const;
    QString rowDisplayText(int row, const Field& field) const;

    // Handlers. A handler that throws aborts the operation it belongs to.
    std::function<void(Dataset&)> onBeforeOpen;
    std::function<void(Dataset&)> onAfterOpen;
    std::function<void(Dataset&)> onNewRecord;
    std::function<void(Dataset&)> onBeforePost;
    std::function<void(Dataset&)> onAfterPost;
    std::function<void(Dataset&)> onBeforeDelete;
    std::function<void(Dataset&)> onAfterDelete;
    std::function<void(Dataset&)> onAfterScroll;
    std::function<void(Dataset&)> onStateChange;
    std::function<void(Dataset&)> onCalcFields;

signals:
    void stateChanged();
    // The current record moved or was replaced; field is null for a whole record.
    void dataChanged(db::Field* field);
    // The set of rows changed (open, close, refresh, insert, post, delete).
    void rowsChanged();
    // A post is starting: controls holding typed text give it to their fields now.
    void updateRecord();

private:
    friend class Field;

    // A record: an edit or calculation buffer, or else a stored row.
    struct RecordRef {
        const QVector<QVariant>* buffer = nullptr;
        int row = -1;
    };
    struct KeyIndex {
        QStringList fields;
        quint64 version = 0;
        QHash<QString, int> rows;  // key -> first row
        bool built = false;
    };

    // Record buffers.
    RecordRef activeRecord() const;
    QVariant recordValue(const RecordRef& record, int slot) const;
    QVariant fieldValue(const Field& f) const;
    QVector<QVariant>* editValues();
    QVariant oldValueOf(const Field& f) const;
    QVariant lookupValue(const Field& f, const RecordRef& record) const;
    // Typed text that could not become the field's value, with the reason the post gives.
    void setPendingText(const Field& f, const QString& text, const QString& problem);
    void clearPendingText(const Field& f);
    bool hasPendingText(const Field& f) const;
    QString pendingText(const Field& f) const;
    void fieldValueChanged(Field* f);

    void readRows();
    void bindParams(QSqlQuery& query, const QStringList& names) const;
    void createFieldsFromRecord(const QSqlRecord& record);
    void calculate(QVector<QVariant>& values);
    void calculateAll();
    void setState(DatasetState s);
    void scrolled();
    void notifyRecord(Field* f = nullptr);
    void notifyRows();
    void startInsert(int position);
    void checkActive() const;
    int findRow(const QStringList& fieldNames, const QVariantList& values, LocateOptions options) const;
    const QHash<QString, int>& index(const QStringList& names, const std::vector<const Field*>& fields) const;
    void masterChanged();
    Bookmark nextId() { return ++idSerial_; }

    Connection* connection_;
    QString name_;
    QStringList sql_;
    QHash<QString, QVariant> params_;
    std::vector<std::unique_ptr<Field>> fields_;
    QHash<QString, Field*> byName_;  // upper-case name
    bool persistent_ = false;
    int slots_ = 0;
    QString keyFields_;
    DataSource* master_ = nullptr;
    QMetaObject::Connection masterConnection_;
    UpdateSql* update_ = nullptr;
    bool editable_ = false;

    RowStore rows_;
    int current_ = -1;
    bool bof_ = true;
    bool eof_ = true;
    DatasetState state_ = DatasetState::Inactive;
    // The record being inserted or edited, with what it held before.
    QVector<QVariant> edit_;
    QVector<QVariant> old_;
    int insertedAt_ = -1;
    int beforeInsert_ = -1;
    struct Pending {
        QString text;
        QString problem;
    };
    QHash<int, Pending> pendingText_;  // slot -> text that did not convert
    QVector<QVariant>* calcBuffer_ = nullptr;
    // A row read for a grid through a field's text hook, which reads the current record.
    mutable int readRow_ = -1;
    mutable std::vector<KeyIndex> indexes_;
    int disabled_ = 0;
    bool dirtyWhileDisabled_ = false;
    Bookmark idSerial_ = 0;
};

}  // namespace db
