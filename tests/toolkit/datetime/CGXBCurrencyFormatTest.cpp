#include "toolkit/datetime/CGXBCurrencyFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

namespace {

std::string Show(const CGXBCurrencyFormat& format, double magnitude, bool negative = false)
{
    CString text;
    format.FormatValue(magnitude, text, negative ? TRUE : FALSE);
    return text.GetString();
}

struct Parsed {
    bool ok = false;
    double magnitude = -1.0;
    bool negative = false;
};

Parsed Read(const CGXBCurrencyFormat& format, const char* text)
{
    Parsed p;
    double magnitude = -1.0;
    BOOL negative = 2;
    p.ok = format.ParseValue(text, &magnitude, &negative) != FALSE;
    if (p.ok) {
        p.magnitude = magnitude;
        p.negative = negative != FALSE;
    } else {
        EXPECT_EQ(magnitude, -1.0) << "a refused text changed the value: " << text;
        EXPECT_EQ(negative, 2) << text;
    }
    return p;
}

TEST(CGXBCurrencyFormatTest, FormatsThePatternTablesAndDigitCounts)
{
    CGXBCurrencyFormat format;
    EXPECT_EQ(Show(format, 1234.5), "$1,234.50");
    EXPECT_EQ(Show(format, 1234.5, true), "($1,234.50)");
    EXPECT_EQ(Show(format, 0.5), "$0.50");
    EXPECT_EQ(Show(format, -1234.5), "$1,234.50"); // the sign travels apart from the value
    EXPECT_EQ(Show(format, 1234567.891), "$1,234,567.89");

    format.SetFractionDigits(1);
    const char* positive[] = {"$1.1", "1.1$", "$ 1.1", "1.1 $"};
    for (int i = 0; i < 4; ++i) {
        format.SetPositivePattern(i);
        EXPECT_EQ(Show(format, 1.1), positive[i]) << i;
    }
    const char* negative[] = {"($1.1)", "-$1.1", "$-1.1",  "$1.1-",  "(1.1$)", "-1.1$",
                              "1.1-$",  "1.1$-", "-1.1 $", "-$ 1.1", "1.1 $-", "$ 1.1-",
                              "$ -1.1", "1.1- $", "($ 1.1)", "(1.1 $)"};
    for (int i = 0; i < 16; ++i) {
        format.SetNegativePattern(i);
        EXPECT_EQ(Show(format, 1.1, true), negative[i]) << i;
    }

    CGXBCurrencyFormat digits;
    digits.SetIntegerDigits(3);
    EXPECT_EQ(Show(digits, 1234), "$123.00");
    EXPECT_EQ(Show(digits, 12345.67), "$123.67");
    ASSERT_TRUE(digits.SetFillChar('0'));
    EXPECT_EQ(Show(digits, 5), "$005.00");
    digits.SetIntegerDigits(5);
    digits.SetFillChar('*');
    EXPECT_EQ(Show(digits, 5), "$****5.00"); // padded after grouping: not grouped
    digits.SetPadBeforeGrouping(TRUE);
    EXPECT_EQ(Show(digits, 5), "$**,**5.00");
    digits.SetNoTruncation(TRUE);
    digits.SetIntegerDigits(2);
    EXPECT_EQ(Show(digits, 1234), "$1,234.00");

    CGXBCurrencyFormat ungrouped;
    ASSERT_TRUE(ungrouped.SetSeparators(0, '.'));
    ungrouped.SetGrouping("1;0");
    EXPECT_EQ(Show(ungrouped, 1234567), "$1234567.00");
    CGXBCurrencyFormat twos;
    twos.SetGrouping("2;0");
    EXPECT_EQ(Show(twos, 1234567), "$1,23,45,67.00");
}

TEST(CGXBCurrencyFormatTest, LeadingZeroFollowsThePrintedDigits)
{
    CGXBCurrencyFormat format;
    format.SetLeadingZero(FALSE);
    EXPECT_EQ(Show(format, 0.5), "$.50");
    // 0.996 prints as 1.00: its integer digit must not be blanked.
    EXPECT_EQ(Show(format, 0.996), "$1.00");
    EXPECT_EQ(Show(format, 0.994), "$.99");
    format.SetFractionDigits(0);
    EXPECT_EQ(Show(format, 0.2), "$0");
}

TEST(CGXBCurrencyFormatTest, LocaleFormatKeepsTheIntegerPartWhole)
{
    const CGXBCurrencyFormat format(CGXBCurrencyFormat::Source::Locale);
    EXPECT_EQ(format.GetIntegerDigits(), -1);
    EXPECT_EQ(Show(format, 1234.5), "$1,234.50");
    EXPECT_EQ(Show(format, 1234.5, true), "($1,234.50)");
    EXPECT_TRUE(format.IsEqual(CGXBCurrencyFormat()));
}

TEST(CGXBCurrencyFormatTest, ParsesThePartsTableAndRefusesAmbiguousText)
{
    CGXBCurrencyFormat format;
    Parsed p = Read(format, "");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.magnitude, 0.0);
    EXPECT_FALSE(p.negative);
    p = Read(format, "  12 \t");
    EXPECT_TRUE(p.ok);
    EXPECT_EQ(p.magnitude, 12.0);
    for (const char* text : {"(12)", "12-", "-$12", "($1,234.50)", "$ -12"}) {
        p = Read(format, text);
        EXPECT_TRUE(p.ok && p.negative) << text;
    }
    EXPECT_EQ(Read(format, "($1,234.50)").magnitude, 1234.5);
    EXPECT_EQ(Read(format, "1,2,3").magnitude, 123.0);
    EXPECT_EQ(Read(format, "1,234.5").magnitude, 1234.5);
    EXPECT_EQ(Read(format, "$.5").magnitude, 0.5);
    EXPECT_EQ(Read(format, "USD 7").magnitude, 7.0);

