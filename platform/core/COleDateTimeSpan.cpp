// Day-based spans. Parts are taken from the span rounded to whole seconds, so that a span of
// 1/24 day reads one hour and not 0 hours 59 minutes 59.999 seconds.
#include "platform/core/COleDateTimeSpan.h"

#include <cmath>
#include <cstdio>
#include <string>

namespace {

// The distance between the first and the last day a date can hold.
constexpr double kMaxSpan = 2958465.0 + 657434.0;

} // namespace

COleDateTimeSpan::COleDateTimeSpan(double dblSpanSrc) noexcept : m_span(dblSpanSrc)
{
    CheckRange();
}

COleDateTimeSpan::COleDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept
{
    SetDateTimeSpan(lDays, nHours, nMins, nSecs);
}

void COleDateTimeSpan::SetDateTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept
{
    m_span = lDays + ((static_cast<double>(nHours) * 60 + nMins) * 60 + nSecs) / 86400.0;
    m_status = valid;
    CheckRange();
}

COleDateTimeSpan& COleDateTimeSpan::operator=(double dblSpanSrc) noexcept
{
    m_span = dblSpanSrc;
    m_status = valid;
    CheckRange();
    return *this;
}

void COleDateTimeSpan::CheckRange() noexcept
{
    if (!std::isfinite(m_span) || m_span > kMaxSpan || m_span < -kMaxSpan)
        m_status = invalid;
}

long long COleDateTimeSpan::TotalSeconds() const noexcept
{
    return std::llround(m_span * 86400.0);
}

LONG COleDateTimeSpan::GetDays() const noexcept
{
    return m_status == valid ? static_cast<LONG>(TotalSeconds() / 86400) : AFX_OLE_DATETIME_ERROR;
}

LONG COleDateTimeSpan::GetHours() const noexcept
{
    return m_status == valid ? static_cast<LONG>(TotalSeconds() / 3600 % 24) : AFX_OLE_DATETIME_ERROR;
}

LONG COleDateTimeSpan::GetMinutes() const noexcept
{
    return m_status == valid ? static_cast<LONG>(TotalSeconds() / 60 % 60) : AFX_OLE_DATETIME_ERROR;
}

LONG COleDateTimeSpan::GetSeconds() const noexcept
{
    return m_status == valid ? static_cast<LONG>(TotalSeconds() % 60) : AFX_OLE_DATETIME_ERROR;
}

bool COleDateTimeSpan::operator==(const COleDateTimeSpan& other) const noexcept
{
    return m_status == other.m_status && m_span == other.m_span;
}

COleDateTimeSpan COleDateTimeSpan::operator+(const COleDateTimeSpan& other) const noexcept
{
    COleDateTimeSpan result;
    if (m_status == null || other.m_status == null) {
        result.m_status = null;
    } else if (m_status == invalid || other.m_status == invalid) {
        result.m_status = invalid;
    } else {
        result.m_span = m_span + other.m_span;
        result.CheckRange();
    }
    return result;
}

COleDateTimeSpan COleDateTimeSpan::operator-(const COleDateTimeSpan& other) const noexcept
{
    return *this + (-other);
}

COleDateTimeSpan COleDateTimeSpan::operator-() const noexcept
{
    COleDateTimeSpan result(*this);
    result.m_span = -m_span;
    return result;
}

CString COleDateTimeSpan::Format(LPCTSTR pszFormat) const
{
    if (m_status == null || !pszFormat)
        return CString();
    if (m_status == invalid)
        return CString("Invalid DateTimeSpan");
    const long long total = TotalSeconds();
    const bool negative = total < 0;
    const long long magnitude = negative ? -total : total;
    std::string out;
    char buf[32];
    for (const char* p = pszFormat; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        switch (*++p) {
        case 'D': std::snprintf(buf, sizeof buf, "%s%lld", negative ? "-" : "", magnitude / 86400); break;
        case 'H': std::snprintf(buf, sizeof buf, "%02lld", magnitude / 3600 % 24); break;
        case 'M': std::snprintf(buf, sizeof buf, "%02lld", magnitude / 60 % 60); break;
        case 'S': std::snprintf(buf, sizeof buf, "%02lld", magnitude % 60); break;
        case '%': std::snprintf(buf, sizeof buf, "%%"); break;
        default: std::snprintf(buf, sizeof buf, "%%%c", *p); break;
        }
        out += buf;
    }
    return CString(out.c_str(), static_cast<int>(out.size()));
}

CString COleDateTimeSpan::Format(UINT nID) const
{
    CString format;
    return format.LoadString(nID) ? Format(format.GetString()) : CString();
}
