#include "toolkit/datetime/OleDateFields.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

bool IsLeap(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

DateFields Split(DATE dt)
{
    DateFields fields;
    EXPECT_TRUE(OleDateToFields(dt, fields)) << dt;
    return fields;
}

// A value the way the controls build one: the time of day is a positive fraction also before
// 1899-12-30.
DATE Moment(long day, int secondOfDay)
{
    const double time = secondOfDay / 86400.0;
    return day >= 0 ? day + time : day - time;
}

// Every whole day of the range, walked with a calendar counter that knows nothing but month
// lengths, and a time of day that differs from day to day; each value must split into the
// counter's fields and rebuild to exactly the same double.
TEST(OleDateFieldsTest, EveryDayOfTheRangeSplitsAndRebuildsLikeTheGregorianCalendar)
{
    int year = 100, month = 1, day = 1, dayOfYear = 1;
    int dayOfWeek = 6; // 0100-01-01 was a Friday
    long failures = 0;
    for (long serial = -657434; serial <= 2958465 && failures < 5; ++serial) {
        const int second = static_cast<int>((serial * 7919 % 86400 + 86400) % 86400);
        const DATE value = Moment(serial, second);
        DateFields f;
        COleDateTime rebuilt;
        const bool ok = OleDateToFields(value, f) && f.nYear == year && f.nMonth == month &&
                        f.nDay == day && f.nDayOfWeek == dayOfWeek && f.nDayOfYear == dayOfYear &&
                        f.nHour * 3600 + f.nMinute * 60 + f.nSecond == second &&
                        FieldsToOleDate(f, rebuilt) && rebuilt.m_dt == value;
        if (!ok) {
            ++failures;
            ADD_FAILURE() << "serial " << serial << " expected " << year << "-" << month << "-"
                          << day << " got " << f.nYear << "-" << f.nMonth << "-" << f.nDay
                          << " dow " << f.nDayOfWeek << " doy " << f.nDayOfYear;
        }
        dayOfWeek = dayOfWeek % 7 + 1;
        ++dayOfYear;
        if (++day > DaysInMonth(year, month)) {
            day = 1;
            if (++month > 12) {
                month = 1;
                ++year;
                dayOfYear = 1;
            }
        }
    }
    EXPECT_EQ(failures, 0);
    EXPECT_EQ(year, 10000); // the walk really covered the range
}

TEST(OleDateFieldsTest, RangeEndsAndRefusalsLeaveTheFieldsUntouched)
{
    DateFields f = Split(0.0);
    EXPECT_EQ(f.nYear, 1899);
    EXPECT_EQ(f.nMonth, 12);
    EXPECT_EQ(f.nDay, 30);
    EXPECT_EQ(f.nDayOfWeek, 7);
    EXPECT_EQ(f.nHour + f.nMinute + f.nSecond, 0);

    f = Split(kOleDateMin);
    EXPECT_EQ(f.nYear * 10000 + f.nMonth * 100 + f.nDay, 1000101);
    f = Split(kOleDateMax);
    EXPECT_EQ(f.nYear * 10000 + f.nMonth * 100 + f.nDay, 99991231);
    EXPECT_EQ(f.nDayOfYear, 365);

    // Any time of the two end days is a value the controls can set, so it must split.
    f = Split(kOleDateMax + 0.5);
    EXPECT_EQ(f.nDay, 31);
    EXPECT_EQ(f.nHour, 12);
    f = Split(Moment(-657434, 86399));
    EXPECT_EQ(f.nDay, 1);
    EXPECT_EQ(f.nHour * 3600 + f.nMinute * 60 + f.nSecond, 86399);

    DateFields sentinel;
    sentinel.nYear = -7;
    const DATE refused[] = {kOleDateMax + 1.0, kOleDateMin - 1.0, kOleDateMax + 0.9999999,
                            NAN, INFINITY, -INFINITY, 1e300};
    for (DATE dt : refused) {
        EXPECT_FALSE(OleDateToFields(dt, sentinel)) << dt;
        EXPECT_EQ(sentinel.nYear, -7) << dt;
    }
}

TEST(OleDateFieldsTest, RoundingToTheSecondCarriesIntoTheNextDayOnBothSidesOfDayZero)
{
    const double quarterSecond = 0.25 / 86400.0;
    // 1900-02-28 23:59:59.75 is 1900-03-01: 1900 has no 29 February.
    COleDateTime feb28(1900, 2, 28, 0, 0, 0);
    DateFields f = Split(feb28.m_dt + 1.0 - quarterSecond);
    EXPECT_EQ(f.nMonth * 100 + f.nDay, 301);
    EXPECT_EQ(f.nHour + f.nMinute + f.nSecond, 0);
    f = Split(COleDateTime(2000, 2, 28, 0, 0, 0).m_dt + 1.0);
    EXPECT_EQ(f.nMonth * 100 + f.nDay, 229);
    EXPECT_EQ(f.nDayOfYear, 60);

    // Before day zero the fraction still counts forward: 1899-12-29 23:59:59.75 is 1899-12-30
    // 00:00:00 (not 1899-12-28), and 1899-12-30 23:59:59.75 written as -0.99999 is 12-31.
    f = Split(-1.0 - (1.0 - quarterSecond));
    EXPECT_EQ(f.nMonth * 100 + f.nDay, 1230);
    EXPECT_EQ(f.nHour + f.nMinute + f.nSecond, 0);
    f = Split(-(1.0 - quarterSecond));
    EXPECT_EQ(f.nMonth * 100 + f.nDay, 1231);
    f = Split(-1.25);
    EXPECT_EQ(f.nMonth * 100 + f.nDay, 1229);
    EXPECT_EQ(f.nHour, 6);
    EXPECT_EQ(f.nMinute + f.nSecond, 0);
    // Just below half a second stays; half a second goes up.
    f = Split(10.0 + 0.49 / 86400.0);
    EXPECT_EQ(f.nSecond, 0);
    f = Split(10.0 + 0.5001 / 86400.0);
    EXPECT_EQ(f.nSecond, 1);
}

TEST(OleDateFieldsTest, RebuildingRefusesDatesThatDoNotExist)
{
    DateFields f = Split(COleDateTime(2024, 3, 5, 16, 30, 0).m_dt);
    COleDateTime dt;
    ASSERT_TRUE(FieldsToOleDate(f, dt));
    EXPECT_EQ(dt.Format("%Y-%m-%d %H:%M:%S"), CString("2024-03-05 16:30:00"));

    struct Case {
        int year, month, day, hour, minute, second;
    };
    const Case bad[] = {{99, 12, 31, 0, 0, 0},  {1900, 2, 29, 0, 0, 0}, {2023, 4, 31, 0, 0, 0},
                        {2024, 13, 1, 0, 0, 0}, {2024, 1, 0, 0, 0, 0},  {2024, 1, 1, 24, 0, 0},
                        {2024, 1, 1, 0, 60, 0}, {10000, 1, 1, 0, 0, 0}};
    for (const Case& c : bad) {
        f.nYear = c.year;
        f.nMonth = c.month;
        f.nDay = c.day;
        f.nHour = c.hour;
        f.nMinute = c.minute;
        f.nSecond = c.second;
        EXPECT_FALSE(FieldsToOleDate(f, dt)) << c.year << "-" << c.month << "-" << c.day;
        EXPECT_NE(dt.GetStatus(), COleDateTime::valid);
    }
}

TEST(OleDateFieldsTest, ChangedFieldMaskNamesTheGadgetsToRefresh)
{
    const DATE base = COleDateTime(2024, 1, 1, 10, 20, 30).m_dt; // a Monday
    auto at = [](int y, int mo, int d, int h, int mi, int s) {
        return COleDateTime(y, mo, d, h, mi, s).m_dt;
    };
    EXPECT_EQ(ChangedFieldMask(base, base), 0);
    EXPECT_EQ(ChangedFieldMask(base, at(2024, 1, 1, 10, 20, 31)), kDateFieldSecond);
    EXPECT_EQ(ChangedFieldMask(base, at(2024, 1, 1, 10, 21, 30)), kDateFieldMinute);
    EXPECT_EQ(ChangedFieldMask(base, at(2024, 1, 1, 22, 20, 30)),
              kDateFieldHour12 | kDateFieldHour24 | kDateFieldAmPm);
    EXPECT_EQ(ChangedFieldMask(base, at(2024, 1, 2, 10, 20, 30)),
              kDateFieldDay | kDateFieldDayName);
    // 2024-01-01 and 2024-04-01 are both Mondays: only the month gadgets change.
    EXPECT_EQ(ChangedFieldMask(base, at(2024, 4, 1, 10, 20, 30)),
              kDateFieldMonth | kDateFieldMonthName);
    // 2024-01-01 and 2029-01-01 are both Mondays too.
    EXPECT_EQ(ChangedFieldMask(base, at(2029, 1, 1, 10, 20, 30)),
              kDateFieldYear2 | kDateFieldYear4);
    EXPECT_EQ(ChangedFieldMask(base, kOleDateMax + 2.0), kDateFieldAll);
    EXPECT_EQ(ChangedFieldMask(NAN, base), kDateFieldAll);
}

} // namespace
