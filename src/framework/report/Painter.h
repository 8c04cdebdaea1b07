#pragma once
// Draws documents: on any paint device, a printer, or a PDF file.
#include "report/Document.h"

#include <QPainter>

class QPagedPaintDevice;
class QPrinter;

namespace report {

// Draws a page with the paper's top-left corner at the painter's origin, `pixelsPerMm`
// device pixels to a millimetre (zoom included).
void drawPage(QPainter& painter, const Page& page, double pixelsPerMm);

// Every page, or the printer's page range, on the paper of the document.
bool printDocument(const Document& doc, QPrinter* printer);

// The fonts used are embedded (as subsets). A document without pages writes nothing.
bool writePdf(const Document& doc, const QString& path, QString* error = nullptr);

// Draws pages one after another onto a printer or a PDF writer whose paper is set,
// beginning it with the first page (so that a run without pages touches nothing).
class PageWriter {
public:
    explicit PageWriter(QPagedPaintDevice& device) : device_(device) {}
    PageWriter(const PageWriter&) = delete;
    PageWriter& operator=(const PageWriter&) = delete;

    // False once the device could not be begun; later pages are then dropped.
    bool add(const Page& page);
    // Ends the device; false when it failed or no page was added.
    bool end();
    int count() const { return count_; }

private:
    QPagedPaintDevice& device_;
    QPainter painter_;
    int count_ = 0;
    bool failed_ = false;
};

}  // namespace report
