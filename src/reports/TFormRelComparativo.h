#pragma once
// "Comparativo de preços por Medicamento": per purchase of the chosen medication, the
// state, the municipality, the month and the unit price with six decimals; in a
// municipal installation by increasing unit price. No totals. Nothing to print: no page.
#include "reports/TFormRelModelo.h"

#include "db/Dataset.h"

class TFormSelComparativo;

class TFormRelComparativo : public TFormRelModelo {
    Q_OBJECT
public:
    // Builds and opens IBQuery1 from the selection window's choice and the installation.
    explicit TFormRelComparativo(TFormSelComparativo* selecao);
    ~TFormRelComparativo() override;  // closes IBQuery1

    db::Dataset IBQuery1;
    report::DatasetSource FonteIBQuery1;

    report::Label* QRPeriodo;      // the period caption
    report::Label* QrMedicamento;  // "Medicamento : " and the name
};
