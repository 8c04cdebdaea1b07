#pragma once
// Reads an interchange file strictly: Windows-1252 text, a header record naming the
// table's columns in the writer's order, then records of exactly those many values;
// values separated by line feed, records ended by carriage return and line feed. Every
// number and date in the file's own notation. Anything else refuses the whole file
// with the line where it was found: a line is one value, as a text editor shows the
// file (the header names on lines 1 to n, the first row on lines n + 1 to 2n, ...).
#include "interchange/rules/Tabelas.h"

#include <QByteArray>
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
};

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
ArquivoLido leArquivo(const QByteArray& bytes, const TabelaIntercambio& tabela);

}  // namespace interchange
