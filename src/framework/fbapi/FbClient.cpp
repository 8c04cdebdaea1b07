#include "fbapi/FbClient.h"

#include "db/DatabaseError.h"
#include "db/EmbeddedEngine.h"

#include <QDate>
#include <QDateTime>
#include <QFile>
#include <QRegularExpression>
#include <QStringList>
#include <QTime>

#include <ibase.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <vector>

namespace db::fb {

namespace {

constexpr unsigned short dialect = 1;
// Firebird counts days from 17 November 1858 (the modified Julian day).
constexpr qint64 firebirdDayZero = 2400001;
constexpr short charsetUtf8 = 4;

QString statusText(const ISC_STATUS* status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromUtf8(buffer);
    return lines.join(QLatin1Char('\n'));
}

[[noreturn]] void raise(const ISC_STATUS* status, const QString& context = QString())
{
    QString message = statusText(status);
    if (!context.isEmpty())
        message += QLatin1Char('\n') + context;
    throw DatabaseError(message, int(isc_sqlcode(status)));
}

void check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0)
        raise(status);
}

// Text spliced into CREATE DATABASE, which takes no parameters.
QString quoted(const QString& text)
{
    QString out = text;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

void addDpbString(QByteArray& dpb, char item, const QByteArray& value)
{
    if (value.size() > 255)
        throw DatabaseError(QStringLiteral("Parâmetro de conexão longo demais"));
    dpb.append(item);
    dpb.append(char(value.size()));
    dpb.append(value);
}

XSQLDA* allocateSqlda(int n)
{
    n = std::max(n, 1);
    auto* da = static_cast<XSQLDA*>(std::calloc(1, XSQLDA_LENGTH(n)));
    if (!da)
        throw std::bad_alloc();
    da->version = SQLDA_VERSION1;
    da->sqln = short(n);
    return da;
}

struct SqldaDeleter {
    void operator()(XSQLDA* da) const { std::free(da); }
};
using SqldaPtr = std::unique_ptr<XSQLDA, SqldaDeleter>;

ISC_TIMESTAMP toTimestamp(const QDate& date, const QTime& time)
{
    ISC_TIMESTAMP ts;
    ts.timestamp_date = ISC_DATE(date.toJulianDay() - firebirdDayZero);
    ts.timestamp_time = time.isValid() ? ISC_TIME(time.msecsSinceStartOfDay()) * 10 : 0;
    return ts;
}

QDate toDate(ISC_DATE date)
{
    return QDate::fromJulianDay(qint64(date) + firebirdDayZero);
}

QTime toTime(ISC_TIME time)
{
    return QTime::fromMSecsSinceStartOfDay(int(time / 10));
}

}  // namespace

// ------------------------------------------------------------------------- Database

struct Database::Handles {
    isc_db_handle db = 0;
};

Database::Database() : h_(std::make_unique<Handles>()) {}

Database::~Database()
{
    if (h_->db) {
        ISC_STATUS_ARRAY status;
        isc_detach_database(status, &h_->db);
    }
}

void Database::create(const QString& path, const QString& user, const QString& password,
                      int pageSize, const QString& defaultCharacterSet)
{
    if (isAttached())
        throw DatabaseError(QStringLiteral("Já conectado a um banco de dados"));
    static const QRegularExpression identifier(QStringLiteral("^[A-Za-z0-9_]+$"));
    if (!identifier.match(defaultCharacterSet).hasMatch())
        throw DatabaseError(QStringLiteral("Conjunto de caracteres inválido: %1").arg(defaultCharacterSet));
    prepareEmbeddedEngine();

    const QString sql = QStringLiteral("CREATE DATABASE %1 USER %2 PASSWORD %3 PAGE_SIZE %4 "
                                       "DEFAULT CHARACTER SET %5")
                            .arg(quoted(path), quoted(user), quoted(password))
                            .arg(pageSize)
                            .arg(defaultCharacterSet);
    const QByteArray bytes = sql.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_tr_handle tr = 0;
    isc_dsql_execute_immediate(status, &db, &tr, 0, bytes.constData(), dialect, nullptr);
    check(status);
    // The creating attachment has no connection character set: attach again with UTF8,
    // and if that fails, take the new file away again through the creating attachment.
    try {
        attach(path, user, password);
    } catch (...) {
        isc_drop_database(status, &db);
        throw;
    }
    isc_detach_database(status, &db);
}

