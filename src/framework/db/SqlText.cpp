#include "db/SqlText.h"

#include "db/DatabaseError.h"

#include <QDateTime>
#include <QSqlError>
#include <QSqlQuery>

namespace db {

ParsedSql parseParameters(const QString& sql)
{
    ParsedSql out;
    out.text.reserve(sql.size());
    const int n = sql.size();
    for (int i = 0; i < n; ++i) {
        const QChar c = sql.at(i);
        if (c == u'\'' || c == u'"') {
            // Copy a quoted run; a doubled quote stays inside it.
            out.text += c;
            int j = i + 1;
            while (j < n) {
                out.text += sql.at(j);
                if (sql.at(j) == c) {
                    if (j + 1 < n && sql.at(j + 1) == c) {
                        out.text += sql.at(j + 1);
                        j += 2;
                        continue;
                    }
                    break;
                }
                ++j;
            }
            i = j;
            continue;
        }
        if (c == u'-' && i + 1 < n && sql.at(i + 1) == u'-') {
            const int end = sql.indexOf(u'\n', i);
            const int stop = end < 0 ? n : end;
            out.text += sql.mid(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == u'/' && i + 1 < n && sql.at(i + 1) == u'*') {
            const int end = sql.indexOf(QLatin1String("*/"), i + 2);
            const int stop = end < 0 ? n : end + 2;
            out.text += sql.mid(i, stop - i);
            i = stop - 1;
            continue;
        }
        if (c == u':' && i + 1 < n && (sql.at(i + 1).isLetter() || sql.at(i + 1) == u'_')) {
            int j = i + 1;
            while (j < n && (sql.at(j).isLetterOrNumber() || sql.at(j) == u'_'))
                ++j;
            out.names << sql.mid(i + 1, j - i - 1).toUpper();
            out.text += u'?';
            i = j - 1;
            continue;
        }
        out.text += c;
    }
    return out;
}

QString joinLines(const QStringList& lines)
{
    return lines.join(u'\n');
}

QVariant toDriverValue(const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return QVariant();
    if (v.typeId() == QMetaType::QDate)
        return QDateTime(v.toDate(), QTime(0, 0));
    return v;
}

QString serverText(const QSqlQuery& query)
{
    const QSqlError e = query.lastError();
    QString text = e.databaseText();
    if (text.isEmpty())
        text = e.text();
    return text.trimmed();
}

void throwQueryError(const QSqlQuery& query)
{
    const QString text = serverText(query);
    const int code = query.lastError().nativeErrorCode().toInt();
    if (isLockConflictText(text))
        throw LockConflictError(text, code);
    throw DatabaseError(text, code);
}

}  // namespace db
