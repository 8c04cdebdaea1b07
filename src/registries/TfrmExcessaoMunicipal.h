#pragma once
// "Exceção de Repasse Padrão Municipal": for one year, state and municipality, the
// municipal rate per inhabitant that replaces the standard one for that municipality.
#include "forms/TfrmModeloEdicao.h"

namespace ui {
class DbComboBox;
class DbEdit;
class DbLookupComboBox;
}  // namespace ui

class TfrmExcessaoMunicipal : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmExcessaoMunicipal(QWidget* owner = nullptr);

    ui::DbComboBox* DBBoxAno;
    ui::DbLookupComboBox* DBBoxEstado;
    ui::DbLookupComboBox* DBBoxMunicipio;
    ui::DbEdit* DBEdit1;

    void FormShow() override;
    void FormClose() override;
    void BbtGravarClick() override;

    static constexpr int primeiroAno = 2001;
    static constexpr int ultimoAnoListado = 2005;
};
