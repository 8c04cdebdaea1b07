// Reads 100,000 rows through a bare QSqlQuery, through a dataset, and through the same
// dataset with one lookup field into the 5,570 municipalities, each in a fresh child
// process so that each one's peak memory is its own, and prints the rates, the peaks and
// their ratios beside the goals.
#include "db/Connection.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Dataset.h"
#include "data/Installation.h"
#include "db/Statement.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QTemporaryDir>

#include <sys/resource.h>

namespace {

constexpr int rows = 100000;

const QString selectAll = QStringLiteral(
    "select NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, CO_SEQ_MED, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, "
    "VL_UNITARIO, VL_TOTAL, ST_ORIGEM from TB_EXECUCAO_FISICA_MUNICIPIO");

long peakKb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

void fill(const QString& path)
{
    data::createDatabase(path, false);
    db::Connection c;
    installation::configure(c, path);
    c.open();
    // Every municipality in turn, so that the lookup meets all 5,570 keys.
    QList<int> cities;
    for (const QVariantList& row : db::Statement(c, {QStringLiteral("select CO_SEQ_CIDADE from TB_CIDADE")}).selectAll())
        cities << row.value(0).toInt();
    db::WriteUnit unit(c);
    db::Statement s(c, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                                       "values ('2024', 'MG', :CIDADE, :MES, :MED, :QT, :VU, :VT, 'M')")});
    for (int i = 0; i < rows; ++i) {
        s.setParam(QStringLiteral("CIDADE"), cities.at(i % cities.size()));
        s.setParam(QStringLiteral("MES"), QString::number(i % 12 + 1));
        s.setParam(QStringLiteral("MED"), i % 40 + 1);
        s.setParam(QStringLiteral("QT"), i % 500 + 1);
        s.setParam(QStringLiteral("VU"), 0.125 * (i % 80 + 1));
        s.setParam(QStringLiteral("VT"), 0.125 * (i % 80 + 1) * (i % 500 + 1));
        s.exec();
    }
    unit.commit();
}

// One measurement in this process; prints "seconds peakKb".
int measure(const QString& mode, const QString& path)
{
    db::Connection c;
    installation::configure(c, path);
    c.open();
    QElapsedTimer t;
    t.start();
    double sum = 0;
    if (mode == QLatin1String("dataset") || mode == QLatin1String("lookup")) {
        const bool lookup = mode == QLatin1String("lookup");
        // The lookup's cost includes opening its dataset.
        db::Dataset cities(&c, QStringLiteral("cities"));
        cities.setSql(QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE from TB_CIDADE"));
        if (lookup)
            cities.open();
        db::Dataset ds(&c, QStringLiteral("bench"));
        ds.setSql(selectAll);
        using db::FieldType;
        for (const auto& [name, type] : std::initializer_list<std::pair<const char*, FieldType>>{
                 {"NU_ANO_COMPET", FieldType::String}, {"CO_UF", FieldType::String}, {"CO_CIDADE", FieldType::Integer},
                 {"NU_MES_COMPET", FieldType::String}, {"CO_SEQ_MED", FieldType::SmallInt},
                 {"CO_SEQ_MEDICAMENTO", FieldType::SmallInt}, {"QT_MEDICAMENTO", FieldType::Integer},
                 {"VL_UNITARIO", FieldType::Float}, {"VL_TOTAL", FieldType::Float}, {"ST_ORIGEM", FieldType::String}})
            ds.addField(QString::fromLatin1(name), type, type == FieldType::String ? 4 : 0);
        if (lookup)
            ds.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50, db::FieldKind::Lookup)
                .setLookup(&cities, QStringLiteral("CO_CIDADE"), QStringLiteral("CO_SEQ_CIDADE"), QStringLiteral("NO_CIDADE"));
        ds.open();
        db::Field& total = ds.fieldByName(QStringLiteral("VL_TOTAL"));
        db::Field& city = ds.fieldByName(lookup ? QStringLiteral("NO_CIDADE") : QStringLiteral("CO_UF"));
        qsizetype chars = 0;
        for (ds.first(); !ds.eof(); ds.next()) {
            sum += total.asFloat();
            chars += city.asString().size();
        }
        if (ds.recordCount() != rows || chars < rows)
            return 2;
    } else {
        QSqlQuery q(c.database());
        q.setForwardOnly(true);
        q.exec(selectAll);
        const int columns = q.record().count();
        int n = 0;
        while (q.next()) {
            for (int i = 0; i < columns; ++i)
                (void)q.value(i);
            sum += q.value(8).toDouble();
            ++n;
        }
        if (n != rows)
            return 2;
    }
    const double seconds = double(t.nsecsElapsed()) / 1e9;
    printf("%.6f %ld %.2f\n", seconds, peakKb(), sum);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 4 && args.at(1) == QLatin1String("--measure"))
        return measure(args.at(2), args.at(3));
    if (args.size() == 3 && args.at(1) == QLatin1String("--fill")) {
        // Keeps a filled database for profiling one side with --measure.
        fill(args.at(2));
        return 0;
    }

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.gdb"));
    printf("filling %d rows...\n", rows);
    fflush(stdout);
    {
        // In a child too: a child's peak counts its parent's size at the fork, and the
        // parent must stay small for the peaks below to be the children's own.
        QProcess p;
        p.setProcessChannelMode(QProcess::ForwardedChannels);
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--fill"), path});
        if (!p.waitForFinished(-1) || p.exitCode() != 0) {
            fprintf(stderr, "filling failed\n");
            return 1;
        }
    }

    // Best of three runs each, alternating, since the machine is noisy. A first read,
    // not counted, lets the engine clean up after the bulk insert: that work would
    // otherwise fall on whichever side reads first.
    struct Result {
        double seconds = 1e9;
        long peak = 0;
    };
    Result bare, dataset, lookup, warmUp;
    const auto run = [&](const char* mode, Result& r) {
        QProcess p;
        p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), QString::fromLatin1(mode), path});
        p.waitForFinished(-1);
        const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(u' ');
        if (p.exitCode() != 0 || out.size() < 2) {
            fprintf(stderr, "measurement failed: %s\n", p.readAllStandardError().constData());
            return false;
        }
        r.seconds = std::min(r.seconds, out.at(0).toDouble());
        r.peak = std::max(r.peak, out.at(1).toLong());
        return true;
    };
    if (!run("bare", warmUp))
        return 1;
    for (int round = 0; round < 3; ++round)
        if (!run("bare", bare) || !run("dataset", dataset) || !run("lookup", lookup))
            return 1;
    printf("bare QSqlQuery          : %9.0f rows/s  peak %6ld KiB\n", rows / bare.seconds, bare.peak);
    printf("db::Dataset             : %9.0f rows/s  peak %6ld KiB\n", rows / dataset.seconds, dataset.peak);
    printf("db::Dataset + lookup    : %9.0f rows/s  peak %6ld KiB\n", rows / lookup.seconds, lookup.peak);
    printf("dataset / bare rate     : %.2f (goal: at least 0.75)\n", bare.seconds / dataset.seconds);
    printf("dataset / bare peak     : %.2f (goal: at most 1.50)\n", double(dataset.peak) / double(bare.peak));
    printf("lookup / dataset time   : %.2f (goal: at most 1.50; 5,570 keys)\n", lookup.seconds / dataset.seconds);
    return 0;
}
