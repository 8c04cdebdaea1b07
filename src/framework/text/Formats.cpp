#include "text/Formats.h"

#include <QLocale>
#include <QTime>

#include <array>
#include <charconv>
#include <cmath>
#include <string>
#include <system_error>

namespace text {

namespace {

// Qt's short date format uses 'M' for the month; ours uses Delphi letters, where a
// date format's 'm' is the month.
QString delphiDateFormat(const QString& qtFormat)
{
    QString out;
    out.reserve(qtFormat.size());
    for (QChar c : qtFormat)
        out += (c == u'M') ? QChar(u'm') : c;
    return out;
}

Formats systemFormats()
{
    const QLocale locale = QLocale::system();
    const QString decimal = locale.decimalPoint();
    const QString group = locale.groupSeparator();
    Formats f;
    f.decimalSeparator = decimal.isEmpty() ? QChar(u'.') : decimal.front();
    f.thousandSeparator = group.isEmpty() ? QChar() : group.front();
    f.shortDateFormat = delphiDateFormat(locale.dateFormat(QLocale::ShortFormat));
    return f;
}

Formats& current()
{
    static Formats f = systemFormats();
    return f;
}

// A non-negative decimal number as a digit string: value = 0.digits × 10^point.
// Digits carry no leading or trailing zeros; zero has no digits.
struct Decimal {
    std::string digits;
    int point = 0;
    bool negative = false;

    bool isZero() const { return digits.empty(); }
    // Digit at an index of the digit string, zeros on either side.
    char at(int i) const { return i >= 0 && i < int(digits.size()) ? digits[size_t(i)] : '0'; }
};

void stripTrailingZeros(std::string& digits)
{
    while (!digits.empty() && digits.back() == '0')
        digits.pop_back();
}

// The value taken to 15 significant digits, so that 2.675 (binary 2.67499999…) is
// seen as the 2.675 the user typed before any display rounding.
Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value) && value != 0;
    std::array<char, 64> buf{};
    const auto res = std::to_chars(buf.data(), buf.data() + buf.size(), std::fabs(value),
                                   std::chars_format::scientific, 14);
    const std::string text(buf.data(), res.ptr);  // "d.ddddddddddddddde±xx"
    const size_t e = text.find('e');
    d.digits = text.substr(0, 1) + text.substr(2, e - 2);
    d.point = std::stoi(text.substr(e + 1)) + 1;
    stripTrailingZeros(d.digits);
    if (d.digits.empty()) {
        d.digits.clear();
        d.point = 0;
        d.negative = false;
    }
    return d;
}

// Keeps the first `keep` digits, rounding half away from zero on the digit string.
void roundDigits(Decimal& d, int keep)
{
    if (keep >= int(d.digits.size()))
        return;
    if (keep < 0) {
        d.digits.clear();
        return;
    }
    const bool up = d.digits[size_t(keep)] >= '5';
    d.digits.resize(size_t(keep));
    if (up) {
        int i = keep - 1;
        while (i >= 0 && d.digits[size_t(i)] == '9')
            d.digits[size_t(i--)] = '0';
        if (i < 0) {
            d.digits.insert(d.digits.begin(), '1');
            ++d.point;
        } else {
            ++d.digits[size_t(i)];
        }
    }
    stripTrailingZeros(d.digits);
}

// ---- FormatFloat -----------------------------------------------------------------

QList<QStringView> splitSections(QStringView mask)
{
    QList<QStringView> sections;
    qsizetype start = 0;
    QChar quote;
    for (qsizetype i = 0; i < mask.size(); ++i) {
        const QChar c = mask[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.append(mask.mid(start, i - start));
            start = i + 1;
        }
    }
    sections.append(mask.mid(start));
    // Only positive, negative and zero sections exist.
    return sections.mid(0, 3);
}

bool isExponentAt(QStringView s, qsizetype i)
{
    return (s[i] == u'E' || s[i] == u'e') && i + 1 < s.size()
        && (s[i + 1] == u'+' || s[i + 1] == u'-');
}

