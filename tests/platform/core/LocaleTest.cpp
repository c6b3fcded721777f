#include "platform/core/Locale.h"

#include "platform/core/WinError.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace {

std::string Info(LCTYPE type, LCID lcid = LOCALE_USER_DEFAULT)
{
    char buf[256];
    const int n = GetLocaleInfoA(lcid, type, buf, sizeof buf);
    EXPECT_GT(n, 0) << type;
    return n > 0 ? std::string(buf) : std::string("<failed>");
}

SYSTEMTIME Make(int y, int mo, int d, int h = 0, int mi = 0, int s = 0)
{
    SYSTEMTIME st{};
    st.wYear = WORD(y), st.wMonth = WORD(mo), st.wDay = WORD(d);
    st.wHour = WORD(h), st.wMinute = WORD(mi), st.wSecond = WORD(s);
    return st;
}

std::string Date(const SYSTEMTIME& st, const char* picture, DWORD flags = 0)
{
    char buf[128];
    const int n = GetDateFormatA(LOCALE_USER_DEFAULT, flags, &st, picture, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<failed>");
}

std::string Time(const SYSTEMTIME& st, const char* picture, DWORD flags = 0)
{
    char buf[128];
    const int n = GetTimeFormatA(LOCALE_USER_DEFAULT, flags, &st, picture, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<failed>");
}

std::string Number(const char* value, const NUMBERFMTA* fmt = nullptr)
{
    char buf[128];
    const int n = GetNumberFormatA(LOCALE_USER_DEFAULT, 0, value, fmt, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<failed>");
}

std::string Currency(const char* value, const CURRENCYFMTA* fmt = nullptr)
{
    char buf[128];
    const int n = GetCurrencyFormatA(LOCALE_USER_DEFAULT, 0, value, fmt, buf, sizeof buf);
    return n > 0 ? std::string(buf) : std::string("<failed>");
}

} // namespace

TEST(Locale, DefaultIdsAreEnglishUnitedStates)
{
    EXPECT_EQ(GetUserDefaultLCID(), 0x0409u);
    EXPECT_EQ(GetSystemDefaultLCID(), 0x0409u);
    EXPECT_EQ(GetThreadLocale(), 0x0409u);
    EXPECT_EQ(PRIMARYLANGID(GetUserDefaultLangID()), LANG_ENGLISH);
    EXPECT_EQ(MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US), 0x0409);
}

TEST(Locale, NumberAndCurrencyItems)
{
    EXPECT_EQ(Info(LOCALE_SDECIMAL), ".");
    EXPECT_EQ(Info(LOCALE_STHOUSAND), ",");
    EXPECT_EQ(Info(LOCALE_SGROUPING), "3;0");
    EXPECT_EQ(Info(LOCALE_IDIGITS), "2");
    EXPECT_EQ(Info(LOCALE_ILZERO), "1");
    EXPECT_EQ(Info(LOCALE_INEGNUMBER), "1");
    EXPECT_EQ(Info(LOCALE_SCURRENCY), "$");
    EXPECT_EQ(Info(LOCALE_SMONDECIMALSEP), ".");
    EXPECT_EQ(Info(LOCALE_SMONTHOUSANDSEP), ",");
    EXPECT_EQ(Info(LOCALE_SMONGROUPING), "3;0");
    EXPECT_EQ(Info(LOCALE_ICURRDIGITS), "2");
    EXPECT_EQ(Info(LOCALE_ICURRENCY), "0");
    EXPECT_EQ(Info(LOCALE_INEGCURR), "0");
    EXPECT_EQ(Info(LOCALE_SLIST), ",");
    EXPECT_EQ(Info(LOCALE_IMEASURE), "1");
}

TEST(Locale, DateAndTimeItems)
{
    EXPECT_EQ(Info(LOCALE_SDATE), "/");
    EXPECT_EQ(Info(LOCALE_STIME), ":");
    EXPECT_EQ(Info(LOCALE_SSHORTDATE), "M/d/yyyy");
    EXPECT_EQ(Info(LOCALE_SLONGDATE), "dddd, MMMM d, yyyy");
    EXPECT_EQ(Info(LOCALE_STIMEFORMAT), "h:mm:ss tt");
    EXPECT_EQ(Info(LOCALE_IDATE), "0");
    EXPECT_EQ(Info(LOCALE_ITIME), "0");
    EXPECT_EQ(Info(LOCALE_S1159), "AM");
    EXPECT_EQ(Info(LOCALE_S2359), "PM");
    EXPECT_EQ(Info(LOCALE_IFIRSTDAYOFWEEK), "6"); // Sunday, counting from Monday = 0
    EXPECT_EQ(Info(LOCALE_SENGLANGUAGE), "English");
    EXPECT_EQ(Info(LOCALE_SABBREVLANGNAME), "ENU");
}

TEST(Locale, DayNamesStartOnMonday)
{
    EXPECT_EQ(Info(LOCALE_SDAYNAME1), "Monday");
    EXPECT_EQ(Info(LOCALE_SDAYNAME6), "Saturday");
    EXPECT_EQ(Info(LOCALE_SDAYNAME7), "Sunday");
    EXPECT_EQ(Info(LOCALE_SABBREVDAYNAME1), "Mon");
    EXPECT_EQ(Info(LOCALE_SABBREVDAYNAME7), "Sun");
    EXPECT_EQ(Info(LOCALE_SMONTHNAME1), "January");
    EXPECT_EQ(Info(LOCALE_SMONTHNAME9), "September");
    EXPECT_EQ(Info(LOCALE_SMONTHNAME12), "December");
    EXPECT_EQ(Info(LOCALE_SABBREVMONTHNAME5), "May");
    EXPECT_EQ(Info(LOCALE_SABBREVMONTHNAME12), "Dec");
    // Any locale id answers from the same table.
    EXPECT_EQ(Info(LOCALE_SMONTHNAME2, LOCALE_SYSTEM_DEFAULT), "February");
    EXPECT_EQ(Info(LOCALE_SMONTHNAME2 | LOCALE_NOUSEROVERRIDE, 0x0407), "February");
}

TEST(Locale, BufferConventions)
{
    // Asking with no buffer gives the size needed, NUL included.
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME9, nullptr, 0), 10);
    char buf[16];
    std::memset(buf, 'x', sizeof buf);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME9, buf, 10), 10);
    EXPECT_STREQ(buf, "September");

    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SMONTHNAME9, buf, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));

    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, 0x7777, buf, sizeof buf), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));

    SetLastError(0);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL, nullptr, 5), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
}

