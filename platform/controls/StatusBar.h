// The status bar control: a row of sunken parts along the bottom of its parent, with texts
// (aligned by tabs), owner-drawn parts, a simple mode of one text, and a size grip.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

#define STATUSCLASSNAME "msctls_statusbar32"

// The common-control placement styles: a bar with CCS_NOPARENTALIGN is placed by its owner
// (a frame's control-bar layout) instead of along the bottom of its parent.
#define CCS_NORESIZE 0x0004
#define CCS_NOPARENTALIGN 0x0008

#define SBARS_SIZEGRIP 0x0100
#define SBARS_TOOLTIPS 0x0800

#define SB_SETTEXT (WM_USER + 1)
#define SB_GETTEXT (WM_USER + 2)
#define SB_GETTEXTLENGTH (WM_USER + 3)
#define SB_SETPARTS (WM_USER + 4)
#define SB_GETPARTS (WM_USER + 6)
#define SB_GETBORDERS (WM_USER + 7)
#define SB_SETMINHEIGHT (WM_USER + 8)
#define SB_SIMPLE (WM_USER + 9)
#define SB_GETRECT (WM_USER + 10)
#define SB_ISSIMPLE (WM_USER + 14)

#define SBT_OWNERDRAW 0x1000
#define SBT_NOBORDERS 0x0100
#define SBT_POPOUT 0x0200
#define SBT_RTLREADING 0x0400
#define SB_SIMPLEID 0x00FF

#ifndef NM_FIRST
#define NM_FIRST 0U
#define NM_CLICK (NM_FIRST - 2)
#define NM_DBLCLK (NM_FIRST - 3)
#define NM_RETURN (NM_FIRST - 4)
#define NM_RCLICK (NM_FIRST - 5)
#define NM_RDBLCLK (NM_FIRST - 6)
#endif

struct NMMOUSE {
    NMHDR hdr;
    DWORD_PTR dwItemSpec;
    DWORD_PTR dwItemData;
    POINT pt;
    LPARAM dwHitInfo;
};

// A status bar's model: parts, their texts and kinds, the simple mode, and their layout.
class StatusBarModel {
public:
    static constexpr int kMaxParts = 256;
    static constexpr int kHorzBorder = 0;
    static constexpr int kVertBorder = 2;
    static constexpr int kGap = 2;

    struct Part {
        int right = -1;          // the right edge the caller gave; -1 reaches the end
        std::string text;
        UINT type = 0;           // SBT_ flags
        LPARAM data = 0;         // an owner-drawn part's value
    };

    StatusBarModel() : m_parts(1) {}
    // SB_SETPARTS: false for no parts or too many.
    bool SetParts(int count, const int* rightEdges);
    int PartCount() const { return static_cast<int>(m_parts.size()); }
    const Part& PartAt(int i) const { return i == SB_SIMPLEID ? m_simple : m_parts[static_cast<size_t>(i)]; }
    // SB_SETTEXT: the part index (SB_SIMPLEID: the simple text) with SBT_ flags; false for a
    // part that is not there. An owner-drawn part keeps `value` as its data, not as text.
    bool SetText(int part, UINT type, LPARAM value);
    // SB_GETTEXT's answer: MAKELONG(length, type); 0 for a part that is not there.
    DWORD TextInfo(int part) const;
    bool Simple() const { return m_simpleMode; }
    void SetSimple(bool simple) { m_simpleMode = simple; }
    // The rectangle of part i in a client area of the given size (its border included); the
    // last part stops short of the size grip.
    RECT PartRect(int i, const RECT& client, int gripWidth) const;
    // The part under a point, or -1.
    int PartAt(POINT pt, const RECT& client, int gripWidth) const;

    int minHeight = 0;
    HFONT font = nullptr;
    // Kept alive while the control's own code runs (ControlCallGuard).
    int m_depth = 0;
    bool m_orphaned = false;

private:
    std::vector<Part> m_parts;
    Part m_simple;
    bool m_simpleMode = false;
};

LRESULT CALLBACK StatusBarWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
