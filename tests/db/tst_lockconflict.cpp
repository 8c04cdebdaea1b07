// Two seats on one database: a write that meets a row another connection holds gives up
// within the lock timeout, says so in Portuguese, and leaves nothing of its unit; the
// same operation repeated once the other seat is done goes through. Run against the
// embedded engine and, as tst_lockconflict_servidor, against a Firebird server.
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Dataset.h"
#include "db/LockTimeout.h"
#include "db/Statement.h"
#include "db/UpdateSql.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QElapsedTimer>
#include <QTest>

using namespace db;

namespace {

const QString lockMessage =
    QStringLiteral("Outro usuário está alterando os mesmos dados neste momento. A operação foi desfeita e pode ser repetida.");
constexpr int timeout = 2;
// A wait that gives up does so after about the timeout; the margin is for a loaded machine
// (two busy cores under the sanitizers). A wait for ever is what it catches.
constexpr int waitMargin = 15000;

QVariant scalar(Connection& c, const QString& sql)
{
    return Statement(c, {sql}).scalar();
}

void exec(Connection& c, const QString& sql)
{
    Statement(c, {sql}).exec();
}

// Rates by year, as a reader sees them: "2001=1|2002=2".
QString rates(Connection& c)
{
    QStringList out;
    for (const QVariantList& r :
         Statement(c, {QStringLiteral("select NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE from TB_REPASSE_MESTRE order by 1")}).selectAll())
        out << r.at(0).toString() + QLatin1Char('=') + QString::number(r.at(1).toDouble());
    return out.join(QLatin1Char('|'));
}

struct Rates {
    explicit Rates(Connection& c) : ds(&c, QStringLiteral("Rates")), up(c)
    {
        ds.setSql({QStringLiteral("select NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE from TB_REPASSE_MESTRE order by 1")});
        ds.addField(QStringLiteral("NU_ANO_COMPET"), FieldType::String, 4).setRequired();
        ds.addField(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"), FieldType::Float);
        up.generate(QStringLiteral("TB_REPASSE_MESTRE"), {QStringLiteral("NU_ANO_COMPET")},
                    {QStringLiteral("NU_ANO_COMPET"), QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")});
        ds.setUpdateObject(&up);
    }
    Dataset ds;
    UpdateSql up;
};

}  // namespace

class TestLockConflict : public QObject {
    Q_OBJECT

    std::unique_ptr<Connection> first, second;

private slots:
    void initTestCase()
    {
        text::setBrazilianFormats();
        setLockTimeout(timeout);
    }

    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        first = std::make_unique<Connection>();
        second = std::make_unique<Connection>();
        support::TestDatabase::configure(*first);
        support::TestDatabase::configure(*second);
        first->open();
        second->open();
        exec(*first, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2001', 1)"));
    }
    void cleanup()
    {
        second.reset();
        first.reset();
    }

    void everyTransactionWaitsAtMostTheLockTimeout()
    {
        QCOMPARE(first->transactionLockTimeout(), timeout);
        WriteUnit unit(*first);
        QCOMPARE(scalar(*first, QStringLiteral("select rdb$get_context('SYSTEM', 'LOCK_TIMEOUT') from rdb$database")).toInt(),
                 timeout);
    }

    void aRowTheOtherSeatHoldsIsRefusedInTime_data()
    {
        QTest::addColumn<QString>("write");  // by the second seat, after it inserted 2009 in the same unit
        QTest::addColumn<QString>("after");  // the rates once the write is repeated alone
        QTest::newRow("update") << "update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 3 where NU_ANO_COMPET = '2001'"
                                << "2001=3";
        QTest::newRow("delete") << "delete from TB_REPASSE_MESTRE where NU_ANO_COMPET = '2001'" << "";
        QTest::newRow("dataset post") << "" << "2001=3";
    }

    void aRowTheOtherSeatHoldsIsRefusedInTime()
    {
        QFETCH(QString, write);
        QFETCH(QString, after);
        Rates second2001(*second);
        second2001.ds.open();
        {
            WriteUnit holding(*first);
            exec(*first, QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2 where NU_ANO_COMPET = '2001'"));

            QElapsedTimer waited;
            try {
                WriteUnit unit(*second);
                exec(*second, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2009', 9)"));
                waited.start();
                if (write.isEmpty()) {
                    second2001.ds.edit();
                    second2001.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).setText(QStringLiteral("3"));
                    second2001.ds.post();
                } else {
                    exec(*second, write);
                }
                unit.commit();
                QFAIL("wrote a row another seat holds");
            } catch (const LockConflictError& e) {
                QCOMPARE(e.message(), lockMessage);
            }
            QVERIFY2(waited.elapsed() >= (timeout - 1) * 1000 && waited.elapsed() < timeout * 1000 + waitMargin,
                     qPrintable(QString::number(waited.elapsed())));
            QVERIFY(!second->inUnit());
            // A dataset whose post was refused keeps what the user typed.
            QVERIFY(!write.isEmpty() || second2001.ds.isEditing());
            holding.commit();
        }
        // Nothing of the refused unit, the other seat's change whole.
        QCOMPARE(rates(*second), QStringLiteral("2001=2"));

        // Repeated once the other seat is done, the same write goes through.
        if (write.isEmpty()) {
            second2001.ds.cancel();
            second2001.ds.refresh();
            second2001.ds.edit();
            second2001.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).setText(QStringLiteral("3"));
            second2001.ds.post();
        } else {
            exec(*second, write);
        }
        QCOMPARE(rates(*first), after);
    }

    // The import's way: each month in a savepoint; a month that meets a held row is
    // refused alone and the others are kept.
    void aSavepointThatMeetsAHeldRowLetsItsUnitGoOn()
    {
        WriteUnit holding(*first);
        exec(*first, QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 2 where NU_ANO_COMPET = '2001'"));
        {
            WriteUnit unit(*second);
            QStringList refused;
            for (const QString& year : {QStringLiteral("2000"), QStringLiteral("2001"), QStringLiteral("2002")}) {
                try {
                    WriteUnit one(*second);
                    exec(*second, QStringLiteral("delete from TB_REPASSE_MESTRE where NU_ANO_COMPET = '%1'").arg(year));
                    exec(*second, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('%1', 7)").arg(year));
                    one.commit();
                } catch (const LockConflictError&) {
                    refused << year;
                }
            }
            QCOMPARE(refused, QStringList{QStringLiteral("2001")});
            unit.commit();
        }
        holding.commit();
        QCOMPARE(rates(*first), QStringLiteral("2000=7|2001=2|2002=7"));
    }

    // What one seat saved, the other sees as soon as it reads again (a window reopened).
    void aSavedChangeIsSeenByTheOtherSeatWhenItReadsAgain()
    {
        Rates window(*second);
        window.ds.open();
        exec(*first, QStringLiteral("update TB_REPASSE_MESTRE set VL_REPASSE_FEDERAL_MESTRE = 4 where NU_ANO_COMPET = '2001'"));
        QCOMPARE(window.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).asFloat(), 1.0);
        window.ds.close();
        window.ds.open();
        QCOMPARE(window.ds.fieldByName(QStringLiteral("VL_REPASSE_FEDERAL_MESTRE")).asFloat(), 4.0);
    }

    // A key that another seat inserted and has not committed: the wait ends in time too,
    // as the key violation the engine reports then.
    void aKeyTheOtherSeatInsertedIsRefusedInTime()
    {
        WriteUnit holding(*first);
        exec(*first, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2005', 5)"));
        QElapsedTimer waited;
        waited.start();
        try {
            exec(*second, QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2005', 6)"));
            QFAIL("inserted a key another seat holds");
        } catch (const DatabaseError& e) {
            QVERIFY2(e.isKeyViolation(), qPrintable(e.message()));
        }
        QVERIFY2(waited.elapsed() >= (timeout - 1) * 1000 && waited.elapsed() < timeout * 1000 + waitMargin,
                     qPrintable(QString::number(waited.elapsed())));
        holding.commit();
        QCOMPARE(rates(*second), QStringLiteral("2001=1|2005=5"));
    }
};

QTEST_GUILESS_MAIN(TestLockConflict)
#include "tst_lockconflict.moc"
