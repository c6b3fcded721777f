// The dock bar's rows: inserting bars at positions and points, shares within a row, expanding,
// docking and leaving. The row layout, splitters and painting are in SECDockBarLayout.cpp.
#include "toolkit/docking/SECDockBar.h"

#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/docking/SECGlobalData.h"

#include <algorithm>
#include <vector>

IMPLEMENT_DYNCREATE(SECDockBar, CDockBar)

BOOL SECDockBar::m_bNoRedraw = TRUE;

BEGIN_MESSAGE_MAP(SECDockBar, CDockBar)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_SETCURSOR()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_MESSAGE(WM_SIZEPARENT, &SECDockBar::OnSizeParentSEC)
END_MESSAGE_MAP()

namespace {

DWORD ExStyleOf(CControlBar* bar)
{
    SECControlBar* sec = AsSEC(bar);
    return sec ? sec->m_dwExStyle : 0;
}

} // namespace

SECDockBar::SECDockBar(BOOL bMDIChild) : CDockBar(FALSE), m_bMDIChild(bMDIChild) {}

SECDockBar::~SECDockBar()
{
    DeleteStrips();
}

void SECDockBar::DeleteStrips()
{
    m_arrSplitters.clear();
    m_arrClientEdges.clear();
}

int SECDockBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CControlBar::OnCreate(lpcs) == -1)
        return -1;
    SECGetGlobalData().LoadSplitterCursors();
    return 0;
}

void SECDockBar::OnDestroy()
{
    DeleteStrips();
    CControlBar::OnDestroy();
}

// ---- Rows ----

void SECDockBar::GetRowRange(int nPos, int& nFirst, int& nEnd) const
{
    const int size = static_cast<int>(m_arrBars.GetSize());
    nFirst = std::clamp(nPos, 1, std::max(size - 1, 1));
    while (nFirst > 1 && m_arrBars[nFirst - 1])
        --nFirst;
    nEnd = nFirst;
    while (nEnd < size && m_arrBars[nEnd])
        ++nEnd;
}

int SECDockBar::GetVisibleBarCount()
{
    return GetDockedVisibleCount();
}

BOOL SECDockBar::IsBarExpanded(CControlBar* pBar)
{
    const int pos = FindBar(pBar);
    if (pos < 0)
        return FALSE;
    int first, end;
    GetRowRange(pos, first, end);
    BOOL found = FALSE;
    for (int i = first; i < end; ++i) {
        SECControlBar* bar = AsSEC(GetDockedControlBar(i));
        if (!bar || !bar->IsVisible())
            continue;
        if (bar->m_fPctWidth > m_fMinShare) {
            if (bar != pBar)
                return FALSE;
            found = TRUE;
        }
    }
    return found;
}

BOOL SECDockBar::IsExpandDisabled(CControlBar* pBar)
{
    if (!pBar)
        return FALSE;
    const int pos = FindBar(pBar);
    if (pos < 0)
        return TRUE;
    int first, end;
    GetRowRange(pos, first, end);
    for (int i = first; i < end; ++i)
        if (CControlBar* bar = GetDockedControlBar(i); bar && bar != pBar && bar->IsVisible())
            return FALSE;
    return TRUE;
}

void SECDockBar::GetRowBars(CPtrList& list, CControlBar* pBar)
{
    const int pos = FindBar(pBar);
    if (pos < 0)
        return;
    int first, end;
    GetRowRange(pos, first, end);
    for (int i = first; i < end; ++i)
        if (CControlBar* bar = GetDockedControlBar(i))
            list.AddTail(bar);
}

CControlBar* SECDockBar::GetPrevDockedBar(int nPos) const
{
    for (int i = nPos - 1; i > 0 && m_arrBars[i]; --i)
        if (CControlBar* bar = GetDockedControlBar(i))
            return bar;
    return nullptr;
}

CControlBar* SECDockBar::GetNextDockedBar(int nPos) const
{
    for (int i = nPos + 1; i < m_arrBars.GetSize() && m_arrBars[i]; ++i)
        if (CControlBar* bar = GetDockedControlBar(i))
            return bar;
    return nullptr;
}

CControlBar* SECDockBar::GetNextVisibleDockedBar(int nPos) const
{
    for (int i = nPos + 1; i < m_arrBars.GetSize() && m_arrBars[i]; ++i)
        if (CControlBar* bar = GetDockedControlBar(i); bar && bar->IsVisible())
            return bar;
    return nullptr;
}

