#include "interchange/rules/Carga.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "interchange/rules/Conteudo.h"
#include "interchange/rules/Interrupcao.h"
#include "interchange/rules/Leitor.h"
#include "interchange/rules/Manifesto.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <tuple>

namespace interchange {

namespace {

qint64 linhasPorTransacao = 20000;
int idadeMinimaArquivo = 5;

const QChar separador(0x1F);

// The rows of one table that one file gives a unit.
struct Parte {
    int arquivo = 0;  // index into the summary's files
    const TabelaIntercambio* tabela = nullptr;
    std::vector<const LinhaLida*> linhas;
};

// A month of a municipality (year, UF, municipality, month) across the tables of the
// month, or its year's initial balance (year, UF, municipality): loaded whole or not at all.
struct Unidade {
    QVariantList chave;
    bool saldo = false;
    std::vector<Parte> partes;  // in the order of the four tables
    qint64 linhas() const
    {
        qint64 n = 0;
        for (const Parte& p : partes)
            n += qint64(p.linhas.size());
        return n;
    }
};

QString triplaDe(const QVariantList& chave)
{
    return chave.value(0).toString() + separador + chave.value(1).toString() + separador + chave.value(2).toString();
}

QString rotulo(const Unidade& u, bool variasChaves)
{
    const QString ano = u.chave.value(0).toString();
    if (u.saldo) {
        QString r = QStringLiteral("saldo inicial de %1").arg(ano);
        if (variasChaves)
            r += QStringLiteral(" (%1, município %2)").arg(u.chave.value(1).toString(), u.chave.value(2).toString());
        return r;
    }
    QString r = QStringLiteral("mês %1").arg(u.chave.value(3).toString());
    if (variasChaves)
        r += QStringLiteral(" de %1 (%2, município %3)").arg(ano, u.chave.value(1).toString(), u.chave.value(2).toString());
    return r;
}

// A file name as the summary shows it: control characters (and the backslash) escaped,
// so that no name can break a line of the summary or forge one.
QString nomeVisivel(const QString& nome)
{
    QString r;
    r.reserve(nome.size());
    for (const QChar ch : nome) {
        const char16_t u = ch.unicode();
        if (u < 0x20 || u == 0x7F || (u >= 0x80 && u <= 0x9F) || u == 0x2028 || u == 0x2029)
            r += QStringLiteral("\\x%1").arg(uint(u), u > 0xFF ? 4 : 2, 16, QLatin1Char('0'));
        else if (u == u'\\')
            r += QStringLiteral("\\\\");
        else
            r += ch;
    }
    return r;
}

// "1", "1 e 2", "1, 2 e 3".
QString enumera(const QStringList& itens)
{
    if (itens.size() <= 1)
        return itens.value(0);
    return itens.mid(0, itens.size() - 1).join(QStringLiteral(", ")) + QStringLiteral(" e ") + itens.last();
}

QString motivoDoBanco(const std::exception& e)
{
    if (auto* d = dynamic_cast<const db::DatabaseError*>(&e))
        return d->message().simplified();
    if (auto* d = dynamic_cast<const db::DataError*>(&e))
        return d->message().simplified();
    return QString::fromUtf8(e.what()).simplified();
}

// A duplicate key that the unit's own rows cannot have caused -- a line number the
// loader gives, or a table's only row after its delete -- belongs to another seat
// loading the same month at the same time.
bool deOutroAssento(const std::exception& e, const Parte& p)
{
    if (dynamic_cast<const db::LockConflictError*>(&e))
        return true;
    const auto* d = dynamic_cast<const db::DatabaseError*>(&e);
    const bool numerada =
        std::any_of(p.tabela->colunas.cbegin(), p.tabela->colunas.cend(), [](const Coluna& c) { return c.omitida; });
    return d && d->isKeyViolation() && (numerada || p.linhas.size() == 1);
}

// Why the database refused a unit.
QString motivo(const std::exception& e, const Parte& p)
{
    const auto* d = dynamic_cast<const db::DatabaseError*>(&e);
    if (d && d->isKeyViolation() && deOutroAssento(e, p))
        return db::LockConflictError(d->message()).message();
    if (d && d->isKeyViolation()) {
        // The file itself gives the same key twice: said in the clerk's words, with the
        // key's columns, not in the engine's.
        QStringList chave;
        for (int i = 0; i < p.tabela->chaves && i < p.tabela->colunas.size(); ++i)
            chave << p.tabela->colunas.at(i).nome;
        return QStringLiteral("o arquivo traz mais de uma linha com a mesma chave (%1)").arg(chave.join(QStringLiteral(", ")));
    }
    return motivoDoBanco(e);
}

// The most rows of one table that one EXECUTE BLOCK inserts. The engine allows 255
// contexts (one per statement) in a request: a month's block holds up to three
// tables' deletes and twice this many inserts (the header's one row aside).
constexpr int linhasPorBloco = 64;

// The statements of one table, prepared once for the whole run.
struct Comandos {
    std::unique_ptr<db::Statement> apaga;
    std::unique_ptr<db::Statement> insere;  // one row: to find the line the database refuses
    QStringList chaves;   // parameter names of the delete
    QStringList colunas;  // parameter names of the insert
    QVector<int> posicoes;  // column position of each insert parameter
    int numero = -1;        // position of the month's line number, when the table has one
};

Comandos comandos(db::Connection& conexao, const TabelaIntercambio& t)
{
    Comandos c;
    QStringList where;
    for (int j = 0; j < t.chaves; ++j) {
        const QString& nome = t.colunas[j].nome;
        where << nome + QStringLiteral(" = :") + nome;
        c.chaves << nome;
    }
    c.apaga = std::make_unique<db::Statement>(
        conexao, QStringList{QStringLiteral("Delete From ") + t.tabela + QStringLiteral(" Where ") + where.join(QStringLiteral(" and "))});
    // The month's line number is given here, 1 onwards in the order of the file, as the
    // database would give it after the delete: the numbering trigger has nothing to
    // look up (nor old index entries of the deleted rows to walk past).
    QStringList marcas;
    for (int j = 0; j < t.colunas.size(); ++j) {
        if (t.colunas[j].omitida)
            c.numero = j;
        c.colunas << t.colunas[j].nome;
        marcas << QLatin1Char(':') + t.colunas[j].nome;
        c.posicoes << j;
    }
    c.insere = std::make_unique<db::Statement>(
        conexao, QStringList{QStringLiteral("Insert into ") + t.tabela + QStringLiteral(" ( ") + c.colunas.join(QLatin1Char(',')) +
                                 QStringLiteral(" ) values ( ") + marcas.join(QLatin1Char(',')) + QStringLiteral(" )")});
    // The loader has no use for the number of rows each statement changed.
    c.apaga->setCountsRows(false);
    c.insere->setCountsRows(false);
    return c;
}

// What one EXECUTE BLOCK does to one table: delete the unit's rows (or not, for the
// second block of a large part) and insert up to `capacidade` rows.
struct Trecho {
    const TabelaIntercambio* tabela = nullptr;
    bool apaga = true;
    int capacidade = 0;
};

// The block's size for n rows: 0 or a power of two up to linhasPorBloco, so that few
// blocks are prepared however the months' sizes vary; the rows beyond n are sent empty
// and not inserted (each empty row costs the engine about half a row's work, hence no
// coarser steps).
int capacidadePara(int n)
{
    int c = 0;
    while (c < n)
        c = c == 0 ? 1 : c * 2;
    return std::min(c, linhasPorBloco);
}

// EXECUTE BLOCK (K0 TYPE OF COLUMN T.C0 = ?, ..., N0 INTEGER = ?, V0_0_0 TYPE OF COLUMN
// T.C0 = ?, ...) AS BEGIN DELETE FROM T WHERE C0 = :K0 ...; IF (:N0 > 0) THEN INSERT
// INTO T (...) VALUES (:V0_0_0, ...); ... END -- the unit's key, then for each table
// the count of rows and the rows. A failed block undoes its own work and nothing else.
std::unique_ptr<db::Statement> bloco(db::Connection& conexao, const std::vector<Trecho>& trechos)
{
    const TabelaIntercambio& primeira = *trechos.front().tabela;
    QStringList declaracoes;
    QStringList corpo;
    for (int j = 0; j < primeira.chaves; ++j)
        declaracoes << QStringLiteral("K%1 TYPE OF COLUMN %2.%3 = ?").arg(QString::number(j), primeira.tabela, primeira.colunas[j].nome);
    for (size_t k = 0; k < trechos.size(); ++k) {
        const TabelaIntercambio& t = *trechos[k].tabela;
        if (trechos[k].apaga) {
            QStringList where;
            for (int j = 0; j < t.chaves; ++j)
                where << QStringLiteral("%1 = :K%2").arg(t.colunas[j].nome, QString::number(j));
            corpo << QStringLiteral("DELETE FROM %1 WHERE %2;").arg(t.tabela, where.join(QStringLiteral(" AND ")));
        }
        if (trechos[k].capacidade == 0)
            continue;
        declaracoes << QStringLiteral("N%1 INTEGER = ?").arg(k);
        QStringList colunas;
        for (const Coluna& c : t.colunas)
            colunas << c.nome;
        for (int i = 0; i < trechos[k].capacidade; ++i) {
            QStringList valores;
            for (int j = 0; j < t.colunas.size(); ++j) {
                const QString v = QStringLiteral("V%1_%2_%3").arg(k).arg(i).arg(j);
                declaracoes << QStringLiteral("%1 TYPE OF COLUMN %2.%3 = ?").arg(v, t.tabela, t.colunas[j].nome);
                valores << QLatin1Char(':') + v;
            }
            corpo << QStringLiteral("IF (:N%1 > %2) THEN INSERT INTO %3 (%4) VALUES (%5);")
                         .arg(QString::number(k), QString::number(i), t.tabela, colunas.join(QLatin1Char(',')),
                              valores.join(QLatin1Char(',')));
        }
    }
    auto s = std::make_unique<db::Statement>(
        conexao, QStringList{QStringLiteral("EXECUTE BLOCK (") + declaracoes.join(QStringLiteral(", ")) + QStringLiteral(") AS BEGIN"),
                             corpo.join(QLatin1Char('\n')), QStringLiteral("END")});
    s->setPositional(true);
    s->setCountsRows(false);
    return s;
}

int posicaoDaTabela(const TabelaIntercambio* t)
{
    const auto& todas = tabelasIntercambio();
    for (int i = 0; i < todas.size(); ++i)
        if (&todas[i] == t)
            return i;
    return int(todas.size());
}

// The files of one municipality: those whose names share their first 12 characters.
struct Municipio {
    QString prefixo;
    QVector<int> arquivos;  // indexes into the summary's files, in the order given
    int manifesto = -1;     // its manifest, when given among the files
};

// A unit loaded in the batch not yet committed: what it added to each file's counts.
struct Pendente {
    Unidade unidade;  // its key alone
    std::vector<std::pair<int, qint64>> linhasPorArquivo;
};

class Carregador {
public:
    Carregador(db::Connection& conexao, const AcompanhaProgresso& progresso) : conexao_(conexao), progresso_(progresso) {}

