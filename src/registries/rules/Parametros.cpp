#include "registries/rules/Parametros.h"

#include "registries/rules/Pactuacao.h"

namespace registros {

rules::Falhou recusaParametros(db::Connection& connection, const ParametrosDigitados& p)
{
    if (p.ano.isNull() || p.ano.toString().trimmed().isEmpty())
        return rules::Falha::recusa(QStringLiteral("Informe o Ano de Competência"), QStringLiteral("NU_ANO_COMPET"));
    const bool semMunicipio = p.cidade.isNull() || p.cidade.toInt() == 0;
    if (!semMunicipio && !municipioDaUf(connection, p.cidade, p.uf))
        return rules::Falha::recusa(QStringLiteral("O município não é do estado %1: escolha um município desse estado, "
                                                   "ou nenhum para uma instalação estadual.")
                                        .arg(p.uf.toString()),
                                    QStringLiteral("CO_CIDADE"));
    return std::nullopt;
}

}  // namespace registros
