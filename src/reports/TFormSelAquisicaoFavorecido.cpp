#include "reports/TFormSelAquisicaoFavorecido.h"

#include "reports/TFormRelAquisicaoFavorecido.h"

TFormSelAquisicaoFavorecido::TFormSelAquisicaoFavorecido(QWidget* owner)
    : TFormSelAquisicao(owner, QStringLiteral("Tipo de Favorecido"), relatorios::nomesTiposFavorecido())
{
    setObjectName(QStringLiteral("FormSelAquisicaoFavorecido"));
    setWindowTitle(QStringLiteral("Aquisicao por Tipo de Favorecido"));
}

void TFormSelAquisicaoFavorecido::BbtImprimeClick()
{
    VisualizaAquisicao<TFormRelAquisicaoFavorecido>(relatorios::Criterio::Favorecido,
                                                    QStringLiteral("Informe o Tipo de Favorecido"),
                                                    QStringLiteral("Tipo de Favorecido : "));
}
