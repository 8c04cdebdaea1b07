#include "Verifica.h"

#include "data/Installation.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "fbapi/FbClient.h"
#include "fbapi/Validacao.h"
#include "interchange/rules/Interrupcao.h"

#include <QDir>

#include <cstdio>

namespace verifica {

namespace {

void linha(FILE* out, const QString& texto)
{
    std::fprintf(out, "%s\n", texto.toLocal8Bit().constData());
}

// Rebuilds the indices of the interchange tables and takes the mark of an interrupted
// import away.
QStringList reconstroi(const QString& database)
{
    const installation::DatabaseSettings s = installation::databaseSettings(database);
    db::fb::Database banco;
    banco.attach(s.database, s.user, s.password);
    const QStringList feitos = db::fb::reconstroiIndices(banco, interchange::tabelasDaImportacao());
    banco.detach();
    interchange::removeMarca(database);
    return feitos;
}

}  // namespace

bool recuperaImportacaoInterrompida(const QString& database)
{
    if (!interchange::importacaoInterrompida(database))
        return true;
    linha(stderr, QStringLiteral("korva-db: uma importação anterior neste banco parou sem terminar; reconstruindo os "
                                 "índices das tabelas que ela gravava antes de continuar."));
    try {
        const QStringList feitos = reconstroi(database);
        linha(stderr, QStringLiteral("korva-db: índices reconstruídos: %1.").arg(feitos.join(QStringLiteral(", "))));
        return true;
    } catch (const db::DatabaseError& e) {
        QString motivo = e.message();
        linha(stderr, QStringLiteral("korva-db: os índices não foram reconstruídos, nada foi importado: %1")
                          .arg(motivo.replace(QLatin1Char('\n'), QLatin1String(" - "))));
        return false;
    }
}

int executa(const QStringList& args)
{
    QString database;
    bool corrige = false;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--database")) {
            if (i + 1 >= args.size()) {
                linha(stderr, QStringLiteral("korva-db: --database pede um caminho (veja korva-db --help)"));
                return 2;
            }
            database = args[++i];
        } else if (arg.startsWith(QLatin1String("--database="))) {
            database = arg.mid(11);
        } else if (arg == QLatin1String("--corrige")) {
            corrige = true;
        } else {
            linha(stderr, QStringLiteral("korva-db: argumento desconhecido: %1 (veja korva-db --help)").arg(arg));
            return 2;
        }
    }
    try {
        if (database.isEmpty())
            database = installation::databasePath();
        const installation::DatabaseSettings s = installation::databaseSettings(database);
        const QString nome = QDir::toNativeSeparators(database);
        const bool interrompida = interchange::importacaoInterrompida(database);
        if (interrompida)
            linha(stdout, QStringLiteral("Uma importação neste banco parou sem terminar."));
        db::fb::ResultadoValidacao r = db::fb::valida(s.database, s.user, s.password);
        for (const QString& l : r.linhas)
            linha(stdout, l);
        if (corrige && (!r.valido() || interrompida)) {
            const QStringList feitos = reconstroi(database);
            linha(stdout, QStringLiteral("Índices reconstruídos: %1.").arg(feitos.join(QStringLiteral(", "))));
            r = db::fb::valida(s.database, s.user, s.password);
            for (const QString& l : r.linhas)
                linha(stdout, l);
        }
        if (r.valido()) {
            linha(stdout, interrompida && !corrige
                              ? QStringLiteral("%1: sem erros na validação; reconstrua os índices com korva-db verifica "
                                               "--corrige.").arg(nome)
                              : QStringLiteral("%1: sem erros na validação.").arg(nome));
            return interrompida && !corrige ? 1 : 0;
        }
        linha(stdout, QStringLiteral("%1: a validação encontrou %2 erro(s)%3.")
                          .arg(nome)
                          .arg(r.erros)
                          .arg(corrige ? QStringLiteral(" que a reconstrução dos índices não corrigiu")
                                       : QStringLiteral("; korva-db verifica --corrige reconstrói os índices das "
                                                        "tabelas da importação")));
        return 1;
    } catch (const db::DatabaseError& e) {
        QString motivo = e.message();
        linha(stderr, QStringLiteral("korva-db: a verificação não foi feita: %1").arg(motivo.replace(QLatin1Char('\n'), QLatin1String(" - "))));
        return 2;
    }
}

}  // namespace verifica
