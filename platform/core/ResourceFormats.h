// The compiled, in-memory forms of the program's resources, as the resource compiler writes them
// and as FindResource/LoadResource/LockResource hand them out, with readers and writers for the
// structured ones (dialog and menu templates, string blocks, toolbars, accelerators, DLGINIT).
//
// The layouts are the platform's familiar binary forms with one change: every string is a byte
// string (UTF-8) ended by a NUL, never UTF-16, because the program's text is bytes throughout.
// Fields keep their widths and order; a reader loads multi-byte fields with memcpy, so a block
// need not sit at any particular address, but offsets below are from the start of the block.
//
// Name-or-ordinal field (a dialog's menu and class, an item's class and title):
//   WORD 0x0000                       no value (2 bytes)
//   WORD 0xFFFF, WORD ordinal         an ordinal (4 bytes)
//   bytes..., NUL, [0x00 to even]     a byte string, then zero padding to an even offset
// A string never starts with the byte 0xFF (it is no UTF-8 lead byte), so the first WORD tells
// the three apart exactly as in the wide form. A plain string field (the dialog's title, the font
// name, a menu item's text) is bytes, NUL, and the same padding to an even offset.
//
// RT_DIALOG, classic form (DIALOG):
//   DLGTEMPLATE (18 bytes: style, dwExtendedStyle, cdit, x, y, cx, cy)
//   menu (name-or-ordinal), class (name-or-ordinal), title (string)
//   if style has DS_SETFONT: WORD point size, font name (string)
//   cdit items, each starting at a DWORD-aligned offset:
//     DLGITEMTEMPLATE (18 bytes: style, dwExtendedStyle, x, y, cx, cy, id)
//     class (name-or-ordinal: 0x0080 button, 0x0081 edit, 0x0082 static, 0x0083 list box,
//            0x0084 scroll bar, 0x0085 combo box, or a registered class name)
//     title (name-or-ordinal: text, or the ordinal of an icon/bitmap resource for a static)
//     WORD size of creation data, then that many bytes (passed in WM_CREATE)
//
// RT_DIALOG, extended form (DIALOGEX), recognised by dlgVer 1 and signature 0xFFFF:
//   DLGTEMPLATEEX_HEADER (26 bytes: dlgVer, signature, helpID, exStyle, style, cDlgItems,
//                         x, y, cx, cy)
//   menu, class (name-or-ordinal), title (string)
//   if style has DS_SETFONT (or DS_SHELLFONT): WORD point size, WORD weight, BYTE italic,
//     BYTE charset, font name (string)
//   cDlgItems items, each at a DWORD-aligned offset:
//     DLGITEMTEMPLATEEX_HEADER (24 bytes: helpID, exStyle, style, x, y, cx, cy, DWORD id)
//     class, title (name-or-ordinal), WORD size of creation data, the data
// Coordinates are dialog units; the dialog manager converts them with the font's base units.
//
// RT_MENU, classic form (MENU): MENUITEMTEMPLATEHEADER (versionNumber 0, offset 0), then items:
//   WORD option (MF_ flags: MF_GRAYED 0x01, MF_DISABLED 0x02, MF_CHECKED 0x08, MF_POPUP 0x10,
//                MF_MENUBARBREAK 0x20, MF_MENUBREAK 0x40, MF_END 0x80 on the last item of a
//                level, MF_OWNERDRAW 0x100, MF_HELP 0x4000)
//   WORD id                  (absent when MF_POPUP is set)
//   text (string)            a popup's items follow it at once, ended by an MF_END item
// A separator is option 0, id 0 and an empty text.
//
// RT_MENU, extended form (MENUEX): MENUEX_TEMPLATE_HEADER (wVersion 1, wOffset 4, dwHelpId),
// then items, each at a DWORD-aligned offset:
//   DWORD type (MFT_), DWORD state (MFS_), DWORD id, WORD resInfo (0x80 last item of its level,
//   0x01 pop-up), text (string), then for a pop-up: padding to a DWORD, DWORD help id, and its
//   items.
//
// RT_STRING: block n holds the strings with ids (n - 1) * 16 to (n - 1) * 16 + 15; each of its 16
// entries is WORD length (bytes, without the NUL), the bytes, a NUL, then padding to an even
// offset. A missing string has length 0. The NUL lets a pointer into the block serve as a C string.
//
// RT_ACCELERATOR: ACCELTABLEENTRY records (8 bytes each); the last has 0x80 in fFlags.
// RT_TOOLBAR: TOOLBARDATA header (wVersion 1, wWidth, wHeight, wItemCount), then wItemCount WORD
// command ids, 0 for a separator.
// RT_DLGINIT (named like the dialog it fills): records of WORD control id, WORD message, DWORD
// length, that many bytes; a WORD 0 ends the list. The messages are the list and combo "add
// string" messages of the 16-bit numbering (0x0401 LB_ADDSTRING, 0x0403 CB_ADDSTRING) or
// today's (0x0180 LB_ADDSTRING, 0x0143 CB_ADDSTRING); the data is the text with its NUL.
// RT_BITMAP, RT_ICON: the PNG file's bytes. RT_CURSOR: CURSORRESOURCEHEADER (hot spot), then
// the PNG file's bytes.
// RT_VERSION: the version block that GetFileVersionInfo fills (VersionInfo.h); VerQueryValue
// reads it as it stands.
// RT_RCDATA and user-defined types: the bytes as written.
#pragma once

