// Editing in the main window as the user meets it on a real X server: Escape backing out of an
// edit or stopping a scan, Edit > Delete, the Undo and Redo items' texts, pastes of any shape
// undone and redone, the Undo of a long paste stopped by Escape, Cut emptying what it copies,
// and the Project Area's folders, which are chosen, never renamed.
#include "app/panes/CFileViewControlBar.h"
#include "app/panes/CFilesInTreeCtrl.h"
#include "app/views/CShortcutEditCtrl.h"
#include "app/res/AppRes.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/IScanBackend.h"
#include "grid/core/CGXComboBox.h"
#include "grid/core/CGXControl.h"
#include "grid/data/CGXLongOperation.h"
#include "platform/win/Clipboard.h"

#include "tests/app/MainWindowX11Fixture.h"
#include "tests/support/ClipboardText.h"
#include "tests/support/ForeignClipboardOwner.h"
#include "tests/support/ProgressAtEveryTurn.h"
#include "tests/support/UserScript.h"
#include "tests/support/Utf8CodePoints.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

namespace {

// An item of an open pop-up menu as it shows: its command, its whole text (the key after a
// tab) and whether it is grayed.
struct ShownItem {
    UINT nID = 0;
    std::string text;
    bool bGrayed = false;
};

// A fetch engine that takes the pages and reads none of them: a scan on it runs until it is
// stopped.
struct HeldFetchBackend : IScanBackend {
    struct Engine : IScanTaskManager {
        explicit Engine(HeldFetchBackend& owner) : m_owner(owner) {}
        void SetScanOptions(const CScanOptions&) override {}
        BOOL OpenInternetSession() override { return TRUE; }
        bool QueueUrl(DWORD_PTR, LPCTSTR, int, BOOL) override { return true; }
        void StartThreads() override { m_owner.bStarted = true; }
        void RequestStop() override { m_owner.bStopRequested = true; }
        void StopThreads() override {}
        void SetErrorStopHandler(std::function<void()>) override {}
        HeldFetchBackend& m_owner;
    };
    std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager*, const CConnectOptions&) override
    {
        return std::make_unique<Engine>(*this);
    }
    std::atomic<bool> bStarted{false};
    std::atomic<bool> bStopRequested{false};
};

} // namespace

class MainWindowEditingX11Test : public MainWindowX11Test {
protected:
    // The project's grid shows its pages' Description in column 2.
    static constexpr ROWCOL kDesc = 2;

    ::testing::AssertionResult StartWithDescriptions(UINT nPages)
    {
        MakeSite(static_cast<int>(nPages));
        WriteProject({"Description"}, 0);
        ::testing::AssertionResult started = StartWithProject(nPages);
        if (started && View()->GetCellValue(0, kDesc) != "Description")
            return ::testing::AssertionFailure() << "column 2 is '" << View()->GetCellValue(0, kDesc).GetString() << "'";
        return started;
    }

    // The grid with the pages' Keywords and Description in columns 2 and 3.
    ::testing::AssertionResult StartWithTwoValueColumns(UINT nPages)
    {
        MakeSite(static_cast<int>(nPages));
        WriteProject({"Description", "Keywords"}, 0);
        ::testing::AssertionResult started = StartWithProject(nPages);
        if (started && View()->GetColCount() != 3)
            return ::testing::AssertionFailure() << "the grid has " << View()->GetColCount() << " columns";
        return started;
    }

    // What a cell shows: the text of its editor while one is open, else its value.
    std::string Shown(ROWCOL nRow, ROWCOL nCol)
    {
        CString strText;
        View()->GetCellText(nRow, nCol, strText);
        return std::string(strText);
    }
    bool Click(ROWCOL nRow, ROWCOL nCol)
    {
        return ClickCell(nRow, nCol) && RunUntil([&] { return IsCurrent(nRow, nCol); }, 60000);
    }

    // Whether a cell's list of choices is open and has the keys.
    static bool ListOpen() { return dynamic_cast<CGXComboListBox*>(CWnd::FromHandlePermanent(::GetFocus())) != nullptr; }
    // F4 on the cell opens its value's dialog, titled as the pattern says, which the user
    // closes with Escape; the grid then has the keys again. A window of another title that
    // has the keys a minute later is closed as well, so that the test fails, not hangs.
    ::testing::AssertionResult F4OpensDialog(ROWCOL nRow, ROWCOL nCol, const std::string& title)
    {
        if (!GoToByKeys(nRow, nCol))
            return ::testing::AssertionFailure() << "the keys did not reach the cell";
        // The scripts share one log: each dialog closed is told apart by its number.
        const std::string closed = "closed " + std::to_string(++m_nDialogs) + ": " + title;
        UserScript user(dir.Path(), server->DisplayName());
        const std::string steps = "if " VOSTREL_WAIT_FOCUS " --timeout 60 --name '" + title + "' >/dev/null; then\n"
                                  "  xdotool key Escape; echo '" + closed + "' >>\"$log\"\n"
                                  "else\n"
                                  "  echo 'never focused: " + title + "' >>\"$log\"; xdotool key Escape\n"
                                  "fi\n";
        if (!user.Start(steps) || !Xdo("key F4"))
            return ::testing::AssertionFailure() << "the keys were not typed";
        if (!RunUntil([&] { return user.Steps().find(closed) != std::string::npos && ::GetFocus() == View()->GetSafeHwnd(); }, 60000))
            return ::testing::AssertionFailure() << "F4 on cell " << nRow << ", " << nCol << " opened no '" << title << "'; " << user.Steps();
        return ::testing::AssertionSuccess();
    }
    // F4 on the cell opens its list of choices, which Escape closes.
    ::testing::AssertionResult F4OpensList(ROWCOL nRow, ROWCOL nCol)
    {
        if (!GoToByKeys(nRow, nCol))
            return ::testing::AssertionFailure() << "the keys did not reach the cell";
        if (!Xdo("key F4") || !RunUntil([] { return ListOpen(); }, 60000))
            return ::testing::AssertionFailure() << "F4 on cell " << nRow << ", " << nCol << " opened no list";
        if (!Xdo("key Escape") || !RunUntil([&] { return ::GetFocus() == View()->GetSafeHwnd(); }, 60000))
            return ::testing::AssertionFailure() << "Escape did not close the list";
        return ::testing::AssertionSuccess();
    }

