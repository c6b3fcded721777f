// A signed span of days (fraction = part of a day) with a valid, invalid or null status.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#ifndef AFX_OLE_DATETIME_ERROR
#define AFX_OLE_DATETIME_ERROR (-1)
#endif

class COleDateTimeSpan {
public:
    enum DateTimeSpanStatus { valid = 0, invalid = 1, null = 2 };

    COleDateTimeSpan() noexcept = default;
    // Spans longer than the whole date range (3615899 days) are invalid.
    COleDateTimeSpan(double dblSpanSrc) noexcept;
    COleDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept;

    void SetStatus(DateTimeSpanStatus status) noexcept { m_status = status; }
    DateTimeSpanStatus GetStatus() const noexcept { return m_status; }
    void SetDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept;

    // The whole span in each unit, with its fraction.
    double GetTotalDays() const noexcept { return m_span; }
    double GetTotalHours() const noexcept { return m_span * 24; }
    double GetTotalMinutes() const noexcept { return m_span * 24 * 60; }
    double GetTotalSeconds() const noexcept { return m_span * 24 * 60 * 60; }
    // The parts of the span rounded to the nearest second: whole days, then hours 0..23,
    // minutes and seconds 0..59; all carry the span's sign. A span that is not valid answers
    // AFX_OLE_DATETIME_ERROR, so check GetStatus for negative spans.
    LONG GetDays() const noexcept;
    LONG GetHours() const noexcept;
    LONG GetMinutes() const noexcept;
    LONG GetSeconds() const noexcept;

    operator double() const noexcept { return m_span; }
    COleDateTimeSpan& operator=(double dblSpanSrc) noexcept;

    // Spans of equal status compare by length; == also needs the statuses to agree.
    bool operator==(const COleDateTimeSpan& other) const noexcept;
    bool operator!=(const COleDateTimeSpan& other) const noexcept { return !(*this == other); }
    bool operator<(const COleDateTimeSpan& other) const noexcept { return m_span < other.m_span; }
    bool operator>(const COleDateTimeSpan& other) const noexcept { return m_span > other.m_span; }
    bool operator<=(const COleDateTimeSpan& other) const noexcept { return m_span <= other.m_span; }
    bool operator>=(const COleDateTimeSpan& other) const noexcept { return m_span >= other.m_span; }

    // A null operand gives a null result, else an invalid one gives an invalid result.
    COleDateTimeSpan operator+(const COleDateTimeSpan& other) const noexcept;
    COleDateTimeSpan operator-(const COleDateTimeSpan& other) const noexcept;
    COleDateTimeSpan& operator+=(const COleDateTimeSpan& other) noexcept { return *this = *this + other; }
    COleDateTimeSpan& operator-=(const COleDateTimeSpan& other) noexcept { return *this = *this - other; }
    COleDateTimeSpan operator-() const noexcept;

    // %D days, %H hours 00-23, %M minutes 00-59, %S seconds 00-59, %% a percent sign. %D
    // carries the sign of a negative span, the other parts show magnitudes. A null span
    // gives "", an invalid one "Invalid DateTimeSpan".
    CString Format(LPCTSTR pszFormat) const;
    CString Format(UINT nID) const;

    double m_span = 0.0;
    DateTimeSpanStatus m_status = valid;

private:
    void CheckRange() noexcept;
    long long TotalSeconds() const noexcept;
};
