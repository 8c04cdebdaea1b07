#pragma once
// What still refers to a medication or a pact modality, and the refusals that keep
// those references whole: a code that follow-up lines, a state's agreed list or pacts
// use is neither changed nor deleted, for they would no longer find it (they would
// drop out of the totals, the reports and the incentive).
#include "rules/Falha.h"

#include <QString>
#include <QStringList>
#include <QVariant>

namespace db {
class Connection;
}

namespace registros {

struct UsoMedicamento {
    int lancamentos = 0;  // follow-up lines ("Execução Física") of any municipality and month
    QStringList ufs;      // states whose agreed list holds it, in order
    bool emUso() const { return lancamentos > 0 || !ufs.isEmpty(); }
};
UsoMedicamento usoDoMedicamento(db::Connection& connection, const QVariant& codigo);

struct UsoModalidade {
    int pactos = 0;     // municipalities' pacts of any year
    QStringList anos;   // their years, in order
    bool emUso() const { return pactos > 0; }
};
UsoModalidade usoDaModalidade(db::Connection& connection, const QVariant& codigo);

// Each refuses the change (on the code's column) with a message that says what still
// uses the code, or gives nothing when it may go on. A code that was not changed (or a
// new record, without an old code) is never refused.
rules::Falhou recusaAlteracaoDoCodigo(db::Connection& connection, const QVariant& codigoAntigo, const QVariant& codigoNovo);
rules::Falhou recusaExclusaoDoMedicamento(db::Connection& connection, const QVariant& codigo, const QString& nome);
rules::Falhou recusaAlteracaoDaModalidade(db::Connection& connection, const QVariant& codigoAntigo, const QVariant& codigoNovo);
rules::Falhou recusaExclusaoDaModalidade(db::Connection& connection, const QVariant& codigo);

}  // namespace registros