    // The items of the pop-up menu the keys open, read from the pop-up window while it shows,
    // after which the user closes the menu. Empty when no menu opened.
    std::vector<ShownItem> ReadMenu(const std::string& keys)
    {
        MenuReading reading;
        s_reading = &reading;
        // The menu runs its own loop inside the program's: a timer, which that loop serves too,
        // looks at the menu from there.
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &MainWindowEditingX11Test::ReadOpenMenu);
        const bool bSent = Xdo("key " + keys);
        const bool bRead = bSent && RunUntil([&] { return reading.bDone && OpenMenus().empty(); }, 60000);
        ::KillTimer(nullptr, timer);
        s_reading = nullptr;
        EXPECT_TRUE(bRead && reading.bClosed) << "the menu of '" << keys << "' was not read: sent " << bSent << ", read "
                                              << reading.bDone << ", closed " << reading.bClosed;
        return reading.items;
    }
    // The item of a menu read that runs the command; a blank one when none.
    static ShownItem Item(const std::vector<ShownItem>& items, UINT nID)
    {
        for (const ShownItem& item : items)
            if (item.nID == nID)
                return item;
        return ShownItem{};
    }

    // Once the status bar shows an Undo giving cells back, with its progress, the user presses
    // Escape: a timer of the program's thread, which the long operation's turns serve, watches.
    static void CALLBACK EscapeWhileRestoring(HWND, UINT, UINT_PTR, DWORD)
    {
        auto* pTest = static_cast<MainWindowEditingX11Test*>(Current());
        if (pTest == nullptr || s_bEscapePressed)
            return;
        const std::string status(pTest->Frame().GetStatusBar().GetPaneText(0));
        if (status.rfind("Restoring cells", 0) != 0 || status.find('%') == std::string::npos)
            return;
        s_bEscapePressed = true;
        const std::string command = "DISPLAY=" + pTest->server->DisplayName() + " timeout 60 xdotool key Escape >/dev/null 2>&1";
        // The Undo goes on only once the key has reached the program, so that it cannot end
        // while the key is still on its way.
        EXPECT_TRUE(std::system(command.c_str()) == 0 && pTest->KeyInQueue()) << "the Escape key did not reach the program";
    }
    static inline bool s_bEscapePressed = false;

    // A fetch engine that holds its scans; it outlives the program the test runs.
    HeldFetchBackend held;
    // The value dialogs F4 opened so far.
    int m_nDialogs = 0;

    static std::vector<HWND> OpenMenus()
    {
        std::vector<HWND> found;
        ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND hwnd, LPARAM data) -> BOOL {
            char name[16] = {};
            ::GetClassName(hwnd, name, sizeof name);
            if (std::string(name) == WC_MENU_NAME && ::IsWindowVisible(hwnd))
                reinterpret_cast<std::vector<HWND>*>(data)->push_back(hwnd);
            return TRUE;
        }, reinterpret_cast<LPARAM>(&found));
        return found;
    }

private:
    struct MenuReading {
        std::vector<ShownItem> items;
        bool bDone = false;
        bool bClosed = false;
    };
    static inline MenuReading* s_reading = nullptr;

    static void CALLBACK ReadOpenMenu(HWND, UINT, UINT_PTR, DWORD)
    {
        auto* pTest = static_cast<MainWindowEditingX11Test*>(Current());
        if (s_reading == nullptr || s_reading->bDone || pTest == nullptr)
            return;
        const std::vector<HWND> menus = OpenMenus();
        // Read once the pop-up is on the screen as drawn.
        if (menus.size() != 1 || !pTest->ShowsNow())
            return;
        const HMENU hMenu = reinterpret_cast<HMENU>(::SendMessage(menus.front(), MN_GETHMENU, 0, 0));
        for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
            char text[256] = {};
            ::GetMenuString(hMenu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            const UINT nState = ::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION);
            s_reading->items.push_back(ShownItem{::GetMenuItemID(hMenu, i), text, (nState & (MF_GRAYED | MF_DISABLED)) != 0});
        }
        s_reading->bDone = true;
        // Closed as the user closes a menu opened from the keyboard: Escape closes the pop-up,
        // a second one leaves the menu bar. The keys go to the window the menu belongs to,
        // which keeps the display's focus while the menu shows.
        const std::string command =
            "DISPLAY=" + pTest->server->DisplayName() + " timeout 60 xdotool key Escape Escape >/dev/null 2>&1";
        s_reading->bClosed = std::system(command.c_str()) == 0;
    }
};

// While no scan runs, Escape reaches the cell's editor, which gives the cell its old text back:
// nothing is stored, no page is marked. The field above the grid backs out the same way.
TEST_F(MainWindowEditingX11Test, EscapeBacksOutOfACellEditWhileNoScanRuns)
{
    ASSERT_TRUE(StartWithDescriptions(3));
    CGroupView& view = *View();
    ASSERT_TRUE(Click(2, kDesc)) << "the click did not make the cell current";
    const std::string old = Shown(2, kDesc);
    ASSERT_FALSE(old.empty());

    ASSERT_TRUE(Xdo("type --delay 20 Mistake"));
    ASSERT_TRUE(RunUntil([&] { return EditorOpen() && Shown(2, kDesc) == "Mistake"; }, 60000))
        << "the typed text did not show in the cell's editor: '" << Shown(2, kDesc) << "'";
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return !EditorOpen(); }, 60000)) << "Escape did not close the cell's editor";
    EXPECT_EQ(Shown(2, kDesc), old) << "the cell did not get its old text back";
    EXPECT_TRUE(RunUntil([&] { return Field() == old; }, 60000)) << "the field shows '" << Field() << "'";
    EXPECT_EQ(app->IsEdited(), 3u) << "the page was marked edited";
    EXPECT_EQ(StalePixelsOf(view.GetSafeHwnd(), "escape-cell"), 0) << "the grid does not show what it holds";
    // The cell is still where typing goes, and looks it.
    EXPECT_TRUE(IsCurrent(2, kDesc));
    cairo_surface_t* shot = Shot("escape-cell-look");
    ASSERT_NE(shot, nullptr);
    const CRect cell = view.CalcCellRect(2, kDesc);
    const uint32_t edge = GridPixel(shot, cell.left + 1, cell.CenterPoint().y);
    EXPECT_GT(PixelsOf(shot, cell, Rgb(::GetSysColor(COLOR_HIGHLIGHT))), cell.Width() * cell.Height() / 5)
        << "the current cell lost its highlight";
    EXPECT_EQ(PixelsOf(shot, view.CalcCellRect(3, kDesc), Rgb(::GetSysColor(COLOR_HIGHLIGHT))), 0)
        << "another cell shows highlighted";
    EXPECT_NE(edge, Rgb(::GetSysColor(COLOR_HIGHLIGHT))) << "the current cell lost its frame";
    EXPECT_NE(edge, Rgb(CGroupView::kInteriorColor)) << "the current cell lost its frame";
    cairo_surface_destroy(shot);

    // The field: what is typed there shows in the cell until Escape takes it back.
    CShortcutEditCtrl& field = dynamic_cast<CGroupFrame*>(view.GetParentFrame())->GetEditField();
    CRect rect;
    field.GetClientRect(&rect);
    ASSERT_TRUE(ClickAt(ScreenPoint(field.GetSafeHwnd(), rect.right - 4, rect.CenterPoint().y)));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == field.GetSafeHwnd(); }, 60000)) << "the click did not reach the field";
    ASSERT_TRUE(Xdo("type --delay 20 Wrong"));
    ASSERT_TRUE(RunUntil([&] { return Shown(2, kDesc) == old + "Wrong"; }, 60000))
        << "what was typed in the field does not show in the cell: '" << Shown(2, kDesc) << "'";
    ASSERT_TRUE(Xdo("key Escape"));
    EXPECT_TRUE(RunUntil([&] { return Field() == old && Shown(2, kDesc) == old; }, 60000))
        << "Escape left the field at '" << Field() << "' and the cell at '" << Shown(2, kDesc) << "'";
    // Leaving the cell now stores nothing.
    ASSERT_TRUE(Click(3, kDesc));
    EXPECT_EQ(std::string(view.GetCellValue(2, kDesc)), old);
    EXPECT_EQ(app->IsEdited(), 3u) << "the dropped edit was stored when the cell was left";
}

