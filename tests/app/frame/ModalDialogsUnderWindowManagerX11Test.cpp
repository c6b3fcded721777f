// The program's modal dialogs on a display run by a window manager (openbox), driven from another
// client: each asks the window manager for no minimise function and stands over the main window,
// centred on it, as its modal dialog; the greyed minimise box of the Preview's own caption hides
// nothing; the Preview minimised through the window manager goes with the main window, not alone;
// and once the window manager brought them back, a click on the main window gives the Preview the
// keys, in front of it.
#include "tests/app/ShownPreview.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/X11KeyboardLetters.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

class ModalDialogsUnderWindowManagerX11Test : public WindowManagerStepsX11Test {
protected:
    // The program started on the site, a title of several scripts typed into its first row: the
    // Preview has a change to show, and the dialogs an edit to keep.
    void StartWithATypedTitle()
    {
        const std::string typed = "Ærø γ 東";
        X11KeyboardLetters letters(other, typed);
        ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
        ASSERT_TRUE(Start());
        OpenSite(true);
        ASSERT_TRUE(GoToByKeys(1, ColumnOf("Title")));
        ASSERT_TRUE(Xdo("type --delay 20 '" + typed + "'") && Xdo("key Return"));
        ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2 && !EditorOpen(); })) << "the typed title was not stored";
        ASSERT_EQ(std::string(view->GetCellValue(1, ColumnOf("Title"))), typed);
    }
    // The atoms' names of a window's property of atoms.
    std::vector<std::string> AtomsOf(HWND hwnd, const char* pszProperty)
    {
        std::vector<std::string> names;
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(other, backend->XWindowOf(hwnd), XInternAtom(other, pszProperty, False), 0, 64, False,
                               XA_ATOM, &type, &format, &count, &after, &data) == Success &&
            data != nullptr && format == 32)
            for (unsigned long i = 0; i < count; ++i)
                if (char* name = XGetAtomName(other, reinterpret_cast<Atom*>(data)[i])) {
                    names.push_back(name);
                    XFree(name);
                }
        if (data != nullptr)
            XFree(data);
        return names;
    }
    static bool Has(const std::vector<std::string>& names, const char* pszName)
    {
        return std::find(names.begin(), names.end(), pszName) != names.end();
    }
    // The functions the window asks the window manager for (the Motif hints' second field, with
    // the flag that says it is given); -1 when it asks nothing of them.
    long AskedFunctions(HWND hwnd)
    {
        const Atom hints = XInternAtom(other, "_MOTIF_WM_HINTS", False);
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        long functions = -1;
        if (XGetWindowProperty(other, backend->XWindowOf(hwnd), hints, 0, 5, False, hints, &type, &format, &count, &after,
                               &data) == Success &&
            data != nullptr && format == 32 && count >= 2 && (reinterpret_cast<long*>(data)[0] & 1) != 0)
            functions = reinterpret_cast<long*>(data)[1];
        if (data != nullptr)
            XFree(data);
        return functions;
    }
    static constexpr long kMinimiseFunction = 1L << 3;
    // The window the program's window stands over, as a window manager reads it; 0 for none.
    Window TransientFor(HWND hwnd)
    {
        Window owner = 0;
        return XGetTransientForHint(other, backend->XWindowOf(hwnd), &owner) ? owner : 0;
    }
    bool Viewable(HWND hwnd)
    {
        XWindowAttributes attrs{};
        return XGetWindowAttributes(other, backend->XWindowOf(hwnd), &attrs) && attrs.map_state == IsViewable;
    }
    // Whether the display stacks the first window's frame above the second's.
    bool StackedAbove(HWND upper, HWND lower)
    {
        const auto frameOf = [this](Window xid) {
            Window root = 0, parent = 0, *children = nullptr;
            unsigned int count = 0;
            while (XQueryTree(other, xid, &root, &parent, &children, &count)) {
                if (children != nullptr)
                    XFree(children);
                if (parent == root || parent == 0)
                    return xid;
                xid = parent;
            }
            return xid;
        };
        const Window a = frameOf(backend->XWindowOf(upper)), b = frameOf(backend->XWindowOf(lower));
        Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        int nA = -1, nB = -1;
        if (XQueryTree(other, DefaultRootWindow(other), &root, &parent, &children, &count))
            for (unsigned int i = 0; i < count; ++i) {
                nA = children[i] == a ? static_cast<int>(i) : nA;
                nB = children[i] == b ? static_cast<int>(i) : nB;
            }
        if (children != nullptr)
            XFree(children);
        return nA > nB && nB >= 0;
    }
    // What the window manager says of a modal dialog, read while it holds the keys, and where it
    // shows it.
    struct DialogSeen {
        long functions = -1;
        std::vector<std::string> actions;
        std::vector<std::string> types;
        std::vector<std::string> states;
        bool bOverMain = false;
        RECT rect{};
    };
    DialogSeen Read(HWND hDialog)
    {
        return DialogSeen{AskedFunctions(hDialog), AtomsOf(hDialog, "_NET_WM_ALLOWED_ACTIONS"), AtomsOf(hDialog, "_NET_WM_WINDOW_TYPE"),
                          AtomsOf(hDialog, "_NET_WM_STATE"),
                          TransientFor(hDialog) == backend->XWindowOf(Frame().GetSafeHwnd()), OnScreen(hDialog)};
    }
    // The active window of the program, once it holds the display's keys and shows.
    HWND DialogWithTheKeys(const std::string& title)
    {
        const HWND hActive = ::GetActiveWindow();
        return hActive != nullptr && hActive != Frame().GetSafeHwnd() && Matches(FocusedTitle(), title) && Viewable(hActive) &&
                       ShowsNow()
                   ? hActive
                   : nullptr;
    }
};

} // namespace

