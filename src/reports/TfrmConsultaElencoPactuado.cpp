#include "reports/TfrmConsultaElencoPactuado.h"

#include "data/DMPrincipal.h"
#include "dbui/DbGrid.h"
#include "reports/TfrmRelMedicamentosPactuados.h"
#include "reports/rules/Aquisicao.h"
#include "report/PreviewDialog.h"
#include "widgets/Look.h"

#include <QAction>
#include <QFrame>
#include <QHeaderView>
#include <QVBoxLayout>

namespace {

const QString titulo = QStringLiteral("Elencos Pactuados");

QString ufParametros()
{
    const db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    return p.isActive() && !p.isEmpty() ? DMPrincipal->TB_Parametro_MELTUCO_UF->asString() : QString();
}

}  // namespace

TfrmConsultaElencoPactuado::TfrmConsultaElencoPactuado(QWidget* owner)
    : TfrmModeloEdicao(owner), QryConsulta(DMPrincipal ? &DMPrincipal->IBDatabaseGeral : nullptr, QStringLiteral("QryConsulta"))
{
    setObjectName(QStringLiteral("frmConsultaElencoPactuado"));
    setWindowTitle(titulo);
    relatorios::defineElencoPactuado(QryConsulta);
    QryConsulta.fieldByName(QStringLiteral("DS_MEDICAMENTO")).setDisplayWidth(55);
    QryConsulta.fieldByName(QStringLiteral("ST_ELENCO_MINIMO")).setDisplayWidth(12);
    dtsEdicao->setDataset(&QryConsulta);
    dtsEdicao->setAutoEdit(false);

    for (QAction* a : {BbtInserir, BbtEditar, BbtExcluir, BbtGravar, BbtCancelar, ToolButton1})
        a->setVisible(false);
    BbtPesquisar->setText(QStringLiteral("&Imprimir (F7)"));
    BbtPesquisar->setIconText(BbtPesquisar->text());
    BbtPesquisar->setToolTip(QStringLiteral("Imprimir"));
    BbtPesquisar->setEnabled(false);

    auto* layout = new QVBoxLayout(pnlEdicao);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Panel1 = new QFrame(pnlEdicao);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameStyle(QFrame::Panel | QFrame::Raised);
    Panel1->setFixedHeight(24);
    layout->addWidget(Panel1);
    DBGrid1 = new ui::DbGrid(pnlEdicao);
    DBGrid1->setObjectName(QStringLiteral("DBGrid1"));
    DBGrid1->setAccessibleName(QStringLiteral("Medicamentos pactuados"));
    DBGrid1->setDataSource(dtsEdicao);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->horizontalHeader()->setStretchLastSection(true);
    ui::setEditColour(DBGrid1, false);
    layout->addWidget(DBGrid1, 1);
    setClientSize(660, 420);
}

TfrmConsultaElencoPactuado::~TfrmConsultaElencoPactuado()
{
    QryConsulta.close();
}

void TfrmConsultaElencoPactuado::FormShow()
{
    TfrmModeloEdicao::FormShow();
    // The menu command opens the parameters; a window opened otherwise reads them too.
    if (!DMPrincipal->TB_Parametro_MELTU.isActive())
        DMPrincipal->TB_Parametro_MELTU.open();
    const QString uf = ufParametros();
    setWindowTitle(titulo + QStringLiteral(" - ") + uf);
    QryConsulta.close();
    QryConsulta.setParam(QStringLiteral("co_uf"), uf);
    QryConsulta.open();
}

void TfrmConsultaElencoPactuado::BbtPesquisarClick()
{
    TfrmRelMedicamentosPactuados relatorio(this);
    relatorio.QRLabel3->setText(QStringLiteral("Estado :") + ufParametros());
    report::preview(relatorio.RelModelo, this);
}
