#include "platform/core/ResourceFormats.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

DialogTemplate SampleDialog(bool extended)
{
    DialogTemplate d;
    d.extended = extended;
    d.style = 0x80C800C0u; // popup, caption, system menu, DS_SETFONT | DS_MODALFRAME
    d.exStyle = 0x1;
    d.helpId = extended ? 77 : 0;
    d.x = 10, d.y = -3, d.cx = 200, d.cy = 120;
    d.menu.isOrdinal = true;
    d.menu.ordinal = 128;
    d.windowClass.text = "MyClass";
    d.title = "Ünïcode title"; // odd byte count: padding must follow
    d.pointSize = 8;
    d.weight = extended ? 700 : 0;
    d.italic = extended ? 1 : 0;
    d.charset = extended ? 1 : 0;
    d.typeface = "MS Sans Serif";
    DialogItemTemplate edit;
    edit.style = 0x50810080u;
    edit.x = 7, edit.y = 7, edit.cx = 100, edit.cy = 14;
    edit.id = 1001;
    edit.helpId = extended ? 5 : 0;
    edit.windowClass.isOrdinal = true;
    edit.windowClass.ordinal = static_cast<WORD>(DialogControlClass::Edit);
    DialogItemTemplate label;
    label.id = 0xFFFF;
    label.windowClass.text = "Static";
    label.title.text = "&Name:";
    label.creationData = {1, 2, 3};
    DialogItemTemplate icon;
    icon.id = extended ? 70000u : 3u;
    icon.windowClass.isOrdinal = true;
    icon.windowClass.ordinal = 0x82;
    icon.title.isOrdinal = true;
    icon.title.ordinal = 200;
    d.items = {edit, label, icon};
    return d;
}

void ExpectSameDialog(const DialogTemplate& a, const DialogTemplate& b)
{
    EXPECT_EQ(a.extended, b.extended);
    EXPECT_EQ(a.style, b.style);
    EXPECT_EQ(a.exStyle, b.exStyle);
    EXPECT_EQ(a.helpId, b.helpId);
    EXPECT_EQ(a.x, b.x);
    EXPECT_EQ(a.cy, b.cy);
    EXPECT_EQ(a.menu.isOrdinal, b.menu.isOrdinal);
    EXPECT_EQ(a.menu.ordinal, b.menu.ordinal);
    EXPECT_EQ(a.windowClass.text, b.windowClass.text);
    EXPECT_EQ(a.title, b.title);
    EXPECT_EQ(a.pointSize, b.pointSize);
    EXPECT_EQ(a.weight, b.weight);
    EXPECT_EQ(a.italic, b.italic);
    EXPECT_EQ(a.typeface, b.typeface);
    ASSERT_EQ(a.items.size(), b.items.size());
    for (size_t i = 0; i < a.items.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(a.items[i].id, b.items[i].id);
        EXPECT_EQ(a.items[i].style, b.items[i].style);
        EXPECT_EQ(a.items[i].helpId, b.items[i].helpId);
        EXPECT_EQ(a.items[i].x, b.items[i].x);
        EXPECT_EQ(a.items[i].windowClass.isOrdinal, b.items[i].windowClass.isOrdinal);
        EXPECT_EQ(a.items[i].windowClass.ordinal, b.items[i].windowClass.ordinal);
        EXPECT_EQ(a.items[i].windowClass.text, b.items[i].windowClass.text);
        EXPECT_EQ(a.items[i].title.isOrdinal, b.items[i].title.isOrdinal);
        EXPECT_EQ(a.items[i].title.ordinal, b.items[i].title.ordinal);
        EXPECT_EQ(a.items[i].title.text, b.items[i].title.text);
        EXPECT_EQ(a.items[i].creationData, b.items[i].creationData);
    }
}

} // namespace

