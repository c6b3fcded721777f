// The owner-drawn progress bar: percentage and the two rectangles, native mode forwarding and
// its catch-up, the step timer, calls before the window exists, and the inverse text in pixels.
#include <gtest/gtest.h>

#include "platform/afx/gdi/CDC.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/controls/ControlsTestSupport.h"
#include "toolkit/controls/SECProgressCtrl.h"

namespace {

// A window whose every paint asks for another one.
class RestlessWnd : public CWnd {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_PAINT) {
            PAINTSTRUCT ps;
            ::BeginPaint(m_hWnd, &ps);
            ::EndPaint(m_hWnd, &ps);
            ++paints;
            ::InvalidateRect(m_hWnd, nullptr, FALSE);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
    int paints = 0;
};

class SECProgressCtrlTest : public AfxTest {
protected:
    void TearDown() override
    {
        bar.DestroyWindow();
        AfxTest::TearDown();
    }
    void Make(DWORD ownStyle, const CRect& rc = CRect(10, 10, 110, 30))
    {
        ASSERT_TRUE(bar.Create(WS_CHILD | WS_VISIBLE, rc, top.get(), 1, ownStyle));
    }
    // Paints the bar into a memory surface of its own size and reads one pixel back.
    COLORREF PixelAfterDraw(int x, int y)
    {
        CClientDC client(&bar);
        CDC mem;
        EXPECT_TRUE(mem.CreateCompatibleDC(&client));
        CBitmap bitmap;
        const RECT& rc = bar.GetCachedClientRect();
        EXPECT_TRUE(bitmap.CreateCompatibleBitmap(&client, rc.right, rc.bottom));
        CBitmap* old = mem.SelectObject(&bitmap);
        bar.Draw(&mem);
        const COLORREF pixel = mem.GetPixel(x, y);
        mem.SelectObject(old);
        return pixel;
    }
    SECProgressCtrl bar;
};

TEST_F(SECProgressCtrlTest, PercentageAndRectanglesFollowRangeDirectionAndClamping)
{
    Make(SEC_PS_DEFAULT);
    RECT done, rest;
    // Lower equal to upper: the span counts as one and the position is held in it.
    bar.SetRange(40, 40);
    bar.SetPos(90, FALSE);
    EXPECT_EQ(bar.GetPercent(), 0.0);
    bar.SetRange(100, 200);
    bar.SetPos(50, FALSE);   // below the range: empty
    EXPECT_EQ(bar.GetPercent(), 0.0);
    bar.CalcRects(bar.GetPercent(), done, rest);
    EXPECT_EQ(done.right, done.left);
    EXPECT_EQ(CRect(rest), CRect(0, 0, 100, 20));
    bar.SetPos(500, FALSE);   // above: full
    EXPECT_EQ(bar.GetPercent(), 100.0);
    bar.SetPos(175, FALSE);
    EXPECT_DOUBLE_EQ(bar.GetPercent(), 75.0);
    bar.CalcRects(bar.GetPercent(), done, rest);
    EXPECT_EQ(CRect(done), CRect(0, 0, 75, 20));
    EXPECT_EQ(CRect(rest), CRect(75, 0, 100, 20));

    // The length is truncated, never rounded up.
    bar.CalcRects(99.9, done, rest);
    EXPECT_EQ(done.right, 99);
    bar.SetExStyle(SEC_PS_DEFAULT | SEC_PS_FILLFROMRIGHT);
    bar.CalcRects(30.0, done, rest);
    EXPECT_EQ(CRect(done), CRect(70, 0, 100, 20));
    EXPECT_EQ(CRect(rest), CRect(0, 0, 70, 20));
    bar.SetExStyle(SEC_PS_DEFAULT | SEC_PS_VERTICAL);
    bar.CalcRects(50.0, done, rest);
    EXPECT_EQ(CRect(done), CRect(0, 10, 100, 20));   // from the bottom
    EXPECT_EQ(CRect(rest), CRect(0, 0, 100, 10));
    bar.SetExStyle(SEC_PS_DEFAULT | SEC_PS_VERTICAL | SEC_PS_FILLFROMTOP);
    bar.CalcRects(25.0, done, rest);
    EXPECT_EQ(CRect(done), CRect(0, 0, 100, 5));
    EXPECT_EQ(CRect(rest), CRect(0, 5, 100, 20));

    // SetPos answers the old position; steps go through it.
    bar.SetRange(0, 100);
    EXPECT_EQ(bar.SetPos(10, FALSE), 175);
    EXPECT_EQ(bar.SetStep(7), 10);
    bar.StepIt(FALSE);
    bar.OffsetPos(-2, FALSE);
    EXPECT_EQ(bar.GetPos(), 15u);
    bar.ResetPos();
    EXPECT_EQ(bar.GetPos(), 0u);
}

TEST_F(SECProgressCtrlTest, NativeModeForwardsAndCatchesUpWhenSwitchedOn)
{
    Make(SEC_PS_DEFAULT);
    bar.SetRange(0, 200);
    bar.SetPos(120, FALSE);
    // Drawing itself, the bar leaves the platform control's position alone...
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 0);
    // ...until native mode is switched on, which first sends the current position.
    bar.SetExStyle(SEC_PS_NATIVE);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 120);
    EXPECT_EQ(bar.SetPos(130, FALSE), 120);   // the platform control's answer
    bar.SetStep(5);
    bar.StepIt(FALSE);
    bar.OffsetPos(10, FALSE);
    EXPECT_EQ(bar.GetPos(), 145u);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 145);
    // Switching it on again sends nothing new: the platform control keeps its own count.
    bar.SendMessage(PBM_SETPOS, 3);
    bar.SetExStyle(SEC_PS_NATIVE | SEC_PS_SHOWPERCENT);
    EXPECT_EQ(bar.SendMessage(PBM_GETPOS), 3);
}

