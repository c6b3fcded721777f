// The modeless find and replace dialogs: each request reaches the owner through the registered
// message with the texts and the flags the dialog shows, the hide and disable flags shape it,
// and a caller's template and hook take the built-in ones' place.
#include "platform/controls/Button.h"
#include "platform/controls/ComboBoxDefs.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/FindReplaceDialog.h"
#include "platform/controls/Static.h"
#include "platform/core/ResourceTable.h"
#include "tests/platform/controls/ControlsFixture.h"
#include "tests/support/DialogAutomation.h"

namespace {

struct Request {
    DWORD flags;
    std::string find;
    std::string replace;
    LPARAM record;
};

class FindReplaceDialogTest : public ControlsTest {
protected:
    void SetUp() override
    {
        ControlsTest::SetUp();
        findMessage = RegisterWindowMessage(FINDMSGSTRING);
        OnMessage() = [this](UINT message, WPARAM, LPARAM lParam, LRESULT& result) {
            if (message != findMessage)
                return false;
            const auto* r = reinterpret_cast<FINDREPLACE*>(lParam);
            requests.push_back(Request{r->Flags, r->lpstrFindWhat, r->lpstrReplaceWith ? r->lpstrReplaceWith : "", lParam});
            result = 0;
            return true;
        };
        fr.lStructSize = sizeof fr;
        fr.hwndOwner = parent;
        fr.lpstrFindWhat = findWhat;
        fr.wFindWhatLen = sizeof findWhat;
        fr.lpstrReplaceWith = replaceWith;
        fr.wReplaceWithLen = sizeof replaceWith;
    }
    void Press(HWND dlg, int id)
    {
        backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, id)));
        backend->ProcessMessages();
    }
    void TypeInto(HWND dlg, int id, const std::string& text)
    {
        backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, id)));
        backend->Key(VK_END);
        dialog_automation::Type(*backend, text);
        backend->ProcessMessages();
    }

    UINT findMessage = 0;
    std::vector<Request> requests;
    char findWhat[16] = "meta";
    char replaceWith[16] = "";
    FINDREPLACE fr{};
};

constexpr int kRegexCheck = 102;
constexpr WORD kFindTemplate = 22700;
constexpr WORD kOwnFieldTemplate = 22702;
constexpr int kOwnField = 103;

// A caller's own Find template: the common ids the dialog fills, plus a check box of its own.
// With its own field, a drop-down list stands where the common field is, which is hidden.
std::vector<BYTE> CallerTemplate(bool bOwnField)
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    t.cx = 240;
    t.cy = 70;
    t.title = "Find";
    t.pointSize = 8;
    t.typeface = "MS Shell Dlg";
    auto item = [&](DialogControlClass cls, const char* text, DWORD style, short x, short y, short cx, short cy, int id) {
        DialogItemTemplate i;
        i.style = style | WS_CHILD;
        i.x = x;
        i.y = y;
        i.cx = cx;
        i.cy = cy;
        i.id = static_cast<DWORD>(id);
        i.windowClass.isOrdinal = true;
        i.windowClass.ordinal = static_cast<WORD>(cls);
        i.title.text = text;
        t.items.push_back(i);
    };
    item(DialogControlClass::Static, "Fi&nd What:", SS_LEFT | WS_VISIBLE, 5, 8, 40, 8, 0xFFFF);
    if (bOwnField)
        item(DialogControlClass::ComboBox, "", CBS_DROPDOWN | WS_TABSTOP | WS_VISIBLE, 48, 6, 120, 80, kOwnField);
    item(DialogControlClass::Edit, "", WS_BORDER | WS_TABSTOP | (bOwnField ? 0 : WS_VISIBLE), 48, 6, 120, 12, 1152);
    item(DialogControlClass::Button, "Match &Case", BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 5, 24, 80, 10, 1041);
    item(DialogControlClass::Button, "Regular &expression", BS_AUTOCHECKBOX | WS_TABSTOP | WS_VISIBLE, 5, 38, 90, 10,
         kRegexCheck);
    item(DialogControlClass::Button, "&Up", BS_AUTORADIOBUTTON | WS_GROUP | WS_VISIBLE, 110, 24, 30, 10, 1056);
    item(DialogControlClass::Button, "&Down", BS_AUTORADIOBUTTON | WS_VISIBLE, 110, 38, 30, 10, 1057);
    item(DialogControlClass::Button, "&Find Next", BS_DEFPUSHBUTTON | WS_TABSTOP | WS_GROUP | WS_VISIBLE, 180, 6, 50,
         14, IDOK);
    item(DialogControlClass::Button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP | WS_VISIBLE, 180, 24, 50, 14, IDCANCEL);
    return WriteDialogTemplate(t);
}

