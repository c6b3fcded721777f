// The Metatag Settings dialog on the X11 backend under Xvfb, made larger by a drag on its
// frame's corner: the grid and the buttons scale with it, the grid's cells fill the grid's new
// size on the screen, and the face around them is clear.
#include "app/dialogs/CMetaSettingDlg.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/controls/StandardControls.h"

#include <cstdlib>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class SettingsDialogsX11Test : public X11Test {
protected:
    bool UsesXdotool() const override { return true; }
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        RegisterStandardControls();
        GXInstallGridFeatures();
        GXInitControlFactory();
        model.Install();
    }
    CVostrelAppModel model;
};

} // namespace

TEST_F(SettingsDialogsX11Test, ADialogDraggedLargerScalesItsGridOnTheScreen)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    CMetaSettingList list;
    list.SetDefaults();
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    ASSERT_TRUE(dlg.Create(CMetaSettingDlg::IDD, nullptr));
    dlg.SetWindowPos(nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    dlg.ShowWindow(SW_SHOW);
    ASSERT_TRUE(Settle()) << "the dialog never showed";
    CRect before;
    dlg.GetGrid().GetWindowRect(&before);
    CRect window;
    dlg.GetWindowRect(&window);
    // The user drags the frame's bottom right corner, from another client of the X server: the
    // server queues the press, the moves and the release in order for the program's loop.
    const std::string drag = "DISPLAY=" + server->DisplayName() + " xdotool mousemove " +
                             std::to_string(window.right - 2) + " " + std::to_string(window.bottom - 2) +
                             " mousedown 1 mousemove " + std::to_string(window.right + 80) + " " +
                             std::to_string(window.bottom + 60) + " mousemove " +
                             std::to_string(window.right + 200) + " " + std::to_string(window.bottom + 150) +
                             " mouseup 1 >/dev/null 2>&1";
    ASSERT_EQ(std::system(drag.c_str()), 0);
    ASSERT_TRUE(PumpUntil([&] {
        CRect now;
        dlg.GetWindowRect(&now);
        return now.Width() >= window.Width() + 200;
    }, 60000)) << "the drag never reached the dialog";
    ASSERT_TRUE(Settle()) << "the dialog never settled after the drag";
    CRect after;
    dlg.GetGrid().GetWindowRect(&after);
    ASSERT_GT(after.Width(), before.Width());
    ASSERT_GT(after.Height(), before.Height());

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/metasettings.png").c_str());
    const uint32_t face = 0xFFFFFFu & ::GetSysColor(COLOR_BTNFACE);
    // The grid's cells reach into what the larger grid took of the dialog: white, not face.
    CGXGridWnd& grid = dlg.GetGrid();
    const CRect cell = grid.CalcCellRect(2, CMetaSettingGridCtrl::kColDescription);
    POINT inCell{cell.left + 3, cell.bottom - 3};
    ::ClientToScreen(grid.GetSafeHwnd(), &inCell);
    EXPECT_EQ(PixelAt(shot, inCell), 0xFFFFFFu) << "description cell of row 2";
    // The dialog's face below the grid, where the old grid's bottom edge and scroll bar stood
    // when it lay higher, is face again.
    CRect ok;
    dlg.GetDlgItem(IDOK)->GetWindowRect(&ok);
    EXPECT_GT(ok.top, after.bottom);
    EXPECT_EQ(PixelAt(shot, POINT{after.left + 3, (after.bottom + ok.top) / 2}), face);
    // The scroll bars were drawn at the grid's new edges: the bottom bar is not the cells' white.
    EXPECT_NE(PixelAt(shot, POINT{after.left + 40, after.bottom - 4}), 0xFFFFFFu);
    cairo_surface_destroy(shot);
    dlg.DestroyWindow();
}
