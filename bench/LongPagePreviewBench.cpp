// The Preview of a 200 MB page given a new title, as View > Changes prepares and shows it: its
// time and the peak of its memory beyond what the process held before, each in a process of its
// own, and the time from an Esc pressed at points along the preparation to the question it asks.
// Beside them the floors over the same bytes: cat reading the page and its rewritten copy, as the
// two panes read them, and diff comparing them, a program that shows the changes of two files.
#include "BenchSiteDir.h"
#include "ChildCost.h"
#include "ProgramStart.h"

#include "app/res/AppRes.h"
#include "app/views/CGroupView.h"
#include "engine/project/CPageNode.h"
#include "platform/win/VirtualKeys.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <sys/stat.h>

namespace fs = std::filesystem;

namespace {

constexpr size_t kPageSize = 200u << 20;
constexpr const char* kNewTitle = "A new title, Νέος τίτλος";

// A manual in UTF-8 under the title, its paragraphs one line each, a script and a style sheet in
// its head.
void WriteManual(const fs::path& path, const std::string& title)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\">\n<title>" << title << "</title>\n"
           "<style>p:before{content:\"\xE2\x80\xA2\"}</style>\n<script>var s = \"→\";</script>\n</head><body>\n";
    std::string line;
    for (size_t nWritten = 0, n = 0; nWritten < kPageSize; ++n) {
        line = "<p>" + std::to_string(n) + " Ωμέγα café straße &mdash; 日本語のページ, Привет мир.</p>\n";
        out << line;
        nWritten += line.size();
    }
    out << "</body></html>\n";
}