    ResumoImportacao executa(const QStringList& caminhos)
    {
        verificaInstalacao();
        ResumoImportacao resumo;
        std::vector<Municipio> municipios;
        QHash<QString, size_t> indice;
        for (int i = 0; i < caminhos.size(); ++i) {
            ResultadoArquivo r;
            r.nome = QFileInfo(caminhos[i]).fileName();
            const bool manifesto = ehManifesto(r.nome);
            if (!tabelaDoArquivo(r.nome) && !manifesto) {
                r.estado = ResultadoArquivo::Estado::Ignorado;
                ++andamento_.arquivo;
            } else {
                const QString prefixo = prefixoDoArquivo(r.nome).toUpper();
                auto it = indice.constFind(prefixo);
                if (it == indice.cend()) {
                    it = indice.insert(prefixo, municipios.size());
                    municipios.push_back(Municipio{prefixo, {}, -1});
                }
                if (manifesto) {
                    r.estado = ResultadoArquivo::Estado::Manifesto;
                    ++andamento_.arquivo;
                    municipios[*it].manifesto = i;
                } else {
                    municipios[*it].arquivos << i;
                }
            }
            resumo.arquivos << r;
        }
        andamento_.arquivos = int(caminhos.size());
        for (const Municipio& m : municipios) {
            if (parar_)
                break;
            carregaMunicipio(m, caminhos, resumo);
        }
        // What was loaded stays: the batch ends with a commit, between two units.
        confirmaLote(resumo);
        if (!desfeitos_.empty()) {
            std::vector<const Unidade*> desfeitas;
            for (const Pendente& p : desfeitos_)
                desfeitas.push_back(&p.unidade);
            resumo.naoCarregados = descreve(desfeitas);
        }
        resumo.interrompida = parar_;
        return resumo;
    }

private:
    // What the rows of a file must hold: its name's UF, year and municipality, a known UF
    // and a municipality of the reference table, never a state's own follow-up.
    Conferencia conferencia(const QString& nome) const
    {
        Conferencia c = conferenciaDoNome(nome);
        c.recusaMunicipioZero = true;
        c.ufs = &ufs_;
        c.cidades = &cidades_;
        return c;
    }

