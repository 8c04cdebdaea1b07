#pragma once
// How a selection window runs its report, the same for every report:
//  1. the template's Visualizar checks and captures the choice; it stops unless
//     SelecaoValida;
//  2. the selection window's own checks, if any (false stops);
//  3. the report window is created, owned by the selection window: its constructor builds
//     and opens its query from the selection and the parameter row. A report whose
//     selection window opens the query itself does it now, and a check of what the report
//     holds (false: no preview) runs on the window just made. An error there is shown in
//     the standard error box, and the selection window stays open;
//  4. its QRPeriodo takes the period caption, then any further captions;
//  5. the report is previewed, and the preview is waited for; a report that finds nothing
//     to print says so instead of showing nothing;
//  6. the report window is destroyed, which closes its query.
//
//   void TFormSelComparativo::BbtImprimeClick()
//   {
//       Visualiza<TFormRelComparativo>(*this, {
//           .verifica = [this] { return Medicamento().isValid(); },   // else a message
//           .cria = [this] { return std::make_unique<TFormRelComparativo>(this); },
//           .legendas = [this](TFormRelComparativo& r) {
//               r.QrMedicamento->setText(QStringLiteral("Medicamento : ") + DBLookupComboBox1->currentText());
//           },
//       });
//   }
#include "widgets/Dialogs.h"
#include "widgets/Guard.h"
#include "reports/rules/Periodo.h"
#include "reports/TFormRelModelo.h"
#include "reports/TFormSelecaoModelo.h"
#include "report/PreviewDialog.h"

#include <concepts>
#include <functional>
#include <memory>

// What one report adds to the common steps.
template <class Relatorio>
struct EtapasVisualizacao {
    std::function<bool()> verifica = {};                   // step 2; unset: nothing to check
    std::function<std::unique_ptr<Relatorio>()> cria = {};  // step 3
    std::function<bool(Relatorio&)> confere = {};           // step 3, on the window made; unset: nothing to check
    std::function<void(Relatorio&)> legendas = {};          // step 4, after QRPeriodo; optional
};

// The period caption of the selection's months and the parameters' year of competence.
inline QString LegendaPeriodo(const TFormSelecaoModelo& selecao)
{
    return LegendaPeriodo(selecao.NomeMesInicio, selecao.NomeMesFim, AnoCompetencia());
}

// Runs the steps above; true when the report was previewed.
template <class Relatorio>
    requires std::derived_from<Relatorio, TFormRelModelo>
bool Visualiza(TFormSelecaoModelo& selecao, const EtapasVisualizacao<Relatorio>& etapas)
{
    selecao.TFormSelecaoModelo::BbtImprimeClick();
    if (!selecao.SelecaoValida)
        return false;
    if (etapas.verifica && !etapas.verifica())
        return false;

    std::unique_ptr<Relatorio> relatorio;
    bool conferido = true;
    if (!ui::guarded(
            [&] {
                relatorio = etapas.cria();
                if (relatorio && etapas.confere)
                    conferido = etapas.confere(*relatorio);
            },
            &selecao)
        || !relatorio || !conferido)
        return false;

    if constexpr (requires { relatorio->QRPeriodo->setText(QString()); })
        relatorio->QRPeriodo->setText(LegendaPeriodo(selecao));
    if (etapas.legendas)
        etapas.legendas(*relatorio);
    if (!report::preview(relatorio->RelModelo, &selecao)) {
        ui::Dialogs::message(QStringLiteral("Movimento sem Dados a Serem Emitidos"), &selecao);
        return false;
    }
    return true;
}
