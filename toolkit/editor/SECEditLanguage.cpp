// The document's language and colour settings: keywords, word rules, comment blocks, colours.
#include "toolkit/editor/SECEditDoc.h"

#include "platform/core/CodePage.h"
#include "platform/core/CrtStrings.h"
#include "platform/core/FileApi.h"
#include "platform/core/SystemServices.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>

namespace {

constexpr int kMaxKeyword = 23;      // longer keywords are looked up in the file itself
constexpr int kMaxWordCopy = 259;
constexpr int kMinTable = 2048;
constexpr int kMaxColourPart = 7;
constexpr int kMaxWordChars = 255;
constexpr int kMaxDelimiter = 15;

char Fold(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

bool IsQuote(char c) { return c == '"' || c == '\''; }

unsigned FullHash(const char* p, int n)
{
    unsigned h = 0;
    for (int i = 0; i < n && i < kMaxWordCopy; ++i)
        h = h * 33u + static_cast<unsigned>(static_cast<int>(static_cast<signed char>(p[i])));
    return h;
}

void CopyDelimiter(char (&field)[16], const CString& value)
{
    std::string text = static_cast<LPCSTR>(value);
    if (text.size() > kMaxDelimiter)
        text.resize(kMaxDelimiter);
    std::memcpy(field, text.c_str(), text.size() + 1);
}

// The lines of one INI section of an in-memory image: calls back with each key and value.
template <class F>
void ForEachKey(const std::string& image, const char* section, F&& f)
{
    bool inSection = false;
    size_t pos = 0;
    while (pos < image.size()) {
        size_t eol = image.find_first_of("\r\n", pos);
        if (eol == std::string::npos)
            eol = image.size();
        std::string_view line(image.data() + pos, eol - pos);
        pos = eol + 1;
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos)
            continue;
        line.remove_prefix(first);
        if (line[0] == '[') {
            size_t close = line.find(']');
            inSection = close != std::string_view::npos
                && AsciiEqualNoCase(line.substr(1, close - 1), section);
            continue;
        }
        if (!inSection || line[0] == ';')
            continue;
        size_t eq = line.find('=');
        std::string_view key = line.substr(0, eq);
        while (!key.empty() && (key.back() == ' ' || key.back() == '\t'))
            key.remove_suffix(1);
        std::string_view value = eq == std::string_view::npos ? std::string_view() : line.substr(eq + 1);
        while (!value.empty() && (value.front() == ' ' || value.front() == '\t'))
            value.remove_prefix(1);
        while (!value.empty() && (value.back() == ' ' || value.back() == '\t'))
            value.remove_suffix(1);
        if (!key.empty() && f(key, value))
            return;
    }
}

} // namespace

CString SECEditDoc::FormatColor(COLORREF color)
{
    char text[48];
    std::snprintf(text, sizeof text, "%d,%d,%d", static_cast<int>(color & 0xFF),
                  static_cast<int>((color >> 8) & 0xFF), static_cast<int>((color >> 16) & 0xFF));
    return CString(text);
}

COLORREF SECEditDoc::ParseColor(const char* pText)
{
    int parts[3] = {0, 0, 0};
    const char* p = pText != nullptr ? pText : "";
    for (int i = 0; i < 3 && *p != '\0'; ++i) {
        const char* comma = std::strchr(p, ',');
        size_t n = comma != nullptr ? static_cast<size_t>(comma - p) : std::strlen(p);
        char part[kMaxColourPart + 1] = {};
        std::memcpy(part, p, std::min<size_t>(n, kMaxColourPart));
        parts[i] = std::atoi(part) & 0xFF;
        if (comma == nullptr)
            break;
        p = comma + 1;
    }
    return static_cast<COLORREF>(parts[0] | (parts[1] << 8) | (parts[2] << 16));
}

