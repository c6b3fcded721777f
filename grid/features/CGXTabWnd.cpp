#include "grid/features/CGXTabWnd.h"

#include "grid/core/CGXDrawingAndFormatting.h"

#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/res/GridRes.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/frame/CSplitterWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/MessageMap.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/core/CException.h"
#include "platform/core/MessageQueue.h"
#include "platform/win/Cursor.h"
#include "platform/win/UserApi.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <cstdint>

IMPLEMENT_DYNCREATE(CGXTabWnd, CWnd)

static size_t& SelfCreatedTabWnds();

namespace {
constexpr UINT kHScrollId = AFX_IDW_HSCROLL_FIRST;
constexpr UINT kBeamId = 59905;
constexpr UINT kVScrollId = AFX_IDW_VSCROLL_FIRST;
constexpr UINT kSizeBoxId = AFX_IDW_SIZE_BOX;
constexpr UINT kEditId = 23001;
// The library's look: the new look is always on here.
constexpr int kNewLook = 1;
} // namespace

// ---- The rename popup ----

BEGIN_MESSAGE_MAP(CGXEditLabelPopup, CEdit)
    ON_WM_KEYDOWN()
    ON_WM_KEYUP()
    ON_WM_CHAR()
    ON_WM_KILLFOCUS()
    ON_WM_GETDLGCODE()
END_MESSAGE_MAP()

BOOL CGXEditLabelPopup::Create(const RECT& rect, CWnd* pParent)
{
    DWORD style = WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL;
    return CWnd::Create("EDIT", nullptr, style, rect, pParent, kEditId);
}

void CGXEditLabelPopup::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN) {
        m_pNotify->SendMessage(GX_WM_TABACCEPTNAME, 0, 0);
        return;
    }
    if (nChar == VK_ESCAPE) {
        m_pNotify->SendMessage(GX_WM_TABCANCELNAME, 0, 0);
        return;
    }
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
}

void CGXEditLabelPopup::OnKeyUp(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_RETURN || nChar == VK_ESCAPE)
        return;
    CEdit::OnKeyUp(nChar, nRepCnt, nFlags);
}

void CGXEditLabelPopup::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    // The characters of Enter and Escape would beep in a single-line edit.
    if (nChar == '\r' || nChar == 0x1B)
        return;
    CEdit::OnChar(nChar, nRepCnt, nFlags);
}

void CGXEditLabelPopup::OnKillFocus(CWnd* pNewWnd)
{
    CEdit::OnKillFocus(pNewWnd);
    m_pNotify->PostMessage(GX_WM_TABCANCELNAME, 0, 0);
}

UINT CGXEditLabelPopup::OnGetDlgCode()
{
    return CEdit::OnGetDlgCode() | DLGC_WANTALLKEYS;
}

// ---- The tab window ----

BEGIN_MESSAGE_MAP(CGXTabWnd, CWnd)
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_SIZE()
    ON_WM_SETFOCUS()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_MOUSEMOVE()
    ON_WM_SETCURSOR()
    ON_MESSAGE(WM_HSCROLL, &CGXTabWnd::OnScrollMsg)
    ON_MESSAGE(WM_VSCROLL, &CGXTabWnd::OnVScrollMsg)
    ON_MESSAGE(GX_WM_TABSWITCH, &CGXTabWnd::OnTabSwitch)
    ON_MESSAGE(GX_WM_TABRENAME, &CGXTabWnd::OnTabRename)
    ON_MESSAGE(GX_WM_TABCANSWITCH, &CGXTabWnd::OnTabCanSwitch)
    ON_MESSAGE(GX_WM_TABACCEPTNAME, &CGXTabWnd::OnAcceptName)
    ON_MESSAGE(GX_WM_TABCANCELNAME, &CGXTabWnd::OnCancelName)
    ON_MESSAGE(WM_SYSCOLORCHANGE, &CGXTabWnd::OnSysColorChangeMsg)
    ON_MESSAGE(WM_SETTINGCHANGE, &CGXTabWnd::OnSettingChangeMsg)
END_MESSAGE_MAP()

CGXTabWnd::CGXTabWnd() : CGXTabWnd(RUNTIME_CLASS(CGXTabBeam)) {}

