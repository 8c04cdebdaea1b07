// The standard transfer rates of a year: the record-editing template over its dataset.
#include "registries/TfrmRepasseMestre.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/Caixas.h"
#include "registries/rules/Pactuacao.h"
#include "rules/Anos.h"
#include "widgets/Look.h"

#include <QFormLayout>
#include <QLabel>

using namespace registros;

TfrmRepasseMestre::TfrmRepasseMestre(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmRepasseMestre"));
    setWindowTitle(QStringLiteral("Repasse Padrão"));
    dtsEdicao->setDataset(&DMPrincipal->TB_Repasse_Mestre);

    DBBoxAno = registros::caixaDeAno(dtsEdicao, rules::yearList(primeiroAno, ultimoAnoListado), pnlEdicao);
    DBBoxAno->setToolTip(dicaAno);
    larguraAno(DBBoxAno);
    DBEdit1 = valor(dtsEdicao, "DBEdit1", "VL_REPASSE_FEDERAL_MESTRE", pnlEdicao);
    DBEdit2 = valor(dtsEdicao, "DBEdit2", "VL_REPASSE_ESTADUAL_MESTRE", pnlEdicao);
    DBEdit3 = valor(dtsEdicao, "DBEdit3", "VL_REPASSE_MUNICIPAL_MESTRE", pnlEdicao);

    QFormLayout* form = formulario(pnlEdicao);
    form->addRow(ui::captionLabel(QStringLiteral("Ano Competência"), DBBoxAno, pnlEdicao), DBBoxAno);
    form->addRow(ui::captionLabel(QStringLiteral("Valor Repasse Federal"), DBEdit1, pnlEdicao), DBEdit1);
    form->addRow(ui::captionLabel(QStringLiteral("Valor Repasse Estadual"), DBEdit2, pnlEdicao), DBEdit2);
    form->addRow(ui::captionLabel(QStringLiteral("Valor Repasse Municipal"), DBEdit3, pnlEdicao), DBEdit3);
    setTabOrder(DBBoxAno, DBEdit1);
    setTabOrder(DBEdit1, DBEdit2);
    setTabOrder(DBEdit2, DBEdit3);

    setClientSize(585, 240);
}