// A cell's list of choices is an in-place editor too: Escape closes it and the cell keeps its
// value.
TEST_F(MainWindowEditingX11Test, EscapeClosesACellsListOfChoicesAndKeepsTheValue)
{
    MakeSite(2);
    WriteProject({"dc.type"}, 0);
    ASSERT_TRUE(StartWithProject(2));
    ASSERT_EQ(std::string(View()->GetCellValue(0, kDesc)), "dc.type");
    ASSERT_TRUE(Click(1, kDesc)) << "the click did not make the cell current";
    auto* pCombo = dynamic_cast<CGXComboBox*>(View()->GetControl(1, kDesc));
    ASSERT_NE(pCombo, nullptr) << "the cell has no list of choices";
    const std::string old = Shown(1, kDesc);

    ASSERT_TRUE(Xdo("key F4"));
    ASSERT_TRUE(RunUntil([&] { return pCombo->IsDroppedDown() && ProgramHasFocus(); }, 60000)) << "F4 did not open the list";
    ASSERT_TRUE(Xdo("key Down Escape"));
    EXPECT_TRUE(RunUntil([&] { return !pCombo->IsDroppedDown(); }, 60000)) << "Escape did not close the list";
    EXPECT_EQ(Shown(1, kDesc), old) << "the cell took a choice the user backed out of";
    EXPECT_EQ(app->IsEdited(), 3u);
    EXPECT_EQ(StalePixelsOf(View()->GetSafeHwnd(), "escape-list"), 0);
}

// During a scan Escape is Stop Scan's key, wherever the focus is.
TEST_F(MainWindowEditingX11Test, EscapeStopsARunningScan)
{
    ASSERT_TRUE(StartWithDescriptions(3));
    ASSERT_TRUE(Click(1, kDesc)) << "the click did not make the cell current";
    // The next scan's fetch engine reads no page, so that the scan runs until it is stopped.
    CParserEngine::GetEngine().SetScanBackend(&held);
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 1 && held.bStarted; }, 60000)) << "F5 did not start a scan";

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Xdo("key Escape"));
    EXPECT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && held.bStopRequested; }, 60000))
        << "Escape did not stop the scan: run state " << app->GetRunState();
    EXPECT_FALSE(EditorOpen());
    // The stop is told: no page of this scan was read.
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0].rfind("The scan was stopped: 0 of 3 pages were read.", 0), 0u) << boxes.Texts()[0];
}

// Edit > Delete does what the Delete key does on the grid: the selected cells are cleared, and
// one Undo gives them all back. It is enabled only when that can be done.
TEST_F(MainWindowEditingX11Test, EditDeleteClearsTheSelectedCellsAsOneStepOfUndo)
{
    ASSERT_TRUE(StartWithDescriptions(4));
    CGroupView& view = *View();
    auto value = [&](ROWCOL nRow) { return std::string(view.GetCellValue(nRow, kDesc)); };
    const std::vector<std::string> old = {value(1), value(2), value(3), value(4)};

    // The current cell starts on the first page's file, which the page owns: nothing to clear.
    ASSERT_TRUE(IsCurrent(1, CGroupView::kFileColumn));
    EXPECT_TRUE(Item(ReadMenu("alt+e"), ID_EDIT_DELETE_META).bGrayed) << "Delete is enabled over a file";

    ASSERT_TRUE(Click(1, kDesc));
    const CRect last = view.CalcCellRect(3, kDesc);
    const POINT pt = ScreenPoint(view.GetSafeHwnd(), last.CenterPoint().x, last.CenterPoint().y);
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " keydown shift click 1 keyup shift"));
    ASSERT_TRUE(RunUntil([&] { return view.IsCellInRangeList(3, kDesc, view.GetParam()->m_SelRects) != FALSE; }, 60000))
        << "Shift+click did not select the cells";

    const ShownItem item = Item(ReadMenu("alt+e"), ID_EDIT_DELETE_META);
    ASSERT_EQ(item.text, "&Delete");
    EXPECT_FALSE(item.bGrayed) << "Delete is disabled over selected cells";
    ASSERT_TRUE(Xdo("key alt+e d"));
    ASSERT_TRUE(RunUntil([&] { return value(1).empty() && value(2).empty() && value(3).empty(); }, 60000))
        << "Edit > Delete did not clear the cells: '" << value(1) << "', '" << value(2) << "', '" << value(3) << "'";
    EXPECT_EQ(value(4), old[3]) << "a cell outside the selection was cleared";
    EXPECT_EQ(app->IsEdited(), 2u) << "the cleared pages are not marked edited";
    EXPECT_EQ(StalePixelsOf(view.GetSafeHwnd(), "edit-delete"), 0);

    ASSERT_TRUE(Xdo("key ctrl+z"));
    EXPECT_TRUE(RunUntil([&] { return value(1) == old[0] && value(2) == old[1] && value(3) == old[2]; }, 60000))
        << "one Undo did not give every cell back: '" << value(1) << "', '" << value(2) << "', '" << value(3) << "'";
    EXPECT_EQ(app->IsEdited(), 3u);

    // While a cell's editor is open the Delete key deletes text there, and Edit > Delete waits.
    ASSERT_TRUE(Click(4, kDesc));
    ASSERT_TRUE(Xdo("type x"));
    ASSERT_TRUE(RunUntil([&] { return EditorOpen(); }, 60000)) << "typing did not open the cell's editor";
    EXPECT_TRUE(Item(ReadMenu("alt+e"), ID_EDIT_DELETE_META).bGrayed) << "Delete is enabled over an open editor";
    EXPECT_TRUE(EditorOpen()) << "the menu closed the editor";
}

