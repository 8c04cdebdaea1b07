#include "tracking/rules/EscolhaMes.h"

#include "data/Codigos.h"

namespace tracking {

namespace {

const Cabecalho* doMes(const QList<Cabecalho>& cabecalhos, int mes)
{
    for (const Cabecalho& c : cabecalhos)
        if (c.mes == mes)
            return &c;
    return nullptr;
}

void mostra(EscolhaMes& escolha, const Cabecalho& c)
{
    escolha.valores = c.valores;
    escolha.totOutrosPactuada = c.totOutrosPactuada;
}

}  // namespace

EscolhaMes escolheMes(const EstadoAno& ano)
{
    EscolhaMes escolha;
    escolha.semSaldoInicial = !ano.saldoInicial.has_value();

    const Cabecalho* ultimoFechado = nullptr;
    for (const Cabecalho& c : ano.cabecalhos)
        if (codigos::situacao::estaFechado(c.situacao) && (!ultimoFechado || c.mes > ultimoFechado->mes))
            ultimoFechado = &c;

    if (escolha.semSaldoInicial || !ultimoFechado) {
        const Cabecalho* aberto = nullptr;
        for (const Cabecalho& c : ano.cabecalhos)
            if (c.situacao == codigos::situacao::aberto && (!aberto || c.mes < aberto->mes))
                aberto = &c;
        if (!aberto) {
            escolha.tipo = EscolhaMes::Tipo::QualquerMes;
            escolha.saldoTransportado = ano.saldoInicial ? ano.saldoInicial->valor : 0;
            escolha.valores.saldoAnterior = escolha.saldoTransportado;
            return escolha;
        }
        escolha.tipo = EscolhaMes::Tipo::MesAberto;
        escolha.mes = aberto->mes;
        escolha.saldoTransportado = aberto->valores.saldoAnterior;
        mostra(escolha, *aberto);
        return escolha;
    }

    escolha.saldoTransportado = saldoTransportado(ultimoFechado->valores);
    if (ultimoFechado->mes >= 12) {
        escolha.tipo = EscolhaMes::Tipo::AnoCompleto;
        return escolha;
    }
    escolha.tipo = EscolhaMes::Tipo::ProximoMes;
    escolha.mes = ultimoFechado->mes + 1;
    if (const Cabecalho* proximo = doMes(ano.cabecalhos, escolha.mes))
        mostra(escolha, *proximo);
    else
        escolha.valores.saldoAnterior = escolha.saldoTransportado;
    return escolha;
}

bool saldoAnteriorEditavel(bool semSaldoInicial, const QList<Cabecalho>& cabecalhos)
{
    return semSaldoInicial || (cabecalhos.size() == 1 && cabecalhos.first().situacao == codigos::situacao::aberto);
}

}  // namespace tracking
