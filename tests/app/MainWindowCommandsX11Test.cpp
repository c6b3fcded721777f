// The main window's commands as the user reaches them on the X server: the toolbar buttons
// clicked while the project's grid is the active window, and the View menu's Status Bar.
#include "MainWindowX11Fixture.h"

#include "platform/afx/bars/CStatusBar.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"

namespace {

class MainWindowCommandsX11Test : public MainWindowX11Test {
protected:
    SECCustomToolBar& Bar(UINT nBarID)
    {
        SECCustomToolBar* pBar = Frame().GetToolBarManager()->ToolBarFromID(nBarID);
        EXPECT_NE(pBar, nullptr);
        return *pBar;
    }
    // The middle of a toolbar button on the screen.
    POINT ButtonOnScreen(UINT nBarID, UINT nCommand)
    {
        SECCustomToolBar& bar = Bar(nBarID);
        CRect rect;
        bar.GetItemRect(bar.CommandToIndex(nCommand), &rect);
        POINT pt = rect.CenterPoint();
        ::ClientToScreen(bar.GetSafeHwnd(), &pt);
        return pt;
    }
};

} // namespace

// With the project's grid active, the main window's own commands on the Main Toolbar open
// their dialogs or start their work when clicked, as the same commands do from the menus.
TEST_F(MainWindowCommandsX11Test, TheMainToolbarRunsTheMainWindowsCommandsWhileTheGridIsActive)
{
    ASSERT_TRUE(Start());
    OpenSite(false);
    ASSERT_NE(Frame().MDIGetActive(), nullptr) << "the grid's window is the active document window";

    // Each dialog is there to be cancelled; New Project comes last, as it closes the project
    // before it asks for the new one.
    struct Case {
        UINT nCommand;
        const char* pszDialog;
    };
    for (const Case& c : {Case{ID_METATAG_SETTINGS, "^Metatag Settings - "}, Case{ID_OPEN_PROJECT, "^Open Project$"}}) {
        SCOPED_TRACE(c.pszDialog);
        Type("the dialog of the button", c.pszDialog, "Escape");
        ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, c.nCommand)));
        EXPECT_TRUE(StepsTaken());
        ASSERT_TRUE(Settled());
    }
    ASSERT_EQ(app->GetSelectedNodes().GetCount(), 3) << "the project stayed open";

    // Start scans the pages of the selection: the meter counts all three.
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_START_SCAN)));
    EXPECT_TRUE(RunUntil([&] { return Frame().GetFilesScanned() == 3 && app->GetRunState() == 0; }))
        << "files scanned " << Frame().GetFilesScanned();
    ASSERT_TRUE(Settled());

    Type("the New Project dialog", "^New Project$", "Escape");
    ASSERT_TRUE(ClickAt(ButtonOnScreen(ID_VIEW_TOOLBARS, ID_NEW_PROJECT)));
    EXPECT_TRUE(StepsTaken());
}
