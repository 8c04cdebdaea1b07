// Plain statements and write units against a real embedded database: a unit that goes
// on after a failure its caller handles, nested units as savepoints, and values converted
// to their parameters' types before anything is sent.
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QTest>

using namespace db;

namespace {

QVariant scalar(Connection& c, const QString& sql)
{
    return Statement(c, {sql}).scalar();
}

int count(Connection& c, const QString& sql)
{
    return scalar(c, sql).toInt();
}

// One month header of a municipality; the values tell the months apart.
void seedMonth(Connection& c, int month, double spent)
{
    Statement s(c, {QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, VL_REC_GASTOS, SITUACAO)"),
                    QStringLiteral("values ('2024', 'MG', 3138203, :MES, :GASTO, '1')")});
    s.setParam(QStringLiteral("MES"), QString::number(month));
    s.setParam(QStringLiteral("GASTO"), spent);
    s.exec();
}

// Month headers and their medication lines, as a reader sees them.
QList<QVariantList> months(Connection& c)
{
    return Statement(c, {QStringLiteral("select m.NU_MES_COMPET, m.VL_REC_GASTOS, m.SITUACAO,"),
                         QStringLiteral("  (select count(*) from TB_EXECUCAO_FISICA_MUNICIPIO e where e.NU_ANO_COMPET = m.NU_ANO_COMPET"),
                         QStringLiteral("     and e.CO_UF = m.CO_UF and e.CO_CIDADE = m.CO_CIDADE and e.NU_MES_COMPET = m.NU_MES_COMPET)"),
                         QStringLiteral("from TB_MOVIMENTO_MUNICIPIO m order by cast(m.NU_MES_COMPET as integer)")})
        .selectAll();
}

}  // namespace

class TestStatement : public QObject {
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