void SECDockBar::NoteBarChanged(CControlBar* pBar)
{
    if (!pBar)
        return;
    m_arrChangedBars.Add(pBar);
    m_pArrivedBar = pBar;
    const int pos = FindBar(pBar);
    if (pos > 0 && !GetPrevDockedBar(pos) && !GetNextDockedBar(pos))
        MarkChangedFrom(IsFarSide() ? pos : pos + 1);
}

void SECDockBar::MarkChangedFrom(int nIndex)
{
    // Rows after a change move: towards the end, or towards the start in a bottom or right
    // dock bar, whose rows are laid out from the frame's edge inwards.
    if (IsFarSide()) {
        for (int i = 1; i < nIndex && i < m_arrBars.GetSize(); ++i)
            if (CControlBar* bar = GetDockedControlBar(i))
                m_arrChangedBars.Add(bar);
    } else {
        for (int i = std::max(nIndex, 1); i < m_arrBars.GetSize(); ++i)
            if (CControlBar* bar = GetDockedControlBar(i))
                m_arrChangedBars.Add(bar);
    }
}

void SECDockBar::RemoveChangedBar(CControlBar* pBar)
{
    for (INT_PTR i = m_arrChangedBars.GetSize() - 1; i >= 0; --i)
        if (m_arrChangedBars[i] == pBar)
            m_arrChangedBars.RemoveAt(i);
    if (m_pArrivedBar == pBar)
        m_pArrivedBar = nullptr;
}

void SECDockBar::NoteCustomToolBarsInRow(CControlBar* pBar)
{
    CPtrList list;
    GetRowBars(list, pBar);
    for (POSITION pos = list.GetHeadPosition(); pos;) {
        auto* bar = static_cast<CControlBar*>(list.GetNext(pos));
        if (SECIsKindOf(bar, "SECCustomToolBar"))
            m_arrChangedBars.Add(bar);
    }
}

void SECDockBar::MoveBarToFront(CControlBar* pBar)
{
    const int pos = FindBar(pBar);
    if (pos <= 1)
        return;
    m_arrBars.RemoveAt(pos);
    if (pos < m_arrBars.GetSize() && !m_arrBars[pos] && !m_arrBars[pos - 1])
        m_arrBars.RemoveAt(pos);
    m_arrBars.InsertAt(1, pBar);
}

// ---- Shares ----

float SECDockBar::ComputeMinimumShare()
{
    CRect client;
    if (m_hWnd)
        GetClientRect(&client);
    const int length = IsHorzDockBar() ? client.Width() : client.Height();
    const float share = length > 0 ? 18.0f / static_cast<float>(length) : 0.05f;
    return std::clamp(share, 0.0f, 1.0f);
}

float SECDockBar::ClampShare(float fCarry, CControlBar* pBar)
{
    SECControlBar* bar = AsSEC(pBar);
    if (!bar)
        return fCarry;
    bar->m_fPctWidth += fCarry;
    if (bar->m_fPctWidth < m_fMinShare) {
        const float carry = bar->m_fPctWidth - m_fMinShare;
        bar->m_fPctWidth = m_fMinShare;
        return carry;
    }
    return 0.0f;
}

