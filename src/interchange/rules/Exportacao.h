#pragma once
// The export of a municipality's closed months: the months offered, the four files
// written under temporary names and renamed into place, and the ticked months marked
// as sent in one unit once all four files are in place.
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

// Writes the months' files into pasta (which must exist) and marks the months "3" with
// DT_ENVIO = hoje; a month already sent keeps its first date. Nothing is marked unless
// all four files were written; a failure leaves no half-written file and older files as
// they were. progresso is told before each table (tables done, table name); returning
// false cancels: nothing written, nothing marked. Throws ErroExportacao (or a database
// error while marking).
using AcompanhaExportacao = std::function<bool(int feitas, const QString& tabela)>;
ResultadoExportacao exportaMeses(db::Connection& conexao, const Instalacao& inst, const QVector<int>& meses,
                                 const QString& pasta, const QDate& hoje = QDate::currentDate(),
                                 const AcompanhaExportacao& progresso = {});

}  // namespace interchange
