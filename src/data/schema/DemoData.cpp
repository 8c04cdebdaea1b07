#include "data/schema/DemoData.h"

#include "fbapi/FbClient.h"

#include <QDate>
#include <QHash>
#include <QList>
#include <QString>
#include <QVariantList>

#include <cmath>
#include <stdexcept>
#include <vector>

namespace data {

namespace {

// Reais per inhabitant per year.
constexpr double federalRate = 1.00;
constexpr double stateRate = 0.50;
constexpr double municipalRate = 0.50;
constexpr double stateException = 0.65;  // for demoUf

struct MunicipalException {
    int municipality;
    double rate;
};
const MunicipalException municipalExceptions[] = {
    {demoMunicipality, 0.80},
    {3170701, 0.75},  // Varginha
    {3132404, 1.00},  // Itajubá
    {3146107, 0.70},  // Ouro Preto
    {3121605, 0.90},  // Diamantina
};

// Illustrative yearly growth applied to the census figures of the reference data.
constexpr int censusYear = 2022;
constexpr double growthPerYear = 0.006;

double round2(double v)
{
    return std::round(v * 100.0) / 100.0;
}

QString money(double v)
{
    return QString::number(round2(v), 'f', 2);
}

// A 14-digit taxpayer number: eight digits, branch 0001 and the two check digits.
QString cnpj(const char* root)
{
    QString digits = QString::fromLatin1(root) + QStringLiteral("0001");
    for (int pass = 0; pass < 2; ++pass) {
        int sum = 0;
        int weight = 2;
        for (int i = digits.size() - 1; i >= 0; --i) {
            sum += digits[i].digitValue() * weight;
            weight = weight == 9 ? 2 : weight + 1;
        }
        const int rest = sum % 11;
        digits += QString::number(rest < 2 ? 0 : 11 - rest);
    }
    return digits;
}

enum Payee { DistribuidoraA, DistribuidoraB, Drogaria, IndustriaPrivada, IndustriaPublica, Secretaria, Banco };

struct PayeeData {
    const char* root;
    const char* type;  // null for the bank, which receives only deposits
};
const PayeeData payees[] = {
    {"21436587", "1"}, {"30471122", "1"}, {"44120396", "2"}, {"57210843", "3"},
    {"60894217", "4"}, {"18715383", "5"}, {"90400888", nullptr},
};

struct Line {
    int medication;
    char origin;  // 'M' bought by the municipality, 'E' supplied by the state
    double unitPrice;
    int quantity;
    double total() const { return unitPrice * quantity; }
};

// A document proving the purchase of some lines (N, E, G) or, with no lines, a deposit
// of the month's municipal counterpart (D).
struct Document {
    char type;
    Payee payee;
    const char* number;
    int day;
    std::vector<int> lines;
};

struct Month {
    int month;
    char state;             // SITUACAO
    double stateShare;      // of the monthly state incentive actually transferred
    double income;          // VL_RENDIMENTOS_APLICADOS
    std::vector<Line> lines;
    std::vector<Document> documents;
};

const double initialBalance = 6842.15;

// January exported, February (state transfer late) and March (paid twice) closed,
// April being filled in.
const Month months[] = {
    {1, '3', 1.0, 18.42,
     {{28, 'M', 0.0389, 60000}, {4, 'M', 0.1875, 18000}, {21, 'M', 0.0612, 30000}, {23, 'M', 0.0745, 24000},
      {40, 'M', 0.0910, 8000}, {37, 'M', 0.0655, 6000}, {33, 'E', 0.0840, 15000}, {8, 'E', 0.0215, 20000}},
     {{'E', DistribuidoraA, "NE-%1/0007", 6, {0, 1}},
      {'N', DistribuidoraA, "004512", 12, {0, 1}},
      {'N', DistribuidoraB, "118230", 14, {2, 3}},
      {'N', Drogaria, "000981", 20, {4, 5}},
      {'G', Secretaria, "GR-0031/%1", 22, {6, 7}}}},
    {2, '2', 0.0, 21.07,
     {{12, 'M', 0.0472, 40000}, {27, 'M', 0.0530, 30000}, {18, 'M', 0.0198, 50000}, {10, 'M', 0.2240, 10000},
      {5, 'M', 2.8900, 600}, {43, 'M', 6.4500, 150}, {35, 'E', 0.0145, 40000}, {2, 'E', 0.0112, 30000},
      {42, 'E', 0.1280, 5000}},
     {{'D', Banco, "DEP-%1-02", 3, {}},
      {'E', DistribuidoraB, "NE-%1/0019", 5, {0, 1, 2}},
      {'N', DistribuidoraB, "118771", 9, {0, 1, 2}},
      {'N', IndustriaPublica, "2207", 16, {3}},
      {'N', Drogaria, "001044", 18, {4, 5}},
      {'G', Secretaria, "GR-0058/%1", 24, {6, 7, 8}}}},
    {3, '2', 2.0, 15.90,
     {{28, 'M', 0.0395, 50000}, {14, 'M', 0.0420, 40000}, {6, 'M', 0.0385, 40000}, {3, 'M', 0.3150, 6000},
      {30, 'M', 0.1460, 10000}, {29, 'M', 0.9800, 1500}, {44, 'M', 0.2110, 4000}, {36, 'M', 0.3475, 4000},
      {1, 'E', 0.0175, 40000}, {31, 'E', 0.0230, 20000}},
     {{'E', DistribuidoraA, "NE-%1/0026", 4, {0, 1, 2}},
      {'N', DistribuidoraA, "004790", 10, {0, 1, 2}},
      {'N', IndustriaPrivada, "78342", 13, {3, 4}},
      {'N', Drogaria, "001102", 19, {5, 6, 7}},
      {'G', Secretaria, "GR-0077/%1", 23, {8}},
      {'G', Secretaria, "GR-0081/%1", 27, {9}}}},
    {4, '1', 1.0, 0.0,
     {{20, 'M', 0.0590, 12000}, {19, 'M', 0.1020, 20000}, {41, 'M', 0.1290, 3000}},
     {{'N', DistribuidoraB, "119305", 8, {0, 1}}}},
};

void exec(db::fb::Transaction& tr, const QString& sql, const QVariantList& values)
{
    db::fb::Statement st(tr, sql);
    st.execute(values);
}

}  // namespace

void loadDemoData(db::fb::Transaction& tr)
{
    const int year = QDate::currentDate().year();
    const QString ano = QString::number(year);
    const QString uf = QString::fromLatin1(demoUf);

    exec(tr,
         QStringLiteral("INSERT INTO TB_PARAMETRO_KORVA (SG_SISTEMA, NO_SISTEMA, DS_CABECALHO1, DS_CABECALHO2, "
                        "DS_CABECALHO3, DS_PATH_ATUALIZACAO_SISTEMA, NU_ANO_COMPET, CO_UF, CO_CIDADE) "
                        "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
         {QStringLiteral("KORVA"),
          QStringLiteral("Sistema de Acompanhamento do Incentivo à Assistência Farmacêutica Básica"),
          QStringLiteral("Secretaria de Saúde (demonstração)"),
          QStringLiteral("Coordenação de Assistência Farmacêutica"),
          QStringLiteral("Instalação de demonstração - dados fictícios"), QStringLiteral("\\\\servidor\\korva"), ano, uf,
          demoMunicipality});

    // Rates of the year.
    exec(tr,
         QStringLiteral("INSERT INTO TB_REPASSE_MESTRE (NU_ANO_COMPET, VL_REPASSE_MUNICIPAL_MESTRE, "
                        "VL_REPASSE_ESTADUAL_MESTRE, VL_REPASSE_FEDERAL_MESTRE) VALUES (?, ?, ?, ?)"),
         {ano, municipalRate, stateRate, federalRate});
    exec(tr,
         QStringLiteral("INSERT INTO TB_REPASSE_ESTADUAL_EXCESSAO (NU_ANO_COMPET, CO_UF, VL_REPASSE_ESTADUAL_EXCESSAO) "
                        "VALUES (?, ?, ?)"),
         {ano, uf, stateException});
    QHash<int, double> municipalRates;
    {
        db::fb::Statement insert(tr, QStringLiteral("INSERT INTO TB_REPASSE_MUNICIPAL_EXCESSAO (NU_ANO_COMPET, CO_UF, "
                                                    "CO_CIDADE, VL_REPASSE_MUNICIPAL_EXCESSAO) VALUES (?, ?, ?, ?)"));
        for (const MunicipalException& e : municipalExceptions) {
            insert.execute({ano, uf, e.municipality, e.rate});
            municipalRates.insert(e.municipality, e.rate);
        }
    }

    // Every municipality of the state is pacted with this year's census estimate. The
    // annual incentive itself is the incentive calculation's (run by korva-db once the
    // database is made); the months below record the transfers the installation's
    // municipality received, a twelfth of its shares: federal at the standard rate, state
    // at the state's exception, municipal at its own exception.
    struct Pact {
        int municipality;
        double population;
    };
    QList<Pact> pacts;
    {
        db::fb::Statement census(tr, QStringLiteral("SELECT R.CO_CIDADE, R.QT_POPULACAO FROM RL_CIDADE_ITEMCENSOIBGE R "
                                                    "JOIN TB_CIDADE C ON C.CO_SEQ_CIDADE = R.CO_CIDADE "
                                                    "WHERE C.CO_UF = ? AND R.NU_ANO_CENSO = ? AND R.CO_ITEM_CENSO = 1 "
                                                    "ORDER BY R.CO_CIDADE"));
        census.execute({uf, QString::number(censusYear)});
        while (census.next()) {
            const double base = census.value(1).toDouble();
            pacts << Pact{census.value(0).toInt(), std::round(base * (1.0 + growthPerYear * (year - censusYear)))};
        }
    }
    if (pacts.isEmpty())
        throw std::runtime_error("Dados de demonstração: nenhum município com população de referência");

    double demoFederal = 0, demoState = 0, demoMunicipal = 0;
    {
        db::fb::Statement estimate(tr, QStringLiteral("INSERT INTO RL_CIDADE_ITEMCENSOIBGE (CO_CIDADE, NU_ANO_CENSO, "
                                                      "CO_ITEM_CENSO, QT_POPULACAO) VALUES (?, ?, 2, ?)"));
        db::fb::Statement pact(tr, QStringLiteral("INSERT INTO TB_CIDADE_PACTUACAO (NU_ANO_COMPET, CO_UF, CO_CIDADE, "
                                                  "CO_FORMA_PACTUACAO, QT_POPULACAO, NU_ANO_CENSO) "
                                                  "VALUES (?, ?, ?, ?, ?, ?)"));
        for (const Pact& p : pacts) {
            static const char* const modality[10] = {"TDM", "TDM", "TDM", "TDM", "TDM",
                                                     "TDM", "PDM", "PDM", "TCE", "PCE"};
            estimate.execute({p.municipality, ano, p.population});
            pact.execute({ano, uf, p.municipality, QString::fromLatin1(modality[p.municipality % 10]), p.population,
                          ano});
            if (p.municipality == demoMunicipality) {
                demoFederal = p.population * federalRate;
                demoState = p.population * stateException;
                demoMunicipal = p.population * municipalRates.value(p.municipality, municipalRate);
            }
        }
    }
    if (demoFederal == 0)
        throw std::runtime_error("Dados de demonstração: município da instalação sem população");

    // The follow-up of the installation's municipality.
    QHash<int, bool> minimumList;
    {
        db::fb::Statement list(tr, QStringLiteral("SELECT CO_SEQ_MEDICAMENTO, ST_ELENCO_MINIMO FROM TB_ELENCO_MINIMO"));
        list.execute();
        while (list.next())
            minimumList.insert(list.value(0).toInt(), list.value(1).toString() == QLatin1String("S"));
    }

    exec(tr,
         QStringLiteral("INSERT INTO TB_SALDO_INICIAL_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, VL_SALDO_MUNICIPIO, "
                        "NU_MES_COMPET) VALUES (?, ?, ?, ?, ?)"),
         {ano, uf, demoMunicipality, initialBalance, QStringLiteral("1")});

    db::fb::Statement header(
        tr, QStringLiteral("INSERT INTO TB_MOVIMENTO_MUNICIPIO (NU_ANO_COMPET, CO_UF, CO_CIDADE, NU_MES_COMPET, "
                           "VL_SALDO_ANTERIOR, VL_ALOC_FEDERAL, VL_ALOC_ESTADUAL, VL_ALOC_MUNICIPAL, VL_REC_GASTOS, "
                           "SITUACAO, VL_TOT_OUTROS_PACTUADA, VL_ALOC_MED, DT_FECHAMENTO, DT_ENVIO, "
                           "VL_RENDIMENTOS_APLICADOS) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    // The line numbers are the database's, as for lines typed in.
    db::fb::Statement line(tr, QStringLiteral("INSERT INTO TB_EXECUCAO_FISICA_MUNICIPIO (NU_ANO_COMPET, CO_UF, "
                                              "CO_CIDADE, NU_MES_COMPET, CO_SEQ_MEDICAMENTO, QT_MEDICAMENTO, "
                                              "VL_UNITARIO, VL_TOTAL, ST_ORIGEM) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    db::fb::Statement document(tr, QStringLiteral("INSERT INTO TB_FONTE_COMPROVACAO_MUNICIPIO (NU_ANO_COMPET, CO_UF, "
                                                  "CO_CIDADE, NU_MES_COMPET, ST_TIPO_DOC, NU_FAVORECIDO, "
                                                  "NR_NUMERO_DOC, ST_TIPO_FAVORECIDO, DT_DOC, VL_DOC) "
                                                  "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));

    double balance = initialBalance;
    for (const Month& m : months) {
        const QString mes = QString::number(m.month);
        const double federal = round2(demoFederal / 12);
        const double state = round2(demoState / 12 * m.stateShare);
        const double municipal = round2(demoMunicipal / 12);

        double spent = 0, others = 0, fromState = 0;
        for (const Line& l : m.lines) {
            spent += l.total();
            if (!minimumList.value(l.medication))
                others += l.total();
            if (l.origin == 'E')
                fromState += l.total();
            line.execute({ano, uf, demoMunicipality, mes, l.medication, l.quantity, l.unitPrice, l.total(),
                          QString(QLatin1Char(l.origin))});
        }
        spent = round2(spent);
        fromState = round2(fromState);

        double invoices = 0, deliveryNotes = 0;
        for (const Document& d : m.documents) {
            double value = 0;
            for (int i : d.lines)
                value += m.lines[i].total();
            value = round2(d.type == 'D' ? municipal : value);
            if (d.type == 'N')
                invoices += value;
            if (d.type == 'G')
                deliveryNotes += value;
            const PayeeData& payee = payees[d.payee];
            QString number = QString::fromLatin1(d.number);
            if (number.contains(QLatin1String("%1")))
                number = number.arg(year);
            document.execute({ano, uf, demoMunicipality, mes, QString(QLatin1Char(d.type)), cnpj(payee.root),
                              number,
                              payee.type ? QVariant(QString::fromLatin1(payee.type)) : QVariant(),
                              QDate(year, m.month, d.day), value});
        }

        const bool closed = m.state != '1';
        if (closed && (money(spent) != money(invoices + deliveryNotes) || money(fromState) != money(deliveryNotes)))
            throw std::logic_error("Dados de demonstração: mês fechado que não fecha");
        if (balance + federal + state + municipal + fromState + m.income < spent)
            throw std::logic_error("Dados de demonstração: gasto maior que o total");

        const QVariant closing = closed ? QVariant(QDate(year, m.month + 1, 5)) : QVariant();
        const QVariant sent = m.state == '3' ? QVariant(QDate(year, m.month + 1, 10)) : QVariant();
        header.execute({ano, uf, demoMunicipality, mes, balance, federal, state, municipal, spent,
                        QString(QLatin1Char(m.state)), others, fromState, closing, sent, m.income});
        // Carried into the next month as the follow-up window does: without the income.
        balance = round2(balance + federal + state + municipal + fromState - spent);
    }
}

}  // namespace data
