// A state's year in one `korva-db import` call: every municipality of Minas Gerais (853)
// with twelve months of 30 medication lines and 10 documents each, about 420,000 rows in
// 3,412 files, into the embedded engine and into a database on a Firebird server over
// the loopback (one of the benchmark's own, scripts/firebird-server.sh). Prints the rows
// per second, the time and the peak memory of korva-db for each, and the server's rate
// against the embedded one (goal at least 60 %).
//
//   bench_estado [MUNICIPALITIES]     (853 by default; a small number for a quick run)
#include "Gerador.h"

#include "data/schema/DatabaseBuilder.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Medida {
    double segundos = 0;
    long picoKb = 0;
};

// korva-db import of every file into database, its output thrown away (it is not a
// terminal: korva-db shows no progress), timed, with its own peak memory.
Medida importa(const QString& database, const QStringList& files, const QProcessEnvironment& env)
{
    std::vector<QByteArray> args{QByteArrayLiteral(KORVA_DB_TOOL), QByteArrayLiteral("import"), QByteArrayLiteral("--database"),
                                 QFile::encodeName(database), QByteArrayLiteral("--recentes")};
    for (const QString& f : files)
        args.push_back(QFile::encodeName(f));
    std::vector<char*> argv;
    for (QByteArray& a : args)
        argv.push_back(a.data());
    argv.push_back(nullptr);
    std::vector<QByteArray> environment;
    for (const QString& e : env.toStringList())
        environment.push_back(e.toLocal8Bit());
    std::vector<char*> envp;
    for (QByteArray& e : environment)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    timespec inicio{}, fim{};
    clock_gettime(CLOCK_MONOTONIC, &inicio);
    const pid_t pid = fork();
    if (pid < 0)
        qFatal("fork failed");
    if (pid == 0) {
        const int nulo = open("/dev/null", O_WRONLY);
        dup2(nulo, STDOUT_FILENO);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    int status = 0;
    rusage uso{};
    if (wait4(pid, &status, 0, &uso) != pid)
        qFatal("wait4 failed");
    clock_gettime(CLOCK_MONOTONIC, &fim);
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0)
        qFatal("korva-db import into %s failed (status %d)", qPrintable(database), status);
    return {double(fim.tv_sec - inicio.tv_sec) + (fim.tv_nsec - inicio.tv_nsec) / 1e9, uso.ru_maxrss};
}

int server(const QString& command, const QString& folder)
{
    return QProcess::execute(QStringLiteral(KORVA_SOURCE_DIR "/scripts/firebird-server.sh"), {command, folder});
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    text::setBrazilianFormats();
    const int municipalities = app.arguments().value(1).toInt() > 0 ? app.arguments().value(1).toInt() : 853;

    QTemporaryDir dir;
    const QString serverFolder = dir.filePath(QStringLiteral("servidor"));
    if (server(QStringLiteral("start"), serverFolder) != 0 || !QFile::exists(serverFolder + QStringLiteral("/servidor.env"))) {
        QFile why(serverFolder + QStringLiteral("/indisponivel"));
        why.open(QIODevice::ReadOnly);
        std::fprintf(stderr, "bench_estado: no Firebird server: %s\n", why.readAll().trimmed().constData());
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
    const QString folder = dir.filePath(QStringLiteral("arquivos"));
    QDir().mkpath(folder);
    gerador::Ano year;
    year.municipios = municipalities;
    year.linhasExecucao = 30;
    year.linhasDocumentos = 10;
    qint64 rows = 0;
    const QStringList files = gerador::escreve(folder, year, &rows);

    const auto copy = [&](const QString& name) {
        const QString c = dir.filePath(name);
        QFile::copy(model, c);
        return c;
    };
    const Medida embedded = importa(copy(QStringLiteral("embutido.fdb")), files, QProcessEnvironment::systemEnvironment());
    const Medida onServer = importa(address + QLatin1Char(':') + copy(QStringLiteral("servidor.fdb")), files, serverEnv);
    server(QStringLiteral("stop"), serverFolder);

    std::printf("a state's year: %lld rows in %lld files (%d municipalities x 12 months), one korva-db import\n", rows,
                qint64(files.size()), municipalities);
    std::printf("  embedded engine                  : %9.0f rows/s  %7.1f s  peak %7ld KiB\n", rows / embedded.segundos,
                embedded.segundos, embedded.picoKb);
    std::printf("  Firebird server over the loopback: %9.0f rows/s  %7.1f s  peak %7ld KiB\n", rows / onServer.segundos,
                onServer.segundos, onServer.picoKb);
    std::printf("  server against embedded %.2f (goal >= 0.60)\n", embedded.segundos / onServer.segundos);
    return 0;
}
