#include "incentive/TfrmRelRecAnuaisPactuados.h"

#include "text/Formats.h"

namespace {

const QString mascaraTotal = QStringLiteral("###,###,###,##0.00");

double numero(const QVariant& v)
{
    return v.isValid() && !v.isNull() ? v.toDouble() : 0.0;
}

}  // namespace

TfrmRelRecAnuaisPactuados::TfrmRelRecAnuaisPactuados(db::Dataset& consulta, QObject* owner)
    : TFormRelModelo(owner), fonte_(&consulta)
{
    setObjectName(QStringLiteral("frmRelRecAnuaisPactuados"));
    RelModelo.setTitle(QStringLiteral("Recursos Anuais Pactuados"));
    RelModelo.setRecordSource(&fonte_);

    const auto arial = [](report::TextElement& t, double pontos) { t.setFont(QStringLiteral("Arial"), pontos); };

    // The state under the letterhead.
    TitleBand1->setHeight(28.8);
    QRLabel3 = &TitleBand1->addLabel(QStringLiteral("Estado :"), {3.2, 23.4, 0, 0});
    QRLabel3->setName(QStringLiteral("QRLabel3"));
    QRLabel3->setAutoSize(true);
    arial(*QRLabel3, 10);

    ColumnHeaderBand1->setHeight(9);
    const auto titulo = [&](report::TextElement& t, const char* nome) {
        t.setName(QString::fromLatin1(nome));
        arial(t, 8);
    };
    QRLabel1 = &ColumnHeaderBand1->addLabel(QStringLiteral("Município"), {1.3, 4.2, 40, 0});
    titulo(*QRLabel1, "QRLabel1");
    QRLabel2 = &ColumnHeaderBand1->addLabel(QStringLiteral("Modalidade de Pactuação"), {65.4, 4.2, 40, 0});
    titulo(*QRLabel2, "QRLabel2");
    QRMemo1 = &ColumnHeaderBand1->addMemo(QStringLiteral("Incentivo \nFederal"), {109.0, 0.8, 20, 0});
    titulo(*QRMemo1, "QRMemo1");
    QRMemo2 = &ColumnHeaderBand1->addMemo(QStringLiteral("Incentivo \nEstadual"), {130.7, 0.8, 20, 0});
    titulo(*QRMemo2, "QRMemo2");
    QRMemo3 = &ColumnHeaderBand1->addMemo(QStringLiteral("Incentivo\nMunicipal"), {151.6, 0.8, 20, 0});
    titulo(*QRMemo3, "QRMemo3");
    QRLabel6 = &ColumnHeaderBand1->addLabel(QStringLiteral("Total"), {177.0, 4.2, 10, 0});
    titulo(*QRLabel6, "QRLabel6");

    DetailBand1->setHeight(5.8);
    const auto coluna = [&](const char* campo, const char* nome, QRectF caixa, Qt::Alignment lado) {
        auto& t = DetailBand1->addDataText(QString::fromLatin1(campo), caixa);
        t.setName(QString::fromLatin1(nome));
        t.setAlignment(lado | Qt::AlignTop);
        arial(t, 8);
        return &t;
    };
    QRDBText5 = coluna("NO_CIDADE", "QRDBText5", {0.8, 1, 63.0, 0}, Qt::AlignLeft);
    QRDBText5->setWordWrap(true);
    QRDBText6 = coluna("CO_FORMA_PACTUACAO", "QRDBText6", {64.8, 1, 34.4, 0}, Qt::AlignLeft);
    // As the grid shows them.
    QRDBText7 = coluna("VL_FEDERAL", "QRDBText7", {100.5, 1, 21.2, 0}, Qt::AlignRight);
    QRDBText8 = coluna("VL_ESTADUAL", "QRDBText8", {122.8, 1, 20.9, 0}, Qt::AlignRight);
    QRDBText9 = coluna("VL_MUNICIPAL", "QRDBText9", {144.2, 1, 20.1, 0}, Qt::AlignRight);
    QRDBText10 = coluna("Total", "QRDBText10", {164.8, 1, 19.1, 0}, Qt::AlignRight);
    for (report::DataText* t : {QRDBText7, QRDBText8, QRDBText9, QRDBText10})
        t->setMask(text::masks::money);

    PageFooterBand1->setHeight(6.9);
    PageFooterBand1->frame().top = true;
    PageFooterBand1->frame().bottom = true;
    QRLabel8 = &PageFooterBand1->addLabel(QStringLiteral("Totais --->"), {78.1, 1.4, 0, 0});
    QRLabel8->setName(QStringLiteral("QRLabel8"));
    QRLabel8->setAutoSize(true);
    arial(*QRLabel8, 10);
    const auto total = [&](const char* nome, QRectF caixa) {
        auto& t = PageFooterBand1->addLabel(QString(), caixa);
        t.setName(QString::fromLatin1(nome));
        t.setAlignment(Qt::AlignRight | Qt::AlignTop);
        t.setFontSize(8);
        return &t;
    };
    QrFederal = total("QrFederal", {100.5, 2, 21.4, 0});
    QrEstadual = total("QrEstadual", {122.8, 2, 20.9, 0});
    QrMunicipal = total("QrMunicipal", {144.5, 2, 19.3, 0});
    QrTotal = total("QrTotal", {164.6, 2, 19.8, 0});

    DetailBand1->setBeforePrint([this](report::Band&) {
        DetailBand1BeforePrint();
        return true;
    });
    PageFooterBand1->setBeforePrint([this](report::Band&) {
        PageFooterBand1BeforePrint();
        return true;
    });
}

TfrmRelRecAnuaisPactuados::~TfrmRelRecAnuaisPactuados() = default;

void TfrmRelRecAnuaisPactuados::RelModeloBeforePrint()
{
    TFormRelModelo::RelModeloBeforePrint();
    TotFederal = TotEstadual = TotMunicipal = TotGeral = 0;
}

void TfrmRelRecAnuaisPactuados::DetailBand1BeforePrint()
{
    const report::Report& r = RelModelo;
    TotFederal += numero(r.value(QStringLiteral("VL_FEDERAL")));
    TotEstadual += numero(r.value(QStringLiteral("VL_ESTADUAL")));
    TotMunicipal += numero(r.value(QStringLiteral("VL_MUNICIPAL")));
    TotGeral += numero(r.value(QStringLiteral("Total")));
}

void TfrmRelRecAnuaisPactuados::PageFooterBand1BeforePrint()
{
    QrFederal->setText(text::formatFloat(mascaraTotal, TotFederal));
    QrEstadual->setText(text::formatFloat(mascaraTotal, TotEstadual));
    QrMunicipal->setText(text::formatFloat(mascaraTotal, TotMunicipal));
    QrTotal->setText(text::formatFloat(mascaraTotal, TotGeral));
}
