#include "reports/rules/Compras.h"

#include "db/Dataset.h"
#include "text/Formats.h"

namespace relatorios {

QStringList sqlCompraElenco(bool comMedicamento)
{
    QStringList sql{
        QStringLiteral("select f.co_uf, f.nu_ano_compet, cast(f.nu_mes_compet as float) nu_mes_compet, E.ds_medicamento,"),
        QStringLiteral("qt_medicamento, vl_unitario, vl_total"),
        QStringLiteral("from TB_EXECUCAO_FISICA_MUNICIPIO F, TB_ELENCO_MINIMO E"),
        QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and"),
        QStringLiteral("CO_UF = :CO_UF and"),
        QStringLiteral("F.CO_SEQ_MEDICAMENTO = E.CO_SEQ_MEDICAMENTO AND"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM AND"),
        QStringLiteral("CO_CIDADE = :CO_CIDADE"),
    };
    // Qualified: the engine refuses a column that both tables have without its table.
    if (comMedicamento)
        sql << QStringLiteral("and F.co_seq_medicamento = :co_medicamento");
    sql << QStringLiteral("order by f.co_uf, E.ds_medicamento, 3");
    return sql;
}

void preparaCompraElenco(db::Dataset& consulta, const Selecao& selecao, const QVariant& medicamento)
{
    const bool comMedicamento = medicamento.isValid() && !medicamento.isNull();
    consulta.setSql(sqlCompraElenco(comMedicamento));
    if (consulta.fields().empty()) {
        consulta.addField(QStringLiteral("CO_UF"), db::FieldType::String, 2);
        consulta.addField(QStringLiteral("NU_ANO_COMPET"), db::FieldType::String, 4);
        consulta.addField(QStringLiteral("NU_MES_COMPET"), db::FieldType::Float);
        consulta.addField(QStringLiteral("DS_MEDICAMENTO"), db::FieldType::String, 100);
        consulta.addField(QStringLiteral("QT_MEDICAMENTO"), db::FieldType::Integer).setDisplayFormat(mascaras::quantidade);
        consulta.addField(QStringLiteral("VL_UNITARIO"), db::FieldType::Float).setDisplayFormat(mascaras::unitario);
        consulta.addField(QStringLiteral("VL_TOTAL"), db::FieldType::Float).setDisplayFormat(mascaras::valor);
    }
    parametrosComuns(consulta, selecao);
    parametroCidadeOuZero(consulta, selecao);
    if (comMedicamento)
        consulta.setParam(QStringLiteral("co_medicamento"), medicamento);
}

QStringList sqlComparativo(bool instalacaoEstadual, bool comMunicipio)
{
    QStringList sql;
    if (instalacaoEstadual) {
        sql << QStringLiteral("SELECT E.*,C.NO_CIDADE , E.CO_SEQ_MEDICAMENTO, E.QT_MEDICAMENTO")
            << QStringLiteral("FROM TB_CIDADE C RIGHT OUTER JOIN TB_EXECUCAO_FISICA_MUNICIPIO E ON (C.CO_SEQ_CIDADE = E.CO_CIDADE)")
            << QStringLiteral("WHERE       (E.NU_ANO_COMPET = :NU_ANO_COMPET)    and");
        if (comMunicipio)
            sql << QStringLiteral("E.CO_CIDADE = :CO_CIDADE and");
        sql << QStringLiteral("(E.CO_UF = :CO_UF) and  (CAST(E.NU_MES_COMPET AS INTEGER) >= :NU_MES_COMPET_INICIO)")
            << QStringLiteral("and (CAST(E.NU_MES_COMPET AS INTEGER) <= :NU_MES_COMPET_FIM)    and")
            << QStringLiteral("(E.CO_SEQ_MEDICAMENTO = :CO_MEDICAMENTO)");
        return sql;
    }
    sql << QStringLiteral("select E.*");
    if (comMunicipio)
        sql << QStringLiteral(", C.NO_CIDADE NO_CIDADE");
    sql << QStringLiteral("from TB_EXECUCAO_FISICA_MUNICIPIO E");
    if (comMunicipio)
        sql << QStringLiteral(",TB_CIDADE C");
    sql << QStringLiteral("where E.NU_ANO_COMPET = :NU_ANO_COMPET and E.CO_UF = :CO_UF and");
    if (comMunicipio)
        sql << QStringLiteral("E.CO_CIDADE = :CO_CIDADE and");
    sql << QStringLiteral("cast(E.NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and")
        << QStringLiteral("cast(E.NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM");
    if (comMunicipio)
        sql << QStringLiteral("and C.CO_SEQ_CIDADE = E.CO_CIDADE");
    sql << QStringLiteral("and E.CO_SEQ_MEDICAMENTO = :CO_MEDICAMENTO") << QStringLiteral("order by E.VL_UNITARIO");
    return sql;
}

void preparaComparativo(db::Dataset& consulta, const Selecao& selecao, bool instalacaoEstadual,
                        const QVariant& medicamento)
{
    const bool comMunicipio = selecao.cidade.has_value();
    consulta.setSql(sqlComparativo(instalacaoEstadual, comMunicipio));
    parametrosComuns(consulta, selecao);
    consulta.setParam(QStringLiteral("CO_MEDICAMENTO"), medicamento);
    if (comMunicipio)
        consulta.setParam(QStringLiteral("CO_CIDADE"), *selecao.cidade);
}

QStringList sqlCompraMedTotal()
{
    return {
        QStringLiteral("SELECT NU_ANO_COMPET,CO_UF,CO_CIDADE,cast(NU_MES_COMPET as Float) NU_MES_COMPET,"),
        QStringLiteral("SUM(ELENCO_MINIMO)  ELENCO_MINIMO,"),
        QStringLiteral("SUM( TOT_OUTROS_PACTUADA )         TOT_OUTROS_PACTUADA"),
        QStringLiteral("FROM VIEW_UNION"),
        QStringLiteral("WHERE NU_ANO_COMPET = :NU_ANO_COMPET and"),
        QStringLiteral("CO_UF = :CO_UF and"),
        QStringLiteral("CO_CIDADE = :CO_CIDADE and"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM"),
        QStringLiteral("GROUP BY NU_ANO_COMPET,CO_UF,CO_CIDADE,NU_MES_COMPET"),
        QStringLiteral("ORDER BY NU_ANO_COMPET,CO_UF,CO_CIDADE,4"),
    };
}

void preparaCompraMedTotal(db::Dataset& consulta, const Selecao& selecao)
{
    consulta.setSql(sqlCompraMedTotal());
    if (consulta.fields().empty()) {
        consulta.addField(QStringLiteral("NU_ANO_COMPET"), db::FieldType::String, 4);
        consulta.addField(QStringLiteral("CO_UF"), db::FieldType::String, 2);
        consulta.addField(QStringLiteral("CO_CIDADE"), db::FieldType::Integer);
        consulta.addField(QStringLiteral("NU_MES_COMPET"), db::FieldType::Float);
        consulta.addField(QStringLiteral("ELENCO_MINIMO"), db::FieldType::Float).setDisplayFormat(mascaras::valorLongo);
        consulta.addField(QStringLiteral("TOT_OUTROS_PACTUADA"), db::FieldType::Float).setDisplayFormat(mascaras::valorLongo);
    }
    parametrosComuns(consulta, selecao);
    parametroCidadeOuZero(consulta, selecao);
}

QString chaveGrupoTotal(const QVariant& uf, const QVariant& cidade, const QVariant& mes)
{
    // Apart by a character no code holds, so that "1" + "23" is not "12" + "3".
    return uf.toString() + QLatin1Char('|') + cidade.toString() + QLatin1Char('|') + mes.toString();
}

}  // namespace relatorios
