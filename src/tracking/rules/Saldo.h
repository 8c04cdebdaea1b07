#pragma once
// The money of a month: the balance arithmetic of the financial page, the balance
// carried into the next month and the checks that close a month.
#include "rules/Falha.h"

#include <QList>
#include <QString>
#include <optional>

namespace tracking {

// The seven figures of a month header, as the financial page shows them.
struct Valores {
    double saldoAnterior = 0;  // VL_SALDO_ANTERIOR
    double federal = 0;        // VL_ALOC_FEDERAL
    double estadual = 0;       // VL_ALOC_ESTADUAL
    double municipal = 0;      // VL_ALOC_MUNICIPAL
    double rendimentos = 0;    // VL_RENDIMENTOS_APLICADOS
    double medicamentos = 0;   // VL_ALOC_MED
    double gastos = 0;         // VL_REC_GASTOS
};

// "Total (+)": the balance brought forward, the allocations, the investment income and
// the medications received. Not rounded.
double total(const Valores& v);
// "Saldo Atual (=)": Total (+) less the resources spent. Not rounded.
double saldoAtual(const Valores& v);
// The balance a closed month carries into the next one. The investment income is part
// of the month's total but is not carried forward.
double saldoTransportado(const Valores& v);
// Spent more than the total: compared in cents, as the page shows both, so that a sum
// such as 0,70 + 0,10 is not taken for less than 0,80.
bool gastosExcedemTotal(const Valores& v);
// The same check as a header save refuses it: "Recursos Gastos não pode ser maior que o
// Total Alocado" with both figures, on VL_REC_GASTOS.
rules::Falhou verificaGastos(const Valores& v);

// An amount as the closing compares it: "##########.00".
QString doisDecimais(double valor);
// Whole cents of the two-decimal text, so that amounts compare as they are shown.
qint64 centavos(double valor);
// Two amounts are equal when their two-decimal texts are.
bool mesmoValor(double a, double b);

// The totals the closing checks against the header.
struct TotaisFechamento {
    double execucaoFisica = 0;  // "Total Geral" of the medications
    double notaFiscal = 0;      // "Total N. Fiscal"
    double guiaRemessa = 0;     // "Total Guia Remessa"
};

// One closing check: its message word for word and the two amounts it compares, the
// header's first.
struct ConferenciaFechamento {
    QString mensagem;
    QString rotuloCabecalho;
    double cabecalho = 0;
    QString rotuloLinhas;
    double linhas = 0;
    bool confere() const { return mesmoValor(cabecalho, linhas); }
};

// The three closing checks, in their order, each with what it compared.
QList<ConferenciaFechamento> conferenciasFechamento(const Valores& v, const TotaisFechamento& t);

// The three closing checks, in their order: the first that fails, its message word for
// word and, as its cause, the two amounts compared ("Movimentação Financeira: 100,00 —
// Execução Física: 90,00"); nothing when the month may be closed. Deposits and budget
// commitments take no part.
rules::Falhou verificaFechamento(const Valores& v, const TotaisFechamento& t);

// "Rótulo: 1.234,50 — Outro: 1.200,00", the two amounts a check compared.
QString comparados(const QString& rotuloA, double a, const QString& rotuloB, double b);

}  // namespace tracking