CGXTabWnd::CGXTabWnd(CRuntimeClass* pBeamClass) : m_pBeamClass(pBeamClass)
{
    ReadMetrics();
    m_hArrow = LoadCursor(nullptr, IDC_ARROW);
    m_brFace.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    if (CGXGridAppData* pData = GXGetAppData()) {
        pData->RegisterScrollBarParentClass(RUNTIME_CLASS(CGXTabWnd));
        if (!pData->m_pTabWndInterface)
            pData->m_pTabWndInterface = std::make_unique<CGXTabWndInterface>();
    }
}

CGXTabWnd::~CGXTabWnd()
{
    if (m_pEditWnd != nullptr) {
        if (m_pEditWnd->GetSafeHwnd() != nullptr)
            m_pEditWnd->DestroyWindow();
        delete m_pEditWnd;
    }
    if (m_pBeam != nullptr) {
        if (m_pBeam->GetSafeHwnd() != nullptr)
            m_pBeam->DestroyWindow();
        delete m_pBeam;
    }
}

void CGXTabWnd::ReadMetrics()
{
    m_cxVScroll = GetSystemMetrics(SM_CXVSCROLL);
    m_cyHScroll = GetSystemMetrics(SM_CYHSCROLL);
    m_cyStrip = m_cyHScroll + 2 * kNewLook;
}

namespace {
// The window style bit that asks for the frame, as the frame flag does.
constexpr DWORD kFrameStyle = 0x200;
constexpr int kFrameWidth = 2;
} // namespace

BOOL CGXTabWnd::HasFrame() const
{
    return m_bFrame || (GetSafeHwnd() != nullptr && (GetStyle() & kFrameStyle) != 0);
}

void CGXTabWnd::SetFrame(BOOL bFrame)
{
    if (m_bFrame == bFrame)
        return;
    m_bFrame = bFrame;
    if (GetSafeHwnd() != nullptr)
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CGXTabWnd::OnNcCalcSize(BOOL bCalcValidRects, NCCALCSIZE_PARAMS* lpncsp)
{
    CWnd::OnNcCalcSize(bCalcValidRects, lpncsp);
    if (lpncsp != nullptr && HasFrame()) {
        RECT& rc = lpncsp->rgrc[0];
        rc.left += kFrameWidth;
        rc.top += kFrameWidth;
        rc.right = std::max<LONG>(rc.left, rc.right - kFrameWidth);
        rc.bottom = std::max<LONG>(rc.top, rc.bottom - kFrameWidth);
    }
}

void CGXTabWnd::OnNcPaint()
{
    CWnd::OnNcPaint();
    if (!HasFrame())
        return;
    CWindowDC dc(this);
    CRect rect;
    GetWindowRect(&rect);
    rect.OffsetRect(-rect.left, -rect.top);
    CGXDrawingAndFormatting::GetInstance()->Draw3dFrame(&dc, rect, FALSE, TRUE);
}

BOOL CGXTabWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN;
    return CWnd::PreCreateWindow(cs);
}

void CGXTabWnd::PostNcDestroy()
{
    if (m_bAutoDelete) {
        --SelfCreatedTabWnds();
        delete this;
    }
}

BOOL CGXTabWnd::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_bHScroll = (dwStyle & WS_HSCROLL) != 0;
    m_bVScroll = (dwStyle & WS_VSCROLL) != 0;
    if (GetSafeHwnd() == nullptr) {
        if (pParentWnd == nullptr || pParentWnd->GetSafeHwnd() == nullptr)
            return FALSE;
        if (!CWnd::Create("GxMdiFrame", nullptr, dwStyle & ~(WS_HSCROLL | WS_VSCROLL), CRect(0, 0, 0, 0), pParentWnd, nID))
            return FALSE;
    }
    CreateChildren();
    return TRUE;
}

