#include "PreviewDialog.h"

#include "Painter.h"
#include "Report.h"

#include <QAction>
#include <QEvent>
#include <QFileDialog>
#include <QGuiApplication>
#include <QKeySequence>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
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
constexpr int kGap = 12;  // grey border around the page, pixels
}

class PreviewDialog::PageView : public QWidget {
public:
    explicit PageView(PreviewDialog& owner) : QWidget(nullptr), m_owner(owner)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    double pixelsPerMm() const { return m_owner.screenPixelsPerMm() * m_owner.m_zoom; }

    void updateSize()
    {
        const QSizeF mm = m_owner.m_doc.paperSize();
        const double s = pixelsPerMm();
        setFixedSize(int(mm.width() * s) + 2 * kGap, int(mm.height() * s) + 2 * kGap);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const auto& pages = m_owner.m_doc.pages;
        if (pages.isEmpty())
            return;
        const QRect paper(kGap, kGap, width() - 2 * kGap, height() - 2 * kGap);
        p.fillRect(paper.translated(3, 3), QColor(0, 0, 0, 90));
        p.fillRect(paper, Qt::white);
        p.translate(paper.topLeft());
        drawPage(p, pages.at(m_owner.m_page), pixelsPerMm());
    }

private:
    PreviewDialog& m_owner;
};

PreviewDialog::PreviewDialog(Report& report, Document doc, QWidget* parent)
    : QDialog(parent), m_report(report), m_doc(std::move(doc))
{
    setWindowTitle(m_doc.title.isEmpty() ? QStringLiteral("Visualização da impressão")
                                         : QStringLiteral("Visualização - %1").arg(m_doc.title));
    setModal(true);
    setSizeGripEnabled(true);

    auto* bar = new QToolBar(this);
    QStyle* st = style();
    // Navigation shows icons only and zoom texts only, so that the bar fits a small screen.
    auto add = [&](const QString& text, auto slot, Qt::ToolButtonStyle look, const QIcon& icon = {},
                   const QKeySequence& key = {}) {
        auto* a = new QAction(icon, text, bar);
        a->setShortcut(key);
        a->setToolTip(text);
        connect(a, &QAction::triggered, this, slot);
        auto* button = new QToolButton(bar);
        button->setDefaultAction(a);
        button->setToolButtonStyle(look);
        button->setAutoRaise(true);
        bar->addWidget(button);
        return a;
    };
    m_first = add(QStringLiteral("Primeira"), &PreviewDialog::firstPage, Qt::ToolButtonIconOnly,
                  st->standardIcon(QStyle::SP_MediaSkipBackward), QKeySequence(Qt::CTRL | Qt::Key_Home));
    m_prior = add(QStringLiteral("Anterior"), &PreviewDialog::priorPage, Qt::ToolButtonIconOnly,
                  st->standardIcon(QStyle::SP_MediaSeekBackward), QKeySequence(Qt::Key_PageUp));
    m_pageBox = new QSpinBox(this);
    m_pageBox->setAccessibleName(QStringLiteral("Página"));
    m_pageBox->setRange(m_doc.pageCount() > 0 ? 1 : 0, std::max(1, m_doc.pageCount()));
    m_pageBox->setKeyboardTracking(false);
    bar->addWidget(m_pageBox);
    m_pageCount = new QLabel(QStringLiteral(" de %1 ").arg(m_doc.pageCount()), this);
    bar->addWidget(m_pageCount);
    m_next = add(QStringLiteral("Próxima"), &PreviewDialog::nextPage, Qt::ToolButtonIconOnly,
                 st->standardIcon(QStyle::SP_MediaSeekForward), QKeySequence(Qt::Key_PageDown));
    m_last = add(QStringLiteral("Última"), &PreviewDialog::lastPage, Qt::ToolButtonIconOnly,
                 st->standardIcon(QStyle::SP_MediaSkipForward), QKeySequence(Qt::CTRL | Qt::Key_End));
    bar->addSeparator();
    add(QStringLiteral("Largura da página"), &PreviewDialog::fitWidth, Qt::ToolButtonTextOnly);
    add(QStringLiteral("Página inteira"), &PreviewDialog::fitPage, Qt::ToolButtonTextOnly);
    add(QStringLiteral("100%"), &PreviewDialog::actualSize, Qt::ToolButtonTextOnly);
    add(QStringLiteral("Reduzir"), &PreviewDialog::zoomOut, Qt::ToolButtonTextOnly, {},
        QKeySequence(Qt::CTRL | Qt::Key_Minus));
    add(QStringLiteral("Ampliar"), &PreviewDialog::zoomIn, Qt::ToolButtonTextOnly, {},
        QKeySequence(Qt::CTRL | Qt::Key_Plus));
    m_zoomLabel = new QLabel(this);
    m_zoomLabel->setMinimumWidth(44);
    m_zoomLabel->setAlignment(Qt::AlignCenter);
    bar->addWidget(m_zoomLabel);
    bar->addSeparator();
    m_print = add(QStringLiteral("Imprimir"), &PreviewDialog::print, Qt::ToolButtonTextBesideIcon,
                  st->standardIcon(QStyle::SP_FileDialogContentsView), QKeySequence::Print);
    m_save = add(QStringLiteral("Salvar PDF"), &PreviewDialog::savePdfAs, Qt::ToolButtonTextBesideIcon,
                 st->standardIcon(QStyle::SP_DialogSaveButton), QKeySequence::Save);
    add(QStringLiteral("Fechar"), &QDialog::accept, Qt::ToolButtonTextBesideIcon,
        st->standardIcon(QStyle::SP_DialogCloseButton));

    m_view = new PageView(*this);
    m_scroll = new QScrollArea(this);
    m_scroll->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    m_scroll->setBackgroundRole(QPalette::Dark);
    m_scroll->setWidget(m_view);
    m_scroll->setAccessibleName(QStringLiteral("Página do relatório"));

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(bar);
    layout->addWidget(m_scroll, 1);

    connect(m_pageBox, &QSpinBox::valueChanged, this, [this](int v) { setCurrentPage(v - 1); });
    // A fitting zoom follows the room the page has, which is known only once laid out.
    m_scroll->viewport()->installEventFilter(this);
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
    if (m_doc.pages.isEmpty())
        return;
    page = std::clamp(page, 0, m_doc.pageCount() - 1);
    if (page == m_page)
        return;
    m_page = page;
    m_scroll->verticalScrollBar()->setValue(0);
    refresh();
}

