#pragma once
// The manifest an export writes beside a municipality's files, so that the state can tell
// a file cut short or changed after it was written (the format has no trailer): the size
// and SHA-256 of each file, and the rows of each table in each month exported (0 included)
// and in the initial balance. Its name, the files' 12-character prefix followed by
// "MANIFESTO.TXT", has no "TB" where the table word stands: older readers neither list it
// nor load it.
//
// Text, one entry a line (CR LF), fields separated by tabs:
//   KORVA-MANIFESTO<TAB>1
//   ARQUIVO<TAB>MG2003313820TB_MOVIMENTO.TXT<TAB>1234<TAB>9f86d0...  (bytes, SHA-256 in hex)
//   LINHAS<TAB>TB_MOVIMENTO<TAB>3<TAB>1                            (table word, month, rows)
//   LINHAS<TAB>TB_SALDO_INICIAL<TAB>SALDO<TAB>1                    (the initial balance)
#include "interchange/rules/Leitor.h"

#include <QByteArray>
#include <QMap>
#include <QString>
#include <QVector>

namespace interchange {

struct Manifesto {
    struct Arquivo {
        QString nome;
        qint64 tamanho = 0;
        QByteArray sha256;  // lower-case hex
    };
    QVector<Arquivo> arquivos;
    // Rows by table word and unit: the month ("3") or "SALDO".
    QMap<QString, QMap<QString, qint64>> linhas;
};

// "MG2003313820MANIFESTO.TXT".
QString nomeDoManifesto(const QString& prefixo);
// Whether a file name is a manifest's (letter case aside).
bool ehManifesto(const QString& nomeArquivo);

QByteArray escreveManifesto(const Manifesto& manifesto);
// Throws ErroLeitura naming the line.
Manifesto leManifesto(const QByteArray& bytes);

// The entry of a file of the given bytes, as the manifest records it.
Manifesto::Arquivo entradaDoArquivo(const QString& nome, const QByteArray& bytes);
// The unit of a row: its month, or "SALDO" for the initial balance.
QString unidadeDaLinha(const TabelaIntercambio& tabela, const LinhaLida& linha);

// What differs between a file read and its municipality's manifest, said for the
// summary; empty when they agree. lido: the file's rows when it could be read.
QString confereComManifesto(const Manifesto& manifesto, const QString& nome, const QByteArray& bytes,
                            const TabelaIntercambio& tabela, const ArquivoLido* lido);

}  // namespace interchange
