// The dataset layer against a real embedded database: posting through update objects,
// the required and conversion checks, navigation, detail datasets, refresh, calculated
// and lookup fields, display suspension, write units and durability.
#include "db/Connection.h"
#include "db/DataSource.h"
#include "db/DatabaseError.h"
#include "db/Dataset.h"
#include "text/Formats.h"
#include "db/SqlText.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "db/UpdateSql.h"

#include <QCoreApplication>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>
#include <QThread>

#include <csignal>

using namespace db;

namespace {

// A rates dataset like the registries use.
struct Rates {
    explicit Rates(Connection& c) : ds(&c, QStringLiteral("Rates")), up(c)
    {
        ds.setSql({QStringLiteral("select * from TB_REPASSE_MESTRE"), QStringLiteral("order by NU_ANO_COMPET")});
        ds.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4).setRequired().setDisplayLabel(QStringLiteral("Ano Competência"));
        ds.addField(QStringLiteral("VL_REPASSE_MUNICIPAL_MESTRE"), FieldType::Float).setCurrency();
        ds.addField(QStringLiteral("VL_REPASSE_ESTADUAL_MESTRE"), FieldType::Float).setCurrency();
        ds.addField(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"), FieldType::Float).setCurrency().setDisplayLabel(QStringLiteral("Valor Repasse Federal"));
        up.generate(QStringLiteral("TB_REPASSE_MESTRE"), {QStringLiteral("NU_ANO_COMPET")},
                    {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("VL_REPASSE_MUNICIPAL_MESTRE"),
                     QStringLiteral("VL_REPASSE_ESTADUAL_MESTRE"), QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")});
        ds.setUpdateObject(&up);
    }
    Dataset ds;
    UpdateSql up;
};

int count(Connection& c, const QString& sql)
{
    Statement s(c, {sql});
    return s.scalar().toInt();
}

void addRate(Connection& c, const QString& year, double federal)
{
    Statement s(c, {QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values (:ANO, :V)")});
    s.setParam(QStringLiteral("ANO"), year);
    s.setParam(QStringLiteral("V"), federal);
    s.exec();
}

}  // namespace

class TestDataset : public QObject {
    Q_OBJECT

    std::unique_ptr<Connection> conn;

private slots:
    void initTestCase() { text::setBrazilianFormats(); }

    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        conn = std::make_unique<Connection>();
        support::TestDatabase::configure(*conn);
        conn->open();
    }
    void cleanup() { conn.reset(); }

    void parametersAreParsedOutsideQuotes()
    {
        const ParsedSql p = parseParameters(QStringLiteral("select ':X' from T where a = :a and b = :B_2 -- :c\n and d = :a"));
        QCOMPARE(p.names, (QStringList{QStringLiteral("A"), QStringLiteral("B_2"), QStringLiteral("A")}));
        QCOMPARE(p.text, QStringLiteral("select ':X' from T where a = ? and b = ? -- :c\n and d = ?"));
    }

    void postInsertsModifiesAndDeletesThroughTheUpdateObject()
    {
        Rates r(*conn);
        r.ds.open();
        QVERIFY(r.ds.isEmpty() && r.ds.bof() && r.ds.eof());
        QSignalSpy states(&r.ds, &Dataset::stateChanged);
        r.ds.append();
        QCOMPARE(r.ds.state(), DatasetState::Insert);
        r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).setText(QStringLiteral("2024"));
        r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).setText(QStringLiteral("1,5"));
        r.ds.post();
        QCOMPARE(r.ds.state(), DatasetState::Browse);
        QCOMPARE(states.count(), 2);
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE where VL_REPASSE_FEDERAL_MESTRE = 1.5")), 1);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).displayText(), QStringLiteral("1,50"));

        // Changing the key by editing updates the one row: the modify matches the old key.
        r.ds.edit();
        r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).setText(QStringLiteral("2025"));
        r.ds.post();
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE")), 1);
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE where NU_ANO_COMPET = '2025'")), 1);

