// A small document program built only on the framework, run on the X11 backend under Xvfb: an
// MDI frame from its resources with a status bar and a floating tool palette, two documents in
// tiled windows, an accelerator and Ctrl+F6 typed by another X client reaching the active view
// through the application's message loop, idle updates, the views on the screen, and the active
// view printed to a PDF.
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/MdiClient.h"
#include "platform/controls/PrinterSettings.h"
#include "platform/controls/StandardControls.h"
#include "tests/platform/afx/data/NotesIds.h"
#include "tests/support/PdfRaster.h"
#include "tests/support/ScopedTempDir.h"

#include <chrono>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::PixelAt;
using screen_capture::Screenshot;

namespace {

std::vector<std::string>& Heard()
{
    static std::vector<std::string> heard;
    return heard;
}
std::string& PdfPath()
{
    static std::string path;
    return path;
}

class CSheetDoc : public CDocument {
    DECLARE_DYNCREATE(CSheetDoc)
public:
    void OnShared() { Heard().push_back("shared in " + std::string(GetTitle().GetString())); }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CSheetDoc, CDocument)
BEGIN_MESSAGE_MAP(CSheetDoc, CDocument)
    ON_COMMAND(ID_NOTE_SHARED, &CSheetDoc::OnShared)
END_MESSAGE_MAP()

// A block in the view's top-left corner, on the screen and on paper.
class CSheetView : public CView {
    DECLARE_DYNCREATE(CSheetView)
public:
    void OnDraw(CDC* pDC) override
    {
        if (pDC->IsPrinting())
            pDC->SetMapMode(MM_LOENGLISH);
        const int sign = pDC->IsPrinting() ? -1 : 1;
        pDC->FillSolidRect(CRect(10, 10 * sign, 60, 40 * sign), RGB(0, 0, 128));
    }
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(1);
        if (!DoPreparePrinting(pInfo))
            return FALSE;
        PrinterSettings settings = PrinterSettings::From(pInfo->m_pPD->m_pd.hDevMode, pInfo->m_pPD->m_pd.hDevNames);
        settings.output = PdfPath();
        settings.To(pInfo->m_pPD->m_pd.hDevMode, pInfo->m_pPD->m_pd.hDevNames);
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(CSheetView, CView)
BEGIN_MESSAGE_MAP(CSheetView, CView)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, &CView::OnFilePrint)
END_MESSAGE_MAP()

class CSheetsApp : public CWinApp {
public:
    CSheetsApp() : CWinApp("Sheets") {}
    DECLARE_MESSAGE_MAP()
};
BEGIN_MESSAGE_MAP(CSheetsApp, CWinApp)
    ON_COMMAND(ID_FILE_NEW, &CWinApp::OnFileNew)
END_MESSAGE_MAP()

// A palette that only takes room.
class CShownPaletteBar : public CControlBar {
public:
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override { return bHorz ? CSize(96, 24) : CSize(24, 96); }
    void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
};

class X11MdiProgramTest : public X11Test {
protected:
    bool TakesScreenshots() const override { return true; }
    void Type(HWND top, KeySym keysym, bool ctrl = false)
    {
        if (ctrl)
            SendKeyEvent(top, XK_Control_L, 0, KeyPress);
        const unsigned int state = ctrl ? ControlMask : 0;
        SendKey(top, keysym, state);
        if (ctrl)
            SendKeyEvent(top, XK_Control_L, ControlMask, KeyRelease);
    }
    // The application's own loop, bounded: each message offered to PreTranslateMessage, idle
    // work when the queue is empty.
    bool RunUntil(CWinApp& app, const std::function<bool()>& done, int ms = 60000)
    {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
        for (;;) {
            MSG msg;
            while (PeekMessage(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (app.PreTranslateMessage(&msg))
                    continue;
                TranslateMessage(&msg);
                DispatchMessage(&msg);
            }
            for (LONG count = 0; app.OnIdle(count); ++count) {
            }
            if (done())
                return true;
            if (std::chrono::steady_clock::now() >= deadline)
                return false;
            GetWindowBackend().PumpEvents(5);
        }
    }
};

} // namespace

TEST_F(X11MdiProgramTest, DocumentsViewsKeysIdleUpdatesAndPrintingRunOnTheScreen)
{
    RegisterStandardControls();
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    ScopedTempDir dir;
    ScopedEnv config("XDG_CONFIG_HOME", dir.Path());
    PdfPath() = dir.File("sheet.pdf");
    Heard().clear();

    std::optional<CSheetsApp> app(std::in_place);
    app->AddDocTemplate(new CMultiDocTemplate(IDR_NOTES, RUNTIME_CLASS(CSheetDoc), RUNTIME_CLASS(CMDIChildWnd),
                                              RUNTIME_CLASS(CSheetView)));
    auto* frame = new CMDIFrameWnd;   // goes with its window
    ASSERT_TRUE(frame->LoadFrame(IDR_NOTES, WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE));
    app->m_pMainWnd = frame;
    CStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    const UINT indicators[] = {ID_SEPARATOR};
    ASSERT_TRUE(status.SetIndicators(indicators, 1));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    CShownPaletteBar palette;
    palette.m_dwStyle = CBRS_TOP;
    ASSERT_TRUE(palette.Create(AfxControlBarClass(), "Palette", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), frame, 0xE810));
    palette.EnableDocking(CBRS_ALIGN_ANY);
    frame->MoveWindow(20, 20, 560, 420);
    frame->ShowWindow(SW_SHOW);
    frame->FloatControlBar(&palette, CPoint(440, 60));
    app->OnFileNew();
    app->OnFileNew();
    ASSERT_NE(frame->MDIGetActive(), nullptr);
    frame->MDITile(MDITILE_VERTICAL);
    ASSERT_TRUE(RunUntil(*app, [&] { return ::GetActiveWindow() == frame->m_hWnd; }));

