#include "db/Statement.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/SqlText.h"

#include <QSqlRecord>

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

void Statement::bind(QSqlQuery& query, const QStringList& names) const
{
    for (int i = 0; i < names.size(); ++i)
        query.bindValue(i, toDriverValue(params_.value(names.at(i))));
}

int Statement::exec()
{
    const QString text = joinLines(lines_);
    returned_.clear();
    WriteUnit unit(connection_);
    if (!prepared_ || text != preparedText_ || preparedGeneration_ != connection_.generation()) {
        const ParsedSql parsed = parseParameters(text);
        prepared_ = std::make_unique<QSqlQuery>(connection_.database());
        if (!prepared_->prepare(parsed.text)) {
            const QString error = serverText(*prepared_);
            prepared_.reset();
            throw DatabaseError(error);
        }
        preparedText_ = text;
        preparedNames_ = parsed.names;
        preparedGeneration_ = connection_.generation();
    }
    QSqlQuery& query = *prepared_;
    bind(query, preparedNames_);
    if (!query.exec())
        throw DatabaseError(serverText(query));
    const int affected = query.numRowsAffected();
    if (query.isSelect() && query.next()) {
        const QSqlRecord rec = query.record();
        for (int i = 0; i < rec.count(); ++i)
            returned_.insert(rec.fieldName(i).toUpper(), query.isNull(i) ? QVariant() : query.value(i));
    }
    query.finish();
    unit.commit();
    return affected;
}

QList<QVariantList> Statement::selectAll()
{
    const ParsedSql parsed = parseParameters(joinLines(lines_));
    QSqlQuery query(connection_.database());
    query.setForwardOnly(true);
    if (!query.prepare(parsed.text))
        throw DatabaseError(serverText(query));
    bind(query, parsed.names);
    if (!query.exec())
        throw DatabaseError(serverText(query));
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
