// Update regions and paint messages, device-context clipping of children and siblings,
// scrolling a window's pixels and the screen overlay.
#include "platform/win/WindowTestSupport.h"

#include "platform/core/CRect.h"
#include "platform/win/Gdi.h"

#include <cairo.h>

namespace {

class Painting : public WindowTest {
protected:
    void Fill(HWND hwnd, const RECT& r, COLORREF color)
    {
        HDC dc = GetDC(hwnd);
        HBRUSH brush = CreateSolidBrush(color);
        FillRect(dc, &r, brush);
        DeleteObject(brush);
        ReleaseDC(hwnd, dc);
    }
    // Paints by validating only (no drawing), recording what each WM_PAINT was asked to paint.
    void RecordPaints()
    {
        MessageLog::Get().handlers[WM_PAINT] = [this](HWND h, WPARAM, LPARAM, bool&) -> LRESULT {
            PAINTSTRUCT ps;
            BeginPaint(h, &ps);
            paints.push_back({h, ps.rcPaint, ps.fErase});
            EndPaint(h, &ps);
            return 0;
        };
    }
    struct Paint {
        HWND hwnd;
        RECT rc;
        BOOL erase;
    };
    std::vector<Paint> paints;
};

TEST_F(Painting, InvalidationsMergeIntoOnePaintAfterOtherMessages)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    RecordPaints();
    Pump();
    paints.clear();
    RECT a{10, 10, 20, 20}, b{50, 40, 60, 70};
    InvalidateRect(hwnd, &a, FALSE);
    PostMessage(hwnd, WM_USER, 0, 0);
    InvalidateRect(hwnd, &b, TRUE);
    MSG msg;
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_USER));   // posted messages go first
    ASSERT_TRUE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, static_cast<UINT>(WM_PAINT));
    DispatchMessage(&msg);
    EXPECT_FALSE(PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE));   // validated: no more paint
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_EQ(paints[0].rc.left, 10);
    EXPECT_EQ(paints[0].rc.top, 10);
    EXPECT_EQ(paints[0].rc.right, 60);
    EXPECT_EQ(paints[0].rc.bottom, 70);
    EXPECT_FALSE(paints[0].erase);   // the class brush erased the background
}

TEST_F(Painting, UpdateRegionQueriesAndValidation)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    RecordPaints();
    Pump();
    RECT r;
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    RECT a{0, 0, 30, 30};
    InvalidateRect(hwnd, &a, FALSE);
    EXPECT_TRUE(GetUpdateRect(hwnd, &r, FALSE));
    EXPECT_EQ(r.right, 30);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(GetUpdateRgn(hwnd, rgn, FALSE), SIMPLEREGION);
    RECT box;
    GetRgnBox(rgn, &box);
    EXPECT_EQ(box.bottom, 30);
    ValidateRect(hwnd, nullptr);
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
    EXPECT_EQ(GetUpdateRgn(hwnd, rgn, FALSE), NULLREGION);
    DeleteObject(rgn);
    // Outside the client area nothing is invalidated.
    RECT outside{300, 300, 400, 400};
    InvalidateRect(hwnd, &outside, FALSE);
    EXPECT_FALSE(GetUpdateRect(hwnd, &r, FALSE));
}

TEST_F(Painting, HiddenWindowsAreNotPainted)
{
    HWND hwnd = Create(WS_POPUP, 0, 0, 50, 50);
    RecordPaints();
    InvalidateRect(hwnd, nullptr, TRUE);
    Pump();
    EXPECT_TRUE(paints.empty());
    ShowWindow(hwnd, SW_SHOWNA);
    Pump();
    EXPECT_EQ(paints.size(), 1u);
}

TEST_F(Painting, UpdateWindowPaintsAtOnceParentsBeforeChildren)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    RecordPaints();
    Pump();
    paints.clear();
    InvalidateRect(top, nullptr, FALSE);   // no clip-children: the child is invalidated too
    UpdateWindow(top);
    ASSERT_EQ(paints.size(), 2u);
    EXPECT_EQ(paints[0].hwnd, top);
    EXPECT_EQ(paints[1].hwnd, child);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, nullptr, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}

TEST_F(Painting, ClipChildrenKeepsParentInvalidationsOffItsChildren)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 200, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 50, 50, top);
    RecordPaints();
    Pump();
    RECT r;
    InvalidateRect(top, nullptr, FALSE);
    EXPECT_FALSE(GetUpdateRect(child, &r, FALSE));
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
    EXPECT_TRUE(GetUpdateRect(child, &r, FALSE));
    Pump();
    RedrawWindow(top, nullptr, nullptr, RDW_INVALIDATE | RDW_NOCHILDREN);
    EXPECT_FALSE(GetUpdateRect(child, &r, FALSE));
    RedrawWindow(top, nullptr, nullptr, RDW_VALIDATE);
    EXPECT_FALSE(GetUpdateRect(top, &r, FALSE));
}

