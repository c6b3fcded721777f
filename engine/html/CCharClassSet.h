// CCharClassSet: a set of byte values built once from a short range text, asked for membership
// in constant time; and the process-wide sets of URL, host and control characters.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/Types.h"

#include <array>

class CCharClassSet {
public:
    // Range text, read left to right: an ordinary character adds itself and becomes the last
    // character; "%" adds the character after it literally (which becomes the last); "-" adds
    // every character from the last one plus one up to the character after it (after a "%"
    // when that is "%"), and does not change the last; a "-" at the start ranges from byte 1.
    // A "%" or "-" with nothing after it adds nothing. Null or empty gives an empty set.
    constexpr explicit CCharClassSet(LPCSTR pszRange) : m_table{}
    {
        if (pszRange == nullptr)
            return;
        int last = 0;
        for (int i = 0; pszRange[i] != '\0';) {
            const int ch = static_cast<unsigned char>(pszRange[i]);
            if (ch == '%') {
                const int next = static_cast<unsigned char>(pszRange[i + 1]);
                if (next == 0)
                    break;
                m_table[next] = 1;
                last = next;
                i += 2;
            } else if (ch == '-') {
                int end = static_cast<unsigned char>(pszRange[i + 1]);
                if (end == 0)
                    break;
                i += 2;
                if (end == '%') {
                    end = static_cast<unsigned char>(pszRange[i]);
                    if (end == 0)
                        break;
                    ++i;
                }
                for (int c = last + 1; c <= end; ++c)
                    m_table[c] = 1;
            } else {
                m_table[ch] = 1;
                last = ch;
                ++i;
            }
        }
    }

    // Whether the byte (taken modulo 256) is a member.
    constexpr BOOL Contains(int ch) const { return m_table[static_cast<unsigned>(ch) & 0xFFu]; }
    // Whether the lead byte of every character of the NUL-terminated text is a member
    // (characters stepped with CharNextA); TRUE for an empty or null text.
    BOOL ContainsAll(LPCSTR pszText) const;

private:
    std::array<BYTE, 256> m_table;
};

// Built at compile time, so they are ready before any code runs and never change.
extern const CCharClassSet g_ControlChars;       // bytes 1 to 32
extern const CCharClassSet g_ServerNameChars;
extern const CCharClassSet g_HostChars;
extern const CCharClassSet g_IpChars;
extern const CCharClassSet g_UrlChars;
extern const CCharClassSet g_UrlCharsTilde;
extern const CCharClassSet g_UrlCharsTildeBlank;
extern const CCharClassSet g_UrlCharsBar;

// Turns every byte of the text that is in g_ControlChars (1 to 32) into a blank; the length
// stays. Callable from any thread.
void BlankControlChars(CString& strText);
void BlankControlChars(LPSTR pszText);