void CGXTabWnd::CreateChildren()
{
    auto makeBar = [this](DWORD style, UINT nID, BOOL bShow) {
        HWND h = ::CreateWindowEx(0, "SCROLLBAR", nullptr, WS_CHILD | (bShow ? WS_VISIBLE : 0) | style, 0, 0, 1, 1, GetSafeHwnd(),
                                  reinterpret_cast<HMENU>(static_cast<uintptr_t>(nID)), nullptr, nullptr);
        if (h == nullptr)
            AfxThrowResourceException();
    };
    makeBar(SBS_HORZ, kHScrollId, m_bHScroll);
    makeBar(SBS_VERT, kVScrollId, m_bVScroll);
    CWnd* pParent = GetParent();
    if (kNewLook && (m_bHScroll || m_bVScroll) && pParent != nullptr && pParent->IsFrameWnd())
        makeBar(SBS_SIZEGRIP, kSizeBoxId, TRUE);
    CObject* pObject = m_pBeamClass != nullptr ? m_pBeamClass->CreateObject() : nullptr;
    m_pBeam = dynamic_cast<CGXTabBeam*>(pObject);
    if (m_pBeam == nullptr) {
        delete pObject;
        AfxThrowResourceException();
    }
    if (!m_pBeam->Create(WS_VISIBLE, CRect(0, 0, 1, 1), this, kBeamId))
        AfxThrowResourceException();
    m_bCreated = TRUE;
}

void CGXTabWnd::GetSheetRect(CRect& rc) const
{
    GetClientRect(&rc);
    rc.bottom = std::max(rc.top, rc.bottom - m_cyStrip);
    if (m_bVScroll)
        rc.right = std::max(rc.left, rc.right - m_cxVScroll);
}

CRect CGXTabWnd::SplitterRect() const
{
    CRect rc;
    GetClientRect(&rc);
    return CRect(m_nBeamWidth + 1, rc.bottom - m_cyStrip, m_nBeamWidth + 1 + m_nSplitterWidth - 1, rc.bottom);
}

void CGXTabWnd::RecalcLayout(BOOL bKeepSheetSize)
{
    if (!m_bCreated) {
        CWnd* pParent = GetParent();
        Create(pParent, WS_CHILD | WS_HSCROLL | WS_VSCROLL, GetDlgCtrlID());
        m_nPaneId1 = m_nPaneId2 = AFX_IDW_PANE_FIRST;
    }
    CRect rc;
    GetClientRect(&rc);
    if (m_nBeamWidthX100 == 0 && rc.Width() > 0) {
        m_nBeamWidthX100 = rc.Width() / 2 * 100;
        m_nBeamWidth = rc.Width() / 2;
    }
    const int stripTop = rc.bottom - m_cyStrip;
    const int right = rc.right - (m_bVScroll ? m_cxVScroll : 0);
    HDWP hdwp = ::BeginDeferWindowPos(5);
    auto place = [&](CWnd* pWnd, int x, int y, int cx, int cy) {
        if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
            return;
        cx = std::max(cx, 0);
        cy = std::max(cy, 0);
        // Each child's own border falls just outside its area.
        const bool bTiny = cx < 2 || cy < 2;
        DWORD style = pWnd->GetStyle();
        if (bTiny && !(style & WS_BORDER))
            pWnd->ModifyStyle(0, WS_BORDER);
        else if (!bTiny && (style & WS_BORDER))
            pWnd->ModifyStyle(WS_BORDER, 0);
        CRect now;
        pWnd->GetWindowRect(&now);
        ScreenToClient(&now);
        if (now == CRect(x - 1, y - 1, x + cx + 1, y + cy + 1))
            return;
        hdwp = ::DeferWindowPos(hdwp, pWnd->GetSafeHwnd(), nullptr, x - 1, y - 1, cx + 2, cy + 2, SWP_NOZORDER | SWP_NOACTIVATE);
    };
    CWnd* pHBar = GetDlgItem(kHScrollId);
    int beamRight = right;
    if (m_bHScroll) {
        const int left = m_nBeamWidth + m_nSplitterWidth;
        place(pHBar, left, stripTop + 1, right - left, m_cyHScroll);
        beamRight = m_nBeamWidth;
    }
    if (m_bVScroll && !bKeepSheetSize)
        place(GetDlgItem(kVScrollId), right, 0, m_cxVScroll, stripTop);
    if (CWnd* pBox = GetDlgItem(kSizeBoxId)) {
        place(pBox, right, stripTop, m_cxVScroll, m_cyStrip);
        CWnd* pFrame = GetParent();
        BOOL bGrip = FALSE;
        if (pFrame != nullptr && (pFrame->GetStyle() & WS_THICKFRAME) && !pFrame->IsZoomed()) {
            CRect rcFrame, rcMe;
            pFrame->GetClientRect(&rcFrame);
            GetWindowRect(&rcMe);
            pFrame->ScreenToClient(&rcMe);
            bGrip = rcMe.right >= rcFrame.right && rcMe.bottom >= rcFrame.bottom;
        }
        pBox->EnableWindow(bGrip);
        pBox->ModifyStyle(bGrip ? SBS_SIZEBOX : SBS_SIZEGRIP, bGrip ? SBS_SIZEGRIP : SBS_SIZEBOX);
    }
    place(m_pBeam, 0, stripTop + 1, beamRight, m_cyHScroll);
    ::EndDeferWindowPos(hdwp);
    if (!bKeepSheetSize && m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr) {
        CRect sheet;
        GetSheetRect(sheet);
        sheet.DeflateRect(1, 1);
        m_pActivePane->MoveWindow(&sheet, TRUE);
        m_pActivePane->SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(std::max(0, sheet.Width() - 3), std::max(0, sheet.Height() - 3)));
    }
    if (m_bHScroll)
        InvalidateRect(SplitterRect(), FALSE);
}

