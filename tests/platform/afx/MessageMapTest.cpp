// Message maps: typed arguments decoded in the entry, the search through base-class maps,
// registered messages, Default with the message being processed, and what no entry takes.
#include "tests/platform/afx/AfxFixture.h"

#include <stdexcept>
#include <string>
#include <vector>

namespace {

UINT g_registered = ::RegisterWindowMessage("AfxTest.Registered");

class CBaseView : public CWnd {
public:
    std::vector<std::string> log;

    void OnSize(UINT nType, int cx, int cy)
    {
        log.push_back("base size " + std::to_string(nType) + " " + std::to_string(cx) + "x" + std::to_string(cy));
    }
    void OnTimer(UINT_PTR id) { log.push_back("base timer " + std::to_string(id)); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBaseView, CWnd)
    ON_WM_SIZE()
    ON_WM_TIMER()
END_MESSAGE_MAP()

class CDerivedView : public CBaseView {
public:
    int OnCreate(LPCREATESTRUCT cs)
    {
        log.push_back(std::string("create ") + cs->lpszName);
        return CWnd::OnCreate(cs);
    }
    void OnTimer(UINT_PTR id) { log.push_back("derived timer " + std::to_string(id)); }
    void OnLButtonDown(UINT flags, CPoint pt)
    {
        log.push_back("down " + std::to_string(flags) + " " + std::to_string(pt.x) + "," + std::to_string(pt.y));
    }
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
    {
        log.push_back("key " + std::to_string(nChar) + " " + std::to_string(nRepCnt) + " " + std::to_string(nFlags));
    }
    void OnSetFocus(CWnd* pOld) { log.push_back(std::string("focus from ") + (pOld ? "window" : "nowhere")); }
    LRESULT OnPrivate(WPARAM w, LPARAM l) { return static_cast<LRESULT>(w * 10 + l); }
    LRESULT OnRegistered(WPARAM w, LPARAM) { return static_cast<LRESULT>(w + 1000); }
    LRESULT OnSetTextMessage(WPARAM, LPARAM l)
    {
        log.push_back(std::string("settext ") + reinterpret_cast<LPCSTR>(l));
        return Default();   // the text is still set, by the message being processed
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CDerivedView, CBaseView)
    ON_WM_CREATE()
    ON_WM_TIMER()
    ON_WM_LBUTTONDOWN()
    ON_WM_KEYDOWN()
    ON_WM_SETFOCUS()
    ON_MESSAGE(WM_USER + 5, &CDerivedView::OnPrivate)
    ON_REGISTERED_MESSAGE(g_registered, &CDerivedView::OnRegistered)
    ON_MESSAGE(WM_SETTEXT, &CDerivedView::OnSetTextMessage)
END_MESSAGE_MAP()

} // namespace

TEST_F(AfxTest, HandlersGetTypedArgumentsAndDerivedEntriesComeFirst)
{
    CDerivedView view;
    ASSERT_TRUE(view.Create(nullptr, "View", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 50), top.get(), 7));
    EXPECT_EQ(CWnd::FromHandlePermanent(view.m_hWnd), &view);
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.front(), "create View") << "the object sees WM_CREATE: it is attached before";
    view.log.clear();

    view.SendMessage(WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(120, 45));
    view.SendMessage(WM_TIMER, 3, 0);
    // Coordinates left of and above the window arrive as negative numbers.
    view.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON | MK_SHIFT, MAKELPARAM(static_cast<WORD>(-5), 7));
    view.SendMessage(WM_KEYDOWN, VK_RETURN, MAKELPARAM(2, 0x1C));
    EXPECT_EQ(view.SendMessage(WM_USER + 5, 4, 2), 42);
    EXPECT_EQ(view.SendMessage(g_registered, 5, 0), 1005);
    EXPECT_EQ(view.SendMessage(WM_USER + 6, 4, 2), 0) << "a message without an entry goes to the default";
    ASSERT_EQ(view.log.size(), 4u);
    EXPECT_EQ(view.log[0], "base size 2 120x45") << "an entry of the base class's map";
    EXPECT_EQ(view.log[1], "derived timer 3") << "the derived class's entry hides the base's";
    EXPECT_EQ(view.log[2], "down 5 -5,7");
    EXPECT_EQ(view.log[3], "key 13 2 28");

    view.log.clear();
    view.SetWindowText("Renamed");
    CString text;
    view.GetWindowText(text);
    EXPECT_EQ(text, "Renamed") << "Default passes on the message being processed";
    ASSERT_EQ(view.log.size(), 1u);
    EXPECT_EQ(view.log[0], "settext Renamed");

    view.log.clear();
    HWND other = ::CreateWindowEx(0, "Button", "b", WS_CHILD | WS_VISIBLE, 0, 60, 20, 20, top->m_hWnd, nullptr,
                                  nullptr, nullptr);
    ::SetFocus(other);
    view.SetFocus();
    ASSERT_FALSE(view.log.empty());
    EXPECT_EQ(view.log.back(), "focus from window") << "a window handle arrives as a window object";
    CWnd::DeleteTempMap();
}

