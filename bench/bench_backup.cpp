// A backup of a database with 1,000,000 follow-up rows through the program's backup
// (the engine's backup through the service manager, streamed into the file by this
// process), beside `gbak -b` of the same file, measured in the same run, each side three
// times, alternating which runs first; the best of each. Goal: at most 1.2 times gbak.
//
//   bench_backup [ROWS]
#include "backup/rules/Copia.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/EmbeddedEngine.h"
#include "fbapi/FbClient.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

namespace {

const QString user = QStringLiteral("SYSDBA");
const QString password = QStringLiteral("cobaltrim");

// The follow-up lines of 1,000 municipalities, ten months each, prepared once and run
// in one transaction.
void fill(const QString& path, int rows)
{
    db::fb::Database d;
    d.attach(path, user, password);
    {
        db::fb::Transaction tr(d);
        db::fb::Statement movimento(tr, QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                                       "NU_MES_COMPET, VL_SALDO_ANTERIOR, SITUACAO) values ('2024', 'MG', ?, ?, 10, '2')"));
        db::fb::Statement linha(tr, QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                                   "NU_MES_COMPET, CO_SEQ_MED, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, "
                                                   "VL_TOTAL, ST_ORIGEM) values ('2024', 'MG', ?, ?, ?, ?, ?, ?, ?, 'M')"));
        const int porMes = 100;
        for (int i = 0; i < rows; ++i) {
            const int mes = i / porMes % 10 + 1;
            const int cidade = i / (porMes * 10) + 1;
            const int seq = i % porMes + 1;
            if (seq == 1)
                movimento.execute({cidade, QString::number(mes)});
            linha.execute({cidade, QString::number(mes), seq, i % 400 + 1, i % 500 + 1, 0.125 * (i % 80 + 1) / 3, 1234.5 + i});
        }
        tr.commit();
    }
    d.detach();
}

double korva(const QString& path, const QString& file)
{
    QFile::remove(file);
    QElapsedTimer t;
    t.start();
    const auto r = copia::fazCopia(file, {}, path);
    const double s = t.elapsed() / 1000.0;
    if (!r)
        qFatal("the program's backup failed: %s", qPrintable(r.falha().texto()));
    return s;
}

double gbak(const QString& path, const QString& file)
{
    QFile::remove(file);
    const QString tool = QStandardPaths::findExecutable(QStringLiteral("gbak"));
    if (tool.isEmpty())
        qFatal("gbak is not installed (package firebird3.0-utils)");
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(tool, {QStringLiteral("-b"), QStringLiteral("-user"), user, QStringLiteral("-password"), password, path, file});
    if (!p.waitForFinished(-1) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0)
        qFatal("gbak -b failed: %s", p.readAllStandardError().constData());
    const double s = t.elapsed() / 1000.0;
    if (QFileInfo(file).size() == 0)
        qFatal("gbak -b wrote nothing");
    return s;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("no temporary folder");
    // The installation's settings are this folder's, whatever the environment says.
    qputenv("KORVA_HOME", QFile::encodeName(dir.path()));
    for (const char* v : {"KORVA_DATABASE", "KORVA_USER", "KORVA_PASSWORD"})
        qunsetenv(v);
    db::prepareEmbeddedEngine();  // gbak, a child, uses the same lock folder
    const QString path = dir.filePath(QStringLiteral("KORVA.GDB"));

    QElapsedTimer t;
    t.start();
    data::createDatabase(path, false);
    fill(path, rows);
    std::printf("database with %d follow-up rows: %.1f MB, made in %.1f s\n", rows,
                QFileInfo(path).size() / 1048576.0, t.elapsed() / 1000.0);
    std::fflush(stdout);

    const QString nosso = dir.filePath(QStringLiteral("korva.fbk"));
    const QString deles = dir.filePath(QStringLiteral("gbak.fbk"));
    double melhorNosso = 1e9, melhorGbak = 1e9;
    for (int round = 0; round < 3; ++round) {
        double a, b;
        if (round % 2 == 0) {
            a = korva(path, nosso);
            b = gbak(path, deles);
        } else {
            b = gbak(path, deles);
            a = korva(path, nosso);
        }
        std::printf("round %d: korva-db backup %.2f s, gbak -b %.2f s\n", round + 1, a, b);
        std::fflush(stdout);
        melhorNosso = std::min(melhorNosso, a);
        melhorGbak = std::min(melhorGbak, b);
    }
    std::printf("backup files: %.1f MB (program), %.1f MB (gbak -b)\n", QFileInfo(nosso).size() / 1048576.0,
                QFileInfo(deles).size() / 1048576.0);
    const double ratio = melhorNosso / melhorGbak;
    std::printf("backup of %d follow-up rows: program %.2f s, gbak -b %.2f s: %.2f times gbak (goal: at most 1.2) %s\n", rows,
                melhorNosso, melhorGbak, ratio, ratio <= 1.2 ? "OK" : "ABOVE GOAL");
    return 0;
}
