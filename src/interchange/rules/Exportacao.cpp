#include "interchange/rules/Exportacao.h"

#include "data/Codigos.h"
#include "db/Connection.h"
#include "db/Dataset.h"
#include "db/Statement.h"
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

    std::vector<Arquivo> arquivos;
    try {
        int feitas = 0;
        for (const TabelaIntercambio& t : tabelasIntercambio()) {
            if (progresso && !progresso(feitas++, t.tabela))
                throw ErroExportacao(QStringLiteral("Exportação cancelada: nenhum arquivo foi gravado e nenhum mês foi marcado."));
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
            } else {
                arquivos.push_back(a);
            }
            consulta.close();
        }
    } catch (const EWriteError& e) {
        removeTemporarios(arquivos);
        throw ErroExportacao(e.message() + QStringLiteral("\nNenhum arquivo foi substituído e nenhum mês foi marcado."));
    } catch (...) {
        removeTemporarios(arquivos);
        throw;
    }

    // All four written: into place, and the folder holds exactly this export.
    ResultadoExportacao r;
    for (Arquivo& a : arquivos) {
        std::error_code erro;
        if (a.temLinhas) {
            std::filesystem::rename(QFile::encodeName(a.temporario).toStdString(), QFile::encodeName(a.destino).toStdString(), erro);
            if (erro) {
                removeTemporarios(arquivos);
                throw ErroExportacao(QStringLiteral("Não foi possível gravar o arquivo \"%1\": %2")
                                         .arg(QDir::toNativeSeparators(a.destino), QString::fromLocal8Bit(erro.message())));
            }
            a.temporario.clear();
            r.gravados << a.destino;
        } else if (QFile::exists(a.destino)) {
            if (!QFile::remove(a.destino)) {
                removeTemporarios(arquivos);
                throw ErroExportacao(QStringLiteral("Não foi possível remover o arquivo antigo \"%1\".")
                                         .arg(QDir::toNativeSeparators(a.destino)));
            }
            r.removidos << a.destino;
        }
    }

    // Only the months written are marked; one already sent keeps its first date.
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
    unidade.commit();
    return r;
}

}  // namespace interchange
