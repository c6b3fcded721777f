// The gradient caption: its bands for narrow and wide captions (nothing for none), the title
// split into two parts, and a frame of the headless backend painting its own caption, active
// and inactive, without the system caption coming back.
#include <gtest/gtest.h>

#include "tests/platform/afx/AfxFixture.h"
#include "platform/win/SystemParameters.h"
#include "tests/support/ScreenCapture.h"
#include "toolkit/caption/SECGradientCaption.h"

namespace {

uint32_t Rgb(COLORREF c) { return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c); }

// A frame that paints its caption itself.
class CaptionFrame : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        auto def = [this](UINT m, WPARAM w, LPARAM l) { return CWnd::WindowProc(m, w, l); };
        const BOOL active = message == WM_NCACTIVATE ? static_cast<BOOL>(wParam) : caption.IsActive();
        if (caption.Handle(m_hWnd, message, wParam, lParam, active, def, &result))
            return result;
        return CWnd::WindowProc(message, wParam, lParam);
    }
    SECCustomCaption caption;
};

}   // namespace

TEST(SECGradientCaptionTest, BandsCoverTheWidthFromBlackToTheCaptionColour)
{
    const COLORREF end = RGB(0, 0, 128);
    for (int width : {1, 59, 60, 61, 1920}) {
        const auto bands = SECGradientCaption::GradientBands(CRect(10, 0, 10 + width, 18), end);
        ASSERT_EQ(static_cast<int>(bands.size()), std::min(60, width)) << width;
        EXPECT_EQ(bands.front().rect.left, 10);
        EXPECT_EQ(bands.back().rect.right, 10 + width) << "the last band reaches the right edge";
        EXPECT_EQ(bands.front().colour, RGB(0, 0, 0));
        for (size_t i = 1; i < bands.size(); ++i) {
            EXPECT_EQ(bands[i].rect.left, bands[i - 1].rect.right);
            EXPECT_GE(GetBValue(bands[i].colour), GetBValue(bands[i - 1].colour));
            EXPECT_LE(GetBValue(bands[i].colour), 128);
        }
    }
    EXPECT_GE(GetBValue(SECGradientCaption::GradientBands(CRect(0, 0, 1920, 18), end).back().colour), 125);
    // A caption without width (narrow or minimised frame) has no band.
    EXPECT_TRUE(SECGradientCaption::GradientBands(CRect(0, 0, 0, 18), end).empty());
    EXPECT_TRUE(SECGradientCaption::GradientBands(CRect(50, 0, 20, 18), end).empty());
}

TEST(SECGradientCaptionTest, TheTitleSplitsAtItsFirstDash)
{
    CString app, doc;
    SECGradientCaption::SplitTitle("Vostrel - site.vsp - Group", app, doc);
    EXPECT_EQ(app, "Vostrel ");
    EXPECT_EQ(doc, "- site.vsp - Group");
    SECGradientCaption::SplitTitle("Vostrel", app, doc);
    EXPECT_EQ(app, "Vostrel");
    EXPECT_TRUE(doc.IsEmpty());
    LOGFONT appFont{}, docFont{};
    ASSERT_TRUE(SECGradientCaption::CreateAppTitleFont(appFont));
    ASSERT_TRUE(SECGradientCaption::CreateDocTitleFont(docFont));
    EXPECT_EQ(appFont.lfItalic, 1);
    EXPECT_EQ(docFont.lfItalic, 0);
}

using SECCustomCaptionTest = AfxTest;

