#include "data/AlteracoesIncentivo.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"

#include <QVariant>

namespace data {

namespace {

const QString tabela = QStringLiteral("TB_ALTERACAO_INCENTIVO");
const QString gerador = QStringLiteral("GEN_ALTERACAO_INCENTIVO");

// A table whose rows the incentive is calculated from, the letter its changes are
// recorded under, and the columns (besides the year) whose change changes the
// incentive: a pact's census year or modality does not.
struct Origem {
    QString tabela;
    QString gatilho;
    QString tipo;
    QString nome;
    QStringList colunas;
};

const QList<Origem>& origens()
{
    static const QList<Origem> o = {
        {QStringLiteral("TB_CIDADE_PACTUACAO"), QStringLiteral("TB_CIDADE_PACTUACAO_ALT"), QStringLiteral("P"),
         QStringLiteral("Pactuações"), {QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"), QStringLiteral("QT_POPULACAO")}},
        {QStringLiteral("TB_REPASSE_MESTRE"), QStringLiteral("TB_REPASSE_MESTRE_ALT"), QStringLiteral("R"),
         QStringLiteral("Repasse Padrão"),
         {QStringLiteral("VL_REPASSE_FEDERAL_MESTRE"), QStringLiteral("VL_REPASSE_ESTADUAL_MESTRE"),
          QStringLiteral("VL_REPASSE_MUNICIPAL_MESTRE")}},
        {QStringLiteral("TB_REPASSE_ESTADUAL_EXCESSAO"), QStringLiteral("TB_REPASSE_ESTADUAL_EXC_ALT"), QStringLiteral("E"),
         QStringLiteral("Exceção Estadual"), {QStringLiteral("CO_UF"), QStringLiteral("VL_REPASSE_ESTADUAL_EXCESSAO")}},
        {QStringLiteral("TB_REPASSE_MUNICIPAL_EXCESSAO"), QStringLiteral("TB_REPASSE_MUNICIPAL_EXC_ALT"), QStringLiteral("M"),
         QStringLiteral("Exceção Municipal"),
         {QStringLiteral("CO_UF"), QStringLiteral("CO_CIDADE"), QStringLiteral("VL_REPASSE_MUNICIPAL_EXCESSAO")}},
    };
    return o;
}

const QString tipoCalculo = QStringLiteral("C");

QString marca(const QString& registro, const QString& tipo)
{
    return QStringLiteral("    UPDATE OR INSERT INTO TB_ALTERACAO_INCENTIVO (NU_ANO_COMPET, TP_ALTERACAO, DT_ALTERACAO, NU_ORDEM)\n"
                          "    VALUES (%1.NU_ANO_COMPET, '%2', CURRENT_TIMESTAMP, GEN_ID(GEN_ALTERACAO_INCENTIVO, 1))\n"
                          "    MATCHING (NU_ANO_COMPET, TP_ALTERACAO);\n")
        .arg(registro, tipo);
}

// A row inserted or deleted marks its year; an update marks the new year, and the old
// one when the year itself changed, but only when a column the incentive uses changed.
QString gatilho(const Origem& o)
{
    QStringList mudou;
    for (const QString& c : o.colunas)
        mudou << QStringLiteral("NEW.%1 IS DISTINCT FROM OLD.%1").arg(c);
    return QStringLiteral("CREATE OR ALTER TRIGGER %1 FOR %2\n"
                          "ACTIVE AFTER INSERT OR UPDATE OR DELETE POSITION 10\n"
                          "AS\n"
                          "BEGIN\n"
                          "  IF (DELETING) THEN\n%3"
                          "  ELSE IF (INSERTING) THEN\n%4"
                          "  ELSE IF (NEW.NU_ANO_COMPET IS DISTINCT FROM OLD.NU_ANO_COMPET) THEN\n"
                          "  BEGIN\n%4%3  END\n"
                          "  ELSE IF (%5) THEN\n%4"
                          "END")
        .arg(o.gatilho, o.tabela, marca(QStringLiteral("OLD"), o.tipo), marca(QStringLiteral("NEW"), o.tipo),
             mudou.join(QStringLiteral(" OR ")));
}

bool existe(db::Connection& conexao, const QString& consulta, const QString& nome)
{
    db::Statement s(conexao, {consulta});
    s.setParam(QStringLiteral("nome"), nome);
    return s.scalar().toInt() > 0;
}

bool temTabela(db::Connection& conexao)
{
    return existe(conexao, QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME = :nome"), tabela);
}

void executa(db::Connection& conexao, const QString& sql)
{
    db::Statement s(conexao, {sql});
    s.setCountsRows(false);
    s.exec();
}

// The per-month line numbers of the two detail tables, read from the top of a
// descending index (see korva.sql): the index, and the trigger that reads it.
struct Numeracao {
    QString tabela;
    QString coluna;
    QString gatilho;
    QString indice;
};

const QList<Numeracao>& numeracoes()
{
    static const QList<Numeracao> n = {
        {QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO"), QStringLiteral("CO_SEQ_DOC"), QStringLiteral("TB_FONTE_COMPROVACAO_MUN_BI"),
         QStringLiteral("IX_FONTE_COMPROVACAO_NUMERO")},
        {QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), QStringLiteral("CO_SEQ_MED"), QStringLiteral("TB_EXECUCAO_FISICA_MUN_BI"),
         QStringLiteral("IX_EXECUCAO_FISICA_NUMERO")},
    };
    return n;
}

QString indiceNumeracao(const Numeracao& n)
{
    return QStringLiteral("CREATE DESCENDING INDEX %1 ON %2 (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, %3)")
        .arg(n.indice, n.tabela, n.coluna);
}

// The same trigger as korva.sql's; its text means the same in dialect 1 and 3.
QString gatilhoNumeracao(const Numeracao& n)
{
    return QStringLiteral("CREATE OR ALTER TRIGGER %1 FOR %2\n"
                          "ACTIVE BEFORE INSERT POSITION 0\n"
                          "AS\n"
                          "BEGIN\n"
                          "  IF (NEW.%3 IS NULL OR NEW.%3 = 0) THEN\n"
                          "    NEW.%3 = COALESCE((SELECT FIRST 1 %3\n"
                          "                         FROM %2\n"
                          "                        WHERE NU_ANO_COMPET = NEW.NU_ANO_COMPET\n"
                          "                          AND CO_UF = NEW.CO_UF\n"
                          "                          AND CO_CIDADE = NEW.CO_CIDADE\n"
                          "                          AND NU_MES_COMPET = NEW.NU_MES_COMPET\n"
                          "                        ORDER BY NU_ANO_COMPET DESC, CO_UF DESC, CO_CIDADE DESC,\n"
                          "                                 NU_MES_COMPET DESC, %3 DESC), 0) + 1;\n"
                          "END")
        .arg(n.gatilho, n.tabela, n.coluna);
}

// The numbering objects an older database lacks: the indexes by name, and the triggers
// that still take a MAX over the month (an active trigger reading the index is current).
QStringList faltamNumeracao(db::Connection& conexao)
{
    QStringList nomes;
    for (int i = 0; i < numeracoes().size(); ++i)
        nomes << QStringLiteral(":n%1").arg(i);
    db::Statement s(conexao, {QStringLiteral("select trim(RDB$INDEX_NAME) from RDB$INDICES where RDB$INDEX_NAME in (%1)")
                                  .arg(nomes.join(QStringLiteral(", "))),
                              QStringLiteral("union all select trim(RDB$TRIGGER_NAME) from RDB$TRIGGERS where RDB$TRIGGER_NAME in (%1) "
                                             "and coalesce(RDB$TRIGGER_INACTIVE, 0) = 0 and RDB$TRIGGER_SOURCE containing 'FIRST 1'")
                                  .arg(nomes.join(QStringLiteral(", ")).replace(QStringLiteral(":n"), QStringLiteral(":g")))});
    for (int i = 0; i < numeracoes().size(); ++i) {
        s.setParam(QStringLiteral("n%1").arg(i), numeracoes().at(i).indice);
        s.setParam(QStringLiteral("g%1").arg(i), numeracoes().at(i).gatilho);
    }
    QStringList presentes;
    for (const QVariantList& l : s.selectAll())
        presentes << l.at(0).toString();
    QStringList faltam;
    for (const Numeracao& n : numeracoes()) {
        if (!presentes.contains(n.indice))
            faltam << n.indice;
        if (!presentes.contains(n.gatilho))
            faltam << n.gatilho;
    }
    return faltam;
}

QString textoDoErro(const std::exception& e)
{
    const auto* erro = dynamic_cast<const db::DatabaseError*>(&e);
    return erro ? erro->message() : QString::fromUtf8(e.what());
}

}  // namespace

QStringList faltamAlteracoesIncentivo(db::Connection& conexao)
{
    // One question to the catalogue: each display asks it, over a server too.
    QStringList gatilhos;
    for (int i = 0; i < origens().size(); ++i)
        gatilhos << QStringLiteral(":g%1").arg(i);
    db::Statement s(conexao, {QStringLiteral("select trim(RDB$RELATION_NAME) from RDB$RELATIONS where RDB$RELATION_NAME = :tabela"),
                              QStringLiteral("union all select trim(RDB$GENERATOR_NAME) from RDB$GENERATORS "
                                             "where RDB$GENERATOR_NAME = :gerador"),
                              QStringLiteral("union all select trim(RDB$TRIGGER_NAME) from RDB$TRIGGERS where RDB$TRIGGER_NAME in (%1) "
                                             "and coalesce(RDB$TRIGGER_INACTIVE, 0) = 0")
                                  .arg(gatilhos.join(QStringLiteral(", ")))});
    s.setParam(QStringLiteral("tabela"), tabela);
    s.setParam(QStringLiteral("gerador"), gerador);
    for (int i = 0; i < origens().size(); ++i)
        s.setParam(QStringLiteral("g%1").arg(i), origens().at(i).gatilho);
    QStringList presentes;
    for (const QVariantList& l : s.selectAll())
        presentes << l.at(0).toString();
    QStringList faltam;
    for (const QString& nome : QStringList{tabela, gerador})
        if (!presentes.contains(nome))
            faltam << nome;
    for (const Origem& o : origens())
        if (!presentes.contains(o.gatilho))
            faltam << o.gatilho;
    return faltam;
}

QString AtualizacaoBanco::mensagem() const
{
    QStringList partes;
    if (!falha.isEmpty())
        partes << QStringLiteral("O banco de dados não pôde ser atualizado: faltam o registro das alterações de pactuações e "
                          "repasses e a data do cálculo do incentivo anual (%1). Os dados gravados não foram alterados, "
                          "mas as janelas do incentivo não poderão dizer se ele está desatualizado. Abra o KORVA com o "
                          "usuário dono do banco para completar a atualização.\n\n%2")
                      .arg(tabela, falha);
    if (!falhaNumeracao.isEmpty())
        partes << QStringLiteral("A numeração das linhas de medicamentos e documentos não pôde ser atualizada: os dados "
                                 "gravados não foram alterados e a numeração continua correta, mas incluir linhas num mês "
                                 "com muitas linhas fica mais lento. Abra o KORVA com o usuário dono do banco para "
                                 "completar a atualização.\n\n%1")
                      .arg(falhaNumeracao);
    return partes.join(QStringLiteral("\n\n"));
}

AtualizacaoBanco atualizaBanco(db::Connection& conexao)
{
    AtualizacaoBanco r;
    try {
        const QStringList faltam = faltamAlteracoesIncentivo(conexao);
        // The table and the generator before the triggers that write them.
        if (faltam.contains(tabela)) {
            executa(conexao, QStringLiteral("CREATE TABLE TB_ALTERACAO_INCENTIVO (\n"
                                            "  NU_ANO_COMPET  VARCHAR(4) NOT NULL,\n"
                                            "  TP_ALTERACAO   VARCHAR(1) NOT NULL,\n"
                                            "  DT_ALTERACAO   TIMESTAMP,\n"
                                            "  NU_ORDEM       DOUBLE PRECISION,\n"
                                            "  CONSTRAINT PK_TB_ALTERACAO_INCENTIVO PRIMARY KEY (NU_ANO_COMPET, TP_ALTERACAO))"));
            r.criados << tabela;
            // Every user who saves a pact or a rate writes it, through the triggers.
            executa(conexao, QStringLiteral("GRANT SELECT, INSERT, UPDATE, DELETE ON TB_ALTERACAO_INCENTIVO TO PUBLIC"));
        }
        if (faltam.contains(gerador)) {
            executa(conexao, QStringLiteral("CREATE SEQUENCE GEN_ALTERACAO_INCENTIVO"));
            r.criados << gerador;
            executa(conexao, QStringLiteral("GRANT USAGE ON SEQUENCE GEN_ALTERACAO_INCENTIVO TO PUBLIC"));
        }
        for (const Origem& o : origens()) {
            if (!faltam.contains(o.gatilho))
                continue;
            // One made inactive is made again.
            executa(conexao, gatilho(o));
            r.criados << o.gatilho;
        }
    } catch (const std::exception& e) {
        r.falha = textoDoErro(e);
    }
    try {
        const QStringList faltam = faltamNumeracao(conexao);
        for (const Numeracao& n : numeracoes()) {
            // The trigger first: it numbers right with or without its index.
            if (faltam.contains(n.gatilho)) {
                executa(conexao, gatilhoNumeracao(n));
                r.criados << n.gatilho;
            }
            if (faltam.contains(n.indice)) {
                executa(conexao, indiceNumeracao(n));
                r.criados << n.indice;
            }
        }
    } catch (const std::exception& e) {
        r.falhaNumeracao = textoDoErro(e);
    }
    return r;
}

void registraCalculoIncentivo(db::Connection& conexao, const QString& ano)
{
    if (!temTabela(conexao))
        return;
    // A change of the year that another seat committed after this calculation began, or
    // has not committed yet, holds its row: touching the rows makes the calculation fail
    // as a conflict with that seat, rather than be recorded as later than the change.
    db::Statement toca(conexao, {QStringLiteral("update TB_ALTERACAO_INCENTIVO set NU_ORDEM = NU_ORDEM"),
                                 QStringLiteral("where NU_ANO_COMPET = :ano and TP_ALTERACAO <> :tipo")});
    toca.setParam(QStringLiteral("ano"), ano);
    toca.setParam(QStringLiteral("tipo"), tipoCalculo);
    toca.exec();
    db::Statement s(conexao,
                    {QStringLiteral("update or insert into TB_ALTERACAO_INCENTIVO (NU_ANO_COMPET, TP_ALTERACAO, DT_ALTERACAO, NU_ORDEM)"),
                     QStringLiteral("values (:ano, :tipo, current_timestamp, gen_id(GEN_ALTERACAO_INCENTIVO, 1))"),
                     QStringLiteral("matching (NU_ANO_COMPET, TP_ALTERACAO)")});
    s.setParam(QStringLiteral("ano"), ano);
    s.setParam(QStringLiteral("tipo"), tipoCalculo);
    s.exec();
}

AtualidadeIncentivo atualidadeIncentivo(db::Connection& conexao, const QString& ano)
{
    AtualidadeIncentivo a;
    a.ano = ano;
    a.registrado = faltamAlteracoesIncentivo(conexao).isEmpty();
    if (!a.registrado)
        return a;
    db::Statement s(conexao, {QStringLiteral("select TP_ALTERACAO, DT_ALTERACAO, NU_ORDEM from TB_ALTERACAO_INCENTIVO"),
                              QStringLiteral("where NU_ANO_COMPET = :ano")});
    s.setParam(QStringLiteral("ano"), ano);
    const QList<QVariantList> linhas = s.selectAll();
    double ordemCalculo = -1;
    for (const QVariantList& l : linhas)
        if (l.at(0).toString() == tipoCalculo) {
            a.calculo = l.at(1).toDateTime();
            ordemCalculo = l.at(2).toDouble();
        }
    for (const Origem& o : origens())
        for (const QVariantList& l : linhas)
            if (l.at(0).toString() == o.tipo && l.at(2).toDouble() > ordemCalculo)
                a.depois << AlteracaoIncentivo{o.nome, l.at(1).toDateTime()};
    return a;
}

QString AtualidadeIncentivo::linha() const
{
    if (!registrado)
        return QStringLiteral("Este banco não registra as alterações de pactuações e repasses: não se sabe se o "
                              "incentivo de %1 está atualizado.")
            .arg(ano);
    if (depois.isEmpty())
        return {};
    const auto data = [](const QDateTime& d) { return d.toString(QStringLiteral("dd/MM/yyyy HH:mm")); };
    QStringList quais;
    for (const AlteracaoIncentivo& d : depois)
        quais << QStringLiteral("%1 em %2").arg(d.oQue, data(d.quando));
    const QString antes = calculo.isValid()
                              ? QStringLiteral("Incentivo de %1 desatualizado: calculado em %2, antes destas alterações: ")
                                    .arg(ano, data(calculo))
                              : QStringLiteral("Incentivo de %1 desatualizado: nenhum cálculo registrado depois destas "
                                               "alterações: ")
                                    .arg(ano);
    return antes + quais.join(QStringLiteral("; ")) + QLatin1Char('.');
}

}  // namespace data
