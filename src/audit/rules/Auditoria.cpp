#include "audit/rules/Auditoria.h"

#include "data/Codigos.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "rules/Identificacao.h"
#include "text/Formats.h"
#include "tracking/rules/Linhas.h"
#include "tracking/rules/Saldo.h"
#include "tracking/rules/TCheckDoc.h"

#include <QCollator>
#include <QHash>
#include <QMap>
#include <QSet>

#include <algorithm>
#include <cstdlib>

namespace auditoria {

namespace {

using tracking::Valores;

double numero(const QVariant& v)
{
    return v.isNull() ? 0.0 : v.toDouble();
}

int mesDe(const QVariant& v)
{
    return v.toString().trimmed().toInt();
}

QString dinheiro(double v)
{
    return text::formatFloat(text::masks::money, v);
}

QString mesNome(int mes)
{
    const QString n = text::monthName(mes);
    return n.isEmpty() ? QString::number(mes) : n;
}

// Month of a municipality: key of every per-month total.
quint64 chave(int cidade, int mes)
{
    return (quint64(quint32(cidade)) << 8) | quint64(mes & 0xff);
}

struct Cabecalho {
    int mes = 0;
    Valores valores;
    QString situacao;
    bool semDataEnvio = false;
};

struct SaldoInicial {
    double valor = 0;
    int mes = 0;
};

struct TotaisDocumentos {
    double notaFiscal = 0;
    double guiaRemessa = 0;
};

struct Documento {
    int cidade = 0;
    int mes = 0;
    QString tipo;
    QString favorecido;
    QString numero;
};

// The statements of the audit, each with the year, the state and, when one is chosen,
// the municipality.
class Leitura {
public:
    Leitura(db::Connection& c, const Filtro& f) : c_(c), f_(f) {}

    // "where" with the year, the state and the municipality chosen, on the columns of
    // the table aliased prefixo.
    QString onde(const QString& prefixo = {}) const
    {
        QString w = QStringLiteral("where %1nu_ano_compet = :nu_ano_compet and %1co_uf = :co_uf").arg(prefixo);
        if (f_.cidade)
            w += QStringLiteral(" and %1co_cidade = :co_cidade").arg(prefixo);
        return w;
    }

