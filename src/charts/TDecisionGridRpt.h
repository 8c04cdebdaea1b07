#pragma once
// Prints a pivot grid exactly as it is laid out on the screen: every grid row, header
// rows first, becomes one line of a banded report, with one fixed-width cell per grid
// column that fits the page (the grid's leftmost, outline column never), coloured and
// lettered like the grid's cells; the report is shown in the preview.
//
// Bound to a report (QuickRep) it borrows it for the printing: its record source,
// report-start handler and data request are put back afterwards, and the detail band and
// labels it added are taken away. Without one it prints on a report of its own.
#include "pivot/PivotGrid.h"
#include "report/Report.h"

#include <QColor>
#include <QList>
#include <QObject>
#include <QPointer>

#include <memory>

class TDecisionGridRpt : public QObject {
    Q_OBJECT
public:
    explicit TDecisionGridRpt(QObject* owner = nullptr);
    ~TDecisionGridRpt() override;

    // The grid to print, not owned. Setting one copies its column width, row height,
    // fonts and colours; setting none makes the six colours white. A grid destroyed is
    // set to none.
    pivot::PivotGrid* DecisionGrid() const { return grid_; }
    void setDecisionGrid(pivot::PivotGrid* grid);
    // The report to print on, not owned; `lifetime` (when given) is the object whose
    // destruction takes the report with it, which sets QuickRep to none.
    report::Report* QuickRep() const { return quickRep_; }
    void setQuickRep(report::Report* report, QObject* lifetime = nullptr);

    bool PrintInColor() const { return printInColor_; }
    void setPrintInColor(bool on) { printInColor_ = on; }
    bool ShowGridLines() const { return showGridLines_; }
    void setShowGridLines(bool on) { showGridLines_ = on; }
    // Pixels of the screen (96 to the inch), at least 1; a smaller value is refused with
    // std::invalid_argument.
    int ColumnWidth() const { return columnWidth_; }
    void setColumnWidth(int px);
    int RowHeight() const { return rowHeight_; }
    void setRowHeight(int px);

    const pivot::FontStyle& CaptionFont() const { return captionFont_; }
    void setCaptionFont(const pivot::FontStyle& f) { captionFont_ = f; }
    const pivot::FontStyle& LabelFont() const { return labelFont_; }
    void setLabelFont(const pivot::FontStyle& f) { labelFont_ = f; }
    const pivot::FontStyle& DataFont() const { return dataFont_; }
    void setDataFont(const pivot::FontStyle& f) { dataFont_ = f; }
    QColor CaptionColor() const { return captionColor_; }
    void setCaptionColor(const QColor& c) { captionColor_ = c; }
    QColor LabelColor() const { return labelColor_; }
    void setLabelColor(const QColor& c) { labelColor_ = c; }
    QColor DataColor() const { return dataColor_; }
    void setDataColor(const QColor& c) { dataColor_ = c; }
    QColor DataSumColor() const { return dataSumColor_; }
    void setDataSumColor(const QColor& c) { dataSumColor_ = c; }
    QColor LabelSumColor() const { return labelSumColor_; }
    void setLabelSumColor(const QColor& c) { labelSumColor_ = c; }
    QColor GridColor() const { return gridColor_; }
    void setGridColor(const QColor& c) { gridColor_ = c; }

    // Prints the grid in its layout of this moment and waits for the preview to close.
    // Nothing happens without a grid.
    void Print();

    // Screen pixels in millimetres of paper.
    static double pixelsToMm(double px) { return px * 25.4 / 96.0; }

private:
    void PrepareReport();
    void ReleaseReport();
    void ReportStart(report::Report& r);
    bool NeedData(QVariantMap& line);
    void whiten();

    QPointer<pivot::PivotGrid> grid_;
    QMetaObject::Connection gridLifetime_;
    report::Report* quickRep_ = nullptr;
    QMetaObject::Connection reportLifetime_;
    bool printInColor_ = true;
    bool showGridLines_ = true;
    int columnWidth_ = 100;
    int rowHeight_ = 20;
    pivot::FontStyle captionFont_, labelFont_, dataFont_;
    QColor captionColor_, labelColor_, dataColor_, dataSumColor_, labelSumColor_, gridColor_;

    // One printing.
    int colCount_ = 0, fixedCols_ = 0, rowCount_ = 0, fixedRows_ = 0;
    int columnsToPrint_ = 0;
    int currentRow_ = 0;
    bool ownsReport_ = true;
    std::unique_ptr<report::Report> ownReport_;
    report::Report* report_ = nullptr;
    report::Band* band_ = nullptr;
    bool bandCreated_ = false;
    report::RecordSource* savedSource_ = nullptr;
    report::Report::ReportStart savedStart_;
    report::Report::DataRequest savedRequest_;
    QList<report::Label*> labels_;
};
