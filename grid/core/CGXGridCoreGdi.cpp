// The grid's drawing caches: GDI fonts, brushes and pens by packed value, the composed styles of
// the cells being drawn, the grid's own client DC and the measure of the standard font.
#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridCore.h"
#include "grid/core/CGXGridGdiCache.h"
#include "grid/core/GXDrawState.h"
#include "grid/core/GXGdiRecords.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/win/Gdi.h"

#include <cstring>

namespace {
CGXGridGdiCache& CacheOf(std::unique_ptr<CGXGridGdiCache>& p)
{
    if (!p)
        p = std::make_unique<CGXGridGdiCache>();
    return *p;
}
} // namespace

CFont* CGXGridCore::LookupFont(const CGXFont& font)
{
    auto& fonts = CacheOf(m_pGdiCache).m_fonts;
    auto& pFont = fonts[font.GetPacked()];
    if (pFont && pFont->GetSafeHandle() != nullptr)
        return pFont.get();
    if (!pFont)
        pFont = std::make_unique<CFont>();
    const LOGFONT lf = GXGetLogFont(font);
    pFont->CreateFontIndirect(&lf);
    ++m_gdiCounts.fonts;
    return pFont.get();
}

CBrush* CGXGridCore::LookupBrush(const CGXBrush& brush)
{
    auto& brushes = CacheOf(m_pGdiCache).m_brushes;
    auto& pBrush = brushes[CGXGridGdiCache::KeyOf(brush)];
    if (pBrush && pBrush->GetSafeHandle() != nullptr)
        return pBrush.get();
    if (!pBrush)
        pBrush = std::make_unique<CBrush>();
    const CGXSysColorCache& colors = *GXGetSysData();
    if (brush.GetStyle() == GX_BS_PATTERN) {
        // A pattern the table does not hold draws solid rather than reading past the table.
        CBitmap* pPattern = CGXDrawingAndFormatting::GetInstance()->GetPatternBitmap(static_cast<int>(brush.GetPattern()));
        if (pPattern != nullptr)
            pBrush->CreatePatternBrush(pPattern);
        else
            pBrush->CreateSolidBrush(colors.Resolve(brush.GetForeColor()));
    } else {
        LOGBRUSH lb = GXGetLogBrush(brush, colors);
        pBrush->CreateBrushIndirect(&lb);
    }
    ++m_gdiCounts.brushes;
    return pBrush.get();
}

CPen* CGXGridCore::LookupPen(const CGXPen& pen)
{
    auto& pens = CacheOf(m_pGdiCache).m_pens;
    auto& pPen = pens[pen.GetPacked()];
    if (pPen && pPen->GetSafeHandle() != nullptr)
        return pPen.get();
    if (!pPen)
        pPen = std::make_unique<CPen>();
    LOGPEN lp = GXGetLogPen(pen, *GXGetSysData());
    // A square-capped geometric pen draws the end point of a wide line as GDI's cosmetic pens
    // do not; fall back to the plain pen when the layer cannot make one.
    LOGBRUSH lb{BS_SOLID, lp.lopnColor, 0};
    HPEN hPen = ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_SQUARE | (lp.lopnStyle & 7), std::max<DWORD>(1, static_cast<DWORD>(lp.lopnWidth.x)), &lb, 0, nullptr);
    if (hPen != nullptr)
        pPen->Attach(hPen);
    else
        pPen->CreatePenIndirect(&lp);
    ++m_gdiCounts.pens;
    return pPen.get();
}

CFont* CGXGridCore::SelectFontZoomed(CDC* pDC, const CGXFont& font)
{
    if (pDC == nullptr)
        return nullptr;
    CGXFont zoomed = font;
    const int nZoom = GetZoom();
    if (nZoom != 100 && font.GetInclude(GX_FONT_SIZE))
        zoomed.SetSize(font.GetSize() * nZoom * 0.01);
    CFont* pFont = LookupFont(zoomed);
    if (pFont == nullptr || pFont->GetSafeHandle() == nullptr)
        return nullptr;
    return pDC->SelectObject(pFont);
}

CFont* CGXGridCore::LoadFont(CDC* pDC, const CGXStyle& style, BOOL bCompare)
{
    if (bCompare) {
        if (!style.GetInclude(GX_INCL_FONT))
            return nullptr;
        if (m_pStyleStandard != nullptr && m_pStyleStandard->GetInclude(GX_INCL_FONT)) {
            if (style.GetFont() == m_pStyleStandard->GetFont())
                return nullptr;
            const LOGFONT a = GXGetLogFont(style.GetFont());
            const LOGFONT b = GXGetLogFont(m_pStyleStandard->GetFont());
            if (std::memcmp(&a, &b, sizeof(LOGFONT)) == 0)
                return nullptr;
        }
    }
    return SelectFontZoomed(pDC, style.GetFont());
}

