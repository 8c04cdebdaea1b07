#include "pivot/PivotGrid.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QFontMetrics>
#include <QGridLayout>
#include <QHeaderView>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QTableView>

#include <memory>

namespace pivot {

namespace {

constexpr int kParts = 4;

int index(PivotGrid::Part p)
{
    return int(p);
}

}  // namespace

// One part of the grid as a table of its own.
class PivotGrid::PartModel : public QAbstractTableModel {
public:
    PartModel(Part part, QObject* parent) : QAbstractTableModel(parent), part_(part) {}

    void setSource(PivotModel* source)
    {
        beginResetModel();
        if (source_)
            disconnect(source_, nullptr, this, nullptr);
        source_ = source;
        if (source_) {
            connect(source_, &QAbstractItemModel::modelAboutToBeReset, this, [this] { beginResetModel(); });
            connect(source_, &QAbstractItemModel::modelReset, this, [this] { endResetModel(); });
        }
        endResetModel();
    }

    bool fixedRowsPart() const { return part_ == Part::Corner || part_ == Part::Top; }
    bool fixedColumnsPart() const { return part_ == Part::Corner || part_ == Part::Left; }
    int rowOffset() const { return fixedRowsPart() || !source_ ? 0 : source_->fixedRows(); }
    int columnOffset() const { return fixedColumnsPart() || !source_ ? 0 : source_->fixedColumns(); }

    // Grid coordinates of a cell of this part.
    int gridColumn(int column) const { return column + columnOffset() - (source_ ? source_->fixedColumns() : 0); }
    int gridRow(int row) const { return row + rowOffset() - (source_ ? source_->fixedRows() : 0); }
    // This part's cell of grid coordinates, or (-1, -1).
    QPoint partCell(int column, int row) const
    {
        if (!source_)
            return {-1, -1};
        const int c = column + source_->fixedColumns() - columnOffset();
        const int r = row + source_->fixedRows() - rowOffset();
        if (c < 0 || r < 0 || c >= columnCount() || r >= rowCount())
            return {-1, -1};
        return {c, r};
    }

    int rowCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid() || !source_)
            return 0;
        return fixedRowsPart() ? source_->fixedRows() : source_->dataRowCount();
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        if (parent.isValid() || !source_)
            return 0;
        return fixedColumnsPart() ? source_->fixedColumns() : source_->dataColumnCount();
    }
    QVariant data(const QModelIndex& index, int role) const override
    {
        if (!source_ || !index.isValid())
            return {};
        return source_->data(source_->index(index.row() + rowOffset(), index.column() + columnOffset()), role);
    }

    Part part() const { return part_; }

private:
    Part part_;
    QPointer<PivotModel> source_;
};

// Paints a cell by its kind, with the grid's lines on its right and bottom.
class PivotGrid::Delegate : public QStyledItemDelegate {
public:
    Delegate(PivotGrid* grid) : QStyledItemDelegate(grid), grid_(grid) {}

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        const auto* part = static_cast<const PartModel*>(index.model());
        const int c = part->gridColumn(index.column());
        const int r = part->gridRow(index.row());
        painter->save();
        painter->fillRect(option.rect, grid_->cellColor(c, r));
        const bool data = grid_->cellKind(c, r) == CellKind::Data;
        if (data && (option.state & QStyle::State_Selected)) {
            QColor h = option.palette.color(QPalette::Highlight);
            h.setAlpha(110);
            painter->fillRect(option.rect, h);
        }
        const FontStyle& font = grid_->cellFont(c, r);
        painter->setFont(font.font);
        painter->setPen(font.color);
        const QRect text = option.rect.adjusted(3, 0, -3 - grid_->gridLineWidth(), -grid_->gridLineWidth());
        painter->setClipRect(option.rect);
        painter->drawText(text, index.data(Qt::TextAlignmentRole).toInt(), index.data().toString());
        if (const int w = grid_->gridLineWidth(); w > 0) {
            const QRect& b = option.rect;
            painter->fillRect(QRect(b.right() - w + 1, b.top(), w, b.height()), grid_->gridLineColor());
            painter->fillRect(QRect(b.left(), b.bottom() - w + 1, b.width(), w), grid_->gridLineColor());
        }
        if (option.state & QStyle::State_HasFocus) {
            QStyleOptionFocusRect focus;
            focus.initFrom(option.widget);
            focus.rect = option.rect.adjusted(1, 1, -2, -2);
            focus.backgroundColor = grid_->cellColor(c, r);
            option.widget->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, painter, option.widget);
        }
        painter->restore();
    }

