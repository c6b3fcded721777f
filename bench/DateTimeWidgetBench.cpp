// The date-time and currency windows on the memory backend: display texts of 100,000 cells
// through the captive windows (as a text copy of the grid needs them), a keystroke in either
// control with its repaint, a calendar page, and a full paint of a 1920 x 1080 grid of date and
// currency cells. The floor is the same values formatted by a plain loop with strftime and
// snprintf with grouping.
#include "grid/core/CGXControlFactory.h"
#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXGridWnd.h"
#include "grid/data/CGXGridParam.h"
#include "grid/data/CGXRange.h"
#include "grid/data/CGXStyle.h"
#include "grid/data/IGXCommandTarget.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "toolkit/datetime/cells/CGXCurrencyEdit.h"
#include "toolkit/datetime/cells/CGXDateTimeCtrl.h"
#include "toolkit/datetime/wnd/CGXBCurrencyEdit.h"
#include "toolkit/datetime/wnd/SECCalendar.h"
#include "toolkit/datetime/wnd/SECDateTimeCtrl.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <ctime>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace {

constexpr int kCells = 100000;

struct Screen {
    Screen()
    {
        backend = &HeadlessBackend::Install(SIZE{2000, 1200});
        RegisterStandardControls();
        top = std::make_unique<CWnd>();
        top->CreateEx(0, nullptr, "Bench", WS_POPUP | WS_VISIBLE, 0, 0, 1940, 1100, nullptr, nullptr);
        backend->ProcessMessages();
    }
    HeadlessBackend* backend = nullptr;
    std::unique_ptr<CWnd> top;
};

Screen& TheScreen()
{
    static Screen screen;
    return screen;
}

std::vector<double> Dates()
{
    std::mt19937_64 random(11);
    std::vector<double> dates(kCells);
    for (double& d : dates)
        d = 25569.0 + static_cast<double>(random() % 47482) + static_cast<double>(random() % 86400) / 86400.0;
    return dates;
}

std::vector<double> Values()
{
    std::mt19937_64 random(7);
    std::vector<double> values(kCells);
    for (double& v : values)
        v = static_cast<double>(random() % 1000000000) / 100.0 - 5000000.0;
    return values;
}

