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

void check(const ISC_STATUS* status)
{
    if (status[0] != 1 || status[1] == 0)
        return;
    QStringList lines;
    char buffer[1024];
    const ISC_STATUS* p = status;
    while (fb_interpret(buffer, sizeof buffer, &p) > 0)
        lines << QString::fromUtf8(buffer).trimmed();
    throw DatabaseError(lines.join(QLatin1Char('\n')), int(isc_sqlcode(status)));
}

void addDpbString(QByteArray& dpb, char item, const QByteArray& value)
{
    if (value.size() > 255)
        throw DatabaseError(QStringLiteral("Parâmetro de conexão longo demais"));
    dpb.append(item);
    dpb.append(char(value.size()));
    dpb.append(value);
}

// The counts the validation leaves, as the engine names them in its summary.
struct Contagem {
    char item;
    const char* nome;
    bool aviso;
};
const Contagem contagens[] = {
    {char(isc_info_record_errors), "record level errors", false},
    {char(isc_info_bpage_errors), "blob page errors", false},
    {char(isc_info_dpage_errors), "data page errors", false},
    {char(isc_info_ipage_errors), "index page errors", false},
    {char(isc_info_ppage_errors), "pointer page errors", false},
    {char(isc_info_tpage_errors), "transaction page errors", false},
    {char(isc_info_page_errors), "database page errors", false},
    {char(fb_info_pip_errors), "page inventory page errors", false},
    {char(fb_info_record_warns), "record level warnings", true},
    {char(fb_info_bpage_warns), "blob page warnings", true},
    {char(fb_info_dpage_warns), "data page warnings", true},
    {char(fb_info_ipage_warns), "index page warnings", true},
    {char(fb_info_ppage_warns), "pointer page warnings", true},
    {char(fb_info_tpage_warns), "transaction page warnings", true},
    {char(fb_info_page_warns), "database page warnings", true},
    {char(fb_info_pip_warns), "page inventory page warnings", true},
};

}  // namespace

ResultadoValidacao valida(const QString& database, const QString& user, const QString& password)
{
    prepareEmbeddedEngine();
    // As gfix does it: an attachment that validates the database as it opens it (pages,
    // records and indices; no_update: read only), then asked for the counts.
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    addDpbString(dpb, isc_dpb_user_name, user.toUtf8());
    addDpbString(dpb, isc_dpb_password, password.toUtf8());
    dpb.append(char(isc_dpb_verify));
    dpb.append(char(1));
    dpb.append(char(isc_dpb_pages | isc_dpb_records | isc_dpb_indices | isc_dpb_no_update));
    const QByteArray nome = QFile::encodeName(database);
    ISC_STATUS_ARRAY status;
    isc_db_handle db = 0;
    isc_attach_database(status, short(nome.size()), nome.constData(), &db, short(dpb.size()), dpb.constData());
    check(status);

    QByteArray itens;
    for (const Contagem& c : contagens)
        itens.append(c.item);
    itens.append(char(isc_info_end));
    std::vector<char> resposta(1024);
    isc_database_info(status, &db, short(itens.size()), itens.constData(), short(resposta.size()), resposta.data());
    ISC_STATUS_ARRAY fim;
    if (status[0] == 1 && status[1] != 0) {
        isc_detach_database(fim, &db);
        check(status);
    }
    isc_detach_database(fim, &db);

    ResultadoValidacao r;
    std::map<char, int> valores;
    for (const char* p = resposta.data(), *limite = p + resposta.size(); p + 3 <= limite && *p != isc_info_end;) {
        const char item = *p;
        const int n = int(isc_vax_integer(p + 1, 2));
        if (p + 3 + n > limite)
            break;
        valores[item] = int(isc_vax_integer(p + 3, short(n)));
        p += 3 + n;
    }
    for (const Contagem& c : contagens) {
        const int n = valores[c.item];
        if (n == 0)
            continue;
        r.linhas << QStringLiteral("Number of %1: %2").arg(QLatin1String(c.nome)).arg(n);
        (c.aviso ? r.avisos : r.erros) += n;
    }
    if (!r.linhas.isEmpty())
        r.linhas.prepend(QStringLiteral("Summary of validation errors"));
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
