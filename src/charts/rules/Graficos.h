#pragma once
// What the two pivot windows read: their queries, the label column each one pivots on
// against the states, the value's display format and the window's caption (which is
// also the chart's title and the grid printout's).
#include <QList>
#include <QString>
#include <QStringList>

namespace charts {

struct Grafico {
    QString titulo;
    QString campoRotulo;   // the label column of the query, a dimension of the pivot
    int tamanhoRotulo;     // its width in characters: every label is padded to it
    QString campoUf;       // the other dimension
    QString campoValor;    // summed
    QString formatoValor;  // display mask of the sums
    QStringList sql;       // one :vNu_ano_compet per union member
};

inline const QString parametroAno = QStringLiteral("vNu_ano_compet");

// The invoices ('N') of the year among the proof-of-expenditure documents, summed by
// state and payee type, one union member per type.
const Grafico& graficoFonteComprovacao();
// The medications bought in the year, summed by state for those of the minimum list
// ('S') and for the others ('N'); a medication marked neither way is in neither sum.
const Grafico& graficoAplicacaoRecursos();

// The payee types '1' to '5' with their labels, in the order of the union.
struct Favorecido {
    QString tipo;
    QString rotulo;
};
const QList<Favorecido>& favorecidos();

}  // namespace charts
