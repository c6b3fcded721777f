// The main window with the keyboard alone on the X server: a cell's "..." dialog opens with the
// keys of the grid's drop-down cells, and the context-menu keys open a cell's menu at the cell
// and another window's by that window, never at the screen's corner.
#include "app/values/CKeywordsDlg.h"
#include "app/values/CKeywordsGridCtrl.h"
#include "app/views/CShortcutEditCtrl.h"
#include "grid/core/CGXComboBox.h"
#include "grid/core/CGXControl.h"
#include "toolkit/controls/SECSplashWnd.h"

#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/Utf8CodePoints.h"
#include "tests/support/X11KeyboardLetters.h"

namespace {

class MainWindowKeyboardX11Test : public MainWindowStepsX11Test {
protected:
    // The user presses the keys in the grid once the main window has the focus, then the steps
    // run out; false when a step never came.
    ::testing::AssertionResult GridKeys(const std::string& keys)
    {
        if (!KeysTo(Frame().GetSafeHwnd(), keys))
            return ::testing::AssertionFailure() << "the keys " << keys << " were not typed";
        return StepsTaken();
    }
    // The Rights that take the current cell from the file column to the column named.
    std::string RightsTo(const char* pszColumn)
    {
        std::string keys;
        for (ROWCOL nCol = CGroupView::kFileColumn; nCol < ColumnOf(pszColumn); ++nCol)
            keys += keys.empty() ? "Right" : " Right";
        return keys;
    }
    // The user reads where a menu showing the item opened, then closes it with Escape.
    void WhenMenuShows(const std::string& label, RECT* pMenu)
    {
        When("an open menu shows \"" + label + "\"",
             [this, label] {
                 RECT item{};
                 return OpenMenuItem(label, &item) && ShowsNow();
             },
             [this, label, pMenu] {
                 RECT item{};
                 OpenMenuItem(label, &item);
                 if (!MenuDriver::OpenMenus().empty())
                     ::GetWindowRect(MenuDriver::OpenMenus().front(), pMenu);
                 // The screen shows the menu where its window is: the menu's face inside each
                 // corner of its frame.
                 cairo_surface_t* shot = Shot(("menu-" + label).c_str());
                 const uint32_t face = Rgb(::GetSysColor(COLOR_MENU));
                 int nFace = 0;
                 for (const POINT corner : {POINT{pMenu->left + 2, pMenu->top + 2}, POINT{pMenu->right - 3, pMenu->top + 2},
                                            POINT{pMenu->left + 2, pMenu->bottom - 3},
                                            POINT{pMenu->right - 3, pMenu->bottom - 3}})
                     nFace += shot != nullptr && screen_capture::PixelAt(shot, corner) == face;
                 if (shot)
                     cairo_surface_destroy(shot);
                 EXPECT_EQ(nFace, 4) << "the menu showing \"" << label << "\" is not on the screen where its window is";
                 XdoNow("key Escape");
             });
    }
    // After a dialog or menu: the grid has the keys again and shows its current cell.
    ::testing::AssertionResult GridHasTheKeysBack(const char* pszShot)
    {
        if (!RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && MenuDriver::OpenMenus().empty(); }))
            return ::testing::AssertionFailure() << "the grid did not get the focus back";
        if (!Quiet())
            return ::testing::AssertionFailure() << "the window did not settle";
        cairo_surface_t* shot = Shot(pszShot);
        ROWCOL nRow = 0, nCol = 0;
        view->GetCurrentCell(nRow, nCol);
        const CRect cell = view->CalcCellRect(nRow, nCol);
        int nLit = 0;
        const uint32_t highlight = Rgb(::GetSysColor(COLOR_HIGHLIGHT));
        for (int y = cell.top; shot && y < cell.bottom; ++y)
            for (int x = cell.left; x < cell.right; ++x)
                nLit += screen_capture::PixelAt(shot, ScreenPoint(view->GetSafeHwnd(), x, y)) == highlight;
        if (shot)
            cairo_surface_destroy(shot);
        if (nLit < cell.Width() * cell.Height() / 5)
            return ::testing::AssertionFailure() << "the current cell does not show";
        return ::testing::AssertionSuccess();
    }
};

} // namespace

