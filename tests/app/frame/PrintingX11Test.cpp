// Printing a long grid as the user meets it on the X server.
#include "tests/app/UserStepsX11Fixture.h"

#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/controls/CommonDialog.h"
#include "tests/support/PdfRaster.h"
#include "tests/support/X11KeyboardLetters.h"

namespace {

using PrintingX11Test = MainWindowStepsX11Test;

// A job of some two hundred sheets: while it runs, its window counts the pages on the screen
// and the grid stays drawn; Esc stops it with no file and no message, and the grid looks as it
// did and takes the next key. A job of the first two pages, left to run, writes them as the
// view draws them with nothing between its pages.
TEST_F(PrintingX11Test, ItShowsItsPageAndEscStopsItWithoutAFile)
{
    const std::string file = dir.Path() + "/Gitter-ß-π-表.pdf";
    X11KeyboardLetters letters(other, file);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    // The page's number is read on the screen, in the fonts the user sees.
    SetTestFontMode(false);
    ASSERT_TRUE(Start());
    constexpr int kPages = 9000;
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    for (int n = 1; n <= kPages; ++n)
        std::ofstream(site + "/p" + std::to_string(10000 + n) + ".htm") << "<html><head><title>Seite " << n << "</title></head></html>\n";
    SaveCatalogueShowing({"Description"});
    OpenSiteProject(0);
    ASSERT_EQ(app->ActivateGroupView(view), 0u);
    ASSERT_TRUE(ClickCell(1, 1));
    ASSERT_TRUE(RunUntil([&] { return view->GetRowCount() == kPages && IsCurrent(1, 1) && Settled(); }));
    cairo_surface_t* before = Shot("before-printing");
    const CRect cell = view->CalcCellRect(1, 1);

    const auto printing = [] { return ::FindWindow(nullptr, "Printing"); };
    const auto page = [&](UINT* pnPages = nullptr) {
        char text[64] = {};
        UINT nPage = 0, nPages = 0;
        ::GetDlgItemText(printing(), AFX_IDC_PRINT_PAGENUM, text, sizeof text);
        std::sscanf(text, "Page %u of %u", &nPage, &nPages);
        return pnPages ? (*pnPages = nPages, nPage) : nPage;
    };
    // Ctrl+P; the file typed over the Print dialog's field, then the keys and Enter; then the
    // user's further steps.
    const auto print = [&](const std::string& path, const std::string& keys, const std::function<void()>& then) {
        Type("the Print dialog", "^Print$", "alt+f");
        When("the Print dialog's file field has the focus", [] { return ::GetDlgCtrlID(::GetFocus()) == edt6; },
             [=, this] {
                 XdoNow("type --delay 10 '" + path + "'");
                 XdoNow("key --delay 30 " + keys + " Return");
             });
        then();
        return Xdo("key ctrl+p") && StepsTaken();
    };
    cairo_surface_t* first = nullptr;
    UINT nFirst = 0, nPages = 0, nAtEsc = 0;
    int nLabelRepainted = 0, nGridInk = 0;
    ASSERT_TRUE(print(file, "", [&] {
        When("the job's window shows its second page", [&] { return ViewableWindowTitled("Printing") && page() >= 2; },
             [&] {
                 nFirst = page(&nPages);
                 first = Shot("printing-first");
             });
        When("the job's window shows a later page", [&] { return page() >= nFirst + 2; }, [&] {
            cairo_surface_t* later = Shot("printing-later");
            const HWND label = ::GetDlgItem(printing(), AFX_IDC_PRINT_PAGENUM);
            CRect rect;
            ::GetClientRect(label, &rect);
            nLabelRepainted = DifferentPixels(first, later, label, rect);
            nGridInk = DarkPixels(later, cell, 0x60);
            nAtEsc = page();
            XdoNow("key Escape");
            cairo_surface_destroy(later);
        });
    }));
    cairo_surface_destroy(first);
    EXPECT_GT(nLabelRepainted, 0) << "the page's number was not painted anew";
    EXPECT_GT(nGridInk, 0) << "the grid was not drawn while the job ran";
    ASSERT_LT(nAtEsc, nPages) << "the job was at its end when Esc came";

    ASSERT_TRUE(RunUntil([&] { return printing() == nullptr && Settled(); }));
    EXPECT_EQ(::GetActiveWindow(), Frame().GetSafeHwnd()) << "a message or window stands over the main window";
    cairo_surface_t* after = Shot("after-printing");
    CRect client;
    view->GetClientRect(&client);
    EXPECT_EQ(DifferentPixels(before, after, view->GetSafeHwnd(), client), 0) << "the grid looks other than before the job";
    cairo_surface_destroy(before);
    cairo_surface_destroy(after);
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path()))
        EXPECT_NE(entry.path().filename().string().rfind("Gitter", 0), 0u) << entry.path() << " was left";
    ASSERT_TRUE(Xdo("key Down"));
    EXPECT_TRUE(RunUntil([&] { return IsCurrent(2, 1); }, 10000)) << "the key did not reach the grid";

    const std::string part = dir.Path() + "/part.pdf", drawn = dir.Path() + "/drawn.pdf";
    ASSERT_TRUE(print(part, "alt+p Tab 1 Tab 2", [] {}));
    ASSERT_TRUE(RunUntil([&] { return std::filesystem::exists(part) && printing() == nullptr; }));
    CPrintInfo info;
    CDC dc;
    ASSERT_TRUE(dc.Attach(::CreateDC(nullptr, "PDF file", nullptr, nullptr)));
    dc.m_bPrinting = TRUE;
    DOCINFO doc{sizeof(DOCINFO), "site", drawn.c_str(), nullptr, 0};
    view->OnBeginPrinting(&dc, &info);
    ASSERT_GT(dc.StartDoc(&doc), 0);
    for (info.m_nCurPage = 1; info.m_nCurPage <= 2; ++info.m_nCurPage) {
        view->OnPrepareDC(&dc, &info);
        ASSERT_TRUE(dc.StartPage() > 0 && (view->OnPrint(&dc, &info), dc.EndPage() > 0));
    }
    ASSERT_GT(dc.EndDoc(), 0);
    view->OnEndPrinting(&dc, &info);
    dc.DeleteDC();
    for (int nPage = 1; nPage <= 3; ++nPage) {
        PdfPage printed(part, nPage, 72), expected(drawn, nPage, 72);
        ASSERT_EQ(printed.Valid(), nPage <= 2) << "page " << nPage;
        for (int y = 0; y < expected.Height(); ++y)
            for (int x = 0; x < expected.Width(); ++x)
                ASSERT_EQ(printed.At(x, y), expected.At(x, y)) << "page " << nPage << " at " << x << ", " << y;
    }
}

} // namespace
