#include "Auditoria.h"

#include "audit/rules/Auditoria.h"
#include "data/AlteracoesIncentivo.h"
#include "data/Installation.h"
#include "db/Connection.h"
#include "db/DatabaseError.h"
#include "db/Statement.h"
#include "text/Formats.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstdio>

namespace {

const char uso[] =
    "Uso: korva-db audit [--database CAMINHO] [--ano AAAA] [--municipio CODIGO] [--csv ARQUIVO]\n"
    "\n"
    "Audita os meses recebidos pelo estado, como a janela \"Auditoria dos Dados\n"
    "Recebidos\": em cada município e mês, as conferências do fechamento, o Saldo\n"
    "Anterior contra o saldo transportado do mês anterior (o primeiro mês contra o\n"
    "saldo inicial), Recursos Gastos acima do Total num mês fechado, meses não\n"
    "recebidos entre o primeiro e o último e meses ainda abertos, CPF/CNPJ de\n"
    "favorecido com dígitos errados, o mesmo documento lançado mais de uma vez,\n"
    "medicamentos fora da relação pactuada do estado ou com Valor Total diferente\n"
    "de Quantidade x Valor Unitário, e mês exportado sem data de envio.\n"
    "Escreve o resumo na saída padrão.\n"
    "  --database CAMINHO  banco a usar (arquivo ou servidor); sem ele,\n"
    "                      KORVA_DATABASE, senão o korva.conf, senão\n"
    "                      KORVA_HOME/KORVA.GDB, senão ~/korva/KORVA.GDB\n"
    "  --ano AAAA          ano de competência; sem ele, o dos parâmetros\n"
    "  --municipio CODIGO  só este município (código da tabela de municípios;\n"
    "                      0 é o acompanhamento do próprio estado)\n"
    "  --csv ARQUIVO       grava os achados em ARQUIVO para planilha (UTF-8,\n"
    "                      campos separados por ';')\n"
    "Saída: 0 sem achados; 1 com achados; 2 em uso errado ou banco que não abre.\n";

void linha(FILE* out, const QString& texto)
{
    std::fprintf(out, "%s\n", texto.toLocal8Bit().constData());
}

int usoErrado(const QString& mensagem)
{
    linha(stderr, QStringLiteral("korva-db audit: %1 (veja korva-db audit --help)").arg(mensagem));
    return 2;
}

}  // namespace

int auditoriaDados(const QStringList& args)
{
    QString database, ano, csv;
    std::optional<int> cidade;
    const auto valor = [&](int& i, const QString& opcao, QString& destino) {
        const QString& a = args.at(i);
        if (a.startsWith(opcao + QLatin1Char('='))) {
            destino = a.mid(opcao.size() + 1);
            return true;
        }
        if (i + 1 >= args.size())
            return false;
        destino = args.at(++i);
        return true;
    };
    for (int i = 0; i < args.size(); ++i) {
        const QString& a = args.at(i);
        const QString opcao = a.section(QLatin1Char('='), 0, 0);
        QString municipio;
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            std::fputs(uso, stdout);
            return 0;
        } else if (opcao == QLatin1String("--database")) {
            if (!valor(i, opcao, database) || database.isEmpty())
                return usoErrado(QStringLiteral("--database pede um caminho"));
        } else if (opcao == QLatin1String("--ano")) {
            if (!valor(i, opcao, ano) || !QRegularExpression(QStringLiteral("^\\d{4}$")).match(ano).hasMatch())
                return usoErrado(QStringLiteral("--ano pede um ano de quatro algarismos"));
        } else if (opcao == QLatin1String("--municipio")) {
            bool ok = false;
            if (valor(i, opcao, municipio))
                cidade = municipio.toInt(&ok);
            if (!ok || *cidade < 0)
                return usoErrado(QStringLiteral("--municipio pede o código de um município"));
        } else if (opcao == QLatin1String("--csv")) {
            if (!valor(i, opcao, csv) || csv.isEmpty())
                return usoErrado(QStringLiteral("--csv pede um arquivo"));
        } else {
            return usoErrado(QStringLiteral("opção desconhecida: %1").arg(a));
        }
    }

    text::setBrazilianFormats();
    db::Connection connection;
    try {
        if (database.isEmpty())
            installation::configure(connection);
        else
            installation::configure(connection, database);
        connection.open();
    } catch (const db::DatabaseError& e) {
        linha(stderr, QStringLiteral("korva-db audit: %1").arg(e.message()));
        return 2;
    }

    try {
        // The year and the state are the parameters' unless given.
        db::Statement p(connection, {QStringLiteral("select nu_ano_compet, co_uf, co_cidade from tb_parametro_korva")});
        const QList<QVariantList> parametros = p.selectAll();
        if (parametros.isEmpty())
            return usoErrado(QStringLiteral("o banco não tem parâmetros do sistema (ano e UF)"));
        const QVariantList& par = parametros.first();
        if (!par.at(2).isNull() && par.at(2).toInt() != 0) {
            linha(stderr, QStringLiteral("korva-db audit: %1 é de instalação municipal; a auditoria é dos meses que um estado recebe")
                              .arg(QDir::toNativeSeparators(connection.databaseName())));
            return 2;
        }
        const auditoria::Filtro filtro{ano.isEmpty() ? par.at(0).toString().trimmed() : ano, par.at(1).toString().trimmed(), cidade};
        const auditoria::Resultado r = auditoria::audita(connection, filtro);
        linha(stdout, r.resumo(filtro));
        if (!csv.isEmpty()) {
            QSaveFile f(csv);
            if (!f.open(QIODevice::WriteOnly)
                || f.write(QByteArrayLiteral("\xEF\xBB\xBF") + auditoria::csv(r.achados).toUtf8()) < 0 || !f.commit()) {
                linha(stderr, QStringLiteral("korva-db audit: não foi possível gravar %1: %2")
                                  .arg(QDir::toNativeSeparators(csv), f.errorString()));
                return 2;
            }
            linha(stdout, QStringLiteral("Achados gravados em %1.").arg(QDir::toNativeSeparators(csv)));
        }
        return r.achados.isEmpty() ? 0 : 1;
    } catch (const db::DatabaseError& e) {
        linha(stderr, QStringLiteral("korva-db audit: erro do banco de dados: %1").arg(e.message()));
        return 2;
    }
}
