#include "reports/TFormSelAquisicaoDocumento.h"

#include "reports/TFormRelAquisicaoDocumento.h"

TFormSelAquisicaoDocumento::TFormSelAquisicaoDocumento(QWidget* owner)
    : TFormSelAquisicao(owner, QStringLiteral("Tipo de Documento"), relatorios::nomesTiposDocumento())
{
    setObjectName(QStringLiteral("FormSelAquisicaoDocumento"));
    setWindowTitle(QStringLiteral("Aquisição por Tipo de Documento"));
}

void TFormSelAquisicaoDocumento::BbtImprimeClick()
{
    VisualizaAquisicao<TFormRelAquisicaoDocumento>(relatorios::Criterio::Documento,
                                                   QStringLiteral("Informe o Tipo de Documento"),
                                                   QStringLiteral("Tipo de Documento : "));
}
