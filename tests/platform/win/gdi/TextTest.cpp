#include "platform/win/GdiTestUtil.h"

#include "platform/win/detail/TextLayout.h"

#include "tests/support/RequiredTools.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

const COLORREF kInk = RGB(0, 0, 0);
const COLORREF kPaper = RGB(255, 255, 255);

// Runs a test with the fixed-metric font and restores the previous mode.
class TestFontScope {
public:
    TestFontScope() : m_old(IsTestFontMode()) { SetTestFontMode(true); }
    ~TestFontScope() { SetTestFontMode(m_old); }

private:
    bool m_old;
};

// The faces of the list that fontconfig does not have installed, as "a, b (font faces not
// installed)"; "" when all are.
std::string FacesNotInstalled(const std::vector<const char*>& faces)
{
    std::string missing;
    for (const char* face : faces) {
        FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(face));
        FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
        FcDefaultSubstitute(pattern);
        FcResult outcome = FcResultNoMatch;
        FcPattern* match = FcFontMatch(nullptr, pattern, &outcome);
        FcChar8* family = nullptr;
        bool installed = match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                         FcStrCmpIgnoreCase(family, reinterpret_cast<const FcChar8*>(face)) == 0;
        if (match)
            FcPatternDestroy(match);
        FcPatternDestroy(pattern);
        if (!installed)
            missing += (missing.empty() ? "" : ", ") + std::string(face);
    }
    return missing.empty() ? missing : missing + " (font faces not installed)";
}

HFONT MakeFont(int height, const char* face = "MS Sans Serif", int weight = FW_NORMAL)
{
    return CreateFont(height, 0, 0, 0, weight, 0, 0, 0, 0, 0, 0, 0, 0, face);
}

} // namespace

TEST(TextDecodeTest, Utf8AndStrayBytes)
{
    std::vector<uint32_t> cps;
    std::vector<int> starts;
    DecodeText("a\xC3\xA9\xE2\x82\xAC", cps, starts);
    EXPECT_EQ(cps, (std::vector<uint32_t>{'a', 0xE9, 0x20AC}));
    EXPECT_EQ(starts, (std::vector<int>{0, 1, 3, 6}));
    // Latin-1 and Windows-1252 bytes that are not UTF-8 read as their characters.
    DecodeText("caf\xE9 \x80\x93\x92", cps, starts);
    EXPECT_EQ(cps, (std::vector<uint32_t>{'c', 'a', 'f', 0xE9, ' ', 0x20AC, 0x201C, 0x2019}));
    // Broken and overlong sequences, surrogates and a truncated tail.
    DecodeText("\xC0\xAF\xED\xA0\x80\xE2\x82", cps, starts);
    EXPECT_EQ(cps.size(), 7u);
    EXPECT_EQ(cps[0], 0xC0u);
    EXPECT_EQ(cps[1], 0xAFu);
    EXPECT_EQ(cps[5], 0xE2u);
    EXPECT_EQ(cps[6], 0x201Au);
}

TEST(TextTest, TestFontMetricsComeFromTheHeight)
{
    TestFontScope scope;
    TestCanvas c(100, 40);
    HFONT f = MakeFont(-20);
    SelectObject(c.dc(), f);
    TEXTMETRIC tm{};
    ASSERT_TRUE(GetTextMetrics(c.dc(), &tm));
    EXPECT_EQ(tm.tmHeight, 20);
    EXPECT_EQ(tm.tmAscent, 16);
    EXPECT_EQ(tm.tmDescent, 4);
    EXPECT_EQ(tm.tmAveCharWidth, 10);
    EXPECT_EQ(tm.tmMaxCharWidth, 10);
    EXPECT_EQ(tm.tmInternalLeading, 0);
    EXPECT_EQ(tm.tmPitchAndFamily & TMPF_FIXED_PITCH, 0);
    SIZE s;
    GetTextExtentPoint32(c.dc(), "Hello", 5, &s);
    EXPECT_EQ(s.cx, 50);
    EXPECT_EQ(s.cy, 20);
    // A character, not a byte, is one advance.
    GetTextExtentPoint32(c.dc(), "\xC3\xA9t\xE9", 4, &s);
    EXPECT_EQ(s.cx, 30);
    SetTextCharacterExtra(c.dc(), 2);
    GetTextExtentPoint32(c.dc(), "abc", 3, &s);
    EXPECT_EQ(s.cx, 36);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
    HFONT def = MakeFont(0);
    SelectObject(c.dc(), def);
    GetTextMetrics(c.dc(), &tm);
    EXPECT_EQ(tm.tmHeight, 16);
    EXPECT_EQ(tm.tmAveCharWidth, 8);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(def);
}

