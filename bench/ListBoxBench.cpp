// The list box with 100,000 strings: filling it, and scrolling it a line with the repaint,
// against the floors of the same work in the layers below (keeping the strings in a vector, and
// drawing the rows a repaint shows with the drawing layer alone). Runs on the headless backend.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/ListBoxDefs.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kItems = 100000;

const std::vector<std::string>& Strings()
{
    static std::vector<std::string> strings = [] {
        std::vector<std::string> v;
        v.reserve(kItems);
        for (int i = 0; i < kItems; ++i)
            v.push_back("https://www.example.org/section/" + std::to_string(i * 7919 % kItems) + "/page.html");
        return v;
    }();
    return strings;
}

struct Fixture {
    HWND top = nullptr;
    HWND list = nullptr;

    explicit Fixture(DWORD style)
    {
        HeadlessBackend::Install();
        RegisterStandardControls();
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "ListBenchFrame";
        RegisterClass(&wc);
        top = CreateWindowEx(0, "ListBenchFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, 600, 600, nullptr, nullptr, nullptr,
                             nullptr);
        list = CreateWindowEx(WS_EX_CLIENTEDGE, WC_LISTBOX, "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | style, 0, 0, 600, 600,
                              top, nullptr, nullptr, nullptr);
        SendMessage(list, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        UpdateWindow(top);
    }
    void Fill()
    {
        for (const std::string& s : Strings())
            SendMessage(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(s.c_str()));
    }
    ~Fixture() { DestroyWindow(top); }
};

void BM_ListBoxFill(benchmark::State& state)
{
    Strings();
    DWORD style = state.range(0) ? LBS_SORT : 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto f = std::make_unique<Fixture>(style);
        state.ResumeTiming();
        f->Fill();
        UpdateWindow(f->list);
        state.PauseTiming();
        f.reset();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_ListBoxFill)->Arg(0)->Arg(1)->ArgName("sorted")->Unit(benchmark::kMillisecond);

// The floor of filling: the same strings copied into a vector of items.
void BM_ListBoxFloorFill(benchmark::State& state)
{
    for (auto _ : state) {
        std::vector<std::string> copy;
        for (const std::string& s : Strings())
            copy.emplace_back(s);
        benchmark::DoNotOptimize(copy.data());
    }
}
BENCHMARK(BM_ListBoxFloorFill)->Unit(benchmark::kMillisecond);

void BM_ListBoxScrollLine(benchmark::State& state)
{
    Fixture f(0);
    f.Fill();
    UpdateWindow(f.list);
    int direction = 1;
    for (auto _ : state) {
        SendMessage(f.list, WM_VSCROLL, direction > 0 ? SB_LINEDOWN : SB_LINEUP, 0);
        UpdateWindow(f.list);
        if (SendMessage(f.list, LB_GETTOPINDEX, 0, 0) >= kItems - 100)
            direction = -1;
    }
}
BENCHMARK(BM_ListBoxScrollLine)->Unit(benchmark::kMicrosecond);

// The floor of a scrolled line: the rows the list shows, drawn with the drawing layer alone.
void BM_ListBoxFloorDrawRows(benchmark::State& state)
{
    Fixture f(0);
    HDC dc = GetDC(f.list);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    RECT client;
    GetClientRect(f.list, &client);
    SetBkMode(dc, TRANSPARENT);
    int first = 0;
    for (auto _ : state) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        int y = 0;
        for (int i = first; y < client.bottom; ++i, y += tm.tmHeight) {
            const std::string& s = Strings()[static_cast<size_t>(i)];
            TextOut(dc, 2, y, s.data(), static_cast<int>(s.size()));
        }
        first = (first + 1) % 1000;
        GdiFlush();
    }
    ReleaseDC(f.list, dc);
}
BENCHMARK(BM_ListBoxFloorDrawRows)->Unit(benchmark::kMicrosecond);

} // namespace