void Database::attach(const QString& path, const QString& user, const QString& password)
{
    if (isAttached())
        throw DatabaseError(QStringLiteral("Já conectado a um banco de dados"));
    prepareEmbeddedEngine();

    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    addDpbString(dpb, isc_dpb_user_name, user.toUtf8());
    addDpbString(dpb, isc_dpb_password, password.toUtf8());
    addDpbString(dpb, isc_dpb_lc_ctype, QByteArrayLiteral("UTF8"));

    const QByteArray name = QFile::encodeName(path);
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_attach_database(status, short(name.size()), name.constData(), &db, short(dpb.size()),
                        dpb.constData());
    check(status);
    h_->db = db;
}

void Database::detach()
{
    if (!h_->db)
        return;
    ISC_STATUS_ARRAY status;
    isc_detach_database(status, &h_->db);
    check(status);
    h_->db = 0;
}

void Database::drop()
{
    if (!h_->db)
        return;
    ISC_STATUS_ARRAY status;
    isc_drop_database(status, &h_->db);
    check(status);
    h_->db = 0;
}

bool Database::isAttached() const
{
    return h_->db != 0;
}

// ---------------------------------------------------------------------- Transaction

struct Transaction::Handle {
    isc_tr_handle tr = 0;
};

Transaction::Transaction(Database& db) : db_(db), h_(std::make_unique<Handle>())
{
    start();
}

Transaction::~Transaction()
{
    if (h_->tr) {
        ISC_STATUS_ARRAY status;
        isc_rollback_transaction(status, &h_->tr);
    }
}

void Transaction::start()
{
    if (h_->tr)
        return;
    if (!db_.isAttached())
        throw DatabaseError(QStringLiteral("Banco de dados não conectado"));
    ISC_STATUS_ARRAY status;
    isc_start_transaction(status, &h_->tr, 1, &db_.h_->db, 0, nullptr);
    check(status);
}

void Transaction::commit()
{
    if (!h_->tr)
        return;
    ISC_STATUS_ARRAY status;
    isc_commit_transaction(status, &h_->tr);
    check(status);
    h_->tr = 0;
}

void Transaction::rollback()
{
    if (!h_->tr)
        return;
    ISC_STATUS_ARRAY status;
    isc_rollback_transaction(status, &h_->tr);
    check(status);
    h_->tr = 0;
}

bool Transaction::isActive() const
{
    return h_->tr != 0;
}

void Transaction::executeImmediate(const QString& sql)
{
    start();
    const QByteArray bytes = sql.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_dsql_execute_immediate(status, &db_.h_->db, &h_->tr, 0, bytes.constData(), dialect, nullptr);
    check(status);
}

// ------------------------------------------------------------------------ Statement

struct Statement::Impl {
    Transaction& tr;
    isc_stmt_handle stmt = 0;
    int type = 0;
    SqldaPtr in;
    SqldaPtr out;
    std::vector<short> outTypes;  // as described, before our buffers were attached
    std::vector<std::vector<char>> outData;
    std::vector<short> outNull;
    bool cursorOpen = false;
    bool singletonPending = false;  // a non-select statement that returned one row
    bool haveRow = false;

    explicit Impl(Transaction& t) : tr(t) {}

    void closeCursor()
    {
        if (!cursorOpen)
            return;
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &stmt, DSQL_close);
        cursorOpen = false;
        check(status);
    }

    void prepareOutput()
    {
        const int n = out->sqld;
        outTypes.resize(n);
        outData.resize(n);
        outNull.assign(n, 0);
        for (int i = 0; i < n; ++i) {
            XSQLVAR& v = out->sqlvar[i];
            outTypes[i] = short(v.sqltype & ~1);
            const int size = (outTypes[i] == SQL_VARYING ? v.sqllen + 2 : v.sqllen) + 8;
            outData[i].assign(size, 0);
            v.sqldata = outData[i].data();
            v.sqlind = &outNull[i];
            v.sqltype = short(outTypes[i] | 1);
        }
    }
};

