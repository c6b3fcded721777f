#include "grid/core/CGXDrawingAndFormatting.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXDIB.h"
#include "grid/core/CGXDIBPool.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXPen.h"
#include "grid/core/GXDrawingHelpers.h"
#include "grid/data/CGXUserAttribute.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/dlg/CEdit.h"
#include "platform/core/CodePage.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {
// The 8x8 monochrome patterns, one byte per row, top row first: dots, lines and hatches.
constexpr BYTE kPatterns[CGXDrawingAndFormatting::kPatternCount][8] = {
    {0x44, 0x11, 0x44, 0x11, 0x44, 0x11, 0x44, 0x11}, {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA},
    {0xBB, 0xEE, 0xBB, 0xEE, 0xBB, 0xEE, 0xBB, 0xEE}, {0x88, 0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00},
    {0x80, 0x00, 0x08, 0x00, 0x80, 0x00, 0x08, 0x00}, {0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD, 0x77, 0xDD},
    {0xFF, 0xFF, 0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00}, {0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},
    {0x33, 0x66, 0xCC, 0x99, 0x33, 0x66, 0xCC, 0x99}, {0xCC, 0x66, 0x33, 0x99, 0xCC, 0x66, 0x33, 0x99},
    {0xCC, 0xCC, 0x33, 0x33, 0xCC, 0xCC, 0x33, 0x33}, {0xFF, 0x99, 0xFF, 0xFF, 0x99, 0xFF, 0xFF, 0x99},
    {0xFF, 0x00, 0x00, 0x00, 0xFF, 0x00, 0x00, 0x00}, {0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88, 0x88},
    {0x11, 0x22, 0x44, 0x88, 0x11, 0x22, 0x44, 0x88}, {0x88, 0x44, 0x22, 0x11, 0x88, 0x44, 0x22, 0x11},
    {0xFF, 0x88, 0x88, 0x88, 0xFF, 0x88, 0x88, 0x88}, {0x99, 0x66, 0x66, 0x99, 0x99, 0x66, 0x66, 0x99},
    {0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0xFF, 0x00}, {0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA},
    {0x01, 0x02, 0x04, 0x08, 0x10, 0x20, 0x40, 0x80}, {0x80, 0x40, 0x20, 0x10, 0x08, 0x04, 0x02, 0x01},
    {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81}, {0xFF, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80},
    {0x08, 0x1C, 0x22, 0xC1, 0x80, 0x01, 0x02, 0x04}, {0x88, 0x14, 0x22, 0x41, 0x88, 0x00, 0xAA, 0x00},
    {0x40, 0xA0, 0x00, 0x00, 0x04, 0x0A, 0x00, 0x00}, {0x20, 0x50, 0x88, 0x88, 0x88, 0x88, 0x05, 0x02},
    {0x82, 0x44, 0x39, 0x44, 0x82, 0x01, 0x01, 0x01}, {0xF8, 0x74, 0x22, 0x47, 0x8F, 0x17, 0x22, 0x71},
    {0x77, 0x89, 0x8F, 0x8F, 0x77, 0x98, 0xF8, 0xF8}, {0x00, 0x08, 0x14, 0x2A, 0x55, 0x2A, 0x14, 0x08},
    {0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xFF}, {0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01, 0x01},
    {0xF0, 0xF0, 0xF0, 0xF0, 0x0F, 0x0F, 0x0F, 0x0F}, {0x10, 0x10, 0x10, 0xFF, 0x10, 0x10, 0x10, 0x10},
    {0x00, 0x22, 0x00, 0x88, 0x00, 0x22, 0x00, 0x88}, {0x00, 0x44, 0x00, 0x00, 0x00, 0x44, 0x00, 0x00},
    {0xEE, 0xDD, 0xBB, 0x77, 0xEE, 0xDD, 0xBB, 0x77}, {0x77, 0xBB, 0xDD, 0xEE, 0x77, 0xBB, 0xDD, 0xEE},
    {0x7F, 0xFF, 0xF7, 0xFF, 0x7F, 0xFF, 0xF7, 0xFF},
};

