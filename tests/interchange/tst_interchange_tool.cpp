// `korva-db import` faced with what a hostile folder holds and with signals: special files
// are refused by name without the import waiting on them, SIGTERM stops it between months
// with a summary that is the database, and the exit status tells an ignored file.
#include "Gerador.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <csignal>
#include <sys/stat.h>

namespace {

struct Fim {
    int codigo = -1;
    QString saida;
    qint64 ms = 0;
};

// The files of these tests were just written: --recentes, unless told otherwise.
std::unique_ptr<QProcess> inicia(const QString& banco, const QStringList& arquivos, bool recentes = true)
{
    auto p = std::make_unique<QProcess>();
    p->setProgram(QStringLiteral(KORVA_DB_TOOL));
    p->setArguments(QStringList{QStringLiteral("import"), QStringLiteral("--database"), banco} +
                    (recentes ? QStringList{QStringLiteral("--recentes")} : QStringList()) + arquivos);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start();
    return p;
}

// Bounded: a tool that hangs fails the test instead of stalling it.
Fim espera(QProcess& p, int limite = 60000)
{
    QElapsedTimer relogio;
    relogio.start();
    Fim f;
    if (!p.waitForFinished(limite)) {
        p.kill();
        p.waitForFinished(10000);
        f.saida = QStringLiteral("não terminou em %1 ms").arg(limite);
        return f;
    }
    f.codigo = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    f.saida = QString::fromLocal8Bit(p.readAll());
    f.ms = relogio.elapsed();
    return f;
}

Fim importa(const QString& banco, const QStringList& arquivos, int limite = 60000, bool recentes = true)
{
    auto p = inicia(banco, arquivos, recentes);
    return espera(*p, limite);
}

Fim ferramenta(const QStringList& argumentos)
{
    QProcess p;
    p.setProgram(QStringLiteral(KORVA_DB_TOOL));
    p.setArguments(argumentos);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start();
    return espera(p);
}

void grava(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

const QByteArray saldo = "NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\r\n2003\nMG\n3100203\n1\n1\r\n";

}  // namespace

class TestInterchangeTool : public QObject {
    Q_OBJECT

    QString banco;

private slots:
    void init() { banco = support::TestDatabase::fresh(QStringLiteral("empty")); }

