#include "tracking/rules/Acompanhamento.h"

#include "data/Codigos.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "text/Formats.h"

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

const QString problemaGravacao = QStringLiteral("Problema na Gravação !! ... operação cancelada");
const QString problemaReGravacao = QStringLiteral("Problema na ReGravação - Movimentação!! ... operação cancelada");
const QString problemaExclusao = QStringLiteral("Problema na Exclusão !! ... operação cancelada");
const QString problemaFechamento = QStringLiteral("Problema na ReGravação - Fechamento !! ... operação cancelada");

// Why a month could not be written: it is closed or exported, or it has no header.
QString mesFechado(int mes)
{
    return QStringLiteral("O mês de %1 já está fechado ou exportado.").arg(text::monthName(mes));
}
QString semMovimentacao(int mes)
{
    return QStringLiteral("O mês de %1 não tem movimentação gravada.").arg(text::monthName(mes));
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

TotaisExecucao Acompanhamento::totaisExecucao(int mes) const
{
    db::Statement s(connection_, {QStringLiteral("select l.vl_total, e.st_elenco_minimo from tb_execucao_fisica_municipio l"),
                                  QStringLiteral("left join tb_elenco_minimo e on e.co_seq_medicamento = l.co_seq_medicamento"),
                                  QStringLiteral("where l.nu_ano_compet = :nu_ano_compet and l.co_uf = :co_uf"),
                                  QStringLiteral("and l.co_cidade = :co_cidade and l.nu_mes_compet = :nu_mes_compet")});
    bindChave(s, chave_);
    bindMes(s, mes);
    TotaisExecucao t;
    for (const QVariantList& r : s.selectAll())
        t.soma(numero(r.at(0)), r.at(1).toString().trimmed());
    return t;
}

TotaisDocumentos Acompanhamento::totaisDocumentos(int mes) const
{
    db::Statement s(connection_, {QStringLiteral("select st_tipo_doc, vl_doc from tb_fonte_comprovacao_municipio"), condicaoChave,
                                  QStringLiteral("and nu_mes_compet = :nu_mes_compet")});
    bindChave(s, chave_);
    bindMes(s, mes);
    TotaisDocumentos t;
    for (const QVariantList& r : s.selectAll())
        t.soma(r.at(0).toString().trimmed(), numero(r.at(1)));
    return t;
}

Valores Acompanhamento::valoresGravados(const Valores& digitados) const
{
    Valores v = digitados;
    if (estadual())
        v.medicamentos = 0;
    return v;
}

rules::Falhou Acompanhamento::gravaMovimentacao(int mes, const Valores& digitados, bool semSaldoInicial)
{
    const Valores v = valoresGravados(digitados);
    if (rules::Falhou f = verificaGastos(v))
        return f;
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

    const QString falhaSaldo = QStringLiteral("Problema na Gravação - Identificação !! ... operação cancelada");
    const QString falhaInclusao = QStringLiteral("Problema na Gravação - Movimentação!! ... operação cancelada");
    const QString& falhaAlteracao = problemaReGravacao;
    QString falha = falhaSaldo;
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
                    throw;
            }
        }

        falha = falhaInclusao;
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
                throw;
        }

        if (!incluido) {
            falha = falhaAlteracao;
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
                return rules::Falha{rules::Falha::Tipo::NaoEncontrado, {}, falhaAlteracao, mesFechado(mes)};
        }

        // The first month's balance brought forward is the year's initial balance while
        // that month is open.
        falha = falhaSaldo;
        db::Statement saldo(connection_, {QStringLiteral("update tb_saldo_inicial_municipio set vl_saldo_municipio = :vl_saldo_municipio"),
                                          condicaoChave, QStringLiteral("and nu_mes_compet = :nu_mes_compet")});
        bindChave(saldo, chave_);
        bindMes(saldo, mes);
        saldo.setParam(QStringLiteral("vl_saldo_municipio"), v.saldoAnterior);
        saldo.exec();

        falha = incluido ? falhaInclusao : falhaAlteracao;
        unidade.commit();
    } catch (const std::exception& e) {
        return rules::falhaDe(e, falha);
    }
    return std::nullopt;
}

