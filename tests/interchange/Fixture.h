#pragma once
// Months of follow-up written directly with statements, and the tables read back, for
// the interchange tests.
#include <QDate>
#include <QList>
#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

namespace fixture {

inline const QString ano = QStringLiteral("2003");
inline const QString uf = QStringLiteral("MG");
constexpr int lavras = 3138203;  // IBGE 313820
constexpr int abaete = 3100203;

void parametros(db::Connection& c, const QString& ano, const QString& uf, int cidade);
void cabecalho(db::Connection& c, int cidade, int mes, const QString& situacao, double saldo = 100,
               const QVariant& fechamento = QDate(2003, 1, 5), const QVariant& envio = QVariant(),
               const QString& ano = fixture::ano);
void medicamento(db::Connection& c, int cidade, int mes, int medicamento, int quantidade, double unitario,
                 const QString& ano = fixture::ano);
void documento(db::Connection& c, int cidade, int mes, const QString& numero, double valor,
               const QString& ano = fixture::ano);
void saldoInicial(db::Connection& c, int cidade, double valor, int mes = 1, const QString& ano = fixture::ano);

// Every row of a table, all columns, in key order, as text lines ("a|b|c").
QStringList linhas(db::Connection& c, const QString& tabela, const QString& ordem);
// The four tables together.
QStringList tudo(db::Connection& c);

}  // namespace fixture
