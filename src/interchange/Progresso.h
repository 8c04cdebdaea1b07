#pragma once
// The progress of a long import or export: a modal dialog with a cancel button that
// appears only when the work lasts longer than a moment.
#include <QString>

class QProgressDialog;
class QWidget;

namespace interchange {

class DialogoProgresso {
public:
    DialogoProgresso(const QString& titulo, int total, QWidget* parent);
    ~DialogoProgresso();
    DialogoProgresso(const DialogoProgresso&) = delete;
    DialogoProgresso& operator=(const DialogoProgresso&) = delete;

    // Shows where the work stands; false once the user asked to cancel.
    bool avanca(int feito, const QString& texto);
    QProgressDialog* dialogo() const { return dialogo_; }

    // How long the work runs before the dialog appears (tests show it at once).
    static void setAtraso(int milissegundos);

private:
    QProgressDialog* dialogo_;
};

// Makes the text writer's clipboard destination the system clipboard.
void instalaAreaDeTransferencia();

}  // namespace interchange