std::unique_ptr<CGXDrawingAndFormatting>& Instance()
{
    static std::unique_ptr<CGXDrawingAndFormatting> p;
    return p;
}

class CGXDefaultDrawingAndFormatting : public CGXDrawingAndFormatting {};

int TextWidth(CDC* pDC, LPCTSTR p, int n)
{
    return n <= 0 ? 0 : pDC->GetTextExtent(p, n).cx;
}

// The byte length of the UTF-8 character at p (never past the end).
int CharLen(LPCTSTR p, int nLeft)
{
    if (nLeft <= 0)
        return 0;
    const int n = static_cast<int>(CharNext(p) - p);
    return std::clamp(n, 1, nLeft);
}

// Steps back over one whole UTF-8 character that ends at nEnd.
int PrevCharStart(LPCTSTR p, int nEnd)
{
    int i = nEnd - 1;
    while (i > 0 && (static_cast<BYTE>(p[i]) & 0xC0) == 0x80)
        --i;
    return std::max(i, 0);
}

// Whether the n bytes at p are no wider than nWidth. Text only grows wider as characters are
// added, so a long text is measured in growing beginnings, each ending at a whole character,
// until one is too wide or the whole is measured: a value of megabytes costs what a cell shows.
bool FitsWithin(CDC* pDC, LPCTSTR p, int n, int nWidth)
{
    for (int m = std::min(n, std::max(256, 8 * nWidth));; m = m > n / 4 ? n : m * 4) {
        if (m < n)
            m = std::max(PrevCharStart(p, m + 1), 1);
        if (TextWidth(pDC, p, m) > nWidth)
            return false;
        if (m >= n)
            return true;
    }
}

// The end of a path that fits in nWidth after "...": cut at a '/' while the file's name still
// shows whole, else inside the name, always at a whole character.
CString PathEnd(CDC* pDC, LPCTSTR s, int n, int nWidth)
{
    const int nDots = TextWidth(pDC, "...", 3);
    // The extent of the text up to and including each byte's character, measured once.
    std::vector<int> extents(static_cast<size_t>(n));
    SIZE size{};
    if (!::GetTextExtentExPoint(pDC->GetSafeHdc(), s, n, 0, nullptr, extents.data(), &size))
        return CString("...");
    auto fits = [&](int k) { return nDots + size.cx - (k > 0 ? extents[static_cast<size_t>(k - 1)] : 0) <= nWidth; };
    int k = 0;
    while (k < n && !fits(k))
        k += CharLen(s + k, n - k);
    const char* slash = static_cast<const char*>(std::memchr(s + k, '/', static_cast<size_t>(n - k)));
    if (slash != nullptr)
        k = static_cast<int>(slash - s);
    // The sum of the characters may round differently from the whole: the shown text is measured.
    CString sShown = CString("...") + CString(s + k, n - k);
    while (k < n && TextWidth(pDC, sShown, sShown.GetLength()) > nWidth) {
        k += CharLen(s + k, n - k);
        sShown = CString("...") + CString(s + k, n - k);
    }
    return sShown;
}

int LineStep(const TEXTMETRIC& tm)
{
    const int h = tm.tmHeight + tm.tmExternalLeading;
    return h >= 20 ? h - 1 : h;
}

int LineX(UINT nFormat, const CRect& rect, int nWidth)
{
    if (nFormat & DT_RIGHT)
        return std::max<int>(rect.right - nWidth, rect.left);
    if (nFormat & DT_CENTER)
        return std::max<int>(rect.left + (rect.Width() - nWidth) / 2, rect.left);
    return rect.left;
}

// Draws text clipped to a rectangle, leaving the DC's clipping as it was.
void TextOutClipped(CDC* pDC, int x, int y, LPCTSTR p, int n, const CRect& clip)
{
    // On paper a character wider than its cell may be printed whole when the program asks so.
    if (pDC->IsPrinting() && GXGetAppData()->m_bNoClipWhenPrinting) {
        pDC->TextOut(x, y, p, n);
        return;
    }
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(&clip);
    pDC->TextOut(x, y, p, n);
    pDC->RestoreDC(nSaved);
}
} // namespace

CGXDrawingAndFormatting::~CGXDrawingAndFormatting() = default;

