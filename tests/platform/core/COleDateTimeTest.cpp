#include "platform/core/COleDateTime.h"
#include "platform/core/COleDateTimeSpan.h"

#include "TzGuard.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace {

std::string S(const CString& s) { return std::string(s.GetString()); }

// Year, month, day, hour, minute, second, day of week of a date, as one comparable text.
std::string Parts(const COleDateTime& dt)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d w%d", dt.GetYear(), dt.GetMonth(),
                  dt.GetDay(), dt.GetHour(), dt.GetMinute(), dt.GetSecond(), dt.GetDayOfWeek());
    return buf;
}

} // namespace

TEST(COleDateTime, KnownPoints)
{
    EXPECT_EQ(Parts(COleDateTime(0.0)), "1899-12-30 00:00:00 w7"); // a Saturday
    EXPECT_EQ(COleDateTime(0.0).GetDayOfYear(), 364);
    EXPECT_EQ(Parts(COleDateTime(-1.25)), "1899-12-29 06:00:00 w6");
    EXPECT_EQ(Parts(COleDateTime(-0.75)), "1899-12-30 18:00:00 w7");
    EXPECT_EQ(Parts(COleDateTime(2.5)), "1900-01-01 12:00:00 w2");
    EXPECT_EQ(Parts(COleDateTime(36335.0)), "1999-06-24 00:00:00 w5");
    EXPECT_EQ(Parts(COleDateTime(-657434.0)), "0100-01-01 00:00:00 w6");
    EXPECT_EQ(Parts(COleDateTime(2958465.0)), "9999-12-31 00:00:00 w6");
    // The last second of the range.
    EXPECT_EQ(Parts(COleDateTime(9999, 12, 31, 23, 59, 59)), "9999-12-31 23:59:59 w6");
    EXPECT_EQ(Parts(COleDateTime(100, 1, 1, 23, 59, 59)), "0100-01-01 23:59:59 w6");
}

TEST(COleDateTime, BuildingFromPartsGivesTheSerialNumber)
{
    EXPECT_EQ(COleDateTime(1899, 12, 30, 0, 0, 0).m_dt, 0.0);
    EXPECT_EQ(COleDateTime(1899, 12, 29, 6, 0, 0).m_dt, -1.25);
    EXPECT_EQ(COleDateTime(1900, 1, 1, 12, 0, 0).m_dt, 2.5);
    EXPECT_EQ(COleDateTime(100, 1, 1, 0, 0, 0).m_dt, -657434.0);
    EXPECT_EQ(COleDateTime(9999, 12, 31, 0, 0, 0).m_dt, 2958465.0);
    // 1900 is no leap year: 28 February and 1 March are neighbours.
    EXPECT_EQ(COleDateTime(1900, 2, 28, 0, 0, 0).m_dt, 60.0);
    EXPECT_EQ(COleDateTime(1900, 3, 1, 0, 0, 0).m_dt, 61.0);
    EXPECT_EQ(COleDateTime(2000, 2, 29, 0, 0, 0).m_dt, 36585.0);
    EXPECT_EQ(Parts(COleDateTime(60.0)), "1900-02-28 00:00:00 w4");
    EXPECT_EQ(Parts(COleDateTime(61.0)), "1900-03-01 00:00:00 w5");
    EXPECT_EQ(COleDateTime(2000, 12, 31, 0, 0, 0).GetDayOfYear(), 366);
    EXPECT_EQ(COleDateTime(1900, 12, 31, 0, 0, 0).GetDayOfYear(), 365);
}

TEST(COleDateTime, PartsRoundToTheNearestSecond)
{
    const double second = 1.0 / 86400;
    EXPECT_EQ(Parts(COleDateTime(36335.0 + 10 * second - 0.4 * second)), "1999-06-24 00:00:10 w5");
    EXPECT_EQ(Parts(COleDateTime(36336.0 - 0.4 * second)), "1999-06-25 00:00:00 w6");
    EXPECT_EQ(Parts(COleDateTime(-2.0 - 0.99999999)), "1899-12-29 00:00:00 w6");
}

