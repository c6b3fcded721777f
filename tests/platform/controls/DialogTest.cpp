// Dialogs made from compiled templates: creation, keyboard navigation through IsDialogMessage,
// the default button, mnemonics, the modal loop and the dialog item helpers.
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/ControlSupport.h"
#include "platform/controls/Static.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/MenuApi.h"
#include "tests/platform/controls/ControlsFixture.h"

#include <string>

namespace {

enum : WORD {
    kLabel = 100,
    kField = 101,
    kRadio1 = 102,
    kRadio2 = 103,
    kRadio3 = 104,
    kShow = 105,
    kDisabled = 106,
};

DialogItemTemplate Item(WORD atom, const char* text, DWORD style, short x, short y, short cx, short cy, DWORD id)
{
    DialogItemTemplate item;
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    item.windowClass.isOrdinal = true;
    item.windowClass.ordinal = atom;
    item.title.text = text;
    return item;
}

// A text field stand-in that wants characters and keeps what it is typed.
LRESULT CALLBACK FieldProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_GETDLGCODE)
        return DLGC_WANTCHARS | DLGC_WANTARROWS;
    if (message == WM_CHAR) {
        char text[256];
        int n = GetWindowText(hwnd, text, sizeof text - 1);
        text[n] = static_cast<char>(wParam);
        text[n + 1] = '\0';
        SetWindowText(hwnd, text);
        return 0;
    }
    if (message == WM_LBUTTONDOWN) {
        SetFocus(hwnd);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

std::vector<BYTE> SettingsTemplate(bool extended)
{
    DialogTemplate t;
    t.extended = extended;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.x = 10;
    t.y = 10;
    t.cx = 200;
    t.cy = 120;
    t.title = "Settings";
    t.pointSize = 8;
    t.typeface = "MS Shell Dlg";
    const WORD button = static_cast<WORD>(DialogControlClass::Button);
    const WORD stat = static_cast<WORD>(DialogControlClass::Static);
    t.items.push_back(Item(stat, "&Name:", SS_LEFT, 7, 7, 40, 8, kLabel));
    DialogItemTemplate field = Item(0, "", WS_TABSTOP | WS_BORDER, 50, 5, 100, 12, kField);
    field.windowClass.isOrdinal = false;
    field.windowClass.text = "DialogTestField";
    t.items.push_back(field);
    t.items.push_back(Item(button, "&First", BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 7, 25, 60, 10, kRadio1));
    t.items.push_back(Item(button, "S&econd", BS_AUTORADIOBUTTON, 7, 37, 60, 10, kRadio2));
    t.items.push_back(Item(button, "&Third", BS_AUTORADIOBUTTON, 7, 49, 60, 10, kRadio3));
    t.items.push_back(Item(button, "&Show", BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, 7, 65, 60, 10, kShow));
    t.items.push_back(Item(button, "Never", BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 80, 65, 40, 14, kDisabled));
    t.items.push_back(Item(button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP, 90, 100, 50, 14, IDOK));
    t.items.push_back(Item(button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 145, 100, 50, 14, IDCANCEL));
    return WriteDialogTemplate(t);
}

struct DialogRecord {
    std::vector<WORD> commands;
    LPARAM initParam = 0;
    HWND initFocus = nullptr;
    bool endOnCommand = false;
};
DialogRecord* g_record = nullptr;

INT_PTR CALLBACK RecordingDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        g_record->initParam = lParam;
        g_record->initFocus = reinterpret_cast<HWND>(wParam);
        CheckRadioButton(dlg, kRadio1, kRadio3, kRadio1);
        return TRUE;
    }
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED) {
        g_record->commands.push_back(LOWORD(wParam));
        if (g_record->endOnCommand && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL))
            EndDialog(dlg, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

class DialogTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        static bool registered = false;
        if (!registered) {
            registered = true;
            WNDCLASS wc{};
            wc.lpfnWndProc = FieldProc;
            wc.lpszClassName = "DialogTestField";
            RegisterClass(&wc);
        }
        g_record = &record;
    }
    void TearDown() override
    {
        if (IsWindow(dlg))
            DestroyWindow(dlg);
        g_record = nullptr;
        ControlsTest::TearDown();
    }
    // Routes everything waiting through the dialog, as an application's loop does.
    void Pump()
    {
        for (int round = 0; round < 4; ++round) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (!IsWindow(dlg) || !IsDialogMessage(dlg, &msg)) {
                    TranslateMessage(&msg);
                    DispatchMessage(&msg);
                }
            }
        }
    }
    void Press(UINT vk, const char* text = "")
    {
        backend->Key(vk, text);
        Pump();
    }
    void PressWith(UINT modifier, UINT vk, const char* text = "")
    {
        backend->KeyDown(modifier);
        backend->Key(vk, text);
        backend->KeyUp(modifier);
        Pump();
    }
    int FocusId() { return GetDlgCtrlID(GetFocus()); }

    DialogRecord record;
    HWND dlg = nullptr;
};

} // namespace

