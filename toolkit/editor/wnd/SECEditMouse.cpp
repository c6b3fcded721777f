// The caret under the mouse, stream and column selections made with it, their highlight kept
// up to date without repainting, and dragging selected text to another place or window.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/ole/COleDataSource.h"
#include "platform/core/GlobalMemory.h"
#include "platform/win/Caret.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Cursor.h"
#include "platform/win/Keyboard.h"
#include "platform/win/ResourceImages.h"
#include "platform/core/ResourceTable.h"
#include "toolkit/editor/Utf8Cells.h"
#include "toolkit/res/EditorRes.h"

#include <algorithm>
#include <cstring>

namespace {

bool IsWord(const SECEditDoc& doc, unsigned char c)
{
    // Bytes of multi-byte characters belong to words.
    return c == '_' || c >= 0x80 || doc.IsWordChar(c);
}

} // namespace

// ---- Cells and positions ------------------------------------------------------------------------

int SECEditCtrl::TextEndColumn(const SECEditLine* pLine) const
{
    if (pLine == nullptr || m_pDoc == nullptr)
        return 0;
    return m_pDoc->ColumnFromOffset(pLine, m_pDoc->TextLength(pLine));
}

int SECEditCtrl::SnapColumn(SECEditLine* pLine, int nColumn, BOOL bLimit) const
{
    if (pLine == nullptr || m_pDoc == nullptr)
        return nColumn;
    // Never inside a character: a tab or a wide character is entered at its start.
    const int offset = m_pDoc->OffsetFromColumn(pLine, nColumn);
    if (offset < m_pDoc->TextLength(pLine))
        nColumn = m_pDoc->ColumnFromOffset(pLine, offset);
    if (bLimit)
        nColumn = std::min(nColumn, TextEndColumn(pLine));
    return std::max(0, nColumn);
}

SECEditPos SECEditCtrl::PosOf(SECEditCell cell)
{
    SECEditPos pos;
    pos.pLine = cell.pLine;
    pos.nOffset = cell.pLine != nullptr ? GetDocument()->OffsetFromColumn(cell.pLine, cell.nColumn) : 0;
    return pos;
}

SECEditPos SECEditCtrl::CaretPos()
{
    return PosOf(SECEditCell{m_pCaretLine, m_nCaretColumn});
}

int SECEditCtrl::CaretOffset()
{
    return CaretPos().nOffset;
}

void SECEditCtrl::SetCaret(SECEditLine* pLine, int nColumn)
{
    if (pLine == nullptr)
        return;
    m_pCaretLine = pLine;
    m_nCaretLineNo = m_pDoc->LineNo(pLine);
    m_nCaretColumn = std::clamp(nColumn, 0, SECEDIT_MAX_WIDTH);
}

SECEditCell SECEditCtrl::CellFromPoint(CPoint point, BOOL bScroll)
{
    SECEditCell cell;
    if (m_nCharWidth <= 0 || m_nLineHeight <= 0 || m_pTopLine == nullptr)
        return SECEditCell{m_pCaretLine, m_nCaretColumn};
    if (point.x < m_nMarginWidth) {
        point.x = m_nMarginWidth;
        if (bScroll && m_nLeftColumn > 0) {
            --m_nLeftColumn;
            SetScrollPos(SB_HORZ, m_nLeftColumn, TRUE);
            if (m_bRedraw)
                Invalidate(FALSE);
        }
    }
    int column = m_nLeftColumn + (point.x - m_nMarginWidth + m_nCharWidth / 2) / m_nCharWidth;
    column = std::min(column, SECEDIT_MAX_WIDTH);
    int row = std::max(0, static_cast<int>(point.y) / m_nLineHeight);
    if ((row + 1) * m_nLineHeight > m_rectText.bottom && row > 0)
        --row;
    SECEditLine* line = m_pTopLine;
    for (int i = 0; i < row && line->pNext != nullptr; ++i)
        line = line->pNext;
    cell.pLine = line;
    cell.nColumn = SnapColumn(line, column, m_nSelMode != SECEDIT_SEL_COLUMN);
    return cell;
}

