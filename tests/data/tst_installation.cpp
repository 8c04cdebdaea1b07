// How an installation reaches its database: KORVA_DATABASE, KORVA_USER and
// KORVA_PASSWORD, else korva.conf in the data folder -- used only while nobody but its
// owner may read or change it --, else the embedded database's fixed defaults; a server
// database needs a user and password; no message shows the password. The first start
// makes the default database, and only that one, with the database tool.
#include "data/Installation.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString secret = QStringLiteral("s3nh@=secreta");

void writeConf(const QString& text, mode_t mode = 0600)
{
    QFile f(installation::configFile());
    QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.toUtf8());
    f.close();
    QCOMPARE(::chmod(QFile::encodeName(f.fileName()).constData(), mode), 0);
}

// The message of the refusal, or empty when the settings were accepted.
QString refusal()
{
    try {
        installation::databaseSettings();
        return QString();
    } catch (const db::DatabaseError& e) {
        return e.message();
    }
}

}  // namespace

class TestInstallation : public QObject {
    Q_OBJECT

    std::unique_ptr<QTemporaryDir> home;

private slots:
    void init()
    {
        home = std::make_unique<QTemporaryDir>();
        qputenv("KORVA_HOME", QFile::encodeName(home->path()));
        for (const char* v : {"KORVA_DATABASE", "KORVA_USER", "KORVA_PASSWORD"})
            qunsetenv(v);
    }

    void eachValueFromTheEnvironmentElseTheFileElseTheDefault_data()
    {
        QTest::addColumn<QString>("environment");  // NAME=value;...
        QTest::addColumn<QString>("conf");         // korva.conf; "-" for none
        QTest::addColumn<QString>("database");     // "~" stands for the data folder
        QTest::addColumn<QString>("user");
        QTest::addColumn<QString>("password");
        QTest::addColumn<QString>("origin");

        const QString file = QStringLiteral("no arquivo \"~/korva.conf\"");
        QTest::newRow("defaults") << "" << "-" << "~/KORVA.GDB" << "SYSDBA" << "cobaltrim" << "padrão do banco local";
        QTest::newRow("environment") << "KORVA_DATABASE=srv/3051:/d/K.FDB;KORVA_USER=ana;KORVA_PASSWORD=x"
                                     << "-" << "srv/3051:/d/K.FDB" << "ana" << "x" << "informados em KORVA_USER e KORVA_PASSWORD";
        QTest::newRow("file") << ""
                              << "# a seat of the state office\nKORVA_DATABASE = srv:/d/K.FDB\n\nKORVA_USER=bia\nKORVA_PASSWORD=" + secret + "\n"
                              << "srv:/d/K.FDB" << "bia" << secret << "informados " + file;
        QTest::newRow("environment over file") << "KORVA_USER=ana;KORVA_PASSWORD=x"
                                               << "KORVA_DATABASE=srv:/d/K.FDB\nKORVA_USER=bia\nKORVA_PASSWORD=y\n"
                                               << "srv:/d/K.FDB" << "ana" << "x" << "informados em KORVA_USER e KORVA_PASSWORD";
        QTest::newRow("one of each") << "KORVA_USER=ana" << "KORVA_PASSWORD=y\n"
                                     << "~/KORVA.GDB" << "ana" << "y" << "usuário de KORVA_USER, senha do arquivo \"~/korva.conf\"";
        QTest::newRow("local user, default password") << "KORVA_USER=ana" << "-" << "~/KORVA.GDB" << "ana" << "cobaltrim"
                                                      << "usuário de KORVA_USER, senha padrão";
    }

    void eachValueFromTheEnvironmentElseTheFileElseTheDefault()
    {
        QFETCH(QString, environment);
        QFETCH(QString, conf);
        QFETCH(QString, database);
        QFETCH(QString, user);
        QFETCH(QString, password);
        QFETCH(QString, origin);
        for (const QString& pair : environment.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            qputenv(pair.section(QLatin1Char('='), 0, 0).toLatin1(), pair.section(QLatin1Char('='), 1).toUtf8());
        if (conf != QLatin1String("-"))
            writeConf(conf);

        const installation::DatabaseSettings s = installation::databaseSettings();
        QCOMPARE(s.database, QString(database).replace(QLatin1Char('~'), home->path()));
        QCOMPARE(s.user, user);
        QCOMPARE(s.password, password);
        QCOMPARE(s.origin, QString(origin).replace(QLatin1Char('~'), home->path()));
        QCOMPARE(installation::databasePath(), s.database);
    }

    void aFileOthersMayReadOrChangeIsNotUsed_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("problem");  // empty: used
        QTest::newRow("0600") << 0600 << "";
        QTest::newRow("0400") << 0400 << "";
        QTest::newRow("group reads") << 0640 << "outros usuários podem lê-lo";
        QTest::newRow("others read") << 0604 << "outros usuários podem lê-lo";
        QTest::newRow("group writes") << 0620 << "outros usuários podem alterá-lo";
        QTest::newRow("others write") << 0602 << "outros usuários podem alterá-lo";
    }

