// A state office's database on a Firebird server: korva-db creates it there, a seat
// connects with the credentials of the environment or of korva.conf (refused while others
// may read it), and a refused password is said without being shown.
#include "data/Installation.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <sys/stat.h>

namespace {

const QString wrong = QStringLiteral("Errada#4711");

struct Run {
    int code = -1;
    QString out, err;
};

Run korvaDb(const QStringList& args, const QString& user, const QString& password)
{
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("KORVA_USER"), user);
    env.insert(QStringLiteral("KORVA_PASSWORD"), password);
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVA_DB_TOOL), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

int states(const QString& database)
{
    db::Connection c;
    installation::configure(c, database);
    c.open();
    return db::Statement(c, {QStringLiteral("select count(*) from TB_UNIDADE_FEDERACAO")}).scalar().toInt();
}

}  // namespace

class TestServidor : public QObject {
    Q_OBJECT

    const support::TestServer* server = nullptr;
    QString database;  // a fresh one on the server

private slots:
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        server = support::TestDatabase::server();
        QVERIFY(server);
        database = qEnvironmentVariable("KORVA_DATABASE");
    }

    void korvaDbCreatesTheDatabaseOnTheServer()
    {
        QTemporaryDir folder;
        const QString novo = server->address + QLatin1Char(':') + folder.filePath(QStringLiteral("ESTADO.FDB"));
        const Run first = korvaDb({QStringLiteral("create"), novo}, server->user, server->password);
        QVERIFY2(first.code == 0, qPrintable(first.err));
        QVERIFY2(first.out.startsWith(QStringLiteral("Banco de dados criado em %1 ").arg(novo)), qPrintable(first.out));
        QCOMPARE(states(novo), 27);

        // Never over one that is there.
        const Run again = korvaDb({QStringLiteral("create"), novo}, server->user, server->password);
        QCOMPARE(again.code, 1);
        QCOMPARE(again.err, QStringLiteral("korva-db: O arquivo %1 já existe; nada foi alterado.\n").arg(novo));
        QCOMPARE(states(novo), 27);
    }

    void credentialsFromTheEnvironmentOrTheFile_data()
    {
        QTest::addColumn<bool>("inTheFile");
        QTest::addColumn<int>("mode");
        QTest::addColumn<bool>("used");
        QTest::newRow("environment") << false << 0 << true;
        QTest::newRow("file 0600") << true << 0600 << true;
        QTest::newRow("file the group reads") << true << 0640 << false;
        QTest::newRow("file others read") << true << 0604 << false;
    }

    void credentialsFromTheEnvironmentOrTheFile()
    {
        QFETCH(bool, inTheFile);
        QFETCH(int, mode);
        QFETCH(bool, used);
        if (inTheFile) {
            QFile conf(installation::configFile());
            QVERIFY(conf.open(QIODevice::WriteOnly));
            conf.write(QStringLiteral("KORVA_DATABASE=%1\nKORVA_USER=%2\nKORVA_PASSWORD=%3\n")
                           .arg(database, server->user, server->password)
                           .toUtf8());
            conf.close();
            QCOMPARE(::chmod(QFile::encodeName(conf.fileName()).constData(), mode_t(mode)), 0);
            for (const char* v : {"KORVA_DATABASE", "KORVA_USER", "KORVA_PASSWORD"})
                qunsetenv(v);
        }
        db::Connection c;
        installation::configure(c);
        try {
            c.open();
            QVERIFY(used);
            QCOMPARE(c.databaseName(), database);
            QCOMPARE(db::Statement(c, {QStringLiteral("select current_user from rdb$database")}).scalar().toString(), server->user);
        } catch (const db::DatabaseError& e) {
            QVERIFY2(!used, qPrintable(e.message()));
            QVERIFY2(e.message().contains(QStringLiteral("não foi usado: outros usuários podem lê-lo")), qPrintable(e.message()));
            QVERIFY(!e.message().contains(server->password));
        }
    }

    void aWrongPasswordIsRefusedWithoutShowingIt()
    {
        qputenv("KORVA_PASSWORD", wrong.toUtf8());
        db::Connection c;
        installation::configure(c);
        try {
            c.open();
            QFAIL("the server took a wrong password");
        } catch (const db::LoginError& e) {
            QCOMPARE(e.message().section(QLatin1Char('\n'), 0, 0),
                     QStringLiteral("O banco de dados \"%1\" recusou o usuário \"%2\" ou a senha (informados em KORVA_USER e "
                                    "KORVA_PASSWORD). Confira-os e tente de novo.")
                         .arg(database, server->user));
            QVERIFY(!e.message().contains(wrong));
        }

        // Nor does the database tool show it.
        QTemporaryDir folder;
        const Run create = korvaDb({QStringLiteral("create"), server->address + QLatin1Char(':') + folder.filePath(QStringLiteral("X.FDB"))},
                                   server->user, wrong);
        const Run import = korvaDb({QStringLiteral("import"), QStringLiteral("--database"), database, QStringLiteral("nada.txt")},
                                   server->user, wrong);
        QCOMPARE(create.code, 1);
        QCOMPARE(import.code, 2);
        for (const Run& r : {create, import}) {
            QVERIFY2(r.err.contains(QStringLiteral("recusou o usuário \"%1\" ou a senha").arg(server->user)), qPrintable(r.err));
            QVERIFY2(!(r.out + r.err).contains(wrong), qPrintable(r.err));
        }
    }

    // The README's recipe: a clerks' user made with isql-fb in UTF8, whose password has
    // accents, logs in.
    void aPasswordWithAccentsLogsIn()
    {
        const QString senha = QStringLiteral("senha dos escriturários");
        QProcess isql;
        isql.start(QStringLiteral("isql-fb"), {QStringLiteral("-q"), QStringLiteral("-ch"), QStringLiteral("UTF8"),
                                               QStringLiteral("-user"), server->user, QStringLiteral("-password"),
                                               server->password, database});
        QVERIFY(isql.waitForStarted());
        isql.write(QStringLiteral("create or alter user ESCRITORIO password '%1';\ncommit;\n").arg(senha).toUtf8());
        isql.closeWriteChannel();
        QVERIFY(isql.waitForFinished(60000));
        QVERIFY2(isql.exitCode() == 0, isql.readAllStandardError().constData());
        qputenv("KORVA_USER", "ESCRITORIO");
        qputenv("KORVA_PASSWORD", senha.toUtf8());
        db::Connection c;
        installation::configure(c);
        c.open();
        QCOMPARE(db::Statement(c, {QStringLiteral("select current_user from rdb$database")}).scalar().toString().trimmed(),
                 QStringLiteral("ESCRITORIO"));
    }
};

QTEST_GUILESS_MAIN(TestServidor)
#include "tst_servidor.moc"
