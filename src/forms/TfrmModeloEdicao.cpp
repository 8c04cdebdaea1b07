#include "forms/TfrmModeloEdicao.h"

#include "dbui/FieldLink.h"

#include "dbui/DataControls.h"
#include "db/DatabaseError.h"
#include "dbui/DbGrid.h"
#include "widgets/Dialogs.h"
#include "forms/FormAtivo.h"
#include "widgets/Guard.h"
#include "dbui/ControlKind.h"
#include "widgets/Look.h"
#include "forms/TDBGridSearch.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QScreen>
#include <QStyle>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString textoPesquisa = QStringLiteral("Pressione F8 p/ pesquisar pela coluna selecionada");

}  // namespace

TfrmModeloEdicao::TfrmModeloEdicao(QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmModeloEdicao"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = createToolBar(16);
    layout->addWidget(ToolBar1);

    QStyle* st = style();
    BbtSair = addButton(QStringLiteral("&Sair (F10)"), QStringLiteral("Sair"), st->standardIcon(QStyle::SP_DialogCloseButton),
                        &TfrmModeloEdicao::BbtSairClick);
    ToolButton1 = ToolBar1->addSeparator();
    BbtInserir = addButton(QStringLiteral("&Novo (F2)"), QStringLiteral("Inserir"), st->standardIcon(QStyle::SP_FileIcon),
                           &TfrmModeloEdicao::BbtInserirClick);
    BbtEditar = addButton(QStringLiteral("&Alterar (F3)"), QStringLiteral("Alterar"),
                          st->standardIcon(QStyle::SP_FileDialogDetailedView), &TfrmModeloEdicao::BbtEditarClick);
    BbtExcluir = addButton(QStringLiteral("Apa&gar (F4)"), QStringLiteral("Apagar"), st->standardIcon(QStyle::SP_TrashIcon),
                           &TfrmModeloEdicao::BbtExcluirClick);
    BbtGravar = addButton(QStringLiteral("&Confirmar (F5)"), QStringLiteral("Gravar"),
                          st->standardIcon(QStyle::SP_DialogApplyButton), &TfrmModeloEdicao::BbtGravarClick);
    BbtCancelar = addButton(QStringLiteral("Ca&ncelar (F6)"), QStringLiteral("Cancelar"),
                            st->standardIcon(QStyle::SP_DialogCancelButton), &TfrmModeloEdicao::BbtCancelarClick);
    ToolButton2 = ToolBar1->addSeparator();
    BbtPesquisar = addButton(QStringLiteral("&Pesquisar (F7)"), QStringLiteral("Pesquisar"),
                             st->standardIcon(QStyle::SP_FileDialogContentsView), &TfrmModeloEdicao::BbtPesquisarClick);

    // The grid fills the client area under the editing panel.
    auto* client = new QWidget(this);
    auto* stack = new QGridLayout(client);
    stack->setContentsMargins(0, 0, 0, 0);
    dbgEdicao = new ui::DbGrid(client);
    dbgEdicao->setObjectName(QStringLiteral("dbgEdicao"));
    dbgEdicao->setAccessibleName(QStringLiteral("Pesquisa"));
    dbgEdicao->hide();
    stack->addWidget(dbgEdicao, 0, 0);
    pnlFundo = new QWidget(client);
    pnlFundo->setObjectName(QStringLiteral("pnlFundo"));
    auto* fundo = new QVBoxLayout(pnlFundo);
    fundo->setContentsMargins(0, 0, 0, 0);
    pnlEdicao = new QFrame(pnlFundo);
    pnlEdicao->setObjectName(QStringLiteral("pnlEdicao"));
    pnlEdicao->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    fundo->addWidget(pnlEdicao);
    stack->addWidget(pnlFundo, 0, 0);
    layout->addWidget(client, 1);

    dtsEdicao = new db::DataSource(nullptr, this);
    dtsEdicao->setObjectName(QStringLiteral("dtsEdicao"));
    dbgEdicao->setDataSource(dtsEdicao);

    DGSProcura = new TDBGridSearch(this);
    DGSProcura->setObjectName(QStringLiteral("DGSProcura"));
    DGSProcura->setDBGrid(dbgEdicao);
    DGSProcura->HotKey = Qt::Key_F8;
    DGSProcura->Enabled = true;
    DGSProcura->CaseInsensitive = false;
    DGSProcura->ColorSearch = QApplication::palette().color(QPalette::ToolTipBase);

    StatusBar1 = new ui::StatusBar({0}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(StatusBar1);

    connect(dbgEdicao, &ui::DbGrid::cellClicked, this, [this](db::Field* f) { run([&] { dbgEdicaoCellClick(f); }); });
    connect(dbgEdicao, &ui::DbGrid::dblClicked, this, [this] { run([&] { dbgEdicaoDblClick(); }); });

    setClientSize(585, 325);
}

TfrmModeloEdicao::~TfrmModeloEdicao() = default;

QAction* TfrmModeloEdicao::addButton(const QString& caption, const QString& hint, const QIcon& icon,
                                     void (TfrmModeloEdicao::*handler)())
{
    // 80 by 36 as designed, wider where the caption needs it: a caption is never cut.
    return addToolButton(ToolBar1, caption, hint, icon, [this, handler] { (this->*handler)(); }, QSize(80, 36));
}

QToolButton* TfrmModeloEdicao::button(QAction* action) const
{
    return toolButton(ToolBar1, action);
}

QWidget* TfrmModeloEdicao::janelaAtiva()
{
    return FormAtivo ? FormAtivo.data() : this;
}

void TfrmModeloEdicao::setClientSize(int width, int height)
{
    // Never narrower than the toolbar, so that no button falls into its overflow menu.
    setFixedSize(std::max(width, ToolBar1->sizeHint().width()), height);
}

void TfrmModeloEdicao::mostraCamposOcultos(bool show)
{
    db::Dataset* ds = dataset();
    if (!ds)
        return;
    for (const auto& f : ds->fields())
        if (f->tag() == 0)
            f->setVisible(show);
}

// --- window events ----------------------------------------------------------------

void TfrmModeloEdicao::closeEvent(QCloseEvent* e)
{
    run([this] { FormClose(); });
    ui::FormWindow::closeEvent(e);
}

// --- handlers -----------------------------------------------------------------------

void TfrmModeloEdicao::FormShow()
{
    BbtSair->setEnabled(true);
    BbtInserir->setEnabled(true);
    BbtEditar->setEnabled(true);
    BbtExcluir->setEnabled(true);
    BbtPesquisar->setEnabled(true);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
    EscondeComponentes(false);
    // Browse mode shows the editing panel only.
    dbgEdicao->hide();
    pnlFundo->show();
    pnlFundo->raise();
    if (db::Dataset* ds = dataset(); ds && !ds->isActive())
        ds->open();
}

void TfrmModeloEdicao::FormClose()
{
    if (db::Dataset* ds = dataset())
        ds->close();
}

void TfrmModeloEdicao::FormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    if (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return;
    const auto click = [&key](QAction* a) {
        // A hidden button withdraws its key; a disabled one leaves it unused.
        if (a->isVisible() && a->isEnabled()) {
            key = 0;
            a->trigger();
        }
    };
    switch (key) {
    case Qt::Key_F2:
        click(BbtInserir);
        break;
    case Qt::Key_F3:
        if (!BbtEditar->isVisible())
            break;
        if (BbtEditar->isEnabled()) {
            click(BbtEditar);
        } else if (!(dataset() && dataset()->isEditing())) {
            // Searching moves the current record, which would end an edit: not while editing.
            key = 0;
            if (db::Field* f = dbgEdicao->selectedField())
                DGSProcura->DataField = f->fieldName();
            DGSProcura->Execute();
        }
        break;
    case Qt::Key_F4:
        click(BbtExcluir);
        break;
    case Qt::Key_F5:
        click(BbtGravar);
        break;
    case Qt::Key_F6:
        click(BbtCancelar);
        break;
    case Qt::Key_F7:
        click(BbtPesquisar);
        break;
    case Qt::Key_F10:
        click(BbtSair);
        break;
    default:
        break;
    }
}

void TfrmModeloEdicao::FormKeyPress(int& key)
{
    enterMovesToNextControl(key);
}

void TfrmModeloEdicao::BbtSairClick()
{
    close();
}

void TfrmModeloEdicao::BBsaiClick()
{
    close();
}

void TfrmModeloEdicao::BbtInserirClick()
{
    HabilitaEdicao(false);
    EscondeComponentes(true);
    dbgEdicao->setEnabled(false);
    if (db::Dataset* ds = dataset())
        ds->append();
    // The clerk types at once.
    if (QWidget* c = primeiroControle())
        c->setFocus(Qt::OtherFocusReason);
}

void TfrmModeloEdicao::BbtEditarClick()
{
    db::Dataset* ds = dataset();
    if (!ds || ds->isEmpty())
        return;
    HabilitaEdicao(false);
    EscondeComponentes(true);
    ds->edit();
    if (QWidget* c = primeiroControle())
        c->setFocus(Qt::OtherFocusReason);
}

void TfrmModeloEdicao::BbtExcluirClick()
{
    db::Dataset* ds = dataset();
    if (!ds || !ds->isActive()) {
        ui::Dialogs::message(QStringLiteral("A tabela de edição não está ativa !!!"), this);
        return;
    }
    if (ds->isEmpty())
        ui::Dialogs::message(QStringLiteral("Você não pode excluir um registro numa tabela vazia"), this);
    else if (ui::Dialogs::confirm(QStringLiteral("Você deseja realmente excluir este registro?"), this))
        ds->remove();
    HabilitaEdicao(true);
}

void TfrmModeloEdicao::mostraRecusa(const QString& texto, const QString& campo)
{
    ui::Dialogs::message(texto, this);
    if (campo.isEmpty())
        return;
    for (const ui::FieldLink* link : findChildren<ui::FieldLink*>())
        if (link->dataField().compare(campo, Qt::CaseInsensitive) == 0)
            if (auto* controle = qobject_cast<QWidget*>(link->parent()); controle && controle->isVisible()) {
                controle->setFocus(Qt::OtherFocusReason);
                return;
            }
}

void TfrmModeloEdicao::BbtGravarClick()
{
    db::Dataset* ds = dataset();
    if (pnlFundo->isHidden()) {
        // Search mode: back to browse on the row chosen in the grid; nothing is saved.
        mostraCamposOcultos(true);
        dbgEdicao->setEnabled(false);
        StatusBar1->setPanelText(0, QString());
        dbgEdicao->hide();
        dbgEdicaoDblClick();
        return;
    }
    if (!ds || !ds->isEditing())
        return;
    if (!ui::Dialogs::confirm(QStringLiteral("Confirma a gravação do registro"), this)) {
        pnlEdicao->setFocus();
        return;
    }
    // A failed post is told once, in Portuguese, with its cause; the window stays in
    // editing with the user's values, for Cancelar or a corrected Confirmar.
    const QString falhou = QStringLiteral("Problema na Gravação !! ... operação cancelada");
    try {
        ds->post();
    } catch (const db::DatabaseError& e) {
        if (e.isKeyViolation())
            ui::Dialogs::message(QStringLiteral("Registro Existente"), this);
        else if (dynamic_cast<const db::RowNotFoundError*>(&e) || dynamic_cast<const db::LockConflictError*>(&e))
            ui::Dialogs::error(e.message(), this);  // already says what happened and what to do
        else
            ui::Dialogs::error(falhou + QStringLiteral("\n\nO banco de dados recusou o registro: ") + e.message(), this);
        return;
    } catch (...) {
        ui::Dialogs::error(falhou + QStringLiteral("\n\n") + ui::currentExceptionMessage(), this);
        return;
    }
    ds->refresh();
    FormShow();
    HabilitaEdicao(true);
}

void TfrmModeloEdicao::BbtCancelarClick()
{
    db::Dataset* ds = dataset();
    if (ds && ds->isEditing()) {
        ds->cancel();
    } else {
        mostraCamposOcultos(true);
        dbgEdicao->hide();
        dbgEdicaoDblClick();
    }
    dbgEdicao->setEnabled(false);
    StatusBar1->setPanelText(0, QString());
    HabilitaEdicao(true);
    EscondeComponentes(false);
}

void TfrmModeloEdicao::BbtPesquisarClick()
{
    try {
        mostraCamposOcultos(false);
        BbtSair->setEnabled(false);
        BbtInserir->setEnabled(false);
        BbtEditar->setEnabled(false);
        BbtExcluir->setEnabled(false);
        BbtPesquisar->setEnabled(false);
        BbtGravar->setEnabled(true);
        BbtCancelar->setEnabled(true);
        pnlFundo->hide();
        dbgEdicao->show();
        dbgEdicao->raise();
        dbgEdicao->setEnabled(true);
        dbgEdicao->setFocus();
        db::Field* f = dbgEdicao->selectedField();
        if (!f)
            throw db::DataError(QStringLiteral("A grade não tem coluna selecionada."));
        DGSProcura->DataField = f->fieldName();
        StatusBar1->setPanelText(0, textoPesquisa);
    } catch (...) {
        ui::Dialogs::message(QStringLiteral("Sistema em prototipação !!!"), this);
    }
}

void TfrmModeloEdicao::dbgEdicaoCellClick(db::Field* column)
{
    if (column)
        DGSProcura->DataField = column->fieldName();
}

void TfrmModeloEdicao::dbgEdicaoDblClick()
{
    HabilitaEdicao(true);
    StatusBar1->setPanelText(0, QString());
    FormShow();
}

// --- routines -----------------------------------------------------------------------

void TfrmModeloEdicao::EscondeComponentes(bool enable)
{
    QWidget* janela = janelaAtiva();
    for (QWidget* c : janela->findChildren<QWidget*>()) {
        if (c->window() != janela)
            continue;
        switch (ui::controlKind(c)) {
        case ui::ControlKind::PlainEdit:
            static_cast<QLineEdit*>(c)->clear();
            ui::setEditColour(c, enable);
            c->setEnabled(enable);
            break;
        case ui::ControlKind::MoneyEdit:
            static_cast<ui::MoneyEdit*>(c)->setValue(0);
            c->setEnabled(enable);
            ui::setEditColour(c, enable);
            break;
        case ui::ControlKind::PlainMemo:
            // A read-only memo is a text shown, not an input control: it keeps its look.
            if (auto* m = qobject_cast<QPlainTextEdit*>(c); m && m->isReadOnly())
                break;
            if (auto* t = qobject_cast<QTextEdit*>(c); t && t->isReadOnly())
                break;
            [[fallthrough]];
        case ui::ControlKind::PlainCombo:
        case ui::ControlKind::PlainDateEdit:
        case ui::ControlKind::DbEdit:
        case ui::ControlKind::DbComboBox:
        case ui::ControlKind::DbLookupComboBox:
        case ui::ControlKind::DbMemo:
        case ui::ControlKind::DbDateEdit:
            ui::setEditColour(c, enable);
            c->setEnabled(enable);
            break;
        case ui::ControlKind::DbRadioGroup:
            c->setEnabled(enable);
            break;
        case ui::ControlKind::MaskedEdit:
        case ui::ControlKind::Other:
            break;
        }
    }
}

QWidget* TfrmModeloEdicao::primeiroControle() const
{
    for (QWidget* w = pnlEdicao->nextInFocusChain(); w && w != pnlEdicao; w = w->nextInFocusChain()) {
        if (!pnlEdicao->isAncestorOf(w) || !w->isVisibleTo(pnlEdicao) || !w->isEnabled())
            continue;
        if ((w->focusPolicy() & Qt::TabFocus) && ui::controlKind(w) != ui::ControlKind::Other)
            return w;
    }
    return nullptr;
}

void TfrmModeloEdicao::HabilitaEdicao(bool browse)
{
    db::Dataset* ds = dataset();
    const bool empty = !ds || ds->isEmpty();
    BbtPesquisar->setEnabled(browse);
    BbtSair->setEnabled(browse);
    BbtInserir->setEnabled(browse);
    BbtEditar->setEnabled(browse && !empty);
    BbtExcluir->setEnabled(browse && !empty);
    BbtGravar->setEnabled(!browse);
    BbtCancelar->setEnabled(!browse);
}
