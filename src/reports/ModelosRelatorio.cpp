#include "reports/ModelosRelatorio.h"

#include "widgets/Guard.h"
#include "reports/TFormImprimeGrid.h"
#include "reports/TFormRelModelo.h"
#include "reports/TFormRelModelo2.h"
#include "reports/TFormSelecaoModelo.h"

#include <QWidget>

void CriaModelosRelatorio(QWidget* owner)
{
    ui::guarded([&] { FormRelModelo = new TFormRelModelo(owner); }, owner);
    ui::guarded([&] { FormSelecaoModelo = new TFormSelecaoModelo(owner); }, owner);
    ui::guarded([&] { FormRelModelo2 = new TFormRelModelo2(owner); }, owner);
    ui::guarded([&] { FormImprimeGrid = new TFormImprimeGrid(owner); }, owner);
}

void LiberaModelosRelatorio()
{
    // Each destructor clears its variable.
    delete FormImprimeGrid;
    delete FormRelModelo2;
    delete FormSelecaoModelo;
    delete FormRelModelo;
}
