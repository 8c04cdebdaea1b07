#pragma once
// The result of running a report: pages of positioned items, ready to be drawn and
// easy to read back. Every length is in millimetres from the top-left corner of the paper.
#include <QColor>
#include <QFont>
#include <QLineF>
#include <QList>
#include <QPageLayout>
#include <QPageSize>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <QStringList>

namespace report {

struct Item {
    enum class Kind { Text, Line, Rect };

    Kind kind = Kind::Text;
    // Text: the element's box. Rect: the rectangle. Line: from topLeft() to bottomRight().
    QRectF rect;
    // Text only: the printed lines, already wrapped, and the baseline start of each.
    QStringList lines;
    QList<QPointF> origins;
    QFont font;  // text only; sized in points
    Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignTop;
    QColor color = Qt::black;  // text or pen colour
    QColor fill;               // rectangle fill; invalid: none
    double penWidth = 0;       // lines and rectangles, mm; a rectangle with 0 has no outline
    bool clip = false;         // text wider than its fixed box is cut at the box

    QString text() const { return lines.join(QLatin1Char('\n')); }
    QLineF line() const { return QLineF(rect.topLeft(), rect.bottomRight()); }
    bool operator==(const Item&) const = default;
};

struct Page {
    QList<Item> items;  // in drawing order

    QStringList texts() const;
    // Text items whose whole text is `text`.
    QList<const Item*> find(const QString& text) const;
    const Item* findFirst(const QString& text) const;
    QList<const Item*> ofKind(Item::Kind kind) const;
    bool operator==(const Page&) const = default;
};

struct Document {
    QPageSize pageSize = QPageSize(QPageSize::A4);
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QString title;
    QList<Page> pages;

    int pageCount() const { return int(pages.size()); }
    QSizeF paperSize() const;  // mm, orientation applied
    QPageLayout pageLayout() const;  // no margins: the items carry them
    QStringList texts(int page) const { return pages.at(page).texts(); }
    bool operator==(const Document&) const;
};

}  // namespace report
