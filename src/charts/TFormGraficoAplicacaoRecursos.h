#pragma once
// The pivot of the medications bought in the year by state, of the minimum list and the others.
#include "charts/TFormGrafico.h"

class TFormGraficoAplicacaoRecursos : public TFormGrafico {
    Q_OBJECT
public:
    explicit TFormGraficoAplicacaoRecursos(QWidget* owner = nullptr);

    db::Field* IBQuery1RECURSOS;
};
