#pragma once
// "Apoio" > "Cópia de Segurança": a backup made now, into a file the clerk may choose
// (by default the backups' folder), with its progress; and the last copies of that
// folder with their dates and sizes. Restoring is the database tool's, with the program
// closed. Also the copy the end of a run makes, told in the main window's status bar.
#include "widgets/FormWindow.h"

#include <functional>

class QLabel;
class QLineEdit;
class QPushButton;
class QStatusBar;
class QTableWidget;

class TfrmCopiaSeguranca : public ui::FormWindow {
    Q_OBJECT
public:
    explicit TfrmCopiaSeguranca(QWidget* owner = nullptr);

    QLabel* LblBanco;
    QLineEdit* EdtArquivo;
    QPushButton* BtnEscolher;
    QPushButton* BtnCopiar;
    QTableWidget* GrdCopias;
    QPushButton* BtnFechar;

    void BtnEscolherClick();
    void BtnCopiarClick();
    // Reads the backups' folder again.
    void MostraCopias();

private:
    QLabel* titulo_;
    // The file proposed: while the clerk leaves it, a copy takes the name of its minute.
    QString proposto_;
};

namespace copia {
// At the end of a run: when the newest copy is older than a day, a copy (a line in
// barra while it runs), then the newest KORVA_COPIAS kept. continuar is asked as the
// copy goes; false stops it (the program is asked to end at once), leaving nothing. A
// failure is told in a box.
void copiaAoEncerrar(QStatusBar* barra, const std::function<bool()>& continuar);
}  // namespace copia