// Undo and Redo say which step they would take back, without the full stop of its status
// text, keep their keys whatever their label, and never name a step that is not there.
TEST_F(MainWindowEditingX11Test, UndoAndRedoNameTheirStepAndKeepTheirKeys)
{
    ASSERT_TRUE(StartWithDescriptions(4));
    CGroupView& view = *View();
    auto menu = [&] { return ReadMenu("alt+e"); };
    std::vector<ShownItem> items = menu();
    EXPECT_EQ(Item(items, ID_EDIT_UNDO).text, "&Undo\tCtrl+Z");
    EXPECT_EQ(Item(items, ID_EDIT_REDO).text, "&Redo\tCtrl+Y");

    // Two cells copied and pasted: the grid's paste.
    ASSERT_TRUE(Click(1, kDesc));
    const CRect second = view.CalcCellRect(2, kDesc);
    const POINT pt = ScreenPoint(view.GetSafeHwnd(), second.CenterPoint().x, second.CenterPoint().y);
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(pt.x) + " " + std::to_string(pt.y) + " keydown shift click 1 keyup shift"));
    ASSERT_TRUE(RunUntil([&] { return view.IsCellInRangeList(2, kDesc, view.GetParam()->m_SelRects) != FALSE; }, 60000));
    const DWORD dwClipboard = ::GetClipboardSequenceNumber();
    ASSERT_TRUE(Xdo("key ctrl+c"));
    ASSERT_TRUE(RunUntil([&] { return ::GetClipboardSequenceNumber() != dwClipboard; }, 60000)) << "Copy did not copy";
    const std::string first(view.GetCellValue(1, kDesc));
    ASSERT_TRUE(Click(3, kDesc));
    ASSERT_TRUE(Xdo("key ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(3, kDesc) == first.c_str(); }, 60000)) << "Paste did not paste";
    items = menu();
    EXPECT_EQ(Item(items, ID_EDIT_UNDO).text, "&Undo Paste\tCtrl+Z");
    EXPECT_FALSE(Item(items, ID_EDIT_UNDO).bGrayed);
    EXPECT_EQ(Item(items, ID_EDIT_REDO).text, "&Redo\tCtrl+Y");
    EXPECT_TRUE(Item(items, ID_EDIT_REDO).bGrayed);

    // A column made wider by its header's border, then undone: Redo offers the width.
    const CRect header = view.CalcCellRect(0, kDesc);
    const POINT edge = ScreenPoint(view.GetSafeHwnd(), header.right - 1, header.CenterPoint().y);
    const int nWidth = view.GetColWidth(kDesc);
    ASSERT_TRUE(Xdo("mousemove " + std::to_string(edge.x) + " " + std::to_string(edge.y) + " mousedown 1 mousemove " +
                    std::to_string(edge.x + 40) + " " + std::to_string(edge.y) + " mouseup 1"));
    ASSERT_TRUE(RunUntil([&] { return view.GetColWidth(kDesc) > nWidth && ::GetCapture() == nullptr; }, 60000))
        << "the drag did not widen the column";
    EXPECT_EQ(Item(menu(), ID_EDIT_UNDO).text, "&Undo Column Width\tCtrl+Z");
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view.GetColWidth(kDesc) == nWidth; }, 60000)) << "Undo did not give the width back";
    items = ReadMenu("alt+e");
    EXPECT_EQ(Item(items, ID_EDIT_UNDO).text, "&Undo Paste\tCtrl+Z");
    EXPECT_EQ(Item(items, ID_EDIT_REDO).text, "&Redo Column Width\tCtrl+Y");
    EXPECT_FALSE(Item(items, ID_EDIT_REDO).bGrayed);

    // A new edit ends what could be redone: Redo names nothing.
    ASSERT_TRUE(Click(4, kDesc));
    ASSERT_TRUE(Xdo("type --delay 20 New"));
    ASSERT_TRUE(Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(4, kDesc) == "New"; }, 60000)) << "the typed value was not stored";
    items = menu();
    EXPECT_EQ(Item(items, ID_EDIT_REDO).text, "&Redo\tCtrl+Y") << "Redo names a step that is gone";
    EXPECT_TRUE(Item(items, ID_EDIT_REDO).bGrayed);
    EXPECT_EQ(Item(items, ID_EDIT_UNDO).text.find('.'), std::string::npos) << Item(items, ID_EDIT_UNDO).text;
    EXPECT_NE(Item(items, ID_EDIT_UNDO).text.find("\tCtrl+Z"), std::string::npos) << Item(items, ID_EDIT_UNDO).text;
}

// A second click on the folder already chosen in the Project Area, or F2 there, chooses it and
// opens no editor over its name: the tree's labels are the folders' own names.
TEST_F(MainWindowEditingX11Test, TheProjectAreaOpensNoEditorOverAFoldersName)
{
    MakeSite(2, 3);
    WriteProject({"Description"}, 0);
    ASSERT_TRUE(StartWithProject(5));
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    HTREEITEM hFolder = nullptr;
    for (HTREEITEM h = tree.GetRootItem(); h != nullptr && hFolder == nullptr; h = tree.GetNextItemInPreorder(h))
        if (tree.GetItemText(h) == "folder02")
            hFolder = h;
    ASSERT_NE(hFolder, nullptr);
    // A point on the folder's name, as the tree finds it.
    CPoint label(-1, -1);
    CRect client;
    tree.GetClientRect(&client);
    for (int y = 0; y < client.bottom && label.x < 0; ++y)
        for (int x = 0; x < client.right && label.x < 0; ++x) {
            UINT nFlags = 0;
            if (tree.HitTest(CPoint(x, y), &nFlags) == hFolder && (nFlags & TVHT_ONITEMLABEL))
                label = CPoint(x + 3, y + 3);
        }
    ASSERT_GE(label.x, 0) << "the folder's name is not on the screen";
    const POINT onLabel = ScreenPoint(tree.GetSafeHwnd(), label.x, label.y);
    auto editorOpen = [&] {
        CWnd* pEditor = tree.GetEditControl();
        return pEditor != nullptr && pEditor->GetSafeHwnd() != nullptr && pEditor->IsWindowVisible();
    };

    ASSERT_TRUE(ClickAt(onLabel));
    ASSERT_TRUE(RunUntil([&] { return tree.GetSelectedItem() == hFolder && View()->GetRowCount() == 1; }, 60000))
        << "the click did not choose the folder";
    // The second click, later than a double click would be, then one on the grid: once the
    // grid has the focus, the tree has had the click; an editor would open when the tree's
    // delay for it has passed.
    ASSERT_TRUE(RunPastTimersDueWithin(::GetDoubleClickTime()));
    ASSERT_TRUE(ClickAt(onLabel));
    ASSERT_TRUE(Click(1, kDesc)) << "the grid did not take the click after the folder's";
    ASSERT_TRUE(RunPastTimersDueWithin(::GetDoubleClickTime() + 500));
    EXPECT_FALSE(editorOpen()) << "a second click opened an editor over the folder's name";
    EXPECT_EQ(::GetFocus(), View()->GetSafeHwnd()) << "something took the focus from the grid";

    // F2 on the tree.
    ASSERT_TRUE(ClickAt(onLabel));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == tree.GetSafeHwnd(); }, 60000)) << "the tree did not take the focus";
    ASSERT_TRUE(Xdo("key F2 Up"));
    EXPECT_TRUE(RunUntil([&] { return tree.GetSelectedItem() != hFolder; }, 60000))
        << "Up after F2 did not reach the tree: an editor took it";
    EXPECT_FALSE(editorOpen());
    EXPECT_STREQ(tree.GetItemText(hFolder), "folder02");
    // Escape, with nothing to back out of in the tree, leaves the pane as it is.
    const HTREEITEM hAbove = tree.GetSelectedItem();
    ASSERT_TRUE(Xdo("key Escape Down"));
    EXPECT_TRUE(RunUntil([&] { return tree.GetSelectedItem() == hFolder; }, 60000)) << "Down after Escape did not reach the tree";
    EXPECT_NE(hAbove, hFolder);
    EXPECT_TRUE(Frame().GetProjectAreaBar()->IsWindowVisible());
    EXPECT_EQ(::GetFocus(), tree.GetSafeHwnd());
    ASSERT_TRUE(Quiet());
}

