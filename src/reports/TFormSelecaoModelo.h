#pragma once
// The selection template most report windows are requested through: a state, a
// municipality and a range of months; the year is always the parameters' year of
// competence. Visualizar (BbtImprimeClick) checks and captures the choice into the fields
// below, which the report windows read while they build their queries; each descendant
// overrides it, runs the template's version first and goes on only when SelecaoValida
// (the steps are in Protocolo.h).
//
// A descendant sets its caption and puts its own controls in pnlSelecao's grid, under
// the period. The state and municipality lists are the data module's TB_Unidade_Federacao
// and TB_Cidade: choosing an entry makes its row current, and the report headers show it;
// choosing the state again, and Visualizar, keep the chosen municipality's row current.
// Handlers a user triggers run guarded; keys reach the window before its controls.
#include "reports/rules/Selecao.h"
#include "widgets/FormWindow.h"

#include <QString>
#include <functional>

class QAction;
class QComboBox;
class QFrame;
class QGridLayout;
class QGroupBox;
class QLabel;
class QToolBar;
class QToolButton;

namespace ui {
class DbLookupComboBox;
}

class TFormSelecaoModelo : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TFormSelecaoModelo(QWidget* owner = nullptr);
    ~TFormSelecaoModelo() override;

    QToolBar* ToolBar1;
    QAction* BbtSair;
    QAction* BbtImprime;
    QFrame* pnlSelecao;
    QGridLayout* gridSelecao;  // label column 0, control column 1; descendants add rows
    QLabel* Label1;            // "Estado"
    ui::DbLookupComboBox* DBLookUpEstado;
    QLabel* Label2;            // "Município"
    ui::DbLookupComboBox* DBLookupMunicipio;
    QGroupBox* GroupBox1;      // "Período"
    QComboBox* ComboInicio;
    QLabel* Label3;            // "à"
    QComboBox* ComboFim;

    // Filled by Visualizar.
    QString MesInicio;      // "1" to "12"
    QString MesFim;
    QString NomeMesInicio;  // "Janeiro" ...
    QString NomeMesFim;
    bool SelecaoValida = false;

    // The toolbar button of an action (what a user clicks).
    QToolButton* button(QAction* action) const;

    // What the report windows build their queries from, once Visualizar has captured the
    // months: the parameters' year, the chosen state and municipality (none when the list
    // shows none) and the months.
    relatorios::Selecao Escolha() const;

    // Handlers.
    void FormShow() override;
    // The window closes; descendants close the datasets they opened.
    virtual void FormClose() {}
    virtual void DBLookUpEstadoClick();
    virtual void BbtImprimeClick();
    virtual void BbtSairClick();
    // key is set to 0 when the window has used it.
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyPress(int& key) override;

protected:
    void showEvent(QShowEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    // Makes the municipality the box shows the current row of the shared list.
    void seguirMunicipioEscolhido();
    QAction* addButton(const QString& caption, const QString& hint, const QIcon& icon, void (TFormSelecaoModelo::*handler)());
};

// The year of competence of the parameter record; empty while it cannot be read.
QString AnoCompetencia();

extern TFormSelecaoModelo* FormSelecaoModelo;
