#pragma once
// The main window: a full-screen backdrop carrying the main menu. Every command opens
// one window modally and frees it when it closes. The window also applies the
// installation mode (municipal or state) read from the parameter record.
#include <QHash>
#include <QMainWindow>
#include <functional>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QToolButton;

class TfrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmPrincipal(QWidget* parent = nullptr);

    // A window factory: creates the window with the given owner.
    using Fabrica = std::function<QDialog*(QWidget* owner)>;
    // Menu commands whose windows live in other modules are bound here by name
    // ("Parmetros1", "Controle1", ...); an unbound command says the window is still to come.
    void registraJanela(const QString& item, Fabrica fabrica);

    // Installation mode from the parameter record: caption of Municipal1,
    // LblAcompanhamento, visibility of "Importa dados" and "Inadimplentes".
    void AplicaModoInstalacao();

    // Menu items, named as the program knows them.
    QMenu* Cadastro1;
    QAction* Incentivos1;
    QAction* Municpio1;
    QAction* Mestre1;
    QAction* ExcessoMunicipal1;
    QAction* ExcessoEstadual1;
    QAction* Incentivo1;
    QMenu* Acompanhamento1;
    QAction* Municipal1;
    QMenu* RelatoriosConsultas1;
    QAction* ConsultaAcompanhamento1;
    QAction* Controle1;
    QAction* Graficos1;
    QAction* GraficosAplicaodeRecursos1;
    QAction* RecursosAnuaisPactuados1;
    QAction* RecursosAlocadosxRecursosGastos1;
    QAction* ElencosPactuados1;
    QAction* MunicpiosInadimplentes1;
    QAction* CompradeMedicamentos1;
    QAction* Estadual2;
    QAction* doElencoMnimo1;
    QAction* Comparativo1;
    QAction* AquisioporFavorecido1;
    QAction* Aquisiopordocumento1;
    QMenu* Apoio1;
    QAction* FormasdePactuao1;
    QAction* ElencoMnimodeMedicamentos1;
    QAction* GeraExcessoMunicipal1;
    QAction* Importardados1;
    QAction* Importadados1;
    QAction* Parmetros1;
    QAction* Sair2;

    QToolButton* ToolButton4;
    QLabel* LblAcompanhamento;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void criaMenu();
    void criaTela();
    void abreJanela(const QString& item);

    void Municpio1Click() { abreJanela(QStringLiteral("Municpio1")); }
    void Mestre1Click() { abreJanela(QStringLiteral("Mestre1")); }
    void ExcessoMunicipal1Click() { abreJanela(QStringLiteral("ExcessoMunicipal1")); }
    void ExcessoEstadual1Click() { abreJanela(QStringLiteral("ExcessoEstadual1")); }
    void Incentivo1Click() { abreJanela(QStringLiteral("Incentivo1")); }
    void Municipal1Click();
    void ConsultaAcompanhamento1Click();
    void Controle1Click() { abreJanela(QStringLiteral("Controle1")); }
    void Graficos1Click() { abreJanela(QStringLiteral("Graficos1")); }
    void GraficosAplicaodeRecursos1Click() { abreJanela(QStringLiteral("GraficosAplicaodeRecursos1")); }
    void RecursosAnuaisPactuados1Click() { abreJanela(QStringLiteral("RecursosAnuaisPactuados1")); }
    void RecursosAlocadosxRecursosGastos1Click() { abreJanela(QStringLiteral("RecursosAlocadosxRecursosGastos1")); }
    void ElencosPactuados1Click();
    void MunicpiosInadimplentes1Click() { abreJanela(QStringLiteral("MunicpiosInadimplentes1")); }
    void Estadual2Click() { abreJanela(QStringLiteral("Estadual2")); }
    void doElencoMnimo1Click() { abreJanela(QStringLiteral("doElencoMnimo1")); }
    void Comparativo1Click() { abreJanela(QStringLiteral("Comparativo1")); }
    void AquisioporFavorecido1Click() { abreJanela(QStringLiteral("AquisioporFavorecido1")); }
    void Aquisiopordocumento1Click() { abreJanela(QStringLiteral("Aquisiopordocumento1")); }
    void FormasdePactuao1Click() { abreJanela(QStringLiteral("FormasdePactuao1")); }
    void ElencoMnimodeMedicamentos1Click() { abreJanela(QStringLiteral("ElencoMnimodeMedicamentos1")); }
    void GeraExcessoMunicipal1Click() { abreJanela(QStringLiteral("GeraExcessoMunicipal1")); }
    void Importardados1Click() { abreJanela(QStringLiteral("Importardados1")); }
    void Importadados1Click() { abreJanela(QStringLiteral("Importadados1")); }
    void Parmetros1Click();
    void Sair2Click() { close(); }
    void ToolButton4Click() { close(); }

    QHash<QString, Fabrica> fabricas_;
};

extern TfrmPrincipal* frmPrincipal;
