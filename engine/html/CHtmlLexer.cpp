#include "engine/html/CHtmlLexer.h"

#include "engine/html/HtmlEntities.h"
#include "engine/html/RawTextElements.h"
#include "platform/core/CException.h"
#include "platform/core/CFile.h"
#include "platform/core/CFileException.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>
#include <string_view>
#include <utility>
#include <strings.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

IMPLEMENT_DYNAMIC(CHtmlLexer, CObject)

namespace {

constexpr size_t kInitialBufferSize = 2048;
constexpr size_t kReadChunk = 8192;
constexpr size_t kMaxBufferSize = CHtmlLexer::kMaxTokenSize;

constexpr LPCSTR kReadFailed = "input in flex scanner failed";
constexpr LPCSTR kNoMemory = "out of dynamic memory in yy_create_buffer()";
constexpr LPCSTR kOverflow = "fatal error - scanner input buffer overflow";
constexpr LPCSTR kNoAction = "fatal flex scanner internal error--no action found";
constexpr LPCSTR kEndOfBufferMissed = "fatal flex scanner internal error--end of buffer missed";

bool IsLetter(int c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

bool IsLexerSpace(int c)
{
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

int ToUpperAscii(int c)
{
    return (c >= 'a' && c <= 'z') ? c - 'a' + 'A' : c;
}

// SVG and MathML: the elements whose content is a picture's or a formula's, not the page's.
bool IsPictureName(LPCSTR pszName, int nLength)
{
    return (nLength == 3 && strncasecmp(pszName, "SVG", 3) == 0) || (nLength == 4 && strncasecmp(pszName, "MATH", 4) == 0);
}

// The conditions whose content is an element's text up to its own end tag.
bool IsRawTextState(int nState)
{
    return nState == CHtmlLexer::condPlainText || nState == CHtmlLexer::condScript || nState == CHtmlLexer::condRawText;
}

// Byte classes for the runs the rules scan, one bit per way a run can stop.
enum : unsigned {
    kClsSpace = 1u << 0,       // blank, tab, carriage return, line feed
    kClsNotName = 1u << 1,     // not a letter, digit, "-" or "."
    kClsTextStop = 1u << 2,    // ends a text run: "<", "&" and whitespace
    kClsValueStop = 1u << 3,   // ends an unquoted value: whitespace, ">" and quotes
    kClsQuotedStop = 1u << 4,  // ends a run of a quoted value: carriage return, line feed, "&"
    kClsLess = 1u << 5,        // "<"
    kClsGreater = 1u << 6,     // ">"
    kClsDouble = 1u << 7,      // the double quote
    kClsSingle = 1u << 8,      // the single quote
    kClsNotSpace = 1u << 9,    // anything but whitespace
    kClsNotDigit = 1u << 10,   // anything but a decimal digit
    kClsNotAlnum = 1u << 11,   // anything but a letter or digit
};

struct ByteClasses {
    unsigned short bits[256];
};

constexpr ByteClasses BuildClasses()
{
    ByteClasses table{};
    for (int c = 0; c < 256; ++c) {
        unsigned bits = 0;
        const bool space = c == ' ' || c == '\t' || c == '\r' || c == '\n';
        const bool letter = (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
        const bool digit = c >= '0' && c <= '9';
        if (space)
            bits |= kClsSpace | kClsTextStop | kClsValueStop;
        else
            bits |= kClsNotSpace;
        if (!(letter || digit || c == '-' || c == '.'))
            bits |= kClsNotName;
        if (!digit)
            bits |= kClsNotDigit;
        if (!(letter || digit))
            bits |= kClsNotAlnum;
        if (c == '<')
            bits |= kClsTextStop | kClsLess;
        if (c == '&')
            bits |= kClsTextStop | kClsQuotedStop;
        if (c == '>')
            bits |= kClsValueStop | kClsGreater;
        if (c == '"')
            bits |= kClsValueStop | kClsDouble;
        if (c == '\'')
            bits |= kClsValueStop | kClsSingle;
        if (c == '\r' || c == '\n')
            bits |= kClsQuotedStop;
        table.bits[c] = static_cast<unsigned short>(bits);
    }
    return table;
}

constinit const ByteClasses g_classes = BuildClasses();

// The offset of the first byte of [p, p + n) that ends a text run ("<", "&" or whitespace), n
// when none does. Sixteen bytes at a time where the processor allows, since text runs are the
// bulk of a page.
size_t FindTextStop(const char* p, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i lt = _mm_set1_epi8('<');
    const __m128i amp = _mm_set1_epi8('&');
    const __m128i blank = _mm_set1_epi8(' ');
    const __m128i tab = _mm_set1_epi8('\t');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i lf = _mm_set1_epi8('\n');
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
        const __m128i hit = _mm_or_si128(
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, lt), _mm_cmpeq_epi8(v, amp)), _mm_cmpeq_epi8(v, blank)),
            _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, tab), _mm_cmpeq_epi8(v, cr)), _mm_cmpeq_epi8(v, lf)));
        const int mask = _mm_movemask_epi8(hit);
        if (mask != 0)
            return i + static_cast<size_t>(__builtin_ctz(static_cast<unsigned>(mask)));
    }