CGXDrawingAndFormatting* CGXDrawingAndFormatting::GetInstance()
{
    auto& p = Instance();
    if (!p)
        p = std::make_unique<CGXDefaultDrawingAndFormatting>();
    return p.get();
}

void CGXDrawingAndFormatting::SetInstance(std::unique_ptr<CGXDrawingAndFormatting> pInstance)
{
    Instance() = std::move(pInstance);
}

CBitmap* CGXDrawingAndFormatting::GetPatternBitmap(int nIndex)
{
    static_assert(CGXPen::kLinePatternFirst == kPatternCount && CGXPen::kLinePatternCount == 8);
    if (nIndex < 0 || nIndex >= kPatternCount + static_cast<int>(CGXPen::kLinePatternCount))
        return nullptr;
    auto& pBitmap = m_patterns[nIndex];
    if (!pBitmap) {
        // Rows padded to 16 bits, as monochrome bitmaps are stored. A dash pattern's set bits
        // are the pen's: they draw in the text (foreground) colour, as cleared bits do.
        WORD rows[8];
        BYTE dash[8];
        const BOOL bDash = CGXPen::GetLinePatternRows(static_cast<UINT>(nIndex), dash);
        for (int i = 0; i < 8; ++i)
            rows[i] = bDash ? static_cast<WORD>(static_cast<BYTE>(~dash[i])) : kPatterns[nIndex][i];
        pBitmap = std::make_unique<CBitmap>();
        if (!pBitmap->CreateBitmap(8, 8, 1, 1, rows)) {
            pBitmap.reset();
            return nullptr;
        }
    }
    return pBitmap.get();
}

int CGXDrawingAndFormatting::CalcTextLineCount(CDC* pDC, LPCTSTR lpszString, int nCount, CRect& rect, UINT nFormat)
{
    return CalcTextLines(pDC, lpszString, nCount, rect, nFormat, nullptr, nullptr, kMaxLines);
}

int CGXDrawingAndFormatting::CalcTextLines(CDC* pDC, LPCTSTR s, int n, CRect& rect, UINT nFormat, int* anStarts, int* anLengths, int nMaxLines)
{
    if (pDC == nullptr || s == nullptr)
        return 0;
    if (n < 0)
        n = static_cast<int>(std::strlen(s));
    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const int h = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    const int W = rect.Width() + 1;
    const int F = h < (rect.bottom - h / 3) - rect.top ? rect.Height() / h : 0;
    const BOOL bWordBreak = (nFormat & DT_WORDBREAK) != 0;
    const auto isBreak = [](char c) { return c == '\r' || c == '\n'; };

    int nLines = 0;
    int y = rect.top;
    int p = 0;
    const auto addLine = [&](int nStart, int nLength) {
        if (anStarts != nullptr)
            anStarts[nLines] = nStart;
        if (anLengths != nullptr)
            anLengths[nLines] = nLength;
        ++nLines;
        y += h + 1;
    };
    // A single line that fits whole needs one measure, not one per word.
    if (!bWordBreak && nMaxLines > 0 && n > 0 && std::memchr(s, '\r', static_cast<size_t>(n)) == nullptr &&
        std::memchr(s, '\n', static_cast<size_t>(n)) == nullptr && FitsWithin(pDC, s, n, W)) {
        addLine(0, n);
        p = n;
    }
    while (p < n && nLines < nMaxLines && (F == 0 ? nLines < 1 : nLines < F)) {
        const int start = p;
        int q = p;
        int nWords = 0;
        BOOL bBreak = FALSE;
        BOOL bWrapped = FALSE;
        for (;;) {
            int r = q;
            while (r < n && s[r] == ' ')
                ++r;
            if (r >= n) {
                q = r;
                break;
            }
            if (isBreak(s[r])) {
                q = r;
                bBreak = TRUE;
                break;
            }
            int e = r;
            while (e < n && s[e] != ' ' && !isBreak(s[e]))
                ++e;
            if (FitsWithin(pDC, s + start, e - start, W)) {
                q = e;
                ++nWords;
                continue;
            }
            if (nWords >= 1 && F > 0 && bWordBreak) {
                bWrapped = TRUE;
                break;
            }
            // Cut by whole characters: as many as still fit, at least one.
            int c = start;
            while (c < n && !isBreak(s[c])) {
                const int nx = c + CharLen(s + c, n - c);
                if (TextWidth(pDC, s + start, nx - start) > W)
                    break;
                c = nx;
            }
            if (c == start)
                c = start + CharLen(s + start, n - start);
            q = c;
            bWrapped = TRUE;
            break;
        }
        addLine(start, q - start);
        p = q;
        if (bBreak) {
            if (s[p] == '\r' && p + 1 < n && s[p + 1] == '\n')
                p += 2;
            else
                ++p;
            if (p >= n && bWordBreak && nLines < nMaxLines && (F == 0 || nLines < F))
                addLine(p, 0);
        } else if (bWrapped) {
            while (p < n && s[p] == ' ')
                ++p;
        }
        if (!bWordBreak)
            break;
    }
    if (y < rect.bottom) {
        if (nFormat & DT_VCENTER)
            rect.top += ((rect.bottom - y) + tm.tmExternalLeading) / 2;
        else if (nFormat & DT_BOTTOM)
            rect.top += rect.bottom - y;
    }
    return nLines;
}