void CGXTabWnd::AttachWnd(CWnd* pWnd, LPCTSTR szLabel)
{
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return;
    if (!m_bCreated)
        RecalcLayout();
    CRect sheet;
    GetSheetRect(sheet);
    sheet.DeflateRect(1, 1);
    pWnd->MoveWindow(&sheet, FALSE);
    m_pBeam->InsertTab(FALSE, szLabel, pWnd, FALSE, -1);
    ::ShowScrollBar(pWnd->GetSafeHwnd(), SB_BOTH, FALSE);
    const int nTab = m_pBeam->GetCount() - 1;
    if (m_pActivePane == nullptr) {
        m_pActivePane = pWnd;
        pWnd->ShowWindow(SW_SHOW);
        m_pBeam->SetCurSel(nTab);
    } else {
        pWnd->ShowWindow(SW_HIDE);
    }
    pWnd->SendMessage(GX_WM_TABATTACHED, nTab, 0);
    SaveScrollState(nTab);
    if (m_pActivePane == pWnd)
        RecalcLayout();
}

void CGXTabWnd::SaveScrollState(int nTab)
{
    if (!m_pBeam->IsValidTab(nTab))
        return;
    CGXTabInfo& tab = m_pBeam->GetTab(nTab);
    auto save = [this](UINT nID, GXTabScrollState& state, int& nPos) {
        CWnd* pBar = GetDlgItem(nID);
        if (pBar == nullptr)
            return;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL;
        ::GetScrollInfo(pBar->GetSafeHwnd(), SB_CTL, &si);
        state = GXTabScrollState{si.cbSize, si.fMask, si.nMin, si.nMax, si.nPage, si.nPos, si.nTrackPos};
        nPos = si.nPos;
    };
    save(kVScrollId, tab.sbVert, tab.nVertPos);
    save(kHScrollId, tab.sbHorz, tab.nHorzPos);
}

void CGXTabWnd::RestoreScrollState(int nTab)
{
    if (!m_pBeam->IsValidTab(nTab))
        return;
    CGXTabInfo& tab = m_pBeam->GetTab(nTab);
    auto restore = [this](UINT nID, const GXTabScrollState& state, int nPos) {
        CWnd* pBar = GetDlgItem(nID);
        if (pBar == nullptr)
            return;
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_ALL | SIF_DISABLENOSCROLL;
        si.nMin = state.nMin;
        si.nMax = state.nMax;
        si.nPage = state.nPage;
        si.nPos = nPos;
        // A sheet with nothing to scroll leaves its bar disabled rather than showing another
        // sheet's range.
        if (state.nMax == 0) {
            si.nMin = si.nMax = 0;
            si.nPage = 0;
            si.nPos = 0;
        }
        ::SetScrollInfo(pBar->GetSafeHwnd(), SB_CTL, &si, TRUE);
        pBar->EnableWindow(state.nMax != 0);
    };
    restore(kVScrollId, tab.sbVert, tab.nVertPos);
    restore(kHScrollId, tab.sbHorz, tab.nHorzPos);
}

