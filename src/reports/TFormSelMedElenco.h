#pragma once
// "Relatório Descritivo de Aquisição de Equipamentos": the purchase description of a
// state, a municipality (none: the state's own rows, municipality 0) and a range of
// months, optionally of one medication.
#include "reports/TFormSelecaoModelo.h"

#include <QVariant>

class TFormSelMedElenco : public TFormSelecaoModelo {
    Q_OBJECT
public:
    explicit TFormSelMedElenco(QWidget* owner = nullptr);

    QLabel* Label4;  // "Medicamento"
    ui::DbLookupComboBox* DBLookupComboBox1;

    // The chosen medication's key; null when none is chosen.
    QVariant Medicamento() const;

    // Opens the medication list after the template's; FormClose closes it.
    void FormShow() override;
    void FormClose() override;
    void BbtImprimeClick() override;
};

