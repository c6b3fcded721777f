// A frame and its floating windows: captions that stay active together, palettes that hide and
// come back with the frame, a modal state that disables the frame and all it owns until it ends
// (a dialog ending inside it included), and the help a frame asks for.
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/bars/CMiniDockFrameWnd.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "tests/platform/afx/AfxFixture.h"
#include "tests/platform/afx/data/NotesIds.h"

#include <cairo.h>

#include <utility>
#include <vector>

namespace {

class CPaletteBar : public CControlBar {
public:
    BOOL Create(CWnd* parent, UINT id)
    {
        m_dwStyle = CBRS_TOP;
        return CWnd::Create(AfxControlBarClass(), "Palette", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), parent, id);
    }
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(120, 24) : CSize(24, 120); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};

class CFrameWndTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        ASSERT_TRUE(frame->CreateEx(0, nullptr, "Frame", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 40, 40, 500, 360, nullptr,
                                    nullptr));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        ASSERT_TRUE(bar.Create(frame, 0xE810));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        ::SetActiveWindow(frame->m_hWnd);
        frame->FloatControlBar(&bar, CPoint(300, 250));
        mini = bar.GetParentFrame();
        ASSERT_NE(mini, nullptr);
        ASSERT_NE(mini, frame);
        backend->ProcessMessages();
    }
    void TearDown() override
    {
        bar.DestroyWindow();
        if (::IsWindow(frameHandle))
            frame->DestroyWindow();
        AfxTest::TearDown();
    }
    // A caption's colour just inside its left end, as 0x00RRGGBB.
    uint32_t CaptionPixel(CWnd& wnd)
    {
        ::RedrawWindow(wnd.m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        cairo_surface_t* s = backend->Capture(wnd.m_hWnd);
        if (!s)
            return 0xFFFFFFFF;
        cairo_surface_flush(s);
        CRect window;
        wnd.GetWindowRect(&window);
        POINT origin{0, 0};
        ::ClientToScreen(wnd.m_hWnd, &origin);
        const int caption = (wnd.GetExStyle() & WS_EX_TOOLWINDOW) ? GetSystemMetrics(SM_CYSMCAPTION)
                                                                  : GetSystemMetrics(SM_CYCAPTION);
        const int x = origin.x - window.left + 1;
        const int y = origin.y - window.top - caption + 2;
        const auto* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s);
        const uint32_t value = reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFF;
        cairo_surface_destroy(s);
        return value;
    }
    static uint32_t ColorOf(int index)
    {
        const COLORREF c = GetSysColor(index);
        return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
    }
    std::pair<uint32_t, uint32_t> Captions() { return {CaptionPixel(*frame), CaptionPixel(*mini)}; }

    CFrameWnd* frame = new CFrameWnd;   // goes with its window
    HWND frameHandle = nullptr;
    CPaletteBar bar;
    CFrameWnd* mini = nullptr;
};

} // namespace

TEST_F(CFrameWndTest, FloatingWindowsLookActiveWithTheirFrameAndGoWithIt)
{
    frameHandle = frame->m_hWnd;
    const uint32_t active = ColorOf(COLOR_ACTIVECAPTION), inactive = ColorOf(COLOR_INACTIVECAPTION);
    EXPECT_EQ(Captions(), std::make_pair(active, active)) << "a palette made for an active frame starts active";

    // The activation goes to the palette: both stay active; then elsewhere: both go inactive.
    ::SetActiveWindow(mini->m_hWnd);
    EXPECT_EQ(Captions(), std::make_pair(active, active));
    EXPECT_TRUE(frame->m_nFlags & WF_STAYACTIVE);
    ::SetActiveWindow(top->m_hWnd);
    EXPECT_EQ(Captions(), std::make_pair(inactive, inactive));
    EXPECT_FALSE(frame->m_nFlags & WF_STAYACTIVE);
    ::SetActiveWindow(frame->m_hWnd);
    EXPECT_EQ(Captions(), std::make_pair(active, active));

    // Hidden and shown with the frame, and with its minimizing; a palette its bar's user
    // closed stays closed.
    frame->ShowWindow(SW_HIDE);
    EXPECT_FALSE(mini->IsWindowVisible());
    frame->ShowWindow(SW_SHOW);
    EXPECT_TRUE(mini->IsWindowVisible());
    frame->ShowWindow(SW_MINIMIZE);
    EXPECT_FALSE(mini->IsWindowVisible());
    frame->ShowWindow(SW_RESTORE);
    EXPECT_TRUE(mini->IsWindowVisible());
    frame->ShowControlBar(&bar, FALSE, FALSE);
    EXPECT_FALSE(mini->IsWindowVisible());
    frame->ShowWindow(SW_HIDE);
    frame->ShowWindow(SW_SHOW);
    EXPECT_FALSE(mini->IsWindowVisible()) << "the frame brings back only what it hid";
    frame->ShowControlBar(&bar, TRUE, FALSE);
    EXPECT_TRUE(mini->IsWindowVisible());
}

