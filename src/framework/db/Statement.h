#pragma once
// A plain statement: runs once with parameters.
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

    void setParam(const QString& name, const QVariant& value);
    QVariant param(const QString& name) const;
    void clearParams() { params_.clear(); }
    // Names of the parameters of the statement, upper case, in order of first use.
    QStringList paramNames() const;

    // Runs the statement once inside a write unit (joining the caller's, if any), so
    // that a statement run on its own commits when it finishes. Parameters without a
    // value are null. Throws DatabaseError with the server's text. Returns the number of
    // rows affected.
    int exec();
    // The row a statement returned (insert ... returning, execute procedure, a select
    // of one row), keyed by upper-case column name; empty when none.
    const QVariantMap& returned() const { return returned_; }

    // Runs a select and returns its rows as lists of values in column order; reads all
    // rows and ends the query so that no read transaction lingers.
    QList<QVariantList> selectAll();
    // First column of the first row of a select, or a null QVariant.
    QVariant scalar();

private:
    void bind(QSqlQuery& query, const QStringList& names) const;

    Connection& connection_;
    QStringList lines_;
    // The prepared query is kept while the text and the transaction stay the same, so
    // a loop of executions inside one write unit prepares once.
    std::unique_ptr<QSqlQuery> prepared_;
    QString preparedText_;
    QStringList preparedNames_;
    quint64 preparedGeneration_ = 0;
    QHash<QString, QVariant> params_;
    QVariantMap returned_;
};

}  // namespace db
