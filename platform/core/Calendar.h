// Proleptic Gregorian calendar arithmetic, English day and month names, and the strftime-style
// formatter shared by the time classes.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>

namespace vostrel::cal {

bool IsLeapYear(int64_t year);
// 0 for a month outside 1..12.
int DaysInMonth(int64_t year, int month);
// True when the three parts name a day that exists (any year, month 1..12, day 1..length).
bool IsValidDate(int64_t year, int month, int day);

// Days since 1970-01-01 of a calendar date, and back; correct for any year, also before 1970.
int64_t DaysFromCivil(int64_t year, int month, int day);
void CivilFromDays(int64_t days, int64_t& year, int& month, int& day);

// 0 = Sunday .. 6 = Saturday.
int DayOfWeek(int64_t daysSince1970);
// 1 .. 366.
int DayOfYear(int64_t year, int month, int day);

// English names; indexes 0 = Sunday, 0 = January.
extern const char* const kDayNames[7];
extern const char* const kDayAbbrevs[7];
extern const char* const kMonthNames[12];
extern const char* const kMonthAbbrevs[12];
extern const char* const kAm;
extern const char* const kPm;

// The zone part of a broken-down time, for %z and %Z; absent for zone-less values.
struct ZoneInfo {
    bool known = false;
    long gmtoffSeconds = 0;
    std::string_view name;
};

// Formats a broken-down time with strftime-style codes, always in English and independent of
// the process locale: %a %A %b %B %c %d %H %I %j %m %M %p %S %U %w %W %x %X %y %Y %z %Z %%.
// A '#' after '%' drops leading zeros of numbers, and gives the long forms of %c and %x.
// An unknown code is copied as it stands. tm_year counts from 1900, as in the C library.
std::string FormatTime(const std::tm& tm, std::string_view format, const ZoneInfo& zone = {});

} // namespace vostrel::cal
