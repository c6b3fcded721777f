// CGXSysColorCache: the grid library's cache of the system colours, through which the colour
// values of styles that name a system colour are resolved for drawing.
#pragma once

#include "platform/core/Types.h"

#include <array>

class CGXSysColorCache {
public:
    // The indices the window layer knows (COLOR_SCROLLBAR .. COLOR_MENUBAR).
    static constexpr int kCount = 31;

    CGXSysColorCache() { Refresh(); }
    // Reloads every colour (WM_SYSCOLORCHANGE).
    void Refresh();
    // The colour of an index; 0 for an index the window layer does not know.
    COLORREF GetColor(int nIndex) const;
    // A style's colour value as drawn: system colours from the cache (0 for an unknown index),
    // plain colours as they are.
    COLORREF Resolve(COLORREF color) const;

private:
    std::array<COLORREF, kCount> m_colors{};
};
