// The keys act where the focus is, on a display run by a window manager: with the keys in the
// Output Area or in the Project Area, given there by the mouse or by F6, the clipboard's keys,
// Delete, Undo, Redo and Fill Down leave every cell and page alone, and the Edit menu offers
// nothing of the grid's; in Find, Ctrl+V pastes into its text alone; the Output Area's lines,
// pages' failures among them, are chosen and copied for other programs.
#include "app/panes/COutputAreaWnd.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/Utf8CodePoints.h"
#include "tests/support/X11KeyboardLetters.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <string>
#include <vector>

namespace {

class KeysWhereTheFocusIsX11Test : public WindowManagerStepsX11Test {
protected:
    // The site of OpenSite, and under pages' names a picture and a letter in UTF-16, which the
    // scan cannot read and names in the Output Area; scanned, the Output Area shown with those
    // two lines.
    void OpenSiteWithUnreadablePages()
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        std::ofstream(site + "/picture.htm", std::ios::binary) << std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16)
                                                              << std::string(4000, '\0');
        std::string letter = "\xFF\xFE";
        for (char c : std::string("<html><head><title>Letter</title></head><body>Dear Sir</body></html>"))
            letter += std::string{c, '\0'};
        std::ofstream(site + "/letter.htm", std::ios::binary) << letter;
        OpenSite(false);
        if (HasFatalFailure())
            return;
        Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
        ASSERT_TRUE(RunUntil([&] {
            return app->GetRunState() == 0 && Frame().GetFilesScanned() == 5 && OutputLines().size() == 2 &&
                   OutputArea().IsWindowVisible() && Settled();
        })) << "the scan did not tell of the unreadable pages in the Output Area";
        ASSERT_EQ(app->ActivateGroupView(view), 0u);
    }
    // Every cell of the grid, row by row.
    std::vector<std::string> Cells()
    {
        std::vector<std::string> cells;
        for (ROWCOL nRow = 1; nRow <= view->GetRowCount(); ++nRow)
            for (ROWCOL nCol = 1; nCol <= view->GetColCount(); ++nCol)
                cells.push_back(std::string(view->GetCellValue(nRow, nCol)));
        return cells;
    }
    // Every file of the site, by its path, with its bytes.
    std::map<std::string, std::string> Files()
    {
        std::map<std::string, std::string> files;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(site))
            if (entry.is_regular_file())
                files[entry.path().string()] = ReadFile(entry.path().string());
        return files;
    }
    // What the Edit menu shows of its items with the keys where they are: the ids of those not
    // grey. Escape closes it, and the keys stay where they were.
    std::vector<UINT> EditItemsEnabled()
    {
        static const UINT kItems[] = {ID_EDIT_UNDO, ID_UNDO_ALL,         ID_EDIT_REDO, ID_EDIT_CUT,     ID_EDIT_COPY,
                                      ID_EDIT_PASTE, ID_EDIT_DELETE_META, ID_EDIT_FIND, ID_EDIT_REPLACE, ID_FILL_DOWN};
        std::vector<UINT> enabled;
        for (const auto& [nID, item] : ReadEditMenu(std::vector<UINT>(std::begin(kItems), std::end(kItems))))
            if (!item.bGrey)
                enabled.push_back(nID);
        return enabled;
    }
};

} // namespace

