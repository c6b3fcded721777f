// The locale tables: English (United States) answers for every locale the program asks about,
// with the platform's buffer conventions, and date, time, number and currency formatting.
#pragma once

#include "platform/core/SystemTime.h"
#include "platform/core/Types.h"

#include <string>

typedef WORD LANGID;

#define MAKELANGID(p, s) ((WORD)((((WORD)(s)) << 10) | (WORD)(p)))
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#define MAKELCID(lgid, srtid) ((DWORD)((((DWORD)((WORD)(srtid))) << 16) | ((DWORD)((WORD)(lgid)))))
#define LANGIDFROMLCID(lcid) ((WORD)(lcid))
#define LANG_NEUTRAL 0x00
#define LANG_ENGLISH 0x09
#define SUBLANG_NEUTRAL 0x00
#define SUBLANG_DEFAULT 0x01
#define SUBLANG_SYS_DEFAULT 0x02
#define SUBLANG_ENGLISH_US 0x01
#define SORT_DEFAULT 0x0

#define LANG_SYSTEM_DEFAULT 0x0800
#define LANG_USER_DEFAULT 0x0400
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_NEUTRAL 0x0000
#define LOCALE_INVARIANT 0x007F

// Flags that may accompany a locale item or a format request.
#define LOCALE_NOUSEROVERRIDE 0x80000000u
#define LOCALE_USE_CP_ACP 0x40000000u
#define LOCALE_RETURN_NUMBER 0x20000000u

#define LOCALE_ILANGUAGE 0x0001
#define LOCALE_SLANGUAGE 0x0002
#define LOCALE_SENGLANGUAGE 0x1001
#define LOCALE_SABBREVLANGNAME 0x0003
#define LOCALE_SNATIVELANGNAME 0x0004
#define LOCALE_ICOUNTRY 0x0005
#define LOCALE_SCOUNTRY 0x0006
#define LOCALE_SENGCOUNTRY 0x1002
#define LOCALE_SABBREVCTRYNAME 0x0007
#define LOCALE_SNATIVECTRYNAME 0x0008
#define LOCALE_IDEFAULTLANGUAGE 0x0009
#define LOCALE_IDEFAULTCOUNTRY 0x000A
#define LOCALE_IDEFAULTCODEPAGE 0x000B
#define LOCALE_IDEFAULTANSICODEPAGE 0x1004
#define LOCALE_SLIST 0x000C
#define LOCALE_IMEASURE 0x000D
#define LOCALE_SDECIMAL 0x000E
#define LOCALE_STHOUSAND 0x000F
#define LOCALE_SGROUPING 0x0010
#define LOCALE_IDIGITS 0x0011
#define LOCALE_ILZERO 0x0012
#define LOCALE_INEGNUMBER 0x1010
#define LOCALE_SNATIVEDIGITS 0x0013
#define LOCALE_SCURRENCY 0x0014
#define LOCALE_SINTLSYMBOL 0x0015
#define LOCALE_SMONDECIMALSEP 0x0016
#define LOCALE_SMONTHOUSANDSEP 0x0017
#define LOCALE_SMONGROUPING 0x0018
#define LOCALE_ICURRDIGITS 0x0019
#define LOCALE_IINTLCURRDIGITS 0x001A
#define LOCALE_ICURRENCY 0x001B
#define LOCALE_INEGCURR 0x001C
#define LOCALE_SDATE 0x001D
#define LOCALE_STIME 0x001E
#define LOCALE_SSHORTDATE 0x001F
#define LOCALE_SLONGDATE 0x0020
#define LOCALE_STIMEFORMAT 0x1003
#define LOCALE_SYEARMONTH 0x1006
#define LOCALE_IDATE 0x0021
#define LOCALE_ILDATE 0x0022
#define LOCALE_ITIME 0x0023
#define LOCALE_ITIMEMARKPOSN 0x1005
#define LOCALE_ICENTURY 0x0024
#define LOCALE_ITLZERO 0x0025
#define LOCALE_IDAYLZERO 0x0026
#define LOCALE_IMONLZERO 0x0027
#define LOCALE_S1159 0x0028
#define LOCALE_S2359 0x0029
#define LOCALE_ICALENDARTYPE 0x1009
#define LOCALE_IFIRSTDAYOFWEEK 0x100C
#define LOCALE_IFIRSTWEEKOFYEAR 0x100D
#define LOCALE_SDAYNAME1 0x002A
#define LOCALE_SDAYNAME2 0x002B
#define LOCALE_SDAYNAME3 0x002C
#define LOCALE_SDAYNAME4 0x002D
#define LOCALE_SDAYNAME5 0x002E
#define LOCALE_SDAYNAME6 0x002F
#define LOCALE_SDAYNAME7 0x0030
#define LOCALE_SABBREVDAYNAME1 0x0031
#define LOCALE_SABBREVDAYNAME2 0x0032
#define LOCALE_SABBREVDAYNAME3 0x0033
#define LOCALE_SABBREVDAYNAME4 0x0034
#define LOCALE_SABBREVDAYNAME5 0x0035
#define LOCALE_SABBREVDAYNAME6 0x0036
#define LOCALE_SABBREVDAYNAME7 0x0037
#define LOCALE_SMONTHNAME1 0x0038
#define LOCALE_SMONTHNAME2 0x0039
#define LOCALE_SMONTHNAME3 0x003A
#define LOCALE_SMONTHNAME4 0x003B
#define LOCALE_SMONTHNAME5 0x003C
#define LOCALE_SMONTHNAME6 0x003D
#define LOCALE_SMONTHNAME7 0x003E
#define LOCALE_SMONTHNAME8 0x003F
#define LOCALE_SMONTHNAME9 0x0040
#define LOCALE_SMONTHNAME10 0x0041
#define LOCALE_SMONTHNAME11 0x0042
#define LOCALE_SMONTHNAME12 0x0043
#define LOCALE_SMONTHNAME13 0x100E
#define LOCALE_SABBREVMONTHNAME1 0x0044
#define LOCALE_SABBREVMONTHNAME2 0x0045
#define LOCALE_SABBREVMONTHNAME3 0x0046
#define LOCALE_SABBREVMONTHNAME4 0x0047
#define LOCALE_SABBREVMONTHNAME5 0x0048
#define LOCALE_SABBREVMONTHNAME6 0x0049
#define LOCALE_SABBREVMONTHNAME7 0x004A
#define LOCALE_SABBREVMONTHNAME8 0x004B
#define LOCALE_SABBREVMONTHNAME9 0x004C
#define LOCALE_SABBREVMONTHNAME10 0x004D
#define LOCALE_SABBREVMONTHNAME11 0x004E
#define LOCALE_SABBREVMONTHNAME12 0x004F
#define LOCALE_SABBREVMONTHNAME13 0x100F
#define LOCALE_SPOSITIVESIGN 0x0050
#define LOCALE_SNEGATIVESIGN 0x0051
#define LOCALE_IPOSSIGNPOSN 0x0052
#define LOCALE_INEGSIGNPOSN 0x0053
#define LOCALE_IPOSSYMPRECEDES 0x0054
#define LOCALE_IPOSSEPBYSPACE 0x0055
#define LOCALE_INEGSYMPRECEDES 0x0056
#define LOCALE_INEGSEPBYSPACE 0x0057

