#include "toolkit/datetime/wnd/DTSupport.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/win/UserApi.h"
#include "toolkit/datetime/OleDateFields.h"
#include "toolkit/datetime/wnd/DTTraits.h"

#include <array>
#include <optional>

namespace {

std::optional<COleDateTime>& FixedNow()
{
    static std::optional<COleDateTime> now;
    return now;
}

// FIXME: the toolkit's shared data object keeps these once it stands; until then the widgets
// keep their own copy, refreshed the same way.
std::array<COLORREF, 31>& SharedColors()
{
    static std::array<COLORREF, 31> colors = [] {
        std::array<COLORREF, 31> c{};
        for (int i = 0; i < 31; ++i)
            c[static_cast<size_t>(i)] = GetSysColor(i);
        return c;
    }();
    return colors;
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

// Years of a date after a step that may overflow its month and day, as the calendars check it.
int OverflowYear(int nYear, int nMonth, int nDay)
{
    return nYear + (nDay / 28 + nMonth) / 12;
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
    if (nSysColorIndex < 0 || nSysColorIndex >= 31)
        return 0;
    return SharedColors()[static_cast<size_t>(nSysColorIndex)];
}

void SECRefreshSharedColors()
{
    for (int i = 0; i < 31; ++i)
        SharedColors()[static_cast<size_t>(i)] = GetSysColor(i);
}

BOOL DTLoadSysColorBitmap(CBitmap& bitmap, UINT nIDResource)
{
    CBitmap loaded;
    if (!loaded.LoadBitmap(nIDResource))
        return FALSE;
    BITMAP bm{};
    loaded.GetBitmap(&bm);
    CClientDC screen(nullptr);
    CDC dc;
    if (!dc.CreateCompatibleDC(&screen))
        return FALSE;
    CBitmap* old = dc.SelectObject(&loaded);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const COLORREF shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF face = GetSysColor(COLOR_BTNFACE);
    const COLORREF hilite = GetSysColor(COLOR_BTNHIGHLIGHT);
    for (int y = 0; y < bm.bmHeight; ++y)
        for (int x = 0; x < bm.bmWidth; ++x) {
            const COLORREF c = dc.GetPixel(x, y) & 0xFFFFFF;
            COLORREF to = c;
            if (c == 0x000000)
                to = text;
            else if (c == 0x808080)
                to = shadow;
            else if (c == 0xC0C0C0)
                to = face;
            else if (c == 0xFFFFFF)
                to = hilite;
            if (to != c)
                dc.SetPixelV(x, y, to);
        }
    dc.SelectObject(old);
    bitmap.DeleteObject();
    bitmap.Attach(loaded.Detach());
    return TRUE;
}

BOOL SECDTTraits::IsDateAllowed(int nYear, int nMonth, int nDay)
{
    const int y = OverflowYear(nYear, nMonth - 1, nDay);
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