TEST(TextTest, TestFontGlyphsAreBoxes)
{
    TestFontScope scope;
    TestCanvas c(40, 20);
    HFONT f = MakeFont(10); // advance 5, ascent 8
    SelectObject(c.dc(), f);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOut(c.dc(), 2, 1, "a b", 3);
    EXPECT_EQ(c.Map(kInk, 0, 1, 18, 2), "..####......####..");
    EXPECT_EQ(c.Count(kInk), 2 * 4 * 8);
    EXPECT_EQ(c.At(2, 8), kInk);
    EXPECT_EQ(c.At(2, 9), kPaper) << "the box stops at the baseline";
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, AlignmentAndCurrentPosition)
{
    TestFontScope scope;
    TestCanvas c(60, 30);
    HFONT f = MakeFont(10);
    SelectObject(c.dc(), f);
    SetBkMode(c.dc(), TRANSPARENT);
    SetTextAlign(c.dc(), TA_RIGHT | TA_BASELINE);
    TextOut(c.dc(), 30, 20, "ab", 2);
    // Right-aligned: the text ends at 30; baseline at 20, so boxes fill rows 12..19.
    EXPECT_EQ(c.At(20, 12), kInk);
    EXPECT_EQ(c.At(20, 11), kPaper);
    EXPECT_EQ(c.At(28, 19), kInk);
    EXPECT_EQ(c.At(29, 19), kPaper);
    EXPECT_EQ(c.At(19, 15), kPaper);
    c.Clear(kPaper);
    SetTextAlign(c.dc(), TA_UPDATECP);
    MoveToEx(c.dc(), 5, 0, nullptr);
    TextOut(c.dc(), 0, 0, "ab", 2);
    TextOut(c.dc(), 0, 0, "c", 1);
    POINT p;
    GetCurrentPositionEx(c.dc(), &p);
    EXPECT_EQ(p.x, 20);
    EXPECT_EQ(c.At(15, 0), kInk);
    SetTextAlign(c.dc(), TA_LEFT | TA_TOP);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, EmptyOpaqueTextFillsTheRectangle)
{
    TestCanvas c(10, 10);
    SetBkColor(c.dc(), RGB(1, 2, 3));
    SetBkMode(c.dc(), TRANSPARENT);
    RECT r{2, 3, 6, 5};
    ExtTextOut(c.dc(), 0, 0, ETO_OPAQUE, &r, "", 0, nullptr);
    EXPECT_EQ(c.Map(RGB(1, 2, 3), 0, 2, 8, 6), "........|..####..|..####..|........");
    EXPECT_EQ(c.Count(RGB(1, 2, 3)), 8);
}

