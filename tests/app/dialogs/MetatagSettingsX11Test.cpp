// Metatag Settings as the user meets it on the X server, every key typed by another client: its
// commands by the keys alone (Insert, Delete, Shift+Space, the menu key and Shift+F10), what OK
// refuses because it would write wrong pages, the type that decides the tag's form, and a
// damaged catalogue file at start-up. Judged by the boxes shown, the screen and the catalogue
// file on disk.
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CNewProjectDlg.h"
#include "engine/meta/CMetaDateSetting.h"
#include "engine/meta/CMetaEditSetting.h"
#include "grid/core/CGXControl.h"

#include "platform/controls/CommonDialog.h"
#include "platform/controls/ListBoxDefs.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/ProgressAtEveryTurn.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

namespace {

class MetatagSettingsX11Test : public MainWindowStepsX11Test {
protected:
    // The dialog, once it is the active window and its grid has the keys on the server.
    std::function<bool()> SettingsHaveTheKeys(CMetaSettingDlg*& pDlg)
    {
        return [this, &pDlg] {
            pDlg = dynamic_cast<CMetaSettingDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
            return pDlg != nullptr && Matches(FocusedTitle(), "^Metatag Settings - ") &&
                   ::GetFocus() == pDlg->GetGrid().GetSafeHwnd() && Settled();
        };
    }
    // The row of the settings grid whose name cell shows the text; 0 when none does.
    static ROWCOL RowNamed(CMetaSettingGridCtrl& grid, const CString& strName)
    {
        for (ROWCOL nRow = 1; nRow <= grid.GetRowCount(); ++nRow) {
            CString strText;
            grid.GetCellText(nRow, CMetaSettingGridCtrl::kColName, strText);
            if (strText == strName)
                return nRow;
        }
        return 0;
    }
    static bool IsCurrent(CMetaSettingGridCtrl& grid, ROWCOL nRow, ROWCOL nCol)
    {
        ROWCOL nAtRow = 0, nAtCol = 0;
        return grid.GetCurrentCell(nAtRow, nAtCol) && nAtRow == nRow && nAtCol == nCol;
    }
    // The keys that take the current cell of the grid to the cell.
    static std::string KeysTo(CMetaSettingGridCtrl& grid, ROWCOL nRow, ROWCOL nCol)
    {
        ROWCOL nAtRow = 0, nAtCol = 0;
        grid.GetCurrentCell(nAtRow, nAtCol);
        return ArrowKeys(nAtRow, nAtCol, nRow, nCol);
    }
    // The current cell's edit opened with F2 unless it is open, its text replaced by the text,
    // then the keys.
    void TypeIntoCell(const std::string& text, const std::string& keys, bool bOpen = false)
    {
        XdoNow(bOpen ? "key ctrl+a" : "key F2 ctrl+a");
        XdoNow("type --delay 30 '" + text + "'");
        XdoNow("key --delay 60 " + keys);
    }
    // Once the cell holds the text, stored, the keys: Enter that stored an edit is taken before
    // the next one reaches the dialog.
    void WhenStored(CMetaSettingDlg*& pDlg, const ROWCOL& nRow, ROWCOL nCol, const std::string& text, const std::string& keys)
    {
        When("the cell holds '" + text + "'", [this, &pDlg, &nRow, nCol, text] {
                 CString strText;
                 pDlg->GetGrid().GetCellText(nRow, nCol, strText);
                 lastSeen = strText.GetString();
                 CGXControl* pControl = pDlg->GetGrid().GetControl(nRow, nCol);
                 return pDlg->GetGrid().GetCellText(nRow, nCol, strText) == 0 && strText == text.c_str() &&
                        (pControl == nullptr || !pControl->IsActive() || !pControl->GetModify()) && Settled();
             },
             [this, keys] { XdoNow("key --delay 60 " + keys); });
    }
    std::string lastSeen;   // what the cell WhenStored waits for held last
    // The text typed by the keys into the page grid's cell of the page and the column, and
    // Enter. The grid is clicked only when it does not have the keys (a second click there would
    // be a double click).
    bool TypeIntoPageCell(const char* pszPage, const char* pszColumn, const std::string& text)
    {
        const ROWCOL nRow = RowOf(pszPage), nCol = ColumnOf(pszColumn);
        const auto gridHasKeys = [&] { return ::GetFocus() == view->GetSafeHwnd() && ProgramHasFocus(); };
        return nRow != 0 && nCol != 0 &&
               (gridHasKeys() || (ClickAt(CellOnScreen(nRow, CGroupView::kFileColumn), 1, 1) && RunUntil(gridHasKeys))) &&
               GoToByKeys(nRow, nCol) && XdoNow("type --delay 30 '" + text + "'") && XdoNow("key Return") &&
               RunUntil([&] { return std::string(view->GetCellValue(nRow, nCol)) == text && Settled(); });
    }
    // The catalogue as its file holds it.
    static ::testing::AssertionResult Catalogue(const std::string& path, CMetaSettingList& list)
    {
        if (list.LoadFromFile(CString(path.c_str())) != 0)
            return ::testing::AssertionFailure() << path << " holds no catalogue";
        return ::testing::AssertionSuccess();
    }
    static CMetaSetting* Find(CMetaSettingList& list, const char* pszName)
    {
        CMetaSetting* pSetting = nullptr;
        return list.FindByName(pszName, pSetting) == 0 ? pSetting : nullptr;
    }
    // The share of white pixels in a cell of the settings grid on the screen, in percent.
    static int WhiteShare(cairo_surface_t* shot, CMetaSettingGridCtrl& grid, ROWCOL nRow, ROWCOL nCol)
    {
        const CRect cell = grid.CalcCellRect(nRow, nCol);
        int nWhite = 0, nAll = 0;
        for (int y = cell.top + 1; y < cell.bottom - 1; ++y)
            for (int x = cell.left + 1; x < cell.right - 1; ++x, ++nAll) {
                POINT pt{x, y};
                ::ClientToScreen(grid.GetSafeHwnd(), &pt);
                nWhite += screen_capture::PixelAt(shot, pt) == 0xFFFFFFu ? 1 : 0;
            }
        return nAll > 0 ? nWhite * 100 / nAll : -1;
    }
};

} // namespace

