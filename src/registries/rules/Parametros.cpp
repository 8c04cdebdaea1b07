#include "registries/rules/Parametros.h"

#include "registries/rules/Pactuacao.h"

namespace registros {

QString recusaParametros(db::Connection& connection, const ParametrosDigitados& p)
{
    if (p.ano.isNull() || p.ano.toString().trimmed().isEmpty())
        return QStringLiteral("Informe o Ano de Competência");
    const bool semMunicipio = p.cidade.isNull() || p.cidade.toInt() == 0;
    if (!semMunicipio && !municipioDaUf(connection, p.cidade, p.uf))
        return QStringLiteral("O município não é do estado %1: escolha um município desse estado, "
                              "ou nenhum para uma instalação estadual.")
            .arg(p.uf.toString());
    return QString();
}

}  // namespace registros
