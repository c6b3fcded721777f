#include "grid/features/CGXTabBeam.h"

#include "grid/core/CGXGridAppData.h"
#include "platform/core/CObject.h"

#include <cstring>
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/TickCount.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CGXTabInfo, CObject)
IMPLEMENT_DYNCREATE(CGXTabBeam, CWnd)

CGXTabInfo::~CGXTabInfo()
{
    if (bDeleteWnd && pExtra != nullptr) {
        if (pExtra->GetSafeHwnd() != nullptr)
            pExtra->DestroyWindow();
        delete pExtra;
    }
}

BEGIN_MESSAGE_MAP(CGXTabBeam, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONDBLCLK()
    ON_MESSAGE(WM_SYSCOLORCHANGE, &CGXTabBeam::OnSysColorChangeMsg)
    ON_MESSAGE(WM_SETTINGCHANGE, &CGXTabBeam::OnSettingChangeMsg)
END_MESSAGE_MAP()

CGXTabBeam::CGXTabBeam()
{
    m_nHeight = GetSystemMetrics(SM_CYHSCROLL);
    m_nButtonWidth = m_nHeight;
    m_nButtonAreaWidth = 2 * m_nHeight;
    m_hArrow = LoadCursor(nullptr, IDC_ARROW);
    m_brBlack.CreateSolidBrush(RGB(0, 0, 0));
    LoadColors();
}

CGXTabBeam::~CGXTabBeam()
{
    DeleteAllTabs();
}

void CGXTabBeam::DeleteAllTabs()
{
    for (INT_PTR i = 0; i < m_TabInfo.GetSize(); ++i)
        delete m_TabInfo[i];
    m_TabInfo.RemoveAll();
    m_nTabs = 0;
    m_nCurrent = -1;
}

void CGXTabBeam::PostNcDestroy()
{
    if (m_bAutoDelete)
        delete this;
}

BOOL CGXTabBeam::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    if (pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr)
        return FALSE;
    if (!CWnd::Create(nullptr, nullptr, dwStyle | WS_CHILD, rect, pParentWnd, nID))
        return FALSE;
    CreateFonts();
    SetWindowPos(nullptr, 0, 0, 1, m_nHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    LoadColors();
    return TRUE;
}

static LRESULT CALLBACK GXTabBeamClassProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // A beam named in a dialog template: give the window its object, which deletes itself.
    // A window the program made with its own object only passes its default processing here.
    if (CWnd::FromHandlePermanent(hWnd) != nullptr)
        return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
    auto* pBeam = new CGXTabBeam;
    pBeam->m_bAutoDelete = TRUE;
    pBeam->Attach(hWnd);
    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    pBeam->CreateFonts();
    return AfxWndProc(hWnd, nMsg, wParam, lParam);
}

void CGXTabBeam::RegisterClass(HINSTANCE hInstance)
{
    WNDCLASS wc{};
    if (::GetClassInfo(hInstance, "CGXTabBeam", &wc))
        return;
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = GXTabBeamClassProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "CGXTabBeam";
    if (!::RegisterClass(&wc))
        AfxThrowResourceException();
}

void CGXTabBeam::UnregisterClass(HINSTANCE hInstance)
{
    ::UnregisterClass("CGXTabBeam", hInstance);
}

void CGXTabBeam::CreateFonts()
{
    m_fontNormal.DeleteObject();
    m_fontBold.DeleteObject();
    LOGFONT lf{};
    lf.lfHeight = m_nHeight - 2;
    lf.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    lf.lfClipPrecision = CLIP_STROKE_PRECIS | CLIP_LH_ANGLES;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(lf.lfFaceName, "Arial", LF_FACESIZE - 1);
    lf.lfWeight = FW_NORMAL;
    m_fontNormal.CreateFontIndirect(&lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(&lf);
}

void CGXTabBeam::LoadColors()
{
    m_rgbTextCurrent = GetSysColor(COLOR_WINDOWTEXT);
    m_rgbText = GetSysColor(COLOR_WINDOWTEXT);
    m_rgbFaceNormal = GetSysColor(COLOR_BTNFACE);
    m_rgbFaceSel = GetSysColor(COLOR_WINDOW);
    m_rgbBeam = GetSysColor(COLOR_SCROLLBAR);
    m_brFaceNormal.DeleteObject();
    m_brFaceSel.DeleteObject();
    m_penShadow.DeleteObject();
    m_brFaceNormal.CreateSolidBrush(m_rgbFaceNormal);
    m_brFaceSel.CreateSolidBrush(m_rgbFaceSel);
    m_penShadow.CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNSHADOW));
}

