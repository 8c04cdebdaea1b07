#include "reports/TFormRelRecAlocGastos.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "reports/TFormSelecaoModelo.h"
#include "reports/rules/Recursos.h"

namespace {

// The columns, left to right: month, previous balance, the three financial allocations,
// medications, spending, current balance.
struct Coluna {
    const char* campo;
    double x, largura;
    bool somada;
};
constexpr Coluna colunas[] = {
    {"NU_MES_COMPET", 0, 14, false},
    {"VL_SALDO_ANTERIOR", 14, 34, false},
    {"VL_ALOC_FEDERAL", 48, 34, true},
    {"VL_ALOC_ESTADUAL", 82, 34, true},
    {"VL_ALOC_MUNICIPAL", 116, 34, true},
    {"VL_ALOC_MED", 150, 40, true},
    {"VL_REC_GASTOS", 190, 40, true},
    {"SALDO_ATUAL", 230, 41.6, false},
};
constexpr double kAltura = 20;      // the column header band
constexpr double kGrupo = 5.5;      // the rule under "Recursos Financeiros Alocados"
constexpr double kLegendas = 14;    // the rule under the captions
constexpr double kFolga = 1.5;      // the amounts keep off the rules on their right

QRectF caixa(const Coluna& c, double y, double altura = 0)
{
    return {c.x, y, c.largura, altura};
}

}  // namespace

TFormRelRecAlocGastos::TFormRelRecAlocGastos(TFormSelecaoModelo* selecao)
    : TFormRelModelo2(selecao), IBQuery1(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("IBQuery1"))
{
    setObjectName(QStringLiteral("FormRelRecAlocGastos"));
    RelModelo.setTitle(QStringLiteral("Recursos Alocados x Recursos Gastos"));
    RelModelo.setOrientation(QPageLayout::Landscape);
    RelModelo.setPrintIfEmpty(false);

    const relatorios::Selecao escolha = selecao->Escolha();
    QRLabel7->setText(escolha.cidade ? QStringLiteral("Município : ") + selecao->DBLookupMunicipio->currentText() : QString());
    QRDBText11->setEnabled(false);

    // The two-level column header.
    report::Band& h = *ColumnHeaderBand1;
    h.setHeight(kAltura);
    const Qt::Alignment centro = Qt::AlignHCenter | Qt::AlignTop;
    const auto legenda = [&](const QString& texto, const QRectF& r, double pontos = 0) {
        auto& l = h.addLabel(texto, r);
        l.setAlignment(centro);
        if (pontos > 0)
            l.setFontSize(pontos);
        return &l;
    };
    const auto memo = [&](const QString& texto, const Coluna& c, double pontos = 0, bool centrado = false) {
        auto& m = h.addMemo(texto, caixa(c, 1).adjusted(1, 0, -1, 0));
        if (centrado)
            m.setAlignment(centro);
        if (pontos > 0)
            m.setFontSize(pontos);
        return &m;
    };
    h.addLabel(QStringLiteral("Mes"), caixa(colunas[0], 6).adjusted(1, 0, 0, 0));
    memo(QStringLiteral("    Saldo \n  Anterior\n( Devedor )"), colunas[1]);
    const QRectF grupo(colunas[2].x, 1, colunas[5].x - colunas[2].x, 0);
    legenda(QStringLiteral("Recursos Financeiros Alocados"), grupo);
    h.addHLine(grupo.left(), kGrupo, grupo.width());
    legenda(QStringLiteral("Federal"), caixa(colunas[2], 7.5));
    legenda(QStringLiteral("Estadual"), caixa(colunas[3], 7.5));
    legenda(QStringLiteral("Municipal"), caixa(colunas[4], 7.5));
    memo(QStringLiteral("Recursos \nAlocados Em\nMedicamentos "), colunas[5], 8, true);
    legenda(QStringLiteral("Recursos Gastos"), caixa(colunas[6], 7.5));
    memo(QStringLiteral("    Saldo\n    Atual\n( Devedor )"), colunas[7]);
    h.addHLine(0, kLegendas, RelModelo.bandWidth());
    for (int i : {2, 3, 4, 6})
        legenda(QStringLiteral("Valor"), caixa(colunas[i], kLegendas + 1));
    legenda(QStringLiteral("( Guia de Remessa )"), caixa(colunas[5], kLegendas + 1.5), 8);
    // Rules between the column groups, and under the group caption between its columns.
    for (int i : {1, 2, 5, 6, 7})
        h.addVLine(colunas[i].x, 0, kAltura);
    for (int i : {3, 4})
        h.addVLine(colunas[i].x, kGrupo, kAltura - kGrupo);

    // One line per month, the amounts in their display formats.
    DetailBand1->addDataText(QString::fromLatin1(colunas[0].campo), caixa(colunas[0], 1).adjusted(1, 0, 0, 0));
    for (int i = 1; i < 8; ++i)
        DetailBand1->addDataText(QString::fromLatin1(colunas[i].campo), caixa(colunas[i], 1).adjusted(0, 0, -kFolga, 0))
            .setAlignment(Qt::AlignRight | Qt::AlignTop);

    // The report's sums, afresh at every run; none for the two balances. Under them, why a
    // month's "Saldo Atual" and the next month's "Saldo Anterior" differ by the medications.
    SummaryBand1 = &RelModelo.addBand(report::BandKind::Summary, 13);
    SummaryBand1->frame().top = true;
    SummaryBand1->addHLine(0, 7, RelModelo.bandWidth());
    QRLabelNota = &SummaryBand1->addLabel(NotaSaldoAtual, {1, 8.5, RelModelo.bandWidth() - 2, 0});
    QRLabelNota->setName(QStringLiteral("QRLabelNota"));
    QRLabelNota->setFontSize(8);
    for (const Coluna& c : colunas)
        if (c.somada)
            SummaryBand1
                ->addRunningSum(QString::fromLatin1(c.campo), report::ResetScope::Report,
                                caixa(c, 1.5).adjusted(0, 0, -kFolga, 0), relatorios::mascaras::valorLongo)
                .setAlignment(Qt::AlignRight | Qt::AlignTop);

    relatorios::preparaRecAlocGastos(IBQuery1, escolha);
    FonteIBQuery1.setDataset(&IBQuery1);
    RelModelo.setRecordSource(&FonteIBQuery1);
    IBQuery1.open();
}

TFormRelRecAlocGastos::~TFormRelRecAlocGastos()
{
    IBQuery1.close();
}
