// `korva-db import` killed with SIGKILL at many moments of imports that commit every few
// rows, so that kills land before, between and right around commits. After every kill each
// month of every table, and each initial balance, is whole and is either what it was before
// that import or what the import brings, none missing, and the kill left the mark of an
// interrupted import. The import run again rebuilds the indices, says so and ends with the
// new version throughout, and the engine's full validation then finds no error.
#include "Gerador.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QProcessEnvironment>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

// A month of a municipality, or (month 0) its year's initial balance.
using Chave = QPair<int, int>;

QString nome(const Chave& k)
{
    return k.second ? QStringLiteral("município %1, mês %2").arg(k.first).arg(k.second)
                    : QStringLiteral("município %1, saldo inicial").arg(k.first);
}

// What the generator writes for a month of version v: its medication lines, then its
// documents, each "number|what|value" in line-number order.
QStringList esperadas(const gerador::Ano& ano, int v, int mes, bool documentos)
{
    const int fator = 1 + v % 3;
    const int n = (documentos ? ano.linhasDocumentos : ano.linhasExecucao) * fator;
    const QString valor = QString::number(v * 1000 + mes);
    QStringList l;
    for (int k = 0; k < n; ++k)
        l << QStringLiteral("%1|%2|%3").arg(k + 1).arg(documentos ? QStringLiteral("NF-%1").arg(k) : QString::number(k % 45 + 1), valor);
    return l;
}

QMap<Chave, QStringList> agrupa(db::Connection& c, const QString& sql)
{
    QMap<Chave, QStringList> m;
    for (const QVariantList& r : db::Statement(c, {sql}).selectAll()) {
        QStringList campos;
        for (int i = 2; i < r.size(); ++i)
            campos << (r[i].typeId() == QMetaType::Double ? QString::number(r[i].toDouble(), 'f', 0) : r[i].toString().trimmed());
        m[Chave(r[0].toInt(), r[1].toString().trimmed().toInt())] << campos.join(QLatin1Char('|'));
    }
    return m;
}

// The version of every month and initial balance of the generator's municipalities, each
// checked whole against that version's files in every table; what is missing, not whole,
// mixed across the tables or not the generator's goes to erros.
QMap<Chave, int> versoes(db::Connection& c, const gerador::Ano& ano, QStringList& erros)
{
    const auto cab = agrupa(c, QStringLiteral("select CO_CIDADE, NU_MES_COMPET, VL_SALDO_ANTERIOR from TB_MOVIMENTO_MUNICIPIO"));
    const auto med = agrupa(c, QStringLiteral("select CO_CIDADE, NU_MES_COMPET, CO_SEQ_MED, CO_SEQ_MEDICAMENTO, VL_TOTAL "
                                              "from TB_EXECUCAO_FISICA_MUNICIPIO order by CO_CIDADE, NU_MES_COMPET, CO_SEQ_MED"));
    const auto doc = agrupa(c, QStringLiteral("select CO_CIDADE, NU_MES_COMPET, CO_SEQ_DOC, NR_NUMERO_DOC, VL_DOC "
                                              "from TB_FONTE_COMPROVACAO_MUNICIPIO order by CO_CIDADE, NU_MES_COMPET, CO_SEQ_DOC"));
    // Month 0 for every initial balance.
    const auto sal = agrupa(c, QStringLiteral("select CO_CIDADE, 0, VL_SALDO_MUNICIPIO from TB_SALDO_INICIAL_MUNICIPIO"));
    QMap<Chave, int> v;
    for (int i = 0; i < ano.municipios; ++i) {
        const int cidade = gerador::cidade(i).codigo;
        for (int mes = 0; mes <= 12; ++mes) {
            const Chave k(cidade, mes);
            const QStringList cabecalho = mes ? cab.value(k) : sal.value(k);
            if (cabecalho.size() != 1) {
                erros << QStringLiteral("%1: %2 %3").arg(nome(k)).arg(cabecalho.size()).arg(mes ? QStringLiteral("cabeçalhos") : QStringLiteral("saldos"));
                continue;
            }
            const int versao = cabecalho.first().toInt();
            v.insert(k, versao);
            if (!mes)
                continue;
            if (med.value(k) != esperadas(ano, versao, mes, false))
                erros << QStringLiteral("%1: cabeçalho da versão %2, medicamentos %3").arg(nome(k)).arg(versao).arg(med.value(k).join(QLatin1Char(' ')));
            if (doc.value(k) != esperadas(ano, versao, mes, true))
                erros << QStringLiteral("%1: cabeçalho da versão %2, documentos %3").arg(nome(k)).arg(versao).arg(doc.value(k).join(QLatin1Char(' ')));
        }
    }
    const qsizetype todos = cab.size() + sal.size();
    if (todos != v.size() || med.size() > v.size() || doc.size() > v.size())
        erros << QStringLiteral("meses de municípios que os arquivos não trazem: %1 cabeçalhos, %2 meses de medicamentos, "
                                "%3 de documentos").arg(todos).arg(med.size()).arg(doc.size());
    return v;
}

