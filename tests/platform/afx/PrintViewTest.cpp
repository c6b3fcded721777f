#include "platform/afx/AfxFixture.h"

#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/bars/CStatusBar.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPreviewWnd.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/PrinterSettings.h"
#include "support/CommonDialogAutomation.h"
#include "support/PdfRaster.h"
#include "support/ScopedTempDir.h"

#include <cairo.h>

#include <string>
#include <vector>

namespace {

// Chooses the PDF file, as a person would in the print dialog.
void SetViewOutput(CPrintDialog& dlg, const std::string& file)
{
    PrinterSettings settings = PrinterSettings::From(dlg.m_pd.hDevMode, dlg.m_pd.hDevNames);
    settings.output = file;
    settings.To(dlg.m_pd.hDevMode, dlg.m_pd.hDevNames);
}

// A two-page view in tenths of an inch: page 1 has a block at one inch in, page 2 one lower
// down; both are headed by their number.
class PagesView : public CView {
public:
    std::string file;
    bool fileFromDialog = false;
    UINT pages = 2;
    std::vector<std::string> calls;
    CRect rectDraw;
    bool printingInPrepare = false;

    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        calls.push_back(pInfo->m_bDirect ? "prepare direct" : pInfo->m_bPreview ? "prepare preview" : "prepare");
        if (pages) {
            pInfo->SetMaxPage(pages);
        }
        if (!DoPreparePrinting(pInfo)) {
            return FALSE;
        }
        if (!fileFromDialog) {
            SetViewOutput(*pInfo->m_pPD, file);
        }
        return TRUE;
    }
    void OnBeginPrinting(CDC*, CPrintInfo*) override { calls.push_back("begin"); }
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo) override
    {
        CView::OnPrepareDC(pDC, pInfo);
        pDC->SetMapMode(MM_LOENGLISH);
        if (pInfo) {
            printingInPrepare = pDC->IsPrinting();
            calls.push_back("prepareDC " + std::to_string(pInfo->m_nCurPage));
        }
    }
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override
    {
        if (drawnByTheBase) {
            CView::OnPrint(pDC, pInfo);
            return;
        }
        rectDraw = pInfo->m_rectDraw;
        calls.push_back("print " + std::to_string(pInfo->m_nCurPage));
        int down = 100 * static_cast<int>(pInfo->m_nCurPage);
        pDC->FillSolidRect(CRect(100, -down, 300, -down - 100), RGB(0, 0, 0));
        CString label;
        label.Format("Page %u", pInfo->m_nCurPage);
        pDC->TextOut(0, 0, label);
    }
    void OnEndPrinting(CDC*, CPrintInfo*) override { calls.push_back("end"); }
    void OnDraw(CDC* pDC) override
    {
        if (pDC->IsPrinting())
            calls.push_back("draw");
    }
    bool drawnByTheBase = false;

    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PagesView, CView)
    ON_COMMAND(ID_FILE_PRINT, &CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_DIRECT, &CView::OnFilePrint)
    ON_COMMAND(ID_FILE_PRINT_PREVIEW, &CView::OnFilePrintPreview)
END_MESSAGE_MAP()

class PrintViewTest : public AfxTest {
protected:
    void SetUp() override
    {
        AfxTest::SetUp();
        view = new PagesView;   // a view deletes itself with its window
        view->file = dir.File("view.pdf");
        ASSERT_TRUE(view->Create(nullptr, "view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 150), top.get(), 1));
    }

    ScopedTempDir dir;
    PagesView* view = nullptr;
};

// Dark pixels of a window's capture inside a rectangle.
int DarkIn(cairo_surface_t* shot, const CRect& r)
{
    int n = 0;
    cairo_surface_flush(shot);
    const unsigned char* data = cairo_image_surface_get_data(shot);
    int stride = cairo_image_surface_get_stride(shot);
    for (int y = r.top; y < r.bottom; ++y) {
        for (int x = r.left; x < r.right; ++x) {
            uint32_t p = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride)[x];
            n += ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 96 ? 1 : 0;
        }
    }
    return n;
}

} // namespace