TEST(Locale, ReturnNumber)
{
    DWORD value = 0;
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ICURRDIGITS | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPSTR>(&value), sizeof value),
              int(sizeof(DWORD)));
    EXPECT_EQ(value, 2u);
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPSTR>(&value), sizeof value),
              int(sizeof(DWORD)));
    EXPECT_EQ(value, 0x0409u);
    // Text items have no number form.
    EXPECT_EQ(GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SDECIMAL | LOCALE_RETURN_NUMBER,
                             reinterpret_cast<LPSTR>(&value), sizeof value),
              0);
}

TEST(Locale, DatePictures)
{
    const SYSTEMTIME st = Make(1999, 6, 24, 13, 5, 9);
    EXPECT_EQ(Date(st, "yyyy/MM/dd"), "1999/06/24");
    EXPECT_EQ(Date(st, "ddd, dd MMM yyyy"), "Thu, 24 Jun 1999");
    EXPECT_EQ(Date(st, "dddd d MMMM y yy"), "Thursday 24 June 99 99");
    EXPECT_EQ(Date(Make(2005, 3, 7), "d/M/y yy"), "7/3/5 05");
    EXPECT_EQ(Date(Make(2005, 3, 7), "dd/MM"), "07/03");
    // Quoted text, the doubled quote, and time letters, which are no date pictures.
    EXPECT_EQ(Date(st, "'day' d 'o''clock' h:mm"), "day 24 o'clock h:mm");
    EXPECT_EQ(Date(st, "'unclosed d"), "unclosed d");
    EXPECT_EQ(Date(st, nullptr), "6/24/1999");
    EXPECT_EQ(Date(st, nullptr, DATE_LONGDATE), "Thursday, June 24, 1999");
    EXPECT_EQ(Date(st, nullptr, DATE_YEARMONTH), "June 1999");
}

TEST(Locale, DateFormatErrors)
{
    char buf[64];
    const SYSTEMTIME bad = Make(2001, 2, 29);
    SetLastError(0);
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &bad, "d", buf, sizeof buf), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));

    const SYSTEMTIME good = Make(2001, 2, 28);
    SetLastError(0);
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &good, "d", buf, sizeof buf), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_FLAGS));

    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &good, "dddd", nullptr, 0), 10); // "Wednesday"
    SetLastError(0);
    EXPECT_EQ(GetDateFormatA(LOCALE_USER_DEFAULT, 0, &good, "dddd", buf, 9), 0);
    EXPECT_EQ(GetLastError(), DWORD(ERROR_INSUFFICIENT_BUFFER));
}