TEST_F(SECCustomCaptionTest, AFramePaintsItsGradientActiveAndAFlatCaptionInactive)
{
    CaptionFrame frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Vostrel - site", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 400, 200, nullptr, nullptr));
    frame.caption.Enable(frame.m_hWnd, TRUE, FALSE);
    backend->ProcessMessages();
    ::SendMessage(frame.m_hWnd, WM_NCACTIVATE, TRUE, 0);
    backend->ProcessMessages();
    const CRect caption = SECGradientCaption::GetCaptionRect(frame.m_hWnd);
    ASSERT_GT(caption.Width(), 60);
    auto sample = [&](int x) {
        HDC dc = ::GetWindowDC(frame.m_hWnd);
        const COLORREF c = ::GetPixel(dc, x, caption.bottom - 2);
        ::ReleaseDC(frame.m_hWnd, dc);
        return Rgb(c);
    };
    const int textStart = caption.left + ::GetSystemMetrics(SM_CXSIZE);
    const uint32_t nearLeft = sample(textStart + 1), nearRight = sample(caption.right - 2);
    EXPECT_LT(nearLeft & 0xFF, 0x20u) << "dark at the left";
    const COLORREF active = ::GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_NEAR(static_cast<int>(nearRight & 0xFF), GetBValue(active), 8) << "the caption colour at the right";

    ::SendMessage(frame.m_hWnd, WM_NCACTIVATE, FALSE, 0);
    backend->ProcessMessages();
    EXPECT_EQ(sample(textStart + 1), Rgb(::GetSysColor(COLOR_INACTIVECAPTION)));
    EXPECT_EQ(sample(caption.right - 2), Rgb(::GetSysColor(COLOR_INACTIVECAPTION)));

    // A new title keeps the custom caption.
    ::SendMessage(frame.m_hWnd, WM_NCACTIVATE, TRUE, 0);
    frame.SetWindowText("Vostrel - other");
    backend->ProcessMessages();
    EXPECT_LT(sample(textStart + 1) & 0xFF, 0x20u);
    CString text;
    frame.GetWindowText(text);
    EXPECT_EQ(text, "Vostrel - other");
    EXPECT_TRUE(frame.IsWindowVisible());
    frame.DestroyWindow();
}

TEST_F(SECCustomCaptionTest, AToolWindowTakesTheSmallCaptionsHeightButtonsAndFont)
{
    ASSERT_NE(::GetSystemMetrics(SM_CYSMSIZE), ::GetSystemMetrics(SM_CYSIZE)) << "the two captions must differ here";
    CaptionFrame normal, tool;
    ASSERT_TRUE(normal.CreateEx(0, nullptr, "Normal", WS_OVERLAPPEDWINDOW, 10, 10, 400, 200, nullptr, nullptr));
    ASSERT_TRUE(tool.CreateEx(WS_EX_TOOLWINDOW, nullptr, "Tool", WS_OVERLAPPEDWINDOW, 10, 10, 400, 200, nullptr, nullptr));
    const CRect big = SECGradientCaption::GetCaptionRect(normal.m_hWnd);
    const CRect small = SECGradientCaption::GetCaptionRect(tool.m_hWnd);
    EXPECT_EQ(big.Height(), ::GetSystemMetrics(SM_CYSIZE));
    EXPECT_EQ(small.Height(), ::GetSystemMetrics(SM_CYSMSIZE));
    EXPECT_GT(small.right, big.right) << "the small buttons leave more room for the title";

    NONCLIENTMETRICS metrics{};
    metrics.cbSize = sizeof metrics;
    ASSERT_TRUE(::SystemParametersInfo(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0));
    LOGFONT font{};
    ASSERT_TRUE(SECGradientCaption::CreateDocTitleFont(font, SECCaptionSize::Small));
    EXPECT_EQ(font.lfHeight, metrics.lfSmCaptionFont.lfHeight);
    EXPECT_STREQ(font.lfFaceName, metrics.lfSmCaptionFont.lfFaceName);
    ASSERT_TRUE(SECGradientCaption::CreateAppTitleFont(font, SECCaptionSize::Small));
    EXPECT_EQ(font.lfHeight, metrics.lfSmCaptionFont.lfHeight);
    EXPECT_EQ(font.lfItalic, 1);
    normal.DestroyWindow();
    tool.DestroyWindow();
}