    // Before anything is loaded: the installation must be a state's, and the reference
    // tables the rows are checked against are read.
    void verificaInstalacao()
    {
        db::Statement p(conexao_, {QStringLiteral("select CO_CIDADE from TB_PARAMETRO_KORVA")});
        const QVariant cidade = p.scalar();
        if (!cidade.isNull() && cidade.toInt() != 0)
            throw ErroImportacao(QStringLiteral("O banco de dados é de uma instalação municipal (município %1); "
                                                "só uma instalação estadual importa dados.")
                                     .arg(cidade.toInt()));
        for (const QVariantList& l :
             db::Statement(conexao_, {QStringLiteral("select CO_UF from TB_UNIDADE_FEDERACAO")}).selectAll())
            ufs_.insert(l.value(0).toString().trimmed(), true);
        for (const QVariantList& l :
             db::Statement(conexao_, {QStringLiteral("select CO_SEQ_CIDADE, CO_UF, CO_MUNICIPIO_IBGE from TB_CIDADE")})
                 .selectAll())
            cidades_.insert(l.value(0).toInt(), CidadeConhecida{l.value(1).toString().trimmed(), l.value(2).toString().trimmed()});
    }

    bool avisa()
    {
        if (!progresso_ || parar_)
            return !parar_;
        if (!progresso_(andamento_))
            parar_ = true;
        return !parar_;
    }

    // The municipality's manifest: the one given among the files, else one beside its
    // first file; empty when there is none.
    QString caminhoDoManifesto(const Municipio& m, const QStringList& caminhos)
    {
        if (m.manifesto >= 0)
            return caminhos[m.manifesto];
        if (m.arquivos.isEmpty())
            return {};
        const QDir pasta = QFileInfo(caminhos[m.arquivos.first()]).dir();
        const QString achado = arquivoDaPasta(pasta, nomeDoManifesto(m.prefixo));
        return achado.isEmpty() ? QString() : pasta.filePath(achado);
    }

