#include "incentive/TFrmGeraExcessaoMunicipal.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "incentive/rules/ExcessaoMunicipal.h"
#include "widgets/Dialogs.h"
#include "widgets/Look.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>

TFrmGeraExcessaoMunicipal::TFrmGeraExcessaoMunicipal(QWidget* owner)
    : ui::FormWindow(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("FrmGeraExcessaoMunicipal"));
    setWindowTitle(QStringLiteral("Gera Excessão Municipal Para"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    ToolBar1 = createToolBar(16);
    layout->addWidget(ToolBar1);
    BbtSair = addToolButton(ToolBar1, QStringLiteral("&Sair (F10)"), QStringLiteral("Sair"),
                            style()->standardIcon(QStyle::SP_DialogCloseButton), [this] { BbtSairClick(); }, QSize(80, 36));
    // The wide separator.
    auto* espaco = new QWidget(ToolBar1);
    espaco->setFixedWidth(40);
    ToolBar1->addWidget(espaco);
    BbtImprime = addToolButton(ToolBar1, QStringLiteral("&Gera (F7)"),
                               QStringLiteral("Gera a exceção de todos os municípios do estado"),
                               style()->standardIcon(QStyle::SP_DialogSaveButton), [this] { BbtImprimeClick(); },
                               QSize(80, 36));

    auto* painel = new QWidget(this);
    painel->setObjectName(QStringLiteral("Panel1"));
    auto* grade = new QGridLayout(painel);
    grade->setContentsMargins(16, 12, 16, 16);
    grade->setHorizontalSpacing(16);
    grade->setVerticalSpacing(2);
    DBLookUpEstado = new ui::DbLookupComboBox(painel);
    DBLookUpEstado->setObjectName(QStringLiteral("DBLookUpEstado"));
    DBLookUpEstado->setListSource(&DMPrincipal->DsTB_Unidade_Federacao);
    DBLookUpEstado->setKeyField(QStringLiteral("CO_UF"));
    DBLookUpEstado->setListField(QStringLiteral("CO_UF"));
    DBLookUpEstado->setMinimumWidth(DBLookUpEstado->fontMetrics().horizontalAdvance(QStringLiteral("0000")) + 50);
    EdtValor = new ui::MoneyEdit(painel);
    EdtValor->setObjectName(QStringLiteral("EdtValor"));
    EdtValor->setFixedWidth(EdtValor->fontMetrics().horizontalAdvance(QStringLiteral("000.000,00")) + 24);
    Label1 = ui::captionLabel(QStringLiteral("Estado"), DBLookUpEstado, painel);
    Label2 = ui::captionLabel(QStringLiteral("Valor Repasse"), EdtValor, painel);
    grade->addWidget(Label1, 0, 0);
    grade->addWidget(DBLookUpEstado, 1, 0);
    grade->addWidget(Label2, 0, 1);
    grade->addWidget(EdtValor, 1, 1);
    grade->setColumnStretch(2, 1);
    grade->setRowStretch(2, 1);
    layout->addWidget(painel, 1);
    setTabOrder(DBLookUpEstado, EdtValor);

    StatusBar1 = new ui::StatusBar({0}, this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    layout->addWidget(StatusBar1);

    setFixedSize(std::max(360, ToolBar1->sizeHint().width()), 170);
}

TFrmGeraExcessaoMunicipal::~TFrmGeraExcessaoMunicipal() = default;

void TFrmGeraExcessaoMunicipal::FormShow()
{
    DMPrincipal->TB_Parametro_MELTU.open();
    db::Dataset& estados = DMPrincipal->TB_Unidade_Federacao;
    estados.open();
    estados.last();
    estados.first();
    ano_ = DMPrincipal->TB_Parametro_MELTU.isEmpty() ? QString() : DMPrincipal->TB_Parametro_MELTUNU_ANO_COMPET->asString();
    setWindowTitle(QStringLiteral("Gera Excessão Municipal Para ") + ano_);
    DBLookUpEstado->setFocus();
}

void TFrmGeraExcessaoMunicipal::FormClose()
{
    DMPrincipal->TB_Parametro_MELTU.close();
    DMPrincipal->TB_Unidade_Federacao.close();
}

void TFrmGeraExcessaoMunicipal::closeEvent(QCloseEvent* e)
{
    run([this] { FormClose(); });
    ui::FormWindow::closeEvent(e);
}

void TFrmGeraExcessaoMunicipal::BbtImprimeClick()
{
    // Nothing is written without the parameters' year, for a state not chosen, nor with a
    // value that is not one: every row would be wrong or refused.
    if (ano_.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Para Habilitar esta opção primeiro cadastre os parametros do sistema"), this);
        return;
    }
    const QVariant uf = DBLookUpEstado->keyValue();
    if (uf.isNull() || uf.toString().isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Informe o Estado"), this);
        DBLookUpEstado->setFocus();
        return;
    }
    const std::optional<double> valor = incentivo::valorDeRepasse(EdtValor->text());
    if (!valor) {
        ui::Dialogs::message(QStringLiteral("Valor inválido."), this);
        EdtValor->setFocus();
        EdtValor->selectAll();
        return;
    }
    // The question says what will be written, so that a value misread is seen before
    // every municipality of the state gets it.
    const incentivo::PrevisaoGeracao previsao =
        incentivo::previsaoDaGeracao(DMPrincipal->IBDatabaseGeral, ano_, uf.toString());
    if (!ui::Dialogs::confirm(previsao.pergunta(*valor, uf.toString(), ano_), this))
        return;
    const incentivo::ResultadoGeracao r = [&] {
        // The wait cursor while it writes, whatever way it ends.
        QApplication::setOverrideCursor(Qt::WaitCursor);
        const struct Restaura {
            ~Restaura() { QApplication::restoreOverrideCursor(); }
        } restaura;
        return incentivo::geraExcessaoMunicipal(DMPrincipal->IBDatabaseGeral, ano_, uf.toString(), *valor);
    }();
    ui::Dialogs::message(r.mensagem(), this);
}

void TFrmGeraExcessaoMunicipal::BbtSairClick()
{
    close();
}

void TFrmGeraExcessaoMunicipal::FormKeyDown(int& key, Qt::KeyboardModifiers shift)
{
    triggerForKey(key, shift, {{Qt::Key_F7, BbtImprime}, {Qt::Key_F10, BbtSair}});
}

void TFrmGeraExcessaoMunicipal::FormKeyPress(int& key)
{
    enterMovesToNextControl(key);
}