void RegisterCallerTemplate()
{
    static const std::vector<BYTE> common = CallerTemplate(false), own = CallerTemplate(true);
    static const ResourceEntry entries[] = {
        {RT_DIALOG, MAKEINTRESOURCE(kFindTemplate), common.data(), static_cast<DWORD>(common.size())},
        {RT_DIALOG, MAKEINTRESOURCE(kOwnFieldTemplate), own.data(), static_cast<DWORD>(own.size())}};
    static const ResourceModuleTable table{"findtest", entries, 2};
    RegisterResourceModule(table);
}

struct HookLog {
    LPARAM initParam = 0;
    int regexClicks = 0;
};
HookLog* g_hookLog = nullptr;

UINT_PTR CALLBACK FindHook(HWND, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG)
        g_hookLog->initParam = lParam;
    if (message == WM_COMMAND && LOWORD(wParam) == kRegexCheck && HIWORD(wParam) == BN_CLICKED) {
        ++g_hookLog->regexClicks;
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST_F(FindReplaceDialogTest, FindReportsEachRequestWithTheFlagsShownAndEndsWithDialogTerm)
{
    fr.Flags = FR_DOWN | FR_MATCHCASE | FR_HIDEWHOLEWORD;
    HWND dlg = FindText(&fr);
    ASSERT_NE(dlg, nullptr);
    EXPECT_TRUE(IsWindowVisible(dlg));
    EXPECT_TRUE(IsWindowEnabled(parent));   // modeless: the owner stays usable
    EXPECT_EQ(dialog_automation::TextOf(GetDlgItem(dlg, edt1)), "meta");
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, chx1)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, pshHelp)));
    EXPECT_EQ(IsDlgButtonChecked(dlg, rad2), static_cast<UINT>(BST_CHECKED));

    TypeInto(dlg, edt1, " tags");
    Press(dlg, IDOK);
    Press(dlg, chx2);    // match case off
    Press(dlg, rad1);    // up
    Press(dlg, IDOK);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].flags & (FR_FINDNEXT | FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD),
              static_cast<DWORD>(FR_FINDNEXT | FR_DOWN | FR_MATCHCASE));
    EXPECT_EQ(requests[0].find, "meta tags");
    EXPECT_EQ(requests[0].record, reinterpret_cast<LPARAM>(&fr));
    EXPECT_EQ(requests[1].flags & (FR_FINDNEXT | FR_DOWN | FR_MATCHCASE | FR_DIALOGTERM),
              static_cast<DWORD>(FR_FINDNEXT));
    EXPECT_TRUE(fr.Flags & FR_HIDEWHOLEWORD);   // the caller's shaping flags stay

    // An emptied text disables Find Next; Cancel reports FR_DIALOGTERM and destroys the dialog.
    SetDlgItemText(dlg, edt1, "");
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, IDOK)));
    Press(dlg, IDCANCEL);
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_EQ(requests[2].flags & (FR_DIALOGTERM | FR_FINDNEXT), static_cast<DWORD>(FR_DIALOGTERM));
    EXPECT_FALSE(IsWindow(dlg));

    // Bad records are refused with the reason.
    FINDREPLACE bad = fr;
    bad.wFindWhatLen = 0;
    EXPECT_EQ(FindText(&bad), nullptr);
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FRERR_BUFFERLENGTHZERO));
    bad = fr;
    bad.lpstrReplaceWith = nullptr;
    EXPECT_EQ(ReplaceText(&bad), nullptr);
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(FRERR_BUFFERLENGTHZERO));
    bad = fr;
    bad.Flags |= FR_ENABLEHOOK;
    EXPECT_EQ(FindText(&bad), nullptr);
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_NOHOOK));
}