// Insert adds a tag, typed a name of other scripts; the menu key, a right click and Shift+F10
// open the toolbar's commands as a menu, once; Shift+Space chooses the current row, lit on the
// screen, and Delete deletes it, leaving no row chosen. OK writes the file.
TEST_F(MetatagSettingsX11Test, EveryCommandIsReachedByTheKeys)
{
    const std::string typed = "Überschrift-ßé";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(false);
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    CMetaSettingDlg* pDlg = nullptr;
    ROWCOL nRows = 0, nAdded = 0, nNewTag = 0;
    std::vector<std::string> menuItems;
    std::string note;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        nRows = pDlg->GetGrid().GetRowCount();
        nAdded = nRows + 1;
        char text[512] = {};
        ::GetDlgItemText(pDlg->GetSafeHwnd(), 1091, text, sizeof text);
        note = text;
        XdoNow("key Insert");
    });
    When("Insert added a row being named", [&] {
             CGXControl* pControl = pDlg->GetGrid().GetControl(nRows + 1, CMetaSettingGridCtrl::kColName);
             return pDlg->GetGrid().GetRowCount() == nRows + 1 && IsCurrent(pDlg->GetGrid(), nRows + 1, 1) &&
                    pControl != nullptr && pControl->IsActive() && Settled();
         },
         [&] { TypeIntoCell(typed, "Return", true); });
    WhenStored(pDlg, nAdded, CMetaSettingGridCtrl::kColName, typed, "Menu");
    When("the menu key opened the commands",
         [&] {
             RECT r{};
             return OpenMenuItem("Delete Chosen Metatags", &r) != nullptr && ShowsNow();
         },
         [&] {
             for (HWND popup : MenuDriver::OpenMenus()) {
                 HMENU menu = MenuDriver::MenuOf(popup);
                 if (std::getenv("VOSTREL_KEEP_SCREENSHOTS") != nullptr)
                     cairo_surface_destroy(Shot("metatag-settings-menu"));
                 for (int i = 0; i < GetMenuItemCount(menu); ++i) {
                     char text[128] = {};
                     GetMenuString(menu, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
                     if (*text)
                         menuItems.emplace_back(text);
                 }
             }
             XdoNow("key Escape");
         });
    // A right click on a cell opens the same menu, once: Escape closes it for good.
    When("the menu key's menu is closed", [&] { return MenuDriver::OpenMenus().empty() && Settled(); }, [&] {
        const CRect cell = pDlg->GetGrid().CalcCellRect(nAdded, CMetaSettingGridCtrl::kColName);
        POINT pt = cell.CenterPoint();
        ::ClientToScreen(pDlg->GetGrid().GetSafeHwnd(), &pt);
        ClickAt(pt, 3, 1);
    });
    When("a right click opened the commands",
         [&] {
             RECT r{};
             return OpenMenuItem("Restore Default Settings...", &r) != nullptr && ShowsNow();
         },
         [&] { XdoNow("key Escape"); });
    ROWCOL nGenerator = 0;
    When("the menu is closed", [&] { return MenuDriver::OpenMenus().empty() && Settled(); }, [&] {
        nGenerator = RowNamed(pDlg->GetGrid(), "Generator");
        XdoNow("key --delay 40" + KeysTo(pDlg->GetGrid(), nGenerator, CMetaSettingGridCtrl::kColType) + " shift+space");
    });
    int chosen = -1, unchosen = -1;
    When("Shift+Space chose the Generator's row", [&] {
             CGXRangeList ranges;
             return nGenerator > 0 && pDlg->GetGrid().GetSelectedRowRanges(ranges) == 0 &&
                    pDlg->GetGrid().GetSelectedRowsDescending() == std::vector<ROWCOL>{nGenerator} && Settled();
         },
         [&] {
             // The chosen row is lit on the screen, its HTTP-EQUIV cell dark around the box; the
             // row below it is not.
             cairo_surface_t* shot = Shot("metatag-settings-row-chosen");
             if (shot != nullptr) {
                 chosen = WhiteShare(shot, pDlg->GetGrid(), nGenerator, CMetaSettingGridCtrl::kColHttpEquiv);
                 unchosen = WhiteShare(shot, pDlg->GetGrid(), nGenerator + 1, CMetaSettingGridCtrl::kColHttpEquiv);
                 cairo_surface_destroy(shot);
             }
             XdoNow("key Delete");
         });
    // The deleted row's setting is gone, and no row is chosen after it.
    When("Delete deleted the row", [&] {
             CGXRangeList ranges;
             return RowNamed(pDlg->GetGrid(), "Generator") == 0 && pDlg->GetGrid().GetSelectedRowRanges(ranges) != 0 &&
                    Settled();
         },
         [&] { XdoNow("key shift+F10"); });
    When("Shift+F10 opened the commands",
         [&] {
             RECT r{};
             return OpenMenuItem("Add Metatag", &r) != nullptr && ShowsNow();
         },
         [&] { XdoNow("key a"); });
    // Enter on the new row's name, unchanged, takes it; the next Enter is OK.
    When("the menu's Add added a row", [&] { return (nNewTag = RowNamed(pDlg->GetGrid(), "NewTag")) != 0 && Settled(); },
         [&] { XdoNow("key Return"); });
    WhenStored(pDlg, nNewTag, CMetaSettingGridCtrl::kColName, "NewTag", "Return");
    EXPECT_TRUE(StepsTaken()) << "the cell held '" << lastSeen << "'";
    EXPECT_FALSE(ViewableWindowTitled("Metatag Settings - [site.vsl]")) << "OK did not close the dialog";

    EXPECT_NE(note.find("OK saves these settings to '" + SettingsPath() + "', for this project."), std::string::npos) << note;
    EXPECT_EQ(menuItems, (std::vector<std::string>{"&Open Settings File...", "&Save Settings to File...", "&Add Metatag\tIns",
                                                   "&Delete Chosen Metatags\tDel", "&Restore Default Settings...",
                                                   "Disa&ble All Metatags"}));
    EXPECT_LT(chosen, 30) << "the chosen row is not lit";
    EXPECT_GT(unchosen, 70) << "the row below the chosen one is lit";
    EXPECT_TRUE(boxes.Texts().empty()) << boxes.Texts().front();
    CMetaSettingList saved;
    ASSERT_TRUE(Catalogue(SettingsPath(), saved));
    EXPECT_EQ(static_cast<ROWCOL>(saved.GetCount()), nRows + 1);
    EXPECT_NE(Find(saved, typed.c_str()), nullptr) << "the tag added by Insert";
    EXPECT_NE(Find(saved, "NewTag"), nullptr) << "the tag added by the menu";
    EXPECT_EQ(Find(saved, "Generator"), nullptr) << "the tag deleted by Delete";
}

