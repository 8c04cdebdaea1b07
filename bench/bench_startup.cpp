// Start-up to the main window shown with the database attached, against a bare Qt
// window plus a bare connection to the same database, each in fresh processes; best of
// several runs, alternating, since the machine is noisy. Uses the offscreen platform
// unless QT_QPA_PLATFORM says otherwise.
#include "data/DMPrincipal.h"
#include "data/schema/DatabaseBuilder.h"
#include "data/Installation.h"
#include "db/EmbeddedEngine.h"
#include "app/Inicializacao.h"
#include "app/TfrmPrincipal.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMainWindow>
#include <QProcess>
#include <QSqlDatabase>
#include <QTemporaryDir>
#include <QTest>

namespace {

int child(const QString& mode, int argc, char** argv)
{
    QApplication app(argc, argv);
    QWidget* shown = nullptr;
    std::unique_ptr<QMainWindow> bare;
    if (mode == QLatin1String("app")) {
        if (!inicializacao::criaObjetosGlobais())
            return 2;
        frmPrincipal->show();
        shown = frmPrincipal;
    } else {
        db::prepareEmbeddedEngine();
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QIBASE"));
        const installation::DatabaseSettings settings = installation::databaseSettings();
        db.setDatabaseName(settings.database);
        db.setUserName(settings.user);
        db.setPassword(settings.password);
        if (!db.open())
            return 2;
        bare = std::make_unique<QMainWindow>();
        bare->show();
        shown = bare.get();
    }
    if (!QTest::qWaitForWindowExposed(shown))
        return 3;
    QCoreApplication::processEvents();
    fputs("shown\n", stdout);
    fflush(stdout);
    if (mode == QLatin1String("app"))
        inicializacao::destroiObjetosGlobais();
    return 0;
}

double once(const QString& mode)
{
    QProcess p;
    QElapsedTimer t;
    t.start();
    p.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), mode});
    if (!p.waitForStarted())
        return -1;
    while (!p.canReadLine())
        if (!p.waitForReadyRead(30000))
            return -1;
    const double ms = double(t.nsecsElapsed()) / 1e6;
    p.waitForFinished();
    return ms;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && qstrcmp(argv[1], "--child") == 0)
        return child(QString::fromLatin1(argv[2]), argc, argv);

    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("KORVA_HOME", dir.path().toLocal8Bit());
    qputenv("KORVA_DATABASE", dir.filePath(QStringLiteral("KORVA.GDB")).toLocal8Bit());
    data::createDatabase(installation::databasePath(), true);

    double bare = 1e9, korva = 1e9;
    for (int round = 0; round < 7; ++round) {
        const double b = once(QStringLiteral("bare"));
        const double k = once(QStringLiteral("app"));
        if (b < 0 || k < 0) {
            fprintf(stderr, "a start-up failed\n");
            return 1;
        }
        bare = std::min(bare, b);
        korva = std::min(korva, k);
    }
    printf("bare window + connection : %7.1f ms\n", bare);
    printf("korva main window        : %7.1f ms\n", korva);
    printf("korva / bare: %.2f (goal: within 4)\n", korva / bare);
    return 0;
}
