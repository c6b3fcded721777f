// A resizable window with two text panes split by the layout splitter on the X11 backend under
// Xvfb: the bar shows its raised edges between the panes, and a size change of the window
// reaches the panes through the listener.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/controls/EditDefs.h"
#include "platform/controls/StandardControls.h"
#include "toolkit/layout/SECLayoutFactory.h"
#include "toolkit/layout/SECLayoutSplitter.h"
// The X11 headers come last: their macros clash with names above.
#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using X11LayoutSplitterTest = X11Test;
using screen_capture::PixelAt;

TEST_F(X11LayoutSplitterTest, TheBarShowsBetweenThePanesAndFollowsTheWindowSize)
{
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, nullptr, "Preview", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 506, 300, nullptr, nullptr));
    CRect client;
    host.GetClientRect(&client);
    CWnd left, right;
    const DWORD editStyle = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY;
    ASSERT_TRUE(left.CreateEx(WS_EX_CLIENTEDGE, "EDIT", "<html>\r\n<head>\r\n<title>Old page</title>", editStyle,
                              0, 0, 10, 10, host.m_hWnd, nullptr));
    ASSERT_TRUE(right.CreateEx(WS_EX_CLIENTEDGE, "EDIT",
                               "<html>\r\n<head>\r\n<meta name=\"keywords\" content=\"new\">\r\n<title>New page</title>",
                               editStyle, 0, 0, 10, 10, host.m_hWnd, nullptr));

    SECLayoutFactory factory;
    SECClassFactory_T<SECLayoutNodeSplitter, SECLayoutNode> splitterFactory;
    auto* splitter = static_cast<SECLayoutNodeSplitter*>(factory.CreateNode(splitterFactory));
    ASSERT_TRUE(splitter->Create(&host, client, WS_CHILD | WS_VISIBLE, 0xEDEF, 0));
    ASSERT_TRUE(splitter->SetPane(0, 0, factory.CreateNodeWnd(&left, &host)));
    ASSERT_TRUE(splitter->SetPane(0, 1, factory.CreateNodeWnd(&right, &host)));
    splitter->SetSplitPos((client.Width() - SECSplitterBase::kBarThickness) / 2, 0);
    SECLayoutWndListener* listener = factory.CreateWndListener();
    ASSERT_TRUE(listener->AutoInit(splitter, &host, TRUE, TRUE, FALSE));
    ASSERT_TRUE(Settle()) << "the windows never settled";

    const CRect bar = splitter->GetVBarRect();
    CRect leftRect, rightRect;
    left.GetWindowRect(&leftRect);
    host.ScreenToClient(&leftRect);
    right.GetWindowRect(&rightRect);
    host.ScreenToClient(&rightRect);
    EXPECT_EQ(leftRect.right, bar.left);
    EXPECT_EQ(rightRect.left, bar.right);

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    cairo_surface_t* shot = screen_capture::Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/layout-splitter.png").c_str());
    auto at = [&](int x, int y) {
        POINT pt{x, y};
        ::ClientToScreen(host.m_hWnd, &pt);
        return PixelAt(shot, pt);
    };
    const int y = bar.CenterPoint().y;
    EXPECT_EQ(at(bar.left, y), ::GetSysColor(COLOR_BTNHIGHLIGHT) & 0xFFFFFF);
    EXPECT_EQ(at(bar.left + 2, y), ::GetSysColor(COLOR_BTNFACE) & 0xFFFFFF);
    EXPECT_EQ(at(bar.right - 2, y), ::GetSysColor(COLOR_BTNSHADOW) & 0xFFFFFF);
    EXPECT_EQ(at(bar.right - 1, y), ::GetSysColor(COLOR_WINDOWFRAME) & 0xFFFFFF);
    cairo_surface_destroy(shot);

    // Wider by 100 pixels: each pane takes half.
    host.SetWindowPos(nullptr, 0, 0, 606, 300, SWP_NOZORDER | SWP_NOMOVE);
    ASSERT_TRUE(Settle()) << "the wider host never settled";
    CRect wider;
    right.GetWindowRect(&wider);
    host.ScreenToClient(&wider);
    EXPECT_EQ(wider.Width(), rightRect.Width() + 50);
    EXPECT_EQ(splitter->GetVBarRect().left, bar.left + 50);
    if (keep) {
        backend->Sync();
        if (cairo_surface_t* after = screen_capture::Screenshot(server->DisplayName())) {
            cairo_surface_write_to_png(after, (std::string(keep) + "/layout-splitter-wider.png").c_str());
            cairo_surface_destroy(after);
        }
    }
    factory.DestroyAllListeners();
    host.DestroyWindow();
}
