#include "tracking/rules/Linhas.h"

#include "tracking/rules/TCheckDoc.h"

namespace tracking {

using namespace codigos;

double totalLinha(double valorUnitario, double quantidade, double totalAtual)
{
    if (valorUnitario != 0 && quantidade != 0)
        return quantidade * valorUnitario;
    return totalAtual;
}

std::optional<QString> verificaLinhaMedicamento(std::optional<double> valorUnitario, std::optional<double> quantidade)
{
    if (!valorUnitario || !(*valorUnitario > 0))
        return QStringLiteral("informe o Valor Unitário");
    if (!quantidade || !(*quantidade > 0))
        return QStringLiteral("informe a Quantidade");
    return std::nullopt;
}

void TotaisExecucao::soma(double valorTotal, const QString& marcaElencoMinimo)
{
    if (marcaElencoMinimo == codigos::elencoMinimo::sim)
        elencoMinimo += valorTotal;
    else
        outros += valorTotal;
}

QList<Codigo> tiposDocumento(bool estadual)
{
    QList<Codigo> tipos = tipoDocumento::todos;
    if (estadual)
        tipos.removeIf([](const Codigo& c) { return c.valor == tipoDocumento::guiaRemessa; });
    return tipos;
}

QList<Codigo> tiposFavorecido(bool estadual)
{
    QList<Codigo> tipos = tipoFavorecido::todos;
    if (estadual)
        tipos.removeIf([](const Codigo& c) { return c.valor == tipoFavorecido::secretariaEstadual; });
    return tipos;
}

std::optional<ErroDocumento> verificaDocumento(const Documento& d, TCheckDoc* cnpj)
{
    using C = ErroDocumento::Campo;
    if (d.tipoDocumento.isEmpty())
        return ErroDocumento{QStringLiteral("Informe o Tipo do Documento !!"), C::TipoDocumento};
    if (d.tipoDocumento != tipoDocumento::deposito && d.tipoFavorecido.isEmpty())
        return ErroDocumento{QStringLiteral("Informe o Tipo do Favorecido !!"), C::TipoFavorecido};
    if (d.tipoDocumento == tipoDocumento::guiaRemessa && d.tipoFavorecido != tipoFavorecido::secretariaEstadual)
        return ErroDocumento{QStringLiteral("Tipo Favorecido só pode ser SES"), C::TipoFavorecido};
    if (!d.valor || !(*d.valor > 0))
        return ErroDocumento{QStringLiteral("informe o Valor"), C::Valor};
    if (d.favorecido == identificacaoZeros)
        return ErroDocumento{QStringLiteral("identificação Inválida"), C::Favorecido};
    TCheckDoc proprio;
    TCheckDoc& check = cnpj ? *cnpj : proprio;
    check.setMode(TCheckDoc::moCGC);
    check.setInput(d.favorecido);
    if (!check.Result())
        return ErroDocumento{QStringLiteral("Identificação Inválida !!"), C::Favorecido};
    return std::nullopt;
}

bool verificaNumeroAoEditar(const QString& numeroAntes, const QString& favorecidoAntes, const QString& numero,
                            const QString& favorecido)
{
    return numero != numeroAntes || favorecido != favorecidoAntes;
}

bool verificaTipoAoEditar(const QString& tipoAntes, const QString& tipoEscolhido)
{
    bool numero = false;
    const int antes = tipoAntes.trimmed().toInt(&numero);
    if (!numero)
        return false;
    return antes != tipoComparado(tipoEscolhido).toInt();
}

QString tipoComparado(const QString& tipoFavorecido)
{
    return tipoFavorecido.isEmpty() ? QStringLiteral("0") : tipoFavorecido;
}

void TotaisDocumentos::soma(const QString& tipo, double valor)
{
    if (tipo == tipoDocumento::notaFiscal)
        notaFiscal += valor;
    else if (tipo == tipoDocumento::guiaRemessa)
        guiaRemessa += valor;
    else if (tipo == tipoDocumento::deposito)
        deposito += valor;
    else if (tipo == tipoDocumento::empenho)
        empenho += valor;
}

}  // namespace tracking
