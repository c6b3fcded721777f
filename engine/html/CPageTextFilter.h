// CPageTextFilter: the text of a page, as the charset detector and the judge of a page's charset
// read it: what stands between its tags and in the values of their attributes, and the words of
// its comments, style sheets and scripts that hold bytes beyond ASCII, without the markup's own
// names (tags, attributes, declarations) and the code of ASCII alone, which tell nothing of the
// language and would crowd the text out of a sample. A change of charset converts every byte
// beyond ASCII wherever it stands, and all of them are judged. The filter also reads the charset the page's META
// tags declare, wherever they stand, as the scan's parser reads them. The page is given in its
// own bytes, in pieces; its charset need not be known, since markup is ASCII in every charset a
// page can declare, and the 7-bit Japanese charset's shifted text, where markup's bytes stand for
// letters, is followed through its escapes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// Where the escapes of the 7-bit Japanese charset leave its text: shifted into two-byte letters,
// whose bytes may be those of markup and of blanks, or back in ASCII.
struct CJisShift {
    bool bEscape = false;  // an escape was the last byte
    bool bShifted = false; // in the two-byte text
    // Follows the byte; whether it is an escape, the byte after one, or a byte of the two-byte text.
    bool Step(char ch);
};

// The words of a page's text that hold bytes beyond ASCII, each whole, and a blank for each run of
// the others: what the readings of a text in the charsets of its script differ in. A word of
// ASCII alone reads alike in every charset a page is written in and holds no oddity, unless it
// holds a control character, which no reading takes for text, and is kept; so is the 7-bit
// Japanese charset's shifted text, whose letters are ASCII bytes. A number just before a word
// kept stays as its last digit: a sign after a number is read as a currency or a unit ("5 €").
class CWordsBeyondAscii {
public:
    // Appends the words of the text, which follows that given before, to out.
    void Add(std::string_view text, std::string& out);
    // The end of the text.
    void Finish(std::string& out);

private:
    void EndWord(std::string& out);

    std::string m_word;          // the word going on, while it is not known to be kept
    bool m_bKept = false;        // it is kept: it goes to out as it comes
    char m_chNumber = 0;         // the last digit of a number just left out, 0 after another word
    bool m_bBlankOut = true;     // the last byte given out is a blank
    CJisShift m_shift;
};

class CPageTextFilter {
public:
    // Appends the text among the bytes, which follow those given before, to out.
    void Add(const char* pBytes, size_t nLength, std::string& out);
    // The charset name the first META tag that declares one names, lower-cased, as
    // CPageCharset::FindDeclaredName reads it; empty while none has.
    const std::string& GetDeclaredName() const { return m_declared; }

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
        CDataOpen,   // after "<![", while "CDATA[" follows
        CData,       // a CDATA section's text, up to "]]>": text like any other outside scripts
        Bogus,       // an end tag's rest, a processing instruction, a declaration: skipped to ">"
        RawText,     // a style sheet or a script, up to its end tag
    };

    void Step(char ch, std::string& out);
    // Text of a comment, a style sheet or a script: its words beyond ASCII; other text whole.
    void Emit(const char* pBytes, size_t nLength, std::string& out);
    // The end of a comment, a style sheet or a script.
    void EndRaw(std::string& out);
    void StepRawText(char ch, std::string& out);
    void EndTag(std::string& out);
    // A META tag's bytes are kept to its end, where what it declares is read.
    void KeepTagByte(char ch);

    State m_state = State::Text;
    bool m_bEndTag = false;
    std::string m_name;      // the tag's name so far, lower-cased (a few letters are enough)
    char m_quote = 0;
    int m_nDashes = 0;       // Declaration and Comment: the dashes just seen; CDataOpen: the letters
                             // of "CDATA[" seen; CData: the "]" just seen
    const char* m_pszRawEnd = nullptr; // RawText: the end tag sought, and how much of it is seen
    std::string m_rawHeld;   // the bytes of it seen, which are text after all if it does not follow
    std::string m_tag;       // the bytes of a tag that may be a META tag, to its end
    std::string m_declared;
    CWordsBeyondAscii m_rawWords; // the words of comments, style sheets and scripts
    CJisShift m_shift;
};