TEST(TextTest, ClippedTextAndOpaqueBackground)
{
    TestFontScope scope;
    TestCanvas c(40, 20);
    HFONT f = MakeFont(10);
    SelectObject(c.dc(), f);
    SetBkColor(c.dc(), RGB(0, 0, 255));
    SetBkMode(c.dc(), OPAQUE);
    TextOut(c.dc(), 0, 0, "ab", 2);
    // The cell of each character is filled: the empty column and the descent rows.
    EXPECT_EQ(c.At(4, 0), RGB(0, 0, 255));
    EXPECT_EQ(c.At(0, 9), RGB(0, 0, 255));
    EXPECT_EQ(c.At(10, 0), kPaper);
    c.Clear(kPaper);
    SetBkMode(c.dc(), TRANSPARENT);
    RECT clip{0, 0, 7, 20};
    ExtTextOut(c.dc(), 0, 0, ETO_CLIPPED, &clip, "ab", 2, nullptr);
    EXPECT_EQ(c.Map(kInk, 0, 0, 10, 1), "####.##...");
    // lpDx spaces the characters.
    c.Clear(kPaper);
    INT dx[] = {8, 8};
    ExtTextOut(c.dc(), 0, 0, 0, nullptr, "ab", 2, dx);
    EXPECT_EQ(c.Map(kInk, 0, 0, 14, 1), "####....####..");
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, ExtentExPointCountsWholeCharacters)
{
    TestFontScope scope;
    TestCanvas c(10, 10);
    HFONT f = MakeFont(10);
    SelectObject(c.dc(), f);
    INT fit = -1;
    INT dx[5] = {};
    SIZE s;
    // "a", "é" (two bytes), "b", "c": extents 5, 10, 15, 20.
    GetTextExtentExPoint(c.dc(), "a\xC3\xA9" "bc", 5, 12, &fit, dx, &s);
    EXPECT_EQ(fit, 3);
    EXPECT_EQ(dx[0], 5);
    EXPECT_EQ(dx[1], 10);
    EXPECT_EQ(dx[2], 10);
    EXPECT_EQ(dx[3], 15);
    EXPECT_EQ(s.cx, 20);
    INT widths[3];
    GetCharWidth32(c.dc(), 'a', 'c', widths);
    EXPECT_EQ(widths[2], 5);
    ABC abc;
    GetCharABCWidths(c.dc(), 'x', 'x', &abc);
    EXPECT_EQ(abc.abcA + static_cast<int>(abc.abcB) + abc.abcC, 5);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, TabbedTextUsesStops)
{
    TestFontScope scope;
    TestCanvas c(10, 10);
    HFONT f = MakeFont(10);
    SelectObject(c.dc(), f);
    INT stops[] = {30};
    DWORD e = GetTabbedTextExtent(c.dc(), "ab\tc", 4, 1, stops);
    EXPECT_EQ(LOWORD(e), 35);
    EXPECT_EQ(HIWORD(e), 10);
    // Without stops, tabs go every eight average characters.
    e = GetTabbedTextExtent(c.dc(), "a\tb", 3, 0, nullptr);
    EXPECT_EQ(LOWORD(e), 45);
    INT list[] = {12, 20};
    e = GetTabbedTextExtent(c.dc(), "a\tb\tc", 5, 2, list);
    EXPECT_EQ(LOWORD(e), 25);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, FaceNamesAndMetricsOfInstalledFonts)
{
    TestFontScope scope;
    SetTestFontMode(false);
    TestCanvas c(200, 40);
    HFONT sans = MakeFont(-13, "Arial");
    HFONT mono = MakeFont(-13, "Courier New");
    HFONT serif = MakeFont(20, "Times New Roman");
    char face[LF_FACESIZE];
    SelectObject(c.dc(), sans);
    GetTextFace(c.dc(), sizeof(face), face);
    EXPECT_STREQ(face, "Arial");
    TEXTMETRIC tm{};
    GetTextMetrics(c.dc(), &tm);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_GE(tm.tmHeight, 13);
    EXPECT_LE(tm.tmHeight, 17);
    EXPECT_EQ(tm.tmHeight - tm.tmInternalLeading, 13) << "a negative height is the character height";
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH) << "the bit means variable pitch";
    // Extents agree with the sum of the character widths.
    SIZE s;
    GetTextExtentPoint32(c.dc(), "Wall", 4, &s);
    INT w[4];
    int sum = 0;
    for (int i = 0; i < 4; ++i) {
        GetCharWidth32(c.dc(), "Wall"[i], "Wall"[i], &w[i]);
        sum += w[i];
    }
    EXPECT_EQ(s.cx, sum);
    EXPECT_EQ(s.cy, tm.tmHeight);
    SIZE i1, w1;
    GetTextExtentPoint32(c.dc(), "iiii", 4, &i1);
    GetTextExtentPoint32(c.dc(), "WWWW", 4, &w1);
    EXPECT_LT(i1.cx, w1.cx);
    EXPECT_GE(tm.tmMaxCharWidth, w1.cx / 4);

    SelectObject(c.dc(), mono);
    GetTextMetrics(c.dc(), &tm);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_FIXED_PITCH);
    GetTextExtentPoint32(c.dc(), "iiii", 4, &i1);
    GetTextExtentPoint32(c.dc(), "WWWW", 4, &w1);
    EXPECT_EQ(i1.cx, w1.cx);
    EXPECT_EQ(i1.cx, 4 * tm.tmAveCharWidth);

    SelectObject(c.dc(), serif);
    GetTextMetrics(c.dc(), &tm);
    EXPECT_EQ(tm.tmHeight, 20) << "a positive height is the cell height";
    // The same metrics twice: realised once and stable.
    TEXTMETRIC again{};
    GetTextMetrics(c.dc(), &again);
    EXPECT_EQ(std::memcmp(&tm, &again, sizeof(tm)), 0);

    // Text actually shows.
    SelectObject(c.dc(), sans);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOut(c.dc(), 2, 2, "Hello", 5);
    int inked = 0;
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 200; ++x) inked += c.At(x, y) != kPaper;
    EXPECT_GT(inked, 20);
    for (int y = 0; y < 40; ++y)
        for (int x = s.cx + 40; x < 200; ++x) ASSERT_EQ(c.At(x, y), kPaper);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(sans);
    DeleteObject(mono);
    DeleteObject(serif);
}

