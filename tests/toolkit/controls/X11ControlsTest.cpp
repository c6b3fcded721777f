// The toolkit controls on the X11 backend under Xvfb: a tree of a generated site, a report list
// with its header, a progress bar and an Output Area-like tab window in one window, and the screen showing them where they say
// they are; the wheel scrolling a list under the pointer. With VOSTREL_KEEP_SCREENSHOTS set to a folder, the real fonts are used and the
// screenshot is kept there.
#include "platform/controls/StandardControls.h"
#include "toolkit/controls/SEC3DTabControl.h"
#include "toolkit/controls/SECProgressCtrl.h"
#include "toolkit/controls/SECSplashWnd.h"
#include "toolkit/controls/SECTabWnd.h"
#include "toolkit/controls/SECTreeCtrl.h"
#include "platform/afx/dlg/CEdit.h"
#include "platform/controls/EditDefs.h"

#include <cstdlib>
#include <string>
#include <vector>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

uint32_t ControlsRgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

// A site like the ones the Project Area shows: folders of pages, some folders open.
void FillSite(SECTreeCtrl& tree)
{
    HTREEITEM site = tree.InsertItem("www.example.org");
    const char* folders[] = {"about", "products", "support", "news"};
    for (const char* f : folders) {
        HTREEITEM folder = tree.InsertItem(f, site);
        for (int i = 0; i < 3; ++i)
            tree.InsertItem((std::string(f) + "-" + std::to_string(i) + ".html").c_str(), folder);
        if (std::string(f) == "products") {
            HTREEITEM sub = tree.InsertItem("archive", folder);
            tree.InsertItem("old.html", sub);
        }
    }
    tree.InsertItem("index.html", site);
    tree.Expand(site, TVE_EXPAND);
    tree.Expand(tree.GetNextSiblingItem(tree.GetChildItem(site)), TVE_EXPAND);
    tree.SelectItem(tree.GetChildItem(tree.GetChildItem(site)));
}

}   // namespace

using X11ControlsTest = X11Test;

TEST_F(X11ControlsTest, SplashShowsItsPictureCentredUntilClosed)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    RegisterStandardControls();
    auto* splash = new SECSplashWnd(4242, 60000);   // the tests' 60 x 40 picture
    ASSERT_TRUE(splash->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
    const HWND hwnd = splash->m_hWnd;
    ASSERT_TRUE(Settle()) << "the windows never settled";
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"))
        cairo_surface_write_to_png(shot, (std::string(keep) + "/splash.png").c_str());
    RECT rc;
    ::GetWindowRect(hwnd, &rc);
    EXPECT_EQ(rc.right - rc.left, 60);
    EXPECT_EQ(PixelAt(shot, POINT{rc.left + 2, rc.top + 2}), 0x3050A0u);
    EXPECT_EQ(PixelAt(shot, POINT{rc.left + 15, rc.top + 15}), 0xF0C020u);
    cairo_surface_destroy(shot);
    splash->Close();   // deletes itself with its window
    EXPECT_FALSE(::IsWindow(hwnd));
}