int CGXDrawingAndFormatting::DrawMultiLineText(CDC* pDC, LPCTSTR s, int n, const CRect& rectIn, UINT nFormat, LPCRECT lpRectClip)
{
    return DrawTextEllipsis(pDC, s, n, rectIn, nFormat, lpRectClip, 0);
}

int CGXDrawingAndFormatting::DrawTextEllipsis(CDC* pDC, LPCTSTR s, int n, const CRect& rectIn, UINT nFormat, LPCRECT lpRectClip, int nMode)
{
    if (pDC == nullptr || s == nullptr)
        return 0;
    if (n < 0)
        n = static_cast<int>(std::strlen(s));
    CRect rect = rectIn;
    int starts[kMaxLines], lengths[kMaxLines];
    const int nLines = CalcTextLines(pDC, s, n, rect, nFormat, starts, lengths, kMaxLines);
    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const int step = LineStep(tm);
    const CRect clip = lpRectClip != nullptr ? CRect(*lpRectClip) : rectIn;
    int y = rect.top;
    for (int i = 0; i < nLines; ++i, y += step) {
        LPCTSTR line = s + starts[i];
        int len = lengths[i];
        const BOOL bOneChar = len > 0 && CharLen(line, len) == len;
        // Left-aligned lines of more than one character need no measure to be placed.
        const int width = (bOneChar || (nFormat & (DT_RIGHT | DT_CENTER))) ? TextWidth(pDC, line, len) : 0;
        const BOOL bRest = starts[i] + len >= n; // the line holds the rest of the text
        if (nMode == 2 && (nFormat & DT_SINGLELINE) && !bRest) {
            const int wHash = std::max(1, TextWidth(pDC, "#", 1));
            const int nHashes = rectIn.Width() / wHash;
            if (nHashes <= 0) {
                TextOutClipped(pDC, rect.left, y, "#", 1, clip);
            } else {
                const CString sHashes('#', nHashes);
                pDC->TextOut(LineX(nFormat, rect, nHashes * wHash), y, sHashes, nHashes);
            }
            continue;
        }
        if (nMode == kPathEllipsis && (nFormat & DT_SINGLELINE) && !bRest) {
            // The whole rest of the text gives up its start, not the line cut to the width.
            const CString sShown = PathEnd(pDC, line, n - starts[i], rectIn.Width());
            const int w = TextWidth(pDC, sShown, sShown.GetLength());
            // Not even the dots fit: they are cut at the cell's edge, not drawn over the next.
            if (w > rectIn.Width())
                TextOutClipped(pDC, rect.left, y, sShown, sShown.GetLength(), clip);
            else
                pDC->TextOut(LineX(nFormat, rect, w), y, sShown, sShown.GetLength());
            continue;
        }
        if (bOneChar && width > clip.Width()) {
            TextOutClipped(pDC, clip.left, y, line, len, clip);
            continue;
        }
        if (bOneChar && width > rect.Width()) {
            pDC->TextOut(std::max<int>(clip.right - width, rect.left), y, line, len);
            continue;
        }
        const BOOL bLastFitting = i == nLines - 1 || rect.bottom - (y + step) < tm.tmAscent * 3 / 4 + step;
        if (nMode == 1 && bLastFitting && len >= 2 && !bRest) {
            // Shorten by whole characters so a multi-byte character is never split.
            CString sDots("...");
            CString sLine = CString(line, len) + sDots;
            while (TextWidth(pDC, sLine, sLine.GetLength()) > rect.Width()) {
                if (len > 0 && CharLen(line, len) < len) {
                    len = PrevCharStart(line, len);
                } else if (!sDots.IsEmpty()) {
                    sDots = sDots.Left(sDots.GetLength() - 1);
                } else {
                    break;
                }
                sLine = CString(line, len) + sDots;
            }
            const int w = TextWidth(pDC, sLine, sLine.GetLength());
            pDC->TextOut(LineX(nFormat, rect, w), y, sLine, sLine.GetLength());
            if (i == nLines - 1 || bLastFitting)
                break;
            continue;
        }
        pDC->TextOut(LineX(nFormat, rect, width), y, line, len);
    }
    return 0;
}

