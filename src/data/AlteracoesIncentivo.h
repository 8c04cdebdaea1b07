#pragma once
// When a year's pacts and rates last changed, and when its annual incentive was last
// calculated: the table TB_ALTERACAO_INCENTIVO, one row per year and kind of change,
// kept by triggers on the pact table and the three rate tables, and one row per year
// that the incentive calculation writes. A number from one generator orders the rows
// whatever the clock says: a change whose number is greater than the calculation's came
// after it, and the year's stored incentive no longer follows from its pacts and rates.
//
// A database made before this record existed lacks the table, its generator and its
// triggers; atualizaBanco creates what is missing. The statements are the same in
// dialect 1 and 3 (TIMESTAMP, no division, no quoted names), so they run through the
// program's own connection, on a new database and on an older one alike.
//
// atualizaBanco also brings the per-month line numbering of an older database to the
// current form: the triggers of TB_FONTE_COMPROVACAO_MUNICIPIO and
// TB_EXECUCAO_FISICA_MUNICIPIO read the next number from a descending index rather than
// take a MAX over the month's rows, and the indexes are created.
#include <QDateTime>
#include <QList>
#include <QString>
#include <QStringList>

namespace db {
class Connection;
}

namespace data {

// The objects of the record that the database lacks, by name; empty when it has them all.
QStringList faltamAlteracoesIncentivo(db::Connection& conexao);

// What bringing a database up to date did.
struct AtualizacaoBanco {
    QStringList criados;  // the objects created, in order
    QString falha;        // the engine's words when one could not be created; empty when all went well
    // The same for the line numbering; the numbers stay right without it, only slower
    // to find in a month of many lines.
    QString falhaNumeracao;
    // For the user when something could not be created: what is missing, what follows
    // from it, the engine's words, one paragraph for each of the two. Empty otherwise.
    QString mensagem() const;
};

// Creates what faltamAlteracoesIncentivo names and what the numbering lacks, each
// object in its own commit, and stops (each of the two apart) at the first the database
// refuses (a user without the right to change the tables, an object of the same name
// made otherwise). Data already stored is never touched.
AtualizacaoBanco atualizaBanco(db::Connection& conexao);

// Records that the incentive of ano has just been calculated; joins the write unit it
// is called in. Does nothing on a database without the record.
void registraCalculoIncentivo(db::Connection& conexao, const QString& ano);

// A kind of change after the year's last calculation, and when it last happened.
struct AlteracaoIncentivo {
    QString oQue;  // "Pactuações", "Repasse Padrão", "Exceção Estadual", "Exceção Municipal"
    QDateTime quando;
};

// Whether the stored incentive of a year still follows from its pacts and rates.
struct AtualidadeIncentivo {
    QString ano;
    bool registrado = false;             // the database keeps the record
    QDateTime calculo;                   // the year's last calculation; null when none is recorded
    QList<AlteracaoIncentivo> depois;    // changes after it, pacts first, then the rates

    bool desatualizado() const { return !depois.isEmpty(); }
    // One line for the windows: the last calculation and the date of each change after
    // it; that the database keeps no record; empty when the incentive is current.
    QString linha() const;
};

AtualidadeIncentivo atualidadeIncentivo(db::Connection& conexao, const QString& ano);

}  // namespace data
