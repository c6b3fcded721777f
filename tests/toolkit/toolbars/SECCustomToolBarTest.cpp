// The customisable toolbar: button sizes from the images, wrapping at widths and separators,
// fitting a height, evened rows, removal rules, the common-toolbar messages with indices from
// any sender, check boxes shared by every bar, and hot tracking that stops.
#include "tests/toolkit/toolbars/ToolbarFixture.h"

#include "platform/afx/gdi/CDC.h"
#include "platform/win/UserApi.h"
#include "toolkit/toolbars/SECBtnDrawContext.h"

#include <cstddef>

namespace {

// A button map entry's class record is a pointer and keeps a pointer's width; the command follows.
static_assert(offsetof(SECBtnMapEntry, m_nID) == sizeof(void*));
static_assert(sizeof(SECBtnMapEntry) == sizeof(void*) + 7 * sizeof(UINT) + (sizeof(void*) == 8 ? 4 : 0));

class SECCustomToolBarTest : public ToolbarTest {};

TEST_F(SECCustomToolBarTest, ButtonsAreTheirImagesWithASevenPixelMargin)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, 0, ID_TB_THREE, ID_TB_FOUR});
    EXPECT_EQ(bar->GetBtn(0)->m_cx, 23);
    EXPECT_EQ(bar->GetBtn(0)->m_cy, 22);
    EXPECT_EQ(bar->GetBtn(1)->m_cx, 8) << "a separator";
    EXPECT_EQ(bar->GetBtn(0)->m_nType, SECStdBtn::kText);
    EXPECT_EQ(static_cast<SECTBTextButton*>(bar->GetBtn(0))->m_strText, "One") << "the text after the newline";
    EXPECT_EQ(bar->GetBtn(2)->m_nStyle, DWORD(SEC_TBBS_CHECKBOX)) << "the map's style";
    EXPECT_EQ(bar->GetBtn(3)->m_nImage, 1) << "the second strip's second image";
    manager->EnableLargeButtons(TRUE);
    EXPECT_EQ(bar->GetBtn(0)->m_cx, 55);
    EXPECT_EQ(bar->GetBtn(0)->m_cy, 39);
    EXPECT_EQ(bar->m_nMaxBtnWidth, 55);
    CRect border(0, 0, 0, 0);
    bar->CalcInsideRect(border, TRUE);
    EXPECT_EQ(bar->CalcFixedLayout(FALSE, TRUE).cy, 39 - border.Height()) << "one row of large buttons";
    manager->EnableLargeButtons(FALSE);
    EXPECT_EQ(bar->GetBtn(0)->m_cx, 23);
}

TEST_F(SECCustomToolBarTest, RowsWrapAtTheWidthAndBreakAtSeparators)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE, ID_TB_FOUR, ID_TB_ONE});
    CRect border(0, 0, 0, 0);
    bar->CalcInsideRect(border, TRUE);
    const int bw = -border.Width();
    // Docked along the top: one row, whatever the width.
    bar->CalcDynamicLayout(-1, LM_HORZDOCK | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "12341");
    // Floating 100 wide: four fit, then balancing moves one down while the next row stays narrower.
    CSize size = bar->CalcDynamicLayout(100 + bw, LM_COMMIT | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "123|41");
    EXPECT_EQ(bar->GetBtn(3)->m_x, bar->GetBtn(0)->m_x);
    EXPECT_EQ(bar->GetBtn(3)->m_y, bar->GetBtn(0)->m_y + 22);
    EXPECT_EQ(size.cx, 69 + bw);
    // Docked along a side with no length: one button per row.
    bar->CalcDynamicLayout(0, LM_VERTDOCK | LM_COMMIT);
    EXPECT_EQ(Rows(*bar), "1|2|3|4|1");

    // With separators the row breaks at the separator, which then adds 2/3 of its width below.
    bar->SetButtons(std::vector<UINT>{ID_TB_ONE, ID_TB_TWO, 0, ID_TB_THREE, ID_TB_FOUR}.data(), 5);
    size = bar->CalcDynamicLayout(80 + bw, LM_COMMIT | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "12-|34");
    EXPECT_EQ(bar->GetBtn(3)->m_y - bar->GetBtn(0)->m_y, 22 + 8 * 2 / 3);
    EXPECT_EQ(size.cx, 46 + bw);

    // Fitting a height: the narrowest width whose rows stay within it.
    bar->SetButtons(std::vector<UINT>{ID_TB_ONE, ID_TB_TWO, ID_TB_THREE, ID_TB_FOUR, ID_TB_ONE, ID_TB_TWO}.data(), 6);
    CRect vborder(0, 0, 0, 0);
    bar->CalcInsideRect(vborder, TRUE);
    const int bh = -vborder.Height();
    size = bar->CalcDynamicLayout(44 + bh, LM_COMMIT | LM_LENGTHY | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "123|412");
    EXPECT_EQ(size.cy, 44 + bh);
    size = bar->CalcDynamicLayout(66 + bh, LM_COMMIT | LM_LENGTHY | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "12|34|12");
}

