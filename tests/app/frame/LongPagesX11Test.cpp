// A long page as a site may hold one (a manual of some tens of megabytes in one file) is previewed
// as a short one is: the status bar names the work and moves its meter, Esc and Yes stop it at any
// part with nothing shown, and let run, the Preview shows the whole page on both sides in memory
// of a small multiple of what it shows.
#include "app/dialogs/CPreviewDlg.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/app/ShownPreview.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/PeakGrowth.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"
#include "toolkit/editor/SECEditDoc.h"

#include <fstream>

namespace {

// The most memory the Preview of a page may take, in sizes of the page: it shows the page twice,
// each line held apart.
constexpr size_t kPeakInPages = 6;

// A UTF-8 manual of about 24 MB, its paragraphs one line each, with a script and a style sheet in
// its head; its line count.
std::string LongManual(size_t& nLines)
{
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>Εγχειρίδιο</title>\n"
                       "<style>p:before{content:\"\xE2\x80\xA2\"}</style>\n<script>var s = \"→\";</script>\n"
                       "</head><body>\n";
    nLines = 6;
    for (int i = 0; page.size() < (24u << 20); ++i, ++nLines)
        page += "<p>" + std::to_string(i) + " Ωμέγα café straße &mdash; 日本語のページ, Привет мир.</p>\n";
    page += "</body></html>\n";
    ++nLines;
    return page;
}

class LongPagesX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        GXGetLongOperationState().m_nFirstWait = m_nFirstWait;
        MainWindowStepsX11Test::TearDown();
    }
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    // The Preview's meter while it offers Esc; -1 when it does not show.
    int PreparingPercent()
    {
        const std::string text = StatusText();
        const size_t at = text.find('%');
        if (text.rfind("Preparing the Preview of ", 0) != 0 || at == std::string::npos ||
            text.find("Press ESC to cancel") == std::string::npos)
            return -1;
        size_t from = at;
        while (from > 0 && std::isdigit(static_cast<unsigned char>(text[from - 1])))
            --from;
        return from < at ? std::atoi(text.substr(from, at - from).c_str()) : -1;
    }

    DWORD m_nFirstWait = GXGetLongOperationState().m_nFirstWait;
};

} // namespace

TEST_F(LongPagesX11Test, ThePreviewOfALongPageShowsItsProgressAndHearsEsc)
{
    size_t nLines = 0;
    const std::string page = LongManual(nLines);
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::ofstream(site + "/manual.htm", std::ios::binary) << page;
    WriteProject({});
    ASSERT_TRUE(StartWithProject(1));
    view = View();
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_NE(nTitle, 0u);
    // The meter shows from the first look at the keys, so that each part of the work is met.
    GXGetLongOperationState().m_nFirstWait = 0;

    // The user gives the manual a new title by the keys.
    const std::string title = "Ωμέγα straße é 日本";
    X11KeyboardLetters letters(other, title);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(GoToByKeys(1, nTitle) && Xdo("type --delay 30 '" + title + "'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nTitle) == title.c_str(); }))
        << view->GetCellValue(1, nTitle).GetString();

    // View > Changes by the keys, let run: the Preview shows the whole manual on both sides, the new title on the right, in
    // memory of a small multiple of the page.
    const double dBefore = ProcessStatusBytes("VmRSS");
    ResetProcessPeak();
    size_t nLeftLines = 0, nRightLines = 0;
    bool bTitleShown = false;
    Type("the main window", "^Vostrel -", "alt+v c");
    When("the Preview holds the keys", [&] { return ShownPreview() != nullptr && ShowsNow(); }, [&] {
        CPreviewDlg& dlg = *ShownPreview();
        SECEditDoc* pLeft = dlg.GetLeftPane().GetEditor().GetDocument();
        SECEditDoc* pRight = dlg.GetRightPane().GetEditor().GetDocument();
        nLeftLines = static_cast<size_t>(pLeft->GetLineCount());
        nRightLines = static_cast<size_t>(pRight->GetLineCount());
        for (const SECEditLine* pLine = pRight->GetFirstLine(); pLine != nullptr && pLine->nLineNo < 10; pLine = pLine->pNext)
            bTitleShown = bTitleShown || std::string(pLine->pText).find("<title>" + title + "</title>") != std::string::npos;
        if (cairo_surface_t* shot = Shot("long-page-preview"))
            cairo_surface_destroy(shot);
        XdoNow("key Escape");
    });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([] { return ShownPreview() == nullptr; })) << "the Preview did not close";
    const double dPeak = ProcessStatusBytes("VmHWM");
    // The text ends with its line end: the editor shows one more, empty, line.
    EXPECT_EQ(nLeftLines, nLines + 1);
    EXPECT_EQ(nRightLines, nLines + 1);
    EXPECT_TRUE(bTitleShown);
    if (kPeakTellsHeldMemory)
        EXPECT_LT(dPeak - dBefore, static_cast<double>(kPeakInPages * page.size()))
            << "peak " << dPeak / 1048576 << " MB, before " << dBefore / 1048576 << " MB";
    // Again, with Esc once the meter stands at the part, and Yes to the question:
    // the work stops there, and neither the Preview nor the question is left on the screen.
    for (const int nPercent : {1, 60}) {
        SCOPED_TRACE("Esc at " + std::to_string(nPercent) + "%");
        X11MessageBoxAnswerer boxes(*backend, server->DisplayName(), "y");
        bool bPreviewSeen = false;
        int nSeen = -1;
        Type("the main window", "^Vostrel -", "alt+v c");
        When("the meter reaches the part", [&] {
            bPreviewSeen = bPreviewSeen || ShownPreview() != nullptr;
            return PreparingPercent() >= nPercent;
        }, [&] {
            nSeen = PreparingPercent();
            if (cairo_surface_t* shot = Shot("long-page-preview-meter"))
                cairo_surface_destroy(shot);
            EXPECT_TRUE(PressWhileWorking("Escape")) << "the Escape key did not reach the program";
        });
        ASSERT_TRUE(StepsTaken());
        ASSERT_TRUE(RunUntil([&] {
            bPreviewSeen = bPreviewSeen || ShownPreview() != nullptr;
            return CGXLongOperation::GetLevel() == 0 && ::GetFocus() == view->GetSafeHwnd();
        })) << "the work did not end after Esc";
        EXPECT_GE(nSeen, nPercent);
        EXPECT_EQ(boxes.Texts(), std::vector<std::string>{"Do you want to abort the operation?"});
        EXPECT_FALSE(bPreviewSeen) << "the Preview showed after Esc";
        EXPECT_EQ(StatusText().find("Preparing"), std::string::npos) << StatusText();
    }

    // The Preview wrote nothing: the page is as it was, its edit waiting for the save.
    EXPECT_TRUE(ReadFile(site + "/manual.htm") == page) << "the page was changed";
    EXPECT_EQ(view->GetCellValue(1, nTitle), title.c_str());
}
