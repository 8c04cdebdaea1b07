#include "reports/TFormImprimeGrid.h"

TFormImprimeGrid* FormImprimeGrid = nullptr;

TFormImprimeGrid::TFormImprimeGrid(QObject* owner) : QObject(owner)
{
    setObjectName(QStringLiteral("FormImprimeGrid"));
    QuickRep1.setPageSize(QPageSize(QPageSize::A4));
    QuickRep1.setOrientation(QPageLayout::Portrait);
    QuickRep1.setMargins(10);
    QuickRep1.setBaseFont(QStringLiteral("Arial"), 10);
    QuickRep1.setRecordSource(nullptr);
    QuickRep1.setPrintIfEmpty(true);

    TitleBand1 = &QuickRep1.addBand(report::BandKind::Title, 13);
    QRSysData1 = &TitleBand1->addSystemField(report::SystemValue::ReportTitle, {0, 0, QuickRep1.bandWidth(), 13});
    QRSysData1->setName(QStringLiteral("QRSysData1"));
    QRSysData1->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    QRSysData1->setFont(QStringLiteral("Arial"), 12, true);
}

TFormImprimeGrid::~TFormImprimeGrid()
{
    if (FormImprimeGrid == this)
        FormImprimeGrid = nullptr;
}