#endif
    while (i < n && (g_classes.bits[static_cast<unsigned char>(p[i])] & kClsTextStop) == 0)
        ++i;
    return i;
}

// What the matched token is, in the order the actions are listed.
enum class Rule : unsigned char {
    Text,           // OnText with the token
    Whitespace,     // OnWhitespace
    Markup,         // OnMarkup
    MarkupToText,   // OnMarkup, then condText
    Stray,          // OnStray
    Reference,      // a character reference, decoded to OnText or AppendValueText
    StartTag,       // "<" and a name
    EndTag,         // "</" name blanks ">"
    CommentStart,   // "<!--"
    DeclStart,      // "<!" letters
    ProcStart,      // "<?"
    AttrName,       // name blanks "="
    AttrNoValue,    // a name alone
    TagEnd,         // ">" or "<" inside a tag
    TokenValue,     // name characters as a value
    OtherValue,     // any other unquoted value
    OpenQuote,      // a quote starting a value
    CloseQuote,     // the quote closing a value
    QuotedTagEnd,   // "<" (or ">" in double quotes) cutting a quoted value short
    AppendValue,    // ordinary characters of a quoted value
    PlainTextEnd,   // "</PLAINTEXT>"
    Unmatched,      // one character of PLAINTEXT content
    ScriptText,     // SCRIPT content
    ScriptEnd,      // "</SCRIPT>"
    RawTextEnd,     // the end tag of the element whose text is being read
};

// The kinds of character reference.
constexpr int kRefNumeric = 1; // "&#" digits
constexpr int kRefOther = 2;   // "&#" letters and digits: decoded only as "&#x" hexadecimal
constexpr int kRefNamed = 3;   // "&" name characters

} // namespace

// Sixteen bytes, so that a match comes back in registers. Lengths fit: the buffer never grows
// past what an int can count.
struct CHtmlLexer::Match {
    Match(Rule r, size_t length, size_t nameLength = 0, int nextState = -1)
        : rule(r), nNextState(static_cast<signed char>(nextState)), nLength(static_cast<uint32_t>(length)),
          nNameLength(static_cast<uint32_t>(nameLength))
    {
    }
    Rule rule;
    signed char nNextState; // the condition entered by markup openers
    uint32_t nLength;
    uint32_t nNameLength;   // names inside tags, and the kind of a reference
};

CHtmlLexer::CHtmlLexer(CFile* pInput, CFile* pOutput) : m_pInputFile(pInput), m_pOutputFile(pOutput) {}

CHtmlLexer::~CHtmlLexer()
{
    // A kept read failure that nobody raised still owns its exception object.
    if (m_readError) {
        try {
            std::rethrow_exception(m_readError);
        } catch (CException* e) {
            e->Delete();
        } catch (...) {
        }
    }
}

LPCSTR CHtmlLexer::GetTokenText() const
{
    return m_pBuffer ? m_pBuffer.get() + m_nTokenStart : "";
}

void CHtmlLexer::Fail(LPCSTR pszMessage)
{
    m_bFailed = true;
    m_bEndOfInput = true;
    OnFatalError(pszMessage);
}

bool CHtmlLexer::Grow()
{
    size_t nNew = m_nCapacity * 2;
    if (nNew > kMaxBufferSize || nNew < m_nCapacity)
        nNew = m_nCapacity + m_nCapacity / 8;
    if (nNew > kMaxBufferSize || nNew <= m_nCapacity) {
        Fail(kOverflow);
        return false;
    }
    std::unique_ptr<char[]> pNew(new (std::nothrow) char[nNew + 2]);
    if (!pNew) {
        Fail(kOverflow);
        return false;
    }
    std::memcpy(pNew.get(), m_pBuffer.get(), m_nEnd);
    pNew[m_nEnd] = pNew[m_nEnd + 1] = '\0';
    m_pBuffer = std::move(pNew);
    m_nCapacity = nNew;
    return true;
}

bool CHtmlLexer::Refill()
{
    if (m_bEndOfInput)
        return false;
    // Keep only the token being matched, at the start of the buffer.
    if (m_nTokenStart > 0) {
        std::memmove(m_pBuffer.get(), m_pBuffer.get() + m_nTokenStart, m_nEnd - m_nTokenStart);
        m_nDropped += m_nTokenStart;
        m_nEnd -= m_nTokenStart;
        m_nTokenStart = 0;
    }
    if (m_nEnd == m_nCapacity && !Grow())
        return false;
    const size_t nRoom = std::min(kReadChunk, m_nCapacity - m_nEnd);
    const int nRead = ReadInput(m_pBuffer.get() + m_nEnd, static_cast<int>(nRoom));
    if (nRead < 0) {
        Fail(kReadFailed);
        return false;
    }
    if (nRead == 0) {
        m_bEndOfInput = true;
        return false;
    }
    // A reader that claims more than it was offered is taken at its word only that far.
    m_nEnd += std::min(static_cast<size_t>(nRead), nRoom);
    m_pBuffer[m_nEnd] = m_pBuffer[m_nEnd + 1] = '\0';
    return true;
}

