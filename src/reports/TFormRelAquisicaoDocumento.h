#pragma once
// "Aquisição por Tipo de Documento": the documents of one document type and their total.
#include "reports/TFormRelAquisicao.h"

class TFormRelAquisicaoDocumento : public TFormRelAquisicao {
    Q_OBJECT
public:
    explicit TFormRelAquisicaoDocumento(QObject* owner);

    report::Label* QrDocumento;  // "Tipo de Documento : " and the type
    report::Band* SummaryBand1;
    report::RunningSum* QRTotal;
};
