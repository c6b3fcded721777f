// The document search behind find and replace: plain or regular-expression patterns, forwards
// or backwards over the lines, and replacing every match.
#include "toolkit/editor/SECEditDoc.h"

#include "platform/core/CrtStrings.h"
#include "toolkit/editor/SECEditRegExp.h"
#include "toolkit/editor/Utf8Cells.h"

#include <algorithm>
#include <cstring>

int SECEditDoc::FindFirstOf(const char* pPattern, const char* pText, int nLength)
{
    size_t m = std::strlen(pPattern);
    if (m == 0)
        return -1;
    for (int i = 0; i < nLength;) {
        const void* hit = std::memchr(pText + i, pPattern[0], static_cast<size_t>(nLength - i));
        if (hit == nullptr)
            return -1;
        int at = static_cast<int>(static_cast<const char*>(hit) - pText);
        if (std::strncmp(pText + at, pPattern, m) == 0)
            return at;
        i = at + 1;
    }
    return -1;
}

int SECEditDoc::FindLastOf(const char* pPattern, const char* pText, int nLength)
{
    size_t m = std::strlen(pPattern);
    if (m == 0)
        return -1;
    for (int i = nLength - 1; i >= 0; --i) {
        if (pText[i] == pPattern[0] && std::strncmp(pText + i, pPattern, m) == 0)
            return i;
    }
    return -1;
}

// Searches one line's text between two offsets. pPiece is the whole line (so that "^" and "$"
// keep meaning its start and end wherever the search begins).
bool SECEditDoc::SearchPiece(const char* pPiece, int nLength, int nFrom, int nLimit,
                             SECEditSearch& request, SECEditRegExp* pRegExp, bool bForward,
                             int* pOffset, int* pMatch)
{
    const std::string& pattern = request.strPattern;
    bool wholeWord = (request.nFlags & SECEDIT_SEARCH_WHOLEWORD) != 0;
    auto wordAt = [&](int i) {
        if (i < 0 || i >= nLength)
            return false;
        auto c = static_cast<unsigned char>(pPiece[i]);
        return c == '_' || IsWordChar(c);
    };
    auto acceptable = [&](int at, int length) {
        return !wholeWord || (!wordAt(at - 1) && !wordAt(at + length) && length > 0);
    };
    int best = -1;
    int bestLength = 0;
    if (pRegExp != nullptr) {
        for (int pos = nFrom; pos <= nLength;) {
            int at = pRegExp->Find(pPiece, pos);
            if (at < 0 || at > nLimit)
                break;
            int length = pRegExp->GetMatchLength();
            if (bForward) {
                if (acceptable(at, length)) {
                    best = at;
                    bestLength = length;
                    break;
                }
            } else if (at + length <= nLimit && acceptable(at, length)) {
                best = at;
                bestLength = length;
            }
            pos = at + 1;
        }
    } else {
        int m = static_cast<int>(pattern.size());
        if (bForward) {
            for (int pos = nFrom; pos < nLimit;) {
                int at = FindFirstOf(pattern.c_str(), pPiece + pos, nLimit - pos);
                if (at < 0)
                    break;
                at += pos;
                if (acceptable(at, m)) {
                    best = at;
                    break;
                }
                pos = at + 1;
            }
        } else {
            for (int end = nLimit; end > nFrom;) {
                int at = FindLastOf(pattern.c_str(), pPiece + nFrom, end - nFrom);
                if (at < 0)
                    break;
                at += nFrom;
                if (acceptable(at, m)) {
                    best = at;
                    break;
                }
                end = at;
            }
        }
        bestLength = m;
    }
    if (best < 0)
        return false;
    *pOffset = best;
    *pMatch = bestLength;
    return true;
}

