#include "interchange/rules/Interrupcao.h"

#include "db/Connection.h"
#include "interchange/rules/Tabelas.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QFile>

namespace interchange {

QString arquivoDaMarca(const QString& database)
{
    if (database.isEmpty() || db::isServerDatabase(database))
        return {};
    return database + QStringLiteral(".importando");
}

bool importacaoInterrompida(const QString& database)
{
    const QString arquivo = arquivoDaMarca(database);
    return !arquivo.isEmpty() && QFile::exists(arquivo);
}

bool removeMarca(const QString& database)
{
    const QString arquivo = arquivoDaMarca(database);
    return arquivo.isEmpty() || !QFile::exists(arquivo) || QFile::remove(arquivo);
}

QStringList tabelasDaImportacao()
{
    QStringList tabelas;
    for (const TabelaIntercambio& t : tabelasIntercambio())
        tabelas << t.tabela;
    return tabelas;
}

MarcaDeImportacao::MarcaDeImportacao(const QString& database) : arquivo_(arquivoDaMarca(database))
{
    if (arquivo_.isEmpty())
        return;
    anterior_ = QFile::exists(arquivo_);
    if (anterior_)
        return;
    // Written and flushed before the first write to the database. A folder that takes no
    // file leaves the import without its mark: it goes on all the same.
    QFile f(arquivo_);
    if (f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) {
        f.write(QStringLiteral("Importação iniciada em %1 pelo processo %2.\n")
                    .arg(QDateTime::currentDateTime().toString(Qt::ISODate))
                    .arg(QCoreApplication::applicationPid())
                    .toUtf8());
        feita_ = f.flush();
        f.close();
    }
}

MarcaDeImportacao::~MarcaDeImportacao()
{
    if (feita_)
        QFile::remove(arquivo_);
}

}  // namespace interchange
