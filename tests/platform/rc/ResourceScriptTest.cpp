// The fixture script, compiled by the build into a static library that nothing refers to, read
// back through the run-time table: every statement kind the compiler knows.
#include "platform/core/CString.h"
#include "platform/core/ResourceTable.h"
#include "platform/core/VersionInfo.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const WORD kDialogId = 100;

struct Found {
    const BYTE* data = nullptr;
    DWORD size = 0;
};

Found Load(LPCSTR name, LPCSTR type)
{
    HMODULE module = FindResourceModule("rcfixture");
    HRSRC res = FindResource(module, name, type);
    if (!res)
        return {};
    return Found{static_cast<const BYTE*>(LockResource(LoadResource(module, res))), SizeofResource(module, res)};
}

} // namespace

TEST(ResourceScript, TheLibrarysTablesAreRegisteredWithoutAnyReferenceToThem)
{
    HMODULE module = FindResourceModule("rcfixture");
    ASSERT_NE(module, nullptr);
    char text[64];
    ASSERT_EQ(LoadString(module, 63012, text, sizeof text), 14);
    EXPECT_STREQ(text, "Scan Completed");
    LoadString(module, 63013, text, sizeof text);
    EXPECT_STREQ(text, "Größe: %1\tnext\\line");
    LoadString(module, 7, text, sizeof text);
    EXPECT_STREQ(text, "joined text");
    CString loaded;
    EXPECT_TRUE(loaded.LoadString(63012));
    EXPECT_EQ(loaded, "Scan Completed");
}