BOOL CGXTabWnd::SwitchTo(CWnd* pWnd)
{
    const int nTab = m_pBeam != nullptr ? m_pBeam->FindTab(pWnd) : -1;
    if (nTab < 0 || pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return FALSE;
    CancelRename();
    if (m_pActivePane != nullptr && m_pActivePane != pWnd && m_pActivePane->GetSafeHwnd() != nullptr) {
        if (m_pActivePane->SendMessage(GX_WM_TABCANACTIVATE, 0, 0) != 0 || pWnd->SendMessage(GX_WM_TABCANACTIVATE, 1, 0) != 0) {
            // Refused: the beam shows the current sheet's tab again, and the sheet keeps the focus.
            m_pBeam->SetCurSel(m_pBeam->FindTab(m_pActivePane));
            m_pActivePane->SetFocus();
            return FALSE;
        }
        SaveScrollState(m_pBeam->FindTab(m_pActivePane));
        m_pActivePane->ShowWindow(SW_HIDE);
    }
    m_pBeam->SetCurSel(nTab);
    m_pBeam->UpdateWindow();
    m_pActivePane = pWnd;
    pWnd->ShowWindow(SW_SHOW);
    pWnd->SetFocus();
    if (auto* pView = dynamic_cast<CView*>(pWnd))
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->SetActiveView(pView);
    RestoreScrollState(nTab);
    pWnd->Invalidate(TRUE);
    RecalcLayout();
    return TRUE;
}

LRESULT CGXTabWnd::OnTabSwitch(WPARAM wParam, LPARAM)
{
    const int nTab = static_cast<int>(wParam);
    if (m_pBeam == nullptr || !m_pBeam->IsValidTab(nTab))
        return 0;
    CWnd* pWnd = m_pBeam->GetTab(nTab).pExtra;
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return 0;
    if (pWnd == m_pActivePane) {
        // A double-click posts a switch and then a rename: let the rename keep the focus.
        MSG msg;
        if (::PeekMessage(&msg, GetSafeHwnd(), GX_WM_TABRENAME, GX_WM_TABRENAME, PM_NOREMOVE))
            return 0;
        if (auto* pView = dynamic_cast<CView*>(pWnd))
            if (CFrameWnd* pFrame = GetParentFrame())
                pFrame->SetActiveView(pView);
        pWnd->SetFocus();
        pWnd->Invalidate(FALSE);
        return 0;
    }
    SwitchTo(pWnd);
    return 0;
}

LRESULT CGXTabWnd::OnTabCanSwitch(WPARAM wParam, LPARAM)
{
    const int nTab = static_cast<int>(wParam);
    if (m_pBeam == nullptr || !m_pBeam->IsValidTab(nTab))
        return 1;
    CWnd* pWnd = m_pBeam->GetTab(nTab).pExtra;
    if (m_pActivePane == nullptr || pWnd == m_pActivePane || m_pActivePane->GetSafeHwnd() == nullptr)
        return 0;
    return m_pActivePane->SendMessage(GX_WM_TABCANACTIVATE, 0, 0) != 0 ? 1 : 0;
}

void CGXTabWnd::CancelRename()
{
    if (m_pEditWnd == nullptr)
        return;
    CGXEditLabelPopup* pEdit = m_pEditWnd;
    m_pEditWnd = nullptr;
    if (pEdit->GetSafeHwnd() != nullptr)
        pEdit->DestroyWindow();
    delete pEdit;
}

LRESULT CGXTabWnd::OnTabRename(WPARAM wParam, LPARAM)
{
    const int nTab = static_cast<int>(wParam);
    if (m_pEditWnd != nullptr || m_pBeam == nullptr || !m_pBeam->IsValidTab(nTab))
        return 0;
    CGXTabInfo& tab = m_pBeam->GetTab(nTab);
    if (tab.pExtra == nullptr || tab.pExtra->GetSafeHwnd() == nullptr || tab.pExtra->SendMessage(GX_WM_TABCANRENAME, nTab, 0) == 0)
        return 0;
    CClientDC dc(m_pBeam);
    CFont* pOld = dc.SelectObject(&m_pBeam->m_fontNormal);
    const CSize w = dc.GetTextExtent("W", 1);
    dc.SelectObject(pOld);
    CRect client;
    GetClientRect(&client);
    const int cyFrame = GetSystemMetrics(SM_CYDLGFRAME);
    const int cx = 15 * w.cx;
    const int cy = w.cy + 4 * cyFrame;
    int x = std::max(0, std::min(m_pBeam->GetTabLeft(nTab), client.right - cx));
    int y = std::max(0, static_cast<int>(client.bottom - m_cyStrip - 2 * (w.cy + cyFrame)));
    m_pEditWnd = new CGXEditLabelPopup(this);
    if (!m_pEditWnd->Create(CRect(x, y, x + cx, y + cy), this)) {
        delete m_pEditWnd;
        m_pEditWnd = nullptr;
        return 0;
    }
    m_pEditWnd->SetWindowText(tab.sLabel);
    m_pEditWnd->SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_pBeam->m_fontNormal.GetSafeHandle()), TRUE);
    m_pEditWnd->SendMessage(EM_SETSEL, 0, -1);
    m_pEditWnd->SetFocus();
    return 0;
}

