// The primitive edits of the document, each able to write its undo record.
#include "toolkit/editor/SECEditDoc.h"

#include "toolkit/editor/Utf8Cells.h"

#include <algorithm>
#include <cstring>

// Counts nested primitives, so that only an edit made from outside, unrecorded, loses the save
// point (the primitives call one another without recording).
struct SECEditDoc::EditScope {
    // The lines from which on the text changes: their cached block states are dropped.
    EditScope(SECEditDoc& doc, const SECEditLine* pLine, const SECEditLine* pOther = nullptr) : m_doc(doc)
    {
        ++m_doc.m_nEditDepth;
        m_doc.TouchBlocks(pLine);
        if (pOther != nullptr)
            m_doc.TouchBlocks(pOther);
    }
    ~EditScope() { --m_doc.m_nEditDepth; }
    EditScope(const EditScope&) = delete;
    EditScope& operator=(const EditScope&) = delete;
    SECEditDoc& m_doc;
};

void SECEditDoc::MarkChanged(BOOL bRecord)
{
    m_bModified = TRUE;
    if (!bRecord && !m_bApplyingUndo && m_nEditDepth == 1)
        m_nSavePoint = -1;
}

void SECEditDoc::Record(int nKind, int nStartLine, int nStartOffset, int nEndLine, int nEndOffset,
                        const char* pText, int nTextLength)
{
    SECEditUndoRecord rec;
    rec.nKind = nKind;
    rec.nStartLine = nStartLine;
    rec.nStartOffset = nStartOffset;
    rec.nEndLine = nEndLine;
    rec.nEndOffset = nEndOffset;
    AddUndoRecord(rec, pText, nTextLength);
}

void SECEditDoc::Record(int nKind, const SECEditPos& start, const SECEditPos& end, const char* pText,
                        int nTextLength, char chNew, char chOld)
{
    SECEditUndoRecord rec;
    rec.nKind = nKind;
    rec.nStartLine = LineNo(start.pLine);
    rec.nStartOffset = start.nOffset;
    rec.nEndLine = LineNo(end.pLine);
    rec.nEndOffset = end.nOffset;
    rec.chNew = chNew;
    rec.chOld = chOld;
    AddUndoRecord(rec, pText, nTextLength);
}

int SECEditDoc::InsertBytes(SECEditLine* pLine, int nOffset, const char* p, int n)
{
    if (n <= 0)
        return 0;
    if (!GrowLine(pLine, pLine->nLength + n + m_nLineEndLength + 1))
        return SECEDIT_OUT_OF_MEMORY;
    TouchBlocks(pLine);
    char* text = pLine->pText;
    std::memmove(text + nOffset + n, text + nOffset, static_cast<size_t>(pLine->nLength - nOffset));
    std::memcpy(text + nOffset, p, static_cast<size_t>(n));
    pLine->nLength += n;
    text[pLine->nLength] = '\0';
    return 0;
}

int SECEditDoc::PadToPosition(SECEditPos& pos, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    EditScope scope(*this, pos.pLine);
    SECEditLine* line = pos.pLine;
    int textLen = TextLength(line);
    if (pos.nOffset <= textLen)
        return 0;
    int gap = pos.nOffset - textLen;
    int endCol = TextWidth(line);
    int target = endCol + gap;
    if (target > SECEDIT_MAX_WIDTH - m_nLineEndLength)
        return SECEDIT_LINE_TOO_LONG;
    std::string filler;
    if (!m_bKeepTabs || m_bSpacesOnly) {
        filler.assign(static_cast<size_t>(gap), ' ');
    } else {
        int col = endCol;
        for (int i = 0; i < gap / m_nTabSize; ++i) {
            filler += '\t';
            col += m_nTabSize - col % m_nTabSize;
        }
        filler.append(static_cast<size_t>(std::max(0, target - col)), ' ');
    }
    int rc = InsertBytes(line, textLen, filler.data(), static_cast<int>(filler.size()));
    if (rc != 0)
        return rc;
    pos.nOffset = textLen + static_cast<int>(filler.size());
    if (bRecord)
        Record(SECEDIT_UNDO_INSERTTEXT, SECEditPos{line, textLen}, pos, filler.c_str());
    MarkChanged(bRecord);
    return 0;
}