TEST_F(CFrameWndTest, AModalStateDisablesTheFrameAndWhatItOwnsUntilItEnds)
{
    frameHandle = frame->m_hWnd;
    CWnd tool;   // a window of the frame's that was already disabled stays so afterwards
    ASSERT_TRUE(tool.CreateEx(0, nullptr, "Tool", WS_POPUP | WS_VISIBLE, CRect(10, 10, 60, 60), frame, 0));
    tool.EnableWindow(FALSE);

    frame->BeginModalState();
    frame->BeginModalState();   // nested: only the outer end counts
    EXPECT_TRUE(frame->InModalState());
    EXPECT_FALSE(frame->IsWindowEnabled());
    EXPECT_FALSE(mini->IsWindowEnabled());
    // A dialog that ends enables its owner again: the frame stays disabled while the state lasts.
    ::EnableWindow(frame->m_hWnd, TRUE);
    EXPECT_FALSE(frame->IsWindowEnabled());
    frame->EndModalState();
    EXPECT_TRUE(frame->InModalState());
    EXPECT_FALSE(frame->IsWindowEnabled());
    frame->EndModalState();
    EXPECT_FALSE(frame->InModalState());
    EXPECT_TRUE(frame->IsWindowEnabled());
    EXPECT_TRUE(mini->IsWindowEnabled());
    EXPECT_FALSE(tool.IsWindowEnabled());
    frame->EndModalState();   // one end too many changes nothing
    EXPECT_TRUE(frame->IsWindowEnabled());

    // A modal dialog disables its owner: the floating windows follow, and come back with it;
    // a disabled frame does not look active.
    ::EnableWindow(frame->m_hWnd, FALSE);
    EXPECT_FALSE(mini->IsWindowEnabled());
    EXPECT_EQ(CaptionPixel(*frame), ColorOf(COLOR_INACTIVECAPTION));
    ::EnableWindow(frame->m_hWnd, TRUE);
    EXPECT_TRUE(mini->IsWindowEnabled());
    // A frame inside the frame (a document window) disabled on its own leaves them alone.
    auto* inner = new CFrameWnd;   // goes with its window
    ASSERT_TRUE(inner->Create(nullptr, "Inner", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 80), frame));
    inner->EnableWindow(FALSE);
    EXPECT_TRUE(mini->IsWindowEnabled());
    inner->DestroyWindow();
    tool.DestroyWindow();
}

namespace {

// The help asked for, instead of the message that no help is installed.
class CHelpApp : public CWinApp {
public:
    CHelpApp() : CWinApp("Notes") {}
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override { asked.emplace_back(dwData, nCmd); }
    std::vector<std::pair<DWORD_PTR, UINT>> asked;
};

} // namespace

TEST_F(CFrameWndTest, HelpNamesTheHighlightedCommandElseTheFramesResource)
{
    frameHandle = frame->m_hWnd;
    CHelpApp app;
    auto* notes = new CFrameWnd;
    ASSERT_TRUE(notes->LoadFrame(IDR_NOTES, WS_OVERLAPPEDWINDOW));
    app.m_pMainWnd = notes;
    using Asked = std::vector<std::pair<DWORD_PTR, UINT>>;

    app.OnHelp();
    EXPECT_EQ(app.asked, (Asked{{HID_BASE_RESOURCE + IDR_NOTES, HELP_CONTEXT}}));
    // A command highlighted in a menu, then the menu closed.
    app.asked.clear();
    HMENU menu = ::GetMenu(notes->m_hWnd);
    notes->SendMessage(WM_MENUSELECT, MAKEWPARAM(ID_NOTE_DOC, MF_STRING), reinterpret_cast<LPARAM>(menu));
    notes->SendMessage(WM_COMMANDHELP, 0, 0);
    notes->SendMessage(WM_MENUSELECT, MAKEWPARAM(0, 0xFFFF), 0);
    notes->SendMessage(WM_COMMANDHELP, 0, 0);
    EXPECT_TRUE(notes->SendMessage(WM_COMMANDHELP, 0, 77));
    EXPECT_EQ(app.asked, (Asked{{HID_BASE_COMMAND + ID_NOTE_DOC, HELP_CONTEXT},
                                {HID_BASE_RESOURCE + IDR_NOTES, HELP_CONTEXT},
                                {77, HELP_CONTEXT}}));

    // A frame without a resource has nothing to name: the application's general help.
    app.asked.clear();
    EXPECT_FALSE(frame->SendMessage(WM_COMMANDHELP, 0, 0));
    EXPECT_TRUE(app.asked.empty());
    app.m_pMainWnd = frame;
    app.OnHelp();
    EXPECT_EQ(app.asked, (Asked{{0, HELP_CONTEXT}}));
    app.m_pMainWnd = nullptr;
    notes->DestroyWindow();
}

TEST_F(CFrameWndTest, AnMdiFrameAsksItsActiveDocumentWindowFirst)
{
    frameHandle = frame->m_hWnd;
    CHelpApp app;
    auto* main = new CMDIFrameWnd;
    ASSERT_TRUE(main->Create(nullptr, "Site", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(10, 10, 500, 400)));
    main->m_hMenuDefault = nullptr;
    auto* child = new CMDIChildWnd;
    ASSERT_TRUE(child->LoadFrame(IDR_NOTES, WS_CHILD | WS_OVERLAPPEDWINDOW | WS_VISIBLE, main));
    ASSERT_EQ(main->MDIGetActive(), child);
    main->SendMessage(WM_COMMANDHELP, 0, 0);
    ASSERT_EQ(app.asked.size(), 1u);
    EXPECT_EQ(app.asked[0].first, HID_BASE_RESOURCE + IDR_NOTES) << "the document window's help";
    main->DestroyWindow();
}
