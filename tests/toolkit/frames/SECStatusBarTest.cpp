// The toolkit's status bars in a frame: part edges from the indicator strings, texts sent once,
// disabled panes, the height rule, WM_GETTEXT counts, pane extras, pane rectangles of parts the
// control has not got, and the progress meter over pane 0.
#include "platform/afx/AfxRes.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/StatusBar.h"
#include "platform/core/TickCount.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "toolkit/controls/SECProgressCtrl.h"
#include "toolkit/frames/SECCustomStatusBar.h"

#include <cairo.h>

#include <cstring>
#include <vector>

namespace {

// Counts the texts the control is sent.
template <class Base>
class Counting : public Base {
public:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == SB_SETTEXT)
            ++texts;
        return Base::WindowProc(message, wParam, lParam);
    }
    int texts = 0;
};

class SECStatusBarTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 500, 300, nullptr, nullptr));
        ASSERT_TRUE(pane.Create(nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_PANE_FIRST));
    }
    void TearDown() override
    {
        if (frame->m_hWnd)
            frame->DestroyWindow();
        AfxTest::TearDown();
    }
    std::vector<int> Parts(const CWnd& bar) const
    {
        int edges[16] = {};
        const int n = static_cast<int>(bar.SendMessage(SB_GETPARTS, 16, reinterpret_cast<LPARAM>(edges)));
        return std::vector<int>(edges, edges + n);
    }
    CFrameWnd* frame = new CFrameWnd;
    CWnd pane;
};

const UINT kIndicators[] = {ID_SEPARATOR, ID_TB_ONE, ID_TB_TWO};

TEST_F(SECStatusBarTest, PanesAreSizedByTheirStringsAndTheFirstSeparatorStretches)
{
    Counting<SECStatusBar> status;
    ASSERT_TRUE(status.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, 0xE801));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 3));
    frame->RecalcLayout();
    UINT id = 0, style = 0;
    int width = 0;
    status.GetPaneInfo(0, id, style, width);
    EXPECT_EQ(style, UINT(SBPS_STRETCH | SBPS_NOBORDERS));
    EXPECT_EQ(width, ::GetSystemMetrics(SM_CXSCREEN) / 4);
    // The whole string sizes a pane, and is its first text.
    EXPECT_EQ(status.GetPaneText(1), "Makes one\nOne");
    CClientDC dc(&status);
    HGDIOBJ old = ::SelectObject(dc.m_hDC, reinterpret_cast<HFONT>(status.SendMessage(WM_GETFONT)));
    const int w1 = dc.GetTextExtent(CString("Makes one\nOne")).cx;
    const int w2 = dc.GetTextExtent(CString("Two")).cx;
    ::SelectObject(dc.m_hDC, old);
    status.GetPaneInfo(2, id, style, width);
    EXPECT_EQ(width, w2);
    // Edges: the last two panes keep their widths plus borders at the right; pane 0 takes the rest.
    CRect client;
    status.GetClientRect(&client);
    const std::vector<int> parts = Parts(status);
    ASSERT_EQ(parts.size(), 3u);
    EXPECT_EQ(parts[2] - parts[1], w2 + 6 + 2);
    EXPECT_EQ(parts[1] - parts[0], w1 + 6 + 2);
    EXPECT_GT(parts[0], client.Width() / 4);

    // The same text again sends nothing; a disabled pane keeps its text but shows none.
    const int before = status.texts;
    ASSERT_TRUE(status.SetPaneText(2, "Three"));
    ASSERT_TRUE(status.SetPaneText(2, "Three"));
    EXPECT_EQ(status.texts, before + 1);
    status.SetPaneStyle(2, SBPS_DISABLED);
    EXPECT_EQ(status.GetPaneText(2), "Three");
    EXPECT_EQ(status.SendMessage(SB_GETTEXTLENGTH, 2), 0);
    status.SetPaneStyle(2, 0);
    EXPECT_EQ(LOWORD(status.SendMessage(SB_GETTEXTLENGTH, 2)), 5);

    // The height: the font's text height less leading, the control's borders twice, the bar's.
    TEXTMETRIC tm{};
    old = ::SelectObject(dc.m_hDC, reinterpret_cast<HFONT>(status.SendMessage(WM_GETFONT)));
    ::GetTextMetrics(dc.m_hDC, &tm);
    ::SelectObject(dc.m_hDC, old);
    int borders[3] = {};
    status.SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const CSize size = status.CalcFixedLayout(TRUE, TRUE);
    EXPECT_EQ(size.cx, 32767);
    EXPECT_EQ(size.cy, tm.tmHeight - tm.tmInternalLeading - 1 + 2 * (borders[1] + ::GetSystemMetrics(SM_CYBORDER)) + 2);
    EXPECT_EQ(status.CalcFixedLayout(TRUE, FALSE), CSize(0, 0));
    status.SendMessage(SB_SETMINHEIGHT, 60);
    EXPECT_EQ(status.CalcFixedLayout(TRUE, TRUE).cy, 60);
    status.DestroyWindow();
}

