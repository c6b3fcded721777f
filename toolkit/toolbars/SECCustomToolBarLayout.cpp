// The toolbar's layout: which length wraps the buttons, how rows break (at a separator when one
// is at hand), fitting a height, evening out the rows, and placing the buttons.
#include "toolkit/toolbars/SECCustomToolBar.h"

#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "toolkit/toolbars/SECBmpMgr.h"

#include <algorithm>

namespace {

constexpr int kNoWrap = 32767;

// The length a full-row bar takes on its side: its parent's client width when docked along the
// top or bottom, the height of the frame's left or right dock bar when docked along a side; 0
// when there is nothing to take it from.
int FullRowLength(CWnd* bar, bool vertical)
{
    CWnd* parent = bar->GetParent();
    if (!vertical) {
        if (parent == nullptr || parent->m_hWnd == nullptr)
            return 0;
        CRect client;
        parent->GetClientRect(&client);
        return client.Width();
    }
    CFrameWnd* frame = bar->GetParentFrame();
    if (frame == nullptr)
        return 0;
    for (UINT id : {AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT})
        if (CWnd* side = frame->GetDlgItem(static_cast<int>(id))) {
            CRect rect;
            side->GetWindowRect(&rect);
            return rect.Height();
        }
    return 0;
}

} // namespace

int SECCustomToolBar::GetImageWidth() const
{
    return m_pBmpMgr ? m_pBmpMgr->GetImageWidth() : 16;
}

int SECCustomToolBar::GetImageHeight() const
{
    return m_pBmpMgr ? m_pBmpMgr->GetImageHeight() : 15;
}

void SECCustomToolBar::MeasureRow(const std::vector<SECStdBtn*>& btns, int nFirst, SECToolBarRow& row) const
{
    row.nWidth = 0;
    row.nHeight = 0;
    row.bSepBreak = row.nLast > nFirst && btns[static_cast<size_t>(row.nLast)]->IsSeparator()
        && row.nLast != static_cast<int>(btns.size()) - 1;
    const int end = row.bSepBreak ? row.nLast - 1 : row.nLast;
    for (int i = nFirst; i <= row.nLast; ++i) {
        const SECStdBtn* b = btns[static_cast<size_t>(i)];
        if (i <= end)
            row.nWidth += b->m_cx;
        row.nHeight = std::max(row.nHeight, b->m_cy);
    }
}

std::vector<SECToolBarRow> SECCustomToolBar::WrapRows(const std::vector<SECStdBtn*>& btns, int nWidth) const
{
    std::vector<SECToolBarRow> rows;
    const int count = static_cast<int>(btns.size());
    int first = 0;
    int running = 0;
    for (int i = 0; i < count; ++i) {
        const int w = btns[static_cast<size_t>(i)]->m_cx;
        if (running + w > nWidth + 2 && i > first) {
            // Break at the nearest separator of the row at or before this button, else just
            // before it.
            int sep = i;
            while (sep > first && !btns[static_cast<size_t>(sep)]->IsSeparator())
                --sep;
            SECToolBarRow row;
            if (sep > first) {
                row.nLast = sep;
                MeasureRow(btns, first, row);
                rows.push_back(row);
                first = sep + 1;
                running = 0;
                for (int k = first; k < i; ++k)
                    running += btns[static_cast<size_t>(k)]->m_cx;
                if (i == sep) // the overflowing button was the separator itself
                    continue;
            } else {
                row.nLast = i - 1;
                MeasureRow(btns, first, row);
                rows.push_back(row);
                first = i;
                running = 0;
            }
        }
        // A button wider than the whole width stays alone without counting.
        if (i == first && w > nWidth + 2)
            continue;
        running += w;
    }
    if (first < count || rows.empty()) {
        SECToolBarRow row;
        row.nLast = count - 1;
        if (count > 0)
            MeasureRow(btns, first, row);
        rows.push_back(row);
    }
    return rows;
}

CSize SECCustomToolBar::RowsSize(const std::vector<SECToolBarRow>& rows) const
{
    CSize size(0, 0);
    for (const SECToolBarRow& row : rows) {
        size.cx = std::max(size.cx, static_cast<LONG>(row.nWidth));
        size.cy += row.nHeight + (row.bSepBreak ? m_nSepWidth * 2 / 3 : 0);
    }
    return size;
}

