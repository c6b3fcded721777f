// Message boxes: their buttons, default button, keyboard answers and icons; and the helpers that
// answer message boxes and fill dialogs made from resource templates.
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/MessageBox.h"
#include "platform/controls/Static.h"
#include "platform/core/CException.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/SystemParameters.h"
#include "tests/platform/controls/ControlsFixture.h"
#include "tests/support/DialogAutomation.h"

#include <gtest/gtest-spi.h>

namespace {

class MessageBoxTest : public ControlsTest {
protected:
    // The open message box, found the way a user sees it: the active window.
    static HWND OpenBox()
    {
        HWND active = GetActiveWindow();
        return GetDlgItem(active, kMessageBoxTextId) ? active : nullptr;
    }
};

uint32_t PixelOf(HeadlessBackend& backend, HWND window, POINT screen)
{
    HWND top = GetAncestor(window, GA_ROOT);
    RECT frame;
    GetWindowRect(top, &frame);
    cairo_surface_t* s = backend.Capture(top);
    if (!s)
        return 0xFFFFFFFF;
    const auto* row = cairo_image_surface_get_data(s) +
                      static_cast<size_t>(screen.y - frame.top) * cairo_image_surface_get_stride(s);
    const uint32_t value = reinterpret_cast<const uint32_t*>(row)[screen.x - frame.left] & 0xFFFFFF;
    cairo_surface_destroy(s);
    return value;
}

} // namespace

TEST_F(MessageBoxTest, AnswersWithTheButtonClickedAndShowsWhatItWasGiven)
{
    SeenMessageBox seen;
    bool ownerDisabled = false;
    backend->WhenIdle([&] { ownerDisabled = !IsWindowEnabled(parent); });
    AnswerMessageBox(*backend, IDNO, &seen);
    const int answer = MessageBox(parent, "This operation shall overwrite your current metatag settings. Proceed?",
                                  "Vostrel", MB_YESNOCANCEL | MB_ICONQUESTION | MB_DEFBUTTON2);
    EXPECT_EQ(answer, IDNO);
    ASSERT_TRUE(seen.seen);
    EXPECT_EQ(seen.caption, "Vostrel");
    EXPECT_EQ(seen.text, "This operation shall overwrite your current metatag settings. Proceed?");
    EXPECT_EQ(seen.buttons, (std::vector<std::string>{"&Yes", "&No", "&Cancel"}));
    EXPECT_TRUE(ownerDisabled);
    EXPECT_TRUE(IsWindowEnabled(parent));
    EXPECT_EQ(OpenBox(), nullptr);

    // The class library's error reports come as message boxes once they are installed.
    AFX_REPORT_ERROR_HOOK previous = AfxGetReportErrorHook();
    InstallMessageBoxErrorReports();
    SeenMessageBox report;
    AnswerMessageBox(*backend, IDOK, &report);
    EXPECT_EQ(AfxGetReportErrorHook()("The file could not be saved.", MB_OK | MB_ICONEXCLAMATION, 0), IDOK);
    EXPECT_EQ(report.text, "The file could not be saved.");
    AfxSetReportErrorHook(previous);
}

TEST_F(MessageBoxTest, KeyboardChoosesTheDefaultAndEscapeOnlyWhereThereIsACancel)
{
    // Enter takes the default button the flags name.
    backend->WhenIdle([&] { backend->Key(VK_RETURN, "\r"); });
    EXPECT_EQ(MessageBox(parent, "Save?", "Vostrel", MB_YESNO | MB_DEFBUTTON2), IDNO);

    // Esc in a box with OK alone is OK.
    backend->WhenIdle([&] { backend->Key(VK_ESCAPE, "\x1b"); });
    EXPECT_EQ(MessageBox(parent, "You must specify a project directory!", nullptr, MB_OK), IDOK);

    // In a Yes/No box Esc and the close box do nothing; a mnemonic answers.
    bool stillOpenAfterEscape = false;
    backend->WhenIdle([&] {
        backend->Key(VK_ESCAPE, "\x1b");
        backend->Close(OpenBox());
    });
    backend->WhenIdle([&] {
        stillOpenAfterEscape = OpenBox() != nullptr;
        backend->Key('Y', "y");
    });
    EXPECT_EQ(MessageBox(parent, "Replace?", "Vostrel", MB_YESNO), IDYES);
    EXPECT_TRUE(stillOpenAfterEscape);

    // A null caption reads "Error".
    SeenMessageBox seen;
    AnswerMessageBox(*backend, IDRETRY, &seen);
    EXPECT_EQ(MessageBox(nullptr, "Disk full", nullptr, MB_RETRYCANCEL), IDRETRY);
    EXPECT_EQ(seen.caption, "Error");
}

