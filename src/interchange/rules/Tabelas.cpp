#include "interchange/rules/Tabelas.h"

#include <QRegularExpression>

namespace interchange {

namespace {

using Tipo = Coluna::Tipo;

Coluna texto(const char* nome, int tamanho, bool obrigatoria = false)
{
    Coluna c;
    c.nome = QString::fromLatin1(nome);
    c.tamanho = tamanho;
    c.obrigatoria = obrigatoria;
    return c;
}

Coluna inteiro(const char* nome, qint64 minimo, qint64 maximo, bool obrigatoria = false)
{
    Coluna c;
    c.nome = QString::fromLatin1(nome);
    c.tipo = Tipo::Inteiro;
    c.minimo = minimo;
    c.maximo = maximo;
    c.obrigatoria = obrigatoria;
    return c;
}

// An amount: never below zero, as the follow-up refuses.
Coluna de(const char* nome, Tipo tipo)
{
    Coluna c;
    c.nome = QString::fromLatin1(nome);
    c.tipo = tipo;
    c.naoNegativa = tipo == Tipo::Valor || tipo == Tipo::ValorOpcional;
    return c;
}

Coluna mes(bool obrigatoria)
{
    Coluna c = texto("NU_MES_COMPET", 2, obrigatoria);
    c.mes = true;
    return c;
}

constexpr qint64 intMin = -2147483648LL, intMax = 2147483647LL;
constexpr qint64 smallMin = -32768, smallMax = 32767;

QVector<Coluna> chave(bool comMes)
{
    QVector<Coluna> c{texto("NU_ANO_COMPET", 4, true), texto("CO_UF", 2, true),
                      inteiro("CO_CIDADE", intMin, intMax, true)};
    c[0].ano = true;
    c[1].uf = true;
    c[2].cidade = true;
    if (comMes)
        c << mes(true);
    return c;
}

QVector<TabelaIntercambio> monta()
{
    QVector<TabelaIntercambio> t;

    TabelaIntercambio mov{QStringLiteral("TB_MOVIMENTO"), QStringLiteral("TB_MOVIMENTO_MUNICIPIO"), chave(true), 4};
    mov.colunas << de("VL_SALDO_ANTERIOR", Tipo::Valor) << de("VL_ALOC_FEDERAL", Tipo::Valor)
                << de("VL_ALOC_ESTADUAL", Tipo::Valor) << de("VL_ALOC_MUNICIPAL", Tipo::Valor)
                << de("VL_REC_GASTOS", Tipo::Valor) << texto("SITUACAO", 1) << de("VL_TOT_OUTROS_PACTUADA", Tipo::Valor)
                << de("VL_ALOC_MED", Tipo::Valor) << de("DT_FECHAMENTO", Tipo::Data) << de("DT_ENVIO", Tipo::Data)
                << de("VL_RENDIMENTOS_APLICADOS", Tipo::ValorOpcional);
    t << mov;

    TabelaIntercambio exe{QStringLiteral("TB_EXECUCAO_FISICA"), QStringLiteral("TB_EXECUCAO_FISICA_MUNICIPIO"), chave(true), 4};
    Coluna seqMed = inteiro("CO_SEQ_MED", smallMin, smallMax);
    seqMed.omitida = true;
    Coluna quantidade = inteiro("QT_MEDICAMENTO", 0, quantidadeMaxima);
    quantidade.naoNegativa = true;
    exe.colunas << seqMed << inteiro("CO_SEQ_MEDICAMENTO", smallMin, smallMax, true) << quantidade
                << de("VL_UNITARIO", Tipo::Valor)
                << de("VL_TOTAL", Tipo::Valor) << texto("ST_ORIGEM", 1);
    t << exe;

    TabelaIntercambio fon{QStringLiteral("TB_FONTE_COMPROVACAO"), QStringLiteral("TB_FONTE_COMPROVACAO_MUNICIPIO"),
                          chave(true), 4};
    Coluna seqDoc = inteiro("CO_SEQ_DOC", smallMin, smallMax);
    seqDoc.omitida = true;
    fon.colunas << seqDoc << texto("ST_TIPO_DOC", 1) << texto("NU_FAVORECIDO", 14) << texto("NR_NUMERO_DOC", 20)
                << texto("ST_TIPO_FAVORECIDO", 1) << de("DT_DOC", Tipo::Data) << de("VL_DOC", Tipo::Valor);
    t << fon;

    TabelaIntercambio sal{QStringLiteral("TB_SALDO_INICIAL"), QStringLiteral("TB_SALDO_INICIAL_MUNICIPIO"), chave(false), 3};
    // The month the balance was entered in: may be empty, and is a month when given.
    sal.colunas << de("VL_SALDO_MUNICIPIO", Tipo::Valor) << mes(false);
    t << sal;
    return t;
}

}  // namespace

const QVector<TabelaIntercambio>& tabelasIntercambio()
{
    static const QVector<TabelaIntercambio> tabelas = monta();
    return tabelas;
}

const TabelaIntercambio* tabelaDoArquivo(const QString& nomeArquivo)
{
    if (nomeArquivo.size() < 16 || !nomeArquivo.endsWith(QLatin1String(".txt"), Qt::CaseInsensitive))
        return nullptr;
    const QString palavra = nomeArquivo.mid(12, nomeArquivo.size() - 16);
    for (const TabelaIntercambio& t : tabelasIntercambio())
        if (t.palavra.compare(palavra, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

QString prefixoArquivos(const QString& uf, const QString& ano, const QString& codigoIbge)
{
    return uf + ano + codigoIbge.rightJustified(6, QLatin1Char('0'));
}

QString prefixoDoArquivo(const QString& nomeArquivo)
{
    return nomeArquivo.left(12);
}

QString ufDoArquivo(const QString& nomeArquivo)
{
    return nomeArquivo.left(2);
}

bool nomeDeArquivoDaUf(const QString& nomeArquivo, const QString& uf)
{
    if (uf.isEmpty() || nomeArquivo.mid(6, 6) == QLatin1String("000000"))
        return false;
    const QRegularExpression mascara(QStringLiteral("^%1.{10}TB.*\\.txt$").arg(QRegularExpression::escape(uf)),
                                     QRegularExpression::CaseInsensitiveOption |
                                         QRegularExpression::DotMatchesEverythingOption);
    return mascara.match(nomeArquivo).hasMatch();
}

}  // namespace interchange
