// Formatting of durations.
#include "platform/core/CTimeSpan.h"

#include <cstdio>
#include <string>

CTimeSpan::CTimeSpan(LONG lDays, int nHours, int nMins, int nSecs) noexcept
    : m_timeSpan(((static_cast<time_t>(lDays) * 24 + nHours) * 60 + nMins) * 60 + nSecs)
{
}

CString CTimeSpan::Format(LPCTSTR pszFormat) const
{
    std::string out;
    if (!pszFormat)
        return CString();
    const bool negative = m_timeSpan < 0;
    const time_t magnitude = negative ? -m_timeSpan : m_timeSpan;
    char buf[32];
    for (const char* p = pszFormat; *p; ++p) {
        if (*p != '%' || !p[1]) {
            out += *p;
            continue;
        }
        switch (*++p) {
        case 'D':
            std::snprintf(buf, sizeof buf, "%s%lld", negative ? "-" : "", static_cast<long long>(magnitude / 86400));
            out += buf;
            break;
        case 'H':
            std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(magnitude / 3600 % 24));
            out += buf;
            break;
        case 'M':
            std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(magnitude / 60 % 60));
            out += buf;
            break;
        case 'S':
            std::snprintf(buf, sizeof buf, "%02d", static_cast<int>(magnitude % 60));
            out += buf;
            break;
        case '%':
            out += '%';
            break;
        default:
            out += '%';
            out += *p;
            break;
        }
    }
    return CString(out.c_str(), static_cast<int>(out.size()));
}
