// Static splitters: panes made by class and found by place and id, the layout with the shared
// scroll bars, scrolling shared by a column, and dragging a split bar with its inverted tracker.
#include "platform/afx/frame/CSplitterWnd.h"
#include "platform/controls/ScrollBarControl.h"
#include "platform/win/VirtualKeys.h"
#include "tests/platform/afx/AfxFixture.h"

#include <cairo.h>

#include <vector>

namespace {

// A pane as views are: made by class, deleted with its window.
class CTestPane : public CWnd {
    DECLARE_DYNCREATE(CTestPane)
public:
    static std::vector<std::pair<HWND, HWND>>& Scrolls()   // (pane, bar) of each WM_HSCROLL
    {
        static std::vector<std::pair<HWND, HWND>> scrolls;
        return scrolls;
    }
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_HSCROLL)
            Scrolls().emplace_back(m_hWnd, reinterpret_cast<HWND>(lParam));
        return CWnd::WindowProc(message, wParam, lParam);
    }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override
    {
        cs.lpszClass = AfxRegisterWndClass(0, nullptr, ::GetSysColorBrush(COLOR_WINDOW));
        return cs.lpszClass != nullptr;
    }
    void PostNcDestroy() override { delete this; }
};
IMPLEMENT_DYNCREATE(CTestPane, CWnd)

class CSplitterWndTest : public AfxTest {
protected:
    void TearDown() override
    {
        splitter.reset();
        AfxTest::TearDown();
    }
    CRect PaneRect(int row, int col)
    {
        CRect r;
        ::GetWindowRect(splitter->GetPane(row, col)->m_hWnd, &r);
        ::MapWindowPoints(nullptr, splitter->m_hWnd, reinterpret_cast<LPPOINT>(&r), 2);
        return r;
    }
    // The pixel at a client point of the splitter, from the top-level window's surface.
    uint32_t Pixel(int x, int y)
    {
        POINT pt = At(splitter->m_hWnd, x, y);
        RECT frame;
        ::GetWindowRect(top->m_hWnd, &frame);
        cairo_surface_t* s = backend->Capture(top->m_hWnd);
        if (!s)
            return 0xFFFFFFFF;
        cairo_surface_flush(s);
        const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(pt.y - frame.top) *
                                                                cairo_image_surface_get_stride(s);
        const uint32_t value = reinterpret_cast<const uint32_t*>(row)[pt.x - frame.left] & 0xFFFFFF;
        cairo_surface_destroy(s);
        return value;
    }

    std::unique_ptr<CSplitterWnd> splitter = std::make_unique<CSplitterWnd>();
};