int CGXDrawingAndFormatting::DrawRotatedText(CDC* pDC, LPCTSTR s, int n, const CRect& rect, UINT nFormat, LONG lfOrientation, LPCRECT lpRectClip)
{
    auto* pImp = dynamic_cast<CGXAbstractDrawRotatedTextImp*>(GXGetAppData()->m_pDrawRotatedTextImp);
    return pImp != nullptr ? pImp->DrawRotatedText(pDC, s, n, rect, nFormat, lfOrientation, lpRectClip) : 0;
}

int CGXDrawingAndFormatting::GetCharIndexFromPoint(CDC* pDC, LPCTSTR s, int n, const CRect& rectIn, UINT nFormat, int x, int y)
{
    if (pDC == nullptr || s == nullptr)
        return -1;
    if (n < 0)
        n = static_cast<int>(std::strlen(s));
    CRect rect = rectIn;
    int starts[kMaxLines], lengths[kMaxLines];
    const int nLines = CalcTextLines(pDC, s, n, rect, nFormat, starts, lengths, kMaxLines);
    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const int h = std::max<int>(1, tm.tmHeight + tm.tmExternalLeading);
    int top = rect.top;
    int i = 0;
    while (i < nLines && y >= top + h) {
        top += h;
        ++i;
    }
    if (i >= nLines || y < rect.top)
        return -1;
    LPCTSTR line = s + starts[i];
    const int len = lengths[i];
    const int left = LineX(nFormat, rect, TextWidth(pDC, line, len));
    const int slack = tm.tmMaxCharWidth / 3;
    if (x < left - slack)
        return -1;
    int taken = 0;
    while (taken < len) {
        const int nx = taken + CharLen(line + taken, len - taken);
        if (left + TextWidth(pDC, line, nx) > x) {
            // The character under x: take it when x lies in its right half.
            const int mid = left + (TextWidth(pDC, line, taken) + TextWidth(pDC, line, nx)) / 2;
            if (x >= mid)
                taken = nx;
            return starts[i] + taken;
        }
        taken = nx;
    }
    if (x > left + TextWidth(pDC, line, len) + slack)
        return -1;
    return starts[i] + taken;
}

CString CGXDrawingAndFormatting::FormatValue(const CGXStyle& style, LPCTSTR pszValue)
{
    if (auto* pImp = dynamic_cast<CGXAbstractNumberFormattingImp*>(GXGetAppData()->m_pNumberFormattingImp))
        return pImp->FormatValue(style, pszValue);
    if (pszValue != nullptr)
        return CString(pszValue);
    return style.GetInclude(GX_INCL_VALUE) ? style.GetValue() : CString();
}

BOOL CGXDrawingAndFormatting::ParseValue(const CGXStyle& style, CString& sValue)
{
    auto* pImp = dynamic_cast<CGXAbstractNumberFormattingImp*>(GXGetAppData()->m_pNumberFormattingImp);
    return pImp != nullptr && pImp->ParseValue(style, sValue);
}

