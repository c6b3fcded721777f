// The toolbars and the Edit menu after the user has changed a cell: the Main Toolbar keeps its
// name whatever the Undo item says, a floated toolbar shows the same command states as the
// menu, and Undo and Redo name what they would do and keep their shortcuts.
#include "tests/app/UserStepsX11Fixture.h"

#include <cstdint>
#include <map>

#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECStdBtn.h"
#include "toolkit/toolbars/SECToolBarManager.h"

namespace {

// Each command's picture: its cell in the small and the large strips, and a print of the cell's
// pixels in each, taken from the pictures as they were drawn for these commands. A picture drawn
// anew on purpose gets a new print here; one moved to another command's cell no longer matches.
struct CommandPicture {
    UINT nID;
    const char* pszWhat;
    int nCell;
    uint32_t nSmallPrint;
    uint32_t nLargePrint;
};
const CommandPicture kPictures[] = {
    {ID_NEW_PROJECT, "New Project: a blank page", 0, 0x696AF629, 0x59D3A7E9},
    {ID_OPEN_PROJECT, "Open Project: an open folder", 1, 0x62DC0D1B, 0x423BD8DB},
    {ID_FILE_PRINT, "Print: a printer", 2, 0x7B3DEE51, 0x70AC3991},
    {ID_EDIT_CUT, "Cut: scissors", 3, 0x55BAC745, 0xAED4F085},
    {ID_EDIT_COPY, "Copy: two pages", 4, 0x13C120B2, 0x2C389E72},
    {ID_EDIT_PASTE, "Paste: a page on a clipboard", 5, 0x6B35351B, 0x6DEDC65B},
    {ID_EDIT_UNDO, "Undo: an arrow turning back to the left", 6, 0x92CF8585, 0x0D01A745},
    {ID_EDIT_REDO, "Redo: an arrow turning to the right", 7, 0x639A1C05, 0xDDF63EC5},
    {ID_START_SCAN, "Start Scan: a page with a green arrow", 8, 0x4392DEAD, 0x3930AF6D},
    {ID_STOP_SCAN, "Stop Scan: a red stop sign", 9, 0x2ACFC82D, 0x901BB3ED},
    {ID_METATAG_SETTINGS, "Metatag Settings: a yellow tag", 10, 0x078C2523, 0x03B687E3},
    {ID_CONTEXT_HELP, "Help: an arrow with a question mark", 11, 0xB68D73E3, 0x6F94DEA3},
    {ID_SAVE_EDITED_FILES, "Save Edited Files: a diskette", 12, 0xD9BDA7FB, 0x648F733B},
    {ID_VIEW_CHANGES, "View Changes: a page under a magnifier", 13, 0x75A2E36A, 0x59B7EEAA},
    {ID_ZOOM_IN, "Zoom In: a magnifier with a plus", 14, 0xD8A5C86D, 0x4CB97A2D},
    {ID_ZOOM_OUT, "Zoom Out: a magnifier with a minus", 15, 0x6534512D, 0xB51E7EED},
    {ID_ZOOM_100, "Zoom 100%: a magnifier with a one", 16, 0xC1641174, 0xFFA6DBB4},
    {ID_EDIT_FIND, "Find: binoculars", 17, 0x6E151BAD, 0x5BC778ED},
    {ID_SORT_ASCENDING, "Sort Ascending: A over Z", 18, 0x0C4481C5, 0xC7C04605},
    {ID_SORT_DESCENDING, "Sort Descending: Z over A", 19, 0xB11C0D45, 0x113D0585},
};

// A strip of button pictures as the program's resources hold it, its colours mapped to the
// system's as the toolbars map them.
class PictureStrip {
public:
    PictureStrip(const char* pszFile, int cx, int cy)
        : m_pSurface(cairo_image_surface_create_from_png((std::string(VOSTREL_TESTS_DIR) + "/../app/res/" + pszFile).c_str())),
          m_cx(cx), m_cy(cy)
    {
    }
    ~PictureStrip() { cairo_surface_destroy(m_pSurface); }
    PictureStrip(const PictureStrip&) = delete;
    PictureStrip& operator=(const PictureStrip&) = delete;

