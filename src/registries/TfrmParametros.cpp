#include "registries/TfrmParametros.h"

#include "rules/Anos.h"
#include "registries/rules/Pactuacao.h"
#include "registries/rules/Parametros.h"
#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "data/Identidade.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QVBoxLayout>

using db::FieldType;

TfrmParametros::TfrmParametros(QWidget* owner)
    : TfrmModeloEdicao(owner),
      TB_Cidade(&DMPrincipal->IBDatabaseGeral, QStringLiteral("TB_Cidade")),
      DsTB_Cidade(&TB_Cidade)
{
    setObjectName(QStringLiteral("frmParametros"));
    setWindowTitle(QStringLiteral("Parâmetros do Sistema"));

    TB_Cidade.setSql({QStringLiteral("SELECT TB_CIDADE_PACTUACAO.CO_UF,"), QStringLiteral("       TB_CIDADE.CO_SEQ_CIDADE,"),
                      QStringLiteral("       TB_CIDADE.NO_CIDADE,"), QStringLiteral("       tb_cidade_pactuacao.co_forma_pactuacao"),
                      QStringLiteral("FROM TB_CIDADE"),
                      QStringLiteral("   RIGHT OUTER JOIN TB_CIDADE_PACTUACAO ON (TB_CIDADE.CO_SEQ_CIDADE = TB_CIDADE_PACTUACAO.CO_CIDADE)"),
                      QStringLiteral("WHERE "), QStringLiteral("TB_CIDADE.CO_UF = :CO_UF "), QStringLiteral("order by no_cidade")});
    TB_CidadeCO_SEQ_CIDADE = &TB_Cidade.addField(QStringLiteral("CO_SEQ_CIDADE"), FieldType::Integer).setRequired();
    TB_CidadeNO_CIDADE = &TB_Cidade.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50).setRequired();
    // CO_UF comes from the current parameter record.
    TB_Cidade.setMasterSource(&DMPrincipal->DsParametro_KORVA);

    dtsEdicao->setDataset(&DMPrincipal->TB_Parametro_MELTU);

    auto* painel = new QVBoxLayout(pnlEdicao);
    painel->setContentsMargins(6, 6, 6, 6);
    PageControl1 = new ui::PageControl(pnlEdicao);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    PageControl1->setFlatTabs(true);
    painel->addWidget(PageControl1);

    // Page "Geral".
    tbsGeral = new QWidget(PageControl1);
    tbsGeral->setObjectName(QStringLiteral("tbsGeral"));
    auto* geral = new QFormLayout(tbsGeral);
    geral->setContentsMargins(12, 12, 12, 12);
    geral->setVerticalSpacing(8);
    geral->setLabelAlignment(Qt::AlignRight | Qt::AlignVCenter);
    const auto edit = [&](const char* name, const char* column, const char* caption) {
        auto* e = new ui::DbEdit(dtsEdicao, QString::fromLatin1(column), tbsGeral);
        e->setObjectName(QString::fromLatin1(name));
        geral->addRow(ui::captionLabel(QString::fromUtf8(caption), e, tbsGeral), e);
        return e;
    };
    DBEdit1 = edit("DBEdit1", "SG_SISTEMA", "Sigla do Sistema");
    DBEdit2 = edit("DBEdit2", "NO_SISTEMA", "Nome do Sistema");
    DBEdit3 = edit("DBEdit3", "DS_CABECALHO1", "Cabeçalho 1");
    DBEdit4 = edit("DBEdit4", "DS_CABECALHO2", "Cabeçalho 2");
    DBEdit5 = edit("DBEdit5", "DS_CABECALHO3", "Cabeçalho 3");
    DBEdit6 = edit("DBEdit6", "DS_PATH_ATUALIZACAO_SISTEMA", "Path de Atualização");
    DBEdit1->setMaximumWidth(140);

    // Page "Versão": state, municipality, year, in that tab order.
    tbsVersao = new QWidget(PageControl1);
    tbsVersao->setObjectName(QStringLiteral("tbsVersao"));
    auto* versao = new QGridLayout(tbsVersao);
    versao->setContentsMargins(12, 12, 12, 12);
    versao->setHorizontalSpacing(12);
    versao->setVerticalSpacing(4);

    DBBoxEstado = new ui::DbLookupComboBox(tbsVersao);
    DBBoxEstado->setObjectName(QStringLiteral("DBBoxEstado"));
    DBBoxEstado->setListSource(&DMPrincipal->DsTB_Unidade_Federacao);
    DBBoxEstado->setKeyField(QStringLiteral("CO_UF"));
    DBBoxEstado->setListField(QStringLiteral("CO_UF"));
    DBBoxEstado->setDataField(QStringLiteral("CO_UF"));
    DBBoxEstado->setDataSource(dtsEdicao);

    DBBoxMunicipio = new ui::DbLookupComboBox(tbsVersao);
    DBBoxMunicipio->setObjectName(QStringLiteral("DBBoxMunicipio"));
    DBBoxMunicipio->setListSource(&DsTB_Cidade);
    DBBoxMunicipio->setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
    DBBoxMunicipio->setListField(QStringLiteral("NO_CIDADE"));
    DBBoxMunicipio->setDataField(QStringLiteral("CO_CIDADE"));
    DBBoxMunicipio->setDataSource(dtsEdicao);
    DBBoxMunicipio->setToolTip(QStringLiteral("Delete ou Backspace limpa o município: sem município, a instalação é estadual."));

    DBBoxAno = new ui::DbComboBox(tbsVersao);
    DBBoxAno->setObjectName(QStringLiteral("DBBoxAno"));
    DBBoxAno->setItems(rules::yearList(primeiroAno, ultimoAnoListado));
    DBBoxAno->setDataField(QStringLiteral("NU_ANO_COMPET"));
    DBBoxAno->setDataSource(dtsEdicao);

    versao->addWidget(ui::captionLabel(QStringLiteral("Estado"), DBBoxEstado, tbsVersao), 0, 0);
    versao->addWidget(DBBoxEstado, 1, 0);
    versao->addWidget(ui::captionLabel(QStringLiteral("Município"), DBBoxMunicipio, tbsVersao), 0, 1);
    versao->addWidget(DBBoxMunicipio, 1, 1);
    versao->setRowMinimumHeight(2, 10);
    versao->addWidget(ui::captionLabel(QStringLiteral("Ano Competência"), DBBoxAno, tbsVersao), 3, 0);
    versao->addWidget(DBBoxAno, 4, 0);
    versao->setColumnStretch(2, 1);
    versao->setRowStretch(5, 1);
    DBBoxEstado->setMinimumWidth(90);
    DBBoxAno->setMinimumWidth(90);
    DBBoxMunicipio->setMinimumWidth(320);
    setTabOrder(DBBoxEstado, DBBoxMunicipio);
    setTabOrder(DBBoxMunicipio, DBBoxAno);

    PageControl1->addTab(tbsGeral, QStringLiteral("Geral"));
    PageControl1->addTab(tbsVersao, QStringLiteral("Versão"));
    PageControl1->setCurrentPage(tbsVersao);

    connect(DBBoxEstado, &ui::DbLookupComboBox::chosen, this, [this] { run([this] { DBBoxEstadoClick(); }); });

    setClientSize(640, 340);
}

