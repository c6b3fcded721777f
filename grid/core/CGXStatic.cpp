#include "grid/core/CGXStatic.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXGdiRecords.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

IMPLEMENT_DYNAMIC(CGXStatic, CGXControl)

namespace {
// Black: the text colour of a style that sets none.
constexpr COLORREF kDefaultText = 0x000000;
} // namespace

UINT CGXStatic::GetDrawTextFormat(const CGXStyle& style)
{
    UINT nFormat = DT_NOPREFIX;
    switch (style.GetHorizontalAlignment()) {
    case 1: nFormat |= DT_CENTER; break;
    case 2: nFormat |= DT_RIGHT; break;
    default: break;
    }
    if (style.GetWrapText()) {
        nFormat |= DT_WORDBREAK;
    } else {
        nFormat |= DT_SINGLELINE;
        // Vertical alignment of wrapped text needs its height first: the drawing object of the
        // grid lays out such cells; a single line the device context can place by itself.
        switch (style.GetVerticalAlignment()) {
        case 1: nFormat |= DT_VCENTER; break;
        case 2: nFormat |= DT_BOTTOM; break;
        default: break;
        }
    }
    return nFormat;
}

void CGXStatic::DrawStaticCell(HDC hDC, const RECT& rect, const CGXStyle& style, const CGXSysColorCache& colors)
{
    if (hDC == nullptr || rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    const int nSaved = SaveDC(hDC);
    IntersectClipRect(hDC, rect.left, rect.top, rect.right, rect.bottom);

    if (style.GetInclude(GX_INCL_INTERIOR)) {
        LOGBRUSH lb = GXGetLogBrush(style.GetInterior(), colors);
        // Pattern brushes need the pattern table of the drawing layer; until then their
        // background colour fills the cell, which keeps the text readable.
        if (lb.lbStyle != BS_SOLID)
            lb = LOGBRUSH{BS_SOLID, colors.Resolve(style.GetInterior().GetBackColor()), 0};
        if (lb.lbStyle == BS_SOLID) {
            HBRUSH hBrush = CreateBrushIndirect(&lb);
            FillRect(hDC, &rect, hBrush);
            DeleteObject(hBrush);
        }
    }

    const CString& sValue = style.GetValue();
    if (!sValue.IsEmpty()) {
        HFONT hFont = nullptr;
        HGDIOBJ hOldFont = nullptr;
        if (style.GetInclude(GX_INCL_FONT)) {
            LOGFONT lf = GXGetLogFont(style.GetFont());
            hFont = CreateFontIndirect(&lf);
            if (hFont != nullptr)
                hOldFont = SelectObject(hDC, hFont);
        }
        SetBkMode(hDC, TRANSPARENT);
        SetTextColor(hDC, style.GetInclude(GX_INCL_TEXTCOLOR) ? colors.Resolve(style.GetTextColor()) : kDefaultText);
        RECT textRect = rect;
        DrawText(hDC, sValue, sValue.GetLength(), &textRect, GetDrawTextFormat(style));
        if (hOldFont != nullptr)
            SelectObject(hDC, hOldFont);
        if (hFont != nullptr)
            DeleteObject(hFont);
    }
    RestoreDC(hDC, nSaved);
}

void CGXStatic::Draw(CDC* pDC, CRect rect, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style, const CGXStyle* pStandardStyle)
{
    if (pDC == nullptr)
        return;
    const CRect inner = GetCellRect(nRow, nCol, &rect, &style);
    DrawStaticCell(pDC->GetSafeHdc(), inner, style, *GXGetSysData());
    CGXControl::Draw(pDC, rect, nRow, nCol, style, pStandardStyle);
}

BOOL CGXStatic::CanFloatCell(ROWCOL, ROWCOL, const CGXStyle&, BOOL)
{
    // FIXME: the floating-cells feature decides; without it nothing floats.
    return FALSE;
}

CSize CGXStatic::CalcSize(CDC*, ROWCOL, ROWCOL, const CGXStyle&, const CGXStyle*, BOOL)
{
    // FIXME: the size-from-contents feature measures the text; without it the size is unknown.
    return CSize(0, 0);
}