// Insert and Enter take the offered name and leave the dialog open; the new row chosen and
// deleted, the last row left is current, and Shift+F10 opens the commands beside it. OK then
// writes nothing, and the page grid shows the same place as before, its values unchanged.
TEST_F(MetatagSettingsX11Test, EnterTakesTheOfferedNameAndOKKeepsThePageGridsPlace)
{
    ASSERT_TRUE(Start());
    OpenScannedSite(60, {"Description", "Keywords"});
    const std::string catalogue = ReadFile(SettingsPath());
    CMetaSettingDlg* pDlg = nullptr;
    HWND hDlg = nullptr;
    ROWCOL nRows = 0, nAdded = 0;
    CRect menu, cell;
    cairo_surface_t* before = nullptr;
    std::string values;
    const auto gridHasKeys = [&] { return ::GetFocus() == view->GetSafeHwnd() && ProgramHasFocus() && Settled(); };
    // The grid scrolled to its last page, the current cell left of the last column.
    Type("the main window", "^Vostrel -", "ctrl+Home ctrl+shift+End ctrl+c ctrl+End Left");
    const auto atLastPage = [&] { return MainWindowX11Test::IsCurrent(60, view->GetColCount() - 1) && gridHasKeys(); };
    When("the grid stands at its last page", atLastPage, [&] {
        values = clipboard_text::Get(nullptr);
        before = Shot("metatag-settings-place-before");
        XdoNow("key alt+o m");
    });
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        hDlg = pDlg->GetSafeHwnd();
        nRows = pDlg->GetGrid().GetRowCount();
        nAdded = nRows + 1;
        XdoNow("key Insert");
    });
    When("Insert added a row being named", [&] {
             CGXControl* pControl = pDlg->GetGrid().GetControl(nAdded, CMetaSettingGridCtrl::kColName);
             return pControl != nullptr && pControl->IsActive() && Settled();
         },
         [&] { XdoNow("key Return"); });
    // Enter ended the edit and left the dialog open.
    When("Enter took the name", [&] {
             CGXControl* pControl = ::IsWindow(hDlg) ? pDlg->GetGrid().GetControl(nAdded, CMetaSettingGridCtrl::kColName) : nullptr;
             CString strName;
             return pControl != nullptr && !pControl->IsActive() &&
                    pDlg->GetGrid().GetCellText(nAdded, CMetaSettingGridCtrl::kColName, strName) == 0 && strName == "NewTag" &&
                    Settled();
         },
         [&] { XdoNow("key shift+space Delete"); });
    When("the new row is deleted", [&] { return pDlg->GetGrid().GetRowCount() == nRows && Settled(); },
         [&] { XdoNow("key shift+F10"); });
    When("Shift+F10 opened the commands",
         [&] {
             RECT r{};
             return OpenMenuItem("Delete Chosen Metatags", &r) != nullptr && ShowsNow();
         },
         [&] {
             ::GetWindowRect(MenuDriver::OpenMenus().front(), &menu);
             cell = pDlg->GetGrid().CalcCellRect(nRows, CMetaSettingGridCtrl::kColName);
             pDlg->GetGrid().ClientToScreen(&cell);
             XdoNow("key Escape");
         });
    When("the menu is closed", [&] { return MenuDriver::OpenMenus().empty() && Settled(); },
         [&] { XdoNow("key Return"); });
    int nMoved = -1;
    When("OK gave the keys back to the grid", gridHasKeys, [&] {
        cairo_surface_t* after = Shot("metatag-settings-place-after");
        CRect client;
        view->GetClientRect(&client);
        if (before != nullptr && after != nullptr)
            nMoved = DifferentPixels(before, after, view->GetSafeHwnd(), client);
        if (after != nullptr)
            cairo_surface_destroy(after);
        XdoNow("key ctrl+Home ctrl+shift+End ctrl+c");
    });
    When("the grid is copied", [&] { return clipboard_text::Get(nullptr) == values && Settled(); }, [] {});
    EXPECT_TRUE(StepsTaken());
    if (before != nullptr)
        cairo_surface_destroy(before);
    EXPECT_TRUE(menu.left >= cell.left && menu.left < cell.right && menu.top >= cell.top && menu.top <= cell.bottom)
        << "the menu opened at " << menu.left << "," << menu.top << ", away from the last row's cell";
    EXPECT_EQ(nMoved, 0) << "the page grid shows another place after OK";
    EXPECT_NE(values.find("Description of page 60"), std::string::npos) << values;
    EXPECT_EQ(clipboard_text::Get(nullptr), values) << "the pages' values changed";
    EXPECT_TRUE(ReadFile(SettingsPath()) == catalogue) << "OK wrote the catalogue";
}

