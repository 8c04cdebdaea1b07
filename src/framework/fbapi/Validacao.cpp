#include "fbapi/Validacao.h"

#include "db/DatabaseError.h"
#include "db/EmbeddedEngine.h"
#include "fbapi/FbClient.h"

#include <QFile>
#include <QRegularExpression>

#include <ibase.h>

#include <map>
#include <vector>

namespace db::fb {

namespace {

// The validation's "Summary of validation errors" (message 24 of gfix's facility): the engine
// gives its counts as the status of the service, one "Number of ... : n" message each.
constexpr ISC_STATUS resumoDaValidacao = 335740952L;

QStringList texto(const ISC_STATUS* status)
{
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromUtf8(buffer).trimmed();
    return lines;
}

bool falhou(const ISC_STATUS* status)
{
    return status[0] == 1 && status[1] != 0;
}

void check(const ISC_STATUS* status)
{
    if (falhou(status))
        throw DatabaseError(texto(status).join(QLatin1Char('\n')), int(isc_sqlcode(status)));
}

// Takes the counts from the validation's summary; false when status is another failure.
bool resumo(const ISC_STATUS* status, ResultadoValidacao& r)
{
    if (status[1] != resumoDaValidacao)
        return false;
    static const QRegularExpression contagem(QStringLiteral("^Number of (.+?)\\s*:\\s*(\\d+)$"));
    for (const QString& l : texto(status)) {
        r.linhas << l;
        const QRegularExpressionMatch m = contagem.match(l);
        if (!m.hasMatch())
            continue;
        if (m.captured(1).endsWith(QLatin1String("warnings")))
            r.avisos += m.captured(2).toInt();
        else
            r.erros += m.captured(2).toInt();
    }
    return true;
}

void addString(QByteArray& spb, char item, const QByteArray& value, bool wide)
{
    if (value.size() > (wide ? 65535 : 255))
        throw DatabaseError(QStringLiteral("Parâmetro do serviço longo demais"));
    spb.append(item);
    spb.append(char(value.size() & 0xFF));
    if (wide)
        spb.append(char(value.size() >> 8));
    spb.append(value);
}

// The services manager that serves database, and the database's name as it knows it:
// "service_mgr" and the path for a file of the embedded engine; "host:service_mgr" and the
// server's path for host:/path (or host/port:/path). A drive letter (C:\...) is no host.
std::pair<QByteArray, QByteArray> servico(const QString& database)
{
    static const QRegularExpression remoto(QStringLiteral("^([^:/\\\\]{2,}(?:/[0-9A-Za-z]+)?):(.+)$"));
    const QRegularExpressionMatch m = remoto.match(database);
    if (m.hasMatch())
        return {m.captured(1).toUtf8() + ":service_mgr", m.captured(2).toUtf8()};
    return {QByteArrayLiteral("service_mgr"), QFile::encodeName(database)};
}

}  // namespace

ResultadoValidacao valida(const QString& database, const QString& user, const QString& password)
{
    prepareEmbeddedEngine();
    const auto [gerente, nome] = servico(database);

    QByteArray spb;
    spb.append(char(isc_spb_version));
    spb.append(char(isc_spb_current_version));
    addString(spb, isc_spb_user_name, user.toUtf8(), false);
    addString(spb, isc_spb_password, password.toUtf8(), false);
    ISC_STATUS_ARRAY status;
    isc_svc_handle svc = 0;
    isc_service_attach(status, 0, gerente.constData(), &svc, short(spb.size()), spb.constData());
    check(status);
    struct Desliga {
        isc_svc_handle& h;
        ~Desliga()
        {
            ISC_STATUS_ARRAY s;
            isc_service_detach(s, &h);
        }
    } desliga{svc};

    QByteArray pedido;
    pedido.append(char(isc_action_svc_repair));
    addString(pedido, isc_spb_dbname, nome, true);
    pedido.append(char(isc_spb_options));
    // check_db: read only (gfix -n), the validation mends nothing.
    const quint32 opcoes = isc_spb_rpr_validate_db | isc_spb_rpr_full | isc_spb_rpr_check_db;
    for (int i = 0; i < 4; ++i)
        pedido.append(char((opcoes >> (8 * i)) & 0xFF));
    // The embedded engine may run the validation within the start and answer with the start
    // of its summary; the query then gives the whole of it.
    ResultadoValidacao r;
    isc_service_start(status, &svc, nullptr, short(pedido.size()), pedido.constData());
    if (falhou(status) && !resumo(status, r))
        check(status);

    // Whatever else the service says, a line at a time, until it has no more.
    const char pergunta[] = {isc_info_svc_line};
    std::vector<char> resposta(16384);
    for (bool fim = false; !fim;) {
        isc_service_query(status, &svc, nullptr, 0, nullptr, sizeof pergunta, pergunta, short(resposta.size()),
                          resposta.data());
        if (falhou(status)) {
            ResultadoValidacao inteiro;
            if (resumo(status, inteiro))
                return inteiro;
            check(status);
        }
        const char* p = resposta.data();
        const char* const limite = p + resposta.size();
        if (*p != isc_info_svc_line || p + 3 > limite)
            break;
        const int n = int(isc_vax_integer(p + 1, 2));
        if (n == 0 || p + 3 + n > limite) {
            fim = true;
        } else {
            r.linhas << QString::fromUtf8(p + 3, n).trimmed();
        }
    }
    return r;
}

QStringList reconstroiIndices(Database& db, const QStringList& tabelas)
{
    Transaction tr(db);
    struct Indice {
        QString nome;
        QString tabela;
        QString restricao;  // the primary key or unique constraint it serves, if any
        QString tipo;
        QStringList colunas;
    };
    std::vector<Indice> indices;
    {
        Statement s(tr, QStringLiteral(
                            "select trim(i.RDB$INDEX_NAME), trim(i.RDB$RELATION_NAME), trim(c.RDB$CONSTRAINT_NAME), "
                            "trim(c.RDB$CONSTRAINT_TYPE) from RDB$INDICES i "
                            "left join RDB$RELATION_CONSTRAINTS c on c.RDB$INDEX_NAME = i.RDB$INDEX_NAME "
                            "and c.RDB$CONSTRAINT_TYPE in ('PRIMARY KEY', 'UNIQUE') "
                            "where i.RDB$RELATION_NAME = ? and coalesce(i.RDB$INDEX_INACTIVE, 0) = 0 "
                            "and coalesce(i.RDB$SYSTEM_FLAG, 0) = 0 order by 1"));
        for (const QString& t : tabelas) {
            s.execute({t});
            while (s.next())
                indices.push_back(Indice{s.value(0).toString(), s.value(1).toString(), s.value(2).toString(),
                                         s.value(3).toString(), {}});
        }
        Statement c(tr, QStringLiteral("select trim(RDB$FIELD_NAME) from RDB$INDEX_SEGMENTS where RDB$INDEX_NAME = ? "
                                       "order by RDB$FIELD_POSITION"));
        for (Indice& i : indices) {
            c.execute({i.nome});
            while (c.next())
                i.colunas << c.value(0).toString();
        }
    }
    // Names from the engine's own catalogue, spliced into DDL (which takes no parameters).
    // Dialect 1 has no quoted names: a name that is not a plain one is refused.
    static const QRegularExpression simples(QStringLiteral("^[A-Z][A-Z0-9_$]*$"));
    const auto q = [](const QString& nome) {
        if (!simples.match(nome).hasMatch())
            throw DatabaseError(QStringLiteral("Nome que não pode ser escrito em dialeto 1: %1").arg(nome));
        return nome;
    };
    QStringList feitos;
    for (const Indice& i : indices) {
        if (i.restricao.isEmpty()) {
            tr.executeImmediate(QStringLiteral("ALTER INDEX %1 INACTIVE").arg(q(i.nome)));
            tr.executeImmediate(QStringLiteral("ALTER INDEX %1 ACTIVE").arg(q(i.nome)));
        } else {
            QStringList colunas;
            for (const QString& c : i.colunas)
                colunas << q(c);
            tr.executeImmediate(QStringLiteral("ALTER TABLE %1 DROP CONSTRAINT %2").arg(q(i.tabela), q(i.restricao)));
            tr.executeImmediate(QStringLiteral("ALTER TABLE %1 ADD CONSTRAINT %2 %3 (%4) USING INDEX %5")
                                    .arg(q(i.tabela), q(i.restricao), i.tipo, colunas.join(QLatin1Char(',')), q(i.nome)));
        }
        feitos << i.nome;
    }
    tr.commit();
    return feitos;
}

}  // namespace db::fb
