// The English (United States) locale table and the formatting that reads it. Only one table
// exists because the program's texts are English; every locale id answers from it, so callers
// that pass a specific id still get usable separators and names.
#include "platform/core/Locale.h"

#include "platform/core/Calendar.h"
#include "platform/core/WinError.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace {

constexpr LCID kEnglishUs = 0x0409;
constexpr DWORD kItemFlags = LOCALE_NOUSEROVERRIDE | LOCALE_USE_CP_ACP | LOCALE_RETURN_NUMBER;

const char* const kShortDate = "M/d/yyyy";
const char* const kLongDate = "dddd, MMMM d, yyyy";
const char* const kYearMonth = "MMMM yyyy";
const char* const kTimeFormat = "h:mm:ss tt";

struct LocaleItem {
    LCTYPE type;
    const char* text;
};

const LocaleItem kItems[] = {
    {LOCALE_ILANGUAGE, "0409"},
    {LOCALE_SLANGUAGE, "English (United States)"},
    {LOCALE_SENGLANGUAGE, "English"},
    {LOCALE_SABBREVLANGNAME, "ENU"},
    {LOCALE_SNATIVELANGNAME, "English"},
    {LOCALE_ICOUNTRY, "1"},
    {LOCALE_SCOUNTRY, "United States"},
    {LOCALE_SENGCOUNTRY, "United States"},
    {LOCALE_SABBREVCTRYNAME, "USA"},
    {LOCALE_SNATIVECTRYNAME, "United States"},
    {LOCALE_IDEFAULTLANGUAGE, "0409"},
    {LOCALE_IDEFAULTCOUNTRY, "1"},
    {LOCALE_IDEFAULTCODEPAGE, "437"},
    // The process code page is UTF-8.
    {LOCALE_IDEFAULTANSICODEPAGE, "65001"},
    {LOCALE_SLIST, ","},
    {LOCALE_IMEASURE, "1"},
    {LOCALE_SDECIMAL, "."},
    {LOCALE_STHOUSAND, ","},
    {LOCALE_SGROUPING, "3;0"},
    {LOCALE_IDIGITS, "2"},
    {LOCALE_ILZERO, "1"},
    {LOCALE_INEGNUMBER, "1"},
    {LOCALE_SNATIVEDIGITS, "0123456789"},
    {LOCALE_SCURRENCY, "$"},
    {LOCALE_SINTLSYMBOL, "USD"},
    {LOCALE_SMONDECIMALSEP, "."},
    {LOCALE_SMONTHOUSANDSEP, ","},
    {LOCALE_SMONGROUPING, "3;0"},
    {LOCALE_ICURRDIGITS, "2"},
    {LOCALE_IINTLCURRDIGITS, "2"},
    {LOCALE_ICURRENCY, "0"},
    {LOCALE_INEGCURR, "0"},
    {LOCALE_SDATE, "/"},
    {LOCALE_STIME, ":"},
    {LOCALE_SSHORTDATE, kShortDate},
    {LOCALE_SLONGDATE, kLongDate},
    {LOCALE_STIMEFORMAT, kTimeFormat},
    {LOCALE_SYEARMONTH, kYearMonth},
    {LOCALE_IDATE, "0"},
    {LOCALE_ILDATE, "0"},
    {LOCALE_ITIME, "0"},
    {LOCALE_ITIMEMARKPOSN, "0"},
    {LOCALE_ICENTURY, "1"},
    {LOCALE_ITLZERO, "0"},
    {LOCALE_IDAYLZERO, "0"},
    {LOCALE_IMONLZERO, "0"},
    {LOCALE_S1159, "AM"},
    {LOCALE_S2359, "PM"},
    {LOCALE_ICALENDARTYPE, "1"},
    {LOCALE_IFIRSTDAYOFWEEK, "6"},
    {LOCALE_IFIRSTWEEKOFYEAR, "0"},
    {LOCALE_SMONTHNAME13, ""},
    {LOCALE_SABBREVMONTHNAME13, ""},
    {LOCALE_SPOSITIVESIGN, ""},
    {LOCALE_SNEGATIVESIGN, "-"},
    {LOCALE_IPOSSIGNPOSN, "3"},
    {LOCALE_INEGSIGNPOSN, "0"},
    {LOCALE_IPOSSYMPRECEDES, "1"},
    {LOCALE_IPOSSEPBYSPACE, "0"},
    {LOCALE_INEGSYMPRECEDES, "1"},
    {LOCALE_INEGSEPBYSPACE, "0"},
};

