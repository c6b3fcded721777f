// Long pages as the program takes them: pages of 200 MB and of 2.1 GB (2,100,000,000 bytes) of
// text in paragraphs, one of 200 MB that are one picture written into an IMG tag, and a page of
// 2.5 GB (a title, then bytes never written: the file holds a hole, so that the benchmark costs
// neither disk nor memory where its folder lies on tmpfs). Each way of taking a page (the scan,
// through the scan engine and the fetch engine on their threads) is measured in a process of its
// own: its time, the peak of its memory beyond what its process held before, and the time a stop
// requested at points along the way takes to be answered (the first answer of Esc). The Preview
// of a page given a new title (View > Changes, in the whole program shown on an X server, until
// it shows) is taken the same way, Esc pressed along its preparation, and is set beside diff, a
// program that shows the changes of two files. Beside them the floors over the same file: cat to
// /dev/null, cp to a file beside it, and reading it in pieces of 1 MB. The Preview of a page is
// skipped where the machine has not memory for both of its texts several times over.
// The sites are made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end.
#include "BenchSiteDir.h"
#include "ReadPageNode.h"
#include "ChildCost.h"
#include "ShownProgram.h"
#include "StoppedRun.h"

#include "app/res/AppRes.h"
#include "app/views/CGroupView.h"

#include "engine/project/CPageNode.h"
#include "grid/data/CGXLongOperation.h"
#include "engine/project/CParserEngine.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/IScanHost.h"
#include "fetch/CFetchScanBackend.h"
#include "platform/controls/MessageBox.h"
#include "platform/core/AtomTable.h"
#include "platform/core/MessageQueue.h"
#include "platform/core/SyncApi.h"
#include "platform/core/WindowHandle.h"
#include "platform/win/VirtualKeys.h"
#include "tests/support/RewriteModel.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr double kMega = 1 << 20;
constexpr const char* kNewTitle = "A new title, Νέος τίτλος";

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// cat of the file to /dev/null: its time, or negative when it failed.
double Cat(const fs::path& page)
{
    return Program({"cat", page.string()}, "/dev/null").dSeconds;
}

// cp of the file to a file beside it, removed afterwards: its time and peak.
Cost Copy(const fs::path& page)
{
    const fs::path copy = page.parent_path() / ("copy-" + page.filename().string());
    const Cost cost = Program({"cp", page.string(), copy.string()}, "/dev/null");
    std::error_code error;
    fs::remove(copy, error);
    return cost;
}

// The memory the system has for a new program, in bytes (MemAvailable).
double AvailableMemory()
{
    std::ifstream info("/proc/meminfo");
    for (std::string line; std::getline(info, line);) {
        if (line.rfind("MemAvailable:", 0) == 0)
            return std::atof(line.c_str() + 13) * 1024;
    }
    return 0;
}

// The file read in pieces of 1 MB.
double ReadInPieces(const fs::path& page)
{
    const auto start = std::chrono::steady_clock::now();
    const int fd = ::open(page.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return -1;
    std::vector<char> piece(1 << 20);
    while (::read(fd, piece.data(), piece.size()) > 0) {
    }
    ::close(fd);
    return Seconds(start);
}

// The main window and the Output Area as the scan sees them: settings are shown at once, lines
// are taken and dropped, and the scan's end is noted.
class ScanWindow : public IScanHost {
public:
    ScanWindow() { m_hWnd = CreateMessageWindow(&ScanWindow::WndProc, this); }
    ~ScanWindow() override { DestroyMessageWindow(m_hWnd); }
    ScanWindow(const ScanWindow&) = delete;
    ScanWindow& operator=(const ScanWindow&) = delete;

    HWND GetMainWindow() override { return m_hWnd; }
    HWND GetOutputPane() override { return m_hWnd; }

    bool bEnded = false;

private:
    static LRESULT CALLBACK WndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM)
    {
        auto* self = static_cast<ScanWindow*>(GetMessageWindowData(hWnd));
        if (self == nullptr)
            return 0;
        if (message == kMsgShowSetting)
            SetEvent(reinterpret_cast<HANDLE>(wParam));
        else if (message == kMsgOutputAddLine)
            DeleteAtom(static_cast<ATOM>(wParam));
        else if (message == kMsgScanFinished) {
            self->bEnded = true;
            RewriteModel().SetRunState(0);
        }
        return 0;
    }

    HWND m_hWnd = nullptr;
};

