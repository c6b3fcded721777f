// CPoint, CSize and CRect: the value classes over POINT, SIZE and RECT, and the rectangle
// functions. Rectangles are half-open: the right and bottom edges lie outside.
#pragma once

#include "platform/core/Types.h"

// The rectangle functions. A rectangle is empty when right <= left or bottom <= top.
BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom);
BOOL SetRectEmpty(LPRECT lprc);
BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc);
// TRUE for a NULL pointer too.
BOOL IsRectEmpty(const RECT* lprc);
BOOL PtInRect(const RECT* lprc, POINT pt);
// Empty inputs or no overlap give an empty (all zero) rectangle and FALSE.
BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
// An empty input is ignored; both empty give an all-zero rectangle and FALSE.
BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);
BOOL OffsetRect(LPRECT lprc, int dx, int dy);
BOOL InflateRect(LPRECT lprc, int dx, int dy);
BOOL EqualRect(const RECT* lprc1, const RECT* lprc2);
// Src1 minus src2 when the difference is a rectangle (src2 covers src1 across one whole
// side); otherwise a copy of src1. FALSE when the result is empty.
BOOL SubtractRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2);

class CSize;
class CRect;

class CPoint : public POINT {
public:
    CPoint() noexcept : POINT{0, 0} {}
    CPoint(int initX, int initY) noexcept : POINT{initX, initY} {}
    CPoint(POINT initPt) noexcept : POINT(initPt) {}
    CPoint(SIZE initSize) noexcept : POINT{initSize.cx, initSize.cy} {}
    // A packed point as in a message parameter: x in the low word, y in the high word, signed.
    explicit CPoint(DWORD_PTR dwPoint) noexcept
        : POINT{static_cast<SHORT>(LOWORD(dwPoint)), static_cast<SHORT>(HIWORD(dwPoint))}
    {
    }

    void Offset(int xOffset, int yOffset) noexcept { x += xOffset, y += yOffset; }
    void Offset(POINT point) noexcept { Offset(point.x, point.y); }
    void Offset(SIZE size) noexcept { Offset(size.cx, size.cy); }
    void SetPoint(int X, int Y) noexcept { x = X, y = Y; }

    bool operator==(POINT point) const noexcept { return x == point.x && y == point.y; }
    bool operator!=(POINT point) const noexcept { return !(*this == point); }
    // Between two of these an exact match, so that C++20 does not weigh the member against its
    // own reversed form.
    bool operator==(const CPoint& point) const noexcept { return *this == static_cast<const POINT&>(point); }
    bool operator!=(const CPoint& point) const noexcept { return !(*this == point); }
    void operator+=(SIZE size) noexcept { Offset(size); }
    void operator-=(SIZE size) noexcept { Offset(-size.cx, -size.cy); }
    void operator+=(POINT point) noexcept { Offset(point); }
    void operator-=(POINT point) noexcept { Offset(-point.x, -point.y); }

    CPoint operator+(SIZE size) const noexcept { return CPoint(x + size.cx, y + size.cy); }
    CPoint operator-(SIZE size) const noexcept { return CPoint(x - size.cx, y - size.cy); }
    CPoint operator-() const noexcept { return CPoint(-x, -y); }
    CPoint operator+(POINT point) const noexcept { return CPoint(x + point.x, y + point.y); }
    inline CSize operator-(POINT point) const noexcept;
    inline CRect operator+(const RECT* lpRect) const noexcept;
    inline CRect operator-(const RECT* lpRect) const noexcept;
};

class CSize : public SIZE {
public:
    CSize() noexcept : SIZE{0, 0} {}
    CSize(int initCX, int initCY) noexcept : SIZE{initCX, initCY} {}
    CSize(SIZE initSize) noexcept : SIZE(initSize) {}
    CSize(POINT initPt) noexcept : SIZE{initPt.x, initPt.y} {}
    // Packed: cx in the low word, cy in the high word, signed.
    explicit CSize(DWORD dwSize) noexcept
        : SIZE{static_cast<SHORT>(LOWORD(dwSize)), static_cast<SHORT>(HIWORD(dwSize))}
    {
    }

    void SetSize(int CX, int CY) noexcept { cx = CX, cy = CY; }

    bool operator==(SIZE size) const noexcept { return cx == size.cx && cy == size.cy; }
    bool operator!=(SIZE size) const noexcept { return !(*this == size); }
    bool operator==(const CSize& size) const noexcept { return *this == static_cast<const SIZE&>(size); }
    bool operator!=(const CSize& size) const noexcept { return !(*this == size); }
    void operator+=(SIZE size) noexcept { cx += size.cx, cy += size.cy; }
    void operator-=(SIZE size) noexcept { cx -= size.cx, cy -= size.cy; }

