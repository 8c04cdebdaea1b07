#include "reports/TFormSelRecAlocGastos.h"

#include "reports/Protocolo.h"
#include "reports/TFormRelRecAlocGastos.h"

TFormSelRecAlocGastos::TFormSelRecAlocGastos(QWidget* owner) : TFormSelecaoModelo(owner)
{
    setObjectName(QStringLiteral("FormSelRecAlocGastos"));
    setWindowTitle(QStringLiteral("Recursos Alocados x Recursos Gastos"));
}

void TFormSelRecAlocGastos::BbtImprimeClick()
{
    Visualiza<TFormRelRecAlocGastos>(*this, {
        .cria = [this] { return std::make_unique<TFormRelRecAlocGastos>(this); },
    });
}
