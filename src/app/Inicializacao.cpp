#include "app/Inicializacao.h"

#include "app/TfrmPrincipal.h"
#include "charts/TFormGraficoAplicacaoRecursos.h"
#include "charts/TFormGraficoFonteComprovacao.h"
#include "data/DMPrincipal.h"
#include "db/DatabaseError.h"
#include "interchange/Progresso.h"
#include "interchange/TFrmExportaDados.h"
#include "interchange/TFrmImportaDados.h"
#include "interchange/TfrmControleEnvio.h"
#include "registries/TfrmParametros.h"
#include "reports/ModelosRelatorio.h"
#include "tracking/TfrmConsultaExecucaoMunicipal.h"
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
    frmPrincipal->registraJanela(frmPrincipal->ConsultaAcompanhamento1,
                                 [](QWidget* owner) { return new TfrmConsultaExecucaoMunicipal(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Importardados1, [](QWidget* owner) { return new TFrmExportaDados(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Importadados1, [](QWidget* owner) { return new TFrmImportaDados(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Controle1, [](QWidget* owner) { return new TfrmControleEnvio(owner); });
    frmPrincipal->registraJanela(frmPrincipal->Graficos1, [](QWidget* owner) { return new TFormGraficoFonteComprovacao(owner); });
    frmPrincipal->registraJanela(frmPrincipal->GraficosAplicaodeRecursos1,
                                 [](QWidget* owner) { return new TFormGraficoAplicacaoRecursos(owner); });
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
