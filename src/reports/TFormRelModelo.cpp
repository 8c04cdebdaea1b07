#include "reports/TFormRelModelo.h"

#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"

TFormRelModelo* FormRelModelo = nullptr;

namespace {

// The box of the page number, date and time, against the band's right end.
constexpr double kLarguraDireita = 50;

// A field of the parameter record for the letterhead: read when the report runs,
// the record first read then if it was not yet (after a start without the database).
report::Expression CampoParametro(const QString& campo)
{
    return [campo](const report::Report& r) -> QVariant {
        if (DMPrincipal && !DMPrincipal->TB_Parametro_MELTU.isActive())
            DMPrincipal->TB_Parametro_MELTU.open();
        return CampoCorrente(&TDMPrincipal::TB_Parametro_MELTU, campo)(r);
    };
}

}  // namespace

report::Expression CampoCorrente(db::Dataset TDMPrincipal::*dataset, const QString& campo)
{
    return [dataset, campo](const report::Report&) -> QVariant {
        if (!DMPrincipal)
            return {};
        const db::Dataset& ds = DMPrincipal->*dataset;
        if (!ds.isActive() || ds.isEmpty())
            return {};
        const db::Field* f = ds.findField(campo);
        return f ? f->value() : QVariant();
    };
}

TFormRelModelo::TFormRelModelo(QObject* owner) : QObject(owner)
{
    setObjectName(QStringLiteral("FormRelModelo"));
    RelModelo.setPageSize(QPageSize(QPageSize::A4));
    RelModelo.setOrientation(QPageLayout::Portrait);
    RelModelo.setMargins(12.7);
    RelModelo.setBaseFont(QStringLiteral("Arial"), 10);
    RelModelo.setPrintIfEmpty(true);
    const double largura = RelModelo.bandWidth();

    TitleBand1 = &RelModelo.addBand(report::BandKind::PageHeader, 23.5);
    TitleBand1->setPrintOnFirstPage(true);
    TitleBand1->frame().bottom = true;

    QRSysData1 = &TitleBand1->addSystemField(report::SystemValue::ReportTitle, {0, 0.5, largura, 0});
    QRSysData1->setName(QStringLiteral("QRSysData1"));
    QRSysData1->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    QRSysData1->setFont(QStringLiteral("Arial"), 12, true);

    // The letterhead under the title, so that a long line never runs into it.
    const struct {
        report::DataText** membro;
        const char* nome;
        const char* campo;
    } cabecalho[] = {
        {&QRDBText1, "QRDBText1", "DS_CABECALHO1"},
        {&QRDBText2, "QRDBText2", "DS_CABECALHO2"},
        {&QRDBText3, "QRDBText3", "DS_CABECALHO3"},
        {&QRDBText4, "QRDBText4", "NO_SISTEMA"},
    };
    double y = 6;
    for (const auto& c : cabecalho) {
        auto& t = TitleBand1->addDataText(CampoParametro(QString::fromLatin1(c.campo)), {0, y, 130, 0});
        t.setName(QString::fromLatin1(c.nome));
        t.setAutoSize(true);
        *c.membro = &t;
        y += 4.2;
    }

    const auto direita = [&](report::SystemValue v, const char* nome, double top) {
        auto& f = TitleBand1->addSystemField(v, {largura - kLarguraDireita, top, kLarguraDireita, 0});
        f.setName(QString::fromLatin1(nome));
        f.setAlignment(Qt::AlignRight | Qt::AlignTop);
        f.setAutoSize(true);
        return &f;
    };
    QRSysData2 = direita(report::SystemValue::PageNumber, "QRSysData2", 6);
    QRSysData2->setOnPrint([](report::TextElement&, QString& texto) { texto.prepend(QStringLiteral("Pagina ")); });
    QRSysData3 = direita(report::SystemValue::Date, "QRSysData3", 10.2);
    QRSysData4 = direita(report::SystemValue::Time, "QRSysData4", 14.4);

    ColumnHeaderBand1 = &RelModelo.addBand(report::BandKind::ColumnHeader, 6);
    ColumnHeaderBand1->frame().bottom = true;
    DetailBand1 = &RelModelo.addBand(report::BandKind::Detail, 6.35);
    PageFooterBand1 = &RelModelo.addBand(report::BandKind::PageFooter, 6.35);
    PageFooterBand1->setPrintOnLastPage(true);

    FonteParametros.setDataset(DMPrincipal ? &DMPrincipal->TB_Parametro_MELTU : nullptr);
    RelModelo.setRecordSource(&FonteParametros);
    // The template's own records are the parameter record, read when the report runs.
    RelModelo.setOnReportStart([this](report::Report&) { RelModeloBeforePrint(); });

    try {
        FormCreate();
    } catch (const db::DatabaseError&) {
        // A database out of reach has been told already (at start-up, or by the command
        // that creates the report); the template exists all the same and reads the
        // parameter record when its report runs.
        if (!DMPrincipal || DMPrincipal->IBDatabaseGeral.isOpen())
            throw;
    }
}

TFormRelModelo::~TFormRelModelo()
{
    if (FormRelModelo == this)
        FormRelModelo = nullptr;
}

void TFormRelModelo::RelModeloBeforePrint()
{
    FormCreate();
    AjustaAoPapel();
}

void TFormRelModelo::AjustaAoPapel()
{
    const double largura = RelModelo.bandWidth();
    QRectF titulo = QRSysData1->geometry();
    titulo.setWidth(largura);
    QRSysData1->setGeometry(titulo);
    for (report::SystemField* f : {QRSysData2, QRSysData3, QRSysData4}) {
        QRectF g = f->geometry();
        g.moveLeft(largura - g.width());
        f->setGeometry(g);
    }
}

void TFormRelModelo::FormCreate()
{
    if (DMPrincipal && !DMPrincipal->TB_Parametro_MELTU.isActive())
        DMPrincipal->TB_Parametro_MELTU.open();
}
