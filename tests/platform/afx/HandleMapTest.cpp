// Handle maps and window life: temporary objects cleaned at idle, attaching, subclassing and
// giving a window back, a plug-in sharing a window, and objects deleted during their own
// messages (run under the address sanitizer, a touch after deletion fails the test).
#include "tests/platform/afx/AfxFixture.h"

#include <string>
#include <vector>

namespace {

std::vector<std::string> g_rawLog;

LRESULT CALLBACK RawProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_USER + 1)
        g_rawLog.push_back("raw " + std::to_string(wParam));
    return ::DefWindowProc(hwnd, message, wParam, lParam);
}

HWND MakeRaw(HWND parent)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASS wc{};
        wc.lpfnWndProc = RawProc;
        wc.lpszClassName = "AfxTestRaw";
        ::RegisterClass(&wc);
        registered = true;
    }
    return ::CreateWindowEx(0, "AfxTestRaw", "raw", WS_CHILD | WS_VISIBLE, 0, 0, 50, 50, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(55)), nullptr, nullptr);
}

class CSubclasser : public CWnd {
public:
    LRESULT OnUser(WPARAM w, LPARAM)
    {
        g_rawLog.push_back("object " + std::to_string(w));
        return Default();   // on to the window's own procedure
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSubclasser, CWnd)
    ON_MESSAGE(WM_USER + 1, &CSubclasser::OnUser)
END_MESSAGE_MAP()

// A plug-in: shares a window's handle without owning or subclassing it; the window hands it
// each message first.
class CPlugin : public CWnd {
public:
    explicit CPlugin(HWND hWnd) { m_hWnd = hWnd; }
    ~CPlugin() override { m_hWnd = nullptr; }
    BOOL HandlePluginMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
    {
        return OnWndMsg(message, wParam, lParam, pResult);
    }
    LRESULT OnUser(WPARAM w, LPARAM) { return static_cast<LRESULT>(w + 1); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPlugin, CWnd)
    ON_MESSAGE(WM_USER + 2, &CPlugin::OnUser)
END_MESSAGE_MAP()

class CHost : public CWnd {
public:
    CPlugin* plugin = nullptr;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        LRESULT result = 0;
        if (plugin && plugin->HandlePluginMessage(message, wParam, lParam, &result))
            return result;
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

// Deletes itself when its window goes, as frames and views do.
class CSelfDeleting : public CWnd {
public:
    explicit CSelfDeleting(int* deletions) : m_deletions(deletions) {}
    ~CSelfDeleting() override { ++*m_deletions; }
    void PostNcDestroy() override { delete this; }
    void OnLButtonDown(UINT, CPoint) { DestroyWindow(); }
    void OnClose() { DestroyWindow(); }
    int OnCreate(LPCREATESTRUCT) { return failCreate ? -1 : 0; }
    bool failCreate = false;
    DECLARE_MESSAGE_MAP()

private:
    int* m_deletions;
};

BEGIN_MESSAGE_MAP(CSelfDeleting, CWnd)
    ON_WM_LBUTTONDOWN()
    ON_WM_CLOSE()
    ON_WM_CREATE()
END_MESSAGE_MAP()

} // namespace

TEST_F(AfxTest, TemporaryObjectsAreSharedUntilIdleAndPermanentOnesWin)
{
    HWND raw = MakeRaw(top->m_hWnd);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    CWnd* temp = CWnd::FromHandle(raw);
    ASSERT_NE(temp, nullptr);
    EXPECT_EQ(temp->m_hWnd, raw);
    EXPECT_EQ(CWnd::FromHandle(raw), temp) << "one temporary object per handle";
    EXPECT_EQ(CWnd::FromHandle(nullptr), nullptr);
    EXPECT_EQ(CWnd::FromHandle(top->m_hWnd), top.get());
    CWnd::DeleteTempMap();   // the sanitizer checks the object is freed once
    EXPECT_TRUE(::IsWindow(raw)) << "a temporary object never destroys its window";

    CWnd owner;
    EXPECT_TRUE(owner.Attach(raw));
    EXPECT_EQ(CWnd::FromHandle(raw), &owner);
    CWnd second;
    EXPECT_FALSE(second.Attach(raw)) << "a window has one permanent object";
    EXPECT_EQ(owner.Detach(), raw);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    EXPECT_TRUE(::IsWindow(raw));

    // An object that owns its window takes it along when deleted.
    {
        CWnd attached;
        attached.Attach(raw);
    }
    EXPECT_FALSE(::IsWindow(raw));
}

TEST_F(AfxTest, SubclassingSeesMessagesFirstAndGivesTheWindowBack)
{
    HWND raw = MakeRaw(top->m_hWnd);
    g_rawLog.clear();
    CSubclasser object;
    ASSERT_TRUE(object.SubclassDlgItem(55, top.get()));
    EXPECT_EQ(object.m_hWnd, raw);
    ::SendMessage(raw, WM_USER + 1, 1, 0);
    EXPECT_EQ(object.UnsubclassWindow(), raw);
    ::SendMessage(raw, WM_USER + 1, 2, 0);
    EXPECT_EQ(g_rawLog, (std::vector<std::string>{"object 1", "raw 1", "raw 2"}));
    EXPECT_EQ(::GetWindowLongPtr(raw, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&RawProc));
    EXPECT_FALSE(object.SubclassDlgItem(56, top.get())) << "no such control";
    ::DestroyWindow(raw);
}

TEST_F(AfxTest, APluginSharesItsHostsWindowAndSeesMessagesFirst)
{
    CHost host;
    ASSERT_TRUE(host.Create(nullptr, "host", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), top.get(), 3));
    auto* plugin = new CPlugin(host.m_hWnd);
    host.plugin = plugin;
    EXPECT_EQ(host.SendMessage(WM_USER + 2, 41, 0), 42);
    EXPECT_EQ(CWnd::FromHandlePermanent(host.m_hWnd), &host) << "the plug-in does not take the handle map";
    host.plugin = nullptr;
    delete plugin;
    EXPECT_TRUE(::IsWindow(host.m_hWnd)) << "deleting a plug-in leaves the window alone";
    EXPECT_EQ(host.SendMessage(WM_USER + 2, 41, 0), 0);
}

TEST_F(AfxTest, AnObjectDeletedDuringItsOwnMessageIsNotTouchedAfterwards)
{
    int deletions = 0;
    auto* clicked = new CSelfDeleting(&deletions);
    ASSERT_TRUE(clicked->Create(nullptr, "c", WS_CHILD | WS_VISIBLE, CRect(0, 0, 50, 50), top.get(), 4));
    HWND hwnd = clicked->m_hWnd;
    backend->Click(1, At(hwnd, 5, 5));
    backend->ProcessMessages();
    EXPECT_EQ(deletions, 1);
    EXPECT_FALSE(::IsWindow(hwnd));
    EXPECT_EQ(CWnd::FromHandlePermanent(hwnd), nullptr);

    // Closed through a posted message, as the window manager's close arrives.
    auto* closed = new CSelfDeleting(&deletions);
    ASSERT_TRUE(closed->CreateEx(0, nullptr, "popup", WS_POPUP | WS_VISIBLE, 0, 0, 30, 30, top->m_hWnd, nullptr));
    closed->PostMessage(WM_CLOSE);
    backend->ProcessMessages();
    EXPECT_EQ(deletions, 2);

    // A window whose creation fails deletes its object once, and CreateEx says so.
    auto* failing = new CSelfDeleting(&deletions);
    failing->failCreate = true;
    EXPECT_FALSE(failing->Create(nullptr, "f", WS_CHILD, CRect(0, 0, 5, 5), top.get(), 5));
    EXPECT_EQ(deletions, 3);

    // Destroying the parent takes the children and their objects with it.
    auto* child = new CSelfDeleting(&deletions);
    ASSERT_TRUE(child->Create(nullptr, "child", WS_CHILD, CRect(0, 0, 5, 5), top.get(), 6));
    top.reset();
    EXPECT_EQ(deletions, 4);
}
