// korva-db: creates a KORVA database (schema, reference data, optionally the
// demonstration installation, whose annual incentive the incentive calculation
// computes), never overwriting an existing file; and loads interchange files into a
// state installation's database, by the import window's rules.
#include "Auditoria.h"
#include "data/AlteracoesIncentivo.h"
#include "data/schema/DatabaseBuilder.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "data/Installation.h"
#include "incentive/rules/Calculo.h"
#include "interchange/rules/Carga.h"
#include "interchange/rules/Interrupcao.h"
#include "text/Formats.h"
#include "Verifica.h"

#include "Copia.h"
#include "Sinais.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>
#include <QStringList>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <optional>
#include <thread>

#ifdef Q_OS_UNIX
#include <pthread.h>
#include <unistd.h>
#endif

using korvadb::esperaSinais;
using korvadb::nomeDoSinal;
using korvadb::sinalRecebido;

namespace {

const char usage[] =
    "Uso: korva-db create [--demo] [CAMINHO]\n"
    "     korva-db import [--database CAMINHO] ARQUIVO...\n"
    "     korva-db audit [--database CAMINHO] [--ano AAAA] [--municipio CODIGO] [--csv ARQUIVO]\n"
    "     korva-db backup ... e korva-db restore ... (korva-db backup --help)\n"
    "     korva-db verifica [--database CAMINHO] [--corrige]\n"
    "\n"
    "Cria um banco de dados do KORVA com o esquema e os dados de referência\n"
    "(UFs, municípios, população, formas de pactuação, medicamentos).\n"
    "\n"
    "  --demo    inclui a instalação de demonstração (município de Lavras/MG,\n"
    "            ano corrente: parâmetros, pactuações, repasses, incentivo anual\n"
    "            e quatro meses de acompanhamento)\n"
    "  CAMINHO   arquivo a criar, ou banco a criar num servidor Firebird\n"
    "            (servidor:/caminho/KORVA.FDB ou servidor/porta:/caminho/KORVA.FDB);\n"
    "            sem ele, KORVA_DATABASE, senão o korva.conf da pasta de dados,\n"
    "            senão KORVA_HOME/KORVA.GDB, senão ~/korva/KORVA.GDB\n"
    "\n"
    "Um arquivo existente nunca é sobrescrito. Num servidor, o usuário e a senha\n"
    "vêm de KORVA_USER e KORVA_PASSWORD, senão do korva.conf da pasta de dados\n"
    "(KORVA_HOME, senão ~/korva), que só o seu dono pode ler.\n"
    "\n"
    "import carrega arquivos de intercâmbio (os gerados por \"Exportar dados\")\n"
    "num banco de instalação estadual, com as regras de \"Importa dados\": os\n"
    "arquivos de um município (mesmos 12 primeiros caracteres do nome: UF, ano,\n"
    "município) carregam juntos, mês a mês nas quatro tabelas; cada mês substitui\n"
    "o mês inteiro ou fica como estava, e um arquivo recusado deixa todos os\n"
    "meses do seu município como estavam. São recusadas, com a sua linha, as\n"
    "linhas que o acompanhamento recusaria (valor negativo ou acima de\n"
    "1.000.000.000.000, quantidade acima de 1.000.000.000, mês fora de 1 a 12,\n"
    "ano que não tem quatro algarismos, UF desconhecida, município que não é\n"
    "da sua UF na tabela de municípios, ano, UF ou município diferente do nome\n"
    "do arquivo) e as do acompanhamento próprio de um estado (município 0).\n"
    "Escreve o resumo por arquivo na saída padrão; num terminal, mostra o\n"
    "andamento (arquivos, linhas, linhas por segundo) numa linha da saída de erro.\n"
    "  --database CAMINHO  banco a usar (arquivo ou servidor); sem ele,\n"
    "                      KORVA_DATABASE, senão o korva.conf, senão\n"
    "                      KORVA_HOME/KORVA.GDB, senão ~/korva/KORVA.GDB\n"
    "  --recentes          aceita arquivos modificados há menos de 5 segundos\n"
    "                      (sem ela são recusados: podem estar sendo gravados)\n"
    "A exportação grava ao lado dos arquivos um manifesto (UF, ano e município\n"
    "seguidos de MANIFESTO.TXT) com o tamanho e o SHA-256 de cada arquivo e as\n"
    "linhas de cada mês; quando ele está ao lado dos arquivos (ou entre eles),\n"
    "um arquivo que não confere é recusado, dizendo o que difere, e o resumo diz\n"
    "quais municípios vieram sem manifesto.\n"
    "Os nomes valem sem distinção de maiúsculas e minúsculas (mg2003313820\n"
    "tb_movimento.txt é um arquivo de movimento). Só arquivos comuns são lidos\n"
    "(um FIFO, dispositivo, socket ou pasta é recusado sem ser aberto), de no\n"
    "máximo 1 GiB; um arquivo que muda enquanto é lido é recusado.\n"
    "SIGTERM ou SIGINT (Ctrl+C) param a importação entre dois meses: o que foi\n"
    "carregado fica, o resumo diz o que não foi; um segundo sinal encerra na\n"
    "hora, e cada mês fica como estava ou inteiro.\n"
    "Saída: 0 quando todo mês de todo arquivo foi carregado; 1 quando algum mês\n"
    "ou arquivo foi recusado, ignorado (nome que não é de uma tabela de\n"
    "intercâmbio) ou não carregado porque o banco de dados falhou; 2 em uso\n"
    "errado, banco que não abre ou instalação municipal (nada carregado);\n"
    "128 + o número do sinal (143 SIGTERM, 130 SIGINT) quando um sinal parou a\n"
    "importação, depois do resumo.\n"
    "Um banco local guarda, enquanto uma importação grava, a marca CAMINHO.importando\n"
    "ao lado do arquivo. Uma importação que parou sem terminar (processo morto,\n"
    "máquina desligada) a deixa: a próxima importação reconstrói antes os índices\n"
    "das quatro tabelas da importação, e diz isso.\n"
    "\n"
    "verifica faz a validação completa do banco pelo próprio Firebird (o que faz\n"
    "gfix -v -full), sem mudar nada; o banco não pode estar aberto por outro programa.\n"
    "  --corrige  quando a validação acha erros, ou uma importação parou sem\n"
    "             terminar, reconstrói os índices das tabelas da importação e\n"
    "             valida de novo\n"
    "Saída: 0 banco válido (depois de corrigido, com --corrige); 1 erros (que a\n"
    "reconstrução não corrigiu, com --corrige) ou importação interrompida sem\n"
    "--corrige; 2 uso errado ou banco que não pôde ser validado.\n";

void printLine(FILE* out, const QString& text)
{
    QString line = text;
    line.replace(QLatin1Char('\n'), QLatin1String(" - "));
    std::fprintf(out, "%s\n", line.toLocal8Bit().constData());
}

int misuse(const QString& message)
{
    printLine(stderr, QStringLiteral("korva-db: %1 (veja korva-db --help)").arg(message));
    return 2;
}

// What an older database lacks, created through the program's own connection; a
// refusal is printed, and the caller decides whether to go on (a numbering left as it
// was numbers right, only slower: it is told, and stops nothing).
bool bringUpToDate(db::Connection& connection)
{
    const data::AtualizacaoBanco a = data::atualizaBanco(connection);
    if (!a.mensagem().isEmpty())
        printLine(stderr, QStringLiteral("korva-db: %1").arg(a.mensagem()));
    return a.falha.isEmpty();
}

// The last step of a creation: the record of the incentive's changes and, for the
// demonstration, the annual incentive of every year with pacts, as "Incentivo Anual"
// calculates it.
void completeDatabase(const QString& database, bool demo)
{
    db::Connection connection;
    installation::configure(connection, database);
    connection.open();
    if (!bringUpToDate(connection))
        throw std::runtime_error("o banco não foi completado");
    if (!demo) {
        connection.close();
        return;
    }
    for (const QString& year : incentivo::anosPactuados(connection)) {
        const incentivo::ResultadoCalculo r = incentivo::calculaIncentivoAnual(connection, year);
        if (!r.recusas.isEmpty())
            throw std::runtime_error(r.mensagem().toStdString());
    }
    connection.close();
}

// The import's progress on a terminal: one line on the standard error, rewritten at
// most a few times a second -- files dealt with, rows loaded, rows per second. Nothing
// when the standard error is not a terminal (a script, a pipe, a log).
class LinhaDeProgresso {
public:
    LinhaDeProgresso()
    {
#ifdef Q_OS_UNIX
        ativa_ = isatty(STDERR_FILENO) == 1;
#endif
        inicio_.start();
    }

