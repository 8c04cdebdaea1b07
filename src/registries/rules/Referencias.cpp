#include "registries/rules/Referencias.h"

#include "db/Connection.h"
#include "db/Statement.h"
#include "text/Formats.h"

namespace registros {

namespace {

bool nulo(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

QString quantidade(int n, const QString& singular, const QString& plural)
{
    return text::formatFloat(text::masks::integerGrouped, n) + u' ' + (n == 1 ? singular : plural);
}

// "A", "A e B", "A, B e C".
QString enumera(const QStringList& itens)
{
    if (itens.size() <= 1)
        return itens.value(0);
    return itens.mid(0, itens.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" e ") + itens.last();
}

// "por 3 lançamentos de Execução Física do acompanhamento e pela relação pactuada de MG".
QString usuarios(const UsoMedicamento& uso)
{
    QStringList partes;
    if (uso.lancamentos > 0)
        partes << QStringLiteral("por ")
                      + quantidade(uso.lancamentos, QStringLiteral("lançamento"), QStringLiteral("lançamentos"))
                      + QStringLiteral(" de Execução Física do acompanhamento");
    if (uso.ufs.size() == 1)
        partes << QStringLiteral("pela relação pactuada de ") + uso.ufs.first();
    else if (uso.ufs.size() > 1)
        partes << QStringLiteral("pela relação pactuada de %1 estados (%2)").arg(uso.ufs.size()).arg(enumera(uso.ufs));
    return partes.join(QStringLiteral(" e "));
}

QString pactos(const UsoModalidade& uso)
{
    return QStringLiteral("por ")
           + quantidade(uso.pactos, QStringLiteral("pactuação de município"), QStringLiteral("pactuações de municípios"))
           + (uso.anos.size() == 1 ? QStringLiteral(" (ano ") : QStringLiteral(" (anos ")) + enumera(uso.anos)
           + u')';
}

}  // namespace

UsoMedicamento usoDoMedicamento(db::Connection& connection, const QVariant& codigo)
{
    UsoMedicamento uso;
    if (nulo(codigo))
        return uso;
    db::Statement linhas(connection, {QStringLiteral("select count(*) from TB_EXECUCAO_FISICA_MUNICIPIO"),
                                      QStringLiteral("where CO_SEQ_MEDICAMENTO = :CODIGO")});
    linhas.setParam(QStringLiteral("CODIGO"), codigo);
    uso.lancamentos = linhas.scalar().toInt();
    db::Statement ufs(connection, {QStringLiteral("select CO_UF from RL_ELENCOMINIMO_UF"),
                                   QStringLiteral("where CO_MEDICAMENTO = :CODIGO order by CO_UF")});
    ufs.setParam(QStringLiteral("CODIGO"), codigo);
    for (const QVariantList& row : ufs.selectAll())
        uso.ufs << row.value(0).toString();
    return uso;
}

UsoModalidade usoDaModalidade(db::Connection& connection, const QVariant& codigo)
{
    UsoModalidade uso;
    if (nulo(codigo))
        return uso;
    db::Statement s(connection, {QStringLiteral("select NU_ANO_COMPET, count(*) from TB_CIDADE_PACTUACAO"),
                                 QStringLiteral("where CO_FORMA_PACTUACAO = :CODIGO"),
                                 QStringLiteral("group by NU_ANO_COMPET order by NU_ANO_COMPET")});
    s.setParam(QStringLiteral("CODIGO"), codigo);
    for (const QVariantList& row : s.selectAll()) {
        uso.anos << row.value(0).toString();
        uso.pactos += row.value(1).toInt();
    }
    return uso;
}

rules::Falhou recusaAlteracaoDoCodigo(db::Connection& connection, const QVariant& antigo, const QVariant& novo)
{
    if (nulo(antigo) || (!nulo(novo) && antigo.toInt() == novo.toInt()))
        return std::nullopt;
    const UsoMedicamento uso = usoDoMedicamento(connection, antigo);
    if (!uso.emUso())
        return std::nullopt;
    return rules::Falha::recusa(QStringLiteral("O código %1 não pode ser alterado porque ainda é usado %2. Altere só a "
                                               "descrição ou o elenco mínimo, ou cancele a alteração.")
                                    .arg(antigo.toInt())
                                    .arg(usuarios(uso)),
                                QStringLiteral("CO_SEQ_MEDICAMENTO"));
}

rules::Falhou recusaExclusaoDoMedicamento(db::Connection& connection, const QVariant& codigo, const QString& nome)
{
    const UsoMedicamento uso = usoDoMedicamento(connection, codigo);
    if (!uso.emUso())
        return std::nullopt;
    return rules::Falha::recusa(
        QStringLiteral("O medicamento \"%1\" não pode ser excluído porque ainda é usado %2.").arg(nome, usuarios(uso)),
        QStringLiteral("CO_SEQ_MEDICAMENTO"));
}

rules::Falhou recusaAlteracaoDaModalidade(db::Connection& connection, const QVariant& antigo, const QVariant& novo)
{
    if (nulo(antigo) || (!nulo(novo) && antigo.toString() == novo.toString()))
        return std::nullopt;
    const UsoModalidade uso = usoDaModalidade(connection, antigo);
    if (!uso.emUso())
        return std::nullopt;
    return rules::Falha::recusa(QStringLiteral("O código da modalidade de pactuação \"%1\" não pode ser alterado porque "
                                               "ainda é usado %2. Altere só a descrição, ou cancele a alteração.")
                                    .arg(antigo.toString(), pactos(uso)),
                                QStringLiteral("CO_FORMA_PACTUACAO"));
}

rules::Falhou recusaExclusaoDaModalidade(db::Connection& connection, const QVariant& codigo)
{
    const UsoModalidade uso = usoDaModalidade(connection, codigo);
    if (!uso.emUso())
        return std::nullopt;
    return rules::Falha::recusa(QStringLiteral("A modalidade de pactuação \"%1\" não pode ser excluída porque ainda é usada %2.")
                                    .arg(codigo.toString(), pactos(uso)),
                                QStringLiteral("CO_FORMA_PACTUACAO"));
}

}  // namespace registros
