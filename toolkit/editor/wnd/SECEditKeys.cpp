// The editor window's keyboard: caret movement and selection commands at line and file edges,
// typing with overwrite and auto-indent, Tab and BackTab over selections, undo and redo from
// the window's side, and bookmarks.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/afx/AfxRes.h"
#include "platform/win/Clipboard.h"
#include "platform/win/Keyboard.h"
#include "toolkit/editor/Utf8Cells.h"
#include "toolkit/editor/wnd/ZRPageSetupDlg.h"
#include "toolkit/res/EditorRes.h"

#include <algorithm>
#include <cctype>
#include <cstring>

namespace {

bool IsMoveWordChar(unsigned char c)
{
    return c == '_' || c == '.' || c >= 0x80 || std::isalnum(c);
}

bool IsKeyBlank(char c)
{
    return c == ' ' || c == '\t';
}

} // namespace

// ---- Commands -------------------------------------------------------------------------------------

void SECEditCtrl::OnCommandRange(UINT nID)
{
    const int rc = MoveCommand(nID);
    if (rc != 0)
        ReportError(rc, m_bRedraw);
}

int SECEditCtrl::MoveCommand(UINT nID)
{
    switch (nID) {
    case ID_SECEDIT_DOWN: return Down(FALSE);
    case ID_SECEDIT_UP: return Up(FALSE);
    case ID_SECEDIT_LEFT: return Left(FALSE);
    case ID_SECEDIT_RIGHT: return Right(FALSE);
    case ID_SECEDIT_PAGEUP: return PageUp(FALSE);
    case ID_SECEDIT_PAGEDOWN: return PageDown(FALSE);
    case ID_SECEDIT_HOME: return Home(FALSE);
    case ID_SECEDIT_END: return End(FALSE);
    case ID_SECEDIT_TOP: return TopOfFile(FALSE);
    case ID_SECEDIT_BOTTOM: return BottomOfFile(FALSE);
    case ID_SECEDIT_WORDLEFT: return WordLeft(FALSE);
    case ID_SECEDIT_WORDRIGHT: return WordRight(FALSE);
    case ID_SECEDIT_SELUP: return Up(TRUE);
    case ID_SECEDIT_SELLEFT: return Left(TRUE);
    case ID_SECEDIT_SELDOWN: return Down(TRUE);
    case ID_SECEDIT_SELEND: return End(TRUE);
    case ID_SECEDIT_SELHOME: return Home(TRUE);
    case ID_SECEDIT_SELPAGEDOWN: return PageDown(TRUE);
    case ID_SECEDIT_SELWORDLEFT: return WordLeft(TRUE);
    case ID_SECEDIT_SELPAGEUP: return PageUp(TRUE);
    case ID_SECEDIT_SELRIGHT: return Right(TRUE);
    case ID_SECEDIT_SELWORDRIGHT: return WordRight(TRUE);
    case ID_SECEDIT_SELBOTTOM: return BottomOfFile(TRUE);
    case ID_SECEDIT_SELTOP: return TopOfFile(TRUE);
    case ID_SECEDIT_SELECTALL: return SelectAll();
    case ID_SECEDIT_BACKSPACE: return Backspace();
    case ID_SECEDIT_TAB: return Tab();
    case ID_SECEDIT_BACKTAB: return BackTab();
    case ID_SECEDIT_FINDNEXT: OnFindNext(); return 0;
    case ID_SECEDIT_TOGGLEBOOKMARK: return ToggleBookmark();
    case ID_SECEDIT_NEXTBOOKMARK: return NextBookmark(TRUE);
    case ID_SECEDIT_PREVBOOKMARK: return NextBookmark(FALSE);
    case ID_SECEDIT_CLEARBOOKMARKS: return ClearAllBookmarks();
    case ID_SECEDIT_PAGESETUP: OnPageSetup(); return 0;
    default: return 0;
    }
}

// Runs a caret movement as a plain move (the selection goes) or as one that extends it.
#define SECEDIT_MOVE(bSelect, body)                                                                      \
    do {                                                                                                 \
        if (!(bSelect) && m_bSelection)                                                                  \
            ClearSelection(TRUE);                                                                        \
        if ((bSelect) && !m_bSelection)                                                                  \
            BeginSelection(m_nSelMode, TRUE);                                                            \
        const SECEditCell old{m_pCaretLine, m_nCaretColumn};                                             \
        body;                                                                                            \
        MakeCaretVisible();                                                                              \
        if (bSelect) {                                                                                   \
            MarkSpan(old, SECEditCell{m_pCaretLine, m_nCaretColumn});                                    \
            UpdateSelection(TRUE);                                                                       \
        }                                                                                                \
        NotifyCaret();                                                                                   \
    } while (0)