void CGXDrawingAndFormatting::Draw3dRect(CDC* pDC, int l, int t, int r, int b, int nWidth, COLORREF c1, COLORREF c2)
{
    if (pDC == nullptr)
        return;
    const COLORREF old = pDC->GetBkColor();
    for (int i = 0; i < nWidth; ++i, ++l, ++t, --r, --b) {
        FillRectSolid(pDC, CRect(l, t, r, t + 1), c1);
        FillRectSolid(pDC, CRect(l, t, l + 1, b), c1);
        FillRectSolid(pDC, CRect(l, b, r + 1, b + 1), c2);
        FillRectSolid(pDC, CRect(r, t, r + 1, b), c2);
    }
    pDC->SetBkColor(old);
}

void CGXDrawingAndFormatting::Draw3dFrame(CDC* pDC, CRect rect, BOOL bFrame, BOOL bSunken)
{
    if (pDC == nullptr)
        return;
    if (bFrame) {
        if (bSunken)
            pDC->DrawEdge(&rect, 12, BF_RECT | BF_ADJUST | BF_FLAT);
        else
            pDC->DrawEdge(&rect, 3, BF_RECT | BF_ADJUST | BF_MONO);
    }
    if (bSunken)
        pDC->DrawEdge(&rect, EDGE_SUNKEN, BF_RECT | BF_ADJUST);
}

void CGXDrawingAndFormatting::DrawFocusText(CDC* pDC, const CRect& rect, LPCTSTR lpszText, UINT nFormat, BOOL bFocus)
{
    if (pDC == nullptr)
        return;
    pDC->SetBkMode(TRANSPARENT);
    CRect calc(0, 0, rect.Width(), rect.Height());
    const CString sMeasure = lpszText != nullptr && *lpszText != 0 ? CString(lpszText) : CString("--");
    pDC->DrawText(sMeasure, &calc, nFormat | DT_CALCRECT);
    calc.InflateRect(3, 0);
    CRect centred(CPoint(rect.left + (rect.Width() - calc.Width()) / 2, rect.top + (rect.Height() - calc.Height()) / 2), calc.Size());
    centred.IntersectRect(centred, rect);
    if (lpszText != nullptr)
        DrawMultiLineText(pDC, lpszText, -1, centred, nFormat | DT_CENTER, nullptr);
    if (bFocus) {
        const COLORREF rgb = GetSysColor(COLOR_BTNSHADOW);
        const int w = centred.Width(), h = centred.Height();
        FillRectSolid(pDC, centred.left + 2, centred.top, w - 3, 1, rgb);
        FillRectSolid(pDC, centred.left + 2, centred.bottom - 1, w - 3, 1, rgb);
        FillRectSolid(pDC, centred.left, centred.top + 2, 1, h - 3, rgb);
        FillRectSolid(pDC, centred.right - 1, centred.top + 2, 1, h - 3, rgb);
    }
}

