// What a scan and its messages tell the user, as the user meets them on the X server: a scan on
// several threads stopped by Esc part-way, whose rows and counts agree on which pages were read;
// a page too large to be read, told with its size while the scan goes on and stops at Esc;
// the messages of a save, a rescan, the status bar and the Preview, each naming its own cause.
#include "app/dialogs/CNewProjectDlg.h"
#include "app/panes/COutputAreaControlBar.h"
#include "app/res/GroupViewRes.h"
#include "engine/project/CParserEngine.h"
#include "fetch/CFetchScanBackend.h"
#include "grid/core/CGXFindReplaceState.h"
#include "platform/controls/CommonDialog.h"
#include "tests/app/UserStepsX11Fixture.h"
#include "tests/support/PeakGrowth.h"
#include "tests/support/X11KeyboardLetters.h"
#include "tests/support/X11MessageBoxAnswerer.h"

#include <atomic>
#include <condition_variable>
#include <fstream>
#include <map>
#include <mutex>
#include <sstream>
#include <sys/stat.h>
#include <thread>

namespace {

// The program's own fetch engine on its threads, whose reports reach the scan engine slowly: a
// page's end is told a millisecond after its title and tags, so that a stop finds pages whose
// values were filed and whose end was not yet told. With HoldEndOf, the end of one page waits
// until the test lets it go: the scan cannot end before the test has stopped it.
struct SlowReportsBackend : IScanBackend {
    struct Sink final : ITaskManager {
        Sink(SlowReportsBackend& backend, ITaskManager& owner) : m_backend(backend), m_owner(owner) {}
        void OnLinkFound(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
        void OnTitle(DWORD_PTR dwPage, LPCSTR lpsz) override { m_owner.OnTitle(dwPage, lpsz); }
        void OnAnchor(DWORD_PTR, LPCSTR) override {}
        void OnAuthor(DWORD_PTR, LPCSTR) override {}
        void OnDescription(DWORD_PTR, LPCSTR) override {}
        void OnOtherMeta(DWORD_PTR, LPCSTR, LPCSTR, LPCSTR) override {}
        void OnAuthenticationRequired(DWORD_PTR, LPCSTR) override {}
        void OnBaseUrl(DWORD_PTR, LPCSTR) override {}
        void OnExtraLink(DWORD_PTR, LPCSTR, LPCSTR, int, DWORD, int, int) override {}
        void OnLastModified(DWORD_PTR, LONG) override {}
        void OnContentType(DWORD_PTR, LPCSTR) override {}
        void OnContentLength(DWORD_PTR, DWORD) override {}
        void OnKeyword(DWORD_PTR dwPage, LPCSTR lpsz, int nSource) override { m_owner.OnKeyword(dwPage, lpsz, nSource); }
        void OnNamedMeta(DWORD_PTR dwPage, LPCSTR a, LPCSTR b, LPCSTR c) override { m_owner.OnNamedMeta(dwPage, a, b, c); }
        void OnHttpEquivMeta(DWORD_PTR dwPage, LPCSTR a, LPCSTR b) override { m_owner.OnHttpEquivMeta(dwPage, a, b); }
        void ReportResult(DWORD_PTR dwPage, DWORD dwClass, DWORD dwCode, UINT nId, LPCSTR lpsz, DWORD_PTR dw) override
        {
            m_owner.ReportResult(dwPage, dwClass, dwCode, nId, lpsz, dw);
        }
        void OnTaskDone(DWORD_PTR dwPage) override
        {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
            m_backend.WhenEnded();
            m_owner.OnTaskDone(dwPage);
        }
        SlowReportsBackend& m_backend;
        ITaskManager& m_owner;
    };
    std::unique_ptr<IScanTaskManager> CreateTaskManager(ITaskManager* pSink, const CConnectOptions& options) override
    {
        m_nEnded = 0;
        m_pSink = std::make_unique<Sink>(*this, *pSink);
        return m_real.CreateTaskManager(m_pSink.get(), options);
    }
    // The end of the nth page (from 1) a scan reads waits, until Release.
    void HoldEndOf(size_t n) { m_nHeldAt = n; }
    // Whether a page's end waits now.
    bool IsHeld()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        return m_bHeld;
    }
    void Release()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_bReleased = true;
        m_changed.notify_all();
    }
    // A worker thread, as a page ends. Bounded, so that a test that fails before it lets the
    // page go ends rather than hangs.
    void WhenEnded()
    {
        if (++m_nEnded != m_nHeldAt)
            return;
        std::unique_lock<std::mutex> lock(m_mutex);
        m_bHeld = true;
        m_changed.wait_for(lock, std::chrono::minutes(2), [this] { return m_bReleased; });
        m_bHeld = false;
    }
    CFetchScanBackend m_real;
    std::unique_ptr<Sink> m_pSink;
    std::atomic<size_t> m_nEnded{0};
    std::atomic<size_t> m_nHeldAt{0};
    std::mutex m_mutex;
    std::condition_variable m_changed;
    bool m_bHeld = false;
    bool m_bReleased = false;
};

