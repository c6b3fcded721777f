// CGXGridGdiCache: the fonts, brushes and pens a grid draws with, made once per distinct packed
// value and kept until the grid flushes its drawing caches.
#pragma once

#include "grid/data/CGXBrush.h"
#include "grid/data/CGXFont.h"
#include "grid/data/CGXPen.h"
#include "platform/afx/gdi/GdiObjects.h"

#include <memory>
#include <unordered_map>

class CGXGridGdiCache {
public:
    struct BrushKey {
        COLORREF fore, back;
        UINT style, hatch;
        bool operator==(const BrushKey&) const = default;
    };
    struct BrushKeyHash {
        size_t operator()(const BrushKey& k) const noexcept
        {
            return std::hash<ULONGLONG>()((static_cast<ULONGLONG>(k.fore) << 32 | k.back) ^ (static_cast<ULONGLONG>(k.style) << 8 | k.hatch) * 0x9E3779B97F4A7C15ull);
        }
    };
    static BrushKey KeyOf(const CGXBrush& brush) { return {brush.GetForeColor(), brush.GetBackColor(), brush.GetStyle(), brush.GetHatch()}; }

    CGXGridGdiCache()
    {
        m_fonts.reserve(257);
        m_brushes.reserve(257);
        m_pens.reserve(257);
    }
    void Clear()
    {
        m_fonts.clear();
        m_brushes.clear();
        m_pens.clear();
    }

    // Wrappers delete their GDI objects when the entry goes.
    std::unordered_map<ULONGLONG, std::unique_ptr<CFont>> m_fonts;
    std::unordered_map<BrushKey, std::unique_ptr<CBrush>, BrushKeyHash> m_brushes;
    std::unordered_map<ULONGLONG, std::unique_ptr<CPen>> m_pens;
};