std::vector<SECToolBarRow> SECCustomToolBar::FitRows(const std::vector<SECStdBtn*>& btns, int nHeight) const
{
    const int rowHeight = GetImageHeight() + 7;
    const int step = GetImageWidth() + 7;
    int narrowest = kNoWrap;
    for (const SECStdBtn* b : btns)
        narrowest = std::min(narrowest, b->m_cx);
    if (btns.empty())
        return WrapRows(btns, kNoWrap);
    int width = kNoWrap;
    if (nHeight >= rowHeight)
        width = std::max(step * static_cast<int>(btns.size()) / (nHeight / rowHeight), narrowest);
    std::vector<SECToolBarRow> rows = WrapRows(btns, width);
    int height = RowsSize(rows).cy;
    if (height > nHeight) {
        while (height > nHeight && rows.size() > 1 && width < kNoWrap) {
            width += step;
            rows = WrapRows(btns, width);
            height = RowsSize(rows).cy;
        }
    } else if (height < nHeight) {
        while (width > narrowest) {
            const int narrower = std::max(width - step, narrowest);
            std::vector<SECToolBarRow> tried = WrapRows(btns, narrower);
            const int h = RowsSize(tried).cy;
            if (h > nHeight)
                break;
            width = narrower;
            rows = std::move(tried);
            if (h == nHeight)
                break;
        }
    }
    return rows;
}

void SECCustomToolBar::BalanceWrapping(std::vector<SECToolBarRow>& rows)
{
    // The laid-out buttons are those the last layout placed; rows index into them.
    std::vector<SECStdBtn*> btns;
    for (auto& b : m_btns)
        if (!(b->m_nStyle & SEC_TBBS_HIDDEN))
            btns.push_back(b.get());
    auto firstOf = [&](size_t r) { return r == 0 ? 0 : rows[r - 1].nLast + 1; };
    // Each move shortens the widest row, so the loop ends; the bound guards it all the same.
    for (size_t guard = 0; guard < btns.size() * rows.size() + 1; ++guard) {
        size_t widest = 0;
        for (size_t r = 0; r < rows.size(); ++r)
            if (rows[r].nWidth >= rows[widest].nWidth)
                widest = r;
        if (widest + 1 >= rows.size())
            return;
        SECToolBarRow& row = rows[widest];
        SECToolBarRow& next = rows[widest + 1];
        const int first = firstOf(widest);
        int newLast = -1;
        if (!row.bSepBreak) {
            if (row.nLast <= first)
                return; // a single button
            newLast = row.nLast - 1;
        } else {
            // The last group: back from the button before the separator to the previous one.
            int prevSep = row.nLast - 1;
            while (prevSep > first && !btns[static_cast<size_t>(prevSep)]->IsSeparator())
                --prevSep;
            if (prevSep <= first)
                return; // the row would keep nothing but this group
            newLast = prevSep;
        }
        SECToolBarRow shorter = row, longer = next;
        shorter.nLast = newLast;
        MeasureRow(btns, first, shorter);
        MeasureRow(btns, newLast + 1, longer);
        if (longer.nWidth >= row.nWidth)
            return;
        row = shorter;
        next = longer;
    }
}

CSize SECCustomToolBar::CalcFixedLayout(BOOL, BOOL bHorz)
{
    return MeasureLayout(-1, bHorz ? (LM_HORZDOCK | LM_HORZ) : LM_VERTDOCK);
}

BOOL SECCustomToolBar::IsShownLayoutMode(DWORD dwMode) const
{
    if ((m_dwStyle & CBRS_SIZE_DYNAMIC) && (m_dwStyle & CBRS_FLOATING))
        return (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) == 0;
    if (m_dwStyle & CBRS_ORIENT_HORZ)
        return (dwMode & LM_HORZDOCK) != 0;
    return (dwMode & LM_VERTDOCK) != 0;
}

