// The database as the program sees it: through QIBASE, on fresh copies of the template
// databases that korva-db made. Also korva-db itself.
#include "data/Installation.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/EmbeddedEngine.h"
#include "support/TestDatabase.h"

#include <QCryptographicHash>
#include <QDate>
#include <QDir>
#include <QMap>
#include <QSet>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>

using Rows = QList<QVariantList>;

namespace {

const QString connectionName = QStringLiteral("tst_schema");

QString money(double v)
{
    return QString::number(std::round(v * 100.0) / 100.0, 'f', 2);
}

bool validCnpj(const QString& s)
{
    if (s.size() != 14 || s == QString(14, QLatin1Char('0')))
        return false;
    for (QChar c : s)
        if (!c.isDigit())
            return false;
    for (int n = 12; n <= 13; ++n) {
        int sum = 0;
        int weight = 2;
        for (int i = n - 1; i >= 0; --i) {
            sum += s[i].digitValue() * weight;
            weight = weight == 9 ? 2 : weight + 1;
        }
        const int rest = sum % 11;
        if (s[n].digitValue() != (rest < 2 ? 0 : 11 - rest))
            return false;
    }
    return true;
}

QByteArray fileHash(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    QCryptographicHash hash(QCryptographicHash::Sha256);
    hash.addData(&f);
    return hash.result();
}

struct ToolRun {
    int exitCode = -1;
    QString out;
    QString err;
};

ToolRun runTool(const QStringList& args, const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QStringLiteral(KORVA_DB_TOOL), args);
    ToolRun run;
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit)
        return run;
    run.exitCode = p.exitCode();
    run.out = QString::fromUtf8(p.readAllStandardOutput());
    run.err = QString::fromUtf8(p.readAllStandardError());
    return run;
}

}  // namespace

class TstSchema : public QObject {
    Q_OBJECT

    QSqlDatabase db_;

    // Opens a database through QIBASE as the program does; false (and a failure) if not.
    bool open(const QString& path)
    {
        close();
        db::prepareEmbeddedEngine();
        db_ = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"), connectionName);
        db_.setDatabaseName(path);
        const installation::DatabaseSettings settings = installation::databaseSettings(path);
        db_.setUserName(settings.user);
        db_.setPassword(settings.password);
        if (!db_.open()) {
            QTest::qFail(qPrintable(QStringLiteral("cannot open %1: %2").arg(path, db_.lastError().text())), __FILE__,
                         __LINE__);
            return false;
        }
        return true;
    }

    bool openFresh(const QString& kind) { return open(support::TestDatabase::fresh(kind)); }

    void close()
    {
        if (db_.isValid())
            db_.close();
        db_ = QSqlDatabase();
        QSqlDatabase::removeDatabase(connectionName);
    }

    // Runs a statement; on failure the error text is returned in *error, or the test fails.
    Rows query(const QString& sql, const QVariantList& binds = {}, QString* error = nullptr)
    {
        Rows rows;
        QSqlQuery q(db_);
        q.setForwardOnly(true);
        bool ok = q.prepare(sql);
        if (ok) {
            for (const QVariant& v : binds)
                q.addBindValue(v);
            ok = q.exec();
        }
        if (!ok) {
            const QString text = q.lastError().databaseText() + QLatin1Char(' ') + q.lastError().driverText();
            if (error)
                *error = text;
            else
                QTest::qFail(qPrintable(QStringLiteral("%1\n  in: %2").arg(text, sql)), __FILE__, __LINE__);
            return rows;
        }
        while (q.next()) {
            QVariantList row;
            for (int i = 0; i < q.record().count(); ++i)
                row << q.value(i);
            rows << row;
        }
        return rows;
    }

    QVariant scalar(const QString& sql, const QVariantList& binds = {})
    {
        const Rows rows = query(sql, binds);
        return rows.isEmpty() ? QVariant() : rows.first().value(0);
    }

    QStringList texts(const QString& sql, const QVariantList& binds = {})
    {
        QStringList out;
        for (const QVariantList& row : query(sql, binds))
            out << row.value(0).toString().trimmed();
        return out;
    }

    // The installation of the demonstration: year, UF, municipality.
    QVariantList installation()
    {
        return query(QStringLiteral("select nu_ano_compet, co_uf, co_cidade from tb_parametro_korva")).value(0);
    }

private slots:
    void cleanup() { close(); }

    void databaseIsDialect1Win1252()
    {
        QVERIFY(openFresh(QStringLiteral("empty")));
        const QVariantList mon =
            query(QStringLiteral("select mon$sql_dialect, mon$page_size, mon$forced_writes from mon$database")).value(0);
        QCOMPARE(mon.value(0).toInt(), 1);
        QCOMPARE(mon.value(1).toInt(), 8192);
        QCOMPARE(mon.value(2).toInt(), 1);
        QCOMPARE(scalar(QStringLiteral("select rdb$character_set_name from rdb$database")).toString().trimmed(),
                 QStringLiteral("WIN1252"));
    }