// Alt+Down and F4 on a Keywords cell open its dialog, as a click on the cell's "..." does; the
// grid has the keys again once the dialog is closed.
TEST_F(MainWindowKeyboardX11Test, AltDownAndF4OpenTheCellsDialog)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    Type("the Keywords dialog opened by F4", "^Keywords Metatag", "Escape");
    ASSERT_TRUE(GridKeys(RightsTo("Keywords") + " F4"));
    ASSERT_TRUE(IsCurrent(1, ColumnOf("Keywords")));
    EXPECT_TRUE(GridHasTheKeysBack("keys-after-f4-dialog"));

    Type("the Keywords dialog opened by Alt+Down", "^Keywords Metatag", "Escape");
    ASSERT_TRUE(GridHasTheKeysBack("keys-before-alt-down"));
    ASSERT_TRUE(GridKeys("Down alt+Down"));
    ASSERT_TRUE(IsCurrent(2, ColumnOf("Keywords")));
    EXPECT_TRUE(GridHasTheKeysBack("keys-after-alt-down-dialog"));

    // While the cell's text is being typed, F4 opens the dialog as well.
    ASSERT_TRUE(Xdo("key Down x"));
    CGXControl* pControl = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        pControl = IsCurrent(3, ColumnOf("Keywords")) ? view->GetCurrentCellControl() : nullptr;
        return pControl != nullptr && pControl->IsActive();
    })) << "typing did not open the cell's editor";
    Type("the Keywords dialog opened by F4 while typing", "^Keywords Metatag", "Escape");
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "F4"));
    EXPECT_TRUE(StepsTaken());
}

// Shift+F10 and the menu key open the menu a right click on the current cell opens, by that
// cell; in the Project Area they open its menu by the tree, never at the screen's corner.
TEST_F(MainWindowKeyboardX11Test, TheContextMenuKeysOpenTheMenuWhereTheKeysAre)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    ASSERT_TRUE(IsCurrent(1, CGroupView::kFileColumn));
    const auto below = [&](const RECT& menu, ROWCOL nRow, ROWCOL nCol) {
        CRect cell = view->CalcCellRect(nRow, nCol);
        ::MapWindowPoints(view->GetSafeHwnd(), nullptr, reinterpret_cast<POINT*>(&cell), 2);
        return menu.left >= cell.left && menu.left < cell.right && menu.top >= cell.bottom - 2 && menu.top <= cell.bottom + 4;
    };

    RECT menu{};
    WhenMenuShows("View Web Page", &menu);
    ASSERT_TRUE(GridKeys("shift+F10")) << "Shift+F10 opened no menu of the file cell";
    EXPECT_TRUE(below(menu, 1, CGroupView::kFileColumn)) << "the menu opened at " << menu.left << "," << menu.top;
    ASSERT_TRUE(GridHasTheKeysBack("keys-after-file-menu"));

    menu = RECT{};
    WhenMenuShows("Group Actions...", &menu);
    ASSERT_TRUE(GridKeys(RightsTo("Keywords") + " shift+Down Menu")) << "the menu key opened no menu of the cells";
    EXPECT_TRUE(below(menu, 2, ColumnOf("Keywords"))) << "the menu opened at " << menu.left << "," << menu.top;
    ASSERT_TRUE(GridHasTheKeysBack("keys-after-group-menu"));

    // The Project Area: the menu of the folder the keys are on, by its item, wherever the
    // pointer rests.
    CFilesInTreeCtrl& tree = Frame().GetProjectAreaBar()->GetTree();
    CPageNode* pRoot = app->GetPageNodes().GetHead();
    const POINT onRoot = OnItemLabel(pRoot);
    ASSERT_TRUE(ClickAt(onRoot, 1, 1));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == tree.GetSafeHwnd(); })) << "the tree did not take the focus";
    // The pointer rests on the tree's empty part below its items.
    CRect treeRect;
    tree.GetWindowRect(&treeRect);
    ASSERT_TRUE(MoveTo(POINT{treeRect.CenterPoint().x, treeRect.bottom - 10}));
    ASSERT_TRUE(RunUntil([&] {
        POINT pt{};
        return ::GetCursorPos(&pt) && pt.y > treeRect.CenterPoint().y;
    })) << "the pointer did not move";
    menu = RECT{};
    WhenMenuShows("Scan Files", &menu);
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "Menu"));
    ASSERT_TRUE(StepsTaken()) << "the menu key opened no menu of the folder in the Project Area";
    EXPECT_LE(std::abs(menu.top - onRoot.y), 20) << "the menu opened at " << menu.left << "," << menu.top;
    CRect area;
    tree.GetWindowRect(&area);
    EXPECT_TRUE(area.PtInRect(CPoint(menu.left, menu.top))) << "the menu opened at " << menu.left << "," << menu.top;
}