// Each kind of modal dialog, opened by its keys: a message box (Undo All's question), a common
// dialog (Open Project), a property sheet (Project Settings), a dialog of a template (About) and
// the Preview. Each asks the window manager to let it be moved and closed, not minimised, while
// the main window asks for all; the window manager takes each for the main window's modal dialog
// and offers to close and move it. Each opens centred on the main window, which the window
// manager has moved from the screen's corner.
TEST_F(ModalDialogsUnderWindowManagerX11Test, AModalDialogAsksTheWindowManagerForNoMinimising)
{
    StartWithATypedTitle();
    if (HasFatalFailure())
        return;

    const long mainFunctions = AskedFunctions(Frame().GetSafeHwnd());
    EXPECT_NE(mainFunctions & kMinimiseFunction, 0) << "the main window asks not to be minimised: " << mainFunctions;
    EXPECT_TRUE(Has(AtomsOf(Frame().GetSafeHwnd(), "_NET_WM_ALLOWED_ACTIONS"), "_NET_WM_ACTION_MINIMIZE"));

    const struct {
        const char* what;
        const char* keys;
        const char* title;
    } dialogs[] = {
        {"Undo All's question", "alt+e a", "^Vostrel$"},
        {"Open Project", "ctrl+o", "^Open"},
        {"Project Settings", "alt+o p", "^Project Settings"},
        {"the About box", "alt+h a", "^About Vostrel$"},
        {"the Preview", "alt+v c", "^Preview Changes to HTML File$"},
    };
    const std::string mainXid = std::to_string(backend->XWindowOf(Frame().GetSafeHwnd()));
    ASSERT_TRUE(Xdo("windowmove " + mainXid + " 150 110"));
    ASSERT_TRUE(RunUntil([&] {
        RECT r{};
        ::GetWindowRect(Frame().GetSafeHwnd(), &r);
        return r.left == 150 && r.top == 110 && Settled();
    })) << "the window manager did not move the main window";
    for (const auto& dialog : dialogs) {
        SCOPED_TRACE(dialog.what);
        DialogSeen seen;
        Type("the main window", "^Vostrel -", dialog.keys);
        When(std::string(dialog.what) + " holds the keys", [&] { return DialogWithTheKeys(dialog.title) != nullptr; },
             [&] {
                 seen = Read(DialogWithTheKeys(dialog.title));
                 if (cairo_surface_t* shot = Shot((std::string("centred-") + dialog.keys).c_str()))
                     cairo_surface_destroy(shot);
                 XdoNow("key Escape");
             });
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] { return ::GetActiveWindow() == Frame().GetSafeHwnd() && ProgramHasFocus(); }))
            << "Escape did not close it";
        EXPECT_GE(seen.functions, 0) << "it asks nothing of the window manager's functions";
        EXPECT_EQ(seen.functions & kMinimiseFunction, 0) << "it asks to be minimised: " << seen.functions;
        EXPECT_TRUE(Has(seen.actions, "_NET_WM_ACTION_CLOSE"));
        EXPECT_TRUE(Has(seen.actions, "_NET_WM_ACTION_MOVE"));
        EXPECT_TRUE(seen.bOverMain) << "it does not stand over the main window";
        EXPECT_TRUE(Has(seen.types, "_NET_WM_WINDOW_TYPE_DIALOG"));
        EXPECT_TRUE(Has(seen.states, "_NET_WM_STATE_MODAL"));
        // The display shows it centred on the main window.
        const RECT main = OnScreen(Frame().GetSafeHwnd());
        EXPECT_TRUE(std::abs((seen.rect.left + seen.rect.right) - (main.left + main.right)) <= 2 &&
                    std::abs((seen.rect.top + seen.rect.bottom) - (main.top + main.bottom)) <= 2)
            << "it stands at " << seen.rect.left << "," << seen.rect.top << ", " << seen.rect.right - seen.rect.left << "x"
            << seen.rect.bottom - seen.rect.top << ", over the main window at " << main.left << "," << main.top << ", "
            << main.right - main.left << "x" << main.bottom - main.top;
    }
    EXPECT_EQ(app->IsEdited(), 2u) << "Escape in a dialog dropped the edit";
}

