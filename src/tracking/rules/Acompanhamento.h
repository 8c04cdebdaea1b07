#pragma once
// The statements of a follow-up: what the year holds, the month header saved with the
// year's initial balance, the other-medications total, the closing and the document
// checks. Values always go as bound parameters.
#include "rules/Falha.h"
#include "tracking/rules/EscolhaMes.h"
#include "tracking/rules/Linhas.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <optional>

namespace db {
class Connection;
}

namespace tracking {

// Year, UF and municipality of every row a follow-up reads or writes (municipality 0:
// the state's own follow-up).
struct Chave {
    QString ano;
    QString uf;
    int cidade = 0;
};

// The key of one document line, to leave it out of a search.
struct LinhaDocumento {
    int mes = 0;
    int sequencia = 0;  // CO_SEQ_DOC
};

struct Incentivo {
    double federal = 0;
    double estadual = 0;
    double municipal = 0;
};

// A medication line as typed (TB_EXECUCAO_FISICA_MUNICIPIO).
struct LinhaMedicamento {
    std::optional<int> sequencia;       // CO_SEQ_MED of a stored line; none: a new line
    std::optional<int> medicamento;     // CO_SEQ_MEDICAMENTO; none: not chosen
    QString origem;                     // ST_ORIGEM
    std::optional<double> valorUnitario;
    std::optional<qint64> quantidade;
    std::optional<double> valorTotal;
};

// A document line as typed (TB_FONTE_COMPROVACAO_MUNICIPIO), with what a stored line
// held before it was edited: the uniqueness checks of an edit run only when the number,
// the payee or the payee type changed.
struct LinhaDocumentoDigitada {
    std::optional<int> sequencia;  // CO_SEQ_DOC of a stored line; none: a new line
    Documento documento;
    QString numeroAntes;
    QString favorecidoAntes;
    QString tipoFavorecidoAntes;
};

// Every read and write of one year's follow-up of one municipality (municipality 0: the
// state's own). Each write is one unit: it is stored whole or not at all, and what it
// could not do comes back as a rules::Falha with the message the clerk is shown (a
// conflict with another seat says so as its cause). It opens its units itself; a caller
// does not.
class Acompanhamento {
public:
    Acompanhamento(db::Connection& connection, const Chave& chave);
    const Chave& chave() const { return chave_; }
    bool estadual() const { return chave_.cidade == 0; }

    // The initial balance and every header of the year.
    EstadoAno leEstadoAno() const;
    // The year's open header (the earliest if there were several).
    std::optional<Cabecalho> cabecalhoAberto() const;
    // The month's header, whatever its state; nothing when it has none.
    std::optional<Cabecalho> cabecalho(int mes) const;

    // The year's incentive of the municipality (of every municipality of the UF in a state
    // installation, municipality 0); zeros when there is none.
    Incentivo incentivoAnual() const;

    // The totals of the month's stored lines.
    TotaisExecucao totaisExecucao(int mes) const;
    TotaisDocumentos totaisDocumentos(int mes) const;

    // The figures a header save stores: a state has no delivery notes, so its medications
    // allocated are 0.
    Valores valoresGravados(const Valores& digitados) const;

    // Saves the month header as open, in one unit with the year's initial balance: while
    // the year has none it is inserted with the balance brought forward and the month; a
    // refused insert (it exists) goes on. The header is inserted, or updated when it exists
    // and is open. While the month is the initial balance's month, the initial balance
    // takes the balance brought forward, so that there is one row a year. Refused, with
    // both figures, when the resources spent exceed the total.
    rules::Falhou gravaMovimentacao(int mes, const Valores& valores, bool semSaldoInicial);

    // Stores a medication line of the open month (inserted, or changed by its number) and
    // rewrites the header's other-medications total from the stored lines, in one unit.
    // The line's number comes back.
    rules::Resultado<int> gravaLinhaMedicamento(int mes, const LinhaMedicamento& linha);
    // Deletes a medication line of the open month and rewrites the header's total.
    rules::Falhou excluiLinhaMedicamento(int mes, int sequencia);

    // Stores a document line of the open month after its checks: those of
    // verificaDocumento, then that no document of that number for that payee exists in any
    // year, UF, municipality or month, and that the payee has no document with another
    // payee type. The line's number comes back.
    rules::Resultado<int> gravaDocumento(int mes, const LinhaDocumentoDigitada& linha);
    // Deletes a document line of the open month.
    rules::Falhou excluiDocumento(int mes, int sequencia);

    // Whether the month may be closed as stored: it is open and its stored header agrees
    // with its stored lines (the three closing checks). Reads only.
    rules::Falhou verificaFechamento(int mes) const;
    // Closes the open month with the date. In one unit: the header is marked closed first
    // (so that no other seat changes the month meanwhile), then the checks run on the
    // stored header and lines; any refusal undoes the mark. What is closed is exactly what
    // was checked.
    rules::Falhou fechaMes(int mes, const QDate& data);

private:
    // SITUACAO of the month's header; nothing when it has none.
    std::optional<QString> situacao(int mes) const;
    // A document of that number for that payee in any year, UF, municipality or month.
    bool documentoLancado(const QString& numero, const QString& favorecido) const;
    // The payee on a document with a payee type other than tipo ("0": none); a document
    // without a type does not count, nor does the line being edited. Both read in the
    // unit of the document's save.
    bool favorecidoComOutroTipo(const QString& favorecido, const QString& tipo,
                                const std::optional<LinhaDocumento>& excluida = std::nullopt) const;

    QList<Cabecalho> leCabecalhos(int mes) const;
    // The month is open: its header is locked for this unit (another seat writing the
    // month waits or is refused), or a failure with the operation's message.
    rules::Falhou travaMesAberto(int mes, const QString& mensagem);
    rules::Falhou confereFechamento(int mes) const;
    // The three closing checks on the stored header and the month's stored lines.
    rules::Falhou confereValores(int mes, const Cabecalho& c) const;

    db::Connection& connection_;
    Chave chave_;
};

// The installation's municipality with its pact (:CO_UF, :CO_CIDADE), as the windows'
// captions read it.
QStringList sqlCidadePactuada();
// The medications agreed for the UF (:CO_UF), by name.
QStringList sqlElencoDaUf();

// A follow-up window's caption: the title ("Acompanhamento", "Consulta Acompanhamento")
// with the kind of follow-up, the year and the UF, the month's name when one is chosen,
// and for a municipality its name (30 characters at most) and pact modality.
QString legenda(const QString& titulo, const Chave& chave, const QString& mes, const QString& municipio,
                const QString& pactuacao);

}  // namespace tracking
