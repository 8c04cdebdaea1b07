// Two seats of a state office importing at once into one database on a Firebird server,
// each with `korva-db import`: imports of different municipalities both complete; two
// imports of the same year of one municipality leave every month of every table as
// exactly one of the two files has it -- the other waits or is refused, never mixed in.
#include "Gerador.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"

#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

namespace {

const QString lockMessage =
    QStringLiteral("Outro usuário está alterando os mesmos dados neste momento. A operação foi desfeita e pode ser repetida.");

std::unique_ptr<QProcess> importa(const QStringList& arquivos)
{
    auto p = std::make_unique<QProcess>();
    p->setProgram(QStringLiteral(KORVA_DB_TOOL));
    p->setArguments(QStringList{QStringLiteral("import"), QStringLiteral("--recentes")} + arquivos);
    p->setProcessChannelMode(QProcess::MergedChannels);
    p->start();
    return p;
}

struct Fim {
    int codigo;
    QString saida;
};

Fim espera(QProcess& p)
{
    if (!p.waitForFinished(300000))
        return {-1, QStringLiteral("não terminou")};
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, QString::fromLocal8Bit(p.readAll())};
}

// Every month of every table as one version of the generator wrote it (see Gerador.h):
// "cidade/mês tabela: versão" for each, or the fault.
QStringList versoes(db::Connection& c, const gerador::Ano& base)
{
    QStringList out;
    const auto detalhe = [&](const QString& tabela, const QString& valor, int linhas) {
        db::Statement s(c, {QStringLiteral("select CO_CIDADE, NU_MES_COMPET, count(*), min(%1), max(%1) from %2 group by 1, 2")
                                .arg(valor, tabela)});
        for (const QVariantList& r : s.selectAll()) {
            const int mes = r[1].toString().toInt();
            const int versao = (qRound(r[3].toDouble()) - mes) / 1000;
            const QString onde = QStringLiteral("%1/%2 %3").arg(r[0].toString(), r[1].toString(), tabela);
            if (r[3] != r[4] || r[2].toInt() != linhas * (1 + versao % 3))
                out << QStringLiteral("%1: %2 linhas de %3 a %4").arg(onde, r[2].toString(), r[3].toString(), r[4].toString());
            else
                out << QStringLiteral("%1: %2").arg(onde).arg(versao);
        }
    };
    detalhe(QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("VL_TOTAL"), base.linhasExecucao);
    detalhe(QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO"), QStringLiteral("VL_DOC"), base.linhasDocumentos);
    db::Statement mov(c, {QStringLiteral("select CO_CIDADE, NU_MES_COMPET, count(*), max(VL_SALDO_ANTERIOR) "
                                         "from TB_MOVIMENTO_MUNICIPIO group by 1, 2")});
    for (const QVariantList& r : mov.selectAll())
        out << QStringLiteral("%1/%2 TB_MOVIMENTO_MUNICIPIO: %3%4")
                   .arg(r[0].toString(), r[1].toString())
                   .arg(r[3].toInt())
                   .arg(r[2].toInt() == 1 ? QString() : QStringLiteral(" repetido"));
    db::Statement sal(c, {QStringLiteral("select CO_CIDADE, VL_SALDO_MUNICIPIO from TB_SALDO_INICIAL_MUNICIPIO")});
    for (const QVariantList& r : sal.selectAll())
        out << QStringLiteral("%1 TB_SALDO_INICIAL_MUNICIPIO: %2").arg(r[0].toString()).arg(r[1].toInt());
    out.sort();
    return out;
}

}  // namespace

class TestInterchangeSeats : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;

private slots:
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
    }
    void cleanup() { c.reset(); }

    void differentMunicipalitiesSideBySide()
    {
        QTemporaryDir pasta;
        gerador::Ano ano;
        ano.municipios = 40;
        ano.versao = 1;
        const QStringList arquivos = gerador::escreve(pasta.path(), ano);  // four per municipality
        const auto um = importa(arquivos.mid(0, arquivos.size() / 2));
        const auto outro = importa(arquivos.mid(arquivos.size() / 2));
        const Fim a = espera(*um), b = espera(*outro);
        QVERIFY2(a.codigo == 0, qPrintable(a.saida));
        QVERIFY2(b.codigo == 0, qPrintable(b.saida));

        const QStringList v = versoes(*c, ano);
        QCOMPARE(v.size(), 40 * (12 * 3 + 1));
        QCOMPARE(v.filter(QRegularExpression(QStringLiteral(": 1$"))).size(), v.size());
    }

    // First into an empty year (the seats meet on the keys), then over a year already
    // there (they meet on the rows they delete).
    void theSameMonthsEndAsOneFileOrTheOther_data()
    {
        QTest::addColumn<int>("antes");  // version loaded before, 0: none
        QTest::addColumn<int>("primeira");
        QTest::addColumn<int>("segunda");
        QTest::newRow("empty year") << 0 << 1 << 2;
        QTest::newRow("year already there") << 3 << 4 << 5;
    }

    void theSameMonthsEndAsOneFileOrTheOther()
    {
        QFETCH(int, antes);
        QFETCH(int, primeira);
        QFETCH(int, segunda);
        gerador::Ano ano;
        ano.municipios = 1;
        ano.linhasExecucao = 60;
        ano.linhasDocumentos = 40;
        const auto arquivos = [&ano](const QTemporaryDir& pasta, int versao) {
            gerador::Ano a = ano;
            a.versao = versao;
            return gerador::escreve(pasta.path(), a);
        };
        QTemporaryDir pastaAntes, pastaA, pastaB;
        if (antes) {
            const auto p = importa(arquivos(pastaAntes, antes));
            const Fim f = espera(*p);
            QVERIFY2(f.codigo == 0, qPrintable(f.saida));
        }

        const auto um = importa(arquivos(pastaA, primeira));
        const auto outro = importa(arquivos(pastaB, segunda));
        const Fim a = espera(*um), b = espera(*outro);
        // Loaded whole (0), or some months refused and kept as they were (1), because of
        // the other seat, and said so.
        for (const Fim& f : {a, b}) {
            QVERIFY2(f.codigo == 0 || f.codigo == 1, qPrintable(f.saida));
            for (const QString& linha : f.saida.split(QLatin1Char('\n')).filter(QStringLiteral("Recusado")))
                QVERIFY2(linha.endsWith(lockMessage), qPrintable(linha));
        }

        const QStringList v = versoes(*c, ano);
        QCOMPARE(v.size(), 12 * 3 + 1);
        for (const QString& linha : v)
            QVERIFY2(linha.endsWith(QStringLiteral(": %1").arg(primeira)) || linha.endsWith(QStringLiteral(": %1").arg(segunda)),
                     qPrintable(linha + QStringLiteral("\n---\n") + a.saida + QStringLiteral("\n---\n") + b.saida));
    }
};

QTEST_GUILESS_MAIN(TestInterchangeSeats)
#include "tst_interchange_seats.moc"
