#include "GridTestSupport.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/CGXSysColorCache.h"
#include "grid/core/GXDrawingHelpers.h"
#include "platform/core/GlobalMemory.h"
#include "platform/core/ResourceTable.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/detail/DeviceContext.h"
#include "platform/win/detail/SurfaceDC.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A recording DC with the fixed-metric font of a given height selected (width h / 2).
class TextDC {
public:
    explicit TextDC(int nHeight) : m_hDC(CreateRecordingDC(400, 200))
    {
        m_dc.Attach(m_hDC);
        LOGFONT lf{};
        lf.lfHeight = nHeight;
        m_font.CreateFontIndirect(&lf);
        m_pOld = m_dc.SelectObject(&m_font);
    }
    ~TextDC()
    {
        m_dc.SelectObject(m_pOld);
        m_dc.Detach();
        DeleteDC(m_hDC);
    }
    CDC* Get() { return &m_dc; }
    std::vector<RecordedCall> Texts() const
    {
        std::vector<RecordedCall> result;
        for (const RecordedCall& call : *GetRecordedCalls(m_hDC))
            if (call.name == "ExtTextOut" && !call.text.empty())
                result.push_back(call);
        return result;
    }
    void Clear() { ClearRecordedCalls(m_hDC); }

private:
    HDC m_hDC;
    CDC m_dc;
    CFont m_font;
    CFont* m_pOld = nullptr;
};

BOOL IsWholeUtf8(const std::string& s)
{
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 0;
        if (n == 0 || i + n > s.size())
            return FALSE;
        for (size_t k = 1; k < n; ++k)
            if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80)
                return FALSE;
        i += n;
    }
    return TRUE;
}

} // namespace

TEST_F(GridDrawTest, TextBreaksIntoLinesAtWordsAndLineBreaks)
{
    TextDC dc(10); // characters 5 pixels wide, lines 10 high
    CGXDrawingAndFormatting* pDF = CGXDrawingAndFormatting::GetInstance();
    int starts[32], lengths[32];
    CRect rect(0, 0, 39, 100); // 40 pixels: eight characters
    EXPECT_EQ(pDF->CalcTextLines(dc.Get(), "alpha beta gamma", -1, rect, DT_WORDBREAK, starts, lengths, 32), 3);
    EXPECT_EQ(std::string("alpha beta gamma").substr(static_cast<size_t>(starts[1]), static_cast<size_t>(lengths[1])), "beta");
    rect.SetRect(0, 0, 39, 100);
    EXPECT_EQ(pDF->CalcTextLines(dc.Get(), "a\r\nb", -1, rect, DT_WORDBREAK, starts, lengths, 32), 2);
    rect.SetRect(0, 0, 39, 100);
    EXPECT_EQ(pDF->CalcTextLines(dc.Get(), "a\r\n", -1, rect, DT_WORDBREAK, starts, lengths, 32), 2); // the second empty
    EXPECT_EQ(lengths[1], 0);
    // A single line that does not fit is cut by whole characters.
    rect.SetRect(0, 0, 19, 100);
    EXPECT_EQ(pDF->CalcTextLines(dc.Get(), "abcdefgh", -1, rect, DT_SINGLELINE, starts, lengths, 32), 1);
    EXPECT_EQ(lengths[0], 4);
    // At most 32 lines.
    std::string many;
    for (int i = 0; i < 40; ++i)
        many += "x\n";
    rect.SetRect(0, 0, 39, 1000);
    EXPECT_EQ(pDF->CalcTextLineCount(dc.Get(), many.c_str(), -1, rect, DT_WORDBREAK), 32);

    // The character under a point; left of a centred line by more than a third of a character: none.
    rect.SetRect(0, 0, 100, 20);
    EXPECT_EQ(pDF->GetCharIndexFromPoint(dc.Get(), "abcd", -1, rect, DT_SINGLELINE, 11, 5), 2);
    EXPECT_EQ(pDF->GetCharIndexFromPoint(dc.Get(), "abcd", -1, rect, DT_SINGLELINE | DT_CENTER, 35, 5), -1);
    EXPECT_EQ(pDF->GetCharIndexFromPoint(dc.Get(), "abcd", -1, rect, DT_SINGLELINE | DT_CENTER, 45, 5), 1);
}