    void specialFilesAreRefusedWithoutWaiting()
    {
        QTemporaryDir pasta;
        const QString fifo = pasta.filePath(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        const QString zero = pasta.filePath(QStringLiteral("MG2003313820TB_EXECUCAO_FISICA.TXT"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        const QString bom = pasta.filePath(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT"));
        grava(bom, saldo);
        const Fim f = importa(banco, {fifo, zero, bom}, 20000);
        QVERIFY2(f.codigo == 1, qPrintable(f.saida));
        QVERIFY2(f.saida.contains(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT: recusado, nada carregado; não é um arquivo "
                                                 "comum, é um FIFO")),
                 qPrintable(f.saida));
        QVERIFY2(f.saida.contains(QStringLiteral("MG2003313820TB_EXECUCAO_FISICA.TXT: recusado, nada carregado; não é um "
                                                 "arquivo comum, é um dispositivo")),
                 qPrintable(f.saida));
        QVERIFY2(f.saida.contains(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT: 1 saldo inicial e 1 linha carregados.")),
                 qPrintable(f.saida));
    }

    void sigtermStopsBetweenMonthsAndTheSummaryIsTheDatabase()
    {
        QTemporaryDir pasta;
        gerador::Ano ano;
        // Enough months that a stop can land among them: the import is quick.
        ano.municipios = 300;
        ano.versao = 1;
        const int todos = ano.municipios * 12;
        const QStringList arquivos = gerador::escreve(pasta.path(), ano);
        // How long a whole import takes here, into a database of its own.
        const QString medida = support::TestDatabase::fresh(QStringLiteral("empty"));
        const Fim inteira = importa(medida, arquivos, 300000);
        QVERIFY2(inteira.codigo == 0, qPrintable(inteira.saida));

        // Stopped at half of that, then earlier when the machine was quicker (the import
        // ended first) and later when the signal came before the first month.
        const auto carregados = [] {
            db::Connection c;
            support::TestDatabase::configure(c);
            c.open();
            return db::Statement(c, {QStringLiteral("select count(*) from TB_MOVIMENTO_MUNICIPIO")}).scalar().toInt();
        };
        Fim f;
        int meses = 0;
        for (const double fracao : {0.5, 0.3, 0.1, 0.7, 0.85}) {
            banco = support::TestDatabase::fresh(QStringLiteral("empty"));
            auto p = inicia(banco, arquivos);
            QVERIFY(p->waitForStarted());
            if (p->waitForFinished(int(std::max<double>(50, inteira.ms * fracao))))
                continue;
            ::kill(pid_t(p->processId()), SIGTERM);
            f = espera(*p);
            meses = carregados();
            if (f.codigo != 0 && meses > 0 && meses < todos)
                break;
        }
        QVERIFY2(f.codigo == 128 + SIGTERM, qPrintable(QStringLiteral("saída %1: %2").arg(f.codigo).arg(f.saida)));
        QVERIFY2(f.saida.startsWith(QStringLiteral("Importação interrompida ")), qPrintable(f.saida));
        QVERIFY(f.saida.contains(QStringLiteral("korva-db: importação parada por SIGTERM")));
        QVERIFY(!f.saida.contains(QStringLiteral("desfeita")));
        // The months the summary says were loaded are the database's, file by file.
        const QRegularExpression linha(QStringLiteral("^MG2003(\\d{6})TB_MOVIMENTO\\.TXT: (\\d+) (?:mês|meses) "),
                                       QRegularExpression::MultilineOption);
        int ditos = 0;
        for (auto it = linha.globalMatch(f.saida); it.hasNext();)
            ditos += it.next().captured(2).toInt();
        db::Connection c;
        support::TestDatabase::configure(c);
        c.open();
        qInfo("import inteira em %lld ms; parada por SIGTERM com %d de %d meses", inteira.ms, meses, todos);
        QCOMPARE(ditos, meses);
        QVERIFY2(meses > 0 && meses < todos, qPrintable(QString::number(meses)));
        // Every month loaded is whole: its medications with it.
        const int semLinhas = db::Statement(c, {QStringLiteral("select count(*) from TB_MOVIMENTO_MUNICIPIO m where not exists "
                                                               "(select 1 from TB_EXECUCAO_FISICA_MUNICIPIO e where "
                                                               "e.CO_CIDADE = m.CO_CIDADE and e.NU_MES_COMPET = m.NU_MES_COMPET)")})
                                  .scalar()
                                  .toInt();
        QCOMPARE(semLinhas, 0);
    }

    void aFileJustWrittenIsRefusedUnlessToldOtherwise()
    {
        QTemporaryDir pasta;
        const QString arquivo = pasta.filePath(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT"));
        grava(arquivo, saldo);
        Fim f = importa(banco, {arquivo}, 60000, false);
        QVERIFY2(f.codigo == 1, qPrintable(f.saida));
        QVERIFY2(f.saida.contains(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT: recusado, nada carregado; o arquivo foi "
                                                 "modificado há menos de 5 segundos")),
                 qPrintable(f.saida));
        f = importa(banco, {arquivo});
        QVERIFY2(f.codigo == 0, qPrintable(f.saida));
    }

    // An import that stopped without ending leaves its mark beside the database: verifica
    // says so, --corrige rebuilds the interchange tables' indices, and so does the next
    // import, before it loads, saying so.
    void verificaAndTheNextImportRebuildAfterAnInterruptedImport()
    {
        const QString marca = banco + QStringLiteral(".importando");
        const QStringList verifica{QStringLiteral("verifica"), QStringLiteral("--database"), banco};
        Fim f = ferramenta(verifica);
        QVERIFY2(f.codigo == 0 && f.saida.contains(QStringLiteral("sem erros na validação")), qPrintable(f.saida));
        QVERIFY(!QFile::exists(marca));

        grava(marca, "");
        f = ferramenta(verifica);
        QVERIFY2(f.codigo == 1 && f.saida.contains(QStringLiteral("parou sem terminar")) &&
                     f.saida.contains(QStringLiteral("korva-db verifica --corrige")),
                 qPrintable(f.saida));
        QVERIFY(QFile::exists(marca));
        f = ferramenta(verifica + QStringList{QStringLiteral("--corrige")});
        QVERIFY2(f.codigo == 0, qPrintable(f.saida));
        for (const char* indice : {"PK_TB_MOVIMENTO_MUNICIPIO", "PK_EXECUCAO_FISICA_MUNICIPIO", "IX_EXECUCAO_FISICA_MEDICAMENTO",
                                   "PK_FONTE_COMPROVACAO_MUNICIPIO", "IX_FONTE_COMPROVACAO_FAVORECIDO", "PK_TB_SALDO_INICIAL_MUNICIPIO"})
            QVERIFY2(f.saida.contains(QLatin1String(indice)), qPrintable(f.saida));
        QVERIFY(!QFile::exists(marca));

        // The rebuilt keys still refuse a duplicate and still serve the import.
        QTemporaryDir pasta;
        const QString arquivo = pasta.filePath(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT"));
        grava(arquivo, saldo);
        grava(marca, "");
        f = importa(banco, {arquivo});
        QVERIFY2(f.codigo == 0 && f.saida.contains(QStringLiteral("reconstruindo os índices")), qPrintable(f.saida));
        QVERIFY(!QFile::exists(marca));
        f = importa(banco, {arquivo});
        QVERIFY2(f.codigo == 0 && !f.saida.contains(QStringLiteral("reconstruindo")), qPrintable(f.saida));
        db::Connection c;
        support::TestDatabase::configure(c);
        c.open();
        QCOMPARE(db::Statement(c, {QStringLiteral("select count(*) from TB_SALDO_INICIAL_MUNICIPIO")}).scalar().toInt(), 1);
        db::Statement duplicado(c, {QStringLiteral("insert into TB_SALDO_INICIAL_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE) "
                                                   "values ('2003', 'MG', 3100203)")});
        QVERIFY_THROWS_EXCEPTION(db::DatabaseError, duplicado.exec());
        c.close();

        // Wrong use, and a database that is not there.
        QCOMPARE(ferramenta({QStringLiteral("verifica"), QStringLiteral("--nada")}).codigo, 2);
        f = ferramenta({QStringLiteral("verifica"), QStringLiteral("--database"), pasta.filePath(QStringLiteral("NADA.GDB"))});
        QVERIFY2(f.codigo == 2 && f.saida.contains(QStringLiteral("a verificação não foi feita")), qPrintable(f.saida));
    }

    void anIgnoredFileMakesTheExitStatusOne()
    {
        QTemporaryDir pasta;
        // Letter case does not matter: a lower-case name loads.
        const QString minusculo = pasta.filePath(QStringLiteral("mg2003310020tb_saldo_inicial.txt"));
        grava(minusculo, saldo);
        Fim f = importa(banco, {minusculo});
        QVERIFY2(f.codigo == 0, qPrintable(f.saida));
        const QString anexo = pasta.filePath(QStringLiteral("MG2003310020TB_ANEXO.TXT"));
        grava(anexo, "x");
        f = importa(banco, {minusculo, anexo});
        QVERIFY2(f.codigo == 1, qPrintable(f.saida));
        QVERIFY(f.saida.contains(QStringLiteral("MG2003310020TB_ANEXO.TXT: ignorado")));
    }

    // On a terminal the import shows its progress on one line of the standard error; on
    // a pipe it writes the summary alone.
    void progressOnATerminalOnly()
    {
        QTemporaryDir pasta;
        gerador::Ano ano;
        ano.municipios = 3;
        const QStringList arquivos = gerador::escreve(pasta.path(), ano);
        Fim f = importa(banco, arquivos);
        QVERIFY2(f.codigo == 0, qPrintable(f.saida));
        QVERIFY2(f.saida.startsWith(QStringLiteral("Importação Concluída\n")), qPrintable(f.saida));

        // script(1) gives the tool a terminal.
        const auto aspas = [](const QString& t) { return QLatin1Char('\'') + t + QLatin1Char('\''); };
        QStringList comando{aspas(QStringLiteral(KORVA_DB_TOOL)), QStringLiteral("import"), QStringLiteral("--database"), aspas(banco),
                            QStringLiteral("--recentes")};
        for (const QString& a : arquivos)
            comando << aspas(a);
        QProcess p;
        p.start(QStringLiteral("script"), {QStringLiteral("-qefc"), comando.join(QLatin1Char(' ')), QStringLiteral("/dev/null")});
        f = espera(p);
        QVERIFY2(f.codigo == 0, qPrintable(f.saida));
        QVERIFY2(f.saida.contains(QStringLiteral("\rarquivos 1 de 12, 0 linhas, 0 linhas/s")), qPrintable(f.saida));
        QVERIFY2(f.saida.contains(QStringLiteral("Importação Concluída")), qPrintable(f.saida));
    }
};

QTEST_GUILESS_MAIN(TestInterchangeTool)
#include "tst_interchange_tool.moc"
