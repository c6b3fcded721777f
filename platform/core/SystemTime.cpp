// Time conversions over the C library's clock and zone rules. File times are handled as
// 64-bit tick counts; calendar fields go through the civil-day arithmetic of Calendar.h so
// that years before 1970 and after 2038 need no special case.
#include "platform/core/SystemTime.h"

#include "platform/core/Calendar.h"
#include "platform/core/WinError.h"

#include <ctime>

namespace {

using vostrel::cal::CivilFromDays;
using vostrel::cal::DayOfWeek;
using vostrel::cal::DaysFromCivil;
using vostrel::cal::DaysInMonth;

constexpr int64_t kSecondsPerDay = 86400;
// Seconds from 1601-01-01 to 1970-01-01.
constexpr int64_t kEpochDeltaSeconds = 11644473600;
// The largest file time the conversions accept: the sign bit must stay clear.
constexpr ULONGLONG kMaxFileTime = 0x7FFFFFFFFFFFFFFFull;

int64_t FloorDiv(int64_t a, int64_t b)
{
    int64_t q = a / b;
    if ((a % b != 0) && ((a < 0) != (b < 0)))
        --q;
    return q;
}

void SecondsToSystemTime(int64_t unixSeconds, WORD milliseconds, SYSTEMTIME& st)
{
    const int64_t days = FloorDiv(unixSeconds, kSecondsPerDay);
    const int64_t secs = unixSeconds - days * kSecondsPerDay;
    int64_t year = 0;
    int month = 0, day = 0;
    CivilFromDays(days, year, month, day);
    st.wYear = static_cast<WORD>(year);
    st.wMonth = static_cast<WORD>(month);
    st.wDay = static_cast<WORD>(day);
    st.wDayOfWeek = static_cast<WORD>(DayOfWeek(days));
    st.wHour = static_cast<WORD>(secs / 3600);
    st.wMinute = static_cast<WORD>(secs / 60 % 60);
    st.wSecond = static_cast<WORD>(secs % 60);
    st.wMilliseconds = milliseconds;
}

bool IsValidSystemTime(const SYSTEMTIME& st)
{
    return st.wYear >= 1601 && st.wYear <= 30827 && st.wMonth >= 1 && st.wMonth <= 12 &&
           st.wDay >= 1 && st.wDay <= DaysInMonth(st.wYear, st.wMonth) && st.wHour < 24 &&
           st.wMinute < 60 && st.wSecond < 60 && st.wMilliseconds < 1000;
}

int64_t SystemTimeToSeconds(const SYSTEMTIME& st)
{
    return DaysFromCivil(st.wYear, st.wMonth, st.wDay) * kSecondsPerDay + st.wHour * 3600 +
           st.wMinute * 60 + st.wSecond;
}

// The C library's offset from UTC, in seconds, at a moment given in UTC seconds.
long LocalOffsetAt(int64_t unixSeconds, bool* isDst = nullptr, const char** zoneName = nullptr)
{
    const time_t t = static_cast<time_t>(unixSeconds);
    std::tm tm{};
    if (!localtime_r(&t, &tm))
        return 0;
    if (isDst)
        *isDst = tm.tm_isdst > 0;
    if (zoneName)
        *zoneName = tm.tm_zone;
    return tm.tm_gmtoff;
}

void SplitTicks(ULONGLONG ticks, int64_t& unixSeconds, ULONGLONG& subTicks)
{
    unixSeconds = static_cast<int64_t>(ticks / vostrel::kFileTimeTicksPerSecond) - kEpochDeltaSeconds;
    subTicks = ticks % vostrel::kFileTimeTicksPerSecond;
}

bool JoinTicks(int64_t unixSeconds, ULONGLONG subTicks, FILETIME& ft)
{
    const int64_t since1601 = unixSeconds + kEpochDeltaSeconds;
    if (since1601 < 0 ||
        static_cast<ULONGLONG>(since1601) > kMaxFileTime / vostrel::kFileTimeTicksPerSecond)
        return false;
    const ULONGLONG ticks =
        static_cast<ULONGLONG>(since1601) * vostrel::kFileTimeTicksPerSecond + subTicks;
    if (ticks > kMaxFileTime)
        return false;
    ft = vostrel::TicksToFileTime(ticks);
    return true;
}

void CopyZoneName(WCHAR (&dst)[32], const char* src)
{
    size_t i = 0;
    for (; src && src[i] && i < 31; ++i)
        dst[i] = static_cast<WCHAR>(static_cast<unsigned char>(src[i]));
    dst[i] = 0;
}

// The wall-clock time just before a transition, in the "day in month" form.
SYSTEMTIME TransitionRule(int64_t localSeconds)
{
    SYSTEMTIME st{};
    SecondsToSystemTime(localSeconds, 0, st);
    const int dim = DaysInMonth(st.wYear, st.wMonth);
    st.wDay = static_cast<WORD>(st.wDay + 7 > dim ? 5 : (st.wDay - 1) / 7 + 1);
    st.wYear = 0;
    return st;
}

// The local seconds at which a "day in month" rule fires in the given year.
int64_t RuleToLocalSeconds(const SYSTEMTIME& rule, int64_t year)
{
    int day = rule.wDay;
    if (rule.wYear == 0) {
        const int firstDow = DayOfWeek(DaysFromCivil(year, rule.wMonth, 1));
        const int dim = DaysInMonth(year, rule.wMonth);
        const int week = rule.wDay < 1 ? 1 : (rule.wDay > 5 ? 5 : rule.wDay);
        day = 1 + (rule.wDayOfWeek - firstDow + 7) % 7 + (week - 1) * 7;
        while (day > dim)
            day -= 7;
    } else {
        year = rule.wYear;
    }
    return DaysFromCivil(year, rule.wMonth, day) * kSecondsPerDay + rule.wHour * 3600 +
           rule.wMinute * 60 + rule.wSecond;
}

} // namespace