TEST_F(DialogTest, TemplateMakesTheControlsInDialogUnitsWithTheTemplatesFont)
{
    const std::vector<BYTE> bytes = SettingsTemplate(true);
    dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                    RecordingDialogProc, 77);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(record.initParam, 77);
    EXPECT_EQ(GetDlgCtrlID(record.initFocus), kField) << "WM_INITDIALOG names the first tab stop";
    EXPECT_EQ(FocusId(), kField);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_EQ(WindowTextOf(dlg), "Settings");

    // The template's 8-point font in the test font: 11 pixels high, 5 wide.
    RECT r{4, 8, 8, 16};
    MapDialogRect(dlg, &r);
    EXPECT_EQ(r.left, 5);
    EXPECT_EQ(r.top, 11);
    EXPECT_EQ(r.right, 10);
    EXPECT_EQ(r.bottom, 22);
    RECT client;
    GetClientRect(dlg, &client);
    EXPECT_EQ(client.right, 250);
    EXPECT_EQ(client.bottom, 165);
    HWND ok = GetDlgItem(dlg, IDOK);
    RECT okRect;
    GetWindowRect(ok, &okRect);
    POINT origin{0, 0};
    ClientToScreen(dlg, &origin);
    EXPECT_EQ(okRect.left - origin.x, 113);   // 112.5 rounds away from zero
    EXPECT_EQ(okRect.top - origin.y, 138);
    EXPECT_EQ(okRect.right - okRect.left, 62);
    EXPECT_EQ(SendMessage(ok, WM_GETFONT, 0, 0), SendMessage(dlg, WM_GETFONT, 0, 0));
    EXPECT_EQ(SendMessage(dlg, DM_GETDEFID, 0, 0), MAKELONG(IDOK, DC_HASDEFID));
    EXPECT_EQ(IsDlgButtonChecked(dlg, kRadio1), static_cast<UINT>(BST_CHECKED));

    // A template naming a menu resource gets that menu bar.
    static const std::vector<BYTE> menuBytes = [] {
        MenuTemplate menu;
        MenuTemplateItem file;
        file.popup = true;
        file.text = "&File";
        MenuTemplateItem open;
        open.id = 57601;
        open.text = "&Open...";
        file.children.push_back(open);
        menu.items.push_back(file);
        return WriteMenuTemplate(menu);
    }();
    static const ResourceEntry menuEntry[] = {
        {RT_MENU, MAKEINTRESOURCE(321), menuBytes.data(), static_cast<DWORD>(menuBytes.size())}};
    static const ResourceModuleTable menuTable{"", menuEntry, 1};
    RegisterResourceModule(menuTable);
    DialogTemplate withMenu;
    withMenu.style = WS_POPUP | WS_CAPTION;
    withMenu.cx = 100;
    withMenu.cy = 50;
    withMenu.menu.isOrdinal = true;
    withMenu.menu.ordinal = 321;
    const std::vector<BYTE> withMenuBytes = WriteDialogTemplate(withMenu);
    HWND menuDialog = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(withMenuBytes.data()),
                                                parent, nullptr, 0);
    ASSERT_NE(menuDialog, nullptr);
    ASSERT_NE(GetMenu(menuDialog), nullptr);
    EXPECT_EQ(GetMenuItemCount(GetMenu(menuDialog)), 1);
    DestroyWindow(menuDialog);

    // A template cut short makes no dialog.
    std::vector<BYTE> cut(bytes.begin(), bytes.begin() + 40);
    cut[8] = 9;   // still claims nine items
    DialogTemplate parsed;
    EXPECT_FALSE(ReadDialogTemplate(cut.data(), cut.size(), parsed));
}

