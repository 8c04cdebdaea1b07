#pragma once
// The modal preview of a report: page navigation, zoom, printing and saving as PDF.
#include "report/Document.h"

#include <QDialog>
#include <functional>

class QAction;
class QLabel;
class QPrinter;
class QScrollArea;
class QSpinBox;

namespace report {

class Report;

class PreviewDialog : public QDialog {
    Q_OBJECT
public:
    enum class ZoomMode { FitWidth, FitPage, Fixed };

    // Shows `doc`, which `report` produced; printing and saving run `report` again.
    PreviewDialog(Report& report, Document doc, QWidget* parent = nullptr);
    ~PreviewDialog() override;

    const Document& document() const { return doc_; }
    int currentPage() const { return page_; }  // 0-based
    void setCurrentPage(int page);
    double zoom() const { return zoom_; }  // 1.0: actual size on the screen
    ZoomMode zoomMode() const { return mode_; }
    void setZoom(double factor);

    // What "Imprimir" and "Salvar PDF" do once their dialogs are answered.
    bool printTo(QPrinter* printer);
    bool savePdf(const QString& path, QString* error = nullptr);

public slots:
    void firstPage();
    void priorPage();
    void nextPage();
    void lastPage();
    void fitWidth();
    void fitPage();
    void actualSize();
    void zoomIn();
    void zoomOut();
    void print();
    void savePdfAs();

protected:
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    class PageView;

    void refresh();
    void applyMode();
    double screenPixelsPerMm() const;

    Report& report_;
    Document doc_;
    int page_ = 0;
    double zoom_ = 1.0;
    ZoomMode mode_ = ZoomMode::FitWidth;

    QScrollArea* scroll_;
    PageView* view_;
    QSpinBox* pageBox_;
    QLabel* pageCount_;
    QLabel* zoomLabel_;
    QAction* first_;
    QAction* prior_;
    QAction* next_;
    QAction* last_;
    QAction* print_;
    QAction* save_;
};

// Runs the report and shows it in the modal preview, or hands it to the preview sink.
// The dialog does not open for a report without pages; the sink receives it all the same.
// Returns whether the report had pages.
bool preview(Report& report, QWidget* parent = nullptr);

// Whether a printer is installed, asked before "Imprimir" offers the print dialog (which,
// without one, would only print to a file); tests replace it. An empty function restores
// the system's answer.
using PrinterCheck = std::function<bool()>;
void setPrinterCheck(PrinterCheck check);
bool printerInstalled();

// Receives every document preview() would show, instead of the dialog; tests set it to
// read what a window previews. An empty function restores the dialog.
using PreviewSink = std::function<void(Report&, const Document&)>;
void setPreviewSink(PreviewSink sink);
const PreviewSink& previewSink();

}  // namespace report