BOOL SECEditDoc::Search(SECEditPos& from, const SECEditPos& limit, SECEditSearch& request)
{
    if (from.pLine == nullptr || request.strPattern.empty())
        return FALSE;
    bool matchCase = (request.nFlags & SECEDIT_SEARCH_MATCHCASE) != 0;
    bool forward = (request.nFlags & SECEDIT_SEARCH_FORWARD) != 0;
    bool regular = (request.nFlags & SECEDIT_SEARCH_REGEXP) != 0;
    SECEditSearch lowered = request;
    if (!matchCase)
        _strlwr(lowered.strPattern.data());
    SECEditRegExp regexp;
    if (regular && regexp.Compile(lowered.strPattern.c_str()) == nullptr)
        return FALSE;
    int startOffset = std::min(std::max(0, from.nOffset), from.pLine->nLength);
    std::string piece;
    for (SECEditLine* line = from.pLine; line != nullptr;
         line = forward ? line->pNext : line->pPrev) {
        piece.assign(line->pText, static_cast<size_t>(line->nLength));
        if (!matchCase)
            _strlwr(piece.data());
        int length = line->nLength;
        if (regular) {
            // A regular expression sees the line without its line end, so "$" is its end.
            size_t cut = piece.find_first_of("\r\n");
            if (cut != std::string::npos) {
                piece.resize(cut);
                length = static_cast<int>(cut);
            }
        }
        int begin = 0;
        int end = length;
        if (line == from.pLine) {
            if (forward)
                begin = std::min(startOffset, length);
            else
                end = std::min(startOffset, length);
        }
        if (line == limit.pLine) {
            if (forward)
                end = std::min(end, std::max(begin, limit.nOffset));
            else if (line == from.pLine && limit.nOffset < end)
                begin = std::max(0, limit.nOffset);
        }
        int at = -1;
        int match = 0;
        if (begin <= end
            && SearchPiece(piece.c_str(), length, begin, end, lowered, regular ? &regexp : nullptr,
                           forward, &at, &match)) {
            from.pLine = line;
            from.nOffset = at;
            request.nMatchLength = match;
            if (regular) {
                // Matched on the folded copy, whose offsets are the text's: the replacement
                // takes the groups' bytes from the text itself.
                regexp.Find(piece.c_str(), at);
                regexp.ExpandFrom(request.strReplace.c_str(), line->pText, request.strExpanded);
            }
            return TRUE;
        }
        if (forward && line == limit.pLine)
            break;
    }
    return FALSE;
}

int SECEditDoc::ReplaceAll(SECEditSearch& request, LPCSTR lpszReplace)
{
    if (m_bReadOnly)
        return 0;
    bool regular = (request.nFlags & SECEDIT_SEARCH_REGEXP) != 0;
    if (regular) {
        std::string pattern = request.strPattern;
        if (!(request.nFlags & SECEDIT_SEARCH_MATCHCASE))
            _strlwr(pattern.data());
        SECEditRegExp probe;
        if (probe.Compile(pattern.c_str()) == nullptr)
            return -1;
    }
    request.nFlags |= SECEDIT_SEARCH_FORWARD;
    request.strReplace = lpszReplace != nullptr ? lpszReplace : "";
    // Replacements stay within their lines, so the last line stays the last.
    SECEditPos limit{GetLine(m_nLineCount), 0x7FFFFFFF};
    SECEditPos pos{m_pFirstLine, 0};
    int count = 0;
    BeginUndoGroup(TRUE);
    // One pass from the first line to the last: each search starts after the previous
    // replacement, and an empty match steps one character on, so the pass always ends.
    while (Search(pos, limit, request)) {
        SECEditLine* line = pos.pLine;
        int at = pos.nOffset;
        int match = request.nMatchLength;
        const std::string& replacement = regular ? request.strExpanded : request.strReplace;
        int textLen = TextLength(line);
        int next = at;
        bool fits = at + match <= textLen;   // a match that takes a line end is left alone
        if (fits) {
            editor::ColumnCounter counter{m_nTabSize};
            counter.Feed(line->pText, at);
            counter.Feed(replacement.data(), static_cast<int>(replacement.size()));
            counter.Feed(line->pText + at + match, textLen - at - match);
            fits = counter.column <= SECEDIT_MAX_WIDTH - m_nLineEndLength;
        }
        if (fits && (match > 0 || !replacement.empty())) {
            SECEditPos p{line, at};
            if (match > 0)
                DeleteChars(p, match, TRUE);
            if (!replacement.empty()) {
                InsertBytes(line, at, replacement.data(), static_cast<int>(replacement.size()));
                Record(SECEDIT_UNDO_INSERTTEXT, LineNo(line), at, LineNo(line),
                       at + static_cast<int>(replacement.size()), replacement.data(),
                       static_cast<int>(replacement.size()));
                m_bModified = TRUE;
            }
            ++count;
            next = at + static_cast<int>(replacement.size());
        } else if (!fits) {
            next = at + std::max(match, 1);
        }
        if (match == 0 || !fits) {
            // Step past one whole character, so an empty match is never found twice.
            int len = TextLength(line);
            if (next < len)
                next += match == 0 ? editor::SequenceAt(line->pText + next, line->pText + len) : 0;
            else
                next = len + 1;
        }
        if (next > TextLength(line)) {
            if (line->pNext == nullptr)
                break;
            pos = SECEditPos{line->pNext, 0};
        } else {
            pos = SECEditPos{line, next};
        }
    }
    BeginUndoGroup(FALSE);
    return count;
}
