#include "grid/core/CGXCalcSizeImp.h"
#include "grid/core/CGXDIB.h"

#include "grid/core/CGXControl.h"
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/GXDrawingHelpers.h"
#include "platform/afx/gdi/CDC.h"

#include <algorithm>

void CGXCalcSizeImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pCalcSizeImp != nullptr)
        return;
    auto* pImp = new CGXCalcSizeImp;
    pGrid->m_pCalcSizeImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

CSize CGXCalcSizeImp::CalcSize(CGXControl* pControl, CDC* pDC, ROWCOL nRow, ROWCOL nCol, const CGXStyle& style,
                               const CGXStyle* pStandardStyle, BOOL bVert)
{
    CGXGridCore* pGrid = pControl != nullptr ? pControl->Grid() : nullptr;
    if (pGrid == nullptr || pDC == nullptr)
        return CSize(0, 0);
    CString sText;
    if (pGrid->GetParam() != nullptr && pGrid->GetParam()->m_bShowStoredValues)
        sText = pGrid->GetStoredCellValue(nRow, nCol);
    else
        pControl->GetControlText(sText, nRow, nCol, nullptr, style);

    // A text that names a bitmap of the pool needs the bitmap's size.
    if (HBITMAP hBitmap = CGXDrawingAndFormatting::LookupCellBitmap(pControl, sText)) {
        CGXDIB dib;
        if (dib.Attach(hBitmap)) {
            const CSize size(dib.GetWidth(), dib.GetHeight());
            dib.Detach();
            return pGrid->AddBordersToSize(size.cx, size.cy, style);
        }
    }

    CFont* pOldFont = pControl->LoadFont(pDC, style, pStandardStyle);

    // The area of the cell, or of the whole span it belongs to.
    CGXRange span(nRow, nCol, nRow, nCol);
    if (pGrid->FindCellSpan(nRow, nCol, span) == nullptr)
        span = CGXRange(nRow, nCol, nRow, nCol);
    CRect area(0, 0, pGrid->SumColWidths(span.left, span.right), pGrid->SumRowHeights(span.top, span.bottom));
    const CRect inner = pControl->GetCellRect(nRow, nCol, &area, &style);

    UINT nFormat = 0;
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

    TEXTMETRIC tm{};
    pDC->GetTextMetrics(&tm);
    const int nLineHeight = tm.tmHeight + tm.tmExternalLeading;
    const BOOL bWrap = style.GetInclude(GX_INCL_WRAPTEXT) && style.GetWrapText();
    int cx = 0, cy = 0;
    if (sText.IsEmpty()) {
        cx = tm.tmMaxCharWidth;
        cy = nLineHeight + 1;
    } else {
        nFormat |= DT_NOPREFIX | DT_WORDBREAK;
        int anStarts[kMaxLines] = {};
        int anLengths[kMaxLines] = {};
        int nLines = 1;
        if (bWrap) {
            CRect rect(inner.left, inner.top, inner.right, 32767);
            nLines = CGXDrawingAndFormatting::GetInstance()->CalcTextLines(pDC, sText, -1, rect, nFormat, anStarts, anLengths, kMaxLines);
            nLines = std::clamp(nLines, 1, kMaxLines);
        }
        if (!bVert) {
            if (bWrap && nLines * nLineHeight + 1 <= inner.Height()) {
                for (int i = 0; i < nLines; ++i)
                    cx = std::max<int>(cx, pDC->GetTextExtent(sText.Mid(anStarts[i], anLengths[i])).cx);
            } else {
                // Cut at its line breaks: the widest piece.
                CString sRest = sText, sLine;
                for (int nGuard = 0; nGuard <= sText.GetLength(); ++nGuard) {
                    const int nBreak = TakeFirstLine(sRest, sLine);
                    cx = std::max<int>(cx, pDC->GetTextExtent(sLine).cx);
                    if (nBreak < 0)
                        break;
                }
            }
            // The text is drawn with air at both sides: a width without it would cut its end.
            cx += 2 * CGXDrawingAndFormatting::kTextAir;
            cy = inner.Height();
        } else {
            cy = bWrap ? nLines * nLineHeight + 1 : nLineHeight + 1;
            cx = inner.Width();
        }
    }
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
    return pGrid->AddBordersToSize(cx, cy, style);
}
