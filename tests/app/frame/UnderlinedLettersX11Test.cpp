// The underlined letters of the program's dialogs and windows, pressed from the keyboard of the
// X server by another client: each dialog opened by its keys, and Alt with each letter its
// controls underline reaches that control (a button is pressed, a label hands the keys on to
// its field). The buttons' own work is held back while the letters are walked, so that one
// program start walks every dialog; a button, or a field's label, that underlines no letter, and
// a letter two controls share, are faults. The Find and Replace of a page's Preview by their
// keys, Print Preview's buttons by their letters, F1 in the print dialogs, and every dialog
// template the program carries, shown or not.
#include "platform/afx/doc/CPreviewWnd.h"
#include "platform/controls/Button.h"
#include "platform/controls/Static.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <set>

namespace {

// The letter a control's label underlines as it is drawn (the last single '&'), lower-cased; 0
// when none.
char Underlined(const std::string& text)
{
    char letter = 0;
    for (size_t i = 0; i + 1 < text.size(); ++i) {
        if (text[i] != '&')
            continue;
        if (text[i + 1] != '&')
            letter = static_cast<char>(std::tolower(static_cast<unsigned char>(text[i + 1])));
        ++i;
    }
    return letter;
}

class UnderlinedLettersX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        StopHolding();
        MainWindowStepsX11Test::TearDown();
    }

    static std::string TextOf(HWND hwnd)
    {
        char text[256] = {};
        ::GetWindowText(hwnd, text, sizeof text);
        return text;
    }
    static UINT CodeOf(HWND hwnd) { return static_cast<UINT>(::SendMessage(hwnd, WM_GETDLGCODE, 0, 0)); }

    struct Labelled {
        HWND control;
        char letter;
        std::string text;
    };
    // The shown, usable labels and buttons of the window that underline a letter. A button, or a
    // label whose next control is a field, that underlines none is a fault. The parts of a
    // control (the month buttons of a calendar) are the control's, not the dialog's.
    static std::vector<Labelled> LabelledControls(HWND top, std::vector<std::string>& faults)
    {
        std::vector<Labelled> found;
        std::vector<HWND> all;
        ::EnumChildWindows(top, [](HWND child, LPARAM lParam) -> BOOL {
            reinterpret_cast<std::vector<HWND>*>(lParam)->push_back(child);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&all));
        for (HWND c : all) {
            const HWND parent = ::GetParent(c);
            if (parent != top && !(::GetWindowLong(parent, GWL_EXSTYLE) & WS_EX_CONTROLPARENT))
                continue;
            const UINT code = CodeOf(c);
            const auto style = static_cast<DWORD>(::GetWindowLong(c, GWL_STYLE));
            if (!(code & (DLGC_BUTTON | DLGC_STATIC)) || !::IsWindowVisible(c) || !::IsWindowEnabled(c))
                continue;
            // A static that shows its text as it stands underlines nothing.
            if ((code & DLGC_STATIC) && !(code & DLGC_BUTTON) && (style & 0x80u /* SS_NOPREFIX */) &&
                (style & BS_TYPEMASK) != BS_GROUPBOX)
                continue;
            const std::string text = TextOf(c);
            if (const char letter = Underlined(text))
                found.push_back(Labelled{c, letter, text});
            else if ((code & DLGC_BUTTON) || (!text.empty() && (style & BS_TYPEMASK) != BS_GROUPBOX && NamesField(c)))
                faults.push_back("\"" + text + "\" underlines no letter");
        }
        return found;
    }
    // Whether the next shown control after a label is one the keys go to that is no button.
    static bool NamesField(HWND label)
    {
        HWND next = ::GetWindow(label, GW_HWNDNEXT);
        while (next != nullptr && !::IsWindowVisible(next))
            next = ::GetWindow(next, GW_HWNDNEXT);
        return next != nullptr && !(CodeOf(next) & (DLGC_STATIC | DLGC_BUTTON)) && (::GetWindowLong(next, GWL_STYLE) & WS_TABSTOP);
    }

    // ---- The buttons' work held back ----

    // While the letters are walked, a click a button tells its parent is noted and goes no
    // further: OK does not close the dialog, Browse opens nothing.
    static std::set<HWND>& Clicked()
    {
        static std::set<HWND> clicked;
        return clicked;
    }
    static std::map<HWND, WNDPROC>& Held()
    {
        static std::map<HWND, WNDPROC> held;
        return held;
    }
    static LRESULT CALLBACK Holding(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        const WNDPROC original = Held()[hwnd];
        if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && lParam != 0) {
            Clicked().insert(reinterpret_cast<HWND>(lParam));
            return 0;
        }
        return ::CallWindowProc(original, hwnd, message, wParam, lParam);
    }
    static void Hold(HWND parent)
    {
        if (Held().count(parent) == 0)
            Held()[parent] = reinterpret_cast<WNDPROC>(
                ::SetWindowLongPtr(parent, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&Holding)));
    }
    static void StopHolding()
    {
        for (const auto& [hwnd, original] : Held())
            if (::IsWindow(hwnd))
                ::SetWindowLongPtr(hwnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(original));
        Held().clear();
        Clicked().clear();
    }

    // What the letter did to the control: a button was pressed, a label gave the keys to the
    // control that follows it.
    static bool Reached(const Labelled& item)
    {
        const UINT code = CodeOf(item.control);
        const bool label = (code & DLGC_STATIC) != 0;
        if (!label)
            return Clicked().count(item.control) != 0;
        HWND next = ::GetWindow(item.control, GW_HWNDNEXT);
        while (next != nullptr && ((CodeOf(next) & DLGC_STATIC) || !::IsWindowVisible(next) || !::IsWindowEnabled(next)))
            next = ::GetWindow(next, GW_HWNDNEXT);
        const HWND focus = ::GetFocus();
        return next != nullptr && (focus == next || ::IsChild(next, focus));
    }

    // The window that came up over the main window and holds the keys.
    HWND OpenedWindow()
    {
        const HWND active = ::GetActiveWindow();
        if (active == nullptr || active == Frame().GetSafeHwnd() || !::IsWindowVisible(active))
            return nullptr;
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return focus == backend->XWindowOf(active) && Settled() ? active : nullptr;
    }

    // The user opens a dialog by its keys and presses Alt with each letter its controls
    // underline; pages of a sheet are gone through by Ctrl+Tab. A letter that several controls
    // share is pressed again, as often as they share it, until it reaches the one walked. Escape
    // closes the dialog.
    void WalkDialog(const std::string& name, const std::string& keys, int nPages = 1)
    {
        Type("the main window", "^Vostrel", keys);
        for (int page = 0; page < nPages; ++page) {
            const std::string where = name + (nPages > 1 ? " (page " + std::to_string(page + 1) + ")" : "");
            auto walk = std::make_shared<Walk>();
            When(where + " has the keys and its letters are walked", [this, walk, where] { return Walked(*walk, where); },
                 [this, page, nPages] { XdoNow(page + 1 < nPages ? "key ctrl+Tab" : "key Escape"); });
        }
        When(name + " closed", [this] { return KeysInMain() && Settled(); }, [] {});
    }
    // A dialog opened from another one: the keys open the outer one, `keysIn` typed there open
    // the inner one, whose letters are walked; Escape closes both.
    void WalkInnerDialog(const std::string& name, const std::string& keys, const std::string& keysIn)
    {
        Type("the main window", "^Vostrel", keys);
        auto outer = std::make_shared<HWND>(nullptr);
        When(name + "'s owner has the keys", [this, outer] { return (*outer = OpenedWindow()) != nullptr; },
             [this, keysIn] { XdoNow("key --delay 40 " + keysIn); });
        auto walk = std::make_shared<Walk>();
        When(name + " has the keys and its letters are walked",
             [this, walk, name, outer] { return Walked(*walk, name, *outer); }, [this] { XdoNow("key Escape"); });
        When(name + "'s owner has the keys again", [this, outer] { return OpenedWindow() == *outer; },
             [this] { XdoNow("key Escape"); });
        When(name + "'s owner closed", [this] { return KeysInMain() && Settled(); }, [] {});
    }
    // The first page's description typed over by the keys, its row current again; then `then`.
    void EditFirstPageByKeys(std::function<void()> then)
    {
        When("the grid has the keys", [this] { return KeysInMain() && Settled(); }, [this] {
            std::string keys = "ctrl+Home";
            for (ROWCOL nCol = 1; nCol < ColumnOf("Description"); ++nCol)
                keys += " Right";
            XdoNow("key --delay 30 " + keys + " x Return Up");
        });
        When("a page is edited", [this] { return app->IsEdited() == 2 && Settled(); }, std::move(then));
    }
    // The middle of a top-level window's close box on the screen.
    static POINT CloseBoxOf(HWND top)
    {
        RECT r{};
        ::GetWindowRect(top, &r);
        for (int y = r.top; y < r.top + 40; ++y)
            for (int x = r.right - 1; x > r.right - 60; --x)
                if (::SendMessage(top, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE)
                    return POINT{x - 5, y + 5};
        ADD_FAILURE() << "no close box on " << TextOf(top);
        return POINT{0, 0};
    }
    bool KeysInMain()
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return ::GetActiveWindow() == Frame().GetSafeHwnd() && focus == backend->XWindowOf(Frame().GetSafeHwnd());
    }

    struct Walk {
        bool started = false;
        std::vector<Labelled> items;
        std::map<char, int> sharing;
        size_t next = 0;
        int tries = 0;
        std::chrono::steady_clock::time_point pressed{};
    };
    // One turn of the walk; true once every letter of the window was pressed.
    bool Walked(Walk& walk, const std::string& where, HWND notThis = nullptr)
    {
        if (!walk.started) {
            const HWND top = OpenedWindow();
            if (top == nullptr || top == notThis)
                return false;
            walk.started = true;
            std::vector<std::string> faults;
            walk.items = LabelledControls(top, faults);
            seen.push_back(where + " (\"" + TextOf(top) + "\"): " + std::to_string(walk.items.size()) + " letters");
            for (const Labelled& item : walk.items) {
                Hold(::GetParent(item.control));
                if (++walk.sharing[item.letter] == 2)
                    faults.push_back("Alt+" + std::string(1, item.letter) + " is the letter of two controls");
            }
            for (const std::string& fault : faults)
                unreached.push_back(where + ": " + fault);
        }
        while (walk.next < walk.items.size()) {
            const Labelled& item = walk.items[walk.next];
            const auto now = std::chrono::steady_clock::now();
            if (walk.tries > 0 && Reached(item)) {
                ++walk.next;
                walk.tries = 0;
                continue;
            }
            // A press is given a few seconds to arrive before the next try.
            if (walk.tries > 0 && now - walk.pressed < std::chrono::seconds(3))
                return false;
            if (walk.tries >= walk.sharing[item.letter]) {
                unreached.push_back(where + ": Alt+" + std::string(1, item.letter) + " does not reach \"" + item.text + "\"");
                ++walk.next;
                walk.tries = 0;
                continue;
            }
            ++walk.tries;
            Clicked().clear();
            walk.pressed = now;
            XdoNow(std::string("key alt+") + item.letter);
            return false;
        }
        StopHolding();
        return true;
    }

    // As many dialogs were walked, and none had a fault.
    void ExpectWalkedWithoutFaults(size_t nDialogs)
    {
        std::string walked;
        for (const std::string& line : seen)
            walked += line + "\n";
        EXPECT_EQ(seen.size(), nDialogs) << walked;
        std::string faults;
        for (const std::string& line : unreached)
            faults += line + "\n";
        EXPECT_TRUE(unreached.empty()) << faults << walked;
    }

    std::vector<std::string> seen;
    std::vector<std::string> unreached;
};

