// korva-db: creates a KORVA database (schema, reference data, optionally the
// demonstration installation). It never overwrites an existing file.
#include "data/schema/DatabaseBuilder.h"
#include "db/DatabaseError.h"
#include "data/Installation.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QStringList>

#include <cstdio>
#include <exception>

namespace {

const char usage[] =
    "Uso: korva-db create [--demo] [CAMINHO]\n"
    "\n"
    "Cria um banco de dados do KORVA com o esquema e os dados de referência\n"
    "(UFs, municípios, população, formas de pactuação, medicamentos).\n"
    "\n"
    "  --demo    inclui a instalação de demonstração (município de Lavras/MG,\n"
    "            ano corrente: parâmetros, pactuações, repasses, incentivo anual\n"
    "            e quatro meses de acompanhamento)\n"
    "  CAMINHO   arquivo a criar; sem ele, KORVA_DATABASE, senão\n"
    "            KORVA_HOME/KORVA.GDB, senão ~/korva/KORVA.GDB\n"
    "\n"
    "Um arquivo existente nunca é sobrescrito.\n";

void printLine(FILE* out, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1String(" - "));
    std::fprintf(out, "%s\n", line.toLocal8Bit().constData());
}

int misuse(const QString& message)
{
    printLine(stderr, QStringLiteral("korva-db: %1 (veja korva-db --help)").arg(message));
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (args.first() != QLatin1String("create"))
        return misuse(QStringLiteral("comando desconhecido: %1").arg(args.first()));

    bool demo = false;
    QString path;
    for (const QString& arg : args.mid(1)) {
        if (arg == QLatin1String("--demo"))
            demo = true;
        else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg.startsWith(QLatin1Char('-')))
            return misuse(QStringLiteral("opção desconhecida: %1").arg(arg));
        else if (!path.isEmpty())
            return misuse(QStringLiteral("um só caminho, por favor"));
        else
            path = arg;
    }
    if (path.isEmpty())
        path = installation::databasePath();

    try {
        QElapsedTimer timer;
        timer.start();
        data::createDatabase(path, demo);
        printLine(stdout, QStringLiteral("Banco de dados criado em %1 (%2) em %3 s.")
                              .arg(QDir::toNativeSeparators(path),
                                   demo ? QStringLiteral("esquema, dados de referência e demonstração")
                                        : QStringLiteral("esquema e dados de referência"))
                              .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
        return 0;
    } catch (const db::DatabaseError& e) {
        printLine(stderr, QStringLiteral("korva-db: erro do banco de dados: %1").arg(e.message()));
    } catch (const std::exception& e) {
        printLine(stderr, QStringLiteral("korva-db: %1").arg(QString::fromUtf8(e.what())));
    }
    return 1;
}
