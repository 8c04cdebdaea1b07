#include "reports/TFormRelComparativo.h"

#include "data/DMPrincipal.h"
#include "reports/TFormSelComparativo.h"
#include "reports/rules/Compras.h"

TFormRelComparativo::TFormRelComparativo(TFormSelComparativo* selecao)
    : TFormRelModelo(selecao), IBQuery1(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery1"))
{
    setObjectName(QStringLiteral("FormRelComparativo"));
    RelModelo.setTitle(QStringLiteral("Comparativo de preços por Medicamento"));
    RelModelo.setPrintIfEmpty(false);

    // Under the letterhead: the period, then the medication.
    TitleBand1->setHeight(33.3);
    QRPeriodo = &TitleBand1->addLabel(QStringLiteral("Período :"), {0, 23.2, 100, 0});
    QRPeriodo->setName(QStringLiteral("QRPeriodo"));
    QRPeriodo->setAutoSize(true);
    QrMedicamento = &TitleBand1->addLabel(QStringLiteral("Medicamento :"), {0, 27.8, 100, 0});
    QrMedicamento->setName(QStringLiteral("QrMedicamento"));
    QrMedicamento->setAutoSize(true);

    const struct {
        const char* titulo;
        const char* campo;
        double x, largura;
    } colunas[] = {
        {"Estado", "CO_UF", 0, 16},
        {"Município", "NO_CIDADE", 18, 100},
        {"Mes", "NU_MES_COMPET", 120, 12},
    };
    for (const auto& c : colunas) {
        ColumnHeaderBand1->addLabel(QString::fromUtf8(c.titulo), {c.x, 1, c.largura, 0});
        DetailBand1->addDataText(QString::fromLatin1(c.campo), {c.x, 1, c.largura, 0});
    }
    const double x = 134, largura = RelModelo.bandWidth() - x;
    ColumnHeaderBand1->addLabel(QStringLiteral("Valor Unitário"), {x, 1, largura, 0}).setAlignment(Qt::AlignRight | Qt::AlignTop);
    DetailBand1->addDataText(QStringLiteral("VL_UNITARIO"), {x, 1, largura, 0}, relatorios::mascaras::unitarioComparado)
        .setAlignment(Qt::AlignRight | Qt::AlignTop);

    relatorios::preparaComparativo(IBQuery1, selecao->Escolha(), DMPrincipal->codigoCidadeInstalacao() == 0,
                                   selecao->Medicamento());
    FonteIBQuery1.setDataset(&IBQuery1);
    RelModelo.setRecordSource(&FonteIBQuery1);
    IBQuery1.open();
}

TFormRelComparativo::~TFormRelComparativo()
{
    IBQuery1.close();
}