// The keys act on the cell the user sees. Right after the open the first page's file is the
// current cell, shown. A range selected with Shift+Down is given up by the next plain Down, as
// in a spreadsheet: five Downs later the current cell stands alone, shown, and Ctrl+V puts the
// copied value there, not into the old range.
TEST_F(MainWindowEditingX11Test, APasteLandsOnTheCellTheUserMovedTo)
{
    ASSERT_TRUE(StartWithDescriptions(10));
    CGroupView& view = *View();
    const uint32_t highlight = Rgb(::GetSysColor(COLOR_HIGHLIGHT));
    const auto shows = [&](cairo_surface_t* shot, ROWCOL nRow, ROWCOL nCol) {
        const CRect cell = view.CalcCellRect(nRow, nCol);
        return PixelsOf(shot, cell, highlight) > cell.Width() * cell.Height() / 5;
    };
    ASSERT_TRUE(Quiet());
    ASSERT_TRUE(IsCurrent(1, CGroupView::kFileColumn)) << "no cell is current after the open";
    cairo_surface_t* shot = Shot("keys-start-on-the-first-file");
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(shows(shot, 1, CGroupView::kFileColumn)) << "the current cell does not show after the open";
    cairo_surface_destroy(shot);

    std::vector<std::string> before;
    for (ROWCOL nRow = 1; nRow <= 8; ++nRow)
        before.emplace_back(view.GetCellValue(nRow, kDesc));

    ASSERT_TRUE(Xdo("key Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, kDesc); }, 60000));
    const std::string copied = CopyByKeys("ctrl+c");
    ASSERT_EQ(ClipboardRows(copied), std::vector<std::string>{before[0]});
    ASSERT_TRUE(Xdo("key shift+Down shift+Down"));
    ASSERT_TRUE(RunUntil([&] { return view.IsCellInRangeList(3, kDesc, view.GetParam()->m_SelRects) != FALSE; }, 60000))
        << "Shift+Down did not select the rows";
    ASSERT_TRUE(Xdo("key Down Down Down Down Down"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(8, kDesc); }, 60000)) << "five Downs did not reach row 8";
    ASSERT_TRUE(Quiet());
    shot = Shot("keys-moved-past-a-range");
    ASSERT_NE(shot, nullptr);
    EXPECT_TRUE(shows(shot, 8, kDesc)) << "the current cell does not show";
    for (ROWCOL nRow : {1u, 2u, 3u})
        EXPECT_FALSE(shows(shot, nRow, kDesc)) << "row " << nRow << " still shows selected";
    cairo_surface_destroy(shot);

    // The paste, then the cell copied as it is now, then the column's first eight rows.
    ASSERT_TRUE(Xdo("key ctrl+v"));
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+c")), std::vector<std::string>{before[0]}) << "row 8 did not get the value";
    ASSERT_TRUE(Xdo("key shift+Up shift+Up shift+Up shift+Up shift+Up shift+Up shift+Up"));
    std::vector<std::string> after = before;
    after[7] = before[0];
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+c")), after) << "the paste changed other rows";
}

// The file column shows each row's page: Cut there, or Ctrl+Delete over a range that takes it
// in, copies or clears what it may and leaves every row with its page.
TEST_F(MainWindowEditingX11Test, CutAndCtrlDeleteOverTheFileColumnKeepEachRowsPage)
{
    ASSERT_TRUE(StartWithDescriptions(3));
    CGroupView& view = *View();
    std::string paths;
    for (ROWCOL nRow = 1; nRow <= 3; ++nRow)
        paths += std::string(view.GetCellValue(nRow, CGroupView::kFileColumn)) + "\r\n";
    ASSERT_TRUE(IsCurrent(1, CGroupView::kFileColumn));
    EXPECT_EQ(CopyByKeys("ctrl+x"), paths.substr(0, paths.find("\r\n"))) << "Cut did not copy the file's path";
    ASSERT_TRUE(Xdo("key shift+Right shift+Down ctrl+Delete"));
    ASSERT_TRUE(Xdo("key ctrl+Home shift+Down shift+Down"));
    ASSERT_TRUE(RunUntil([&] { return view.IsCellInRangeList(3, CGroupView::kFileColumn, view.GetParam()->m_SelRects) != FALSE; }, 60000));
    std::string copied = CopyByKeys("ctrl+c");
    if (copied.size() + 2 == paths.size())
        copied += "\r\n";
    EXPECT_EQ(copied, paths) << "a row lost its page";
    for (ROWCOL nRow = 1; nRow <= 3; ++nRow) {
        CPageNode* pPage = nullptr;
        EXPECT_EQ(view.GetRowPage(nRow, pPage), 0u) << "row " << nRow;
    }
}

namespace {

// The cells of a row of copied text.
std::vector<std::string> CellsOf(const std::string& row)
{
    std::vector<std::string> cells;
    size_t from = 0;
    for (size_t at; (at = row.find('\t', from)) != std::string::npos; from = at + 1)
        cells.push_back(row.substr(from, at - from));
    cells.push_back(row.substr(from));
    return cells;
}

std::string RowOf(const std::vector<std::string>& cells)
{
    std::string row;
    for (size_t i = 0; i < cells.size(); ++i)
        row += (i > 0 ? "\t" : "") + cells[i];
    return row;
}

} // namespace

// Undo of a paste of any shape gives every cell its value and its page's mark back, and Redo
// pastes again: two cells of a column, a block of two columns, a block over the file column
// (whose cells keep their pages), and another program's text. With the pastes undone, a save
// writes nothing.
TEST_F(MainWindowEditingX11Test, UndoAndRedoOfAPasteOfAnyShapeGiveEveryCellItsValueAndMark)
{
    ASSERT_TRUE(StartWithTwoValueColumns(6));
    CGroupView& view = *View();
    std::map<std::string, std::string> pages;
    for (const auto& entry : std::filesystem::directory_iterator(site))
        pages[entry.path().string()] = ReadFile(entry.path().string());
    const std::vector<std::string> original = CopiedCells(1, CGroupView::kFileColumn, 6, 3);
    ASSERT_EQ(original.size(), 6u);

    // Pastes, undone and redone by their keys; what the grid shows after each, as it copies it.
    const auto undoRedo = [&](const std::vector<std::string>& pasted) {
        EXPECT_EQ(app->IsEdited(), 2u) << "the paste did not mark the pages";
        ASSERT_TRUE(Xdo("key ctrl+z"));
        ASSERT_TRUE(RunUntil([&] { return !view.GetParam()->m_RedoList.IsEmpty(); }, 60000)) << "Undo was not done";
        EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 6, 3), original) << "Undo did not give the cells back";
        EXPECT_EQ(app->IsEdited(), 3u) << "the pages kept the paste's mark";
        ASSERT_TRUE(Xdo("key ctrl+y"));
        ASSERT_TRUE(RunUntil([&] { return view.GetParam()->m_RedoList.IsEmpty(); }, 60000)) << "Redo was not done";
        EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 6, 3), pasted) << "Redo did not paste again";
        EXPECT_EQ(app->IsEdited(), 2u);
        ASSERT_TRUE(Xdo("key ctrl+z"));
        ASSERT_TRUE(RunUntil([&] { return !view.GetParam()->m_RedoList.IsEmpty(); }, 60000)) << "Undo was not done";
        EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 6, 3), original);
        EXPECT_EQ(app->IsEdited(), 3u);
    };

    struct Block {
        const char* what;
        ROWCOL nTop, nLeft, nBottom, nRight, nToRow, nToCol;
    };
    for (const Block& block : {Block{"two cells of a column", 1, 3, 2, 3, 5, 3}, Block{"a block of two columns", 1, 2, 3, 3, 4, 2},
                               Block{"a block over the file column", 1, 1, 2, 3, 4, 1}}) {
        SCOPED_TRACE(block.what);
        const std::vector<std::string> copied = CopiedCells(block.nTop, block.nLeft, block.nBottom, block.nRight);
        ASSERT_EQ(copied.size(), block.nBottom - block.nTop + 1);
        // What the paste makes of the rows: the copied values; the file column keeps its pages.
        std::vector<std::string> pasted = original;
        for (ROWCOL i = 0; i < copied.size(); ++i) {
            std::vector<std::string> cells = CellsOf(pasted[block.nToRow + i - 1]);
            const std::vector<std::string> from = CellsOf(copied[i]);
            for (ROWCOL j = 0; j < from.size(); ++j)
                if (block.nToCol + j != CGroupView::kFileColumn)
                    cells[block.nToCol + j - 1] = from[j];
            pasted[block.nToRow + i - 1] = RowOf(cells);
        }
        ASSERT_TRUE(GoToByKeys(block.nToRow, block.nToCol));
        ASSERT_TRUE(Xdo("key ctrl+v"));
        ASSERT_TRUE(RunUntil([&] { return !view.GetParam()->m_UndoList.IsEmpty() && view.GetParam()->m_RedoList.IsEmpty(); }, 60000))
            << "Paste did not paste";
        EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 6, 3), pasted);
        undoRedo(pasted);
    }

    // Another program's cells, two rows of two, pasted from its own clipboard.
    {
        SCOPED_TRACE("another program's cells");
        ForeignClipboardOwner other(server->DisplayName(), "Other one\tOther two\r\nOther three\tOther four\r\n",
                                    ForeignClipboardOwner::Transfer::Whole);
        ASSERT_TRUE(other.Ready());
        std::vector<std::string> pasted = original;
        for (int i : {0, 1}) {
            std::vector<std::string> cells = CellsOf(pasted[1 + i]);
            cells[1] = i == 0 ? "Other one" : "Other three";
            cells[2] = i == 0 ? "Other two" : "Other four";
            pasted[1 + i] = RowOf(cells);
        }
        ASSERT_TRUE(GoToByKeys(2, 2));
        ASSERT_TRUE(Xdo("key ctrl+v"));
        ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(3, 3) == "Other four"; }, 60000)) << "Paste did not paste";
        EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 6, 3), pasted);
        undoRedo(pasted);
    }

    // Every paste undone: Save Edited Files writes nothing (the key after it shows it was handled).
    ASSERT_EQ(app->IsEdited(), 3u);
    ASSERT_TRUE(Xdo("key ctrl+t Up"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(5, 3); }, 60000)) << "the keys were not handled";
    std::map<std::string, std::string> now;
    for (const auto& entry : std::filesystem::directory_iterator(site))
        now[entry.path().string()] = ReadFile(entry.path().string());
    EXPECT_EQ(now, pages) << "the save wrote into the folder";
}

