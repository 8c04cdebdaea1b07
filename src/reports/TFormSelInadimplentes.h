#pragma once
// "Estados / Municipios Inadimplentes": month by month, what the pact required of a
// municipality (none chosen: the state's own rows) against what it allocated.
#include "reports/TFormSelecaoModelo.h"

class TFormSelInadimplentes : public TFormSelecaoModelo {
    Q_OBJECT
public:
    explicit TFormSelInadimplentes(QWidget* owner = nullptr);
    void BbtImprimeClick() override;
};