    QList<QVariantList> linhas(const QStringList& sql) const
    {
        db::Statement s(c_, sql);
        s.setParam(QStringLiteral("nu_ano_compet"), f_.ano);
        s.setParam(QStringLiteral("co_uf"), f_.uf);
        if (f_.cidade)
            s.setParam(QStringLiteral("co_cidade"), *f_.cidade);
        return s.selectAll();
    }

private:
    db::Connection& c_;
    const Filtro& f_;
};


QString nomeTipoDocumento(const QString& tipo)
{
    for (const codigos::Codigo& c : codigos::tipoDocumento::todos)
        if (c.valor == tipo)
            return c.nome;
    return tipo.isEmpty() ? QStringLiteral("Documento") : QStringLiteral("Documento \"%1\"").arg(tipo);
}

QString descreveDocumento(const Documento& d)
{
    const QString favorecido = d.favorecido.trimmed().isEmpty() ? QStringLiteral("favorecido em branco")
                                                                 : rules::identificacaoPontuada(d.favorecido.trimmed());
    return QStringLiteral("%1 nº %2 de %3").arg(nomeTipoDocumento(d.tipo), d.numero.trimmed(), favorecido);
}

// A CPF or a CNPJ with right check digits; fourteen zeros, which pass them, are no one.
bool identificacaoValida(const QString& favorecido, TCheckDoc& check)
{
    const QString t = favorecido.trimmed();
    if (t == tracking::identificacaoZeros)
        return false;
    check.setMode(t.size() == 11 || (t.size() == 14 && t.at(3) == u'.') ? TCheckDoc::moCPF : TCheckDoc::moCGC);
    check.setInput(t);
    return check.Result();
}

}  // namespace

QString contaMunicipios(qsizetype n)
{
    return QStringLiteral("%1 %2").arg(n).arg(n == 1 ? QStringLiteral("município") : QStringLiteral("municípios"));
}

QString nomeAcompanhamentoEstadual()
{
    return QStringLiteral("Acompanhamento Estadual");
}

QList<Municipio> municipios(db::Connection& connection, const QString& uf)
{
    db::Statement s(connection, {QStringLiteral("select co_seq_cidade, no_cidade from tb_cidade where co_uf = :co_uf"),
                                 QStringLiteral("order by no_cidade")});
    s.setParam(QStringLiteral("co_uf"), uf);
    QList<Municipio> m;
    for (const QVariantList& l : s.selectAll())
        m << Municipio{l.at(0).toInt(), l.at(1).toString().trimmed()};
    return m;
}

QString nomeRegra(Regra r)
{
    switch (r) {
    case Regra::Fechamento:
        return QStringLiteral("Fechamento do mês");
    case Regra::Saldo:
        return QStringLiteral("Saldo Anterior");
    case Regra::GastosExcedem:
        return QStringLiteral("Recursos Gastos acima do Total");
    case Regra::MesFaltando:
        return QStringLiteral("Mês não recebido");
    case Regra::MesAberto:
        return QStringLiteral("Mês aberto");
    case Regra::Identificacao:
        return QStringLiteral("CPF/CNPJ do favorecido");
    case Regra::DocumentoRepetido:
        return QStringLiteral("Documento repetido");
    case Regra::MedicamentoForaDaRelacao:
        return QStringLiteral("Medicamento fora da relação pactuada");
    case Regra::ValorTotalLinha:
        return QStringLiteral("Valor Total do medicamento");
    case Regra::SemDataEnvio:
        return QStringLiteral("Data de envio");
    }
    return {};
}

int numeroRegra(Regra r)
{
    switch (r) {
    case Regra::Fechamento:
        return 1;
    case Regra::Saldo:
        return 2;
    case Regra::GastosExcedem:
        return 3;
    case Regra::MesFaltando:
    case Regra::MesAberto:
        return 4;
    case Regra::Identificacao:
        return 5;
    case Regra::DocumentoRepetido:
        return 6;
    case Regra::MedicamentoForaDaRelacao:
    case Regra::ValorTotalLinha:
        return 7;
    case Regra::SemDataEnvio:
        return 8;
    }
    return 0;
}

Resultado audita(db::Connection& connection, const Filtro& filtro, const AoProgredir& aoProgredir)
{
    Resultado r;
    const Leitura ler(connection, filtro);
    const QString doAno = ler.onde();
    constexpr int passos = 9;
    int passo = 0;
    const auto avanca = [&](const QString& etapa) {
        if (aoProgredir && !aoProgredir(Progresso{passo, passos, etapa}))
            r.cancelada = true;
        ++passo;
        return !r.cancelada;
    };

    // Names: the state and its municipalities.
    if (!avanca(QStringLiteral("Municípios")))
        return r;
    QHash<int, QString> nomes;
    for (const QVariantList& l : ler.linhas({QStringLiteral("select co_seq_cidade, no_cidade from tb_cidade where co_uf = :co_uf")}))
        nomes.insert(l.at(0).toInt(), l.at(1).toString().trimmed());
    nomes.insert(0, nomeAcompanhamentoEstadual());
    for (const QVariantList& l : ler.linhas({QStringLiteral("select no_uf from tb_unidade_federacao where co_uf = :co_uf")}))
        r.nomeUf = l.at(0).toString().trimmed();
    const auto nome = [&](int cidade) {
        return nomes.value(cidade, QStringLiteral("Município %1").arg(cidade));
    };

    QList<Achado> achados;
    const auto achado = [&](int cidade, int mes, Regra regra, const QString& descricao, const QString& esperado,
                            const QString& encontrado) {
        achados << Achado{cidade, nome(cidade), mes, regra, descricao, esperado, encontrado};
    };

    // Month headers and initial balances.
    if (!avanca(QStringLiteral("Movimentação dos meses")))
        return r;
    QMap<int, QList<Cabecalho>> cabecalhos;
    for (const QVariantList& l :
         ler.linhas({QStringLiteral("select co_cidade, nu_mes_compet, vl_saldo_anterior, vl_aloc_federal, vl_aloc_estadual,"),
                     QStringLiteral("  vl_aloc_municipal, vl_rendimentos_aplicados, vl_aloc_med, vl_rec_gastos, situacao, dt_envio"),
                     QStringLiteral("from tb_movimento_municipio"), doAno})) {
        Cabecalho c;
        c.mes = mesDe(l.at(1));
        c.valores = Valores{numero(l.at(2)), numero(l.at(3)), numero(l.at(4)), numero(l.at(5)),
                            numero(l.at(6)), numero(l.at(7)), numero(l.at(8))};
        c.situacao = l.at(9).toString().trimmed();
        c.semDataEnvio = l.at(10).isNull();
        cabecalhos[l.at(0).toInt()] << c;
        ++r.meses;
    }
    r.municipios = int(cabecalhos.size());

    if (!avanca(QStringLiteral("Saldos iniciais")))
        return r;
    QHash<int, SaldoInicial> saldosIniciais;
    for (const QVariantList& l : ler.linhas({QStringLiteral("select co_cidade, vl_saldo_municipio, nu_mes_compet"),
                                            QStringLiteral("from tb_saldo_inicial_municipio"), doAno}))
        saldosIniciais.insert(l.at(0).toInt(), SaldoInicial{numero(l.at(1)), mesDe(l.at(2))});

    // The totals the closing compares, one grouped read per table.
    // The medication lines that may break rule 7 are counted in the same grouped read:
    // a medication the state did not agree, or a total off quantity × unit price by more
    // than the rounding of two amounts (the cents decide, below).
    const QString foraDaRelacao = QStringLiteral(
        "not exists (select 1 from rl_elencominimo_uf r where r.co_uf = e.co_uf and r.co_medicamento = e.co_seq_medicamento)");
    const QString suspeita =
        QStringLiteral("(%1 or abs(coalesce(e.qt_medicamento, 0) * coalesce(e.vl_unitario, 0) - coalesce(e.vl_total, 0)) > 0.009)")
            .arg(foraDaRelacao);
    if (!avanca(QStringLiteral("Totais da Execução Física")))
        return r;
    QHash<quint64, double> execucao;
    QList<std::pair<int, int>> mesesSuspeitos;
    for (const QVariantList& l :
         ler.linhas({QStringLiteral("select e.co_cidade, e.nu_mes_compet, sum(e.vl_total),"),
                     QStringLiteral("  sum(case when %1 then 1 else 0 end)").arg(suspeita),
                     QStringLiteral("from tb_execucao_fisica_municipio e"), ler.onde(QStringLiteral("e.")),
                     QStringLiteral("group by e.co_cidade, e.nu_mes_compet")})) {
        execucao[chave(l.at(0).toInt(), mesDe(l.at(1)))] += numero(l.at(2));
        if (l.at(3).toInt() > 0)
            mesesSuspeitos << std::pair{l.at(0).toInt(), mesDe(l.at(1))};
    }

    if (!avanca(QStringLiteral("Totais da Fonte de Comprovação")))
        return r;
    QHash<quint64, TotaisDocumentos> documentos;
    for (const QVariantList& l : ler.linhas({QStringLiteral("select co_cidade, nu_mes_compet, st_tipo_doc, sum(vl_doc)"),
                                            QStringLiteral("from tb_fonte_comprovacao_municipio"), doAno,
                                            QStringLiteral("and st_tipo_doc in ('N', 'G')"),
                                            QStringLiteral("group by co_cidade, nu_mes_compet, st_tipo_doc")})) {
        TotaisDocumentos& t = documentos[chave(l.at(0).toInt(), mesDe(l.at(1)))];
        (l.at(2).toString() == codigos::tipoDocumento::guiaRemessa ? t.guiaRemessa : t.notaFiscal) += numero(l.at(3));
    }

    // Rules 1 to 4 and 8, month by month of each municipality.
    for (auto it = cabecalhos.begin(); it != cabecalhos.end(); ++it) {
        const int cidade = it.key();
        QList<Cabecalho>& meses = it.value();
        std::sort(meses.begin(), meses.end(), [](const Cabecalho& a, const Cabecalho& b) { return a.mes < b.mes; });

        const Cabecalho& primeiro = meses.first();
        if (const auto s = saldosIniciais.constFind(cidade); s == saldosIniciais.constEnd()) {
            achado(cidade, primeiro.mes, Regra::Saldo, QStringLiteral("Saldo inicial do ano não recebido"),
                   QStringLiteral("Saldo inicial do ano"), QStringLiteral("Não recebido"));
        } else if (!tracking::mesmoValor(primeiro.valores.saldoAnterior, s->valor)) {
            achado(cidade, primeiro.mes, Regra::Saldo,
                   QStringLiteral("Saldo Anterior do primeiro mês diferente do saldo inicial do ano"),
                   QStringLiteral("Saldo inicial: %1").arg(dinheiro(s->valor)),
                   QStringLiteral("Saldo Anterior: %1").arg(dinheiro(primeiro.valores.saldoAnterior)));
        }

        for (qsizetype i = 0; i < meses.size(); ++i) {
            const Cabecalho& c = meses.at(i);
            if (i > 0) {
                const Cabecalho& antes = meses.at(i - 1);
                for (int falta = antes.mes + 1; falta < c.mes; ++falta)
                    achado(cidade, falta, Regra::MesFaltando, QStringLiteral("Mês não recebido entre o primeiro e o último mês recebidos"),
                           QStringLiteral("Movimentação de %1").arg(mesNome(falta)), QStringLiteral("Nenhuma"));
                const double transportado = tracking::saldoTransportado(antes.valores);
                if (antes.mes + 1 == c.mes && !tracking::mesmoValor(c.valores.saldoAnterior, transportado))
                    achado(cidade, c.mes, Regra::Saldo, QStringLiteral("Saldo Anterior diferente do saldo transportado do mês anterior"),
                           QStringLiteral("Saldo transportado de %1: %2").arg(mesNome(antes.mes), dinheiro(transportado)),
                           QStringLiteral("Saldo Anterior: %1").arg(dinheiro(c.valores.saldoAnterior)));
            }

            if (!codigos::situacao::estaFechado(c.situacao)) {
                achado(cidade, c.mes, Regra::MesAberto, QStringLiteral("Mês recebido ainda aberto"),
                       QStringLiteral("Fechado ou exportado"),
                       c.situacao == codigos::situacao::aberto ? QStringLiteral("Aberto")
                                                               : QStringLiteral("Situação \"%1\"").arg(c.situacao));
                continue;
            }

            // A state has no delivery notes: its medications allocated compare as 0, as
            // its closing compares them.
            Valores v = c.valores;
            if (cidade == 0)
                v.medicamentos = 0;
            const TotaisDocumentos d = documentos.value(chave(cidade, c.mes));
            for (const tracking::ConferenciaFechamento& f :
                 tracking::conferenciasFechamento(v, {execucao.value(chave(cidade, c.mes)), d.notaFiscal, d.guiaRemessa}))
                if (!f.confere())
                    achado(cidade, c.mes, Regra::Fechamento, f.mensagem,
                           QStringLiteral("%1: %2").arg(f.rotuloCabecalho, dinheiro(f.cabecalho)),
                           QStringLiteral("%1: %2").arg(f.rotuloLinhas, dinheiro(f.linhas)));
            if (tracking::gastosExcedemTotal(v))
                achado(cidade, c.mes, Regra::GastosExcedem, QStringLiteral("Recursos Gastos maiores que o Total do mês fechado"),
                       QStringLiteral("Total (+): até %1").arg(dinheiro(tracking::total(v))),
                       QStringLiteral("Recursos Gastos (-): %1").arg(dinheiro(v.gastos)));
            if (c.situacao == codigos::situacao::enviado && c.semDataEnvio)
                achado(cidade, c.mes, Regra::SemDataEnvio, QStringLiteral("Mês exportado sem data de envio"),
                       QStringLiteral("Data de envio"), QStringLiteral("Em branco"));
        }
    }

    // Rule 7: the lines that may be at fault, month by month of those that have any.
    if (!avanca(QStringLiteral("Linhas da Execução Física")))
        return r;
    QHash<int, QString> medicamentos;
    if (!mesesSuspeitos.isEmpty())
        for (const QVariantList& l : ler.linhas({QStringLiteral("select co_seq_medicamento, ds_medicamento from tb_elenco_minimo")}))
            medicamentos.insert(l.at(0).toInt(), l.at(1).toString().trimmed());
    QList<QVariantList> linhasSuspeitas;
    for (const auto& [cidadeSuspeita, mesSuspeito] : mesesSuspeitos) {
        db::Statement s(connection, {QStringLiteral("select e.co_cidade, e.nu_mes_compet, e.co_seq_medicamento, e.qt_medicamento,"),
                                     QStringLiteral("  e.vl_unitario, e.vl_total, case when %1 then 1 else 0 end").arg(foraDaRelacao),
                                     QStringLiteral("from tb_execucao_fisica_municipio e"),
                                     QStringLiteral("where e.nu_ano_compet = :nu_ano_compet and e.co_uf = :co_uf"),
                                     QStringLiteral("and e.co_cidade = :co_cidade and e.nu_mes_compet = :nu_mes_compet"),
                                     QStringLiteral("and ") + suspeita, QStringLiteral("order by e.co_seq_med")});
        s.setParam(QStringLiteral("nu_ano_compet"), filtro.ano);
        s.setParam(QStringLiteral("co_uf"), filtro.uf);
        s.setParam(QStringLiteral("co_cidade"), cidadeSuspeita);
        s.setParam(QStringLiteral("nu_mes_compet"), QString::number(mesSuspeito));
        linhasSuspeitas << s.selectAll();
    }
    for (const QVariantList& l : std::as_const(linhasSuspeitas)) {
        const int cidade = l.at(0).toInt();
        const int mes = mesDe(l.at(1));
        const int codigo = l.at(2).toInt();
        const QString medicamento = medicamentos.value(codigo, QStringLiteral("código %1").arg(codigo));
        if (l.at(6).toInt() == 1)
            achado(cidade, mes, Regra::MedicamentoForaDaRelacao, QStringLiteral("Medicamento fora da relação pactuada do estado"),
                   QStringLiteral("Medicamento da relação pactuada de %1").arg(filtro.uf),
                   QStringLiteral("%1 (código %2)").arg(medicamento).arg(codigo));
        const double quantidade = numero(l.at(3));
        const double unitario = numero(l.at(4));
        const double total = numero(l.at(5));
        const double calculado = quantidade * unitario;
        if (std::llabs(tracking::centavos(calculado) - tracking::centavos(total)) > 1)
            achado(cidade, mes, Regra::ValorTotalLinha, QStringLiteral("Valor Total diferente de Quantidade × Valor Unitário"),
                   QStringLiteral("%1 × %2 = %3")
                       .arg(text::formatFloat(text::masks::integerGrouped, quantidade),
                            text::formatFloat(text::masks::unitPrice, unitario), dinheiro(calculado)),
                   QStringLiteral("%1 (%2)").arg(dinheiro(total), medicamento));
    }

    // Rule 5: every payee once, checked here; the documents of the refused ones.
    if (!avanca(QStringLiteral("Favorecidos")))
        return r;
    QStringList refusados;
    {
        TCheckDoc check;
        for (const QVariantList& l : ler.linhas({QStringLiteral("select nu_favorecido, count(*)"),
                                                QStringLiteral("from tb_fonte_comprovacao_municipio"), doAno,
                                                QStringLiteral("group by nu_favorecido")}))
            if (const QString f = l.at(0).toString(); !identificacaoValida(f, check) && !refusados.contains(f))
                refusados << f;  // null and empty are one
    }
    for (const QString& favorecido : refusados) {
        const QString condicao = favorecido.isEmpty()
                                     ? QStringLiteral("and (nu_favorecido is null or nu_favorecido = '' or nu_favorecido = :nu_favorecido)")
                                     : QStringLiteral("and nu_favorecido = :nu_favorecido");
        QStringList sql = {QStringLiteral("select co_cidade, nu_mes_compet, st_tipo_doc, nu_favorecido, nr_numero_doc"),
                           QStringLiteral("from tb_fonte_comprovacao_municipio"), doAno, condicao};
        db::Statement s(connection, sql);
        s.setParam(QStringLiteral("nu_ano_compet"), filtro.ano);
        s.setParam(QStringLiteral("co_uf"), filtro.uf);
        s.setParam(QStringLiteral("nu_favorecido"), favorecido);
        if (filtro.cidade)
            s.setParam(QStringLiteral("co_cidade"), *filtro.cidade);
        for (const QVariantList& l : s.selectAll()) {
            const Documento d{l.at(0).toInt(), mesDe(l.at(1)), l.at(2).toString().trimmed(), l.at(3).toString(), l.at(4).toString()};
            achado(d.cidade, d.mes, Regra::Identificacao, QStringLiteral("CPF/CNPJ do favorecido com dígitos verificadores errados"),
                   QStringLiteral("CPF ou CNPJ válido"),
                   QStringLiteral("%1 (%2 nº %3)")
                       .arg(d.favorecido.trimmed().isEmpty() ? QStringLiteral("Em branco") : rules::identificacaoPontuada(d.favorecido.trimmed()),
                            nomeTipoDocumento(d.tipo), d.numero.trimmed()));
        }
    }

    // Rule 6: the repeated documents of the whole state, so that one municipality's
    // finding names the others.
    if (!avanca(QStringLiteral("Documentos repetidos")))
        return r;
    // The repeated documents first, then where each is, through the payee's index.
    QList<QList<Documento>> repetidos;
    const QList<QVariantList> chaves =
        ler.linhas({QStringLiteral("select st_tipo_doc, nu_favorecido, nr_numero_doc from tb_fonte_comprovacao_municipio"),
                    QStringLiteral("where nu_ano_compet = :nu_ano_compet and co_uf = :co_uf and nr_numero_doc <> ''"),
                    QStringLiteral("group by st_tipo_doc, nu_favorecido, nr_numero_doc having count(*) > 1")});
    for (const QVariantList& k : chaves) {
        db::Statement s(connection, {QStringLiteral("select co_cidade, nu_mes_compet from tb_fonte_comprovacao_municipio"),
                                     QStringLiteral("where nu_favorecido = :nu_favorecido and nr_numero_doc = :nr_numero_doc"),
                                     QStringLiteral("and st_tipo_doc is not distinct from :st_tipo_doc"),
                                     QStringLiteral("and nu_ano_compet = :nu_ano_compet and co_uf = :co_uf")});
        s.setParam(QStringLiteral("st_tipo_doc"), k.at(0));
        s.setParam(QStringLiteral("nu_favorecido"), k.at(1));
        s.setParam(QStringLiteral("nr_numero_doc"), k.at(2));
        s.setParam(QStringLiteral("nu_ano_compet"), filtro.ano);
        s.setParam(QStringLiteral("co_uf"), filtro.uf);
        QList<Documento> grupo;
        for (const QVariantList& l : s.selectAll())
            grupo << Documento{l.at(0).toInt(), mesDe(l.at(1)), k.at(0).toString().trimmed(), k.at(1).toString(), k.at(2).toString()};
        repetidos << grupo;
    }
    for (QList<Documento>& grupo : repetidos) {
        std::sort(grupo.begin(), grupo.end(), [](const Documento& a, const Documento& b) {
            return a.cidade != b.cidade ? a.cidade < b.cidade : a.mes < b.mes;
        });
        for (qsizetype i = 0; i < grupo.size(); ++i) {
            const Documento& d = grupo.at(i);
            if (filtro.cidade && d.cidade != *filtro.cidade)
                continue;
            QStringList outros;
            for (qsizetype j = 0; j < grupo.size(); ++j)
                if (j != i)
                    outros << QStringLiteral("%1/%2").arg(nome(grupo.at(j).cidade), mesNome(grupo.at(j).mes));
            if (outros.size() > 3)
                outros = outros.mid(0, 3) << QStringLiteral("mais %1").arg(outros.size() - 3);
            achado(d.cidade, d.mes, Regra::DocumentoRepetido, QStringLiteral("Documento lançado mais de uma vez"),
                   QStringLiteral("%1 uma só vez").arg(descreveDocumento(d)),
                   QStringLiteral("%1 vezes: também em %2").arg(grupo.size()).arg(outros.join(QStringLiteral(", "))));
        }
    }

    if (!avanca(QStringLiteral("Achados")))
        return r;
    QCollator collator(QLocale(QLocale::Portuguese, QLocale::Brazil));
    std::stable_sort(achados.begin(), achados.end(), [&](const Achado& a, const Achado& b) {
        if (a.cidade != b.cidade) {
            if ((a.cidade == 0) != (b.cidade == 0))
                return a.cidade == 0;  // the state's own follow-up first
            const int c = collator.compare(a.municipio, b.municipio);
            return c != 0 ? c < 0 : a.cidade < b.cidade;
        }
        if (a.mes != b.mes)
            return a.mes < b.mes;
        return int(a.regra) < int(b.regra);
    });
    r.achados = std::move(achados);
    if (aoProgredir)
        aoProgredir(Progresso{passos, passos, QStringLiteral("Concluída")});
    return r;
}

int Resultado::municipiosComAchados() const
{
    QSet<int> c;
    for (const Achado& a : achados)
        c.insert(a.cidade);
    return int(c.size());
}

QString Resultado::resumo(const Filtro& filtro) const
{
    QStringList l;
    l << QStringLiteral("Auditoria dos Dados Recebidos - %1 (%2), ano %3%4")
             .arg(nomeUf.isEmpty() ? filtro.uf : nomeUf, filtro.uf, filtro.ano,
                  filtro.cidade ? QStringLiteral(", município %1").arg(*filtro.cidade) : QString());
    l << QStringLiteral("Lidos: %1 %2 de %3.").arg(meses).arg(meses == 1 ? QStringLiteral("mês") : QStringLiteral("meses"))
             .arg(contaMunicipios(municipios));
    if (cancelada) {
        l << QStringLiteral("Auditoria cancelada: os achados estão incompletos.");
        return l.join(QLatin1Char('\n'));
    }
    if (achados.isEmpty()) {
        l << QStringLiteral("Nenhum achado: os meses recebidos conferem.");
        return l.join(QLatin1Char('\n'));
    }
    l << QStringLiteral("Achados: %1 em %2.").arg(achados.size()).arg(contaMunicipios(municipiosComAchados()));
    QMap<int, int> porRegra;
    QMap<int, QString> nomePorRegra;
    for (const Achado& a : achados) {
        ++porRegra[int(a.regra)];
        nomePorRegra[int(a.regra)] = nomeRegra(a.regra);
    }
    l << QStringLiteral("Por regra:");
    for (auto it = porRegra.cbegin(); it != porRegra.cend(); ++it)
        l << QStringLiteral("  %1. %2: %3").arg(numeroRegra(Regra(it.key()))).arg(nomePorRegra[it.key()]).arg(it.value());
    l << QStringLiteral("Por município:");
    QString atual;
    int conta = 0;
    const auto fecha = [&] {
        if (conta > 0)
            l << QStringLiteral("  %1: %2").arg(atual).arg(conta);
    };
    int cidadeAtual = -1;
    for (const Achado& a : achados) {
        if (a.cidade != cidadeAtual) {
            fecha();
            cidadeAtual = a.cidade;
            atual = a.municipio;
            conta = 0;
        }
        ++conta;
    }
    fecha();
    return l.join(QLatin1Char('\n'));
}

QStringList colunas()
{
    return {QStringLiteral("Município"), QStringLiteral("Mês"), QStringLiteral("Regra"), QStringLiteral("Esperado"),
            QStringLiteral("Encontrado")};
}

QStringList textos(const Achado& a)
{
    return {a.municipio, mesNome(a.mes), a.descricao, a.esperado, a.encontrado};
}

namespace {

QString linhasSeparadas(const QList<Achado>& achados, QChar separador, bool aspas)
{
    const auto campo = [&](const QString& t) {
        if (!aspas)
            return QString(t).replace(separador, QLatin1Char(' ')).replace(QLatin1Char('\n'), QLatin1Char(' '));
        if (!t.contains(separador) && !t.contains(QLatin1Char('"')) && !t.contains(QLatin1Char('\n')))
            return t;
        return QLatin1Char('"') + QString(t).replace(QLatin1String("\""), QLatin1String("\"\"")) + QLatin1Char('"');
    };
    QString out;
    const auto linha = [&](const QStringList& campos) {
        QStringList c;
        for (const QString& t : campos)
            c << campo(t);
        out += c.join(separador) + QStringLiteral("\r\n");
    };
    QStringList cab = colunas();
    cab.insert(1, QStringLiteral("Código"));
    linha(cab);
    for (const Achado& a : achados) {
        QStringList t = textos(a);
        t.insert(1, QString::number(a.cidade));
        linha(t);
    }
    return out;
}

}  // namespace

QString csv(const QList<Achado>& achados)
{
    return linhasSeparadas(achados, QLatin1Char(';'), true);
}

QString tabulado(const QList<Achado>& achados)
{
    return linhasSeparadas(achados, QLatin1Char('\t'), false);
}

}  // namespace auditoria
