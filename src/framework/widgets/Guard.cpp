#include "widgets/Guard.h"

#include "widgets/Dialogs.h"

#include <stdexcept>

// The framework's error classes carry Portuguese messages as QStrings; std::exception's
// what() is UTF-8, so both arrive right.
namespace ui {

QString currentExceptionMessage()
{
    try {
        throw;
    } catch (const std::exception& e) {
        return QString::fromUtf8(e.what());
    } catch (...) {
        return QStringLiteral("Erro desconhecido.");
    }
}

bool guarded(const std::function<void()>& f, QWidget* parent)
{
    try {
        f();
        return true;
    } catch (...) {
        Dialogs::error(currentExceptionMessage(), parent);
        return false;
    }
}

}  // namespace ui
