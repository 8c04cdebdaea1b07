#include "Gerador.h"

#include <QDir>
#include <QFile>

#include <vector>

namespace gerador {

namespace {

QByteArray cabecalho(const char* const* nomes, int n)
{
    QByteArray b;
    for (int i = 0; i < n; ++i) {
        b += nomes[i];
        b += i + 1 < n ? "\n" : "\r\n";
    }
    return b;
}

QByteArray registro(const QList<QByteArray>& valores)
{
    QByteArray b = valores.join('\n');
    b += "\r\n";
    return b;
}

void grava(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

}  // namespace

Cidade cidade(int i)
{
    static const std::vector<Cidade> cidades = [] {
        QFile f(QStringLiteral(KORVA_MUNICIPIOS));
        if (!f.open(QIODevice::ReadOnly))
            qFatal("cannot read %s", KORVA_MUNICIPIOS);
        std::vector<Cidade> mg, outras;
        f.readLine();  // the column names
        while (!f.atEnd()) {
            const QList<QByteArray> campos = f.readLine().trimmed().split('\t');
            if (campos.size() < 2)
                continue;
            Cidade c{campos[0].toInt(), QString::fromLatin1(campos[1])};
            (c.uf == QLatin1String("MG") ? mg : outras).push_back(c);
        }
        mg.insert(mg.end(), outras.begin(), outras.end());
        return mg;
    }();
    if (i < 0 || size_t(i) >= cidades.size())
        qFatal("no municipality %d", i);
    return cidades[size_t(i)];
}

QStringList escreve(const QString& pasta, const Ano& a, qint64* linhas)
{
    static const char* mov[] = {"NU_ANO_COMPET", "CO_UF", "CO_CIDADE", "NU_MES_COMPET", "VL_SALDO_ANTERIOR",
                                "VL_ALOC_FEDERAL", "VL_ALOC_ESTADUAL", "VL_ALOC_MUNICIPAL", "VL_REC_GASTOS", "SITUACAO",
                                "VL_TOT_OUTROS_PACTUADA", "VL_ALOC_MED", "DT_FECHAMENTO", "DT_ENVIO", "VL_RENDIMENTOS_APLICADOS"};
    static const char* exe[] = {"NU_ANO_COMPET", "CO_UF", "CO_CIDADE", "NU_MES_COMPET", "CO_SEQ_MED",
                                "CO_SEQ_MEDICAMENTO", "QT_MEDICAMENTO", "VL_UNITARIO", "VL_TOTAL", "ST_ORIGEM"};
    static const char* fon[] = {"NU_ANO_COMPET", "CO_UF", "CO_CIDADE", "NU_MES_COMPET", "CO_SEQ_DOC", "ST_TIPO_DOC",
                                "NU_FAVORECIDO", "NR_NUMERO_DOC", "ST_TIPO_FAVORECIDO", "DT_DOC", "VL_DOC"};
    static const char* sal[] = {"NU_ANO_COMPET", "CO_UF", "CO_CIDADE", "VL_SALDO_MUNICIPIO", "NU_MES_COMPET"};
    const QByteArray v = QByteArray::number(a.versao);
    const int fator = 1 + a.versao % 3;
    QStringList arquivos;
    qint64 total = 0;
    for (int i = 0; i < a.municipios; ++i) {
        const Cidade cid = cidade(i);
        const QByteArray c = QByteArray::number(cid.codigo);
        const QByteArray uf = cid.uf.toLatin1();
        const QString prefixo = cid.uf + QStringLiteral("2003") + QString::number(cid.codigo).left(6);
        QByteArray m = cabecalho(mov, 15), e = cabecalho(exe, 10), f = cabecalho(fon, 11), s = cabecalho(sal, 5);
        for (int mes = 1; mes <= a.meses; ++mes) {
            const QByteArray ms = QByteArray::number(mes);
            const QByteArray valor = QByteArray::number(a.versao * 1000 + mes);
            m += registro({"2003", uf, c, ms, v, "1000,5", "200,25", "300", "900,75", "2", "0", "10",
                           "05/" + QByteArray::number(mes % 12 + 1).rightJustified(2, '0') + "/2003", "", "1,5"});
            ++total;
            for (int k = 0; k < a.linhasExecucao * fator; ++k) {
                e += registro({"2003", uf, c, ms, "", QByteArray::number(k % 45 + 1), "100", "0,12345678", valor, "M"});
                ++total;
            }
            for (int k = 0; k < a.linhasDocumentos * fator; ++k) {
                f += registro({"2003", uf, c, ms, "", "N", "11222333000181", "NF-" + QByteArray::number(k), "1",
                               "10/" + ms.rightJustified(2, '0') + "/2003", valor});
                ++total;
            }
        }
        s += registro({"2003", uf, c, v, "1"});
        ++total;
        const QList<QPair<QString, QByteArray>> partes = {{QStringLiteral("TB_MOVIMENTO.TXT"), m},
                                                          {QStringLiteral("TB_EXECUCAO_FISICA.TXT"), e},
                                                          {QStringLiteral("TB_FONTE_COMPROVACAO.TXT"), f},
                                                          {QStringLiteral("TB_SALDO_INICIAL.TXT"), s}};
        for (const auto& [palavra, bytes] : partes) {
            const QString path = QDir(pasta).filePath(prefixo + palavra);
            grava(path, bytes);
            arquivos << path;
        }
    }
    if (linhas)
        *linhas = total;
    return arquivos;
}

}  // namespace gerador
