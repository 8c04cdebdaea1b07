#include "incentive/TfrmRecAnuaisPactuados.h"

#include "data/DMPrincipal.h"
#include "dbui/DbGrid.h"
#include "incentive/TfrmRelRecAnuaisPactuados.h"
#include "report/PreviewDialog.h"
#include "rules/Anos.h"
#include "text/Formats.h"

#include <QAction>
#include <QComboBox>
#include <QHeaderView>

TfrmRecAnuaisPactuados::TfrmRecAnuaisPactuados(QWidget* owner) : JanelaDeIncentivo(owner)
{
    setObjectName(QStringLiteral("frmRecAnuaisPactuados"));
    setWindowTitle(QStringLiteral("Recursos Anuais Pactuados"));
    dtsEdicao->setDataset(&QryConsulta);

    for (QAction* a : {BbtInserir, BbtEditar, BbtExcluir, BbtGravar, BbtCancelar})
        a->setVisible(false);
    BbtPesquisar->setText(QStringLiteral("&Imprimir (F7)"));
    BbtPesquisar->setIconText(QStringLiteral("&Imprimir (F7)"));
    BbtPesquisar->setToolTip(QStringLiteral("Imprimir"));

    CB_Ano->addItems(rules::yearList(primeiroAno, ultimoAnoListado));
    CB_Ano->setCurrentIndex(-1);
    defineCampos(QStringLiteral("Município"), QStringLiteral("Modalidade de Pactuação"), text::masks::money);

    DBGrid1->datasetModel()->setTitlesAlignedToColumns(true);
    // A list to read, not to type into.
    QPalette cinza = DBGrid1->palette();
    cinza.setColor(QPalette::Base, cinza.color(QPalette::Button));
    DBGrid1->setPalette(cinza);

    setClientSize(960, 520);
}

TfrmRecAnuaisPactuados::~TfrmRecAnuaisPactuados() = default;

void TfrmRecAnuaisPactuados::FormShow()
{
    TfrmModeloEdicao::FormShow();
    preparaEscolha();
    BbtPesquisar->setEnabled(false);
}

void TfrmRecAnuaisPactuados::FormClose()
{
    TfrmModeloEdicao::FormClose();
    // The state list this window opened.
    DMPrincipal->TB_Unidade_Federacao.close();
}

void TfrmRecAnuaisPactuados::consultaAberta()
{
    BbtPesquisar->setEnabled(!QryConsulta.isEmpty());
}

void TfrmRecAnuaisPactuados::BbtPesquisarClick()
{
    TfrmRelRecAnuaisPactuados relatorio(QryConsulta, this);
    // The state list stands on the UF picked.
    relatorio.QRLabel3->setText(QStringLiteral("Estado :") + DMPrincipal->TB_Unidade_FederacaoNO_UF->asString());
    // The report's walk leaves the grid where it was.
    report::preview(relatorio.RelModelo, this);
}