    void aFileOthersMayReadOrChangeIsNotUsed()
    {
        QFETCH(int, mode);
        QFETCH(QString, problem);
        writeConf(QStringLiteral("KORVA_DATABASE=srv:/d/K.FDB\nKORVA_USER=bia\nKORVA_PASSWORD=%1\n").arg(secret), mode_t(mode));
        const QString message = refusal();
        if (problem.isEmpty()) {
            QCOMPARE(message, QString());
            return;
        }
        QCOMPARE(message, QStringLiteral("O arquivo de configuração \"%1\" não foi usado: %2, e ele guarda a senha do banco de dados. "
                                         "Deixe-o só para você (chmod 600 \"%1\") e tente de novo.")
                              .arg(installation::configFile(), problem));
        // Not used for the database either.
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, installation::databasePath());
    }

    // The password as written, blanks at either end included; the other values trimmed.
    void thePasswordIsKeptAsWritten()
    {
        writeConf(QStringLiteral("KORVA_DATABASE = srv:/d/K.FDB \r\nKORVA_USER= bia \r\nKORVA_PASSWORD=  s3nh@ = ção  \r\n"));
        const installation::DatabaseSettings s = installation::databaseSettings();
        QCOMPARE(s.database, QStringLiteral("srv:/d/K.FDB"));
        QCOMPARE(s.user, QStringLiteral("bia"));
        QCOMPARE(s.password, QStringLiteral("  s3nh@ = ção  "));
    }

    // A link to nothing, and a file of another user, are said for what they are.
    void aDanglingLinkOrAnotherUsersFileIsSaid()
    {
        QVERIFY(QFile::link(home->filePath(QStringLiteral("sumiu.conf")), installation::configFile()));
        QCOMPARE(refusal(), QStringLiteral("O arquivo de configuração \"%1\" é um link para \"%2\", que não existe: corrija o "
                                           "link ou apague-o, e tente de novo.")
                                .arg(installation::configFile(), home->filePath(QStringLiteral("sumiu.conf"))));
        QVERIFY(QFile::remove(installation::configFile()));

        writeConf(QStringLiteral("KORVA_USER=bia\nKORVA_PASSWORD=%1\n").arg(secret));
        if (::chown(QFile::encodeName(installation::configFile()).constData(), 65534, 65534) != 0)
            QSKIP("only root can give the file to another user here");
        const QString message = refusal();
        QVERIFY2(message.contains(QStringLiteral("não foi usado: pertence a outro usuário")), qPrintable(message));
        QVERIFY2(message.contains(QStringLiteral("chown")), qPrintable(message));
        QVERIFY2(!message.contains(QStringLiteral("Deixe-o só para você")), qPrintable(message));
        QVERIFY(!message.contains(secret));
    }

    void aLineTheFileDoesNotKnowIsRefusedWithoutShowingIt()
    {
        writeConf(QStringLiteral("KORVA_USER=bia\nKORVA_PASWORD=%1\n").arg(secret));
        QCOMPARE(refusal(), QStringLiteral("O arquivo de configuração \"%1\", linha 2: esperava-se KORVA_DATABASE=..., "
                                           "KORVA_USER=..., KORVA_PASSWORD=... ou KORVA_COPIAS=...")
                                .arg(installation::configFile()));
    }

    void aServerDatabaseNeedsAUserAndPassword_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<bool>("server");
        QTest::newRow("host") << "estado:/dados/KORVA.FDB" << true;
        QTest::newRow("host and port") << "10.0.0.7/3051:/dados/KORVA.FDB" << true;
        QTest::newRow("host and service") << "estado/gds_db:/dados/KORVA.FDB" << true;
        QTest::newRow("IPv6") << "[::1]/3051:/dados/KORVA.FDB" << true;
        QTest::newRow("URL") << "inet://estado:3051//dados/KORVA.FDB" << true;
        QTest::newRow("path") << "/home/ana/korva/KORVA.GDB" << false;
        QTest::newRow("relative") << "dados/KORVA.GDB" << false;
        QTest::newRow("drive") << "C:/korva/KORVA.GDB" << false;
        QTest::newRow("drive backslash") << "C:\\korva\\KORVA.GDB" << false;
    }

    void aServerDatabaseNeedsAUserAndPassword()
    {
        QFETCH(QString, database);
        QFETCH(bool, server);
        qputenv("KORVA_DATABASE", database.toUtf8());
        qputenv("KORVA_USER", "ana");
        const QString message = refusal();
        if (!server) {
            QCOMPARE(message, QString());
            return;
        }
        QCOMPARE(message, QStringLiteral("O banco de dados \"%1\" está num servidor: informe o usuário e a senha em KORVA_USER e "
                                         "KORVA_PASSWORD, ou no arquivo \"%2\", legível só por você.")
                              .arg(database, installation::configFile()));
        qputenv("KORVA_PASSWORD", secret.toUtf8());
        QCOMPARE(refusal(), QString());
    }

    // A connection reads the settings again at every attempt to open: the user fixes the
    // file and the next try goes through.
    void aFixedFileTakesEffectOnTheNextTry()
    {
        const QString database = support::TestDatabase::fresh(QStringLiteral("empty"));
        qunsetenv("KORVA_DATABASE");
        qputenv("KORVA_HOME", QFile::encodeName(home->path()));
        writeConf(QStringLiteral("KORVA_DATABASE=%1\nKORVA_PASSWORD=%2\n").arg(database, secret), 0644);
        db::Connection c;
        installation::configure(c);
        try {
            c.open();
            QFAIL("used a file others may read");
        } catch (const db::DatabaseError& e) {
            QVERIFY2(e.message().contains(QStringLiteral("outros usuários podem lê-lo")), qPrintable(e.message()));
            QVERIFY(!e.message().contains(secret));
        }
        QVERIFY(!c.isOpen());
        QCOMPARE(::chmod(QFile::encodeName(installation::configFile()).constData(), 0600), 0);
        c.open();
        QVERIFY(c.isOpen());
        QCOMPARE(c.databaseName(), database);
    }

    // Only the default database, and only while nothing is at its path: a database the
    // user names (a file, a server) is never made by a start.
    void theFirstStartCreatesTheDefaultDatabaseAlone_data()
    {
        QTest::addColumn<QString>("environment");  // NAME=value;... ("~" the data folder)
        QTest::addColumn<QString>("conf");         // korva.conf; "-" for none
        QTest::addColumn<int>("confMode");
        QTest::addColumn<QString>("present");      // at the default path: "-", "file", "link"
        QTest::addColumn<bool>("creates");
        QTest::newRow("nothing yet") << "" << "-" << 0600 << "-" << true;
        QTest::newRow("the database exists") << "" << "-" << 0600 << "file" << false;
        QTest::newRow("a link to nothing") << "" << "-" << 0600 << "link" << false;
        QTest::newRow("KORVA_DATABASE names a file") << "KORVA_DATABASE=~/OUTRO.GDB" << "-" << 0600 << "-" << false;
        QTest::newRow("KORVA_DATABASE names the default file") << "KORVA_DATABASE=~/KORVA.GDB" << "-" << 0600 << "-" << false;
        QTest::newRow("KORVA_DATABASE names a server")
            << "KORVA_DATABASE=srv:/d/K.FDB;KORVA_USER=ana;KORVA_PASSWORD=x" << "-" << 0600 << "-" << false;
        QTest::newRow("korva.conf names the database") << "" << "KORVA_DATABASE=srv:/d/K.FDB\nKORVA_USER=bia\nKORVA_PASSWORD=y\n"
                                                       << 0600 << "-" << false;
        QTest::newRow("korva.conf with a user alone") << "" << "KORVA_USER=bia\n" << 0600 << "-" << true;
        QTest::newRow("korva.conf others may read") << "" << "KORVA_USER=bia\n" << 0644 << "-" << false;
    }

    void theFirstStartCreatesTheDefaultDatabaseAlone()
    {
        QFETCH(QString, environment);
        QFETCH(QString, conf);
        QFETCH(int, confMode);
        QFETCH(QString, present);
        QFETCH(bool, creates);
        for (const QString& pair : environment.split(QLatin1Char(';'), Qt::SkipEmptyParts))
            qputenv(pair.section(QLatin1Char('='), 0, 0).toLatin1(),
                    pair.section(QLatin1Char('='), 1).replace(QLatin1Char('~'), home->path()).toUtf8());
        if (conf != QLatin1String("-"))
            writeConf(conf, mode_t(confMode));
        const QString database = home->filePath(QStringLiteral("KORVA.GDB"));
        if (present == QLatin1String("file")) {
            QFile f(database);
            QVERIFY(f.open(QIODevice::WriteOnly));
        } else if (present == QLatin1String("link")) {
            QVERIFY(QFile::link(home->filePath(QStringLiteral("sumiu.GDB")), database));
        }
        QCOMPARE(installation::databaseToCreate(), creates ? database : QString());
        // A tool that is not there is not even tried when there is nothing to make.
        const installation::FirstStart start = installation::createOnFirstStart(home->filePath(QStringLiteral("nenhum")));
        QCOMPARE(start.outcome, creates ? installation::FirstStart::Outcome::Failed : installation::FirstStart::Outcome::Nothing);
    }

    // The tool makes the database with the reference data and nothing else; the message
    // says where, and the next start finds it there.
    void theFirstStartMakesAnEmptyDatabaseWithTheTool()
    {
        // The data folder itself does not exist yet.
        const QString folder = home->filePath(QStringLiteral("korva"));
        qputenv("KORVA_HOME", QFile::encodeName(folder));
        const QString database = folder + QStringLiteral("/KORVA.GDB");
        const installation::FirstStart start = installation::createOnFirstStart(QStringLiteral(KORVA_DB_TOOL));
        QVERIFY2(start.outcome == installation::FirstStart::Outcome::Created, qPrintable(start.message));
        QCOMPARE(start.database, database);
        QCOMPARE(start.message, QStringLiteral("Primeiro início do KORVA: banco de dados criado em %1. Ele tem as tabelas de "
                                               "referência e nenhum movimento; registre os dados da instalação em \"Apoio\" > "
                                               "\"Parâmetros do Sistema\".")
                                    .arg(QDir::toNativeSeparators(database)));
        {
            db::Connection c;
            installation::configure(c);
            c.open();
            const auto conta = [&c](const char* tabela) {
                return db::Statement(c, {QStringLiteral("select count(*) from ") + QLatin1String(tabela)}).scalar().toInt();
            };
            QVERIFY(conta("TB_UNIDADE_FEDERACAO") >= 27);
            QVERIFY(conta("TB_CIDADE") > 5000);
            QCOMPARE(conta("TB_PARAMETRO_KORVA"), 0);
            QCOMPARE(conta("TB_CIDADE_PACTUACAO"), 0);
            c.close();
        }
        QCOMPARE(installation::createOnFirstStart(QStringLiteral(KORVA_DB_TOOL)).outcome,
                 installation::FirstStart::Outcome::Nothing);
    }

    // A failure says where the database was to be, why it was not made (the tool's own
    // words) and what the user can do.
    void aFirstStartThatCannotCreateSaysWhy_data()
    {
        QTest::addColumn<bool>("toolThere");
        QTest::addColumn<QString>("why");
        QTest::newRow("no tool") << false << "não pôde ser executado";
        QTest::newRow("a data folder that cannot be made") << true << "Não foi possível criar a pasta";
    }

    void aFirstStartThatCannotCreateSaysWhy()
    {
        QFETCH(bool, toolThere);
        QFETCH(QString, why);
        QString folder = home->path();
        if (toolThere) {
            // The data folder's parent is a plain file.
            QFile f(home->filePath(QStringLiteral("arquivo")));
            QVERIFY(f.open(QIODevice::WriteOnly));
            folder = f.fileName() + QStringLiteral("/korva");
            qputenv("KORVA_HOME", QFile::encodeName(folder));
        }
        const QString tool = toolThere ? QStringLiteral(KORVA_DB_TOOL) : home->filePath(QStringLiteral("bin/korva-db"));
        const installation::FirstStart start = installation::createOnFirstStart(tool);
        QCOMPARE(start.outcome, installation::FirstStart::Outcome::Failed);
        const QString database = QDir::toNativeSeparators(folder + QStringLiteral("/KORVA.GDB"));
        QVERIFY2(start.message.startsWith(QStringLiteral("Não foi possível criar o banco de dados do primeiro início em %1: ").arg(database)),
                 qPrintable(start.message));
        QVERIFY2(start.message.contains(why), qPrintable(start.message));
        QVERIFY2(start.message.contains(QStringLiteral("korva-db create")), qPrintable(start.message));
        QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/KORVA.GDB")));
    }
};

QTEST_GUILESS_MAIN(TestInstallation)
#include "tst_installation.moc"