CWnd* CGXTabBeam::GetNotifyWnd()
{
    if (m_pNotifyWnd != nullptr)
        return m_pNotifyWnd;
    CWnd* pOwner = GetOwner();
    return pOwner != nullptr ? pOwner : GetParent();
}

int CGXTabBeam::GetTabLeft(int nTab)
{
    int x = GetTabAreaLeft();
    if (nTab >= m_nFirstTab) {
        for (int i = m_nFirstTab; i < nTab && i < m_nTabs; ++i)
            x += GetTab(i).nWidth + m_nOverlap;
    } else {
        for (int i = nTab; i < m_nFirstTab; ++i)
            x -= GetTab(i).nWidth + m_nOverlap;
    }
    return x;
}

int CGXTabBeam::TabFromPoint(int x)
{
    int left = GetTabAreaLeft();
    if (x < left)
        return -1;
    for (int i = m_nFirstTab; i < m_nTabs; ++i) {
        int next = left + GetTab(i).nWidth + m_nOverlap;
        if (x < next)
            return i;
        left = next;
    }
    // The last tab's right slant reaches 7 pixels past the next tab's left edge.
    if (m_nTabs > 0 && x < left + m_nOverlap)
        return m_nTabs - 1;
    return -1;
}

int CGXTabBeam::GetLastVisibleTab()
{
    CRect rc;
    GetClientRect(&rc);
    int x = GetTabAreaLeft();
    int last = m_nFirstTab - 1;
    for (int i = m_nFirstTab; i < m_nTabs; ++i) {
        if (x + GetTab(i).nWidth + 2 * m_nOverlap > rc.right)
            break;
        last = i;
        x += GetTab(i).nWidth + m_nOverlap;
    }
    return last;
}

void CGXTabBeam::ScrollToTab(int nTab)
{
    if (!IsValidTab(nTab))
        return;
    if (nTab < m_nFirstTab) {
        m_nFirstTab = nTab;
        return;
    }
    while (m_nFirstTab < nTab && GetLastVisibleTab() < nTab)
        ++m_nFirstTab;
}

