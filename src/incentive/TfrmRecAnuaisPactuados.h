#pragma once
// "Recursos Anuais Pactuados": the calculated annual incentive of a year and a UF,
// municipality by municipality, with the UF's totals, and its printed report
// (TfrmRelRecAnuaisPactuados). Changes no data.
#include "incentive/JanelaDeIncentivo.h"

class TfrmRecAnuaisPactuados : public JanelaDeIncentivo {
    Q_OBJECT
public:
    explicit TfrmRecAnuaisPactuados(QWidget* owner = nullptr);
    ~TfrmRecAnuaisPactuados() override;

    void FormShow() override;
    void FormClose() override;
    // "&Imprimir (F7)": the report of the rows shown, in the preview.
    void BbtPesquisarClick() override;

    static constexpr int primeiroAno = 2001;
    static constexpr int ultimoAnoListado = 2004;

protected:
    void consultaAberta() override;
};
