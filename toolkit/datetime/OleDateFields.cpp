// Field decomposition goes through COleDateTime, which rounds in the linear day count: a value
// before 1899-12-30 carries its time of day as a positive fraction, so rounding the raw double
// towards minus infinity would carry a time just before midnight back two days instead of
// forward to the next one.
#include "toolkit/datetime/OleDateFields.h"

#include <cmath>

namespace {

// Days before the first of each month in a common year, one-based by month.
constexpr int kMonthStart[13] = {0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334, 365};

bool IsLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

} // namespace

BOOL OleDateToFields(DATE dtSrc, DateFields& fields)
{
    // The ends are checked on whole days: the core accepts any time of 0100-01-01 and of
    // 9999-12-31, and its split refuses a rounded second past either end.
    if (!std::isfinite(dtSrc) || dtSrc >= kOleDateMax + 1.0 || dtSrc <= kOleDateMin - 1.0)
        return FALSE;
    const COleDateTime value(dtSrc);
    SYSTEMTIME st{};
    if (!value.GetAsSystemTime(st))
        return FALSE;
    fields.nSecond = st.wSecond;
    fields.nMinute = st.wMinute;
    fields.nHour = st.wHour;
    fields.nDay = st.wDay;
    fields.nMonth = st.wMonth;
    fields.nYear = st.wYear;
    fields.nDayOfWeek = st.wDayOfWeek + 1;
    fields.nDayOfYear = kMonthStart[st.wMonth - 1] + st.wDay +
                        (st.wMonth > 2 && IsLeapYear(st.wYear) ? 1 : 0);
    return TRUE;
}

BOOL FieldsToOleDate(const DateFields& fields, COleDateTime& dt)
{
    // SetDateTime refuses years below 100 itself; two-digit years are never widened here.
    return dt.SetDateTime(fields.nYear, fields.nMonth, fields.nDay, fields.nHour, fields.nMinute,
                          fields.nSecond) == COleDateTime::valid;
}

int ChangedFieldMask(DATE dtOld, DATE dtNew)
{
    DateFields before, after;
    if (!OleDateToFields(dtOld, before) || !OleDateToFields(dtNew, after))
        return kDateFieldAll;
    int mask = 0;
    if (before.nHour != after.nHour)
        mask |= kDateFieldHour12 | kDateFieldHour24 | kDateFieldAmPm;
    if (before.nMinute != after.nMinute)
        mask |= kDateFieldMinute;
    if (before.nSecond != after.nSecond)
        mask |= kDateFieldSecond;
    if (before.nDayOfWeek != after.nDayOfWeek)
        mask |= kDateFieldDayName;
    if (before.nDay != after.nDay)
        mask |= kDateFieldDay;
    if (before.nMonth != after.nMonth)
        mask |= kDateFieldMonth | kDateFieldMonthName;
    if (before.nYear != after.nYear)
        mask |= kDateFieldYear2 | kDateFieldYear4;
    return mask;
}
