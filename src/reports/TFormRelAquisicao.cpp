#include "reports/TFormRelAquisicao.h"

#include "data/DMPrincipal.h"
#include "reports/rules/Selecao.h"

namespace {

constexpr Qt::Alignment direita = Qt::AlignRight | Qt::AlignTop;
const QRectF identificacao(0, 1, 42, 0), numero(45, 1, 60, 0), data(108, 1, 28, 0);

QRectF valor(double largura)
{
    return {140, 1, largura - 140, 0};
}

}  // namespace

TFormRelAquisicao::TFormRelAquisicao(QObject* owner, const QString& titulo, const QString& nomeLegenda)
    : TFormRelModelo2(owner), IBQuery1(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery1"))
{
    RelModelo.setTitle(titulo);
    RelModelo.setPrintIfEmpty(false);
    const double largura = RelModelo.bandWidth();

    // Beside the period line, in bold.
    const QRectF periodo = QRPeriodo->geometry();
    QrTipo = &TitleBand1->addLabel(QString(), {95, periodo.top(), largura - 95, 0});
    QrTipo->setName(nomeLegenda);
    QrTipo->setBold(true);
    QrTipo->setAutoSize(true);

    ColumnHeaderBand1->addLabel(QStringLiteral("Identificação"), identificacao);
    ColumnHeaderBand1->addLabel(QStringLiteral("Número Documento"), numero);
    ColumnHeaderBand1->addLabel(QStringLiteral("Data"), data);
    ColumnHeaderBand1->addLabel(QStringLiteral("Valor"), valor(largura)).setAlignment(direita);
    DetailBand1->addDataText(QStringLiteral("NU_FAVORECIDO"), identificacao);
    DetailBand1->addDataText(QStringLiteral("NR_NUMERO_DOC"), numero);
    DetailBand1->addDataText(QStringLiteral("DT_DOC"), data);
    DetailBand1->addDataText(QStringLiteral("VL_DOC"), valor(largura), relatorios::mascaras::valor).setAlignment(direita);

    FonteIBQuery1.setDataset(&IBQuery1);
    RelModelo.setRecordSource(&FonteIBQuery1);
}

TFormRelAquisicao::~TFormRelAquisicao()
{
    IBQuery1.close();
}

report::RunningSum* TFormRelAquisicao::Total(report::Band& band, report::ResetScope scope)
{
    const double largura = RelModelo.bandWidth();
    band.setHeight(7);
    band.frame().top = true;
    band.addLabel(QStringLiteral("Total ------->"), {numero.left(), 1.5, 40, 0});
    auto& soma = band.addRunningSum(QStringLiteral("VL_DOC"), scope, valor(largura).translated(0, 0.5), relatorios::mascaras::valor);
    soma.setAlignment(direita);
    return &soma;
}