// The page scanned as the program scans it, on one check thread, and stopped after dStopAfter
// seconds when that is not negative. The seconds the scan took, or, stopped, the seconds from the
// stop to its answer; negative when the scan did not end.
double ScanPage(const fs::path& page, double dStopAfter)
{
    CVostrelAppModel& model = RewriteModel();
    CProjectSettings* pSettings = nullptr;
    model.GetProjectSettings(pSettings);
    CPageNode root;
    root.SetKind(CPageNode::kindRoot);
    auto* pPage = new CPageNode;
    pPage->SetKind(CPageNode::kindPage);
    pPage->SetName(page.filename().c_str());
    pPage->SetFolder(page.parent_path().c_str());
    root.AddChild(pPage);
    CSelNodesCol selection;
    selection.AddTail(pPage);
    ScanWindow window;
    CFetchScanBackend backend;
    CParserEngine engine;
    engine.SetScanBackend(&backend);
    engine.SetScanHost(&window);
    engine.SetScanThreads(1);
    const auto start = std::chrono::steady_clock::now();
    if (engine.StartScan(selection, *pSettings) != 0)
        return -1;
    std::optional<std::chrono::steady_clock::time_point> stopped;
    if (!RunWithStop(start, [&] { return window.bEnded; }, dStopAfter, [&] { engine.StopScan(); }, stopped))
        return -1;
    // A scan that ended before the stop was asked answered it at once.
    if (dStopAfter >= 0)
        return stopped ? Seconds(*stopped) : 0;
    return Seconds(start);
}

// What one Preview did: whether it showed, and when an Esc was pressed and its question came.
struct PreviewRun {
    bool bShown = false;
    std::optional<std::chrono::steady_clock::time_point> esc;
    std::optional<std::chrono::steady_clock::time_point> asked;
    bool bWhileWorking = false; // the key came while the Preview was being prepared
    // When the key is pressed: the program sees it at its next look at its input, which is part
    // of the time to the answer.
    std::chrono::steady_clock::time_point due;
};
PreviewRun* g_pRun = nullptr;

