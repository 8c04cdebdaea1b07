// The annual incentive calculation for 5,600 pacted municipalities (every municipality
// of the reference data and a few more), its three passes with half the states holding
// a state exception and one municipality in five its own, against a baseline measured in
// the same run: the year's rows deleted and the same rows, pass by pass, written with a
// prepared UPDATE OR INSERT in one transaction, their values computed before the clock
// starts. Goal: the calculation within three times the baseline.
#include "data/Installation.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "incentive/rules/Calculo.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QString ano = QStringLiteral("2024");
constexpr int pactos = 5600;

void connect(db::Connection& c, const QString& path)
{
    installation::configure(c, path);
    c.open();
}

struct Linha {
    QString uf;
    int cidade;
    double populacao;
};

// Pacts, rates and exceptions of the year.
QList<Linha> prepara(db::Connection& c)
{
    QList<Linha> linhas;
    for (const QVariantList& r :
         db::Statement(c, {QStringLiteral("select CO_UF, CO_SEQ_CIDADE from TB_CIDADE order by CO_SEQ_CIDADE")}).selectAll())
        linhas << Linha{r.at(0).toString(), r.at(1).toInt(), 0};
    for (int i = 0; linhas.size() < pactos; ++i)
        linhas << Linha{QStringLiteral("DF"), 5399001 + i, 0};
    db::WriteUnit unit(c);
    db::Statement pacto(c, {QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                           "CO_FORMA_PACTUACAO, QT_POPULACAO) values (:ANO, :UF, :CIDADE, 'TDM', :POP)")});
    db::Statement excecao(c, {QStringLiteral("insert into TB_REPASSE_MUNICIPAL_EXCESSAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                             "VL_REPASSE_MUNICIPAL_EXCESSAO) values (:ANO, :UF, :CIDADE, 0.9)")});
    for (int i = 0; i < linhas.size(); ++i) {
        Linha& l = linhas[i];
        l.populacao = 1000 + (l.cidade % 97) * 731;
        for (db::Statement* s : {&pacto, &excecao}) {
            s->setParam(QStringLiteral("ANO"), ano);
            s->setParam(QStringLiteral("UF"), l.uf);
            s->setParam(QStringLiteral("CIDADE"), l.cidade);
        }
        pacto.setParam(QStringLiteral("POP"), l.populacao);
        pacto.exec();
        if (i % 5 == 0)
            excecao.exec();
    }
    db::Statement(c, {QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE, "
                                     "VL_REPASSE_ESTADUAL_MESTRE, VL_REPASSE_MUNICIPAL_MESTRE) values ('2024', 1, 0.5, 0.5)")})
        .exec();
    const QList<QVariantList> ufs =
        db::Statement(c, {QStringLiteral("select CO_UF from TB_UNIDADE_FEDERACAO order by CO_UF")}).selectAll();
    for (int i = 0; i < ufs.size(); i += 2) {
        db::Statement s(c, {QStringLiteral("insert into TB_REPASSE_ESTADUAL_EXCESSAO (NU_ANO_COMPET, CO_UF, "
                                           "VL_REPASSE_ESTADUAL_EXCESSAO) values ('2024', :UF, 0.65)")});
        s.setParam(QStringLiteral("UF"), ufs.at(i).at(0));
        s.exec();
    }
    unit.commit();
    return linhas;
}

// What the three passes write, row by row: the key and the shares each pass sets.
struct Escrita {
    QString uf;
    int cidade;
    QVariant federal, estadual, municipal;  // invalid: not written by this pass
};

