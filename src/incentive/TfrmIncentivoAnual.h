#pragma once
// "Incentivo Anual ao Programa": calculates a year's annual incentive of every pacted
// municipality (incentive/rules/Calculo.h) and shows the stored result of a year and a
// UF, municipality by municipality, with the UF's totals.
#include "incentive/JanelaDeIncentivo.h"

class QPushButton;

class TfrmIncentivoAnual : public JanelaDeIncentivo {
    Q_OBJECT
public:
    explicit TfrmIncentivoAnual(QWidget* owner = nullptr);
    ~TfrmIncentivoAnual() override;

    // "Calc&ular". The template's separator after Sair bears the same name there.
    QAction* ToolButton1;
    // Beside the line that says the year is stale: runs Calcular for that year.
    QPushButton* BtnRecalcular;

    void FormShow() override;
    void FormClose() override;
    void BbtPesquisarClick() override;
    virtual void ToolButton1Click();

    static constexpr int primeiroAno = 2001;
    static constexpr int ultimoAnoListado = 2004;
};