Statement::Statement(Transaction& tr, const QString& sql) : d_(std::make_unique<Impl>(tr))
{
    tr.start();
    Database& db = tr.database();
    ISC_STATUS_ARRAY status;
    isc_dsql_allocate_statement(status, &db.h_->db, &d_->stmt);
    check(status);

    d_->out.reset(allocateSqlda(16));
    const QByteArray bytes = sql.toUtf8();
    isc_dsql_prepare(status, &tr.h_->tr, &d_->stmt, 0, bytes.constData(), dialect, d_->out.get());
    check(status);
    if (d_->out->sqld > d_->out->sqln) {
        d_->out.reset(allocateSqlda(d_->out->sqld));
        isc_dsql_describe(status, &d_->stmt, SQLDA_VERSION1, d_->out.get());
        check(status);
    }
    d_->prepareOutput();

    d_->in.reset(allocateSqlda(16));
    isc_dsql_describe_bind(status, &d_->stmt, SQLDA_VERSION1, d_->in.get());
    check(status);
    if (d_->in->sqld > d_->in->sqln) {
        d_->in.reset(allocateSqlda(d_->in->sqld));
        isc_dsql_describe_bind(status, &d_->stmt, SQLDA_VERSION1, d_->in.get());
        check(status);
    }

    const char items[] = {isc_info_sql_stmt_type};
    char info[16] = {};
    isc_dsql_sql_info(status, &d_->stmt, sizeof items, items, sizeof info, info);
    check(status);
    if (info[0] == isc_info_sql_stmt_type) {
        const short len = short(isc_vax_integer(info + 1, 2));
        d_->type = int(isc_vax_integer(info + 3, len));
    }
}

Statement::~Statement()
{
    if (d_->stmt) {
        ISC_STATUS_ARRAY status;
        isc_dsql_free_statement(status, &d_->stmt, DSQL_drop);
    }
}

int Statement::parameterCount() const
{
    return d_->in->sqld;
}

int Statement::columnCount() const
{
    return d_->out->sqld;
}

QString Statement::columnName(int column) const
{
    const XSQLVAR& v = d_->out->sqlvar[column];
    return QString::fromUtf8(v.aliasname, v.aliasname_length);
}

void Statement::execute(const QVariantList& params)
{
    Impl& d = *d_;
    const int n = d.in->sqld;
    if (params.size() != n)
        throw DatabaseError(QStringLiteral("O comando espera %1 parâmetro(s) e recebeu %2").arg(n).arg(params.size()));
    d.closeCursor();
    d.haveRow = false;
    d.singletonPending = false;
    d.tr.start();

    // One buffer per parameter, alive until the statement has run.
    std::vector<QByteArray> data(n);
    std::vector<short> nulls(n, 0);
    for (int i = 0; i < n; ++i) {
        XSQLVAR& v = d.in->sqlvar[i];
        const QVariant& p = params[i];
        v.sqlind = &nulls[i];
        if (p.isNull() || !p.isValid()) {
            // The described type stays; the server reads no data for a null.
            nulls[i] = -1;
            v.sqltype = short(v.sqltype | 1);
            data[i] = QByteArray(std::max<int>(v.sqllen, 0) + 8, '\0');
            v.sqldata = data[i].data();
            continue;
        }
        v.sqlscale = 0;
        v.sqlsubtype = 0;
        switch (p.typeId()) {
        case QMetaType::Bool:
        case QMetaType::Int:
        case QMetaType::UInt:
        case QMetaType::Short:
        case QMetaType::UShort:
        case QMetaType::Char:
        case QMetaType::SChar:
        case QMetaType::UChar:
        case QMetaType::Long:
        case QMetaType::LongLong:
        case QMetaType::ULong:
        case QMetaType::ULongLong: {
            const qlonglong value = p.toLongLong();
            if (value >= std::numeric_limits<ISC_LONG>::min() && value <= std::numeric_limits<ISC_LONG>::max()) {
                const ISC_LONG small = ISC_LONG(value);
                data[i] = QByteArray(reinterpret_cast<const char*>(&small), sizeof small);
                v.sqltype = SQL_LONG | 1;
                v.sqllen = sizeof small;
            } else {
                // Dialect 1 has no 64-bit integers.
                const double big = double(value);
                data[i] = QByteArray(reinterpret_cast<const char*>(&big), sizeof big);
                v.sqltype = SQL_DOUBLE | 1;
                v.sqllen = sizeof big;
            }
            break;
        }
        case QMetaType::Double:
        case QMetaType::Float: {
            const double value = p.toDouble();
            data[i] = QByteArray(reinterpret_cast<const char*>(&value), sizeof value);
            v.sqltype = SQL_DOUBLE | 1;
            v.sqllen = sizeof value;
            break;
        }
        case QMetaType::QDate:
        case QMetaType::QDateTime: {
            const ISC_TIMESTAMP ts = p.typeId() == QMetaType::QDate
                                         ? toTimestamp(p.toDate(), QTime())
                                         : toTimestamp(p.toDateTime().date(), p.toDateTime().time());
            data[i] = QByteArray(reinterpret_cast<const char*>(&ts), sizeof ts);
            v.sqltype = SQL_TIMESTAMP | 1;
            v.sqllen = sizeof ts;
            break;
        }
        default: {
            data[i] = p.typeId() == QMetaType::QByteArray ? p.toByteArray() : p.toString().toUtf8();
            if (data[i].size() > std::numeric_limits<short>::max())
                throw DatabaseError(QStringLiteral("Texto longo demais para um parâmetro"));
            v.sqltype = SQL_TEXT | 1;
            v.sqlsubtype = charsetUtf8;
            v.sqllen = short(data[i].size());
            break;
        }
        }
        v.sqldata = data[i].data();
    }

    ISC_STATUS_ARRAY status;
    XSQLDA* in = n > 0 ? d.in.get() : nullptr;
    if (d.type == isc_info_sql_stmt_select || d.type == isc_info_sql_stmt_select_for_upd) {
        isc_dsql_execute(status, &d.tr.h_->tr, &d.stmt, SQLDA_VERSION1, in);
        check(status);
        d.cursorOpen = true;
    } else if (d.out->sqld > 0) {
        isc_dsql_execute2(status, &d.tr.h_->tr, &d.stmt, SQLDA_VERSION1, in, d.out.get());
        check(status);
        d.singletonPending = true;
    } else {
        isc_dsql_execute(status, &d.tr.h_->tr, &d.stmt, SQLDA_VERSION1, in);
        check(status);
    }
}

