#include "reports/TFormRelAquisicaoFavorecido.h"

#include "reports/rules/Aquisicao.h"

TFormRelAquisicaoFavorecido::TFormRelAquisicaoFavorecido(QObject* owner)
    : TFormRelAquisicao(owner, QStringLiteral("Aquisição por Tipo de Favorecido"), QStringLiteral("QrFavorecido"))
{
    setObjectName(QStringLiteral("FormRelAquisicaoFavorecido"));
    QrFavorecido = QrTipo;
    QRGroup1 = &RelModelo.addGroup(QStringLiteral("ST_TIPO_DOC"));
    QRGroup1->setNewPage(true);
    report::Band& cabecalho = QRGroup1->header();
    cabecalho.setHeight(7);
    QRDBText9 = &cabecalho.addDataText(QStringLiteral("ST_TIPO_DOC"), {0, 1.5, 80, 0});
    QRDBText9->setName(QStringLiteral("QRDBText9"));
    QRDBText9->setBold(true);
    QRDBText9->setOnPrint([](report::TextElement&, QString& texto) { texto = relatorios::nomeTipoDocumento(texto); });
    SummaryBand1 = &QRGroup1->footer();
    QRTotal = Total(*SummaryBand1, report::ResetScope::Group);
}