// OK refuses an empty name, a name a page cannot keep and a name another row has, then a date
// format the date field cannot write, and takes one with the era; each box names the row and the
// rule and leaves the cell current. A new row made a Refresh tag by its type is an HTTP-EQUIV tag, as the built-in one is.
TEST_F(MetatagSettingsX11Test, OKRefusesWhatWouldWriteWrongPages)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    CMetaSettingDlg* pDlg = nullptr;
    ROWCOL nNew = 0, nDate = 0, nKeywords = 0;
    const auto inBox = [&](size_t nBoxes, ROWCOL nRow, ROWCOL nCol) {
        return [&, nBoxes, nRow, nCol] {
            return boxes.Texts().size() == nBoxes && SettingsHaveTheKeys(pDlg)() && IsCurrent(pDlg->GetGrid(), nRow, nCol);
        };
    };
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        nNew = pDlg->GetGrid().GetRowCount() + 1;
        nDate = RowNamed(pDlg->GetGrid(), "dc.date");
        nKeywords = RowNamed(pDlg->GetGrid(), "Keywords");
        XdoNow("key Insert");
    });
    When("Insert added a row being named", [&] { return IsCurrent(pDlg->GetGrid(), nNew, 1) && Settled(); },
         [&] { XdoNow("key --delay 30 ctrl+a BackSpace Return"); });
    WhenStored(pDlg, nNew, CMetaSettingGridCtrl::kColName, "", "Return");
    When("OK refused the empty name", [&] { return inBox(1, nNew, CMetaSettingGridCtrl::kColName)(); },
         [&] { TypeIntoCell(" Leerzeichen", "Return"); });
    WhenStored(pDlg, nNew, CMetaSettingGridCtrl::kColName, " Leerzeichen", "Return");
    When("OK refused the name with a blank before it", [&] { return inBox(2, nNew, CMetaSettingGridCtrl::kColName)(); },
         [&] { TypeIntoCell("keywords", "Return"); });
    WhenStored(pDlg, nNew, CMetaSettingGridCtrl::kColName, "keywords", "Return");
    When("OK refused the second Keywords", [&] { return inBox(3, nNew, CMetaSettingGridCtrl::kColName)(); },
         [&] { TypeIntoCell("N10Refresh", "Return"); });
    WhenStored(pDlg, nNew, CMetaSettingGridCtrl::kColName, "N10Refresh", "Right Right R");
    When("the row became a Refresh tag", [&] {
             CMetaSetting* pSetting = nullptr;
             CString strType;
             return pDlg->GetGrid().GetSettingOfRow(nNew, pSetting) == 0 && pSetting->GetTypeName(strType) == 0 &&
                    strType == "Refresh" && Settled();
         },
         [&] {
             CString strEquiv;
             pDlg->GetGrid().GetCellText(nNew, CMetaSettingGridCtrl::kColHttpEquiv, strEquiv);
             EXPECT_STREQ(strEquiv, "1") << "the new Refresh row is not ticked HTTP-EQUIV";
             XdoNow("key --delay 40" + KeysTo(pDlg->GetGrid(), nDate, CMetaSettingGridCtrl::kColAttributes));
             TypeIntoCell("%Y-%m-%d qq", "Return");
         });
    WhenStored(pDlg, nDate, CMetaSettingGridCtrl::kColAttributes, "%Y-%m-%d qq", "Return");
    When("OK refused the date format", [&] { return inBox(4, nDate, CMetaSettingGridCtrl::kColAttributes)(); },
         [&] { TypeIntoCell("gg yyyy-MM-dd", "Return"); });
    WhenStored(pDlg, nDate, CMetaSettingGridCtrl::kColAttributes, "gg yyyy-MM-dd", "Return");
    EXPECT_TRUE(StepsTaken());
    EXPECT_FALSE(ViewableWindowTitled("Metatag Settings - [site.vsl]")) << "OK did not close the dialog";

    ASSERT_EQ(boxes.Texts().size(), 4u);
    EXPECT_EQ(boxes.Texts()[0], "Row " + std::to_string(nNew) +
                                    " has no name. Every metatag needs a name: type one into the row's Name cell.");
    EXPECT_EQ(boxes.Texts()[1], "The name ' Leerzeichen' in row " + std::to_string(nNew) +
                                    " cannot be the name of a META tag: a page does not keep a blank, tab or line break "
                                    "at the start or end of a name. Take it away from the row's Name cell.");
    EXPECT_EQ(boxes.Texts()[2], "The name 'keywords' in row " + std::to_string(nNew) + " is also the name of row " +
                                    std::to_string(nKeywords) +
                                    ". Each metatag needs a name of its own; names that differ only in upper and lower "
                                    "case are the same name.");
    EXPECT_EQ(boxes.Texts()[3].rfind("The date format '%Y-%m-%d qq' in row " + std::to_string(nDate) +
                                         " (dc.date) cannot be used: 'Y' is no part of a date format",
                                     0),
              0u)
        << boxes.Texts()[3];
    EXPECT_NE(boxes.Texts()[3].find("yy or yyyy (year)"), std::string::npos) << "the box names the formats known";

    CMetaSettingList saved;
    ASSERT_TRUE(Catalogue(SettingsPath(), saved));
    CMetaSetting* pRefresh = Find(saved, "N10Refresh");
    ASSERT_NE(pRefresh, nullptr);
    CString strTag;
    pRefresh->FormatTag("30; URL=next.html", strTag);
    // The project's pages write their tags in capitals.
    EXPECT_STREQ(strTag, "<META HTTP-EQUIV=\"N10Refresh\" CONTENT=\"30; URL=next.html\">");
    auto* pDate = dynamic_cast<CMetaDateSetting*>(Find(saved, "dc.date"));
    ASSERT_NE(pDate, nullptr);
    // The era, which the date field writes and reads, is part of a date format.
    EXPECT_STREQ(pDate->m_strFormat, "gg yyyy-MM-dd");
}

// The dialog fits its columns as it opens, and a row's type changes, while the work looks at the
// queue at every turn and so runs the idle work that frees the temporary objects of the handle
// maps, and whatever runs at a look reads the setting of every row: the columns come out as wide
// as when the work never looked, no row names a deleted setting, and OK saves the row as a tag of
// its new type.
TEST_F(MetatagSettingsX11Test, ColumnsFitAndTypesChangeWhileTheWorkRunsTheIdleWork)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    CMetaSettingDlg* pDlg = nullptr;
    const auto widths = [&] {
        std::vector<int> v;
        for (ROWCOL nCol = 0; nCol <= pDlg->GetGrid().GetColCount(); ++nCol)
            v.push_back(pDlg->GetGrid().GetColWidth(nCol));
        return v;
    };
    std::vector<int> quiet, looking;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        quiet = widths();
        XdoNow("key Return");
    });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ::GetActiveWindow() == Frame().GetSafeHwnd() && Settled(); }))
        << "OK did not close Metatag Settings";
    pDlg = nullptr;

    ROWCOL nGenerator = 0;
    int nFitLooks = 0, nLooksBeforeType = 0, nLooks = 0, nReadings = 0;
    {
        LookAtEveryTurn looks;
        looks.atEachLook = [&] {
            if (pDlg == nullptr || pDlg->GetGrid().GetSafeHwnd() == nullptr)
                return;
            for (ROWCOL nRow = 1; nRow <= pDlg->GetGrid().GetRowCount(); ++nRow) {
                CMetaSetting* pSetting = nullptr;
                CString strType;
                if (pDlg->GetGrid().GetSettingOfRow(nRow, pSetting) == 0 && pSetting->GetTypeName(strType) == 0)
                    ++nReadings;
            }
        };
        Type("the main window", "^Vostrel -", "alt+o m");
        // The steps look on a timer, which the work's looks also let run: each waits for the work
        // to be over, since keys given while it runs are taken out unread.
        const auto idle = [] { return CGXLongOperation::GetLevel() == 0; };
        When("Metatag Settings has the keys again", [&] { return SettingsHaveTheKeys(pDlg)() && idle(); }, [&] {
            looking = widths();
            nFitLooks = looks.Freed("Resizing Columns");
            nLooksBeforeType = looks.Freed();
            nGenerator = RowNamed(pDlg->GetGrid(), "Generator");
            XdoNow("key --delay 40" + KeysTo(pDlg->GetGrid(), nGenerator, CMetaSettingGridCtrl::kColType) + " R");
        });
        When("the Generator row became a Refresh tag", [&] {
                 CMetaSetting* pSetting = nullptr;
                 CString strType;
                 return pDlg->GetGrid().GetSettingOfRow(nGenerator, pSetting) == 0 && pSetting->GetTypeName(strType) == 0 &&
                        strType == "Refresh" && idle() && Settled();
             },
             [&] {
                 nLooks = looks.Freed();
                 XdoNow("key Left");
             });
        When("the row's Show cell is current",
             [&] { return IsCurrent(pDlg->GetGrid(), nGenerator, CMetaSettingGridCtrl::kColShow) && idle() && Settled(); },
             [&] { XdoNow("key Return"); });
        EXPECT_TRUE(StepsTaken());
    }
    EXPECT_FALSE(ViewableWindowTitled("Metatag Settings - [site.vsl]")) << "OK did not close the dialog";
    EXPECT_GT(nFitLooks, 0) << "the fit never ran the idle work";
    EXPECT_GT(nLooks, nLooksBeforeType) << "the type change never ran the idle work";
    EXPECT_GT(nReadings, 0);
    EXPECT_EQ(looking, quiet);
    CMetaSettingList saved;
    ASSERT_TRUE(Catalogue(SettingsPath(), saved));
    CMetaSetting* pGenerator = Find(saved, "Generator");
    ASSERT_NE(pGenerator, nullptr);
    CString strType;
    pGenerator->GetTypeName(strType);
    EXPECT_STREQ(strType, "Refresh");
}

