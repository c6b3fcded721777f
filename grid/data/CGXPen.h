// CGXPen: the packed pen of one border side of a cell style: line style, width and colour in
// one 64-bit word.
#pragma once

#include "platform/core/Types.h"

class CArchive;
class CGXBrush;

// Line styles in GDI's numbering, plus the grid's "unset" marker.
enum : UINT {
    GX_PS_SOLID = 0,
    GX_PS_DASH = 1,
    GX_PS_DOT = 2,
    GX_PS_DASHDOT = 3,
    GX_PS_DASHDOTDOT = 4,
    GX_PS_NULL = 5,
    GX_PS_INSIDEFRAME = 6,
    GX_PS_NONE = 7, // the side has no pen of its own
};

class CGXPen {
public:
    // A default pen is unset.
    CGXPen() = default;
    CGXPen(UINT nStyle, UINT nWidth, COLORREF color);

    UINT GetStyle() const { return static_cast<UINT>(m_bits & 7u); }
    UINT GetWidth() const { return static_cast<UINT>((m_bits >> 3) & 0xFFFFu); }
    // The colour as stored: system colours keep their encoding (see GXColor.h).
    COLORREF GetColor() const { return static_cast<COLORREF>(m_bits >> 32); }

    CGXPen& SetStyle(UINT nStyle);
    // Widths above 65535 are clamped, the field's largest value.
    CGXPen& SetWidth(UINT nWidth);
    // Stores the colour and makes the pen visible.
    CGXPen& SetColor(COLORREF color);
    // Visible: an unset style becomes solid; invisible: the style becomes unset.
    CGXPen& SetVisible(BOOL bVisible);
    BOOL IsVisible() const { return GetStyle() != GX_PS_NONE && GetStyle() != GX_PS_NULL; }

    // The dashed styles 1..4 draw with a hatch brush: the 8x8 pattern (one bit per pixel, rows
    // top down) for a horizontal or vertical line. FALSE for other styles.
    BOOL GetLinePattern(BOOL bHorizontal, BYTE pattern[8]) const;
    // Lines of the dashed styles 1..4 are drawn as strips filled with a brush of their dash
    // pattern: the pen's colour over the background brush's (white without one; black over
    // white in black-and-white printing). FALSE, and the brush untouched, for other styles.
    BOOL MakeLineBrush(CGXBrush& brush, const CGXBrush* pBackground, BOOL bHorizontal, BOOL bBlackWhite) const;
    // The pattern index a line brush uses: after the drawing layer's own patterns, the four
    // horizontal dash patterns, then the four vertical ones.
    static constexpr UINT kLinePatternFirst = 41;
    static constexpr UINT kLinePatternCount = 8;
    static BOOL GetLinePatternRows(UINT nPattern, BYTE pattern[8]);

    ULONGLONG GetPacked() const { return m_bits; }
    void SetPacked(ULONGLONG bits) { m_bits = bits; }
    bool operator==(const CGXPen&) const = default;

private:
    ULONGLONG m_bits = GX_PS_NONE;
};

CArchive& operator<<(CArchive& ar, const CGXPen& pen);
CArchive& operator>>(CArchive& ar, CGXPen& pen);
