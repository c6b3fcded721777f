#include "toolkit/editor/SECEditDoc.h"

#include "platform/core/CProfileStore.h"
#include "platform/core/FileApi.h"
#include "toolkit/editor/Utf8Cells.h"

#include <cstdlib>
#include <cstring>

int SECEditDoc::s_nUndoGroupDepth = 0;

namespace {

struct LineEndForm {
    const char* bytes;
    int length;
};

const LineEndForm kLineEnds[4] = {{"\r\n", 2}, {"\n\r", 2}, {"\n", 1}, {"\r", 1}};

} // namespace

SECEditDoc::SECEditDoc(CProfileStore* pProfile) : m_pProfile(pProfile)
{
    Init();
}

SECEditDoc::~SECEditDoc()
{
    Clear();
}

void SECEditDoc::Init()
{
    m_keywords.clear();
    m_keywordImage.clear();
    m_bHasKeywordImage = false;
    FreeLines();
    m_pFirstLine = NewLine(64);
    m_undo.assign(SECEDIT_UNDO_SLOTS, SECEditUndoRecord{});
    m_bModified = FALSE;
    m_bReadOnly = FALSE;
    CloseLock();
    m_nUndoCurrent = 0;
    m_nUndoTop = 0;
    m_dwUndoStamp = 0;
    m_nSavePoint = 0;
    m_nLineCount = 1;
    m_strSection.clear();
    ReadSettings();
    SetLineEndType(static_cast<int>(ProfileInt("Line end type", 0)));
}

UINT SECEditDoc::ProfileInt(LPCSTR key, int nDefault) const
{
    if (m_pProfile == nullptr)
        return static_cast<UINT>(nDefault);
    return m_pProfile->GetProfileInt(m_strSection.c_str(), key, nDefault);
}

CString SECEditDoc::ProfileString(LPCSTR key, LPCSTR lpszDefault) const
{
    if (m_pProfile == nullptr)
        return CString(lpszDefault);
    return m_pProfile->GetProfileString(m_strSection.c_str(), key, lpszDefault);
}

void SECEditDoc::ReadSettings()
{
    LoadLanguageSettings();
    SetTabSize(static_cast<int>(ProfileInt("Tab size", 3)));
    m_bKeepTabs = static_cast<BOOL>(ProfileInt("Keep tabs", 1));
    m_bShowTabs = static_cast<BOOL>(ProfileInt("Show tabs", 0));
    m_strFontName = ProfileString("Font name", "Courier New");
    m_nFontSize = static_cast<int>(ProfileInt("Font size", 9));
    m_nCharSet = static_cast<int>(ProfileInt("CharSet", 0));
    m_nFontWeight = static_cast<int>(ProfileInt("Font weight", 400));
    m_bFontItalic = static_cast<BOOL>(ProfileInt("Font Italic", 0));
    m_bWordWrap = static_cast<BOOL>(ProfileInt("Word wrap", 0));
    m_bInsertMode = static_cast<BOOL>(ProfileInt("Insert", 1));
    m_bLockFiles = static_cast<BOOL>(ProfileInt("Lock files", 0));
}

void SECEditDoc::SetSection(LPCSTR lpszSection)
{
    m_strSection = lpszSection != nullptr ? lpszSection : "";
}

void SECEditDoc::Clear()
{
    FreeLines();
    ResetUndo();
    m_undo.clear();
    m_keywords.clear();
    m_keywordImage.clear();
    m_bHasKeywordImage = false;
    CloseLock();
}

void SECEditDoc::CloseLock()
{
    if (m_hLock != nullptr) {
        CloseHandle(m_hLock);
        m_hLock = nullptr;
    }
}

void SECEditDoc::SetLineEndType(int nType)
{
    m_nLineEndType = nType;
    if (nType < 0 || nType > 3)
        return;
    m_nLineEndLength = kLineEnds[nType].length;
    std::memcpy(m_szLineEnd, kLineEnds[nType].bytes, static_cast<size_t>(m_nLineEndLength) + 1);
}

void SECEditDoc::SetModified(BOOL bModified)
{
    m_bModified = bModified;
    if (!bModified)
        m_nSavePoint = m_nUndoCurrent;
}

