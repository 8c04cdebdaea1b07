#pragma once
// What the two pivot windows share: the year's query of the parameters, the cube over
// its rows with the label column and the state as dimensions and the sum of the value,
// the grid (states on the rows, labels on the columns) with the bar chart of the same
// pivot under it, and the buttons that print the grid and the chart, copy the grid and
// save the chart. Each window gives its query, label column and caption.
#include "charts/TDecisionGridRpt.h"
#include "charts/rules/Graficos.h"
#include "db/Dataset.h"
#include "pivot/Cube.h"
#include "pivot/PivotModel.h"
#include "widgets/FormWindow.h"

class QFrame;
class QPushButton;

namespace pivot {
class PivotChart;
class PivotGrid;
}  // namespace pivot

class TFormGrafico : public ui::FormWindow {
    Q_OBJECT
public:
    TFormGrafico(const charts::Grafico& grafico, QWidget* owner = nullptr);
    ~TFormGrafico() override;

    const charts::Grafico& grafico() const { return grafico_; }

    db::Dataset IBQuery1;
    db::Field* IBQuery1Rotulo;  // the label column: FAVORECIDO or RECURSOS
    db::Field* IBQuery1UF;
    db::Field* IBQuery1VALOR;

    pivot::Cube DecisionCube1;
    pivot::PivotModel DecisionSource1;
    pivot::PivotGrid* DecisionGrid1;
    QFrame* Panel1;
    QPushButton* BitBtn2;  // "Imprime Grade"
    QPushButton* BtnCopiaGrade;
    QPushButton* BtnSalvaGrafico;
    QPushButton* BitBtn1;  // "Imprime gráfico"
    pivot::PivotChart* DecisionGraph1;
    TDecisionGridRpt DecisionGridRpt1;

    // The window became active: the year's query is opened, unless it is open already
    // or failed to open in this window (its error was shown once).
    virtual void FormActivate();
    // Before the cube reads the query: every row fetched.
    virtual void DecisionCube1BeforeOpen();
    // "Imprime gráfico": on the default printer, in landscape, without a preview.
    virtual void BitBtn1Click();
    // "Imprime Grade": the grid as it is laid out now, under the window's title.
    virtual void BitBtn2Click();
    void BtnCopiaGradeClick();
    void BtnSalvaGraficoClick();
    virtual void FormClose();

    void FormShow() override;

protected:
    bool event(QEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

private:
    const charts::Grafico& grafico_;
    bool falhou_ = false;
};
