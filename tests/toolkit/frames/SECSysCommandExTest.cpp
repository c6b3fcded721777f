// The system-command extension on real frames: requests moving a document frame between MDI
// child, docked and floating (default toggles, a side, maximized, floating at the former place),
// the caption menu's checks for each state, a request about no window, and the right double
// click on a caption sending the default command.
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/win/MenuApi.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ScopedTempDir.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"
#include "toolkit/frames/SECCaptionFeatures.h"
#include "toolkit/frames/SECSysCommandEx.h"
#include "toolkit/layout/SECWndListener.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

using namespace nsSysCommandEx;

namespace {

class CScxDoc : public CDocument {
    DECLARE_DYNCREATE(CScxDoc)
};
IMPLEMENT_DYNCREATE(CScxDoc, CDocument)

class CScxView : public CView {
    DECLARE_DYNCREATE(CScxView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CScxView, CView)

class SECSysCommandExTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env.emplace("XDG_CONFIG_HOME", dir.Path());
        app.emplace("SysCommandExTest");
        tmpl = new SECMultiDocTemplate(30800, RUNTIME_CLASS(CScxDoc), nullptr, RUNTIME_CLASS(CScxView));
        app->AddDocTemplate(tmpl);
        main = new SECMDIFrameWnd;
        ASSERT_TRUE(main->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600)));
        app->m_pMainWnd = main;
        main->EnableDocking(CBRS_ALIGN_ANY);
        doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
        ASSERT_NE(doc, nullptr);
        POSITION pos = doc->GetFirstViewPosition();
        view = doc->GetNextView(pos);
    }
    void TearDown() override
    {
        if (main && ::IsWindow(main->m_hWnd))
            main->DestroyWindow();
        app.reset();
        MSG quit;
        ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
        env.reset();
        AfxTest::TearDown();
    }
    CFrameWnd* Frame() const { return view->GetParentFrame(); }
    // Sends a request through a handler of the frame's own (a copy runs it, as the frames do).
    LRESULT Send(UINT code, Request request)
    {
        ScxMsgFilter handler(Frame());
        LRESULT result = 0;
        handler.FilterMessage(SysCommandExMessage(), code, reinterpret_cast<LPARAM>(&request), &result);
        return result;
    }
    LRESULT Command(int nCommand, DWORD flags = 0, int x = 0, int y = 0, int cx = 0, int cy = 0)
    {
        Request r;
        r.hWnd = Frame()->m_hWnd;
        r.nCommand = nCommand;
        r.dwFlags = flags;
        r.x = x, r.y = y, r.cx = cx, r.cy = cy;
        return Send(SCX_COMMAND, r);
    }
    // The checked items of the frame's caption menu, by command, submenus included.
    std::vector<UINT> CheckedItems()
    {
        Request r;
        r.hWnd = Frame()->m_hWnd;
        ScxMsgFilter handler(Frame());
        LRESULT result = 0;
        handler.FilterMessage(SysCommandExMessage(), SCX_GETMENU, reinterpret_cast<LPARAM>(&r), &result);
        std::vector<UINT> checked;
        if (!result || r.hMenu == nullptr)
            return {9999};
        std::function<void(HMENU)> walk = [&](HMENU m) {
            for (int i = 0; i < ::GetMenuItemCount(m); ++i) {
                if (HMENU sub = ::GetSubMenu(m, i)) {
                    walk(sub);
                    continue;
                }
                if (::GetMenuState(m, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED)
                    checked.push_back(::GetMenuItemID(m, i));
            }
        };
        walk(r.hMenu);
        ::DestroyMenu(r.hMenu);
        return checked;
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::optional<CWinApp> app;
    SECMultiDocTemplate* tmpl = nullptr;
    SECMDIFrameWnd* main = nullptr;
    CDocument* doc = nullptr;
    CView* view = nullptr;
};

}   // namespace

TEST_F(SECSysCommandExTest, DefaultCommandsToggleBetweenChildAndDockedAndTheMenuFollows)
{
    ASSERT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)));
    EXPECT_EQ(CheckedItems(), (std::vector<UINT>{SCX_MDICHILD, SCX_MDIRESTORED}));
    EXPECT_EQ(Command(-1), 1);   // reached, though the frame that took the request is gone
    ASSERT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECDockableFrame)));
    EXPECT_EQ(view->GetParentFrame(), Frame());

    EXPECT_EQ(Command(SCX_DOCKLEFT), 1);
    EXPECT_EQ(tmpl->GetDockSide(Frame()), 1);
    EXPECT_EQ(CheckedItems(), (std::vector<UINT>{SCX_DOCKED, SCX_DOCKLEFT}));

    EXPECT_EQ(Command(SCX_FLOATING), 1);
    EXPECT_EQ(tmpl->GetDockSide(Frame()), 4);
    EXPECT_EQ(CheckedItems(), (std::vector<UINT>{SCX_FLOATING}));

    EXPECT_EQ(Command(-1), 1);
    EXPECT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)));
}

