#include "widgets/FormWindow.h"

#include "widgets/Guard.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QScreen>
#include <QShowEvent>
#include <QToolBar>
#include <QToolButton>

namespace ui {

FormWindow::FormWindow(QWidget* owner, Qt::WindowFlags flags) : QDialog(owner, flags)
{
    // Keys reach the window before the focused control.
    qApp->installEventFilter(this);
}

FormWindow::~FormWindow()
{
    qApp->removeEventFilter(this);
}

bool FormWindow::run(const std::function<void()>& handler)
{
    return guarded(handler, this);
}

QToolBar* FormWindow::createToolBar(int iconSize)
{
    auto* bar = new QToolBar(this);
    bar->setObjectName(QStringLiteral("ToolBar1"));
    bar->setMovable(false);
    bar->setFloatable(false);
    bar->setIconSize(QSize(iconSize, iconSize));
    bar->setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    bar->setAccessibleName(QStringLiteral("Barra de ferramentas"));
    return bar;
}

QAction* FormWindow::addToolButton(QToolBar* bar, const QString& caption, const QString& hint, const QIcon& icon,
                                   std::function<void()> handler, const QSize& minimum)
{
    auto* a = new QAction(icon, caption, this);
    // The caption keeps its '&': the button underlines the letter and Alt+letter clicks it.
    a->setIconText(caption);
    a->setToolTip(hint);
    bar->addAction(a);
    QToolButton* b = toolButton(bar, a);
    b->setMinimumSize(minimum);
    b->setFocusPolicy(Qt::NoFocus);
    connect(a, &QAction::triggered, this, [this, handler = std::move(handler)] { run(handler); });
    return a;
}

QToolButton* FormWindow::toolButton(QToolBar* bar, QAction* action)
{
    return qobject_cast<QToolButton*>(bar->widgetForAction(action));
}

void FormWindow::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (e->spontaneous())
        return;
    if (!centred_) {
        centred_ = true;
        if (const QScreen* s = screen())
            move(s->availableGeometry().center() - rect().center());
    }
    run([this] { FormShow(); });
}

void FormWindow::keyPressEvent(QKeyEvent* e)
{
    // Esc that no control used: it closes a window without Sair; one with Sair is closed
    // by Sair (F10) and the close box.
    if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier) {
        if (closesOnEscape_) {
            e->accept();
            close();
        } else {
            e->ignore();
        }
        return;
    }
    QDialog::keyPressEvent(e);
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event)
{
    const QEvent::Type type = event->type();
    if (type == QEvent::ShortcutOverride || type == QEvent::KeyRelease) {
        // A new key is on its way.
        offered_ = nullptr;
        offeredTo_ = nullptr;
        return false;
    }
    if (type != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    auto* w = static_cast<QWidget*>(watched);
    if (w->window() != this)
        return false;
    // A control that ignored the key passes it on to its parent: the same key.
    if (event == offered_ && offeredTo_ && offeredTo_->parent() == watched) {
        offeredTo_ = watched;
        return false;
    }
    offered_ = event;
    offeredTo_ = watched;
    auto* ke = static_cast<QKeyEvent*>(event);
    int key = ke->key();
    const Qt::KeyboardModifiers mods = ke->modifiers();
    run([&] { FormKeyDown(key, mods); });
    if (key == 0)
        return true;
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        run([&] { FormKeyPress(key); });
        if (key == 0)
            return true;
    }
    return false;
}

void FormWindow::triggerForKey(int& key, Qt::KeyboardModifiers shift,
                               std::initializer_list<std::pair<int, QAction*>> actions)
{
    if (shift & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier))
        return;
    for (const auto& [k, action] : actions) {
        if (k == key && action && action->isEnabled()) {
            key = 0;
            action->trigger();
            return;
        }
    }
}

void FormWindow::enterMovesToNextControl(int& key)
{
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
        key = 0;
        focusNextChild();
    }
}

}  // namespace ui
