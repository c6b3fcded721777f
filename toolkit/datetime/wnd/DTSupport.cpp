#include "toolkit/datetime/wnd/DTSupport.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/OleDateFields.h"
#include "toolkit/datetime/wnd/DTTraits.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/toolbars/SECLoadSysColorBitmap.h"

#include <algorithm>
#include <climits>
#include <optional>

namespace {

std::optional<COleDateTime>& FixedNow()
{
    static std::optional<COleDateTime> now;
    return now;
}

int SysIndex(DTColor color)
{
    switch (color) {
    case DTColor::BtnFace: return COLOR_BTNFACE;
    case DTColor::BtnShadow: return COLOR_BTNSHADOW;
    case DTColor::BtnHilite: return COLOR_BTNHIGHLIGHT;
    case DTColor::WindowFrame: return COLOR_WINDOWFRAME;
    case DTColor::Light3d: return COLOR_3DLIGHT;
    case DTColor::DkShadow3d: return COLOR_3DDKSHADOW;
    case DTColor::WindowText: return COLOR_WINDOWTEXT;
    case DTColor::Window: return COLOR_WINDOW;
    case DTColor::Highlight: return COLOR_HIGHLIGHT;
    case DTColor::HighlightText: return COLOR_HIGHLIGHTTEXT;
    case DTColor::BtnText: return COLOR_BTNTEXT;
    case DTColor::GrayText: return COLOR_GRAYTEXT;
    case DTColor::CaptionText: return COLOR_CAPTIONTEXT;
    case DTColor::ActiveCaption: return COLOR_ACTIVECAPTION;
    }
    return COLOR_WINDOW;
}

long long FloorDiv(long long a, long long b)
{
    return a / b - ((a % b != 0) && ((a < 0) != (b < 0)) ? 1 : 0);
}

// Days since 1970-01-01 of a day of the proleptic Gregorian calendar, for any year.
long long DaysFromCivil(long long y, int m, int d)
{
    y -= m <= 2 ? 1 : 0;
    const long long era = FloorDiv(y, 400);
    const long long yoe = y - era * 400;
    const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

long long YearFromDays(long long z)
{
    z += 719468;
    const long long era = FloorDiv(z, 146097);
    const long long doe = z - era * 146097;
    const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long long mp = (5 * doy + 2) / 153;
    const long long m = mp < 10 ? mp + 3 : mp - 9;
    return yoe + era * 400 + (m <= 2 ? 1 : 0);
}

// The year a step of the calendars lands in: the month may run past December and the day past
// the month's end (into the following months), and each rolls on as the calendar does. Every day
// of a year's last month stays in that year, so the ends of the allowed range are reachable.
int OverflowYear(int nYear, int nMonth, int nDay)
{
    const long long y = nYear + FloorDiv(nMonth - 1, 12);
    const int m = static_cast<int>(nMonth - 1 - FloorDiv(nMonth - 1, 12) * 12) + 1;
    const long long year = YearFromDays(DaysFromCivil(y, m, 1) + (static_cast<long long>(nDay) - 1));
    return static_cast<int>(std::clamp<long long>(year, INT_MIN, INT_MAX));
}

} // namespace

COleDateTime DTGetCurrentTime()
{
    if (FixedNow())
        return *FixedNow();
    return COleDateTime::GetCurrentTime();
}

void DTSetCurrentTimeForTesting(const COleDateTime* pNow)
{
    if (pNow)
        FixedNow() = *pNow;
    else
        FixedNow().reset();
}

COleDateTime DTNoon(const COleDateTime& date)
{
    if (date.GetStatus() != COleDateTime::valid)
        return date;
    DateFields f;
    if (!OleDateToFields(date, f))
        return date;
    COleDateTime noon;
    noon.SetDateTime(f.nYear, f.nMonth, f.nDay, 12, 0, 0);
    return noon;
}

BOOL DTIsInRange(const COleDateTime& date)
{
    if (date.GetStatus() != COleDateTime::valid)
        return FALSE;
    DateFields f;
    return OleDateToFields(date, f);
}

int DTDaysInMonth(int nYear, int nMonth)
{
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (nYear < 100 || nYear > 9999 || nMonth < 1 || nMonth > 12)
        return 0;
    if (nMonth == 2 && ((nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0))
        return 29;
    return kDays[nMonth - 1];
}

COLORREF SECGetSharedColor(int nSysColorIndex)
{
    const SECGlobalData& data = SECGetGlobalData();
    switch (nSysColorIndex) {
    case COLOR_BTNFACE: return data.clrBtnFace;
    case COLOR_BTNSHADOW: return data.clrBtnShadow;
    case COLOR_BTNHIGHLIGHT: return data.clrBtnHilite;
    case COLOR_WINDOWFRAME: return data.clrWindowFrame;
    case COLOR_3DLIGHT: return data.clr3DLight;
    case COLOR_3DDKSHADOW: return data.clr3DDkShadow;
    case COLOR_WINDOWTEXT: return data.clrWindowText;
    case COLOR_WINDOW: return data.clrWindow;
    case COLOR_HIGHLIGHT: return data.clrHighlight;
    case COLOR_HIGHLIGHTTEXT: return data.clrHighlightText;
    default: return GetSysColor(nSysColorIndex);   // colours the shared data does not keep
    }
}

void SECRefreshSharedColors()
{
    SECGetGlobalData().UpdateSysColors();
}

BOOL DTLoadSysColorBitmap(CBitmap& bitmap, UINT nIDResource)
{
    bitmap.DeleteObject();
    return SECLoadSysColorBitmap(bitmap, MAKEINTRESOURCE(nIDResource));
}

BOOL SECDTTraits::IsDateAllowed(int nYear, int nMonth, int nDay)
{
    const int y = OverflowYear(nYear, nMonth, nDay);
    return y >= 100 && y <= 9999;
}

COLORREF SECDTTraits::Color(DTColor color)
{
    return SECGetSharedColor(SysIndex(color));
}

void SECDTTraits::RefreshColors()
{
    SECRefreshSharedColors();
}

BOOL CGXBDTTraits::IsDateAllowed(int nYear, int nMonth, int nDay)
{
    const int y = OverflowYear(nYear, nMonth, nDay);
    return y >= 1400 && y <= 2400;
}

COLORREF CGXBDTTraits::Color(DTColor color)
{
    CGXSysColorCache* cache = GXGetSysData();
    return cache ? cache->GetColor(SysIndex(color)) : GetSysColor(SysIndex(color));
}

void CGXBDTTraits::RefreshColors()
{
    if (CGXSysColorCache* cache = GXGetSysData())
        cache->Refresh();
}
