// Loading, saving and replacing the document's file, and splitting text into lines.
#include "toolkit/editor/SECEditDoc.h"

#include "platform/core/AtomicFile.h"
#include "platform/core/FileApi.h"
#include "toolkit/editor/Utf8Cells.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace {

// Restores the error mode on every way out.
class ErrorModeScope {
public:
    ErrorModeScope() : m_old(SetErrorMode(SEM_FAILCRITICALERRORS)) {}
    ~ErrorModeScope() { SetErrorMode(m_old); }
    ErrorModeScope(const ErrorModeScope&) = delete;
    ErrorModeScope& operator=(const ErrorModeScope&) = delete;

private:
    UINT m_old;
};

HANDLE OpenForReading(LPCSTR path)
{
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

} // namespace

SECEditLine* SECEditDoc::SplitLines(const char* pText, int nLength, SECEditLine** ppTail, int* pCount)
{
    SECEditLine* head = nullptr;
    SECEditLine* tail = nullptr;
    int count = 0;
    bool cutTold = false;
    const int limit = SECEDIT_MAX_WIDTH - m_nLineEndLength;
    const char* p = pText;
    const char* end = pText + nLength;
    const char* nextLf = nullptr;
    const char* nextCr = nullptr;
    while (p < end) {
        // The next CR or LF, each found by memchr and remembered until passed: the scan that a
        // page of megabytes spends its time in.
        if (nextLf == nullptr || nextLf < p) {
            const void* hit = std::memchr(p, '\n', static_cast<size_t>(end - p));
            nextLf = hit != nullptr ? static_cast<const char*>(hit) : end;
        }
        if (nextCr == nullptr || nextCr < p) {
            const void* hit = std::memchr(p, '\r', static_cast<size_t>(end - p));
            nextCr = hit != nullptr ? static_cast<const char*>(hit) : end;
        }
        const char* sep = std::min(nextLf, nextCr);
        int sepLength = 0;
        if (sep < end) {
            // The text is whole (a file is read at once), so a CR or LF at its very end is a
            // line end like any other: no line ever holds a stray one.
            if (m_nLineEndLength == 2 && sep + 1 < end && sep[0] == m_szLineEnd[0] && sep[1] == m_szLineEnd[1]) {
                sepLength = 2;
            } else {
                // Any other CR or LF ends a line by itself, so that blank lines of a file with
                // mixed line ends stay lines.
                sepLength = 1;
            }
        }
        int piece = static_cast<int>(sep - p);
        bool cut = false;
        if (static_cast<long long>(std::max(m_nTabSize, 1)) * piece > limit) {
            int fit = editor::FitColumns(p, piece, 0, limit, m_nTabSize);
            if (fit < piece) {
                piece = std::max(fit, 1);
                cut = true;
                if (!cutTold) {
                    cutTold = true;
                    OnLinesCut(SECEDIT_MAX_WIDTH);
                }
            }
        }
        bool withEnd = !cut && sepLength > 0;
        SECEditLine* line = NewLine(piece + m_nLineEndLength + 1);
        if (line == nullptr) {
            FreeChain(head);
            if (ppTail != nullptr)
                *ppTail = nullptr;
            if (pCount != nullptr)
                *pCount = 0;
            return nullptr;
        }
        std::memcpy(line->pText, p, static_cast<size_t>(piece));
        line->nLength = piece;
        if (withEnd) {
            std::memcpy(line->pText + piece, m_szLineEnd, static_cast<size_t>(m_nLineEndLength));
            line->nLength += m_nLineEndLength;
        }
        line->pText[line->nLength] = '\0';
        line->pPrev = tail;
        line->nLineNo = count + 1;   // numbered as made: a load needs no second walk
        if (tail != nullptr)
            tail->pNext = line;
        else
            head = line;
        tail = line;
        ++count;
        p += piece + (withEnd ? sepLength : 0);
    }
    if (ppTail != nullptr)
        *ppTail = tail;
    if (pCount != nullptr)
        *pCount = count;
    return head;
}

int SECEditDoc::ReadFileText(HANDLE hFile, std::string& text)
{
    text.clear();
    DWORD high = 0;
    DWORD size = GetFileSize(hFile, &high);
    if (size != INVALID_FILE_SIZE && high == 0)
        text.reserve(size);
    constexpr DWORD kChunk = 1u << 20;
    for (;;) {
        size_t at = text.size();
        text.resize(at + kChunk);
        DWORD got = 0;
        if (!ReadFile(hFile, text.data() + at, kChunk, &got, nullptr)) {
            text.clear();
            return SECEDIT_CANT_READ;
        }
        text.resize(at + got);
        if (got == 0)
            return 0;
    }
}

