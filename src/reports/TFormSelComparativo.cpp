#include "reports/TFormSelComparativo.h"

#include "data/DMPrincipal.h"
#include "dbui/DataControls.h"
#include "reports/Protocolo.h"
#include "reports/TFormRelComparativo.h"
#include "widgets/Dialogs.h"

TFormSelComparativo::TFormSelComparativo(QWidget* owner) : TFormSelMedElenco(owner)
{
    setObjectName(QStringLiteral("FormSelComparativo"));
    setWindowTitle(QStringLiteral("Comparativo de preços por Medicamento"));
}

void TFormSelComparativo::FormShow()
{
    TFormSelMedElenco::FormShow();
    TDMPrincipal& dm = *DMPrincipal;
    if (!dm.TB_Parametro_MELTU.isActive())
        dm.TB_Parametro_MELTU.open();
    if (dm.codigoCidadeInstalacao() != 0)
        DBLookupMunicipio->setEnabled(false);
}

void TFormSelComparativo::FormClose()
{
    TFormSelMedElenco::FormClose();
    DMPrincipal->TB_Parametro_MELTU.close();
}

void TFormSelComparativo::BbtImprimeClick()
{
    Visualiza<TFormRelComparativo>(*this, {
        .verifica = [this] {
            if (Medicamento().isValid())
                return true;
            ui::Dialogs::message(QStringLiteral("Informe o Medicamento"), this);
            DBLookupComboBox1->setFocus();
            return false;
        },
        .cria = [this] { return std::make_unique<TFormRelComparativo>(this); },
        .legendas = [this](TFormRelComparativo& r) {
            r.QrMedicamento->setText(QStringLiteral("Medicamento : ") + DBLookupComboBox1->currentText());
        },
    });
}
