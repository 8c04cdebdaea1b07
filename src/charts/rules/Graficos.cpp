#include "charts/rules/Graficos.h"

namespace charts {

const QList<Favorecido>& favorecidos()
{
    static const QList<Favorecido> lista{
        {QStringLiteral("1"), QStringLiteral("Distribuidora     ")},
        {QStringLiteral("2"), QStringLiteral("Drogaria/Farmácia ")},
        {QStringLiteral("3"), QStringLiteral("Industria Privada ")},
        {QStringLiteral("4"), QStringLiteral("Industria Pública ")},
        {QStringLiteral("5"), QStringLiteral("Sec. Est. de Saúde")},
    };
    return lista;
}

const Grafico& graficoFonteComprovacao()
{
    static const Grafico g = [] {
        Grafico d{QStringLiteral("Grafico Fonte Comprovação"),
                  QStringLiteral("FAVORECIDO"),
                  18,
                  QStringLiteral("UF"),
                  QStringLiteral("VALOR"),
                  QStringLiteral("###,###,###,##0.000"),
                  {}};
        // The labels are cast to VARCHAR: a CHAR literal comes back from the driver padded
        // to four bytes a character. The stored text went on with a sixth member selecting this table's columns
        // from rdb$database alone, which names a table its FROM lacks; it is left out.
        for (const Favorecido& f : favorecidos()) {
            if (!d.sql.isEmpty())
                d.sql << QStringLiteral("union");
            d.sql << QStringLiteral("select cast('%1' as varchar(18)) Favorecido, tb_fonte_comprovacao_municipio.co_uf UF,").arg(f.rotulo)
                  << QStringLiteral("sum(tb_fonte_comprovacao_municipio.vl_doc) Valor")
                  << QStringLiteral("from tb_fonte_comprovacao_municipio")
                  << QStringLiteral("where tb_fonte_comprovacao_municipio.st_tipo_favorecido = '%1'").arg(f.tipo)
                  << QStringLiteral("and tb_fonte_comprovacao_municipio.nu_ano_compet = :vNu_ano_compet")
                  << QStringLiteral("and tb_fonte_comprovacao_municipio.st_tipo_doc = 'N'")
                  << QStringLiteral("group by tb_fonte_comprovacao_municipio.co_uf");
        }
        return d;
    }();
    return g;
}

const Grafico& graficoAplicacaoRecursos()
{
    static const Grafico g{
        QStringLiteral("Gráfico de aplicação de Recursos"),
        QStringLiteral("RECURSOS"),
        19,
        QStringLiteral("UF"),
        QStringLiteral("VALOR"),
        QStringLiteral("###,###,###,##0.00"),
        {
            // Labels cast to VARCHAR, as above.
            QStringLiteral("select cast('Elenco Minimo      ' as varchar(19)) Recursos, tb_execucao_fisica_municipio.co_uf UF,"),
            QStringLiteral("sum(tb_execucao_fisica_municipio.vl_total) Valor"),
            QStringLiteral("from tb_execucao_fisica_municipio, tb_elenco_minimo"),
            QStringLiteral("where tb_execucao_fisica_municipio.co_seq_medicamento = tb_elenco_minimo.co_seq_medicamento"),
            QStringLiteral("and tb_elenco_minimo.st_elenco_minimo = 'S'"),
            QStringLiteral("and tb_execucao_fisica_municipio.nu_ano_compet = :vNu_ano_compet"),
            QStringLiteral("group by co_uf"),
            QStringLiteral("union"),
            QStringLiteral("select cast('Outros Medicamentos' as varchar(19)) Recursos, tb_execucao_fisica_municipio.co_uf UF,"),
            QStringLiteral("sum(tb_execucao_fisica_municipio.vl_total) Valor"),
            QStringLiteral("from tb_execucao_fisica_municipio, tb_elenco_minimo"),
            QStringLiteral("where tb_execucao_fisica_municipio.co_seq_medicamento = tb_elenco_minimo.co_seq_medicamento"),
            QStringLiteral("and tb_elenco_minimo.st_elenco_minimo = 'N'"),
            QStringLiteral("and tb_execucao_fisica_municipio.nu_ano_compet = :vNu_ano_compet"),
            QStringLiteral("group by co_uf"),
        },
    };
    return g;
}

}  // namespace charts