TEST_F(SECCustomToolBarTest, TwelveButtonsEvenOutAtSeveralWidths)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE, ID_TB_FOUR, ID_TB_ONE, ID_TB_TWO,
                                                 ID_TB_THREE, ID_TB_FOUR, ID_TB_ONE, ID_TB_TWO, ID_TB_THREE, ID_TB_FOUR});
    CRect border(0, 0, 0, 0);
    bar->CalcInsideRect(border, TRUE);
    const int bw = -border.Width();
    bar->CalcDynamicLayout(300 + bw, LM_COMMIT | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "123412341234") << "all fit";
    // Eight fit in 200: the rows even out to six and six.
    bar->CalcDynamicLayout(200 + bw, LM_COMMIT | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "123412|341234");
    // Four fit in 100: three equal rows stay (the later row counts as widest on a tie).
    bar->CalcDynamicLayout(100 + bw, LM_COMMIT | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "1234|1234|1234");
    // Fitted to two rows' height: as narrow as two rows allow.
    CRect vborder(0, 0, 0, 0);
    bar->CalcInsideRect(vborder, TRUE);
    const CSize size = bar->CalcDynamicLayout(44 - vborder.Height(), LM_COMMIT | LM_LENGTHY | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "123412|341234");
    EXPECT_EQ(size.cx, 6 * 23 + bw);
}

TEST_F(SECCustomToolBarTest, RemovingKeepsSeparatorsBetweenButtonsOnly)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, 0, ID_TB_TWO, 0, ID_TB_THREE, 0, ID_TB_FOUR});
    EXPECT_TRUE(bar->RemoveButton(0, TRUE)); // the first: the separator now leading goes too
    EXPECT_EQ(Rows(*bar), "2-3-4");
    EXPECT_TRUE(bar->RemoveButton(2, TRUE)); // between two separators: the second goes
    EXPECT_EQ(Rows(*bar), "2-4");
    EXPECT_TRUE(bar->RemoveButton(2, TRUE)); // the last: the separator now ending goes
    EXPECT_EQ(Rows(*bar), "2");
    EXPECT_FALSE(bar->RemoveButton(0)) << "no buttons remain";
    EXPECT_TRUE(bar->m_hWnd) << "a default toolbar stays, empty";
    CRect border(0, 0, 0, 0);
    bar->CalcInsideRect(border, TRUE);
    EXPECT_EQ(bar->CalcFixedLayout(FALSE, TRUE), CSize(23 - border.Width(), 22 - border.Height()));
    EXPECT_FALSE(manager->HasPendingDestroy());
}

TEST_F(SECCustomToolBarTest, CommonToolbarMessagesTakeOnlyIndicesTheBarHas)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO});
    for (WPARAM bad : {WPARAM(2), WPARAM(1000), static_cast<WPARAM>(-1), static_cast<WPARAM>(0x100000000ull)})
        EXPECT_EQ(bar->SendMessage(TB_DELETEBUTTON, bad), FALSE);
    EXPECT_EQ(bar->GetBtnCount(), 2);
    EXPECT_EQ(bar->SendMessage(TB_DELETEBUTTON, 1), TRUE);
    EXPECT_EQ(Rows(*bar), "1");
    // The protocol's state byte says "enabled" where the style word says "disabled".
    TBBUTTON add[3] = {};
    add[0].idCommand = 0;
    add[0].fsStyle = 0x01; // a separator
    add[1].idCommand = ID_TB_FOUR;
    add[1].fsState = 0x04 | 0x01; // enabled, checked
    add[2].idCommand = ID_TB_THREE;
    add[2].fsStyle = 0x02; // a check box, not enabled
    EXPECT_EQ(bar->SendMessage(TB_ADDBUTTONS, 3, reinterpret_cast<LPARAM>(add)), TRUE);
    EXPECT_EQ(Rows(*bar), "1-43");
    EXPECT_EQ(bar->GetBtn(2)->m_nStyle, DWORD(SEC_TBBS_CHECKED));
    EXPECT_EQ(bar->GetBtn(3)->m_nStyle, DWORD(SEC_TBBS_DISABLED | SEC_TBBS_CHECKBOX));
}

