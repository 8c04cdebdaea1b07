// The audit of a state's year by korva-db audit, beside one GROUP BY pass over the same
// tables measured in the same run: 853 municipalities of MG × 12 months, each month a
// header, 30 medication lines and 10 documents, every month adding up but for a few
// faults planted so that the audit has something to say. Goal: the audit at most 3 times
// the GROUP BY pass; the peak memory of each is printed.
//
// Every measurement runs in a child process of its own, whose peak memory is its own:
//  - "grouped": the three grouped reads (headers, medication lines and documents by
//    municipality and month), timed after the connection is open;
//  - "audit": auditoria::audita, the command's library, timed likewise;
//  - the command itself, korva-db audit, timed as a whole process, beside the whole
//    process of the grouped pass.
// A measurement that fails, or an audit that does not find exactly the planted faults,
// stops the benchmark with an error and no ratio.
#include "audit/rules/Auditoria.h"
#include "data/Installation.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Connection.h"
#include "db/Statement.h"
#include "fbapi/FbClient.h"
#include "text/Formats.h"

#include <QCoreApplication>
#include <QDate>
#include <QElapsedTimer>
#include <QTemporaryDir>

#include <QFile>

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <tuple>
#include <vector>

extern char** environ;

namespace {

const QString ano = QStringLiteral("2003");
const QString uf = QStringLiteral("MG");
constexpr int linhasPorMes = 30;
constexpr int documentosPorMes = 10;
// Lines planted with a total off by a real.
constexpr int linhasErradas = 7;
// Each wrong line: its total and its month's closing; the repeated commitment, once per
// place; the wrong CNPJ.
constexpr int achadosPlantados = linhasErradas * 2 + 2 + 1;

[[noreturn]] void falha(const char* o_que)
{
    std::fprintf(stderr, "bench_audit: %s\n", o_que);
    std::exit(1);
}

// A CNPJ with its check digits, from its first twelve.
QString cnpj(qint64 base)
{
    QString d = QStringLiteral("%1").arg(base, 12, 10, QLatin1Char('0'));
    for (int n = 12; n <= 13; ++n) {
        int soma = 0;
        // Weights 5..2,9..2 for the first digit and 6..2,9..2 for the second.
        const QList<int> pesos = n == 12 ? QList<int>{5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2}
                                         : QList<int>{6, 5, 4, 3, 2, 9, 8, 7, 6, 5, 4, 3, 2};
        for (int p = 0; p < n; ++p)
            soma += d.at(p).digitValue() * pesos.at(p);
        const int dv = 11 - soma % 11;
        d += QString::number(dv > 9 ? 0 : dv);
    }
    return d;
}

// The year written with the client API's prepared inserts in one transaction.
void preenche(const QString& path)
{
    const installation::DatabaseSettings s = installation::databaseSettings(path);
    db::fb::Database banco;
    banco.attach(path, s.user, s.password);
    {
        db::fb::Transaction tr(banco);
        tr.executeImmediate(QStringLiteral("insert into tb_parametro_korva (sg_sistema, no_sistema, nu_ano_compet, co_uf, co_cidade) "
                                           "values ('KORVA', 'KORVA', '2003', 'MG', 0)"));
        std::vector<int> cidades;
        std::vector<int> medicamentos;
        {
            db::fb::Statement q(tr, QStringLiteral("select co_seq_cidade from tb_cidade where co_uf = 'MG' order by co_seq_cidade"));
            q.execute();
            while (q.next())
                cidades.push_back(q.value(0).toInt());
            db::fb::Statement m(tr, QStringLiteral("select co_medicamento from rl_elencominimo_uf where co_uf = 'MG'"));
            m.execute();
            while (m.next())
                medicamentos.push_back(m.value(0).toInt());
        }
        if (cidades.size() != 853 || medicamentos.empty())
            falha("the reference data lack MG's 853 municipalities or its medications");
        QStringList favorecidos;
        for (int i = 0; i < 500; ++i)
            favorecidos << cnpj(112223330000LL + i * 7919LL);

        db::fb::Statement saldo(tr, QStringLiteral("insert into tb_saldo_inicial_municipio (nu_ano_compet, co_uf, co_cidade, "
                                                   "vl_saldo_municipio, nu_mes_compet) values (?, ?, ?, ?, '1')"));
        db::fb::Statement cab(tr, QStringLiteral(
                                      "insert into tb_movimento_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, "
                                      "vl_saldo_anterior, vl_aloc_federal, vl_aloc_estadual, vl_aloc_municipal, vl_rec_gastos, "
                                      "situacao, vl_tot_outros_pactuada, vl_aloc_med, dt_fechamento, dt_envio, vl_rendimentos_aplicados) "
                                      "values (?, ?, ?, ?, ?, ?, 0, 0, ?, ?, 0, ?, ?, ?, 0)"));
        db::fb::Statement med(tr, QStringLiteral(
                                      "insert into tb_execucao_fisica_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, "
                                      "co_seq_med, co_seq_medicamento, qt_medicamento, vl_unitario, vl_total, st_origem) "
                                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?, 'M')"));
        db::fb::Statement doc(tr, QStringLiteral(
                                      "insert into tb_fonte_comprovacao_municipio (nu_ano_compet, co_uf, co_cidade, nu_mes_compet, "
                                      "co_seq_doc, st_tipo_doc, nu_favorecido, nr_numero_doc, st_tipo_favorecido, dt_doc, vl_doc) "
                                      "values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        int plantadas = 0;
        for (size_t c = 0; c < cidades.size(); ++c) {
            const int cidade = cidades[c];
            double saldoAnterior = 10000 + double(c);
            saldo.execute({ano, uf, cidade, saldoAnterior});
            for (int mes = 1; mes <= 12; ++mes) {
                const QString m = QString::number(mes);
                qint64 centavos = 0;
                for (int i = 0; i < linhasPorMes; ++i) {
                    const int qt = (i * 7 + mes + int(c)) % 50 + 1;
                    const double unitario = 0.25 * ((i + mes) % 9 + 1);
                    double total = qt * unitario;
                    centavos += qRound64(total * 100);
                    // A few lines stored a real off: the month then does not close either.
                    if (i == 0 && mes == 6 && c % 120 == 5 && plantadas < linhasErradas) {
                        total += 1;
                        ++plantadas;
                    }
                    med.execute({ano, uf, cidade, m, i + 1, medicamentos[size_t(i) % medicamentos.size()], qt, unitario, total});
                }
                const double gastos = double(centavos) / 100;
                const qint64 guia = centavos / 5;
                const qint64 nota = centavos - guia;
                for (int k = 0; k < documentosPorMes; ++k) {
                    const bool ehGuia = k >= 8;
                    const qint64 parte = ehGuia ? (k == 8 ? guia / 2 : guia - guia / 2) : (k < 7 ? nota / 8 : nota - 7 * (nota / 8));
                    doc.execute({ano, uf, cidade, m, k + 1, ehGuia ? QStringLiteral("G") : QStringLiteral("N"),
                                 favorecidos.at(int((c * 12 + size_t(mes) * 10 + size_t(k)) % 500)),
                                 QStringLiteral("%1-%2-%3").arg(cidade).arg(mes).arg(k), ehGuia ? QStringLiteral("5") : QStringLiteral("1"),
                                 QDate(2003, mes, 10), double(parte) / 100});
                }
                const double alocMed = double(guia) / 100;
                const double federal = gastos + 12.5;
                cab.execute({ano, uf, cidade, m, saldoAnterior, federal, gastos, mes <= 10 ? QStringLiteral("3") : QStringLiteral("2"),
                             alocMed, QDate(2003, mes, 28), mes <= 10 ? QVariant(QDate(2003, mes, 28)) : QVariant()});
                saldoAnterior = saldoAnterior + federal + alocMed - gastos;
            }
        }
        if (plantadas != linhasErradas)
            falha("the planted faults were not all written");
        // A commitment recorded by two municipalities, and one whose payee's check digits
        // are wrong: commitments take no part in the closing, so each is its own finding.
        const QString errado = favorecidos.at(0).left(13) + QString::number((favorecidos.at(0).at(13).digitValue() + 1) % 10);
        for (const auto& [c, favorecido, numero] : {std::tuple{size_t(10), favorecidos.at(1), QStringLiteral("EMP-1")},
                                                     std::tuple{size_t(700), favorecidos.at(1), QStringLiteral("EMP-1")},
                                                     std::tuple{size_t(300), errado, QStringLiteral("EMP-2")}})
            doc.execute({ano, uf, cidades[c], QStringLiteral("3"), documentosPorMes + 1, QStringLiteral("E"), favorecido, numero,
                         QStringLiteral("1"), QDate(2003, 3, 10), 10.0});
        tr.commit();
    }
    banco.detach();
}

// One child: the grouped pass or the audit, timed after the connection is open.
int filho(const QString& modo, const QString& path)
{
    text::setBrazilianFormats();
    db::Connection c;
    installation::configure(c, path);
    c.open();
    QElapsedTimer t;
    t.start();
    qint64 linhas = 0;
    if (modo == QLatin1String("grouped")) {
        const QString onde = QStringLiteral("where nu_ano_compet = '2003' and co_uf = 'MG'");
        for (const QString& sql :
             {QStringLiteral("select co_cidade, nu_mes_compet, sum(vl_rec_gastos), count(*) from tb_movimento_municipio ") + onde +
                  QStringLiteral(" group by co_cidade, nu_mes_compet"),
              QStringLiteral("select co_cidade, nu_mes_compet, sum(vl_total), count(*) from tb_execucao_fisica_municipio ") + onde +
                  QStringLiteral(" group by co_cidade, nu_mes_compet"),
              QStringLiteral("select co_cidade, nu_mes_compet, st_tipo_doc, sum(vl_doc), count(*) from tb_fonte_comprovacao_municipio ") +
                  onde + QStringLiteral(" group by co_cidade, nu_mes_compet, st_tipo_doc")}) {
            db::Statement s(c, {sql});
            linhas += s.selectAll().size();
        }
    } else {
        // Where the time goes, step by step, on the standard error.
        QElapsedTimer passo;
        passo.start();
        QString etapa;
        const auditoria::Resultado r = auditoria::audita(c, auditoria::Filtro{ano, uf, std::nullopt}, [&](const auditoria::Progresso& p) {
            if (!etapa.isEmpty())
                std::fprintf(stderr, "  %-32s %7.3f s\n", qPrintable(etapa), passo.restart() / 1000.0);
            etapa = p.etapa;
            return true;
        });
        linhas = r.achados.size();
    }
    std::printf("%.6f %lld\n", t.elapsed() / 1000.0, linhas);
    return 0;
}

struct Medida {
    double segundos = 0;  // as the child reports it, or the whole process's
    long picoKb = 0;
    int saida = 0;
    QString texto;
};

// Runs a program and waits for it, with its own peak memory.
Medida roda(const QString& programa, const QStringList& args)
{
    std::vector<QByteArray> guardados;
    std::vector<char*> argv;
    guardados.push_back(programa.toLocal8Bit());
    for (const QString& a : args)
        guardados.push_back(a.toLocal8Bit());
    for (QByteArray& b : guardados)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    QTemporaryDir d;
    const QByteArray saida = d.filePath(QStringLiteral("out")).toLocal8Bit();
    posix_spawn_file_actions_t acoes;
    posix_spawn_file_actions_init(&acoes);
    posix_spawn_file_actions_addopen(&acoes, 1, saida.constData(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    QElapsedTimer t;
    t.start();
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], &acoes, nullptr, argv.data(), environ) != 0)
        falha("could not start a measurement");
    int estado = 0;
    rusage uso{};
    if (wait4(pid, &estado, 0, &uso) != pid || !WIFEXITED(estado))
        falha("a measurement ended abnormally");
    Medida m;
    m.segundos = t.elapsed() / 1000.0;
    m.picoKb = uso.ru_maxrss;
    m.saida = WEXITSTATUS(estado);
    posix_spawn_file_actions_destroy(&acoes);
    QFile f(QString::fromLocal8Bit(saida));
    if (f.open(QIODevice::ReadOnly))
        m.texto = QString::fromLocal8Bit(f.readAll());
    return m;
}

Medida filhoMedido(const QString& modo, const QString& path)
{
    Medida m = roda(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), modo, path});
    const QStringList partes = m.texto.split(QLatin1Char(' '));
    bool ok = false;
    if (m.saida != 0 || partes.size() != 2 || (m.segundos = partes.at(0).toDouble(&ok), !ok))
        falha("a timed measurement failed");
    m.texto = partes.at(1).trimmed();
    return m;
}

}  // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.value(0) == QLatin1String("--child"))
        return filho(args.value(1), args.value(2));
    text::setBrazilianFormats();

    // --keep PATH keeps the year in PATH (made when missing) for the next run.
    QTemporaryDir dir;
    const bool guarda = args.value(0) == QLatin1String("--keep") && !args.value(1).isEmpty();
    const QString path = guarda ? args.value(1) : dir.filePath(QStringLiteral("estado.fdb"));
    QElapsedTimer t;
    t.start();
    if (!guarda || !QFile::exists(path)) {
        data::createDatabase(path, false);
        preenche(path);
    }
    std::printf("state year: 853 municipalities x 12 months, %d medication lines and %d documents a month, written in %.1f s\n",
                linhasPorMes, documentosPorMes, t.elapsed() / 1000.0);

    // A first pass warms the file cache for both.
    filhoMedido(QStringLiteral("grouped"), path);
    const Medida agrupado = filhoMedido(QStringLiteral("grouped"), path);
    const Medida auditoria = filhoMedido(QStringLiteral("audit"), path);
    if (auditoria.texto.toInt() != achadosPlantados)
        falha(qPrintable(QStringLiteral("the audit found %1 findings, not the %2 planted").arg(auditoria.texto).arg(achadosPlantados)));
    const Medida comando = roda(QStringLiteral(KORVA_DB_PROGRAM), {QStringLiteral("audit"), QStringLiteral("--database"), path});
    if (comando.saida != 1 || !comando.texto.contains(QStringLiteral("Achados: %1 ").arg(achadosPlantados)))
        falha(qPrintable(QStringLiteral("korva-db audit ended with %1: %2").arg(comando.saida).arg(comando.texto)));
    const Medida agrupadoInteiro = roda(QCoreApplication::applicationFilePath(), {QStringLiteral("--child"), QStringLiteral("grouped"), path});
    if (agrupadoInteiro.saida != 0)
        falha("the grouped pass failed as a whole process");

    std::printf("one GROUP BY pass (3 tables, %s groups) : %7.3f s  peak %7ld KiB\n", qPrintable(agrupado.texto), agrupado.segundos,
                agrupado.picoKb);
    std::printf("audit (%s findings)                    : %7.3f s  peak %7ld KiB\n", qPrintable(auditoria.texto), auditoria.segundos,
                auditoria.picoKb);
    std::printf("  ratio %.2f (goal <= 3.00)\n", auditoria.segundos / agrupado.segundos);
    std::printf("whole processes: korva-db audit %.3f s peak %ld KiB; the GROUP BY pass %.3f s peak %ld KiB; ratio %.2f\n",
                comando.segundos, comando.picoKb, agrupadoInteiro.segundos, agrupadoInteiro.picoKb,
                comando.segundos / agrupadoInteiro.segundos);
    return 0;
}