    void tablesColumnsAndKeys_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QStringList>("columns");
        QTest::addColumn<QStringList>("key");
        const QString year = QStringLiteral("NU_ANO_COMPET");
        const QStringList triple = {year, QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE")};
        const QStringList month = triple + QStringList{QStringLiteral("NU_MES_COMPET")};
        auto row = [](const char* table, const QString& columns, const QStringList& key) {
            QTest::newRow(table) << QString::fromLatin1(table) << columns.split(QLatin1Char(' ')) << key;
        };
        row("TB_UNIDADE_FEDERACAO", "CO_UF NO_UF", {"CO_UF"});
        row("TB_CIDADE", "CO_SEQ_CIDADE NO_CIDADE CO_UF CO_MUNICIPIO_IBGE", {"CO_SEQ_CIDADE"});
        row("TB_FORMA_PACTUACAO", "CO_FORMA_PACTUACAO DS_FORMA_PACTUACAO", {"CO_FORMA_PACTUACAO"});
        row("TB_CIDADE_PACTUACAO", "NU_ANO_COMPET CO_UF CO_CIDADE CO_FORMA_PACTUACAO QT_POPULACAO NU_ANO_CENSO", triple);
        row("TB_ITEM_CENSO_IBGE", "CO_ITEM_CENSO DS_ITEM_CENSO", {"CO_ITEM_CENSO"});
        row("RL_CIDADE_ITEMCENSOIBGE", "CO_CIDADE NU_ANO_CENSO CO_ITEM_CENSO QT_POPULACAO",
            {"CO_CIDADE", "NU_ANO_CENSO", "CO_ITEM_CENSO"});
        row("TB_REPASSE_MESTRE",
            "NU_ANO_COMPET VL_REPASSE_MUNICIPAL_MESTRE VL_REPASSE_ESTADUAL_MESTRE VL_REPASSE_FEDERAL_MESTRE", {year});
        row("TB_REPASSE_ESTADUAL_EXCESSAO", "NU_ANO_COMPET CO_UF VL_REPASSE_ESTADUAL_EXCESSAO", {year, "CO_UF"});
        row("TB_REPASSE_MUNICIPAL_EXCESSAO", "NU_ANO_COMPET CO_UF CO_CIDADE VL_REPASSE_MUNICIPAL_EXCESSAO", triple);
        row("TB_TOTAL_INCENTIVO_ANUAL", "NU_ANO_COMPET CO_UF CO_CIDADE VL_FEDERAL VL_ESTADUAL VL_MUNICIPAL", triple);
        row("TB_ELENCO_MINIMO", "CO_SEQ_MEDICAMENTO DS_MEDICAMENTO PACTUADA ST_ELENCO_MINIMO", {"CO_SEQ_MEDICAMENTO"});
        row("RL_ELENCOMINIMO_UF", "CO_UF CO_MEDICAMENTO DT_VALIDADE", {"CO_UF", "CO_MEDICAMENTO"});
        row("TB_PARAMETRO_KORVA",
            "SG_SISTEMA NO_SISTEMA DS_CABECALHO1 DS_CABECALHO2 DS_CABECALHO3 DS_PATH_ATUALIZACAO_SISTEMA "
            "NU_ANO_COMPET CO_UF CO_CIDADE",
            {});
        row("TB_MOVIMENTO_MUNICIPIO",
            "NU_ANO_COMPET CO_UF CO_CIDADE NU_MES_COMPET VL_SALDO_ANTERIOR VL_ALOC_FEDERAL VL_ALOC_ESTADUAL "
            "VL_ALOC_MUNICIPAL VL_REC_GASTOS SITUACAO VL_TOT_OUTROS_PACTUADA VL_ALOC_MED DT_FECHAMENTO DT_ENVIO "
            "VL_RENDIMENTOS_APLICADOS",
            month);
        row("TB_SALDO_INICIAL_MUNICIPIO", "NU_ANO_COMPET CO_UF CO_CIDADE VL_SALDO_MUNICIPIO NU_MES_COMPET", triple);
        row("TB_FONTE_COMPROVACAO_MUNICIPIO",
            "NU_ANO_COMPET CO_UF CO_CIDADE NU_MES_COMPET CO_SEQ_DOC ST_TIPO_DOC NU_FAVORECIDO NR_NUMERO_DOC "
            "ST_TIPO_FAVORECIDO DT_DOC VL_DOC",
            month + QStringList{"CO_SEQ_DOC"});
        row("TB_EXECUCAO_FISICA_MUNICIPIO",
            "NU_ANO_COMPET CO_UF CO_CIDADE NU_MES_COMPET CO_SEQ_MED CO_SEQ_MEDICAMENTO QT_MEDICAMENTO VL_UNITARIO "
            "VL_TOTAL ST_ORIGEM",
            month + QStringList{"CO_SEQ_MED"});
        row("VIEW_UNION", "NU_ANO_COMPET CO_UF CO_CIDADE NU_MES_COMPET ELENCO_MINIMO TOT_OUTROS_PACTUADA", {});
    }

