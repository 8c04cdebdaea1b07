#include "interchange/rules/Exportacao.h"

#include "data/Codigos.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "interchange/rules/Manifesto.h"
#include "interchange/rules/TDBtxtcopy.h"
#include "interchange/rules/Tabelas.h"

#include <QDir>
#include <QFile>

#include <filesystem>

namespace interchange {

ErroExportacao::ErroExportacao(const QString& mensagem) : std::runtime_error(mensagem.toStdString()), mensagem_(mensagem) {}

Cidade cidadeDaInstalacao(db::Connection& conexao, int cidade)
{
    db::Statement s(conexao, {QStringLiteral("select CO_SEQ_CIDADE, NO_CIDADE, CO_MUNICIPIO_IBGE"), QStringLiteral("from TB_CIDADE"),
                              QStringLiteral("where CO_SEQ_CIDADE = :CO_CIDADE"), QStringLiteral("order by no_cidade")});
    s.setParam(QStringLiteral("CO_CIDADE"), cidade);
    const QList<QVariantList> linhas = s.selectAll();
    if (linhas.isEmpty())
        return {};
    return {linhas.first().value(1).toString(), linhas.first().value(2).toString().trimmed()};
}

QVector<int> mesesParaExportar(db::Connection& conexao, const Instalacao& inst)
{
    db::Statement s(conexao, {QStringLiteral("select cast(nu_mes_compet as float) nu_mes_compet from TB_MOVIMENTO_MUNICIPIO"),
                              QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and"),
                              QStringLiteral("CO_UF = :CO_UF and SITUACAO <> :ABERTO and"),
                              QStringLiteral("co_cidade = :co_cidade order by 1")});
    s.setParam(QStringLiteral("NU_ANO_COMPET"), inst.ano);
    s.setParam(QStringLiteral("CO_UF"), inst.uf);
    s.setParam(QStringLiteral("ABERTO"), codigos::situacao::aberto);
    s.setParam(QStringLiteral("co_cidade"), inst.cidade);
    QVector<int> meses;
    for (const QVariantList& l : s.selectAll())
        meses << qRound(l.value(0).toDouble());
    return meses;
}

namespace {

struct Arquivo {
    const TabelaIntercambio* tabela;
    QString destino;
    QString temporario;
    bool temLinhas = false;
};

void removeTemporarios(const std::vector<Arquivo>& arquivos)
{
    for (const Arquivo& a : arquivos)
        if (!a.temporario.isEmpty())
            QFile::remove(a.temporario);
}

std::filesystem::path caminhoDe(const QString& arquivo)
{
    return std::filesystem::path(QFile::encodeName(arquivo).toStdString());
}

QString motivoDe(const std::exception& e)
{
    if (auto* d = dynamic_cast<const db::DatabaseError*>(&e))
        return d->message().simplified();
    return QString::fromUtf8(e.what()).simplified();
}

QString mostrado(const QString& arquivo)
{
    return QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(arquivo));
}

// Puts the written files into place, all or none: an older file of each name is set
// aside first, and when a later step fails the new files go and the older ones come
// back. A destination that exists and is not a regular file is refused. Throws
// ErroExportacao.
void poeNoLugar(std::vector<Arquivo>& arquivos, ResultadoExportacao& r)
{
    namespace fs = std::filesystem;
    struct Feito {
        QString destino;
        QString reserva;  // the older file set aside; empty when there was none
        bool novo = false;
    };
    std::vector<Feito> feitos;
    const auto falha = [&](const QString& motivo) {
        QStringList problemas;
        for (auto it = feitos.rbegin(); it != feitos.rend(); ++it) {
            std::error_code erro;
            if (it->novo)
                fs::remove(caminhoDe(it->destino), erro);
            if (!erro && !it->reserva.isEmpty())
                fs::rename(caminhoDe(it->reserva), caminhoDe(it->destino), erro);
            if (erro)
                problemas << QStringLiteral("não foi possível devolver o arquivo anterior %1 (%2)")
                                 .arg(mostrado(it->destino), QString::fromLocal8Bit(erro.message()));
        }
        removeTemporarios(arquivos);
        QString mensagem = motivo;
        if (problemas.isEmpty())
            mensagem += QStringLiteral("\nNenhum arquivo foi substituído e nenhum mês foi marcado.");
        else
            mensagem += QStringLiteral("\nNenhum mês foi marcado, mas %1.").arg(problemas.join(QStringLiteral("; ")));
        return ErroExportacao(mensagem);
    };
    for (Arquivo& a : arquivos) {
        std::error_code erro;
        const fs::file_status estado = fs::symlink_status(caminhoDe(a.destino), erro);
        Feito f{a.destino, {}, false};
        if (fs::exists(estado)) {
            if (!fs::is_regular_file(estado))
                throw falha(QStringLiteral("Não foi possível gravar o arquivo %1: o nome já existe e não é um arquivo comum.")
                                .arg(mostrado(a.destino)));
            f.reserva = a.destino + QStringLiteral(".anterior");
            // One an interrupted export left behind goes first.
            fs::remove(caminhoDe(f.reserva), erro);
            if (!erro)
                fs::rename(caminhoDe(a.destino), caminhoDe(f.reserva), erro);
            if (erro)
                throw falha(QStringLiteral("Não foi possível pôr de lado o arquivo anterior %1: %2")
                                .arg(mostrado(a.destino), QString::fromLocal8Bit(erro.message())));
        }
        feitos.push_back(f);
        if (a.temLinhas) {
            fs::rename(caminhoDe(a.temporario), caminhoDe(a.destino), erro);
            if (erro)
                throw falha(QStringLiteral("Não foi possível gravar o arquivo %1: %2")
                                .arg(mostrado(a.destino), QString::fromLocal8Bit(erro.message())));
            feitos.back().novo = true;
            a.temporario.clear();
        }
    }
    // All in place: the older files go.
    for (const Feito& f : feitos) {
        if (!f.reserva.isEmpty())
            QFile::remove(f.reserva);
        if (f.novo)
            r.gravados << f.destino;
        else if (!f.reserva.isEmpty())
            r.removidos << f.destino;
    }
}

}  // namespace

