#pragma once
// "Modalidades de Pactuação": the pact modalities, a three-character code and its
// description. A modality that pacts use keeps its code and is not deleted.
#include "forms/TfrmModeloEdicao.h"

namespace ui {
class DbEdit;
}

class TfrmFormasPactuacao : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmFormasPactuacao(QWidget* owner = nullptr);

    ui::DbEdit* DBEdit1;
    ui::DbEdit* DBEdit2;

    void BbtExcluirClick() override;
    void BbtGravarClick() override;
};
