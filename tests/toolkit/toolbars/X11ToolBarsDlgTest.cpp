// The Customize sheet (toolbars page, then the command page with its palette) and the Toolbars
// dialog over a frame with toolbars, on the X11 backend under Xvfb: the pages show their
// controls and the palette its buttons on the screen.
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/controls/StandardControls.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/res/CustomizeRes.h"
#include "toolkit/toolbars/SECToolBarManager.h"
#include "toolkit/toolbars/SECToolBarsDlg.h"

#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

namespace {

std::function<void()> g_onTick;
int g_ticks = 0;

// Ticks inside a modal loop until its window is on the screen (a minute at most), then runs the
// step once.
void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_onTick && !X11Test::Current()->ShowsNow() && ++g_ticks < 3000)
        return;
    KillTimer(nullptr, id);
    g_ticks = 0;
    if (g_onTick) {
        auto step = std::move(g_onTick);
        g_onTick = nullptr;
        step();
    }
}

void Keep(const std::string& display, const char* name)
{
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS")) {
        if (cairo_surface_t* shot = screen_capture::Screenshot(display)) {
            cairo_surface_write_to_png(shot, (std::string(keep) + "/" + name).c_str());
            cairo_surface_destroy(shot);
        }
    }
}

}   // namespace

using X11ToolBarsDlgTest = X11Test;

TEST_F(X11ToolBarsDlgTest, TheCustomizeSheetAndTheToolbarsDialogShowOverTheFrame)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    RegisterStandardControls();
    if (std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        SetTestFontMode(false);
    auto* frame = new CFrameWnd;   // goes with its window
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Customize", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 620, 460, nullptr, nullptr));
    frame->m_bAutoMenuEnable = FALSE;
    const UINT ids[4] = {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT};
    const DWORD sides[4] = {CBRS_ALIGN_TOP, CBRS_ALIGN_BOTTOM, CBRS_ALIGN_LEFT, CBRS_ALIGN_RIGHT};
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE((new SECDockBar)->Create(frame, WS_CHILD | WS_VISIBLE | sides[i], ids[i]));
    auto manager = std::make_unique<SECToolBarManager>(frame);
    ASSERT_TRUE(manager->LoadToolBarResource(IDR_TB_SMALL));
    const UINT mainIds[] = {ID_TB_ONE, ID_TB_TWO, 0, ID_TB_THREE};
    manager->DefineDefaultToolBar(0xE800, "Main Toolbar", 4, mainIds, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    manager->LoadState("Main Toolbar");
    frame->RecalcLayout();
    ASSERT_TRUE(Settle()) << "the frame never showed";

    const std::string display = server->DisplayName();
    {   // the sheet and its pages go before the manager they point at
        SECToolBarSheet sheet("Customize", frame);
        SECToolBarsPage toolbars;
        toolbars.SetManager(manager.get());
        SECToolBarCmdPage commands(SEC_IDD_TOOLBARCMDPAGE, 0);
        const UINT group[3] = {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE};
        commands.DefineBtnGroup("Main Toolbar", 3, group);
        commands.SetManager(manager.get());
        sheet.AddPage(&toolbars);
        sheet.AddPage(&commands);
        bool pageShown = false, paletteShown = false;
        g_onTick = [&] {
            Keep(display, "customize-toolbars.png");
            pageShown = toolbars.m_hWnd && IsWindowVisible(GetDlgItem(toolbars.m_hWnd, SEC_IDC_TOOLBARLIST));
            sheet.SetActivePage(&commands);
            if (!Settle())
                ADD_FAILURE() << "the command page never settled";
            Keep(display, "customize-commands.png");
            // The palette's second button (a green image) shows inside the group box.
            if (commands.GetGroupCount() == 1) {
                SECCustomToolBar* palette = commands.GetGroup(0)->m_pToolBar.get();
                CRect button;
                palette->GetItemRect(1, &button);
                POINT centre = button.CenterPoint();
                ::ClientToScreen(palette->m_hWnd, &centre);
                if (cairo_surface_t* shot = screen_capture::Screenshot(display)) {
                    paletteShown = screen_capture::PixelAt(shot, centre) == 0x00FF00u;
                    cairo_surface_destroy(shot);
                }
            }
            sheet.PressButton(PSBTN_CANCEL);
        };
        SetTimer(nullptr, 0, 20, Tick);
        sheet.DoModal();
        EXPECT_TRUE(pageShown);
        EXPECT_TRUE(paletteShown);
    }

    g_onTick = [&] {
        Keep(display, "toolbars-dialog.png");
        for (HWND w = GetWindow(GetDesktopWindow(), GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
            if (GetDlgItem(w, SEC_IDC_CUSTOMIZE))
                PostMessage(w, WM_COMMAND, IDOK, 0);
    };
    SetTimer(nullptr, 0, 20, Tick);
    EXPECT_EQ(manager->ExecViewToolBarsDlg(), IDOK);
    EXPECT_FALSE(manager->IsCustomizing());
    manager.reset();
    frame->DestroyWindow();
}
