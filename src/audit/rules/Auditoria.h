#pragma once
// The audit of the months a state received: what in the stored rows of each
// municipality and month does not hold. It reads the year with a few set-based
// statements per table (never one per month) and judges the rows here, with the
// follow-up's own balance rule and closing checks, so that the audit and the closing
// can never disagree about what adds up.
//
// The rules, each finding naming its rule in the words a clerk reads:
//  1. the three closing checks, on every closed or exported month;
//  2. the balance chain: each month's "Saldo Anterior" against what the month before
//     carries forward (the first month against the year's initial balance);
//  3. a closed or exported month whose resources spent exceed its total;
//  4. months missing between the first and the last month received, and months still
//     open;
//  5. documents whose payee identification is no CPF or CNPJ with right check digits;
//  6. the same document (type, payee and number) recorded more than once in the year,
//     in any months or municipalities of the state;
//  7. medication lines whose medication is not agreed for the state, or whose total
//     differs from quantity × unit price by more than a cent;
//  8. an exported month without a sending date.
// Amounts compare in cents, as the windows show them.
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace db {
class Connection;
}

namespace auditoria {

enum class Regra {
    Fechamento = 1,      // 1
    Saldo,               // 2
    GastosExcedem,       // 3
    MesFaltando,         // 4, a month not received between the first and the last
    MesAberto,           // 4, a month received still open
    Identificacao,       // 5
    DocumentoRepetido,   // 6
    MedicamentoForaDaRelacao,  // 7
    ValorTotalLinha,     // 7
    SemDataEnvio,        // 8
};

// The rule's short name, as the summary counts it ("Fechamento do mês", ...).
QString nomeRegra(Regra r);
// The number of the rule in the list above (1 to 8).
int numeroRegra(Regra r);

struct Achado {
    int cidade = 0;      // CO_CIDADE; 0: the state's own follow-up
    QString municipio;   // its name ("Acompanhamento Estadual" for 0)
    int mes = 0;         // 1..12
    Regra regra = Regra::Fechamento;
    QString descricao;   // what does not hold, in the clerk's words
    QString esperado;    // what the rule expected, with its label
    QString encontrado;  // what is stored
};

struct Filtro {
    QString ano;                // NU_ANO_COMPET
    QString uf;                 // CO_UF
    std::optional<int> cidade;  // one municipality; none: all of the state's
};

// Where the audit stands: step feito of total, with what it is reading.
struct Progresso {
    int feito = 0;
    int total = 0;
    QString etapa;
};
// Returns false to cancel: the audit stops before its next statement.
using AoProgredir = std::function<bool(const Progresso&)>;

struct Resultado {
    QList<Achado> achados;  // by municipality name, month and rule
    bool cancelada = false;
    QString nomeUf;         // NO_UF of the state
    int municipios = 0;     // municipalities (and the state itself) with months received
    int meses = 0;          // month headers read
    // The municipalities with findings.
    int municipiosComAchados() const;
    // The summary: what was read, the findings by rule and by municipality.
    QString resumo(const Filtro& filtro) const;
};

// Audits the year of the state (of one municipality with filtro.cidade). Reads only.
// Database errors pass on (db::DatabaseError).
Resultado audita(db::Connection& connection, const Filtro& filtro, const AoProgredir& aoProgredir = {});

// The columns of a finding as the grid, the report and the files show them.
QStringList colunas();
// A finding's texts in those columns: municipality, month name, rule, expected, found.
QStringList textos(const Achado& a);
// The findings for a spreadsheet: a header line and one line per finding, fields
// separated by ';' and quoted where needed, lines ending in CRLF.
QString csv(const QList<Achado>& achados);
// The same with tabs, as a spreadsheet takes them from the clipboard.
QString tabulado(const QList<Achado>& achados);

struct Municipio {
    int codigo = 0;  // CO_SEQ_CIDADE
    QString nome;
};
// The state's municipalities, by name, for the choice of one.
QList<Municipio> municipios(db::Connection& connection, const QString& uf);

// "1 município", "2 municípios".
QString contaMunicipios(qsizetype n);

// The name a finding gives the state's own follow-up (municipality 0).
QString nomeAcompanhamentoEstadual();

}  // namespace auditoria
