#include "reports/TFormSelecaoModelo.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "widgets/Dialogs.h"
#include "text/Formats.h"
#include "widgets/Guard.h"
#include "widgets/Look.h"
#include "reports/rules/Periodo.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

TFormSelecaoModelo* FormSelecaoModelo = nullptr;

namespace {

// Shows the entry of key and makes its row the list dataset's current row, as a user's
// choice does, so that a detail of the list (the municipalities of a state) follows it.
void escolheChave(ui::DbLookupComboBox* lista, db::Dataset& dataset, const QString& campo, const QVariant& chave)
{
    if (!chave.isNull() && dataset.isActive())
        dataset.locate(campo, chave);
    lista->setKeyValue(chave);
}

void abreETraz(db::Dataset& dataset)
{
    dataset.open();
    dataset.last();
    dataset.first();
}

}  // namespace

TFormSelecaoModelo::TFormSelecaoModelo(QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FormSelecaoModelo"));
    setWindowTitle(QStringLiteral("Seleção para impressão"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    ToolBar1 = createToolBar(20);
    layout->addWidget(ToolBar1);
    QStyle* st = style();
    BbtSair = addButton(QStringLiteral("&Sair (F10)"), QStringLiteral("Sair"), st->standardIcon(QStyle::SP_DialogCloseButton),
                        &TFormSelecaoModelo::BbtSairClick);
    ToolBar1->addSeparator();
    BbtImprime = addButton(QStringLiteral("&Visualizar (F7)"), QStringLiteral("Pesquisar"),
                           st->standardIcon(QStyle::SP_FileDialogContentsView), &TFormSelecaoModelo::BbtImprimeClick);

    pnlSelecao = new QFrame(this);
    pnlSelecao->setObjectName(QStringLiteral("pnlSelecao"));
    pnlSelecao->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    gridSelecao = new QGridLayout(pnlSelecao);
    gridSelecao->setContentsMargins(12, 12, 12, 12);
    gridSelecao->setHorizontalSpacing(8);
    gridSelecao->setVerticalSpacing(8);
    gridSelecao->setColumnStretch(2, 1);
    layout->addWidget(pnlSelecao);

    DBLookUpEstado = new ui::DbLookupComboBox(pnlSelecao);
    DBLookUpEstado->setObjectName(QStringLiteral("DBLookUpEstado"));
    DBLookUpEstado->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DBLookUpEstado->setMinimumContentsLength(4);
    Label1 = ui::captionLabel(QStringLiteral("Estado"), DBLookUpEstado, pnlSelecao);
    Label1->setObjectName(QStringLiteral("Label1"));
    gridSelecao->addWidget(Label1, 0, 0);
    gridSelecao->addWidget(DBLookUpEstado, 0, 1, Qt::AlignLeft);

    DBLookupMunicipio = new ui::DbLookupComboBox(pnlSelecao);
    DBLookupMunicipio->setObjectName(QStringLiteral("DBLookupMunicipio"));
    DBLookupMunicipio->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DBLookupMunicipio->setMinimumContentsLength(34);
    DBLookupMunicipio->setMaxVisibleItems(20);
    Label2 = ui::captionLabel(QStringLiteral("Município"), DBLookupMunicipio, pnlSelecao);
    Label2->setObjectName(QStringLiteral("Label2"));
    gridSelecao->addWidget(Label2, 1, 0);
    gridSelecao->addWidget(DBLookupMunicipio, 1, 1, 1, 2);

    // Pick-only month lists: every entry is one of the twelve names.
    GroupBox1 = new QGroupBox(QStringLiteral("Período"), pnlSelecao);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto* periodo = new QHBoxLayout(GroupBox1);
    const auto mes = [&](const char* nome, const QString& acessivel) {
        auto* c = new QComboBox(GroupBox1);
        c->setObjectName(QString::fromLatin1(nome));
        c->setEditable(false);
        c->addItems(text::monthNames());
        c->setMaxVisibleItems(12);
        c->setAccessibleName(acessivel);
        return c;
    };
    ComboInicio = mes("ComboInicio", QStringLiteral("Mês inicial do período"));
    Label3 = new QLabel(QStringLiteral("à"), GroupBox1);
    Label3->setObjectName(QStringLiteral("Label3"));
    ComboFim = mes("ComboFim", QStringLiteral("Mês final do período"));
    periodo->addWidget(ComboInicio);
    periodo->addWidget(Label3);
    periodo->addWidget(ComboFim);
    periodo->addStretch(1);
    gridSelecao->addWidget(GroupBox1, 2, 0, 1, 3);

    if (DMPrincipal) {
        DBLookUpEstado->setListSource(&DMPrincipal->DsTB_Unidade_Federacao);
        DBLookupMunicipio->setListSource(&DMPrincipal->DsTB_Cidade);
    }
    DBLookUpEstado->setKeyField(QStringLiteral("CO_UF"));
    DBLookUpEstado->setListField(QStringLiteral("CO_UF"));
    DBLookupMunicipio->setKeyField(QStringLiteral("CO_SEQ_CIDADE"));
    DBLookupMunicipio->setListField(QStringLiteral("NO_CIDADE"));
    connect(DBLookUpEstado, &ui::DbLookupComboBox::chosen, this, [this] { run([this] { DBLookUpEstadoClick(); }); });

    setTabOrder(DBLookUpEstado, DBLookupMunicipio);
    setTabOrder(DBLookupMunicipio, ComboInicio);
    setTabOrder(ComboInicio, ComboFim);

}

TFormSelecaoModelo::~TFormSelecaoModelo()
{
    if (FormSelecaoModelo == this)
        FormSelecaoModelo = nullptr;
}

QAction* TFormSelecaoModelo::addButton(const QString& caption, const QString& hint, const QIcon& icon,
                                       void (TFormSelecaoModelo::*handler)())
{
    return addToolButton(ToolBar1, caption, hint, icon, [this, handler] { (this->*handler)(); }, QSize(84, 36));
}

QToolButton* TFormSelecaoModelo::button(QAction* action) const
{
    return toolButton(ToolBar1, action);
}

// --- window events ----------------------------------------------------------------

void TFormSelecaoModelo::showEvent(QShowEvent* e)
{
    ui::FormWindow::showEvent(e);
    if (!e->spontaneous())
        DBLookUpEstado->setFocus();
}

void TFormSelecaoModelo::closeEvent(QCloseEvent* e)
{
    run([this] { FormClose(); });
    ui::FormWindow::closeEvent(e);
}

QString AnoCompetencia()
{
    if (!DMPrincipal || !DMPrincipal->TB_Parametro_MELTU.isActive() || DMPrincipal->TB_Parametro_MELTU.isEmpty())
        return {};
    return DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString();
}

relatorios::Selecao TFormSelecaoModelo::Escolha() const
{
    relatorios::Selecao s;
    s.ano = AnoCompetencia();
    s.uf = DBLookUpEstado->keyValue().toString();
    if (const QVariant cidade = DBLookupMunicipio->keyValue(); cidade.isValid() && !cidade.isNull())
        s.cidade = cidade.toInt();
    s.mesInicio = MesInicio.toInt();
    s.mesFim = MesFim.toInt();
    return s;
}

// --- handlers -----------------------------------------------------------------------

void TFormSelecaoModelo::FormShow()
{
    ComboInicio->setCurrentIndex(0);
    ComboFim->setCurrentIndex(11);
    TDMPrincipal& dm = *DMPrincipal;
    // The state list first: the municipality list is its detail.
    abreETraz(dm.TB_Unidade_Federacao);
    abreETraz(dm.TB_Cidade);
    if (!dm.TB_Parametro_MELTU.isActive())
        dm.TB_Parametro_MELTU.open();
    const bool temParametros = !dm.TB_Parametro_MELTU.isEmpty();
    escolheChave(DBLookUpEstado, dm.TB_Unidade_Federacao, QStringLiteral("CO_UF"),
                 temParametros ? dm.TB_Parametro_MELTUCO_UF->value() : QVariant());
    if (const int cidade = dm.codigoCidadeInstalacao(); cidade != 0)
        escolheChave(DBLookupMunicipio, dm.TB_Cidade, QStringLiteral("CO_SEQ_CIDADE"), cidade);
}

void TFormSelecaoModelo::DBLookUpEstadoClick()
{
    // The list follows the state just chosen; every one of its rows is read. The
    // municipality the box shows stays the list's current row, as the report headers
    // name that row.
    db::Dataset& cidades = DMPrincipal->TB_Cidade;
    cidades.last();
    cidades.first();
    seguirMunicipioEscolhido();
}

void TFormSelecaoModelo::seguirMunicipioEscolhido()
{
    const QVariant cidade = DBLookupMunicipio->keyValue();
    db::Dataset& cidades = DMPrincipal->TB_Cidade;
    if (cidade.isValid() && !cidade.isNull() && cidades.isActive())
        cidades.locate(QStringLiteral("CO_SEQ_CIDADE"), cidade);
}

void TFormSelecaoModelo::BbtImprimeClick()
{
    SelecaoValida = true;
    if (DBLookUpEstado->currentText().isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Informe o Estado"), this);
        DBLookUpEstado->setFocus();
        SelecaoValida = false;
        return;
    }
    if (const QString invertido = PeriodoInvertido(ComboInicio->currentIndex(), ComboFim->currentIndex());
        !invertido.isEmpty()) {
        ui::Dialogs::message(invertido, this);
        ComboInicio->setFocus();
        SelecaoValida = false;
        return;
    }
    // The headers name the list's current row: the municipality whose figures are asked for.
    seguirMunicipioEscolhido();
    const PeriodoSelecionado p = CapturaPeriodo(ComboInicio->currentIndex(), ComboFim->currentIndex());
    MesInicio = p.MesInicio;
    MesFim = p.MesFim;
    NomeMesInicio = p.NomeMesInicio;
    NomeMesFim = p.NomeMesFim;
}

void TFormSelecaoModelo::BbtSairClick()
{
    close();
}

void TFormSelecaoModelo::FormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    triggerForKey(key, shift, {{Qt::Key_F7, BbtImprime}, {Qt::Key_F10, BbtSair}});
}

void TFormSelecaoModelo::FormKeyPress(int& key)
{
    enterMovesToNextControl(key);
}
