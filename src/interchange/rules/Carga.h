#pragma once
// Loads interchange files into the database. Each month of a file (each initial balance)
// is one unit: its rows deleted and the file's rows for it inserted, kept whole or not
// at all. A month the database refuses is undone alone and the others go on. Files are
// loaded in one transaction per batch of rows, with a savepoint per month, committed
// only between months: a program killed mid-import leaves every month as it was or
// fully replaced. The import window and `korva-db import` both load through here.
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>

namespace db {
class Connection;
}

namespace interchange {

struct ResultadoArquivo {
    enum class Estado { Carregado, Recusado, Ignorado, NaoLido };
    QString nome;  // the file name without its folder
    Estado estado = Estado::NaoLido;
    bool saldos = false;  // a file of initial balances: its units are not months
    int meses = 0;      // months (initial balances) loaded
    qint64 linhas = 0;  // rows loaded
    // A file refused whole: why, with its line ("linha 12: ...").
    QString erro;
    // Months refused by the database: "mês 3 (linha 45): <reason>".
    QStringList recusas;
};

struct ResumoImportacao {
    QVector<ResultadoArquivo> arquivos;
    bool interrompida = false;
    QString ondeParou;  // when interrupted: the file and month it stopped before
    // Every month of every file loaded (ignored files aside), nothing interrupted.
    bool tudoCarregado() const;
    // "Importação Concluída" (or the interruption) followed by one paragraph per file.
    QString texto() const;
};

struct Progresso {
    int arquivo = 0;  // 1-based, of arquivos
    int arquivos = 0;
    QString nome;
    int meses = 0;      // months loaded so far, all files
    qint64 linhas = 0;  // rows loaded so far, all files
};

// Called between months; returning false stops the import there.
using AcompanhaProgresso = std::function<bool(const Progresso&)>;

// Loads the files, in the order given. A file whose name carries no table word of the
// four is ignored; one that cannot be read or is not a well-formed interchange file of
// its table is refused whole and the next file goes on.
ResumoImportacao importaArquivos(db::Connection& conexao, const QStringList& caminhos,
                                 const AcompanhaProgresso& progresso = {});

// Rows per transaction before the loader commits, between two months.
void setLinhasPorTransacao(qint64 linhas);

}  // namespace interchange
