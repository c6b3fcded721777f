#include "toolkit/frames/SECStatusBar.h"

#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/StatusBar.h"
#include "platform/win/Gdi.h"
#include "platform/win/WinUser.h"
#include "toolkit/docking/SECGlobalData.h"

#include <algorithm>
#include <cstring>

namespace {

// The room a pane's border takes beside its text.
constexpr int kPaneBorder = 6;

} // namespace

IMPLEMENT_DYNAMIC(SECStatusBar, SECControlBar)

BEGIN_MESSAGE_MAP(SECStatusBar, SECControlBar)
    ON_MESSAGE(WM_NCHITTEST, &SECStatusBar::OnNcHitTestStatus)
    ON_MESSAGE(WM_NCCALCSIZE, &SECStatusBar::OnNcCalcSizeStatus)
    ON_MESSAGE(WM_PAINT, &SECStatusBar::OnPaintStatus)
    ON_MESSAGE(WM_SIZE, &SECStatusBar::OnSizeStatus)
    ON_MESSAGE(WM_WINDOWPOSCHANGING, &SECStatusBar::OnWindowPosChangingStatus)
    ON_MESSAGE(WM_SETTEXT, &SECStatusBar::OnSetTextStatus)
    ON_MESSAGE(WM_GETTEXT, &SECStatusBar::OnGetTextStatus)
    ON_MESSAGE(WM_GETTEXTLENGTH, &SECStatusBar::OnGetTextLengthStatus)
    ON_MESSAGE(SB_SETMINHEIGHT, &SECStatusBar::OnSetMinHeightStatus)
END_MESSAGE_MAP()

void SECStatusCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    auto* bar = static_cast<SECStatusBar*>(m_pOther);
    const int index = static_cast<int>(m_nIndex);
    const UINT style = bar->GetPaneStyle(index) & ~static_cast<UINT>(SBPS_DISABLED);
    bar->SetPaneStyle(index, bOn ? style : style | SBPS_DISABLED);
}

void SECStatusCmdUI::SetCheck(int nCheck)
{
    auto* bar = static_cast<SECStatusBar*>(m_pOther);
    const int index = static_cast<int>(m_nIndex);
    const UINT style = bar->GetPaneStyle(index) & ~static_cast<UINT>(SBPS_POPOUT);
    bar->SetPaneStyle(index, nCheck ? style | SBPS_POPOUT : style);
}

void SECStatusCmdUI::SetText(LPCTSTR lpszText)
{
    static_cast<SECStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
}

SECStatusBar::SECStatusBar()
{
    m_cyTopBorder = 2;
    if (SECGetGlobalData().m_bWin4) {
        m_cxLeftBorder = m_cxRightBorder = 0;
        m_cyBottomBorder = 0;
    } else {
        m_cxLeftBorder = m_cxRightBorder = 2;
        m_cyBottomBorder = 1;
    }
}

SECStatusBar::~SECStatusBar()
{
    m_panes.clear();
    m_pData = nullptr; // the panes are the vector's
    m_nCount = 0;
}

