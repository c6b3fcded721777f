// The system palette, its brushes and the double-click interval: changes callers make at run
// time and what windows and drawing see of them.
#include "platform/win/HeadlessFixture.h"

#include "platform/win/GdiTestUtil.h"

namespace {

class SystemMetricsTest : public HeadlessTest {
protected:
    void TearDown() override
    {
        // Later tests read the classic palette and the default interval. The test's handler
        // may point into its finished body: it must not hear the restoring broadcast.
        Handler() = nullptr;
        for (auto& [index, color] : saved)
            SetSysColors(1, &index, &color);
        SetDoubleClickTime(0);
        HeadlessTest::TearDown();
    }
    void Remember(INT index) { saved.emplace_back(index, GetSysColor(index)); }

    std::vector<std::pair<INT, COLORREF>> saved;
};

TEST_F(SystemMetricsTest, SetSysColorsChangesColourAndRecoloursTheSameBrush)
{
    Remember(COLOR_BTNFACE);
    Remember(COLOR_WINDOW);
    HBRUSH face = GetSysColorBrush(COLOR_BTNFACE);
    const INT indexes[] = {COLOR_BTNFACE, COLOR_WINDOW};
    const COLORREF colors[] = {RGB(10, 20, 30), RGB(200, 100, 50)};
    ASSERT_TRUE(SetSysColors(2, indexes, colors));
    EXPECT_EQ(GetSysColor(COLOR_BTNFACE), RGB(10, 20, 30));
    EXPECT_EQ(GetSysColor(COLOR_WINDOW), RGB(200, 100, 50));
    EXPECT_EQ(GetSysColorBrush(COLOR_BTNFACE), face);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(face, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbColor, RGB(10, 20, 30));

    // What a caller paints with the brush it kept follows the palette.
    TestCanvas canvas(4, 4);
    RECT r{0, 0, 4, 4};
    FillRect(canvas.dc(), &r, face);
    EXPECT_EQ(GetPixel(canvas.dc(), 1, 1), RGB(10, 20, 30));
}

TEST_F(SystemMetricsTest, SystemColourBrushesSurviveDeleteObject)
{
    HBRUSH brush = GetSysColorBrush(COLOR_HIGHLIGHT);
    ASSERT_NE(brush, nullptr);
    DeleteObject(brush);
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    EXPECT_EQ(GetSysColorBrush(COLOR_HIGHLIGHT), brush);
    LOGBRUSH lb{};
    ASSERT_EQ(GetObject(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
    EXPECT_EQ(lb.lbColor, GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(SystemMetricsTest, BadIndexChangesNothing)
{
    Remember(COLOR_MENU);
    const COLORREF before = GetSysColor(COLOR_MENU);
    const INT indexes[] = {COLOR_MENU, 999};
    const COLORREF colors[] = {RGB(1, 2, 3), RGB(4, 5, 6)};
    EXPECT_FALSE(SetSysColors(2, indexes, colors));
    EXPECT_EQ(GetSysColor(COLOR_MENU), before);
    EXPECT_EQ(GetSysColor(999), 0u);
    EXPECT_EQ(GetSysColorBrush(-1), nullptr);
}

TEST_F(SystemMetricsTest, TopLevelWindowsHearOfTheChange)
{
    Remember(COLOR_INFOBK);
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    HWND child = Make(WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, top);
    backend->ProcessMessages();
    Log().clear();
    const INT index = COLOR_INFOBK;
    const COLORREF color = RGB(255, 255, 200);
    COLORREF seen = 0;
    Handler() = [&](HWND, UINT message, WPARAM, LPARAM, LRESULT&) {
        if (message == WM_SYSCOLORCHANGE)
            seen = GetSysColor(COLOR_INFOBK);   // the palette is already changed and not locked
        return false;
    };
    ASSERT_TRUE(SetSysColors(1, &index, &color));
    EXPECT_EQ(Of(top, WM_SYSCOLORCHANGE).size(), 1u);
    // Top-level windows pass it on to their children themselves.
    EXPECT_TRUE(Of(child, WM_SYSCOLORCHANGE).empty());
    EXPECT_EQ(seen, color);
}

TEST_F(SystemMetricsTest, DoubleClickTimeIsSetAndZeroRestoresTheDefault)
{
    EXPECT_EQ(GetDoubleClickTime(), 500u);
    SetDoubleClickTime(900);
    EXPECT_EQ(GetDoubleClickTime(), 900u);
    SetDoubleClickTime(0);
    EXPECT_EQ(GetDoubleClickTime(), 500u);
}

TEST_F(SystemMetricsTest, InputUsesTheDoubleClickTime)
{
    HWND top = Make(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr, 0, "HeadlessRecorderDbl");
    backend->ProcessMessages();
    SetDoubleClickTime(1000);
    backend->Click(1, POINT{20, 20});
    backend->ProcessMessages();
    backend->AdvanceClock(800);   // past the default, within the new interval
    backend->Click(1, POINT{20, 20});
    backend->ProcessMessages();
    EXPECT_EQ(Of(top, WM_LBUTTONDBLCLK).size(), 1u);
}

} // namespace
