#pragma once
// The four tables that travel in interchange files: their file word, columns in the
// order the export writes them, key and the text form each column takes in a file.
#include <QString>
#include <QVector>

namespace interchange {

// The largest amount (reais) and quantity a row may hold: no follow-up holds more, and
// the state's sums must not overflow.
constexpr double valorMaximo = 1e12;
constexpr qint64 quantidadeMaxima = 1000000000;

struct Coluna {
    enum class Tipo {
        Texto,        // stored as read; empty is an empty text
        Inteiro,      // empty is null
        Valor,        // decimal comma; empty is 0
        ValorOpcional,  // decimal comma; empty is null
        Data,         // dd/mm/yyyy with an optional time; empty is null
    };
    QString nome;
    Tipo tipo = Tipo::Texto;
    int tamanho = 0;          // characters a text column holds
    bool obrigatoria = false;  // may not be empty
    bool omitida = false;      // the month's line number: the database gives it
    bool mes = false;          // a month number "1" to "12"
    bool ano = false;          // a year of four digits
    bool uf = false;           // the UF: the file name's
    bool cidade = false;       // the municipality
    bool naoNegativa = false;  // an amount or quantity, never below zero
    qint64 minimo = 0, maximo = 0;  // range of an integer column
};

struct TabelaIntercambio {
    QString palavra;  // "TB_MOVIMENTO"
    QString tabela;   // "TB_MOVIMENTO_MUNICIPIO"
    QVector<Coluna> colunas;
    int chaves = 0;   // the first columns make the key of a unit (month or initial balance)
    // The file name ending of this table: palavra + ".TXT".
    QString sufixo() const { return palavra + QStringLiteral(".TXT"); }
};

// The four tables, in the order the export writes them.
const QVector<TabelaIntercambio>& tabelasIntercambio();
// The table of a file by its word: the name from its 13th character, without its last
// four (".txt"); null when the word is none of the four. Letter case does not matter,
// here as in every match of a file name (the import's mask, the files of one
// municipality): a name is read as a Windows folder shows it.
const TabelaIntercambio* tabelaDoArquivo(const QString& nomeArquivo);

// The 12 characters that begin every file of one export: UF, year and the
// municipality's IBGE code left-padded with "0" to 6 characters (a longer one as it is).
QString prefixoArquivos(const QString& uf, const QString& ano, const QString& codigoIbge);

// The 12 characters that begin a file's name (UF, year, municipality): the files of one
// municipality's export share them.
QString prefixoDoArquivo(const QString& nomeArquivo);
// The UF a file's name begins with.
QString ufDoArquivo(const QString& nomeArquivo);

// Whether a file name fits the import's mask for a state: the UF, ten characters, "TB",
// anything, ".txt", without regard to letter case; a state's own files (municipality
// "000000") are not a municipality's and do not fit.
bool nomeDeArquivoDaUf(const QString& nomeArquivo, const QString& uf);

}  // namespace interchange
