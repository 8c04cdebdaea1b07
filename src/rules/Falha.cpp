#include "rules/Falha.h"

#include "db/DatabaseError.h"

namespace rules {

Falha falhaDe(const std::exception& e, const QString& mensagem)
{
    if (const auto* conflito = dynamic_cast<const db::LockConflictError*>(&e))
        return Falha{Falha::Tipo::Conflito, {}, mensagem, conflito->message()};
    if (const auto* ausente = dynamic_cast<const db::RowNotFoundError*>(&e))
        return Falha{Falha::Tipo::NaoEncontrado, {}, mensagem, ausente->message()};
    if (const auto* banco = dynamic_cast<const db::DatabaseError*>(&e))
        return Falha{Falha::Tipo::Banco, {}, mensagem, banco->message()};
    if (const auto* dado = dynamic_cast<const db::DataError*>(&e))
        return Falha{Falha::Tipo::Recusa, {}, mensagem, dado->message()};
    return Falha{Falha::Tipo::Banco, {}, mensagem, QString::fromLocal8Bit(e.what())};
}

}  // namespace rules
