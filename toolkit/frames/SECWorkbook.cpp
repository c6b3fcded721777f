#include "toolkit/frames/SECWorkbook.h"

#include <algorithm>
#include <cstring>

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/ToolTip.h"
#include "platform/win/Gdi.h"
#include "platform/win/ResourceImages.h"
#include "toolkit/frames/SECControlBarMDIChildWnd.h"

IMPLEMENT_DYNCREATE(SECWorkbook, SECMDIFrameWnd)
IMPLEMENT_DYNCREATE(SECWorksheet, SECMDIChildWnd)

// ---- The client with margins ------------------------------------------------------------------

void SECWorkbookClient::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    lpClientRect->left += m_nMarginLeft;
    lpClientRect->top += m_nMarginTop;
    lpClientRect->right -= m_nMarginRight;
    lpClientRect->bottom -= m_nMarginBottom;
    CWnd::CalcWindowRect(lpClientRect, nAdjustType);
}

LRESULT SECWorkbookClient::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_MDISETMENU || message == SEC_WM_SHEETMENUCHANGED) {
        LRESULT result = 0;
        if (!(wParam == static_cast<WPARAM>(-1) && lParam == -1))
            result = CWnd::WindowProc(message, wParam, lParam);
        if (m_pWorkbook != nullptr && m_pWorkbook->GetSafeHwnd())
            m_pWorkbook->SendMessage(SEC_WM_ACTIVESHEETCHANGED, 0, 0);
        return result;
    }
    if (message == WM_MDIACTIVATE || message == WM_MDIDESTROY) {
        const LRESULT result = CWnd::WindowProc(message, wParam, lParam);
        if (m_pWorkbook != nullptr && m_pWorkbook->GetSafeHwnd())
            m_pWorkbook->SendMessage(SEC_WM_ACTIVESHEETCHANGED, 0, 0);
        return result;
    }
    return CWnd::WindowProc(message, wParam, lParam);
}

// ---- The workbook -----------------------------------------------------------------------------

SECWorkbook::SECWorkbook()
{
    // Bars floated inside the client become sheets with tabs of their own.
    m_pMDIFloatClass = RUNTIME_CLASS(SECControlBarWorksheet);
}

SECWorkbook::~SECWorkbook()
{
    for (HGDIOBJ object : {static_cast<HGDIOBJ>(m_hPenWhite), static_cast<HGDIOBJ>(m_hPenBlack),
                           static_cast<HGDIOBJ>(m_hPenShadow), static_cast<HGDIOBJ>(m_hPenFace)}) {
        if (object != nullptr)
            ::DeleteObject(object);
    }
    delete m_pClientObject;
}

BOOL SECWorkbook::CreateClient(LPCREATESTRUCT lpCreateStruct, CMenu* pWindowMenu)
{
    if (!SECMDIFrameWnd::CreateClient(lpCreateStruct, pWindowMenu))
        return FALSE;
    m_pClientObject = new SECWorkbookClient;
    m_pClientObject->m_pWorkbook = this;
    if (!m_pClientObject->SubclassWindow(m_hWndMDIClient)) {
        delete m_pClientObject;
        m_pClientObject = nullptr;
    }
    m_hTabFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    if (m_hTabFont == nullptr)
        m_hTabFont = static_cast<HFONT>(::GetStockObject(SYSTEM_FONT));
    m_hPenWhite = ::CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
    m_hPenBlack = ::CreatePen(PS_SOLID, 1, RGB(0, 0, 0));
    m_hPenShadow = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNSHADOW));
    m_hPenFace = ::CreatePen(PS_SOLID, 1, ::GetSysColor(COLOR_BTNFACE));
    return TRUE;
}

void SECWorkbook::SetShowTabs(BOOL bShow)
{
    m_bShowTabs = bShow;
    if (m_pClientObject != nullptr)
        m_pClientObject->m_nMarginBottom = bShow ? m_nTabHeight + m_nActiveHeighten : 0;
    if (m_hWnd != nullptr) {
        RecalcLayout();
        Invalidate();
    }
}

