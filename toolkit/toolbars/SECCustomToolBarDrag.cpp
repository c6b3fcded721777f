// Customising a toolbar: the customise selection, dragging a button to another place, another
// bar, off every bar or into a new bar, and the bar's saved buttons.
#include "toolkit/toolbars/SECCustomToolBar.h"

#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/core/ResourceTable.h"
#include "toolkit/res/ToolkitRes.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/UserApi.h"
#include "platform/win/VirtualKeys.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/toolbars/SECToolBarManager.h"

#include <algorithm>

void SECCustomToolBar::SetCustomizeMode(BOOL bMode)
{
    SelectButton(-1);
    m_bCustomize = bMode;
    if (bMode)
        StopHotTracking();
    if (m_hWnd)
        Invalidate();
}

int SECCustomToolBar::GetSelectedIndex() const
{
    for (size_t i = 0; i < m_btns.size(); ++i)
        if (m_btns[i]->m_nStyle & SEC_TBBS_SELECTED)
            return static_cast<int>(i);
    return -1;
}

void SECCustomToolBar::SelectButton(int nIndex)
{
    // One selection per manager: the bar that held it lets it go.
    if (m_pToolBarMgr) {
        SECCustomToolBar* holder = m_pToolBarMgr->GetSelectionHolder();
        if (holder && holder != this)
            holder->SelectButton(-1);
    }
    const int old = GetSelectedIndex();
    if (old == nIndex)
        return;
    if (SECStdBtn* b = GetBtn(old)) {
        b->m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_SELECTED);
        b->Invalidate();
    }
    SECStdBtn* b = GetBtn(nIndex);
    if (b) {
        b->m_nStyle |= SEC_TBBS_SELECTED;
        b->Invalidate();
    }
    if (m_pToolBarMgr) {
        if (b)
            m_pToolBarMgr->SetSelectionHolder(this);
        else if (m_pToolBarMgr->GetSelectionHolder() == this)
            m_pToolBarMgr->SetSelectionHolder(nullptr);
    }
    BroadcastNotify(kBarSelChanged);
}

void SECCustomToolBar::DragButton(int nIndex, CPoint point)
{
    SECStdBtn* b = GetBtn(nIndex);
    if (!b || !b->CanDrag())
        return;
    const BOOL copy = IsCopyDrag((::GetKeyState(VK_CONTROL) & 0x8000) != 0) || s_bAltDrag;
    SelectButton(nIndex);
    CRect rect = b->GetRect();
    SECToolBarRectTracker tracker(&rect);
    HCURSOR old = nullptr;
    if (copy) {
        if (HCURSOR cursor = ::LoadCursor(AfxFindResourceHandle(MAKEINTRESOURCE(SEC_IDC_COPYBUTTON), RT_CURSOR),
                                          MAKEINTRESOURCE(SEC_IDC_COPYBUTTON)))
            old = ::SetCursor(cursor);
    }
    const BOOL moved = tracker.TrackHandle(CRectTracker::hitMiddle, this, point, CWnd::FromHandle(::GetDesktopWindow()));
    if (old)
        ::SetCursor(old);
    if (!moved)
        return;
    CRect screen = tracker.m_rect;
    screen.NormalizeRect();
    ClientToScreen(&screen);
    DropDraggedButton(nIndex, screen, copy);
}