TEST(ResourceScript, DialogsKeepEveryControlWithItsDefaultsAndGivenStyles)
{
    Found found = Load(MAKEINTRESOURCE(kDialogId), RT_DIALOG);
    ASSERT_NE(found.data, nullptr);
    DialogTemplate d;
    ASSERT_TRUE(ReadDialogTemplate(found.data, found.size, d));
    EXPECT_TRUE(d.extended);
    EXPECT_EQ(d.helpId, 55u);
    EXPECT_EQ(d.style, 0x80C800C0u); // the given styles plus DS_SETFONT for FONT
    EXPECT_EQ(d.exStyle, 0x400u);
    EXPECT_EQ(d.x, 10);
    EXPECT_EQ(d.cy, 120);
    EXPECT_EQ(d.title, "Fixture \"Dialog\"");
    EXPECT_EQ(d.pointSize, 8);
    EXPECT_EQ(d.weight, 700);
    EXPECT_EQ(d.italic, 1);
    EXPECT_EQ(d.typeface, "MS Sans Serif");
    EXPECT_TRUE(d.menu.isOrdinal);
    EXPECT_EQ(d.menu.ordinal, 100);
    ASSERT_EQ(d.items.size(), 17u);

    const DWORD child = 0x50000000u; // WS_CHILD | WS_VISIBLE
    struct Expected {
        WORD cls;
        DWORD style;
        DWORD id;
    };
    const Expected expected[] = {
        {0x82, child | 0x00020000u, 0xFFFFFFFFu},           // LTEXT: SS_LEFT | WS_GROUP
        {0x82, child | 0x00020000u | 0x2 | 0x80, 0xFFFFFFFFu}, // RTEXT + SS_NOPREFIX
        {0x82, child | 0x1, 0xFFFFFFFFu},                   // CTEXT, NOT WS_GROUP
        {0x81, child | 0x00010000u | 0x80, 1001},           // EDITTEXT, NOT WS_BORDER
        {0x85, child | 0x00010000u | 0x2 | 0x00200000u, 1002}, // COMBOBOX: the given kind replaces CBS_SIMPLE
        {0x83, child | 0x00800000u | 0x1, 1003},            // LISTBOX: LBS_NOTIFY | WS_BORDER
        {0x84, child | 0x1, 1004},                          // SCROLLBAR SBS_VERT
        {0x80, child | 0x00010000u, 2},                     // PUSHBUTTON
        {0x80, child | 0x00010000u | 0x1, 1},               // DEFPUSHBUTTON
        {0x80, child | 0x00010000u | 0x2, 1006},            // CHECKBOX
        {0x80, child | 0x00010000u | 0x3, 1016},            // AUTOCHECKBOX
        {0x80, child | 0x00010000u | 0x4, 1007},            // RADIOBUTTON
        {0x80, child | 0x00010000u | 0x9, 1017},            // AUTORADIOBUTTON
        {0x80, child | 0x7, 0xFFFFFFFFu},                   // GROUPBOX
        {0x82, child | 0x3, 0xFFFFFFFFu},                   // ICON: SS_ICON
        {0, 0x40800001u, 1005},                             // CONTROL, ~WS_VISIBLE
        {0x80, child | 0x1000 | 0x00010000u, 1010},         // CONTROL of class Button
    };
    for (size_t i = 0; i < d.items.size(); ++i) {
        SCOPED_TRACE(i);
        const DialogItemTemplate& item = d.items[i];
        EXPECT_EQ(item.style, expected[i].style);
        EXPECT_EQ(item.id, expected[i].id);
        if (expected[i].cls) {
            EXPECT_TRUE(item.windowClass.isOrdinal);
            EXPECT_EQ(item.windowClass.ordinal, expected[i].cls);
        }
    }
    EXPECT_EQ(d.items[0].title.text, "&Name:");
    EXPECT_EQ(d.items[3].exStyle, 0x200u);
    EXPECT_EQ(d.items[3].helpId, 77u);
    EXPECT_EQ(d.items[3].cx, 100);
    EXPECT_TRUE(d.items[14].title.isOrdinal); // the icon by its resource id
    EXPECT_EQ(d.items[14].title.ordinal, 201);
    EXPECT_EQ(d.items[14].cx, 0);
    EXPECT_FALSE(d.items[15].windowClass.isOrdinal);
    EXPECT_EQ(d.items[15].windowClass.text, "SysListView32");
    EXPECT_EQ(d.items[16].exStyle, 0x20000u);

    // The classic form: default style, 16-bit ids.
    found = Load(MAKEINTRESOURCE(kDialogId + 1), RT_DIALOG);
    ASSERT_TRUE(ReadDialogTemplate(found.data, found.size, d));
    EXPECT_FALSE(d.extended);
    EXPECT_EQ(d.style, 0x80880000u | 0x00C00000u); // WS_POPUP | WS_BORDER | WS_SYSMENU, + WS_CAPTION
    EXPECT_EQ(d.title, "Classic");
    ASSERT_EQ(d.items.size(), 1u);
    EXPECT_EQ(d.items[0].id, 1001u);

    // Its DLGINIT, named like the dialog.
    found = Load(MAKEINTRESOURCE(kDialogId), RT_DLGINIT);
    std::vector<DialogInitEntry> init;
    ASSERT_TRUE(ReadDialogInit(found.data, found.size, init));
    ASSERT_EQ(init.size(), 2u);
    EXPECT_EQ(init[0].controlId, 1002);
    EXPECT_EQ(init[0].message, 0x403);
    EXPECT_EQ(std::string(init[0].data.begin(), init[0].data.end()), std::string("One", 4));
    EXPECT_EQ(std::string(init[1].data.begin(), init[1].data.end()), std::string("Tw", 3));
}

TEST(ResourceScript, MenusOfBothFormsShareIdsWithDialogsAndKeepTheirFlags)
{
    Found found = Load(MAKEINTRESOURCE(100), RT_MENU);
    MenuTemplate m;
    ASSERT_TRUE(ReadMenuTemplate(found.data, found.size, m));
    EXPECT_FALSE(m.extended);
    ASSERT_EQ(m.items.size(), 2u);
    const MenuTemplateItem& file = m.items[0];
    EXPECT_TRUE(file.popup);
    ASSERT_EQ(file.children.size(), 5u);
    EXPECT_EQ(file.children[0].text, "&Open...\tCtrl+O");
    EXPECT_EQ(file.children[0].id, 0xE101u);
    EXPECT_EQ(file.children[1].option, 0x01); // GRAYED
    EXPECT_EQ(file.children[2].id, 0u);        // the separator
    EXPECT_EQ(file.children[2].text, "");
    ASSERT_EQ(file.children[3].children.size(), 1u);
    EXPECT_EQ(file.children[3].children[0].option, 0x08 | 0x40); // CHECKED MENUBREAK
    EXPECT_EQ(file.children[4].id, 0xE141u);
    EXPECT_EQ(m.items[1].option, 0x4000); // HELP

    found = Load(MAKEINTRESOURCE(101), RT_MENU);
    ASSERT_TRUE(ReadMenuTemplate(found.data, found.size, m));
    EXPECT_TRUE(m.extended);
    EXPECT_EQ(m.helpId, 9u);
    ASSERT_EQ(m.items.size(), 1u);
    EXPECT_EQ(m.items[0].helpId, 12u);
    ASSERT_EQ(m.items[0].children.size(), 3u);
    EXPECT_EQ(m.items[0].children[0].type, 0x200u);
    EXPECT_EQ(m.items[0].children[0].state, 0x1008u);
    EXPECT_EQ(m.items[0].children[1].type, 0x800u);
    EXPECT_EQ(m.items[0].children[2].id, 0xE101u);
}