    bool Loaded() const { return cairo_surface_status(m_pSurface) == CAIRO_STATUS_SUCCESS; }
    int Cells() const { return cairo_image_surface_get_width(m_pSurface) / m_cx; }
    int Width() const { return m_cx; }
    int Height() const { return m_cy; }
    // A pixel of a cell as the strip holds it, 0xRRGGBB.
    uint32_t Stored(int nCell, int x, int y) const
    {
        const uint8_t* row = cairo_image_surface_get_data(m_pSurface) +
                             static_cast<size_t>(y) * static_cast<size_t>(cairo_image_surface_get_stride(m_pSurface));
        return reinterpret_cast<const uint32_t*>(row)[nCell * m_cx + x] & 0xFFFFFF;
    }
    // The same pixel as a button shows it: black, grey, silver and white are the system's text,
    // shadow, face and highlight colours.
    uint32_t Shown(int nCell, int x, int y) const
    {
        switch (const uint32_t pixel = Stored(nCell, x, y)) {
        case 0x000000: return Sys(COLOR_BTNTEXT);
        case 0x808080: return Sys(COLOR_BTNSHADOW);
        case 0xC0C0C0: return Sys(COLOR_BTNFACE);
        case 0xFFFFFF: return Sys(COLOR_BTNHIGHLIGHT);
        default: return pixel;
        }
    }
    // The part of a cell that holds its picture: where its pixels are not the strip's silver.
    CRect Box(int nCell) const
    {
        CRect box(m_cx, m_cy, 0, 0);
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                if (Stored(nCell, x, y) != 0xC0C0C0)
                    box.UnionRect(box, CRect(x, y, x + 1, y + 1));
        return box;
    }
    // The print of a cell's stored pixels (FNV-1a over their bytes, red first).
    uint32_t Print(int nCell) const
    {
        uint32_t nHash = 2166136261u;
        for (int y = 0; y < m_cy; ++y)
            for (int x = 0; x < m_cx; ++x)
                for (int nShift : {16, 8, 0}) {
                    nHash ^= (Stored(nCell, x, y) >> nShift) & 0xFF;
                    nHash *= 16777619u;
                }
        return nHash;
    }
    static uint32_t Sys(int nIndex)
    {
        const COLORREF color = ::GetSysColor(nIndex);
        return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
    }

private:
    cairo_surface_t* m_pSurface;
    int m_cx;
    int m_cy;
};

class MainWindowToolbarsX11Test : public MainWindowStepsX11Test {
protected:
    SECCustomToolBar* MainToolbar() { return Frame().GetToolBarManager()->ToolBarFromID(ID_VIEW_TOOLBARS); }
    CString NameOf(CWnd* pWnd)
    {
        CString text;
        pWnd->GetWindowText(text);
        return text;
    }
    // The user types a new title for a.htm and presses Enter: one change to undo.
    void ChangeATitle(const char* pszText)
    {
        ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("a.htm"), ColumnOf("Title"))));
        ASSERT_TRUE(WaitForFocus(view->GetSafeHwnd()));
        ASSERT_TRUE(Xdo(std::string("type --delay 20 '") + pszText + "'"));
        ASSERT_TRUE(Xdo("key Return"));
        const bool stored = RunUntil([&] { return view->GetCellValue(RowOf("a.htm"), ColumnOf("Title")) == pszText; });
        ASSERT_TRUE(stored) << "the typed title never reached the cell: "
                            << view->GetCellValue(RowOf("a.htm"), ColumnOf("Title"));
        ASSERT_TRUE(Quiet());
    }
    // The user floats the Main Toolbar with a double click on its gripper.
    void FloatMainToolbar()
    {
        SECCustomToolBar* pBar = MainToolbar();
        ASSERT_NE(pBar, nullptr);
        CRect rect;
        pBar->GetWindowRect(&rect);
        ASSERT_TRUE(ClickAt(POINT{rect.left + 6, rect.CenterPoint().y}, 1, 2));
        ASSERT_TRUE(RunUntil([&] { return pBar->IsFloating(); })) << "the toolbar did not float";
        ASSERT_TRUE(Quiet());
    }
    static bool Disabled(SECCustomToolBar& bar, UINT nCommand)
    {
        SECStdBtn* pBtn = bar.GetBtn(bar.CommandToIndex(nCommand));
        return pBtn == nullptr || (pBtn->m_nStyle & SEC_TBBS_DISABLED) != 0;
    }
    // What the Edit menu shows of its items while the user has it open: each item's text and
    // whether it is grayed, with the Main Toolbar's state of the same command beside it. The
    // user opens the menu with a click and closes it with Escape.
    struct ItemSeen {
        std::string text;
        bool grayed = false;
        bool buttonDisabled = false;
    };
    std::map<UINT, ItemSeen> EditMenuSeen()
    {
        std::map<UINT, ItemSeen> seen;
        EXPECT_TRUE(ClickAt(MenuBarItemOnScreen("Edit")));
        When("the Edit menu is open", [] {
                 RECT r{};
                 return OpenMenuItem("Cut", &r) != nullptr;
             },
             [&] {
                 RECT r{};
                 HMENU menu = OpenMenuItem("Cut", &r);
                 for (UINT nID : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_UNDO, ID_EDIT_REDO}) {
                     char text[256] = {};
                     GetMenuString(menu, nID, text, sizeof text, MF_BYCOMMAND);
                     seen[nID] = ItemSeen{text, (GetMenuState(menu, nID, MF_BYCOMMAND) & MF_GRAYED) != 0,
                                          Disabled(*MainToolbar(), nID)};
                 }
                 XdoNow("key Escape Escape");   // the menu, then the menu bar
             });
        EXPECT_TRUE(StepsTaken());
        EXPECT_TRUE(Quiet());
        return seen;
    }
    // Whether the screen shows the picture of the strip's cell, whole, somewhere inside the
    // rectangle: pixel for pixel on an enabled button; on a disabled one, in the shadow colour
    // wherever the picture is neither face nor highlight, and only there (its outline embossed).
    static bool ShowsCell(cairo_surface_t* shot, const CRect& button, const PictureStrip& strip, int nCell, bool bDisabled)
    {
        const uint32_t face = PictureStrip::Sys(COLOR_BTNFACE);
        const uint32_t light = PictureStrip::Sys(COLOR_BTNHIGHLIGHT);
        const uint32_t shadow = PictureStrip::Sys(COLOR_BTNSHADOW);
        const CRect box = strip.Box(nCell);
        for (int top = button.top - box.top; top + box.bottom <= button.bottom; ++top)
            for (int left = button.left - box.left; left + box.right <= button.right; ++left) {
                bool bSame = true;
                for (int y = box.top; bSame && y < box.bottom; ++y)
                    for (int x = box.left; bSame && x < box.right; ++x) {
                        const uint32_t screen = screen_capture::PixelAt(shot, left + x, top + y);
                        const uint32_t picture = strip.Shown(nCell, x, y);
                        bSame = bDisabled ? (screen == shadow) == (picture != face && picture != light) : screen == picture;
                    }
                if (bSame)
                    return true;
            }
        return false;
    }
    // Every command's button, in whichever toolbar holds it, shows the command's picture of the
    // strip given, as the screen shows it now. The strip's cells are the commands' own pictures.
    void ExpectPictures(const PictureStrip& strip, bool bLarge, const char* pszShot)
    {
        ASSERT_TRUE(strip.Loaded());
        ASSERT_EQ(strip.Cells(), static_cast<int>(std::size(kPictures)));
        ASSERT_TRUE(Quiet());
        cairo_surface_t* shot = Shot(pszShot);
        ASSERT_NE(shot, nullptr);
        for (const CommandPicture& picture : kPictures) {
            EXPECT_EQ(strip.Print(picture.nCell), bLarge ? picture.nLargePrint : picture.nSmallPrint)
                << "the strip's cell " << picture.nCell << " is not the picture of " << picture.pszWhat << " (its print is 0x"
                << std::hex << std::uppercase << strip.Print(picture.nCell) << std::dec << ")";
            SECCustomToolBar* pBar = nullptr;
            int nIndex = -1;
            for (UINT nBar : {static_cast<UINT>(ID_VIEW_TOOLBARS), static_cast<UINT>(ID_GRID_TOOLBAR)}) {
                SECCustomToolBar* pCandidate = Frame().GetToolBarManager()->ToolBarFromID(nBar);
                if (pCandidate != nullptr && pCandidate->CommandToIndex(picture.nID) >= 0) {
                    pBar = pCandidate;
                    nIndex = pCandidate->CommandToIndex(picture.nID);
                }
            }
            if (pBar == nullptr) {
                ADD_FAILURE() << "no toolbar has a button for " << picture.pszWhat;
                continue;
            }
            CRect button;
            pBar->GetItemRect(nIndex, &button);
            pBar->ClientToScreen(&button);
            const bool bDisabled = (pBar->GetBtn(nIndex)->m_nStyle & SEC_TBBS_DISABLED) != 0;
            if (ShowsCell(shot, button, strip, picture.nCell, bDisabled))
                continue;
            std::string shown = "no picture of the strip";
            for (int nCell = 0; nCell < strip.Cells(); ++nCell)
                if (ShowsCell(shot, button, strip, nCell, bDisabled))
                    shown = "the picture of cell " + std::to_string(nCell);
            ADD_FAILURE() << "the " << (bLarge ? "large" : "small") << (bDisabled ? " disabled" : "") << " button of "
                          << picture.pszWhat << " shows " << shown;
        }
        cairo_surface_destroy(shot);
    }
    std::string Profile() const
    {
        std::ifstream in(dir.Path() + "/config/vostrel/registry.txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

} // namespace

// Undo's update names the change it would undo; the Main Toolbar, which has an Undo button,
// keeps its own name on its floating caption, in the layout saved at the end and on its caption
// when the next start floats it again.
TEST_F(MainWindowToolbarsX11Test, TheMainToolbarKeepsItsNameWhenUndoNamesAChange)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ChangeATitle("Changed");
    ASSERT_TRUE(view->CanUndo(nullptr));
    EXPECT_EQ(NameOf(MainToolbar()), "Main Toolbar");

    FloatMainToolbar();
    EXPECT_TRUE(RunUntil([&] { return ViewableWindowTitled("Main Toolbar"); })) << "the floating caption";

    // The user closes the program (the edit is not written) and the layout is saved.
    const HWND hFrame = Frame().GetSafeHwnd();
    Type("the question about the edits", "^Vostrel$", "n");
    ASSERT_TRUE(KeysTo(hFrame, "alt+F4"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hFrame); })) << "the main window did not close";
    EXPECT_NE(Profile().find("\"WindowName\"=sz:\"Main Toolbar\""), std::string::npos) << Profile();
    EXPECT_EQ(Profile().find("\"WindowName\"=sz:\"Undo"), std::string::npos);

    // The next start floats it again, under its name.
    Stop();
    ASSERT_TRUE(Start());
    ASSERT_NE(MainToolbar(), nullptr);
    EXPECT_TRUE(MainToolbar()->IsFloating());
    EXPECT_TRUE(RunUntil([&] { return ViewableWindowTitled("Main Toolbar"); })) << "the floating caption at start-up";
}

