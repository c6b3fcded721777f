// Control bars docked in a frame: rows on all four sides around the pane, delayed show and hide,
// a bar dragged off its side to float (the XOR outlines recorded) and docked back into the place
// it left, and a dock bar whose window is refused.
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockState.h"
#include "platform/afx/bars/CDockContext.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/frame/CMiniFrameWnd.h"
#include "platform/core/CArchiveException.h"
#include "platform/core/CMemFile.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/DeleteCounter.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/toolkit/RefusedCreation.h"

#include <optional>

#include <ostream>
#include <vector>

inline void PrintTo(const CRect& r, std::ostream* os)
{
    *os << "(" << r.left << "," << r.top << "," << r.right << "," << r.bottom << ")";
}

namespace {

// A bar of a fixed length and thickness, turned with its side.
class CTestBar : public CControlBar {
public:
    CTestBar(int length, int thick) : m_length(length), m_thick(thick) {}
    BOOL Create(CWnd* parent, DWORD style, UINT id)
    {
        m_dwStyle = style & CBRS_ALL;
        return CWnd::Create(AfxControlBarClass(), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, id);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override
    {
        return bHorz ? CSize(m_length, m_thick) : CSize(m_thick, m_length);
    }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}

private:
    int m_length, m_thick;
};

// Records every outline the drag draws: its rectangle and thickness (0: taken away).
class CRecordingContext : public CDockContext {
public:
    using CDockContext::CDockContext;
    void DrawFocusRect(BOOL bRemoveRect) override
    {
        CDockContext::DrawFocusRect(bRemoveRect);
        drawn.push_back({m_rectLast, m_sizeLast.cx, m_dwOverDockStyle});
    }
    struct Outline {
        CRect rect;
        int thickness;
        DWORD side;
    };
    std::vector<Outline> drawn;
};

CRect InParent(const CWnd& wnd)
{
    CRect rect;
    wnd.GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, ::GetParent(wnd.m_hWnd), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

class DockingTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_POPUP | WS_VISIBLE, 0, 0, 600, 400, nullptr, nullptr));
        ASSERT_TRUE(pane.Create(nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1, 1), frame, AFX_IDW_PANE_FIRST));
        frame->SetFocus();
        frame->EnableDocking(CBRS_ALIGN_ANY);
        const UINT ids[5] = {0xE810, 0xE811, 0xE812, 0xE813, 0xE814};
        const DWORD styles[5] = {CBRS_TOP, CBRS_TOP, CBRS_LEFT, CBRS_RIGHT, CBRS_BOTTOM};
        for (int i = 0; i < 5; ++i) {
            ASSERT_TRUE(bars[i].Create(frame, styles[i], ids[i]));
            bars[i].EnableDocking(CBRS_ALIGN_ANY);
            frame->DockControlBar(&bars[i]);
        }
        Layout();
    }
    void TearDown() override
    {
        for (auto& bar : bars)
            bar.DestroyWindow();
        if (frame)
            frame->DestroyWindow();
        AfxTest::TearDown();
    }
    void Layout() { frame->RecalcLayout(); }
    CDockBar* Side(UINT id) { return static_cast<CDockBar*>(frame->GetControlBar(id)); }

    CFrameWnd* frame = new CFrameWnd;   // frames delete themselves with their windows
    CWnd pane;
    // Two rows at the top, one bar on each other side.
    CTestBar bars[5] = {{100, 24}, {150, 20}, {80, 30}, {90, 26}, {120, 22}};
};

} // namespace

namespace {

// A floating frame of a program's own that makes its own dock bar, as a subclass of the
// framework's does; the framework finds it by its id.
class COwnDockFrame : public CMiniDockFrameWnd {
    DECLARE_DYNCREATE(COwnDockFrame)
public:
    COwnDockFrame() { own.m_bAutoDelete = FALSE; }
    BOOL Create(CWnd* pParent, DWORD dwBarStyle) override
    {
        if (!CMiniFrameWnd::CreateEx(0, nullptr, "", FrameStyleFor(dwBarStyle), CRect(0, 0, 0, 0), pParent))
            return FALSE;
        return own.Create(this, WS_CHILD | WS_VISIBLE | CBRS_ALIGN_TOP, AFX_IDW_DOCKBAR_FLOAT);
    }
    CDockBar own{TRUE};
};
IMPLEMENT_DYNCREATE(COwnDockFrame, CMiniDockFrameWnd)

} // namespace

