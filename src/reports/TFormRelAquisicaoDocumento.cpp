#include "reports/TFormRelAquisicaoDocumento.h"

TFormRelAquisicaoDocumento::TFormRelAquisicaoDocumento(QObject* owner)
    : TFormRelAquisicao(owner, QStringLiteral("Aquisição por Tipo de Documento"), QStringLiteral("QrDocumento"))
{
    setObjectName(QStringLiteral("FormRelAquisicaoDocumento"));
    QrDocumento = QrTipo;
    SummaryBand1 = &RelModelo.addBand(report::BandKind::Summary, 7);
    QRTotal = Total(*SummaryBand1, report::ResetScope::Report);
}
