// Tool tips as the user meets them on the X server: over the toolbar buttons, whichever way
// the pointer comes, and over the column headers: a long description wrapped, none left up by
// a column's resizing, none left once a description is emptied.
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CMetaSettingGridCtrl.h"
#include "tests/app/UserStepsX11Fixture.h"

#include "platform/afx/wnd/AfxThreadState.h"
#include "platform/controls/ToolTip.h"

namespace {

class MainWindowTipsX11Test : public MainWindowStepsX11Test {
protected:
    static HWND Tip() { return AfxGetThreadState()->m_hToolTip; }
    // Whether the thread's tool tip is up on the screen (mapped by the server, not only shown
    // by the program), and what it says.
    bool TipOnScreen(std::string* text = nullptr)
    {
        HWND tip = Tip();
        if (!tip || !IsWindowVisible(tip))
            return false;
        XWindowAttributes attrs{};
        if (!XGetWindowAttributes(other, backend->XWindowOf(tip), &attrs) || attrs.map_state != IsViewable)
            return false;
        if (text) {
            TOOLINFO info{};
            info.cbSize = sizeof info;
            char buffer[512] = {};
            if (!SendMessage(tip, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&info)))
                return false;
            info.lpszText = buffer;
            SendMessage(tip, TTM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(&info));
            *text = buffer;
        }
        return true;
    }
};

} // namespace

// The pointer comes from the grid or from the Project Area's tree onto a button and rests
// there: the button's tip comes up, for the main window's commands and the grid's alike.
TEST_F(MainWindowTipsX11Test, ToolbarButtonsShowTheirTips)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    struct Case {
        UINT nCommand;
        POINT from;
        const char* pszTip;
    };
    const POINT grid = CellOnScreen(RowOf("a.htm"), ColumnOf("Title"));
    const POINT tree = CentreOnScreen(Frame().GetProjectAreaBar()->GetTree().GetSafeHwnd());
    for (const Case& c : {Case{ID_NEW_PROJECT, grid, "New Project"}, Case{ID_FILE_PRINT, tree, "Print"},
                          Case{ID_EDIT_COPY, grid, "Copy"}, Case{ID_START_SCAN, tree, "Start Scan"},
                          Case{ID_CONTEXT_HELP, grid, "Help"}}) {
        SCOPED_TRACE(c.pszTip);
        ASSERT_TRUE(MoveTo(c.from));
        ASSERT_TRUE(RunUntil([&] { return !TipOnScreen(); })) << "a tip stayed up";
        const POINT button = ButtonOnScreen(ID_VIEW_TOOLBARS, c.nCommand);
        ASSERT_TRUE(MoveTo(POINT{button.x + 3, button.y - 3}));
        ASSERT_TRUE(MoveTo(button));
        std::string text;
        EXPECT_TRUE(RunUntil([&] { return TipOnScreen(&text); })) << "no tip came up";
        EXPECT_EQ(text, c.pszTip);
        EXPECT_FALSE(Frame().GetStatusBar().GetPaneText(0).IsEmpty()) << "the button's prompt in the message pane";
        // On the screen: the tip's one line of text.
        ASSERT_TRUE(Quiet());
        cairo_surface_t* shot = Shot("toolbar-tip");
        ASSERT_NE(shot, nullptr);
        CRect tip;
        ::GetWindowRect(Tip(), &tip);
        EXPECT_EQ(screen_capture::TipLinesShown(shot, tip), 1);
        cairo_surface_destroy(shot);
    }
    // Away from the buttons the message pane is ready again.
    ASSERT_TRUE(MoveTo(grid));
    EXPECT_TRUE(RunUntil([&] { return Frame().GetStatusBar().GetPaneText(0) == "Ready"; }))
        << Frame().GetStatusBar().GetPaneText(0).GetString();
    ASSERT_TRUE(Quiet());
}

