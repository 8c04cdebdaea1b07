#include "report/Elements.h"

#include "text/Formats.h"
#include "report/Report.h"

namespace report {

QString formatValue(const QVariant& value, const QString& mask)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::Double:
    case QMetaType::Float: {
        const double d = value.toDouble();
        return mask.isEmpty() ? text::floatToText(d) : text::formatFloat(mask, d);
    }
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
        return mask.isEmpty() ? text::integerToText(value.toLongLong()) : text::formatFloat(mask, value.toDouble());
    case QMetaType::QDate:
        return text::formatDate(value.toDate());
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        return dt.time() == QTime(0, 0) ? text::formatDate(dt.date()) : text::formatDateTime(dt);
    }
    case QMetaType::QTime:
        return value.toTime().toString(QStringLiteral("hh:mm:ss"));
    default:
        return value.toString();
    }
}

QFont FontSpec::resolve(const QFont& base) const
{
    QFont f = base;
    if (family)
        f.setFamily(*family);
    if (pointSize)
        f.setPointSizeF(*pointSize);
    if (bold)
        f.setBold(*bold);
    if (italic)
        f.setItalic(*italic);
    if (underline)
        f.setUnderline(*underline);
    return f;
}

void TextElement::setFont(const QFont& f)
{
    font_ = FontSpec{f.family(), f.pointSizeF() > 0 ? f.pointSizeF() : 10.0, f.bold(), f.italic(), f.underline()};
    fontRun_ = 0;
}

void TextElement::setFont(const QString& family, double pointSize, bool bold, bool italic)
{
    font_ = FontSpec{family, pointSize, bold, italic, false};
    fontRun_ = 0;
}

Memo::Memo(Band& band, const QString& text, const QRectF& geometry)
    : TextElement(Kind::Memo, band, geometry), lines_(text.split(QLatin1Char('\n')))
{
    setWordWrap(true);
    setAutoStretch(true);
}

QVariant DataText::value(const Report& report) const
{
    return expression_ ? expression_(report) : report.value(field_);
}

QString DataText::content(const Report& report) const
{
    return formatValue(value(report), mask_.isEmpty() && !field_.isEmpty() ? report.displayFormat(field_) : mask_);
}

QString RunningSum::content(const Report& report) const
{
    return formatValue(sum_, mask_.isEmpty() && !field_.isEmpty() ? report.displayFormat(field_) : mask_);
}

QVariant RunningSum::term(const Report& report) const
{
    return expression_ ? expression_(report) : report.value(field_);
}

QString SystemField::content(const Report& report) const
{
    switch (what_) {
    case SystemValue::ReportTitle:
        return report.title();
    case SystemValue::PageNumber:
        return QString::number(report.pageNumber());
    case SystemValue::PageCount: {
        // The count is known when the run ends; until then the page number holds its place.
        const int n = report.pageCount();
        return QString::number(n > 0 ? n : report.pageNumber());
    }
    case SystemValue::Date:
        return text::formatDate(report.runTime().date());
    case SystemValue::Time:
        return report.runTime().time().toString(QStringLiteral("hh:mm:ss"));
    case SystemValue::DateTime:
        return text::formatDateTime(report.runTime());
    }
    return {};
}

}  // namespace report
