// The shared data module on a real database: the state and city lists, the pact and
// medication registries' update statements, connection failures and a second copy.
#include "data/DMPrincipal.h"
#include "support/DataModule.h"
#include "db/DatabaseError.h"
#include "text/Formats.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTest>
#include <QThread>

class TestDataModule : public QObject {
    Q_OBJECT

    QVariant scalar(const QString& sql)
    {
        db::Statement s(DMPrincipal->IBDatabaseGeral, {sql});
        return s.scalar();
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }

    void init() { support::freshDataModule(QStringLiteral("empty")); }
    void cleanup() { delete DMPrincipal; }

    void citiesFollowTheStateInPortugueseOrder()
    {
        TDMPrincipal& dm = *DMPrincipal;
        dm.TB_Unidade_Federacao.open();
        dm.TB_Cidade.open();
        QCOMPARE(dm.TB_Unidade_Federacao.recordCount(), 27);
        QVERIFY(dm.TB_Unidade_Federacao.locate(QStringLiteral("CO_UF"), QStringLiteral("MT")));
        const int expected = scalar(QStringLiteral("select count(*) from TB_CIDADE where CO_UF = 'MT'")).toInt();
        QCOMPARE(dm.TB_Cidade.recordCount(), expected);
        QStringList names;
        for (dm.TB_Cidade.first(); !dm.TB_Cidade.eof(); dm.TB_Cidade.next())
            names << dm.TB_CidadeNO_CIDADE->asString();
        // Accents do not move a name out of its letter: "Água Boa" sorts as "Agua Boa".
        const int agua = names.indexOf(QStringLiteral("Água Boa"));
        QVERIFY(agua > names.indexOf(QStringLiteral("Acorizal")));
        QVERIFY(agua < names.indexOf(QStringLiteral("Alta Floresta")));
        QVERIFY(names.indexOf(QStringLiteral("Acorizal")) >= 0);

        // A state without municipalities gives an empty list.
        db::Statement(dm.IBDatabaseGeral, {QStringLiteral("insert into TB_UNIDADE_FEDERACAO (CO_UF, NO_UF) values ('ZZ', 'Sem Municípios')")}).exec();
        dm.TB_Unidade_Federacao.refresh();
        QVERIFY(dm.TB_Unidade_Federacao.locate(QStringLiteral("CO_UF"), QStringLiteral("ZZ")));
        QVERIFY(dm.TB_Cidade.isEmpty());
    }

