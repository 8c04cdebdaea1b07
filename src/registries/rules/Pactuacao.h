#pragma once
// The rules of a municipality's pact: the population proposed from the census, the
// fields a pact needs before it is saved, and the census year it stores.
#include "rules/Falha.h"

#include <QString>
#include <QVariant>

namespace db {
class Connection;
class Dataset;
}  // namespace db

namespace registros {

// The census row a pact's population comes from: the last one (highest census item)
// of the municipality for the pact's year of competence.
struct Censo {
    bool encontrado = false;
    double populacao = 0;  // 0 when there is no row
    QString ano;
};

// Reads the census rows of the municipality in the year through rl (a dataset with
// the parameters co_cidade and nu_ano_censo, ordered by census item) and leaves it on
// the last one, which it returns.
Censo leCenso(db::Dataset& rl, const QVariant& cidade, const QVariant& ano);

// A pact as the user confirms it: its fields and the population box's text.
struct PactoDigitado {
    QVariant ano;
    QVariant uf;
    QVariant cidade;
    QVariant modalidade;
    QString populacao;
};

// The first field the pact still needs, in the order the window asks for them (year,
// state, municipality, modality, population), with its message; nothing when none is
// missing. A municipality of another state counts as none: the municipality box,
// which lists the chosen state's municipalities, shows nothing for it.
rules::Falhou campoQueFalta(db::Connection& connection, const PactoDigitado& pacto);

// Whether the municipality belongs to the state.
bool municipioDaUf(db::Connection& connection, const QVariant& cidade, const QVariant& uf);

// The population typed, as a number; throws db::DataError naming the field when the
// text is not one.
double populacaoDigitada(const QString& texto);

// The census year a pact being saved stores, at every save: the year of its own census
// row (its municipality, its year of competence) when its population is that row's, and
// none otherwise, so that a pact moved to another municipality or year, or given a
// population of its own, carries no census year that is not its own.
QVariant anoCensoDoPacto(double populacao, const Censo& censo);

}  // namespace registros