// What the display (and a window manager, where one runs) reads of a splash: a plain one is an
// unmanaged, undecorated window centred on the screen that stays above a frame shown after it;
// a titled one is a managed window (a task bar lists it) with its title; both carry "above"
// while topmost, and lose it with SetTopMost(FALSE).
TEST_F(X11ControlsTest, SplashWindowsCarryTheirDisplayHintsAndStayAbove)
{
    RegisterStandardControls();
    auto property = [&](unsigned long window, const char* name) {
        Atom type = 0;
        int format = 0;
        unsigned long items = 0, after = 0;
        unsigned char* data = nullptr;
        std::vector<long> values;
        if (XGetWindowProperty(other, window, XInternAtom(other, name, False), 0, 64, False, AnyPropertyType, &type,
                               &format, &items, &after, &data) == Success && data) {
            if (format == 32)
                values.assign(reinterpret_cast<long*>(data), reinterpret_cast<long*>(data) + items);
            XFree(data);
        }
        return values;
    };
    const long above = static_cast<long>(XInternAtom(other, "_NET_WM_STATE_ABOVE", False));
    auto stackIndex = [&](unsigned long xid) {
        ::Window root = 0, parent = 0, *children = nullptr;
        unsigned int count = 0;
        int index = -1;
        if (XQueryTree(other, DefaultRootWindow(other), &root, &parent, &children, &count)) {
            for (unsigned int i = 0; i < count; ++i)
                if (children[i] == xid)
                    index = static_cast<int>(i);   // bottom to top
            XFree(children);
        }
        return index;
    };

    auto* plain = new SECSplashWnd(4242, 60000);   // the tests' 60 x 40 picture
    ASSERT_TRUE(plain->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
    const HWND plainHwnd = plain->m_hWnd;
    ASSERT_TRUE(Settle()) << "the windows never settled";
    const unsigned long xPlain = backend->XWindowOf(plainHwnd);
    XWindowAttributes attrs{};
    ASSERT_TRUE(XGetWindowAttributes(other, xPlain, &attrs));
    EXPECT_TRUE(attrs.override_redirect);
    EXPECT_EQ(attrs.map_state, IsViewable);
    EXPECT_EQ(attrs.x, (1024 - 60) / 2);
    EXPECT_EQ(attrs.y, (768 - 40) / 2);
    const std::vector<long> motif = property(xPlain, "_MOTIF_WM_HINTS");
    ASSERT_EQ(motif.size(), 5u);
    EXPECT_EQ(motif[2], 0) << "no decorations";
    EXPECT_EQ(property(xPlain, "_NET_WM_STATE"), std::vector<long>{above});

    // A frame shown over it afterwards, and activated, stays below it.
    HWND frame = Make(WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 250, 400, 300);
    SetActiveWindow(frame);
    UpdateWindow(frame);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    EXPECT_GT(stackIndex(xPlain), stackIndex(backend->XWindowOf(frame)));
    if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS")) {
        if (cairo_surface_t* shot = Screenshot(server->DisplayName())) {
            cairo_surface_write_to_png(shot, (std::string(keep) + "/splash-above.png").c_str());
            cairo_surface_destroy(shot);
        }
    }

    plain->SetTopMost(FALSE);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    EXPECT_TRUE(property(xPlain, "_NET_WM_STATE").empty());
    plain->Close();
    EXPECT_FALSE(::IsWindow(plainHwnd));

    auto* titled = new SECSplashWnd(4242, 60000, FALSE, TRUE);
    titled->SetTitle("Vostrel");
    ASSERT_TRUE(titled->Create(nullptr, WS_POPUP | WS_VISIBLE, 0));
    ASSERT_TRUE(Settle()) << "the windows never settled";
    const unsigned long xTitled = backend->XWindowOf(titled->m_hWnd);
    ASSERT_TRUE(XGetWindowAttributes(other, xTitled, &attrs));
    EXPECT_FALSE(attrs.override_redirect) << "a task bar lists managed windows only";
    EXPECT_EQ(attrs.map_state, IsViewable);
    EXPECT_EQ(attrs.x, (1024 - 60) / 2);
    EXPECT_EQ(attrs.y, (768 - 40) / 2);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(other, xTitled, &name));
    EXPECT_STREQ(name, "Vostrel");
    XFree(name);
    EXPECT_EQ(property(xTitled, "_NET_WM_STATE"), std::vector<long>{above});
    EXPECT_EQ(property(xTitled, "_MOTIF_WM_HINTS").at(2), 0);
    titled->Close();
}

