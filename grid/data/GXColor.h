// Grid colours: COLORREF values in which a top byte from 65 to 254 names a system colour (index
// 254 minus that byte). The model keeps such values as they are; drawing resolves them.
#pragma once

#include "platform/core/Types.h"

#include <span>

inline constexpr BYTE GX_SYSCOLOR_FIRST = 65;
inline constexpr BYTE GX_SYSCOLOR_LAST = 254;

// The colour value that names system colour nIndex (0..189).
constexpr COLORREF GXSysColor(int nIndex)
{
    return static_cast<COLORREF>(GX_SYSCOLOR_LAST - nIndex) << 24;
}

constexpr bool GXIsSysColor(COLORREF color)
{
    const DWORD top = color >> 24;
    return top >= GX_SYSCOLOR_FIRST && top <= GX_SYSCOLOR_LAST;
}

// The system colour index a colour value names; -1 for a plain colour.
constexpr int GXSysColorIndex(COLORREF color)
{
    return GXIsSysColor(color) ? GX_SYSCOLOR_LAST - static_cast<int>(color >> 24) : -1;
}

// Resolves a colour value against a table of system colours: a plain value answers itself
// (top byte cleared, as GDI takes it), a system colour its table entry, and an index past the
// table 0 rather than whatever lies beyond it.
constexpr COLORREF GXResolveColor(COLORREF color, std::span<const COLORREF> sysColors)
{
    const int nIndex = GXSysColorIndex(color);
    if (nIndex < 0)
        return color & 0x00FFFFFFu;
    return static_cast<size_t>(nIndex) < sysColors.size() ? sysColors[static_cast<size_t>(nIndex)] : 0;
}
