// A long page as a site may hold one (a manual of some tens of megabytes in one file) is previewed
// as a short one is: the status bar names the work and moves its meter, Esc and Yes stop it at any
// part with nothing shown, and let run, the Preview shows the whole page on both sides in memory
// of a small multiple of what it shows. A page of just under 2 GB is scanned as a small one is, in
// memory of a few megabytes, the status bar naming it and how far it was read.
#include "app/dialogs/CPreviewDlg.h"
#include "app/views/CGroupView.h"
#include "engine/project/CParserEngine.h"
#include "grid/data/CGXLongOperation.h"
#include "tests/app/ShownPreview.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/PeakGrowth.h"
#include "tests/support/ScopedTempDir.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"
#include "toolkit/controls/SECProgressCtrl.h"
#include "toolkit/editor/SECEditDoc.h"

#include <fstream>
#include <optional>
#include <utility>

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

// A page of exactly nSize bytes as a guide holds its text: a head with a charset, a title and a
// description, its search index of 128 MB in a script at the body's start, then paragraphs in
// several scripts up to the end.
void WriteLargePage(const std::string& path, unsigned long long nSize)
{
    std::ofstream out(path, std::ios::binary);
    const std::string head = "<html><head><meta http-equiv=\"Content-Type\" content=\"text/html; charset=utf-8\">\n"
                             "<title>Gro\xC3\x9F Handbuch \xCE\xA9</title>\n"
                             "<meta name=\"description\" content=\"Ein gro\xC3\x9F" "es Handbuch\">\n</head><body>\n";
    const std::string tail = "</body></html>\n";
    std::string block;
    for (int i = 0; block.size() < (1u << 20); ++i)
        block += "<p>" + std::to_string(i) + " Das Netz der Schule: caf\xC3\xA9, stra\xC3\x9F" "e, \xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1, "
                 "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E &mdash; <a href=\"kapitel.htm\">weiter</a></p>\n";
    std::string index = "<script>var searchIndex = [";
    while (index.size() < (1u << 20))
        index += "\"stra\xC3\x9F" "e\", \"\xCE\xA9\xCE\xBC\xCE\xAD\xCE\xB3\xCE\xB1\", \"Schule\", ";
    out << head << index;
    for (int i = 1; i < 128; ++i)
        out << index.substr(27);
    out << "\"\"];</script>\n";
    unsigned long long nWritten = static_cast<unsigned long long>(out.tellp());
    while (nWritten + block.size() + tail.size() <= nSize) {
        out.write(block.data(), static_cast<std::streamsize>(block.size()));
        nWritten += block.size();
    }
    out << std::string(nSize - nWritten - tail.size(), '\n') << tail;
}