// Looks at the program's windows on its own timer, in every loop the program runs: the Preview is
// closed once it shows, the question Esc brings answered Yes, a note answered OK.
void CALLBACK AnswerWindows(HWND, UINT, UINT_PTR, DWORD)
{
    HWND hDlg = ::GetActiveWindow();
    if (hDlg == nullptr || g_pRun == nullptr || !::IsWindowVisible(hDlg))
        return;
    char szTitle[256] = {};
    ::GetWindowText(hDlg, szTitle, sizeof szTitle);
    if (std::strstr(szTitle, "Preview") != nullptr) {
        g_pRun->bShown = true;
        ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    char szText[512] = {};
    ::GetDlgItemText(hDlg, kMessageBoxTextId, szText, sizeof szText);
    if (szText[0] == '\0')
        return;
    const bool bQuestion = std::strstr(szText, "abort") != nullptr;
    if (!g_pRun->asked && bQuestion)
        g_pRun->asked = std::chrono::steady_clock::now();
    ::PostMessage(hDlg, WM_COMMAND, bQuestion ? IDYES : IDOK, 0);
}

// Presses Esc where the keys are, once, noting whether the Preview was being prepared then.
void CALLBACK PressEsc(HWND, UINT, UINT_PTR nID, DWORD)
{
    ::KillTimer(nullptr, nID);
    if (g_pRun == nullptr || g_pRun->esc)
        return;
    g_pRun->esc = g_pRun->due;
    g_pRun->bWhileWorking = CGXLongOperation::GetLevel() > 0;
    HWND hFocus = ::GetFocus();
    ::PostMessage(hFocus, WM_KEYDOWN, VK_ESCAPE, 1);
    ::PostMessage(hFocus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
}

// View > Changes of the page given a new title, in the program shown on an X server ($DISPLAY,
// else a private Xvfb), whose clock is the system's. With dEscAfter not negative, Esc is pressed
// that many seconds after the start and the question it brings answered Yes: the seconds from the
// key to the question, negative when the question did not come or the Preview showed all the
// same. Otherwise the seconds until the Preview showed, negative when it did not.
double PreviewPage(const fs::path& page, double dEscAfter)
{
    ShownProgram program;
    std::string why;
    if (!program.StartOnDisplay(why))
        return -1;
    CVostrelApp& app = program.App();
    CPageNode* pPage = NewReadPage(page);
    pPage->SetTitle(kNewTitle);
    pPage->SetTitleModified(1);
    CSelNodesCol selection;
    selection.AddTail(pPage);
    CProjectSettings* pSettings = nullptr;
    app.NewProjectSettings(pSettings);
    pSettings->m_bShowTitle = 1;
    CGroupView* pView = app.ShowGroupView("Bench", 1);
    if (pView == nullptr)
        return -1;
    pView->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&selection));
    pView->SetCurrentCell(1, CGroupView::kTitleColumn);
    program.Settled();

    PreviewRun run;
    g_pRun = &run;
    const UINT_PTR nAnswer = ::SetTimer(nullptr, 0, 20, &AnswerWindows);
    const UINT_PTR nEsc = dEscAfter >= 0 ? ::SetTimer(nullptr, 0, static_cast<UINT>(dEscAfter * 1000), &PressEsc) : 0;
    const auto start = std::chrono::steady_clock::now();
    run.due = start + std::chrono::duration_cast<std::chrono::steady_clock::duration>(std::chrono::duration<double>(dEscAfter));
    pView->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    const double dTook = Seconds(start);
    // A question or a note that comes after the Preview is answered too.
    program.Run([] { return ::GetActiveWindow() == nullptr || ::GetWindow(::GetActiveWindow(), GW_OWNER) == nullptr; }, 10000);
    ::KillTimer(nullptr, nAnswer);
    if (nEsc != 0)
        ::KillTimer(nullptr, nEsc);
    g_pRun = nullptr;
    if (dEscAfter < 0)
        return run.bShown ? dTook : -1;
    // A key that came once the Preview was ready found no work to stop: answered at once, as a
    // scan that ended before its stop.
    if (run.esc && !run.bWhileWorking)
        return 0;
    // One that came after the preparation's last look at the keys is dropped with its end, which
    // shows the Preview: the work was done.
    if (run.esc && run.bShown && !run.asked)
        return 0;
    if (run.bShown || !run.esc || !run.asked)
        return -1;
    return std::chrono::duration<double>(*run.asked - *run.esc).count();
}

// diff of the page and its copy under the new title: a program that shows what changes.
Cost DiffPeer(const fs::path& page)
{
    const fs::path copy = page.parent_path() / ("retitled-" + page.filename().string());
    if (!fs::exists(copy)) {
        std::ifstream in(page, std::ios::binary);
        std::ofstream out(copy, std::ios::binary);
        std::string head(4096, '\0');
        in.read(head.data(), static_cast<std::streamsize>(head.size()));
        head.resize(static_cast<size_t>(in.gcount()));
        const size_t nFrom = head.find("<title>"), nTo = head.find("</title>");
        if (nFrom != std::string::npos && nTo != std::string::npos)
            head.replace(nFrom + 7, nTo - nFrom - 7, kNewTitle);
        out << head << in.rdbuf();
    }
    return Program({"diff", page.string(), copy.string()}, "/dev/null", 1);
}