    void editingAPactKeyUpdatesTheOneRow()
    {
        TDMPrincipal& dm = *DMPrincipal;
        db::Statement(dm.IBDatabaseGeral, {QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, QT_POPULACAO) "
                                                          "values ('2023', 'RR', 1400100, 1000)")}).exec();
        dm.TB_Cidade_Pactuacao.open();
        QCOMPARE(dm.TB_Cidade_Pactuacao.recordCount(), 1);
        QVERIFY(!dm.TB_Cidade_PactuacaoNO_CIDADE->asString().isEmpty());
        dm.TB_Cidade_Pactuacao.edit();
        dm.TB_Cidade_PactuacaoNU_ANO_COMPET->setText(QStringLiteral("2024"));
        dm.TB_Cidade_Pactuacao.post();
        QCOMPARE(scalar(QStringLiteral("select count(*) from TB_CIDADE_PACTUACAO")).toInt(), 1);
        QCOMPARE(scalar(QStringLiteral("select NU_ANO_COMPET from TB_CIDADE_PACTUACAO")).toString(), QStringLiteral("2024"));

        // A second pact for the same year, UF and municipality is refused.
        dm.TB_Cidade_Pactuacao.append();
        dm.TB_Cidade_PactuacaoNU_ANO_COMPET->setText(QStringLiteral("2024"));
        dm.TB_Cidade_PactuacaoCO_UF->setText(QStringLiteral("RR"));
        dm.TB_Cidade_PactuacaoCO_CIDADE->setText(QStringLiteral("1400100"));
        try {
            dm.TB_Cidade_Pactuacao.post();
            QFAIL("duplicate pact accepted");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.isKeyViolation(), qPrintable(e.message()));
        }
        dm.TB_Cidade_Pactuacao.cancel();
    }

    // Every dataset whose windows take a typed year refuses one typed short, before
    // sending anything and before asking for the other fields.
    void aYearOfCompetenceHasFourDigits()
    {
        TDMPrincipal& dm = *DMPrincipal;
        const QList<QPair<db::Dataset*, db::Field*>> comAno = {
            {&dm.TB_Cidade_Pactuacao, dm.TB_Cidade_PactuacaoNU_ANO_COMPET},
            {&dm.TB_Repasse_Mestre, dm.TB_Repasse_MestreNU_ANO_COMPET},
            {&dm.TB_Repasse_Estadual_Excessao, dm.TB_Repasse_Estadual_ExcessaoNU_ANO_COMPET},
            {&dm.TB_Repasse_Municipal_Excessao, dm.TB_Repasse_Municipal_ExcessaoNU_ANO_COMPET}};
        for (const auto& [dataset, ano] : comAno) {
            dataset->open();
            for (const QString& digitado : {QStringLiteral("2"), QStringLiteral("202")}) {
                dataset->append();
                ano->setText(digitado);
                try {
                    dataset->post();
                    QFAIL(qPrintable(dataset->objectName() + QStringLiteral(" saved the year ") + digitado));
                } catch (const db::DataError& e) {
                    QCOMPARE(e.message(), QStringLiteral("O campo \"%1\" deve conter o ano com quatro algarismos.")
                                              .arg(ano->displayLabel()));
                }
                dataset->cancel();
            }
            dataset->close();
        }
    }

    // A transfer rate is zero or more: a negative one is refused before anything is sent.
    void aNegativeRateIsRefused_data()
    {
        QTest::addColumn<QString>("taxa");
        QTest::addColumn<double>("valor");
        QTest::addColumn<bool>("aceito");
        QTest::newRow("standard federal -0,25") << "VL_REPASSE_FEDERAL_MESTRE" << -0.25 << false;
        QTest::newRow("standard municipal -1") << "VL_REPASSE_MUNICIPAL_MESTRE" << -1.0 << false;
        QTest::newRow("state exception -1") << "VL_REPASSE_ESTADUAL_EXCESSAO" << -1.0 << false;
        QTest::newRow("municipal exception -0,01") << "VL_REPASSE_MUNICIPAL_EXCESSAO" << -0.01 << false;
        QTest::newRow("state exception zero") << "VL_REPASSE_ESTADUAL_EXCESSAO" << 0.0 << true;
        QTest::newRow("standard state 0,5") << "VL_REPASSE_ESTADUAL_MESTRE" << 0.5 << true;
    }
    void aNegativeRateIsRefused()
    {
        QFETCH(QString, taxa);
        QFETCH(double, valor);
        QFETCH(bool, aceito);
        TDMPrincipal& dm = *DMPrincipal;
        db::Dataset* ds = taxa.endsWith(QLatin1String("MESTRE")) ? &dm.TB_Repasse_Mestre
                          : taxa.contains(QLatin1String("ESTADUAL")) ? &dm.TB_Repasse_Estadual_Excessao
                                                                    : &dm.TB_Repasse_Municipal_Excessao;
        ds->open();
        ds->append();
        ds->fieldByName(QStringLiteral("NU_ANO_COMPET")).setText(QStringLiteral("2004"));
        if (ds->findField(QStringLiteral("CO_UF")))
            ds->fieldByName(QStringLiteral("CO_UF")).setText(QStringLiteral("MG"));
        if (ds->findField(QStringLiteral("CO_CIDADE")))
            ds->fieldByName(QStringLiteral("CO_CIDADE")).setValue(3138203);
        db::Field& campo = ds->fieldByName(taxa);
        campo.setValue(valor);
        QString recusa;
        try {
            ds->post();
        } catch (const db::DataError& e) {
            recusa = e.message();
            ds->cancel();
        }
        const int gravados = db::Statement(dm.IBDatabaseGeral, {QStringLiteral("select count(*) from %1").arg(
                                                                    ds == &dm.TB_Repasse_Mestre ? "TB_REPASSE_MESTRE"
                                                                    : ds == &dm.TB_Repasse_Estadual_Excessao
                                                                        ? "TB_REPASSE_ESTADUAL_EXCESSAO"
                                                                        : "TB_REPASSE_MUNICIPAL_EXCESSAO")})
                                 .scalar()
                                 .toInt();
        QCOMPARE(gravados, aceito ? 1 : 0);
        QCOMPARE(recusa, aceito ? QString()
                                : QStringLiteral("Valor inválido. O campo \"%1\" não aceita valor negativo.").arg(campo.displayLabel()));
        ds->close();
    }

    void editingAMedicationWritesPactuadaAsNull()
    {
        TDMPrincipal& dm = *DMPrincipal;
        db::Statement(dm.IBDatabaseGeral, {QStringLiteral("update TB_ELENCO_MINIMO set PACTUADA = 'S'")}).exec();
        dm.Tb_Elenco_Minimo.open();
        QVERIFY(!dm.Tb_Elenco_Minimo.isEmpty());
        const int code = dm.Tb_Elenco_MinimoCO_SEQ_MEDICAMENTO->asInteger();
        dm.Tb_Elenco_Minimo.edit();
        dm.Tb_Elenco_MinimoST_ELENCO_MINIMO->setText(QStringLiteral("N"));
        dm.Tb_Elenco_Minimo.post();
        db::Statement s(dm.IBDatabaseGeral, {QStringLiteral("select PACTUADA, ST_ELENCO_MINIMO from TB_ELENCO_MINIMO where CO_SEQ_MEDICAMENTO = :C")});
        s.setParam(QStringLiteral("C"), code);
        const QVariantList row = s.selectAll().value(0);
        QVERIFY(row.value(0).isNull());
        QCOMPARE(row.value(1).toString(), QStringLiteral("N"));
    }

    void aSavedChangeIsSeenByQueriesOpenedAfterwards()
    {
        TDMPrincipal& dm = *DMPrincipal;
        dm.TB_Repasse_Mestre.open();
        dm.TB_Repasse_Mestre.append();
        dm.TB_Repasse_MestreNU_ANO_COMPET->setText(QStringLiteral("2024"));
        dm.TB_Repasse_MestreVL_REPASSE_FEDERAL_MESTRE->setText(QStringLiteral("1,25"));
        dm.TB_Repasse_Mestre.post();
        db::Dataset other(&dm.IBDatabaseGeral, QStringLiteral("other"));
        other.setSql(QStringLiteral("select VL_REPASSE_FEDERAL_MESTRE from TB_REPASSE_MESTRE"));
        other.open();
        QCOMPARE(other.recordCount(), 1);
        QCOMPARE(other.field(0).asFloat(), 1.25);
        QCOMPARE(DMPrincipal->TB_Repasse_MestreVL_REPASSE_FEDERAL_MESTRE->displayText(), QStringLiteral("R$ 1,25"));
    }

    void aFailedConnectionNamesThePathAndIsTriedAgain()
    {
        const QByteArray good = qgetenv("KORVA_DATABASE");
        delete DMPrincipal;
        const QString missing = QDir::tempPath() + QStringLiteral("/korva-missing/NADA.GDB");
        qputenv("KORVA_DATABASE", QFile::encodeName(missing));
        DMPrincipal = new TDMPrincipal;
        try {
            DMPrincipal->DataModuleCreate();
            QFAIL("opened a missing database");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.message().contains(missing), qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("Não foi possível abrir")), qPrintable(e.message()));
        }
        // A later access tries again, with the settings as they are then.
        qputenv("KORVA_DATABASE", good);
        DMPrincipal->TB_Parametro_MELTU.open();
        QVERIFY(DMPrincipal->IBDatabaseGeral.isOpen());
        QCOMPARE(DMPrincipal->codigoCidadeInstalacao(), 0);
    }

    void aSecondCopyIsToldTheDatabaseIsInUse()
    {
        if (support::TestDatabase::server())
            QSKIP("a server serves several seats at once");
        delete DMPrincipal;
        DMPrincipal = nullptr;
        QProcess child;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("KORVA_CHILD_HOLD"), QStringLiteral("1"));
        child.setProcessEnvironment(env);
        child.start(QCoreApplication::applicationFilePath(), {});
        QVERIFY(child.waitForReadyRead(30000));
        QCOMPARE(child.readLine().trimmed(), QByteArray("open"));
        DMPrincipal = new TDMPrincipal;
        try {
            DMPrincipal->DataModuleCreate();
            QFAIL("a second copy opened the database");
        } catch (const db::DatabaseInUseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("já está em uso")), qPrintable(e.message()));
        }
        child.kill();
        child.waitForFinished();
    }
};

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    if (qEnvironmentVariableIsSet("KORVA_CHILD_HOLD")) {
        // Hold the database open until killed.
        TDMPrincipal dm;
        dm.DataModuleCreate();
        fprintf(stdout, "open\n");
        fflush(stdout);
        for (;;)
            QThread::sleep(1);
    }
    TestDataModule t;
    return QTest::qExec(&t, argc, argv);
}

#include "tst_datamodule.moc"