void SECDockBar::NormalizeRowShares(int nRowStart, CControlBar* pBar, int* pnSizable, int* pnFixed)
{
    m_fMinShare = ComputeMinimumShare();
    int first, end;
    GetRowRange(nRowStart, first, end);
    std::vector<SECControlBar*> row;
    int sizable = 0, fixed = 0;
    float sum = 0.0f, given = 0.0f;
    SECControlBar* givenBar = nullptr;
    for (int i = first; i < end; ++i) {
        CControlBar* bar = GetDockedControlBar(i);
            if (!bar || !bar->IsVisible())
            continue;
        // Only toolkit bars have a share: any other bar (a framework toolbar) keeps its size.
        SECControlBar* sec = AsSEC(bar);
        if (!sec || (sec->m_dwExStyle & CBRS_EX_UNIDIRECTIONAL))
            ++fixed;
        else
            ++sizable;
        if (!sec)
            continue;
        row.push_back(sec);
        if (bar == pBar) {
            givenBar = sec;
            given = sec->m_fPctWidth;
        } else {
            sum += sec->m_fPctWidth;
        }
    }
    if (pnSizable)
        *pnSizable = sizable;
    if (pnFixed)
        *pnFixed = fixed;
    if (row.empty())
        return;

    // Too many bars for the minimum share each (a small window): nothing can keep the minimum,
    // so every bar gets an equal share rather than a negative one.
    const auto equalShares = [&] {
        for (SECControlBar* bar : row)
            bar->m_fPctWidth = 1.0f / static_cast<float>(row.size());
    };
    if (static_cast<float>(row.size()) * m_fMinShare > 1.0f) {
        equalShares();
        return;
    }
    const float total = sum + given;
    if (givenBar && givenBar == m_pArrivedBar && given > 0.0f && given < 1.0f && sum > 0.0f) {
        // A bar arriving with its share keeps it; the others share the rest as they had it.
        const float others = (1.0f - given) / sum;
        for (SECControlBar* bar : row)
            if (bar != givenBar)
                bar->m_fPctWidth = std::max(bar->m_fPctWidth, 0.0f) * others;
    } else {
        const float factor = total > 0.0f ? 1.0f / total : 1.0f;
        for (SECControlBar* bar : row)
            bar->m_fPctWidth = std::max(bar->m_fPctWidth, 0.0f) * factor;
    }
    if (total <= 0.0f) {
        equalShares();
        return;
    }
    float carry = 0.0f;
    for (SECControlBar* bar : row)
        carry = ClampShare(carry, bar);
    if (carry != 0.0f)
        for (SECControlBar* bar : row)
            carry = ClampShare(carry, bar);
    if (carry != 0.0f) {
        SECControlBar* target = givenBar ? givenBar : row.front();
        target->m_fPctWidth += carry;
    }
    for (SECControlBar* bar : row)
        if (bar->m_fPctWidth < 0.0f || bar->m_fPctWidth > 1.0f) {
            equalShares();
            break;
        }
}

void SECDockBar::ExpandBar(CControlBar* pBar, int nMode)
{
    const int pos = FindBar(pBar);
    if (pos < 0)
        return;
    int first, end;
    GetRowRange(pos, first, end);
    for (int i = first; i < end; ++i)
        if (SECControlBar* bar = AsSEC(GetDockedControlBar(i)))
            bar->m_fPctWidth = nMode == ExpandMode ? (bar == pBar ? 1.0f : 0.0f) : 0.1f;
    NormalizeRowShares(first, pBar, nullptr, nullptr);
    MarkChangedFrom(IsFarSide() ? end : first);
    if (CFrameWnd* frame = GetDockingFrame())
        frame->DelayRecalcLayout();
}

// ---- Insertion ----

int SECDockBar::InsertBarBefore(int nIndex, CControlBar* pBar)
{
    nIndex = std::clamp(nIndex, 1, static_cast<int>(m_arrBars.GetSize()));
    m_arrBars.InsertAt(nIndex, pBar);
    const auto fullRow = [&](int i) {
        return i > 0 && i < m_arrBars.GetSize() && (ExStyleOf(GetDockedControlBar(i)) & CBRS_EX_FULL_ROW) != 0;
    };
    const bool mine = (ExStyleOf(pBar) & CBRS_EX_FULL_ROW) != 0;
    const bool barAfter = nIndex + 1 < m_arrBars.GetSize() && m_arrBars[nIndex + 1] != nullptr;
    const bool barBefore = nIndex - 1 > 0 && m_arrBars[nIndex - 1] != nullptr;
    if (barAfter && (mine || fullRow(nIndex + 1)))
        m_arrBars.InsertAt(nIndex + 1, static_cast<void*>(nullptr));
    if (barBefore && (mine || fullRow(nIndex - 1))) {
        m_arrBars.InsertAt(nIndex, static_cast<void*>(nullptr));
        ++nIndex;
    }
    if (m_arrBars[m_arrBars.GetUpperBound()])
        m_arrBars.Add(nullptr);
    return nIndex;
}

int SECDockBar::InsertBarAsFirstRow(CControlBar* pBar)
{
    m_arrBars.InsertAt(1, static_cast<void*>(nullptr));
    m_arrBars.InsertAt(1, pBar);
    return 1;
}

