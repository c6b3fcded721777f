#include "keywords/KxTextPrep.h"

#include "keywords/KxCharUtil.h"
#include "keywords/KxHashSet.h"
#include "keywords/KxWordFilter.h"

#include <algorithm>
#include <cstring>

namespace kx {
namespace {

constexpr size_t kMaxCollected = 255;

bool StartsWith(std::string_view text, std::string_view prefix)
{
    return text.substr(0, prefix.size()) == prefix;
}

// A prefix test against a literal, whose length the compiler knows.
template <size_t N>
bool Prefix(std::string_view text, const char (&prefix)[N])
{
    return text.size() >= N - 1 && std::memcmp(text.data(), prefix, N - 1) == 0;
}

// The characters plain text cannot be copied over: markup, references and white space.
bool IsHtmlSpecial(unsigned char c)
{
    return c == '<' || c == '&' || IsWhite(c);
}

bool IsReferenceChar(unsigned char c)
{
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '#';
}

// Nothing is written inside a script or a style sheet.
bool IsSkipping(const KxHtmlScanner& s)
{
    return s.inScript || s.inStyle;
}

// Whether a lowered tag text names the given tag: its name ends at the text's end or at a "/".
template <size_t N>
bool NamesTag(std::string_view tag, const char (&name)[N])
{
    return Prefix(tag, name) && (tag.size() == N - 1 || tag[N - 1] == '/');
}

// Whether a tag text read so far is the end tag of a style sheet, in any case.
bool IsStyleEnd(std::string_view collected)
{
    static constexpr std::string_view end = "/style";
    if (collected.size() != end.size())
        return false;
    for (size_t i = 0; i < end.size(); ++i) {
        if (ToLower(collected[i]) != end[i])
            return false;
    }
    return true;
}

// Inside a style sheet only its own end tag is markup: a "<" that does not begin it is part of
// a rule, and must not carry the sheet's end away with it.
void LeaveTag(KxHtmlScanner& s)
{
    s.inTag = false;
    s.tagJustOpened = false;
    s.collected.clear();
    s.collectionClosed = false;
}

// What a finished tag writes: a sentence break for block tags, nothing for inline ones.
void FinishTag(KxHtmlScanner& s, std::string& out)
{
    // Only prefixes of up to seven characters are compared, so only those are lowered.
    char lowered[8];
    const size_t n = std::min(s.collected.size(), sizeof lowered);
    for (size_t i = 0; i < n; ++i)
        lowered[i] = ToLower(s.collected[i]);
    const std::string_view tag(lowered, n);
    // An empty element in XHTML's form ("<style/>", "<script src="x.js" />") has no end tag
    // to wait for.
    const bool empty = s.tagEndsWithSlash;
    s.tagEndsWithSlash = false;
    s.inTag = false;
    s.tagJustOpened = false;
    s.collected.clear();
    s.collectionClosed = false;
    if (s.inStyle) {
        s.inStyle = !NamesTag(tag, "/style");
        return;
    }
    if (Prefix(tag, "script")) {
        s.inScript = !empty;
        return;
    }
    if (Prefix(tag, "/script")) {
        s.inScript = false;
        return;
    }
    if (s.inScript)
        return;
    if (NamesTag(tag, "style")) {
        s.inStyle = !empty;
        return;
    }
    // The end tags of inline elements (those beginning "/b", "/big", "/dfn", "/em", "/font",
    // "/i", "/small", "/strike", "/strong", "/tt" or "/u") write nothing, every other end tag a
    // break; of the start tags, those beginning "br", "dd", "dt", "hr", "li", "ol", "option",
    // "p" or "ul" write one.
    bool block = false;
    if (!tag.empty() && tag.front() == '/') {
        const bool inlineEnd = Prefix(tag, "/b") || Prefix(tag, "/dfn") || Prefix(tag, "/em")
            || Prefix(tag, "/font") || Prefix(tag, "/i") || Prefix(tag, "/small") || Prefix(tag, "/strike")
            || Prefix(tag, "/strong") || Prefix(tag, "/tt") || Prefix(tag, "/u");
        block = !inlineEnd;
    } else {
        block = Prefix(tag, "br") || Prefix(tag, "dd") || Prefix(tag, "dt") || Prefix(tag, "hr")
            || Prefix(tag, "li") || Prefix(tag, "ol") || Prefix(tag, "option") || Prefix(tag, "p")
            || Prefix(tag, "ul");
    }
    if (block) {
        out += ". ";
        s.lastWasWhite = true;
    }
}

void WriteText(KxHtmlScanner& s, std::string& out, char c)
{
    if (IsWhite(static_cast<unsigned char>(c))) {
        if (!s.lastWasWhite)
            out += ' ';
        s.lastWasWhite = true;
    } else {
        out += c;
        s.lastWasWhite = false;
    }
}

// Ends a reference at character c. Answers true when c has been dealt with; false when it is
// still to be handled as ordinary text.
bool FinishReference(KxHtmlScanner& s, std::string& out, char c)
{
    s.inReference = false;
    std::string name = std::move(s.collected);
    s.collected.clear();
    s.collectionClosed = false;
    if (name.empty()) {
        out += "& ";
        s.lastWasWhite = true;
        return false;
    }
    const std::string* text = s.references != nullptr ? s.references->Lookup(name.c_str()) : nullptr;
    if (text == nullptr) {
        out += '&';
        out += name;
        s.lastWasWhite = false;
        return false;
    }
    out += *text;
    s.lastWasWhite = !text->empty() && IsWhite(static_cast<unsigned char>(text->back()));
    if (c == ';')
        return true;
    if (c == '&') {
        s.inReference = true;
        return true;
    }
    out += c;
    s.lastWasWhite = IsWhite(static_cast<unsigned char>(c));
    return true;
}

} // namespace

void KxHtmlScanner::Clear()
{
    const KxHashSet* refs = references;
    *this = KxHtmlScanner{};
    references = refs;
}

void KxMailScanner::Clear()
{
    *this = KxMailScanner{};
}

std::string PrepareHtml(KxHtmlScanner& s, std::string_view piece)
{
    // The piece ends at a NUL byte.
    if (const void* nul = std::memchr(piece.data(), '\0', piece.size()))
        piece = piece.substr(0, static_cast<size_t>(static_cast<const char*>(nul) - piece.data()));
    std::string out;
    out.reserve(piece.size() + 16);
    const char* const end = piece.data() + piece.size();
    const char* p = piece.data();
    while (p < end) {
        if (!s.inTag && !s.inReference) {
            if (IsSkipping(s)) {
                // Nothing is written inside a script or a style sheet: on to the next tag.
                const void* lt = std::memchr(p, '<', static_cast<size_t>(end - p));
                if (lt == nullptr)
                    break;
                p = static_cast<const char*>(lt);
            } else {
                // Plain text, the most of a page, is copied a run at a time.
                const char* run = p;
                while (p < end && !IsHtmlSpecial(static_cast<unsigned char>(*p)))
                    ++p;
                if (p > run) {
                    out.append(run, static_cast<size_t>(p - run));
                    s.lastWasWhite = false;
                    if (p == end)
                        break;
                }
            }
        } else if (s.inTag && !s.tagJustOpened) {
            if (!s.collectionClosed) {
                // The tag's name is collected a run at a time.
                const char* run = p;
                const size_t room = kMaxCollected - s.collected.size();
                const char* stop = p + std::min(room, static_cast<size_t>(end - p));
                while (p < stop && *p != '>' && !IsWhite(static_cast<unsigned char>(*p)))
                    ++p;
                s.collected.append(run, static_cast<size_t>(p - run));
                if (p > run)
                    s.tagEndsWithSlash = p[-1] == '/';
                if (s.collected.size() >= kMaxCollected) {
                    s.collectionClosed = true;
                    if (s.inStyle) {
                        LeaveTag(s);
                        continue;
                    }
                }
                if (p == end)
                    break;
            }
            if (s.collectionClosed) {
                // The rest of a tag after its name matters only for its end.
                const void* gt = std::memchr(p, '>', static_cast<size_t>(end - p));
                const char* skipTo = gt != nullptr ? static_cast<const char*>(gt) : end;
                if (skipTo > p)
                    s.tagEndsWithSlash = skipTo[-1] == '/';
                if (gt == nullptr)
                    break;
                p = skipTo;
            }
        }
        const char c = *p++;
        auto u = static_cast<unsigned char>(c);
        if (s.inTag) {
            if (s.tagJustOpened && IsWhite(u)) {
                // "<" before white space is text, as in "a < b".
                s.inTag = false;
                s.tagJustOpened = false;
                if (!IsSkipping(s)) {
                    out += '<';
                    s.lastWasWhite = false;
                    WriteText(s, out, c);
                }
                continue;
            }
            if (s.inStyle && s.tagJustOpened && c != '/') {
                LeaveTag(s);
                if (c == '<') {
                    s.inTag = true;
                    s.tagJustOpened = true;
                }
                continue;
            }
            s.tagJustOpened = false;
            if (c != '>')
                s.tagEndsWithSlash = c == '/';
            if (c == '>') {
                FinishTag(s, out);
            } else if (!s.collectionClosed) {
                if (IsWhite(u))
                    s.collectionClosed = true;
                else if (s.collected.size() < kMaxCollected)
                    s.collected += c;
                if (s.collected.size() >= kMaxCollected)
                    s.collectionClosed = true;
                if (s.collectionClosed && s.inStyle && !IsStyleEnd(s.collected))
                    LeaveTag(s);
            }
            continue;
        }
        if (s.inReference) {
            if (IsReferenceChar(u) && s.collected.size() < kMaxCollected) {
                s.collected += c;
                continue;
            }
            if (FinishReference(s, out, c))
                continue;
        }
        if (c == '<') {
            s.inTag = true;
            s.tagJustOpened = true;
            s.tagEndsWithSlash = false;
            s.collected.clear();
            s.collectionClosed = false;
            continue;
        }
        if (IsSkipping(s))
            continue;
        if (c == '&') {
            s.inReference = true;
            s.collected.clear();
            continue;
        }
        WriteText(s, out, c);
    }
    return out;
}

std::string PrepareMail(KxMailScanner& s, const KxHashSet& headerNames, std::string_view piece)
{
    // Lines are judged whole, so the end of a piece without a newline waits for the next one.
    std::string text = std::move(s.partialLine);
    s.partialLine.clear();
    text.append(piece.substr(0, piece.find('\0')));
    size_t lastNewline = text.rfind('\n');
    if (lastNewline == std::string::npos) {
        s.partialLine = std::move(text);
        return {};
    }
    s.partialLine = text.substr(lastNewline + 1);
    text.resize(lastNewline + 1);

    static constexpr std::string_view dropped[] = {
        "This is a multi-part message in MIME", "OFFICE MEMO ", "Dear", "Hello", "Yours",
        "Sincerely", "Best wishes", "Reply to:", "From", "----- Begin Included",
        "----- End Included"};
    std::string out;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        std::string line = text.substr(start, end - start);
        start = end + 1;
        if (StartsWith(line, "Content-Transfer-Encoding: quoted-printable")
            || StartsWith(line, "Content-transfer-encoding: quoted-printable")) {
            s.quotedPrintable = true;
            continue;
        }
        if (StartsWith(line, "Subject:")) {
            size_t subject = line.find_first_not_of(" \t", 8);
            out += ". ";
            out += subject == std::string::npos ? std::string() : line.substr(subject);
            out += ".\n";
            continue;
        }
        bool drop = false;
        for (std::string_view d : dropped)
            drop = drop || StartsWith(line, d);
        // A header line begins with a name from the table.
        for (size_t n = 1; !drop && n <= line.size() && n <= 16; ++n) {
            if (headerNames.Contains(line.substr(0, n).c_str()) == kHashOk)
                drop = true;
        }
        if (drop)
            continue;
        if (s.quotedPrintable) {
            static constexpr std::string_view hex = "0123456789ABCDEFabcdef";
            std::string decoded;
            for (size_t i = 0; i < line.size(); ++i) {
                if (line[i] == '=' && i + 2 < line.size() && hex.find(line[i + 1]) != std::string_view::npos
                    && hex.find(line[i + 2]) != std::string_view::npos) {
                    decoded += static_cast<char>(std::stoi(line.substr(i + 1, 2), nullptr, 16));
                    i += 2;
                } else if (line[i] == '=' && i + 1 == line.size()) {
                    // A soft line break joins this line to the next.
                } else {
                    decoded += line[i];
                }
            }
            line = std::move(decoded);
        }
        out += line;
        out += '\n';
    }
    return out;
}

