#include "common/text/StringFunctions.h"
#include "tests/support/FakeClock.h"

#include <QLocale>
#include <gtest/gtest.h>

namespace kront
{
namespace
{

// --- the number tests -----------------------------------------------------------------------

struct NumberCase {
    const char *input;
    bool signedDecimal;
    bool unsignedDecimal;
    bool signedExp;
    bool unsignedExp;
};

class NumberTestsTable : public ::testing::TestWithParam<NumberCase>
{
};

TEST_P(NumberTestsTable, EachTestAnswersAsTabled)
{
    const NumberCase c = GetParam();
    const QString s = QString::fromUtf8(c.input);
    EXPECT_EQ(IsSignedDecimal(s), c.signedDecimal) << c.input;
    EXPECT_EQ(IsUnsignedDecimal(s), c.unsignedDecimal) << c.input;
    EXPECT_EQ(IsSignedExpNumber(s), c.signedExp) << c.input;
    EXPECT_EQ(IsUnsignedExpNumber(s), c.unsignedExp) << c.input;
    EXPECT_EQ(IsSignedNumber(s), c.signedExp || c.signedDecimal) << c.input;
    EXPECT_EQ(IsUnsignedNumber(s), c.unsignedExp || c.unsignedDecimal) << c.input;
}

INSTANTIATE_TEST_SUITE_P(SampleInputs, NumberTestsTable,
                         ::testing::Values(NumberCase{"", false, false, false, false},
                                           NumberCase{"5", true, true, false, false},
                                           NumberCase{"-5", true, false, false, false},
                                           NumberCase{"0,5", true, true, false, false},
                                           NumberCase{"12.75", true, true, false, false},
                                           NumberCase{"5,", false, false, false, false},
                                           NumberCase{",5", false, false, false, false},
                                           NumberCase{"1,2,3", false, false, false, false},
                                           NumberCase{"-,", false, false, false, false},
                                           NumberCase{"1 000", false, false, false, false},
                                           NumberCase{"1,5E3", false, false, true, true},
                                           NumberCase{"-2e-4", false, false, true, false},
                                           NumberCase{"1,5E-3", false, false, true, true},
                                           NumberCase{"3E+2", false, false, true, true},
                                           NumberCase{"1.5e3", false, false, true, true},
                                           NumberCase{"1,5E", false, false, false, false},
                                           NumberCase{"1E2E3", false, false, false, false},
                                           NumberCase{"1-5E3", false, false, false, false},
                                           NumberCase{"1,5E3-", false, false, false, false}));

INSTANTIATE_TEST_SUITE_P(
    MoreInputs, NumberTestsTable,
    ::testing::Values(
        NumberCase{"+5", true, false, false, false}, NumberCase{"-", false, false, false, false},
        NumberCase{"+", false, false, false, false}, NumberCase{".", false, false, false, false},
        NumberCase{"--5", false, false, false, false},
        NumberCase{"+-5", false, false, false, false}, NumberCase{"5-", false, false, false, false},
        NumberCase{"-0.5", true, false, false, false},
        NumberCase{"1.2.3", false, false, false, false},
        NumberCase{"1,2.3", false, false, false, false},
        NumberCase{" 5", false, false, false, false}, NumberCase{"5 ", false, false, false, false},
        NumberCase{"5a", false, false, false, false},
        NumberCase{"0x10", false, false, false, false},
        NumberCase{"١٢", false, false, false, false},    // Arabic-Indic digits
        NumberCase{"1,5Е3", false, false, false, false}, // Cyrillic Е
        NumberCase{"E5", false, false, false, false}, NumberCase{"e", false, false, false, false},
        NumberCase{",5E3", false, false, false, false},
        NumberCase{"-,5E3", false, false, false, false},
        NumberCase{"1E3,5", false, false, false, false},
        NumberCase{"+1,5E3", false, false, true, false},
        NumberCase{"1,5E+-3", false, false, false, false},
        NumberCase{"1,5E--3", false, false, false, false},
        NumberCase{"1E+", false, false, false, false},
        // A separator directly before the exponent letter converts.
        NumberCase{"1,E3", false, false, true, true},
        // Too large for a number of the program.
        NumberCase{"1E999", false, false, false, false},
        NumberCase{"0000012,5000", true, true, false, false}));

TEST(NormalizeNumberText, DotsToCommasAndCyrillicExponentLetters)
{
    const std::pair<const char *, const char *> cases[] = {
        {"1.5", "1,5"},   {"1,5Е3", "1,5E3"}, {"2е-4", "2e-4"},
        {"", ""},         {"1.2.3", "1,2,3"}, {" 7.5 ", " 7,5 "},
        {"ЕеEe", "EeEe"}, {"Ё1", "Ё1"},       {"abc.", "abc,"}};
    for (const auto &[in, out] : cases)
        EXPECT_EQ(NormalizeNumberText(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
    EXPECT_TRUE(IsUnsignedNumber(NormalizeNumberText(QString::fromUtf8("1,5Е3"))));
    EXPECT_TRUE(IsUnsignedNumber(NormalizeNumberText("1.5")));
}

TEST(DotToComma, OnlyDotsChange)
{
    EXPECT_EQ(DotToComma("1.5e.3"), "1,5e,3");
    EXPECT_EQ(DotToComma(QString::fromUtf8("1,5Е3")), QString::fromUtf8("1,5Е3"));
    EXPECT_TRUE(DotToComma("").isEmpty());
}

TEST(IsValidYear, From1900ToTheCurrentYear)
{
    test::FakeClock clock(QDateTime(QDate(2026, 12, 31), QTime(23, 59, 59)));
    const std::pair<const char *, bool> cases[] = {
        {"1899", false},  {"1900", true},         {"2026", true},    {"2027", false},
        {"", false},      {"19a0", false},        {"2000.0", false}, {"-2000", false},
        {" 2000", false}, {"99999999999", false}, {"02000", true}};
    for (const auto &[text, valid] : cases)
        EXPECT_EQ(IsValidYear(text), valid) << text;
    clock.set(QDateTime(QDate(2027, 1, 1), QTime(0, 0)));
    EXPECT_TRUE(IsValidYear("2027"));
}

TEST(IsDigitsInteger, DigitsOnlyWithinThe32BitRange)
{
    const std::pair<const char *, bool> cases[] = {{"0", true},
                                                   {"0012", true},
                                                   {"2147483647", true},
                                                   {"2147483648", false},
                                                   {"99999999999999999999", false},
                                                   {"+12", false},
                                                   {"-1", false},
                                                   {"", false},
                                                   {"1 2", false},
                                                   {"12,0", false},
                                                   {"١٢", false}};
    for (const auto &[text, valid] : cases)
        EXPECT_EQ(IsDigitsInteger(QString::fromUtf8(text)), valid) << text;
}

// --- the fixed format -----------------------------------------------------------------------

TEST(MakeFormatSettings, FixedSeparatorsAndPatternsEmptyNames)
{
    const TFormatSettings fs = MakeFormatSettings();
    EXPECT_EQ(fs.DecimalSeparator, QChar(','));
    EXPECT_EQ(fs.ThousandSeparator, QChar(' '));
    EXPECT_EQ(fs.DateSeparator, QChar('.'));
    EXPECT_EQ(fs.TimeSeparator, QChar(':'));
    EXPECT_EQ(fs.ShortDateFormat, "dd.mm.yyyy");
    EXPECT_EQ(fs.LongTimeFormat, "hh:mm:ss");
    for (int m = 0; m <= 12; ++m) {
        EXPECT_TRUE(fs.ShortMonthNames[m].isEmpty());
        EXPECT_TRUE(fs.LongMonthNames[m].isEmpty());
    }
    for (int d = 0; d <= 7; ++d) {
        EXPECT_TRUE(fs.ShortDayNames[d].isEmpty());
        EXPECT_TRUE(fs.LongDayNames[d].isEmpty());
    }
}

TEST(TryStrToFloat, CommaSeparatorOnly)
{
    ASSERT_NE(QLocale().decimalPoint(), ","); // the tests run under a point locale
    struct Case {
        const char *text;
        bool ok;
        double value;
    };
    const Case cases[] = {
        {"12,5", true, 12.5},  {"-3,25", true, -3.25}, {" 7 ", true, 7},    {"+7", true, 7},
        {"1,5E3", true, 1500}, {"2e-4", true, 2e-4},   {"5,", true, 5},     {",5", true, 0.5},
        {"-300", true, -300},  {"12.5", false, 0},     {"", false, 0},      {"-", false, 0},
        {"E5", false, 0},      {"1e", false, 0},       {"1 000", false, 0}, {"1,2,3", false, 0},
        {"--1", false, 0},     {"1E999", false, 0},    {"inf", false, 0},   {"nan", false, 0},
        {"0x1A", false, 0},
    };
    for (const Case &c : cases) {
        double value = 42;
        EXPECT_EQ(TryStrToFloat(c.text, value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 42.0) << c.text;
    }
    EXPECT_EQ(StrToFloatDef("", -300), -300);
    EXPECT_EQ(StrToFloatDef("0,25", -300), 0.25);
}

TEST(TryStrToInt, SignedDecimal32Bit)
{
    const std::tuple<const char *, bool, int> cases[] = {{"0", true, 0},
                                                         {"+12", true, 12},
                                                         {"-2147483648", true, INT_MIN},
                                                         {"2147483647", true, INT_MAX},
                                                         {"2147483648", false, 0},
                                                         {"-2147483649", false, 0},
                                                         {"", false, 0},
                                                         {"-", false, 0},
                                                         {" 12", false, 0},
                                                         {"12 ", false, 0},
                                                         {"1,0", false, 0},
                                                         {"$1A", false, 0}};
    for (const auto &[text, ok, expected] : cases) {
        int value = 7;
        EXPECT_EQ(TryStrToInt(text, value), ok) << text;
        EXPECT_EQ(value, ok ? expected : 7) << text;
    }
}

TEST(FloatToStr, ShortestGeneralNotationWithComma)
{
    const std::pair<double, const char *> cases[] = {{12.5, "12,5"},
                                                     {-300, "-300"},
                                                     {0, "0"},
                                                     {-0.0, "0"},
                                                     {0.001, "0,001"},
                                                     {0.0001, "0,0001"},
                                                     {0.00001, "0,00001"},
                                                     {0.000001, "1E-6"},
                                                     {2.5e-7, "2,5E-7"},
                                                     {0.1 + 0.2, "0,3"},
                                                     {1.0 / 3, "0,333333333333333"},
                                                     {2.0 / 3, "0,666666666666667"},
                                                     {123456789012345.0, "123456789012345"},
                                                     {1234567890123456.0, "1,23456789012346E15"},
                                                     {1e20, "1E20"},
                                                     {-1064.18, "-1064,18"},
                                                     {4.105, "4,105"}};
    for (const auto &[value, text] : cases)
        EXPECT_EQ(FloatToStr(value), text) << value;
}

TEST(FloatToStrFixed, DigitsAfterTheCommaOfTheValueRoundedToSevenDigits)
{
    const std::tuple<double, int, const char *> cases[] = {
        {4.1, 2, "4,10"},
        {400.2, 2, "400,20"},
        {-1.5, 3, "-1,500"},
        {2.675, 2, "2,68"}, // the decimal value 2.675, not the binary 2.67499...
        {0.0435, 3, "0,044"},
        {0.005, 2, "0,01"},
        {-0.004, 2, "0,00"}, // no minus for a value shown as zero
        {0, 3, "0,000"},
        {9.9999999, 2, "10,00"},
        {1234.5678, 3, "1234,568"},
        {12345.678, 2, "12345,68"},
        {1234567.891, 2, "1234568,00"},
        {12345678.9, 2, "1,234568E7"}, // more integer digits than the precision
        {0.5, 0, "1"},
        {-12.345, 2, "-12,35"}};
    for (const auto &[value, digits, text] : cases)
        EXPECT_EQ(FloatToStrFixed(value, digits), text) << value << " " << digits;
}

TEST(FloatToStrF, ExponentAndNumberFormats)
{
    EXPECT_EQ(FloatToStrF(1234.5, TFloatFormat::ffExponent, 4, 2), "1,235E+03");
    EXPECT_EQ(FloatToStrF(0, TFloatFormat::ffExponent, 3, 2), "0,00E+00");
    EXPECT_EQ(FloatToStrF(-0.00012345, TFloatFormat::ffExponent, 3, 0), "-1,23E-4");
    EXPECT_EQ(FloatToStrF(1234567.891, TFloatFormat::ffNumber, 10, 2), "1 234 567,89");
    EXPECT_EQ(FloatToStrF(999.5, TFloatFormat::ffNumber, 7, 0), "1 000");
    EXPECT_EQ(FloatToStrF(123, TFloatFormat::ffNumber, 7, 1), "123,0");
    EXPECT_EQ(FloatToStrF(1e5, TFloatFormat::ffGeneral, 3, 2), "1E05");
    EXPECT_EQ(FloatToStrF(std::nan(""), TFloatFormat::ffGeneral, 15, 0), "NAN");
    EXPECT_EQ(FloatToStrF(-INFINITY, TFloatFormat::ffFixed, 7, 2), "-INF");
}

TEST(FloatToStr, WrittenTextReadsBack)
{
    for (double value : {12.5, -300.0, 0.001, 2.5e-7, 1e20, -1064.18, 0.3}) {
        double back = 0;
        ASSERT_TRUE(TryStrToFloat(FloatToStr(value), back)) << value;
        EXPECT_EQ(back, value);
    }
}

TEST(DateAndTimeText, FixedPatternsWhateverTheLocale)
{
    for (const QLocale &locale : {QLocale(QLocale::English, QLocale::UnitedStates),
                                  QLocale(QLocale::German, QLocale::Germany)}) {
        QLocale::setDefault(locale);
        EXPECT_EQ(DateToStr(QDate(2026, 1, 5)), "05.01.2026");
        EXPECT_EQ(TimeToStr(QTime(9, 5, 7)), "09:05:07");
        EXPECT_EQ(DateTimeToStr(QDateTime(QDate(2026, 12, 10), QTime(0, 0))),
                  "10.12.2026 00:00:00");
        EXPECT_EQ(DateTimeToStr(QDateTime(QDate(987, 11, 30), QTime(23, 59, 58))),
                  "30.11.0987 23:59:58");
        EXPECT_EQ(FloatToStrFixed(1234.5, 2), "1234,50");
    }
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_TRUE(DateToStr(QDate()).isEmpty());
    EXPECT_TRUE(TimeToStr(QTime()).isEmpty());
    EXPECT_TRUE(DateTimeToStr(QDateTime()).isEmpty());
}

TEST(TryStrToDate, DayMonthYear)
{
    test::FakeClock clock(QDateTime(QDate(2026, 12, 10), QTime(9, 0)));
    const std::pair<const char *, QDate> good[] = {
        {"05.01.2026", QDate(2026, 1, 5)},  {"5.1.2026", QDate(2026, 1, 5)},
        {"29.02.2024", QDate(2024, 2, 29)}, {" 10.12.2026 ", QDate(2026, 12, 10)},
        {"5.1.30", QDate(2030, 1, 5)}, // two-digit years: 1976 .. 2075
        {"5.1.80", QDate(1980, 1, 5)},      {"5.1.75", QDate(2075, 1, 5)},
        {"5.1.76", QDate(1976, 1, 5)}};
    for (const auto &[text, expected] : good) {
        QDate date;
        EXPECT_TRUE(TryStrToDate(text, date)) << text;
        EXPECT_EQ(date, expected) << text;
    }
    for (const char *text : {"", "31.02.2026", "29.02.2025", "05/01/2026", "05.01.202", "05.01",
                             "05.01.2026.1", "5..2026", "a5.01.2026", "005.01.2026"}) {
        QDate date(2000, 1, 1);
        EXPECT_FALSE(TryStrToDate(text, date)) << text;
        EXPECT_EQ(date, QDate(2000, 1, 1)) << text;
    }
}

} // namespace
} // namespace kront