void GetSystemTime(LPSYSTEMTIME lpSystemTime)
{
    if (!lpSystemTime)
        return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    SecondsToSystemTime(ts.tv_sec, static_cast<WORD>(ts.tv_nsec / 1000000), *lpSystemTime);
}

void GetLocalTime(LPSYSTEMTIME lpSystemTime)
{
    if (!lpSystemTime)
        return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    SecondsToSystemTime(ts.tv_sec + LocalOffsetAt(ts.tv_sec), static_cast<WORD>(ts.tv_nsec / 1000000),
                        *lpSystemTime);
}

void GetSystemTimeAsFileTime(LPFILETIME lpFileTime)
{
    if (!lpFileTime)
        return;
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    JoinTicks(ts.tv_sec, static_cast<ULONGLONG>(ts.tv_nsec / 100), *lpFileTime);
}

BOOL SystemTimeToFileTime(const SYSTEMTIME* lpSystemTime, LPFILETIME lpFileTime)
{
    if (!lpSystemTime || !lpFileTime || !IsValidSystemTime(*lpSystemTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const ULONGLONG subTicks = static_cast<ULONGLONG>(lpSystemTime->wMilliseconds) * 10000;
    if (!JoinTicks(SystemTimeToSeconds(*lpSystemTime), subTicks, *lpFileTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return TRUE;
}

BOOL FileTimeToSystemTime(const FILETIME* lpFileTime, LPSYSTEMTIME lpSystemTime)
{
    if (!lpFileTime || !lpSystemTime || vostrel::FileTimeToTicks(*lpFileTime) > kMaxFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t seconds = 0;
    ULONGLONG subTicks = 0;
    SplitTicks(vostrel::FileTimeToTicks(*lpFileTime), seconds, subTicks);
    SecondsToSystemTime(seconds, static_cast<WORD>(subTicks / 10000), *lpSystemTime);
    return TRUE;
}

BOOL FileTimeToLocalFileTime(const FILETIME* lpFileTime, LPFILETIME lpLocalFileTime)
{
    if (!lpFileTime || !lpLocalFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t seconds = 0;
    ULONGLONG subTicks = 0;
    SplitTicks(vostrel::FileTimeToTicks(*lpFileTime), seconds, subTicks);
    FILETIME result{};
    if (!JoinTicks(seconds + LocalOffsetAt(seconds), subTicks, result)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpLocalFileTime = result;
    return TRUE;
}

BOOL LocalFileTimeToFileTime(const FILETIME* lpLocalFileTime, LPFILETIME lpFileTime)
{
    if (!lpLocalFileTime || !lpFileTime) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    int64_t local = 0;
    ULONGLONG subTicks = 0;
    SplitTicks(vostrel::FileTimeToTicks(*lpLocalFileTime), local, subTicks);
    // The offset depends on the answer; two refinements settle it, also next to a transition.
    int64_t utc = local - LocalOffsetAt(local);
    utc = local - LocalOffsetAt(utc);
    FILETIME result{};
    if (!JoinTicks(utc, subTicks, result)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpFileTime = result;
    return TRUE;
}

LONG CompareFileTime(const FILETIME* lpFileTime1, const FILETIME* lpFileTime2)
{
    const ULONGLONG a = vostrel::FileTimeToTicks(*lpFileTime1);
    const ULONGLONG b = vostrel::FileTimeToTicks(*lpFileTime2);
    return a < b ? -1 : (a > b ? 1 : 0);
}

DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION lpTimeZoneInformation)
{
    if (!lpTimeZoneInformation) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return TIME_ZONE_ID_INVALID;
    }
    tzset();
    TIME_ZONE_INFORMATION tzi{};
    const int64_t now = static_cast<int64_t>(time(nullptr));
    bool nowDst = false;
    const char* nowName = nullptr;
    const long nowOffset = LocalOffsetAt(now, &nowDst, &nowName);

    // Walk this year a day at a time; each change of the daylight flag is narrowed down to
    // the second at which it happens.
    int64_t year = 0;
    int month = 0, day = 0;
    CivilFromDays(FloorDiv(now + nowOffset, kSecondsPerDay), year, month, day);
    const int64_t begin = DaysFromCivil(year, 1, 1) * kSecondsPerDay - kSecondsPerDay;
    const int64_t end = DaysFromCivil(year + 1, 1, 1) * kSecondsPerDay + kSecondsPerDay;
    long stdOffset = nowOffset, dstOffset = nowOffset;
    const char* stdName = nowDst ? nullptr : nowName;
    const char* dstName = nowDst ? nowName : nullptr;
    bool haveStd = !nowDst, haveDst = nowDst;
    int64_t toDst = -1, toStd = -1;
    bool prevDst = false;
    LocalOffsetAt(begin, &prevDst);
    for (int64_t t = begin; t < end; t += kSecondsPerDay) {
        bool nextDst = false;
        const char* name = nullptr;
        const long offset = LocalOffsetAt(t + kSecondsPerDay, &nextDst, &name);
        if (nextDst) {
            dstOffset = offset, dstName = name, haveDst = true;
        } else {
            stdOffset = offset, stdName = name, haveStd = true;
        }
        if (nextDst != prevDst) {
            int64_t lo = t, hi = t + kSecondsPerDay; // flag differs between lo and hi
            while (hi - lo > 1) {
                const int64_t mid = lo + (hi - lo) / 2;
                bool midDst = false;
                LocalOffsetAt(mid, &midDst);
                (midDst == prevDst ? lo : hi) = mid;
            }
            (nextDst ? toDst : toStd) = hi;
        }
        prevDst = nextDst;
    }
    if (!haveStd)
        stdOffset = nowOffset;
    tzi.Bias = static_cast<LONG>(-stdOffset / 60);
    tzi.StandardBias = 0;
    CopyZoneName(tzi.StandardName, stdName ? stdName : tzname[0]);
    CopyZoneName(tzi.DaylightName, dstName ? dstName : tzname[1]);
    DWORD result = TIME_ZONE_ID_UNKNOWN;
    if (haveDst && haveStd && toDst >= 0 && toStd >= 0) {
        tzi.DaylightBias = static_cast<LONG>(-(dstOffset - stdOffset) / 60);
        tzi.DaylightDate = TransitionRule(toDst + stdOffset);
        tzi.StandardDate = TransitionRule(toStd + dstOffset);
        result = nowDst ? TIME_ZONE_ID_DAYLIGHT : TIME_ZONE_ID_STANDARD;
    }
    *lpTimeZoneInformation = tzi;
    return result;
}

BOOL SystemTimeToTzSpecificLocalTime(const TIME_ZONE_INFORMATION* lpTimeZone,
                                     const SYSTEMTIME* lpUniversalTime, LPSYSTEMTIME lpLocalTime)
{
    if (!lpUniversalTime || !lpLocalTime || !IsValidSystemTime(*lpUniversalTime)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    const int64_t utc = SystemTimeToSeconds(*lpUniversalTime);
    const WORD ms = lpUniversalTime->wMilliseconds;
    if (!lpTimeZone) {
        SecondsToSystemTime(utc + LocalOffsetAt(utc), ms, *lpLocalTime);
        return TRUE;
    }
    const TIME_ZONE_INFORMATION& tz = *lpTimeZone;
    LONG bias = tz.Bias + tz.StandardBias;
    if (tz.StandardDate.wMonth >= 1 && tz.StandardDate.wMonth <= 12 &&
        tz.DaylightDate.wMonth >= 1 && tz.DaylightDate.wMonth <= 12) {
        const int64_t year = lpUniversalTime->wYear;
        // The daylight rule is written in standard clock time and the standard rule in
        // daylight clock time.
        const int64_t dstStart =
            RuleToLocalSeconds(tz.DaylightDate, year) + int64_t{tz.Bias + tz.StandardBias} * 60;
        const int64_t stdStart =
            RuleToLocalSeconds(tz.StandardDate, year) + int64_t{tz.Bias + tz.DaylightBias} * 60;
        const bool dst = dstStart < stdStart ? (utc >= dstStart && utc < stdStart)
                                             : (utc >= dstStart || utc < stdStart);
        if (dst)
            bias = tz.Bias + tz.DaylightBias;
    }
    SecondsToSystemTime(utc - int64_t{bias} * 60, ms, *lpLocalTime);
    return TRUE;
}

BOOL DosDateTimeToFileTime(WORD wFatDate, WORD wFatTime, LPFILETIME lpFileTime)
{
    SYSTEMTIME st{};
    st.wYear = static_cast<WORD>(1980 + (wFatDate >> 9));
    st.wMonth = static_cast<WORD>((wFatDate >> 5) & 0x0F);
    st.wDay = static_cast<WORD>(wFatDate & 0x1F);
    st.wHour = static_cast<WORD>(wFatTime >> 11);
    st.wMinute = static_cast<WORD>((wFatTime >> 5) & 0x3F);
    st.wSecond = static_cast<WORD>((wFatTime & 0x1F) * 2);
    return SystemTimeToFileTime(&st, lpFileTime);
}

BOOL FileTimeToDosDateTime(const FILETIME* lpFileTime, LPWORD lpFatDate, LPWORD lpFatTime)
{
    SYSTEMTIME st{};
    if (!lpFatDate || !lpFatTime || !FileTimeToSystemTime(lpFileTime, &st) || st.wYear < 1980 ||
        st.wYear > 2107) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *lpFatDate = static_cast<WORD>(((st.wYear - 1980) << 9) | (st.wMonth << 5) | st.wDay);
    *lpFatTime = static_cast<WORD>((st.wHour << 11) | (st.wMinute << 5) | (st.wSecond / 2));
    return TRUE;
}
