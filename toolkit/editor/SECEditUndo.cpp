// The document's undo store: a fixed array of records with a current index and a save point.
#include "toolkit/editor/SECEditDoc.h"

#include "platform/core/TickCount.h"

#include <algorithm>
#include <cstring>

int SECEditDoc::BeginUndoGroup(BOOL bBegin)
{
    if (bBegin) {
        if (s_nUndoGroupDepth == 0)
            m_dwUndoStamp = GetTickCount();
        return ++s_nUndoGroupDepth;
    }
    if (s_nUndoGroupDepth > 0 && --s_nUndoGroupDepth == 0)
        m_dwUndoStamp = 0;
    return s_nUndoGroupDepth;
}

void SECEditDoc::ResetUndo()
{
    for (SECEditUndoRecord& rec : m_undo)
        rec = SECEditUndoRecord{};
    m_nUndoCurrent = 0;
    m_nUndoTop = 0;
    m_nSavePoint = 0;
}

BOOL SECEditDoc::AddUndoRecord(const SECEditUndoRecord& record, const char* pText, int nTextLength)
{
    if (m_undo.empty() || m_bApplyingUndo)
        return FALSE;
    // A new edit ends the redo history first; only then is the array full when the current
    // index stands at its end, and the oldest quarter makes room.
    for (int i = m_nUndoCurrent; i < m_nUndoTop; ++i)
        m_undo[i] = SECEditUndoRecord{};
    m_nUndoTop = m_nUndoCurrent;
    if (m_nSavePoint > m_nUndoCurrent)
        m_nSavePoint = -1;   // the saved state lay in the discarded redo history
    if (m_nUndoCurrent == SECEDIT_UNDO_SLOTS) {
        std::move(m_undo.begin() + SECEDIT_UNDO_DROP, m_undo.end(), m_undo.begin());
        for (int i = SECEDIT_UNDO_SLOTS - SECEDIT_UNDO_DROP; i < SECEDIT_UNDO_SLOTS; ++i)
            m_undo[i] = SECEditUndoRecord{};
        m_nUndoCurrent -= SECEDIT_UNDO_DROP;
        m_nUndoTop = m_nUndoCurrent;
        if (m_nSavePoint >= 0)
            m_nSavePoint = m_nSavePoint >= SECEDIT_UNDO_DROP ? m_nSavePoint - SECEDIT_UNDO_DROP : -1;
    }
    SECEditUndoRecord& slot = m_undo[m_nUndoCurrent];
    slot = record;
    slot.dwStamp = m_dwUndoStamp;
    slot.bHasText = false;
    slot.strText.clear();
    switch (record.nKind) {
    case SECEDIT_UNDO_DELETETEXT:
    case SECEDIT_UNDO_INSERTTEXT:
    case SECEDIT_UNDO_DELETEBLOCK:
    case SECEDIT_UNDO_INSERTBLOCK:
    case SECEDIT_UNDO_INSERTFILE:
        if (pText != nullptr
            && !(record.nStartLine == record.nEndLine && record.nStartOffset == record.nEndOffset)) {
            size_t n = nTextLength >= 0 ? static_cast<size_t>(nTextLength) : std::strlen(pText);
            slot.strText.assign(pText, n);
            slot.bHasText = true;
        }
        if (slot.nStartLine > slot.nEndLine) {
            std::swap(slot.nStartLine, slot.nEndLine);
            std::swap(slot.nStartOffset, slot.nEndOffset);
        }
        break;
    default:
        break;
    }
    m_nUndoTop = ++m_nUndoCurrent;
    return TRUE;
}

bool SECEditDoc::SameStep(const SECEditUndoRecord& a, const SECEditUndoRecord& b) const
{
    if (a.dwStamp != 0 && b.dwStamp == a.dwStamp)
        return true;
    bool single = a.nKind == SECEDIT_UNDO_INSERTCHAR || a.nKind == SECEDIT_UNDO_DELETECHAR
        || a.nKind == SECEDIT_UNDO_OVERWRITE;
    return single && a.nKind == b.nKind && a.nStartLine == b.nStartLine;
}