    // Digits or separators outside the number would be silently dropped: "1.2.3" is not 2.3,
    // "12 34" is not 34.
    for (const char* text : {"(12", "12)", "1.2.3", "12 34", "1.234,5", "..5", "5.", "12,",
                             "$", "abc", "   ", "-", "()", "\x01\xff\x80"})
        EXPECT_FALSE(Read(format, text).ok) << text;
    EXPECT_FALSE(format.ParseValue(nullptr, nullptr, nullptr) == FALSE);
}

TEST(CGXBCurrencyFormatTest, HostileDigitRunsAreRefusedNotTurnedIntoInfinity)
{
    CGXBCurrencyFormat format;
    EXPECT_TRUE(Read(format, std::string(15, '9').c_str()).ok);
    EXPECT_FALSE(Read(format, std::string(16, '9').c_str()).ok);
    EXPECT_FALSE(Read(format, std::string(400, '9').c_str()).ok);
    EXPECT_FALSE(Read(format, ("$" + std::string(1 << 20, '7') + ".00").c_str()).ok);
    // Leading zeros carry no value, so a zero-filled display text still reads back.
    const Parsed filled = Read(format, ("$" + std::string(30, '0') + "12.5").c_str());
    EXPECT_TRUE(filled.ok);
    EXPECT_EQ(filled.magnitude, 12.5);
    // A long fraction is only precision, not magnitude.
    EXPECT_NEAR(Read(format, ("0." + std::string(5000, '3')).c_str()).magnitude, 1.0 / 3, 1e-15);

    // Nothing the format is asked to show comes out as "inf" or "nan".
    for (double bad : {INFINITY, -INFINITY, NAN})
        EXPECT_EQ(Show(format, bad), "$0.00");
    EXPECT_EQ(Show(format, 1e20).find_first_not_of("$0123456789,."), std::string::npos);
}

TEST(CGXBCurrencyFormatTest, SettersKeepEveryFieldInsideWhatFormattingCanHandle)
{
    CGXBCurrencyFormat format;
    format.SetFractionDigits(-2);
    EXPECT_EQ(format.GetFractionDigits(), 0);
    EXPECT_EQ(Show(format, 1234.7), "$1,235");
    format.SetFractionDigits(100000);
    EXPECT_EQ(format.GetFractionDigits(), 15);
    EXPECT_EQ(Show(format, 0.25), "$0.250000000000000");
    format.SetIntegerDigits(0);
    EXPECT_EQ(format.GetIntegerDigits(), -1);
    format.SetIntegerDigits(400);
    EXPECT_EQ(format.GetIntegerDigits(), 15);
    format.SetPositivePattern(4);
    EXPECT_EQ(format.GetPositivePattern(), 0);
    format.SetNegativePattern(-1);
    EXPECT_EQ(format.GetNegativePattern(), 0);
    format.SetNegativePattern(16);
    EXPECT_EQ(format.GetNegativePattern(), 0);

    // Separators must be distinct non-digits; otherwise 1234 with no decimals reads as 1.234.
    CGXBCurrencyFormat seps;
    ASSERT_TRUE(seps.SetSeparators('.', ','));
    for (auto bad : {std::pair{'.', '.'}, {'1', ','}, {',', '7'}, {',', '\0'}, {',', ' '},
                     {'\xe2', '.'}}) {
        seps.SetSeparators('.', ',');
        EXPECT_FALSE(seps.SetSeparators(bad.first, bad.second));
        EXPECT_EQ(seps.GetThousandsSeparator(), ',');
        EXPECT_EQ(seps.GetDecimalSeparator(), '.');
    }
    seps.SetFractionDigits(0);
    EXPECT_EQ(Read(seps, Show(seps, 1234).c_str()).magnitude, 1234.0);

    EXPECT_FALSE(seps.SetFillChar('5'));
    EXPECT_EQ(seps.GetFillChar(), ' ');
    EXPECT_TRUE(seps.SetFillChar('0'));
    EXPECT_TRUE(seps.SetFillChar('*'));
    EXPECT_EQ(seps.GetFillChar(), '*');
}

