#include "platform/core/CTime.h"
#include "platform/core/CTimeSpan.h"

#include "TzGuard.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string TimeText(const CString& s) { return std::string(s.GetString()); }

// 1999-06-24 12:00 Eastern daylight time is 16:00 UTC.
constexpr time_t kMidsummerNoon = 930240000;

} // namespace

TEST(CTime, LocalPartsBuildTheMoment)
{
    TzGuard tz(kEasternZone);
    const CTime t(1999, 6, 24, 12, 0, 0);
    EXPECT_EQ(t.GetTime(), kMidsummerNoon);
    EXPECT_EQ(t.GetYear(), 1999);
    EXPECT_EQ(t.GetMonth(), 6);
    EXPECT_EQ(t.GetDay(), 24);
    EXPECT_EQ(t.GetHour(), 12);
    EXPECT_EQ(t.GetMinute(), 0);
    EXPECT_EQ(t.GetSecond(), 0);
    EXPECT_EQ(t.GetDayOfWeek(), 5); // Thursday, counting Sunday as 1

    struct tm gmt{};
    ASSERT_NE(t.GetGmtTm(&gmt), nullptr);
    EXPECT_EQ(gmt.tm_hour, 16);
    ASSERT_NE(t.GetLocalTm(), nullptr);
    EXPECT_EQ(t.GetLocalTm()->tm_hour, 12);
}

TEST(CTime, BadPartsGiveMinusOne)
{
    EXPECT_EQ(CTime(2001, 2, 29, 0, 0, 0).GetTime(), -1);
    EXPECT_EQ(CTime(1999, 13, 1, 0, 0, 0).GetTime(), -1);
    EXPECT_EQ(CTime(1999, 1, 1, 24, 0, 0).GetTime(), -1);
    EXPECT_EQ(CTime(1899, 12, 31, 0, 0, 0).GetTime(), -1);
}

TEST(CTime, DaylightSavingChangeIsOneHourShorter)
{
    TzGuard tz(kEasternZone);
    const CTime before(2021, 3, 14, 1, 0, 0);
    const CTime after(2021, 3, 14, 3, 0, 0);
    EXPECT_EQ((after - before).GetTotalSeconds(), 3600);
    EXPECT_EQ(after.GetTime(), 1615705200);
    // Adding a day of seconds across the change lands an hour later on the clock.
    const CTime next = CTime(2021, 3, 13, 12, 0, 0) + CTimeSpan(1, 0, 0, 0);
    EXPECT_EQ(next.GetHour(), 13);
}

TEST(CTime, FromRecordsAndFileTimes)
{
    TzGuard tz(kEasternZone);
    SYSTEMTIME st{};
    st.wYear = 1999, st.wMonth = 6, st.wDay = 24, st.wHour = 12, st.wMilliseconds = 999;
    EXPECT_EQ(CTime(st).GetTime(), kMidsummerNoon);

    const FILETIME epoch = vostrel::TicksToFileTime(vostrel::kFileTimeUnixEpoch + 9999999);
    EXPECT_EQ(CTime(epoch).GetTime(), 0);
    EXPECT_EQ(CTime(vostrel::TicksToFileTime(0x8000000000000000ull)).GetTime(), -1);

    SYSTEMTIME back{};
    ASSERT_TRUE(CTime(kMidsummerNoon).GetAsSystemTime(back));
    EXPECT_EQ(back.wYear, 1999);
    EXPECT_EQ(back.wHour, 12);
    EXPECT_EQ(back.wDayOfWeek, 4);
    EXPECT_EQ(back.wMilliseconds, 0);

    // A DOS stamp is local time: 1999-06-24 12:00:00.
    EXPECT_EQ(CTime(WORD((19 << 9) | (6 << 5) | 24), WORD(12 << 11)).GetTime(), kMidsummerNoon);
}

TEST(CTime, FormatIsEnglishWhateverTheProcessLocale)
{
    TzGuard tz(kEasternZone);
    const CTime t(kMidsummerNoon + 3 * 3600 + 4 * 60 + 5); // 15:04:05 local
    EXPECT_EQ(TimeText(t.Format("%Y-%m-%d %H:%M:%S")), "1999-06-24 15:04:05");
    EXPECT_EQ(TimeText(t.FormatGmt("%Y-%m-%d %H:%M:%S %Z")), "1999-06-24 19:04:05 UTC");
    EXPECT_EQ(TimeText(t.Format("%A %a %B %b %j %I %p %y %w %%")),
              "Thursday Thu June Jun 175 03 PM 99 4 %");
    EXPECT_EQ(TimeText(t.Format("%c")), "06/24/99 15:04:05");
    EXPECT_EQ(TimeText(t.Format("%x %X")), "06/24/99 15:04:05");
    EXPECT_EQ(TimeText(t.Format("%#x")), "Thursday, June 24, 1999");
    EXPECT_EQ(TimeText(t.Format("%#d/%#m")), "24/6");
    EXPECT_EQ(TimeText(t.Format("%z %Z")), "-0400 EDT");
    EXPECT_EQ(TimeText(t.Format("%q and a trailing %")), "%q and a trailing %");
    // The page-header default: a file name, then the date and time.
    EXPECT_EQ(TimeText(t.Format("page.htm %c")), "page.htm 06/24/99 15:04:05");
}

TEST(CTime, ComparisonsAndArithmetic)
{
    const CTime a(1000), b(2000);
    EXPECT_TRUE(a < b);
    EXPECT_TRUE(b >= a);
    EXPECT_TRUE(a != b);
    EXPECT_EQ(b - a, CTimeSpan(1000));
    CTime c = a;
    c += CTimeSpan(0, 0, 16, 40);
    EXPECT_EQ(c, b);
    c -= CTimeSpan(1000);
    EXPECT_EQ(c, a);
    EXPECT_EQ(b - CTimeSpan(1000), a);
}

TEST(CTimeSpan, Parts)
{
    const CTimeSpan span(3, 4, 5, 6);
    EXPECT_EQ(span.GetTotalSeconds(), ((3 * 24 + 4) * 60 + 5) * 60 + 6);
    EXPECT_EQ(span.GetDays(), 3);
    EXPECT_EQ(span.GetHours(), 4);
    EXPECT_EQ(span.GetMinutes(), 5);
    EXPECT_EQ(span.GetSeconds(), 6);
    EXPECT_EQ(span.GetTotalHours(), 76);
    EXPECT_EQ(span.GetTotalMinutes(), 76 * 60 + 5);
    EXPECT_EQ(TimeText(span.Format("%D days %H:%M:%S %%")), "3 days 04:05:06 %");

    const CTimeSpan negative = -CTimeSpan(1, 2, 0, 0);
    EXPECT_EQ(negative.GetDays(), -1);
    EXPECT_EQ(negative.GetHours(), -2);
    EXPECT_EQ(TimeText(negative.Format("%D %H:%M")), "-1 02:00");
    EXPECT_TRUE(negative < span);
    EXPECT_EQ(negative + CTimeSpan(1, 2, 0, 0), CTimeSpan(0));
}
