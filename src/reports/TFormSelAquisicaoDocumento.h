#pragma once
// "Aquisição por Tipo de Documento": the documents of one document type.
#include "reports/TFormSelAquisicao.h"

class TFormSelAquisicaoDocumento : public TFormSelAquisicao {
    Q_OBJECT
public:
    explicit TFormSelAquisicaoDocumento(QWidget* owner = nullptr);
    void BbtImprimeClick() override;
};
