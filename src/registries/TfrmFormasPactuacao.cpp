#include "registries/TfrmFormasPactuacao.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/rules/Referencias.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"

#include <QGridLayout>
#include <QLabel>

TfrmFormasPactuacao::TfrmFormasPactuacao(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmFormasPactuacao"));
    setWindowTitle(QStringLiteral("Modalidades de Pactuação"));
    dtsEdicao->setDataset(&DMPrincipal->TB_Forma_Pactuacao);

    auto* grid = new QGridLayout(pnlEdicao);
    grid->setContentsMargins(16, 16, 16, 16);
    grid->setVerticalSpacing(4);
    DBEdit1 = new ui::DbEdit(dtsEdicao, QStringLiteral("CO_FORMA_PACTUACAO"), pnlEdicao);
    DBEdit1->setObjectName(QStringLiteral("DBEdit1"));
    DBEdit2 = new ui::DbEdit(dtsEdicao, QStringLiteral("DS_FORMA_PACTUACAO"), pnlEdicao);
    DBEdit2->setObjectName(QStringLiteral("DBEdit2"));
    grid->addWidget(ui::captionLabel(QStringLiteral("Modalidade de Pactuação"), DBEdit1, pnlEdicao), 0, 0);
    grid->addWidget(DBEdit1, 1, 0);
    grid->setRowMinimumHeight(2, 10);
    grid->addWidget(ui::captionLabel(QStringLiteral("Descrição"), DBEdit2, pnlEdicao), 3, 0, 1, 2);
    grid->addWidget(DBEdit2, 4, 0, 1, 2);
    grid->setColumnStretch(1, 1);
    grid->setRowStretch(5, 1);
    DBEdit1->setFixedWidth(DBEdit1->fontMetrics().horizontalAdvance(QStringLiteral("WWWW")) + 16);
    DBEdit2->setMinimumWidth(DBEdit2->fontMetrics().averageCharWidth() * 50 + 16);
    setTabOrder(DBEdit1, DBEdit2);

    setClientSize(585, 200);
}

void TfrmFormasPactuacao::BbtExcluirClick()
{
    // A modality that pacts use stays: they would no longer find it.
    db::Dataset* ds = dataset();
    if (ds && ds->isActive() && !ds->isEmpty()) {
        const rules::Falhou recusa =
            registros::recusaExclusaoDaModalidade(DMPrincipal->IBDatabaseGeral, DMPrincipal->TB_Forma_PactuacaoCO_FORMA_PACTUACAO->value());
        if (recusa) {
            ui::Dialogs::message(recusa->texto(), this);
            HabilitaEdicao(true);
            return;
        }
    }
    TfrmModeloEdicao::BbtExcluirClick();
}

void TfrmFormasPactuacao::BbtGravarClick()
{
    db::Dataset* ds = dataset();
    if (!pnlFundo->isHidden() && ds && ds->state() == db::DatasetState::Edit) {
        db::Field* codigo = DMPrincipal->TB_Forma_PactuacaoCO_FORMA_PACTUACAO;
        const rules::Falhou recusa =
            registros::recusaAlteracaoDaModalidade(DMPrincipal->IBDatabaseGeral, codigo->oldValue(), codigo->value());
        if (recusa) {
            mostraRecusa(recusa->texto(), recusa->campo);
            return;
        }
    }
    TfrmModeloEdicao::BbtGravarClick();
}
