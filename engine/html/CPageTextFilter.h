// CPageTextFilter: the text of a page, as the charset detector and the judge of a page's charset
// read it: what stands between its tags and in the values of their attributes (a META tag's
// content, a picture's ALT), without the tags themselves, comments, style sheets and scripts,
// whose markup tells nothing of the language and would crowd the text out of what is judged.
// The page is given in its own bytes, in pieces; its charset need not be known, since markup is
// ASCII in every charset a page can declare, and the 7-bit Japanese charset's shifted text,
// where markup's bytes stand for letters, is followed through its escapes.
#pragma once

#include <cstddef>
#include <string>

class CPageTextFilter {
public:
    // Appends the text among the bytes, which follow those given before, to out.
    void Add(const char* pBytes, size_t nLength, std::string& out);

private:
    enum class State {
        Text,
        TagOpen,     // after "<"
        Declaration, // after "<!", not yet known to open a comment
        TagName,
        InTag,       // between attributes
        AttrName,
        AfterName,   // blanks after an attribute's name
        BeforeValue, // after "="
        Quoted,
        Unquoted,
        Comment,
        Bogus,       // an end tag's rest, a processing instruction: skipped to ">"
        RawText,     // a style sheet or a script, up to its end tag
    };

    void Step(char ch, std::string& out);
    void EndTag(std::string& out);

    State m_state = State::Text;
    bool m_bEndTag = false;
    std::string m_name;      // the tag's name so far, lower-cased (a few letters are enough)
    char m_quote = 0;
    int m_nDashes = 0;       // Declaration and Comment: the dashes just seen
    const char* m_pszRawEnd = nullptr; // RawText: the end tag sought, and how much of it is seen
    size_t m_nRawMatched = 0;
    bool m_bEscape = false;  // an escape was the last byte
    bool m_bShifted = false; // in the 7-bit Japanese charset's two-byte text
};