private:
    PivotGrid* grid_;
};

PivotGrid::PivotGrid(QWidget* parent) : QFrame(parent)
{
    setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
    captionColor_ = systemColour(SystemColour::ActiveCaption);
    labelColor_ = systemColour(SystemColour::ButtonFace);
    labelSumColor_ = systemColour(SystemColour::InactiveCaption);
    dataColor_ = systemColour(SystemColour::InfoBackground);
    dataSumColor_ = systemColour(SystemColour::InactiveCaption);
    color_ = systemColour(SystemColour::ButtonFace);
    lineColor_ = systemColour(SystemColour::WindowText);
    captionFont_ = {font(), systemColour(SystemColour::CaptionText)};
    labelFont_ = {font(), systemColour(SystemColour::WindowText)};
    dataFont_ = {font(), systemColour(SystemColour::WindowText)};

    delegate_ = new Delegate(this);
    auto* grid = new QGridLayout(this);
    grid->setContentsMargins(frameWidth(), frameWidth(), frameWidth(), frameWidth());
    grid->setSpacing(0);
    static const char* const names[kParts] = {"Canto", "Cabecalho", "Rotulos", "Dados"};
    for (Part p : {Part::Corner, Part::Top, Part::Left, Part::Body}) {
        auto* model = new PartModel(p, this);
        auto* v = new QTableView(this);
        v->setObjectName(QString::fromLatin1(names[index(p)]));
        v->setModel(model);
        v->setItemDelegate(delegate_);
        v->setFrameStyle(QFrame::NoFrame);
        v->setShowGrid(false);
        v->horizontalHeader()->hide();
        v->verticalHeader()->hide();
        v->horizontalHeader()->setMinimumSectionSize(0);
        v->verticalHeader()->setMinimumSectionSize(0);
        v->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        v->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
        v->setHorizontalScrollMode(QAbstractItemView::ScrollPerPixel);
        v->setVerticalScrollMode(QAbstractItemView::ScrollPerPixel);
        v->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        v->setContextMenuPolicy(Qt::CustomContextMenu);
        v->setWordWrap(false);
        v->viewport()->installEventFilter(this);
        if (p == Part::Body) {
            v->setSelectionMode(QAbstractItemView::ExtendedSelection);
            v->setAccessibleName(QStringLiteral("Dados da grade"));
        } else {
            v->setSelectionMode(QAbstractItemView::NoSelection);
            v->setFocusPolicy(Qt::NoFocus);
        }
        connect(v, &QWidget::customContextMenuRequested, this, [this, v](const QPoint& pos) {
            int c = 0, r = 0;
            QPoint at = pos;
            if (!gridCell(v->viewport(), pos, &c, &r)) {
                // From the keyboard: the current cell.
                const QModelIndex i = v->currentIndex();
                if (!i.isValid())
                    return;
                const auto* m = static_cast<const PartModel*>(v->model());
                c = m->gridColumn(i.column());
                r = m->gridRow(i.row());
                at = v->visualRect(i).center();
            }
            showMenu(c, r, v->viewport()->mapToGlobal(at));
        });
        parts_[index(p)] = model;
        views_[index(p)] = v;
    }
    views_[index(Part::Corner)]->viewport()->setMouseTracking(true);
    hbar_ = new QScrollBar(Qt::Horizontal, this);
    vbar_ = new QScrollBar(Qt::Vertical, this);
    grid->addWidget(views_[index(Part::Corner)], 0, 0);
    grid->addWidget(views_[index(Part::Top)], 0, 1);
    grid->addWidget(views_[index(Part::Left)], 1, 0);
    grid->addWidget(views_[index(Part::Body)], 1, 1);
    grid->addWidget(vbar_, 0, 2, 2, 1);
    grid->addWidget(hbar_, 2, 0, 1, 2);
    grid->setRowStretch(1, 1);
    grid->setColumnStretch(1, 1);

    // The body scrolls; the header parts follow it, and the outer bars drive it.
    QTableView* body = views_[index(Part::Body)];
    QScrollBar* bodyH = body->horizontalScrollBar();
    QScrollBar* bodyV = body->verticalScrollBar();
    connect(bodyH, &QScrollBar::rangeChanged, this, [this] { syncScrollBars(); });
    connect(bodyV, &QScrollBar::rangeChanged, this, [this] { syncScrollBars(); });
    connect(bodyH, &QScrollBar::valueChanged, this, [this](int v) {
        hbar_->setValue(v);
        views_[index(Part::Top)]->horizontalScrollBar()->setValue(v);
    });
    connect(bodyV, &QScrollBar::valueChanged, this, [this](int v) {
        vbar_->setValue(v);
        views_[index(Part::Left)]->verticalScrollBar()->setValue(v);
    });
    connect(hbar_, &QScrollBar::valueChanged, bodyH, &QScrollBar::setValue);
    connect(vbar_, &QScrollBar::valueChanged, bodyV, &QScrollBar::setValue);

    copy_ = new QAction(QStringLiteral("&Copiar a grade"), this);
    copy_->setShortcut(QKeySequence::Copy);
    copy_->setShortcutContext(Qt::WidgetWithChildrenShortcut);
    connect(copy_, &QAction::triggered, this, [this] { copyToClipboard(); });
    addAction(copy_);

    relayout();
}

