#include "forms/TfrmModeloPage.h"

#include "forms/FormAtivo.h"
#include "dbui/ControlKind.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QVBoxLayout>

namespace {

void paint(QWidget* w, QPalette::ColorRole background, const QColor& colour)
{
    QPalette p = w->palette();
    p.setColor(background, colour);
    for (QPalette::ColorRole text : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        p.setColor(text, Qt::white);
    w->setPalette(p);
    w->setBackgroundRole(background);
    w->setAutoFillBackground(true);
}

}  // namespace

TfrmModeloPage::TfrmModeloPage(QWidget* owner) : TfrmModeloEdicao(owner)
{
    setObjectName(QStringLiteral("frmModeloPage"));
    auto* row = new QHBoxLayout(pnlEdicao);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(0);

    pnAjuda = new QFrame(pnlEdicao);
    pnAjuda->setObjectName(QStringLiteral("pnAjuda"));
    pnAjuda->setFixedWidth(192);
    pnAjuda->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    pnAjuda->setLineWidth(2);
    paint(pnAjuda, QPalette::Window, QColor(0, 0, 128));
    auto* ajuda = new QVBoxLayout(pnAjuda);
    ajuda->setContentsMargins(2, 6, 2, 2);

    lbTituloAjuda = new QLabel(pnAjuda);
    lbTituloAjuda->setObjectName(QStringLiteral("lbTituloAjuda"));
    lbTituloAjuda->setAlignment(Qt::AlignCenter);
    lbTituloAjuda->setWordWrap(true);
    QFont titulo = lbTituloAjuda->font();
    titulo.setPixelSize(19);
    titulo.setBold(true);
    lbTituloAjuda->setFont(titulo);
    ajuda->addWidget(lbTituloAjuda);

    lbAjuda = new QLabel(pnAjuda);
    lbAjuda->setObjectName(QStringLiteral("lbAjuda"));
    lbAjuda->setAlignment(Qt::AlignCenter);
    lbAjuda->setWordWrap(true);
    QFont sub = lbAjuda->font();
    sub.setPixelSize(13);
    sub.setBold(true);
    lbAjuda->setFont(sub);
    ajuda->addWidget(lbAjuda);

    mmAjuda = new QPlainTextEdit(pnAjuda);
    mmAjuda->setObjectName(QStringLiteral("mmAjuda"));
    mmAjuda->setReadOnly(true);
    mmAjuda->setFrameStyle(QFrame::NoFrame);
    mmAjuda->setFocusPolicy(Qt::NoFocus);
    mmAjuda->setAccessibleName(QStringLiteral("Ajuda"));
    paint(mmAjuda, QPalette::Base, QColor(0, 128, 192));
    ajuda->addWidget(mmAjuda, 1);

    cbEsconde = new QCheckBox(QStringLiteral("Esconde Ajuda"), pnAjuda);
    cbEsconde->setObjectName(QStringLiteral("cbEsconde"));
    paint(cbEsconde, QPalette::Window, QColor(0, 0, 128));
    ajuda->addWidget(cbEsconde);
    row->addWidget(pnAjuda);

    pgEdicao = new ui::PageControl(pnlEdicao);
    pgEdicao->setObjectName(QStringLiteral("pgEdicao"));
    pgEdicao->setFlatTabs(true);
    tbsprincipal = new QWidget(pgEdicao);
    tbsprincipal->setObjectName(QStringLiteral("tbsprincipal"));
    pgEdicao->addTab(tbsprincipal, QString());
    row->addWidget(pgEdicao, 1);

    connect(cbEsconde, &QCheckBox::clicked, this, [this] { run([this] { cbEscondeClick(); }); });

    // The toolbar as designed: only Sair, Novo, Confirmar and Cancelar.
    BbtInserir->setEnabled(false);
    BbtEditar->setVisible(false);
    BbtExcluir->setVisible(false);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
    ToolButton2->setVisible(false);
    BbtPesquisar->setVisible(false);

    setClientSize(790, 508);
}

void TfrmModeloPage::FormShow()
{
    LimpaComponentes();
    pgEdicao->setCurrentPage(0);
    BbtInserir->setEnabled(false);
    BbtGravar->setEnabled(false);
    BbtCancelar->setEnabled(false);
}

void TfrmModeloPage::BbtCancelarClick()
{
    FormShow();
}

void TfrmModeloPage::cbEscondeClick()
{
    pnAjuda->setVisible(!cbEsconde->isChecked());
}

void TfrmModeloPage::LimpaComponentes()
{
    QWidget* janela = janelaAtiva();
    for (QWidget* c : janela->findChildren<QWidget*>()) {
        if (c->window() != janela)
            continue;
        switch (ui::controlKind(c)) {
        case ui::ControlKind::PlainEdit:
        case ui::ControlKind::MaskedEdit:
            static_cast<QLineEdit*>(c)->clear();
            break;
        case ui::ControlKind::PlainMemo:
            if (auto* m = qobject_cast<QPlainTextEdit*>(c))
                m->clear();
            else if (auto* t = qobject_cast<QTextEdit*>(c))
                t->clear();
            break;
        case ui::ControlKind::PlainCombo: {
            auto* combo = static_cast<QComboBox*>(c);
            combo->setCurrentIndex(-1);
            if (combo->isEditable())
                combo->clearEditText();
            break;
        }
        case ui::ControlKind::MoneyEdit:
            static_cast<ui::MoneyEdit*>(c)->setValue(0);
            break;
        default:
            break;
        }
    }
    janela->activateWindow();
    janela->setFocus();
}
