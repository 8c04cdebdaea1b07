#pragma once
// The modal preview of a report: page navigation, zoom, printing and saving as PDF.
#include "Document.h"

#include <QDialog>

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

    const Document& document() const { return m_doc; }
    int currentPage() const { return m_page; }  // 0-based
    void setCurrentPage(int page);
    double zoom() const { return m_zoom; }  // 1.0: actual size on the screen
    ZoomMode zoomMode() const { return m_mode; }
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

    Report& m_report;
    Document m_doc;
    int m_page = 0;
    double m_zoom = 1.0;
    ZoomMode m_mode = ZoomMode::FitWidth;

    QScrollArea* m_scroll;
    PageView* m_view;
    QSpinBox* m_pageBox;
    QLabel* m_pageCount;
    QLabel* m_zoomLabel;
    QAction* m_first;
    QAction* m_prior;
    QAction* m_next;
    QAction* m_last;
    QAction* m_print;
    QAction* m_save;
};

}  // namespace report
