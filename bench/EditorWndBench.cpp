// The editor window with a site's largest page: a generated 49 MB HTML page of 1,000,000 CR LF
// lines (tabs, comments, quoted attributes), coloured with 100 keywords and "<!--" "-->", in a
// 1920 x 1080 window on the headless backend with the real mono font. Inserting and loading the
// page to the first full paint, line, page and thumb scrolls and Ctrl+End at both ends, a full
// paint anywhere, the block-class pass over the whole page, and a typed character and Enter in
// its middle, beside the floor of reading the file and finding its line ends with memchr.
#include "toolkit/editor/wnd/SECEditCtrl.h"

#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/core/CProfileStore.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <malloc.h>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;
constexpr int kLines = 1000000;

const std::string& Dir()
{
    static const std::string dir = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "vostrel-bench-XXXXXX").string();
        return mkdtemp(pattern.data()) != nullptr ? pattern : std::string("/tmp");
    }();
    return dir;
}

const std::string& PagePath()
{
    static const std::string path = [] {
        std::string text;
        text.reserve(50u << 20);
        for (int i = 0; i < kLines; ++i) {
            switch (i % 10) {
            case 0: text += "<!-- section " + std::to_string(i) + " begins"; break;
            case 1: text += "\tends here -->"; break;
            case 2: text += "\t<div class=\"row\" id=\"r" + std::to_string(i) + "\">"; break;
            case 3: text += "\t\t<a href='/page/" + std::to_string(i) + ".html'>caf\xC3\xA9 link</a>"; break;
            case 4: text += "\t\t<span title=\"say \\\"hi\\\"\">text</span>"; break;
            case 5: text += "\t\t<img src=\"i.png\" alt=\"picture\">"; break;
            case 6: text += "\t\t<p>Some paragraph text of the page " + std::to_string(i) + "</p>"; break;
            case 7: text += "\t\t<table><tr><td>1</td></tr></table>"; break;
            case 8: text += "\t\t<meta name=\"keywords\" content=\"a, b\">"; break;
            default: text += "\t</div>"; break;
            }
            text.resize(text.size() + (47 - std::min<size_t>(47, text.size() - text.rfind('\n') - 1)), ' ');
            text += "\r\n";
        }
        const std::string path = Dir() + "/page.html";
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }();
    return path;
}

// A pane that reads its colours from the benchmark's settings.
class BenchEdit : public SECEditCtrl {
public:
    SECEditDoc* CreateDocument() override
    {
        if (!m_pDoc) {
            m_pDoc = std::make_unique<SECEditDoc>(s_pProfile);
            m_pDoc->SetSection("Editor");
            m_pDoc->ReadSettings();
        }
        return m_pDoc.get();
    }
    int ReportErrorArg(int nID, LPCSTR, BOOL) override { return nID; }
    int ReportError(int nID, BOOL) override { return nID; }
    SECEditDoc* Doc() { return m_pDoc.get(); }
};

struct Fixture {
    std::unique_ptr<CProfileStore> profile;
    std::unique_ptr<CWnd> top;

    Fixture()
    {
        setenv("XDG_CONFIG_HOME", Dir().c_str(), 1);
        HeadlessBackend::Install(SIZE{kWidth, kHeight});
        RegisterStandardControls();
        profile = std::make_unique<CProfileStore>("EditorBench");
        SECEditCtrl::s_pProfile = profile.get();
        std::string keywords = "[Keywords]\r\n";
        static const char* const tags[] = {"html", "head", "body", "div", "span", "a", "p", "img", "table", "tr",
                                           "td", "meta", "class", "id", "href", "src", "alt", "title", "name",
                                           "content"};
        for (int i = 0; i < 100; ++i)
            keywords += std::string(tags[i % 20]) + (i < 20 ? "" : std::to_string(i)) + "=1\r\n";
        std::ofstream(Dir() + "/html.ini", std::ios::binary) << keywords;
        auto set = [this](const char* key, const char* value) { profile->WriteProfileString("Editor", key, value); };
        set("Chroma", "1");
        set("Keywords", (Dir() + "/html.ini").c_str());
        set("Comment Start 1", "<!--");
        set("Comment End 1", "-->");
        set("Tab size", "4");
        set("Autoindent", "0");
        top = std::make_unique<CWnd>();
        top->CreateEx(0, nullptr, "Bench", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr);
        PagePath();
    }
    static Fixture& Get()
    {
        static Fixture f;
        return f;
    }
    std::unique_ptr<BenchEdit> MakeEdit()
    {
        auto edit = std::make_unique<BenchEdit>();
        edit->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_HSCROLL, CRect(0, 0, kWidth, kHeight), top.get(), 1);
        return edit;
    }
    // One window holding the page for the navigation benchmarks.
    BenchEdit& Loaded()
    {
        static std::unique_ptr<BenchEdit> edit = [this] {
            auto e = MakeEdit();
            e->InsertFile(PagePath().c_str());
            e->GetDocument()->SetReadOnly(TRUE);
            e->UpdateWindow();
            return e;
        }();
        return *edit;
    }
};

