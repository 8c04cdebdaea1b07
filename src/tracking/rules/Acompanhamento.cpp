#include "tracking/rules/Acompanhamento.h"

#include "data/Codigos.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"

namespace tracking {

namespace {

const QString condicaoChave = QStringLiteral("where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and co_cidade = :co_cidade");

void bindChave(db::Statement& s, const Chave& c)
{
    s.setParam(QStringLiteral("nu_ano_compet"), c.ano);
    s.setParam(QStringLiteral("co_uf"), c.uf);
    s.setParam(QStringLiteral("co_cidade"), c.cidade);
}

void bindMes(db::Statement& s, int mes)
{
    s.setParam(QStringLiteral("nu_mes_compet"), QString::number(mes));
}

double numero(const QVariant& v)
{
    return v.isNull() ? 0.0 : v.toDouble();
}

}  // namespace

Acompanhamento::Acompanhamento(db::Connection& connection, const Chave& chave) : connection_(connection), chave_(chave)
{
}

EstadoAno Acompanhamento::leEstadoAno() const
{
    EstadoAno ano;
    db::Statement saldo(connection_, {QStringLiteral("select vl_saldo_municipio, nu_mes_compet from tb_saldo_inicial_municipio"),
                                      condicaoChave});
    bindChave(saldo, chave_);
    const QList<QVariantList> s = saldo.selectAll();
    if (!s.isEmpty())
        ano.saldoInicial = SaldoInicial{numero(s.first().at(0)), s.first().at(1).toString().trimmed().toInt()};

    ano.cabecalhos = leCabecalhos(0);
    return ano;
}

QList<Cabecalho> Acompanhamento::leCabecalhos(int mes) const
{
    QStringList sql = {QStringLiteral("select cast(nu_mes_compet as integer), vl_saldo_anterior, vl_aloc_federal, vl_aloc_estadual,"),
                       QStringLiteral("  vl_aloc_municipal, vl_rendimentos_aplicados, vl_aloc_med, vl_rec_gastos,"),
                       QStringLiteral("  vl_tot_outros_pactuada, situacao"),
                       QStringLiteral("from tb_movimento_municipio"), condicaoChave};
    if (mes != 0)
        sql << QStringLiteral("and nu_mes_compet = :nu_mes_compet");
    sql << QStringLiteral("order by 1");
    db::Statement cab(connection_, sql);
    bindChave(cab, chave_);
    if (mes != 0)
        bindMes(cab, mes);
    QList<Cabecalho> cabecalhos;
    for (const QVariantList& r : cab.selectAll()) {
        Cabecalho c;
        c.mes = r.at(0).toInt();
        c.valores = Valores{numero(r.at(1)), numero(r.at(2)), numero(r.at(3)), numero(r.at(4)),
                            numero(r.at(5)), numero(r.at(6)), numero(r.at(7))};
        c.totOutrosPactuada = numero(r.at(8));
        c.situacao = r.at(9).toString().trimmed();
        cabecalhos << c;
    }
    return cabecalhos;
}

std::optional<Cabecalho> Acompanhamento::cabecalho(int mes) const
{
    const QList<Cabecalho> c = leCabecalhos(mes);
    return c.isEmpty() ? std::nullopt : std::optional<Cabecalho>(c.first());
}

std::optional<Cabecalho> Acompanhamento::cabecalhoAberto() const
{
    for (const Cabecalho& c : leEstadoAno().cabecalhos)
        if (c.situacao == codigos::situacao::aberto)
            return c;
    return std::nullopt;
}

std::optional<QString> Acompanhamento::situacao(int mes) const
{
    db::Statement s(connection_, {QStringLiteral("select situacao from tb_movimento_municipio"), condicaoChave,
                                  QStringLiteral("and nu_mes_compet = :nu_mes_compet")});
    bindChave(s, chave_);
    bindMes(s, mes);
    const QList<QVariantList> rows = s.selectAll();
    if (rows.isEmpty())
        return std::nullopt;
    return rows.first().at(0).toString().trimmed();
}

Incentivo Acompanhamento::incentivoAnual() const
{
    QStringList sql = {QStringLiteral("select sum(vl_federal) vl_federal,"), QStringLiteral("sum(vl_estadual) vl_estadual,"),
                       QStringLiteral("sum(vl_municipal) vl_municipal from TB_TOTAL_INCENTIVO_ANUAL"),
                       QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET"), QStringLiteral("and CO_UF = :co_uf")};
    if (chave_.cidade != 0)
        sql << QStringLiteral("and CO_CIDADE = :CO_SEQ_CIDADE") << QStringLiteral("group by nu_ano_compet, co_uf, co_cidade");
    else
        sql << QStringLiteral("group by nu_ano_compet, co_uf");
    db::Statement s(connection_, sql);
    s.setParam(QStringLiteral("NU_ANO_COMPET"), chave_.ano);
    s.setParam(QStringLiteral("co_uf"), chave_.uf);
    if (chave_.cidade != 0)
        s.setParam(QStringLiteral("CO_SEQ_CIDADE"), chave_.cidade);
    const QList<QVariantList> rows = s.selectAll();
    if (rows.isEmpty())
        return {};
    return {numero(rows.first().at(0)), numero(rows.first().at(1)), numero(rows.first().at(2))};
}

Acompanhamento::Gravacao Acompanhamento::gravaMovimentacao(int mes, const Valores& v, bool semSaldoInicial)
{
    const auto valores = [&](db::Statement& s) {
        bindChave(s, chave_);
        bindMes(s, mes);
        s.setParam(QStringLiteral("vl_saldo_anterior"), v.saldoAnterior);
        s.setParam(QStringLiteral("vl_aloc_federal"), v.federal);
        s.setParam(QStringLiteral("vl_aloc_estadual"), v.estadual);
        s.setParam(QStringLiteral("vl_aloc_municipal"), v.municipal);
        s.setParam(QStringLiteral("vl_rec_gastos"), v.gastos);
        s.setParam(QStringLiteral("vl_aloc_med"), v.medicamentos);
        s.setParam(QStringLiteral("vl_rendimentos_aplicados"), v.rendimentos);
        s.setParam(QStringLiteral("situacao"), codigos::situacao::aberto);
    };

    outroUsuario_.clear();
    const auto falhou = [this](Gravacao g, const std::exception& e) {
        if (const auto* conflito = dynamic_cast<const db::LockConflictError*>(&e))
            outroUsuario_ = conflito->message();
        return g;
    };
    Gravacao falha = Gravacao::FalhaSaldoInicial;
    bool incluido = false;
    try {
        db::WriteUnit unidade(connection_);
        if (semSaldoInicial) {
            try {
                db::WriteUnit inclusao(connection_);
                db::Statement s(connection_,
                                {QStringLiteral("insert into tb_saldo_inicial_municipio "),
                                 QStringLiteral("(nu_ano_compet, co_uf, co_cidade, vl_saldo_municipio, nu_mes_compet)"),
                                 QStringLiteral("values"),
                                 QStringLiteral("(:nu_ano_compet, :co_uf, :co_cidade, :vl_saldo_municipio, :nu_mes_compet)")});
                bindChave(s, chave_);
                bindMes(s, mes);
                s.setParam(QStringLiteral("vl_saldo_municipio"), v.saldoAnterior);
                s.exec();
                inclusao.commit();
            } catch (const db::DatabaseError& e) {
                // Saved before in this month: the balance follows below.
                if (!e.isKeyViolation())
                    return falhou(Gravacao::FalhaSaldoInicial, e);
            }
        }

        falha = Gravacao::FalhaInclusao;
        try {
            db::WriteUnit inclusao(connection_);
            db::Statement s(connection_,
                            {QStringLiteral("insert into tb_movimento_municipio "),
                             QStringLiteral("(nu_ano_compet, co_uf, co_cidade, nu_mes_compet,"),
                             QStringLiteral("vl_saldo_anterior, vl_aloc_federal, vl_aloc_estadual, vl_aloc_municipal,"),
                             QStringLiteral("vl_rec_gastos, vl_aloc_med, situacao, vl_Rendimentos_Aplicados)"),
                             QStringLiteral("values"),
                             QStringLiteral("(:nu_ano_compet, :co_uf, :co_cidade, :nu_mes_compet,"),
                             QStringLiteral(":vl_saldo_anterior, :vl_aloc_federal, :vl_aloc_estadual, :vl_aloc_municipal,"),
                             QStringLiteral(":vl_rec_gastos, :vl_aloc_med, :situacao, :vl_Rendimentos_Aplicados)")});
            valores(s);
            s.exec();
            inclusao.commit();
            incluido = true;
        } catch (const db::DatabaseError& e) {
            if (!e.isKeyViolation())
                return falhou(Gravacao::FalhaInclusao, e);
        }

        if (!incluido) {
            falha = Gravacao::FalhaAlteracao;
            // A closed or exported month is never opened again from here.
            db::Statement s(
                connection_,
                {QStringLiteral("update tb_movimento_municipio set "),
                 QStringLiteral("vl_saldo_anterior=:vl_saldo_anterior, vl_aloc_federal=:vl_aloc_federal, "
                                "vl_aloc_estadual=:vl_aloc_estadual, vl_aloc_municipal=:vl_aloc_municipal,"),
                 QStringLiteral("vl_rec_gastos=:vl_rec_gastos, vl_aloc_med=:vl_aloc_med, situacao=:situacao, "
                                "vl_Rendimentos_Aplicados=:vl_Rendimentos_Aplicados"),
                 QStringLiteral("where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and co_cidade = :co_cidade "
                                "and nu_mes_compet = :nu_mes_compet"),
                 QStringLiteral("and coalesce(situacao, '1') not in ('2', '3')")});
            valores(s);
            if (s.exec() == 0)
                return Gravacao::FalhaAlteracao;
        }

        // The first month's balance brought forward is the year's initial balance while
        // that month is open.
        falha = Gravacao::FalhaSaldoInicial;
        db::Statement saldo(connection_, {QStringLiteral("update tb_saldo_inicial_municipio set vl_saldo_municipio = :vl_saldo_municipio"),
                                          condicaoChave, QStringLiteral("and nu_mes_compet = :nu_mes_compet")});
        bindChave(saldo, chave_);
        bindMes(saldo, mes);
        saldo.setParam(QStringLiteral("vl_saldo_municipio"), v.saldoAnterior);
        saldo.exec();

        falha = incluido ? Gravacao::FalhaInclusao : Gravacao::FalhaAlteracao;
        unidade.commit();
    } catch (const std::exception& e) {
        return falhou(falha, e);
    }
    return Gravacao::Gravado;
}

void Acompanhamento::gravaTotalOutros(int mes, double valor)
{
    db::Statement s(connection_, {QStringLiteral("update tb_movimento_municipio set "),
                                  QStringLiteral("vl_tot_outros_pactuada=:vl_tot_outros_pactuada"),
                                  QStringLiteral("where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and co_cidade = :co_cidade "
                                                 "and nu_mes_compet = :nu_mes_compet")});
    bindChave(s, chave_);
    bindMes(s, mes);
    s.setParam(QStringLiteral("vl_tot_outros_pactuada"), valor);
    if (s.exec() == 0)
        throw db::DataError(QStringLiteral("O mês %1 não tem movimentação gravada.").arg(mes));
}

void Acompanhamento::fechaMes(int mes, const QDate& data)
{
    db::WriteUnit unidade(connection_);
    db::Statement s(connection_, {QStringLiteral("update tb_movimento_municipio set "),
                                  QStringLiteral("situacao = :situacao, dt_fechamento = :data"),
                                  QStringLiteral("where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf "),
                                  QStringLiteral("and co_cidade = :co_cidade and nu_mes_compet = :nu_mes_compet"),
                                  QStringLiteral("and situacao = :situacao1")});
    bindChave(s, chave_);
    bindMes(s, mes);
    s.setParam(QStringLiteral("situacao"), codigos::situacao::fechado);
    s.setParam(QStringLiteral("data"), data);
    s.setParam(QStringLiteral("situacao1"), codigos::situacao::aberto);
    if (s.exec() == 0)
        throw db::DataError(QStringLiteral("O mês %1 não está aberto.").arg(mes));
    unidade.commit();
}

bool Acompanhamento::documentoLancado(const QString& numero, const QString& favorecido) const
{
    db::Statement s(connection_, {QStringLiteral("Select count(*) qtde from TB_FONTE_COMPROVACAO_MUNICIPIO where "),
                                  QStringLiteral("nr_numero_doc = :nr_numero_doc"),
                                  QStringLiteral("and nu_favorecido = :nu_favorecido")});
    s.setParam(QStringLiteral("nr_numero_doc"), numero);
    s.setParam(QStringLiteral("nu_favorecido"), favorecido);
    return s.scalar().toInt() >= 1;
}

bool Acompanhamento::favorecidoComOutroTipo(const QString& favorecido, const QString& tipo,
                                            const std::optional<LinhaDocumento>& excluida) const
{
    QStringList sql = {QStringLiteral("Select st_tipo_doc from TB_FONTE_COMPROVACAO_MUNICIPIO where "),
                       QStringLiteral("nu_favorecido = :nu_favorecido"),
                       QStringLiteral("and st_tipo_favorecido <> :st_tipo_favorecido"),
                       QStringLiteral("and st_tipo_favorecido <> ''")};
    if (excluida)
        sql << QStringLiteral("and not (nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and co_cidade = :co_cidade")
            << QStringLiteral("and nu_mes_compet = :nu_mes_compet and co_seq_doc = :co_seq_doc)");
    db::Statement s(connection_, sql);
    s.setParam(QStringLiteral("nu_favorecido"), favorecido);
    s.setParam(QStringLiteral("st_tipo_favorecido"), tipo);
    if (excluida) {
        bindChave(s, chave_);
        bindMes(s, excluida->mes);
        s.setParam(QStringLiteral("co_seq_doc"), excluida->sequencia);
    }
    return !s.selectAll().isEmpty();
}

QString legenda(const QString& titulo, const Chave& chave, const QString& mes, const QString& municipio,
                const QString& pactuacao)
{
    const QString ano = QStringLiteral("Ano : ") + chave.ano + QStringLiteral("   Estado : ") + chave.uf;
    const QString doMes = mes.isEmpty() ? QString() : QStringLiteral("   Mes : ") + mes;
    if (chave.cidade == 0)
        return titulo + QStringLiteral(" Estadual        ") + ano + doMes;
    return titulo + QStringLiteral(" Municipal       ") + ano + doMes + QStringLiteral("   Município : ") + municipio.left(30) +
           QStringLiteral("   Pactuação : ") + pactuacao;
}

QStringList sqlCidadePactuada()
{
    return {QStringLiteral("SELECT TB_CIDADE_PACTUACAO.CO_UF,"), QStringLiteral("TB_CIDADE.CO_SEQ_CIDADE,"),
            QStringLiteral("TB_CIDADE.NO_CIDADE,"), QStringLiteral("tb_cidade_pactuacao.co_forma_pactuacao"),
            QStringLiteral("FROM TB_CIDADE"),
            QStringLiteral("RIGHT OUTER JOIN TB_CIDADE_PACTUACAO ON (TB_CIDADE.CO_SEQ_CIDADE = TB_CIDADE_PACTUACAO.CO_CIDADE)"),
            QStringLiteral("WHERE "), QStringLiteral("TB_CIDADE.CO_UF = :CO_UF and"),
            QStringLiteral("TB_CIDADE.CO_SEQ_CIDADE = :CO_CIDADE"), QStringLiteral("order by no_cidade")};
}

QStringList sqlElencoDaUf()
{
    return {QStringLiteral("select RL.*, EL.DS_MEDICAMENTO"), QStringLiteral("from RL_ELENCOMINIMO_UF RL,TB_ELENCO_MINIMO EL"),
            QStringLiteral("WHERE RL.CO_UF = :CO_UF AND"), QStringLiteral("RL.CO_MEDICAMENTO = EL.CO_SEQ_MEDICAMENTO"),
            QStringLiteral("order by EL.DS_MEDICAMENTO")};
}

}  // namespace tracking
