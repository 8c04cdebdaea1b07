#include "Inicializacao.h"

#include "DMPrincipal.h"
#include "DatabaseError.h"
#include "Dialogs.h"
#include "Guard.h"
#include "ModelosRelatorio.h"
#include "TfrmParametros.h"
#include "TfrmPrincipal.h"

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
    frmPrincipal->registraJanela(QStringLiteral("Parmetros1"), [](QWidget* owner) { return new TfrmParametros(owner); });
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
