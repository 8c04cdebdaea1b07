// The registries' rules without any window, against a real database: the census row a
// pact's population comes from, the fields a pact needs in their order, the census year a
// pact stores, the parameter record's checks, and the refusals that keep follow-up lines,
// agreed lists and pacts whole.
#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "registries/rules/Pactuacao.h"
#include "registries/rules/Parametros.h"
#include "registries/rules/Referencias.h"
#include "support/DataModule.h"
#include "text/Formats.h"

#include <QtTest>

using namespace registros;

namespace {

constexpr int lavras = 3138203;
constexpr int saoPaulo = 3550308;

void exec(const QString& sql, const QVariantMap& params = {})
{
    db::Statement s(DMPrincipal->IBDatabaseGeral, {sql});
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        s.setParam(it.key(), it.value());
    s.exec();
}

void linhaDeExecucao(int medicamento, const QString& mes = QStringLiteral("1"))
{
    exec(QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                        "values ('2024', 'MG', 3138203, :MES, :MED, 10, 1, 10, 'M')"),
         {{QStringLiteral("MES"), mes}, {QStringLiteral("MED"), medicamento}});
}

void pacto(const QString& ano, int cidade, const QString& modalidade)
{
    exec(QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, CO_FORMA_PACTUACAO) "
                        "values (:ANO, (select CO_UF from TB_CIDADE where CO_SEQ_CIDADE = :CIDADE), :CIDADE, :MOD)"),
         {{QStringLiteral("ANO"), ano}, {QStringLiteral("CIDADE"), cidade}, {QStringLiteral("MOD"), modalidade}});
}

}  // namespace

namespace {
// A refusal as the window shows it; empty when the rule lets the change go on.
QString texto(const rules::Falhou& f)
{
    return f ? f->texto() : QString();
}
}  // namespace

class TestRegistriesRules : public QObject {
    Q_OBJECT

    db::Connection& conexao() { return DMPrincipal->IBDatabaseGeral; }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init() { support::freshDataModule(QStringLiteral("empty")); }
    void cleanup() { delete DMPrincipal; }

    // Every save of the parameter record: a year, and a municipality of the state or none.
    void theParameterRecordsChecks_data()
    {
        QTest::addColumn<QVariant>("ano");
        QTest::addColumn<QVariant>("uf");
        QTest::addColumn<QVariant>("cidade");
        QTest::addColumn<QString>("recusa");
        const QString outroEstado = QStringLiteral("O município não é do estado MG: escolha um município desse estado, "
                                                   "ou nenhum para uma instalação estadual.");
        QTest::newRow("a municipality of the state") << QVariant("2005") << QVariant("MG") << QVariant(lavras) << QString();
        QTest::newRow("none: a state installation") << QVariant("2005") << QVariant("MG") << QVariant(0) << QString();
        QTest::newRow("null municipality") << QVariant("2005") << QVariant("MG") << QVariant() << QString();
        QTest::newRow("no year") << QVariant() << QVariant("MG") << QVariant(lavras) << "Informe o Ano de Competência";
        QTest::newRow("a municipality of another state") << QVariant("2005") << QVariant("MG") << QVariant(saoPaulo) << outroEstado;
    }
    void theParameterRecordsChecks()
    {
        QFETCH(QVariant, ano);
        QFETCH(QVariant, uf);
        QFETCH(QVariant, cidade);
        QFETCH(QString, recusa);
        QCOMPARE(texto(recusaParametros(conexao(), {ano, uf, cidade})), recusa);
    }