TEST_F(SECProgressCtrlTest, WithoutAWindowCallsStoreAndCreateOnlyOnce)
{
    // The status bar ranges and steps its meter before the window exists.
    SECProgressCtrl loose;
    loose.SetRange(5, 15);
    EXPECT_EQ(loose.SendMessage(PBM_GETPOS), 0);
    EXPECT_EQ(loose.SetStep(2), 10);
    EXPECT_EQ(loose.SetPos(9), 0);
    loose.StepIt();
    EXPECT_EQ(loose.GetPos(), 11u);
    EXPECT_FALSE(loose.SetStepTimer(50));
    EXPECT_FALSE(loose.IsCreated());

    Make(SEC_PS_DEFAULT);
    EXPECT_TRUE(bar.IsCreated());
    EXPECT_FALSE(bar.Create(WS_CHILD, CRect(0, 0, 5, 5), top.get(), 2, SEC_PS_NATIVE));
    EXPECT_EQ(bar.GetBarStyle(), static_cast<DWORD>(SEC_PS_DEFAULT));
    EXPECT_EQ(bar.GetDlgCtrlID(), 1);
}

TEST_F(SECProgressCtrlTest, StepTimerStopsItselfAtUpper)
{
    Make(SEC_PS_DEFAULT);
    bar.SetRange(0, 30);
    bar.SetStep(10);
    ASSERT_TRUE(bar.SetStepTimer(100));
    backend->Advance(100);
    EXPECT_EQ(bar.GetPos(), 10u);
    backend->Advance(250);
    EXPECT_EQ(bar.GetPos(), 30u);
    backend->Advance(500);   // stopped at upper: no further steps
    EXPECT_EQ(bar.GetPos(), 30u);
    EXPECT_FALSE(bar.SetStepTimer(100));   // nothing left to do
    bar.SetPos(0, FALSE);
    ASSERT_TRUE(bar.SetStepTimer(100));
    EXPECT_TRUE(bar.SetStepTimer(0));
    backend->Advance(300);
    EXPECT_EQ(bar.GetPos(), 0u);
}

TEST_F(SECProgressCtrlTest, PercentTextReadsInInverseColoursAcrossTheFillEdge)
{
    Make(SEC_PS_DEFAULT);
    CFont font;
    ASSERT_TRUE(font.CreateFont(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans"));
    bar.SetTextFont(&font);
    // "42 %" is 20 pixels wide in the 5-pixel test font, centred: '4' at 40..43, '2' at 45..48,
    // '%' at 55..58; glyph boxes from row 5 (the line centred in 20) down 8 rows.
    bar.SetPos(42, FALSE);
    const COLORREF blue = 0x800000, white = 0xFFFFFF;
    EXPECT_EQ(PixelAfterDraw(41, 7), white);   // text over the fill
    EXPECT_EQ(PixelAfterDraw(42, 7), blue);    // the same glyph past the edge
    EXPECT_EQ(PixelAfterDraw(44, 7), white);   // the glyph's empty column: the empty part
    EXPECT_EQ(PixelAfterDraw(46, 7), blue);    // '2' wholly over the empty part
    EXPECT_EQ(PixelAfterDraw(50, 7), white);   // the space: empty part
    EXPECT_EQ(PixelAfterDraw(10, 2), blue);
    EXPECT_EQ(PixelAfterDraw(90, 2), white);

    // Custom text instead of the percentage, left-aligned; a hidden bar draws nothing.
    bar.SetExStyle(SEC_PS_SHOWTEXT | SEC_PS_TEXTLEFT);
    bar.SetText("ab");
    CString text;
    bar.GetText(text);
    EXPECT_EQ(text, "ab");
    EXPECT_EQ(PixelAfterDraw(1, 7), white);
    EXPECT_EQ(PixelAfterDraw(41, 7), blue);   // no percentage any more
    bar.ShowWindow(SW_HIDE);
    bar.SetColors(0x0000FF, 0x00FF00);
    EXPECT_EQ(PixelAfterDraw(1, 7), 0u);   // the empty surface, untouched
}

TEST_F(SECProgressCtrlTest, RedrawingSetPosPaintsAtOnceThroughTheWindow)
{
    Make(SEC_PS_DEFAULT);
    backend->ProcessMessages();
    bar.SetPos(100, TRUE);   // paints before returning, without a message loop
    EXPECT_EQ(SurfacePixel(*backend, bar.m_hWnd, 2, 2), 0x800000u);
    EXPECT_EQ(SurfacePixel(*backend, bar.m_hWnd, 98, 18), 0x800000u);

    // A window that invalidates itself in every paint is painted once per call, not forever.
    RestlessWnd restless;
    ASSERT_TRUE(restless.CreateEx(0, nullptr, "", WS_CHILD | WS_VISIBLE, 200, 100, 50, 50, top->m_hWnd, nullptr));
    restless.paints = 0;
    bar.SetPos(20, TRUE);
    EXPECT_EQ(restless.paints, 1);
    bar.SetPos(30, TRUE);
    EXPECT_EQ(restless.paints, 2);
    restless.DestroyWindow();
}

}   // namespace
