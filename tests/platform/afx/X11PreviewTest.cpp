// Print preview on the X11 backend under Xvfb: the sheet on the screen shows the page's block
// where the printout has it.
#include "platform/afx/doc/CPreviewWnd.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/StandardControls.h"

#include <cstdio>
#include <cstring>

#include "tests/platform/win/X11TestFixture.h"
#include "tests/support/ScreenCapture.h"

using screen_capture::Screenshot;

namespace {

// One page with a block one to three inches across and one to two inches down.
class BlockView : public CView {
public:
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(1);
        return DoPreparePrinting(pInfo);
    }
    void OnPrint(CDC* pDC, CPrintInfo*) override
    {
        pDC->SetMapMode(MM_LOENGLISH);
        pDC->FillSolidRect(CRect(100, -100, 300, -200), RGB(0, 0, 0));
        pDC->TextOut(0, 0, CString("Preview"));
    }
    void OnDraw(CDC*) override {}
};

bool Dark(cairo_surface_t* s, int x, int y)
{
    const uint8_t* row = cairo_image_surface_get_data(s) + static_cast<size_t>(y) * cairo_image_surface_get_stride(s);
    uint32_t p = reinterpret_cast<const uint32_t*>(row)[x];
    return ((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 96;
}

} // namespace

class X11PreviewTest : public X11Test {
protected:
    bool TakesScreenshots() const override { return true; }
    void SetUp() override
    {
        X11Test::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        RegisterStandardControls();
    }
    void TearDown() override
    {
        // A test that stopped half way leaves its window; it goes while the backend is there.
        if (top.GetSafeHwnd())
            top.DestroyWindow();
        X11Test::TearDown();
    }
    // Shows the view (which goes with its window) in a small top-level window of its own and
    // opens its print preview: the preview's window, or null when it did not open.
    CPreviewWnd* OpenPreview(CView* view)
    {
        if (!top.CreateEx(0, nullptr, "Top", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 700, 20, 200, 100, nullptr, nullptr) ||
            !view->Create(nullptr, "view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 50), &top, 1))
            return nullptr;
        view->OnFilePrintPreview();
        HWND previewWnd = FindWindow(nullptr, "Print Preview");
        return previewWnd ? static_cast<CPreviewWnd*>(CWnd::FromHandlePermanent(previewWnd)) : nullptr;
    }

    CWnd top;
};

TEST_F(X11PreviewTest, TheSheetOnTheScreenShowsThePage)
{
    CPreviewWnd* preview = OpenPreview(new BlockView);
    ASSERT_NE(preview, nullptr) << "the preview did not open";
    HWND previewWnd = preview->m_hWnd;
    ASSERT_TRUE(Settle()) << "the windows never settled";
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (const char* keep = std::getenv("VOSTREL_PREVIEW_SHOT"))
        cairo_surface_write_to_png(shot, keep);

    CRect sheet = preview->GetSheetRect();
    POINT origin{sheet.left, sheet.top};
    ::ClientToScreen(previewWnd, &origin);
    const double inch = sheet.Width() / 8.5;
    auto at = [&](double x, double y) {
        return Dark(shot, origin.x + static_cast<int>((0.25 + x) * inch), origin.y + static_cast<int>((0.25 + y) * inch));
    };
    EXPECT_TRUE(at(1.1, 1.1));
    EXPECT_TRUE(at(2.9, 1.9));
    EXPECT_FALSE(at(3.2, 1.5));
    EXPECT_FALSE(at(2.0, 2.2));
    EXPECT_FALSE(at(5.0, 8.0));
    // The sheet's frame and its shadow on the grey desk.
    EXPECT_TRUE(Dark(shot, origin.x, origin.y + sheet.Height() / 2));
    EXPECT_TRUE(Dark(shot, origin.x + sheet.Width() + 2, origin.y + sheet.Height() / 2));
    cairo_surface_destroy(shot);
    ::DestroyWindow(previewWnd);
    top.DestroyWindow();
}

TEST_F(X11PreviewTest, InAFrameThePreviewFillsThePanesPlace)
{
    const char* keep = std::getenv("VOSTREL_KEEP_SCREENSHOTS");
    if (keep)
        SetTestFontMode(false);
    auto* frame = new CFrameWnd;   // goes with its window
    ASSERT_TRUE(frame->CreateEx(0, nullptr, "Pages", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 20, 20, 520, 600, nullptr,
                                nullptr));
    auto* view = new BlockView;   // goes with its window
    ASSERT_TRUE(view->Create(nullptr, "view", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), frame, AFX_IDW_PANE_FIRST));
    frame->SetActiveView(view, FALSE);
    frame->RecalcLayout();
    view->OnFilePrintPreview();
    auto* preview = dynamic_cast<CPreviewWnd*>(frame->GetDlgItem(AFX_IDW_PANE_FIRST));
    ASSERT_NE(preview, nullptr);
    ASSERT_TRUE(Settle()) << "the windows never settled";
    cairo_surface_t* shot = Screenshot(server->DisplayName());
    ASSERT_NE(shot, nullptr);
    if (keep)
        cairo_surface_write_to_png(shot, (std::string(keep) + "/preview-in-frame.png").c_str());
    // The pane fills the frame's client area, and its sheet shows the page's block.
    CRect client, pane;
    frame->GetClientRect(&client);
    preview->GetClientRect(&pane);
    EXPECT_EQ(pane.Size(), client.Size());
    CRect sheet = preview->GetSheetRect();
    POINT origin{sheet.left, sheet.top};
    ::ClientToScreen(preview->m_hWnd, &origin);
    const double inch = sheet.Width() / 8.5;
    EXPECT_TRUE(Dark(shot, origin.x + static_cast<int>(2.25 * inch), origin.y + static_cast<int>(1.75 * inch)));
    EXPECT_FALSE(Dark(shot, origin.x + static_cast<int>(5.25 * inch), origin.y + static_cast<int>(8.25 * inch)));
    cairo_surface_destroy(shot);
    frame->SendMessage(WM_CLOSE);   // the preview goes, the frame stays
    EXPECT_EQ(frame->GetDlgItem(AFX_IDW_PANE_FIRST), view);
    frame->DestroyWindow();
}

namespace {

// A page of thin rules one below another, as a grid prints its row lines: one pixel high, three
// pixels apart on the printer's page.
class RulesView : public CView {
public:
    static constexpr int kFirst = 72;
    static constexpr int kCount = 60;
    static constexpr int kStep = 3;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override
    {
        pInfo->SetMaxPage(1);
        return DoPreparePrinting(pInfo);
    }
    void OnPrint(CDC* pDC, CPrintInfo*) override
    {
        for (int i = 0; i < kCount; ++i)
            pDC->FillSolidRect(CRect(72, kFirst + i * kStep, 360, kFirst + i * kStep + 1), RGB(0, 0, 0));
    }
    void OnDraw(CDC*) override {}
};

} // namespace

// The preview is smaller than the page image: every rule of the page still shows on the sheet.
TEST_F(X11PreviewTest, EveryThinRuleOfThePageShowsOnTheSmallerSheet)
{
    CPreviewWnd* preview = OpenPreview(new RulesView);
    ASSERT_NE(preview, nullptr) << "the preview did not open";
    HWND previewWnd = preview->m_hWnd;
    CRect sheet = preview->GetSheetRect();
    ASSERT_TRUE(PumpUntil([&] { return ::IsWindowVisible(previewWnd) && !::GetUpdateRect(previewWnd, nullptr, FALSE); }, 60000))
        << "the preview was not painted";
    // The screen shows the sheet once the server has the painted window: its white margin
    // beside the first rule.
    POINT margin{sheet.left + 4, sheet.top + sheet.Height() / 8};
    ::ClientToScreen(previewWnd, &margin);
    cairo_surface_t* shot = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        backend->Sync();
        if (shot)
            cairo_surface_destroy(shot);
        shot = Screenshot(server->DisplayName());
        if (!shot)
            return false;
        const uint8_t* row = cairo_image_surface_get_data(shot) + static_cast<size_t>(margin.y) * cairo_image_surface_get_stride(shot);
        return (reinterpret_cast<const uint32_t*>(row)[margin.x] & 0xFFFFFF) == 0xFFFFFF;
    }, 60000)) << "the sheet never showed on the screen";
    // At 72 dots an inch a letter sheet is 792 dots high, the printable page 756 from a quarter
    // inch down; the sheet on the screen is smaller.
    constexpr int kSheetDots = 792, kPageDots = 756, kOffsetDots = 18;
    ASSERT_LT(sheet.Height(), kSheetDots) << "the sheet is not smaller than the page image";
    const int pageTop = sheet.top + kOffsetDots * sheet.Height() / kSheetDots;
    const int pageH = kPageDots * sheet.Height() / kSheetDots;
    POINT origin{sheet.left + sheet.Width() / 3, pageTop};
    ::ClientToScreen(previewWnd, &origin);
    // The screen row that holds each rule's row of the page.
    int shown = 0;
    for (int i = 0; i < RulesView::kCount; ++i) {
        const int rule = RulesView::kFirst + i * RulesView::kStep;
        int d = rule * pageH / kPageDots;
        while (d > 0 && d * kPageDots / pageH > rule)
            --d;
        while ((d + 1) * kPageDots / pageH <= rule)
            ++d;
        const uint8_t* row =
            cairo_image_surface_get_data(shot) + static_cast<size_t>(origin.y + d) * cairo_image_surface_get_stride(shot);
        shown += (reinterpret_cast<const uint32_t*>(row)[origin.x] & 0xFFFFFF) != 0xFFFFFF ? 1 : 0;
    }
    cairo_surface_destroy(shot);
    ::DestroyWindow(previewWnd);
    top.DestroyWindow();
    EXPECT_EQ(shown, RulesView::kCount) << "rules dropped from the preview";
}
