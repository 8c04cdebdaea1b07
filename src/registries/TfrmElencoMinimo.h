#pragma once
// "Relação Pactuada de Medicamentos": the medications the follow-up can record, each
// with its code, its name and whether it belongs to the minimum list. A code that
// follow-up lines or a state's agreed list use is neither changed nor deleted.
#include "forms/TfrmModeloEdicao.h"

namespace ui {
class DbEdit;
class DbRadioGroup;
}  // namespace ui

class TfrmElencoMinimo : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmElencoMinimo(QWidget* owner = nullptr);

    ui::DbEdit* dbeDS_MEDICAMENTO;
    ui::DbEdit* dbeCO_SEQ_MEDICAMENTO;
    ui::DbRadioGroup* DBRadioGroup2;

    void BbtInserirClick() override;
    void BbtExcluirClick() override;
    void BbtGravarClick() override;
};
