#pragma once
// The period a selection window captures and the caption the reports print for it.
#include <QString>

// The months chosen, as the report windows read them: numbers "1" to "12" without a
// leading zero and the names as listed.
struct PeriodoSelecionado {
    QString MesInicio;
    QString MesFim;
    QString NomeMesInicio;
    QString NomeMesFim;
};

// From the 0-based positions in the two month lists. Throws std::invalid_argument for a
// position outside the twelve months.
PeriodoSelecionado CapturaPeriodo(int posicaoInicio, int posicaoFim);

// What a selection window says when the first month comes after the last (a period no
// report can have rows in), naming both; empty when the months are in order.
QString PeriodoInvertido(int posicaoInicio, int posicaoFim);

// "Período : Janeiro à Dezembro de 2002".
QString LegendaPeriodo(const QString& nomeMesInicio, const QString& nomeMesFim, const QString& ano);