// The drop-down list of the editor's Find What, as its dialogs' templates number it.
constexpr int kFindWhatList = 103;

using C = DialogControlClass;

bool IsClass(const DialogItemTemplate& item, C kind, const char* pszName)
{
    if (item.windowClass.isOrdinal)
        return item.windowClass.ordinal == static_cast<WORD>(kind);
    std::string name = item.windowClass.text;
    for (char& c : name)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return name == pszName;
}

// A control the keys can go to that is neither a button nor a label: an edit, a list, a grid.
bool IsField(const DialogItemTemplate& item)
{
    if (IsClass(item, C::Button, "BUTTON") || IsClass(item, C::Static, "STATIC"))
        return false;
    return (item.style & WS_TABSTOP) || IsClass(item, C::Edit, "EDIT") || IsClass(item, C::ListBox, "LISTBOX") ||
           IsClass(item, C::ComboBox, "COMBOBOX");
}

// Whether the item must underline a letter: a button that is not a group's frame, or a label
// whose text prefixes letters and whose next control is a field.
bool NeedsLetter(const DialogTemplate& dialog, size_t i)
{
    const DialogItemTemplate& item = dialog.items[i];
    if (IsClass(item, C::Button, "BUTTON"))
        return (item.style & BS_TYPEMASK) != BS_GROUPBOX;
    if (!IsClass(item, C::Static, "STATIC") || item.title.isOrdinal || item.title.text.empty() || (item.style & SS_NOPREFIX))
        return false;
    const DWORD type = item.style & SS_TYPEMASK;
    if (type != SS_LEFT && type != SS_CENTER && type != SS_RIGHT && type != SS_SIMPLE && type != SS_LEFTNOWORDWRAP)
        return false;
    return i + 1 < dialog.items.size() && IsField(dialog.items[i + 1]);
}