// ---- Pending highlight marks --------------------------------------------------------------------

void SECEditCtrl::ClearMarks()
{
    // Only the two lines of the last span ever carry marks: no walk over the document. They are
    // inverted as soon as they are made, so none is kept for later, not even while the replace
    // dialog is open: a kept mark could name a line an edit has freed since.
    for (SECEditLine* line : {m_markFrom.pLine, m_markTo.pLine})
        if (line != nullptr)
            line->dwFlags &= ~(SECEDIT_LINE_HLSTART | SECEDIT_LINE_HLEND);
    m_markFrom = m_markTo = SECEditCell{};
}

void SECEditCtrl::MarkCell(SECEditCell cell, DWORD dwFlag)
{
    if (cell.pLine == nullptr)
        return;
    const DWORD column = static_cast<DWORD>(std::clamp(cell.nColumn, 0, 0xFFFF));
    cell.pLine->dwFlags |= dwFlag;
    if (dwFlag == SECEDIT_LINE_HLSTART)
        cell.pLine->dwColorState = (cell.pLine->dwColorState & 0xFFFF0000u) | column;
    else
        cell.pLine->dwColorState = (cell.pLine->dwColorState & 0x0000FFFFu) | (column << 16);
}

void SECEditCtrl::MarkSpan(SECEditCell a, SECEditCell b)
{
    if (a.pLine == nullptr || b.pLine == nullptr)
        return;
    const bool aFirst = m_pDoc->LineNo(a.pLine) < m_pDoc->LineNo(b.pLine)
        || (a.pLine == b.pLine && a.nColumn <= b.nColumn);
    MarkCell(aFirst ? a : b, SECEDIT_LINE_HLSTART);
    MarkCell(aFirst ? b : a, SECEDIT_LINE_HLEND);
    m_markFrom = aFirst ? a : b;
    m_markTo = aFirst ? b : a;
}

// ---- Selection ----------------------------------------------------------------------------------

void SECEditCtrl::BeginSelection(int nMode, BOOL)
{
    ClearMarks();
    m_anchor = m_selStart = m_selEnd = SECEditCell{m_pCaretLine, m_nCaretColumn};
    m_nSelMode = nMode;
    m_bSelection = TRUE;
    GetDocument()->m_pActiveWnd = this;
    if (m_bCaretCreated && m_hWnd != nullptr) {
        DestroyCaret();
        m_bCaretCreated = FALSE;
    }
}

