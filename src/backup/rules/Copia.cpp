#include "backup/rules/Copia.h"

#include "data/Installation.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "fbservice/Services.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSqlQuery>

#include <algorithm>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace copia {

namespace {

const QString problemaCopia = QStringLiteral("Não foi possível fazer a cópia de segurança.");
const QString problemaRestauracao = QStringLiteral("A cópia de segurança não foi restaurada; nada foi alterado.");

QString nativo(const QString& caminho)
{
    return QDir::toNativeSeparators(caminho);
}

QString erroDoSistema()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

// A backup under way is written as ".<name>.<pid>.parcial" beside the name it will take.
QString parcial(const QString& arquivo)
{
    const QFileInfo info(arquivo);
    return info.absoluteDir().filePath(QStringLiteral(".%1.%2.parcial").arg(info.fileName()).arg(::getpid()));
}

// Removes the partial files of backups whose process has ended (killed, or a machine
// that stopped): they will never be completed.
void limpaParciais(const QDir& pasta)
{
    static const QRegularExpression nome(QStringLiteral("^\\..+\\.(\\d+)\\.parcial$"));
    const QStringList arquivos = pasta.entryList({QStringLiteral(".*.parcial")}, QDir::Files | QDir::Hidden);
    for (const QString& f : arquivos) {
        const auto m = nome.match(f);
        if (!m.hasMatch())
            continue;
        const pid_t pid = pid_t(m.captured(1).toLongLong());
        if (pid != ::getpid() && ::kill(pid, 0) != 0 && errno == ESRCH)
            QFile::remove(pasta.filePath(f));
    }
}

bool sincroniza(const QString& caminho, int flags)
{
    const int fd = ::open(QFile::encodeName(caminho).constData(), flags);
    if (fd < 0)
        return false;
    const bool ok = ::fsync(fd) == 0;
    ::close(fd);
    return ok;
}

// The database's file, as this machine sees it (on a server, the tool runs beside it).
bool existe(const QString& caminho)
{
    return QFileInfo::exists(caminho);
}

// Whether the database at `banco` (a name as the installation writes it) holds KORVA's
// tables.
bool bancoDoKorva(const QString& banco)
{
    db::Connection c;
    installation::configure(c, banco);
    c.open();
    bool achou = false;
    {
        QSqlQuery q(c.database());
        q.prepare(QStringLiteral("select count(*) from RDB$RELATIONS where RDB$RELATION_NAME in "
                                 "('TB_PARAMETRO_KORVA', 'TB_MOVIMENTO_MUNICIPIO', 'TB_EXECUCAO_FISICA_MUNICIPIO', "
                                 "'TB_FONTE_COMPROVACAO_MUNICIPIO')"));
        if (q.exec() && q.next())
            achou = q.value(0).toInt() == 4;
    }
    c.close();
    return achou;
}

// The name a database on the same server as `banco` has when its path is `caminho`.
QString mesmoLugar(const db::fb::ServiceTarget& alvo, const QString& caminho)
{
    if (alvo.server.isEmpty())
        return caminho;
    return alvo.server.contains(QLatin1String("://")) ? alvo.server + caminho : alvo.server + QLatin1Char(':') + caminho;
}

}  // namespace

QString textoTamanho(qint64 bytes)
{
    return QLocale(QLocale::Portuguese, QLocale::Brazil).formattedDataSize(bytes, 1, QLocale::DataSizeTraditionalFormat);
}

QString nomeArquivo(const QDateTime& quando)
{
    return QStringLiteral("KORVA-%1.fbk").arg(quando.toString(QStringLiteral("yyyyMMdd-HHmm")));
}

QString arquivoPadrao(const QDateTime& agora)
{
    const QDir pasta(installation::copiesFolder());
    const QString arquivo = pasta.filePath(nomeArquivo(agora));
    if (!QFileInfo::exists(arquivo))
        return arquivo;
    return pasta.filePath(QStringLiteral("KORVA-%1.fbk").arg(agora.toString(QStringLiteral("yyyyMMdd-HHmmss"))));
}

