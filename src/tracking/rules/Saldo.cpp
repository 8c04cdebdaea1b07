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

namespace {
// Whole cents of the two-decimal text (which has no grouping), so that the comparison
// rounds as the text does.
qint64 centavos(double valor)
{
    QString t = doisDecimais(valor);
    t.remove(text::formats().decimalSeparator);
    return t.toLongLong();
}
}  // namespace

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

std::optional<QString> verificaFechamento(const Valores& v, const TotaisFechamento& t)
{
    if (!mesmoValor(v.gastos, t.execucaoFisica))
        return QStringLiteral("Total Movimentação Financeira diferente do Total Execução Física");
    if (!mesmoValor(v.gastos, t.notaFiscal + t.guiaRemessa))
        return QStringLiteral("Total Movimentação Financeira Diferente do Total da Fonte de Comprovação");
    if (!mesmoValor(v.medicamentos, t.guiaRemessa))
        return QStringLiteral("Total em Medicamentos diferente do Total da Guia de Remessa");
    return std::nullopt;
}

}  // namespace tracking
