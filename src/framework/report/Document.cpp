#include "report/Document.h"

namespace report {

QStringList Page::texts() const
{
    QStringList out;
    for (const Item& it : items)
        if (it.kind == Item::Kind::Text)
            out << it.text();
    return out;
}

QList<const Item*> Page::find(const QString& text) const
{
    QList<const Item*> out;
    for (const Item& it : items)
        if (it.kind == Item::Kind::Text && it.text() == text)
            out << &it;
    return out;
}

const Item* Page::findFirst(const QString& text) const
{
    for (const Item& it : items)
        if (it.kind == Item::Kind::Text && it.text() == text)
            return &it;
    return nullptr;
}

QList<const Item*> Page::ofKind(Item::Kind kind) const
{
    QList<const Item*> out;
    for (const Item& it : items)
        if (it.kind == kind)
            out << &it;
    return out;
}

QSizeF Document::paperSize() const
{
    const QSizeF s = pageSize.size(QPageSize::Millimeter);
    return orientation == QPageLayout::Landscape ? s.transposed() : s;
}

QPageLayout Document::pageLayout() const
{
    return QPageLayout(pageSize, orientation, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
}

bool Document::operator==(const Document& o) const
{
    return pageSize.isEquivalentTo(o.pageSize) && orientation == o.orientation && title == o.title
        && pages == o.pages;
}

}  // namespace report