int SECEditDoc::LoadFile(LPCSTR lpszPath)
{
    ErrorModeScope errorMode;
    CloseLock();
    HANDLE file = OpenForReading(lpszPath);
    if (file == INVALID_HANDLE_VALUE)
        return static_cast<int>(GetLastError());

    std::string text;
    int rc = ReadFileText(file, text);
    if (rc == 0 && std::memchr(text.data(), '\0', text.size()) != nullptr)
        rc = SECEDIT_NULLS_IN_FILE;
    if (rc == 0 && text.size() > 0x7FFFFFF0u)
        rc = SECEDIT_OUT_OF_MEMORY;   // line lengths and offsets are 32-bit
    if (rc != 0) {
        CloseHandle(file);
        FreeLines();
        m_pFirstLine = NewLine(32);
        m_nLineCount = 1;
        ResetUndo();
        return rc;
    }
    if (!text.empty() && text.back() == '\x1A')
        text.pop_back();
    // The file's own line end wins over the setting; a file without any is taken as CR LF and
    // its text cut into lines of the greatest width.
    int kind = DetectLineEnd(text.data(), static_cast<int>(text.size()));
    SetLineEndType(kind >= 0 ? kind : 0);

    FreeLines();
    int count = 0;
    SECEditLine* tail = nullptr;
    SECEditLine* chain = SplitLines(text.data(), static_cast<int>(text.size()), &tail, &count);
    if (chain == nullptr && !text.empty()) {
        CloseHandle(file);
        m_pFirstLine = NewLine(32);
        m_nLineCount = 1;
        ResetUndo();
        return SECEDIT_OUT_OF_MEMORY;
    }
    m_pFirstLine = chain;
    m_pLastLine = tail;   // lookups near the end start there, with the count as its number
    if (chain == nullptr)
        m_pFirstLine = m_pLastLine = NewLine(32);
    DWORD attributes = GetFileAttributesA(lpszPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        m_bReadOnly = TRUE;
    if (m_bLockFiles)
        m_hLock = file;
    else
        CloseHandle(file);
    m_nLineCount = std::max(count, 1);
    // The undo records spoke of the old text: applying them to this one would corrupt it.
    ResetUndo();
    m_bModified = FALSE;
    return 0;
}

int SECEditDoc::SaveFile(LPCSTR lpszPath)
{
    DWORD attributes = GetFileAttributesA(lpszPath);
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return SECEDIT_READONLY;
    ErrorModeScope errorMode;
    CloseLock();
    // The text replaces the file in one step through a temporary file beside it, so that a
    // failing write (a full disk) leaves the old file as it was rather than cut short.
    std::string text;
    for (SECEditLine* line = m_pFirstLine; line != nullptr; line = line->pNext)
        text.append(line->pText, static_cast<size_t>(line->nLength));
    if (int err = WriteFileAtomically(lpszPath, text, 0644); err != 0)
        return static_cast<int>(ErrnoToLastError(err));
    if (m_bLockFiles) {
        m_hLock = OpenForReading(lpszPath);
        if (m_hLock == INVALID_HANDLE_VALUE) {
            m_hLock = nullptr;
            return static_cast<int>(GetLastError());
        }
    }
    SetModified(FALSE);
    return 0;
}

int SECEditDoc::ReplaceFile(LPCSTR lpszTemporary, LPCSTR lpszTarget)
{
    if (lpszTemporary == nullptr || lpszTarget == nullptr)
        return ERROR_INVALID_PARAMETER;
    // Names are case-sensitive here: only the very same name is nothing to do.
    if (std::strcmp(lpszTemporary, lpszTarget) == 0)
        return 0;
    ErrorModeScope errorMode;
    bool locked = m_hLock != nullptr;
    CloseLock();
    // The new text replaces the old file in one step, so that either stands at every moment;
    // it keeps the old file's mode.
    struct stat st{};
    if (stat(lpszTarget, &st) == 0) {
        if (!(st.st_mode & S_IWUSR))
            return SECEDIT_READONLY;
        chmod(lpszTemporary, st.st_mode & 07777);
    }
    if (std::rename(lpszTemporary, lpszTarget) != 0) {
        int err = errno;
        if (err == ENOENT)
            return SECEDIT_CANT_READ;
        if (err == EACCES || err == EPERM || err == EROFS)
            return SECEDIT_READONLY;
        return static_cast<int>(ErrnoToLastError(err));
    }
    if (locked) {
        m_hLock = OpenForReading(lpszTarget);
        if (m_hLock == INVALID_HANDLE_VALUE) {
            m_hLock = nullptr;
            return static_cast<int>(GetLastError());
        }
    }
    return 0;
}

void SECEditDoc::BeginLoad()
{
    FreeLines();
    m_pFirstLine = m_pLastLine = NewLine(32);
    m_nLineCount = 1;
    m_loadHeld.clear();
    m_bLoadLineEndKnown = false;
    ResetUndo();
}

int SECEditDoc::LoadPiece(const char* pText, int nLength)
{
    if (nLength <= 0)
        return 0;
    if (std::memchr(pText, '\0', static_cast<size_t>(nLength)) != nullptr)
        return SECEDIT_NULLS_IN_FILE;
    m_loadHeld.append(pText, static_cast<size_t>(nLength));
    return AddLoadedLines(false);
}

int SECEditDoc::FinishLoad()
{
    int rc = AddLoadedLines(true);
    m_loadHeld.clear();
    m_loadHeld.shrink_to_fit();
    // A text that ends with its line end leaves the caret a line after it, as an insert does.
    SECEditLine* last = LastLine();
    if (rc == 0 && EndsWithLineEnd(last)) {
        SECEditLine* line = NewLine(32);
        if (line == nullptr)
            return SECEDIT_OUT_OF_MEMORY;
        last->pNext = line;
        line->pPrev = last;
        line->nLineNo = ++m_nLineCount;
        m_pLastLine = line;
    }
    return rc;
}

int SECEditDoc::AddLoadedLines(bool bLast)
{
    const int nHeld = static_cast<int>(m_loadHeld.size());
    // The text's first line end is its kind, as it is for a text inserted whole; one at the very
    // end of what came so far may be the first half of a pair.
    if (!m_bLoadLineEndKnown) {
        const void* lf = std::memchr(m_loadHeld.data(), '\n', m_loadHeld.size());
        const void* cr = std::memchr(m_loadHeld.data(), '\r', m_loadHeld.size());
        const char* first = static_cast<const char*>(cr == nullptr || (lf != nullptr && lf < cr) ? lf : cr);
        if (first != nullptr && (bLast || first + 1 < m_loadHeld.data() + nHeld)) {
            SetLineEndType(DetectLineEnd(m_loadHeld.data(), nHeld));
            m_bLoadLineEndKnown = true;
        } else if (!bLast && nHeld < (4 << 20)) {
            return 0;
        }
    }
    int nTake = nHeld;
    if (!bLast && m_nLineEndLength == 2 && nTake > 0 && m_loadHeld.back() == m_szLineEnd[0])
        --nTake;
    if (nTake == 0)
        return 0;
    SECEditLine* tail = nullptr;
    int count = 0;
    SECEditLine* chain = SplitLines(m_loadHeld.data(), nTake, &tail, &count);
    if (chain == nullptr)
        return SECEDIT_OUT_OF_MEMORY;
    // The last line waits for the rest of its text unless it has its end (a line cut at the
    // greatest width is never the last).
    std::string rest;
    if (!bLast && !EndsWithLineEnd(tail)) {
        rest.assign(tail->pText, static_cast<size_t>(tail->nLength));
        SECEditLine* before = tail->pPrev;
        FreeLine(tail);
        --count;
        if (before == nullptr)
            chain = nullptr;
        else
            before->pNext = nullptr;
        tail = before;
    }
    rest.append(m_loadHeld, static_cast<size_t>(nTake), std::string::npos);
    m_loadHeld = std::move(rest);
    if (chain == nullptr)
        return 0;
    // The lines go after the last one, which is the empty line of an empty document only while
    // nothing came before.
    SECEditLine* last = LastLine();
    int nFirstNo = m_nLineCount + 1;
    if (m_nLineCount == 1 && last->nLength == 0) {
        FreeLine(last);
        m_pFirstLine = chain;
        nFirstNo = 1;
        m_nLineCount = 0;
    } else {
        last->pNext = chain;
        chain->pPrev = last;
    }
    for (SECEditLine* line = chain; line != nullptr; line = line->pNext)
        line->nLineNo = nFirstNo++;
    m_nLineCount += count;
    m_pLastLine = tail;
    m_pNearLine = nullptr;
    return 0;
}

int SECEditDoc::InsertFileLines(SECEditPos& pos, LPCSTR lpszPath, BOOL bRecord)
{
    if (m_bReadOnly)
        return SECEDIT_READONLY;
    SECEditDoc scratch(m_pProfile);
    scratch.SetTabSize(m_nTabSize);
    int rc = scratch.LoadFile(lpszPath);
    if (rc != 0)
        return rc;
    SECEditLine* head = scratch.m_pFirstLine;
    if (head->pNext == nullptr && head->nLength == 0)
        return 0;
    // The inserted lines take this document's line end, the last one included, so that they
    // stay whole lines before the position's line.
    SECEditLine* tail = head;
    int count = 0;
    for (SECEditLine* line = head; line != nullptr; line = line->pNext) {
        tail = line;
        ++count;
        if (scratch.EndsWithLineEnd(line)) {
            line->nLength -= scratch.m_nLineEndLength;
            line->pText[line->nLength] = '\0';
            AppendLineEnd(line);
        } else if (line->pNext == nullptr) {
            AppendLineEnd(line);
        }
    }
    scratch.m_pFirstLine = nullptr;
    scratch.m_nLineCount = 0;
    SECEditLine* before = pos.pLine;
    TouchBlocks(before);
    StaleFrom(before);
    head->pPrev = before->pPrev;
    if (before->pPrev != nullptr)
        before->pPrev->pNext = head;
    else
        m_pFirstLine = head;
    tail->pNext = before;
    before->pPrev = tail;
    m_pStaleLine = head;   // the inserted lines and all below them move down
    m_nLineCount += count;
    pos.pLine = head;
    pos.nOffset = 0;
    const int headNo = LineNo(head);
    if (bRecord)
        Record(SECEDIT_UNDO_INSERTFILE, headNo, 0, headNo + count, 0, lpszPath);
    m_bModified = TRUE;
    if (!bRecord && !m_bApplyingUndo)
        m_nSavePoint = -1;
    return 0;
}
