#pragma once
// A plain statement: runs once with parameters.
#include "db/Binding.h"

#include <QHash>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>
#include <QVariantMap>
#include <memory>

namespace db {

class Connection;

class Statement {
public:
    explicit Statement(Connection& connection);
    Statement(Connection& connection, const QStringList& lines);
    ~Statement();

    QStringList& sql() { return lines_; }
    void setSql(const QStringList& lines);
    void setSql(const QString& text) { setSql(QStringList{text}); }

    // A value is converted to its parameter's type when the statement runs (see
    // db/Binding.h); one that does not convert is refused naming the parameter, or the
    // field given by setParamField, and nothing is executed.
    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    void clearParams() { params_.clear(); }
    // The parameter carries the value of a field with this label: errors name the field.
    void setParamField(const QString& name, const QString& fieldLabel);
    // Names of the parameters of the statement, upper case, in order of first use.
    QStringList paramNames() const;

    // Positional parameters, for a text whose parameters are `?` marks and which may hold
    // `:NAME` of its own (the variables of an EXECUTE BLOCK, left to the engine): values
    // are given in order, converted as named ones are, and refused naming their position.
    // The text is then taken as written.
    void setPositional(bool positional) { positional_ = positional; }
    void setValues(QVariantList values) { values_ = std::move(values); }
    QVariantList& values() { return values_; }

    // Runs the statement once. Inside a write unit it joins the unit; on its own it
    // commits when it finishes. A statement that fails undoes its own effects and
    // nothing else, so a caller inside a unit may go on. Parameters without a value are
    // null. Throws DataError for a value that does not convert (nothing executed),
    // LockConflictError when another connection holds a row it had to change (after the
    // lock timeout at most), and DatabaseError with the server's text for the rest.
    // Returns the number of rows affected (-1 when it does not count them).
    int exec();
    // Whether exec() asks how many rows the statement changed: one more exchange with a
    // server each time, which a bulk load that has no use for the number leaves out.
    void setCountsRows(bool counts) { countsRows_ = counts; }
    // The row a statement returned (insert ... returning, execute procedure, a select
    // of one row), keyed by upper-case column name; empty when none.
    const QVariantMap& returned() const { return returned_; }

    // Runs a select and returns its rows as lists of values in column order; reads all
    // rows and ends the query so that no read transaction lingers.
    QList<QVariantList> selectAll();
    // First column of the first row of a select, or a null QVariant.
    QVariant scalar();

private:
    void bind(QSqlQuery& query, const QStringList& names, const QVector<ParamType>& types) const;
    void bindPositional(QSqlQuery& query, const QVector<ParamType>& types) const;

    Connection& connection_;
    QStringList lines_;
    // The prepared query is kept while the text and the transaction stay the same, so
    // a loop of executions inside one write unit prepares once.
    std::unique_ptr<QSqlQuery> prepared_;
    bool countsRows_ = true;
    bool positional_ = false;
    QVariantList values_;
    QString preparedText_;
    QStringList preparedNames_;
    QVector<ParamType> preparedTypes_;
    quint64 preparedGeneration_ = 0;
    QHash<QString, QVariant> params_;
    QHash<QString, QString> fieldLabels_;
    QVariantMap returned_;
};

}  // namespace db
