// The dock bar's row layout in a frame: exact rectangles of sizable rows with their splitters
// and client edges on the four sides, a toolbar row pulled back at the row end, shares kept
// sound when the window is too small for them, expanding and contracting, splitter limits and
// drags (Escape leaves everything as it was), and random sequences that keep the rows sound.
#include "tests/toolkit/docking/DockingFixture.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/win/VirtualKeys.h"
#include "tests/support/ProgressAtEveryTurn.h"

#include <cmath>
#include <iostream>
#include <random>
#include <utility>

namespace {

class LayoutTest : public ToolkitDockingTest {
protected:
    // A sizable pane docked into a dock bar at a position, with a thickness.
    SECControlBar* Pane(UINT id, SECDockBar* dock, int row, int col, int thick, DWORD exStyle = 0)
    {
        const DWORD align = dock->m_dwStyle & CBRS_ALIGN_ANY;
        SECControlBar* bar = MakeBar(id, align | CBRS_SIZE_DYNAMIC, exStyle);
        bar->m_pDockSite = frame;
        const bool horz = (align & CBRS_ORIENT_HORZ) != 0;
        bar->CalcDynamicLayout(thick, horz ? (LM_HORZ | LM_HORZDOCK | LM_LENGTHY | LM_COMMIT) : (LM_VERTDOCK | LM_COMMIT));
        dock->DockControlBar(bar, SECDockPos{row, col, 0});
        return bar;
    }
    void Layout() { frame->RecalcLayout(); }
    // Two sizable panes sharing the top row half and half, laid out.
    std::pair<SECControlBar*, SECControlBar*> TwoHalvesOnTop()
    {
        SECControlBar* a = Pane(0xE901, Top(), 0, 9, 100);
        SECControlBar* b = Pane(0xE902, Top(), 0, 9, 100);
        a->m_fPctWidth = b->m_fPctWidth = 0.5f;
        Layout();
        return {a, b};
    }
    std::vector<CRect> Splitters(SECDockBar* dock)
    {
        std::vector<CRect> out;
        for (auto& s : dock->m_arrSplitters)
            out.push_back(s->m_rect);
        return out;
    }
    std::vector<CRect> Edges(SECDockBar* dock)
    {
        std::vector<CRect> out;
        for (auto& e : dock->m_arrClientEdges)
            out.push_back(e->m_rect);
        return out;
    }
};

} // namespace

TEST_F(LayoutTest, ASizableRowSharesItsLengthWithSplittersAndEdgesOnEverySide)
{
    SECControlBar* a = Pane(0xE901, Top(), 0, 0, 100);
    SECControlBar* b = Pane(0xE902, Top(), 0, 5, 100);
    SECControlBar* c = Pane(0xE903, Bottom(), 0, 0, 60);
    SECControlBar* d = Pane(0xE904, Left(), 0, 0, 80);
    SECControlBar* e = Pane(0xE905, Right(), 0, 0, 70);
    a->m_fPctWidth = b->m_fPctWidth = 0.5f;
    Layout();
    ASSERT_EQ(Rows(Top()), "|12|");

    // Top: half of the row less one splitter each; the last bar takes what is left.
    EXPECT_EQ(InParent(*a), CRect(1, 0, 298, 100));
    EXPECT_EQ(InParent(*b), CRect(304, 0, 600, 100));
    EXPECT_EQ(Splitters(Top()), (std::vector<CRect>{CRect(298, 0, 304, 100), CRect(0, 100, 600, 106)}));
    EXPECT_EQ(Edges(Top()), (std::vector<CRect>{CRect(0, -2, 600, 0)}));
    EXPECT_EQ(InParent(*Top()), CRect(0, 0, 600, 106));
    EXPECT_EQ(a->m_szHorz, CSize(297, 100));
    EXPECT_EQ(b->m_szHorz, CSize(296, 100)) << "the last bar commits the rest of the row";

    // Bottom: the splitter comes first, the client edge after.
    EXPECT_EQ(Splitters(Bottom()).front(), CRect(0, -1, 600, 5));
    EXPECT_EQ(InParent(*c), CRect(1, 5, 600, 65));
    EXPECT_EQ(InParent(*Bottom()), CRect(0, 333, 600, 400));
    // Left and right fit between top and bottom.
    const CRect left = InParent(*Left());
    EXPECT_EQ(left.top, 106);
    EXPECT_EQ(left.bottom, 333);
    // Left: the client edge first; the row splitter keeps 2 pixels from the side's last bar.
    EXPECT_EQ(InParent(*d), CRect(0, -2, 80, 227));
    EXPECT_EQ(Splitters(Left()), (std::vector<CRect>{CRect(82, 0, 88, 223)}));
    EXPECT_EQ(Edges(Left()), (std::vector<CRect>{CRect(-2, 0, 0, 225)}));
    EXPECT_EQ(left.Width(), 86);
    // Right: the splitter first, one pixel in.
    EXPECT_EQ(InParent(*e), CRect(5, -2, 75, 227));
    EXPECT_EQ(Splitters(Right()), (std::vector<CRect>{CRect(-1, 0, 5, 225)}));
    EXPECT_EQ(Edges(Right()), (std::vector<CRect>{CRect(75, 0, 77, 225)}));
    EXPECT_EQ(InParent(*Right()).Width(), 77);
    EXPECT_EQ(InParent(pane), CRect(left.right, 106, InParent(*Right()).left, 333));
}