bool CHtmlLexer::Have(size_t nOffset)
{
    while (m_nTokenStart + nOffset >= m_nEnd) {
        if (!Refill())
            return false;
    }
    return true;
}

int CHtmlLexer::PeekSlow(size_t nOffset)
{
    if (Have(nOffset))
        return static_cast<unsigned char>(m_pBuffer[m_nTokenStart + nOffset]);
    return -1;
}

size_t CHtmlLexer::RunUntil(size_t nFrom, unsigned wStop)
{
    size_t n = nFrom;
    const size_t nLimit = std::max(nFrom, kLongestRun);
    for (;;) {
        // The buffer may move on a refill: its bytes are looked up afresh each time round.
        const auto* p = reinterpret_cast<const unsigned char*>(m_pBuffer.get() + m_nTokenStart);
        const size_t nAvailable = std::min(m_nEnd - m_nTokenStart, nLimit);
        while (n < nAvailable && (g_classes.bits[p[n]] & wStop) == 0)
            ++n;
        if (n < nAvailable || n >= nLimit || !Refill())
            return n;
    }
}

size_t CHtmlLexer::RunUntilByte(size_t nFrom, char ch, size_t nLimit)
{
    size_t n = nFrom;
    nLimit = std::max(nFrom, nLimit);
    for (;;) {
        const char* p = m_pBuffer.get() + m_nTokenStart;
        const size_t nAvailable = std::min(m_nEnd - m_nTokenStart, nLimit);
        if (n < nAvailable) {
            const void* pFound = std::memchr(p + n, ch, nAvailable - n);
            if (pFound != nullptr)
                return static_cast<size_t>(static_cast<const char*>(pFound) - p);
            n = nAvailable;
        }
        if (n >= nLimit || !Refill())
            return n;
    }
}

int CHtmlLexer::Lex()
{
    if (m_bFirstCall) {
        m_bFirstCall = false;
        m_pBuffer.reset(new (std::nothrow) char[kInitialBufferSize + 2]);
        if (!m_pBuffer) {
            Fail(kNoMemory);
            return 0;
        }
        m_nCapacity = kInitialBufferSize;
        m_pBuffer[0] = m_pBuffer[1] = '\0';
    }
    while (!m_bFailed && m_pBuffer && PeekAt(0) >= 0) {
        // Most tokens of a page are words and the blanks between them: those that end inside the
        // buffer go straight to their event, without the general matching.
        if (m_nState == condText && LexTextRun())
            continue;
        // Built in place, and small enough to come back in registers: copying the result from
        // one match to another cost more than matching.
        static_assert(sizeof(Match) <= 16);
        const Match match = MatchNext();
        if (m_bFailed)
            break;
        if (match.nLength == 0) {
            Fail(kNoAction);
            break;
        }
        if (m_nTokenStart + match.nLength > m_nEnd) {
            Fail(kEndOfBufferMissed);
            break;
        }
        RunAction(match);
    }
    return 0;
}

[[gnu::always_inline]] inline CHtmlLexer::Match CHtmlLexer::MatchNext()
{
    switch (m_nState) {
    case condStartTag: return MatchStartTag();
    case condAttrValue: return MatchAttrValue();
    case condDeclaration: return MatchDeclaration();
    case condProcessing: return MatchProcessing();
    case condComment: return MatchComment();
    case condDoubleQuoted: return MatchQuoted('"');
    case condSingleQuoted: return MatchQuoted('\'');
    case condPlainText: return MatchPlainText();
    case condScript: return MatchScript();
    case condRawText: return MatchRawText();
    case condSkipRest:
        while (Refill()) {
        }
        return Match{Rule::Markup, m_nEnd - m_nTokenStart};
    default: return MatchText();
    }
}

// Scans "&#digits", "&#alnum" or "&name" at nOffset (where the "&" is); 0 when none matches.
size_t CHtmlLexer::MatchReference(size_t nOffset, int& nKind)
{
    size_t i = nOffset + 1;
    if (PeekAt(i) == '#') {
        ++i;
        const size_t nDigits = RunUntil(i, kClsNotDigit) - i;
        const size_t nAlnum = RunUntil(i + nDigits, kClsNotAlnum) - i;
        size_t nNumeric = 0;
        if (nDigits > 0) {
            const int term = PeekAt(i + nDigits);
            nNumeric = 2 + nDigits + ((term == ';' || term == '\n') ? 1 : 0);
        }
        size_t nOther = 0;
        if (nAlnum > 0)
            nOther = 2 + nAlnum + (PeekAt(i + nAlnum) == ';' ? 1 : 0);
        // The longer wins; on a tie the decimal rule, which is listed first.
        if (nNumeric > 0 && nNumeric >= nOther) {
            nKind = kRefNumeric;
            return nNumeric;
        }
        if (nOther > 0) {
            nKind = kRefOther;
            return nOther;
        }
        return 0;
    }
    const size_t nName = RunUntil(i, kClsNotName) - i;
    if (nName == 0)
        return 0;
    const int term = PeekAt(i + nName);
    nKind = kRefNamed;
    return 1 + nName + ((term == ';' || term == '\n') ? 1 : 0);
}

