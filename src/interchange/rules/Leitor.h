#pragma once
// Reads an interchange file strictly: Windows-1252 text (or UTF-8, when the file is
// well-formed UTF-8 holding characters beyond ASCII, as a modern editor saves it; every
// character must still be one Windows-1252 holds), a header record naming the
// table's columns in the writer's order, then records of exactly those many values;
// values separated by line feed, records ended by carriage return and line feed. Every
// number and date in the file's own notation. Anything else refuses the whole file
// with the line where it was found: a line is one value, as a text editor shows the
// file (the header names on lines 1 to n, the first row on lines n + 1 to 2n, ...).
#include "interchange/rules/Tabelas.h"

#include <QByteArray>
#include <QHash>
#include <QVariantList>
#include <stdexcept>
#include <vector>

namespace interchange {

struct LinhaLida {
    int linha = 0;         // line of the row's first value
    QVariantList valores;  // one per column, typed; the left-out column is null
};

struct ArquivoLido {
    const TabelaIntercambio* tabela = nullptr;
    std::vector<LinhaLida> linhas;
    bool utf8 = false;  // read as UTF-8
};

// A municipality of the reference table.
struct CidadeConhecida {
    QString uf;
    QString codigoIbge;  // six digits
};

// What the file's name, the installation and the reference tables require of every row;
// what is left empty (or null) is not checked.
struct Conferencia {
    QString uf;         // the UF the file's name begins with
    QString ano;        // the year of the file's name
    QString municipio;  // the municipality of the file's name: its IBGE code, six digits
    // A state installation never takes a state's own follow-up (municipality 0): it is
    // no municipality's, and would replace the installation's own months.
    bool recusaMunicipioZero = false;
    const QHash<QString, bool>* ufs = nullptr;               // the known UFs
    const QHash<int, CidadeConhecida>* cidades = nullptr;  // the known municipalities
};

// What the name of a file requires of its rows: its UF, year and municipality.
Conferencia conferenciaDoNome(const QString& nomeArquivo);

class ErroLeitura : public std::runtime_error {
public:
    ErroLeitura(int linha, const QString& motivo);
    int linha() const { return linha_; }
    QString motivo() const { return motivo_; }
    // "linha 12: ..."
    QString texto() const;

private:
    int linha_;
    QString motivo_;
};

// Throws ErroLeitura.
ArquivoLido leArquivo(const QByteArray& bytes, const TabelaIntercambio& tabela, const Conferencia& conferencia = {});

}  // namespace interchange
