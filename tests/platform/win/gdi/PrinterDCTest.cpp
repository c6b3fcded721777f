#include "platform/win/Gdi.h"
#include "support/PdfRaster.h"
#include "support/ScopedTempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include <sys/stat.h>

namespace {

HDC MakePrinter(const DEVMODE* mode = nullptr)
{
    char name[64];
    DWORD size = sizeof(name);
    if (!GetDefaultPrinter(name, &size)) {
        return nullptr;
    }
    return CreateDC(nullptr, name, nullptr, mode);
}

void FillBlack(HDC dc, int l, int t, int r, int b)
{
    RECT rc{l, t, r, b};
    FillRect(dc, &rc, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
}

} // namespace

TEST(PrinterDCTest, AnswersAsAPrinterAndMapsByItsResolution)
{
    char name[4];
    DWORD size = sizeof(name);
    EXPECT_FALSE(GetDefaultPrinter(name, &size));
    EXPECT_EQ(size, 9u);
    EXPECT_EQ(CreateDC(nullptr, "No such printer", nullptr, nullptr), nullptr);

    HDC dc = MakePrinter();
    ASSERT_NE(dc, nullptr);
    // Letter at 300 dpi with a quarter inch the printer cannot reach.
    EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 300);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSY), 300);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 2550);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 3300);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETX), 75);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALOFFSETY), 75);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 2400);
    EXPECT_EQ(GetDeviceCaps(dc, VERTRES), 3150);
    EXPECT_EQ(GetDeviceCaps(dc, HORZSIZE), 203);

    // Fixed mapping modes measure by the printer's dots, not the screen's.
    struct Case {
        int mode;
        POINT logical;
        POINT device;
    } cases[] = {
        {MM_LOENGLISH, {100, -200}, {300, 600}},  {MM_HIENGLISH, {1000, -1000}, {300, 300}},
        {MM_LOMETRIC, {254, -508}, {300, 600}},   {MM_HIMETRIC, {2540, -2540}, {300, 300}},
        {MM_TWIPS, {1440, -720}, {300, 150}},     {MM_TEXT, {17, 23}, {17, 23}},
    };
    for (const Case& c : cases) {
        SetMapMode(dc, c.mode);
        POINT p = c.logical;
        LPtoDP(dc, &p, 1);
        EXPECT_EQ(p.x, c.device.x) << c.mode;
        EXPECT_EQ(p.y, c.device.y) << c.mode;
    }
    // An isotropic mapping set up to fit the page keeps units square.
    SetMapMode(dc, MM_ISOTROPIC);
    SetWindowExtEx(dc, 1000, 1000, nullptr);
    SetViewportExtEx(dc, GetDeviceCaps(dc, HORZRES), GetDeviceCaps(dc, VERTRES), nullptr);
    POINT p{1000, 1000};
    LPtoDP(dc, &p, 1);
    EXPECT_EQ(p.x, 2400);
    EXPECT_EQ(p.y, 2400);
    DeleteDC(dc);

    DEVMODE mode{};
    mode.dmFields = DM_PAPERSIZE | DM_ORIENTATION | DM_PRINTQUALITY;
    mode.dmPaperSize = DMPAPER_A4;
    mode.dmOrientation = DMORIENT_LANDSCAPE;
    mode.dmPrintQuality = 600;
    dc = MakePrinter(&mode);
    ASSERT_NE(dc, nullptr);
    EXPECT_EQ(GetDeviceCaps(dc, LOGPIXELSX), 600);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALWIDTH), 7016);
    EXPECT_EQ(GetDeviceCaps(dc, PHYSICALHEIGHT), 4961);
    EXPECT_EQ(GetDeviceCaps(dc, HORZRES), 7016 - 300);
    DeleteDC(dc);

    // A screen device keeps answering as the screen.
    HDC memory = CreateCompatibleDC(nullptr);
    EXPECT_EQ(GetDeviceCaps(memory, TECHNOLOGY), DT_RASDISPLAY);
    EXPECT_EQ(GetDeviceCaps(memory, LOGPIXELSX), 96);
    DeleteDC(memory);
}

