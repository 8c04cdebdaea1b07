#pragma once
// The page on which the pivot windows print their grids: a title band with the report
// title, to which the grid printer adds the grid's rows.
#include "report/Report.h"

#include <QObject>

class TFormImprimeGrid : public QObject {
    Q_OBJECT
public:
    explicit TFormImprimeGrid(QObject* owner = nullptr);
    ~TFormImprimeGrid() override;

    report::Report QuickRep1;
    report::Band* TitleBand1;         // printed once, at the top of the first page
    report::SystemField* QRSysData1;  // report title
};

extern TFormImprimeGrid* FormImprimeGrid;