struct Layout {
    int intPlaces = 0;  // digit placeholders before the point
    int decPlaces = 0;  // digit placeholders after it
    int minInt = 0;     // integer digits always shown (from the first '0' to the point)
    int minDec = 0;     // decimals always shown (up to the last '0' after the point)
    bool grouping = false;
    bool scientific = false;
};

Layout scanSection(QStringView s)
{
    Layout l;
    int firstIntZero = -1;
    bool afterPoint = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype close = s.indexOf(c, i + 1);
            i = close < 0 ? s.size() : close;
        } else if (c == u'#' || c == u'0') {
            if (afterPoint) {
                ++l.decPlaces;
                if (c == u'0')
                    l.minDec = l.decPlaces;
            } else {
                if (c == u'0' && firstIntZero < 0)
                    firstIntZero = l.intPlaces;
                ++l.intPlaces;
            }
        } else if (c == u'.') {
            afterPoint = true;
        } else if (c == u',') {
            if (!afterPoint)
                l.grouping = true;
        } else if (!l.scientific && isExponentAt(s, i)) {
            l.scientific = true;
            i += 1;
            while (i + 1 < s.size() && s[i + 1] == u'0')
                ++i;
        }
    }
    if (firstIntZero >= 0)
        l.minInt = l.intPlaces - firstIntZero;
    return l;
}

// Rounds the absolute value as the section asks; in scientific sections also gives
// the exponent and leaves the mantissa in `d`.
int roundForLayout(Decimal& d, const Layout& l)
{
    if (!l.scientific) {
        roundDigits(d, d.point + l.decPlaces);
        return 0;
    }
    if (d.isZero())
        return 0;
    roundDigits(d, std::max(1, l.intPlaces + l.decPlaces));
    const int exponent = d.point - l.intPlaces;
    d.point = l.intPlaces;
    return exponent;
}

QString applySection(QStringView s, const Layout& l, const Decimal& d, int exponent, bool minus)
{
    const Formats& f = current();

    QString intDigits;
    for (int i = 0; i < d.point; ++i)
        intDigits += QLatin1Char(d.at(i));
    while (intDigits.size() < l.minInt)
        intDigits.prepend(u'0');
    const int intLen = int(intDigits.size());

    int shownDec = l.minDec;
    for (int j = l.decPlaces; j > shownDec; --j) {
        if (d.at(d.point + j - 1) != '0') {
            shownDec = j;
            break;
        }
    }

    QString out;
    if (minus)
        out += u'-';

    // Place 1 is the units digit; the separator follows a digit whose place is 4, 7, ...
    auto putIntDigit = [&](int place) {
        out += intDigits[intLen - place];
        if (l.grouping && place > 1 && (place - 1) % 3 == 0 && !f.thousandSeparator.isNull())
            out += f.thousandSeparator;
    };
    auto putExcessIntDigits = [&]() {
        for (int place = intLen; place > l.intPlaces; --place)
            putIntDigit(place);
    };

    int intIndex = 0;
    int decIndex = 0;
    bool afterPoint = false;
    bool exponentDone = false;
    for (qsizetype i = 0; i < s.size(); ++i) {
        const QChar c = s[i];
        if (c == u'\'' || c == u'"') {
            const qsizetype close = s.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? s.size() : close;
            out += s.mid(i + 1, end - i - 1);
            i = end;
        } else if (c == u'#' || c == u'0') {
            if (afterPoint) {
                ++decIndex;
                if (decIndex <= shownDec)
                    out += QLatin1Char(d.at(d.point + decIndex - 1));
            } else {
                // The first placeholder takes every digit the mask has no room for.
                if (intIndex == 0)
                    putExcessIntDigits();
                const int place = l.intPlaces - intIndex;
                if (place <= intLen)
                    putIntDigit(place);
                ++intIndex;
            }
        } else if (c == u'.') {
            if (afterPoint)
                continue;
            if (intIndex == 0)
                putExcessIntDigits();
            afterPoint = true;
            if (shownDec > 0)
                out += f.decimalSeparator;
        } else if (c == u',') {
            continue;
        } else if (l.scientific && !exponentDone && isExponentAt(s, i)) {
            exponentDone = true;
            out += c;
            const bool alwaysSign = s[i + 1] == u'+';
            ++i;
            int width = 0;
            while (i + 1 < s.size() && s[i + 1] == u'0') {
                ++width;
                ++i;
            }
            if (exponent < 0)
                out += u'-';
            else if (alwaysSign)
                out += u'+';
            out += QStringLiteral("%1").arg(std::abs(exponent), std::min(width, 4), 10, QChar(u'0'));
        } else {
            out += c;
        }
    }
    return out;
}

