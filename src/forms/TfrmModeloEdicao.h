#pragma once
// The record-editing window most windows derive from: one record of one dataset on an
// editing panel, a fixed toolbar with function keys (F2 Novo, F3 Alterar, F4 Apagar,
// F5 Confirmar, F6 Cancelar, F7 Pesquisar, F10 Sair), questions before saving and
// deleting, and a read-only grid to search and pick a record.
//
// A derived window sets its caption and size, puts its controls on pnlEdicao, points
// dtsEdicao at its dataset, and overrides the handlers it needs, as a rule calling the
// template's first. Handlers a user triggers run guarded: an exception is shown in the
// standard error box and the window goes on.
#include "db/DataSource.h"
#include "db/Dataset.h"

#include "widgets/FormWindow.h"

#include <functional>

class QAction;
class QFrame;
class QToolBar;
class QToolButton;
class TDBGridSearch;

namespace ui {
class DbGrid;
class StatusBar;
}  // namespace ui

class TfrmModeloEdicao : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TfrmModeloEdicao(QWidget* owner = nullptr);
    ~TfrmModeloEdicao() override;

    // Components, in the order the window declares them.
    QWidget* pnlFundo;
    QFrame* pnlEdicao;
    QToolBar* ToolBar1;
    QAction* BbtSair;
    QAction* ToolButton1;  // separator after Sair
    QAction* BbtInserir;
    QAction* BbtEditar;
    QAction* BbtExcluir;
    QAction* BbtGravar;
    QAction* BbtCancelar;
    QAction* ToolButton2;  // separator before Pesquisar
    QAction* BbtPesquisar;
    ui::DbGrid* dbgEdicao;
    TDBGridSearch* DGSProcura;
    db::DataSource* dtsEdicao;
    ui::StatusBar* StatusBar1;

    // The toolbar button of an action (what a user clicks).
    QToolButton* button(QAction* action) const;
    // The edited dataset (dtsEdicao's); may be null.
    db::Dataset* dataset() const { return dtsEdicao->dataset(); }

    // Handlers.
    virtual void FormCreate() {}
    void FormShow() override;
    virtual void FormClose();
    // key is set to 0 when the window has used it.
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    virtual void FormKeyUp(int& key, Qt::KeyboardModifiers shift) {}
    void FormKeyPress(int& key) override;
    virtual void BbtSairClick();
    virtual void BbtInserirClick();
    virtual void BbtEditarClick();
    virtual void BbtExcluirClick();
    // A refusal of the rules: its text in one box, then the focus on the data-aware
    // control of the column at fault (none when campo is empty or no control shows it).
    void mostraRecusa(const QString& texto, const QString& campo);
    virtual void BbtGravarClick();
    virtual void BbtCancelarClick();
    virtual void BbtPesquisarClick();
    virtual void dbgEdicaoCellClick(db::Field* column);
    virtual void dbgEdicaoDblClick();
    // Closes the window; bound to nothing here, derived windows may bind controls to it.
    void BBsaiClick();

    // Enables (window colour) or disables (button face) the input controls of the
    // window FormAtivo designates; plain edits are emptied and money edits set to 0 on
    // every call.
    virtual void EscondeComponentes(bool enable);
    // The buttons of browse mode (true) or editing mode (false).
    virtual void HabilitaEdicao(bool browse);

    // The editing panel's first input control in tab order that can take the focus now
    // (shown, enabled); null when there is none.
    QWidget* primeiroControle() const;

protected:
    // The window whose controls the templates act on: FormAtivo, or this window when
    // none is registered.
    QWidget* janelaAtiva();
    // Fixed window of the given client size (toolbar and status bar included).
    void setClientSize(int width, int height);
    // Shows (true) or hides the tag-0 fields of the edited dataset in the grid.
    void mostraCamposOcultos(bool show);

    void closeEvent(QCloseEvent* e) override;

private:
    QAction* addButton(const QString& caption, const QString& hint, const QIcon& icon, void (TfrmModeloEdicao::*handler)());
};