PivotGrid::~PivotGrid() = default;

void PivotGrid::setSource(PivotModel* model)
{
    if (model_)
        disconnect(model_, nullptr, this, nullptr);
    model_ = model;
    for (PartModel* p : parts_)
        p->setSource(model);
    if (model_)
        connect(model_, &PivotModel::pivotChanged, this, [this] { relayout(); });
    relayout();
}

QString PivotGrid::cells(int column, int row) const
{
    return model_ ? model_->cellText(column, row) : PivotModel::errorText();
}

CellKind PivotGrid::cellKind(int column, int row) const
{
    return model_ ? model_->cellKind(column, row) : CellKind::Other;
}

bool PivotGrid::cellIsTotal(int column, int row) const
{
    return model_ && model_->cellIsTotal(column, row);
}

void PivotGrid::setDefaultColWidth(int px)
{
    colWidth_ = std::max(1, px);
    relayout();
}

void PivotGrid::setDefaultRowHeight(int px)
{
    rowHeight_ = std::max(1, px);
    relayout();
}

void PivotGrid::setTotals(bool on)
{
    if (model_)
        model_->setShowTotals(on);
}

void PivotGrid::setCaptionColor(const QColor& c) { captionColor_ = c; restyle(); }
void PivotGrid::setLabelColor(const QColor& c) { labelColor_ = c; restyle(); }
void PivotGrid::setLabelSumColor(const QColor& c) { labelSumColor_ = c; restyle(); }
void PivotGrid::setDataColor(const QColor& c) { dataColor_ = c; restyle(); }
void PivotGrid::setDataSumColor(const QColor& c) { dataSumColor_ = c; restyle(); }
void PivotGrid::setColor(const QColor& c) { color_ = c; restyle(); }
void PivotGrid::setGridLineColor(const QColor& c) { lineColor_ = c; restyle(); }
void PivotGrid::setGridLineWidth(int px) { lineWidth_ = std::max(0, px); relayout(); }
void PivotGrid::setCaptionFont(const FontStyle& f) { captionFont_ = f; relayout(); }
void PivotGrid::setLabelFont(const FontStyle& f) { labelFont_ = f; relayout(); }
void PivotGrid::setDataFont(const FontStyle& f) { dataFont_ = f; relayout(); }

