#pragma once
// The second report template: no record source of its own, a frame along the top and
// the bottom of the printable area (the page's, whichever bands print), and under the
// letterhead the state and municipality chosen in the selection window and the period
// line, which the selection window fills. Labels filled at run time take the width of
// their text.
//
// The names come from the data module's current rows of TB_Unidade_Federacao and
// TB_Cidade: the selection window's lists are those datasets, and choosing an entry
// makes its row current.
#include "reports/TFormRelModelo.h"

class TFormRelModelo2 : public TFormRelModelo {
    Q_OBJECT
public:
    explicit TFormRelModelo2(QObject* owner = nullptr);
    ~TFormRelModelo2() override;

    report::Label* QRLabel6;      // "Estado :"
    report::DataText* QRDBText10;  // NO_UF
    report::Label* QRLabel7;      // "Municipio :"
    report::DataText* QRDBText11;  // NO_CIDADE
    report::Label* QRPeriodo;     // "Período :", replaced by the selection window

    // For a report requested without a municipality: the municipality line prints or not.
    void MostraMunicipio(bool mostra);

protected:
    void AjustaAoPapel() override;
};

extern TFormRelModelo2* FormRelModelo2;
