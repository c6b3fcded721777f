#include "platform/core/SystemTime.h"

#include "platform/core/WinError.h"
#include "TzGuard.h"

#include <gtest/gtest.h>

namespace {

SYSTEMTIME MakeSystemTime(int y, int mo, int d, int h = 0, int mi = 0, int s = 0, int ms = 0)
{
    SYSTEMTIME st{};
    st.wYear = WORD(y), st.wMonth = WORD(mo), st.wDay = WORD(d);
    st.wHour = WORD(h), st.wMinute = WORD(mi), st.wSecond = WORD(s), st.wMilliseconds = WORD(ms);
    return st;
}

ULONGLONG Ticks(const SYSTEMTIME& st)
{
    FILETIME ft{};
    EXPECT_TRUE(SystemTimeToFileTime(&st, &ft));
    return vostrel::FileTimeToTicks(ft);
}

} // namespace

TEST(SystemTime, FileTimeCountsFrom1601)
{
    EXPECT_EQ(Ticks(MakeSystemTime(1601, 1, 1)), 0u);
    EXPECT_EQ(Ticks(MakeSystemTime(1970, 1, 1)), 116444736000000000ull);
    EXPECT_EQ(Ticks(MakeSystemTime(2000, 2, 29, 12)), 125962992000000000ull);
    EXPECT_EQ(Ticks(MakeSystemTime(1970, 1, 1, 0, 0, 1, 250)), 116444736000000000ull + 12500000ull);
}

TEST(SystemTime, FileTimeToSystemTimeFillsTheWeekdayAndMilliseconds)
{
    const FILETIME ft = vostrel::TicksToFileTime(125962992000000000ull + 1234567);
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(st.wYear, 2000);
    EXPECT_EQ(st.wMonth, 2);
    EXPECT_EQ(st.wDay, 29);
    EXPECT_EQ(st.wDayOfWeek, 2); // a Tuesday
    EXPECT_EQ(st.wHour, 12);
    EXPECT_EQ(st.wMinute, 0);
    EXPECT_EQ(st.wSecond, 0);
    EXPECT_EQ(st.wMilliseconds, 123);
}

TEST(SystemTime, RoundTripsAcrossCenturiesAndLeapDays)
{
    const SYSTEMTIME samples[] = {MakeSystemTime(1601, 1, 1), MakeSystemTime(1900, 2, 28, 23, 59, 59, 999),
                                  MakeSystemTime(1900, 3, 1), MakeSystemTime(1969, 12, 31, 23, 59, 59),
                                  MakeSystemTime(2038, 1, 19, 3, 14, 8), MakeSystemTime(2400, 2, 29, 6, 7, 8, 9),
                                  MakeSystemTime(30827, 12, 31, 23, 59, 59, 999)};
    for (const SYSTEMTIME& in : samples) {
        FILETIME ft{};
        ASSERT_TRUE(SystemTimeToFileTime(&in, &ft)) << in.wYear;
        SYSTEMTIME out{};
        ASSERT_TRUE(FileTimeToSystemTime(&ft, &out));
        EXPECT_EQ(out.wYear, in.wYear);
        EXPECT_EQ(out.wMonth, in.wMonth);
        EXPECT_EQ(out.wDay, in.wDay);
        EXPECT_EQ(out.wHour, in.wHour);
        EXPECT_EQ(out.wMinute, in.wMinute);
        EXPECT_EQ(out.wSecond, in.wSecond);
        EXPECT_EQ(out.wMilliseconds, in.wMilliseconds);
    }
}

TEST(SystemTime, RejectsFieldsOutOfRange)
{
    const SYSTEMTIME bad[] = {MakeSystemTime(1600, 12, 31), MakeSystemTime(2001, 2, 29), MakeSystemTime(2000, 13, 1),
                              MakeSystemTime(2000, 0, 1),   MakeSystemTime(2000, 1, 0),  MakeSystemTime(2000, 4, 31),
                              MakeSystemTime(2000, 1, 1, 24), MakeSystemTime(2000, 1, 1, 0, 60),
                              MakeSystemTime(2000, 1, 1, 0, 0, 60), MakeSystemTime(2000, 1, 1, 0, 0, 0, 1000)};
    for (const SYSTEMTIME& st : bad) {
        FILETIME ft{1, 2};
        SetLastError(0);
        EXPECT_FALSE(SystemTimeToFileTime(&st, &ft));
        EXPECT_EQ(GetLastError(), DWORD(ERROR_INVALID_PARAMETER));
    }
    const FILETIME negative = vostrel::TicksToFileTime(0x8000000000000000ull);
    SYSTEMTIME st{};
    EXPECT_FALSE(FileTimeToSystemTime(&negative, &st));
}

