#include "pivot/PivotModel.h"

#include "text/Formats.h"

#include <map>
#include <stdexcept>

namespace pivot {

namespace {

using Key = std::array<int, Cube::maxDimensions>;

}  // namespace

// What a grid cell shows, found from its coordinates.
struct PivotModel::Place {
    enum class What { Outside, Other, Caption, Label, SummaryLabel, Data };
    What what = What::Outside;
    Axis axis = Axis::Rows;
    int entry = -1;     // labels: the entry of the axis; data: the row entry
    int position = -1;  // labels and captions: the position on the axis
    int column = -1;    // data: the column entry
    bool total = false;
};

PivotModel::PivotModel(QObject* parent) : QAbstractTableModel(parent) {}

PivotModel::~PivotModel() = default;

void PivotModel::setCube(Cube* cube)
{
    if (cube_)
        disconnect(cube_, nullptr, this, nullptr);
    cube_ = cube;
    if (cube_)
        connect(cube_, &Cube::changed, this, [this] {
            if (rows_.size() + columns_.size() != cube_->dimensionCount())
                defaultLayout();
            rebuild();
        });
    defaultLayout();
    rebuild();
}

void PivotModel::defaultLayout()
{
    rows_.clear();
    columns_.clear();
    const int n = cube_ ? cube_->dimensionCount() : 0;
    for (int d = 0; d < n; ++d)
        (d == 0 ? rows_ : columns_).append(d);
}

void PivotModel::setLayout(QList<int> rows, QList<int> columns)
{
    const int n = cube_ ? cube_->dimensionCount() : 0;
    QList<int> all = rows + columns;
    std::sort(all.begin(), all.end());
    bool ok = all.size() == n;
    for (int i = 0; ok && i < n; ++i)
        ok = all.at(i) == i;
    if (!ok)
        throw std::invalid_argument("a pivot layout names every dimension of its cube once");
    rows_ = std::move(rows);
    columns_ = std::move(columns);
    rebuild();
}

void PivotModel::moveDimension(int dimension, Axis axis, int position)
{
    if (!rows_.contains(dimension) && !columns_.contains(dimension))
        throw std::invalid_argument("no such dimension in the pivot");
    QList<int> rows = rows_, columns = columns_;
    rows.removeAll(dimension);
    columns.removeAll(dimension);
    QList<int>& to = axis == Axis::Rows ? rows : columns;
    to.insert(std::clamp(position, 0, int(to.size())), dimension);
    setLayout(rows, columns);
}

void PivotModel::swapAxes()
{
    setLayout(columns_, rows_);
}

void PivotModel::setSummary(int summary)
{
    summary_ = summary;
    rebuild();
}

void PivotModel::setShowTotals(bool on)
{
    if (totals_ == on)
        return;
    totals_ = on;
    rebuild();
}

std::vector<PivotModel::Entry> PivotModel::buildAxis(const QList<int>& dims,
                                                     std::vector<std::vector<int>>& contributions) const
{
    std::vector<Entry> entries;
    const int cells = cube_ ? cube_->cellCount() : 0;
    contributions.assign(size_t(cells), {});
    if (cells == 0)
        return entries;
    const int n = int(dims.size());
    if (n == 0) {
        Entry all;
        all.values.fill(-1);
        entries.push_back(all);
        for (auto& c : contributions)
            c.push_back(0);
        return entries;
    }

    auto project = [&](int cell) {
        Key k;
        k.fill(-1);
        const Cube::Coordinates& c = cube_->cellCoordinates(cell);
        for (int p = 0; p < n; ++p)
            k[size_t(p)] = c[size_t(dims.at(p))];
        return k;
    };
    auto prefix = [](Key k, int length) {
        for (size_t p = size_t(length); p < k.size(); ++p)
            k[p] = -1;
        return k;
    };

    std::map<Key, int> leaves;
    for (int cell = 0; cell < cells; ++cell)
        leaves.emplace(project(cell), -1);

    std::map<std::pair<int, Key>, int> totals;
    auto closeGroup = [&](const Key& last, int level) {
        Entry e;
        e.values = prefix(last, level);
        e.level = level;
        e.total = true;
        totals.emplace(std::make_pair(level, e.values), int(entries.size()));
        entries.push_back(e);
    };
    const Key* previous = nullptr;
    for (auto& [key, index] : leaves) {
        if (totals_ && previous) {
            int differs = 0;
            while (differs < n && (*previous)[size_t(differs)] == key[size_t(differs)])
                ++differs;
            for (int level = n - 1; level > differs; --level)
                closeGroup(*previous, level);
        }
        Entry e;
        e.values = key;
        e.level = n;
        index = int(entries.size());
        entries.push_back(e);
        previous = &key;
    }
    if (totals_) {
        for (int level = n - 1; level >= 0; --level)
            closeGroup(*previous, level);
    }

    for (int cell = 0; cell < cells; ++cell) {
        const Key k = project(cell);
        auto& to = contributions[size_t(cell)];
        to.push_back(leaves.at(k));
        if (totals_)
            for (int level = n - 1; level >= 0; --level)
                to.push_back(totals.at({level, prefix(k, level)}));
    }
    return entries;
}

void PivotModel::rebuild()
{
    beginResetModel();
    const int k = int(rows_.size());
    const int m = int(columns_.size());
    fixedColumns_ = 1 + std::max(k, 1);
    fixedRows_ = std::max(1, m + (k > 0 ? 1 : 0));
    std::vector<std::vector<int>> toRows, toColumns;
    rowEntries_ = buildAxis(rows_, toRows);
    columnEntries_ = buildAxis(columns_, toColumns);
    const size_t width = columnEntries_.size();
    sums_.assign(rowEntries_.size() * width, 0.0);
    counts_.assign(rowEntries_.size() * width, 0);
    const bool summed = cube_ && summary_ >= 0 && summary_ < cube_->summaryCount();
    if (summed) {
        for (int cell = 0; cell < int(toRows.size()); ++cell) {
            const double sum = cube_->cellSum(cell, summary_);
            const int count = cube_->cellCount(cell, summary_);
            for (int r : toRows[size_t(cell)])
                for (int c : toColumns[size_t(cell)]) {
                    sums_[size_t(r) * width + size_t(c)] += sum;
                    counts_[size_t(r) * width + size_t(c)] += count;
                }
        }
    }
    endResetModel();
    emit pivotChanged();
}

// --- cells --------------------------------------------------------------------------

PivotModel::Place PivotModel::place(int c, int r) const
{
    const int F = fixedColumns_, H = fixedRows_, k = int(rows_.size()), m = int(columns_.size());
    const int dataColumns = dataColumnCount(), dataRows = dataRowCount();
    auto isTotal = [this](Axis a, int e) { return axis(a)[size_t(e)].total; };
    Place p;
    if (c < -F || c >= dataColumns || r < -H || r >= dataRows)
        return p;
    p.what = Place::What::Other;
    if (c == -F)
        return p;
    if (r < 0) {
        const int j = r + H;
        if (m > 0 && j < m) {
            if (c < 0) {
                if (c == -1) {
                    p.what = Place::What::Caption;
                    p.axis = Axis::Columns;
                    p.position = j;
                }
                return p;
            }
            p.what = Place::What::Label;
            p.axis = Axis::Columns;
            p.entry = c;
            p.position = j;
            p.total = isTotal(Axis::Columns, c);
            return p;
        }
        if (c < 0) {
            if (k > 0 && c + k >= 0) {
                p.what = Place::What::Caption;
                p.axis = Axis::Rows;
                p.position = c + k;
            }
            return p;
        }
        if (m == 0) {
            p.what = Place::What::SummaryLabel;
            return p;
        }
        p.total = isTotal(Axis::Columns, c);
        return p;
    }
    if (c < 0) {
        if (k == 0) {
            if (c == -1)
                p.what = Place::What::SummaryLabel;
            return p;
        }
        if (c + k >= 0) {
            p.what = Place::What::Label;
            p.axis = Axis::Rows;
            p.entry = r;
            p.position = c + k;
            p.total = isTotal(Axis::Rows, r);
        }
        return p;
    }
    p.what = Place::What::Data;
    p.entry = r;
    p.column = c;
    p.total = isTotal(Axis::Rows, r) || isTotal(Axis::Columns, c);
    return p;
}

bool PivotModel::contains(int column, int row) const
{
    return column >= -fixedColumns_ && column < dataColumnCount() && row >= -fixedRows_ && row < dataRowCount();
}

bool PivotModel::entryIsTotal(Axis a, int entry) const
{
    return axis(a).at(size_t(entry)).total;
}

QString PivotModel::summaryCaption() const
{
    if (!cube_ || summary_ < 0 || summary_ >= cube_->summaryCount())
        return {};
    return cube_->summaries()[size_t(summary_)].caption;
}

QString PivotModel::formatValue(double value) const
{
    const QString mask = cube_ && summary_ >= 0 && summary_ < cube_->summaryCount()
        ? cube_->summaries()[size_t(summary_)].displayFormat
        : QString();
    return mask.isEmpty() ? text::floatToText(value) : text::formatFloat(mask, value);
}

QVariant PivotModel::value(int rowEntry, int columnEntry) const
{
    const size_t i = size_t(rowEntry) * columnEntries_.size() + size_t(columnEntry);
    if (rowEntry < 0 || columnEntry < 0 || rowEntry >= dataRowCount() || columnEntry >= dataColumnCount() || counts_[i] == 0)
        return {};
    return sums_[i];
}

QString PivotModel::fullLabel(Axis a, int entry, int position) const
{
    const Entry& e = axis(a)[size_t(entry)];
    if (position >= e.level)
        return position == e.level ? totalText() : QString();
    return cube_->valueText(dims(a).at(position), e.values[size_t(position)]);
}

QString PivotModel::labelText(Axis a, int entry, int position) const
{
    const auto& entries = axis(a);
    const Entry& e = entries[size_t(entry)];
    if (position < e.level && entry > 0) {
        const Entry& before = entries[size_t(entry) - 1];
        bool same = before.level > position;
        for (int p = 0; same && p <= position; ++p)
            same = before.values[size_t(p)] == e.values[size_t(p)];
        if (same)
            return {};
    }
    return fullLabel(a, entry, position);
}

QString PivotModel::entryCaption(Axis a, int entry) const
{
    const int n = int(dims(a).size());
    if (n == 0)
        return summaryCaption();
    const Entry& e = axis(a).at(size_t(entry));
    QStringList parts;
    for (int p = 0; p <= std::min(e.level, n - 1); ++p)
        parts << fullLabel(a, entry, p).trimmed();
    return parts.join(QStringLiteral(" / "));
}

QString PivotModel::cellText(int column, int row) const
{
    const Place p = place(column, row);
    switch (p.what) {
    case Place::What::Outside:
        return errorText();
    case Place::What::Other:
        return {};
    case Place::What::Caption:
        return cube_->dimensions()[size_t(dims(p.axis).at(p.position))].caption;
    case Place::What::Label:
        return labelText(p.axis, p.entry, p.position);
    case Place::What::SummaryLabel:
        return summaryCaption();
    case Place::What::Data: {
        const QVariant v = value(p.entry, p.column);
        return v.isNull() ? QString() : formatValue(v.toDouble());
    }
    }
    return {};
}

CellKind PivotModel::cellKind(int column, int row) const
{
    switch (place(column, row).what) {
    case Place::What::Caption:
        return CellKind::Caption;
    case Place::What::Label:
    case Place::What::SummaryLabel:
        return CellKind::Label;
    case Place::What::Data:
        return CellKind::Data;
    default:
        return CellKind::Other;
    }
}

bool PivotModel::cellIsTotal(int column, int row) const
{
    return place(column, row).total;
}

QVariant PivotModel::cellValue(int column, int row) const
{
    const Place p = place(column, row);
    return p.what == Place::What::Data ? value(p.entry, p.column) : QVariant();
}

int PivotModel::captionDimension(int column, int row, Axis* a) const
{
    const Place p = place(column, row);
    if (p.what != Place::What::Caption)
        return -1;
    if (a)
        *a = p.axis;
    return dims(p.axis).at(p.position);
}

int PivotModel::labelSpan(int column, int row) const
{
    const Place p = place(column, row);
    if (p.what != Place::What::Label)
        return 1;
    const auto& entries = axis(p.axis);
    const Entry& e = entries[size_t(p.entry)];
    if (p.position > e.level)
        return 1;
    if (labelText(p.axis, p.entry, p.position).isEmpty() && p.position < e.level)
        return 0;
    if (p.position == e.level)
        return 1;
    int span = 1;
    for (size_t i = size_t(p.entry) + 1; i < entries.size(); ++i) {
        const Entry& q = entries[i];
        bool same = q.level > p.position;
        for (int x = 0; same && x <= p.position; ++x)
            same = q.values[size_t(x)] == e.values[size_t(x)];
        if (!same)
            break;
        ++span;
    }
    return span;
}

QString PivotModel::toTabSeparated() const
{
    QString out;
    for (int r = -fixedRows_; r < dataRowCount(); ++r) {
        QStringList line;
        for (int c = -fixedColumns_ + 1; c < dataColumnCount(); ++c) {
            if (cellKind(c, r) == CellKind::Data) {
                const QVariant v = cellValue(c, r);
                line << (v.isNull() ? QString() : text::floatToText(v.toDouble()));
                continue;
            }
            QString t = cellText(c, r);
            t.replace(QLatin1Char('\t'), QLatin1Char(' '));
            t.replace(QLatin1Char('\n'), QLatin1Char(' '));
            t.replace(QLatin1Char('\r'), QLatin1Char(' '));
            while (t.endsWith(QLatin1Char(' ')))
                t.chop(1);
            line << t;
        }
        out += line.join(QLatin1Char('\t')) + QLatin1Char('\n');
    }
    return out;
}

// --- item model -----------------------------------------------------------------------

int PivotModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : gridRowCount();
}

int PivotModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : gridColumnCount();
}

QVariant PivotModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int c = gridColumn(index), r = gridRow(index);
    switch (role) {
    case Qt::DisplayRole:
    case Qt::AccessibleTextRole:
        return cellText(c, r);
    case Qt::ToolTipRole: {
        // The whole of a label that its column cuts short.
        const CellKind kind = cellKind(c, r);
        if (kind != CellKind::Caption && kind != CellKind::Label)
            return {};
        const QString t = cellText(c, r).trimmed();
        return t.isEmpty() ? QVariant() : QVariant(t);
    }
    case KindRole:
        return int(cellKind(c, r));
    case TotalRole:
        return cellIsTotal(c, r);
    case ValueRole:
        return cellValue(c, r);
    case Qt::TextAlignmentRole:
        return int(cellKind(c, r) == CellKind::Data ? Qt::AlignRight | Qt::AlignVCenter : Qt::AlignLeft | Qt::AlignVCenter);
    default:
        return {};
    }
}

}  // namespace pivot
