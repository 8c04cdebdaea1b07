#pragma once
// Draws documents: on any paint device, a printer, or a PDF file.
#include "report/Document.h"

class QPainter;
class QPrinter;

namespace report {

// Draws a page with the paper's top-left corner at the painter's origin, `pixelsPerMm`
// device pixels to a millimetre (zoom included).
void drawPage(QPainter& painter, const Page& page, double pixelsPerMm);

// Every page, or the printer's page range, on the paper of the document.
bool printDocument(const Document& doc, QPrinter* printer);

// The fonts used are embedded (as subsets). A document without pages writes nothing.
bool writePdf(const Document& doc, const QString& path, QString* error = nullptr);

}  // namespace report