void SECEditCtrl::UpdateSelection(BOOL bRedraw)
{
    if (!m_bSelection)
        return;
    const SECEditCell caret{m_pCaretLine, m_nCaretColumn};
    if (m_nSelMode == SECEDIT_SEL_COLUMN) {
        const SECEditCell oldEnd = m_selEnd;
        m_selStart = m_anchor;
        m_selEnd = caret;
        if (bRedraw && m_bRedraw && m_hWnd != nullptr && oldEnd.pLine != nullptr && m_selStart.pLine != nullptr) {
            // Invert what changed between the old block and the new one.
            CClientDC dc(this);
            auto xOf = [&](int col) { return m_nMarginWidth + (col - m_nLeftColumn) * m_nCharWidth; };
            auto yOf = [&](int lineNo) { return m_rectText.top + (lineNo - m_nTopLineNo) * m_nLineHeight; };
            auto invert = [&](int c1, int c2, int r1, int r2) {
                const int left = std::max(xOf(std::min(c1, c2)), m_nMarginWidth);
                const int right = xOf(std::max(c1, c2));
                const int top = yOf(std::min(r1, r2));
                const int bottom = yOf(std::max(r1, r2)) + m_nLineHeight;
                if (right > left && bottom > top)
                    dc.PatBlt(left, top, right - left, bottom - top, DSTINVERT);
            };
            const int startRow = m_pDoc->LineNo(m_selStart.pLine);
            const int oldRow = m_pDoc->LineNo(oldEnd.pLine);
            const int newRow = m_pDoc->LineNo(caret.pLine);
            // Rows gained or lost below (or above) the old end row, over the old columns.
            if (newRow != oldRow) {
                const int from = newRow > oldRow ? oldRow + 1 : newRow + 1;
                const int to = newRow > oldRow ? newRow : oldRow;
                invert(m_selStart.nColumn, oldEnd.nColumn, from, to);
            }
            // Columns gained or lost, over every row of the new block.
            if (caret.nColumn != oldEnd.nColumn)
                invert(oldEnd.nColumn, caret.nColumn, startRow, newRow);
        }
        ClearMarks();
        return;
    }
    const bool caretFirst = m_pDoc->LineNo(caret.pLine) < m_pDoc->LineNo(m_anchor.pLine)
        || (caret.pLine == m_anchor.pLine && caret.nColumn < m_anchor.nColumn);
    m_selStart = caretFirst ? caret : m_anchor;
    m_selEnd = caretFirst ? m_anchor : caret;
    if (!bRedraw || !m_bRedraw || m_hWnd == nullptr || m_pTopLine == nullptr) {
        ClearMarks();
        return;
    }
    // Invert the marked span row by row on the screen, then forget the marks.
    if (m_markFrom.pLine != nullptr && m_markTo.pLine != nullptr) {
        CClientDC dc(this);
        const int rows = VisibleRows() + 1;
        const int fromNo = m_pDoc->LineNo(m_markFrom.pLine);
        const int toNo = m_pDoc->LineNo(m_markTo.pLine);
        SECEditLine* line = m_pTopLine;
        for (int row = 0; row < rows && line != nullptr; ++row, line = line->pNext) {
            const int no = m_pDoc->LineNo(line);
            if (no < fromNo || no > toNo)
                continue;
            // A line's selected part runs past its text by one cell for the line end.
            const int textEnd = TextEndColumn(line);
            const int lineEnd = textEnd + (line->pNext != nullptr ? 1 : 0);
            int from = no == fromNo ? std::min(m_markFrom.nColumn, textEnd) : 0;
            int to = no == toNo ? std::min(m_markTo.nColumn, textEnd) : lineEnd;
            from = std::max(from, m_nLeftColumn);
            if (to > from)
                dc.PatBlt(m_nMarginWidth + (from - m_nLeftColumn) * m_nCharWidth,
                          m_rectText.top + row * m_nLineHeight, (to - from) * m_nCharWidth, m_nLineHeight,
                          DSTINVERT);
        }
    }
    ClearMarks();
}

int SECEditCtrl::ClearSelection(BOOL bRedraw)
{
    if (!m_bCaretCreated && m_hWnd != nullptr && GetFocus() == this) {
        CreateCaret(m_hWnd, nullptr, 2, m_nLineHeight);
        ShowCaret(m_hWnd);
        m_bCaretCreated = TRUE;
        UpdateCaretPos();
    }
    if (m_bTimer) {
        KillTimer(SECEDIT_TIMER_SCROLL);
        m_bTimer = FALSE;
    }
    if (m_bCaptured) {
        m_bCaptured = FALSE;
        ReleaseCapture();
    }
    if (m_selStart.pLine == nullptr || m_selEnd.pLine == nullptr) {
        m_bSelection = FALSE;
        m_nSelMode = SECEDIT_SEL_STREAM;
        return SECEDIT_NO_TEXT_ID;
    }
    if (bRedraw) {
        const int a = m_pDoc->LineNo(m_selStart.pLine) - m_nTopLineNo;
        const int b = m_pDoc->LineNo(m_selEnd.pLine) - m_nTopLineNo;
        InvalidateRows(std::min(a, b), std::max(a, b));
    }
    m_selStart = m_selEnd = SECEditCell{};
    m_nSelMode = SECEDIT_SEL_STREAM;
    m_bSelection = FALSE;
    return 0;
}

BOOL SECEditCtrl::PointInSelection(CPoint point)
{
    if (!m_bSelection || m_nCharWidth <= 0 || m_nLineHeight <= 0 || m_pTopLine == nullptr)
        return FALSE;
    const int row = static_cast<int>(point.y) / m_nLineHeight;
    SECEditLine* line = m_pTopLine;
    for (int i = 0; i < row && line != nullptr; ++i)
        line = line->pNext;
    if (line == nullptr || point.x < m_nMarginWidth)
        return FALSE;
    const int column = m_nLeftColumn + (point.x - m_nMarginWidth) / m_nCharWidth;
    int start = 0;
    int end = 0;
    const int endCol = TextEndColumn(line) + (line->pNext != nullptr ? 1 : 0);
    if (!GetLineSelection(line, endCol, &start, &end))
        return FALSE;
    return column >= start && column < end;
}