bool Statement::next()
{
    Impl& d = *d_;
    if (d.singletonPending) {
        d.singletonPending = false;
        d.haveRow = true;
        return true;
    }
    d.haveRow = false;
    if (!d.cursorOpen)
        return false;
    ISC_STATUS_ARRAY status;
    const ISC_STATUS rc = isc_dsql_fetch(status, &d.stmt, SQLDA_VERSION1, d.out.get());
    if (rc == 100) {
        d.closeCursor();
        return false;
    }
    check(status);
    d.haveRow = true;
    return true;
}

QVariant Statement::value(int column) const
{
    const Impl& d = *d_;
    if (!d.haveRow)
        throw DatabaseError(QStringLiteral("Nenhuma linha corrente"));
    if (column < 0 || column >= d.out->sqld)
        throw DatabaseError(QStringLiteral("Coluna inexistente: %1").arg(column));
    if (d.outNull[column] < 0)
        return QVariant();
    const XSQLVAR& v = d.out->sqlvar[column];
    const char* p = v.sqldata;
    auto scaled = [&](qlonglong raw) -> QVariant {
        if (v.sqlscale < 0)
            return double(raw) / std::pow(10.0, -v.sqlscale);
        return raw;
    };
    switch (d.outTypes[column]) {
    case SQL_TEXT: {
        QString text = QString::fromUtf8(p, v.sqllen);
        while (text.endsWith(QLatin1Char(' ')))
            text.chop(1);
        return text;
    }
    case SQL_VARYING: {
        short len;
        std::memcpy(&len, p, sizeof len);
        return QString::fromUtf8(p + 2, len);
    }
    case SQL_SHORT: {
        short value;
        std::memcpy(&value, p, sizeof value);
        return v.sqlscale < 0 ? scaled(value) : QVariant(int(value));
    }
    case SQL_LONG: {
        ISC_LONG value;
        std::memcpy(&value, p, sizeof value);
        return v.sqlscale < 0 ? scaled(value) : QVariant(int(value));
    }
    case SQL_INT64: {
        ISC_INT64 value;
        std::memcpy(&value, p, sizeof value);
        return scaled(value);
    }
    case SQL_FLOAT: {
        float value;
        std::memcpy(&value, p, sizeof value);
        return double(value);
    }
    case SQL_DOUBLE:
    case SQL_D_FLOAT: {
        double value;
        std::memcpy(&value, p, sizeof value);
        return value;
    }
    case SQL_TIMESTAMP: {
        ISC_TIMESTAMP value;
        std::memcpy(&value, p, sizeof value);
        return QDateTime(toDate(value.timestamp_date), toTime(value.timestamp_time));
    }
    case SQL_TYPE_DATE: {
        ISC_DATE value;
        std::memcpy(&value, p, sizeof value);
        return toDate(value);
    }
    case SQL_TYPE_TIME: {
        ISC_TIME value;
        std::memcpy(&value, p, sizeof value);
        return toTime(value);
    }
    case SQL_BOOLEAN:
        return *p != 0;
    default:
        throw DatabaseError(QStringLiteral("Tipo de coluna não suportado: %1 (coluna %2)")
                                .arg(d.outTypes[column])
                                .arg(columnName(column)));
    }
}

