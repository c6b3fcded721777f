#include "grid/core/GXGdiRecords.h"

#include "grid/data/GXColor.h"
#include "platform/win/UserApi.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

TEST(CGXSysColorCacheTest, EveryIndexResolvesToTheSystemsColour)
{
    CGXSysColorCache cache;
    EXPECT_EQ(cache.GetColor(COLOR_BTNFACE), GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(cache.Resolve(GXSysColor(COLOR_WINDOW)), GetSysColor(COLOR_WINDOW));
    // Past the kept indices the system answers, whatever it answers.
    for (int nIndex : {CGXSysColorCache::kCount, COLOR_MENUBAR, 31, 150, -1})
        EXPECT_EQ(cache.GetColor(nIndex), GetSysColor(nIndex)) << nIndex;
    EXPECT_EQ(cache.Resolve(GXSysColor(COLOR_MENUHILIGHT)), GetSysColor(COLOR_MENUHILIGHT));
    EXPECT_EQ(cache.Resolve(GXSysColor(150)), GetSysColor(150));
    EXPECT_EQ(cache.Resolve(RGB(1, 2, 3)), RGB(1, 2, 3));
}

TEST(GXGdiRecordsTest, PackedPartsBecomeGdiRecords)
{
    CGXFont font;
    font.SetFaceName(std::string(60, 'F').c_str()).SetSize(12).SetBold(TRUE).SetUnderline(TRUE).SetOrientation(900);
    LOGFONT lf = GXGetLogFont(font, 150, 96);
    EXPECT_EQ(lf.lfHeight, -24); // 12 pt at 96 dpi is 16 px, zoomed by 150%
    EXPECT_EQ(lf.lfWeight, 700);
    EXPECT_EQ(lf.lfUnderline, 1);
    EXPECT_EQ(lf.lfItalic, 0);
    EXPECT_EQ(lf.lfEscapement, 900);
    EXPECT_EQ(std::strlen(lf.lfFaceName), sizeof(lf.lfFaceName) - 1); // cut, terminated
    lf = GXGetLogFont(CGXFont());
    EXPECT_EQ(lf.lfHeight, 0);
    EXPECT_EQ(lf.lfFaceName[0], '\0');

    CGXSysColorCache cache;
    const LOGPEN lp = GXGetLogPen(CGXPen(GX_PS_DOT, 2, GXSysColor(COLOR_BTNSHADOW)), cache);
    EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(GX_PS_DOT));
    EXPECT_EQ(lp.lopnWidth.x, 2);
    EXPECT_EQ(lp.lopnColor, GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(GXGetLogPen(CGXPen(), cache).lopnStyle, static_cast<UINT>(GX_PS_NULL));

    const LOGBRUSH lb = GXGetLogBrush(CGXBrush().SetPattern(17).SetForeColor(RGB(192, 192, 192)), cache);
    EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_PATTERN));
    EXPECT_EQ(lb.lbHatch, 17u);
    EXPECT_EQ(lb.lbColor, RGB(192, 192, 192));
}