QList<Copia> copias(const QString& pasta)
{
    const QDir dir(pasta.isEmpty() ? installation::copiesFolder() : pasta);
    static const QRegularExpression nome(QStringLiteral("^KORVA-\\d{8}-\\d{4}(\\d{2})?\\.fbk$"));
    QList<Copia> lista;
    for (const QFileInfo& f : dir.entryInfoList({QStringLiteral("KORVA-*.fbk")}, QDir::Files)) {
        if (!nome.match(f.fileName()).hasMatch())
            continue;
        lista << Copia{f.absoluteFilePath(), f.lastModified(), f.size()};
    }
    std::sort(lista.begin(), lista.end(), [](const Copia& a, const Copia& b) {
        return a.data != b.data ? a.data > b.data : a.arquivo > b.arquivo;
    });
    return lista;
}

rules::Resultado<Copia> fazCopia(const QString& arquivo, const Progresso& progresso, const QString& banco)
{
    QString temporario;
    QString erroGravacao;
    try {
        const installation::DatabaseSettings s =
            banco.isEmpty() ? installation::databaseSettings() : installation::databaseSettings(banco);
        const db::fb::ServiceTarget alvo = db::fb::serviceTarget(s.database);
        const QFileInfo destino(arquivo);
        if (destino.isDir())
            return rules::Falha::recusa(problemaCopia, {}, QStringLiteral("\"%1\" é uma pasta.").arg(nativo(arquivo)));
        QDir pasta = destino.absoluteDir();
        if (!pasta.exists() && !QDir().mkpath(pasta.absolutePath()))
            return rules::Falha::recusa(problemaCopia, {},
                                        QStringLiteral("Não foi possível criar a pasta \"%1\".").arg(nativo(pasta.absolutePath())));
        limpaParciais(pasta);

        temporario = parcial(destino.absoluteFilePath());
        QFile saida(temporario);
        if (!saida.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return rules::Falha::recusa(problemaCopia, {},
                                        QStringLiteral("Não foi possível gravar em \"%1\": %2.")
                                            .arg(nativo(pasta.absolutePath()), saida.errorString()));
        // The backup holds every row of the installation: its owner alone reads it.
        saida.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner);

        qint64 gravados = 0;
        {
            // The engine hands the backup over, and this process writes it: a stop leaves
            // nothing the engine could still be writing to.
            db::fb::ServiceManager servicos(alvo.server, s.user, s.password);
            servicos.backup(alvo.path, [&](const char* dados, qsizetype n) {
                if (saida.write(dados, n) != n) {
                    erroGravacao = saida.errorString();
                    return false;
                }
                gravados += n;
                return !progresso || progresso(gravados);
            });
            if (!saida.flush() || !sincroniza(temporario, O_RDONLY))
                erroGravacao = saida.errorString();
            saida.close();
        }
        if (!erroGravacao.isEmpty())
            throw db::DatabaseError(QStringLiteral("Não foi possível gravar \"%1\": %2.").arg(nativo(arquivo), erroGravacao));
        if (gravados == 0)
            throw db::DatabaseError(QStringLiteral("O banco de dados não devolveu nada."));
        // Replaces an existing file at once: it stays whole until then.
        if (::rename(QFile::encodeName(temporario).constData(), QFile::encodeName(destino.absoluteFilePath()).constData()) != 0)
            throw db::DatabaseError(QStringLiteral("Não foi possível dar à cópia o nome \"%1\": %2.").arg(nativo(arquivo), erroDoSistema()));
        temporario.clear();
        sincroniza(pasta.absolutePath(), O_RDONLY | O_DIRECTORY);
        const QFileInfo feito(destino.absoluteFilePath());
        return Copia{feito.absoluteFilePath(), feito.lastModified(), feito.size()};
    } catch (const db::fb::ServiceStopped&) {
        if (!temporario.isEmpty())
            QFile::remove(temporario);
        // The file could not be written (a full disk), or the caller stopped the copy.
        if (!erroGravacao.isEmpty())
            return rules::Falha::recusa(problemaCopia, {},
                                        QStringLiteral("Não foi possível gravar \"%1\": %2.").arg(nativo(arquivo), erroGravacao));
        return rules::Falha::recusa(QStringLiteral("A cópia de segurança foi interrompida; nenhum arquivo foi gravado."));
    } catch (const std::exception& e) {
        if (!temporario.isEmpty())
            QFile::remove(temporario);
        rules::Falha f = rules::falhaDe(e, problemaCopia);
        // The embedded engine lets one process at a time use the file.
        if (f.causa.contains(QLatin1String("already opened")) || f.causa.contains(QLatin1String("\"lock\" operation")))
            f.causa = QStringLiteral("O banco de dados está aberto por outro programa (o KORVA): faça a cópia em \"Apoio\" > "
                                     "\"Cópia de Segurança\", ou feche-o e tente de novo.\n") +
                      f.causa;
        return f;
    }
}

