#pragma once
// "Comparativo de preços por Medicamento": the unit prices paid for one medication (which
// must be chosen). A municipal installation compares its own municipality's prices only:
// the municipality list is disabled.
#include "reports/TFormSelMedElenco.h"

class TFormSelComparativo : public TFormSelMedElenco {
    Q_OBJECT
public:
    explicit TFormSelComparativo(QWidget* owner = nullptr);

    void FormShow() override;
    // Also closes the parameter dataset.
    void FormClose() override;
    void BbtImprimeClick() override;
};

