#pragma once
// "Valor Total de Medicamentos Adquiridos": per month, what a municipality (none chosen:
// the state's own rows) spent on the minimum list and on the other pacted medications.
#include "reports/TFormSelecaoModelo.h"

class TFormSelCompraMedTotal : public TFormSelecaoModelo {
    Q_OBJECT
public:
    explicit TFormSelCompraMedTotal(QWidget* owner = nullptr);
    void BbtImprimeClick() override;
};