BOOL SECStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL SECStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD wndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | 0x4E | dwCtrlStyle;
    if (pParentWnd && (pParentWnd->GetStyle() & WS_THICKFRAME))
        wndStyle |= SBARS_SIZEGRIP;
    return CWnd::Create(STATUSCLASSNAME, nullptr, wndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

BOOL SECStatusBar::PreCreateWindow(CREATESTRUCT& cs)
{
    // A bottom bar needs no line of its own over it on the new shell: the frame's edge is enough.
    if (SECGetGlobalData().m_bWin4 && (m_dwStyle & 0xFF00) == (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
        m_dwStyle &= ~static_cast<DWORD>(CBRS_BORDER_ANY | CBRS_BORDER_3D);
    return SECControlBar::PreCreateWindow(cs);
}

SECStatusPane* SECStatusBar::Pane(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return nullptr;
    return const_cast<SECStatusPane*>(&m_panes[static_cast<size_t>(nIndex)]);
}

BOOL SECStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0)
        return FALSE;
    m_panes.assign(static_cast<size_t>(nIDCount), SECStatusPane{});
    m_pData = m_panes.empty() ? nullptr : m_panes.data();
    m_nCount = nIDCount;
    if (!lpIDArray) {
        UpdateAllPanes(TRUE, TRUE);
        return TRUE;
    }
    BOOL result = TRUE;
    CClientDC dc(m_hWnd ? this : nullptr);
    HFONT font = m_hWnd ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) : nullptr;
    HGDIOBJ old = font ? ::SelectObject(dc.m_hDC, font) : nullptr;
    for (int i = 0; i < nIDCount; ++i) {
        SECStatusPane& pane = m_panes[static_cast<size_t>(i)];
        pane.nFlags |= sbfPending;
        pane.nID = lpIDArray[i];
        if (pane.nID == ID_SEPARATOR) {
            pane.cxText = ::GetSystemMetrics(SM_CXSCREEN) / 4;
            if (i == 0)
                pane.nStyle |= SBPS_STRETCH | SBPS_NOBORDERS;
            continue;
        }
        CString text;
        if (!text.LoadString(pane.nID))
            text = "  ";
        pane.cxText = dc.GetTextExtent(text).cx;
        if (!SetPaneText(i, text, FALSE)) {
            result = FALSE;
            break;
        }
    }
    if (old)
        ::SelectObject(dc.m_hDC, old);
    UpdateAllPanes(TRUE, TRUE);
    return result;
}

int SECStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nIDFind)
            return static_cast<int>(i);
    return -1;
}

UINT SECStatusBar::GetItemID(int nIndex) const
{
    const SECStatusPane* pane = Pane(nIndex);
    return pane ? pane->nID : 0;
}

void SECStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (Pane(nIndex) && m_hWnd && !SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect)))
        ::SetRectEmpty(lpRect);
}

void SECStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    const SECStatusPane* pane = Pane(nIndex);
    nID = pane ? pane->nID : 0;
    nStyle = pane ? pane->nStyle : 0;
    cxWidth = pane ? pane->cxText : 0;
}

void SECStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    SECStatusPane* pane = Pane(nIndex);
    if (!pane)
        return;
    pane->nID = nID;
    bool layout = false;
    if (pane->nStyle != nStyle) {
        layout = ((pane->nStyle ^ nStyle) & SBPS_STRETCH) != 0;
        pane->nStyle = nStyle;
        pane->nFlags |= sbfPending;
        SendPaneText(nIndex);
    }
    if (pane->cxText != cxWidth) {
        pane->cxText = cxWidth;
        layout = true;
    }
    if (layout)
        UpdateAllPanes(TRUE, FALSE);
}

UINT SECStatusBar::GetPaneStyle(int nIndex) const
{
    const SECStatusPane* pane = Pane(nIndex);
    return pane ? pane->nStyle : 0;
}

void SECStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    SECStatusPane* pane = Pane(nIndex);
    if (!pane || pane->nStyle == nStyle)
        return;
    const bool stretchChanged = ((pane->nStyle ^ nStyle) & SBPS_STRETCH) != 0;
    pane->nStyle = nStyle;
    if (stretchChanged)
        UpdateAllPanes(TRUE, FALSE);
    pane->nFlags |= sbfPending;
    SendPaneText(nIndex);
}

void SECStatusBar::GetPaneText(int nIndex, CString& rString) const
{
    rString = GetPaneText(nIndex);
}

CString SECStatusBar::GetPaneText(int nIndex) const
{
    const SECStatusPane* pane = Pane(nIndex);
    return pane ? pane->strText : CString();
}

BOOL SECStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    SECStatusPane* pane = Pane(nIndex);
    if (!pane)
        return FALSE;
    const char* text = lpszNewText ? lpszNewText : "";
    // The same text again costs the control nothing.
    if (!(pane->nFlags & sbfPending) && pane->strText == text)
        return TRUE;
    try {
        pane->strText = text;
    } catch (...) {
        return FALSE;
    }
    if (!bUpdate) {
        pane->nFlags |= sbfPending;
        return TRUE;
    }
    pane->nFlags |= sbfPending;
    SendPaneText(nIndex);
    return TRUE;
}