int SECEditCtrl::Down(BOOL bSelect)
{
    if (m_pCaretLine == nullptr || m_pCaretLine->pNext == nullptr)
        return 0;
    SECEDIT_MOVE(bSelect, {
        if (m_nCaretLineNo - m_nTopLineNo >= VisibleRows() - 1 && VisibleRows() > 0)
            ScrollOneLine(TRUE);
        SetCaret(m_pCaretLine->pNext, SnapColumn(m_pCaretLine->pNext, m_nCaretColumn, TRUE));
    });
    return 0;
}

int SECEditCtrl::Up(BOOL bSelect)
{
    if (m_pCaretLine == nullptr || m_pCaretLine->pPrev == nullptr)
        return 0;
    SECEDIT_MOVE(bSelect, {
        if (m_nCaretLineNo == m_nTopLineNo)
            ScrollOneLine(FALSE);
        SetCaret(m_pCaretLine->pPrev, SnapColumn(m_pCaretLine->pPrev, m_nCaretColumn, TRUE));
    });
    return 0;
}

int SECEditCtrl::Left(BOOL bSelect)
{
    if (m_pCaretLine == nullptr)
        return 0;
    if (m_nCaretColumn == 0) {
        if (m_pCaretLine->pPrev == nullptr)
            return 0;
        SECEDIT_MOVE(bSelect, {
            if (m_nCaretLineNo == m_nTopLineNo)
                ScrollOneLine(FALSE);
            SetCaret(m_pCaretLine->pPrev, TextEndColumn(m_pCaretLine->pPrev));
        });
        return 0;
    }
    SECEDIT_MOVE(bSelect, { m_nCaretColumn = SnapColumn(m_pCaretLine, m_nCaretColumn - 1, FALSE); });
    return 0;
}

int SECEditCtrl::Right(BOOL bSelect)
{
    if (m_pCaretLine == nullptr || m_nCaretColumn >= SECEDIT_MAX_WIDTH)
        return 0;
    SECEditDoc* pDoc = GetDocument();
    const int offset = pDoc->OffsetFromColumn(m_pCaretLine, m_nCaretColumn);
    const int length = pDoc->TextLength(m_pCaretLine);
    int next = m_nCaretColumn + 1;
    if (offset < length) {
        const char* p = m_pCaretLine->pText + offset;
        next = pDoc->ColumnFromOffset(m_pCaretLine, offset + editor::ClusterAt(p, m_pCaretLine->pText + length));
    }
    next = std::min(next, TextEndColumn(m_pCaretLine));
    if (next == m_nCaretColumn) {
        if (m_pCaretLine->pNext == nullptr)
            return 0;
        SECEDIT_MOVE(bSelect, {
            if (m_nCaretLineNo - m_nTopLineNo >= VisibleRows() - 1 && VisibleRows() > 0)
                ScrollOneLine(TRUE);
            SetCaret(m_pCaretLine->pNext, 0);
        });
        return 0;
    }
    SECEDIT_MOVE(bSelect, { m_nCaretColumn = next; });
    return 0;
}

int SECEditCtrl::WordLeft(BOOL bSelect)
{
    if (m_pCaretLine == nullptr)
        return 0;
    SECEditDoc* pDoc = GetDocument();
    if (m_nCaretColumn == 0)
        return Left(bSelect);
    SECEDIT_MOVE(bSelect, {
        const char* text = m_pCaretLine->pText;
        int at = std::min(pDoc->OffsetFromColumn(m_pCaretLine, m_nCaretColumn), pDoc->TextLength(m_pCaretLine));
        while (at > 1 && !IsMoveWordChar(static_cast<unsigned char>(text[at - 1])))
            --at;
        while (at > 1 && IsMoveWordChar(static_cast<unsigned char>(text[at - 1])))
            --at;
        if (at <= 1) {
            if (at == 1 && IsMoveWordChar(static_cast<unsigned char>(text[0]))) {
                at = 0;
            } else if (at <= 1 && IsKeyBlank(text[0]) && m_pCaretLine->pPrev != nullptr) {
                if (m_nCaretLineNo == m_nTopLineNo)
                    ScrollOneLine(FALSE);
                SetCaret(m_pCaretLine->pPrev, TextEndColumn(m_pCaretLine->pPrev));
                at = -1;
            } else {
                at = 0;
            }
        }
        if (at >= 0) {
            while (at > 0 && editor::IsContinuation(text[at]))
                --at;
            m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, at);
        }
        if (m_nCaretColumn < m_nLeftColumn)
            m_nLeftColumn = m_nCaretColumn;
    });
    return 0;
}