// A name damaged in a saved layout is not taken: the Main Toolbar is "Main Toolbar" again at
// the next start.
TEST_F(MainWindowToolbarsX11Test, ADamagedToolbarNameInTheSavedLayoutIsReplaced)
{
    ASSERT_TRUE(Start());
    MainToolbar()->SetWindowText("Undo ");
    Frame().SendMessage(WM_CLOSE);
    ASSERT_TRUE(RunUntil([&] { return Profile().find("\"WindowName\"=sz:\"Undo \"") != std::string::npos; }))
        << "the damaged name was not saved";
    Stop();

    ASSERT_TRUE(Start());
    EXPECT_EQ(NameOf(MainToolbar()), "Main Toolbar");
}

// With the Main Toolbar floated, clicking a cell enables its Cut and Copy as it enables the Edit
// menu's: opened then, the menu and the toolbar show the same states, and its Copy copies the
// cell.
TEST_F(MainWindowToolbarsX11Test, AFloatedToolbarAgreesWithTheEditMenu)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    FloatMainToolbar();
    SECCustomToolBar& bar = *MainToolbar();
    EXPECT_TRUE(Disabled(bar, ID_EDIT_UNDO)) << "nothing was done in the grid yet";

    ASSERT_TRUE(ClickAt(CellOnScreen(RowOf("b.htm"), ColumnOf("Title"))));
    EXPECT_TRUE(RunUntil([&] { return !Disabled(bar, ID_EDIT_CUT) && !Disabled(bar, ID_EDIT_COPY); }))
        << "the floating toolbar's Cut and Copy stayed disabled";
    ASSERT_TRUE(Quiet());

    std::map<UINT, ItemSeen> seen = EditMenuSeen();
    ASSERT_EQ(seen.size(), 5u) << "the Edit menu was not seen open";
    for (const auto& [nID, item] : seen)
        EXPECT_EQ(item.grayed, item.buttonDisabled) << item.text;
    EXPECT_FALSE(seen[ID_EDIT_COPY].grayed);

    // Its Copy, clicked, copies the grid's cell, though the click gave the toolbar's own frame the
    // keys.
    const DWORD dwClipboard = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_EDIT_COPY), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return ::GetClipboardSequenceNumber() != dwClipboard; })) << "the floating Copy copied nothing";
    EXPECT_EQ(clipboard_text::Get(nullptr), "Beta");
}

