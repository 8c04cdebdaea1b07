// The pivot windows' queries against a real database: every row they give equals an
// independent GROUP BY of the same documents and purchases, other years, other document
// types, other payee types and unmarked medications left out.
#include "Dados.h"

#include "charts/rules/Graficos.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QtTest>

#include <memory>

using charts::Grafico;

namespace {

// The query's rows as (label, UF) -> value, the labels as given.
dados::Somas linhas(db::Connection& c, const Grafico& g, const QString& ano, QStringList* rotulos = nullptr)
{
    db::Statement s(c, g.sql);
    s.setParam(charts::parametroAno, ano);
    dados::Somas out;
    for (const QVariantList& r : s.selectAll()) {
        const QString rotulo = r.at(0).toString();
        if (rotulos)
            *rotulos << rotulo;
        out.insert({rotulo.trimmed(), r.at(1).toString()}, r.at(2));
    }
    return out;
}

// The cells of an independent GROUP BY: its margins and grand total left out.
dados::Somas celulas(const dados::Somas& s)
{
    dados::Somas out;
    for (auto it = s.cbegin(); it != s.cend(); ++it)
        if (!it.key().first.isEmpty() && !it.key().second.isEmpty())
            out.insert(it.key(), it.value());
    return out;
}

void compara(const dados::Somas& atual, const dados::Somas& esperado)
{
    QCOMPARE(atual.keys(), esperado.keys());
    for (auto it = esperado.cbegin(); it != esperado.cend(); ++it) {
        const QVariant a = atual.value(it.key());
        QCOMPARE(a.isNull(), it.value().isNull());
        if (!a.isNull())
            QVERIFY2(qAbs(a.toDouble() - it.value().toDouble()) < 1e-6,
                     qPrintable(QStringLiteral("%1/%2: %3 != %4").arg(it.key().first, it.key().second).arg(a.toDouble()).arg(it.value().toDouble())));
    }
}

}  // namespace

class TestChartsRules : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        dados::medicamentosSemMarca(*c);
    }
    void cleanup() { c.reset(); }

    void eachQueryIsAGroupByOfItsYear()
    {
        dados::anoVariado(*c, QStringLiteral("2003"), 1500, 7);
        dados::anoVariado(*c, QStringLiteral("2004"), 300, 8);
        QStringList rotulos;
        const dados::Somas favorecido = linhas(*c, charts::graficoFonteComprovacao(), QStringLiteral("2003"), &rotulos);
        compara(favorecido, celulas(dados::somasFavorecido(*c, QStringLiteral("2003"))));
        // Every state and the five payee types are there, each label 18 characters wide.
        QCOMPARE(favorecido.size(), 7 * 5);
        for (const QString& r : std::as_const(rotulos))
            QCOMPARE(r.size(), 18);
        rotulos.clear();
        const dados::Somas recursos = linhas(*c, charts::graficoAplicacaoRecursos(), QStringLiteral("2003"), &rotulos);
        compara(recursos, celulas(dados::somasRecursos(*c, QStringLiteral("2003"))));
        QCOMPARE(recursos.size(), 7 * 2);
        for (const QString& r : std::as_const(rotulos))
            QCOMPARE(r.size(), 19);
    }

    void smallYears_data()
    {
        QTest::addColumn<int>("caso");
        QTest::addColumn<QStringList>("favorecido");
        QTest::addColumn<QStringList>("recursos");
        QTest::newRow("a year with nothing") << 0 << QStringList{} << QStringList{};
        QTest::newRow("a payee type in one state") << 1 << QStringList{"Industria Pública|BA|350"} << QStringList{};
        QTest::newRow("two purchases in one state") << 2 << QStringList{}
                                                    << QStringList{"Elenco Minimo|MG|15,75", "Outros Medicamentos|MG|1"};
    }
    void smallYears()
    {
        QFETCH(int, caso);
        QFETCH(QStringList, favorecido);
        QFETCH(QStringList, recursos);
        // Another year, and what the year has that no chart shows.
        dados::documento(*c, QStringLiteral("2002"), QStringLiteral("MG"), 1, QStringLiteral("N"), QStringLiteral("1"), 10.0);
        dados::compra(*c, QStringLiteral("2002"), QStringLiteral("MG"), 1, 1, 10.0);
        dados::documento(*c, QStringLiteral("2003"), QStringLiteral("SP"), 1, QStringLiteral("E"), QStringLiteral("1"), 10.0);
        dados::compra(*c, QStringLiteral("2003"), QStringLiteral("SP"), 1, 901, 10.0);
        if (caso == 1) {
            dados::documento(*c, QStringLiteral("2003"), QStringLiteral("BA"), 2, QStringLiteral("N"), QStringLiteral("4"), 300.0);
            dados::documento(*c, QStringLiteral("2003"), QStringLiteral("BA"), 5, QStringLiteral("N"), QStringLiteral("4"), 50.0);
        }
        if (caso == 2) {
            dados::compra(*c, QStringLiteral("2003"), QStringLiteral("MG"), 1, 1, 10.5);
            dados::compra(*c, QStringLiteral("2003"), QStringLiteral("MG"), 2, 1, 5.25);
            dados::compra(*c, QStringLiteral("2003"), QStringLiteral("MG"), 2, 36, 1.0);
        }
        auto texto = [](const dados::Somas& s) {
            QStringList out;
            for (auto it = s.cbegin(); it != s.cend(); ++it)
                out << QStringLiteral("%1|%2|%3").arg(it.key().first, it.key().second, text::floatToText(it.value().toDouble()));
            return out;
        };
        QCOMPARE(texto(linhas(*c, charts::graficoFonteComprovacao(), QStringLiteral("2003"))), favorecido);
        QCOMPARE(texto(linhas(*c, charts::graficoAplicacaoRecursos(), QStringLiteral("2003"))), recursos);
    }
};

QTEST_MAIN(TestChartsRules)
#include "tst_charts_rules.moc"
