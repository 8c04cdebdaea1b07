#pragma once
// "Consulta Acompanhamento Municipal" (or "Estadual"): any month of the year's follow-up
// that has a header, whatever its state, on the follow-up's four pages, with nothing to
// type and nothing written. Its "Total (+)" leaves the investment income out, so that
// "Saldo Atual (=)" is the balance the month carries forward.
//
// A state installation also looks at the months it received from its municipalities:
// "Identificação" offers the state's own follow-up (chosen at opening) and every
// municipality of the UF with months in the year.
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "forms/TfrmModeloPage.h"
#include "tracking/PaginasAcompanhamento.h"
#include "tracking/rules/Acompanhamento.h"

class QComboBox;
class QLabel;

class TfrmConsultaExecucaoMunicipal : public TfrmModeloPage {
    Q_OBJECT
public:
    explicit TfrmConsultaExecucaoMunicipal(QWidget* owner = nullptr);
    ~TfrmConsultaExecucaoMunicipal() override;

    // The four pages, owned by the window.
    PaginasAcompanhamento* paginas = nullptr;

    // In a state installation: the follow-up shown, the state's own first (0).
    QLabel* LblAcompanhamento;
    QComboBox* CBAcompanhamento;

    // The municipality shown, with its pact (any year) when it has one.
    db::Dataset TB_Cidade;
    // The medications agreed for the UF, which feed the medication list.
    db::Dataset RL_ElencoMinimo_UF;
    db::DataSource DsRL_ElencoMinimo_UF;
    // The month's lines with their medication's name and list mark, read only.
    db::Dataset Tb_Execucao_Fisica_Municipio;
    db::DataSource DsTb_Execucao_Fisica_Municipio;
    db::Dataset Tb_Fonte_comprovacao_Municipio;
    db::DataSource DsTb_Fonte_comprovacao_Municipio;

    // A state installation (the parameter record's municipality 0).
    bool estadual() const { return codigoCidade_ == 0; }
    // The municipality whose follow-up is shown (0: the state's own).
    int cidadeConsultada() const { return cidade_; }

    // Handlers of the window.
    void FormCreate() override;
    void FormShow() override;
    void FormClose() override;
    virtual void CBMesChange();
    virtual void CBAcompanhamentoChange();
    virtual void pgEdicaoChange();
    virtual void Acumula_Execucao_Fisica();
    virtual void Acumula_Fonte_Comprovacao();

private:
    void defineDatasets();
    void criaAcompanhamentos();
    void desabilitaEntradas();
    void abreCidade();
    void preencheMeses();
    void limpaMes();

    tracking::Chave chave() const;
    tracking::Acompanhamento acompanhamento() const;
    QString legenda(bool comMes) const;

    int codigoCidade_ = 0;
    int cidade_ = 0;
};
