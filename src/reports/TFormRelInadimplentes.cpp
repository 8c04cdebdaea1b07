#include "reports/TFormRelInadimplentes.h"

#include "data/DMPrincipal.h"
#include "reports/TFormSelecaoModelo.h"
#include "text/Formats.h"

namespace {

// Month, then the four amounts to the right.
const QRectF mes(0, 1, 12, 0);
const QRectF valores[] = {{14, 1, 40, 0}, {57, 1, 40, 0}, {100, 1, 38, 0}, {141, 1, 43.6, 0}};
constexpr Qt::Alignment direita = Qt::AlignRight | Qt::AlignTop;

}  // namespace

TFormRelInadimplentes::TFormRelInadimplentes(TFormSelecaoModelo* selecao)
    : TFormRelModelo2(selecao),
      IBQuery1(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery1")),
      DataSource1(&IBQuery1),
      IBQuery2(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery2"))
{
    setObjectName(QStringLiteral("FormRelInadimplentes"));
    RelModelo.setTitle(QStringLiteral("Estados / Municípios Inadimplentes"));
    RelModelo.setPrintIfEmpty(false);
    PageFooterBand1->setEnabled(false);
    using relatorios::mascaras::valorLongo;

    ColumnHeaderBand1->addLabel(QStringLiteral("Mes"), mes);
    const char* titulos[] = {"Recursos Pactuados", "Recursos Alocados", "Inadimplência", "Recursos Empenhados"};
    for (int i = 0; i < 4; ++i)
        ColumnHeaderBand1->addLabel(QString::fromUtf8(titulos[i]), valores[i]).setAlignment(direita);

    DetailBand1->addDataText(QStringLiteral("NU_MES_COMPET"), mes);
    DetailBand1->addDataText(QStringLiteral("INCENTIVO"), valores[0]).setAlignment(direita);
    DetailBand1->addDataText(QStringLiteral("VL_ALOC_MUNICIPAL"), valores[1]).setAlignment(direita);
    QRLabelInadimplencia = &DetailBand1->addLabel(QString(), valores[2]);
    QRLabelInadimplencia->setName(QStringLiteral("QRLabelInadimplencia"));
    QRLabelInadimplencia->setAlignment(direita);
    DetailBand1
        ->addDataText(
            [this](const report::Report&) -> QVariant {
                return IBQuery2.isActive() && !IBQuery2.isEmpty() ? IBQuery2.fieldByName(QStringLiteral("EMPENHADO")).value()
                                                                   : QVariant();
            },
            valores[3], valorLongo)
        .setAlignment(direita);
    DetailBand1->setBeforePrint([this](report::Band&) { return DetailBand1BeforePrint(); });

    SummaryBand1 = &RelModelo.addBand(report::BandKind::Summary, 7);
    SummaryBand1->frame().top = true;
    SummaryBand1->addLabel(QStringLiteral("Totais -->"), {0, 1.5, 14, 0}).setAutoSize(true);
    report::Label** totais[] = {&QRPactuados, &QRAlocado, &QrInadimplencia, &QREmpenhado};
    const char* nomes[] = {"QRPactuados", "QRAlocado", "QrInadimplencia", "QREmpenhado"};
    for (int i = 0; i < 4; ++i) {
        *totais[i] = &SummaryBand1->addLabel(QString(), valores[i].translated(0, 0.5));
        (*totais[i])->setName(QString::fromLatin1(nomes[i]));
        (*totais[i])->setAlignment(direita);
    }
    SummaryBand1->setBeforePrint([this](report::Band&) { return SummaryBand1BeforePrint(); });

    relatorios::preparaInadimplentes(IBQuery1, IBQuery2, selecao->Escolha());
    IBQuery2.setMasterSource(&DataSource1);
    FonteIBQuery1.setDataset(&IBQuery1);
    RelModelo.setRecordSource(&FonteIBQuery1);
    IBQuery1.open();
    IBQuery2.open();
}

TFormRelInadimplentes::~TFormRelInadimplentes()
{
    IBQuery2.close();
    IBQuery1.close();
}

void TFormRelInadimplentes::RelModeloBeforePrint()
{
    TFormRelModelo2::RelModeloBeforePrint();
    Totais = {};
}

bool TFormRelInadimplentes::DetailBand1BeforePrint()
{
    // The walk holds the master's controls, its detail among them: the month's
    // commitments are read here, for the line being printed.
    IBQuery2.close();
    IBQuery2.open();
    const QVariant empenhado =
        IBQuery2.isEmpty() ? QVariant() : IBQuery2.fieldByName(QStringLiteral("EMPENHADO")).value();
    const double falta = Totais.acumula(RelModelo.value(QStringLiteral("INCENTIVO")),
                                        RelModelo.value(QStringLiteral("VL_ALOC_MUNICIPAL")), empenhado);
    QRLabelInadimplencia->setText(text::formatFloat(relatorios::mascaras::valorLongo, falta));
    return true;
}

bool TFormRelInadimplentes::SummaryBand1BeforePrint()
{
    using relatorios::mascaras::valor;
    QRPactuados->setText(text::formatFloat(valor, Totais.pactuados));
    QRAlocado->setText(text::formatFloat(valor, Totais.alocados));
    QrInadimplencia->setText(text::formatFloat(valor, Totais.inadimplencia));
    QREmpenhado->setText(text::formatFloat(valor, Totais.empenhados));
    return true;
}
