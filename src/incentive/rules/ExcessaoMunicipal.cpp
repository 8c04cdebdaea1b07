#include "incentive/rules/ExcessaoMunicipal.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "text/Formats.h"

#include <QVariant>

#include <cmath>

namespace incentivo {

namespace {

QString municipios(int n)
{
    return n == 1 ? QStringLiteral("1 município") : QStringLiteral("%1 municípios").arg(n);
}

}  // namespace

std::optional<double> valorDeRepasse(const QString& texto)
{
    const std::optional<double> v = text::parseAmount(texto);
    if (!v || !std::isfinite(*v) || *v <= 0)
        return std::nullopt;
    return v;
}

QString PrevisaoGeracao::pergunta(double valor, const QString& uf, const QString& ano) const
{
    QString texto = QStringLiteral("Gravar a exceção de %1 por habitante para %2 de %3 em %4?")
                        .arg(text::formatFloat(QStringLiteral("'R$ '###,###,##0.00######"), valor), municipios(aGravar()), uf, ano);
    if (comExcessao > 0)
        texto += comExcessao == 1 ? QStringLiteral("\n1 município já tem exceção no ano e fica com ela.")
                                  : QStringLiteral("\n%1 já têm exceção no ano e ficam com ela.").arg(municipios(comExcessao));
    return texto + QStringLiteral("\n\nConfirma ?");
}

PrevisaoGeracao previsaoDaGeracao(db::Connection& conexao, const QString& ano, const QString& uf)
{
    db::Statement s(conexao, {QStringLiteral("select count(*),"),
                              QStringLiteral("  sum(case when exists (select 1 from TB_REPASSE_MUNICIPAL_EXCESSAO E"),
                              QStringLiteral("    where E.NU_ANO_COMPET = :NU_ANO_COMPET and E.CO_UF = C.CO_UF"),
                              QStringLiteral("      and E.CO_CIDADE = C.CO_SEQ_CIDADE) then 1 else 0 end)"),
                              QStringLiteral("from TB_CIDADE C where C.CO_UF = :CO_UF")});
    s.setParam(QStringLiteral("NU_ANO_COMPET"), ano);
    s.setParam(QStringLiteral("CO_UF"), uf);
    const QVariantList linha = s.selectAll().value(0);
    return PrevisaoGeracao{linha.value(0).toInt(), linha.value(1).toInt()};
}

QString ResultadoGeracao::mensagem() const
{
    QString texto = QStringLiteral("Geração Efetuada");
    QStringList partes;
    if (gravadas > 0)
        partes << QStringLiteral("Exceção gravada para %1.").arg(municipios(gravadas));
    if (mantidas > 0)
        partes << (mantidas == 1 ? QStringLiteral("1 município já tinha exceção no ano e ficou com ela.")
                                 : QStringLiteral("%1 já tinham exceção no ano e ficaram com ela.").arg(municipios(mantidas)));
    if (gravadas == 0 && mantidas == 0 && recusas.isEmpty())
        partes << QStringLiteral("O estado não tem municípios cadastrados.");
    if (!recusas.isEmpty()) {
        QString r = recusas.size() == 1 ? QStringLiteral("Não foi gravada para 1 município:")
                                        : QStringLiteral("Não foi gravada para %1:").arg(municipios(int(recusas.size())));
        for (const Recusa& x : recusas)
            r += QStringLiteral("\n%1: %2").arg(x.nome.isEmpty() ? QString::number(x.cidade) : x.nome, x.motivo);
        partes << r;
    }
    return texto + QStringLiteral("\n\n") + partes.join(QLatin1Char('\n'));
}

ResultadoGeracao geraExcessaoMunicipal(db::Connection& conexao, const QString& ano, const QString& uf, double valor)
{
    if (uf.trimmed().isEmpty())
        throw db::DataError(QStringLiteral("Informe o Estado"));
    if (ano.trimmed().isEmpty())
        throw db::DataError(QStringLiteral("Para Habilitar esta opção primeiro cadastre os parametros do sistema"));
    if (!std::isfinite(valor) || valor <= 0)
        throw db::DataError(QStringLiteral("Valor inválido."));

    db::Statement cidades(conexao, {QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE"), QStringLiteral("from TB_CIDADE"),
                                    QStringLiteral("where CO_UF = :CO_UF"), QStringLiteral("order by no_cidade")});
    cidades.setParam(QStringLiteral("CO_UF"), uf);

    ResultadoGeracao resultado;
    db::WriteUnit geracao(conexao);
    db::Statement grava(conexao, {QStringLiteral("insert into TB_REPASSE_MUNICIPAL_EXCESSAO"),
                                  QStringLiteral("( NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_REPASSE_MUNICIPAL_EXCESSAO )"),
                                  QStringLiteral("values"),
                                  QStringLiteral("(:NU_ANO_COMPET, :CO_UF, :CO_CIDADE, :VL_REPASSE_MUNICIPAL_EXCESSAO)")});
    grava.setParam(QStringLiteral("NU_ANO_COMPET"), ano);
    grava.setParam(QStringLiteral("CO_UF"), uf);
    grava.setParam(QStringLiteral("VL_REPASSE_MUNICIPAL_EXCESSAO"), valor);
    for (const QVariantList& c : cidades.selectAll()) {
        grava.setParam(QStringLiteral("CO_CIDADE"), c.at(0));
        try {
            db::WriteUnit linha(conexao);
            grava.exec();
            linha.commit();
            ++resultado.gravadas;
        } catch (const db::DatabaseError& e) {
            // The first exception of the year stays.
            if (e.isKeyViolation())
                ++resultado.mantidas;
            else
                resultado.recusas << ResultadoGeracao::Recusa{c.at(0).toInt(), c.at(1).toString(), e.message()};
        }
    }
    geracao.commit();
    return resultado;
}

}  // namespace incentivo