int SECEditCtrl::WordRight(BOOL bSelect)
{
    if (m_pCaretLine == nullptr)
        return 0;
    SECEditDoc* pDoc = GetDocument();
    const char* text = m_pCaretLine->pText;
    const int length = pDoc->TextLength(m_pCaretLine);
    int at = pDoc->OffsetFromColumn(m_pCaretLine, m_nCaretColumn);
    if (at < length && IsMoveWordChar(static_cast<unsigned char>(text[at])))
        while (at < length && IsMoveWordChar(static_cast<unsigned char>(text[at])))
            ++at;
    while (at < length && !IsMoveWordChar(static_cast<unsigned char>(text[at])))
        ++at;
    if (at < length) {
        SECEDIT_MOVE(bSelect, { m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, at); });
        return 0;
    }
    if (m_pCaretLine->pNext == nullptr)
        return 0;
    SECEDIT_MOVE(bSelect, {
        if (m_nCaretLineNo - m_nTopLineNo >= VisibleRows() - 1 && VisibleRows() > 0)
            ScrollOneLine(TRUE);
        SetCaret(m_pCaretLine->pNext, 0);
    });
    return 0;
}

int SECEditCtrl::PageUp(BOOL bSelect)
{
    if (m_pCaretLine == nullptr)
        return 0;
    const int rows = std::max(1, VisibleRows());
    SECEDIT_MOVE(bSelect, {
        SECEditLine* oldTop = m_pTopLine;
        for (int i = 0; i < rows; ++i) {
            if (m_pTopLine->pPrev != nullptr) {
                m_pTopLine = m_pTopLine->pPrev;
                --m_nTopLineNo;
            }
            if (m_pCaretLine->pPrev != nullptr)
                SetCaret(m_pCaretLine->pPrev, m_nCaretColumn);
        }
        m_nCaretColumn = SnapColumn(m_pCaretLine, m_nCaretColumn, TRUE);
        if (oldTop != m_pTopLine && m_bRedraw)
            Invalidate(FALSE);
    });
    return 0;
}

int SECEditCtrl::PageDown(BOOL bSelect)
{
    if (m_pCaretLine == nullptr)
        return 0;
    const int rows = std::max(1, VisibleRows());
    SECEDIT_MOVE(bSelect, {
        SECEditLine* oldTop = m_pTopLine;
        for (int i = 0; i < rows && m_pCaretLine->pNext != nullptr; ++i) {
            if (m_pTopLine->pNext != nullptr) {
                m_pTopLine = m_pTopLine->pNext;
                ++m_nTopLineNo;
            }
            SetCaret(m_pCaretLine->pNext, m_nCaretColumn);
        }
        m_nCaretColumn = SnapColumn(m_pCaretLine, m_nCaretColumn, TRUE);
        if (oldTop != m_pTopLine && m_bRedraw)
            Invalidate(FALSE);
    });
    return 0;
}

int SECEditCtrl::Home(BOOL bSelect)
{
    SECEDIT_MOVE(bSelect, { m_nCaretColumn = 0; });
    return 0;
}

int SECEditCtrl::End(BOOL bSelect)
{
    SECEDIT_MOVE(bSelect, { m_nCaretColumn = TextEndColumn(m_pCaretLine); });
    return 0;
}

int SECEditCtrl::TopOfFile(BOOL bSelect)
{
    SECEditDoc* pDoc = GetDocument();
    if (!bSelect && m_pCaretLine == pDoc->GetFirstLine() && m_nCaretColumn == 0 && m_pTopLine == m_pCaretLine)
        return 0;
    SECEDIT_MOVE(bSelect, {
        const bool moved = m_pTopLine != pDoc->GetFirstLine() || m_nLeftColumn != 0;
        SetCaret(pDoc->GetFirstLine(), 0);
        m_pTopLine = pDoc->GetFirstLine();
        m_nTopLineNo = 1;
        m_nLeftColumn = 0;
        if (moved && m_bRedraw)
            Invalidate(FALSE);
    });
    return 0;
}

