#pragma once
// What a selection window chose for a report, and the query parameters every report
// takes from it.
#include <QString>
#include <optional>

namespace db {
class Dataset;
}

namespace relatorios {

struct Selecao {
    QString ano;                 // the parameters' year of competence
    QString uf;                  // the chosen state
    std::optional<int> cidade;   // the chosen municipality; none chosen: nothing
    int mesInicio = 1;           // 1 to 12; the first may come after the last
    int mesFim = 12;
};

// Masks the reports print their amounts with.
namespace mascaras {
inline const QString valor = QStringLiteral("###,###,##0.00");
inline const QString valorLongo = QStringLiteral("###,###,###,##0.00");
inline const QString quantidade = QStringLiteral("###,###,##0");
inline const QString unitario = QStringLiteral("###,###,##0.00######");
inline const QString unitarioComparado = QStringLiteral("###,###,##0.000000");
}  // namespace mascaras

// NU_ANO_COMPET and CO_UF as text, NU_MES_COMPET_INICIO and NU_MES_COMPET_FIM as
// integers.
void parametrosComuns(db::Dataset& consulta, const Selecao& selecao);
// CO_CIDADE: the chosen municipality, or 0 when none is chosen, so that only the rows of
// municipality 0 (a state's own follow-up) are read.
void parametroCidadeOuZero(db::Dataset& consulta, const Selecao& selecao);

}  // namespace relatorios
