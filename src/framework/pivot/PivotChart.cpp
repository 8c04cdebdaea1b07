#include "pivot/PivotChart.h"

#include <QBarCategoryAxis>
#include <QBarSeries>
#include <QBarSet>
#include <QChart>
#include <QCoreApplication>
#include <QGraphicsLayout>
#include <QGraphicsScene>
#include <QImage>
#include <QLocale>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QValueAxis>

namespace pivot {

namespace {

constexpr double kPixelsPerMm = 96.0 / 25.4;

QColor seriesColour(const QColor& first, int i)
{
    static const QColor others[] = {QColor(0x1f, 0x77, 0xb4), QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                    QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b), QColor(0xe3, 0x77, 0xc2),
                                    QColor(0x7f, 0x7f, 0x7f), QColor(0xbc, 0xbd, 0x22), QColor(0x17, 0xbe, 0xcf),
                                    QColor(0xae, 0xc7, 0xe8), QColor(0x98, 0xdf, 0x8a), QColor(0xff, 0xbb, 0x78),
                                    QColor(0xc5, 0xb0, 0xd5), QColor(0xc4, 0x9c, 0x94), QColor(0xf7, 0xb6, 0xd2),
                                    QColor(0xc7, 0xc7, 0xc7), QColor(0xdb, 0xdb, 0x8d), QColor(0x9e, 0xda, 0xe5),
                                    QColor(0x8b, 0x00, 0x00)};
    if (i == 0)
        return first;
    return others[(i - 1) % int(std::size(others))];
}

QBarSeries* barSeries(const QChart* chart)
{
    const auto all = chart->series();
    return all.isEmpty() ? nullptr : qobject_cast<QBarSeries*>(all.first());
}

}  // namespace

PivotChart::PivotChart(QWidget* parent) : QChartView(parent)
{
    setRenderHint(QPainter::Antialiasing);
    chart()->setAnimationOptions(QChart::NoAnimation);
    rebuild();
}

PivotChart::~PivotChart() = default;

void PivotChart::setSource(PivotModel* model)
{
    if (model_)
        disconnect(model_, nullptr, this, nullptr);
    model_ = model;
    if (model_)
        connect(model_, &PivotModel::pivotChanged, this, [this] { rebuild(); });
    rebuild();
}

void PivotChart::setTitle(const QString& title)
{
    title_ = title;
    chart()->setTitle(title);
}

void PivotChart::setSeriesColor(const QColor& c)
{
    color_ = c;
    rebuild();
}

void PivotChart::rebuild()
{
    fill(chart());
}

void PivotChart::fill(QChart* chart) const
{
    chart->removeAllSeries();
    for (QAbstractAxis* a : chart->axes()) {
        chart->removeAxis(a);
        delete a;
    }
    chart->setTitle(title_);
    QFont titleFont = chart->titleFont();
    titleFont.setPointSizeF(12);
    titleFont.setBold(true);
    chart->setTitleFont(titleFont);
    chart->setLocalizeNumbers(true);
    chart->setLocale(QLocale(QLocale::Portuguese, QLocale::Brazil));
    chart->legend()->setAlignment(Qt::AlignBottom);

    QList<int> rows, columns;
    if (model_) {
        for (int r = 0; r < model_->entryCount(Axis::Rows); ++r)
            if (!model_->entryIsTotal(Axis::Rows, r))
                rows << r;
        for (int c = 0; c < model_->entryCount(Axis::Columns); ++c)
            if (!model_->entryIsTotal(Axis::Columns, c))
                columns << c;
    }
    if (rows.isEmpty() || columns.isEmpty()) {
        chart->legend()->hide();
        return;
    }

    auto* series = new QBarSeries;
    double low = 0, high = 0;
    for (int i = 0; i < columns.size(); ++i) {
        auto* set = new QBarSet(model_->entryCaption(Axis::Columns, columns.at(i)));
        const QColor colour = seriesColour(color_, i);
        set->setColor(colour);
        set->setBorderColor(colour.darker(130));
        for (int r : rows) {
            const double v = model_->value(r, columns.at(i)).toDouble();
            low = std::min(low, v);
            high = std::max(high, v);
            set->append(v);
        }
        series->append(set);
    }
    chart->addSeries(series);

    QStringList categories;
    bool longLabels = false;
    for (int r : rows) {
        categories << model_->entryCaption(Axis::Rows, r);
        longLabels = longLabels || categories.last().size() > 4;
    }
    auto* x = new QBarCategoryAxis;
    x->append(categories);
    if (longLabels && categories.size() > 8)
        x->setLabelsAngle(-45);
    chart->addAxis(x, Qt::AlignBottom);
    series->attachAxis(x);

    auto* y = new QValueAxis;
    if (high <= low)
        high = low + 1;
    y->setRange(low, high);
    y->applyNiceNumbers();
    y->setLabelFormat(high - low >= 100 ? QStringLiteral("%.0f") : QStringLiteral("%.2f"));
    chart->addAxis(y, Qt::AlignLeft);
    series->attachAxis(y);
    // Many series: a column of names at the side, where each keeps its room.
    chart->legend()->setAlignment(columns.size() > 8 ? Qt::AlignRight : Qt::AlignBottom);
    QFont legendFont = chart->legend()->font();
    legendFont.setPointSizeF(columns.size() > 12 ? 7 : QFont().pointSizeF());
    chart->legend()->setFont(legendFont);
    chart->legend()->show();
}

