// Calendar arithmetic after the days-from-civil method: eras of 400 years make every step exact
// for negative years too, so no table or loop over years is needed.
#include "platform/core/Calendar.h"

#include <cstdio>

namespace vostrel::cal {

const char* const kDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char* const kDayAbbrevs[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const kMonthNames[12] = {"January", "February", "March", "April", "May", "June",
                                     "July", "August", "September", "October", "November",
                                     "December"};
const char* const kMonthAbbrevs[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                       "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const kAm = "AM";
const char* const kPm = "PM";

bool IsLeapYear(int64_t year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int64_t year, int month)
{
    static const int kLengths[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    if (month == 2 && IsLeapYear(year))
        return 29;
    return kLengths[month - 1];
}

bool IsValidDate(int64_t year, int month, int day)
{
    return day >= 1 && day <= DaysInMonth(year, month);
}

int64_t DaysFromCivil(int64_t year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int64_t era = (year >= 0 ? year : year - 399) / 400;
    const int64_t yoe = year - era * 400;
    const int64_t mp = (month + 9) % 12; // March = 0
    const int64_t doy = (153 * mp + 2) / 5 + day - 1;
    const int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

void CivilFromDays(int64_t days, int64_t& year, int& month, int& day)
{
    days += 719468;
    const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const int64_t doe = days - era * 146097;
    const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const int64_t mp = (5 * doy + 2) / 153;
    day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    year = yoe + era * 400 + (month <= 2 ? 1 : 0);
}

int DayOfWeek(int64_t daysSince1970)
{
    // 1970-01-01 was a Thursday.
    int64_t w = (daysSince1970 + 4) % 7;
    return static_cast<int>(w < 0 ? w + 7 : w);
}

int DayOfYear(int64_t year, int month, int day)
{
    return static_cast<int>(DaysFromCivil(year, month, day) - DaysFromCivil(year, 1, 1) + 1);
}

namespace {

void AppendNumber(std::string& out, long long value, int width, bool noPad)
{
    char buf[32];
    if (noPad)
        std::snprintf(buf, sizeof buf, "%lld", value);
    else
        std::snprintf(buf, sizeof buf, "%0*lld", width, value);
    out += buf;
}

// Week of the year with weeks starting on firstDay (0 = Sunday); days before the first such
// day fall in week 0.
int WeekOfYear(const std::tm& tm, int firstDay)
{
    const int wday = ((tm.tm_wday - firstDay) % 7 + 7) % 7;
    return (tm.tm_yday + 7 - wday) / 7;
}

void AppendCode(std::string& out, const std::tm& tm, char code, bool alt, const ZoneInfo& zone)
{
    const int wday = tm.tm_wday >= 0 && tm.tm_wday < 7 ? tm.tm_wday : 0;
    const int mon = tm.tm_mon >= 0 && tm.tm_mon < 12 ? tm.tm_mon : 0;
    const long long year = static_cast<long long>(tm.tm_year) + 1900;
    const int hour12 = tm.tm_hour % 12 == 0 ? 12 : tm.tm_hour % 12;
    switch (code) {
    case 'a': out += kDayAbbrevs[wday]; break;
    case 'A': out += kDayNames[wday]; break;
    case 'b': out += kMonthAbbrevs[mon]; break;
    case 'B': out += kMonthNames[mon]; break;
    case 'c':
        if (alt) {
            out += FormatTime(tm, "%A, %B %#d, %Y %H:%M:%S", zone);
        } else {
            out += FormatTime(tm, "%m/%d/%y %H:%M:%S", zone);
        }
        break;
    case 'd': AppendNumber(out, tm.tm_mday, 2, alt); break;
    case 'H': AppendNumber(out, tm.tm_hour, 2, alt); break;
    case 'I': AppendNumber(out, hour12, 2, alt); break;
    case 'j': AppendNumber(out, tm.tm_yday + 1, 3, alt); break;
    case 'm': AppendNumber(out, tm.tm_mon + 1, 2, alt); break;
    case 'M': AppendNumber(out, tm.tm_min, 2, alt); break;
    case 'p': out += tm.tm_hour < 12 ? kAm : kPm; break;
    case 'S': AppendNumber(out, tm.tm_sec, 2, alt); break;
    case 'U': AppendNumber(out, WeekOfYear(tm, 0), 2, alt); break;
    case 'w': AppendNumber(out, wday, 1, alt); break;
    case 'W': AppendNumber(out, WeekOfYear(tm, 1), 2, alt); break;
    case 'x':
        out += FormatTime(tm, alt ? "%A, %B %#d, %Y" : "%m/%d/%y", zone);
        break;
    case 'X': out += FormatTime(tm, "%H:%M:%S", zone); break;
    case 'y': AppendNumber(out, ((year % 100) + 100) % 100, 2, alt); break;
    case 'Y': AppendNumber(out, year, 1, true); break;
    case 'z':
        if (zone.known) {
            const long minutes = (zone.gmtoffSeconds < 0 ? -zone.gmtoffSeconds : zone.gmtoffSeconds) / 60;
            out += zone.gmtoffSeconds < 0 ? '-' : '+';
            AppendNumber(out, minutes / 60 * 100 + minutes % 60, 4, false);
        }
        break;
    case 'Z':
        if (zone.known)
            out += zone.name;
        break;
    case '%': out += '%'; break;
    default:
        // Unknown codes stay visible so that a mistyped format is noticed, not silently eaten.
        out += '%';
        if (alt)
            out += '#';
        out += code;
        break;
    }
}

} // namespace

std::string FormatTime(const std::tm& tm, std::string_view format, const ZoneInfo& zone)
{
    std::string out;
    out.reserve(format.size() + 16);
    for (size_t i = 0; i < format.size(); ++i) {
        const char ch = format[i];
        if (ch != '%' || i + 1 >= format.size()) {
            out += ch;
            continue;
        }
        bool alt = false;
        char code = format[++i];
        if (code == '#' && i + 1 < format.size()) {
            alt = true;
            code = format[++i];
        }
        AppendCode(out, tm, code, alt, zone);
    }
    return out;
}

} // namespace vostrel::cal
