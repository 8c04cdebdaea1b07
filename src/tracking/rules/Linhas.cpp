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

rules::Falhou verificaLinhaMedicamento(std::optional<double> valorUnitario, std::optional<double> quantidade)
{
    if (!valorUnitario || !(*valorUnitario > 0))
        return rules::Falha::recusa(QStringLiteral("informe o Valor Unitário"), QStringLiteral("VL_UNITARIO"));
    if (!quantidade || !(*quantidade > 0))
        return rules::Falha::recusa(QStringLiteral("informe a Quantidade"), QStringLiteral("QT_MEDICAMENTO"));
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

rules::Falhou verificaDocumento(const Documento& d, TCheckDoc* cnpj)
{
    using rules::Falha;
    const QString tipoDoc = QStringLiteral("ST_TIPO_DOC");
    const QString tipoFav = QStringLiteral("ST_TIPO_FAVORECIDO");
    const QString favorecido = QStringLiteral("NU_FAVORECIDO");
    if (d.tipoDocumento.isEmpty())
        return Falha::recusa(QStringLiteral("Informe o Tipo do Documento !!"), tipoDoc);
    if (d.tipoDocumento != tipoDocumento::deposito && d.tipoFavorecido.isEmpty())
        return Falha::recusa(QStringLiteral("Informe o Tipo do Favorecido !!"), tipoFav);
    if (d.tipoDocumento == tipoDocumento::guiaRemessa && d.tipoFavorecido != tipoFavorecido::secretariaEstadual)
        return Falha::recusa(QStringLiteral("Tipo Favorecido só pode ser SES"), tipoFav);
    if (!d.valor || !(*d.valor > 0))
        return Falha::recusa(QStringLiteral("informe o Valor"), QStringLiteral("VL_DOC"));
    if (d.favorecido == identificacaoZeros)
        return Falha::recusa(QStringLiteral("identificação Inválida"), favorecido);
    TCheckDoc proprio;
    TCheckDoc& check = cnpj ? *cnpj : proprio;
    check.setMode(TCheckDoc::moCGC);
    check.setInput(d.favorecido);
    if (!check.Result())
        return Falha::recusa(QStringLiteral("Identificação Inválida !!"), favorecido);
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
