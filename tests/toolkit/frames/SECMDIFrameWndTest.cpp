// The toolkit's MDI frame with documents: dock bars made once, frames opened docked round the
// sides in turn, bars floated as windows of the client in a cascade, a document frame taken
// from MDI child to docked to floating and back with the same view (and kept when no frame bar
// can be made), titles numbered per frame, the caption masks, the active docked frame, the
// menu plug-in slot emptied once, and bars whose windows are refused deleted once.
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CMenu.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/support/ScopedTempDir.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockContext.h"
#include "toolkit/frames/SECControlBarMDIChildWnd.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECFrameWnd.h"
#include "toolkit/frames/SECFrameBar.h"
#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"
#include "toolkit/menus/SECWndPlugIn.h"
#include "toolkit/frames/SECCaptionFeatures.h"
#include "toolkit/frames/SECSysCommandEx.h"
#include "platform/afx/AfxRes.h"
#include "platform/win/MenuApi.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "tests/support/DeleteCounter.h"
#include "tests/support/MenuDriver.h"
#include "tests/toolkit/data/ToolbarIds.h"
#include "tests/toolkit/RefusedCreation.h"
#include "tests/toolkit/docking/DockingFixture.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/frames/SECMenuBar.h"
#include "toolkit/menus/SECMenuBarFeature.h"
#include "toolkit/toolbars/SECCustomToolBar.h"
#include "toolkit/toolbars/SECToolBarManager.h"
#include <cairo.h>

#include <cstdlib>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

// The picture of a top-level window on the headless screen, read by screen coordinates.
class WindowImage {
public:
    WindowImage(HeadlessBackend& backend, HWND hwnd) : m_root(::GetAncestor(hwnd, GA_ROOT))
    {
        ::GetWindowRect(m_root, &m_rect);
        m_surface = backend.Capture(m_root);
        if (m_surface)
            cairo_surface_flush(m_surface);
    }
    ~WindowImage()
    {
        if (m_surface)
            cairo_surface_destroy(m_surface);
    }
    WindowImage(const WindowImage&) = delete;
    WindowImage& operator=(const WindowImage&) = delete;
    bool IsValid() const { return m_surface != nullptr; }
    uint32_t Pixel(int xScreen, int yScreen) const
    {
        const unsigned char* data = cairo_image_surface_get_data(m_surface);
        const int stride = cairo_image_surface_get_stride(m_surface);
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(yScreen - m_rect.top) * stride);
        return row[xScreen - m_rect.left] & 0xFFFFFFu;
    }
    void Keep(const char* name) const
    {
        if (const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS"); keep && m_surface)
            cairo_surface_write_to_png(m_surface, (std::string(keep) + "/" + name).c_str());
    }

private:
    HWND m_root;
    CRect m_rect;
    cairo_surface_t* m_surface = nullptr;
};

uint32_t FrameRgb(COLORREF c)
{
    return static_cast<uint32_t>((GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c));
}

std::string RectText(const RECT& r)
{
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + ")";
}

class CPageDoc : public CDocument {
    DECLARE_DYNCREATE(CPageDoc)
};
IMPLEMENT_DYNCREATE(CPageDoc, CDocument)

class CPageView : public CView {
    DECLARE_DYNCREATE(CPageView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CPageView, CView)

// A plug-in that counts what it sees and that it went.
class CountingPlugIn : public SECWndPlugIn {
public:
    explicit CountingPlugIn(int* gone) : m_gone(gone) {}
    ~CountingPlugIn() override { ++*m_gone; }
    BOOL OnWndMsg(UINT message, WPARAM, LPARAM, LRESULT*) override
    {
        if (message == WM_USER + 5)
            ++seen;
        return FALSE;
    }
    int seen = 0;
    int* m_gone;
};

class FramesTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        env.emplace("XDG_CONFIG_HOME", dir.Path());
        app.emplace("ToolkitFramesTest");
        tmpl = new SECMultiDocTemplate(30800, RUNTIME_CLASS(CPageDoc), nullptr, RUNTIME_CLASS(CPageView));
        app->AddDocTemplate(tmpl);
        main = new SECMDIFrameWnd;
        ASSERT_TRUE(main->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600)));
        app->m_pMainWnd = main;
        main->EnableDocking(CBRS_ALIGN_ANY);
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
    CView* FirstView(CDocument* doc)
    {
        POSITION pos = doc->GetFirstViewPosition();
        return pos ? doc->GetNextView(pos) : nullptr;
    }

    ScopedTempDir dir;
    std::optional<ScopedEnv> env;
    std::optional<CWinApp> app;
    SECMultiDocTemplate* tmpl = nullptr;
    SECMDIFrameWnd* main = nullptr;
};

} // namespace

TEST_F(FramesTest, DockBarsAreMadeOnceInTheirOrderAndFramesOpenDockedRoundTheSides)
{
    std::vector<UINT> ids;
    for (CControlBar* bar : main->m_listControlBars)
        ids.push_back(static_cast<UINT>(bar->GetDlgCtrlID()));
    EXPECT_EQ(ids, (std::vector<UINT>{AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM, AFX_IDW_DOCKBAR_LEFT,
                                      AFX_IDW_DOCKBAR_RIGHT}));
    EXPECT_TRUE(main->GetControlBar(AFX_IDW_DOCKBAR_TOP)->IsKindOf(RUNTIME_CLASS(SECDockBar)));
    main->EnableDocking(CBRS_ALIGN_ANY);
    EXPECT_EQ(main->m_listControlBars.size(), 4u) << "a second call makes none";

    // The sequence: 18 places, then the same again.
    struct Place {
        UINT id;
        int row, col, flags;
    };
    std::vector<Place> places;
    for (int i = 0; i < 19; ++i) {
        UINT id = 0;
        SECDockPos pos;
        SECDockSize size;
        main->GetNextDockPosition(id, pos, size);
        EXPECT_FLOAT_EQ(size.m_fPctWidth, 1.0f);
        EXPECT_EQ(size.m_nLength, 150);
        places.push_back({id, pos.m_nRow, pos.m_nCol, pos.m_nFlags});
    }
    EXPECT_EQ(places[0].id, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(places[0].flags, 6) << "after a 0: a new row before the first";
    EXPECT_EQ(places[1].id, static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(places[1].flags, 7);
    EXPECT_EQ(places[1].row, 1) << "a new row after the last";
    EXPECT_EQ(places[3].id, static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM));
    EXPECT_EQ(places[3].flags, 2) << "no 0 before it: the end of the first row";
    EXPECT_EQ(places[18].id, places[0].id) << "the sequence wraps";
    EXPECT_EQ(places[18].flags, places[0].flags);

    // A document opened docked goes to the first free bar id from 256, at the bottom.
    main->m_nDockSequenceCursor = 0;
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, TRUE, 0);
    ASSERT_NE(doc, nullptr);
    CFrameWnd* frame = FirstView(doc)->GetParentFrame();
    ASSERT_TRUE(frame->IsKindOf(RUNTIME_CLASS(SECDockableFrame)));
    auto* docked = static_cast<SECDockableFrame*>(frame);
    ASSERT_NE(docked->GetFrameBar(), nullptr);
    EXPECT_EQ(docked->GetFrameBar()->GetDlgCtrlID(), 256);
    EXPECT_EQ(tmpl->GetDockSide(frame), 2);
    EXPECT_EQ(docked->GetCaptionMask(), 7) << "a docked frame takes its caption mask too";
    EXPECT_EQ(main->GetActiveFrame(), frame) << "the docked frame is the active one";
}