// A site long enough to print on several pages.
void AddPages(const std::string& site, int nPages)
{
    std::filesystem::create_directories(site);
    for (int i = 0; i < nPages; ++i)
        std::ofstream(site + "/p" + std::to_string(1000 + i) + ".htm")
            << "<html><head><title>Page " << i << "</title></head><body>x</body></html>\n";
}

} // namespace

// Every dialog the main window opens by its keys: each letter it underlines reaches its control.
TEST_F(UnderlinedLettersX11Test, EveryUnderlinedLetterOfEveryDialogReachesItsControl)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    WalkDialog("Print", "ctrl+p");
    WalkDialog("Print Setup", "alt+f r");
    WalkDialog("Find", "ctrl+f");
    WalkDialog("Replace", "ctrl+h");
    WalkDialog("Toolbars", "alt+v t");
    WalkDialog("Project Settings", "alt+o p", 4);
    WalkDialog("Metatag Settings", "alt+o m");
    WalkDialog("Customize", "alt+o c", 2);
    WalkDialog("System Info", "alt+h i");
    WalkDialog("About", "alt+h a");
    // A question with letters of its own: a page edited by the keys, and New Project asks
    // whether to save it first. Cancel keeps the project, and Undo takes the edit back.
    EditFirstPageByKeys([] {});
    WalkDialog("The question before New Project", "ctrl+n");
    When("the page is still edited", [&] { return app->IsEdited() == 2; }, [&] { XdoNow("key ctrl+z"); });
    When("Undo took the edit back", [&] { return app->IsEdited() != 2 && Settled(); }, [] {});
    WalkDialog("Open Project", "ctrl+o");
    WalkInnerDialog("New Toolbar", "alt+v t", "alt+n");
    // New Project closes the project before it opens. Its Browse button is the second
    // control after the folder's field, where the dialog opens.
    WalkDialog("New Project", "ctrl+n");
    WalkInnerDialog("Browse for Folder", "ctrl+n", "Tab space");
    EXPECT_TRUE(StepsTaken());
    ExpectWalkedWithoutFaults(19);
}

