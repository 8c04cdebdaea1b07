#pragma once
// "Controle de Fechamento e Envio de Dados": the month headers of the installation's
// year with their closing and sending dates, for its own municipality or, in a state
// installation, for a chosen UF and optionally one municipality.
#include "forms/TfrmModeloEdicao.h"

class QLabel;

namespace ui {
class DbGrid;
class DbLookupComboBox;
}  // namespace ui

class TfrmControleEnvio : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmControleEnvio(QWidget* owner = nullptr);
    ~TfrmControleEnvio() override;

    QLabel* Label1;  // "Estado"
    ui::DbLookupComboBox* LookUpUF;
    QLabel* Label2;  // "Município"
    ui::DbLookupComboBox* DBLookupMunicipio;
    ui::DbGrid* DBGrid2;

    db::Dataset QryConsulta;
    db::DataSource DsQryConsulta;

    void FormShow() override;
    void BbtPesquisarClick() override;
    virtual void LookUpUFClick();

private:
    bool municipal_ = false;
};