TEST_F(SECCustomToolBarTest, ACheckBoxClickedOnOneBarChecksItOnEvery)
{
    SECCustomToolBar* first = MakeToolBar(0xE800, {ID_TB_THREE, ID_TB_ONE});
    SECCustomToolBar* second = MakeToolBar(0xE805, {ID_TB_ONE, ID_TB_THREE});
    frame->DockControlBar(first, AFX_IDW_DOCKBAR_TOP);
    frame->DockControlBar(second, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    backend->ProcessMessages();
    const CRect r = first->GetBtn(0)->GetRect();
    backend->Click(1, At(first->m_hWnd, r.left + 5, r.top + 5));
    backend->ProcessMessages();
    EXPECT_TRUE(first->GetBtn(0)->m_nStyle & SEC_TBBS_CHECKED);
    EXPECT_TRUE(second->GetBtn(1)->m_nStyle & SEC_TBBS_CHECKED);
    EXPECT_FALSE(second->GetBtn(0)->m_nStyle & SEC_TBBS_CHECKED);
    backend->Click(1, At(first->m_hWnd, r.left + 5, r.top + 5));
    backend->ProcessMessages();
    EXPECT_FALSE(second->GetBtn(1)->m_nStyle & SEC_TBBS_CHECKED);
}

TEST_F(SECCustomToolBarTest, HotTrackingFollowsTheCursorAndStopsOutside)
{
    manager->EnableCoolLook(TRUE, 0x300);
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO});
    bar->ModifyBarStyleEx(0, 0x300, FALSE);
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    frame->SetActiveWindow();
    backend->ProcessMessages();
    const CRect r = bar->GetBtn(1)->GetRect();
    backend->MouseMove(At(bar->m_hWnd, r.left + 4, r.top + 4));
    backend->ProcessMessages();
    EXPECT_EQ(bar->m_nHot, 1);
    EXPECT_TRUE(bar->GetBtn(1)->m_nStyle & SEC_TBBS_HOT);
    // Off the bar: the timer notices, takes the hot look off and stops itself.
    backend->MouseMove(At(pane.m_hWnd, 1, 1));
    backend->Advance(250);
    EXPECT_EQ(bar->m_nHot, -1);
    EXPECT_FALSE(bar->GetBtn(1)->m_nStyle & SEC_TBBS_HOT);
    EXPECT_FALSE(::KillTimer(bar->m_hWnd, 0xE002)) << "the hot timer was already gone";
}

// Paints one button of a plain (not flat) bar into a memory bitmap and reads its pixels.
class ButtonPixels {
public:
    ButtonPixels(SECCustomToolBar& bar, int index, DWORD state)
    {
        SECStdBtn* b = bar.GetBtn(index);
        b->m_nStyle = (b->m_nStyle & 0xFFFF) | state;
        CClientDC screen(&bar);
        m_dc.CreateCompatibleDC(&screen);
        m_bitmap.CreateCompatibleBitmap(&screen, 200, 60);
        m_old = m_dc.SelectObject(&m_bitmap);
        m_dc.FillSolidRect(0, 0, 200, 60, RGB(1, 2, 3));
        SECBtnDrawContext& ctx = bar.GetDrawContext();
        ctx.PrepareBitmaps(&m_dc, 60, 60);
        b->Paint(m_dc, ctx);
        ctx.SelectStrip(nullptr);
        ctx.ReleaseBitmaps();
        m_x = b->m_x;
        m_y = b->m_y;
    }
    ~ButtonPixels() { m_dc.SelectObject(m_old); }
    // A pixel of the button, from its top-left corner.
    COLORREF At(int x, int y) { return m_dc.GetPixel(m_x + x, m_y + y); }

private:
    CDC m_dc;
    CBitmap m_bitmap;
    CBitmap* m_old = nullptr;
    int m_x = 0, m_y = 0;
};

