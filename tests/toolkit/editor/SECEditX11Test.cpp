// Two read-only, line-numbered editor panes side by side on the X11 backend under Xvfb, showing
// a coloured page scrolled and selected: the screen shows what the headless backend draws for
// the same windows. With VOSTREL_EDITOR_SHOT set the panes use the real fonts and the screen is
// written to that file instead, for a person to look at.
#include "tests/toolkit/editor/EditWindowSupport.h"

#include "platform/backends/x11/X11Backend.h"
#include "tests/platform/win/XvfbServer.h"

#include <cairo.h>

#include <chrono>
#include <thread>

// Xlib last: its macros would break the headers above.
#include <X11/Xlib.h>

namespace {

const char* const kPage =
    "<!DOCTYPE html>\r\n"
    "<html lang=\"en\">\r\n"
    "<head>\r\n"
    "\t<meta charset=\"utf-8\">\r\n"
    "\t<meta name=\"keywords\" content=\"caf\xC3\xA9, menu, \xE6\x97\xA5\xE6\x9C\xAC\">\r\n"
    "\t<meta name=\"description\" content='Our caf\xE9 in the old town'>\r\n"
    "\t<title>The Corner Caf\xC3\xA9</title>\r\n"
    "\t<!-- styles moved to site.css\r\n"
    "\t     on the 3rd of May -->\r\n"
    "\t<link rel=\"stylesheet\" href=\"site.css\">\r\n"
    "</head>\r\n"
    "<body class=\"home\">\r\n"
    "\t<h1>Welcome</h1>\r\n"
    "\t<p>Open \"daily\" from <b>8</b> to <b>18</b>.</p>\r\n"
    "\t<table border=\"1\">\r\n"
    "\t\t<tr><td>Espresso</td><td>2.10</td></tr>\r\n"
    "\t\t<tr><td>Cappuccino</td><td>2.90</td></tr>\r\n"
    "\t</table>\r\n"
    "\t<!-- footer -->\r\n"
    "\t<p><a href=\"contact.html\">Contact</a></p>\r\n"
    "</body>\r\n"
    "</html>\r\n";

const char* const kKeywords =
    "[Keywords]\r\nhtml=1\r\nhead=1\r\nmeta=1\r\ntitle=1\r\nlink=1\r\nbody=1\r\nh1=1\r\np=1\r\nb=1\r\n"
    "table=1\r\ntr=1\r\ntd=1\r\na=1\r\nname=2\r\ncontent=2\r\nhref=2\r\nrel=2\r\nclass=2\r\nlang=2\r\n"
    "charset=2\r\nborder=2\r\n"
    "[Colors]\r\n1=0,0,160\r\n2=128,0,128\r\n";

// A pane of the preview: numbered lines, coloured with the profile's "Editor" settings.
class PreviewPane : public LineNumberEdit {
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

cairo_status_t EditorReadFromString(void* closure, unsigned char* data, unsigned int length)
{
    auto* source = static_cast<std::pair<const std::string*, size_t>*>(closure);
    if (source->second + length > source->first->size())
        return CAIRO_STATUS_READ_ERROR;
    std::memcpy(data, source->first->data() + source->second, length);
    source->second += length;
    return CAIRO_STATUS_SUCCESS;
}

// The X screen through xwd and convert, as a PNG's bytes; empty when they fail.
std::string ScreenPng(const std::string& display)
{
    const std::string command = "xwd -root -silent -display " + display + " | convert xwd:- png:-";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return {};
    std::string png;
    char buffer[65536];
    size_t got;
    while ((got = fread(buffer, 1, sizeof buffer, pipe)) > 0)
        png.append(buffer, got);
    if (pclose(pipe) != 0)
        return {};
    return png;
}

uint32_t EditorPixelAt(cairo_surface_t* s, int x, int y)
{
    const uint8_t* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
}

class SECEditX11Test : public ::testing::Test {
protected:
    void SetUp() override
    {
        const char* shot = std::getenv("VOSTREL_EDITOR_SHOT");
        const char* display = std::getenv("VOSTREL_EDITOR_DISPLAY");
        m_shot = shot != nullptr ? shot : "";
        if (display != nullptr) {
            m_display = display;
        } else {
            VOSTREL_REQUIRE(XvfbServer::Missing());
            m_display = XvfbServer::Shared()->DisplayName();
        }
        m_env = std::make_unique<ScopedEnv>("XDG_CONFIG_HOME", m_dir.File(""));
        m_profile = std::make_unique<CProfileStore>("EditX11Test");
        SECEditCtrl::s_pProfile = m_profile.get();
        m_dir.WriteFile("html.ini", kKeywords);
        m_dir.WriteFile("page.html", kPage);
        auto set = [this](const char* key, const char* value) { m_profile->WriteProfileString("Editor", key, value); };
        set("Chroma", "1");
        set("Keywords", m_dir.File("html.ini").c_str());
        set("Comment Start 1", "<!--");
        set("Comment End 1", "-->");
        set("Comment", "0,128,0");
        set("Quote", "160,0,0");
        set("Tab size", "4");
        set("Font name", "Courier New");
        set("Font size", "10");
    }
    void TearDown() override { SECEditCtrl::s_pProfile = nullptr; }

