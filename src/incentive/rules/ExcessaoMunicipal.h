#pragma once
// The bulk municipal exception: one rate per inhabitant, for a year, given to every
// municipality of a state's city table, pacted or not. A municipality that already has
// an exception for the year keeps it.
#include <QList>
#include <QString>

#include <optional>

namespace db {
class Connection;
}

namespace incentivo {

// The rate typed: an amount with the decimal comma, a point only between groups of three
// digits (text::parseAmount), greater than zero. nullopt for an empty text, "1.50", "0,00"
// or anything else: every municipality of a state would get it, and a second generation
// cannot correct it.
std::optional<double> valorDeRepasse(const QString& texto);

// What a generation of uf for ano will do, asked before it runs: the state's
// municipalities, and those that already have an exception for the year and keep it.
struct PrevisaoGeracao {
    int cidades = 0;
    int comExcessao = 0;
    int aGravar() const { return cidades - comExcessao; }
    // The confirmation: the value, the number of municipalities it will write, the state
    // and the year, then "Confirma ?".
    QString pergunta(double valor, const QString& uf, const QString& ano) const;
};
PrevisaoGeracao previsaoDaGeracao(db::Connection& conexao, const QString& ano, const QString& uf);

struct ResultadoGeracao {
    struct Recusa {
        int cidade = 0;
        QString nome;
        QString motivo;
    };
    int gravadas = 0;  // exceptions created
    int mantidas = 0;  // municipalities that had one for the year and kept it
    QList<Recusa> recusas;

    // "Geração Efetuada", then what was created and kept, and what the database refused.
    QString mensagem() const;
};

// Writes the exception of every municipality of uf for ano, in name order, as one write
// unit with one nested unit per municipality. Throws db::DataError, before writing
// anything, when uf or ano is empty ("Informe o Estado"; the parameters' year) or the
// value is not greater than zero ("Valor inválido."), and db::DatabaseError when the city list
// cannot be read or the unit fails, in which case nothing is kept.
ResultadoGeracao geraExcessaoMunicipal(db::Connection& conexao, const QString& ano, const QString& uf, double valor);

}  // namespace incentivo