        r.ds.remove();
        QVERIFY(r.ds.isEmpty());
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE")), 0);
    }

    void aDuplicateKeyIsRefusedWithTheServerText()
    {
        addRate(*conn, QStringLiteral("2024"), 1);
        Rates r(*conn);
        r.ds.open();
        r.ds.append();
        r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).setAsString(QStringLiteral("2024"));
        try {
            r.ds.post();
            QFAIL("duplicate accepted");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.isKeyViolation(), qPrintable(e.message()));
        }
        // A failed post leaves the state and the typed values as they were.
        QCOMPARE(r.ds.state(), DatasetState::Insert);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString(), QStringLiteral("2024"));
        r.ds.cancel();
        QCOMPARE(r.ds.recordCount(), 1);
    }

    void checksBeforePosting_data()
    {
        QTest::addColumn<QString>("year");
        QTest::addColumn<QString>("federal");
        QTest::addColumn<QString>("message");
        QTest::newRow("required field empty") << QString() << QStringLiteral("1,00") << QStringLiteral("O campo \"Ano Competência\" deve ser informado.");
        QTest::newRow("value that does not convert")
            << QStringLiteral("2024") << QStringLiteral("1.23,5")
            << QStringLiteral("\"1.23,5\" não é um valor válido para o campo \"Valor Repasse Federal\".");
    }
    void checksBeforePosting()
    {
        QFETCH(QString, year);
        QFETCH(QString, federal);
        QFETCH(QString, message);
        Rates r(*conn);
        // Any statement reaching the database would fail loudly: the table is gone.
        r.up.insertSql = QStringList{QStringLiteral("insert into NO_SUCH_TABLE values (1)")};
        r.ds.open();
        r.ds.append();
        r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).setText(year);
        r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).setText(federal);
        try {
            r.ds.post();
            QFAIL("post accepted");
        } catch (const DataError& e) {
            QCOMPARE(e.message(), message);
        }
        QCOMPARE(r.ds.state(), DatasetState::Insert);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).editText(), federal);
    }

    void navigationAndBookmarks()
    {
        for (const char* y : {"2001", "2002", "2003"})
            addRate(*conn, QString::fromLatin1(y), 1);
        Rates r(*conn);
        r.ds.open();
        QCOMPARE(r.ds.recNo(), 1);
        QVERIFY(r.ds.bof() && !r.ds.eof());
        QStringList walked;
        for (r.ds.first(); !r.ds.eof(); r.ds.next())
            walked << r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString();
        QCOMPARE(walked, (QStringList{QStringLiteral("2001"), QStringLiteral("2002"), QStringLiteral("2003")}));
        QCOMPARE(r.ds.recNo(), 3);
        r.ds.prior();
        const Bookmark b = r.ds.bookmark();
        r.ds.first();
        r.ds.gotoBookmark(b);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString(), QStringLiteral("2002"));
        QVERIFY(r.ds.locate(QStringLiteral("NU_ANO_COMPET"), QStringLiteral("2003")));
        QVERIFY(!r.ds.locate(QStringLiteral("NU_ANO_COMPET"), QStringLiteral("1999")));
        QCOMPARE(r.ds.recNo(), 3);
        QVERIFY(r.ds.locate(QStringLiteral("NU_ANO_COMPET"), QStringLiteral("200"), {false, true}));
        QCOMPARE(r.ds.recNo(), 1);

        // Insert puts the new row before the current one; cancel brings the old row back.
        r.ds.setRecNo(2);
        r.ds.insert();
        QCOMPARE(r.ds.recNo(), 2);
        QCOMPARE(r.ds.recordCount(), 4);
        r.ds.cancel();
        QCOMPARE(r.ds.recordCount(), 3);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString(), QStringLiteral("2002"));

        // Deleting the last row makes the new last one current.
        r.ds.last();
        r.ds.remove();
        QCOMPARE(r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString(), QStringLiteral("2002"));
    }

    void refreshStaysOnTheKeyAndSeesOtherWrites()
    {
        for (const char* y : {"2001", "2003"})
            addRate(*conn, QString::fromLatin1(y), 1);
        Rates r(*conn);
        r.ds.open();
        r.ds.last();
        addRate(*conn, QStringLiteral("2002"), 2);
        r.ds.refresh();
        QCOMPARE(r.ds.recordCount(), 3);
        QCOMPARE(r.ds.recNo(), 3);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString(), QStringLiteral("2003"));
    }

    void detailFollowsItsMaster()
    {
        Dataset states(conn.get(), QStringLiteral("states"));
        states.setSql(QStringLiteral("select CO_UF, NO_UF from TB_UNIDADE_FEDERACAO order by CO_UF"));
        DataSource dsStates(&states);
        Dataset cities(conn.get(), QStringLiteral("cities"));
        cities.setSql({QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE"), QStringLiteral("from TB_CIDADE"),
                       QStringLiteral("where CO_UF = :CO_UF"), QStringLiteral("order by no_cidade")});
        cities.setMasterSource(&dsStates);
        states.open();
        cities.open();
        QVERIFY(states.locate(QStringLiteral("CO_UF"), QStringLiteral("DF")));
        QCOMPARE(cities.recordCount(), 1);
        QVERIFY(states.locate(QStringLiteral("CO_UF"), QStringLiteral("RR")));
        QCOMPARE(cities.recordCount(), 15);
    }

    void calculatedAndLookupFields()
    {
        Dataset forms(conn.get(), QStringLiteral("forms"));
        forms.setSql(QStringLiteral("select * from TB_FORMA_PACTUACAO"));
        forms.open();

        Statement(*conn, {QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO, QT_POPULACAO) "
                                         "values ('2024', 'RR', 1400100, 'TCE', 1000)")}).exec();
        Dataset pacts(conn.get(), QStringLiteral("pacts"));
        pacts.setSql(QStringLiteral("select * from TB_CIDADE_PACTUACAO"));
        pacts.addField(QStringLiteral("CO_FORMA_PACTUACAO"), FieldType::String, 3);
        pacts.addField(QStringLiteral("QT_POPULACAO"), FieldType::Float);
        pacts.addField(QStringLiteral("DOBRO"), FieldType::Float, 0, FieldKind::Calculated);
        pacts.addField(QStringLiteral("DESCRICAO"), FieldType::String, 50, FieldKind::Lookup)
            .setLookup(&forms, QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("DS_FORMA_PACTUACAO"));
        pacts.onCalcFields = [](Dataset& d) {
            d.fieldByName(QStringLiteral("DOBRO")).setValue(d.fieldByName(QStringLiteral("QT_POPULACAO")).asFloat() * 2);
        };
        pacts.open();
        QCOMPARE(pacts.fieldByName(QStringLiteral("DOBRO")).asFloat(), 2000.0);
        forms.locate(QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("TCE"));
        const QString expected = forms.fieldByName(QStringLiteral("DS_FORMA_PACTUACAO")).asString();
        forms.first();
        QVERIFY(!expected.isEmpty());
        QCOMPARE(pacts.fieldByName(QStringLiteral("DESCRICAO")).asString(), expected);
        // Only the columns that have a field object are reachable.
        QVERIFY(!pacts.findField(QStringLiteral("NU_ANO_CENSO")));

        // A text hook shows every row of a grid through that row's own value.
        Field& forma = pacts.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO"));
        forma.onGetText = [](const Field& f, bool) { return QStringLiteral("<%1>").arg(f.value().toString()); };
        Statement(*conn, {QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO) "
                                         "values ('2024', 'RR', 1400027, 'PDM')")}).exec();
        pacts.refresh();
        pacts.first();
        QCOMPARE(QStringList({pacts.rowDisplayText(0, forma), pacts.rowDisplayText(1, forma)}).join(u' '),
                 QStringLiteral("<%1> <%2>").arg(pacts.rowValue(0, forma).toString(), pacts.rowValue(1, forma).toString()));
        QVERIFY(pacts.rowDisplayText(0, forma) != pacts.rowDisplayText(1, forma));
    }

    void displaySuspensionWithholdsNotificationsUntilResumed()
    {
        for (const char* y : {"2001", "2002", "2003"})
            addRate(*conn, QString::fromLatin1(y), 1);
        Rates r(*conn);
        r.ds.open();
        QSignalSpy data(&r.ds, &Dataset::dataChanged);
        r.ds.disableControls();
        double total = 0;
        const Bookmark b = r.ds.bookmark();
        for (r.ds.first(); !r.ds.eof(); r.ds.next())
            total += r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).asFloat();
        r.ds.gotoBookmark(b);
        QCOMPARE(data.count(), 0);
        r.ds.enableControls();
        QCOMPARE(data.count(), 1);
        QCOMPARE(total, 3.0);
    }

    void aSaveThatWritesNoRowFailsAndKeepsTheRecord()
    {
        addRate(*conn, QStringLiteral("2001"), 1);
        addRate(*conn, QStringLiteral("2002"), 2);
        Rates r(*conn);
        r.ds.open();
        // Another hand removes the row after it was read.
        Statement(*conn, {QStringLiteral("delete from TB_REPASSE_MESTRE where NU_ANO_COMPET = '2001'")}).exec();
        r.ds.edit();
        r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).setText(QStringLiteral("9,5"));
        try {
            r.ds.post();
            QFAIL("a modify of no row reported success");
        } catch (const RowNotFoundError& e) {
            QCOMPARE(e.message(), QStringLiteral("O registro não foi gravado porque não foi encontrado no banco de dados: "
                                                 "ele pode ter sido alterado ou excluído depois de lido. Nada foi alterado."));
        }
        QCOMPARE(r.ds.state(), DatasetState::Edit);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).editText(), QStringLiteral("9,50"));
        r.ds.cancel();
        try {
            r.ds.remove();
            QFAIL("a delete of no row reported success");
        } catch (const RowNotFoundError& e) {
            QVERIFY(e.message().startsWith(QStringLiteral("O registro não foi excluído porque não foi encontrado")));
        }
        QCOMPARE(r.ds.recordCount(), 2);
        QCOMPARE(r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).asString(), QStringLiteral("2001"));
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE where VL_REPASSE_FEDERAL_MESTRE = 2")), 1);
    }

    void aNullKeyStillFindsItsRow()
    {
        Statement(*conn, {QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA) values ('KORVA', 'Antes')")}).exec();
        Dataset p(conn.get(), QStringLiteral("p"));
        p.setSql(QStringLiteral("select * from TB_PARAMETRO_KORVA"));
        p.addField(QStringLiteral("SG_SISTEMA"), FieldType::String, 15);
        p.addField(QStringLiteral("NO_SISTEMA"), FieldType::String, 100);
        UpdateSql up(*conn);
        up.generate(QStringLiteral("TB_PARAMETRO_KORVA"), {QStringLiteral("SG_SISTEMA")}, {QStringLiteral("SG_SISTEMA"), QStringLiteral("NO_SISTEMA")});
        p.setUpdateObject(&up);
        p.open();
        // The key cleared, then saved twice: the second save matches the null key.
        for (const char* nome : {"Primeira", "Segunda"}) {
            p.edit();
            p.fieldByName(QStringLiteral("SG_SISTEMA")).setText(QString());
            p.fieldByName(QStringLiteral("NO_SISTEMA")).setText(QString::fromLatin1(nome));
            p.post();
        }
        const QList<QVariantList> rows = Statement(*conn, {QStringLiteral("select SG_SISTEMA, NO_SISTEMA from TB_PARAMETRO_KORVA")}).selectAll();
        QCOMPARE(rows, (QList<QVariantList>{{QVariant(), QStringLiteral("Segunda")}}));
    }

    void aLineEditedRightAfterItsInsertUpdatesItsOwnRow()
    {
        // A line of the month exists; the new one gets its number from the database.
        Statement(*conn, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO)"),
                          QStringLiteral("values ('2024', 'MG', 3138203, '1', 1, 5)")}).exec();
        const QStringList columns = {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"), QStringLiteral("NU_MES_COMPET"),
                                     QStringLiteral("CO_SEQ_MED"), QStringLiteral("CO_SEQ_MEDICAMENTO"), QStringLiteral("QT_MEDICAMENTO")};
        Dataset lines(conn.get(), QStringLiteral("lines"));
        lines.setSql(QStringLiteral("select * from TB_EXECUCAO_FISICA_MUNICIPIO"));
        for (const QString& c : columns)
            lines.addField(c, c.startsWith(QLatin1String("NU_")) || c == QLatin1String("CO_UF") ? FieldType::String : FieldType::Integer, 4);
        UpdateSql up(*conn);
        up.generate(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), columns.mid(0, 5), columns);
        lines.setUpdateObject(&up);
        lines.open();
        lines.append();
        for (const auto& [name, value] : std::initializer_list<std::pair<const char*, const char*>>{
                 {"NU_ANO_COMPET", "2024"}, {"CO_UF", "MG"}, {"CO_CIDADE", "3138203"}, {"NU_MES_COMPET", "1"},
                 {"CO_SEQ_MEDICAMENTO", "2"}, {"QT_MEDICAMENTO", "7"}})
            lines.fieldByName(QString::fromLatin1(name)).setText(QString::fromLatin1(value));
        lines.post();
        QCOMPARE(lines.fieldByName(QStringLiteral("CO_SEQ_MED")).asInteger(), 2);
        lines.edit();
        lines.fieldByName(QStringLiteral("QT_MEDICAMENTO")).setText(QStringLiteral("70"));
        lines.post();
        const QList<QVariantList> rows = Statement(*conn, {QStringLiteral("select CO_SEQ_MED, QT_MEDICAMENTO from TB_EXECUCAO_FISICA_MUNICIPIO order by 1")}).selectAll();
        QCOMPARE(rows, (QList<QVariantList>{{1, 5}, {2, 70}}));
    }

    void textOutsideWindows1252IsRefusedNamingTheField()
    {
        Rates r(*conn);
        Field& year = r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET"));
        r.up.insertSql = QStringList{QStringLiteral("insert into NO_SUCH_TABLE values (1)")};
        r.ds.open();
        r.ds.append();
        const QString message = QStringLiteral("O campo \"Ano Competência\" contém o caractere \"→\" (U+2192), que o banco de dados não pode guardar.");
        try {
            year.setAsString(QStringLiteral("20→4"));
            QFAIL("text accepted");
        } catch (const DataError& e) {
            QCOMPARE(e.message(), message);
        }
        QVERIFY(year.isNull());
        // Typed into a control: kept as typed, and the post says why it cannot go.
        year.setText(QStringLiteral("20→4"));
        QCOMPARE(year.editText(), QStringLiteral("20→4"));
        try {
            r.ds.post();
            QFAIL("post accepted");
        } catch (const DataError& e) {
            QCOMPARE(e.message(), message);
        }
        QCOMPARE(r.ds.state(), DatasetState::Insert);
    }

    void anUpdateObjectRefusesAValueNamingTheField()
    {
        // A field that holds text for a date column: the text must be a date.
        Statement(*conn, {QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET) values ('2024', 'MG', 1, '1')")}).exec();
        Dataset m(conn.get(), QStringLiteral("m"));
        m.setSql({QStringLiteral("select NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, cast(DT_FECHAMENTO as varchar(24)) DT_FECHAMENTO"),
                  QStringLiteral("from TB_MOVIMENTO_MUNICIPIO where NU_ANO_COMPET = :ANO")});
        m.setParam(QStringLiteral("ANO"), 2024);  // a number for a text parameter
        UpdateSql up(*conn);
        up.generate(QStringLiteral("TB_MOVIMENTO_MUNICIPIO"),
                    {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"), QStringLiteral("NU_MES_COMPET")},
                    {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"), QStringLiteral("NU_MES_COMPET"),
                     QStringLiteral("DT_FECHAMENTO")});
        m.setUpdateObject(&up);
        m.open();
        QCOMPARE(m.recordCount(), 1);
        m.fieldByName(QStringLiteral("DT_FECHAMENTO")).setDisplayLabel(QStringLiteral("Data de Fechamento"));
        m.edit();
        m.fieldByName(QStringLiteral("DT_FECHAMENTO")).setText(QStringLiteral("ontem"));
        try {
            m.post();
            QFAIL("post accepted");
        } catch (const DataError& e) {
            QCOMPARE(e.message(), QStringLiteral("\"ontem\" não é um valor válido para o campo \"Data de Fechamento\"."));
        }
        m.fieldByName(QStringLiteral("DT_FECHAMENTO")).setText(QStringLiteral("05/02/2004 10:30"));
        m.post();
        QCOMPARE(Statement(*conn, {QStringLiteral("select DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")}).scalar(),
                 QVariant(QDateTime(QDate(2004, 2, 5), QTime(10, 30))));
    }

    void delphiBehaviourTheWindowsRelyOn()
    {
        Rates r(*conn);
        r.ds.open();
        // Edit on an empty dataset inserts.
        r.ds.edit();
        QCOMPARE(r.ds.state(), DatasetState::Insert);
        QCOMPARE(r.ds.recordCount(), 1);
        // Before-post runs before the required check: it may fill a required field.
        r.ds.onBeforePost = [](Dataset& d) {
            Field& year = d.fieldByName(QStringLiteral("NU_ANO_COMPET"));
            if (year.isNull())
                year.setAsString(QStringLiteral("2024"));
        };
        Field& federal = r.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"));
        federal.setEditFormat(QStringLiteral("##0.00"));
        federal.setAsFloat(1234.5678);
        r.ds.post();
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE where NU_ANO_COMPET = '2024'")), 1);
        // The plain text is the full value; the masks are for showing and editing.
        QCOMPARE(federal.asString(), QStringLiteral("1234,5678"));
        QCOMPARE(federal.editText(), QStringLiteral("1234,57"));
        QCOMPARE(federal.displayText(), QStringLiteral("1.234,57"));
        // A figure typed as it is shown, thousands separator included, is taken; a point
        // that could only be a decimal point is not.
        r.ds.edit();
        federal.setAsString(QStringLiteral("1.234,50"));
        QCOMPARE(federal.asFloat(), 1234.5);
        federal.setAsString(QStringLiteral("12.345"));
        QCOMPARE(federal.asFloat(), 12345.0);
        QVERIFY_THROWS_EXCEPTION(db::DataError, federal.setAsString(QStringLiteral("1.5")));
        QCOMPARE(federal.asFloat(), 12345.0);
        r.ds.cancel();
    }

    void locateOnSeveralFields_data()
    {
        QTest::addColumn<QString>("fields");
        QTest::addColumn<QVariant>("values");  // a list, or one value
        QTest::addColumn<int>("recNo");        // 0: not found; -1: refused
        const auto list = [](std::initializer_list<QVariant> v) { return QVariant(QVariantList(v)); };
        QTest::newRow("two fields") << "CO_UF;CO_CIDADE" << list({"MG", 3138203}) << 2;
        QTest::newRow("two fields, text number") << "CO_UF; CO_CIDADE" << list({"MG", "3170107"}) << 3;
        QTest::newRow("two fields, none") << "CO_UF;CO_CIDADE" << list({"SP", 3138203}) << 0;
        QTest::newRow("one field") << "CO_CIDADE" << QVariant(3170107) << 3;
        QTest::newRow("one field, list of one") << "CO_UF" << list({"SP"}) << 4;
        QTest::newRow("a list for one field") << "CO_UF" << list({"MG", 3138203}) << -1;
        QTest::newRow("one value for two fields") << "CO_UF;CO_CIDADE" << QVariant("MG") << -1;
    }
    void locateOnSeveralFields()
    {
        QFETCH(QString, fields);
        QFETCH(QVariant, values);
        QFETCH(int, recNo);
        Dataset d(conn.get(), QStringLiteral("pactos"));
        d.setSql({QStringLiteral("select CO_UF, CO_SEQ_CIDADE CO_CIDADE from TB_CIDADE where CO_SEQ_CIDADE in (3100203, 3170107, 3138203, 3550308)"),
                  QStringLiteral("order by CO_UF, NO_CIDADE")});
        d.open();
        QCOMPARE(d.recordCount(), 4);  // Abaeté, Lavras, Uberaba, São Paulo
        d.last();
        if (recNo < 0) {
            QVERIFY_THROWS_EXCEPTION(DataError, d.locate(fields, values));
            if (values.typeId() == QMetaType::QVariantList)
                QVERIFY_THROWS_EXCEPTION(DataError, d.locate(fields, values.toList()));
            QCOMPARE(d.recNo(), 4);
            return;
        }
        QCOMPARE(d.locate(fields, values), recNo > 0);
        QCOMPARE(d.recNo(), recNo > 0 ? recNo : 4);
        if (values.typeId() == QMetaType::QVariantList) {
            // The same through the list itself: it must not turn into one value.
            d.last();
            QCOMPARE(d.locate(fields, values.toList()), recNo > 0);
            QCOMPARE(d.recNo(), recNo > 0 ? recNo : 4);
        }
    }

    void aLookupFollowsTheChangesOfItsDataset()
    {
        Dataset forms(conn.get(), QStringLiteral("forms"));
        forms.setSql(QStringLiteral("select * from TB_FORMA_PACTUACAO"));
        forms.addField(QStringLiteral("CO_FORMA_PACTUACAO"), FieldType::String, 3);
        forms.addField(QStringLiteral("DS_FORMA_PACTUACAO"), FieldType::String, 50);
        UpdateSql up(*conn);
        up.generate(QStringLiteral("TB_FORMA_PACTUACAO"), {QStringLiteral("CO_FORMA_PACTUACAO")},
                    {QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("DS_FORMA_PACTUACAO")});
        forms.setUpdateObject(&up);
        forms.open();

        Dataset pacts(conn.get(), QStringLiteral("pacts"));
        pacts.setSql(QStringLiteral("select 'TCE' CO_FORMA_PACTUACAO from RDB$DATABASE union all select 'NEW' from RDB$DATABASE"));
        pacts.addField(QStringLiteral("CO_FORMA_PACTUACAO"), FieldType::String, 3);
        Field& description = pacts.addField(QStringLiteral("DESCRICAO"), FieldType::String, 50, FieldKind::Lookup)
                                 .setLookup(&forms, QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("CO_FORMA_PACTUACAO"),
                                            QStringLiteral("DS_FORMA_PACTUACAO"));
        pacts.open();
        const auto shown = [&] { return QStringList{pacts.rowDisplayText(0, description), pacts.rowDisplayText(1, description)}; };
        QVERIFY(!shown().at(0).isEmpty());
        QCOMPARE(shown().at(1), QString());

        QVERIFY(forms.locate(QStringLiteral("CO_FORMA_PACTUACAO"), QStringLiteral("TCE")));
        forms.edit();
        forms.fieldByName(QStringLiteral("DS_FORMA_PACTUACAO")).setAsString(QStringLiteral("Alterada"));
        forms.post();
        forms.append();
        forms.fieldByName(QStringLiteral("CO_FORMA_PACTUACAO")).setAsString(QStringLiteral("NEW"));
        forms.fieldByName(QStringLiteral("DS_FORMA_PACTUACAO")).setAsString(QStringLiteral("Nova"));
        forms.post();
        QCOMPARE(shown(), (QStringList{QStringLiteral("Alterada"), QStringLiteral("Nova")}));
        QCOMPARE(description.asString(), QStringLiteral("Alterada"));
        forms.remove();
        QCOMPARE(shown(), (QStringList{QStringLiteral("Alterada"), QString()}));
        forms.close();
        QCOMPARE(shown(), (QStringList{QString(), QString()}));
    }

    void valuesAreReadBackAsStored()
    {
        Statement(*conn, {QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, SITUACAO, VL_SALDO_ANTERIOR,"),
                          QStringLiteral("  VL_ALOC_FEDERAL, DT_FECHAMENTO, DT_ENVIO)"),
                          QStringLiteral("values ('2024', 'MG', 0, '1', '', 0, null, '05.02.2004', '06.02.2004 13:45:07')")}).exec();
        Dataset d(conn.get(), QStringLiteral("d"));
        d.setSql(QStringLiteral("select * from TB_MOVIMENTO_MUNICIPIO"));
        d.open();
        const auto f = [&](const char* name) -> Field& { return d.fieldByName(QString::fromLatin1(name)); };
        // Empty text and zero are values; null is none.
        QVERIFY(!f("SITUACAO").isNull());
        QCOMPARE(f("SITUACAO").value(), QVariant(QString()));
        QVERIFY(f("NU_MES_COMPET").value() == QVariant(QStringLiteral("1")));
        QCOMPARE(f("CO_CIDADE").value(), QVariant(0));
        QCOMPARE(f("VL_SALDO_ANTERIOR").value(), QVariant(0.0));
        QVERIFY(f("VL_ALOC_FEDERAL").isNull());
        QVERIFY(f("VL_REC_GASTOS").isNull());
        // A date column keeps its time of day; its text is the date alone at midnight.
        QCOMPARE(f("DT_FECHAMENTO").dataType(), FieldType::DateTime);
        QCOMPARE(f("DT_ENVIO").asDateTime(), QDateTime(QDate(2004, 2, 6), QTime(13, 45, 7)));
        QCOMPARE(f("DT_FECHAMENTO").asString(), QStringLiteral("05/02/2004"));
        QCOMPARE(f("DT_ENVIO").asString(), QStringLiteral("06/02/2004 13:45:07"));
        QCOMPARE(f("DT_ENVIO").displayText(), QStringLiteral("06/02/2004 13:45:07"));
        QCOMPARE(f("DT_FECHAMENTO").displayText(), QStringLiteral("05/02/2004"));
    }

    void aUnitCommitsWholeOrNothing()
    {
        {
            WriteUnit unit(*conn);
            addRate(*conn, QStringLiteral("2001"), 1);
            QVERIFY_THROWS_EXCEPTION(DatabaseError, addRate(*conn, QStringLiteral("2001"), 2));
        }  // destroyed uncommitted: rolls back
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE")), 0);
        {
            WriteUnit unit(*conn);
            addRate(*conn, QStringLiteral("2001"), 1);
            addRate(*conn, QStringLiteral("2002"), 1);
            unit.commit();
        }
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE")), 2);
    }

    void aSavedRowSurvivesTheProgramBeingKilled()
    {
        conn->close();
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVA_CHILD_SAVE"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForStarted());
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("saved"));
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(10000));
        conn = std::make_unique<Connection>();
        support::TestDatabase::configure(*conn);
        conn->open();
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_REPASSE_MESTRE where NU_ANO_COMPET = '2030'")), 1);
    }
};

// In the child: save a row through a dataset, say so, and wait to be killed.
static int childSave()
{
    text::setBrazilianFormats();
    Connection c;
    support::TestDatabase::configure(c);
    c.open();
    Rates r(c);
    r.ds.open();
    r.ds.append();
    r.ds.fieldByName(QStringLiteral("NU_ANO_COMPET")).setText(QStringLiteral("2030"));
    r.ds.post();
    fprintf(stdout, "saved\n");
    fflush(stdout);
    for (;;)
        QThread::sleep(1);
}

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("KORVA_CHILD_SAVE"))
        return childSave();
    TestDataset t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_dataset.moc"