// The dialogs of a page's values, each opened by F4 on its cell or, for the group action, from
// the chosen column's menu, and those of the catalogue's options, opened by Space on a setting's
// Attributes cell in Metatag Settings: every button and field label of each underlines a letter
// of its own, and each letter reaches its control.
TEST_F(UnderlinedLettersX11Test, EveryLetterOfTheValueAndOptionDialogsReachesItsControl)
{
    ASSERT_TRUE(Start());
    OpenScannedSite(3, {"Keywords", "Refresh", "Expires", "Robots", "subject"});
    // From the first cell to the column of the setting, then the keys.
    const auto inColumn = [&](const char* pszName, const std::string& keys) {
        std::string to = "ctrl+Home";
        for (ROWCOL nCol = 1; nCol < ColumnOf(pszName); ++nCol)
            to += " Right";
        return to + " " + keys;
    };
    WalkDialog("Keywords", inColumn("Keywords", "F4"));
    WalkDialog("Group action", inColumn("Keywords", "ctrl+space shift+F10 g"));
    WalkDialog("Refresh", inColumn("Refresh", "F4"));
    WalkDialog("Date", inColumn("Expires", "F4"));
    WalkDialog("Multiple Selection", inColumn("Robots", "F4"));
    WalkDialog("Classification", inColumn("subject", "F4"));
    // Metatag Settings lists the catalogue's settings in its order, from its first row.
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    const auto attributesOf = [&](const char* pszName) {
        std::string keys = "Right Right Right";
        for (POSITION pos = pList->GetHeadPosition(); pos != nullptr;) {
            CString strName;
            pList->GetNext(pos)->GetName(strName);
            if (strName == pszName)
                return keys + " space";
            keys += " Down";
        }
        ADD_FAILURE() << pszName << " is not in the catalogue";
        return std::string("Escape");
    };
    WalkInnerDialog("List Type Attributes", "alt+o m", attributesOf("Generator"));
    WalkInnerDialog("Multiple Selection List Options", "alt+o m", attributesOf("Robots"));
    WalkInnerDialog("Define Classification", "alt+o m", attributesOf("subject"));
    EXPECT_TRUE(StepsTaken());
    ExpectWalkedWithoutFaults(9);
}

