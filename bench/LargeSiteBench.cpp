// A large site of pages with text (a title, a description, keywords and about 260 words each),
// worked on through the program's window shown on a real X server ($DISPLAY, else a private
// Xvfb), as a user meets it:
// - the resident size after a scan, after each of three scans again of the same pages, after a
//   save of every page and a scan after it, and after the project is closed ("rss_*_mb",
//   "x_first_scan" the largest rescan against the first scan, "x_saved" the larger of the
//   save's and the scan's after it against the first scan), beside what the heap holds in use then ("heap_*_mb") and, before the project
//   and after its closing, the resident size apart from the program's files mapped in
//   ("anon_*_mb": the code a project ran stays mapped, but it is no memory the project held);
// - a save of pages whose files are read-only beside a save of the same edits into writable
//   files, in the same run ("readonly_s", "writable_s", "x_writable");
// - the Keywords group action over every row, beside Fill Down over the same rows, with the
//   undo steps each leaves ("group_action_s", "fill_down_s", "*_undo_steps"; the grid keeps
//   at most 100 steps).
// The sites are made under $VOSTREL_BENCH_DIR, else $TMPDIR or /tmp, and removed at the end.
#include "app/views/CGroupDoc.h"
#include "app/views/CGroupView.h"
#include "engine/meta/CMetaContent.h"
#include "engine/meta/CMetaContentList.h"
#include "engine/project/CPageNode.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"

#include "BenchSiteDir.h"
#include "ShownProgram.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;

constexpr int kRescanPages = 20000;
constexpr int kSavePages = 20000;
constexpr int kGroupPages = 100000;

// About 2 KB of English text: the keyword extractor finds phrases in it.
void WriteTextPage(const fs::path& path, int n)
{
    static const char* const kWords[] = {
        "the",     "garden",  "of",      "our",    "village", "and",      "its",    "orchard",  "apple",  "trees",
        "grow",    "in",      "spring",  "with",   "fresh",   "water",    "from",   "the",      "river",  "where",
        "children", "play",   "every",   "summer", "while",   "farmers",  "bring",  "honey",    "bread",  "market",
        "stone",   "bridge",  "old",     "mill",   "wheat",   "harvest",  "autumn", "festival", "church", "bells"};
    std::string text;
    for (int w = 0; w < 260; ++w) {
        text += kWords[(w * 7 + n + w / 13) % (sizeof kWords / sizeof *kWords)];
        text += (w % 12 == 11) ? ". " : " ";
    }
    std::ofstream(path, std::ios::binary)
        << "<html>\n<head>\n<title>Village page " << n << "</title>\n"
        << "<meta name=\"description\" content=\"The village garden and orchard, page " << n << "\">\n"
        << "<meta name=\"keywords\" content=\"village,garden\">\n"
        << "</head>\n<body>\n<p>" << text << "</p>\n</body>\n</html>\n";
}

class Site {
public:
    Site(const char* pszName, int nPages) : m_dir(BenchSiteDir(pszName))
    {
        fs::create_directories(m_dir);
        for (int n = 0; n < nPages; ++n)
            WriteTextPage(m_dir / ("page" + std::to_string(n) + ".htm"), n);
    }
    ~Site()
    {
        std::error_code error;
        SetWritable(true);
        fs::remove_all(m_dir, error);
    }
    Site(const Site&) = delete;
    Site& operator=(const Site&) = delete;

    std::string Path() const { return m_dir.string(); }
    // The pages' files writable by their owner, or read-only to everyone.
    void SetWritable(bool bWritable) const
    {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(m_dir, error)) {
            if (bWritable)
                fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add, error);
            else
                fs::permissions(entry.path(), fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                                fs::perm_options::remove, error);
        }
    }

private:
    fs::path m_dir;
};

double ResidentMb()
{
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return static_cast<double>(resident) * static_cast<double>(::sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// The resident memory that is no file's: heap, stacks and other anonymous mappings.
double AnonymousResidentMb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("RssAnon:", 0) == 0)
            return std::stod(line.substr(8)) / 1024.0;
    }
    return 0;
}

// What the program's heap holds in use (every arena), apart from what it keeps free.
double HeapInUseMb()
{
    const struct mallinfo2 info = ::mallinfo2();
    return static_cast<double>(info.uordblks + info.hblkhd) / (1024.0 * 1024.0);
}

CGroupView* GroupView(ShownProgram& program)
{
    CGroupDoc* pDoc = nullptr;
    CGroupView* pView = nullptr;
    if (program.App().FindGroupDocument(pDoc) != 0 || pDoc->GetGroupView(pView) != 0)
        return nullptr;
    return pView;
}

