#pragma once
// The queries of the medication purchase reports: the purchase description, the price
// comparison for one medication and the total value bought per month. Each prepara...
// function gives a closed dataset its statement, its parameters and, where the report
// reads fields by their formats, its fields; the report window opens it.
#include "reports/rules/Selecao.h"

#include <QStringList>
#include <QVariant>

namespace relatorios {

// Purchase description: every purchase line of the selection, by state, medication and
// month; only the chosen medication's when one is chosen (a null medication: all).
QStringList sqlCompraElenco(bool comMedicamento);
void preparaCompraElenco(db::Dataset& consulta, const Selecao& selecao, const QVariant& medicamento);

// Price comparison of one medication. A state installation lists every row of the
// state, in the database's order, with the name of its municipality where the city
// table has it; a municipal installation orders by unit value and names the municipality
// only when one is chosen. Without a municipality, every municipality of the state.
QStringList sqlComparativo(bool instalacaoEstadual, bool comMunicipio);
void preparaComparativo(db::Dataset& consulta, const Selecao& selecao, bool instalacaoEstadual,
                        const QVariant& medicamento);

// Total value bought: per month of the selection, the minimum-list and the other
// pacted medications.
QStringList sqlCompraMedTotal();
void preparaCompraMedTotal(db::Dataset& consulta, const Selecao& selecao);
// The key of the total-value report's line group: state, municipality and month, so
// that every month starts a line.
QString chaveGrupoTotal(const QVariant& uf, const QVariant& cidade, const QVariant& mes);

}  // namespace relatorios