TEST_F(FramesTest, BarsFloatedInTheClientCascadeAndEachCoordinateWrapsByItself)
{
    // The client has a 2-pixel sunken edge: 204 pixels give it 200 inside.
    main->SetWindowPos(nullptr, 0, 0, 204, 204, SWP_NOMOVE | SWP_NOZORDER);
    main->RecalcLayout();
    CRect client;
    ::GetClientRect(main->m_hWndMDIClient, &client);
    ASSERT_EQ(client.Size(), CSize(200, 200));
    std::vector<CPoint> at;
    for (int i = 0; i < 9; ++i) {
        auto* bar = new SECControlBar;
        bar->m_bAutoDelete = TRUE;
        // Not aligned to a side: an undocked bar takes no room from the client.
        ASSERT_TRUE(bar->Create(main, "float", WS_VISIBLE | CBRS_SIZE_DYNAMIC, 0, 0xE900 + 1 + static_cast<UINT>(i)));
        bar->EnableDocking(CBRS_ALIGN_ANY);
        main->FloatControlBarInMDIChild(bar, CPoint(-1, -1));
        ASSERT_TRUE(bar->IsFloatingInMDIChild());
        CRect rect;
        bar->GetParentFrame()->GetWindowRect(&rect);
        ::ScreenToClient(main->m_hWndMDIClient, reinterpret_cast<POINT*>(&rect));
        at.push_back(rect.TopLeft());
    }
    const std::vector<int> xs{30, 50, 70, 90, 110, 130, 150, 170, 30};
    const std::vector<int> ys{30, 53, 76, 99, 122, 145, 168, 30, 53};
    for (size_t i = 0; i < at.size(); ++i) {
        EXPECT_EQ(at[i].x, xs[i]) << i;
        EXPECT_EQ(at[i].y, std::min(ys[i], 200 - 30)) << i;
    }
}

TEST_F(FramesTest, ADocumentFrameGoesDockedFloatingAndBackWithTheSameView)
{
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(doc, nullptr);
    CView* view = FirstView(doc);
    CFrameWnd* child = view->GetParentFrame();
    ASSERT_TRUE(child->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)));
    EXPECT_EQ(static_cast<SECMDIChildWnd*>(child)->GetCaptionMask(), 7);
    EXPECT_EQ(tmpl->GetDockSide(child), -1);

    CFrameWnd* docked = tmpl->DockFrame(child, AFX_IDW_DOCKBAR_RIGHT, nullptr, nullptr);
    ASSERT_NE(docked, nullptr);
    EXPECT_EQ(FirstView(doc), view) << "the view moved, no new one was made";
    EXPECT_EQ(view->GetParentFrame(), docked);
    EXPECT_EQ(docked->GetActiveView(), view);
    CRect viewRect, frameClient;
    view->GetWindowRect(&viewRect);
    docked->GetClientRect(&frameClient);
    docked->ClientToScreen(&frameClient);
    EXPECT_EQ(viewRect, frameClient) << "the view fills its new frame";
    EXPECT_EQ(tmpl->GetDockSide(docked), 3);
    EXPECT_EQ(tmpl->m_pViewClass, RUNTIME_CLASS(CPageView)) << "the view class comes back";
    EXPECT_EQ(tmpl->DockFrame(docked), nullptr) << "a docked frame is left alone";
    auto* dockable = static_cast<SECDockableFrame*>(docked);
    EXPECT_TRUE(dockable->GetExStyle() & WS_EX_TOOLWINDOW);
    EXPECT_TRUE(dockable->IsCustomCaption()) << "a docked frame paints its own (small) caption";
    EXPECT_TRUE(main->IsCustomCaption());

    SECControlBar* bar = static_cast<SECDockableFrame*>(docked)->GetFrameBar();
    bar->m_pDockContext->ToggleDocking();
    EXPECT_EQ(tmpl->GetDockSide(docked), 4);
    EXPECT_TRUE(static_cast<SECDockableFrame*>(docked)->IsFloating());
    EXPECT_EQ(view->GetParentFrame(), docked);

    CFrameWnd* back = tmpl->UndockFrame(docked);
    ASSERT_NE(back, nullptr);
    EXPECT_TRUE(back->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)));
    EXPECT_EQ(view->GetParentFrame(), back);
    EXPECT_EQ(FirstView(doc), view);
    EXPECT_EQ(main->GetActiveDockableFrame(), nullptr) << "the destroyed docked frame is not active";
    EXPECT_EQ(main->GetControlBar(256), nullptr) << "its bar went with it";
}

TEST_F(FramesTest, WithoutAFrameBarTheOldFrameKeepsItsView)
{
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    CView* view = FirstView(doc);
    CFrameWnd* child = view->GetParentFrame();
    // A frame-bar class that makes no bar.
    tmpl->m_pFrameBarClass = RUNTIME_CLASS(CPageDoc);
    EXPECT_EQ(tmpl->DockFrame(child), nullptr);
    ASSERT_TRUE(::IsWindow(child->m_hWnd)) << "the old frame stays";
    EXPECT_EQ(view->GetParentFrame(), child);
    EXPECT_EQ(FirstView(doc), view);
    EXPECT_EQ(tmpl->m_pViewClass, RUNTIME_CLASS(CPageView));
    // Nor may a docked frame class that makes no frame lose the view or leave a bar behind.
    tmpl->m_pFrameBarClass = RUNTIME_CLASS(SECFrameBar);
    tmpl->m_pDockedFrameClass = RUNTIME_CLASS(CPageDoc);
    const size_t bars = main->m_listControlBars.size();
    EXPECT_EQ(tmpl->DockFrame(child), nullptr);
    EXPECT_EQ(view->GetParentFrame(), child);
    EXPECT_EQ(main->m_listControlBars.size(), bars);
}

