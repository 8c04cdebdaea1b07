#pragma once
// "Descritivo de Aquisição de Medicamentos": every purchase line of the selection,
// medication by medication and month by month, each medication's name on its first line
// only, and in the page footer the total of the amounts printed so far (the grand total
// on the last page). Nothing to print: no page.
#include "reports/TFormRelModelo2.h"

#include "db/Dataset.h"

class TFormSelMedElenco;

class TFormRelCompraElenco : public TFormRelModelo2 {
    Q_OBJECT
public:
    // Builds and opens IBQuery1 from the selection window's choice.
    explicit TFormRelCompraElenco(TFormSelMedElenco* selecao);
    ~TFormRelCompraElenco() override;  // closes IBQuery1

    db::Dataset IBQuery1;
    report::DatasetSource FonteIBQuery1;

    report::DataText* QRDBText5;  // month
    report::DataText* QRDBText6;  // medication name, blank when it repeats
    report::DataText* QRDBText7;  // unit value
    report::DataText* QRDBText8;  // quantity
    report::DataText* QRDBText9;  // total value
    report::RunningSum* QrTotal;  // the amounts so far

    // The name printed on the previous line.
    QString NomeAnterior;

protected:
    void RelModeloBeforePrint() override;
};
