#include "tracking/rules/Saldo.h"

#include "text/Formats.h"

namespace tracking {

double total(const Valores& v)
{
    return v.saldoAnterior + v.federal + v.estadual + v.municipal + v.rendimentos + v.medicamentos;
}

double saldoAtual(const Valores& v)
{
    return total(v) - v.gastos;
}

double saldoTransportado(const Valores& v)
{
    return v.saldoAnterior + v.federal + v.estadual + v.municipal + v.medicamentos - v.gastos;
}

qint64 centavos(double valor)
{
    QString t = doisDecimais(valor);
    t.remove(text::formats().decimalSeparator);
    return t.toLongLong();
}

bool gastosExcedemTotal(const Valores& v)
{
    return centavos(v.gastos) > centavos(total(v));
}

QString doisDecimais(double valor)
{
    return text::formatFloat(text::masks::twoDecimals, valor);
}

bool mesmoValor(double a, double b)
{
    return doisDecimais(a) == doisDecimais(b);
}

QString comparados(const QString& rotuloA, double a, const QString& rotuloB, double b)
{
    const auto dinheiro = [](double v) { return text::formatFloat(text::masks::money, v); };
    return rotuloA + QStringLiteral(": ") + dinheiro(a) + QStringLiteral(" \u2014 ") + rotuloB + QStringLiteral(": ") + dinheiro(b);
}

rules::Falhou verificaGastos(const Valores& v)
{
    if (!gastosExcedemTotal(v))
        return std::nullopt;
    return rules::Falha::recusa(QStringLiteral("Recursos Gastos não pode ser maior que o Total Alocado"),
                                QStringLiteral("VL_REC_GASTOS"),
                                comparados(QStringLiteral("Recursos Gastos"), v.gastos, QStringLiteral("Total Alocado"), total(v)));
}

QList<ConferenciaFechamento> conferenciasFechamento(const Valores& v, const TotaisFechamento& t)
{
    const QString financeira = QStringLiteral("Movimentação Financeira");
    return {
        {QStringLiteral("Total Movimentação Financeira diferente do Total Execução Física"), financeira, v.gastos,
         QStringLiteral("Execução Física"), t.execucaoFisica},
        {QStringLiteral("Total Movimentação Financeira Diferente do Total da Fonte de Comprovação"), financeira, v.gastos,
         QStringLiteral("Fonte de Comprovação"), t.notaFiscal + t.guiaRemessa},
        {QStringLiteral("Total em Medicamentos diferente do Total da Guia de Remessa"), QStringLiteral("Medicamentos Alocados"),
         v.medicamentos, QStringLiteral("Guia de Remessa"), t.guiaRemessa},
    };
}

rules::Falhou verificaFechamento(const Valores& v, const TotaisFechamento& t)
{
    for (const ConferenciaFechamento& c : conferenciasFechamento(v, t))
        if (!c.confere())
            return rules::Falha::recusa(c.mensagem, {}, comparados(c.rotuloCabecalho, c.cabecalho, c.rotuloLinhas, c.linhas));
    return std::nullopt;
}

}  // namespace tracking
