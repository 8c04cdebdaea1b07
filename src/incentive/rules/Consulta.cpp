#include "incentive/rules/Consulta.h"

#include "db/Dataset.h"
#include "text/Formats.h"

namespace incentivo {

namespace {

double numero(const QVariant& v)
{
    return v.isValid() && !v.isNull() ? v.toDouble() : 0.0;
}

}  // namespace

QStringList sqlConsulta()
{
    return {QStringLiteral("select t.*, f.co_forma_pactuacao, c.no_cidade"),
            QStringLiteral("from TB_TOTAL_INCENTIVO_ANUAL t,"),
            QStringLiteral("TB_CIDADE c,"),
            QStringLiteral("TB_FORMA_PACTUACAO f,"),
            QStringLiteral("TB_CIDADE_PACTUACAO cp"),
            QStringLiteral("where t.nu_ano_compet = :ano_compet and"),
            QStringLiteral("t.co_uf = :co_uf and"),
            QStringLiteral("c.co_seq_cidade = t.co_cidade and"),
            QStringLiteral("cp.nu_ano_compet = t.nu_ano_compet and"),
            QStringLiteral("cp.co_uf = t.co_uf and"),
            QStringLiteral("cp.co_cidade = t.co_cidade and"),
            QStringLiteral("f.co_forma_pactuacao = cp.co_forma_pactuacao"),
            // In the order of the names, whatever the codes ("Mathias Lobato" before "Vieiras").
            QStringLiteral("order by c.no_cidade")};
}

double totalDaLinha(const QVariant& federal, const QVariant& estadual, const QVariant& municipal)
{
    return numero(federal) + numero(estadual) + numero(municipal);
}

double duasCasas(double valor)
{
    // The money mask's own rounding (15 significant digits, then half away from zero),
    // so that the total held is the total shown.
    return text::parseFloat(text::formatFloat(QStringLiteral("0.00"), valor)).value_or(valor);
}

void Totais::acumula(const QVariant& vlFederal, const QVariant& vlEstadual, const QVariant& vlMunicipal)
{
    federal = duasCasas(federal + numero(vlFederal));
    estadual = duasCasas(estadual + numero(vlEstadual));
    municipal = duasCasas(municipal + numero(vlMunicipal));
}

Totais Totais::daConsulta(db::Dataset& consulta)
{
    Totais t;
    const db::Field& f = consulta.fieldByName(QStringLiteral("VL_FEDERAL"));
    const db::Field& e = consulta.fieldByName(QStringLiteral("VL_ESTADUAL"));
    const db::Field& m = consulta.fieldByName(QStringLiteral("VL_MUNICIPAL"));
    for (consulta.first(); !consulta.eof(); consulta.next())
        t.acumula(f.value(), e.value(), m.value());
    consulta.first();
    return t;
}

}  // namespace incentivo
