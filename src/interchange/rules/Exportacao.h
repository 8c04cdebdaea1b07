#pragma once
// The export of a municipality's closed months: the months offered, and the ticked months
// marked as sent in one unit that commits only once the four files, which carry the months
// as marked, are all in place.
#include <QDate>
#include <QString>
#include <QStringList>
#include <QVector>
#include <functional>
#include <stdexcept>

namespace db {
class Connection;
}

namespace interchange {

struct Instalacao {
    QString ano;
    QString uf;
    int cidade = 0;
    QString codigoIbge;  // empty when no city row has the identifier (a state's own follow-up)
};

// The municipality's name and IBGE code, from TB_CIDADE; both empty when none.
struct Cidade {
    QString nome;
    QString codigoIbge;
};
Cidade cidadeDaInstalacao(db::Connection& conexao, int cidade);

// The months of the year that have left the open state, in month order.
QVector<int> mesesParaExportar(db::Connection& conexao, const Instalacao& inst);

class ErroExportacao : public std::runtime_error {
public:
    explicit ErroExportacao(const QString& mensagem);
    QString mensagem() const { return mensagem_; }

private:
    QString mensagem_;
};

struct ResultadoExportacao {
    QStringList gravados;   // full paths of the files written
    QStringList removidos;  // older files of tables without rows, removed
    int marcados = 0;       // months moved from closed to sent
};

// Marks the months "3" with DT_ENVIO = hoje (a month already sent keeps its first date)
// and writes their files, and their manifest (Manifesto.h), into pasta (which must exist),
// as marked: under temporary names
// first, then into place all together or not at all (an older file of the same name is
// set aside and comes back when a later step fails). The marking commits only once every
// file is in place: a failure before leaves no file written or replaced and no month
// marked, and the export can simply be repeated. progresso is told before each table
// (tables done, table name) and before the files go into place (4, empty name); returning
// false cancels: nothing written, nothing marked. Throws ErroExportacao, whose message
// says, when the marking itself failed after the files were put in place, that the files
// were written and the months not marked (or a database error from the marking's start,
// before anything was written).
using AcompanhaExportacao = std::function<bool(int feitas, const QString& tabela)>;
ResultadoExportacao exportaMeses(db::Connection& conexao, const Instalacao& inst, const QVector<int>& meses,
                                 const QString& pasta, const QDate& hoje = QDate::currentDate(),
                                 const AcompanhaExportacao& progresso = {});

}  // namespace interchange