void SECCustomToolBar::DropDraggedButton(int nIndex, const CRect& rcScreen, BOOL bCopy)
{
    SECStdBtn* b = GetBtn(nIndex);
    if (!b)
        return;
    SECCustomToolBar* target = m_pToolBarMgr ? m_pToolBarMgr->ToolBarFromRect(rcScreen) : nullptr;
    if (!target) {
        // The window under each corner in turn: a toolbar, or the first one floating in a frame.
        const POINT corners[4] = {{rcScreen.left, rcScreen.top},
                                  {rcScreen.right - 1, rcScreen.top},
                                  {rcScreen.left, rcScreen.bottom - 1},
                                  {rcScreen.right - 1, rcScreen.bottom - 1}};
        for (const POINT& corner : corners) {
            CWnd* wnd = CWnd::FromHandlePermanent(::WindowFromPoint(corner));
            if (auto* bar = dynamic_cast<SECCustomToolBar*>(wnd)) {
                target = bar;
                break;
            }
            if (auto* mini = dynamic_cast<CMiniDockFrameWnd*>(wnd)) {
                for (HWND child = ::GetWindow(mini->m_hWnd, GW_CHILD); child && !target;
                     child = ::GetWindow(child, GW_HWNDNEXT))
                    for (HWND inner = ::GetWindow(child, GW_CHILD); inner && !target;
                         inner = ::GetWindow(inner, GW_HWNDNEXT))
                        target = dynamic_cast<SECCustomToolBar*>(CWnd::FromHandlePermanent(inner));
                if (target)
                    break;
            }
        }
    }
    if (!target) {
        CWnd* dialog = m_pToolBarMgr ? m_pToolBarMgr->GetCustomizeWnd() : nullptr;
        if (dialog && dialog->m_hWnd) {
            CRect rcDialog;
            dialog->GetWindowRect(&rcDialog);
            CRect overlap;
            if (overlap.IntersectRect(&rcDialog, &rcScreen))
                return; // dropped back onto the dialog: nothing happens
        }
        if (!bCopy) {
            RemoveButton(nIndex);
            return;
        }
        // A copy dropped off every bar starts a bar of its own, floating where it fell.
        SECCustomToolBar* bar = m_pToolBarMgr ? m_pToolBarMgr->CreateUserToolBar() : nullptr;
        if (!bar)
            return;
        bar->InsertButton(0, b->m_nID, FALSE, TRUE);
        if (!s_bAltDrag)
            bar->SelectButton(0);
        CRect frame(rcScreen.TopLeft(), CSize(0, 0));
        ::AdjustWindowRectEx(&frame, 0x80CC0000, FALSE, 0x180);
        CPoint at(frame.left - bar->m_cxLeftBorder - SECGetGlobalData().m_cxBorder2,
                  frame.top - bar->m_cyTopBorder - SECGetGlobalData().m_cyBorder2);
        if (CFrameWnd* site = m_pToolBarMgr->GetFrameWnd())
            site->FloatControlBar(bar, at, CBRS_ALIGN_TOP);
        return;
    }
    if (target != this && (m_dwFlags & 1))
        return; // this bar keeps its buttons to itself
    if (!target->AcceptsDrop()) {
        if (!bCopy)
            RemoveButton(nIndex);
        return;
    }
    CRect client = rcScreen;
    target->ScreenToClient(&client);
    target->DropButton(client, b, bCopy, FALSE);
}

int SECCustomToolBar::RowOfPoint(int y, int& nFirst, int& nLast) const
{
    CRect inside(0, 0, 0, 0);
    if (m_hWnd)
        GetClientRect(&inside);
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || IsFloating());
    int top = inside.top;
    int first = 0;
    for (size_t r = 0; r < m_rows.size(); ++r) {
        // A row never starts with separators.
        while (first < m_rows[r].nLast && m_btns[static_cast<size_t>(first)]->IsSeparator())
            ++first;
        const int bottom = top + m_rows[r].nHeight + (m_rows[r].bSepBreak ? m_nSepWidth * 2 / 3 : 0);
        if (y < bottom || r + 1 == m_rows.size()) {
            nFirst = first;
            nLast = m_rows[r].nLast;
            return static_cast<int>(r);
        }
        top = bottom;
        first = m_rows[r].nLast + 1;
    }
    nFirst = 0;
    nLast = GetBtnCount() - 1;
    return 0;
}

