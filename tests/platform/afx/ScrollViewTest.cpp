#include "platform/afx/AfxFixture.h"

#include "platform/afx/doc/CScrollView.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/ScrollBar.h"

namespace {

class Scroller : public CScrollView {
public:
    void OnDraw(CDC*) override {}
    using CScrollView::OnScroll;
};

class ScrollViewTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        view = new Scroller;   // deletes itself with its window
        ASSERT_TRUE(view->Create(nullptr, "view", WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL,
                                 CRect(0, 0, 216, 166), top.get(), 1));
        // The whole client area while no bar shows.
        CRect client;
        view->GetClientRect(&client);
        size = client.Size();
    }
    // Where a logical point of the view lands in its client area.
    CPoint Shown(POINT logical)
    {
        CClientDC dc(view);
        view->OnPrepareDC(&dc);
        CPoint p(logical);
        dc.LPtoDP(&p);
        return p;
    }
    void Key(UINT vk)
    {
        view->SetFocus();
        backend->Key(vk);
        backend->ProcessMessages();
    }

    Scroller* view = nullptr;
    CSize size;
};

} // namespace

TEST_F(ScrollViewTest, PixelsScrollByBarsKeysAndWheelWithinTheDocument)
{
    view->SetScrollSizes(MM_TEXT, CSize(1000, 2000), CSize(100, 200), CSize(10, 20));
    // Both bars show, and the page is what is left of the window.
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(size.cx - ::GetSystemMetrics(SM_CXVSCROLL), size.cy - ::GetSystemMetrics(SM_CYHSCROLL)));
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    ASSERT_TRUE(GetScrollInfo(view->m_hWnd, SB_VERT, &si));
    EXPECT_EQ(si.nMax, 1999);
    EXPECT_EQ(static_cast<int>(si.nPage), client.Height());
    size = client.Size();

    view->ScrollToPosition(CPoint(100, 300));
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(100, 300));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(100, 300));
    EXPECT_EQ(Shown(CPoint(100, 300)), CPoint(0, 0));

    view->SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(100, 320));
    view->SendMessage(WM_HSCROLL, SB_PAGEUP, 0);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 320));
    view->SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBTRACK, 777), 0);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 777));

    Key(VK_DOWN);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 797));
    Key(VK_NEXT);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 997));
    Key(VK_RIGHT);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(10, 997));
    // The wheel: three lines a notch, never past the document's end.
    backend->Wheel(-WHEEL_DELTA, At(view->m_hWnd, 20, 20));
    backend->ProcessMessages();
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(10, 1057));
    Key(VK_END);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 2000 - size.cy));
    EXPECT_FALSE(view->OnScroll(MAKEWORD(0xFF, SB_LINEDOWN), 0, FALSE));
    EXPECT_TRUE(view->OnScroll(MAKEWORD(0xFF, SB_LINEUP), 0, FALSE));
    view->ScrollToPosition(CPoint(-50, 99999));
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 2000 - size.cy));
    Key(VK_HOME);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 0));
    EXPECT_FALSE(view->OnScroll(MAKEWORD(0xFF, SB_LINEUP), 0, FALSE));

    // A document smaller than the window needs no bars and does not scroll.
    view->SetScrollSizes(MM_TEXT, CSize(50, 50));
    EXPECT_FALSE(view->OnScroll(MAKEWORD(SB_LINEDOWN, SB_LINEDOWN), 0, FALSE));
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(0, 0));
}

TEST_F(ScrollViewTest, LogicalUnitsScrollInAFixedModeAndScaleToFit)
{
    // Ten by ten inches in hundredths, shown at 96 pixels an inch: y grows upwards.
    view->SetScrollSizes(MM_LOENGLISH, CSize(1000, 1000));
    int mode;
    SIZE total, page, line;
    view->GetDeviceScrollSizes(mode, total, page, line);
    EXPECT_EQ(mode, MM_LOENGLISH);
    EXPECT_EQ(CSize(total), CSize(960, 960));
    EXPECT_EQ(CSize(page), CSize(96, 96));
    EXPECT_EQ(CSize(line), CSize(9, 9));

    view->ScrollToPosition(CPoint(100, -200));
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(96, 192));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(100, -200));
    EXPECT_EQ(Shown(CPoint(100, -200)), CPoint(0, 0));
    EXPECT_EQ(Shown(CPoint(200, -300)), CPoint(96, 96));
    view->SendMessage(WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_EQ(view->GetDeviceScrollPosition(), CPoint(96, 288));
    EXPECT_EQ(view->GetScrollPosition(), CPoint(100, -300));

    // Scaled to fit, the whole document fills the window and nothing scrolls.
    view->SetScaleToFitSize(CSize(1000, 500));
    EXPECT_EQ(view->GetMapMode(), MM_SCALETOFIT);
    EXPECT_EQ(Shown(CPoint(1000, 500)), CPoint(size.cx, size.cy));
    EXPECT_EQ(view->GetStyle() & (WS_HSCROLL | WS_VSCROLL), 0u);
    EXPECT_FALSE(view->OnScroll(MAKEWORD(0xFF, SB_LINEDOWN), 0, FALSE));
}
