// Import and export of interchange files, each beside a baseline measured in the same
// run, every measurement in a child process of its own so that its peak memory is its
// own:
//  - importing a year of several hundred municipalities (about 100,000 rows) through
//    the loader, against a prepared insert of the same rows in one transaction (goal
//    at least 100 %);
//  - the loader at about 400,000 rows against its own 100,000-row rate (goal at least
//    90 %), its peak memory at most 1.5 times its own at 100,000 rows;
//  - one month of 2,000, 8,000 and 32,000 medication lines, through the loader and
//    through the numbering trigger (the follow-up window's inserts, one by one): the
//    32,000-line month at least 80 % of the 2,000-line month's rate;
//  - exporting one municipality's year (about 100,000 rows), against a bare select
//    that writes the same bytes (goal at least 70 %).
#include "Gerador.h"

#include "data/Installation.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "interchange/rules/Carga.h"
#include "interchange/rules/Exportacao.h"
#include "interchange/rules/Leitor.h"
#include "interchange/rules/TDBtxtcopy.h"
#include "interchange/rules/Tabelas.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <sys/resource.h>

#include <algorithm>

#include <cstdio>

namespace {

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void connect(db::Connection& c, const QString& path)
{
    installation::configure(c, path);
    c.open();
}

gerador::Ano ano(int municipios)
{
    gerador::Ano a;
    a.municipios = municipios;
    a.linhasExecucao = 6;
    a.linhasDocumentos = 4;
    return a;
}

// Prepared inserts of every row of the files, parsed once before timing, in one
// transaction: what the loader's work costs at the least.
double baselineInsert(const QString& path, const QStringList& files)
{
    std::vector<interchange::ArquivoLido> lidos;
    for (const QString& f : files) {
        QFile in(f);
        in.open(QIODevice::ReadOnly);
        lidos.push_back(interchange::leArquivo(in.readAll(), *interchange::tabelaDoArquivo(QFileInfo(f).fileName())));
    }
    db::Connection c;
    connect(c, path);
    QSqlDatabase d = c.database();
    QElapsedTimer t;
    t.start();
    d.transaction();
    std::map<QString, std::unique_ptr<QSqlQuery>> inserts;
    for (const interchange::ArquivoLido& l : lidos) {
        const interchange::TabelaIntercambio& tb = *l.tabela;
        auto& q = inserts[tb.tabela];
        QList<int> pos;
        QStringList cols, marks;
        for (int j = 0; j < tb.colunas.size(); ++j)
            if (!tb.colunas[j].omitida) {
                pos << j;
                cols << tb.colunas[j].nome;
                marks << QStringLiteral("?");
            }
        if (!q) {
            q = std::make_unique<QSqlQuery>(d);
            q->prepare(QStringLiteral("insert into %1 (%2) values (%3)").arg(tb.tabela, cols.join(','), marks.join(',')));
        }
        for (const interchange::LinhaLida& r : l.linhas) {
            for (int k = 0; k < pos.size(); ++k)
                q->bindValue(k, r.valores[pos[k]]);
            if (!q->exec())
                qFatal("baseline insert failed");
        }
    }
    inserts.clear();
    d.commit();
    return t.elapsed() / 1000.0;
}

// Inserts of n medication lines into one month, each numbered by the trigger, as the
// follow-up window inserts them, in one transaction.
double numbering(const QString& path, int n)
{
    db::Connection c;
    connect(c, path);
    db::Statement s(c, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "CO_SEQ_MED, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                                       "values ('2003', 'MG', 3138203, '5', 0, :MED, 100, 1.5, 150, 'M')")});
    s.setCountsRows(false);
    QElapsedTimer t;
    t.start();
    db::WriteUnit unit(c);
    for (int i = 0; i < n; ++i) {
        s.setParam(QStringLiteral("MED"), i % 45 + 1);
        s.exec();
    }
    unit.commit();
    const double seconds = t.elapsed() / 1000.0;
    if (db::Statement(c, {QStringLiteral("select count(distinct CO_SEQ_MED) from TB_EXECUCAO_FISICA_MUNICIPIO")}).scalar().toInt() != n)
        qFatal("numbering gave repeated numbers");
    return seconds;
}

double loader(const QString& path, const QStringList& files)
{
    db::Connection c;
    connect(c, path);
    QElapsedTimer t;
    t.start();
    interchange::setIdadeMinimaArquivo(0);  // the files were just written
    const interchange::ResumoImportacao r = interchange::importaArquivos(c, files);
    if (!r.tudoCarregado())
        qFatal("import refused: %s", qPrintable(r.texto()));
    return t.elapsed() / 1000.0;
}

// One municipality's year, written directly.
void fillMunicipality(const QString& path, int rowsPerTable)
{
    db::Connection c;
    connect(c, path);
    db::WriteUnit unit(c);
    db::Statement e(c, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "CO_SEQ_MED, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                                       "values ('2003', 'MG', 3138203, :MES, :SEQ, :MED, :QT, :VU, :VT, 'M')")});
    db::Statement d(c, {QStringLiteral("insert into TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "CO_SEQ_DOC, ST_TIPO_DOC, NU_FAVORECIDO, NR_NUMERO_DOC, ST_TIPO_FAVORECIDO, DT_DOC, VL_DOC) "
                                       "values ('2003', 'MG', 3138203, :MES, :SEQ, 'N', '11222333000181', :NR, '1', :DT, :V)")});
    db::Statement m(c, {QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "VL_SALDO_ANTERIOR, SITUACAO, DT_FECHAMENTO) values ('2003', 'MG', 3138203, :MES, 10, '2', :DT)")});
    for (int i = 0; i < rowsPerTable; ++i) {
        const int mes = i % 12 + 1;
        e.setParam(QStringLiteral("MES"), QString::number(mes));
        e.setParam(QStringLiteral("SEQ"), i / 12 + 1);
        e.setParam(QStringLiteral("MED"), i % 40 + 1);
        e.setParam(QStringLiteral("QT"), i % 500 + 1);
        e.setParam(QStringLiteral("VU"), 0.125 * (i % 80 + 1) / 3);
        e.setParam(QStringLiteral("VT"), 1234.5 + i);
        e.exec();
        d.setParam(QStringLiteral("MES"), QString::number(mes));
        d.setParam(QStringLiteral("SEQ"), i / 12 + 1);
        d.setParam(QStringLiteral("NR"), QStringLiteral("NF-%1").arg(i));
        d.setParam(QStringLiteral("DT"), QDate(2003, mes, 10));
        d.setParam(QStringLiteral("V"), 99.99 + i);
        d.exec();
    }
    for (int mes = 1; mes <= 12; ++mes) {
        m.setParam(QStringLiteral("MES"), QString::number(mes));
        m.setParam(QStringLiteral("DT"), QDate(2003, mes, 28));
        m.exec();
    }
    unit.commit();
}

const QVector<int> doze{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

double exportRules(const QString& path, const QString& folder)
{
    db::Connection c;
    connect(c, path);
    QElapsedTimer t;
    t.start();
    interchange::exportaMeses(c, {QStringLiteral("2003"), QStringLiteral("MG"), 3138203, QStringLiteral("313820")}, doze, folder,
                              QDate(2003, 12, 31));
    return t.elapsed() / 1000.0;
}

// The same selects read with a bare forward-only query and written as the same bytes.
double exportBare(const QString& path, const QString& folder)
{
    db::Connection c;
    connect(c, path);
    QSqlDatabase d = c.database();
    QElapsedTimer t;
    t.start();
    for (const interchange::TabelaIntercambio& tb : interchange::tabelasIntercambio()) {
        QSqlQuery q(d);
        q.setForwardOnly(true);
        QString sql = QStringLiteral("select * from %1 where NU_ANO_COMPET = '2003' and CO_UF = 'MG' and CO_CIDADE = 3138203").arg(tb.tabela);
        if (tb.chaves == 4) {
            // The export's order: months in number order, each month's lines by their number.
            sql += QStringLiteral(" and NU_MES_COMPET in ('1','2','3','4','5','6','7','8','9','10','11','12') order by cast(NU_MES_COMPET as integer)");
            for (const interchange::Coluna& col : tb.colunas)
                if (col.omitida)
                    sql += QStringLiteral(", ") + col.nome;
        }
        q.exec(sql);
        const QSqlRecord rec = q.record();
        QString out;
        for (int i = 0; i < rec.count(); ++i)
            out += rec.fieldName(i) + (i + 1 < rec.count() ? QStringLiteral("\n") : QStringLiteral("\r\n"));
        while (q.next())
            for (int i = 0; i < rec.count(); ++i)
                out += TDBtxtcopy::valueText(q.isNull(i) ? QVariant() : q.value(i)) +
                       (i + 1 < rec.count() ? QStringLiteral("\n") : QStringLiteral("\r\n"));
        QFile f(QDir(folder).filePath(tb.palavra + QStringLiteral(".bare")));
        f.open(QIODevice::WriteOnly);
        f.write(text::toWin1252(out));
    }
    return t.elapsed() / 1000.0;
}

int child(const QStringList& a)
{
    text::setBrazilianFormats();
    const QString mode = a.value(0), path = a.value(1), folder = a.value(2);
    double s = 0;
    if (mode == QLatin1String("baseline") || mode == QLatin1String("import")) {
        QStringList files;
        for (const QString& n : QDir(folder).entryList(QDir::Files, QDir::Name))
            files << QDir(folder).filePath(n);
        s = mode == QLatin1String("baseline") ? baselineInsert(path, files) : loader(path, files);
    } else if (mode == QLatin1String("numbering")) {
        s = numbering(path, folder.toInt());
    } else if (mode == QLatin1String("export")) {
        s = exportRules(path, folder);
    } else if (mode == QLatin1String("bare")) {
        s = exportBare(path, folder);
    }
    std::printf("%.6f %ld\n", s, peakKb());
    return 0;
}

struct Medida {
    double segundos = 0;
    long pico = 0;
};

Medida roda(const QString& mode, const QString& path, const QString& folder)
{
    QProcess p;
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode, path, folder});
    p.waitForFinished(-1);
    const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(QLatin1Char(' '));
    if (p.exitCode() != 0 || out.size() < 2)
        qFatal("%s failed: %s", qPrintable(mode), p.readAllStandardError().constData());
    return {out.at(0).toDouble(), out.at(1).trimmed().toLong()};
}

