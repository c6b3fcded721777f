// The calendar fields of a COleDateTime value, as the date-time controls edit them one by one:
// split a value into fields, rebuild it from fields, and tell which fields two values differ in.
#pragma once

#include "platform/core/COleDateTime.h"
#include "platform/core/Types.h"

// The valid range of the controls' values, days relative to 1899-12-30.
constexpr double kOleDateMin = -657434.0; // 0100-01-01
constexpr double kOleDateMax = 2958465.0; // 9999-12-31

// Eight signed fields in this order; the order is part of the controls' field indexing.
struct DateFields {
    int nSecond = 0;    // 0..59
    int nMinute = 0;    // 0..59
    int nHour = 0;      // 0..23
    int nDay = 0;       // 1..31
    int nMonth = 0;     // 1..12
    int nYear = 0;      // 100..9999
    int nDayOfWeek = 0; // 1..7, 1 = Sunday
    int nDayOfYear = 0; // 1..366
};

// Field-type bits of the date-time gadgets, as ChangedFieldMask reports them.
constexpr int kDateFieldHour12 = 1;
constexpr int kDateFieldHour24 = 2;
constexpr int kDateFieldMinute = 4;
constexpr int kDateFieldSecond = 8;
constexpr int kDateFieldAmPm = 16;
constexpr int kDateFieldDay = 32;
constexpr int kDateFieldDayName = 64;
constexpr int kDateFieldMonth = 128;
constexpr int kDateFieldMonthName = 256;
constexpr int kDateFieldYear2 = 512;
constexpr int kDateFieldYear4 = 1024;
constexpr int kDateFieldAll = 2047;

// Splits a date rounded to the nearest second. Any time of the first and the last day counts as
// in range (a value the controls themselves can set must be editable); a value whose rounded
// second lies outside the range, or that is not a number, gives FALSE with the fields untouched.
BOOL OleDateToFields(DATE dtSrc, DateFields& fields);

// Rebuilds a value from the date and time fields (day of week and day of year are not read).
// FALSE, with the value invalid, for a year below 100 or a date or time that does not exist.
BOOL FieldsToOleDate(const DateFields& fields, COleDateTime& dt);

// The gadget field types whose text differs between the two values. When either value cannot
// be split every field is reported, so that nothing stale stays on screen.
int ChangedFieldMask(DATE dtOld, DATE dtNew);