CRect SECWorkbook::GetTabArea()
{
    CRect rect;
    if (m_hWndMDIClient == nullptr)
        return rect;
    ::GetWindowRect(m_hWndMDIClient, &rect);
    ScreenToClient(&rect);
    if (m_pClientObject != nullptr) {
        rect.left -= m_pClientObject->m_nMarginLeft;
        rect.top -= m_pClientObject->m_nMarginTop;
        rect.right += m_pClientObject->m_nMarginRight;
        rect.bottom += m_pClientObject->m_nMarginBottom;
    }
    return rect;
}

void SECWorkbook::RecomputeTabWidth()
{
    // No sheet left: the width stays what it was rather than dividing by none.
    if (m_sheets.empty() || m_hWndMDIClient == nullptr)
        return;
    CRect client;
    ::GetClientRect(m_hWndMDIClient, &client);
    m_nTabWidth = std::min<int>((client.Width() + 5) / static_cast<int>(m_sheets.size()), m_nMaxTabWidth);
}

void SECWorkbook::AddSheet(SECWorksheet* pSheet)
{
    if (pSheet == nullptr || std::find(m_sheets.begin(), m_sheets.end(), pSheet) != m_sheets.end())
        return;
    m_sheets.push_back(pSheet);
    pSheet->m_nTabIndex = static_cast<int>(m_sheets.size()) - 1;
    const int oldWidth = m_nTabWidth;
    RecomputeTabWidth();
    if (m_nTabWidth != oldWidth || m_sheets.size() == 1)
        InvalidateTabStrip();
    else
        InvalidateTab(pSheet->m_nTabIndex);
    if (m_sheets.size() == 1 && m_hWnd != nullptr)
        EnableToolTips(TRUE);
}

void SECWorkbook::RemoveSheet(SECWorksheet* pSheet)
{
    auto it = std::find(m_sheets.begin(), m_sheets.end(), pSheet);
    if (it == m_sheets.end())
        return;
    m_sheets.erase(it);
    for (size_t i = 0; i < m_sheets.size(); ++i)
        m_sheets[i]->m_nTabIndex = static_cast<int>(i);
    pSheet->m_nTabIndex = -1;
    if (m_nActiveTab >= static_cast<int>(m_sheets.size()))
        m_nActiveTab = -1;
    RecomputeTabWidth();
    InvalidateTabStrip();
}

BOOL SECWorkbook::IsSheetVisible(int nIndex) const
{
    const SECWorksheet* sheet = m_sheets[static_cast<size_t>(nIndex)];
    return sheet->m_hWnd != nullptr && ::IsWindowVisible(sheet->m_hWnd);
}

int SECWorkbook::HiddenBefore(int nIndex) const
{
    int hidden = 0;
    for (int i = 0; i < nIndex; ++i)
        hidden += IsSheetVisible(i) ? 0 : 1;
    return hidden;
}

void SECWorkbook::GetTabPolygon(int nIndex, POINT pts[7])
{
    const CRect area = GetTabArea();
    CRect client;
    if (m_hWndMDIClient != nullptr) {
        ::GetWindowRect(m_hWndMDIClient, &client);
        ScreenToClient(&client);
    }
    int left = area.left + (nIndex - HiddenBefore(nIndex)) * m_nTabWidth;
    int right = left + m_nTabWidth;
    int top = client.bottom;
    int bottom = top + m_nTabHeight;
    const SECWorksheet* sheet = m_sheets[static_cast<size_t>(nIndex)];
    if (nIndex == m_nActiveTab || sheet->m_bPressed) {
        left -= m_nActiveWiden / 2;
        right += m_nActiveWiden - m_nActiveWiden / 2;
        bottom += m_nActiveHeighten;
    }
    const int s = m_nSlant;
    pts[0] = POINT{left, top};
    pts[1] = POINT{left + s, bottom - s};
    pts[2] = POINT{left + 2 * s, bottom};
    pts[3] = POINT{right - 2 * s, bottom};
    pts[4] = POINT{right - s, bottom - s};
    pts[5] = POINT{right, top};
    pts[6] = POINT{left, top};
}

CString SECWorkbook::GetSheetTitle(int nIndex)
{
    SECWorksheet* sheet = m_sheets[static_cast<size_t>(nIndex)];
    CView* view = sheet->GetActiveView();
    if (CDocument* doc = view ? view->GetDocument() : nullptr)
        return doc->GetTitle();
    CString text;
    if (sheet->m_hWnd != nullptr)
        sheet->GetWindowText(text);
    return text;
}