class LongPagesX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        GXGetLongOperationState().m_nFirstWait = m_nFirstWait;
        MainWindowStepsX11Test::TearDown();
        CParserEngine::GetEngine().SetScanThreads(0);
    }
    std::string StatusText() { return std::string(Frame().GetStatusBar().GetPaneText(0)); }
    // The text the scan's meter shows; empty without a meter.
    std::string MeterText()
    {
        CString strText;
        if (SECProgressCtrl* pMeter = Frame().GetStatusBar().GetProgressCtrl())
            pMeter->GetText(strText);
        return static_cast<LPCTSTR>(strText);
    }
    // How far the meter stands, in hundredths of its range.
    int MeterPercent()
    {
        SECProgressCtrl* pMeter = Frame().GetStatusBar().GetProgressCtrl();
        UINT nLower = 0, nUpper = 0;
        if (pMeter == nullptr)
            return -1;
        pMeter->GetRange(nLower, nUpper);
        return nUpper > nLower ? static_cast<int>((pMeter->GetPos() - nLower) * 100ull / (nUpper - nLower)) : -1;
    }
    // The percentage of the page the meter's text says was read ("... reading big.htm: 42%"); -1
    // when it names no page being read.
    int ReadingPercent(const std::string& name)
    {
        const std::string text = MeterText();
        const std::string named = "; reading " + name + ": ";
        const size_t at = text.find(named);
        return at == std::string::npos ? -1 : std::atoi(text.c_str() + at + named.size());
    }
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
    // memory of a small multiple of the page. The status bar no longer says that the Preview is being prepared, and once
    // it is closed, what it held goes back to the system.
    const double dBefore = ProcessStatusBytes("VmRSS");
    ResetProcessPeak();
    size_t nLeftLines = 0, nRightLines = 0;
    bool bTitleShown = false;
    std::string statusShown;
    Type("the main window", "^Vostrel -", "alt+v c");
    When("the Preview holds the keys", [&] { return ShownPreview() != nullptr && ShowsNow(); }, [&] {
        CPreviewDlg& dlg = *ShownPreview();
        SECEditDoc* pLeft = dlg.GetLeftPane().GetEditor().GetDocument();
        SECEditDoc* pRight = dlg.GetRightPane().GetEditor().GetDocument();
        nLeftLines = static_cast<size_t>(pLeft->GetLineCount());
        nRightLines = static_cast<size_t>(pRight->GetLineCount());
        for (const SECEditLine* pLine = pRight->GetFirstLine(); pLine != nullptr && pLine->nLineNo < 10; pLine = pLine->pNext)
            bTitleShown = bTitleShown || std::string(pLine->pText).find("<title>" + title + "</title>") != std::string::npos;
        statusShown = StatusText();
        if (cairo_surface_t* shot = Shot("long-page-preview"))
            cairo_surface_destroy(shot);
        XdoNow("key Escape");
    });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([] { return ShownPreview() == nullptr; })) << "the Preview did not close";
    const double dPeak = ProcessStatusBytes("VmHWM");
    EXPECT_EQ(statusShown.find("Preparing"), std::string::npos) << statusShown;
    EXPECT_EQ(StatusText().find("Preparing"), std::string::npos) << StatusText();
    // What the Preview held goes back to the system once it is closed.
    if (kPeakTellsHeldMemory) {
        EXPECT_TRUE(RunUntil([&] { return ProcessStatusBytes("VmRSS") - dBefore < static_cast<double>(page.size()); }))
            << "the Preview's memory was kept: " << (ProcessStatusBytes("VmRSS") - dBefore) / 1048576 << " MB";
    }
    // The text ends with its line end: the editor shows one more, empty, line.
    EXPECT_EQ(nLeftLines, nLines + 1);
    EXPECT_EQ(nRightLines, nLines + 1);
    EXPECT_TRUE(bTitleShown);
    if (kPeakTellsHeldMemory) {
        EXPECT_LT(dPeak - dBefore, static_cast<double>(kPeakInPages * page.size()))
            << "peak " << dPeak / 1048576 << " MB, before " << dBefore / 1048576 << " MB";
    }
    // Again, with Esc once the meter stands at the part, and Yes to the question:
    // the work stops there, and neither the Preview nor the question is left on the screen.
    // The work looks at the keys between any two pieces, so that the meter is met at every part
    // of it however fast the machine goes; an Esc that came while the last piece was read is
    // heard before the Preview shows.
    struct EveryPiece {
        CGXLongOperationState& state = GXGetLongOperationState();
        const DWORD nOld = std::exchange(state.m_nPollInterval, 0);
        ~EveryPiece() { state.m_nPollInterval = nOld; }
    } const everyPiece;
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

// A site of three small pages and a guide of 2,100,000,000 bytes, on disk. The scan names the
// guide in the status bar with how far it read it, and its meter moves with it; Esc stops it
// there. Scanned again to its end, the scan reaches Scan Completed with the guide read whole,
// its title and description in its row, the program's memory having grown by a few megabytes.
// Under the address sanitizer, whose peak does not tell what the program held and which takes
// minutes over such a page, the guide is a tenth as large.
TEST_F(LongPagesX11Test, APageJustUnderTwoGigabytesIsScannedInSmallMemoryWithItsProgressShown)
{
    constexpr unsigned long long kGuide = kPeakTellsHeldMemory ? 2100000000ull : 210000000ull;
    // Not in memory: the test's own folder may lie on a memory-backed file system.
    std::optional<ScopedTempDir> disk;
    {
        ScopedEnv onDisk("TMPDIR", "/var/tmp");
        disk.emplace();
    }
    ASSERT_FALSE(disk->Path().empty());
    site = disk->Path() + "/site";
    std::filesystem::create_directories(site);
    for (int i = 1; i <= 3; ++i)
        std::ofstream(site + "/p" + std::to_string(i) + ".htm")
            << "<html><head><title>Seite " << i << "</title></head><body>Kurz</body></html>\n";
    WriteLargePage(site + "/guide.htm", kGuide);
    ASSERT_EQ(std::filesystem::file_size(site + "/guide.htm"), kGuide);
    ASSERT_TRUE(Start());
    SaveCatalogueShowing({"Description"});
    ASSERT_NO_FATAL_FAILURE(OpenSiteProject(1));
    app->WriteProfileInt("", "Warn After Scan", 1);
    CParserEngine::GetEngine().SetScanThreads(1);
    ASSERT_TRUE(Quiet());

    // Started by F5: the meter names the guide and how far it was read, and moves with it.
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] { return ReadingPercent("guide.htm") >= 2; }, 600000))
        << "the scan never named the guide: " << MeterText();
    const int nFirstMeter = MeterPercent();
    ASSERT_TRUE(RunUntil([&] { return MeterPercent() > nFirstMeter && ReadingPercent("guide.htm") >= 4; }, 600000))
        << "the meter stood at " << MeterPercent() << "%: " << MeterText();
    if (cairo_surface_t* shot = Shot("large-page-scan-progress"))
        cairo_surface_destroy(shot);
    // Esc stops it there: the page is not read, and the scan says it was stopped.
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1; }, 600000))
        << "Esc was not heard: " << MeterText();
    EXPECT_EQ(boxes.Texts()[0].rfind("The scan was stopped: ", 0), 0u) << boxes.Texts()[0];
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus(); }));

    // Scanned again to its end, in memory of a few megabytes: the guide is read whole.
    view = View();
    ASSERT_NE(view, nullptr);
    ResetProcessPeak();
    const double dBefore = ProcessStatusBytes("VmRSS");
    const std::string completed = dir.Path() + "/scan-completed";
    WatchForWindow("^Scan Completed$", completed, true);
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] {
        return app->GetRunState() == 0 && Frame().GetFilesScanned() == 4 && std::filesystem::exists(completed) && Settled();
    }, 900000)) << "the scan did not reach Scan Completed: " << MeterText();
    const double dGrowth = ProcessStatusBytes("VmHWM") - dBefore;
    EXPECT_EQ(boxes.Texts().size(), 1u) << boxes.Texts().back();
    EXPECT_EQ(OutputLines(), std::vector<std::string>{});
    const ROWCOL nRow = RowOf("guide.htm");
    ASSERT_NE(nRow, 0u);
    EXPECT_EQ(view->GetCellValue(nRow, CGroupView::kTitleColumn), "Gro\xC3\x9F Handbuch \xCE\xA9");
    EXPECT_EQ(view->GetCellValue(nRow, ColumnOf("Description")), "Ein gro\xC3\x9F" "es Handbuch");
    if (kPeakTellsHeldMemory) {
        EXPECT_LT(dGrowth, 64.0 * (1 << 20)) << "the scan grew by " << dGrowth / (1 << 20) << " MB";
    }
}

