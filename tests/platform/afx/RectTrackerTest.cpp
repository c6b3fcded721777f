// Rectangle trackers: hit testing of the handles, the cursor over them, and the tracking loop
// driven by injected mouse and keys: rubber bands, moves, resizes held at their smallest size,
// cancelling with Esc, and XOR feedback that leaves the window as it was.
#include "platform/afx/dlg/CRectTracker.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"
#include "tests/platform/afx/AfxFixture.h"

#include <cairo.h>

#include <string>
#include <vector>

namespace {

// Records each rectangle drawn during tracking and whether it erased.
class CRecordingTracker : public CRectTracker {
public:
    using CRectTracker::CRectTracker;
    struct Drawn {
        CRect rect;
        bool erase;
    };
    std::vector<Drawn> drawn;
    int changes = 0;
    void DrawTrackerRect(LPCRECT lpRect, CWnd* pWndClipTo, CDC* pDC, CWnd* pWnd) override
    {
        drawn.push_back({CRect(*lpRect), m_bErase != FALSE});
        CRectTracker::DrawTrackerRect(lpRect, pWndClipTo, pDC, pWnd);
    }
    void OnChangedRect(const CRect&) override { ++changes; }
};

class RectTrackerTest : public AfxTest {
protected:
    POINT Screen(int x, int y) { return At(top->m_hWnd, x, y); }
    // The window's pixels, to compare before and after.
    std::vector<unsigned char> Pixels()
    {
        top->UpdateWindow();
        cairo_surface_t* surface = backend->Capture(top->m_hWnd);
        cairo_surface_flush(surface);
        const unsigned char* data = cairo_image_surface_get_data(surface);
        std::vector<unsigned char> copy(data, data + cairo_image_surface_get_stride(surface) *
                                                         cairo_image_surface_get_height(surface));
        cairo_surface_destroy(surface);
        return copy;
    }
};

TEST_F(RectTrackerTest, HandlesAreHitWhereTheyAreDrawn)
{
    CRectTracker tracker(CRect(50, 50, 150, 120), CRectTracker::resizeInside | CRectTracker::solidLine);
    EXPECT_EQ(tracker.HitTest(CPoint(51, 51)), CRectTracker::hitTopLeft);
    EXPECT_EQ(tracker.HitTest(CPoint(148, 51)), CRectTracker::hitTopRight);
    EXPECT_EQ(tracker.HitTest(CPoint(148, 118)), CRectTracker::hitBottomRight);
    EXPECT_EQ(tracker.HitTest(CPoint(51, 118)), CRectTracker::hitBottomLeft);
    EXPECT_EQ(tracker.HitTest(CPoint(100, 51)), CRectTracker::hitTop);
    EXPECT_EQ(tracker.HitTest(CPoint(148, 85)), CRectTracker::hitRight);
    EXPECT_EQ(tracker.HitTest(CPoint(100, 85)), CRectTracker::hitMiddle);
    EXPECT_EQ(tracker.HitTest(CPoint(10, 10)), CRectTracker::hitNothing);

    CRectTracker outside(CRect(50, 50, 150, 120), CRectTracker::resizeOutside);
    CRect trueRect;
    outside.GetTrueRect(&trueRect);
    EXPECT_EQ(trueRect, CRect(45, 45, 155, 125));
    EXPECT_EQ(outside.HitTest(CPoint(46, 46)), CRectTracker::hitTopLeft) << "the handle lies outside";
    EXPECT_EQ(outside.HitTest(CPoint(40, 40)), CRectTracker::hitNothing);

    // An inverted rectangle's handle for its left edge is drawn at the right.
    CRectTracker inverted(CRect(150, 50, 50, 120), CRectTracker::resizeInside);
    EXPECT_EQ(inverted.NormalizeHit(CRectTracker::hitTopLeft), CRectTracker::hitTopRight);
    EXPECT_EQ(inverted.HitTest(CPoint(148, 51)), CRectTracker::hitTopLeft);

    // The cursor over a handle is its sizing cursor; elsewhere the window's own.
    backend->MouseMove(Screen(51, 51));
    backend->ProcessMessages();
    EXPECT_TRUE(tracker.SetCursor(top.get(), HTCLIENT));
    EXPECT_EQ(GetCursor(), LoadCursor(nullptr, IDC_SIZENWSE));
    EXPECT_FALSE(tracker.SetCursor(top.get(), HTCAPTION));
    backend->MouseMove(Screen(10, 10));
    backend->ProcessMessages();
    EXPECT_FALSE(tracker.SetCursor(top.get(), HTCLIENT));
}

TEST_F(RectTrackerTest, RubberBandFollowsTheMouseAndItsFeedbackLeavesNoTrace)
{
    const std::vector<unsigned char> before = Pixels();
    CRecordingTracker tracker;
    tracker.m_nStyle = CRectTracker::dottedLine;
    backend->WhenIdle([&] { backend->MouseMove(Screen(60, 40)); });
    backend->WhenIdle([&] { backend->MouseMove(Screen(90, 70)); });
    backend->WhenIdle([&] { backend->MouseUp(1, Screen(90, 70)); });
    backend->MouseDown(1, Screen(20, 30));
    EXPECT_TRUE(tracker.TrackRubberBand(top.get(), CPoint(20, 30)));
    EXPECT_EQ(tracker.m_rect, CRect(20, 30, 90, 70));
    EXPECT_EQ(GetCapture(), nullptr);
    // Each rectangle drawn is erased once, the last at the release.
    ASSERT_EQ(tracker.drawn.size(), 4u);
    EXPECT_FALSE(tracker.drawn[0].erase);
    EXPECT_EQ(tracker.drawn[0].rect, CRect(20, 30, 60, 40));
    EXPECT_TRUE(tracker.drawn[1].erase);
    EXPECT_EQ(tracker.drawn[1].rect, CRect(20, 30, 60, 40));
    EXPECT_EQ(tracker.drawn[2].rect, CRect(20, 30, 90, 70));
    EXPECT_TRUE(tracker.drawn[3].erase);
    backend->ProcessMessages();
    EXPECT_EQ(Pixels(), before) << "the XOR feedback was erased";

    // A band dragged up and left turns over only when allowed.
    CRectTracker normalized;
    backend->WhenIdle([&] { backend->MouseMove(Screen(10, 10)); });
    backend->WhenIdle([&] { backend->MouseUp(1, Screen(10, 10)); });
    backend->MouseDown(1, Screen(40, 40));
    EXPECT_FALSE(normalized.TrackRubberBand(top.get(), CPoint(40, 40), FALSE));
    EXPECT_TRUE(normalized.m_rect.IsRectEmpty());
    CRectTracker inverted;
    backend->WhenIdle([&] { backend->MouseMove(Screen(10, 10)); });
    backend->WhenIdle([&] { backend->MouseUp(1, Screen(10, 10)); });
    backend->MouseDown(1, Screen(40, 40));
    EXPECT_TRUE(inverted.TrackRubberBand(top.get(), CPoint(40, 40), TRUE));
    EXPECT_EQ(inverted.m_rect, CRect(40, 40, 10, 10));
}

TEST_F(RectTrackerTest, MovesResizesAndCancels)
{
    CRecordingTracker tracker(CRect(50, 50, 150, 120), CRectTracker::resizeInside | CRectTracker::solidLine);
    // A move keeps the size, whatever point of the rectangle was grabbed.
    backend->WhenIdle([&] { backend->MouseMove(Screen(110, 90)); });
    backend->WhenIdle([&] { backend->MouseUp(1, Screen(110, 90)); });
    backend->MouseDown(1, Screen(100, 85));
    EXPECT_TRUE(tracker.Track(top.get(), CPoint(100, 85)));
    EXPECT_EQ(tracker.m_rect, CRect(60, 55, 160, 125));

    // The right edge dragged past the left one stops at the smallest size.
    tracker.m_sizeMin = CSize(20, 20);
    backend->WhenIdle([&] { backend->MouseMove(Screen(20, 90)); });
    backend->WhenIdle([&] { backend->MouseUp(1, Screen(20, 90)); });
    backend->MouseDown(1, Screen(158, 90));
    EXPECT_TRUE(tracker.Track(top.get(), CPoint(158, 90)));
    EXPECT_EQ(tracker.m_rect, CRect(60, 55, 80, 125));

    // Esc puts the rectangle back and answers no change; so does the right button.
    const CRect kept = tracker.m_rect;
    backend->WhenIdle([&] { backend->MouseMove(Screen(200, 200)); });
    backend->WhenIdle([&] { backend->Key(VK_ESCAPE); });
    backend->MouseDown(1, Screen(70, 90));
    EXPECT_FALSE(tracker.Track(top.get(), CPoint(70, 90)));
    EXPECT_EQ(tracker.m_rect, kept);
    EXPECT_TRUE(tracker.drawn.back().erase) << "the feedback went with the cancel";
    backend->WhenIdle([&] { backend->MouseMove(Screen(200, 200)); });
    backend->WhenIdle([&] { backend->MouseDown(3, Screen(200, 200)); });
    backend->MouseDown(1, Screen(70, 90));
    EXPECT_FALSE(tracker.Track(top.get(), CPoint(70, 90)));
    EXPECT_EQ(tracker.m_rect, kept);
    backend->MouseUp(3, Screen(200, 200));
    backend->MouseUp(1, Screen(200, 200));
    backend->ProcessMessages();

    // A press outside the rectangle tracks nothing.
    EXPECT_FALSE(tracker.Track(top.get(), CPoint(300, 250)));
}

TEST_F(RectTrackerTest, DrawsBorderAndHandles)
{
    CRectTracker tracker(CRect(50, 50, 150, 120), CRectTracker::resizeInside | CRectTracker::solidLine);
    HDC hdc = GetDC(top->m_hWnd);
    CDC dc;
    dc.Attach(hdc);
    dc.FillSolidRect(CRect(0, 0, 300, 200), RGB(255, 255, 255));
    tracker.Draw(&dc);
    EXPECT_EQ(GetPixel(hdc, 49, 80), RGB(0, 0, 0)) << "the border, a pixel outside";
    EXPECT_EQ(GetPixel(hdc, 52, 52), RGB(0, 0, 0)) << "a corner handle";
    EXPECT_EQ(GetPixel(hdc, 100, 53), RGB(0, 0, 0)) << "a middle handle";
    EXPECT_EQ(GetPixel(hdc, 100, 85), RGB(255, 255, 255)) << "the inside is left alone";
    dc.Detach();
    ReleaseDC(top->m_hWnd, hdc);
}

} // namespace