void SECEditDoc::LoadLanguageSettings()
{
    std::string name = static_cast<LPCSTR>(ProfileString("Keywords", "Default.ini"));
    m_bChroma = static_cast<BOOL>(ProfileInt("Chroma", 0));
    m_crComment = ParseColor(ProfileString("Comment", "0,128,0"));
    m_crKeyword = ParseColor(ProfileString("Keyword", "0,0,255"));
    m_crQuote = ParseColor(ProfileString("Quote", "255,0,0"));
    m_crText = ParseColor(ProfileString("Default Text", "0,0,0"));
    m_crBackground = ParseColor(ProfileString("Background", "255,255,255"));
    // A fresh device context draws text in black.
    m_crSQuote = ParseColor(ProfileString("SQuote", FormatColor(0)));
    CopyDelimiter(m_szCommentStart1, ProfileString("Comment Start 1", ""));
    CopyDelimiter(m_szCommentStart2, ProfileString("Comment Start 2", ""));
    CopyDelimiter(m_szCommentEnd1, ProfileString("Comment End 1", ""));
    CopyDelimiter(m_szCommentEnd2, ProfileString("Comment End 2", ""));
    m_bAutoindent = static_cast<BOOL>(ProfileInt("Autoindent", 1));
    // Other delimiters: every cached block state is stale.
    ++m_nBlockStamp;
    TouchBlocks(nullptr);
    m_bCase = static_cast<BOOL>(ProfileInt("Case", 0));

    struct stat st{};
    if (!name.empty() && stat(name.c_str(), &st) == 0 && S_ISREG(st.st_mode)) {
        m_strKeywordFile = MakeFullPath(name);
    } else {
        char module[_MAX_PATH] = {};
        GetModuleFileName(nullptr, module, sizeof module);
        char dir[_MAX_DIR];
        _splitpath(module, nullptr, dir, nullptr, nullptr);
        char path[_MAX_PATH];
        _makepath(path, nullptr, dir, name.c_str(), nullptr);
        m_strKeywordFile = path;
    }
    ReadWordChars();
    LoadKeywordFile();
}

void SECEditDoc::ReadWordChars()
{
    if (m_strSection.empty())
        return;
    m_extraWordChars.fill(0);
    m_terminatorChars.fill(0);
    m_startChars.fill(0);
    auto fill = [this](LPCSTR key, std::array<unsigned char, 256>& table) {
        std::string value = static_cast<LPCSTR>(ProfileString(key, ""));
        if (value.size() > kMaxWordChars)
            value.resize(kMaxWordChars);
        for (char c : value)
            table[static_cast<unsigned char>(c)] = static_cast<unsigned char>(c);
    };
    fill("Extra word chars", m_extraWordChars);
    fill("Terminator chars", m_terminatorChars);
    fill("Start chars", m_startChars);
}

BOOL SECEditDoc::LoadKeywordFile()
{
    m_keywords.clear();
    m_keywordImage.clear();
    m_bHasKeywordImage = false;
    HANDLE file = CreateFileA(m_strKeywordFile.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        m_bChroma = FALSE;
        return FALSE;
    }
    int rc = ReadFileText(file, m_keywordImage);
    CloseHandle(file);
    if (rc != 0) {
        m_keywordImage.clear();
        m_bChroma = FALSE;
        return FALSE;
    }
    m_bHasKeywordImage = true;

    std::vector<std::string> keys;
    auto collect = [&keys](std::string_view key, std::string_view) {
        keys.emplace_back(key);
        return false;
    };
    ForEachKey(m_keywordImage, "Keywords", collect);
    if (keys.empty()) {
        char base[_MAX_FNAME];
        _splitpath(m_strKeywordFile.c_str(), nullptr, nullptr, base, nullptr);
        ForEachKey(m_keywordImage, base, collect);
    }
    if (keys.empty()) {
        m_bChroma = FALSE;
        return FALSE;
    }
    // The table is sized from the key count, at least twice as large, so that a probe always
    // meets an empty entry.
    size_t size = kMinTable;
    while (size < keys.size() * 2)
        size *= 2;
    m_keywords.assign(size, Keyword{});
    for (std::string& key : keys) {
        if (key.size() > kMaxKeyword)
            continue;
        if (!m_bCase)
            _strupr(key.data());
        size_t slot = FullHash(key.data(), static_cast<int>(key.size())) & (size - 1);
        while (!m_keywords[slot].strText.empty()) {
            if (m_keywords[slot].strText == key)
                break;
            slot = (slot + 1) & (size - 1);
        }
        m_keywords[slot].strText = key;
    }
    return TRUE;
}

