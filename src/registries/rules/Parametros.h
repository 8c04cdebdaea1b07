#pragma once
// The checks every save of the parameter record goes through, whichever control led to it.
#include "rules/Falha.h"

#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

namespace registros {

// The parameter record as the user confirms it. A municipality of 0 or none makes a state
// installation.
struct ParametrosDigitados {
    QVariant ano;
    QVariant uf;
    QVariant cidade;
};

// Why the record cannot be saved, on the column at fault; nothing when it can: a year is
// required ("Informe o Ano de Competência"), and a municipality must be one of the chosen
// state.
rules::Falhou recusaParametros(db::Connection& connection, const ParametrosDigitados& p);

}  // namespace registros
