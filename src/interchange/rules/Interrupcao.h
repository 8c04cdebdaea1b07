#pragma once
// The mark an import leaves beside a database of the embedded engine while it writes. The
// embedded engine runs inside the importing process: a process killed in the middle of a
// write may leave the engine's pages of the tables' indices half written. The mark is made
// before the first write and removed when the import ends (whatever it loaded); one found
// at the start of another import, or by `korva-db verifica`, says that an import stopped
// without ending and the indices of the interchange tables are to be rebuilt
// (`korva-db verifica --corrige`). A database on a server gets none: a client that
// stops does not stop the server.
#include <QString>
#include <QStringList>

namespace interchange {

// The mark's file for database: "<database>.importando" beside the file; empty for a
// database on a server.
QString arquivoDaMarca(const QString& database);

// Whether an import into database stopped without ending.
bool importacaoInterrompida(const QString& database);

// Removes the mark (after the indices were rebuilt). Returns false when it stays.
bool removeMarca(const QString& database);

// The tables whose indices an interrupted import may leave damaged: the four interchange
// tables.
QStringList tabelasDaImportacao();

// Made for the length of an import. A mark already there (an earlier import stopped without
// ending, nothing rebuilt since) stays when this one ends: only what made it removes it.
class MarcaDeImportacao {
public:
    explicit MarcaDeImportacao(const QString& database);
    ~MarcaDeImportacao();
    MarcaDeImportacao(const MarcaDeImportacao&) = delete;
    MarcaDeImportacao& operator=(const MarcaDeImportacao&) = delete;
    // There before this import began.
    bool anterior() const { return anterior_; }

private:
    QString arquivo_;
    bool anterior_ = false;
    bool feita_ = false;
};

}  // namespace interchange
