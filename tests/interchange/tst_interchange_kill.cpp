// `korva-db import` killed with SIGKILL at random moments of a large import: every month
// is left as it was or fully replaced, and the engine's full validation finds nothing.
#include "Gerador.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

namespace {

// Each month's rows, all from one version and as many as that version writes.
QString inconsistencias(db::Connection& c)
{
    QStringList erros;
    db::Statement det(c, {QStringLiteral("select CO_CIDADE, NU_MES_COMPET, count(*), min(VL_TOTAL), max(VL_TOTAL) "
                                         "from TB_EXECUCAO_FISICA_MUNICIPIO group by 1, 2")});
    for (const QVariantList& r : det.selectAll()) {
        const int mes = r[1].toString().toInt();
        const int versao = (qRound(r[3].toDouble()) - mes) / 1000;
        const int esperado = 3 * (1 + versao % 3);
        if (r[3] != r[4] || r[2].toInt() != esperado)
            erros << QStringLiteral("medicamentos %1/%2: %3 linhas de %4 a %5")
                         .arg(r[0].toString(), r[1].toString(), r[2].toString(), r[3].toString(), r[4].toString());
    }
    db::Statement doc(c, {QStringLiteral("select CO_CIDADE, NU_MES_COMPET, count(*), min(VL_DOC), max(VL_DOC) "
                                         "from TB_FONTE_COMPROVACAO_MUNICIPIO group by 1, 2")});
    for (const QVariantList& r : doc.selectAll()) {
        const int mes = r[1].toString().toInt();
        const int versao = (qRound(r[3].toDouble()) - mes) / 1000;
        if (r[3] != r[4] || r[2].toInt() != 2 * (1 + versao % 3))
            erros << QStringLiteral("documentos %1/%2: %3 linhas").arg(r[0].toString(), r[1].toString(), r[2].toString());
    }
    db::Statement mov(c, {QStringLiteral("select count(*) from TB_MOVIMENTO_MUNICIPIO group by CO_CIDADE, NU_MES_COMPET having count(*) > 1")});
    if (!mov.selectAll().isEmpty())
        erros << QStringLiteral("cabeçalhos repetidos");
    return erros.join(QLatin1Char('\n'));
}

}  // namespace

class TestInterchangeKill : public QObject {
    Q_OBJECT

private slots:
    void killedImportsLeaveWholeMonths()
    {
        const QString banco = support::TestDatabase::fresh(QStringLiteral("empty"));
        QTemporaryDir pasta;
        const auto importa = [&](const QStringList& arquivos) {
            auto p = std::make_unique<QProcess>();
            p->setProgram(QStringLiteral(KORVA_DB_TOOL));
            // The files were just written: --recentes.
            p->setArguments(QStringList{QStringLiteral("import"), QStringLiteral("--recentes"), QStringLiteral("--database"), banco} +
                            arquivos);
            p->setProcessChannelMode(QProcess::MergedChannels);
            p->start();
            return p;
        };
        // Version 0 loaded whole: how long a whole import takes.
        gerador::Ano ano;
        ano.municipios = 60;
        const QStringList zero = gerador::escreve(pasta.path(), ano);
        QElapsedTimer relogio;
        relogio.start();
        auto p = importa(zero);
        QVERIFY(p->waitForFinished(300000));
        QCOMPARE(p->exitCode(), 0);
        const qint64 duracao = relogio.elapsed();

        QRandomGenerator aleatorio(20031);
        int mortos = 0;
        // Twenty kills, each at a random moment of an import; an import that ends before
        // its moment (the machine may be faster or slower than during the first run) does
        // not count, and another takes its place.
        for (int vez = 1; mortos < 20 && vez <= 80; ++vez) {
            ano.versao = vez;
            const QStringList arquivos = gerador::escreve(pasta.path(), ano);
            auto q = importa(arquivos);
            QVERIFY(q->waitForStarted());
            const int momento = int(aleatorio.bounded(qint64(50), std::max<qint64>(100, duracao * 9 / 10)));
            if (!q->waitForFinished(momento) && q->state() != QProcess::NotRunning) {
                q->kill();
                ++mortos;
                QVERIFY(q->waitForFinished(60000) || q->state() == QProcess::NotRunning);
            }
            if (q->exitStatus() == QProcess::NormalExit && q->exitCode() != 0)
                QFAIL(qPrintable(QStringLiteral("vez %1: korva-db saiu com %2: %3").arg(vez).arg(q->exitCode())
                                     .arg(QString::fromLocal8Bit(q->readAll()))));
            db::Connection c;
            support::TestDatabase::configure(c);
            c.open();
            QString erros;
            try {
                erros = inconsistencias(c);
            } catch (const std::exception& e) {
                erros = QString::fromLocal8Bit(e.what());
            }
            QVERIFY2(erros.isEmpty(), qPrintable(QStringLiteral("depois da vez %1 (%2 ms):\n%3").arg(vez).arg(momento).arg(erros)));
        }
        QVERIFY2(mortos == 20, qPrintable(QStringLiteral("%1 of 20 imports killed").arg(mortos)));

        // The engine's full validation of a copy finds no error. A killed engine leaves
        // pages it had allocated and not yet linked: validation counts those as warnings.
        const QString copia = banco + QStringLiteral(".copia");
        QVERIFY(QFile::copy(banco, copia));
        const auto gfix = [&copia](const QStringList& opcoes) {
            QProcess p;
            p.setProcessChannelMode(QProcess::MergedChannels);
            p.start(QStringLiteral("gfix"), opcoes + QStringList{QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                                                 QStringLiteral("-password"), QStringLiteral("cobaltrim"), copia});
            if (!p.waitForFinished(300000))
                return QStringLiteral("gfix não terminou");
            return QString::fromLocal8Bit(p.readAll()).trimmed() + (p.exitCode() ? QStringLiteral("\nsaída %1").arg(p.exitCode()) : QString());
        };
        const QString validacao = gfix({QStringLiteral("-v"), QStringLiteral("-full")});
        for (const QString& linha : validacao.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
            const QString l = linha.trimmed();
            const bool aviso = l == QLatin1String("Summary of validation errors") ||
                               (l.startsWith(QLatin1String("Number of")) && l.section(QLatin1Char(':'), 0, 0).contains(QLatin1String("warnings")));
            QVERIFY2(aviso, qPrintable(validacao));
        }
    }
};

QTEST_GUILESS_MAIN(TestInterchangeKill)
#include "tst_interchange_kill.moc"