    // The name of a file of the folder that is nome but for letter case (the first in
    // name order), empty when there is none. Each folder is listed once per import: a
    // state's folder holds thousands of files, and every municipality asks.
    QString arquivoDaPasta(const QDir& pasta, const QString& nome)
    {
        const QString chave = pasta.absolutePath();
        auto it = pastas_.constFind(chave);
        if (it == pastas_.cend()) {
            QHash<QString, QString> nomes;
            for (const QString& n : pasta.entryList(QDir::Files | QDir::System, QDir::Name | QDir::IgnoreCase))
                if (!nomes.contains(n.toUpper()))
                    nomes.insert(n.toUpper(), n);
            it = pastas_.insert(chave, nomes);
        }
        return it->value(nome.toUpper());
    }

    void carregaMunicipio(const Municipio& m, const QStringList& caminhos, ResumoImportacao& resumo)
    {
        if (m.arquivos.isEmpty())
            return;
        // The manifest, when there is one: every file is checked against it.
        std::optional<Manifesto> manifesto;
        QString erroDoManifesto;
        const QString caminhoManifesto = caminhoDoManifesto(m, caminhos);
        if (caminhoManifesto.isEmpty()) {
            resumo.semManifesto << nomeVisivel(m.prefixo);
        } else {
            const ConteudoArquivo conteudo = leConteudo(caminhoManifesto, [this] { return avisa(); }, idadeMinimaArquivo);
            if (conteudo.estado == ConteudoArquivo::Estado::Interrompido) {
                resumo.ondeParou = QStringLiteral("durante a leitura do manifesto de %1").arg(nomeVisivel(m.prefixo));
                return;
            }
            erroDoManifesto = conteudo.erro;
            if (conteudo.estado == ConteudoArquivo::Estado::Lido) {
                try {
                    manifesto = leManifesto(conteudo.bytes);
                } catch (const ErroLeitura& e) {
                    erroDoManifesto = e.texto();
                }
            }
            if (!erroDoManifesto.isEmpty()) {
                erroDoManifesto = QStringLiteral("o manifesto do município, %1, foi recusado: %2")
                                      .arg(nomeVisivel(QFileInfo(caminhoManifesto).fileName()), erroDoManifesto);
                if (m.manifesto >= 0) {
                    resumo.arquivos[m.manifesto].estado = ResultadoArquivo::Estado::Recusado;
                    resumo.arquivos[m.manifesto].erro = erroDoManifesto;
                }
            }
        }

        // Every file read before anything of the municipality is loaded.
        std::vector<ArquivoLido> lidos(size_t(m.arquivos.size()));
        QHash<const TabelaIntercambio*, int> porTabela;
        int recusado = -1;
        for (int k = 0; k < m.arquivos.size(); ++k) {
            const int i = m.arquivos[k];
            ResultadoArquivo& r = resumo.arquivos[i];
            ++andamento_.arquivo;
            andamento_.nome = r.nome;
            if (!avisa()) {
                resumo.ondeParou = QStringLiteral("antes do arquivo %1").arg(nomeVisivel(r.nome));
                return;
            }
            const TabelaIntercambio* t = tabelaDoArquivo(r.nome);
            r.saldos = t->chaves < 4;
            if (porTabela.contains(t)) {
                r.estado = ResultadoArquivo::Estado::Recusado;
                r.erro = QStringLiteral("o arquivo %1, do mesmo município e da mesma tabela, está nesta importação; "
                                        "importe um só")
                             .arg(nomeVisivel(resumo.arquivos[porTabela.value(t)].nome));
                if (recusado < 0)
                    recusado = i;
                continue;
            }
            porTabela.insert(t, i);
            const ConteudoArquivo conteudo = leConteudo(caminhos[i], [this] { return avisa(); }, idadeMinimaArquivo);
            if (conteudo.estado == ConteudoArquivo::Estado::Interrompido) {
                resumo.ondeParou = QStringLiteral("durante a leitura do arquivo %1").arg(nomeVisivel(r.nome));
                return;
            }
            r.erro = conteudo.erro;
            if (conteudo.estado == ConteudoArquivo::Estado::Lido) {
                if (!erroDoManifesto.isEmpty())
                    r.erro = erroDoManifesto;
                else
                    try {
                        ArquivoLido lido = leArquivo(conteudo.bytes, *t, conferencia(r.nome));
                        r.erro = manifesto ? confereComManifesto(*manifesto, r.nome, conteudo.bytes, *t, &lido) : QString();
                        if (r.erro.isEmpty()) {
                            r.utf8 = lido.utf8;
                            lidos[size_t(k)] = std::move(lido);
                            continue;
                        }
                    } catch (const ErroLeitura& e) {
                        r.erro = e.texto();
                    }
            }
            r.estado = ResultadoArquivo::Estado::Recusado;
            if (recusado < 0)
                recusado = i;
        }

        std::vector<Unidade> unidades = unidadesDe(m, lidos, manifesto);
        const bool variasChaves = [&unidades] {
            QHash<QString, bool> triplas;
            for (const Unidade& u : unidades)
                triplas.insert(triplaDe(u.chave), true);
            return triplas.size() > 1;
        }();

        if (recusado >= 0) {
            // One file refused: nothing of the municipality loads.
            for (int i : m.arquivos) {
                ResultadoArquivo& r = resumo.arquivos[i];
                if (r.estado == ResultadoArquivo::Estado::NaoLido) {
                    r.estado = ResultadoArquivo::Estado::Mantido;
                    r.erro = nomeVisivel(resumo.arquivos[recusado].nome);
                }
            }
            std::vector<const Unidade*> todas;
            for (const Unidade& u : unidades)
                todas.push_back(&u);
            resumo.arquivos[recusado].mantidos = descreve(todas);
            return;
        }

        for (int i : m.arquivos)
            resumo.arquivos[i].estado = ResultadoArquivo::Estado::Carregado;
        for (size_t n = 0; n < unidades.size(); ++n) {
            const Unidade& u = unidades[n];
            bool carregada = false;
            if (!avisa())
                resumo.ondeParou = QStringLiteral("nos arquivos de %1, antes do %2")
                                       .arg(nomeVisivel(m.prefixo), rotulo(u, variasChaves));
            else
                carregada = carregaUnidade(u, variasChaves, resumo);
            if (parar_) {
                // Not loaded: what a failed batch undid, and the months not yet loaded.
                std::vector<const Unidade*> resto;
                for (const Pendente& p : desfeitos_)
                    resto.push_back(&p.unidade);
                for (size_t j = carregada ? n + 1 : n; j < unidades.size(); ++j)
                    resto.push_back(&unidades[j]);
                resumo.naoCarregados = descreve(resto);
                desfeitos_.clear();
                return;
            }
        }
    }