// ---- Mouse --------------------------------------------------------------------------------------

void SECEditCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    const bool shift = (nFlags & MK_SHIFT) != 0;
    const bool alt = GetKeyState(VK_MENU) < 0;
    SetFocus();
    if (!m_bSelection) {
        const int mode = (m_nSelMode == SECEDIT_SEL_COLUMN || alt) ? SECEDIT_SEL_COLUMN : SECEDIT_SEL_STREAM;
        if (shift) {
            const SECEditCell old{m_pCaretLine, m_nCaretColumn};
            BeginSelection(mode, TRUE);
            const SECEditCell cell = CellFromPoint(point, TRUE);
            SetCaret(cell.pLine, cell.nColumn);
            MakeCaretVisible();
            MarkSpan(old, cell);
            UpdateSelection(TRUE);
        } else {
            m_nSelMode = mode;
            const SECEditCell cell = CellFromPoint(point, TRUE);
            SetCaret(cell.pLine, cell.nColumn);
            MakeCaretVisible();
            BeginSelection(mode, TRUE);
        }
    } else if (!shift) {
        if (PointInSelection(point)) {
            if (StartDrag() != DROPEFFECT_NONE)
                return;
            ClearSelection(TRUE);
            const SECEditCell cell = CellFromPoint(point, TRUE);
            SetCaret(cell.pLine, cell.nColumn);
            MakeCaretVisible();
            return;
        }
        ClearSelection(TRUE);
        const SECEditCell cell = CellFromPoint(point, TRUE);
        SetCaret(cell.pLine, cell.nColumn);
        MakeCaretVisible();
        BeginSelection(SECEDIT_SEL_STREAM, TRUE);
    } else {
        const SECEditCell old{m_pCaretLine, m_nCaretColumn};
        const SECEditCell cell = CellFromPoint(point, TRUE);
        SetCaret(cell.pLine, cell.nColumn);
        MakeCaretVisible();
        MarkSpan(old, cell);
        UpdateSelection(TRUE);
        return;
    }
    m_ptLastMouse = point;
    SetCapture();
    m_bCaptured = TRUE;
    SetTimer(SECEDIT_TIMER_SCROLL, 100);
    m_bTimer = TRUE;
    m_bFirstTick = TRUE;
}

void SECEditCtrl::OnMouseMove(UINT, CPoint point)
{
    static bool busy = false;
    if (!m_bCaptured || busy)
        return;
    busy = true;
    const SECEditCell old{m_pCaretLine, m_nCaretColumn};
    if (point.y < m_rectText.top) {
        if (m_pCaretLine->pPrev != nullptr) {
            if (m_nCaretLineNo == m_nTopLineNo)
                ScrollOneLine(FALSE);
            SetCaret(m_pCaretLine->pPrev, SnapColumn(m_pCaretLine->pPrev, m_nCaretColumn,
                                                      m_nSelMode != SECEDIT_SEL_COLUMN));
        }
    } else if (point.y >= m_rectText.bottom) {
        if (m_pCaretLine->pNext != nullptr) {
            if (m_nCaretLineNo >= m_nTopLineNo + VisibleRows() - 1)
                ScrollOneLine(TRUE);
            SetCaret(m_pCaretLine->pNext, SnapColumn(m_pCaretLine->pNext, m_nCaretColumn,
                                                      m_nSelMode != SECEDIT_SEL_COLUMN));
        }
    } else {
        const SECEditCell cell = CellFromPoint(point, TRUE);
        SetCaret(cell.pLine, cell.nColumn);
    }
    const SECEditCell now{m_pCaretLine, m_nCaretColumn};
    if (now.pLine != old.pLine || now.nColumn != old.nColumn) {
        MakeCaretVisible();
        MarkSpan(old, now);
        UpdateSelection(TRUE);
    }
    m_ptLastMouse = point;
    busy = false;
}

void SECEditCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent != SECEDIT_TIMER_SCROLL)
        return;
    if (m_bFirstTick) {
        m_bFirstTick = FALSE;
        return;
    }
    POINT screen;
    GetCursorPos(&screen);
    CPoint point(screen);
    ScreenToClient(&point);
    if (point == m_ptLastMouse && m_rectText.PtInRect(point) && point.y > m_rectText.top)
        return;
    OnMouseMove(0, point);
}

void SECEditCtrl::OnLButtonUp(UINT, CPoint point)
{
    if (m_bTimer) {
        KillTimer(SECEDIT_TIMER_SCROLL);
        m_bTimer = FALSE;
    }
    if (!m_bCaptured)
        return;
    m_bCaptured = FALSE;
    ReleaseCapture();
    if (m_bSelection && m_selStart.pLine == m_selEnd.pLine) {
        const int textEnd = TextEndColumn(m_selStart.pLine);
        if (m_selStart.nColumn == m_selEnd.nColumn || textEnd == 0
            || (m_nSelMode == SECEDIT_SEL_STREAM && m_selStart.nColumn >= textEnd))
            ClearSelection(TRUE);
    }
    if (!m_bSelection && point.x <= m_nMarginWidth - m_nCharWidth / 2) {
        // A click in the margin selects the whole line.
        const SECEditCell cell = CellFromPoint(point, FALSE);
        SetCaret(cell.pLine, 0);
        BeginSelection(SECEDIT_SEL_STREAM, TRUE);
        if (cell.pLine->pNext != nullptr) {
            if (m_nCaretLineNo >= m_nTopLineNo + VisibleRows() - 1)
                ScrollOneLine(TRUE);
            SetCaret(cell.pLine->pNext, 0);
        } else {
            SetCaret(cell.pLine, TextEndColumn(cell.pLine));
        }
        MarkSpan(m_anchor, SECEditCell{m_pCaretLine, m_nCaretColumn});
        UpdateSelection(TRUE);
    }
}

int SECEditCtrl::SelectWordAtCaret()
{
    SECEditDoc* pDoc = GetDocument();
    SECEditLine* line = m_pCaretLine;
    const int length = pDoc->TextLength(line);
    const int at = pDoc->OffsetFromColumn(line, m_nCaretColumn);
    if (at >= length || !IsWord(*pDoc, static_cast<unsigned char>(line->pText[at])))
        return SECEDIT_NO_TEXT_ID;
    int start = at;
    while (start > 0 && IsWord(*pDoc, static_cast<unsigned char>(line->pText[start - 1])))
        --start;
    int end = at;
    while (end < length && IsWord(*pDoc, static_cast<unsigned char>(line->pText[end])))
        ++end;
    // Never split a character at either end.
    while (start > 0 && editor::IsContinuation(line->pText[start]))
        --start;
    while (end < length && editor::IsContinuation(line->pText[end]))
        ++end;
    if (m_bSelection)
        ClearSelection(TRUE);
    SetCaret(line, pDoc->ColumnFromOffset(line, start));
    BeginSelection(SECEDIT_SEL_STREAM, TRUE);
    SetCaret(line, pDoc->ColumnFromOffset(line, end));
    MakeCaretVisible();
    MarkSpan(m_anchor, SECEditCell{m_pCaretLine, m_nCaretColumn});
    UpdateSelection(TRUE);
    return 0;
}

void SECEditCtrl::OnLButtonDblClk(UINT, CPoint point)
{
    const SECEditCell cell = CellFromPoint(point, FALSE);
    if (cell.pLine != nullptr && !m_bSelection)
        SetCaret(cell.pLine, cell.nColumn);
    SelectWordAtCaret();
}

