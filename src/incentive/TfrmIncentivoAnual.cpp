#include "incentive/TfrmIncentivoAnual.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "incentive/rules/Calculo.h"
#include "rules/Anos.h"
#include "text/Formats.h"
#include "widgets/Dialogs.h"
#include "widgets/Widgets.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLayout>
#include <QPushButton>
#include <QStyle>
#include <QToolBar>

namespace {

// The wait cursor while the calculation runs, whatever way it ends.
struct CursorDeEspera {
    CursorDeEspera() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~CursorDeEspera() { QApplication::restoreOverrideCursor(); }
};

}  // namespace

TfrmIncentivoAnual::TfrmIncentivoAnual(QWidget* owner) : JanelaDeIncentivo(owner)
{
    setObjectName(QStringLiteral("frmIncentivoAnual"));
    setWindowTitle(QStringLiteral("Incentivo Anual ao Programa"));
    // The template's dataset only feeds the UF box.
    dtsEdicao->setDataset(&DMPrincipal->TB_Unidade_Federacao);

    // Of the template's toolbar only Sair; the window's own button runs the calculation.
    for (QAction* a : {TfrmModeloEdicao::ToolButton1, BbtInserir, BbtEditar, BbtExcluir, BbtGravar, BbtCancelar,
                       ToolButton2, BbtPesquisar})
        a->setVisible(false);
    ToolButton1 = addToolButton(ToolBar1, QStringLiteral("Calc&ular"), QStringLiteral("Calcula o incentivo anual do ano"),
                                style()->standardIcon(QStyle::SP_BrowserReload), [this] { ToolButton1Click(); },
                                QSize(80, 36));
    ToolButton1->setObjectName(QStringLiteral("ToolButton1"));

    // A stale year is offered its calculation where the line says so.
    BtnRecalcular = new QPushButton(QStringLiteral("&Recalcular"), pnlDesatualizado);
    BtnRecalcular->setObjectName(QStringLiteral("BtnRecalcular"));
    pnlDesatualizado->layout()->addWidget(BtnRecalcular);
    connect(BtnRecalcular, &QPushButton::clicked, this, [this] {
        run([this] {
            ToolButton1Click();
            mostraAtualidade();
        });
    });

    CB_Ano->addItems(rules::yearList(primeiroAno, ultimoAnoListado));
    CB_Ano->setCurrentIndex(-1);
    defineCampos(QStringLiteral("Municipio"), QStringLiteral("Pactuação"), text::masks::reais);
    for (ui::MoneyEdit* e : {EdtTotFederal, EdtTotEstadual, EdtTotMunicipal})
        e->setDisplayMask(text::masks::reais);

    setClientSize(900, 520);
}

TfrmIncentivoAnual::~TfrmIncentivoAnual() = default;

void TfrmIncentivoAnual::FormShow()
{
    TfrmModeloEdicao::FormShow();
    preparaEscolha();
    // Empty, with its columns, until a year and a UF are picked.
    if (!QryConsulta.isActive())
        QryConsulta.open();
}

void TfrmIncentivoAnual::FormClose()
{
    TfrmModeloEdicao::FormClose();
    QryConsulta.close();
}

void TfrmIncentivoAnual::BbtPesquisarClick()
{
}

void TfrmIncentivoAnual::ToolButton1Click()
{
    const QString ano = anoEscolhido();
    if (ano.isEmpty()) {
        ui::Dialogs::message(QStringLiteral("Informe o Ano para cálculo"), this);
        CB_Ano->setFocus();
        return;
    }
    // The year is replaced as a whole: asked first, "Não" the default.
    if (!ui::Dialogs::confirm(incentivo::perguntaCalculo(ano, ufEscolhida()), this))
        return;
    const incentivo::ResultadoCalculo r = [&] {
        CursorDeEspera espera;
        return incentivo::calculaIncentivoAnual(DMPrincipal->IBDatabaseGeral, ano);
    }();
    // The grid and its totals show the year just calculated before the message, not its
    // old rows.
    if (!ufEscolhida().isEmpty())
        LookUpUFClick();
    ui::Dialogs::message(r.mensagem(), this);
}
