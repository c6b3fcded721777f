// The main window's caption on the X server shows whether the window holds the keys, whatever
// the window manager does with the display's focus meanwhile.
#include "tests/app/UserStepsX11Fixture.h"
#include "toolkit/caption/SECGradientCaption.h"

namespace {

class CaptionX11Test : public MainWindowStepsX11Test {
protected:
    // The colour the main window's caption shows at its right part, where the gradient has
    // reached the active caption colour (an inactive caption is flat).
    uint32_t CaptionColour(const char* pszShot)
    {
        const HWND hMain = Frame().GetSafeHwnd();
        const CRect caption = SECGradientCaption::GetCaptionRect(hMain);
        RECT window{};
        ::GetWindowRect(hMain, &window);
        cairo_surface_t* shot = Shot(pszShot);
        if (shot == nullptr)
            return 0xFFFFFFFF;
        const uint32_t colour =
            screen_capture::PixelAt(shot, window.left + caption.right - 3, window.top + caption.CenterPoint().y);
        cairo_surface_destroy(shot);
        return colour;
    }
    // The window with the display's keyboard focus.
    Window DisplayFocus()
    {
        Window focus = 0;
        int revert = 0;
        XGetInputFocus(other, &focus, &revert);
        return focus;
    }
};

} // namespace

// A window manager moves the display's focus off the main window, back and off again in quick
// succession, as one does that parks the focus between its own steps. The program activates the
// window again when the focus comes back, and its own request is the last the server carries
// out: the window keeps the keys, and the caption shows it, however late the last move off is
// read.
TEST_F(CaptionX11Test, ACaptionStaysActiveWhileTheWindowKeepsTheKeysThroughAWindowManagersMoves)
{
    ASSERT_TRUE(Start());
    OpenSite(true);
    const HWND hMain = Frame().GetSafeHwnd();
    const Window xMain = backend->XWindowOf(hMain);
    ASSERT_TRUE(RunUntil([&] { return ::GetFocus() == view->GetSafeHwnd() && DisplayFocus() == xMain; }))
        << "the grid does not have the keys";
    ASSERT_TRUE(IsCurrent(1, CGroupView::kFileColumn));
    ASSERT_TRUE(Quiet());
    const uint32_t active = CaptionColour("caption-before-focus-moves");
    const uint32_t inactive = Rgb(::GetSysColor(COLOR_INACTIVECAPTION));
    ASSERT_NE(active, inactive) << "the caption is not drawn active to begin with";

    for (Window to : {static_cast<Window>(None), xMain, static_cast<Window>(None)})
        XSetInputFocus(other, to, RevertToNone, CurrentTime);
    XSync(other, False);
    ASSERT_TRUE(RunUntil([&] { return DisplayFocus() == xMain; })) << "the program did not take the focus back";
    ASSERT_TRUE(Quiet());

    EXPECT_EQ(::GetActiveWindow(), hMain);
    EXPECT_EQ(CaptionColour("caption-after-focus-moves"), active) << "the caption is drawn inactive";
    // The keys still reach the grid: Down takes the current cell one row down.
    ASSERT_TRUE(XdoNow("key Down"));
    EXPECT_TRUE(RunUntil([&] { return IsCurrent(2, CGroupView::kFileColumn); })) << "Down did not reach the grid";
}

// Another program takes the display's focus: the main window no longer has the keys and its
// caption turns inactive; given the focus back, the caption is active again.
TEST_F(CaptionX11Test, ACaptionTurnsInactiveWhileAnotherProgramHasTheKeys)
{
    ASSERT_TRUE(Start());
    const HWND hMain = Frame().GetSafeHwnd();
    const Window xMain = backend->XWindowOf(hMain);
    ASSERT_TRUE(RunUntil([&] { return ::GetActiveWindow() == hMain && DisplayFocus() == xMain; }));
    ASSERT_TRUE(Quiet());
    const uint32_t active = CaptionColour("caption-active");
    const uint32_t inactive = Rgb(::GetSysColor(COLOR_INACTIVECAPTION));
    ASSERT_NE(active, inactive) << "the caption is not drawn active to begin with";

    // The other program's window, in a corner away from the main window.
    const Window xOther = XCreateSimpleWindow(other, DefaultRootWindow(other), 1000, 740, 20, 20, 0, 0, 0);
    XMapWindow(other, xOther);
    XSync(other, False);
    XSetInputFocus(other, xOther, RevertToNone, CurrentTime);
    XSync(other, False);
    EXPECT_TRUE(RunUntil([&] { return ::GetActiveWindow() == nullptr; })) << "the program kept the activation";
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(CaptionColour("caption-another-program"), inactive) << "the caption is drawn active";

    XSetInputFocus(other, xMain, RevertToNone, CurrentTime);
    XSync(other, False);
    EXPECT_TRUE(RunUntil([&] { return ::GetActiveWindow() == hMain; })) << "the focus given back did not activate";
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(CaptionColour("caption-focus-back"), active) << "the caption is drawn inactive";
    XDestroyWindow(other, xOther);
    XSync(other, False);
}
