// Accelerator tables: loading, copying, and TranslateAccelerator matching keys and characters
// with their modifiers, offering menu updates first and refusing disabled commands.
#include "platform/win/HeadlessFixture.h"

#include "platform/core/ResourceTable.h"

namespace {

constexpr UINT ID_OPEN = 101, ID_EXIT = 102, ID_UNDO = 201, ID_COPY = 202, ID_REFRESH = 400, ID_ANSWER = 401;

class AcceleratorTest : public HeadlessTest {
protected:
    void SetUp() override
    {
        HeadlessTest::SetUp();
        module = reinterpret_cast<HINSTANCE>(FindResourceModule("winmenus"));
        ASSERT_NE(module, nullptr);
        frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 100, 400, 300);
        ASSERT_TRUE(SetMenu(frame, LoadMenu(module, MAKEINTRESOURCE(100))));
        table = LoadAccelerators(module, MAKEINTRESOURCE(100));
        ASSERT_NE(table, nullptr);
        SetActiveWindow(frame);
        SetFocus(frame);
        Pump();
        Log().clear();
    }
    void TearDown() override
    {
        DestroyAcceleratorTable(table);
        HeadlessTest::TearDown();
    }
    // The program's loop: accelerators first, then the usual translation.
    void Pump()
    {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (TranslateAccelerator(frame, table, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    }
    std::vector<WPARAM> Commands()
    {
        std::vector<WPARAM> out;
        for (auto& m : Of(frame, WM_COMMAND))
            out.push_back(m.wParam);
        return out;
    }
    void Chord(std::initializer_list<UINT> held, UINT key, const char* text = "")
    {
        for (UINT k : held)
            backend->KeyDown(k);
        backend->Key(key, text);
        for (UINT k : held)
            backend->KeyUp(k);
        Pump();
    }

    HINSTANCE module = nullptr;
    HWND frame = nullptr;
    HACCEL table = nullptr;
};

TEST_F(AcceleratorTest, TablesLoadAndCopy)
{
    EXPECT_EQ(CopyAcceleratorTable(table, nullptr, 0), 6);
    ACCEL entries[8]{};
    ASSERT_EQ(CopyAcceleratorTable(table, entries, 2), 2);
    EXPECT_EQ(entries[0].key, 'O');
    EXPECT_EQ(entries[0].cmd, ID_OPEN);
    EXPECT_EQ(entries[0].fVirt, FVIRTKEY | FCONTROL);
    EXPECT_EQ(LoadAccelerators(module, MAKEINTRESOURCE(999)), nullptr);
    ACCEL mine{FVIRTKEY, VK_F2, 7};
    HACCEL made = CreateAcceleratorTable(&mine, 1);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(CopyAcceleratorTable(made, nullptr, 0), 1);
    EXPECT_TRUE(DestroyAcceleratorTable(made));
    EXPECT_EQ(CopyAcceleratorTable(made, nullptr, 0), 0);
    EXPECT_EQ(CreateAcceleratorTable(&mine, 0), nullptr);
}

TEST_F(AcceleratorTest, KeysWithExactlyTheirModifiersBecomeCommands)
{
    Chord({VK_CONTROL}, 'O');
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(ID_OPEN, 1)});
    // The window's menu was offered its updates first, and the key itself went no further.
    EXPECT_EQ(Of(frame, WM_INITMENU).size(), 1u);
    EXPECT_EQ(Of(frame, WM_INITMENUPOPUP).size(), 1u);
    EXPECT_TRUE(Of(frame, WM_KEYDOWN).empty() || Of(frame, WM_KEYDOWN).back().wParam != 'O');

    // Ctrl+C and Ctrl+Shift+C are two commands.
    Log().clear();
    Chord({VK_CONTROL}, 'C');
    Chord({VK_CONTROL, VK_SHIFT}, 'C');
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{MAKEWPARAM(ID_COPY, 1), MAKEWPARAM(ID_EXIT, 1)}));

    // A plain O is no accelerator: it reaches the window as a key and a character.
    Log().clear();
    Chord({}, 'O', "o");
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Of(frame, WM_CHAR).size(), 1u);

    // F5 names no menu item: its command comes without menu updates.
    Log().clear();
    Chord({}, VK_F5);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(ID_REFRESH, 1)});
    EXPECT_TRUE(Of(frame, WM_INITMENU).empty());

    // A character entry matches the character, not the key: "a" but not "A".
    Log().clear();
    Chord({}, 'A', "a");
    Chord({VK_SHIFT}, 'A', "A");
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(ID_ANSWER, 1)});
}

TEST_F(AcceleratorTest, DisabledCommandsAreSwallowedAndUpdatesCanEnableThem)
{
    // Undo is grayed in the menu: the key is eaten and nothing is sent.
    Chord({VK_CONTROL}, 'Z');
    EXPECT_TRUE(Commands().empty());
    EXPECT_EQ(Of(frame, WM_INITMENU).size(), 1u);
    // The owner enables it while the menu is updated: the command goes through.
    Handler() = [&](HWND hwnd, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (hwnd == frame && message == WM_INITMENUPOPUP)
            EnableMenuItem(GetMenu(frame), ID_UNDO, MF_BYCOMMAND | MF_ENABLED);
        return false;
    };
    Log().clear();
    Chord({VK_CONTROL}, 'Z');
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(ID_UNDO, 1)});
    // A minimised window takes no menu command from the keyboard, but other commands still come.
    Handler() = nullptr;
    ShowWindow(frame, SW_MINIMIZE);
    SetFocus(frame);
    Pump();
    Log().clear();
    Chord({VK_CONTROL}, 'C');
    Chord({}, VK_F5);
    EXPECT_EQ(Commands(), std::vector<WPARAM>{MAKEWPARAM(ID_REFRESH, 1)});
}

} // namespace