rules::Falhou Acompanhamento::travaMesAberto(int mes, const QString& mensagem)
{
    // An update that changes nothing still takes the row: a closing or a line written by
    // another seat waits for this unit, and this one for theirs.
    db::Statement s(connection_, {QStringLiteral("update tb_movimento_municipio set situacao = situacao"), condicaoChave,
                                  QStringLiteral("and nu_mes_compet = :nu_mes_compet and situacao = :situacao")});
    bindChave(s, chave_);
    bindMes(s, mes);
    s.setParam(QStringLiteral("situacao"), codigos::situacao::aberto);
    if (s.exec() != 0)
        return std::nullopt;
    return rules::Falha{rules::Falha::Tipo::NaoEncontrado, {}, mensagem, situacao(mes) ? mesFechado(mes) : semMovimentacao(mes)};
}

namespace {

void gravaTotalOutros(db::Connection& connection, const Chave& chave, int mes, double valor)
{
    db::Statement s(connection, {QStringLiteral("update tb_movimento_municipio set "),
                                 QStringLiteral("vl_tot_outros_pactuada=:vl_tot_outros_pactuada"),
                                 QStringLiteral("where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and co_cidade = :co_cidade "
                                                "and nu_mes_compet = :nu_mes_compet")});
    bindChave(s, chave);
    bindMes(s, mes);
    s.setParam(QStringLiteral("vl_tot_outros_pactuada"), valor);
    if (s.exec() == 0)
        throw db::RowNotFoundError(semMovimentacao(mes));
}

// A line changed or deleted by its number that is no longer there.
db::RowNotFoundError linhaAusente(bool exclusao)
{
    return db::RowNotFoundError(QStringLiteral("O registro não foi %1 porque não foi encontrado no banco de dados: "
                                               "outro usuário o excluiu.")
                                    .arg(exclusao ? QStringLiteral("excluído") : QStringLiteral("gravado")));
}

// A failed insert or update of a line: a duplicate key is "Registro Existente".
rules::Falha falhaDaLinha(const std::exception& e, const QString& mensagem)
{
    if (const auto* banco = dynamic_cast<const db::DatabaseError*>(&e);
        banco && banco->isKeyViolation() && !dynamic_cast<const db::LockConflictError*>(&e))
        return rules::Falha{rules::Falha::Tipo::Banco, {}, QStringLiteral("Registro Existente"), {}};
    return rules::falhaDe(e, mensagem);
}

}  // namespace

rules::Resultado<int> Acompanhamento::gravaLinhaMedicamento(int mes, const LinhaMedicamento& l)
{
    if (!l.medicamento)
        return rules::Falha::recusa(QStringLiteral("Informe o Medicamento"), QStringLiteral("CO_SEQ_MEDICAMENTO"));
    const std::optional<double> quantidade = l.quantidade ? std::optional<double>(double(*l.quantidade)) : std::nullopt;
    if (rules::Falhou f = verificaLinhaMedicamento(l.valorUnitario, quantidade))
        return *f;
    int sequencia = l.sequencia.value_or(0);
    QString mensagem = problemaReGravacao;
    try {
        db::WriteUnit unidade(connection_);
        if (rules::Falhou f = travaMesAberto(mes, problemaReGravacao))
            return *f;
        mensagem = problemaGravacao;
        const QStringList colunas = {QStringLiteral("co_seq_medicamento = :co_seq_medicamento, qt_medicamento = :qt_medicamento,"),
                                     QStringLiteral("vl_unitario = :vl_unitario, vl_total = :vl_total, st_origem = :st_origem")};
        db::Statement s(connection_);
        if (l.sequencia) {
            s.setSql(QStringList{QStringLiteral("update tb_execucao_fisica_municipio set")} + colunas +
                     QStringList{condicaoChave, QStringLiteral("and nu_mes_compet = :nu_mes_compet and co_seq_med = :co_seq_med")});
            s.setParam(QStringLiteral("co_seq_med"), *l.sequencia);
        } else {
            // The database numbers the line (0: the next number of the month).
            s.setSql({QStringLiteral("insert into tb_execucao_fisica_municipio"),
                      QStringLiteral("(nu_ano_compet, co_uf, co_cidade, nu_mes_compet, co_seq_med, co_seq_medicamento,"),
                      QStringLiteral(" qt_medicamento, vl_unitario, vl_total, st_origem)"),
                      QStringLiteral("values (:nu_ano_compet, :co_uf, :co_cidade, :nu_mes_compet, 0, :co_seq_medicamento,"),
                      QStringLiteral(" :qt_medicamento, :vl_unitario, :vl_total, :st_origem)"), QStringLiteral("returning co_seq_med")});
        }
        bindChave(s, chave_);
        bindMes(s, mes);
        s.setParam(QStringLiteral("co_seq_medicamento"), *l.medicamento);
        s.setParam(QStringLiteral("qt_medicamento"), QVariant::fromValue(*l.quantidade));
        s.setParam(QStringLiteral("vl_unitario"), *l.valorUnitario);
        s.setParam(QStringLiteral("vl_total"), l.valorTotal ? QVariant(*l.valorTotal) : QVariant());
        s.setParam(QStringLiteral("st_origem"), l.origem);
        const int linhas = s.exec();
        if (l.sequencia && linhas == 0)
            throw linhaAusente(false);
        if (!l.sequencia)
            sequencia = s.returned().value(QStringLiteral("CO_SEQ_MED")).toInt();

        mensagem = problemaReGravacao;
        gravaTotalOutros(connection_, chave_, mes, totaisExecucao(mes).outros);
        unidade.commit();
    } catch (const std::exception& e) {
        return falhaDaLinha(e, mensagem);
    }
    return sequencia;
}

