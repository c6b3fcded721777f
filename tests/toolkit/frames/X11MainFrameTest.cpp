// The toolkit's MDI frame on the X11 backend under Xvfb, set up like the program's main window:
// panes with grippers docked in rows on the left and the bottom with their splitters and edges,
// a document frame docked on the right, a floating pane and a document window in the client.
// The screen shows the splitters, grippers and the floating frame where the bars say they are.
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/StandardControls.h"
#include "tests/support/ScopedTempDir.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECDockBar.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECMDIFrameWnd.h"
#include "toolkit/frames/SECMultiDocTemplate.h"

#include <cstdlib>
#include <memory>
#include <optional>
#include <vector>
#include <string>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

class CSiteDoc : public CDocument {
    DECLARE_DYNCREATE(CSiteDoc)
};
IMPLEMENT_DYNCREATE(CSiteDoc, CDocument)

class CSiteView : public CView {
    DECLARE_DYNCREATE(CSiteView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_WINDOW));
        pDC->TextOut(8, 8, CString("index.html  keywords, description"));
    }
};
IMPLEMENT_DYNCREATE(CSiteView, CView)

uint32_t MainFrameRgb(COLORREF c)
{
    return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
}

} // namespace

using X11MainFrameTest = X11Test;

TEST_F(X11MainFrameTest, PanesInRowsAFloatingPaneAndADockedDocumentShowOnTheScreen)
{
    VOSTREL_REQUIRE(required_tools::NotOnPath({"xwd", "convert"}));
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    ScopedTempDir dir;
    ScopedEnv env("XDG_CONFIG_HOME", dir.Path());
    std::optional<CWinApp> app;
    app.emplace("ToolkitX11Frames");
    auto* tmpl = new SECMultiDocTemplate(30810, RUNTIME_CLASS(CSiteDoc), nullptr, RUNTIME_CLASS(CSiteView));
    app->AddDocTemplate(tmpl);

    std::vector<std::unique_ptr<CWnd>> edits;   // outlive the frame's windows
    auto* main = new SECMDIFrameWnd;   // goes with its window
    ASSERT_TRUE(main->Create(nullptr, "Vostrel", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(20, 20, 880, 640)));
    app->m_pMainWnd = main;
    main->EnableDocking(CBRS_ALIGN_ANY);

    // The program's panes: gripper with close and expand buttons, flat borders, inset client.
    auto pane = [&](const char* title, UINT id, DWORD align, const char* text) {
        auto* bar = new SECControlBar;
        bar->m_bAutoDelete = TRUE;
        EXPECT_TRUE(bar->Create(main, title, WS_VISIBLE | align | CBRS_TOOLTIPS | CBRS_SIZE_DYNAMIC, 0xF10 | CBRS_EX_SIZE_TO_FIT, id));
        edits.push_back(std::make_unique<CWnd>());
        CWnd* edit = edits.back().get();
        edit->CreateEx(WS_EX_CLIENTEDGE, "EDIT", text, WS_CHILD | WS_VISIBLE | ES_MULTILINE, CRect(0, 0, 10, 10), bar, 1);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        return std::make_pair(bar, edit);
    };
    auto project = pane("Project Area", 0xE901, CBRS_ALIGN_LEFT, "site/\r\n  index.html\r\n  about.html");
    auto files = pane("Settings", 0xE902, CBRS_ALIGN_LEFT, "Keywords\r\nDescription");
    auto output = pane("Output Area", 0xE903, CBRS_ALIGN_BOTTOM, "Scan Completed");
    auto notes = pane("Notes", 0xE904, CBRS_ALIGN_BOTTOM, "2 of 2 Files Scanned");
    // A floating pane is not fitted to its child: the child takes the floating size itself.
    auto props = pane("Properties", 0xE905, CBRS_ALIGN_TOP, "Floating pane");
    main->DockControlBarEx(project.first, SECDockPos{0, 0, 0}, AFX_IDW_DOCKBAR_LEFT, SECDockSize{0.6f, 190, 0});
    main->DockControlBarEx(files.first, SECDockPos{0, 5, 0}, AFX_IDW_DOCKBAR_LEFT, SECDockSize{0.4f, 190, 0});
    main->DockControlBarEx(output.first, SECDockPos{0, 0, 0}, AFX_IDW_DOCKBAR_BOTTOM, SECDockSize{0.7f, 110, 0});
    main->DockControlBarEx(notes.first, SECDockPos{0, 5, 0}, AFX_IDW_DOCKBAR_BOTTOM, SECDockSize{0.3f, 110, 0});
    props.first->m_szFloat = CSize(200, 90);
    props.second->MoveWindow(4, 4, 192, 82);
    main->FloatControlBar(props.first, CPoint(560, 120));

    // A document in the client and one docked on the right.
    CDocument* inClient = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(inClient, nullptr);
    POSITION pos = inClient->GetFirstViewPosition();
    CFrameWnd* child = inClient->GetNextView(pos)->GetParentFrame();
    CFrameWnd* docked = tmpl->DockFrame(child, AFX_IDW_DOCKBAR_RIGHT, nullptr, nullptr);
    ASSERT_NE(docked, nullptr);
    CDocument* second = tmpl->OpenDocumentFileEx(nullptr, TRUE, FALSE, 0);
    ASSERT_NE(second, nullptr);
    main->RecalcLayout();
    ASSERT_TRUE(Settle()) << "the frames never showed";
    main->RecalcLayout();
    main->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    ASSERT_TRUE(Settle()) << "the windows never settled";

    ASSERT_TRUE(props.first->IsFloating());
    EXPECT_TRUE(props.first->GetParentFrame()->IsWindowVisible());
    auto* left = static_cast<SECDockBar*>(main->GetControlBar(AFX_IDW_DOCKBAR_LEFT));
    ASSERT_FALSE(left->m_arrSplitters.empty());
    EXPECT_EQ(tmpl->GetDockSide(docked), 3);

    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/toolkit-mainframe.png").c_str());
    const SECGlobalData& data = SECGetGlobalData();
    // The splitter between the two left panes: face inside, frame colour on its far edge.
    for (auto& s : left->m_arrSplitters) {
        if (s->m_nKind != 1)
            continue;
        CRect r = s->m_rect;
        left->ClientToScreen(&r);
        EXPECT_EQ(PixelAt(shot, POINT{r.CenterPoint().x, r.top + 2}), MainFrameRgb(data.clrBtnFace));
        EXPECT_EQ(PixelAt(shot, POINT{r.CenterPoint().x, r.top}), MainFrameRgb(data.clrBtnHilite));
        EXPECT_EQ(PixelAt(shot, POINT{r.CenterPoint().x, r.bottom - 1}), MainFrameRgb(data.clrWindowFrame));
    }
    // The gripper's first grip line of the left pane runs across its top, raised.
    CRect bar;
    project.first->GetWindowRect(&bar);
    EXPECT_EQ(PixelAt(shot, POINT{bar.left + 20, bar.top + 6}), MainFrameRgb(data.clrBtnHilite)) << "inside the flat border";
    cairo_surface_destroy(shot);
    main->DestroyWindow();
    app.reset();
    MSG quit;   // the main window's quit must not end the next test's loops
    while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
}
