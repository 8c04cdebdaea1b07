#include "forms/TDBGridSearch.h"

#include "db/DataSource.h"
#include "dbui/DbGrid.h"
#include "db/Field.h"
#include "text/Formats.h"
#include "widgets/Look.h"

#include <QApplication>
#include <QFrame>
#include <QKeyEvent>
#include <QLineEdit>
#include <QScreen>

// --- TfdbgridSearchdlg ------------------------------------------------------------

TfdbgridSearchdlg::TfdbgridSearchdlg(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), Panel(new QFrame(this)), Edit(new QLineEdit(Panel))
{
    setObjectName(QStringLiteral("fdbgridSearchdlg"));
    setModal(true);
    Panel->setObjectName(QStringLiteral("Panel"));
    Panel->setAutoFillBackground(true);
    QPalette p = Panel->palette();
    p.setColor(QPalette::Window, Qt::black);
    Panel->setPalette(p);
    Edit->setObjectName(QStringLiteral("Edit"));
    Edit->setFrame(false);
    Edit->setAccessibleName(QStringLiteral("Pesquisa"));
    Edit->installEventFilter(this);
    resize(designWidth, designHeight);
    connect(Edit, &QLineEdit::textEdited, this, &TfdbgridSearchdlg::search);
}

void TfdbgridSearchdlg::setSearch(db::Dataset* dataset, db::Field* field, bool caseInsensitive)
{
    dataset_ = dataset;
    field_ = field;
    caseInsensitive_ = caseInsensitive;
    if (field)
        Edit->setAccessibleName(QStringLiteral("Pesquisa: %1").arg(field->displayLabel()));
}

void TfdbgridSearchdlg::resizeEvent(QResizeEvent* e)
{
    QDialog::resizeEvent(e);
    Panel->setGeometry(rect());
    const int m = panelBorder + editMargin;
    Edit->setGeometry(m, m, width() - 2 * m, height() - 2 * m);
}

void TfdbgridSearchdlg::showEvent(QShowEvent* e)
{
    QDialog::showEvent(e);
    if (!e->spontaneous() && dataset_ && dataset_->isActive())
        bookmark_ = dataset_->bookmark();
    Edit->setFocus();
}

bool TfdbgridSearchdlg::accepts(const db::Field& field, QChar c)
{
    const auto sign = [c] { return c == u'+' || c == u'-'; };
    switch (field.dataType()) {
    case db::FieldType::SmallInt:
    case db::FieldType::Integer:
        return c.isDigit() || sign();
    case db::FieldType::Float:
    case db::FieldType::Currency:
        return c.isDigit() || sign() || c == text::formats().decimalSeparator || c == u'E' || c == u'e';
    default:
        return true;
    }
}

bool TfdbgridSearchdlg::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit && event->type() == QEvent::KeyPress) {
        auto* ke = static_cast<QKeyEvent*>(event);
        switch (ke->key()) {
        case Qt::Key_Escape:
            reject();
            return true;
        case Qt::Key_Return:
        case Qt::Key_Enter:
            accept();
            return true;
        default:
            break;
        }
        const QString t = ke->text();
        if (field_ && t.size() == 1 && t.front().isPrint() && !accepts(*field_, t.front())) {
            ui::beep();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfdbgridSearchdlg::search(const QString& text)
{
    if (!dataset_ || !dataset_->isActive() || !field_)
        return;
    if (text.isEmpty()) {
        dataset_->first();
        return;
    }
    db::LocateOptions o;
    o.caseInsensitive = caseInsensitive_;
    o.partialKey = field_->dataType() == db::FieldType::String;
    // Nothing found: the row stays where it was.
    dataset_->locate(field_->fieldName(), text, o);
}

void TfdbgridSearchdlg::done(int result)
{
    if (result == QDialog::Rejected && dataset_ && dataset_->isActive() && dataset_->bookmarkValid(bookmark_))
        dataset_->gotoBookmark(bookmark_);
    bookmark_ = 0;
    QDialog::done(result);
}

// --- geometry -----------------------------------------------------------------------

QRect searchBoxGeometry(const QRect& grid, const QRect& screen, int columnWidth, int height)
{
    constexpr int minimum = 50;
    int width = minimum;
    if (columnWidth >= 0)
        width = std::max(minimum, columnWidth + 2 * (TfdbgridSearchdlg::panelBorder + TfdbgridSearchdlg::editMargin));
    const int left = std::max(grid.left(), screen.left());
    const int below = grid.top() + grid.height();
    int top;
    if (below + height <= screen.top() + screen.height())
        top = below;
    else if (grid.top() - height >= screen.top())
        top = grid.top() - height;
    else
        top = screen.top() + screen.height() - height;
    return QRect(left, top, width, height);
}

// --- TDBGridSearch ------------------------------------------------------------------

TDBGridSearch::TDBGridSearch(QObject* owner)
    : QObject(owner), ColorSearch(QApplication::palette().color(QPalette::ToolTipBase))
{
    setObjectName(QStringLiteral("DBGridSearch"));
}

ui::DbGrid* TDBGridSearch::DBGrid() const
{
    return qobject_cast<ui::DbGrid*>(grid_.data());
}

void TDBGridSearch::setDBGrid(ui::DbGrid* grid)
{
    if (grid_)
        grid_->removeEventFilter(this);
    grid_ = grid;
    if (grid_)
        grid_->installEventFilter(this);
}

bool TDBGridSearch::eventFilter(QObject* watched, QEvent* event)
{
    // Only the key is compared; the grid gets it afterwards as usual.
    if (watched == grid_ && event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == HotKey)
        Execute();
    return QObject::eventFilter(watched, event);
}

bool TDBGridSearch::Execute()
{
    ui::DbGrid* grid = DBGrid();
    if (!Enabled || !grid || !grid->dataSource())
        return false;
    db::Dataset* ds = grid->dataset();
    if (!ds || !ds->isActive())
        return false;
    db::Field* named = DataField.isEmpty() ? nullptr : ds->findField(DataField);
    db::Field* field = named ? named : grid->selectedField();
    if (!field)
        return false;

    TfdbgridSearchdlg box(grid->window());
    box.setSearch(ds, field, CaseInsensitive);
    const QRect gridOnScreen(grid->mapToGlobal(QPoint(0, 0)), grid->size());
    const QScreen* screen = grid->screen() ? grid->screen() : QGuiApplication::primaryScreen();
    box.setGeometry(searchBoxGeometry(gridOnScreen, screen->geometry(), grid->columnWidthOf(field),
                                      TfdbgridSearchdlg::designHeight));
    QPalette p = box.Edit->palette();
    p.setColor(QPalette::Base, ColorSearch);
    box.Edit->setPalette(p);
    box_ = &box;
    box.exec();
    box_ = nullptr;
    return true;
}
