#include "grid/core/CGXSysColorCache.h"

#include "grid/data/GXColor.h"
#include "platform/win/UserApi.h"

void CGXSysColorCache::Refresh()
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
    // FIXME: the drop-down button's bitmap in the current system colours comes with the
    // drawing helpers that map a bitmap's greys to them.
}

COLORREF CGXSysColorCache::GetColor(int nIndex) const
{
    return nIndex >= 0 && nIndex < kCount ? m_colors[static_cast<size_t>(nIndex)] : 0;
}

COLORREF CGXSysColorCache::Resolve(COLORREF color) const
{
    return GXResolveColor(color, m_colors);
}