int SECDockBar::InsertBarAtIndex(CControlBar* pBar, int nCol, int nRow)
{
    return InsertBar(pBar, SECDockPos{nRow, nCol, 0});
}

int SECDockBar::InsertBar(CControlBar* pBar, const SECDockPos& pos)
{
    // The rows: each begins after a null entry other than the last.
    std::vector<int> rowStarts;
    const int size = static_cast<int>(m_arrBars.GetSize());
    for (int i = 0; i + 1 < size; ++i)
        if (!m_arrBars[i])
            rowStarts.push_back(i + 1);
    const int nRows = static_cast<int>(rowStarts.size());

    int index = -1;
    const auto insertAt = [&](int at, int nullsAfter) {
        index = at;
        if (CControlBar* old = at < m_arrBars.GetSize() ? GetDockedControlBar(at) : nullptr)
            m_arrChangedBars.Add(old);
        m_arrChangedBars.Add(pBar);
        m_arrBars.InsertAt(at, pBar);
        for (int k = 0; k < nullsAfter; ++k)
            m_arrBars.InsertAt(at + 1, static_cast<void*>(nullptr));
    };
    const auto appendRow = [&](int emptyRows) {
        if (m_arrBars.GetSize() == 0 || m_arrBars[m_arrBars.GetUpperBound()])
            m_arrBars.Add(nullptr);
        for (int k = 0; k < emptyRows; ++k)
            m_arrBars.Add(nullptr);
        m_arrChangedBars.Add(pBar);
        index = static_cast<int>(m_arrBars.Add(pBar));
        m_arrBars.Add(nullptr);
    };
    const auto beforeFirst = [&](int k) { insertAt(1, k - 1); };

    if (nRows == 0) {
        // An empty dock bar: the bar opens the first row.
        while (m_arrBars.GetSize() > 1)
            m_arrBars.RemoveAt(m_arrBars.GetUpperBound());
        appendRow(0);
        return index;
    }

    int row;
    if (!(pos.m_nFlags & SEC_DOCKPOS_FROMLASTROW)) {
        if (pos.m_nRow < 0) {
            beforeFirst(-pos.m_nRow);
            return index;
        }
        if (pos.m_nRow >= nRows) {
            appendRow(pos.m_nRow - nRows);
            return index;
        }
        row = pos.m_nRow;
    } else {
        if (pos.m_nRow > 0) {
            appendRow(pos.m_nRow - 1);
            return index;
        }
        row = nRows - 1 + pos.m_nRow;
        if (row < 0) {
            beforeFirst(-row);
            return index;
        }
    }

    const int first = rowStarts[row];
    int end = first;
    while (end < m_arrBars.GetSize() && m_arrBars[end])
        ++end;
    if (pos.m_nFlags & SEC_DOCKPOS_OWNROW) {
        insertAt(first, 1);
        return index;
    }
    if (first == end) {
        insertAt(first, 0);
        return index;
    }
    const auto visibleAt = [&](int i) {
        CControlBar* bar = GetDockedControlBar(i);
        return bar && bar->IsVisible();
    };
    const int c = pos.m_nCol;
    if (!(pos.m_nFlags & SEC_DOCKPOS_FROMROWEND)) {
        if (c <= 0) {
            insertAt(first, 0);
            return index;
        }
        int count = 0;
        for (int i = first; i < end; ++i)
            if (visibleAt(i) && ++count == c + 1) {
                insertAt(i, 0);
                return index;
            }
        insertAt(end, 0);
        return index;
    }
    if (c > 0) {
        insertAt(end, 0);
        return index;
    }
    int count = 0;
    for (int i = end - 1; i >= first; --i)
        if (visibleAt(i) && ++count == 1 - c) {
            insertAt(i, 0);
            return index;
        }
    insertAt(first, 0);
    return index;
}