TEST_F(PrintViewTest, PrintingAViewWritesItsPagesToAPdf)
{
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"prepare direct", "begin", "prepareDC 1", "print 1", "prepareDC 2",
                                                     "print 2", "end"}));
    EXPECT_TRUE(view->printingInPrepare);
    // The printable area, in the view's units: 8 by 10.5 inches.
    EXPECT_EQ(view->rectDraw, CRect(0, 0, 800, -1050));

    const int o = 75;   // the quarter inch the printer cannot reach, at 300 dpi
    PdfPage page1(view->file, 1, 300);
    ASSERT_TRUE(page1.Valid());
    EXPECT_EQ(page1.DarkIn(o + 302, o + 302, o + 898, o + 598), 596 * 296);
    EXPECT_EQ(page1.DarkIn(o + 302, o + 602, o + 898, o + 898), 0);
    EXPECT_GT(page1.DarkIn(o, o, o + 200, o + 60), 50);   // the heading
    PdfPage page2(view->file, 2, 300);
    ASSERT_TRUE(page2.Valid());
    EXPECT_EQ(page2.DarkIn(o + 302, o + 302, o + 898, o + 598), 0);
    EXPECT_EQ(page2.DarkIn(o + 302, o + 602, o + 898, o + 898), 596 * 296);
    EXPECT_FALSE(PdfPage(view->file, 3, 300).Valid());

    // A view that does not count its pages prints one.
    view->calls.clear();
    view->pages = 0;
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"prepare direct", "begin", "prepareDC 1", "print 1", "prepareDC 2", "end"}));
    EXPECT_TRUE(PdfPage(view->file, 1, 300).Valid());
    EXPECT_FALSE(PdfPage(view->file, 2, 300).Valid());

    // The framework's own OnPrint draws the page the print loop has prepared already.
    view->calls.clear();
    view->pages = 2;
    view->drawnByTheBase = true;
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"prepare direct", "begin", "prepareDC 1", "draw", "prepareDC 2",
                                                     "draw", "end"}));
}

TEST_F(PrintViewTest, ThePrintDialogChoosesTheFileAndThePages)
{
    view->fileFromDialog = true;
    view->pages = 3;
    auto retype = [this](HWND dlg, int id, const std::string& text) {
        dialog_automation::Retype(*backend, GetDlgItem(dlg, id), text);
    };
    std::string file = dir.File("chosen.pdf");
    dialog_automation::WhenWindowOpens(
        *backend, [] { return dialog_automation::DialogWith({cmb1, edt6, IDOK}); },
        [&](HWND dlg) {
            retype(dlg, edt6, file);
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, rad3)));
            retype(dlg, edt1, "2");
            retype(dlg, edt2, "2");
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, IDOK)));
        },
        nullptr);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"prepare", "begin", "prepareDC 2", "print 2", "end"}));
    PdfPage only(file, 1, 300);
    ASSERT_TRUE(only.Valid());
    EXPECT_EQ(only.DarkIn(75 + 302, 75 + 602, 75 + 898, 75 + 898), 596 * 296);
    EXPECT_FALSE(PdfPage(file, 2, 300).Valid());

    // Cancel prints nothing.
    view->calls.clear();
    dialog_automation::WhenWindowOpens(
        *backend, [] { return dialog_automation::DialogWith({cmb1, edt6, IDOK}); },
        [&](HWND dlg) { backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, IDCANCEL))); }, nullptr);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT, 0);
    EXPECT_EQ(view->calls, (std::vector<std::string>{"prepare"}));
}

TEST_F(PrintViewTest, PrintSetupChoosesWhereTheApplicationPrints)
{
    CWinApp app("PrintTest");
    ASSERT_EQ(AfxGetApp(), &app);
    view->fileFromDialog = true;
    std::string file = dir.File("setup.pdf");
    dialog_automation::WhenWindowOpens(
        *backend, [] { return dialog_automation::DialogWith({edt6, IDOK}); },
        [&](HWND dlg) {
            dialog_automation::Retype(*backend, GetDlgItem(dlg, edt6), file);
            backend->Click(1, dialog_automation::CentreOf(GetDlgItem(dlg, IDOK)));
        },
        nullptr);
    app.OnFilePrintSetup();
    // Printing without a dialog now goes where Print Setup said, every time.
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_TRUE(PdfPage(file, 2, 300).Valid());
    std::filesystem::remove(file);
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    EXPECT_TRUE(PdfPage(file, 1, 300).Valid());
}

