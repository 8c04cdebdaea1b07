#include "report/Painter.h"

#include "report/LayoutEngine.h"

#include <QCoreApplication>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

namespace report {

void drawPage(QPainter& painter, const Page& page, double pixelsPerMm)
{
    constexpr double u = detail::kLayoutDpi / 25.4;  // layout units per mm
    painter.save();
    // Drawing happens in layout units with fonts of the layout's pixel size, whatever
    // the device, so every glyph run has the width the layout measured.
    painter.scale(pixelsPerMm / u, pixelsPerMm / u);
    const double fontScale = detail::kLayoutDpi / painter.device()->logicalDpiY();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);

    const QFont* current = nullptr;
    bool textPen = false;
    QColor textColor;
    for (const Item& it : page.items) {
        switch (it.kind) {
        case Item::Kind::Rect: {
            const QRectF r(it.rect.x() * u, it.rect.y() * u, it.rect.width() * u, it.rect.height() * u);
            painter.setPen(it.penWidth > 0 ? QPen(it.color, it.penWidth * u, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin)
                                           : QPen(Qt::NoPen));
            painter.setBrush(it.fill.isValid() ? QBrush(it.fill) : QBrush(Qt::NoBrush));
            painter.drawRect(r);
            textPen = false;
            break;
        }
        case Item::Kind::Line:
            painter.setPen(QPen(it.color, it.penWidth * u, Qt::SolidLine, Qt::SquareCap));
            painter.drawLine(QLineF(it.rect.topLeft() * u, it.rect.bottomRight() * u));
            textPen = false;
            break;
        case Item::Kind::Text: {
            if (!current || *current != it.font) {
                QFont f = it.font;
                f.setPointSizeF(f.pointSizeF() * fontScale);
                painter.setFont(f);
                current = &it.font;
            }
            if (!textPen || textColor != it.color) {
                painter.setPen(it.color);
                textColor = it.color;
                textPen = true;
            }
            if (it.clip) {
                painter.save();
                painter.setClipRect(QRectF(it.rect.topLeft() * u, it.rect.size() * u), Qt::IntersectClip);
            }
            for (qsizetype i = 0; i < it.lines.size(); ++i)
                painter.drawText(it.origins[i] * u, it.lines[i]);
            if (it.clip)
                painter.restore();
            break;
        }
        }
    }
    painter.restore();
}

bool PageWriter::add(const Page& page)
{
    if (failed_)
        return false;
    if (count_ == 0) {
        if (!painter_.begin(&device_)) {
            failed_ = true;
            return false;
        }
    } else {
        device_.newPage();
    }
    ++count_;
    drawPage(painter_, page, device_.logicalDpiX() / 25.4);
    return true;
}

bool PageWriter::end()
{
    if (failed_ || count_ == 0)
        return false;
    return painter_.end();
}

bool printDocument(const Document& doc, QPrinter* printer)
{
    if (!printer || doc.pages.isEmpty())
        return false;
    printer->setFullPage(true);
    printer->setPageLayout(doc.pageLayout());
    if (printer->docName().isEmpty())
        printer->setDocName(doc.title);
    int from = printer->fromPage() > 0 ? printer->fromPage() : 1;
    int to = printer->toPage() > 0 ? printer->toPage() : doc.pageCount();
    from = std::clamp(from, 1, doc.pageCount());
    to = std::clamp(to, from, doc.pageCount());
    PageWriter out(*printer);
    for (int i = from; i <= to; ++i)
        out.add(doc.pages[i - 1]);
    return out.end();
}

bool writePdf(const Document& doc, const QString& path, QString* error)
{
    if (doc.pages.isEmpty()) {
        if (error)
            *error = QStringLiteral("O relatório não tem páginas.");
        return false;
    }
    QPdfWriter writer(path);
    writer.setResolution(int(detail::kLayoutDpi));
    writer.setPageLayout(doc.pageLayout());
    writer.setTitle(doc.title);
    writer.setCreator(QCoreApplication::applicationName());
    PageWriter out(writer);
    for (const Page& page : doc.pages)
        out.add(page);
    if (!out.end()) {
        if (error)
            *error = QStringLiteral("Não foi possível gravar o arquivo %1.").arg(path);
        return false;
    }
    return true;
}

}  // namespace report
