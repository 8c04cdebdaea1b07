#include "reports/TFormSelCompraMedTotal.h"

#include "reports/Protocolo.h"
#include "reports/TFormRelCompraMedTotal.h"

TFormSelCompraMedTotal::TFormSelCompraMedTotal(QWidget* owner) : TFormSelecaoModelo(owner)
{
    setObjectName(QStringLiteral("FormSelCompraMedTotal"));
    setWindowTitle(QStringLiteral("Valor Total de Medicamentos Adquiridos"));
}

void TFormSelCompraMedTotal::BbtImprimeClick()
{
    Visualiza<TFormRelCompraMedTotal>(*this, {
        .cria = [this] { return std::make_unique<TFormRelCompraMedTotal>(this); },
        .legendas = [this](TFormRelCompraMedTotal& r) { r.MostraMunicipio(Escolha().cidade.has_value()); },
    });
}
