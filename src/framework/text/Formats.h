#pragma once
// Process-wide date and number formats, Delphi-style display masks, parsing of typed
// numbers and dates, month names and the Windows-1252 codec used by interchange files.
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <optional>

namespace text {

// The formats every date and number the program shows, parses or writes follows.
// Until setBrazilianFormats() runs they are the system locale's.
struct Formats {
    QChar decimalSeparator;
    QChar thousandSeparator;
    QString shortDateFormat;  // Delphi letters: "dd/mm/yyyy"
};

const Formats& formats();
void setFormats(const Formats& f);
// Short date "dd/mm/yyyy", decimal ",", thousands ".".
void setBrazilianFormats();

// Display masks used across the system.
namespace masks {
inline const QString money = QStringLiteral("###,###,##0.00");
inline const QString twoDecimals = QStringLiteral("##########.00");
inline const QString moneyShort = QStringLiteral(",##0.00");
inline const QString unitPrice = QStringLiteral("###,###,##0.00######");
inline const QString integerGrouped = QStringLiteral("#,###,###,##0");
// An amount in reais as the Brazilian currency format shows it ("R$ 1.234,50").
inline const QString reais = QStringLiteral("'R$ '###,###,##0.00");
}  // namespace masks

// Delphi FormatFloat: '#' optional digit, '0' required digit, '.' decimal point, ','
// anywhere before the point turns on grouping, 'E+'/'E-' exponent, quoted literals and
// up to three ';'-separated sections (positive;negative;zero). The value is taken to 15
// significant digits and then rounded half away from zero.
QString formatFloat(const QString& mask, double value);

// General float text: up to 15 significant digits, no trailing zeros, "1,5E20" style
// at 1e15 and above and below 0.00001 (absolute values).
QString floatToText(double value);

// Integer text (no grouping).
QString integerToText(qint64 value);

// Typed numbers: decimal separator of formats(), optional sign, optional exponent
// ("1,5E20"), no grouping, blanks around ignored. Empty text gives nullopt, as does
// anything that is not a number.
std::optional<double> parseFloat(const QString& text);
std::optional<qint64> parseInteger(const QString& text);

// A typed amount of money: the decimal separator of formats(), an optional sign, and
// thousands separators only between groups of three digits before the decimals
// ("1.234,50", "12.345"); no exponent. nullopt for empty text and for anything else, so
// that "1.50" or "1.5" is never read as 150 or 15.
std::optional<double> parseAmount(const QString& text);

// Dates in the short date format of formats() (day, month, year; a two-digit year is
// taken as 19xx/20xx by the 50-year window). nullopt when not a valid date.
std::optional<QDate> parseDate(const QString& text);
QString formatDate(const QDate& date);
QString formatDateTime(const QDateTime& dt);  // date, a blank, hh:mm:ss

// "Janeiro" .. "Dezembro"; monthName(1) is "Janeiro". Out of range gives "".
const QStringList& monthNames();
QString monthName(int month);
// 1..12 for a month name as listed, 0 when not one.
int monthNumber(const QString& name);

// Windows-1252, both ways. Characters that Windows-1252 cannot hold become '?'.
QByteArray toWin1252(const QString& s);
QString fromWin1252(const QByteArray& bytes);

}  // namespace text
