#pragma once
// The bytes of an interchange file, read from disk with care for what a folder may hold:
// only a regular file is read (a FIFO, device, socket or folder is refused by its kind,
// without being opened in a way that could block), no larger than a bound, and one that
// changed while it was read (its size or modification time) is refused.
#include <QByteArray>
#include <QString>

#include <functional>

namespace interchange {

// The largest interchange file read: 1 GiB. A municipality's year is a few megabytes.
constexpr qint64 tamanhoMaximoArquivo = qint64(1) << 30;

struct ConteudoArquivo {
    enum class Estado {
        Lido,
        Recusado,     // erro says why
        Interrompido,  // continua said to stop
    };
    Estado estado = Estado::Recusado;
    QByteArray bytes;
    QString erro;
};

// Reads the file whole. continua is asked before the file is opened and between chunks
// of its bytes; false stops the reading at once. A file modified less than idadeMinima
// seconds ago (it may still be being written) is refused.
ConteudoArquivo leConteudo(const QString& caminho, const std::function<bool()>& continua = {}, int idadeMinima = 0);

}  // namespace interchange
