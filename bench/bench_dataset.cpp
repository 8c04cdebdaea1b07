// Reads 100,000 rows through a dataset and through a bare QSqlQuery, each in a fresh
// child process so that each one's peak memory is its own, and prints both rates, their
// ratio and the peaks.
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
    c.setDatabaseName(path);
    c.setUserName(installation::userName());
    c.setPassword(installation::password());
    c.open();
    db::WriteUnit unit(c);
    db::Statement s(c, {QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                                       "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) "
                                       "values ('2024', 'MG', :CIDADE, :MES, :MED, :QT, :VU, :VT, 'M')")});
    for (int i = 0; i < rows; ++i) {
        s.setParam(QStringLiteral("CIDADE"), 3100000 + i / 1200);
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
    c.setDatabaseName(path);
    c.setUserName(installation::userName());
    c.setPassword(installation::password());
    c.open();
    QElapsedTimer t;
    t.start();
    double sum = 0;
    if (mode == QLatin1String("dataset")) {
        db::Dataset ds(&c, QStringLiteral("bench"));
        ds.setSql(selectAll);
        ds.open();
        db::Field& total = ds.fieldByName(QStringLiteral("VL_TOTAL"));
        for (ds.first(); !ds.eof(); ds.next())
            sum += total.asFloat();
        if (ds.recordCount() != rows)
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
    fill(path);

    // Best of three runs each, alternating, since the machine is noisy.
    struct Result {
        double seconds = 1e9;
        long peak = 0;
    };
    Result bare, dataset;
    for (int round = 0; round < 3; ++round) {
        for (const char* mode : {"bare", "dataset"}) {
            QProcess p;
            p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--measure"), QString::fromLatin1(mode), path});
            p.waitForFinished(-1);
            const QStringList out = QString::fromLatin1(p.readAllStandardOutput()).split(u' ');
            if (p.exitCode() != 0 || out.size() < 2) {
                fprintf(stderr, "measurement failed: %s\n", p.readAllStandardError().constData());
                return 1;
            }
            Result& r = qstrcmp(mode, "bare") == 0 ? bare : dataset;
            r.seconds = std::min(r.seconds, out.at(0).toDouble());
            r.peak = std::max(r.peak, out.at(1).toLong());
        }
    }
    printf("bare QSqlQuery : %9.0f rows/s  peak %6ld KiB\n", rows / bare.seconds, bare.peak);
    printf("db::Dataset    : %9.0f rows/s  peak %6ld KiB\n", rows / dataset.seconds, dataset.peak);
    printf("dataset / bare rate: %.2f (goal: at least 0.50)\n", bare.seconds / dataset.seconds);
    return 0;
}
