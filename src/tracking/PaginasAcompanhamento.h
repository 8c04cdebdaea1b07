#pragma once
// The four pages of a month's follow-up as a clerk sees them, shared by the follow-up
// window and its consultation: "Identificação" (year, UF, municipality, month),
// "Movimentação Financeira" (the month header and its balance), "Execução Física" (the
// medications, with their totals) and "Fonte de Comprovação" (the documents, with their
// totals). A window owns one, made on its page control with its own datasets, and wires
// its own handlers to the controls it exposes.
#include "tracking/rules/Acompanhamento.h"
#include "tracking/rules/Linhas.h"
#include "tracking/rules/Saldo.h"

#include <QObject>
#include <QString>

class QComboBox;
class QGridLayout;
class QGroupBox;
class QLabel;
class QLineEdit;
class QWidget;
class TfrmModeloPage;

namespace db {
class DataSource;
class Dataset;
}  // namespace db

namespace ui {
class DbDateEdit;
class DbEdit;
class DbGrid;
class DbLookupComboBox;
class DbRadioGroup;
class MoneyEdit;
}  // namespace ui

class PaginasAcompanhamento : public QObject {
public:
    // Pages, in order: the template's first page ("Identificação") and these.
    QWidget* tbsMovimentacao = nullptr;
    QWidget* tbsExecucaoFisica = nullptr;
    QWidget* tbsFonteComprovacao = nullptr;

    // "Identificação".
    QLineEdit* EdtAnoCompetencia = nullptr;
    QLineEdit* EditUF = nullptr;
    QLabel* LblMunicipio = nullptr;
    QLineEdit* EdtMunicipio = nullptr;
    QComboBox* CBMes = nullptr;
    QComboBox* CBMesExtenso = nullptr;  // hidden: the twelve names, whose position is the month

    // "Movimentação Financeira".
    ui::MoneyEdit* EdtSaldoAnterior = nullptr;
    ui::MoneyEdit* EdtRecAlocFederal = nullptr;
    ui::MoneyEdit* EdtRecAlocEstadual = nullptr;
    ui::MoneyEdit* EdtRecAlocMunicipal = nullptr;
    ui::MoneyEdit* EdtRecAlocRendAplic = nullptr;
    ui::MoneyEdit* EdtRecMedAloc = nullptr;
    ui::MoneyEdit* EdtTotal = nullptr;
    ui::MoneyEdit* EdtRecGastos = nullptr;
    ui::MoneyEdit* EdtSaldoAtual = nullptr;
    QGroupBox* GrpTotalMensal = nullptr;
    ui::MoneyEdit* EdtMensalFederal = nullptr;
    ui::MoneyEdit* EdtMensalEstadual = nullptr;
    ui::MoneyEdit* EdtMensalMunicipal = nullptr;
    // Under the monthly incentive: the year's pacts or rates changed after its calculation.
    QLabel* LblIncentivoDesatualizado = nullptr;

    // "Execução Física".
    ui::DbLookupComboBox* DBLookupMedicamento = nullptr;
    ui::DbRadioGroup* DBOrigem = nullptr;
    ui::DbEdit* DBEdit1 = nullptr;  // "Valor Unitário"
    ui::DbEdit* DBEdit2 = nullptr;  // "Quantidade"
    ui::DbEdit* DBEdit3 = nullptr;  // "Valor Total"
    ui::DbGrid* DBGridExecucao = nullptr;
    ui::MoneyEdit* EdtTotalElencoMinimo = nullptr;
    ui::MoneyEdit* EdtPactuada = nullptr;
    ui::MoneyEdit* EdtTotalGeralExecFis = nullptr;

    // "Fonte de Comprovação".
    ui::DbRadioGroup* DBTipoDocumento = nullptr;
    ui::DbRadioGroup* DBTipoFavorecido = nullptr;
    ui::DbEdit* DBEdit4 = nullptr;  // "Identificação do Favorecido"
    ui::DbEdit* DBEdit5 = nullptr;  // the document's number
    ui::DbEdit* DBEdit6 = nullptr;  // "Valor"
    ui::DbDateEdit* DBEdit7 = nullptr;  // "Data"
    ui::DbGrid* DBGridFonte = nullptr;
    ui::MoneyEdit* EdtTotalNF = nullptr;
    ui::MoneyEdit* EdtTotalGuiaRemessa = nullptr;
    ui::MoneyEdit* EdtTotalDeposito = nullptr;
    ui::MoneyEdit* EdtTotalEmpenho = nullptr;

    // The month chosen (1..12); 0 when none.
    int mesCompetencia() const;
    // The lines a page shows (the medications' or the documents'); null for the others.
    db::Dataset* datasetDaPagina(const QWidget* pagina) const;
    // The figures of the financial page as they stand.
    tracking::Valores valores() const;
    const tracking::TotaisExecucao& totaisExecucao() const { return totaisExecucao_; }
    const tracking::TotaisDocumentos& totaisDocumentos() const { return totaisDocumentos_; }

    // What the pages show: the month's medication lines, its documents, and the
    // medications agreed for the UF that the medication list offers.
    struct Fontes {
        db::DataSource* execucao = nullptr;
        db::DataSource* fonte = nullptr;
        db::DataSource* elencoUF = nullptr;
    };
    // Captions of the document page that the consultation words its own way.
    struct Rotulos {
        QString numeroDocumento = QStringLiteral("Identificação do Documento");
        QString tipoFavorecido = QStringLiteral("Tipo Favorecido");
    };
    // The pages, added to the window's page control after its first page; the window
    // owns them.
    PaginasAcompanhamento(TfrmModeloPage* janela, const Fontes& fontes, const Rotulos& rotulos);
    PaginasAcompanhamento(TfrmModeloPage* janela, const Fontes& fontes);

    // The grid of "Identificação", for a control a window adds to it.
    QGridLayout* GradeIdentificacao = nullptr;

    void mostraValores(const tracking::Valores& v);
    // The totals of both line pages back to 0.
    void limpaTotais();
    // The document and payee types the installation mode offers.
    void preencheTipos(bool estadual);
    // "Tipo Favorecido" hides while the current document is a deposit.
    void mostraTipoFavorecido();
    // Reads the month's lines of the follow-up again, with the display suspended, and
    // shows the page's totals; the first line is current afterwards. The medication lines
    // carry the medication's list mark in "ElencoMinimo".
    void acumulaExecucao(db::Dataset& linhas, const tracking::Chave& chave, int mes);
    void acumulaFonte(db::Dataset& linhas, const tracking::Chave& chave, int mes);
    static void abreLinhas(db::Dataset& linhas, const tracking::Chave& chave, int mes);

    // The fields both windows give the month's lines, in the grids' column order. The
    // medication lines take their "Medicamento" and "ElencoMinimo" first, as each window
    // reads them; the documents are read by the same statement in both.
    static void defineCamposExecucao(db::Dataset& linhas);
    static void defineFonte(db::Dataset& linhas);

    // A money figure the user does not type: read-only, button face, out of the tab order.
    static void somenteLeitura(ui::MoneyEdit* e, bool readOnly);

private:
    tracking::TotaisExecucao totaisExecucao_;
    tracking::TotaisDocumentos totaisDocumentos_;

    void criaIdentificacao(TfrmModeloPage* janela);
    void criaMovimentacao(TfrmModeloPage* janela);
    void criaExecucaoFisica(TfrmModeloPage* janela, const Fontes& fontes);
    void criaFonteComprovacao(TfrmModeloPage* janela, const Fontes& fontes, const Rotulos& rotulos);

    db::DataSource* fonte_ = nullptr;
};
