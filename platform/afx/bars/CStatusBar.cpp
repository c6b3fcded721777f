#include "platform/afx/bars/CStatusBar.h"

#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/StatusBar.h"
#include "platform/win/Gdi.h"
#include "platform/win/WinUser.h"

#include <algorithm>
#include <cstring>

namespace {

// The room a pane's border takes beside its text.
constexpr int kPaneBorder = 6;

// Updates of a pane from the command handlers: enabled, checked (popped out) and text.
class CStatusCmdUI : public CCmdUI {
public:
    void Enable(BOOL bOn) override
    {
        m_bEnableChanged = TRUE;
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~static_cast<UINT>(SBPS_DISABLED);
        bar->SetPaneStyle(static_cast<int>(m_nIndex), bOn ? style : style | SBPS_DISABLED);
    }
    void SetCheck(int nCheck) override
    {
        auto* bar = static_cast<CStatusBar*>(m_pOther);
        const UINT style = bar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~static_cast<UINT>(SBPS_POPOUT);
        bar->SetPaneStyle(static_cast<int>(m_nIndex), nCheck ? style | SBPS_POPOUT : style);
    }
    void SetText(LPCTSTR lpszText) override
    {
        static_cast<CStatusBar*>(m_pOther)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
    }
};

} // namespace

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_MESSAGE(WM_PAINT, &CStatusBar::OnPaintMsg)
    ON_MESSAGE(WM_ERASEBKGND, &CStatusBar::OnEraseMsg)
    ON_MESSAGE(WM_SIZE, &CStatusBar::OnSizeMsg)
    ON_MESSAGE(WM_SETTEXT, &CStatusBar::OnSetTextMsg)
    ON_MESSAGE(WM_GETTEXT, &CStatusBar::OnGetTextMsg)
    ON_MESSAGE(WM_GETTEXTLENGTH, &CStatusBar::OnGetTextLengthMsg)
    ON_MESSAGE(SB_SETMINHEIGHT, &CStatusBar::OnSetMinHeight)
    ON_MESSAGE(WM_NCHITTEST, &CStatusBar::OnNcHitTestStatus)
END_MESSAGE_MAP()

