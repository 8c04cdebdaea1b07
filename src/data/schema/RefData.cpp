#include "data/schema/RefData.h"

#include "fbapi/FbClient.h"

#include <QFile>
#include <QVariantList>

#include <stdexcept>
#include <vector>

namespace data {

namespace {

enum class Kind { Text, Integer, Number };

struct Column {
    const char* name;
    Kind kind;
};

struct ReferenceTable {
    const char* file;
    const char* table;
    std::vector<Column> columns;
};

[[noreturn]] void badFile(const QString& file, const QString& what)
{
    throw std::runtime_error(QStringLiteral("Arquivo de referência %1: %2").arg(file, what).toStdString());
}

QVariant convert(const QString& text, Kind kind, const QString& file, int line)
{
    if (text.isEmpty())
        return QVariant();
    bool ok = true;
    QVariant value;
    switch (kind) {
    case Kind::Text:
        return text;
    case Kind::Integer:
        value = text.toInt(&ok);
        break;
    case Kind::Number:
        value = text.toDouble(&ok);
        break;
    }
    if (!ok)
        badFile(file, QStringLiteral("valor inválido \"%1\" na linha %2").arg(text).arg(line));
    return value;
}

void load(db::fb::Transaction& tr, const ReferenceTable& t)
{
    QStringList names;
    QStringList marks;
    for (const Column& c : t.columns) {
        names << QString::fromLatin1(c.name);
        marks << QStringLiteral("?");
    }
    const QString file = QString::fromLatin1(t.file);
    const QList<QStringList> rows = readReferenceFile(file, names);
    db::fb::Statement insert(tr, QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                     .arg(QString::fromLatin1(t.table), names.join(QLatin1Char(',')),
                                          marks.join(QLatin1Char(','))));
    QVariantList values;
    int line = 1;
    for (const QStringList& row : rows) {
        ++line;
        values.clear();
        int i = 0;
        for (const Column& c : t.columns)
            values << convert(row[i++], c.kind, file, line);
        insert.execute(values);
    }
}

}  // namespace

QList<QStringList> readReferenceFile(const QString& file, const QStringList& header)
{
    QFile f(QStringLiteral(":/korva/schema/refdata/") + file);
    if (!f.open(QIODevice::ReadOnly))
        badFile(file, QStringLiteral("ausente"));
    const QStringList lines = QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'));
    if (lines.isEmpty() || lines.first().split(QLatin1Char('\t')) != header)
        badFile(file, QStringLiteral("cabeçalho diferente de \"%1\"").arg(header.join(QLatin1Char(' '))));
    QList<QStringList> rows;
    for (int i = 1; i < lines.size(); ++i) {
        if (lines[i].isEmpty())
            continue;
        QStringList row = lines[i].split(QLatin1Char('\t'));
        if (row.size() != header.size())
            badFile(file, QStringLiteral("linha %1 com %2 colunas").arg(i + 1).arg(row.size()));
        rows << row;
    }
    return rows;
}

void loadReferenceData(db::fb::Transaction& tr)
{
    static const ReferenceTable tables[] = {
        {"uf.tsv", "TB_UNIDADE_FEDERACAO", {{"CO_UF", Kind::Text}, {"NO_UF", Kind::Text}}},
        {"municipios.tsv", "TB_CIDADE",
         {{"CO_SEQ_CIDADE", Kind::Integer}, {"CO_UF", Kind::Text}, {"NO_CIDADE", Kind::Text},
          {"CO_MUNICIPIO_IBGE", Kind::Text}}},
        {"itens_censo.tsv", "TB_ITEM_CENSO_IBGE", {{"CO_ITEM_CENSO", Kind::Integer}, {"DS_ITEM_CENSO", Kind::Text}}},
        {"censo_populacao.tsv", "RL_CIDADE_ITEMCENSOIBGE",
         {{"CO_CIDADE", Kind::Integer}, {"NU_ANO_CENSO", Kind::Text}, {"CO_ITEM_CENSO", Kind::Integer},
          {"QT_POPULACAO", Kind::Number}}},
        {"formas_pactuacao.tsv", "TB_FORMA_PACTUACAO",
         {{"CO_FORMA_PACTUACAO", Kind::Text}, {"DS_FORMA_PACTUACAO", Kind::Text}}},
        {"medicamentos.tsv", "TB_ELENCO_MINIMO",
         {{"CO_SEQ_MEDICAMENTO", Kind::Integer}, {"DS_MEDICAMENTO", Kind::Text}, {"ST_ELENCO_MINIMO", Kind::Text}}},
        {"elenco_uf.tsv", "RL_ELENCOMINIMO_UF", {{"CO_UF", Kind::Text}, {"CO_MEDICAMENTO", Kind::Integer}}},
    };
    for (const ReferenceTable& t : tables)
        load(tr, t);
}

}  // namespace data