// With no project open the menu key opens the main window's own menu inside the window that has
// the keys, not at the screen's corner.
TEST_F(MainWindowKeyboardX11Test, TheMenuKeyOpensTheMainWindowsMenuInsideTheWindow)
{
    ASSERT_TRUE(Start());
    HWND hFocus = nullptr;
    ASSERT_TRUE(RunUntil([&] {
        hFocus = ::GetFocus();
        return hFocus != nullptr && ::GetAncestor(hFocus, GA_ROOT) == Frame().GetSafeHwnd();
    })) << "the main window does not have the keys";
    RECT menu{};
    WhenMenuShows("New Project...", &menu);
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "Menu"));
    ASSERT_TRUE(StepsTaken()) << "the menu key opened no menu";
    CRect client;
    ::GetClientRect(hFocus, &client);
    ::MapWindowPoints(hFocus, nullptr, reinterpret_cast<POINT*>(&client), 2);
    EXPECT_TRUE(client.PtInRect(CPoint(menu.left, menu.top)))
        << "the menu opened at " << menu.left << "," << menu.top << ", the window with the keys is at " << client.left << ","
        << client.top;
}

// Alt+F4 closes the main window wherever the keys are in the grid, also in the list a
// drop-down cell opened with Alt+Down, which closes first. A start-up picture that still shows
// goes with the window, and never comes up to take the keys.
TEST_F(MainWindowKeyboardX11Test, AltF4ClosesTheMainWindowFromACellsOpenList)
{
    ASSERT_TRUE(Start());
    // The picture kept up for the test, however long the start took.
    HWND hPicture = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), [](HWND top, LPARAM lParam) -> BOOL {
        if (auto* pSplash = dynamic_cast<SECSplashWnd*>(CWnd::FromHandlePermanent(top))) {
            pSplash->SetDisplayTime(600000);
            *reinterpret_cast<HWND*>(lParam) = top;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&hPicture));
    ASSERT_NE(hPicture, nullptr) << "no start-up picture";
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    CMetaSetting* pType = nullptr;
    ASSERT_EQ(pList->FindByName("dc.type", pType), 0u);
    pType->SetShow(1);
    OpenSite(true);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid does not have the keys";
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), RightsTo("dc.type") + " alt+Down"));
    ASSERT_TRUE(RunUntil([&] { return dynamic_cast<CGXComboListBox*>(CWnd::FromHandlePermanent(::GetFocus())) != nullptr; }))
        << "Alt+Down did not open the cell's list";
    ASSERT_TRUE(Quiet());

    const HWND hFrame = Frame().GetSafeHwnd();
    ASSERT_TRUE(XdoNow("key alt+F4"));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindow(hFrame); })) << "Alt+F4 did not close the main window";
    EXPECT_FALSE(::IsWindow(hPicture)) << "the start-up picture outlived the main window";
    EXPECT_NE(FocusedTitle(), "Vostrel") << "a window of the program took the keys as it ended";
}

