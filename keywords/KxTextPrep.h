// Text preparation of the keyword engine: HTML markup to plain sentences, the mail clean-up,
// and the tokeniser with its phrase-break bookkeeping.
#pragma once

#include "keywords/KxWordFilter.h"

#include <string>
#include <string_view>

namespace kx {

class KxHashSet;

// The HTML scanner's state lives in the document, so tags, references and scripts may run
// across the pieces of one text.
struct KxHtmlScanner {
    bool lastWasWhite = false;   // the last character written was a collapsed blank
    bool inTag = false;
    bool tagJustOpened = false;  // "<" seen, nothing after it yet
    bool inReference = false;
    bool inScript = false;
    bool inStyle = false;        // a style sheet's rules are no more page text than a script
    std::string collected;       // tag or reference name, at most 255 characters
    bool collectionClosed = false;
    bool tagEndsWithSlash = false; // the tag read so far ends in "/", as an empty one ("<style/>")
    const KxHashSet* references = nullptr;

    void Clear();
};

// The mail clean-up's state: the unfinished last line and whether quoted-printable text was
// announced.
struct KxMailScanner {
    std::string partialLine;
    bool quotedPrintable = false;

    void Clear();
};

// Markup removed, block tags as ". ", scripts and style sheets skipped, references replaced,
// white space collapsed. Stops at a NUL byte. The output grows as needed: a run of "&" writes
// two bytes for each one read.
std::string PrepareHtml(KxHtmlScanner& scanner, std::string_view piece);
// Drops mail headers, salutations and quoting markers, decodes quoted-printable text.
std::string PrepareMail(KxMailScanner& scanner, const KxHashSet& headerNames, std::string_view piece);

struct KxBreakState {
    int separatorRun = 0;
    bool newlineSeen = false;
    bool breakPending = false;

    void Clear() { *this = KxBreakState{}; }
};

// Results of NextToken.
inline constexpr int kTokenComplete = 0;   // a token followed by a separator
inline constexpr int kTokenTextEnded = 1;  // the text ended inside or before the token
inline constexpr int kTokenRoomFull = 2;   // the token filled the room and the text goes on

// The longest token and the longest phrase the engine forms.
inline constexpr size_t kMaxToken = 254;

bool IsSeparator(unsigned char c, int language);
// The same, inline for the loops over every character.
inline bool IsSeparatorChar(unsigned char c, int language)
{
    if (c == ' ' || (c >= '\b' && c <= '\r'))
        return true;
    return language != kLangEnglish && (c == '\'' || c == 0x92);
}
// Reads one token from text at pos (which moves past the separator that ends it) into token,
// at most room bytes.
int NextToken(std::string_view text, size_t& pos, int language, KxBreakState& breaks,
              size_t room, std::string& token);

} // namespace kx
