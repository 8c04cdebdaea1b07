#include "dbui/DbGrid.h"

#include "db/DataSource.h"
#include "db/Dataset.h"
#include "db/Field.h"
#include "widgets/Guard.h"

#include <QHeaderView>
#include <QMouseEvent>

namespace ui {

// --- DatasetModel ---------------------------------------------------------------

namespace {

QVariant columnAlignment(const db::Field& f)
{
    return QVariant::fromValue(Qt::AlignVCenter | (f.isNumeric() ? Qt::AlignRight : Qt::AlignLeft));
}

}  // namespace

DatasetModel::DatasetModel(QObject* parent) : QAbstractTableModel(parent) {}

void DatasetModel::setDataSource(db::DataSource* source)
{
    for (const auto& l : links_)
        disconnect(l);
    links_.clear();
    source_ = source;
    if (source) {
        links_ << connect(source, &db::DataSource::rowsChanged, this, &DatasetModel::reset);
        links_ << connect(source, &db::DataSource::datasetChanged, this, &DatasetModel::reset);
        links_ << connect(source, &db::DataSource::dataChanged, this, [this](db::Field* f) {
            // After display suspension a whole-record notice may carry new rows.
            db::Dataset* ds = dataset();
            const int now = ds && ds->isActive() ? ds->recordCount() : 0;
            if (!f && now != rows_)
                reset();
            else
                recordChanged();
        });
        links_ << connect(source, &db::DataSource::stateChanged, this, &DatasetModel::recordChanged);
        links_ << connect(source, &QObject::destroyed, this, &DatasetModel::reset);
    }
    reset();
}

db::Dataset* DatasetModel::dataset() const
{
    return source_ ? source_->dataset() : nullptr;
}

void DatasetModel::reset()
{
    db::Dataset* ds = dataset();
    if (ds && ds->controlsDisabled())
        return;
    beginResetModel();
    columns_.clear();
    rows_ = 0;
    if (ds && ds->isActive()) {
        for (const auto& f : ds->fields())
            if (f->isVisible())
                columns_.push_back(f.get());
        rows_ = ds->recordCount();
    }
    endResetModel();
    emit layoutReset();
}

void DatasetModel::recordChanged()
{
    db::Dataset* ds = dataset();
    if (ds && ds->controlsDisabled())
        return;
    const int row = ds && ds->isActive() ? ds->recNo() - 1 : -1;
    if (row >= 0 && row < rows_ && !columns_.empty()) {
        emit dataChanged(index(row, 0), index(row, int(columns_.size()) - 1));
        emit headerDataChanged(Qt::Vertical, 0, rows_ - 1);
    }
    emit currentChanged();
}

db::Field* DatasetModel::fieldAt(int column) const
{
    return column >= 0 && column < int(columns_.size()) ? columns_[size_t(column)] : nullptr;
}

int DatasetModel::columnOf(const db::Field* field) const
{
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i] == field)
            return int(i);
    return -1;
}

int DatasetModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : rows_;
}

int DatasetModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(columns_.size());
}

QVariant DatasetModel::data(const QModelIndex& index, int role) const
{
    db::Dataset* ds = dataset();
    db::Field* f = fieldAt(index.column());
    // The model's shape is the one of the last reset; a dataset walked while display
    // is suspended may briefly hold another.
    if (!ds || !f || !ds->isActive() || index.row() >= ds->recordCount())
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return ds->rowDisplayText(index.row(), *f);
    case Qt::TextAlignmentRole:
        return columnAlignment(*f);
    default:
        return {};
    }
}

void DatasetModel::setTitlesAlignedToColumns(bool on)
{
    if (titlesAligned_ == on)
        return;
    titlesAligned_ = on;
    if (!columns_.empty())
        emit headerDataChanged(Qt::Horizontal, 0, int(columns_.size()) - 1);
}

QVariant DatasetModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role == Qt::TextAlignmentRole && orientation == Qt::Horizontal && titlesAligned_) {
        if (const db::Field* f = fieldAt(section))
            return columnAlignment(*f);
    }
    if (role != Qt::DisplayRole)
        return QAbstractTableModel::headerData(section, orientation, role);
    if (orientation == Qt::Horizontal) {
        const db::Field* f = fieldAt(section);
        return f ? f->displayLabel() : QVariant();
    }
    db::Dataset* ds = dataset();
    if (!ds || !ds->isActive() || section != ds->recNo() - 1)
        return QString();
    switch (ds->state()) {
    case db::DatasetState::Insert:
        return QStringLiteral("*");
    case db::DatasetState::Edit:
        return QStringLiteral("I");
    default:
        return QStringLiteral("▶");
    }
}