class ScanMessagesX11Test : public MainWindowStepsX11Test {
protected:
    void TearDown() override
    {
        // A page's end held by a test that failed before it let it go must not hold the close.
        slow.Release();
        MainWindowStepsX11Test::TearDown();
        CParserEngine::GetEngine().SetScanThreads(0);
    }
    std::string StatusText() { return static_cast<LPCTSTR>(Frame().GetStatusBar().GetPaneText(0)); }
    // The whole column, chosen by Ctrl+Space and copied by Ctrl+C, one text a row.
    std::vector<std::string> CopiedColumn(ROWCOL nCol)
    {
        if (!GoToByKeys(1, nCol) || !Xdo("key ctrl+space"))
            return {"(the column was not chosen)"};
        return ClipboardRows(CopyByKeys("ctrl+c"));
    }
    // Types the text into a cell and ends the edit with Return.
    bool TypeInto(ROWCOL nRow, ROWCOL nCol, const std::string& text)
    {
        return GoToByKeys(nRow, nCol) && Xdo("type --delay 20 '" + text + "'") && Xdo("key Return") &&
               RunUntil([&] { return view->GetCellValue(nRow, nCol) == text.c_str(); });
    }
    // The site of pages p0001.htm on, each one line with its title and description.
    void MakeOneLineSite(int nPages)
    {
        site = dir.Path() + "/site";
        std::filesystem::create_directories(site);
        for (int n = 1; n <= nPages; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "/p%04d.htm", n);
            std::ofstream(site + name) << "<html><head><title>Seite " << n << "</title><meta name=\"description\" "
                                       << "content=\"Beschreibung " << n << "\"></head><body>Text</body></html>\n";
        }
    }
    bool FindDialogHasFocus()
    {
        const HWND hDialog = GXGetFindReplaceState().m_hWndDialog;
        return hDialog != nullptr && ::IsWindowVisible(hDialog) && ::GetActiveWindow() == hDialog && ShowsNow();
    }

    SlowReportsBackend slow;
};

// A value of the program's /proc/self/status, in MB ("VmRSS", "VmHWM").
double StatusMegabytes(const char* pszField)
{
    return ProcessStatusBytes(pszField) / (1 << 20);
}

} // namespace