LRESULT CGXTabWnd::OnAcceptName(WPARAM, LPARAM)
{
    if (m_pEditWnd == nullptr)
        return 0;
    CString sName;
    m_pEditWnd->GetWindowText(sName);
    CancelRename();
    const int nTab = m_pBeam->GetCurSel();
    if (!m_pBeam->IsValidTab(nTab))
        return 0;
    m_pBeam->GetTab(nTab).sLabel = sName;
    m_pBeam->AdjustTabSize(nTab);
    if (CWnd* pSheet = m_pBeam->GetTab(nTab).pExtra; pSheet != nullptr && pSheet->GetSafeHwnd() != nullptr)
        pSheet->SendMessage(GX_WM_TABRENAMED, nTab, 0);
    if (m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr)
        m_pActivePane->SetFocus();
    return 0;
}

LRESULT CGXTabWnd::OnCancelName(WPARAM, LPARAM)
{
    const BOOL bHadPopup = m_pEditWnd != nullptr;
    CancelRename();
    if (bHadPopup && m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr)
        m_pActivePane->SetFocus();
    return 0;
}

CString CGXTabWnd::GetTabName(const CWnd* pWnd) const
{
    const int nTab = m_pBeam != nullptr ? m_pBeam->FindTab(pWnd) : -1;
    return nTab >= 0 ? m_pBeam->GetTab(nTab).sLabel : CString();
}

void CGXTabWnd::SetTabName(int nTab, LPCTSTR szName, BOOL bNotify)
{
    if (m_pBeam == nullptr || !m_pBeam->IsValidTab(nTab))
        return;
    m_pBeam->GetTab(nTab).sLabel = szName != nullptr ? szName : "";
    m_pBeam->AdjustTabSize(nTab);
    m_pBeam->Invalidate(FALSE);
    if (bNotify)
        SendMessage(GX_WM_TABRENAMED, nTab, 0);
}

void CGXTabWnd::SetTabName(CWnd* pWnd, LPCTSTR szName, BOOL bNotify)
{
    SetTabName(m_pBeam != nullptr ? m_pBeam->FindTab(pWnd) : -1, szName, bNotify);
}

LRESULT CGXTabWnd::OnScrollMsg(WPARAM wParam, LPARAM lParam)
{
    CancelRename();
    if (m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr)
        return m_pActivePane->SendMessage(WM_HSCROLL, wParam, lParam);
    return 0;
}

LRESULT CGXTabWnd::OnVScrollMsg(WPARAM wParam, LPARAM lParam)
{
    CancelRename();
    if (m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr)
        return m_pActivePane->SendMessage(WM_VSCROLL, wParam, lParam);
    return 0;
}

int CGXTabWnd::ScaleBeamWidth(int nBeamX100, int nButtonArea, int nOldCx, int nNewCx)
{
    if (nOldCx <= 0)
        return nNewCx / 2 * 100;
    const int64_t base = static_cast<int64_t>(nButtonArea - 20) * 100;
    const int64_t scaled = (static_cast<int64_t>(nBeamX100) - base) * nNewCx / nOldCx + base;
    return static_cast<int>(std::clamp<int64_t>(scaled, INT32_MIN, INT32_MAX));
}

