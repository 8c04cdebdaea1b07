#include "interchange/rules/Manifesto.h"

#include <QCryptographicHash>
#include <QRegularExpression>

#include <algorithm>

namespace interchange {

namespace {

const QString sufixo = QStringLiteral("MANIFESTO.TXT");
const QString cabecalho = QStringLiteral("KORVA-MANIFESTO\t1");
const QString saldo = QStringLiteral("SALDO");

QString rotuloUnidade(const QString& unidade)
{
    return unidade == saldo ? QStringLiteral("saldo inicial") : QStringLiteral("mês %1").arg(unidade);
}

QString linhas(qint64 n)
{
    return n == 1 ? QStringLiteral("1 linha") : QStringLiteral("%1 linhas").arg(n);
}

}  // namespace

QString nomeDoManifesto(const QString& prefixo)
{
    return prefixo + sufixo;
}

bool ehManifesto(const QString& nomeArquivo)
{
    return nomeArquivo.size() == 12 + sufixo.size() && nomeArquivo.endsWith(sufixo, Qt::CaseInsensitive);
}

QByteArray escreveManifesto(const Manifesto& m)
{
    QStringList l{cabecalho};
    for (const Manifesto::Arquivo& a : m.arquivos)
        l << QStringLiteral("ARQUIVO\t%1\t%2\t%3").arg(a.nome).arg(a.tamanho).arg(QString::fromLatin1(a.sha256));
    for (auto t = m.linhas.cbegin(); t != m.linhas.cend(); ++t)
        for (auto u = t.value().cbegin(); u != t.value().cend(); ++u)
            l << QStringLiteral("LINHAS\t%1\t%2\t%3").arg(t.key(), u.key()).arg(u.value());
    return (l.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
}

Manifesto leManifesto(const QByteArray& bytes)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    static const QRegularExpression mes(QStringLiteral("^([1-9]|1[0-2])$"));
    Manifesto m;
    const QList<QByteArray> linhasDoArquivo = bytes.split('\n');
    for (int i = 0; i < linhasDoArquivo.size(); ++i) {
        QByteArray bruta = linhasDoArquivo[i];
        if (bruta.endsWith('\r'))
            bruta.chop(1);
        if (bruta.isEmpty() && i + 1 == linhasDoArquivo.size())
            break;
        const int n = i + 1;
        for (const char ch : bruta)
            if (static_cast<unsigned char>(ch) >= 0x80 || (static_cast<unsigned char>(ch) < 0x20 && ch != '\t'))
                throw ErroLeitura(n, QStringLiteral("o manifesto tem um caractere que não é de um manifesto"));
        const QString linha = QString::fromLatin1(bruta);
        if (i == 0) {
            if (linha != cabecalho)
                throw ErroLeitura(n, QStringLiteral("não é um manifesto do KORVA (versão 1)"));
            continue;
        }
        const QStringList campos = linha.split(QLatin1Char('\t'));
        bool ok = campos.size() == 4;
        if (ok && campos[0] == QLatin1String("ARQUIVO")) {
            Manifesto::Arquivo a;
            a.nome = campos[1];
            a.tamanho = campos[2].toLongLong(&ok);
            a.sha256 = campos[3].toLatin1();
            ok = ok && a.tamanho >= 0 && hex.match(campos[3]).hasMatch();
            if (ok)
                m.arquivos << a;
        } else if (ok && campos[0] == QLatin1String("LINHAS")) {
            const qint64 quantas = campos[3].toLongLong(&ok);
            ok = ok && quantas >= 0 && (campos[2] == saldo || mes.match(campos[2]).hasMatch());
            if (ok)
                m.linhas[campos[1]][campos[2]] = quantas;
        } else {
            ok = false;
        }
        if (!ok)
            throw ErroLeitura(n, QStringLiteral("a linha do manifesto não é ARQUIVO nem LINHAS bem formada"));
    }
    if (linhasDoArquivo.isEmpty() || linhasDoArquivo.first().isEmpty())
        throw ErroLeitura(1, QStringLiteral("o manifesto está vazio"));
    return m;
}

Manifesto::Arquivo entradaDoArquivo(const QString& nome, const QByteArray& bytes)
{
    return {nome, bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex()};
}

QString unidadeDaLinha(const TabelaIntercambio& tabela, const LinhaLida& linha)
{
    return tabela.chaves < 4 ? saldo : linha.valores.value(3).toString();
}

QString confereComManifesto(const Manifesto& manifesto, const QString& nome, const QByteArray& bytes,
                            const TabelaIntercambio& tabela, const ArquivoLido* lido)
{
    const Manifesto::Arquivo* registrado = nullptr;
    for (const Manifesto::Arquivo& a : manifesto.arquivos)
        if (a.nome.compare(nome, Qt::CaseInsensitive) == 0)
            registrado = &a;
    if (!registrado)
        return QStringLiteral("o manifesto do município não lista este arquivo");
    const Manifesto::Arquivo atual = entradaDoArquivo(nome, bytes);
    if (atual.tamanho == registrado->tamanho && atual.sha256 == registrado->sha256)
        return {};

    QString r = atual.tamanho == registrado->tamanho
                    ? QStringLiteral("não confere com o manifesto: o conteúdo não é o exportado (SHA-256 diferente)")
                    : QStringLiteral("não confere com o manifesto: tem %1 bytes, o manifesto diz %2")
                          .arg(atual.tamanho)
                          .arg(registrado->tamanho);
    if (lido) {
        QMap<QString, qint64> contadas;
        for (const LinhaLida& l : lido->linhas)
            ++contadas[unidadeDaLinha(tabela, l)];
        const QMap<QString, qint64> esperadas = manifesto.linhas.value(tabela.palavra);
        QStringList unidades = contadas.keys() + esperadas.keys();
        unidades.removeDuplicates();
        std::sort(unidades.begin(), unidades.end(), [](const QString& a, const QString& b) {
            return a.toInt() != b.toInt() ? a.toInt() < b.toInt() : a < b;
        });
        QStringList diferencas;
        for (const QString& u : unidades)
            if (contadas.value(u) != esperadas.value(u))
                diferencas << QStringLiteral("%1 com %2, o manifesto diz %3")
                                  .arg(rotuloUnidade(u), linhas(contadas.value(u)), linhas(esperadas.value(u)));
        if (!diferencas.isEmpty())
            r += QStringLiteral(" (%1)").arg(diferencas.join(QStringLiteral("; ")));
    }
    return r;
}

}  // namespace interchange