rules::Falhou Acompanhamento::excluiLinhaMedicamento(int mes, int sequencia)
{
    QString mensagem = problemaExclusao;
    try {
        db::WriteUnit unidade(connection_);
        if (rules::Falhou f = travaMesAberto(mes, problemaExclusao))
            return f;
        db::Statement s(connection_, {QStringLiteral("delete from tb_execucao_fisica_municipio"), condicaoChave,
                                      QStringLiteral("and nu_mes_compet = :nu_mes_compet and co_seq_med = :co_seq_med")});
        bindChave(s, chave_);
        bindMes(s, mes);
        s.setParam(QStringLiteral("co_seq_med"), sequencia);
        if (s.exec() == 0)
            throw linhaAusente(true);
        mensagem = problemaReGravacao;
        gravaTotalOutros(connection_, chave_, mes, totaisExecucao(mes).outros);
        unidade.commit();
    } catch (const std::exception& e) {
        return rules::falhaDe(e, mensagem);
    }
    return std::nullopt;
}

rules::Resultado<int> Acompanhamento::gravaDocumento(int mes, const LinhaDocumentoDigitada& l)
{
    const Documento& d = l.documento;
    if (rules::Falhou f = verificaDocumento(d))
        return *f;
    const bool insercao = !l.sequencia;
    const bool checaNumero = insercao || verificaNumeroAoEditar(l.numeroAntes, l.favorecidoAntes, d.numero, d.favorecido);
    const bool checaTipo = insercao || verificaTipoAoEditar(l.tipoFavorecidoAntes, d.tipoFavorecido);
    int sequencia = l.sequencia.value_or(0);
    try {
        db::WriteUnit unidade(connection_);
        if (rules::Falhou f = travaMesAberto(mes, problemaGravacao))
            return *f;
        // Read in the unit that writes, so that what was checked is what is stored.
        if (checaNumero && documentoLancado(d.numero, d.favorecido))
            return rules::Falha::recusa(QStringLiteral("Documento já lançado para este favorecido"), QStringLiteral("NR_NUMERO_DOC"));
        std::optional<LinhaDocumento> propria;
        if (l.sequencia)
            propria = LinhaDocumento{mes, *l.sequencia};
        if (checaTipo && favorecidoComOutroTipo(d.favorecido, tipoComparado(d.tipoFavorecido), propria))
            return rules::Falha::recusa(QStringLiteral("Favorecido já lançado com outro tipo"), QStringLiteral("NU_FAVORECIDO"));

        const QStringList colunas = {QStringLiteral("st_tipo_doc = :st_tipo_doc, nu_favorecido = :nu_favorecido,"),
                                     QStringLiteral("nr_numero_doc = :nr_numero_doc, st_tipo_favorecido = :st_tipo_favorecido,"),
                                     QStringLiteral("dt_doc = :dt_doc, vl_doc = :vl_doc")};
        db::Statement s(connection_);
        if (l.sequencia) {
            s.setSql(QStringList{QStringLiteral("update tb_fonte_comprovacao_municipio set")} + colunas +
                     QStringList{condicaoChave, QStringLiteral("and nu_mes_compet = :nu_mes_compet and co_seq_doc = :co_seq_doc")});
            s.setParam(QStringLiteral("co_seq_doc"), *l.sequencia);
        } else {
            s.setSql({QStringLiteral("insert into tb_fonte_comprovacao_municipio"),
                      QStringLiteral("(nu_ano_compet, co_uf, co_cidade, nu_mes_compet, co_seq_doc, st_tipo_doc, nu_favorecido,"),
                      QStringLiteral(" nr_numero_doc, st_tipo_favorecido, dt_doc, vl_doc)"),
                      QStringLiteral("values (:nu_ano_compet, :co_uf, :co_cidade, :nu_mes_compet, 0, :st_tipo_doc, :nu_favorecido,"),
                      QStringLiteral(" :nr_numero_doc, :st_tipo_favorecido, :dt_doc, :vl_doc)"), QStringLiteral("returning co_seq_doc")});
        }
        bindChave(s, chave_);
        bindMes(s, mes);
        s.setParam(QStringLiteral("st_tipo_doc"), d.tipoDocumento);
        s.setParam(QStringLiteral("nu_favorecido"), d.favorecido);
        s.setParam(QStringLiteral("nr_numero_doc"), d.numero);
        s.setParam(QStringLiteral("st_tipo_favorecido"), d.tipoFavorecido);
        s.setParam(QStringLiteral("dt_doc"), d.data ? QVariant(*d.data) : QVariant(QMetaType(QMetaType::QDate)));
        s.setParam(QStringLiteral("vl_doc"), *d.valor);
        const int linhas = s.exec();
        if (l.sequencia && linhas == 0)
            throw linhaAusente(false);
        if (!l.sequencia)
            sequencia = s.returned().value(QStringLiteral("CO_SEQ_DOC")).toInt();
        unidade.commit();
    } catch (const std::exception& e) {
        return falhaDaLinha(e, problemaGravacao);
    }
    return sequencia;
}