TEST_F(FramesTest, AFrameBarOrDockBarWhoseWindowIsRefusedIsDeletedOnce)
{
    // The bar that would carry a docked document frame.
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(doc, nullptr);
    CView* view = FirstView(doc);
    CFrameWnd* child = view->GetParentFrame();
    const CString title = doc->GetTitle();
    const HWND hMain = main->m_hWnd;
    const size_t bars = main->m_listControlBars.size();
    {
        delete_counter::Count count;
        RefusedCreation refuse([&](const CREATESTRUCT& cs) {
            return cs.hwndParent == hMain && cs.lpszName != nullptr && title == cs.lpszName;
        });
        ASSERT_TRUE(refuse.IsInstalled());
        RefusedCreation::Refused() = 0;
        EXPECT_EQ(tmpl->DockFrame(child), nullptr);
        EXPECT_EQ(RefusedCreation::Refused(), 1);
        EXPECT_EQ(count.Repeated(), 0) << "blocks deleted twice";
    }
    EXPECT_EQ(view->GetParentFrame(), child) << "the frame keeps its view";
    EXPECT_EQ(main->m_listControlBars.size(), bars);

    // A dock bar of a frame that enables docking.
    auto* other = new SECMDIFrameWnd;   // deletes itself with its window
    ASSERT_TRUE(other->Create(nullptr, "Other", WS_POPUP, CRect(0, 0, 300, 200)));
    const HWND hOther = other->m_hWnd;
    {
        delete_counter::Count count;
        RefusedCreation refuse([&](const CREATESTRUCT& cs) {
            return cs.hwndParent == hOther && cs.hMenu == reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_DOCKBAR_BOTTOM));
        });
        RefusedCreation::Refused() = 0;
        bool thrown = false;
        try {
            other->EnableDocking(CBRS_ALIGN_ANY);
        } catch (CResourceException* e) {
            thrown = true;
            e->Delete();
        }
        EXPECT_TRUE(thrown) << "a dock bar that cannot be made is a resource failure";
        EXPECT_EQ(RefusedCreation::Refused(), 1);
        EXPECT_EQ(count.Repeated(), 0) << "blocks deleted twice";
    }
    EXPECT_EQ(other->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM), nullptr);
    other->DestroyWindow();
}

TEST_F(FramesTest, TwoDockedFramesOfOneDocumentAreNumberedInTheirTitles)
{
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, TRUE, 0);
    ASSERT_NE(doc, nullptr);
    CFrameWnd* first = FirstView(doc)->GetParentFrame();
    CFrameWnd* second = tmpl->CreateNewFrameEx(doc, first, TRUE, 0);
    ASSERT_NE(second, nullptr);
    tmpl->InitialUpdateFrame(second, doc);
    doc->UpdateFrameCounts();
    first->OnUpdateFrameTitle(TRUE);
    second->OnUpdateFrameTitle(TRUE);
    CString a, b;
    first->GetWindowText(a);
    second->GetWindowText(b);
    EXPECT_EQ(a, doc->GetTitle() + ":1");
    EXPECT_EQ(b, doc->GetTitle() + ":2");
    EXPECT_EQ(static_cast<SECDockableFrame*>(second)->GetFrameBar()->GetDlgCtrlID(), 257) << "the next free id";
}

TEST_F(FramesTest, CaptionMaskSettersKeepDoubleClickAndContextMenuApart)
{
    EXPECT_EQ(tmpl->m_nMDIChildCaptionMask, 7);
    EXPECT_FALSE(tmpl->IsExtensionButtonEnabled());
    EXPECT_FALSE(tmpl->IsCaptionDblClkEnabled());
    EXPECT_TRUE(tmpl->IsCaptionContextMenuEnabled());
    tmpl->EnableCaptionDblClk(TRUE);
    EXPECT_TRUE(tmpl->IsCaptionDblClkEnabled());
    EXPECT_FALSE(tmpl->IsCaptionContextMenuEnabled()) << "the double click switches the menu off";
    tmpl->EnableCaptionContextMenu(TRUE);
    EXPECT_TRUE(tmpl->IsCaptionContextMenuEnabled());
    EXPECT_FALSE(tmpl->IsCaptionDblClkEnabled()) << "and the reverse";
    tmpl->EnableExtensionButton(TRUE);
    EXPECT_TRUE(tmpl->IsExtensionButtonEnabled());
    EXPECT_EQ(tmpl->m_nMDIChildCaptionMask & SEC_CAPTION_FEATURES, SEC_CAPTION_FEATURES);
    EXPECT_FALSE(tmpl->ModifyCaptionMask(0, 0));

    // Applied to every open frame, docked or not.
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, TRUE, 0);
    tmpl->ModifyCaptionMask(0, SEC_CAPTION_NODBLCLK, TRUE);
    auto* frame = static_cast<SECDockableFrame*>(FirstView(doc)->GetParentFrame());
    EXPECT_EQ(frame->GetCaptionMask(), tmpl->m_nDockedCaptionMask);
    EXPECT_TRUE(frame->GetCaptionMask() & SEC_CAPTION_NODBLCLK);
}

TEST_F(FramesTest, TheMenuPlugInIsFedUntilTheWindowGoesAndDeletedOnce)
{
    int gone = 0;
    auto* plugIn = new CountingPlugIn(&gone);
    main->SetMenuPlugIn(plugIn);
    main->SendMessage(WM_USER + 5, 0, 0);
    EXPECT_EQ(plugIn->seen, 1);
    main->DestroyWindow();
    main = nullptr;
    EXPECT_EQ(gone, 1) << "deleted with the window, and not again by the destructor";
}