// "</" and one name in any case, then ">", or a blank or "/" and the rest of the tag up to its
// ">": the token length, or 0.
size_t CHtmlLexer::MatchEndTagOf(LPCSTR pszUpperName, size_t nNameLength)
{
    if (PeekAt(0) != '<' || PeekAt(1) != '/')
        return 0;
    for (size_t k = 0; k < nNameLength; ++k) {
        if (ToUpperAscii(PeekAt(2 + k)) != pszUpperName[k])
            return 0;
    }
    const size_t i = 2 + nNameLength;
    const int c = PeekAt(i);
    if (c == '>')
        return i + 1;
    if (!IsLexerSpace(c) && c != '/')
        return 0;
    // Browsers end the element at "</style foo=\"1\">" or "</style/>" as at "</style>": what
    // follows the name up to the tag's ">" is read as attributes and dropped. Taken short, the
    // rest of the page would be the element's text.
    return MatchEndTagRest(i);
}

size_t CHtmlLexer::MatchEndTagRest(size_t nFrom)
{
    size_t i = nFrom;
    size_t nEnd = 0; // the first ">" at or after i, once looked for
    bool bHaveEnd = false;
    for (;;) {
        if (!bHaveEnd || i > nEnd) {
            // A page without a ">" from here on has no end tag here, nor at any later "</": that
            // is kept, so that a page of many such never makes the search run to its end each
            // time.
            if (m_nDropped + m_nTokenStart + i >= m_nNoTagEndFrom)
                return 0;
            nEnd = RunUntilByte(i, '>', kLongestLookAhead);
            const int chEnd = PeekAt(nEnd);
            if (chEnd < 0) {
                m_nNoTagEndFrom = m_nDropped + m_nTokenStart + i;
                return 0;
            }
            // A tag longer than the look ahead is no end tag: its "</" is text.
            if (chEnd != '>')
                return 0;
            bHaveEnd = true;
        }
        // A quoted value after "=" may hold a ">"; it runs to its own quote. One that never
        // closes leaves no quote of its kind after it, so this look ahead stays linear too.
        size_t k = i;
        while (k < nEnd && PeekAt(k) != '=')
            ++k;
        if (k == nEnd)
            return nEnd + 1;
        ++k;
        k = RunUntil(k, kClsNotSpace);
        const int chQuote = PeekAt(k);
        if (chQuote != '"' && chQuote != '\'') {
            i = k;
            continue;
        }
        const size_t nClose = RunUntilByte(k + 1, static_cast<char>(chQuote), kLongestLookAhead);
        if (PeekAt(nClose) != chQuote)
            return 0;
        i = nClose + 1;
    }
}

CHtmlLexer::Match CHtmlLexer::MatchText()
{
    const int c = PeekAt(0);
    if (c == '&') {
        int nKind = 0;
        const size_t nLength = MatchReference(0, nKind);
        if (nLength > 0)
            return Match{Rule::Reference, nLength, static_cast<size_t>(nKind)};
        return Match{Rule::Text, 1};
    }
    if (c == '<') {
        const int c1 = PeekAt(1);
        if (IsLetter(c1)) {
            const size_t n = RunUntil(2, kClsNotName) - 1;
            return Match{Rule::StartTag, 1 + n, n};
        }
        if (c1 == '/') {
            if (m_bInTitleText) {
                // A title's text ends at its end tag however that is written, as other such
                // elements' text does.
                if (const size_t n = MatchEndTagOf("TITLE", 5); n > 0)
                    return Match{Rule::EndTag, n, 5};
            }
            const int c2 = PeekAt(2);
            if (c2 == '>')
                return Match{Rule::Stray, 3};
            if (IsLetter(c2)) {
                const size_t n = RunUntil(3, kClsNotName) - 2;
                size_t i = 2 + n;
                i = RunUntil(i, kClsNotSpace);
                if (PeekAt(i) == '>')
                    return Match{Rule::EndTag, i + 1, n};
            }
            return Match{Rule::Text, 1};
        }
        if (c1 == '>')
            return Match{Rule::Markup, 2};
        if (c1 == '!') {
            const int c2 = PeekAt(2);
            if (c2 == '>')
                return Match{Rule::Markup, 3};
            if (c2 == '-' && PeekAt(3) == '-')
                return Match{Rule::CommentStart, 4, 0, condComment};
            if (IsLetter(c2)) {
                size_t i = 3;
                while (IsLetter(PeekAt(i)))
                    ++i;
                if (IsLexerSpace(PeekAt(i)))
                    ++i;
                return Match{Rule::DeclStart, i, 0, condDeclaration};
            }
            return Match{Rule::Text, 1};
        }
        if (c1 == '?')
            return Match{Rule::ProcStart, 2, 0, condProcessing};
        return Match{Rule::Text, 1};
    }
    if (IsLexerSpace(c))
        return Match{Rule::Whitespace, RunUntil(1, kClsNotSpace)};
    return Match{Rule::Text, RunUntil(1, kClsTextStop)};
}