int SECEditDoc::InsertChar(SECEditPos& pos, char ch, BOOL bInsert, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    // A line holds no NUL, and no line end but its own: those bytes are no characters to type.
    if (ch == '\0' || ch == '\r' || ch == '\n')
        return 0;
    EditScope scope(*this, pos.pLine);
    int rc = PadToPosition(pos, bRecord);
    if (rc != 0)
        return rc;
    SECEditLine* line = pos.pLine;
    int textLen = TextLength(line);
    int off = std::max(0, pos.nOffset);
    bool atEnd = off >= textLen;
    bool replace = !bInsert && !atEnd;
    // The line's width once the character stands in it, before anything changes.
    editor::ColumnCounter counter{m_nTabSize};
    counter.Feed(line->pText, off);
    counter.Feed(&ch, 1);
    counter.Feed(line->pText + off + (replace ? 1 : 0), textLen - off - (replace ? 1 : 0));
    if (counter.column > SECEDIT_MAX_WIDTH - m_nLineEndLength)
        return SECEDIT_LINE_TOO_LONG;
    if (!GrowLine(line, line->nLength + m_nLineEndLength + 2))
        return SECEDIT_OUT_OF_MEMORY;
    char old = off < line->nLength ? line->pText[off] : '\0';
    if (replace)
        line->pText[off] = ch;
    else
        InsertBytes(line, off, &ch, 1);
    bool added = false;
    if (!EndsWithLineEnd(line) && !m_bApplyingUndo) {
        AppendLineEnd(line);
        added = true;
    }
    if (bRecord) {
        SECEditUndoRecord rec;
        rec.nKind = bInsert ? SECEDIT_UNDO_INSERTCHAR : SECEDIT_UNDO_OVERWRITE;
        rec.nStartLine = rec.nEndLine = line->nLineNo;
        rec.nStartOffset = rec.nEndOffset = off;
        rec.chNew = ch;
        rec.chOld = bInsert ? '\0' : old;
        rec.bLineEndAdded = added;
        rec.bAtEnd = !bInsert && atEnd;
        AddUndoRecord(rec, nullptr);
    }
    MarkChanged(bRecord);
    return 0;
}

int SECEditDoc::InsertString(SECEditPos& pos, const char* pText, BOOL bInsert, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    if (pText == nullptr || *pText == '\0')
        return 0;
    if (std::strpbrk(pText, "\r\n") != nullptr)
        return InsertText(pos, pText, -1, bRecord);   // text that breaks lines
    EditScope scope(*this, pos.pLine);
    int rc = PadToPosition(pos, bRecord);
    if (rc != 0)
        return rc;
    if (!bInsert) {
        // Overwriting records each byte with the byte it replaced, so Undo brings them back.
        for (const char* p = pText; *p != '\0'; ++p) {
            rc = InsertChar(pos, *p, FALSE, bRecord);
            if (rc != 0)
                return rc;
            ++pos.nOffset;
        }
        return 0;
    }
    SECEditLine* line = pos.pLine;
    int n = static_cast<int>(std::strlen(pText));
    int textLen = TextLength(line);
    int off = std::min(std::max(0, pos.nOffset), line->nLength);
    editor::ColumnCounter counter{m_nTabSize};
    counter.Feed(line->pText, off);
    counter.Feed(pText, n);
    if (off < textLen)
        counter.Feed(line->pText + off, textLen - off);
    if (counter.column > SECEDIT_MAX_WIDTH - m_nLineEndLength)
        return SECEDIT_LINE_TOO_LONG;
    rc = InsertBytes(line, off, pText, n);
    if (rc != 0)
        return rc;
    bool added = false;
    if (!EndsWithLineEnd(line) && !m_bApplyingUndo) {
        AppendLineEnd(line);
        added = true;
    }
    if (bRecord) {
        SECEditUndoRecord rec;
        rec.nKind = SECEDIT_UNDO_INSERTTEXT;
        rec.nStartLine = rec.nEndLine = line->nLineNo;
        rec.nStartOffset = off;
        rec.nEndOffset = off + n;
        rec.bLineEndAdded = added;
        AddUndoRecord(rec, pText, n);
    }
    MarkChanged(bRecord);
    return 0;
}

