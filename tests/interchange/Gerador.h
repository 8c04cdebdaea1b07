#pragma once
// Interchange files of a whole year for many municipalities (up to 5,570), for the reliability test
// and the import benchmark. Every value of version v is recognisable: header balances
// are v, detail totals v * 1000 + month, and a month of version v has 1 + v % 3 times
// the base number of detail rows.
#include <QString>
#include <QStringList>

namespace gerador {

struct Ano {
    int municipios = 100;
    int linhasExecucao = 3;   // base rows per month
    int linhasDocumentos = 2;
    int versao = 0;
    int meses = 12;  // months 1 to this
};

// Writes four files per municipality into pasta and returns their paths; the rows.
QStringList escreve(const QString& pasta, const Ano& ano, qint64* linhas = nullptr);

// The municipalities used, real ones of the reference table (the interchange checks them):
// Minas Gerais's 853 first, then the other states', each in code order.
struct Cidade {
    int codigo = 0;  // CO_SEQ_CIDADE, seven digits
    QString uf;
};
Cidade cidade(int i);

}  // namespace gerador