// A catalogue file cut short at start-up is kept aside beside an earlier damaged copy, which
// stays as it was; the one box names both files, and the defaults saved in its place keep what
// the user changes in Metatag Settings from New Project. Its Save lists that file.
TEST_F(MetatagSettingsX11Test, ADamagedCatalogueIsKeptAsideAndTheNewOneSaved)
{
    const std::string config = dir.Path() + "/config/vostrel";
    std::filesystem::create_directories(config);
    const std::string file = config + "/VOSTREL.VSL";
    CMetaSettingList defaults;
    defaults.SetDefaults();
    ASSERT_EQ(defaults.SaveToFile(CString(file.c_str())), 0u);
    const std::string whole = ReadFile(file);
    const std::string cut = whole.substr(0, whole.size() / 2);
    std::ofstream(file, std::ios::binary | std::ios::trunc) << cut;
    std::ofstream(file + ".damaged", std::ios::binary) << "an earlier copy";

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Start());
    ASSERT_EQ(boxes.Texts().size(), 1u);
    EXPECT_EQ(boxes.Texts()[0], "The file of your metatag settings, '" + file +
                                    "', is damaged: Vostrel cannot read it.\n\nVostrel starts with the default metatag "
                                    "settings and keeps them, and the changes you make to them, in that file. The "
                                    "damaged file was kept as '" + file + ".damaged.2'.");
    EXPECT_EQ(ReadFile(file + ".damaged"), "an earlier copy");
    EXPECT_EQ(ReadFile(file + ".damaged.2"), cut);

    CNewProjectDlg* pNew = nullptr;
    CMetaSettingDlg* pDlg = nullptr;
    Type("the main window", "^Vostrel", "ctrl+n");
    When("New Project is shown", [&] {
             pNew = dynamic_cast<CNewProjectDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
             return pNew != nullptr && Matches(FocusedTitle(), "^New Project") && Settled();
         },
         [&] { ClickAt(CentreOnScreen(pNew->GetDlgItem(CNewProjectDlg::kIdMetaSettings)->GetSafeHwnd()), 1, 1); });
    // The menu's Save lists the catalogue files of the settings folder, whatever the case of
    // their names; the damaged copies are none.
    std::vector<std::string> listed;
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] { XdoNow("key Menu"); });
    When("the menu key opened the commands",
         [&] {
             RECT r{};
             return OpenMenuItem("Save Settings to File...", &r) != nullptr && ShowsNow();
         },
         [&] { XdoNow("key s"); });
    When("the save dialog lists the folder's files", [&] {
             HWND hSave = ::GetActiveWindow();
             HWND hList = ::GetDlgItem(hSave, lst1);
             listed.clear();
             const int nCount = hList != nullptr ? static_cast<int>(::SendMessage(hList, LB_GETCOUNT, 0, 0)) : 0;
             for (int i = 0; i < nCount; ++i) {
                 char text[256] = {};
                 ::SendMessage(hList, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
                 listed.emplace_back(text);
             }
             return Matches(FocusedTitle(), "^Save As Metatag Settings$") && hList != nullptr && Settled();
         },
         [&] { XdoNow("key Escape"); });
    When("Metatag Settings has the keys again", SettingsHaveTheKeys(pDlg), [&] { XdoNow("key Insert"); });
    // Enter on the new row's name, unchanged, takes it; the next Enter is OK.
    ROWCOL nNewTag = 0;
    When("Insert added a row", [&] { return (nNewTag = RowNamed(pDlg->GetGrid(), "NewTag")) != 0 && Settled(); },
         [&] { XdoNow("key Return"); });
    WhenStored(pDlg, nNewTag, CMetaSettingGridCtrl::kColName, "NewTag", "Return");
    Type("New Project", "^New Project", "Escape");
    EXPECT_TRUE(StepsTaken());
    EXPECT_EQ(listed, std::vector<std::string>{"VOSTREL.VSL"});
    EXPECT_EQ(boxes.Texts().size(), 1u) << "a second box: " << boxes.Texts().back();
    CMetaSettingList saved;
    ASSERT_TRUE(Catalogue(file, saved));
    EXPECT_EQ(saved.GetCount(), defaults.GetCount() + 1);
    EXPECT_NE(Find(saved, "NewTag"), nullptr) << "the change made in Metatag Settings was not kept";
}

