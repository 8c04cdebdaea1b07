// Backups through the engine's service manager, embedded and (as tst_copia_servidor) on a
// server: a round trip gives back every row; a backup killed at any moment leaves the
// earlier copies whole and nothing under its own name; a truncated, foreign or refused
// restore changes nothing; the end of a run keeps the newest copies.
#include "backup/rules/Copia.h"
#include "data/Installation.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "fbapi/FbClient.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QTest>

namespace {

struct Run {
    int code = -1;
    QString out, err;
};

Run korvaDb(const QStringList& args)
{
    QProcess p;
    p.start(QStringLiteral(KORVA_DB_TOOL), args);
    if (!p.waitForFinished(120000))
        return {};
    return {p.exitCode(), QString::fromLocal8Bit(p.readAllStandardOutput()), QString::fromLocal8Bit(p.readAllStandardError())};
}

// The database at a file path as the installation names it: on the test server when the
// test runs against one.
QString nome(const QString& caminho)
{
    if (const support::TestServer* s = support::TestDatabase::server())
        return s->address + QLatin1Char(':') + caminho;
    return caminho;
}

// Every user table's rows, each row as text, sorted; and every generator's value.
QMap<QString, QStringList> conteudo(const QString& banco)
{
    db::Connection c;
    installation::configure(c, banco);
    c.open();
    QMap<QString, QStringList> tudo;
    QStringList tabelas;
    {
        QSqlQuery q(c.database());
        q.exec(QStringLiteral("select trim(RDB$RELATION_NAME) from RDB$RELATIONS where coalesce(RDB$SYSTEM_FLAG, 0) = 0 "
                              "and RDB$VIEW_BLR is null"));
        while (q.next())
            tabelas << q.value(0).toString();
        q.exec(QStringLiteral("select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS where coalesce(RDB$SYSTEM_FLAG, 0) = 0"));
        QStringList geradores;
        while (q.next())
            geradores << q.value(0).toString();
        for (const QString& g : geradores) {
            QSqlQuery v(c.database());
            v.exec(QStringLiteral("select gen_id(%1, 0) from RDB$DATABASE").arg(g));
            v.next();
            tudo[QStringLiteral("gerador ") + g] << v.value(0).toString();
        }
    }
    for (const QString& t : tabelas) {
        QSqlQuery q(c.database());
        q.setForwardOnly(true);
        q.exec(QStringLiteral("select * from %1").arg(t));
        QStringList linhas;
        while (q.next()) {
            QStringList valores;
            for (int i = 0; i < q.record().count(); ++i)
                valores << (q.isNull(i) ? QStringLiteral("<null>") : q.value(i).toString());
            linhas << valores.join(QLatin1Char('|'));
        }
        linhas.sort();
        tudo[t] = linhas;
    }
    c.close();
    return tudo;
}

QByteArray resumo(const QString& arquivo)
{
    QFile f(arquivo);
    f.open(QIODevice::ReadOnly);
    return QCryptographicHash::hash(f.readAll(), QCryptographicHash::Sha256);
}

QStringList parciais(const QString& pasta)
{
    return QDir(pasta).entryList({QStringLiteral(".*.parcial")}, QDir::Files | QDir::Hidden);
}

}  // namespace

class TestCopia : public QObject {
    Q_OBJECT

    QString banco;  // the fresh database's file
    QString pasta;  // its backups' folder

private slots:
    void init()
    {
        qunsetenv("KORVA_COPIAS");
        banco = support::TestDatabase::fresh(QStringLiteral("demo"));
        pasta = installation::copiesFolder();
    }

