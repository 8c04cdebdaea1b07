// The interchange rules without a window: the text writer and the bytes it writes, the
// strict reader, the month-by-month loader, the export with its marking, and the
// shipment-control statements, against a real database.
#include "Fixture.h"

#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
#include "interchange/rules/Carga.h"
#include "interchange/rules/Conteudo.h"
#include "interchange/rules/ControleEnvio.h"
#include "interchange/rules/Exportacao.h"
#include "interchange/rules/Leitor.h"
#include "interchange/rules/Manifesto.h"
#include "interchange/rules/TDBtxtcopy.h"
#include "interchange/rules/Tabelas.h"
#include "support/TestDatabase.h"
#include "text/Formats.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

#include <sys/stat.h>

using namespace interchange;

namespace {

QByteArray conteudo(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return QByteArray("<missing>");
    return f.readAll();
}

void grava(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QString golden(const QString& name)
{
    return qEnvironmentVariable("KORVA_SOURCE_DIR") + QStringLiteral("/tests/interchange/data/") + name;
}

// A file of a table from its rows, each a list of values, as the writer lays it out.
QByteArray arquivo(const TabelaIntercambio& t, const QList<QStringList>& rows)
{
    QStringList names;
    for (const Coluna& c : t.colunas)
        names << c.nome;
    QByteArray out = names.join(QLatin1Char('\n')).toLatin1() + "\r\n";
    for (const QStringList& r : rows)
        out += text::toWin1252(r.join(QLatin1Char('\n'))) + "\r\n";
    return out;
}

// The summary's last paragraph for municipalities whose files came without a manifest.
QString semManifesto(const QString& prefixos)
{
    return QStringLiteral("\n\nSem manifesto (arquivos de uma versão anterior do KORVA, ou copiados sem ele), conferidos só "
                          "pelo formato: %1.")
        .arg(prefixos);
}

const TabelaIntercambio& tabela(const char* palavra)
{
    for (const TabelaIntercambio& t : tabelasIntercambio())
        if (t.palavra == QLatin1String(palavra))
            return t;
    qFatal("no table %s", palavra);
}

QStringList movimento(int mes, const QString& saldo = QStringLiteral("100"), int cidade = fixture::lavras)
{
    return {fixture::ano, fixture::uf, QString::number(cidade), QString::number(mes), saldo, QStringLiteral("50"),
            QStringLiteral("10,5"), QStringLiteral("10"), QStringLiteral("150,25"), QStringLiteral("2"), QStringLiteral("0"),
            QStringLiteral("20"), QStringLiteral("05/02/2003"), QString(), QStringLiteral("5")};
}

QStringList execucao(int mes, int medicamento, const QString& total = QStringLiteral("10"))
{
    return {fixture::ano, fixture::uf, QString::number(fixture::lavras), QString::number(mes), QStringLiteral("7"),
            QString::number(medicamento), QStringLiteral("100"), QStringLiteral("0,1"), total, QStringLiteral("M")};
}

}  // namespace

class TestInterchangeRules : public QObject {
    Q_OBJECT

    std::unique_ptr<db::Connection> c;
    std::unique_ptr<QTemporaryDir> pasta;

    QString caminho(const QString& nome) const { return pasta->filePath(nome); }
    QString nomeArquivo(const char* palavra) const
    {
        return fixture::uf + fixture::ano + QStringLiteral("313820") + QString::fromLatin1(palavra) + QStringLiteral(".TXT");
    }
    Instalacao lavras() const { return {fixture::ano, fixture::uf, fixture::lavras, QStringLiteral("313820")}; }

    // A statement that changes the schema (it counts no rows).
    void ddl(const QString& sql)
    {
        db::Statement s(*c, {sql});
        s.setCountsRows(false);
        s.exec();
    }

    // A dataset over a select of constants.
    std::unique_ptr<db::Dataset> consulta(const QString& sql)
    {
        auto ds = std::make_unique<db::Dataset>(c.get(), QStringLiteral("Consulta"));
        ds->setSql(sql);
        ds->open();
        return ds;
    }

private slots:
    void initTestCase() { text::setBrazilianFormats(); }
    void init()
    {
        support::TestDatabase::fresh(QStringLiteral("empty"));
        c = std::make_unique<db::Connection>();
        support::TestDatabase::configure(*c);
        c->open();
        pasta = std::make_unique<QTemporaryDir>();
        setLinhasPorTransacao(20000);
        // The tests' files are written just before they are imported.
        setIdadeMinimaArquivo(0);
    }
    void cleanup()
    {
        c.reset();
        pasta.reset();
    }

    // --- the writer ------------------------------------------------------------------

    void writerExampleBytes()
    {
        auto ds = consulta(QStringLiteral("select 1 as A, cast('x' as varchar(5)) as B, cast(2.5 as double precision) as C "
                                          "from rdb$database union all "
                                          "select 2, cast(null as varchar(5)), cast(3 as double precision) from rdb$database"));
        ds->next();
        const int antes = ds->recNo();
        TDBtxtcopy w;
        w.setDataSet(ds.get());
        w.setSeparator(10);
        const QString path = caminho(QStringLiteral("exemplo.txt"));
        w.setFileName(path);
        w.Execute();
        QCOMPARE(conteudo(path), conteudo(golden(QStringLiteral("exemplo.txt"))));
        QVERIFY(w.FieldsOrder().isEmpty());
        QCOMPARE(ds->recNo(), antes);
        QVERIFY(!ds->controlsDisabled());
        // Again with the emptied list: the same header.
        QFile::remove(path);
        w.Execute();
        QCOMPARE(conteudo(path), conteudo(golden(QStringLiteral("exemplo.txt"))));
        QVERIFY(w.FieldsOrder().isEmpty());
    }

    void writerFormats_data()
    {
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("separator");
        QTest::addColumn<QString>("expected");
        // T is text of 4, I an integer, D a date.
        QTest::newRow("delimited tab") << int(sfDelimited) << 9
                                       << "T\tI\tD\r\nabcd\t12345\t05/02/2004\r\nxy\t-7\t\r\n";
        QTest::newRow("delimited, null last") << int(sfDelimited) << int(';') << "T;I;D\r\nabcd;12345;05/02/2004\r\nxy;-7;\r\n";
        QTest::newRow("SDF: text 4 in 5, integer cut to 4") << int(sfSDF) << 9
                                                            << "T     I    D       \r\nabcd  1234 05/02/20\r\nxy    -7           \r\n";
        QTest::newRow("CSV, nothing escaped") << int(sfCSV) << 9
                                              << "\"T\",\"I\",\"D\"\r\n\"abcd\",\"12345\",\"05/02/2004\"\r\n\"xy\",\"-7\",\"\"\r\n";
    }
    void writerFormats()
    {
        QFETCH(int, format);
        QFETCH(int, separator);
        QFETCH(QString, expected);
        auto ds = consulta(QStringLiteral("select cast('abcd' as varchar(4)) T, 12345 I, cast('2004-02-05' as date) D from rdb$database "
                                          "union all select cast('xy' as varchar(4)), -7, cast(null as date) from rdb$database"));
        TDBtxtcopy w;
        w.setDataSet(ds.get());
        w.setSaveFormat(TSaveFormatTypes(format));
        w.setSeparator(TSeparatorTypes(separator));
        QString clip;
        TDBtxtcopy::setClipboardWriter([&clip](const QString& t) { clip = t; });
        w.setSaveType(stSaveToClipBoard);
        w.Execute();
        QCOMPARE(clip, expected);
        TDBtxtcopy::setClipboardWriter({});
    }

    void writerValueTexts_data()
    {
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("expected");
        QTest::newRow("1234,5") << QVariant(1234.5) << "1234,5";
        QTest::newRow("100") << QVariant(100.0) << "100";
        QTest::newRow("0,25") << QVariant(0.25) << "0,25";
        QTest::newRow("1,5E20") << QVariant(1.5e20) << "1,5E20";
        QTest::newRow("tiny") << QVariant(0.000001) << "1E-6";
        QTest::newRow("15 digits") << QVariant(0.1 + 0.2) << "0,3";
        QTest::newRow("negative integer") << QVariant(-42) << "-42";
        QTest::newRow("date at midnight") << QVariant(QDateTime(QDate(2004, 2, 5), QTime(0, 0))) << "05/02/2004";
        QTest::newRow("date with time") << QVariant(QDateTime(QDate(2004, 2, 5), QTime(13, 4, 7))) << "05/02/2004 13:04:07";
        QTest::newRow("text untrimmed") << QVariant(QStringLiteral(" a ")) << " a ";
        QTest::newRow("null") << QVariant() << "";
    }
    void writerValueTexts()
    {
        QFETCH(QVariant, value);
        QFETCH(QString, expected);
        QCOMPARE(TDBtxtcopy::valueText(value), expected);
    }

    void writerFieldsOrder()
    {
        auto ds = consulta(QStringLiteral("select 1 as NU_ANO, cast('x' as varchar(2)) as CO_UF from rdb$database"));
        TDBtxtcopy w;
        w.setDataSet(ds.get());
        w.setFieldsOrder({QStringLiteral("CO_UF=Estado"), QStringLiteral("NU_ANO")});
        QCOMPARE(w.FieldsOrder(), (QStringList{QStringLiteral("CO_UF=Estado"), QStringLiteral("NU_ANO=")}));
        w.setSaveType(stSaveToClipBoard);
        QString clip;
        TDBtxtcopy::setClipboardWriter([&clip](const QString& t) { clip = t; });
        w.Execute();
        QCOMPARE(clip, QStringLiteral("Estado\t\r\nx\t1\r\n"));

        // A name no column has is refused when set; the entries before it stay.
        try {
            w.setFieldsOrder({QStringLiteral("CO_UF=Estado"), QStringLiteral("VL_X=Valor"), QStringLiteral("NU_ANO=Ano")});
            QFAIL("accepted");
        } catch (const EInvalidTransformation& e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid field selected for transformation:\r\nVL_X"));
        }
        QCOMPARE(w.FieldsOrder(), QStringList{QStringLiteral("CO_UF=Estado")});

        // A fragment passes the check and is refused when written: nothing written.
        w.setFieldsOrder({QStringLiteral("_A=Fragmento")});
        w.setSaveType(stSaveToFile);
        const QString path = caminho(QStringLiteral("antigo.txt"));
        grava(path, "antigo");
        w.setFileName(path);
        try {
            w.Execute();
            QFAIL("written");
        } catch (const EInvalidTransformation& e) {
            QCOMPARE(e.message(), QStringLiteral("Invalid field selected for transformation:\r\n_A"));
        }
        QCOMPARE(conteudo(path), QByteArray("antigo"));
        QVERIFY(!ds->controlsDisabled());
        TDBtxtcopy::setClipboardWriter({});
    }

