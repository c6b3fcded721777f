#include "grid/core/CGXSysColorCache.h"

#include "grid/data/GXColor.h"
#include "platform/win/UserApi.h"

void CGXSysColorCache::Refresh()
{
    for (int i = 0; i < kCount; ++i)
        m_colors[static_cast<size_t>(i)] = GetSysColor(i);
}

COLORREF CGXSysColorCache::GetColor(int nIndex) const
{
    return nIndex >= 0 && nIndex < kCount ? m_colors[static_cast<size_t>(nIndex)] : 0;
}

COLORREF CGXSysColorCache::Resolve(COLORREF color) const
{
    return GXResolveColor(color, m_colors);
}