// --- DbGrid ---------------------------------------------------------------------

DbGrid::DbGrid(QWidget* parent) : QTableView(parent), model_(new DatasetModel(this))
{
    setModel(model_);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectItems);
    // Tab leaves the grid for the next control; the arrows walk the cells.
    setTabKeyNavigation(false);
    setShowGrid(true);
    setWordWrap(false);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setMinimumWidth(fontMetrics().horizontalAdvance(QStringLiteral("▶")) + 10);
    horizontalHeader()->setHighlightSections(false);
    verticalHeader()->setHighlightSections(false);
    // The selected cell stays marked when the grid does not have the focus.
    QPalette p = palette();
    p.setColor(QPalette::Inactive, QPalette::Highlight, p.color(QPalette::Active, QPalette::Highlight));
    p.setColor(QPalette::Inactive, QPalette::HighlightedText, p.color(QPalette::Active, QPalette::HighlightedText));
    setPalette(p);
    connect(model_, &DatasetModel::layoutReset, this, &DbGrid::laidOut);
    connect(model_, &DatasetModel::currentChanged, this, &DbGrid::follow);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& i) {
        if (db::Field* f = model_->fieldAt(i.column()))
            emit cellClicked(f);
    });
}

void DbGrid::setDataSource(db::DataSource* source)
{
    model_->setDataSource(source);
}

db::DataSource* DbGrid::dataSource() const
{
    return model_->dataSource();
}

db::Dataset* DbGrid::dataset() const
{
    return model_->dataset();
}

void DbGrid::setSelectedIndex(int column)
{
    selected_ = std::clamp(column, 0, std::max(0, model_->columnCount() - 1));
    follow();
}

db::Field* DbGrid::selectedField() const
{
    return model_->fieldAt(selected_);
}

int DbGrid::columnWidthOf(const db::Field* field) const
{
    const int c = model_->columnOf(field);
    return c < 0 ? -1 : columnWidth(c);
}

void DbGrid::laidOut()
{
    const QFontMetrics fm = fontMetrics();
    const QFontMetrics title = horizontalHeader()->fontMetrics();
    const int digit = fm.horizontalAdvance(u'0');
    for (int c = 0; c < model_->columnCount(); ++c) {
        const db::Field* f = model_->fieldAt(c);
        const int byData = f->displayWidth() * digit + 8;
        const int byTitle = title.horizontalAdvance(f->displayLabel()) + 12;
        setColumnWidth(c, std::max(byData, byTitle));
    }
    if (selected_ >= model_->columnCount())
        selected_ = std::max(0, model_->columnCount() - 1);
    follow();
}

void DbGrid::follow()
{
    db::Dataset* ds = dataset();
    if (ds && ds->controlsDisabled())
        return;
    const int row = ds && ds->isActive() ? ds->recNo() - 1 : -1;
    following_ = true;
    if (row >= 0 && row < model_->rowCount() && model_->columnCount() > 0) {
        const QModelIndex i = model_->index(row, std::min(selected_, model_->columnCount() - 1));
        if (currentIndex() != i)
            setCurrentIndex(i);
        else
            selectionModel()->select(i, QItemSelectionModel::ClearAndSelect);
        scrollTo(i);
    } else {
        selectionModel()->clear();
    }
    following_ = false;
    viewport()->update();
}

void DbGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    if (following_ || !current.isValid())
        return;
    selected_ = current.column();
    db::Dataset* ds = dataset();
    if (!ds || !ds->isActive() || current.row() == ds->recNo() - 1)
        return;
    // Moving off a record being edited posts it, as leaving a row does; a refusal
    // keeps the grid on the dataset's row.
    if (!guarded([&] { ds->setRecNo(current.row() + 1); }, window()))
        follow();
}

void DbGrid::mouseDoubleClickEvent(QMouseEvent* e)
{
    QTableView::mouseDoubleClickEvent(e);
    emit dblClicked();
}

}  // namespace ui
