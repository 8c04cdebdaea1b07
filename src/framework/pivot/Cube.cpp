#include "pivot/Cube.h"

#include <QCollator>
#include <QDateTime>
#include <QHash>
#include <QLocale>
#include <QProgressDialog>

#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <unordered_map>

namespace pivot {

TableRows::TableRows(const QStringList& columns, QList<QVariantList> rows) : columns_(columns), rows_(std::move(rows)) {}

int TableRows::columnIndex(const QString& name) const
{
    for (int i = 0; i < columns_.size(); ++i)
        if (columns_.at(i).compare(name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace {

bool isNull(const QVariant& v)
{
    return !v.isValid() || v.isNull();
}

bool isNumber(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return true;
    default:
        return false;
    }
}

bool isDate(const QVariant& v)
{
    return v.typeId() == QMetaType::QDate || v.typeId() == QMetaType::QDateTime;
}

QDateTime asDateTime(const QVariant& v)
{
    return v.typeId() == QMetaType::QDate ? QDateTime(v.toDate(), QTime(0, 0)) : v.toDateTime();
}

// Equal values give equal keys whatever their type: 3 and 3.0 are one label.
QString keyOf(const QVariant& v)
{
    if (isNull(v))
        return QStringLiteral("N");
    if (isNumber(v))
        return QLatin1Char('F') + QString::number(v.toDouble(), 'g', 17);
    if (isDate(v))
        return QLatin1Char('D') + asDateTime(v).toString(Qt::ISODateWithMs);
    return QLatin1Char('S') + v.toString();
}

int rank(const QVariant& v)
{
    if (isNull(v))
        return 0;
    if (isNumber(v))
        return 1;
    if (isDate(v))
        return 2;
    return 3;
}

struct CoordinatesHash {
    size_t operator()(const Cube::Coordinates& c) const noexcept
    {
        size_t h = 0;
        for (int x : c)
            h = h * 1000003u ^ size_t(unsigned(x));
        return h;
    }
};

}  // namespace

Cube::Cube(QObject* parent) : QObject(parent) {}

Cube::~Cube() = default;

void Cube::addDimension(const QString& field, const QString& caption)
{
    if (dimensionCount() >= maxDimensions)
        throw std::logic_error("a cube has at most 5 dimensions");
    dimensions_.push_back({field, caption.isEmpty() ? field : caption});
    clear();
}

void Cube::addSummary(const QString& field, const QString& caption, const QString& displayFormat)
{
    if (summaryCount() >= maxSummaries)
        throw std::logic_error("a cube has at most 10 summaries");
    summaries_.push_back({field, caption.isEmpty() ? field : caption, displayFormat});
    clear();
}

void Cube::clear()
{
    active_ = false;
    values_.assign(dimensions_.size(), {});
    coords_.clear();
    sums_.clear();
    counts_.clear();
    rowsRead_ = 0;
    emit changed();
}

QString Cube::valueText(int dimension, int index) const
{
    const QVariant& v = values(dimension).at(index);
    if (isNull(v))
        return {};
    if (isNumber(v))
        return QLocale().toString(v.toDouble(), 'g', 15);
    return v.toString();
}

void Cube::build(const RowSource& source, const Progress& progress)
{
    const size_t nd = dimensions_.size();
    const size_t ns = summaries_.size();
    std::vector<int> dimColumn(nd), sumColumn(ns);
    auto column = [&](const QString& field) {
        const int c = source.columnIndex(field);
        if (c < 0) {
            clear();
            throw std::runtime_error(QStringLiteral("O campo %1 não existe nos dados do cubo.").arg(field).toStdString());
        }
        return c;
    };
    for (size_t d = 0; d < nd; ++d)
        dimColumn[d] = column(dimensions_[d].field);
    for (size_t s = 0; s < ns; ++s)
        sumColumn[s] = column(summaries_[s].field);

    const int rows = source.rowCount();
    // First pass: each row's values by the order they were met.
    std::vector<QVariantList> met(nd);
    std::vector<QHash<QString, int>> ids(nd);
    std::vector<int> rowIds(size_t(rows) * nd);
    for (int r = 0; r < rows; ++r) {
        for (size_t d = 0; d < nd; ++d) {
            const QVariant v = source.value(r, dimColumn[d]);
            const QString key = keyOf(v);
            auto it = ids[d].constFind(key);
            if (it == ids[d].constEnd()) {
                it = ids[d].insert(key, int(met[d].size()));
                met[d].append(v);
            }
            rowIds[size_t(r) * nd + d] = *it;
        }
        if (progress && (r & 4095) == 4095)
            progress(r + 1, rows);
    }

    // Labels in order.
    QCollator collator(QLocale(QLocale::Portuguese, QLocale::Brazil));
    std::vector<QVariantList> values(nd);
    std::vector<std::vector<int>> position(nd);
    for (size_t d = 0; d < nd; ++d) {
        const QVariantList& v = met[d];
        std::vector<int> order(size_t(v.size()));
        std::iota(order.begin(), order.end(), 0);
        std::sort(order.begin(), order.end(), [&](int a, int b) {
            const QVariant &x = v.at(a), &y = v.at(b);
            const int rx = rank(x), ry = rank(y);
            if (rx != ry)
                return rx < ry;
            switch (rx) {
            case 1:
                return x.toDouble() < y.toDouble();
            case 2:
                return asDateTime(x) < asDateTime(y);
            case 3: {
                const QString sx = x.toString(), sy = y.toString();
                const int c = collator.compare(sx, sy);
                return c != 0 ? c < 0 : sx < sy;
            }
            default:
                return false;
            }
        });
        position[d].resize(order.size());
        for (size_t i = 0; i < order.size(); ++i) {
            position[d][size_t(order[i])] = int(i);
            values[d].append(v.at(order[i]));
        }
    }

    // Second pass: the sums of every combination met.
    std::unordered_map<Coordinates, int, CoordinatesHash> cellOf;
    std::vector<Coordinates> coords;
    std::vector<double> sums;
    std::vector<int> counts;
    for (int r = 0; r < rows; ++r) {
        Coordinates c{};
        for (size_t d = 0; d < nd; ++d)
            c[d] = position[d][size_t(rowIds[size_t(r) * nd + d])];
        auto [it, inserted] = cellOf.try_emplace(c, int(coords.size()));
        if (inserted) {
            coords.push_back(c);
            sums.resize(sums.size() + ns, 0.0);
            counts.resize(counts.size() + ns, 0);
        }
        const size_t base = size_t(it->second) * ns;
        for (size_t s = 0; s < ns; ++s) {
            const QVariant v = source.value(r, sumColumn[s]);
            if (isNull(v))
                continue;
            bool ok = false;
            const double x = v.toDouble(&ok);
            if (!ok)
                continue;
            sums[base + s] += x;
            ++counts[base + s];
        }
    }

    // Cells in the order of their coordinates, so that a cube reads the same every time.
    std::vector<int> order(coords.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [&](int a, int b) { return coords[size_t(a)] < coords[size_t(b)]; });
    coords_.clear();
    sums_.clear();
    counts_.clear();
    coords_.reserve(coords.size());
    sums_.reserve(sums.size());
    counts_.reserve(counts.size());
    for (int i : order) {
        coords_.push_back(coords[size_t(i)]);
        for (size_t s = 0; s < ns; ++s) {
            sums_.push_back(sums[size_t(i) * ns + s]);
            counts_.push_back(counts[size_t(i) * ns + s]);
        }
    }
    values_ = std::move(values);
    rowsRead_ = rows;
    active_ = true;
    if (progress)
        progress(rows, rows);
    emit changed();
}

void buildWithProgress(Cube& cube, const RowSource& source, QWidget* parent)
{
    QProgressDialog dialog(parent);
    dialog.setWindowTitle(QStringLiteral("Cubo de decisão"));
    dialog.setLabelText(QStringLiteral("Lendo os dados..."));
    dialog.setCancelButton(nullptr);
    dialog.setWindowModality(Qt::WindowModal);
    // Quick builds show nothing.
    dialog.setMinimumDuration(400);
    dialog.setRange(0, std::max(1, source.rowCount()));
    dialog.setValue(0);
    cube.build(source, [&dialog](int done, int total) {
        dialog.setMaximum(std::max(1, total));
        dialog.setValue(done);
    });
    dialog.reset();
}

}  // namespace pivot