// The Find and Replace of a page's Preview, opened by the keys: the text typed shows in Find What
// (not in a field hidden behind it) and Enter finds it in the page, and every letter the two
// dialogs underline reaches its control while the Preview's modal loop runs. The Preview closed
// under its open Replace takes the Replace with it.
TEST_F(UnderlinedLettersX11Test, ThePreviewsFindAndReplaceTakeTheTextTypedAndEveryUnderlinedLetter)
{
    const std::string typed = "Grüße Ωμέγα 日本";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(false);
    // The first page on disk holds the text; its description edited by the keys lets the Preview
    // show it.
    std::ofstream(site + "/a.htm") << "<html><head><meta charset=\"utf-8\"><title>Alpha</title>\n"
                                   << "<meta name=\"DESCRIPTION\" content=\"First page\">\n"
                                   << "</head><body>Alpha, " << typed << ".</body></html>\n";
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 3; }));
    EditFirstPageByKeys([&] { XdoNow("key alt+v c"); });
    HWND preview = nullptr;
    const auto keysIn = [&](HWND& top, const std::function<bool(HWND)>& which) {
        return [&top, which, this] { return (top = OpenedWindow()) != nullptr && which(top); };
    };
    const auto isPreview = [](HWND top) { return TextOf(top) == "Preview Changes to HTML File"; };
    const auto isNot = [&preview](HWND top) { return top != preview; };
    // The caret goes onto the page's first word, which Find proposes: what is typed takes its place.
    When("the Preview has the keys", keysIn(preview, isPreview), [&] { XdoNow("key --delay 40 ctrl+Right ctrl+f"); });
    HWND find = nullptr;
    When("the Find has the keys, the word proposed",
         [&] { return keysIn(find, isNot)() && !TextOf(::GetDlgItem(find, kFindWhatList)).empty(); },
         [&] { XdoNow("type --delay 30 '" + typed + "'"); });
    When("Find What shows the text typed",
         [&] { return TextOf(::GetDlgItem(find, kFindWhatList)) == typed && Settled(); },
         [&] { XdoNow("key Return"); });
    // A find that found closes, the text chosen in the pane: Ctrl+C copies it.
    When("the Find closed on the text found", keysIn(preview, isPreview), [&] { XdoNow("key ctrl+c"); });
    When("the text found is copied", [&] { return clipboard_text::Get(nullptr) == typed; },
         [&] { XdoNow("key ctrl+f"); });
    auto walk = std::make_shared<Walk>();
    When("the Find's letters are walked", [&, walk] { return Walked(*walk, "The Preview's Find", preview); },
         [&] { XdoNow("key Escape"); });
    When("the Preview has the keys again", keysIn(preview, isPreview), [&] { XdoNow("key ctrl+h"); });
    auto walkReplace = std::make_shared<Walk>();
    When("the Replace's letters are walked",
         [&, walkReplace] { return Walked(*walkReplace, "The Preview's Replace", preview); },
         [&] {
             EXPECT_TRUE(ViewableWindowTitled("Replace")) << "the Replace was not open when the Preview was closed";
             ClickAt(CloseBoxOf(preview), 1, 1);
         });
    When("the Preview closed", [&] { return KeysInMain() && Settled(); }, [] {});
    EXPECT_TRUE(StepsTaken());
    // Its Replace went with it.
    EXPECT_FALSE(ViewableWindowTitled("Replace"));
    std::string faults;
    for (const std::string& line : unreached)
        faults += line + "\n";
    EXPECT_TRUE(unreached.empty()) << faults;
    EXPECT_EQ(seen, (std::vector<std::string>{"The Preview's Find (\"Find\"): 10 letters",
                                              "The Preview's Replace (\"Replace\"): 12 letters"}));
}