rules::Falhou Acompanhamento::excluiDocumento(int mes, int sequencia)
{
    try {
        db::WriteUnit unidade(connection_);
        if (rules::Falhou f = travaMesAberto(mes, problemaExclusao))
            return f;
        db::Statement s(connection_, {QStringLiteral("delete from tb_fonte_comprovacao_municipio"), condicaoChave,
                                      QStringLiteral("and nu_mes_compet = :nu_mes_compet and co_seq_doc = :co_seq_doc")});
        bindChave(s, chave_);
        bindMes(s, mes);
        s.setParam(QStringLiteral("co_seq_doc"), sequencia);
        if (s.exec() == 0)
            throw linhaAusente(true);
        unidade.commit();
    } catch (const std::exception& e) {
        return rules::falhaDe(e, problemaExclusao);
    }
    return std::nullopt;
}

rules::Falhou Acompanhamento::confereValores(int mes, const Cabecalho& c) const
{
    const TotaisExecucao execucao = totaisExecucao(mes);
    const TotaisDocumentos documentos = totaisDocumentos(mes);
    // A state has no delivery notes: its medications allocated are compared as 0.
    return tracking::verificaFechamento(valoresGravados(c.valores),
                                        {execucao.geral(), documentos.notaFiscal, documentos.guiaRemessa});
}

rules::Falhou Acompanhamento::confereFechamento(int mes) const
{
    const std::optional<Cabecalho> c = cabecalho(mes);
    if (!c)
        return rules::Falha{rules::Falha::Tipo::NaoEncontrado, {}, semMovimentacao(mes), {}};
    if (c->situacao != codigos::situacao::aberto)
        return rules::Falha{rules::Falha::Tipo::NaoEncontrado, {}, QStringLiteral("Movimento já está fechado/exportado"), {}};
    return confereValores(mes, *c);
}

rules::Falhou Acompanhamento::verificaFechamento(int mes) const
{
    try {
        return confereFechamento(mes);
    } catch (const std::exception& e) {
        return rules::falhaDe(e, problemaFechamento);
    }
}

rules::Falhou Acompanhamento::fechaMes(int mes, const QDate& data)
{
    try {
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
        if (s.exec() == 0) {
            // Says why: no header, or not open; nothing was closed whatever it finds.
            if (rules::Falhou f = confereFechamento(mes))
                return f;
            return rules::Falha{rules::Falha::Tipo::NaoEncontrado, {}, problemaFechamento,
                                QStringLiteral("O mês de %1 não foi encontrado aberto.").arg(text::monthName(mes))};
        }
        // The header is this unit's now: the checks read what is closed, as the open
        // month it was.
        const std::optional<Cabecalho> c = cabecalho(mes);
        if (!c)
            return rules::Falha{rules::Falha::Tipo::NaoEncontrado, {}, problemaFechamento, semMovimentacao(mes)};
        if (rules::Falhou f = confereValores(mes, *c))
            return f;
        unidade.commit();
    } catch (const std::exception& e) {
        return rules::falhaDe(e, problemaFechamento);
    }
    return std::nullopt;
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
