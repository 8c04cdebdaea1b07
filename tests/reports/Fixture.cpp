#include "Fixture.h"

#include "db/Connection.h"
#include "db/Statement.h"

namespace fixture {

void exec(db::Connection& c, const QString& sql, const QVariantMap& params)
{
    db::Statement s(c, QStringList{sql});
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        s.setParam(it.key(), it.value());
    s.exec();
}

void parametros(db::Connection& c, int cidade, const QString& ano, const QString& uf)
{
    exec(c, QStringLiteral("delete from TB_PARAMETRO_KORVA"));
    exec(c,
         QStringLiteral("insert into TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA, DS_CABECALHO1, DS_CABECALHO2, DS_CABECALHO3, "
                        "NU_ANO_COMPET, CO_UF, CO_CIDADE) values ('KORVA', 'Sistema de Acompanhamento', 'Prefeitura Municipal', "
                        "'Secretaria Municipal de Saúde', 'Assistência Farmacêutica Básica', :A, :U, :C)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade}});
}

void cabecalho(db::Connection& c, int cidade, int mes, const Valores& v, const QString& uf)
{
    exec(c,
         QStringLiteral("insert into TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, VL_SALDO_ANTERIOR, "
                        "VL_ALOC_FEDERAL, VL_ALOC_ESTADUAL, VL_ALOC_MUNICIPAL, VL_ALOC_MED, VL_REC_GASTOS, SITUACAO) "
                        "values (:A, :U, :C, :M, :S, :F, :E, :MU, :MED, :G, '2')"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("S"), v.saldo}, {QStringLiteral("F"), v.federal},
          {QStringLiteral("E"), v.estadual}, {QStringLiteral("MU"), v.municipal}, {QStringLiteral("MED"), v.medicamentos},
          {QStringLiteral("G"), v.gastos}});
}

void incentivo(db::Connection& c, int cidade, double federal, double estadual, double municipal, const QString& uf)
{
    exec(c,
         QStringLiteral("insert into TB_TOTAL_INCENTIVO_ANUAL (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_FEDERAL, VL_ESTADUAL, "
                        "VL_MUNICIPAL) values (:A, :U, :C, :F, :E, :M)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade}, {QStringLiteral("F"), federal},
          {QStringLiteral("E"), estadual}, {QStringLiteral("M"), municipal}});
}

void compra(db::Connection& c, int cidade, int mes, int medicamento, int quantidade, double unitario, const QString& uf)
{
    exec(c,
         QStringLiteral("insert into TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, VL_UNITARIO, VL_TOTAL, ST_ORIGEM) values (:A, :U, :C, :M, :MED, :Q, "
                        ":VU, :VT, 'M')"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("MED"), medicamento}, {QStringLiteral("Q"), quantidade},
          {QStringLiteral("VU"), unitario}, {QStringLiteral("VT"), unitario * quantidade}});
}

void documento(db::Connection& c, int cidade, int mes, const QString& tipoDoc, const QString& tipoFavorecido,
               const QString& numero, const QDate& data, double valor, const QString& favorecido)
{
    exec(c,
         QStringLiteral("insert into TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                        "ST_TIPO_DOC, NU_FAVORECIDO, NR_NUMERO_DOC, ST_TIPO_FAVORECIDO, DT_DOC, VL_DOC) values (:A, :U, :C, :M, "
                        ":T, :FAV, :N, :TF, :D, :V)"),
         {{QStringLiteral("A"), ano}, {QStringLiteral("U"), uf}, {QStringLiteral("C"), cidade},
          {QStringLiteral("M"), QString::number(mes)}, {QStringLiteral("T"), tipoDoc}, {QStringLiteral("FAV"), favorecido},
          {QStringLiteral("N"), numero}, {QStringLiteral("TF"), tipoFavorecido}, {QStringLiteral("D"), data},
          {QStringLiteral("V"), valor}});
}

}  // namespace fixture
