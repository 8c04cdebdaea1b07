#pragma once
// The statements of a follow-up: what the year holds, the month header saved with the
// year's initial balance, the other-medications total, the closing and the document
// checks. Values always go as bound parameters.
#include "tracking/rules/EscolhaMes.h"

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

class Acompanhamento {
public:
    Acompanhamento(db::Connection& connection, const Chave& chave);
    const Chave& chave() const { return chave_; }

    // The initial balance and every header of the year.
    EstadoAno leEstadoAno() const;
    // The year's open header (the earliest if there were several).
    std::optional<Cabecalho> cabecalhoAberto() const;
    // The month's header, whatever its state; nothing when it has none.
    std::optional<Cabecalho> cabecalho(int mes) const;
    // SITUACAO of the month's header; nothing when it has none.
    std::optional<QString> situacao(int mes) const;

    // The year's incentive of the municipality (of every municipality of the UF in a state
    // installation, municipality 0); zeros when there is none.
    Incentivo incentivoAnual() const;

    enum class Gravacao {
        Gravado,
        FalhaSaldoInicial,  // the initial balance was not written: nothing was
        FalhaInclusao,      // the header insert failed: nothing was written
        FalhaAlteracao,     // the header update failed (or found no open month): nothing was written
    };
    // Saves the month header as open, in one unit with the year's initial balance: while
    // the year has none it is inserted with the balance brought forward and the month; a
    // refused insert (it exists) goes on. The header is inserted, or updated when it exists
    // and is open. While the month is the initial balance's month, the initial balance
    // takes the balance brought forward, so that there is one row a year.
    Gravacao gravaMovimentacao(int mes, const Valores& valores, bool semSaldoInicial);
    // When the last gravaMovimentacao failed because another seat was changing the same
    // rows, the message that says so (the operation may be repeated); else empty.
    QString outroUsuario() const { return outroUsuario_; }

    // Writes the header's other-medications total; joins the caller's unit. Throws when
    // the statement fails or the month has no header.
    void gravaTotalOutros(int mes, double valor);

    // Closes the open month with the date; throws when it fails or the month is not open.
    void fechaMes(int mes, const QDate& data);

    // A document of that number for that payee in any year, UF, municipality or month.
    bool documentoLancado(const QString& numero, const QString& favorecido) const;
    // The payee on a document with a payee type other than tipo ("0": none); a document
    // without a type does not count, nor does the line being edited.
    bool favorecidoComOutroTipo(const QString& favorecido, const QString& tipo,
                                const std::optional<LinhaDocumento>& excluida = std::nullopt) const;

private:
    QList<Cabecalho> leCabecalhos(int mes) const;

    db::Connection& connection_;
    Chave chave_;
    QString outroUsuario_;
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