TEST_F(MessageBoxTest, AnAnswerThatDoesNotCloseTheBoxFailsInsteadOfHanging)
{
    int answer = 0;
    const auto wait = dialog_automation::CloseWait();
    dialog_automation::CloseWait() = std::chrono::milliseconds(200);
    EXPECT_NONFATAL_FAILURE(
        {
            AnswerMessageBox(*backend, IDNO);   // an OK box has no No button
            answer = MessageBox(parent, "Done.", "Vostrel", MB_OK);
        },
        "still open");
    dialog_automation::CloseWait() = wait;
    EXPECT_EQ(answer, 0) << "ended with -1, which MessageBox reports as no answer";
}

TEST_F(MessageBoxTest, DrawsItsIconsInTheirColours)
{
    struct Case {
        UINT flag;
        POINT probe;   // inside the 32 x 32 icon
        uint32_t colour;
    };
    const Case cases[] = {
        {MB_ICONHAND, {5, 16}, 0xFF0000},
        {MB_ICONEXCLAMATION, {15, 27}, 0xFFFF00},
        {MB_ICONASTERISK, {15, 18}, 0x0000FF},
        {MB_ICONQUESTION, {5, 16}, 0xFFFFFF},
    };
    for (const Case& c : cases) {
        uint32_t seen = 0;
        bool hasIcon = false;
        backend->WhenIdle([&] {
            HWND box = OpenBox();
            HWND icon = GetDlgItem(box, kMessageBoxIconId);
            hasIcon = icon != nullptr;
            UpdateWindow(box);
            if (icon) {
                RECT r;
                GetWindowRect(icon, &r);
                seen = PixelOf(*backend, box, POINT{r.left + c.probe.x, r.top + c.probe.y});
            }
            backend->Key(VK_RETURN, "\r");
        });
        EXPECT_EQ(MessageBox(parent, "Text", "Icon", MB_OK | c.flag), IDOK);
        EXPECT_TRUE(hasIcon);
        EXPECT_EQ(seen, c.colour) << "icon flag " << c.flag;
    }
    // Without an icon flag there is no icon.
    bool hasIcon = true;
    backend->WhenIdle([&] {
        hasIcon = GetDlgItem(OpenBox(), kMessageBoxIconId) != nullptr;
        backend->Key(VK_RETURN, "\r");
    });
    MessageBox(parent, "Text", "Plain", MB_OK);
    EXPECT_FALSE(hasIcon);
}

// A word longer than a line (a long name, a path) is broken inside: the box stays within the
// work area however long its words, with its text on several lines, and a plain text keeps its
// classic width. A text taller than the work area scrolls in a box of its own, whole, and the
// button stays in sight.
TEST_F(MessageBoxTest, AWordLongerThanALineIsBrokenAndTheBoxStaysOnTheScreen)
{
    const RECT work = GetWorkArea();
    for (const size_t nLength : {size_t(40), size_t(300), size_t(1000), size_t(20000)}) {
        const std::string text = "The name '" + std::string(nLength, 'W') + "' cannot be used.";
        RECT frame{}, label{}, labelOnScreen{}, button{};
        std::string shown;
        int lineHeight = 0;
        backend->WhenIdle([&] {
            HWND box = OpenBox();
            GetWindowRect(box, &frame);
            GetClientRect(GetDlgItem(box, kMessageBoxTextId), &label);
            GetWindowRect(GetDlgItem(box, kMessageBoxTextId), &labelOnScreen);
            GetWindowRect(GetDlgItem(box, IDOK), &button);
            HWND hLabel = GetDlgItem(box, kMessageBoxTextId);
            shown.resize(static_cast<size_t>(GetWindowTextLength(hLabel)) + 1);
            shown.resize(static_cast<size_t>(GetWindowText(hLabel, shown.data(), static_cast<int>(shown.size()))));
            HDC dc = GetDC(hLabel);
            HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessage(hLabel, WM_GETFONT, 0, 0)));
            TEXTMETRIC tm{};
            GetTextMetrics(dc, &tm);
            lineHeight = tm.tmHeight;
            SelectObject(dc, old);
            ReleaseDC(hLabel, dc);
            backend->Key(VK_RETURN, "\r");
        });
        EXPECT_EQ(MessageBox(parent, text.c_str(), "Vostrel", MB_OK | MB_ICONEXCLAMATION), IDOK);
        EXPECT_GE(frame.left, work.left) << nLength;
        EXPECT_LE(frame.right, work.right) << nLength << ": " << frame.right - frame.left << " wide";
        EXPECT_GE(frame.top, work.top) << nLength;
        EXPECT_LE(frame.bottom, work.bottom) << nLength << ": " << frame.bottom - frame.top << " high";
        EXPECT_TRUE(button.left >= frame.left && button.right <= frame.right && button.bottom <= frame.bottom)
            << nLength << ": OK is out of the box";
        EXPECT_EQ(shown, text) << nLength;
        // The text is laid out for the box it stands in, not cut off by it.
        EXPECT_LT(labelOnScreen.right, frame.right) << nLength;
        if (nLength >= 300)
            EXPECT_GT(label.bottom - label.top, 2 * lineHeight) << nLength << ": the text is not broken";
        else
            EXPECT_LE(label.right - label.left, 420) << "a short text widened the box";
    }
}

