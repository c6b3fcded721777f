#include "platform/core/CRect.h"

#include <algorithm>

BOOL SetRect(LPRECT lprc, int xLeft, int yTop, int xRight, int yBottom)
{
    if (lprc == nullptr)
        return FALSE;
    *lprc = RECT{xLeft, yTop, xRight, yBottom};
    return TRUE;
}

BOOL SetRectEmpty(LPRECT lprc)
{
    return SetRect(lprc, 0, 0, 0, 0);
}

BOOL CopyRect(LPRECT lprcDst, const RECT* lprcSrc)
{
    if (lprcDst == nullptr || lprcSrc == nullptr)
        return FALSE;
    *lprcDst = *lprcSrc;
    return TRUE;
}

BOOL IsRectEmpty(const RECT* lprc)
{
    return lprc == nullptr || lprc->right <= lprc->left || lprc->bottom <= lprc->top;
}

BOOL PtInRect(const RECT* lprc, POINT pt)
{
    return lprc != nullptr && pt.x >= lprc->left && pt.x < lprc->right && pt.y >= lprc->top && pt.y < lprc->bottom;
}

BOOL IntersectRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (lprcDst == nullptr)
        return FALSE;
    if (IsRectEmpty(lprcSrc1) || IsRectEmpty(lprcSrc2)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    RECT r{std::max(lprcSrc1->left, lprcSrc2->left), std::max(lprcSrc1->top, lprcSrc2->top),
        std::min(lprcSrc1->right, lprcSrc2->right), std::min(lprcSrc1->bottom, lprcSrc2->bottom)};
    if (IsRectEmpty(&r)) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    *lprcDst = r;
    return TRUE;
}

BOOL UnionRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (lprcDst == nullptr)
        return FALSE;
    bool empty1 = IsRectEmpty(lprcSrc1);
    bool empty2 = IsRectEmpty(lprcSrc2);
    if (empty1 && empty2) {
        SetRectEmpty(lprcDst);
        return FALSE;
    }
    if (empty1) {
        *lprcDst = *lprcSrc2;
        return TRUE;
    }
    if (empty2) {
        *lprcDst = *lprcSrc1;
        return TRUE;
    }
    *lprcDst = RECT{std::min(lprcSrc1->left, lprcSrc2->left), std::min(lprcSrc1->top, lprcSrc2->top),
        std::max(lprcSrc1->right, lprcSrc2->right), std::max(lprcSrc1->bottom, lprcSrc2->bottom)};
    return TRUE;
}

BOOL OffsetRect(LPRECT lprc, int dx, int dy)
{
    if (lprc == nullptr)
        return FALSE;
    lprc->left += dx;
    lprc->right += dx;
    lprc->top += dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL InflateRect(LPRECT lprc, int dx, int dy)
{
    if (lprc == nullptr)
        return FALSE;
    lprc->left -= dx;
    lprc->right += dx;
    lprc->top -= dy;
    lprc->bottom += dy;
    return TRUE;
}

BOOL EqualRect(const RECT* lprc1, const RECT* lprc2)
{
    if (lprc1 == nullptr || lprc2 == nullptr)
        return FALSE;
    return lprc1->left == lprc2->left && lprc1->top == lprc2->top && lprc1->right == lprc2->right &&
        lprc1->bottom == lprc2->bottom;
}

BOOL SubtractRect(LPRECT lprcDst, const RECT* lprcSrc1, const RECT* lprcSrc2)
{
    if (lprcDst == nullptr || lprcSrc1 == nullptr)
        return FALSE;
    RECT result = *lprcSrc1;
    RECT cut;
    if (lprcSrc2 != nullptr && IntersectRect(&cut, lprcSrc1, lprcSrc2)) {
        bool fullWidth = cut.left <= result.left && cut.right >= result.right;
        bool fullHeight = cut.top <= result.top && cut.bottom >= result.bottom;
        if (fullWidth && fullHeight) {
            result = RECT{0, 0, 0, 0};
        } else if (fullHeight) {
            // The cut spans the whole height: it removes a band at the left or right edge.
            if (cut.left <= result.left)
                result.left = cut.right;
            else if (cut.right >= result.right)
                result.right = cut.left;
        } else if (fullWidth) {
            if (cut.top <= result.top)
                result.top = cut.bottom;
            else if (cut.bottom >= result.bottom)
                result.bottom = cut.top;
        }
    }
    *lprcDst = result;
    return !IsRectEmpty(lprcDst);
}