int SECEditCtrl::BottomOfFile(BOOL bSelect)
{
    SECEditDoc* pDoc = GetDocument();
    SECEDIT_MOVE(bSelect, {
        SECEditLine* last = pDoc->GetLine(pDoc->GetLineCount());
        SetCaret(last, TextEndColumn(last));
        SECEditLine* top = last;
        int no = m_pDoc->LineNo(last);
        for (int i = 0; i < VisibleRows() - 1 && top->pPrev != nullptr; ++i) {
            top = top->pPrev;
            --no;
        }
        if (top != m_pTopLine || m_nLeftColumn != 0) {
            m_pTopLine = top;
            m_nTopLineNo = no;
            m_nLeftColumn = 0;
            if (m_bRedraw)
                Invalidate(FALSE);
        }
    });
    return 0;
}

int SECEditCtrl::SelectAll()
{
    if (m_bSelection)
        ClearSelection(TRUE);
    TopOfFile(FALSE);
    BeginSelection(SECEDIT_SEL_STREAM, TRUE);
    SECEditDoc* pDoc = GetDocument();
    SECEditLine* last = pDoc->GetLine(pDoc->GetLineCount());
    const SECEditCell old{m_pCaretLine, m_nCaretColumn};
    SetCaret(last, TextEndColumn(last));
    MakeCaretVisible();
    MarkSpan(old, SECEditCell{m_pCaretLine, m_nCaretColumn});
    UpdateSelection(TRUE);
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    return 0;
}

// ---- Editing ------------------------------------------------------------------------------------

void SECEditCtrl::RepaintAfterChar(char ch)
{
    SECEditDoc* pDoc = GetDocument();
    bool all = false;
    if (pDoc->GetChroma()) {
        if (ch == '"' || ch == '\'')
            all = true;
        for (const char* delimiter : {pDoc->m_szCommentStart1, pDoc->m_szCommentEnd1, pDoc->m_szCommentStart2,
                                      pDoc->m_szCommentEnd2}) {
            const size_t n = std::strlen(delimiter);
            if (n > 0 && (delimiter[0] == ch || delimiter[n - 1] == ch))
                all = true;
        }
    }
    if (!m_bRedraw || m_hWnd == nullptr)
        return;
    if (all)
        Invalidate(FALSE);
    else
        InvalidateCaretRow();
}

int SECEditCtrl::DeleteSelection(BOOL bRedraw)
{
    if (!m_bSelection || m_selStart.pLine == nullptr || m_selEnd.pLine == nullptr)
        return SECEDIT_NO_TEXT_ID;
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return SECEDIT_READONLY;
    int rc;
    SECEditCell caret;
    if (m_nSelMode == SECEDIT_SEL_COLUMN) {
        SECEditCell first, last;
        BlockCorners(first, last);
        // The document reads both corners' columns on the block's first line.
        rc = pDoc->DeleteColumnBlock(SECEditPos{first.pLine, pDoc->OffsetFromColumn(first.pLine, first.nColumn)},
                                     SECEditPos{last.pLine, pDoc->OffsetFromColumn(first.pLine, last.nColumn)}, TRUE);
        caret = first;
    } else {
        const SECEditPos from = PosOf(m_selStart);
        const SECEditPos to = PosOf(m_selEnd);
        caret = m_selStart;
        rc = from.pLine == to.pLine && from.nOffset == to.nOffset ? 0 : pDoc->DeleteRange(from, to, TRUE);
    }
    const int lineNo = m_pDoc->LineNo(caret.pLine);
    m_selStart = m_selEnd = m_anchor = SECEditCell{};
    m_markFrom = m_markTo = SECEditCell{};
    ClearSelection(FALSE);
    SetCaret(caret.pLine, caret.nColumn);
    m_nCaretLineNo = lineNo;
    FixTopAfterEdit(lineNo);
    SyncLineCount();
    if (bRedraw && m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    if (bRedraw)
        MakeCaretVisible();
    return rc;
}

int SECEditCtrl::Backspace()
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return 0;
    if (m_bSelection)
        return DeleteSelection(TRUE);
    const int textEnd = TextEndColumn(m_pCaretLine);
    if (m_nCaretColumn > textEnd) {
        m_nCaretColumn = SnapColumn(m_pCaretLine, m_nCaretColumn - 1, FALSE);
        MakeCaretVisible();
        return 0;
    }
    if (m_nCaretColumn == 0) {
        if (m_pCaretLine->pPrev == nullptr)
            return 0;
        if (m_nCaretLineNo == m_nTopLineNo)
            ScrollOneLine(FALSE);
        SECEditLine* prev = m_pCaretLine->pPrev;
        SECEditPos pos{prev, pDoc->TextLength(prev)};
        const int column = TextEndColumn(prev);
        const int rc = pDoc->JoinLine(pos, TRUE);
        if (rc != 0)
            return rc;
        SetCaret(prev, column);
        SyncLineCount();
        if (m_bRedraw && m_hWnd != nullptr)
            Invalidate(FALSE);
        MakeCaretVisible();
        OnUpdate(this, 0, nullptr);
        return 0;
    }
    // The character before the caret, whole.
    const int at = pDoc->OffsetFromColumn(m_pCaretLine, m_nCaretColumn);
    int start = at - 1;
    while (start > 0 && editor::IsContinuation(m_pCaretLine->pText[start]))
        --start;
    const char deleted = m_pCaretLine->pText[start];
    SECEditPos pos{m_pCaretLine, start};
    const int rc = at - start == 1 ? pDoc->DeleteChar(pos, TRUE) : pDoc->DeleteChars(pos, at - start, TRUE);
    if (rc != 0 && rc != SECEDIT_JOIN_LINE)
        return rc;
    m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, start);
    RepaintAfterChar(deleted);
    MakeCaretVisible();
    return 0;
}

