#pragma once
// "Recursos Alocados x Recursos Gastos", on landscape A4: per month the previous balance,
// the federal, state and municipal allocations, the medications received, the spending
// and the current balance (which leaves the medications out), under a two-level column
// header; the sums of the allocations and of the spending once, after the last line, and
// under them the line that says the medications stay out of "Saldo Atual" but are carried
// into the next month's "Saldo Anterior". Nothing to print: no page.
#include "reports/TFormRelModelo2.h"

#include "db/Dataset.h"

class TFormSelecaoModelo;

class TFormRelRecAlocGastos : public TFormRelModelo2 {
    Q_OBJECT
public:
    // Builds and opens IBQuery1 from the selection window's choice; QRLabel7 names the
    // chosen municipality ("Município : Lavras") or is empty.
    explicit TFormRelRecAlocGastos(TFormSelecaoModelo* selecao);
    ~TFormRelRecAlocGastos() override;  // closes IBQuery1

    db::Dataset IBQuery1;
    report::DatasetSource FonteIBQuery1;
    report::Band* SummaryBand1;
    report::Label* QRLabelNota;  // NotaSaldoAtual, under the sums

    static inline const QString NotaSaldoAtual =
        QStringLiteral("O \"Saldo Atual\" não inclui os \"Recursos Alocados em Medicamentos\" do mês; "
                       "o saldo levado ao mês seguinte (\"Saldo Anterior\") os inclui.");
};