TEST_F(FindReplaceDialogTest, ReplaceReportsReplaceAndReplaceAllWithBothTextsAndTheKeyboardWorks)
{
    fr.Flags = FR_WHOLEWORD | FR_NOMATCHCASE;
    HWND dlg = ReplaceText(&fr);
    ASSERT_NE(dlg, nullptr);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dlg, chx2)));
    EXPECT_EQ(IsDlgButtonChecked(dlg, chx1), static_cast<UINT>(BST_CHECKED));
    TypeInto(dlg, edt2, "keywords");
    Press(dlg, psh1);
    Press(dlg, psh2);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].flags & (FR_REPLACE | FR_REPLACEALL | FR_WHOLEWORD | FR_DOWN),
              static_cast<DWORD>(FR_REPLACE | FR_WHOLEWORD | FR_DOWN));
    EXPECT_EQ(requests[0].find, "meta");
    EXPECT_EQ(requests[0].replace, "keywords");
    EXPECT_EQ(requests[1].flags & (FR_REPLACE | FR_REPLACEALL), static_cast<DWORD>(FR_REPLACEALL));

    // The owner's loop routes the dialog's keys: Enter is Find Next, Esc closes it. A text
    // longer than the caller's buffer is cut to fit it.
    auto pump = [&] {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (IsWindow(dlg) && IsDialogMessage(dlg, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
    };
    SetFocus(GetDlgItem(dlg, edt1));
    backend->Key(VK_END);
    dialog_automation::Type(*backend, " and description");
    backend->Key(VK_RETURN, "\r");
    pump();
    ASSERT_EQ(requests.size(), 3u);
    EXPECT_TRUE(requests[2].flags & FR_FINDNEXT);
    EXPECT_EQ(requests[2].find, std::string("meta and description").substr(0, sizeof findWhat - 1));
    backend->Key(VK_ESCAPE, "\x1b");
    pump();
    ASSERT_EQ(requests.size(), 4u);
    EXPECT_TRUE(requests[3].flags & FR_DIALOGTERM);
    EXPECT_FALSE(IsWindow(dlg));
}

TEST_F(FindReplaceDialogTest, ACallersTemplateAndHookTakeOverAndItsControlsGiveTheFlags)
{
    RegisterCallerTemplate();
    HookLog log;
    g_hookLog = &log;
    fr.hInstance = FindResourceModule("findtest");
    fr.lpTemplateName = MAKEINTRESOURCE(kFindTemplate);
    fr.Flags = FR_DOWN | FR_ENABLETEMPLATE | FR_ENABLEHOOK | FR_WHOLEWORD;
    fr.lpfnHook = FindHook;
    HWND dlg = FindText(&fr);
    ASSERT_NE(dlg, nullptr);
    EXPECT_EQ(log.initParam, reinterpret_cast<LPARAM>(&fr));
    EXPECT_EQ(dialog_automation::TextOf(GetDlgItem(dlg, 1152)), "meta");
    EXPECT_EQ(IsDlgButtonChecked(dlg, 1057), static_cast<UINT>(BST_CHECKED));
    Press(dlg, kRegexCheck);
    EXPECT_EQ(log.regexClicks, 1);
    Press(dlg, 1041);
    Press(dlg, IDOK);
    ASSERT_EQ(requests.size(), 1u);
    // Match case from its box; whole word, which the template lacks, as the caller set it.
    EXPECT_EQ(requests[0].flags & (FR_FINDNEXT | FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD),
              static_cast<DWORD>(FR_FINDNEXT | FR_DOWN | FR_MATCHCASE | FR_WHOLEWORD));
    DestroyWindow(dlg);

    // A template that is not there is reported, and nothing is made.
    fr.lpTemplateName = MAKEINTRESOURCE(22799);
    EXPECT_EQ(FindText(&fr), nullptr);
    EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_FINDRESFAILURE));
    g_hookLog = nullptr;
}

// A caller's template that hides the common field behind its own: the keys start in its own
// field, and what is typed shows there. A dialog that goes with its owner, not by Cancel, still
// tells the owner it ended, once.
TEST_F(FindReplaceDialogTest, TheKeysStartInAShownFieldAndTheOwnerHearsTheEndHoweverTheDialogGoes)
{
    RegisterCallerTemplate();
    fr.hInstance = FindResourceModule("findtest");
    fr.lpTemplateName = MAKEINTRESOURCE(kOwnFieldTemplate);
    fr.Flags = FR_DOWN | FR_ENABLETEMPLATE;
    HWND dlg = FindText(&fr);
    ASSERT_NE(dlg, nullptr);
    HWND own = GetDlgItem(dlg, kOwnField);
    EXPECT_TRUE(GetFocus() == own || IsChild(own, GetFocus()));
    dialog_automation::Type(*backend, "Grüße Ωμέγα 日本");
    backend->ProcessMessages();
    EXPECT_EQ(dialog_automation::TextOf(own), "Grüße Ωμέγα 日本");
    EXPECT_EQ(dialog_automation::TextOf(GetDlgItem(dlg, 1152)), "meta");

    DestroyWindow(dlg);
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].flags & (FR_DIALOGTERM | FR_FINDNEXT), static_cast<DWORD>(FR_DIALOGTERM));
    // Cancel tells it once, not again as the window goes.
    dlg = FindText(&fr);
    ASSERT_NE(dlg, nullptr);
    Press(dlg, IDCANCEL);
    EXPECT_FALSE(IsWindow(dlg));
    EXPECT_EQ(requests.size(), 2u);
}
