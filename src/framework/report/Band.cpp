#include "report/Band.h"

#include "report/Report.h"

#include <algorithm>

namespace report {

Band::Band(Report& report, BandKind kind, Group* group) : report_(report), kind_(kind), group_(group) {}

Band::~Band() = default;

Label& Band::addLabel(const QString& text, const QRectF& mm)
{
    return add<Label>(text, mm);
}

DataText& Band::addDataText(const QString& field, const QRectF& mm, const QString& mask)
{
    return add<DataText>(field, mm, mask);
}

DataText& Band::addDataText(Expression expr, const QRectF& mm, const QString& mask)
{
    return add<DataText>(std::move(expr), mm, mask);
}

Memo& Band::addMemo(const QString& text, const QRectF& mm)
{
    return add<Memo>(text, mm);
}

SystemField& Band::addSystemField(SystemValue what, const QRectF& mm)
{
    return add<SystemField>(what, mm);
}

RunningSum& Band::addRunningSum(const QString& field, ResetScope scope, const QRectF& mm, const QString& mask)
{
    return add<RunningSum>(field, scope, mm, mask);
}

RunningSum& Band::addRunningSum(Expression expr, ResetScope scope, const QRectF& mm, const QString& mask)
{
    return add<RunningSum>(std::move(expr), scope, mm, mask);
}

LineElement& Band::addLine(const QLineF& mm, double width)
{
    return add<LineElement>(mm, width);
}

LineElement& Band::addHLine(double x, double y, double length, double width)
{
    return addLine(QLineF(x, y, x + length, y), width);
}

LineElement& Band::addVLine(double x, double y, double length, double width)
{
    return addLine(QLineF(x, y, x, y + length), width);
}

ShapeElement& Band::addRect(const QRectF& mm, const QColor& fill, double penWidth)
{
    return add<ShapeElement>(mm, fill, penWidth);
}

Element* Band::find(const QString& name) const
{
    for (const auto& e : elements_)
        if (e->name() == name)
            return e.get();
    return nullptr;
}

void Band::removeElement(Element* e)
{
    std::erase_if(elements_, [e](const std::unique_ptr<Element>& p) { return p.get() == e; });
}

Group::Group(Report& report, Expression expr)
    : expr_(std::move(expr)), header_(report, BandKind::GroupHeader, this), footer_(report, BandKind::GroupFooter, this)
{
}

void Group::setField(const QString& field)
{
    expr_ = [field](const Report& r) { return r.value(field); };
}

}  // namespace report