TEST_F(DialogTest, TabAndArrowsWalkTheControlsInCreationOrder)
{
    const std::vector<BYTE> bytes = SettingsTemplate(false);
    dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                    RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    ASSERT_EQ(FocusId(), kField);
    std::vector<int> order;
    for (int i = 0; i < 5; ++i) {
        Press(VK_TAB, "\t");
        order.push_back(FocusId());
    }
    // The label takes no tab stop, the disabled button is skipped, and the end wraps round.
    EXPECT_EQ(order, (std::vector<int>{kRadio1, kShow, IDOK, IDCANCEL, kField}));
    PressWith(VK_SHIFT, VK_TAB, "\t");
    EXPECT_EQ(FocusId(), IDCANCEL);
    EXPECT_EQ(GetNextDlgTabItem(dlg, GetDlgItem(dlg, kField), TRUE), GetDlgItem(dlg, IDCANCEL));

    // Arrows move within the radio group, choosing as they go, and wrap inside it.
    SetFocus(GetDlgItem(dlg, kRadio1));
    Press(VK_DOWN);
    EXPECT_EQ(FocusId(), kRadio2);
    EXPECT_EQ(IsDlgButtonChecked(dlg, kRadio2), static_cast<UINT>(BST_CHECKED));
    EXPECT_EQ(IsDlgButtonChecked(dlg, kRadio1), static_cast<UINT>(BST_UNCHECKED));
    Press(VK_DOWN);
    Press(VK_DOWN);
    EXPECT_EQ(FocusId(), kRadio1);
    Press(VK_UP);
    EXPECT_EQ(FocusId(), kRadio3);
    EXPECT_EQ(GetNextDlgGroupItem(dlg, GetDlgItem(dlg, kShow), FALSE), GetDlgItem(dlg, kShow))
        << "a group of one gives itself";
    // Tab enters the radio group at its checked button.
    SetFocus(GetDlgItem(dlg, kField));
    Press(VK_TAB, "\t");
    EXPECT_EQ(FocusId(), kRadio3);

    // Characters go to the control that wants them.
    SetFocus(GetDlgItem(dlg, kField));
    Press('A', "a");
    Press('B', "b");
    char text[32];
    GetDlgItemText(dlg, kField, text, sizeof text);
    EXPECT_STREQ(text, "ab");
}

TEST_F(DialogTest, EnterEscapeAndMnemonicsChooseTheirControls)
{
    const std::vector<BYTE> bytes = SettingsTemplate(true);
    dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                    RecordingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    Press(VK_RETURN, "\r");
    EXPECT_EQ(record.commands, (std::vector<WORD>{IDOK})) << "Enter in a field presses the default button";
    Press(VK_ESCAPE, "\x1b");
    EXPECT_EQ(record.commands.back(), IDCANCEL);

    // The focused push button is the default while it has the focus.
    SetFocus(GetDlgItem(dlg, kShow));
    Press(VK_TAB, "\t");
    Press(VK_TAB, "\t");
    ASSERT_EQ(FocusId(), IDCANCEL);
    EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDCANCEL), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON);
    EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_PUSHBUTTON);
    record.commands.clear();
    Press(VK_RETURN, "\r");
    EXPECT_EQ(record.commands, (std::vector<WORD>{IDCANCEL}));
    Press(VK_TAB, "\t");
    EXPECT_EQ(GetWindowLong(GetDlgItem(dlg, IDOK), GWL_STYLE) & BS_TYPEMASK, BS_DEFPUSHBUTTON)
        << "leaving the buttons gives the default back";

    // Focus given by a click: Enter presses that button too.
    SetFocus(GetDlgItem(dlg, IDCANCEL));
    record.commands.clear();
    Press(VK_RETURN, "\r");
    EXPECT_EQ(record.commands, (std::vector<WORD>{IDCANCEL}));
    SetFocus(GetDlgItem(dlg, kField));

    // Leaving the dialog and coming back puts the focus where it was.
    SetFocus(GetDlgItem(dlg, kShow));
    SetActiveWindow(parent);
    EXPECT_NE(FocusId(), kShow);
    SetActiveWindow(dlg);
    EXPECT_EQ(FocusId(), kShow);
    SetFocus(GetDlgItem(dlg, kField));

    // DM_SETDEFID moves the default; Enter follows it.
    SendMessage(dlg, DM_SETDEFID, IDCANCEL, 0);
    record.commands.clear();
    Press(VK_RETURN, "\r");
    EXPECT_EQ(record.commands, (std::vector<WORD>{IDCANCEL}));

    // Alt+N: the label hands the focus to the field after it; Alt+S clicks the check box.
    SetFocus(GetDlgItem(dlg, IDOK));
    PressWith(VK_MENU, 'N', "n");
    EXPECT_EQ(FocusId(), kField);
    PressWith(VK_MENU, 'S', "s");
    EXPECT_EQ(FocusId(), kShow);
    EXPECT_EQ(IsDlgButtonChecked(dlg, kShow), static_cast<UINT>(BST_CHECKED));
    // Without Alt a letter is a mnemonic too when the focused control takes no characters.
    Press('E', "e");
    EXPECT_EQ(FocusId(), kRadio2);
    EXPECT_EQ(IsDlgButtonChecked(dlg, kRadio2), static_cast<UINT>(BST_CHECKED));

    // WM_NEXTDLGCTL: to a named control, and to the next one.
    SendMessage(dlg, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dlg, kField)), TRUE);
    EXPECT_EQ(FocusId(), kField);
    SendMessage(dlg, WM_NEXTDLGCTL, 0, FALSE);
    EXPECT_EQ(FocusId(), kRadio2);
}

