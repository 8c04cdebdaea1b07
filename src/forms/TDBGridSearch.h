#pragma once
// Incremental search on a data grid: the hot key pressed in the grid pops up a small
// search box under it, and every keystroke moves the grid's dataset to the first row
// whose value in the searched column begins with the typed text. Enter keeps the row
// found, Esc returns to the row that was current before.
#include "db/Dataset.h"
#include "dbui/DbGrid.h"

#include <QColor>
#include <QDialog>
#include <QPointer>
#include <QRect>

class QFrame;
class QLineEdit;

// The search box: borderless, a black panel and the edit box on it.
class TfdbgridSearchdlg : public QDialog {
    Q_OBJECT
public:
    explicit TfdbgridSearchdlg(QWidget* parent = nullptr);

    QFrame* Panel;
    QLineEdit* Edit;

    // What is searched; the box remembers the current row when it opens.
    void setSearch(db::Dataset* dataset, db::Field* field, bool caseInsensitive);
    db::Field* field() const { return field_; }

    // Margin of the edit box inside the panel, and the panel's border width.
    static constexpr int editMargin = 2;
    static constexpr int panelBorder = 0;
    static constexpr int designWidth = 155;
    static constexpr int designHeight = 25;

    // Whether the field would take the character as part of a typed value.
    static bool accepts(const db::Field& field, QChar c);

    void done(int result) override;

protected:
    void showEvent(QShowEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* e) override;

private:
    void search(const QString& text);
    QPointer<db::Dataset> dataset_;
    db::Field* field_ = nullptr;
    bool caseInsensitive_ = false;
    db::Bookmark bookmark_ = 0;
};

// Where the box goes: width 50, or the searched column's width plus the margins on both
// sides, never less than 50; at the grid's left edge (not off the screen's left), under
// the grid when it fits on the screen, else above it when there is room, else at the
// screen's bottom. columnWidth is -1 when no grid column shows the field.
QRect searchBoxGeometry(const QRect& gridOnScreen, const QRect& screen, int columnWidth, int height);

class TDBGridSearch : public QObject {
    Q_OBJECT
public:
    explicit TDBGridSearch(QObject* owner = nullptr);

    bool CaseInsensitive = false;
    bool Enabled = false;
    // The field to search; when the dataset has none of that name, the grid's selected
    // column is searched.
    QString DataField;
    int HotKey = Qt::Key_F3;
    QColor ColorSearch;

    ui::DbGrid* DBGrid() const;
    // Stops watching the previous grid and watches this one.
    void setDBGrid(ui::DbGrid* grid);

    // Runs the search: shows the box modally over the grid. Returns whether it was shown.
    bool Execute();

    // The box while it is shown, else null.
    TfdbgridSearchdlg* searchBox() const { return box_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // Held as a plain widget: the grid may be half destroyed when its last events
    // arrive here, and is then no DbGrid any more.
    QPointer<QWidget> grid_;
    QPointer<TfdbgridSearchdlg> box_;
};
