#include "interchange/rules/Leitor.h"

#include "text/Formats.h"

#include <QDateTime>

#include <algorithm>
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

QString codigo(char32_t u)
{
    return QStringLiteral("U+") + QString::number(uint(u), 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

// Whether Windows-1252 holds a character.
bool cabeEmWindows1252(char16_t u)
{
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return true;
    for (char16_t a : alto)
        if (a != 0 && a == u)
            return true;
    return false;
}

void recusaControle(char16_t u, int linha)
{
    if ((u < 0x20 && u != '\t') || u == 0x7F)
        throw ErroLeitura(linha, QStringLiteral("caractere de controle %1 num valor").arg(hex(static_cast<unsigned char>(u))));
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
        } else {
            recusaControle(u, linha);
        }
        out[i] = QChar(u);
    }
    return s;
}

// A value of a UTF-8 file (well-formed: checked whole before): refuses control
// characters and characters Windows-1252, the database's, cannot hold.
QString decodificaUtf8(const char* p, qsizetype n, int linha)
{
    QString s = QString::fromUtf8(p, n);
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s.at(i).unicode();
        recusaControle(u, linha);
        if (!cabeEmWindows1252(u)) {
            const char32_t ponto = QChar::isHighSurrogate(u) && i + 1 < s.size()
                                       ? QChar::surrogateToUcs4(u, s.at(i + 1).unicode())
                                       : char32_t(u);
            throw ErroLeitura(linha, QStringLiteral("o caractere %1 (arquivo em UTF-8) não existe em Windows-1252, "
                                                     "a codificação do banco de dados")
                                         .arg(codigo(ponto)));
        }
    }
    return s;
}