TEST_F(SECCustomToolBarTest, ButtonStatesPaintAsTheClassicLook)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_FOUR, ID_TB_ONE});
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE), light = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), frameColour = ::GetSysColor(COLOR_WINDOWFRAME);
    // The image of One sits at (3, 3) of its 23 x 22 button: a black square at 2..5, a red dot at 10.
    {
        ButtonPixels up(*bar, 1, 0);
        EXPECT_EQ(up.At(0, 0), light) << "raised: highlight outside at the top-left";
        EXPECT_EQ(up.At(22, 21), frameColour) << "window frame outside at the bottom-right";
        EXPECT_EQ(up.At(21, 20), shadow) << "shadow inside";
        EXPECT_EQ(up.At(13, 13), RGB(255, 0, 0));
        EXPECT_EQ(up.At(5, 5), RGB(0, 0, 0));
        EXPECT_EQ(up.At(8, 8), RGB(0, 0, 0));
        EXPECT_EQ(up.At(10, 6), face) << "light grey became the face colour";
    }
    {
        ButtonPixels down(*bar, 1, SEC_TBBS_PRESSED);
        EXPECT_EQ(down.At(0, 0), frameColour) << "sunken: window frame at the top-left";
        EXPECT_EQ(down.At(14, 14), RGB(255, 0, 0)) << "the image one pixel right and down";
        EXPECT_EQ(down.At(13, 13), face);
    }
    {
        ButtonPixels off(*bar, 1, SEC_TBBS_DISABLED);
        EXPECT_EQ(off.At(13, 13), shadow) << "dark pixels embossed: shadow";
        EXPECT_EQ(off.At(14, 14), light) << "with highlight one pixel right and down";
        EXPECT_EQ(off.At(5, 5), shadow);
        EXPECT_EQ(off.At(9, 9), light) << "the black square's highlight edge";
        EXPECT_EQ(off.At(10, 6), face);
    }
    {
        ButtonPixels on(*bar, 1, SEC_TBBS_CHECKED);
        EXPECT_EQ(on.At(14, 14), RGB(255, 0, 0)) << "checked looks pressed";
        // The face pixels of the image become a checkerboard of face and highlight.
        const COLORREF a = on.At(12, 6), b = on.At(13, 6), c = on.At(13, 7);
        EXPECT_NE(a, b);
        EXPECT_EQ(a, c);
        EXPECT_TRUE((a == face && b == light) || (a == light && b == face));
    }
    // A command without an image: face and frame only.
    bar->SetButtons(std::vector<UINT>{9999}.data(), 1);
    frame->RecalcLayout();
    {
        ButtonPixels bare(*bar, 0, 0);
        for (int y = 3; y < 18; ++y)
            for (int x = 3; x < 19; ++x)
                ASSERT_EQ(bare.At(x, y), face) << x << "," << y;
    }
}

} // namespace

TEST_F(SECCustomToolBarTest, AFullRowBarLaysOutOverTheWholeLengthOfItsSide)
{
    SECCustomToolBar* bar = MakeToolBar(0xE800, {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE, ID_TB_FOUR, ID_TB_ONE});
    bar->SetExBarStyle(bar->GetExBarStyle() | CBRS_EX_FULL_ROW);
    CRect border(0, 0, 0, 0);
    bar->CalcInsideRect(border, TRUE);
    const int bw = -border.Width();

    // Docked along the top: as wide as its parent, wrapping only when the parent is narrow.
    frame->SetWindowPos(nullptr, 0, 0, 600, 400, SWP_NOMOVE | SWP_NOZORDER);
    CRect client;
    frame->GetClientRect(&client);
    CSize size = bar->CalcDynamicLayout(-1, LM_HORZDOCK | LM_HORZ);
    EXPECT_EQ(Rows(*bar), "12341");
    EXPECT_EQ(size.cx, client.Width());
    frame->SetWindowPos(nullptr, 0, 0, 100, 400, SWP_NOMOVE | SWP_NOZORDER);
    frame->GetClientRect(&client);
    ASSERT_LT(client.Width() - bw, 5 * 23);
    size = bar->CalcDynamicLayout(-1, LM_HORZDOCK | LM_HORZ);
    EXPECT_NE(Rows(*bar).find('|'), std::string::npos);
    EXPECT_EQ(size.cx, client.Width());

    // Docked along a side: as high as the frame's left dock bar.
    CRect left;
    frame->GetDlgItem(AFX_IDW_DOCKBAR_LEFT)->GetWindowRect(&left);
    ASSERT_GT(left.Height(), 0);
    size = bar->CalcDynamicLayout(-1, LM_VERTDOCK);
    EXPECT_EQ(size.cy, left.Height());
    // Floating, the style changes nothing.
    size = bar->CalcDynamicLayout(200 + bw, LM_COMMIT | LM_HORZ);
    EXPECT_EQ(size.cx, 5 * 23 + bw);
}

TEST_F(SECCustomToolBarTest, ABarDockedOnASideStandsAButtonPerRow)
{
    SECCustomToolBar* bar = MakeToolBar(0xE801, {ID_TB_ONE, ID_TB_TWO, ID_TB_THREE, ID_TB_FOUR});
    frame->DockControlBar(bar, AFX_IDW_DOCKBAR_RIGHT);
    frame->RecalcLayout();
    EXPECT_EQ(Rows(*bar), "1|2|3|4");
    CRect placed, side;
    bar->GetWindowRect(&placed);
    frame->GetDlgItem(AFX_IDW_DOCKBAR_RIGHT)->GetWindowRect(&side);
    EXPECT_GT(placed.Height(), placed.Width());
    EXPECT_LT(side.Width(), 2 * placed.Width()) << "the side is as wide as one column of buttons";
}