TEST_F(DockingTest, BarsDockInRowsOnFourSidesAroundThePane)
{
    CDockBar* top = Side(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(top, nullptr);
    ASSERT_EQ(top->m_arrBars.GetSize(), 5);
    EXPECT_EQ(top->m_arrBars[0], nullptr);
    EXPECT_EQ(top->m_arrBars[1], &bars[0]);
    EXPECT_EQ(top->m_arrBars[2], nullptr);
    EXPECT_EQ(top->m_arrBars[3], &bars[1]);
    EXPECT_EQ(top->m_arrBars[4], nullptr);
    EXPECT_EQ(top->GetDockedCount(), 2);
    EXPECT_EQ(top->FindBar(&bars[1]), 3);

    // Top and bottom span the frame; left and right fit between them; the pane gets the rest.
    EXPECT_EQ(InParent(*top), CRect(0, 0, 600, 44));
    EXPECT_EQ(InParent(bars[0]), CRect(0, 0, 100, 24));
    EXPECT_EQ(InParent(bars[1]), CRect(0, 24, 150, 44));
    EXPECT_EQ(InParent(*Side(AFX_IDW_DOCKBAR_BOTTOM)), CRect(0, 378, 600, 400));
    EXPECT_EQ(InParent(*Side(AFX_IDW_DOCKBAR_LEFT)), CRect(0, 44, 30, 378));
    EXPECT_EQ(InParent(bars[2]), CRect(0, 0, 30, 80));
    EXPECT_EQ(InParent(*Side(AFX_IDW_DOCKBAR_RIGHT)), CRect(574, 44, 600, 378));
    EXPECT_EQ(InParent(pane), CRect(30, 44, 574, 378));
    EXPECT_TRUE(bars[4].GetBarStyle() & CBRS_ALIGN_BOTTOM);
    EXPECT_FALSE(bars[4].IsFloating());

    // A bar docked at a rectangle in the first row's height joins that row after the bar there.
    CRect into(200, 2, 280, 22);
    frame->ClientToScreen(&into);
    frame->DockControlBar(&bars[3], AFX_IDW_DOCKBAR_TOP, &into);
    Layout();
    EXPECT_EQ(top->FindBar(&bars[3]), 2);
    EXPECT_EQ(InParent(bars[3]), CRect(200, 0, 290, 26)) << "it keeps the place it was dropped at";
    EXPECT_EQ(Side(AFX_IDW_DOCKBAR_RIGHT)->GetDockedCount(), 0);
    EXPECT_EQ(InParent(pane), CRect(30, 46, 600, 378)) << "the empty side takes no room";
}

TEST_F(DockingTest, BorderLinesTurnWithTheSideABarDocksOn)
{
    // The top bar's line faces the view; on every other side it still does, and a floating bar
    // has its frame's edge instead.
    CTestBar& bar = bars[0];
    auto borders = [&] { return bar.GetBarStyle() & CBRS_BORDER_ANY; };
    auto inset = [&] {
        CRect window, client;
        bar.GetWindowRect(&window);
        bar.GetClientRect(&client);
        return window.Size() - client.Size();
    };
    EXPECT_EQ(borders(), static_cast<DWORD>(CBRS_BORDER_BOTTOM));
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    Layout();
    EXPECT_EQ(borders(), static_cast<DWORD>(CBRS_BORDER_RIGHT));
    EXPECT_EQ(inset(), CSize(2, 0)) << "the line is beside the bar, not under it";
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(borders(), static_cast<DWORD>(CBRS_BORDER_TOP));
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_EQ(borders(), static_cast<DWORD>(CBRS_BORDER_LEFT));
    frame->FloatControlBar(&bar, CPoint(100, 100), CBRS_ALIGN_TOP);
    EXPECT_EQ(inset(), CSize(0, 0)) << "no lines inside a floating frame";
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(borders(), static_cast<DWORD>(CBRS_BORDER_BOTTOM)) << "back where it started";
    EXPECT_EQ(inset(), CSize(0, 2));

    // Lines on every edge, or on none, stay so everywhere.
    bars[3].SetBarStyle((bars[3].GetBarStyle() & ~CBRS_BORDER_ANY) | CBRS_BORDER_ANY);
    frame->DockControlBar(&bars[3], AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(bars[3].GetBarStyle() & CBRS_BORDER_ANY, static_cast<DWORD>(CBRS_BORDER_ANY));
    bars[2].SetBarStyle(bars[2].GetBarStyle() & ~CBRS_BORDER_ANY);
    frame->DockControlBar(&bars[2], AFX_IDW_DOCKBAR_BOTTOM);
    EXPECT_EQ(bars[2].GetBarStyle() & CBRS_BORDER_ANY, 0u);
}

TEST_F(DockingTest, AFloatingFrameIsAMiniFrameSizedToItsBar)
{
    CTestBar& bar = bars[2];   // no CBRS_SIZE_DYNAMIC: its frame moves but does not size
    frame->FloatControlBar(&bar, CPoint(120, 90), CBRS_ALIGN_TOP);
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->IsKindOf(RUNTIME_CLASS(CMiniFrameWnd)));
    const DWORD style = mini->GetStyle();
    EXPECT_EQ(style & (MFS_SYNCACTIVE | MFS_MOVEFRAME | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS),
              static_cast<DWORD>(MFS_SYNCACTIVE | MFS_MOVEFRAME | MFS_BLOCKSYSMENU | FWS_SNAPTOBARS));
    EXPECT_TRUE(mini->GetExStyle() & WS_EX_TOOLWINDOW);
    CRect client, window;
    mini->GetClientRect(&client);
    mini->GetWindowRect(&window);
    EXPECT_EQ(client.Size(), CSize(80, 30)) << "the frame snaps to its bar";
    EXPECT_EQ(window.TopLeft(), CPoint(120, 90));
    CString title;
    mini->GetWindowText(title);
    EXPECT_STREQ(title, "bar") << "the caption names the bar";
    // Its edges move it like the caption.
    const LRESULT edge = ::SendMessage(mini->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 1, window.CenterPoint().y));
    EXPECT_EQ(edge, HTCAPTION);

    // A bar that changes shape gets sizing edges, and the frame follows a new size of it.
    CTestBar dynamicBar(60, 20);
    ASSERT_TRUE(dynamicBar.Create(frame, CBRS_LEFT | CBRS_SIZE_DYNAMIC, 0xE815));
    dynamicBar.EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(&dynamicBar, CPoint(300, 90), CBRS_ALIGN_LEFT);
    auto* sized = dynamic_cast<CMiniDockFrameWnd*>(dynamicBar.GetParentFrame());
    ASSERT_NE(sized, nullptr);
    EXPECT_FALSE(sized->GetStyle() & MFS_MOVEFRAME);
    EXPECT_TRUE(dynamicBar.GetBarStyle() & CBRS_ALIGN_TOP) << "a shape-changing bar floats in a row";
    sized->GetWindowRect(&window);
    EXPECT_EQ(::SendMessage(sized->m_hWnd, WM_NCHITTEST, 0, MAKELPARAM(window.left + 1, window.CenterPoint().y)),
              HTLEFT);
    dynamicBar.DestroyWindow();
}

