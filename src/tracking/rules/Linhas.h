#pragma once
// The lines of a month: medications bought or received and the documents that prove
// the expenditure, with their checks and totals.
#include "data/Codigos.h"
#include "rules/Falha.h"

#include <QDate>
#include <QList>
#include <QString>
#include <optional>

class TCheckDoc;

namespace tracking {

// --- medications ---------------------------------------------------------------------

// The line total on leaving the unit price or the quantity: quantity times unit price,
// not rounded, when both are given and not 0; otherwise the total it had.
double totalLinha(double valorUnitario, double quantidade, double totalAtual);

// The checks of a medication line before it is saved: the first that fails, on its
// column (VL_UNITARIO, QT_MEDICAMENTO). An empty value is no value.
rules::Falhou verificaLinhaMedicamento(std::optional<double> valorUnitario, std::optional<double> quantidade);

struct TotaisExecucao {
    double elencoMinimo = 0;  // "Total de Medicamentos do Elenco Mínimo"
    double outros = 0;        // "Total dos Outros Medicamentos da Relação Pactuada"
    double geral() const { return elencoMinimo + outros; }
    // A line whose medication is marked "S" counts for the minimum list; any other
    // mark, none, or a medication not in the list counts for the others.
    void soma(double valorTotal, const QString& marcaElencoMinimo);
};

// --- documents -----------------------------------------------------------------------

// The document and payee types a mode offers, in their order: a state installation has
// no delivery notes and no payee "Sec. Est. de Saúde".
QList<codigos::Codigo> tiposDocumento(bool estadual);
QList<codigos::Codigo> tiposFavorecido(bool estadual);

// The document being saved, as typed.
struct Documento {
    QString tipoDocumento;   // empty: none chosen
    QString tipoFavorecido;  // empty: none chosen
    QString favorecido;      // the payee's identification
    std::optional<double> valor;
    QString numero;              // NR_NUMERO_DOC
    std::optional<QDate> data;   // DT_DOC; none: left empty
};

// The payee identification refused on sight.
inline const QString identificacaoZeros = QStringLiteral("00000000000000");

// The checks of a document before the database is asked, in their order: types, value,
// the payee's identification (a CNPJ with valid check digits, by the given check in
// mode moCGC, or a check of its own). The first that fails, on the column whose control
// takes the focus (ST_TIPO_DOC, ST_TIPO_FAVORECIDO, VL_DOC, NU_FAVORECIDO).
rules::Falhou verificaDocumento(const Documento& d, TCheckDoc* cnpj = nullptr);

// On editing, the number check runs only when the number or the payee changed, and the
// payee-type check only when the stored type (a number) differs from the chosen one.
bool verificaNumeroAoEditar(const QString& numeroAntes, const QString& favorecidoAntes, const QString& numero,
                            const QString& favorecido);
bool verificaTipoAoEditar(const QString& tipoAntes, const QString& tipoEscolhido);

// The payee type a document is compared by: its code, or "0" for none (a deposit).
QString tipoComparado(const QString& tipoFavorecido);

struct TotaisDocumentos {
    double notaFiscal = 0;   // "N"
    double guiaRemessa = 0;  // "G"
    double deposito = 0;     // "D"
    double empenho = 0;      // "E"
    // Lines of any other type are left out.
    void soma(const QString& tipoDocumento, double valor);
};

}  // namespace tracking