    // F5 from the keyboard: the frame's keys send the command to the active view's document.
    const CString second = frame->MDIGetActive()->GetActiveDocument()->GetTitle();
    Type(frame->m_hWnd, XK_F5);
    ASSERT_TRUE(RunUntil(*app, [] { return !Heard().empty(); }));
    EXPECT_EQ(Heard().back(), "shared in " + std::string(second.GetString()));
    // Ctrl+F6 goes to the other window, and F5 then reaches its document.
    Type(frame->m_hWnd, XK_F6, true);
    ASSERT_TRUE(RunUntil(*app, [&] { return frame->MDIGetActive()->GetActiveDocument()->GetTitle() != second; }));
    const CString first = frame->MDIGetActive()->GetActiveDocument()->GetTitle();
    Type(frame->m_hWnd, XK_F5);
    ASSERT_TRUE(RunUntil(*app, [] { return Heard().size() == 2; }));
    EXPECT_EQ(Heard().back(), "shared in " + std::string(first.GetString()));
    // Idle time brought the title and the status bar's prompt up to date.
    CString title, prompt;
    EXPECT_TRUE(RunUntil(*app, [&] {
        frame->GetWindowText(title);
        status.GetWindowText(prompt);
        return title.Find(first) != -1 && prompt == "Ready";
    })) << title.GetString() << " / " << prompt.GetString();

    {
        // What the screen shows.
        ASSERT_TRUE(SettleWith([&](const std::function<bool()>& done, int ms) { return RunUntil(*app, done, ms); }));
        cairo_surface_t* shot = Screenshot(server->DisplayName());
        ASSERT_NE(shot, nullptr);
        if (keep)
            cairo_surface_write_to_png(shot, (std::string(keep) + "/mdi-program.png").c_str());
        // Both tiled views show their block; the palette's caption looks active with the frame.
        int views = 0;
        for (HWND child = ::GetWindow(frame->m_hWndMDIClient, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
            auto* window = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(child));
            if (!window || !window->GetActiveView())
                continue;
            ++views;
            POINT inBlock{30, 25};
            ::ClientToScreen(window->GetActiveView()->m_hWnd, &inBlock);
            EXPECT_EQ(PixelAt(shot, inBlock), 0x000080u) << window->GetActiveDocument()->GetTitle().GetString();
        }
        EXPECT_EQ(views, 2);
        CRect paletteFrame;
        palette.GetParentFrame()->GetWindowRect(&paletteFrame);
        const COLORREF caption = ::GetSysColor(COLOR_ACTIVECAPTION);
        EXPECT_EQ(PixelAt(shot, POINT{paletteFrame.left + 5, paletteFrame.top + 5}),
                  static_cast<uint32_t>((GetRValue(caption) << 16) | (GetGValue(caption) << 8) | GetBValue(caption)));
        cairo_surface_destroy(shot);
    }

    // The active view on paper: its block an inch wide at a tenth of an inch in.
    frame->MDIGetActive()->GetActiveView()->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    PdfPage page(PdfPath(), 1, 100);
    ASSERT_TRUE(page.Valid());
    const int o = 25;   // the quarter inch the printer cannot reach, at 100 dpi
    EXPECT_EQ(page.DarkIn(o + 12, o + 12, o + 58, o + 38), 46 * 26);

    palette.DestroyWindow();
    status.DestroyWindow();
    frame->DestroyWindow();
    app.reset();
    MSG quit;
    ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
}
