#include "app/Inicializacao.h"

#include "app/TfrmPrincipal.h"
#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"
#include "interchange/Progresso.h"
#include "interchange/TFrmExportaDados.h"
#include "interchange/TFrmImportaDados.h"
#include "interchange/TfrmControleEnvio.h"
#include "registries/TfrmParametros.h"
#include "reports/ModelosRelatorio.h"
#include "reports/TFormSelAquisicaoDocumento.h"
#include "reports/TFormSelAquisicaoFavorecido.h"
#include "reports/TFormSelComparativo.h"
#include "reports/TFormSelCompraMedTotal.h"
#include "reports/TFormSelInadimplentes.h"
#include "reports/TFormSelMedElenco.h"
#include "reports/TFormSelRecAlocGastos.h"
#include "reports/TfrmConsultaElencoPactuado.h"
#include "tracking/TfrmExecucaoMunicipal.h"
#include "widgets/Dialogs.h"
#include "widgets/Guard.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace inicializacao {

namespace {

const QString semBanco = QStringLiteral(
    "Verifique se o arquivo do banco de dados existe e se você pode lê-lo e gravá-lo "
    "(num servidor, se ele está no ar). Outro banco pode ser indicado em KORVA_DATABASE "
    "antes de abrir o KORVA. Cada comando do menu tenta abrir o banco de novo.");

}  // namespace

QString mensagemDeFalha()
{
    try {
        throw;
    } catch (const db::DatabaseError& e) {
        if (DMPrincipal && !DMPrincipal->IBDatabaseGeral.isOpen())
            return e.message() + QStringLiteral("\n\n") + semBanco;
        return e.message();
    } catch (...) {
        return ui::currentExceptionMessage();
    }
}

bool criaObjetosGlobais()
{
    // One failure, one message: the steps after the data module's that fail the same
    // way stay silent.
    ui::QuietRepeats umaVez;
    DMPrincipal = new TDMPrincipal;
    try {
        DMPrincipal->DataModuleCreate();
    } catch (const db::DatabaseInUseError& e) {
        ui::Dialogs::error(e.message());
        return false;
    } catch (...) {
        ui::Dialogs::error(mensagemDeFalha());
    }
    frmPrincipal = new TfrmPrincipal;
    frmPrincipal->registraJanela(frmPrincipal->Parmetros1, [](QWidget* owner) { return new TfrmParametros(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Municipal1, [](QWidget* owner) { return new TfrmExecucaoMunicipal(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Importardados1, [](QWidget* owner) { return new TFrmExportaDados(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Importadados1, [](QWidget* owner) { return new TFrmImportaDados(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Controle1, [](QWidget* owner) { return new TfrmControleEnvio(owner); });
    frmPrincipal->registraJanela(frmPrincipal->RecursosAlocadosxRecursosGastos1,
                                 [](QWidget* owner) { return new TFormSelRecAlocGastos(owner); });
    frmPrincipal->registraJanela(frmPrincipal->ElencosPactuados1, [](QWidget* owner) { return new TfrmConsultaElencoPactuado(owner); });
    frmPrincipal->registraJanela(frmPrincipal->MunicpiosInadimplentes1, [](QWidget* owner) { return new TFormSelInadimplentes(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Estadual2, [](QWidget* owner) { return new TFormSelCompraMedTotal(owner); });
    frmPrincipal->registraJanela(frmPrincipal->doElencoMnimo1, [](QWidget* owner) { return new TFormSelMedElenco(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Comparativo1, [](QWidget* owner) { return new TFormSelComparativo(owner); });
    frmPrincipal->registraJanela(frmPrincipal->AquisioporFavorecido1,
                                 [](QWidget* owner) { return new TFormSelAquisicaoFavorecido(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Aquisiopordocumento1,
                                 [](QWidget* owner) { return new TFormSelAquisicaoDocumento(owner); });
    interchange::instalaAreaDeTransferencia();
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

bool carregaTraducoes(QApplication& app)
{
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
    QLocale::setDefault(brasil);
    // "qt" gathers the catalogues of every Qt module installed.
    auto* qt = new QTranslator(&app);
    if (!qt->load(brasil, QStringLiteral("qt"), QStringLiteral("_"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete qt;
        return false;
    }
    QCoreApplication::installTranslator(qt);
    return true;
}

}  // namespace inicializacao
