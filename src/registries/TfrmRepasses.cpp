// The three transfer-rate windows: the standard rates and their state and municipal
// exceptions. Each is the record-editing template over its dataset with its boxes.
#include "registries/TfrmExcessaoEstadual.h"
#include "registries/TfrmExcessaoMunicipal.h"
#include "registries/TfrmRepasseMestre.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "registries/Caixas.h"
#include "registries/rules/Pactuacao.h"
#include "rules/Anos.h"
#include "widgets/Look.h"

#include <QFormLayout>
#include <QLabel>

namespace {

const QString dicaAno = QStringLiteral("Informe o ano de competência da pactuação");
const QString dicaEstado = QStringLiteral("Informe a sigla da unidade da federação da pactuação");
const QString dicaMunicipio = QStringLiteral("Informe o município da pactuação");

QFormLayout* formulario(QWidget* painel)
{
    auto* form = new QFormLayout(painel);
    form->setContentsMargins(16, 16, 16, 16);
    form->setVerticalSpacing(10);
    form->setHorizontalSpacing(12);
    form->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    form->setFieldGrowthPolicy(QFormLayout::FieldsStayAtSizeHint);
    return form;
}

ui::DbEdit* valor(db::DataSource* source, const char* name, const char* field, QWidget* parent)
{
    auto* e = new ui::DbEdit(source, QString::fromLatin1(field), parent);
    e->setObjectName(QString::fromLatin1(name));
    e->setAlignment(Qt::AlignRight);
    e->setFixedWidth(e->fontMetrics().horizontalAdvance(QStringLiteral("R$ 000.000,00")) + 20);
    return e;
}

void larguraAno(QWidget* box)
{
    box->setFixedWidth(box->fontMetrics().horizontalAdvance(QStringLiteral("00000")) + 50);
}

}  // namespace

// --- TfrmRepasseMestre ---------------------------------------------------------------

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

// --- TfrmExcessaoEstadual ------------------------------------------------------------

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

// --- TfrmExcessaoMunicipal -----------------------------------------------------------

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