QList<Escrita> escritas(db::Connection& c)
{
    QList<Escrita> e;
    for (const QVariantList& r :
         db::Statement(c, {QStringLiteral("select a.co_uf, a.co_cidade, a.qt_populacao * b.vl_repasse_federal_mestre, "
                                          "a.qt_populacao * b.vl_repasse_estadual_mestre, "
                                          "a.qt_populacao * b.vl_repasse_municipal_mestre "
                                          "from TB_CIDADE_PACTUACAO a, TB_REPASSE_MESTRE b "
                                          "where a.nu_ano_compet = '2024' and b.nu_ano_compet = a.nu_ano_compet")})
             .selectAll())
        e << Escrita{r.at(0).toString(), r.at(1).toInt(), r.at(2), r.at(3), r.at(4)};
    for (const QVariantList& r :
         db::Statement(c, {QStringLiteral("select a.co_uf, a.co_cidade, a.qt_populacao * b.vl_repasse_estadual_excessao "
                                          "from TB_CIDADE_PACTUACAO a, TB_REPASSE_ESTADUAL_EXCESSAO b "
                                          "where a.nu_ano_compet = '2024' and b.nu_ano_compet = a.nu_ano_compet "
                                          "and b.co_uf = a.co_uf")})
             .selectAll())
        e << Escrita{r.at(0).toString(), r.at(1).toInt(), {}, r.at(2), {}};
    for (const QVariantList& r :
         db::Statement(c, {QStringLiteral("select a.co_uf, a.co_cidade, a.qt_populacao * b.vl_repasse_municipal_excessao "
                                          "from TB_CIDADE_PACTUACAO a, TB_REPASSE_MUNICIPAL_EXCESSAO b "
                                          "where a.nu_ano_compet = '2024' and b.nu_ano_compet = a.nu_ano_compet "
                                          "and b.co_uf = a.co_uf and b.co_cidade = a.co_cidade")})
             .selectAll())
        e << Escrita{r.at(0).toString(), r.at(1).toInt(), {}, {}, r.at(2)};
    return e;
}

double baseline(db::Connection& c, const QList<Escrita>& linhas)
{
    QSqlDatabase d = c.database();
    QElapsedTimer t;
    t.start();
    d.transaction();
    QSqlQuery apaga(d);
    apaga.exec(QStringLiteral("delete from TB_TOTAL_INCENTIVO_ANUAL where NU_ANO_COMPET = '2024'"));
    QSqlQuery todas(d), estadual(d), municipal(d);
    todas.prepare(QStringLiteral("update or insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                 "VL_FEDERAL, VL_ESTADUAL, VL_MUNICIPAL) values ('2024', ?, ?, ?, ?, ?) "
                                 "matching (NU_ANO_COMPET, CO_UF, CO_CIDADE)"));
    estadual.prepare(QStringLiteral("update or insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                    "VL_ESTADUAL) values ('2024', ?, ?, ?) matching (NU_ANO_COMPET, CO_UF, CO_CIDADE)"));
    municipal.prepare(QStringLiteral("update or insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                     "VL_MUNICIPAL) values ('2024', ?, ?, ?) matching (NU_ANO_COMPET, CO_UF, CO_CIDADE)"));
    for (const Escrita& e : linhas) {
        QSqlQuery& q = e.federal.isValid() ? todas : e.estadual.isValid() ? estadual : municipal;
        q.bindValue(0, e.uf);
        q.bindValue(1, e.cidade);
        if (e.federal.isValid()) {
            q.bindValue(2, e.federal);
            q.bindValue(3, e.estadual);
            q.bindValue(4, e.municipal);
        } else {
            q.bindValue(2, e.estadual.isValid() ? e.estadual : e.municipal);
        }
        if (!q.exec())
            qFatal("baseline write failed");
    }
    todas.finish();
    estadual.finish();
    municipal.finish();
    d.commit();
    return t.nsecsElapsed() / 1e6;
}

double calculo(db::Connection& c)
{
    QElapsedTimer t;
    t.start();
    const incentivo::ResultadoCalculo r = incentivo::calculaIncentivoAnual(c, ano);
    const double ms = t.nsecsElapsed() / 1e6;
    if (r.linhas != pactos || !r.recusas.isEmpty())
        qFatal("calculation wrote %d rows", r.linhas);
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    text::setBrazilianFormats();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("KORVA.GDB"));
    qputenv("KORVA_HOME", dir.path().toLocal8Bit());
    data::createDatabase(path, false);

    db::Connection c;
    connect(c, path);
    prepara(c);
    const QList<Escrita> linhas = escritas(c);

    double base = 1e12, calc = 1e12;
    for (int round = 0; round < 5; ++round) {
        base = std::min(base, baseline(c, linhas));
        calc = std::min(calc, calculo(c));
    }
    printf("pacted municipalities      : %d (%lld row writes in three passes)\n", pactos, qlonglong(linhas.size()));
    printf("UPDATE OR INSERT baseline  : %8.1f ms\n", base);
    printf("incentive calculation      : %8.1f ms\n", calc);
    printf("calculation / baseline: %.2f (goal: within 3)\n", calc / base);
    return 0;
}