CHtmlLexer::Match CHtmlLexer::MatchStartTag()
{
    const int c = PeekAt(0);
    // "/" right before the ">" closes the element at once, as a picture's "<title/>" does.
    m_bClosesItself = std::exchange(m_bSlashLast, c == '/') && c == '>';
    if (IsLetter(c)) {
        const size_t n = RunUntil(1, kClsNotName);
        size_t i = n;
        i = RunUntil(i, kClsNotSpace);
        if (PeekAt(i) == '=')
            return Match{Rule::AttrName, i + 1, n};
        return Match{Rule::AttrNoValue, n, n};
    }
    if (c == '>' || c == '<')
        return Match{Rule::TagEnd, 1};
    if (IsLexerSpace(c))
        return Match{Rule::Markup, RunUntil(1, kClsNotSpace)};
    if (c == '/')
        return Match{Rule::Markup, 1};
    return Match{Rule::Stray, 1};
}

CHtmlLexer::Match CHtmlLexer::MatchAttrValue()
{
    const int c = PeekAt(0);
    if (IsLexerSpace(c))
        return Match{Rule::Markup, RunUntil(1, kClsNotSpace)};
    if (c == '"') {
        m_bQuoteCloses = QuoteCloses('"');
        return Match{Rule::OpenQuote, 1, 0, condDoubleQuoted};
    }
    if (c == '\'') {
        m_bQuoteCloses = QuoteCloses('\'');
        return Match{Rule::OpenQuote, 1, 0, condSingleQuoted};
    }
    if (c == '>')
        return Match{Rule::TagEnd, 1};
    // Of the two value rules the longer wins; a value made only of name characters matches
    // both at the same length and is a token value.
    const size_t n = RunUntil(0, kClsValueStop);
    const bool bAllName = RunUntil(0, kClsNotName) >= n;
    return Match{bAllName ? Rule::TokenValue : Rule::OtherValue, n};
}

bool CHtmlLexer::QuoteCloses(char chQuote)
{
    // The search stops at the next quote of the kind, and a value that closes runs to exactly
    // that quote; a search that finds none leaves no quote of its kind to search from again.
    // So the look-ahead stays linear in the page, however many quotes it has. It goes no further
    // than a value the lexer would hold: one whose quote closes later still runs to that quote,
    // only a "<" or ">" in it ends it as in a value left open.
    return PeekAt(RunUntilByte(1, chQuote, kLongestLookAhead)) == static_cast<unsigned char>(chQuote);
}

CHtmlLexer::Match CHtmlLexer::MatchQuoted(char chQuote)
{
    const int c = PeekAt(0);
    if (c == static_cast<unsigned char>(chQuote))
        return Match{Rule::CloseQuote, 1};
    // A value whose closing quote follows runs to it, "<" and ">" included, as browsers read it;
    // only a quote left open ends at the lexer's tag ends.
    const bool bCloses = m_bQuoteCloses;
    if (!bCloses && (c == '<' || (chQuote == '"' && c == '>')))
        return Match{Rule::QuotedTagEnd, 1};
    if (c == '\r' || c == '\n') {
        size_t n = 1;
        while ((PeekAt(n) == '\r' || PeekAt(n) == '\n') && n < kLongestRun)
            ++n;
        return Match{Rule::Markup, n};
    }
    if (c == '&') {
        int nKind = 0;
        const size_t nLength = MatchReference(0, nKind);
        if (nLength > 0)
            return Match{Rule::Reference, nLength, static_cast<size_t>(nKind)};
        return Match{Rule::AppendValue, 1};
    }
    unsigned wStop = kClsQuotedStop | (chQuote == '"' ? kClsDouble : kClsSingle);
    if (!bCloses)
        wStop |= kClsLess | (chQuote == '"' ? kClsGreater : 0u);
    return Match{Rule::AppendValue, RunUntil(1, wStop)};
}

CHtmlLexer::Match CHtmlLexer::MatchDeclaration()
{
    const int c = PeekAt(0);
    if (c == '>')
        return Match{Rule::MarkupToText, 1};
    if (c == '"') {
        // A quoted string is taken whole, ">" included; an unclosed quote is one character.
        const size_t nClose = RunUntilByte(1, '"', kLongestLookAhead);
        return Match{Rule::Markup, PeekAt(nClose) == '"' ? nClose + 1 : 1};
    }
    if (c == '-') {
        if (PeekAt(1) == '-') {
            for (size_t i = 2; i < kLongestLookAhead;) {
                i = RunUntilByte(i, '-', kLongestLookAhead);
                if (PeekAt(i) != '-')
                    break;
                if (PeekAt(i + 1) == '-')
                    return Match{Rule::Markup, i + 2};
                ++i;
            }
        }
        return Match{Rule::Markup, 1};
    }
    size_t n = 1;
    for (int d = PeekAt(n); d >= 0 && d != '>' && d != '"' && d != '-' && n < kLongestRun; d = PeekAt(n))
        ++n;
    return Match{Rule::Markup, n};
}

