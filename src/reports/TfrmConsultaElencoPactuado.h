#pragma once
// "Elencos Pactuados": the medications the installation's state has pacted, read once
// when the window is shown, in a read-only grid; "&Imprimir (F7)" prints the list and
// "&Sair (F10)" closes. Nothing in it can be edited: the template's editing buttons are
// hidden, and their keys with them.
#include "forms/TfrmModeloEdicao.h"

class QFrame;

class TfrmConsultaElencoPactuado : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmConsultaElencoPactuado(QWidget* owner = nullptr);
    ~TfrmConsultaElencoPactuado() override;

    db::Dataset QryConsulta;
    QFrame* Panel1;  // empty, over the grid
    ui::DbGrid* DBGrid1;

    // The caption gets " - " and the state; the list is read for the parameters' state.
    void FormShow() override;
    // Prints the list.
    void BbtPesquisarClick() override;
};
