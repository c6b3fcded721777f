// The elements whose content browsers read up to their own end tag without taking anything in it
// for a tag or a comment, and how they read it: the lexer follows a page's tags by it, and the
// page encoder writes a character into such content the way it is read back there.
#pragma once

#include <string_view>

enum class RawTextKind {
    Script,    // SCRIPT: a script, run or kept by its type
    Style,     // STYLE: a style sheet, which reads its own escapes
    Escapable, // TITLE, TEXTAREA: text that reads character references
    Verbatim,  // XMP, IFRAME, NOEMBED, NOFRAMES: text shown or kept as it stands
    PlainText, // PLAINTEXT: the rest of the page, as it stands
};

struct RawTextElement {
    std::string_view name; // upper case
    RawTextKind kind;
};

// The element of that name, in any case; null for any other.
const RawTextElement* FindRawTextElement(std::string_view name);
