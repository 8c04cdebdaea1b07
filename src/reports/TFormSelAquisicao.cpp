#include "reports/TFormSelAquisicao.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "widgets/Look.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>

TFormSelAquisicao::TFormSelAquisicao(QWidget* owner, const QString& rotulo, const QStringList& tipos)
    : TFormSelecaoModelo(owner)
{
    ComboBox1 = new QComboBox(pnlSelecao);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(false);
    ComboBox1->addItems(tipos);
    Label4 = ui::captionLabel(rotulo, ComboBox1, pnlSelecao);
    Label4->setObjectName(QStringLiteral("Label4"));
    gridSelecao->addWidget(Label4, 3, 0);
    gridSelecao->addWidget(ComboBox1, 3, 1, 1, 2, Qt::AlignLeft);
    setTabOrder(ComboFim, ComboBox1);
}

void TFormSelAquisicao::FormShow()
{
    TFormSelecaoModelo::FormShow();
    ComboBox1->setCurrentIndex(0);
    // A municipality reports on itself only.
    if (DMPrincipal->codigoCidadeInstalacao() != 0) {
        DBLookUpEstado->setEnabled(false);
        DBLookupMunicipio->setEnabled(false);
    }
}
