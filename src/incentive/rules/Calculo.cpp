#include "incentive/rules/Calculo.h"

#include "data/AlteracoesIncentivo.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"

#include <QSet>
#include <QStringList>
#include <QVariant>

namespace incentivo {

namespace {

const QString inicioInsercao = QStringLiteral("Insert into TB_TOTAL_INCENTIVO_ANUAL");
const QString inicioAlteracao = QStringLiteral("Update TB_TOTAL_INCENTIVO_ANUAL set ");
const QString condicaoAlteracao =
    QStringLiteral("Where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and co_cidade = :co_cidade");

// One pass: the pacts it reads with their rates, the shares it writes and the rate column
// of each share, in the selection's column order after the key and the population.
struct Passo {
    QStringList selecao;
    QStringList insercao;
    QStringList alteracao;
    QStringList parcelas;  // vl_federal, vl_estadual, vl_municipal: those the pass writes
};

const QList<Passo>& passos()
{
    static const QList<Passo> p = {
        {{QStringLiteral("Select a.nu_ano_compet, a.co_uf, a.co_cidade, a.qt_populacao,"),
          QStringLiteral("b.vl_repasse_federal_mestre, b.vl_repasse_estadual_mestre, b.vl_repasse_municipal_mestre"),
          QStringLiteral("from TB_CIDADE_PACTUACAO a,TB_REPASSE_MESTRE b"), QStringLiteral("where a.nu_ano_compet = :ano"),
          QStringLiteral("and a.nu_ano_compet = b.nu_ano_compet")},
         {inicioInsercao,
          QStringLiteral("(nu_ano_compet, co_uf, co_cidade, vl_federal, vl_estadual, vl_municipal) values"),
          QStringLiteral("(:nu_ano_compet, :co_uf, :co_cidade, :vl_federal, :vl_estadual, :vl_municipal)")},
         {inicioAlteracao,
          QStringLiteral("vl_federal = :vl_federal, vl_estadual = :vl_estadual, vl_municipal = :vl_municipal"),
          condicaoAlteracao},
         {QStringLiteral("vl_federal"), QStringLiteral("vl_estadual"), QStringLiteral("vl_municipal")}},
        {{QStringLiteral("Select a.nu_ano_compet, a.co_uf, a.co_cidade, a.qt_populacao, b.vl_repasse_estadual_excessao"),
          QStringLiteral("from TB_CIDADE_PACTUACAO a,TB_REPASSE_ESTADUAL_EXCESSAO b"),
          QStringLiteral("where a.nu_ano_compet = :ano"), QStringLiteral("and b.nu_ano_compet = a.nu_ano_compet"),
          QStringLiteral("and b.co_uf = a.co_uf"), QStringLiteral("and b.vl_repasse_estadual_excessao is not null")},
         {inicioInsercao, QStringLiteral("(nu_ano_compet, co_uf, co_cidade, vl_estadual) values"),
          QStringLiteral("(:nu_ano_compet, :co_uf, :co_cidade, :vl_estadual)")},
         {inicioAlteracao, QStringLiteral("vl_estadual = :vl_estadual"), condicaoAlteracao},
         {QStringLiteral("vl_estadual")}},
        {{QStringLiteral("Select a.nu_ano_compet, a.co_uf, a.co_cidade, a.qt_populacao, b.vl_repasse_municipal_excessao"),
          QStringLiteral("from TB_CIDADE_PACTUACAO a,TB_REPASSE_MUNICIPAL_EXCESSAO b"),
          QStringLiteral("where a.nu_ano_compet = :ano"), QStringLiteral("and b.co_uf = a.co_uf"),
          QStringLiteral("and b.co_cidade = a.co_cidade"), QStringLiteral("and b.nu_ano_compet = a.nu_ano_compet"),
          QStringLiteral("and b.vl_repasse_municipal_excessao is not null")},
         {inicioInsercao, QStringLiteral("(nu_ano_compet, co_uf, co_cidade, vl_municipal) values"),
          QStringLiteral("(:nu_ano_compet, :co_uf, :co_cidade, :vl_municipal)")},
         {inicioAlteracao, QStringLiteral("vl_municipal = :vl_municipal"), condicaoAlteracao},
         {QStringLiteral("vl_municipal")}},
    };
    return p;
}

bool vazio(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

// Population times rate; null when either is.
QVariant produto(const QVariant& populacao, const QVariant& taxa)
{
    if (vazio(populacao) || vazio(taxa))
        return {};
    return populacao.toDouble() * taxa.toDouble();
}

QString nomeDaCidade(db::Connection& conexao, int cidade)
{
    db::Statement s(conexao, {QStringLiteral("select NO_CIDADE from TB_CIDADE where CO_SEQ_CIDADE = :cidade")});
    s.setParam(QStringLiteral("cidade"), cidade);
    return s.scalar().toString();
}

// The year's exceptions without a rate: the passes leave them out.
QList<ExcecaoSemValor> excecoesSemValor(db::Connection& conexao, const QString& ano)
{
    QList<ExcecaoSemValor> lista;
    db::Statement estaduais(conexao, {QStringLiteral("select CO_UF from TB_REPASSE_ESTADUAL_EXCESSAO"),
                                      QStringLiteral("where NU_ANO_COMPET = :ano and VL_REPASSE_ESTADUAL_EXCESSAO is null"),
                                      QStringLiteral("order by CO_UF")});
    estaduais.setParam(QStringLiteral("ano"), ano);
    for (const QVariantList& r : estaduais.selectAll())
        lista << ExcecaoSemValor{2, r.at(0).toString(), 0, {}};
    db::Statement municipais(conexao, {QStringLiteral("select e.CO_UF, e.CO_CIDADE, c.NO_CIDADE"),
                                       QStringLiteral("from TB_REPASSE_MUNICIPAL_EXCESSAO e"),
                                       QStringLiteral("left join TB_CIDADE c on c.CO_SEQ_CIDADE = e.CO_CIDADE"),
                                       QStringLiteral("where e.NU_ANO_COMPET = :ano and e.VL_REPASSE_MUNICIPAL_EXCESSAO is null"),
                                       QStringLiteral("order by e.CO_UF, c.NO_CIDADE, e.CO_CIDADE")});
    municipais.setParam(QStringLiteral("ano"), ano);
    for (const QVariantList& r : municipais.selectAll())
        lista << ExcecaoSemValor{3, r.at(0).toString(), r.at(1).toInt(), r.at(2).toString()};
    return lista;
}

}  // namespace

QString ResultadoCalculo::mensagem() const
{
    QString texto = QStringLiteral("Calculo efetuado");
    if (!semValor.isEmpty()) {
        texto += semValor.size() == 1 ? QStringLiteral("\n\nUma exceção sem valor foi ignorada (vale o repasse padrão):")
                                      : QStringLiteral("\n\n%1 exceções sem valor foram ignoradas (vale o repasse padrão):")
                                            .arg(semValor.size());
        for (const ExcecaoSemValor& e : semValor) {
            if (e.passo == 2)
                texto += QStringLiteral("\n%1 (exceção estadual)").arg(e.uf);
            else
                texto += QStringLiteral("\n%1 - %2 (exceção municipal)")
                             .arg(e.nome.isEmpty() ? QString::number(e.cidade) : e.nome, e.uf);
        }
    }
    if (recusas.isEmpty())
        return texto;
    texto += recusas.size() == 1 ? QStringLiteral("\n\nUm valor não foi gravado:")
                                 : QStringLiteral("\n\n%1 valores não foram gravados:").arg(recusas.size());
    static const char* const oQue[] = {"repasse padrão", "exceção estadual", "exceção municipal"};
    for (const Recusa& r : recusas) {
        const QString municipio = r.nome.isEmpty() ? QString::number(r.cidade) : r.nome;
        texto += QStringLiteral("\n%1 - %2 (%3): %4")
                     .arg(municipio, r.uf, QString::fromUtf8(oQue[qBound(1, r.passo, 3) - 1]), r.motivo);
    }
    return texto;
}

ResultadoCalculo calculaIncentivoAnual(db::Connection& conexao, const QString& ano, const AoTerminarPasso& aoTerminarPasso)
{
    if (ano.trimmed().isEmpty())
        throw db::DataError(QStringLiteral("Informe o Ano para cálculo"));

    ResultadoCalculo resultado;
    resultado.ano = ano;
    db::WriteUnit calculo(conexao);
    resultado.semValor = excecoesSemValor(conexao, ano);

    db::Statement exclusao(conexao, {QStringLiteral("Delete from TB_TOTAL_INCENTIVO_ANUAL where "),
                                     QStringLiteral("nu_ano_compet = :ano")});
    exclusao.setParam(QStringLiteral("ano"), ano);
    exclusao.exec();

    // The rows this calculation has written. The year's rows were all deleted first, so
    // an insert of one of them is sure to be refused: its update runs at once, as the
    // refused insert would have it. A refused insert is the slow path of the engine, and
    // the later passes would otherwise take it for most of their rows.
    QSet<QString> escritas;
    const auto chave = [](const QString& uf, int cidade) { return uf + QLatin1Char('|') + QString::number(cidade); };

    for (int n = 0; n < passos().size(); ++n) {
        const Passo& passo = passos().at(n);
        db::Statement selecao(conexao, passo.selecao);
        selecao.setParam(QStringLiteral("ano"), ano);
        const QList<QVariantList> pactos = selecao.selectAll();

        db::Statement grava(conexao, passo.insercao);
        db::Statement regrava(conexao, passo.alteracao);
        for (const QVariantList& p : pactos) {
            // Columns: year, UF, municipality, population, then the rate of each share.
            const QString uf = p.at(1).toString();
            const int cidade = p.at(2).toInt();
            for (db::Statement* s : {&grava, &regrava}) {
                s->setParam(QStringLiteral("nu_ano_compet"), p.at(0).toString());
                s->setParam(QStringLiteral("co_uf"), uf);
                s->setParam(QStringLiteral("co_cidade"), cidade);
                for (int i = 0; i < passo.parcelas.size(); ++i)
                    s->setParam(passo.parcelas.at(i), produto(p.at(3), p.at(4 + i)));
            }
            const QString k = chave(uf, cidade);
            try {
                db::WriteUnit linha(conexao);
                if (escritas.contains(k)) {
                    if (regrava.exec() == 0)
                        throw db::RowNotFoundError(QStringLiteral("A linha gravada no passo anterior não foi encontrada."));
                } else {
                    try {
                        grava.exec();
                    } catch (const db::DatabaseError& recusada) {
                        // There already: this pass's shares replace its own.
                        if (regrava.exec() == 0)
                            throw db::DatabaseError(recusada.message());
                    }
                }
                linha.commit();
                escritas.insert(k);
                ++resultado.gravadas[size_t(n)];
            } catch (const db::DatabaseError& e) {
                resultado.recusas << Recusa{n + 1, uf, cidade, nomeDaCidade(conexao, cidade), e.message()};
            }
        }
        if (aoTerminarPasso)
            aoTerminarPasso(n + 1);
    }

    db::Statement conta(conexao, {QStringLiteral("select count(*) from TB_TOTAL_INCENTIVO_ANUAL where nu_ano_compet = :ano")});
    conta.setParam(QStringLiteral("ano"), ano);
    resultado.linhas = conta.scalar().toInt();
    // Changes of pacts and rates recorded from now on come after this calculation.
    data::registraCalculoIncentivo(conexao, ano);
    calculo.commit();
    return resultado;
}

QString perguntaCalculo(const QString& ano, const QString& uf)
{
    return QStringLiteral("Calcular o incentivo anual de %1?\n"
                          "Os valores de %1 já calculados serão substituídos em todos os estados%2.")
        .arg(ano, uf.isEmpty() ? QString() : QStringLiteral(", inclusive %1").arg(uf));
}

QStringList anosPactuados(db::Connection& conexao)
{
    QStringList anos;
    for (const QVariantList& r : db::Statement(conexao, {QStringLiteral("select distinct NU_ANO_COMPET from TB_CIDADE_PACTUACAO "
                                                                        "order by NU_ANO_COMPET")})
                                     .selectAll())
        anos << r.at(0).toString();
    return anos;
}

}  // namespace incentivo