bool copiaAutomaticaDevida(const QDateTime& agora)
{
    if (installation::copiesToKeep() == 0)
        return false;
    const QList<Copia> lista = copias();
    return lista.isEmpty() || lista.first().data.secsTo(agora) >= 24 * 60 * 60;
}

Automatica copiaAutomatica(const Progresso& progresso, const QDateTime& agora)
{
    Automatica a;
    try {
        if (!copiaAutomaticaDevida(agora))
            return a;
    } catch (const std::exception& e) {
        a.falha = rules::falhaDe(e, problemaCopia);
        return a;
    }
    const auto r = fazCopia(arquivoPadrao(agora), progresso);
    if (!r) {
        a.falha = r.falha();
        return a;
    }
    a.feita = true;
    a.copia = r.valor();
    try {
        a.apagadas = descartaAntigas(installation::copiesToKeep(), &a.recusadas);
    } catch (const std::exception&) {
        // A setting changed under the copy: every copy stays.
    }
    return a;
}

QStringList descartaAntigas(int manter, QStringList* recusadas)
{
    QStringList apagadas;
    if (manter <= 0)
        return apagadas;
    const QList<Copia> lista = copias();
    for (qsizetype i = manter; i < lista.size(); ++i) {
        if (QFile::remove(lista[i].arquivo))
            apagadas << lista[i].arquivo;
        else if (recusadas)
            *recusadas << lista[i].arquivo;
    }
    return apagadas;
}

