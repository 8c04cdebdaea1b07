#pragma once
// The pivot of a cube: which dimensions lie on the rows and which on the columns, and
// the grid that results, header rows and columns included.
//
// Grid coordinates, as a grid printer addresses the cells: the fixed (header) columns are
// numbered -fixedColumns() to -1 and the data columns 0 upwards, and likewise the rows.
// The leftmost fixed column is the grid's narrow outline column and holds no text.
//
// With the dimension A on the rows and B on the columns:
//
//   outline |       |  B (caption) |              |
//           |  A    |              |              |     <- the row dimensions' captions
//           |  a1   |  value b1    |  value b2    |     <- b1, b2 are labels of B in the row above
//
// that is: one header row per column dimension (its caption in the last fixed column,
// its values' labels over the data columns), then a row with the captions of the row
// dimensions; one fixed column per row dimension holding its values' labels. Outer labels
// show on the first row or column of their group only. With totals, each group closes
// with a "Total" row or column, and each axis with a grand total.
#include "pivot/Cube.h"

#include <QAbstractTableModel>
#include <QList>
#include <QPointer>

#include <array>
#include <vector>

namespace pivot {

enum class Axis { Rows, Columns };
// What a grid cell is: the caption of a row or column dimension, the label of a row or
// column value, a data cell, or another (empty corner) cell.
enum class CellKind { Caption, Label, Data, Other };

class PivotModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Role { KindRole = Qt::UserRole + 1, TotalRole, ValueRole };

    explicit PivotModel(QObject* parent = nullptr);
    ~PivotModel() override;

    // Not owned; the model follows its changes.
    void setCube(Cube* cube);
    Cube* cube() const { return cube_; }

    // The layout: the cube's dimensions by index, each on one axis, outermost first.
    // Every dimension of the cube exactly once; otherwise std::invalid_argument.
    void setLayout(QList<int> rows, QList<int> columns);
    const QList<int>& rowDimensions() const { return rows_; }
    const QList<int>& columnDimensions() const { return columns_; }
    // Puts a dimension at position (clamped) of an axis, taking it from where it was.
    void moveDimension(int dimension, Axis axis, int position);
    // The row dimensions go to the columns and the column dimensions to the rows.
    void swapAxes();

    int summary() const { return summary_; }
    void setSummary(int summary);
    bool showTotals() const { return totals_; }
    void setShowTotals(bool on);

    // The grid, in grid coordinates (see above).
    int gridColumnCount() const { return fixedColumns_ + dataColumnCount(); }
    int gridRowCount() const { return fixedRows_ + dataRowCount(); }
    int fixedColumns() const { return fixedColumns_; }
    int fixedRows() const { return fixedRows_; }
    int dataColumnCount() const { return int(axis(Axis::Columns).size()); }
    int dataRowCount() const { return int(axis(Axis::Rows).size()); }
    bool contains(int column, int row) const;
    // "[Error]" outside the grid.
    QString cellText(int column, int row) const;
    CellKind cellKind(int column, int row) const;
    // Whether the cell belongs to a total row or column.
    bool cellIsTotal(int column, int row) const;
    // A data cell's sum; null when no row has a value there (and for other cells).
    QVariant cellValue(int column, int row) const;
    // The dimension whose caption the cell shows, with its axis; -1 for other cells.
    int captionDimension(int column, int row, Axis* axis = nullptr) const;
    // How many cells, from this one on, a label's group takes along its axis (1 for a
    // label shown alone and for every other cell); 0 inside a group after its first cell.
    int labelSpan(int column, int row) const;

    // The entries of an axis: a data row or column each.
    int entryCount(Axis a) const { return int(axis(a).size()); }
    bool entryIsTotal(Axis a, int entry) const;
    // Every label of the entry joined with " / " (a total: its labels then "Total").
    QString entryCaption(Axis a, int entry) const;
    QVariant value(int rowEntry, int columnEntry) const;
    QString summaryCaption() const;
    QString formatValue(double value) const;

    // The grid as tab-separated lines, as a spreadsheet takes it: the outline column left
    // out, labels without trailing blanks, numbers unformatted with the decimal separator.
    QString toTabSeparated() const;

    // Model rows and columns are the grid's, the outline column the first.
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    int gridColumn(const QModelIndex& index) const { return index.column() - fixedColumns_; }
    int gridRow(const QModelIndex& index) const { return index.row() - fixedRows_; }
    QModelIndex indexOf(int column, int row) const { return index(row + fixedRows_, column + fixedColumns_); }

    static QString errorText() { return QStringLiteral("[Error]"); }
    static QString totalText() { return QStringLiteral("Total"); }

signals:
    // The layout changed (after the model reset).
    void pivotChanged();

private:
    struct Entry {
        std::array<int, Cube::maxDimensions> values{};  // value index per position; -1: all
        int level = 0;                                  // positions fixed; < dimensions: a total
        bool total = false;
    };

    struct Place;
    Place place(int column, int row) const;
    const std::vector<Entry>& axis(Axis a) const { return a == Axis::Rows ? rowEntries_ : columnEntries_; }
    const QList<int>& dims(Axis a) const { return a == Axis::Rows ? rows_ : columns_; }
    void rebuild();
    std::vector<Entry> buildAxis(const QList<int>& dims, std::vector<std::vector<int>>& contributions) const;
    void defaultLayout();
    // The label of an entry at a position of its axis, blank when it repeats the entry before.
    QString labelText(Axis a, int entry, int position) const;
    QString fullLabel(Axis a, int entry, int position) const;

    QPointer<Cube> cube_;
    QList<int> rows_;
    QList<int> columns_;
    int summary_ = 0;
    bool totals_ = false;

    int fixedColumns_ = 2;
    int fixedRows_ = 1;
    std::vector<Entry> rowEntries_;
    std::vector<Entry> columnEntries_;
    std::vector<double> sums_;  // rowEntries x columnEntries
    std::vector<int> counts_;
};

}  // namespace pivot