CRect SECWorkbook::GetTabTextRect(int nIndex)
{
    POINT pts[7];
    GetTabPolygon(nIndex, pts);
    CRect rect(pts[0].x + 2 * m_nSlant, pts[0].y + 2, pts[5].x - 2 * m_nSlant, pts[2].y - 1);
    if (m_bShowIcons && GetSheetIcon(nIndex) != nullptr)
        rect.left += 18;
    return rect;
}

BOOL SECWorkbook::TabTextFits(int nIndex)
{
    HDC dc = ::GetDC(m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, m_hTabFont);
    const CString title = GetSheetTitle(nIndex);
    SIZE size{};
    ::GetTextExtentPoint32(dc, title, title.GetLength(), &size);
    ::SelectObject(dc, old);
    ::ReleaseDC(m_hWnd, dc);
    return size.cx <= GetTabTextRect(nIndex).Width();
}

HICON SECWorkbook::GetSheetIcon(int nIndex)
{
    return m_sheets[static_cast<size_t>(nIndex)]->m_hIcon;
}

void SECWorkbook::SetSheetIcon(int nIndex, HICON hIcon)
{
    if (nIndex < 0 || nIndex >= GetSheetCount())
        return;
    m_sheets[static_cast<size_t>(nIndex)]->m_hIcon = hIcon;
    InvalidateTab(nIndex);
}

CString SECWorkbook::ShortenedTitle(CDC* pDC, const CString& title, int width)
{
    // While too wide and longer than three characters: the last four become "...", then one
    // character fewer each round.
    CString text = title;
    for (int keep = title.GetLength() - 4; pDC->GetTextExtent(text).cx > width && text.GetLength() > 3 && keep >= 0; --keep)
        text = title.Left(keep) + "...";
    return text;
}