void CGXTabBeam::SetCurSel(int nTab)
{
    if (!IsValidTab(nTab))
        return;
    m_nCurrent = nTab;
    ScrollToTab(nTab);
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

void CGXTabBeam::AdjustTabSize(int nTab)
{
    if (!IsValidTab(nTab))
        return;
    CGXTabInfo& tab = GetTab(nTab);
    if (GetSafeHwnd() != nullptr) {
        CClientDC dc(this);
        CFont* pOld = dc.SelectObject(&m_fontBold);
        tab.nWidth = dc.GetTextExtent(tab.sLabel).cx + m_nOverlap;
        dc.SelectObject(pOld);
        Invalidate(FALSE);
    }
}

void CGXTabBeam::InsertTab(BOOL bInsert, LPCTSTR szLabel, CWnd* pWnd, BOOL bDeleteWnd, int nWidth, void* pExtraData)
{
    auto* pTab = new CGXTabInfo;
    pTab->sLabel = szLabel != nullptr ? szLabel : "";
    pTab->pExtra = pWnd;
    pTab->bDeleteWnd = bDeleteWnd;
    pTab->pExtraData = pExtraData;
    pTab->rgbFaceNormal = m_rgbFaceNormal;
    pTab->rgbFaceSel = m_rgbFaceSel;
    pTab->brFaceNormal.CreateSolidBrush(m_rgbFaceNormal);
    pTab->brFaceSel.CreateSolidBrush(m_rgbFaceSel);
    pTab->flagsCustomColor = 0;
    int nAt = m_nTabs;
    if (bInsert && IsValidTab(m_nCurrent))
        nAt = m_nCurrent;
    m_TabInfo.InsertAt(nAt, pTab);
    ++m_nTabs;
    // The tab that was current stays current: it moved one place right.
    if (m_nCurrent >= nAt)
        ++m_nCurrent;
    if (nWidth < 0)
        AdjustTabSize(nAt);
    else
        pTab->nWidth = nWidth;
    if (m_nCurrent < 0) {
        m_nCurrent = m_nTabs - 1;
        ScrollToTab(m_nCurrent);
    }
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

void CGXTabBeam::DeleteTab(int nTab)
{
    if (!IsValidTab(nTab))
        return;
    if (nTab == m_nCurrent) {
        m_nCurrent = 0;
        m_nFirstTab = 0;
    } else if (nTab < m_nCurrent) {
        // The current tab keeps being the same tab, one place further left.
        --m_nCurrent;
    }
    delete m_TabInfo[nTab];
    m_TabInfo.RemoveAt(nTab);
    --m_nTabs;
    if (m_nTabs == 0)
        m_nCurrent = -1;
    m_nFirstTab = std::max(0, std::min(m_nFirstTab, m_nTabs - 1));
    if (GetSafeHwnd() != nullptr)
        Invalidate(FALSE);
}

int CGXTabBeam::FindTab(const CWnd* pWnd) const
{
    for (int i = 0; i < m_nTabs; ++i)
        if (static_cast<CGXTabInfo*>(m_TabInfo[i])->pExtra == pWnd)
            return i;
    return -1;
}

BOOL CGXTabBeam::CanButtonAct(int nButton)
{
    if (m_nTabs < 2)
        return FALSE;
    // With two buttons they are "previous" (1) and "next" (2); with four, 0 to 3.
    BOOL bBack = m_nButtons == 2 ? nButton == 1 : nButton <= 1;
    if (bBack)
        return m_nFirstTab > 0;
    return GetLastVisibleTab() < m_nTabs - 1;
}

DWORD CGXTabBeam::RepeatInterval(int nRepeats)
{
    int ms = 200 - 20 * std::max(0, nRepeats);
    return static_cast<DWORD>(std::max(ms, 100));
}

int CGXTabBeam::ButtonFromPoint(int x, int y, int nOnly)
{
    if (!m_bScrollButtons || y < 0 || y > m_nHeight || x < 0 || x >= m_nButtonAreaWidth || m_nButtonWidth <= 0)
        return -1;
    int nButton = x / m_nButtonWidth + (m_nButtons == 2 ? 1 : 0);
    if (!CanButtonAct(nButton) || (nOnly != -1 && nButton != nOnly))
        return -1;
    ScrollTabs(nButton);
    return nButton;
}

void CGXTabBeam::ScrollTabs(int nButton)
{
    if (CWnd* pNotify = GetNotifyWnd())
        pNotify->SendMessage(GX_WM_TABCANCELNAME, 0, 0);
    int nFirst = m_nFirstTab;
    enum { First, Prev, Next, Last };
    int kind = m_nButtons == 2 ? (nButton == 1 ? Prev : Next) : nButton;
    switch (kind) {
    case First: nFirst = 0; break;
    case Prev: nFirst = m_nFirstTab - 1; break;
    case Next: nFirst = m_nFirstTab + 1; break;
    default: nFirst = m_nTabs - 1; break;
    }
    // The smallest first tab from which the rest still fills the tab area.
    CRect rc;
    GetClientRect(&rc);
    int avail = rc.right - GetTabAreaLeft() - m_nOverlap;
    int nMaxFirst = m_nTabs - 1;
    int used = 0;
    for (int i = m_nTabs - 1; i >= 0; --i) {
        used += GetTab(i).nWidth + m_nOverlap;
        if (used > avail)
            break;
        nMaxFirst = i;
    }
    nFirst = std::clamp(nFirst, 0, std::max(0, nMaxFirst));
    if (nFirst == m_nFirstTab)
        return;
    m_nFirstTab = nFirst;
    Invalidate(FALSE);
    UpdateWindow();
}

void CGXTabBeam::TrackButton(UINT nEndMessage)
{
    SetCapture();
    m_bTracking = TRUE;
    int nRepeats = 0;
    DWORD dwNext = GetTickCount() + RepeatInterval(nRepeats);
    for (;;) {
        // The repeat is due on the clock, whether or not other messages keep arriving.
        DWORD now = GetTickCount();
        if (static_cast<int>(now - dwNext) >= 0) {
            CPoint pt;
            ::GetCursorPos(&pt);
            ScreenToClient(&pt);
            if (ButtonFromPoint(pt.x, pt.y, m_nTrackButton) != -1)
                ++nRepeats;
            now = GetTickCount();
            dwNext = now + RepeatInterval(nRepeats);
        }
        MSG msg;
        if (::PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.message == nEndMessage || msg.message == WM_QUIT || GetCapture() != this) {
                if (msg.message == WM_QUIT)
                    ::PostQuitMessage(static_cast<int>(msg.wParam));
                break;
            }
            if (msg.message == WM_MOUSEMOVE)
                continue;
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
            continue;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, dwNext - now, QS_ALLINPUT);
    }
    m_bTracking = FALSE;
    m_bPressed = FALSE;
    m_nTrackButton = -1;
    if (GetCapture() == this)
        ReleaseCapture();
    Invalidate(FALSE);
}

void CGXTabBeam::SelectTabAt(int x, int y)
{
    (void)y;
    int left = GetTabAreaLeft();
    if (m_bScrollButtons && x < m_nButtonAreaWidth)
        return;
    int nTab = x < left + m_nOverlap ? m_nFirstTab - 1 : TabFromPoint(x);
    if (!IsValidTab(nTab))
        return;
    CWnd* pNotify = GetNotifyWnd();
    if (pNotify != nullptr && pNotify->SendMessage(GX_WM_TABCANSWITCH, nTab, 0) != 0)
        return;
    int nOld = m_nCurrent;
    m_nCurrent = nTab;
    if (!GetTab(nTab).bSel)
        for (int i = 0; i < m_nTabs; ++i)
            GetTab(i).bSel = FALSE;
    ScrollToTab(nTab);
    if (nOld != nTab)
        Invalidate(FALSE);
    if (pNotify != nullptr)
        pNotify->PostMessage(GX_WM_TABSWITCH, nTab, 0);
}

void CGXTabBeam::OnLButtonDown(UINT nFlags, CPoint point)
{
    int nButton = ButtonFromPoint(point.x, point.y);
    if (nButton != -1) {
        m_nTrackButton = nButton;
        m_bPressed = TRUE;
        {
            CClientDC dc(this);
            DrawButton(&dc, nButton, TRUE);
        }
        TrackButton(WM_LBUTTONUP);
        return;
    }
    if (nFlags & (MK_CONTROL | MK_SHIFT)) {
        int nTab = TabFromPoint(point.x);
        if (!IsValidTab(nTab))
            return;
        if (nFlags & MK_CONTROL) {
            GetTab(nTab).bSel = !GetTab(nTab).bSel;
        } else if (IsValidTab(m_nCurrent)) {
            for (int i = std::min(nTab, m_nCurrent); i <= std::max(nTab, m_nCurrent); ++i)
                GetTab(i).bSel = TRUE;
        }
        Invalidate(FALSE);
        return;
    }
    SelectTabAt(point.x, point.y);
}

void CGXTabBeam::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    int nTab = TabFromPoint(point.x);
    if (IsValidTab(nTab) && IsValidTab(m_nCurrent) && m_nCurrent >= m_nFirstTab && m_nCurrent <= GetLastVisibleTab()) {
        if (CWnd* pNotify = GetNotifyWnd())
            pNotify->PostMessage(GX_WM_TABRENAME, m_nCurrent, 0);
        return;
    }
    OnLButtonDown(nFlags, point);
}