TfrmParametros::~TfrmParametros() = default;

void TfrmParametros::FormShow()
{
    TfrmModeloEdicao::FormShow();
    db::Dataset& uf = DMPrincipal->TB_Unidade_Federacao;
    uf.open();
    uf.last();
    uf.first();
    TB_Cidade.open();
    TB_Cidade.last();
    TB_Cidade.first();
}

void TfrmParametros::FormClose()
{
    TfrmModeloEdicao::FormClose();
    DMPrincipal->TB_Unidade_Federacao.close();
    TB_Cidade.close();
}

void TfrmParametros::BbtInserirClick()
{
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    // The table keeps one row: it is changed with Alterar.
    if (p.isActive() && !p.isEmpty())
        return;
    TfrmModeloEdicao::BbtInserirClick();
    DMPrincipal->TB_Parametro_MELTUSG_SISTEMA->setValue(identidade::sigla);
    DMPrincipal->TB_Parametro_MELTUNO_SISTEMA->setValue(identidade::tituloCompleto());
    // The header lines run from the department down to the technical unit.
    DMPrincipal->TB_Parametro_MELTUDS_CABECALHO1->setValue(identidade::organizacao.value(1));
    DMPrincipal->TB_Parametro_MELTUDS_CABECALHO2->setValue(identidade::organizacao.value(2));
    DMPrincipal->TB_Parametro_MELTUDS_CABECALHO3->setValue(identidade::organizacao.value(3));
    DMPrincipal->TB_Parametro_MELTUDS_PATH_ATUALIZACAO_SISTEMA->setValue(identidade::pathAtualizacao);
}

void TfrmParametros::BbtGravarClick()
{
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    if (!pnlFundo->isHidden() && p.isEditing()) {
        // No municipality shown: a state installation.
        if (DBBoxMunicipio->currentIndex() < 0)
            DMPrincipal->TB_Parametro_MELTUCO_CIDADE->setValue(0);
        const rules::Falhou recusa = registros::recusaParametros(
            DMPrincipal->IBDatabaseGeral, {DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->value(),
                                           DMPrincipal->TB_Parametro_MELTUCO_UF->value(),
                                           DMPrincipal->TB_Parametro_MELTUCO_CIDADE->value()});
        if (recusa) {
            mostraRecusa(recusa->texto(), recusa->campo);
            return;
        }
    }
    TfrmModeloEdicao::BbtGravarClick();
}

void TfrmParametros::DBBoxEstadoClick()
{
    // The state chosen is part of the edit, saved or cancelled with it. The list reads the
    // chosen state's pacted municipalities now (it follows the record only once saved),
    // and a municipality of the state left behind goes with it.
    TB_Cidade.close();
    TB_Cidade.open();
    TB_Cidade.last();
    TB_Cidade.first();
    db::Field* cidade = DMPrincipal->TB_Parametro_MELTUCO_CIDADE;
    if (!registros::municipioDaUf(DMPrincipal->IBDatabaseGeral, cidade->value(), DMPrincipal->TB_Parametro_MELTUCO_UF->value()))
        cidade->setValue(QVariant());
}