void SECCustomToolBar::DropButton(const CRect& rcDrop, SECStdBtn* pBtn, BOOL bCopy, BOOL bNoRecalc)
{
    if (!pBtn || !pBtn->m_pToolBar)
        return;
    SECCustomToolBar* source = pBtn->m_pToolBar;
    const UINT id = pBtn->m_nID;
    const int srcIndex = source->BtnToIndex(pBtn);
    if (srcIndex < 0)
        return;
    const bool sameBar = source == this;
    // Takes the moved button from its bar (that bar may go once it is empty). After it the
    // button object is gone: only its id is used.
    auto takeFromSource = [&]() {
        if (!bCopy)
            source->RemoveButton(source->BtnToIndex(pBtn), bNoRecalc || sameBar);
    };
    int insertAt = 0;
    if (m_btns.empty()) {
        takeFromSource();
        insertAt = 0;
    } else {
        if (sameBar && !bCopy && GetBtnCount() == 1)
            return; // the only button onto its own bar
        CRect inside(0, 0, 0, 0);
        if (m_hWnd)
            GetClientRect(&inside);
        CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) != 0 || IsFloating());
        int contentBottom = inside.top;
        for (const SECToolBarRow& row : m_rows)
            contentBottom += row.nHeight + (row.bSepBreak ? m_nSepWidth * 2 / 3 : 0);
        if (rcDrop.bottom <= inside.top || rcDrop.top >= contentBottom) {
            // Above every row: the button starts the bar with a separator after it; below: a
            // separator and then the button end it. The button moves: it leaves its old place.
            const bool above = rcDrop.bottom <= inside.top;
            takeFromSource();
            if (above) {
                InsertButton(0, 0, TRUE, TRUE);
                InsertButton(0, id, FALSE, bNoRecalc);
                insertAt = 0;
            } else {
                InsertButton(GetBtnCount(), 0, TRUE, TRUE);
                insertAt = GetBtnCount();
                InsertButton(insertAt, id, FALSE, bNoRecalc);
            }
            if (!s_bAltDrag)
                SelectButton(insertAt);
            return;
        }
        int first = 0, last = 0;
        RowOfPoint((rcDrop.top + rcDrop.bottom) / 2, first, last);
        // A nudge of the bar's own selected button: a separator appears or goes beside it.
        const int selected = GetSelectedIndex();
        if (sameBar && selected == srcIndex && selected >= first && selected <= last) {
            const CRect own = pBtn->GetRect();
            const bool leftNudge = rcDrop.left < own.left && rcDrop.right > own.left;
            const bool rightNudge = rcDrop.left < own.right && rcDrop.right > own.right && !leftNudge;
            if (leftNudge || rightNudge) {
                const int shift = rcDrop.left - own.left;
                if (shift > -2 && shift < 2)
                    return;
                if (!bCopy) {
                    const int i = selected;
                    if (leftNudge) {
                        if (i > 0 && m_btns[static_cast<size_t>(i - 1)]->IsSeparator())
                            RemoveButton(i - 1, TRUE);
                        else if (i + 1 < GetBtnCount() && !m_btns[static_cast<size_t>(i + 1)]->IsSeparator())
                            InsertButton(i + 1, 0, TRUE, TRUE);
                    } else {
                        if (i > 0 && !m_btns[static_cast<size_t>(i - 1)]->IsSeparator())
                            InsertButton(i, 0, TRUE, TRUE);
                        else if (i + 1 < GetBtnCount() && m_btns[static_cast<size_t>(i + 1)]->IsSeparator())
                            RemoveButton(i + 1, TRUE);
                    }
                    if (!bNoRecalc)
                        RecalcAfterChange();
                    return;
                }
            }
        }
        if (rcDrop.left < inside.left) {
            insertAt = first;
        } else {
            insertAt = last + 1;
            int x = inside.left;
            for (int i = first; i <= last; ++i) {
                const SECStdBtn* b = m_btns[static_cast<size_t>(i)].get();
                if (b->m_nStyle & SEC_TBBS_HIDDEN)
                    continue;
                x += b->m_cx;
                if (x > rcDrop.left) {
                    insertAt = i + 1;
                    break;
                }
            }
        }
        if (sameBar && !bCopy) {
            if (insertAt == srcIndex)
                return;
            // The old place goes the way a removal goes (a separator left leading, ending or
            // doubled goes with it); the insertion point follows the button it stood before.
            const SECStdBtn* before = insertAt < GetBtnCount() ? GetBtn(insertAt) : nullptr;
            if (before == pBtn)
                before = GetBtn(insertAt + 1);
            RemoveButton(srcIndex, TRUE);
            insertAt = before ? BtnToIndex(before) : GetBtnCount();
            if (insertAt < 0)
                insertAt = GetBtnCount();
        } else if (!bCopy) {
            takeFromSource();
        }
        // A separator at the insertion point that lies wholly inside the drop is replaced.
        if (SECStdBtn* sep = GetBtn(insertAt);
            sep && sep->IsSeparator() && !(sep->m_nStyle & SEC_TBBS_WRAPPED)) {
            CRect rcSep = sep->GetRect();
            CRect both;
            both.UnionRect(&rcSep, &rcDrop);
            if (both == rcDrop)
                m_btns.erase(m_btns.begin() + insertAt);
        }
    }
    InsertButton(insertAt, id, FALSE, bNoRecalc);
    if (!s_bAltDrag)
        SelectButton(insertAt);
}