void PreviewDialog::setZoom(double factor)
{
    m_mode = ZoomMode::Fixed;
    m_zoom = std::clamp(factor, 0.1, 8.0);
    refresh();
}

void PreviewDialog::firstPage() { setCurrentPage(0); }
void PreviewDialog::priorPage() { setCurrentPage(m_page - 1); }
void PreviewDialog::nextPage() { setCurrentPage(m_page + 1); }
void PreviewDialog::lastPage() { setCurrentPage(m_doc.pageCount() - 1); }
void PreviewDialog::actualSize() { setZoom(1.0); }
void PreviewDialog::zoomIn() { setZoom(m_zoom * 1.25); }
void PreviewDialog::zoomOut() { setZoom(m_zoom / 1.25); }

void PreviewDialog::fitWidth()
{
    m_mode = ZoomMode::FitWidth;
    applyMode();
    refresh();
}

void PreviewDialog::fitPage()
{
    m_mode = ZoomMode::FitPage;
    applyMode();
    refresh();
}

void PreviewDialog::applyMode()
{
    if (m_mode == ZoomMode::Fixed)
        return;
    const QSizeF mm = m_doc.paperSize();
    const QSize area = m_scroll->viewport()->size();
    // Room for a vertical scroll bar, so that fitting the width does not need a horizontal one.
    const int bar = m_scroll->verticalScrollBar()->sizeHint().width();
    const double perMm = screenPixelsPerMm();
    const double z = m_mode == ZoomMode::FitWidth
        ? (area.width() - bar - 2 * kGap) / (mm.width() * perMm)
        : std::min((area.width() - 2 * kGap) / (mm.width() * perMm), (area.height() - 2 * kGap) / (mm.height() * perMm));
    m_zoom = std::clamp(z, 0.1, 8.0);
}

void PreviewDialog::refresh()
{
    const int n = m_doc.pageCount();
    {
        const QSignalBlocker block(m_pageBox);
        m_pageBox->setValue(n > 0 ? m_page + 1 : 0);
    }
    m_first->setEnabled(m_page > 0);
    m_prior->setEnabled(m_page > 0);
    m_next->setEnabled(m_page < n - 1);
    m_last->setEnabled(m_page < n - 1);
    m_print->setEnabled(n > 0);
    m_save->setEnabled(n > 0);
    m_zoomLabel->setText(QStringLiteral("%1%").arg(qRound(m_zoom * 100)));
    m_view->updateSize();
}

bool PreviewDialog::eventFilter(QObject* watched, QEvent* e)
{
    if (watched == m_scroll->viewport() && e->type() == QEvent::Resize && m_mode != ZoomMode::Fixed) {
        const double before = m_zoom;
        applyMode();
        if (m_zoom != before)
            refresh();
    }
    return QDialog::eventFilter(watched, e);
}

bool PreviewDialog::printTo(QPrinter* printer)
{
    return m_report.print(printer);
}

bool PreviewDialog::savePdf(const QString& path, QString* error)
{
    return m_report.exportPdf(path, error);
}

void PreviewDialog::print()
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageLayout(m_doc.pageLayout());
    printer.setDocName(m_doc.title);
    QPrintDialog dialog(&printer, this);
    dialog.setWindowTitle(QStringLiteral("Imprimir"));
    dialog.setMinMax(1, std::max(1, m_doc.pageCount()));
    if (dialog.exec() != QDialog::Accepted)
        return;
    if (!printTo(&printer))
        QMessageBox::warning(this, windowTitle(), QStringLiteral("Não foi possível imprimir o relatório."));
}

void PreviewDialog::savePdfAs()
{
    QString name = m_doc.title.isEmpty() ? QStringLiteral("relatorio") : m_doc.title;
    name.replace(QRegularExpression(QStringLiteral(R"([\\/:*?"<>|])")), QStringLiteral("_"));
    QString path = QFileDialog::getSaveFileName(this, QStringLiteral("Salvar PDF"), name + QStringLiteral(".pdf"),
                                                QStringLiteral("Arquivos PDF (*.pdf)"));
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    QString error;
    if (!savePdf(path, &error))
        QMessageBox::warning(this, windowTitle(), error);
}

}  // namespace report
