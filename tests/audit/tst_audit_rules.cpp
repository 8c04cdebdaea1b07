// The audit of a state's year against a real database: one fault of each rule is found
// once, where it is, with what was expected and what is stored; a clean municipality
// gives nothing; a cancelled audit says so; and korva-db audit tells the same by its
// summary, its exit status and its CSV.
#include "Fixture.h"

#include "audit/rules/Auditoria.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace auditoria;

namespace {

QStringList linhas(const QList<Achado>& achados)
{
    QStringList l;
    for (const Achado& a : achados)
        l << textos(a).mid(0, 3).join(QLatin1String(" | "));
    return l;
}

const Achado* procura(const QList<Achado>& achados, Regra regra)
{
    for (const Achado& a : achados)
        if (a.regra == regra)
            return &a;
    return nullptr;
}

}  // namespace

class TestAuditoria : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;
    fixture::Medicamentos medicamentos;
    QString banco;

    Resultado audita(std::optional<int> cidade = std::nullopt, const AoProgredir& progresso = {})
    {
        return auditoria::audita(*c, Filtro{fixture::ano, fixture::uf, cidade}, progresso);
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        banco = support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        medicamentos = fixture::escreve(*c);
    }
    void cleanup() { c.reset(); }

    void eachFaultIsFoundOnceWhereItIs()
    {
        const Resultado r = audita();
        QVERIFY(!r.cancelada);
        QCOMPARE(r.nomeUf, QStringLiteral("Minas Gerais"));
        QCOMPARE(r.municipios, 3);
        QCOMPARE(r.meses, 8);
        QCOMPARE(linhas(r.achados),
                 QStringList({
                     QStringLiteral("Abaeté | Janeiro | Recursos Gastos maiores que o Total do mês fechado"),
                     QStringLiteral("Abaeté | Janeiro | Documento lançado mais de uma vez"),
                     QStringLiteral("Lavras | Janeiro | Total Movimentação Financeira diferente do Total Execução Física"),
                     QStringLiteral("Lavras | Janeiro | Documento lançado mais de uma vez"),
                     QStringLiteral("Lavras | Fevereiro | Saldo Anterior diferente do saldo transportado do mês anterior"),
                     QStringLiteral("Lavras | Fevereiro | Medicamento fora da relação pactuada do estado"),
                     QStringLiteral("Lavras | Março | Mês não recebido entre o primeiro e o último mês recebidos"),
                     QStringLiteral("Lavras | Abril | CPF/CNPJ do favorecido com dígitos verificadores errados"),
                     QStringLiteral("Lavras | Abril | Valor Total diferente de Quantidade × Valor Unitário"),
                     QStringLiteral("Lavras | Abril | Mês exportado sem data de envio"),
                     QStringLiteral("Lavras | Maio | Mês recebido ainda aberto"),
                 }));
        QCOMPARE(r.municipiosComAchados(), 2);
    }

    void expectedAndFound_data()
    {
        QTest::addColumn<int>("regra");
        QTest::addColumn<QString>("esperado");
        QTest::addColumn<QString>("encontrado");
        QTest::newRow("closing") << int(Regra::Fechamento) << "Movimentação Financeira: 100,00" << "Execução Física: 90,00";
        QTest::newRow("balance") << int(Regra::Saldo) << "Saldo transportado de Janeiro: 1.030,00" << "Saldo Anterior: 1.025,00";
        QTest::newRow("spent") << int(Regra::GastosExcedem) << "Total (+): até 80,00" << "Recursos Gastos (-): 100,00";
        QTest::newRow("missing") << int(Regra::MesFaltando) << "Movimentação de Março" << "Nenhuma";
        QTest::newRow("open") << int(Regra::MesAberto) << "Fechado ou exportado" << "Aberto";
        QTest::newRow("cnpj") << int(Regra::Identificacao) << "CPF ou CNPJ válido" << "11.222.333/0001-82 (Nota Fiscal nº NF-3138203-4)";
        QTest::newRow("repeated") << int(Regra::DocumentoRepetido) << "Empenho nº EMP-77 de 11.222.333/0001-81 uma só vez"
                                  << "2 vezes: também em Lavras/Janeiro";
        QTest::newRow("line") << int(Regra::ValorTotalLinha) << "3 × 10,00 = 30,00" << QString();
        QTest::newRow("sent") << int(Regra::SemDataEnvio) << "Data de envio" << "Em branco";
    }
    void expectedAndFound()
    {
        QFETCH(int, regra);
        QFETCH(QString, esperado);
        QFETCH(QString, encontrado);
        const Resultado r = audita();
        const Achado* a = procura(r.achados, Regra(regra));
        QVERIFY(a);
        QCOMPARE(a->esperado, esperado);
        if (!encontrado.isEmpty())
            QCOMPARE(a->encontrado, encontrado);
        else
            QVERIFY2(a->encontrado.startsWith(QStringLiteral("30,05 (")), qPrintable(a->encontrado));
    }

    void aMedicationNotAgreedIsNamed()
    {
        const Resultado r = audita();
        const Achado* a = procura(r.achados, Regra::MedicamentoForaDaRelacao);
        QVERIFY(a);
        QCOMPARE(a->esperado, QStringLiteral("Medicamento da relação pactuada de MG"));
        QCOMPARE(a->encontrado, QStringLiteral("%1 (código %2)").arg(medicamentos.nomeNaoPactuado).arg(medicamentos.naoPactuado));
    }

    // One municipality: its findings alone, a repeated document still naming the other.
    void oneMunicipality()
    {
        QVERIFY(audita(fixture::limpa).achados.isEmpty());
        const Resultado r = audita(fixture::abaete);
        QCOMPARE(r.achados.size(), 2);
        QCOMPARE(r.municipios, 1);
        QCOMPARE(r.achados.at(1).encontrado, QStringLiteral("2 vezes: também em Lavras/Janeiro"));
    }

    // A clean year: only the clean municipality's months.
    void aCleanYearGivesNothing()
    {
        QVERIFY(audita(fixture::limpa).achados.isEmpty());
        const Resultado r = auditoria::audita(*c, Filtro{QStringLiteral("2006"), fixture::uf, std::nullopt});
        QVERIFY(r.achados.isEmpty());
        QCOMPARE(r.meses, 0);
        QVERIFY(r.resumo(Filtro{QStringLiteral("2006"), fixture::uf, std::nullopt}).contains(QStringLiteral("Nenhum achado")));
    }

    void cancelStopsBeforeTheNextStatement()
    {
        QList<int> passos;
        const Resultado r = audita(std::nullopt, [&](const Progresso& p) {
            passos << p.feito;
            return p.feito < 3;
        });
        QVERIFY(r.cancelada);
        QVERIFY(r.achados.isEmpty());
        QCOMPARE(passos, QList<int>({0, 1, 2, 3}));
        QVERIFY(r.resumo(Filtro{fixture::ano, fixture::uf, std::nullopt}).contains(QStringLiteral("cancelada")));
    }

    void csvForASpreadsheet()
    {
        const Resultado r = audita(fixture::abaete);
        const QStringList l = csv(r.achados).split(QStringLiteral("\r\n"));
        QCOMPARE(l.size(), 4);  // header, two findings, the empty rest after the last CRLF
        QCOMPARE(l.at(0), QStringLiteral("Município;Código;Mês;Regra;Esperado;Encontrado"));
        QCOMPARE(l.at(1), QStringLiteral("Abaeté;3100203;Janeiro;Recursos Gastos maiores que o Total do mês fechado;"
                                         "Total (+): até 80,00;Recursos Gastos (-): 100,00"));
        QVERIFY(tabulado(r.achados).startsWith(QStringLiteral("Município\tCódigo\tMês\tRegra\tEsperado\tEncontrado\r\n")));
    }

    // korva-db audit: exit status, summary and CSV.
    void theCommand_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("saida");
        QTest::addColumn<QString>("texto");
        QTest::newRow("findings") << QStringList() << 1 << "Achados: 11 em 2 municípios.";
        QTest::newRow("clean municipality") << QStringList{QStringLiteral("--municipio"), QString::number(fixture::limpa)} << 0
                                            << "Nenhum achado";
        QTest::newRow("another year") << QStringList{QStringLiteral("--ano=2006")} << 0 << "Lidos: 0 meses de 0 municípios.";
        QTest::newRow("bad year") << QStringList{QStringLiteral("--ano"), QStringLiteral("05")} << 2 << "--ano pede um ano";
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--todos")} << 2 << "opção desconhecida: --todos";
        QTest::newRow("no database") << QStringList{QStringLiteral("--database"), QStringLiteral("/nao/existe/KORVA.GDB")} << 2
                                     << "";
    }
    void theCommand()
    {
        QFETCH(QStringList, args);
        QFETCH(int, saida);
        QFETCH(QString, texto);
        c.reset();  // the embedded engine serves one process at a time
        QTemporaryDir pasta;
        const QString arquivo = pasta.filePath(QStringLiteral("achados.csv"));
        QStringList todos = {QStringLiteral("audit")};
        if (!args.join(QLatin1Char(' ')).contains(QLatin1String("--database")))
            todos << QStringLiteral("--database") << banco;
        todos << args << QStringLiteral("--csv") << arquivo;
        QProcess p;
        p.start(QStringLiteral(KORVA_DB_PROGRAM), todos);
        QVERIFY(p.waitForFinished(60000));
        const QString out = QString::fromLocal8Bit(p.readAllStandardOutput() + p.readAllStandardError());
        QCOMPARE(p.exitCode(), saida);
        QVERIFY2(out.contains(texto), qPrintable(out));
        if (saida == 2) {
            QVERIFY(!QFile::exists(arquivo));
            return;
        }
        QFile f(arquivo);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF" "Município;Código;Mês;Regra;Esperado;Encontrado\r\n"));
        QCOMPARE(bytes.count("\r\n"), saida == 1 ? 12 : 1);
    }

    // The audit is of what a state received: a municipal installation's database is
    // refused, nothing audited.
    void theCommandRefusesAMunicipalDatabase()
    {
        db::Statement(*c, {QStringLiteral("update tb_parametro_korva set co_cidade = 3138203")}).exec();
        c.reset();
        QProcess p;
        p.start(QStringLiteral(KORVA_DB_PROGRAM), {QStringLiteral("audit"), QStringLiteral("--database"), banco});
        QVERIFY(p.waitForFinished(60000));
        QCOMPARE(p.exitCode(), 2);
        QVERIFY(QString::fromLocal8Bit(p.readAllStandardError()).contains(QStringLiteral("instalação municipal")));
        QVERIFY(p.readAllStandardOutput().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestAuditoria)
#include "tst_audit_rules.moc"