    void theCensusRowIsTheLastOfTheMunicipalityInThePactsYear()
    {
        // A second item of the same year comes after the census itself; another year
        // is not looked at.
        exec(QStringLiteral("insert into RL_CIDADE_ITEMCENSOIBGE (CO_CIDADE, NU_ANO_CENSO, CO_ITEM_CENSO, QT_POPULACAO) "
                            "values (3138203, '2022', 2, 56000)"));
        exec(QStringLiteral("insert into RL_CIDADE_ITEMCENSOIBGE (CO_CIDADE, NU_ANO_CENSO, CO_ITEM_CENSO, QT_POPULACAO) "
                            "values (3138203, '2023', 1, 57000)"));
        db::Dataset& rl = DMPrincipal->RL_Cidade_ItemCensoIBGE;
        Censo c = leCenso(rl, lavras, QStringLiteral("2022"));
        QVERIFY(c.encontrado);
        QCOMPARE(c.populacao, 56000.0);
        QCOMPARE(c.ano, QStringLiteral("2022"));
        QCOMPARE(rl.recNo(), 2);

        c = leCenso(rl, saoPaulo, QStringLiteral("2022"));
        QCOMPARE(c.populacao, 1923748.0);

        for (const QVariant& cidade : {QVariant(lavras), QVariant()}) {
            c = leCenso(rl, cidade, QStringLiteral("2005"));
            QVERIFY(!c.encontrado);
            QCOMPARE(c.populacao, 0.0);
            QVERIFY(c.ano.isEmpty());
            QVERIFY(rl.isActive());
        }
    }

    void aPactsFieldsAreAskedForInOrder_data()
    {
        QTest::addColumn<QVariant>("ano");
        QTest::addColumn<QVariant>("uf");
        QTest::addColumn<QVariant>("cidade");
        QTest::addColumn<QVariant>("modalidade");
        QTest::addColumn<QString>("populacao");
        QTest::addColumn<QString>("mensagem");
        const QVariant nada;
        QTest::newRow("nothing") << nada << nada << nada << nada << QString() << "O campo Ano de Competência é obrigatório";
        QTest::newRow("only the population")
            << nada << nada << nada << nada << "1000" << "O campo Ano de Competência é obrigatório";
        QTest::newRow("a year") << QVariant("2022") << nada << nada << nada << QString() << "O campo Estado é obrigatório";
        QTest::newRow("a state") << QVariant("2022") << QVariant("MG") << nada << QVariant("TDM") << "1000"
                                 << "O campo Município é obrigatório";
        QTest::newRow("a municipality of another state")
            << QVariant("2022") << QVariant("MG") << QVariant(saoPaulo) << QVariant("TDM") << "1000"
            << "O campo Município é obrigatório";
        QTest::newRow("a municipality") << QVariant("2022") << QVariant("MG") << QVariant(lavras) << nada << "1000"
                                        << "O campo Modalidade de Pactuação é obrigatório";
        QTest::newRow("a blank population") << QVariant("2022") << QVariant("MG") << QVariant(lavras) << QVariant("TDM")
                                            << "   " << "O campo População é obrigatório";
        QTest::newRow("everything") << QVariant("2022") << QVariant("MG") << QVariant(lavras) << QVariant("TDM") << "1000"
                                    << QString();
    }
    void aPactsFieldsAreAskedForInOrder()
    {
        QFETCH(QVariant, ano);
        QFETCH(QVariant, uf);
        QFETCH(QVariant, cidade);
        QFETCH(QVariant, modalidade);
        QFETCH(QString, populacao);
        QFETCH(QString, mensagem);
        const rules::Falhou falta = campoQueFalta(conexao(), PactoDigitado{ano, uf, cidade, modalidade, populacao});
        QCOMPARE(texto(falta), mensagem);
        // The column whose control the window focuses, named in the message.
        const QHash<QString, QString> colunas = {{QStringLiteral("Ano de Competência"), QStringLiteral("NU_ANO_COMPET")},
                                                 {QStringLiteral("Estado"), QStringLiteral("CO_UF")},
                                                 {QStringLiteral("Município"), QStringLiteral("CO_CIDADE")},
                                                 {QStringLiteral("Modalidade de Pactuação"), QStringLiteral("CO_FORMA_PACTUACAO")},
                                                 {QStringLiteral("População"), QStringLiteral("QT_POPULACAO")}};
        if (falta)
            QCOMPARE(falta->campo, colunas.value(mensagem.mid(8).chopped(14)));
    }

