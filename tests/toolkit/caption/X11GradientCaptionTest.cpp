// A frame painting its own gradient caption (kept active) on the X11 backend under Xvfb: dark at the left,
// the caption colour at the right, and the system's buttons still beside it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/afx/wnd/CWnd.h"
#include "platform/controls/StandardControls.h"
#include "toolkit/caption/SECGradientCaption.h"
// The X11 headers come last: their macros clash with names above.
#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

namespace {

class ShownCaptionFrame : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        auto def = [this](UINT m, WPARAM w, LPARAM l) { return CWnd::WindowProc(m, w, l); };
        // Kept active, as a frame keeps its caption while its own palettes have the focus.
        const BOOL active = TRUE;
        if (caption.Handle(m_hWnd, message, wParam, lParam, active, def, &result))
            return result;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    SECCustomCaption caption;
};

}   // namespace

using X11GradientCaptionTest = X11Test;

TEST_F(X11GradientCaptionTest, TheCaptionShowsItsGradientOnTheScreen)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    ShownCaptionFrame frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Vostrel - sample.vsp", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 480, 240,
                               nullptr, nullptr));
    frame.caption.Enable(frame.m_hWnd, TRUE, TRUE);
    frame.SendMessage(WM_NCACTIVATE, TRUE, 0);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    cairo_surface_t* shot = screen_capture::Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/gradient-caption.png").c_str());
    CRect window;
    frame.GetWindowRect(&window);
    const CRect caption = SECGradientCaption::GetCaptionRect(frame.m_hWnd);
    const int y = window.top + caption.bottom - 2;
    const uint32_t left = screen_capture::PixelAt(shot, window.left + caption.left + ::GetSystemMetrics(SM_CXSIZE) + 1, y);
    const uint32_t right = screen_capture::PixelAt(shot, window.left + caption.right - 2, y);
    EXPECT_LT(left & 0xFF, 0x20u);
    EXPECT_GT(right & 0xFF, 0x60u);
    cairo_surface_destroy(shot);
    frame.DestroyWindow();
}
