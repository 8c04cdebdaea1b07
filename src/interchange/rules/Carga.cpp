#include "interchange/rules/Carga.h"

#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "interchange/rules/Leitor.h"

#include <QFile>
#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <memory>
#include <optional>

namespace interchange {

namespace {

qint64 linhasPorTransacao = 20000;

struct Mes {
    QVariantList chave;
    std::vector<const LinhaLida*> linhas;
};

QString rotuloMes(const TabelaIntercambio& t, const Mes& m, bool variasChaves)
{
    const QString ano = m.chave.value(0).toString();
    if (t.chaves < 4) {
        QString r = QStringLiteral("saldo inicial de %1").arg(ano);
        if (variasChaves)
            r += QStringLiteral(" (%1, município %2)").arg(m.chave.value(1).toString(), m.chave.value(2).toString());
        return r;
    }
    QString r = QStringLiteral("mês %1").arg(m.chave.value(3).toString());
    if (variasChaves)
        r += QStringLiteral(" de %1 (%2, município %3)").arg(ano, m.chave.value(1).toString(), m.chave.value(2).toString());
    return r;
}

QString motivoDoBanco(const std::exception& e)
{
    if (auto* d = dynamic_cast<const db::DatabaseError*>(&e))
        return d->message().simplified();
    if (auto* d = dynamic_cast<const db::DataError*>(&e))
        return d->message().simplified();
    return QString::fromUtf8(e.what()).simplified();
}

// Why the database refused a month. A duplicate key that the month's own rows cannot have
// caused -- a line number the database gives, or a month's only header after its delete --
// belongs to another seat loading the same month at the same time.
QString motivo(const std::exception& e, const TabelaIntercambio& t, const Mes& m)
{
    const auto* d = dynamic_cast<const db::DatabaseError*>(&e);
    const bool numerada = std::any_of(t.colunas.cbegin(), t.colunas.cend(), [](const Coluna& c) { return c.omitida; });
    if (d && d->isKeyViolation() && (numerada || m.linhas.size() == 1))
        return db::LockConflictError(d->message()).message();
    return motivoDoBanco(e);
}

// The statements of one table, prepared once for the whole run.
struct Comandos {
    std::unique_ptr<db::Statement> apaga;
    std::unique_ptr<db::Statement> insere;
    QStringList chaves;   // parameter names of the delete
    QStringList colunas;  // parameter names of the insert
    QVector<int> posicoes;  // column position of each insert parameter
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
    QStringList marcas;
    for (int j = 0; j < t.colunas.size(); ++j) {
        if (t.colunas[j].omitida)
            continue;
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

class Carregador {
public:
    Carregador(db::Connection& conexao, const AcompanhaProgresso& progresso) : conexao_(conexao), progresso_(progresso) {}

    ResumoImportacao executa(const QStringList& caminhos)
    {
        ResumoImportacao resumo;
        for (const QString& caminho : caminhos) {
            ResultadoArquivo r;
            r.nome = QFileInfo(caminho).fileName();
            resumo.arquivos << r;
        }
        andamento_.arquivos = int(caminhos.size());
        for (int i = 0; i < caminhos.size() && !parar_; ++i) {
            andamento_.arquivo = i + 1;
            andamento_.nome = resumo.arquivos[i].nome;
            if (!avisa()) {
                resumo.ondeParou = QStringLiteral("antes do arquivo %1").arg(andamento_.nome);
                break;
            }
            carregaArquivo(caminhos[i], resumo.arquivos[i]);
            if (parar_)
                resumo.ondeParou = QStringLiteral("no arquivo %1, antes do %2").arg(andamento_.nome, ondeParouMes_);
        }
        // What was loaded stays: the batch ends with a commit, between two months.
        if (lote_)
            lote_->commit();
        lote_.reset();
        resumo.interrompida = parar_;
        return resumo;
    }

private:
    bool avisa()
    {
        if (!progresso_ || parar_)
            return !parar_;
        if (!progresso_(andamento_))
            parar_ = true;
        return !parar_;
    }

    void carregaArquivo(const QString& caminho, ResultadoArquivo& r)
    {
        const TabelaIntercambio* t = tabelaDoArquivo(r.nome);
        if (!t) {
            r.estado = ResultadoArquivo::Estado::Ignorado;
            return;
        }
        QFile arquivo(caminho);
        if (!arquivo.open(QIODevice::ReadOnly)) {
            r.estado = ResultadoArquivo::Estado::Recusado;
            r.erro = QStringLiteral("não foi possível ler o arquivo: %1").arg(arquivo.errorString());
            return;
        }
        const QByteArray bytes = arquivo.readAll();
        if (arquivo.error() != QFileDevice::NoError) {
            r.estado = ResultadoArquivo::Estado::Recusado;
            r.erro = QStringLiteral("não foi possível ler o arquivo: %1").arg(arquivo.errorString());
            return;
        }
        arquivo.close();
        ArquivoLido lido;
        try {
            lido = leArquivo(bytes, *t);
        } catch (const ErroLeitura& e) {
            r.estado = ResultadoArquivo::Estado::Recusado;
            r.erro = e.texto();
            return;
        }
        r.estado = ResultadoArquivo::Estado::Carregado;
        r.saldos = t->chaves < 4;

        // Rows of one month need not stand together in the file.
        std::vector<Mes> meses;
        QHash<QString, size_t> indice;
        for (const LinhaLida& l : lido.linhas) {
            QVariantList chave = l.valores.mid(0, t->chaves);
            QString k;
            for (const QVariant& v : chave)
                k += v.toString() + QChar(0x1F);
            auto it = indice.constFind(k);
            if (it == indice.cend()) {
                it = indice.insert(k, meses.size());
                meses.push_back(Mes{chave, {}});
            }
            meses[*it].linhas.push_back(&l);
        }
        QHash<QString, bool> triplas;
        for (const Mes& m : meses)
            triplas.insert(m.chave.mid(0, 3).value(0).toString() + m.chave.value(1).toString() + QLatin1Char('/') +
                               m.chave.value(2).toString(),
                           true);
        const bool variasChaves = triplas.size() > 1;

        Comandos& c = comandosDe(*t);
        for (const Mes& m : meses) {
            if (!avisa()) {
                ondeParouMes_ = rotuloMes(*t, m, variasChaves);
                return;
            }
            if (!lote_)
                lote_.emplace(conexao_);
            int linhaAtual = m.linhas.front()->linha;
            try {
                db::WriteUnit unidade(conexao_);
                for (int j = 0; j < c.chaves.size(); ++j)
                    c.apaga->setParam(c.chaves[j], m.chave[j]);
                c.apaga->exec();
                for (const LinhaLida* l : m.linhas) {
                    linhaAtual = l->linha;
                    for (int j = 0; j < c.colunas.size(); ++j)
                        c.insere->setParam(c.colunas[j], l->valores[c.posicoes[j]]);
                    c.insere->exec();
                }
                unidade.commit();
            } catch (const std::exception& e) {
                r.recusas << QStringLiteral("%1 (linha %2): %3").arg(rotuloMes(*t, m, variasChaves)).arg(linhaAtual).arg(motivo(e, *t, m));
                continue;
            }
            ++r.meses;
            r.linhas += qint64(m.linhas.size());
            ++andamento_.meses;
            andamento_.linhas += qint64(m.linhas.size());
            linhasNoLote_ += qint64(m.linhas.size()) + 1;
            if (linhasNoLote_ >= linhasPorTransacao) {
                lote_->commit();
                lote_.reset();
                linhasNoLote_ = 0;
            }
        }
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
    QString ondeParouMes_;
    std::optional<db::WriteUnit> lote_;
    qint64 linhasNoLote_ = 0;
    std::map<QString, Comandos> comandos_;
};

}  // namespace

void setLinhasPorTransacao(qint64 linhas)
{
    linhasPorTransacao = std::max<qint64>(1, linhas);
}

bool ResumoImportacao::tudoCarregado() const
{
    if (interrompida)
        return false;
    for (const ResultadoArquivo& a : arquivos) {
        if (a.estado == ResultadoArquivo::Estado::Recusado || a.estado == ResultadoArquivo::Estado::NaoLido ||
            !a.recusas.isEmpty())
            return false;
    }
    return true;
}

QString ResumoImportacao::texto() const
{
    QStringList partes;
    partes << (interrompida ? QStringLiteral("Importação interrompida %1.").arg(ondeParou) : QStringLiteral("Importação Concluída"));
    const auto plural = [](qint64 n, const char* um, const char* varios) {
        return QStringLiteral("%1 %2").arg(n).arg(QString::fromUtf8(n == 1 ? um : varios));
    };
    for (const ResultadoArquivo& a : arquivos) {
        QString p = a.nome + QStringLiteral(": ");
        switch (a.estado) {
        case ResultadoArquivo::Estado::Ignorado:
            p += QStringLiteral("ignorado (o nome não é de uma tabela de intercâmbio).");
            break;
        case ResultadoArquivo::Estado::NaoLido:
            p += QStringLiteral("não lido.");
            break;
        case ResultadoArquivo::Estado::Recusado:
            p += QStringLiteral("recusado, nada carregado; %1.").arg(a.erro);
            break;
        case ResultadoArquivo::Estado::Carregado:
            p += QStringLiteral("%1 e %2 carregados.")
                     .arg(a.saldos ? plural(a.meses, "saldo inicial", "saldos iniciais") : plural(a.meses, "mês", "meses"),
                          plural(a.linhas, "linha", "linhas"));
            for (const QString& recusa : a.recusas)
                p += QStringLiteral("\n  Recusado, mantido como estava: %1").arg(recusa);
            break;
        }
        partes << p;
    }
    return partes.join(QStringLiteral("\n\n"));
}

ResumoImportacao importaArquivos(db::Connection& conexao, const QStringList& caminhos, const AcompanhaProgresso& progresso)
{
    Carregador carregador(conexao, progresso);
    return carregador.executa(caminhos);
}

}  // namespace interchange