TEST_F(SECStatusBarTest, GetTextCountsTheCharactersCopied)
{
    SECStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 3));
    char buffer[16];
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(status.SendMessage(WM_GETTEXT, sizeof(buffer), reinterpret_cast<LPARAM>(buffer)), 0) << "empty";
    EXPECT_EQ(buffer[0], '\0');
    EXPECT_EQ(status.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready")), 0);
    EXPECT_EQ(status.SendMessage(WM_GETTEXTLENGTH), 5);
    // A buffer exactly as long as the text: one byte less, terminated inside, four copied.
    std::memset(buffer, 'x', sizeof(buffer));
    EXPECT_EQ(status.SendMessage(WM_GETTEXT, 5, reinterpret_cast<LPARAM>(buffer)), 4);
    EXPECT_STREQ(buffer, "Read");
    EXPECT_EQ(buffer[5], 'x');
    EXPECT_EQ(status.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(buffer)), 5);
    EXPECT_EQ(status.SendMessage(WM_GETTEXT, 0, reinterpret_cast<LPARAM>(buffer)), 0);
    // Without a pane of id 0 there is nowhere to put a text.
    const UINT noSeparator[] = {ID_TB_ONE};
    ASSERT_TRUE(status.SetIndicators(noSeparator, 1));
    EXPECT_EQ(status.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready")), -1);
    EXPECT_EQ(status.SendMessage(WM_GETTEXT, 16, reinterpret_cast<LPARAM>(buffer)), 0);
    EXPECT_EQ(status.SendMessage(WM_GETTEXTLENGTH), 0);
    // No ids: n empty panes.
    ASSERT_TRUE(status.SetIndicators(nullptr, 4));
    EXPECT_EQ(status.GetPaneCount(), 4);
    EXPECT_EQ(status.GetPaneText(3), "");
    status.DestroyWindow();
}

