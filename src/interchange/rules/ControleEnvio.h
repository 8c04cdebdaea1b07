#pragma once
// The statements of the shipment control: the month headers of a year with their
// closing and sending dates, for one municipality or for a whole UF.
#include <QStringList>

namespace interchange {

// One municipality (:ano_compet, :co_uf, :co_cidade), month by month.
QStringList sqlControleEnvioMunicipio();
// Every municipality of a UF (:ano_compet, :co_uf), month by month and within a month
// by name; a header whose municipality is missing from the city table still appears.
QStringList sqlControleEnvioUf();

}  // namespace interchange