// A site of 3,000 one-line pages scanned on four threads and stopped with Esc part-way. Every
// row the grid marks as not read shows no title and no description, every other row its page's
// own; the stop counts as read exactly the rows shown so, and Replace All over the
// descriptions replaces what the rows show and finds no page left out.
TEST_F(ScanMessagesX11Test, AStoppedScanShowsValuesExactlyInTheRowsItCountsAsRead)
{
    constexpr int kPages = 3000;
    MakeOneLineSite(kPages);
    WriteProject({"Description"});
    ASSERT_TRUE(Start());
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    CParserEngine::GetEngine().SetScanBackend(&slow);
    CParserEngine::GetEngine().SetScanThreads(4);
    // The 301st page's end waits until the Esc was heard.
    slow.HoldEndOf(301);
    ASSERT_EQ(Frame().OpenProjectFile(CString(ProjectPath().c_str())), CMainFrame::kOpenDone);
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 1 && slow.IsHeld() && Frame().GetFilesScanned() >= 300; }))
        << "the scan did not come to its pages: " << Frame().GetFilesScanned();
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() != 1; })) << "Esc was not heard";
    slow.Release();
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1 && ProgramHasFocus(); }))
        << "the stopped scan said nothing";
    unsigned nSaidRead = 0, nSaidPages = 0;
    ASSERT_EQ(std::sscanf(boxes.Texts()[0].c_str(), "The scan was stopped: %u of %u pages were read.", &nSaidRead, &nSaidPages), 2)
        << boxes.Texts()[0];
    ASSERT_EQ(nSaidPages, static_cast<unsigned>(kPages));
    ASSERT_LT(nSaidRead, nSaidPages) << "the scan was not stopped part-way";
    view = View();
    ASSERT_TRUE(Quiet());

    // The rows as the grid copies them, beside the picture each row's file cell shows.
    const std::vector<std::string> titles = CopiedColumn(CGroupView::kTitleColumn);
    const std::vector<std::string> descriptions = CopiedColumn(ColumnOf("Description"));
    ASSERT_EQ(titles.size(), static_cast<size_t>(kPages));
    ASSERT_EQ(descriptions.size(), static_cast<size_t>(kPages));
    unsigned nShownRead = 0;
    std::vector<ROWCOL> wrong;
    for (ROWCOL nRow = 1; nRow <= kPages; ++nRow) {
        CPageNode* pPage = nullptr;
        ASSERT_EQ(view->GetRowPage(nRow, pPage), 0u);
        const int n = std::atoi(pPage->GetName().Mid(1).GetString());
        const bool bNotRead = view->LookupStyleRowCol(nRow, CGroupView::kFileColumn)->GetControl() == IDS_NOT_SCANNED_CELL;
        nShownRead += bNotRead ? 0 : 1;
        const std::string title = bNotRead ? "" : "Seite " + std::to_string(n);
        const std::string description = bNotRead ? "" : "Beschreibung " + std::to_string(n);
        if (titles[nRow - 1] != title || descriptions[nRow - 1] != description)
            wrong.push_back(nRow);
    }
    EXPECT_TRUE(wrong.empty()) << wrong.size() << " rows show other values than their mark says, the first row "
                               << wrong.front() << ": " << titles[wrong.front() - 1] << " / "
                               << descriptions[wrong.front() - 1];
    EXPECT_EQ(nShownRead, nSaidRead) << "the stop counts other pages as read than the grid shows";

    // Replace All over the descriptions replaces in every row read, and leaves out no page.
    ASSERT_TRUE(GoToByKeys(1, ColumnOf("Description")) && Xdo("key ctrl+h"));
    ASSERT_TRUE(RunUntil([&] { return FindDialogHasFocus(); })) << "no Replace dialog";
    const HWND hDialog = GXGetFindReplaceState().m_hWndDialog;
    ASSERT_TRUE(XdoNow("key ctrl+a BackSpace") && XdoNow("type --delay 20 Beschreibung") && XdoNow("key Tab") &&
                XdoNow("type --delay 20 Text"));
    ASSERT_TRUE(RunUntil([&] {
        CString strFind, strReplace;
        CWnd::FromHandle(hDialog)->GetDlgItemText(edt1, strFind);
        CWnd::FromHandle(hDialog)->GetDlgItemText(edt2, strReplace);
        return strFind == "Beschreibung" && strReplace == "Text";
    })) << "the texts were not typed in";
    ASSERT_TRUE(ClickAt(CentreOnScreen(::GetDlgItem(hDialog, psh2))));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 2 && FindDialogHasFocus(); })) << "Replace All said nothing";
    EXPECT_EQ(boxes.Texts()[1], "'Beschreibung' was replaced with 'Text' in " + std::to_string(nSaidRead) +
                                    " cells of the column 'Description'.");
    EXPECT_EQ(StatusText().find("left as they were"), std::string::npos) << StatusText();
    ASSERT_TRUE(XdoNow("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return !FindDialogHasFocus() && ProgramHasFocus(); }));
}

// A site of four pages and a binary file with a title among its bytes. The binary file's row shows
// no title; a key typed into it is refused in the status bar until the next edit or command
// begins. A page emptied after the scan is saved as empty, and a rescan tells it, and the binary
// file, once each. The Preview of a page that became a pipe says so, as the save would; of a page
// whose new charset cannot be written, what it cannot show and why, without "Not saved"; and its
// Replace says that the Preview is read-only.
TEST_F(ScanMessagesX11Test, MessagesNameTheirCauseAndGoWhenTheirTimeIsOver)
{
    MakeSite(4);
    static const char kBinary[] = "\x89PNG\r\n\x1a\n\0\0\0\rIHDR<title>Bild</title>\0\0";
    std::ofstream(site + "/p02b.htm", std::ios::binary) << std::string(kBinary, sizeof kBinary - 1);
    WriteProject({"Description"}, 1, &AddShownContentType);
    ASSERT_TRUE(StartWithProject(5));
    view = View();
    const std::string binaryLine = "p02b.htm : The file holds binary data, not the text of an HTML page.";
    ASSERT_EQ(OutputLines(), std::vector<std::string>{binaryLine});
    const ROWCOL nDesc = ColumnOf("Description"), nType = ColumnOf("Content-Type");
    ASSERT_EQ(std::string(view->GetCellValue(3, CGroupView::kFileColumn)).substr(std::string(site).size() + 1), "p02b.htm");
    EXPECT_EQ(CopiedColumn(CGroupView::kTitleColumn), (std::vector<std::string>{"Page 1", "Page 2", "", "Page 3", "Page 4"}));

    // A key typed into the binary file's row is refused; the text goes when an edit begins, and
    // again when a command does.
    const auto refused = [&] { return StatusText().rfind("Pages that cannot be read are not edited", 0) == 0; };
    ASSERT_TRUE(GoToByKeys(3, nDesc) && Xdo("type x"));
    ASSERT_TRUE(RunUntil(refused)) << StatusText();
    ASSERT_TRUE(TypeInto(1, CGroupView::kTitleColumn, "Neu 1"));
    EXPECT_FALSE(refused()) << "the refusal stayed after an edit";
    ASSERT_TRUE(GoToByKeys(3, nDesc) && Xdo("type x"));
    ASSERT_TRUE(RunUntil(refused)) << StatusText();

    // p01 emptied after the scan: the save says it is empty.
    std::ofstream(site + "/p01.htm", std::ios::trunc).close();
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return !OutputLines().empty() && OutputLines().back().rfind("Save Edited Files:", 0) == 0; }));
    EXPECT_EQ(OutputLines().front(), "P01.HTM : The page is empty: its file holds nothing, so there is no HTML to "
                                     "write the tags into.");
    EXPECT_FALSE(refused()) << "the refusal stayed after Save Edited Files";

    // The rescan tells the empty page and the binary file, once each, and nothing of before. Its
    // question whether the edit may go is answered Yes.
    {
        X11MessageBoxAnswerer yes(*backend, server->DisplayName(), "alt+y");
        ASSERT_TRUE(Xdo("key F5"));
        ASSERT_TRUE(RunUntil([&] { return yes.Texts().size() == 1 && app->GetRunState() == 0 && OutputLines().size() >= 2 && Settled(); }))
            << "the rescan did not end";
    }
    EXPECT_EQ(OutputLines(), (std::vector<std::string>{"p01.htm : The page is empty: its file holds nothing, so there is "
                                                       "no HTML to write the tags into.", binaryLine}));
    ASSERT_TRUE(OutputArea().IsWindowVisible());
    cairo_surface_destroy(Shot("output-area-rescan"));
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());

    // The Preview of p04, a pipe now, and of p03, given a charset no page is written in.
    ASSERT_TRUE(TypeInto(5, CGroupView::kTitleColumn, "Neu 4"));
    ASSERT_EQ(::unlink((site + "/p04.htm").c_str()), 0);
    ASSERT_EQ(::mkfifo((site + "/p04.htm").c_str(), 0644), 0);
    ASSERT_TRUE(Xdo("key alt+v c"));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && ProgramHasFocus(); })) << "the Preview said nothing";
    EXPECT_EQ(boxes.Texts()[0], "The Preview cannot show p04.htm with its edits: it is not a regular file (a pipe, a "
                                "device or a folder).");
    ASSERT_TRUE(TypeInto(4, nType, "text/html; charset=x-nonsense"));
    ASSERT_TRUE(Xdo("key alt+v c"));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 2 && ProgramHasFocus(); })) << "the Preview said nothing";
    EXPECT_EQ(boxes.Texts()[1], "The Preview cannot show p03.htm with its edits: its Content-Type declares the charset "
                                "\"x-nonsense\", which this program cannot write the page in.");

    // The Preview of p02: its Replace All of text on the screen says the Preview is read-only.
    ASSERT_TRUE(TypeInto(2, CGroupView::kTitleColumn, "Neu 2"));
    Type("the main window", "^Vostrel", "alt+v c");
    Type("the Preview", "^Preview Changes", "ctrl+h");
    Type("the Replace", "^Replace$", "P a g e Tab X alt+a");
    When("the Replace has the keys again", [&] { return boxes.Texts().size() == 3 && Matches(FocusedTitle(), "^Replace$"); },
         [&] { XdoNow("key Escape"); });
    Type("the Preview", "^Preview Changes", "Escape");
    ASSERT_TRUE(StepsTaken());
    EXPECT_EQ(boxes.Texts()[2], "The Preview is read-only: it shows the page as it is and as the save would write it, "
                                "and nothing in it can be replaced. Change the page's values in the grid.");
    for (const std::string& title : boxes.Titles())
        EXPECT_EQ(title, "Vostrel");
}