QColor PivotGrid::cellColor(int column, int row) const
{
    const bool total = cellIsTotal(column, row);
    switch (cellKind(column, row)) {
    case CellKind::Caption:
        return captionColor_;
    case CellKind::Label:
        return total ? labelSumColor_ : labelColor_;
    case CellKind::Data:
        return total ? dataSumColor_ : dataColor_;
    case CellKind::Other:
        break;
    }
    return total ? labelSumColor_ : color_;
}

const FontStyle& PivotGrid::cellFont(int column, int row) const
{
    switch (cellKind(column, row)) {
    case CellKind::Caption:
        return captionFont_;
    case CellKind::Data:
        return dataFont_;
    default:
        return labelFont_;
    }
}

void PivotGrid::copyToClipboard() const
{
    if (model_)
        QApplication::clipboard()->setText(model_->toTabSeparated());
}

QTableView* PivotGrid::view(Part part) const
{
    return views_[index(part)];
}

QRect PivotGrid::cellRect(int column, int row, Part* part) const
{
    for (int i = 0; i < kParts; ++i) {
        const QPoint at = parts_[i]->partCell(column, row);
        if (at.x() < 0)
            continue;
        if (part)
            *part = Part(i);
        return views_[i]->visualRect(parts_[i]->index(at.y(), at.x()));
    }
    return {};
}

bool PivotGrid::gridCell(QObject* viewport, const QPoint& pos, int* column, int* row) const
{
    for (int i = 0; i < kParts; ++i) {
        if (views_[i]->viewport() != viewport)
            continue;
        const QModelIndex at = views_[i]->indexAt(pos);
        if (!at.isValid())
            return false;
        *column = parts_[i]->gridColumn(at.column());
        *row = parts_[i]->gridRow(at.row());
        return true;
    }
    return false;
}

void PivotGrid::restyle()
{
    for (QTableView* v : views_)
        v->viewport()->update();
}

int PivotGrid::fittedColWidth() const
{
    int width = colWidth_;
    if (!model_)
        return width;
    // Every caption, label and figure whole: the widest cell of a column (a label of an
    // outer group spans its group and is left out), over the first rows only, so that a
    // long grid lays out at once.
    const int padding = 8 + lineWidth_;
    const QFontMetrics caption(captionFont_.font), label(labelFont_.font), data(dataFont_.font);
    const int lastRow = std::min(model_->dataRowCount(), 500);
    for (int row = -model_->fixedRows(); row < lastRow; ++row) {
        for (int column = 1 - model_->fixedColumns(); column < model_->dataColumnCount(); ++column) {
            const CellKind kind = model_->cellKind(column, row);
            if (kind == CellKind::Other)
                continue;
            if (kind == CellKind::Label && row < 0 && column >= 0 && model_->labelSpan(column, row) != 1)
                continue;
            const QFontMetrics& fm = kind == CellKind::Caption ? caption : kind == CellKind::Label ? label : data;
            width = std::max(width, fm.horizontalAdvance(model_->cellText(column, row)) + padding);
        }
    }
    return width;
}

void PivotGrid::relayout()
{
    const int fixedColumns = fixedCols();
    const int fixedRowCount = fixedRows();
    shownColWidth_ = fittedColWidth();
    for (int i = 0; i < kParts; ++i) {
        QTableView* v = views_[i];
        PartModel* m = parts_[i];
        v->horizontalHeader()->setDefaultSectionSize(shownColWidth_);
        v->verticalHeader()->setDefaultSectionSize(rowHeight_);
        for (int c = 0; c < m->columnCount(); ++c)
            v->horizontalHeader()->resizeSection(c, m->fixedColumnsPart() && c == 0 ? outlineWidth_ : shownColWidth_);
        for (int r = 0; r < m->rowCount(); ++r)
            v->verticalHeader()->resizeSection(r, rowHeight_);
        v->clearSpans();
    }
    if (model_) {
        // Outer labels take the width or height of their group.
        QTableView* top = views_[index(Part::Top)];
        const int m = int(model_->columnDimensions().size());
        for (int j = 0; j < m; ++j)
            for (int c = 0; c < model_->dataColumnCount(); ++c)
                if (const int span = model_->labelSpan(c, j - fixedRowCount); span > 1)
                    top->setSpan(j, c, 1, span);
        QTableView* left = views_[index(Part::Left)];
        const int k = int(model_->rowDimensions().size());
        for (int p = 0; p < k; ++p)
            for (int r = 0; r < model_->dataRowCount(); ++r)
                if (const int span = model_->labelSpan(p - k, r); span > 1)
                    left->setSpan(r, p - k + fixedColumns, span, 1);
    }
    const int fixedWidth = fixedColumns > 0 ? outlineWidth_ + (fixedColumns - 1) * shownColWidth_ : 0;
    const int fixedHeight = fixedRowCount * rowHeight_;
    views_[index(Part::Corner)]->setFixedSize(fixedWidth, fixedHeight);
    views_[index(Part::Top)]->setFixedHeight(fixedHeight);
    views_[index(Part::Left)]->setFixedWidth(fixedWidth);
    updateGeometry();
    syncScrollBars();
    restyle();
}