void CGXGridCore::MeasureFont(CDC* pDC, int& nWidth, int& nHeight)
{
    TEXTMETRIC tm{};
    if (pDC == nullptr || !pDC->GetTextMetrics(&tm)) {
        nWidth = 10;
        nHeight = 15;
        return;
    }
    nHeight = tm.tmHeight + tm.tmExternalLeading;
    // The bit set means a proportional font, whose average character is narrower than most.
    nWidth = (tm.tmPitchAndFamily & TMPF_FIXED_PITCH) ? 3 * tm.tmAveCharWidth / 2 : tm.tmAveCharWidth;
    if (nHeight <= 0)
        nHeight = 15;
    if (nWidth <= 0)
        nWidth = 10;
}

void CGXGridCore::MeasureStandardFont(CDC* pDC, int& nWidth, int& nHeight)
{
    const CGXStylesMap* pMap = m_pParam != nullptr ? m_pParam->GetStylesMap() : nullptr;
    const CGXStyle* pStandard = pMap != nullptr ? pMap->LookupStyle(pMap->m_wStyleStandard) : nullptr;
    if (pDC == nullptr || pStandard == nullptr || !pStandard->GetInclude(GX_INCL_FONT)) {
        nWidth = 10;
        nHeight = 15;
        return;
    }
    CFont* pOld = LoadFont(pDC, *pStandard, FALSE);
    MeasureFont(pDC, nWidth, nHeight);
    if (pOld != nullptr)
        pDC->SelectObject(pOld);
}

void CGXGridCore::CalcPrinterFontMetrics()
{
    // Pages are drawn in the grid's own units, which the printing maps onto the paper: the
    // standard font measured in those units, at its own size (not the screen's zoom), is the
    // font as printed.
    CDC dc;
    if (!dc.CreateCompatibleDC(nullptr))
        return;
    const int nZoom = m_nZoom;
    m_nZoom = 100;
    MeasureStandardFont(&dc, m_dxWidthPr, m_dyHeightPr);
    m_nZoom = nZoom;
}

void CGXGridCore::CalcFontMetrics()
{
    CDC dc;
    CDC* pDC = nullptr;
    std::unique_ptr<CClientDC> pClient;
    if (m_pGridWnd != nullptr && m_pGridWnd->GetSafeHwnd() != nullptr) {
        pClient = std::make_unique<CClientDC>(m_pGridWnd);
        pDC = pClient.get();
    } else {
        // Without a window the screen's metrics still hold: measure on a memory DC.
        dc.CreateCompatibleDC(nullptr);
        pDC = &dc;
    }
    PrepareDC(pDC);
    MeasureStandardFont(pDC, m_dxWidth, m_dyHeight);
    // The same font at 100%: stored sizes are kept against it and scaled by the zoom exactly.
    m_dxWidthUnzoomed = m_dxWidth;
    m_dyHeightUnzoomed = m_dyHeight;
    const CGXStylesMap* pMap = m_pParam != nullptr ? m_pParam->GetStylesMap() : nullptr;
    const CGXStyle* pStandard = pMap != nullptr ? pMap->LookupStyle(pMap->m_wStyleStandard) : nullptr;
    if (pStandard == nullptr || !pStandard->GetInclude(GX_INCL_FONT)) {
        m_dxWidthUnzoomed = m_dyHeightUnzoomed = 0;
        return;
    }
    if (GetZoom() != 100) {
        CFont* pFont = LookupFont(pStandard->GetFont());
        if (pFont != nullptr && pFont->GetSafeHandle() != nullptr) {
            CFont* pOld = pDC->SelectObject(pFont);
            MeasureFont(pDC, m_dxWidthUnzoomed, m_dyHeightUnzoomed);
            if (pOld != nullptr)
                pDC->SelectObject(pOld);
        }
    }
}

CDC* CGXGridCore::GetGridDC()
{
    if (m_pDrawState != nullptr)
        return m_pDrawState->pDC;
    if (!m_pGridDC) {
        if (m_pGridWnd == nullptr || m_pGridWnd->GetSafeHwnd() == nullptr)
            return nullptr;
        m_pGridDC = std::make_unique<CClientDC>(m_pGridWnd);
        PrepareDC(m_pGridDC.get());
        if (m_pStyleStandard != nullptr && m_pStyleStandard->GetInclude(GX_INCL_FONT)) {
            CGXFont font = m_pStyleStandard->GetFont();
            CFont* pOld = SelectFontZoomed(m_pGridDC.get(), font);
            m_hOldGridDCFont = pOld != nullptr ? pOld->GetSafeHandle() : nullptr;
        }
    }
    return m_pGridDC.get();
}