// The clipboard holds another program's text of several scripts, a paste into the grid was made
// there by Ctrl+V, and the current cell is on another page's Keywords. With the keys in the
// Output Area and in the Project Area, each reached by a click and by F6, and in the Output Area
// floated off the main window, every Edit key acts on nothing the grid shows: each cell stays,
// Undo takes back no paste; Ctrl+V in Find pastes into its text alone; and the save then writes
// the one page pasted into.
TEST_F(KeysWhereTheFocusIsX11Test, TheEditKeysInAPaneLeaveEveryCellAndPageAlone)
{
    ASSERT_TRUE(Start());
    OpenSiteWithUnreadablePages();
    if (HasFatalFailure())
        return;
    const std::string pasted = "Grüße — Ωμέγα 日本語";
    ForeignClipboardOwner owner(server->DisplayName(), pasted, ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(owner.Ready());
    const ROWCOL nDesc = ColumnOf("Description"), nKeywords = ColumnOf("Keywords");
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    const std::map<std::string, std::string> before = Files();

    ASSERT_TRUE(GoToByKeys(nA, nDesc));
    ASSERT_TRUE(Xdo("key ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return std::string(view->GetCellValue(nA, nDesc)) == pasted && app->IsEdited() == 2; }))
        << "Ctrl+V in the grid did not paste";
    ASSERT_TRUE(GoToByKeys(nB, nKeywords));
    const std::vector<std::string> cells = Cells();
    const std::vector<UINT> inTheGrid = EditItemsEnabled();
    EXPECT_NE(std::find(inTheGrid.begin(), inTheGrid.end(), ID_EDIT_PASTE), inTheGrid.end()) << "the grid offers no Paste";
    EXPECT_NE(std::find(inTheGrid.begin(), inTheGrid.end(), ID_EDIT_UNDO), inTheGrid.end()) << "the grid offers no Undo";

    const HWND hOutput = OutputArea().GetOutputWnd().GetSafeHwnd();
    const HWND hTree = Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd();
    const struct {
        const char* what;
        HWND hPane;
        bool bByClick;   // else by F6
        bool bFloated;   // the pane floated off the main window first, by its gripper
    } ways[] = {
        {"the Output Area by a click", hOutput, true, false},
        {"the Project Area by a click below its folders", hTree, true, false},
        {"the Output Area by F6", hOutput, false, false},
        {"the Project Area by F6", hTree, false, false},
        {"the Output Area floated, by a click", hOutput, true, true},
    };
    for (const auto& way : ways) {
        SCOPED_TRACE(way.what);
        if (way.bFloated) {
            // A double click on the gripper, the strip at the pane's left beside its text.
            CRect bar, text;
            OutputArea().GetWindowRect(&bar);
            OutputArea().GetTabWnd().GetWindowRect(&text);
            ASSERT_TRUE(ClickAt(POINT{(bar.left + text.left) / 2, text.CenterPoint().y}, 1, 2));
            ASSERT_TRUE(RunUntil([&] { return OutputArea().IsFloating() && ViewableWindowTitled("Output Area") && Settled(); }))
                << "the Output Area did not float";
        }
        if (way.bByClick) {
            CRect pane;
            ::GetWindowRect(way.hPane, &pane);
            ASSERT_TRUE(ClickAt(way.hPane == hTree ? POINT{pane.CenterPoint().x, pane.bottom - 8} : pane.CenterPoint(), 1, 1));
            ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == way.hPane && ProgramHasFocus(); })) << "the click gave it no keys";
        } else {
            ASSERT_TRUE(KeysByF6To(way.hPane)) << "F6 did not reach it";
        }
        // The menu bar is the main window's: a floated pane's window has none for Alt to open.
        if (!way.bFloated) {
            EXPECT_EQ(EditItemsEnabled(), std::vector<UINT>{}) << "the Edit menu offers the grid's commands";
        }
        const DWORD dwClipboard = ::GetClipboardSequenceNumber();
        ASSERT_TRUE(Xdo("key --delay 40 ctrl+v ctrl+x Delete shift+Insert shift+Delete ctrl+Insert ctrl+c ctrl+z ctrl+y ctrl+d"));
        // F6 moves the keys on once the program has handled every key before it.
        ASSERT_TRUE(Xdo("key F6"));
        ASSERT_TRUE(RunUntil([&] { return ::GetFocus() != way.hPane && Settled(); })) << "F6 after the keys went nowhere";
        EXPECT_EQ(Cells(), cells) << "a key in the pane changed the grid";
        EXPECT_TRUE(IsCurrent(nB, nKeywords));
        EXPECT_EQ(::GetClipboardSequenceNumber(), dwClipboard) << "a key in the pane put something on the clipboard";
        EXPECT_EQ(app->IsEdited(), 2u);
    }

    // In Find, opened over the grid, Ctrl+V pastes into the text to find, and nothing else.
    std::string found;
    ASSERT_TRUE(KeysByF6To(view->GetSafeHwnd()));
    Type("the main window", "^Vostrel -", "ctrl+f");
    Type("Find", "^Find$", "ctrl+a ctrl+v");
    When("Find's text is pasted", [&] {
             const HWND hFind = GXGetFindReplaceState().m_hWndDialog;
             CString strText;
             if (hFind != nullptr)
                 CWnd::FromHandle(hFind)->GetDlgItemText(edt1, strText);
             found = strText.GetString();
             return found == pasted;
         },
         [&] { XdoNow("key Escape"); });
    ASSERT_TRUE(StepsTaken()) << "Find holds '" << found << "'";
    ASSERT_TRUE(RunUntil([&] { return GXGetFindReplaceState().m_hWndDialog == nullptr && ::GetFocus() == view->GetSafeHwnd(); }))
        << "Escape did not close Find";
    EXPECT_EQ(Cells(), cells) << "Ctrl+V in Find changed the grid";

    // The save writes the page pasted into, and no other.
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    std::map<std::string, std::string> after = Files();
    const std::string pageA = site + "/a.htm";
    EXPECT_EQ(TagContent(after[pageA], "DESCRIPTION"), NumericReferences(pasted));
    // The old page is kept beside it.
    EXPECT_TRUE(after[pageA + ".old"] == before.at(pageA));
    for (const auto& [path, bytes] : after)
        if (path != pageA && path != pageA + ".old") {
            EXPECT_TRUE(before.count(path) != 0 && before.at(path) == bytes) << path << " was written";
        }
}

