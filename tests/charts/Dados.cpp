#include "Dados.h"

#include "charts/rules/Graficos.h"
#include "db/Connection.h"
#include "db/Statement.h"

#include <QDate>
#include <QStringList>

#include <random>

namespace dados {

namespace {

void exec(db::Connection& c, const QString& sql, const QVariantMap& params)
{
    db::Statement s(c, QStringList{sql});
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        s.setParam(it.key(), it.value());
    s.exec();
}

Somas somas(db::Connection& c, const QString& ano, const QString& rotulo, const QString& valor, const QString& de,
            const QString& onde, const QMap<QString, QString>& rotulos)
{
    Somas out;
    const QList<QPair<QString, QString>> agrupamentos{{rotulo + QStringLiteral(", co_uf"), QStringLiteral("group by 1, 2")},
                                                      {rotulo + QStringLiteral(", ''"), QStringLiteral("group by 1")},
                                                      {QStringLiteral("'', co_uf"), QStringLiteral("group by 2")},
                                                      {QStringLiteral("'', ''"), QString()}};
    for (const auto& [colunas, grupo] : agrupamentos) {
        db::Statement s(c, {QStringLiteral("select %1, sum(%2) from %3 where %4 %5").arg(colunas, valor, de, onde, grupo)});
        s.setParam(QStringLiteral("ANO"), ano);
        for (const QVariantList& r : s.selectAll()) {
            const QString chave = r.at(0).toString().trimmed();
            out.insert({chave.isEmpty() ? QString() : rotulos.value(chave), r.at(1).toString().trimmed()}, r.at(2));
        }
    }
    return out;
}

}  // namespace

void documento(db::Connection& c, const QString& ano, const QString& uf, int mes, const QString& tipoDoc,
               const QVariant& tipoFavorecido, const QVariant& valor, int cidade)
{
    exec(c,
         QStringLiteral("insert into TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "ST_TIPO_DOC, NU_FAVORECIDO, NR_NUMERO_DOC, ST_TIPO_FAVORECIDO, DT_DOC, VL_DOC) "
                        "values (:A, :U, :C, :M, :T, '11222333000181', 'NF', :F, :D, :V)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("T"), tipoDoc}, {QStringLiteral("F"), tipoFavorecido},
          {QStringLiteral("D"), QDate(ano.toInt(), mes, 10)}, {QStringLiteral("V"), valor}});
}

void compra(db::Connection& c, const QString& ano, const QString& uf, int mes, int medicamento, const QVariant& total,
            int cidade)
{
    exec(c,
         QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) values (:A, :U, :C, :M, :MED, 1, :V, "
                        ":V, 'M')"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("MED"), medicamento}, {QStringLiteral("V"), total}});
}

void medicamentosSemMarca(db::Connection& c)
{
    exec(c, QStringLiteral("insert into TB_ELENCO_MINIMO (CO_SEQ_MEDICAMENTO, DS_MEDICAMENTO, ST_ELENCO_MINIMO) "
                           "values (901, 'Sem marca', null)"), {});
    exec(c, QStringLiteral("insert into TB_ELENCO_MINIMO (CO_SEQ_MEDICAMENTO, DS_MEDICAMENTO, ST_ELENCO_MINIMO) "
                           "values (902, 'Outra marca', 'X')"), {});
}

void anoVariado(db::Connection& c, const QString& ano, int documentos, unsigned semente)
{
    static const QStringList ufs{QStringLiteral("AC"), QStringLiteral("BA"), QStringLiteral("DF"), QStringLiteral("MG"),
                                 QStringLiteral("PR"), QStringLiteral("RS"), QStringLiteral("SP")};
    static const QStringList tiposDoc{QStringLiteral("N"), QStringLiteral("N"), QStringLiteral("E"), QStringLiteral("D"),
                                      QStringLiteral("G")};
    static const QVariantList favorecidos{QStringLiteral("1"), QStringLiteral("2"), QStringLiteral("3"), QStringLiteral("4"),
                                          QStringLiteral("5"), QStringLiteral("5"), QStringLiteral("6"), QVariant()};
    static const QList<int> medicamentos{1, 2, 3, 4, 36, 37, 901, 902, 999};
    std::mt19937 g(semente);
    auto pick = [&g](const auto& list) { return list.at(int(g() % unsigned(list.size()))); };
    db::WriteUnit unit(c);
    for (int i = 0; i < documentos; ++i) {
        const int mes = int(g() % 12) + 1;
        // Cents and a few missing values.
        const QVariant valor = g() % 23 == 0 ? QVariant() : QVariant(double(g() % 500000) / 100.0);
        documento(c, ano, pick(ufs), mes, pick(tiposDoc), pick(favorecidos), valor);
        const QVariant total = g() % 29 == 0 ? QVariant() : QVariant(double(g() % 300000) / 100.0);
        compra(c, ano, pick(ufs), mes, pick(medicamentos), total);
    }
    unit.commit();
}

Somas somasFavorecido(db::Connection& c, const QString& ano)
{
    QMap<QString, QString> rotulos;
    for (const charts::Favorecido& f : charts::favorecidos())
        rotulos.insert(f.tipo, f.rotulo.trimmed());
    return somas(c, ano, QStringLiteral("st_tipo_favorecido"), QStringLiteral("vl_doc"),
                 QStringLiteral("tb_fonte_comprovacao_municipio"),
                 QStringLiteral("nu_ano_compet = :ANO and st_tipo_doc = 'N' and st_tipo_favorecido in ('1', '2', '3', '4', '5')"),
                 rotulos);
}

Somas somasRecursos(db::Connection& c, const QString& ano)
{
    return somas(c, ano, QStringLiteral("m.st_elenco_minimo"), QStringLiteral("e.vl_total"),
                 QStringLiteral("tb_execucao_fisica_municipio e join tb_elenco_minimo m "
                                "on m.co_seq_medicamento = e.co_seq_medicamento"),
                 QStringLiteral("e.nu_ano_compet = :ANO and m.st_elenco_minimo in ('S', 'N')"),
                 {{QStringLiteral("S"), QStringLiteral("Elenco Minimo")}, {QStringLiteral("N"), QStringLiteral("Outros Medicamentos")}});
}

}  // namespace dados
