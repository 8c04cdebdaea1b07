#pragma once
// "Gera Excessão Municipal Para <ano>": one municipal exception rate per inhabitant
// given, for the installation's year, to every municipality of a chosen state
// (incentive/rules/ExcessaoMunicipal.h). A municipality that has one keeps it.
#include "widgets/FormWindow.h"

class QAction;
class QLabel;
class QToolBar;

namespace ui {
class DbLookupComboBox;
class MoneyEdit;
class StatusBar;
}  // namespace ui

class TFrmGeraExcessaoMunicipal : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TFrmGeraExcessaoMunicipal(QWidget* owner = nullptr);
    ~TFrmGeraExcessaoMunicipal() override;

    QToolBar* ToolBar1;
    QAction* BbtSair;
    QAction* BbtImprime;  // "&Gera (F7)"
    QLabel* Label1;       // "Estado"
    ui::DbLookupComboBox* DBLookUpEstado;
    QLabel* Label2;  // "Valor Repasse"
    ui::MoneyEdit* EdtValor;
    ui::StatusBar* StatusBar1;

    void FormShow() override;
    virtual void FormClose();
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyPress(int& key) override;
    virtual void BbtImprimeClick();
    virtual void BbtSairClick();

protected:
    void closeEvent(QCloseEvent* e) override;

private:
    QString ano_;
};