CHtmlLexer::Match CHtmlLexer::MatchProcessing()
{
    if (PeekAt(0) == '>')
        return Match{Rule::MarkupToText, 1};
    return Match{Rule::Markup, RunUntilByte(1, '>')};
}

CHtmlLexer::Match CHtmlLexer::MatchComment()
{
    if (PeekAt(0) == '-') {
        if (PeekAt(1) == '-' && PeekAt(2) == '>')
            return Match{Rule::MarkupToText, 3};
        return Match{Rule::Stray, 1};
    }
    return Match{Rule::Markup, RunUntilByte(1, '-')};
}

CHtmlLexer::Match CHtmlLexer::MatchPlainText()
{
    if (PeekAt(0) == '<') {
        const size_t n = MatchEndTagOf("PLAINTEXT", 9);
        if (n > 0)
            return Match{Rule::PlainTextEnd, n};
        return Match{Rule::Text, 1};
    }
    return Match{Rule::Unmatched, 1};
}

CHtmlLexer::Match CHtmlLexer::MatchScript()
{
    if (PeekAt(0) == '<') {
        const size_t n = MatchEndTagOf("SCRIPT", 6);
        if (n > 0)
            return Match{Rule::ScriptEnd, n};
        return Match{Rule::ScriptText, 1};
    }
    return Match{Rule::ScriptText, RunUntilByte(1, '<')};
}

CHtmlLexer::Match CHtmlLexer::MatchRawText()
{
    if (PeekAt(0) == '<') {
        const size_t n = MatchEndTagOf(m_pszRawTextEnd, m_nRawTextEnd);
        if (n > 0)
            return Match{Rule::RawTextEnd, n, m_nRawTextEnd};
        return Match{Rule::Text, 1};
    }
    return Match{Rule::Text, RunUntilByte(1, '<')};
}

void CHtmlLexer::DeliverReference(int nKind, char chNext, void (CHtmlLexer::*pfnEmit)(LPCSTR, int))
{
    const char* pToken = Token();
    const int nToken = static_cast<int>(m_nTokenLength);
    char decoded[4];
    int nDecoded = 0;
    if (nKind == kRefNumeric || nKind == kRefOther) {
        // "&#" digits, or "&#x" hexadecimal digits; any other letters leave the token as it is.
        const bool bHex = nKind == kRefOther && (pToken[2] == 'x' || pToken[2] == 'X');
        const int nFirst = bHex ? 3 : 2;
        int nDigits = nToken - nFirst;
        const char last = pToken[nToken - 1];
        if (last == ';' || (nKind == kRefNumeric && last == '\n'))
            --nDigits;
        if (nKind == kRefNumeric || bHex)
            nDecoded = DecodeNumericCharRef(pToken + nFirst, nDigits, bHex, decoded);
        if (nDecoded > 0) {
            (this->*pfnEmit)(decoded, nDecoded);
            return;
        }
    } else if (nKind == kRefNamed) {
        int nName = nToken - 1;
        const char last = pToken[nToken - 1];
        if (last == ';' || last == '\n')
            --nName;
        const HtmlRefEnd end = last == ';' ? HtmlRefEnd::Semicolon : HtmlRefEnd::Open;
        // In an attribute value an old name without its ";" before "=" is a URL's parameter
        // ("?a=1&copy=2"), as browsers read it.
        const bool bParameter = end == HtmlRefEnd::Open && last != '\n' && chNext == '='
            && pfnEmit == &CHtmlLexer::EmitValueText;
        if (LPCSTR pszDecoded = bParameter ? nullptr : LookupHtmlEntity(pToken + 1, nName, end); pszDecoded != nullptr) {
            (this->*pfnEmit)(pszDecoded, static_cast<int>(std::strlen(pszDecoded)));
            return;
        }
    }
    (this->*pfnEmit)(pToken, nToken);
}

bool CHtmlLexer::LexTextRun()
{
    bool bDone = false;
    // Several tokens in a row, as long as the condition stays and each ends inside the buffer.
    while (m_nState == condText && !m_bFailed) {
        char* pBase = m_pBuffer.get();
        const size_t nStart = m_nTokenStart;
        const size_t nEnd = m_nEnd;
        if (nStart >= nEnd)
            break;
        const unsigned bits = g_classes.bits[static_cast<unsigned char>(pBase[nStart])];
        const bool bSpace = (bits & kClsSpace) != 0;
        if (!bSpace && (bits & kClsTextStop) != 0)
            break;
        size_t i = nStart + 1;
        if (bSpace) {
            while (i < nEnd && (g_classes.bits[static_cast<unsigned char>(pBase[i])] & kClsSpace) != 0)
                ++i;
        } else {
            i += FindTextStop(pBase + i, nEnd - i);
        }
        if (i >= nEnd)
            break; // the run may go on past the buffer: the general path refills
        // As RunAction does: the byte after the token is held back behind a NUL while its event
        // runs, and the token is consumed whatever the event does.
        const char chHeld = pBase[i];
        m_nTokenLength = i - nStart;
        pBase[i] = '\0';
        try {
            if (bSpace)
                OnWhitespace(pBase + nStart, static_cast<int>(i - nStart));
            else
                OnText(pBase + nStart, static_cast<int>(i - nStart));
        } catch (...) {
            pBase[i] = chHeld;
            m_nTokenStart = i;
            throw;
        }
        pBase[i] = chHeld;
        m_nTokenStart = i;
        bDone = true;
    }
    return bDone;
}