TEST(COleDateTime, OutOfRangeIsInvalid)
{
    for (double dt : {2958466.0, -657435.0, 1e300, -1e300, double(NAN), double(INFINITY)}) {
        COleDateTime d(dt);
        EXPECT_EQ(d.GetStatus(), COleDateTime::invalid) << dt;
        EXPECT_EQ(d.GetYear(), AFX_OLE_DATETIME_ERROR);
        EXPECT_EQ(d.GetDayOfYear(), AFX_OLE_DATETIME_ERROR);
        SYSTEMTIME st{};
        EXPECT_FALSE(d.GetAsSystemTime(st));
    }
    COleDateTime d;
    d = 2958466.0;
    EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
    d = 5.0;
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid);
}

TEST(COleDateTime, BadPartsAreInvalid)
{
    COleDateTime d(2000, 1, 1, 0, 0, 0);
    EXPECT_NE(d.SetDateTime(2001, 2, 29, 0, 0, 0), 0);
    EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
    EXPECT_EQ(d.GetMonth(), AFX_OLE_DATETIME_ERROR);
    EXPECT_NE(d.SetDate(99, 12, 31), 0);
    EXPECT_NE(d.SetDate(10000, 1, 1), 0);
    EXPECT_NE(d.SetDate(2000, 0, 1), 0);
    EXPECT_NE(d.SetDateTime(2000, 1, 1, 24, 0, 0), 0);
    EXPECT_NE(d.SetDateTime(2000, 1, 1, 0, 60, 0), 0);
    EXPECT_NE(d.SetTime(0, 0, -1), 0);
    EXPECT_EQ(d.SetDate(2000, 2, 29), 0);
    EXPECT_EQ(d.GetStatus(), COleDateTime::valid);
    EXPECT_EQ(d.SetTime(18, 0, 0), 0);
    EXPECT_EQ(d.m_dt, 0.75);
}

TEST(COleDateTime, ArithmeticAcrossMidnightAndBeforeTheEpoch)
{
    const COleDateTimeSpan halfDay(0, 12, 0, 0);
    // 1899-12-29 18:00 plus twelve hours is 1899-12-30 06:00.
    EXPECT_EQ((COleDateTime(-1.75) + halfDay).m_dt, 0.25);
    // 1899-12-30 06:00 minus twelve hours is 1899-12-29 18:00.
    EXPECT_EQ((COleDateTime(0.25) - halfDay).m_dt, -1.75);
    EXPECT_EQ((COleDateTime(-1.25) + COleDateTimeSpan(1.0)).m_dt, 0.25);
    EXPECT_EQ((COleDateTime(-3.5) + COleDateTimeSpan(1.0)).m_dt, -2.5);
    EXPECT_EQ(Parts(COleDateTime(1999, 12, 31, 23, 0, 0) + COleDateTimeSpan(0, 2, 0, 0)),
              "2000-01-01 01:00:00 w7");

    // A difference is the distance between the moments, not between the doubles.
    EXPECT_DOUBLE_EQ((COleDateTime(0.25) - COleDateTime(-1.25)).m_span, 1.0);
    EXPECT_DOUBLE_EQ((COleDateTime(-1.75) - COleDateTime(-1.25)).m_span, 0.5);
    EXPECT_DOUBLE_EQ((COleDateTime(-1.25) - COleDateTime(0.25)).m_span, -1.0);

    COleDateTime d(2958465.0);
    d += COleDateTimeSpan(1.0);
    EXPECT_EQ(d.GetStatus(), COleDateTime::invalid);
    COleDateTime e(-657434.0);
    e -= COleDateTimeSpan(0, 0, 0, 1);
    EXPECT_EQ(e.GetStatus(), COleDateTime::invalid);
}

