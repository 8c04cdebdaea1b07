#pragma once
// The code values the tables store, with the captions the windows and reports show, so
// that no window spells them by hand.
#include <QString>
#include <QStringList>

namespace codigos {

// TB_MOVIMENTO_MUNICIPIO.SITUACAO: the state of a month. "2" and "3" both count as
// closed.
namespace situacao {
inline const QString aberto = QStringLiteral("1");
inline const QString fechado = QStringLiteral("2");
inline const QString enviado = QStringLiteral("3");
inline bool estaFechado(const QString& s) { return s == fechado || s == enviado; }
}  // namespace situacao

// A code and its caption.
struct Codigo {
    QString valor;
    QString nome;
};

// TB_FONTE_COMPROVACAO_MUNICIPIO.ST_TIPO_DOC.
namespace tipoDocumento {
inline const QString notaFiscal = QStringLiteral("N");
inline const QString empenho = QStringLiteral("E");
inline const QString deposito = QStringLiteral("D");
inline const QString guiaRemessa = QStringLiteral("G");
inline const QList<Codigo> todos = {
    {notaFiscal, QStringLiteral("Nota Fiscal")},
    {empenho, QStringLiteral("Empenho")},
    {deposito, QStringLiteral("Depósito")},
    {guiaRemessa, QStringLiteral("Guia Remessa")},
};
}  // namespace tipoDocumento

// TB_FONTE_COMPROVACAO_MUNICIPIO.ST_TIPO_FAVORECIDO.
namespace tipoFavorecido {
inline const QString distribuidora = QStringLiteral("1");
inline const QString drogaria = QStringLiteral("2");
inline const QString industriaPrivada = QStringLiteral("3");
inline const QString industriaPublica = QStringLiteral("4");
inline const QString secretariaEstadual = QStringLiteral("5");
inline const QList<Codigo> todos = {
    {distribuidora, QStringLiteral("Distribuidora")},
    {drogaria, QStringLiteral("Drogaria/Farmácia")},
    {industriaPrivada, QStringLiteral("Industria Privada")},
    {industriaPublica, QStringLiteral("Industria Pública")},
    {secretariaEstadual, QStringLiteral("Sec. Est. de Saúde")},
};
}  // namespace tipoFavorecido

// TB_EXECUCAO_FISICA_MUNICIPIO.ST_ORIGEM.
namespace origem {
inline const QString estado = QStringLiteral("E");
inline const QString municipio = QStringLiteral("M");
inline const QList<Codigo> todos = {
    {estado, QStringLiteral("Estado")},
    {municipio, QStringLiteral("Município")},
};
}  // namespace origem

// TB_ELENCO_MINIMO.ST_ELENCO_MINIMO.
namespace elencoMinimo {
inline const QString sim = QStringLiteral("S");
inline const QString nao = QStringLiteral("N");
}  // namespace elencoMinimo

// The caption of a code in a list; empty when the code is not in it.
inline QString nomeDe(const QList<Codigo>& lista, const QString& valor)
{
    for (const Codigo& c : lista)
        if (c.valor == valor)
            return c.nome;
    return {};
}

}  // namespace codigos
