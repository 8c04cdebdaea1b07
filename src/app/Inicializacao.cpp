#include "app/Inicializacao.h"

#include "app/TfrmPrincipal.h"
#include "backup/TfrmCopiaSeguranca.h"
#include "charts/TFormGraficoAplicacaoRecursos.h"
#include "charts/TFormGraficoFonteComprovacao.h"
#include "data/AlteracoesIncentivo.h"
#include "data/DMPrincipal.h"
#include "data/Installation.h"
#include "db/DatabaseError.h"
#include "incentive/TFrmGeraExcessaoMunicipal.h"
#include "incentive/TfrmIncentivoAnual.h"
#include "incentive/TfrmRecAnuaisPactuados.h"
#include "interchange/Progresso.h"
#include "interchange/TFrmExportaDados.h"
#include "interchange/TFrmImportaDados.h"
#include "interchange/TfrmControleEnvio.h"
#include "registries/TfrmElencoMinimo.h"
#include "registries/TfrmExcessaoEstadual.h"
#include "registries/TfrmExcessaoMunicipal.h"
#include "registries/TfrmFormasPactuacao.h"
#include "registries/TfrmMunicipioPactuacao.h"
#include "registries/TfrmParametros.h"
#include "registries/TfrmRepasseMestre.h"
#include "audit/TfrmAuditoria.h"
#include "reports/ModelosRelatorio.h"
#include "reports/TFormSelAquisicaoDocumento.h"
#include "reports/TFormSelAquisicaoFavorecido.h"
#include "reports/TFormSelComparativo.h"
#include "reports/TFormSelCompraMedTotal.h"
#include "reports/TFormSelInadimplentes.h"
#include "reports/TFormSelMedElenco.h"
#include "reports/TFormSelRecAlocGastos.h"
#include "reports/TfrmConsultaElencoPactuado.h"
#include "text/Formats.h"
#include "tracking/TfrmConsultaExecucaoMunicipal.h"
#include "tracking/TfrmExecucaoMunicipal.h"
#include "widgets/Dialogs.h"
#include "widgets/Guard.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QHash>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace inicializacao {

namespace {

const QString tentaDeNovo = QStringLiteral("Cada comando do menu tenta abrir o banco de novo.");
const QString semBanco = QStringLiteral(
    "Verifique se o arquivo do banco de dados existe e se você pode lê-lo e gravá-lo "
    "(num servidor, se ele está no ar). Outro banco pode ser indicado em KORVA_DATABASE, "
    "ou no arquivo korva.conf da pasta de dados, antes de abrir o KORVA. ") + tentaDeNovo;

// Why the first start could not make the database, while it is still missing.
QString falhaPrimeiroInicio;

}  // namespace

QString mensagemDeFalha()
{
    try {
        throw;
    } catch (const db::DatabaseError& e) {
        // The settings or the password: the message itself says what to change.
        const bool credenciais = dynamic_cast<const installation::SettingsError*>(&e) ||
                                 dynamic_cast<const db::LoginError*>(&e);
        if (DMPrincipal && !DMPrincipal->IBDatabaseGeral.isOpen()) {
            QString mensagem = e.message() + QStringLiteral("\n\n") + (credenciais ? tentaDeNovo : semBanco);
            if (!falhaPrimeiroInicio.isEmpty() && !installation::databaseToCreate().isEmpty())
                mensagem.prepend(falhaPrimeiroInicio + QStringLiteral("\n\n"));
            return mensagem;
        }
        return e.message();
    } catch (...) {
        return ui::currentExceptionMessage();
    }
}

namespace {

// The options QGuiApplication and QApplication take from the command line, with a value
// and without one.
const QStringList opcoesDoQtComValor{
    QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
    QStringLiteral("plugin"), QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"),
    QStringLiteral("qwindowtitle"), QStringLiteral("display"), QStringLiteral("geometry"), QStringLiteral("style"),
    QStringLiteral("stylesheet"), QStringLiteral("session")};
const QStringList opcoesDoQtSemValor{QStringLiteral("reverse"), QStringLiteral("widgetcount"), QStringLiteral("nograb"),
                                     QStringLiteral("dograb"), QStringLiteral("sync")};

QStringList semOpcoesDoQt(const QStringList& argumentos)
{
    QStringList out;
    for (qsizetype i = 0; i < argumentos.size(); ++i) {
        const QString& a = argumentos[i];
        if (i == 0 || !a.startsWith(QLatin1Char('-'))) {
            out << a;
            continue;
        }
        QString nome = a.mid(a.startsWith(QLatin1String("--")) ? 2 : 1);
        const qsizetype igual = nome.indexOf(QLatin1Char('='));
        if (igual >= 0)
            nome.truncate(igual);
        if (opcoesDoQtSemValor.contains(nome))
            continue;
        if (opcoesDoQtComValor.contains(nome)) {
            if (igual < 0)
                ++i;  // its value follows
            continue;
        }
        out << a;
    }
    return out;
}

}  // namespace

