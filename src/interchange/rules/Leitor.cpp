#include "interchange/rules/Leitor.h"

#include "text/Formats.h"

#include <QDateTime>

#include <cmath>
#include <optional>

namespace interchange {

namespace {

// Windows-1252 from 0x80 to 0x9F; 0 where the code page defines no character.
constexpr char16_t alto[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

QString hex(unsigned char b)
{
    return QStringLiteral("0x") + QString::number(b, 16).toUpper().rightJustified(2, QLatin1Char('0'));
}

QString mostra(const QString& valor)
{
    constexpr int maximo = 40;
    return QLatin1Char('"') + (valor.size() > maximo ? valor.left(maximo) + QStringLiteral("...") : valor) + QLatin1Char('"');
}

// A value's bytes as text; refuses bytes Windows-1252 does not define and control
// characters other than the tab.
QString decodifica(const char* p, qsizetype n, int linha)
{
    QString s(n, Qt::Uninitialized);
    QChar* out = s.data();
    for (qsizetype i = 0; i < n; ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        char16_t u = b;
        if (b >= 0x80 && b <= 0x9F) {
            u = alto[b - 0x80];
            if (u == 0)
                throw ErroLeitura(linha, QStringLiteral("o byte %1 não é um caractere de Windows-1252").arg(hex(b)));
        } else if (b < 0x20 && b != '\t') {
            throw ErroLeitura(linha, QStringLiteral("caractere de controle %1 num valor").arg(hex(b)));
        } else if (b == 0x7F) {
            throw ErroLeitura(linha, QStringLiteral("caractere de controle %1 num valor").arg(hex(b)));
        }
        out[i] = QChar(u);
    }
    return s;
}

std::optional<QDateTime> dataHora(const QString& s)
{
    const qsizetype blank = s.indexOf(QLatin1Char(' '));
    const QString dia = blank < 0 ? s : s.left(blank);
    if (dia.size() != 10)
        return std::nullopt;
    const std::optional<QDate> d = text::parseDate(dia);
    if (!d)
        return std::nullopt;
    if (blank < 0)
        return QDateTime(*d, QTime(0, 0));
    const QString hora = s.mid(blank + 1);
    QTime t = QTime::fromString(hora, QStringLiteral("hh:mm:ss"));
    if (!t.isValid())
        t = QTime::fromString(hora, QStringLiteral("hh:mm"));
    if (!t.isValid())
        return std::nullopt;
    return QDateTime(*d, t);
}

QVariant converte(const Coluna& c, const QString& s, int linha)
{
    using Tipo = Coluna::Tipo;
    if (c.omitida)
        return QVariant();
    if (s.isEmpty()) {
        if (c.obrigatoria)
            throw ErroLeitura(linha, QStringLiteral("%1 está vazio").arg(c.nome));
        switch (c.tipo) {
        case Tipo::Texto:
            return QString(QLatin1String(""));
        case Tipo::Valor:
            return 0.0;
        default:
            return QVariant();
        }
    }
    // Blanks around a number or a date are not the writer's.
    const bool espacos = s.front().isSpace() || s.back().isSpace();
    switch (c.tipo) {
    case Tipo::Texto:
        if (s.size() > c.tamanho)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 tem %3 caracteres; cabem %4")
                                         .arg(c.nome, mostra(s)).arg(s.size()).arg(c.tamanho));
        if (c.mes) {
            bool ok = false;
            const int m = s.toInt(&ok);
            if (!ok || m < 1 || m > 12 || s != QString::number(m))
                throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um mês (1 a 12)").arg(c.nome, mostra(s)));
        }
        return s;
    case Tipo::Inteiro: {
        const std::optional<qint64> v = espacos ? std::nullopt : text::parseInteger(s);
        if (!v)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um número inteiro").arg(c.nome, mostra(s)));
        if (*v < c.minimo || *v > c.maximo)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 está fora do intervalo de %3 a %4")
                                         .arg(c.nome, mostra(s)).arg(c.minimo).arg(c.maximo));
        return c.maximo > 32767 ? QVariant(int(*v)) : QVariant(short(*v));
    }
    case Tipo::Valor:
    case Tipo::ValorOpcional: {
        const std::optional<double> v = espacos ? std::nullopt : text::parseFloat(s);
        if (!v || !std::isfinite(*v))
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um número (vírgula antes dos decimais, sem separador de milhar)")
                                         .arg(c.nome, mostra(s)));
        return *v;
    }
    case Tipo::Data: {
        const std::optional<QDateTime> v = espacos ? std::nullopt : dataHora(s);
        if (!v)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é uma data dd/mm/aaaa").arg(c.nome, mostra(s)));
        return *v;
    }
    }
    return s;
}

}  // namespace