int SECEditCtrl::Erase()
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return 0;
    if (m_bSelection) {
        if (m_selStart.pLine == m_selEnd.pLine && m_selStart.nColumn == m_selEnd.nColumn)
            return SECEDIT_NO_TEXT_ID;
        return DeleteSelection(TRUE);
    }
    const int length = pDoc->TextLength(m_pCaretLine);
    const int at = pDoc->OffsetFromColumn(m_pCaretLine, m_nCaretColumn);
    if (at >= length) {
        if (m_pCaretLine->pNext == nullptr)
            return 0;
        SECEditPos pos{m_pCaretLine, at};
        const int rc = pDoc->JoinLine(pos, TRUE);
        if (rc != 0)
            return rc;
        SyncLineCount();
        InvalidateRows(m_nCaretLineNo - m_nTopLineNo, VisibleRows());
        SECEditHint hint;
        hint.m_pLine = m_pCaretLine;
        OnUpdate(this, SECEDIT_HINT_DELETELINE, &hint);
        return 0;
    }
    const char deleted = m_pCaretLine->pText[at];
    SECEditPos pos{m_pCaretLine, at};
    // The character goes with the marks drawn on it.
    const int bytes = editor::ClusterAt(m_pCaretLine->pText + at, m_pCaretLine->pText + length);
    const int rc = bytes == 1 ? pDoc->DeleteChar(pos, TRUE) : pDoc->DeleteChars(pos, bytes, TRUE);
    if (rc != 0 && rc != SECEDIT_JOIN_LINE)
        return rc;
    RepaintAfterChar(deleted);
    return 0;
}

int SECEditCtrl::Tab()
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return 0;
    const int tab = std::max(1, pDoc->GetTabSize());
    if (m_bSelection && m_nSelMode == SECEDIT_SEL_COLUMN)
        return SECEDIT_STREAM_ONLY;
    if (m_bSelection) {
        SECEditLine* first = m_selStart.pLine;
        SECEditLine* last = m_selEnd.pLine;
        if (last != first && m_selEnd.nColumn == 0)
            last = last->pPrev;
        // Refuse before changing anything when a line would grow too wide.
        for (SECEditLine* line = first; line != nullptr; line = line->pNext) {
            if (TextEndColumn(line) + tab >= SECEDIT_MAX_WIDTH - pDoc->GetLineEndLength())
                return SECEDIT_LINE_TOO_LONG;
            if (line == last)
                break;
        }
        const std::string indent = pDoc->GetKeepTabs() ? std::string("\t") : std::string(static_cast<size_t>(tab), ' ');
        pDoc->BeginUndoGroup(TRUE);
        for (SECEditLine* line = first; line != nullptr; line = line->pNext) {
            SECEditPos pos{line, 0};
            pDoc->InsertString(pos, indent.c_str(), TRUE, TRUE);
            if (line == last)
                break;
        }
        pDoc->BeginUndoGroup(FALSE);
        const SECEditLine* endLine = m_selEnd.pLine;
        const int endCol = m_selEnd.nColumn == 0 && endLine != first ? 0 : TextEndColumn(endLine);
        m_selStart = m_anchor = SECEditCell{first, 0};
        m_selEnd = SECEditCell{const_cast<SECEditLine*>(endLine), endCol};
        SetCaret(m_selEnd.pLine, m_selEnd.nColumn);
        if (m_bRedraw && m_hWnd != nullptr)
            Invalidate(FALSE);
        return 0;
    }
    SECEditPos pos = CaretPos();
    int rc;
    if (pDoc->GetKeepTabs()) {
        if (TextEndColumn(m_pCaretLine) + tab >= SECEDIT_MAX_WIDTH - pDoc->GetLineEndLength())
            return SECEDIT_LINE_TOO_LONG;
        rc = pDoc->InsertChar(pos, '\t', TRUE, TRUE);
        if (rc == 0)
            m_nCaretColumn = (m_nCaretColumn / tab + 1) * tab;
    } else {
        const int n = tab - pos.nOffset % tab;
        rc = pDoc->InsertString(pos, std::string(static_cast<size_t>(n), ' ').c_str(), TRUE, TRUE);
        if (rc == 0)
            m_nCaretColumn += n;
    }
    if (rc != 0)
        return rc;
    InvalidateCaretRow();
    MakeCaretVisible();
    return 0;
}