// Inlined into Lex: one call less for every token.
[[gnu::always_inline]] inline void CHtmlLexer::RunAction(const Match& match)
{
    // The byte after the token is held back and replaced by a NUL while the actions run, so
    // that the whole token reads as a C string; it is put back whatever the actions do.
    struct HoldGuard {
        char* p;
        char ch;
        ~HoldGuard() { *p = ch; }
    };
    m_nTokenLength = match.nLength;
    char* pToken = Token();
    HoldGuard guard{pToken + match.nLength, pToken[match.nLength]};
    pToken[match.nLength] = '\0';
    const int nLength = static_cast<int>(match.nLength);
    const int nName = static_cast<int>(match.nNameLength);
    // The token is consumed before its actions run; Token() keeps pointing at it.
    const size_t nStart = m_nTokenStart;
    struct Advance {
        CHtmlLexer* pLexer;
        size_t nStart;
        size_t nLength;
        ~Advance() { pLexer->m_nTokenStart = nStart + nLength; }
    } advance{this, nStart, match.nLength};

    switch (match.rule) {
    case Rule::Text: OnText(pToken, nLength); break;
    case Rule::Whitespace: OnWhitespace(pToken, nLength); break;
    case Rule::Markup: OnMarkup(pToken, nLength); break;
    case Rule::MarkupToText:
        OnMarkup(pToken, nLength);
        BeginState(condText);
        break;
    case Rule::Stray: OnStray(pToken, nLength); break;
    case Rule::Reference:
        if (m_nState == condDoubleQuoted || m_nState == condSingleQuoted)
            DeliverReference(nName, guard.ch, &CHtmlLexer::EmitValueText);
        else
            DeliverReference(nName, guard.ch, &CHtmlLexer::EmitText);
        break;
    case Rule::StartTag:
        MakeUpper(pToken + 1, nName);
        m_bPictureOpening = IsPictureName(pToken + 1, nName);
        CheckSpecialTag(pToken + 1, nName);
        OnStartTag(pToken + 1, nName);
        BeginState(condStartTag);
        break;
    case Rule::EndTag:
        MakeUpper(pToken + 2, nName);
        if (nName == 5 && strncasecmp(pToken + 2, "TITLE", 5) == 0)
            m_bInTitleText = false;
        if (m_nPictureDepth > 0 && IsPictureName(pToken + 2, nName))
            --m_nPictureDepth;
        OnEndTag(pToken + 2, nName);
        break;
    case Rule::CommentStart:
    case Rule::DeclStart:
    case Rule::ProcStart:
        OnMarkup(pToken, nLength);
        BeginState(match.nNextState);
        break;
    case Rule::AttrName:
        MakeUpper(pToken, nName);
        OnAttrName(pToken, nName);
        BeginState(condAttrValue);
        break;
    case Rule::AttrNoValue:
        MakeUpper(pToken, nName);
        OnAttrNoValue(pToken, nName);
        break;
    case Rule::TagEnd:
        if (std::exchange(m_bTitleOpening, false))
            m_bInTitleText = !m_bClosesItself;
        if (m_bClosesItself && m_nPictureDepth > 0 && IsRawTextState(m_nPendingState)) {
            // In a picture or formula "<style/>" and its kin are empty elements, as any other
            // element closed by "/>" there: nothing after them is their text.
            m_nPendingState = condText;
        }
        if (std::exchange(m_bPictureOpening, false) && !m_bClosesItself)
            ++m_nPictureDepth;
        OnTagEnd();
        BeginState(GetPendingState());
        break;
    case Rule::TokenValue:
        OnAttrTokenValue(pToken, nLength);
        BeginState(condStartTag);
        break;
    case Rule::OtherValue:
        OnAttrValue(pToken, nLength);
        BeginState(condStartTag);
        break;
    case Rule::OpenQuote:
        ClearValueText();
        BeginState(match.nNextState);
        break;
    case Rule::CloseQuote:
        FlushValueText();
        BeginState(condStartTag);
        break;
    case Rule::QuotedTagEnd:
        FlushValueText();
        m_bInTitleText |= std::exchange(m_bTitleOpening, false);
        if (std::exchange(m_bPictureOpening, false))
            ++m_nPictureDepth;
        OnTagEnd();
        BeginState(GetPendingState());
        break;
    case Rule::AppendValue: AppendValueText(pToken, nLength); break;
    case Rule::PlainTextEnd:
        OnEndTag("PLAINTEXT", 9);
        BeginState(condText);
        break;
    case Rule::Unmatched: OnUnmatched(pToken, nLength); break;
    case Rule::ScriptText: OnScriptText(pToken, nLength); break;
    case Rule::ScriptEnd:
        OnScriptEnd();
        OnEndTag("SCRIPT", 6);
        BeginState(condText);
        break;
    case Rule::RawTextEnd:
        MakeUpper(pToken + 2, nName);
        OnEndTag(pToken + 2, nName);
        BeginState(condText);
        break;
    }
}

