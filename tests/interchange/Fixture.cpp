#include "Fixture.h"

#include "db/Connection.h"
#include "db/Statement.h"

#include <QDateTime>
#include <QStringList>

namespace fixture {

namespace {
void exec(db::Connection& c, const QString& sql, const QVariantMap& params)
{
    db::Statement s(c, QStringList{sql});
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        s.setParam(it.key(), it.value());
    s.exec();
}
}  // namespace

void parametros(db::Connection& c, const QString& ano, const QString& uf, int cidade)
{
    exec(c, QStringLiteral("delete from TB_PARAMETRO_KORVA"), {});
    exec(c, QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) values ('KORVA', :A, :U, :C)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade}});
}

void cabecalho(db::Connection& c, int cidade, int mes, const QString& situacao, double saldo, const QVariant& fechamento,
               const QVariant& envio, const QString& ano)
{
    exec(c,
         QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, VL_SALDO_ANTERIOR, "
                        "VL_ALOC_FEDERAL, VL_ALOC_ESTADUAL, VL_ALOC_MUNICIPAL, VL_REC_GASTOS, SITUACAO, VL_TOT_OUTROS_PACTUADA, "
                        "VL_ALOC_MED, DT_FECHAMENTO, DT_ENVIO, VL_RENDIMENTOS_APLICADOS) values (:A, :U, :C, :M, :S, 50, 10.5, "
                        "10, 150.25, :SIT, 0, 20, :F, :E, 5)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("S"), saldo}, {QStringLiteral("SIT"), situacao},
          {QStringLiteral("F"), situacao == QLatin1String("1") ? QVariant() : fechamento}, {QStringLiteral("E"), envio}});
}

void medicamento(db::Connection& c, int cidade, int mes, int medicamento, int quantidade, double unitario, const QString& ano)
{
    exec(c,
         QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) values (:A, :U, :C, :M, :MED, :Q, "
                        ":VU, :VT, 'M')"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("MED"), medicamento}, {QStringLiteral("Q"), quantidade},
          {QStringLiteral("VU"), unitario}, {QStringLiteral("VT"), unitario * quantidade}});
}

void documento(db::Connection& c, int cidade, int mes, const QString& numero, double valor, const QString& ano)
{
    exec(c,
         QStringLiteral("insert into TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "ST_TIPO_DOC, NU_FAVORECIDO, NR_NUMERO_DOC, ST_TIPO_FAVORECIDO, DT_DOC, VL_DOC) values (:A, :U, :C, :M, "
                        "'N', '11222333000181', :N, '1', :D, :V)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("N"), numero},
          {QStringLiteral("D"), QDate(ano.toInt(), mes, 10)}, {QStringLiteral("V"), valor}});
}

void saldoInicial(db::Connection& c, int cidade, double valor, int mes, const QString& ano)
{
    exec(c,
         QStringLiteral("insert into TB_SALDO_INICIAL_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_SALDO_MUNICIPIO, NU_MES_COMPET) "
                        "values (:A, :U, :C, :V, :M)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade}, {QStringLiteral("V"), valor},
          {QStringLiteral("M"), QString::number(mes)}});
}

QStringList linhas(db::Connection& c, const QString& tabela, const QString& ordem)
{
    db::Statement s(c, {QStringLiteral("select * from %1 order by %2").arg(tabela, ordem)});
    QStringList out;
    for (const QVariantList& row : s.selectAll()) {
        QStringList cells;
        for (const QVariant& v : row) {
            if (v.isNull())
                cells << QStringLiteral("<null>");
            else if (v.typeId() == QMetaType::QDateTime)
                cells << v.toDateTime().toString(Qt::ISODate);
            else if (v.typeId() == QMetaType::Double)
                cells << QString::number(v.toDouble(), 'g', 17);
            else
                cells << v.toString();
        }
        out << cells.join(QLatin1Char('|'));
    }
    return out;
}

QStringList tudo(db::Connection& c)
{
    const QString chave = QStringLiteral("NU_ANO_COMPET, CO_UF, CO_CIDADE");
    const QString mes = chave + QStringLiteral(", cast(NU_MES_COMPET as integer)");
    return linhas(c, QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), mes) +
           linhas(c, QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), mes + QStringLiteral(", CO_SEQ_MED")) +
           linhas(c, QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO"), mes + QStringLiteral(", CO_SEQ_DOC")) +
           linhas(c, QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO"), chave);
}

}  // namespace fixture