// Print Preview's buttons by their letters, with Alt and without: Next Page, Prev Page, Close.
TEST_F(UnderlinedLettersX11Test, PrintPreviewsButtonsGoByTheirLetters)
{
    ASSERT_TRUE(Start());
    AddPages(dir.Path() + "/site", 150);
    OpenSite(false);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 153; }, 60000));
    ASSERT_TRUE(Quiet());
    const auto preview = [&]() -> CPreviewWnd* {
        return dynamic_cast<CPreviewWnd*>(Frame().GetDlgItem(AFX_IDW_PANE_FIRST));
    };
    const auto onPage = [&](UINT nPage) {
        return [&, nPage] { return preview() != nullptr && preview()->GetCurrentPage() == nPage && Settled(); };
    };
    Type("the main window", "^Vostrel -", "alt+f v");
    When("the preview shows page 1", onPage(1), [&] { XdoNow("key alt+n"); });
    When("Alt+N turned to page 2", onPage(2), [&] { XdoNow("key n"); });
    When("N turned to page 3", onPage(3), [&] { XdoNow("key alt+v"); });
    When("Alt+V turned back to page 2", onPage(2), [&] { XdoNow("key alt+c"); });
    When("Alt+C closed the preview", [&] { return preview() == nullptr && Settled(); }, [] {});
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(preview(), nullptr);
}

