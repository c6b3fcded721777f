// Drawing a pop-up menu into a memory bitmap: the frame, the highlight, check marks and check
// bitmaps, the sub-menu arrow and the separator, at the places the layout gives.
#include "platform/win/GdiTestUtil.h"

#include "platform/win/UserApi.h"
#include "platform/win/detail/MenuModel.h"
#include "platform/win/detail/MenuPainter.h"

#include <gtest/gtest.h>

namespace {

const COLORREF kMenuFace = RGB(192, 192, 192);
const COLORREF kMenuShadow = RGB(128, 128, 128);
const COLORREF kHighlight = RGB(0, 0, 128);

int CountIn(const TestCanvas& c, const RECT& r, COLORREF color)
{
    int n = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            n += c.At(x, y) == color;
    return n;
}

TEST(MenuPainterTest, PopupShowsItsItemsWhereTheLayoutPutsThem)
{
    SetTestFontMode(true);
    HMENU sub = CreatePopupMenu();
    HMENU menu = CreatePopupMenu();
    AppendMenu(menu, MF_STRING | MF_CHECKED, 1, "&Checked");
    AppendMenu(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenu(menu, MF_POPUP, reinterpret_cast<UINT_PTR>(sub), "&More");
    AppendMenu(menu, MF_STRING | MF_CHECKED, 2, "&Own mark");
    // A 5x5 monochrome bitmap of 0 bits (drawn in the text colour) as the fourth item's mark.
    const WORD zeros[5] = {};
    HBITMAP mark = CreateBitmap(5, 5, 1, 1, zeros);
    SetMenuItemBitmaps(menu, 3, MF_BYPOSITION, nullptr, mark);

    const MenuObject& m = *Menus::Find(menu);
    const PopupLayout layout = MenuLayouts::LayOutPopup(m, nullptr);
    const MenuMetrics& metrics = MenuMetrics::Get();
    ASSERT_EQ(layout.items.size(), 4u);
    EXPECT_EQ(layout.items[1].rect.bottom - layout.items[1].rect.top, metrics.separatorHeight);
    EXPECT_EQ(layout.size.cy, 3 * metrics.itemHeight + metrics.separatorHeight + 2 * metrics.frame);

    TestCanvas c(layout.size.cx, layout.size.cy, RGB(1, 2, 3));
    MenuPainter::PaintPopup(c.dc(), m, layout, 2, nullptr);
    // The flat frame, then the face inside it.
    EXPECT_EQ(c.At(0, 0), kMenuShadow);
    EXPECT_EQ(c.At(layout.size.cx - 1, layout.size.cy - 1), kMenuShadow);
    EXPECT_EQ(c.At(1, 1), kMenuFace);
    // The selected item is filled with the highlight, the others are not.
    const RECT selected = layout.items[2].rect;
    EXPECT_EQ(c.At(selected.left + 1, selected.top + 1), kHighlight);
    EXPECT_EQ(c.At(layout.items[0].rect.left + 1, layout.items[0].rect.top + 1), kMenuFace);
    // The check mark sits in the check column of the first item, in the menu text colour.
    const RECT first = layout.items[0].rect;
    const RECT column{first.left, first.top, first.left + layout.checkWidth, first.bottom};
    EXPECT_GE(CountIn(c, column, RGB(0, 0, 0)), 15);
    // The arrow of the pop-up item is drawn in the highlight text colour at its right end.
    const RECT arrow{selected.right - metrics.arrowWidth, selected.top, selected.right, selected.bottom};
    EXPECT_EQ(CountIn(c, arrow, RGB(255, 255, 255)), 16);
    // The separator: a shadow line over a light one across the item.
    const RECT sep = layout.items[1].rect;
    const int mid = sep.top + (sep.bottom - sep.top) / 2 - 1;
    EXPECT_EQ(c.At(sep.left + 5, mid), kMenuShadow);
    EXPECT_EQ(c.At(sep.left + 5, mid + 1), RGB(255, 255, 255));
    // The item's own check bitmap replaces the mark: exactly its 25 pixels.
    const RECT own = layout.items[3].rect;
    EXPECT_EQ(CountIn(c, RECT{own.left, own.top, own.left + layout.checkWidth, own.bottom}, RGB(0, 0, 0)), 25);

    DestroyMenu(menu);
    DeleteObject(mark);
    SetTestFontMode(false);
}

} // namespace