TEST_F(CSplitterWndTest, MakesPanesByClassAndFindsThemByPlaceAndId)
{
    ASSERT_TRUE(splitter->CreateStatic(top.get(), 2, 2, WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL));
    EXPECT_FALSE(splitter->GetStyle() & (WS_HSCROLL | WS_VSCROLL)) << "the bars are shared ones, not its own";
    EXPECT_EQ(splitter->GetScrollStyle(), static_cast<DWORD>(WS_HSCROLL | WS_VSCROLL));
    ASSERT_TRUE(splitter->CreateView(0, 0, RUNTIME_CLASS(CTestPane), CSize(120, 80), nullptr));
    // Each pane asks for its row's height and its column's width.
    ASSERT_TRUE(splitter->CreateView(0, 1, RUNTIME_CLASS(CTestPane), CSize(0, 80), nullptr));
    ASSERT_TRUE(splitter->CreateView(1, 0, RUNTIME_CLASS(CTestPane), CSize(120, 0), nullptr));
    // The place is taken, outside the grid, or the class is no window.
    EXPECT_FALSE(splitter->CreateView(0, 0, RUNTIME_CLASS(CTestPane), CSize(1, 1), nullptr));
    EXPECT_FALSE(splitter->CreateView(2, 0, RUNTIME_CLASS(CTestPane), CSize(1, 1), nullptr));
    EXPECT_FALSE(splitter->CreateView(1, 1, RUNTIME_CLASS(CObject), CSize(1, 1), nullptr));
    EXPECT_FALSE(splitter->CreateView(1, 1, nullptr, CSize(1, 1), nullptr));
    ASSERT_TRUE(splitter->CreateView(1, 1, RUNTIME_CLASS(CTestPane), CSize(0, 0), nullptr));
    EXPECT_FALSE(CSplitterWnd().CreateStatic(top.get(), 0, 2));
    EXPECT_FALSE(CSplitterWnd().CreateStatic(top.get(), 1, 17));

    EXPECT_EQ(splitter->IdFromRowCol(1, 1), AFX_IDW_PANE_FIRST + 17);
    CWnd* pane = splitter->GetPane(1, 0);
    ASSERT_NE(pane, nullptr);
    EXPECT_EQ(pane->GetDlgCtrlID(), AFX_IDW_PANE_FIRST + 16);
    EXPECT_TRUE(pane->IsKindOf(RUNTIME_CLASS(CTestPane)));
    int row = -1, col = -1;
    EXPECT_TRUE(splitter->IsChildPane(pane, &row, &col));
    EXPECT_EQ(row, 1);
    EXPECT_EQ(col, 0);
    EXPECT_FALSE(splitter->IsChildPane(top.get(), &row, &col));
    EXPECT_FALSE(splitter->IsChildPane(nullptr, &row, &col));
    EXPECT_EQ(splitter->GetPane(2, 0), nullptr);
    splitter->SetActivePane(1, 0);
    EXPECT_EQ(splitter->GetActivePane(&row, &col), pane);
    EXPECT_EQ(row, 1);

    // Laid out in 380 x 250: the first column and row at their asked sizes, the rest to the last,
    // each pane inside its edge, the shared bars along the right and the bottom.
    splitter->MoveWindow(0, 0, 380, 250);
    const int sb = GetSystemMetrics(SM_CXVSCROLL);
    const int border = splitter->m_cxBorder;
    const int gap = splitter->m_cxSplitter;
    EXPECT_EQ(PaneRect(0, 0), CRect(border, border, 120 - border, 80 - border));
    EXPECT_EQ(PaneRect(1, 1), CRect(120 + gap + border, 80 + gap + border, 380 - sb - border, 250 - sb - border));
    int cur = 0, min = 0;
    splitter->GetColumnInfo(1, cur, min);
    EXPECT_EQ(cur, 380 - sb - 120 - gap);
    CRect bar;
    ::GetWindowRect(CSplitterWnd::GetSharedScrollBar(splitter->GetPane(0, 1), SB_HORZ), &bar);
    ::MapWindowPoints(nullptr, splitter->m_hWnd, reinterpret_cast<LPPOINT>(&bar), 2);
    EXPECT_EQ(bar, CRect(120 + gap, 250 - sb, 380 - sb, 250));
    EXPECT_EQ(CSplitterWnd::GetSharedScrollBar(splitter->GetPane(1, 1), SB_HORZ),
              CSplitterWnd::GetSharedScrollBar(splitter->GetPane(0, 1), SB_HORZ));
    EXPECT_EQ(CSplitterWnd::GetSharedScrollBar(splitter->GetPane(1, 1), SB_VERT),
              ::GetDlgItem(splitter->m_hWnd, AFX_IDW_VSCROLL_FIRST + 1));
    EXPECT_EQ(CSplitterWnd::GetSharedScrollBar(top.get(), SB_HORZ), nullptr);

    // A column's bar scrolls both panes of that column and no other.
    CTestPane::Scrolls().clear();
    HWND hbar = CSplitterWnd::GetSharedScrollBar(splitter->GetPane(0, 1), SB_HORZ);
    ::SendMessage(splitter->m_hWnd, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(hbar));
    ASSERT_EQ(CTestPane::Scrolls().size(), 2u);
    EXPECT_EQ(CTestPane::Scrolls()[0], std::make_pair(splitter->GetPane(0, 1)->m_hWnd, hbar));
    EXPECT_EQ(CTestPane::Scrolls()[1], std::make_pair(splitter->GetPane(1, 1)->m_hWnd, hbar));
}