void CGXGridCore::ReleaseGridDC()
{
    if (m_pDrawState != nullptr || CGXLongOperation::GetLevel() > 0 || !m_pGridDC)
        return;
    if (m_hOldGridDCFont != nullptr)
        m_pGridDC->SelectObject(m_hOldGridDCFont);
    m_hOldGridDCFont = nullptr;
    m_pGridDC.reset();
}

void CGXGridCore::SetStyleReadOnly(CGXStyle* pStyle, BOOL bReadOnly)
{
    if (pStyle != nullptr)
        pStyle->SetReadOnly(bReadOnly);
}

const CGXStyle* CGXGridCore::LookupStyleRowCol(ROWCOL nRow, ROWCOL nCol)
{
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol) && nCurRow == nRow && nCurCol == nCol;
    if (bCurrent && m_bCacheCurrentCell && m_pCurrentCellStyle && !(m_pCurrentCellStyle->GetIncludeBits() == CGXStyleIncludeBits()))
        return m_pCurrentCellStyle.get();
    const auto key = std::make_pair(nRow, nCol);
    CGXStyle* pStyle = nullptr;
    if (auto it = m_cellStyleCache.find(key); it != m_cellStyleCache.end()) {
        pStyle = it->second;
    } else {
        pStyle = CreateStyle();
        ComposeCellStyle(nRow, nCol, *pStyle, TRUE);
        if (IsReadOnly())
            SetStyleReadOnly(pStyle, TRUE);
        if (bCurrent)
            m_pendingDeleteStyles.push_back(pStyle);
        else
            m_cellStyleCache.emplace(key, pStyle);
    }
    if (bCurrent) {
        m_pCurrentCellControl = GetControlById(pStyle->GetControl());
        if (!m_pCurrentCellStyle)
            m_pCurrentCellStyle = std::make_unique<CGXStyle>();
        *m_pCurrentCellStyle = *pStyle;
    }
    return pStyle;
}

void CGXGridCore::FreeObjectCache()
{
    if (m_pDrawState != nullptr)
        return;
    if (!m_bKeepGdi) {
        ReleaseGridDC();
        if (m_pGdiCache)
            m_pGdiCache->Clear();
    }
    ROWCOL nCurRow = 0, nCurCol = 0;
    const BOOL bCurrent = GetCurrentCell(nCurRow, nCurCol);
    const BOOL bKeep = m_nKeepRows[0] != 0 || m_nKeepRows[1] != 0 || m_nKeepCols[0] != 0 || m_nKeepCols[1] != 0;
    if (!bKeep) {
        for (auto& entry : m_cellStyleCache)
            RecycleStyle(entry.second);
        m_cellStyleCache.clear();
        if (!m_bKeepCurrentStyle && m_pCurrentCellStyle)
            m_pCurrentCellStyle->Free();
    } else {
        for (auto it = m_cellStyleCache.begin(); it != m_cellStyleCache.end();) {
            const ROWCOL nRow = it->first.first, nCol = it->first.second;
            const BOOL bKept = (nRow != 0 && (nRow == m_nKeepRows[0] || nRow == m_nKeepRows[1])) ||
                               (nCol != 0 && (nCol == m_nKeepCols[0] || nCol == m_nKeepCols[1])) ||
                               (bCurrent && nRow == nCurRow && nCol == nCurCol);
            if (bKept) {
                ++it;
            } else {
                RecycleStyle(it->second);
                it = m_cellStyleCache.erase(it);
            }
        }
    }
    for (CGXStyle* pStyle : m_pendingDeleteStyles)
        delete pStyle;
    m_pendingDeleteStyles.clear();
}

void CGXGridCore::SetKeepCachedStyles(ROWCOL nRow1, ROWCOL nRow2, ROWCOL nCol1, ROWCOL nCol2)
{
    m_nKeepRows[0] = nRow1;
    m_nKeepRows[1] = nRow2;
    m_nKeepCols[0] = nCol1;
    m_nKeepCols[1] = nCol2;
}

BOOL CGXGridCore::IsStyleCached(ROWCOL nRow, ROWCOL nCol) const
{
    return m_cellStyleCache.find(std::make_pair(nRow, nCol)) != m_cellStyleCache.end();
}
