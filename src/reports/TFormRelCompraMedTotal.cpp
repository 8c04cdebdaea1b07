#include "reports/TFormRelCompraMedTotal.h"

#include "data/DMPrincipal.h"
#include "reports/TFormSelecaoModelo.h"
#include "reports/rules/Compras.h"

namespace {

double valor(const report::Report& r, const char* campo)
{
    return r.value(QString::fromLatin1(campo)).toDouble();
}

}  // namespace

TFormRelCompraMedTotal::TFormRelCompraMedTotal(TFormSelecaoModelo* selecao)
    : TFormRelModelo2(selecao), IBQuery1(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery1"))
{
    setObjectName(QStringLiteral("FormRelCompraMedTotal"));
    RelModelo.setTitle(QStringLiteral("Valor Total de Medicamentos Adquiridos"));
    RelModelo.setPrintIfEmpty(false);
    using relatorios::mascaras::valorLongo;

    const double largura = RelModelo.bandWidth();
    const Qt::Alignment direita = Qt::AlignRight | Qt::AlignTop;
    const QRectF mes(0, 1, 14, 0), minimo(20, 1, 44, 0), outros(68, 1, 62, 0), total(134, 1, largura - 134, 0);
    ColumnHeaderBand1->addLabel(QStringLiteral("Mes"), mes);
    ColumnHeaderBand1->addLabel(QStringLiteral("Elenco Mínimo"), minimo).setAlignment(direita);
    ColumnHeaderBand1->addLabel(QStringLiteral("Outros Medicamentos Pactuados"), outros).setAlignment(direita);
    ColumnHeaderBand1->addLabel(QStringLiteral("Total"), total).setAlignment(direita);

    QRGroup1 = &RelModelo.addGroup([](const report::Report& r) -> QVariant {
        return relatorios::chaveGrupoTotal(r.value(QStringLiteral("CO_UF")), r.value(QStringLiteral("CO_CIDADE")),
                                           r.value(QStringLiteral("NU_MES_COMPET")));
    });
    report::Band& linha = QRGroup1->header();
    linha.setHeight(6.35);
    linha.addDataText(QStringLiteral("NU_MES_COMPET"), mes);
    linha.addDataText(QStringLiteral("ELENCO_MINIMO"), minimo).setAlignment(direita);
    linha.addDataText(QStringLiteral("TOT_OUTROS_PACTUADA"), outros).setAlignment(direita);
    linha.addDataText([](const report::Report& r) -> QVariant { return valor(r, "ELENCO_MINIMO") + valor(r, "TOT_OUTROS_PACTUADA"); },
                      total, valorLongo)
        .setAlignment(direita);
    // The line is the group's header; the detail, its footer in effect, takes no room.
    DetailBand1->setHeight(0);

    QRElencoMinimo = &PageFooterBand1->addRunningSum(QStringLiteral("ELENCO_MINIMO"), report::ResetScope::Report,
                                                     minimo.translated(0, 0.2), relatorios::mascaras::valor);
    QRPactuada = &PageFooterBand1->addRunningSum(QStringLiteral("TOT_OUTROS_PACTUADA"), report::ResetScope::Report,
                                                 outros.translated(0, 0.2), relatorios::mascaras::valor);
    QRTotal = &PageFooterBand1->addRunningSum(
        [](const report::Report& r) -> QVariant { return valor(r, "ELENCO_MINIMO") + valor(r, "TOT_OUTROS_PACTUADA"); },
        report::ResetScope::Report, total.translated(0, 0.2), relatorios::mascaras::valor);
    for (report::RunningSum* s : {QRElencoMinimo, QRPactuada, QRTotal})
        s->setAlignment(direita);
    QRElencoMinimo->setName(QStringLiteral("QRElencoMinimo"));
    QRPactuada->setName(QStringLiteral("QRPactuada"));
    QRTotal->setName(QStringLiteral("QRTotal"));

    relatorios::preparaCompraMedTotal(IBQuery1, selecao->Escolha());
    FonteIBQuery1.setDataset(&IBQuery1);
    RelModelo.setRecordSource(&FonteIBQuery1);
    IBQuery1.open();
}

TFormRelCompraMedTotal::~TFormRelCompraMedTotal()
{
    IBQuery1.close();
}