// The ways the program takes a long page, each measured the same way: the page taken whole, and
// stopped along the way. Each is a function of the page and the seconds after which it is asked to
// stop (negative: never), giving the seconds it took, or from the stop to its answer.
//
// The Preview of a long page is measured by a function of that form, given its row below.
struct Way {
    const char* pszName;
    double (*pfnTake)(const fs::path& page, double dStopAfter);
    // A program of the system's that does the same work, if there is one.
    Cost (*pfnPeer)(const fs::path& page);
    // Whether the way takes a page that is mostly a hole: the Preview refuses such bytes.
    bool bTakesHoles;
};
constexpr Way kWays[] = {
    {"scan", &ScanPage, nullptr, true},
    {"preview", &PreviewPage, &DiffPeer, false},
};

// The long pages, each made once on first use, in a folder removed at the end.
class LongPages {
public:
    static LongPages& Get()
    {
        static LongPages s_pages;
        return s_pages;
    }

    // 200 MB of paragraphs of text under a head with a title and a description.
    fs::path Text200() { return Make("text-200mb.htm", [](const fs::path& page) { WriteText(page, 200u << 20); }); }
    // The same, 2,100,000,000 bytes: just under the largest page the scan reads.
    fs::path Text2100() { return Make("text-2100mb.htm", [](const fs::path& page) { WriteText(page, 2100000000ull); }); }
    // 200 MB that are one picture written into the page (a data: URL in one IMG tag): a value the
    // lexer holds whole, and the reports of the tag copy.
    fs::path Picture200() { return Make("picture-200mb.htm", [](const fs::path& page) {
        std::ofstream out(page, std::ios::binary);
        out << kHead << "<img alt=\"Plan\" src=\"data:image/png;base64,";
        const std::string block(1 << 20, 'Q');
        for (int i = 0; i < 200; ++i)
            out << block;
        out << "\"></body></html>\n";
    }); }
    // 2.5 GB: the same head, then a hole.
    fs::path Sparse2500() { return Make("sparse-2500mb.htm", [](const fs::path& page) {
        std::ofstream(page, std::ios::binary) << kHead;
        fs::resize_file(page, 2500ull << 20);
    }); }

private:
    static constexpr const char* kHead =
        "<html><head><title>A long page</title><meta name=\"description\" content=\"Long\"></head><body>\n";

    static void WriteText(const fs::path& page, unsigned long long nSize)
    {
        std::ofstream out(page, std::ios::binary);
        out << kHead;
        std::string block;
        for (int i = 0; i < 1000; ++i)
            block += "<p>The garden railway runs through the old orchard; every garden railway needs careful "
                     "track work, and the steam locomotive pulls the coaches along it.</p>\n";
        const std::string tail = "</body></html>\n";
        unsigned long long nWritten = std::string_view(kHead).size();
        for (; nWritten + block.size() + tail.size() <= nSize; nWritten += block.size())
            out << block;
        out << std::string(nSize - nWritten - tail.size(), '\n') << tail;
    }

    LongPages() : m_top(BenchSiteDir("vostrel-long-pages")) {}
    ~LongPages()
    {
        std::error_code error;
        fs::remove_all(m_top, error);
    }

    template <class Fill>
    fs::path Make(const std::string& name, Fill fill)
    {
        fs::create_directories(m_top);
        const fs::path page = m_top / name;
        if (!fs::exists(page))
            fill(page);
        return page;
    }

    fs::path m_top;
};