void PivotGrid::syncScrollBars()
{
    QTableView* body = views_[index(Part::Body)];
    const QScrollBar* h = body->horizontalScrollBar();
    const QScrollBar* v = body->verticalScrollBar();
    hbar_->setRange(h->minimum(), h->maximum());
    hbar_->setPageStep(h->pageStep());
    hbar_->setSingleStep(h->singleStep());
    hbar_->setVisible(h->maximum() > h->minimum());
    vbar_->setRange(v->minimum(), v->maximum());
    vbar_->setPageStep(v->pageStep());
    vbar_->setSingleStep(v->singleStep());
    vbar_->setVisible(v->maximum() > v->minimum());
}

QSize PivotGrid::sizeHint() const
{
    const int columns = std::max(0, colCount() - 1);
    const int w = outlineWidth_ + columns * shownColWidth_ + 2 * frameWidth() + vbar_->sizeHint().width();
    const int h = rowCount() * rowHeight_ + 2 * frameWidth() + hbar_->sizeHint().height();
    return {std::min(w, 900), std::min(std::max(h, 4 * rowHeight_), 500)};
}

bool PivotGrid::dropCaption(int dimension, int column, int row)
{
    if (!model_)
        return false;
    const QList<int> rows = model_->rowDimensions(), columns = model_->columnDimensions();
    const int k = int(rows.size()), m = int(columns.size());
    Axis axis = Axis::Rows;
    int position = 0;
    if (const int target = model_->captionDimension(column, row, &axis); target >= 0) {
        if (target == dimension)
            return false;
        position = int((axis == Axis::Rows ? rows : columns).indexOf(target));
    } else if (row < 0 && column >= 0) {
        axis = Axis::Columns;
        position = std::min(row + model_->fixedRows(), m);
    } else if (row >= 0 && column < 0 && column > -model_->fixedColumns()) {
        axis = Axis::Rows;
        position = std::max(0, column + k);
    } else {
        return false;
    }
    model_->moveDimension(dimension, axis, position);
    if (model_->rowDimensions() == rows && model_->columnDimensions() == columns)
        return false;
    emit rearranged();
    return true;
}

void PivotGrid::showMenu(int column, int row, const QPoint& globalPos)
{
    if (std::unique_ptr<QMenu> menu = contextMenu(column, row))
        menu->exec(globalPos);
}

