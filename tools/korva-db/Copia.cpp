#include "Copia.h"
#include "Sinais.h"

#include "backup/rules/Copia.h"
#include "data/Installation.h"
#include "db/DatabaseError.h"

#include <QDir>
#include <QElapsedTimer>

#include <atomic>
#include <csignal>
#include <cstdio>
#include <cstdlib>


namespace korvadb {

const char usoCopia[] =
    "Uso: korva-db backup [--database CAMINHO] [ARQUIVO]\n"
    "     korva-db restore [--substituir] ARQUIVO [CAMINHO]\n"
    "\n"
    "backup grava uma cópia de segurança do banco (o formato do próprio Firebird,\n"
    "o do gbak), feita pelo gerenciador de serviços: coerente mesmo com o KORVA\n"
    "aberto num servidor, e legível em outra máquina. Sem ARQUIVO, vai para\n"
    "copias/KORVA-aaaammdd-hhmm.fbk na pasta de dados. A cópia é gravada com um\n"
    "nome temporário e só recebe o seu nome quando está completa: uma falha ou\n"
    "uma interrupção deixam as cópias anteriores como estavam.\n"
    "restore grava o banco da cópia ARQUIVO em CAMINHO (sem ele, o banco da\n"
    "instalação): um banco novo, com nome temporário, validado, que só então toma\n"
    "o lugar do outro. Um banco existente só é substituído com --substituir, e\n"
    "nunca enquanto outro programa (o KORVA) o tem aberto. Um arquivo truncado,\n"
    "danificado ou de outro tipo é recusado, e nada muda.\n"
    "Saída: 0 feito; 1 falhou (nada mudou); 2 uso errado; 128 + o número do sinal\n"
    "quando SIGTERM ou SIGINT o interrompeu (nada mudou).\n";

namespace {

void escreve(FILE* saida, const QString& texto)
{
    std::fprintf(saida, "%s\n", texto.toLocal8Bit().constData());
    std::fflush(saida);
}

int usoErrado(const QString& mensagem)
{
    escreve(stderr, QStringLiteral("korva-db: %1 (veja korva-db --help)").arg(mensagem));
    return 2;
}

int falhou(const rules::Falha& f)
{
    escreve(stderr, QStringLiteral("korva-db: %1").arg(f.texto()));
    if (const int n = sinalRecebido)
        return 128 + n;
    return 1;
}

}  // namespace

int backup(const QStringList& args)
{
    QString banco, arquivo;
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args[i];
        if (a == QLatin1String("--database")) {
            if (i + 1 >= args.size())
                return usoErrado(QStringLiteral("--database pede um caminho"));
            banco = args[++i];
        } else if (a.startsWith(QLatin1String("--database="))) {
            banco = a.mid(11);
        } else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(usoCopia, stdout);
            return 0;
        } else if (a.startsWith(QLatin1Char('-'))) {
            return usoErrado(QStringLiteral("opção desconhecida: %1").arg(a));
        } else if (!arquivo.isEmpty()) {
            return usoErrado(QStringLiteral("backup grava um só arquivo"));
        } else {
            arquivo = a;
        }
    }
    esperaSinais();
    if (arquivo.isEmpty())
        arquivo = copia::arquivoPadrao();
    QElapsedTimer relogio;
    relogio.start();
    const auto r = copia::fazCopia(arquivo, [](qint64) { return sinalRecebido == 0; }, banco);
    if (!r)
        return falhou(r.falha());
    escreve(stdout, QStringLiteral("Cópia de segurança gravada em %1 (%2) em %3 s.")
                        .arg(QDir::toNativeSeparators(r.valor().arquivo), copia::textoTamanho(r.valor().tamanho))
                        .arg(double(relogio.elapsed()) / 1000.0, 0, 'f', 1));
    return 0;
}

int restore(const QStringList& args)
{
    bool substituir = false;
    QStringList posicionais;
    for (const QString& a : args) {
        if (a == QLatin1String("--substituir"))
            substituir = true;
        else if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(usoCopia, stdout);
            return 0;
        } else if (a.startsWith(QLatin1Char('-')))
            return usoErrado(QStringLiteral("opção desconhecida: %1").arg(a));
        else
            posicionais << a;
    }
    if (posicionais.isEmpty())
        return usoErrado(QStringLiteral("restore pede o arquivo da cópia"));
    if (posicionais.size() > 2)
        return usoErrado(QStringLiteral("restore pede o arquivo da cópia e, se quiser, o banco"));
    esperaSinais();
    QString banco = posicionais.value(1);
    try {
        if (banco.isEmpty())
            banco = installation::databasePath();
    } catch (const db::DatabaseError& e) {
        escreve(stderr, QStringLiteral("korva-db: %1").arg(e.message()));
        return 1;
    }
    if (const rules::Falhou f = copia::restaura(posicionais.first(), banco, substituir, [] { return sinalRecebido == 0; }))
        return falhou(*f);
    escreve(stdout, QStringLiteral("Banco de dados restaurado em %1 a partir de %2.")
                        .arg(QDir::toNativeSeparators(banco), QDir::toNativeSeparators(posicionais.first())));
    return 0;
}

}  // namespace korvadb
