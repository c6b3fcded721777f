// A window tree painted on the X11 backend under Xvfb matches, pixel for pixel, the same tree
// painted on the headless backend: a screenshot of the X screen is taken with xwd.
#include <cstdio>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::ReadFromString;
using screen_capture::PixelAt;

namespace {

constexpr RECT kFrame{40, 30, 40 + 320, 30 + 220};

// The window tree: a frame with a bordered child of fills and lines, a child with text in the
// test font, and a child with shapes.
void PaintTree(HWND hwnd, HDC dc)
{
    const int id = GetDlgCtrlID(hwnd);
    RECT client;
    GetClientRect(hwnd, &client);
    if (id == 1) {
        HBRUSH red = CreateSolidBrush(RGB(200, 30, 40));
        RECT band{4, 4, client.right - 4, 30};
        FillRect(dc, &band, red);
        DeleteObject(red);
        HPEN blue = CreatePen(PS_SOLID, 1, RGB(0, 0, 255));
        HGDIOBJ old = SelectObject(dc, blue);
        for (int x = 0; x < client.right; x += 7) {
            MoveToEx(dc, x, 34, nullptr);
            LineTo(dc, client.right - x, client.bottom);
        }
        SelectObject(dc, old);
        DeleteObject(blue);
    } else if (id == 2) {
        SetTextColor(dc, RGB(0, 0, 0));
        SetBkColor(dc, RGB(255, 255, 200));
        SetBkMode(dc, OPAQUE);
        TextOut(dc, 3, 3, "Vostrel on X", 12);
        RECT r{3, 20, client.right - 3, client.bottom - 3};
        DrawText(dc, "Title, Keywords and Description", -1, &r, DT_WORDBREAK);
    } else if (id == 3) {
        HBRUSH green = CreateSolidBrush(RGB(20, 160, 60));
        HGDIOBJ old = SelectObject(dc, green);
        Ellipse(dc, 2, 2, client.right - 2, client.bottom - 2);
        SetROP2(dc, R2_NOT);
        Rectangle(dc, 10, 10, 40, 30);
        SelectObject(dc, old);
        DeleteObject(green);
    }
}

HWND MakeTree(const std::function<HWND(DWORD, int, int, int, int, HWND, DWORD)>& make)
{
    HWND frame = make(WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, kFrame.left, kFrame.top, kFrame.right - kFrame.left,
                      kFrame.bottom - kFrame.top, nullptr, 0);
    SetWindowLongPtr(make(WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 140, 120, frame, 0), GWLP_ID, 1);
    SetWindowLongPtr(make(WS_CHILD | WS_VISIBLE, 160, 10, 140, 90, frame, WS_EX_CLIENTEDGE), GWLP_ID, 2);
    SetWindowLongPtr(make(WS_CHILD | WS_VISIBLE, 160, 110, 120, 90, frame, 0), GWLP_ID, 3);
    ShowWindow(frame, SW_SHOW);
    UpdateWindow(frame);
    return frame;
}

// The X screen as a PNG, through xwd and convert.
cairo_surface_t* Screenshot(const std::string& display, std::string& error)
{
    const std::string command = "xwd -root -silent -display " + display + " | convert xwd:- png:-";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        error = "cannot run xwd";
        return nullptr;
    }
    std::string png;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        png.append(buffer, got);
    const int status = pclose(pipe);
    if (status != 0 || png.empty()) {
        error = "xwd | convert failed with status " + std::to_string(status);
        return nullptr;
    }
    std::pair<const std::string*, size_t> source{&png, 0};
    cairo_surface_t* surface = cairo_image_surface_create_from_png_stream(ReadFromString, &source);
    if (cairo_surface_status(surface) != CAIRO_STATUS_SUCCESS) {
        cairo_surface_destroy(surface);
        error = "the screenshot is not a PNG";
        return nullptr;
    }
    return surface;
}

class X11EndToEndTest : public X11Test {};

} // namespace

TEST_F(X11EndToEndTest, PaintedTreeOnTheScreenMatchesTheHeadlessRendering)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    Paint() = PaintTree;
    auto make = [&](DWORD style, int x, int y, int w, int h, HWND parent, DWORD ex) {
        return Make(style, x, y, w, h, parent, ex);
    };
    HWND frame = MakeTree(make);
    ASSERT_TRUE(IsWindow(frame));
    // Painted, exposed and presented: nothing left to paint, and the server has it all.
    ASSERT_TRUE(PumpUntil([&] { return Of(frame, WM_PAINT).size() >= 1 && !GetUpdateRect(frame, nullptr, FALSE); }));
    ASSERT_TRUE(Settle()) << "the windows never settled";

    std::string error;
    cairo_surface_t* shot = Screenshot(server->DisplayName(), error);
    ASSERT_NE(shot, nullptr) << error;
    ASSERT_EQ(cairo_image_surface_get_width(shot), server->Width());
    ASSERT_EQ(cairo_image_surface_get_height(shot), server->Height());

    // The same tree on the headless backend.
    for (HWND hwnd : created)
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    created.clear();
    HeadlessBackend& headless = HeadlessBackend::Install();
    backend = nullptr;
    HWND twin = MakeTree(make);
    headless.ProcessMessages();
    cairo_surface_t* expected = headless.Capture(twin);
    ASSERT_NE(expected, nullptr);
    ASSERT_EQ(cairo_image_surface_get_width(expected), kFrame.right - kFrame.left);

    int mismatches = 0;
    int firstX = -1;
    int firstY = -1;
    for (int y = 0; y < kFrame.bottom - kFrame.top; ++y)
        for (int x = 0; x < kFrame.right - kFrame.left; ++x)
            if (PixelAt(expected, x, y) != PixelAt(shot, kFrame.left + x, kFrame.top + y)) {
                if (!mismatches++) {
                    firstX = x;
                    firstY = y;
                }
            }
    EXPECT_EQ(mismatches, 0) << "first at (" << firstX << ", " << firstY << "): headless " << std::hex
                             << PixelAt(expected, firstX, firstY) << ", screen "
                             << PixelAt(shot, kFrame.left + firstX, kFrame.top + firstY);
    // Something was drawn at all: the band of the first child is red on both.
    EXPECT_EQ(PixelAt(expected, 1 + 10 + 1 + 4, 1 + 10 + 1 + 4), 0xC81E28u);
    // Outside the window the screen is the server's background, not the window.
    EXPECT_NE(PixelAt(shot, kFrame.right + 5, kFrame.top + 50), PixelAt(expected, 50, 50));

    for (HWND hwnd : created)
        if (IsWindow(hwnd))
            DestroyWindow(hwnd);
    created.clear();
    cairo_surface_destroy(expected);
    cairo_surface_destroy(shot);
    SetWindowBackend(nullptr);
    SetTestFontMode(false);
}
