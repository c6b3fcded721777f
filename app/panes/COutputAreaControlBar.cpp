#include "app/panes/COutputAreaControlBar.h"

#include "app/panes/PaneStrings.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/afx/frame/CFrameWnd.h"

#include <limits>
#include <string>
#include <vector>

IMPLEMENT_DYNCREATE(COutputAreaControlBar, SECControlBar)

BEGIN_MESSAGE_MAP(COutputAreaControlBar, SECControlBar)
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_MESSAGE(kMsgOutputAddLine, &COutputAreaControlBar::OnAddLine)
    ON_MESSAGE(kMsgOutputClear, &COutputAreaControlBar::OnClear)
END_MESSAGE_MAP()

namespace {

// The tab's view borrows the tab window's shared horizontal scroll bar.
constexpr DWORD kTabSharesHorzScroll = 0x00100000;
constexpr DWORD kTabWndStyle = WS_CHILD | WS_VISIBLE | 0x00300012;
constexpr DWORD kOutputStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;

} // namespace

int COutputAreaControlBar::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    if (SECControlBar::OnCreate(lpCreateStruct) == -1)
        return -1;
    if (!m_wndTab.Create(this, kTabWndStyle, kTabPaneId))
        return -1;
    CRect rect(0, 0, 0, 0);
    if (!m_wndOutput.Create(kOutputStyle, rect, &m_wndTab, kOutputId))
        return -1;
    // The lines are the program's report, not a place to type; it keeps every one of them,
    // however long a save's list of failures (an edit's own limit would cut it at 32 KB).
    m_wndOutput.SetReadOnly(TRUE);
    m_wndOutput.LimitText(std::numeric_limits<long>::max());
    CString strTitle;
    strTitle.LoadString(kIdsWarningTab);
    m_wndTab.AddTab(&m_wndOutput, strTitle);
    m_wndTab.SetTabFlags(0, kTabSharesHorzScroll);
    m_wndTab.ActivateTab(0);
    m_wndTab.ScrollToTab(0);
    return 0;
}

void COutputAreaControlBar::OnSize(UINT nType, int cx, int cy)
{
    FitChild(m_wndTab);
    SECControlBar::OnSize(nType, cx, cy);
}

void COutputAreaControlBar::AppendLine(const CString& strLine)
{
    // Showing the pane lays the whole frame out again: done once, not for every line of a save
    // that refuses thousands of pages.
    if (CFrameWnd* pFrame = GetDockingFrame(); pFrame != nullptr && !IsVisible())
        pFrame->ShowControlBar(this, TRUE, FALSE);
    if (m_wndOutput.GetSafeHwnd() == nullptr)
        return;
    CString strText;
    strText.Format("%s\n", static_cast<LPCTSTR>(strLine));
    const long nEnd = m_wndOutput.GetTextLength();
    m_wndOutput.SetSel(nEnd, nEnd);
    m_wndOutput.ReplaceSel(strText);
}

void COutputAreaControlBar::Clear()
{
    if (m_wndOutput.GetSafeHwnd() == nullptr)
        return;
    // A read-only edit refuses WM_CLEAR; replacing the selection is still allowed.
    m_wndOutput.SetSel(0, -1);
    m_wndOutput.ReplaceSel("");
}

CString COutputAreaControlBar::GetText() const
{
    CString strText;
    if (m_wndOutput.GetSafeHwnd() != nullptr)
        m_wndOutput.GetWindowText(strText);
    return strText;
}

LRESULT COutputAreaControlBar::OnAddLine(WPARAM wParam, LPARAM lParam)
{
    // The atom is read and deleted here whatever becomes of the line: each is deleted once.
    std::string strLine;
    std::vector<std::string> lines;
    if (ReadOutputAreaLinePiece(wParam, lParam, m_pending, strLine))
        lines.push_back(strLine);
    // The lines already waiting behind this one (a save refusing page after page) go in with it:
    // each append redraws the pane and its scroll bar. A clear waiting among them stops the
    // gathering, so that it still wipes only the lines before it.
    MSG msg;
    while (::PeekMessage(&msg, m_hWnd, kMsgOutputAddLine, kMsgOutputClear, PM_NOREMOVE) && msg.message == kMsgOutputAddLine &&
           ::PeekMessage(&msg, m_hWnd, kMsgOutputAddLine, kMsgOutputAddLine, PM_REMOVE)) {
        if (ReadOutputAreaLinePiece(msg.wParam, msg.lParam, m_pending, strLine))
            lines.push_back(strLine);
    }
    if (lines.empty())
        return 1;
    std::string strText = lines.front();
    for (size_t i = 1; i < lines.size(); ++i)
        strText += "\n" + lines[i];
    AppendLine(CString(strText.c_str()));
    return 1;
}

LRESULT COutputAreaControlBar::OnClear(WPARAM, LPARAM)
{
    m_pending.clear();
    Clear();
    return 1;
}