int SECEditCtrl::BackTab()
{
    SECEditDoc* pDoc = GetDocument();
    const int tab = std::max(1, pDoc->GetTabSize());
    if (!m_bSelection) {
        const int column = m_nCaretColumn % tab == 0 ? m_nCaretColumn - tab : m_nCaretColumn / tab * tab;
        m_nCaretColumn = SnapColumn(m_pCaretLine, std::max(0, column), FALSE);
        MakeCaretVisible();
        return 0;
    }
    if (m_nSelMode == SECEDIT_SEL_COLUMN)
        return SECEDIT_STREAM_ONLY;
    if (pDoc->IsReadOnly())
        return 0;
    SECEditLine* first = m_selStart.pLine;
    SECEditLine* last = m_selEnd.pLine;
    if (last != first && m_selEnd.nColumn == 0)
        last = last->pPrev;
    pDoc->BeginUndoGroup(TRUE);
    for (SECEditLine* line = first; line != nullptr; line = line->pNext) {
        int n = 0;
        if (line->nLength > 0 && line->pText[0] == '\t')
            n = 1;
        else
            while (n < tab && n < line->nLength && line->pText[n] == ' ')
                ++n;
        if (n > 0) {
            SECEditPos pos{line, 0};
            pDoc->DeleteChars(pos, n, TRUE);
        }
        if (line == last)
            break;
    }
    pDoc->BeginUndoGroup(FALSE);
    m_selStart = m_anchor = SECEditCell{first, 0};
    m_selEnd.nColumn = m_selEnd.nColumn == 0 ? 0 : TextEndColumn(m_selEnd.pLine);
    SetCaret(first, 0);
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    return 0;
}

int SECEditCtrl::NewLine(BOOL bRedraw, int)
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->IsReadOnly())
        return SECEDIT_READONLY;
    SECEditPos pos = CaretPos();
    const int rc = pDoc->SplitLine(pos, TRUE);
    if (rc != 0)
        return rc;
    if (m_pCaretLine->pNext != nullptr) {
        if (m_nCaretLineNo - m_nTopLineNo >= VisibleRows() - 1 && VisibleRows() > 0)
            ScrollOneLine(TRUE);
        SetCaret(m_pCaretLine->pNext, 0);
    }
    m_nCaretColumn = 0;
    if (pDoc->GetAutoindent()) {
        int indent = -1;
        for (SECEditLine* line = m_pCaretLine->pPrev; line != nullptr && indent < 0; line = line->pPrev) {
            const int length = pDoc->TextLength(line);
            int i = 0;
            while (i < length && IsKeyBlank(line->pText[i]))
                ++i;
            if (i < length)
                indent = pDoc->ColumnFromOffset(line, i);
        }
        if (indent > 0) {
            const int length = pDoc->TextLength(m_pCaretLine);
            int blanks = 0;
            while (blanks < length && IsKeyBlank(m_pCaretLine->pText[blanks]))
                ++blanks;
            if (blanks < length) {
                SECEditPos start{m_pCaretLine, 0};
                if (blanks > 0)
                    pDoc->DeleteChars(start, blanks, TRUE);
                const int tab = std::max(1, pDoc->GetTabSize());
                std::string fill = pDoc->GetKeepTabs()
                    ? std::string(static_cast<size_t>(indent / tab), '\t') + std::string(static_cast<size_t>(indent % tab), ' ')
                    : std::string(static_cast<size_t>(indent), ' ');
                SECEditPos at{m_pCaretLine, 0};
                pDoc->InsertString(at, fill.c_str(), TRUE, TRUE);
            }
            m_nCaretColumn = indent;
        }
    }
    if (bRedraw) {
        InvalidateRows(m_nCaretLineNo - m_nTopLineNo - 1, VisibleRows());
        SyncLineCount();
        MakeCaretVisible();
        OnUpdate(this, 0, nullptr);
    }
    return 0;
}