void CHtmlLexer::OnStartTag(LPCSTR, int) {}
void CHtmlLexer::OnAttrName(LPCSTR, int) {}
void CHtmlLexer::OnAttrNoValue(LPCSTR, int) {}
void CHtmlLexer::OnAttrTokenValue(LPCSTR, int) {}
void CHtmlLexer::OnAttrValue(LPCSTR, int) {}
void CHtmlLexer::OnTagEnd() {}
void CHtmlLexer::OnEndTag(LPCSTR, int) {}

void CHtmlLexer::ClearValueText()
{
    m_strValueText.clear();
}

void CHtmlLexer::AppendValueText(LPCSTR pszText, int nLength)
{
    if (pszText != nullptr && nLength > 0)
        m_strValueText.append(pszText, static_cast<size_t>(nLength));
}

void CHtmlLexer::FlushValueText()
{
    OnAttrValue(m_strValueText.c_str(), static_cast<int>(m_strValueText.size()));
}

void CHtmlLexer::OnText(LPCSTR, int) {}
void CHtmlLexer::OnWhitespace(LPCSTR, int) {}
void CHtmlLexer::OnMarkup(LPCSTR, int) {}
void CHtmlLexer::OnStray(LPCSTR, int) {}
void CHtmlLexer::OnScriptStart() {}
void CHtmlLexer::OnScriptEnd() {}
void CHtmlLexer::OnScriptText(LPCSTR, int) {}

void CHtmlLexer::SkipRestAfterTag()
{
    m_nPendingState = condSkipRest;
}

void CHtmlLexer::BeginState(int nState)
{
    m_nState = (nState >= condText && nState <= condRawText) ? nState : condText;
}

void CHtmlLexer::CheckSpecialTag(LPCSTR pszName, int nLength)
{
    m_nPendingState = condText;
    // A title is read as text up to its own end tag: the elements below are named in it, not
    // opened, and the rest of a page titled "The <script> element" is the page's.
    const std::string_view name(pszName, static_cast<size_t>(std::max(nLength, 0)));
    const RawTextElement* pRaw = m_bInTitleText ? nullptr : FindRawTextElement(name);
    // The name comes upper-cased, and only so is it taken.
    if (pRaw == nullptr || pRaw->name != name)
        return;
    switch (pRaw->kind) {
    case RawTextKind::PlainText:
        m_nPendingState = condPlainText;
        break;
    case RawTextKind::Script:
        m_nPendingState = condScript;
        OnScriptStart();
        break;
    case RawTextKind::Escapable:
        // A title's text reaches the parser and the rewriting engine with its references read,
        // as any other text: only its tags are not opened.
        if (pRaw->name == "TITLE") {
            m_bTitleOpening = true;
            break;
        }
        [[fallthrough]];
    case RawTextKind::Style:
    case RawTextKind::Verbatim:
        // A "<title>" in a form's sample text, or a "<!--" in a style sheet, is no tag or comment
        // of the page.
        m_nPendingState = condRawText;
        m_pszRawTextEnd = pRaw->name.data();
        m_nRawTextEnd = pRaw->name.size();
        break;
    }
}

int CHtmlLexer::GetPendingState()
{
    return m_nPendingState;
}

void CHtmlLexer::MakeUpper(LPSTR pszText, int nLength)
{
    for (int i = 0; i < nLength; ++i) {
        if (pszText[i] >= 'a' && pszText[i] <= 'z')
            pszText[i] = static_cast<char>(pszText[i] - 'a' + 'A');
    }
}

int CHtmlLexer::ReadInput(LPSTR pBuffer, int nMax)
{
    if (m_pInputFile == nullptr || nMax <= 0)
        return 0;
    try {
        return static_cast<int>(m_pInputFile->Read(pBuffer, static_cast<UINT>(nMax)));
    } catch (...) {
        // The first failure is kept so that OnFatalError raises it rather than a generic one:
        // its cause and message say what went wrong with the page.
        if (!m_readError)
            m_readError = std::current_exception();
    }
    return -1;
}

void CHtmlLexer::OnUnmatched(LPCSTR, int) {}

void CHtmlLexer::OnFatalError(LPCSTR)
{
    if (m_readError) {
        std::exception_ptr error = std::exchange(m_readError, nullptr);
        std::rethrow_exception(error);
    }
    AfxThrowFileException(CFileException::genericException, -1);
}
