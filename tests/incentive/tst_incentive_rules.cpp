// The incentive rules without any window, against a real database: the three passes of
// the calculation and what each share is made of, a year calculated again, a year
// without standard rates, the calculation undone whole when it fails, the rows it
// cannot write, the UF's totals, and the bulk municipal exception.
#include "Cenario.h"

#include "data/AlteracoesIncentivo.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "incentive/rules/Calculo.h"
#include "incentive/rules/Consulta.h"
#include "incentive/rules/ExcessaoMunicipal.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QTest>

#include <memory>
#include <optional>

using namespace incentivo;

class TestIncentiveRules : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;

    QVariant escalar(const QString& sql, const QVariantList& valores = {})
    {
        db::Statement s(*c, {sql});
        for (int i = 0; i < valores.size(); ++i)
            s.setParam(QStringLiteral("P%1").arg(i + 1), valores.at(i));
        return s.scalar();
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        cenario::monta(*c);
    }
    void cleanup() { c.reset(); }

    // --- the calculation ---------------------------------------------------------------

    // Federal share at the standard rate; the state share at MG's exception; Lavras's
    // municipal share at its own exception; no population, no shares; 2003 untouched.
    void theThreePassesMakeEachShare()
    {
        const ResultadoCalculo r = calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(cenario::resultados(*c), cenario::esperado());
        QCOMPARE(r.linhas, 4);
        QCOMPARE(r.gravadas, (std::array<int, 3>{4, 3, 1}));
        QVERIFY(r.recusas.isEmpty());
        QCOMPARE(r.mensagem(), QStringLiteral("Calculo efetuado"));
        QCOMPARE(cenario::resultados(*c, QStringLiteral("2003")), QStringList{QStringLiteral("MG|3138203|1|2|3")});
        QVERIFY(!c->inUnit());
    }

    // The year's rows are replaced: the same rows again, a pact gone takes its row with
    // it, a changed rate changes the share.
    void calculatingAgainReplacesTheYear()
    {
        calculaIncentivoAnual(*c, cenario::ano);
        calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(cenario::resultados(*c), cenario::esperado());

        cenario::executa(*c, QStringLiteral("delete from TB_CIDADE_PACTUACAO where CO_CIDADE = 3100203"));
        cenario::executa(*c, QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2"));
        const ResultadoCalculo r = calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(r.linhas, 3);
        QCOMPARE(cenario::resultados(*c), (QStringList{QStringLiteral("MG|3138203|2000|750|900"),
                                                        QStringLiteral("MG|3170701|4000|1500|500"),
                                                        QStringLiteral("SP|3550308|1000|250|125")}));
    }

    // Without standard rates the first pass writes nothing and each exception makes a
    // row of its own share; Lavras, with both, gets both and no federal share.
    void aYearWithoutStandardRatesKeepsOnlyTheExceptions()
    {
        cenario::executa(*c, QStringLiteral("delete from TB_REPASSE_MESTRE"));
        const ResultadoCalculo r = calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(r.gravadas, (std::array<int, 3>{0, 3, 1}));
        QCOMPARE(cenario::resultados(*c), (QStringList{QStringLiteral("MG|3100203|||"), QStringLiteral("MG|3138203||750|900"),
                                                        QStringLiteral("MG|3170701||1500|")}));
    }

    // A failure after the first pass undoes the whole calculation: the year keeps what
    // it had, and the connection is free for the next one.
    void aFailureAfterAPassKeepsThePreviousResults()
    {
        calculaIncentivoAnual(*c, cenario::ano);
        cenario::executa(*c, QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2"));
        cenario::pacto(*c, cenario::ano, QStringLiteral("MG"), 3132404, 10.0);
        int ultimo = 0;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, calculaIncentivoAnual(*c, cenario::ano, [&](int passo) {
                                     ultimo = passo;
                                     if (passo == 1)
                                         throw std::runtime_error("falha injetada");
                                 }));
        QCOMPARE(ultimo, 1);
        QVERIFY(!c->inUnit());
        QCOMPARE(cenario::resultados(*c), cenario::esperado());

        calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(cenario::resultados(*c).size(), 5);
    }

    void anEmptyYearIsRefused()
    {
        for (const QString& ano : {QString(), QStringLiteral(" ")}) {
            QString dito;
            try {
                calculaIncentivoAnual(*c, ano);
            } catch (const db::DataError& e) {
                dito = e.message();
            }
            QCOMPARE(dito, QStringLiteral("Informe o Ano para cálculo"));
        }
        QCOMPARE(cenario::resultados(*c, QStringLiteral("2003")).size(), 1);
    }

    // A row the database refuses both ways is left out and named; the others are written.
    void aRowTheDatabaseRefusesIsNamedAndTheRestWritten()
    {
        cenario::executa(*c, QStringLiteral("alter table TB_TOTAL_INCENTIVO_ANUAL add constraint CK_TESTE_FEDERAL "
                                            "check (VL_FEDERAL is null or VL_FEDERAL < 1500)"));
        const ResultadoCalculo r = calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(r.recusas.size(), 1);
        QCOMPARE(r.recusas.first().passo, 1);
        QCOMPARE(r.recusas.first().cidade, cenario::varginha);
        // Varginha's state share still comes from the second pass.
        QCOMPARE(cenario::resultados(*c), (QStringList{QStringLiteral("MG|3100203|||"), QStringLiteral("MG|3138203|1000|750|900"),
                                                        QStringLiteral("MG|3170701||1500|"),
                                                        QStringLiteral("SP|3550308|500|250|125")}));
        const QStringList linhas = r.mensagem().split(QLatin1Char('\n'));
        QCOMPARE(linhas.value(0), QStringLiteral("Calculo efetuado"));
        QCOMPARE(linhas.value(2), QStringLiteral("Um valor não foi gravado:"));
        QVERIFY2(linhas.value(3).startsWith(QStringLiteral("Varginha - MG (repasse padrão): ")), qPrintable(linhas.value(3)));
        QVERIFY2(linhas.value(3).contains(QStringLiteral("CK_TESTE_FEDERAL")), qPrintable(linhas.value(3)));
    }

    // An exception without a rate is left out, the standard rate applies, and the result
    // names it; a null share never comes of it.
    void anExceptionWithoutARateIsLeftOutAndNamed()
    {
        cenario::executa(*c, QStringLiteral("update TB_REPASSE_ESTADUAL_EXCESSAO set VL_REPASSE_ESTADUAL_EXCESSAO = null "
                                            "where NU_ANO_COMPET = '2004'"));
        cenario::executa(*c, QStringLiteral("update TB_REPASSE_MUNICIPAL_EXCESSAO set VL_REPASSE_MUNICIPAL_EXCESSAO = null "
                                            "where NU_ANO_COMPET = '2004'"));
        const ResultadoCalculo r = calculaIncentivoAnual(*c, cenario::ano);
        QCOMPARE(cenario::resultados(*c), (QStringList{QStringLiteral("MG|3100203|||"), QStringLiteral("MG|3138203|1000|500|250"),
                                                        QStringLiteral("MG|3170701|2000|1000|500"),
                                                        QStringLiteral("SP|3550308|500|250|125")}));
        QCOMPARE(r.gravadas, (std::array<int, 3>{4, 0, 0}));
        QVERIFY(r.recusas.isEmpty());
        QCOMPARE(r.semValor.size(), 2);
        QCOMPARE(r.mensagem(), QStringLiteral("Calculo efetuado\n\n2 exceções sem valor foram ignoradas (vale o repasse padrão):\n"
                                              "MG (exceção estadual)\nLavras - MG (exceção municipal)"));
    }

    void theYearsWithPacts()
    {
        cenario::pacto(*c, QStringLiteral("2002"), QStringLiteral("MG"), cenario::lavras, 1.0);
        QCOMPARE(anosPactuados(*c), (QStringList{QStringLiteral("2002"), QStringLiteral("2004")}));
    }

    // --- a stale incentive ---------------------------------------------------------------

    // After the year's calculation, what changes it makes it stale, named with its kind;
    // what does not (a census year, a modality, another year) leaves it current.
    void aChangeAfterTheCalculationIsNamed_data()
    {
        QTest::addColumn<QStringList>("sql");
        QTest::addColumn<QStringList>("nomes");
        const QString pacto2004 = QStringLiteral(" where NU_ANO_COMPET = '2004' and CO_CIDADE = 3138203");
        const QStringList pactuacoes{QStringLiteral("Pactuações")};
        QTest::newRow("population") << QStringList{"update TB_CIDADE_PACTUACAO set QT_POPULACAO = 1500" + pacto2004}
                                    << pactuacoes;
        QTest::newRow("census year only") << QStringList{"update TB_CIDADE_PACTUACAO set NU_ANO_CENSO = '2000'" + pacto2004}
                                          << QStringList{};
        QTest::newRow("modality only") << QStringList{"update TB_CIDADE_PACTUACAO set CO_FORMA_PACTUACAO = 'PDM'" + pacto2004}
                                       << QStringList{};
        QTest::newRow("saved unchanged") << QStringList{"update TB_CIDADE_PACTUACAO set QT_POPULACAO = QT_POPULACAO" + pacto2004}
                                         << QStringList{};
        QTest::newRow("new pact") << QStringList{"insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                                 "QT_POPULACAO) values ('2004', 'MG', 3132404, 10)"}
                                  << pactuacoes;
        QTest::newRow("pact moved to 2003") << QStringList{"update TB_CIDADE_PACTUACAO set NU_ANO_COMPET = '2003'" + pacto2004}
                                            << pactuacoes;
        QTest::newRow("pact deleted") << QStringList{"delete from TB_CIDADE_PACTUACAO" + pacto2004} << pactuacoes;
        QTest::newRow("standard rate") << QStringList{"update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2 "
                                                      "where NU_ANO_COMPET = '2004'"}
                                       << QStringList{QStringLiteral("Repasse Padrão")};
        QTest::newRow("state exception deleted") << QStringList{"delete from TB_REPASSE_ESTADUAL_EXCESSAO where NU_ANO_COMPET = '2004'"}
                                                 << QStringList{QStringLiteral("Exceção Estadual")};
        QTest::newRow("municipal exception") << QStringList{"update TB_REPASSE_MUNICIPAL_EXCESSAO set "
                                                            "VL_REPASSE_MUNICIPAL_EXCESSAO = 1 where NU_ANO_COMPET = '2004'"}
                                             << QStringList{QStringLiteral("Exceção Municipal")};
        QTest::newRow("another year") << QStringList{"update TB_REPASSE_ESTADUAL_EXCESSAO set VL_REPASSE_ESTADUAL_EXCESSAO = 9 "
                                                     "where NU_ANO_COMPET = '2003'"}
                                      << QStringList{};
        QTest::newRow("rates, then a pact") << QStringList{"update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2",
                                                           "update TB_CIDADE_PACTUACAO set QT_POPULACAO = 1" + pacto2004}
                                            << QStringList{QStringLiteral("Pactuações"), QStringLiteral("Repasse Padrão")};
    }
    void aChangeAfterTheCalculationIsNamed()
    {
        QFETCH(QStringList, sql);
        QFETCH(QStringList, nomes);
        calculaIncentivoAnual(*c, cenario::ano);
        const data::AtualidadeIncentivo antes = data::atualidadeIncentivo(*c, cenario::ano);
        QVERIFY(antes.registrado);
        QVERIFY(antes.calculo.isValid());
        QVERIFY(!antes.desatualizado());
        QCOMPARE(antes.linha(), QString());

        for (const QString& s : sql)
            cenario::executa(*c, s);
        const data::AtualidadeIncentivo a = data::atualidadeIncentivo(*c, cenario::ano);
        QStringList dito;
        for (const data::AlteracaoIncentivo& d : a.depois) {
            dito << d.oQue;
            QVERIFY(d.quando >= a.calculo);
        }
        QCOMPARE(dito, nomes);
        QCOMPARE(a.calculo, antes.calculo);
        if (nomes.isEmpty()) {
            QCOMPARE(a.linha(), QString());
            return;
        }
        const QString data = [](const QDateTime& d) { return d.toString(QStringLiteral("dd/MM/yyyy HH:mm")); }(a.depois.first().quando);
        QCOMPARE(a.linha(), QStringLiteral("Incentivo de 2004 desatualizado: calculado em %1, antes destas alterações: %2 em %3%4.")
                                .arg(a.calculo.toString(QStringLiteral("dd/MM/yyyy HH:mm")), nomes.first(), data,
                                     nomes.size() > 1 ? QStringLiteral("; %1 em %2").arg(nomes.at(1),
                                         a.depois.at(1).quando.toString(QStringLiteral("dd/MM/yyyy HH:mm")))
                                                      : QString()));

        // Calculated again, it is current; the other year was never calculated.
        calculaIncentivoAnual(*c, cenario::ano);
        QVERIFY(!data::atualidadeIncentivo(*c, cenario::ano).desatualizado());
    }

    // Another seat changes a rate and commits while the calculation runs: the calculation
    // is refused whole, not recorded as later than that change.
    void aChangeCommittedDuringTheCalculationRefusesIt()
    {
        calculaIncentivoAnual(*c, cenario::ano);
        db::Connection outra;
        support::TestDatabase::configure(outra);
        outra.open();
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, calculaIncentivoAnual(*c, cenario::ano, [&](int passo) {
                                     if (passo == 1)
                                         cenario::executa(outra, QStringLiteral("update TB_REPASSE_MESTRE set "
                                                                                "VL_REPASSE_FEDERAL_MESTRE = 2"));
                                 }));
        QVERIFY(!c->inUnit());
        QCOMPARE(data::atualidadeIncentivo(*c, cenario::ano).depois.size(), 1);
        QCOMPARE(cenario::resultados(*c), cenario::esperado());
    }

    // A year whose pacts were written and never calculated says so.
    void aYearNeverCalculatedIsStale()
    {
        const data::AtualidadeIncentivo a = data::atualidadeIncentivo(*c, cenario::ano);
        QVERIFY(!a.calculo.isValid());
        QCOMPARE(a.depois.size(), 4);
        QVERIFY2(a.linha().startsWith(QStringLiteral("Incentivo de 2004 desatualizado: nenhum cálculo registrado depois "
                                                     "destas alterações: Pactuações em ")),
                 qPrintable(a.linha()));
        // A calculation that fails records nothing: the year stays stale.
        QVERIFY_THROWS_EXCEPTION(std::runtime_error, calculaIncentivoAnual(*c, cenario::ano, [](int) {
                                     throw std::runtime_error("falha injetada");
                                 }));
        QVERIFY(data::atualidadeIncentivo(*c, cenario::ano).registrado);
        QVERIFY(!data::atualidadeIncentivo(*c, cenario::ano).calculo.isValid());
        QCOMPARE(data::atualidadeIncentivo(*c, cenario::ano).depois.size(), 4);
    }

    // --- the totals --------------------------------------------------------------------

    // Each running total is held at two decimals after every addition, an empty share
    // counting as zero; a row's total adds the shares, empty ones as zero.
    void theTotalsAreHeldAtTwoDecimals()
    {
        Totais t;
        for (int i = 0; i < 3; ++i)
            t.acumula(0.004, QVariant(), 1.005);
        t.acumula(QVariant(), 0.125, 0.0);
        QCOMPARE(t.federal, 0.0);     // 0,012 added exactly
        QCOMPARE(t.estadual, 0.13);   // half away from zero
        QCOMPARE(t.municipal, 3.03);  // 1,01 three times
        QCOMPARE(totalDaLinha(1.5, QVariant(), 2.25), 3.75);
        QCOMPARE(totalDaLinha(QVariant(), QVariant(), QVariant()), 0.0);
    }

    // --- the bulk municipal exception -------------------------------------------------

    void theRateTyped_data()
    {
        QTest::addColumn<QString>("texto");
        QTest::addColumn<QVariant>("valor");
        QTest::newRow("decimal comma") << "1,5" << QVariant(1.5);
        QTest::newRow("thousands") << "1.234,50" << QVariant(1234.5);
        QTest::newRow("blanks around") << " 2 " << QVariant(2.0);
        QTest::newRow("thousands, no decimals") << "12.345" << QVariant(12345.0);
        QTest::newRow("point before two digits") << "1.50" << QVariant();
        QTest::newRow("point before one digit") << "1.5" << QVariant();
        QTest::newRow("zero") << "0,00" << QVariant();
        QTest::newRow("empty") << "" << QVariant();
        QTest::newRow("blank") << "   " << QVariant();
        QTest::newRow("letters") << "abc" << QVariant();
        QTest::newRow("two commas") << "1,2,3" << QVariant();
        QTest::newRow("a sign alone") << "-" << QVariant();
        QTest::newRow("negative") << "-1,5" << QVariant();
    }
    void theRateTyped()
    {
        QFETCH(QString, texto);
        QFETCH(QVariant, valor);
        const std::optional<double> v = valorDeRepasse(texto);
        QCOMPARE(v.has_value(), valor.isValid());
        if (v)
            QCOMPARE(*v, valor.toDouble());
    }

    // Every municipality of the state gets the rate; one that had an exception for the
    // year keeps it, and so does everyone the second time; other years and states stay.
    void generatingTwiceKeepsTheFirstValue()
    {
        const int mg = escalar(QStringLiteral("select count(*) from TB_CIDADE where CO_UF = 'MG'")).toInt();
        QCOMPARE(mg, 853);
        const QString soma = QStringLiteral("select count(*), sum(VL_REPASSE_MUNICIPAL_EXCESSAO) from "
                                            "TB_REPASSE_MUNICIPAL_EXCESSAO where NU_ANO_COMPET = :P1 and CO_UF = 'MG'");

        ResultadoGeracao r = geraExcessaoMunicipal(*c, cenario::ano, QStringLiteral("MG"), 0.5);
        QCOMPARE(r.gravadas, mg - 1);
        QCOMPARE(r.mantidas, 1);
        QVERIFY(r.recusas.isEmpty());
        QCOMPARE(r.mensagem(), QStringLiteral("Geração Efetuada\n\nExceção gravada para 852 municípios.\n"
                                              "1 município já tinha exceção no ano e ficou com ela."));
        QCOMPARE(escalar(QStringLiteral("select VL_REPASSE_MUNICIPAL_EXCESSAO from TB_REPASSE_MUNICIPAL_EXCESSAO "
                                        "where NU_ANO_COMPET = '2004' and CO_CIDADE = 3138203"))
                     .toDouble(),
                 0.9);
        db::Statement s(*c, {soma});
        s.setParam(QStringLiteral("P1"), cenario::ano);
        QCOMPARE(s.selectAll().first(), (QVariantList{mg, 0.9 + (mg - 1) * 0.5}));

        r = geraExcessaoMunicipal(*c, cenario::ano, QStringLiteral("MG"), 0.75);
        QCOMPARE(r.gravadas, 0);
        QCOMPARE(r.mantidas, mg);
        QCOMPARE(r.mensagem(), QStringLiteral("Geração Efetuada\n\n853 municípios já tinham exceção no ano e ficaram com ela."));
        QCOMPARE(s.selectAll().first(), (QVariantList{mg, 0.9 + (mg - 1) * 0.5}));

        QCOMPARE(escalar(QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO where NU_ANO_COMPET = '2003'"))
                     .toInt(),
                 1);
        QCOMPARE(escalar(QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO where CO_UF <> 'MG'")).toInt(), 0);
    }

    // Nothing is written without a state, a year or a usable value.
    void aGenerationWithoutStateYearOrValueWritesNothing_data()
    {
        QTest::addColumn<QString>("ano");
        QTest::addColumn<QString>("uf");
        QTest::addColumn<double>("valor");
        QTest::addColumn<QString>("mensagem");
        QTest::newRow("no state") << "2004" << "" << 1.0 << "Informe o Estado";
        QTest::newRow("no year") << "" << "MG" << 1.0
                                 << "Para Habilitar esta opção primeiro cadastre os parametros do sistema";
        QTest::newRow("negative") << "2004" << "MG" << -1.0 << "Valor inválido.";
        QTest::newRow("zero") << "2004" << "MG" << 0.0 << "Valor inválido.";
        QTest::newRow("not a number") << "2004" << "MG" << qQNaN() << "Valor inválido.";
    }
    void aGenerationWithoutStateYearOrValueWritesNothing()
    {
        QFETCH(QString, ano);
        QFETCH(QString, uf);
        QFETCH(double, valor);
        QFETCH(QString, mensagem);
        QString dito;
        try {
            geraExcessaoMunicipal(*c, ano, uf, valor);
        } catch (const db::DataError& e) {
            dito = e.message();
        }
        QCOMPARE(dito, mensagem);
        QCOMPARE(escalar(QStringLiteral("select count(*) from TB_REPASSE_MUNICIPAL_EXCESSAO")).toInt(), 2);
    }
};

QTEST_GUILESS_MAIN(TestIncentiveRules)
#include "tst_incentive_rules.moc"