// The key that starts an edit keeps its character in every script: typed as the first key of a
// cell's edit, of the field above the grid and of a cell in a dialog's grid, Latin letters with
// marks, Greek, Cyrillic and CJK reach the cell and the page whole.
TEST_F(MainWindowKeyboardX11Test, TheKeyThatStartsAnEditKeepsItsCharacterInEveryScript)
{
    // The keyboard has these letters, as a keyboard of their language does.
    X11KeyboardLetters letters(other, "élève ça ßtraße αβγ Юг 日本語 Ωμέγα über");
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    const ROWCOL nTitle = ColumnOf("Title"), nDesc = ColumnOf("Description"), nKeys = ColumnOf("Keywords");
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm"), nC = RowOf("c.htm");
    ASSERT_TRUE(nTitle == 2 && view->GetColCount() == 4 && nDesc != nKeys);
    // What each cell should hold at the end, by row and column.
    std::map<std::pair<ROWCOL, ROWCOL>, std::string> held;
    for (ROWCOL nRow = 1; nRow <= 3; ++nRow)
        for (ROWCOL nCol = nTitle; nCol <= 4; ++nCol)
            held[{nRow, nCol}] = std::string(view->GetCellValue(nRow, nCol));
    const std::tuple<ROWCOL, ROWCOL, std::string> typed[] = {{nA, nDesc, "élève"}, {nB, nDesc, "ça"},   {nC, nDesc, "ßtraße"},
                                                            {nA, nKeys, "αβγ"},   {nB, nKeys, "Юг"}, {nC, nKeys, "日本語"}};
    // The arrow keys take the current cell there (the window is too narrow to click them all).
    const auto goTo = [&](ROWCOL nRow, ROWCOL nCol) {
        return GoToByKeys(nRow, nCol) && RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); });
    };
    for (const auto& cell : typed) {
        const ROWCOL nRow = std::get<0>(cell), nCol = std::get<1>(cell);
        const std::string& text = std::get<2>(cell);
        ASSERT_TRUE(goTo(nRow, nCol)) << "the keys did not make the cell current";
        ASSERT_TRUE(WaitForFocus(Frame().GetSafeHwnd()) && XdoNow("type --delay 30 '" + text + "'"));
        ASSERT_TRUE(XdoNow("key Return"));
        const std::string old = held[{nRow, nCol}];
        ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nRow, nCol) != old.c_str(); })) << "nothing typed was stored";
        held[{nRow, nCol}] = text;
    }

    // The field above the grid, its text chosen whole and typed over.
    CShortcutEditCtrl& field = dynamic_cast<CGroupFrame*>(view->GetParentFrame())->GetEditField();
    ASSERT_TRUE(goTo(nA, nTitle));
    ASSERT_TRUE(ClickAt(CentreOnScreen(field.GetSafeHwnd()), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == field.GetSafeHwnd(); })) << "the click did not reach the field";
    ASSERT_TRUE(XdoNow("key ctrl+a"));
    ASSERT_TRUE(XdoNow("type --delay 30 'Ωμέγα'"));
    ASSERT_TRUE(XdoNow("key Return"));
    const std::string oldTitle = held[{nA, nTitle}];
    ASSERT_TRUE(RunUntil([&] { return !field.IsEditing() && view->GetCellValue(nA, nTitle) != oldTitle.c_str(); }))
        << "the field's text was not stored";
    held[{nA, nTitle}] = "Ωμέγα";

    // The Keywords dialog's grid of the page's keywords: the user chooses its first keyword
    // (a click there opens its editor, which Escape closes) and types over it.
    const auto dialog = [] { return dynamic_cast<CKeywordsDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow())); };
    const auto keywords = [&] { return &dialog()->GetExistingGrid(); };
    When("the Keywords dialog has the focus", [&] { return Matches(FocusedTitle(), "^Keywords Metatag") && dialog() && ShowsNow(); },
         [&] {
             const CRect first = keywords()->CalcCellRect(1, 1);
             ClickAt(ScreenPoint(keywords()->GetSafeHwnd(), first.CenterPoint().x, first.CenterPoint().y), 1, 1);
         });
    When("the dialog's grid has the keys", [&] {
        return dialog() && (::GetFocus() == keywords()->GetSafeHwnd() || ::IsChild(keywords()->GetSafeHwnd(), ::GetFocus())); },
         [&] {
             if (::GetFocus() != keywords()->GetSafeHwnd())
                 XdoNow("key Escape");
         });
    When("the dialog's first keyword is current", [&] {
        ROWCOL nRow = 0, nCol = 0;
        return dialog() && ::GetFocus() == keywords()->GetSafeHwnd() && keywords()->GetCurrentCell(nRow, nCol) && nRow == 1; },
         [&] {
             XdoNow("type --delay 30 'über'");
             XdoNow("key Return");
         });
    When("the typed keyword is stored", [&] { return dialog() && keywords()->GetStoredCellValue(1, 1) != "Юг"; },
         [&] { ClickAt(CentreOnScreen(::GetDlgItem(::GetActiveWindow(), IDOK)), 1, 1); });
    ASSERT_TRUE(ClickAt(CellOnScreen(nB, CGroupView::kFileColumn), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nB, CGroupView::kFileColumn); })) << "the click did not reach the grid";
    ASSERT_TRUE(goTo(nB, nKeys));
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "F4"));
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); })) << "the grid did not get the keys back";
    held[{nB, nKeys}] = "über";

    // What the grid copies, and what the pages hold once saved.
    std::vector<std::string> wanted;
    for (ROWCOL nRow = 1; nRow <= 3; ++nRow)
        wanted.push_back(held[{nRow, 2}] + "\t" + held[{nRow, 3}] + "\t" + held[{nRow, 4}]);
    EXPECT_EQ(CopiedCells(1, nTitle, 3, 4), wanted);
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    for (const auto& [page, nRow] : {std::pair{"a.htm", nA}, {"b.htm", nB}, {"sub/c.htm", nC}}) {
        const std::string saved = ReadFile(site + "/" + page);
        EXPECT_EQ(TagContent(saved, "DESCRIPTION"), NumericReferences(held[{nRow, nDesc}])) << saved;
        EXPECT_EQ(TagContent(saved, "KEYWORDS"), NumericReferences(held[{nRow, nKeys}])) << saved;
    }
}

