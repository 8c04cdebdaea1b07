#include "registries/TfrmElencoMinimo.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/rules/Referencias.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"

#include <QGridLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmElencoMinimo::TfrmElencoMinimo(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmElencoMinimo"));
    setWindowTitle(QStringLiteral("Relação Pactuada de Medicamentos"));
    dtsEdicao->setDataset(&DMPrincipal->Tb_Elenco_Minimo);

    dbeDS_MEDICAMENTO = new ui::DbEdit(dtsEdicao, QStringLiteral("DS_MEDICAMENTO"), pnlEdicao);
    dbeDS_MEDICAMENTO->setObjectName(QStringLiteral("dbeDS_MEDICAMENTO"));
    // The field's size, also before the list is read.
    dbeDS_MEDICAMENTO->setMaxLength(DMPrincipal->Tb_Elenco_MinimoDS_MEDICAMENTO->size());
    dbeCO_SEQ_MEDICAMENTO = new ui::DbEdit(dtsEdicao, QStringLiteral("CO_SEQ_MEDICAMENTO"), pnlEdicao);
    dbeCO_SEQ_MEDICAMENTO->setObjectName(QStringLiteral("dbeCO_SEQ_MEDICAMENTO"));
    dbeCO_SEQ_MEDICAMENTO->setAlignment(Qt::AlignRight);
    dbeCO_SEQ_MEDICAMENTO->setFixedWidth(dbeCO_SEQ_MEDICAMENTO->fontMetrics().horizontalAdvance(QStringLiteral("-000000")) + 16);
    DBRadioGroup2 = new ui::DbRadioGroup(QStringLiteral("Elenco Mínimo ?"), pnlEdicao);
    DBRadioGroup2->setObjectName(QStringLiteral("DBRadioGroup2"));
    DBRadioGroup2->setItems({QStringLiteral("Sim"), QStringLiteral("Não")}, {QStringLiteral("S"), QStringLiteral("N")});
    DBRadioGroup2->setColumns(2);
    DBRadioGroup2->setDataField(QStringLiteral("ST_ELENCO_MINIMO"));
    DBRadioGroup2->setDataSource(dtsEdicao);

    auto* grid = new QGridLayout(pnlEdicao);
    grid->setContentsMargins(16, 12, 16, 12);
    grid->setHorizontalSpacing(16);
    grid->setVerticalSpacing(4);
    grid->addWidget(ui::captionLabel(QStringLiteral("Descrição"), dbeDS_MEDICAMENTO, pnlEdicao), 0, 0, 1, 3);
    grid->addWidget(dbeDS_MEDICAMENTO, 1, 0, 1, 3);
    grid->setRowMinimumHeight(2, 10);
    auto* codigo = new QVBoxLayout;
    codigo->setSpacing(4);
    codigo->addWidget(ui::captionLabel(QStringLiteral("Código"), dbeCO_SEQ_MEDICAMENTO, pnlEdicao));
    codigo->addWidget(dbeCO_SEQ_MEDICAMENTO);
    grid->addLayout(codigo, 3, 0, Qt::AlignTop);
    grid->addWidget(DBRadioGroup2, 3, 1, Qt::AlignTop);
    grid->setColumnStretch(2, 1);
    grid->setRowStretch(4, 1);
    setTabOrder(dbeDS_MEDICAMENTO, dbeCO_SEQ_MEDICAMENTO);
    setTabOrder(dbeCO_SEQ_MEDICAMENTO, DBRadioGroup2->button(0));
    setTabOrder(DBRadioGroup2->button(0), DBRadioGroup2->button(1));

    setClientSize(620, 220);
}

void TfrmElencoMinimo::BbtInserirClick()
{
    TfrmModeloEdicao::BbtInserirClick();
    // The code is typed first, although the name comes first in tab order.
    dbeCO_SEQ_MEDICAMENTO->setFocus(Qt::OtherFocusReason);
    if (dataset() && dataset()->state() == db::DatasetState::Insert)
        DMPrincipal->Tb_Elenco_MinimoST_ELENCO_MINIMO->setValue(QStringLiteral("S"));
}

void TfrmElencoMinimo::BbtExcluirClick()
{
    db::Dataset* ds = dataset();
    if (ds && ds->isActive() && !ds->isEmpty()) {
        const rules::Falhou recusa = registros::recusaExclusaoDoMedicamento(
            DMPrincipal->IBDatabaseGeral, DMPrincipal->Tb_Elenco_MinimoCO_SEQ_MEDICAMENTO->value(),
            DMPrincipal->Tb_Elenco_MinimoDS_MEDICAMENTO->asString());
        if (recusa) {
            ui::Dialogs::message(recusa->texto(), this);
            HabilitaEdicao(true);
            return;
        }
    }
    TfrmModeloEdicao::BbtExcluirClick();
}

void TfrmElencoMinimo::BbtGravarClick()
{
    db::Dataset* ds = dataset();
    if (!pnlFundo->isHidden() && ds && ds->state() == db::DatasetState::Edit) {
        db::Field* codigo = DMPrincipal->Tb_Elenco_MinimoCO_SEQ_MEDICAMENTO;
        // A code typed that is not a number yet is the template's to report.
        const rules::Falhou recusa =
            registros::recusaAlteracaoDoCodigo(DMPrincipal->IBDatabaseGeral, codigo->oldValue(), codigo->value());
        if (recusa) {
            mostraRecusa(recusa->texto(), recusa->campo);
            return;
        }
    }
    TfrmModeloEdicao::BbtGravarClick();
}