Opcoes leOpcoes(const QStringList& argumentos)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("KORVA: acompanhamento do incentivo à assistência farmacêutica básica."));
    const QCommandLineOption ajuda({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Mostra esta ajuda."));
    const QCommandLineOption administracao(
        QStringLiteral("administracao"),
        QStringLiteral("Mostra também o menu \"Cadastro\" (pactuações, repasses, incentivo anual) e os itens de "
                       "\"Apoio\" de quem mantém as tabelas de referência (modalidades de pactuação, relação "
                       "pactuada de medicamentos, exceções municipais)."));
    parser.addOption(ajuda);
    parser.addOption(administracao);
    Opcoes opcoes;
    opcoes.texto = parser.helpText();
    if (!parser.parse(semOpcoesDoQt(argumentos)))
        opcoes.erro = parser.errorText();
    else if (!parser.positionalArguments().isEmpty())
        opcoes.erro = QStringLiteral("Argumento desconhecido: %1").arg(parser.positionalArguments().first());
    opcoes.ajuda = parser.isSet(ajuda);
    opcoes.administracao = parser.isSet(administracao);
    return opcoes;
}

bool criaObjetosGlobais(const Opcoes& opcoes)
{
    // One failure, one message: the steps after the data module's that fail the same
    // way stay silent.
    ui::QuietRepeats umaVez;
    // Files are saved and looked for in the data folder first.
    ui::Dialogs::setStartFolder(installation::dataFolder());
    // The first start makes the default database, empty, with the database tool.
    const installation::FirstStart primeiro = installation::createOnFirstStart();
    falhaPrimeiroInicio = primeiro.outcome == installation::FirstStart::Outcome::Failed ? primeiro.message : QString();
    DMPrincipal = new TDMPrincipal;
    // A database made by an earlier version gets what this one records, at every
    // connection (a start that failed connects later); what cannot be added is told.
    QObject::connect(&DMPrincipal->IBDatabaseGeral, &db::Connection::connected, DMPrincipal, [] {
        const data::AtualizacaoBanco a = data::atualizaBanco(DMPrincipal->IBDatabaseGeral);
        if (!a.mensagem().isEmpty())
            ui::Dialogs::error(a.mensagem());
    });
    try {
        DMPrincipal->DataModuleCreate();
    } catch (const db::DatabaseInUseError& e) {
        ui::Dialogs::error(e.message());
        return false;
    } catch (...) {
        // A first start that could not make the database says why in the same box.
        ui::Dialogs::error(mensagemDeFalha());
    }
    if (primeiro.outcome == installation::FirstStart::Outcome::Created && DMPrincipal->IBDatabaseGeral.isOpen())
        ui::Dialogs::message(primeiro.message);
    frmPrincipal = new TfrmPrincipal;
    TfrmPrincipal& w = *frmPrincipal;
    w.registraJanela(w.Municpio1, [](QWidget* owner) { return new TfrmMunicipioPactuacao(owner); });
    w.registraJanela(w.Mestre1, [](QWidget* owner) { return new TfrmRepasseMestre(owner); });
    w.registraJanela(w.ExcessoMunicipal1, [](QWidget* owner) { return new TfrmExcessaoMunicipal(owner); });
    w.registraJanela(w.ExcessoEstadual1, [](QWidget* owner) { return new TfrmExcessaoEstadual(owner); });
    w.registraJanela(w.Incentivo1, [](QWidget* owner) { return new TfrmIncentivoAnual(owner); });
    w.registraJanela(w.FormasdePactuao1, [](QWidget* owner) { return new TfrmFormasPactuacao(owner); });
    w.registraJanela(w.ElencoMnimodeMedicamentos1, [](QWidget* owner) { return new TfrmElencoMinimo(owner); });
    w.registraJanela(w.GeraExcessoMunicipal1, [](QWidget* owner) { return new TFrmGeraExcessaoMunicipal(owner); });
    w.registraJanela(w.Parmetros1, [](QWidget* owner) { return new TfrmParametros(owner); });
    w.registraJanela(w.CopiaSeguranca1, [](QWidget* owner) { return new TfrmCopiaSeguranca(owner); });
    w.registraJanela(w.Municipal1, [](QWidget* owner) { return new TfrmExecucaoMunicipal(owner); });
    w.registraJanela(w.ConsultaAcompanhamento1, [](QWidget* owner) { return new TfrmConsultaExecucaoMunicipal(owner); });
    w.registraJanela(w.Importardados1, [](QWidget* owner) { return new TFrmExportaDados(owner); });
    w.registraJanela(w.Importadados1, [](QWidget* owner) { return new TFrmImportaDados(owner); });
    w.registraJanela(w.Controle1, [](QWidget* owner) { return new TfrmControleEnvio(owner); });
    w.registraJanela(w.Graficos1, [](QWidget* owner) { return new TFormGraficoFonteComprovacao(owner); });
    w.registraJanela(w.GraficosAplicaodeRecursos1, [](QWidget* owner) { return new TFormGraficoAplicacaoRecursos(owner); });
    w.registraJanela(w.RecursosAnuaisPactuados1, [](QWidget* owner) { return new TfrmRecAnuaisPactuados(owner); });
    w.registraJanela(w.RecursosAlocadosxRecursosGastos1, [](QWidget* owner) { return new TFormSelRecAlocGastos(owner); });
    w.registraJanela(w.ElencosPactuados1, [](QWidget* owner) { return new TfrmConsultaElencoPactuado(owner); });
    w.registraJanela(w.MunicpiosInadimplentes1, [](QWidget* owner) { return new TFormSelInadimplentes(owner); });
    w.registraJanela(w.AuditoriaDados1, [](QWidget* owner) { return new TfrmAuditoria(owner); });
    w.registraJanela(w.Estadual2, [](QWidget* owner) { return new TFormSelCompraMedTotal(owner); });
    w.registraJanela(w.doElencoMnimo1, [](QWidget* owner) { return new TFormSelMedElenco(owner); });
    w.registraJanela(w.Comparativo1, [](QWidget* owner) { return new TFormSelComparativo(owner); });
    w.registraJanela(w.AquisioporFavorecido1, [](QWidget* owner) { return new TFormSelAquisicaoFavorecido(owner); });
    w.registraJanela(w.Aquisiopordocumento1, [](QWidget* owner) { return new TFormSelAquisicaoDocumento(owner); });
    interchange::instalaAreaDeTransferencia();
    if (opcoes.administracao)
        w.MostraItensAdministracao();
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

void formatosBrasileiros()
{
    text::setBrazilianFormats();
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
}

namespace {

// The words of the file dialogs that Qt's Brazilian catalogue lacks (the kind of each
// entry), so that the dialogs are wholly in Portuguese.
class TraducoesQueFaltam final : public QTranslator {
public:
    using QTranslator::QTranslator;
    bool isEmpty() const override { return false; }
    QString translate(const char* contexto, const char* texto, const char* desambiguacao, int n) const override
    {
        Q_UNUSED(desambiguacao);
        Q_UNUSED(n);
        if (qstrcmp(contexto, "QAbstractFileIconProvider") != 0 && qstrcmp(contexto, "QFileSystemModel") != 0)
            return {};
        static const QHash<QByteArray, QString> palavras{
            {"Folder", QStringLiteral("Pasta")},
            {"File", QStringLiteral("Arquivo")},
            {"Drive", QStringLiteral("Unidade")},
            {"%1 File", QStringLiteral("Arquivo %1")},
            {"File Folder", QStringLiteral("Pasta")},
            {"Alias", QStringLiteral("Atalho")},
            {"Shortcut", QStringLiteral("Atalho")},
        };
        return palavras.value(QByteArray(texto));
    }
};

}  // namespace

bool carregaTraducoes(QCoreApplication& app)
{
    // Searched after Qt's catalogue, which is installed later.
    QCoreApplication::installTranslator(new TraducoesQueFaltam(&app));
    const QLocale brasil(QLocale::Portuguese, QLocale::Brazil);
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