BOOL SECEditDoc::IsWordChar(unsigned char ch) const
{
    // Bytes of multibyte characters belong to words.
    return ch >= 0x80 || IsCharAlphaNumericA(static_cast<CHAR>(ch)) || m_extraWordChars[ch] != 0;
}

const char* SECEditDoc::NextWord(const char* pText, int nLength, int* pWordLength) const
{
    *pWordLength = 0;
    while (nLength > 0 && (pText[nLength - 1] == '\r' || pText[nLength - 1] == '\n'))
        --nLength;
    if (nLength < 2)
        return nullptr;
    const char* p = pText;
    const char* end = pText + nLength;
    auto inWord = [this](char c) { return c == '_' || IsWordChar(static_cast<unsigned char>(c)); };
    while (p < end && !inWord(*p))
        ++p;
    if (p == end)
        return nullptr;
    const char* word = p;
    while (p < end && inWord(*p)) {
        auto c = static_cast<unsigned char>(*p);
        if (p > word && m_startChars[c] != 0)
            break;
        ++p;
        if (m_terminatorChars[c] != 0)
            break;
    }
    *pWordLength = static_cast<int>(p - word);
    return word;
}

int SECEditDoc::HashWord(const char* pText, int nLength)
{
    return static_cast<int>(FullHash(pText, nLength) & 2047u);
}

int SECEditDoc::GetIniString(const char* pSection, const char* pKey, std::string& value,
                             const char* pDefault) const
{
    value = pDefault != nullptr ? pDefault : "";
    if (!m_bHasKeywordImage)
        return static_cast<int>(value.size());
    ForEachKey(m_keywordImage, pSection, [&](std::string_view key, std::string_view v) {
        if (!AsciiEqualNoCase(key, pKey))
            return false;
        value.assign(v);
        return true;
    });
    return static_cast<int>(value.size());
}

COLORREF SECEditDoc::GetKeywordColor(const char* pKeyword)
{
    std::string name;
    GetIniString("Keywords", pKeyword, name, "1");
    std::string colour;
    GetIniString("Colors", name.c_str(), colour, "godzilla");
    if (colour == "godzilla")
        return m_crKeyword;
    return ParseColor(colour.c_str());
}

BOOL SECEditDoc::FindKeyword(const char** ppText, int* pStart, int* pEnd)
{
    if (m_keywords.empty() && !LoadKeywordFile())
        return FALSE;
    const char* origin = *ppText;
    const char* p = origin;
    int remaining = static_cast<int>(std::strlen(p));
    for (;;) {
        int length = 0;
        const char* word = NextWord(p, remaining, &length);
        if (word == nullptr)
            return FALSE;
        std::string copy(word, static_cast<size_t>(std::min(length, kMaxWordCopy)));
        if (!m_bCase)
            _strupr(copy.data());
        Keyword* found = nullptr;
        Keyword fileOnly;
        if (static_cast<int>(copy.size()) < kMaxKeyword) {
            size_t mask = m_keywords.size() - 1;
            size_t start = FullHash(copy.data(), static_cast<int>(copy.size())) & mask;
            for (size_t slot = start;;) {
                Keyword& entry = m_keywords[slot];
                if (entry.strText.empty())
                    break;
                if (entry.strText == copy) {
                    found = &entry;
                    break;
                }
                slot = (slot + 1) & mask;
                if (slot == start)
                    break;
            }
        } else {
            std::string value;
            GetIniString("Keywords", copy.c_str(), value, "");
            if (!value.empty()) {
                fileOnly.strText = copy;
                found = &fileOnly;
            }
        }
        if (found == nullptr) {
            remaining -= static_cast<int>(word + length - p);
            p = word + length;
            continue;
        }
        *pStart = static_cast<int>(word - origin);
        *pEnd = *pStart + length;
        *ppText = word;
        if (!found->bKnown) {
            found->color = GetKeywordColor(std::string(word, static_cast<size_t>(length)).c_str());
            found->bKnown = true;
        }
        m_crCurrentKeyword = found->color;
        return TRUE;
    }
}

