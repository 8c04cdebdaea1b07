#pragma once
// The paged variant of the record-editing window, for windows that edit several related
// datasets on several pages: a page control and a help side panel on the editing
// panel, the single-record commands withdrawn from the toolbar, and a reset (empty
// plain controls, first page) in place of the template's show and cancel.
#include "forms/TfrmModeloEdicao.h"

class QCheckBox;
class QLabel;
class QPlainTextEdit;

namespace ui {
class PageControl;
}

class TfrmModeloPage : public TfrmModeloEdicao {
    Q_OBJECT
public:
    explicit TfrmModeloPage(QWidget* owner = nullptr);

    ui::PageControl* pgEdicao;
    QWidget* tbsprincipal;
    QFrame* pnAjuda;
    QLabel* lbTituloAjuda;
    QLabel* lbAjuda;
    QPlainTextEdit* mmAjuda;
    QCheckBox* cbEsconde;

    // The reset: LimpaComponentes, the first page, Novo, Confirmar and Cancelar
    // disabled. The template's steps do not run.
    void FormShow() override;
    // Cancelling resets the window.
    void BbtCancelarClick() override;
    virtual void cbEscondeClick();
    // Empties the plain input controls of the window FormAtivo designates (data-aware
    // controls, check boxes and radio groups are left alone), then focuses that window.
    virtual void LimpaComponentes();
};