// The Preview's greyed minimise box, pressed, hides nothing: F6 pressed after it still goes to the
// other pane of the Preview, which stays where it was. Minimised through the window manager (as a
// task bar or the window manager's keys ask), the Preview takes the main window with it: the main
// window never stands alone refusing the mouse. Brought back by the window manager, a click on the
// main window gives the Preview the keys, in front of it; Escape closes it.
TEST_F(ModalDialogsUnderWindowManagerX11Test, AClickOnTheMainWindowBringsThePreviewForward)
{
    StartWithATypedTitle();
    if (HasFatalFailure())
        return;
    const HWND hMain = Frame().GetSafeHwnd();
    const std::string mainXid = std::to_string(backend->XWindowOf(hMain));
    std::string previewXid;

    HWND hPreview = nullptr, hFirstFocus = nullptr;
    RECT before{}, after{};
    bool bIconicAfterPress = true, bViewableAfterPress = false;
    Type("the main window", "^Vostrel -", "alt+v c");
    When("the Preview holds the keys", [&] { return (hPreview = DialogWithTheKeys("^Preview Changes")) != nullptr; },
         [&] {
             hFirstFocus = ::GetFocus();
             previewXid = std::to_string(backend->XWindowOf(hPreview));
             ::GetWindowRect(hPreview, &before);
             const POINT box = CaptionButton(hPreview, HTMINBUTTON);
             EXPECT_GE(box.x, 0) << "the Preview's caption shows no minimise box";
             XdoNow("mousemove " + std::to_string(box.x) + " " + std::to_string(box.y) + " click 1");
             XdoNow("key F6");
         });
    When("F6 took the keys to the other pane", [&] { return ::GetFocus() != hFirstFocus && ShowsNow(); },
         [&] {
             bIconicAfterPress = ::IsIconic(hPreview) != FALSE;
             bViewableAfterPress = Viewable(hPreview);
             ::GetWindowRect(hPreview, &after);
             if (cairo_surface_t* shot = Shot("preview-after-its-minimise-box"))
                 cairo_surface_destroy(shot);
         });
    bool bFrontAfterClick = false;
    When("the Preview shows with the keys", [&] { return DialogWithTheKeys("^Preview Changes") == hPreview; },
         [&] { XdoNow("windowminimize " + previewXid); });
    When("the window manager hid both windows", [&] { return !Viewable(hMain) && !Viewable(hPreview); },
         [&] { XdoNow("windowactivate " + mainXid); });
    When("the main window is back", [&] { return Viewable(hMain) && ShowsNow(); },
         [&] { ClickAt(ScreenPoint(hMain, 20, 20), 1, 1); });
    When("the Preview holds the keys again", [&] { return DialogWithTheKeys("^Preview Changes") == hPreview; },
         [&] {
             bFrontAfterClick = StackedAbove(hPreview, hMain);
             if (cairo_surface_t* shot = Shot("preview-back-after-its-minimising"))
                 cairo_surface_destroy(shot);
             XdoNow("key Escape");
         });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ShownPreview() == nullptr && ::GetActiveWindow() == hMain && ProgramHasFocus(); }))
        << "Escape did not close the Preview";
    EXPECT_FALSE(bIconicAfterPress) << "the greyed box minimised the Preview";
    EXPECT_TRUE(bViewableAfterPress);
    EXPECT_TRUE(EqualRect(&before, &after)) << "the Preview moved to " << after.left << "," << after.top;
    EXPECT_TRUE(bFrontAfterClick) << "the Preview is behind the main window";
    EXPECT_EQ(app->IsEdited(), 2u);
}