TEST_F(DockingTest, DelayedShowAndHideWaitForTheNextLayout)
{
    frame->ShowControlBar(&bars[0], FALSE, TRUE);
    EXPECT_TRUE(bars[0].GetStyle() & WS_VISIBLE) << "nothing changes before the layout";
    EXPECT_FALSE(bars[0].IsVisible()) << "but the layout already counts it hidden";
    CRect query;
    frame->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &query);
    EXPECT_TRUE(bars[0].GetStyle() & WS_VISIBLE) << "a query applies nothing";
    EXPECT_EQ(query.top, 20);

    Layout();
    EXPECT_FALSE(bars[0].GetStyle() & WS_VISIBLE);
    EXPECT_EQ(InParent(bars[1]), CRect(0, 0, 150, 20)) << "the emptied row is passed over";
    EXPECT_EQ(InParent(pane).top, 20);

    frame->ShowControlBar(&bars[0], TRUE, TRUE);
    frame->ShowControlBar(&bars[0], FALSE, TRUE);
    frame->ShowControlBar(&bars[0], TRUE, TRUE);
    EXPECT_FALSE(bars[0].GetStyle() & WS_VISIBLE);
    Layout();
    EXPECT_TRUE(bars[0].GetStyle() & WS_VISIBLE);
    EXPECT_EQ(InParent(pane).top, 44);

    // Hiding everything on a side and bringing back only what it hid.
    bars[1].ShowWindow(SW_HIDE);
    CDockBar* top = Side(AFX_IDW_DOCKBAR_TOP);
    EXPECT_TRUE(top->ShowAll(FALSE));
    Layout();
    EXPECT_FALSE(bars[0].GetStyle() & WS_VISIBLE);
    EXPECT_TRUE(top->ShowAll(TRUE));
    Layout();
    EXPECT_TRUE(bars[0].GetStyle() & WS_VISIBLE);
    EXPECT_FALSE(bars[1].GetStyle() & WS_VISIBLE) << "a bar hidden before stays hidden";
}