    std::vector<Unidade> unidadesDe(const Municipio& m, const std::vector<ArquivoLido>& lidos,
                                    const std::optional<Manifesto>& manifesto)
    {
        // The files in the order of the four tables: a month's header before its lines.
        std::vector<int> ordem;
        for (int k = 0; k < m.arquivos.size(); ++k)
            if (lidos[size_t(k)].tabela)
                ordem.push_back(k);
        std::stable_sort(ordem.begin(), ordem.end(), [&lidos](int a, int b) {
            return posicaoDaTabela(lidos[size_t(a)].tabela) < posicaoDaTabela(lidos[size_t(b)].tabela);
        });
        std::vector<Unidade> unidades;
        QHash<QString, size_t> indice;
        for (int k : ordem) {
            const ArquivoLido& lido = lidos[size_t(k)];
            const TabelaIntercambio& t = *lido.tabela;
            // Rows of one month need not stand together in the file.
            for (const LinhaLida& l : lido.linhas) {
                const QVariantList chave = l.valores.mid(0, t.chaves);
                QString k2 = t.chaves < 4 ? QStringLiteral("S") : QStringLiteral("M");
                for (const QVariant& v : chave)
                    k2 += separador + v.toString();
                auto it = indice.constFind(k2);
                if (it == indice.cend()) {
                    it = indice.insert(k2, unidades.size());
                    Unidade u;
                    u.chave = chave;
                    u.saldo = t.chaves < 4;
                    unidades.push_back(u);
                }
                Unidade& u = unidades[*it];
                if (u.partes.empty() || u.partes.back().tabela != &t)
                    u.partes.push_back(Parte{m.arquivos[k], &t, {}});
                u.partes.back().linhas.push_back(&l);
            }
        }
        // A month is replaced whole: a table of the month whose file came without rows of
        // it (or that the manifest says has none) has its rows of the month deleted too,
        // so that a month never keeps old lines under a new header.
        QHash<const TabelaIntercambio*, int> arquivoDaTabela;
        for (int k : ordem)
            arquivoDaTabela.insert(lidos[size_t(k)].tabela, m.arquivos[k]);
        for (Unidade& u : unidades) {
            if (u.saldo)
                continue;
            for (const TabelaIntercambio& t : tabelasIntercambio()) {
                if (t.chaves < 4)
                    continue;
                bool presente = false;
                for (const Parte& p : u.partes)
                    presente = presente || p.tabela == &t;
                if (presente)
                    continue;
                const int arquivo = arquivoDaTabela.value(&t, -1);
                // Without its file, only a month the manifest says has no rows there.
                const bool vazioNoManifesto =
                    manifesto && manifesto->linhas.value(t.palavra).value(u.chave.value(3).toString().trimmed(), -1) == 0;
                if (arquivo >= 0 || vazioNoManifesto)
                    u.partes.push_back(Parte{arquivo, &t, {}});
            }
            std::stable_sort(u.partes.begin(), u.partes.end(), [](const Parte& a, const Parte& b) {
                return posicaoDaTabela(a.tabela) < posicaoDaTabela(b.tabela);
            });
        }
        // Month by month, each municipality and year apart; the initial balance last.
        std::stable_sort(unidades.begin(), unidades.end(), [](const Unidade& a, const Unidade& b) {
            const auto chave = [](const Unidade& u) {
                return std::make_tuple(u.chave.value(0).toString(), u.chave.value(1).toString(), u.chave.value(2).toInt(),
                                       u.saldo, u.saldo ? 0 : u.chave.value(3).toString().toInt());
            };
            return chave(a) < chave(b);
        });
        return unidades;
    }