BOOL SECStatusBar::SetPaneWidth(int nIndex, int cxWidth)
{
    SECStatusPane* pane = Pane(nIndex);
    if (!pane)
        return FALSE;
    pane->cxText = cxWidth;
    UpdateAllPanes(TRUE, FALSE);
    return TRUE;
}

void SECStatusBar::SendPaneText(int nIndex)
{
    SECStatusPane* pane = Pane(nIndex);
    if (!pane || !m_hWnd)
        return;
    pane->nFlags &= ~static_cast<UINT>(sbfPending);
    // A disabled pane keeps its text but shows none.
    const char* text = (pane->nStyle & SBPS_DISABLED) ? nullptr : static_cast<LPCTSTR>(pane->strText);
    SendMessage(SB_SETTEXT, static_cast<WPARAM>((pane->nStyle & 0xFFFF) | static_cast<UINT>(nIndex)),
                reinterpret_cast<LPARAM>(text));
}

void SECStatusBar::GetControlBorders(int borders[3]) const
{
    borders[0] = StatusBarModel::kHorzBorder;
    borders[1] = StatusBarModel::kVertBorder;
    borders[2] = 0;
    if (m_hWnd)
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
}

void SECStatusBar::CalcStatusInsideRect(CRect& rect) const
{
    CalcInsideRect(rect, TRUE);
    // Keep the last pane clear of the size grip while the frame can be sized.
    if (m_hWnd && (GetStyle() & SBARS_SIZEGRIP) && !(GetParent() && (GetParent()->GetStyle() & WS_MAXIMIZE))) {
        int borders[3];
        GetControlBorders(borders);
        rect.right -= 2 * ::GetSystemMetrics(SM_CXBORDER) + borders[0] + ::GetSystemMetrics(SM_CXVSCROLL);
    }
}

void SECStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (!m_hWnd)
        return;
    if (bUpdateRects) {
        CRect rect;
        GetWindowRect(&rect);
        rect.OffsetRect(-rect.left, -rect.top);
        CalcStatusInsideRect(rect);
        int borders[3];
        GetControlBorders(borders);
        const int spacing = borders[2];
        int spare = rect.Width() + spacing;
        int stretchers = 0;
        for (const SECStatusPane& pane : m_panes) {
            spare -= pane.cxText + kPaneBorder + spacing;
            stretchers += (pane.nStyle & SBPS_STRETCH) != 0;
        }
        std::vector<int> rights(m_panes.size());
        int right = borders[0];
        for (size_t i = 0; i < m_panes.size(); ++i) {
            right += m_panes[i].cxText + kPaneBorder;
            if ((m_panes[i].nStyle & SBPS_STRETCH) && spare > 0 && stretchers > 0) {
                const int share = spare / stretchers;
                right += share;
                spare -= share;
                --stretchers;
            }
            rights[i] = right;
            right += spacing;
        }
        SendMessage(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.empty() ? nullptr : rights.data()));
    }
    if (bUpdateText)
        for (size_t i = 0; i < m_panes.size(); ++i)
            if (m_panes[i].nFlags & sbfPending)
                SendPaneText(static_cast<int>(i));
}

CSize SECStatusBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    if (!bHorz)
        return CSize(0, 0);
    int textHeight = 13;
    if (m_hWnd) {
        CClientDC dc(this);
        HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        HGDIOBJ old = font ? ::SelectObject(dc.m_hDC, font) : nullptr;
        TEXTMETRIC tm{};
        ::GetTextMetrics(dc.m_hDC, &tm);
        if (old)
            ::SelectObject(dc.m_hDC, old);
        textHeight = tm.tmHeight - tm.tmInternalLeading - 1;
    }
    int borders[3];
    GetControlBorders(borders);
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, TRUE);
    const int height = textHeight + 2 * (borders[1] + ::GetSystemMetrics(SM_CYBORDER)) - inside.Height();
    return CSize(32767, std::max(height, m_nMinHeight));
}

void SECStatusBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    if (m_hWnd && ((dwOldStyle ^ dwNewStyle) & CBRS_BORDER_ANY))
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void SECStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    SECStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        state.m_nIndex = i;
        state.m_nID = m_panes[i].nID;
        // The bar's own handlers first; then the frame's, without disabling a pane nobody
        // handles: a status pane is no command.
        if (!CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
            state.DoUpdate(pTarget, FALSE);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

BOOL SECStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_DRAWITEM)
        return SECControlBar::OnChildNotify(message, wParam, lParam, pResult);
    DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
    if (pResult)
        *pResult = TRUE;
    return TRUE;
}

void SECStatusBar::DrawItem(LPDRAWITEMSTRUCT)
{
}

LRESULT SECStatusBar::OnNcHitTestStatus(WPARAM, LPARAM)
{
    // The size grip answers for the frame's corner; the rest is the bar's.
    const LRESULT hit = Default();
    return hit == HTBOTTOMRIGHT ? hit : HTCLIENT;
}

LRESULT SECStatusBar::OnNcCalcSizeStatus(WPARAM, LPARAM lParam)
{
    auto* rect = reinterpret_cast<RECT*>(lParam);
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, TRUE);
    // The inside rectangle of an empty one is inverted: its edges are the insets.
    rect->left += inside.left;
    rect->top += inside.top - 2;
    rect->right = std::max(rect->left, rect->right + inside.right);
    rect->bottom = std::max(rect->top, rect->bottom + inside.bottom);
    return 0;
}

LRESULT SECStatusBar::OnPaintStatus(WPARAM, LPARAM)
{
    UpdateAllPanes(FALSE, TRUE);
    return Default();
}

LRESULT SECStatusBar::OnSizeStatus(WPARAM wParam, LPARAM lParam)
{
    SECControlBar::OnSize(static_cast<UINT>(wParam), static_cast<short>(LOWORD(lParam)),
                          static_cast<short>(HIWORD(lParam)));
    UpdateAllPanes(TRUE, FALSE);
    Invalidate(FALSE);
    return 0;
}

LRESULT SECStatusBar::OnWindowPosChangingStatus(WPARAM, LPARAM)
{
    // The platform bar sees the bar without its border bits for the call.
    const DWORD kept = m_dwStyle;
    m_dwStyle &= ~static_cast<DWORD>(CBRS_BORDER_ANY);
    const LRESULT result = Default();
    m_dwStyle = kept;
    return result;
}

LRESULT SECStatusBar::OnSetTextStatus(WPARAM, LPARAM lParam)
{
    const int index = CommandToIndex(0);
    if (index < 0)
        return -1;
    return SetPaneText(index, reinterpret_cast<LPCTSTR>(lParam)) ? 0 : -1;
}

LRESULT SECStatusBar::OnGetTextStatus(WPARAM wParam, LPARAM lParam)
{
    const size_t size = static_cast<size_t>(wParam);
    auto* buffer = reinterpret_cast<char*>(lParam);
    if (size == 0 || !buffer)
        return 0;
    const int index = CommandToIndex(0);
    const CString text = index >= 0 ? m_panes[static_cast<size_t>(index)].strText : CString();
    const size_t n = std::min(static_cast<size_t>(text.GetLength()), size - 1);
    std::memcpy(buffer, static_cast<LPCTSTR>(text), n);
    buffer[n] = '\0';
    // The characters copied, as every window answers: the terminator is not counted.
    return static_cast<LRESULT>(n);
}

LRESULT SECStatusBar::OnGetTextLengthStatus(WPARAM, LPARAM)
{
    const int index = CommandToIndex(0);
    return index >= 0 ? m_panes[static_cast<size_t>(index)].strText.GetLength() : 0;
}

LRESULT SECStatusBar::OnSetMinHeightStatus(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    m_nMinHeight = static_cast<int>(wParam);
    return result;
}