    void theTypedPopulation()
    {
        QCOMPARE(populacaoDigitada(QStringLiteral(" 55742 ")), 55742.0);
        QCOMPARE(populacaoDigitada(QStringLiteral("1234,5")), 1234.5);
        QCOMPARE(populacaoDigitada(QStringLiteral("55.742")), 55742.0);  // as the grid shows it
        QCOMPARE(populacaoDigitada(QStringLiteral("1.234.567")), 1234567.0);
        try {
            populacaoDigitada(QStringLiteral("mil"));
            QFAIL("a population that is no number was taken");
        } catch (const db::DataError& e) {
            QCOMPARE(e.message(), QStringLiteral("\"mil\" não é um valor válido para o campo \"População\"."));
        }
    }

    // Whatever the pact held before: its own census row decides, at every save.
    void theCensusYearIsThePactsOwn_data()
    {
        QTest::addColumn<double>("populacao");
        QTest::addColumn<bool>("censo");
        QTest::addColumn<QVariant>("anoCenso");
        QTest::newRow("the census population") << 55742.0 << true << QVariant(QStringLiteral("2022"));
        QTest::newRow("another population") << 55000.0 << true << QVariant();
        QTest::newRow("no census row for the municipality and year") << 55742.0 << false << QVariant();
    }
    void theCensusYearIsThePactsOwn()
    {
        QFETCH(double, populacao);
        QFETCH(bool, censo);
        QFETCH(QVariant, anoCenso);
        const Censo c = censo ? Censo{true, 55742, QStringLiteral("2022")} : Censo{};
        QCOMPARE(anoCensoDoPacto(populacao, c), anoCenso);
    }