TEST_F(X11ControlsTest, TreeListAndProgressBarShowOnTheScreen)
{
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Controls", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 640, 620, nullptr,
                               nullptr));
    SECTreeCtrl tree;
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT, 0,
                            CRect(8, 8, 228, 340), &frame, 1));
    FillSite(tree);
    tree.RecalcLayout();

    SECListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVXS_REPORT_VIEW | LVXS_HEIGHT_INDEPENDENT,
                            LVXS_EX_HGRIDLINES | LVXS_EX_VGRIDLINES | LVXS_EX_FULLROWSELECT, CRect(236, 8, 620, 340),
                            &frame, 2));
    list.AddColumn("Page", 0, 150, 0);
    list.AddColumn("Title", 0, 140, -1);
    list.AddColumn("Size", 1, 70, -1);
    for (int i = 0; i < 24; ++i) {
        list.InsertItem(i, ("page" + std::to_string(i) + ".html").c_str());
        LV_ITEM cell{LVIF_TEXT | LVIF_DI_SETITEM, i, 1, 0, 0, const_cast<LPSTR>("A page of the site"), 0, 0, 0};
        list.SetItem(cell, TRUE);
        const std::string size = std::to_string(1000 + 37 * i);
        cell.iSubItem = 2;
        cell.pszText = const_cast<LPSTR>(size.c_str());
        list.SetItem(cell, TRUE);
    }
    list.RecalcLayout();
    list.SetFocus();
    list.SelectFocusItem(2, TRUE);

    SECProgressCtrl progress;
    ASSERT_TRUE(progress.Create(WS_CHILD | WS_VISIBLE, CRect(8, 350, 620, 370), &frame, 3));
    progress.SetPos(42, FALSE);

    // An Output Area-like tab window: a sunken pane, an edit tab using the horizontal bar.
    CWnd pane;
    ASSERT_TRUE(pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "", WS_CHILD | WS_VISIBLE, CRect(8, 378, 620, 520), &frame, 4));
    SECTabWnd tabs;
    ASSERT_TRUE(tabs.Create(&pane, 0x50300012, 0xE900));
    CEdit results, errors;
    ASSERT_TRUE(results.Create(WS_CHILD | ES_MULTILINE | ES_AUTOHSCROLL, CRect(0, 0, 0, 0), &tabs, 0xEB00));
    ASSERT_TRUE(errors.Create(WS_CHILD | ES_MULTILINE, CRect(0, 0, 0, 0), &tabs, 0xEB01));
    results.SetWindowText("Scanning www.example.org\r\n12 pages, 3 without a description\r\nDone.");
    tabs.AddTab(&results, "Results");
    tabs.AddTab(&errors, "Errors");
    tabs.SetTabFlags(0, SECTWF_HSCROLL);
    tabs.ActivateTab(0);
    CRect paneClient;
    pane.GetClientRect(&paneClient);
    tabs.SetWindowPos(nullptr, 0, 0, paneClient.Width(), paneClient.Height(), SWP_NOZORDER);
    // The three-dimensional strip, which the program itself does not use.
    SEC3DTabControl raised;
    ASSERT_TRUE(raised.Create(WS_VISIBLE | SEC3DTAB_BOTTOM, CRect(8, 528, 620, 578), &frame, 5));
    raised.AddTab("General");
    raised.AddTab("Connection");
    raised.AddTab("Scanning");
    raised.ActivateTab(1);
    list.SetFocus();   // the list shows its selection while it has the focus
    ASSERT_TRUE(Settle()) << "the windows never settled";

    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/controls.png").c_str());
    auto screen = [](const CWnd& w, int x, int y) {
        POINT pt{x, y};
        ::ClientToScreen(w.m_hWnd, &pt);
        return pt;
    };
    // The bar: filled to 42 percent in dark blue, white beyond.
    EXPECT_EQ(PixelAt(shot, screen(progress, 3, 2)), 0x000080u);
    EXPECT_EQ(PixelAt(shot, screen(progress, 600, 2)), 0xFFFFFFu);
    // The header's face and the selected row across the whole list.
    EXPECT_EQ(PixelAt(shot, screen(list, 100, 8)), ControlsRgb(::GetSysColor(COLOR_BTNFACE)));
    RECT row;
    ASSERT_TRUE(list.GetCellRect(2, 2, row, 0));
    EXPECT_EQ(PixelAt(shot, screen(list, row.left + 3, row.top + 1)), ControlsRgb(::GetSysColor(COLOR_HIGHLIGHT)));
    // The open folder's button frame, in the shadow colour.
    RECT box;
    ASSERT_TRUE(tree.GetButtonRect(tree.GetRootItem(), box));
    EXPECT_EQ(PixelAt(shot, screen(tree, box.left, (box.top + box.bottom) / 2)), ControlsRgb(::GetSysColor(COLOR_BTNSHADOW)));
    // The tab strip's active tab opens into the client: no top line over it.
    auto* strip = static_cast<SECTabControl*>(tabs.GetTabControl());
    POINT tabPts[4];
    strip->GetTabPoints(0, tabPts);
    EXPECT_EQ(PixelAt(shot, screen(*strip, tabPts[0].x + 8, 0)), ControlsRgb(::GetSysColor(COLOR_WINDOW)));
    strip->GetTabPoints(1, tabPts);
    EXPECT_EQ(PixelAt(shot, screen(*strip, tabPts[0].x + 8, 0)), 0u);
    const RECT first = raised.Get3DTab(0)->m_rect;
    EXPECT_EQ(PixelAt(shot, screen(raised, 600, first.top - 1)), 0u);   // the edge's black line
    cairo_surface_destroy(shot);

    raised.DestroyWindow();
    tabs.DestroyWindow();
    pane.DestroyWindow();
    progress.DestroyWindow();
    list.DestroyWindow();
    tree.DestroyWindow();
    frame.DestroyWindow();
}