// The owner's WM_NCACTIVATE messages, each with whether the owner was enabled then.
std::vector<std::pair<bool, bool>> g_ownerActivations;
WNDPROC g_ownerProc = nullptr;
LRESULT CALLBACK RecordingOwnerProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCACTIVATE)
        g_ownerActivations.emplace_back(wParam != 0, IsWindowEnabled(hwnd) != 0);
    return CallWindowProc(g_ownerProc, hwnd, message, wParam, lParam);
}

TEST_F(DialogTest, ModalDialogDisablesItsOwnerUntilItEnds)
{
    // The owner is disabled before the dialog takes the activation from it and enabled before
    // it gets the activation back, so that its caption is drawn inactive, then active.
    g_ownerActivations.clear();
    g_ownerProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtr(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&RecordingOwnerProc)));
    SetActiveWindow(parent);
    const std::vector<BYTE> bytes = SettingsTemplate(true);
    record.endOnCommand = true;
    bool ownerDisabled = false;
    HWND seen = nullptr;
    backend->WhenIdle([&] {
        seen = FindWindow(WC_DIALOG_NAME, "Settings");
        ownerDisabled = !IsWindowEnabled(parent);
        SetFocus(GetDlgItem(seen, kField));
        backend->Key('X', "x");
        backend->Key(VK_RETURN, "\r");
    });
    // Should the keys go astray, the dialog still ends and the test fails instead of hanging.
    backend->WhenIdle([&] {
        if (IsWindow(seen))
            EndDialog(seen, -2);
    });
    const INT_PTR result = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                                  RecordingDialogProc, 5);
    EXPECT_EQ(result, IDOK);
    ASSERT_NE(seen, nullptr);
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(parent));
    SetWindowLongPtr(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_ownerProc));
    const std::vector<std::pair<bool, bool>> expected{{false, false}, {true, true}};
    EXPECT_EQ(g_ownerActivations, expected) << "(active, enabled) as the dialog came and went";
    EXPECT_EQ(GetActiveWindow(), parent);
    EXPECT_FALSE(IsWindow(seen)) << "the dialog is gone when DialogBox returns";
    EXPECT_EQ(record.initParam, 5);

    // A control that cannot be made fails the whole dialog, and the owner stays as it was.
    DialogTemplate broken;
    broken.style = WS_POPUP | WS_CAPTION;
    broken.cx = 50;
    broken.cy = 20;
    broken.items.push_back(Item(0, "", 0, 0, 0, 10, 10, 7));
    broken.items.back().windowClass.isOrdinal = false;
    broken.items.back().windowClass.text = "NoSuchClass";
    const std::vector<BYTE> brokenBytes = WriteDialogTemplate(broken);
    EXPECT_EQ(DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(brokenBytes.data()), parent,
                                     RecordingDialogProc, 0),
              -1);
    EXPECT_TRUE(IsWindowEnabled(parent));
    EXPECT_EQ(FindWindow(WC_DIALOG_NAME, nullptr), nullptr);
}

