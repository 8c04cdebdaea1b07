#include "report/PreviewDialog.h"

#include "report/Painter.h"
#include "widgets/Dialogs.h"
#include "report/Report.h"

#include <QAction>
#include <QEvent>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QPainter>
#include <QPointer>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>
#include <QSpinBox>
#include <QScreen>
#include <QStyle>
#include <QToolButton>
#include <QToolBar>
#include <QVBoxLayout>

namespace report {

namespace {
PreviewSink& sinkSlot()
{
    static PreviewSink sink;
    return sink;
}

PrinterCheck& printerCheckSlot()
{
    static PrinterCheck check;
    return check;
}
}  // namespace

void setPrinterCheck(PrinterCheck check)
{
    printerCheckSlot() = std::move(check);
}

bool printerInstalled()
{
    if (const PrinterCheck& check = printerCheckSlot())
        return check();
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

void setPreviewSink(PreviewSink sink)
{
    sinkSlot() = std::move(sink);
}

const PreviewSink& previewSink()
{
    return sinkSlot();
}

bool preview(Report& report, QWidget* parent)
{
    Document doc = report.run();
    const bool pages = doc.pageCount() > 0;
    if (const PreviewSink& sink = previewSink()) {
        sink(report, doc);
        return pages;
    }
    if (!pages)
        return false;
    // The window that opened the preview has the keyboard again once it closes, on the
    // control that had it: not every window system gives the activation back by itself.
    const QPointer<QWidget> opener = parent ? parent->window() : nullptr;
    const QPointer<QWidget> focused = opener ? opener->focusWidget() : nullptr;
    {
        PreviewDialog dialog(report, std::move(doc), parent);
        dialog.exec();
    }
    if (opener && opener->isVisible()) {
        opener->activateWindow();
        if (focused)
            focused->setFocus(Qt::ActiveWindowFocusReason);
    }
    return true;
}

namespace {
constexpr int kGap = 12;  // grey border around the page, pixels
}

class PreviewDialog::PageView : public QWidget {
public:
    explicit PageView(PreviewDialog& owner) : QWidget(nullptr), owner_(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    double pixelsPerMm() const { return owner_.screenPixelsPerMm() * owner_.zoom_; }

    void updateSize()
    {
        const QSizeF mm = owner_.doc_.paperSize();
        const double s = pixelsPerMm();
        setFixedSize(int(mm.width() * s) + 2 * kGap, int(mm.height() * s) + 2 * kGap);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const auto& pages = owner_.doc_.pages;
        if (pages.isEmpty())
            return;
        const QRect paper(kGap, kGap, width() - 2 * kGap, height() - 2 * kGap);
        p.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 90));
        p.fillRect(paper, Qt::white);
        p.translate(paper.topLeft());
        drawPage(p, pages.at(owner_.page_), pixelsPerMm());
    }

private:
    PreviewDialog& owner_;
};

PreviewDialog::PreviewDialog(Report& report, Document doc, QWidget* parent)
    : QDialog(parent), report_(report), doc_(std::move(doc))
{
    setWindowTitle(doc_.title.isEmpty() ? QStringLiteral("Visualização da impressão")
                                         : QStringLiteral("Visualização - %1").arg(doc_.title));
    setModal(true);
    setSizeGripEnabled(true);

    auto* bar = new QToolBar(this);
    QStyle* st = style();
    // Navigation shows icons only and zoom short captions only, so that the whole bar,
    // "Fechar" too, fits a 1024×768 screen. A short caption leaves the command's name (its
    // text, tooltip and accessible name) whole; the key is in the tooltip.
    auto add = [&](const QString& text, auto slot, Qt::ToolButtonStyle look, const QIcon& icon = {},
                   const QKeySequence& key = {}, const QString& caption = {}) {
        auto* a = new QAction(icon, text, bar);
        a->setShortcut(key);
        if (!caption.isEmpty())
            a->setIconText(caption);
        a->setToolTip(key.isEmpty() ? text : QStringLiteral("%1 (%2)").arg(text, key.toString(QKeySequence::NativeText)));
        connect(a, &QAction::triggered, this, slot);
        auto* button = new QToolButton(bar);
        button->setDefaultAction(a);
        button->setToolButtonStyle(look);
        button->setAutoRaise(true);
        button->setAccessibleName(text);
        bar->addWidget(button);
        return a;
    };
    first_ = add(QStringLiteral("Primeira"), &PreviewDialog::firstPage, Qt::ToolButtonIconOnly,
                  st->standardIcon(QStyle::SP_MediaSkipBackward), QKeySequence(Qt::CTRL | Qt::Key_Home));
    prior_ = add(QStringLiteral("Anterior"), &PreviewDialog::priorPage, Qt::ToolButtonIconOnly,
                  st->standardIcon(QStyle::SP_MediaSeekBackward), QKeySequence(Qt::Key_PageUp));
    pageBox_ = new QSpinBox(this);
    pageBox_->setAccessibleName(QStringLiteral("Página"));
    pageBox_->setRange(doc_.pageCount() > 0 ? 1 : 0, std::max(1, doc_.pageCount()));
    pageBox_->setKeyboardTracking(false);
    bar->addWidget(pageBox_);
    pageCount_ = new QLabel(QStringLiteral(" de %1 ").arg(doc_.pageCount()), this);
    bar->addWidget(pageCount_);
    next_ = add(QStringLiteral("Próxima"), &PreviewDialog::nextPage, Qt::ToolButtonIconOnly,
                 st->standardIcon(QStyle::SP_MediaSeekForward), QKeySequence(Qt::Key_PageDown));
    last_ = add(QStringLiteral("Última"), &PreviewDialog::lastPage, Qt::ToolButtonIconOnly,
                 st->standardIcon(QStyle::SP_MediaSkipForward), QKeySequence(Qt::CTRL | Qt::Key_End));
    bar->addSeparator();
    add(QStringLiteral("Largura da página"), &PreviewDialog::fitWidth, Qt::ToolButtonTextOnly, {}, {},
        QStringLiteral("Largura"));
    add(QStringLiteral("Página inteira"), &PreviewDialog::fitPage, Qt::ToolButtonTextOnly, {}, {},
        QStringLiteral("Inteira"));
    add(QStringLiteral("100%"), &PreviewDialog::actualSize, Qt::ToolButtonTextOnly);
    add(QStringLiteral("Reduzir"), &PreviewDialog::zoomOut, Qt::ToolButtonTextOnly, {},
        QKeySequence(Qt::CTRL | Qt::Key_Minus), QStringLiteral("−"));
    add(QStringLiteral("Ampliar"), &PreviewDialog::zoomIn, Qt::ToolButtonTextOnly, {},
        QKeySequence(Qt::CTRL | Qt::Key_Plus), QStringLiteral("+"));
    zoomLabel_ = new QLabel(this);
    zoomLabel_->setMinimumWidth(44);
    zoomLabel_->setAlignment(Qt::AlignCenter);
    bar->addWidget(zoomLabel_);
    bar->addSeparator();
    print_ = add(QStringLiteral("Imprimir"), &PreviewDialog::print, Qt::ToolButtonTextBesideIcon,
                  st->standardIcon(QStyle::SP_FileDialogContentsView), QKeySequence::Print);
    save_ = add(QStringLiteral("Salvar PDF"), &PreviewDialog::savePdfAs, Qt::ToolButtonTextBesideIcon,
                 st->standardIcon(QStyle::SP_DialogSaveButton), QKeySequence::Save);
    add(QStringLiteral("Fechar"), &QDialog::accept, Qt::ToolButtonTextBesideIcon,
        st->standardIcon(QStyle::SP_DialogCloseButton), QKeySequence(Qt::Key_Escape));

    view_ = new PageView(*this);
    scroll_ = new QScrollArea(this);
    scroll_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    scroll_->setBackgroundRole(QPalette::Dark);
    scroll_->setWidget(view_);
    scroll_->setAccessibleName(QStringLiteral("Página do relatório"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(scroll_, 1);

    connect(pageBox_, &QSpinBox::valueChanged, this, [this](int v) { setCurrentPage(v - 1); });
    // A fitting zoom follows the room the page has, which is known only once laid out.
    scroll_->viewport()->installEventFilter(this);
    const QScreen* screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    const QSize room = screen ? screen->availableGeometry().size() : QSize(1024, 768);
    resize(std::min(1100, room.width() * 9 / 10), room.height() * 9 / 10);
    applyMode();
    refresh();
}

PreviewDialog::~PreviewDialog() = default;

double PreviewDialog::screenPixelsPerMm() const
{
    return logicalDpiX() / 25.4;
}

void PreviewDialog::setCurrentPage(int page)
{
    if (doc_.pages.isEmpty())
        return;
    page = std::clamp(page, 0, doc_.pageCount() - 1);
    if (page == page_)
        return;
    page_ = page;
    scroll_->verticalScrollBar()->setValue(0);
    refresh();
}

void PreviewDialog::setZoom(double factor)
{
    mode_ = ZoomMode::Fixed;
    zoom_ = std::clamp(factor, 0.1, 8.0);
    refresh();
}

void PreviewDialog::firstPage() { setCurrentPage(0); }
void PreviewDialog::priorPage() { setCurrentPage(page_ - 1); }
void PreviewDialog::nextPage() { setCurrentPage(page_ + 1); }
void PreviewDialog::lastPage() { setCurrentPage(doc_.pageCount() - 1); }
void PreviewDialog::actualSize() { setZoom(1.0); }
void PreviewDialog::zoomIn() { setZoom(zoom_ * 1.25); }
void PreviewDialog::zoomOut() { setZoom(zoom_ / 1.25); }

void PreviewDialog::fitWidth()
{
    mode_ = ZoomMode::FitWidth;
    applyMode();
    refresh();
}

void PreviewDialog::fitPage()
{
    mode_ = ZoomMode::FitPage;
    applyMode();
    refresh();
}

void PreviewDialog::applyMode()
{
    if (mode_ == ZoomMode::Fixed)
        return;
    const QSizeF mm = doc_.paperSize();
    const QSize area = scroll_->viewport()->size();
    // Room for a vertical scroll bar, so that fitting the width does not need a horizontal one.
    const int bar = scroll_->verticalScrollBar()->sizeHint().width();
    const double perMm = screenPixelsPerMm();
    const double z = mode_ == ZoomMode::FitWidth
        ? (area.width() - bar - 2 * kGap) / (mm.width() * perMm)
        : std::min((area.width() - 2 * kGap) / (mm.width() * perMm), (area.height() - 2 * kGap) / (mm.height() * perMm));
    zoom_ = std::clamp(z, 0.1, 8.0);
}

void PreviewDialog::refresh()
{
    const int n = doc_.pageCount();
    {
        const QSignalBlocker block(pageBox_);
        pageBox_->setValue(n > 0 ? page_ + 1 : 0);
    }
    first_->setEnabled(page_ > 0);
    prior_->setEnabled(page_ > 0);
    next_->setEnabled(page_ < n - 1);
    last_->setEnabled(page_ < n - 1);
    print_->setEnabled(n > 0);
    save_->setEnabled(n > 0);
    zoomLabel_->setText(QStringLiteral("%1%").arg(qRound(zoom_ * 100)));
    view_->updateSize();
}

bool PreviewDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == scroll_->viewport() && e->type() == QEvent::Resize && mode_ != ZoomMode::Fixed) {
        const double before = zoom_;
        applyMode();
        if (zoom_ != before)
            refresh();
    }
    return QDialog::eventFilter(watched, e);
}

bool PreviewDialog::printTo(QPrinter* printer)
{
    return report_.print(printer);
}

bool PreviewDialog::savePdf(const QString& path, QString* error)
{
    return report_.exportPdf(path, error);
}

void PreviewDialog::print()
{
    // Without a printer the print dialog would only write a file: said, and "Salvar PDF"
    // offered instead.
    if (!printerInstalled()) {
        if (ui::Dialogs::confirm(QStringLiteral("Não há impressora instalada para imprimir o relatório.\n"
                                                "Deseja salvar o relatório em PDF?"),
                                 this))
            savePdfAs();
        return;
    }
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(doc_.pageLayout());
    printer.setDocName(doc_.title);
    const QString caption = QStringLiteral("Imprimir");
    const bool accepted = ui::Dialogs::print(
        caption,
        [&] {
            QPrintDialog dialog(&printer, this);
            dialog.setWindowTitle(caption);
            dialog.setMinMax(1, std::max(1, doc_.pageCount()));
            return dialog.exec() == QDialog::Accepted;
        },
        [&](const QString& path) {
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(path);
        });
    if (!accepted)
        return;
    if (!printTo(&printer)) {
        const QString where = printer.outputFileName().isEmpty() ? printer.printerName() : printer.outputFileName();
        ui::Dialogs::warning(QStringLiteral("Não foi possível imprimir o relatório%1.\n"
                                            "Verifique se a impressora está ligada e disponível e tente de novo, "
                                            "ou salve o relatório em PDF.")
                                 .arg(where.isEmpty() ? QString() : QStringLiteral(" em \"%1\"").arg(where)),
                             this);
    }
}

void PreviewDialog::savePdfAs()
{
    QString name = doc_.title.isEmpty() ? QStringLiteral("relatorio") : doc_.title;
    name.replace(QRegularExpression(QStringLiteral(R"([\\/:*?"<>|])")), QStringLiteral("_"));
    QString path = ui::Dialogs::saveFileName(QStringLiteral("Salvar PDF"), name + QStringLiteral(".pdf"),
                                             QStringLiteral("Arquivos PDF (*.pdf)"), this);
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!savePdf(path, &error))
        ui::Dialogs::warning(error + QStringLiteral("\nVerifique se a pasta existe e se você pode gravar nela, ou escolha outra."),
                             this);
}

}  // namespace report
