#pragma once
// Loads interchange files into a state installation's database. The files of one
// municipality given in one import (those whose names share their first 12 characters:
// UF, year, municipality) load together, month by month across the four tables: a month's
// header, medications and documents, and the year's initial balance, each one unit,
// deleted and inserted whole or not at all. A file of a municipality that cannot be read
// or is not a well-formed interchange file of its table is refused whole, and then none
// of that municipality's files loads: every month stays as it was in every table. A month
// the database refuses is undone alone, in every table, and the others go on. Units run in
// one transaction per batch of rows, with a savepoint each, committed only between
// units: a program killed mid-import leaves every month as it was or fully replaced.
// The import window and `korva-db import` both load through here.
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <stdexcept>

namespace db {
class Connection;
}

namespace interchange {

struct ResultadoArquivo {
    enum class Estado {
        Carregado,
        Recusado,  // unreadable or malformed: nothing of its municipality loaded
        Mantido,   // well formed, not loaded: another file of its municipality was refused
        Ignorado,   // the name carries no table word of the four
        NaoLido,    // the import stopped before it was loaded
        Manifesto,  // the manifest of a municipality's files, given among them
    };
    QString nome;  // the file name without its folder
    Estado estado = Estado::NaoLido;
    bool saldos = false;  // a file of initial balances: its units are not months
    bool utf8 = false;    // read as UTF-8
    int meses = 0;      // months (initial balances) loaded
    qint64 linhas = 0;  // rows loaded
    // Recusado: why, with its line ("linha 12: ..."). Mantido: the name of the file
    // of the same municipality that was refused.
    QString erro;
    // Recusado: the months the municipality's other files carried, kept as they were
    // ("Lavras (MG, município 3138203), 2003: meses 1 e 2 e o saldo inicial").
    QString mantidos;
    // Months refused by the database, kept as they were in every table, with the line of
    // this file the database refused: "mês 3 (linha 45): <reason>".
    QStringList recusas;
};

struct ResumoImportacao {
    QVector<ResultadoArquivo> arquivos;
    bool interrompida = false;
    QString ondeParou;     // when interrupted: the file or month it stopped before
    QString naoCarregados;  // when interrupted within a municipality: its months not loaded
    QStringList semManifesto;  // the municipalities (file prefixes) whose files came without a manifest
    // Every month of every file loaded (ignored files aside), nothing interrupted.
    bool tudoCarregado() const;
    // "Importação Concluída" (or the interruption) followed by one paragraph per file.
    QString texto() const;
};

struct Progresso {
    int arquivo = 0;  // files dealt with so far, this one included (1-based)
    int arquivos = 0;
    QString nome;       // the file being read, or the last one read
    int meses = 0;      // months loaded so far, all files
    qint64 linhas = 0;  // rows loaded so far, all files
};

// Called before each file is read and between months; returning false stops the import
// there.
using AcompanhaProgresso = std::function<bool(const Progresso&)>;

// The installation cannot receive files: it is a municipality's.
class ErroImportacao : public std::runtime_error {
public:
    explicit ErroImportacao(const QString& mensagem);
    QString mensagem() const { return mensagem_; }

private:
    QString mensagem_;
};

// Loads the files. Municipalities load in the order their first file is given. A file
// whose name carries no table word of the four is ignored. A municipality's manifest (see
// Manifesto.h), given among the files or lying beside its first one, is checked: a file
// that disagrees with it is refused whole, saying what differs; the summary names the
// municipalities whose files came without one. Rows are refused (and with
// them their file) when their UF is not the one the file's name begins with, and when
// they are a state's own follow-up (municipality 0), which a state never receives.
// Throws ErroImportacao, before reading anything, when the database is a municipal
// installation's.
ResumoImportacao importaArquivos(db::Connection& conexao, const QStringList& caminhos,
                                 const AcompanhaProgresso& progresso = {});

// Rows per transaction before the loader commits, between two months.
void setLinhasPorTransacao(qint64 linhas);

// A file modified less than this many seconds ago may still be being written: it is
// refused (5 unless set; 0 accepts any).
void setIdadeMinimaArquivo(int segundos);

}  // namespace interchange