TEST_F(PrintViewTest, AFailedJobLeavesTheEarlierFile)
{
    dir.WriteFile("view.pdf", "earlier");
    view->file = dir.File("missing/view.pdf");
    // The message box that reports the failure is answered at once.
    backend->WhenIdle([] { PostQuitMessage(0); });
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_DIRECT, 0);
    MSG quit;
    while (PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    EXPECT_EQ(view->calls, (std::vector<std::string>{"prepare direct", "begin", "end"}));
    std::ifstream in(dir.File("view.pdf"));
    std::string content((std::istreambuf_iterator<char>(in)), {});
    EXPECT_EQ(content, "earlier");
}

TEST_F(PrintViewTest, PreviewShowsThePagesScaledWithNextAndPrev)
{
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    HWND previewWnd = FindWindow(nullptr, "Print Preview");
    ASSERT_NE(previewWnd, nullptr);
    auto* preview = static_cast<CPreviewWnd*>(CWnd::FromHandlePermanent(previewWnd));
    ASSERT_NE(preview, nullptr);
    backend->ProcessMessages();
    EXPECT_EQ(preview->GetCurrentPage(), 1u);
    EXPECT_TRUE(preview->CanGoNext());
    EXPECT_FALSE(preview->CanGoPrev());

    // The block of page 1 lies one to three inches across and one to two down the printable
    // area, on a sheet scaled to the window.
    auto blockOf = [&](int top) {
        CRect sheet = preview->GetSheetRect();
        double scale = sheet.Width() / 8.5;   // pixels per inch
        CPoint origin = sheet.TopLeft();
        POINT client{0, 0};
        ::ClientToScreen(previewWnd, &client);
        RECT window;
        ::GetWindowRect(previewWnd, &window);
        int dx = client.x - window.left;
        int dy = client.y - window.top;
        auto at = [&](double inches) { return static_cast<int>(inches * scale); };
        return CRect(dx + origin.x + at(0.25 + 1) + 2, dy + origin.y + at(0.25 + top) + 2,
                     dx + origin.x + at(0.25 + 3) - 2, dy + origin.y + at(0.25 + top + 1) - 2);
    };
    cairo_surface_t* shot = backend->Capture(previewWnd);
    ASSERT_NE(shot, nullptr);
    CRect block1 = blockOf(1);
    CRect block2 = blockOf(2);
    EXPECT_EQ(DarkIn(shot, block1), block1.Width() * block1.Height());
    EXPECT_EQ(DarkIn(shot, block2), 0);
    cairo_surface_destroy(shot);

    ::SendMessage(previewWnd, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
    backend->ProcessMessages();
    EXPECT_EQ(preview->GetCurrentPage(), 2u);
    EXPECT_FALSE(preview->CanGoNext());
    EXPECT_TRUE(preview->CanGoPrev());
    shot = backend->Capture(previewWnd);
    EXPECT_EQ(DarkIn(shot, block1), 0);
    EXPECT_EQ(DarkIn(shot, block2), block2.Width() * block2.Height());
    cairo_surface_destroy(shot);
    if (const char* keep = std::getenv("VOSTREL_PREVIEW_PNG")) {
        backend->WritePng(previewWnd, keep);
    }

    ::SendMessage(previewWnd, WM_COMMAND, AFX_ID_PREVIEW_PREV, 0);
    EXPECT_EQ(preview->GetCurrentPage(), 1u);
    EXPECT_EQ(::GetWindow(previewWnd, GW_OWNER), top->m_hWnd);
    ::SendMessage(previewWnd, WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
    backend->ProcessMessages();
    EXPECT_FALSE(::IsWindow(previewWnd));
    EXPECT_EQ(view->calls.front(), "prepare preview");
    EXPECT_EQ(view->calls.back(), "end");
    // Previewing writes nothing.
    EXPECT_FALSE(std::filesystem::exists(view->file));

    // A preview left open goes with the window that owns it.
    view->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    ASSERT_NE(FindWindow(nullptr, "Print Preview"), nullptr);
    top.reset();
    backend->ProcessMessages();
    EXPECT_EQ(FindWindow(nullptr, "Print Preview"), nullptr);
}

TEST_F(PrintViewTest, InAFramePreviewTakesTheViewsPlaceAndGivesItBack)
{
    // A frame with its view, a tool bar, a status bar, a menu and keys.
    auto* frame = new CFrameWnd;   // goes with its window
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Pages", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 30, 30, 600, 500, nullptr,
                                nullptr));
    auto* framed = new PagesView;
    framed->file = dir.File("framed.pdf");
    ASSERT_TRUE(framed->Create(nullptr, "view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    frame->SetActiveView(framed, FALSE);
    class CBlockBar : public CControlBar {
    public:
        CSize CalcFixedLayout(BOOL, BOOL) override { return CSize(600, 26); }
        void OnUpdateCmdUI(CFrameWnd*, BOOL) override {}
    } bar;
    bar.m_dwStyle = CBRS_TOP;
    ASSERT_TRUE(bar.Create(AfxControlBarClass(), "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), frame, 0xE810));
    CStatusBar status;
    ASSERT_TRUE(status.Create(frame));
    HMENU menu = ::CreateMenu();
    ::AppendMenu(menu, MF_STRING, ID_FILE_PRINT_PREVIEW, "&Preview");
    ::SetMenu(frame->m_hWnd, menu);
    ACCEL key{FVIRTKEY, VK_F5, ID_FILE_PRINT_PREVIEW};
    frame->m_hAccelTable = ::CreateAcceleratorTable(&key, 1);
    const HACCEL keys = frame->m_hAccelTable;
    frame->RecalcLayout();
    CRect viewPlace;
    framed->GetWindowRect(&viewPlace);

    framed->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    backend->ProcessMessages();
    auto* preview = dynamic_cast<CPreviewWnd*>(frame->GetDlgItem(AFX_IDW_PANE_FIRST));
    ASSERT_NE(preview, nullptr) << "the preview is the frame's pane";
    EXPECT_EQ(preview->GetPreviewFrame(), frame);
    EXPECT_TRUE(frame->IsInPreview());
    EXPECT_FALSE(framed->IsWindowVisible());
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_TRUE(status.IsWindowVisible()) << "the status bar stays";
    EXPECT_EQ(::GetMenu(frame->m_hWnd), nullptr);
    EXPECT_EQ(frame->m_hAccelTable, nullptr);
    CRect previewPlace;
    preview->GetWindowRect(&previewPlace);
    CRect statusPlace;
    status.GetWindowRect(&statusPlace);
    POINT clientTop{0, 0};
    ::ClientToScreen(frame->m_hWnd, &clientTop);
    EXPECT_EQ(previewPlace.top, clientTop.y) << "it takes the bar's room too";
    EXPECT_EQ(previewPlace.bottom, statusPlace.top);
    EXPECT_EQ(preview->GetCurrentPage(), 1u);
    ::SendMessage(preview->m_hWnd, WM_COMMAND, AFX_ID_PREVIEW_NEXT, 0);
    EXPECT_EQ(preview->GetCurrentPage(), 2u);

    // Closing the frame closes the preview first; the frame stays, with all it put aside.
    const HWND previewHandle = preview->m_hWnd;
    frame->SendMessage(WM_CLOSE);
    backend->ProcessMessages();
    EXPECT_FALSE(::IsWindow(previewHandle));
    ASSERT_TRUE(::IsWindow(frame->m_hWnd));
    EXPECT_FALSE(frame->IsInPreview());
    EXPECT_EQ(frame->GetDlgItem(AFX_IDW_PANE_FIRST), framed);
    EXPECT_TRUE(framed->IsWindowVisible());
    CRect back;
    framed->GetWindowRect(&back);
    EXPECT_EQ(back, viewPlace);
    EXPECT_TRUE(bar.IsWindowVisible());
    EXPECT_EQ(::GetMenu(frame->m_hWnd), menu);
    EXPECT_EQ(frame->m_hAccelTable, keys);
    EXPECT_EQ(framed->calls.back(), "end");
    EXPECT_FALSE(std::filesystem::exists(framed->file)) << "previewing writes nothing";

    // Its own Close button does the same.
    framed->SendMessage(WM_COMMAND, ID_FILE_PRINT_PREVIEW, 0);
    preview = dynamic_cast<CPreviewWnd*>(frame->GetDlgItem(AFX_IDW_PANE_FIRST));
    ASSERT_NE(preview, nullptr);
    ::SendMessage(preview->m_hWnd, WM_COMMAND, AFX_ID_PREVIEW_CLOSE, 0);
    EXPECT_EQ(frame->GetDlgItem(AFX_IDW_PANE_FIRST), framed);
    EXPECT_TRUE(bar.IsWindowVisible());
    bar.DestroyWindow();
    status.DestroyWindow();
    frame->DestroyWindow();
}
