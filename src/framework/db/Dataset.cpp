#include "db/Dataset.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/DatabaseError.h"
#include "db/SqlText.h"
#include "db/UpdateSql.h"

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
        // Dialect-1 dates carry a time of day the program never stores.
        return FieldType::Date;
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
    fields_.push_back(std::move(f));
    return *fields_.back();
}

Field* Dataset::findField(const QString& name) const
{
    for (const auto& f : fields_)
        if (f->fieldName().compare(name, Qt::CaseInsensitive) == 0)
            return f.get();
    return nullptr;
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
    for (int i = 0; i < names.size(); ++i) {
        QVariant v = params_.value(names.at(i));
        if (m && m->isActive()) {
            if (Field* f = m->findField(names.at(i)))
                v = f->value();
        }
        query.bindValue(i, toDriverValue(v));
    }
}

void Dataset::createFieldsFromRecord(const QSqlRecord& record)
{
    fields_.clear();
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
        throw DatabaseError(serverText(query));
    bindParams(query, parsed.names);
    if (!query.exec())
        throw DatabaseError(serverText(query));

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

    rows_.clear();
    // Text columns repeat a lot (year, UF, month): a value equal to the one above it
    // shares that one's storage instead of holding its own copy.
    std::vector<QVariant> above(map.size());
    while (query.next()) {
        Row row;
        row.values.resize(slots_);
        for (size_t k = 0; k < map.size(); ++k) {
            const Map& m = map[k];
            QVariant v = query.value(m.column);
            if (v.isNull())
                continue;
            if (m.type == FieldType::String && v.typeId() == QMetaType::QString) {
                if (above[k].typeId() == QMetaType::QString &&
                    *static_cast<const QString*>(above[k].constData()) == *static_cast<const QString*>(v.constData()))
                    v = above[k];
                else
                    above[k] = v;
            }
            switch (m.type) {
            case FieldType::String:
                if (v.typeId() != QMetaType::QString)
                    v = v.toString();
                break;
            case FieldType::SmallInt:
            case FieldType::Integer:
                if (v.typeId() != QMetaType::Int)
                    v = v.typeId() == QMetaType::Double ? int(qRound64(v.toDouble())) : v.toInt();
                break;
            case FieldType::Float:
            case FieldType::Currency:
                if (v.typeId() != QMetaType::Double)
                    v = v.toDouble();
                break;
            case FieldType::Date:
                if (v.typeId() == QMetaType::QDateTime)
                    v = v.toDateTime().date();
                break;
            case FieldType::DateTime:
                if (v.typeId() == QMetaType::QDate)
                    v = QDateTime(v.toDate(), QTime(0, 0));
                break;
            case FieldType::Unknown:
                break;
            }
            row.values[m.slot] = std::move(v);
        }
        row.id = nextId();
        rows_.push_back(std::move(row));
    }
    // End the read transaction now: nothing may keep an old snapshot alive.
    query.finish();
    query.clear();
}

void Dataset::open()
{
    if (isActive())
        return;
    if (onBeforeOpen)
        onBeforeOpen(*this);
    readRows();
    pendingText_.clear();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
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
    current_ = rows_.empty() ? -1 : std::clamp(position, 0, int(rows_.size()) - 1);
    if (!keys.isEmpty() && keyValues.size() == keys.size()) {
        const int found = findRow(keys, keyValues, {});
        if (found >= 0)
            current_ = found;
    }
    bof_ = current_ <= 0;
    eof_ = rows_.empty();
    calculateAll();
    notifyRows();
    scrolled();
}

// --- navigation -------------------------------------------------------------

void Dataset::first()
{
    checkActive();
    checkBrowseMode();
    current_ = rows_.empty() ? -1 : 0;
    bof_ = true;
    eof_ = rows_.empty();
    scrolled();
}

void Dataset::last()
{
    checkActive();
    checkBrowseMode();
    current_ = int(rows_.size()) - 1;
    eof_ = true;
    bof_ = rows_.empty();
    scrolled();
}

