#include "reports/rules/Aquisicao.h"

#include "db/Dataset.h"

namespace relatorios {

namespace {

struct Tipo {
    QString codigo;
    QString nome;
};

const QList<Tipo>& tiposFavorecido()
{
    static const QList<Tipo> t{
        {QStringLiteral("1"), QStringLiteral("Distribuidora")},
        {QStringLiteral("2"), QStringLiteral("Drogaria/Farmácia")},
        {QStringLiteral("3"), QStringLiteral("Industria Privada")},
        {QStringLiteral("4"), QStringLiteral("Industria Pública")},
        {QStringLiteral("5"), QStringLiteral("Sec. Est. de Saúde")},
    };
    return t;
}

const QList<Tipo>& tiposDocumento()
{
    static const QList<Tipo> t{
        {QStringLiteral("N"), QStringLiteral("Nota Fiscal")},
        {QStringLiteral("E"), QStringLiteral("Empenho")},
        {QStringLiteral("D"), QStringLiteral("Depósito")},
        {QStringLiteral("G"), QStringLiteral("Guia de Remessa")},
    };
    return t;
}

QStringList nomes(const QList<Tipo>& tipos)
{
    QStringList l;
    for (const Tipo& t : tipos)
        l << t.nome;
    return l;
}

}  // namespace

QStringList sqlAquisicao(Criterio criterio)
{
    return {
        QStringLiteral("select *"),
        QStringLiteral("from TB_FONTE_COMPROVACAO_MUNICIPIO"),
        QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and"),
        QStringLiteral("CO_UF = :CO_UF and"),
        QStringLiteral("CO_CIDADE = :CO_CIDADE and"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) >= :NU_MES_COMPET_INICIO and"),
        QStringLiteral("cast(NU_MES_COMPET as Integer) <= :NU_MES_COMPET_FIM and"),
        criterio == Criterio::Favorecido ? QStringLiteral("ST_TIPO_FAVORECIDO = :ST_TIPO_FAVORECIDO")
                                         : QStringLiteral("ST_TIPO_DOC = :ST_TIPO_DOC"),
        QStringLiteral("order by ST_TIPO_DOC, DT_DOC"),
    };
}

void preparaAquisicao(db::Dataset& consulta, const Selecao& selecao, Criterio criterio, const QString& codigo)
{
    consulta.setSql(sqlAquisicao(criterio));
    parametrosComuns(consulta, selecao);
    parametroCidadeOuZero(consulta, selecao);
    consulta.setParam(criterio == Criterio::Favorecido ? QStringLiteral("ST_TIPO_FAVORECIDO") : QStringLiteral("ST_TIPO_DOC"),
                      codigo);
}

const QStringList& nomesTiposFavorecido()
{
    static const QStringList l = nomes(tiposFavorecido());
    return l;
}

const QStringList& nomesTiposDocumento()
{
    static const QStringList l = nomes(tiposDocumento());
    return l;
}

QString codigoTipoFavorecido(int posicao)
{
    return posicao >= 0 && posicao < tiposFavorecido().size() ? tiposFavorecido()[posicao].codigo : QString();
}

QString codigoTipoDocumento(int posicao)
{
    return posicao >= 0 && posicao < tiposDocumento().size() ? tiposDocumento()[posicao].codigo : QString();
}

QString nomeTipoDocumento(const QString& codigo)
{
    for (const Tipo& t : tiposDocumento())
        if (t.codigo == codigo)
            return t.nome;
    return codigo;
}

QStringList sqlElencoPactuado()
{
    return {
        QStringLiteral("SELECT TB_ELENCO_MINIMO.DS_MEDICAMENTO,"),
        QStringLiteral("       TB_ELENCO_MINIMO.ST_ELENCO_MINIMO"),
        QStringLiteral("FROM TB_ELENCO_MINIMO"),
        QStringLiteral("   INNER JOIN RL_ELENCOMINIMO_UF ON (TB_ELENCO_MINIMO.CO_SEQ_MEDICAMENTO = RL_ELENCOMINIMO_UF.CO_MEDICAMENTO)"),
        QStringLiteral("where co_uf = :co_uf"),
        QStringLiteral("order by TB_ELENCO_MINIMO.DS_MEDICAMENTO "),
    };
}

void defineElencoPactuado(db::Dataset& consulta)
{
    consulta.setSql(sqlElencoPactuado());
    consulta.addField(QStringLiteral("DS_MEDICAMENTO"), db::FieldType::String, 100).setDisplayLabel(QStringLiteral("Medicamento"));
    consulta.addField(QStringLiteral("ST_ELENCO_MINIMO"), db::FieldType::String, 1).setDisplayLabel(QStringLiteral("Elenco Mínimo"));
}

}  // namespace relatorios
