#pragma once
// The base of the program's windows: a dialog that sees the keyboard before its
// controls (FormKeyDown, and FormKeyPress for Enter), runs its handlers guarded, is
// centred on the screen the first time it is shown and then runs FormShow.
#include <QDialog>
#include <functional>
#include <initializer_list>
#include <utility>

class QAction;
class QIcon;
class QToolBar;
class QToolButton;

namespace ui {

class FormWindow : public QDialog {
    Q_OBJECT
public:
    explicit FormWindow(QWidget* owner = nullptr, Qt::WindowFlags flags = {});
    ~FormWindow() override;

    // Runs a handler as a user's action does: an exception is shown in the standard
    // error box. Returns false when it threw.
    bool run(const std::function<void()>& handler);

    // Run when the window is shown.
    virtual void FormShow() {}
    // Every key pressed in the window, before the focused control; setting key to 0
    // keeps it from the control.
    virtual void FormKeyDown(int& key, Qt::KeyboardModifiers shift) {}
    // Enter, after FormKeyDown let it through; 0 keeps it from the control.
    virtual void FormKeyPress(int& key) {}

    // For FormKeyDown: the F-keys of the window's tool buttons, pressed with neither Shift,
    // Ctrl nor Alt. The key of an enabled action triggers it and is taken (set to 0).
    static void triggerForKey(int& key, Qt::KeyboardModifiers shift,
                              std::initializer_list<std::pair<int, QAction*>> actions);
    // For FormKeyPress: Enter moves to the next control, as Tab does.
    void enterMovesToNextControl(int& key);

    // The window's fixed toolbar "ToolBar1": captions under pictures of the given size,
    // never moved or floated, named for screen readers.
    QToolBar* createToolBar(int iconSize);

    // A toolbar button showing picture and caption (its '&' letter underlined and
    // clickable with Alt), never taking the focus, at least minimum in size, whose
    // click runs handler guarded.
    QAction* addToolButton(QToolBar* bar, const QString& caption, const QString& hint, const QIcon& icon,
                           std::function<void()> handler, const QSize& minimum);
    static QToolButton* toolButton(QToolBar* bar, QAction* action);

    // Esc closes the window when it has no "Sair" of its own; a window with Sair keeps
    // Esc from closing it (Sair and the close box do). Off unless set.
    void setClosesOnEscape(bool closes) { closesOnEscape_ = closes; }
    bool closesOnEscape() const { return closesOnEscape_; }

protected:
    void showEvent(QShowEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool centred_ = false;
    bool closesOnEscape_ = false;
    // The key press being offered to the window, so that its propagation to the
    // parents of an ignoring control is not offered again.
    const QEvent* offered_ = nullptr;
    QObject* offeredTo_ = nullptr;
};

}  // namespace ui
