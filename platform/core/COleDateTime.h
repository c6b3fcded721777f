// A calendar date and time as a DATE (days since 1899-12-30 00:00) with a valid, invalid or
// null status.
//
// The integer part of a DATE counts days and the fraction is the time of day, also for
// negative values: -1.25 is 1899-12-29 06:00, not 1899-12-28 18:00. Arithmetic and comparison
// therefore go through the linear day count, never through the raw double. Valid dates run
// from 0100-01-01 (-657434.0) to 9999-12-31 (2958465.0) at any time of those days; parts are
// read after rounding to the nearest second.
#pragma once

#include "platform/core/COleDateTimeSpan.h"
#include "platform/core/CString.h"
#include "platform/core/Locale.h"
#include "platform/core/SystemTime.h"
#include "platform/core/Types.h"

#include <concepts>
#include <ctime>

typedef double DATE;

#ifndef VAR_TIMEVALUEONLY
#define VAR_TIMEVALUEONLY 0x00000001u
#endif
#ifndef VAR_DATEVALUEONLY
#define VAR_DATEVALUEONLY 0x00000002u
#endif

class COleDateTime {
public:
    enum DateTimeStatus { error = -1, valid = 0, invalid = 1, null = 2 };

    // Now in local time, to the second. Callable from any thread.
    static COleDateTime GetCurrentTime();

    COleDateTime() noexcept = default;
    // Out of range, or not a number: invalid (the value is kept).
    COleDateTime(DATE dtSrc) noexcept;
    // Seconds since 1970 shown in local time. A template so that an int literal means a DATE.
    template <typename T>
        requires std::same_as<T, time_t>
    COleDateTime(T timeSrc) noexcept
    {
        SetFromTimeT(timeSrc);
    }
    // The record's fields as they stand (no zone conversion); milliseconds are dropped.
    COleDateTime(const SYSTEMTIME& systimeSrc) noexcept;
    // A UTC file time, shown in local time; the fraction of a second is dropped.
    COleDateTime(const FILETIME& filetimeSrc) noexcept;
    COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) noexcept;
    COleDateTime(WORD wDosDate, WORD wDosTime) noexcept;

    COleDateTime& operator=(DATE dtSrc) noexcept;
    template <typename T>
        requires std::same_as<T, time_t>
    COleDateTime& operator=(T timeSrc) noexcept
    {
        SetFromTimeT(timeSrc);
        return *this;
    }
    COleDateTime& operator=(const SYSTEMTIME& systimeSrc) noexcept;
    COleDateTime& operator=(const FILETIME& filetimeSrc) noexcept;

    DateTimeStatus GetStatus() const noexcept { return m_status; }
    void SetStatus(DateTimeStatus status) noexcept { m_status = status; }
    operator DATE() const noexcept { return m_dt; }

    // Local calendar record (wDayOfWeek 0 = Sunday, milliseconds 0); false unless valid.
    bool GetAsSystemTime(SYSTEMTIME& sysTime) const noexcept;

    // AFX_OLE_DATETIME_ERROR unless valid. GetDayOfWeek: 1 = Sunday .. 7 = Saturday.
    int GetYear() const noexcept;
    int GetMonth() const noexcept;
    int GetDay() const noexcept;
    int GetHour() const noexcept;
    int GetMinute() const noexcept;
    int GetSecond() const noexcept;
    int GetDayOfWeek() const noexcept;
    int GetDayOfYear() const noexcept;

    // Year 100..9999, month 1..12, a day that exists, hour 0..23, minute and second 0..59.
    // Returns the new status: 0 (valid), or invalid with the value 0.0.
    int SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) noexcept;
    int SetDate(int nYear, int nMonth, int nDay) noexcept;
    // The time on 1899-12-30.
    int SetTime(int nHour, int nMin, int nSec) noexcept;

    // Reads English text; the locale id is accepted for compatibility and not consulted.
    // The grammar, case-insensitive, with blanks allowed between all parts:
    //   text  := date | time | date [","|"T"] time | time [","] date
    //   date  := yyyy S mm S dd       S one of "-" "/" "." used twice alike (ISO order)
    //          | m S d S y            y of one or two digits is 1930..2029, else as written
    //          | m "/" d              in the current year
    //          | d [P] Mon [P] y      P any run of "-" "." "," "/" or blanks
    //          | d [P] Mon            in the current year
    //          | Mon [P] d [P] y
    //          | Mon [P] d            in the current year (d of at most two digits)
    //          | Mon [P] yyyy         the first of the month (year of three or four digits)
    //          | yyyy [P] Mon [P] d
    //   time  := h ":" mm [":" ss ["." digits]] [ampm] | h ampm
    //   ampm  := "AM" | "PM" | "A" | "P" | "A.M." | "P.M."   (h then 1..12; else h is 0..23)
    //   Mon   := a month name, full or of three letters, with an optional "."
    // A zone "GMT" (or "UTC") may end a text whose last item is a time, as in the HTTP date
    // forms "Mon, 01 Jan 2024 00:00:00 GMT", "Monday, 01-Jan-24 00:00:00 GMT" and
    // "Mon Jan  1 00:00:00 2024"; the time is taken as it stands.
    // Weekday names (full or of three letters) may stand anywhere and are ignored. A missing
    // date is 1899-12-30, a missing time 00:00:00. VAR_DATEVALUEONLY drops the time read,
    // VAR_TIMEVALUEONLY the date read. Anything else, a day that does not exist or an empty
    // text gives FALSE with the value 0.0 and the status invalid.
    bool ParseDateTime(LPCTSTR lpszDate, DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT);

    // The locale's short date and time, "M/d/yyyy h:mm:ss tt": the date alone when the time
    // is midnight, the time alone on 1899-12-30. VAR_TIMEVALUEONLY gives the time alone,
    // VAR_DATEVALUEONLY the date alone. Null gives "", invalid "Invalid DateTime".
    CString Format(DWORD dwFlags = 0, LCID lcid = LANG_USER_DEFAULT) const;
    // strftime-style codes in English (see Calendar.h); %z and %Z give nothing.
    CString Format(LPCTSTR lpszFormat) const;

    // A null operand gives a null result, else an invalid one gives an invalid result; a
    // result outside the date range is invalid.
    COleDateTime operator+(const COleDateTimeSpan& dateSpan) const noexcept;
    COleDateTime operator-(const COleDateTimeSpan& dateSpan) const noexcept;
    COleDateTime& operator+=(const COleDateTimeSpan& dateSpan) noexcept { return *this = *this + dateSpan; }
    COleDateTime& operator-=(const COleDateTimeSpan& dateSpan) noexcept { return *this = *this - dateSpan; }
    COleDateTimeSpan operator-(const COleDateTime& date) const noexcept;

    // Valid dates compare as moments (-0.5 equals 0.5: both are 1899-12-30 12:00). ==
    // also needs equal statuses; two dates that are not valid are equal when their statuses
    // and values are.
    bool operator==(const COleDateTime& date) const noexcept;
    bool operator!=(const COleDateTime& date) const noexcept { return !(*this == date); }
    bool operator<(const COleDateTime& date) const noexcept;
    bool operator>(const COleDateTime& date) const noexcept { return date < *this; }
    bool operator<=(const COleDateTime& date) const noexcept { return !(date < *this); }
    bool operator>=(const COleDateTime& date) const noexcept { return !(*this < date); }

    DATE m_dt = 0.0;
    DateTimeStatus m_status = valid;

private:
    void SetFromTimeT(time_t timeSrc) noexcept;
    void CheckRange() noexcept;
};