QString nonFinite(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

// ---- Dates -----------------------------------------------------------------------

struct DateShape {
    std::array<char, 3> order{'d', 'm', 'y'};
    QChar separator = u'/';
};

DateShape dateShape(const QString& format)
{
    DateShape shape;
    int found = 0;
    bool haveSeparator = false;
    std::array<char, 3> order{};
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i].toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype close = format.indexOf(format[i], i + 1);
            i = close < 0 ? format.size() : close;
        } else if (c == u'd' || c == u'm' || c == u'y') {
            const char letter = char(c.unicode());
            bool seen = false;
            for (int k = 0; k < found; ++k)
                seen = seen || order[size_t(k)] == letter;
            if (!seen && found < 3)
                order[size_t(found++)] = letter;
        } else if (!haveSeparator && !c.isSpace()) {
            shape.separator = format[i];
            haveSeparator = true;
        }
    }
    if (found == 3)
        shape.order = order;
    return shape;
}

bool allAsciiDigits(QStringView s)
{
    for (QChar c : s) {
        if (c < u'0' || c > u'9')
            return false;
    }
    return !s.isEmpty();
}

// Two-digit years fall in the 100 years from 50 before the current year.
int expandYear(int twoDigitYear)
{
    const int window = QDate::currentDate().year() - 50;
    int year = window / 100 * 100 + twoDigitYear;
    if (year < window)
        year += 100;
    return year;
}

// ---- Windows-1252 ----------------------------------------------------------------

// 0x80..0x9F; the five bytes Windows-1252 leaves undefined map to the C1 controls.
constexpr std::array<char16_t, 32> win1252High = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

const Formats& formats()
{
    return current();
}

void setFormats(const Formats& f)
{
    current() = f;
}

void setBrazilianFormats()
{
    setFormats(Formats{u',', u'.', QStringLiteral("dd/mm/yyyy")});
}

QString formatFloat(const QString& mask, double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const QList<QStringView> sections = splitSections(mask);
    auto present = [&](int i) { return i < sections.size() && !sections[i].isEmpty(); };

    const Decimal exact = toDecimal(value);
    int index = 0;
    if (exact.isZero() && present(2))
        index = 2;
    else if (exact.negative && present(1))
        index = 1;
    if (!present(index))
        return floatToText(value);

    Layout layout = scanSection(sections[index]);
    Decimal d = exact;
    int exponent = roundForLayout(d, layout);
    // A value that rounds to zero is shown as zero: no sign, not in the negative section.
    if (d.isZero() && index != 2) {
        const int zeroIndex = present(2) ? 2 : 0;
        if (!present(zeroIndex))
            return floatToText(0);
        if (zeroIndex != index) {
            index = zeroIndex;
            layout = scanSection(sections[index]);
        }
        d = Decimal{};
        exponent = 0;
    }
    const bool minus = index == 0 && exact.negative && !d.isZero();
    return applySection(sections[index], layout, d, exponent, minus);
}