TEST(TextTest, RepeatedStringsHitTheCache)
{
    TestFontScope scope;
    SetTestFontMode(false);
    TestCanvas c(10, 10);
    HFONT f = MakeFont(-12, "Tahoma");
    SelectObject(c.dc(), f);
    SIZE s;
    GetTextExtentPoint32(c.dc(), "cached string 42", 16, &s);
    TextCacheStats before = GetTextCacheStats();
    SIZE again;
    for (int i = 0; i < 10; ++i) {
        GetTextExtentPoint32(c.dc(), "cached string 42", 16, &again);
    }
    TextCacheStats after = GetTextCacheStats();
    EXPECT_EQ(after.hits - before.hits, 10u);
    EXPECT_EQ(after.layouts, before.layouts);
    EXPECT_EQ(again.cx, s.cx);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, StrayBytesDrawLikeTheirCharacters)
{
    TestFontScope scope;
    SetTestFontMode(false);
    TestCanvas a(60, 30);
    TestCanvas b(60, 30);
    HFONT f = MakeFont(-14, "Arial");
    SelectObject(a.dc(), f);
    SelectObject(b.dc(), f);
    TextOut(a.dc(), 1, 1, "caf\xE9", 4);           // Latin-1 byte
    TextOut(b.dc(), 1, 1, "caf\xC3\xA9", 5);       // the same text in UTF-8
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 60; ++x) ASSERT_EQ(a.At(x, y), b.At(x, y)) << x << "," << y;
    SIZE sa, sb;
    GetTextExtentPoint32(a.dc(), "\x80", 1, &sa);
    GetTextExtentPoint32(a.dc(), "\xE2\x82\xAC", 3, &sb);
    EXPECT_EQ(sa.cx, sb.cx) << "0x80 is the euro sign";
    SelectObject(a.dc(), GetStockObject(SYSTEM_FONT));
    SelectObject(b.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, MappedFontsScaleWithTheMapping)
{
    TestFontScope scope;
    TestCanvas c(10, 10);
    SetMapMode(c.dc(), MM_ANISOTROPIC);
    SetWindowExtEx(c.dc(), 1, 1, nullptr);
    SetViewportExtEx(c.dc(), 2, 2, nullptr);
    HFONT f = MakeFont(-10);
    SelectObject(c.dc(), f);
    TEXTMETRIC tm{};
    GetTextMetrics(c.dc(), &tm);
    EXPECT_EQ(tm.tmHeight, 10) << "logical units";
    SIZE s;
    GetTextExtentPoint32(c.dc(), "ab", 2, &s);
    EXPECT_EQ(s.cx, 10);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, EscapementTurnsTheText)
{
    TestFontScope scope;
    TestCanvas c(40, 40);
    // 90 degrees: the text runs upwards from the reference point, its top towards the right.
    HFONT f = CreateFont(10, 0, 900, 900, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
    SelectObject(c.dc(), f);
    SetBkMode(c.dc(), TRANSPARENT);
    TextOut(c.dc(), 10, 30, "ab", 2);
    int above = 0, below = 0, left = 0;
    for (int y = 0; y < 40; ++y) {
        for (int x = 0; x < 40; ++x) {
            if (c.At(x, y) == kPaper) continue;
            if (y < 30) ++above; else ++below;
            if (x < 10) ++left;
        }
    }
    EXPECT_EQ(above, 2 * 4 * 8) << "two boxes of 4 x 8, turned";
    EXPECT_EQ(below, 0);
    EXPECT_EQ(left, 0);
    EXPECT_EQ(c.At(10, 29), kInk);
    EXPECT_EQ(c.At(17, 26), kInk);
    EXPECT_EQ(c.At(18, 26), kPaper);
    SelectObject(c.dc(), GetStockObject(SYSTEM_FONT));
    DeleteObject(f);
}

TEST(TextTest, GenericFamilyNamesGoThroughFontconfig)
{
    // Monospaced faces that fontconfig files without a spacing, named outright so that the
    // case does not hang on the face "Monospace" happens to give on this machine.
    VOSTREL_REQUIRE(FacesNotInstalled({"Noto Sans Mono", "WenQuanYi Micro Hei Mono", "WenQuanYi Micro Hei"}));
    TestFontScope scope;
    SetTestFontMode(false);
    TestCanvas c(10, 10);
    // The family bits of the realised font say which installed face was chosen.
    auto familyOf = [&](const char* name, BYTE pitchAndFamily) {
        LOGFONT lf{};
        lf.lfHeight = -13;
        lf.lfPitchAndFamily = pitchAndFamily;
        std::strncpy(lf.lfFaceName, name, LF_FACESIZE - 1);
        HFONT f = CreateFontIndirect(&lf);
        HGDIOBJ old = SelectObject(c.dc(), f);
        TEXTMETRIC tm{};
        GetTextMetrics(c.dc(), &tm);
        SelectObject(c.dc(), old);
        DeleteObject(f);
        return tm.tmPitchAndFamily & 0xF0;
    };
    const struct {
        const char* name;
        BYTE asked;
        int family;
    } cases[] = {
        {"Serif", 0, FF_ROMAN},
        {"serif", 0, FF_ROMAN},
        {"Monospace", 0, FF_MODERN},
        {"mono", 0, FF_MODERN},
        {"Sans", 0, FF_SWISS},
        {"sans-serif", 0, FF_SWISS},
        // The face's own advances make it modern, whatever fontconfig files of its spacing.
        {"Noto Sans Mono", 0, FF_MODERN},
        {"WenQuanYi Micro Hei Mono", 0, FF_MODERN},
        {"WenQuanYi Micro Hei", 0, FF_SWISS},
        {"WenQuanYi Micro Hei", FIXED_PITCH, FF_SWISS},
        // A name nobody knows still goes by the family the caller asked for.
        {"No Such Face 123", FF_ROMAN, FF_ROMAN},
        {"No Such Face 123", FIXED_PITCH, FF_MODERN},
        {"No Such Face 123", 0, FF_SWISS},
    };
    for (const auto& k : cases)
        EXPECT_EQ(familyOf(k.name, k.asked), k.family) << k.name << " asked as " << int(k.asked);
}

TEST(TextTest, WidthAskedForStretchesARealFont)
{
    TestFontScope scope;
    SetTestFontMode(false);
    TestCanvas c(300, 30);
    auto measure = [&](int width, TEXTMETRIC& tm, SIZE& text, int& inkRight) {
        HFONT f = CreateFont(-13, width, 0, 0, FW_NORMAL, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
        HGDIOBJ old = SelectObject(c.dc(), f);
        GetTextMetrics(c.dc(), &tm);
        GetTextExtentPoint32(c.dc(), "Wide text", 9, &text);
        c.Clear(RGB(255, 255, 255));
        SetBkMode(c.dc(), TRANSPARENT);
        TextOut(c.dc(), 0, 0, "Wide text", 9);
        inkRight = 0;
        for (int y = 0; y < 30; ++y)
            for (int x = 0; x < 300; ++x)
                if (c.At(x, y) != RGB(255, 255, 255))
                    inkRight = std::max(inkRight, x);
        SelectObject(c.dc(), old);
        DeleteObject(f);
    };
    TEXTMETRIC natural{}, wide{}, narrow{};
    SIZE n{}, w{}, s{};
    int inkN = 0, inkW = 0, inkS = 0;
    measure(0, natural, n, inkN);
    measure(natural.tmAveCharWidth * 2, wide, w, inkW);
    measure(std::max(1, natural.tmAveCharWidth / 2), narrow, s, inkS);
    EXPECT_EQ(wide.tmAveCharWidth, natural.tmAveCharWidth * 2);
    EXPECT_EQ(wide.tmHeight, natural.tmHeight) << "the width leaves the height alone";
    EXPECT_NEAR(w.cx, 2 * n.cx, 9);   // rounding per character
    EXPECT_NEAR(s.cx, n.cx / 2, 9);
    // The glyphs are drawn stretched too, not just spaced out.
    EXPECT_NEAR(inkW, 2 * inkN, 10);
    EXPECT_LT(inkS, inkN * 2 / 3);
}