    CSize operator+(SIZE size) const noexcept { return CSize(cx + size.cx, cy + size.cy); }
    CSize operator-(SIZE size) const noexcept { return CSize(cx - size.cx, cy - size.cy); }
    CSize operator-() const noexcept { return CSize(-cx, -cy); }
    CPoint operator+(POINT point) const noexcept { return CPoint(cx + point.x, cy + point.y); }
    CPoint operator-(POINT point) const noexcept { return CPoint(cx - point.x, cy - point.y); }
    inline CRect operator+(const RECT* lpRect) const noexcept;
    inline CRect operator-(const RECT* lpRect) const noexcept;
};

class CRect : public RECT {
public:
    CRect() noexcept : RECT{0, 0, 0, 0} {}
    CRect(int l, int t, int r, int b) noexcept : RECT{l, t, r, b} {}
    CRect(const RECT& srcRect) noexcept : RECT(srcRect) {}
    CRect(LPCRECT lpSrcRect) noexcept : RECT(lpSrcRect ? *lpSrcRect : RECT{0, 0, 0, 0}) {}
    CRect(POINT point, SIZE size) noexcept : RECT{point.x, point.y, point.x + size.cx, point.y + size.cy} {}
    CRect(POINT topLeft, POINT bottomRight) noexcept : RECT{topLeft.x, topLeft.y, bottomRight.x, bottomRight.y} {}

    int Width() const noexcept { return right - left; }
    int Height() const noexcept { return bottom - top; }
    CSize Size() const noexcept { return CSize(Width(), Height()); }
    // The corners as points that alias the rectangle's own fields.
    CPoint& TopLeft() noexcept { return *reinterpret_cast<CPoint*>(&left); }
    CPoint& BottomRight() noexcept { return *reinterpret_cast<CPoint*>(&right); }
    const CPoint& TopLeft() const noexcept { return *reinterpret_cast<const CPoint*>(&left); }
    const CPoint& BottomRight() const noexcept { return *reinterpret_cast<const CPoint*>(&right); }
    CPoint CenterPoint() const noexcept { return CPoint((left + right) / 2, (top + bottom) / 2); }
    void SwapLeftRight() noexcept { SwapLeftRight(this); }
    static void SwapLeftRight(LPRECT lpRect) noexcept
    {
        LONG temp = lpRect->left;
        lpRect->left = lpRect->right;
        lpRect->right = temp;
    }

    operator LPRECT() noexcept { return this; }
    operator LPCRECT() const noexcept { return this; }

    BOOL IsRectEmpty() const noexcept { return ::IsRectEmpty(this); }
    BOOL IsRectNull() const noexcept { return left == 0 && right == 0 && top == 0 && bottom == 0; }
    BOOL PtInRect(POINT point) const noexcept { return ::PtInRect(this, point); }

    void SetRect(int x1, int y1, int x2, int y2) noexcept { ::SetRect(this, x1, y1, x2, y2); }
    void SetRect(POINT topLeft, POINT bottomRight) noexcept { SetRect(topLeft.x, topLeft.y, bottomRight.x, bottomRight.y); }
    void SetRectEmpty() noexcept { ::SetRectEmpty(this); }
    void CopyRect(LPCRECT lpSrcRect) noexcept { ::CopyRect(this, lpSrcRect); }
    BOOL EqualRect(LPCRECT lpRect) const noexcept { return ::EqualRect(this, lpRect); }