// --- lines -----------------------------------------------------------------------------------

SECEditLine* SECEditDoc::NewLine(int nBytes)
{
    auto* line = new SECEditLine;
    line->nCapacity = (nBytes + 31) & ~15;
    // Only the text up to its NUL is ever read: a page's megabytes need no zero-filling.
    line->pText = static_cast<char*>(std::malloc(static_cast<size_t>(line->nCapacity)));
    if (line->pText == nullptr) {
        delete line;
        return nullptr;
    }
    line->pText[0] = '\0';
    return line;
}

bool SECEditDoc::GrowLine(SECEditLine* pLine, int nBytes)
{
    if (pLine->nCapacity > nBytes)
        return true;
    int capacity = (nBytes + 31) & ~15;
    auto* text = static_cast<char*>(std::realloc(pLine->pText, static_cast<size_t>(capacity)));
    if (text == nullptr)
        return false;
    pLine->pText = text;
    pLine->nCapacity = capacity;
    return true;
}

void SECEditDoc::FreeLine(SECEditLine* pLine)
{
    if (pLine == nullptr)
        return;
    std::free(pLine->pText);
    delete pLine;
}

void SECEditDoc::FreeChain(SECEditLine* pLine)
{
    while (pLine != nullptr) {
        SECEditLine* next = pLine->pNext;
        FreeLine(pLine);
        pLine = next;
    }
}

void SECEditDoc::FreeLines()
{
    TouchBlocks(nullptr);
    m_pNearLine = nullptr;
    m_pLastLine = nullptr;
    m_pStaleLine = nullptr;
    FreeChain(m_pFirstLine);
    m_pFirstLine = nullptr;
    m_nLineCount = 0;
}

SECEditLine* SECEditDoc::LastLine() const
{
    SECEditLine* line = m_pLastLine != nullptr ? m_pLastLine
        : m_pNearLine != nullptr               ? m_pNearLine
                                               : m_pFirstLine;
    if (line == nullptr)
        return nullptr;
    while (line->pNext != nullptr)
        line = line->pNext;
    m_pLastLine = line;
    return line;
}

SECEditLine* SECEditDoc::GetLine(int nLine) const
{
    if (m_pFirstLine == nullptr)
        return nullptr;
    SECEditLine* last = LastLine();
    if (nLine < 1 || nLine > m_nLineCount)
        return last;
    // Walk by counting from the nearest line whose number is known for certain: the first, the
    // one found last, the last (its number is the count) and the last one numbered.
    SECEditLine* line = m_pFirstLine;
    int number = 1;
    auto consider = [&](SECEditLine* candidate, int candidateNo) {
        if (candidate != nullptr && std::abs(candidateNo - nLine) < std::abs(number - nLine)) {
            line = candidate;
            number = candidateNo;
        }
    };
    consider(m_pNearLine, m_nNearLineNo);
    consider(last, m_nLineCount);
    if (m_pStaleLine != nullptr && m_pStaleLine->pPrev != nullptr)
        consider(m_pStaleLine->pPrev, m_pStaleLine->pPrev->nLineNo);
    while (number < nLine && line->pNext != nullptr) {
        line = line->pNext;
        ++number;
    }
    while (number > nLine && line->pPrev != nullptr) {
        line = line->pPrev;
        --number;
    }
    // Counted, so right even below the stale line; numbering on from there rewrites the same.
    line->nLineNo = number;
    m_pNearLine = line;
    m_nNearLineNo = number;
    return line;
}

int SECEditDoc::LineNo(const SECEditLine* pLine) const
{
    if (pLine == nullptr)
        return 0;
    NumberThrough(pLine);
    return pLine->nLineNo;
}

