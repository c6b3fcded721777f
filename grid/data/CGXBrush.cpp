#include "grid/data/CGXBrush.h"

#include "platform/core/CArchive.h"

#include <algorithm>

namespace {
constexpr UINT kMaxPattern = 63;
constexpr UINT kMaxHatch = 255;
} // namespace

CGXBrush::CGXBrush(UINT nStyle, COLORREF color, UINT nHatch)
{
    Set(nStyle, color, nHatch);
}

CGXBrush& CGXBrush::Set(UINT nStyle, COLORREF color, UINT nHatch)
{
    SetStyle(nStyle);
    m_foreColor = color;
    return SetHatch(nHatch);
}

CGXBrush& CGXBrush::SetStyle(UINT nStyle)
{
    m_style = static_cast<BYTE>(std::min(nStyle, static_cast<UINT>(GX_BS_PATTERN)));
    return *this;
}

CGXBrush& CGXBrush::SetHatch(UINT nHatch)
{
    m_hatch = static_cast<BYTE>(std::min(nHatch, m_style == GX_BS_PATTERN ? kMaxPattern : kMaxHatch));
    return *this;
}

CGXBrush& CGXBrush::SetPattern(UINT nPattern)
{
    m_style = GX_BS_PATTERN;
    return SetHatch(nPattern);
}

CArchive& operator<<(CArchive& ar, const CGXBrush& brush)
{
    ar << brush.GetForeColor() << brush.GetBackColor();
    ar << static_cast<BYTE>(brush.GetStyle()) << static_cast<BYTE>(brush.GetHatch());
    return ar;
}

CArchive& operator>>(CArchive& ar, CGXBrush& brush)
{
    COLORREF fore = 0, back = 0;
    BYTE nStyle = 0, nHatch = 0;
    ar >> fore >> back >> nStyle >> nHatch;
    // The setters clamp a forged style or pattern into range.
    brush.Set(nStyle, fore, nHatch).SetBackColor(back);
    return ar;
}
