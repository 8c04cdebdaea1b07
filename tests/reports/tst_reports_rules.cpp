// The reports' rules without a window: the statements built from a selection, read
// against a real database holding rows written directly; the shortfall arithmetic and
// its totals; the grouping key; the code lists of the acquisition reports.
#include "Fixture.h"

#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/Dataset.h"
#include "reports/rules/Aquisicao.h"
#include "reports/rules/Compras.h"
#include "reports/rules/Recursos.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QTest>

#include <memory>

using namespace relatorios;

Q_DECLARE_METATYPE(relatorios::Selecao)

namespace {

Selecao selecao(std::optional<int> cidade = fixture::lavras, int inicio = 1, int fim = 12)
{
    return Selecao{fixture::ano, fixture::uf, cidade, inicio, fim};
}

// Every row of an open dataset as "a|b|c", each field as a grid shows it (its display
// format applied), the fields named or else all.
QStringList linhas(db::Dataset& ds, const QStringList& campos = {})
{
    QStringList out;
    for (ds.first(); !ds.eof(); ds.next()) {
        QStringList l;
        if (campos.isEmpty())
            for (const auto& f : ds.fields())
                l << f->displayText();
        else
            for (const QString& c : campos)
                l << ds.fieldByName(c).displayText();
        out << l.join(QLatin1Char('|'));
    }
    return out;
}

}  // namespace