std::unique_ptr<QMenu> PivotGrid::contextMenu(int column, int row)
{
    if (!model_)
        return nullptr;
    auto owned = std::make_unique<QMenu>(this);
    QMenu& menu = *owned;
    Axis axis = Axis::Rows;
    const int d = model_->captionDimension(column, row, &axis);
    if (d >= 0) {
        const QString caption = model_->cube()->dimensions()[size_t(d)].caption;
        const QList<int>& on = axis == Axis::Rows ? model_->rowDimensions() : model_->columnDimensions();
        const int at = int(on.indexOf(d));
        const bool rows = axis == Axis::Rows;
        auto move = [this, d](Axis a, int position) {
            return [this, d, a, position] {
                model_->moveDimension(d, a, position);
                emit rearranged();
            };
        };
        menu.addAction(QStringLiteral("Mover \"%1\" para as %2").arg(caption, rows ? QStringLiteral("colunas") : QStringLiteral("linhas")),
                       this, move(rows ? Axis::Columns : Axis::Rows, int(rows ? model_->columnDimensions().size() : model_->rowDimensions().size())));
        if (at > 0)
            menu.addAction(QStringLiteral("Mover \"%1\" para %2").arg(caption, rows ? QStringLiteral("a esquerda") : QStringLiteral("cima")),
                           this, move(axis, at - 1));
        if (at < on.size() - 1)
            menu.addAction(QStringLiteral("Mover \"%1\" para %2").arg(caption, rows ? QStringLiteral("a direita") : QStringLiteral("baixo")),
                           this, move(axis, at + 1));
        menu.addSeparator();
    } else {
        // Elsewhere (and from the keyboard, which reaches the data only): every dimension
        // to the other side.
        for (int dim = 0; model_->cube() && dim < model_->cube()->dimensionCount(); ++dim) {
            const bool rows = model_->rowDimensions().contains(dim);
            const QList<int>& other = rows ? model_->columnDimensions() : model_->rowDimensions();
            menu.addAction(QStringLiteral("Mover \"%1\" para as %2")
                               .arg(model_->cube()->dimensions()[size_t(dim)].caption,
                                    rows ? QStringLiteral("colunas") : QStringLiteral("linhas")),
                           this, [this, dim, rows, at = int(other.size())] {
                               model_->moveDimension(dim, rows ? Axis::Columns : Axis::Rows, at);
                               emit rearranged();
                           });
        }
        menu.addSeparator();
    }
    menu.addAction(QStringLiteral("&Trocar linhas e colunas"), this, [this] {
        model_->swapAxes();
        emit rearranged();
    });
    menu.addSeparator();
    menu.addAction(copy_);
    return owned;
}

bool PivotGrid::eventFilter(QObject* watched, QEvent* event)
{
    QWidget* corner = views_[index(Part::Corner)]->viewport();
    QWidget* body = views_[index(Part::Body)]->viewport();
    switch (event->type()) {
    case QEvent::Wheel:
        // The header parts scroll the data.
        if (watched != body) {
            QCoreApplication::sendEvent(body, event);
            return true;
        }
        break;
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        int c = 0, r = 0;
        if (watched == corner && e->button() == Qt::LeftButton && gridCell(watched, e->position().toPoint(), &c, &r)
            && model_ && (dragDimension_ = model_->captionDimension(c, r)) >= 0) {
            dragStart_ = e->globalPosition().toPoint();
            dragging_ = false;
            return true;
        }
        break;
    }
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(event);
        if (dragDimension_ >= 0 && (e->buttons() & Qt::LeftButton)) {
            if (!dragging_ && (e->globalPosition().toPoint() - dragStart_).manhattanLength() >= QApplication::startDragDistance()) {
                dragging_ = true;
                QApplication::setOverrideCursor(Qt::ClosedHandCursor);
            }
            return true;
        }
        if (watched == corner) {
            int c = 0, r = 0;
            const bool onCaption = model_ && gridCell(watched, e->position().toPoint(), &c, &r) && model_->captionDimension(c, r) >= 0;
            if (onCaption)
                corner->setCursor(Qt::OpenHandCursor);
            else
                corner->unsetCursor();
        }
        break;
    }
    case QEvent::MouseButtonRelease: {
        if (dragDimension_ < 0)
            break;
        auto* e = static_cast<QMouseEvent*>(event);
        const int dimension = dragDimension_;
        const bool dropped = dragging_;
        dragDimension_ = -1;
        if (dragging_) {
            dragging_ = false;
            QApplication::restoreOverrideCursor();
        }
        if (dropped) {
            const QPoint global = e->globalPosition().toPoint();
            for (QTableView* v : views_) {
                const QPoint at = v->viewport()->mapFromGlobal(global);
                int c = 0, r = 0;
                if (v->viewport()->rect().contains(at) && gridCell(v->viewport(), at, &c, &r)) {
                    dropCaption(dimension, c, r);
                    break;
                }
            }
        }
        return true;
    }
    default:
        break;
    }
    return QFrame::eventFilter(watched, event);
}

}  // namespace pivot