QString copia(const QString& modelo, const QString& nome)
{
    const QString c = QFileInfo(modelo).dir().filePath(nome);
    QFile::remove(c);
    QFile::copy(modelo, c);
    return c;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--child"))
        return child(args.mid(1));
    text::setBrazilianFormats();
    const int grande = args.value(0).toInt() > 0 ? args.value(0).toInt() : 3000;

    QTemporaryDir dir;
    const QString modelo = dir.filePath(QStringLiteral("modelo.fdb"));
    data::createDatabase(modelo, false);

    // Import, about 100,000 rows: 750 municipalities of 133 rows a year.
    const QString cem = dir.filePath(QStringLiteral("cem"));
    QDir().mkpath(cem);
    qint64 linhas = 0;
    gerador::escreve(cem, ano(750), &linhas);
    // Each side twice, in the order baseline, loader, loader, baseline: a machine that
    // slows down or speeds up during the run weighs on both alike.
    const auto soma = [](const Medida& a, const Medida& b) { return Medida{(a.segundos + b.segundos) / 2, std::max(a.pico, b.pico)}; };
    const Medida base1 = roda(QStringLiteral("baseline"), copia(modelo, QStringLiteral("a.fdb")), cem);
    const Medida imp1 = roda(QStringLiteral("import"), copia(modelo, QStringLiteral("b.fdb")), cem);
    const Medida imp2 = roda(QStringLiteral("import"), copia(modelo, QStringLiteral("b.fdb")), cem);
    const Medida base2 = roda(QStringLiteral("baseline"), copia(modelo, QStringLiteral("a.fdb")), cem);
    const Medida base = soma(base1, base2);
    const Medida imp = soma(imp1, imp2);
    std::printf("import %lld rows (750 municipalities x 12 months)\n", linhas);
    std::printf("  prepared insert, one transaction : %9.0f rows/s  peak %7ld KiB\n", linhas / base.segundos, base.pico);
    std::printf("  korva loader                     : %9.0f rows/s  peak %7ld KiB\n", linhas / imp.segundos, imp.pico);
    std::printf("  ratio %.2f (goal >= 1.00)\n", base.segundos / imp.segundos);

    // Import, about 400,000 rows.
    const QString quatro = dir.filePath(QStringLiteral("quatro"));
    QDir().mkpath(quatro);
    qint64 linhas4 = 0;
    gerador::escreve(quatro, ano(grande), &linhas4);
    const Medida imp4 = roda(QStringLiteral("import"), copia(modelo, QStringLiteral("c.fdb")), quatro);
    std::printf("import %lld rows (%d municipalities)\n", linhas4, grande);
    std::printf("  korva loader                     : %9.0f rows/s  peak %7ld KiB\n", linhas4 / imp4.segundos, imp4.pico);
    // Memory against the loader's own peak at 100,000 rows, not the baseline's (which holds
    // no file in memory): what grows with the files is the loader's.
    std::printf("  rate against its 100,000-row rate %.2f (goal >= 0.90); peak %+ld KiB against its own at 100,000 rows, "
                "%.2f times (goal <= 1.50)\n",
                (linhas4 / imp4.segundos) / (linhas / imp.segundos), imp4.pico - imp.pico, double(imp4.pico) / imp.pico);

    // One month of 2,000, 8,000 and 32,000 medication lines (and its header, a document
    // and the initial balance); the 2,000-line month measured before and after the others.
    std::printf("one month of n medication lines: loader, and inserts numbered by the trigger\n");
    const QVector<int> tamanhos{2000, 8000, 32000, 2000};
    QVector<double> taxaCarga, taxaNumeracao;
    for (int k = 0; k < tamanhos.size(); ++k) {
        const int n = tamanhos[k];
        const QString mes = dir.filePath(QStringLiteral("mes%1").arg(k));
        QDir().mkpath(mes);
        gerador::Ano um;
        um.municipios = 1;
        um.meses = 1;
        um.linhasExecucao = n;
        um.linhasDocumentos = 1;
        qint64 linhasMes = 0;
        gerador::escreve(mes, um, &linhasMes);
        const Medida carga = roda(QStringLiteral("import"), copia(modelo, QStringLiteral("m%1.fdb").arg(k)), mes);
        const Medida numeracao = roda(QStringLiteral("numbering"), copia(modelo, QStringLiteral("n%1.fdb").arg(k)), QString::number(n));
        taxaCarga << linhasMes / carga.segundos;
        taxaNumeracao << n / numeracao.segundos;
        std::printf("  %6d lines: loader %9.0f rows/s (%6.2f s), trigger-numbered inserts %9.0f rows/s (%6.2f s)\n", n,
                    taxaCarga.last(), carga.segundos, taxaNumeracao.last(), numeracao.segundos);
    }
    std::printf("  32,000-line month against the 2,000-line month: loader %.2f, trigger-numbered inserts %.2f (goal >= 0.80)\n",
                taxaCarga[2] / ((taxaCarga[0] + taxaCarga[3]) / 2), taxaNumeracao[2] / ((taxaNumeracao[0] + taxaNumeracao[3]) / 2));

    // Export of one municipality's year.
    const QString exp = copia(modelo, QStringLiteral("d.fdb"));
    {
        db::Connection c;
        connect(c, exp);
    }
    fillMunicipality(exp, 48000);
    const QString saida = dir.filePath(QStringLiteral("export"));
    QDir().mkpath(saida);
    // The export first: it marks the months it writes as sent, and writes them so marked;
    // the bare select then reads them as the export wrote them.
    const Medida rules = roda(QStringLiteral("export"), exp, saida);
    const Medida bare = roda(QStringLiteral("bare"), exp, saida);
    std::printf("export 96,012 rows of one municipality\n");
    std::printf("  bare select and write            : %9.0f rows/s  peak %7ld KiB\n", 96012 / bare.segundos, bare.pico);
    std::printf("  korva export                     : %9.0f rows/s  peak %7ld KiB\n", 96012 / rules.segundos, rules.pico);
    // The baseline is a baseline only if it wrote what the export wrote.
    for (const interchange::TabelaIntercambio& tb : interchange::tabelasIntercambio()) {
        const QStringList feitos = QDir(saida).entryList({QStringLiteral("*") + tb.palavra + QStringLiteral(".TXT")}, QDir::Files);
        QFile a(QDir(saida).filePath(tb.palavra + QStringLiteral(".bare")));
        if (!a.open(QIODevice::ReadOnly))
            qFatal("export: the bare select wrote no file of %s", qPrintable(tb.palavra));
        if (feitos.isEmpty()) {
            // A table without rows gets no file from the export: the bare select found none either.
            if (a.readAll().count('\r') != 1)
                qFatal("export: no file of %s, but the bare select found rows", qPrintable(tb.palavra));
            continue;
        }
        QFile b(QDir(saida).filePath(feitos.first()));
        if (!b.open(QIODevice::ReadOnly) || a.readAll() != b.readAll())
            qFatal("export: the bare select did not write the bytes the export wrote in %s", qPrintable(feitos.first()));
    }
    std::printf("  the same bytes in every file; ratio %.2f (goal >= 0.70)\n", bare.segundos / rules.segundos);
    return 0;
}