// An Undo of a long paste stopped by Esc and Yes gives back no cell: the paste stands whole, it is
// still the step to undo and there is none to redo, and the status bar no longer says the undo
// runs. A save then writes the paste to every page, none of them half given back.
TEST_F(MainWindowEditingX11Test, AnUndoOfALongPasteStoppedByEscapeLeavesThePasteWhole)
{
    constexpr UINT kPages = 2000;
    ASSERT_TRUE(StartWithDescriptions(kPages));
    CGroupView& view = *View();
    ASSERT_TRUE(GoToByKeys(1, kDesc));
    const std::vector<std::string> before = ClipboardRows(CopyByKeys("ctrl+space ctrl+c"));
    ASSERT_EQ(before.size(), kPages);
    // The first cell copied alone, pasted into the whole column: one step of undo.
    ASSERT_TRUE(Xdo("key Down Up"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(1, kDesc) && !view.IsCellInRangeList(2, kDesc, view.GetParam()->m_SelRects); }, 60000));
    ASSERT_EQ(CopyByKeys("ctrl+c"), before[0]);
    ASSERT_TRUE(Xdo("key ctrl+space ctrl+v"));
    ASSERT_TRUE(RunUntil([&] { return view.GetCellValue(kPages, kDesc) == before[0].c_str(); }, 60000)) << "the paste did not fill the column";
    const std::vector<std::string> pasted(kPages, before[0]);
    ASSERT_EQ(ClipboardRows(CopyByKeys("ctrl+c")), pasted);
    ASSERT_EQ(view.GetParam()->m_UndoList.GetCount(), 1);

    {
        const ProgressAtEveryTurn progress;
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
        s_bEscapePressed = false;
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 20, &MainWindowEditingX11Test::EscapeWhileRestoring);
        ASSERT_TRUE(Xdo("key ctrl+z"));
        const bool bEnded = RunUntil([&] { return !boxes.Texts().empty() && CGXLongOperation::GetLevel() == 0; }, 60000);
        ::KillTimer(nullptr, timer);
        ASSERT_TRUE(bEnded) << "the Undo was not asked to stop, or did not end";
        ASSERT_TRUE(s_bEscapePressed);
        ASSERT_EQ(boxes.Texts(), std::vector<std::string>{"Do you want to abort the operation?"});
    }
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view.GetSafeHwnd(); }, 60000)) << "the grid does not have the keys";
    const std::string status(Frame().GetStatusBar().GetPaneText(0));
    EXPECT_EQ(status.find("Undoing"), std::string::npos) << status;
    EXPECT_EQ(status.find("Restoring"), std::string::npos) << status;

    // Undo is offered, Redo is not; every row shows the pasted value.
    const std::vector<ShownItem> items = ReadMenu("alt+e");
    EXPECT_FALSE(Item(items, ID_EDIT_UNDO).bGrayed) << Item(items, ID_EDIT_UNDO).text;
    EXPECT_TRUE(Item(items, ID_EDIT_REDO).bGrayed) << Item(items, ID_EDIT_REDO).text;
    EXPECT_EQ(view.GetParam()->m_UndoList.GetCount(), 1);
    ASSERT_TRUE(GoToByKeys(1, kDesc));
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+space ctrl+c")), pasted) << "the stopped Undo left cells undone";

    // The save writes the paste whole, to the first row's page as to the last's.
    CPageNode* pFirst = nullptr;
    CPageNode* pLast = nullptr;
    ASSERT_EQ(view.GetRowPage(2, pFirst), 0u);
    ASSERT_EQ(view.GetRowPage(kPages, pLast), 0u);
    CString strFirst, strLast;
    pFirst->GetFullPath(strFirst);
    pLast->GetFullPath(strLast);
    const std::string firstFile(strFirst), lastFile(strLast);
    ASSERT_NE(before[1], pasted[1]);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return TagContent(ReadFile(lastFile), "DESCRIPTION") == pasted.back() && app->IsEdited() == 3; }, 120000))
        << ReadFile(lastFile);
    EXPECT_EQ(TagContent(ReadFile(firstFile), "DESCRIPTION"), pasted[1]) << "the save wrote a page the stopped Undo gave back";
}