TEST_F(Painting, InternalPaintGivesOnePaintWithoutAnUpdateRegion)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    RecordPaints();
    Pump();
    paints.clear();
    RedrawWindow(hwnd, nullptr, nullptr, RDW_INTERNALPAINT);
    Pump();
    ASSERT_EQ(paints.size(), 1u);
    EXPECT_TRUE(IsRectEmpty(&paints[0].rc));
}

TEST_F(Painting, EraseFillsWithTheClassBrush)
{
    HWND hwnd = Create(WS_POPUP | WS_VISIBLE, 0, 0, 40, 40);
    Pump();
    Fill(hwnd, RECT{0, 0, 40, 40}, RGB(0, 0, 0));
    EXPECT_EQ(Pixel(hwnd, 5, 5), 0x000000u);
    RECT r{0, 0, 10, 10};
    InvalidateRect(hwnd, &r, TRUE);
    Pump();
    EXPECT_EQ(Pixel(hwnd, 5, 5), 0xFFFFFFu);   // COLOR_WINDOW + 1
    EXPECT_EQ(Pixel(hwnd, 15, 15), 0x000000u);   // outside the update region
    EXPECT_FALSE(backend->Find(hwnd)->presented.empty());
}

TEST_F(Painting, ChildReachingOverTheParentsFrameLeavesNoPixelsThere)
{
    // A parent with a border and a vertical scroll bar shrinks under a child that keeps its
    // size: the frame and the bar are drawn again over where the child's pixels were.
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 200, 200);
    HWND parent = Create(WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_CLIPCHILDREN, 0, 0, 150, 150, top);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 0, 0, 140, 140, parent);
    MessageLog::Get().handlers[WM_PAINT] = [child](HWND h, WPARAM, LPARAM, bool& handled) -> LRESULT {
        handled = h == child;
        if (!handled)
            return 0;
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(h, &ps);
        HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
        FillRect(dc, &ps.rcPaint, red);
        DeleteObject(red);
        EndPaint(h, &ps);
        return 0;
    };
    Pump();
    EXPECT_EQ(Pixel(top, 50, 50), 0xFF0000u);
    SetWindowPos(parent, nullptr, 0, 0, 100, 100, SWP_NOZORDER | SWP_NOMOVE);
    Pump();
    RECT client;
    GetClientRect(parent, &client);
    const int barX = 1 + client.right + GetSystemMetrics(SM_CXVSCROLL) / 2;   // the middle of the bar
    EXPECT_NE(Pixel(top, barX, 50), 0xFF0000u);
    EXPECT_EQ(Pixel(top, 99, 50), 0x000000u);   // the border
    EXPECT_EQ(Pixel(top, 50, 99), 0x000000u);
    EXPECT_EQ(Pixel(top, 50, 50), 0xFF0000u);   // the child within the client area
}

TEST_F(Painting, ChildDrawingIsClippedBySiblingsAboveWithClipSiblings)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND upper = Create(WS_CHILD | WS_VISIBLE, 30, 30, 60, 60, top);   // made first: on top
    HWND lower = Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0, 60, 60, top);
    (void)upper;
    Pump();
    Fill(top, RECT{0, 0, 100, 100}, RGB(0, 0, 255));
    Fill(lower, RECT{0, 0, 60, 60}, RGB(255, 0, 0));
    EXPECT_EQ(Pixel(top, 10, 10), 0xFF0000u);
    EXPECT_EQ(Pixel(top, 40, 40), 0x0000FFu);   // under the upper sibling
    // Without clip-siblings the lower window draws over its sibling.
    SetWindowLong(lower, GWL_STYLE, static_cast<LONG>(WS_CHILD | WS_VISIBLE));
    Fill(lower, RECT{0, 0, 60, 60}, RGB(0, 255, 0));
    EXPECT_EQ(Pixel(top, 40, 40), 0x00FF00u);
}