// What the user sees of each toolbar button: the picture of its command, in the large buttons
// the program starts with and in the small ones the user then chooses in View > Toolbars.
TEST_F(MainWindowToolbarsX11Test, EveryButtonShowsThePictureOfItsCommandInBothSizes)
{
    // The captions under the large pictures in the user's own fonts.
    SetTestFontMode(false);
    ASSERT_TRUE(Start());
    ASSERT_TRUE(Frame().GetToolBarManager()->IsLargeButtons());
    ExpectPictures(PictureStrip("toolbarlarge.png", 48, 32), true, "toolbars-large");

    ASSERT_TRUE(ClickAt(MenuBarItemOnScreen("View")));
    Choose("Toolbars...");
    Type("the Toolbars dialog", "^Toolbars$", "alt+l Return");
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return !Frame().GetToolBarManager()->IsLargeButtons(); }))
        << "Large Buttons stayed on";
    ExpectPictures(PictureStrip("toolbar.png", 16, 15), false, "toolbars-small");
}

// New Project over a project with an edited page: once the project is closed, its commands show
// disabled on the toolbars behind the New Project dialog, as they do before any project opened.
TEST_F(MainWindowToolbarsX11Test, TheProjectsCommandsShowDisabledBehindNewProject)
{
    ASSERT_TRUE(Start());
    cairo_surface_t* none = Shot("commands-without-project");
    OpenSite(true);
    ChangeATitle("Changed");
    cairo_surface_t* open = Shot("commands-with-project");
    cairo_surface_t* behind = nullptr;
    Type("the main window", "^Vostrel -", "ctrl+n");
    Type("the question about the edits", "^Vostrel$", "n");
    When("New Project has the keys", [&] { return Matches(FocusedTitle(), "^New Project$") && Settled(); }, [&] {
        behind = Shot("commands-behind-new-project");
        XdoNow("key Escape");
    });
    EXPECT_TRUE(StepsTaken());
    ASSERT_TRUE(none != nullptr && open != nullptr && behind != nullptr);
    const std::pair<UINT, UINT> buttons[] = {
        {ID_GRID_TOOLBAR, ID_SAVE_EDITED_FILES}, {ID_GRID_TOOLBAR, ID_VIEW_CHANGES}, {ID_VIEW_TOOLBARS, ID_START_SCAN},
        {ID_VIEW_TOOLBARS, ID_EDIT_COPY},        {ID_VIEW_TOOLBARS, ID_FILE_PRINT},  {ID_GRID_TOOLBAR, ID_EDIT_FIND}};
    for (const auto& [nBar, nCommand] : buttons) {
        SECCustomToolBar* pBar = Frame().GetToolBarManager()->ToolBarFromID(nBar);
        ASSERT_NE(pBar, nullptr);
        CRect button;
        pBar->GetItemRect(pBar->CommandToIndex(nCommand), &button);
        EXPECT_GT(DifferentPixels(none, open, pBar->GetSafeHwnd(), button), 0)
            << "command " << nCommand << " looked the same with the project open";
        EXPECT_EQ(DifferentPixels(none, behind, pBar->GetSafeHwnd(), button), 0)
            << "command " << nCommand << " does not show disabled behind New Project";
    }
    for (cairo_surface_t* shot : {none, open, behind})
        cairo_surface_destroy(shot);
}
