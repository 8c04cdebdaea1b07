#pragma once
// "Acompanhamento Municipal" (or "Estadual"): one month of follow-up at a time. Four
// pages: the month to fill ("Identificação"), its header of money brought forward,
// received, spent and left ("Movimentação Financeira"), the medications bought or
// received ("Execução Física") and the documents proving the expenditure ("Fonte de
// Comprovação"); "&Fecha Movimento" closes the month when its figures agree.
//
// The rules live in tracking/rules and the pages in PaginasAcompanhamento, which the
// consultation shares; the handlers here carry the names the system gives them and stay
// a few lines each.
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "forms/TfrmModeloPage.h"
#include "tracking/PaginasAcompanhamento.h"
#include "tracking/rules/Acompanhamento.h"
#include "tracking/rules/Linhas.h"

#include <QHash>
#include <QVariant>

class TCheckDoc;

class TfrmExecucaoMunicipal : public TfrmModeloPage {
    Q_OBJECT
public:
    explicit TfrmExecucaoMunicipal(QWidget* owner = nullptr);
    ~TfrmExecucaoMunicipal() override;

    // The four pages, owned by the window.
    PaginasAcompanhamento* paginas = nullptr;

    // "&Fecha Movimento".
    QAction* ToolButtonFecha;

    // The municipality of the parameter record that has a pact (any year).
    db::Dataset TB_Cidade;
    // The medication list, for the lookups and the totals.
    db::Dataset TB_Elenco_Minimo;
    // The medications agreed for the UF, offered for a new line.
    db::Dataset RL_ElencoMinimo_UF;
    db::DataSource DsRL_ElencoMinimo_UF;

    // The month's lines, typed here and written by the rules (tracking::Acompanhamento).
    db::Dataset Tb_Execucao_Fisica_Municipio;
    db::DataSource DsTb_Execucao_Fisica_Municipio;

    db::Dataset Tb_Fonte_comprovacao_Municipio;
    db::DataSource DsTb_Fonte_comprovacao_Municipio;

    TCheckDoc* CheckDoc1;

    // The window's state.
    bool SemSaldoInicial = true;
    double SaldoTransportado = 0;
    bool ErroValor = false;

    bool estadual() const { return codigoCidade_ == 0; }

    // Handlers of the window.
    void FormCreate() override;
    void FormShow() override;
    void FormClose() override;
    void BbtInserirClick() override;
    void BbtGravarClick() override;
    void BbtCancelarClick() override;
    void BbtExcluirClick() override;
    virtual void NovaIdentificacao();
    virtual bool pgEdicaoChanging(int from, int to);
    virtual void pgEdicaoChange();
    virtual void EdtSaldoAnteriorChange(ui::MoneyEdit* edit);
    virtual bool GravaMovimentacao();
    virtual void ToolButton1Click();

    // Handlers of the detail pages.
    virtual void DsTb_Execucao_Fisica_MunicipioStateChange();
    virtual void DsTb_Fonte_comprovacao_MunicipioStateChange();
    virtual void Tb_Execucao_Fisica_MunicipioNewRecord(db::Dataset& ds);
    virtual void Tb_Fonte_comprovacao_MunicipioNewRecord(db::Dataset& ds);
    virtual void Tb_Execucao_Fisica_MunicipioAfterPost(db::Dataset& ds);
    virtual void Tb_Fonte_comprovacao_MunicipioAfterPost(db::Dataset& ds);
    virtual void DBEdit1Exit();
    virtual void DBEdit4Exit();
    virtual void DBTipoDocumentoChange();
    virtual void Acumula_Execucao_Fisica();
    virtual void Acumula_Fonte_Comprovacao();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void defineDatasets();
    void ligaPaginas();

    tracking::Chave chave() const;
    tracking::Acompanhamento acompanhamento() const;
    QString legenda(bool comMes) const;
    void iniciaMes();
    void preparaMovimentacao();
    void preparaPaginaDetalhe();
    void novaLinha();
    void botoesLinhaGravada();
    void gravaLinhaExecucao();
    void gravaLinhaFonte();
    // Deletes the current line of the page's dataset by its number column, after the
    // question, through the rules.
    void excluiLinha(db::Dataset& ds, const char* coluna);
    // The line as the controls show it, checked as a post would check it; false (with
    // the message) when it is not.
    bool preparaLinha(db::Dataset& ds);
    // A failure of the rules in one box; the focus goes to the control of its column.
    void mostraFalha(const rules::Falha& falha);
    // The text typed in a value, unit price, quantity or date control, handed to its
    // field; false (with the message and the focus back) when it does not convert.
    bool confirmaTexto(QWidget* control);
    bool paginaDetalhe() const;

    // Gives the focus back to a control that was being left, once the move is over.
    void voltaFoco(QWidget* control);
    void focaGrupo(ui::DbRadioGroup* grupo);
    void botoesEditando();

    int codigoCidade_ = 0;
    bool movendoFoco_ = false;
    // The window is showing stored figures: no check of what a clerk types applies.
    bool exibindo_ = false;
    bool fechaAoMostrar_ = false;
    QHash<ui::MoneyEdit*, double> ultimoValor_;
};