void SECWorkbook::DrawTabLabel(CDC* pDC, int nIndex)
{
    POINT pts[7];
    GetTabPolygon(nIndex, pts);
    if (m_bShowIcons) {
        if (HICON icon = GetSheetIcon(nIndex))
            ::DrawIconEx(pDC->GetSafeHdc(), pts[0].x + 2 * m_nSlant + 1, pts[0].y + 4, icon, 16, 16, 0, nullptr, DI_NORMAL);
    }
    CRect text = GetTabTextRect(nIndex);
    HGDIOBJ old = ::SelectObject(pDC->GetSafeHdc(), m_hTabFont);
    const CString title = ShortenedTitle(pDC, GetSheetTitle(nIndex), text.Width());
    pDC->DrawText(title, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    ::SelectObject(pDC->GetSafeHdc(), old);
}

void SECWorkbook::DrawTab(CDC* pDC, int nIndex)
{
    POINT pts[7];
    GetTabPolygon(nIndex, pts);
    HDC dc = pDC->GetSafeHdc();
    const bool active = nIndex == m_nActiveTab;
    HBRUSH brush = ::CreateSolidBrush(::GetSysColor(active ? COLOR_WINDOW : COLOR_BTNFACE));
    HGDIOBJ oldBrush = ::SelectObject(dc, brush);
    HGDIOBJ oldPen = ::SelectObject(dc, m_hPenFace);
    ::Polygon(dc, pts, 7);
    // The outline: black on the slanted sides and bottom, white on the left, shadow inside.
    ::SelectObject(dc, m_hPenWhite);
    ::MoveToEx(dc, pts[0].x, pts[0].y, nullptr);
    ::LineTo(dc, pts[1].x, pts[1].y);
    ::SelectObject(dc, m_hPenBlack);
    ::LineTo(dc, pts[2].x, pts[2].y);
    ::LineTo(dc, pts[3].x, pts[3].y);
    ::LineTo(dc, pts[4].x, pts[4].y);
    ::LineTo(dc, pts[5].x, pts[5].y);
    ::SelectObject(dc, m_hPenShadow);
    ::MoveToEx(dc, pts[3].x, pts[3].y - 1, nullptr);
    ::LineTo(dc, pts[4].x - 1, pts[4].y - 1);
    ::SelectObject(dc, oldPen);
    ::SelectObject(dc, oldBrush);
    ::DeleteObject(brush);
    DrawTabLabel(pDC, nIndex);
}

void SECWorkbook::DrawClientBorder(CDC* pDC)
{
    if (m_hWndMDIClient == nullptr)
        return;
    CRect client;
    ::GetWindowRect(m_hWndMDIClient, &client);
    ScreenToClient(&client);
    client.InflateRect(1, 1);
    HDC dc = pDC->GetSafeHdc();
    HGDIOBJ old = ::SelectObject(dc, m_hPenShadow);
    ::MoveToEx(dc, client.left, client.bottom, nullptr);
    ::LineTo(dc, client.left, client.top);
    ::LineTo(dc, client.right, client.top);
    ::SelectObject(dc, m_hPenWhite);
    ::LineTo(dc, client.right, client.bottom);
    ::SelectObject(dc, m_hPenBlack);
    ::LineTo(dc, client.left - 1, client.bottom);
    ::SelectObject(dc, old);
}

void SECWorkbook::InvalidateTab(int nIndex)
{
    if (m_hWnd == nullptr || !m_bShowTabs || nIndex < 0 || nIndex >= GetSheetCount())
        return;
    POINT pts[7];
    GetTabPolygon(nIndex, pts);
    CRect rect(pts[0].x, pts[0].y, pts[5].x + 1, pts[2].y + 1);
    rect.InflateRect(m_nActiveWiden, 0, m_nActiveWiden, m_nActiveHeighten);
    InvalidateRect(&rect);
}

void SECWorkbook::InvalidateTabStrip()
{
    if (m_hWnd == nullptr || !m_bShowTabs)
        return;
    CRect area = GetTabArea();
    CRect client;
    if (m_hWndMDIClient != nullptr) {
        ::GetWindowRect(m_hWndMDIClient, &client);
        ScreenToClient(&client);
        area.top = client.bottom;
    }
    InvalidateRect(&area);
}

int SECWorkbook::TabFromPoint(CPoint point)
{
    if (!m_bShowTabs)
        return -1;
    for (int i = 0; i < GetSheetCount(); ++i) {
        if (!IsSheetVisible(i))
            continue;
        POINT pts[7];
        GetTabPolygon(i, pts);
        HRGN region = ::CreatePolygonRgn(pts, 7, ALTERNATE);
        const BOOL hit = region && ::PtInRegion(region, point.x, point.y);
        if (region)
            ::DeleteObject(region);
        if (hit)
            return i;
    }
    return -1;
}

void SECWorkbook::RecalcLayout(BOOL bNotify)
{
    SECMDIFrameWnd::RecalcLayout(bNotify);
    if (!m_bShowTabs)
        return;
    const CRect area = GetTabArea();
    if (area != m_rectLastClient) {
        m_rectLastClient = area;
        RecomputeTabWidth();
        Invalidate();
    }
}

INT_PTR SECWorkbook::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    auto* self = const_cast<SECWorkbook*>(this);
    const int index = self->TabFromPoint(point);
    if (index < 0 || self->TabTextFits(index))
        return -1;
    if (pTI != nullptr) {
        POINT pts[7];
        self->GetTabPolygon(index, pts);
        pTI->hwnd = m_hWnd;
        pTI->uId = static_cast<UINT_PTR>(index + 1);
        pTI->rect = CRect(pts[0].x, pts[0].y, pts[5].x, pts[2].y);
        pTI->lpszText = LPSTR_TEXTCALLBACK;   // the title is asked for (TTN_NEEDTEXT)
    }
    return index + 1;
}