TEST(ResourceFormats, DialogTemplatesRoundTripInBothFormsWithTheDocumentedLayout)
{
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended);
        const DialogTemplate d = SampleDialog(extended);
        const std::vector<BYTE> block = WriteDialogTemplate(d);
        DialogTemplate back;
        ASSERT_TRUE(ReadDialogTemplate(block.data(), block.size(), back));
        ExpectSameDialog(d, back);
        // Trusted blocks are read without a size, as DialogBoxIndirect does.
        ASSERT_TRUE(ReadDialogTemplate(block.data(), SIZE_MAX, back));
        ExpectSameDialog(d, back);
        // Every cut is refused, never read past.
        for (size_t n = 0; n < block.size() - 1; ++n) {
            std::vector<BYTE> cut(block.begin(), block.begin() + static_cast<std::ptrdiff_t>(n));
            EXPECT_FALSE(ReadDialogTemplate(cut.data(), cut.size(), back)) << n;
        }
    }
    // The classic layout byte for byte: header, menu ordinal, class string, title, font.
    const std::vector<BYTE> block = WriteDialogTemplate(SampleDialog(false));
    DLGTEMPLATE h;
    std::memcpy(&h, block.data(), sizeof h);
    EXPECT_EQ(h.cdit, 3);
    EXPECT_EQ(h.cx, 200);
    const BYTE menu[] = {0xFF, 0xFF, 128, 0};
    EXPECT_EQ(std::memcmp(block.data() + 18, menu, 4), 0);
    EXPECT_EQ(std::memcmp(block.data() + 22, "MyClass\0", 8), 0);
    EXPECT_EQ(std::memcmp(block.data() + 30, "\xC3\x9Cn\xC3\xAF" "code title", 16), 0);
    WORD point = 0;
    std::memcpy(&point, block.data() + 46, 2);
    EXPECT_EQ(point, 8);
    EXPECT_EQ(std::memcmp(block.data() + 48, "MS Sans Serif\0\0", 15), 0); // 14 bytes, padded to 16
    // The first item starts at the next DWORD offset after the font name.
    const size_t fontEnd = 48 + 16;
    const size_t firstItem = (fontEnd + 3) & ~size_t(3);
    DLGITEMTEMPLATE item;
    std::memcpy(&item, block.data() + firstItem, sizeof item);
    EXPECT_EQ(item.id, 1001);
    EXPECT_EQ(item.style, 0x50810080u);
}

TEST(ResourceFormats, MenusNestInBothFormsAndDamagedOnesAreRefused)
{
    for (bool extended : {false, true}) {
        SCOPED_TRACE(extended);
        MenuTemplate m;
        m.extended = extended;
        MenuTemplateItem file;
        file.popup = true;
        file.text = "&File";
        file.helpId = extended ? 9 : 0;
        MenuTemplateItem open;
        open.id = 57601;
        open.text = "&Open...\tCtrl+O";
        open.option = extended ? 0 : 0x08;
        open.state = extended ? 0x08 : 0;
        MenuTemplateItem sep; // separator
        sep.type = extended ? 0x800 : 0;
        MenuTemplateItem recent;
        recent.popup = true;
        recent.text = "Recent";
        MenuTemplateItem none;
        none.id = 7;
        none.text = "(none)";
        none.option = extended ? 0 : 0x01;
        recent.children = {none};
        file.children = {open, sep, recent};
        MenuTemplateItem help;
        help.id = 57664;
        help.text = "&About";
        m.items = {file, help};

        const std::vector<BYTE> block = WriteMenuTemplate(m);
        MenuTemplate back;
        ASSERT_TRUE(ReadMenuTemplate(block.data(), block.size(), back));
        EXPECT_EQ(back.extended, extended);
        ASSERT_EQ(back.items.size(), 2u);
        const MenuTemplateItem& f = back.items[0];
        EXPECT_TRUE(f.popup);
        EXPECT_EQ(f.text, "&File");
        EXPECT_EQ(f.helpId, file.helpId);
        ASSERT_EQ(f.children.size(), 3u);
        EXPECT_EQ(f.children[0].id, 57601u);
        EXPECT_EQ(f.children[0].text, "&Open...\tCtrl+O");
        EXPECT_EQ(f.children[0].option, open.option);
        EXPECT_EQ(f.children[0].state, open.state);
        EXPECT_EQ(f.children[1].text, "");
        EXPECT_EQ(f.children[1].type, sep.type);
        ASSERT_EQ(f.children[2].children.size(), 1u);
        EXPECT_EQ(f.children[2].children[0].text, "(none)");
        EXPECT_EQ(f.children[2].children[0].option, none.option);
        EXPECT_EQ(back.items[1].id, 57664u);
        EXPECT_FALSE(back.items[1].popup);
        for (size_t n = 0; n + 1 < block.size(); ++n)
            EXPECT_FALSE(ReadMenuTemplate(block.data(), n, back)) << n;
    }
    // A pop-up that never ends its level must not send the reader past the block.
    const BYTE endless[] = {0, 0, 0, 0, 0x10, 0, 'A', 0, 0x10, 0, 'B', 0};
    MenuTemplate back;
    EXPECT_FALSE(ReadMenuTemplate(endless, sizeof endless, back));
}