TEST_F(Painting, ParentDrawingSkipsChildrenWithClipChildren)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 100, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 20, 20, 30, 30, top);
    Pump();
    Fill(child, RECT{0, 0, 30, 30}, RGB(0, 255, 0));
    Fill(top, RECT{0, 0, 100, 100}, RGB(255, 0, 0));
    EXPECT_EQ(Pixel(top, 25, 25), 0x00FF00u);
    EXPECT_EQ(Pixel(top, 5, 5), 0xFF0000u);
    // A cache DC clips only what its flags ask for.
    HDC dc = GetDCEx(top, nullptr, DCX_CACHE);
    HBRUSH brush = CreateSolidBrush(RGB(0, 0, 255));
    RECT all{0, 0, 100, 100};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(top, dc);
    EXPECT_EQ(Pixel(top, 25, 25), 0x0000FFu);
}

TEST_F(Painting, ChildDrawingStaysInsideItsParentsClientArea)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND parent = Create(WS_CHILD | WS_VISIBLE, 10, 10, 40, 40, top);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 20, 20, 60, 60, parent);   // sticks out
    Pump();
    Fill(top, RECT{0, 0, 100, 100}, RGB(0, 0, 0));
    Fill(child, RECT{0, 0, 60, 60}, RGB(255, 255, 255));
    EXPECT_EQ(Pixel(top, 45, 45), 0xFFFFFFu);
    EXPECT_EQ(Pixel(top, 55, 55), 0x000000u);
}

TEST_F(Painting, ScrollWindowExMovesPixelsAndInvalidatesTheUncoveredStrip)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    RecordPaints();
    Pump();
    for (int y = 0; y < 100; ++y)
        Fill(top, RECT{0, y, 100, y + 1}, RGB(y, 0, 0));
    RECT update{};
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    int kind = ScrollWindowEx(top, 0, -10, nullptr, nullptr, rgn, &update, SW_INVALIDATE);
    EXPECT_EQ(kind, SIMPLEREGION);
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.top, 90);
    EXPECT_EQ(update.right, 100);
    EXPECT_EQ(update.bottom, 100);
    for (int y = 0; y < 90; y += 7)
        EXPECT_EQ(Pixel(top, 50, y), static_cast<uint32_t>((y + 10) << 16)) << "row " << y;
    RECT pending;
    ASSERT_TRUE(GetUpdateRect(top, &pending, FALSE));
    EXPECT_EQ(pending.top, 90);
    EXPECT_EQ(pending.bottom, 100);
    DeleteObject(rgn);
    // Scrolling right by 5 inside a rectangle moves only that rectangle.
    Pump();
    Fill(top, RECT{0, 0, 100, 100}, RGB(0, 0, 0));
    Fill(top, RECT{10, 10, 11, 20}, RGB(0, 255, 0));
    RECT area{0, 0, 50, 50};
    ScrollWindowEx(top, 5, 0, &area, &area, nullptr, &update, 0);
    EXPECT_EQ(Pixel(top, 15, 12), 0x00FF00u);
    EXPECT_EQ(update.left, 0);
    EXPECT_EQ(update.right, 5);
    EXPECT_EQ(update.bottom, 50);
    EXPECT_FALSE(GetUpdateRect(top, &pending, FALSE));   // no SW_INVALIDATE: nothing pending
}

TEST_F(Painting, ScrollWindowExMovesChildrenAndThePendingUpdate)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 100, 100);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 50, 20, 20, top);
    RecordPaints();
    Pump();
    RECT pendingRect{40, 40, 50, 50};
    InvalidateRect(top, &pendingRect, FALSE);
    ValidateRect(child, nullptr);
    MessageLog::Get().Clear();
    ScrollWindowEx(top, 0, -10, nullptr, nullptr, nullptr, nullptr, SW_SCROLLCHILDREN | SW_INVALIDATE | SW_ERASE);
    RECT r;
    GetWindowRect(child, &r);
    EXPECT_EQ(r.left, 10);
    EXPECT_EQ(r.top, 40);
    EXPECT_EQ(MessageLog::Get().Count(child, WM_MOVE), 1u);
    HRGN rgn = CreateRectRgn(0, 0, 0, 0);
    GetUpdateRgn(top, rgn, FALSE);
    EXPECT_TRUE(PtInRegion(rgn, 45, 35));   // the pending rectangle moved up with the pixels
    EXPECT_FALSE(PtInRegion(rgn, 45, 45));
    EXPECT_TRUE(PtInRegion(rgn, 50, 95));   // the uncovered strip
    DeleteObject(rgn);
}