TEST_F(LayoutTest, AWindowTooSmallForTheMinimumShareGivesEqualSharesNeverNegativeOnes)
{
    SECControlBar* bars4[4];
    for (UINT i = 0; i < 4; ++i)
        bars4[i] = Pane(0xE901 + i, Top(), 0, 9, 40);
    bars4[0]->m_fPctWidth = 0.7f;
    bars4[1]->m_fPctWidth = bars4[2]->m_fPctWidth = bars4[3]->m_fPctWidth = 0.1f;
    Layout();
    // 60 pixels: the minimum share is 18/60, and four bars cannot all have it.
    frame->SetWindowPos(nullptr, 0, 0, 60, 100, SWP_NOZORDER | SWP_NOMOVE);
    Layout();
    Layout();
    float sum = 0.0f;
    for (SECControlBar* bar : bars4) {
        EXPECT_GE(bar->m_fPctWidth, 0.0f);
        EXPECT_LE(bar->m_fPctWidth, 1.0f);
        EXPECT_GE(bar->m_szHorz.cx, 0) << "no negative length";
        EXPECT_GE(InParent(*bar).Width(), 0);
        sum += bar->m_fPctWidth;
    }
    EXPECT_NEAR(sum, 1.0f, 1e-5f);
    EXPECT_NEAR(bars4[0]->m_fPctWidth, 0.25f, 1e-5f);

    // Back to a wide window, the minimum share lets the shares differ again and each keeps it.
    frame->SetWindowPos(nullptr, 0, 0, 600, 400, SWP_NOZORDER | SWP_NOMOVE);
    bars4[0]->m_fPctWidth = 0.97f;
    Layout();
    Layout();
    for (SECControlBar* bar : bars4)
        EXPECT_GE(bar->m_fPctWidth, 18.0f / 600.0f - 1e-5f);
}

TEST_F(LayoutTest, ExpandingGivesTheOthersTheMinimumAndContractingEqualShares)
{
    SECControlBar* a = Pane(0xE901, Top(), 0, 9, 50, CBRS_EX_COOLBORDERS | CBRS_EX_GRIPPER | CBRS_EX_GRIPPER_EXPAND);
    SECControlBar* b = Pane(0xE902, Top(), 0, 9, 50);
    SECControlBar* c = Pane(0xE903, Top(), 0, 9, 50);
    SECControlBar* alone = Pane(0xE904, Bottom(), 0, 0, 50);
    Layout();
    EXPECT_TRUE(Bottom()->IsExpandDisabled(alone)) << "a bar alone in its row cannot expand";
    EXPECT_FALSE(Top()->IsExpandDisabled(b));
    EXPECT_FALSE(Top()->IsExpandDisabled(nullptr));

    Top()->ExpandBar(b, SECDockBar::ExpandMode);
    Layout();
    const float min = 18.0f / 600.0f;
    EXPECT_NEAR(a->m_fPctWidth, min, 1e-5f);
    EXPECT_NEAR(c->m_fPctWidth, min, 1e-5f);
    EXPECT_NEAR(b->m_fPctWidth, 1.0f - 2 * min, 1e-5f);
    EXPECT_TRUE(Top()->IsBarExpanded(b));
    EXPECT_FALSE(Top()->IsBarExpanded(a));

    Top()->ExpandBar(b, SECDockBar::ContractMode);
    Layout();
    for (SECControlBar* bar : {a, b, c})
        EXPECT_NEAR(bar->m_fPctWidth, 1.0f / 3, 1e-5f);
    EXPECT_FALSE(Top()->IsBarExpanded(b));

    // The gripper's expand button says so: drawn contracted and enabled in a row of three.
    a->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(a->m_bContracted);
    EXPECT_TRUE(a->m_bExpandEnabled);
    EXPECT_FALSE(a->m_rcExpand.IsRectEmpty());
}

