// The edit control with a megabyte of text: typing a character with its repaint, and moving to
// the end with its repaint, against the floor of drawing the same rows with the drawing layer
// alone. Runs on the headless backend (memory surfaces), so only the control's work is timed.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kWidth = 800;
constexpr int kHeight = 600;

std::string Megabyte()
{
    std::string text;
    for (int i = 0; text.size() < (1u << 20); ++i)
        text += "Line " + std::to_string(i) + ": <meta name=\"keywords\" content=\"alpha, beta, gamma\">\r\n";
    return text;
}

struct Fixture {
    HWND top = nullptr;
    HWND edit = nullptr;
    std::string text = Megabyte();

    explicit Fixture(DWORD style)
    {
        HeadlessBackend::Install();
        RegisterStandardControls();
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.lpszClassName = "EditBenchFrame";
        RegisterClass(&wc);
        top = CreateWindowEx(0, "EditBenchFrame", "", WS_POPUP | WS_VISIBLE, 0, 0, kWidth, kHeight, nullptr, nullptr,
                             nullptr, nullptr);
        edit = CreateWindowEx(WS_EX_CLIENTEDGE, WC_EDIT, "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | style, 0, 0, kWidth,
                              kHeight, top, nullptr, nullptr, nullptr);
        SendMessage(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), FALSE);
        SendMessage(edit, EM_LIMITTEXT, 0, 0);
        SetWindowText(edit, text.c_str());
        SetFocus(edit);
        UpdateWindow(top);
    }
    ~Fixture() { DestroyWindow(top); }
};

void BM_EditTypeCharacter(benchmark::State& state)
{
    DWORD style = state.range(0) ? 0 : (ES_AUTOHSCROLL | WS_HSCROLL);
    Fixture f(style | ES_AUTOVSCROLL | WS_VSCROLL);
    int middle = static_cast<int>(f.text.size() / 2);
    SendMessage(f.edit, EM_SETSEL, middle, middle);
    SendMessage(f.edit, EM_SCROLLCARET, 0, 0);
    UpdateWindow(f.edit);
    for (auto _ : state) {
        SendMessage(f.edit, WM_CHAR, 'x', 0);
        UpdateWindow(f.edit);
        // The line keeps its length, so that every character is typed into the same line.
        state.PauseTiming();
        SendMessage(f.edit, WM_CHAR, '\b', 0);
        UpdateWindow(f.edit);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_EditTypeCharacter)->Arg(0)->Arg(1)->ArgName("wrapped")->Unit(benchmark::kMicrosecond);

void BM_EditScrollToEnd(benchmark::State& state)
{
    Fixture f(ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL);
    int length = static_cast<int>(f.text.size());
    for (auto _ : state) {
        state.PauseTiming();
        SendMessage(f.edit, EM_SETSEL, 0, 0);
        SendMessage(f.edit, EM_SCROLLCARET, 0, 0);
        UpdateWindow(f.edit);
        state.ResumeTiming();
        SendMessage(f.edit, EM_SETSEL, length, length);
        SendMessage(f.edit, EM_SCROLLCARET, 0, 0);
        UpdateWindow(f.edit);
    }
}
BENCHMARK(BM_EditScrollToEnd)->Unit(benchmark::kMicrosecond);

// Setting a megabyte into an edit that wraps its lines: every line is measured once.
void BM_EditSetTextWrapped(benchmark::State& state)
{
    Fixture f(ES_AUTOVSCROLL | WS_VSCROLL);
    for (auto _ : state) {
        SetWindowText(f.edit, f.text.c_str());
        UpdateWindow(f.edit);
    }
}
BENCHMARK(BM_EditSetTextWrapped)->Unit(benchmark::kMillisecond);

// The floor: the rows a full repaint shows, drawn straight onto the window with the drawing
// layer (background, then one TextOut per row).
void BM_EditFloorDrawRows(benchmark::State& state)
{
    Fixture f(ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL);
    HDC dc = GetDC(f.edit);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    RECT client;
    GetClientRect(f.edit, &client);
    std::vector<std::string> rows;
    size_t pos = f.text.size() - 200 * 60;
    while (static_cast<int>(rows.size()) * tm.tmHeight < client.bottom) {
        size_t nl = f.text.find('\n', pos);
        rows.push_back(f.text.substr(pos, nl - pos - 1));
        pos = nl + 1;
    }
    SetBkMode(dc, TRANSPARENT);
    for (auto _ : state) {
        FillRect(dc, &client, GetSysColorBrush(COLOR_WINDOW));
        int y = 0;
        for (auto& row : rows) {
            TextOut(dc, 2, y, row.data(), static_cast<int>(row.size()));
            y += tm.tmHeight;
        }
        GdiFlush();
    }
    ReleaseDC(f.edit, dc);
}
BENCHMARK(BM_EditFloorDrawRows)->Unit(benchmark::kMicrosecond);

// The floor of one typed character: the one row it changes, drawn again.
void BM_EditFloorDrawOneRow(benchmark::State& state)
{
    Fixture f(ES_AUTOHSCROLL | ES_AUTOVSCROLL | WS_VSCROLL | WS_HSCROLL);
    HDC dc = GetDC(f.edit);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRIC tm{};
    GetTextMetrics(dc, &tm);
    std::string row = f.text.substr(0, f.text.find('\r'));
    RECT band{0, 0, kWidth, tm.tmHeight};
    SetBkMode(dc, TRANSPARENT);
    for (auto _ : state) {
        FillRect(dc, &band, GetSysColorBrush(COLOR_WINDOW));
        TextOut(dc, 2, 0, row.data(), static_cast<int>(row.size()));
        GdiFlush();
    }
    ReleaseDC(f.edit, dc);
}
BENCHMARK(BM_EditFloorDrawOneRow)->Unit(benchmark::kMicrosecond);

} // namespace