    void mostra(const interchange::Progresso& p)
    {
        if (!ativa_ || (escrita_ && ultima_.elapsed() < 250))
            return;
        ultima_.start();
        escrita_ = true;
        const double segundos = inicio_.elapsed() / 1000.0;
        const QLocale br;
        const QString linha = QStringLiteral("arquivos %1 de %2, %3 linhas, %4 linhas/s")
                                  .arg(br.toString(p.arquivo), br.toString(p.arquivos), br.toString(p.linhas),
                                       br.toString(qint64(segundos > 0 ? p.linhas / segundos : 0)));
        std::fprintf(stderr, "\r%s\033[K", linha.toLocal8Bit().constData());
        std::fflush(stderr);
    }

    // Clears the line, so that what follows starts at the margin.
    void termina()
    {
        if (!escrita_)
            return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        escrita_ = false;
    }

private:
    bool ativa_ = false;
    bool escrita_ = false;
    QElapsedTimer inicio_;
    QElapsedTimer ultima_;
};

int import(const QStringList& args)
{
    QString database;
    QStringList files;
    for (int i = 0; i < args.size(); ++i) {
        const QString& arg = args[i];
        if (arg == QLatin1String("--database")) {
            if (i + 1 >= args.size())
                return misuse(QStringLiteral("--database pede um caminho"));
            database = args[++i];
        } else if (arg.startsWith(QLatin1String("--database="))) {
            database = arg.mid(11);
        } else if (arg == QLatin1String("--recentes")) {
            interchange::setIdadeMinimaArquivo(0);
        } else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg.startsWith(QLatin1Char('-')) && arg != QLatin1String("-")) {
            return misuse(QStringLiteral("opção desconhecida: %1").arg(arg));
        } else {
            files << arg;
        }
    }
    if (files.isEmpty())
        return misuse(QStringLiteral("import pede ao menos um arquivo"));
    // Rows per transaction: the kill test lowers it so that commits fall between and
    // around its kills. Not meant for users.
    if (const QByteArray lote = qgetenv("KORVA_LINHAS_POR_CONFIRMACAO"); !lote.isEmpty()) {
        bool ok = false;
        const qint64 linhas = lote.toLongLong(&ok);
        if (!ok || linhas < 1)
            return misuse(QStringLiteral("KORVA_LINHAS_POR_CONFIRMACAO deve ser um número positivo: %1")
                              .arg(QString::fromLocal8Bit(lote)));
        interchange::setLinhasPorTransacao(linhas);
    }
    text::setBrazilianFormats();
    std::optional<interchange::MarcaDeImportacao> marca;
    db::Connection connection;
    try {
        if (database.isEmpty())
            installation::configure(connection);
        else
            installation::configure(connection, database);
        database = connection.databaseName();
        // What an import killed in the middle of a write may have left, mended first.
        if (!verifica::recuperaImportacaoInterrompida(database))
            return 2;
        // From before the engine starts until the connection is closed: the engine
        // collects the garbage of earlier imports' deletes while attached, and a kill in
        // the middle of that is an interrupted import as well.
        marca.emplace(database);
        connection.open();
    } catch (const db::DatabaseError& e) {
        printLine(stderr, QStringLiteral("korva-db: %1").arg(e.message()));
        return 2;
    }
    // An older database gets what this version records; the import goes on without it.
    bringUpToDate(connection);
    LinhaDeProgresso progresso;
    try {
        const interchange::ResumoImportacao resumo =
            interchange::importaArquivos(connection, files, [&progresso](const interchange::Progresso& p) {
                progresso.mostra(p);
                return sinalRecebido == 0;
            });
        progresso.termina();
        connection.close();
        marca.reset();
        std::fputs(resumo.texto().toLocal8Bit().constData(), stdout);
        std::fputs("\n", stdout);
        std::fflush(stdout);
        if (const int sinal = sinalRecebido; sinal != 0 && resumo.interrompida) {
            printLine(stderr, QStringLiteral("korva-db: importação parada por %1; o resumo diz o que foi carregado.")
                                  .arg(nomeDoSinal(sinal)));
            return 128 + sinal;
        }
        return resumo.tudoCarregado() ? 0 : 1;
    } catch (const interchange::ErroImportacao& e) {
        progresso.termina();
        // Only a state installation receives its municipalities' months.
        printLine(stderr, QStringLiteral("korva-db: %1: %2").arg(QDir::toNativeSeparators(database), e.mensagem()));
    } catch (const db::DatabaseError& e) {
        progresso.termina();
        // The loader lets an error out only before anything was loaded.
        printLine(stderr, QStringLiteral("korva-db: erro do banco de dados, nada foi carregado: %1").arg(e.message()));
    } catch (const std::exception& e) {
        progresso.termina();
        // Nothing the loader throws: memory, say. What was committed before stays.
        printLine(stderr, QStringLiteral("korva-db: a importação parou sem resumo (%1); os meses carregados até ali ficam, "
                                         "cada um inteiro").arg(QString::fromUtf8(e.what())));
        return 1;
    }
    return 2;
}

}  // namespace

