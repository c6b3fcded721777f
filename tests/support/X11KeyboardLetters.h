// Letters of other scripts on keys of the test's X display, as a keyboard of that language has
// them: each character of a text gets a key of its own that was free, for as long as the object
// lives. xdotool then types the characters with those keys; left to itself it binds a free key
// for each character just while it sends it, and a program that reads the key only after
// xdotool has given the key back finds no character on it.
#pragma once

#include "tests/support/Utf8CodePoints.h"

#include <X11/Xlib.h>

#include <cstdint>
#include <set>
#include <string>
#include <vector>

class X11KeyboardLetters {
public:
    // Binds the characters of the UTF-8 text that no key gives yet. Ready() tells whether
    // there were free keys for all of them.
    X11KeyboardLetters(Display* display, const std::string& text) : m_display(display)
    {
        int nMin = 0, nMax = 0;
        XDisplayKeycodes(m_display, &nMin, &nMax);
        int nPerCode = 0;
        KeySym* map = XGetKeyboardMapping(m_display, static_cast<KeyCode>(nMin), nMax - nMin + 1, &nPerCode);
        if (map == nullptr)
            return;
        std::vector<int> freeCodes;
        for (int code = nMax; code >= nMin; --code) {
            bool bFree = true;
            for (int i = 0; i < nPerCode && bFree; ++i)
                bFree = map[(code - nMin) * nPerCode + i] == NoSymbol;
            if (bFree)
                freeCodes.push_back(code);
        }
        XFree(map);
        m_bReady = true;
        const std::vector<std::uint32_t> all = Utf8CodePoints(text);
        for (std::uint32_t cp : std::set<std::uint32_t>(all.begin(), all.end())) {
            // Latin-1 keysyms are the characters themselves; the others are Unicode keysyms.
            const KeySym sym = cp < 0x100 ? cp : (0x01000000 | cp);
            if (cp < 0x80 || XKeysymToKeycode(m_display, sym) != 0)
                continue;
            if (freeCodes.empty()) {
                m_bReady = false;
                break;
            }
            const int code = freeCodes.back();
            freeCodes.pop_back();
            KeySym syms[2] = {sym, sym};
            XChangeKeyboardMapping(m_display, code, 2, syms, 1);
            m_bound.push_back(code);
        }
        XSync(m_display, False);
    }
    // The keys are free again.
    ~X11KeyboardLetters()
    {
        for (int code : m_bound) {
            KeySym none[2] = {NoSymbol, NoSymbol};
            XChangeKeyboardMapping(m_display, code, 2, none, 1);
        }
        XSync(m_display, False);
    }
    X11KeyboardLetters(const X11KeyboardLetters&) = delete;
    X11KeyboardLetters& operator=(const X11KeyboardLetters&) = delete;

    bool Ready() const { return m_bReady; }

private:
    Display* m_display;
    std::vector<int> m_bound;
    bool m_bReady = false;
};