QStringList PivotChart::categories() const
{
    const auto axes = chart()->axes(Qt::Horizontal);
    if (axes.isEmpty())
        return {};
    auto* x = qobject_cast<QBarCategoryAxis*>(axes.first());
    return x ? x->categories() : QStringList();
}

QStringList PivotChart::seriesNames() const
{
    QStringList names;
    if (QBarSeries* s = barSeries(chart()))
        for (const QBarSet* set : s->barSets())
            names << set->label();
    return names;
}

QList<qreal> PivotChart::values(int series) const
{
    QList<qreal> out;
    QBarSeries* s = barSeries(chart());
    if (!s || series < 0 || series >= s->count())
        return out;
    const QBarSet* set = s->barSets().at(series);
    for (int i = 0; i < set->count(); ++i)
        out << set->at(i);
    return out;
}

QColor PivotChart::seriesColor(int series) const
{
    QBarSeries* s = barSeries(chart());
    if (!s || series < 0 || series >= s->count())
        return {};
    return s->barSets().at(series)->color();
}

void PivotChart::render(QPainter& painter, const QRectF& target, const QSizeF& layout) const
{
    QGraphicsScene scene;
    auto* chart = new QChart;  // the scene owns it
    chart->setAnimationOptions(QChart::NoAnimation);
    scene.addItem(chart);
    fill(chart);
    const QRectF area(QPointF(0, 0), layout);
    chart->setGeometry(area);
    if (QGraphicsLayout* l = chart->layout())
        l->activate();
    scene.setSceneRect(area);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    scene.render(&painter, target, area, Qt::KeepAspectRatio);
    painter.restore();
}

QImage PivotChart::image(const QSizeF& layout) const
{
    constexpr qreal scale = 2;
    QImage image((layout * scale).toSize(), QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    QPainter p(&image);
    render(p, QRectF(QPointF(0, 0), layout), layout);
    p.end();
    return image;
}

bool PivotChart::savePng(const QString& path, QString* error) const
{
    if (image().save(path, "PNG"))
        return true;
    if (error)
        *error = QStringLiteral("Não foi possível gravar o gráfico em \"%1\".").arg(path);
    return false;
}

bool PivotChart::savePdf(const QString& path, QString* error) const
{
    QPdfWriter writer(path);
    writer.setResolution(300);
    writer.setTitle(title_);
    writer.setCreator(QCoreApplication::applicationName());
    writer.setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Landscape, QMarginsF(10, 10, 10, 10),
                                     QPageLayout::Millimeter));
    QPainter p;
    if (!p.begin(&writer)) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o gráfico em \"%1\".").arg(path);
        return false;
    }
    const QPageLayout page = writer.pageLayout();
    render(p, QRectF(page.paintRectPixels(writer.resolution())).translated(-page.paintRectPixels(writer.resolution()).topLeft()),
           page.paintRect(QPageLayout::Millimeter).size() * kPixelsPerMm);
    return p.end();
}

bool PivotChart::print(QPrinter& printer, QString* error) const
{
    struct Restore {
        QPrinter& printer;
        QPageLayout::Orientation orientation;
        ~Restore() { printer.setPageOrientation(orientation); }
    } restore{printer, printer.pageLayout().orientation()};

    const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
    // Without printers Qt falls back to a PDF printer with no file.
    if (!printer.isValid() || (printer.printerName().isEmpty() && printer.outputFileName().isEmpty())) {
        if (error)
            *error = QStringLiteral("Não há impressora padrão instalada para imprimir o gráfico.\n"
                                    "Instale uma impressora, ou salve o gráfico em PDF.");
        return false;
    }
    printer.setPageOrientation(QPageLayout::Landscape);
    printer.setDocName(title_);
    QPainter p;
    bool ok = p.begin(&printer);
    if (ok) {
        const QRectF page = printer.pageRect(QPrinter::DevicePixel);
        render(p, QRectF(QPointF(0, 0), page.size()), printer.pageRect(QPrinter::Millimeter).size() * kPixelsPerMm);
        ok = p.end();
    }
    if (!ok && error)
        *error = QStringLiteral("Não foi possível imprimir o gráfico%1.\n"
                                "Verifique se a impressora está ligada e disponível e tente de novo, ou salve o gráfico em PDF.")
                     .arg(where.isEmpty() ? QString() : QStringLiteral(" em \"%1\"").arg(where));
    return ok;
}

QPrinter& defaultPrinter()
{
    static QPrinter* printer = nullptr;
    if (!printer) {
        printer = new QPrinter(QPrinter::HighResolution);
        const QString name = QPrinterInfo::defaultPrinterName();
        if (!name.isEmpty())
            printer->setPrinterName(name);
        qAddPostRoutine([] {
            delete printer;
            printer = nullptr;
        });
    }
    return *printer;
}

}  // namespace pivot
