// Printing the project's grid: the page's width used, a heading with the project's name and the
// page's number at its foot.
#include "app/views/CGroupView.h"

#include "app/frame/CVostrelApp.h"
#include "app/res/GroupViewRes.h"
#include "engine/project/CProjectSettings.h"
#include "grid/data/CGXGridParam.h"
#include "grid/features/CGXGridPrintImp.h"
#include "grid/data/CGXProperties.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Gdi.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

// The grid measures in screen pixels; its margins are kept in points.
constexpr int kGridDpi = 96;
constexpr int kPointsPerInch = 72;
// Columns are widened at most this much: a narrow grid stays readable, not stretched thin.
constexpr double kMaxWidthScale = 4.0;
// The heading and the page number, in points.
constexpr int kNoteFontPoints = 9;

} // namespace

CString CGroupView::GetProjectName()
{
    CVostrelApp* pApp = GetVostrelApp();
    CProjectSettings* pSettings = nullptr;
    if (pApp == nullptr || pApp->GetProjectSettings(pSettings) != 0 || pSettings == nullptr)
        return CString();
    CString strPath;
    pSettings->GetProjectFilePath(strPath);
    if (strPath.IsEmpty())
        strPath = pSettings->m_strProjectDirectory;
    while (strPath.GetLength() > 1 && strPath[strPath.GetLength() - 1] == '/')
        strPath = strPath.Left(strPath.GetLength() - 1);
    CString strName = strPath.Mid(strPath.ReverseFind('/') + 1);
    const int nDot = strName.ReverseFind('.');
    if (nDot > 0 && strName.Mid(nDot).CompareNoCase(".vsp") == 0)
        strName = strName.Left(nDot);
    return strName;
}

CString CGroupView::GetPrintJobTitle()
{
    const CString strName = GetProjectName();
    return strName.IsEmpty() ? CGridViewWrapper::GetPrintJobTitle() : strName;
}

int CGroupView::GetColWidth(ROWCOL nCol)
{
    const int nWidth = CGridViewWrapper::GetColWidth(nCol);
    // Asked at every paint and scroll: the screen's answer comes first.
    if (!IsPrinting() || m_dPrintWidthScale <= 1.0)
        return nWidth;
    // The page's own columns and the frozen ones it repeats grow alike; the row headers stay.
    const bool bOnPage = (nCol >= m_nPrintFirstCol && nCol <= m_nPrintLastCol) || (nCol >= 1 && nCol <= GetFrozenCols());
    return bOnPage ? static_cast<int>(std::floor(nWidth * m_dPrintWidthScale)) : nWidth;
}

void CGroupView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    CGridViewWrapper::OnEndPrinting(pDC, pInfo);
    m_dPrintWidthScale = 1.0;
}

void CGroupView::WidenPrintedColumns(CDC* pDC, CPrintInfo* pInfo)
{
    // The columns a page holds, the frozen ones it repeats included, keep their proportions and
    // grow together until they fill the width between the margins: a page's band of columns
    // that ends early (the next column did not fit) no longer leaves the page half empty.
    m_dPrintWidthScale = 1.0;
    const auto* pPrint = dynamic_cast<const CGXGridPrintImp*>(m_pPrintImp);
    if (pPrint == nullptr || pDC == nullptr || pInfo == nullptr || pPrint->GetRowBreaks().empty() ||
        pPrint->GetColBreaks().empty())
        return;
    const size_t nBand = (pInfo->m_nCurPage - 1) / pPrint->GetRowBreaks().size();
    const std::vector<ROWCOL>& breaks = pPrint->GetColBreaks();
    if (pInfo->m_nCurPage < 1 || nBand >= breaks.size())
        return;
    m_nPrintFirstCol = breaks[nBand];
    m_nPrintLastCol = nBand + 1 < breaks.size() ? breaks[nBand + 1] - 1 : GetColCount();
    const int dpiX = std::max(pDC->GetDeviceCaps(LOGPIXELSX), 1);
    int available = static_cast<int>(static_cast<long long>(pDC->GetDeviceCaps(HORZRES)) * kGridDpi / dpiX);
    if (const CGXProperties* pProp = GetParam() != nullptr ? GetParam()->GetProperties() : nullptr)
        available -= (std::max(pProp->m_nLeftMargin, 0) + std::max(pProp->m_nRightMargin, 0)) * kGridDpi / kPointsPerInch;
    available -= std::max(CGridViewWrapper::GetColWidth(0), 0);
    long long band = 0;
    for (ROWCOL nCol = 1; nCol <= GetFrozenCols(); ++nCol)
        band += std::max(CGridViewWrapper::GetColWidth(nCol), 0);
    for (ROWCOL nCol = m_nPrintFirstCol; nCol <= m_nPrintLastCol && nCol != 0; ++nCol)
        band += std::max(CGridViewWrapper::GetColWidth(nCol), 0);
    if (band > 0 && band < available)
        m_dPrintWidthScale = std::min(static_cast<double>(available) / static_cast<double>(band), kMaxWidthScale);
}

