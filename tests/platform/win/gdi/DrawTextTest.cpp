#include "platform/win/GdiTestUtil.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

const COLORREF kTextBlack = RGB(0, 0, 0);

// A canvas with the fixed-metric font of height 10 (advance 5, ascent 8) selected.
class DrawTextTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_old = IsTestFontMode();
        SetTestFontMode(true);
        m_canvas = std::make_unique<TestCanvas>(120, 80);
        m_font = CreateFont(10, 0, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "MS Sans Serif");
        SelectObject(dc(), m_font);
        SetBkMode(dc(), TRANSPARENT);
    }
    void TearDown() override
    {
        SelectObject(dc(), GetStockObject(SYSTEM_FONT));
        DeleteObject(m_font);
        m_canvas.reset();
        SetTestFontMode(m_old);
    }
    HDC dc() { return m_canvas->dc(); }
    TestCanvas& canvas() { return *m_canvas; }

private:
    bool m_old = false;
    std::unique_ptr<TestCanvas> m_canvas;
    HFONT m_font = nullptr;
};

} // namespace

TEST_F(DrawTextTest, CalcRectSingleLine)
{
    RECT r{10, 20, 10, 20};
    int h = DrawText(dc(), "Hello", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(h, 10);
    EXPECT_EQ(r.right, 35);
    EXPECT_EQ(r.bottom, 30);
}

TEST_F(DrawTextTest, CalcRectLinesAndBreaks)
{
    RECT r{0, 0, 0, 0};
    EXPECT_EQ(DrawText(dc(), "ab\r\nabcd\nx", -1, &r, DT_CALCRECT), 30);
    EXPECT_EQ(r.right, 20);
    RECT e{0, 0, 0, 0};
    EXPECT_EQ(DrawText(dc(), "ab\r\n", -1, &e, DT_CALCRECT), 20) << "a final break starts an empty line";
    RECT empty{0, 0, 50, 50};
    EXPECT_EQ(DrawText(dc(), "", 0, &empty, DT_CALCRECT), 10);
}

TEST_F(DrawTextTest, WordBreak)
{
    // 40 pixels hold 8 characters: "one two" fits, "three" goes to the next line.
    RECT r{0, 0, 40, 100};
    int h = DrawText(dc(), "one two three", -1, &r, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(r.right, 35);
    // A word longer than the line stays whole without DT_EDITCONTROL...
    RECT w{0, 0, 20, 100};
    h = DrawText(dc(), "abcdefgh ij", -1, &w, DT_CALCRECT | DT_WORDBREAK);
    EXPECT_EQ(h, 20);
    EXPECT_EQ(w.right, 40);
    // ...and is cut like an edit control with it.
    RECT e{0, 0, 20, 100};
    h = DrawText(dc(), "abcdefgh ij", -1, &e, DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL);
    EXPECT_EQ(h, 30);
    EXPECT_EQ(e.right, 20);
}

TEST_F(DrawTextTest, AlignmentInTheRectangle)
{
    RECT r{0, 0, 100, 40};
    int h = DrawText(dc(), "ab", 2, &r, DT_SINGLELINE | DT_CENTER | DT_VCENTER);
    // Centred: x = (100 - 10) / 2 = 45; y = (40 - 10) / 2 = 15, boxes from 15 to 22.
    EXPECT_EQ(canvas().At(45, 15), kTextBlack);
    EXPECT_EQ(canvas().At(44, 15), RGB(255, 255, 255));
    EXPECT_EQ(canvas().At(45, 14), RGB(255, 255, 255));
    EXPECT_EQ(h, 25) << "the offset from the top to the bottom of the text";
    canvas().Clear(RGB(255, 255, 255));
    h = DrawText(dc(), "ab", 2, &r, DT_SINGLELINE | DT_RIGHT | DT_BOTTOM);
    EXPECT_EQ(canvas().At(90, 30), kTextBlack);
    EXPECT_EQ(canvas().At(98, 37), kTextBlack);
    EXPECT_EQ(canvas().At(99, 37), RGB(255, 255, 255));
    EXPECT_EQ(h, 40);
}

TEST_F(DrawTextTest, MnemonicsAndPrefixes)
{
    RECT r{0, 0, 0, 0};
    DrawText(dc(), "&File", -1, &r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(r.right, 20);
    RECT n{0, 0, 0, 0};
    DrawText(dc(), "&File", -1, &n, DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
    EXPECT_EQ(n.right, 25);
    RECT a{0, 0, 0, 0};
    DrawText(dc(), "A&&B", -1, &a, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_EQ(a.right, 15);
    // The mnemonic is underlined on the row below the baseline, under its character only.
    RECT d{0, 0, 100, 20};
    DrawText(dc(), "a&bc", -1, &d, DT_SINGLELINE);
    EXPECT_EQ(canvas().Map(kTextBlack, 0, 8, 15, 9), ".....#####.....");
    canvas().Clear(RGB(255, 255, 255));
    DrawText(dc(), "a&bc", -1, &d, DT_SINGLELINE | DT_HIDEPREFIX);
    EXPECT_EQ(canvas().Map(kTextBlack, 0, 8, 15, 9), "...............");
}

TEST_F(DrawTextTest, TabsExpand)
{
    RECT r{0, 0, 0, 0};
    DrawText(dc(), "a\tb", -1, &r, DT_CALCRECT | DT_SINGLELINE | DT_EXPANDTABS);
    EXPECT_EQ(r.right, 45);
    // The tab stop count shares its byte with other flags (DT_CALCRECT among them), so it is
    // seen in the drawing: two characters a tab puts "b" at 10.
    RECT t{0, 0, 100, 10};
    DrawText(dc(), "a\tb", -1, &t, DT_SINGLELINE | DT_EXPANDTABS | DT_TABSTOP | (2 << 8));
    EXPECT_EQ(canvas().Map(kTextBlack, 0, 0, 16, 1), "####......####..");
}

TEST_F(DrawTextTest, Ellipses)
{
    // 30 pixels hold six characters: "abc..." ends the line.
    RECT r{0, 0, 30, 10};
    DrawText(dc(), "abcdefghij", -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS);
    EXPECT_EQ(canvas().Map(kTextBlack, 0, 0, 31, 1), "####.####.####.####.####.####..");
    // A path keeps its last part.
    canvas().Clear(RGB(255, 255, 255));
    RECT p{0, 0, 45, 10};
    char path[] = "/usr/share/file";
    DRAWTEXTPARAMS params{sizeof(DRAWTEXTPARAMS), 0, 0, 0, 0};
    DrawTextEx(dc(), path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS, &params);
    // "/u.../file" is 10 characters, 50 pixels: too wide; "/.../file" (9) fits at 45.
    EXPECT_EQ(canvas().At(0, 0), kTextBlack);
    EXPECT_EQ(canvas().At(44, 0), RGB(255, 255, 255));
    EXPECT_EQ(canvas().At(43, 0), kTextBlack);
    EXPECT_EQ(params.uiLengthDrawn, std::strlen(path));
    EXPECT_STREQ(path, "/usr/share/file") << "left alone without DT_MODIFYSTRING";
}

TEST_F(DrawTextTest, ModifyStringHandsBackTheShownText)
{
    char buffer[32] = "abcdefghij";
    RECT r{0, 0, 30, 10};
    DrawTextEx(dc(), buffer, -1, &r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    EXPECT_STREQ(buffer, "abc...");
    char path[32] = "/usr/share/file";
    RECT p{0, 0, 45, 10};
    DrawTextEx(dc(), path, -1, &p, DT_SINGLELINE | DT_PATH_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    EXPECT_STREQ(path, "/.../file");
    // Text that fits stays as it was; with a length, the bytes after it are untouched.
    char fits[32] = "abc|rest";
    RECT wide{0, 0, 100, 10};
    DrawTextEx(dc(), fits, 3, &wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, nullptr);
    EXPECT_STREQ(fits, "abc|rest");
}

TEST_F(DrawTextTest, ClipsToTheRectangleUnlessNoClip)
{
    RECT r{0, 0, 12, 10};
    DrawText(dc(), "abcd", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(canvas().Map(kTextBlack, 0, 0, 20, 1), "####.####.##........");
    canvas().Clear(RGB(255, 255, 255));
    DrawText(dc(), "abcd", -1, &r, DT_SINGLELINE | DT_NOCLIP);
    EXPECT_EQ(canvas().Map(kTextBlack, 0, 0, 20, 1), "####.####.####.####.");
}

TEST_F(DrawTextTest, EditControlSkipsPartialLastLine)
{
    RECT r{0, 0, 100, 15};
    DrawText(dc(), "a\nb", -1, &r, DT_EDITCONTROL);
    EXPECT_EQ(canvas().At(0, 10), RGB(255, 255, 255));
    canvas().Clear(RGB(255, 255, 255));
    DrawText(dc(), "a\nb", -1, &r, 0);
    EXPECT_EQ(canvas().At(0, 10), kTextBlack) << "clipped but drawn";
}