BOOL SECEditCtrl::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest != HTCLIENT)
        return CWnd::OnSetCursor(pWnd, nHitTest, message);
    POINT screen;
    GetCursorPos(&screen);
    CPoint point(screen);
    ScreenToClient(&point);
    if (point.x <= m_nMarginWidth - m_nCharWidth / 2) {
        HINSTANCE module = AfxFindResourceHandle(MAKEINTRESOURCE(IDC_SECEDIT_MARGIN), RT_CURSOR);
        HCURSOR cursor = LoadCursorFromResource(module, MAKEINTRESOURCE(IDC_SECEDIT_MARGIN));
        ::SetCursor(cursor != nullptr ? cursor : LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    if (PointInSelection(point)) {
        ::SetCursor(LoadCursor(nullptr, IDC_ARROW));
        return TRUE;
    }
    return CWnd::OnSetCursor(pWnd, nHitTest, message);
}

// ---- Selected text --------------------------------------------------------------------------------

void SECEditCtrl::BlockCorners(SECEditCell& first, SECEditCell& last) const
{
    // A block drawn leftwards or upwards has its corners the other way round.
    SECEditCell a = m_selStart;
    SECEditCell b = m_selEnd;
    if (a.pLine == nullptr || b.pLine == nullptr) {
        first = last = SECEditCell{};
        return;
    }
    first.pLine = m_pDoc->LineNo(a.pLine) <= m_pDoc->LineNo(b.pLine) ? a.pLine : b.pLine;
    last.pLine = m_pDoc->LineNo(a.pLine) <= m_pDoc->LineNo(b.pLine) ? b.pLine : a.pLine;
    first.nColumn = std::min(a.nColumn, b.nColumn);
    last.nColumn = std::max(a.nColumn, b.nColumn);
}

BOOL SECEditCtrl::GetClipText(std::string& text) const
{
    text.clear();
    if (!m_bSelection || m_selStart.pLine == nullptr || m_selEnd.pLine == nullptr || m_pDoc == nullptr)
        return FALSE;
    if (m_nSelMode == SECEDIT_SEL_COLUMN) {
        SECEditCell first, last;
        BlockCorners(first, last);
        // The document reads both corners' columns on the block's first line.
        SECEditPos from{first.pLine, m_pDoc->OffsetFromColumn(first.pLine, first.nColumn)};
        SECEditPos to{last.pLine, m_pDoc->OffsetFromColumn(first.pLine, last.nColumn)};
        std::string block;
        if (!m_pDoc->GetColumnBlock(from, to, block))
            return FALSE;
        text = SECEDIT_COLUMN_MARKER;
        text.append(m_pDoc->GetLineEnd(), static_cast<size_t>(m_pDoc->GetLineEndLength()));
        text += block;
        return TRUE;
    }
    SECEditPos from{m_selStart.pLine, m_pDoc->OffsetFromColumn(m_selStart.pLine, m_selStart.nColumn)};
    SECEditPos to{m_selEnd.pLine, m_pDoc->OffsetFromColumn(m_selEnd.pLine, m_selEnd.nColumn)};
    return m_pDoc->GetText(from, to, text) ? TRUE : FALSE;
}

BOOL SECEditCtrl::GetSelectedWord(CString& str)
{
    str.Empty();
    SECEditDoc* pDoc = GetDocument();
    if (m_bSelection && m_selStart.pLine != nullptr && m_selStart.pLine == m_selEnd.pLine
        && m_selEnd.nColumn < SECEDIT_MAX_WIDTH) {
        std::string text;
        if (GetClipText(text) && m_nSelMode == SECEDIT_SEL_STREAM) {
            while (!text.empty() && (text.back() == '\r' || text.back() == '\n'))
                text.pop_back();
            str = text.c_str();
            return TRUE;
        }
    }
    SECEditLine* line = m_pCaretLine;
    if (line == nullptr)
        return FALSE;
    const int length = pDoc->TextLength(line);
    const int at = pDoc->OffsetFromColumn(line, m_nCaretColumn);
    if (at >= length)
        return FALSE;
    const auto c = static_cast<unsigned char>(line->pText[at]);
    if (!(c == '_' || std::isalnum(c) || c >= 0x80))
        return FALSE;
    int start = at;
    while (start > 0 && IsWord(*pDoc, static_cast<unsigned char>(line->pText[start - 1])))
        --start;
    int end = at;
    while (end < length && IsWord(*pDoc, static_cast<unsigned char>(line->pText[end])))
        ++end;
    str = std::string(line->pText + start, static_cast<size_t>(end - start)).c_str();
    return TRUE;
}

void SECEditCtrl::SelectText(SECEditPos pos, int nLength, BOOL bRedraw)
{
    if (pos.pLine == nullptr)
        return;
    if (m_bSelection && bRedraw)
        ClearSelection(TRUE);
    SECEditDoc* pDoc = GetDocument();
    SetCaret(pos.pLine, pDoc->ColumnFromOffset(pos.pLine, pos.nOffset));
    ClearMarks();
    BeginSelection(SECEDIT_SEL_STREAM, bRedraw);
    m_nCaretColumn += nLength;
    const int textColumns = VisibleColumns();
    if (m_nCaretColumn + 3 < textColumns) {
        if (m_nLeftColumn != 0 && m_bRedraw)
            Invalidate(FALSE);
        m_nLeftColumn = 0;
    } else if (m_anchor.nColumn < m_nLeftColumn) {
        m_nLeftColumn = std::max(0, m_anchor.nColumn - 10);
        if (m_bRedraw)
            Invalidate(FALSE);
    } else if (m_nCaretColumn >= m_nLeftColumn + textColumns) {
        m_nLeftColumn = std::max(0, m_nCaretColumn - textColumns + 10);
        if (m_bRedraw)
            Invalidate(FALSE);
    }
    MakeCaretVisible();
    MarkSpan(m_anchor, SECEditCell{m_pCaretLine, m_nCaretColumn});
    UpdateSelection(bRedraw);
}

// ---- Drag and drop --------------------------------------------------------------------------------

DROPEFFECT SECEditCtrl::StartDrag()
{
    std::string text;
    if (!GetClipText(text))
        return DROPEFFECT_NONE;
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, text.size() + 1);
    if (block == nullptr)
        return DROPEFFECT_NONE;
    if (auto* p = static_cast<char*>(GlobalLock(block))) {
        std::memcpy(p, text.data(), text.size());
        GlobalUnlock(block);
    }
    COleDataSource* source = CreateDataSource();
    CacheClipData(source, CF_TEXT, block);
    s_pDragSource = this;
    const DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
    s_pDragSource = nullptr;
    source->InternalRelease();
    return effect;
}

