#pragma once
// What the incentive windows show of the calculated year: the stored rows of one year
// and UF whose municipality has a pact of that year with a known modality, each with its
// total, and the UF's totals.
#include <QStringList>
#include <QVariant>

namespace db {
class Dataset;
}

namespace incentivo {

// The statement, with the parameters ano_compet and co_uf (both text).
QStringList sqlConsulta();

// A row's total: federal + state + municipal, added in that order, an empty share
// counting as zero.
double totalDaLinha(const QVariant& federal, const QVariant& estadual, const QVariant& municipal);

// An amount held at two decimals, rounded half away from zero as the money mask rounds.
double duasCasas(double valor);

// The UF's totals as the windows keep them: each share added row by row, an empty one
// counting as zero, each running total rounded to two decimals after every addition.
struct Totais {
    double federal = 0;
    double estadual = 0;
    double municipal = 0;

    void acumula(const QVariant& vlFederal, const QVariant& vlEstadual, const QVariant& vlMunicipal);
    // Every row of an open dataset with the fields VL_FEDERAL, VL_ESTADUAL and
    // VL_MUNICIPAL, walked from the first; the dataset is left on its first row.
    static Totais daConsulta(db::Dataset& consulta);
};

}  // namespace incentivo