CSize SECCustomToolBar::MeasureLayout(int nLength, DWORD dwMode)
{
    if (IsShownLayoutMode(dwMode))
        return CalcLayout(nLength, dwMode);
    // A drag asks a docked bar for its floating and other-side sizes: the buttons must stay
    // where the bar shows them, or a cancelled drag would leave them placed for a frame they
    // are not in, over the gripper.
    struct Place {
        int x, y;
        DWORD wrapped;
    };
    std::vector<Place> places;
    places.reserve(m_btns.size());
    for (const auto& b : m_btns)
        places.push_back({b->m_x, b->m_y, b->m_nStyle & SEC_TBBS_WRAPPED});
    const std::vector<SECToolBarRow> rows = m_rows;
    const CSize size = CalcLayout(nLength, dwMode);
    for (size_t i = 0; i < m_btns.size(); ++i) {
        m_btns[i]->SetPos(places[i].x, places[i].y);
        m_btns[i]->m_nStyle = (m_btns[i]->m_nStyle & ~static_cast<DWORD>(SEC_TBBS_WRAPPED)) | places[i].wrapped;
    }
    m_rows = rows;
    return size;
}

CSize SECCustomToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    if (!(dwMode & LM_COMMIT)) {
        // A docked full-row bar follows its side's length, which may have changed since.
        const bool followsSide = (m_dwExStyle & CBRS_EX_FULL_ROW) && (dwMode & (LM_HORZDOCK | LM_VERTDOCK));
        const bool dirty = ((dwMode & LM_HORZDOCK) && m_bDirtyHorz) || ((dwMode & LM_VERTDOCK) && m_bDirtyVert)
            || ((dwMode & LM_MRUWIDTH) && m_bDirtyFloat);
        // A side's bar is laid out at width 0, a button per row: the length is a width there
        // even when the caller measures the side's length as a height.
        if ((followsSide || dirty) && (dwMode & LM_VERTDOCK))
            return MeasureLayout(0, (dwMode & ~static_cast<DWORD>(LM_LENGTHY)) | LM_COMMIT);
        if (followsSide || dirty)
            return MeasureLayout(kNoWrap, dwMode | LM_COMMIT);
        if (dwMode & LM_HORZDOCK)
            return m_szHorzLayout;
        if (dwMode & LM_VERTDOCK)
            return m_szVertLayout;
        if (dwMode & LM_MRUWIDTH)
            return m_szFloatLayout;
    } else {
        const bool across = ((dwMode & LM_HORZDOCK) && (dwMode & LM_LENGTHY))
            || ((dwMode & LM_VERTDOCK) && !(dwMode & LM_LENGTHY));
        if (!across)
            return CalcLayout(nLength, dwMode);
        // The thickness across a side is the control bar's to keep; the buttons are placed for
        // the mode committed, whatever the bar shows now.
        SECControlBar::CalcDynamicLayout(nLength, dwMode);
        return CalcLayout(-1, (dwMode & LM_HORZ) ? (LM_HORZDOCK | LM_HORZ) : LM_VERTDOCK);
    }
    return SECControlBar::CalcDynamicLayout(nLength, dwMode);
}

