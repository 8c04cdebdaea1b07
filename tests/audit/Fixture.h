#pragma once
// A state's year (MG, 2005) with one fault of each audit rule and a clean municipality:
//  - Abadia dos Dourados: January to March, closed, March exported with its date; every
//    month adds up. No finding.
//  - Lavras: January closed with medications of 90,00 against 100,00 spent, and a
//    commitment also recorded by Abaeté; February's "Saldo Anterior" 1.025,00 where
//    January carries 1.030,00, and a medication the state did not agree; no March;
//    April exported without a sending date, a line of 3 × 10,00 stored as 30,05 and an
//    invoice whose CNPJ has a wrong check digit; May open.
//  - Abaeté: January closed spending 100,00 of a total of 80,00, with the commitment
//    Lavras also recorded.
// The parameter record makes the database a state installation of MG in 2005.
#include <QString>

namespace db {
class Connection;
}

namespace fixture {

inline const QString ano = QStringLiteral("2005");
inline const QString uf = QStringLiteral("MG");
constexpr int limpa = 3100104;   // Abadia dos Dourados
constexpr int abaete = 3100203;  // Abaeté
constexpr int lavras = 3138203;  // Lavras

struct Medicamentos {
    int pactuado = 0;      // agreed for MG
    int naoPactuado = 0;   // in the list, not agreed for MG
    QString nomeNaoPactuado;
};

// Writes the year; returns the medications it used.
Medicamentos escreve(db::Connection& c);

}  // namespace fixture