    void writerDataSetAndSaveType()
    {
        auto a = consulta(QStringLiteral("select 1 as A from rdb$database"));
        auto b = consulta(QStringLiteral("select 1 as X, 2 as Y from rdb$database"));
        b->fieldByName(QStringLiteral("Y")).setDisplayLabel(QStringLiteral("Ypsilon"));
        TDBtxtcopy w;
        w.setDataSet(a.get());
        QVERIFY(w.FieldsOrder().isEmpty());  // the first dataset is only stored
        w.setDataSet(b.get());
        QCOMPARE(w.FieldsOrder(), (QStringList{QStringLiteral("X=X"), QStringLiteral("Y=Ypsilon")}));
        w.setDataSet(nullptr);
        QVERIFY(w.FieldsOrder().isEmpty());

        w.setFileName(QStringLiteral("/tmp/a.txt"));
        w.setSaveType(stSaveToClipBoard);
        QCOMPARE(w.FileName(), QString());
        w.setSaveType(stSaveToFile);
        QCOMPARE(w.FileName(), QStringLiteral("/tmp/a.txt"));
    }

    void writerLineBreaks()
    {
        auto ds = consulta(QStringLiteral("select cast('a' || ascii_char(13) || ascii_char(10) || 'b' || ascii_char(10) || 'c' || "
                                          "ascii_char(13) || 'd' as varchar(20)) as T, 1 as N from rdb$database"));
        TDBtxtcopy w;
        w.setDataSet(ds.get());
        w.setSeparator(10);
        w.setSaveType(stSaveToClipBoard);
        QString clip;
        TDBtxtcopy::setClipboardWriter([&clip](const QString& t) { clip = t; });
        w.Execute();
        // As the Part's writer has it: the breaks go out unchanged and shift the values.
        QCOMPARE(clip, QStringLiteral("T\nN\r\na\r\nb\nc\rd\n1\r\n"));
        w.setBlankLineBreaks(true);
        w.Execute();
        QCOMPARE(clip, QStringLiteral("T\nN\r\na b c d\n1\r\n"));
        TDBtxtcopy::setClipboardWriter({});
    }

    // --- the reader ------------------------------------------------------------------

