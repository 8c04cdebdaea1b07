#pragma once
// What the two acquisition reports share: the documents' columns (payee, number, date,
// value) and a bold caption of the chosen type beside the period. Their selection window
// gives IBQuery1 its parameters and opens it.
#include "reports/TFormRelModelo2.h"

#include "db/Dataset.h"

class TFormRelAquisicao : public TFormRelModelo2 {
    Q_OBJECT
public:
    ~TFormRelAquisicao() override;  // closes IBQuery1

    db::Dataset IBQuery1;
    report::DatasetSource FonteIBQuery1;
    report::Label* QrTipo;  // QrFavorecido or QrDocumento

protected:
    TFormRelAquisicao(QObject* owner, const QString& titulo, const QString& nomeLegenda);
    // "Total ------->" and the sum of VL_DOC restarting as scope says, in band.
    report::RunningSum* Total(report::Band& band, report::ResetScope scope);
};