namespace {

// Takes the document's line end off a line again (an edit had added it).
void DropLineEnd(SECEditLine* line, const char* lineEnd, int length)
{
    if (line->nLength >= length
        && std::memcmp(line->pText + line->nLength - length, lineEnd, static_cast<size_t>(length)) == 0) {
        line->nLength -= length;
        line->pText[line->nLength] = '\0';
    }
}

bool HasLineBreak(const std::string& text)
{
    return text.find_first_of("\r\n") != std::string::npos;
}

} // namespace

// Puts each line's recorded bytes back at their offset, top down; for a redone insert the lines
// split at their end are split again, so that the next row finds its line.
void SECEditDoc::PutBlockRows(const SECEditUndoRecord& rec, bool bUndo)
{
    SECEditLine* line = GetLine(rec.nStartLine);
    for (const SECEditBlockRow& row : rec.blockRows) {
        if (line == nullptr)
            return;
        int textLen = TextLength(line);
        int off = std::min(std::max(0, row.nOffset), textLen);
        if (InsertBytes(line, off, row.strBytes.data(), static_cast<int>(row.strBytes.size())) != 0)
            return;
        if (!bUndo && row.bSplit) {
            SECEditPos end{line, TextLength(line)};
            if (SplitLine(end, FALSE) != 0)
                return;
        }
        line = line->pNext;
    }
}

// Takes each line's recorded bytes out again, bottom up; for an undone insert a line that was
// split at its end is joined with the (by then empty) line the split made.
void SECEditDoc::TakeBlockRows(const SECEditUndoRecord& rec, bool bUndo)
{
    std::vector<SECEditLine*> lines;
    for (SECEditLine* line = GetLine(rec.nStartLine);
         line != nullptr && lines.size() < rec.blockRows.size(); line = line->pNext)
        lines.push_back(line);
    for (size_t i = lines.size(); i-- > 0;) {
        const SECEditBlockRow& row = rec.blockRows[i];
        SECEditLine* line = lines[i];
        if (bUndo && row.bSplit && line->pNext != nullptr)
            JoinAfter(line);
        int textLen = TextLength(line);
        int off = std::min(std::max(0, row.nOffset), textLen);
        int n = std::min(static_cast<int>(row.strBytes.size()), textLen - off);
        if (n > 0) {
            std::memmove(line->pText + off, line->pText + off + n,
                         static_cast<size_t>(line->nLength - off - n + 1));
            line->nLength -= n;
        }
    }
}

void SECEditDoc::ApplyUndo(const SECEditUndoRecord& rec)
{
    SECEditPos start{GetLine(rec.nStartLine), rec.nStartOffset};
    SECEditPos end{GetLine(rec.nEndLine), rec.nEndOffset};
    switch (rec.nKind) {
    case SECEDIT_UNDO_INSERTCHAR:
        if (rec.bLineEndAdded)
            DropLineEnd(start.pLine, m_szLineEnd, m_nLineEndLength);
        DeleteChar(start, FALSE);
        break;
    case SECEDIT_UNDO_DELETECHAR:
        InsertChar(start, rec.chNew, TRUE, FALSE);
        break;
    case SECEDIT_UNDO_DELETETEXT:
        if (HasLineBreak(rec.strText))
            InsertText(start, rec.strText.data(), static_cast<int>(rec.strText.size()), FALSE);
        else
            InsertString(start, rec.strText.c_str(), TRUE, FALSE);
        break;
    case SECEDIT_UNDO_INSERTTEXT:
        if (rec.bLineEndAdded)
            DropLineEnd(start.pLine, m_szLineEnd, m_nLineEndLength);
        DeleteRange(start, end, FALSE);
        break;
    case SECEDIT_UNDO_SPLITLINE:
        JoinLine(start, FALSE);
        break;
    case SECEDIT_UNDO_JOINLINE:
        SplitLine(start, FALSE);
        if (rec.bLineEndAdded)
            DropLineEnd(start.pLine, m_szLineEnd, m_nLineEndLength);
        break;
    case SECEDIT_UNDO_OVERWRITE:
        if (rec.bLineEndAdded)
            DropLineEnd(start.pLine, m_szLineEnd, m_nLineEndLength);
        if (rec.bAtEnd)
            DeleteChar(start, FALSE);
        else
            InsertChar(start, rec.chOld, FALSE, FALSE);
        break;
    case SECEDIT_UNDO_DELETEBLOCK:
        if (!rec.blockRows.empty())
            PutBlockRows(rec, true);
        else
            InsertColumnBlock(start, rec.strText.data(), static_cast<int>(rec.strText.size()), FALSE);
        break;
    case SECEDIT_UNDO_INSERTBLOCK: {
        if (!rec.blockRows.empty()) {
            TakeBlockRows(rec, true);
            break;
        }
        SECEditPos to{GetLine(rec.nEndLine != rec.nStartLine ? rec.nEndLine - 1 : rec.nEndLine),
                      rec.nEndOffset};
        DeleteColumnBlock(start, to, FALSE);
        break;
    }
    case SECEDIT_UNDO_INSERTFILE:
        DeleteRange(start, SECEditPos{GetLine(rec.nEndLine), 0}, FALSE);
        break;
    default:
        break;
    }
}