    void aKeyViolationCaughtInsideAUnitLetsItGoOn()
    {
        Statement(*conn, {QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2001', 1)")}).exec();
        Statement(*conn, {QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2002', 2)")}).exec();
        {
            WriteUnit unit(*conn);
            Statement insert(*conn, {QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values (:ANO, :V)")});
            insert.setParam(QStringLiteral("ANO"), QStringLiteral("2005"));
            insert.setParam(QStringLiteral("V"), 5);
            insert.exec();

            // Insert, and on a key violation update: the pattern of the month header.
            insert.setParam(QStringLiteral("ANO"), QStringLiteral("2001"));
            insert.setParam(QStringLiteral("V"), 10);
            try {
                insert.exec();
                QFAIL("duplicate key accepted");
            } catch (const DatabaseError& e) {
                QVERIFY2(e.isKeyViolation(), qPrintable(e.message()));
                Statement update(*conn, {QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = :V where NU_ANO_COMPET = :ANO")});
                update.setParam(QStringLiteral("ANO"), QStringLiteral("2001"));
                update.setParam(QStringLiteral("V"), 10);
                QCOMPARE(update.exec(), 1);
            }

            // A statement that fails half-way (2001 moves, 2002 collides with it) undoes
            // its own changes and nothing else.
            QVERIFY_THROWS_EXCEPTION(DatabaseError,
                                     Statement(*conn, {QStringLiteral("update TB_REPASSE_MESTRE set NU_ANO_COMPET = '2003' where NU_ANO_COMPET < '2005'")}).exec());
            unit.commit();
        }
        const QList<QVariantList> rows =
            Statement(*conn, {QStringLiteral("select NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE from TB_REPASSE_MESTRE order by 1")}).selectAll();
        QCOMPARE(rows, (QList<QVariantList>{{QStringLiteral("2001"), 10.0}, {QStringLiteral("2002"), 2.0}, {QStringLiteral("2005"), 5.0}}));
    }

    void aFailedMonthInsideAUnitLeavesTheOthersStored()
    {
        seedMonth(*conn, 2, 222);
        const QList<QVariantList> before = months(*conn);
        {
            WriteUnit unit(*conn);
            // Prepared once and run in every month: a savepoint rolled back leaves them usable.
            Statement remove(*conn, {QStringLiteral("delete from TB_MOVIMENTO_MUNICIPIO where NU_ANO_COMPET = '2024' and CO_UF = 'MG' and CO_CIDADE = 3138203 and NU_MES_COMPET = :MES")});
            Statement header(*conn, {QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, VL_REC_GASTOS, SITUACAO)"),
                                     QStringLiteral("values ('2024', 'MG', 3138203, :MES, :GASTO, '2')")});
            Statement line(*conn, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO)"),
                                   QStringLiteral("values ('2024', 'MG', 3138203, :MES, 1, :QT)")});
            QStringList refused;
            for (int month = 1; month <= 3; ++month) {
                const QString mes = QString::number(month);
                try {
                    WriteUnit monthUnit(*conn);
                    remove.setParam(QStringLiteral("MES"), mes);
                    remove.exec();
                    header.setParam(QStringLiteral("MES"), mes);
                    header.setParam(QStringLiteral("GASTO"), month * 10);
                    header.exec();
                    line.setParam(QStringLiteral("MES"), mes);
                    // The second month's line has a quantity that is no number.
                    line.setParam(QStringLiteral("QT"), month == 2 ? QStringLiteral("dez") : QStringLiteral("10"));
                    line.exec();
                    monthUnit.commit();
                } catch (const DataError& e) {
                    refused << mes + QStringLiteral(": ") + e.message();
                }
            }
            QCOMPARE(refused, QStringList{QStringLiteral("2: \"dez\" não é um valor válido para o parâmetro \"QT\".")});
            unit.commit();
        }
        const QList<QVariantList> after = months(*conn);
        QCOMPARE(after.size(), 3);
        QCOMPARE(after.at(0), (QVariantList{QStringLiteral("1"), 10.0, QStringLiteral("2"), 1}));
        QCOMPARE(after.at(1), before.at(0));  // month 2 exactly as it was
        QCOMPARE(after.at(2), (QVariantList{QStringLiteral("3"), 30.0, QStringLiteral("2"), 1}));

        // The statements prepared in the unit still run after its commit.
        seedMonth(*conn, 4, 40);
        QCOMPARE(months(*conn).size(), 4);
    }

    void anErrorThatEscapesTheOutermostUnitLeavesNothing()
    {
        seedMonth(*conn, 1, 111);
        try {
            WriteUnit unit(*conn);
            {
                WriteUnit inner(*conn);
                seedMonth(*conn, 2, 222);
                inner.commit();
            }
            Statement(*conn, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_REC_GASTOS = 0")}).exec();
            seedMonth(*conn, 1, 1);  // duplicate: escapes
            unit.commit();
            QFAIL("duplicate accepted");
        } catch (const DatabaseError& e) {
            QVERIFY(e.isKeyViolation());
        }
        QCOMPARE(months(*conn), (QList<QVariantList>{{QStringLiteral("1"), 111.0, QStringLiteral("1"), 0}}));
        QVERIFY(!conn->inUnit());
    }

    void textsAreConvertedToTheParameterType_data()
    {
        QTest::addColumn<QString>("assignment");  // to VL_REC_GASTOS or DT_FECHAMENTO
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("input");
        QTest::addColumn<QVariant>("stored");     // invalid: refused; a null string: stored as null

        const QString date = QStringLiteral("DT_FECHAMENTO = :V");
        const QString real = QStringLiteral("VL_REC_GASTOS = :V");
        const QString integer = QStringLiteral("VL_REC_GASTOS = cast(:V as integer)");
        const QString small = QStringLiteral("VL_REC_GASTOS = cast(:V as smallint)");
        const QString dt = QStringLiteral("DT_FECHAMENTO");
        const QString vl = QStringLiteral("VL_REC_GASTOS");
        const QVariant refused;
        const QVariant null = QVariant(QStringLiteral("null"));

        QTest::newRow("date") << date << dt << "05/02/2004" << QVariant(QDateTime(QDate(2004, 2, 5), QTime(0, 0)));
        QTest::newRow("date hh:mm") << date << dt << "05/02/2004 10:30" << QVariant(QDateTime(QDate(2004, 2, 5), QTime(10, 30)));
        QTest::newRow("date h:mm:ss") << date << dt << "5/2/2004 9:30:15" << QVariant(QDateTime(QDate(2004, 2, 5), QTime(9, 30, 15)));
        QTest::newRow("date empty") << date << dt << "" << null;
        QTest::newRow("date blanks") << date << dt << "   " << null;
        QTest::newRow("date ISO") << date << dt << "2004-02-05" << refused;
        QTest::newRow("date no such day") << date << dt << "31/02/2004" << refused;
        QTest::newRow("date bad hour") << date << dt << "05/02/2004 25:00" << refused;
        QTest::newRow("date words") << date << dt << "ontem" << refused;

        QTest::newRow("double comma") << real << vl << "12,5" << QVariant(12.5);
        QTest::newRow("double sign exponent") << real << vl << "-1,5E3" << QVariant(-1500.0);
        QTest::newRow("double plus") << real << vl << "+3" << QVariant(3.0);
        QTest::newRow("double empty") << real << vl << "" << null;
        QTest::newRow("double point") << real << vl << "12.5" << refused;
        QTest::newRow("double grouped") << real << vl << "1.234,5" << refused;
        QTest::newRow("double words") << real << vl << "abc" << refused;

        QTest::newRow("integer") << integer << vl << "-42" << QVariant(-42.0);
        QTest::newRow("integer empty") << integer << vl << "" << null;
        QTest::newRow("integer fraction") << integer << vl << "12,5" << refused;
        QTest::newRow("integer too big") << integer << vl << "3000000000" << refused;
        QTest::newRow("integer words") << integer << vl << "doze" << refused;

        QTest::newRow("smallint") << small << vl << "32767" << QVariant(32767.0);
        QTest::newRow("smallint empty") << small << vl << "" << null;
        QTest::newRow("smallint too big") << small << vl << "32768" << refused;
    }
    void textsAreConvertedToTheParameterType()
    {
        QFETCH(QString, assignment);
        QFETCH(QString, column);
        QFETCH(QString, input);
        QFETCH(QVariant, stored);
        seedMonth(*conn, 1, 7);
        Statement(*conn, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set DT_FECHAMENTO = '01.01.2000'")}).exec();
        const QString read = QStringLiteral("select %1 from TB_MOVIMENTO_MUNICIPIO").arg(column);
        const QVariant before = scalar(*conn, read);

        Statement s(*conn, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set %1").arg(assignment)});
        s.setParam(QStringLiteral("V"), input);
        if (!stored.isValid()) {
            try {
                s.exec();
                QFAIL("value accepted");
            } catch (const DataError& e) {
                QCOMPARE(e.message(), QStringLiteral("\"%1\" não é um valor válido para o parâmetro \"V\".").arg(input));
            }
            QCOMPARE(scalar(*conn, read), before);
        } else if (stored == QVariant(QStringLiteral("null"))) {
            QCOMPARE(s.exec(), 1);
            QVERIFY(scalar(*conn, read).isNull());
        } else {
            QCOMPARE(s.exec(), 1);
            QCOMPARE(scalar(*conn, read), stored);
        }
    }

    void valuesOfOtherTypesAreCheckedToo()
    {
        seedMonth(*conn, 1, 7);
        Statement s(*conn, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set VL_REC_GASTOS = cast(:V as integer), DT_FECHAMENTO = :D")});
        s.setParam(QStringLiteral("V"), 2.5);  // the driver would cut it to 2
        s.setParam(QStringLiteral("D"), QDate(2004, 2, 5));
        QVERIFY_THROWS_EXCEPTION(DataError, s.exec());
        QCOMPARE(scalar(*conn, QStringLiteral("select VL_REC_GASTOS from TB_MOVIMENTO_MUNICIPIO")).toDouble(), 7.0);
        s.setParam(QStringLiteral("V"), 3.0);
        QCOMPARE(s.exec(), 1);
        QCOMPARE(Statement(*conn, {QStringLiteral("select VL_REC_GASTOS, DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")}).selectAll().value(0),
                 (QVariantList{3.0, QDateTime(QDate(2004, 2, 5), QTime(0, 0))}));
    }

    // An EXECUTE BLOCK with positional parameters: its own :NAME variables reach the
    // engine untouched, the values are converted to the parameters' types (a dialect-1
    // date is a timestamp), and one that does not convert is refused by its position
    // with nothing executed. A failure inside the block undoes the whole block.
    void anExecuteBlockTakesPositionalValues()
    {
        Statement s(*conn, {QStringLiteral("execute block (M1 varchar(2) = ?, G1 double precision = ?, M2 varchar(2) = ?, "
                                           "G2 double precision = ?, D type of column TB_MOVIMENTO_MUNICIPIO.DT_FECHAMENTO = ?) as begin"),
                            QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                           "VL_REC_GASTOS, SITUACAO, DT_FECHAMENTO) values ('2024', 'MG', 3138203, :M1, :G1, '1', :D);"),
                            QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                           "VL_REC_GASTOS, SITUACAO, DT_FECHAMENTO) values ('2024', 'MG', 3138203, :M2, :G2, '1', :D);"),
                            QStringLiteral("end")});
        s.setPositional(true);
        s.setValues({QStringLiteral("1"), QStringLiteral("10,5"), QStringLiteral("2"), 20.0, QStringLiteral("05/02/2004 10:30")});
        s.exec();
        QCOMPARE(months(*conn).size(), 2);
        QCOMPARE(scalar(*conn, QStringLiteral("select sum(VL_REC_GASTOS) from TB_MOVIMENTO_MUNICIPIO")).toDouble(), 30.5);
        QCOMPARE(scalar(*conn, QStringLiteral("select max(DT_FECHAMENTO) from TB_MOVIMENTO_MUNICIPIO")).toDateTime(),
                 QDateTime(QDate(2004, 2, 5), QTime(10, 30)));

        s.setValues({QStringLiteral("3"), QStringLiteral("dez"), QStringLiteral("4"), 1.0, QVariant()});
        try {
            s.exec();
            QFAIL("a value that does not convert was sent");
        } catch (const DataError& e) {
            QCOMPARE(e.message(), QStringLiteral("\"dez\" não é um valor válido para o parâmetro \"2\"."));
        }
        // The second insert fails (month 1 exists): the first one's row goes with it.
        s.setValues({QStringLiteral("3"), 1.0, QStringLiteral("1"), 1.0, QVariant()});
        QVERIFY_THROWS_EXCEPTION(DatabaseError, s.exec());
        QCOMPARE(months(*conn).size(), 2);
    }

    void aCharacterWindows1252CannotHoldIsRefusedByName_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("character");
        QTest::newRow("arrow") << QStringLiteral("Ida → volta") << QStringLiteral("→ (U+2192)");
        QTest::newRow("double acute") << QStringLiteral("Erdős") << QStringLiteral("ő (U+0151)");
        QTest::newRow("emoji") << QStringLiteral("Farmácia 💊") << QStringLiteral("💊 (U+1F48A)");
    }
    void aCharacterWindows1252CannotHoldIsRefusedByName()
    {
        QFETCH(QString, input);
        QFETCH(QString, character);
        Statement s(*conn, {QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA) values ('KORVA', :NOME)")});
        s.setParam(QStringLiteral("NOME"), input);
        const int quote = character.indexOf(u' ');
        try {
            s.exec();
            QFAIL("text accepted");
        } catch (const DataError& e) {
            QCOMPARE(e.message(), QStringLiteral("O parâmetro \"NOME\" contém o caractere \"%1\" %2, que o banco de dados não pode guardar.")
                                      .arg(character.left(quote), character.mid(quote + 1)));
        }
        QCOMPARE(count(*conn, QStringLiteral("select count(*) from TB_PARAMETRO_KORVA")), 0);

        // What the code page holds is stored as typed.
        s.setParam(QStringLiteral("NOME"), QStringLiteral("Água Boa – “Ação” € œ"));
        s.exec();
        QCOMPARE(scalar(*conn, QStringLiteral("select NO_SISTEMA from TB_PARAMETRO_KORVA")).toString(), QStringLiteral("Água Boa – “Ação” € œ"));
    }
};

QTEST_GUILESS_MAIN(TestStatement)
#include "tst_statement.moc"
