#pragma once
// "Estados / Municípios Inadimplentes": per month, one twelfth of the municipal incentive,
// the municipal allocation, the shortfall between them (negative when more was
// allocated) and what commitment documents committed; the four totals once, after the
// last line. No page footer. Nothing to print: no page.
#include "reports/TFormRelModelo2.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "reports/rules/Recursos.h"

class TFormSelecaoModelo;

class TFormRelInadimplentes : public TFormRelModelo2 {
    Q_OBJECT
public:
    // Builds and opens IBQuery1, then IBQuery2, from the selection window's choice.
    explicit TFormRelInadimplentes(TFormSelecaoModelo* selecao);
    ~TFormRelInadimplentes() override;  // closes the queries

    db::Dataset IBQuery1;     // the months
    db::DataSource DataSource1;
    db::Dataset IBQuery2;     // the committed amount of IBQuery1's month
    report::DatasetSource FonteIBQuery1;

    report::Label* QRLabelInadimplencia;
    report::Band* SummaryBand1;
    report::Label* QRPactuados;
    report::Label* QRAlocado;
    report::Label* QrInadimplencia;
    report::Label* QREmpenhado;

    relatorios::TotaisInadimplencia Totais;

protected:
    void RelModeloBeforePrint() override;
    bool DetailBand1BeforePrint();
    bool SummaryBand1BeforePrint();
};
