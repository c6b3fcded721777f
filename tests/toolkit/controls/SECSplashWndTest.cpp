// The splash window: owner and title, the picture centred and painted, closing by timer, input
// or call (and not by input when closed by hand), DisableParent, a missing picture, and the
// object deleting itself when its window goes, once, also when its window cannot be made.
#include <gtest/gtest.h>

#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/RefusedCreation.h"
#include "tests/toolkit/controls/ControlsTestSupport.h"
#include "toolkit/controls/SECSplashWnd.h"

namespace {

constexpr UINT kPicture = 4242;   // tests/toolkit/data/Splash.rc

// Counts the splashes that were deleted, so a test sees the self-deletion happen.
class CountedSplash : public SECSplashWnd {
public:
    using SECSplashWnd::SECSplashWnd;
    ~CountedSplash() override { ++deleted; }
    static int deleted;
};
int CountedSplash::deleted = 0;

class SECSplashWndTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        CountedSplash::deleted = 0;
    }
    static CString Title(HWND hwnd)
    {
        char buf[64] = "";
        ::GetWindowText(hwnd, buf, sizeof buf);
        return buf;
    }
    MSG Input(HWND hwnd, UINT message)
    {
        MSG msg{};
        msg.hwnd = hwnd;
        msg.message = message;
        return msg;
    }
};

TEST_F(SECSplashWndTest, WithoutOwnerItGetsAHiddenTopmostOwnerAndClosesByTimer)
{
    auto* splash = new CountedSplash(kPicture, 3500);
    ASSERT_TRUE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
    const HWND hwnd = splash->m_hWnd;
    EXPECT_EQ(Title(hwnd), "SECSplashWnd");
    const HWND owner = splash->GetHiddenOwner();
    ASSERT_NE(owner, nullptr);
    EXPECT_EQ(::GetWindow(hwnd, GW_OWNER), owner);
    EXPECT_EQ(Title(owner), "SECSplashWndParent");
    EXPECT_FALSE(::IsWindowVisible(owner));
    EXPECT_TRUE(splash->GetExStyle() & WS_EX_TOPMOST);
    EXPECT_FALSE(splash->GetExStyle() & WS_EX_APPWINDOW);
    // Centred on the 1024 x 768 screen, exactly the picture's size, showing the picture.
    CRect rc;
    splash->GetWindowRect(&rc);
    EXPECT_EQ(rc, CRect(482, 364, 542, 404));
    EXPECT_EQ(SurfacePixel(*backend, hwnd, 2, 2), RGB(0x30, 0x50, 0xA0));
    EXPECT_EQ(SurfacePixel(*backend, hwnd, 15, 15), RGB(0xF0, 0xC0, 0x20));
    backend->Advance(3499);
    EXPECT_TRUE(::IsWindow(hwnd));
    backend->Advance(2);
    backend->ProcessMessages();
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_FALSE(::IsWindow(owner));
    EXPECT_EQ(CountedSplash::deleted, 1);
}

TEST_F(SECSplashWndTest, ATitledSplashHasNoOwnerAndShowsOnTheTaskBar)
{
    auto* splash = new CountedSplash(kPicture, 1000, FALSE, FALSE);
    splash->SetTitle("Starting Vostrel");
    ASSERT_TRUE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, WS_EX_TOOLWINDOW));
    EXPECT_EQ(Title(splash->m_hWnd), "Starting Vostrel");
    EXPECT_EQ(splash->GetHiddenOwner(), nullptr);
    EXPECT_EQ(::GetWindow(splash->m_hWnd, GW_OWNER), nullptr);
    EXPECT_TRUE(splash->GetExStyle() & WS_EX_APPWINDOW);
    EXPECT_FALSE(splash->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_FALSE(splash->GetExStyle() & WS_EX_TOPMOST);
    // A key press closes it (through pre-translation), swallowed on the way.
    MSG key = Input(splash->m_hWnd, WM_KEYDOWN);
    EXPECT_TRUE(splash->PreTranslateMessage(&key));
    MSG move = Input(splash->m_hWnd, WM_MOUSEMOVE);
    EXPECT_FALSE(splash->PreTranslateMessage(&move));
    backend->ProcessMessages();
    EXPECT_EQ(CountedSplash::deleted, 1);
}