void SECEditDoc::NumberThrough(const SECEditLine* pLine) const
{
    SECEditLine* const stale = m_pStaleLine;
    if (stale == nullptr || pLine == nullptr)
        return;
    const int first = stale->pPrev != nullptr ? stale->pPrev->nLineNo + 1 : 1;
    // Lines above the stale one carry exactly the numbers below `first`, so a higher number
    // marks a stale line. A lower one may be either: two walks in step, one down from the line
    // asked for looking for the stale line, one down from the stale line looking for it, settle
    // it at the cost of the distance between them. Nothing is numbered while looking, so asking
    // about the lines just above an edit, as a repaint does, never pushes the stale line away.
    if (pLine->nLineNo < first) {
        constexpr int kLookLimit = 4096;
        const SECEditLine* ahead = stale;
        const SECEditLine* probe = pLine;
        for (int steps = 0;; ++steps) {
            if (ahead == pLine)
                break;   // stale: number it below
            if (probe == stale || ahead->pNext == nullptr)
                return;  // above the stale part: its number is right
            if (probe->pNext == nullptr)
                break;   // ran off the end without meeting the stale line: below it
            if (steps == kLookLimit) {
                // Far from both: numbering the rest once makes every later answer immediate.
                pLine = nullptr;
                break;
            }
            ahead = ahead->pNext;
            probe = probe->pNext;
        }
    }
    int number = first;
    SECEditLine* line = stale;
    for (;;) {
        line->nLineNo = number++;
        if (line == pLine || line->pNext == nullptr)
            break;
        line = line->pNext;
    }
    m_pStaleLine = line->pNext;
    if (line->pNext == nullptr)
        m_pLastLine = line;
}

// Called before the lines from pLine on are added to, removed or moved, pLine itself staying in
// the list: the numbers above it are made right, those from it on are left to LineNo.
void SECEditDoc::StaleFrom(SECEditLine* pLine)
{
    if (pLine->pPrev != nullptr)
        NumberThrough(pLine->pPrev);
    m_pStaleLine = pLine;
    m_pNearLine = nullptr;
}

int SECEditDoc::Renumber(SECEditLine* pLine)
{
    (void)pLine;   // every number is worked out again: the list is the only truth
    int number = 1;
    SECEditLine* last = nullptr;
    for (SECEditLine* line = m_pFirstLine; line != nullptr; line = line->pNext) {
        line->nLineNo = number++;
        last = line;
    }
    m_pLastLine = last;
    m_pStaleLine = nullptr;
    m_pNearLine = nullptr;
    m_nLineCount = number - 1;
    return m_nLineCount;
}

BOOL SECEditDoc::IsBefore(const SECEditPos& a, const SECEditPos& b)
{
    if (a.pLine == b.pLine)
        return a.nOffset <= b.nOffset;
    for (SECEditLine* line = a.pLine != nullptr ? a.pLine->pNext : nullptr; line != nullptr;
         line = line->pNext) {
        if (line == b.pLine)
            return TRUE;
    }
    return FALSE;
}

bool SECEditDoc::EndsWithLineEnd(const SECEditLine* pLine) const
{
    return pLine->nLength >= m_nLineEndLength
        && std::memcmp(pLine->pText + pLine->nLength - m_nLineEndLength, m_szLineEnd,
                       static_cast<size_t>(m_nLineEndLength)) == 0;
}

int SECEditDoc::TextLength(const SECEditLine* pLine) const
{
    if (pLine == nullptr || pLine->pText == nullptr)
        return 0;
    return EndsWithLineEnd(pLine) ? pLine->nLength - m_nLineEndLength : pLine->nLength;
}

void SECEditDoc::AppendLineEnd(SECEditLine* pLine)
{
    if (!GrowLine(pLine, pLine->nLength + m_nLineEndLength + 1))
        return;
    std::memcpy(pLine->pText + pLine->nLength, m_szLineEnd, static_cast<size_t>(m_nLineEndLength));
    pLine->nLength += m_nLineEndLength;
    pLine->pText[pLine->nLength] = '\0';
}

// --- columns ---------------------------------------------------------------------------------

int SECEditDoc::WidthOf(const char* p, int n) const
{
    editor::ColumnCounter counter{m_nTabSize};
    counter.Feed(p, n);
    return counter.column;
}

int SECEditDoc::TextWidth(const SECEditLine* pLine) const
{
    return WidthOf(pLine->pText, TextLength(pLine));
}