void Dataset::next()
{
    checkActive();
    checkBrowseMode();
    bof_ = false;
    if (current_ + 1 < int(rows_.size())) {
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
    if (rows_.empty())
        return;
    const int target = std::clamp(recNo - 1, 0, int(rows_.size()) - 1);
    bof_ = eof_ = false;
    if (target != current_) {
        current_ = target;
        scrolled();
    }
}

int Dataset::findRow(const QStringList& names, const QVariantList& values, LocateOptions options) const
{
    std::vector<const Field*> fs;
    QVariantList wanted;
    for (int i = 0; i < names.size(); ++i) {
        const Field& f = fieldByName(names.at(i));
        fs.push_back(&f);
        QVariant v = values.value(i);
        if (!(options.partialKey && f.dataType() == FieldType::String)) {
            try {
                v = f.coerce(v);
            } catch (const DataError&) {
                return -1;
            }
        }
        wanted << v;
    }
    for (int r = 0; r < int(rows_.size()); ++r) {
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

bool Dataset::locate(const QString& fieldName, const QVariant& value, LocateOptions options)
{
    return locate(splitNames(fieldName), QVariantList{value}, options);
}

QVariant Dataset::lookup(const QString& keyFields, const QVariantList& values, const QString& resultField) const
{
    if (!isActive())
        return QVariant();
    const int r = findRow(splitNames(keyFields), values, {});
    if (r < 0)
        return QVariant();
    return rowValue(r, fieldByName(resultField));
}

Bookmark Dataset::bookmark() const
{
    if (current_ < 0 || current_ >= int(rows_.size()))
        return 0;
    return rows_[size_t(current_)].id;
}

bool Dataset::bookmarkValid(Bookmark b) const
{
    if (b == 0)
        return false;
    for (const Row& r : rows_)
        if (r.id == b)
            return true;
    return false;
}

void Dataset::gotoBookmark(Bookmark b)
{
    checkActive();
    checkBrowseMode();
    for (int i = 0; i < int(rows_.size()); ++i)
        if (rows_[size_t(i)].id == b) {
            bof_ = eof_ = false;
            if (i != current_) {
                current_ = i;
                scrolled();
            }
            return;
        }
    throw DataError(QStringLiteral("Registro não encontrado em \"%1\".").arg(name_));
}

// --- editing ----------------------------------------------------------------

void Dataset::startInsert(int position)
{
    checkActive();
    checkBrowseMode();
    if (!canModify())
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    beforeInsert_ = current_;
    Row row;
    row.values.resize(slots_);
    row.id = nextId();
    position = std::clamp(position, 0, int(rows_.size()));
    rows_.insert(rows_.begin() + position, row);
    insertedAt_ = position;
    current_ = position;
    edit_ = row;
    old_ = Row();
    old_.values.resize(slots_);
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
    startInsert(int(rows_.size()));
}

void Dataset::edit()
{
    checkActive();
    if (isEditing())
        return;
    if (!canModify())
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    if (rows_.empty())
        throw DataError(QStringLiteral("Operação impossível num conjunto de dados vazio."));
    edit_ = rows_[size_t(current_)];
    old_ = edit_;
    pendingText_.clear();
    setState(DatasetState::Edit);
}

void Dataset::post()
{
    if (!isEditing())
        return;
    emit updateRecord();
    for (const auto& f : fields_) {
        if (f->kind() != FieldKind::Data)
            continue;
        if (hasPendingText(*f))
            throw DataError(QStringLiteral("\"%1\" não é um valor válido para o campo \"%2\".")
                                .arg(pendingText(*f), f->displayLabel()));
        if (f->isRequired() && f->isNull())
            throw DataError(QStringLiteral("O campo \"%1\" deve ser informado.").arg(f->displayLabel()));
    }
    if (onBeforePost)
        onBeforePost(*this);
    if (!update_)
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    const bool inserting = state_ == DatasetState::Insert;
    const QVariantMap returned = update_->apply(inserting ? UpdateSql::Kind::Insert : UpdateSql::Kind::Modify, *this);
    // Values the statement gave back (numbers the database assigned) become the row's.
    for (auto it = returned.cbegin(); it != returned.cend(); ++it)
        if (Field* f = findField(it.key()); f && f->kind() == FieldKind::Data)
            edit_.values[f->slot()] = f->coerce(it.value());
    calculate(edit_);
    rows_[size_t(current_)] = edit_;
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
        rows_.erase(rows_.begin() + insertedAt_);
        current_ = rows_.empty() ? -1 : std::clamp(beforeInsert_, 0, int(rows_.size()) - 1);
        insertedAt_ = -1;
    }
    pendingText_.clear();
    bof_ = current_ <= 0;
    eof_ = rows_.empty();
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
    if (rows_.empty())
        throw DataError(QStringLiteral("Operação impossível num conjunto de dados vazio."));
    if (!update_)
        throw DataError(QStringLiteral("O conjunto de dados \"%1\" é somente leitura.").arg(name_));
    if (onBeforeDelete)
        onBeforeDelete(*this);
    // The delete statement takes the current row's values as its OLD_ parameters.
    update_->apply(UpdateSql::Kind::Delete, *this);
    rows_.erase(rows_.begin() + current_);
    if (current_ >= int(rows_.size()))
        current_ = int(rows_.size()) - 1;
    bof_ = current_ <= 0;
    eof_ = rows_.empty();
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

const QVector<QVariant>* Dataset::activeValues() const
{
    if (readRow_)
        return &readRow_->values;
    if (state_ == DatasetState::CalcFields && calcRow_)
        return &calcRow_->values;
    if (isEditing())
        return &edit_.values;
    if (current_ < 0 || current_ >= int(rows_.size()))
        return nullptr;
    return &rows_[size_t(current_)].values;
}

QVector<QVariant>* Dataset::editValues()
{
    if (state_ == DatasetState::CalcFields && calcRow_)
        return &calcRow_->values;
    if (isEditing())
        return &edit_.values;
    return nullptr;
}

QVariant Dataset::oldValueOf(const Field& f) const
{
    // While inserting or editing: what the record held before (null for a new one);
    // otherwise the current row's values.
    const QVector<QVariant>* values =
        isEditing() ? &old_.values
                    : (current_ >= 0 && current_ < int(rows_.size()) ? &rows_[size_t(current_)].values : nullptr);
    if (f.kind() == FieldKind::Lookup)
        return lookupValue(f, values);
    return values ? values->value(f.slot()) : QVariant();
}

QVariant Dataset::lookupValue(const Field& f, const QVector<QVariant>* values) const
{
    if (!f.lookupDataset() || !values)
        return QVariant();
    QVariantList keys;
    for (const QString& k : splitNames(f.keyFields())) {
        const Field* kf = findField(k);
        keys << (kf && kf->slot() >= 0 ? values->value(kf->slot()) : QVariant());
    }
    return f.lookupDataset()->lookup(f.lookupKeyFields(), keys, f.lookupResultField());
}

void Dataset::setPendingText(const Field& f, const QString& text, bool invalid)
{
    if (invalid)
        pendingText_.insert(f.slot(), text);
    else
        pendingText_.remove(f.slot());
}

bool Dataset::hasPendingText(const Field& f) const
{
    return isEditing() && pendingText_.contains(f.slot());
}

QString Dataset::pendingText(const Field& f) const
{
    return pendingText_.value(f.slot());
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
    const QVector<QVariant>* values = nullptr;
    if (row == current_ && isEditing())
        values = &edit_.values;
    else if (row >= 0 && row < int(rows_.size()))
        values = &rows_[size_t(row)].values;
    if (!values)
        return QVariant();
    if (f.kind() == FieldKind::Lookup)
        return lookupValue(f, values);
    return values->value(f.slot());
}

QString Dataset::rowDisplayText(int row, const Field& f) const
{
    if (row == current_ && isEditing())
        return f.displayText();
    if (f.onGetText && row >= 0 && row < int(rows_.size())) {
        // The hook reads the field's value: let it see that row for a moment.
        const Row* saved = readRow_;
        readRow_ = &rows_[size_t(row)];
        const QString t = f.onGetText(f, true);
        readRow_ = saved;
        return t;
    }
    return f.formatValue(rowValue(row, f), false);
}

void Dataset::calculate(Row& row)
{
    if (!onCalcFields)
        return;
    const DatasetState saved = state_;
    Row* savedRow = calcRow_;
    calcRow_ = &row;
    state_ = DatasetState::CalcFields;
    for (const auto& f : fields_)
        if (f->kind() == FieldKind::Calculated)
            row.values[f->slot()] = QVariant();
    try {
        onCalcFields(*this);
    } catch (...) {
        state_ = saved;
        calcRow_ = savedRow;
        throw;
    }
    state_ = saved;
    calcRow_ = savedRow;
}

void Dataset::calculateAll()
{
    if (!onCalcFields)
        return;
    for (Row& r : rows_)
        calculate(r);
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