void CGXTabWnd::OnSize(UINT nType, int cx, int cy)
{
    CancelRename();
    if (m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr)
        m_pActivePane->SendMessage(GX_WM_TABRESIZING, 1, 0);
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0 && cx < 32767 && cy < 32767) {
        if (m_pBeam != nullptr && m_nLastCx > 0 && m_nBeamWidthX100 != 0) {
            m_nBeamWidthX100 = ScaleBeamWidth(m_nBeamWidthX100, m_pBeam->m_nButtonAreaWidth, m_nLastCx, cx);
        } else {
            m_nBeamWidthX100 = cx / 2 * 100;
        }
        m_nBeamWidth = m_nBeamWidthX100 / 100;
        m_nLastCx = cx;
        if (m_bCreated)
            RecalcLayout();
    }
    CWnd::OnSize(nType, cx, cy);
    Invalidate(TRUE);
    if (m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr) {
        m_pActivePane->SendMessage(GX_WM_TABRESIZING, 0, 0);
        CRect rc;
        m_pActivePane->GetClientRect(&rc);
        m_pActivePane->SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(rc.Width(), rc.Height()));
    }
}

void CGXTabWnd::OnSetFocus(CWnd*)
{
    if (m_pActivePane != nullptr && m_pActivePane->GetSafeHwnd() != nullptr && m_pActivePane->IsWindowVisible())
        m_pActivePane->SetFocus();
}

BOOL CGXTabWnd::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    rc.top = rc.bottom - m_cyStrip;
    pDC->FillRect(&rc, &m_brFace);
    return TRUE;
}

void CGXTabWnd::OnPaint()
{
    CPaintDC dc(this);
    if (!m_bHScroll)
        return;
    const CRect rc = SplitterRect();
    const COLORREF colours[5] = {RGB(0, 0, 0), GetSysColor(COLOR_BTNHIGHLIGHT), GetSysColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNSHADOW),
                                 RGB(0, 0, 0)};
    for (int i = 0; i < 5; ++i)
        dc.FillSolidRect(rc.left + i, rc.top, 1, rc.Height(), colours[i]);
}

int CGXTabWnd::SplitterMin() const
{
    return (m_pBeam != nullptr ? m_pBeam->m_nButtonAreaWidth : 0) + 20;
}

int CGXTabWnd::SplitterMax() const
{
    CRect rc;
    GetClientRect(&rc);
    return rc.Width() - 2 * m_cyStrip;
}

void CGXTabWnd::MoveSplitter(int x)
{
    if (x < SplitterMin() || x > SplitterMax() || x == m_nBeamWidth)
        return;
    InvalidateRect(SplitterRect(), TRUE);
    if (m_pBeam != nullptr)
        m_pBeam->m_nPaintFrom = std::min(x, m_nBeamWidth);
    m_nBeamWidth = x;
    m_nBeamWidthX100 = x * 100;
    RecalcLayout(TRUE);
    if (m_pBeam != nullptr)
        m_pBeam->Invalidate(FALSE);
}

void CGXTabWnd::OnLButtonDown(UINT, CPoint point)
{
    CRect rc = SplitterRect();
    rc.left -= 1;
    if (!m_bHScroll || !rc.PtInRect(point))
        return;
    CancelRename();
    SetCapture();
    m_bDragging = TRUE;
}

void CGXTabWnd::OnMouseMove(UINT, CPoint point)
{
    if (m_bDragging)
        MoveSplitter(point.x);
}

void CGXTabWnd::OnLButtonUp(UINT, CPoint point)
{
    if (!m_bDragging)
        return;
    MoveSplitter(point.x);
    m_bDragging = FALSE;
    if (GetCapture() == this)
        ReleaseCapture();
    if (m_pBeam != nullptr) {
        m_pBeam->m_nPaintFrom = -1;
        m_pBeam->Invalidate(FALSE);
    }
}

BOOL CGXTabWnd::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (pWnd == this && nHitTest == HTCLIENT && m_bHScroll) {
        CPoint pt;
        ::GetCursorPos(&pt);
        ScreenToClient(&pt);
        CRect rc = SplitterRect();
        rc.left -= 1;
        if (rc.PtInRect(pt) || m_bDragging) {
            static HCURSOR hSplit = nullptr;
            if (hSplit == nullptr)
                hSplit = LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(GX_IDC_TABSPLIT));
            if (hSplit == nullptr)
                hSplit = LoadCursor(nullptr, IDC_SIZEWE);
            ::SetCursor(hSplit);
            return TRUE;
        }
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