int SECEditDoc::DeleteChar(SECEditPos& pos, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    EditScope scope(*this, pos.pLine);
    SECEditLine* line = pos.pLine;
    int textLen = TextLength(line);
    int off = pos.nOffset;
    if (off < 0 || off >= textLen)
        return SECEDIT_JOIN_LINE;
    char ch = line->pText[off];
    if (bRecord)
        Record(SECEDIT_UNDO_DELETECHAR, pos, pos, nullptr, -1, ch);
    std::memmove(line->pText + off, line->pText + off + 1, static_cast<size_t>(line->nLength - off));
    --line->nLength;
    MarkChanged(bRecord);
    return 0;
}

int SECEditDoc::DeleteChars(SECEditPos& pos, int nCount, BOOL bRecord)
{
    if (nCount == 1)
        return DeleteChar(pos, bRecord);
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    EditScope scope(*this, pos.pLine);
    SECEditLine* line = pos.pLine;
    int off = std::max(0, pos.nOffset);
    int n = std::min(nCount, TextLength(line) - off);
    if (n <= 0)
        return 0;
    if (bRecord)
        Record(SECEDIT_UNDO_DELETETEXT, SECEditPos{line, off}, SECEditPos{line, off + n},
               line->pText + off, n);
    std::memmove(line->pText + off, line->pText + off + n,
                 static_cast<size_t>(line->nLength - off - n + 1));
    line->nLength -= n;
    MarkChanged(bRecord);
    return 0;
}

int SECEditDoc::SplitLine(SECEditPos& pos, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    EditScope scope(*this, pos.pLine);
    SECEditLine* line = pos.pLine;
    int off = std::min(std::max(0, pos.nOffset), TextLength(line));
    int restLength = line->nLength - off;
    SECEditLine* next = NewLine(restLength + m_nLineEndLength + 1);
    if (next == nullptr || !GrowLine(line, off + m_nLineEndLength + 1)) {
        FreeLine(next);
        return SECEDIT_OUT_OF_MEMORY;
    }
    std::memcpy(next->pText, line->pText + off, static_cast<size_t>(restLength));
    next->nLength = restLength;
    next->pText[restLength] = '\0';
    std::memcpy(line->pText + off, m_szLineEnd, static_cast<size_t>(m_nLineEndLength));
    line->nLength = off + m_nLineEndLength;
    line->pText[line->nLength] = '\0';
    StaleFrom(line);
    next->pNext = line->pNext;
    next->pPrev = line;
    if (line->pNext != nullptr)
        line->pNext->pPrev = next;
    else
        m_pLastLine = next;
    line->pNext = next;
    ++m_nLineCount;
    if (bRecord)
        Record(SECEDIT_UNDO_SPLITLINE, SECEditPos{line, off}, SECEditPos{line, off}, nullptr);
    MarkChanged(bRecord);
    return 0;
}

// Appends the next line's text to this one in place of its line end and frees the next line.
int SECEditDoc::JoinAfter(SECEditLine* pLine)
{
    SECEditLine* next = pLine->pNext;
    int textLen = TextLength(pLine);
    if (!GrowLine(pLine, textLen + next->nLength + 1))
        return SECEDIT_OUT_OF_MEMORY;
    std::memcpy(pLine->pText + textLen, next->pText, static_cast<size_t>(next->nLength));
    pLine->nLength = textLen + next->nLength;
    pLine->pText[pLine->nLength] = '\0';
    StaleFrom(pLine);
    // A blank line joined with the next hands its bookmark on to the line it becomes.
    if (next->dwFlags & SECEDIT_LINE_BOOKMARK)
        pLine->dwFlags |= SECEDIT_LINE_BOOKMARK;
    pLine->pNext = next->pNext;
    if (next->pNext != nullptr)
        next->pNext->pPrev = pLine;
    if (m_pLastLine == next)
        m_pLastLine = pLine;
    FreeLine(next);
    --m_nLineCount;
    return 0;
}