    void tablesColumnsAndKeys()
    {
        QFETCH(QString, table);
        QFETCH(QStringList, columns);
        QFETCH(QStringList, key);
        QVERIFY(openFresh(QStringLiteral("empty")));
        QCOMPARE(texts(QStringLiteral("select rdb$field_name from rdb$relation_fields where rdb$relation_name = ? "
                                      "order by rdb$field_position"),
                       {table}),
                 columns);
        QCOMPARE(texts(QStringLiteral("select s.rdb$field_name from rdb$relation_constraints c "
                                      "join rdb$index_segments s on s.rdb$index_name = c.rdb$index_name "
                                      "where c.rdb$relation_name = ? and c.rdb$constraint_type = 'PRIMARY KEY' "
                                      "order by s.rdb$field_position"),
                       {table}),
                 key);
    }

    // The physical types the program relies on.
    void columnTypes()
    {
        QVERIFY(openFresh(QStringLiteral("empty")));
        const QString userColumns = QStringLiteral(
            "from rdb$relation_fields rf join rdb$fields f on f.rdb$field_name = rf.rdb$field_source "
            "join rdb$relations r on r.rdb$relation_name = rf.rdb$relation_name "
            "where coalesce(r.rdb$system_flag, 0) = 0 and r.rdb$view_blr is null ");
        // 14 CHAR (comes back padded), 35 TIMESTAMP (dialect-1 DATE), 27 DOUBLE, 7 SMALLINT, 8 INTEGER.
        QCOMPARE(texts(QStringLiteral("select rf.rdb$field_name ") + userColumns + QStringLiteral("and f.rdb$field_type = 14")),
                 QStringList());
        QCOMPARE(texts(QStringLiteral("select rf.rdb$field_name ") + userColumns +
                       QStringLiteral("and rf.rdb$field_name starting with 'DT_' and f.rdb$field_type <> 35")),
                 QStringList());
        QCOMPARE(texts(QStringLiteral("select rf.rdb$field_name ") + userColumns +
                       QStringLiteral("and (rf.rdb$field_name starting with 'VL_' or rf.rdb$field_name = 'QT_POPULACAO') "
                                      "and f.rdb$field_type <> 27")),
                 QStringList());
        const QString typeOf = QStringLiteral("select f.rdb$field_type ") + userColumns +
                               QStringLiteral("and rf.rdb$relation_name = ? and rf.rdb$field_name = ?");
        QCOMPARE(scalar(typeOf, {"TB_FONTE_COMPROVACAO_MUNICIPIO", "CO_SEQ_DOC"}).toInt(), 7);
        QCOMPARE(scalar(typeOf, {"TB_EXECUCAO_FISICA_MUNICIPIO", "CO_SEQ_MED"}).toInt(), 7);
        QCOMPARE(scalar(typeOf, {"TB_ELENCO_MINIMO", "CO_SEQ_MEDICAMENTO"}).toInt(), 7);
        QCOMPARE(scalar(typeOf, {"TB_EXECUCAO_FISICA_MUNICIPIO", "QT_MEDICAMENTO"}).toInt(), 8);

        const QStringList collated = texts(
            QStringLiteral("select trim(rf.rdb$relation_name) || '.' || trim(rf.rdb$field_name) ") + userColumns +
            QStringLiteral("and exists (select 1 from rdb$collations co where co.rdb$collation_id = rf.rdb$collation_id "
                           "and co.rdb$character_set_id = f.rdb$character_set_id "
                           "and co.rdb$collation_name = 'WIN_PTBR') order by 1"));
        for (const char* name : {"TB_CIDADE.NO_CIDADE", "TB_UNIDADE_FEDERACAO.NO_UF", "TB_ELENCO_MINIMO.DS_MEDICAMENTO",
                                 "TB_FORMA_PACTUACAO.DS_FORMA_PACTUACAO"})
            QVERIFY2(collated.contains(QString::fromLatin1(name)), name);
    }