rules::Falhou restaura(const QString& arquivo, const QString& banco, bool substituir,
                       const std::function<bool()>& continuar)
{
    const QFileInfo origem(arquivo);
    if (!origem.exists())
        return rules::Falha::recusa(problemaRestauracao, {}, QStringLiteral("O arquivo \"%1\" não existe.").arg(nativo(arquivo)));
    if (!origem.isFile())
        return rules::Falha::recusa(problemaRestauracao, {},
                                    QStringLiteral("\"%1\" não é um arquivo comum.").arg(nativo(arquivo)));
    QFile entrada(arquivo);
    if (!entrada.open(QIODevice::ReadOnly))
        return rules::Falha::recusa(problemaRestauracao, {},
                                    QStringLiteral("Não foi possível ler \"%1\": %2.").arg(nativo(arquivo), entrada.errorString()));
    const QString estragado = QStringLiteral("O arquivo \"%1\" não é uma cópia de segurança completa do KORVA: está "
                                             "truncado, danificado ou é de outro tipo.")
                                  .arg(nativo(arquivo));

    installation::DatabaseSettings s;
    try {
        s = banco.isEmpty() ? installation::databaseSettings() : installation::databaseSettings(banco);
    } catch (const std::exception& e) {
        return rules::falhaDe(e, problemaRestauracao);
    }
    const db::fb::ServiceTarget alvo = db::fb::serviceTarget(s.database);
    const QFileInfo final(alvo.path);
    // The restored database is renamed into place by this process: on a server, the tool
    // runs on the server's machine.
    if (!final.absoluteDir().exists())
        return rules::Falha::recusa(problemaRestauracao, {},
                                    alvo.server.isEmpty()
                                        ? QStringLiteral("A pasta \"%1\" não existe.").arg(nativo(final.absolutePath()))
                                        : QStringLiteral("A pasta \"%1\" do servidor não é visível nesta máquina: restaure "
                                                         "na máquina do servidor.")
                                              .arg(nativo(final.absolutePath())));
    const QString naoSubstitui = QStringLiteral("O banco de dados \"%1\" já existe; para substituí-lo pela cópia, use "
                                                "--substituir.")
                                     .arg(nativo(s.database));
    if (existe(alvo.path) && !substituir)
        return rules::Falha::recusa(problemaRestauracao, {}, naoSubstitui);

    const QString temporario = QStringLiteral("%1.%2.restaurando").arg(final.absoluteFilePath()).arg(::getpid());
    const QString bancoTemporario = mesmoLugar(alvo, temporario);
    QFile::remove(temporario);
    const auto desfaz = [&] { QFile::remove(temporario); };
    try {
        {
            db::fb::ServiceManager servicos(alvo.server, s.user, s.password);
            servicos.restore(
                [&](char* buffer, qsizetype max) {
                    if (continuar && !continuar())
                        return qsizetype(-1);
                    return qsizetype(entrada.read(buffer, max));
                },
                temporario);
        }
    } catch (const db::fb::ServiceStopped&) {
        desfaz();
        return rules::Falha::recusa(QStringLiteral("A restauração foi interrompida; nada foi alterado."));
    } catch (const std::exception& e) {
        desfaz();
        return rules::Falha::recusa(problemaRestauracao, {},
                                    estragado + QLatin1Char('\n') + QString::fromUtf8(e.what()));
    }
    // A server elsewhere whose folder has the same name as one here.
    if (!QFileInfo::exists(temporario))
        return rules::Falha::recusa(problemaRestauracao, {},
                                    QStringLiteral("O servidor restaurou a cópia em \"%1\", que não é um arquivo desta "
                                                   "máquina: restaure na máquina do servidor, e apague esse arquivo lá.")
                                        .arg(nativo(temporario)));
    try {
        QStringList problemas;
        {
            db::fb::ServiceManager servicos(alvo.server, s.user, s.password);
            problemas = servicos.validate(temporario);
        }
        if (!problemas.isEmpty()) {
            desfaz();
            return rules::Falha::recusa(problemaRestauracao, {},
                                        QStringLiteral("O banco restaurado não passou na validação:\n%1").arg(problemas.join('\n')));
        }
        if (!bancoDoKorva(bancoTemporario)) {
            desfaz();
            return rules::Falha::recusa(problemaRestauracao, {},
                                        QStringLiteral("O arquivo \"%1\" é a cópia de outro banco de dados, não do KORVA.")
                                            .arg(nativo(arquivo)));
        }
    } catch (const std::exception& e) {
        desfaz();
        return rules::falhaDe(e, problemaRestauracao);
    }

    // Nobody may be using the database replaced: a full shutdown that waits for no one
    // is refused while anyone is attached, and keeps everyone out until the rename.
    bool desligado = false;
    if (existe(alvo.path)) {
        if (!substituir) {
            desfaz();
            return rules::Falha::recusa(problemaRestauracao, {}, naoSubstitui);
        }
        try {
            db::fb::ServiceManager servicos(alvo.server, s.user, s.password);
            servicos.shutdown(alvo.path);
            desligado = true;
        } catch (const std::exception& e) {
            desfaz();
            return rules::Falha::recusa(problemaRestauracao, {},
                                        QStringLiteral("O banco de dados \"%1\" está aberto por outro programa (o KORVA, "
                                                       "ou outra estação): feche-o e tente de novo.\n%2")
                                            .arg(nativo(s.database), QString::fromUtf8(e.what())));
        }
    }
    if (::rename(QFile::encodeName(temporario).constData(), QFile::encodeName(final.absoluteFilePath()).constData()) != 0) {
        const QString causa = erroDoSistema();
        desfaz();
        if (desligado) {
            try {
                db::fb::ServiceManager servicos(alvo.server, s.user, s.password);
                servicos.bringOnline(alvo.path);
            } catch (const std::exception&) {
            }
        }
        return rules::Falha::recusa(problemaRestauracao, {},
                                    QStringLiteral("Não foi possível pôr o banco restaurado no lugar de \"%1\": %2.")
                                        .arg(nativo(final.absoluteFilePath()), causa));
    }
    sincroniza(final.absolutePath(), O_RDONLY | O_DIRECTORY);
    return std::nullopt;
}

}  // namespace copia