// Each line of the Output Area, the scan's failures to read the picture and the letter and the
// save's closing line, is chosen by the keys and copied by Ctrl+C, by Ctrl+Insert or by Edit >
// Copy, and another program pastes it; with nothing chosen the Edit menu offers nothing, with a
// line chosen its Copy alone.
TEST_F(KeysWhereTheFocusIsX11Test, TheOutputAreasLinesAreChosenAndCopied)
{
    const std::string typed = "Zweite Straße";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSiteWithUnreadablePages();
    if (HasFatalFailure())
        return;
    const HWND hOutput = OutputArea().GetOutputWnd().GetSafeHwnd();
    const auto giveKeysToOutputArea = [&] {
        CRect output;
        ::GetWindowRect(hOutput, &output);
        return ClickAt(output.CenterPoint(), 1, 1) && RunUntil([&] { return ::GetFocus() == hOutput && ProgramHasFocus(); });
    };
    const auto copyLine = [&](size_t nLine, const std::string& line, const std::string& how) {
        SCOPED_TRACE(line);
        std::string keys = "ctrl+Home";
        for (size_t n = 0; n < nLine; ++n)
            keys += " Down";
        ASSERT_TRUE(Xdo("key --delay 30 " + keys + " Home shift+End"));
        ASSERT_TRUE(RunUntil([&] {
            long nStart = 0, nEnd = 0;
            OutputArea().GetOutputWnd().GetSel(nStart, nEnd);
            return nEnd - nStart == static_cast<long>(line.size()) && Settled();
        })) << "the keys did not choose the line";
        if (cairo_surface_t* shot = Shot(("output-area-line-" + std::to_string(nLine) + "-chosen").c_str()))
            cairo_surface_destroy(shot);
        if (how == "the Edit menu") {
            EXPECT_EQ(EditItemsEnabled(), std::vector<UINT>{ID_EDIT_COPY});
            const DWORD dwBefore = ::GetClipboardSequenceNumber();
            ASSERT_TRUE(Xdo("key alt+e"));
            Choose("Copy");
            ASSERT_TRUE(StepsTaken());
            ASSERT_TRUE(RunUntil([&] { return ::GetClipboardSequenceNumber() != dwBefore; })) << "Edit > Copy copied nothing";
        } else {
            EXPECT_EQ(CopyByKeys(how), line) << how;
        }
        EXPECT_EQ(OtherProgramPastes(), line) << how;
        EXPECT_EQ(::GetFocus(), hOutput);
    };

    std::vector<std::string> lines = OutputLines();
    ASSERT_TRUE(giveKeysToOutputArea()) << "a click gave the Output Area no keys";
    ASSERT_TRUE(Xdo("key ctrl+Home") && Quiet());
    EXPECT_EQ(EditItemsEnabled(), std::vector<UINT>{}) << "the Edit menu offers something with nothing chosen";
    copyLine(0, lines[0], "ctrl+c");
    copyLine(1, lines[1], "the Edit menu");

    // A save tells afresh what it did.
    ASSERT_TRUE(KeysByF6To(view->GetSafeHwnd()) && GoToByKeys(RowOf("b.htm"), ColumnOf("Description")));
    ASSERT_TRUE(Xdo("type --delay 20 '" + typed + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 2 && !EditorOpen(); })) << "the typed value was not stored";
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && OutputLines().size() == 1 && Settled(); }))
        << "the save told nothing in the Output Area";
    lines = OutputLines();
    ASSERT_TRUE(giveKeysToOutputArea()) << "a click gave the Output Area no keys";
    copyLine(0, lines[0], "ctrl+Insert");
}