int SECEditDoc::FindNoCase(const char* pPattern, const char* pBuffer, int nLength) const
{
    int m = static_cast<int>(std::strlen(pPattern));
    if (m == 0 || m > nLength)
        return -1;
    for (int i = 0; i + m <= nLength; ++i) {
        int k = 0;
        if (m_bCase) {
            while (k < m && pBuffer[i + k] == pPattern[k])
                ++k;
        } else {
            while (k < m && Fold(pBuffer[i + k]) == Fold(pPattern[k]))
                ++k;
        }
        if (k == m)
            return i;
    }
    return -1;
}

int SECEditDoc::FindLast(const char* pPattern, const char* pBuffer, int nLength)
{
    int m = static_cast<int>(std::strlen(pPattern));
    if (m == 0 || m > nLength)
        return -1;
    for (int i = nLength - m; i >= 0; --i) {
        if (std::memcmp(pBuffer + i, pPattern, static_cast<size_t>(m)) == 0)
            return i;
    }
    return -1;
}

BOOL SECEditDoc::IsInQuotes(const char* pText, int nPosition)
{
    int quotes = 0;
    for (int i = 0; i < nPosition && pText[i] != '\0'; ++i) {
        if (!IsQuote(pText[i]))
            continue;
        if (quotes > 0 && i > 0 && pText[i - 1] == '\\')
            continue;
        ++quotes;
    }
    if (quotes % 2 == 0)
        return FALSE;
    int length = static_cast<int>(std::strlen(pText));
    for (int i = nPosition; i < length; ++i) {
        if (IsQuote(pText[i]) && !(i > 0 && pText[i - 1] == '\\'))
            return TRUE;
    }
    return FALSE;
}

int SECEditDoc::AddBlockPair(const char* pStart, const char* pEnd)
{
    if (pStart == nullptr || *pStart == '\0' || std::strcmp(pStart, m_szCommentStart1) == 0
        || std::strcmp(pStart, m_szCommentStart2) == 0)
        return -1;
    for (const SECEditBlockPair& pair : m_blockPairs) {
        if (pair.strStart == pStart)
            return -1;
    }
    m_blockPairs.push_back({pStart, pEnd != nullptr ? pEnd : ""});
    ++m_nBlockStamp;
    TouchBlocks(nullptr);
    return static_cast<int>(m_blockPairs.size()) - 1 + 3;
}

int SECEditDoc::FindBlockStart(const char* pText, int nLength, int* pClass)
{
    int best = -1;
    int bestClass = 0;
    auto consider = [&](const char* opener, int cls) {
        if (opener == nullptr || *opener == '\0')
            return;
        int at = FindNoCase(opener, pText, nLength);
        if (at >= 0 && (best < 0 || at < best)) {
            best = at;
            bestClass = cls;
        }
    };
    consider(m_szCommentStart1, 1);
    consider(m_szCommentStart2, 2);
    for (size_t i = 0; i < m_blockPairs.size(); ++i)
        consider(m_blockPairs[i].strStart.c_str(), static_cast<int>(i) + 3);
    if (best < 0)
        return -1;
    std::string piece(pText, static_cast<size_t>(nLength));
    if (IsInQuotes(piece.c_str(), best))
        return -1;
    if (pClass != nullptr)
        *pClass = bestClass;
    return best;
}