DROPEFFECT SECEditCtrl::OnDragEnter(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (pDataObject == nullptr || !pDataObject->IsDataAvailable(CF_TEXT))
        return DROPEFFECT_NONE;
    if (!m_bCaretCreated) {
        CreateCaret(m_hWnd, reinterpret_cast<HBITMAP>(1), 2, m_nLineHeight);
        ShowCaret(m_hWnd);
        m_bCaretCreated = TRUE;
    }
    (void)point;
    return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT SECEditCtrl::OnDragOver(COleDataObject* pDataObject, DWORD dwKeyState, CPoint point)
{
    if (pDataObject == nullptr || !pDataObject->IsDataAvailable(CF_TEXT) || GetDocument()->IsReadOnly())
        return DROPEFFECT_NONE;
    if (m_nCharWidth > 0 && m_nLineHeight > 0 && m_pTopLine != nullptr) {
        const int x = std::max<int>(point.x, m_nMarginWidth);
        const int column = m_nLeftColumn + (x - m_nMarginWidth + m_nCharWidth / 2) / m_nCharWidth;
        SECEditLine* line = m_pTopLine;
        for (int row = std::max(0, static_cast<int>(point.y) / m_nLineHeight); row > 0 && line->pNext != nullptr;
             --row)
            line = line->pNext;
        SetCaret(line, SnapColumn(line, column, TRUE));
        UpdateCaretPos();
    }
    return (dwKeyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void SECEditCtrl::OnDragLeave()
{
    if (m_bCaretCreated) {
        DestroyCaret();
        m_bCaretCreated = FALSE;
    }
}

BOOL SECEditCtrl::OnDrop(COleDataObject* pDataObject, DROPEFFECT dropEffect, CPoint point)
{
    if (dropEffect != DROPEFFECT_COPY && dropEffect != DROPEFFECT_MOVE)
        return TRUE;
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return FALSE;
    if (PointInSelection(point))
        return FALSE;
    // The text is read before anything is deleted, so a failed read loses nothing.
    std::string text;
    if (pDataObject != nullptr) {
        if (HGLOBAL block = pDataObject->GetGlobalData(CF_TEXT)) {
            if (const auto* p = static_cast<const char*>(GlobalLock(block))) {
                text.assign(p, strnlen(p, GlobalSize(block)));
                GlobalUnlock(block);
            }
            GlobalFree(block);
        } else {
            return FALSE;
        }
    } else {
        return FALSE;
    }
    SECEditCell cell = CellFromPoint(point, FALSE);
    SetCaret(cell.pLine, cell.nColumn);
    MakeCaretVisible();
    pDoc->BeginUndoGroup(TRUE);
    SECEditCtrl* source = s_pDragSource;
    if (source != nullptr && dropEffect == DROPEFFECT_MOVE && source->m_bSelection) {
        SECEditPos drop = CaretPos();
        // A column block leaves no line but takes its columns out of each of its lines: a
        // drop right of it on one of them lands that many columns further left.
        int dropColumn = -1;
        if (source == this && m_nSelMode == SECEDIT_SEL_COLUMN) {
            SECEditCell first, last;
            BlockCorners(first, last);
            const int dropNo = m_pDoc->LineNo(drop.pLine);
            dropColumn = pDoc->ColumnFromOffset(drop.pLine, drop.nOffset);
            const int lineEnd = pDoc->ColumnFromOffset(drop.pLine, pDoc->TextLength(drop.pLine));
            if (dropNo >= m_pDoc->LineNo(first.pLine) && dropNo <= m_pDoc->LineNo(last.pLine) &&
                dropColumn >= last.nColumn)
                dropColumn -= std::max(0, std::min(last.nColumn, lineEnd) - first.nColumn);
        }
        if (source == this) {
            // The drop's offset moves left by what leaves its line before it.
            const SECEditPos selFrom = PosOf(m_selStart);
            const SECEditPos selTo = PosOf(m_selEnd);
            if (m_nSelMode == SECEDIT_SEL_STREAM && drop.pLine == selTo.pLine && drop.nOffset >= selTo.nOffset) {
                if (selFrom.pLine == selTo.pLine)
                    drop.nOffset -= selTo.nOffset - selFrom.nOffset;
                else
                    drop.nOffset = selFrom.nOffset + (drop.nOffset - selTo.nOffset);
                if (selFrom.pLine != selTo.pLine)
                    drop.pLine = selFrom.pLine;
            }
            SetCaret(m_selStart.pLine, m_selStart.nColumn);
        }
        const int dropLineNo = m_pDoc->LineNo(drop.pLine);
        const int removedLines = source->m_nSelMode == SECEDIT_SEL_STREAM && source == this
                && m_pDoc->LineNo(m_selEnd.pLine) < dropLineNo
            ? m_pDoc->LineNo(m_selEnd.pLine) - m_pDoc->LineNo(m_selStart.pLine) : 0;
        source->DeleteSelection(source != this);
        if (source == this) {
            SECEditLine* line = pDoc->GetLine(dropLineNo - removedLines);
            SetCaret(line, dropColumn >= 0 ? dropColumn : pDoc->ColumnFromOffset(line, drop.nOffset));
        } else if (source->m_hWnd != nullptr) {
            source->Invalidate(FALSE);
        }
    }
    const int oldCount = pDoc->GetLineCount();
    const int rc = InsertClipText(text.data(), static_cast<int>(text.size()));
    if (m_hWnd != nullptr && m_bRedraw)
        Invalidate(FALSE);
    if (pDoc->GetLineCount() != oldCount)
        SyncLineCount();
    MakeCaretVisible();
    OnUpdate(this, SECEDIT_HINT_CARET, nullptr);
    pDoc->BeginUndoGroup(FALSE);
    if (rc != 0)
        ReportError(rc, m_bRedraw);
    return rc == 0;
}