TEST(COleDateTime, StatusPropagates)
{
    COleDateTime nullDate;
    nullDate.SetStatus(COleDateTime::null);
    COleDateTime invalidDate(2958466.0);
    const COleDateTime valid(36335.0);
    COleDateTimeSpan nullSpan;
    nullSpan.SetStatus(COleDateTimeSpan::null);
    COleDateTimeSpan invalidSpan;
    invalidSpan.SetStatus(COleDateTimeSpan::invalid);

    EXPECT_EQ((nullDate + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::null);
    EXPECT_EQ((invalidDate + COleDateTimeSpan(1.0)).GetStatus(), COleDateTime::invalid);
    EXPECT_EQ((valid + nullSpan).GetStatus(), COleDateTime::null);
    EXPECT_EQ((valid + invalidSpan).GetStatus(), COleDateTime::invalid);
    // Null wins over invalid.
    EXPECT_EQ((invalidDate + nullSpan).GetStatus(), COleDateTime::null);
    EXPECT_EQ((valid - nullDate).GetStatus(), COleDateTimeSpan::null);
    EXPECT_EQ((valid - invalidDate).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ((nullSpan + invalidSpan).GetStatus(), COleDateTimeSpan::null);
    EXPECT_EQ((COleDateTimeSpan(1.0) - invalidSpan).GetStatus(), COleDateTimeSpan::invalid);

    EXPECT_EQ(S(nullDate.Format()), "");
    EXPECT_EQ(S(invalidDate.Format()), "Invalid DateTime");
    EXPECT_EQ(S(invalidDate.Format("%Y")), "Invalid DateTime");
    EXPECT_EQ(S(nullSpan.Format("%D")), "");
    EXPECT_EQ(S(invalidSpan.Format("%D")), "Invalid DateTimeSpan");
}

TEST(COleDateTime, ComparisonsFollowTheMoments)
{
    // -1.25 is 06:00 and -1.75 is 18:00 on the same day.
    EXPECT_TRUE(COleDateTime(-1.25) < COleDateTime(-1.75));
    EXPECT_TRUE(COleDateTime(-1.75) > COleDateTime(-1.25));
    EXPECT_TRUE(COleDateTime(-1.75) < COleDateTime(0.0));
    EXPECT_TRUE(COleDateTime(-0.5) == COleDateTime(0.5));
    EXPECT_TRUE(COleDateTime(1.0) <= COleDateTime(1.0));
    EXPECT_TRUE(COleDateTime(2.0) >= COleDateTime(1.0));
    EXPECT_TRUE(COleDateTime(2.0) != COleDateTime(1.0));
    COleDateTime invalid(1.0);
    invalid.SetStatus(COleDateTime::invalid);
    EXPECT_FALSE(invalid == COleDateTime(1.0));
}

TEST(COleDateTime, ConversionsFromRecordsAndClocks)
{
    TzGuard tz(kEasternZone);
    SYSTEMTIME st{};
    st.wYear = 1999, st.wMonth = 6, st.wDay = 24, st.wHour = 18, st.wMilliseconds = 700;
    EXPECT_EQ(COleDateTime(st).m_dt, 36335.75);

    SYSTEMTIME back{};
    ASSERT_TRUE(COleDateTime(-1.25).GetAsSystemTime(back));
    EXPECT_EQ(back.wYear, 1899);
    EXPECT_EQ(back.wMonth, 12);
    EXPECT_EQ(back.wDay, 29);
    EXPECT_EQ(back.wHour, 6);
    EXPECT_EQ(back.wDayOfWeek, 5);

    // time_t and file times are UTC and show in local time.
    const time_t noonUtc = 930225600; // 1999-06-24 12:00 UTC, 08:00 daylight time
    EXPECT_EQ(Parts(COleDateTime(noonUtc)), "1999-06-24 08:00:00 w5");
    COleDateTime assigned;
    assigned = noonUtc;
    EXPECT_EQ(assigned.GetHour(), 8);
    const FILETIME ft = vostrel::TicksToFileTime(vostrel::kFileTimeUnixEpoch +
                                                 ULONGLONG(noonUtc) * vostrel::kFileTimeTicksPerSecond);
    EXPECT_EQ(Parts(COleDateTime(ft)), "1999-06-24 08:00:00 w5");
    EXPECT_EQ(COleDateTime(vostrel::TicksToFileTime(~0ull)).GetStatus(), COleDateTime::invalid);

    // An integer literal is a serial day number, not seconds.
    EXPECT_EQ(COleDateTime(2).m_dt, 2.0);
    EXPECT_EQ(COleDateTime(WORD((19 << 9) | (6 << 5) | 24), WORD(18 << 11)).m_dt, 36335.75);

    const COleDateTime now = COleDateTime::GetCurrentTime();
    EXPECT_EQ(now.GetStatus(), COleDateTime::valid);
    EXPECT_GE(now.GetYear(), 2024);
}

TEST(COleDateTime, FormatWithCodes)
{
    const COleDateTime d(1999, 6, 24, 15, 4, 5);
    EXPECT_EQ(S(d.Format("%Y-%m-%d %H:%M:%S")), "1999-06-24 15:04:05");
    EXPECT_EQ(S(d.Format("%A, %B %d, %Y %I %p %j")), "Thursday, June 24, 1999 03 PM 175");
    EXPECT_EQ(S(d.Format("%c")), "06/24/99 15:04:05");
    // Years before 1900 format like any other, on the proleptic Gregorian calendar.
    EXPECT_EQ(S(COleDateTime(1066, 10, 14, 9, 0, 0).Format("%#d %b %Y %a")), "14 Oct 1066 Sun");
    EXPECT_EQ(S(COleDateTime(-1.25).Format("%Y-%m-%d %H:%M")), "1899-12-29 06:00");
}

TEST(COleDateTime, FormatWithFlags)
{
    EXPECT_EQ(S(COleDateTime(1999, 6, 24, 15, 4, 5).Format()), "6/24/1999 3:04:05 PM");
    EXPECT_EQ(S(COleDateTime(1999, 6, 24, 15, 4, 5).Format(0, LANG_USER_DEFAULT)), "6/24/1999 3:04:05 PM");
    EXPECT_EQ(S(COleDateTime(1999, 6, 24, 0, 0, 0).Format()), "6/24/1999");
    EXPECT_EQ(S(COleDateTime(0.5).Format()), "12:00:00 PM");
    EXPECT_EQ(S(COleDateTime(0.0).Format()), "12:00:00 AM");
    EXPECT_EQ(S(COleDateTime(-1.25).Format()), "12/29/1899 6:00:00 AM");
    EXPECT_EQ(S(COleDateTime(1999, 6, 24, 15, 4, 5).Format(VAR_DATEVALUEONLY)), "6/24/1999");
    EXPECT_EQ(S(COleDateTime(1999, 6, 24, 15, 4, 5).Format(VAR_TIMEVALUEONLY)), "3:04:05 PM");
    EXPECT_EQ(S(COleDateTime(1999, 6, 24, 0, 0, 0).Format(VAR_TIMEVALUEONLY)), "12:00:00 AM");
}

TEST(COleDateTimeSpan, Parts)
{
    const COleDateTimeSpan span(1, 2, 3, 4);
    EXPECT_EQ(span.GetDays(), 1);
    EXPECT_EQ(span.GetHours(), 2);
    EXPECT_EQ(span.GetMinutes(), 3);
    EXPECT_EQ(span.GetSeconds(), 4);
    EXPECT_DOUBLE_EQ(span.GetTotalHours(), 26 + 3 / 60.0 + 4 / 3600.0);
    EXPECT_DOUBLE_EQ(span.GetTotalSeconds(), 93784.0);
    EXPECT_EQ(S(span.Format("%D:%H:%M:%S %%")), "1:02:03:04 %");

    // One hour as a fraction of a day reads as exactly one hour.
    const COleDateTimeSpan hour(1.0 / 24);
    EXPECT_EQ(hour.GetHours(), 1);
    EXPECT_EQ(hour.GetMinutes(), 0);
    EXPECT_EQ(hour.GetSeconds(), 0);

    const COleDateTimeSpan negative(-1.5);
    EXPECT_EQ(negative.GetDays(), -1);
    EXPECT_EQ(negative.GetHours(), -12);
    EXPECT_EQ(S(negative.Format("%D %H:%M")), "-1 12:00");
    EXPECT_EQ(-negative, COleDateTimeSpan(1.5));
    EXPECT_TRUE(negative < COleDateTimeSpan(0.0));

    COleDateTimeSpan s;
    s.SetDateTimeSpan(0, 36, 0, 0);
    EXPECT_DOUBLE_EQ(s.m_span, 1.5);
    s += COleDateTimeSpan(0.5);
    EXPECT_DOUBLE_EQ(s.m_span, 2.0);
    s -= COleDateTimeSpan(3.0);
    EXPECT_DOUBLE_EQ(s.m_span, -1.0);

    EXPECT_EQ(COleDateTimeSpan(4e6).GetStatus(), COleDateTimeSpan::invalid);
    EXPECT_EQ(COleDateTimeSpan(4e6).GetDays(), AFX_OLE_DATETIME_ERROR);
    EXPECT_EQ(COleDateTimeSpan(2958465.0 + 657434.0).GetStatus(), COleDateTimeSpan::valid);
}
