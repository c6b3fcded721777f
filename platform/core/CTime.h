// A moment in whole seconds since 1970-01-01 UTC, shown in local time or UTC.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/CTimeSpan.h"
#include "platform/core/SystemTime.h"
#include "platform/core/Types.h"

#include <compare>
#include <ctime>

class CTime {
public:
    // Now, to the second. Callable from any thread.
    static CTime GetCurrentTime();
    static BOOL IsValidFILETIME(const FILETIME& ft);

    CTime() noexcept = default;
    CTime(time_t time) noexcept : m_time(time) {}
    // Local time. nDST: 0 standard time, 1 daylight time, -1 let the zone rules decide.
    // Parts outside year 1900..9999, month 1..12, day 1..length of the month, hour 0..23,
    // minute and second 0..59 give the time -1, which the C library also uses for failure.
    CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST = -1);
    // MS-DOS date and time, local time.
    CTime(WORD wDosDate, WORD wDosTime, int nDST = -1);
    // A local calendar record; the milliseconds are dropped.
    CTime(const SYSTEMTIME& st, int nDST = -1);
    // A UTC file time; the fraction of a second is dropped. An invalid file time gives -1.
    CTime(const FILETIME& ft, int nDST = -1);

    CTime& operator=(time_t time) noexcept { m_time = time; return *this; }

    // NULL when the time cannot be broken down. With a null buffer a per-thread one is used.
    struct tm* GetGmtTm(struct tm* ptm = nullptr) const;
    struct tm* GetLocalTm(struct tm* ptm = nullptr) const;
    // The local calendar record; false when the time is outside the record's range.
    bool GetAsSystemTime(SYSTEMTIME& st) const;

    time_t GetTime() const noexcept { return m_time; }
    // Local-time parts; GetDayOfWeek is 1 = Sunday .. 7 = Saturday.
    int GetYear() const;
    int GetMonth() const;
    int GetDay() const;
    int GetHour() const;
    int GetMinute() const;
    int GetSecond() const;
    int GetDayOfWeek() const;

    // strftime-style codes in English (see Calendar.h): local time, or UTC for FormatGmt.
    CString Format(LPCTSTR pszFormat) const;
    CString FormatGmt(LPCTSTR pszFormat) const;
    CString Format(UINT nFormatID) const;
    CString FormatGmt(UINT nFormatID) const;

    CTimeSpan operator-(CTime time) const noexcept { return CTimeSpan(m_time - time.m_time); }
    CTime operator-(CTimeSpan span) const noexcept { return CTime(m_time - span.GetTimeSpan()); }
    CTime operator+(CTimeSpan span) const noexcept { return CTime(m_time + span.GetTimeSpan()); }
    CTime& operator+=(CTimeSpan span) noexcept { m_time += span.GetTimeSpan(); return *this; }
    CTime& operator-=(CTimeSpan span) noexcept { m_time -= span.GetTimeSpan(); return *this; }
    bool operator==(const CTime&) const noexcept = default;
    auto operator<=>(const CTime&) const noexcept = default;

private:
    time_t m_time = 0;
};