int main(int argc, char* argv[])
{
    // Brazilian formats whatever the machine's locale: the files read and the data written.
    text::setBrazilianFormats();
    if (argc > 1 && std::strcmp(argv[1], "import") == 0)
        esperaSinais();
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);

    if (args.isEmpty()) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (args.first() == QLatin1String("--help") || args.first() == QLatin1String("-h")) {
        std::fputs(usage, stdout);
        return 0;
    }
    if (args.first() == QLatin1String("import"))
        return import(args.mid(1));
    if (args.first() == QLatin1String("audit"))
        return auditoriaDados(args.mid(1));
    if (args.first() == QLatin1String("backup"))
        return korvadb::backup(args.mid(1));
    if (args.first() == QLatin1String("restore"))
        return korvadb::restore(args.mid(1));
    if (args.first() == QLatin1String("verifica")) {
        text::setBrazilianFormats();
        return verifica::executa(args.mid(1));
    }
    if (args.first() != QLatin1String("create"))
        return misuse(QStringLiteral("comando desconhecido: %1").arg(args.first()));

    bool demo = false;
    QString path;
    for (const QString& arg : args.mid(1)) {
        if (arg == QLatin1String("--demo"))
            demo = true;
        else if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            std::fputs(usage, stdout);
            return 0;
        } else if (arg.startsWith(QLatin1Char('-')))
            return misuse(QStringLiteral("opção desconhecida: %1").arg(arg));
        else if (!path.isEmpty())
            return misuse(QStringLiteral("um só caminho, por favor"));
        else
            path = arg;
    }
    try {
        if (path.isEmpty())
            path = installation::databasePath();
        QElapsedTimer timer;
        timer.start();
        text::setBrazilianFormats();
        data::createDatabase(path, demo, [demo](const QString& created) { completeDatabase(created, demo); });
        printLine(stdout, QStringLiteral("Banco de dados criado em %1 (%2) em %3 s.")
                              .arg(QDir::toNativeSeparators(path),
                                   demo ? QStringLiteral("esquema, dados de referência e demonstração")
                                        : QStringLiteral("esquema e dados de referência"))
                              .arg(double(timer.elapsed()) / 1000.0, 0, 'f', 1));
        return 0;
    } catch (const db::DatabaseError& e) {
        printLine(stderr, QStringLiteral("korva-db: erro do banco de dados: %1").arg(e.message()));
    } catch (const std::exception& e) {
        printLine(stderr, QStringLiteral("korva-db: %1").arg(QString::fromUtf8(e.what())));
    }
    return 1;
}
