#include "charts/TDecisionGridRpt.h"

#include "pivot/PivotGrid.h"
#include "pivot/PivotModel.h"
#include "report/PreviewDialog.h"

#include <QApplication>

#include <cmath>
#include <stdexcept>

namespace {

pivot::FontStyle defaultFont()
{
    return {QApplication::font(), Qt::black};
}

}  // namespace

TDecisionGridRpt::TDecisionGridRpt(QObject* owner)
    : QObject(owner), captionFont_(defaultFont()), labelFont_(defaultFont()), dataFont_(defaultFont())
{
    whiten();
}

TDecisionGridRpt::~TDecisionGridRpt()
{
    disconnect(reportLifetime_);
    disconnect(gridLifetime_);
}

void TDecisionGridRpt::whiten()
{
    captionColor_ = labelColor_ = dataColor_ = dataSumColor_ = labelSumColor_ = gridColor_ = QColor(Qt::white);
}

void TDecisionGridRpt::setDecisionGrid(pivot::PivotGrid* grid)
{
    disconnect(gridLifetime_);
    grid_ = grid;
    if (!grid) {
        whiten();
        return;
    }
    // Told while the grid is half destroyed: it is let go of without being looked at.
    gridLifetime_ = connect(grid, &QObject::destroyed, this, [this] {
        grid_ = nullptr;
        disconnect(gridLifetime_);
        whiten();
    });
    columnWidth_ = std::max(1, grid->shownColWidth());
    rowHeight_ = std::max(1, grid->defaultRowHeight());
    captionFont_ = grid->captionFont();
    labelFont_ = grid->labelFont();
    dataFont_ = grid->dataFont();
    captionColor_ = grid->captionColor();
    labelColor_ = grid->labelColor();
    dataColor_ = grid->dataColor();
    dataSumColor_ = grid->dataSumColor();
    labelSumColor_ = grid->labelSumColor();
    gridColor_ = grid->color();
}

void TDecisionGridRpt::setQuickRep(report::Report* report, QObject* lifetime)
{
    disconnect(reportLifetime_);
    quickRep_ = report;
    ownsReport_ = report == nullptr;
    if (report && lifetime)
        reportLifetime_ = connect(lifetime, &QObject::destroyed, this, [this] {
            // Gone in the middle of a printing: nothing of it is left to give back.
            if (report_ && report_ == quickRep_) {
                report_ = nullptr;
                band_ = nullptr;
                labels_.clear();
            }
            setQuickRep(nullptr);
        });
}

void TDecisionGridRpt::setColumnWidth(int px)
{
    if (px < 1)
        throw std::invalid_argument("the printed column width must be at least one pixel");
    columnWidth_ = px;
}

void TDecisionGridRpt::setRowHeight(int px)
{
    if (px < 1)
        throw std::invalid_argument("the printed row height must be at least one pixel");
    rowHeight_ = px;
}

void TDecisionGridRpt::Print()
{
    if (!grid_)
        return;
    colCount_ = grid_->colCount();
    fixedCols_ = grid_->fixedCols();
    rowCount_ = grid_->rowCount();
    fixedRows_ = grid_->fixedRows();
    labels_.clear();
    PrepareReport();
    // Whatever happens in the preview, the borrowed report is given back as it was.
    struct Release {
        TDecisionGridRpt* self;
        ~Release() { self->ReleaseReport(); }
    } release{this};
    report::preview(*report_, grid_->window());
}

void TDecisionGridRpt::PrepareReport()
{
    const double rowMm = pixelsToMm(rowHeight_);
    if (ownsReport_) {
        ownReport_ = std::make_unique<report::Report>();
        report_ = ownReport_.get();
        band_ = &report_->addBand(report::BandKind::Detail, rowMm);
        bandCreated_ = true;
    } else {
        report_ = quickRep_;
        savedSource_ = report_->recordSource();
        report_->setRecordSource(nullptr);
        if (report::Band* b = report_->band(report::BandKind::Detail)) {
            band_ = b;
            bandCreated_ = false;
        } else {
            band_ = &report_->addBand(report::BandKind::Detail, rowMm);
            bandCreated_ = true;
        }
    }
    savedStart_ = report_->onReportStart();
    report_->setOnReportStart([this](report::Report& r) { ReportStart(r); });
    savedRequest_ = report_->dataRequest();
    report_->setDataRequest([this](QVariantMap& line) { return NeedData(line); });

    // Whole pixels of the band, as the screen counts them.
    const int bandPixels = int(std::floor(report_->bandWidth() * 96.0 / 25.4 + 1e-6));
    columnsToPrint_ = bandPixels / columnWidth_;
    if (columnsToPrint_ >= colCount_)
        columnsToPrint_ = colCount_ - 1;
    columnsToPrint_ = std::max(0, columnsToPrint_);

    for (report::Label* l : std::as_const(labels_))
        band_->removeElement(l);
    labels_.clear();
    band_->setHeight(rowMm);
    const double width = pixelsToMm(columnWidth_);
    for (int i = 0; i < columnsToPrint_; ++i) {
        report::Label& l = band_->addLabel(QString(), QRectF(i * width, 0, width, rowMm));
        l.setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
        l.setAutoSize(false);
        // Opaque: the band's white unless the grid's colours apply.
        l.setBackground(Qt::white);
        labels_ << &l;
    }
    currentRow_ = -fixedRows_;
}

void TDecisionGridRpt::ReportStart(report::Report&)
{
    currentRow_ = -fixedRows_;
}

bool TDecisionGridRpt::NeedData(QVariantMap&)
{
    if (!grid_ || currentRow_ > rowCount_ - fixedRows_ - 1)
        return false;
    for (int i = 0; i < labels_.size(); ++i) {
        report::Label& l = *labels_.at(i);
        const int c = i - fixedCols_ + 1;
        l.setText(grid_->cells(c, currentRow_));
        if (showGridLines_) {
            report::Frame f = l.frame();
            f.setAll(true);
            l.setFrame(f);
        }
        if (l.text() == pivot::PivotModel::errorText())
            l.setText(QString());
        if (!printInColor_)
            continue;
        const pivot::CellKind kind = grid_->cellKind(c, currentRow_);
        const bool total = grid_->cellIsTotal(c, currentRow_);
        QColor background;
        const pivot::FontStyle* font = &labelFont_;
        if (currentRow_ < 0) {
            if (kind == pivot::CellKind::Caption) {
                background = captionColor_;
                font = &captionFont_;
            } else if (kind == pivot::CellKind::Label) {
                background = total ? labelSumColor_ : labelColor_;
            } else {
                background = total ? labelSumColor_ : gridColor_;
            }
        } else if (c < 0) {
            background = total ? labelSumColor_ : labelColor_;
        } else {
            background = total ? dataSumColor_ : dataColor_;
            font = &dataFont_;
        }
        l.setBackground(background);
        l.setFont(font->font);
        l.setColor(font->color);
    }
    ++currentRow_;
    return true;
}

void TDecisionGridRpt::ReleaseReport()
{
    if (band_)
        for (report::Label* l : std::as_const(labels_))
            band_->removeElement(l);
    labels_.clear();
    if (ownReport_) {
        ownReport_.reset();
    } else if (report_) {
        report_->setRecordSource(savedSource_);
        report_->setOnReportStart(savedStart_);
        report_->setDataRequest(savedRequest_);
        if (bandCreated_)
            report_->removeBand(report::BandKind::Detail);
    }
    report_ = nullptr;
    band_ = nullptr;
    bandCreated_ = false;
    savedSource_ = nullptr;
    savedStart_ = nullptr;
    savedRequest_ = nullptr;
}
