// Calendar records, file times, the time zone and the conversions between them.
#pragma once

#include "platform/core/Types.h"

// A calendar date and time; each field 16 bits. wDayOfWeek is 0 = Sunday .. 6 = Saturday.
struct SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
};
typedef SYSTEMTIME* LPSYSTEMTIME;
typedef SYSTEMTIME* PSYSTEMTIME;

// 100-nanosecond ticks since 1601-01-01 00:00 UTC (or local time, for a local file time),
// split into two 32-bit halves.
struct FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
};
typedef FILETIME* LPFILETIME;
typedef FILETIME* PFILETIME;

// The time zone as the platform describes it. UTC = local time + Bias (minutes); during
// daylight time DaylightBias is added too. The transition dates use the "day in month" form:
// wYear 0, wMonth the month, wDayOfWeek the weekday, wDay the week (1..4, 5 = the last), and
// the local wall-clock time at which the change happens. wMonth 0 means no daylight time.
struct TIME_ZONE_INFORMATION {
    LONG Bias;
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
};
typedef TIME_ZONE_INFORMATION* LPTIME_ZONE_INFORMATION;
typedef TIME_ZONE_INFORMATION* PTIME_ZONE_INFORMATION;

#define TIME_ZONE_ID_UNKNOWN 0u
#define TIME_ZONE_ID_STANDARD 1u
#define TIME_ZONE_ID_DAYLIGHT 2u
#define TIME_ZONE_ID_INVALID 0xFFFFFFFFu

// Current time, UTC and local. Callable from any thread.
void GetSystemTime(LPSYSTEMTIME lpSystemTime);
void GetLocalTime(LPSYSTEMTIME lpSystemTime);
void GetSystemTimeAsFileTime(LPFILETIME lpFileTime);

// Years 1601..30827, months 1..12, days that exist, hours 0..23, minutes and seconds 0..59,
// milliseconds 0..999; wDayOfWeek is ignored. FALSE with ERROR_INVALID_PARAMETER otherwise.
BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime);
// FALSE for file times of 0x8000000000000000 and above. Fills wDayOfWeek.
BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime);

// UTC <-> local file time. These use the offset in force at the given moment (from the C
// library's zone rules), not the one in force now, so a summer file time shows its summer
// clock time all year round.
BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime);
BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime);

// -1, 0 or 1.
LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2);

// The zone of the C library (TZ, else /etc/localtime), with this year's transitions.
// Returns TIME_ZONE_ID_UNKNOWN for a zone without daylight time, else STANDARD or DAYLIGHT
// for the time now.
DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation);
// With a null zone the C library's zone rules are used for the given moment; with a zone
// record its bias and transition rules are applied.
BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* lpTimeZone,
                                     const SYSTEMTIME* lpUniversalTime, LPSYSTEMTIME lpLocalTime);

// MS-DOS dates (bits 9-15 year since 1980, 5-8 month, 0-4 day) and times (11-15 hour,
// 5-10 minute, 0-4 seconds / 2). No zone conversion is made. FileTimeToDosDateTime refuses
// years outside 1980..2107.
BOOL DosDateTimeToFileTime(WORD wFatDate, WORD wFatTime, LPFILETIME lpFileTime);
BOOL FileTimeToDosDateTime(const FILETIME* lpFileTime, LPWORD lpFatDate, LPWORD lpFatTime);

namespace vostrel {

inline constexpr ULONGLONG kFileTimeTicksPerSecond = 10000000ull;
// The file time of 1970-01-01 00:00 UTC.
inline constexpr ULONGLONG kFileTimeUnixEpoch = 116444736000000000ull;

inline ULONGLONG FileTimeToTicks(const FILETIME& ft)
{
    return (static_cast<ULONGLONG>(ft.dwHighDateTime) << 32) | ft.dwLowDateTime;
}

inline FILETIME TicksToFileTime(ULONGLONG ticks)
{
    return FILETIME{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
}

} // namespace vostrel
