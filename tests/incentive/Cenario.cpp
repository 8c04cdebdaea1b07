#include "Cenario.h"

#include "db/Statement.h"
#include "text/Formats.h"

namespace cenario {

void executa(db::Connection& c, const QString& sql, const QVariantList& valores)
{
    db::Statement s(c, {sql});
    for (int i = 0; i < valores.size(); ++i)
        s.setParam(QStringLiteral("P%1").arg(i + 1), valores.at(i));
    s.exec();
}

void pacto(db::Connection& c, const QString& ano, const QString& uf, int cidade, const QVariant& populacao,
           const QString& modalidade)
{
    executa(c,
            QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO, "
                           "QT_POPULACAO) values (:P1, :P2, :P3, :P4, :P5)"),
            {ano, uf, cidade, modalidade, populacao});
}

void repassePadrao(db::Connection& c, const QString& ano, double federal, double estadual, double municipal)
{
    executa(c,
            QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE, "
                           "VL_REPASSE_ESTADUAL_MESTRE, VL_REPASSE_MUNICIPAL_MESTRE) values (:P1, :P2, :P3, :P4)"),
            {ano, federal, estadual, municipal});
}

void excecaoEstadual(db::Connection& c, const QString& ano, const QString& uf, double valor)
{
    executa(c,
            QStringLiteral("insert into TB_REPASSE_ESTADUAL_EXCESSAO (NU_ANO_COMPET, CO_UF, VL_REPASSE_ESTADUAL_EXCESSAO) "
                           "values (:P1, :P2, :P3)"),
            {ano, uf, valor});
}

void excecaoMunicipal(db::Connection& c, const QString& ano, const QString& uf, int cidade, double valor)
{
    executa(c,
            QStringLiteral("insert into TB_REPASSE_MUNICIPAL_EXCESSAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                           "VL_REPASSE_MUNICIPAL_EXCESSAO) values (:P1, :P2, :P3, :P4)"),
            {ano, uf, cidade, valor});
}

void monta(db::Connection& c)
{
    repassePadrao(c, ano, 1.0, 0.5, 0.25);
    excecaoEstadual(c, ano, QStringLiteral("MG"), 0.75);
    excecaoMunicipal(c, ano, QStringLiteral("MG"), lavras, 0.9);
    pacto(c, ano, QStringLiteral("MG"), lavras, 1000.0);
    pacto(c, ano, QStringLiteral("MG"), varginha, 2000.0, QStringLiteral("PDM"));
    pacto(c, ano, QStringLiteral("MG"), abaete, QVariant());
    pacto(c, ano, QStringLiteral("SP"), saoPaulo, 500.0, QStringLiteral("TCE"));
    // Another year's exceptions and result.
    excecaoEstadual(c, QStringLiteral("2003"), QStringLiteral("SP"), 9.0);
    excecaoMunicipal(c, QStringLiteral("2003"), QStringLiteral("MG"), varginha, 9.0);
    executa(c,
            QStringLiteral("insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_FEDERAL, "
                           "VL_ESTADUAL, VL_MUNICIPAL) values ('2003', 'MG', 3138203, 1, 2, 3)"));
}

QStringList resultados(db::Connection& c, const QString& ano)
{
    db::Statement s(c, {QStringLiteral("select CO_UF, CO_CIDADE, VL_FEDERAL, VL_ESTADUAL, VL_MUNICIPAL "
                                       "from TB_TOTAL_INCENTIVO_ANUAL where NU_ANO_COMPET = :ANO order by CO_UF, CO_CIDADE")});
    s.setParam(QStringLiteral("ANO"), ano);
    QStringList linhas;
    for (const QVariantList& r : s.selectAll()) {
        QStringList l{r.at(0).toString(), r.at(1).toString()};
        for (int i = 2; i < 5; ++i)
            l << (r.at(i).isNull() ? QString() : text::floatToText(r.at(i).toDouble()));
        linhas << l.join(QLatin1Char('|'));
    }
    return linhas;
}

QStringList esperado()
{
    return {QStringLiteral("MG|3100203|||"), QStringLiteral("MG|3138203|1000|750|900"),
            QStringLiteral("MG|3170701|2000|1500|500"), QStringLiteral("SP|3550308|500|250|125")};
}

}  // namespace cenario
