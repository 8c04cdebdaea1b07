#include "reports/TFormSelInadimplentes.h"

#include "reports/Protocolo.h"
#include "reports/TFormRelInadimplentes.h"

TFormSelInadimplentes::TFormSelInadimplentes(QWidget* owner) : TFormSelecaoModelo(owner)
{
    setObjectName(QStringLiteral("FormSelInadimplentes"));
    setWindowTitle(QStringLiteral("Estados / Municipios Inadimplentes"));
}

void TFormSelInadimplentes::BbtImprimeClick()
{
    Visualiza<TFormRelInadimplentes>(*this, {
        .cria = [this] { return std::make_unique<TFormRelInadimplentes>(this); },
        .legendas = [this](TFormRelInadimplentes& r) { r.MostraMunicipio(Escolha().cidade.has_value()); },
    });
}
