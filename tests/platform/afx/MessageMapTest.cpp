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