double Seconds(std::chrono::steady_clock::time_point start)
{
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// What one Preview did: whether it showed, and when an Esc was pressed and its question came.
struct PreviewRun {
    bool bShown = false;
    std::optional<std::chrono::steady_clock::time_point> esc;
    std::optional<std::chrono::steady_clock::time_point> asked;
};
PreviewRun* g_pRun = nullptr;

// View > Changes of the page given a new title, in the program on the memory backend. With
// dEscAfter not negative, Esc is pressed that many seconds after the start and the question it
// brings answered Yes: the seconds from the key to the question, negative when the question did
// not come or the Preview showed all the same. Otherwise the seconds until the Preview showed,
// negative when it did not.
double PreviewPage(const fs::path& page, double dEscAfter)
{
    std::optional<CVostrelApp> app;
    HeadlessBackend& backend = StartProgram(app, "vostrel-long-preview-bench");
    CPageNode* pPage = new CPageNode;
    pPage->SetKind(CPageNode::kindPage);
    pPage->SetScanState(0);
    pPage->SetName(page.filename().c_str());
    pPage->SetFolder(page.parent_path().c_str());
    struct stat info {};
    ::stat(page.c_str(), &info);
    pPage->SetReadFile(info);
    pPage->SetTitle(kNewTitle);
    pPage->SetTitleModified(1);
    CSelNodesCol selection;
    selection.AddTail(pPage);
    CGroupView* pView = app->ShowGroupView("Bench", 1);
    if (pView == nullptr)
        return -1;
    pView->OnUpdate(nullptr, 3, reinterpret_cast<CObject*>(&selection));
    pView->SetCurrentCell(1, 3);
    backend.ProcessMessages();

    PreviewRun run;
    g_pRun = &run;
    // The Preview is closed once it waits for the user, the question answered Yes once it shows.
    backend.WhenIdle([] {
        HWND hDlg = ::GetActiveWindow();
        if (hDlg == nullptr || g_pRun == nullptr)
            return;
        char szTitle[256] = {};
        ::GetWindowText(hDlg, szTitle, sizeof szTitle);
        if (std::strstr(szTitle, "Preview") != nullptr) {
            g_pRun->bShown = true;
            ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
        } else {
            if (!g_pRun->asked)
                g_pRun->asked = std::chrono::steady_clock::now();
            ::PostMessage(hDlg, WM_COMMAND, IDYES, 0);
        }
    });
    UINT_PTR nTimer = 0;
    if (dEscAfter >= 0)
        nTimer = ::SetTimer(nullptr, 0, static_cast<UINT>(dEscAfter * 1000), [](HWND, UINT, UINT_PTR nID, DWORD) {
            ::KillTimer(nullptr, nID);
            if (g_pRun != nullptr && !g_pRun->esc) {
                g_pRun->esc = std::chrono::steady_clock::now();
                HWND hFocus = ::GetFocus();
                ::PostMessage(hFocus, WM_KEYDOWN, VK_ESCAPE, 1);
                ::PostMessage(hFocus, WM_KEYUP, VK_ESCAPE, 0xC0000001);
            }
        });
    const auto start = std::chrono::steady_clock::now();
    pView->SendMessage(WM_COMMAND, ID_VIEW_CHANGES);
    const double dTook = Seconds(start);
    if (nTimer != 0)
        ::KillTimer(nullptr, nTimer);
    g_pRun = nullptr;
    if (dEscAfter < 0)
        return run.bShown ? dTook : -1;
    if (run.bShown || !run.esc || !run.asked)
        return -1;
    return std::chrono::duration<double>(*run.asked - *run.esc).count();
}

void BM_LongPagePreview(benchmark::State& state)
{
    BenchSites sites("vostrel-long-preview");
    const fs::path folder = sites.Site("site");
    const fs::path page = folder / "manual.htm";
    WriteManual(page, "Εγχειρίδιο");
    const double dPage = static_cast<double>(fs::file_size(page));
    // The rewritten copy for the floors: the page with the new title.
    const fs::path copy = folder / "copy.htm";
    WriteManual(copy, kNewTitle);
    Cost preview, cat, diff;
    for (auto _ : state) {
        preview = InChild([&page] { return PreviewPage(page, -1); });
        cat = Program({"cat", page.string(), copy.string()}, "/dev/null");
        diff = Program({"diff", page.string(), copy.string()}, (folder / "diff.txt").string(), 1);
        if (preview.dSeconds < 0)
            state.SkipWithError("the Preview did not show");
        if (cat.dSeconds < 0 || diff.dSeconds < 0)
            state.SkipWithError("a floor did not run");
        state.SetIterationTime(std::max(preview.dSeconds, 0.0));
    }
    // Esc at points along the preparation: how long until the question shows.
    double dAnswerMax = 0;
    int nAnswered = 0;
    for (const double dPoint : {0.05, 0.3, 0.6, 0.9}) {
        const double dAfter = dPoint * preview.dSeconds;
        const double dAnswer = InChild([&page, dAfter] { return PreviewPage(page, dAfter); }).dSeconds;
        nAnswered += dAnswer >= 0 ? 1 : 0;
        dAnswerMax = std::max(dAnswerMax, dAnswer);
        state.counters["esc_answer_s_at_" + std::to_string(static_cast<int>(dPoint * 100)) + "pc"] = dAnswer;
    }
    constexpr double kMega = 1 << 20;
    state.counters["page_MB"] = dPage / kMega;
    state.counters["preview_s"] = preview.dSeconds;
    state.counters["preview_peak_MB"] = preview.dPeak / kMega;
    state.counters["preview_peak_in_pages_shown"] = preview.dPeak / (2 * dPage);
    state.counters["cat_both_s"] = cat.dSeconds;
    state.counters["diff_s"] = diff.dSeconds;
    state.counters["diff_peak_MB"] = diff.dPeak / kMega;
    state.counters["preview_per_cat"] = cat.dSeconds > 0 ? preview.dSeconds / cat.dSeconds : 0;
    state.counters["preview_per_diff"] = diff.dSeconds > 0 ? preview.dSeconds / diff.dSeconds : 0;
    state.counters["esc_answered"] = nAnswered;
    state.counters["esc_answer_max_s"] = dAnswerMax;
}
BENCHMARK(BM_LongPagePreview)->Unit(benchmark::kSecond)->UseManualTime()->Iterations(1);

} // namespace
