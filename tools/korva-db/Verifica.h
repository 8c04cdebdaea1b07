#pragma once
// korva-db verifica: the engine's full validation of a database and, with --corrige, the
// rebuilding of the indices of the tables an import writes.
#include <QString>
#include <QStringList>

namespace verifica {

// korva-db verifica [--database CAMINHO] [--corrige]. Exit 0: the database is valid (after
// the rebuilding, with --corrige); 1: the validation found errors (that the rebuilding did
// not mend, with --corrige); 2: wrong use, or a database that cannot be validated.
int executa(const QStringList& args);

// Before an import: when an earlier import into database (a file of the embedded engine)
// stopped without ending, rebuilds the indices of the tables it was writing and says so on
// standard error. False when they could not be rebuilt (the message says why).
bool recuperaImportacaoInterrompida(const QString& database);

}  // namespace verifica