int SECDockBar::FindInsertionIndex(CControlBar* pBar, const CRect& rect, CPoint point)
{
    const BOOL horz = IsHorzDockBar();
    const int b = horz ? SECGetGlobalData().m_cyBorder2 : SECGetGlobalData().m_cxBorder2;
    const int across = horz ? point.y : point.x;
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        CControlBar* bar = GetDockedControlBar(i);
        if (!bar || bar == pBar || !bar->IsVisible())
            continue;
        CRect r;
        bar->GetWindowRect(&r);
        ScreenToClient(&r);
        const int lo = (horz ? r.top : r.left) + b;
        const int hi = (horz ? r.bottom : r.right) - b;
        if (across < lo || across >= hi)
            continue;
        // The row under the point: the bar goes before the first bar further along.
        int first, end;
        GetRowRange(i, first, end);
        for (int j = first; j < end; ++j) {
            CControlBar* other = GetDockedControlBar(j);
            if (!other || other == pBar || !other->IsVisible())
                continue;
            CRect o;
            other->GetWindowRect(&o);
            ScreenToClient(&o);
            if ((horz ? rect.left : rect.top) < (horz ? o.left : o.top))
                return j;
        }
        return end;
    }
    return static_cast<int>(m_arrBars.GetSize());
}

int SECDockBar::InsertBarAtPoint(CControlBar* pBar, const CRect& rect, CPoint point)
{
    m_arrChangedBars.Add(pBar);
    const BOOL horz = IsHorzDockBar();
    int lastDocked = 0;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (GetDockedControlBar(i))
            lastDocked = i;
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        CControlBar* bar = GetDockedControlBar(i);
        if (!bar || bar == pBar || !bar->IsVisible())
            continue;
        CRect r;
        bar->GetWindowRect(&r);
        ScreenToClient(&r);
        if (horz ? point.y >= r.bottom : point.x >= r.right)
            continue;
        if (horz ? point.y < r.top : point.x < r.left) {
            // Before this bar's row: a new row there (before the first row, the new first row).
            int first, end;
            GetRowRange(i, first, end);
            MarkChangedFrom(IsFarSide() ? end : first);
            m_bFullRedraw = TRUE;
            if (first <= 1)
                return InsertBarAsFirstRow(pBar);
            m_arrBars.InsertAt(first, static_cast<void*>(nullptr));
            m_arrBars.InsertAt(first, pBar);
            return first;
        }
        int at = -1;
        if ((horz ? rect.left : rect.top) < (horz ? r.left : r.top))
            at = i;
        else if (!GetNextDockedBar(i) && i == lastDocked)
            at = i + 1;
        if (at < 0) {
            // Another bar follows in the array: the walk goes on, unless none follows in this
            // row, where the bar goes at the row's end.
            if (!GetNextDockedBar(i))
                at = i + 1;
            else
                continue;
        }
        MarkChangedFrom(at);
        return InsertBarBefore(at, pBar);
    }
    // Below every row: a new last row, then an empty one.
    while (m_arrBars.GetSize() > lastDocked + 1)
        m_arrBars.RemoveAt(m_arrBars.GetUpperBound());
    m_arrBars.Add(nullptr);
    const int index = static_cast<int>(m_arrBars.Add(pBar));
    m_arrBars.Add(nullptr);
    m_arrBars.Add(nullptr);
    MarkChangedFrom(index);
    m_bFullRedraw = TRUE;
    return index;
}

// ---- Docking and leaving ----

