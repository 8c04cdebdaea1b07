#include "audit/TFormRelAuditoria.h"

#include <QPageLayout>

namespace {

// Month, rule, expected and found across the landscape page.
const QRectF mes(0, 0.5, 22, 0);
const QRectF regra(24, 0.5, 88, 0);
const QRectF esperado(114, 0.5, 78, 0);
const QRectF encontrado(194, 0.5, 77.6, 0);

}  // namespace

TFormRelAuditoria::TFormRelAuditoria(QObject* owner, const auditoria::Filtro& filtro, const auditoria::Resultado& resultado,
                                     const QString& municipio)
    : TFormRelModelo2(owner)
{
    const QList<auditoria::Achado>& achados = resultado.achados;
    setObjectName(QStringLiteral("FormRelAuditoria"));
    RelModelo.setTitle(QStringLiteral("Auditoria dos Dados Recebidos"));
    RelModelo.setOrientation(QPageLayout::Landscape);
    RelModelo.setPrintIfEmpty(false);

    // The state and the municipality audited, whatever the data module's lists hold.
    const QString nomeUf = resultado.nomeUf.isEmpty() ? filtro.uf : resultado.nomeUf;
    QRDBText10->setExpression([nomeUf](const report::Report&) { return QVariant(nomeUf); });
    MostraMunicipio(filtro.cidade.has_value());
    QRDBText11->setExpression([municipio](const report::Report&) { return QVariant(municipio); });
    QRPeriodo->setText(QStringLiteral("Ano Competência : ") + filtro.ano);

    const QStringList titulos = auditoria::colunas();
    ColumnHeaderBand1->addLabel(titulos.at(1), mes);
    ColumnHeaderBand1->addLabel(titulos.at(2), regra);
    ColumnHeaderBand1->addLabel(titulos.at(3), esperado);
    ColumnHeaderBand1->addLabel(titulos.at(4), encontrado);

    Linhas.setColumns({QStringLiteral("CIDADE"), QStringLiteral("MUNICIPIO"), QStringLiteral("MES"), QStringLiteral("REGRA"),
                       QStringLiteral("ESPERADO"), QStringLiteral("ENCONTRADO")});
    for (const auditoria::Achado& a : achados) {
        const QStringList t = auditoria::textos(a);
        Linhas.addRow({a.cidade, t.at(0), t.at(1), t.at(2), t.at(3), t.at(4)});
    }
    RelModelo.setRecordSource(&Linhas);

    GrupoMunicipio = &RelModelo.addGroup(QStringLiteral("CIDADE"));
    report::Band& cabecalho = GrupoMunicipio->header();
    cabecalho.setHeight(7);
    report::DataText& nome = cabecalho.addDataText(QStringLiteral("MUNICIPIO"), {0, 1.5, 200, 0});
    nome.setBold(true);
    report::Band& rodape = GrupoMunicipio->footer();
    rodape.setHeight(6);
    rodape.frame().top = true;
    rodape.addLabel(QStringLiteral("Achados no município:"), {150, 0.8, 40, 0}).setAlignment(Qt::AlignRight | Qt::AlignTop);
    rodape.addRunningSum([](const report::Report&) { return QVariant(1); }, report::ResetScope::Group, {192, 0.8, 20, 0},
                         QStringLiteral("#,##0"));

    DetailBand1->setHeight(5);
    for (const auto& [campo, caixa] : {std::pair{QStringLiteral("MES"), mes}, std::pair{QStringLiteral("REGRA"), regra},
                                       std::pair{QStringLiteral("ESPERADO"), esperado},
                                       std::pair{QStringLiteral("ENCONTRADO"), encontrado}}) {
        report::DataText& t = DetailBand1->addDataText(campo, caixa);
        t.setFontSize(8);
        t.setWordWrap(true);
        t.setAutoStretch(true);
    }

    SummaryBand1 = &RelModelo.addBand(report::BandKind::Summary, 8);
    SummaryBand1->frame().top = true;
    SummaryBand1->addLabel(QStringLiteral("Total de achados: %1 em %2")
                               .arg(achados.size())
                               .arg(auditoria::contaMunicipios(resultado.municipiosComAchados())),
                           {0, 1.5, 200, 0})
        .setBold(true);
}

TFormRelAuditoria::~TFormRelAuditoria() = default;
