#pragma once
// The queries and arithmetic of the reports over the monthly follow-up headers: the
// defaulters (what the pact required of the municipality each month against what it
// allocated, and what commitment documents committed) and the resources allocated
// against the resources spent.
#include "reports/rules/Selecao.h"

#include <QStringList>
#include <QVariant>

namespace relatorios {

// Defaulters: per month with a header and an annual incentive row, one twelfth of the
// municipal incentive (INCENTIVO) and the municipal allocation.
QStringList sqlInadimplentes();
// The committed amount (EMPENHADO) of the master's month: its NU_ANO_COMPET, CO_UF,
// NU_MES_COMPET and CO_CIDADE, taken by name from the master's current row.
QStringList sqlEmpenhado();
void preparaInadimplentes(db::Dataset& meses, db::Dataset& empenhado, const Selecao& selecao);

// An amount in whole cents, rounded as the money masks print it (1,005 is 1,01). Empty
// values count as 0.
qint64 centavos(const QVariant& valor);

// What the month fell short of the required contribution; negative when more was
// allocated. The two amounts are compared as printed, in cents: a twelfth of the year
// has more decimals than an allocation can be typed with. Empty values count as 0.
double inadimplencia(const QVariant& incentivo, const QVariant& alocado);

// The defaulters' four totals, empty values counting as 0: each the sum, in cents, of the
// amounts the lines print, so that a total is the sum of the column above it.
struct TotaisInadimplencia {
    double pactuados = 0;
    double alocados = 0;
    double inadimplencia = 0;
    double empenhados = 0;

    // Adds a month; returns its shortfall.
    double acumula(const QVariant& incentivo, const QVariant& alocado, const QVariant& empenhado);

private:
    qint64 centavosPactuados_ = 0;
    qint64 centavosAlocados_ = 0;
    qint64 centavosEmpenhados_ = 0;
};

// Allocated versus spent: every header of the selection, with or without an annual
// incentive row; the current balance (SALDO_ATUAL) is the previous balance plus the
// three financial allocations less the resources spent (the medications received are
// part of TOTAL_ALOCADO, not of the balance).
QStringList sqlRecAlocGastos();
void preparaRecAlocGastos(db::Dataset& consulta, const Selecao& selecao);

}  // namespace relatorios
