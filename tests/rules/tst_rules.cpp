// Rules several windows share, tested without any window.
#include "reports/rules/Periodo.h"
#include "rules/Anos.h"

#include <QtTest>

#include <stdexcept>

class TestRules : public QObject {
    Q_OBJECT

private slots:
    void yearList_data()
    {
        QTest::addColumn<QDate>("hoje");
        QTest::addColumn<QStringList>("anos");
        QTest::newRow("before the last listed year")
            << QDate(2003, 6, 1) << QStringList{"2001", "2002", "2003", "2004", "2005"};
        QTest::newRow("in the last listed year")
            << QDate(2005, 1, 1) << QStringList{"2001", "2002", "2003", "2004", "2005", "2006"};
        QTest::newRow("years later")
            << QDate(2008, 12, 31) << QStringList{"2001", "2002", "2003", "2004", "2005", "2006", "2007", "2008", "2009"};
    }
    void yearList()
    {
        QFETCH(QDate, hoje);
        QFETCH(QStringList, anos);
        QCOMPARE(rules::yearList(2001, 2005, hoje), anos);
    }

    void periodCaptureAndCaption()
    {
        const PeriodoSelecionado p = CapturaPeriodo(9, 1);
        QCOMPARE(p.MesInicio, QStringLiteral("10"));
        QCOMPARE(p.MesFim, QStringLiteral("2"));
        QCOMPARE(p.NomeMesInicio, QStringLiteral("Outubro"));
        QCOMPARE(p.NomeMesFim, QStringLiteral("Fevereiro"));
        QCOMPARE(LegendaPeriodo(p.NomeMesInicio, p.NomeMesFim, QStringLiteral("2004")),
                 QStringLiteral("Período : Outubro à Fevereiro de 2004"));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, CapturaPeriodo(12, 0));
        QVERIFY_THROWS_EXCEPTION(std::invalid_argument, CapturaPeriodo(0, -1));
    }

    // A first month after the last is said, naming both; in order (one month too) nothing.
    void reversedPeriod()
    {
        QCOMPARE(PeriodoInvertido(3, 1), QStringLiteral("O período está invertido: Abril vem depois de Fevereiro.\n"
                                                        "Escolha um mês inicial igual ou anterior ao mês final."));
        QVERIFY(PeriodoInvertido(11, 0).startsWith(QStringLiteral("O período está invertido: Dezembro vem depois de Janeiro.")));
        QCOMPARE(PeriodoInvertido(1, 3), QString());
        QCOMPARE(PeriodoInvertido(4, 4), QString());
    }
};

QTEST_MAIN(TestRules)
#include "tst_rules.moc"