TEST(CGXBCurrencyFormatTest, FindsTheNumberAndTheDecimalSeparator)
{
    CGXBCurrencyFormat format;
    int first = 0, last = 0;
    ASSERT_TRUE(format.FindNumber("($1,234.50)", &first, &last));
    EXPECT_EQ(first, 2);
    EXPECT_EQ(last, 9);
    EXPECT_FALSE(format.FindNumber("($)", &first, &last));
    EXPECT_EQ(first, -1);
    EXPECT_EQ(last, -1);
    EXPECT_EQ(format.FindDecimalSeparator("1.2.3"), 3);
    EXPECT_EQ(format.FindDecimalSeparator("1,234", ','), 1);
    EXPECT_EQ(format.FindDecimalSeparator("1234"), -1);
    EXPECT_EQ(format.FindDecimalSeparator("\xe2\x82\xac" "5.5"), 4);
}

TEST(CGXBCurrencyFormatTest, CopiesCompareEqualAndEverySingleChangeIsSeen)
{
    CGXBCurrencyFormat base;
    base.SetCurrencySymbol("EUR");
    CGXBCurrencyFormat copy;
    copy.Assign(base);
    EXPECT_TRUE(copy.IsEqual(base));
    EXPECT_FALSE(copy.IsNotEqual(base));
    EXPECT_TRUE(base.IsEqual(base.Assign(base)));

    using Change = void (*)(CGXBCurrencyFormat&);
    const Change changes[] = {
        [](CGXBCurrencyFormat& f) { f.SetLeadingZero(FALSE); },
        [](CGXBCurrencyFormat& f) { f.SetDecimalLine(TRUE); },
        [](CGXBCurrencyFormat& f) { f.SetNoTruncation(TRUE); },
        [](CGXBCurrencyFormat& f) { f.SetPadBeforeGrouping(TRUE); },
        [](CGXBCurrencyFormat& f) { f.SetCurrencySymbol("eur"); },
        [](CGXBCurrencyFormat& f) { f.SetGrouping("3;3"); },
        [](CGXBCurrencyFormat& f) { f.SetSeparators('\'', '.'); },
        [](CGXBCurrencyFormat& f) { f.SetSeparators(',', ';'); },
        [](CGXBCurrencyFormat& f) { f.SetFillChar('#'); },
        [](CGXBCurrencyFormat& f) { f.SetBackgroundColor(0); },
        [](CGXBCurrencyFormat& f) { f.SetNegativeColor(0); },
        [](CGXBCurrencyFormat& f) { f.SetPositiveColor(0); },
        [](CGXBCurrencyFormat& f) { f.SetDecimalLineColor(1); },
        [](CGXBCurrencyFormat& f) { f.SetPositivePattern(3); },
        [](CGXBCurrencyFormat& f) { f.SetNegativePattern(15); },
        [](CGXBCurrencyFormat& f) { f.SetIntegerDigits(4); },
        [](CGXBCurrencyFormat& f) { f.SetFractionDigits(3); },
    };
    for (size_t i = 0; i < std::size(changes); ++i) {
        CGXBCurrencyFormat changed(base);
        changes[i](changed);
        EXPECT_FALSE(changed.IsEqual(base)) << "change " << i;
        EXPECT_TRUE(changed.IsNotEqual(base)) << "change " << i;
    }
    COLORREF cr = 0;
    EXPECT_FALSE(base.GetNegativeColor(cr));
    base.SetNegativeColor(0x0000FF);
    EXPECT_TRUE(base.GetNegativeColor(cr));
    EXPECT_EQ(cr, 0x0000FFu);
}

