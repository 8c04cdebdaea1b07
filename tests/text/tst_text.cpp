#include "text/Formats.h"

#include <QLocale>
#include <QTest>

#include <cmath>
#include <limits>

using namespace text;

class TestText : public QObject {
    Q_OBJECT

private:
    Formats m_startup;

private slots:
    void initTestCase();

    void startupFormatsAreTheSystemLocales();

    void formatFloat_data();
    void formatFloat();
    void floatToText_data();
    void floatToText();
    void otherFormatsAreFollowed();

    void parseFloat_data();
    void parseFloat();
    void parseInteger_data();
    void parseInteger();
    void parseAmount_data();
    void parseAmount();

    void parseDate_data();
    void parseDate();
    void formatDate();

    void monthNames();

    void win1252RoundTrip();
    void win1252ControlRange_data();
    void win1252ControlRange();
    void win1252Unencodable_data();
    void win1252Unencodable();
};

void TestText::initTestCase()
{
    m_startup = formats();
    setBrazilianFormats();
}

void TestText::startupFormatsAreTheSystemLocales()
{
    const QLocale system = QLocale::system();
    QCOMPARE(QString(m_startup.decimalSeparator), system.decimalPoint().left(1));
    QCOMPARE(QString(m_startup.thousandSeparator), system.groupSeparator().left(1));
    const QString date = m_startup.shortDateFormat.toLower();
    QVERIFY2(date.contains(u'd') && date.contains(u'm') && date.contains(u'y'),
             qPrintable(m_startup.shortDateFormat));

    QCOMPARE(formats().decimalSeparator, QChar(u','));
    QCOMPARE(formats().thousandSeparator, QChar(u'.'));
    QCOMPARE(formats().shortDateFormat, QStringLiteral("dd/mm/yyyy"));
}

void TestText::formatFloat_data()
{
    QTest::addColumn<QString>("mask");
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    // Money.
    QTest::newRow("money") << masks::money << 1234.5 << "1.234,50";
    QTest::newRow("money zero") << masks::money << 0.0 << "0,00";
    QTest::newRow("money negative") << masks::money << -1234.5 << "-1.234,50";
    QTest::newRow("money millions") << masks::money << 1234567.891 << "1.234.567,89";
    QTest::newRow("money beyond the mask") << masks::money << 1e12 << "1.000.000.000.000,00";
    QTest::newRow("money half up") << masks::money << 0.005 << "0,01";
    QTest::newRow("money half up negative") << masks::money << -0.005 << "-0,01";
    QTest::newRow("money rounds to zero unsigned") << masks::money << -0.004 << "0,00";

    // Rounding is decimal, on 15 significant digits.
    QTest::newRow("two decimals 100.004") << masks::twoDecimals << 100.004 << "100,00";
    QTest::newRow("two decimals 2.675") << masks::twoDecimals << 2.675 << "2,68";
    QTest::newRow("two decimals 1.005") << masks::twoDecimals << 1.005 << "1,01";
    QTest::newRow("two decimals no grouping") << masks::twoDecimals << 1234.5 << "1234,50";
    QTest::newRow("two decimals no integer digit") << masks::twoDecimals << 0.25 << ",25";
    QTest::newRow("two decimals -0.25") << masks::twoDecimals << -0.25 << "-,25";

    QTest::newRow("short money") << masks::moneyShort << 1234.5 << "1.234,50";
    QTest::newRow("short money below one") << masks::moneyShort << 0.25 << "0,25";
    QTest::newRow("short money carry into group") << masks::moneyShort << 999.995 << "1.000,00";

    // Optional decimals are dropped from the right, never below the required two.
    QTest::newRow("unit price 1.5") << masks::unitPrice << 1.5 << "1,50";
    QTest::newRow("unit price eight decimals") << masks::unitPrice << 1.123456789 << "1,12345679";
    QTest::newRow("unit price three decimals") << masks::unitPrice << 1234.125 << "1.234,125";
    QTest::newRow("unit price whole") << masks::unitPrice << 7.0 << "7,00";

    QTest::newRow("integer millions") << masks::integerGrouped << 1234567.0 << "1.234.567";
    QTest::newRow("integer negative") << masks::integerGrouped << -1234567.0 << "-1.234.567";
    QTest::newRow("integer small") << masks::integerGrouped << 12.0 << "12";
    QTest::newRow("integer zero") << masks::integerGrouped << 0.0 << "0";
    QTest::newRow("integer rounds up") << masks::integerGrouped << 999.5 << "1.000";

    QTest::newRow("optional decimals absent") << "0.##" << 1.0 << "1";
    QTest::newRow("optional decimals present") << "0.##" << 1.5 << "1,5";

    // Sections: positive;negative;zero.
    const QString sections = QStringLiteral("#,##0.00;(#,##0.00);'zero'");
    QTest::newRow("section positive") << sections << 1234.5 << "1.234,50";
    QTest::newRow("section negative") << sections << -1234.5 << "(1.234,50)";
    QTest::newRow("section zero") << sections << 0.0 << "zero";
    QTest::newRow("section rounds to zero") << sections << -0.001 << "zero";
    QTest::newRow("rounds to zero, no zero section") << "0.0;(0.0)" << -0.04 << "0,0";
    QTest::newRow("empty negative section") << "0.00;;'zero'" << -1.5 << "-1,50";
    QTest::newRow("empty mask") << "" << 1234.5 << "1234,5";

    // Literals, quoted ones keeping their placeholder characters.
    QTest::newRow("quoted prefix") << "'R$ '#,##0.00" << 1234.5 << "R$ 1.234,50";
    QTest::newRow("double quotes") << "0.0\" kg\"" << 2.25 << "2,3 kg";
    QTest::newRow("quoted placeholders") << "'#,0.;' 0" << 7.0 << "#,0.; 7";
    QTest::newRow("plain literal") << "0.00%" << 12.5 << "12,50%";

    QTest::newRow("scientific") << "0.00E+00" << 1234.5 << "1,23E+03";
    QTest::newRow("scientific small") << "0.00E+00" << 0.000123 << "1,23E-04";
    QTest::newRow("scientific zero") << "0.00E+00" << 0.0 << "0,00E+00";
    QTest::newRow("scientific minus only") << "0.0E-0" << 1.5e20 << "1,5E20";
    QTest::newRow("scientific negative exponent") << "0.0E-0" << 1.5e-20 << "1,5E-20";
    QTest::newRow("scientific rounding carry") << "0.0E+00" << 9.96 << "1,0E+01";
}

