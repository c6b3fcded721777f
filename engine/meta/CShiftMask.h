// CShiftMask: keeps the characters of a charset that shifts by escapes (ISO-2022-JP) from reading
// as markup when the rewriting engine lexes its bytes. Its characters beyond ASCII are pairs of
// ASCII bytes between an escape into a set of them and the escape back, and "<", ">", quotes and
// "&" are among them. Inside such a shift every printable byte is given the high bit, which no
// markup has, and the same pass over the copy written takes it off again: escape sequences are
// read alike both ways, so the pass is its own inverse.
#pragma once

#include <cstddef>

class CPageCharset;

class CShiftMask {
public:
    // Whether bytes of the charset hold characters whose bytes may read as markup.
    static bool IsNeededFor(const CPageCharset& charset);

    // Masks, or unmasks, the bytes in place; the next piece of the same text goes on where they
    // stopped.
    void Apply(char* pBytes, size_t nLength);

private:
    // Where in an escape sequence the last byte left it.
    enum class Escape { None, Start, Dollar, Final, Paren };
    Escape m_escape = Escape::None;
    bool m_bFinalShifts = false; // the sequence's last byte shifts to the set it names
    bool m_bShifted = false;
};
