#include "registries/rules/Pactuacao.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "db/Statement.h"
#include "text/Formats.h"

namespace registros {

namespace {

bool vazio(const QVariant& v)
{
    return !v.isValid() || v.isNull() || v.toString().trimmed().isEmpty();
}

}  // namespace

Censo leCenso(db::Dataset& rl, const QVariant& cidade, const QVariant& ano)
{
    rl.close();
    rl.setParam(QStringLiteral("co_cidade"), cidade);
    rl.setParam(QStringLiteral("nu_ano_censo"), ano);
    rl.open();
    Censo censo;
    if (rl.isEmpty())
        return censo;
    rl.last();
    censo.encontrado = true;
    censo.populacao = rl.fieldByName(QStringLiteral("QT_POPULACAO")).asFloat();
    censo.ano = rl.fieldByName(QStringLiteral("NU_ANO_CENSO")).asString();
    return censo;
}

bool municipioDaUf(db::Connection& connection, const QVariant& cidade, const QVariant& uf)
{
    if (vazio(cidade) || vazio(uf))
        return false;
    db::Statement s(connection, {QStringLiteral("select count(*) from TB_CIDADE"),
                                 QStringLiteral("where CO_SEQ_CIDADE = :CIDADE and CO_UF = :UF")});
    s.setParam(QStringLiteral("CIDADE"), cidade);
    s.setParam(QStringLiteral("UF"), uf);
    return s.scalar().toInt() > 0;
}

rules::Falhou campoQueFalta(db::Connection& connection, const PactoDigitado& p)
{
    using rules::Falha;
    if (vazio(p.ano))
        return Falha::recusa(QStringLiteral("O campo Ano de Competência é obrigatório"), QStringLiteral("NU_ANO_COMPET"));
    if (vazio(p.uf))
        return Falha::recusa(QStringLiteral("O campo Estado é obrigatório"), QStringLiteral("CO_UF"));
    if (!municipioDaUf(connection, p.cidade, p.uf))
        return Falha::recusa(QStringLiteral("O campo Município é obrigatório"), QStringLiteral("CO_CIDADE"));
    if (vazio(p.modalidade))
        return Falha::recusa(QStringLiteral("O campo Modalidade de Pactuação é obrigatório"), QStringLiteral("CO_FORMA_PACTUACAO"));
    if (p.populacao.trimmed().isEmpty())
        return Falha::recusa(QStringLiteral("O campo População é obrigatório"), QStringLiteral("QT_POPULACAO"));
    return std::nullopt;
}

double populacaoDigitada(const QString& texto)
{
    // As typed, or as shown (with the thousands separator: "12.345").
    auto n = text::parseFloat(texto.trimmed());
    if (!n)
        n = text::parseAmount(texto.trimmed());
    if (!n)
        throw db::DataError(QStringLiteral("\"%1\" não é um valor válido para o campo \"População\".").arg(texto.trimmed()));
    return *n;
}

QVariant anoCensoDoPacto(double populacao, const Censo& censo)
{
    if (!censo.encontrado || populacao != censo.populacao)
        return QVariant();
    return censo.ano;
}

}  // namespace registros