TEST_F(SECSysCommandExTest, MaximizedFromDockedIgnoresAPlaceAndFloatingKeepsTheChildsPlace)
{
    ASSERT_EQ(Command(SCX_DOCKED), 1);
    ASSERT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECDockableFrame)));
    EXPECT_EQ(Command(SCX_MDIMAXIMIZED, SCX_HASPOS | SCX_HASSIZE, 5, 5, 50, 50), 1);
    ASSERT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)));
    EXPECT_TRUE(::IsZoomed(Frame()->m_hWnd));
    EXPECT_EQ(CheckedItems(), (std::vector<UINT>{SCX_MDICHILD, SCX_MDIMAXIMIZED}));

    ASSERT_EQ(Command(SCX_MDIRESTORED), 1);
    Frame()->SetWindowPos(nullptr, 40, 30, 300, 200, SWP_NOZORDER);
    CRect before;
    Frame()->GetWindowRect(&before);
    EXPECT_EQ(Command(SCX_FLOATING), 1);
    ASSERT_EQ(tmpl->GetDockSide(Frame()), 4);
    CRect floating;
    static_cast<SECDockableFrame*>(Frame())->GetFrameBar()->GetParentFrame()->GetWindowRect(&floating);
    EXPECT_EQ(floating.TopLeft(), before.TopLeft()) << "the former child's place";
}

TEST_F(SECSysCommandExTest, RequestsAboutNoWindowAndCaptionDoubleClicks)
{
    Request stray;
    stray.hWnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7777));
    EXPECT_EQ(Send(SCX_COMMAND, stray), 0);
    EXPECT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)));

    // A right double click on the caption sends the default command to its frame; a listener
    // stands in for the frame's own routing of the registered message.
    struct Router : SECWndListener {
        int requests = 0;
        BOOL DispatchHookedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override
        {
            if (msg != SysCommandExMessage())
                return FALSE;
            ++requests;
            EXPECT_EQ(reinterpret_cast<Request*>(lParam)->nCommand, -1);
            ScxMsgFilter handler(CWnd::FromHandle(m_hWnd));
            handler.FilterMessage(msg, wParam, lParam, pResult);
            SetMsgFlags(SEC_WNDLISTENER_HANDLED | SEC_WNDLISTENER_STOP);
            return TRUE;
        }
    };
    Router router;
    ASSERT_TRUE(router.Attach(Frame()));
    ScxCaptionNCRDBLClkFilter dblClk(Frame());
    LRESULT result = 0;
    EXPECT_EQ(dblClk.FilterMessage(WM_NCRBUTTONDBLCLK, HTMENU, 0, &result), 0) << "only on the caption";
    EXPECT_EQ(router.requests, 0);
    EXPECT_EQ(dblClk.FilterMessage(WM_NCRBUTTONDBLCLK, HTCAPTION, MAKELPARAM(20, 10), &result), 0xF);
    EXPECT_EQ(router.requests, 1);
    EXPECT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECDockableFrame)));
}

TEST_F(SECSysCommandExTest, FramesSwitchTheirCaptionFeaturesByMaskAndRouteThemThemselves)
{
    auto* child = dynamic_cast<SECMDIChildWnd*>(Frame());
    ASSERT_NE(child, nullptr);
    SECMsgFilter* root = child->GetFilterRoot();
    auto on = [&](UINT key) {
        SECMsgFilter* f = root->FindFilter(key, nullptr, -1);
        return f ? (f->m_bEnabled ? 1 : 0) : -1;   // -1: never made
    };
    {
        SECMDIChildWnd fresh;   // a frame object's tree starts empty; switching off makes nothing
        fresh.EnableCaptionButtons(0);
        EXPECT_EQ(fresh.GetFilterRoot()->GetChildCount(), 0);
    }
    child->EnableCaptionButtons(SECCaptionFeatures::kMaskOn);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyRequests), 1);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyButton), 1);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyDblClk), 1);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyContextMenu), 1);
    EXPECT_EQ(on(SEC_CAPBTN_CLOSE), 0) << "the standard buttons only keep their places";
    child->EnableCaptionButtons(SECCaptionFeatures::kMaskOn | SECCaptionFeatures::kMaskNoButton);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyButton), 0);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyDblClk), 1);
    child->EnableCaptionButtons(0);
    EXPECT_EQ(on(SECCaptionFeatures::kKeyList), 1) << "the list stays on";
    EXPECT_EQ(on(SECCaptionFeatures::kKeyDblClk), 0);

    // With the double click on, a right double click on the caption docks the child through
    // the frame's own routing.
    child->EnableCaptionButtons(SECCaptionFeatures::kMaskOn);
    CRect window;
    child->GetWindowRect(&window);
    child->SendMessage(WM_NCRBUTTONDBLCLK, HTCAPTION, MAKELPARAM(window.left + 40, window.top + 8));
    EXPECT_TRUE(Frame()->IsKindOf(RUNTIME_CLASS(SECDockableFrame)));

    // The main frame has its own features (a toolkit template exists) and paints its caption.
    EXPECT_NE(main->m_pFilterRoot->FindFilter(SECCaptionFeatures::kKeyRequests, nullptr, -1), nullptr);
    EXPECT_TRUE(main->IsCustomCaption());
}
