#include "grid/core/CGXAutoScrollPlugin.h"

#include "grid/core/CGXGridCore.h"
#include "platform/core/TickCount.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"

#include <algorithm>
#include <cstdlib>

IMPLEMENT_DYNAMIC(CGXAutoScrollPlugin, CGXPluginComponent)

namespace {
constexpr UINT_PTR kTimerId = 992;
} // namespace

CGXAutoScrollPlugin::CGXAutoScrollPlugin(CGXGridCore* pGrid) : m_pGrid(pGrid)
{
    if (m_pGrid != nullptr) {
        m_pGrid->m_bScrollbarAutoScroll = TRUE;
        m_pGrid->m_bKeyboardAutoScroll = TRUE;
    }
}

CGXAutoScrollPlugin* CGXAutoScrollPlugin::Install(CGXGridCore* pGrid)
{
    if (pGrid == nullptr)
        return nullptr;
    if (auto* pExisting = dynamic_cast<CGXAutoScrollPlugin*>(pGrid->m_pAutoScrollPlugin))
        return pExisting;
    auto* pPlugin = new CGXAutoScrollPlugin(pGrid);
    pGrid->m_pAutoScrollPlugin = pPlugin;
    pGrid->AddPlugin(pPlugin); // the grid deletes its plug-ins
    return pPlugin;
}

void CGXAutoScrollPlugin::Stop()
{
    CWnd* pWnd = m_pGrid->GridWnd();
    if (m_pGrid->m_nAutoScrollTimer != 0 && pWnd != nullptr && pWnd->GetSafeHwnd() != nullptr)
        pWnd->KillTimer(m_pGrid->m_nAutoScrollTimer);
    m_pGrid->m_nAutoScrollTimer = 0;
    m_nTimer = 0;
    m_pGrid->m_nAutoScrollDirection = -1;
    m_pGrid->m_bAutoScrollKeyMode = FALSE;
    m_pGrid->m_bAutoScrollStop = TRUE;
    m_pGrid->m_bAutoScroll = FALSE;
}

void CGXAutoScrollPlugin::SendMouseMove(CPoint pt)
{
    if (CWnd* pWnd = m_pGrid->GridWnd())
        pWnd->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(static_cast<WORD>(pt.x), static_cast<WORD>(pt.y)));
}

