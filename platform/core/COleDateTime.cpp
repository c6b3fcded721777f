// DATE arithmetic. A DATE is turned into a linear day count (days plus the time of day as a
// positive fraction) before any arithmetic or comparison, and back afterwards, so that dates
// before 1899-12-30 behave like all others.
#include "platform/core/COleDateTime.h"

#include "platform/core/Calendar.h"

#include <cmath>

namespace {

// Day 0 of a DATE is 1899-12-30, 25569 days before 1970-01-01.
constexpr int64_t kDateDayOfUnixEpoch = 25569;
constexpr int64_t kMinDay = -657434; // 0100-01-01
constexpr int64_t kMaxDay = 2958465; // 9999-12-31

double ToLinear(DATE dt)
{
    const double days = std::trunc(dt);
    return days + std::fabs(dt - days);
}

DATE FromLinear(double linear)
{
    const double days = std::floor(linear);
    const double time = linear - days;
    return days >= 0 ? days + time : days - time;
}

struct Parts {
    int64_t day = 0; // days since 1899-12-30
    int year = 0, month = 0, dayOfMonth = 0;
    int hour = 0, minute = 0, second = 0;
    int dayOfWeek = 0; // 1 = Sunday
    int dayOfYear = 0;
};

bool SplitDate(DATE dt, Parts& parts)
{
    if (!std::isfinite(dt) || dt > double(kMaxDay + 1) || dt < double(kMinDay - 1))
        return false;
    const long long seconds = std::llround(ToLinear(dt) * 86400.0);
    long long day = seconds / 86400;
    long long secondOfDay = seconds % 86400;
    if (secondOfDay < 0) {
        secondOfDay += 86400;
        --day;
    }
    if (day < kMinDay || day > kMaxDay)
        return false;
    int64_t year = 0;
    int month = 0, dayOfMonth = 0;
    const int64_t unixDay = day - kDateDayOfUnixEpoch;
    vostrel::cal::CivilFromDays(unixDay, year, month, dayOfMonth);
    parts.day = day;
    parts.year = static_cast<int>(year);
    parts.month = month;
    parts.dayOfMonth = dayOfMonth;
    parts.hour = static_cast<int>(secondOfDay / 3600);
    parts.minute = static_cast<int>(secondOfDay / 60 % 60);
    parts.second = static_cast<int>(secondOfDay % 60);
    parts.dayOfWeek = vostrel::cal::DayOfWeek(unixDay) + 1;
    parts.dayOfYear = vostrel::cal::DayOfYear(year, month, dayOfMonth);
    return true;
}

bool JoinDate(int year, int month, int day, int hour, int minute, int second, DATE& dt)
{
    if (year < 100 || year > 9999 || !vostrel::cal::IsValidDate(year, month, day) || hour < 0 ||
        hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59)
        return false;
    const double days =
        double(vostrel::cal::DaysFromCivil(year, month, day) + kDateDayOfUnixEpoch);
    const double time = (hour * 3600 + minute * 60 + second) / 86400.0;
    dt = days >= 0 ? days + time : days - time;
    return true;
}

std::tm PartsToTm(const Parts& parts)
{
    std::tm tm{};
    tm.tm_year = parts.year - 1900;
    tm.tm_mon = parts.month - 1;
    tm.tm_mday = parts.dayOfMonth;
    tm.tm_hour = parts.hour;
    tm.tm_min = parts.minute;
    tm.tm_sec = parts.second;
    tm.tm_wday = parts.dayOfWeek - 1;
    tm.tm_yday = parts.dayOfYear - 1;
    tm.tm_isdst = -1;
    return tm;
}

const char* const kInvalidText = "Invalid DateTime";

} // namespace

COleDateTime COleDateTime::GetCurrentTime()
{
    return COleDateTime(time(nullptr));
}

COleDateTime::COleDateTime(DATE dtSrc) noexcept : m_dt(dtSrc)
{
    CheckRange();
}

COleDateTime::COleDateTime(const SYSTEMTIME& systimeSrc) noexcept
{
    *this = systimeSrc;
}

COleDateTime::COleDateTime(const FILETIME& filetimeSrc) noexcept
{
    *this = filetimeSrc;
}

COleDateTime::COleDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) noexcept
{
    SetDateTime(nYear, nMonth, nDay, nHour, nMin, nSec);
}

COleDateTime::COleDateTime(WORD wDosDate, WORD wDosTime) noexcept
{
    SetDateTime(1980 + (wDosDate >> 9), (wDosDate >> 5) & 0x0F, wDosDate & 0x1F, wDosTime >> 11,
                (wDosTime >> 5) & 0x3F, (wDosTime & 0x1F) * 2);
}

COleDateTime& COleDateTime::operator=(DATE dtSrc) noexcept
{
    m_dt = dtSrc;
    m_status = valid;
    CheckRange();
    return *this;
}

COleDateTime& COleDateTime::operator=(const SYSTEMTIME& systimeSrc) noexcept
{
    SetDateTime(systimeSrc.wYear, systimeSrc.wMonth, systimeSrc.wDay, systimeSrc.wHour,
                systimeSrc.wMinute, systimeSrc.wSecond);
    return *this;
}

COleDateTime& COleDateTime::operator=(const FILETIME& filetimeSrc) noexcept
{
    FILETIME local{};
    SYSTEMTIME st{};
    if (FileTimeToLocalFileTime(&filetimeSrc, &local) && FileTimeToSystemTime(&local, &st)) {
        *this = st;
    } else {
        m_dt = 0.0;
        m_status = invalid;
    }
    return *this;
}