#include "platform/core/Types.h"

#include <cstddef>
#include <span>
#include <string>
#include <vector>

// The same definitions as the window layer's, so either header may come first.
#define MAKEINTRESOURCE(i) (reinterpret_cast<LPSTR>(static_cast<ULONG_PTR>(static_cast<WORD>(i))))
#define IS_INTRESOURCE(p) ((reinterpret_cast<ULONG_PTR>(p) >> 16) == 0)

#define RT_CURSOR MAKEINTRESOURCE(1)
#define RT_BITMAP MAKEINTRESOURCE(2)
#define RT_ICON MAKEINTRESOURCE(3)
#define RT_MENU MAKEINTRESOURCE(4)
#define RT_DIALOG MAKEINTRESOURCE(5)
#define RT_STRING MAKEINTRESOURCE(6)
#define RT_ACCELERATOR MAKEINTRESOURCE(9)
#define RT_RCDATA MAKEINTRESOURCE(10)
#define RT_VERSION MAKEINTRESOURCE(16)
#define RT_DLGINIT MAKEINTRESOURCE(240)
#define RT_TOOLBAR MAKEINTRESOURCE(241)

// The id of the version resource.
#define VS_VERSION_INFO 1

#pragma pack(push, 2)
struct DLGTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    WORD cdit;
    short x;
    short y;
    short cx;
    short cy;
};
typedef const DLGTEMPLATE* LPCDLGTEMPLATE;

struct DLGITEMTEMPLATE {
    DWORD style;
    DWORD dwExtendedStyle;
    short x;
    short y;
    short cx;
    short cy;
    WORD id;
};

struct DLGTEMPLATEEX_HEADER {
    WORD dlgVer;    // 1
    WORD signature; // 0xFFFF
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    WORD cDlgItems;
    short x;
    short y;
    short cx;
    short cy;
};

struct DLGITEMTEMPLATEEX_HEADER {
    DWORD helpID;
    DWORD exStyle;
    DWORD style;
    short x;
    short y;
    short cx;
    short cy;
    DWORD id;
};

struct MENUITEMTEMPLATEHEADER {
    WORD versionNumber; // 0
    WORD offset;        // 0: the items follow at once
};

struct MENUEX_TEMPLATE_HEADER {
    WORD wVersion; // 1
    WORD wOffset;  // 4: from the end of wOffset to the first item
    DWORD dwHelpId;
};

struct ACCELTABLEENTRY {
    WORD fFlags; // FVIRTKEY 0x01, FNOINVERT 0x02, FSHIFT 0x04, FCONTROL 0x08, FALT 0x10, 0x80 last
    WORD wAnsi;  // a virtual-key code with FVIRTKEY, else the character
    WORD wId;
    WORD padding;
};

struct TOOLBARDATA {
    WORD wVersion; // 1
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
    // WORD items[wItemCount] follow
};

struct CURSORRESOURCEHEADER {
    WORD xHotspot;
    WORD yHotspot;
};
#pragma pack(pop)

static_assert(sizeof(DLGTEMPLATE) == 18 && sizeof(DLGITEMTEMPLATE) == 18);
static_assert(sizeof(DLGTEMPLATEEX_HEADER) == 26 && sizeof(DLGITEMTEMPLATEEX_HEADER) == 24);
static_assert(sizeof(ACCELTABLEENTRY) == 8 && sizeof(TOOLBARDATA) == 8);

// The predefined control classes of a dialog item's class ordinal.
enum class DialogControlClass : WORD {
    Button = 0x0080,
    Edit = 0x0081,
    Static = 0x0082,
    ListBox = 0x0083,
    ScrollBar = 0x0084,
    ComboBox = 0x0085,
};