TEST_F(LayoutTest, AToolbarRowKeepsDraggedPlacesButIsPulledBackAtTheRowEnd)
{
    SECControlBar* t1 = Pane(0xE901, Top(), 0, 9, 24, CBRS_EX_UNIDIRECTIONAL);
    SECControlBar* t2 = Pane(0xE902, Top(), 0, 9, 24, CBRS_EX_UNIDIRECTIONAL);
    t1->m_szHorz = t2->m_szHorz = CSize(150, 24);
    Layout();
    EXPECT_EQ(InParent(*t1), CRect(0, -2, 150, 22)) << "a bar further along than its place keeps it";
    EXPECT_EQ(InParent(*t2), CRect(148, -2, 298, 22)) << "each overlaps the one before by the border";
    EXPECT_TRUE(t1->m_dwExStyle & CBRS_EX_SHADOWBORDERS) << "toolbar rows draw shadowed borders";
    EXPECT_EQ(InParent(*Top()).Height(), 22);

    // Dragged to 550 it would pass the end: it comes back to end at the row end plus its overlap.
    t2->SetWindowPos(nullptr, 550, -2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Layout();
    EXPECT_EQ(InParent(*t2), CRect(452, -2, 602, 22));
    // Dragged to 300 it stays where it was put.
    t2->SetWindowPos(nullptr, 300, -2, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Layout();
    EXPECT_EQ(InParent(*t2).left, 300);
}

TEST_F(LayoutTest, ASplitterDragMovesShareAndEscapeLeavesEverythingAsItWas)
{
    auto [a, b] = TwoHalvesOnTop();
    ASSERT_EQ(InParent(*a).right, 298);

    // The limits: each bar keeps 24 pixels.
    SECDockBar::Splitter* split = Top()->SplitterAt(CPoint(300, 50));
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->m_nKind, 1);
    Top()->GetSplitterLimits(split);
    EXPECT_EQ(split->m_nMin, 24);
    EXPECT_EQ(split->m_nMax, 600 - 24);

    const POINT start = At(Top()->m_hWnd, 300, 50);
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 40, start.y}); });
    backend->WhenIdle([&] { backend->Key(VK_ESCAPE); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    Layout();
    EXPECT_FLOAT_EQ(a->m_fPctWidth, 0.5f) << "Escape cancels";
    EXPECT_EQ(InParent(*a).right, 298);
    EXPECT_EQ(::GetCapture(), nullptr);

    backend->Advance(1000);   // not a double click
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 60, start.y}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{start.x + 60, start.y}); });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    Layout();
    EXPECT_NEAR(a->m_fPctWidth, (297.0f + 60.0f) / 594.0f, 1e-4f);
    EXPECT_EQ(InParent(*a).right, 298 + 60);
    EXPECT_EQ(InParent(*b).left, 304 + 60);
    EXPECT_EQ(InParent(*b).right, 600);

    // A drag far past the end stops at the other bar's minimum.
    backend->Advance(1000);
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 1000, start.y}); });
    backend->WhenIdle([&] { backend->MouseUp(1, POINT{start.x + 1000, start.y}); });
    backend->MouseDown(1, At(Top()->m_hWnd, 360, 50));
    backend->ProcessMessages();
    Layout();
    EXPECT_GE(InParent(*b).Width(), 18);
}

