#include "tracking/rules/Consulta.h"

#include "db/Statement.h"

namespace tracking {

double totalConsulta(const Valores& v)
{
    return v.saldoAnterior + v.federal + v.estadual + v.municipal + v.medicamentos;
}

double saldoAtualConsulta(const Valores& v)
{
    return totalConsulta(v) - v.gastos;
}

QList<Municipio> municipiosComMovimento(db::Connection& connection, const QString& ano, const QString& uf)
{
    // Every reference is by value: a municipality missing from TB_CIDADE still has its
    // months, and is listed by its code.
    db::Statement s(connection, {QStringLiteral("select m.co_cidade, max(c.no_cidade) from tb_movimento_municipio m"),
                                 QStringLiteral("left join tb_cidade c on c.co_seq_cidade = m.co_cidade"),
                                 QStringLiteral("where m.nu_ano_compet = :nu_ano_compet and m.co_uf = :co_uf"),
                                 QStringLiteral("and m.co_cidade <> 0"),
                                 QStringLiteral("group by m.co_cidade"),
                                 QStringLiteral("order by 2, 1")});
    s.setParam(QStringLiteral("nu_ano_compet"), ano);
    s.setParam(QStringLiteral("co_uf"), uf);
    QList<Municipio> municipios;
    for (const QVariantList& r : s.selectAll()) {
        const int cidade = r.at(0).toInt();
        const QString nome = r.at(1).toString();
        municipios << Municipio{cidade, nome.isEmpty() ? QString::number(cidade) : nome};
    }
    return municipios;
}

}  // namespace tracking
