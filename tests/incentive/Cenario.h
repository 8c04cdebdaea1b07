#pragma once
// A small year of pacts and rates for the incentive tests, written with statements:
// 2004, rates 1,00 / 0,50 / 0,25 per inhabitant, a state exception for MG (0,75) and a
// municipal one for Lavras (0,90); pacts of Lavras (1.000 inhabitants), Varginha
// (2.000), Abaeté (no population) and São Paulo (500); exceptions of 2003 that 2004
// must not use, and a 2003 result that a 2004 calculation must leave alone.
#include <QList>
#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

namespace cenario {

inline const QString ano = QStringLiteral("2004");
constexpr int abaete = 3100203;
constexpr int lavras = 3138203;
constexpr int varginha = 3170701;
constexpr int saoPaulo = 3550308;

void executa(db::Connection& c, const QString& sql, const QVariantList& valores = {});
void pacto(db::Connection& c, const QString& ano, const QString& uf, int cidade, const QVariant& populacao,
           const QString& modalidade = QStringLiteral("TDM"));
void repassePadrao(db::Connection& c, const QString& ano, double federal, double estadual, double municipal);
void excecaoEstadual(db::Connection& c, const QString& ano, const QString& uf, double valor);
void excecaoMunicipal(db::Connection& c, const QString& ano, const QString& uf, int cidade, double valor);
void monta(db::Connection& c);

// The rows of TB_TOTAL_INCENTIVO_ANUAL of a year, in key order, as
// "UF|cidade|federal|estadual|municipal" with the values in the general float text
// (empty for null).
QStringList resultados(db::Connection& c, const QString& ano = cenario::ano);
// What the calculation gives for the scenario's year.
QStringList esperado();

}  // namespace cenario