void CGXAutoScrollPlugin::Step()
{
    CGXGridCore& g = *m_pGrid;
    CWnd* pWnd = g.GridWnd();
    if (pWnd == nullptr || pWnd->GetSafeHwnd() == nullptr)
        return;
    if (g.m_bAutoScrollStop) {
        Stop();
        return;
    }
    if (g.m_bAutoScroll) {
        // The request is taken over at the first tick.
        g.m_bAutoScroll = FALSE;
        m_bRows = g.m_bAutoScrollRows;
        m_bCols = g.m_bAutoScrollCols;
        m_nTimer = g.m_nAutoScrollTimer;
        m_nScrollBarDirection = g.m_nAutoScrollDirection;
        m_nKey = g.m_nAutoScrollKey;
        m_nKeyFlags = g.m_nAutoScrollKeyFlags;
        g.GetGridRect(&m_rectInner);
        m_rectInner.top += g.SumRowHeights(0, g.GetFrozenRows(), 0);
        m_rectInner.left += g.SumColWidths(0, g.GetFrozenCols(), 0);
        m_dwStart = GetTickCount();
        m_dwLastStep = 0;
        m_nStepInterval = 80;
        m_nMoveInterval = 80;
        m_nSpeed = 1;
        m_nLastDistance = 0;
        POINT pt{};
        ::GetCursorPos(&pt);
        ::ScreenToClient(pWnd->GetSafeHwnd(), &pt);
        m_ptStart = pt;
    }
    const DWORD now = GetTickCount();
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(pWnd->GetSafeHwnd(), &cursor);
    const CPoint pt(cursor);
    const BOOL bKeyMode = g.m_bAutoScrollKeyMode;
    const BOOL bBarMode = m_nScrollBarDirection != -1;

    if (now - m_dwLastStep > static_cast<DWORD>(m_nStepInterval)) {
        m_dwLastStep = now;
        int nDivisor = 1;
        int nDistance = 0;
        BOOL bScrolled = TRUE;
        const UINT nCount = static_cast<UINT>(std::max(1, m_nSpeed / 10));
        if (bKeyMode) {
            // The key's release may reach another window (a cell's own edit window has the
            // keyboard then): a key no longer down ends the repeats here.
            if ((GetKeyState(static_cast<int>(m_nKey)) & 0x8000) == 0) {
                Stop();
                return;
            }
            if (m_nStepInterval < 40)
                pWnd->SendMessage(WM_KEYDOWN, m_nKey, MAKELPARAM(static_cast<WORD>(std::max(1, m_nSpeed / 5)), LOWORD(m_nKeyFlags)));
            nDistance = 8;
        } else if (bBarMode) {
            if (m_nStepInterval < 40)
                g.Scroll(static_cast<UINT>(m_nScrollBarDirection), nCount);
            nDistance = 2;
        } else {
            bScrolled = FALSE;
            if (m_bRows) {
                nDivisor = 5;
                int nDir = 0;
                if (pt.y < m_rectInner.top)
                    nDir = 1, nDistance = m_rectInner.top - pt.y;
                else if (pt.y > m_rectInner.bottom)
                    nDir = 3, nDistance = pt.y - m_rectInner.bottom;
                bScrolled = nDir != 0 && g.Scroll(static_cast<UINT>(nDir), nCount);
            }
            if (!bScrolled && m_bCols) {
                nDivisor = 10;
                int nDir = 0;
                nDistance = 0;
                if (pt.x < m_rectInner.left)
                    nDir = 2, nDistance = m_rectInner.left - pt.x;
                else if (pt.x > m_rectInner.right)
                    nDir = 4, nDistance = pt.x - m_rectInner.right;
                bScrolled = nDir != 0 && g.Scroll(static_cast<UINT>(nDir), nCount);
            }
        }
        if (!bScrolled) {
            Reset();
        } else if (nDistance < m_nLastDistance) {
            // The pointer came back toward the edge: start slowly again.
            Reset();
        } else if (nDistance > 1) {
            m_nStepInterval += (nDistance / nDivisor) / -2;
            if (m_nStepInterval < 0) {
                m_nStepInterval = 0;
                m_nSpeed = std::min(80, m_nSpeed + 2);
            }
        }
        m_nLastDistance = nDistance;
        if (!bBarMode)
            SendMouseMove(pt);
        return;
    }
    const int nMoved = std::abs(pt.x - m_ptStart.x) + std::abs(pt.y - m_ptStart.y);
    if (nMoved > 5) {
        if (!bBarMode && !bKeyMode)
            SendMouseMove(pt);
        m_nMoveInterval = 100;
    } else if (now - m_dwLastStep > static_cast<DWORD>(m_nMoveInterval)) {
        if (!bBarMode && !bKeyMode)
            SendMouseMove(pt);
        m_nMoveInterval -= 3;
    }
}

BOOL CGXAutoScrollPlugin::OnWndMsg(UINT message, WPARAM wParam, LPARAM, LRESULT*)
{
    // The plug-in only watches: the grid still handles every one of these messages.
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimerId) {
            Step();
            return TRUE;
        }
        return FALSE;
    case WM_LBUTTONUP:
    case WM_MBUTTONUP:
    case WM_RBUTTONUP:
    case WM_CANCELMODE:
    case WM_KEYUP:
        if (m_pGrid->m_nAutoScrollTimer != 0)
            Stop();
        return FALSE;
    case WM_KEYDOWN:
        if (m_pGrid->m_nAutoScrollTimer != 0 && (wParam == VK_ESCAPE || !m_pGrid->m_bAutoScrollKeyMode || wParam != m_pGrid->m_nAutoScrollKey))
            Stop();
        return FALSE;
    case WM_KILLFOCUS: {
        // The grid handing the keyboard to one of its own cell windows goes on scrolling.
        CWnd* pWnd = m_pGrid->GridWnd();
        const HWND hNew = reinterpret_cast<HWND>(wParam);
        const BOOL bOwnChild = hNew != nullptr && pWnd != nullptr && ::IsChild(pWnd->GetSafeHwnd(), hNew);
        if (m_pGrid->m_nAutoScrollTimer != 0 && !bOwnChild && !m_pGrid->IsFocusChange())
            Stop();
        return FALSE;
    }
    default:
        return FALSE;
    }
}
