#pragma once
// "Elencos Pactuados", printed: the rows of the consultation window's list, in its order,
// the state under the letterhead; an empty list prints a page with its headers.
#include "reports/TFormRelModelo.h"

class TfrmConsultaElencoPactuado;

class TfrmRelMedicamentosPactuados : public TFormRelModelo {
    Q_OBJECT
public:
    // Reads the list of consulta, which must stay open while the report lives.
    explicit TfrmRelMedicamentosPactuados(TfrmConsultaElencoPactuado* consulta);

    report::DatasetSource FonteQryConsulta;
    report::Label* QRLabel3;  // "Estado :" and the state
};