void TestText::formatFloat()
{
    QFETCH(QString, mask);
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(text::formatFloat(mask, value), expected);
}

void TestText::floatToText_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("expected");

    QTest::newRow("1234.5") << 1234.5 << "1234,5";
    QTest::newRow("0.25") << 0.25 << "0,25";
    QTest::newRow("zero") << 0.0 << "0";
    QTest::newRow("whole") << 100.0 << "100";
    QTest::newRow("negative") << -3.75 << "-3,75";
    QTest::newRow("0.1 + 0.2") << 0.1 + 0.2 << "0,3";
    QTest::newRow("third") << 1.0 / 3.0 << "0,333333333333333";
    QTest::newRow("15 significant") << 123456789.123456789 << "123456789,123457";
    QTest::newRow("largest fixed") << 999999999999999.0 << "999999999999999";
    QTest::newRow("1e15") << 1e15 << "1E15";
    QTest::newRow("1.5e20") << 1.5e20 << "1,5E20";
    QTest::newRow("-2.5e15") << -2.5e15 << "-2,5E15";
    QTest::newRow("smallest fixed") << 0.00001 << "0,00001";
    QTest::newRow("1e-6") << 1e-6 << "1E-6";
    QTest::newRow("-1.25e-7") << -1.25e-7 << "-1,25E-7";
}

void TestText::floatToText()
{
    QFETCH(double, value);
    QFETCH(QString, expected);
    QCOMPARE(text::floatToText(value), expected);
}

