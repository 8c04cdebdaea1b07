#pragma once
// A decision cube: the rows of a query summed by up to five dimensions. Each dimension
// is a column whose distinct values become the labels of a pivot's rows or columns;
// each summary is a column summed over the rows of every combination of dimension values.
//
//   pivot::Cube cube;
//   cube.addDimension("UF", "UF");
//   cube.addDimension("FAVORECIDO", "Favorecido");
//   cube.addSummary("VALOR", "Valor", "###,##0.00");
//   cube.build(rows);                      // any RowSource; see buildWithProgress()
#include <QObject>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <array>
#include <functional>
#include <vector>

class QWidget;

namespace pivot {

// The rows a cube reads: a table of values addressed by row and column.
class RowSource {
public:
    virtual ~RowSource() = default;
    virtual int rowCount() const = 0;
    // The column of that name (case does not matter), or -1.
    virtual int columnIndex(const QString& name) const = 0;
    virtual QVariant value(int row, int column) const = 0;
};

// Rows held in memory.
class TableRows final : public RowSource {
public:
    TableRows() = default;
    explicit TableRows(const QStringList& columns, QList<QVariantList> rows = {});
    void addRow(const QVariantList& row) { rows_.append(row); }
    void clear() { rows_.clear(); }

    int rowCount() const override { return int(rows_.size()); }
    int columnIndex(const QString& name) const override;
    QVariant value(int row, int column) const override { return rows_.at(row).value(column); }

private:
    QStringList columns_;
    QList<QVariantList> rows_;
};

class Cube : public QObject {
    Q_OBJECT
public:
    static constexpr int maxDimensions = 5;
    static constexpr int maxSummaries = 10;

    struct Dimension {
        QString field;
        QString caption;
    };
    struct Summary {
        QString field;
        QString caption;
        QString displayFormat;  // Delphi mask; empty: the general float text
    };

    // Called every few thousand rows while building: rows read so far, rows in all.
    using Progress = std::function<void(int done, int total)>;

    explicit Cube(QObject* parent = nullptr);
    ~Cube() override;

    // Definition. More than maxDimensions dimensions or maxSummaries summaries is an error.
    void addDimension(const QString& field, const QString& caption = {});
    void addSummary(const QString& field, const QString& caption = {}, const QString& displayFormat = {});
    const std::vector<Dimension>& dimensions() const { return dimensions_; }
    const std::vector<Summary>& summaries() const { return summaries_; }
    int dimensionCount() const { return int(dimensions_.size()); }
    int summaryCount() const { return int(summaries_.size()); }

    // Reads every row of source and sums them. A field missing from the source is an
    // error (std::runtime_error naming it) and leaves the cube empty. Announces changed().
    void build(const RowSource& source, const Progress& progress = {});
    // Empties the cube (the definition stays); announces changed().
    void clear();
    bool isActive() const { return active_; }

    // The distinct values of a dimension, in order: nulls first, then numbers, dates and
    // texts in their natural order (texts as Portuguese sorts them).
    const QVariantList& values(int dimension) const { return values_.at(size_t(dimension)); }
    int valueCount(int dimension) const { return int(values_.at(size_t(dimension)).size()); }
    QString valueText(int dimension, int index) const;

    // The cells: one per combination of dimension values that some row has.
    using Coordinates = std::array<int, maxDimensions>;  // value index per dimension; unused ones 0
    int cellCount() const { return int(coords_.size()); }
    const Coordinates& cellCoordinates(int cell) const { return coords_[size_t(cell)]; }
    // The sum of a summary over the cell's rows, and how many of them had a value.
    double cellSum(int cell, int summary) const { return sums_[size_t(cell) * summaries_.size() + size_t(summary)]; }
    int cellCount(int cell, int summary) const { return counts_[size_t(cell) * summaries_.size() + size_t(summary)]; }
    int rowsRead() const { return rowsRead_; }

signals:
    void changed();

private:
    std::vector<Dimension> dimensions_;
    std::vector<Summary> summaries_;
    bool active_ = false;
    std::vector<QVariantList> values_;
    std::vector<Coordinates> coords_;
    std::vector<double> sums_;
    std::vector<int> counts_;
    int rowsRead_ = 0;
};

// Builds the cube with a progress dialog, shown when the reading lasts.
void buildWithProgress(Cube& cube, const RowSource& source, QWidget* parent = nullptr);

}  // namespace pivot
