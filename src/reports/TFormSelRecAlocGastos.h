#pragma once
// "Recursos Alocados x Recursos Gastos": month by month, a municipality's (none chosen:
// the state's own) balances, allocations and spending.
#include "reports/TFormSelecaoModelo.h"

class TFormSelRecAlocGastos : public TFormSelecaoModelo {
    Q_OBJECT
public:
    explicit TFormSelRecAlocGastos(QWidget* owner = nullptr);
    void BbtImprimeClick() override;
};