CStatusBar::CStatusBar()
{
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = 2;
    m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar()
{
    m_pData = nullptr;   // the panes are the vector's, not the allocator's
    m_nCount = 0;
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    m_dwStyle = dwStyle & CBRS_ALL;
    // A bottom bar needs no line of its own over it: the frame's edge is enough.
    if ((m_dwStyle & 0xFF00) == (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
        m_dwStyle &= ~static_cast<DWORD>(CBRS_BORDER_ANY | CBRS_BORDER_3D);
    // The frame's bar layout places the bar, wherever it is docked.
    const DWORD wndStyle = (dwStyle & ~static_cast<DWORD>(CBRS_ALL)) | WS_CHILD | CCS_NOPARENTALIGN;
    return CWnd::Create(STATUSCLASSNAME, nullptr, wndStyle, CRect(0, 0, 0, 0), pParentWnd, nID);
}

AFX_STATUSPANE* CStatusBar::Pane(int nIndex) const
{
    if (nIndex < 0 || nIndex >= static_cast<int>(m_panes.size()))
        return nullptr;
    return const_cast<AFX_STATUSPANE*>(&m_panes[static_cast<size_t>(nIndex)]);
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    if (nIDCount < 0)
        return FALSE;
    m_panes.assign(static_cast<size_t>(nIDCount), AFX_STATUSPANE{});
    m_pData = m_panes.data();
    m_nCount = nIDCount;
    if (!lpIDArray) {
        UpdateAllPanes(TRUE, FALSE);
        return TRUE;
    }
    CClientDC dc(this);
    HFONT font = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ old = font ? ::SelectObject(dc.m_hDC, font) : nullptr;
    for (int i = 0; i < nIDCount; ++i) {
        AFX_STATUSPANE& pane = m_panes[static_cast<size_t>(i)];
        pane.nID = lpIDArray[i];
        if (pane.nID == ID_SEPARATOR) {
            // The first separator is the message pane; any other is a quarter of the screen.
            pane.nStyle = i == 0 ? (SBPS_STRETCH | SBPS_NOBORDERS) : SBPS_NORMAL;
            pane.cxText = i == 0 ? 1 : ::GetSystemMetrics(SM_CXSCREEN) / 4;
            continue;
        }
        CString text;
        if (!text.LoadString(pane.nID))
            text = "  ";
        pane.cxText = dc.GetTextExtent(text).cx;
        pane.strText = text;
        pane.nFlags |= sbfPending;
    }
    if (old)
        ::SelectObject(dc.m_hDC, old);
    UpdateAllPanes(TRUE, TRUE);
    return TRUE;
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (size_t i = 0; i < m_panes.size(); ++i)
        if (m_panes[i].nID == nIDFind)
            return static_cast<int>(i);
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    const AFX_STATUSPANE* pane = Pane(nIndex);
    return pane ? pane->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    ::SetRectEmpty(lpRect);
    if (Pane(nIndex))
        SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    const AFX_STATUSPANE* pane = Pane(nIndex);
    nID = pane ? pane->nID : 0;
    nStyle = pane ? pane->nStyle : 0;
    cxWidth = pane ? pane->cxText : 0;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    AFX_STATUSPANE* pane = Pane(nIndex);
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
        pane->cxText = std::max(cxWidth, 0);
        layout = true;
    }
    if (layout)
        UpdateAllPanes(TRUE, FALSE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    const AFX_STATUSPANE* pane = Pane(nIndex);
    return pane ? pane->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    AFX_STATUSPANE* pane = Pane(nIndex);
    if (!pane || pane->nStyle == nStyle)
        return;
    const bool stretchChanged = ((pane->nStyle ^ nStyle) & SBPS_STRETCH) != 0;
    pane->nStyle = nStyle;
    if (stretchChanged)
        UpdateAllPanes(TRUE, FALSE);
    pane->nFlags |= sbfPending;
    SendPaneText(nIndex);
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    const AFX_STATUSPANE* pane = Pane(nIndex);
    return pane ? pane->strText : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    AFX_STATUSPANE* pane = Pane(nIndex);
    if (!pane)
        return FALSE;
    const char* text = lpszNewText ? lpszNewText : "";
    // The same text again costs the control nothing.
    if (!(pane->nFlags & sbfPending) && pane->strText == text)
        return TRUE;
    pane->strText = text;
    pane->nFlags |= sbfPending;
    if (bUpdate)
        SendPaneText(nIndex);
    return TRUE;
}

void CStatusBar::SendPaneText(int nIndex)
{
    AFX_STATUSPANE* pane = Pane(nIndex);
    if (!pane || !m_hWnd)
        return;
    pane->nFlags &= ~static_cast<UINT>(sbfPending);
    // A disabled pane keeps its text but shows none.
    const char* text = (pane->nStyle & SBPS_DISABLED) ? nullptr : static_cast<LPCTSTR>(pane->strText);
    SendMessage(SB_SETTEXT, static_cast<WPARAM>((pane->nStyle & 0xFFFF) | static_cast<UINT>(nIndex)),
                reinterpret_cast<LPARAM>(text));
}

void CStatusBar::CalcInsideRect(CRect& rect, BOOL bHorz) const
{
    CControlBar::CalcInsideRect(rect, bHorz);
    // Keep the last pane clear of the size grip when the frame can be sized.
    if ((GetStyle() & SBARS_SIZEGRIP) && !(GetParent() && (GetParent()->GetStyle() & WS_MAXIMIZE)))
        rect.right -= 2 * ::GetSystemMetrics(SM_CXBORDER) + ::GetSystemMetrics(SM_CXVSCROLL);
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    if (!m_hWnd)
        return;
    if (bUpdateRects && !m_panes.empty()) {
        CRect rect;
        GetWindowRect(&rect);
        rect.OffsetRect(-rect.left, -rect.top);
        CalcInsideRect(rect, TRUE);
        int borders[3] = {0, 0, 0};
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
        const int spacing = borders[2];
        int spare = rect.Width() + spacing;
        int stretchers = 0;
        for (const AFX_STATUSPANE& pane : m_panes) {
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
        SendMessage(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    }
    if (bUpdateText)
        for (size_t i = 0; i < m_panes.size(); ++i)
            if (m_panes[i].nFlags & sbfPending)
                SendPaneText(static_cast<int>(i));
}

CSize CStatusBar::CalcFixedLayout(BOOL, BOOL bHorz)
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
    int borders[3] = {0, StatusBarModel::kVertBorder, 0};
    if (m_hWnd)
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, TRUE);
    const int height = textHeight + 2 * (borders[1] + ::GetSystemMetrics(SM_CYBORDER)) - inside.Height();
    return CSize(32767, std::max(height, m_nMinHeight));
}

void CStatusBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    CControlBar::OnBarStyleChange(dwOldStyle, dwNewStyle);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(m_panes.size());
    for (UINT i = 0; i < state.m_nIndexMax; ++i) {
        state.m_nIndex = i;
        state.m_nID = m_panes[i].nID;
        // Panes without a handler stay as they are: a status pane is no command.
        state.DoUpdate(pTarget, FALSE);
    }
    UpdateDialogControls(pTarget, bDisableIfNoHndler);
}

LRESULT CStatusBar::OnPaintMsg(WPARAM, LPARAM)
{
    UpdateAllPanes(FALSE, TRUE);
    return Default();
}

LRESULT CStatusBar::OnEraseMsg(WPARAM, LPARAM)
{
    return Default();
}

LRESULT CStatusBar::OnSizeMsg(WPARAM, LPARAM)
{
    // The control would move itself to its parent's bottom; the frame's layout places it.
    UpdateAllPanes(TRUE, FALSE);
    Invalidate(FALSE);
    return 0;
}

LRESULT CStatusBar::OnSetTextMsg(WPARAM, LPARAM lParam)
{
    const int index = CommandToIndex(0);
    if (index < 0)
        return -1;
    return SetPaneText(index, reinterpret_cast<LPCTSTR>(lParam)) ? 0 : -1;
}

LRESULT CStatusBar::OnGetTextMsg(WPARAM wParam, LPARAM lParam)
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
    return static_cast<LRESULT>(n + 1);
}

LRESULT CStatusBar::OnGetTextLengthMsg(WPARAM, LPARAM)
{
    const int index = CommandToIndex(0);
    return index >= 0 ? m_panes[static_cast<size_t>(index)].strText.GetLength() : 0;
}

LRESULT CStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    m_nMinHeight = static_cast<int>(wParam);
    return result;
}

LRESULT CStatusBar::OnNcHitTestStatus(WPARAM, LPARAM)
{
    // The size grip answers for the frame's corner; the rest is the bar's.
    const LRESULT hit = Default();
    return hit == HTBOTTOMRIGHT ? hit : HTCLIENT;
}
