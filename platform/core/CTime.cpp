// CTime over the C library's clock and zone rules.
#include "platform/core/CTime.h"

#include "platform/core/Calendar.h"

namespace {

time_t MakeLocal(int year, int month, int day, int hour, int minute, int second, int dst)
{
    if (year < 1900 || year > 9999 || !vostrel::cal::IsValidDate(year, month, day) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return -1;
    std::tm tm{};
    tm.tm_year = year - 1900;
    tm.tm_mon = month - 1;
    tm.tm_mday = day;
    tm.tm_hour = hour;
    tm.tm_min = minute;
    tm.tm_sec = second;
    tm.tm_isdst = dst < 0 ? -1 : (dst > 0 ? 1 : 0);
    return mktime(&tm);
}

std::tm* Breakdown(time_t t, std::tm* ptm, bool utc)
{
    static thread_local std::tm buffer;
    std::tm* target = ptm ? ptm : &buffer;
    return utc ? gmtime_r(&t, target) : localtime_r(&t, target);
}

CString FormatWith(time_t t, LPCTSTR pszFormat, bool utc)
{
    std::tm tm{};
    if (!pszFormat || !Breakdown(t, &tm, utc))
        return CString();
    vostrel::cal::ZoneInfo zone;
    zone.known = true;
    zone.gmtoffSeconds = utc ? 0 : tm.tm_gmtoff;
    zone.name = utc ? "UTC" : (tm.tm_zone ? tm.tm_zone : "");
    const std::string text = vostrel::cal::FormatTime(tm, pszFormat, zone);
    return CString(text.c_str(), static_cast<int>(text.size()));
}

} // namespace

CTime CTime::GetCurrentTime()
{
    return CTime(time(nullptr));
}

BOOL CTime::IsValidFILETIME(const FILETIME& ft)
{
    SYSTEMTIME st{};
    return FileTimeToSystemTime(&ft, &st);
}

CTime::CTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec, int nDST)
    : m_time(MakeLocal(nYear, nMonth, nDay, nHour, nMin, nSec, nDST))
{
}

CTime::CTime(WORD wDosDate, WORD wDosTime, int nDST)
    : m_time(MakeLocal(1980 + (wDosDate >> 9), (wDosDate >> 5) & 0x0F, wDosDate & 0x1F,
                       wDosTime >> 11, (wDosTime >> 5) & 0x3F, (wDosTime & 0x1F) * 2, nDST))
{
}

CTime::CTime(const SYSTEMTIME& st, int nDST)
    : m_time(MakeLocal(st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond, nDST))
{
}

CTime::CTime(const FILETIME& ft, int /*nDST*/)
{
    // A file time is already UTC: convert directly rather than through local calendar fields,
    // which would be ambiguous in the hour a daylight-saving change repeats.
    const ULONGLONG ticks = vostrel::FileTimeToTicks(ft);
    m_time = IsValidFILETIME(ft)
                 ? static_cast<time_t>(ticks / vostrel::kFileTimeTicksPerSecond) - 11644473600
                 : -1;
}

struct tm* CTime::GetGmtTm(struct tm* ptm) const
{
    return Breakdown(m_time, ptm, true);
}

struct tm* CTime::GetLocalTm(struct tm* ptm) const
{
    return Breakdown(m_time, ptm, false);
}

bool CTime::GetAsSystemTime(SYSTEMTIME& st) const
{
    std::tm tm{};
    if (!GetLocalTm(&tm) || tm.tm_year + 1900 < 1601 || tm.tm_year + 1900 > 30827)
        return false;
    st.wYear = static_cast<WORD>(tm.tm_year + 1900);
    st.wMonth = static_cast<WORD>(tm.tm_mon + 1);
    st.wDayOfWeek = static_cast<WORD>(tm.tm_wday);
    st.wDay = static_cast<WORD>(tm.tm_mday);
    st.wHour = static_cast<WORD>(tm.tm_hour);
    st.wMinute = static_cast<WORD>(tm.tm_min);
    st.wSecond = static_cast<WORD>(tm.tm_sec);
    st.wMilliseconds = 0;
    return true;
}

int CTime::GetYear() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_year + 1900 : -1;
}

int CTime::GetMonth() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_mon + 1 : -1;
}

int CTime::GetDay() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_mday : -1;
}

int CTime::GetHour() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_hour : -1;
}

int CTime::GetMinute() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_min : -1;
}

int CTime::GetSecond() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_sec : -1;
}

int CTime::GetDayOfWeek() const
{
    std::tm tm{};
    return GetLocalTm(&tm) ? tm.tm_wday + 1 : -1;
}

CString CTime::Format(LPCTSTR pszFormat) const
{
    return FormatWith(m_time, pszFormat, false);
}

CString CTime::FormatGmt(LPCTSTR pszFormat) const
{
    return FormatWith(m_time, pszFormat, true);
}

CString CTime::Format(UINT nFormatID) const
{
    CString format;
    return format.LoadString(nFormatID) ? Format(format.GetString()) : CString();
}

CString CTime::FormatGmt(UINT nFormatID) const
{
    CString format;
    return format.LoadString(nFormatID) ? FormatGmt(format.GetString()) : CString();
}
