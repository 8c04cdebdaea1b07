#include "reports/rules/Periodo.h"

#include "text/Formats.h"

#include <stdexcept>

namespace {

QString nomeDoMes(int posicao)
{
    const QString nome = text::monthName(posicao + 1);
    if (nome.isEmpty())
        throw std::invalid_argument("month position out of range: " + std::to_string(posicao));
    return nome;
}

}  // namespace

PeriodoSelecionado CapturaPeriodo(int posicaoInicio, int posicaoFim)
{
    PeriodoSelecionado p;
    p.NomeMesInicio = nomeDoMes(posicaoInicio);
    p.NomeMesFim = nomeDoMes(posicaoFim);
    p.MesInicio = QString::number(posicaoInicio + 1);
    p.MesFim = QString::number(posicaoFim + 1);
    return p;
}

QString PeriodoInvertido(int posicaoInicio, int posicaoFim)
{
    if (posicaoInicio <= posicaoFim)
        return {};
    return QStringLiteral("O período está invertido: %1 vem depois de %2.\n"
                          "Escolha um mês inicial igual ou anterior ao mês final.")
        .arg(nomeDoMes(posicaoInicio), nomeDoMes(posicaoFim));
}

QString LegendaPeriodo(const QString& nomeMesInicio, const QString& nomeMesFim, const QString& ano)
{
    return QStringLiteral("Período : %1 à %2 de %3").arg(nomeMesInicio, nomeMesFim, ano);
}