void SECEditDoc::ApplyRedo(const SECEditUndoRecord& rec)
{
    SECEditPos start{GetLine(rec.nStartLine), rec.nStartOffset};
    SECEditPos end{GetLine(rec.nEndLine), rec.nEndOffset};
    switch (rec.nKind) {
    case SECEDIT_UNDO_INSERTCHAR:
        InsertChar(start, rec.chNew, TRUE, FALSE);
        break;
    case SECEDIT_UNDO_DELETECHAR:
        DeleteChar(start, FALSE);
        break;
    case SECEDIT_UNDO_DELETETEXT:
        DeleteRange(start, end, FALSE);
        break;
    case SECEDIT_UNDO_INSERTTEXT:
        if (HasLineBreak(rec.strText))
            InsertText(start, rec.strText.data(), static_cast<int>(rec.strText.size()), FALSE);
        else
            InsertString(start, rec.strText.c_str(), TRUE, FALSE);
        break;
    case SECEDIT_UNDO_SPLITLINE:
        SplitLine(start, FALSE);
        break;
    case SECEDIT_UNDO_JOINLINE:
        JoinLine(start, FALSE);
        break;
    case SECEDIT_UNDO_OVERWRITE:
        InsertChar(start, rec.chNew, FALSE, FALSE);
        break;
    case SECEDIT_UNDO_DELETEBLOCK:
        if (!rec.blockRows.empty())
            TakeBlockRows(rec, false);
        else
            DeleteColumnBlock(start, end, FALSE);
        break;
    case SECEDIT_UNDO_INSERTBLOCK:
        if (!rec.blockRows.empty())
            PutBlockRows(rec, false);
        else
            InsertColumnBlock(start, rec.strText.data(), static_cast<int>(rec.strText.size()), FALSE);
        break;
    case SECEDIT_UNDO_INSERTFILE:
        InsertFileLines(start, rec.strText.c_str(), FALSE);
        break;
    default:
        break;
    }
    if (rec.bLineEndAdded && rec.nKind != SECEDIT_UNDO_JOINLINE) {
        SECEditLine* line = GetLine(rec.nStartLine);
        if (TextLength(line) == line->nLength)
            AppendLineEnd(line);
    }
}

BOOL SECEditDoc::Undo()
{
    if (m_nUndoCurrent == 0)
        return FALSE;
    TouchBlocks(nullptr);
    m_bApplyingUndo = true;
    for (;;) {
        const SECEditUndoRecord& rec = m_undo[m_nUndoCurrent - 1];
        ApplyUndo(rec);
        --m_nUndoCurrent;
        if (m_nUndoCurrent == 0 || !SameStep(rec, m_undo[m_nUndoCurrent - 1]))
            break;
    }
    m_bApplyingUndo = false;
    m_bModified = m_nUndoCurrent != m_nSavePoint;
    return TRUE;
}

BOOL SECEditDoc::Redo()
{
    if (m_nUndoTop == 0 || m_nUndoCurrent + 1 > m_nUndoTop)
        return FALSE;
    TouchBlocks(nullptr);
    m_bApplyingUndo = true;
    for (;;) {
        const SECEditUndoRecord& rec = m_undo[m_nUndoCurrent];
        ApplyRedo(rec);
        ++m_nUndoCurrent;
        if (m_nUndoCurrent >= m_nUndoTop || !SameStep(rec, m_undo[m_nUndoCurrent]))
            break;
    }
    m_bApplyingUndo = false;
    m_bModified = m_nUndoCurrent != m_nSavePoint;
    return TRUE;
}