    // The frame with its two panes, the right one scrolled and with a selection.
    void Build(CWnd& frame, PreviewPane& left, PreviewPane& right)
    {
        ASSERT_TRUE(frame.CreateEx(0, nullptr, "Preview", WS_POPUP | WS_VISIBLE, 0, 0, 900, 330, nullptr, nullptr));
        ASSERT_TRUE(left.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(4, 4, 448, 326), &frame, 2001));
        ASSERT_TRUE(right.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(452, 4, 896, 326), &frame, 2002));
        for (PreviewPane* pane : {&left, &right}) {
            ASSERT_EQ(pane->InsertFile(m_dir.File("page.html").c_str()), 0);
            pane->GetDocument()->SetReadOnly(TRUE);
        }
        right.SetFocus();
        right.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        right.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
        right.SetCaret(right.GetDocument()->GetLine(5), 5);
        for (int i = 0; i < 3; ++i)
            right.Down(TRUE);
        right.WordRight(TRUE);
        frame.UpdateWindow();
        left.UpdateWindow();
        right.UpdateWindow();
    }

    ScopedTempDir m_dir;
    std::unique_ptr<ScopedEnv> m_env;
    std::unique_ptr<CProfileStore> m_profile;
    std::string m_display;
    std::string m_shot;
};

TEST_F(SECEditX11Test, TwoPanesOnTheScreenMatchTheHeadlessRendering)
{
    // The same panes on the headless backend first, as the reference.
    cairo_surface_t* reference = nullptr;
    if (m_shot.empty()) {
        HeadlessBackend& headless = HeadlessBackend::Install();
        SetTestFontMode(true);
        RegisterStandardControls();
        CWnd frame;
        PreviewPane left, right;
        Build(frame, left, right);
        headless.ProcessMessages();
        reference = headless.Capture(frame.m_hWnd);
        ASSERT_NE(reference, nullptr);
        left.DestroyWindow();
        right.DestroyWindow();
        frame.DestroyWindow();
        SetWindowBackend(nullptr);
    }

    std::string error;
    X11Backend* x11 = X11Backend::Install(m_display.c_str(), error);
    ASSERT_NE(x11, nullptr) << error;
    SetTestFontMode(m_shot.empty());
    RegisterStandardControls();
    CWnd frame;
    PreviewPane left, right;
    Build(frame, left, right);
    // Let the server show the window and take its pixels: pumped until the frame is viewable,
    // nothing waits to be painted and the server has caught up, twice in a row (a minute at most).
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    int quiet = 0;
    while (quiet < 2 && std::chrono::steady_clock::now() < until) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        XWindowAttributes attrs{};
        const bool shown = XGetWindowAttributes(x11->GetDisplay(), x11->XWindowOf(frame.m_hWnd), &attrs) &&
                           attrs.map_state == IsViewable;
        bool painted = shown;
        for (CWnd* w : {static_cast<CWnd*>(&frame), static_cast<CWnd*>(&left), static_cast<CWnd*>(&right)})
            painted = painted && !::GetUpdateRect(w->m_hWnd, nullptr, FALSE);
        if (painted) {
            x11->Sync();
            ++quiet;
        } else {
            quiet = 0;
        }
        x11->PumpEvents(quiet ? 0 : 5);
    }
    ASSERT_EQ(quiet, 2) << "the panes never settled on the screen";
    std::string png;
    png = ScreenPng(m_display);
    ASSERT_FALSE(png.empty()) << "xwd or convert failed";
    if (!m_shot.empty()) {
        FILE* out = std::fopen(m_shot.c_str(), "wb");
        ASSERT_NE(out, nullptr);
        std::fwrite(png.data(), 1, png.size(), out);
        std::fclose(out);
    } else {
        std::pair<const std::string*, size_t> source{&png, 0};
        cairo_surface_t* screen = cairo_image_surface_create_from_png_stream(EditorReadFromString, &source);
        ASSERT_EQ(cairo_surface_status(screen), CAIRO_STATUS_SUCCESS);
        CRect where;
        frame.GetWindowRect(&where);
        int differ = 0;
        for (int y = 0; y < where.Height(); ++y)
            for (int x = 0; x < where.Width(); ++x)
                if (EditorPixelAt(screen, where.left + x, where.top + y) != EditorPixelAt(reference, x, y))
                    ++differ;
        EXPECT_EQ(differ, 0) << "pixels differing between the screen and the headless rendering";
        // And the page is really there: keywords, attribute names, comments and quoted text in
        // their colours, and the selection inverted (keywords under it turn yellow).
        for (uint32_t colour : {0x0000A0u, 0x800080u, 0x008000u, 0xA00000u, 0xFFFF5Fu}) {
            int count = 0;
            for (int y = 0; y < where.Height(); ++y)
                for (int x = 0; x < where.Width(); ++x)
                    count += EditorPixelAt(reference, x, y) == colour ? 1 : 0;
            EXPECT_GT(count, 20) << std::hex << colour;
        }
        cairo_surface_destroy(screen);
        cairo_surface_destroy(reference);
    }
    left.DestroyWindow();
    right.DestroyWindow();
    frame.DestroyWindow();
    SetWindowBackend(nullptr);
    SetTestFontMode(false);
}

} // namespace