    void referenceData()
    {
        QVERIFY(openFresh(QStringLiteral("empty")));
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_unidade_federacao")).toInt(), 27);
        QVERIFY(scalar(QStringLiteral("select count(*) from tb_cidade")).toInt() >= 5500);
        // Six characters: the first six digits of the seven-digit code.
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_cidade where co_municipio_ibge is null or "
                                       "char_length(co_municipio_ibge) <> 6 or "
                                       "substring(cast(co_seq_cidade as varchar(7)) from 1 for 6) <> co_municipio_ibge"))
                     .toInt(),
                 0);
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_cidade c where not exists "
                                       "(select 1 from tb_unidade_federacao u where u.co_uf = c.co_uf)"))
                     .toInt(),
                 0);
        QCOMPARE(scalar(QStringLiteral("select count(distinct co_uf) from tb_cidade")).toInt(), 27);
        // Accents survive the way in and out.
        QCOMPARE(scalar(QStringLiteral("select no_cidade from tb_cidade where co_seq_cidade = 3550308")).toString(),
                 QStringLiteral("São Paulo"));
        QCOMPARE(scalar(QStringLiteral("select no_uf from tb_unidade_federacao where co_uf = 'PI'")).toString(),
                 QStringLiteral("Piauí"));

        QCOMPARE(texts(QStringLiteral("select co_forma_pactuacao from tb_forma_pactuacao order by 1")),
                 QStringList({"PCE", "PDM", "TCE", "TDM"}));
        QCOMPARE(texts(QStringLiteral("select distinct st_elenco_minimo from tb_elenco_minimo order by 1")),
                 QStringList({"N", "S"}));
        QVERIFY(scalar(QStringLiteral("select count(*) from tb_elenco_minimo")).toInt() >= 30);
        QCOMPARE(scalar(QStringLiteral("select count(*) from rl_elencominimo_uf r where not exists "
                                       "(select 1 from tb_elenco_minimo m where m.co_seq_medicamento = r.co_medicamento)"))
                     .toInt(),
                 0);
        QCOMPARE(scalar(QStringLiteral("select count(distinct co_uf) from rl_elencominimo_uf")).toInt(), 27);
        QVERIFY(scalar(QStringLiteral("select count(*) from tb_item_censo_ibge")).toInt() >= 1);
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_cidade c where c.co_uf = 'MG' and not exists "
                                       "(select 1 from rl_cidade_itemcensoibge r where r.co_cidade = c.co_seq_cidade)"))
                     .toInt(),
                 0);
    }

    void duplicateKeyRefused_data()
    {
        QTest::addColumn<QString>("insert");
        QTest::addColumn<QVariantList>("values");
        QTest::newRow("pact") << "insert into tb_cidade_pactuacao (nu_ano_compet, co_uf, co_cidade, "
                                 "co_forma_pactuacao, qt_populacao) values (?, ?, ?, ?, ?)"
                              << QVariantList{"2003", "MG", 3138203, "TDM", 1000.0};
        QTest::newRow("movement header")
            << "insert into tb_movimento_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, situacao) "
               "values (?, ?, ?, ?, ?)"
            << QVariantList{"2003", "MG", 3138203, "10", "1"};
        QTest::newRow("initial balance") << "insert into tb_saldo_inicial_municipio (nu_ano_compet, co_uf, co_cidade, "
                                            "vl_saldo_municipio, nu_mes_compet) values (?, ?, ?, ?, ?)"
                                         << QVariantList{"2003", "MG", 0, 10.5, "1"};
        QTest::newRow("annual incentive") << "insert into tb_total_incentivo_anual (nu_ano_compet, co_uf, co_cidade, "
                                             "vl_federal) values (?, ?, ?, ?)"
                                          << QVariantList{"2003", "MG", 3138203, 1.0};
        QTest::newRow("standard rates")
            << "insert into tb_repasse_mestre (nu_ano_compet, vl_repasse_federal_mestre) values (?, ?)"
            << QVariantList{"2003", 1.0};
        QTest::newRow("municipal exception")
            << "insert into tb_repasse_municipal_excessao (nu_ano_compet, co_uf, co_cidade, "
               "vl_repasse_municipal_excessao) values (?, ?, ?, ?)"
            << QVariantList{"2003", "MG", 3138203, 0.8};
        QTest::newRow("medication") << "insert into tb_elenco_minimo (co_seq_medicamento, ds_medicamento) values (?, ?)"
                                    << QVariantList{900, "Teste"};
    }

    void duplicateKeyRefused()
    {
        QFETCH(QString, insert);
        QFETCH(QVariantList, values);
        QVERIFY(openFresh(QStringLiteral("empty")));
        query(insert, values);
        QString error;
        query(insert, values, &error);
        QVERIFY2(error.contains(QLatin1String("violation of PRIMARY or UNIQUE KEY")), qPrintable(error));
    }

    // Neither the window nor the import gives the line number: null, 0 (how QIBASE binds
    // a null for a NOT NULL column) and a left-out column all get a number of their own.
    void lineNumbersGivenByTheDatabase_data()
    {
        QTest::addColumn<QString>("table");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("columns");  // besides the month key and the number
        QTest::addColumn<QVariantList>("values");
        QTest::newRow("documents") << "TB_FONTE_COMPROVACAO_MUNICIPIO"
                                   << "CO_SEQ_DOC"
                                   << "ST_TIPO_DOC, NU_FAVORECIDO, VL_DOC" << QVariantList{"N", "21436587000156", 150.0};
        QTest::newRow("medications") << "TB_EXECUCAO_FISICA_MUNICIPIO"
                                     << "CO_SEQ_MED"
                                     << "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_TOTAL" << QVariantList{28, 10, 1.5};
    }

    void lineNumbersGivenByTheDatabase()
    {
        QFETCH(QString, table);
        QFETCH(QString, number);
        QFETCH(QString, columns);
        QFETCH(QVariantList, values);
        QVERIFY(openFresh(QStringLiteral("empty")));
        const QVariantList key = {"2004", "MG", 3138203, "10"};
        const QString marks = QStringLiteral(", ?").repeated(values.size());
        const QString head = QStringLiteral("insert into %1 (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, %2")
                                 .arg(table, columns);
        // Identical lines, so that only the number tells them apart.
        query(head + QStringLiteral(") values (?, ?, ?, ?") + marks + QLatin1Char(')'), key + values);
        query(head + QStringLiteral(", %1) values (?, ?, ?, ?").arg(number) + marks + QStringLiteral(", ?)"),
              key + values + QVariantList{QVariant()});
        query(head + QStringLiteral(", %1) values (?, ?, ?, ?").arg(number) + marks + QStringLiteral(", ?)"),
              key + values + QVariantList{0});
        query(head + QStringLiteral(") values (?, ?, ?, ?") + marks + QLatin1Char(')'), key + values);

        const QString numbers = QStringLiteral("select %1 from %2 where nu_ano_compet = ? and co_uf = ? and "
                                               "co_cidade = ? and nu_mes_compet = ? order by 1")
                                    .arg(number, table);
        const QStringList got = texts(numbers, key);
        QCOMPARE(got.size(), 4);
        QCOMPARE(QSet<QString>(got.begin(), got.end()).size(), 4);
        for (const QString& n : got)
            QVERIFY2(n.toInt() > 0, qPrintable(n));
    }

    void monthsOrderAsNumbers()
    {
        QVERIFY(openFresh(QStringLiteral("empty")));
        for (const char* month : {"10", "2", "12", "1", "9", "11"})
            query(QStringLiteral("insert into tb_movimento_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, "
                                 "situacao) values ('2004', 'MG', 0, ?, '2')"),
                  {QString::fromLatin1(month)});
        const QString select = QStringLiteral("select nu_mes_compet from tb_movimento_municipio where co_cidade = 0 ");
        QCOMPARE(texts(select + QStringLiteral("order by cast(nu_mes_compet as integer)")),
                 QStringList({"1", "2", "9", "10", "11", "12"}));
        // Stored as text: without the cast "10" comes before "2".
        QCOMPARE(texts(select + QStringLiteral("order by nu_mes_compet")),
                 QStringList({"1", "10", "11", "12", "2", "9"}));
    }

    void accentedNamesSortWithTheirLetter_data()
    {
        QTest::addColumn<QString>("uf");
        QTest::addColumn<QString>("name");
        QTest::newRow("MT") << "MT" << QStringLiteral("Água Boa");
        QTest::newRow("MG") << "MG" << QStringLiteral("Água Boa");
        QTest::newRow("SP") << "SP" << QStringLiteral("Águas de Lindóia");
    }

    void accentedNamesSortWithTheirLetter()
    {
        QFETCH(QString, uf);
        QFETCH(QString, name);
        QVERIFY(openFresh(QStringLiteral("empty")));
        const QStringList names = texts(QStringLiteral("select no_cidade from tb_cidade where co_uf = ? order by no_cidade"), {uf});
        QVERIFY(names.contains(name));
        // By first letter, accents set aside: "Água Boa" among the A's, not after the Z's.
        auto letter = [](const QString& s) { return s.normalized(QString::NormalizationForm_D).at(0).toUpper(); };
        for (int i = 1; i < names.size(); ++i)
            QVERIFY2(letter(names[i - 1]) <= letter(names[i]), qPrintable(names[i - 1] + QStringLiteral(" / ") + names[i]));
    }

    // The total-value report's query, as it reads the view, against the medication lines.
    void viewUnionSplitsTheMonth()
    {
        QVERIFY(openFresh(QStringLiteral("demo")));
        const QVariantList inst = installation();
        const Rows view = query(
            QStringLiteral("SELECT NU_ANO_COMPET,CO_UF,CO_CIDADE,cast(NU_MES_COMPET as Float) NU_MES_COMPET,\n"
                           "SUM(ELENCO_MINIMO)  ELENCO_MINIMO,\n"
                           "SUM( TOT_OUTROS_PACTUADA )         TOT_OUTROS_PACTUADA\n"
                           "FROM VIEW_UNION\n"
                           "WHERE NU_ANO_COMPET = :NU_ANO_COMPET and\n"
                           "CO_UF = :CO_UF and\n"
                           "CO_CIDADE = :CO_CIDADE and\n"
                           "cast(NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and\n"
                           "cast(NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM\n"
                           "GROUP BY NU_ANO_COMPET,CO_UF,CO_CIDADE,NU_MES_COMPET\n"
                           "ORDER BY NU_ANO_COMPET,CO_UF,CO_CIDADE,4"),
            inst + QVariantList{1, 12});

        QMap<int, std::pair<double, double>> expected;
        for (const QVariantList& line :
             query(QStringLiteral("select cast(e.nu_mes_compet as integer), e.vl_total, m.st_elenco_minimo "
                                  "from tb_execucao_fisica_municipio e left join tb_elenco_minimo m "
                                  "on m.co_seq_medicamento = e.co_seq_medicamento "
                                  "where e.nu_ano_compet = ? and e.co_uf = ? and e.co_cidade = ?"),
                   inst)) {
            auto& split = expected[line[0].toInt()];
            (line[2].toString() == QLatin1String("S") ? split.first : split.second) += line[1].toDouble();
        }
        QVERIFY(expected.size() >= 3);
        QCOMPARE(view.size(), expected.size());
        bool bothParts = false;
        for (const QVariantList& row : view) {
            const auto split = expected.value(row[3].toInt());
            QCOMPARE(money(row[4].toDouble()), money(split.first));
            QCOMPARE(money(row[5].toDouble()), money(split.second));
            bothParts = bothParts || (split.first > 0 && split.second > 0);
        }
        QVERIFY(bothParts);
    }

    void demoClosedMonthsPassTheClosingChecks()
    {
        QVERIFY(openFresh(QStringLiteral("demo")));
        const QVariantList inst = installation();
        const Rows months = query(
            QStringLiteral("select nu_mes_compet, situacao, vl_rec_gastos, vl_aloc_med, vl_tot_outros_pactuada, "
                           "dt_fechamento, dt_envio from tb_movimento_municipio "
                           "where nu_ano_compet = ? and co_uf = ? and co_cidade = ? order by cast(nu_mes_compet as integer)"),
            inst);
        int closed = 0, open = 0;
        for (const QVariantList& m : months) {
            const QString month = m[0].toString();
            const QString state = m[1].toString();
            if (state == QLatin1String("1")) {
                ++open;
                continue;
            }
            ++closed;
            const QVariantList key = inst + QVariantList{month};
            const double lines = scalar(QStringLiteral("select sum(vl_total) from tb_execucao_fisica_municipio where "
                                                       "nu_ano_compet = ? and co_uf = ? and co_cidade = ? and nu_mes_compet = ?"),
                                        key)
                                     .toDouble();
            const double others = scalar(QStringLiteral("select sum(e.vl_total) from tb_execucao_fisica_municipio e "
                                                        "join tb_elenco_minimo m on m.co_seq_medicamento = e.co_seq_medicamento "
                                                        "where e.nu_ano_compet = ? and e.co_uf = ? and e.co_cidade = ? and "
                                                        "e.nu_mes_compet = ? and m.st_elenco_minimo <> 'S'"),
                                         key)
                                      .toDouble();
            const QString byType = QStringLiteral("select coalesce(sum(vl_doc), 0) from tb_fonte_comprovacao_municipio where "
                                                  "nu_ano_compet = ? and co_uf = ? and co_cidade = ? and nu_mes_compet = ? "
                                                  "and st_tipo_doc = ?");
            const double invoices = scalar(byType, key + QVariantList{"N"}).toDouble();
            const double deliveryNotes = scalar(byType, key + QVariantList{"G"}).toDouble();
            const QString spent = money(m[2].toDouble());
            QVERIFY2(spent == money(lines), qPrintable(month));
            QVERIFY2(spent == money(invoices + deliveryNotes), qPrintable(month));
            QVERIFY2(money(m[3].toDouble()) == money(deliveryNotes), qPrintable(month));
            QVERIFY2(money(m[4].toDouble()) == money(others), qPrintable(month));
            QVERIFY2(m[5].toDateTime().isValid(), qPrintable(month));
            QVERIFY2(state == QLatin1String("2") || (state == QLatin1String("3") && m[6].toDateTime().isValid()),
                     qPrintable(month));
        }
        QVERIFY(closed >= 3);
        QCOMPARE(open, 1);
    }

    // What the follow-up window and the document checks would find in the demonstration.
    void demoFollowUpIsWellFormed()
    {
        QVERIFY(openFresh(QStringLiteral("demo")));
        const QVariantList inst = installation();
        const int year = inst.value(0).toInt();
        QCOMPARE(year, QDate::currentDate().year());
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_cidade_pactuacao where nu_ano_compet = ? and co_uf = ? "
                                       "and co_cidade = ?"),
                        inst)
                     .toInt(),
                 1);

        // The balance brought forward is the previous month's, without its income.
        const Rows months = query(
            QStringLiteral("select nu_mes_compet, vl_saldo_anterior, vl_aloc_federal, vl_aloc_estadual, vl_aloc_municipal, "
                           "vl_aloc_med, vl_rec_gastos from tb_movimento_municipio "
                           "where nu_ano_compet = ? and co_uf = ? and co_cidade = ? order by cast(nu_mes_compet as integer)"),
            inst);
        QVERIFY(months.size() >= 4);
        QCOMPARE(money(scalar(QStringLiteral("select vl_saldo_municipio from tb_saldo_inicial_municipio where "
                                             "nu_ano_compet = ? and co_uf = ? and co_cidade = ?"),
                              inst)
                           .toDouble()),
                 money(months[0][1].toDouble()));
        for (int i = 1; i < months.size(); ++i) {
            const QVariantList& p = months[i - 1];
            const double carried = p[1].toDouble() + p[2].toDouble() + p[3].toDouble() + p[4].toDouble() +
                                   p[5].toDouble() - p[6].toDouble();
            QVERIFY2(carried >= 0, qPrintable(p[0].toString()));
            QCOMPARE(money(months[i][1].toDouble()), money(carried));
        }

        for (const QVariantList& l :
             query(QStringLiteral("select vl_unitario, qt_medicamento, vl_total, st_origem from tb_execucao_fisica_municipio "
                                  "where nu_ano_compet = ? and co_uf = ? and co_cidade = ?"),
                   inst)) {
            QCOMPARE(money(l[0].toDouble() * l[1].toDouble()), money(l[2].toDouble()));
            QVERIFY(l[3].toString() == QLatin1String("M") || l[3].toString() == QLatin1String("E"));
        }

        QMap<QString, QString> typeOfPayee;
        QSet<QString> documentsOfPayee;
        for (const QVariantList& d :
             query(QStringLiteral("select nu_mes_compet, st_tipo_doc, nu_favorecido, nr_numero_doc, st_tipo_favorecido, "
                                  "dt_doc, vl_doc from tb_fonte_comprovacao_municipio "
                                  "where nu_ano_compet = ? and co_uf = ? and co_cidade = ?"),
                   inst)) {
            const QString what = d[3].toString();
            const QString type = d[1].toString();
            const QString payee = d[2].toString();
            const QString payeeType = d[4].toString();
            QVERIFY2(QStringList({"N", "E", "D", "G"}).contains(type), qPrintable(what));
            QVERIFY2(validCnpj(payee), qPrintable(payee));
            QVERIFY2(type == QLatin1String("D") ? payeeType.isEmpty()
                                                 : QStringList({"1", "2", "3", "4", "5"}).contains(payeeType),
                     qPrintable(what));
            QVERIFY2(type != QLatin1String("G") || payeeType == QLatin1String("5"), qPrintable(what));
            QVERIFY2(typeOfPayee.value(payee, payeeType) == payeeType, qPrintable(payee));
            typeOfPayee.insert(payee, payeeType);
            QVERIFY2(!documentsOfPayee.contains(payee + what), qPrintable(what));
            documentsOfPayee.insert(payee + what);
            const QDate date = d[5].toDateTime().date();
            QVERIFY2(date.year() == year && date.month() == d[0].toInt(), qPrintable(what));
            QVERIFY2(d[6].toDouble() > 0, qPrintable(what));
        }
        QVERIFY(typeOfPayee.size() >= 5);
    }

    // The annual incentive is what the calculation makes of the pacts and the rates.
    void demoIncentiveFollowsTheRates()
    {
        QVERIFY(openFresh(QStringLiteral("demo")));
        const QVariant year = installation().value(0);
        const Rows rows = query(
            QStringLiteral("select p.qt_populacao, m.vl_repasse_federal_mestre, "
                           "coalesce(e.vl_repasse_estadual_excessao, m.vl_repasse_estadual_mestre), "
                           "coalesce(x.vl_repasse_municipal_excessao, m.vl_repasse_municipal_mestre), "
                           "t.vl_federal, t.vl_estadual, t.vl_municipal, p.co_cidade "
                           "from tb_cidade_pactuacao p "
                           "join tb_repasse_mestre m on m.nu_ano_compet = p.nu_ano_compet "
                           "left join tb_repasse_estadual_excessao e on e.nu_ano_compet = p.nu_ano_compet and e.co_uf = p.co_uf "
                           "left join tb_repasse_municipal_excessao x on x.nu_ano_compet = p.nu_ano_compet "
                           "and x.co_uf = p.co_uf and x.co_cidade = p.co_cidade "
                           "left join tb_total_incentivo_anual t on t.nu_ano_compet = p.nu_ano_compet "
                           "and t.co_uf = p.co_uf and t.co_cidade = p.co_cidade "
                           "where p.nu_ano_compet = ?"),
            {year});
        QVERIFY(rows.size() >= 100);
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_total_incentivo_anual where nu_ano_compet = ?"), {year}).toInt(),
                 int(rows.size()));
        QVERIFY(scalar(QStringLiteral("select count(*) from tb_repasse_municipal_excessao where nu_ano_compet = ?"), {year})
                    .toInt() > 0);
        QVERIFY(scalar(QStringLiteral("select count(*) from tb_repasse_estadual_excessao where nu_ano_compet = ?"), {year})
                    .toInt() > 0);
        for (const QVariantList& r : rows) {
            const double population = r[0].toDouble();
            const QByteArray which = r[7].toString().toLatin1();
            QVERIFY2(population > 0, which.constData());
            QVERIFY2(std::fabs(r[4].toDouble() - population * r[1].toDouble()) < 1e-6, which.constData());
            QVERIFY2(std::fabs(r[5].toDouble() - population * r[2].toDouble()) < 1e-6, which.constData());
            QVERIFY2(std::fabs(r[6].toDouble() - population * r[3].toDouble()) < 1e-6, which.constData());
        }

        // The months' transfers are a twelfth of the installation's computed shares.
        const QVariantList inst = installation();
        const Rows january = query(
            QStringLiteral("select m.vl_aloc_federal, m.vl_aloc_municipal, t.vl_federal, t.vl_municipal "
                           "from tb_movimento_municipio m join tb_total_incentivo_anual t on t.nu_ano_compet = m.nu_ano_compet "
                           "and t.co_uf = m.co_uf and t.co_cidade = m.co_cidade "
                           "where m.nu_ano_compet = ? and m.co_uf = ? and m.co_cidade = ? and m.nu_mes_compet = '1'"),
            inst);
        QCOMPARE(january.size(), 1);
        QCOMPARE(money(january[0][0].toDouble()), money(january[0][2].toDouble() / 12));
        QCOMPARE(money(january[0][1].toDouble()), money(january[0][3].toDouble() / 12));
    }

    // A database whose last step fails is not left behind.
    void aFailedLastStepLeavesNoDatabase()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath(QStringLiteral("KORVA.GDB"));
        QString seen;
        QVERIFY_THROWS_EXCEPTION(std::runtime_error,
                                 data::createDatabase(path, false,
                                                      [&](const QString& made) {
                                                          seen = made;
                                                          throw std::runtime_error("falha");
                                                      }));
        QCOMPARE(seen, path);
        QVERIFY(!QFileInfo::exists(path));
    }

    void toolRefusesAnExistingFile()
    {
        const QString path = support::TestDatabase::fresh(QStringLiteral("empty"));
        const QByteArray before = fileHash(path);
        QVERIFY(!before.isEmpty());
        for (const QStringList& args : {QStringList{"create", path}, QStringList{"create", "--demo", path}}) {
            const ToolRun run = runTool(args);
            QCOMPARE(run.exitCode, 1);
            QVERIFY2(run.err.trimmed().count(QLatin1Char('\n')) == 0 && run.err.contains(path), qPrintable(run.err));
            QVERIFY(run.out.isEmpty());
            QCOMPARE(fileHash(path), before);
        }
    }

    void toolCreates_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("path given") << "path";
        QTest::newRow("KORVA_DATABASE") << "KORVA_DATABASE";
        QTest::newRow("KORVA_HOME") << "KORVA_HOME";
    }

    void toolCreates()
    {
        QFETCH(QString, how);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("KORVA_DATABASE"));
        env.remove(QStringLiteral("KORVA_HOME"));
        QStringList args{"create"};
        QString expected;
        if (how == QLatin1String("path")) {
            expected = dir.filePath(QStringLiteral("new/folder/BASE.GDB"));  // folders made as needed
            args << expected;
        } else if (how == QLatin1String("KORVA_DATABASE")) {
            expected = dir.filePath(QStringLiteral("other.gdb"));
            env.insert(how, expected);
            env.insert(QStringLiteral("KORVA_HOME"), dir.filePath(QStringLiteral("unused")));
        } else {
            expected = dir.filePath(QStringLiteral("KORVA.GDB"));
            env.insert(how, dir.path());
        }
        const ToolRun run = runTool(args, env);
        QCOMPARE(run.exitCode, 0);
        QVERIFY2(run.out.trimmed().count(QLatin1Char('\n')) == 0 && run.out.contains(expected), qPrintable(run.out));
        QVERIFY2(run.err.isEmpty(), qPrintable(run.err));
        QVERIFY(open(expected));
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_unidade_federacao")).toInt(), 27);
        QCOMPARE(scalar(QStringLiteral("select count(*) from tb_parametro_korva")).toInt(), 0);
        close();
    }

    void toolUsage_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<int>("exitCode");
        QTest::newRow("no arguments") << QStringList() << 2;
        QTest::newRow("help") << QStringList{"--help"} << 0;
        QTest::newRow("unknown command") << QStringList{"drop"} << 2;
        QTest::newRow("unknown option") << QStringList{"create", "--force"} << 2;
        QTest::newRow("two paths") << QStringList{"create", "a.gdb", "b.gdb"} << 2;
    }

    void toolUsage()
    {
        QFETCH(QStringList, args);
        QFETCH(int, exitCode);
        QTemporaryDir dir;
        QVERIFY(dir.isValid());
        const ToolRun run = [&] {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            env.insert(QStringLiteral("KORVA_HOME"), dir.path());
            env.remove(QStringLiteral("KORVA_DATABASE"));
            return runTool(args, env);
        }();
        QCOMPARE(run.exitCode, exitCode);
        if (exitCode == 0)
            QVERIFY(run.out.contains(QLatin1String("korva-db create")));
        else
            QVERIFY(!run.err.trimmed().isEmpty());
        QVERIFY(QDir(dir.path()).isEmpty());  // misuse creates nothing
    }
};

QTEST_GUILESS_MAIN(TstSchema)
#include "tst_schema.moc"
