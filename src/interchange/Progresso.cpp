#include "interchange/Progresso.h"

#include "interchange/rules/TDBtxtcopy.h"

#include <QApplication>
#include <QClipboard>
#include <QProgressDialog>

namespace interchange {

namespace {
int atraso = 600;
}

DialogoProgresso::DialogoProgresso(const QString& titulo, int total, QWidget* parent)
    : dialogo_(new QProgressDialog(parent))
{
    dialogo_->setWindowTitle(titulo);
    dialogo_->setCancelButtonText(QStringLiteral("Cancelar"));
    dialogo_->setWindowModality(Qt::WindowModal);
    dialogo_->setMinimumDuration(atraso);
    dialogo_->setMinimumWidth(420);
    dialogo_->setAutoClose(false);
    dialogo_->setAutoReset(false);
    dialogo_->setRange(0, total);
    dialogo_->setValue(0);
}

DialogoProgresso::~DialogoProgresso()
{
    delete dialogo_;
}

bool DialogoProgresso::avanca(int feito, const QString& texto)
{
    dialogo_->setLabelText(texto);
    // setValue lets the dialog appear once the delay is over and answers its button.
    dialogo_->setValue(feito);
    QCoreApplication::processEvents();
    return !dialogo_->wasCanceled();
}

void DialogoProgresso::setAtraso(int milissegundos)
{
    atraso = milissegundos;
}

void instalaAreaDeTransferencia()
{
    TDBtxtcopy::setClipboardWriter([](const QString& texto) { QApplication::clipboard()->setText(texto); });
}

}  // namespace interchange