TEST(PrinterDCTest, PrintsLinesRectanglesAndTextThatPdftoppmShowsInPlace)
{
    ScopedTempDir dir;
    std::string file = dir.File("out.pdf");
    HDC dc = MakePrinter();
    ASSERT_NE(dc, nullptr);
    DOCINFO info{sizeof(DOCINFO), "Test document", file.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &info), 0);

    ASSERT_GT(StartPage(dc), 0);
    FillBlack(dc, 100, 100, 400, 300);
    HPEN pen = CreatePen(PS_SOLID, 6, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    MoveToEx(dc, 100, 500, nullptr);
    LineTo(dc, 1000, 500);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
    HFONT font = CreateFont(-80, 0, 0, 0, FW_BOLD, 0, 0, 0, 0, 0, 0, 0, 0, "Liberation Sans");
    HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkMode(dc, TRANSPARENT);
    SIZE extent{};
    GetTextExtentPoint32(dc, "Printed page", 12, &extent);
    TextOut(dc, 100, 700, "Printed page", 12);
    // A character no font has is its box of its code, in its own place after the X.
    const std::string unknown = "X\xF4\x8F\xBF\xBDY";
    SIZE x{}, xBox{};
    GetTextExtentPoint32(dc, "X", 1, &x);
    GetTextExtentPoint32(dc, unknown.c_str(), 5, &xBox);
    TextOut(dc, 100, 1000, unknown.c_str(), static_cast<int>(unknown.size()));
    TextOut(dc, 100, 1200, "X", 1);
    SelectObject(dc, oldFont);
    DeleteObject(font);
    // In a fixed mode: one inch square, two inches from the left and eight down.
    SetMapMode(dc, MM_LOENGLISH);
    Rectangle(dc, 200, -800, 300, -900);
    SetMapMode(dc, MM_TEXT);
    ASSERT_GT(EndPage(dc), 0);

    ASSERT_GT(StartPage(dc), 0);
    FillBlack(dc, 1000, 1000, 1200, 1100);
    // Inverted across the rectangle's right edge: what lay below decides each side.
    RECT inverted{1100, 1040, 1300, 1060};
    InvertRect(dc, &inverted);
    // A picture of 4 x 3 red pixels stretched over 300 x 225 dots.
    const uint32_t red[12] = {0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000,
                              0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000, 0xFF0000};
    HBITMAP bitmap = CreateBitmap(4, 3, 1, 32, red);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    StretchBlt(dc, 100, 1500, 300, 225, memory, 0, 0, 4, 3, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    // Red through a mask whose left half copies and whose right half keeps what lies below,
    // across the rectangle's right edge.
    std::vector<uint32_t> reds(20 * 20, 0xFF0000);
    bitmap = CreateBitmap(20, 20, 1, 32, reds.data());
    std::vector<BYTE> halves;
    for (int row = 0; row < 20; ++row)
        halves.insert(halves.end(), {0xFF, 0xC0, 0x00, 0x00});
    HBITMAP mask = CreateBitmap(20, 20, 1, 1, halves.data());
    oldBitmap = SelectObject(memory, bitmap);
    MaskBlt(dc, 1195, 1070, 20, 20, memory, 0, 0, mask, 0, 0, MAKEROP4(SRCCOPY, 0x00AA0029));
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteObject(mask);
    DeleteDC(memory);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);

    // The text is the PDF's own, in the font it was drawn in, and reads back as text; the
    // shapes are shapes: the only picture is the one drawn as a picture, at its own size, and
    // the part a raster operation touched.
    const std::string fonts = PdfToolOutput("pdffonts", "", file);
    EXPECT_NE(fonts.find("LiberationSans-Bold"), std::string::npos) << fonts;
    EXPECT_NE(fonts.find("TrueType"), std::string::npos) << fonts;
    EXPECT_NE(PdfToolOutput("pdftotext", "-f 1 -l 1", file, "-").find("Printed page"), std::string::npos);
    int pictures[3] = {0, 0, 0};
    bool redPicture = false;
    for (const PdfPicture& p : PdfPictures(file)) {
        ++pictures[std::min(p.page, 2)];
        redPicture = redPicture || (p.page == 2 && p.width == 4 && p.height == 3);
        EXPECT_LT(p.width, 1000) << "a picture of the whole page on page " << p.page;
    }
    EXPECT_EQ(pictures[1], 0) << "page 1 holds only lines, rectangles and text";
    EXPECT_TRUE(redPicture);

    // Rasterised at the printer's resolution, device (x, y) is page pixel (x + 75, y + 75).
    PdfPage page1(file, 1, 300);
    ASSERT_TRUE(page1.Valid());
    EXPECT_EQ(page1.Width(), 2550);
    EXPECT_EQ(page1.Height(), 3300);
    const int o = 75;
    EXPECT_EQ(page1.DarkIn(o + 102, o + 102, o + 398, o + 298), 296 * 196);
    EXPECT_EQ(page1.DarkIn(o + 90, o + 90, o + 98, o + 310), 0);
    EXPECT_EQ(page1.DarkIn(o + 402, o + 90, o + 420, o + 310), 0);
    EXPECT_TRUE(page1.IsDark(o + 500, o + 500));
    EXPECT_FALSE(page1.IsDark(o + 500, o + 490));
    EXPECT_FALSE(page1.IsDark(o + 500, o + 510));
    EXPECT_FALSE(page1.IsDark(o + 1010, o + 500));
    // The text: ink inside its extent, none beyond it.
    EXPECT_GT(extent.cx, 300);
    EXPECT_GT(page1.DarkIn(o + 100, o + 700, o + 100 + extent.cx, o + 700 + extent.cy), extent.cx * 8);
    EXPECT_EQ(page1.DarkIn(o + 110 + extent.cx, o + 700, o + 2000, o + 700 + extent.cy), 0);
    EXPECT_EQ(page1.DarkIn(o + 100, o + 1000, o + 100 + x.cx, o + 1000 + x.cy),
              page1.DarkIn(o + 100, o + 1200, o + 100 + x.cx, o + 1200 + x.cy))
        << "the box lies over the X";
    EXPECT_GT(page1.DarkIn(o + 100 + x.cx, o + 1000, o + 100 + xBox.cx, o + 1000 + x.cy), 50) << "no box";
    // The one-inch square's one-dot outline (the image may land a fraction of a dot away) and
    // its white inside.
    EXPECT_GT(page1.DarkIn(o + 599, o + 2500, o + 602, o + 2501), 0);
    EXPECT_GT(page1.DarkIn(o + 750, o + 2399, o + 751, o + 2402), 0);
    EXPECT_GT(page1.DarkIn(o + 750, o + 2698, o + 751, o + 2701), 0);
    EXPECT_EQ(page1.DarkIn(o + 603, o + 2403, o + 896, o + 2696), 0);
    EXPECT_EQ(page1.DarkIn(o + 1000, o + 1000, o + 1200, o + 1100), 0);

    PdfPage page2(file, 2, 300);
    ASSERT_TRUE(page2.Valid());
    EXPECT_EQ(page2.DarkIn(o + 1002, o + 1002, o + 1198, o + 1038), 196 * 36);
    EXPECT_EQ(page2.DarkIn(o + 1002, o + 1062, o + 1198, o + 1098), 196 * 36);
    EXPECT_EQ(page2.DarkIn(o + 1002, o + 1042, o + 1098, o + 1058), 96 * 16);
    EXPECT_EQ(page2.DarkIn(o + 1102, o + 1042, o + 1198, o + 1058), 0) << "black inverted is white";
    EXPECT_EQ(page2.DarkIn(o + 1202, o + 1042, o + 1298, o + 1058), 96 * 16) << "paper inverted is black";
    EXPECT_EQ(page2.DarkIn(o + 1216, o + 1062, o + 1298, o + 1098), 0);
    EXPECT_EQ(page2.At(o + 1197, o + 1080), 0xFF0000u);
    EXPECT_EQ(page2.At(o + 1203, o + 1080), 0xFF0000u);
    EXPECT_EQ(page2.DarkIn(o + 1206, o + 1071, o + 1214, o + 1089), 0) << "the mask kept the paper";
    EXPECT_EQ(page2.DarkIn(o + 1180, o + 1091, o + 1199, o + 1099), 19 * 8) << "and the rectangle below";
    EXPECT_EQ(page2.DarkIn(o + 100, o + 100, o + 400, o + 300), 0);
    EXPECT_EQ(page2.At(o + 102, o + 1502), 0xFF0000u);
    EXPECT_EQ(page2.At(o + 397, o + 1722), 0xFF0000u);
    EXPECT_EQ(page2.At(o + 250, o + 1730), 0xFFFFFFu);
    PdfPage page3(file, 3, 300);
    EXPECT_FALSE(page3.Valid());
}