TEST(ResourceFormats, StringBlocksAcceleratorsToolbarsAndDialogInit)
{
    std::vector<std::string> strings(16);
    strings[0] = "Scan Completed";
    strings[5] = "odd";
    strings[15] = "Größe";
    const std::vector<BYTE> block = WriteStringBlock(strings);
    std::vector<std::string> back;
    ASSERT_TRUE(ReadStringBlock(block.data(), block.size(), back));
    EXPECT_EQ(back, strings);
    int length = -1;
    LPCSTR text = FindStringInBlock(block.data(), block.size(), 15, &length);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "Größe"); // a C string in place
    EXPECT_EQ(length, 7);
    EXPECT_EQ(FindStringInBlock(block.data(), block.size() - 3, 15), nullptr);
    EXPECT_EQ(StringBlockId(0), 1);
    EXPECT_EQ(StringBlockId(63012), 3939);
    EXPECT_EQ(StringBlockIndex(63012), 4u);

    const AcceleratorEntry accels[] = {{0x09, 'O', 57601}, {0x01, 0x70, 57670}, {0, 'a', 3}};
    std::vector<BYTE> a = WriteAcceleratorTable(accels);
    ASSERT_EQ(a.size(), 24u);
    std::vector<AcceleratorEntry> accelBack;
    ASSERT_TRUE(ReadAcceleratorTable(a.data(), a.size(), accelBack));
    ASSERT_EQ(accelBack.size(), 3u);
    EXPECT_EQ(accelBack[0].flags, 0x09);
    EXPECT_EQ(accelBack[1].key, 0x70);
    EXPECT_EQ(accelBack[2].cmd, 3);
    EXPECT_EQ(a[16] & 0x80, 0x80); // the end mark on the last entry only
    EXPECT_EQ(a[8] & 0x80, 0);
    EXPECT_FALSE(ReadAcceleratorTable(a.data(), 16, accelBack)); // no end mark

    ToolBarTemplate tb;
    tb.width = 16;
    tb.height = 15;
    tb.items = {100, 0, 101};
    std::vector<BYTE> t = WriteToolBarTemplate(tb);
    ToolBarTemplate tbBack;
    ASSERT_TRUE(ReadToolBarTemplate(t.data(), t.size(), tbBack));
    EXPECT_EQ(tbBack.items, tb.items);
    EXPECT_EQ(tbBack.height, 15);
    EXPECT_FALSE(ReadToolBarTemplate(t.data(), t.size() - 1, tbBack));

    const DialogInitEntry init[] = {{1000, 0x0403, {'O', 'n', 'e', 0}}, {1000, 0x0403, {'T', 0}}};
    std::vector<BYTE> di = WriteDialogInit(init);
    std::vector<DialogInitEntry> diBack;
    ASSERT_TRUE(ReadDialogInit(di.data(), di.size(), diBack));
    ASSERT_EQ(diBack.size(), 2u);
    EXPECT_EQ(diBack[1].data, init[1].data);
    EXPECT_FALSE(ReadDialogInit(di.data(), di.size() - 2, diBack)); // no terminator
}
