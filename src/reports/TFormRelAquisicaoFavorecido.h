#pragma once
// "Aquisição por Tipo de Favorecido": the documents of one payee type, a group per
// document type ("Empenho", "Nota Fiscal", ...), each on a page of its own and closed by
// its own total; no grand total.
#include "reports/TFormRelAquisicao.h"

class TFormRelAquisicaoFavorecido : public TFormRelAquisicao {
    Q_OBJECT
public:
    explicit TFormRelAquisicaoFavorecido(QObject* owner);

    report::Label* QrFavorecido;  // "Tipo de Favorecido : " and the type
    report::Group* QRGroup1;       // on ST_TIPO_DOC
    report::DataText* QRDBText9;   // the document type, by its name
    report::Band* SummaryBand1;    // the group's footer
    report::RunningSum* QRTotal;   // the group's sum
};