// After a scan of a page that carries the name "Q&amp;A", OK takes the catalogue with the name the
// scan read ("Q&A") and a typed name with quotation marks; both are written escaped into the pages
// saved, and only the values typed change the pages' bytes. The catalogue file, saved earlier with
// the Refresh row as a NAME tag, shows it as HTTP-EQUIV and writes it so. A 300-character name
// leaves the columns after it in sight, and the box that refuses it (a blank at its end) stays
// inside the screen, its text wrapped.
TEST_F(MetatagSettingsX11Test, ANameThePagesCarryIsTakenAndWrittenEscaped)
{
    const std::string quoted = "Zitat \"ja\" ß", greek = "Ωμέγα";
    X11KeyboardLetters letters(other, quoted + greek);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    // One line each, LF, as generators write them.
    const std::string pageA = "<html><head><meta charset=\"utf-8\"><title>Fragen &mdash; Antworten</title>"
                              "<meta name=\"Q&amp;A\" content=\"Frage &amp; Antwort\"></head><body><p>Q&amp;A</p>"
                              "</body></html>\n";
    const std::string pageB = "<html><head><meta charset=\"utf-8\"><title>Zweite Seite ß</title></head><body>b</body></html>\n";
    std::ofstream(site + "/a.htm", std::ios::binary) << pageA;
    std::ofstream(site + "/b.htm", std::ios::binary) << pageB;
    std::string longName;
    while (longName.size() < 299)
        longName += "Langer-Name-";
    longName = longName.substr(0, 299) + " ";
    {
        // The catalogue as an earlier version saved it: Refresh a NAME tag, not locked.
        std::filesystem::create_directories(dir.Path() + "/config");
        CMetaSettingList* pList = nullptr;
        ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
        CMetaSetting* pRefresh = Find(*pList, "Refresh");
        ASSERT_NE(pRefresh, nullptr);
        pRefresh->SetHttpEquiv(0);
        pRefresh->SetFixed(0);
        pRefresh->SetShow(1);
        auto pLong = std::make_unique<CMetaEditSetting>();
        pLong->SetName(CString(longName.c_str()));
        pList->AddTail(pLong.release());
        ASSERT_EQ(pList->SaveToFile(CString(SettingsPath().c_str())), 0u);
    }
    OpenSiteProject(0);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2 && Settled(); }))
        << "the scan of the site did not end";

    CMetaSettingDlg* pDlg = nullptr;
    ROWCOL nLong = 0, nQa = 0, nQuoted = 0;
    std::string refreshForm, boxText;
    CRect nameCell, showCell, gridClient, boxLabel, boxFrame;
    XWindowAttributes box{};
    std::optional<X11MessageBoxAnswerer> boxes;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        CMetaSettingGridCtrl& grid = pDlg->GetGrid();
        nLong = RowNamed(grid, longName.c_str());
        nQa = RowNamed(grid, "Q&A");
        CString strText;
        grid.GetCellText(RowNamed(grid, "Refresh"), CMetaSettingGridCtrl::kColHttpEquiv, strText);
        refreshForm = strText.GetString();
        nameCell = grid.CalcCellRect(1, CMetaSettingGridCtrl::kColName);
        showCell = grid.CalcCellRect(1, CMetaSettingGridCtrl::kColShow);
        grid.GetClientRect(&gridClient);
        if (cairo_surface_t* shot = Shot("metatag-settings-long-name"))
            cairo_surface_destroy(shot);
        XdoNow("key Return");
    });
    // The box refusing the long name, measured on the server, then answered.
    When("a box refused the long name", [&] {
             HWND hBox = ::GetActiveWindow();
             HWND hText = ::GetDlgItem(hBox, kMessageBoxTextId);
             Window focus = 0;
             int revert = 0;
             XGetInputFocus(other, &focus, &revert);
             if (hText == nullptr || focus != backend->XWindowOf(hBox) || !ShowsNow())
                 return false;
             char text[2048] = {};
             ::GetWindowText(hText, text, sizeof text);
             boxText = text;
             ::GetWindowRect(hText, &boxLabel);
             ::GetWindowRect(hBox, &boxFrame);
             return XGetWindowAttributes(other, backend->XWindowOf(hBox), &box) != 0;
         },
         [&] {
             if (cairo_surface_t* shot = Shot("metatag-settings-long-name-box"))
                 cairo_surface_destroy(shot);
             XdoNow("key Return");
             // Any box after this one is answered too, and counted: none should come.
             boxes.emplace(*backend, server->DisplayName());
         });
    // The blank taken off the name's end; a name typed with quotation marks; Q&A shown.
    When("the long name's cell is current", [&] {
             return SettingsHaveTheKeys(pDlg)() && IsCurrent(pDlg->GetGrid(), nLong, CMetaSettingGridCtrl::kColName);
         },
         [&] { XdoNow("key --delay 40 F2 End BackSpace Return"); });
    WhenStored(pDlg, nLong, CMetaSettingGridCtrl::kColName, longName.substr(0, 299), "Insert");
    When("Insert added a row being named", [&] {
             nQuoted = pDlg->GetGrid().GetRowCount();
             CGXControl* pControl = pDlg->GetGrid().GetControl(nQuoted, CMetaSettingGridCtrl::kColName);
             return nQuoted > nQa && IsCurrent(pDlg->GetGrid(), nQuoted, 1) && pControl != nullptr && pControl->IsActive() &&
                    Settled();
         },
         [&] { TypeIntoCell(quoted, "Return", true); });
    When("the quoted name is stored", [&] {
             CString strText;
             CGXControl* pControl = pDlg->GetGrid().GetControl(nQuoted, CMetaSettingGridCtrl::kColName);
             return pDlg->GetGrid().GetCellText(nQuoted, CMetaSettingGridCtrl::kColName, strText) == 0 &&
                    strText == quoted.c_str() && (pControl == nullptr || !pControl->IsActive()) && Settled();
         },
         [&] { XdoNow("key --delay 40" + KeysTo(pDlg->GetGrid(), nQa, CMetaSettingGridCtrl::kColShow) + " space"); });
    When("Q&A is ticked to be shown", [&] {
             CString strShow;
             pDlg->GetGrid().GetCellText(nQa, CMetaSettingGridCtrl::kColShow, strShow);
             return strShow == "1" && Settled();
         },
         [&] { XdoNow("key Return"); });
    When("OK closed the dialog",
         [&] { return ProgramHasFocus() && !ViewableWindowTitled("Metatag Settings - [site.vsl]") && Settled(); }, [] {});
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(boxes.has_value());
    EXPECT_TRUE(boxes->Texts().empty()) << boxes->Texts().front();
    ASSERT_EQ(app->ActivateGroupView(view), 0u);

    EXPECT_NE(nQa, 0u) << "the scan added no Q&A row";
    EXPECT_EQ(refreshForm, "1") << "the Refresh row is not an HTTP-EQUIV tag";
    EXPECT_LE(nameCell.Width(), gridClient.Width() / 2) << "the Name column is " << nameCell.Width() << " wide";
    EXPECT_LE(showCell.right, gridClient.right) << "the Show column is out of sight";
    EXPECT_EQ(boxText.rfind("The name '" + longName + "' in row " + std::to_string(nLong), 0), 0u) << boxText;
    const int nScreen = DisplayWidth(other, DefaultScreen(other));
    EXPECT_GE(box.x, 0);
    EXPECT_LE(box.x + box.width, nScreen) << "the box is " << box.width << " wide on a screen " << nScreen << " wide";
    EXPECT_GT(box.height, 3 * 16) << "the box's text is not wrapped";
    EXPECT_LT(boxLabel.right, boxFrame.right) << "the box's text runs past its right edge";

    // The values typed into the pages' cells by the keys, and the save.
    ASSERT_TRUE(TypeIntoPageCell("a.htm", "Q&A", "neu & mehr")) << "the Q&A value was not typed";
    ASSERT_TRUE(TypeIntoPageCell("b.htm", "Refresh", "30")) << "the Refresh value was not typed";
    ASSERT_TRUE(TypeIntoPageCell("b.htm", quoted.c_str(), greek)) << "the value of the quoted name was not typed";
    ASSERT_TRUE(XdoNow("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "Save Edited Files did not save";
    EXPECT_EQ(ReadFile(site + "/a.htm"),
              "<html><head><meta charset=\"utf-8\"><title>Fragen &mdash; Antworten</title>"
              "<meta name=\"Q&amp;A\" content=\"neu &amp; mehr\"></head><body><p>Q&amp;A</p></body></html>\n");
    EXPECT_EQ(ReadFile(site + "/b.htm"),
              "<html><head><meta charset=\"utf-8\"><title>Zweite Seite ß</title>\n"
              "<meta http-equiv=\"Refresh\" content=\"30\">\n"
              "<meta name=\"Zitat &quot;ja&quot; ß\" content=\"Ωμέγα\">\n</head><body>b</body></html>\n");

    CMetaSettingList saved;
    ASSERT_TRUE(Catalogue(SettingsPath(), saved));
    EXPECT_NE(Find(saved, "Q&A"), nullptr);
    EXPECT_NE(Find(saved, quoted.c_str()), nullptr);
    EXPECT_NE(Find(saved, longName.substr(0, 299).c_str()), nullptr);
}

// Delete does what the menu names it for: with no row chosen, the Delete key on a cell and
// Delete Chosen Metatags from the menu key each delete the current row's metatag once the
// user agrees; inside a name's edit Delete takes a letter of the text. OK writes the catalogue
// without the two deleted tags and with the name as typed.
TEST_F(MetatagSettingsX11Test, DeleteWithNoRowChosenDeletesTheCurrentRowAfterAsking)
{
    const std::string typed = "Ωμέγα-東京-ß";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    OpenSite(false);
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
    CMetaSettingDlg* pDlg = nullptr;
    ROWCOL nRows = 0, nGenerator = 0, nNew = 0;
    std::string above;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        nRows = pDlg->GetGrid().GetRowCount();
        nGenerator = RowNamed(pDlg->GetGrid(), "Generator");
        XdoNow("key --delay 40" + KeysTo(pDlg->GetGrid(), nGenerator, CMetaSettingGridCtrl::kColDescription));
    });
    When("the Generator's description is current",
         [&] { return nGenerator > 0 && IsCurrent(pDlg->GetGrid(), nGenerator, CMetaSettingGridCtrl::kColDescription) && Settled(); },
         [&] { XdoNow("key Delete"); });
    When("Delete deleted the Generator's row", [&] {
             return boxes.Texts().size() == 1 && RowNamed(pDlg->GetGrid(), "Generator") == 0 && SettingsHaveTheKeys(pDlg)();
         },
         [&] {
             nNew = pDlg->GetGrid().GetRowCount() + 1;
             XdoNow("key Insert");
         });
    When("Insert added a row being named", [&] {
             CGXControl* pControl = pDlg->GetGrid().GetControl(nNew, CMetaSettingGridCtrl::kColName);
             return IsCurrent(pDlg->GetGrid(), nNew, CMetaSettingGridCtrl::kColName) && pControl != nullptr &&
                    pControl->IsActive() && Settled();
         },
         [&] { TypeIntoCell("X" + typed, "Home Delete Return", true); });
    WhenStored(pDlg, nNew, CMetaSettingGridCtrl::kColName, typed, "Up Menu");
    When("the menu key opened the commands",
         [&] {
             RECT r{};
             return OpenMenuItem("Delete Chosen Metatags", &r) != nullptr && ShowsNow();
         },
         [&] {
             CString strName;
             pDlg->GetGrid().GetCellText(nNew - 1, CMetaSettingGridCtrl::kColName, strName);
             above = strName.GetString();
             XdoNow("key d");
         });
    When("the menu's Delete deleted the row above", [&] {
             return boxes.Texts().size() == 2 && !above.empty() && RowNamed(pDlg->GetGrid(), above.c_str()) == 0 &&
                    SettingsHaveTheKeys(pDlg)();
         },
         [&] { XdoNow("key Return"); });
    EXPECT_TRUE(StepsTaken()) << "the cell held '" << lastSeen << "'";
    EXPECT_FALSE(ViewableWindowTitled("Metatag Settings - [site.vsl]")) << "OK did not close the dialog";
    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(boxes.Texts()[0], "Delete the metatag 'Generator' in row " + std::to_string(nGenerator) + "?");
    EXPECT_EQ(boxes.Texts()[1], "Delete the metatag '" + above + "' in row " + std::to_string(nNew - 1) + "?");
    CMetaSettingList saved;
    ASSERT_TRUE(Catalogue(SettingsPath(), saved));
    EXPECT_EQ(static_cast<ROWCOL>(saved.GetCount()), nRows - 1);
    EXPECT_EQ(Find(saved, "Generator"), nullptr) << "the tag deleted by the Delete key";
    EXPECT_EQ(Find(saved, above.c_str()), nullptr) << "the tag deleted from the menu";
    EXPECT_NE(Find(saved, typed.c_str()), nullptr) << "the name typed, less the letter Delete took";
}