    void InflateRect(int x, int y) noexcept { ::InflateRect(this, x, y); }
    void InflateRect(SIZE size) noexcept { InflateRect(size.cx, size.cy); }
    void InflateRect(LPCRECT lpRect) noexcept { InflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    void InflateRect(int l, int t, int r, int b) noexcept { left -= l, top -= t, right += r, bottom += b; }
    void DeflateRect(int x, int y) noexcept { ::InflateRect(this, -x, -y); }
    void DeflateRect(SIZE size) noexcept { DeflateRect(size.cx, size.cy); }
    void DeflateRect(LPCRECT lpRect) noexcept { DeflateRect(lpRect->left, lpRect->top, lpRect->right, lpRect->bottom); }
    void DeflateRect(int l, int t, int r, int b) noexcept { left += l, top += t, right -= r, bottom -= b; }

    void OffsetRect(int x, int y) noexcept { ::OffsetRect(this, x, y); }
    void OffsetRect(POINT point) noexcept { OffsetRect(point.x, point.y); }
    void OffsetRect(SIZE size) noexcept { OffsetRect(size.cx, size.cy); }
    void MoveToY(int y) noexcept { bottom = Height() + y, top = y; }
    void MoveToX(int x) noexcept { right = Width() + x, left = x; }
    void MoveToXY(int x, int y) noexcept { MoveToX(x), MoveToY(y); }
    void MoveToXY(POINT point) noexcept { MoveToXY(point.x, point.y); }
    // Swaps edges so that left <= right and top <= bottom.
    void NormalizeRect() noexcept
    {
        if (left > right) {
            LONG t = left;
            left = right, right = t;
        }
        if (top > bottom) {
            LONG t = top;
            top = bottom, bottom = t;
        }
    }

    BOOL IntersectRect(LPCRECT lpRect1, LPCRECT lpRect2) noexcept { return ::IntersectRect(this, lpRect1, lpRect2); }
    BOOL UnionRect(LPCRECT lpRect1, LPCRECT lpRect2) noexcept { return ::UnionRect(this, lpRect1, lpRect2); }
    BOOL SubtractRect(LPCRECT lpRectSrc1, LPCRECT lpRectSrc2) noexcept { return ::SubtractRect(this, lpRectSrc1, lpRectSrc2); }

    CRect& operator=(const RECT& srcRect) noexcept
    {
        RECT::operator=(srcRect);
        return *this;
    }
    bool operator==(const RECT& rect) const noexcept { return ::EqualRect(this, &rect); }
    bool operator!=(const RECT& rect) const noexcept { return !::EqualRect(this, &rect); }
    bool operator==(const CRect& rect) const noexcept { return ::EqualRect(this, &rect); }
    bool operator!=(const CRect& rect) const noexcept { return !::EqualRect(this, &rect); }
    void operator+=(POINT point) noexcept { OffsetRect(point); }
    void operator+=(SIZE size) noexcept { OffsetRect(size); }
    void operator+=(LPCRECT lpRect) noexcept { InflateRect(lpRect); }
    void operator-=(POINT point) noexcept { OffsetRect(-point.x, -point.y); }
    void operator-=(SIZE size) noexcept { OffsetRect(-size.cx, -size.cy); }
    void operator-=(LPCRECT lpRect) noexcept { DeflateRect(lpRect); }
    void operator&=(const RECT& rect) noexcept { ::IntersectRect(this, this, &rect); }
    void operator|=(const RECT& rect) noexcept { ::UnionRect(this, this, &rect); }

    CRect operator+(POINT point) const noexcept { CRect r(*this); r.OffsetRect(point); return r; }
    CRect operator-(POINT point) const noexcept { CRect r(*this); r.OffsetRect(-point.x, -point.y); return r; }
    CRect operator+(SIZE size) const noexcept { CRect r(*this); r.OffsetRect(size); return r; }
    CRect operator-(SIZE size) const noexcept { CRect r(*this); r.OffsetRect(-size.cx, -size.cy); return r; }
    CRect operator+(LPCRECT lpRect) const noexcept { CRect r(*this); r.InflateRect(lpRect); return r; }
    CRect operator-(LPCRECT lpRect) const noexcept { CRect r(*this); r.DeflateRect(lpRect); return r; }
    CRect operator&(const RECT& rect) const noexcept { CRect r; ::IntersectRect(&r, this, &rect); return r; }
    CRect operator|(const RECT& rect) const noexcept { CRect r; ::UnionRect(&r, this, &rect); return r; }
};

static_assert(sizeof(CPoint) == sizeof(POINT) && sizeof(CSize) == sizeof(SIZE) && sizeof(CRect) == sizeof(RECT),
    "the classes are the plain records with operations");

inline CSize CPoint::operator-(POINT point) const noexcept
{
    return CSize(x - point.x, y - point.y);
}

inline CRect CPoint::operator+(const RECT* lpRect) const noexcept
{
    CRect r(lpRect);
    r.OffsetRect(x, y);
    return r;
}

inline CRect CPoint::operator-(const RECT* lpRect) const noexcept
{
    CRect r(lpRect);
    r.OffsetRect(-x, -y);
    return r;
}

inline CRect CSize::operator+(const RECT* lpRect) const noexcept
{
    CRect r(lpRect);
    r.OffsetRect(cx, cy);
    return r;
}

inline CRect CSize::operator-(const RECT* lpRect) const noexcept
{
    CRect r(lpRect);
    r.OffsetRect(-cx, -cy);
    return r;
}
