// A property sheet on the X11 backend under Xvfb: keys typed by another X client switch its
// page with Ctrl+Tab, choose an option with the arrow keys and confirm with Enter, which applies
// the pages; the screen shows, pixel for pixel, what the headless backend paints for the same
// keys.
#include "platform/afx/dlg/CDataExchange.h"
#include "platform/afx/dlg/CPropertySheet.h"
#include "platform/controls/Button.h"
#include "platform/controls/StandardControls.h"
#include "tests/platform/afx/data/DialogIds.h"

#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::Screenshot;
using screen_capture::PixelAt;

namespace {

class CShownBackupsPage : public CPropertyPage {
public:
    CShownBackupsPage() : CPropertyPage(IDD_PAGE_BACKUPS) {}
    int m_scheme = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override { DDX_Radio(pDX, IDC_NO_BACKUP, m_scheme); }
};

// The sheet with its pages, as the program holds them.
struct Settings {
    CPropertySheet sheet{"Project Settings"};
    CPropertyPage general{IDD_PAGE_GENERAL};
    CShownBackupsPage backups;
    Settings()
    {
        sheet.AddPage(&general);
        sheet.AddPage(&backups);
    }
};

// Runs messages as the application's loop does, each offered to PreTranslateMessage first,
// until the condition holds.
bool PumpApp(const std::function<bool()>& done, int ms = 60000)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    for (;;) {
        MSG msg;
        while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (CWnd::WalkPreTranslateTree(nullptr, &msg))
                continue;
            TranslateMessage(&msg);
            DispatchMessage(&msg);
        }
        if (done())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        GetWindowBackend().PumpEvents(5);
    }
}

using X11PropertySheetTest = X11Test;

} // namespace

TEST_F(X11PropertySheetTest, KeysSwitchPagesChooseAndApply)
{
    RegisterStandardControls();
    auto settings = std::make_unique<Settings>();
    CPropertySheet& sheet = settings->sheet;
    ASSERT_TRUE(sheet.Create(nullptr));
    HWND h = sheet.m_hWnd;
    HWND freeze = GetDlgItem(settings->general.m_hWnd, IDC_FREEZE);
    ASSERT_TRUE(PumpApp([&] { return GetFocus() == freeze; }));
    ASSERT_TRUE(SettleWith(PumpApp)) << "the sheet never showed";

    // Ctrl+Tab is the sheet's; the arrow keys move within the page's option group.
    SendCtrlKey(h, XK_Tab);
    ASSERT_TRUE(PumpApp([&] { return sheet.GetActiveIndex() == 1; }));
    HWND none = GetDlgItem(settings->backups.m_hWnd, IDC_NO_BACKUP);
    ASSERT_TRUE(PumpApp([&] { return GetFocus() == none; }));
    SendKey(h, XK_Down);
    HWND recycle = GetDlgItem(settings->backups.m_hWnd, IDC_RECYCLE);
    ASSERT_TRUE(PumpApp([&] { return IsDlgButtonChecked(settings->backups.m_hWnd, IDC_RECYCLE) == BST_CHECKED; }));
    EXPECT_EQ(GetFocus(), recycle);
    ASSERT_TRUE(SettleWith(PumpApp));
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    RECT frame;
    GetWindowRect(h, &frame);

    SendKey(h, XK_Return);
    ASSERT_TRUE(PumpApp([&] { return !IsWindow(h); })) << "OK ends a modeless sheet";
    EXPECT_EQ(settings->backups.m_scheme, 1);
    ASSERT_NE(shot, nullptr);

    // The same sheet and keys on the headless backend.
    HeadlessBackend& headless = HeadlessBackend::Install(SIZE{server->Width(), server->Height()});
    backend = nullptr;
    auto twin = std::make_unique<Settings>();
    ASSERT_TRUE(twin->sheet.Create(nullptr));
    twin->sheet.SetWindowPos(nullptr, frame.left, frame.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    HWND twinFreeze = GetDlgItem(twin->general.m_hWnd, IDC_FREEZE);
    ASSERT_TRUE(PumpApp([&] { return GetFocus() == twinFreeze; }));
    headless.KeyDown(VK_CONTROL);
    headless.Key(VK_TAB, "\t");
    headless.KeyUp(VK_CONTROL);
    ASSERT_TRUE(PumpApp([&] { return twin->sheet.GetActiveIndex() == 1; }));
    HWND twinNone = GetDlgItem(twin->backups.m_hWnd, IDC_NO_BACKUP);
    ASSERT_TRUE(PumpApp([&] { return GetFocus() == twinNone; }));
    headless.Key(VK_DOWN);
    ASSERT_TRUE(PumpApp([&] { return IsDlgButtonChecked(twin->backups.m_hWnd, IDC_RECYCLE) == BST_CHECKED; }));
    ASSERT_TRUE(PumpApp(NothingToPaint));
    cairo_surface_t* expected = headless.Capture(twin->sheet.m_hWnd);
    ASSERT_NE(expected, nullptr);
    int mismatches = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < frame.bottom - frame.top; ++y)
        for (int x = 0; x < frame.right - frame.left; ++x)
            if (PixelAt(expected, x, y) != PixelAt(shot, frame.left + x, frame.top + y) && !mismatches++) {
                firstX = x;
                firstY = y;
            }
    EXPECT_EQ(mismatches, 0) << "first at (" << firstX << ", " << firstY << ")";
    twin->sheet.DestroyWindow();
    cairo_surface_destroy(expected);
    cairo_surface_destroy(shot);
}