void SECDockBar::SetBarParentAndStyle(CControlBar* pBar)
{
    if (m_bFloating) {
        if (pBar->GetBarStyle() & CBRS_FLOAT_MULTI)
            m_dwStyle |= CBRS_FLOAT_MULTI;
        m_dwStyle = (m_dwStyle & ~static_cast<DWORD>(CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC)) |
                    (pBar->GetBarStyle() & (CBRS_SIZE_FIXED | CBRS_SIZE_DYNAMIC));
        if (!(m_dwStyle & CBRS_FLOAT_MULTI) && pBar->m_hWnd) {
            CString title;
            pBar->GetWindowText(title);
            SetWindowText(title);
        }
    }
    DWORD style = pBar->GetBarStyle() & ~static_cast<DWORD>(CBRS_ALIGN_ANY | CBRS_FLOATING);
    style |= (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY | (m_bFloating ? CBRS_FLOATING : 0);
    pBar->SetBarStyle(style);
}

void SECDockBar::DockControlBar(CControlBar* pBar, const SECDockPos& pos)
{
    SetBarParentAndStyle(pBar);
    const int index = InsertBar(pBar, pos);
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    CDockBar* old = pBar->m_pDockBar;
    if (old == this) {
        CDockBar::RemoveControlBar(pBar, index);
    } else if (old) {
        if (old->IsKindOf(RUNTIME_CLASS(SECDockBar)))
            static_cast<SECDockBar*>(old)->RemoveControlBar(pBar, -1, 0);
        else
            old->RemoveControlBar(pBar);
    }
    pBar->m_pDockBar = this;
    RemovePlaceHolder(pBar);
    if (CFrameWnd* frame = GetDockingFrame())
        frame->DelayRecalcLayout();
}

void SECDockBar::DockControlBarAt(CControlBar* pBar, int nCol, int nRow)
{
    DockControlBar(pBar, SECDockPos{nRow, nCol, 0});
}

void SECDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CRect current;
    pBar->GetWindowRect(&current);
    if (pBar->m_pDockBar == this) {
        if (ExStyleOf(pBar) & CBRS_EX_UNIDIRECTIONAL) {
            if (!lpRect || current == *lpRect)
                return;
        } else if (lpRect) {
            if (current == *lpRect)
                return;
            CRect rect(*lpRect);
            ScreenToClient(&rect);
            const int own = FindBar(pBar);
            const int at = FindInsertionIndex(pBar, rect, rect.CenterPoint());
            if (at == own || at == own + 1)
                return;
        }
    }
    if (CWnd* oldParent = pBar->GetParent(); oldParent && pBar->m_pDockBar) {
        CRect r = current;
        oldParent->ScreenToClient(&r);
        oldParent->InvalidateRect(&r);
    }
    SetBarParentAndStyle(pBar);
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    int index;
    const SECGlobalData& data = SECGetGlobalData();
    if (lpRect) {
        CRect rect(*lpRect);
        ScreenToClient(&rect);
        RemovePlaceHolder(pBar);
        index = InsertBarAtPoint(pBar, rect, rect.CenterPoint());
        pBar->SetWindowPos(nullptr, rect.left, rect.top, 0, 0, SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    } else {
        RemovePlaceHolder(pBar);
        if (m_arrBars[m_arrBars.GetUpperBound()])
            m_arrBars.Add(nullptr);
        index = static_cast<int>(m_arrBars.Add(pBar));
        m_arrBars.Add(nullptr);
        m_arrChangedBars.Add(pBar);
        pBar->SetWindowPos(nullptr, -data.m_cxBorder2, -data.m_cyBorder2, 0, 0,
                           SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
    }
    CDockBar* old = pBar->m_pDockBar;
    if (old == this) {
        CDockBar::RemoveControlBar(pBar, index);
    } else if (old) {
        if (old->IsKindOf(RUNTIME_CLASS(SECDockBar)))
            static_cast<SECDockBar*>(old)->RemoveControlBar(pBar, -1, 0);
        else
            old->RemoveControlBar(pBar);
    }
    pBar->m_pDockBar = this;
    if (CFrameWnd* frame = GetDockingFrame())
        frame->DelayRecalcLayout();
}

void SECDockBar::ReDockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    if (!pBar || !pBar->m_hWnd)
        return;
    CRect current;
    pBar->GetWindowRect(&current);
    if (pBar->m_pDockBar == this && (!lpRect || current == *lpRect))
        return;
    SetBarParentAndStyle(pBar);
    const BOOL wasVisible = (pBar->GetStyle() & WS_VISIBLE) != 0;
    if (pBar->GetParent() != this)
        pBar->SetParent(this);
    void* holder = PlaceHolderOf(static_cast<UINT>(pBar->GetDlgCtrlID()));
    int index = -1;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (m_arrBars[i] == holder) {
            m_arrBars[i] = pBar;
            index = i;
            m_arrChangedBars.Add(pBar);
            break;
        }
    CRect rect;
    if (lpRect) {
        rect = *lpRect;
        ScreenToClient(&rect);
    }
    if (index < 0) {
        if (lpRect) {
            index = InsertBarAtPoint(pBar, rect, rect.CenterPoint());
        } else {
            if (m_arrBars[m_arrBars.GetUpperBound()])
                m_arrBars.Add(nullptr);
            index = static_cast<int>(m_arrBars.Add(pBar));
            m_arrBars.Add(nullptr);
        }
    }
    // Hidden for the move and shown again by the next layout.
    if (wasVisible) {
        pBar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
        pBar->DelayShow(TRUE);
    }
    const SECGlobalData& data = SECGetGlobalData();
    if (lpRect)
        pBar->SetWindowPos(nullptr, rect.left, rect.top, rect.Width() + 1, rect.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    else
        pBar->SetWindowPos(nullptr, -data.m_cxBorder2, -data.m_cyBorder2, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    CDockBar* old = pBar->m_pDockBar;
    if (old && old != this) {
        // A floating frame emptied by the move is gone with its dock bar: nothing more to tidy.
        const BOOL gone = old->IsKindOf(RUNTIME_CLASS(SECDockBar)) ? static_cast<SECDockBar*>(old)->RemoveControlBar(pBar, -1, 0)
                                                                    : old->RemoveControlBar(pBar);
        if (!gone && old->m_hWnd && old->FindBar(pBar) < 0)
            old->RemovePlaceHolder(static_cast<UINT>(pBar->GetDlgCtrlID()));
    } else if (old == this) {
        CDockBar::RemoveControlBar(pBar, index);
    }
    pBar->m_pDockBar = this;
    m_pArrivedBar = pBar;
    if (CFrameWnd* frame = GetDockingFrame())
        frame->DelayRecalcLayout();
}

BOOL SECDockBar::RemoveControlBar(CControlBar* pBar, int nPosExclude, int)
{
    int pos = -1;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (i != nPosExclude && m_arrBars[i] == pBar) {
            pos = i;
            break;
        }
    if (pos < 0)
        return FALSE;
    if (!GetPrevDockedBar(pos) && !GetNextDockedBar(pos)) {
        MarkChangedFrom(IsFarSide() ? pos : pos + 1);
        m_bFullRedraw = TRUE;
    }
    // The bar's place stays as its id, so that it can come back to it.
    const UINT id = pBar->m_hWnd ? static_cast<UINT>(pBar->GetDlgCtrlID()) & 0xFFFF : 0;
    void* holder = PlaceHolderOf(id);
    bool holderElsewhere = false;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (i != pos && m_arrBars[i] == holder)
            holderElsewhere = true;
    if (id && !holderElsewhere) {
        m_arrBars[pos] = holder;
    } else {
        m_arrBars.RemoveAt(pos);
        if (pos < m_arrBars.GetSize() && !m_arrBars[pos] && !m_arrBars[pos - 1])
            m_arrBars.RemoveAt(pos);
    }
    RemoveChangedBar(pBar);
    if (pBar->m_pDockBar == this && nPosExclude < 0)
        pBar->m_pDockBar = nullptr;
    if (!pBar->m_pDockContext)
        return FALSE;
    if (m_bFloating && m_hWnd && GetDockedVisibleCount() == 0) {
        CWnd* mini = GetParent();
        if (GetDockedCount() == 0 && mini) {
            mini->DestroyWindow();
            return TRUE;
        }
        if (mini)
            mini->ShowWindow(SW_HIDE);
    } else if (m_hWnd) {
        if (CFrameWnd* frame = GetDockingFrame())
            frame->DelayRecalcLayout();
    }
    return FALSE;
}

void SECDockBar::GetBarInfo(SECControlBarInfo* pInfo)
{
    CDockBar::GetBarInfo(pInfo);
    pInfo->m_dwStyle = m_dwStyle;
    pInfo->m_bMDIChild = m_bMDIChild;
    pInfo->m_strClassName = GetRuntimeClass()->m_lpszClassName;
    // A dock bar floating in a window of the main frame's client keeps that window's place and
    // state (minimised, maximised) for the next start; its own position says nothing of them.
    pInfo->m_wp = SECWindowPlacement44{};
    CFrameWnd* child = m_bMDIChild && m_hWnd ? GetParentFrame() : nullptr;
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    if (child && child->m_hWnd && ::GetWindowPlacement(child->m_hWnd, &wp)) {
        pInfo->m_wp.length = sizeof(SECWindowPlacement44);
        pInfo->m_wp.flags = wp.flags;
        pInfo->m_wp.showCmd = wp.showCmd;
        pInfo->m_wp.ptMinPosition = wp.ptMinPosition;
        pInfo->m_wp.ptMaxPosition = wp.ptMaxPosition;
        pInfo->m_wp.rcNormalPosition = wp.rcNormalPosition;
    }
}

void SECDockBar::SetBarInfo(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    CDockBar::SetBarInfo(pInfo, pFrameWnd);
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* bar = GetDockedControlBar(i))
            bar->SetBarStyle(bar->GetBarStyle() | CBRS_BORDER_ANY);
}
