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

// The rate typed: a decimal number with the decimal comma, thousands points allowed, not
// negative. nullopt for an empty text or anything else.
std::optional<double> valorDeRepasse(const QString& texto);

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
// value is negative ("Valor inválido."), and db::DatabaseError when the city list
// cannot be read or the unit fails, in which case nothing is kept.
ResultadoGeracao geraExcessaoMunicipal(db::Connection& conexao, const QString& ano, const QString& uf, double valor);

}  // namespace incentivo
