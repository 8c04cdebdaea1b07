#include "reports/TFormSelMedElenco.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "reports/Protocolo.h"
#include "reports/TFormRelCompraElenco.h"
#include "widgets/Look.h"

#include <QGridLayout>
#include <QLabel>

TFormSelMedElenco::TFormSelMedElenco(QWidget* owner) : TFormSelecaoModelo(owner)
{
    setObjectName(QStringLiteral("FormSelMedElenco"));
    setWindowTitle(QStringLiteral("Relatório Descritivo de Aquisição de Equipamentos"));
    DBLookupComboBox1 = new ui::DbLookupComboBox(pnlSelecao);
    DBLookupComboBox1->setObjectName(QStringLiteral("DBLookupComboBox1"));
    DBLookupComboBox1->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    DBLookupComboBox1->setMinimumContentsLength(40);
    DBLookupComboBox1->setMaxVisibleItems(20);
    if (DMPrincipal)
        DBLookupComboBox1->setListSource(&DMPrincipal->dsTb_Elenco_Minimo);
    DBLookupComboBox1->setKeyField(QStringLiteral("CO_SEQ_MEDICAMENTO"));
    DBLookupComboBox1->setListField(QStringLiteral("DS_MEDICAMENTO"));
    Label4 = ui::captionLabel(QStringLiteral("Medicamento"), DBLookupComboBox1, pnlSelecao);
    Label4->setObjectName(QStringLiteral("Label4"));
    gridSelecao->addWidget(Label4, 3, 0);
    gridSelecao->addWidget(DBLookupComboBox1, 3, 1, 1, 2);
    setTabOrder(ComboFim, DBLookupComboBox1);
}

QVariant TFormSelMedElenco::Medicamento() const
{
    const QVariant k = DBLookupComboBox1->keyValue();
    return k.isValid() && !k.isNull() ? k : QVariant();
}

void TFormSelMedElenco::FormShow()
{
    TFormSelecaoModelo::FormShow();
    DMPrincipal->Tb_Elenco_Minimo.open();
}

void TFormSelMedElenco::FormClose()
{
    TFormSelecaoModelo::FormClose();
    DMPrincipal->Tb_Elenco_Minimo.close();
}

void TFormSelMedElenco::BbtImprimeClick()
{
    Visualiza<TFormRelCompraElenco>(*this, {
        .cria = [this] { return std::make_unique<TFormRelCompraElenco>(this); },
        .legendas = [this](TFormRelCompraElenco& r) { r.MostraMunicipio(Escolha().cidade.has_value()); },
    });
}