TEST(Locale, TimePictures)
{
    const SYSTEMTIME st = Make(1999, 6, 24, 13, 5, 9);
    EXPECT_EQ(Time(st, nullptr), "1:05:09 PM");
    EXPECT_EQ(Time(st, "HH:mm:ss"), "13:05:09");
    EXPECT_EQ(Time(st, "hh 'h' m t"), "01 h 5 P");
    EXPECT_EQ(Time(Make(1999, 6, 24, 0, 0, 0), nullptr), "12:00:00 AM");
    EXPECT_EQ(Time(Make(1999, 6, 24, 12, 0, 0), nullptr), "12:00:00 PM");
    EXPECT_EQ(Time(st, "d/M h"), "d/M 1");
    // The flags drop a picture together with the separator before it.
    EXPECT_EQ(Time(st, nullptr, TIME_NOSECONDS), "1:05 PM");
    EXPECT_EQ(Time(st, nullptr, TIME_NOMINUTESORSECONDS), "1 PM");
    EXPECT_EQ(Time(st, nullptr, TIME_NOTIMEMARKER), "1:05:09");
    EXPECT_EQ(Time(st, nullptr, TIME_FORCE24HOURFORMAT), "13:05:09");

    char buf[64];
    const SYSTEMTIME bad = Make(1999, 6, 24, 24, 0, 0);
    EXPECT_EQ(GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &bad, nullptr, buf, sizeof buf), 0);
}

TEST(Locale, NumberFormat)
{
    EXPECT_EQ(Number("1234567.891"), "1,234,567.89");
    EXPECT_EQ(Number("0.125"), "0.13");
    EXPECT_EQ(Number("9.995"), "10.00");
    EXPECT_EQ(Number("999.999"), "1,000.00");
    EXPECT_EQ(Number("-0.5"), "-0.50");
    EXPECT_EQ(Number("-0.001"), "0.00");
    EXPECT_EQ(Number(".5"), "0.50");
    EXPECT_EQ(Number("123"), "123.00");

    NUMBERFMTA fmt{0, 0, 32, const_cast<LPSTR>(","), const_cast<LPSTR>("."), 0};
    EXPECT_EQ(Number("1234567.5", &fmt), "12.34.568");
    EXPECT_EQ(Number("-12", &fmt), "(12)");
    fmt.NumDigits = 3;
    EXPECT_EQ(Number("0.5", &fmt), ",500");
    fmt.Grouping = 30;
    EXPECT_EQ(Number("1234567", &fmt), "1234.567,000");
    fmt.Grouping = 0;
    fmt.NegativeOrder = 4;
    EXPECT_EQ(Number("-1234567", &fmt), "1234567,000 -");

    char buf[32];
    for (const char* bad : {"", "-", "1e5", " 1", "1,000", "1.2.3", "+1", "abc"}) {
        SetLastError(0);
        EXPECT_EQ(GetNumberFormatA(LOCALE_USER_DEFAULT, 0, bad, nullptr, buf, sizeof buf), 0) << bad;
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
}

TEST(Locale, CurrencyFormat)
{
    EXPECT_EQ(Currency("1234.5"), "$1,234.50");
    EXPECT_EQ(Currency("-1234.5"), "($1,234.50)");
    EXPECT_EQ(Currency("0"), "$0.00");
    CURRENCYFMTA fmt{2, 1, 3, const_cast<LPSTR>("."), const_cast<LPSTR>(","), 8, 3,
                     const_cast<LPSTR>("EUR")};
    EXPECT_EQ(Currency("-1234.5", &fmt), "-1,234.50 EUR");
    EXPECT_EQ(Currency("1234.5", &fmt), "1,234.50 EUR");
    fmt.NegativeOrder = 15;
    EXPECT_EQ(Currency("-2", &fmt), "(2.00 EUR)");
    fmt.NegativeOrder = 16;
    char buf[32];
    EXPECT_EQ(GetCurrencyFormatA(LOCALE_USER_DEFAULT, 0, "-2", &fmt, buf, sizeof buf), 0);
}