void TakeLongPage(benchmark::State& state, const Way& way, fs::path (LongPages::*pfnPage)())
{
    const fs::path page = (LongPages::Get().*pfnPage)();
    const double dPage = static_cast<double>(fs::file_size(page));
    // Both texts of the Preview, each line held apart: some six times the page.
    if (!way.bTakesHoles && AvailableMemory() < 8 * dPage) {
        state.SkipWithError("not memory enough for the Preview of the page beside the machine's other work");
        return;
    }
    Cost whole;
    for (auto _ : state) {
        whole = InChild([&] { return way.pfnTake(page, -1); });
        if (whole.dSeconds < 0)
            state.SkipWithError("the page was not taken to its end");
        state.SetIterationTime(whole.dSeconds);
    }
    // Stopped at points along the way: the time to the stop's answer, and the peak.
    double dStopMax = 0, dStopSum = 0, dStopPeak = 0;
    int nUnanswered = 0;
    const double kStopPoints[] = {0.1, 0.5, 0.9};
    for (const double dPoint : kStopPoints) {
        const double dAfter = dPoint * whole.dSeconds;
        const Cost stopped = InChild([&] { return way.pfnTake(page, dAfter); });
        state.counters["stop_answer_s_at_" + std::to_string(static_cast<int>(dPoint * 100)) + "pc"] = stopped.dSeconds;
        nUnanswered += stopped.dSeconds < 0 ? 1 : 0;
        dStopMax = std::max(dStopMax, stopped.dSeconds);
        dStopSum += stopped.dSeconds;
        dStopPeak = std::max(dStopPeak, stopped.dPeak);
    }
    const double dCat = Cat(page);
    const Cost copy = Copy(page);
    const Cost pieces = InChild([&] { return ReadInPieces(page); });
    state.counters["page_MB"] = dPage / kMega;
    state.counters[std::string(way.pszName) + "_s"] = whole.dSeconds;
    state.counters[std::string(way.pszName) + "_peak_MB"] = whole.dPeak / kMega;
    state.counters["stop_answer_max_s"] = dStopMax;
    state.counters["stop_answer_mean_s"] = dStopSum / static_cast<double>(std::size(kStopPoints));
    state.counters["stopped_peak_MB"] = dStopPeak / kMega;
    state.counters["stops_unanswered"] = nUnanswered;
    state.counters["cat_s"] = dCat;
    state.counters["read_1MB_pieces_s"] = pieces.dSeconds;
    state.counters["read_1MB_pieces_peak_MB"] = pieces.dPeak / kMega;
    state.counters["per_cat"] = dCat > 0 ? whole.dSeconds / dCat : 0;
    state.counters["cp_s"] = copy.dSeconds;
    state.counters["cp_peak_MB"] = copy.dPeak / kMega;
    state.counters["per_cp"] = copy.dSeconds > 0 ? whole.dSeconds / copy.dSeconds : 0;
    if (way.pfnPeer != nullptr) {
        const Cost peer = way.pfnPeer(page);
        state.counters["peer_s"] = peer.dSeconds;
        state.counters["peer_peak_MB"] = peer.dPeak / kMega;
        state.counters["per_peer"] = peer.dSeconds > 0 ? whole.dSeconds / peer.dSeconds : 0;
    }
}

[[maybe_unused]] const bool kRegistered = [] {
    for (const Way& way : kWays) {
        const std::string strWay = way.pszName;
        benchmark::RegisterBenchmark(("BM_LongPage_" + strWay + "/200MB_text").c_str(),
                                     [&way](benchmark::State& state) { TakeLongPage(state, way, &LongPages::Text200); })
            ->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
        benchmark::RegisterBenchmark(("BM_LongPage_" + strWay + "/2100MB_text").c_str(),
                                     [&way](benchmark::State& state) { TakeLongPage(state, way, &LongPages::Text2100); })
            ->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
        benchmark::RegisterBenchmark(("BM_LongPage_" + strWay + "/200MB_one_picture").c_str(),
                                     [&way](benchmark::State& state) { TakeLongPage(state, way, &LongPages::Picture200); })
            ->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
        if (!way.bTakesHoles)
            continue;
        benchmark::RegisterBenchmark(("BM_LongPage_" + strWay + "/2500MB_sparse").c_str(),
                                     [&way](benchmark::State& state) { TakeLongPage(state, way, &LongPages::Sparse2500); })
            ->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);
    }
    return true;
}();

} // namespace