// A picture of four colours keeps its sides on the page: as it is, mirrored by a negative
// width or height of the destination or of the source, and from a device-independent bitmap
// kept bottom row first.
TEST(PrinterDCTest, PicturesKeepTheirSidesOnThePage)
{
    ScopedTempDir dir;
    const std::string file = dir.File("sides.pdf");
    HDC dc = MakePrinter();
    ASSERT_NE(dc, nullptr);
    DOCINFO info{sizeof(DOCINFO), "Sides", file.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &info), 0);
    ASSERT_GT(StartPage(dc), 0);
    constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kYellow = 0xFFFF00;
    // Top row red, green; bottom row blue, yellow.
    const uint32_t picture[4] = {kRed, kGreen, kBlue, kYellow};
    HBITMAP bitmap = CreateBitmap(2, 2, 1, 32, picture);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
    // Each 200 dots square, a quadrant a colour.
    StretchBlt(dc, 100, 100, 200, 200, memory, 0, 0, 2, 2, SRCCOPY);
    StretchBlt(dc, 799, 100, -200, 200, memory, 0, 0, 2, 2, SRCCOPY);
    StretchBlt(dc, 1100, 299, 200, -200, memory, 0, 0, 2, 2, SRCCOPY);
    StretchBlt(dc, 100, 600, 200, 200, memory, 1, 1, -2, -2, SRCCOPY);
    SelectObject(memory, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(memory);
    // The same picture as a bottom-up bitmap: its first row in memory is its bottom one.
    BITMAPINFO bmi{};
    bmi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bmi.bmiHeader.biWidth = 2;
    bmi.bmiHeader.biHeight = 2;
    bmi.bmiHeader.biPlanes = 1;
    bmi.bmiHeader.biBitCount = 32;
    bmi.bmiHeader.biCompression = BI_RGB;
    const uint32_t bottomUp[4] = {kBlue, kYellow, kRed, kGreen};
    EXPECT_EQ(StretchDIBits(dc, 600, 600, 200, 200, 0, 0, 2, 2, bottomUp, &bmi, DIB_RGB_COLORS, SRCCOPY), 2);
    ASSERT_GT(EndPage(dc), 0);
    ASSERT_GT(EndDoc(dc), 0);
    DeleteDC(dc);

    PdfPage page(file, 1, 300);
    ASSERT_TRUE(page.Valid());
    // Device (x, y) is page pixel (x + 75, y + 75); the colours at the middles of the four
    // quadrants of the square at (x, y), read top left, top right, bottom left, bottom right.
    const auto quadrants = [&page](int x, int y) {
        std::vector<uint32_t> seen;
        for (int dy : {50, 150})
            for (int dx : {50, 150})
                seen.push_back(page.At(75 + x + dx, 75 + y + dy));
        return seen;
    };
    using Colours = std::vector<uint32_t>;
    EXPECT_EQ(quadrants(100, 100), (Colours{kRed, kGreen, kBlue, kYellow})) << "as it is";
    EXPECT_EQ(quadrants(600, 100), (Colours{kGreen, kRed, kYellow, kBlue})) << "mirrored left to right";
    EXPECT_EQ(quadrants(1100, 100), (Colours{kBlue, kYellow, kRed, kGreen})) << "mirrored top to bottom";
    EXPECT_EQ(quadrants(100, 600), (Colours{kYellow, kBlue, kGreen, kRed})) << "the source taken backwards both ways";
    EXPECT_EQ(quadrants(600, 600), (Colours{kRed, kGreen, kBlue, kYellow})) << "a bottom-up bitmap";
}