    // Whether the unit was loaded (and may since have been undone with its batch).
    bool carregaUnidade(const Unidade& u, bool variasChaves, ResumoImportacao& resumo)
    {
        if (!lote_) {
            try {
                lote_.emplace(conexao_);
            } catch (const std::exception& e) {
                falha(resumo, motivoDoBanco(e));
                return false;
            }
        }
        // A part without rows (its month cleared) has no line of its own to name.
        const Parte* atual = nullptr;
        for (const Parte& p : u.partes)
            if (!atual && !p.linhas.empty())
                atual = &p;
        int linhaAtual = atual->linhas.front()->linha;
        try {
            insereEmBlocos(u, atual, linhaAtual);
        } catch (const std::exception& e) {
            // A database that no longer answers ends the import. Another seat holding
            // the month refuses it at once; anything else is looked at row by row, to
            // name the line the database refuses (the rows then load when none is).
            if (!conexaoResponde()) {
                falha(resumo, motivoDoBanco(e));
                return false;
            }
            std::optional<QString> recusa;
            if (deOutroAssento(e, *atual))
                recusa = motivo(e, *atual);
            else
                recusa = insereLinhaALinha(u, atual, linhaAtual);
            if (recusa) {
                resumo.arquivos[atual->arquivo].recusas
                    << QStringLiteral("%1 (linha %2): %3").arg(rotulo(u, variasChaves)).arg(linhaAtual).arg(*recusa);
                return false;
            }
        }
        Pendente pendente{Unidade{u.chave, u.saldo, {}}, {}};
        for (const Parte& p : u.partes) {
            if (p.arquivo < 0 || p.linhas.empty())
                continue;
            ResultadoArquivo& r = resumo.arquivos[p.arquivo];
            ++r.meses;
            r.linhas += qint64(p.linhas.size());
            pendente.linhasPorArquivo.emplace_back(p.arquivo, qint64(p.linhas.size()));
        }
        pendentes_.push_back(std::move(pendente));
        ++andamento_.meses;
        andamento_.linhas += u.linhas();
        linhasNoLote_ += u.linhas() + 1;
        if (linhasNoLote_ >= linhasPorTransacao)
            confirmaLote(resumo);
        return true;
    }

    // The unit's tables deleted and their rows inserted. A unit whose tables each fit in
    // a block is one EXECUTE BLOCK, atomic by itself; a larger one runs block by block
    // in a savepoint. atual and linha follow the part and the first line of the block
    // being run.
    void insereEmBlocos(const Unidade& u, const Parte*& atual, int& linha)
    {
        const bool cabe = std::all_of(u.partes.cbegin(), u.partes.cend(),
                                      [](const Parte& p) { return p.linhas.size() <= size_t(linhasPorBloco); });
        if (cabe) {
            std::vector<Trecho> trechos;
            std::vector<std::pair<const Parte*, int>> partes;
            for (const Parte& p : u.partes) {
                trechos.push_back(Trecho{p.tabela, true, capacidadePara(int(p.linhas.size()))});
                partes.emplace_back(&p, 0);
            }
            executaBloco(u, trechos, partes);
            return;
        }
        db::WriteUnit unidade(conexao_);
        for (const Parte& p : u.partes) {
            if (!p.linhas.empty()) {
                atual = &p;
                linha = p.linhas.front()->linha;
            }
            const int total = int(p.linhas.size());
            int inicio = 0;
            do {
                const int n = std::min(linhasPorBloco, total - inicio);
                if (n > 0)
                    linha = p.linhas[size_t(inicio)]->linha;
                executaBloco(u, {Trecho{p.tabela, inicio == 0, capacidadePara(n)}}, {{&p, inicio}});
                inicio += linhasPorBloco;
            } while (inicio < total);
        }
        unidade.commit();
    }

    // One block: the unit's key, then for each part its rows from the given one on, as
    // many as the block holds.
    void executaBloco(const Unidade& u, const std::vector<Trecho>& trechos, const std::vector<std::pair<const Parte*, int>>& partes)
    {
        QString assinatura;
        for (const Trecho& t : trechos)
            assinatura += QStringLiteral("%1 %2 %3;").arg(t.tabela->palavra).arg(int(t.apaga)).arg(t.capacidade);
        auto& b = blocos_[assinatura];
        if (!b)
            b = bloco(conexao_, trechos);
        QVariantList& valores = b->values();
        valores.clear();
        const TabelaIntercambio& primeira = *trechos.front().tabela;
        for (int j = 0; j < primeira.chaves; ++j)
            valores << u.chave[j];
        for (size_t k = 0; k < trechos.size(); ++k) {
            const Trecho& t = trechos[k];
            if (t.capacidade == 0)
                continue;
            const auto [parte, inicio] = partes[k];
            const Comandos& c = comandosDe(*t.tabela);
            const int n = std::min(t.capacidade, int(parte->linhas.size()) - inicio);
            valores << n;
            for (int i = 0; i < t.capacidade; ++i) {
                if (i >= n) {
                    for (int j = 0; j < c.colunas.size(); ++j)
                        valores << QVariant();
                    continue;
                }
                const LinhaLida& l = *parte->linhas[size_t(inicio + i)];
                for (int j = 0; j < c.colunas.size(); ++j)
                    valores << (c.posicoes[j] == c.numero ? QVariant(inicio + i + 1) : l.valores[c.posicoes[j]]);
            }
        }
        b->exec();
    }