CSize SECCustomToolBar::CalcLayout(int nLength, DWORD dwMode)
{
    const bool vertical = (dwMode & LM_VERTDOCK) != 0;
    const bool horzDock = (dwMode & LM_HORZDOCK) != 0;
    std::vector<SECStdBtn*> btns;
    for (auto& b : m_btns)
        if (!(b->m_nStyle & SEC_TBBS_HIDDEN))
            btns.push_back(b.get());
    CRect border(0, 0, 0, 0);
    CalcInsideRect(border, !vertical);
    const int borderW = -border.Width();
    const int borderH = -border.Height();
    for (SECStdBtn* b : btns)
        b->SetMode(m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT));

    // A docked full-row bar lays out over the whole length of its side and fills it.
    const int fullRow = (m_dwExStyle & CBRS_EX_FULL_ROW) && (horzDock || vertical) ? FullRowLength(this, vertical) : 0;
    CSize size;
    std::vector<SECToolBarRow> rows;
    if (btns.empty()) {
        size = CSize(GetImageWidth() + 7, GetImageHeight() + 7);
    } else {
        int wrap = kNoWrap;
        int fit = -1; // a height to fit instead of a width
        const BOOL dynamic = (m_dwStyle & CBRS_SIZE_DYNAMIC) != 0;
        const BOOL fixed = (m_dwStyle & CBRS_SIZE_FIXED) != 0;
        // A bar without dynamic size lies in one row, or one button per row along a side.
        const int staticWrap = vertical ? 0 : kNoWrap;
        if (fullRow > 0) {
            if (vertical)
                fit = std::max(fullRow - borderH, 0);
            else
                wrap = std::max(fullRow - borderW, 0);
        } else if (fixed) {
            wrap = kNoWrap;
        } else if (!dynamic) {
            wrap = staticWrap;
        } else if (dwMode & LM_MRUWIDTH) {
            if (vertical)
                fit = static_cast<int>(m_nMRUWidth);
            else
                wrap = static_cast<int>(m_nMRUWidth);
        } else if (nLength == -1) {
            wrap = (m_dwStyle & CBRS_FLOATING) ? static_cast<int>(m_nMRUWidth) : staticWrap;
        } else if (dwMode & LM_LENGTHY) {
            fit = nLength - borderH;
        } else {
            wrap = nLength - borderW;
        }
        if (fit >= 0) {
            rows = FitRows(btns, fit);
        } else {
            int widest = 0;
            for (SECStdBtn* b : btns)
                widest = std::max(widest, b->m_cx);
            rows = WrapRows(btns, std::max(wrap, widest));
        }
        if (rows.size() > 1)
            BalanceWrapping(rows);
        size = RowsSize(rows);
        // Place the buttons row by row.
        int x = border.left, y = border.top;
        int first = 0;
        for (size_t r = 0; r < rows.size(); ++r) {
            for (int i = first; i <= rows[r].nLast; ++i) {
                SECStdBtn* b = btns[static_cast<size_t>(i)];
                b->SetPos(x, y);
                x += b->m_cx;
                if (i == rows[r].nLast && r + 1 < rows.size())
                    b->m_nStyle |= SEC_TBBS_WRAPPED;
                else
                    b->m_nStyle &= ~static_cast<DWORD>(SEC_TBBS_WRAPPED);
                if ((b->m_nStyle & SEC_TBBS_VCENTER) && b->m_cy < rows[r].nHeight)
                    b->SetPos(b->m_x, y + (rows[r].nHeight - b->m_cy) / 2);
            }
            y += rows[r].nHeight + (rows[r].bSepBreak ? m_nSepWidth * 2 / 3 : 0);
            x = border.left;
            first = rows[r].nLast + 1;
        }
        // Remember the rows by index into the whole array for drops.
        m_rows.clear();
        for (SECToolBarRow row : rows) {
            row.nLast = BtnToIndex(btns[static_cast<size_t>(row.nLast)]);
            m_rows.push_back(row);
        }
    }
    if (btns.empty())
        m_rows.clear();
    if (fullRow > 0) {
        if (vertical)
            size.cy = std::max<LONG>(size.cy, fullRow - borderH);
        else
            size.cx = std::max<LONG>(size.cx, fullRow - borderW);
    }
    size.cx += borderW;
    size.cy += borderH;
    if (dwMode & LM_COMMIT) {
        if (horzDock) {
            m_szHorzLayout = size;
            m_bDirtyHorz = FALSE;
        } else if (vertical) {
            m_szVertLayout = size;
            m_bDirtyVert = FALSE;
        } else {
            m_szFloatLayout = size;
            m_bDirtyFloat = FALSE;
            m_nMRUWidth = static_cast<UINT>(std::max<LONG>(size.cx - borderW, 0));
        }
    } else if (horzDock) {
        m_szHorzLayout = size;
    } else if (vertical) {
        m_szVertLayout = size;
    }
    if ((m_dwStyle & CBRS_FLOATING) && !horzDock && !vertical)
        size -= CSize(2, 2);
    UpdateBand();
    return size;
}

void SECCustomToolBar::SetButtonSize()
{
    m_nMaxBtnWidth = 0;
    for (auto& b : m_btns)
        b->AdjustSize();
    MarkSizesDirty();
}

void SECCustomToolBar::FitToParent()
{
    // A bar the frame places itself (no dock context) spans its parent.
    if (m_pDockContext || !m_hWnd || !GetParent())
        return;
    CRect parent, own;
    GetParent()->GetWindowRect(&parent);
    GetWindowRect(&own);
    if (m_dwStyle & 0x5500)
        SetWindowPos(nullptr, 0, 0, own.Width(), parent.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    else
        SetWindowPos(nullptr, 0, 0, parent.Width(), own.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}
