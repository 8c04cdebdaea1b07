#include "reports/rules/Recursos.h"

#include "db/Dataset.h"
#include "text/Formats.h"

namespace relatorios {

namespace {

double ouZero(const QVariant& v)
{
    return v.isValid() && !v.isNull() ? v.toDouble() : 0.0;
}

}  // namespace

QStringList sqlInadimplentes()
{
    return {
        QStringLiteral("SELECT TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_UF,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_CIDADE,"),
        QStringLiteral("SUM(tb_total_incentivo_anual.vl_municipal / 12) INCENTIVO,"),
        QStringLiteral("SUM( TB_MOVIMENTO_MUNICIPIO.VL_ALOC_MUNICIPAL ) VL_ALOC_MUNICIPAL"),
        QStringLiteral("FROM TB_TOTAL_INCENTIVO_ANUAL"),
        QStringLiteral("   INNER JOIN TB_MOVIMENTO_MUNICIPIO ON (TB_TOTAL_INCENTIVO_ANUAL.NU_ANO_COMPET = "
                       "TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET) AND (TB_TOTAL_INCENTIVO_ANUAL.CO_UF = TB_MOVIMENTO_MUNICIPIO.CO_UF) "
                       "AND (TB_TOTAL_INCENTIVO_ANUAL.CO_CIDADE = TB_MOVIMENTO_MUNICIPIO.CO_CIDADE)"),
        QStringLiteral("WHERE "),
        QStringLiteral("   ("),
        QStringLiteral("      (TB_TOTAL_INCENTIVO_ANUAL.NU_ANO_COMPET = :NU_ANO_COMPET)"),
        QStringLiteral("   and "),
        QStringLiteral("      (TB_TOTAL_INCENTIVO_ANUAL.CO_UF = :CO_UF)"),
        QStringLiteral("   and "),
        QStringLiteral("("),
        QStringLiteral("cast(NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM"),
        QStringLiteral(")   and "),
        QStringLiteral("      (TB_TOTAL_INCENTIVO_ANUAL.CO_CIDADE = :CO_CIDADE)"),
        QStringLiteral(")"),
        QStringLiteral("GROUP BY TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_UF,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_CIDADE"),
        QStringLiteral("ORDER BY TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET,"),
        // The month as a number: "10" after "9".
        QStringLiteral("cast(TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET as Integer),"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_UF,"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_CIDADE"),
    };
}

QStringList sqlEmpenhado()
{
    return {
        QStringLiteral("select sum(VL_DOC) empenhado"),
        QStringLiteral("from TB_FONTE_COMPROVACAO_MUNICIPIO"),
        QStringLiteral("where "),
        QStringLiteral("NU_ANO_COMPET = :NU_ANO_COMPET   and "),
        QStringLiteral("CO_UF = :CO_UF and "),
        QStringLiteral("cast(NU_MES_COMPET as Integer) = :NU_MES_COMPET and "),
        QStringLiteral("CO_CIDADE = :CO_CIDADE and"),
        QStringLiteral("ST_TIPO_DOC = 'E'"),
    };
}

void preparaInadimplentes(db::Dataset& meses, db::Dataset& empenhado, const Selecao& selecao)
{
    meses.setSql(sqlInadimplentes());
    if (meses.fields().empty()) {
        meses.addField(QStringLiteral("NU_ANO_COMPET"), db::FieldType::String, 4);
        meses.addField(QStringLiteral("NU_MES_COMPET"), db::FieldType::String, 2);
        meses.addField(QStringLiteral("CO_UF"), db::FieldType::String, 2);
        meses.addField(QStringLiteral("CO_CIDADE"), db::FieldType::Integer);
        meses.addField(QStringLiteral("INCENTIVO"), db::FieldType::Float).setDisplayFormat(mascaras::valorLongo);
        meses.addField(QStringLiteral("VL_ALOC_MUNICIPAL"), db::FieldType::Float).setDisplayFormat(mascaras::valorLongo);
    }
    parametrosComuns(meses, selecao);
    parametroCidadeOuZero(meses, selecao);

    empenhado.setSql(sqlEmpenhado());
    if (empenhado.fields().empty())
        empenhado.addField(QStringLiteral("EMPENHADO"), db::FieldType::Float).setDisplayFormat(mascaras::valorLongo);
}

qint64 centavos(const QVariant& valor)
{
    // The mask's own rounding (15 significant digits, then half away from zero), so that
    // the cents held are the cents printed.
    const double v = ouZero(valor);
    const double impresso = text::parseFloat(text::formatFloat(QStringLiteral("0.00"), v)).value_or(v);
    return qRound64(impresso * 100);
}

double inadimplencia(const QVariant& incentivo, const QVariant& alocado)
{
    return double(centavos(incentivo) - centavos(alocado)) / 100;
}

double TotaisInadimplencia::acumula(const QVariant& incentivo, const QVariant& alocado, const QVariant& empenhado)
{
    centavosPactuados_ += centavos(incentivo);
    centavosAlocados_ += centavos(alocado);
    centavosEmpenhados_ += centavos(empenhado);
    pactuados = double(centavosPactuados_) / 100;
    alocados = double(centavosAlocados_) / 100;
    inadimplencia = double(centavosPactuados_ - centavosAlocados_) / 100;
    empenhados = double(centavosEmpenhados_) / 100;
    return relatorios::inadimplencia(incentivo, alocado);
}

QStringList sqlRecAlocGastos()
{
    return {
        QStringLiteral("SELECT "),
        QStringLiteral("cast(TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET as integer),"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.VL_SALDO_ANTERIOR,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_FEDERAL,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_ESTADUAL ,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_MUNICIPAL,"),
        QStringLiteral("       VL_ALOC_MED,"),
        QStringLiteral("       ( TB_MOVIMENTO_MUNICIPIO.VL_ALOC_FEDERAL +"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_ESTADUAL +"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_MUNICIPAL+"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_MED) TOTAL_ALOCADO,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_REC_GASTOS,"),
        QStringLiteral("TB_TOTAL_INCENTIVO_ANUAL.VL_FEDERAL,"),
        QStringLiteral("TB_TOTAL_INCENTIVO_ANUAL.VL_ESTADUAL,"),
        QStringLiteral("TB_TOTAL_INCENTIVO_ANUAL.VL_MUNICIPAL,"),
        QStringLiteral("(TB_MOVIMENTO_MUNICIPIO.VL_SALDO_ANTERIOR +"),
        QStringLiteral("( TB_MOVIMENTO_MUNICIPIO.VL_ALOC_FEDERAL +"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_ESTADUAL +"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.VL_ALOC_MUNICIPAL) "),
        QStringLiteral("- TB_MOVIMENTO_MUNICIPIO.VL_REC_GASTOS) SALDO_ATUAL,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.CO_UF,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.CO_CIDADE,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET"),
        QStringLiteral("FROM TB_TOTAL_INCENTIVO_ANUAL"),
        QStringLiteral("   RIGHT OUTER JOIN TB_MOVIMENTO_MUNICIPIO ON (TB_TOTAL_INCENTIVO_ANUAL.NU_ANO_COMPET = "
                       "TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET) AND (TB_TOTAL_INCENTIVO_ANUAL.CO_UF = TB_MOVIMENTO_MUNICIPIO.CO_UF) "
                       "AND (TB_TOTAL_INCENTIVO_ANUAL.CO_CIDADE = TB_MOVIMENTO_MUNICIPIO.CO_CIDADE)"),
        QStringLiteral("where"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET = :NU_ANO_COMPET and"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_UF = :CO_UF and"),
        QStringLiteral("TB_MOVIMENTO_MUNICIPIO.CO_CIDADE = :CO_CIDADE and"),
        QStringLiteral("cast(TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and"),
        QStringLiteral("cast(TB_MOVIMENTO_MUNICIPIO.NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM "),
        QStringLiteral("order by TB_MOVIMENTO_MUNICIPIO.NU_ANO_COMPET,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.CO_UF,"),
        QStringLiteral("       TB_MOVIMENTO_MUNICIPIO.CO_CIDADE, 1"),
    };
}

void preparaRecAlocGastos(db::Dataset& consulta, const Selecao& selecao)
{
    consulta.setSql(sqlRecAlocGastos());
    if (consulta.fields().empty()) {
        for (const char* valor : {"VL_SALDO_ANTERIOR", "VL_ALOC_FEDERAL", "VL_ALOC_ESTADUAL", "VL_ALOC_MUNICIPAL", "VL_ALOC_MED",
                                  "TOTAL_ALOCADO", "VL_REC_GASTOS", "SALDO_ATUAL"})
            consulta.addField(QString::fromLatin1(valor), db::FieldType::Float).setDisplayFormat(mascaras::valorLongo);
        for (const char* valor : {"VL_FEDERAL", "VL_ESTADUAL", "VL_MUNICIPAL"})
            consulta.addField(QString::fromLatin1(valor), db::FieldType::Float);
        consulta.addField(QStringLiteral("NU_ANO_COMPET"), db::FieldType::String, 4);
        consulta.addField(QStringLiteral("CO_UF"), db::FieldType::String, 2);
        consulta.addField(QStringLiteral("CO_CIDADE"), db::FieldType::Integer);
        consulta.addField(QStringLiteral("NU_MES_COMPET"), db::FieldType::String, 2);
    }
    parametrosComuns(consulta, selecao);
    parametroCidadeOuZero(consulta, selecao);
}

}  // namespace relatorios