TEST_F(SECStatusBarTest, TheMeterTakesPaneZeroAndGivesItBack)
{
    SECCustomStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 3));
    frame->RecalcLayout();
    SECPaneInfo colours;
    colours.iIndex = 0;
    colours.crTextForeground = RGB(0, 0, 128);
    colours.fMask = SBP_FOREGROUND;
    status.SetPaneInfoEx(&colours);
    status.SetPaneText(0, "Ready");
    UINT id0 = 0, style0 = 0;
    int width0 = 0;
    status.GetPaneInfo(0, id0, style0, width0);

    ASSERT_TRUE(status.InitProgressBar("Scanning for Metatags: ", 0, 40));
    SECProgressCtrl* meter = status.GetProgressCtrl();
    ASSERT_TRUE(meter);
    EXPECT_TRUE(meter->IsWindowVisible());
    EXPECT_EQ(status.GetPaneText(0), "Scanning for Metatags: ");
    CRect client, rcMeter;
    status.GetClientRect(&client);
    meter->GetWindowRect(&rcMeter);
    status.ScreenToClient(&rcMeter);
    EXPECT_GT(rcMeter.left, client.left + 40) << "the meter starts after the text";
    EXPECT_EQ(rcMeter.right, client.right);
    // Steps of the meter's own size; texts sent to the bar wait while it runs. The meter is
    // painted at once for the first step of a frame; later steps of that frame wait for the next
    // paint, and nothing of them is lost.
    ULONGLONG now = 1000000;
    SetTickCountSource([&] { return now; });
    RECT dirty;
    status.StepProgress();
    EXPECT_FALSE(::GetUpdateRect(meter->m_hWnd, &dirty, FALSE));
    status.StepProgress();
    EXPECT_TRUE(::GetUpdateRect(meter->m_hWnd, &dirty, FALSE));
    now += SECCustomStatusBar::kStepPaintInterval;
    status.StepProgress();
    EXPECT_FALSE(::GetUpdateRect(meter->m_hWnd, &dirty, FALSE));
    SetTickCountSource({});
    EXPECT_EQ(meter->GetPos(), 30u);
    EXPECT_EQ(status.SendMessage(WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Ready")), 0);
    EXPECT_EQ(status.GetPaneText(0), "Scanning for Metatags: ");

    // A second start re-ranges the same meter and keeps the first saved pane 0.
    ASSERT_TRUE(status.InitProgressBar("Again: ", 0, 10, FALSE));
    EXPECT_EQ(status.GetProgressCtrl(), meter);
    EXPECT_EQ(meter->GetPos(), 30u) << "no reset asked";
    status.ClearProgressBar();
    EXPECT_EQ(status.GetProgressCtrl(), nullptr);
    UINT id = 0, style = 0;
    int width = 0;
    status.GetPaneInfo(0, id, style, width);
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    EXPECT_EQ(width, width0);
    EXPECT_EQ(style, style0);
    SECPaneInfo back;
    back.iIndex = 0;
    status.GetPaneInfoEx(&back);
    EXPECT_EQ(back.crTextForeground, RGB(0, 0, 128));
    EXPECT_TRUE(back.fMask & SBP_FOREGROUND);
    status.ClearProgressBar(); // without a meter: nothing

    // Without a text the meter covers the whole client and pane 0 stays as it is.
    ASSERT_TRUE(status.InitProgressBar(nullptr, 0, 5));
    status.GetProgressCtrl()->GetWindowRect(&rcMeter);
    status.ScreenToClient(&rcMeter);
    EXPECT_EQ(rcMeter, client);
    EXPECT_EQ(status.GetPaneText(0), "Ready");
    status.ClearProgressBar();
    status.DestroyWindow();
}

TEST_F(SECStatusBarTest, PaneRectanglesStopAtThePartsTheControlHas)
{
    SECCustomStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 3));
    frame->RecalcLayout();
    CRect rect;
    status.GetPaneRect(1, &rect);
    int borders[3] = {};
    status.SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
    const std::vector<int> parts = Parts(status);
    EXPECT_EQ(rect.left, parts[0] + borders[2]);
    EXPECT_EQ(rect.right, parts[1]);
    EXPECT_EQ(rect.top, borders[1]);
    // Indices past the parts, far past them, or negative: an empty rectangle, nothing read.
    for (int bad : {3, 33, 1000, -1}) {
        rect = CRect(1, 2, 3, 4);
        status.GetPaneRect(bad, &rect);
        EXPECT_TRUE(rect.IsRectNull()) << bad;
    }
    EXPECT_EQ(status.GetPaneControl(7), nullptr);
    EXPECT_EQ(status.GetPaneControlFlags(-2), 0u);

    // A 20-pixel bitmap fitted into a pane raises the bar to the bitmap and the borders.
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateBitmap(12, 20, 1, 32, nullptr));
    SECPaneInfo info;
    info.iIndex = 2;
    info.pBitmap = &bitmap;
    info.fMask = SBP_BITMAP;
    status.SetPaneInfoEx(&info, TRUE);
    EXPECT_EQ(status.m_nMinHeight, 20 + 2 * borders[1]);
    UINT id = 0, style = 0;
    int width = 0;
    status.GetPaneInfo(2, id, style, width);
    EXPECT_EQ(width, 12);
    EXPECT_TRUE(style & SBT_OWNERDRAW);

    // A pane whose bitmap extra is on but has no bitmap draws its text.
    SECPaneInfo text;
    text.iIndex = 1;
    text.strText = "XX";
    text.crTextBackground = RGB(255, 0, 0);
    text.fMask = SBP_TEXT | SBP_BITMAP | SBP_BACKGROUND;
    status.SetPaneInfoEx(&text);
    CRect pane1;
    status.GetPaneRect(1, &pane1);
    CBitmap canvas;
    ASSERT_TRUE(canvas.CreateBitmap(200, 40, 1, 32, nullptr));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* oldBitmap = dc.SelectObject(&canvas);
    dc.FillSolidRect(0, 0, 200, 40, RGB(255, 255, 255));
    DRAWITEMSTRUCT item{};
    item.itemID = 1;
    item.hDC = dc.GetSafeHdc();
    item.rcItem = CRect(0, 0, 100, 20);
    status.DrawItem(&item);
    EXPECT_EQ(dc.GetPixel(50, 2), RGB(255, 0, 0)) << "the background fills the pane";
    dc.SelectObject(oldBitmap);
    status.DestroyWindow();
}