TEST_F(GridDrawTest, EllipsesShortenByWholeCharactersAndPoundsFillTheWidth)
{
    TextDC dc(10);
    CGXDrawingAndFormatting* pDF = CGXDrawingAndFormatting::GetInstance();
    // Two-byte characters: a shortened line must never end inside one.
    const std::string text = "\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9\xC3\xA9 \xC3\xA9\xC3\xA9";
    pDF->DrawTextEllipsis(dc.Get(), text.c_str(), -1, CRect(0, 0, 41, 12), DT_SINGLELINE, nullptr, 1);
    auto texts = dc.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(IsWholeUtf8(texts[0].text)) << texts[0].text;
    EXPECT_EQ(texts[0].text.substr(texts[0].text.size() - 3), "...");
    EXPECT_LE(static_cast<int>(texts[0].text.size() - 3) / 2 + 3, 8); // fits 8 characters
    // One character left: the dots go.
    dc.Clear();
    pDF->DrawTextEllipsis(dc.Get(), "wxyz", -1, CRect(0, 0, 9, 12), DT_SINGLELINE, nullptr, 1);
    texts = dc.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts[0].text, "w");
    // Pounds: as many as fit.
    dc.Clear();
    pDF->DrawTextEllipsis(dc.Get(), "123456789", -1, CRect(0, 0, 22, 12), DT_SINGLELINE, nullptr, 2);
    texts = dc.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_EQ(texts[0].text, "####");

    // Paths: the start gives way, at a separator while the file's name shows whole, inside the
    // name when not even it fits; a path that fits shows whole.
    struct Case {
        int nWidth;
        const char* pszPath;
        const char* pszShown;
    };
    for (const Case& c : {Case{120, "/srv/www/sec03/dir1132/page31.html", ".../dir1132/page31.html"},
                          Case{75, "/srv/www/sec03/dir1132/page31.html", ".../page31.html"},
                          Case{70, "/srv/www/sec03/dir1132/page31.html", "...page31.html"},
                          Case{50, "/srv/www/sec03/dir1132/page31.html", "...31.html"},
                          Case{200, "/srv/www/page31.html", "/srv/www/page31.html"},
                          Case{45, "/s/\xC3\xA9t\xC3\xA9.html", "...\xC3\xA9.html"}}) {
        SCOPED_TRACE(c.pszPath);
        dc.Clear();
        pDF->DrawTextEllipsis(dc.Get(), c.pszPath, -1, CRect(0, 0, c.nWidth, 12), DT_SINGLELINE,
                              nullptr, CGXDrawingAndFormatting::kPathEllipsis);
        texts = dc.Texts();
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, c.pszShown);
        EXPECT_EQ(texts[0].args[0], 0) << "the shown end starts at the cell's left";
    }
    // Narrower than the dots: they are cut at the cell's edge.
    dc.Clear();
    pDF->DrawTextEllipsis(dc.Get(), "/a/b.html", -1, CRect(0, 0, 8, 12), DT_SINGLELINE, nullptr,
                          CGXDrawingAndFormatting::kPathEllipsis);
    bool clipped = false;
    for (const RecordedCall& call : *GetRecordedCalls(dc.Get()->GetSafeHdc()))
        clipped = clipped || call.name == "IntersectClipRect";
    EXPECT_TRUE(clipped);
}

TEST_F(GridDrawTest, RotatedTextTakesAnyAngleModuloAFullTurn)
{
    TextDC dc(10);
    CGXDrawRotatedTextImp imp;
    const CRect rect(10, 10, 110, 60);
    const auto startOf = [&](LONG nTenths) {
        dc.Clear();
        imp.DrawRotatedText(dc.Get(), "abc", -1, rect, 0, nTenths, nullptr);
        const auto texts = dc.Texts();
        return texts.empty() ? std::vector<long long>{} : std::vector<long long>{texts[0].args[0], texts[0].args[1]};
    };
    EXPECT_EQ(startOf(3600), startOf(0));
    EXPECT_EQ(startOf(7200 + 450), startOf(450));
    EXPECT_EQ(startOf(-900), startOf(2700));
    EXPECT_EQ(startOf(-4500), startOf(2700));
    EXPECT_FALSE(startOf(0).empty());
}

TEST_F(GridDrawTest, ChoiceListsSplitSearchAndSort)
{
    CString text = "a\rb", line;
    EXPECT_EQ(TakeFirstLine(text, line), 1);
    EXPECT_STREQ(line, "a");
    EXPECT_STREQ(text, "b");
    text = "no breaks";
    EXPECT_EQ(TakeFirstLine(text, line), -1);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_STREQ(line, "no breaks");

    char field[8];
    GetTabField("one\ttwo\tthree", 2, field, 4);
    EXPECT_STREQ(field, "thre");
    GetTabField("one", 3, field, 7);
    EXPECT_STREQ(field, "");

    CString found;
    EXPECT_EQ(FindChoiceListEntry("gr", 0, "Apple\nGreen tea\nGrey", FALSE, found, FALSE), 1);
    EXPECT_STREQ(found, "Green tea");
    EXPECT_EQ(FindChoiceListEntry("gr", 0, "Apple\nGreen", FALSE, found, TRUE), -1);
    EXPECT_TRUE(found.IsEmpty());
    EXPECT_EQ(FindChoiceListEntry("b", 1, "head\n1\ta\n2\tB", TRUE, found, FALSE), 1);

    CString list = "Title\npear\nApple\nfig";
    SortChoiceList(list, 0, TRUE);
    EXPECT_STREQ(list, "Title\r\nApple\r\nfig\r\npear\r\n");
}