void SECEditCtrl::OnChar(UINT nChar, UINT, UINT)
{
    SECEditDoc* pDoc = GetDocument();
    if (GetKeyState(VK_LBUTTON) < 0 || pDoc->IsReadOnly())
        return;
    // A letter with Ctrl (and not AltGr, which is Ctrl and Alt) is a command, not text.
    if (nChar >= 32 && GetKeyState(VK_CONTROL) < 0 && GetKeyState(VK_MENU) >= 0)
        return;
    int rc = 0;
    if (nChar == 13) {
        pDoc->BeginUndoGroup(TRUE);
        if (m_bSelection) {
            Copy();
            rc = DeleteSelection(TRUE);
        }
        if (rc == 0)
            rc = NewLine(TRUE, 0);
        pDoc->BeginUndoGroup(FALSE);
    } else if (nChar == 27) {
        if (m_bSelection)
            ClearSelection(TRUE);
    } else if (nChar >= 32 && nChar != 127 && nChar <= 0xFF) {
        // A character of several bytes arrives a byte at a time: it goes in whole.
        const char byte = static_cast<char>(nChar);
        if (nChar >= 0x80) {
            if (!editor::IsContinuation(byte))
                m_strPendingChar.clear();
            m_strPendingChar.push_back(byte);
            const char* p = m_strPendingChar.data();
            const unsigned char lead = static_cast<unsigned char>(p[0]);
            const size_t want = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
            if (m_strPendingChar.size() < want)
                return;
        } else {
            m_strPendingChar.assign(1, byte);
        }
        const std::string typed = m_strPendingChar;
        m_strPendingChar.clear();
        pDoc->BeginUndoGroup(TRUE);
        if (TextEndColumn(m_pCaretLine) >= SECEDIT_MAX_WIDTH - pDoc->GetLineEndLength()) {
            rc = SECEDIT_LINE_TOO_LONG;
        } else {
            if (m_bSelection)
                rc = DeleteSelection(TRUE);
            SECEditPos pos = CaretPos();
            if (rc == 0)
                rc = typed.size() == 1 ? pDoc->InsertChar(pos, typed[0], pDoc->GetInsertMode(), TRUE)
                                       : pDoc->InsertString(pos, typed.c_str(), pDoc->GetInsertMode(), TRUE);
            if (rc == 0) {
                m_nCaretColumn = pDoc->ColumnFromOffset(m_pCaretLine, pos.nOffset + static_cast<int>(typed.size()));
                RepaintAfterChar(typed[0]);
                MakeCaretVisible();
            }
        }
        pDoc->BeginUndoGroup(FALSE);
    }
    if (rc != 0)
        ReportError(rc, m_bRedraw);
}

// ---- Undo, redo, insert mode --------------------------------------------------------------------

void SECEditCtrl::OnEditUndo()
{
    SECEditDoc* pDoc = GetDocument();
    if (m_bSelection)
        ClearSelection(TRUE);
    if (!pDoc->Undo())
        return;
    const SECEditUndoRecord& rec = pDoc->GetUndoRecord(pDoc->GetUndoCount());
    SECEditLine* line = pDoc->GetLine(rec.nStartLine);
    SetCaret(line, pDoc->ColumnFromOffset(line, rec.nStartOffset));
    FixTopAfterEdit(m_nCaretLineNo);
    if (m_nCaretLineNo < m_nTopLineNo) {
        m_pTopLine = m_pCaretLine;
        m_nTopLineNo = m_nCaretLineNo;
    }
    SyncLineCount();
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    MakeCaretVisible();
    OnUpdate(this, 0, nullptr);
    // The document itself knows whether this is the saved text again.
}

void SECEditCtrl::OnEditRedo()
{
    SECEditDoc* pDoc = GetDocument();
    if (m_bSelection)
        ClearSelection(TRUE);
    if (pDoc->GetRedoCount() <= 0 || !pDoc->Redo())
        return;
    const SECEditUndoRecord& rec = pDoc->GetUndoRecord(pDoc->GetUndoCount() - 1);
    SECEditLine* line = pDoc->GetLine(rec.nStartLine);
    int offset = rec.nStartOffset;
    if (rec.nKind == SECEDIT_UNDO_INSERTCHAR || rec.nKind == SECEDIT_UNDO_OVERWRITE)
        ++offset;
    SetCaret(line, pDoc->ColumnFromOffset(line, offset));
    FixTopAfterEdit(m_nCaretLineNo);
    SyncLineCount();
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    MakeCaretVisible();
    OnUpdate(this, 0, nullptr);
}

