#pragma once
// "Exceção de Repasse Padrão Estadual": for one year and state, the state rate per
// inhabitant that replaces the standard one for every municipality of the state.
#include "forms/TfrmModeloEdicao.h"

namespace ui {
class DbComboBox;
class DbEdit;
class DbLookupComboBox;
}  // namespace ui

class TfrmExcessaoEstadual : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmExcessaoEstadual(QWidget* owner = nullptr);

    ui::DbComboBox* DBBoxAno;
    ui::DbLookupComboBox* DBBoxEstado;
    ui::DbEdit* DBEdit1;

    void FormShow() override;
    void FormClose() override;

    static constexpr int primeiroAno = 2001;
    static constexpr int ultimoAnoListado = 2005;
};