TEST_F(DockingTest, DraggingFloatsTheBarAndADoubleClickDocksItBackInItsPlace)
{
    CTestBar& bar = bars[4];
    delete bar.m_pDockContext;
    auto* context = new CRecordingContext(&bar);
    bar.m_pDockContext = context;
    CDockBar* bottom = Side(AFX_IDW_DOCKBAR_BOTTOM);

    const POINT start = At(bar.m_hWnd, 10, 10);
    const POINT middle = At(frame->m_hWnd, 300, 200);
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x, start.y - 5}); });
    backend->WhenIdle([&] { backend->MouseMove(middle); });
    backend->WhenIdle([&] { backend->MouseUp(1, middle); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();

    ASSERT_GE(context->drawn.size(), 4u);
    EXPECT_EQ(context->drawn[0].side, static_cast<DWORD>(CBRS_ALIGN_BOTTOM)) << "it starts docked where it is";
    EXPECT_EQ(context->drawn[0].thickness, 2);
    EXPECT_EQ(context->drawn[1].rect, context->drawn[0].rect + CPoint(0, -5)) << "a small move stays docked";
    EXPECT_EQ(context->drawn[2].side, 0u) << "over the pane it would float";
    EXPECT_EQ(context->drawn[2].thickness, 3);
    EXPECT_EQ(context->drawn.back().thickness, 0) << "the last outline is taken away";

    ASSERT_TRUE(bar.IsFloating());
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_FLOATING);
    auto* mini = dynamic_cast<CMiniDockFrameWnd*>(bar.GetParentFrame());
    ASSERT_NE(mini, nullptr);
    EXPECT_TRUE(mini->IsWindowVisible());
    CRect miniRect;
    mini->GetWindowRect(&miniRect);
    EXPECT_EQ(miniRect.TopLeft(), context->drawn[2].rect.TopLeft()) << "the frame is where the outline was";
    EXPECT_EQ(bottom->GetDockedCount(), 0);
    ASSERT_EQ(bottom->m_arrBars.GetSize(), 3);
    EXPECT_EQ(bottom->m_arrBars[1], CDockBar::PlaceHolderOf(0xE814)) << "its place on the side is kept";
    EXPECT_EQ(frame->GetControlBar(0xE814), &bar) << "a floating bar is still found";
    Layout();
    EXPECT_EQ(InParent(pane).bottom, 400);

    // Double click on the floating bar: back into its place, and the floating frame is gone.
    const HWND miniHandle = mini->m_hWnd;
    backend->Advance(1000);
    const POINT onBar = At(bar.m_hWnd, 5, 5);
    backend->MouseDown(1, onBar);
    backend->MouseUp(1, onBar);
    backend->MouseDown(1, onBar);
    backend->MouseUp(1, onBar);
    backend->ProcessMessages();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(bar.m_pDockBar, bottom);
    EXPECT_EQ(bottom->m_arrBars[1], &bar);
    EXPECT_FALSE(::IsWindow(miniHandle));
    Layout();
    EXPECT_EQ(InParent(pane).bottom, 378);
}

