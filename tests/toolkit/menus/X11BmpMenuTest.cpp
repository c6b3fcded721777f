// A popup menu through the bitmap-menu plug-in on the X11 backend under Xvfb: the command's
// image shows in the image column of the open menu on the screen.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/controls/StandardControls.h"
#include "platform/win/MenuApi.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "toolkit/menus/SECBmpMenuPlugIn.h"
#include "toolkit/toolbars/SECBmpMgr.h"
// The X11 headers come last: their macros clash with names above.
#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

namespace {

// A window that lets its plug-in see each message first.
class PluggedHost : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (plugIn != nullptr) {
            LRESULT result = 0;
            plugIn->OnWndMsg(message, wParam, lParam, &result);
            if (plugIn->m_bExitDefault)
                return result;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    SECBmpMenuPlugIn* plugIn = nullptr;
};

struct ShotState {
    std::string display;
    HMENU menu = nullptr;
    uint32_t imagePixel = 0;
    uint32_t textAreaPixel = 0;
    bool taken = false;
    int ticks = 0;
};
ShotState* g_shot = nullptr;

// Ticks inside the menu's loop until the open menu is on the screen, then takes its picture and
// ends the menu; a menu that never shows ends it after a minute without a picture.
void CALLBACK TakeShot(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_shot == nullptr || g_shot->taken) {
        KillTimer(nullptr, id);
        return;
    }
    RECT item{};
    const bool shown = GetMenuItemRect(nullptr, g_shot->menu, 0, &item) && !IsRectEmpty(&item) &&
                       X11Test::Current()->ShowsNow();
    if (!shown && ++g_shot->ticks < 3000)
        return;
    KillTimer(nullptr, id);
    if (!shown) {
        EndMenu();
        return;
    }
    g_shot->taken = true;
    if (cairo_surface_t* shot = screen_capture::Screenshot(g_shot->display)) {
        const int y = (item.top + item.bottom) / 2;
        g_shot->imagePixel = screen_capture::PixelAt(shot, item.left + 1 + 2 + 8, y);
        g_shot->textAreaPixel = screen_capture::PixelAt(shot, item.right - 10, y);
        if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
            cairo_surface_write_to_png(shot, (std::string(keep) + "/bitmap-menu.png").c_str());
        cairo_surface_destroy(shot);
    }
    EndMenu();
}

}   // namespace

using X11BmpMenuTest = X11Test;

TEST_F(X11BmpMenuTest, AnOpenMenuShowsTheCommandImagesBesideItsItems)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    RegisterStandardControls();
    if (std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        SetTestFontMode(false);
    PluggedHost host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Menus", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr));
    SECBmpMenuPlugIn plugIn(TRUE);
    ASSERT_TRUE(plugIn.Attach(&host));
    auto* mgr = new SECBmpMgr;
    ASSERT_TRUE(mgr->LoadToolBar(IDR_TB_SMALL));
    plugIn.SetBmpMgr(mgr);
    mgr->Release();
    host.plugIn = &plugIn;

    HMENU popup = CreatePopupMenu();
    AppendMenu(popup, MF_STRING, ID_TB_TWO, "&Open Project...\tCtrl+O");
    AppendMenu(popup, MF_STRING | MF_CHECKED, ID_TB_ONE, "&Project Area");
    AppendMenu(popup, MF_STRING | MF_CHECKED, 7401, "&Output Area");
    AppendMenu(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenu(popup, MF_STRING | MF_GRAYED, ID_TB_THREE, "&Save Edited Files\tCtrl+T");
    AppendMenu(popup, MF_STRING, 7402, "E&xit");
    ASSERT_TRUE(Settle()) << "the host window never showed";

    ShotState state;
    state.display = server->DisplayName();
    state.menu = popup;
    g_shot = &state;
    SetTimer(nullptr, 0, 20, TakeShot);
    TrackPopupMenu(popup, TPM_RETURNCMD, 120, 120, 0, host.m_hWnd, nullptr);
    g_shot = nullptr;
    ASSERT_TRUE(state.taken) << "the menu never showed on the screen";
    EXPECT_EQ(state.imagePixel, 0x00FF00u) << "the command's image in the column";
    const COLORREF menuColour = GetSysColor(COLOR_MENU);
    EXPECT_EQ(state.textAreaPixel,
              (uint32_t(GetRValue(menuColour)) << 16) | (uint32_t(GetGValue(menuColour)) << 8) | GetBValue(menuColour));
    host.plugIn = nullptr;
    DestroyMenu(popup);
    host.DestroyWindow();
}