QString floatToText(double value)
{
    if (!std::isfinite(value))
        return nonFinite(value);
    const Decimal d = toDecimal(value);
    if (d.isZero())
        return QStringLiteral("0");
    const QChar sep = current().decimalSeparator;
    const int count = int(d.digits.size());
    QString out;
    if (d.negative)
        out += u'-';
    if (d.point > 15 || d.point < -4) {
        out += QLatin1Char(d.digits[0]);
        if (count > 1) {
            out += sep;
            out += QLatin1String(d.digits.data() + 1, count - 1);
        }
        out += u'E';
        out += QString::number(d.point - 1);
    } else if (d.point <= 0) {
        out += u'0';
        out += sep;
        out += QString(-d.point, u'0');
        out += QLatin1String(d.digits.data(), count);
    } else {
        for (int i = 0; i < d.point; ++i)
            out += QLatin1Char(d.at(i));
        if (count > d.point) {
            out += sep;
            out += QLatin1String(d.digits.data() + d.point, count - d.point);
        }
    }
    return out;
}

QString integerToText(qint64 value)
{
    return QString::number(value);
}

std::optional<double> parseFloat(const QString& text)
{
    const QString s = text.trimmed();
    const QChar sep = current().decimalSeparator;
    std::string ascii;
    qsizetype i = 0;
    auto digitsInto = [&]() {
        int n = 0;
        while (i < s.size() && s[i] >= u'0' && s[i] <= u'9') {
            ascii += char(s[i++].unicode());
            ++n;
        }
        return n;
    };

    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
        if (s[i] == u'-')
            ascii += '-';
        ++i;
    }
    int mantissaDigits = digitsInto();
    if (i < s.size() && s[i] == sep) {
        ascii += '.';
        ++i;
        mantissaDigits += digitsInto();
    }
    if (mantissaDigits == 0)
        return std::nullopt;
    if (i < s.size() && (s[i] == u'E' || s[i] == u'e')) {
        ascii += 'e';
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) {
            if (s[i] == u'-')
                ascii += '-';
            ++i;
        }
        if (digitsInto() == 0)
            return std::nullopt;
    }
    if (i != s.size())
        return std::nullopt;

    double value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseAmount(const QString& text)
{
    const QString s = text.trimmed();
    const QChar group = current().thousandSeparator;
    if (s.contains(u'e', Qt::CaseInsensitive))
        return std::nullopt;
    if (group.isNull() || !s.contains(group))
        return parseFloat(s);
    const qsizetype sign = (s.startsWith(u'+') || s.startsWith(u'-')) ? 1 : 0;
    qsizetype decimals = s.indexOf(current().decimalSeparator);
    if (decimals < 0)
        decimals = s.size();
    const QList<QStringView> groups = QStringView(s).mid(sign, decimals - sign).split(group);
    for (qsizetype i = 0; i < groups.size(); ++i) {
        const qsizetype n = groups[i].size();
        if (!allAsciiDigits(groups[i]) || n > 3 || (i > 0 && n != 3))
            return std::nullopt;
    }
    // A separator after the decimals is no thousands separator either.
    if (QStringView(s).mid(decimals).contains(group))
        return std::nullopt;
    QString plain = s;
    plain.remove(group);
    return parseFloat(plain);
}

std::optional<qint64> parseInteger(const QString& text)
{
    const QString s = text.trimmed();
    const bool hasSign = s.startsWith(u'+') || s.startsWith(u'-');
    const QStringView digits = QStringView(s).mid(hasSign ? 1 : 0);
    if (!allAsciiDigits(digits))
        return std::nullopt;
    // from_chars takes a '-' but no '+'. (Joined as a QString: GCC 12 at -O3 warns falsely
    // about a std::string built with operator+.)
    QString sinalEDigitos = digits.toString();
    if (s.startsWith(u'-'))
        sinalEDigitos.prepend(u'-');
    const std::string ascii = sinalEDigitos.toStdString();
    long long value = 0;
    const auto res = std::from_chars(ascii.data(), ascii.data() + ascii.size(), value);
    if (res.ec != std::errc() || res.ptr != ascii.data() + ascii.size())
        return std::nullopt;
    return qint64(value);
}

