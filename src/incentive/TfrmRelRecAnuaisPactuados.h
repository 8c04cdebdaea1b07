#pragma once
// The report "Recursos Anuais Pactuados": the rows the pacted-resources window shows, one
// line per municipality, and in every page footer the totals of all rows printed so far,
// so that the last page's footer carries the UF's totals.
#include "reports/DatasetSource.h"
#include "reports/TFormRelModelo.h"

class TfrmRelRecAnuaisPactuados : public TFormRelModelo {
    Q_OBJECT
public:
    // consulta: the window's query, open; the report reads it from its first row.
    TfrmRelRecAnuaisPactuados(db::Dataset& consulta, QObject* owner = nullptr);
    ~TfrmRelRecAnuaisPactuados() override;

    report::Label* QRLabel3;  // "Estado :" and the state's name, set before the preview
    report::Label* QRLabel1;
    report::Label* QRLabel2;
    report::Memo* QRMemo1;
    report::Memo* QRMemo2;
    report::Memo* QRMemo3;
    report::Label* QRLabel6;
    report::DataText* QRDBText5;
    report::DataText* QRDBText6;
    report::DataText* QRDBText7;
    report::DataText* QRDBText8;
    report::DataText* QRDBText9;
    report::DataText* QRDBText10;
    report::Label* QRLabel8;
    report::Label* QrFederal;
    report::Label* QrEstadual;
    report::Label* QrMunicipal;
    report::Label* QrTotal;

    // At every run: the template's, then the totals back to zero.
    void RelModeloBeforePrint() override;
    void DetailBand1BeforePrint();
    void PageFooterBand1BeforePrint();

    // The running totals, in reais.
    double TotFederal = 0;
    double TotEstadual = 0;
    double TotMunicipal = 0;
    double TotGeral = 0;

private:
    report::DatasetSource fonte_;
};