void CGXDrawingAndFormatting::DrawStaticCell(CGXControl* pControl, CDC* pDC, const CRect& rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                                             const CGXStyle* pStandardStyle)
{
    if (pControl == nullptr || pDC == nullptr)
        return;
    CGXGridCore* pGrid = pControl->Grid();
    // The cell's own background, unless the grid painted it with its neighbours.
    if (pGrid != nullptr && (pGrid->GetEraseBackground() || !pGrid->IsDrawing()) && style.GetInclude(GX_INCL_INTERIOR))
        pGrid->FillRectWithBrush(pDC, pControl->GetCellRect(nRow, nCol, const_cast<CRect*>(&rect), &style), style.GetInterior());

    // A raised or inset cell (the headers) gets its 3D edge just inside its grid lines.
    if (style.GetInclude(GX_INCL_DRAW3DFRAME) && style.GetDraw3dFrame() != GX_3D_NONE) {
        CRect edge = pControl->GetCellRect(nRow, nCol, const_cast<CRect*>(&rect), &style);
        edge.InflateRect(1, 1);
        if (edge.Width() > 2 && edge.Height() > 2) {
            const COLORREF rgbLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
            const COLORREF rgbDark = ::GetSysColor(COLOR_BTNSHADOW);
            const BOOL bRaised = style.GetDraw3dFrame() == GX_3D_RAISED;
            Draw3dRect(pDC, edge.left, edge.top, edge.right - 1, edge.bottom - 1, 1, bRaised ? rgbLight : rgbDark, bRaised ? rgbDark : rgbLight);
        }
    }

    CString sText;
    const CGXGridParam* pParam = pGrid != nullptr ? pGrid->GetParam() : nullptr;
    if (pParam != nullptr && pParam->m_bRawValues)
        sText = style.GetValue();
    else
        pControl->GetControlText(sText, nRow, nCol, nullptr, style);
    if (sText.IsEmpty() || rect.Width() < 2 || rect.Height() < 2) {
        pControl->CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    // A text that names a bitmap of the pool shows the bitmap, except in a cell whose control
    // edits its text in an edit window.
    if (HBITMAP hBitmap = LookupCellBitmap(pControl, sText)) {
        CGXDIB dib;
        if (dib.Attach(hBitmap)) {
            UINT nAlign = 0;
            if (style.GetHorizontalAlignment() == 1)
                nAlign |= CGXDIB::alignCenter;
            else if (style.GetHorizontalAlignment() == 2)
                nAlign |= CGXDIB::alignRight;
            if (style.GetVerticalAlignment() == 1)
                nAlign |= CGXDIB::alignVCenter;
            else if (style.GetVerticalAlignment() == 2)
                nAlign |= CGXDIB::alignBottom;
            dib.Draw(pDC, pControl->GetCellRect(nRow, nCol, const_cast<CRect*>(&rect), &style), nAlign);
            dib.Detach();
        }
        pControl->CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
        return;
    }
    CFont* pOldFont = pControl->LoadFont(pDC, style, pStandardStyle);
    CRect inner = pControl->GetCellRect(nRow, nCol, const_cast<CRect*>(&rect), &style);
    // Text keeps a little air from the lines around it.
    if (inner.Width() > 6)
        inner.DeflateRect(kTextAir, 0, kTextAir, 0);
    if (inner.Height() > 4)
        inner.top += 1;
    // A column header cut by the grid's right edge lays its title out in the part that shows:
    // centred in the whole cell it would lie beyond the edge, and the header would look blank.
    if (pGrid != nullptr && !pDC->IsPrinting() && style.GetHorizontalAlignment() != 0 && nRow <= pGrid->GetHeaderRows() &&
        nCol > pGrid->GetHeaderCols()) {
        CRect grid;
        pGrid->GetGridRect(&grid);
        if (inner.right > grid.right && grid.right > inner.left)
            inner.right = grid.right;
    }
    const CGXProperties* pProps = pParam != nullptr ? pParam->GetProperties() : nullptr;
    const BOOL bBlackWhite = pProps != nullptr && pProps->m_bPrintMode && pProps->m_bBlackWhite;
    const CGXSysColorCache& colors = *GXGetSysData();
    const COLORREF rgbText = bBlackWhite ? 0 : (style.GetInclude(GX_INCL_TEXTCOLOR) ? colors.Resolve(style.GetTextColor()) : 0);
    const COLORREF rgbBack = bBlackWhite ? 0xFFFFFF : colors.Resolve(style.GetInterior().GetForeColor());

    UINT nFormat = DT_NOPREFIX | (style.GetWrapText() ? DT_WORDBREAK : DT_SINGLELINE);
    switch (style.GetHorizontalAlignment()) {
    case 1: nFormat |= DT_CENTER; break;
    case 2: nFormat |= DT_RIGHT; break;
    default: break;
    }
    switch (style.GetVerticalAlignment()) {
    case 1: nFormat |= DT_VCENTER; break;
    case 2: nFormat |= DT_BOTTOM; break;
    default: break;
    }
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(rgbText);
    pDC->SetBkColor(rgbBack);
    // A line taller than the cell would spill over its neighbours.
    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const BOOL bClip = tm.tmHeight > inner.Height();
    int nSaved = 0;
    if (bClip) {
        nSaved = pDC->SaveDC();
        pDC->IntersectClipRect(&inner);
    }
    if (style.GetInclude(GX_INCL_FONT) && style.GetFont().GetInclude(GX_FONT_ORIENTATION) && style.GetFont().GetOrientation() != 0)
        DrawRotatedText(pDC, sText, sText.GetLength(), inner, nFormat, style.GetFont().GetOrientation(), &inner);
    else if (style.HasUserAttribute(GX_IDS_UA_ELLIPSISTYPE))
        DrawTextEllipsis(pDC, sText, sText.GetLength(), inner, nFormat, &inner, static_cast<int>(style.GetUserAttribute(GX_IDS_UA_ELLIPSISTYPE).GetLongValue()));
    else if (pGrid != nullptr && (nRow <= pGrid->GetHeaderRows() || nCol <= pGrid->GetHeaderCols()))
        // A header's title that does not fit ends in dots: cut at a letter it reads as another
        // name. Zoomed fonts grow by whole sizes and the columns by the zoom, so a title that
        // fits at 100% may not fit zoomed in.
        DrawTextEllipsis(pDC, sText, sText.GetLength(), inner, nFormat, &inner, kDottedEllipsis);
    else
        DrawMultiLineText(pDC, sText, sText.GetLength(), inner, nFormat, &inner);
    if (bClip)
        pDC->RestoreDC(nSaved);
    pControl->CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
}

HBITMAP CGXDrawingAndFormatting::LookupCellBitmap(CGXControl* pControl, const CString& sText)
{
    const CGXDIBPool* pPool = CGXDIBPool::GetExisting();
    if (pPool == nullptr || pControl == nullptr || pControl->IsWindowKindOf(RUNTIME_CLASS(CEdit)))
        return nullptr;
    return pPool->Lookup(sText);
}

// ---- Rotated text ----

void CGXDrawRotatedTextImp::Install()
{
    CGXGridAppData* pData = GXGetAppData();
    pData->InstallImp<CGXDrawRotatedTextImp>(pData->m_pDrawRotatedTextImp);
}

int CGXDrawRotatedTextImp::DrawRotatedText(CDC* pDC, LPCTSTR s, int n, const CRect& rect, UINT nFormat, LONG lfOrientation, LPCRECT lpRectClip)
{
    if (pDC == nullptr || s == nullptr)
        return 0;
    if (n < 0)
        n = static_cast<int>(std::strlen(s));
    const CSize size = pDC->GetTextExtent(s, n);
    const double cx = size.cx, cy = size.cy;
    // Any angle, however many turns it holds, comes into [0, 360).
    double a = std::fmod(lfOrientation * 0.1, 360.0);
    if (a < 0)
        a += 360.0;
    const int nSaved = pDC->SaveDC();
    pDC->IntersectClipRect(lpRectClip != nullptr ? lpRectClip : &rect);
    constexpr double kRad = 3.1415926535 / 180;
    const double W = rect.Width(), H = rect.Height();
    double x, y, r;
    if (a <= 90) {
        r = a * kRad;
        x = rect.left;
        y = rect.top + cx * std::sin(r) + cy / 2;
    } else if (a < 180) {
        r = (a - 90) * kRad;
        x = std::min<double>(rect.left + cx * std::sin(r), rect.right - cy);
        y = rect.top + cx * std::cos(r) + cy;
    } else if (a <= 270) {
        r = (a - 180) * kRad;
        x = rect.left + cx * std::cos(r) + cy;
        y = rect.top;
    } else {
        r = (a - 270) * kRad;
        x = rect.left + cy * std::sin(r);
        y = rect.top;
    }
    if (nFormat & DT_RIGHT)
        x += W - cx * std::cos(r) - cy;
    else if (nFormat & DT_CENTER)
        x += (W - cx * std::cos(r)) / 2 - cy / 2;
    if (nFormat & DT_BOTTOM)
        y += H - cx * std::sin(r) - cy;
    else if (nFormat & DT_VCENTER)
        y += (H - cx * std::sin(r)) / 2 - cy / 2;
    pDC->TextOut(static_cast<int>(x), static_cast<int>(y), s, n);
    pDC->RestoreDC(nSaved);
    return 0;
}
