// CGXBrush: the packed interior brush of a cell style: foreground and background colours, the
// brush style and a pattern index.
#pragma once

#include "platform/core/Types.h"

class CArchive;

enum : UINT {
    GX_BS_SOLID = 0,
    GX_BS_NULL = 1,
    GX_BS_HATCHED = 2,
    GX_BS_PATTERN = 3,
};

class CGXBrush {
public:
    CGXBrush() = default;
    CGXBrush(UINT nStyle, COLORREF color, UINT nHatch);

    // Style, foreground colour and hatch (or pattern) index at once.
    CGXBrush& Set(UINT nStyle, COLORREF color, UINT nHatch);
    CGXBrush& SetStyle(UINT nStyle);
    CGXBrush& SetForeColor(COLORREF color) { m_foreColor = color; return *this; }
    CGXBrush& SetBackColor(COLORREF color) { m_backColor = color; return *this; }
    CGXBrush& SetHatch(UINT nHatch);
    // A pattern brush (indices 0..63 of the drawing layer's pattern table).
    CGXBrush& SetPattern(UINT nPattern);

    UINT GetStyle() const { return m_style; }
    UINT GetHatch() const { return m_hatch; }
    UINT GetPattern() const { return m_style == GX_BS_PATTERN ? m_hatch : 0; }
    // Colours as stored: system colours keep their encoding (see GXColor.h).
    COLORREF GetColor() const { return m_foreColor; }
    COLORREF GetForeColor() const { return m_foreColor; }
    COLORREF GetBackColor() const { return m_backColor; }

    bool operator==(const CGXBrush&) const = default;

private:
    COLORREF m_foreColor = 0x00FFFFFF;
    COLORREF m_backColor = 0x00FFFFFF;
    BYTE m_style = GX_BS_SOLID;
    BYTE m_hatch = 0;
};

CArchive& operator<<(CArchive& ar, const CGXBrush& brush);
CArchive& operator>>(CArchive& ar, CGXBrush& brush);
