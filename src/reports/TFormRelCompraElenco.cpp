#include "reports/TFormRelCompraElenco.h"

#include "data/DMPrincipal.h"
#include "reports/TFormSelMedElenco.h"
#include "reports/rules/Compras.h"

namespace {

struct Coluna {
    const char* titulo;
    const char* campo;
    double x, largura;
    bool direita;
};

// Month, name, unit value, quantity, total: the amounts to the right.
constexpr Coluna colunas[] = {
    {"Mes", "NU_MES_COMPET", 0, 10, false},
    {"Medicamento", "DS_MEDICAMENTO", 11, 94, false},
    {"Valor Unitário", "VL_UNITARIO", 106, 32, true},
    {"Quantidade", "QT_MEDICAMENTO", 139, 20, true},
    {"Valor Total", "VL_TOTAL", 160, 24.6, true},
};

}  // namespace

TFormRelCompraElenco::TFormRelCompraElenco(TFormSelMedElenco* selecao)
    : TFormRelModelo2(selecao), IBQuery1(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery1"))
{
    setObjectName(QStringLiteral("FormRelCompraElenco"));
    RelModelo.setTitle(QStringLiteral("Descritivo de Aquisição de Medicamentos"));
    RelModelo.setPrintIfEmpty(false);

    report::DataText* textos[5] = {};
    for (int i = 0; i < 5; ++i) {
        const Coluna& c = colunas[i];
        const Qt::Alignment a = (c.direita ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignTop;
        ColumnHeaderBand1->addLabel(QString::fromUtf8(c.titulo), {c.x, 1, c.largura, 0}).setAlignment(a);
        // Values in the fields' display formats.
        textos[i] = &DetailBand1->addDataText(QString::fromLatin1(c.campo), {c.x, 1, c.largura, 0});
        textos[i]->setAlignment(a);
    }
    QRDBText5 = textos[0];
    QRDBText6 = textos[1];
    QRDBText7 = textos[2];
    QRDBText8 = textos[3];
    QRDBText9 = textos[4];
    QRDBText6->setName(QStringLiteral("QRDBText6"));
    // A name longer than its column goes on under itself, the line growing with it.
    QRDBText6->setWordWrap(true);
    QRDBText6->setAutoStretch(true);
    QRDBText6->setOnPrint([this](report::TextElement&, QString& texto) {
        if (RelModelo.value(QStringLiteral("DS_MEDICAMENTO")).toString() == NomeAnterior)
            texto.clear();
    });
    DetailBand1->setAfterPrint([this](report::Band&) {
        NomeAnterior = RelModelo.value(QStringLiteral("DS_MEDICAMENTO")).toString();
    });

    PageFooterBand1->addLabel(QStringLiteral("Total -->"), {colunas[3].x - 20, 1.2, 20, 0});
    QrTotal = &PageFooterBand1->addRunningSum(QStringLiteral("VL_TOTAL"), report::ResetScope::Report,
                                              {colunas[4].x - 10, 1.2, colunas[4].largura + 10, 0}, relatorios::mascaras::valor);
    QrTotal->setName(QStringLiteral("QrTotal"));
    QrTotal->setAlignment(Qt::AlignRight | Qt::AlignTop);

    relatorios::preparaCompraElenco(IBQuery1, selecao->Escolha(), selecao->Medicamento());
    FonteIBQuery1.setDataset(&IBQuery1);
    RelModelo.setRecordSource(&FonteIBQuery1);
    IBQuery1.open();
}

TFormRelCompraElenco::~TFormRelCompraElenco()
{
    IBQuery1.close();
}

void TFormRelCompraElenco::RelModeloBeforePrint()
{
    TFormRelModelo2::RelModeloBeforePrint();
    // Every run (the preview, then printing from it) starts afresh.
    NomeAnterior.clear();
}