void CGXTabBeam::DrawButton(CDC* pDC, int nButton, BOOL bPressed)
{
    int nSlot = m_nButtons == 2 ? nButton - 1 : nButton;
    CRect rc(nSlot * m_nButtonWidth, 0, (nSlot + 1) * m_nButtonWidth, m_nHeight);
    pDC->FillSolidRect(&rc, GetSysColor(COLOR_WINDOWFRAME));
    CRect face(rc.left + 1, rc.top + 1, rc.right - 1, rc.bottom - 1);
    pDC->FillSolidRect(&face, GetSysColor(COLOR_BTNFACE));
    COLORREF tl = GetSysColor(bPressed ? COLOR_BTNSHADOW : COLOR_BTNHIGHLIGHT);
    pDC->FillSolidRect(face.left, face.top, face.Width() - 1, 1, tl);
    pDC->FillSolidRect(face.left, face.top, 1, face.Height() - 1, tl);
    if (!bPressed) {
        COLORREF br = GetSysColor(COLOR_BTNSHADOW);
        pDC->FillSolidRect(face.left, face.bottom - 1, face.Width(), 1, br);
        pDC->FillSolidRect(face.right - 1, face.top, 1, face.Height(), br);
    }
    pDC->FillSolidRect(rc.left, rc.bottom - 1, rc.Width(), 1, RGB(0, 0, 0));
    int kind = m_nButtons == 2 ? (nButton == 1 ? 1 : 2) : nButton;
    bool left = kind <= 1;
    int lines = m_nHeight >= 20 ? 5 : 4;
    int cx = rc.left + (rc.Width() - lines) / 2 + (bPressed ? 1 : 0);
    int cy = rc.top + rc.Height() / 2 + (bPressed ? 1 : 0);
    COLORREF clr = CanButtonAct(nButton) ? RGB(0, 0, 0) : RGB(0x60, 0x60, 0x60);
    for (int i = 0; i < lines; ++i) {
        int h = 2 * i + 1;
        int x = left ? cx + i : cx + lines - 1 - i;
        pDC->FillSolidRect(x, cy - i, 1, h, clr);
    }
    if (kind == 0)
        pDC->FillSolidRect(cx - 2, cy - lines + 1, 1, 2 * lines - 1, clr);
    else if (kind == 3)
        pDC->FillSolidRect(cx + lines + 1, cy - lines + 1, 1, 2 * lines - 1, clr);
}