// Cut empties the value cells it copies, through their pages, and the file cells keep their
// pages; Undo gives the values back. Ctrl+X and Edit > Cut alike; a cut saved leaves the page's
// tag empty on disk.
TEST_F(MainWindowEditingX11Test, CutEmptiesTheValueCellsItCopiesAndUndoGivesThemBack)
{
    ASSERT_TRUE(StartWithTwoValueColumns(3));
    CGroupView& view = *View();
    const std::vector<std::string> original = CopiedCells(1, CGroupView::kFileColumn, 3, 3);
    ASSERT_EQ(original.size(), 3u);
    const auto emptied = [&](ROWCOL nRow) {
        return CellsOf(original[nRow - 1])[0] + "\t\t";
    };

    // Ctrl+X over the file column and both value columns of rows 1 and 2.
    ASSERT_TRUE(SelectCells(1, CGroupView::kFileColumn, 2, 3));
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+x")), std::vector<std::string>(original.begin(), original.begin() + 2))
        << "Cut did not copy the cells";
    ASSERT_TRUE(RunUntil([&] { return !view.GetParam()->m_UndoList.IsEmpty(); }, 60000)) << "Cut left no step to undo";
    EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 3, 3), (std::vector<std::string>{emptied(1), emptied(2), original[2]}))
        << "Cut did not empty the value cells, or took a row's page";
    EXPECT_EQ(app->IsEdited(), 2u) << "the cut pages are not marked edited";
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return view.GetParam()->m_UndoList.IsEmpty(); }, 60000)) << "Undo was not done";
    EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 3, 3), original) << "Undo did not give the values back";
    EXPECT_EQ(app->IsEdited(), 3u);

    // Edit > Cut on the last row's cells, then Save Edited Files: the page's tags are empty on
    // disk, the other pages as they were.
    CPageNode* pLast = nullptr;
    ASSERT_EQ(view.GetRowPage(3, pLast), 0u);
    CString strPath;
    pLast->GetFullPath(strPath);
    const std::string last(strPath), before = ReadFile(last);
    ASSERT_TRUE(SelectCells(3, 2, 3, 3));
    ASSERT_TRUE(Xdo("key alt+e t"));
    ASSERT_TRUE(RunUntil([&] { return !view.GetParam()->m_UndoList.IsEmpty(); }, 60000)) << "Edit > Cut left no step to undo";
    EXPECT_EQ(ClipboardRows(clipboard_text::Get(nullptr)), std::vector<std::string>{RowOf({CellsOf(original[2])[1], CellsOf(original[2])[2]})});
    EXPECT_EQ(CopiedCells(1, CGroupView::kFileColumn, 3, 3), (std::vector<std::string>{original[0], original[1], emptied(3)}));
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ReadFile(last) != before; }, 60000)) << "the save did not write the page";
    const std::string saved = ReadFile(last);
    EXPECT_EQ(TagContent(saved, "DESCRIPTION"), "") << saved;
    EXPECT_EQ(TagContent(saved, "KEYWORDS"), "") << saved;
}