// Whether the bytes are well-formed UTF-8 holding at least one character beyond ASCII.
bool utf8AlemDoAscii(const QByteArray& bytes)
{
    const auto* p = reinterpret_cast<const unsigned char*>(bytes.constData());
    const qsizetype n = bytes.size();
    bool alem = false;
    for (qsizetype i = 0; i < n;) {
        const unsigned char c = p[i];
        if (c < 0x80) {
            ++i;
            continue;
        }
        int tamanho = 0;
        char32_t ponto = 0, minimo = 0;
        if (c >= 0xC2 && c <= 0xDF) {
            tamanho = 2, ponto = c & 0x1F, minimo = 0x80;
        } else if ((c & 0xF0) == 0xE0) {
            tamanho = 3, ponto = c & 0x0F, minimo = 0x800;
        } else if (c >= 0xF0 && c <= 0xF4) {
            tamanho = 4, ponto = c & 0x07, minimo = 0x10000;
        } else {
            return false;
        }
        if (n - i < tamanho)
            return false;
        for (int k = 1; k < tamanho; ++k) {
            if ((p[i + k] & 0xC0) != 0x80)
                return false;
            ponto = (ponto << 6) | (p[i + k] & 0x3F);
        }
        if (ponto < minimo || ponto > 0x10FFFF || (ponto >= 0xD800 && ponto <= 0xDFFF))
            return false;
        alem = true;
        i += tamanho;
    }
    return alem;
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

QVariant converte(const Coluna& c, const QString& s, int linha, const Conferencia& conferencia)
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
        if (c.ano && (s.size() != 4 || !std::all_of(s.cbegin(), s.cend(), [](QChar ch) { return ch >= u'0' && ch <= u'9'; })))
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um ano de quatro algarismos").arg(c.nome, mostra(s)));
        if (c.ano && !conferencia.ano.isEmpty() && s != conferencia.ano)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é o ano do nome do arquivo (%3)").arg(c.nome, mostra(s), conferencia.ano));
        if (c.uf && conferencia.ufs && !conferencia.ufs->contains(s))
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é uma UF conhecida").arg(c.nome, mostra(s)));
        if (c.uf && !conferencia.uf.isEmpty() && s.compare(conferencia.uf, Qt::CaseInsensitive) != 0)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é a UF do nome do arquivo (%3)").arg(c.nome, mostra(s), conferencia.uf));
        return s;
    case Tipo::Inteiro: {
        const std::optional<qint64> v = espacos ? std::nullopt : text::parseInteger(s);
        if (!v)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um número inteiro").arg(c.nome, mostra(s)));
        if (c.naoNegativa && *v < 0)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 é negativo").arg(c.nome, mostra(s)));
        if (*v < c.minimo || *v > c.maximo)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 está fora do intervalo de %3 a %4")
                                         .arg(c.nome, mostra(s)).arg(c.minimo).arg(c.maximo));
        if (c.cidade) {
            if (*v == 0 && conferencia.recusaMunicipioZero)
                throw ErroLeitura(linha, QStringLiteral("%1 0 é o acompanhamento próprio de um estado, não o de um "
                                                         "município: uma instalação estadual não o importa, para que nunca "
                                                         "substitua os seus próprios meses")
                                             .arg(c.nome));
            if (conferencia.cidades) {
                const auto cidade = conferencia.cidades->constFind(int(*v));
                if (cidade == conferencia.cidades->cend())
                    throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um município da tabela de municípios")
                                                 .arg(c.nome, mostra(s)));
                if (!conferencia.uf.isEmpty() && cidade->uf.compare(conferencia.uf, Qt::CaseInsensitive) != 0)
                    throw ErroLeitura(linha, QStringLiteral("%1 %2 é um município de %3, não de %4")
                                                 .arg(c.nome, mostra(s), cidade->uf, conferencia.uf));
                if (!conferencia.municipio.isEmpty() && cidade->codigoIbge != conferencia.municipio)
                    throw ErroLeitura(linha, QStringLiteral("%1 %2 não é o município do nome do arquivo (%3)")
                                                 .arg(c.nome, mostra(s), conferencia.municipio));
            }
        }
        return c.maximo > 32767 ? QVariant(int(*v)) : QVariant(short(*v));
    }
    case Tipo::Valor:
    case Tipo::ValorOpcional: {
        const std::optional<double> v = espacos ? std::nullopt : text::parseFloat(s);
        if (!v || !std::isfinite(*v))
            throw ErroLeitura(linha, QStringLiteral("%1 %2 não é um número (vírgula antes dos decimais, sem separador de milhar)")
                                         .arg(c.nome, mostra(s)));
        if (c.naoNegativa && *v < 0)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 é negativo").arg(c.nome, mostra(s)));
        if (std::abs(*v) > valorMaximo)
            throw ErroLeitura(linha, QStringLiteral("%1 %2 passa do maior valor que um acompanhamento guarda "
                                                     "(1.000.000.000.000)").arg(c.nome, mostra(s)));
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

Conferencia conferenciaDoNome(const QString& nomeArquivo)
{
    Conferencia c;
    c.uf = ufDoArquivo(nomeArquivo).toUpper();
    c.ano = nomeArquivo.mid(2, 4);
    c.municipio = nomeArquivo.mid(6, 6);
    return c;
}

ErroLeitura::ErroLeitura(int linha, const QString& motivo)
    : std::runtime_error(QStringLiteral("linha %1: %2").arg(linha).arg(motivo).toStdString()), linha_(linha), motivo_(motivo)
{
}

QString ErroLeitura::texto() const
{
    return QStringLiteral("linha %1: %2").arg(linha_).arg(motivo_);
}

ArquivoLido leArquivo(const QByteArray& bytes, const TabelaIntercambio& tabela, const Conferencia& conferencia)
{
    ArquivoLido lido;
    lido.tabela = &tabela;
    const qsizetype n = tabela.colunas.size();
    const char* p = bytes.constData();
    const qsizetype fim = bytes.size();
    lido.utf8 = utf8AlemDoAscii(bytes);
    const bool marca = bytes.startsWith("\xEF\xBB\xBF");
    if (marca && !lido.utf8)
        throw ErroLeitura(1, QStringLiteral("o arquivo começa com a marca de UTF-8 (BOM), mas não é UTF-8 válido"));
    const auto texto = lido.utf8 ? decodificaUtf8 : decodifica;

    qsizetype pos = marca ? 3 : 0;
    if (pos == fim)
        throw ErroLeitura(1, QStringLiteral("o arquivo está vazio"));
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
            const QString valor = texto(p + inicio, tamanho, linha);
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
                // What stands there is not quoted: until its header matches, the file may be
                // anything a name was given to.
                if (valor != c.nome)
                    throw ErroLeitura(linha, QStringLiteral("o cabeçalho não é o da tabela %1: esperada a coluna %2")
                                                 .arg(tabela.tabela, c.nome));
            } else {
                valores << converte(tabela.colunas[k], valor, linha, conferencia);
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