TEST(PrinterDCTest, OnlyAFinishedDocumentReplacesTheFile)
{
    ScopedTempDir dir;
    std::string file = dir.File("kept.pdf");
    dir.WriteFile("kept.pdf", "earlier");
    ASSERT_EQ(chmod(file.c_str(), 0640), 0);
    auto content = [&file] {
        std::ifstream in(file, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    };
    auto entries = [&dir] {
        return std::distance(std::filesystem::directory_iterator(dir.Path()), std::filesystem::directory_iterator());
    };

    HDC dc = MakePrinter();
    ASSERT_NE(dc, nullptr);
    // Out of order and without somewhere to write, nothing starts.
    EXPECT_EQ(StartPage(dc), SP_ERROR);
    EXPECT_EQ(EndPage(dc), SP_ERROR);
    EXPECT_EQ(EndDoc(dc), SP_ERROR);
    DOCINFO none{sizeof(DOCINFO), "x", nullptr, nullptr, 0};
    EXPECT_EQ(StartDoc(dc, &none), SP_ERROR);
    std::string missing = dir.File("no/such/folder.pdf");
    DOCINFO unwritable{sizeof(DOCINFO), "x", missing.c_str(), nullptr, 0};
    EXPECT_EQ(StartDoc(dc, &unwritable), SP_ERROR);

    DOCINFO info{sizeof(DOCINFO), "x", file.c_str(), nullptr, 0};
    ASSERT_GT(StartDoc(dc, &info), 0);
    EXPECT_EQ(StartDoc(dc, &info), SP_ERROR);
    ASSERT_GT(StartPage(dc), 0);
    FillBlack(dc, 0, 0, 50, 50);
    EXPECT_GT(AbortDoc(dc), 0);
    EXPECT_EQ(content(), "earlier");
    EXPECT_EQ(entries(), 1);

    // Deleting the device in the middle of a document is an abort too.
    ASSERT_GT(StartDoc(dc, &info), 0);
    ASSERT_GT(StartPage(dc), 0);
    DeleteDC(dc);
    EXPECT_EQ(content(), "earlier");
    EXPECT_EQ(entries(), 1);

    // EndDoc closes an open page and puts the document in place, keeping the file's mode.
    dc = MakePrinter();
    ASSERT_GT(StartDoc(dc, &info), 0);
    ASSERT_GT(StartPage(dc), 0);
    FillBlack(dc, 0, 0, 50, 50);
    ASSERT_GT(EndDoc(dc), 0);
    EXPECT_EQ(content().substr(0, 5), "%PDF-");
    EXPECT_EQ(entries(), 1);
    struct stat st {};
    ASSERT_EQ(stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    PdfPage page(file, 1, 300);
    ASSERT_TRUE(page.Valid());
    EXPECT_EQ(page.DarkIn(75, 75, 125, 125), 2500);
    DeleteDC(dc);
}