TEST_F(Painting, LockWindowUpdateSuppressesDrawingUntilUnlocked)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    RecordPaints();
    Pump();
    Fill(top, RECT{0, 0, 50, 50}, RGB(0, 0, 0));
    EXPECT_TRUE(LockWindowUpdate(top));
    EXPECT_FALSE(LockWindowUpdate(GetDesktopWindow()));   // one lock at a time
    Fill(top, RECT{0, 0, 50, 50}, RGB(255, 0, 0));
    EXPECT_EQ(Pixel(top, 5, 5), 0x000000u);
    paints.clear();
    LockWindowUpdate(nullptr);
    Pump();
    EXPECT_EQ(paints.size(), 1u);   // everything is painted again
}

TEST_F(Painting, LockingTheDesktopLeavesWindowsAlone)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE, 0, 0, 50, 50);
    RecordPaints();
    Pump();
    ASSERT_TRUE(LockWindowUpdate(GetDesktopWindow()));
    Fill(top, RECT{0, 0, 50, 50}, RGB(255, 0, 0));
    EXPECT_EQ(Pixel(top, 5, 5), 0xFF0000u);
    paints.clear();
    LockWindowUpdate(nullptr);
    Pump();
    EXPECT_TRUE(paints.empty());
}

TEST_F(Painting, ScreenDrawingGoesToTheOverlayAndXorsBack)
{
    HDC dc = GetDC(nullptr);
    ASSERT_TRUE(dc);
    RECT r{10, 10, 20, 20};
    InvertRect(dc, &r);
    EXPECT_EQ(ReleaseDC(nullptr, dc), 1);
    cairo_surface_t* overlay = WindowManager::Get().ScreenOverlay();
    cairo_surface_flush(overlay);
    auto at = [&](int x, int y) {
        unsigned char* data = cairo_image_surface_get_data(overlay);
        return *reinterpret_cast<uint32_t*>(data + y * cairo_image_surface_get_stride(overlay) + x * 4) & 0xFFFFFF;
    };
    uint32_t inverted = at(15, 15);
    EXPECT_NE(inverted, at(5, 5));
    dc = GetDC(nullptr);
    InvertRect(dc, &r);
    ReleaseDC(nullptr, dc);
    cairo_surface_flush(overlay);
    EXPECT_EQ(at(15, 15), at(5, 5));
}

TEST_F(Painting, WindowDcCoversTheFrame)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE | WS_BORDER, 0, 0, 50, 50);
    Pump();
    HDC dc = GetWindowDC(top);
    HBRUSH brush = CreateSolidBrush(RGB(0, 255, 0));
    RECT all{0, 0, 50, 50};
    FillRect(dc, &all, brush);
    DeleteObject(brush);
    ReleaseDC(top, dc);
    EXPECT_EQ(Pixel(top, 0, 0), 0x00FF00u);
    EXPECT_EQ(WindowFromDC(dc), nullptr);   // released
    dc = GetDC(top);
    EXPECT_EQ(WindowFromDC(dc), top);
    RECT clip;
    GetClipBox(dc, &clip);
    EXPECT_EQ(clip.right, 48);   // the client DC starts inside the border
    ReleaseDC(top, dc);
}

} // namespace

// A window that validates its whole client area as it grows and invalidates only the parts it
// wants drawn again (as a grid does) still gets its frame drawn at the new size: validation
// without RDW_NOFRAME leaves a due frame paint due.
TEST_F(Painting, ValidatingTheClientKeepsTheFramePaintDue)
{
    HWND top = Create(WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 400, 300);
    HWND child = Create(WS_CHILD | WS_VISIBLE, 10, 10, 100, 100, top, WS_EX_CLIENTEDGE);
    Pump();
    MessageLog::Get().handlers[WM_SIZE] = [child](HWND hwnd, WPARAM, LPARAM lParam, bool& handled) -> LRESULT {
        handled = hwnd == child;
        if (handled) {
            ValidateRect(hwnd, nullptr);
            RECT newPart{90, 0, LOWORD(lParam), HIWORD(lParam)};
            InvalidateRect(hwnd, &newPart, TRUE);
        }
        return 0;
    };
    SetWindowPos(child, nullptr, 0, 0, 300, 100, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    Pump();
    // The sunken edge's outer line, along the top where the window grew and down its right side.
    const uint32_t shadow = 0x808080;
    EXPECT_EQ(Pixel(top, 10 + 250, 10), shadow);
    EXPECT_EQ(Pixel(top, 10 + 299, 60), 0xFFFFFFu) << "the outer highlight on the right";

    // RDW_NOFRAME does suppress it.
    SetWindowPos(child, nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(child, nullptr, nullptr, RDW_VALIDATE | RDW_NOFRAME | RDW_NOCHILDREN);
    MSG msg;
    EXPECT_FALSE(PeekMessage(&msg, child, WM_PAINT, WM_PAINT, PM_NOREMOVE));
}
