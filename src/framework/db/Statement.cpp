#include "db/Statement.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/SqlText.h"

#include <QSqlRecord>

#include <algorithm>
#include <optional>

namespace db {

Statement::Statement(Connection& connection) : connection_(connection) {}

Statement::Statement(Connection& connection, const QStringList& lines) : connection_(connection), lines_(lines) {}

Statement::~Statement() = default;

void Statement::setSql(const QStringList& lines)
{
    lines_ = lines;
}

void Statement::setParam(const QString& name, const QVariant& value)
{
    params_.insert(name.toUpper(), value);
}

QVariant Statement::param(const QString& name) const
{
    return params_.value(name.toUpper());
}

QStringList Statement::paramNames() const
{
    QStringList names = parseParameters(joinLines(lines_)).names;
    names.removeDuplicates();
    return names;
}

void Statement::setParamField(const QString& name, const QString& fieldLabel)
{
    fieldLabels_.insert(name.toUpper(), fieldLabel);
}

void Statement::bind(QSqlQuery& query, const QStringList& names, const QVector<ParamType>& types) const
{
    // Every value is converted first, so that a refused one leaves nothing half bound.
    const QString charset = connection_.storageCharset();
    QVariantList values;
    values.reserve(names.size());
    for (int i = 0; i < names.size(); ++i) {
        const QString& name = names.at(i);
        const QVariant v = params_.value(name);
        if (i < types.size()) {
            const auto label = fieldLabels_.constFind(name);
            const BindTarget target = label != fieldLabels_.cend() ? BindTarget{true, *label} : BindTarget{false, name};
            values << toParameter(v, types.at(i), target, charset);
        } else {
            values << toDriverValue(v);
        }
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
}

void Statement::bindPositional(QSqlQuery& query, const QVector<ParamType>& types) const
{
    const QString charset = connection_.storageCharset();
    const int count = std::max(int(types.size()), int(values_.size()));
    QVariantList values;
    values.reserve(count);
    for (int i = 0; i < count; ++i) {
        const QVariant v = values_.value(i);
        values << (i < types.size() ? toParameter(v, types.at(i), BindTarget{false, QString::number(i + 1)}, charset)
                                    : toDriverValue(v));
    }
    for (int i = 0; i < values.size(); ++i)
        query.bindValue(i, values.at(i));
}

int Statement::exec()
{
    const QString text = joinLines(lines_);
    returned_.clear();
    // Inside a caller's unit the statement joins it without a savepoint of its own: the
    // engine undoes a failed statement's own effects and nothing else.
    std::optional<WriteUnit> unit;
    if (!connection_.inUnit())
        unit.emplace(connection_);
    if (!prepared_ || text != preparedText_ || preparedGeneration_ != connection_.generation()) {
        const ParsedSql parsed = positional_ ? ParsedSql{text, {}} : parseParameters(text);
        prepared_ = std::make_unique<QSqlQuery>(connection_.database());
        if (!prepared_->prepare(parsed.text)) {
            const QString error = serverText(*prepared_);
            prepared_.reset();
            throw DatabaseError(error);
        }
        preparedText_ = text;
        preparedNames_ = parsed.names;
        preparedTypes_ = describeParameters(*prepared_);
        preparedGeneration_ = connection_.generation();
    }
    QSqlQuery& query = *prepared_;
    if (positional_)
        bindPositional(query, preparedTypes_);
    else
        bind(query, preparedNames_, preparedTypes_);
    if (!query.exec())
        throwQueryError(query);
    const int affected = countsRows_ ? query.numRowsAffected() : -1;
    if (query.isSelect() && query.next()) {
        const QSqlRecord rec = query.record();
        for (int i = 0; i < rec.count(); ++i)
            returned_.insert(rec.fieldName(i).toUpper(), query.isNull(i) ? QVariant() : query.value(i));
    }
    query.finish();
    if (unit)
        unit->commit();
    return affected;
}

QList<QVariantList> Statement::selectAll()
{
    const ParsedSql parsed = parseParameters(joinLines(lines_));
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    if (!query.prepare(parsed.text))
        throwQueryError(query);
    bind(query, parsed.names, describeParameters(query));
    if (!query.exec())
        throwQueryError(query);
    QList<QVariantList> rows;
    const int columns = query.record().count();
    while (query.next()) {
        QVariantList row;
        row.reserve(columns);
        for (int i = 0; i < columns; ++i)
            row << (query.isNull(i) ? QVariant() : query.value(i));
        rows << row;
    }
    query.finish();
    query.clear();
    return rows;
}

QVariant Statement::scalar()
{
    const QList<QVariantList> rows = selectAll();
    if (rows.isEmpty() || rows.first().isEmpty())
        return QVariant();
    return rows.first().first();
}

}  // namespace db
