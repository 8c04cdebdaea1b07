// Importing a year of several hundred municipalities (about 100,000 rows) through the
// loader into a database on a Firebird server over the loopback, against the same import
// into the embedded engine, measured in the same run, each twice and in a child process
// of its own (goal: the server at least 60 % of the embedded rate). The server is one of the benchmark's own (scripts/firebird-server.sh), started
// and stopped here.
//
//   bench_server [MUNICIPALITIES]     (750 by default: about 100,000 rows)
#include "Gerador.h"

#include "data/Installation.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Connection.h"
#include "interchange/rules/Carga.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

namespace {

int child(const QString& database, const QString& folder)
{
    text::setBrazilianFormats();
    QStringList files;
    for (const QString& n : QDir(folder).entryList(QDir::Files, QDir::Name))
        files << QDir(folder).filePath(n);
    db::Connection c;
    installation::configure(c, database);
    c.open();
    QElapsedTimer t;
    t.start();
    interchange::setIdadeMinimaArquivo(0);  // the files were just written
    const interchange::ResumoImportacao r = interchange::importaArquivos(c, files);
    if (!r.tudoCarregado())
        qFatal("import refused: %s", qPrintable(r.texto()));
    std::printf("%.6f\n", t.elapsed() / 1000.0);
    return 0;
}

double measure(const QString& database, const QString& folder, const QProcessEnvironment& env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), database, folder});
    p.waitForFinished(-1);
    bool ok = false;
    const double s = QString::fromLatin1(p.readAllStandardOutput()).trimmed().toDouble(&ok);
    if (p.exitCode() != 0 || !ok)
        qFatal("import into %s failed: %s", qPrintable(database), p.readAllStandardError().constData());
    return s;
}

int server(const QString& command, const QString& folder)
{
    return QProcess::execute(QStringLiteral(KORVA_SOURCE_DIR "/scripts/firebird-server.sh"), {command, folder});
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--child"))
        return child(args.value(1), args.value(2));
    text::setBrazilianFormats();
    const int municipalities = args.value(0).toInt() > 0 ? args.value(0).toInt() : 750;

    QTemporaryDir dir;
    const QString serverFolder = dir.filePath(QStringLiteral("servidor"));
    if (server(QStringLiteral("start"), serverFolder) != 0 || !QFile::exists(serverFolder + QStringLiteral("/servidor.env"))) {
        QFile why(serverFolder + QStringLiteral("/indisponivel"));
        why.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "bench_server: no Firebird server: %s\n", why.readAll().trimmed().constData());
        return 2;
    }
    QProcessEnvironment serverEnv = QProcessEnvironment::systemEnvironment();
    QString address;
    {
        QFile env(serverFolder + QStringLiteral("/servidor.env"));
        env.open(QIODevice::ReadOnly);
        for (const QString& line : QString::fromUtf8(env.readAll()).split(QLatin1Char('\n'))) {
            const QString value = line.section(QLatin1Char('='), 1);
            if (line.startsWith(QLatin1String("KORVA_TEST_SERVER=")))
                address = value;
            else if (line.startsWith(QLatin1String("KORVA_TEST_SERVER_USER=")))
                serverEnv.insert(QStringLiteral("KORVA_USER"), value);
            else if (line.startsWith(QLatin1String("KORVA_TEST_SERVER_PASSWORD=")))
                serverEnv.insert(QStringLiteral("KORVA_PASSWORD"), value);
        }
    }

    const QString model = dir.filePath(QStringLiteral("modelo.fdb"));
    data::createDatabase(model, false);
    const QString files = dir.filePath(QStringLiteral("arquivos"));
    QDir().mkpath(files);
    gerador::Ano year;
    year.municipios = municipalities;
    year.linhasExecucao = 6;
    year.linhasDocumentos = 4;
    qint64 rows = 0;
    gerador::escreve(files, year, &rows);

    const auto copy = [&](const QString& name) {
        const QString c = dir.filePath(name);
        QFile::copy(model, c);
        return c;
    };
    // Each side twice, embedded first and then the server first, each into a database
    // of its own.
    double embedded = 0, onServer = 0;
    for (int round = 0; round < 2; ++round) {
        const auto runEmbedded = [&] {
            embedded += measure(copy(QStringLiteral("embutido%1.fdb").arg(round)), files, QProcessEnvironment::systemEnvironment()) / 2;
        };
        const auto runServer = [&] {
            onServer += measure(address + QLatin1Char(':') + copy(QStringLiteral("servidor%1.fdb").arg(round)), files, serverEnv) / 2;
        };
        if (round == 0) {
            runEmbedded();
            runServer();
        } else {
            runServer();
            runEmbedded();
        }
    }
    server(QStringLiteral("stop"), serverFolder);

    std::printf("import %lld rows (%d municipalities x 12 months)\n", rows, municipalities);
    std::printf("  embedded engine                  : %9.0f rows/s  %6.2f s\n", rows / embedded, embedded);
    std::printf("  Firebird server over the loopback: %9.0f rows/s  %6.2f s\n", rows / onServer, onServer);
    std::printf("  server against embedded %.2f (goal >= 0.60)\n", embedded / onServer);
    return 0;
}
