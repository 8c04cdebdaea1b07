#pragma once
// An update object: the four statements through which a dataset posts and deletes.
// A parameter takes the value of the dataset field of the same name; "OLD_" + name takes
// the field's old value; a parameter without a field is null. A modify, insert or delete
// that writes no row raises RowNotFoundError: the dataset then keeps its state and values.
// An insert that ends with "returning" gives the dataset what the database assigned
// (numbers from triggers, defaults), so that the row can be edited at once; generate()
// writes one, and a statement written by hand should too.
#include <QStringList>
#include <QVariantMap>

namespace db {

class Connection;
class Dataset;

class UpdateSql {
public:
    enum class Kind { Refresh, Modify, Insert, Delete };

    explicit UpdateSql(Connection& connection);

    QStringList refreshSql;
    QStringList modifySql;
    QStringList insertSql;
    QStringList deleteSql;

    // Writes the four statements over a table: refresh and delete by the key, modify
    // setting every column (the key too) where the key has its old values, insert of
    // every column returning them all. Keys compare null-safely ("is not distinct
    // from"). Each statement names the columns explicitly.
    void generate(const QString& table, const QStringList& keyColumns, const QStringList& columns);

    // Key fields: the names of the OLD_ parameters of the modify (or delete) statement.
    QStringList keyFields() const;
    // Runs one statement for the dataset's current record, inside a write unit that
    // joins the caller's. Returns the row a statement gave back (insert ... returning).
    QVariantMap apply(Kind kind, Dataset& dataset);

private:
    Connection& connection_;
};

}  // namespace db
