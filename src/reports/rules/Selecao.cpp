#include "reports/rules/Selecao.h"

#include "db/Dataset.h"

namespace relatorios {

void parametrosComuns(db::Dataset& consulta, const Selecao& selecao)
{
    consulta.setParam(QStringLiteral("NU_ANO_COMPET"), selecao.ano);
    consulta.setParam(QStringLiteral("CO_UF"), selecao.uf);
    consulta.setParam(QStringLiteral("NU_MES_COMPET_INICIO"), selecao.mesInicio);
    consulta.setParam(QStringLiteral("NU_MES_COMPET_FIM"), selecao.mesFim);
}

void parametroCidadeOuZero(db::Dataset& consulta, const Selecao& selecao)
{
    consulta.setParam(QStringLiteral("CO_CIDADE"), selecao.cidade.value_or(0));
}

}  // namespace relatorios
