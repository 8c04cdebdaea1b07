#include "app/Inicializacao.h"

#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"
#include "widgets/Dialogs.h"
#include "widgets/Guard.h"
#include "reports/ModelosRelatorio.h"
#include "registries/TfrmParametros.h"
#include "tracking/TfrmExecucaoMunicipal.h"
#include "app/TfrmPrincipal.h"

namespace inicializacao {

bool criaObjetosGlobais()
{
    DMPrincipal = new TDMPrincipal;
    try {
        DMPrincipal->DataModuleCreate();
    } catch (const db::DatabaseInUseError& e) {
        ui::Dialogs::error(e.message());
        return false;
    } catch (...) {
        // Reported, and start-up goes on: every later access tries again.
        ui::Dialogs::error(ui::currentExceptionMessage());
    }
    frmPrincipal = new TfrmPrincipal;
    frmPrincipal->registraJanela(frmPrincipal->Parmetros1, [](QWidget* owner) { return new TfrmParametros(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Municipal1, [](QWidget* owner) { return new TfrmExecucaoMunicipal(owner); });
    CriaModelosRelatorio(frmPrincipal);
    return true;
}

void destroiObjetosGlobais()
{
    LiberaModelosRelatorio();
    delete frmPrincipal;
    frmPrincipal = nullptr;
    delete DMPrincipal;
    DMPrincipal = nullptr;
}

}  // namespace inicializacao
