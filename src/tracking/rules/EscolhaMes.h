#pragma once
// The month a follow-up offers to fill, and the balance it brings forward.
#include "tracking/rules/Saldo.h"

#include <QList>
#include <QString>
#include <optional>

namespace tracking {

// A month header of the year (TB_MOVIMENTO_MUNICIPIO).
struct Cabecalho {
    int mes = 0;  // 1..12
    Valores valores;
    double totOutrosPactuada = 0;  // VL_TOT_OUTROS_PACTUADA
    QString situacao;              // codigos::situacao
};

// The year's initial balance (TB_SALDO_INICIAL_MUNICIPIO).
struct SaldoInicial {
    double valor = 0;  // VL_SALDO_MUNICIPIO
    int mes = 0;       // the month it was entered in
};

// What the database holds for the year, UF and municipality.
struct EstadoAno {
    std::optional<SaldoInicial> saldoInicial;
    QList<Cabecalho> cabecalhos;  // in month order
};

struct EscolhaMes {
    enum class Tipo {
        QualquerMes,  // the twelve months are offered, none chosen
        MesAberto,    // the open month, alone
        ProximoMes,   // the month after the latest closed one, alone
        AnoCompleto,  // December is closed: nothing more to fill this year
    };
    Tipo tipo = Tipo::QualquerMes;
    int mes = 0;  // the month offered; 0 with QualquerMes and AnoCompleto
    // The figures the month shows: its stored header, or zeros with the balance brought
    // forward when it has none yet.
    Valores valores;
    double totOutrosPactuada = 0;
    bool semSaldoInicial = true;
    // The balance brought into the month, shown while "Saldo Anterior (+)" is read-only.
    double saldoTransportado = 0;
};

// While the year has no closed month (or no initial balance) the open month is offered,
// else any month; otherwise the month after the latest closed one, with the balance that
// month carries forward. With an initial balance and no header at all, the balance brought
// forward is the initial balance.
EscolhaMes escolheMes(const EstadoAno& ano);

// "Saldo Anterior (+)" is typed for the year's first month: while the year has no initial
// balance, or while its only header is the open one.
bool saldoAnteriorEditavel(bool semSaldoInicial, const QList<Cabecalho>& cabecalhos);

}  // namespace tracking