void Paint(SECEditCtrl& edit)
{
    edit.UpdateWindow();
}

void GoToLine(BenchEdit& edit, int line)
{
    edit.SetCaret(edit.Doc()->GetLine(line), 0);
    edit.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, (line - 1) / edit.GetScrollScale()), 0);
    edit.Invalidate(FALSE);
    Paint(edit);
}

void BM_Floor_ReadAndFindLineEnds(benchmark::State& state)
{
    const std::string& path = PagePath();
    std::string buffer;
    size_t lines = 0;
    for (auto _ : state) {
        int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat st{};
        fstat(fd, &st);
        buffer.resize(static_cast<size_t>(st.st_size));
        size_t done = 0;
        while (done < buffer.size()) {
            ssize_t n = read(fd, buffer.data() + done, buffer.size() - done);
            if (n <= 0)
                break;
            done += static_cast<size_t>(n);
        }
        close(fd);
        lines = 0;
        for (const char* p = buffer.data(); (p = static_cast<const char*>(std::memchr(p, '\n', buffer.data() + buffer.size() - p))) != nullptr; ++p)
            ++lines;
        benchmark::DoNotOptimize(lines);
    }
    state.counters["lines"] = static_cast<double>(lines);
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(buffer.size()));
}
BENCHMARK(BM_Floor_ReadAndFindLineEnds)->Unit(benchmark::kMillisecond);

void BM_InsertFileToFirstPaint(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    const double fileBytes = static_cast<double>(std::filesystem::file_size(PagePath()));
    double ratio = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto edit = f.MakeEdit();
        edit->InsertFile(PagePath().c_str());
        Paint(*edit);
        ratio = static_cast<double>(mallinfo2().uordblks - before) / fileBytes;
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
    state.counters["memory/file"] = ratio;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
}
BENCHMARK(BM_InsertFileToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_LoadFileToFirstPaint(benchmark::State& state)
{
    Fixture& f = Fixture::Get();
    const double fileBytes = static_cast<double>(std::filesystem::file_size(PagePath()));
    double ratio = 0;
    for (auto _ : state) {
        const size_t before = mallinfo2().uordblks;
        auto edit = f.MakeEdit();
        edit->GetDocument()->LoadFile(PagePath().c_str());
        edit->InitView();
        Paint(*edit);
        ratio = static_cast<double>(mallinfo2().uordblks - before) / fileBytes;
        state.PauseTiming();
        edit.reset();
        state.ResumeTiming();
    }
    state.counters["memory/file"] = ratio;
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * fileBytes));
}
BENCHMARK(BM_LoadFileToFirstPaint)->Unit(benchmark::kMillisecond)->Iterations(3);

// Line and page scrolls near the top (line 1) and deep in the page (line 999,000).
void BM_LineScroll(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    GoToLine(edit, static_cast<int>(state.range(0)));
    bool down = true;
    for (auto _ : state) {
        edit.SendMessage(WM_VSCROLL, down ? SB_LINEDOWN : SB_LINEUP, 0);
        Paint(edit);
        down = !down;
    }
}
BENCHMARK(BM_LineScroll)->Arg(1)->Arg(999000)->ArgName("line")->Unit(benchmark::kMicrosecond);