TEST_F(SECStatusBarTest, PaneControlsFollowTheirPanesAndRestUnderTheMeter)
{
    SECCustomStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 3));
    frame->RecalcLayout();
    CWnd inset, narrow;
    ASSERT_TRUE(inset.Create(nullptr, "inset", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &status, 11));
    ASSERT_TRUE(narrow.Create(nullptr, "narrow", WS_CHILD | WS_VISIBLE, CRect(0, 0, 7, 5), &status, 12));
    status.SetPaneControl(1, &inset, 2, SBC_INSET);
    status.SetPaneControl(2, &narrow, 2, SBC_KEEPWIDTH | SBC_INSET);
    EXPECT_EQ(status.GetPaneControl(1), &inset);
    EXPECT_EQ(status.GetPaneControlFlags(2), UINT(SBC_KEEPWIDTH | SBC_INSET));
    status.RepositionPaneControls();
    auto inBar = [&](CWnd& wnd) {
        CRect rect;
        wnd.GetWindowRect(&rect);
        status.ScreenToClient(&rect);
        return rect;
    };
    CRect pane1, pane2;
    status.GetItemRect(1, &pane1);
    status.GetItemRect(2, &pane2);
    EXPECT_EQ(inBar(inset), CRect(pane1.left + 1, pane1.top + 1, pane1.right - 1, pane1.bottom - 1));
    EXPECT_EQ(inBar(narrow), CRect(pane2.left, pane2.top + 1, pane2.left + 7, pane2.bottom - 1))
        << "its own width kept, inset only top and bottom";
    // The meter hides them; clearing it shows them again.
    ASSERT_TRUE(status.InitProgressBar("Working", 0, 10));
    EXPECT_FALSE(inset.IsWindowVisible());
    EXPECT_FALSE(narrow.IsWindowVisible());
    status.ClearProgressBar();
    EXPECT_TRUE(inset.IsWindowVisible());
    // A null window clears its flags.
    status.SetPaneControl(1, nullptr);
    EXPECT_EQ(status.GetPaneControl(1), nullptr);
    EXPECT_EQ(status.GetPaneControlFlags(1), 0u);
    inset.DestroyWindow();
    narrow.DestroyWindow();
    status.DestroyWindow();
}

} // namespace

// The band a status bar keeps outside its client area is painted in the face colour whenever
// the bar is painted, also where the bar has just grown.
TEST_F(SECStatusBarTest, TheBandOutsideTheClientIsFaceColouredAtAnySize)
{
    SECStatusBar status;
    ASSERT_TRUE(status.Create(frame, WS_CHILD | WS_VISIBLE | CBRS_TOP, 0xE801));
    ASSERT_TRUE(status.SetIndicators(kIndicators, 1));
    status.SetWindowPos(nullptr, 0, 0, 200, 24, SWP_NOZORDER | SWP_NOACTIVATE);
    backend->ProcessMessages();
    CRect window, client;
    status.GetWindowRect(&window);
    status.GetClientRect(&client);
    status.ClientToScreen(&client);
    ASSERT_LT(client.bottom, window.bottom) << "the bar keeps a band below its client area";
    // Something else's pixels where the bar will grow, and over the bar itself.
    HDC dc = ::GetWindowDC(frame->m_hWnd);
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 500, 300};
    ::FillRect(dc, &all, red);
    ::DeleteObject(red);
    ::ReleaseDC(frame->m_hWnd, dc);
    status.SetWindowPos(nullptr, 0, 0, 400, 24, SWP_NOZORDER | SWP_NOACTIVATE);
    backend->ProcessMessages();
    CRect frameRect;
    frame->GetWindowRect(&frameRect);
    cairo_surface_t* s = backend->Capture(frame->m_hWnd);
    ASSERT_NE(s, nullptr);
    cairo_surface_flush(s);
    auto pixel = [&](int x, int y) {
        const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y - frameRect.top) * cairo_image_surface_get_stride(s);
        return reinterpret_cast<const uint32_t*>(row)[x - frameRect.left] & 0xFFFFFF;
    };
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const uint32_t faceRgb = (GetRValue(face) << 16) | (GetGValue(face) << 8) | GetBValue(face);
    EXPECT_EQ(pixel(window.left + 100, window.bottom - 1), faceRgb);
    EXPECT_EQ(pixel(window.left + 300, window.bottom - 1), faceRgb) << "where the bar grew";
    cairo_surface_destroy(s);
    status.DestroyWindow();
}