// A site whose pages stand beside files that are no pages, whatever HTML their bytes hold: a
// picture and an archive saved under page names, and a page in UTF-16 without its mark. Their
// rows show why; a description typed into the picture's row and a Fill Down over the column leave
// them and count them. A text page that a picture replaces after its edit is refused by the
// Preview and by the save, which writes the other text pages and no file that is no page.
TEST_F(ScanMessagesX11Test, FilesThatAreNoPagesTakeNoEditsAndAreNeverWritten)
{
    site = dir.Path() + "/site";
    std::filesystem::create_directories(site);
    const auto generated = [](const char* n) {
        return std::string("<!DOCTYPE html><html lang=\"de\"><head><meta charset=\"utf-8\"><title>Seite ") + n +
               " &mdash; Gr\xC3\xB6\xC3\x9F" "e</title><meta name=\"description\" content=\"Beschreibung " + n +
               "\"><script>var s=\"\xE2\x86\x92\";</script><style>p:before{content:\"\xE2\x80\xA2\"}</style></head>"
               "<body><p>Text</p></body></html>\n";
    };
    const std::string head = "<html><head><title>Logo</title><meta name=\"description\" content=\"alt\"></head><body>";
    const std::string picture = std::string("\x89PNG\r\n\x1A\n\0\0\0\x0DIHDR\0\0\0\x10\0\0\0\x10\x08\x02\0\0\0", 29) +
                                std::string("\0\0\0\x60tEXtComment\0", 16) + head + std::string("\0\0\0\0IEND\xAE\x42\x60\x82", 12);
    const std::string archive = std::string("PK\x03\x04\x14\0\0\0\0\0\0\0!\0\0\0\0\0\x60\0\0\0\x60\0\0\0\x0A\0\0\0", 30) +
                                "index.html" + head + "</body></html>";
    std::string wide;
    for (const char ch : head + "</body></html>\n")
        wide += std::string{ch, '\0'};
    const std::string latin = "<!DOCTYPE html><html><head><meta http-equiv=\"Content-Type\" content=\"text/html; "
                              "charset=windows-1252\"><title>Caf\xE9 &mdash; Men\xFC</title><meta name=\"description\" "
                              "content=\"alt\"><script>var s=\"<b>\";</script></head><body>Cr\xE8me\x01</body></html>\n";
    std::map<std::string, std::string> files = {{"p01.htm", generated("1")}, {"p01p.htm", picture},
                                                {"p02.htm", generated("2")}, {"p02z.htm", archive},
                                                {"p02w.htm", wide},          {"p03.htm", latin}};
    for (const auto& [name, bytes] : files)
        std::ofstream(site + "/" + name, std::ios::binary) << bytes;
    const std::string typed = "Neu \xC3\x9F \xC3\xA9 \xCE\xA9 \xE4\xB8\xAD";
    X11KeyboardLetters letters(other, typed);
    ASSERT_TRUE(letters.Ready()) << "the display has no free keys for the letters";
    WriteProject({"Description"});
    ASSERT_TRUE(StartWithProject(6));
    view = View();
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    const std::string binary = "The file holds binary data, not the text of an HTML page.";
    const std::string wideText = "The page is written in UTF-16, a charset this program does not write: it is left as it is.";
    std::vector<std::string> lines = OutputLines();
    std::sort(lines.begin(), lines.end());
    EXPECT_EQ(lines, (std::vector<std::string>{"p01p.htm : " + binary, "p02w.htm : " + wideText, "p02z.htm : " + binary}));
    const ROWCOL nDesc = ColumnOf("Description");
    for (const char* name : {"p01p.htm", "p02z.htm", "p02w.htm"})
        EXPECT_EQ(view->LookupStyleRowCol(RowOf(name), CGroupView::kFileColumn)->GetControl(), IDS_UNREADABLE_CELL) << name;

    // The description typed into the picture's row, then into the first page's and filled down.
    ASSERT_TRUE(GoToByKeys(RowOf("p01p.htm"), nDesc) && Xdo("type --delay 30 '" + typed + "'"));
    ASSERT_TRUE(RunUntil([&] { return StatusText() == "Pages that cannot be read are not edited: p01p.htm: " + binary; }))
        << StatusText();
    ASSERT_TRUE(TypeInto(1, nDesc, typed));
    ASSERT_TRUE(GoToByKeys(1, nDesc) && Xdo("key ctrl+space"));
    ASSERT_TRUE(RunUntil([&] { return view->IsCellInRangeList(6, nDesc, view->GetParam()->m_SelRects) != FALSE; }));
    ASSERT_TRUE(Xdo("key ctrl+d"));
    ASSERT_TRUE(RunUntil([&] {
        return StatusText() == "Pages that cannot be read are not edited: 3 were left as they were (p01p.htm: " + binary + ")";
    })) << StatusText();
    std::vector<std::string> shown(6, typed);
    for (const char* name : {"p01p.htm", "p02z.htm", "p02w.htm"})
        shown[RowOf(name) - 1].clear();
    EXPECT_EQ(CopiedColumn(nDesc), shown);
    ASSERT_TRUE(Quiet());
    cairo_surface_destroy(Shot("files-that-are-no-pages"));

    // p02 becomes a picture behind the program: the Preview says why it shows nothing, and the
    // save leaves it as it now is, with its edit.
    std::ofstream(site + "/p02.htm", std::ios::binary | std::ios::trunc) << picture;
    files["p02.htm"] = picture;
    ASSERT_TRUE(GoToByKeys(RowOf("p02.htm"), nDesc) && Xdo("key alt+v c"));
    ASSERT_TRUE(RunUntil([&] { return boxes.Texts().size() == 1 && ProgramHasFocus(); })) << "the Preview said nothing";
    EXPECT_EQ(boxes.Texts()[0], "The Preview cannot show p02.htm with its edits: the file holds binary data, not the "
                                "text of an HTML page.");
    ASSERT_TRUE(Xdo("key ctrl+t"));
    ASSERT_TRUE(RunUntil([&] { return !OutputLines().empty() && OutputLines().back().rfind("Save Edited Files:", 0) == 0; }));
    EXPECT_EQ(OutputLines(), (std::vector<std::string>{"P02.HTM : " + binary,
                                                       "Save Edited Files: 2 of 3 pages written, 1 not written."}));
    for (const auto& [name, bytes] : files) {
        std::string expected = bytes;
        if (name == "p01.htm" || name == "p03.htm") {
            const std::string value = name == "p01.htm" ? typed : "Neu \xDF \xE9 &#937; &#20013;";
            const std::string old = TagContent(bytes, "description");
            expected.replace(expected.find(old), old.size(), value);
        }
        EXPECT_EQ(ReadFile(site + "/" + name), expected) << name;
        EXPECT_EQ(std::filesystem::exists(site + "/" + name + ".old"), name == "p01.htm" || name == "p03.htm") << name;
    }
    EXPECT_EQ(app->IsEdited(), 2u) << "the picture's page lost its edit";
}