void TestText::otherFormatsAreFollowed()
{
    struct Restore {
        ~Restore() { setBrazilianFormats(); }
    } restore;
    setFormats(Formats{u'.', u',', QStringLiteral("m/d/yyyy")});

    QCOMPARE(text::formatFloat(masks::money, 1234.5), QStringLiteral("1,234.50"));
    QCOMPARE(text::floatToText(0.25), QStringLiteral("0.25"));
    QCOMPARE(text::parseFloat(QStringLiteral("1.5")), std::optional<double>(1.5));
    QCOMPARE(text::parseFloat(QStringLiteral("1,5")), std::nullopt);
    QCOMPARE(text::parseDate(QStringLiteral("3/5/2004")), std::optional<QDate>(QDate(2004, 3, 5)));
    QCOMPARE(text::formatDate(QDate(2004, 3, 5)), QStringLiteral("3/5/2004"));
}

void TestText::parseFloat_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("decimal") << "1234,5" << true << 1234.5;
    QTest::newRow("blanks and sign") << "  -0,25 " << true << -0.25;
    QTest::newRow("plus sign") << "+3" << true << 3.0;
    QTest::newRow("exponent") << "1,5E20" << true << 1.5e20;
    QTest::newRow("lower exponent negative") << "2e-3" << true << 0.002;
    QTest::newRow("exponent plus") << "1,5E+2" << true << 150.0;
    QTest::newRow("no integer digits") << ",5" << true << 0.5;
    QTest::newRow("no decimals after separator") << "7," << true << 7.0;

    QTest::newRow("empty") << "" << false << 0.0;
    QTest::newRow("blank") << "   " << false << 0.0;
    QTest::newRow("grouping refused") << "1.234,5" << false << 0.0;
    QTest::newRow("point as decimal") << "1.5" << false << 0.0;
    QTest::newRow("letters") << "abc" << false << 0.0;
    QTest::newRow("two separators") << "1,2,3" << false << 0.0;
    QTest::newRow("exponent without digits") << "1E" << false << 0.0;
    QTest::newRow("exponent alone") << "E5" << false << 0.0;
    QTest::newRow("sign alone") << "-" << false << 0.0;
    QTest::newRow("separator alone") << "," << false << 0.0;
    QTest::newRow("inner blank") << "1 2" << false << 0.0;
    QTest::newRow("trailing garbage") << "1,5E20x" << false << 0.0;
    QTest::newRow("double sign") << "+-1" << false << 0.0;
    QTest::newRow("out of range") << "1E400" << false << 0.0;
}

void TestText::parseFloat()
{
    QFETCH(QString, input);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = text::parseFloat(input);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestText::parseAmount_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<double>("value");

    QTest::newRow("decimal comma") << "1,50" << true << 1.5;
    QTest::newRow("no grouping") << "1234,5" << true << 1234.5;
    QTest::newRow("thousands") << "1.234,50" << true << 1234.5;
    QTest::newRow("thousands without decimals") << "1.234" << true << 1234.0;
    QTest::newRow("millions") << " 12.345.678,9 " << true << 12345678.9;
    QTest::newRow("negative grouped") << "-1.234,5" << true << -1234.5;
    QTest::newRow("zero") << "0,00" << true << 0.0;

    QTest::newRow("point before two digits") << "1.50" << false << 0.0;
    QTest::newRow("point before one digit") << "1.5" << false << 0.0;
    QTest::newRow("group of two") << "1.23,5" << false << 0.0;
    QTest::newRow("group of four") << "1.2345" << false << 0.0;
    QTest::newRow("leading group too long") << "1234.567" << false << 0.0;
    QTest::newRow("point first") << ".234" << false << 0.0;
    QTest::newRow("two points") << "1..234" << false << 0.0;
    QTest::newRow("point after the comma") << "1,234.5" << false << 0.0;
    QTest::newRow("exponent") << "1,5E2" << false << 0.0;
    QTest::newRow("letters") << "1.2a4" << false << 0.0;
    QTest::newRow("empty") << "" << false << 0.0;
}