int SECEditDoc::JoinLine(SECEditPos& pos, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    EditScope scope(*this, pos.pLine);
    SECEditLine* line = pos.pLine;
    if (line->pNext == nullptr)
        return SECEDIT_END_OF_FILE;
    int textLen = TextLength(line);
    int startCol = TextWidth(line) + std::max(0, pos.nOffset - textLen);
    editor::ColumnCounter counter{m_nTabSize, startCol};
    counter.Feed(line->pNext->pText, TextLength(line->pNext));
    if (counter.column > SECEDIT_MAX_WIDTH - m_nLineEndLength)
        return SECEDIT_LINE_TOO_LONG;
    bool hadLineEnd = EndsWithLineEnd(line);
    BeginUndoGroup(TRUE);
    int rc = PadToPosition(pos, bRecord);
    if (rc == 0) {
        int at = TextLength(line);
        rc = JoinAfter(line);
        if (rc == 0) {
            if (bRecord) {
                SECEditUndoRecord rec;
                rec.nKind = SECEDIT_UNDO_JOINLINE;
                rec.nStartLine = rec.nEndLine = LineNo(line);
                rec.nStartOffset = rec.nEndOffset = at;
                rec.bLineEndAdded = !hadLineEnd;
                AddUndoRecord(rec, nullptr);
            }
            MarkChanged(bRecord);
        }
    }
    BeginUndoGroup(FALSE);
    return rc;
}

int SECEditDoc::InsertText(SECEditPos& pos, const char* pText, int nLength, BOOL bRecord,
                           int* pNewLength)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    if (pText == nullptr)
        return 0;
    if (nLength < 0)
        nLength = static_cast<int>(std::strlen(pText));
    if (pNewLength != nullptr)
        *pNewLength = nLength;
    if (nLength == 0)
        return 0;
    if (std::memchr(pText, '\0', static_cast<size_t>(nLength)) != nullptr)
        return SECEDIT_NULLS_IN_FILE;
    EditScope scope(*this, pos.pLine);
    int kind = DetectLineEnd(pText, nLength);
    std::string text = kind >= 0 && kind != m_nLineEndType
        ? ConvertLineEnds(pText, nLength, m_nLineEndType) : std::string(pText, static_cast<size_t>(nLength));
    if (pNewLength != nullptr)
        *pNewLength = static_cast<int>(text.size());

    SECEditLine* tail = nullptr;
    int count = 0;
    SECEditLine* chain = SplitLines(text.data(), static_cast<int>(text.size()), &tail, &count);
    if (chain == nullptr)
        return SECEDIT_OUT_OF_MEMORY;

    SECEditLine* line = pos.pLine;
    int textLen = TextLength(line);
    // Both joined lines must fit, with the gap that padding will fill: refuse before changing.
    int padCols = std::max(0, pos.nOffset - textLen);
    int off = std::min(std::max(0, pos.nOffset), textLen);
    bool tailOpen = !EndsWithLineEnd(tail);
    editor::ColumnCounter first{m_nTabSize};
    first.Feed(line->pText, off);
    first.column += padCols;
    first.Feed(chain->pText, TextLength(chain));
    if (count == 1 && tailOpen)
        first.Feed(line->pText + off, textLen - off);
    editor::ColumnCounter last{m_nTabSize};
    if (count > 1 && tailOpen) {
        last.Feed(tail->pText, tail->nLength);
        last.Feed(line->pText + off, textLen - off);
    }
    int limit = SECEDIT_MAX_WIDTH - m_nLineEndLength;
    if (first.column > limit || last.column > limit) {
        FreeChain(chain);
        return SECEDIT_LINE_TOO_LONG;
    }
    int rc = PadToPosition(pos, bRecord);
    if (rc != 0) {
        FreeChain(chain);
        return rc;
    }
    off = pos.nOffset;
    int startLine = LineNo(line);
    int endLine;
    int endOffset;
    if (count == 1 && tailOpen) {
        rc = InsertBytes(line, off, chain->pText, chain->nLength);
        endLine = startLine;
        endOffset = off + chain->nLength;
        FreeChain(chain);
        if (rc != 0)
            return rc;
    } else {
        // The rest of the line after the position becomes its own line after the chain, then
        // the first half takes the chain's first line and the chain's last line the rest.
        std::string rest(line->pText + off, static_cast<size_t>(line->nLength - off));
        SECEditLine* restLine = NewLine(static_cast<int>(rest.size()) + 1);
        if (restLine == nullptr || !GrowLine(line, off + chain->nLength + 1)) {
            FreeLine(restLine);
            FreeChain(chain);
            return SECEDIT_OUT_OF_MEMORY;
        }
        std::memcpy(restLine->pText, rest.data(), rest.size());
        restLine->nLength = static_cast<int>(rest.size());
        restLine->pText[restLine->nLength] = '\0';
        std::memcpy(line->pText + off, chain->pText, static_cast<size_t>(chain->nLength));
        line->nLength = off + chain->nLength;
        line->pText[line->nLength] = '\0';
        StaleFrom(line);
        SECEditLine* after = line->pNext;
        SECEditLine* second = chain->pNext;
        FreeLine(chain);
        SECEditLine* lastNew = line;
        if (second != nullptr) {
            line->pNext = second;
            second->pPrev = line;
            lastNew = tail;
        }
        endLine = startLine + count - 1;
        endOffset = lastNew->nLength;
        if (tailOpen) {
            // count > 1 here: the chain's last line continues with the rest of the line.
            // Whole again before the rest goes in: the insert may number lines down the list.
            lastNew->pNext = after;
            if (after != nullptr)
                after->pPrev = lastNew;
            else
                m_pLastLine = lastNew;
            m_nLineCount += count - 1;
            InsertBytes(lastNew, lastNew->nLength, restLine->pText, restLine->nLength);
            FreeLine(restLine);
        } else {
            lastNew->pNext = restLine;
            restLine->pPrev = lastNew;
            restLine->pNext = after;
            if (after != nullptr)
                after->pPrev = restLine;
            else
                m_pLastLine = restLine;
            endLine = startLine + count;
            endOffset = 0;
            m_nLineCount += count;
        }
    }
    if (bRecord)
        Record(SECEDIT_UNDO_INSERTTEXT, startLine, off, endLine, endOffset, text.data(),
               static_cast<int>(text.size()));
    MarkChanged(bRecord);
    return 0;
}