const char* LookUp(LCTYPE type)
{
    using namespace vostrel::cal;
    // Day names run Monday (1) to Sunday (7).
    if (type >= LOCALE_SDAYNAME1 && type <= LOCALE_SDAYNAME7)
        return kDayNames[(type - LOCALE_SDAYNAME1 + 1) % 7];
    if (type >= LOCALE_SABBREVDAYNAME1 && type <= LOCALE_SABBREVDAYNAME7)
        return kDayAbbrevs[(type - LOCALE_SABBREVDAYNAME1 + 1) % 7];
    if (type >= LOCALE_SMONTHNAME1 && type <= LOCALE_SMONTHNAME12)
        return kMonthNames[type - LOCALE_SMONTHNAME1];
    if (type >= LOCALE_SABBREVMONTHNAME1 && type <= LOCALE_SABBREVMONTHNAME12)
        return kMonthAbbrevs[type - LOCALE_SABBREVMONTHNAME1];
    for (const LocaleItem& item : kItems)
        if (item.type == type)
            return item.text;
    return nullptr;
}

// The output convention shared by every function here.
int CopyLocaleOut(std::string_view text, LPSTR buffer, int cch)
{
    if (cch < 0 || (cch > 0 && !buffer)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const int needed = static_cast<int>(text.size()) + 1;
    if (cch == 0)
        return needed;
    if (cch < needed) {
        buffer[0] = '\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::memcpy(buffer, text.data(), text.size());
    buffer[text.size()] = '\0';
    return needed;
}

void AppendLocaleNumber(std::string& out, int value, int width)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*d", width, value);
    out += buf;
}

bool IsDateLetter(char c) { return c == 'd' || c == 'M' || c == 'y' || c == 'g'; }
bool IsTimeLetter(char c) { return c == 'h' || c == 'H' || c == 'm' || c == 's' || c == 't'; }

} // namespace

