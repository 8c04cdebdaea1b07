#pragma once
// The pivot grid: every cell of a PivotModel, header rows and columns fixed while the
// data scrolls under them, painted by the kind of each cell. The user rearranges the
// pivot by dragging a dimension's caption onto another caption or onto the other axis,
// or through the context menu (which also swaps rows and columns); Ctrl+C copies the
// whole grid as tab-separated text.
//
// For a grid printer it answers, in the model's grid coordinates (PivotModel.h), its
// column and row counts, the fixed ones, and each cell's text and kind.
#include "pivot/Look.h"
#include "pivot/PivotModel.h"

#include <QFrame>
#include <QPointer>

#include <memory>

class QAction;
class QMenu;
class QScrollBar;
class QTableView;

namespace pivot {

class PivotGrid : public QFrame {
    Q_OBJECT
public:
    // The parts of the grid, each a view of its own: the corner of header cells, the
    // header rows over the data, the header columns beside it, and the data.
    enum class Part { Corner, Top, Left, Body };

    explicit PivotGrid(QWidget* parent = nullptr);
    ~PivotGrid() override;

    void setSource(PivotModel* model);  // not owned
    PivotModel* source() const { return model_; }

    // What a grid printer reads.
    int colCount() const { return model_ ? model_->gridColumnCount() : 0; }
    int rowCount() const { return model_ ? model_->gridRowCount() : 0; }
    int fixedCols() const { return model_ ? model_->fixedColumns() : 0; }
    int fixedRows() const { return model_ ? model_->fixedRows() : 0; }
    QString cells(int column, int row) const;  // "[Error]" outside
    CellKind cellKind(int column, int row) const;
    bool cellIsTotal(int column, int row) const;

    // Sizes in pixels; the outline column is narrow.
    // The width every column has at least; a column is as wide as its widest caption,
    // label or figure needs (shownColWidth()).
    int defaultColWidth() const { return colWidth_; }
    void setDefaultColWidth(int px);
    int shownColWidth() const { return shownColWidth_; }
    int defaultRowHeight() const { return rowHeight_; }
    void setDefaultRowHeight(int px);
    int outlineWidth() const { return outlineWidth_; }

    // Totals: a total row or column closing every group and axis.
    bool totals() const { return model_ && model_->showTotals(); }
    void setTotals(bool on);

    // Colours and fonts by the kind of cell.
    QColor captionColor() const { return captionColor_; }
    void setCaptionColor(const QColor& c);
    QColor labelColor() const { return labelColor_; }
    void setLabelColor(const QColor& c);
    QColor labelSumColor() const { return labelSumColor_; }
    void setLabelSumColor(const QColor& c);
    QColor dataColor() const { return dataColor_; }
    void setDataColor(const QColor& c);
    QColor dataSumColor() const { return dataSumColor_; }
    void setDataSumColor(const QColor& c);
    // The grid's own colour: the outline column and the empty corner cells.
    QColor color() const { return color_; }
    void setColor(const QColor& c);
    QColor gridLineColor() const { return lineColor_; }
    void setGridLineColor(const QColor& c);
    int gridLineWidth() const { return lineWidth_; }
    void setGridLineWidth(int px);
    const FontStyle& captionFont() const { return captionFont_; }
    void setCaptionFont(const FontStyle& f);
    const FontStyle& labelFont() const { return labelFont_; }
    void setLabelFont(const FontStyle& f);
    const FontStyle& dataFont() const { return dataFont_; }
    void setDataFont(const FontStyle& f);

    // What a cell is painted with.
    QColor cellColor(int column, int row) const;
    const FontStyle& cellFont(int column, int row) const;

    // The whole grid on the clipboard as tab-separated text.
    void copyToClipboard() const;
    QAction* copyAction() const { return copy_; }

    // The view showing a part, and where a cell is (in that part's viewport); for tests.
    QTableView* view(Part part) const;
    // The part and the viewport rectangle of a cell; an invalid rectangle when hidden.
    QRect cellRect(int column, int row, Part* part = nullptr) const;

    // The context menu of a cell: moving the dimension whose caption it is, swapping rows
    // and columns, copying.
    std::unique_ptr<QMenu> contextMenu(int column, int row);

    // Moves a dimension as a drop of its caption at a cell does; false when the drop
    // means nothing there.
    bool dropCaption(int dimension, int column, int row);

    QSize sizeHint() const override;

signals:
    // The user rearranged the pivot.
    void rearranged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    class PartModel;
    class Delegate;

    void relayout();
    int fittedColWidth() const;
    void restyle();
    bool gridCell(QObject* viewport, const QPoint& pos, int* column, int* row) const;
    void showMenu(int column, int row, const QPoint& globalPos);
    void syncScrollBars();

    QPointer<PivotModel> model_;
    int colWidth_ = 100;
    int shownColWidth_ = 100;
    int rowHeight_ = 20;
    int outlineWidth_ = 12;
    QColor captionColor_, labelColor_, labelSumColor_, dataColor_, dataSumColor_, color_, lineColor_;
    int lineWidth_ = 1;
    FontStyle captionFont_, labelFont_, dataFont_;

    PartModel* parts_[4] = {};
    QTableView* views_[4] = {};
    QScrollBar* hbar_ = nullptr;
    QScrollBar* vbar_ = nullptr;
    Delegate* delegate_ = nullptr;
    QAction* copy_ = nullptr;

    // A caption being dragged.
    int dragDimension_ = -1;
    QPoint dragStart_;
    bool dragging_ = false;
};

}  // namespace pivot