// A column widened by dragging its header's border over the next header: while the border is
// held no header's tip waits to come up, so none is left up over the widened column telling of
// the header that stood there before; once the pointer moves on the widened header, its own
// tip comes up.
TEST_F(MainWindowTipsX11Test, AColumnResizedByItsBorderLeavesNoOtherHeadersTip)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    Frame().ShowWindow(SW_MAXIMIZE);
    ASSERT_TRUE(Quiet());
    const ROWCOL nKeywords = ColumnOf("Keywords");
    const ROWCOL nNext = nKeywords + 1;
    ASSERT_EQ(nNext, ColumnOf("Description"));
    const CRect before = view->CalcCellRect(0, nKeywords);
    const HWND hGrid = view->GetSafeHwnd();
    const POINT border = ScreenPoint(hGrid, before.right - 1, before.CenterPoint().y);
    const POINT over = POINT{border.x + 30, border.y};
    ASSERT_LT(over.x, ScreenPoint(hGrid, view->CalcCellRect(0, nNext).right, 0).x) << "the drag does not reach Description";
    // The drag's line: a column of dark pixels down to the last row, more than text makes.
    const POINT top = ScreenPoint(hGrid, 0, before.top);
    const POINT bottom = ScreenPoint(hGrid, 0, view->CalcCellRect(view->GetRowCount(), 1).bottom);
    const auto lineAt = [&](int x) {
        cairo_surface_t* shot = Shot();
        int nBest = 0;
        for (int dx = -2; shot != nullptr && dx <= 2; ++dx) {
            int nDark = 0;
            for (int y = top.y; y < bottom.y; ++y) {
                const uint32_t pixel = screen_capture::PixelAt(shot, x + dx, y);
                nDark += ((pixel >> 16) & 0xFF) + ((pixel >> 8) & 0xFF) + (pixel & 0xFF) < 3 * 100;
            }
            nBest = std::max(nBest, nDark);
        }
        if (shot)
            cairo_surface_destroy(shot);
        return nBest >= (bottom.y - top.y) / 2;
    };
    ASSERT_FALSE(lineAt(over.x)) << "a line stands where the drag's line will";
    ASSERT_TRUE(MoveTo(border));
    ASSERT_TRUE(XdoNow("mousedown 1"));
    ASSERT_TRUE(MoveTo(POINT{border.x + 15, border.y}));
    ASSERT_TRUE(MoveTo(over));
    ASSERT_TRUE(RunUntil([&] { return lineAt(over.x); })) << "the drag's line never came under the pointer";
    // The move over Description has been taken; what a tip waiting for it would show, shows once
    // the tip's delay is past.
    const UINT nDelay = static_cast<UINT>(SendMessage(Tip(), TTM_GETDELAYTIME, TTDT_INITIAL, 0));
    ASSERT_TRUE(RunPastTimersDueWithin(nDelay));
    EXPECT_FALSE(::IsWindowVisible(Tip())) << "a tip came up during the drag";
    ASSERT_TRUE(XdoNow("mouseup 1"));
    ASSERT_TRUE(RunUntil([&] { return view->CalcCellRect(0, nKeywords).Width() > before.Width() + 20; }))
        << "the column was not widened";
    ASSERT_TRUE(Quiet());
    // The pointer rests on the widened header: no other header's tip is up over it.
    ASSERT_TRUE(RunPastTimersDueWithin(nDelay));
    std::string text;
    EXPECT_FALSE(::IsWindowVisible(Tip()) && TipOnScreen(&text)) << "a tip is up over the widened header: " << text;

    // On the widened header, where Description's header stood, the tip is Keywords'.
    ASSERT_TRUE(MoveTo(POINT{over.x - 6, over.y}));
    ASSERT_TRUE(RunUntil([&] { return TipOnScreen(&text); })) << "no tip came up";
    CString strKeywords;
    CMetaSettingList* pList = nullptr;
    CMetaSetting* pSetting = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    ASSERT_EQ(pList->FindByName("Keywords", pSetting), 0u);
    pSetting->GetDescription(strKeywords);
    EXPECT_EQ(text, std::string(strKeywords));
    cairo_surface_t* shot = Shot("resized-header-tip");
    if (shot)
        cairo_surface_destroy(shot);
}

