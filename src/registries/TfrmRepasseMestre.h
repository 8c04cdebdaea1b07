#pragma once
// "Repasse Padrão": the standard transfer rates of a year of competence, federal,
// state and municipal, in reais per inhabitant; one row per year.
#include "forms/TfrmModeloEdicao.h"

namespace ui {
class DbComboBox;
class DbEdit;
}  // namespace ui

class TfrmRepasseMestre : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmRepasseMestre(QWidget* owner = nullptr);

    ui::DbComboBox* DBBoxAno;
    ui::DbEdit* DBEdit1;
    ui::DbEdit* DBEdit2;
    ui::DbEdit* DBEdit3;

    static constexpr int primeiroAno = 2000;
    static constexpr int ultimoAnoListado = 2005;
};
