// A state's exception to the standard transfer rates: the record-editing template over its dataset.
#include "registries/TfrmExcessaoEstadual.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/Caixas.h"
#include "registries/rules/Pactuacao.h"
#include "rules/Anos.h"
#include "widgets/Look.h"

#include <QFormLayout>
#include <QLabel>

using namespace registros;

TfrmExcessaoEstadual::TfrmExcessaoEstadual(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmExcessaoEstadual"));
    setWindowTitle(QStringLiteral("Exceção de Repasse Padrão Estadual"));
    dtsEdicao->setDataset(&DMPrincipal->TB_Repasse_Estadual_Excessao);

    DBBoxAno = registros::caixaDeAno(dtsEdicao, rules::yearList(primeiroAno, ultimoAnoListado), pnlEdicao);
    DBBoxAno->setToolTip(dicaAno);
    larguraAno(DBBoxAno);
    DBBoxEstado = registros::caixaDeEstado(dtsEdicao, pnlEdicao);
    DBBoxEstado->setToolTip(dicaEstado);
    larguraAno(DBBoxEstado);
    DBEdit1 = valor(dtsEdicao, "DBEdit1", "VL_REPASSE_ESTADUAL_EXCESSAO", pnlEdicao);

    QFormLayout* form = formulario(pnlEdicao);
    form->addRow(ui::captionLabel(QStringLiteral("Ano Competência"), DBBoxAno, pnlEdicao), DBBoxAno);
    form->addRow(ui::captionLabel(QStringLiteral("Estado"), DBBoxEstado, pnlEdicao), DBBoxEstado);
    form->addRow(ui::captionLabel(QStringLiteral("Valor Repasse"), DBEdit1, pnlEdicao), DBEdit1);
    setTabOrder(DBBoxAno, DBBoxEstado);
    setTabOrder(DBBoxEstado, DBEdit1);

    setClientSize(585, 210);
}

void TfrmExcessaoEstadual::FormShow()
{
    TfrmModeloEdicao::FormShow();
    DMPrincipal->TB_Unidade_Federacao.open();
}

void TfrmExcessaoEstadual::FormClose()
{
    TfrmModeloEdicao::FormClose();
    DMPrincipal->TB_Unidade_Federacao.close();
}
