// The toolbar control: a row (or rows) of image buttons taken from bitmap strips, with check,
// group and drop-down buttons and separators; clicks go to the owner as WM_COMMAND, a drop-down
// arrow as a TBN_DROPDOWN notice.
#pragma once

#include "platform/core/Types.h"
#include "platform/win/UserApi.h"

#include <vector>

#define TOOLBARCLASSNAME "ToolbarWindow32"

// A button as callers describe it to the control. The record is native: the data and string
// fields are pointer-sized, and TB_BUTTONSTRUCTSIZE must give sizeof(TBBUTTON).
struct TBBUTTON {
    int iBitmap;
    int idCommand;
    BYTE fsState;
    BYTE fsStyle;
    BYTE bReserved[6];
    DWORD_PTR dwData;
    INT_PTR iString;
};
typedef TBBUTTON* LPTBBUTTON;
typedef const TBBUTTON* LPCTBBUTTON;

// Button states (fsState).
#define TBSTATE_CHECKED 0x01
#define TBSTATE_PRESSED 0x02
#define TBSTATE_ENABLED 0x04
#define TBSTATE_HIDDEN 0x08
#define TBSTATE_INDETERMINATE 0x10
#define TBSTATE_WRAP 0x20

// Button styles (fsStyle) and window styles.
#define TBSTYLE_BUTTON 0x0000
#define TBSTYLE_SEP 0x0001
#define TBSTYLE_CHECK 0x0002
#define TBSTYLE_GROUP 0x0004
#define TBSTYLE_CHECKGROUP (TBSTYLE_GROUP | TBSTYLE_CHECK)
#define TBSTYLE_DROPDOWN 0x0008
#define TBSTYLE_TOOLTIPS 0x0100
#define TBSTYLE_WRAPABLE 0x0200
#define TBSTYLE_ALTDRAG 0x0400
#define TBSTYLE_FLAT 0x0800
#define TBSTYLE_LIST 0x1000
#define TBSTYLE_TRANSPARENT 0x8000

// Extended styles (TB_SETEXTENDEDSTYLE).
#define TBSTYLE_EX_DRAWDDARROWS 0x00000001

#define TB_ENABLEBUTTON (WM_USER + 1)
#define TB_CHECKBUTTON (WM_USER + 2)
#define TB_PRESSBUTTON (WM_USER + 3)
#define TB_HIDEBUTTON (WM_USER + 4)
#define TB_INDETERMINATE (WM_USER + 5)
#define TB_ISBUTTONENABLED (WM_USER + 9)
#define TB_ISBUTTONCHECKED (WM_USER + 10)
#define TB_ISBUTTONPRESSED (WM_USER + 11)
#define TB_ISBUTTONHIDDEN (WM_USER + 12)
#define TB_SETSTATE (WM_USER + 17)
#define TB_GETSTATE (WM_USER + 18)
#define TB_ADDBITMAP (WM_USER + 19)
#define TB_ADDBUTTONS (WM_USER + 20)
#define TB_INSERTBUTTON (WM_USER + 21)
#define TB_DELETEBUTTON (WM_USER + 22)
#define TB_GETBUTTON (WM_USER + 23)
#define TB_BUTTONCOUNT (WM_USER + 24)
#define TB_COMMANDTOINDEX (WM_USER + 25)
#define TB_GETITEMRECT (WM_USER + 29)
#define TB_BUTTONSTRUCTSIZE (WM_USER + 30)
#define TB_SETBUTTONSIZE (WM_USER + 31)
#define TB_SETBITMAPSIZE (WM_USER + 32)
#define TB_AUTOSIZE (WM_USER + 33)
#define TB_SETPARENT (WM_USER + 37)
#define TB_REPLACEBITMAP (WM_USER + 46)
#define TB_SETEXTENDEDSTYLE (WM_USER + 84)
#define TB_GETEXTENDEDSTYLE (WM_USER + 85)