// The engine's full validation: its errors, with its report; empty when it found none. A
// killed engine leaves pages it had allocated and not yet linked, which validation counts
// as warnings.
QString errosDeValidacao(const QString& banco)
{
    QProcess p;
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(QStringLiteral("gfix"), {QStringLiteral("-v"), QStringLiteral("-full"), QStringLiteral("-n"), QStringLiteral("-user"), QStringLiteral("SYSDBA"),
                                     QStringLiteral("-password"), QStringLiteral("cobaltrim"), banco});
    if (!p.waitForFinished(300000))
        return QStringLiteral("gfix não terminou");
    const QString saida = QString::fromLocal8Bit(p.readAll()).trimmed();
    if (p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        return QStringLiteral("gfix saiu com %1: %2").arg(p.exitCode()).arg(saida);
    for (const QString& linha : saida.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QString l = linha.trimmed();
        const bool aviso = l == QLatin1String("Summary of validation errors") ||
                           (l.startsWith(QLatin1String("Number of")) && l.section(QLatin1Char(':'), 0, 0).contains(QLatin1String("warnings")));
        if (!aviso)
            return saida;
    }
    return {};
}

}  // namespace

class TestInterchangeKill : public QObject {
    Q_OBJECT

    QString banco;
    QTemporaryDir pasta;
    gerador::Ano ano;

    std::unique_ptr<QProcess> importa(const QStringList& arquivos, int linhasPorConfirmacao)
    {
        auto p = std::make_unique<QProcess>();
        p->setProgram(QStringLiteral(KORVA_DB_TOOL));
        // The files were just written: --recentes.
        p->setArguments(QStringList{QStringLiteral("import"), QStringLiteral("--recentes"), QStringLiteral("--database"), banco} + arquivos);
        QProcessEnvironment ambiente = QProcessEnvironment::systemEnvironment();
        ambiente.insert(QStringLiteral("KORVA_LINHAS_POR_CONFIRMACAO"), QString::number(linhasPorConfirmacao));
        p->setProcessEnvironment(ambiente);
        p->setProcessChannelMode(QProcess::MergedChannels);
        p->start();
        return p;
    }

    // An import run to its end: exit 0, and the new version throughout.
    QString importaInteira(const QStringList& arquivos, int linhasPorConfirmacao, QString* saida = nullptr)
    {
        auto p = importa(arquivos, linhasPorConfirmacao);
        if (!p->waitForFinished(300000))
            return QStringLiteral("a importação não terminou");
        const QString texto = QString::fromLocal8Bit(p->readAll());
        if (saida)
            *saida = texto;
        if (p->exitStatus() != QProcess::NormalExit || p->exitCode() != 0)
            return QStringLiteral("korva-db saiu com %1: %2").arg(p->exitCode()).arg(texto);
        QStringList erros;
        const QMap<Chave, int> v = leVersoes(erros);
        for (auto it = v.cbegin(); it != v.cend(); ++it)
            if (it.value() != ano.versao)
                erros << QStringLiteral("%1: versão %2 depois de uma importação inteira da versão %3").arg(nome(it.key())).arg(it.value()).arg(ano.versao);
        return erros.join(QLatin1Char('\n'));
    }

    QMap<Chave, int> leVersoes(QStringList& erros)
    {
        db::Connection c;
        support::TestDatabase::configure(c);
        try {
            c.open();
            const QMap<Chave, int> v = versoes(c, ano, erros);
            c.close();
            return v;
        } catch (const std::exception& e) {
            erros << QString::fromLocal8Bit(e.what());
        }
        return {};
    }