TEST(SystemTime, CompareFileTime)
{
    const FILETIME a = vostrel::TicksToFileTime(5), b = vostrel::TicksToFileTime(0x100000000ull);
    EXPECT_EQ(CompareFileTime(&a, &b), -1);
    EXPECT_EQ(CompareFileTime(&b, &a), 1);
    EXPECT_EQ(CompareFileTime(&a, &a), 0);
}

TEST(SystemTime, LocalFileTimeUsesTheOffsetOfThatMoment)
{
    TzGuard tz(kEasternZone);
    const ULONGLONG hour = 3600 * vostrel::kFileTimeTicksPerSecond;
    const ULONGLONG winter = Ticks(MakeSystemTime(2021, 1, 15, 12));
    const ULONGLONG summer = Ticks(MakeSystemTime(2021, 7, 15, 12));
    FILETIME in = vostrel::TicksToFileTime(winter), out{};
    ASSERT_TRUE(FileTimeToLocalFileTime(&in, &out));
    EXPECT_EQ(vostrel::FileTimeToTicks(out), winter - 5 * hour);
    in = vostrel::TicksToFileTime(summer);
    ASSERT_TRUE(FileTimeToLocalFileTime(&in, &out));
    EXPECT_EQ(vostrel::FileTimeToTicks(out), summer - 4 * hour);

    FILETIME back{};
    ASSERT_TRUE(LocalFileTimeToFileTime(&out, &back));
    EXPECT_EQ(vostrel::FileTimeToTicks(back), summer);
    in = vostrel::TicksToFileTime(winter - 5 * hour + 7);
    ASSERT_TRUE(LocalFileTimeToFileTime(&in, &back));
    EXPECT_EQ(vostrel::FileTimeToTicks(back), winter + 7);
}

TEST(SystemTime, TimeZoneInformationDescribesTheRules)
{
    TzGuard tz(kEasternZone);
    TIME_ZONE_INFORMATION tzi{};
    const DWORD id = GetTimeZoneInformation(&tzi);
    EXPECT_TRUE(id == TIME_ZONE_ID_STANDARD || id == TIME_ZONE_ID_DAYLIGHT);
    EXPECT_EQ(tzi.Bias, 300);
    EXPECT_EQ(tzi.StandardBias, 0);
    EXPECT_EQ(tzi.DaylightBias, -60);
    EXPECT_EQ(tzi.StandardName[0], u'E');
    EXPECT_EQ(tzi.StandardName[1], u'S');
    EXPECT_EQ(tzi.DaylightName[1], u'D');
    // Second Sunday of March at 2:00 standard time; first Sunday of November at 2:00
    // daylight time.
    EXPECT_EQ(tzi.DaylightDate.wYear, 0);
    EXPECT_EQ(tzi.DaylightDate.wMonth, 3);
    EXPECT_EQ(tzi.DaylightDate.wDayOfWeek, 0);
    EXPECT_EQ(tzi.DaylightDate.wDay, 2);
    EXPECT_EQ(tzi.DaylightDate.wHour, 2);
    EXPECT_EQ(tzi.DaylightDate.wMinute, 0);
    EXPECT_EQ(tzi.StandardDate.wMonth, 11);
    EXPECT_EQ(tzi.StandardDate.wDayOfWeek, 0);
    EXPECT_EQ(tzi.StandardDate.wDay, 1);
    EXPECT_EQ(tzi.StandardDate.wHour, 2);

    // The record converts as the C library does, also for another year.
    const SYSTEMTIME samples[] = {MakeSystemTime(2019, 3, 10, 6, 59), MakeSystemTime(2019, 3, 10, 7, 0),
                                  MakeSystemTime(2019, 11, 3, 5, 59), MakeSystemTime(2019, 11, 3, 6, 0),
                                  MakeSystemTime(2019, 7, 4, 16, 30)};
    for (const SYSTEMTIME& utc : samples) {
        SYSTEMTIME viaRecord{}, viaLibrary{};
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tzi, &utc, &viaRecord));
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &viaLibrary));
        EXPECT_EQ(viaRecord.wHour, viaLibrary.wHour) << utc.wMonth << "/" << utc.wDay << " " << utc.wHour;
        EXPECT_EQ(viaRecord.wMinute, viaLibrary.wMinute);
        EXPECT_EQ(viaRecord.wDay, viaLibrary.wDay);
    }
    SYSTEMTIME local{};
    const SYSTEMTIME utc = MakeSystemTime(2019, 7, 4, 16, 30);
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tzi, &utc, &local));
    EXPECT_EQ(local.wHour, 12);
}