ROWCOL ColumnOf(CGroupView& view, const char* pszTag)
{
    for (ROWCOL c = 1; c <= view.GetColCount(); ++c) {
        CString strHeader;
        view.GetCellText(0, c, strHeader);
        if (strHeader.CompareNoCase(pszTag) == 0)
            return c;
    }
    return 0;
}

// The program shown on the X server and a site made for one benchmark.
class ShownSite {
public:
    // False, with the benchmark skipped, when the program could not be shown.
    bool Start(const char* pszName, int nPages, benchmark::State& state)
    {
        if (!program.StartOnDisplay(state))
            return false;
        m_nPages = nPages;
        site.emplace(pszName, nPages);
        return true;
    }
    // A project of the site, scanned; false, with the benchmark skipped, when a page was not read.
    bool OpenAndScan(benchmark::State& state)
    {
        if (program.SetUp(site->Path(), m_nPages) && program.Scan(m_nPages))
            return true;
        state.SkipWithError("the scan did not read every page");
        return false;
    }

    ShownProgram program;
    std::optional<Site> site;

private:
    int m_nPages = 0;
};

// Every page's description edited in the pages themselves, as typing would leave them.
void EditDescriptions(CVostrelApp& app, const char* pszText)
{
    CSelNodesCol& pages = app.GetSelectedNodes();
    for (POSITION pos = pages.GetHeadPosition(); pos != nullptr;) {
        CPageNode* pPage = pages.GetNext(pos);
        CMetaContentList* pList = nullptr;
        CMetaContent* pContent = nullptr;
        if (pPage->GetContentList(pList) == 0 && pList->FindByName("description", pContent) == 0) {
            pContent->SetContent(pszText);
            pContent->SetModified(1);
        }
    }
    app.SetEditState(1);
}

double TimedSave(ShownProgram& program)
{
    const auto start = std::chrono::steady_clock::now();
    program.Frame().SendMessage(WM_COMMAND, ID_SAVE_EDITED_FILES);
    program.Settled();
    return Seconds(std::chrono::steady_clock::now() - start);
}

void BM_ResidentSizeOverRescans(benchmark::State& state)
{
    ShownSite shown;
    if (!shown.Start("vostrel-rescan-bench", kRescanPages, state))
        return;
    ShownProgram& program = shown.program;
    double dBefore = 0, dScan = 0, dClosed = 0, dLargest = 0, dSaved = 0, dSavedRescan = 0;
    double dHeapBefore = 0, dHeapScan = 0, dHeapRescans = 0, dHeapSaved = 0, dHeapClosed = 0;
    double dAnonBefore = 0, dAnonClosed = 0;
    std::vector<double> rescans;
    for (auto _ : state) {
        program.Settled();
        dBefore = ResidentMb();
        dHeapBefore = HeapInUseMb();
        dAnonBefore = AnonymousResidentMb();
        if (!shown.OpenAndScan(state))
            return;
        program.Settled();
        dScan = ResidentMb();
        dHeapScan = HeapInUseMb();
        for (int n = 0; n < 3; ++n) {
            if (!program.Scan(kRescanPages)) {
                state.SkipWithError("a scan again did not read every page");
                return;
            }
            program.Settled();
            rescans.push_back(ResidentMb());
            dLargest = std::max(dLargest, rescans.back());
        }
        dHeapRescans = HeapInUseMb();
        // Every page saved with a new description, then read again.
        EditDescriptions(program.App(), "A new description of the village");
        TimedSave(program);
        if (program.App().GetPageNodes().HasEdits() != 3) {
            state.SkipWithError("the pages were not all saved");
            return;
        }
        dSaved = ResidentMb();
        dHeapSaved = HeapInUseMb();
        if (!program.Scan(kRescanPages)) {
            state.SkipWithError("a scan after the save did not read every page");
            return;
        }
        program.Settled();
        dSavedRescan = ResidentMb();
        program.Frame().CloseProjectViews();
        program.Settled();
        dClosed = ResidentMb();
        dHeapClosed = HeapInUseMb();
        dAnonClosed = AnonymousResidentMb();
    }
    state.counters["rss_before_mb"] = dBefore;
    state.counters["rss_scan_mb"] = dScan;
    for (size_t n = 0; n < rescans.size(); ++n)
        state.counters["rss_rescan" + std::to_string(n + 1) + "_mb"] = rescans[n];
    state.counters["rss_saved_mb"] = dSaved;
    state.counters["rss_saved_rescan_mb"] = dSavedRescan;
    state.counters["rss_closed_mb"] = dClosed;
    state.counters["x_first_scan"] = dScan > 0 ? dLargest / dScan : 0;
    state.counters["x_saved"] = dScan > 0 ? std::max(dSaved, dSavedRescan) / dScan : 0;
    state.counters["heap_before_mb"] = dHeapBefore;
    state.counters["heap_scan_mb"] = dHeapScan;
    state.counters["heap_rescan3_mb"] = dHeapRescans;
    state.counters["heap_saved_mb"] = dHeapSaved;
    state.counters["heap_closed_mb"] = dHeapClosed;
    state.counters["anon_before_mb"] = dAnonBefore;
    state.counters["anon_closed_mb"] = dAnonClosed;
}
BENCHMARK(BM_ResidentSizeOverRescans)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

