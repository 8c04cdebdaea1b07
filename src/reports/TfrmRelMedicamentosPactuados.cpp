#include "reports/TfrmRelMedicamentosPactuados.h"

#include "reports/TfrmConsultaElencoPactuado.h"

TfrmRelMedicamentosPactuados::TfrmRelMedicamentosPactuados(TfrmConsultaElencoPactuado* consulta)
    : TFormRelModelo(consulta)
{
    setObjectName(QStringLiteral("frmRelMedicamentosPactuados"));
    RelModelo.setTitle(QStringLiteral("Elencos Pactuados"));
    TitleBand1->setHeight(28.5);
    QRLabel3 = &TitleBand1->addLabel(QStringLiteral("Estado :"), {0, 23.2, 60, 0});
    QRLabel3->setName(QStringLiteral("QRLabel3"));
    QRLabel3->setAutoSize(true);

    const QRectF medicamento(0, 1, 150, 0), minimo(152, 1, RelModelo.bandWidth() - 152, 0);
    ColumnHeaderBand1->addLabel(QStringLiteral("Medicamento"), medicamento);
    ColumnHeaderBand1->addLabel(QStringLiteral("Elenco Mínimo ?"), minimo);
    DetailBand1->setHeight(5);
    DetailBand1->addDataText(QStringLiteral("DS_MEDICAMENTO"), medicamento).setFontSize(8);
    DetailBand1->addDataText(QStringLiteral("ST_ELENCO_MINIMO"), minimo).setFontSize(8);

    FonteQryConsulta.setDataset(&consulta->QryConsulta);
    RelModelo.setRecordSource(&FonteQryConsulta);
}