// A paste gives the cells the values copied and nothing else: each cell keeps its column's kind.
// Description cells pasted into the Keywords column, a date column and a drop-down list column
// still open the Keywords dialog, the date's dialog and the list, also after Undo and Redo;
// list cells pasted into Description take typed text there. A value that is none of the list's
// choices is kept as typed text is. The save writes the pasted values into the pages.
TEST_F(MainWindowEditingX11Test, APasteGivesValuesOnlyAndEachCellKeepsItsColumnsKind)
{
    X11KeyboardLetters letters(other, "Ζήτα");
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    MakeSite(3);
    WriteProject({"Keywords", "Expires", "Description"}, 0, [](CMetaSettingList& list) {
        MakeDropDownList(list, "Rating", {"General", "Ωμέγα", "日本語"});
    });
    ASSERT_TRUE(StartWithProject(3));
    CGroupView& view = *View();
    const ROWCOL nKeys = 2, nDate = 3, nDesc = 4, nList = 5;
    ASSERT_EQ(view.GetColCount(), nList);
    for (const auto& [nCol, name] : {std::pair{nKeys, "Keywords"}, {nDate, "Expires"}, {nDesc, "Description"}, {nList, "Rating"}})
        ASSERT_STREQ(view.GetCellValue(0, nCol), name);

    // Row 3 takes the list's second choice: F4, Down, Enter, and Up stores it.
    ASSERT_TRUE(GoToByKeys(3, nList));
    ASSERT_TRUE(Xdo("key F4") && RunUntil([] { return ListOpen(); }, 60000)) << "F4 opened no list";
    ASSERT_TRUE(Xdo("key Down Return Up"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(2, nList) && view.GetCellValue(3, nList) == "Ωμέγα"; }, 60000))
        << "the choice was not stored";
    const std::vector<std::string> original = CopiedCells(1, nKeys, 3, nList);
    ASSERT_EQ(original.size(), 3u);

    // Copies the block and pastes it at the cell; false when the cell did not get the value.
    const auto paste = [&](ROWCOL nTop, ROWCOL nLeft, ROWCOL nBottom, ROWCOL nRight, ROWCOL nRow, ROWCOL nCol) {
        const std::vector<std::string> copied = CopiedCells(nTop, nLeft, nBottom, nRight);
        return GoToByKeys(nRow, nCol) && Xdo("key ctrl+v") &&
               RunUntil([&] { return !copied.empty() && view.GetCellValue(nRow, nCol) == CellsOf(copied[0])[0].c_str(); }, 60000);
    };
    const std::string desc1 = CellsOf(original[0])[2], desc2 = CellsOf(original[1])[2];

    // Into the Keywords column, undone and redone.
    ASSERT_TRUE(paste(1, nDesc, 2, nDesc, 1, nKeys)) << "the paste into Keywords did not paste";
    EXPECT_TRUE(F4OpensDialog(1, nKeys, "^Keywords Metatag"));
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return !view.GetParam()->m_RedoList.IsEmpty(); }, 60000)) << "Undo was not done";
    EXPECT_EQ(CopiedCells(1, nKeys, 3, nList), original) << "Undo did not give the cells back";
    EXPECT_TRUE(F4OpensDialog(2, nKeys, "^Keywords Metatag"));
    ASSERT_TRUE(Xdo("key ctrl+y"));
    ASSERT_TRUE(RunUntil([&] { return view.GetParam()->m_RedoList.IsEmpty(); }, 60000)) << "Redo was not done";
    EXPECT_EQ(CopiedCells(1, nKeys, 2, nKeys), (std::vector<std::string>{desc1, desc2})) << "Redo did not paste again";
    EXPECT_TRUE(F4OpensDialog(2, nKeys, "^Keywords Metatag"));

    // Into the date column and the list, whose choices the pasted values are not.
    ASSERT_TRUE(paste(1, nDesc, 2, nDesc, 1, nDate)) << "the paste into the date column did not paste";
    EXPECT_TRUE(F4OpensDialog(2, nDate, "^Date / Time Metatag"));
    ASSERT_TRUE(paste(1, nDesc, 2, nDesc, 1, nList)) << "the paste into the list did not paste";
    EXPECT_TRUE(F4OpensList(1, nList));
    EXPECT_TRUE(F4OpensList(2, nList));

    // The list's cells into Description, where the second is then typed over.
    ASSERT_TRUE(paste(2, nList, 3, nList, 1, nDesc)) << "the paste into Description did not paste";
    ASSERT_TRUE(GoToByKeys(2, nDesc));
    ASSERT_TRUE(Xdo("type --delay 30 'Ζήτα'") && Xdo("key Return"));
    EXPECT_TRUE(RunUntil([&] { return view.GetCellValue(2, nDesc) == "Ζήτα"; }, 60000))
        << "the cell did not take the typed text: '" << view.GetCellValue(2, nDesc).GetString() << "'";

    const std::vector<std::string> pasted = {RowOf({desc1, desc1, desc2, desc1}),
                                             RowOf({desc2, desc2, "Ζήτα", desc2}),
                                             original[2]};
    EXPECT_EQ(CopiedCells(1, nKeys, 3, nList), pasted);
    // Each column shows its kind: the current Keywords cell its "..." button.
    ASSERT_TRUE(GoToByKeys(1, nKeys) && Quiet());
    cairo_surface_destroy(Shot("paste-kinds"));

    // Save Edited Files writes the values into the pages.
    const std::string first = site + "/p01.htm", second = site + "/p02.htm", third = site + "/p03.htm";
    const std::string before = ReadFile(third);
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && ReadFile(third) != before; }, 60000)) << "the save did not write the pages";
    const std::string page1 = ReadFile(first), page2 = ReadFile(second), page3 = ReadFile(third);
    EXPECT_EQ(TagContent(page1, "KEYWORDS"), desc1) << page1;
    EXPECT_EQ(TagContent(page1, "DESCRIPTION"), desc2) << page1;
    EXPECT_EQ(TagContent(page1, "Rating"), desc1) << page1;
    EXPECT_NE(page1.find("http-equiv=\"Expires\" content=\"" + desc1 + "\""), std::string::npos) << page1;
    EXPECT_EQ(TagContent(page2, "DESCRIPTION"), NumericReferences("Ζήτα")) << page2;
    EXPECT_EQ(TagContent(page3, "Rating"), NumericReferences("Ωμέγα")) << page3;
}

// The rows are the pages and the columns the settings: a paste that reaches past the last row
// or column fills the cells up to it and leaves out the rest, adding no row and no column,
// whether the cells come from the grid or from another program.
TEST_F(MainWindowEditingX11Test, APastePastTheLastRowOrColumnAddsNone)
{
    ASSERT_TRUE(StartWithTwoValueColumns(3));
    CGroupView& view = *View();
    const std::vector<std::string> block = CopiedCells(1, 2, 2, 3);
    ASSERT_EQ(block.size(), 2u);
    // At the last cell, Ctrl+End's: it gets the block's first cell, and Ctrl+End stays there.
    const auto pasteAtTheEnd = [&](const std::string& first) {
        return Xdo("key ctrl+End") && RunUntil([&] { return IsCurrent(3, 3); }, 60000) && Xdo("key ctrl+v") &&
               RunUntil([&] { return view.GetCellValue(3, 3) == first.c_str(); }, 60000) && Xdo("key Up ctrl+End") &&
               RunUntil([&] { return IsCurrent(3, 3); }, 60000);
    };
    EXPECT_TRUE(pasteAtTheEnd(CellsOf(block[0])[0])) << "the grid's cells: the grid has " << view.GetRowCount() << " rows and "
                                                     << view.GetColCount() << " columns";
    EXPECT_EQ(view.GetRowCount(), 3u);
    EXPECT_EQ(view.GetColCount(), 3u);

    ForeignClipboardOwner other(server->DisplayName(), "Ένα\tTwo\r\nThree\tFour\r\n", ForeignClipboardOwner::Transfer::Whole);
    ASSERT_TRUE(other.Ready());
    EXPECT_TRUE(pasteAtTheEnd("Ένα")) << "another program's cells: the grid has " << view.GetRowCount() << " rows and "
                                      << view.GetColCount() << " columns";
    EXPECT_EQ(view.GetRowCount(), 3u);
    EXPECT_EQ(view.GetColCount(), 3u);
}