void TestText::parseAmount()
{
    QFETCH(QString, input);
    QFETCH(bool, valid);
    QFETCH(double, value);
    const std::optional<double> parsed = text::parseAmount(input);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestText::parseInteger_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<bool>("valid");
    QTest::addColumn<qint64>("value");

    QTest::newRow("plain") << "42" << true << qint64(42);
    QTest::newRow("blanks and sign") << " -17 " << true << qint64(-17);
    QTest::newRow("plus sign") << "+8" << true << qint64(8);
    QTest::newRow("largest") << "9223372036854775807" << true << std::numeric_limits<qint64>::max();

    QTest::newRow("empty") << "" << false << qint64(0);
    QTest::newRow("decimals") << "1,5" << false << qint64(0);
    QTest::newRow("grouping") << "1.000" << false << qint64(0);
    QTest::newRow("letters") << "12a" << false << qint64(0);
    QTest::newRow("exponent") << "1E3" << false << qint64(0);
    QTest::newRow("double sign") << "+-1" << false << qint64(0);
    QTest::newRow("sign alone") << "-" << false << qint64(0);
    QTest::newRow("overflow") << "9223372036854775808" << false << qint64(0);
}

void TestText::parseInteger()
{
    QFETCH(QString, input);
    QFETCH(bool, valid);
    QFETCH(qint64, value);
    const std::optional<qint64> parsed = text::parseInteger(input);
    QCOMPARE(parsed.has_value(), valid);
    if (valid)
        QCOMPARE(*parsed, value);
}

void TestText::parseDate_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QDate>("expected");  // invalid: not a date

    QTest::newRow("full") << "05/03/2004" << QDate(2004, 3, 5);
    QTest::newRow("single digits") << "5/3/2004" << QDate(2004, 3, 5);
    QTest::newRow("blanks around") << " 31/12/1999 " << QDate(1999, 12, 31);
    QTest::newRow("leap day") << "29/02/2004" << QDate(2004, 2, 29);

    // Two-digit years fall in the 100 years starting 50 years back.
    const int year = QDate::currentDate().year();
    const auto twoDigit = [](int y) { return QStringLiteral("01/06/%1").arg(y % 100, 2, 10, QChar(u'0')); };
    QTest::newRow("two digits, recent") << twoDigit(year - 10) << QDate(year - 10, 6, 1);
    QTest::newRow("two digits, near future") << twoDigit(year + 10) << QDate(year + 10, 6, 1);
    QTest::newRow("two digits, window start") << twoDigit(year - 50) << QDate(year - 50, 6, 1);
    QTest::newRow("two digits, before window") << twoDigit(year - 51) << QDate(year + 49, 6, 1);

    QTest::newRow("31 February") << "31/02/2004" << QDate();
    QTest::newRow("29 February, not leap") << "29/02/2003" << QDate();
    QTest::newRow("month 13") << "05/13/2004" << QDate();
    QTest::newRow("day zero") << "00/03/2004" << QDate();
    QTest::newRow("letters") << "abc" << QDate();
    QTest::newRow("empty") << "" << QDate();
    QTest::newRow("empty mask") << "  /  /    " << QDate();
    QTest::newRow("no year") << "05/03" << QDate();
    QTest::newRow("other separator") << "05-03-2004" << QDate();
    QTest::newRow("four parts") << "05/03/2004/1" << QDate();
    QTest::newRow("five-digit year") << "5/3/20041" << QDate();
}

void TestText::parseDate()
{
    QFETCH(QString, input);
    QFETCH(QDate, expected);
    const std::optional<QDate> parsed = text::parseDate(input);
    QCOMPARE(parsed.has_value(), expected.isValid());
    if (parsed)
        QCOMPARE(*parsed, expected);
}

void TestText::formatDate()
{
    QCOMPARE(text::formatDate(QDate(2004, 3, 5)), QStringLiteral("05/03/2004"));
    QCOMPARE(text::formatDate(QDate(987, 11, 20)), QStringLiteral("20/11/0987"));
    QCOMPARE(text::formatDate(QDate()), QString());
    QCOMPARE(text::formatDateTime(QDateTime(QDate(2004, 3, 5), QTime(7, 8, 9))),
             QStringLiteral("05/03/2004 07:08:09"));
    QCOMPARE(text::formatDateTime(QDateTime(QDate(2004, 12, 31), QTime(0, 0))),
             QStringLiteral("31/12/2004 00:00:00"));

    const QDate date(1999, 12, 31);
    QCOMPARE(text::parseDate(text::formatDate(date)), std::optional<QDate>(date));
}