LRESULT SECWorkbook::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_PAINT: {
        if (!m_bShowTabs || m_hWndMDIClient == nullptr)
            break;
        CPaintDC dc(this);
        CRect client;
        ::GetClientRect(m_hWndMDIClient, &client);
        if (client.IsRectEmpty())
            return 0;
        if (m_bRepaintOnResize) {
            const CRect area = GetTabArea();
            if (area != m_rectLastClient) {
                m_rectLastClient = area;
                Invalidate();
            }
        }
        dc.SetBkMode(TRANSPARENT);
        for (int i = 0; i < GetSheetCount(); ++i) {
            if (IsSheetVisible(i) && i != m_nActiveTab)
                DrawTab(&dc, i);
        }
        DrawClientBorder(&dc);
        if (m_nActiveTab >= 0 && m_nActiveTab < GetSheetCount() && IsSheetVisible(m_nActiveTab))
            DrawTab(&dc, m_nActiveTab);
        return 0;
    }
    case WM_ERASEBKGND: {
        HDC dc = reinterpret_cast<HDC>(wParam);
        CRect all;
        GetClientRect(&all);
        CRect area = m_bShowTabs ? GetTabArea() : all;
        if (m_hWndMDIClient != nullptr) {
            CRect client;
            ::GetWindowRect(m_hWndMDIClient, &client);
            ScreenToClient(&client);
            ::ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
        }
        HBRUSH face = ::CreateSolidBrush(::GetSysColor(COLOR_BTNFACE));
        ::FillRect(dc, &area, face);
        ::DeleteObject(face);
        return 1;
    }
    case WM_LBUTTONDOWN:
        if (m_bShowTabs) {
            const int index = TabFromPoint(CPoint(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)));
            if (index >= 0 && index != m_nActiveTab && CanActivateSheet(m_sheets[static_cast<size_t>(index)])) {
                SECWorksheet* sheet = m_sheets[static_cast<size_t>(index)];
                sheet->m_bPressed = TRUE;
                UpdateWindow();
                MDIActivate(sheet);
            }
        }
        break;
    case WM_LBUTTONUP:
        for (SECWorksheet* sheet : m_sheets)
            sheet->m_bPressed = FALSE;
        break;
    case SEC_WM_ACTIVESHEETCHANGED: {
        InvalidateTab(m_nActiveTab);
        BOOL maximized = FALSE;
        auto* active = dynamic_cast<SECWorksheet*>(MDIGetActive(&maximized));
        m_nActiveTab = active ? active->m_nTabIndex : -1;
        InvalidateTab(m_nActiveTab);
        if (!maximized)
            UpdateWindow();
        return 0;
    }
    case WM_NOTIFY: {
        auto* info = reinterpret_cast<NMTTDISPINFO*>(lParam);
        if (info != nullptr && info->hdr.code == static_cast<UINT>(TTN_NEEDTEXT) && info->hdr.idFrom >= 1 &&
            info->hdr.idFrom <= static_cast<UINT_PTR>(GetSheetCount())) {
            const CString title = GetSheetTitle(static_cast<int>(info->hdr.idFrom) - 1);
            const size_t n = std::min<size_t>(sizeof info->szText - 1, static_cast<size_t>(title.GetLength()));
            std::memcpy(info->szText, static_cast<LPCSTR>(title), n);
            info->szText[n] = '\0';
            info->lpszText = info->szText;
            return 0;
        }
        break;
    }
    case WM_DESTROY:
        if (m_pClientObject != nullptr && m_pClientObject->m_hWnd != nullptr)
            m_pClientObject->UnsubclassWindow();
        break;
    default: break;
    }
    return SECMDIFrameWnd::WindowProc(message, wParam, lParam);
}

// ---- The sheets -------------------------------------------------------------------------------

SECWorkbook* SECWorksheet::GetWorkbook() const
{
    return dynamic_cast<SECWorkbook*>(GetMDIFrame());
}

BOOL SECWorksheet::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd, CCreateContext* pContext)
{
    if (!SECMDIChildWnd::LoadFrame(nIDResource, dwDefaultStyle, pParentWnd, pContext))
        return FALSE;
    if (SECWorkbook* book = GetWorkbook())
        book->AddSheet(this);
    m_hIcon = static_cast<HICON>(::LoadImage(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource), IMAGE_ICON, 16, 16, LR_SHARED));
    return TRUE;
}

LRESULT SECWorksheet::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY) {
        if (SECWorkbook* book = GetWorkbook())
            book->RemoveSheet(this);
    }
    const LRESULT result = SECMDIChildWnd::WindowProc(message, wParam, lParam);
    if (message == WM_SHOWWINDOW || message == WM_SETTEXT) {
        if (SECWorkbook* book = GetWorkbook())
            book->SendMessage(SEC_WM_ACTIVESHEETCHANGED, 0, 0);
    }
    return result;
}

void SECWorksheet::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    SECMDIChildWnd::OnUpdateFrameTitle(bAddToTitle);
    if (SECWorkbook* book = GetWorkbook())
        book->SendMessage(SEC_WM_ACTIVESHEETCHANGED, 0, 0);
}