typedef DWORD LCTYPE;

// The program speaks English (United States): every locale id is answered from that table.
LCID GetUserDefaultLCID();
LCID GetSystemDefaultLCID();
LCID GetThreadLocale();
LANGID GetUserDefaultLangID();
LANGID GetSystemDefaultLangID();

// Copies the item's text with its NUL into lpLCData and returns the count of characters
// written, NUL included. cchData 0 returns the size needed and writes nothing; a buffer too
// small returns 0 with ERROR_INSUFFICIENT_BUFFER and holds an empty string; an unknown item
// returns 0 with ERROR_INVALID_FLAGS. With LOCALE_RETURN_NUMBER a numeric item is written as a
// DWORD and the result is sizeof(DWORD). Callable from any thread.
int GetLocaleInfoA(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData);
inline int GetLocaleInfo(LCID Locale, LCTYPE LCType, LPSTR lpLCData, int cchData)
{
    return GetLocaleInfoA(Locale, LCType, lpLCData, cchData);
}

#define DATE_SHORTDATE 0x00000001u
#define DATE_LONGDATE 0x00000002u
#define DATE_USE_ALT_CALENDAR 0x00000004u
#define DATE_YEARMONTH 0x00000008u
#define DATE_LTRREADING 0x00000010u
#define DATE_RTLREADING 0x00000020u

#define TIME_NOMINUTESORSECONDS 0x00000001u
#define TIME_NOSECONDS 0x00000002u
#define TIME_NOTIMEMARKER 0x00000004u
#define TIME_FORCE24HOURFORMAT 0x00000008u

