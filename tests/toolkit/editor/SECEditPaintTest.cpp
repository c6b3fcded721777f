// Painting of the editor window, in pixels: a comment over several lines in its colour, shown
// tabs, and a column block drawn as a rectangle over short lines too.
#include "tests/toolkit/editor/EditWindowSupport.h"

#include "platform/win/VirtualKeys.h"

#include <cairo.h>

namespace {

class ColourEdit : public RecordingEdit {
public:
    SECEditDoc* CreateDocument() override
    {
        if (!m_pDoc) {
            m_pDoc = std::make_unique<SECEditDoc>(s_pProfile);
            m_pDoc->SetSection("Editor");
            m_pDoc->ReadSettings();
        }
        return m_pDoc.get();
    }
};

class PaintTest : public EditWindowTest {
protected:
    void SetUp() override
    {
        EditWindowTest::SetUp();
        dir.WriteFile("kw.ini", "[Keywords]\r\nmeta=1\r\n");
        Set("Chroma", "1");
        Set("Keywords", dir.File("kw.ini").c_str());
        Set("Comment Start 1", "<!--");
        Set("Comment End 1", "-->");
        Set("Comment", "0,128,0");
        Set("Keyword", "0,0,255");
        Set("Tab size", "4");
    }
    void Set(const char* key, const char* value) { profile->WriteProfileString("Editor", key, value); }
    void Load(SECEditCtrl& edit, const std::string& text)
    {
        static int n = 0;
        const std::string name = "p" + std::to_string(++n) + ".txt";
        dir.WriteFile(name, text);
        ASSERT_EQ(edit.InsertFile(dir.File(name).c_str()), 0);
        edit.Invalidate(FALSE);
        edit.UpdateWindow();
    }
    // How many pixels of a colour one cell range of a row holds.
    int Count(SECEditCtrl& edit, int row, int col1, int col2, COLORREF colour)
    {
        cairo_surface_t* s = backend->Capture(top->m_hWnd);
        if (s == nullptr)
            return -1;
        CRect r, t;
        edit.GetWindowRect(&r);
        top->GetWindowRect(&t);
        const int stride = cairo_image_surface_get_stride(s);
        const uint8_t* data = cairo_image_surface_get_data(s);
        const uint32_t want = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
        int count = 0;
        const int x0 = r.left - t.left + edit.GetMarginWidth() + col1 * edit.GetCharWidth();
        const int x1 = r.left - t.left + edit.GetMarginWidth() + col2 * edit.GetCharWidth();
        const int y0 = r.top - t.top + row * edit.GetLineHeight();
        for (int y = y0; y < y0 + edit.GetLineHeight(); ++y)
            for (int x = x0; x < x1; ++x)
                count += (reinterpret_cast<const uint32_t*>(data + y * stride)[x] & 0xFFFFFF) == want ? 1 : 0;
        cairo_surface_destroy(s);
        return count;
    }
};

TEST_F(PaintTest, ACommentOverLinesKeywordsAndQuotesInTheirColours)
{
    ColourEdit edit;
    Make(edit, 0, 360, 240);
    Load(edit, "<!-- a meta\r\nstill \"in\"\r\nend --> <meta a=\"q\\\"x\">\r\nplain\r\n");
    ASSERT_TRUE(edit.GetDocument()->GetChroma());
    const COLORREF green = RGB(0, 128, 0), blue = RGB(0, 0, 255), red = RGB(255, 0, 0);
    EXPECT_GT(Count(edit, 0, 0, 11, green), 0);
    EXPECT_EQ(Count(edit, 0, 0, 11, blue), 0);   // a keyword inside a comment stays comment
    EXPECT_GT(Count(edit, 1, 0, 10, green), 0);   // the comment goes on over the next line
    EXPECT_EQ(Count(edit, 1, 0, 10, red), 0);     // and quotes in it open nothing
    EXPECT_GT(Count(edit, 2, 0, 6, green), 0);
    EXPECT_EQ(Count(edit, 2, 8, 26, green), 0);   // after its end the line is coloured anew
    EXPECT_GT(Count(edit, 2, 9, 13, blue), 0);
    // The escaped quote keeps the string open to the closing one.
    EXPECT_GT(Count(edit, 2, 17, 22, red), 0);
    EXPECT_EQ(Count(edit, 3, 0, 5, green), 0);
    EXPECT_GT(Count(edit, 3, 0, 5, RGB(0, 0, 0)), 0);
}

TEST_F(PaintTest, ShownTabsAndAColumnBlockOverShortLines)
{
    ColourEdit plain;
    Make(plain, 0, 190, 200);
    Load(plain, "\tx\r\n");
    Set("Show tabs", "1");
    ColourEdit shown;
    Make(shown, 200, 190, 200);
    Load(shown, "\tx\r\n");
    // The tab's first cell shows a mark only when asked to; the rest of it stays blank.
    const COLORREF black = RGB(0, 0, 0);
    EXPECT_EQ(Count(plain, 0, 0, 1, black), 0);
    EXPECT_GT(Count(shown, 0, 0, 1, black), 0);
    EXPECT_EQ(Count(shown, 0, 1, 4, black), 0);
    EXPECT_EQ(Count(plain, 0, 4, 5, black), Count(shown, 0, 4, 5, black));   // "x" at column 4 in both
    plain.DestroyWindow();
    shown.DestroyWindow();

    // A block over a short line is inverted as a whole rectangle, past the line's text.
    ColourEdit edit;
    Make(edit, 0, 360, 200);
    Load(edit, "abcdefgh\r\na\r\nabcdefgh\r\n");
    AltDrag(edit, 0, 2, 2, 6);
    ASSERT_EQ(edit.GetSelMode(), SECEDIT_SEL_COLUMN);
    edit.Invalidate(FALSE);
    edit.UpdateWindow();
    const int cellPixels = edit.GetCharWidth() * edit.GetLineHeight();
    EXPECT_EQ(Count(edit, 1, 2, 6, black), 4 * cellPixels);   // white turned black, all of it
    EXPECT_EQ(Count(edit, 1, 6, 8, black), 0);
    EXPECT_EQ(Count(edit, 1, 0, 2, black) > 0, true);         // the "a" left of the block
}

} // namespace