    void aMedicationInUseKeepsItsCodeAndStays()
    {
        // Medication 5: three follow-up lines and the agreed lists of every state.
        // Medication 45: a new one, used by nothing yet.
        exec(QStringLiteral("insert into TB_ELENCO_MINIMO (CO_SEQ_MEDICAMENTO, DS_MEDICAMENTO, ST_ELENCO_MINIMO) "
                            "values (45, 'Novo medicamento', 'S')"));
        for (const QString& mes : {QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3")})
            linhaDeExecucao(5, mes);
        const UsoMedicamento uso = usoDoMedicamento(conexao(), 5);
        QCOMPARE(uso.lancamentos, 3);
        QCOMPARE(uso.ufs.size(), 27);
        QCOMPARE(uso.ufs.first(), QStringLiteral("AC"));
        QVERIFY(!usoDoMedicamento(conexao(), 45).emUso());

        const QString ufs = QStringLiteral("AC, AL, AM, AP, BA, CE, DF, ES, GO, MA, MG, MS, MT, PA, PB, PE, PI, PR, RJ, RN, "
                                           "RO, RR, RS, SC, SE, SP e TO");
        QCOMPARE(texto(recusaAlteracaoDoCodigo(conexao(), 5, 46)),
                 QStringLiteral("O código 5 não pode ser alterado porque ainda é usado por 3 lançamentos de Execução "
                                "Física do acompanhamento e pela relação pactuada de 27 estados (%1). Altere só a descrição "
                                "ou o elenco mínimo, ou cancele a alteração.")
                     .arg(ufs));
        QCOMPARE(texto(recusaExclusaoDoMedicamento(conexao(), 5, QStringLiteral("Amoxicilina 250 mg/5 mL pó para suspensão oral"))),
                 QStringLiteral("O medicamento \"Amoxicilina 250 mg/5 mL pó para suspensão oral\" não pode ser excluído porque "
                                "ainda é usado por 3 lançamentos de Execução Física do acompanhamento e pela relação pactuada de 27 estados "
                                "(%1).")
                     .arg(ufs));
        // Unchanged, cleared or new: nothing to refuse but a real change of a used code.
        QVERIFY(texto(recusaAlteracaoDoCodigo(conexao(), 5, 5)).isEmpty());
        QVERIFY(!texto(recusaAlteracaoDoCodigo(conexao(), 5, QVariant())).isEmpty());
        QVERIFY(texto(recusaAlteracaoDoCodigo(conexao(), QVariant(), 5)).isEmpty());
        QVERIFY(texto(recusaAlteracaoDoCodigo(conexao(), 45, 46)).isEmpty());
        QVERIFY(texto(recusaExclusaoDoMedicamento(conexao(), 45, QStringLiteral("Novo medicamento"))).isEmpty());

        // One line and one state's list.
        exec(QStringLiteral("delete from RL_ELENCOMINIMO_UF where CO_MEDICAMENTO = 5 and CO_UF <> 'MG'"));
        exec(QStringLiteral("delete from TB_EXECUCAO_FISICA_MUNICIPIO where NU_MES_COMPET <> '1'"));
        QCOMPARE(texto(recusaExclusaoDoMedicamento(conexao(), 5, QStringLiteral("Amoxicilina"))),
                 QStringLiteral("O medicamento \"Amoxicilina\" não pode ser excluído porque ainda é usado por 1 "
                                "lançamento de Execução Física do acompanhamento e pela relação pactuada de MG."));
        exec(QStringLiteral("delete from TB_EXECUCAO_FISICA_MUNICIPIO"));
        QCOMPARE(texto(recusaExclusaoDoMedicamento(conexao(), 5, QStringLiteral("Amoxicilina"))),
                 QStringLiteral("O medicamento \"Amoxicilina\" não pode ser excluído porque ainda é usado pela relação "
                                "pactuada de MG."));
    }

    void aModalityInUseKeepsItsCodeAndStays()
    {
        pacto(QStringLiteral("2004"), lavras, QStringLiteral("TDM"));
        pacto(QStringLiteral("2005"), lavras, QStringLiteral("TDM"));
        pacto(QStringLiteral("2005"), saoPaulo, QStringLiteral("TDM"));
        pacto(QStringLiteral("2005"), 3100203, QStringLiteral("PCE"));
        QCOMPARE(texto(recusaExclusaoDaModalidade(conexao(), QStringLiteral("TDM"))),
                 QStringLiteral("A modalidade de pactuação \"TDM\" não pode ser excluída porque ainda é usada por 3 "
                                "pactuações de municípios (anos 2004 e 2005)."));
        QCOMPARE(texto(recusaExclusaoDaModalidade(conexao(), QStringLiteral("PCE"))),
                 QStringLiteral("A modalidade de pactuação \"PCE\" não pode ser excluída porque ainda é usada por 1 "
                                "pactuação de município (ano 2005)."));
        QCOMPARE(texto(recusaAlteracaoDaModalidade(conexao(), QStringLiteral("PCE"), QStringLiteral("PCX"))),
                 QStringLiteral("O código da modalidade de pactuação \"PCE\" não pode ser alterado porque ainda é usado "
                                "por 1 pactuação de município (ano 2005). Altere só a descrição, ou cancele a alteração."));
        // The code compares as stored: another case is another code.
        QVERIFY(!texto(recusaAlteracaoDaModalidade(conexao(), QStringLiteral("PCE"), QStringLiteral("pce"))).isEmpty());
        QVERIFY(texto(recusaAlteracaoDaModalidade(conexao(), QStringLiteral("PCE"), QStringLiteral("PCE"))).isEmpty());
        QVERIFY(texto(recusaAlteracaoDaModalidade(conexao(), QStringLiteral("TCE"), QStringLiteral("TCX"))).isEmpty());
        QVERIFY(texto(recusaExclusaoDaModalidade(conexao(), QStringLiteral("TCE"))).isEmpty());
    }
};

QTEST_MAIN(TestRegistriesRules)
#include "tst_registries_rules.moc"