ErroLeitura::ErroLeitura(int linha, const QString& motivo)
    : std::runtime_error(QStringLiteral("linha %1: %2").arg(linha).arg(motivo).toStdString()), linha_(linha), motivo_(motivo)
{
}

QString ErroLeitura::texto() const
{
    return QStringLiteral("linha %1: %2").arg(linha_).arg(motivo_);
}

ArquivoLido leArquivo(const QByteArray& bytes, const TabelaIntercambio& tabela)
{
    ArquivoLido lido;
    lido.tabela = &tabela;
    const qsizetype n = tabela.colunas.size();
    const char* p = bytes.constData();
    const qsizetype fim = bytes.size();
    if (fim == 0)
        throw ErroLeitura(1, QStringLiteral("o arquivo está vazio"));
    if (fim >= 3 && bytes.startsWith("\xEF\xBB\xBF"))
        throw ErroLeitura(1, QStringLiteral("o arquivo começa com a marca de UTF-8 (BOM); arquivos de intercâmbio são Windows-1252"));

    qsizetype pos = 0;
    int linha = 1;
    int registro = 0;  // 0: the header
    QVariantList valores;
    while (pos < fim) {
        const int primeira = linha;
        valores.clear();
        for (qsizetype k = 0; k < n; ++k) {
            const qsizetype inicio = pos;
            while (pos < fim && p[pos] != '\n' && p[pos] != '\r')
                ++pos;
            const qsizetype tamanho = pos - inicio;
            const QString valor = decodifica(p + inicio, tamanho, linha);
            // What ends this value: a line feed between values, CR LF after the last.
            bool fimRegistro = false;
            if (pos >= fim) {
                throw ErroLeitura(linha, QStringLiteral("último registro incompleto: o arquivo termina no meio do registro "
                                                         "(valor %1 de %2)").arg(k + 1).arg(n));
            } else if (p[pos] == '\r') {
                if (pos + 1 >= fim || p[pos + 1] != '\n')
                    throw ErroLeitura(linha, QStringLiteral("retorno de carro (CR) sem avanço de linha (LF)"));
                fimRegistro = true;
                pos += 2;
            } else {
                pos += 1;
            }
            if (registro == 0) {
                const Coluna& c = tabela.colunas[k];
                if (valor != c.nome)
                    throw ErroLeitura(linha, QStringLiteral("o cabeçalho não é o da tabela %1: esperada a coluna %2, "
                                                             "encontrado %3").arg(tabela.tabela, c.nome, mostra(valor)));
            } else {
                valores << converte(tabela.colunas[k], valor, linha);
            }
            if (fimRegistro && k + 1 < n)
                throw ErroLeitura(linha, QStringLiteral("%1 termina depois de %2 valores; a tabela %3 tem %4 colunas")
                                             .arg(registro == 0 ? QStringLiteral("o cabeçalho") : QStringLiteral("o registro"))
                                             .arg(k + 1).arg(tabela.tabela).arg(n));
            if (!fimRegistro && k + 1 == n)
                throw ErroLeitura(linha + 1, registro == 0
                                                 ? QStringLiteral("o cabeçalho tem mais colunas que as %1 da tabela %2")
                                                       .arg(n).arg(tabela.tabela)
                                                 : QStringLiteral("valor a mais: a tabela %1 tem %2 colunas por registro")
                                                       .arg(tabela.tabela).arg(n));
            ++linha;
        }
        if (registro > 0)
            lido.linhas.push_back(LinhaLida{primeira, valores});
        ++registro;
    }
    return lido;
}

}  // namespace interchange
