#pragma once
// Why a rule refused or could not do what it was asked: one type for the rules of every
// feature. A window shows texto() in one box and puts the focus on the control of campo.
#include <QString>

#include <exception>
#include <optional>
#include <utility>

namespace rules {

struct Falha {
    enum class Tipo {
        Recusa,         // a check refused what was typed: nothing was sent to the database
        Conflito,       // another seat holds the same rows: the operation may be repeated
        NaoEncontrado,  // the row to change is no longer there (or no longer in that state)
        Banco,          // the database refused the statement
    };
    Tipo tipo = Tipo::Recusa;
    // The column whose value the user must correct (upper case, as the table names it);
    // empty when no one value is at fault.
    QString campo;
    // The operation's own message, word for word.
    QString mensagem;
    // Why, on the lines after the message: the figures compared, another seat, the
    // engine's words. Empty when the message says it all.
    QString causa;

    // The message and, on the next line, its cause.
    QString texto() const { return causa.isEmpty() ? mensagem : mensagem + QLatin1Char('\n') + causa; }

    static Falha recusa(const QString& mensagem, const QString& campo = {}, const QString& causa = {})
    {
        return Falha{Tipo::Recusa, campo, mensagem, causa};
    }
};

// What an operation that may fail gives back: nothing, or why it failed.
using Falhou = std::optional<Falha>;

// A value, or why there is none.
template <class T>
class Resultado {
public:
    Resultado(T valor) : valor_(std::move(valor)) {}
    Resultado(Falha falha) : falha_(std::move(falha)) {}

    explicit operator bool() const { return !falha_; }
    const T& valor() const { return *valor_; }
    const Falha& falha() const { return *falha_; }
    Falhou falhou() const { return falha_; }

private:
    std::optional<T> valor_;
    std::optional<Falha> falha_;
};

// The failure of an operation that met an exception: the operation's message, and as
// its cause the exception's own words. A lock conflict (db::LockConflictError) says that
// another user is changing the same data; a key violation and a row no longer there keep
// their kinds. Call it inside a catch block.
Falha falhaDe(const std::exception& e, const QString& mensagem);

}  // namespace rules