TEST_F(FramesTest, FloatInMainWindowTakesABarIntoTheClientAndBackToItsPlace)
{
    auto* bar = new SECControlBar;
    bar->m_bAutoDelete = TRUE;
    ASSERT_TRUE(bar->Create(main, "Output Area", WS_VISIBLE | CBRS_BOTTOM | CBRS_SIZE_DYNAMIC,
                            0xF10 | CBRS_EX_STDCONTEXTMENU | CBRS_EX_ALLOW_MDI_FLOAT, 0xE910));
    bar->EnableDocking(CBRS_ALIGN_ANY);
    main->DockControlBarEx(bar, SECDockPos{0, 0, 0}, AFX_IDW_DOCKBAR_BOTTOM, SECDockSize{1.0f, 120, 0});
    main->RecalcLayout();

    // The frame adds its entry to the bar's menu: unchecked while docked.
    CMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_STRING, ID_SEC_ALLOWDOCKING, "Allow Docking");
    main->SendMessage(WM_EXTENDCONTEXTMENU, reinterpret_cast<WPARAM>(bar), reinterpret_cast<LPARAM>(&menu));
    EXPECT_EQ(menu.GetMenuItemCount(), 3);
    EXPECT_EQ(menu.GetMenuState(ID_SEC_MDIFLOAT, MF_BYCOMMAND) & MF_CHECKED, 0u);
    menu.DestroyMenu();

    bar->SendMessage(WM_COMMAND, ID_SEC_MDIFLOAT, 0);
    ASSERT_TRUE(bar->IsFloatingInMDIChild());
    CFrameWnd* child = bar->GetParentFrame();
    ASSERT_TRUE(child->IsKindOf(RUNTIME_CLASS(SECControlBarMDIChildWnd)));
    CString title;
    child->GetWindowText(title);
    EXPECT_EQ(title, CString("Output Area")) << "the window takes the bar's name";
    CMenu floating;
    floating.CreatePopupMenu();
    floating.AppendMenu(MF_STRING, ID_SEC_ALLOWDOCKING, "Allow Docking");
    main->SendMessage(WM_EXTENDCONTEXTMENU, reinterpret_cast<WPARAM>(bar), reinterpret_cast<LPARAM>(&floating));
    EXPECT_NE(floating.GetMenuState(ID_SEC_MDIFLOAT, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_NE(floating.GetMenuState(ID_SEC_ALLOWDOCKING, MF_BYCOMMAND) & MF_GRAYED, 0u);
    floating.DestroyMenu();

    // Again: back into the bottom side where it was.
    bar->SendMessage(WM_COMMAND, ID_SEC_MDIFLOAT, 0);
    main->RecalcLayout();
    EXPECT_FALSE(bar->IsFloatingInMDIChild());
    EXPECT_FALSE(bar->IsFloating());
    EXPECT_EQ(bar->GetParent(), main->GetControlBar(AFX_IDW_DOCKBAR_BOTTOM));
}

namespace {

int g_hooksGone = 0;

// A command hook that takes one command as handled and only looks at another.
class MarkingHook : public SECWndPlugIn {
    DECLARE_DYNCREATE(MarkingHook)
public:
    ~MarkingHook() override { ++g_hooksGone; }
    void OnTaken()
    {
        ++taken;
        m_bExitDefault = TRUE;
    }
    void OnLookedAt() { ++looked; }
    int taken = 0;
    int looked = 0;
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(MarkingHook, SECWndPlugIn)
BEGIN_MESSAGE_MAP(MarkingHook, SECWndPlugIn)
    ON_COMMAND(40001, &MarkingHook::OnTaken)
    ON_COMMAND(40002, &MarkingHook::OnLookedAt)
END_MESSAGE_MAP()

} // namespace

TEST_F(FramesTest, TheCommandHookIsMadeOwnedAndAnswersOnlyForWhatItMarks)
{
    EXPECT_EQ(main->CreateCommandHook(nullptr), nullptr);
    EXPECT_EQ(main->CreateCommandHook(RUNTIME_CLASS(CPageDoc)), nullptr) << "not a plug-in";
    {
        SECMDIFrameWnd windowless;
        const int before = g_hooksGone;
        EXPECT_EQ(windowless.CreateCommandHook(RUNTIME_CLASS(MarkingHook)), nullptr);
        EXPECT_EQ(g_hooksGone, before + 1) << "a hook that cannot attach is deleted";
    }
    auto* hook = static_cast<MarkingHook*>(main->CreateCommandHook(RUNTIME_CLASS(MarkingHook)));
    ASSERT_NE(hook, nullptr);
    EXPECT_EQ(main->GetCommandHook(), hook);
    EXPECT_TRUE(main->OnCmdMsg(40001, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(hook->taken, 1);
    EXPECT_FALSE(hook->m_bExitDefault) << "the mark is cleared for the next command";
    EXPECT_FALSE(main->OnCmdMsg(40002, CN_COMMAND, nullptr, nullptr)) << "seen but not marked: not handled";
    EXPECT_EQ(hook->looked, 1);

    // A docked document frame has no hook of its own and goes through the main frame's.
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(doc, nullptr);
    CFrameWnd* docked = tmpl->DockFrame(FirstView(doc)->GetParentFrame(), AFX_IDW_DOCKBAR_RIGHT, nullptr, nullptr);
    ASSERT_NE(docked, nullptr);
    EXPECT_TRUE(docked->OnCmdMsg(40001, CN_COMMAND, nullptr, nullptr));
    EXPECT_EQ(hook->taken, 2);

    const int before = g_hooksGone;
    main->DestroyWindow();   // the frame deletes itself with its window
    main = nullptr;
    EXPECT_EQ(g_hooksGone, before + 1) << "the frame deletes its hook";
}

TEST_F(FramesTest, IdleInADialogLaysOutAndDisablingOrLeavingDropsTheStayActiveCaption)
{
    main->DelayRecalcLayout();
    ASSERT_TRUE(main->m_nIdleFlags & CFrameWnd::idleLayout);
    main->SendMessage(WM_ENTERIDLE, 2 /* a menu */, 0);
    EXPECT_TRUE(main->m_nIdleFlags & CFrameWnd::idleLayout) << "only a dialog's idle time lays out";
    main->SendMessage(WM_ENTERIDLE, MSGF_DIALOGBOX, 0);
    EXPECT_FALSE(main->m_nIdleFlags & CFrameWnd::idleLayout) << "the pending layout is done";

    // Activated itself, the frame keeps its caption active; a stranger taking the activation
    // ends that, and so does a disabled frame.
    main->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    EXPECT_TRUE(main->m_nFlags & WF_STAYACTIVE);
    CWnd stranger;
    ASSERT_TRUE(stranger.CreateEx(0, "STATIC", "other", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    main->SendMessage(WM_ACTIVATE, WA_INACTIVE, reinterpret_cast<LPARAM>(stranger.m_hWnd));
    EXPECT_FALSE(main->m_nFlags & WF_STAYACTIVE);
    main->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    ASSERT_TRUE(main->m_nFlags & WF_STAYACTIVE);
    main->SendMessage(WM_ENABLE, FALSE, 0);
    EXPECT_FALSE(main->m_nFlags & WF_STAYACTIVE);
    main->SendMessage(WM_ENABLE, TRUE, 0);
    stranger.DestroyWindow();
}

namespace {

// A main frame set up as the program's at start: its panes made and docked by the program, then
// both saved layouts loaded over them.
SECMDIFrameWnd* StartMainFrame(CWinApp& app)
{
    auto* frame = new SECMDIFrameWnd;
    if (!frame->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600)))
        return nullptr;
    app.m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    for (UINT id : {0xE901u, 0xE902u}) {
        auto* bar = new SECControlBar;
        bar->m_bAutoDelete = TRUE;
        bar->Create(frame, "pane", WS_VISIBLE | CBRS_LEFT | CBRS_SIZE_DYNAMIC, 0xF10, id);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_LEFT);
    }
    frame->RecalcLayout();
    frame->LoadBarState("Main Toolbar");
    frame->LoadBarState("Grid Toolbar");
    frame->RecalcLayout();
    return frame;
}

UINT DockSideOf(CFrameWnd* frame, UINT id)
{
    CControlBar* bar = frame->GetControlBar(id);
    if (!bar)
        return 0;
    if (bar->IsFloating())
        return AFX_IDW_DOCKBAR_FLOAT;
    return bar->m_pDockBar ? bar->m_pDockBar->GetDlgCtrlID() : 0;
}

} // namespace

TEST_F(FramesTest, TheMainFrameKeepsItsLayoutOverTwoRestartsAndStartsSafelyFromADamagedOne)
{
    main->DestroyWindow();
    main = StartMainFrame(*app);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(DockSideOf(main, 0xE901), static_cast<UINT>(AFX_IDW_DOCKBAR_LEFT)) << "first start: the program's defaults";
    // The user moves one pane to the bottom and hides the other.
    main->DockControlBar(main->GetControlBar(0xE901), AFX_IDW_DOCKBAR_BOTTOM);
    main->ShowControlBar(main->GetControlBar(0xE902), FALSE, FALSE);
    main->RecalcLayout();
    for (int start = 0; start < 2; ++start) {
        main->SaveBarState("Main Toolbar");
        main->SaveBarState("Grid Toolbar");
        main->DestroyWindow();
        main = StartMainFrame(*app);
        ASSERT_NE(main, nullptr);
        EXPECT_EQ(DockSideOf(main, 0xE901), static_cast<UINT>(AFX_IDW_DOCKBAR_BOTTOM)) << "restart " << start + 1;
        ASSERT_NE(main->GetControlBar(0xE902), nullptr);
        EXPECT_FALSE(main->GetControlBar(0xE902)->IsVisible()) << "restart " << start + 1;
    }
    main->DestroyWindow();
    main = nullptr;

    // Hostile values in every section of both layouts.
    for (LPCTSTR name : {"Main Toolbar", "Grid Toolbar"}) {
        CString summary;
        summary.Format("%s-Summary", name);
        app->WriteProfileInt(summary, "Bars", 2000000000);
        app->WriteProfileInt(summary, "ScreenCX", 0);
        app->WriteProfileInt(summary, "ScreenCY", -7);
        for (int i = 0; i < 8; ++i) {
            CString section;
            section.Format("%s-Bar%d", name, i);
            app->WriteProfileInt(section, "BarID", i % 2 ? 0xE901 : -1);
            app->WriteProfileInt(section, "Bars", -5);
            app->WriteProfileInt(section, "Bar#0", 0x7FFFFFFF);
            app->WriteProfileInt(section, "XPos", -2000000000);
            app->WriteProfileInt(section, "YPos", 2000000000);
            app->WriteProfileInt(section, "Floating", 1);
            app->WriteProfileString(section, "PctWidth", "-99999999999");
            app->WriteProfileInt(section, "MRUFloatCX", -2000000000);
            app->WriteProfileInt(section, "MDIChild", 1);
            app->WriteProfileString(section, "MDIChildWindowPlacement", "not a placement");
            app->WriteProfileString(section, "ClassName", "SECControlBar");
        }
    }
    main = StartMainFrame(*app);
    ASSERT_NE(main, nullptr);
    for (UINT id : {0xE901u, 0xE902u}) {
        CControlBar* bar = main->GetControlBar(id);
        ASSERT_NE(bar, nullptr) << "the program's panes are still there";
        CRect rect;
        bar->GetWindowRect(&rect);
        EXPECT_GE(rect.Width(), 0);
        EXPECT_GE(rect.Height(), 0);
        EXPECT_LT(rect.right, 100000) << "no pane is sent to a place off any screen";
    }
}

TEST_F(FramesTest, ABarFloatedInTheMainWindowKeepsItsPlaceAndStateOverThreeRestarts)
{
    main->DestroyWindow();
    main = StartMainFrame(*app);
    ASSERT_NE(main, nullptr);
    // The user floats one pane in the main window and puts its window where it suits.
    main->FloatControlBarInMDIChild(main->GetControlBar(0xE901), CPoint(-1, -1));
    CFrameWnd* child = main->GetControlBar(0xE901)->GetParentFrame();
    ASSERT_NE(child, main);
    child->SetWindowPos(nullptr, 57, 41, 263, 171, SWP_NOZORDER | SWP_NOACTIVATE);
    WINDOWPLACEMENT placed{};
    placed.length = sizeof placed;
    ASSERT_TRUE(::GetWindowPlacement(child->m_hWnd, &placed));
    auto placementOf = [](CFrameWnd* frame) {
        CControlBar* bar = frame->GetControlBar(0xE901);
        WINDOWPLACEMENT wp{};
        wp.length = sizeof wp;
        if (bar && bar->GetParentFrame() != frame)
            ::GetWindowPlacement(bar->GetParentFrame()->m_hWnd, &wp);
        return wp;
    };
    for (int start = 1; start <= 3; ++start) {
        main->SaveBarState("Main Toolbar");
        main->SaveBarState("Grid Toolbar");
        main->DestroyWindow();
        main = StartMainFrame(*app);
        ASSERT_NE(main, nullptr);
        auto* bar = dynamic_cast<SECControlBar*>(main->GetControlBar(0xE901));
        ASSERT_NE(bar, nullptr);
        EXPECT_TRUE(bar->IsFloatingInMDIChild()) << "restart " << start;
        const WINDOWPLACEMENT now = placementOf(main);
        EXPECT_EQ(RectText(now.rcNormalPosition), RectText(placed.rcNormalPosition)) << "restart " << start;
        EXPECT_EQ(now.showCmd, placed.showCmd) << "restart " << start;
    }
    // Minimised, it starts minimised.
    main->GetControlBar(0xE901)->GetParentFrame()->ShowWindow(SW_MINIMIZE);
    main->SaveBarState("Main Toolbar");
    main->SaveBarState("Grid Toolbar");
    main->DestroyWindow();
    main = StartMainFrame(*app);
    ASSERT_NE(main, nullptr);
    const WINDOWPLACEMENT minimised = placementOf(main);
    EXPECT_EQ(minimised.showCmd, static_cast<UINT>(SW_SHOWMINIMIZED));
    EXPECT_EQ(RectText(minimised.rcNormalPosition), RectText(placed.rcNormalPosition)) << "and comes back to its place";
}

TEST_F(FramesTest, TheActiveDockedFramesCaptionFollowsTheApplicationsActivation)
{
    CDocument* first = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(first, nullptr);
    auto* docked = static_cast<SECDockableFrame*>(
        tmpl->DockFrame(FirstView(first)->GetParentFrame(), AFX_IDW_DOCKBAR_RIGHT, nullptr, nullptr));
    ASSERT_NE(docked, nullptr);
    ASSERT_NE(tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0), nullptr);
    main->SetActiveDockableFrame(docked);
    ASSERT_EQ(main->GetActiveDockableFrame(), docked);
    ASSERT_TRUE(docked->IsCustomCaption());

    main->SendMessage(WM_ACTIVATEAPP, FALSE, 0);
    EXPECT_FALSE(docked->m_caption.IsActive()) << "another application is in front";
    main->SendMessage(WM_ACTIVATEAPP, TRUE, 0);
    EXPECT_TRUE(docked->m_caption.IsActive()) << "back in front, the docked frame is the active one";
}

namespace {

// An application that notes the help asked for instead of opening any.
class HelpNotingApp : public CWinApp {
public:
    using CWinApp::CWinApp;
    void WinHelp(DWORD_PTR dwData, UINT) override { asked.push_back(dwData); }
    std::vector<DWORD_PTR> asked;
};

// What an open popup menu's items are, seen while the menu is up.
struct OpenMenuLook {
    HMENU menu = nullptr;
    std::vector<std::string> plainItems;   // texts of items not drawn by the plug-in
    int ownerDrawn = 0;
    bool seen = false;
};

void LookAtOpenMenu(OpenMenuLook& look)
{
    look.seen = !MenuDriver::OpenMenus().empty();
    for (int i = 0; i < ::GetMenuItemCount(look.menu); ++i) {
        MENUITEMINFO info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID;
        ::GetMenuItemInfo(look.menu, static_cast<UINT>(i), TRUE, &info);
        if (info.fType & MFT_SEPARATOR)
            continue;
        if (info.fType & MFT_OWNERDRAW)
            ++look.ownerDrawn;
        else
            look.plainItems.push_back(MenuDriver::Label(look.menu, i));
    }
    ::EndMenu();
}

} // namespace

TEST_F(FramesTest, TheRecentProjectsTheFrameAddsToTheFileMenuAreDrawnLikeTheOtherItems)
{
    main->DestroyWindow();
    app->LoadStdProfileSettings(4);
    app->AddToRecentFileList("/home/user/sites/first.vsp");
    app->AddToRecentFileList("/home/user/sites/second.vsp");
    main = new SECMDIFrameWnd;
    main->EnableBmpMenus(TRUE, TRUE);
    ASSERT_TRUE(main->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600)));
    app->m_pMainWnd = main;
    ASSERT_NE(main->GetMenuPlugIn(), nullptr);
    HMENU file = ::CreatePopupMenu();
    ::AppendMenu(file, MF_STRING, ID_FILE_NEW, "&New\tCtrl+N");
    ::AppendMenu(file, MF_STRING, ID_FILE_OPEN, "&Open...\tCtrl+O");
    ::AppendMenu(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenu(file, MF_STRING, ID_FILE_MRU_FILE1, "Recent File");
    ::AppendMenu(file, MF_SEPARATOR, 0, nullptr);
    ::AppendMenu(file, MF_STRING, ID_APP_EXIT, "E&xit");
    // The user opens the File menu.
    OpenMenuLook look;
    look.menu = file;
    backend->WhenIdle([&look] { LookAtOpenMenu(look); });
    ::TrackPopupMenu(file, TPM_LEFTALIGN, 20, 20, 0, main->m_hWnd, nullptr);
    ASSERT_TRUE(look.seen) << "the menu was open";
    EXPECT_EQ(look.ownerDrawn, 5) << "New, Open, the two recent projects and Exit";
    EXPECT_TRUE(look.plainItems.empty()) << (look.plainItems.empty() ? "" : look.plainItems.front());
    ::DestroyMenu(file);
}

TEST_F(FramesTest, HelpGoesToTheActiveDockedFrameAndTheFramesCaptionFiltersAreAlwaysThere)
{
    main->DestroyWindow();
    main = nullptr;
    app.reset();
    HelpNotingApp helpApp("HelpTest");
    auto* helpTmpl = new SECMultiDocTemplate(30801, RUNTIME_CLASS(CPageDoc), nullptr, RUNTIME_CLASS(CPageView));
    auto* dockedTmpl = new SECMultiDocTemplate(30802, RUNTIME_CLASS(CPageDoc), nullptr, RUNTIME_CLASS(CPageView));
    // A frame made before any toolkit template exists has caption mask 0; the frame's own
    // caption filters are there all the same.
    auto* frame = new SECMDIFrameWnd;
    EXPECT_EQ(frame->GetCaptionMask(), 0);
    for (UINT key : {static_cast<UINT>(SECCaptionFeatures::kKeyList), 260u, 261u}) {
        SECMsgFilter* f = frame->m_pFilterRoot->FindFilter(key, nullptr, -1);
        ASSERT_NE(f, nullptr) << "filter " << key;
        EXPECT_TRUE(f->m_bEnabled) << "filter " << key;
    }
    helpApp.AddDocTemplate(helpTmpl);
    helpApp.AddDocTemplate(dockedTmpl);
    ASSERT_TRUE(frame->Create(nullptr, "Main", WS_POPUP | WS_VISIBLE, CRect(0, 0, 800, 600)));
    helpApp.m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    // A document window in the client, and a docked one that is active.
    CDocument* inClient = helpTmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(inClient, nullptr);
    ASSERT_FALSE(FirstView(inClient)->GetParentFrame()->IsKindOf(RUNTIME_CLASS(SECDockableFrame)));
    CDocument* docked = dockedTmpl->OpenDocumentFileEx(nullptr, TRUE, TRUE, 0);
    ASSERT_NE(docked, nullptr);
    auto* dockedFrame = dynamic_cast<SECDockableFrame*>(FirstView(docked)->GetParentFrame());
    ASSERT_NE(dockedFrame, nullptr);
    frame->SetActiveDockableFrame(dockedFrame);
    ASSERT_EQ(frame->GetActiveDockableFrame(), dockedFrame);
    // F1.
    helpApp.OnHelp();
    ASSERT_EQ(helpApp.asked.size(), 1u);
    EXPECT_EQ(helpApp.asked[0], static_cast<DWORD_PTR>(HID_BASE_RESOURCE + 30802)) << "the docked frame's help";
    // Without a docked frame active, the document window's own help.
    frame->SetActiveDockableFrame(nullptr);
    helpApp.OnHelp();
    ASSERT_EQ(helpApp.asked.size(), 2u);
    EXPECT_EQ(helpApp.asked[1], static_cast<DWORD_PTR>(HID_BASE_RESOURCE + 30801));
    frame->DestroyWindow();
}

TEST_F(FramesTest, ADockedFramesExtensionButtonStaysOnItsPaintedCaption)
{
    // The template gives its docked frames the extension button.
    tmpl->m_nDockedCaptionMask = SECCaptionFeatures::kMaskOn;
    CDocument* doc = tmpl->OpenDocumentFileEx(nullptr, TRUE, TRUE, 0);
    ASSERT_NE(doc, nullptr);
    auto* docked = dynamic_cast<SECDockableFrame*>(FirstView(doc)->GetParentFrame());
    ASSERT_NE(docked, nullptr);
    ASSERT_TRUE(docked->IsCustomCaption()) << "the gradient caption is on";
    auto* button = dynamic_cast<nsSysCommandEx::ScxButtonMsgFilter*>(
        docked->GetFilterRoot()->FindFilter(SECCaptionFeatures::kKeyButton, nullptr, -1));
    ASSERT_NE(button, nullptr);
    // The title changes and the frame is activated: the caption is painted again each time,
    // and the button is drawn on it, not painted over.
    docked->SetWindowText("index.html");
    main->SetActiveDockableFrame(docked);
    backend->ProcessMessages();
    ASSERT_FALSE(button->m_rect.IsRectEmpty()) << "the button has its place";
    CRect window;
    docked->GetWindowRect(&window);
    const WindowImage image(*backend, docked->m_hWnd);
    ASSERT_TRUE(image.IsValid());
    image.Keep("docked-caption.png");
    // The push button's light outer edge at its top left, its face inside at the bottom left.
    const int left = window.left + button->m_rect.left;
    const int top = window.top + button->m_rect.top;
    EXPECT_EQ(image.Pixel(left, top), FrameRgb(::GetSysColor(COLOR_3DHILIGHT))) << "the button's light edge over the gradient";
    EXPECT_EQ(image.Pixel(left + 2, top + button->m_rect.Height() - 3), FrameRgb(::GetSysColor(COLOR_3DFACE))) << "its face";
}

TEST_F(FramesTest, TheDefaultToolbarsDockInTheFramesRowsAndFollowAColourChangeDockedOrFloating)
{
    auto manager = std::make_unique<SECToolBarManager>(main);
    ASSERT_TRUE(manager->LoadToolBarResource(IDR_TB_SMALL, IDR_TB_BIG));
    static const UINT kMain[] = {ID_TB_ONE, ID_TB_TWO};
    static const UINT kGrid[] = {ID_TB_TWO, ID_TB_ONE};
    manager->DefineDefaultToolBar(0xE800, "Main Toolbar", 2, kMain, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP);
    manager->DefineDefaultToolBar(0xE805, "Grid Toolbar", 2, kGrid, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_RIGHT);
    manager->DefineDefaultToolBar(0xE806, "Third", 2, kGrid, CBRS_ALIGN_ANY, AFX_IDW_DOCKBAR_TOP, 0xE800);
    main->SetControlBarManager(manager.get());
    // First start: no saved layout, the default bars are made.
    manager->InitToolBars();
    main->RecalcLayout();
    SECCustomToolBar* mainBar = manager->ToolBarFromID(0xE800);
    SECCustomToolBar* gridBar = manager->ToolBarFromID(0xE805);
    ASSERT_TRUE(mainBar && gridBar);
    // Docked into the rows of the frame's own dock bars, each in its side's orientation.
    auto* right = dynamic_cast<SECDockBar*>(main->GetControlBar(AFX_IDW_DOCKBAR_RIGHT));
    ASSERT_NE(right, nullptr);
    auto* topBar = dynamic_cast<SECDockBar*>(main->GetControlBar(AFX_IDW_DOCKBAR_TOP));
    ASSERT_NE(topBar, nullptr);
    EXPECT_EQ(ToolkitDockingTest::Rows(topBar), "|06|") << "the third bar beside the main one, in its row";
    EXPECT_EQ(ToolkitDockingTest::Rows(right), "|5|");
    // The toolkit's rows give every docked bar its borders all round.
    for (UINT id : {0xE800u, 0xE805u, 0xE806u})
        EXPECT_EQ(manager->ToolBarFromID(id)->GetBarStyle() & CBRS_BORDER_ANY, static_cast<DWORD>(CBRS_BORDER_ANY)) << std::hex << id;
    EXPECT_EQ(gridBar->GetParent(), right);
    EXPECT_GE(right->FindBar(gridBar), 1) << "in the right side's rows";
    EXPECT_NE(gridBar->GetBarStyle() & CBRS_ORIENT_VERT, 0u);
    CRect rc;
    gridBar->GetWindowRect(&rc);
    EXPECT_GT(rc.Height(), rc.Width()) << "upright on the right side";
    mainBar->GetWindowRect(&rc);
    EXPECT_GT(rc.Width(), rc.Height()) << "lying on the top side";

    // The main toolbar floats; then the system's colours change.
    main->FloatControlBar(mainBar, CPoint(300, 300));
    ASSERT_TRUE(mainBar->IsFloating());
    backend->ProcessMessages();
    const int element = COLOR_BTNFACE;
    const COLORREF before = ::GetSysColor(COLOR_BTNFACE);
    const COLORREF after = RGB(0xD0, 0xE0, 0xF0);
    ::SetSysColors(1, &element, &after);
    backend->ProcessMessages();
    WindowImage(*backend, mainBar->m_hWnd).Keep("floating-toolbar.png");
    // Each toolbar shows the new face colour around and in its buttons.
    for (SECCustomToolBar* bar : {gridBar, mainBar}) {
        CRect client;
        bar->GetClientRect(&client);
        bar->ClientToScreen(&client);
        const WindowImage image(*backend, bar->m_hWnd);
        ASSERT_TRUE(image.IsValid());
        int faces = 0;
        for (int y = client.top; y < client.bottom; ++y)
            for (int x = client.left; x < client.right; ++x)
                faces += image.Pixel(x, y) == FrameRgb(after) ? 1 : 0;
        EXPECT_GT(faces, client.Width() * client.Height() / 4)
            << (bar == mainBar ? "the floating toolbar" : "the docked toolbar") << " is painted in the new face colour";
    }
    ::SetSysColors(1, &element, &before);
    backend->ProcessMessages();
    // The manager goes before its frame, as the program's frame deletes its manager.
    main->SetControlBarManager(nullptr);
    manager.reset();
    main->DestroyWindow();
    main = nullptr;
}

namespace {

// A menu bar for the frame's side of it: this program has none of its own.
class StandInMenuBar : public SECMenuBar {
public:
    int FindMnemonicButton(char) override { return -1; }
    void OpenButtonMenu(int, BOOL) override {}
    CRect GetButtonScreenRect(int) override { return CRect(); }
    void EndMenuMode() override {}
    void MoveToMenu(int) override {}
    CFont* GetMenuFont() override { return nullptr; }
};

CString FirstItemText(HMENU menu)
{
    char text[64] = {};
    if (menu)
        ::GetMenuString(menu, 0, text, sizeof text, MF_BYPOSITION);
    return text;
}

} // namespace

TEST_F(FramesTest, TheSingleDocumentFrameAnswersForThePopupsOfItsOwnMenuOnly)
{
    auto* sdi = new SECFrameWnd;   // deletes itself with its window
    ASSERT_TRUE(sdi->LoadFrame(IDR_FRAME_MENU, WS_POPUP | WS_VISIBLE | WS_CAPTION));
    auto popup = [&](UINT id, int index) {
        return reinterpret_cast<HMENU>(sdi->SendMessage(SECGetMenuMessage(), id, index));
    };
    EXPECT_EQ(FirstItemText(popup(IDR_FRAME_MENU, 0)), CString("&New"));
    EXPECT_EQ(FirstItemText(popup(IDR_FRAME_MENU, 1)), CString("&Cascade"));
    EXPECT_EQ(popup(IDR_FRAME_MENU, 2), nullptr) << "no third popup";
    EXPECT_EQ(popup(IDR_DOC_MENU, 0), nullptr) << "another resource's menu is not its own";
    sdi->DestroyWindow();
}

TEST_F(FramesTest, AFrameWithAMenuBarShowsTheMenuOfTheActiveWindowOnItById)
{
    // The menu bar is known by its name and cannot be made from it.
    CRuntimeClass* barClass = CRuntimeClass::FromName("SECMenuBar");
    ASSERT_NE(barClass, nullptr);
    EXPECT_EQ(barClass->m_pfnCreateObject, nullptr);
    EXPECT_EQ(barClass->CreateObject(), nullptr);

    main->DestroyWindow();
    auto* docTmpl = new SECMultiDocTemplate(IDR_DOC_MENU, RUNTIME_CLASS(CPageDoc), nullptr, RUNTIME_CLASS(CPageView));
    app->AddDocTemplate(docTmpl);
    StandInMenuBar bar;
    main = new SECMDIFrameWnd;
    main->SetMenuBar(&bar);
    ASSERT_TRUE(main->LoadFrame(IDR_FRAME_MENU, WS_POPUP | WS_VISIBLE | WS_CAPTION));
    app->m_pMainWnd = main;
    EXPECT_EQ(::GetMenu(main->m_hWnd), nullptr) << "the menu shows on the bar, not in a menu line";
    EXPECT_NE(dynamic_cast<SECMenuBarFeature*>(main->GetMenuPlugIn()), nullptr) << "the bar's feature is plugged in";
    EXPECT_EQ(main->GetActiveMenuId(), static_cast<UINT>(IDR_FRAME_MENU));
    EXPECT_EQ(main->GetDefaultMenu(), main->GetMenuForId(IDR_FRAME_MENU));
    // The bar asks for a button's popup by the menu id and the button's place.
    auto popup = [&](UINT id, int index) {
        return reinterpret_cast<HMENU>(main->SendMessage(SECGetMenuMessage(), id, index));
    };
    EXPECT_EQ(FirstItemText(popup(main->GetActiveMenuId(), 0)), CString("&New"));

    // A document window made active puts its own menu on the bar, with the client's windows
    // listed in its Window menu; closing the last one brings the frame's menu back.
    CDocument* doc = docTmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(doc, nullptr);
    EXPECT_EQ(main->GetActiveMenuId(), static_cast<UINT>(IDR_DOC_MENU));
    EXPECT_EQ(::GetMenu(main->m_hWnd), nullptr) << "still no menu line";
    EXPECT_EQ(FirstItemText(popup(main->GetActiveMenuId(), 1)), CString("&Copy"));
    HMENU windowMenu = popup(IDR_DOC_MENU, 2);
    ASSERT_NE(windowMenu, nullptr);
    EXPECT_GT(::GetMenuItemCount(windowMenu), 1) << "the document window is listed";
    // Another id's menu is loaded once and kept.
    ASSERT_NE(main->GetMenuForId(IDR_FRAME_MENU), nullptr);
    main->ActivateMenu(static_cast<UINT>(-1));
    EXPECT_EQ(main->GetActiveMenuId(), static_cast<UINT>(IDR_FRAME_MENU));
    main->ActivateMenu(IDR_DOC_MENU);
    doc->OnCloseDocument();
    backend->ProcessMessages();
    EXPECT_EQ(main->GetActiveMenuId(), static_cast<UINT>(IDR_FRAME_MENU)) << "no document window is left";

    // A bar floated in the main window: maximising its window there goes through the document
    // window's own size handling, which has the menu bar shown again for the maximised window.
    ASSERT_TRUE(bar.Create(main, "Menu bar", WS_VISIBLE | CBRS_LEFT | CBRS_SIZE_DYNAMIC, 0xF10, 0xE8FF));
    main->EnableDocking(CBRS_ALIGN_ANY);
    bar.EnableDocking(CBRS_ALIGN_ANY);
    main->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    main->RecalcLayout();
    auto* pane = new SECControlBar;
    pane->m_bAutoDelete = TRUE;
    ASSERT_TRUE(pane->Create(main, "pane", WS_VISIBLE | CBRS_LEFT | CBRS_SIZE_DYNAMIC, 0xF10, 0xE901));
    pane->EnableDocking(CBRS_ALIGN_ANY);
    main->FloatControlBarInMDIChild(pane, CPoint(-1, -1));
    CFrameWnd* container = pane->GetParentFrame();
    ASSERT_TRUE(container->IsKindOf(RUNTIME_CLASS(SECControlBarMDIChildWnd)));
    backend->ProcessMessages();
    CRect barRect;
    bar.GetClientRect(&barRect);
    ASSERT_FALSE(barRect.IsRectEmpty()) << "the menu bar has its place";
    ::ValidateRect(bar.m_hWnd, nullptr);
    container->ShowWindow(SW_MAXIMIZE);
    EXPECT_TRUE(::GetUpdateRect(bar.m_hWnd, nullptr, FALSE)) << "the menu bar is to be painted again";
    main->DestroyWindow();
    main = nullptr;
}
