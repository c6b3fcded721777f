// The editor's regular expressions: a pattern compiled into a compact node program, matched by
// backtracking against a NUL-terminated text, with up to nine groups and replacement templates.
#pragma once

#include <string>
#include <vector>

class SECEditRegExp {
public:
    static constexpr int kGroups = 10;   // 0 is the whole match
    // The deepest the matcher recurses before giving up on a text: a pattern such as "(a|b)*"
    // recurses once per byte, and a line holds tens of thousands of them.
    static constexpr int kMaxDepth = 10000;
    // The most matching steps one search takes before giving up: nested repetitions such as
    // "(a*)*b" try every way of splitting a run of bytes, which never ends on a long line.
    static constexpr long kMaxSteps = 1000000;

    SECEditRegExp() = default;

    // This object when the pattern compiled, else null (and it finds nothing).
    SECEditRegExp* Compile(const char* pPattern);
    // The offset of the first match in the text, or -1. With nFrom, matching starts there while
    // "^" still means the start of the text, so that a line can be searched from any offset.
    int Find(const char* pText, int nFrom = 0);
    // The replacement for the last match; false when there is no match or no template.
    bool GetReplaceString(const char* pTemplate, std::string& out) const;
    // The same with the groups' bytes taken at their offsets from another text of which the
    // searched one is a same-length copy (a case-folded line, say).
    bool ExpandFrom(const char* pTemplate, const char* pSource, std::string& out) const;
    int GetMatchLength() const;
    // A group's start offset in the searched text and its length; false when it took no part.
    bool GetGroup(int n, int* pStart, int* pLength) const;
    const std::string& GetFound() const { return m_strFound; }
    // True when the last Find gave up at the depth or step bound rather than failing to match.
    bool TooDeep() const { return m_bTooDeep; }
    static bool HasMetaChars(const char* pText);

private:
    enum Op : unsigned char {
        END = 0, BOL = 1, EOL = 2, ANY = 3, ANYOF = 4, ANYBUT = 5, BRANCH = 6, BACK = 7,
        EXACTLY = 8, NOTHING = 9, STAR = 10, PLUS = 11, OPEN = 20, CLOSE = 30,
    };
    enum Flags { WORST = 0, HASWIDTH = 1, SIMPLE = 2, SPSTART = 4 };
    static constexpr size_t kNone = static_cast<size_t>(-1);

    size_t Reg(bool paren, int* flags);
    size_t Branch(int* flags);
    size_t Piece(int* flags);
    size_t Atom(int* flags);
    size_t Node(unsigned char op);
    void Emit(unsigned char b) { m_program.push_back(b); }
    void Insert(unsigned char op, size_t operand);
    void Tail(size_t p, size_t val);
    void OpTail(size_t p, size_t val);
    size_t Next(size_t p) const;
    bool Try(const char* at);
    bool Match(size_t scan);
    size_t Repeat(size_t node) const;

    std::vector<unsigned char> m_program;
    bool m_bCompiled = false;
    bool m_bBad = false;
    std::string m_strFound;
    const char* m_startp[kGroups] = {};
    const char* m_endp[kGroups] = {};
    unsigned char m_firstChar = 0;
    bool m_bAnchored = false;
    std::string m_strMust;
    const char* m_parse = nullptr;
    int m_nextGroup = 1;
    const char* m_input = nullptr;
    const char* m_bol = nullptr;
    int m_depth = 0;
    long m_steps = 0;
    bool m_bTooDeep = false;
};