    // The unit again, one row at a time, after its blocks failed: the database's words
    // and the line of the row it refused, or nothing when every row loads this time.
    std::optional<QString> insereLinhaALinha(const Unidade& u, const Parte*& atual, int& linha)
    {
        try {
            db::WriteUnit unidade(conexao_);
            for (const Parte& p : u.partes) {
                if (!p.linhas.empty()) {
                    atual = &p;
                    linha = p.linhas.front()->linha;
                }
                Comandos& c = comandosDe(*p.tabela);
                for (int j = 0; j < c.chaves.size(); ++j)
                    c.apaga->setParam(c.chaves[j], u.chave[j]);
                c.apaga->exec();
                int numero = 0;
                for (const LinhaLida* l : p.linhas) {
                    linha = l->linha;
                    ++numero;
                    for (int j = 0; j < c.colunas.size(); ++j)
                        c.insere->setParam(c.colunas[j], c.posicoes[j] == c.numero ? QVariant(numero) : l->valores[c.posicoes[j]]);
                    c.insere->exec();
                }
            }
            unidade.commit();
            return std::nullopt;
        } catch (const std::exception& e) {
            return motivo(e, *atual);
        }
    }

    // Commits the batch; when that fails, the batch's months were not loaded after all.
    void confirmaLote(ResumoImportacao& resumo)
    {
        if (!lote_)
            return;
        try {
            lote_->commit();
        } catch (const std::exception& e) {
            falha(resumo, motivoDoBanco(e));
            return;
        }
        lote_.reset();
        pendentes_.clear();
        linhasNoLote_ = 0;
    }

    // The database failed (lost, full, refusing to commit): the import stops, the batch
    // not yet committed is undone and its months leave the files' counts.
    void falha(ResumoImportacao& resumo, const QString& motivo)
    {
        parar_ = true;
        resumo.ondeParou = QStringLiteral("porque o banco de dados falhou (%1)").arg(motivo);
        lote_.reset();
        for (Pendente& p : pendentes_) {
            for (const auto& [arquivo, linhas] : p.linhasPorArquivo) {
                --resumo.arquivos[arquivo].meses;
                resumo.arquivos[arquivo].linhas -= linhas;
            }
            --andamento_.meses;
            desfeitos_.push_back(std::move(p));
        }
        pendentes_.clear();
        linhasNoLote_ = 0;
    }

    bool conexaoResponde()
    {
        try {
            db::Statement(conexao_, {QStringLiteral("select 1 from rdb$database")}).scalar();
            return true;
        } catch (const std::exception&) {
            return false;
        }
    }

    // "Lavras (MG, município 3138203), 2003: meses 1, 2 e 3 e o saldo inicial", one such
    // part for each municipality and year, joined by "; ".
    QString descreve(const std::vector<const Unidade*>& unidades)
    {
        std::vector<QString> ordem;
        std::map<QString, std::pair<QStringList, bool>> porTripla;
        for (const Unidade* u : unidades) {
            const QString k = triplaDe(u->chave);
            if (!porTripla.count(k))
                ordem.push_back(k);
            auto& [meses, saldo] = porTripla[k];
            if (u->saldo)
                saldo = true;
            else
                meses << u->chave.value(3).toString();
        }
        QStringList partes;
        for (const QString& k : ordem) {
            const auto& [meses, saldo] = porTripla[k];
            const QStringList chave = k.split(separador);
            QStringList itens;
            if (!meses.isEmpty())
                itens << (meses.size() == 1 ? QStringLiteral("mês ") : QStringLiteral("meses ")) + enumera(meses);
            if (saldo)
                itens << QStringLiteral("o saldo inicial");
            const QString nome = nomeDaCidade(chave.value(2).toInt());
            partes << QStringLiteral("%1(%2, município %3), %4: %5")
                          .arg(nome.isEmpty() ? QString() : nome + QLatin1Char(' '), chave.value(1), chave.value(2),
                               chave.value(0), itens.join(QStringLiteral(" e ")));
        }
        return partes.join(QStringLiteral("; "));
    }

    QString nomeDaCidade(int cidade)
    {
        if (!nomes_.contains(cidade)) {
            QString nome;
            try {
                db::Statement s(conexao_, {QStringLiteral("select NO_CIDADE from TB_CIDADE where CO_SEQ_CIDADE = :C")});
                s.setParam(QStringLiteral("C"), cidade);
                nome = s.scalar().toString().trimmed();
            } catch (const std::exception&) {
                // A database that fails: the summary names the municipality by its number.
            }
            nomes_.insert(cidade, nome);
        }
        return nomes_.value(cidade);
    }

