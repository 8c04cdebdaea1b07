#include "db/Dataset.h"

#include "db/Binding.h"
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/DatabaseError.h"
#include "db/SqlText.h"
#include "db/UpdateSql.h"

#include <algorithm>

#include <QDateTime>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>

namespace db {

namespace {

FieldType typeOfColumn(const QSqlField& f)
{
    switch (f.metaType().id()) {
    case QMetaType::QString:
    case QMetaType::QByteArray:
        return FieldType::String;
    case QMetaType::Short:
        return FieldType::SmallInt;
    case QMetaType::Int:
    case QMetaType::LongLong:
        return FieldType::Integer;
    case QMetaType::Double:
    case QMetaType::Float:
        return FieldType::Float;
    case QMetaType::QDate:
        return FieldType::Date;
    case QMetaType::QDateTime:
        // A dialect-1 date is a timestamp: its time of day is kept.
        return FieldType::DateTime;
    default:
        return FieldType::Unknown;
    }
}

bool sameValue(const QVariant& a, const QVariant& b, const LocateOptions& o)
{
    const bool an = !a.isValid() || a.isNull();
    const bool bn = !b.isValid() || b.isNull();
    if (an || bn)
        return an && bn;
    if (a.typeId() == QMetaType::QString || b.typeId() == QMetaType::QString) {
        const QString x = a.toString();
        const QString y = b.toString();
        const Qt::CaseSensitivity cs = o.caseInsensitive ? Qt::CaseInsensitive : Qt::CaseSensitive;
        return o.partialKey ? x.startsWith(y, cs) : x.compare(y, cs) == 0;
    }
    return a == b;
}

QStringList splitNames(const QString& names)
{
    QStringList out;
    for (const QString& n : names.split(u';', Qt::SkipEmptyParts))
        out << n.trimmed().toUpper();
    return out;
}

RowStore::Kind storeKind(FieldType t)
{
    switch (t) {
    case FieldType::String:
        return RowStore::Kind::Text;
    case FieldType::SmallInt:
    case FieldType::Integer:
        return RowStore::Kind::Integer;
    case FieldType::Float:
    case FieldType::Currency:
        return RowStore::Kind::Double;
    case FieldType::Date:
        return RowStore::Kind::Date;
    case FieldType::DateTime:
        return RowStore::Kind::DateTime;
    case FieldType::Unknown:
        break;
    }
    return RowStore::Kind::Any;
}

// One part of an index key: equal values of one field type give equal parts.
void appendKeyPart(QString& key, FieldType type, const QVariant& v)
{
    if (!key.isEmpty())
        key += QChar(0x1F);
    if (isNullValue(v)) {
        key += QChar(0x01);
        return;
    }
    key += u'=';
    switch (type) {
    case FieldType::SmallInt:
    case FieldType::Integer:
        key += QString::number(v.toLongLong());
        break;
    case FieldType::Float:
    case FieldType::Currency:
        key += QString::number(v.toDouble(), 'g', 17);
        break;
    case FieldType::Date:
        key += QString::number(v.toDate().toJulianDay());
        break;
    case FieldType::DateTime:
        key += QString::number(v.toDateTime().toMSecsSinceEpoch());
        break;
    case FieldType::String:
    case FieldType::Unknown:
        key += v.toString();
        break;
    }
}

[[noreturn]] void countMismatch(const QString& dataset, int names, int values)
{
    throw DataError(QStringLiteral("A busca em \"%1\" tem %2 campo(s) e %3 valor(es).").arg(dataset).arg(names).arg(values));
}

}  // namespace

Dataset::Dataset(Connection* connection, const QString& name, QObject* parent)
    : QObject(parent), connection_(connection), name_(name)
{
    setObjectName(name);
}

Dataset::~Dataset()
{
    if (master_)
        disconnect(masterConnection_);
}

void Dataset::setSql(const QStringList& lines)
{
    if (isActive())
        close();
    sql_ = lines;
}

void Dataset::setParam(const QString& name, const QVariant& value)
{
    params_.insert(name.toUpper(), value);
}

QVariant Dataset::param(const QString& name) const
{
    return params_.value(name.toUpper());
}

QStringList Dataset::paramNames() const
{
    QStringList names = parseParameters(joinLines(sql_)).names;
    names.removeDuplicates();
    return names;
}

Field& Dataset::addField(const QString& name, FieldType type, int size, FieldKind kind)
{
    if (isActive())
        throw DataError(QStringLiteral("Campos não podem ser definidos com \"%1\" aberto.").arg(name_));
    auto f = std::make_unique<Field>(this, name, type, size, kind);
    if (kind != FieldKind::Lookup)
        f->slot_ = slots_++;
    persistent_ = true;
    byName_.insert(f->fieldName(), f.get());
    fields_.push_back(std::move(f));
    return *fields_.back();
}

Field* Dataset::findField(const QString& name) const
{
    return byName_.value(name.toUpper());
}

Field& Dataset::fieldByName(const QString& name) const
{
    Field* f = findField(name);
    if (!f)
        throw DataError(QStringLiteral("Campo \"%1\" não encontrado em \"%2\".").arg(name, name_));
    return *f;
}

QStringList Dataset::keyFieldNames() const
{
    if (!keyFields_.isEmpty())
        return splitNames(keyFields_);
    if (update_)
        return update_->keyFields();
    return {};
}

void Dataset::setMasterSource(DataSource* master)
{
    if (master_)
        disconnect(masterConnection_);
    master_ = master;
    if (master_)
        masterConnection_ = connect(master_, &DataSource::dataChanged, this, [this](Field* f) {
            if (!f)
                masterChanged();
        });
}

void Dataset::masterChanged()
{
    if (!isActive() || !master_ || !master_->dataset())
        return;
    Dataset* m = master_->dataset();
    // A detail follows the master's current row; while the master is being edited the
    // detail keeps the row it has.
    if (m->isEditing())
        return;
    close();
    open();
}

void Dataset::checkActive() const
{
    if (!isActive())
        // Said to the user, who knows no dataset by name.
        throw DataError(QStringLiteral("Estes dados não foram lidos do banco de dados (a leitura falhou ou não foi feita). "
                                       "Feche a janela e abra-a de novo."));
}

void Dataset::bindParams(QSqlQuery& query, const QStringList& names) const
{
    Dataset* m = master_ ? master_->dataset() : nullptr;
    const QVector<ParamType> types = describeParameters(query);
    const QString charset = connection_->storageCharset();
    QVariantList values;
    for (int i = 0; i < names.size(); ++i) {
        QVariant v = params_.value(names.at(i));
        if (m && m->isActive()) {
            if (Field* f = m->findField(names.at(i)))
                v = f->value();
        }
        values << (i < types.size() ? toParameter(v, types.at(i), BindTarget{false, names.at(i)}, charset) : toDriverValue(v));
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
}

void Dataset::createFieldsFromRecord(const QSqlRecord& record)
{
    // Made at open; a refresh keeps them, so that references to them stay good.
    if (state_ != DatasetState::Inactive && !fields_.empty())
        return;
    fields_.clear();
    byName_.clear();
    slots_ = 0;
    for (int i = 0; i < record.count(); ++i) {
        QString name = record.fieldName(i).toUpper();
        // Two columns of one name (select a.*, b.*): the second is NAME1, as Delphi does.
        if (findField(name)) {
            int n = 1;
            while (findField(name + QString::number(n)))
                ++n;
            name += QString::number(n);
        }
        const QSqlField col = record.field(i);
        const FieldType type = typeOfColumn(col);
        // The driver gives a text column's length in bytes of the connection's character
        // set, UTF8, four to a character; a field's size counts characters.
        int size = col.length() > 0 ? int(col.length()) : 0;
        if (type == FieldType::String)
            size /= 4;
        auto f = std::make_unique<Field>(this, name, type, size, FieldKind::Data);
        f->slot_ = slots_++;
        byName_.insert(f->fieldName(), f.get());
        fields_.push_back(std::move(f));
    }
}

void Dataset::readRows()
{
    connection_->ensureOpen();
    const ParsedSql parsed = parseParameters(joinLines(sql_));
    QSqlQuery query(connection_->database());
    query.setForwardOnly(true);
    if (!query.prepare(parsed.text))
        throwQueryError(query);
    bindParams(query, parsed.names);
    if (!query.exec())
        throwQueryError(query);

    const QSqlRecord record = query.record();
    if (!persistent_)
        createFieldsFromRecord(record);

    // Column of each data field; persistent fields the select does not give are an error.
    struct Map {
        int slot;
        int column;
        FieldType type;
    };
    std::vector<Map> map;
    std::vector<bool> taken(size_t(record.count()), false);
    for (const auto& f : fields_) {
        if (f->kind() != FieldKind::Data)
            continue;
        int column = -1;
        if (!persistent_) {
            column = f->slot();
        } else {
            for (int i = 0; i < record.count(); ++i)
                if (!taken[size_t(i)] && record.fieldName(i).compare(f->fieldName(), Qt::CaseInsensitive) == 0) {
                    column = i;
                    break;
                }
            if (column < 0) {
                query.finish();
                throw DataError(QStringLiteral("Campo \"%1\" não encontrado em \"%2\".").arg(f->fieldName(), name_));
            }
        }
        taken[size_t(column)] = true;
        map.push_back({f->slot(), column, f->dataType()});
    }

    std::vector<RowStore::Kind> kinds(size_t(slots_), RowStore::Kind::Any);
    for (const auto& f : fields_)
        if (f->slot() >= 0)
            kinds[size_t(f->slot())] = storeKind(f->dataType());
    // Read into a store of its own: a read that fails leaves the rows as they were.
    RowStore read;
    read.reset(kinds);
    while (query.next()) {
        read.startRow(nextId());
        for (const Map& m : map) {
            const QVariant v = query.value(m.column);
            if (!v.isNull())
                read.put(m.slot, v);
        }
    }
    read.endFill();
    // End the read transaction now: nothing may keep an old snapshot alive.
    query.finish();
    query.clear();
    rows_.take(std::move(read));
}

void Dataset::open()
{
    if (isActive())
        return;
    if (onBeforeOpen)
        onBeforeOpen(*this);
    readRows();
    pendingText_.clear();
    current_ = rows_.rowCount() == 0 ? -1 : 0;
    bof_ = true;
    eof_ = rows_.rowCount() == 0;
    setState(DatasetState::Browse);
    calculateAll();
    if (onAfterOpen)
        onAfterOpen(*this);
    notifyRows();
    scrolled();
}

void Dataset::close()
{
    if (!isActive())
        return;
    rows_.clear();
    current_ = -1;
    bof_ = eof_ = true;
    insertedAt_ = -1;
    pendingText_.clear();
    setState(DatasetState::Inactive);
    notifyRows();
    notifyRecord();
}

void Dataset::refresh()
{
    checkActive();
    checkBrowseMode();
    const QStringList keys = keyFieldNames();
    QVariantList keyValues;
    for (const QString& k : keys)
        if (Field* f = findField(k))
            keyValues << f->value();
    const int position = current_;
    readRows();
    current_ = rows_.rowCount() == 0 ? -1 : std::clamp(position, 0, rows_.rowCount() - 1);
    if (!keys.isEmpty() && keyValues.size() == keys.size()) {
        const int found = findRow(keys, keyValues, {});
        if (found >= 0)
            current_ = found;
    }
    bof_ = current_ <= 0;
    eof_ = rows_.rowCount() == 0;
    calculateAll();
    notifyRows();
    scrolled();
}

// --- navigation -------------------------------------------------------------

void Dataset::first()
{
    checkActive();
    checkBrowseMode();
    current_ = rows_.rowCount() == 0 ? -1 : 0;
    bof_ = true;
    eof_ = rows_.rowCount() == 0;
    scrolled();
}

void Dataset::last()
{
    checkActive();
    checkBrowseMode();
    current_ = rows_.rowCount() - 1;
    eof_ = true;
    bof_ = rows_.rowCount() == 0;
    scrolled();
}

void Dataset::next()
{
    checkActive();
    checkBrowseMode();
    bof_ = false;
    if (current_ + 1 < rows_.rowCount()) {
        ++current_;
        eof_ = false;
        scrolled();
    } else {
        eof_ = true;
    }
}

void Dataset::prior()
{
    checkActive();
    checkBrowseMode();
    eof_ = false;
    if (current_ > 0) {
        --current_;
        bof_ = false;
        scrolled();
    } else {
        bof_ = true;
    }
}

void Dataset::setRecNo(int recNo)
{
    checkActive();
    checkBrowseMode();
    if (rows_.rowCount() == 0)
        return;
    const int target = std::clamp(recNo - 1, 0, rows_.rowCount() - 1);
    bof_ = eof_ = false;
    if (target != current_) {
        current_ = target;
        scrolled();
    }
}

int Dataset::findRow(const QStringList& names, const QVariantList& values, LocateOptions options) const
{
    if (names.size() != values.size())
        countMismatch(name_, int(names.size()), int(values.size()));
    std::vector<const Field*> fs;
    QVariantList wanted;
    for (int i = 0; i < names.size(); ++i) {
        const Field& f = fieldByName(names.at(i));
        fs.push_back(&f);
        QVariant v = values.at(i);
        if (!(options.partialKey && f.dataType() == FieldType::String)) {
            try {
                v = f.coerce(v);
            } catch (const DataError&) {
                return -1;
            }
        }
        wanted << v;
    }
    const bool exact = !options.partialKey && !options.caseInsensitive;
    const bool indexable = std::all_of(fs.begin(), fs.end(), [](const Field* f) { return f->kind() != FieldKind::Lookup; });
    if (exact && indexable && !isEditing() && state_ != DatasetState::CalcFields) {
        QString key;
        for (size_t i = 0; i < fs.size(); ++i)
            appendKeyPart(key, fs[i]->dataType(), wanted.at(int(i)));
        return index(names, fs).value(key, -1);
    }
    for (int r = 0; r < rows_.rowCount(); ++r) {
        bool all = true;
        for (size_t i = 0; i < fs.size() && all; ++i) {
            const QVariant have = rowValue(r, *fs[i]);
            LocateOptions o = options;
            if (fs[i]->dataType() != FieldType::String)
                o.partialKey = false;
            all = sameValue(have, wanted.at(int(i)), o);
        }
        if (all)
            return r;
    }
    return -1;
}

const QHash<QString, int>& Dataset::index(const QStringList& names, const std::vector<const Field*>& fs) const
{
    auto it = std::find_if(indexes_.begin(), indexes_.end(), [&](const KeyIndex& k) { return k.fields == names; });
    if (it == indexes_.end()) {
        indexes_.push_back(KeyIndex{names, 0, {}, false});
        it = indexes_.end() - 1;
    }
    if (!it->built || it->version != rows_.version()) {
        // Built once per reading of the rows, and again only after a row changed.
        it->rows.clear();
        it->rows.reserve(rows_.rowCount());
        // From the last row up, so that the first row of a key is the one kept.
        for (int r = rows_.rowCount() - 1; r >= 0; --r) {
            QString key;
            for (const Field* f : fs)
                appendKeyPart(key, f->dataType(), rows_.value(r, f->slot()));
            it->rows.insert(key, r);
        }
        it->version = rows_.version();
        it->built = true;
    }
    return it->rows;
}

bool Dataset::locate(const QStringList& fieldNames, const QVariantList& values, LocateOptions options)
{
    checkActive();
    checkBrowseMode();
    QStringList names;
    for (const QString& n : fieldNames)
        names << splitNames(n);
    const int r = findRow(names, values, options);
    if (r < 0)
        return false;
    bof_ = eof_ = false;
    if (r != current_) {
        current_ = r;
        scrolled();
    }
    return true;
}

bool Dataset::locate(const QString& fieldNames, const QVariantList& values, LocateOptions options)
{
    return locate(splitNames(fieldNames), values, options);
}

bool Dataset::locate(const QString& fieldNames, const QVariant& value, LocateOptions options)
{
    // Several fields take a list of values, as Delphi's variant array; one field takes
    // the value itself (or a list of one).
    const QStringList names = splitNames(fieldNames);
    if (value.typeId() == QMetaType::QVariantList)
        return locate(names, value.toList(), options);
    if (names.size() != 1)
        countMismatch(name_, int(names.size()), 1);
    return locate(names, QVariantList{value}, options);
}

QVariant Dataset::lookup(const QString& keyFields, const QVariantList& values, const QString& resultField) const
{
    return lookup(splitNames(keyFields), values, resultField);
}

QVariant Dataset::lookup(const QStringList& keyFields, const QVariantList& values, const QString& resultField) const
{
    if (!isActive())
        return QVariant();
    const int r = findRow(keyFields, values, {});
    if (r < 0)
        return QVariant();
    return rowValue(r, fieldByName(resultField));
}

Bookmark Dataset::bookmark() const
{
    if (current_ < 0 || current_ >= rows_.rowCount())
        return 0;
    return rows_.id(current_);
}

bool Dataset::bookmarkValid(Bookmark b) const
{
    return b != 0 && rows_.find(b) >= 0;
}

void Dataset::gotoBookmark(Bookmark b)
{
    checkActive();
    checkBrowseMode();
    const int i = b == 0 ? -1 : rows_.find(b);
    if (i < 0)
        throw DataError(QStringLiteral("Registro não encontrado em \"%1\".").arg(name_));
    bof_ = eof_ = false;
    if (i != current_) {
        current_ = i;
        scrolled();
    }
}

// --- editing ----------------------------------------------------------------

void Dataset::startInsert(int position)
{
    checkActive();
    checkBrowseMode();
    if (!canModify())
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    beforeInsert_ = current_;
    const QVector<QVariant> empty(slots_);
    position = std::clamp(position, 0, rows_.rowCount());
    rows_.insert(position, empty, nextId());
    insertedAt_ = position;
    current_ = position;
    edit_ = empty;
    old_ = empty;
    pendingText_.clear();
    bof_ = eof_ = false;
    setState(DatasetState::Insert);
    if (onNewRecord)
        onNewRecord(*this);
    notifyRows();
    notifyRecord();
}

void Dataset::insert()
{
    startInsert(current_ < 0 ? 0 : current_);
}

void Dataset::append()
{
    startInsert(rows_.rowCount());
}

void Dataset::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (!canModify())
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    // Nothing to edit: a new record, as Delphi does.
    if (rows_.rowCount() == 0) {
        insert();
        return;
    }
    edit_ = rows_.record(current_);
    old_ = edit_;
    pendingText_.clear();
    setState(DatasetState::Edit);
}

void Dataset::prepareToPost()
{
    if (!isEditing())
        return;
    emit updateRecord();
    for (const auto& f : fields_)
        if (f->kind() == FieldKind::Data && hasPendingText(*f))
            throw DataError(pendingText_.value(f->slot()).problem);
    // Before-post runs first: a handler may fill a required field.
    if (onBeforePost)
        onBeforePost(*this);
    for (const auto& f : fields_)
        if (f->kind() == FieldKind::Data && f->isRequired() && f->isNull())
            throw DataError(QStringLiteral("O campo \"%1\" deve ser informado.").arg(f->displayLabel()));
}

void Dataset::post()
{
    if (!isEditing())
        return;
    prepareToPost();
    if (!update_)
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    const bool inserting = state_ == DatasetState::Insert;
    const QVariantMap returned = update_->apply(inserting ? UpdateSql::Kind::Insert : UpdateSql::Kind::Modify, *this);
    // Values the statement gave back (numbers the database assigned) become the row's.
    for (auto it = returned.cbegin(); it != returned.cend(); ++it)
        if (Field* f = findField(it.key()); f && f->kind() == FieldKind::Data)
            edit_[f->slot()] = f->coerce(it.value());
    calculate(edit_);
    rows_.setRecord(current_, edit_);
    insertedAt_ = -1;
    pendingText_.clear();
    setState(DatasetState::Browse);
    notifyRows();
    notifyRecord();
    if (onAfterPost)
        onAfterPost(*this);
}

void Dataset::cancel()
{
    if (!isEditing())
        return;
    if (state_ == DatasetState::Insert && insertedAt_ >= 0) {
        rows_.erase(insertedAt_);
        current_ = rows_.rowCount() == 0 ? -1 : std::clamp(beforeInsert_, 0, rows_.rowCount() - 1);
        insertedAt_ = -1;
    }
    pendingText_.clear();
    bof_ = current_ <= 0;
    eof_ = rows_.rowCount() == 0;
    setState(DatasetState::Browse);
    notifyRows();
    scrolled();
}

void Dataset::remove()
{
    checkActive();
    if (state_ == DatasetState::Insert) {
        cancel();
        return;
    }
    if (state_ == DatasetState::Edit)
        cancel();
    if (rows_.rowCount() == 0)
        throw DataError(QStringLiteral("Operação impossível num conjunto de dados vazio."));
    if (!update_)
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    if (onBeforeDelete)
        onBeforeDelete(*this);
    // The delete statement takes the current row's values as its OLD_ parameters.
    update_->apply(UpdateSql::Kind::Delete, *this);
    rows_.erase(current_);
    if (current_ >= rows_.rowCount())
        current_ = rows_.rowCount() - 1;
    bof_ = current_ <= 0;
    eof_ = rows_.rowCount() == 0;
    notifyRows();
    scrolled();
    if (onAfterDelete)
        onAfterDelete(*this);
}

void Dataset::checkBrowseMode()
{
    if (isEditing())
        post();
}

// --- buffers ----------------------------------------------------------------

Dataset::RecordRef Dataset::activeRecord() const
{
    if (readRow_ >= 0)
        return {nullptr, readRow_};
    if (state_ == DatasetState::CalcFields && calcBuffer_)
        return {calcBuffer_, -1};
    if (isEditing())
        return {&edit_, -1};
    return {nullptr, current_};
}

QVariant Dataset::recordValue(const RecordRef& r, int slot) const
{
    if (slot < 0)
        return QVariant();
    if (r.buffer)
        return r.buffer->value(slot);
    if (r.row < 0 || r.row >= rows_.rowCount())
        return QVariant();
    return rows_.value(r.row, slot);
}

QVariant Dataset::fieldValue(const Field& f) const
{
    const RecordRef r = activeRecord();
    if (f.kind() == FieldKind::Lookup)
        return lookupValue(f, r);
    return recordValue(r, f.slot());
}

QVector<QVariant>* Dataset::editValues()
{
    if (state_ == DatasetState::CalcFields && calcBuffer_)
        return calcBuffer_;
    if (isEditing())
        return &edit_;
    return nullptr;
}

QVariant Dataset::oldValueOf(const Field& f) const
{
    // While inserting or editing: what the record held before (null for a new one);
    // otherwise the current row's values.
    const RecordRef r = isEditing() ? RecordRef{&old_, -1} : RecordRef{nullptr, current_};
    if (f.kind() == FieldKind::Lookup)
        return lookupValue(f, r);
    return recordValue(r, f.slot());
}

QVariant Dataset::lookupValue(const Field& f, const RecordRef& r) const
{
    if (!f.lookupDataset() || (!r.buffer && (r.row < 0 || r.row >= rows_.rowCount())))
        return QVariant();
    QVariantList keys;
    for (const QString& k : f.keyFieldList_) {
        const Field* kf = findField(k);
        keys << (kf ? recordValue(r, kf->slot()) : QVariant());
    }
    return f.lookupDataset()->lookup(f.lookupKeyFieldList_, keys, f.lookupResultField());
}

void Dataset::setPendingText(const Field& f, const QString& text, const QString& problem)
{
    pendingText_.insert(f.slot(), Pending{text, problem});
}

void Dataset::clearPendingText(const Field& f)
{
    pendingText_.remove(f.slot());
}

bool Dataset::hasPendingText(const Field& f) const
{
    return isEditing() && pendingText_.contains(f.slot());
}

QString Dataset::pendingText(const Field& f) const
{
    return pendingText_.value(f.slot()).text;
}

void Dataset::fieldValueChanged(Field* f)
{
    if (state_ == DatasetState::CalcFields)
        return;
    if (f->kind() == FieldKind::Data)
        calculate(edit_);
    notifyRecord(f);
}

QVariant Dataset::rowValue(int row, const Field& f) const
{
    RecordRef r{nullptr, row};
    if (row == current_ && isEditing())
        r = RecordRef{&edit_, -1};
    else if (row < 0 || row >= rows_.rowCount())
        return QVariant();
    if (f.kind() == FieldKind::Lookup)
        return lookupValue(f, r);
    return recordValue(r, f.slot());
}

QString Dataset::rowDisplayText(int row, const Field& f) const
{
    if (row == current_ && isEditing())
        return f.displayText();
    if (f.onGetText && row >= 0 && row < rows_.rowCount()) {
        // The hook reads the field's value: let it see that row for a moment.
        const int saved = readRow_;
        readRow_ = row;
        const QString t = f.onGetText(f, true);
        readRow_ = saved;
        return t;
    }
    return f.formatValue(rowValue(row, f), false);
}

void Dataset::calculate(QVector<QVariant>& values)
{
    if (!onCalcFields)
        return;
    const DatasetState saved = state_;
    QVector<QVariant>* savedBuffer = calcBuffer_;
    calcBuffer_ = &values;
    state_ = DatasetState::CalcFields;
    for (const auto& f : fields_)
        if (f->kind() == FieldKind::Calculated)
            values[f->slot()] = QVariant();
    try {
        onCalcFields(*this);
    } catch (...) {
        state_ = saved;
        calcBuffer_ = savedBuffer;
        throw;
    }
    state_ = saved;
    calcBuffer_ = savedBuffer;
}

void Dataset::calculateAll()
{
    if (!onCalcFields)
        return;
    for (int r = 0; r < rows_.rowCount(); ++r) {
        QVector<QVariant> values = rows_.record(r);
        calculate(values);
        for (const auto& f : fields_)
            if (f->kind() == FieldKind::Calculated)
                rows_.set(r, f->slot(), values[f->slot()]);
    }
}

// --- notifications ----------------------------------------------------------

void Dataset::setState(DatasetState s)
{
    if (state_ == s)
        return;
    state_ = s;
    if (onStateChange)
        onStateChange(*this);
    emit stateChanged();
}

void Dataset::scrolled()
{
    notifyRecord();
    if (onAfterScroll)
        onAfterScroll(*this);
}

void Dataset::notifyRecord(Field* f)
{
    if (disabled_ > 0) {
        dirtyWhileDisabled_ = true;
        return;
    }
    emit dataChanged(f);
}

void Dataset::notifyRows()
{
    if (disabled_ > 0) {
        dirtyWhileDisabled_ = true;
        return;
    }
    emit rowsChanged();
}

void Dataset::enableControls()
{
    if (disabled_ == 0)
        return;
    if (--disabled_ > 0)
        return;
    if (dirtyWhileDisabled_) {
        dirtyWhileDisabled_ = false;
        emit rowsChanged();
        emit dataChanged(nullptr);
    }
}

}  // namespace db