// A letter typed on a cell's drop-down list picks the next choice that begins with that whole
// letter, in any script: é, Ω and 日 are not taken for the other choices their first bytes
// begin, and typed again a letter steps on to its next choice, round to the first. It works as
// the first key on the cell and as the keys after it, and the choice reaches the page.
TEST_F(MainWindowKeyboardX11Test, ALetterTypedOnAListPicksTheNextChoiceThatBeginsWithIt)
{
    X11KeyboardLetters letters(other, "éΩ日");
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    MakeDropDownList(*pList, "Rating", {"General", "Über", "été", "Ωμέγα", "昨日", "日本語", "Ωmega", "Mature"});
    OpenSite(true);
    const ROWCOL nList = ColumnOf("Rating");
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm"), nC = RowOf("c.htm");
    ASSERT_TRUE(nList > 1 && nA > 0 && nB > 0 && nC > 0);
    const auto shown = [&](ROWCOL nRow) {
        CString strText;
        view->GetCellText(nRow, nList, strText);
        return std::string(strText);
    };
    // Each letter typed on the cell, and the choice it should show then.
    const auto pick = [&](ROWCOL nRow, const std::vector<std::pair<std::string, std::string>>& typed) {
        if (!GoToByKeys(nRow, nList) || !RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd(); }))
            return ::testing::AssertionFailure() << "the keys did not make the cell current";
        for (const auto& key : typed) {
            const std::string& choice = key.second;
            if (!WaitForFocus(Frame().GetSafeHwnd()) || !XdoNow("type '" + key.first + "'") ||
                !RunUntil([&] { return shown(nRow) == choice; }))
                return ::testing::AssertionFailure() << "'" << key.first << "' picked '" << shown(nRow) << "', not '" << choice << "'";
        }
        if (Quiet())
            cairo_surface_destroy(Shot(("list-picked-" + std::to_string(nRow)).c_str()));
        if (!XdoNow("key Return") || !RunUntil([&] { return view->GetCellValue(nRow, nList) == typed.back().second.c_str(); }))
            return ::testing::AssertionFailure() << "Enter did not store the choice";
        return ::testing::AssertionSuccess();
    };
    EXPECT_TRUE(pick(nA, {{"g", "General"}, {"m", "Mature"}, {"é", "été"}, {"Ω", "Ωμέγα"}, {"Ω", "Ωmega"}, {"Ω", "Ωμέγα"}, {"日", "日本語"}}));
    EXPECT_TRUE(pick(nB, {{"é", "été"}}));
    EXPECT_TRUE(pick(nC, {{"Ω", "Ωμέγα"}, {"Ω", "Ωmega"}}));

    // What the grid copies, and what the pages hold once saved.
    std::map<ROWCOL, std::string> chosen = {{nA, "日本語"}, {nB, "été"}, {nC, "Ωmega"}};
    EXPECT_EQ(CopiedCells(1, nList, 3, nList), (std::vector<std::string>{chosen[1], chosen[2], chosen[3]}));
    ASSERT_TRUE(KeysTo(Frame().GetSafeHwnd(), "ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "the save did not end";
    for (const auto& [page, nRow] : {std::pair{"a.htm", nA}, {"b.htm", nB}, {"sub/c.htm", nC}}) {
        const std::string saved = ReadFile(site + "/" + page);
        EXPECT_EQ(TagContent(saved, "Rating"), NumericReferences(chosen[nRow])) << saved;
    }
}

// Tab and Shift+Tab step one cell right and back and choose nothing but the cell they reach,
// whatever key came before them: a value typed and stored by Tab, Tab itself, Shift with the
// arrows. Ctrl+C then copies that one cell, and Delete empties it alone, which Undo gives back.
TEST_F(MainWindowKeyboardX11Test, TabAndShiftTabStepOneCellAndChooseNothing)
{
    const std::string typed = "Ωμέγα ß 東京";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(true);
    // The Title column and the two META columns after it.
    const ROWCOL nTitle = ColumnOf("Title"), nNext = nTitle + 1, nLast = nTitle + 2;
    const ROWCOL nA = RowOf("a.htm"), nB = RowOf("b.htm");
    ASSERT_TRUE(nLast == view->GetColCount() && nB != nA);
    const std::string rowB[3] = {"Beta", std::string(view->GetCellValue(nB, nNext)), std::string(view->GetCellValue(nB, nLast))};
    ASSERT_TRUE(ClickAt(CellOnScreen(nA, nTitle), 1, 1));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, nTitle) && ::GetFocus() == view->GetSafeHwnd(); }))
        << "the click did not reach the cell";

    ASSERT_TRUE(XdoNow("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(XdoNow("key Tab"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, nNext) && view->GetCellValue(nA, nTitle) == typed.c_str(); }))
        << "Tab did not store the value and step right";
    ASSERT_TRUE(Xdo("key shift+Tab"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nA, nTitle); })) << "Shift+Tab did not step back";
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+c")), std::vector<std::string>{typed}) << "after Tab";

    ASSERT_TRUE(Xdo("key shift+Down shift+Right"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nB, nNext) && view->IsCellInRangeList(nA, nTitle, view->GetParam()->m_SelRects); }))
        << "Shift and the arrows chose no block";
    ASSERT_TRUE(Xdo("key shift+Tab"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nB, nTitle); })) << "Shift+Tab did not step back";
    EXPECT_EQ(ClipboardRows(CopyByKeys("ctrl+c")), std::vector<std::string>{rowB[0]}) << "after Shift and the arrows";

    ASSERT_TRUE(Xdo("key Tab Tab shift+Tab"));
    ASSERT_TRUE(RunUntil([&] { return IsCurrent(nB, nNext) && Settled(); })) << "Tab, Tab, Shift+Tab did not end on the cell";
    ASSERT_TRUE(Xdo("key Delete"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(nB, nNext).IsEmpty(); })) << "Delete emptied nothing";
    EXPECT_EQ(CopiedCells(nB, nTitle, nB, nLast), std::vector<std::string>{rowB[0] + "\t\t" + rowB[2]}) << "after Tab, Tab, Shift+Tab";
    ASSERT_TRUE(Xdo("key ctrl+z"));
    ASSERT_TRUE(RunUntil([&] { return !view->GetCellValue(nB, nNext).IsEmpty(); })) << "Undo gave nothing back";
    EXPECT_EQ(CopiedCells(nB, nTitle, nB, nLast), std::vector<std::string>{rowB[0] + "\t" + rowB[1] + "\t" + rowB[2]});
}
