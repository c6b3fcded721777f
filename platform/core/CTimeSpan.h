// A signed duration in whole seconds, the difference of two CTime values.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <compare>
#include <ctime>

class CTimeSpan {
public:
    CTimeSpan() noexcept = default;
    CTimeSpan(time_t seconds) noexcept : m_timeSpan(seconds) {}
    CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept;

    LONGLONG GetDays() const noexcept { return m_timeSpan / 86400; }
    LONGLONG GetTotalHours() const noexcept { return m_timeSpan / 3600; }
    LONG GetHours() const noexcept { return static_cast<LONG>(GetTotalHours() - GetDays() * 24); }
    LONGLONG GetTotalMinutes() const noexcept { return m_timeSpan / 60; }
    LONG GetMinutes() const noexcept { return static_cast<LONG>(GetTotalMinutes() - GetTotalHours() * 60); }
    LONGLONG GetTotalSeconds() const noexcept { return m_timeSpan; }
    LONG GetSeconds() const noexcept { return static_cast<LONG>(GetTotalSeconds() - GetTotalMinutes() * 60); }
    time_t GetTimeSpan() const noexcept { return m_timeSpan; }

    // %D days, %H hours 00-23, %M minutes 00-59, %S seconds 00-59, %% a percent sign; other
    // characters are copied. %D carries the sign of a negative span; the other parts show
    // magnitudes, so -1 day 2 hours reads "-1 02".
    CString Format(LPCTSTR pszFormat) const;

    CTimeSpan operator+(CTimeSpan span) const noexcept { return CTimeSpan(m_timeSpan + span.m_timeSpan); }
    CTimeSpan operator-(CTimeSpan span) const noexcept { return CTimeSpan(m_timeSpan - span.m_timeSpan); }
    CTimeSpan operator-() const noexcept { return CTimeSpan(-m_timeSpan); }
    CTimeSpan& operator+=(CTimeSpan span) noexcept { m_timeSpan += span.m_timeSpan; return *this; }
    CTimeSpan& operator-=(CTimeSpan span) noexcept { m_timeSpan -= span.m_timeSpan; return *this; }
    bool operator==(const CTimeSpan&) const noexcept = default;
    auto operator<=>(const CTimeSpan&) const noexcept = default;

private:
    time_t m_timeSpan = 0;
};
