#include "interchange/TfrmControleEnvio.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "dbui/DbGrid.h"
#include "interchange/rules/ControleEnvio.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QGridLayout>
#include <QHeaderView>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QToolBar>
#include <QVBoxLayout>

using db::FieldType;

namespace {

class Centralizado : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override
    {
        QStyledItemDelegate::initStyleOption(option, index);
        option->displayAlignment = Qt::AlignCenter;
    }
};

}  // namespace

TfrmControleEnvio::TfrmControleEnvio(QWidget* owner)
    : TfrmModeloEdicao(owner),
      QryConsulta(&DMPrincipal->IBDatabaseGeral, QStringLiteral("QryConsulta")),
      DsQryConsulta(&QryConsulta)
{
    setObjectName(QStringLiteral("frmControleEnvio"));
    setWindowTitle(QStringLiteral("Controle de Fechamento e Envio de Dados"));
    dtsEdicao->setDataset(&DMPrincipal->TB_Unidade_Federacao);

    // Of the toolbar only Sair and the search are the user's here.
    for (QAction* a : {BbtInserir, BbtEditar, BbtExcluir, BbtGravar, BbtCancelar, ToolButton2})
        a->setVisible(false);
    BbtPesquisar->setText(QStringLiteral("&Pesquisa (F7)"));
    BbtPesquisar->setIconText(QStringLiteral("&Pesquisa (F7)"));

    QryConsulta.addField(QStringLiteral("CO_UF"), FieldType::String, 2).setDisplayLabel(QStringLiteral("Estado")).setDisplayWidth(6);
    QryConsulta.addField(QStringLiteral("NO_CIDADE"), FieldType::String, 50).setDisplayLabel(QStringLiteral("Município")).setDisplayWidth(34);
    QryConsulta.addField(QStringLiteral("MES"), FieldType::Float)
        .setDisplayLabel(QStringLiteral("Mês de Competência"))
        .setDisplayFormat(QStringLiteral("0"))
        .setDisplayWidth(18);
    QryConsulta.addField(QStringLiteral("DT_FECHAMENTO"), FieldType::Date).setDisplayLabel(QStringLiteral("Fechamento")).setDisplayWidth(12);
    QryConsulta.addField(QStringLiteral("DT_ENVIO"), FieldType::Date).setDisplayLabel(QStringLiteral("Envio")).setDisplayWidth(12);

    auto* painel = new QVBoxLayout(pnlEdicao);
    painel->setContentsMargins(8, 8, 8, 8);
    painel->setSpacing(8);
    auto* topo = new QGridLayout;
    topo->setHorizontalSpacing(12);
    topo->setVerticalSpacing(2);

    LookUpUF = new ui::DbLookupComboBox(pnlEdicao);
    LookUpUF->setObjectName(QStringLiteral("LookUpUF"));
    LookUpUF->setListSource(&DMPrincipal->DsTB_Unidade_Federacao);
    LookUpUF->setKeyField(QStringLiteral("CO_UF"));
    LookUpUF->setListField(QStringLiteral("CO_UF"));
    LookUpUF->setMinimumWidth(80);
    DBLookupMunicipio = new ui::DbLookupComboBox(pnlEdicao);
    DBLookupMunicipio->setObjectName(QStringLiteral("DBLookupMunicipio"));
    DBLookupMunicipio->setListSource(&DMPrincipal->DsTB_Cidade);
    DBLookupMunicipio->setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
    DBLookupMunicipio->setListField(QStringLiteral("NO_CIDADE"));
    DBLookupMunicipio->setMinimumWidth(320);
    Label1 = ui::captionLabel(QStringLiteral("Estado"), LookUpUF, pnlEdicao);
    Label2 = ui::captionLabel(QStringLiteral("Município"), DBLookupMunicipio, pnlEdicao);
    topo->addWidget(Label1, 0, 0);
    topo->addWidget(LookUpUF, 1, 0);
    topo->addWidget(Label2, 0, 1);
    topo->addWidget(DBLookupMunicipio, 1, 1);
    topo->setColumnStretch(2, 1);
    painel->addLayout(topo);

    DBGrid2 = new ui::DbGrid(pnlEdicao);
    DBGrid2->setObjectName(QStringLiteral("DBGrid2"));
    DBGrid2->setAccessibleName(QStringLiteral("Meses"));
    DBGrid2->setDataSource(&DsQryConsulta);
    QPalette cinza = DBGrid2->palette();
    cinza.setColor(QPalette::Base, cinza.color(QPalette::Button));
    DBGrid2->setPalette(cinza);
    auto* centro = new Centralizado(DBGrid2);
    for (int col : {0, 2, 3, 4})
        DBGrid2->setItemDelegateForColumn(col, centro);
    painel->addWidget(DBGrid2, 1);
    setTabOrder(LookUpUF, DBLookupMunicipio);

    connect(LookUpUF, &ui::DbLookupComboBox::chosen, this, [this] { run([this] { LookUpUFClick(); }); });
    setClientSize(640, 440);
}

TfrmControleEnvio::~TfrmControleEnvio() = default;

void TfrmControleEnvio::FormShow()
{
    TfrmModeloEdicao::FormShow();
    db::Dataset& p = DMPrincipal->TB_Parametro_MELTU;
    p.open();
    setWindowTitle(QStringLiteral("Controle de Fechamento e Envio de Dados de ") + DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    const QString uf = DMPrincipal->TB_Parametro_MELTUCO_UF->asString();
    // The city list follows the state's current row.
    DMPrincipal->TB_Unidade_Federacao.locate(QStringLiteral("CO_UF"), uf);
    LookUpUF->setKeyValue(uf);
    db::Dataset& cidades = DMPrincipal->TB_Cidade;
    if (!cidades.isActive())
        cidades.open();
    cidades.last();
    cidades.first();
    const int cidade = DMPrincipal->codigoCidadeInstalacao();
    municipal_ = cidade != 0;
    if (!municipal_) {
        for (QWidget* w : {static_cast<QWidget*>(LookUpUF), static_cast<QWidget*>(DBLookupMunicipio)}) {
            w->setEnabled(true);
            ui::setEditColour(w, true);
        }
        return;
    }
    DBLookupMunicipio->setKeyValue(cidade);
    BbtPesquisarClick();
    BbtPesquisar->setEnabled(false);
}

void TfrmControleEnvio::LookUpUFClick()
{
    db::Dataset& cidades = DMPrincipal->TB_Cidade;
    cidades.last();
    cidades.first();
    DBLookupMunicipio->setKeyValue(QVariant());
}

void TfrmControleEnvio::BbtPesquisarClick()
{
    const QVariant uf = LookUpUF->keyValue();
    if (uf.isNull() || uf.toString().isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Informe a UF para Consulta"), this);
        LookUpUF->setFocus();
        return;
    }
    QryConsulta.close();
    const QVariant cidade = DBLookupMunicipio->keyValue();
    const bool umMunicipio = municipal_ || !cidade.isNull();
    QryConsulta.setSql(umMunicipio ? interchange::sqlControleEnvioMunicipio() : interchange::sqlControleEnvioUf());
    if (umMunicipio)
        QryConsulta.setParam(QStringLiteral("co_cidade"), cidade.toInt());
    QryConsulta.setParam(QStringLiteral("ano_compet"), DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString());
    QryConsulta.setParam(QStringLiteral("co_uf"), uf.toString());
    QryConsulta.open();
    DBGrid2->resizeColumnsToContents();
    DBGrid2->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
}