// ---------------------------------------------------------------------- SQL scripts

namespace {

// One statement of a script: its text from the first character that is not blank or
// comment, and the same without comments, for recognising isql's own commands.
struct ScriptStatement {
    QString text;
    QString bare;
};

class ScriptReader {
public:
    explicit ScriptReader(const QString& script) : s_(script) {}

    void setTerminator(const QString& term) { term_ = term; }

    // False at the end of the script.
    bool next(ScriptStatement& out)
    {
        out = ScriptStatement();
        int start = -1;
        while (pos_ < s_.size()) {
            const QChar c = s_[pos_];
            if (c == QLatin1Char('-') && s_.mid(pos_, 2) == QLatin1String("--")) {
                const int end = s_.indexOf(QLatin1Char('\n'), pos_);
                pos_ = end < 0 ? s_.size() : end + 1;
                out.bare += QLatin1Char(' ');
                if (start >= 0)
                    out.text += QLatin1Char('\n');
                continue;
            }
            if (c == QLatin1Char('/') && s_.mid(pos_, 2) == QLatin1String("/*")) {
                const int end = s_.indexOf(QLatin1String("*/"), pos_ + 2);
                pos_ = end < 0 ? s_.size() : end + 2;
                out.bare += QLatin1Char(' ');
                if (start >= 0)
                    out.text += QLatin1Char(' ');
                continue;
            }
            if (s_.mid(pos_, term_.size()) == term_) {
                pos_ += term_.size();
                if (start >= 0) {
                    out.text = out.text.trimmed();
                    out.bare = out.bare.simplified();
                    return true;
                }
                continue;  // an empty statement
            }
            if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
                const int end = s_.indexOf(c, pos_ + 1);
                const int stop = end < 0 ? s_.size() : end + 1;
                const QString quoted = s_.mid(pos_, stop - pos_);
                if (start < 0)
                    start = pos_;
                out.text += quoted;
                out.bare += quoted;
                pos_ = stop;
                continue;
            }
            if (start < 0 && !c.isSpace())
                start = pos_;
            if (start >= 0)
                out.text += c;
            out.bare += c;
            ++pos_;
        }
        // A last statement without terminator.
        out.text = out.text.trimmed();
        out.bare = out.bare.simplified();
        return !out.bare.isEmpty();
    }

private:
    const QString& s_;
    QString term_ = QStringLiteral(";");
    int pos_ = 0;
};

}  // namespace

void runScript(Database& db, const QString& script)
{
    static const QRegularExpression setTerm(QStringLiteral("^SET\\s+TERM\\s+(\\S+)$"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression ignored(QStringLiteral("^SET\\s+(SQL\\s+DIALECT|NAMES|AUTODDL)\\b"),
                                            QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression commit(QStringLiteral("^COMMIT(\\s+WORK)?$"),
                                           QRegularExpression::CaseInsensitiveOption);
    static const QRegularExpression rollback(QStringLiteral("^ROLLBACK(\\s+WORK)?$"),
                                             QRegularExpression::CaseInsensitiveOption);

    Transaction tr(db);
    ScriptReader reader(script);
    ScriptStatement st;
    while (reader.next(st)) {
        if (const auto m = setTerm.match(st.bare); m.hasMatch()) {
            reader.setTerminator(m.captured(1));
        } else if (ignored.match(st.bare).hasMatch()) {
            continue;
        } else if (commit.match(st.bare).hasMatch()) {
            tr.commit();
            tr.start();
        } else if (rollback.match(st.bare).hasMatch()) {
            tr.rollback();
            tr.start();
        } else {
            try {
                tr.executeImmediate(st.text);
            } catch (const DatabaseError& e) {
                throw DatabaseError(e.message() + QStringLiteral("\nno comando: ") + st.text.left(200).simplified(),
                                    e.code());
            }
        }
    }
    tr.commit();
}

}  // namespace db::fb