namespace vostrel {

std::string FormatDateTimePicture(const SYSTEMTIME& st, const char* picture, PictureTokens tokens,
                                  DWORD timeFlags)
{
    using namespace vostrel::cal;
    std::string out;
    if (!picture)
        return out;
    const int dow = DayOfWeek(DaysFromCivil(st.wYear, st.wMonth, st.wDay));
    const bool force24 = (timeFlags & TIME_FORCE24HOURFORMAT) != 0;
    // Where the output stood after the last picture: a suppressed picture also drops the
    // separator written since, so that "h:mm:ss tt" without seconds reads "h:mm tt".
    size_t lastPictureEnd = 0;
    const size_t n = std::strlen(picture);
    size_t i = 0;
    while (i < n) {
        const char c = picture[i];
        if (c == '\'') {
            ++i;
            while (i < n) {
                if (picture[i] == '\'') {
                    if (i + 1 < n && picture[i + 1] == '\'') {
                        out += '\'';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                out += picture[i++];
            }
            continue;
        }
        const bool date = IsDateLetter(c) && tokens != PictureTokens::Time;
        const bool time = IsTimeLetter(c) && tokens != PictureTokens::Date;
        if (!date && !time) {
            out += c;
            ++i;
            continue;
        }
        size_t count = 1;
        while (i + count < n && picture[i + count] == c)
            ++count;
        i += count;
        const bool suppressed =
            (c == 'm' && (timeFlags & TIME_NOMINUTESORSECONDS)) ||
            (c == 's' && (timeFlags & (TIME_NOMINUTESORSECONDS | TIME_NOSECONDS))) ||
            (c == 't' && (timeFlags & TIME_NOTIMEMARKER || force24));
        if (suppressed) {
            out.resize(lastPictureEnd);
            continue;
        }
        const int width = count >= 2 ? 2 : 1;
        switch (c) {
        case 'd':
            if (count >= 4)
                out += kDayNames[dow];
            else if (count == 3)
                out += kDayAbbrevs[dow];
            else
                AppendLocaleNumber(out, st.wDay, width);
            break;
        case 'M':
            if (count >= 4)
                out += kMonthNames[st.wMonth - 1];
            else if (count == 3)
                out += kMonthAbbrevs[st.wMonth - 1];
            else
                AppendLocaleNumber(out, st.wMonth, width);
            break;
        case 'y':
            if (count >= 3)
                AppendLocaleNumber(out, st.wYear, 4);
            else
                AppendLocaleNumber(out, st.wYear % 100, width);
            break;
        case 'g':
            out += "A.D.";
            break;
        case 'h':
            if (force24)
                AppendLocaleNumber(out, st.wHour, width);
            else
                AppendLocaleNumber(out, st.wHour % 12 == 0 ? 12 : st.wHour % 12, width);
            break;
        case 'H': AppendLocaleNumber(out, st.wHour, width); break;
        case 'm': AppendLocaleNumber(out, st.wMinute, width); break;
        case 's': AppendLocaleNumber(out, st.wSecond, width); break;
        case 't': {
            const char* marker = st.wHour < 12 ? kAm : kPm;
            out.append(marker, count >= 2 ? std::strlen(marker) : 1);
            break;
        }
        }
        lastPictureEnd = out.size();
    }
    return out;
}

} // namespace vostrel

LCID GetUserDefaultLCID() { return kEnglishUs; }
LCID GetSystemDefaultLCID() { return kEnglishUs; }
LCID GetThreadLocale() { return kEnglishUs; }
LANGID GetUserDefaultLangID() { return static_cast<LANGID>(kEnglishUs); }
LANGID GetSystemDefaultLangID() { return static_cast<LANGID>(kEnglishUs); }

int GetLocaleInfoA(LCID /*Locale*/, LCTYPE LCType, LPSTR lpLCData, int cchData)
{
    const char* text = LookUp(LCType & ~kItemFlags);
    if (!text) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    if (LCType & LOCALE_RETURN_NUMBER) {
        const LCTYPE base = LCType & ~kItemFlags;
        // Only numeric items have a number form; their texts are plain decimal digits.
        const bool numeric = *text && std::strspn(text, "0123456789") == std::strlen(text) &&
                             base != LOCALE_SNATIVEDIGITS;
        if (!numeric) {
            SetLastError(ERROR_INVALID_FLAGS);
            return 0;
        }
        constexpr int kSize = static_cast<int>(sizeof(DWORD));
        if (cchData < 0 || (cchData > 0 && !lpLCData)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
        if (cchData == 0)
            return kSize;
        if (cchData < kSize) {
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return 0;
        }
        // ILANGUAGE and IDEFAULTLANGUAGE are hexadecimal, the others decimal.
        const bool hex = base == LOCALE_ILANGUAGE || base == LOCALE_IDEFAULTLANGUAGE;
        const DWORD value = static_cast<DWORD>(std::strtoul(text, nullptr, hex ? 16 : 10));
        std::memcpy(lpLCData, &value, sizeof value);
        return kSize;
    }
    return CopyLocaleOut(text, lpLCData, cchData);
}

int GetDateFormatA(LCID /*Locale*/, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat,
                   LPSTR lpDateStr, int cchDate)
{
    const DWORD choosers = dwFlags & (DATE_SHORTDATE | DATE_LONGDATE | DATE_YEARMONTH);
    if ((lpFormat && choosers) || (choosers & (choosers - 1))) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    SYSTEMTIME st{};
    if (lpDate) {
        st = *lpDate;
        if (st.wYear < 1 || st.wYear > 30827 || !vostrel::cal::IsValidDate(st.wYear, st.wMonth, st.wDay)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    } else {
        GetLocalTime(&st);
    }
    const char* picture = lpFormat ? lpFormat
                          : (dwFlags & DATE_LONGDATE) ? kLongDate
                          : (dwFlags & DATE_YEARMONTH) ? kYearMonth
                                                       : kShortDate;
    return CopyLocaleOut(vostrel::FormatDateTimePicture(st, picture, vostrel::PictureTokens::Date),
                   lpDateStr, cchDate);
}

int GetTimeFormatA(LCID /*Locale*/, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat,
                   LPSTR lpTimeStr, int cchTime)
{
    SYSTEMTIME st{};
    if (lpTime) {
        st = *lpTime;
        if (st.wHour > 23 || st.wMinute > 59 || st.wSecond > 59 || st.wMilliseconds > 999) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return 0;
        }
    } else {
        GetLocalTime(&st);
    }
    // The date is not used, but day-of-week arithmetic wants a real one.
    st.wYear = 1899, st.wMonth = 12, st.wDay = 30;
    return CopyLocaleOut(vostrel::FormatDateTimePicture(st, lpFormat ? lpFormat : kTimeFormat,
                                                  vostrel::PictureTokens::Time, dwFlags),
                   lpTimeStr, cchTime);
}

namespace {

struct Decimal {
    bool negative = false;
    std::string whole;
    std::string fraction;
};

bool ParseDecimal(LPCSTR text, Decimal& value)
{
    if (!text)
        return false;
    const char* p = text;
    if (*p == '-') {
        value.negative = true;
        ++p;
    }
    while (*p >= '0' && *p <= '9')
        value.whole += *p++;
    if (*p == '.') {
        ++p;
        while (*p >= '0' && *p <= '9')
            value.fraction += *p++;
    }
    return *p == '\0' && (!value.whole.empty() || !value.fraction.empty());
}

// The magnitude as text, rounded and grouped; isZero tells whether it rounded to zero.
std::string FormatMagnitude(Decimal value, UINT digits, UINT leadingZero, UINT grouping,
                            const char* decimalSep, const char* thousandSep, bool& isZero)
{
    std::string all = value.whole + value.fraction;
    size_t wholeLength = value.whole.size();
    if (value.fraction.size() > digits) {
        const bool roundUp = value.fraction[digits] >= '5';
        all.resize(wholeLength + digits);
        if (roundUp) {
            size_t i = all.size();
            while (i > 0 && all[i - 1] == '9')
                all[--i] = '0';
            if (i == 0) {
                all = "1" + all;
                ++wholeLength;
            } else {
                ++all[i - 1];
            }
        }
    } else {
        all.append(digits - value.fraction.size(), '0');
    }
    std::string whole = all.substr(0, wholeLength);
    const std::string fraction = all.substr(wholeLength);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    isZero = whole.empty() && fraction.find_first_not_of('0') == std::string::npos;
    if (whole.empty() && (leadingZero || digits == 0))
        whole.assign(1, '0');

    // Group sizes from the decimal point outwards.
    std::string sizes = std::to_string(grouping);
    bool repeat = true;
    if (sizes.size() > 1 && sizes.back() == '0') {
        sizes.pop_back();
        repeat = false;
    }
    std::string grouped;
    if (grouping == 0 || !*thousandSep) {
        grouped = whole;
    } else {
        size_t end = whole.size();
        size_t sizeIndex = 0;
        std::string parts;
        while (end > 0) {
            const size_t size = sizeIndex < sizes.size() ? size_t(sizes[sizeIndex] - '0')
                                : repeat                ? size_t(sizes.back() - '0')
                                                        : end;
            ++sizeIndex;
            const size_t take = size == 0 || size > end ? end : size;
            std::string part = whole.substr(end - take, take);
            parts = end == whole.size() ? part : part + thousandSep + parts;
            end -= take;
        }
        grouped = parts;
    }
    if (digits > 0)
        grouped += std::string(decimalSep) + fraction;
    return grouped;
}

std::string ApplyPattern(std::string_view pattern, const std::string& number, const char* symbol)
{
    std::string out;
    for (char c : pattern) {
        if (c == 'n')
            out += number;
        else if (c == '$')
            out += symbol;
        else
            out += c;
    }
    return out;
}

} // namespace

int GetNumberFormatA(LCID /*Locale*/, DWORD /*dwFlags*/, LPCSTR lpValue, const NUMBERFMTA* lpFormat,
                     LPSTR lpNumberStr, int cchNumber)
{
    static const char* const kNegative[] = {"(n)", "-n", "- n", "n-", "n -"};
    NUMBERFMTA fmt{2, 1, 3, const_cast<LPSTR>("."), const_cast<LPSTR>(","), 1};
    if (lpFormat)
        fmt = *lpFormat;
    Decimal value;
    if (!ParseDecimal(lpValue, value) || fmt.NumDigits > 9 || fmt.NegativeOrder > 4 ||
        !fmt.lpDecimalSep || !fmt.lpThousandSep) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool isZero = false;
    const std::string number = FormatMagnitude(value, fmt.NumDigits, fmt.LeadingZero, fmt.Grouping,
                                               fmt.lpDecimalSep, fmt.lpThousandSep, isZero);
    const bool negative = value.negative && !isZero;
    return CopyLocaleOut(negative ? ApplyPattern(kNegative[fmt.NegativeOrder], number, "") : number,
                   lpNumberStr, cchNumber);
}

int GetCurrencyFormatA(LCID /*Locale*/, DWORD /*dwFlags*/, LPCSTR lpValue,
                       const CURRENCYFMTA* lpFormat, LPSTR lpCurrencyStr, int cchCurrency)
{
    static const char* const kPositive[] = {"$n", "n$", "$ n", "n $"};
    static const char* const kNegative[] = {"($n)", "-$n",  "$-n",  "$n-",  "(n$)",   "-n$",
                                            "n-$",  "n$-",  "-n $", "-$ n", "n $-",   "$ n-",
                                            "$ -n", "n- $", "($ n)", "(n $)"};
    CURRENCYFMTA fmt{2, 1, 3, const_cast<LPSTR>("."), const_cast<LPSTR>(","), 0, 0,
                     const_cast<LPSTR>("$")};
    if (lpFormat)
        fmt = *lpFormat;
    Decimal value;
    if (!ParseDecimal(lpValue, value) || fmt.NumDigits > 9 || fmt.NegativeOrder > 15 ||
        fmt.PositiveOrder > 3 || !fmt.lpDecimalSep || !fmt.lpThousandSep || !fmt.lpCurrencySymbol) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    bool isZero = false;
    const std::string number = FormatMagnitude(value, fmt.NumDigits, fmt.LeadingZero, fmt.Grouping,
                                               fmt.lpDecimalSep, fmt.lpThousandSep, isZero);
    const bool negative = value.negative && !isZero;
    const char* pattern = negative ? kNegative[fmt.NegativeOrder] : kPositive[fmt.PositiveOrder];
    return CopyLocaleOut(ApplyPattern(pattern, number, fmt.lpCurrencySymbol), lpCurrencyStr, cchCurrency);
}