void DateTextsThroughCaptiveWindow(benchmark::State& state)
{
    Screen& s = TheScreen();
    CGXBDateTimeCtrl captive;
    captive.SetCustomFormat("yyyy/MM/dd HH:mm");
    captive.Create(0, WS_CHILD, CRect(30000, 30000, 30500, 30100), s.top.get(), 2);
    const auto dates = Dates();
    size_t bytes = 0;
    for (auto _ : state) {
        for (double d : dates) {
            captive.SetDateTime(COleDateTime(d));
            const CString text = captive.GetFieldText();
            bytes += static_cast<size_t>(text.GetLength());
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(DateTextsThroughCaptiveWindow)->Unit(benchmark::kMillisecond);

void DateTextsFloorStrftime(benchmark::State& state)
{
    const auto dates = Dates();
    size_t bytes = 0;
    for (auto _ : state) {
        for (double d : dates) {
            const time_t t = static_cast<time_t>((d - 25569.0) * 86400.0);
            struct tm tm;
            gmtime_r(&t, &tm);
            char buf[32];
            bytes += std::strftime(buf, sizeof buf, "%Y/%m/%d %H:%M", &tm);
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(DateTextsFloorStrftime)->Unit(benchmark::kMillisecond);

void CurrencyTextsThroughCaptiveWindow(benchmark::State& state)
{
    Screen& s = TheScreen();
    CGXBCurrencyEdit captive;
    captive.Create(WS_CHILD, CRect(0, 0, 0, 0), s.top.get(), 3);
    const auto values = Values();
    size_t bytes = 0;
    for (auto _ : state) {
        for (double v : values) {
            captive.SetValue(v, FALSE);
            bytes += static_cast<size_t>(captive.GetText().GetLength());
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(CurrencyTextsThroughCaptiveWindow)->Unit(benchmark::kMillisecond);

void CurrencyTextsFloorSnprintfGrouping(benchmark::State& state)
{
    const auto values = Values();
    size_t bytes = 0;
    for (auto _ : state) {
        for (double v : values) {
            char digits[64];
            const double m = v < 0 ? -v : v;
            const int n = std::snprintf(digits, sizeof digits, "%.2f", m);
            std::string text(v < 0 ? "($" : "$");
            const int integer = n - 3;
            for (int i = 0; i < integer; ++i) {
                text += digits[i];
                if ((integer - i - 1) % 3 == 0 && i != integer - 1)
                    text += ',';
            }
            text.append(digits + integer);
            if (v < 0)
                text += ')';
            bytes += text.size();
        }
    }
    benchmark::DoNotOptimize(bytes);
    state.SetItemsProcessed(state.iterations() * kCells);
}
BENCHMARK(CurrencyTextsFloorSnprintfGrouping)->Unit(benchmark::kMillisecond);

void DateTimeKeystrokeWithRepaint(benchmark::State& state)
{
    Screen& s = TheScreen();
    SECDateTimeCtrl ctrl;
    ctrl.SetCustomFormat("yyyy/MM/dd");
    ctrl.Create(0, WS_CHILD | WS_VISIBLE | SEC_DTS_UPDOWN, CRect(10, 10, 210, 34), s.top.get(), 4);
    ctrl.SetDateTime(COleDateTime(2024, 3, 15, 0, 0, 0));
    ctrl.SetFocus();
    // Up and down in turn, so that every key changes the year and repaints its field.
    bool up = true;
    for (auto _ : state) {
        ctrl.SendMessage(WM_KEYDOWN, up ? VK_UP : VK_DOWN, 0);
        ctrl.UpdateWindow();
        up = !up;
    }
    if (ctrl.GetDateTime().GetYear() < 2023 || ctrl.GetDateTime().GetYear() > 2025)
        state.SkipWithError("the keys did not step the year");
}
BENCHMARK(DateTimeKeystrokeWithRepaint)->Unit(benchmark::kMicrosecond);

void CurrencyKeystrokeWithRepaint(benchmark::State& state)
{
    Screen& s = TheScreen();
    CGXBCurrencyEdit edit;
    edit.Create(WS_CHILD | WS_VISIBLE, CRect(10, 40, 210, 62), s.top.get(), 5);
    edit.SetFocus();
    int i = 0;
    for (auto _ : state) {
        if (++i % 10 == 0)
            edit.SetValue(0.0);
        edit.SetCaretPosition(1, FALSE);
        edit.SendMessage(WM_CHAR, '7', 0);
        edit.UpdateWindow();
    }
}
BENCHMARK(CurrencyKeystrokeWithRepaint)->Unit(benchmark::kMicrosecond);

void CalendarPage(benchmark::State& state)
{
    Screen& s = TheScreen();
    SECCalendar cal;
    cal.SelectDate(COleDateTime(2024, 3, 15, 0, 0, 0), FALSE);
    cal.Create(WS_VISIBLE | WS_BORDER, CRect(300, 10, 580, 250), s.top.get(), 6);
    bool forward = true;
    int steps = 0;
    for (auto _ : state) {
        if (++steps % 500 == 0)
            forward = !forward;
        forward ? cal.NextMonth(FALSE) : cal.PrevMonth(FALSE);
        cal.UpdateWindow();
    }
}
BENCHMARK(CalendarPage)->Unit(benchmark::kMicrosecond);

void FullGridPaint(benchmark::State& state)
{
    Screen& s = TheScreen();
    SetTestFontMode(false);
    InitGridLibrary(new CGXControlFactory);
    {
        CGXGridWnd grid;
        grid.Create(nullptr, "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 1920, 1080), s.top.get(), 7);
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetRowCount(60, 0);
        grid.SetColCount(20, 0);
        grid.StoreDefaultRowHeight(20);
        grid.StoreDefaultColWidth(100);
        CGXStyle date, money;
        date.SetControl(static_cast<WORD>(GX_IDS_CTRL_DATETIME));
        money.SetControl(static_cast<WORD>(GX_IDS_CTRL_CURRENCY));
        std::mt19937_64 random(3);
        for (ROWCOL r = 1; r <= 60; ++r)
            for (ROWCOL c = 1; c <= 20; ++c) {
                CGXStyle& style = (c % 2) ? date : money;
                char value[32];
                if (c % 2)
                    std::snprintf(value, sizeof value, "%d", 36526 + static_cast<int>(random() % 9000));
                else
                    std::snprintf(value, sizeof value, "%.2f", static_cast<double>(random() % 10000000) / 100.0);
                style.SetValue(value);
                grid.ApplyStyleToRange(CGXRange(r, c, r, c), &style, gxOverride, 0, nullptr, 0, gxDo);
            }
        s.backend->ProcessMessages();
        for (auto _ : state) {
            grid.Invalidate(FALSE);
            grid.UpdateWindow();
        }
        grid.DestroyWindow();
    }
    TerminateGridLibrary();
}
BENCHMARK(FullGridPaint)->Unit(benchmark::kMillisecond);

} // namespace
