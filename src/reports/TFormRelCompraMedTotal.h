#pragma once
// "Valor Total de Medicamentos Adquiridos": one line per month (a group of its own), with
// the minimum-list amount, the other pacted medications and their sum; in the page footer
// the three totals so far. Nothing to print: no page.
#include "reports/TFormRelModelo2.h"

#include "db/Dataset.h"

class TFormSelecaoModelo;

class TFormRelCompraMedTotal : public TFormRelModelo2 {
    Q_OBJECT
public:
    // Builds and opens IBQuery1 from the selection window's choice.
    explicit TFormRelCompraMedTotal(TFormSelecaoModelo* selecao);
    ~TFormRelCompraMedTotal() override;  // closes IBQuery1

    db::Dataset IBQuery1;
    report::DatasetSource FonteIBQuery1;

    report::Group* QRGroup1;           // a line per state, municipality and month
    report::RunningSum* QRElencoMinimo;
    report::RunningSum* QRPactuada;
    report::RunningSum* QRTotal;
};