// Whatever the patterns, separators, symbol and digits, what the format shows it reads back.
TEST(CGXBCurrencyFormatTest, FormattedTextsReadBackToTheSameValue)
{
    std::mt19937_64 random(20261207);
    const std::pair<char, char> separators[] = {{',', '.'}, {'.', ','}, {' ', ','},
                                                {'\'', '.'}, {0, '.'}, {'.', ';'}};
    const char* symbols[] = {"$", "\xe2\x82\xac", "kr", "USD"};
    for (int round = 0; round < 20000; ++round) {
        CGXBCurrencyFormat format;
        const auto& sep = separators[random() % std::size(separators)];
        ASSERT_TRUE(format.SetSeparators(sep.first, sep.second));
        format.SetCurrencySymbol(symbols[random() % std::size(symbols)]);
        format.SetPositivePattern(static_cast<int>(random() % 4));
        format.SetNegativePattern(static_cast<int>(random() % 16));
        format.SetLeadingZero(random() % 2 ? TRUE : FALSE);
        const int decimals = static_cast<int>(random() % 5);
        format.SetFractionDigits(decimals);
        const bool limited = random() % 3 == 0;
        if (limited) {
            format.SetIntegerDigits(12);
            format.SetFillChar(random() % 2 ? '0' : '*');
            format.SetPadBeforeGrouping(random() % 2 ? TRUE : FALSE);
        }
        const double scale = std::pow(10.0, decimals);
        const double units = static_cast<double>(random() % 100000000000000ull);
        double magnitude = std::trunc(units / std::pow(10.0, double(random() % 12))) / scale;
        if (limited) // a limited format cuts longer values on purpose
            magnitude = std::fmod(magnitude, 1e12);
        const bool negative = random() % 2;

        const std::string text = Show(format, magnitude, negative);
        const Parsed back = Read(format, text.c_str());
        ASSERT_TRUE(back.ok) << text;
        ASSERT_NEAR(back.magnitude, magnitude, magnitude * 1e-14 + 0.5 / scale) << text;
        ASSERT_EQ(back.negative, negative) << text;
        // And the stored form of that value reads back too, whatever the separators.
        const CString stored = format.FormatStoredValue(back.magnitude, back.negative);
        double storedValue = -1;
        BOOL storedNegative = FALSE;
        ASSERT_TRUE(CGXBCurrencyFormat::ParseStoredValue(stored, &storedValue, &storedNegative))
            << stored.GetString();
        ASSERT_NEAR(storedValue, magnitude, magnitude * 1e-14 + 0.5 / scale);
        ASSERT_EQ(storedNegative != FALSE, negative && magnitude != 0.0) << stored.GetString();
    }
}

TEST(CGXBCurrencyFormatTest, StoredFormUsesThePointWhateverTheSeparators)
{
    CGXBCurrencyFormat format;
    format.SetSeparators('.', ',');
    EXPECT_EQ(format.FormatStoredValue(1234.5, TRUE), CString("-1234.50"));
    EXPECT_EQ(format.FormatStoredValue(0.0, TRUE), CString("0.00"));
    format.SetIntegerDigits(3);
    EXPECT_EQ(format.FormatStoredValue(12345.678, FALSE), CString("123.68"));

    // A calculator's "20." or "20.5" is read as written, never with the cell's separators.
    double value = 0;
    BOOL negative = TRUE;
    ASSERT_TRUE(CGXBCurrencyFormat::ParseStoredValue("20.", &value, &negative));
    EXPECT_EQ(value, 20.0);
    EXPECT_FALSE(negative);
    ASSERT_TRUE(CGXBCurrencyFormat::ParseStoredValue("-20.5", &value, &negative));
    EXPECT_EQ(value, 20.5);
    EXPECT_TRUE(negative);
    ASSERT_TRUE(CGXBCurrencyFormat::ParseStoredValue(".25", &value, &negative));
    EXPECT_EQ(value, 0.25);

    value = -1;
    for (const char* bad : {"", "-", ".", "1,234.5", "1e5", "inf", "nan", "--1", "1.2.3",
                            "0x10", "$5", "\x80\x81"}) {
        EXPECT_FALSE(CGXBCurrencyFormat::ParseStoredValue(bad, &value, &negative)) << bad;
        EXPECT_EQ(value, -1) << bad;
    }
    EXPECT_FALSE(CGXBCurrencyFormat::ParseStoredValue(std::string(400, '9').c_str(), &value,
                                                      &negative));
    EXPECT_FALSE(CGXBCurrencyFormat::ParseStoredValue(nullptr, &value, &negative));
}

} // namespace