// A page of more than a million lines, previewed: Ctrl+End shows its last lines, whose numbers of
// seven digits the margin of each pane holds whole. Neither while the Preview shows nor after it
// closed does the status bar say that it is being prepared.
TEST_F(LongPagesX11Test, ThePreviewShowsLineNumbersOfSevenDigitsWhole)
{
    constexpr int kBreaks = 1200000;
    std::string page = "<html><head><title>Zeilen</title></head><body>\n";
    page.reserve(page.size() + 5 * kBreaks + 32);
    for (int i = 0; i < kBreaks; ++i)
        page += "<br>\n";
    page += "</body></html>\n";
    const int nLines = kBreaks + 3;
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    std::ofstream(site + "/lines.htm", std::ios::binary) << page;
    WriteProject({});
    ASSERT_TRUE(StartWithProject(1));
    view = View();
    const ROWCOL nTitle = ColumnOf("Title");
    ASSERT_NE(nTitle, 0u);
    X11KeyboardLetters letters(other, "Zeilen \xC3\x9F");
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    ASSERT_TRUE(GoToByKeys(1, nTitle) && Xdo("type --delay 30 'Zeilen \xC3\x9F'") && Xdo("key Return"));
    ASSERT_TRUE(RunUntil([&] { return view->GetCellValue(1, nTitle) == "Zeilen \xC3\x9F"; }));

    int nMargins[2] = {0, 0};
    int nNumberWidth = 0;
    std::string statusShown;
    Type("the main window", "^Vostrel -", "alt+v c");
    When("the Preview holds the keys", [&] { return ShownPreview() != nullptr && ShowsNow(); }, [&] {
        statusShown = StatusText();
        XdoNow("key ctrl+End F6 ctrl+End");
    });
    When("the last lines show in both panes", [&] {
        for (CFileContentsWnd* pPane : {&ShownPreview()->GetLeftPane(), &ShownPreview()->GetRightPane()})
            if (pPane->GetEditor().GetTopLineNo() + pPane->GetEditor().VisibleRows() <= nLines)
                return false;
        return true;
    }, [&] {
        CPreviewDlg& dlg = *ShownPreview();
        dlg.UpdateWindow();
        nMargins[0] = dlg.GetLeftPane().GetEditor().GetMarginWidth();
        nMargins[1] = dlg.GetRightPane().GetEditor().GetMarginWidth();
        // The last number as the margin draws it, two pixels in, in the editor's font of one width.
        nNumberWidth = 2 + static_cast<int>(std::to_string(nLines).size()) * dlg.GetLeftPane().GetEditor().GetCharWidth();
        if (cairo_surface_t* shot = Shot("preview-seven-digit-lines"))
            cairo_surface_destroy(shot);
        XdoNow("key Escape");
    });
    ASSERT_TRUE(StepsTaken());
    ASSERT_TRUE(RunUntil([] { return ShownPreview() == nullptr; })) << "the Preview did not close";
    EXPECT_GT(nNumberWidth, 2 + 6);
    EXPECT_LE(nNumberWidth, nMargins[0]) << "the line numbers are cut off on the left";
    EXPECT_LE(nNumberWidth, nMargins[1]) << "the line numbers are cut off on the right";
    EXPECT_EQ(statusShown.find("Preparing"), std::string::npos) << statusShown;
    ASSERT_TRUE(Quiet());
    EXPECT_EQ(StatusText().find("Preparing"), std::string::npos) << StatusText();
}
