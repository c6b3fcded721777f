#include "grid/features/CGXGridPrintImp.h"

#include <algorithm>

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXLongOperation.h"
#include "grid/data/CGXProperties.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

namespace {

// The grid's own unit: a screen pixel.
constexpr int kGridDpi = 96;
// Rows measured between two turns of the meter while the pages are laid out.
constexpr ROWCOL kRowsPerTurn = 0x1000;
// Margins are kept in points.
constexpr int kPointsPerInch = 72;

int Scale(int value, int numerator, int denominator)
{
    return static_cast<int>(static_cast<long long>(value) * numerator / denominator);
}

// Cuts rows (or columns) from `first` to `last` into bands no longer than `length`; a row longer
// than a page gets a page of its own. Hidden rows (size 0) go with the band they fall in.
template <class SizeOf>
void CutBands(ROWCOL first, ROWCOL last, int length, SizeOf sizeOf, std::vector<ROWCOL>& breaks,
              std::vector<int>& extents)
{
    breaks.clear();
    extents.clear();
    ROWCOL n = first;
    while (n <= last && n != 0) {
        breaks.push_back(n);
        int used = 0;
        do {
            const int size = std::max(sizeOf(n), 0);
            if (used > 0 && used + size > length)
                break;
            used += size;
            ++n;
        } while (n <= last && n != 0);
        extents.push_back(used);
    }
    if (breaks.empty()) {
        // Only the repeated part: one band with nothing of its own.
        breaks.push_back(first);
        extents.push_back(0);
    }
}

} // namespace

void CGXGridPrintImp::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr || pGrid->m_pPrintImp != nullptr)
        return;
    auto* pImp = new CGXGridPrintImp;
    pGrid->m_pPrintImp = pImp;
    pGrid->AddAutoDeleteImp(pImp);
}

UINT CGXGridPrintImp::GetPageCount() const
{
    return static_cast<UINT>(std::max<size_t>(m_rowBreaks.size() * m_colBreaks.size(), 1));
}

CRect CGXGridPrintImp::PageArea(CGXGridCore* pGrid, CDC* pDC)
{
    const int dpiX = std::max(pDC->GetDeviceCaps(LOGPIXELSX), 1);
    const int dpiY = std::max(pDC->GetDeviceCaps(LOGPIXELSY), 1);
    const int width = Scale(pDC->GetDeviceCaps(HORZRES), kGridDpi, dpiX);
    const int height = Scale(pDC->GetDeviceCaps(VERTRES), kGridDpi, dpiY);
    int left = 0, top = 0, right = 0, bottom = 0;
    if (const CGXProperties* pProp = pGrid->GetParam() != nullptr ? pGrid->GetParam()->GetProperties() : nullptr) {
        left = Scale(std::max(pProp->m_nLeftMargin, 0), kGridDpi, kPointsPerInch);
        top = Scale(std::max(pProp->m_nTopMargin, 0), kGridDpi, kPointsPerInch);
        right = Scale(std::max(pProp->m_nRightMargin, 0), kGridDpi, kPointsPerInch);
        bottom = Scale(std::max(pProp->m_nBottomMargin, 0), kGridDpi, kPointsPerInch);
    }
    // Margins that leave nothing of the page are not kept.
    if (left + right >= width)
        left = right = 0;
    if (top + bottom >= height)
        top = bottom = 0;
    return CRect(left, top, width - right, height - bottom);
}

