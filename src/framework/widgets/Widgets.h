#pragma once
// Plain (not data-aware) controls the windows share.
#include <QLineEdit>
#include <QListWidget>
#include <QStatusBar>
#include <QTabWidget>
#include <functional>

class QLabel;

namespace ui {

// A money value with two decimals in the process formats ("1.234,50"). While it has
// the focus it offers the value without grouping ("1234,50"); letters are refused
// with a beep.
class MoneyEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MoneyEdit(QWidget* parent = nullptr);
    // The amount typed (text::parseAmount; empty is 0). While the text is not an amount
    // ("1.50", "1.5") it stays as typed, and value() throws with "Valor inválido.", so
    // that no handler goes on with the last amount that was one.
    double value() const;
    bool hasValidText() const { return valid_; }
    void setValue(double value);
    // The mask of the value shown without the focus (text::masks::money by default;
    // text::masks::reais adds the currency symbol).
    void setDisplayMask(const QString& mask);
    QString displayMask() const { return displayMask_; }

signals:
    void valueChanged(double value);

protected:
    void focusInEvent(QFocusEvent* e) override;
    void focusOutEvent(QFocusEvent* e) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    void showValue(bool forEdit);
    double value_ = 0;
    bool valid_ = true;
    QString displayMask_;
};

// A list of items each with a check box.
class CheckList : public QListWidget {
    Q_OBJECT
public:
    explicit CheckList(QWidget* parent = nullptr);
    void setItems(const QStringList& items);
    void addItem(const QString& text, bool checked = false);
    QStringList items() const;
    bool isChecked(int index) const;
    void setChecked(int index, bool on);
    QList<int> checkedIndexes() const;
    QStringList checkedItems() const;

signals:
    void checkChanged(int index, bool on);
};

// A status bar of fixed panels (the last one with width 0 stretches).
class StatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit StatusBar(const QList<int>& widths = {0}, QWidget* parent = nullptr);
    int panelCount() const { return int(panels_.size()); }
    QString panelText(int index) const;
    void setPanelText(int index, const QString& text);
    QLabel* panel(int index) const { return panels_.value(index); }

private:
    QList<QLabel*> panels_;
};

// A page control: the user's page changes (clicking a tab, the tab bar's keys, a tab's
// mnemonic, Ctrl+Tab) ask the veto first and are announced by changed(); a page
// change made by the program (setCurrentPage) runs no user rule and announces nothing.
class PageControl : public QTabWidget {
    Q_OBJECT
public:
    explicit PageControl(QWidget* parent = nullptr);

    // Called before a user's change with the page left and the page wanted; false
    // refuses the change.
    std::function<bool(int from, int to)> changeVeto;

    void setCurrentPage(int index);
    void setCurrentPage(QWidget* page);
    QWidget* currentPage() const { return currentWidget(); }
    int pageIndex() const { return currentIndex(); }

    // Tabs drawn as flat buttons with bold captions.
    void setFlatTabs(bool on);

    // The user's path to another page; returns whether the page changed.
    bool requestPage(int index);

signals:
    // The user changed the page (after the change).
    void changed(int index);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* e) override;

private:
    int nextEnabled(int from, int step, bool wrap) const;
};

}  // namespace ui