// Work that runs the thread's idle work while a splitter is dragged frees the temporary objects
// of the handle maps; the drag goes on drawing its strip and moves the share as far as the mouse
// went.
TEST_F(LayoutTest, ASplitterDragGoesOnWhenWorkRunsTheIdleWorkMeanwhile)
{
    auto [a, b] = TwoHalvesOnTop();
    ASSERT_EQ(InParent(*a).right, 298);
    CWinApp app("DockBarTest");
    LookAtEveryTurn looks;
    LongWorkWindow work;

    const POINT start = At(Top()->m_hWnd, 300, 50);
    backend->WhenIdle([&] { backend->MouseMove(POINT{start.x + 30, start.y}); });
    backend->WhenIdle([&] {
        work.PostWork([&] {
            backend->MouseMove(POINT{start.x + 60, start.y});
            backend->MouseUp(1, POINT{start.x + 60, start.y});
        });
    });
    backend->MouseDown(1, start);
    backend->ProcessMessages();
    Layout();
    EXPECT_EQ(work.done, 1);
    EXPECT_GT(looks.Freed(), 0) << "the work never ran the idle work";
    EXPECT_EQ(InParent(*a).right, 298 + 60);
    EXPECT_EQ(InParent(*b).left, 304 + 60);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(LayoutTest, RandomDockingSequencesKeepTheRowsWellFormedAndSharesSound)
{
    std::mt19937 random(1234);
    std::vector<SECControlBar*> panes;
    for (UINT i = 0; i < 6; ++i)
        panes.push_back(Pane(0xE901 + i, docks[i % 4], 0, 9, 60));
    Layout();
    for (int step = 0; step < 300; ++step) {
        SECControlBar* bar = panes[random() % panes.size()];
        SECDockBar* dock = docks[random() % 4];
        switch (random() % 6) {
        case 0:
            dock->DockControlBar(bar, SECDockPos{static_cast<int>(random() % 5) - 2,
                                                 static_cast<int>(random() % 4) - 1, static_cast<int>(random() % 8)});
            break;
        case 1: {
            CRect rect;
            dock->GetWindowRect(&rect);
            rect.right = rect.left + 80;
            rect.bottom = rect.top + 30;
            rect.OffsetRect(static_cast<int>(random() % 300), static_cast<int>(random() % 40));
            dock->DockControlBar(bar, &rect);
            break;
        }
        case 2:
            frame->ShowControlBar(bar, (random() % 2) != 0, FALSE);
            break;
        case 3:
            if (auto* home = dynamic_cast<SECDockBar*>(bar->m_pDockBar))
                home->ExpandBar(bar, 1 + static_cast<int>(random() % 2));
            break;
        case 4:
            if (!dock->m_arrSplitters.empty()) {
                SECDockBar::Splitter* s = dock->m_arrSplitters[random() % dock->m_arrSplitters.size()].get();
                dock->GetSplitterLimits(s);
                dock->MoveSplitter(s, static_cast<int>(random() % 200) - 100);
            }
            break;
        case 5:
            frame->SetWindowPos(nullptr, 0, 0, 40 + static_cast<int>(random() % 700), 40 + static_cast<int>(random() % 500),
                                SWP_NOZORDER | SWP_NOMOVE);
            break;
        }
        Layout();
        for (SECDockBar* d : docks) {
            const CPtrArray& arr = d->m_arrBars;
            ASSERT_GE(arr.GetSize(), 1) << "step " << step;
            ASSERT_EQ(arr[0], nullptr) << "step " << step;
            if (arr.GetSize() > 1) {
                ASSERT_EQ(arr[arr.GetUpperBound()], nullptr) << "the last row is closed, step " << step;
            }
            for (SECControlBar* p : panes) {
                const int first = d->FindBar(p);
                if (first < 0)
                    continue;
                ASSERT_EQ(d->FindBar(p, first), -1) << "a bar stands once, step " << step;
                ASSERT_EQ(p->m_pDockBar, d) << "step " << step;
            }
            // Every row's visible toolkit bars share it whole.
            int rowStart = 1;
            while (rowStart < arr.GetSize()) {
                int rowEnd = rowStart;
                while (rowEnd < arr.GetSize() && arr[rowEnd])
                    ++rowEnd;
                float sum = 0.0f;
                int visible = 0;
                for (int i = rowStart; i < rowEnd; ++i)
                    if (CControlBar* bar = d->GetDockedControlBar(i); bar && bar->IsVisible()) {
                        auto* sec = static_cast<SECControlBar*>(bar);
                        ASSERT_GE(sec->m_fPctWidth, 0.0f) << "step " << step;
                        ASSERT_LE(sec->m_fPctWidth, 1.0f) << "step " << step;
                        sum += sec->m_fPctWidth;
                        ++visible;
                    }
                if (visible > 0) {
                    ASSERT_NEAR(sum, 1.0f, 1e-3f) << "step " << step;
                }
                rowStart = rowEnd + 1;
            }
        }
        for (SECControlBar* p : panes)
            ASSERT_NE(p->m_pDockBar, nullptr) << "every bar stays docked somewhere, step " << step;
    }
}
