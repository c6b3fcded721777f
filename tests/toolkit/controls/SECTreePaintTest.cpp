// The tree's label column in pixels and numbers: 9-pixel buttons with plus and minus, dotted
// lines whose dots stay put when the view scrolls one pixel, the two-part label markup with and
// without wrapping, and a bold label measured with the bold font.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "platform/afx/gdi/CDC.h"
#include "platform/afx/gdi/CImageList.h"
#include "platform/afx/gdi/GdiObjects.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/toolkit/controls/ControlsTestSupport.h"
#include "toolkit/controls/SECTreeCtrl.h"

namespace {

class SECTreePaintTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(font.CreateFont(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Sans"));
    }
    void TearDown() override
    {
        tree.DestroyWindow();
        AfxTest::TearDown();
    }
    void Make(DWORD exStyle = 0)
    {
        tree.SetItemFont(&font);
        ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, exStyle,
                                CRect(0, 0, 200, 120), top.get(), 1));
    }
    COLORREF Pixel(int x, int y)
    {
        tree.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        return SurfacePixel(*backend, tree.m_hWnd, x, y);
    }
    CFont font;
    SECTreeCtrl tree;
};

TEST_F(SECTreePaintTest, ButtonsAreNinePixelsWithPlusOrMinus)
{
    Make();
    HTREEITEM folder = tree.InsertItem("folder");
    tree.InsertItem("page", folder);
    // Rows are the label's 10 pixels plus one above and below; the button centres on (8, 6).
    RECT box;
    ASSERT_TRUE(tree.GetButtonRect(folder, box));
    EXPECT_EQ(CRect(box), CRect(4, 2, 13, 11));
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), ink = ::GetSysColor(COLOR_WINDOWTEXT);
    EXPECT_EQ(Pixel(4, 6), shadow);
    EXPECT_EQ(Pixel(12, 2), shadow);
    EXPECT_EQ(Pixel(8, 6), ink);
    EXPECT_EQ(Pixel(6, 6), ink);
    EXPECT_EQ(Pixel(5, 6), RGB(255, 255, 255));   // inside the frame, outside the stroke
    EXPECT_EQ(Pixel(8, 4), ink);                   // closed: a plus
    tree.Expand(folder, TVE_EXPAND);
    EXPECT_EQ(Pixel(8, 4), RGB(255, 255, 255));    // open: a minus
    // The child's row: 12 pixels lower, its own line one indent in, no button (no children).
    RECT none;
    HTREEITEM page = tree.GetChildItem(folder);
    ASSERT_TRUE(tree.GetButtonRect(page, none));
    EXPECT_EQ(CRect(none), CRect(24, 14, 33, 23));
    EXPECT_EQ(Pixel(24, 18), ::GetSysColor(COLOR_WINDOW));   // no frame where a button would be
    EXPECT_EQ(Pixel(28, 18), shadow);   // the line starts at the box's centre, dotted
    EXPECT_EQ(Pixel(29, 18), ::GetSysColor(COLOR_WINDOW));
    // A disabled tree fills its buttons in the disabled colour.
    tree.EnableWindow(FALSE);
    EXPECT_EQ(Pixel(5, 6), ::GetSysColor(COLOR_MENU));
}

// On a printer the lines are drawn with the pen, solid, where the screen shows dots.
TEST_F(SECTreePaintTest, PrintedLinesAreSolid)
{
    Make();
    HTREEITEM folder = tree.InsertItem("folder");
    tree.InsertItem("a", folder);
    tree.InsertItem("b", folder);
    tree.Expand(folder, TVE_EXPAND);
    const COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), window = ::GetSysColor(COLOR_WINDOW);
    ASSERT_EQ(Pixel(29, 18), window);   // dotted on the screen
    CClientDC client(&tree);
    CDC page;
    ASSERT_TRUE(page.CreateCompatibleDC(&client));
    CBitmap bitmap;
    ASSERT_TRUE(bitmap.CreateCompatibleBitmap(&client, 200, 120));
    CBitmap* old = page.SelectObject(&bitmap);
    page.FillSolidRect(0, 0, 200, 120, window);
    page.m_bPrinting = TRUE;
    tree.OnDraw(&page);
    // The first child's line from the folder's line to its label, and the folder's line down.
    for (int x = 28; x < 37; ++x)
        EXPECT_EQ(page.GetPixel(x, 18), shadow) << x;
    for (int y = 12; y < 31; ++y)
        EXPECT_EQ(page.GetPixel(28, y), shadow) << y;
    // The labels are printed too, where the screen shows them.
    for (int x = 40; x < 44; ++x)
        EXPECT_EQ(page.GetPixel(x, 18), Pixel(x, 18)) << x;
    EXPECT_NE(page.GetPixel(41, 18), window);
    page.SelectObject(old);
}