void BM_SaveOfReadOnlyPages(benchmark::State& state)
{
    ShownSite shown;
    if (!shown.Start("vostrel-readonly-save-bench", kSavePages, state))
        return;
    ShownProgram& program = shown.program;
    const Site& site = *shown.site;
    double dReadOnly = 0, dWritable = 0;
    for (auto _ : state) {
        if (!shown.OpenAndScan(state))
            return;
        EditDescriptions(program.App(), "A new description of the village");
        site.SetWritable(false);
        dReadOnly = TimedSave(program);
        site.SetWritable(true);
        if (program.App().GetPageNodes().HasEdits() != 2) {
            state.SkipWithError("the read-only pages lost their edits");
            return;
        }
        dWritable = TimedSave(program);
        if (program.App().GetPageNodes().HasEdits() != 3) {
            state.SkipWithError("the writable pages were not all saved");
            return;
        }
        program.Frame().CloseProjectViews();
        program.Settled();
    }
    state.counters["readonly_s"] = dReadOnly;
    state.counters["writable_s"] = dWritable;
    state.counters["x_writable"] = dWritable > 0 ? dReadOnly / dWritable : 0;
}
BENCHMARK(BM_SaveOfReadOnlyPages)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

// The group action's own dialog answered with its default choice (add the suggestions) as soon
// as it shows, and Fill Down's question over a range too tall to undo with OK.
UINT_PTR AnswerDialogsWithOk()
{
    return ::SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) {
        if (HWND dlg = ::GetActiveWindow(); dlg != nullptr && ::GetWindow(dlg, GW_OWNER) != nullptr)
            ::PostMessage(dlg, WM_COMMAND, IDOK, 0);
    });
}

void BM_GroupActionOverEveryRow(benchmark::State& state)
{
    ShownSite shown;
    if (!shown.Start("vostrel-group-action-bench", kGroupPages, state))
        return;
    ShownProgram& program = shown.program;
    double dGroup = 0, dFill = 0;
    INT_PTR nGroupSteps = 0, nFillSteps = 0;
    for (auto _ : state) {
        if (!shown.OpenAndScan(state))
            return;
        CGroupView* pView = GroupView(program);
        const ROWCOL nKeywords = pView != nullptr ? ColumnOf(*pView, "keywords") : 0;
        const ROWCOL nDescription = pView != nullptr ? ColumnOf(*pView, "description") : 0;
        if (nKeywords == 0 || nDescription == 0) {
            state.SkipWithError("no keywords or description column");
            return;
        }
        const UINT_PTR timer = AnswerDialogsWithOk();
        pView->SetCurrentCell(1, nKeywords);
        pView->SelectRange(CGXRange().SetCols(nKeywords, nKeywords));
        auto start = std::chrono::steady_clock::now();
        pView->SendMessage(WM_COMMAND, ID_GROUP_ACTIONS);
        program.Settled();
        dGroup = Seconds(std::chrono::steady_clock::now() - start);
        nGroupSteps = pView->GetParam()->m_UndoList.GetCount();
        pView->EndHistoryAtSave();

        pView->ClearSelection();
        pView->SetCurrentCell(1, nDescription);
        pView->SelectRange(CGXRange().SetCols(nDescription, nDescription));
        start = std::chrono::steady_clock::now();
        pView->SendMessage(WM_COMMAND, ID_FILL_DOWN);
        program.Settled();
        dFill = Seconds(std::chrono::steady_clock::now() - start);
        ::KillTimer(nullptr, timer);
        nFillSteps = pView->GetParam()->m_UndoList.GetCount();
        if (program.App().GetPageNodes().HasEdits() != 2) {
            state.SkipWithError("the group action and Fill Down edited no page");
            return;
        }
        program.App().GetSelectedNodes().SetEditFlags(0);
        program.App().SetEditState(0);
        pView->EndHistoryAtSave();
        program.Frame().CloseProjectViews();
        program.Settled();
    }
    state.counters["group_action_s"] = dGroup;
    state.counters["fill_down_s"] = dFill;
    state.counters["group_action_undo_steps"] = static_cast<double>(nGroupSteps);
    state.counters["fill_down_undo_steps"] = static_cast<double>(nFillSteps);
}
BENCHMARK(BM_GroupActionOverEveryRow)->Unit(benchmark::kSecond)->UseRealTime()->Iterations(1);

} // namespace