class TestReportsRules : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;

    std::unique_ptr<db::Dataset> consulta()
    {
        return std::make_unique<db::Dataset>(c.get(), QStringLiteral("IBQuery1"));
    }

    // Purchases of two municipalities, municipality 0 and a municipality the city table
    // does not have, in months 2, 9 and 10, and one of another year.
    void compras()
    {
        using namespace fixture;
        compra(*c, lavras, 10, amoxicilina, 100, 0.125);
        compra(*c, lavras, 2, amoxicilina, 1200, 0.1);
        compra(*c, lavras, 9, aas, 50, 0.03456789);
        compra(*c, lavras, 9, fluoxetina, 30, 0.5);
        compra(*c, abaete, 2, amoxicilina, 10, 0.2);
        compra(*c, semCidade, 3, amoxicilina, 10, 0.15);
        compra(*c, 0, 2, aas, 1000, 0.02);
        compra(*c, lavras, 2, amoxicilina, 5, 9.99);
        exec(*c, QStringLiteral("update TB_EXECUCAO_FISICA_MUNICIPIO set NU_ANO_COMPET = '2002' where VL_UNITARIO = 9.99"));
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
    }
    void cleanup() { c.reset(); }

    // The purchase description: by medication name, then month as a number (10 after
    // 9), in the fields' display formats; the chosen medication only; municipality 0
    // when none is chosen; nothing for a first month after the last.
    void purchaseDescription_data()
    {
        QTest::addColumn<Selecao>("s");
        QTest::addColumn<QVariant>("medicamento");
        QTest::addColumn<QStringList>("esperadas");
        const QStringList lavras{
            "9|Ácido acetilsalicílico 100 mg comprimido|50|0,03456789|1,73",
            "2|Amoxicilina 500 mg cápsula|1.200|0,10|120,00",
            "10|Amoxicilina 500 mg cápsula|100|0,125|12,50",
            "9|Fluoxetina 20 mg cápsula|30|0,50|15,00",
        };
        QTest::newRow("every medication") << selecao() << QVariant() << lavras;
        QTest::newRow("one medication") << selecao() << QVariant(fixture::amoxicilina) << lavras.mid(1, 2);
        QTest::newRow("no municipality") << selecao(std::nullopt) << QVariant()
                                         << QStringList{"2|Ácido acetilsalicílico 100 mg comprimido|1.000|0,02|20,00"};
        QTest::newRow("September to October") << selecao(fixture::lavras, 9, 10) << QVariant() << QStringList{lavras[0], lavras[2], lavras[3]};
        QTest::newRow("first month after the last") << selecao(fixture::lavras, 10, 2) << QVariant() << QStringList();
    }
    void purchaseDescription()
    {
        QFETCH(Selecao, s);
        QFETCH(QVariant, medicamento);
        QFETCH(QStringList, esperadas);
        compras();
        auto q = consulta();
        preparaCompraElenco(*q, s, medicamento);
        q->open();
        QCOMPARE(linhas(*q, {"NU_MES_COMPET", "DS_MEDICAMENTO", "QT_MEDICAMENTO", "VL_UNITARIO", "VL_TOTAL"}), esperadas);
    }

    // The price comparison of one medication: a state installation lists every
    // municipality of the state, one the city table lacks with an empty name; a
    // municipal installation orders by unit value, and without a municipality has no
    // municipality name at all.
    void priceComparison_data()
    {
        QTest::addColumn<bool>("estadual");
        QTest::addColumn<Selecao>("s");
        QTest::addColumn<QStringList>("esperadas");  // NO_CIDADE|NU_MES_COMPET|VL_UNITARIO, sorted for the state
        QTest::newRow("state, no municipality") << true << selecao(std::nullopt)
                                                << QStringList{"Abaeté|2|0.2", "Lavras|10|0.125", "Lavras|2|0.1", "|3|0.15"};
        QTest::newRow("state, one municipality") << true << selecao() << QStringList{"Lavras|10|0.125", "Lavras|2|0.1"};
        QTest::newRow("municipal, one municipality") << false << selecao() << QStringList{"Lavras|2|0.1", "Lavras|10|0.125"};
        QTest::newRow("municipal, no municipality") << false << selecao(std::nullopt)
                                                    << QStringList{"-|2|0.1", "-|10|0.125", "-|3|0.15", "-|2|0.2"};
    }
    void priceComparison()
    {
        QFETCH(bool, estadual);
        QFETCH(Selecao, s);
        QFETCH(QStringList, esperadas);
        compras();
        auto q = consulta();
        preparaComparativo(*q, s, estadual, fixture::amoxicilina);
        q->open();
        QStringList l;
        for (q->first(); !q->eof(); q->next()) {
            const db::Field* nome = q->findField(QStringLiteral("NO_CIDADE"));
            l << QStringLiteral("%1|%2|%3").arg(nome ? nome->asString() : QStringLiteral("-"),
                                                q->fieldByName(QStringLiteral("NU_MES_COMPET")).asString(),
                                                QString::number(q->fieldByName(QStringLiteral("VL_UNITARIO")).asFloat()));
        }
        if (estadual)
            l.sort();  // the database's order
        QCOMPARE(l, esperadas);
    }

    // The total value bought: one row per month with purchases, the minimum list apart
    // from the other pacted medications, in month order.
    void totalValuePerMonth()
    {
        compras();
        auto q = consulta();
        preparaCompraMedTotal(*q, selecao());
        q->open();
        QCOMPARE(linhas(*q, {"NU_MES_COMPET", "ELENCO_MINIMO", "TOT_OUTROS_PACTUADA"}),
                 (QStringList{"2|120,00|0,00", "9|1,73|15,00", "10|12,50|0,00"}));
        preparaCompraMedTotal(*q, selecao(std::nullopt));
        q->open();
        QCOMPARE(linhas(*q, {"NU_MES_COMPET", "ELENCO_MINIMO", "TOT_OUTROS_PACTUADA"}), QStringList{"2|20,00|0,00"});
        // Every month a group of its own: state, municipality and month kept apart.
        QVERIFY(chaveGrupoTotal("MG", 3138203, 3.0) != chaveGrupoTotal("MG", 313820, 33.0));
        QCOMPARE(chaveGrupoTotal("MG", 3138203, 3.0), QStringLiteral("MG|3138203|3"));
        QCOMPARE(chaveGrupoTotal("MG", 313820, 33.0), QStringLiteral("MG|313820|33"));
    }

    // The shortfall: required less allocated, negative when more was allocated, empty
    // values counting as 0; the totals add the months, the negative ones too.
    void shortfall_data()
    {
        QTest::addColumn<QVariant>("incentivo");
        QTest::addColumn<QVariant>("alocado");
        QTest::addColumn<QVariant>("empenhado");
        QTest::addColumn<double>("falta");
        QTest::newRow("paid in full") << QVariant(100.0) << QVariant(100.0) << QVariant(30.0) << 0.0;
        QTest::newRow("short") << QVariant(100.0) << QVariant(60.0) << QVariant() << 40.0;
        QTest::newRow("more than required") << QVariant(100.0) << QVariant(125.5) << QVariant(10.0) << -25.5;
        QTest::newRow("nothing allocated") << QVariant(100.0) << QVariant() << QVariant() << 100.0;
    }
    void shortfall()
    {
        QFETCH(QVariant, incentivo);
        QFETCH(QVariant, alocado);
        QFETCH(QVariant, empenhado);
        QFETCH(double, falta);
        QCOMPARE(inadimplencia(incentivo, alocado), falta);
        TotaisInadimplencia t;
        t.acumula(200.0, 150.0, 5.0);
        QCOMPARE(t.acumula(incentivo, alocado, empenhado), falta);
        QCOMPARE(t.pactuados, 200.0 + incentivo.toDouble());
        QCOMPARE(t.alocados, 150.0 + alocado.toDouble());
        QCOMPARE(t.inadimplencia, 50.0 + falta);
        QCOMPARE(t.empenhados, 5.0 + empenhado.toDouble());
    }

    // A twelfth of the year against what can be typed: compared and added in cents as
    // printed, so that a line that prints 0,00 adds nothing and a total is the sum of the
    // lines above it.
    void shortfallInCents_data()
    {
        QTest::addColumn<double>("incentivo");  // a month's share
        QTest::addColumn<double>("alocado");
        QTest::addColumn<int>("meses");
        QTest::addColumn<double>("pactuados");
        QTest::addColumn<double>("falta");      // the total shortfall
        QTest::newRow("1000 a year, 83,33 a month") << 1000.0 / 12 << 83.33 << 12 << 999.96 << 0.0;
        QTest::newRow("182659,99 a year") << 182659.99 / 12 << 15221.67 << 1 << 15221.67 << 0.0;
        QTest::newRow("a third of a cent short") << 100.0 / 3 << 33.32 << 3 << 99.99 << 0.03;
        QTest::newRow("half a cent rounds up") << 1.005 << 1.0 << 2 << 2.02 << 0.02;
    }
    void shortfallInCents()
    {
        QFETCH(double, incentivo);
        QFETCH(double, alocado);
        QFETCH(int, meses);
        QFETCH(double, pactuados);
        QFETCH(double, falta);
        TotaisInadimplencia t;
        for (int i = 0; i < meses; ++i)
            QCOMPARE(t.acumula(incentivo, alocado, QVariant()), falta / meses);
        QCOMPARE(t.pactuados, pactuados);
        QCOMPARE(t.inadimplencia, falta);
        QCOMPARE(centavos(QVariant()), 0);
        QCOMPARE(centavos(-0.125), -13);
    }

    // The defaulters' months: only months with a header whose municipality has an
    // annual incentive, one twelfth of the municipal incentive each; the committed
    // amount of each month from its commitment documents only, empty without one.
    void defaultersMonths()
    {
        using namespace fixture;
        incentivo(*c, lavras, 1200, 600, 2400);
        for (int mes : {1, 2, 10})
            cabecalho(*c, lavras, mes, {.municipal = mes == 2 ? 250.0 : 200.0});
        cabecalho(*c, abaete, 1, {.municipal = 10.0});  // no incentive row
        documento(*c, lavras, 1, "E", "1", "E-1", QDate(2003, 1, 5), 70);
        documento(*c, lavras, 1, "E", "1", "E-2", QDate(2003, 1, 6), 30);
        documento(*c, lavras, 1, "N", "1", "N-1", QDate(2003, 1, 7), 500);
        documento(*c, lavras, 2, "N", "1", "N-2", QDate(2003, 2, 7), 500);
        auto meses = consulta();
        db::Dataset empenhado(c.get(), QStringLiteral("IBQuery2"));
        db::DataSource mestre(meses.get());
        empenhado.setMasterSource(&mestre);
        preparaInadimplentes(*meses, empenhado, selecao());
        meses->open();
        empenhado.open();
        QStringList l;
        for (meses->first(); !meses->eof(); meses->next())
            l << meses->fieldByName(QStringLiteral("NU_MES_COMPET")).displayText() + QLatin1Char('|')
                     + meses->fieldByName(QStringLiteral("INCENTIVO")).displayText() + QLatin1Char('|')
                     + meses->fieldByName(QStringLiteral("VL_ALOC_MUNICIPAL")).displayText() + QLatin1Char('|')
                     + empenhado.fieldByName(QStringLiteral("EMPENHADO")).displayText();
        QCOMPARE(l, (QStringList{"1|200,00|200,00|100,00", "2|200,00|250,00|", "10|200,00|200,00|"}));

        preparaInadimplentes(*meses, empenhado, selecao(std::nullopt));
        meses->close();
        meses->open();
        QVERIFY(meses->isEmpty());
    }

    // Allocated versus spent: the current balance is the previous balance plus the
    // three allocations less the spending, without the medications (which are in the
    // total allocated); a header without an incentive row is listed too.
    void allocatedVersusSpent()
    {
        using namespace fixture;
        incentivo(*c, lavras, 1200, 600, 2400);
        cabecalho(*c, lavras, 3, {100.0, 50.0, 30.0, 20.0, 40.0, 120.0});
        cabecalho(*c, lavras, 11, {80.0, 10.0, 0.0, 0.0, 0.0, 5.5});
        cabecalho(*c, abaete, 3, {1.0, 1.0, 1.0, 1.0, 1.0, 1.0});
        cabecalho(*c, 0, 3, {7.0, 0.0, 0.0, 0.0, 0.0, 0.0});
        auto q = consulta();
        preparaRecAlocGastos(*q, selecao());
        q->open();
        const QStringList campos{"NU_MES_COMPET", "VL_SALDO_ANTERIOR", "VL_ALOC_FEDERAL", "VL_ALOC_ESTADUAL", "VL_ALOC_MUNICIPAL",
                                 "VL_ALOC_MED", "TOTAL_ALOCADO", "VL_REC_GASTOS", "SALDO_ATUAL"};
        QCOMPARE(linhas(*q, campos), (QStringList{"3|100,00|50,00|30,00|20,00|40,00|140,00|120,00|80,00",
                                                  "11|80,00|10,00|0,00|0,00|0,00|10,00|5,50|84,50"}));
        preparaRecAlocGastos(*q, selecao(fixture::abaete));
        q->close();
        q->open();
        QCOMPARE(linhas(*q, {"NU_MES_COMPET", "SALDO_ATUAL", "VL_FEDERAL"}), QStringList{"3|3,00|"});
        preparaRecAlocGastos(*q, selecao(std::nullopt));
        q->close();
        q->open();
        QCOMPARE(linhas(*q, {"NU_MES_COMPET", "SALDO_ATUAL"}), QStringList{"3|7,00"});
    }

    // The acquisition queries: the chosen payee type or document type, the selection's
    // municipality (0 when none), by document type and then date.
    void acquisitions_data()
    {
        QTest::addColumn<int>("criterio");
        QTest::addColumn<QString>("codigo");
        QTest::addColumn<Selecao>("s");
        QTest::addColumn<QStringList>("numeros");
        QTest::newRow("distributors") << int(Criterio::Favorecido) << "1" << selecao() << QStringList{"E-2", "E-1", "N-2", "N-1"};
        QTest::newRow("drugstores") << int(Criterio::Favorecido) << "2" << selecao() << QStringList{"G-1"};
        QTest::newRow("invoices") << int(Criterio::Documento) << "N" << selecao() << QStringList{"N-2", "N-1"};
        QTest::newRow("invoices, state's own") << int(Criterio::Documento) << "N" << selecao(std::nullopt) << QStringList{"N-0"};
        QTest::newRow("invoices of March") << int(Criterio::Documento) << "N" << selecao(fixture::lavras, 3, 3) << QStringList();
    }
    void acquisitions()
    {
        QFETCH(int, criterio);
        QFETCH(QString, codigo);
        QFETCH(Selecao, s);
        QFETCH(QStringList, numeros);
        using namespace fixture;
        documento(*c, lavras, 2, "N", "1", "N-1", QDate(2003, 2, 20), 10);
        documento(*c, lavras, 1, "N", "1", "N-2", QDate(2003, 1, 20), 10);
        documento(*c, lavras, 2, "E", "1", "E-1", QDate(2003, 2, 1), 10);
        documento(*c, lavras, 1, "E", "1", "E-2", QDate(2003, 1, 1), 10);
        documento(*c, lavras, 1, "G", "2", "G-1", QDate(2003, 1, 1), 10);
        documento(*c, 0, 1, "N", "1", "N-0", QDate(2003, 1, 1), 10);
        documento(*c, abaete, 1, "N", "1", "N-9", QDate(2003, 1, 1), 10);
        auto q = consulta();
        preparaAquisicao(*q, s, Criterio(criterio), codigo);
        q->open();
        QCOMPARE(linhas(*q, {"NR_NUMERO_DOC"}), numeros);
    }

    // The lists of the acquisition windows and the names the printout gives the
    // document types; a code outside the list prints as stored.
    void acquisitionCodes()
    {
        QCOMPARE(nomesTiposFavorecido(), (QStringList{"Distribuidora", "Drogaria/Farmácia", "Industria Privada", "Industria Pública",
                                                      "Sec. Est. de Saúde"}));
        QCOMPARE(nomesTiposDocumento(), (QStringList{"Nota Fiscal", "Empenho", "Depósito", "Guia de Remessa"}));
        QCOMPARE(codigoTipoFavorecido(0), QStringLiteral("1"));
        QCOMPARE(codigoTipoFavorecido(4), QStringLiteral("5"));
        QCOMPARE(codigoTipoFavorecido(5), QString());
        QStringList docs;
        for (int i = -1; i <= 4; ++i)
            docs << codigoTipoDocumento(i);
        QCOMPARE(docs, (QStringList{"", "N", "E", "D", "G", ""}));
        QCOMPARE(nomeTipoDocumento(QStringLiteral("G")), QStringLiteral("Guia de Remessa"));
        QCOMPARE(nomeTipoDocumento(QStringLiteral("X")), QStringLiteral("X"));
        QCOMPARE(nomeTipoDocumento(QString()), QString());
    }

    // The pacted list of a state, by name with the minimum-list mark as stored; a state
    // without entries gives an empty list.
    void pactedMedications()
    {
        db::Dataset q(c.get(), QStringLiteral("QryConsulta"));
        defineElencoPactuado(q);
        q.setParam(QStringLiteral("co_uf"), QStringLiteral("MG"));
        q.open();
        const QStringList mg = linhas(q);
        QVERIFY(mg.size() > 30);
        QCOMPARE(mg.first(), QStringLiteral("Ácido acetilsalicílico 100 mg comprimido|S"));
        QVERIFY(mg.contains(QStringLiteral("Fluoxetina 20 mg cápsula|N")));
        // By name, accents apart: "Ácido" with the A's.
        const auto semAcento = [](QString t) {
            t = t.normalized(QString::NormalizationForm_D);
            t.removeIf([](QChar ch) { return ch.category() == QChar::Mark_NonSpacing; });
            return t.toCaseFolded();
        };
        QStringList ordenados = mg;
        std::stable_sort(ordenados.begin(), ordenados.end(),
                         [&](const QString& a, const QString& b) { return semAcento(a) < semAcento(b); });
        QCOMPARE(mg, ordenados);
        fixture::exec(*c, QStringLiteral("delete from RL_ELENCOMINIMO_UF where CO_UF = 'AC'"));
        q.close();
        q.setParam(QStringLiteral("co_uf"), QStringLiteral("AC"));
        q.open();
        QVERIFY(q.isEmpty());
    }
};

QTEST_MAIN(TestReportsRules)
#include "tst_reports_rules.moc"