ResultadoExportacao exportaMeses(db::Connection& conexao, const Instalacao& inst, const QVector<int>& meses,
                                 const QString& pasta, const QDate& hoje, const AcompanhaExportacao& progresso)
{
    if (meses.isEmpty())
        throw ErroExportacao(QStringLiteral("Nenhum mês escolhido para exportar."));
    const QString prefixo = prefixoArquivos(inst.uf, inst.ano, inst.codigoIbge);
    QStringList marcas;
    for (int i = 0; i < meses.size(); ++i)
        marcas << QStringLiteral(":MES%1").arg(i);
    ResultadoExportacao r;

    // The ticked months are marked first, in the unit that commits once every file is in
    // place: the files carry them as sent. One already sent keeps its first date.
    db::WriteUnit unidade(conexao);
    db::Statement marca(conexao, {QStringLiteral("update TB_MOVIMENTO_MUNICIPIO set SITUACAO = :ENVIADO, DT_ENVIO = :DT_ENVIO"),
                                  QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and CO_UF = :CO_UF and"),
                                  QStringLiteral("CO_CIDADE = :CO_CIDADE and NU_MES_COMPET = :NU_MES_COMPET and"),
                                  QStringLiteral("SITUACAO = :FECHADO")});
    marca.setParam(QStringLiteral("ENVIADO"), codigos::situacao::enviado);
    marca.setParam(QStringLiteral("FECHADO"), codigos::situacao::fechado);
    marca.setParam(QStringLiteral("DT_ENVIO"), hoje);
    marca.setParam(QStringLiteral("NU_ANO_COMPET"), inst.ano);
    marca.setParam(QStringLiteral("CO_UF"), inst.uf);
    marca.setParam(QStringLiteral("CO_CIDADE"), inst.cidade);
    for (int mes : meses) {
        marca.setParam(QStringLiteral("NU_MES_COMPET"), QString::number(mes));
        r.marcados += marca.exec();
    }

    std::vector<Arquivo> arquivos;
    Manifesto manifesto;
    const QString cancelada = QStringLiteral("Exportação cancelada: nenhum arquivo foi gravado e nenhum mês foi marcado.");
    try {
        int feitas = 0;
        for (const TabelaIntercambio& t : tabelasIntercambio()) {
            if (progresso && !progresso(feitas++, t.tabela))
                throw ErroExportacao(cancelada);
            Arquivo a{&t, QDir(pasta).filePath(prefixo + t.sufixo()), {}, false};
            db::Dataset consulta(&conexao, QStringLiteral("QryOutrasTab"));
            QStringList sql{QStringLiteral("select * from ") + t.tabela,
                            QStringLiteral("where NU_ANO_COMPET = :NU_ANO_COMPET and CO_UF = :CO_UF")};
            if (t.chaves == 4) {
                // Months in number order, and each month's lines in the order they were entered.
                sql << QStringLiteral("and nu_mes_compet in (%1)").arg(marcas.join(QStringLiteral(", ")))
                    << QStringLiteral("and co_cidade = :co_cidade");
                QString ordem = QStringLiteral("order by cast(nu_mes_compet as integer)");
                for (const Coluna& c : t.colunas)
                    if (c.omitida)
                        ordem += QStringLiteral(", ") + c.nome;
                sql << ordem;
            } else {
                sql << QStringLiteral("and co_cidade = :co_cidade");
            }
            consulta.setSql(sql);
            consulta.setParam(QStringLiteral("NU_ANO_COMPET"), inst.ano);
            consulta.setParam(QStringLiteral("co_uf"), inst.uf);
            consulta.setParam(QStringLiteral("co_cidade"), inst.cidade);
            for (int i = 0; i < meses.size(); ++i)
                consulta.setParam(QStringLiteral("MES%1").arg(i), QString::number(meses[i]));
            consulta.open();
            a.temLinhas = !consulta.isEmpty();
            // The rows of each month exported, none included; or of the initial balance.
            QMap<QString, qint64>& linhas = manifesto.linhas[t.palavra];
            if (t.chaves == 4) {
                for (int mes : meses)
                    linhas[QString::number(mes)] = 0;
                const db::Field& mes = consulta.fieldByName(QStringLiteral("NU_MES_COMPET"));
                for (int l = 0; l < consulta.recordCount(); ++l)
                    ++linhas[consulta.rowValue(l, mes).toString().trimmed()];
            } else {
                linhas[QStringLiteral("SALDO")] = consulta.recordCount();
            }
            if (a.temLinhas) {
                a.temporario = a.destino + QStringLiteral(".tmp");
                arquivos.push_back(a);
                TDBtxtcopy escritor;
                escritor.setSaveType(stSaveToFile);
                escritor.setSaveFormat(sfDelimited);
                escritor.setSeparator(10);
                escritor.setBlankLineBreaks(true);
                escritor.setDataSet(&consulta);
                escritor.setFileName(a.temporario);
                escritor.Execute();
                QFile escrito(a.temporario);
                if (!escrito.open(QIODevice::ReadOnly))
                    throw EWriteError(QStringLiteral("Não foi possível reler o arquivo %1: %2")
                                          .arg(mostrado(a.temporario), escrito.errorString()));
                manifesto.arquivos << entradaDoArquivo(prefixo + t.sufixo(), escrito.readAll());
            } else {
                arquivos.push_back(a);
            }
            consulta.close();
        }
        // The manifest beside the files, put into place with them.
        Arquivo m{nullptr, QDir(pasta).filePath(nomeDoManifesto(prefixo)), {}, true};
        m.temporario = m.destino + QStringLiteral(".tmp");
        arquivos.push_back(m);
        QFile f(m.temporario);
        const QByteArray texto = escreveManifesto(manifesto);
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(texto) != texto.size() || !f.flush())
            throw EWriteError(QStringLiteral("Não foi possível gravar o arquivo %1: %2").arg(mostrado(m.temporario), f.errorString()));
        f.close();
        if (progresso && !progresso(feitas, QString()))
            throw ErroExportacao(cancelada);
    } catch (const EWriteError& e) {
        removeTemporarios(arquivos);
        throw ErroExportacao(e.message() + QStringLiteral("\nNenhum arquivo foi substituído e nenhum mês foi marcado."));
    } catch (...) {
        removeTemporarios(arquivos);
        throw;
    }

    // All four written: into place together, and the folder holds exactly this export.
    poeNoLugar(arquivos, r);
    try {
        unidade.commit();
    } catch (const std::exception& e) {
        throw ErroExportacao(QStringLiteral("Os arquivos foram gravados na pasta %1, mas os meses não foram marcados como "
                                            "enviados: %2\nExporte os mesmos meses de novo.")
                                 .arg(mostrado(pasta), motivoDe(e)));
    }
    return r;
}

}  // namespace interchange