TEST_F(GridDrawTest, SystemColourBitmapsReadTheirTableWhereTheHeaderSaysAndNoFurther)
{
    // An 8-bit DIB with a 124-byte header and two used colours: black and white.
    const int w = 4, h = 2;
    std::vector<BYTE> dib(124 + 2 * 4 + 4 * h, 0);
    BITMAPINFOHEADER header{};
    header.biSize = 124;
    header.biWidth = w;
    header.biHeight = h;
    header.biPlanes = 1;
    header.biBitCount = 8;
    header.biClrUsed = 2;
    std::memcpy(dib.data(), &header, sizeof(header));
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(dib.data() + 124);
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{255, 255, 255, 0};
    BYTE* bits = dib.data() + 124 + 8;
    bits[0] = 0; // bottom-left pixel black, the rest white
    for (int i = 1; i < 4 * h; ++i)
        bits[i] = 1;
    EXPECT_EQ(GetDIBColorCount(&header), 2);
    CBitmap bitmap;
    ASSERT_TRUE(LoadSysColorBitmapFromDib(&bitmap, dib.data(), dib.size()));
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    EXPECT_EQ(dc.GetPixel(0, 1), GetSysColor(COLOR_BTNTEXT));
    EXPECT_EQ(dc.GetPixel(2, 0), GetSysColor(COLOR_BTNHIGHLIGHT));
    dc.SelectObject(pOld);

    // A table longer than the data, or more colours than the depth allows: refused.
    header.biClrUsed = 300;
    std::memcpy(dib.data(), &header, sizeof(header));
    CBitmap refused;
    EXPECT_FALSE(LoadSysColorBitmapFromDib(&refused, dib.data(), dib.size()));
    header.biClrUsed = 2;
    std::memcpy(dib.data(), &header, sizeof(header));
    EXPECT_FALSE(LoadSysColorBitmapFromDib(&refused, dib.data(), dib.size() - 3));
}

TEST_F(GridDrawTest, BitmapResourcesAreCopiedAndPackedDibsLoadInSystemColours)
{
    // A 1-bit 2 x 1 DIB with a 40-byte header: black on the left, light grey on the right.
    static std::vector<BYTE> dib(40 + 2 * 4 + 4, 0);
    BITMAPINFOHEADER header{};
    header.biSize = 40;
    header.biWidth = 2;
    header.biHeight = 1;
    header.biPlanes = 1;
    header.biBitCount = 1;
    std::memcpy(dib.data(), &header, sizeof(header));
    RGBQUAD* table = reinterpret_cast<RGBQUAD*>(dib.data() + 40);
    table[0] = RGBQUAD{0, 0, 0, 0};
    table[1] = RGBQUAD{192, 192, 192, 0};
    dib[48] = 0x40; // pixel 0 uses entry 0, pixel 1 entry 1
    static const ResourceEntry entries[] = {{RT_BITMAP, MAKEINTRESOURCE(7401), dib.data(), DWORD(dib.size())}};
    static const ResourceModuleTable module{"gridbitmaptest", entries, 1};
    HMODULE hModule = RegisterResourceModule(module);
    ASSERT_NE(hModule, nullptr);

    // The copy is the caller's own moveable block: writing to it leaves the resource alone.
    HGLOBAL hCopy = CopyBitmapResource(7401);
    ASSERT_NE(hCopy, nullptr);
    ASSERT_EQ(GlobalSize(hCopy), dib.size());
    auto* pCopy = static_cast<BYTE*>(GlobalLock(hCopy));
    ASSERT_NE(pCopy, nullptr);
    EXPECT_EQ(GlobalHandle(pCopy), hCopy); // moveable: the handle is not the address
    EXPECT_NE(static_cast<void*>(hCopy), static_cast<void*>(pCopy));
    EXPECT_EQ(std::memcmp(pCopy, dib.data(), dib.size()), 0);
    pCopy[0] = 0xEE;
    GlobalUnlock(hCopy);
    GlobalFree(hCopy);
    EXPECT_EQ(dib[0], 40);
    // Another module, or an id nobody has, gives nothing.
    EXPECT_EQ(CopyBitmapResourceFromModule(nullptr, 7401), nullptr);
    EXPECT_EQ(CopyBitmapResource(7499), nullptr);

    const INT indices[] = {COLOR_BTNTEXT, COLOR_BTNFACE};
    const COLORREF old[] = {GetSysColor(COLOR_BTNTEXT), GetSysColor(COLOR_BTNFACE)};
    const COLORREF scheme[] = {RGB(0, 0, 200), RGB(10, 200, 10)};
    SetSysColors(2, indices, scheme);
    CBitmap bitmap;
    const BOOL bLoaded = LoadSysColorBitmap(bitmap, 7401);
    SetSysColors(2, indices, old);
    ASSERT_TRUE(bLoaded);
    CDC dc;
    dc.CreateCompatibleDC(nullptr);
    CBitmap* pOld = dc.SelectObject(&bitmap);
    EXPECT_EQ(dc.GetPixel(0, 0), RGB(0, 0, 200));
    EXPECT_EQ(dc.GetPixel(1, 0), RGB(10, 200, 10));
    dc.SelectObject(pOld);
}