TEST_F(DialogTest, TabWalksIntoAChildDialogMadeAsAControlParent)
{
    // A sheet-like dialog: a page (a DS_CONTROL child dialog) between its own buttons.
    DialogTemplate sheet;
    sheet.style = WS_POPUP | WS_CAPTION | WS_VISIBLE | DS_SETFONT;
    sheet.cx = 200;
    sheet.cy = 120;
    sheet.pointSize = 8;
    sheet.typeface = "MS Shell Dlg";
    const WORD button = static_cast<WORD>(DialogControlClass::Button);
    sheet.items.push_back(Item(button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 90, 100, 50, 14, IDOK));
    sheet.items.push_back(Item(button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 145, 100, 50, 14, IDCANCEL));
    const std::vector<BYTE> sheetBytes = WriteDialogTemplate(sheet);
    dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(sheetBytes.data()), parent, nullptr, 0);
    ASSERT_NE(dlg, nullptr);

    DialogTemplate page;
    page.style = WS_CHILD | WS_VISIBLE | DS_CONTROL | DS_SETFONT;
    page.cx = 190;
    page.cy = 90;
    page.pointSize = 8;
    page.typeface = "MS Shell Dlg";
    page.items.push_back(Item(button, "&Freeze", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 5, 80, 10, 1069));
    page.items.push_back(Item(button, "Show &title", BS_AUTOCHECKBOX | WS_TABSTOP, 5, 20, 80, 10, 1063));
    const std::vector<BYTE> pageBytes = WriteDialogTemplate(page);
    HWND pageWindow = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(pageBytes.data()), dlg,
                                                nullptr, 0);
    ASSERT_NE(pageWindow, nullptr);
    EXPECT_TRUE(GetWindowLong(pageWindow, GWL_EXSTYLE) & WS_EX_CONTROLPARENT);

    SetFocus(GetDlgItem(dlg, IDCANCEL));
    std::vector<int> order;
    for (int i = 0; i < 4; ++i) {
        Press(VK_TAB, "\t");
        order.push_back(FocusId());
    }
    // The page came after the buttons, so its controls follow them in the tab order.
    EXPECT_EQ(order, (std::vector<int>{1069, 1063, IDOK, IDCANCEL}));
    // A mnemonic of the page works from the sheet.
    PressWith(VK_MENU, 'T', "t");
    EXPECT_EQ(FocusId(), 1063);
    EXPECT_EQ(IsDlgButtonChecked(pageWindow, 1063), static_cast<UINT>(BST_CHECKED));
}

namespace {

INT_PTR CALLBACK DestroyingDialogProc(HWND dlg, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG)
        return TRUE;
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        DestroyWindow(dlg);
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST_F(DialogTest, ADialogThatDestroysItselfEndsItsLoopAndGivesTheOwnerBack)
{
    const std::vector<BYTE> bytes = SettingsTemplate(true);
    dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                    DestroyingDialogProc, 0);
    ASSERT_NE(dlg, nullptr);
    Press(VK_RETURN, "\r");
    EXPECT_FALSE(IsWindow(dlg));

    backend->WhenIdle([&] { backend->Key(VK_RETURN, "\r"); });
    const INT_PTR result = DialogBoxIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                                  DestroyingDialogProc, 0);
    EXPECT_EQ(result, 0) << "no EndDialog: no answer";
    EXPECT_TRUE(IsWindowEnabled(parent));
    EXPECT_EQ(FindWindow(WC_DIALOG_NAME, "Settings"), nullptr);
}

namespace {

// Puts the keys on the field it was told to, shown or not, as a dialog's own code may.
INT_PTR CALLBACK FocusingDialogProc(HWND dlg, UINT message, WPARAM, LPARAM lParam)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    SetFocus(GetDlgItem(dlg, static_cast<int>(lParam)));
    return FALSE;
}

} // namespace

TEST_F(DialogTest, AFirstFocusOnAHiddenOrDisabledControlMovesToTheFirstUsableOne)
{
    // The dialog's code gives the keys to a control the user cannot see or use: what the user
    // types lands in the first control that takes it.
    for (const DWORD unusable : {DWORD{0}, DWORD{WS_VISIBLE | WS_DISABLED}}) {
        DialogTemplate t;
        t.style = WS_POPUP | WS_CAPTION | DS_SETFONT;
        t.cx = 200;
        t.cy = 60;
        t.pointSize = 8;
        t.typeface = "MS Shell Dlg";
        DialogItemTemplate field = Item(0, "", WS_TABSTOP | WS_BORDER, 50, 5, 100, 12, kField);
        field.windowClass.isOrdinal = false;
        field.windowClass.text = "DialogTestField";
        t.items.push_back(field);
        DialogItemTemplate behind = field;
        behind.id = kShow;
        behind.style = (behind.style & ~static_cast<DWORD>(WS_VISIBLE)) | unusable;
        t.items.push_back(behind);
        const std::vector<BYTE> bytes = WriteDialogTemplate(t);
        dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), parent,
                                        FocusingDialogProc, kShow);
        ASSERT_NE(dlg, nullptr);
        ShowWindow(dlg, SW_SHOW);
        Press('A', "a");
        EXPECT_EQ(FocusId(), kField);
        char text[32] = {};
        GetDlgItemText(dlg, kField, text, sizeof text);
        EXPECT_STREQ(text, "a");
        DestroyWindow(dlg);
    }
}