// The notice sent (WM_NOTIFY) when a drop-down button's arrow is pressed.
#define TBN_DROPDOWN (-710)
#define TBDDRET_DEFAULT 0

// TB_ADDBITMAP: with a null hInst, nID is the bitmap handle; the control never owns it.
struct TBADDBITMAP {
    HINSTANCE hInst;
    UINT_PTR nID;
};
// TB_REPLACEBITMAP: the strip added as the old bitmap takes the new one, with nButtons images.
struct TBREPLACEBITMAP {
    HINSTANCE hInstOld;
    UINT_PTR nIDOld;
    HINSTANCE hInstNew;
    UINT_PTR nIDNew;
    int nButtons;
};

struct NMTOOLBAR {
    NMHDR hdr;
    int iItem;
    TBBUTTON tbButton;
    int cchText;
    LPSTR pszText;
    RECT rcButton;
};

// The control library's version, as its DllGetVersion export answers it.
struct DLLVERSIONINFO {
    DWORD cbSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformID;
};
#define DLLVER_PLATFORM_NT 0x00000002

// The version of the controls this layer provides: a fixed 5.81. A null record or one whose
// cbSize is not that of DLLVERSIONINFO gets E_INVALIDARG.
HRESULT DllGetVersion(DLLVERSIONINFO* pdvi);

// A toolbar's model: its buttons, image strips, sizes and the button being pressed.
class ToolbarModel {
public:
    static constexpr int kDefaultSeparator = 8;

    struct Strip {
        HBITMAP bitmap;
        int count;
    };

    // Inserts a copy of the button before `index` (past the end, or negative, appends).
    void Insert(int index, const TBBUTTON& button);
    bool Delete(int index);
    int CommandToIndex(int id) const;
    int Count() const { return static_cast<int>(buttons.size()); }

    // Adds a strip of `count` images; returns the index of its first image.
    int AddBitmap(HBITMAP bitmap, int count);
    // Gives the strip that holds `oldBitmap` the new bitmap and image count.
    bool ReplaceBitmap(HBITMAP oldBitmap, HBITMAP newBitmap, int count);
    // The strip and the image's column in it, for an image index over all strips.
    bool FindImage(int image, HBITMAP& bitmap, int& column) const;

    // Each button's rectangle in client coordinates (empty for a hidden button), laid out from
    // the top-left: a button is the button width (plus the arrow for a drop-down button with
    // TBSTYLE_EX_DRAWDDARROWS), a separator its own width (iBitmap, or the default); a button
    // with TBSTATE_WRAP ends its row, and a wrapping separator adds two thirds of its width as a
    // gap below the row unless the bar is flat.
    std::vector<RECT> Layout(DWORD windowStyle) const;
    int Width(const TBBUTTON& button) const;
    static int SeparatorWidth(const TBBUTTON& button) { return button.iBitmap > 0 ? button.iBitmap : kDefaultSeparator; }

    std::vector<TBBUTTON> buttons;
    std::vector<Strip> strips;
    SIZE buttonSize{24, 22};
    SIZE bitmapSize{16, 15};
    UINT structSize = sizeof(TBBUTTON);
    HWND owner = nullptr;          // gets WM_COMMAND and notices; the parent until TB_SETPARENT
    DWORD exStyle = 0;
    int arrowWidth = 0;            // of a drop-down arrow, measured once at creation

    // Mouse tracking: the button held down, whether the pointer is over it, the hot button.
    int tracking = -1;
    bool trackingInside = false;
    int hot = -1;

    int m_depth = 0;
    bool m_orphaned = false;
};

// Paints a toolbar's buttons and separators into its client rectangle.
void PaintToolbar(HDC dc, const RECT& client, const ToolbarModel& model, DWORD windowStyle);

// The width of a drop-down arrow: the symbol font's arrow glyph at the menu check height,
// measured once per process.
int ToolbarArrowWidth();

LRESULT CALLBACK ToolbarWndProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