TEST_F(SECSplashWndTest, ManualCloseIgnoresInputAndTimeUntilCalledOrRestarted)
{
    auto* splash = new CountedSplash(kPicture, 500, TRUE);
    ASSERT_TRUE(splash->Create(top.get(), WS_POPUP | WS_VISIBLE, 0));
    EXPECT_EQ(splash->GetDisableTarget(), top.get());
    EXPECT_EQ(::GetWindow(splash->m_hWnd, GW_OWNER), top->m_hWnd);
    EXPECT_EQ(splash->GetHiddenOwner(), nullptr);
    splash->DisableParent(TRUE);
    EXPECT_FALSE(top->IsWindowEnabled());
    EXPECT_TRUE(splash->IsWindowEnabled());
    MSG click = Input(splash->m_hWnd, WM_LBUTTONDOWN);
    EXPECT_FALSE(splash->PreTranslateMessage(&click));
    backend->Advance(2000);
    backend->ProcessMessages();
    EXPECT_EQ(CountedSplash::deleted, 0);
    // A new display time starts the countdown and ends the manual mode.
    EXPECT_TRUE(splash->SetDisplayTime(300));
    EXPECT_FALSE(splash->IsManualClose());
    backend->Advance(301);
    backend->ProcessMessages();
    EXPECT_EQ(CountedSplash::deleted, 1);
    EXPECT_TRUE(top->IsWindowEnabled());   // closing gave the owner back its input

    auto* manual = new CountedSplash(kPicture, 500, TRUE);
    ASSERT_TRUE(manual->Create(top.get(), WS_POPUP | WS_VISIBLE, 0));
    manual->SetCloseOnInput(FALSE);
    manual->Close();
    EXPECT_EQ(CountedSplash::deleted, 2);
}

TEST_F(SECSplashWndTest, AMissingPictureGivesAnEmptyWindowThatStillCloses)
{
    auto* splash = new CountedSplash(4243, 200);
    ASSERT_TRUE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
    EXPECT_EQ(splash->GetBitmapSize().cx, 0);
    EXPECT_FALSE(splash->GetPicture().HasImage());
    CRect rc;
    splash->GetWindowRect(&rc);
    EXPECT_TRUE(rc.IsRectEmpty());
    backend->Advance(201);
    backend->ProcessMessages();
    EXPECT_EQ(CountedSplash::deleted, 1);
}

TEST_F(SECSplashWndTest, ASplashWhoseWindowCannotBeMadeIsDeletedOnceAndLeavesNothingBehind)
{
    // The hidden owner is made, then the splash's own window is refused: the splash has been
    // deleted by the time Create answers, and takes its hidden owner with it.
    {
        RefusedCreation refuse(RefusedCreation::Titled("SECSplashWnd"));
        ASSERT_TRUE(refuse.IsInstalled());
        RefusedCreation::Refused() = 0;
        auto* splash = new CountedSplash(kPicture, 3500);
        EXPECT_FALSE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
        EXPECT_EQ(RefusedCreation::Refused(), 1);
    }
    EXPECT_EQ(CountedSplash::deleted, 1);
    EXPECT_EQ(::FindWindow(nullptr, "SECSplashWndParent"), nullptr) << "the hidden owner went with it";
    // A titled splash, as the program makes it: no owner, the same single deletion.
    {
        RefusedCreation refuse(RefusedCreation::Titled("Vostrel"));
        auto* splash = new CountedSplash(kPicture, 3500);
        splash->SetTitle("Vostrel");
        EXPECT_FALSE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
    }
    EXPECT_EQ(CountedSplash::deleted, 2);
    // Nothing of them is left to close or to time out.
    backend->Advance(4000);
    backend->ProcessMessages();
    EXPECT_EQ(CountedSplash::deleted, 2);
}

}   // namespace