TEST_F(GridDrawTest, AnEllipsisNeverEndsInsideACharacterWithProportionalFonts)
{
    // With a real font, the first byte of a wide character shown alone (as its Windows-1252
    // letter) can be narrower than the character: shortening byte by byte would stop there.
    SetTestFontMode(false);
    TextDC dc(-13);
    const std::string text = "\xE2\x80\x94\xE2\x80\x94\xE2\x80\x94\xE2\x80\x94 \xE2\x80\x94";
    CDC* pDC = dc.Get();
    const std::string stray = "\xE2\x80\x94\xE2...";
    const int nStray = pDC->GetTextExtent(stray.c_str(), static_cast<int>(stray.size())).cx;
    const std::string whole = "\xE2\x80\x94\xE2\x80\x94...";
    const int nWhole = pDC->GetTextExtent(whole.c_str(), static_cast<int>(whole.size())).cx;
    ASSERT_LT(nStray, nWhole); // the case this guards against exists with this font
    CGXDrawingAndFormatting::GetInstance()->DrawTextEllipsis(pDC, text.c_str(), -1, CRect(0, 0, nStray, 20), DT_SINGLELINE, nullptr, 1);
    const auto texts = dc.Texts();
    ASSERT_EQ(texts.size(), 1u);
    EXPECT_TRUE(IsWholeUtf8(texts[0].text)) << texts[0].text;
    EXPECT_EQ(texts[0].text, "\xE2\x80\x94...");
}

TEST_F(GridDrawTest, ALongTextFitsOnOneLineAsItsWholeWidthSays)
{
    // Characters that take no width after a beginning that fits: whether a line or a word fits
    // is told by the whole text, however long, and a beginning measured alone ends at a whole
    // character (the first byte of "\xC3\xA9" alone shows as a wider letter).
    SetTestFontMode(false);
    TextDC dc(-13);
    CDC* pDC = dc.Get();
    const auto width = [&](const std::string& s) { return pDC->GetTextExtent(s.c_str(), static_cast<int>(s.size())).cx; };
    const std::string controls(3000, '\x01');
    ASSERT_EQ(width("ab" + controls), width("ab")); // the case this tries exists with this font
    ASSERT_GT(width("x \xC3"), width("x \xC3\xA9"));
    const std::string word = "x " + std::string(253, '\x01') + "\xC3\xA9";
    const struct {
        std::string text;
        int nWidth;
        UINT nFormat;
        size_t nFirstLine;
    } cases[] = {
        {"ab" + controls, width("ab"), DT_SINGLELINE, 2 + controls.size()},
        {"ab" + controls + "c", width("ab"), DT_SINGLELINE, 2 + controls.size()},
        {"ab" + controls + " c", width("ab"), DT_WORDBREAK, 2 + controls.size()},
        {word, width("x \xC3\xA9"), DT_WORDBREAK, word.size()},
        {word + controls, width("x \xC3\xA9"), DT_WORDBREAK, word.size() + controls.size()},
    };
    for (const auto& k : cases) {
        int starts[4], lengths[4];
        CRect rect(0, 0, k.nWidth - 1, 100);
        CGXDrawingAndFormatting::GetInstance()->CalcTextLines(pDC, k.text.c_str(), static_cast<int>(k.text.size()), rect, k.nFormat,
                                                              starts, lengths, 4);
        EXPECT_EQ(static_cast<size_t>(lengths[0]), k.nFirstLine) << k.text.size() << " bytes in " << k.nWidth;
    }
}
