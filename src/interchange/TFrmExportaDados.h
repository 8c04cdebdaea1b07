#pragma once
// "Exporta Dados": a municipal installation's closed months of its year, ticked and
// written as four interchange files into the export folder, then marked as sent.
#include "widgets/FormWindow.h"

#include <QVector>

class QAction;
class QLabel;
class QToolBar;

namespace ui {
class CheckList;
class StatusBar;
}  // namespace ui

class TFrmExportaDados : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TFrmExportaDados(QWidget* owner = nullptr);
    ~TFrmExportaDados() override;

    QToolBar* ToolBar1;
    QAction* BbtSair;
    QAction* BbtGera;
    QLabel* LblMunicipio;
    QLabel* Label1;  // "Mes de Competência"
    ui::CheckList* CheckMes;
    ui::StatusBar* StatusBar1;

    void FormShow() override;
    void FormKeyDown(int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyPress(int& key) override;
    virtual void CheckMesClick();
    virtual void BbtGeraClick();
    virtual void BbtSairClick();

private:
    QVector<int> meses_;  // the month of each entry of CheckMes
};