void COleDateTime::SetFromTimeT(time_t timeSrc) noexcept
{
    std::tm tm{};
    if (localtime_r(&timeSrc, &tm)) {
        SetDateTime(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec);
    } else {
        m_dt = 0.0;
        m_status = invalid;
    }
}

void COleDateTime::CheckRange() noexcept
{
    Parts parts;
    if (!SplitDate(m_dt, parts))
        m_status = invalid;
}

bool COleDateTime::GetAsSystemTime(SYSTEMTIME& sysTime) const noexcept
{
    Parts parts;
    if (m_status != valid || !SplitDate(m_dt, parts))
        return false;
    sysTime.wYear = static_cast<WORD>(parts.year);
    sysTime.wMonth = static_cast<WORD>(parts.month);
    sysTime.wDayOfWeek = static_cast<WORD>(parts.dayOfWeek - 1);
    sysTime.wDay = static_cast<WORD>(parts.dayOfMonth);
    sysTime.wHour = static_cast<WORD>(parts.hour);
    sysTime.wMinute = static_cast<WORD>(parts.minute);
    sysTime.wSecond = static_cast<WORD>(parts.second);
    sysTime.wMilliseconds = 0;
    return true;
}

#define OLE_DATE_PART(name, field)                                                             \
    int COleDateTime::name() const noexcept                                                    \
    {                                                                                          \
        Parts parts;                                                                           \
        return m_status == valid && SplitDate(m_dt, parts) ? parts.field : AFX_OLE_DATETIME_ERROR; \
    }
OLE_DATE_PART(GetYear, year)
OLE_DATE_PART(GetMonth, month)
OLE_DATE_PART(GetDay, dayOfMonth)
OLE_DATE_PART(GetHour, hour)
OLE_DATE_PART(GetMinute, minute)
OLE_DATE_PART(GetSecond, second)
OLE_DATE_PART(GetDayOfWeek, dayOfWeek)
OLE_DATE_PART(GetDayOfYear, dayOfYear)
#undef OLE_DATE_PART

int COleDateTime::SetDateTime(int nYear, int nMonth, int nDay, int nHour, int nMin, int nSec) noexcept
{
    DATE dt = 0.0;
    if (JoinDate(nYear, nMonth, nDay, nHour, nMin, nSec, dt)) {
        m_dt = dt;
        m_status = valid;
    } else {
        m_dt = 0.0;
        m_status = invalid;
    }
    return m_status;
}

int COleDateTime::SetDate(int nYear, int nMonth, int nDay) noexcept
{
    return SetDateTime(nYear, nMonth, nDay, 0, 0, 0);
}

int COleDateTime::SetTime(int nHour, int nMin, int nSec) noexcept
{
    return SetDateTime(1899, 12, 30, nHour, nMin, nSec);
}

CString COleDateTime::Format(DWORD dwFlags, LCID /*lcid*/) const
{
    if (m_status == null)
        return CString();
    Parts parts;
    if (m_status != valid || !SplitDate(m_dt, parts))
        return CString(kInvalidText);
    SYSTEMTIME st{};
    GetAsSystemTime(st);
    char date[64] = "";
    char time[64] = "";
    GetDateFormatA(LOCALE_USER_DEFAULT, DATE_SHORTDATE, &st, nullptr, date, sizeof date);
    GetTimeFormatA(LOCALE_USER_DEFAULT, 0, &st, nullptr, time, sizeof time);
    const bool midnight = parts.hour == 0 && parts.minute == 0 && parts.second == 0;
    if (dwFlags & VAR_TIMEVALUEONLY)
        return CString(time);
    if ((dwFlags & VAR_DATEVALUEONLY) || (midnight && parts.day != 0))
        return CString(date);
    if (parts.day == 0)
        return CString(time);
    return CString(date) + " " + time;
}

CString COleDateTime::Format(LPCTSTR lpszFormat) const
{
    if (m_status == null || !lpszFormat)
        return CString();
    Parts parts;
    if (m_status != valid || !SplitDate(m_dt, parts))
        return CString(kInvalidText);
    const std::string text = vostrel::cal::FormatTime(PartsToTm(parts), lpszFormat);
    return CString(text.c_str(), static_cast<int>(text.size()));
}

COleDateTime COleDateTime::operator+(const COleDateTimeSpan& dateSpan) const noexcept
{
    COleDateTime result;
    if (m_status == null || dateSpan.GetStatus() == COleDateTimeSpan::null) {
        result.m_status = null;
    } else if (m_status == invalid || dateSpan.GetStatus() == COleDateTimeSpan::invalid) {
        result.m_status = invalid;
    } else {
        result.m_dt = FromLinear(ToLinear(m_dt) + dateSpan.m_span);
        result.CheckRange();
    }
    return result;
}

COleDateTime COleDateTime::operator-(const COleDateTimeSpan& dateSpan) const noexcept
{
    return *this + (-dateSpan);
}

COleDateTimeSpan COleDateTime::operator-(const COleDateTime& date) const noexcept
{
    COleDateTimeSpan result;
    if (m_status == null || date.m_status == null) {
        result.SetStatus(COleDateTimeSpan::null);
    } else if (m_status == invalid || date.m_status == invalid) {
        result.SetStatus(COleDateTimeSpan::invalid);
    } else {
        result = ToLinear(m_dt) - ToLinear(date.m_dt);
    }
    return result;
}

bool COleDateTime::operator==(const COleDateTime& date) const noexcept
{
    if (m_status != date.m_status)
        return false;
    return m_status == valid ? ToLinear(m_dt) == ToLinear(date.m_dt) : m_dt == date.m_dt;
}

bool COleDateTime::operator<(const COleDateTime& date) const noexcept
{
    return ToLinear(m_dt) < ToLinear(date.m_dt);
}
