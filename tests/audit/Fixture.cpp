#include "Fixture.h"

#include "db/Connection.h"
#include "db/Statement.h"

#include <QDate>
#include <QVariant>

namespace fixture {

namespace {

const QString cnpjA = QStringLiteral("11222333000181");
const QString cnpjSes = QStringLiteral("19100000000191");
const QString cnpjErrado = QStringLiteral("11222333000182");

class Escrita {
public:
    explicit Escrita(db::Connection& c) : c_(c) {}

    QList<QVariantList> sql(const QString& texto, const QVariantList& valores = {})
    {
        db::Statement s(c_, {texto});
        for (int i = 0; i < valores.size(); ++i)
            s.setParam(QStringLiteral("P%1").arg(i + 1), valores.at(i));
        if (texto.trimmed().startsWith(QLatin1String("select"), Qt::CaseInsensitive))
            return s.selectAll();
        s.exec();
        return {};
    }

    void saldoInicial(int cidade, double valor, int mes)
    {
        sql(QStringLiteral("insert into tb_saldo_inicial_municipio (nu_ano_compet, co_uf, co_cidade, vl_saldo_municipio, "
                           "nu_mes_compet) values (:P1, :P2, :P3, :P4, :P5)"),
            {ano, uf, cidade, valor, QString::number(mes)});
    }

    // A header: federal 100, medications received 30, spent as given.
    void mes(int cidade, int mes, double saldoAnterior, const QString& situacao, bool comEnvio = true, double federal = 100,
             double gastos = 100)
    {
        sql(QStringLiteral("insert into tb_movimento_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, vl_saldo_anterior, "
                           "vl_aloc_federal, vl_aloc_estadual, vl_aloc_municipal, vl_rec_gastos, situacao, vl_aloc_med, "
                           "dt_fechamento, dt_envio, vl_rendimentos_aplicados) "
                           "values (:P1, :P2, :P3, :P4, :P5, :P6, 0, 0, :P7, :P8, 30, :P9, :P10, 0)"),
            {ano, uf, cidade, QString::number(mes), saldoAnterior, federal, gastos, situacao,
             situacao == QLatin1String("1") ? QVariant() : QVariant(QDate(2005, mes, 28)),
             situacao == QLatin1String("3") && comEnvio ? QVariant(QDate(2005, mes, 30)) : QVariant()});
    }

    void medicamento(int cidade, int mes, int codigo, qint64 quantidade, double unitario, double total)
    {
        sql(QStringLiteral("insert into tb_execucao_fisica_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, co_seq_med, "
                           "co_seq_medicamento, qt_medicamento, vl_unitario, vl_total, st_origem) "
                           "values (:P1, :P2, :P3, :P4, 0, :P5, :P6, :P7, :P8, 'M')"),
            {ano, uf, cidade, QString::number(mes), codigo, quantidade, unitario, total});
    }

    void documento(int cidade, int mes, const QString& tipo, const QString& favorecido, const QString& numero, double valor)
    {
        sql(QStringLiteral("insert into tb_fonte_comprovacao_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, co_seq_doc, "
                           "st_tipo_doc, nu_favorecido, nr_numero_doc, st_tipo_favorecido, dt_doc, vl_doc) "
                           "values (:P1, :P2, :P3, :P4, 0, :P5, :P6, :P7, :P8, :P9, :P10)"),
            {ano, uf, cidade, QString::number(mes), tipo, favorecido, numero,
             tipo == QLatin1String("G") ? QStringLiteral("5") : QStringLiteral("1"), QDate(2005, mes, 10), valor});
    }

    // The documents of a month that adds up: an invoice of 70 and a delivery note of 30.
    void documentosDoMes(int cidade, int mes, const QString& favorecidoNota = cnpjA)
    {
        documento(cidade, mes, QStringLiteral("N"), favorecidoNota, QStringLiteral("NF-%1-%2").arg(cidade).arg(mes), 70);
        documento(cidade, mes, QStringLiteral("G"), cnpjSes, QStringLiteral("GR-%1-%2").arg(cidade).arg(mes), 30);
    }

private:
    db::Connection& c_;
};

}  // namespace

Medicamentos escreve(db::Connection& c)
{
    Escrita e(c);
    Medicamentos m;
    m.pactuado = e.sql(QStringLiteral("select min(co_medicamento) from rl_elencominimo_uf where co_uf = 'MG'")).first().first().toInt();
    m.naoPactuado = e.sql(QStringLiteral("select max(co_medicamento) from rl_elencominimo_uf where co_uf = 'MG'")).first().first().toInt();
    e.sql(QStringLiteral("delete from rl_elencominimo_uf where co_uf = 'MG' and co_medicamento = :P1"), {m.naoPactuado});
    m.nomeNaoPactuado =
        e.sql(QStringLiteral("select ds_medicamento from tb_elenco_minimo where co_seq_medicamento = :P1"), {m.naoPactuado})
            .first().first().toString();

    e.sql(QStringLiteral("delete from tb_parametro_korva"));
    e.sql(QStringLiteral("insert into tb_parametro_korva (sg_sistema, no_sistema, ds_cabecalho1, nu_ano_compet, co_uf, co_cidade) "
                         "values ('KORVA', 'Sistema KORVA', 'Secretaria de Estado da Saúde', :P1, :P2, 0)"),
          {ano, uf});

    // The clean municipality: the balance carries 1.000 + 100 + 30 - 100 a month.
    e.saldoInicial(limpa, 1000, 1);
    for (int mes = 1; mes <= 3; ++mes) {
        e.mes(limpa, mes, 1000 + 30 * (mes - 1), mes == 3 ? QStringLiteral("3") : QStringLiteral("2"));
        e.medicamento(limpa, mes, m.pactuado, 2, 50, 100);
        e.documentosDoMes(limpa, mes);
    }

    e.saldoInicial(lavras, 1000, 1);
    e.mes(lavras, 1, 1000, QStringLiteral("2"));
    e.medicamento(lavras, 1, m.pactuado, 2, 45, 90);
    e.documentosDoMes(lavras, 1);
    e.documento(lavras, 1, QStringLiteral("E"), cnpjA, QStringLiteral("EMP-77"), 10);

    e.mes(lavras, 2, 1025, QStringLiteral("2"));
    e.medicamento(lavras, 2, m.pactuado, 1, 50, 50);
    e.medicamento(lavras, 2, m.naoPactuado, 1, 50, 50);
    e.documentosDoMes(lavras, 2);

    e.mes(lavras, 4, 2000, QStringLiteral("3"), false);
    e.medicamento(lavras, 4, m.pactuado, 3, 10, 30.05);
    e.medicamento(lavras, 4, m.pactuado, 1, 69.95, 69.95);
    e.documentosDoMes(lavras, 4, cnpjErrado);

    e.mes(lavras, 5, 2030, QStringLiteral("1"));

    e.saldoInicial(abaete, 0, 1);
    e.mes(abaete, 1, 0, QStringLiteral("2"), true, 50);
    e.medicamento(abaete, 1, m.pactuado, 2, 50, 100);
    e.documentosDoMes(abaete, 1);
    e.documento(abaete, 1, QStringLiteral("E"), cnpjA, QStringLiteral("EMP-77"), 10);
    return m;
}

}  // namespace fixture