LRESULT CGXTabWnd::OnSysColorChangeMsg(WPARAM, LPARAM)
{
    if (CGXSysColorCache* pCache = GXGetSysData())
        pCache->Refresh();
    m_brFace.DeleteObject();
    m_brFace.CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
    if (m_pBeam != nullptr && m_pBeam->GetSafeHwnd() != nullptr)
        m_pBeam->SendMessage(WM_SYSCOLORCHANGE, 0, 0);
    Invalidate(TRUE);
    return 0;
}

LRESULT CGXTabWnd::OnSettingChangeMsg(WPARAM, LPARAM)
{
    ReadMetrics();
    if (m_bCreated)
        RecalcLayout();
    return 0;
}

static size_t& SelfCreatedTabWnds()
{
    static size_t count = 0;
    return count;
}

size_t CGXTabWnd::GetSelfCreatedCount()
{
    return SelfCreatedTabWnds();
}

static LRESULT CALLBACK GXTabWndClassProc(HWND hWnd, UINT nMsg, WPARAM wParam, LPARAM lParam)
{
    // A tab window named in a dialog template gets its object on its first message; the object
    // goes with its window.
    // A window the program made with its own object only passes its default processing here.
    if (CWnd::FromHandlePermanent(hWnd) != nullptr)
        return ::DefWindowProc(hWnd, nMsg, wParam, lParam);
    auto* pTabWnd = new CGXTabWnd;
    pTabWnd->m_bAutoDelete = TRUE;
    pTabWnd->Attach(hWnd);
    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    SelfCreatedTabWnds()++;
    return AfxWndProc(hWnd, nMsg, wParam, lParam);
}

void CGXTabWnd::RegisterClass(HINSTANCE hInstance)
{
    WNDCLASS wc{};
    if (::GetClassInfo(hInstance, "CGXTabWnd", &wc))
        return;
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = GXTabWndClassProc;
    wc.hInstance = hInstance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = "CGXTabWnd";
    if (!::RegisterClass(&wc))
        AfxThrowResourceException();
}

void CGXTabWnd::UnregisterClass(HINSTANCE hInstance)
{
    ::UnregisterClass("CGXTabWnd", hInstance);
}

namespace {
// The control factory registers the classes "CGXTabWnd" and "CGXTabBeam" at library start-up,
// so that a dialog template can hold a tab window.
void RegisterTabClasses(HINSTANCE hInstance)
{
    CGXTabWnd::RegisterClass(hInstance);
    CGXTabBeam::RegisterClass(hInstance);
}
void UnregisterTabClasses(HINSTANCE hInstance)
{
    CGXTabWnd::UnregisterClass(hInstance);
    CGXTabBeam::UnregisterClass(hInstance);
}
const bool g_bTabClassesAdded = (GXAddWndClassRegistrar(RegisterTabClasses, UnregisterTabClasses), true);
} // namespace

// ---- The grid's way to its sheet name ----

static CGXTabWnd* FindTabWnd(CWnd* pWnd, CWnd** ppSheet)
{
    for (CWnd* p = pWnd; p != nullptr; p = p->GetParent()) {
        if (auto* pTab = dynamic_cast<CGXTabWnd*>(p->GetParent())) {
            *ppSheet = p;
            return pTab;
        }
    }
    return nullptr;
}

CString CGXTabWndInterface::GetSetSheetName(CWnd* pGridWnd, const CString& sName, BOOL bSet)
{
    CWnd* pSheet = nullptr;
    CGXTabWnd* pTab = FindTabWnd(pGridWnd, &pSheet);
    if (pTab == nullptr)
        return CString();
    if (bSet)
        pTab->SetTabName(pSheet, sName, FALSE);
    return pTab->GetTabName(pSheet);
}

void CGXTabWndInterface::GetSheetName(CString& sName, CWnd* pWnd, int nTab)
{
    CWnd* pSheet = nullptr;
    CGXTabWnd* pTab = FindTabWnd(pWnd, &pSheet);
    sName.Empty();
    if (pTab != nullptr && pTab->GetBeam().IsValidTab(nTab))
        sName = pTab->GetBeam().GetTab(nTab).sLabel;
}
