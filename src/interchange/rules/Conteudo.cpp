#include "interchange/rules/Conteudo.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <algorithm>

#ifdef Q_OS_UNIX
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace interchange {

namespace {

constexpr qsizetype bloco = qsizetype(4) << 20;

QString naoLido(const QString& motivo)
{
    return QStringLiteral("não foi possível ler o arquivo: %1").arg(motivo);
}

QString grandeDemais(qint64 tamanho)
{
    return QStringLiteral("o arquivo tem %1 bytes; um arquivo de intercâmbio tem no máximo %2 bytes (1 GiB)")
        .arg(tamanho)
        .arg(tamanhoMaximoArquivo);
}

QString recente(int segundos)
{
    return QStringLiteral("o arquivo foi modificado há menos de %1 segundos e pode ainda estar sendo gravado; "
                          "importe-o de novo daqui a pouco").arg(segundos);
}

const QString mudou = QStringLiteral("o arquivo mudou enquanto era lido (tamanho ou data de modificação); "
                                     "importe-o de novo quando estiver completo");

#ifdef Q_OS_UNIX
QString tipo(mode_t modo)
{
    if (S_ISDIR(modo))
        return QStringLiteral("uma pasta");
    if (S_ISFIFO(modo))
        return QStringLiteral("um FIFO");
    if (S_ISCHR(modo) || S_ISBLK(modo))
        return QStringLiteral("um dispositivo");
    if (S_ISSOCK(modo))
        return QStringLiteral("um socket");
    return QStringLiteral("de um tipo especial");
}

QString doSistema(int numero)
{
    return QString::fromLocal8Bit(std::strerror(numero));
}

bool mesmoArquivo(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino && a.st_size == b.st_size && a.st_mtim.tv_sec == b.st_mtim.tv_sec &&
           a.st_mtim.tv_nsec == b.st_mtim.tv_nsec;
}
#endif

}  // namespace

ConteudoArquivo leConteudo(const QString& caminho, const std::function<bool()>& continua, int idadeMinima)
{
    ConteudoArquivo c;
    const auto recusa = [&c](const QString& erro) {
        c.estado = ConteudoArquivo::Estado::Recusado;
        c.erro = erro;
        c.bytes.clear();
        return c;
    };
    const auto para = [&c, &continua] {
        if (!continua || continua())
            return false;
        c.estado = ConteudoArquivo::Estado::Interrompido;
        c.bytes.clear();
        return true;
    };
    if (para())
        return c;
#ifdef Q_OS_UNIX
    const QByteArray nome = QFile::encodeName(caminho);
    struct stat antes {};
    if (::stat(nome.constData(), &antes) != 0)
        return recusa(naoLido(doSistema(errno)));
    if (!S_ISREG(antes.st_mode))
        return recusa(QStringLiteral("não é um arquivo comum, é %1; só arquivos comuns são lidos").arg(tipo(antes.st_mode)));
    if (antes.st_size > tamanhoMaximoArquivo)
        return recusa(grandeDemais(antes.st_size));
    if (const qint64 idade = QDateTime::currentSecsSinceEpoch() - qint64(antes.st_mtim.tv_sec); idade >= 0 && idade < idadeMinima)
        return recusa(recente(idadeMinima));
    // Without waiting: should the name have become a FIFO since, opening it does not wait
    // for a writer.
    const int fd = ::open(nome.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return recusa(naoLido(doSistema(errno)));
    struct Fecha {
        int fd;
        ~Fecha() { ::close(fd); }
    } fecha{fd};
    struct stat aberto {};
    if (::fstat(fd, &aberto) != 0)
        return recusa(naoLido(doSistema(errno)));
    if (!S_ISREG(aberto.st_mode) || aberto.st_dev != antes.st_dev || aberto.st_ino != antes.st_ino)
        return recusa(mudou);
    if (aberto.st_size > tamanhoMaximoArquivo)
        return recusa(grandeDemais(aberto.st_size));
    c.bytes.reserve(qsizetype(aberto.st_size));
    for (;;) {
        if (para())
            return c;
        const qsizetype lidos = c.bytes.size();
        // One byte past the bound tells a file that grew beyond it.
        const qsizetype pedido = std::min<qint64>(bloco, tamanhoMaximoArquivo + 1 - lidos);
        c.bytes.resize(lidos + pedido);
        const ssize_t n = ::read(fd, c.bytes.data() + lidos, size_t(pedido));
        if (n < 0) {
            const int erro = errno;
            c.bytes.resize(lidos);
            if (erro == EINTR)
                continue;
            return recusa(naoLido(doSistema(erro)));
        }
        c.bytes.resize(lidos + n);
        if (c.bytes.size() > tamanhoMaximoArquivo)
            return recusa(grandeDemais(c.bytes.size()));
        if (n == 0)
            break;
    }
    struct stat depois {};
    if (::fstat(fd, &depois) != 0 || !mesmoArquivo(aberto, depois) || c.bytes.size() != aberto.st_size)
        return recusa(mudou);
#else
    const QFileInfo antes(caminho);
    if (!antes.exists())
        return recusa(naoLido(QStringLiteral("o arquivo não existe")));
    if (!antes.isFile() || antes.isDir())
        return recusa(QStringLiteral("não é um arquivo comum; só arquivos comuns são lidos"));
    if (antes.size() > tamanhoMaximoArquivo)
        return recusa(grandeDemais(antes.size()));
    if (const qint64 idade = antes.lastModified().secsTo(QDateTime::currentDateTime()); idade >= 0 && idade < idadeMinima)
        return recusa(recente(idadeMinima));
    QFile arquivo(caminho);
    if (!arquivo.open(QIODevice::ReadOnly) || arquivo.isSequential())
        return recusa(naoLido(arquivo.errorString()));
    while (!arquivo.atEnd()) {
        if (para())
            return c;
        c.bytes += arquivo.read(bloco);
        if (arquivo.error() != QFileDevice::NoError)
            return recusa(naoLido(arquivo.errorString()));
        if (c.bytes.size() > tamanhoMaximoArquivo)
            return recusa(grandeDemais(c.bytes.size()));
    }
    const QFileInfo depois(caminho);
    if (depois.size() != antes.size() || depois.lastModified() != antes.lastModified() || c.bytes.size() != antes.size())
        return recusa(mudou);
#endif
    c.estado = ConteudoArquivo::Estado::Lido;
    return c;
}

}  // namespace interchange