void CGXTabBeam::DrawTab(CDC* pDC, int nTab)
{
    CGXTabInfo& tab = GetTab(nTab);
    int x = GetTabLeft(nTab);
    int w = tab.nWidth;
    int h = m_nHeight;
    const int o = m_nOverlap;
    POINT pts[4] = {{x, 0}, {x + w + 2 * o, 0}, {x + w + o, h}, {x + o, h}};
    bool current = nTab == m_nCurrent;
    CBrush* pFill;
    if (current || tab.bSel)
        pFill = (tab.flagsCustomColor & 2) ? &tab.brFaceSel : &m_brFaceSel;
    else
        pFill = (tab.flagsCustomColor & 1) ? &tab.brFaceNormal : &m_brFaceNormal;
    CRgn rgn;
    rgn.CreatePolygonRgn(pts, 4, ALTERNATE);
    pDC->FillRgn(&rgn, pFill);
    CPen black(PS_SOLID, 1, RGB(0, 0, 0));
    CPen* pOldPen = pDC->SelectObject(&black);
    POINT outline[5] = {pts[0], pts[1], pts[2], pts[3], pts[0]};
    pDC->Polyline(outline, 5);
    if (current) {
        // The current tab joins the sheet above it: no line along its top.
        CPen face(PS_SOLID, 1, (tab.flagsCustomColor & 2) ? tab.rgbFaceSel : m_rgbFaceSel);
        pDC->SelectObject(&face);
        pDC->MoveTo(x + 1, 0);
        pDC->LineTo(x + w + 2 * o, 0);
        pDC->SelectObject(&black);
    }
    pDC->SelectObject(&m_penShadow);
    pDC->MoveTo(x + o + 1, h - 1);
    pDC->LineTo(x + w + o, h - 1);
    pDC->LineTo(x + w + 2 * o - 1, 0);
    pDC->SelectObject(pOldPen);

    CFont* pOldFont = pDC->SelectObject(current ? &m_fontBold : &m_fontNormal);
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(current ? m_rgbTextCurrent : m_rgbText);
    int down = (h - pDC->GetTextExtent("t", 1).cy) / 2;
    CRect rcText(x + o, down, x + o + w, h + down);
    pDC->DrawText(tab.sLabel, &rcText, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    pDC->SelectObject(pOldFont);
}

void CGXTabBeam::OnPaint()
{
    CPaintDC paint(this);
    CRect rc;
    GetClientRect(&rc);
    if (rc.IsRectEmpty())
        return;
    CDC mem;
    mem.CreateCompatibleDC(&paint);
    CBitmap bmp;
    bmp.CreateCompatibleBitmap(&paint, rc.Width(), rc.Height());
    CBitmap* pOldBmp = mem.SelectObject(&bmp);
    CFont* pOldFont = mem.SelectObject(&m_fontNormal);
    if (m_bScrollButtons)
        for (int b = 0; b < m_nButtons; ++b)
            DrawButton(&mem, m_nButtons == 2 ? b + 1 : b, m_bPressed && m_nTrackButton == (m_nButtons == 2 ? b + 1 : b));
    int left = GetTabAreaLeft();
    mem.FillSolidRect(left - (m_bScrollButtons ? 1 : 0), 0, rc.right - left + 1, rc.bottom, m_rgbBeam);
    mem.FillSolidRect(left, 0, rc.right - left, 1, RGB(0, 0, 0));
    // Right to left, so that each tab lies over its right neighbour; the current tab last.
    int last = std::min(m_nTabs - 1, GetLastVisibleTab() + 1);
    for (int i = last; i >= m_nFirstTab; --i)
        if (i != m_nCurrent)
            DrawTab(&mem, i);
    if (IsValidTab(m_nCurrent) && m_nCurrent >= m_nFirstTab && m_nCurrent <= last)
        DrawTab(&mem, m_nCurrent);
    if (m_bScrollButtons)
        mem.FillSolidRect(m_nButtonAreaWidth, 0, left - m_nButtonAreaWidth, rc.bottom, RGB(0, 0, 0));
    paint.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
    mem.SelectObject(pOldFont);
    mem.SelectObject(pOldBmp);
    m_nPaintFrom = -1;
}

BOOL CGXTabBeam::OnEraseBkgnd(CDC* pDC)
{
    if (m_nPaintFrom >= 0) {
        CRect rc;
        GetClientRect(&rc);
        rc.left = m_nPaintFrom;
        pDC->FillSolidRect(&rc, m_rgbBeam);
    }
    return TRUE;
}

LRESULT CGXTabBeam::OnSysColorChangeMsg(WPARAM, LPARAM)
{
    if (CGXSysColorCache* pCache = GXGetSysData())
        pCache->Refresh();
    LoadColors();
    Invalidate(FALSE);
    return 0;
}

LRESULT CGXTabBeam::OnSettingChangeMsg(WPARAM, LPARAM)
{
    int h = GetSystemMetrics(SM_CYHSCROLL);
    if (h != m_nHeight) {
        m_nHeight = h;
        m_nButtonWidth = h;
        m_nButtonAreaWidth = m_nButtons * h;
        CreateFonts();
        for (int i = 0; i < m_nTabs; ++i)
            AdjustTabSize(i);
    }
    Invalidate(FALSE);
    return 0;
}
