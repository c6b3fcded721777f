#include "grid/core/CGXSysColorCache.h"

#include "grid/core/GXDrawingHelpers.h"
#include "grid/data/GXColor.h"
#include "grid/res/GridRes.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <cstring>
#include <vector>

namespace {

bool IsPngResource(UINT nIDResource)
{
    static const BYTE kSignature[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    HGLOBAL hCopy = CopyBitmapResource(nIDResource);
    if (hCopy == nullptr)
        return false;
    const bool bPng = GlobalSize(hCopy) >= sizeof(kSignature)
        && std::memcmp(GlobalLock(hCopy), kSignature, sizeof(kSignature)) == 0;
    GlobalUnlock(hCopy);
    GlobalFree(hCopy);
    return bPng;
}

// A bitmap resource stored as a packed DIB: its colour table is mapped before it is drawn.
BOOL LoadSysColorDibResource(CBitmap* pBitmap, UINT nIDResource)
{
    HGLOBAL hCopy = CopyBitmapResource(nIDResource);
    if (hCopy == nullptr)
        return FALSE;
    const BOOL bLoaded = LoadSysColorBitmapFromDib(pBitmap, static_cast<const BYTE*>(GlobalLock(hCopy)), GlobalSize(hCopy));
    GlobalUnlock(hCopy);
    GlobalFree(hCopy);
    return bLoaded;
}

} // namespace

BOOL LoadSysColorBitmap(CBitmap* pBitmap, UINT nIDResource)
{
    if (pBitmap == nullptr)
        return FALSE;
    pBitmap->DeleteObject();
    // Images are kept as PNG, whose pixels are mapped after loading; a packed DIB has its
    // colour table mapped instead.
    if (!IsPngResource(nIDResource))
        return LoadSysColorDibResource(pBitmap, nIDResource);
    if (!pBitmap->LoadBitmap(nIDResource))
        return FALSE;
    BITMAP bm{};
    if (pBitmap->GetBitmap(&bm) == 0 || bm.bmBitsPixel != 32)
        return TRUE; // nothing to map in an image without colour pixels
    const DWORD nBytes = pBitmap->GetBitmapBits(0, nullptr);
    std::vector<BYTE> bits(nBytes);
    if (nBytes == 0 || pBitmap->GetBitmapBits(nBytes, bits.data()) != nBytes)
        return TRUE;
    struct Mapping {
        COLORREF from;
        int nSysColor;
    };
    const Mapping map[] = {{RGB(0, 0, 0), COLOR_BTNTEXT},
                           {RGB(128, 128, 128), COLOR_BTNSHADOW},
                           {RGB(192, 192, 192), COLOR_BTNFACE},
                           {RGB(255, 255, 255), COLOR_BTNHIGHLIGHT}};
    // Pixels are stored blue, green, red and a fourth byte per pixel.
    for (size_t i = 0; i + 3 < bits.size(); i += 4) {
        const COLORREF pixel = RGB(bits[i + 2], bits[i + 1], bits[i]);
        for (const Mapping& m : map)
            if (pixel == m.from) {
                const COLORREF to = GetSysColor(m.nSysColor);
                bits[i] = GetBValue(to);
                bits[i + 1] = GetGValue(to);
                bits[i + 2] = GetRValue(to);
                break;
            }
    }
    pBitmap->SetBitmapBits(nBytes, bits.data());
    return TRUE;
}

void CGXSysColorCache::Refresh()
{
    LoadColors();
    if (m_hbmDropDown != nullptr)
        ::DeleteObject(m_hbmDropDown);
    m_hbmDropDown = nullptr;
    CBitmap bitmap;
    if (LoadSysColorBitmap(bitmap, GX_IDB_DROPDOWN))
        m_hbmDropDown = static_cast<HBITMAP>(bitmap.Detach());
}

void CGXSysColorCache::LoadColors()
{
    for (int i = 0; i < kCount; ++i)
        m_colors[static_cast<size_t>(i)] = GetSysColor(i);
    m_clrBtnFace = GetColor(COLOR_BTNFACE);
    m_clrBtnShadow = GetColor(COLOR_BTNSHADOW);
    m_clrBtnHilite = GetColor(COLOR_BTNHIGHLIGHT);
    m_clrWindowFrame = GetColor(COLOR_WINDOWFRAME);
    m_clr3dLight = GetColor(COLOR_3DLIGHT);
    m_clr3dDkShadow = GetColor(COLOR_3DDKSHADOW);
    m_clrText = GetColor(COLOR_WINDOWTEXT);
    m_clrWindow = GetColor(COLOR_WINDOW);
    m_clrHighlight = GetColor(COLOR_HIGHLIGHT);
    m_clrHighlightText = GetColor(COLOR_HIGHLIGHTTEXT);
}

COLORREF CGXSysColorCache::GetColor(int nIndex) const
{
    // Indices past the cached ones are asked of the system each time.
    return nIndex >= 0 && nIndex < kCount ? m_colors[static_cast<size_t>(nIndex)] : GetSysColor(nIndex);
}

COLORREF CGXSysColorCache::Resolve(COLORREF color) const
{
    const int nIndex = GXSysColorIndex(color);
    return nIndex < 0 ? GXResolveColor(color, m_colors) : GetColor(nIndex);
}
