#pragma once
// "Parâmetros do Sistema": the installation's single parameter record (acronym, name,
// report header lines, update path, and the year, state and municipality that place the
// whole program). A record without a municipality makes a state installation.
#include "forms/TfrmModeloEdicao.h"

class QLabel;

namespace ui {
class DbComboBox;
class DbEdit;
class DbLookupComboBox;
class PageControl;
}  // namespace ui

class TfrmParametros : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmParametros(QWidget* owner = nullptr);
    ~TfrmParametros() override;

    ui::PageControl* PageControl1;
    QWidget* tbsGeral;
    QWidget* tbsVersao;
    ui::DbEdit* DBEdit1;
    ui::DbEdit* DBEdit2;
    ui::DbEdit* DBEdit3;
    ui::DbEdit* DBEdit4;
    ui::DbEdit* DBEdit5;
    ui::DbEdit* DBEdit6;
    ui::DbLookupComboBox* DBBoxEstado;
    ui::DbLookupComboBox* DBBoxMunicipio;
    ui::DbComboBox* DBBoxAno;

    // The municipalities of the parameter record's state that have a pact, one entry
    // per pact row, by name.
    db::Dataset TB_Cidade;
    db::DataSource DsTB_Cidade;
    db::Field* TB_CidadeCO_SEQ_CIDADE;
    db::Field* TB_CidadeNO_CIDADE;

    void FormShow() override;
    void FormClose() override;
    void BbtInserirClick() override;
    void BbtGravarClick() override;
    virtual void DBBoxEstadoClick();

    // The first year the window offers, and the last one it always offers.
    static constexpr int primeiroAno = 2001;
    static constexpr int ultimoAnoListado = 2005;
};