// Deleting a metatag, and renaming one, changes the catalogue, not the pages. Values typed into
// the Description and Author cells go when the Del key deletes Description and Author is renamed,
// once the user agrees at OK, and leave no step of undo behind: two Ctrl+Z and two Ctrl+Y go back
// and forth over the Keywords typed alone. The pages keep every tag of those names byte for
// byte, repeated or not, and Ctrl+T writes only the Keywords typed.
TEST_F(MetatagSettingsX11Test, DeletingOrRenamingAMetatagLeavesThePagesTagsAsTheyAre)
{
    const std::string single = "<html><head><meta charset=\"utf-8\"><title>Eins &mdash; Zwei</title>"
                               "<meta name=\"description\" content=\"only one\"><meta name=\"author\" content=\"Ann\">"
                               "<script>var t = \"<meta>\";</script></head><body><p>&mdash;</p></body></html>\n";
    const std::string dup = "<html>\r\n<head>\r\n<title>Doppelt</title>\r\n<meta name=\"description\" content=\"first\">\r\n"
                            "<meta name=\"keywords\" content=\"red\">\r\n<META NAME=\"Description\" CONTENT=\"second\">\r\n"
                            "</head>\r\n<body>text</body>\r\n</html>\r\n";
    const std::string onlyEdited = "only edited \xC3\xA9\xC3\x9F", firstEdited = "first edited \xCE\xA9 \xE6\x9D\xB1",
                      author = "\xCE\x91\xCE\xBD\xCE\xBD\xCE\xB1", keywords = "gr\xC3\xBCn, \xE6\x9D\xB1\xE4\xBA\xAC",
                      renamed = "Verfasser-\xC3\x9F";
    X11KeyboardLetters letters(other, onlyEdited + firstEdited + author + keywords + renamed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(Start());
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::ofstream(site + "/singleB.html", std::ios::binary) << single;
    std::ofstream(site + "/dupA.html", std::ios::binary) << dup;
    SaveCatalogueShowing({"Author", "Description", "Keywords"});
    OpenSiteProject(0);
    Frame().SendMessage(WM_COMMAND, ID_START_SCAN);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == 2 && Settled(); }))
        << "the scan of the site did not end";
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(TypeIntoPageCell("singleB.html", "Description", onlyEdited));
    ASSERT_TRUE(TypeIntoPageCell("singleB.html", "Author", author));
    ASSERT_TRUE(TypeIntoPageCell("dupA.html", "Description", firstEdited));
    ASSERT_TRUE(TypeIntoPageCell("dupA.html", "Keywords", keywords));

    X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
    CMetaSettingDlg* pDlg = nullptr;
    ROWCOL nAuthor = 0, nDescription = 0;
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys", SettingsHaveTheKeys(pDlg), [&] {
        nAuthor = RowNamed(pDlg->GetGrid(), "Author");
        nDescription = RowNamed(pDlg->GetGrid(), "Description");
        XdoNow("key --delay 40" + KeysTo(pDlg->GetGrid(), nAuthor, CMetaSettingGridCtrl::kColName));
    });
    When("the Author's name is current",
         [&] { return nAuthor > 0 && IsCurrent(pDlg->GetGrid(), nAuthor, CMetaSettingGridCtrl::kColName) && Settled(); },
         [&] { TypeIntoCell(renamed, "Return"); });
    WhenStored(pDlg, nAuthor, CMetaSettingGridCtrl::kColName, renamed, "Down Down Down Down");
    When("Description's row is current", [&] {
             return nDescription == nAuthor + 4 && IsCurrent(pDlg->GetGrid(), nDescription, CMetaSettingGridCtrl::kColName) &&
                    Settled();
         },
         [&] { XdoNow("key Delete"); });
    When("Delete deleted Description's row", [&] {
             return boxes.Texts().size() == 1 && RowNamed(pDlg->GetGrid(), "Description") == 0 && SettingsHaveTheKeys(pDlg)();
         },
         [&] { XdoNow("key Return"); });
    When("OK closed the dialog and the grid has the keys", [&] {
             return !ViewableWindowTitled("Metatag Settings - [site.vsl]") && ::GetFocus() == view->GetSafeHwnd() &&
                    ProgramHasFocus() && Settled();
         },
         [] {});
    ASSERT_TRUE(StepsTaken());
    const ROWCOL nDupA = RowOf("dupA.html"), nKeywords = ColumnOf("Keywords");
    ASSERT_TRUE(Xdo("key ctrl+z ctrl+z") && RunUntil([&] { return view->GetCellValue(nDupA, nKeywords) == "red" && Settled(); }));
    ASSERT_TRUE(Xdo("key ctrl+y ctrl+y") &&
                RunUntil([&] { return view->GetCellValue(nDupA, nKeywords) == keywords.c_str() && Settled(); }));
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return app->IsEdited() == 3 && Settled(); })) << "Save Edited Files did not save";

    ASSERT_EQ(boxes.Texts().size(), 2u);
    EXPECT_EQ(boxes.Texts()[0], "Delete the metatag 'Description' in row " + std::to_string(nDescription) + "?");
    EXPECT_EQ(boxes.Texts()[1], "Pages hold unsaved edits of metatags that these settings no longer have:\n\n"
                                "'Author' on 1 page\n'Description' on 2 pages\n\nWithout their columns these edits can be "
                                "neither seen nor saved, so they are dropped; the pages keep their tags of those names as "
                                "they are. Drop the edits?\n\nNo goes back to the settings, where Cancel keeps the edits for "
                                "Save Edited Files.");
    EXPECT_EQ(ReadFile(site + "/singleB.html"), single);
    EXPECT_FALSE(std::filesystem::exists(site + "/singleB.html.old")) << "a page without edits was saved";
    // A page that declares no charset gets the letters beyond ASCII as references.
    std::string saved = dup;
    saved.replace(saved.find("\"red\""), 5, "\"gr&#252;n, &#26481;&#20140;\"");
    EXPECT_EQ(ReadFile(site + "/dupA.html"), saved);
    // Nothing was taken out of the pages, and no edit was left to the save to refuse.
    for (const std::string& line : OutputLines())
        EXPECT_TRUE(line.find("META tag") == std::string::npos && line.find("Not written") == std::string::npos) << line;
    CMetaSettingList catalogue;
    ASSERT_TRUE(Catalogue(SettingsPath(), catalogue));
    EXPECT_EQ(Find(catalogue, "Description"), nullptr);
    EXPECT_NE(Find(catalogue, renamed.c_str()), nullptr);
}