int SECEditDoc::FindBlockEnd(const char* pText, int nLength, int nClass)
{
    const char* closer = nClass == 1 ? m_szCommentEnd1
        : nClass == 2 ? m_szCommentEnd2
        : (nClass >= 3 && nClass - 3 < static_cast<int>(m_blockPairs.size()))
            ? m_blockPairs[static_cast<size_t>(nClass - 3)].strEnd.c_str() : "";
    int m = static_cast<int>(std::strlen(closer));
    if (m == 0) {
        m_bBlockOpen = FALSE;
        return nLength;
    }
    int at = m > nLength ? -1 : FindNoCase(closer, pText, nLength);
    if (at >= 0 && nClass == 2) {
        std::string piece(pText, static_cast<size_t>(nLength));
        if (IsInQuotes(piece.c_str(), at))
            at = -1;
    }
    if (at < 0) {
        m_bBlockOpen = TRUE;
        return nLength;
    }
    m_bBlockOpen = FALSE;
    return at + m;
}

BOOL SECEditDoc::IsInBlock(const SECEditLine* pLine, const char* pOpener, const char* pCloser,
                           const char* pLineComment)
{
    if (pLine == nullptr || pOpener == nullptr || *pOpener == '\0' || pCloser == nullptr
        || *pCloser == '\0')
        return FALSE;
    int openLength = static_cast<int>(std::strlen(pOpener));
    bool lineComments = pLineComment != nullptr && *pLineComment != '\0';
    const SECEditLine* line = pLine->pPrev;
    int opener = -1;
    for (; line != nullptr; line = line->pPrev) {
        if (line->nLength == 0)
            return FALSE;
        const char* text = line->pText;
        int length = TextLength(line);
        // The last opener outside quotes, and not behind a line comment.
        int limit = length;
        int comment = -1;
        if (lineComments) {
            for (int from = 0;;) {
                int at = FindNoCase(pLineComment, text + from, length - from);
                if (at < 0)
                    break;
                if (!IsInQuotes(text, from + at)) {
                    comment = from + at;
                    break;
                }
                from += at + 1;
            }
        }
        if (comment >= 0)
            limit = comment;
        for (int end = limit; end > 0;) {
            int at = FindLast(pOpener, text, end);
            if (at < 0)
                break;
            if (!IsInQuotes(text, at)) {
                opener = at;
                break;
            }
            end = at + openLength - 1;
        }
        if (opener >= 0)
            break;
    }
    if (opener < 0 || line == nullptr)
        return FALSE;
    // Closed on its own line?
    for (int from = opener + openLength;;) {
        int length = TextLength(line);
        int at = FindNoCase(pCloser, line->pText + from, length - from);
        if (at < 0)
            break;
        if (!IsInQuotes(line->pText, from + at))
            return FALSE;
        from += at + 1;
    }
    for (const SECEditLine* l = line->pNext; l != nullptr && l != pLine; l = l->pNext) {
        if (l->nLength == 0)
            return FALSE;
        int length = TextLength(l);
        for (int from = 0;;) {
            int at = FindNoCase(pCloser, l->pText + from, length - from);
            if (at < 0)
                break;
            if (!IsInQuotes(l->pText, from + at))
                return FALSE;
            from += at + 1;
        }
    }
    return TRUE;
}

void SECEditDoc::TouchBlocks(const SECEditLine* pLine)
{
    // A line's start state depends only on the lines above it: the changed line keeps its own.
    const int through = pLine != nullptr ? LineNo(pLine) : 0;
    if (through < m_nBlockValid)
        m_nBlockValid = through;
}