    Comandos& comandosDe(const TabelaIntercambio& t)
    {
        auto it = comandos_.find(t.palavra);
        if (it == comandos_.end())
            it = comandos_.emplace(t.palavra, comandos(conexao_, t)).first;
        return it->second;
    }

    db::Connection& conexao_;
    const AcompanhaProgresso& progresso_;
    Progresso andamento_;
    bool parar_ = false;
    std::optional<db::WriteUnit> lote_;
    qint64 linhasNoLote_ = 0;
    std::vector<Pendente> pendentes_;  // loaded in the batch, not yet committed
    std::vector<Pendente> desfeitos_;  // a failed batch's, not yet in the summary
    std::map<QString, Comandos> comandos_;
    std::map<QString, std::unique_ptr<db::Statement>> blocos_;  // by the tables and sizes they hold
    QHash<int, QString> nomes_;
    QHash<QString, QHash<QString, QString>> pastas_;  // folder -> upper-case file name -> name
    QHash<QString, bool> ufs_;
    QHash<int, CidadeConhecida> cidades_;
};

}  // namespace

ErroImportacao::ErroImportacao(const QString& mensagem) : std::runtime_error(mensagem.toStdString()), mensagem_(mensagem) {}

void setLinhasPorTransacao(qint64 linhas)
{
    linhasPorTransacao = std::max<qint64>(1, linhas);
}

void setIdadeMinimaArquivo(int segundos)
{
    idadeMinimaArquivo = std::max(0, segundos);
}

bool ResumoImportacao::tudoCarregado() const
{
    if (interrompida)
        return false;
    for (const ResultadoArquivo& a : arquivos) {
        if ((a.estado != ResultadoArquivo::Estado::Carregado && a.estado != ResultadoArquivo::Estado::Manifesto) ||
            !a.recusas.isEmpty())
            return false;
    }
    return true;
}

QString ResumoImportacao::texto() const
{
    QStringList partes;
    if (interrompida) {
        QString p = QStringLiteral("Importação interrompida %1.").arg(ondeParou);
        if (!naoCarregados.isEmpty())
            p += QStringLiteral(" Não carregados, ficaram como estavam: %1.").arg(naoCarregados);
        partes << p;
    } else {
        partes << QStringLiteral("Importação Concluída");
    }
    const auto plural = [](qint64 n, const char* um, const char* varios) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? um : varios));
    };
    for (const ResultadoArquivo& a : arquivos) {
        QString p = nomeVisivel(a.nome) + QStringLiteral(": ");
        switch (a.estado) {
        case ResultadoArquivo::Estado::Ignorado:
            p += QStringLiteral("ignorado (o nome não é de uma tabela de intercâmbio).");
            break;
        case ResultadoArquivo::Estado::NaoLido:
            p += QStringLiteral("não carregado.");
            break;
        case ResultadoArquivo::Estado::Recusado:
            p += QStringLiteral("recusado, nada carregado; %1.").arg(a.erro);
            if (!a.mantidos.isEmpty())
                p += QStringLiteral(" Nenhum arquivo do mesmo município foi carregado; ficaram como estavam, em todas "
                                    "as tabelas: %1.")
                         .arg(a.mantidos);
            break;
        case ResultadoArquivo::Estado::Manifesto:
            p += QStringLiteral("manifesto dos arquivos do município.");
            break;
        case ResultadoArquivo::Estado::Mantido:
            p += QStringLiteral("não carregado, porque %1, do mesmo município, foi recusado.").arg(a.erro);
            break;
        case ResultadoArquivo::Estado::Carregado:
            p += QStringLiteral("%1 e %2 carregados%3.")
                     .arg(a.saldos ? plural(a.meses, "saldo inicial", "saldos iniciais") : plural(a.meses, "mês", "meses"),
                          plural(a.linhas, "linha", "linhas"),
                          a.utf8 ? QStringLiteral(" (lido como UTF-8)") : QString());
            for (const QString& recusa : a.recusas)
                p += QStringLiteral("\n  Recusado, mantido como estava em todas as tabelas: %1").arg(recusa);
            break;
        }
        partes << p;
    }
    if (!semManifesto.isEmpty())
        partes << QStringLiteral("Sem manifesto (arquivos de uma versão anterior do KORVA, ou copiados sem ele), conferidos "
                                 "só pelo formato: %1.")
                      .arg(semManifesto.join(QStringLiteral(", ")));
    return partes.join(QStringLiteral("\n\n"));
}

ResumoImportacao importaArquivos(db::Connection& conexao, const QStringList& caminhos, const AcompanhaProgresso& progresso)
{
    Carregador carregador(conexao, progresso);
    // Beside an embedded database while the import may write: a kill leaves it.
    MarcaDeImportacao marca(conexao.databaseName());
    return carregador.executa(caminhos);
}

}  // namespace interchange