    // The demonstration's months, medication lines and documents, the reference tables
    // and the generators come back as they were.
    void aRoundTripGivesBackEveryRow()
    {
        const QMap<QString, QStringList> antes = conteudo(installation::databasePath());
        QVERIFY(antes.value(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO")).size() > 0);
        QVERIFY(antes.value(QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO")).size() > 0);
        QVERIFY(antes.value(QStringLiteral("TB_MOVIMENTO_MUNICIPIO")).size() > 0);

        const auto feita = copia::fazCopia(copia::arquivoPadrao());
        QVERIFY2(feita, qPrintable(feita ? QString() : feita.falha().texto()));
        QCOMPARE(QFileInfo(feita.valor().arquivo).absolutePath(), QFileInfo(pasta).absoluteFilePath());
        QVERIFY(QFileInfo(feita.valor().arquivo).fileName().startsWith(QLatin1String("KORVA-")));
        QCOMPARE(copia::copias().size(), 1);
        QCOMPARE(copia::copias().first().tamanho, QFileInfo(feita.valor().arquivo).size());

        const QString novo = QFileInfo(banco).absoluteDir().filePath(QStringLiteral("RESTAURADO.GDB"));
        const rules::Falhou f = copia::restaura(feita.valor().arquivo, nome(novo), false);
        QVERIFY2(!f, qPrintable(f ? f->texto() : QString()));
        const QMap<QString, QStringList> depois = conteudo(nome(novo));
        QCOMPARE(depois.keys(), antes.keys());
        for (const QString& t : antes.keys())
            QVERIFY2(depois.value(t) == antes.value(t), qPrintable(t));
        QCOMPARE(QDir(QFileInfo(novo).absolutePath()).entryList({QStringLiteral("*.restaurando")}, QDir::Files).size(), 0);
    }

    // Killed before, while and after it writes: the earlier copies are whole, and a file
    // under the new copy's name is only ever a complete one. The next backup clears the
    // partial files the killed ones left.
    void aKilledBackupLeavesTheEarlierCopiesWhole()
    {
        const auto primeira = copia::fazCopia(copia::arquivoPadrao(QDateTime(QDate(2020, 1, 1), QTime(8, 0))));
        QVERIFY(primeira);
        const qint64 completo = primeira.valor().tamanho;
        const QByteArray soma = resumo(primeira.valor().arquivo);

        // How long one takes here, to spread the kills over it.
        QElapsedTimer t;
        t.start();
        QCOMPARE(korvaDb({QStringLiteral("backup"), pasta + QStringLiteral("/KORVA-20200101-0900.fbk")}).code, 0);
        const int duracao = int(t.elapsed()) + 50;

        int mortas = 0;
        for (int i = 0; i < 12; ++i) {
            const QString alvo = pasta + QStringLiteral("/KORVA-20210101-%1.fbk").arg(1000 + i);
            QProcess p;
            p.start(QStringLiteral(KORVA_DB_TOOL), {QStringLiteral("backup"), alvo});
            QVERIFY(p.waitForStarted());
            QTest::qWait(QRandomGenerator::global()->bounded(duracao));
            if (p.state() != QProcess::NotRunning) {
                ++mortas;
                p.kill();
                QVERIFY(p.waitForFinished(60000));
            }
            QVERIFY2(!QFileInfo::exists(alvo) || QFileInfo(alvo).size() == completo, qPrintable(alvo));
            QCOMPARE(resumo(primeira.valor().arquivo), soma);
        }
        QVERIFY(mortas > 0);
        qInfo("%d de 12 cópias mortas antes de terminar, %d arquivos parciais deixados", mortas, int(parciais(pasta).size()));
        QVERIFY(copia::fazCopia(pasta + QStringLiteral("/KORVA-20220101-0000.fbk")));
        QCOMPARE(parciais(pasta), QStringList());
        QCOMPARE(resumo(primeira.valor().arquivo), soma);
    }

    // A copy the caller stops is not left behind, and an existing file of that name
    // stays as it was.
    void aStoppedBackupLeavesNothing()
    {
        const QString alvo = pasta + QStringLiteral("/KORVA-20200101-0800.fbk");
        QVERIFY(copia::fazCopia(alvo));
        const QByteArray soma = resumo(alvo);
        const auto r = copia::fazCopia(alvo, [](qint64) { return false; });
        QVERIFY(!r);
        QCOMPARE(r.falha().mensagem, QStringLiteral("A cópia de segurança foi interrompida; nenhum arquivo foi gravado."));
        QCOMPARE(resumo(alvo), soma);
        QCOMPARE(parciais(pasta), QStringList());
    }

    // Each refusal names its reason and changes nothing: not the database, and no file
    // is left beside it.
    void aRestoreThatIsRefusedChangesNothing_data()
    {
        QTest::addColumn<QString>("caso");
        QTest::addColumn<bool>("substituir");
        QTest::addColumn<QString>("causa");
        QTest::newRow("sem --substituir") << "existente" << false << "já existe; para substituí-lo pela cópia, use --substituir.";
        QTest::newRow("truncada") << "truncada" << true << "não é uma cópia de segurança completa do KORVA";
        QTest::newRow("de outro tipo") << "texto" << true << "não é uma cópia de segurança completa do KORVA";
        QTest::newRow("de outro banco") << "outro banco" << true << "é a cópia de outro banco de dados, não do KORVA.";
        QTest::newRow("aberto") << "aberto" << true << "está aberto por outro programa";
    }
    void aRestoreThatIsRefusedChangesNothing()
    {
        QFETCH(QString, caso);
        QFETCH(bool, substituir);
        QFETCH(QString, causa);
        const auto feita = copia::fazCopia(copia::arquivoPadrao());
        QVERIFY(feita);
        QString arquivo = feita.valor().arquivo;
        const QDir aqui = QFileInfo(banco).absoluteDir();
        if (caso == QLatin1String("truncada")) {
            QFile inteiro(arquivo);
            QVERIFY(inteiro.open(QIODevice::ReadOnly));
            arquivo = aqui.filePath(QStringLiteral("truncada.fbk"));
            QFile metade(arquivo);
            QVERIFY(metade.open(QIODevice::WriteOnly));
            metade.write(inteiro.read(inteiro.size() * 2 / 3));
        } else if (caso == QLatin1String("texto")) {
            arquivo = aqui.filePath(QStringLiteral("texto.fbk"));
            QFile texto(arquivo);
            QVERIFY(texto.open(QIODevice::WriteOnly));
            texto.write(QByteArray("NU_ANO_COMPET\nCO_UF\r\n2003\nMG\r\n").repeated(500));
        } else if (caso == QLatin1String("outro banco")) {
            const QString outro = aqui.filePath(QStringLiteral("OUTRO.GDB"));
            const installation::DatabaseSettings s = installation::databaseSettings(nome(outro));
            {
                db::fb::Database d;
                d.create(s.database, s.user, s.password);
                db::fb::runScript(d, QStringLiteral("create table CLIENTES (ID integer); commit; insert into CLIENTES values (1);"));
            }
            arquivo = aqui.filePath(QStringLiteral("outro.fbk"));
            QVERIFY(copia::fazCopia(arquivo, {}, nome(outro)));
        }
        const QMap<QString, QStringList> antes = conteudo(installation::databasePath());
        const QByteArray soma = resumo(banco);

        db::Connection aberta;
        if (caso == QLatin1String("aberto")) {
            support::TestDatabase::configure(aberta);
            aberta.open();
        }
        const rules::Falhou f = copia::restaura(arquivo, installation::databasePath(), substituir);
        aberta.close();
        QVERIFY(f);
        QCOMPARE(f->mensagem, QStringLiteral("A cópia de segurança não foi restaurada; nada foi alterado."));
        QVERIFY2(f->causa.contains(causa), qPrintable(f->causa));
        // An attachment writes to the file by itself: then the rows tell, and that the
        // database opens again (it was not left shut down).
        if (caso != QLatin1String("aberto"))
            QCOMPARE(resumo(banco), soma);
        QCOMPARE(conteudo(installation::databasePath()), antes);
        QCOMPARE(aqui.entryList({QStringLiteral("*.restaurando")}, QDir::Files), QStringList());
    }

    // With --substituir, a database nobody has open is replaced by the copy's.
    void aRestoreReplacesOnlyWhenAsked()
    {
        const auto feita = copia::fazCopia(copia::arquivoPadrao());
        QVERIFY(feita);
        const QMap<QString, QStringList> antes = conteudo(installation::databasePath());
        {
            db::Connection c;
            support::TestDatabase::configure(c);
            db::Statement(c, {QStringLiteral("delete from TB_FONTE_COMPROVACAO_MUNICIPIO")}).exec();
            c.close();
        }
        QVERIFY(conteudo(installation::databasePath()) != antes);
        const Run r = korvaDb({QStringLiteral("restore"), QStringLiteral("--substituir"), feita.valor().arquivo});
        QVERIFY2(r.code == 0, qPrintable(r.err));
        QCOMPARE(conteudo(installation::databasePath()), antes);
    }

    // The command's exit status: 0 done, 1 refused, 2 wrong use.
    void theCommandsSayHowTheyEnded_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("codigo");
        QTest::newRow("backup") << QStringList{QStringLiteral("backup")} << 0;
        QTest::newRow("backup de dois arquivos") << QStringList{QStringLiteral("backup"), QStringLiteral("a"), QStringLiteral("b")} << 2;
        QTest::newRow("opção desconhecida") << QStringList{QStringLiteral("backup"), QStringLiteral("--rapido")} << 2;
        QTest::newRow("restore sem arquivo") << QStringList{QStringLiteral("restore")} << 2;
        QTest::newRow("restore sobre o banco") << QStringList{QStringLiteral("restore"), QStringLiteral("@copia")} << 1;
        QTest::newRow("restore de arquivo inexistente")
            << QStringList{QStringLiteral("restore"), QStringLiteral("/nao/existe.fbk"), QStringLiteral("@novo")} << 1;
        QTest::newRow("restore num banco novo") << QStringList{QStringLiteral("restore"), QStringLiteral("@copia"), QStringLiteral("@novo")} << 0;
    }
    void theCommandsSayHowTheyEnded()
    {
        QFETCH(QStringList, args);
        QFETCH(int, codigo);
        const auto feita = copia::fazCopia(copia::arquivoPadrao(QDateTime(QDate(2020, 1, 1), QTime(8, 0))));
        QVERIFY(feita);
        for (QString& a : args) {
            if (a == QLatin1String("@copia"))
                a = feita.valor().arquivo;
            else if (a == QLatin1String("@novo"))
                a = nome(QFileInfo(banco).absoluteDir().filePath(QStringLiteral("NOVO.GDB")));
        }
        const Run r = korvaDb(args);
        QVERIFY2(r.code == codigo, qPrintable(r.out + r.err));
        if (codigo == 0 && args.first() == QLatin1String("backup"))
            QCOMPARE(copia::copias().size(), 2);
    }

    // The end of a run copies when the newest copy is a day old, and keeps the newest
    // seven (KORVA_COPIAS others; 0 makes no copy at all).
    void theEndOfARunKeepsTheNewestCopies_data()
    {
        QTest::addColumn<QString>("copias");
        QTest::addColumn<int>("horasDaUltima");
        QTest::addColumn<bool>("feita");
        QTest::addColumn<int>("ficam");
        QTest::newRow("sete, a última de ontem") << QString() << 25 << true << 7;
        QTest::newRow("a última de hoje") << QString() << 23 << false << 9;
        QTest::newRow("KORVA_COPIAS=3") << QStringLiteral("3") << 25 << true << 3;
        QTest::newRow("KORVA_COPIAS=0") << QStringLiteral("0") << 25 << false << 9;
    }
    void theEndOfARunKeepsTheNewestCopies()
    {
        QFETCH(QString, copias);
        QFETCH(int, horasDaUltima);
        QFETCH(bool, feita);
        QFETCH(int, ficam);
        if (!copias.isEmpty())
            qputenv("KORVA_COPIAS", copias.toLatin1());
        QVERIFY(QDir().mkpath(pasta));
        const QDateTime agora = QDateTime::currentDateTime();
        QStringList antigas;
        for (int i = 0; i < 9; ++i) {
            const QDateTime quando = agora.addSecs(-3600 * (horasDaUltima + 24 * i));
            const QString f = QDir(pasta).filePath(copia::nomeArquivo(quando));
            QFile arquivo(f);
            QVERIFY(arquivo.open(QIODevice::WriteOnly));
            arquivo.write("copia");
            arquivo.flush();
            arquivo.setFileTime(quando, QFileDevice::FileModificationTime);
            antigas << f;
        }
        // Not a copy: never counted, never deleted.
        QFile outro(QDir(pasta).filePath(QStringLiteral("KORVA-antiga.fbk")));
        QVERIFY(outro.open(QIODevice::WriteOnly));
        outro.close();

        const copia::Automatica a = copia::copiaAutomatica();
        qunsetenv("KORVA_COPIAS");
        QVERIFY2(!a.falha, qPrintable(a.falha ? a.falha->texto() : QString()));
        QCOMPARE(a.feita, feita);
        const QList<copia::Copia> restam = copia::copias();
        QCOMPARE(restam.size(), ficam);
        if (feita) {
            QCOMPARE(restam.first().arquivo, a.copia.arquivo);
            QCOMPARE(a.apagadas, antigas.mid(ficam - 1));
        }
        QVERIFY(outro.exists());
    }
};

QTEST_GUILESS_MAIN(TestCopia)
#include "tst_copia.moc"