// A site of 2,000 one-line pages and, ahead of them, a page of 2.5 GB: a title, then gigabytes
// never written. The scan tells the large page with its size at once and goes on without reading
// it, the program's memory growing by no more than a small part of the page; Esc stops the scan
// while it reads the pages after it. The large page shows as not read; a rescan to the end tells
// it again and calls nothing stopped.
TEST_F(ScanMessagesX11Test, APageTooLargeToReadIsToldWithItsSizeAndEscStillStopsTheScan)
{
    constexpr int kPages = 2000;
    MakeOneLineSite(kPages);
    std::ofstream(site + "/large.htm") << "<html><head><title>Large</title></head><body>\n";
    std::filesystem::resize_file(site + "/large.htm", 5ull << 29);
    const std::string line = "large.htm : Left unread: the page is 2.5 GB (2,684,354,560 bytes), and the scan reads pages "
                             "of up to 2 GB.";
    WriteProject({"Description"});
    ASSERT_TRUE(Start());
    X11MessageBoxAnswerer boxes(*backend, server->DisplayName());
    CParserEngine::GetEngine().SetScanBackend(&slow);
    CParserEngine::GetEngine().SetScanThreads(1);
    // The program's peak from here on.
    ResetProcessPeak();
    const double dBefore = StatusMegabytes("VmRSS");
    // The 101st page's end waits until the Esc was heard.
    slow.HoldEndOf(101);
    ASSERT_EQ(Frame().OpenProjectFile(CString(ProjectPath().c_str())), CMainFrame::kOpenDone);
    ASSERT_TRUE(RunUntil([&] {
        return app->GetRunState() == 1 && slow.IsHeld() && Frame().GetFilesScanned() >= 100 && View() != nullptr;
    })) << "the scan did not go on past the large page: " << Frame().GetFilesScanned();
    EXPECT_EQ(OutputLines(), std::vector<std::string>{line});
    ASSERT_TRUE(Xdo("key Escape"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() != 1; })) << "Esc was not heard";
    slow.Release();
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && boxes.Texts().size() == 1; }))
        << "Esc was not heard: " << Frame().GetFilesScanned() << " pages scanned";
    // The stop did not wait for the pages ahead: the slow reports would take minutes for them all.
    EXPECT_LT(Frame().GetFilesScanned(), static_cast<UINT>(kPages) / 2) << "Esc was heard only late";
    EXPECT_EQ(boxes.Texts()[0].rfind("The scan was stopped: ", 0), 0u) << boxes.Texts()[0];
    if (kPeakTellsHeldMemory) {
        EXPECT_LT(StatusMegabytes("VmHWM") - dBefore, 256.0) << "the program's memory grew with the large page";
    }
    view = View();
    ASSERT_TRUE(RunUntil([&] { return ProgramHasFocus(); }));
    ASSERT_TRUE(Quiet());
    ASSERT_EQ(RowOf("large.htm"), 1u);
    EXPECT_EQ(view->LookupStyleRowCol(1, CGroupView::kFileColumn)->GetControl(), IDS_NOT_SCANNED_CELL);
    EXPECT_EQ(CopiedCells(1, CGroupView::kTitleColumn, 2, CGroupView::kTitleColumn),
              (std::vector<std::string>{"", "Seite 1"}));
    cairo_surface_destroy(Shot("a-page-too-large-to-read"));

    // Scanned again to its end: the page is told again, and the scan is not called stopped.
    CParserEngine::GetEngine().SetScanBackend(&slow.m_real);
    ASSERT_TRUE(Xdo("key F5"));
    ASSERT_TRUE(RunUntil([&] { return app->GetRunState() == 0 && Frame().GetFilesScanned() == kPages + 1 && Settled(); }))
        << "the rescan did not end: " << Frame().GetFilesScanned();
    EXPECT_EQ(OutputLines(), std::vector<std::string>{line});
    EXPECT_EQ(boxes.Texts().size(), 1u) << boxes.Texts().back();
    EXPECT_EQ(view->LookupStyleRowCol(1, CGroupView::kFileColumn)->GetControl(), IDS_NOT_SCANNED_CELL);
    if (kPeakTellsHeldMemory) {
        EXPECT_LT(StatusMegabytes("VmHWM") - dBefore, 256.0) << "the program's memory grew with the large page";
    }
}