DWORD SECEditDoc::BlockStep(DWORD dwState, const SECEditLine* pLine)
{
    struct Kind {
        const char* opener;
        const char* closer;
        const char* lineComment;
    };
    const size_t pairs = std::min<size_t>(m_blockPairs.size(), 30);
    DWORD next = 0;
    for (size_t k = 0; k < pairs + 2; ++k) {
        Kind kind = k == 0 ? Kind{m_szCommentStart1, m_szCommentEnd1, m_szCommentEnd2[0] == '\0' ? m_szCommentStart2 : nullptr}
            : k == 1 ? Kind{m_szCommentStart2, m_szCommentEnd2, m_szCommentEnd1[0] == '\0' ? m_szCommentStart1 : nullptr}
                     : Kind{m_blockPairs[k - 2].strStart.c_str(), m_blockPairs[k - 2].strEnd.c_str(), nullptr};
        const DWORD bit = 1u << k;
        if (kind.opener == nullptr || *kind.opener == '\0' || kind.closer == nullptr || *kind.closer == '\0'
            || pLine->nLength == 0)
            continue;
        // The same reading of one line as the backward walk: its last opener outside quotes and
        // before a line comment, and whether a closer outside quotes follows it.
        const char* text = pLine->pText;
        const int length = TextLength(pLine);
        const int openLength = static_cast<int>(std::strlen(kind.opener));
        int limit = length;
        if (kind.lineComment != nullptr && *kind.lineComment != '\0') {
            for (int from = 0;;) {
                int at = FindNoCase(kind.lineComment, text + from, length - from);
                if (at < 0)
                    break;
                if (!IsInQuotes(text, from + at)) {
                    limit = from + at;
                    break;
                }
                from += at + 1;
            }
        }
        int opener = -1;
        for (int end = limit; end > 0;) {
            int at = FindLast(kind.opener, text, end);
            if (at < 0)
                break;
            if (!IsInQuotes(text, at)) {
                opener = at;
                break;
            }
            end = at + openLength - 1;
        }
        auto closedFrom = [&](int from) {
            for (;;) {
                int at = FindNoCase(kind.closer, text + from, length - from);
                if (at < 0)
                    return false;
                if (!IsInQuotes(text, from + at))
                    return true;
                from += at + 1;
            }
        };
        if (opener >= 0) {
            if (!closedFrom(opener + openLength))
                next |= bit;
        } else if ((dwState & bit) != 0 && !closedFrom(0)) {
            next |= bit;
        }
    }
    return next;
}

BOOL SECEditDoc::GetLineBlockClass(const SECEditLine* pLine, int* pClass)
{
    if (pLine == nullptr)
        return FALSE;
    if (m_blockPairs.size() > 30) {
        // More pairs than the state has bits: walk back, as a line of its own would.
        if (IsInBlock(pLine, m_szCommentStart1, m_szCommentEnd1,
                      m_szCommentEnd2[0] == '\0' ? m_szCommentStart2 : nullptr)) {
            *pClass = 1;
            return TRUE;
        }
        if (IsInBlock(pLine, m_szCommentStart2, m_szCommentEnd2,
                      m_szCommentEnd1[0] == '\0' ? m_szCommentStart1 : nullptr)) {
            *pClass = 2;
            return TRUE;
        }
        for (size_t i = 0; i < m_blockPairs.size(); ++i) {
            if (IsInBlock(pLine, m_blockPairs[i].strStart.c_str(), m_blockPairs[i].strEnd.c_str(), nullptr)) {
                *pClass = static_cast<int>(i) + 3;
                return TRUE;
            }
        }
        return FALSE;
    }
    // Every line from the top through this one carries its right number from here on.
    NumberThrough(pLine);
    auto known = [this](const SECEditLine* line) {
        return line->nBlockStamp == m_nBlockStamp && line->nLineNo <= m_nBlockValid;
    };
    // Up to the nearest line whose start state is known (the first line starts outside).
    const SECEditLine* from = pLine;
    while (from->pPrev != nullptr && !known(from))
        from = from->pPrev;
    DWORD state = from->pPrev == nullptr && !known(from) ? 0 : from->dwBlockState;
    auto* line = const_cast<SECEditLine*>(from);
    line->dwBlockState = state;
    line->nBlockStamp = m_nBlockStamp;
    while (line != pLine) {
        state = BlockStep(state, line);
        line = line->pNext;
        line->dwBlockState = state;
        line->nBlockStamp = m_nBlockStamp;
    }
    if (pLine->nLineNo > m_nBlockValid && from->nLineNo <= m_nBlockValid + 1)
        m_nBlockValid = pLine->nLineNo;
    if (state == 0)
        return FALSE;
    for (int k = 0; k < 32; ++k) {
        if (state & (1u << k)) {
            *pClass = k + 1;
            return TRUE;
        }
    }
    return FALSE;
}
