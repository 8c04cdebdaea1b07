#pragma once
// Rows of follow-up written directly with statements, for the report tests: month
// headers, annual incentives, medication lines and expenditure documents.
#include <QDate>
#include <QString>
#include <QVariant>

namespace db {
class Connection;
}

namespace fixture {

inline const QString ano = QStringLiteral("2003");
inline const QString uf = QStringLiteral("MG");
constexpr int lavras = 3138203;
constexpr int abaete = 3100203;
constexpr int semCidade = 3199999;  // a municipality the city table does not have

// Medications of the reference list: two of the minimum list, one other pacted.
constexpr int aas = 1;           // "Ácido acetilsalicílico 100 mg comprimido", minimum list
constexpr int amoxicilina = 4;   // "Amoxicilina 500 mg cápsula", minimum list
constexpr int fluoxetina = 40;   // "Fluoxetina 20 mg cápsula", other pacted

void exec(db::Connection& c, const QString& sql, const QVariantMap& params = {});

void parametros(db::Connection& c, int cidade, const QString& ano = fixture::ano, const QString& uf = fixture::uf);

struct Valores {
    QVariant saldo = 0, federal = 0, estadual = 0, municipal = 0, medicamentos = 0, gastos = 0;
};
void cabecalho(db::Connection& c, int cidade, int mes, const Valores& v, const QString& uf = fixture::uf);
void incentivo(db::Connection& c, int cidade, double federal, double estadual, double municipal,
               const QString& uf = fixture::uf);
void compra(db::Connection& c, int cidade, int mes, int medicamento, int quantidade, double unitario,
            const QString& uf = fixture::uf);
void documento(db::Connection& c, int cidade, int mes, const QString& tipoDoc, const QString& tipoFavorecido,
               const QString& numero, const QDate& data, double valor, const QString& favorecido = QStringLiteral("11222333000181"));

}  // namespace fixture
