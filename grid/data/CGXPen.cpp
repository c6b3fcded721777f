#include "grid/data/CGXPen.h"

#include "grid/data/CGXBrush.h"

#include "platform/core/CArchive.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr ULONGLONG kStyleMask = 7;
constexpr ULONGLONG kWidthMask = 0xFFFFull << 3;
constexpr ULONGLONG kColorMask = 0xFFFFFFFFull << 32;

// Hatch patterns for dashed lines, horizontal and vertical; a set bit is the pen's colour.
constexpr BYTE kHorizontal[4][8] = {
    {0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0, 0xF0}, // dash
    {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}, // dot
    {0xE4, 0xE4, 0xE4, 0xE4, 0xE4, 0xE4, 0xE4, 0xE4}, // dash dot
    {0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA, 0xEA}, // dash dot dot
};
constexpr BYTE kVertical[4][8] = {
    {0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00},
    {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00},
    {0xFF, 0xFF, 0xFF, 0x00, 0x00, 0xFF, 0x00, 0x00},
    {0xFF, 0xFF, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00},
};

} // namespace

CGXPen::CGXPen(UINT nStyle, UINT nWidth, COLORREF color)
{
    SetStyle(nStyle);
    SetWidth(nWidth);
    m_bits = (m_bits & ~kColorMask) | (static_cast<ULONGLONG>(color) << 32);
}

CGXPen& CGXPen::SetStyle(UINT nStyle)
{
    m_bits = (m_bits & ~kStyleMask) | (nStyle & kStyleMask);
    return *this;
}

CGXPen& CGXPen::SetWidth(UINT nWidth)
{
    m_bits = (m_bits & ~kWidthMask) | (static_cast<ULONGLONG>(std::min(nWidth, 0xFFFFu)) << 3);
    return *this;
}

CGXPen& CGXPen::SetColor(COLORREF color)
{
    m_bits = (m_bits & ~kColorMask) | (static_cast<ULONGLONG>(color) << 32);
    return SetVisible(TRUE);
}

CGXPen& CGXPen::SetVisible(BOOL bVisible)
{
    if (!bVisible)
        SetStyle(GX_PS_NONE);
    else if (GetStyle() == GX_PS_NONE)
        SetStyle(GX_PS_SOLID);
    return *this;
}

BOOL CGXPen::GetLinePattern(BOOL bHorizontal, BYTE pattern[8]) const
{
    const UINT nStyle = GetStyle();
    if (nStyle < GX_PS_DASH || nStyle > GX_PS_DASHDOTDOT)
        return FALSE;
    std::memcpy(pattern, bHorizontal ? kHorizontal[nStyle - 1] : kVertical[nStyle - 1], 8);
    return TRUE;
}

BOOL CGXPen::GetLinePatternRows(UINT nPattern, BYTE pattern[8])
{
    if (nPattern < kLinePatternFirst || nPattern >= kLinePatternFirst + kLinePatternCount)
        return FALSE;
    const UINT n = nPattern - kLinePatternFirst;
    std::memcpy(pattern, n < 4 ? kHorizontal[n] : kVertical[n - 4], 8);
    return TRUE;
}

BOOL CGXPen::MakeLineBrush(CGXBrush& brush, const CGXBrush* pBackground, BOOL bHorizontal, BOOL bBlackWhite) const
{
    const UINT nStyle = GetStyle();
    if (nStyle < GX_PS_DASH || nStyle > GX_PS_DASHDOTDOT)
        return FALSE;
    brush = CGXBrush();
    brush.SetPattern(kLinePatternFirst + (bHorizontal ? 0 : 4) + (nStyle - GX_PS_DASH));
    COLORREF back = 0x00FFFFFF;
    if (pBackground != nullptr && pBackground->GetStyle() != GX_BS_NULL)
        back = pBackground->GetStyle() == GX_BS_SOLID ? pBackground->GetForeColor() : pBackground->GetBackColor();
    brush.SetForeColor(bBlackWhite ? 0 : GetColor());
    brush.SetBackColor(bBlackWhite ? 0x00FFFFFF : back);
    return TRUE;
}

CArchive& operator<<(CArchive& ar, const CGXPen& pen)
{
    return ar << pen.GetPacked();
}

CArchive& operator>>(CArchive& ar, CGXPen& pen)
{
    ULONGLONG bits = 0;
    ar >> bits;
    // Bits outside the three fields are never written; clearing them keeps equality exact.
    pen.SetPacked(bits & (kStyleMask | kWidthMask | kColorMask));
    return ar;
}