    // Imports committing every lote rows, killed four times. One test function per size: the
    // test tool's time limit is a function's, and the sanitizers make each import slow.
    void mataImportacoes(int lote)
    {
        constexpr int alvo = 4;  // kills
        banco = support::TestDatabase::fresh(QStringLiteral("empty"));
        ano = gerador::Ano();
        ano.municipios = 40;  // 520 months and initial balances, 2,920 to 7,720 rows
        QElapsedTimer relogio;
        relogio.start();
        QString erros = importaInteira(gerador::escreve(pasta.path(), ano), 20000);
        QVERIFY2(erros.isEmpty(), qPrintable(erros));
        const qint64 duracao = relogio.elapsed();

        QRandomGenerator aleatorio(20031 + lote);
        QMap<Chave, int> antes;
        for (int i = 0; i < ano.municipios; ++i)
            for (int mes = 0; mes <= 12; ++mes)
                antes.insert(Chave(gerador::cidade(i).codigo, mes), 0);
        int mortos = 0;
        int comErros = 0;
        // Kills that found the import half done (some units in the new version, some
        // not): the ones that land between commits. The import is quick, so the test
        // goes on until it has at least one.
        int parciais = 0;
        // Each kill at a random moment of an import (an import that ends before its
        // moment does not count, and another takes its place); after it, the import run
        // again to its end, from which the next version starts.
        for (int vez = 1; (mortos < alvo || parciais == 0) && vez <= 4 * alvo; ++vez) {
            ano.versao = vez;
            const QStringList arquivos = gerador::escreve(pasta.path(), ano);
            auto p = importa(arquivos, lote);
            QVERIFY(p->waitForStarted());
            const int momento = int(aleatorio.bounded(qint64(30), std::max<qint64>(100, duracao * 2)));
            if (p->waitForFinished(momento) || p->state() == QProcess::NotRunning) {
                QVERIFY2(p->exitStatus() == QProcess::NormalExit && p->exitCode() == 0,
                         qPrintable(QStringLiteral("vez %1: korva-db saiu com %2: %3").arg(vez).arg(p->exitCode()).arg(QString::fromLocal8Bit(p->readAll()))));
            } else {
                p->kill();
                QVERIFY(p->waitForFinished(60000) || p->state() == QProcess::NotRunning);
            }
            QStringList problemas;
            const QMap<Chave, int> depois = leVersoes(problemas);
            int novos = 0;
            for (auto it = antes.cbegin(); it != antes.cend(); ++it) {
                const int v = depois.value(it.key(), -1);
                novos += v == vez;
                if (v != -1 && v != it.value() && v != vez)
                    problemas << QStringLiteral("%1: versão %2, nem a de antes (%3) nem a nova (%4)").arg(nome(it.key())).arg(v).arg(it.value()).arg(vez);
            }
            // A kill leaves the mark, unless it came before the import made it.
            const bool morto = p->exitStatus() == QProcess::CrashExit;
            const bool marcado = QFile::exists(banco + QStringLiteral(".importando"));
            mortos += morto;
            parciais += morto && novos > 0 && novos < antes.size();
            if (marcado && !morto)
                problemas << QStringLiteral("a importação inteira deixou a marca");
            // What the engine itself left, validated on a copy before anything mends it:
            // told, not refused (a kill in the middle of the engine's garbage collection
            // leaves committed deletions whose index entries are already gone, which this
            // engine's validation counts as errors).
            if (morto) {
                const QString copia = banco + QStringLiteral(".copia");
                QFile::remove(copia);
                QVERIFY(QFile::copy(banco, copia));
                if (!errosDeValidacao(copia).isEmpty())
                    ++comErros;
                QFile::remove(copia);
            }
            QVERIFY2(problemas.isEmpty(), qPrintable(QStringLiteral("vez %1 (lote de %2 linhas, morto aos %3 ms; %4 de 520 na versão nova):\n%5")
                                                         .arg(vez).arg(lote).arg(momento).arg(novos).arg(problemas.mid(0, 20).join(QLatin1Char('\n')))));
            QString saida;
            erros = importaInteira(arquivos, lote, &saida);
            QVERIFY2(erros.isEmpty(), qPrintable(QStringLiteral("vez %1, importação repetida: %2").arg(vez).arg(erros)));
            QVERIFY2(saida.contains(QStringLiteral("reconstruindo os índices")) == marcado, qPrintable(saida));
            QVERIFY(!QFile::exists(banco + QStringLiteral(".importando")));
            const QString validacao = errosDeValidacao(banco);
            QVERIFY2(validacao.isEmpty(), qPrintable(QStringLiteral("vez %1, depois da importação repetida:\n%2").arg(vez).arg(validacao)));
            antes = leVersoes(problemas);
        }
        QVERIFY2(mortos >= alvo, qPrintable(QStringLiteral("%1 of %2 imports killed").arg(mortos).arg(alvo)));
        QVERIFY2(parciais > 0, "no kill landed in the middle of an import");
        qInfo("%d of %d killed imports left errors that the engine's validation reports before the indices were rebuilt; "
              "%d killed half done",
              comErros, mortos, parciais);
    }

private slots:
    void killedImportsCommittingAfterEveryMonth() { mataImportacoes(1); }
    void killedImportsCommittingEveryFewMonths() { mataImportacoes(40); }
    void killedImportsCommittingEveryManyMonths() { mataImportacoes(700); }
};

QTEST_GUILESS_MAIN(TestInterchangeKill)
#include "tst_interchange_kill.moc"