TEST_F(SECTreePaintTest, DotsStayInPlaceWhenTheViewScrollsOnePixel)
{
    Make();
    HTREEITEM folder = tree.InsertItem("folder");
    tree.InsertItem("a page whose label is far wider than the tree is", folder);
    tree.InsertItem("b", folder);
    tree.Expand(folder, TVE_EXPAND);
    tree.RecalcLayout();
    ASSERT_TRUE(tree.IsHorzBarShown());
    // The child's horizontal line runs from x 28 to its label at 40, on row 1's middle (y 18).
    std::vector<COLORREF> before, after, columnBefore, columnAfter;
    for (int x = 28; x < 40; ++x)
        before.push_back(Pixel(x, 18));
    for (int cy = 12; cy < 36; ++cy)   // the line down the folder's children
        columnBefore.push_back(Pixel(28, cy));
    EXPECT_EQ(before[0], ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(before[1], ::GetSysColor(COLOR_WINDOW));
    tree.ScrollHorz(-1);
    int x = -1, y = -1;
    tree.GetScrollOrigin(x, y);
    ASSERT_EQ(x, 1);
    for (int cx = 27; cx < 39; ++cx)
        after.push_back(Pixel(cx, 18));
    EXPECT_EQ(before, after);
    // The vertical line down the folder's children keeps its phase too.
    for (int cy = 12; cy < 36; ++cy)
        columnAfter.push_back(Pixel(27, cy));
    EXPECT_EQ(columnBefore, columnAfter);
    EXPECT_NE(std::count(columnAfter.begin(), columnAfter.end(), ::GetSysColor(COLOR_BTNSHADOW)), 0);
    RECT box;
    ASSERT_TRUE(tree.GetButtonRect(folder, box));
    EXPECT_EQ(box.left, 3);   // the box moved with the content
}

TEST_F(SECTreePaintTest, TheTwoPartMarkupCountsOnlyWhenLabelsWrap)
{
    Make(TVXS_WORDWRAP);
    HTREEITEM marked = tree.InsertItem("one\\{HI}two");
    HTREEITEM bold = tree.InsertItem("bold");
    tree.SetItemState(bold, TVIS_BOLD, TVIS_BOLD);
    const int row = tree.GetItemRow(marked);
    ASSERT_GT(tree.GetRowHeight(row), 0);
    const RECT& wrapped = tree.GetItemRecord(row)->m_rcText;
    EXPECT_EQ(wrapped.right - wrapped.left, 30);   // "one" then "two", the marker unseen
    EXPECT_EQ(wrapped.bottom - wrapped.top, 12);   // one line, 2 pixels more
    tree.SetHeightIndependent(FALSE);              // single-line labels now
    ASSERT_GT(tree.GetRowHeight(row), 0);
    const RECT& single = tree.GetItemRecord(row)->m_rcText;
    EXPECT_EQ(single.right - single.left, 11 * 5);   // the marker shown as text
    // The bold label is measured with a bold copy of the item font (same metrics here).
    ASSERT_GT(tree.GetRowHeight(1), 0);
    EXPECT_EQ(tree.GetItemRecord(1)->m_rcText.right - tree.GetItemRecord(1)->m_rcText.left, 4 * 5);
}

}   // namespace

TEST_F(SECTreePaintTest, ADragImageIsTheLabelAsDrawnAndPicturesSitSixPixelsApart)
{
    Make();
    HTREEITEM item = tree.InsertItem("Hello", TVI_ROOT);
    std::unique_ptr<CImageList> drag(tree.CreateDragImage(item));
    ASSERT_NE(drag, nullptr);
    ASSERT_EQ(drag->GetImageCount(), 1);
    RECT label{};
    ASSERT_TRUE(tree.GetLabelRect(tree.GetItemRow(item), label, 2));
    IMAGEINFO info{};
    ASSERT_TRUE(drag->GetImageInfo(0, &info));
    EXPECT_EQ(info.rcImage.right - info.rcImage.left, label.right - label.left);
    EXPECT_EQ(info.rcImage.bottom - info.rcImage.top, label.bottom - label.top);

    // The text shows in the window's text colour on the window's colour.
    CDC screen;
    screen.Attach(::GetDC(nullptr));
    CDC memory;
    memory.CreateCompatibleDC(&screen);
    CBitmap target;
    target.CreateCompatibleBitmap(&screen, label.right - label.left, label.bottom - label.top);
    CBitmap* old = memory.SelectObject(&target);
    drag->Draw(&memory, 0, CPoint(0, 0), ILD_NORMAL);
    int text = 0, ground = 0;
    for (int y = 0; y < label.bottom - label.top; ++y)
        for (int x = 0; x < label.right - label.left; ++x) {
            const COLORREF c = memory.GetPixel(x, y);
            text += c == ::GetSysColor(COLOR_WINDOWTEXT);
            ground += c == ::GetSysColor(COLOR_WINDOW);
        }
    memory.SelectObject(old);
    ::ReleaseDC(nullptr, screen.Detach());
    EXPECT_GT(text, 10);
    EXPECT_GT(ground, text);
    EXPECT_EQ(tree.CreateDragImage(TVI_ROOT), nullptr) << "the root has no label";

    // A state image and an icon merged side by side, 6 pixels apart; one entry on its own.
    CImageList states, icons;
    ASSERT_TRUE(states.Create(13, 13, ILC_COLOR24 | ILC_MASK, 1, 0));
    ASSERT_TRUE(icons.Create(16, 16, ILC_COLOR24 | ILC_MASK, 1, 0));
    CBitmap s, i;
    s.CreateCompatibleBitmap(&memory, 13, 13);
    i.CreateCompatibleBitmap(&memory, 16, 16);
    ASSERT_EQ(states.Add(&s, RGB(255, 0, 255)), 0);
    ASSERT_EQ(icons.Add(&i, RGB(255, 0, 255)), 0);
    std::unique_ptr<CImageList> merged(SECTreeBaseC::MergeDragImages(&states, 0, &icons, 0));
    ASSERT_NE(merged, nullptr);
    ASSERT_TRUE(merged->GetImageInfo(0, &info));
    EXPECT_EQ(info.rcImage.right - info.rcImage.left, 13 + 6 + 16);
    std::unique_ptr<CImageList> single(SECTreeBaseC::CreateDragImageFromEntry(&icons, 0));
    ASSERT_NE(single, nullptr);
    ASSERT_TRUE(single->GetImageInfo(0, &info));
    EXPECT_EQ(info.rcImage.right - info.rcImage.left, 16);
    EXPECT_EQ(SECTreeBaseC::CreateDragImageFromEntry(&icons, 3), nullptr);
}
