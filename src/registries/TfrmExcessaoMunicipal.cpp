// A municipality's exception to the standard transfer rates: the record-editing template over its
// dataset, with the state and municipality boxes.
#include "registries/TfrmExcessaoMunicipal.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/Caixas.h"
#include "registries/rules/Pactuacao.h"
#include "rules/Anos.h"
#include "widgets/Look.h"

#include <QFormLayout>
#include <QLabel>

using namespace registros;

TfrmExcessaoMunicipal::TfrmExcessaoMunicipal(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmExcessaoMunicipal"));
    setWindowTitle(QStringLiteral("Exceção de Repasse Padrão Municipal"));
    dtsEdicao->setDataset(&DMPrincipal->TB_Repasse_Municipal_Excessao);

    DBBoxAno = registros::caixaDeAno(dtsEdicao, rules::yearList(primeiroAno, ultimoAnoListado), pnlEdicao);
    DBBoxAno->setToolTip(dicaAno);
    larguraAno(DBBoxAno);
    DBBoxEstado = registros::caixaDeEstado(dtsEdicao, pnlEdicao);
    DBBoxEstado->setToolTip(dicaEstado);
    larguraAno(DBBoxEstado);
    registros::acompanhaUf(DBBoxEstado);
    DBBoxMunicipio = new ui::DbLookupComboBox(pnlEdicao);
    DBBoxMunicipio->setObjectName(QStringLiteral("DBBoxMunicipio"));
    DBBoxMunicipio->setToolTip(dicaMunicipio);
    DBBoxMunicipio->setListSource(&DMPrincipal->DsTB_Cidade);
    DBBoxMunicipio->setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
    DBBoxMunicipio->setListField(QStringLiteral("NO_CIDADE"));
    DBBoxMunicipio->setDataField(QStringLiteral("CO_CIDADE"));
    DBBoxMunicipio->setDataSource(dtsEdicao);
    DBBoxMunicipio->setFixedWidth(340);
    DBEdit1 = valor(dtsEdicao, "DBEdit1", "VL_REPASSE_MUNICIPAL_EXCESSAO", pnlEdicao);

    QFormLayout* form = formulario(pnlEdicao);
    form->addRow(ui::captionLabel(QStringLiteral("Ano Competência"), DBBoxAno, pnlEdicao), DBBoxAno);
    form->addRow(ui::captionLabel(QStringLiteral("Estado"), DBBoxEstado, pnlEdicao), DBBoxEstado);
    form->addRow(ui::captionLabel(QStringLiteral("Município"), DBBoxMunicipio, pnlEdicao), DBBoxMunicipio);
    form->addRow(ui::captionLabel(QStringLiteral("Valor Repasse"), DBEdit1, pnlEdicao), DBEdit1);
    setTabOrder(DBBoxAno, DBBoxEstado);
    setTabOrder(DBBoxEstado, DBBoxMunicipio);
    setTabOrder(DBBoxMunicipio, DBEdit1);

    setClientSize(585, 245);
}

void TfrmExcessaoMunicipal::FormShow()
{
    TfrmModeloEdicao::FormShow();
    DMPrincipal->TB_Unidade_Federacao.open();
    DMPrincipal->TB_Cidade.open();
    if (const QVariant estado = DMPrincipal->TB_Repasse_Municipal_ExcessaoCO_UF->value(); !estado.isNull())
        DMPrincipal->TB_Unidade_Federacao.locate(QStringLiteral("CO_UF"), estado);
}

void TfrmExcessaoMunicipal::FormClose()
{
    TfrmModeloEdicao::FormClose();
    DMPrincipal->TB_Unidade_Federacao.close();
    DMPrincipal->TB_Cidade.close();
}

void TfrmExcessaoMunicipal::BbtGravarClick()
{
    db::Dataset& excecoes = DMPrincipal->TB_Repasse_Municipal_Excessao;
    if (!pnlFundo->isHidden() && excecoes.isEditing()) {
        // A municipality of another state, left from before the state was changed, is
        // not the one the box shows (none): it is not saved as chosen.
        db::Field* cidade = DMPrincipal->TB_Repasse_Municipal_ExcessaoCO_CIDADE;
        if (!cidade->isNull()
            && !registros::municipioDaUf(DMPrincipal->IBDatabaseGeral, cidade->value(),
                                         DMPrincipal->TB_Repasse_Municipal_ExcessaoCO_UF->value()))
            cidade->clear();
    }
    TfrmModeloEdicao::BbtGravarClick();
}
