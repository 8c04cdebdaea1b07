#include "db/UpdateSql.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Dataset.h"
#include "db/SqlText.h"
#include "db/Statement.h"

namespace db {

UpdateSql::UpdateSql(Connection& connection) : connection_(connection) {}

void UpdateSql::generate(const QString& table, const QStringList& keys, const QStringList& columns)
{
    QStringList keyMatch;
    QStringList oldKeyMatch;
    for (const QString& k : keys) {
        // Null-safe: a row whose key column is null is still found.
        keyMatch << QStringLiteral("  %1 is not distinct from :%1").arg(k);
        oldKeyMatch << QStringLiteral("  %1 is not distinct from :OLD_%1").arg(k);
    }
    const auto joinWhere = [](const QStringList& conditions) {
        QStringList lines;
        for (int i = 0; i < conditions.size(); ++i)
            lines << (i + 1 < conditions.size() ? conditions.at(i) + QStringLiteral(" and") : conditions.at(i));
        return lines;
    };

    refreshSql = QStringList{QStringLiteral("select")};
    for (int i = 0; i < columns.size(); ++i)
        refreshSql << QStringLiteral("  %1%2").arg(columns.at(i), i + 1 < columns.size() ? QStringLiteral(",") : QString());
    refreshSql << QStringLiteral("from %1").arg(table) << QStringLiteral("where") << joinWhere(keyMatch);

    modifySql = QStringList{QStringLiteral("update %1").arg(table), QStringLiteral("set")};
    for (int i = 0; i < columns.size(); ++i)
        modifySql << QStringLiteral("  %1 = :%1%2").arg(columns.at(i), i + 1 < columns.size() ? QStringLiteral(",") : QString());
    modifySql << QStringLiteral("where") << joinWhere(oldKeyMatch);

    insertSql = QStringList{QStringLiteral("insert into %1").arg(table)};
    QStringList names;
    QStringList values;
    for (const QString& c : columns) {
        names << c;
        values << QStringLiteral(":") + c;
    }
    insertSql << QStringLiteral("  (%1)").arg(names.join(QStringLiteral(", "))) << QStringLiteral("values")
              << QStringLiteral("  (%1)").arg(values.join(QStringLiteral(", ")))
              << QStringLiteral("returning %1").arg(names.join(QStringLiteral(", ")));

    deleteSql = QStringList{QStringLiteral("delete from %1").arg(table), QStringLiteral("where")};
    deleteSql << joinWhere(oldKeyMatch);
}

QStringList UpdateSql::keyFields() const
{
    QStringList keys;
    for (const QStringList* lines : {&modifySql, &deleteSql}) {
        for (const QString& name : parseParameters(joinLines(*lines)).names)
            if (name.startsWith(QLatin1String("OLD_")) && !keys.contains(name.mid(4)))
                keys << name.mid(4);
        if (!keys.isEmpty())
            break;
    }
    return keys;
}

QVariantMap UpdateSql::apply(Kind kind, Dataset& dataset)
{
    const QStringList* lines = nullptr;
    switch (kind) {
    case Kind::Refresh: lines = &refreshSql; break;
    case Kind::Modify: lines = &modifySql; break;
    case Kind::Insert: lines = &insertSql; break;
    case Kind::Delete: lines = &deleteSql; break;
    }
    if (lines->isEmpty())
        return {};
    Statement statement(connection_, *lines);
    for (const QString& name : statement.paramNames()) {
        const bool old = name.startsWith(QLatin1String("OLD_"));
        const Field* f = dataset.findField(old ? name.mid(4) : name);
        if (!f) {
            statement.setParam(name, QVariant());
        } else {
            statement.setParam(name, old ? f->oldValue() : f->value());
            statement.setParamField(name, f->displayLabel());
        }
    }
    const int affected = statement.exec();
    if (affected == 0 && kind != Kind::Refresh) {
        // Nothing was written: saying nothing would report a save that did not happen.
        switch (kind) {
        case Kind::Insert:
            throw RowNotFoundError(QStringLiteral("O registro não foi incluído: o banco de dados não gravou nenhuma linha."));
        case Kind::Modify:
            throw RowNotFoundError(QStringLiteral(
                "O registro não foi gravado porque não foi encontrado no banco de dados: ele pode ter sido alterado "
                "ou excluído depois de lido. Nada foi alterado."));
        case Kind::Delete:
            throw RowNotFoundError(QStringLiteral(
                "O registro não foi excluído porque não foi encontrado no banco de dados: ele pode ter sido alterado "
                "ou excluído depois de lido. Nada foi alterado."));
        case Kind::Refresh:
            break;
        }
    }
    return statement.returned();
}

}  // namespace db