// F1 in Print and in Print Setup opens the help's page on printing.
TEST_F(UnderlinedLettersX11Test, F1InThePrintDialogsOpensThePrintingPage)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    std::vector<std::string> opened;
    Frame().GetUrlLauncher().SetRunner([&](const std::vector<std::string>& args, CUrlLauncher::Finished finished) {
        opened.push_back(args.back());
        finished(CUrlLauncher::Outcome{});
    });
    const auto openedCount = [&](size_t n) { return [&, n] { return opened.size() >= n; }; };
    Type("the main window", "^Vostrel -", "ctrl+p");
    Type("Print", "^Print$", "F1");
    When("a page opened", openedCount(1), [&] { XdoNow("key Escape"); });
    Type("the main window", "^Vostrel -", "alt+f r");
    Type("Print Setup", "^Print Setup$", "F1");
    When("a page opened", openedCount(2), [&] { XdoNow("key Escape"); });
    When("the main window has the keys again", [&] { return KeysInMain(); }, [] {});
    EXPECT_TRUE(StepsTaken());
    const std::string printing = "file://" + HelpFolder() + "/file-commands.html#print";
    EXPECT_EQ(opened, std::vector<std::string>(2, printing));
}

// Every dialog template the program carries, of its own and of the libraries under it, opened
// or not by the walks above: each button and each label that names a field underlines a letter
// of its own in its dialog. A property page shares its sheet's OK, Cancel and Help.
TEST(DialogTemplateLettersTest, EveryButtonAndLabelOfEveryDialogUnderlinesALetterOfItsOwn)
{
    // The program's own resources (a null module), then every library module with a script.
    const char* const modules[] = {nullptr,  "apppanes",     "appdialogs",       "appgroup",       "appsettings",
                                   "afx",    "afxdlg",       "system",           "editor",         "toolkit_controls",
                                   "grid",   "toolkitdocking", "toolkittoolbars", "toolkitcustomize", "toolkitdatetime",
                                   "toolkitmenus", "toolkitsyscmd"};
    std::string faults;
    int nDialogs = 0;
    for (const char* pszModule : modules) {
        HMODULE hModule = pszModule != nullptr ? FindResourceModule(pszModule) : nullptr;
        if (pszModule != nullptr && hModule == nullptr)
            continue;
        for (UINT nId = 1; nId <= 0xFFFF; ++nId) {
            HRSRC found = FindResource(hModule, MAKEINTRESOURCE(nId), RT_DIALOG);
            if (found == nullptr)
                continue;
            DialogTemplate dialog;
            ASSERT_TRUE(ReadDialogTemplate(LockResource(LoadResource(hModule, found)), SizeofResource(hModule, found), dialog));
            ++nDialogs;
            const std::string where = std::string(pszModule != nullptr ? pszModule : "program") + " dialog " +
                                      std::to_string(nId) + " \"" + dialog.title + "\": ";
            // A page stands in a sheet whose OK, Cancel and Help take those letters.
            std::map<char, std::string> taken;
            if (dialog.style & WS_CHILD)
                taken = {{'o', "the sheet's OK"}, {'c', "the sheet's Cancel"}, {'h', "the sheet's Help"}};
            for (size_t i = 0; i < dialog.items.size(); ++i) {
                const DialogItemTemplate& item = dialog.items[i];
                const std::string text = item.title.isOrdinal ? std::string() : item.title.text;
                if (!(item.style & WS_VISIBLE))
                    continue;
                const char letter = Underlined(text);
                if (letter == 0) {
                    if (NeedsLetter(dialog, i))
                        faults += where + "\"" + text + "\" underlines no letter\n";
                    continue;
                }
                if (const auto [at, added] = taken.emplace(letter, "\"" + text + "\""); !added)
                    faults += where + "\"" + text + "\" underlines the letter of " + at->second + "\n";
            }
        }
    }
    EXPECT_GE(nDialogs, 25);
    EXPECT_TRUE(faults.empty()) << faults;
}