void CGroupView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    WidenPrintedColumns(pDC, pInfo);
    CGridViewWrapper::OnPrint(pDC, pInfo);
    if (pDC == nullptr || pInfo == nullptr || !pInfo->m_bContinuePrinting)
        return;
    // The heading and the number stand in the top and bottom margins, in device units.
    const int dpiX = std::max(pDC->GetDeviceCaps(LOGPIXELSX), 1);
    const int dpiY = std::max(pDC->GetDeviceCaps(LOGPIXELSY), 1);
    int left = dpiX, top = dpiY, right = dpiX, bottom = dpiY;
    if (const CGXProperties* pProp = GetParam() != nullptr ? GetParam()->GetProperties() : nullptr) {
        left = std::max(pProp->m_nLeftMargin, 0) * dpiX / kPointsPerInch;
        top = std::max(pProp->m_nTopMargin, 0) * dpiY / kPointsPerInch;
        right = std::max(pProp->m_nRightMargin, 0) * dpiX / kPointsPerInch;
        bottom = std::max(pProp->m_nBottomMargin, 0) * dpiY / kPointsPerInch;
    }
    const int width = pDC->GetDeviceCaps(HORZRES);
    const int height = pDC->GetDeviceCaps(VERTRES);
    const int nSaved = pDC->SaveDC();
    pDC->SetMapMode(MM_TEXT);
    pDC->SetViewportOrg(0, 0);
    pDC->SetWindowOrg(0, 0);
    LOGFONT lf{};
    lf.lfHeight = -(kNoteFontPoints * dpiY / kPointsPerInch);
    lf.lfWeight = FW_NORMAL;
    std::strncpy(lf.lfFaceName, "Arial", sizeof lf.lfFaceName - 1);
    HFONT hFont = ::CreateFontIndirect(&lf);
    HGDIOBJ hOld = ::SelectObject(pDC->GetSafeHdc(), hFont);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(RGB(0, 0, 0));
    const CString strName = GetProjectName();
    if (top > 0 && !strName.IsEmpty()) {
        CRect heading(left, 0, width - right, top);
        heading.DeflateRect(0, top / 4);
        pDC->DrawText(strName, &heading, DT_LEFT | DT_BOTTOM | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (bottom > 0) {
        CString strFormat, strPage;
        strFormat.LoadString(IDS_PRINT_PAGE_NUMBER);
        strPage.Format(strFormat, pInfo->m_nCurPage, pInfo->GetMaxPage());
        CRect foot(left, height - bottom, width - right, height);
        foot.DeflateRect(0, bottom / 4);
        pDC->DrawText(strPage, &foot, DT_CENTER | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
    }
    ::SelectObject(pDC->GetSafeHdc(), hOld);
    ::DeleteObject(hFont);
    pDC->RestoreDC(nSaved);
}
