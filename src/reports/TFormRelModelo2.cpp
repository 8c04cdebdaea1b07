#include "reports/TFormRelModelo2.h"

#include "data/DMPrincipal.h"

TFormRelModelo2* FormRelModelo2 = nullptr;

TFormRelModelo2::TFormRelModelo2(QObject* owner) : TFormRelModelo(owner)
{
    setObjectName(QStringLiteral("FormRelModelo2"));
    RelModelo.setRecordSource(nullptr);
    RelModelo.setTitle(QStringLiteral("Compra de Medicamentos do Elenco Mínimo"));

    // The frame is the page's: a report without a page footer keeps it. The footer's
    // line below is the frame's bottom line, on which the footer stands.
    TitleBand1->setHeight(33.3);
    RelModelo.pageFrame().top = true;
    RelModelo.pageFrame().bottom = true;
    PageFooterBand1->frame().top = true;

    const double linha = 23.2;
    QRLabel6 = &TitleBand1->addLabel(QStringLiteral("Estado :"), {0, linha, 16, 0});
    QRLabel6->setName(QStringLiteral("QRLabel6"));
    QRLabel6->setAutoSize(true);
    QRDBText10 = &TitleBand1->addDataText(CampoCorrente(&TDMPrincipal::TB_Unidade_Federacao, QStringLiteral("NO_UF")),
                                          {16, linha, 60, 0});
    QRDBText10->setName(QStringLiteral("QRDBText10"));
    QRLabel7 = &TitleBand1->addLabel(QStringLiteral("Municipio :"), {80, linha, 20, 0});
    QRLabel7->setName(QStringLiteral("QRLabel7"));
    QRLabel7->setAutoSize(true);
    QRDBText11 = &TitleBand1->addDataText(CampoCorrente(&TDMPrincipal::TB_Cidade, QStringLiteral("NO_CIDADE")),
                                          {100, linha, RelModelo.bandWidth() - 100, 0});
    QRDBText11->setName(QStringLiteral("QRDBText11"));
    QRPeriodo = &TitleBand1->addLabel(QStringLiteral("Período :"), {0, linha + 4.6, RelModelo.bandWidth(), 0});
    QRPeriodo->setName(QStringLiteral("QRPeriodo"));
    QRPeriodo->setAutoSize(true);
}

void TFormRelModelo2::AjustaAoPapel()
{
    TFormRelModelo::AjustaAoPapel();
    QRectF g = QRDBText11->geometry();
    g.setRight(RelModelo.bandWidth());
    QRDBText11->setGeometry(g);
}

TFormRelModelo2::~TFormRelModelo2()
{
    if (FormRelModelo2 == this)
        FormRelModelo2 = nullptr;
}

void TFormRelModelo2::MostraMunicipio(bool mostra)
{
    QRLabel7->setEnabled(mostra);
    QRDBText11->setEnabled(mostra);
}
