// A database made before the record of the incentive's changes existed: the program and
// korva-db add the table, its generator and its triggers without touching what is
// stored, and say so when the database refuses them.
#include "data/AlteracoesIncentivo.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QProcess>
#include <QTest>

#include <memory>
#include <tuple>

namespace {

const QStringList objetos{QStringLiteral("TB_ALTERACAO_INCENTIVO"), QStringLiteral("GEN_ALTERACAO_INCENTIVO"),
                          QStringLiteral("TB_CIDADE_PACTUACAO_ALT"), QStringLiteral("TB_REPASSE_MESTRE_ALT"),
                          QStringLiteral("TB_REPASSE_ESTADUAL_EXC_ALT"), QStringLiteral("TB_REPASSE_MUNICIPAL_EXC_ALT")};

}  // namespace

class TestAtualizacao : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;

    void executa(const QString& sql)
    {
        db::Statement s(*c, {sql});
        s.exec();
    }
    int conta(const QString& sql) { return db::Statement(*c, {sql}).scalar().toInt(); }

    // The database as an earlier version made it, with a pact and a rate stored.
    void bancoAntigo()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        QVERIFY(data::faltamAlteracoesIncentivo(*c).isEmpty());
        for (const QString& t : objetos.mid(2))
            executa(QStringLiteral("drop trigger ") + t);
        executa(QStringLiteral("drop sequence GEN_ALTERACAO_INCENTIVO"));
        executa(QStringLiteral("drop table TB_ALTERACAO_INCENTIVO"));
        QCOMPARE(data::faltamAlteracoesIncentivo(*c), objetos);
        executa(QStringLiteral("insert into TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, QT_POPULACAO) "
                               "values ('2004', 'MG', 3138203, 1000)"));
        executa(QStringLiteral("insert into TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_FEDERAL_MESTRE) values ('2004', 1)"));
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void cleanup() { c.reset(); }

    // Everything missing is created, once; the rows stored stay; a change is recorded
    // from then on.
    void anOlderDatabaseIsBroughtUpToDate()
    {
        bancoAntigo();
        // Nothing recorded yet: the windows say so rather than call the year current.
        QVERIFY(!data::atualidadeIncentivo(*c, QStringLiteral("2004")).registrado);
        QVERIFY(data::atualidadeIncentivo(*c, QStringLiteral("2004")).linha().startsWith(
            QStringLiteral("Este banco não registra as alterações de pactuações e repasses")));

        const data::AtualizacaoBanco a = data::atualizaBanco(*c);
        QCOMPARE(a.falha, QString());
        QCOMPARE(a.mensagem(), QString());
        QCOMPARE(a.criados, objetos);
        QVERIFY(data::faltamAlteracoesIncentivo(*c).isEmpty());
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_CIDADE_PACTUACAO")), 1);
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_REPASSE_MESTRE")), 1);
        // What happened before is not known, and not invented.
        QVERIFY(!data::atualidadeIncentivo(*c, QStringLiteral("2004")).desatualizado());

        executa(QStringLiteral("update TB_CIDADE_PACTUACAO set QT_POPULACAO = 2000"));
        const data::AtualidadeIncentivo depois = data::atualidadeIncentivo(*c, QStringLiteral("2004"));
        QCOMPARE(depois.depois.size(), 1);
        QCOMPARE(depois.depois.first().oQue, QStringLiteral("Pactuações"));

        QCOMPARE(data::atualizaBanco(*c).criados, QStringList());
    }

    // An object of the same name made otherwise: the update stops, says what is missing
    // and why, and leaves the data and the saves of pacts as they were.
    void aRefusedUpdateIsToldAndChangesNothingStored()
    {
        bancoAntigo();
        executa(QStringLiteral("create table TB_ALTERACAO_INCENTIVO (NU_ANO_COMPET varchar(4))"));
        const data::AtualizacaoBanco a = data::atualizaBanco(*c);
        QCOMPARE(a.criados, QStringList{QStringLiteral("GEN_ALTERACAO_INCENTIVO")});
        QVERIFY2(a.falha.contains(QStringLiteral("TP_ALTERACAO")), qPrintable(a.falha));
        QVERIFY(a.mensagem().startsWith(QStringLiteral("O banco de dados não pôde ser atualizado: ")));
        QVERIFY(a.mensagem().endsWith(a.falha));
        QVERIFY(!data::atualidadeIncentivo(*c, QStringLiteral("2004")).registrado);
        executa(QStringLiteral("update TB_CIDADE_PACTUACAO set QT_POPULACAO = 2000"));
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_CIDADE_PACTUACAO where QT_POPULACAO = 2000")), 1);
    }

    // The line numbering of an older database (a MAX over the month, no index) is brought
    // to the index's form; the numbers go on from those stored, for the documents and the
    // medications alike.
    void anOlderNumberingIsBroughtUpToDate()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        const QStringList numeracao{QStringLiteral("TB_FONTE_COMPROVACAO_MUN_BI"), QStringLiteral("IX_FONTE_COMPROVACAO_NUMERO"),
                                    QStringLiteral("TB_EXECUCAO_FISICA_MUN_BI"), QStringLiteral("IX_EXECUCAO_FISICA_NUMERO")};
        for (const auto& [tabela, coluna, gatilho, indice] :
             {std::tuple{"TB_FONTE_COMPROVACAO_MUNICIPIO", "CO_SEQ_DOC", "TB_FONTE_COMPROVACAO_MUN_BI", "IX_FONTE_COMPROVACAO_NUMERO"},
              std::tuple{"TB_EXECUCAO_FISICA_MUNICIPIO", "CO_SEQ_MED", "TB_EXECUCAO_FISICA_MUN_BI", "IX_EXECUCAO_FISICA_NUMERO"}}) {
            executa(QStringLiteral("drop index %1").arg(QLatin1String(indice)));
            executa(QStringLiteral("CREATE OR ALTER TRIGGER %1 FOR %2 ACTIVE BEFORE INSERT POSITION 0 AS BEGIN "
                                   "IF (NEW.%3 IS NULL OR NEW.%3 = 0) THEN SELECT COALESCE(MAX(%3), 0) + 1 FROM %2 "
                                   "WHERE NU_ANO_COMPET = NEW.NU_ANO_COMPET AND CO_UF = NEW.CO_UF AND CO_CIDADE = NEW.CO_CIDADE "
                                   "AND NU_MES_COMPET = NEW.NU_MES_COMPET INTO NEW.%3; END")
                        .arg(QLatin1String(gatilho), QLatin1String(tabela), QLatin1String(coluna)));
        }
        const auto documento = [this] {
            executa(QStringLiteral("insert into TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                   "CO_SEQ_DOC, ST_TIPO_DOC, VL_DOC) values ('2004', 'MG', 3138203, '3', 0, 'N', 1)"));
        };
        const auto medicamento = [this] {
            executa(QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                   "CO_SEQ_MED, CO_SEQ_MEDICAMENTO) values ('2004', 'MG', 3138203, '3', 0, 1)"));
        };
        documento();
        documento();
        medicamento();

        const data::AtualizacaoBanco a = data::atualizaBanco(*c);
        QCOMPARE(a.mensagem(), QString());
        QCOMPARE(a.criados, numeracao);
        QCOMPARE(data::atualizaBanco(*c).criados, QStringList());

        documento();
        medicamento();
        executa(QStringLiteral("delete from TB_FONTE_COMPROVACAO_MUNICIPIO where CO_SEQ_DOC = 3"));
        documento();
        QCOMPARE(db::Statement(*c, {QStringLiteral("select list(CO_SEQ_DOC) from (select CO_SEQ_DOC from "
                                                   "TB_FONTE_COMPROVACAO_MUNICIPIO order by CO_SEQ_DOC)")})
                     .scalar()
                     .toString(),
                 QStringLiteral("1,2,3"));
        QCOMPARE(conta(QStringLiteral("select max(CO_SEQ_MED) from TB_EXECUCAO_FISICA_MUNICIPIO")), 2);
    }

    // korva-db brings an older database up to date when it opens it to import.
    void korvaDbImportBringsItUpToDate()
    {
        bancoAntigo();
        c->close();
        QProcess p;
        p.start(QStringLiteral(KORVA_DB_TOOL), {QStringLiteral("import"), QStringLiteral("/nenhum/arquivo.txt")});
        QVERIFY(p.waitForFinished(120000));
        QVERIFY2(p.exitCode() != 2, p.readAllStandardError().constData());  // 2: the database did not open
        c->open();
        QVERIFY(data::faltamAlteracoesIncentivo(*c).isEmpty());
        QCOMPARE(conta(QStringLiteral("select count(*) from TB_CIDADE_PACTUACAO")), 1);
    }
};

QTEST_GUILESS_MAIN(TestAtualizacao)
#include "tst_atualizacao.moc"