int SECEditDoc::ColumnFromOffset(const SECEditLine* pLine, int nOffset) const
{
    if (nOffset < 1)
        return 0;
    if (pLine == nullptr || pLine->pText == nullptr)
        return nOffset;
    const char* text = pLine->pText;
    const char* end = text + pLine->nLength;
    int col = 0;
    int offset = 0;
    while (offset < nOffset && offset < pLine->nLength) {
        int bytes;
        col += editor::CellsAt(text + offset, end, col, m_nTabSize, &bytes);
        offset += bytes;
    }
    if (nOffset > pLine->nLength)
        col += nOffset - pLine->nLength;
    return col;
}

int SECEditDoc::OffsetFromColumn(const SECEditLine* pLine, int nColumn) const
{
    if (nColumn < 0)
        return 0;
    if (pLine == nullptr || pLine->pText == nullptr)
        return nColumn;
    const char* text = pLine->pText;
    const char* end = text + pLine->nLength;
    int col = 0;
    int offset = 0;
    while (offset < pLine->nLength) {
        int bytes;
        int w = editor::CellsAt(text + offset, end, col, m_nTabSize, &bytes);
        if (col + w > nColumn)
            return offset;
        col += w;
        offset += bytes;
    }
    return pLine->nLength + (nColumn - col);
}

std::string SECEditDoc::ExpandTabs(const char* pText, int nLength, int nLineEndLength) const
{
    std::string out;
    out.reserve(static_cast<size_t>(nLength) + 16);
    int col = 0;
    const char* end = pText + nLength;
    for (const char* p = pText; p < end;) {
        if (*p == '\t') {
            int n = m_nTabSize - col % m_nTabSize;
            out.append(static_cast<size_t>(n), ' ');
            col += n;
            ++p;
        } else if (*p == '\r' || *p == '\n') {
            int n = std::min<int>(nLineEndLength, static_cast<int>(end - p));
            out.append(p, static_cast<size_t>(n));
            p += n;
            col = 0;
        } else {
            int cells;
            int bytes = editor::SequenceAt(p, end, &cells);
            out.append(p, static_cast<size_t>(bytes));
            col += cells;
            p += bytes;
        }
    }
    return out;
}

// --- line ends -------------------------------------------------------------------------------

int SECEditDoc::DetectLineEnd(const char* pText, int nLength)
{
    const void* lf = std::memchr(pText, '\n', static_cast<size_t>(nLength));
    size_t span = lf != nullptr ? static_cast<size_t>(static_cast<const char*>(lf) - pText)
                                : static_cast<size_t>(nLength);
    const void* cr = std::memchr(pText, '\r', span);
    const char* first = static_cast<const char*>(cr != nullptr ? cr : lf);
    if (first == nullptr)
        return -1;
    bool more = first + 1 < pText + nLength;
    if (*first == '\n')
        return more && first[1] == '\r' ? 1 : 2;
    return more && first[1] == '\n' ? 0 : 3;
}

std::string SECEditDoc::ConvertLineEnds(const char* pText, int nLength, int nType)
{
    int kind = DetectLineEnd(pText, nLength);
    if (kind < 0 || nType < 0 || nType > 3)
        return std::string(pText, static_cast<size_t>(nLength));
    const LineEndForm& from = kLineEnds[kind];
    const LineEndForm& to = kLineEnds[nType];
    std::string out;
    out.reserve(static_cast<size_t>(nLength) + static_cast<size_t>(nLength) / 16 + 16);
    int i = 0;
    while (i < nLength) {
        const void* hit = std::memchr(pText + i, from.bytes[0], static_cast<size_t>(nLength - i));
        if (hit == nullptr) {
            out.append(pText + i, static_cast<size_t>(nLength - i));
            break;
        }
        int at = static_cast<int>(static_cast<const char*>(hit) - pText);
        out.append(pText + i, static_cast<size_t>(at - i));
        if (from.length == 2 && !(at + 1 < nLength && pText[at + 1] == from.bytes[1])) {
            out += pText[at];
            i = at + 1;
            continue;
        }
        out.append(to.bytes, static_cast<size_t>(to.length));
        i = at + from.length;
    }
    return out;
}
