// Tool tips: a pop-up that shows a tool's text after the pointer has rested on it, hides after a
// while or when the pointer leaves, asks the owner for texts it does not keep (TTN_NEEDTEXT),
// and can be tracked at a position of the caller's choosing.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <string>
#include <vector>

#define TOOLTIPS_CLASS WC_TOOLTIPS

#define TTS_ALWAYSTIP 0x01
#define TTS_NOPREFIX 0x02

#define TTF_IDISHWND 0x0001
#define TTF_CENTERTIP 0x0002
#define TTF_RTLREADING 0x0004
#define TTF_SUBCLASS 0x0010
#define TTF_TRACK 0x0020
#define TTF_ABSOLUTE 0x0080
#define TTF_TRANSPARENT 0x0100
#define TTF_DI_SETITEM 0x8000

#define TTDT_AUTOMATIC 0
#define TTDT_RESHOW 1
#define TTDT_AUTOPOP 2
#define TTDT_INITIAL 3

#define TTM_ACTIVATE (WM_USER + 1)
#define TTM_SETDELAYTIME (WM_USER + 3)
#define TTM_ADDTOOL (WM_USER + 4)
#define TTM_DELTOOL (WM_USER + 5)
#define TTM_NEWTOOLRECT (WM_USER + 6)
#define TTM_RELAYEVENT (WM_USER + 7)
#define TTM_GETTOOLINFO (WM_USER + 8)
#define TTM_SETTOOLINFO (WM_USER + 9)
#define TTM_HITTEST (WM_USER + 10)
#define TTM_GETTEXT (WM_USER + 11)
#define TTM_UPDATETIPTEXT (WM_USER + 12)
#define TTM_GETTOOLCOUNT (WM_USER + 13)
#define TTM_ENUMTOOLS (WM_USER + 14)
#define TTM_GETCURRENTTOOL (WM_USER + 15)
#define TTM_WINDOWFROMPOINT (WM_USER + 16)
#define TTM_TRACKACTIVATE (WM_USER + 17)
#define TTM_TRACKPOSITION (WM_USER + 18)
#define TTM_SETTIPBKCOLOR (WM_USER + 19)
#define TTM_SETTIPTEXTCOLOR (WM_USER + 20)
#define TTM_GETDELAYTIME (WM_USER + 21)
#define TTM_SETMAXTIPWIDTH (WM_USER + 24)
#define TTM_POP (WM_USER + 28)
#define TTM_UPDATE (WM_USER + 29)

#define TTN_FIRST (0U - 520U)
#define TTN_GETDISPINFO (TTN_FIRST - 0)
#define TTN_NEEDTEXT TTN_GETDISPINFO
#define TTN_SHOW (TTN_FIRST - 1)
#define TTN_POP (TTN_FIRST - 2)

#define LPSTR_TEXTCALLBACK (reinterpret_cast<LPSTR>(static_cast<intptr_t>(-1)))

struct TOOLINFO {
    UINT cbSize;
    UINT uFlags;
    HWND hwnd;
    UINT_PTR uId;
    RECT rect;
    HINSTANCE hinst;
    LPSTR lpszText;
    LPARAM lParam;
    void* lpReserved;
};
typedef TOOLINFO* LPTOOLINFO;
typedef TOOLINFO TTTOOLINFO;

struct TTHITTESTINFO {
    HWND hwnd;
    POINT pt;
    TOOLINFO ti;
};

struct NMTTDISPINFO {
    NMHDR hdr;
    LPSTR lpszText;
    char szText[80];
    HINSTANCE hinst;
    UINT uFlags;
    LPARAM lParam;
};
typedef NMTTDISPINFO* LPNMTTDISPINFO;
typedef NMTTDISPINFO TOOLTIPTEXT;

// A tool tip's model: its tools, which one the pointer rests on, and the delays.
class ToolTipModel {
public:
    struct Tool {
        UINT flags = 0;
        HWND hwnd = nullptr;
        UINT_PTR id = 0;
        RECT rect{0, 0, 0, 0};
        HINSTANCE instance = nullptr;
        bool callback = false;        // LPSTR_TEXTCALLBACK: the owner gives the text
        std::string text;             // or a string resource id in `resource`
        UINT resource = 0;
        LPARAM lParam = 0;
    };

    // Adds a tool (replacing one with the same window and id); false for a null record.
    bool Add(const TOOLINFO& info);
    bool Remove(HWND hwnd, UINT_PTR id);
    // The tool of (window, id), or -1.
    int Find(HWND hwnd, UINT_PTR id) const;
    // The tool under a point of a window's client area, or -1: a whole-window tool for that
    // window, or a tool of that window whose rectangle holds the point.
    int HitTest(HWND hwnd, POINT client) const;
    const Tool& At(int i) const { return m_tools[static_cast<size_t>(i)]; }
    Tool& At(int i) { return m_tools[static_cast<size_t>(i)]; }
    int Count() const { return static_cast<int>(m_tools.size()); }
    // Fills a TOOLINFO from a tool: the text goes into the buffer the record points at (up to 79
    // bytes); a callback tool answers LPSTR_TEXTCALLBACK, a resource text its id.
    void Fill(int i, TOOLINFO& info) const;

    // Delays in milliseconds: TTDT_AUTOMATIC sets all three from one (the initial delay, ten
    // times it, a fifth of it); a negative value restores the defaults.
    void SetDelay(int which, int ms);
    int Delay(int which) const;

    int current = -1;     // the tool the pointer rests on
    bool shown = false;
    bool popped = false;  // hidden by its time or a click: not again until the pointer leaves
    bool active = true;
    bool tracking = false;
    POINT trackAt{0, 0};
    int maxWidth = -1;

private:
    std::vector<Tool> m_tools;
    int m_initial = -1;
    int m_autopop = -1;
    int m_reshow = -1;
};

LRESULT CALLBACK ToolTipWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
