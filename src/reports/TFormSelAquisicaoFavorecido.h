#pragma once
// "Aquisicao por Tipo de Favorecido": the documents of one payee type, grouped by
// document type.
#include "reports/TFormSelAquisicao.h"

class TFormSelAquisicaoFavorecido : public TFormSelAquisicao {
    Q_OBJECT
public:
    explicit TFormSelAquisicaoFavorecido(QWidget* owner = nullptr);
    void BbtImprimeClick() override;
};
