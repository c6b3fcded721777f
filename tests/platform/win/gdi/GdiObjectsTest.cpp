#include "platform/win/Gdi.h"

#include <gtest/gtest.h>

#include <cstring>

TEST(GdiObjectsTest, StockObjectsHaveTheirKinds)
{
    for (int i : {WHITE_BRUSH, LTGRAY_BRUSH, GRAY_BRUSH, DKGRAY_BRUSH, BLACK_BRUSH, NULL_BRUSH, DC_BRUSH}) {
        EXPECT_EQ(GetObjectType(GetStockObject(i)), static_cast<DWORD>(OBJ_BRUSH)) << i;
    }
    for (int i : {WHITE_PEN, BLACK_PEN, NULL_PEN, DC_PEN}) {
        EXPECT_EQ(GetObjectType(GetStockObject(i)), static_cast<DWORD>(OBJ_PEN)) << i;
    }
    for (int i : {SYSTEM_FONT, DEFAULT_GUI_FONT, ANSI_VAR_FONT, ANSI_FIXED_FONT, OEM_FIXED_FONT}) {
        EXPECT_EQ(GetObjectType(GetStockObject(i)), static_cast<DWORD>(OBJ_FONT)) << i;
    }
    EXPECT_EQ(GetStockObject(HOLLOW_BRUSH), GetStockObject(NULL_BRUSH));
    EXPECT_EQ(GetStockObject(9), nullptr);
    LOGBRUSH lb{};
    GetObject(GetStockObject(LTGRAY_BRUSH), sizeof(lb), &lb);
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
}

TEST(GdiObjectsTest, GetObjectDescribesEachKind)
{
    HPEN pen = CreatePen(PS_DASH, 0, RGB(1, 2, 3));
    LOGPEN lp{};
    EXPECT_EQ(GetObject(pen, sizeof(lp), &lp), static_cast<int>(sizeof(lp)));
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
    EXPECT_EQ(lp.lopnColor, RGB(1, 2, 3));
    EXPECT_EQ(GetObject(pen, 0, nullptr), static_cast<int>(sizeof(LOGPEN)));
    DeleteObject(pen);

    LOGBRUSH solid{BS_SOLID, RGB(4, 5, 6), 0};
    LOGBRUSH hatch{BS_HATCHED, RGB(7, 8, 9), HS_CROSS};
    for (const LOGBRUSH& in : {solid, hatch}) {
        HBRUSH b = CreateBrushIndirect(&in);
        LOGBRUSH out{};
        GetObject(b, sizeof(out), &out);
        EXPECT_EQ(out.lbStyle, in.lbStyle);
        EXPECT_EQ(out.lbColor, in.lbColor);
        EXPECT_EQ(out.lbHatch, in.lbHatch);
        DeleteObject(b);
    }

    HFONT f = CreateFont(-13, 0, 450, 0, FW_BOLD, TRUE, FALSE, TRUE, 0, 0, 0, 0, 0, "Arial");
    LOGFONT lf{};
    GetObject(f, sizeof(lf), &lf);
    EXPECT_EQ(lf.lfHeight, -13);
    EXPECT_EQ(lf.lfEscapement, 450);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_EQ(lf.lfItalic, 1);
    EXPECT_EQ(lf.lfStrikeOut, 1);
    EXPECT_STREQ(lf.lfFaceName, "Arial");
    DeleteObject(f);

    HBITMAP bm = CreateBitmap(17, 3, 1, 1, nullptr);
    BITMAP info{};
    GetObject(bm, sizeof(info), &info);
    EXPECT_EQ(info.bmWidth, 17);
    EXPECT_EQ(info.bmWidthBytes, 4) << "rows are padded to 16 bits";
    EXPECT_EQ(info.bmBitsPixel, 1);
    DeleteObject(bm);
}

TEST(GdiObjectsTest, ExtCreatePenRules)
{
    LOGBRUSH lb{BS_SOLID, RGB(0, 0, 0), 0};
    EXPECT_EQ(ExtCreatePen(PS_COSMETIC | PS_SOLID, 2, &lb, 0, nullptr), nullptr) << "cosmetic pens are 1 wide";
    EXPECT_EQ(ExtCreatePen(PS_GEOMETRIC | PS_ALTERNATE, 1, &lb, 0, nullptr), nullptr);
    DWORD dashes[] = {2, 1};
    HPEN user = ExtCreatePen(PS_COSMETIC | PS_USERSTYLE, 1, &lb, 2, dashes);
    ASSERT_NE(user, nullptr);
    unsigned char buffer[64] = {};
    ASSERT_GT(GetObject(user, sizeof(buffer), buffer), 0);
    EXTLOGPEN elp;
    std::memcpy(&elp, buffer, sizeof(elp));
    EXPECT_EQ(elp.elpPenStyle, static_cast<DWORD>(PS_COSMETIC | PS_USERSTYLE));
    EXPECT_EQ(elp.elpNumEntries, 2u);
    DeleteObject(user);
}

TEST(GdiObjectsTest, DeletedHandlesAreDead)
{
    HBRUSH b = CreateSolidBrush(0);
    EXPECT_TRUE(DeleteObject(b));
    EXPECT_FALSE(DeleteObject(b));
    EXPECT_EQ(GetObjectType(b), 0u);
    EXPECT_EQ(GetObject(b, 0, nullptr), 0);
    EXPECT_EQ(CreateHatchBrush(42, 0), nullptr);
}

TEST(GdiObjectsTest, RegionHandles)
{
    HRGN a = CreateRectRgn(0, 0, 10, 10);
    HRGN b = CreateRectRgn(5, 5, 15, 15);
    HRGN d = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_AND), SIMPLEREGION);
    RECT box;
    EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 5);
    EXPECT_EQ(box.right, 10);
    EXPECT_EQ(CombineRgn(d, a, b, RGN_OR), COMPLEXREGION);
    EXPECT_TRUE(PtInRegion(d, 14, 14));
    EXPECT_FALSE(PtInRegion(d, 14, 0));
    EXPECT_EQ(CombineRgn(d, a, a, RGN_DIFF), NULLREGION);
    EXPECT_EQ(CombineRgn(d, b, nullptr, RGN_COPY), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, b));
    EXPECT_EQ(OffsetRgn(d, -5, -5), SIMPLEREGION);
    EXPECT_TRUE(EqualRgn(d, a));
    RECT probe{9, 9, 20, 20};
    EXPECT_TRUE(RectInRegion(a, &probe));
    RECT outside{10, 0, 20, 10};
    EXPECT_FALSE(RectInRegion(a, &outside));
    SetRectRgn(d, 1, 1, 2, 2);
    EXPECT_EQ(GetRgnBox(d, &box), SIMPLEREGION);
    EXPECT_EQ(box.right, 2);
    POINT tri[] = {{0, 0}, {4, 0}, {0, 4}};
    HRGN t = CreatePolygonRgn(tri, 3, ALTERNATE);
    EXPECT_TRUE(PtInRegion(t, 1, 1));
    EXPECT_FALSE(PtInRegion(t, 3, 3));
    EXPECT_EQ(CombineRgn(d, a, b, 9), ERROR);
    EXPECT_EQ(CreatePolygonRgn(tri, 3, 7), nullptr);
    for (HRGN r : {a, b, d, t}) {
        EXPECT_TRUE(DeleteObject(r));
    }
}