// ---- Readers and writers ----
// Each reader takes the block and its size (SIZE_MAX when the caller, like DialogBoxIndirect,
// has only a pointer and trusts the block). A reader answers false for a block that is cut short
// or malformed and never reads past size bytes. Each writer produces the exact form above, so
// code and tests can build templates in memory.

// A name-or-ordinal field. Neither ordinal nor text: the field was empty.
struct ResourceNameOrId {
    bool isOrdinal = false;
    WORD ordinal = 0;
    std::string text;

    bool IsEmpty() const { return !isOrdinal && text.empty(); }
    // MAKEINTRESOURCE(ordinal) for an ordinal, else the text (valid while this object lives).
    LPCSTR AsResourceName() const { return isOrdinal ? MAKEINTRESOURCE(ordinal) : text.c_str(); }
};

struct DialogItemTemplate {
    DWORD helpId = 0; // extended form only
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    DWORD id = 0; // a WORD in the classic form
    ResourceNameOrId windowClass;
    ResourceNameOrId title;
    std::vector<BYTE> creationData;
};

struct DialogTemplate {
    bool extended = false; // DIALOGEX
    DWORD helpId = 0;      // extended form only
    DWORD exStyle = 0;
    DWORD style = 0;
    short x = 0, y = 0, cx = 0, cy = 0;
    ResourceNameOrId menu;
    ResourceNameOrId windowClass;
    std::string title;
    // Present when style has DS_SETFONT (0x40) or DS_SHELLFONT (0x48).
    WORD pointSize = 0;
    WORD weight = 0;   // extended form only
    BYTE italic = 0;   // extended form only
    BYTE charset = 0;  // extended form only
    std::string typeface;
    std::vector<DialogItemTemplate> items;
};

bool ReadDialogTemplate(const void* data, size_t size, DialogTemplate& dialog);
// DS_SETFONT in style decides whether the font fields are written.
std::vector<BYTE> WriteDialogTemplate(const DialogTemplate& dialog);

struct MenuTemplateItem {
    // Classic form: the MF_ option flags without MF_END (MF_POPUP kept). Extended form: 0.
    WORD option = 0;
    // Extended form: MFT_ type and MFS_ state. Classic form: 0.
    DWORD type = 0;
    DWORD state = 0;
    DWORD id = 0;
    DWORD helpId = 0; // extended pop-ups only
    bool popup = false;
    std::string text;
    std::vector<MenuTemplateItem> children;
};

struct MenuTemplate {
    bool extended = false; // MENUEX
    DWORD helpId = 0;
    std::vector<MenuTemplateItem> items;
};

bool ReadMenuTemplate(const void* data, size_t size, MenuTemplate& menu);
// In the classic form, popup sets MF_POPUP in the written option.
std::vector<BYTE> WriteMenuTemplate(const MenuTemplate& menu);

// The 16 strings of a string block; an empty text is a missing string.
bool ReadStringBlock(const void* data, size_t size, std::vector<std::string>& strings);
// Writes strings[0..15] (missing ones empty).
std::vector<BYTE> WriteStringBlock(std::span<const std::string> strings);
// The block and entry of a string id.
inline WORD StringBlockId(UINT id) { return static_cast<WORD>((id >> 4) + 1); }
inline UINT StringBlockIndex(UINT id) { return id & 15u; }
// A pointer to string entry `index` of a block: its NUL-terminated text and length, or null.
LPCSTR FindStringInBlock(const void* data, size_t size, UINT index, int* length = nullptr);

struct AcceleratorEntry {
    BYTE flags = 0; // FVIRTKEY… without the 0x80 end mark
    WORD key = 0;
    WORD cmd = 0;
};
bool ReadAcceleratorTable(const void* data, size_t size, std::vector<AcceleratorEntry>& entries);
std::vector<BYTE> WriteAcceleratorTable(std::span<const AcceleratorEntry> entries);

struct ToolBarTemplate {
    WORD width = 0;
    WORD height = 0;
    std::vector<WORD> items; // command ids, 0 for a separator
};
bool ReadToolBarTemplate(const void* data, size_t size, ToolBarTemplate& toolbar);
std::vector<BYTE> WriteToolBarTemplate(const ToolBarTemplate& toolbar);

struct DialogInitEntry {
    WORD controlId = 0;
    WORD message = 0;
    std::vector<BYTE> data;
};
bool ReadDialogInit(const void* data, size_t size, std::vector<DialogInitEntry>& entries);
std::vector<BYTE> WriteDialogInit(std::span<const DialogInitEntry> entries);

// RT_CURSOR data: the hot spot and the PNG bytes after it.
bool ReadCursorResource(const void* data, size_t size, POINT& hotSpot, std::span<const BYTE>& png);