    void readerRefuses_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("line");
        QTest::addColumn<QString>("reason");
        const QByteArray head = "NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\r\n";
        const QByteArray row = "2003\nMG\n3138203\n100,5\n1\r\n";
        QTest::newRow("empty") << QByteArray() << 1 << "vazio";
        QTest::newRow("BOM, not UTF-8") << QByteArray("\xEF\xBB\xBF") + head + "2003\nM\xC7\n3138203\n1\n1\r\n" << 1 << "BOM";
        QTest::newRow("BOM alone") << QByteArray("\xEF\xBB\xBF") << 1 << "vazio";
        QTest::newRow("wrong column") << QByteArray("NU_ANO_COMPET\nCO_UF\nCO_MUNICIPIO\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\r\n") + row
                                      << 3 << "esperada a coluna CO_CIDADE";
        QTest::newRow("header with a column more") << QByteArray("NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\nX\r\n")
                                                   << 6 << "mais colunas";
        QTest::newRow("header short") << QByteArray("NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\r\n") << 4
                                      << "o cabeçalho termina depois de 4 valores";
        QTest::newRow("truncated last record") << head + row + "2003\nMG\n31" << 13 << "último registro incompleto";
        QTest::newRow("last record without CR LF") << head + row + "2003\nMG\n3138203\n1\n1" << 15 << "último registro incompleto";
        QTest::newRow("extra line") << head + "2003\nMG\n3138203\n100,5\n1\n7\r\n" << 11 << "valor a mais";
        QTest::newRow("record short") << head + "2003\nMG\n3138203\n1\r\n" << 9 << "o registro termina depois de 4 valores";
        QTest::newRow("bad number") << head + row + "2003\nMG\n3138203\n12.5\n1\r\n" << 14 << "VL_SALDO_MUNICIPIO \"12.5\" não é um número";
        QTest::newRow("grouped number") << head + "2003\nMG\n3138203\n1.234,5\n1\r\n" << 9 << "não é um número";
        QTest::newRow("bad integer") << head + "2003\nMG\n31x\n1\n1\r\n" << 8 << "CO_CIDADE \"31x\" não é um número inteiro";
        QTest::newRow("key empty") << head + "2003\n\n3138203\n1\n1\r\n" << 7 << "CO_UF está vazio";
        QTest::newRow("undefined Windows-1252 byte") << head + "2003\nM\x81\n3138203\n1\n1\r\n" << 7 << "0x81";
        QTest::newRow("LF alone ends the records") << QByteArray("NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\n2003\n")
                                                   << 6 << "mais colunas";
        QTest::newRow("CR alone") << head + "2003\rMG\n3138203\n1\n1\r\n" << 6 << "CR";
        QTest::newRow("text too long") << head + "2003\nMGX\n3138203\n1\n1\r\n" << 7 << "cabem 2";
        QTest::newRow("balance month 13") << head + "2003\nMG\n3138203\n1\n13\r\n" << 10 << "NU_MES_COMPET \"13\" não é um mês";
        QTest::newRow("balance month 0") << head + "2003\nMG\n3138203\n1\n0\r\n" << 10 << "não é um mês";
        QTest::newRow("negative balance") << head + "2003\nMG\n3138203\n-0,01\n1\r\n" << 9 << "VL_SALDO_MUNICIPIO \"-0,01\" é negativo";
        QTest::newRow("year of five digits") << head + "20031\nMG\n3138203\n1\n1\r\n" << 6 << "cabem 4";
        QTest::newRow("year of three digits") << head + "203\nMG\n3138203\n1\n1\r\n" << 6 << "não é um ano de quatro algarismos";
        QTest::newRow("NUL byte") << head + QByteArray("2003\nM\0\n3138203\n1\n1\r\n", 19) << 7 << "controle";
    }
    void readerRefuses()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, line);
        QFETCH(QString, reason);
        try {
            leArquivo(bytes, tabela("TB_SALDO_INICIAL"));
            QFAIL("accepted");
        } catch (const ErroLeitura& e) {
            QVERIFY2(e.motivo().contains(reason), qPrintable(e.texto()));
            QCOMPARE(e.linha(), line);
        }
    }

    void readerMonthAndDates_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QString>("reason");
        QTest::newRow("month 13") << "NU_MES_COMPET" << "13" << "não é um mês";
        QTest::newRow("month 03") << "NU_MES_COMPET" << "03" << "não é um mês";
        QTest::newRow("31 February") << "DT_FECHAMENTO" << "31/02/2003" << "não é uma data";
        QTest::newRow("ISO date") << "DT_FECHAMENTO" << "2003-02-05" << "não é uma data";
        QTest::newRow("blank around a number") << "VL_ALOC_MED" << " 20" << "não é um número";
    }
    void readerMonthAndDates()
    {
        QFETCH(QString, column);
        QFETCH(QString, value);
        QFETCH(QString, reason);
        const TabelaIntercambio& t = tabela("TB_MOVIMENTO");
        QStringList row = movimento(2);
        for (int j = 0; j < t.colunas.size(); ++j)
            if (t.colunas[j].nome == column)
                row[j] = value;
        try {
            leArquivo(arquivo(t, {movimento(1), row}), t);
            QFAIL("accepted");
        } catch (const ErroLeitura& e) {
            QVERIFY2(e.motivo().contains(reason), qPrintable(e.texto()));
            QVERIFY(e.linha() > 30 && e.linha() <= 45);
        }
    }

    void readerValues()
    {
        const TabelaIntercambio& t = tabela("TB_MOVIMENTO");
        QStringList row = movimento(10);
        for (int j = 4; j <= 8; ++j)
            row[j] = QString();
        row[12] = QStringLiteral("05/02/2003 13:45");
        row[13] = QStringLiteral("06/02/2003 13:45:10");
        row[14] = QString();
        row[10] = QStringLiteral("+1,5E-3");
        const ArquivoLido lido = leArquivo(arquivo(t, {row}), t);
        QCOMPARE(int(lido.linhas.size()), 1);
        const QVariantList& v = lido.linhas[0].valores;
        QCOMPARE(lido.linhas[0].linha, 16);
        QCOMPARE(v[3].toString(), QStringLiteral("10"));
        for (int j = 4; j <= 8; ++j)
            QCOMPARE(v[j], QVariant(0.0));
        QCOMPARE(v[10].toDouble(), 0.0015);
        QCOMPARE(v[12].toDateTime(), QDateTime(QDate(2003, 2, 5), QTime(13, 45)));
        QCOMPARE(v[13].toDateTime(), QDateTime(QDate(2003, 2, 6), QTime(13, 45, 10)));
        QVERIFY(v[14].isNull());  // no investment income: null, not 0

        // An initial balance may leave its month empty.
        const TabelaIntercambio& s = tabela("TB_SALDO_INICIAL");
        QVERIFY(leArquivo(arquivo(s, {{fixture::ano, fixture::uf, QStringLiteral("1"), QStringLiteral("5"), QString()}}), s)
                    .linhas[0].valores[4].toString().isEmpty());

        // An empty text stays an empty text; accented text is Windows-1252.
        const TabelaIntercambio& f = tabela("TB_FONTE_COMPROVACAO");
        const QByteArray bytes = arquivo(f, {{fixture::ano, fixture::uf, QStringLiteral("1"), QStringLiteral("1"), QString(),
                                              QStringLiteral("N"), QString(), QStringLiteral("Ação nº 5"), QString(), QString(),
                                              QStringLiteral("1")}});
        QVERIFY(bytes.contains("A\xE7\xE3o n\xBA 5"));
        const QVariantList d = leArquivo(bytes, f).linhas[0].valores;
        QVERIFY(!d[6].isNull());
        QCOMPARE(d[6].toString(), QString());
        QCOMPARE(d[7].toString(), QStringLiteral("Ação nº 5"));
        QVERIFY(d[9].isNull());
    }

    void readerBounds()
    {
        // As large as a follow-up holds, and no larger.
        const TabelaIntercambio& e = tabela("TB_EXECUCAO_FISICA");
        QStringList linha = execucao(1, 5, QStringLiteral("1000000000000"));
        linha[6] = QStringLiteral("1000000000");
        QCOMPARE(leArquivo(arquivo(e, {linha}), e).linhas.size(), size_t(1));
        linha[6] = QStringLiteral("1000000001");
        QVERIFY_THROWS_EXCEPTION(ErroLeitura, leArquivo(arquivo(e, {linha}), e));
        linha[6] = QStringLiteral("1");
        linha[8] = QStringLiteral("1,5E12");
        QVERIFY_THROWS_EXCEPTION(ErroLeitura, leArquivo(arquivo(e, {linha}), e));
    }

    void tableWordAndMask_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("table");
        QTest::addColumn<bool>("offeredToMG");
        QTest::newRow("movement") << "MG2003313820TB_MOVIMENTO.TXT" << "TB_MOVIMENTO_MUNICIPIO" << true;
        QTest::newRow("lower-case extension") << "MG2003313820TB_SALDO_INICIAL.txt" << "TB_SALDO_INICIAL_MUNICIPIO" << true;
        // Letter case does not matter, in the word as in the mask.
        QTest::newRow("lower-case word") << "mg2003313820tb_movimento.txt" << "TB_MOVIMENTO_MUNICIPIO" << true;
        QTest::newRow("not .txt") << "MG2003313820TB_MOVIMENTO.TXT.tmp" << "" << false;
        QTest::newRow("unknown word") << "MG2003313820TB_OUTRA.TXT" << "" << true;
        QTest::newRow("other UF") << "SP2003003550TB_MOVIMENTO.TXT" << "TB_MOVIMENTO_MUNICIPIO" << false;
        QTest::newRow("short prefix") << "MG200331382TB_MOVIMENTO.TXT" << "" << false;
        // A state's own files are no municipality's: never offered.
        QTest::newRow("state prefix") << "MG2003000000TB_FONTE_COMPROVACAO.TXT" << "TB_FONTE_COMPROVACAO_MUNICIPIO" << false;
    }
    void tableWordAndMask()
    {
        QFETCH(QString, name);
        QFETCH(QString, table);
        QFETCH(bool, offeredToMG);
        const TabelaIntercambio* t = tabelaDoArquivo(name);
        QCOMPARE(t ? t->tabela : QString(), table);
        QCOMPARE(nomeDeArquivoDaUf(name, QStringLiteral("MG")), offeredToMG);
    }

    void prefix_data()
    {
        QTest::addColumn<QString>("ibge");
        QTest::addColumn<QString>("prefix");
        QTest::newRow("six digits") << "313820" << "SP2003313820";
        QTest::newRow("short, padded") << "3550" << "SP2003003550";
        QTest::newRow("longer, unchanged") << "3138203" << "SP20033138203";
        QTest::newRow("no city: state") << "" << "SP2003000000";
    }
    void prefix()
    {
        QFETCH(QString, ibge);
        QFETCH(QString, prefix);
        QCOMPARE(prefixoArquivos(QStringLiteral("SP"), QStringLiteral("2003"), ibge), prefix);
    }

    // --- the loader ------------------------------------------------------------------

    void loadReplacesMonths()
    {
        // Months 3 and 4 hold older lines, month 5 is not in the file.
        for (int mes : {3, 4, 5})
            for (int med : {90, 91, 92})
                fixture::medicamento(*c, fixture::lavras, mes, med, 1, 1);
        const QString path = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        // Months 3, 4, 3: a month's rows need not stand together.
        grava(path, arquivo(tabela("TB_EXECUCAO_FISICA"), {execucao(3, 1), execucao(4, 2), execucao(3, 3)}));
        const ResumoImportacao r = importaArquivos(*c, {path});
        QVERIFY2(r.tudoCarregado(), qPrintable(r.texto()));
        QCOMPARE(r.arquivos[0].meses, 2);
        QCOMPARE(r.arquivos[0].linhas, 2 + 1);
        const QStringList meds = fixture::linhas(*c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"),
                                                 QStringLiteral("cast(NU_MES_COMPET as integer), CO_SEQ_MED"));
        QStringList resumo;
        for (const QString& l : meds)
            resumo << l.section(QLatin1Char('|'), 3, 5);
        QCOMPARE(resumo, (QStringList{"3|1|1", "3|2|3", "4|1|2", "5|1|90", "5|2|91", "5|3|92"}));
        QVERIFY(r.texto().startsWith(QStringLiteral("Importação Concluída\n\n") + nomeArquivo("TB_EXECUCAO_FISICA") +
                                     QStringLiteral(": 2 meses e 3 linhas carregados.")));

        // Importing again changes nothing.
        const QStringList antes = fixture::tudo(*c);
        QVERIFY(importaArquivos(*c, {path}).tudoCarregado());
        QCOMPARE(fixture::tudo(*c), antes);
    }

    void loadRefusedMonthKeepsItsRows()
    {
        for (int mes : {1, 2, 3})
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"), 999);
        const QStringList antes = fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        // Month 2 twice: the database refuses the second row, and with it the month.
        const QString path = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(path, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "1"), movimento(2, "2"), movimento(2, "22"), movimento(3, "3")}));
        const ResumoImportacao r = importaArquivos(*c, {path});
        QVERIFY(!r.tudoCarregado());
        QCOMPARE(r.arquivos[0].meses, 2);
        QCOMPARE(r.arquivos[0].recusas.size(), 1);
        // Said in the clerk's words, not in the engine's.
        QCOMPARE(r.arquivos[0].recusas[0], QStringLiteral("mês 2 (linha 46): o arquivo traz mais de uma linha com a mesma chave "
                                                          "(NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET)"));
        const QStringList depois = fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        QCOMPARE(depois.size(), 3);
        QVERIFY(depois[0].contains(QStringLiteral("|1|1|")));
        QCOMPARE(depois[1], antes[1]);
        QVERIFY(depois[2].contains(QStringLiteral("|3|3|")));
    }

    void loadRefusesMalformedFilesWhole()
    {
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"), 999);
        const QStringList antes = fixture::tudo(*c);
        const TabelaIntercambio& t = tabela("TB_MOVIMENTO");
        // Another shape: a table of 14 columns shifts every row.
        QByteArray curto = arquivo(t, {movimento(1, "1")});
        curto.replace("\nVL_RENDIMENTOS_APLICADOS", "");
        const QString forma = caminho(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT"));
        grava(forma, curto);
        // A bad number in the second month after a good first one.
        // (Each file of a municipality of its own, as its name says.)
        QStringList ruim = movimento(2, "2", 3100104);
        ruim[4] = QStringLiteral("12.5");
        const QString numero = caminho(QStringLiteral("MG2003310010TB_MOVIMENTO.TXT"));
        grava(numero, arquivo(t, {movimento(1, "1", 3100104), ruim}));
        const QString sumido = caminho(QStringLiteral("MG2003310020TB_MOVIMENTO.TXT"));
        const QString truncado = caminho(QStringLiteral("MG2003310030TB_MOVIMENTO.TXT"));
        grava(truncado, arquivo(t, {movimento(1, "1", 3100302)}).chopped(2));
        const QString outra = caminho(QStringLiteral("MG2003313820TB_OUTRA.TXT"));
        grava(outra, "qualquer coisa");
        // After all of them, a good file still loads.
        const QString bom = caminho(QStringLiteral("MG2003310040TB_MOVIMENTO.TXT"));
        grava(bom, arquivo(t, {movimento(4, "4", 3100401)}));

        const ResumoImportacao r = importaArquivos(*c, {forma, numero, sumido, truncado, outra, bom});
        QVERIFY(!r.tudoCarregado());
        const QString texto = r.texto();
        QVERIFY2(texto.contains(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT: recusado, nada carregado; linha 14: "
                                                "o cabeçalho termina depois de 14 valores")),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("MG2003310010TB_MOVIMENTO.TXT: recusado, nada carregado; linha 35: "
                                                "VL_SALDO_ANTERIOR \"12.5\" não é um número")),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("MG2003310020TB_MOVIMENTO.TXT: recusado, nada carregado; não foi possível ler")),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("MG2003310030TB_MOVIMENTO.TXT: recusado, nada carregado; linha 30: último registro")),
                 qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("MG2003313820TB_OUTRA.TXT: ignorado")), qPrintable(texto));
        QVERIFY2(texto.endsWith(QStringLiteral("MG2003310040TB_MOVIMENTO.TXT: 1 mês e 1 linha carregados.") +
                                semManifesto(QStringLiteral("MG2003313820, MG2003310010, MG2003310020, MG2003310030, "
                                                            "MG2003310040"))),
                 qPrintable(texto));
        QStringList esperado = antes;
        const QString novo = fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("CO_CIDADE")).first();
        QVERIFY2(novo.contains(QStringLiteral("|3100401|4|4|")), qPrintable(novo));
        esperado.prepend(novo);
        QCOMPARE(fixture::tudo(*c), esperado);
    }

    void loadKeepsTheMunicipalityWholeWhenOneOfItsFilesIsRefused()
    {
        // Lavras has months 1 and 2 in every table, and its initial balance.
        fixture::saldoInicial(*c, fixture::lavras, 500);
        for (int mes : {1, 2}) {
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"), 999);
            fixture::medicamento(*c, fixture::lavras, mes, 90 + mes, 1, 1);
            fixture::documento(*c, fixture::lavras, mes, QStringLiteral("NF-%1").arg(mes), 9);
        }
        const QStringList antes = fixture::tudo(*c);
        // Its four files, months 1 to 3: the medications file is malformed.
        const QString mov = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(mov, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "1"), movimento(2, "2"), movimento(3, "3")}));
        QStringList ruim = execucao(2, 5);
        ruim[7] = QStringLiteral("0.1");
        const QString exe = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        grava(exe, arquivo(tabela("TB_EXECUCAO_FISICA"), {execucao(1, 4), ruim, execucao(3, 6)}));
        const QString fon = caminho(nomeArquivo("TB_FONTE_COMPROVACAO"));
        grava(fon, arquivo(tabela("TB_FONTE_COMPROVACAO"),
                           {{fixture::ano, fixture::uf, QStringLiteral("3138203"), QStringLiteral("1"), QString(),
                             QStringLiteral("N"), QString(), QStringLiteral("NF-novo"), QString(), QString(), QStringLiteral("7")}}));
        const QString sal = caminho(nomeArquivo("TB_SALDO_INICIAL"));
        grava(sal, arquivo(tabela("TB_SALDO_INICIAL"), {{fixture::ano, fixture::uf, QStringLiteral("3138203"), "1", "1"}}));
        // Another municipality's file still loads.
        const QString outra = caminho(QStringLiteral("MG2003310020TB_MOVIMENTO.TXT"));
        grava(outra, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "7", fixture::abaete)}));

        const ResumoImportacao r = importaArquivos(*c, {mov, exe, outra, fon, sal});
        QVERIFY(!r.tudoCarregado());
        const QString texto = r.texto();
        QCOMPARE(texto, QStringLiteral(
                            "Importação Concluída\n\n"
                            "MG2003313820TB_MOVIMENTO.TXT: não carregado, porque MG2003313820TB_EXECUCAO_FISICA.TXT, do mesmo "
                            "município, foi recusado.\n\n"
                            "MG2003313820TB_EXECUCAO_FISICA.TXT: recusado, nada carregado; linha 28: VL_UNITARIO \"0.1\" não é "
                            "um número (vírgula antes dos decimais, sem separador de milhar). Nenhum arquivo do mesmo município "
                            "foi carregado; ficaram como estavam, em todas as tabelas: Lavras (MG, município 3138203), 2003: "
                            "meses 1, 2 e 3 e o saldo inicial.\n\n"
                            "MG2003310020TB_MOVIMENTO.TXT: 1 mês e 1 linha carregados.\n\n"
                            "MG2003313820TB_FONTE_COMPROVACAO.TXT: não carregado, porque MG2003313820TB_EXECUCAO_FISICA.TXT, do "
                            "mesmo município, foi recusado.\n\n"
                            "MG2003313820TB_SALDO_INICIAL.TXT: não carregado, porque MG2003313820TB_EXECUCAO_FISICA.TXT, do mesmo "
                            "município, foi recusado.") +
                            semManifesto(QStringLiteral("MG2003313820, MG2003310020")));
        QStringList esperado = antes;
        esperado.insert(0, fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("CO_CIDADE")).first());
        QVERIFY(esperado.first().contains(QStringLiteral("|3100203|1|7|")));
        QCOMPARE(fixture::tudo(*c), esperado);
    }

    void loadRefusedMonthIsKeptInEveryTable()
    {
        for (int mes : {1, 2}) {
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"), 999);
            fixture::medicamento(*c, fixture::lavras, mes, 90 + mes, 1, 1);
        }
        const QStringList antes = fixture::linhas(*c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        // Month 2's header twice: the database refuses month 2, its medications with it.
        const QString mov = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(mov, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "1"), movimento(2, "2"), movimento(2, "22")}));
        const QString exe = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        grava(exe, arquivo(tabela("TB_EXECUCAO_FISICA"), {execucao(1, 4), execucao(2, 5), execucao(2, 6)}));
        const ResumoImportacao r = importaArquivos(*c, {exe, mov});
        QVERIFY(!r.tudoCarregado());
        QCOMPARE(r.arquivos[0].meses, 1);
        QCOMPARE(r.arquivos[0].linhas, 1);
        QCOMPARE(r.arquivos[1].meses, 1);
        QCOMPARE(r.arquivos[1].recusas.size(), 1);
        QVERIFY2(r.texto().contains(QStringLiteral("\n  Recusado, mantido como estava em todas as tabelas: mês 2 (linha 46): ")),
                 qPrintable(r.texto()));
        const QStringList meds = fixture::linhas(*c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        QCOMPARE(meds.size(), 2);
        QVERIFY(meds[0].contains(QStringLiteral("|1|1|4|")));
        QCOMPARE(meds[1], antes[1]);
        const QStringList cabecalhos = fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        QVERIFY(cabecalhos[0].contains(QStringLiteral("|1|1|")));
        QVERIFY(cabecalhos[1].contains(QStringLiteral("|2|999|")));
    }

    // A month is replaced whole: its medication lines deleted at the municipality go at
    // the state too, whether the medication file came without them or the manifest says
    // the month has none.
    void loadClearsLinesAMonthNoLongerHas()
    {
        for (int mes : {1, 2}) {
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"), 999);
            fixture::medicamento(*c, fixture::lavras, mes, 90 + mes, 1, 1);
        }
        const QString mov = caminho(nomeArquivo("TB_MOVIMENTO"));
        const QByteArray movimentos = arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "1"), movimento(2, "2")});
        grava(mov, movimentos);
        const QString exe = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        grava(exe, arquivo(tabela("TB_EXECUCAO_FISICA"), {execucao(1, 4)}));
        const ResumoImportacao r = importaArquivos(*c, {mov, exe});
        QVERIFY2(r.tudoCarregado(), qPrintable(r.texto()));
        QStringList meds = fixture::linhas(*c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        QCOMPARE(meds.size(), 1);
        QVERIFY2(meds[0].contains(QStringLiteral("|1|1|4|")), qPrintable(meds[0]));

        // No medication file at all, the manifest saying month 1 has none: month 1's go.
        QFile::remove(exe);
        Manifesto m;
        m.arquivos << entradaDoArquivo(nomeArquivo("TB_MOVIMENTO"), movimentos);
        m.linhas[QStringLiteral("TB_MOVIMENTO")] = {{QStringLiteral("1"), 1}, {QStringLiteral("2"), 1}};
        m.linhas[QStringLiteral("TB_EXECUCAO_FISICA")] = {{QStringLiteral("1"), 0}, {QStringLiteral("2"), 0}};
        const QString manifesto = caminho(nomeArquivo("MANIFESTO"));
        grava(manifesto, escreveManifesto(m));
        const ResumoImportacao r2 = importaArquivos(*c, {mov, manifesto});
        QVERIFY2(r2.tudoCarregado(), qPrintable(r2.texto()));
        QCOMPARE(fixture::linhas(*c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("NU_MES_COMPET")),
                 QStringList());
        QCOMPARE(fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET")).size(), 2);
    }

    void loadRefusesTheStatesOwnMonths()
    {
        // A state installation of MG whose own month 1 was sent.
        fixture::parametros(*c, fixture::ano, fixture::uf, 0);
        fixture::cabecalho(*c, 0, 1, QStringLiteral("3"), 100, QDate(2003, 2, 5), QDate(2003, 2, 9));
        const QStringList antes = fixture::tudo(*c);
        // Its own export file, as the export folder holds it.
        const QString proprio = caminho(QStringLiteral("MG2003000000TB_MOVIMENTO.TXT"));
        QStringList linha = movimento(1, "1", 0);
        grava(proprio, arquivo(tabela("TB_MOVIMENTO"), {linha}));
        const ResumoImportacao r = importaArquivos(*c, {proprio});
        QVERIFY(!r.tudoCarregado());
        QVERIFY2(r.texto().contains(QStringLiteral("MG2003000000TB_MOVIMENTO.TXT: recusado, nada carregado; linha 18: CO_CIDADE 0 "
                                                   "é o acompanhamento próprio de um estado")),
                 qPrintable(r.texto()));
        QCOMPARE(fixture::tudo(*c), antes);
        // Another UF's own follow-up is no municipality's either.
        const QString outro = caminho(QStringLiteral("SP2003000000TB_MOVIMENTO.TXT"));
        linha[1] = QStringLiteral("SP");
        grava(outro, arquivo(tabela("TB_MOVIMENTO"), {linha}));
        QVERIFY(!importaArquivos(*c, {outro}).tudoCarregado());
        QCOMPARE(fixture::tudo(*c), antes);
    }

    void loadRefusesAMunicipalInstallation()
    {
        fixture::parametros(*c, fixture::ano, fixture::uf, fixture::lavras);
        const QString path = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(path, arquivo(tabela("TB_MOVIMENTO"), {movimento(1)}));
        try {
            importaArquivos(*c, {path});
            QFAIL("loaded");
        } catch (const ErroImportacao& e) {
            QCOMPARE(e.mensagem(), QStringLiteral("O banco de dados é de uma instalação municipal (município 3138203); só uma "
                                                  "instalação estadual importa dados."));
        }
        QVERIFY(fixture::tudo(*c).isEmpty());
    }

    void loadRefusesRowsTheFollowUpWouldRefuse_data()
    {
        QTest::addColumn<int>("coluna");
        QTest::addColumn<QString>("valor");
        QTest::addColumn<QString>("motivo");
        QTest::newRow("another UF") << 1 << "SP" << "linha 17: CO_UF \"SP\" não é a UF do nome do arquivo (MG)";
        QTest::newRow("negative amount") << 6 << "-10,5" << "linha 22: VL_ALOC_ESTADUAL \"-10,5\" é negativo";
        QTest::newRow("negative investment income") << 14 << "-1" << "linha 30: VL_RENDIMENTOS_APLICADOS \"-1\" é negativo";
        QTest::newRow("year of two digits") << 0 << "03" << "linha 16: NU_ANO_COMPET \"03\" não é um ano de quatro algarismos";
        QTest::newRow("year of letters") << 0 << "ABCD" << "linha 16: NU_ANO_COMPET \"ABCD\" não é um ano de quatro algarismos";
        QTest::newRow("absurd amount") << 5 << "1E308" << "linha 21: VL_ALOC_FEDERAL \"1E308\" passa do maior valor";
        QTest::newRow("amount past the bound") << 8 << "1000000000000,01" << "linha 24: VL_REC_GASTOS \"1000000000000,01\" passa";
        QTest::newRow("year not the name's") << 0 << "2004" << "linha 16: NU_ANO_COMPET \"2004\" não é o ano do nome do arquivo (2003)";
        QTest::newRow("unknown UF") << 1 << "ZZ" << "linha 17: CO_UF \"ZZ\" não é uma UF conhecida";
        QTest::newRow("lower-case UF") << 1 << "mg" << "linha 17: CO_UF \"mg\" não é uma UF conhecida";
        QTest::newRow("negative municipality") << 2 << "-5" << "linha 18: CO_CIDADE \"-5\" não é um município da tabela";
        QTest::newRow("unknown municipality") << 2 << "3100003" << "linha 18: CO_CIDADE \"3100003\" não é um município da tabela";
        QTest::newRow("another UF's municipality") << 2 << "3550308" << "linha 18: CO_CIDADE \"3550308\" é um município de SP, não de MG";
        QTest::newRow("not the name's municipality") << 2 << "3100203"
                                                     << "linha 18: CO_CIDADE \"3100203\" não é o município do nome do arquivo (313820)";
    }
    void loadRefusesRowsTheFollowUpWouldRefuse()
    {
        QFETCH(int, coluna);
        QFETCH(QString, valor);
        QFETCH(QString, motivo);
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"), 999);
        const QStringList antes = fixture::tudo(*c);
        QStringList linha = movimento(1, "1");
        linha[coluna] = valor;
        const QString path = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(path, arquivo(tabela("TB_MOVIMENTO"), {linha}));
        const ResumoImportacao r = importaArquivos(*c, {path});
        QVERIFY2(r.texto().contains(nomeArquivo("TB_MOVIMENTO") + QStringLiteral(": recusado, nada carregado; ") + motivo),
                 qPrintable(r.texto()));
        QCOMPARE(fixture::tudo(*c), antes);
    }

    void loadUtf8Files()
    {
        // A documents file saved as UTF-8 by a modern editor.
        const TabelaIntercambio& f = tabela("TB_FONTE_COMPROVACAO");
        const auto documento = [](const QString& numero) {
            return QStringList{fixture::ano, fixture::uf, QStringLiteral("3138203"), QStringLiteral("1"), QString(),
                               QStringLiteral("N"), QString(), numero, QString(), QString(), QStringLiteral("1")};
        };
        QByteArray bytes = arquivo(f, {documento(QStringLiteral("x")), documento(QStringLiteral("x"))});
        bytes.replace("\nx\n", QStringLiteral("\nNFÇÃO €\n").toUtf8());
        const QString path = caminho(nomeArquivo("TB_FONTE_COMPROVACAO"));
        grava(path, bytes);
        const ResumoImportacao r = importaArquivos(*c, {path});
        QVERIFY2(r.tudoCarregado(), qPrintable(r.texto()));
        QVERIFY2(r.texto().endsWith(QStringLiteral(": 1 mês e 2 linhas carregados (lido como UTF-8).") +
                                    semManifesto(QStringLiteral("MG2003313820"))),
                 qPrintable(r.texto()));
        QCOMPARE(db::Statement(*c, {QStringLiteral("select max(NR_NUMERO_DOC) from TB_FONTE_COMPROVACAO_MUNICIPIO")}).scalar().toString(),
                 QStringLiteral("NFÇÃO €"));
        // With a byte-order mark, too.
        grava(path, "\xEF\xBB\xBF" + bytes);
        QVERIFY2(importaArquivos(*c, {path}).tudoCarregado(), qPrintable(importaArquivos(*c, {path}).texto()));

        // A character the database cannot hold: refused, naming the file and the line.
        const QStringList antes = fixture::tudo(*c);
        bytes = arquivo(f, {documento(QStringLiteral("x"))});
        bytes.replace("\nx\n", QStringLiteral("\nNF ✓\n").toUtf8());
        grava(path, bytes);
        const QString texto = importaArquivos(*c, {path}).texto();
        QVERIFY2(texto.contains(nomeArquivo("TB_FONTE_COMPROVACAO") + QStringLiteral(": recusado, nada carregado; linha 19: o "
                                                                                      "caractere U+2713 (arquivo em UTF-8) não "
                                                                                      "existe em Windows-1252")),
                 qPrintable(texto));
        QCOMPARE(fixture::tudo(*c), antes);

        // A Windows-1252 file is read as always.
        bytes = arquivo(f, {documento(QStringLiteral("NFÇÃO"))});
        QVERIFY(bytes.contains("NF\xC7\xC3O"));
        grava(path, bytes);
        QVERIFY(importaArquivos(*c, {path}).texto().contains(QStringLiteral(": 1 mês e 1 linha carregados.\n\n")));
        QCOMPARE(db::Statement(*c, {QStringLiteral("select max(NR_NUMERO_DOC) from TB_FONTE_COMPROVACAO_MUNICIPIO")}).scalar().toString(),
                 QStringLiteral("NFÇÃO"));
    }

    // --- what a folder may hold ------------------------------------------------------

    void onlyRegularFilesAreRead()
    {
        const auto recusa = [](const QString& caminho) {
            QElapsedTimer relogio;
            relogio.start();
            const ConteudoArquivo c = leConteudo(caminho);
            // Nothing waits: a FIFO without a writer is not opened for reading.
            if (relogio.elapsed() > 5000)
                return QStringLiteral("demorou %1 ms").arg(relogio.elapsed());
            return c.estado == ConteudoArquivo::Estado::Recusado ? c.erro : QStringLiteral("lido");
        };
        const QString fifo = caminho(nomeArquivo("TB_MOVIMENTO"));
        QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        QCOMPARE(recusa(fifo), QStringLiteral("não é um arquivo comum, é um FIFO; só arquivos comuns são lidos"));
        const QString zero = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), zero));
        QCOMPARE(recusa(zero), QStringLiteral("não é um arquivo comum, é um dispositivo; só arquivos comuns são lidos"));
        QVERIFY(QDir(pasta->path()).mkdir(nomeArquivo("TB_SALDO_INICIAL")));
        QCOMPARE(recusa(caminho(nomeArquivo("TB_SALDO_INICIAL"))),
                 QStringLiteral("não é um arquivo comum, é uma pasta; só arquivos comuns são lidos"));
        // Larger than the bound: refused by its size, unread (the file is sparse).
        const QString enorme = caminho(nomeArquivo("TB_FONTE_COMPROVACAO"));
        {
            QFile f(enorme);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(f.resize(tamanhoMaximoArquivo + 1));
        }
        QCOMPARE(recusa(enorme), QStringLiteral("o arquivo tem 1073741825 bytes; um arquivo de intercâmbio tem no máximo "
                                                "1073741824 bytes (1 GiB)"));
        QFile::remove(enorme);

        // The loader says so for each, and loads nothing of their municipality.
        const QString bom = caminho(QStringLiteral("MG2003313820TB_SALDO_INICIAL.txt"));
        QDir(caminho(nomeArquivo("TB_SALDO_INICIAL"))).removeRecursively();
        grava(bom, arquivo(tabela("TB_SALDO_INICIAL"), {{fixture::ano, fixture::uf, QStringLiteral("3138203"), "1", "1"}}));
        const ResumoImportacao r = importaArquivos(*c, {fifo, zero, bom});
        QVERIFY2(r.texto().contains(nomeArquivo("TB_MOVIMENTO") + QStringLiteral(": recusado, nada carregado; não é um arquivo "
                                                                                  "comum, é um FIFO")),
                 qPrintable(r.texto()));
        QVERIFY(fixture::tudo(*c).isEmpty());
    }

    void aFileThatChangesWhileReadIsRefused()
    {
        const QString path = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        QList<QStringList> linhas;
        for (int i = 0; i < 200000; ++i)
            linhas << execucao(1 + i % 12, 1 + i % 40);
        grava(path, arquivo(tabela("TB_EXECUCAO_FISICA"), linhas));
        QVERIFY(QFileInfo(path).size() > 5 << 20);
        int chamadas = 0;
        // Someone goes on writing it after the first chunk was read.
        const ConteudoArquivo lido = leConteudo(path, [&] {
            if (++chamadas == 3) {
                QFile f(path);
                if (f.open(QIODevice::Append))
                    f.write("2003\n");
            }
            return true;
        });
        QCOMPARE(int(lido.estado), int(ConteudoArquivo::Estado::Recusado));
        QVERIFY2(lido.erro.startsWith(QStringLiteral("o arquivo mudou enquanto era lido")), qPrintable(lido.erro));
        QVERIFY(lido.bytes.isEmpty());
        // Asked to stop while reading: it stops.
        chamadas = 0;
        const ConteudoArquivo parado = leConteudo(path, [&] { return ++chamadas < 2; });
        QCOMPARE(int(parado.estado), int(ConteudoArquivo::Estado::Interrompido));
        const ResumoImportacao r = importaArquivos(*c, {path}, [&](const Progresso&) { return ++chamadas < 5; });
        QVERIFY(r.interrompida);
        QVERIFY2(r.texto().startsWith(QStringLiteral("Importação interrompida durante a leitura do arquivo %1.")
                                          .arg(nomeArquivo("TB_EXECUCAO_FISICA"))),
                 qPrintable(r.texto()));
    }

    void aFileNameCannotForgeSummaryLines()
    {
        const QString nome = QStringLiteral("MG2003313820TB_\nImportação Concluída\\.TXT");
        grava(caminho(nome), "x");
        const ResumoImportacao r = importaArquivos(*c, {caminho(nome)});
        QVERIFY(!r.tudoCarregado());  // an ignored file is not a file loaded
        QCOMPARE(r.texto(), QStringLiteral("Importação Concluída\n\nMG2003313820TB_\\x0aImportação Concluída\\\\.TXT: ignorado "
                                           "(o nome não é de uma tabela de intercâmbio)."));
    }

    void whatIsNotAnInterchangeFileIsNeverQuoted()
    {
        // A name given to something else: its first line is no one's business.
        const QString segredo = caminho(QStringLiteral("segredo"));
        grava(segredo, "root:$6$segredo:19000:0:99999:7:::\nmais\n");
        const QString link = caminho(nomeArquivo("TB_MOVIMENTO"));
        QVERIFY(QFile::link(segredo, link));
        const QString texto = importaArquivos(*c, {link}).texto();
        QVERIFY2(texto.contains(QStringLiteral("recusado, nada carregado; linha 1: o cabeçalho não é o da tabela "
                                               "TB_MOVIMENTO_MUNICIPIO: esperada a coluna NU_ANO_COMPET.")),
                 qPrintable(texto));
        QVERIFY(!texto.contains(QStringLiteral("root")));
    }

    void aDatabaseThatFailsMidImportLeavesATrueSummary()
    {
        setLinhasPorTransacao(1);
        // The database refuses to commit once month 3 is there (as a full disk would).
        ddl(QStringLiteral("create exception E_CHEIO 'disco cheio'"));
        ddl(QStringLiteral("create trigger T_CHEIO on transaction commit as begin "
                           "if (exists(select 1 from TB_MOVIMENTO_MUNICIPIO where NU_MES_COMPET = '3')) then "
                           "exception E_CHEIO; end"));
        const QString mov = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(mov, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "1"), movimento(2, "2"), movimento(3, "3"), movimento(4, "4")}));
        const QString exe = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        grava(exe, arquivo(tabela("TB_EXECUCAO_FISICA"), {execucao(1, 4), execucao(3, 5), execucao(4, 6)}));
        const QString outra = caminho(QStringLiteral("MG2003310020TB_MOVIMENTO.TXT"));
        grava(outra, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "7", fixture::abaete)}));
        const ResumoImportacao r = importaArquivos(*c, {mov, exe, outra});
        QVERIFY(r.interrompida);
        QVERIFY(!r.tudoCarregado());
        const QString texto = r.texto();
        QVERIFY2(texto.startsWith(QStringLiteral("Importação interrompida porque o banco de dados falhou (")), qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("disco cheio")), qPrintable(texto));
        QVERIFY2(texto.contains(QStringLiteral("). Não carregados, ficaram como estavam: Lavras (MG, município 3138203), 2003: "
                                               "meses 3 e 4.\n\n")),
                 qPrintable(texto));
        QVERIFY2(texto.contains(nomeArquivo("TB_MOVIMENTO") + QStringLiteral(": 2 meses e 2 linhas carregados.")), qPrintable(texto));
        QVERIFY2(texto.contains(nomeArquivo("TB_EXECUCAO_FISICA") + QStringLiteral(": 1 mês e 1 linha carregados.")), qPrintable(texto));
        QVERIFY2(texto.endsWith(QStringLiteral("MG2003310020TB_MOVIMENTO.TXT: não carregado.") +
                                semManifesto(QStringLiteral("MG2003313820"))),
                 qPrintable(texto));
        QVERIFY(!texto.contains(QStringLiteral("desfeita")));
        // The summary is the database.
        QCOMPARE(fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("1")).size(), 2);
        QCOMPARE(fixture::linhas(*c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("1")).size(), 1);
    }

    void loadEmptyValueColumns()
    {
        QStringList row = movimento(1);
        for (int j = 4; j <= 8; ++j)
            row[j] = QString();
        row[10] = row[11] = row[14] = QString();
        const QString path = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(path, arquivo(tabela("TB_MOVIMENTO"), {row}));
        QVERIFY(importaArquivos(*c, {path}).tudoCarregado());
        db::Statement s(*c, {QStringLiteral("select VL_SALDO_ANTERIOR, VL_ALOC_FEDERAL, VL_REC_GASTOS, VL_ALOC_MED, "
                                            "VL_RENDIMENTOS_APLICADOS, DT_ENVIO, DT_FECHAMENTO from TB_MOVIMENTO_MUNICIPIO")});
        const QVariantList v = s.selectAll().value(0);
        QCOMPARE(v.value(0).toDouble(), 0.0);
        QVERIFY(!v.value(0).isNull());
        QVERIFY(!v.value(3).isNull());
        QVERIFY(v.value(4).isNull());
        QVERIFY(v.value(5).isNull());
        QCOMPARE(v.value(6).toDateTime().date(), QDate(2003, 2, 5));
    }

    void loadCancelStopsBetweenMonths()
    {
        setLinhasPorTransacao(1);
        for (int mes : {1, 2, 3})
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"), 999);
        const QString path = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(path, arquivo(tabela("TB_MOVIMENTO"), {movimento(1, "1"), movimento(2, "2"), movimento(3, "3")}));
        // Another municipality's file, after.
        const QString depois = caminho(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT"));
        grava(depois, arquivo(tabela("TB_SALDO_INICIAL"), {{fixture::ano, fixture::uf, QStringLiteral("3100203"), "1", "1"}}));
        int chamadas = 0;
        const ResumoImportacao r = importaArquivos(*c, {path, depois}, [&chamadas](const Progresso& p) {
            // Before the file, before month 1, before month 2: stop there.
            return ++chamadas < 3 || p.meses < 1;
        });
        QVERIFY(r.interrompida);
        QVERIFY(!r.tudoCarregado());
        // The summary says where it stopped and which months were not loaded.
        QVERIFY2(r.texto().startsWith(QStringLiteral("Importação interrompida nos arquivos de MG2003313820, antes do mês 2. "
                                                     "Não carregados, ficaram como estavam: Lavras (MG, município 3138203), "
                                                     "2003: meses 2 e 3.\n\n%1: 1 mês e 1 linha carregados.")
                                          .arg(nomeArquivo("TB_MOVIMENTO"))),
                 qPrintable(r.texto()));
        QVERIFY2(r.texto().endsWith(QStringLiteral("MG2003310020TB_SALDO_INICIAL.TXT: não carregado.") +
                                    semManifesto(QStringLiteral("MG2003313820"))),
                 qPrintable(r.texto()));
        const QStringList meses = fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("NU_MES_COMPET"));
        QVERIFY(meses[0].contains(QStringLiteral("|1|1|")));
        QVERIFY(meses[1].contains(QStringLiteral("|2|999|")));
        QVERIFY(meses[2].contains(QStringLiteral("|3|999|")));
        QCOMPARE(fixture::linhas(*c, QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO"), QStringLiteral("1")).size(), 0);
    }

    // --- the export ------------------------------------------------------------------

    void monthsOffered()
    {
        fixture::cabecalho(*c, fixture::lavras, 2, QStringLiteral("2"));
        fixture::cabecalho(*c, fixture::lavras, 3, QStringLiteral("1"));
        fixture::cabecalho(*c, fixture::lavras, 5, QStringLiteral("3"));
        fixture::cabecalho(*c, fixture::lavras, 10, QStringLiteral("2"));
        fixture::cabecalho(*c, fixture::abaete, 4, QStringLiteral("2"));
        fixture::cabecalho(*c, fixture::lavras, 6, QStringLiteral("2"), 1, QDate(2002, 7, 1), QVariant(), QStringLiteral("2002"));
        QCOMPARE(mesesParaExportar(*c, lavras()), (QVector<int>{2, 5, 10}));
    }

    void exportWritesAndMarksTickedMonthsOnly()
    {
        fixture::saldoInicial(*c, fixture::lavras, 1000);
        for (int mes : {1, 2, 3}) {
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"));
            fixture::medicamento(*c, fixture::lavras, mes, 10 + mes, 100, 0.5);
        }
        fixture::documento(*c, fixture::lavras, 1, QStringLiteral("NF-1"), 50);
        fixture::cabecalho(*c, fixture::lavras, 4, QStringLiteral("3"), 100, QDate(2003, 5, 5), QDate(2003, 5, 10));
        // An older documents file: month 2 has none, so it goes.
        const QString docs = caminho(nomeArquivo("TB_FONTE_COMPROVACAO"));
        grava(docs, "antigo");

        const ResultadoExportacao r = exportaMeses(*c, lavras(), {2, 4}, pasta->path(), QDate(2003, 6, 1));
        QCOMPARE(r.marcados, 1);
        QCOMPARE(r.removidos, QStringList{docs});
        QVERIFY(!QFile::exists(docs));
        QCOMPARE(QDir(pasta->path()).entryList(QDir::Files),
                 (QStringList{nomeArquivo("MANIFESTO"), nomeArquivo("TB_EXECUCAO_FISICA"), nomeArquivo("TB_MOVIMENTO"),
                              nomeArquivo("TB_SALDO_INICIAL")}));
        const QByteArray mov = conteudo(caminho(nomeArquivo("TB_MOVIMENTO")));
        // Each month as the export marks it: sent, with this export's date or its first one.
        QVERIFY(mov.contains("\r\n2003\nMG\n3138203\n2\n100\n50\n10,5\n10\n150,25\n3\n0\n20\n05/01/2003\n01/06/2003\n5\r\n"));
        QVERIFY(mov.contains("\r\n2003\nMG\n3138203\n4\n100\n50\n10,5\n10\n150,25\n3\n0\n20\n05/05/2003\n10/05/2003\n5\r\n"));
        QCOMPARE(mov.count("\r\n"), 3);
        const QByteArray exe = conteudo(caminho(nomeArquivo("TB_EXECUCAO_FISICA")));
        QCOMPARE(exe, QByteArray("NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nNU_MES_COMPET\nCO_SEQ_MED\nCO_SEQ_MEDICAMENTO\nQT_MEDICAMENTO\n"
                                 "VL_UNITARIO\nVL_TOTAL\nST_ORIGEM\r\n2003\nMG\n3138203\n2\n1\n12\n100\n0,5\n50\nM\r\n"));
        QCOMPARE(conteudo(caminho(nomeArquivo("TB_SALDO_INICIAL"))),
                 QByteArray("NU_ANO_COMPET\nCO_UF\nCO_CIDADE\nVL_SALDO_MUNICIPIO\nNU_MES_COMPET\r\n2003\nMG\n3138203\n1000\n1\r\n"));

        db::Statement s(*c, {QStringLiteral("select NU_MES_COMPET, SITUACAO, DT_ENVIO from TB_MOVIMENTO_MUNICIPIO "
                                            "order by cast(NU_MES_COMPET as integer)")});
        QStringList estados;
        for (const QVariantList& l : s.selectAll())
            estados << l[0].toString() + l[1].toString() + QLatin1Char(' ') + l[2].toDate().toString(QStringLiteral("dd/MM"));
        QCOMPARE(estados, (QStringList{"12 ", "23 01/06", "32 ", "43 10/05"}));
        QVERIFY(QDir(pasta->path()).entryList(QStringList{QStringLiteral("*.tmp")}, QDir::Files).isEmpty());

        // The manifest: each file's size and SHA-256, and the rows of each month exported.
        const Manifesto m = leManifesto(conteudo(caminho(nomeArquivo("MANIFESTO"))));
        QCOMPARE(m.arquivos.size(), 3);
        for (const Manifesto::Arquivo& a : m.arquivos) {
            const Manifesto::Arquivo disco = entradaDoArquivo(a.nome, conteudo(caminho(a.nome)));
            QCOMPARE(a.tamanho, disco.tamanho);
            QCOMPARE(a.sha256, disco.sha256);
        }
        using Linhas = QMap<QString, qint64>;
        QCOMPARE(m.linhas.value(QStringLiteral("TB_MOVIMENTO")), (Linhas{{"2", 1}, {"4", 1}}));
        QCOMPARE(m.linhas.value(QStringLiteral("TB_EXECUCAO_FISICA")), (Linhas{{"2", 1}, {"4", 0}}));
        QCOMPARE(m.linhas.value(QStringLiteral("TB_FONTE_COMPROVACAO")), (Linhas{{"2", 0}, {"4", 0}}));
        QCOMPARE(m.linhas.value(QStringLiteral("TB_SALDO_INICIAL")), (Linhas{{"SALDO", 1}}));
    }

    void aFileCutAtARecordBoundaryDisagreesWithItsManifest()
    {
        fixture::saldoInicial(*c, fixture::lavras, 1000);
        for (int mes : {1, 2}) {
            fixture::cabecalho(*c, fixture::lavras, mes, QStringLiteral("2"));
            for (int med : {11, 12, 13})
                fixture::medicamento(*c, fixture::lavras, mes, med, 100, 0.5);
        }
        exportaMeses(*c, lavras(), {1, 2}, pasta->path(), QDate(2003, 6, 1));
        const QStringList antes = fixture::tudo(*c);
        // The medications file loses its last record: still well formed.
        const QString exe = caminho(nomeArquivo("TB_EXECUCAO_FISICA"));
        QByteArray bytes = conteudo(exe);
        const qsizetype ultimo = bytes.lastIndexOf("\r\n", bytes.size() - 3);
        grava(exe, bytes.left(ultimo + 2));
        QVERIFY(leArquivo(conteudo(exe), tabela("TB_EXECUCAO_FISICA")).linhas.size() == 5);
        // The four files alone, as the window gives them: the manifest beside them counts.
        const QStringList arquivos{caminho(nomeArquivo("TB_MOVIMENTO")), exe, caminho(nomeArquivo("TB_SALDO_INICIAL"))};
        ResumoImportacao r = importaArquivos(*c, arquivos);
        QVERIFY(!r.tudoCarregado());
        QVERIFY2(r.texto().contains(QStringLiteral("%1: recusado, nada carregado; não confere com o manifesto: tem %2 bytes, o "
                                                   "manifesto diz %3 (mês 2 com 2 linhas, o manifesto diz 3 linhas). Nenhum arquivo do "
                                                   "mesmo município foi carregado")
                                        .arg(nomeArquivo("TB_EXECUCAO_FISICA"))
                                        .arg(ultimo + 2)
                                        .arg(bytes.size())),
                 qPrintable(r.texto()));
        QVERIFY(r.semManifesto.isEmpty());
        QCOMPARE(fixture::tudo(*c), antes);

        // A manifest that is not one refuses its municipality's files.
        grava(exe, bytes);
        grava(caminho(nomeArquivo("MANIFESTO")), "qualquer coisa\r\n");
        r = importaArquivos(*c, arquivos);
        QVERIFY2(r.texto().contains(QStringLiteral("%1: recusado, nada carregado; o manifesto do município, %2, foi recusado: "
                                                   "linha 1: não é um manifesto do KORVA")
                                        .arg(nomeArquivo("TB_MOVIMENTO"), nomeArquivo("MANIFESTO"))),
                 qPrintable(r.texto()));
        QCOMPARE(fixture::tudo(*c), antes);

        // Without one, the files load, and the summary says they came without it.
        QVERIFY(QFile::remove(caminho(nomeArquivo("MANIFESTO"))));
        r = importaArquivos(*c, arquivos);
        QVERIFY2(r.tudoCarregado(), qPrintable(r.texto()));
        QVERIFY(r.texto().endsWith(semManifesto(QStringLiteral("MG2003313820"))));
    }

    void exportFailureWritesAndMarksNothing()
    {
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"));
        fixture::documento(*c, fixture::lavras, 1, QStringLiteral("NF-1"), 50);
        const QString mov = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(mov, "antigo");
        // The documents file cannot be written: a folder stands where it goes.
        QVERIFY(QDir(pasta->path()).mkdir(nomeArquivo("TB_FONTE_COMPROVACAO") + QStringLiteral(".tmp")));
        try {
            exportaMeses(*c, lavras(), {1}, pasta->path());
            QFAIL("exported");
        } catch (const ErroExportacao& e) {
            QVERIFY2(e.mensagem().contains(nomeArquivo("TB_FONTE_COMPROVACAO")), qPrintable(e.mensagem()));
        }
        QCOMPARE(conteudo(mov), QByteArray("antigo"));
        QCOMPARE(QDir(pasta->path()).entryList(QDir::Files), QStringList{nomeArquivo("TB_MOVIMENTO")});
        QCOMPARE(db::Statement(*c, {QStringLiteral("select SITUACAO from TB_MOVIMENTO_MUNICIPIO")}).scalar().toString(),
                 QStringLiteral("2"));
    }

    void exportPutsItsFilesInPlaceTogetherOrNotAtAll()
    {
        fixture::saldoInicial(*c, fixture::lavras, 1000);
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"));
        fixture::medicamento(*c, fixture::lavras, 1, 11, 100, 0.5);
        // An older export: its documents file goes when this one is in place.
        for (const char* palavra : {"TB_MOVIMENTO", "TB_EXECUCAO_FISICA", "TB_FONTE_COMPROVACAO", "TB_SALDO_INICIAL"})
            grava(caminho(nomeArquivo(palavra)), QByteArray("antigo ") + palavra);
        const auto antigos = [this] {
            QStringList out;
            for (const QString& nome : QDir(pasta->path()).entryList(QDir::Files))
                out << nome + QLatin1Char('=') + QString::fromLatin1(conteudo(caminho(nome)));
            return out;
        };
        const QStringList antes = antigos();
        // The initial-balance file, the last to go into place, cannot: something that is
        // not a file took its name after the files were written.
        const QString saldo = caminho(nomeArquivo("TB_SALDO_INICIAL"));
        try {
            exportaMeses(*c, lavras(), {1}, pasta->path(), QDate(2003, 6, 1), [&](int feitas, const QString& tabela) {
                if (feitas == 4 && tabela.isEmpty()) {
                    QFile::remove(saldo);
                    QDir(pasta->path()).mkpath(nomeArquivo("TB_SALDO_INICIAL") + QStringLiteral("/x"));
                }
                return true;
            });
            QFAIL("exported");
        } catch (const ErroExportacao& e) {
            QVERIFY2(e.mensagem().contains(QStringLiteral("o nome já existe e não é um arquivo comum")), qPrintable(e.mensagem()));
            QVERIFY2(e.mensagem().endsWith(QStringLiteral("Nenhum arquivo foi substituído e nenhum mês foi marcado.")),
                     qPrintable(e.mensagem()));
        }
        // The three older files are back as they were, and nothing else is there.
        QStringList esperado = antes;
        esperado.removeLast();
        QCOMPARE(antigos(), esperado);
        QCOMPARE(QDir(pasta->path()).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList{nomeArquivo("TB_SALDO_INICIAL")});
        QCOMPARE(db::Statement(*c, {QStringLiteral("select SITUACAO from TB_MOVIMENTO_MUNICIPIO")}).scalar().toString(),
                 QStringLiteral("2"));

        // Cancelled just before the files go into place: the same.
        QDir(saldo).removeRecursively();
        grava(saldo, "antigo TB_SALDO_INICIAL");
        try {
            exportaMeses(*c, lavras(), {1}, pasta->path(), QDate(2003, 6, 1), [](int feitas, const QString&) { return feitas < 4; });
            QFAIL("exported");
        } catch (const ErroExportacao& e) {
            QCOMPARE(e.mensagem(), QStringLiteral("Exportação cancelada: nenhum arquivo foi gravado e nenhum mês foi marcado."));
        }
        QCOMPARE(antigos(), antes);

        // And when nothing fails, the folder holds exactly this export.
        const ResultadoExportacao r = exportaMeses(*c, lavras(), {1}, pasta->path(), QDate(2003, 6, 1));
        QCOMPARE(r.removidos, QStringList{caminho(nomeArquivo("TB_FONTE_COMPROVACAO"))});
        QCOMPARE(QDir(pasta->path()).entryList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot),
                 (QStringList{nomeArquivo("MANIFESTO"), nomeArquivo("TB_EXECUCAO_FISICA"), nomeArquivo("TB_MOVIMENTO"),
                              nomeArquivo("TB_SALDO_INICIAL")}));
        QVERIFY(conteudo(caminho(nomeArquivo("TB_MOVIMENTO"))).contains("\n3\n0\n20\n05/01/2003\n01/06/2003\n5\r\n"));
    }

    void exportMarkingThatFailsSaysTheFilesWereWritten()
    {
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"));
        // The database refuses to commit a sent month.
        ddl(QStringLiteral("create exception E_ENVIO_RECUSADO 'envio recusado'"));
        ddl(QStringLiteral("create trigger T_ENVIO_RECUSADO on transaction commit as begin "
                           "if (exists(select 1 from TB_MOVIMENTO_MUNICIPIO where SITUACAO = '3')) then "
                           "exception E_ENVIO_RECUSADO; end"));
        try {
            exportaMeses(*c, lavras(), {1}, pasta->path(), QDate(2003, 6, 1));
            QFAIL("exported");
        } catch (const ErroExportacao& e) {
            QVERIFY2(e.mensagem().startsWith(QStringLiteral("Os arquivos foram gravados na pasta \"%1\", mas os meses não foram "
                                                            "marcados como enviados: ")
                                                 .arg(QDir::toNativeSeparators(pasta->path()))),
                     qPrintable(e.mensagem()));
            QVERIFY2(e.mensagem().contains(QStringLiteral("envio recusado")), qPrintable(e.mensagem()));
            QVERIFY(e.mensagem().endsWith(QStringLiteral("Exporte os mesmos meses de novo.")));
        }
        QCOMPARE(QDir(pasta->path()).entryList(QDir::Files), (QStringList{nomeArquivo("MANIFESTO"), nomeArquivo("TB_MOVIMENTO")}));
        QCOMPARE(db::Statement(*c, {QStringLiteral("select SITUACAO from TB_MOVIMENTO_MUNICIPIO")}).scalar().toString(),
                 QStringLiteral("2"));
    }

    void exportedMonthShowsItsSendingDateAtTheState()
    {
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"), 100, QDate(2003, 2, 5));
        exportaMeses(*c, lavras(), {1}, pasta->path(), QDate(2003, 2, 9));

        support::TestDatabase::fresh(QStringLiteral("empty"));
        db::Connection estado;
        support::TestDatabase::configure(estado);
        fixture::parametros(estado, fixture::ano, fixture::uf, 0);
        QVERIFY(importaArquivos(estado, {caminho(nomeArquivo("TB_MOVIMENTO"))}).tudoCarregado());
        db::Dataset q(&estado, QStringLiteral("QryConsulta"));
        q.setSql(sqlControleEnvioUf());
        q.setParam(QStringLiteral("ano_compet"), fixture::ano);
        q.setParam(QStringLiteral("co_uf"), fixture::uf);
        q.open();
        QCOMPARE(q.recordCount(), 1);
        QCOMPARE(TDBtxtcopy::valueText(q.fieldByName(QStringLiteral("DT_FECHAMENTO")).value()), QStringLiteral("05/02/2003"));
        QCOMPARE(TDBtxtcopy::valueText(q.fieldByName(QStringLiteral("DT_ENVIO")).value()), QStringLiteral("09/02/2003"));
    }

    void filesWrittenBeforeSendingDatesImportAsTheyAre()
    {
        // An older export: the month "2" and no sending date.
        const QString path = caminho(nomeArquivo("TB_MOVIMENTO"));
        grava(path, arquivo(tabela("TB_MOVIMENTO"), {movimento(1)}));
        QVERIFY(importaArquivos(*c, {path}).tudoCarregado());
        const QStringList linhas = fixture::linhas(*c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), QStringLiteral("1"));
        QCOMPARE(linhas.size(), 1);
        QVERIFY2(linhas[0].endsWith(QStringLiteral("|2|0|20|2003-02-05T00:00:00|<null>|5")), qPrintable(linhas[0]));
    }

    void exportOfAStateInstallation()
    {
        // The state's own follow-up is municipality 0: no city row, prefix "000000".
        fixture::cabecalho(*c, 0, 7, QStringLiteral("2"));
        const Instalacao estado{fixture::ano, fixture::uf, 0, cidadeDaInstalacao(*c, 0).codigoIbge};
        QCOMPARE(mesesParaExportar(*c, estado), QVector<int>{7});
        const ResultadoExportacao r = exportaMeses(*c, estado, {7}, pasta->path());
        QCOMPARE(r.gravados, (QStringList{caminho(QStringLiteral("MG2003000000TB_MOVIMENTO.TXT")),
                                          caminho(QStringLiteral("MG2003000000MANIFESTO.TXT"))}));
    }

    void exportThenImportGivesTheRowsExactly()
    {
        // Rows with awkward values: accents, fractions, tiny and huge numbers (as large as
        // a follow-up holds), a time of day, an empty text. (The file carries 15
        // significant digits.)
        fixture::saldoInicial(*c, fixture::lavras, 1234.56789);
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"), 0.3);
        fixture::cabecalho(*c, fixture::lavras, 2, QStringLiteral("3"), 1e-7, QDate(2003, 3, 5), QDate(2003, 3, 9));
        fixture::medicamento(*c, fixture::lavras, 1, 5, 3, 0.125);
        fixture::medicamento(*c, fixture::lavras, 2, 6, 7, 0.0625);
        fixture::documento(*c, fixture::lavras, 1, QStringLiteral("Nº ação"), 99.99);
        fixture::documento(*c, fixture::lavras, 2, QStringLiteral("doc"), 987654321098.76);
        db::Statement(*c, {QStringLiteral("update TB_FONTE_COMPROVACAO_MUNICIPIO set DT_DOC = cast('2003-02-10 08:30:15' as timestamp), "
                                          "NU_FAVORECIDO = '' where NR_NUMERO_DOC = 'doc'")})
            .exec();
        exportaMeses(*c, lavras(), {1, 2}, pasta->path());
        // The months as the export marked them: that is what the files carry.
        const QStringList antes = fixture::tudo(*c);

        support::TestDatabase::fresh(QStringLiteral("empty"));
        db::Connection estado;
        support::TestDatabase::configure(estado);
        QStringList arquivos;
        for (const QString& nome : QDir(pasta->path()).entryList(QDir::Files))
            arquivos << caminho(nome);
        QCOMPARE(arquivos.size(), 5);  // the four and their manifest
        const ResumoImportacao r = importaArquivos(estado, arquivos);
        QVERIFY2(r.tudoCarregado(), qPrintable(r.texto()));
        QVERIFY2(r.semManifesto.isEmpty(), qPrintable(r.texto()));
        QVERIFY(r.texto().contains(QStringLiteral("MG2003313820MANIFESTO.TXT: manifesto dos arquivos do município.")));
        QCOMPARE(fixture::tudo(estado), antes);
    }

    // --- shipment control ------------------------------------------------------------

    void shipmentControlStatements()
    {
        fixture::cabecalho(*c, fixture::lavras, 10, QStringLiteral("3"), 1, QDate(2003, 11, 5), QDate(2003, 11, 9));
        fixture::cabecalho(*c, fixture::lavras, 9, QStringLiteral("2"), 1, QDate(2003, 10, 5));
        fixture::cabecalho(*c, fixture::abaete, 9, QStringLiteral("1"));
        fixture::cabecalho(*c, 9999999, 9, QStringLiteral("2"));  // no such city
        fixture::cabecalho(*c, fixture::lavras, 1, QStringLiteral("2"), 1, QDate(2003, 2, 5), QVariant(), QStringLiteral("2002"));
        const auto le = [this](const QStringList& sql, int cidade) {
            db::Dataset q(c.get(), QStringLiteral("QryConsulta"));
            q.setSql(sql);
            q.setParam(QStringLiteral("ano_compet"), fixture::ano);
            q.setParam(QStringLiteral("co_uf"), fixture::uf);
            q.setParam(QStringLiteral("co_cidade"), cidade);
            q.open();
            QStringList out;
            for (int r = 0; r < q.recordCount(); ++r) {
                QStringList cells;
                for (const auto& f : q.fields())
                    cells << TDBtxtcopy::valueText(q.rowValue(r, *f));
                out << cells.join(QLatin1Char('|'));
            }
            return out;
        };
        QCOMPARE(le(sqlControleEnvioMunicipio(), fixture::lavras),
                 (QStringList{"9|Lavras|05/10/2003||MG", "10|Lavras|05/11/2003|09/11/2003|MG"}));
        QCOMPARE(le(sqlControleEnvioUf(), 0),
                 (QStringList{"9||05/01/2003||MG", "9|Abaeté|||MG", "9|Lavras|05/10/2003||MG",
                              "10|Lavras|05/11/2003|09/11/2003|MG"}));
    }
};

QTEST_GUILESS_MAIN(TestInterchangeRules)
#include "tst_interchange_rules.moc"