int SECEditDoc::InsertColumnBlock(SECEditPos& pos, const char* pText, int nLength, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    if (pText == nullptr)
        return 0;
    if (nLength < 0)
        nLength = static_cast<int>(std::strlen(pText));
    if (nLength == 0)
        return 0;
    if (std::memchr(pText, '\0', static_cast<size_t>(nLength)) != nullptr)
        return SECEDIT_NULLS_IN_FILE;
    EditScope scope(*this, pos.pLine);
    int kind = DetectLineEnd(pText, nLength);
    std::string text = kind >= 0 && kind != m_nLineEndType
        ? ConvertLineEnds(pText, nLength, m_nLineEndType) : std::string(pText, static_cast<size_t>(nLength));
    std::vector<std::string> rows;
    {
        SECEditLine* tail = nullptr;
        int count = 0;
        SECEditLine* chain = SplitLines(text.data(), static_cast<int>(text.size()), &tail, &count);
        for (SECEditLine* l = chain; l != nullptr; l = l->pNext)
            rows.emplace_back(l->pText, static_cast<size_t>(TextLength(l)));
        FreeChain(chain);
    }
    if (rows.empty())
        return 0;
    int column = ColumnFromOffset(pos.pLine, pos.nOffset);
    int limit = SECEDIT_MAX_WIDTH - m_nLineEndLength;
    // Every row must fit in its line before any goes in.
    SECEditLine* line = pos.pLine;
    for (const std::string& row : rows) {
        int textLen = line != nullptr ? TextLength(line) : 0;
        int at = line != nullptr ? std::min(OffsetFromColumn(line, column), textLen) : 0;
        editor::ColumnCounter counter{m_nTabSize};
        if (line != nullptr)
            counter.Feed(line->pText, at);
        if (at == textLen)
            counter.column = std::max(counter.column, column);   // padding reaches the column
        counter.Feed(row.data(), static_cast<int>(row.size()));
        if (line != nullptr)
            counter.Feed(line->pText + at, textLen - at);
        if (counter.column > limit)
            return SECEDIT_LINE_TOO_LONG;
        line = line != nullptr ? line->pNext : nullptr;
    }
    line = pos.pLine;
    int startLine = LineNo(line);
    int startOffset = 0;
    // What each line received, so that Undo takes out exactly that and no padding stays behind.
    std::vector<SECEditBlockRow> done;
    done.reserve(rows.size());
    auto record = [&] {
        if (!bRecord || done.empty())
            return;
        SECEditUndoRecord rec;
        rec.nKind = SECEDIT_UNDO_INSERTBLOCK;
        rec.nStartLine = startLine;
        rec.nStartOffset = startOffset;
        rec.nEndLine = startLine + static_cast<int>(rows.size());
        rec.nEndOffset = startOffset + static_cast<int>(rows[0].size());
        rec.blockRows = std::move(done);
        AddUndoRecord(rec, text.data(), static_cast<int>(text.size()));
    };
    int rc = 0;
    for (size_t i = 0; i < rows.size() && rc == 0; ++i) {
        SECEditPos at{line, OffsetFromColumn(line, column)};
        int from = std::min(at.nOffset, TextLength(line));
        rc = PadToPosition(at, FALSE);
        if (rc == 0)
            rc = InsertBytes(line, at.nOffset, rows[i].data(), static_cast<int>(rows[i].size()));
        if (rc != 0) {
            // The padding may be in already: the line's share is whatever its text gained.
            int gained = TextLength(line) - from;
            if (gained > 0)
                done.push_back(SECEditBlockRow{from, std::string(line->pText + from, static_cast<size_t>(gained)), false});
            break;
        }
        if (i == 0)
            startOffset = at.nOffset;
        int end = at.nOffset + static_cast<int>(rows[i].size());
        done.push_back(SECEditBlockRow{from, std::string(line->pText + from, static_cast<size_t>(end - from)), false});
        if (i + 1 < rows.size()) {
            if (line->pNext == nullptr) {
                SECEditPos split{line, TextLength(line)};
                rc = SplitLine(split, FALSE);
                if (rc != 0)
                    break;
                done.back().bSplit = true;
            }
            line = line->pNext;
        }
    }
    // A row that could not go in leaves the rows before it in place: they stay undoable.
    bool changed = !done.empty();
    record();
    if (changed)
        MarkChanged(bRecord);
    if (rc != 0)
        return rc;
    pos.nOffset = startOffset;
    return 0;
}