bool IsSeparator(unsigned char c, int language)
{
    return IsSeparatorChar(c, language);
}

int NextToken(std::string_view text, size_t& pos, int language, KxBreakState& breaks,
              size_t room, std::string& token)
{
    token.clear();
    while (pos < text.size() && IsSeparatorChar(static_cast<unsigned char>(text[pos]), language)) {
        char c = text[pos];
        if (c == '\n') {
            if (breaks.newlineSeen)
                breaks.breakPending = true;
            else
                breaks.newlineSeen = true;
        }
        breaks.separatorRun += c == '\t' ? 8 : 1;
        if (breaks.separatorRun > 12)
            breaks.breakPending = true;
        ++pos;
    }
    if (pos >= text.size())
        return kTokenTextEnded;
    breaks.separatorRun = 0;
    breaks.newlineSeen = false;
    const size_t start = pos;
    const size_t limit = start + std::min(room, text.size() - start);
    while (pos < limit && !IsSeparatorChar(static_cast<unsigned char>(text[pos]), language))
        ++pos;
    token.assign(text.data() + start, pos - start);
    if (pos >= text.size())
        return kTokenTextEnded;
    if (IsSeparatorChar(static_cast<unsigned char>(text[pos]), language)) {
        if (text[pos] == '\n')
            breaks.newlineSeen = true;
        ++pos;
        return kTokenComplete;
    }
    return kTokenRoomFull;
}

} // namespace kx