TEST_F(DockingTest, EscapeAndTheRightButtonCancelTheDrag)
{
    CTestBar& bar = bars[2];
    const POINT start = At(bar.m_hWnd, 5, 5);
    const POINT middle = At(frame->m_hWnd, 300, 200);
    backend->WhenIdle([&] { backend->MouseMove(middle); });
    backend->WhenIdle([&] { backend->Key(VK_ESCAPE); });
    backend->WhenIdle([&] { backend->MouseUp(1, middle); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(::GetCapture(), nullptr);

    backend->Advance(1000);   // not a double click
    backend->WhenIdle([&] { backend->MouseMove(middle); });
    backend->WhenIdle([&] { backend->MouseDown(3, middle); });
    backend->WhenIdle([&] { backend->MouseUp(1, middle); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_EQ(Side(AFX_IDW_DOCKBAR_LEFT)->FindBar(&bar), 1);
}

namespace {

// The profile lives in a private configuration folder for the test.
class DockStateTest : public DockingTest {
protected:
    void SetUp() override
    {
        env.emplace("XDG_CONFIG_HOME", config.Path());
        app.emplace("AfxBarsTest");
        app->SetRegistryKey("Wexmoor\\AfxBarsTest");
        DockingTest::SetUp();
    }
    void TearDown() override
    {
        DockingTest::TearDown();
        app.reset();
        env.reset();
    }
    UINT Int(LPCTSTR section, LPCTSTR key) { return app->GetProfileInt(section, key, 12345); }
    // The keys the profile has for a bar's section, in the platform's names.
    bool Has(LPCTSTR section, LPCTSTR key) { return Int(section, key) != 12345; }
    // The saved section of the bar or dock bar with the given id, or "" when none.
    CString SectionOf(UINT id)
    {
        const int bars = static_cast<int>(Int("Layout-Summary", "Bars"));
        for (int i = 0; i < bars; ++i) {
            CString section;
            section.Format("Layout-Bar%d", i);
            if (Int(section, "BarID") == id)
                return section;
        }
        return CString();
    }

    ScopedTempDir config;
    std::optional<ScopedEnv> env;
    std::optional<CWinApp> app;
};

} // namespace

TEST_F(DockStateTest, TheLayoutGoesIntoTheProfileWithThePlatformKeysAndComesBack)
{
    // Float the bottom bar, hide one of the top row, and put the right bar into the top row.
    bars[4].m_pDockContext->ToggleDocking();
    CRect into(200, 2, 280, 22);
    frame->ClientToScreen(&into);
    frame->DockControlBar(&bars[3], AFX_IDW_DOCKBAR_TOP, &into);
    frame->ShowControlBar(&bars[1], FALSE, FALSE);
    Layout();
    CRect floatingAt;
    bars[4].GetParentFrame()->GetWindowRect(&floatingAt);
    frame->SaveBarState("Layout");

    // Sides with nothing on them are left out; a side that keeps a place for a bar is saved.
    EXPECT_EQ(Int("Layout-Summary", "ScreenCX"), 1024u);
    EXPECT_EQ(Int("Layout-Summary", "ScreenCY"), 768u);
    EXPECT_EQ(SectionOf(AFX_IDW_DOCKBAR_RIGHT), "") << "a side with no bars is not saved";
    const CString top = SectionOf(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(top, "");
    EXPECT_EQ(Int(top, "Bars"), 6u);
    const UINT topIds[6] = {0, 0xE810, 0xE813, 0, 0xE811, 0};
    for (int i = 0; i < 6; ++i) {
        CString key;
        key.Format("Bar#%d", i);
        EXPECT_EQ(Int(top, key), topIds[i]) << key;
    }
    EXPECT_FALSE(Has(top, "Visible"));
    EXPECT_FALSE(Has(top, "XPos")) << "a docked side's position is the default";
    EXPECT_FALSE(Has(top, "Floating"));
    const CString bottom = SectionOf(AFX_IDW_DOCKBAR_BOTTOM);
    ASSERT_NE(bottom, "");
    EXPECT_EQ(Int(bottom, "Bar#1"), 0x1E814u) << "the place kept for the floating bar";

    const CString hidden = SectionOf(0xE811);
    EXPECT_EQ(Int(hidden, "Visible"), 0u);
    EXPECT_EQ(Int(hidden, "Docking"), 1u);
    EXPECT_FALSE(Has(hidden, "MRUWidth")) << "the default width is not written";
    EXPECT_FALSE(Has(SectionOf(0xE810), "Visible")) << "a visible bar says nothing of it";
    const CString floated = SectionOf(0xE814);
    EXPECT_EQ(Int(floated, "MRUDockID"), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_TRUE(Has(floated, "MRUDockLeftPos"));
    EXPECT_TRUE(Has(floated, "MRUFloatXPos"));
    const CString floating = SectionOf(AFX_IDW_DOCKBAR_FLOAT);
    EXPECT_EQ(Int(floating, "Floating"), 1u);
    EXPECT_EQ(Int(floating, "Horz"), 1u);
    EXPECT_EQ(Int(floating, "XPos"), static_cast<UINT>(floatingAt.left));
    EXPECT_EQ(Int(floating, "YPos"), static_cast<UINT>(floatingAt.top));
    EXPECT_EQ(Int(floating, "Bar#1"), 0xE814u);

    // Everything back to the start, then the saved layout again.
    bars[4].m_pDockContext->ToggleDocking();
    frame->ShowControlBar(&bars[1], TRUE, FALSE);
    frame->DockControlBar(&bars[3], AFX_IDW_DOCKBAR_RIGHT);
    Layout();
    ASSERT_FALSE(bars[4].IsFloating());
    frame->LoadBarState("Layout");

    CDockBar* topBar = Side(AFX_IDW_DOCKBAR_TOP);
    ASSERT_EQ(topBar->m_arrBars.GetSize(), 6);
    EXPECT_EQ(topBar->m_arrBars[1], &bars[0]);
    EXPECT_EQ(topBar->m_arrBars[2], &bars[3]);
    EXPECT_EQ(topBar->m_arrBars[4], &bars[1]);
    EXPECT_EQ(Side(AFX_IDW_DOCKBAR_RIGHT)->GetDockedCount(), 0);
    EXPECT_FALSE(bars[1].IsWindowVisible());
    ASSERT_TRUE(bars[4].IsFloating());
    CRect now;
    bars[4].GetParentFrame()->GetWindowRect(&now);
    EXPECT_EQ(now.TopLeft(), floatingAt.TopLeft());
    EXPECT_TRUE(bars[4].GetParentFrame()->IsWindowVisible());
    EXPECT_EQ(InParent(bars[3]).left, 200) << "the bar is where it was in its row";

    // Its remembered side still works: it docks back into the kept place.
    bars[4].m_pDockContext->ToggleDocking();
    EXPECT_EQ(bars[4].m_pDockBar, Side(AFX_IDW_DOCKBAR_BOTTOM));
}

TEST_F(DockStateTest, ABarThatIsGoneIsSkippedAndPositionsFollowTheScreen)
{
    bars[4].m_pDockContext->ToggleDocking();
    frame->SaveBarState("Layout");
    // A bar the program no longer makes, listed in the top row, and a layout saved on a screen
    // twice as wide and tall.
    const CString top = SectionOf(AFX_IDW_DOCKBAR_TOP);
    app->WriteProfileInt(top, "Bars", 6);
    app->WriteProfileInt(top, "Bar#4", 0xE899);
    app->WriteProfileInt(top, "Bar#5", 0);
    app->WriteProfileInt("Layout-Bar99", "BarID", 0xE898);
    app->WriteProfileInt("Layout-Summary", "Bars", Int("Layout-Summary", "Bars") + 1);
    app->WriteProfileInt("Layout-Summary", "ScreenCX", 2048);
    app->WriteProfileInt("Layout-Summary", "ScreenCY", 1536);
    const CString floating = SectionOf(AFX_IDW_DOCKBAR_FLOAT);
    app->WriteProfileInt(floating, "XPos", 600);
    app->WriteProfileInt(floating, "YPos", 5000);
    bars[4].m_pDockContext->ToggleDocking();

    frame->LoadBarState("Layout");
    CDockBar* topBar = Side(AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(topBar->GetDockedCount(), 2);
    for (INT_PTR i = 0; i < topBar->m_arrBars.GetSize(); ++i)
        EXPECT_NE(topBar->m_arrBars[i], CDockBar::PlaceHolderOf(0xE899));
    ASSERT_TRUE(bars[4].IsFloating());
    CRect now;
    bars[4].GetParentFrame()->GetWindowRect(&now);
    EXPECT_EQ(now.left, 300) << "half of the saved place on a screen half as wide";
    EXPECT_EQ(now.top, 768 - 16) << "kept on the screen";

    // Nothing saved under a name: nothing changes.
    frame->LoadBarState("Nothing");
    EXPECT_TRUE(bars[4].IsFloating());
    EXPECT_EQ(topBar->GetDockedCount(), 2);

    // A damaged count: the row list ends at its first missing entry.
    app->WriteProfileInt(top, "Bars", 0x7FFFFFFF);
    CDockState state;
    state.LoadState("Layout");
    bool found = false;
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        const auto* info = static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
        if (info->m_nBarID == AFX_IDW_DOCKBAR_TOP) {
            found = true;
            EXPECT_EQ(info->m_arrBarID.GetSize(), 6);
        }
    }
    EXPECT_TRUE(found);
}

namespace {

// Writes with an archive into a memory file, then reads back with another one.
template <class Store, class Load>
void StoreThenLoad(Store&& store, Load&& load)
{
    CMemFile file;
    {
        CArchive ar(&file, CArchive::store);
        store(ar);
        ar.Close();
    }
    file.SeekToBegin();
    CArchive ar(&file, CArchive::load);
    load(ar);
}

} // namespace

TEST_F(DockingTest, TheLayoutGoesThroughAnArchiveInTheFormOfItsVersion)
{
    bars[4].m_pDockContext->ToggleDocking();   // floating, with its place on the side kept
    frame->ShowControlBar(&bars[1], FALSE, FALSE);
    CDockState saved, loaded;
    frame->GetDockState(saved);
    StoreThenLoad([&](CArchive& ar) { saved.Serialize(ar); }, [&](CArchive& ar) { loaded.Serialize(ar); });
    ASSERT_EQ(loaded.m_arrBarInfo.GetSize(), saved.m_arrBarInfo.GetSize());
    for (INT_PTR i = 0; i < saved.m_arrBarInfo.GetSize(); ++i) {
        const auto* a = static_cast<CControlBarInfo*>(saved.m_arrBarInfo[i]);
        const auto* b = static_cast<CControlBarInfo*>(loaded.m_arrBarInfo[i]);
        SCOPED_TRACE(a->m_nBarID);
        EXPECT_EQ(b->m_nBarID, a->m_nBarID);
        EXPECT_EQ(b->m_bDockBar, a->m_bDockBar);
        EXPECT_EQ(b->m_bVisible, a->m_bVisible);
        EXPECT_EQ(b->m_bFloating, a->m_bFloating);
        EXPECT_EQ(b->m_pointPos, a->m_pointPos);
        EXPECT_EQ(b->m_bDocking, a->m_bDocking);
        EXPECT_EQ(b->m_uMRUDockID, a->m_uMRUDockID);
        EXPECT_EQ(b->m_rectMRUDockPos, a->m_rectMRUDockPos);
        EXPECT_EQ(b->m_ptMRUFloatPos, a->m_ptMRUFloatPos);
        ASSERT_EQ(b->m_arrBarID.GetSize(), a->m_arrBarID.GetSize());
        for (INT_PTR j = 0; j < a->m_arrBarID.GetSize(); ++j)
            EXPECT_EQ(b->m_arrBarID[j], a->m_arrBarID[j]);
    }
    // Applied to the frame it brings the layout back.
    bars[4].m_pDockContext->ToggleDocking();
    frame->ShowControlBar(&bars[1], TRUE, FALSE);
    frame->SetDockState(loaded);
    EXPECT_TRUE(bars[4].IsFloating());
    EXPECT_FALSE(bars[1].IsWindowVisible());

    // A version-1 layout kept no screen: its floating frame's place is taken as it stands, and
    // the layout is of the current version once read.
    const auto storeFloating = [](CArchive& ar, DWORD version, CSize screen, CPoint pos) {
        ar << version;
        if (version > 1)
            ar << static_cast<LONG>(screen.cx) << static_cast<LONG>(screen.cy);
        ar << static_cast<WORD>(1) << static_cast<DWORD>(AFX_IDW_DOCKBAR_FLOAT) << DWORD{1} << DWORD{1} << DWORD{1}
           << static_cast<LONG>(pos.x) << static_cast<LONG>(pos.y);
        if (version > 1)
            ar << DWORD{32767} << DWORD{0};
        ar << static_cast<WORD>(3) << DWORD{0} << DWORD{0xE814} << DWORD{0};
    };
    CDockState old;
    StoreThenLoad([&](CArchive& ar) { storeFloating(ar, 1, CSize(), CPoint(3000, 500)); },
                  [&](CArchive& ar) { old.Serialize(ar); });
    ASSERT_EQ(old.m_arrBarInfo.GetSize(), 1);
    EXPECT_EQ(old.GetVersion(), CDockState::kCurrentVersion);
    const auto* info = static_cast<CControlBarInfo*>(old.m_arrBarInfo[0]);
    EXPECT_TRUE(info->m_bDockBar);
    EXPECT_EQ(info->m_pointPos, CPoint(3000, 500));
    EXPECT_EQ(info->m_arrBarID.GetSize(), 3);

    // From a screen twice the size, the place is halved.
    CDockState bigger;
    StoreThenLoad([&](CArchive& ar) { storeFloating(ar, 2, CSize(2048, 1536), CPoint(600, 400)); },
                  [&](CArchive& ar) { bigger.Serialize(ar); });
    ASSERT_EQ(bigger.m_arrBarInfo.GetSize(), 1);
    EXPECT_EQ(static_cast<CControlBarInfo*>(bigger.m_arrBarInfo[0])->m_pointPos, CPoint(300, 200));

    // A layout cut short is an archive error, not a half-read bar taken for whole.
    CDockState cut;
    int cause = -1;
    StoreThenLoad(
        [&](CArchive& ar) {
            ar << DWORD{2} << LONG{1024} << LONG{768} << static_cast<WORD>(2) << static_cast<DWORD>(0xE810);
        },
        [&](CArchive& ar) {
            try {
                cut.Serialize(ar);
            } catch (CArchiveException* e) {
                cause = e->m_cause;
                e->Delete();
            }
        });
    EXPECT_EQ(cause, CArchiveException::endOfFile);
    EXPECT_EQ(cut.m_arrBarInfo.GetSize(), 0);
}

TEST_F(DockingTest, CtrlKeepsTheOutlineFloatingAndShiftTurnsIt)
{
    CTestBar& bar = bars[2];   // along the left side
    delete bar.m_pDockContext;
    auto* context = new CRecordingContext(&bar);
    bar.m_pDockContext = context;
    const POINT start = At(bar.m_hWnd, 5, 5);
    const POINT nearTop = At(frame->m_hWnd, 300, 1);   // over the top side
    backend->WhenIdle([&] { backend->MouseMove(nearTop); });
    backend->WhenIdle([&] { backend->KeyDown(VK_CONTROL); });
    backend->WhenIdle([&] { backend->KeyDown(VK_SHIFT); });
    backend->WhenIdle([&] { backend->MouseUp(1, nearTop); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    backend->KeyUp(VK_SHIFT);
    backend->KeyUp(VK_CONTROL);
    backend->ProcessMessages();

    ASSERT_GE(context->drawn.size(), 4u);
    EXPECT_EQ(context->drawn[1].side, static_cast<DWORD>(CBRS_ALIGN_TOP)) << "over the top side it would dock";
    EXPECT_EQ(context->drawn[1].rect.Size(), CSize(80, 30)) << "turned along the top";
    EXPECT_EQ(context->drawn[2].side, 0u) << "with Ctrl it floats";
    // The floating outlines have the frame round the bar: 4 pixels a side and the caption.
    EXPECT_EQ(context->drawn[2].rect.Size(), CSize(30 + 8, 80 + 23)) << "upright, as along its side";
    EXPECT_EQ(context->drawn[3].rect.Size(), CSize(80 + 8, 30 + 23)) << "Shift turns the floating outline";
    EXPECT_TRUE(bar.IsFloating());
    EXPECT_EQ(Side(AFX_IDW_DOCKBAR_TOP)->FindBar(&bar), -1);
}

TEST_F(DockingTest, AFrameGoesWithItsFloatingFramesAndItsBarsForgetIt)
{
    bars[4].m_pDockContext->ToggleDocking();
    ASSERT_TRUE(bars[4].IsFloating());
    const HWND mini = bars[4].GetParentFrame()->m_hWnd;
    frame->DestroyWindow();   // the frame object goes with it
    frame = nullptr;
    EXPECT_FALSE(::IsWindow(mini));
    for (auto& bar : bars) {
        EXPECT_EQ(bar.m_hWnd, nullptr);
        EXPECT_EQ(bar.m_pDockBar, nullptr);
    }
}

TEST_F(DockingTest, AFloatingFrameOfAnotherClassWorksThroughItsOwnDockBar)
{
    frame->m_pFloatingFrameClass = RUNTIME_CLASS(COwnDockFrame);
    frame->FloatControlBar(&bars[2], CPoint(150, 120), CBRS_ALIGN_TOP);
    auto* mini = dynamic_cast<COwnDockFrame*>(bars[2].GetParentFrame());
    ASSERT_NE(mini, nullptr);
    EXPECT_EQ(bars[2].m_pDockBar, &mini->own);
    EXPECT_FALSE(mini->m_wndDockBar.m_hWnd) << "the framework's own dock bar was never made";
    EXPECT_EQ(mini->own.m_pDockSite, frame) << "its dock bar belongs to the frame it floats for";
    CRect client;
    mini->GetClientRect(&client);
    EXPECT_EQ(client.Size(), CSize(80, 30)) << "it snaps to the bar";

    // The frame's saved layout lists it, and brings the bar back into such a frame.
    CDockState state;
    frame->GetDockState(state);
    int floating = 0;
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i)
        floating += static_cast<CControlBarInfo*>(state.m_arrBarInfo[i])->m_bFloating ? 1 : 0;
    EXPECT_EQ(floating, 1);
    frame->DockControlBar(&bars[2], AFX_IDW_DOCKBAR_LEFT);
    frame->SetDockState(state);
    ASSERT_TRUE(bars[2].IsFloating());
    EXPECT_NE(dynamic_cast<COwnDockFrame*>(bars[2].GetParentFrame()), nullptr);
}

TEST_F(DockingTest, ADockBarWhoseWindowIsRefusedIsDeletedOnceAndTheOtherSidesAreMade)
{
    CFrameWnd* other = new CFrameWnd;   // deletes itself with its window
    ASSERT_TRUE(other->CreateEx(0, nullptr, "Other", WS_POPUP, 0, 0, 300, 200, nullptr, nullptr));
    const HWND hOther = other->m_hWnd;
    {
        delete_counter::Count count;
        RefusedCreation refuse([&](const CREATESTRUCT& cs) {
            return cs.hwndParent == hOther && cs.hMenu == reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_DOCKBAR_LEFT));
        });
        ASSERT_TRUE(refuse.IsInstalled());
        RefusedCreation::Refused() = 0;
        other->EnableDocking(CBRS_ALIGN_ANY);
        EXPECT_EQ(RefusedCreation::Refused(), 1);
        EXPECT_EQ(count.Repeated(), 0) << "blocks deleted twice";
    }
    EXPECT_EQ(other->GetControlBar(AFX_IDW_DOCKBAR_LEFT), nullptr);
    for (UINT id : {AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_RIGHT})
        EXPECT_NE(other->GetControlBar(id), nullptr) << id;
    other->DestroyWindow();
}