namespace {

constexpr WORD kRefreshDialog = 149;
constexpr WORD kSecondsEdit = 134;
constexpr WORD kUrlEdit = 1036;
constexpr WORD kKeepCheck = 1041;

DialogItemTemplate ItemOf(WORD atom, const char* text, DWORD style, short x, short y, short cx, short cy, WORD id)
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

// The program's resources as the resource compiler would register them: one dialog.
void RegisterRefreshDialog()
{
    static std::vector<BYTE> bytes = [] {
        DialogTemplate t;
        t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
        t.cx = 180;
        t.cy = 80;
        t.title = "Refresh Metatag";
        t.pointSize = 8;
        t.typeface = "MS Shell Dlg";
        const WORD edit = static_cast<WORD>(DialogControlClass::Edit);
        const WORD button = static_cast<WORD>(DialogControlClass::Button);
        const WORD stat = static_cast<WORD>(DialogControlClass::Static);
        t.items.push_back(ItemOf(stat, "&Seconds:", SS_LEFT, 7, 9, 40, 8, 0xFFFF));
        t.items.push_back(ItemOf(edit, "0", WS_BORDER | WS_TABSTOP | 0x80 /* ES_AUTOHSCROLL */, 50, 7, 60, 12, kSecondsEdit));
        t.items.push_back(ItemOf(stat, "&URL:", SS_LEFT, 7, 27, 40, 8, 0xFFFF));
        t.items.push_back(ItemOf(edit, "", WS_BORDER | WS_TABSTOP | 0x80, 50, 25, 120, 12, kUrlEdit));
        t.items.push_back(ItemOf(button, "&Keep", BS_AUTOCHECKBOX | WS_TABSTOP, 50, 42, 60, 10, kKeepCheck));
        t.items.push_back(ItemOf(button, "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 70, 60, 50, 14, IDOK));
        t.items.push_back(ItemOf(button, "Cancel", BS_PUSHBUTTON | WS_TABSTOP, 125, 60, 50, 14, IDCANCEL));
        return WriteDialogTemplate(t);
    }();
    static const ResourceEntry entries[] = {
        {RT_DIALOG, MAKEINTRESOURCE(kRefreshDialog), bytes.data(), static_cast<DWORD>(bytes.size())}};
    static const ResourceModuleTable table{"", entries, 1};
    RegisterResourceModule(table);
}

struct RefreshResult {
    UINT seconds = 0;
    BOOL translated = FALSE;
    std::string url;
    UINT keep = 0;
};

INT_PTR CALLBACK RefreshProc(HWND dlg, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        SetWindowLongPtr(dlg, DWLP_USER, lParam);
        SetDlgItemInt(dlg, kSecondsEdit, 10, FALSE);
        SetDlgItemText(dlg, kUrlEdit, "page.html");
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDOK) {
        auto* result = reinterpret_cast<RefreshResult*>(GetWindowLongPtr(dlg, DWLP_USER));
        result->seconds = GetDlgItemInt(dlg, kSecondsEdit, &result->translated, FALSE);
        char url[256];
        GetDlgItemText(dlg, kUrlEdit, url, sizeof url);
        result->url = url;
        result->keep = IsDlgButtonChecked(dlg, kKeepCheck);
        EndDialog(dlg, IDOK);
        return TRUE;
    }
    if (message == WM_COMMAND && LOWORD(wParam) == IDCANCEL) {
        EndDialog(dlg, IDCANCEL);
        return TRUE;
    }
    return FALSE;
}

} // namespace

TEST_F(MessageBoxTest, FillDialogTypesIntoAResourceDialogAndClosesIt)
{
    RegisterRefreshDialog();
    DialogFill fill;
    fill.texts[kSecondsEdit] = "30";
    fill.texts[kUrlEdit] = "index.html";
    fill.checks[kKeepCheck] = BST_CHECKED;
    std::string shownUrl;
    fill.inspect = [&](HWND dlg) {
        char url[64];
        GetDlgItemText(dlg, kUrlEdit, url, sizeof url);
        shownUrl = url;
    };
    bool opened = false;
    FillDialog(*backend, kRefreshDialog, fill, &opened);
    RefreshResult result;
    const INT_PTR answer = DialogBoxParam(nullptr, MAKEINTRESOURCE(kRefreshDialog), parent, RefreshProc,
                                          reinterpret_cast<LPARAM>(&result));
    EXPECT_TRUE(opened);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(shownUrl, "page.html");
    EXPECT_TRUE(result.translated);
    EXPECT_EQ(result.seconds, 30u);
    EXPECT_EQ(result.url, "index.html");
    EXPECT_EQ(result.keep, static_cast<UINT>(BST_CHECKED));

    // A template that is not there makes no dialog.
    EXPECT_EQ(DialogBoxParam(nullptr, MAKEINTRESOURCE(9999), parent, RefreshProc, 0), -1);
}