TEST(SystemTime, ZoneWithoutDaylightTime)
{
    TzGuard tz("XST-3");
    TIME_ZONE_INFORMATION tzi{};
    EXPECT_EQ(GetTimeZoneInformation(&tzi), TIME_ZONE_ID_UNKNOWN);
    EXPECT_EQ(tzi.Bias, -180);
    EXPECT_EQ(tzi.StandardDate.wMonth, 0);
    const SYSTEMTIME utc = MakeSystemTime(2020, 12, 31, 22, 0);
    SYSTEMTIME local{};
    ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tzi, &utc, &local));
    EXPECT_EQ(local.wYear, 2021);
    EXPECT_EQ(local.wMonth, 1);
    EXPECT_EQ(local.wDay, 1);
    EXPECT_EQ(local.wHour, 1);
    EXPECT_EQ(local.wDayOfWeek, 5);
}

TEST(SystemTime, ClockReadingsAgree)
{
    SYSTEMTIME before{}, after{};
    FILETIME now{};
    GetSystemTime(&before);
    GetSystemTimeAsFileTime(&now);
    GetSystemTime(&after);
    const ULONGLONG millisecond = 10000;
    EXPECT_LE(Ticks(before), vostrel::FileTimeToTicks(now));
    EXPECT_LT(vostrel::FileTimeToTicks(now), Ticks(after) + millisecond);

    TzGuard tz("XST-3");
    SYSTEMTIME local{}, utc{};
    GetLocalTime(&local);
    GetSystemTime(&utc);
    // Three hours ahead, give or take the moment between the two readings.
    const LONGLONG diff = LONGLONG(Ticks(local)) - LONGLONG(Ticks(utc));
    EXPECT_NEAR(double(diff) / vostrel::kFileTimeTicksPerSecond, 3 * 3600.0, 2.0);
}

TEST(SystemTime, DosDateAndTime)
{
    FILETIME ft{};
    ASSERT_TRUE(DosDateTimeToFileTime(WORD((19 << 9) | (6 << 5) | 24), WORD((13 << 11) | (45 << 5) | 5), &ft));
    SYSTEMTIME st{};
    ASSERT_TRUE(FileTimeToSystemTime(&ft, &st));
    EXPECT_EQ(st.wYear, 1999);
    EXPECT_EQ(st.wMonth, 6);
    EXPECT_EQ(st.wDay, 24);
    EXPECT_EQ(st.wHour, 13);
    EXPECT_EQ(st.wMinute, 45);
    EXPECT_EQ(st.wSecond, 10);

    WORD date = 0, time = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&ft, &date, &time));
    EXPECT_EQ(date, (19 << 9) | (6 << 5) | 24);
    EXPECT_EQ(time, (13 << 11) | (45 << 5) | 5);

    const SYSTEMTIME early = MakeSystemTime(1979, 12, 31, 23, 59, 59);
    ASSERT_TRUE(SystemTimeToFileTime(&early, &ft));
    EXPECT_FALSE(FileTimeToDosDateTime(&ft, &date, &time));
    // Day 0 does not exist.
    EXPECT_FALSE(DosDateTimeToFileTime(WORD(1 << 5), 0, &ft));
}

TEST(SystemTime, SouthernZoneHasDaylightTimeAcrossNewYear)
{
    TzGuard tz("AEST-10AEDT,M10.1.0,M4.1.0/3");
    TIME_ZONE_INFORMATION tzi{};
    GetTimeZoneInformation(&tzi);
    EXPECT_EQ(tzi.Bias, -600);
    EXPECT_EQ(tzi.DaylightBias, -60);
    EXPECT_EQ(tzi.DaylightDate.wMonth, 10);
    EXPECT_EQ(tzi.DaylightDate.wDay, 1);
    EXPECT_EQ(tzi.DaylightDate.wHour, 2);
    EXPECT_EQ(tzi.StandardDate.wMonth, 4);
    EXPECT_EQ(tzi.StandardDate.wDay, 1);
    EXPECT_EQ(tzi.StandardDate.wHour, 3);
    const SYSTEMTIME samples[] = {MakeSystemTime(2019, 1, 10, 3), MakeSystemTime(2019, 7, 10, 3), MakeSystemTime(2019, 4, 6, 15, 59),
                                  MakeSystemTime(2019, 4, 6, 16, 0), MakeSystemTime(2019, 10, 5, 15, 59),
                                  MakeSystemTime(2019, 10, 5, 16, 0)};
    for (const SYSTEMTIME& utc : samples) {
        SYSTEMTIME viaRecord{}, viaLibrary{};
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(&tzi, &utc, &viaRecord));
        ASSERT_TRUE(SystemTimeToTzSpecificLocalTime(nullptr, &utc, &viaLibrary));
        EXPECT_EQ(viaRecord.wHour, viaLibrary.wHour) << utc.wMonth << "/" << utc.wDay << " " << utc.wHour;
        EXPECT_EQ(viaRecord.wDay, viaLibrary.wDay);
    }
}