// Keywords' description emptied in Metatag Settings: the grid's columns come back and the
// Keywords header shows no tip any more, not the description it had; Description's still does.
TEST_F(MainWindowTipsX11Test, AHeaderWhoseDescriptionWasEmptiedShowsNoTip)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    Frame().ShowWindow(SW_MAXIMIZE);
    ASSERT_TRUE(Quiet());
    const auto hover = [&](const char* pszName) {
        const POINT header = CellOnScreen(0, ColumnOf(pszName));
        return MoveTo(POINT{header.x + 3, header.y + 3}) && MoveTo(header);
    };
    const POINT away = CellOnScreen(1, ColumnOf("Title"));
    ASSERT_TRUE(hover("Keywords"));
    ASSERT_TRUE(RunUntil([&] { return TipOnScreen(); })) << "Keywords shows no tip to begin with";
    ASSERT_TRUE(MoveTo(away));
    ASSERT_TRUE(RunUntil([&] { return !::IsWindowVisible(Tip()); }));

    CMetaSettingDlg* pSettings = nullptr;
    ROWCOL nKeywordsRow = 0;
    const auto onDescription = [&] {
        ROWCOL nRow = 0, nCol = 0;
        return pSettings->GetGrid().GetCurrentCell(nRow, nCol) && nRow == nKeywordsRow &&
               nCol == CMetaSettingGridCtrl::kColDescription;
    };
    Type("the main window", "^Vostrel -", "alt+o m");
    When("Metatag Settings has the keys",
         [&] {
             pSettings = dynamic_cast<CMetaSettingDlg*>(CWnd::FromHandlePermanent(::GetActiveWindow()));
             return pSettings != nullptr && ShowsNow();
         },
         [&] {
             CMetaSettingGridCtrl& grid = pSettings->GetGrid();
             for (ROWCOL nRow = 1; nRow <= grid.GetRowCount() && nKeywordsRow == 0; ++nRow) {
                 CString strName;
                 grid.GetCellText(nRow, CMetaSettingGridCtrl::kColName, strName);
                 if (strName == "Keywords")
                     nKeywordsRow = nRow;
             }
             XdoNow("key Down");
         });
    When("the settings grid has a current cell",
         [&] {
             ROWCOL nRow = 0, nCol = 0;
             return pSettings->GetGrid().GetCurrentCell(nRow, nCol) && nRow > 0;
         },
         [&] {
             ROWCOL nRow = 0, nCol = 0;
             pSettings->GetGrid().GetCurrentCell(nRow, nCol);
             std::string keys;
             for (; nRow < nKeywordsRow; ++nRow)
                 keys += " Down";
             for (; nCol < CMetaSettingGridCtrl::kColDescription; ++nCol)
                 keys += " Right";
             XdoNow("key --delay 50" + keys);
         });
    // The text is taken away in the cell's edit: Delete on the cell would delete the metatag.
    When("Keywords' description is current", onDescription, [&] { XdoNow("key --delay 50 F2 ctrl+a BackSpace Return"); });
    When("the description is emptied",
         [&] {
             CString strText;
             pSettings->GetGrid().GetCellText(nKeywordsRow, CMetaSettingGridCtrl::kColDescription, strText);
             return strText.IsEmpty();
         },
         [&] { ClickAt(CentreOnScreen(::GetDlgItem(pSettings->GetSafeHwnd(), IDOK)), 1, 1); });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus() && ::GetActiveWindow() == Frame().GetSafeHwnd(); }))
        << "Metatag Settings stayed";
    ASSERT_TRUE(Quiet());
    CMetaSettingList* pList = nullptr;
    CMetaSetting* pSetting = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    ASSERT_EQ(pList->FindByName("Keywords", pSetting), 0u);
    CString strDescription;
    pSetting->GetDescription(strDescription);
    ASSERT_TRUE(strDescription.IsEmpty()) << "the description was not emptied: " << strDescription.GetString();

    ASSERT_TRUE(hover("Keywords"));
    ASSERT_TRUE(RunPastTimersDueWithin(static_cast<UINT>(SendMessage(Tip(), TTM_GETDELAYTIME, TTDT_INITIAL, 0))));
    std::string text;
    EXPECT_FALSE(::IsWindowVisible(Tip()) && TipOnScreen(&text)) << "Keywords still shows a tip: " << text;
    ASSERT_TRUE(hover("Description"));
    ASSERT_TRUE(RunUntil([&] { return TipOnScreen(&text); })) << "Description shows no tip";
    ASSERT_EQ(pList->FindByName("Description", pSetting), 0u);
    pSetting->GetDescription(strDescription);
    EXPECT_EQ(text, std::string(strDescription));
}

// A header whose setting has a long description shows it in a tip of readable width, on
// several lines, not on one line across the screen.
TEST_F(MainWindowTipsX11Test, ALongHeaderTipWrapsAtAReadableWidth)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    CMetaSettingList* pList = nullptr;
    ASSERT_EQ(app->GetMetaSettingList(pList), 0u);
    CMetaSetting* pSetting = nullptr;
    ASSERT_EQ(pList->FindByName("Keywords", pSetting), 0u);
    const std::string description =
        "The words and phrases that search engines take as the subject of the page, separated by commas, "
        "most important first; a page with many of them is rated lower by some engines, so a few well "
        "chosen ones serve better than a long list.";
    pSetting->SetDescription(description.c_str());
    // The grid takes the changed catalogue, and the frame's full width shows the column.
    app->UpdatePageViews(3, reinterpret_cast<CObject*>(&app->GetSelectedNodes()));
    Frame().ShowWindow(SW_MAXIMIZE);
    ASSERT_TRUE(Quiet());
    const POINT header = CellOnScreen(0, ColumnOf("Keywords"));
    ASSERT_TRUE(MoveTo(POINT{header.x + 3, header.y + 3}));
    ASSERT_TRUE(MoveTo(header));
    std::string text;
    ASSERT_TRUE(RunUntil([&] { return TipOnScreen(&text); })) << "no tip came up";
    EXPECT_EQ(text, description);
    CRect tip;
    ::GetWindowRect(Tip(), &tip);
    EXPECT_LE(tip.Width(), 400) << "a readable width";
    EXPECT_GE(tip.Height(), 3 * 12) << "on several lines";
    // On the screen, the text stands on several lines inside the tip.
    ASSERT_TRUE(Quiet());
    cairo_surface_t* shot = Shot("header-tip");
    ASSERT_NE(shot, nullptr);
    EXPECT_GE(screen_capture::TipLinesShown(shot, tip), 3);
    cairo_surface_destroy(shot);
}