TEST(ResourceScript, AcceleratorsToolbarsImagesVersionAndOwnTypes)
{
    Found found = Load(MAKEINTRESOURCE(100), RT_ACCELERATOR);
    std::vector<AcceleratorEntry> accels;
    ASSERT_TRUE(ReadAcceleratorTable(found.data, found.size, accels));
    ASSERT_EQ(accels.size(), 4u);
    EXPECT_EQ(accels[0].flags, 0x01 | 0x08 | 0x02);
    EXPECT_EQ(accels[0].key, 'O');
    EXPECT_EQ(accels[1].flags, 0x01 | 0x04);
    EXPECT_EQ(accels[1].key, 0x7B);
    EXPECT_EQ(accels[2].flags, 0);
    EXPECT_EQ(accels[2].key, 24); // ^X
    EXPECT_EQ(accels[3].flags, 0x10);
    EXPECT_EQ(accels[3].key, 'q');

    found = Load(MAKEINTRESOURCE(100), RT_TOOLBAR);
    ToolBarTemplate tb;
    ASSERT_TRUE(ReadToolBarTemplate(found.data, found.size, tb));
    EXPECT_EQ(tb.width, 16);
    EXPECT_EQ(tb.height, 15);
    EXPECT_EQ(tb.items, (std::vector<WORD>{0xE101, 0, 0xE103}));

    found = Load(MAKEINTRESOURCE(200), RT_BITMAP);
    ASSERT_GT(found.size, 8u);
    EXPECT_EQ(std::memcmp(found.data, "\x89PNG", 4), 0);
    EXPECT_NE(Load(MAKEINTRESOURCE(201), RT_ICON).data, nullptr);
    found = Load(MAKEINTRESOURCE(202), RT_CURSOR);
    POINT hot{};
    std::span<const BYTE> png;
    ASSERT_TRUE(ReadCursorResource(found.data, found.size, hot, png));
    EXPECT_EQ(hot.x, 3);
    EXPECT_EQ(hot.y, 4);
    EXPECT_EQ(std::memcmp(png.data(), "\x89PNG", 4), 0);
    found = Load(MAKEINTRESOURCE(300), RT_CURSOR);
    ASSERT_TRUE(ReadCursorResource(found.data, found.size, hot, png));
    EXPECT_EQ(hot.x, 0);

    found = Load(MAKEINTRESOURCE(VS_VERSION_INFO), RT_VERSION);
    ModuleVersion v;
    ASSERT_TRUE(ParseVersionBlock(found.data, found.size, v));
    EXPECT_EQ(v.fileVersion[0], 2);
    EXPECT_EQ(v.fileVersion[3], 17);
    EXPECT_EQ(v.productVersion[1], 5);
    EXPECT_EQ(v.fileFlags, 2u);
    EXPECT_EQ(v.fileOS, 0x40004u);
    EXPECT_EQ(v.fileType, 2u);
    LPVOID value = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValue(found.data, "\\StringFileInfo\\040904b0\\CompanyName", &value, &length));
    EXPECT_STREQ(static_cast<const char*>(value), "Wexmoor"); // the script's \0 is not doubled
    EXPECT_EQ(length, 8u);

    found = Load("sample", "pagedata");
    ASSERT_EQ(found.size, 16u);
    EXPECT_EQ(std::memcmp(found.data, "GIF89a not a png", 16), 0);
    found = Load(MAKEINTRESOURCE(7), RT_RCDATA);
    ASSERT_EQ(found.size, 2u + 2u + 4u + 2u);
    EXPECT_EQ(std::memcmp(found.data, "ABCDEEF\0\3\0", 10), 0);
}