int SECEditDoc::DeleteRange(SECEditPos from, SECEditPos to, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    if (from.pLine == nullptr || to.pLine == nullptr
        || (from.pLine == to.pLine && from.nOffset == to.nOffset))
        return SECEDIT_NO_SELECTION;
    EditScope scope(*this, from.pLine, to.pLine);
    if (!IsBefore(from, to))
        std::swap(from, to);
    if (from.pLine == to.pLine) {
        int off = std::max(0, from.nOffset);
        int rc = DeleteChars(from, to.nOffset - off, bRecord);
        if (rc == 0)
            MarkChanged(bRecord);
        return rc;
    }
    SECEditLine* first = from.pLine;
    SECEditLine* last = to.pLine;
    from.nOffset = std::min(std::max(0, from.nOffset), TextLength(first));
    to.nOffset = std::min(std::max(0, to.nOffset), TextLength(last));
    editor::ColumnCounter counter{m_nTabSize};
    counter.Feed(first->pText, from.nOffset);
    counter.Feed(last->pText + to.nOffset, TextLength(last) - to.nOffset);
    if (counter.column > SECEDIT_MAX_WIDTH - m_nLineEndLength)
        return SECEDIT_LINE_TOO_LONG;
    if (bRecord) {
        std::string text;
        GetText(from, to, text);
        Record(SECEDIT_UNDO_DELETETEXT, from, to, text.data(), static_cast<int>(text.size()));
    }
    first->nLength = from.nOffset;
    first->pText[first->nLength] = '\0';
    std::memmove(last->pText, last->pText + to.nOffset,
                 static_cast<size_t>(last->nLength - to.nOffset + 1));
    last->nLength -= to.nOffset;
    StaleFrom(first);
    while (first->pNext != last) {
        SECEditLine* gone = first->pNext;
        first->pNext = gone->pNext;
        gone->pNext->pPrev = first;
        if (m_pLastLine == gone)
            m_pLastLine = nullptr;
        FreeLine(gone);
        --m_nLineCount;
    }
    int rc = JoinAfter(first);
    MarkChanged(bRecord);
    return rc;
}

