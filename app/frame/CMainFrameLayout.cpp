// The main frame's own place on the screen and its panes, kept from one run to the next, and
// the keyboard's way from pane to pane.
#include "app/frame/CMainFrame.h"

#include "app/frame/CVostrelApp.h"
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/views/CGroupFrame.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CView.h"

#include <cstdio>

namespace {

constexpr LPCTSTR kLayoutSection = "Main Window";
constexpr LPCTSTR kPlacementEntry = "Placement";
constexpr LPCTSTR kOutputAreaEntry = "Output Area Shown";

} // namespace

void CMainFrame::SaveWindowState()
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || m_hWnd == nullptr)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (::GetWindowPlacement(m_hWnd, &placement)) {
        const RECT& r = placement.rcNormalPosition;
        CString strValue;
        strValue.Format("%u,%ld,%ld,%ld,%ld", placement.showCmd, static_cast<long>(r.left), static_cast<long>(r.top),
                        static_cast<long>(r.right), static_cast<long>(r.bottom));
        pApp->WriteProfileString(kLayoutSection, kPlacementEntry, strValue);
    }
    pApp->WriteProfileInt(kLayoutSection, kOutputAreaEntry, m_bOutputAreaShownAtClose ? 1 : 0);
}

void CMainFrame::RestoreWindowState(int& nCmdShow)
{
    CWinApp* pApp = AfxGetApp();
    if (pApp == nullptr || m_hWnd == nullptr)
        return;
    m_bRestoreOutputArea = pApp->GetProfileInt(kLayoutSection, kOutputAreaEntry, 0) != 0;
    const CString strValue = pApp->GetProfileString(kLayoutSection, kPlacementEntry, "");
    unsigned nShow = 0;
    long left = 0, top = 0, right = 0, bottom = 0;
    if (std::sscanf(strValue.GetString(), "%u,%ld,%ld,%ld,%ld", &nShow, &left, &top, &right, &bottom) != 5)
        return;
    // A damaged value, or a place off today's screen, leaves the window where it would be.
    const long cxScreen = ::GetSystemMetrics(SM_CXSCREEN), cyScreen = ::GetSystemMetrics(SM_CYSCREEN);
    if (right - left < 100 || bottom - top < 100 || left >= cxScreen - 20 || top >= cyScreen - 20 || right <= 20 || bottom <= 20)
        return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    ::GetWindowPlacement(m_hWnd, &placement);
    placement.rcNormalPosition = RECT{static_cast<LONG>(left), static_cast<LONG>(top), static_cast<LONG>(right),
                                      static_cast<LONG>(bottom)};
    placement.showCmd = SW_HIDE;
    ::SetWindowPlacement(m_hWnd, &placement);
    // A window left maximised comes back so, unless the program was asked to start otherwise.
    if (nShow == SW_SHOWMAXIMIZED && (nCmdShow == SW_SHOWNORMAL || nCmdShow == SW_SHOWDEFAULT))
        nCmdShow = SW_SHOWMAXIMIZED;
}

void CMainFrame::NoteOutputAreaAtClose()
{
    // Hidden with a project closed before, it is still the user's to see with the next one.
    NoteOutputAreaShown();
    m_bOutputAreaShownAtClose = m_bRestoreOutputArea;
}

void CMainFrame::NoteOutputAreaShown()
{
    COutputAreaControlBar* pBar = nullptr;
    if (GetOutputAreaBar(pBar) == 0 && pBar->IsWindowVisible())
        m_bRestoreOutputArea = true;
}

void CMainFrame::RestoreOutputArea()
{
    // The next project shows it again when the last run, or the project closed before, left it
    // shown: each project starts as the user left the one before.
    if (!m_bRestoreOutputArea)
        return;
    m_bRestoreOutputArea = false;
    COutputAreaControlBar* pBar = nullptr;
    if (GetOutputAreaBar(pBar) == 0)
        ShowPane(pBar, TRUE);
}

// ---- From pane to pane ----

void CMainFrame::OnNextPane()
{
    MoveToPane(1);
}

void CMainFrame::OnPrevPane()
{
    MoveToPane(-1);
}

void CMainFrame::MoveToPane(int nStep)
{
    const auto shown = [](CWnd* pBar) { return pBar != nullptr && pBar->m_hWnd != nullptr && pBar->IsWindowVisible(); };
    const auto holds = [](CWnd* pBar, HWND hFocus) {
        return hFocus != nullptr && (hFocus == pBar->m_hWnd || ::IsChild(pBar->m_hWnd, hFocus));
    };
    CFrameWnd* pFrame = GetActiveFrame();
    CView* pView = pFrame != nullptr ? pFrame->GetActiveView() : nullptr;
    // The grid's edit field comes after the grid: the keys reach it from the grid with F6, and
    // Enter or Escape there give them back.
    auto* pGroupFrame = dynamic_cast<CGroupFrame*>(pFrame);
    CWnd* pField = pGroupFrame != nullptr ? &pGroupFrame->GetEditField() : nullptr;
    constexpr int kPanes = 4;
    CWnd* panes[kPanes] = {
        shown(m_pProjectArea) ? &m_pProjectArea->GetTree() : nullptr,
        pView != nullptr && pView->IsWindowVisible() ? pView : nullptr,
        shown(pField) && pView != nullptr && pView->IsWindowVisible() ? pField : nullptr,
        shown(m_pOutputArea) ? &m_pOutputArea->GetOutputWnd() : nullptr,
    };
    // The keyboard in a pane's bar counts as in that pane; anywhere else, as in the grid.
    const HWND hFocus = ::GetFocus();
    int nCurrent = 1;
    if (panes[0] != nullptr && holds(m_pProjectArea, hFocus))
        nCurrent = 0;
    else if (panes[2] != nullptr && hFocus == pField->m_hWnd)
        nCurrent = 2;
    else if (panes[3] != nullptr && holds(m_pOutputArea, hFocus))
        nCurrent = 3;
    for (int i = 1; i <= kPanes; ++i) {
        CWnd* pNext = panes[((nCurrent + nStep * i) % kPanes + kPanes) % kPanes];
        if (pNext != nullptr) {
            pNext->SetFocus();
            // The field reached by the keys holds its whole text chosen, as an edit reached by
            // Tab does: the first key typed replaces the value, as it does in the cell, rather
            // than going in before it.
            if (pNext == pField)
                pGroupFrame->GetEditField().SetSel(0, -1);
            return;
        }
    }
}

void CMainFrame::GiveKeysAfterGridClosed()
{
    // Where the keys are somewhere the user sees (another pane), they stay.
    const HWND hFocus = ::GetFocus();
    if (hFocus != nullptr && hFocus != m_hWnd && hFocus != m_hWndMDIClient)
        return;
    CVostrelApp* pApp = GetVostrelApp();
    if (m_pProjectArea != nullptr && m_pProjectArea->m_hWnd != nullptr && pApp != nullptr)
        m_pProjectArea->GetTree().ChooseShownNode(pApp->GetSelectedNodes().GetCurrentFolder());
    // The pane before the grid's place: the Project Area, or round to the Output Area.
    MoveToPane(-1);
}
