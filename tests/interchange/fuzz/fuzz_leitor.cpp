// libFuzzer target for the interchange reader: any bytes, under every file word, must
// give rows or a refusal with a line number inside the file, never a crash or a hang.
#include "interchange/rules/Leitor.h"
#include "interchange/rules/Tabelas.h"
#include "text/Formats.h"

#include <QByteArray>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static const bool formats = [] {
        text::setBrazilianFormats();
        return true;
    }();
    (void)formats;
    if (size == 0)
        return 0;
    // The first byte chooses the table and whether the rows are checked as the loader
    // checks them (the file name's UF, no municipality 0); the rest is the file.
    const auto& tabelas = interchange::tabelasIntercambio();
    const interchange::TabelaIntercambio& t = tabelas[data[0] % tabelas.size()];
    // A small reference table, as the loader gives the reader.
    static const QHash<QString, bool> ufs{{QStringLiteral("MG"), true}, {QStringLiteral("SP"), true}};
    static const QHash<int, interchange::CidadeConhecida> cidades{
        {3138203, {QStringLiteral("MG"), QStringLiteral("313820")}},
        {3100203, {QStringLiteral("MG"), QStringLiteral("310020")}},
        {3550308, {QStringLiteral("SP"), QStringLiteral("355030")}}};
    interchange::Conferencia conferencia;
    if (data[0] & 0x80) {
        conferencia = interchange::conferenciaDoNome(QStringLiteral("MG2003313820TB_MOVIMENTO.TXT"));
        conferencia.recusaMunicipioZero = true;
        conferencia.ufs = &ufs;
        conferencia.cidades = &cidades;
    }
    const QByteArray bytes(reinterpret_cast<const char*>(data + 1), qsizetype(size - 1));
    try {
        const interchange::ArquivoLido lido = interchange::leArquivo(bytes, t, conferencia);
        for (const interchange::LinhaLida& l : lido.linhas)
            if (l.valores.size() != t.colunas.size() || l.linha <= t.colunas.size())
                std::abort();
    } catch (const interchange::ErroLeitura& e) {
        // A refusal names a line of the file: at most one past its line breaks.
        const qsizetype quebras = bytes.count('\n') + bytes.count('\r') + 1;
        if (e.linha() < 1 || e.linha() > quebras + 1)
            std::abort();
    }
    return 0;
}