// Date pictures: d dd (day), ddd dddd (day name), M MM (month), MMM MMMM (month name),
// y (year without century, unpadded), yy, yyyy (full year, at least four digits), g gg (era).
// Time pictures: h hh (12-hour), H HH (24-hour), m mm, s ss, t (first letter of AM/PM),
// tt (AM/PM). Text in single quotes is copied without the quotes ('' is one quote); any other
// character is copied as it stands. A null picture takes the locale's: the short date
// (or the long one with DATE_LONGDATE, the year-month with DATE_YEARMONTH), the time format.
// A null date or time means now. Buffer conventions as for GetLocaleInfoA; a bad date gives
// ERROR_INVALID_PARAMETER, a picture given together with a picture-choosing flag gives
// ERROR_INVALID_FLAGS.
int GetDateFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat,
                   LPSTR lpDateStr, int cchDate);
int GetTimeFormatA(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat,
                   LPSTR lpTimeStr, int cchTime);
inline int GetDateFormat(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpDate, LPCSTR lpFormat,
                         LPSTR lpDateStr, int cchDate)
{
    return GetDateFormatA(Locale, dwFlags, lpDate, lpFormat, lpDateStr, cchDate);
}
inline int GetTimeFormat(LCID Locale, DWORD dwFlags, const SYSTEMTIME* lpTime, LPCSTR lpFormat,
                         LPSTR lpTimeStr, int cchTime)
{
    return GetTimeFormatA(Locale, dwFlags, lpTime, lpFormat, lpTimeStr, cchTime);
}

// Grouping: the group sizes as decimal digits from the decimal point outwards; the last size
// repeats unless the number ends in 0 (3 = 1,234,567; 32 = 12,34,567; 30 = 1234,567).
struct NUMBERFMTA {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;
    LPSTR lpDecimalSep;
    LPSTR lpThousandSep;
    UINT NegativeOrder; // 0 (1.1), 1 -1.1, 2 - 1.1, 3 1.1-, 4 1.1 -
};
typedef NUMBERFMTA NUMBERFMT;

struct CURRENCYFMTA {
    UINT NumDigits;
    UINT LeadingZero;
    UINT Grouping;
    LPSTR lpDecimalSep;
    LPSTR lpThousandSep;
    UINT NegativeOrder; // 0..15, the platform's negative currency patterns
    UINT PositiveOrder; // 0 $1.1, 1 1.1$, 2 $ 1.1, 3 1.1 $
    LPSTR lpCurrencySymbol;
};
typedef CURRENCYFMTA CURRENCYFMT;

// lpValue: an optional '-', digits, and optionally '.' and more digits; nothing else. The
// value is rounded half up to the number of fraction digits. A null format takes the locale's.
// Buffer conventions as for GetLocaleInfoA; bad input gives ERROR_INVALID_PARAMETER.
int GetNumberFormatA(LCID Locale, DWORD dwFlags, LPCSTR lpValue, const NUMBERFMTA* lpFormat,
                     LPSTR lpNumberStr, int cchNumber);
int GetCurrencyFormatA(LCID Locale, DWORD dwFlags, LPCSTR lpValue, const CURRENCYFMTA* lpFormat,
                       LPSTR lpCurrencyStr, int cchCurrency);
inline int GetNumberFormat(LCID Locale, DWORD dwFlags, LPCSTR lpValue, const NUMBERFMTA* lpFormat,
                           LPSTR lpNumberStr, int cchNumber)
{
    return GetNumberFormatA(Locale, dwFlags, lpValue, lpFormat, lpNumberStr, cchNumber);
}
inline int GetCurrencyFormat(LCID Locale, DWORD dwFlags, LPCSTR lpValue,
                             const CURRENCYFMTA* lpFormat, LPSTR lpCurrencyStr, int cchCurrency)
{
    return GetCurrencyFormatA(Locale, dwFlags, lpValue, lpFormat, lpCurrencyStr, cchCurrency);
}

namespace vostrel {

// The date and time pictures above applied to a calendar record, for the layer's own use.
// tokens says which letters are pictures; the others are copied as they stand.
enum class PictureTokens { Date, Time, Both };
std::string FormatDateTimePicture(const SYSTEMTIME& st, const char* picture, PictureTokens tokens,
                                  DWORD timeFlags = 0);

} // namespace vostrel
