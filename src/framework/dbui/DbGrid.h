#pragma once
// A read-only grid over a dataset: one titled column per visible field (title the
// display label, width from the display width), one row per record, and a current row
// that follows the dataset and moves it when the user moves. A row indicator shows
// the current record and its state.
#include <QAbstractTableModel>
#include <QPointer>
#include <QTableView>
#include <vector>

#include "db/DataSource.h"
#include "db/Dataset.h"  // DataSource.h holds a QPointer<Dataset>

namespace db {
class Dataset;
class Field;
}  // namespace db

namespace ui {

class DatasetModel : public QAbstractTableModel {
    Q_OBJECT
public:
    explicit DatasetModel(QObject* parent = nullptr);
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const { return source_; }
    db::Dataset* dataset() const;

    // The field of a column; null out of range.
    db::Field* fieldAt(int column) const;
    int columnOf(const db::Field* field) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

    // Column titles aligned as their figures (numbers to the right, text to the left)
    // instead of the header's own alignment.
    void setTitlesAlignedToColumns(bool on);

signals:
    // The columns or the rows were laid out anew.
    void layoutReset();
    // The dataset's current record moved or changed.
    void currentChanged();

private:
    void reset();
    void recordChanged();
    QPointer<db::DataSource> source_;
    QList<QMetaObject::Connection> links_;
    std::vector<db::Field*> columns_;
    int rows_ = 0;
    bool titlesAligned_ = false;
};

class DbGrid : public QTableView {
    Q_OBJECT
public:
    explicit DbGrid(QWidget* parent = nullptr);
    void setDataSource(db::DataSource* source);
    db::DataSource* dataSource() const;
    db::Dataset* dataset() const;
    DatasetModel* datasetModel() const { return model_; }

    // The selected column (the one the current cell is in) and its field; the field
    // is null when the grid shows no column.
    int selectedIndex() const { return selected_; }
    void setSelectedIndex(int column);
    db::Field* selectedField() const;
    // Width in pixels of the column showing field; -1 when no column shows it.
    int columnWidthOf(const db::Field* field) const;

signals:
    // A cell was clicked: its column's field.
    void cellClicked(db::Field* field);
    // The grid was double-clicked anywhere.
    void dblClicked();

protected:
    void mouseDoubleClickEvent(QMouseEvent* e) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;

private:
    void laidOut();
    void follow();
    DatasetModel* model_;
    int selected_ = 0;
    bool following_ = false;
};

}  // namespace ui
