#include "toolkit/datetime/CGXBCalcEngine.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Types keys as a user would, through the buttons' key lists; counts the refusals.
struct Keys {
    CGXBCalcEngine calc;
    int beeps = 0;

    std::string Type(const std::string& keys)
    {
        for (char ch : keys) {
            if (ch == ' ')
                continue;
            const UINT id = CGXBCalcEngine::CommandForChar(ch);
            EXPECT_NE(id, 0u) << "no button for '" << ch << "'";
            if (calc.OnCalcCommand(id).bBeep)
                ++beeps;
        }
        return calc.IsError() ? std::string("Error") : std::string(calc.GetDisplayText());
    }
};

TEST(CGXBCalcEngineTest, WorkedExamplesEvaluateLeftToRight)
{
    struct Case {
        const char* keys;
        const char* display;
    };
    const Case cases[] = {
        {"2+3*4=", "20."},          // strictly left to right, no precedence
        {"10-4-3=", "3."},
        {"3-5=", "-2."},
        {"200*10%", "20."},
        {"200+10%", "0."},
        {"200/10%", "20."},         // percent of the accumulator after divide too
        {"1/3=", "0.333333333333333"},
        {"2/3=", "0.666666666666667"},
        {"0.1+0.2=", "0.3"},         // trailing zeros cut, the point kept
        {"1.50*2=", "3."},
        {"5", "5."},                 // an integer entry shows a point
        {"", "0."},
        {"0", "0."},                 // a zero on an empty entry does nothing
        {".", "0."},
        {"..5", "0.5"},
        {"2+.5=", "2.5"},            // a point starts the new entry and keeps it
        {"12\b3", "13."},
        {"7=\b", "7."},              // backspace does not edit a result
        {"9e4=", "4."},              // CE drops the entry only
        {"9+9c", "0."},
        {"4*", "4."},
        {"4*=", "16."},              // the shown result is the operand: a square
        {"4*e=", "0."},              // a cleared entry counts as zero
    };
    for (const Case& c : cases) {
        Keys k;
        EXPECT_EQ(k.Type(c.keys), c.display) << c.keys;
    }

    Keys percent;
    percent.Type("200*10%");
    EXPECT_EQ(percent.calc.GetPendingOp(), 0u);
    EXPECT_EQ(percent.calc.GetValue(), 20.0);
}

TEST(CGXBCalcEngineTest, DivisionByZeroLocksEverythingButClear)
{
    Keys k;
    EXPECT_EQ(k.Type("5/0="), "Error");
    for (char ch : std::string("123+.=%\b")) {
        const auto outcome = k.calc.OnCalcCommand(CGXBCalcEngine::CommandForChar(ch));
        EXPECT_FALSE(outcome.bResult) << ch;
        EXPECT_TRUE(outcome.bBeep) << ch;
    }
    EXPECT_TRUE(k.calc.IsError());
    EXPECT_EQ(k.Type("e"), "0."); // clear entry in the error state clears everything
    EXPECT_EQ(k.calc.GetPendingOp(), 0u);
    EXPECT_EQ(k.Type("6+1="), "7.");
    EXPECT_EQ(k.Type("1/0=c8"), "8.");
}

TEST(CGXBCalcEngineTest, EntryAndResultStayInsideTheDisplay)
{
    Keys k;
    EXPECT_EQ(k.Type("1234567890123"), "1234567890123.");
    EXPECT_EQ(k.beeps, 0);
    EXPECT_EQ(k.Type("4"), "1234567890123."); // a fourteenth integer digit is refused
    EXPECT_EQ(k.beeps, 1);
    EXPECT_EQ(k.Type(".45"), "1234567890123.45");
    EXPECT_EQ(k.Type("6"), "1234567890123.45"); // fifteen digits in all
    EXPECT_EQ(k.beeps, 2);

    Keys small;
    EXPECT_EQ(small.Type(".123456789012345"), "0.123456789012345");
    EXPECT_EQ(small.Type("6"), "0.123456789012345"); // sixteen with the leading zero
    EXPECT_EQ(small.beeps, 1);

    Keys overflow;
    EXPECT_EQ(overflow.Type("9999999999999*10="), "Error");
    Keys huge;
    EXPECT_EQ(huge.Type("9999999999999*9999999999999="), "Error");
    Keys fits;
    EXPECT_EQ(fits.Type("999999999999*9="), "8999999999991.");
    Keys tiny;
    EXPECT_EQ(tiny.Type("1/9999999999999="), "0.0000000000001");

    // Held Enter repeats nothing: the shown result stays the result.
    Keys enter;
    enter.Type("7*6");
    for (int i = 0; i < 50; ++i)
        enter.calc.OnCalcCommand(CGXBCalcEngine::CommandForKey(0x0D));
    EXPECT_EQ(enter.calc.GetDisplayText(), CString("42."));
    EXPECT_EQ(CGXBCalcEngine::CommandForKey(0x2E), GXCALC_BACKSPACE);
    EXPECT_EQ(CGXBCalcEngine::CommandForKey('A'), 0u);
}

TEST(CGXBCalcEngineTest, ANarrowDisplayShowsFewerDigits)
{
    Keys k;
    k.calc.SetMaxDigits(8);
    EXPECT_EQ(k.calc.GetMaxDecimals(), 8);
    EXPECT_EQ(k.Type("1/3="), "0.3333333");
    EXPECT_EQ(k.Type("c123456789"), "12345678.");
    EXPECT_EQ(k.beeps, 1);
    EXPECT_EQ(k.Type("*10="), "Error");
    EXPECT_EQ(k.Type("c2/3="), "0.6666667");

    CGXBCalcEngine set;
    set.SetValue(20.5);
    EXPECT_EQ(set.GetDisplayText(), CString("20.5"));
    EXPECT_EQ(set.OnCalcCommand(GXCALC_ADD).bResult, TRUE);
    set.OnCalcCommand(GXCALC_DIGIT0 + 1);
    set.OnCalcCommand(GXCALC_EQUALS);
    EXPECT_EQ(set.GetDisplayText(), CString("21.5"));
    set.SetValue(-0.0);
    EXPECT_EQ(set.GetDisplayText(), CString("0."));
    set.SetValue(1e300);
    EXPECT_TRUE(set.IsError());
    EXPECT_FALSE(set.OnCalcCommand(99).bResult);
}

} // namespace
