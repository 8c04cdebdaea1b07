#include "fbservice/Services.h"

#include "db/Connection.h"
#include "db/EmbeddedEngine.h"

#include <QFile>
#include <QRegularExpression>

#include <ibase.h>

#include <algorithm>
#include <vector>

namespace db::fb {

namespace {

QString statusText(const ISC_STATUS* status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromUtf8(buffer);
    return lines.join(QLatin1Char('\n'));
}

void check(const ISC_STATUS* status)
{
    if (status[0] == 1 && status[1] != 0)
        throw DatabaseError(statusText(status), int(isc_sqlcode(status)));
}

// The parameter blocks: the attachment's items take a one-byte length, an action's
// strings a two-byte one and its numbers four bytes, all little-endian.
void addByteString(QByteArray& spb, char item, const QByteArray& value)
{
    if (value.size() > 255)
        throw DatabaseError(QStringLiteral("Parâmetro do gerenciador de serviços longo demais"));
    spb.append(item);
    spb.append(char(value.size()));
    spb.append(value);
}

void addString(QByteArray& spb, char item, const QByteArray& value)
{
    if (value.size() > 65535)
        throw DatabaseError(QStringLiteral("Parâmetro do gerenciador de serviços longo demais"));
    spb.append(item);
    spb.append(char(value.size() & 0xff));
    spb.append(char((value.size() >> 8) & 0xff));
    spb.append(value);
}

void addNumber(QByteArray& spb, char item, quint32 value)
{
    spb.append(item);
    for (int i = 0; i < 4; ++i)
        spb.append(char((value >> (8 * i)) & 0xff));
}

// Unsigned: isc_vax_integer takes the last byte for a sign, and a length of 32 KiB or
// more would come out negative.
int number(const char* p, int length)
{
    quint32 value = 0;
    for (int i = length - 1; i >= 0; --i)
        value = (value << 8) | quint8(p[i]);
    return int(value);
}

// The largest answer a query may take: its length is an unsigned short.
constexpr int answerSize = 65000;

}  // namespace

ServiceTarget serviceTarget(const QString& database)
{
    if (!isServerDatabase(database))
        return {QString(), database};
    static const QRegularExpression url(QStringLiteral("^((?:inet[46]?|wnet)://[^/]+)(/.*)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    if (const auto m = url.match(database); m.hasMatch())
        return {m.captured(1), m.captured(2)};
    // "host:path", "host/port:path", "[v6 address]/port:path": the path follows the first
    // colon after the host (an IPv6 address keeps its colons inside brackets).
    const qsizetype from = database.startsWith(QLatin1Char('[')) ? database.indexOf(QLatin1Char(']')) : 0;
    const qsizetype colon = database.indexOf(QLatin1Char(':'), std::max<qsizetype>(from, 0));
    return {database.left(colon), database.mid(colon + 1)};
}

ServiceManager::ServiceManager(const QString& server, const QString& user, const QString& password)
{
    QString name = QStringLiteral("service_mgr");
    if (server.contains(QLatin1String("://")))
        name = server + QStringLiteral("/service_mgr");
    else if (!server.isEmpty())
        name = server + QStringLiteral(":service_mgr");
    else
        prepareEmbeddedEngine();

    QByteArray spb;
    spb.append(char(isc_spb_version));
    spb.append(char(isc_spb_current_version));
    addByteString(spb, isc_spb_user_name, user.toUtf8());
    addByteString(spb, isc_spb_password, password.toUtf8());
    const QByteArray bytes = name.toUtf8();
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = 0;
    isc_service_attach(status, static_cast<unsigned short>(bytes.size()), bytes.constData(), &handle,
                       static_cast<unsigned short>(spb.size()), spb.constData());
    check(status);
    handle_ = handle;
}

ServiceManager::~ServiceManager()
{
    if (handle_) {
        ISC_STATUS_ARRAY status;
        isc_svc_handle handle = handle_;
        isc_service_detach(status, &handle);
    }
}

void ServiceManager::start(const QByteArray& spb)
{
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = handle_;
    isc_service_start(status, &handle, nullptr, static_cast<unsigned short>(spb.size()), spb.constData());
    check(status);
}

QStringList ServiceManager::lines(const Line& line)
{
    QStringList all;
    const char request[] = {isc_info_svc_line};
    std::vector<char> answer(answerSize);
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_svc_handle handle = handle_;
        isc_service_query(status, &handle, nullptr, 0, nullptr, sizeof request, request,
                          static_cast<unsigned short>(answer.size()), answer.data());
        check(status);
        const char* p = answer.data();
        if (*p != isc_info_svc_line)
            throw DatabaseError(QStringLiteral("Resposta inesperada do gerenciador de serviços"));
        const int length = number(p + 1, 2);
        if (length == 0)
            return all;  // the service has ended
        const QString text = QString::fromUtf8(p + 3, length);
        all << text;
        if (line)
            line(text);
    }
}

void ServiceManager::backup(const QString& database, const Sink& sink)
{
    QByteArray spb;
    spb.append(char(isc_action_svc_backup));
    addString(spb, isc_spb_dbname, QFile::encodeName(database));
    addString(spb, isc_spb_bkp_file, QByteArrayLiteral("stdout"));
    addNumber(spb, isc_spb_options, isc_spb_bkp_no_garbage_collect);
    start(spb);

    const char request[] = {isc_info_svc_to_eof};
    std::vector<char> answer(answerSize);
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_svc_handle handle = handle_;
        isc_service_query(status, &handle, nullptr, 0, nullptr, sizeof request, request,
                          static_cast<unsigned short>(answer.size()), answer.data());
        check(status);
        const char* p = answer.data();
        if (*p != isc_info_svc_to_eof)
            throw DatabaseError(QStringLiteral("Resposta inesperada do gerenciador de serviços"));
        const int length = number(p + 1, 2);
        if (length > 0 && !sink(p + 3, length))
            throw ServiceStopped(QStringLiteral("Cópia interrompida"));
        // An empty answer while the engine is still reading the database is not the end.
        if (length == 0 && !running())
            return;  // the backup has ended, and the engine reported no error
    }
}

bool ServiceManager::running()
{
    const char request[] = {isc_info_svc_running};
    char answer[16] = {};
    ISC_STATUS_ARRAY status;
    isc_svc_handle handle = handle_;
    isc_service_query(status, &handle, nullptr, 0, nullptr, sizeof request, request, sizeof answer, answer);
    check(status);
    if (answer[0] != isc_info_svc_running)
        throw DatabaseError(QStringLiteral("Resposta inesperada do gerenciador de serviços"));
    return number(answer + 1, 4) != 0;
}

void ServiceManager::restore(const Source& source, const QString& database, const Line& line)
{
    QByteArray spb;
    spb.append(char(isc_action_svc_restore));
    addString(spb, isc_spb_bkp_file, QByteArrayLiteral("stdin"));
    addString(spb, isc_spb_dbname, QFile::encodeName(database));
    addNumber(spb, isc_spb_options, isc_spb_res_create);
    spb.append(char(isc_spb_verbose));
    start(spb);

    const char request[] = {isc_info_svc_stdin, isc_info_svc_line};
    std::vector<char> answer(answerSize);
    std::vector<char> chunk(answerSize - 8);
    QByteArray send;
    for (;;) {
        ISC_STATUS_ARRAY status;
        isc_svc_handle handle = handle_;
        isc_service_query(status, &handle, nullptr, static_cast<unsigned short>(send.size()), send.constData(),
                          sizeof request, request, static_cast<unsigned short>(answer.size()), answer.data());
        check(status);
        send.clear();
        int wanted = 0;
        bool ended = true;
        for (const char* p = answer.data(); p < answer.data() + answer.size() && *p != isc_info_end;) {
            const char item = *p++;
            if (item == isc_info_svc_stdin) {
                wanted = number(p, 4);
                p += 4;
                if (wanted > 0)
                    ended = false;
            } else if (item == isc_info_svc_line) {
                const int length = number(p, 2);
                p += 2;
                if (length > 0) {
                    ended = false;
                    if (line)
                        line(QString::fromUtf8(p, length));
                }
                p += length;
            } else if (item == isc_info_data_not_ready || item == isc_info_truncated) {
                ended = false;
            } else {
                throw DatabaseError(QStringLiteral("Resposta inesperada do gerenciador de serviços"));
            }
        }
        if (wanted > 0) {
            const qsizetype n = source(chunk.data(), std::min<qsizetype>(wanted, qsizetype(chunk.size())));
            if (n < 0)
                throw ServiceStopped(QStringLiteral("Restauração interrompida"));
            // An empty line tells the engine its input has ended.
            addString(send, isc_info_svc_line, QByteArray(chunk.data(), int(n)));
        } else if (ended) {
            return;
        }
    }
}

QStringList ServiceManager::validate(const QString& database)
{
    QByteArray spb;
    spb.append(char(isc_action_svc_repair));
    addString(spb, isc_spb_dbname, QFile::encodeName(database));
    addNumber(spb, isc_spb_options, isc_spb_rpr_validate_db | isc_spb_rpr_full);
    start(spb);
    return lines();
}

void ServiceManager::shutdown(const QString& database)
{
    QByteArray spb;
    spb.append(char(isc_action_svc_properties));
    addString(spb, isc_spb_dbname, QFile::encodeName(database));
    spb.append(char(isc_spb_prp_shutdown_mode));
    spb.append(char(isc_spb_prp_sm_full));
    addNumber(spb, isc_spb_prp_attachments_shutdown, 0);
    start(spb);
    lines();
}

void ServiceManager::bringOnline(const QString& database)
{
    QByteArray spb;
    spb.append(char(isc_action_svc_properties));
    addString(spb, isc_spb_dbname, QFile::encodeName(database));
    spb.append(char(isc_spb_prp_online_mode));
    spb.append(char(isc_spb_prp_sm_normal));
    start(spb);
    lines();
}

}  // namespace db::fb