void SECEditCtrl::OnToggleInsert()
{
    SECEditDoc* pDoc = GetDocument();
    pDoc->SetInsertMode(!pDoc->GetInsertMode());
}

void SECEditCtrl::OnEditClear()
{
    const int rc = Erase();
    if (rc != 0)
        ReportError(rc, m_bRedraw);
}

// ---- Bookmarks ------------------------------------------------------------------------------------

int SECEditCtrl::ToggleBookmark()
{
    SECEditDoc* pDoc = GetDocument();
    m_pCaretLine->dwFlags ^= SECEDIT_LINE_BOOKMARK;
    pDoc->m_nBookmarks += (m_pCaretLine->dwFlags & SECEDIT_LINE_BOOKMARK) ? 1 : -1;
    InvalidateCaretRow();
    OnUpdate(this, 0, nullptr);
    return 0;
}

int SECEditCtrl::NextBookmark(BOOL bForward)
{
    SECEditDoc* pDoc = GetDocument();
    if (pDoc->m_nBookmarks <= 0)
        return 0;
    SECEditLine* found = nullptr;
    SECEditLine* line = m_pCaretLine;
    const int count = pDoc->GetLineCount();
    for (int i = 0; i < count; ++i) {
        line = bForward ? line->pNext : line->pPrev;
        if (line == nullptr)
            line = bForward ? pDoc->GetFirstLine() : pDoc->GetLine(count);
        if (line->dwFlags & SECEDIT_LINE_BOOKMARK) {
            found = line;
            break;
        }
    }
    if (found == nullptr)
        return 0;
    if (m_bSelection)
        ClearSelection(TRUE);
    SetCaret(found, 0);
    const int rows = VisibleRows();
    if (m_nCaretLineNo < m_nTopLineNo || m_nCaretLineNo >= m_nTopLineNo + rows) {
        m_pTopLine = found;
        m_nTopLineNo = m_pDoc->LineNo(found);
        for (int i = 0; i < rows / 2 && m_pTopLine->pPrev != nullptr; ++i) {
            m_pTopLine = m_pTopLine->pPrev;
            --m_nTopLineNo;
        }
        if (m_bRedraw && m_hWnd != nullptr)
            Invalidate(FALSE);
    }
    MakeCaretVisible();
    NotifyCaret();
    return 0;
}

int SECEditCtrl::ClearAllBookmarks()
{
    SECEditDoc* pDoc = GetDocument();
    for (SECEditLine* line = pDoc->GetFirstLine(); line != nullptr; line = line->pNext)
        line->dwFlags &= ~SECEDIT_LINE_BOOKMARK;
    pDoc->m_nBookmarks = 0;
    if (m_bRedraw && m_hWnd != nullptr)
        Invalidate(FALSE);
    OnUpdate(this, 0, nullptr);
    return 0;
}

void SECEditCtrl::OnPageSetup()
{
    if (!m_pPageSetup)
        m_pPageSetup = std::make_unique<ZRPageSetupDlg>(this);
    m_pPageSetup->LoadPageSetup();
    if (m_pPageSetup->DoModal() == IDOK)
        m_pPageSetup->SavePageSetup();
}

// ---- Command enabling ---------------------------------------------------------------------------

void SECEditCtrl::OnUpdateNeedSel(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bSelection && GetKeyState(VK_LBUTTON) >= 0);
}

void SECEditCtrl::OnUpdateNeedSelWritable(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(m_bSelection && GetKeyState(VK_LBUTTON) >= 0 && !GetDocument()->IsReadOnly());
}

void SECEditCtrl::OnUpdateNeedClip(CCmdUI* pCmdUI)
{
    pCmdUI->Enable((IsClipboardFormatAvailable(CF_TEXT) || IsClipboardFormatAvailable(CF_OEMTEXT))
                   && !GetDocument()->IsReadOnly());
}

void SECEditCtrl::OnUpdateUndo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetDocument()->GetUndoCount() > 0);
}

void SECEditCtrl::OnUpdateRedo(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetDocument()->GetRedoCount() > 0);
}

void SECEditCtrl::OnUpdateBookmarks(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetDocument()->m_nBookmarks > 0);
}

void SECEditCtrl::OnUpdateInsert(CCmdUI* pCmdUI)
{
    pCmdUI->SetText(GetDocument()->GetInsertMode() ? "" : "OVR");
}
