#pragma once
// Documents and purchases written straight into the tables the pivot windows read, and
// the sums an independent GROUP BY gives of them.
#include <QMap>
#include <QPair>
#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

namespace dados {

// A document of the follow-up: type ('N' an invoice), payee type ('1' to '5', or another).
void documento(db::Connection& c, const QString& ano, const QString& uf, int mes, const QString& tipoDoc,
               const QVariant& tipoFavorecido, const QVariant& valor, int cidade = 3138203);
// A medication bought, at a total value.
void compra(db::Connection& c, const QString& ano, const QString& uf, int mes, int medicamento, const QVariant& total,
            int cidade = 3138203);
// Medications 901, marked neither 'S' nor 'N' (null), and 902, marked 'X'.
void medicamentosSemMarca(db::Connection& c);

// A year of `documentos` documents and as many purchases over many states, months, types
// and marks, with a few values missing; the same every time for the same seed.
void anoVariado(db::Connection& c, const QString& ano, int documentos, unsigned semente);

// Sums by (label, UF) as an independent GROUP BY gives them, null where every value is
// null; an empty label or UF stands for all of them (the margins and the grand total).
using Somas = QMap<QPair<QString, QString>, QVariant>;
// The invoices' sums by payee label and state.
Somas somasFavorecido(db::Connection& c, const QString& ano);
// The purchases' sums by minimum-list label and state.
Somas somasRecursos(db::Connection& c, const QString& ano);

}  // namespace dados