int SECEditDoc::DeleteColumnBlock(SECEditPos from, SECEditPos to, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    if (from.pLine == nullptr || to.pLine == nullptr)
        return SECEDIT_NO_SELECTION;
    EditScope scope(*this, from.pLine, to.pLine);
    // A block drawn upwards or leftwards has its corners the other way round.
    if (from.pLine != to.pLine && !IsBefore(from, to))
        std::swap(from.pLine, to.pLine);
    int c1 = ColumnFromOffset(from.pLine, from.nOffset);
    int c2 = ColumnFromOffset(from.pLine, to.nOffset);
    if (c1 > c2)
        std::swap(c1, c2);
    SECEditPos start{from.pLine, OffsetFromColumn(from.pLine, c1)};
    SECEditPos end{to.pLine, OffsetFromColumn(from.pLine, c2)};
    SECEditUndoRecord rec;
    if (bRecord) {
        std::string text;
        GetColumnBlock(start, end, text);
        rec.nKind = SECEDIT_UNDO_DELETEBLOCK;
        rec.nStartLine = LineNo(start.pLine);
        rec.nStartOffset = start.nOffset;
        rec.nEndLine = LineNo(end.pLine);
        rec.nEndOffset = end.nOffset;
        rec.strText = std::move(text);
    }
    for (SECEditLine* line = from.pLine;; line = line->pNext) {
        int textLen = TextLength(line);
        int o1 = std::min(OffsetFromColumn(line, c1), textLen);
        int o2 = std::min(OffsetFromColumn(line, c2), textLen);
        // The block text is tab-expanded and padded; Undo needs the bytes as they stood.
        if (bRecord)
            rec.blockRows.push_back(SECEditBlockRow{
                o1, std::string(line->pText + o1, static_cast<size_t>(std::max(0, o2 - o1))), false});
        if (o2 > o1) {
            std::memmove(line->pText + o1, line->pText + o2,
                         static_cast<size_t>(line->nLength - o2 + 1));
            line->nLength -= o2 - o1;
        }
        if (line == to.pLine || line->pNext == nullptr)
            break;
    }
    if (bRecord)
        AddUndoRecord(rec, rec.strText.data(), static_cast<int>(rec.strText.size()));
    MarkChanged(bRecord);
    return 0;
}

bool SECEditDoc::GetText(SECEditPos from, SECEditPos to, std::string& text) const
{
    text.clear();
    if (from.pLine == nullptr || to.pLine == nullptr)
        return false;
    if (!IsBefore(from, to))
        std::swap(from, to);
    for (SECEditLine* line = from.pLine; line != nullptr; line = line->pNext) {
        int begin = line == from.pLine ? std::min(std::max(0, from.nOffset), line->nLength) : 0;
        int end = line == to.pLine ? std::min(std::max(0, to.nOffset), TextLength(line)) : line->nLength;
        if (end > begin)
            text.append(line->pText + begin, static_cast<size_t>(end - begin));
        if (line == to.pLine)
            break;
    }
    int kind = DetectLineEnd(text.data(), static_cast<int>(text.size()));
    if (kind > 0)
        text = ConvertLineEnds(text.data(), static_cast<int>(text.size()), 0);
    return true;
}

bool SECEditDoc::GetColumnBlock(SECEditPos from, SECEditPos to, std::string& text) const
{
    text.clear();
    if (from.pLine == nullptr || to.pLine == nullptr)
        return false;
    if (from.pLine != to.pLine && !IsBefore(from, to))
        std::swap(from.pLine, to.pLine);
    int c1 = ColumnFromOffset(from.pLine, from.nOffset);
    int c2 = ColumnFromOffset(from.pLine, to.nOffset);
    if (c1 > c2)
        std::swap(c1, c2);
    for (SECEditLine* line = from.pLine; line != nullptr; line = line->pNext) {
        std::string expanded = ExpandTabs(line->pText, TextLength(line), m_nLineEndLength);
        const char* p = expanded.data();
        const char* end = p + expanded.size();
        int col = 0;
        std::string row;
        while (p < end && col < c2) {
            int cells;
            int bytes = editor::ClusterAt(p, end, &cells);
            if (col >= c1)
                row.append(p, static_cast<size_t>(bytes));
            col += cells;
            p += bytes;
        }
        int width = std::max(col, c1) - c1;
        if (width < c2 - c1)
            row.append(static_cast<size_t>(c2 - c1 - width), ' ');
        if (line != from.pLine)
            text.append(m_szLineEnd, static_cast<size_t>(m_nLineEndLength));
        text += row;
        if (line == to.pLine)
            break;
    }
    if (DetectLineEnd(text.data(), static_cast<int>(text.size())) > 0)
        text = ConvertLineEnds(text.data(), static_cast<int>(text.size()), 0);
    return true;
}
