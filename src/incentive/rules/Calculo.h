#pragma once
// The annual incentive of every pacted municipality of a year, split into a federal, a
// state and a municipal share, each the pacted population times a rate per inhabitant:
//  1. standard rates: every pact of the year with the year's standard rates, all three
//     shares;
//  2. state exceptions: the state share of the pacts of a UF with an exception for the
//     year;
//  3. municipal exceptions: the municipal share of the pacts with their own exception.
// An exception whose rate is empty is no exception: the passes leave it out (the standard
// rate stays) and the result names it.
// Each pass inserts the row and, when the insert is refused (the row is there from an
// earlier pass), updates the pass's shares; a row an earlier pass of the same
// calculation wrote is updated at once. A product with an empty operand is null.
//
// The whole calculation is one write unit: the year's old rows are deleted and the three
// passes written, and all of it commits, or none of it and the year keeps the results it
// had. Each row's insert-then-update is a nested unit: a row the database refuses both
// ways is undone alone, reported, and the pass goes on.
#include <QList>
#include <QString>

#include <array>
#include <functional>

namespace db {
class Connection;
}

namespace incentivo {

// A row no pass could write.
struct Recusa {
    int passo = 0;  // 1 to 3
    QString uf;
    int cidade = 0;
    QString nome;    // the municipality's name, when the city table has it
    QString motivo;  // the database's text
};

// An exception of the year without a rate, which the calculation left out.
struct ExcecaoSemValor {
    int passo = 0;  // 2: a state exception; 3: a municipal one
    QString uf;
    int cidade = 0;  // a municipal exception's municipality
    QString nome;    // its name, when the city table has it
};

struct ResultadoCalculo {
    QString ano;
    int linhas = 0;                  // rows of the year once calculated
    std::array<int, 3> gravadas{};   // rows each pass wrote (inserted or updated)
    QList<Recusa> recusas;
    QList<ExcecaoSemValor> semValor;

    // "Calculo efetuado", followed by the exceptions left out for want of a rate and the
    // rows that could not be written, if any.
    QString mensagem() const;
};

// Called when a pass has been written, inside the unit, with its number (1 to 3); an
// exception thrown from it ends the calculation as any failure does.
using AoTerminarPasso = std::function<void(int passo)>;

// Calculates the year's incentive (see above). Throws db::DataError when the year is
// empty ("Informe o Ano para cálculo") and db::DatabaseError when the deletion, a
// selection or the unit fails; then nothing of the calculation is kept.
ResultadoCalculo calculaIncentivoAnual(db::Connection& conexao, const QString& ano,
                                       const AoTerminarPasso& aoTerminarPasso = {});

// The question Calcular asks before it replaces a year: the year and, when one is chosen,
// the UF the window shows, with the fact that every UF's rows of the year are replaced.
QString perguntaCalculo(const QString& ano, const QString& uf);

// The years that have pacts, in order: what a database's incentive is calculated for as
// a whole.
QStringList anosPactuados(db::Connection& conexao);

}  // namespace incentivo