void CGXGridPrintImp::OnGridBeginPrinting(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo)
{
    if (pGrid == nullptr || pDC == nullptr)
        return;
    pGrid->SetPrinting(TRUE);
    const CRect area = PageArea(pGrid, pDC);
    const ROWCOL nFrozenRows = pGrid->GetFrozenRows();
    const ROWCOL nFrozenCols = pGrid->GetFrozenCols();
    m_nFixedHeight = 0;
    for (ROWCOL r = 0; r <= nFrozenRows; ++r)
        m_nFixedHeight += std::max(pGrid->GetRowHeight(r), 0);
    m_nFixedWidth = 0;
    for (ROWCOL c = 0; c <= nFrozenCols; ++c)
        m_nFixedWidth += std::max(pGrid->GetColWidth(c), 0);
    // At least one row and column of the grid's own on each page, however much repeats.
    const int rowLength = std::max(area.Height() - m_nFixedHeight, 1);
    const int colLength = std::max(area.Width() - m_nFixedWidth, 1);
    // All rows and columns, or only those of the selection when the user chose to print it.
    ROWCOL nFirstRow = nFrozenRows + 1, nLastRow = pGrid->GetRowCount();
    ROWCOL nFirstCol = nFrozenCols + 1, nLastCol = pGrid->GetColCount();
    if (pInfo != nullptr && pInfo->m_pPD != nullptr && pInfo->m_pPD->PrintSelection() && pGrid->GetParam() != nullptr) {
        CGXRange selected;
        BOOL bAny = FALSE;
        for (POSITION pos = pGrid->GetParam()->m_SelRects.GetHeadPosition(); pos != nullptr;) {
            CGXRange range(*pGrid->GetParam()->m_SelRects.GetNextRange(pos));
            range.ExpandToCells(1, 1, pGrid->GetRowCount(), pGrid->GetColCount());
            if (!range.IsValid())
                continue;
            bAny ? (void)selected.SetUnion(selected, range) : (void)(selected = range);
            bAny = TRUE;
        }
        if (bAny) {
            nFirstRow = std::max(nFirstRow, selected.top);
            nLastRow = std::min(nLastRow, selected.bottom);
            nFirstCol = std::max(nFirstCol, selected.left);
            nLastCol = std::min(nLastCol, selected.right);
        }
    }
    // Every row is measured: a grid of many rows takes a while, which the meter shows, the
    // window painting meanwhile.
    CGXLongOperation op;
    op.SetStatusText(pGrid->GetAppData()->GetText(gxTextLayingOutPages), FALSE);
    const unsigned long long nRows = nLastRow >= nFirstRow ? static_cast<unsigned long long>(nLastRow - nFirstRow) + 1 : 1;
    const auto measure = [&](ROWCOL r) {
        if ((r - nFirstRow) % kRowsPerTurn == kRowsPerTurn - 1) {
            CGXLongOperation::SetPercentDone(static_cast<int>((r - nFirstRow) * 100ULL / nRows));
            op.DoMessages();
        }
        return pGrid->GetRowHeight(r);
    };
    CutBands(nFirstRow, nLastRow, rowLength, measure, m_rowBreaks, m_bandHeights);
    m_nLastCol = nLastCol;
    CutBands(nFirstCol, nLastCol, colLength, [&](ROWCOL c) { return pGrid->GetColWidth(c); }, m_colBreaks, m_bandWidths);
    if (pInfo != nullptr)
        pInfo->SetMaxPage(GetPageCount());
}

void CGXGridPrintImp::OnGridPrint(CGXGridCore* pGrid, CDC* pDC, CPrintInfo* pInfo)
{
    if (pGrid == nullptr || pDC == nullptr || pInfo == nullptr || m_rowBreaks.empty() || m_colBreaks.empty())
        return;
    const UINT nPages = GetPageCount();
    if (pInfo->m_nCurPage < 1 || pInfo->m_nCurPage > nPages) {
        pInfo->m_bContinuePrinting = FALSE;
        return;
    }
    const size_t page = pInfo->m_nCurPage - 1;
    const size_t rowBand = page % m_rowBreaks.size();
    const size_t colBand = page / m_rowBreaks.size();
    const CRect area = PageArea(pGrid, pDC);

    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_ANISOTROPIC);
    pDC->SetWindowExt(kGridDpi, kGridDpi);
    pDC->SetViewportExt(std::max(pDC->GetDeviceCaps(LOGPIXELSX), 1), std::max(pDC->GetDeviceCaps(LOGPIXELSY), 1));
    // The grid's rectangle holds exactly this page's rows and columns, so its drawing stops there.
    // The columns are measured as they print now: a view may widen a page's columns to fill it.
    const ROWCOL nFirstCol = m_colBreaks[colBand];
    const ROWCOL nLastCol = colBand + 1 < m_colBreaks.size() ? m_colBreaks[colBand + 1] - 1 : m_nLastCol;
    int nFixedWidth = 0;
    for (ROWCOL c = 0; c <= pGrid->GetFrozenCols(); ++c)
        nFixedWidth += std::max(pGrid->GetColWidth(c), 0);
    int nBandWidth = 0;
    for (ROWCOL c = nFirstCol; c <= nLastCol && c != 0; ++c)
        nBandWidth += std::max(pGrid->GetColWidth(c), 0);
    pGrid->m_rectPrint.SetRect(area.left, area.top, area.left + std::min(nFixedWidth + nBandWidth, area.Width()),
                               area.top + m_nFixedHeight + m_bandHeights[rowBand]);
    pGrid->m_nPrintTopRow = m_rowBreaks[rowBand];
    pGrid->m_nPrintLeftCol = m_colBreaks[colBand];
    if (CGXProperties* pProp = pGrid->GetParam() != nullptr ? pGrid->GetParam()->GetProperties() : nullptr)
        pProp->UpdatePrintTokens(pInfo->m_nCurPage, nPages, CString());
    pDC->IntersectClipRect(&pGrid->m_rectPrint);
    pGrid->PaintDirect(pDC);
    pDC->RestoreDC(nSaved);
}

void CGXGridPrintImp::OnGridEndPrinting(CGXGridCore* pGrid, CDC*, CPrintInfo*)
{
    if (pGrid == nullptr)
        return;
    pGrid->SetPrinting(FALSE);
    m_rowBreaks.clear();
    m_colBreaks.clear();
    m_bandHeights.clear();
    m_bandWidths.clear();
}