std::optional<QDate> parseDate(const QString& text)
{
    const DateShape shape = dateShape(current().shortDateFormat);
    const QStringList parts = text.trimmed().split(shape.separator);
    if (parts.size() != 3)
        return std::nullopt;
    int day = 0, month = 0, year = 0;
    for (size_t k = 0; k < 3; ++k) {
        const QString& part = parts[qsizetype(k)];
        const char what = shape.order[k];
        if (!allAsciiDigits(part) || part.size() > (what == 'y' ? 4 : 2))
            return std::nullopt;
        const int n = part.toInt();
        if (what == 'd')
            day = n;
        else if (what == 'm')
            month = n;
        else
            year = part.size() <= 2 ? expandYear(n) : n;
    }
    const QDate date(year, month, day);
    if (!date.isValid())
        return std::nullopt;
    return date;
}

QString formatDate(const QDate& date)
{
    if (!date.isValid())
        return {};
    const QString& format = current().shortDateFormat;
    QString out;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        const QChar lower = c.toLower();
        if (c == u'\'' || c == u'"') {
            const qsizetype close = format.indexOf(c, i + 1);
            const qsizetype end = close < 0 ? format.size() : close;
            out += QStringView(format).mid(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (lower != u'd' && lower != u'm' && lower != u'y') {
            out += c;
            ++i;
            continue;
        }
        qsizetype run = 1;
        while (i + run < format.size() && format[i + run].toLower() == lower)
            ++run;
        i += run;
        if (lower == u'y') {
            if (run <= 2)
                out += QStringLiteral("%1").arg(date.year() % 100, 2, 10, QChar(u'0'));
            else
                out += QStringLiteral("%1").arg(date.year(), 4, 10, QChar(u'0'));
        } else {
            const int n = lower == u'd' ? date.day() : date.month();
            out += QStringLiteral("%1").arg(n, run == 1 ? 1 : 2, 10, QChar(u'0'));
        }
    }
    return out;
}

QString formatDateTime(const QDateTime& dt)
{
    if (!dt.isValid())
        return {};
    return formatDate(dt.date()) + u' ' + dt.time().toString(QStringLiteral("hh:mm:ss"));
}

const QStringList& monthNames()
{
    static const QStringList names = {
        QStringLiteral("Janeiro"),  QStringLiteral("Fevereiro"), QStringLiteral("Março"),
        QStringLiteral("Abril"),    QStringLiteral("Maio"),      QStringLiteral("Junho"),
        QStringLiteral("Julho"),    QStringLiteral("Agosto"),    QStringLiteral("Setembro"),
        QStringLiteral("Outubro"),  QStringLiteral("Novembro"),  QStringLiteral("Dezembro"),
    };
    return names;
}

QString monthName(int month)
{
    if (month < 1 || month > 12)
        return {};
    return monthNames().at(month - 1);
}

int monthNumber(const QString& name)
{
    return int(monthNames().indexOf(name)) + 1;
}

QByteArray toWin1252(const QString& s)
{
    QByteArray out;
    out.reserve(s.size());
    for (qsizetype i = 0; i < s.size(); ++i) {
        const char16_t u = s[i].unicode();
        if (u < 0x80 || (u >= 0xA0 && u <= 0xFF)) {
            out += char(u);
            continue;
        }
        // A character outside the BMP is one '?', not one per surrogate.
        if (QChar::isHighSurrogate(u) && i + 1 < s.size() && s[i + 1].isLowSurrogate())
            ++i;
        char byte = '?';
        for (size_t k = 0; k < win1252High.size(); ++k) {
            if (win1252High[k] == u) {
                byte = char(0x80 + k);
                break;
            }
        }
        out += byte;
    }
    return out;
}

QString fromWin1252(const QByteArray& bytes)
{
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out += (b >= 0x80 && b <= 0x9F) ? QChar(win1252High[b - 0x80]) : QChar(char16_t(b));
    }
    return out;
}

}  // namespace text
