#include "widgets/Widgets.h"

#include "text/Formats.h"
#include "widgets/Look.h"

#include <QKeyEvent>
#include <QLabel>
#include <QShortcutEvent>
#include <QTabBar>
#include <cmath>
#include <optional>
#include <stdexcept>

namespace ui {

// --- MoneyEdit ----------------------------------------------------------------

MoneyEdit::MoneyEdit(QWidget* parent) : QLineEdit(parent), displayMask_(text::masks::money)
{
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    showValue(false);
    connect(this, &QLineEdit::textEdited, this, [this](const QString& t) {
        const std::optional<double> v = t.trimmed().isEmpty() ? std::optional<double>(0.0) : text::parseAmount(t);
        valid_ = v.has_value();
        if (v && *v != value_) {
            value_ = *v;
            emit valueChanged(*v);
        }
    });
}

double MoneyEdit::value() const
{
    if (!valid_)
        throw std::runtime_error("Valor inválido.");
    return value_;
}

void MoneyEdit::setValue(double value)
{
    const bool changed = value != value_;
    valid_ = true;
    value_ = value;
    showValue(hasFocus());
    if (changed)
        emit valueChanged(value);
}

void MoneyEdit::setDisplayMask(const QString& mask)
{
    displayMask_ = mask;
    showValue(hasFocus());
}

void MoneyEdit::showValue(bool forEdit)
{
    // A text that is no amount stays as typed, to be corrected.
    if (!valid_)
        return;
    // A read-only box is a total shown, never typed into: it keeps its display.
    forEdit = forEdit && !isReadOnly();
    setText(text::formatFloat(forEdit ? QStringLiteral("0.00") : displayMask_, value_));
}

void MoneyEdit::focusInEvent(QFocusEvent* e)
{
    QLineEdit::focusInEvent(e);
    showValue(true);
    selectAll();
}

void MoneyEdit::focusOutEvent(QFocusEvent* e)
{
    QLineEdit::focusOutEvent(e);
    showValue(false);
}

void MoneyEdit::keyPressEvent(QKeyEvent* e)
{
    const QString t = e->text();
    if (t.size() == 1 && t.front().isPrint()) {
        const QChar c = t.front();
        const bool ok = c.isDigit() || c == text::formats().decimalSeparator || c == u'-' ||
                        c == text::formats().thousandSeparator;
        if (!ok) {
            beep();
            return;
        }
    }
    QLineEdit::keyPressEvent(e);
}

// --- CheckList ----------------------------------------------------------------

CheckList::CheckList(QWidget* parent) : QListWidget(parent)
{
    connect(this, &QListWidget::itemChanged, this, [this](QListWidgetItem* item) {
        emit checkChanged(row(item), item->checkState() == Qt::Checked);
    });
}

void CheckList::setItems(const QStringList& items)
{
    clear();
    for (const QString& t : items)
        addItem(t);
}

void CheckList::addItem(const QString& text, bool checked)
{
    auto* item = new QListWidgetItem(text, this);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    item->setCheckState(checked ? Qt::Checked : Qt::Unchecked);
}

QStringList CheckList::items() const
{
    QStringList out;
    for (int i = 0; i < count(); ++i)
        out << item(i)->text();
    return out;
}

bool CheckList::isChecked(int index) const
{
    const QListWidgetItem* i = item(index);
    return i && i->checkState() == Qt::Checked;
}

void CheckList::setChecked(int index, bool on)
{
    if (QListWidgetItem* i = item(index))
        i->setCheckState(on ? Qt::Checked : Qt::Unchecked);
}

QList<int> CheckList::checkedIndexes() const
{
    QList<int> out;
    for (int i = 0; i < count(); ++i)
        if (isChecked(i))
            out << i;
    return out;
}

QStringList CheckList::checkedItems() const
{
    QStringList out;
    for (int i : checkedIndexes())
        out << item(i)->text();
    return out;
}

// --- StatusBar ----------------------------------------------------------------

StatusBar::StatusBar(const QList<int>& widths, QWidget* parent) : QStatusBar(parent)
{
    setSizeGripEnabled(false);
    for (int w : widths) {
        auto* label = new QLabel(this);
        // The frame keeps all four sides; the text stands off its left edge by an indent
        // (contents margins would replace the frame's own and cut its top and bottom).
        label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        label->setIndent(3);
        if (w > 0)
            label->setFixedWidth(w);
        addWidget(label, w > 0 ? 0 : 1);
        panels_ << label;
    }
}

QString StatusBar::panelText(int index) const
{
    const QLabel* l = panels_.value(index);
    return l ? l->text() : QString();
}

void StatusBar::setPanelText(int index, const QString& text)
{
    if (QLabel* l = panels_.value(index)) {
        l->setText(text);
        l->setAccessibleName(text);
    }
}

// --- PageControl --------------------------------------------------------------

PageControl::PageControl(QWidget* parent) : QTabWidget(parent)
{
    tabBar()->installEventFilter(this);
}

void PageControl::setCurrentPage(int index)
{
    setCurrentIndex(index);
}

void PageControl::setCurrentPage(QWidget* page)
{
    setCurrentWidget(page);
}

void PageControl::setFlatTabs(bool on)
{
    setDocumentMode(on);
    QFont f = tabBar()->font();
    f.setBold(on);
    tabBar()->setFont(f);
}

bool PageControl::requestPage(int index)
{
    const int from = currentIndex();
    if (index < 0 || index >= count() || index == from || !isTabEnabled(index))
        return false;
    if (changeVeto && !changeVeto(from, index))
        return false;
    setCurrentIndex(index);
    emit changed(index);
    return true;
}

int PageControl::nextEnabled(int from, int step, bool wrap) const
{
    const int n = count();
    for (int k = 1; k < n; ++k) {
        int i = from + step * k;
        if (wrap)
            i = ((i % n) + n) % n;
        else if (i < 0 || i >= n)
            return -1;
        if (isTabEnabled(i))
            return i;
    }
    return -1;
}

bool PageControl::eventFilter(QObject* watched, QEvent* event)
{
    if (watched != tabBar())
        return QTabWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick: {
        auto* me = static_cast<QMouseEvent*>(event);
        if (me->button() != Qt::LeftButton)
            return false;
        const int i = tabBar()->tabAt(me->position().toPoint());
        if (i < 0 || i == currentIndex())
            return false;
        requestPage(i);
        return true;
    }
    case QEvent::KeyPress: {
        auto* ke = static_cast<QKeyEvent*>(event);
        if (ke->key() == Qt::Key_Left || ke->key() == Qt::Key_Right) {
            const int step = (ke->key() == Qt::Key_Right) == (layoutDirection() == Qt::LeftToRight) ? 1 : -1;
            const int i = nextEnabled(currentIndex(), step, false);
            if (i >= 0)
                requestPage(i);
            return true;
        }
        return false;
    }
    case QEvent::Wheel:
        // Scrolling over the tabs does not turn pages.
        return true;
    case QEvent::Shortcut: {
        auto* se = static_cast<QShortcutEvent*>(event);
        for (int i = 0; i < count(); ++i)
            if (QKeySequence::mnemonic(tabText(i)) == se->key()) {
                requestPage(i);
                return true;
            }
        return true;
    }
    default:
        return false;
    }
}

void PageControl::keyPressEvent(QKeyEvent* e)
{
    const bool ctrl = e->modifiers() & Qt::ControlModifier;
    const bool tab = e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab;
    const bool page = e->key() == Qt::Key_PageUp || e->key() == Qt::Key_PageDown;
    if (ctrl && (tab || page) && count() > 1) {
        const bool back = e->key() == Qt::Key_Backtab || e->key() == Qt::Key_PageUp ||
                          (e->modifiers() & Qt::ShiftModifier);
        const int i = nextEnabled(currentIndex(), back ? -1 : 1, true);
        if (i >= 0)
            requestPage(i);
        e->accept();
        return;
    }
    QTabWidget::keyPressEvent(e);
}

}  // namespace ui