TEST_F(CSplitterWndTest, DraggingTheSplitBarShowsAnInvertedTrackerAndResizesThePanes)
{
    ASSERT_TRUE(splitter->CreateStatic(top.get(), 1, 2));
    ASSERT_TRUE(splitter->CreateView(0, 0, RUNTIME_CLASS(CTestPane), CSize(100, 0), nullptr));
    ASSERT_TRUE(splitter->CreateView(0, 1, RUNTIME_CLASS(CTestPane), CSize(0, 0), nullptr));
    splitter->SetColumnInfo(0, 100, 30);
    splitter->MoveWindow(0, 0, 360, 200);
    backend->ProcessMessages();
    const int gap = splitter->m_cxSplitter;
    const uint32_t white = Pixel(200, 50);
    const uint32_t face = Pixel(100 + gap / 2, 50);
    ASSERT_NE(white, face);
    // Pressing on the bar and moving right by 40: the tracker, a checkered inversion, follows.
    backend->MouseMove(At(splitter->m_hWnd, 103, 50));
    backend->MouseDown(1, At(splitter->m_hWnd, 103, 50));
    backend->ProcessMessages();
    backend->MouseMove(At(splitter->m_hWnd, 143, 50));
    backend->ProcessMessages();
    EXPECT_NE(Pixel(141, 50), Pixel(142, 50)) << "the tracker is inverted every other pixel";
    EXPECT_TRUE(Pixel(141, 50) == white || Pixel(142, 50) == white);
    EXPECT_EQ(Pixel(100 + gap / 2, 60), face) << "the old place no longer shows the tracker";
    EXPECT_EQ(::GetCapture(), splitter->m_hWnd);
    backend->MouseUp(1, At(splitter->m_hWnd, 143, 50));
    backend->ProcessMessages();
    int cur = 0, min = 0;
    splitter->GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 140);
    EXPECT_EQ(PaneRect(0, 1).left, 140 + gap + splitter->m_cxBorder);
    EXPECT_EQ(Pixel(120, 50), white) << "nothing of the tracker is left behind";
    EXPECT_NE(::GetCapture(), splitter->m_hWnd);

    // Escape puts the bar back; a drag past the minimum stops at it.
    backend->MouseMove(At(splitter->m_hWnd, 143, 50));
    backend->MouseDown(1, At(splitter->m_hWnd, 143, 50));
    backend->ProcessMessages();
    backend->MouseMove(At(splitter->m_hWnd, 200, 50));
    backend->ProcessMessages();
    backend->Key(VK_ESCAPE);
    backend->ProcessMessages();
    backend->MouseUp(1, At(splitter->m_hWnd, 200, 50));
    backend->ProcessMessages();
    splitter->GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 140);
    EXPECT_EQ(Pixel(201, 50), white);
    backend->MouseDown(1, At(splitter->m_hWnd, 143, 50));
    backend->ProcessMessages();
    backend->MouseMove(At(splitter->m_hWnd, 5, 50));
    backend->ProcessMessages();
    backend->MouseUp(1, At(splitter->m_hWnd, 5, 50));
    backend->ProcessMessages();
    splitter->GetColumnInfo(0, cur, min);
    EXPECT_EQ(cur, 30);
}

} // namespace

#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"

namespace {

class CPaneView : public CView {
    DECLARE_DYNCREATE(CPaneView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CPaneView, CView)

} // namespace

TEST_F(CSplitterWndTest, TheActivePaneIsTheFramesActiveView)
{
    auto* frame = new CFrameWnd;   // deletes itself with its window
    ASSERT_TRUE(frame->Create(nullptr, "Split", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(30, 30, 430, 330)));
    auto* inFrame = new CSplitterWnd;
    ASSERT_TRUE(inFrame->CreateStatic(frame, 1, 2));
    ASSERT_TRUE(inFrame->CreateView(0, 0, RUNTIME_CLASS(CPaneView), CSize(150, 0), nullptr));
    ASSERT_TRUE(inFrame->CreateView(0, 1, RUNTIME_CLASS(CPaneView), CSize(0, 0), nullptr));
    inFrame->SetActivePane(0, 1);
    EXPECT_EQ(frame->GetActiveView(), inFrame->GetPane(0, 1));
    EXPECT_EQ(::GetFocus(), inFrame->GetPane(0, 1)->m_hWnd);
    int row = -1, col = -1;
    EXPECT_EQ(inFrame->GetActivePane(&row, &col), inFrame->GetPane(0, 1));
    EXPECT_EQ(col, 1);
    // The frame's choice holds even when the focus is elsewhere.
    ::SetFocus(frame->m_hWnd);
    EXPECT_EQ(inFrame->GetActivePane(&row, &col), inFrame->GetPane(0, 1));
    frame->DestroyWindow();
    delete inFrame;
}