void BM_PageScroll(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    GoToLine(edit, static_cast<int>(state.range(0)));
    bool down = true;
    for (auto _ : state) {
        edit.SendMessage(WM_VSCROLL, down ? SB_PAGEDOWN : SB_PAGEUP, 0);
        Paint(edit);
        down = !down;
    }
}
BENCHMARK(BM_PageScroll)->Arg(1)->Arg(999000)->ArgName("line")->Unit(benchmark::kMillisecond);

// The thumb dragged from the top to the end, and back, each with its paint.
void BM_ThumbToEnd(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    GoToLine(edit, 1);
    int lo = 0, hi = 0;
    edit.GetScrollRange(SB_VERT, &lo, &hi);
    bool toEnd = true;
    for (auto _ : state) {
        edit.SendMessage(WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, toEnd ? hi / edit.GetScrollScale() : 0), 0);
        Paint(edit);
        toEnd = !toEnd;
    }
}
BENCHMARK(BM_ThumbToEnd)->Unit(benchmark::kMillisecond);

void BM_CtrlEnd(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    GoToLine(edit, 1);
    bool toEnd = true;
    for (auto _ : state) {
        if (toEnd)
            edit.BottomOfFile(FALSE);
        else
            edit.TopOfFile(FALSE);
        Paint(edit);
        toEnd = !toEnd;
    }
}
BENCHMARK(BM_CtrlEnd)->Unit(benchmark::kMillisecond);

// A full paint with colouring at a line, the block classes of the lines above already known.
void BM_FullPaint(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    GoToLine(edit, static_cast<int>(state.range(0)));
    for (auto _ : state) {
        edit.Invalidate(FALSE);
        Paint(edit);
    }
}
BENCHMARK(BM_FullPaint)->Arg(1)->Arg(500000)->Arg(999000)->ArgName("line")->Unit(benchmark::kMillisecond);

// The pass that works out the block class of every line start, from the top of the page: what
// the first paint deep in a page (or below an edit near the top) costs once.
void BM_BlockPassWholePage(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    SECEditDoc* doc = edit.Doc();
    const SECEditLine* last = doc->GetLine(doc->GetLineCount());
    for (auto _ : state) {
        doc->TouchBlocks(nullptr);
        int cls = 0;
        benchmark::DoNotOptimize(doc->GetLineBlockClass(last, &cls));
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations())
                            * static_cast<int64_t>(std::filesystem::file_size(PagePath())));
}
BENCHMARK(BM_BlockPassWholePage)->Unit(benchmark::kMillisecond);

// A typed character on line 500,000 with its repaint, then Backspace, so the line stays.
void BM_TypeCharMidPage(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    edit.GetDocument()->SetReadOnly(FALSE);
    GoToLine(edit, 500000);
    edit.SetCaret(edit.Doc()->GetLine(500000), 8);
    for (auto _ : state) {
        edit.OnChar('x', 1, 0);
        Paint(edit);
        edit.Backspace();
        Paint(edit);
    }
    state.counters["ops"] = 2;
    edit.GetDocument()->SetReadOnly(TRUE);
}
BENCHMARK(BM_TypeCharMidPage)->Unit(benchmark::kMicrosecond);

// Enter on line 500,000 with its repaint, then Backspace joining the lines again.
void BM_EnterMidPage(benchmark::State& state)
{
    BenchEdit& edit = Fixture::Get().Loaded();
    edit.GetDocument()->SetReadOnly(FALSE);
    GoToLine(edit, 500000);
    edit.SetCaret(edit.Doc()->GetLine(500000), 8);
    for (auto _ : state) {
        edit.NewLine(TRUE, 0);
        Paint(edit);
        edit.Backspace();
        Paint(edit);
    }
    state.counters["ops"] = 2;
    edit.GetDocument()->SetReadOnly(TRUE);
}
BENCHMARK(BM_EnterMidPage)->Unit(benchmark::kMillisecond);

} // namespace