// The wheel turned by another client over a list that does not have the keys scrolls its rows
// three a notch, and tilted sideways scrolls its columns.
TEST_F(X11ControlsTest, TheWheelScrollsTheListUnderThePointer)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xdotool"}));
    RegisterStandardControls();
    CWnd frame;
    ASSERT_TRUE(frame.CreateEx(0, nullptr, "Wheel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 400, 300, nullptr, nullptr));
    SECListCtrl list;
    ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVXS_REPORT_VIEW | LVXS_HEIGHT_INDEPENDENT, 0,
                            CRect(8, 8, 300, 200), &frame, 1));
    list.AddColumn("Page", 0, 200, 0);
    list.AddColumn("Title", 0, 200, -1);
    for (int i = 0; i < 40; ++i)
        list.InsertItem(i, ("page" + std::to_string(i) + ".html").c_str());
    list.RecalcLayout();
    CEdit keys;
    ASSERT_TRUE(keys.Create(WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(8, 210, 300, 240), &frame, 2));
    keys.SetFocus();
    ASSERT_TRUE(Settle()) << "the windows never settled";
    ASSERT_EQ(list.GetTopIndex(), 0);

    CRect rect;
    list.GetWindowRect(&rect);
    const auto wheel = [&](int nButton, int nNotches) {
        const std::string command = "DISPLAY=" + server->DisplayName() + " timeout 20 xdotool mousemove " +
                                    std::to_string(rect.CenterPoint().x) + " " + std::to_string(rect.CenterPoint().y) +
                                    " click --repeat " + std::to_string(nNotches) + " --delay 40 " + std::to_string(nButton) +
                                    " >/dev/null 2>&1";
        return std::system(command.c_str()) == 0;
    };
    ASSERT_TRUE(wheel(5, 2));
    EXPECT_TRUE(PumpUntil([&] { return list.GetTopIndex() == 6; }, 10000)) << "row " << list.GetTopIndex() << " at the top";
    ASSERT_TRUE(wheel(7, 1));
    const auto offset = [&] {
        int x = 0, y = 0;
        list.GetScrollOrigin(x, y);
        return x;
    };
    EXPECT_TRUE(PumpUntil([&] { return offset() == 15; }, 10000)) << "the tilt scrolled the columns to " << offset();
    EXPECT_EQ(::GetFocus(), keys.GetSafeHwnd());
    frame.DestroyWindow();
}