namespace {

class CThrowingWnd : public CWnd {
public:
    int OnCreate(LPCREATESTRUCT) { throw std::runtime_error("no resources"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CThrowingWnd, CWnd)
    ON_WM_CREATE()
END_MESSAGE_MAP()

} // namespace

TEST_F(AfxTest, AnExceptionOutOfAHandlerStopsAtTheWindowProcedureAndFailsTheCreation)
{
    CThrowingWnd wnd;
    EXPECT_FALSE(wnd.Create(nullptr, "x", WS_CHILD, CRect(0, 0, 10, 10), top.get(), 1));
    EXPECT_EQ(wnd.m_hWnd, nullptr) << "the window was taken down and the object let go of it";
    EXPECT_EQ(::GetWindow(top->m_hWnd, GW_CHILD), nullptr);
}

namespace {

// The frame-level messages the toolkit's frames and bars map, each decoded once in its entry;
// a handler that calls the base gets the default's work done for the message being processed.
class CFrameMessages : public CWnd {
public:
    std::vector<std::string> log;
    void OnSysColorChange() { log.push_back("colours"); }
    void OnSettingChange(UINT uFlags, LPCTSTR section)
    {
        log.push_back("setting " + std::to_string(uFlags) + " " + (section ? section : "-"));
    }
    void OnCancelMode() { log.push_back("cancel"); }
    void OnActivateApp(BOOL active, DWORD thread)
    {
        log.push_back("app " + std::to_string(active) + " " + std::to_string(thread));
    }
    void OnEnterIdle(UINT why, CWnd* who) { log.push_back("idle " + std::to_string(why) + (who == this ? " self" : "")); }
    void OnNcLButtonDown(UINT hit, CPoint pt)
    {
        log.push_back("nc down " + std::to_string(hit) + " " + std::to_string(pt.x) + "," + std::to_string(pt.y));
    }
    void OnNcLButtonDblClk(UINT hit, CPoint) { log.push_back("nc double " + std::to_string(hit)); }
    void OnNcMouseMove(UINT hit, CPoint pt) { log.push_back("nc move " + std::to_string(hit) + " " + std::to_string(pt.y)); }
    void OnNcCalcSize(BOOL valid, NCCALCSIZE_PARAMS* params)
    {
        CWnd::OnNcCalcSize(valid, params);   // the default frame first
        params->rgrc[0].top += 3;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFrameMessages, CWnd)
    ON_WM_SYSCOLORCHANGE()
    ON_WM_SETTINGCHANGE()
    ON_WM_CANCELMODE()
    ON_WM_ACTIVATEAPP()
    ON_WM_ENTERIDLE()
    ON_WM_NCLBUTTONDOWN()
    ON_WM_NCLBUTTONDBLCLK()
    ON_WM_NCMOUSEMOVE()
    ON_WM_NCCALCSIZE()
END_MESSAGE_MAP()

} // namespace

TEST_F(AfxTest, FrameLevelMessagesReachTheirTypedHandlers)
{
    CFrameMessages wnd;
    ASSERT_TRUE(wnd.CreateEx(0, nullptr, "Frame", WS_POPUP | WS_BORDER | WS_VISIBLE, CRect(10, 10, 110, 90), nullptr, 0));
    wnd.SendMessage(WM_SYSCOLORCHANGE);
    wnd.SendMessage(WM_SETTINGCHANGE, 47, reinterpret_cast<LPARAM>("intl"));
    wnd.SendMessage(WM_CANCELMODE);
    wnd.SendMessage(WM_ACTIVATEAPP, TRUE, 1234);
    wnd.SendMessage(WM_ENTERIDLE, MSGF_MENU, reinterpret_cast<LPARAM>(wnd.m_hWnd));
    wnd.SendMessage(WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(-5, 300));
    wnd.SendMessage(WM_NCLBUTTONDBLCLK, HTLEFT, MAKELPARAM(12, 12));
    wnd.SendMessage(WM_NCMOUSEMOVE, HTBOTTOM, MAKELPARAM(40, -2));
    EXPECT_EQ(wnd.log, (std::vector<std::string>{"colours", "setting 47 intl", "cancel", "app 1 1234",
                                                  "idle " + std::to_string(MSGF_MENU) + " self",
                                                  "nc down " + std::to_string(HTCAPTION) + " -5,300",
                                                  "nc double " + std::to_string(HTLEFT),
                                                  "nc move " + std::to_string(HTBOTTOM) + " -2"}));
    // The frame's own border stays, with the handler's strip taken off inside it.
    CRect window, client;
    wnd.GetWindowRect(&window);
    wnd.SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    wnd.GetClientRect(&client);
    EXPECT_EQ(client.Height(), window.Height() - 2 - 3);
    EXPECT_EQ(client.Width(), window.Width() - 2);
    wnd.DestroyWindow();
}
