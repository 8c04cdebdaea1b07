#pragma once
// The consultation of a follow-up, which shows a month and changes nothing: its own
// total, and the follow-ups a state installation can look at.
#include "tracking/rules/Saldo.h"

#include <QList>
#include <QString>

namespace db {
class Connection;
}

namespace tracking {

// "Total (+)" as the consultation shows it: the balance brought forward, the three
// allocations and the medications received. The investment income is shown beside them
// but not added, so that "Saldo Atual (=)", this total less the spending, is the balance
// the month carries into the next one.
double totalConsulta(const Valores& v);
double saldoAtualConsulta(const Valores& v);

// A municipality whose months a state installation received.
struct Municipio {
    int cidade = 0;  // CO_SEQ_CIDADE
    QString nome;    // its code when TB_CIDADE does not know it
};

// The municipalities of the UF (never the state itself, municipality 0) that have a
// month header in the year, by name.
QList<Municipio> municipiosComMovimento(db::Connection& connection, const QString& ano, const QString& uf);

}  // namespace tracking
