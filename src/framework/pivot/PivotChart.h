#pragma once
// A bar chart of a pivot: one group of bars per data row of the grid, one bar in each
// group per data column (totals left out), the first series in the chart's colour. It
// saves itself as PNG or PDF and prints itself on a page in landscape.
#include "pivot/PivotModel.h"

#include <QChartView>
#include <QPointer>

class QPrinter;

namespace pivot {

class PivotChart : public QChartView {
    Q_OBJECT
public:
    explicit PivotChart(QWidget* parent = nullptr);
    ~PivotChart() override;

    void setSource(PivotModel* model);  // not owned
    PivotModel* source() const { return model_; }

    QString title() const { return title_; }
    void setTitle(const QString& title);
    // The first series' colour; the others take distinct colours after it.
    QColor seriesColor() const { return color_; }
    void setSeriesColor(const QColor& c);

    // What the chart shows: the categories and, per series, its name and values.
    QStringList categories() const;
    QStringList seriesNames() const;
    QList<qreal> values(int series) const;
    QColor seriesColor(int series) const;

    // The chart laid out at `layout` pixels and drawn scaled into target.
    void render(QPainter& painter, const QRectF& target, const QSizeF& layout) const;
    // Twice the pixels of `layout` (1000 x 600 by default), for a sharp picture.
    QImage image(const QSizeF& layout = QSizeF(1000, 600)) const;
    bool savePng(const QString& path, QString* error = nullptr) const;
    // One A4 page in landscape.
    bool savePdf(const QString& path, QString* error = nullptr) const;
    // On one page of printer, turned to landscape for the printing; the printer's
    // orientation is restored afterwards, whatever happens.
    bool print(QPrinter& printer, QString* error = nullptr) const;

private:
    void rebuild();
    void fill(QChart* chart) const;

    QPointer<PivotModel> model_;
    QString title_;
    QColor color_ = Qt::red;
};

// The printer the program prints on without asking: the system's default printer,
// created on first use and kept, with its settings, for the whole run.
QPrinter& defaultPrinter();

}  // namespace pivot
