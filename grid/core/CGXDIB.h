// CGXDIB: a bitmap a cell shows in place of its text, held for drawing: it takes a handle for
// a while (the bitmap pool keeps the bitmap), knows its size and draws it aligned in a cell.
#pragma once

#include "platform/core/CRect.h"
#include "platform/win/GdiTypes.h"

class CDC;

class CGXDIB {
public:
    // Alignment flags of Draw.
    enum : UINT { alignCenter = 1, alignRight = 2, alignVCenter = 4, alignBottom = 8 };

    CGXDIB() = default;
    ~CGXDIB() = default;
    CGXDIB(const CGXDIB&) = delete;
    CGXDIB& operator=(const CGXDIB&) = delete;

    // Takes a bitmap handle (not its ownership) and reads its size; FALSE for no bitmap.
    BOOL Attach(HBITMAP hBitmap);
    HBITMAP Detach();
    HBITMAP GetHandle() const { return m_hBitmap; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    // Draws the bitmap inside the rectangle, aligned as the flags say and cut at its edges.
    BOOL Draw(CDC* pDC, const CRect& rect, UINT nAlign) const;

private:
    HBITMAP m_hBitmap = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
};
