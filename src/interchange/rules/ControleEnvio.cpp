#include "interchange/rules/ControleEnvio.h"

namespace interchange {

namespace {
const QString colunas =
    QStringLiteral("select cast(m.nu_mes_compet as float) mes, c.no_cidade, m.dt_fechamento, m.dt_envio, m.co_uf");
}

QStringList sqlControleEnvioMunicipio()
{
    return {colunas, QStringLiteral("from tb_movimento_municipio m, tb_cidade c"),
            QStringLiteral("where m.nu_ano_compet = :ano_compet and m.co_uf = :co_uf and"),
            QStringLiteral("m.co_cidade = :co_cidade and"), QStringLiteral("c.co_seq_cidade = m.co_cidade"),
            QStringLiteral("order by no_cidade, 1")};
}

QStringList sqlControleEnvioUf()
{
    return {colunas,
            QStringLiteral("from tb_movimento_municipio m LEFT OUTER JOIN TB_CIDADE c ON (m.CO_CIDADE = c.CO_SEQ_CIDADE)"),
            QStringLiteral("where m.nu_ano_compet = :ano_compet and m.co_uf = :co_uf"), QStringLiteral("order by 1,2")};
}

}  // namespace interchange
