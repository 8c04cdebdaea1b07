#pragma once
// The main window: a full-screen backdrop carrying the main menu. Every command opens
// one window modally and frees it when it closes. The window also applies the
// installation mode (municipal or state) read from the parameter record.
#include <QHash>
#include <QIcon>
#include <QMainWindow>
#include <functional>

class QAction;
class QDialog;
class QLabel;
class QMenu;
class QToolButton;

namespace ui {
class StatusBar;
}

class TfrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    explicit TfrmPrincipal(QWidget* parent = nullptr);

    // The program's icon: the installed one of the icon theme ("korva", in hicolor), else
    // the emblem the backdrop shows.
    static QIcon icone();

    // A window factory: creates the window with the given owner.
    using Fabrica = std::function<QDialog*(QWidget* owner)>;
    // Binds a menu command to the window it opens (registraJanela(Parmetros1, ...)); an
    // unbound command says the window is still to come.
    void registraJanela(QAction* item, Fabrica fabrica);

    // Installation mode from the parameter record: caption of Municipal1,
    // LblAcompanhamento, visibility of "Importa dados" and "Inadimplentes".
    void AplicaModoInstalacao();

    // The items of the people who keep the reference tables: the "&Cadastro" menu
    // (pacts, rates, annual incentive) and the hidden items of "Apoio" (modalities, the
    // agreed medication list, the municipal exception generation). Hidden in normal
    // use; a start with --administracao shows them.
    void MostraItensAdministracao();
    bool itensAdministracaoVisiveis() const;

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
    QAction* AuditoriaDados1;  // state installation only
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
    QAction* CopiaSeguranca1;
    QAction* Sair2;

    QToolButton* ToolButton4;
    QLabel* LblAcompanhamento;
    ui::StatusBar* StatusBar1;  // two empty panels, 200 and 50 pixels

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FormCreate();
    void criaMenu();
    void criaTela();
    // Creates the command's window, registers it in FormAtivo, shows it modally and frees
    // it; true when it was shown.
    bool abreJanela(QAction* item);
    // Runs a command's steps; a failure is shown in the standard error box, and a
    // database out of reach says what the user can do. False when a step failed.
    bool executa(const std::function<void()>& passos);

    void Municpio1Click() { abreJanela(Municpio1); }
    void Mestre1Click() { abreJanela(Mestre1); }
    void ExcessoMunicipal1Click() { abreJanela(ExcessoMunicipal1); }
    void ExcessoEstadual1Click() { abreJanela(ExcessoEstadual1); }
    void Incentivo1Click() { abreJanela(Incentivo1); }
    void Municipal1Click();
    void ConsultaAcompanhamento1Click();
    void Controle1Click() { abreJanela(Controle1); }
    void Graficos1Click() { abreJanela(Graficos1); }
    void GraficosAplicaodeRecursos1Click() { abreJanela(GraficosAplicaodeRecursos1); }
    void RecursosAnuaisPactuados1Click() { abreJanela(RecursosAnuaisPactuados1); }
    void RecursosAlocadosxRecursosGastos1Click() { abreJanela(RecursosAlocadosxRecursosGastos1); }
    void ElencosPactuados1Click();
    void MunicpiosInadimplentes1Click() { abreJanela(MunicpiosInadimplentes1); }
    void AuditoriaDados1Click() { abreJanela(AuditoriaDados1); }
    void Estadual2Click() { abreJanela(Estadual2); }
    void doElencoMnimo1Click() { abreJanela(doElencoMnimo1); }
    void Comparativo1Click() { abreJanela(Comparativo1); }
    void AquisioporFavorecido1Click() { abreJanela(AquisioporFavorecido1); }
    void Aquisiopordocumento1Click() { abreJanela(Aquisiopordocumento1); }
    void FormasdePactuao1Click() { abreJanela(FormasdePactuao1); }
    void ElencoMnimodeMedicamentos1Click() { abreJanela(ElencoMnimodeMedicamentos1); }
    void GeraExcessoMunicipal1Click() { abreJanela(GeraExcessoMunicipal1); }
    void Importardados1Click() { abreJanela(Importardados1); }
    void Importadados1Click() { abreJanela(Importadados1); }
    void Parmetros1Click();
    void CopiaSeguranca1Click() { abreJanela(CopiaSeguranca1); }
    void Sair2Click() { close(); }
    void ToolButton4Click() { close(); }

    // Created hidden; MostraItensAdministracao shows them.
    QList<QAction*> itensAdministracao() const;

    QHash<QAction*, Fabrica> fabricas_;
    bool encerrando_ = false;
};

extern TfrmPrincipal* frmPrincipal;