void TestText::monthNames()
{
    const QStringList expected = {"Janeiro", "Fevereiro", "Março",    "Abril",
                                  "Maio",    "Junho",     "Julho",    "Agosto",
                                  "Setembro", "Outubro",  "Novembro", "Dezembro"};
    QCOMPARE(text::monthNames(), expected);
    QCOMPARE(text::monthName(1), QStringLiteral("Janeiro"));
    QCOMPARE(text::monthName(3), QStringLiteral("Março"));
    QCOMPARE(text::monthName(12), QStringLiteral("Dezembro"));
    QCOMPARE(text::monthName(0), QString());
    QCOMPARE(text::monthName(13), QString());
    QCOMPARE(text::monthNumber(QStringLiteral("Janeiro")), 1);
    QCOMPARE(text::monthNumber(QStringLiteral("Março")), 3);
    QCOMPARE(text::monthNumber(QStringLiteral("Dezembro")), 12);
    QCOMPARE(text::monthNumber(QStringLiteral("Marco")), 0);
    QCOMPARE(text::monthNumber(QString()), 0);
}

void TestText::win1252RoundTrip()
{
    const QString s = QStringLiteral("ÁÉÍÓÚáéíóúçÇãõâêô€–“”");
    const QByteArray bytes = toWin1252(s);
    QCOMPARE(bytes, QByteArray("\xC1\xC9\xCD\xD3\xDA\xE1\xE9\xED\xF3\xFA\xE7\xC7\xE3\xF5\xE2\xEA\xF4"
                               "\x80\x96\x93\x94"));
    QCOMPARE(fromWin1252(bytes), s);

    QByteArray all;
    for (int b = 0; b < 256; ++b)
        all += char(b);
    QCOMPARE(toWin1252(fromWin1252(all)), all);
}

void TestText::win1252ControlRange_data()
{
    QTest::addColumn<int>("byte");
    QTest::addColumn<int>("codePoint");

    QTest::newRow("euro") << 0x80 << 0x20AC;
    QTest::newRow("undefined 0x81") << 0x81 << 0x0081;
    QTest::newRow("low quote") << 0x82 << 0x201A;
    QTest::newRow("ellipsis") << 0x85 << 0x2026;
    QTest::newRow("S caron") << 0x8A << 0x0160;
    QTest::newRow("OE") << 0x8C << 0x0152;
    QTest::newRow("undefined 0x8D") << 0x8D << 0x008D;
    QTest::newRow("Z caron") << 0x8E << 0x017D;
    QTest::newRow("undefined 0x8F") << 0x8F << 0x008F;
    QTest::newRow("undefined 0x90") << 0x90 << 0x0090;
    QTest::newRow("bullet") << 0x95 << 0x2022;
    QTest::newRow("em dash") << 0x97 << 0x2014;
    QTest::newRow("small tilde") << 0x98 << 0x02DC;
    QTest::newRow("trade mark") << 0x99 << 0x2122;
    QTest::newRow("undefined 0x9D") << 0x9D << 0x009D;
    QTest::newRow("Y diaeresis") << 0x9F << 0x0178;
    QTest::newRow("no-break space") << 0xA0 << 0x00A0;
    QTest::newRow("y diaeresis") << 0xFF << 0x00FF;
}

void TestText::win1252ControlRange()
{
    QFETCH(int, byte);
    QFETCH(int, codePoint);
    const QByteArray bytes(1, char(byte));
    const QString s{QChar(char16_t(codePoint))};
    QCOMPARE(fromWin1252(bytes), s);
    QCOMPARE(toWin1252(s), bytes);
}

void TestText::win1252Unencodable_data()
{
    QTest::addColumn<QString>("input");
    QTest::addColumn<QByteArray>("expected");

    QTest::newRow("smiley") << QStringLiteral("a☺b") << QByteArray("a?b");
    QTest::newRow("outside the BMP is one '?'") << QStringLiteral("a😀b") << QByteArray("a?b");
    QTest::newRow("C1 control held by the euro's byte") << QString(QChar(char16_t(0x80)))
                                                         << QByteArray("?");
    QTest::newRow("A macron") << QStringLiteral("Ā") << QByteArray("?");
}

void TestText::win1252Unencodable()
{
    QFETCH(QString, input);
    QFETCH(QByteArray, expected);
    QCOMPARE(toWin1252(input), expected);
}

QTEST_GUILESS_MAIN(TestText)
#include "tst_text.moc"
