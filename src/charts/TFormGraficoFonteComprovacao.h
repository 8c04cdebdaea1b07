#pragma once
// The pivot of the proof-of-expenditure documents: the invoices of the year by state and payee type.
#include "charts/TFormGrafico.h"

class TFormGraficoFonteComprovacao : public TFormGrafico {
    Q_OBJECT
public:
    explicit TFormGraficoFonteComprovacao(QWidget* owner = nullptr);

    db::Field* IBQuery1FAVORECIDO;
};
