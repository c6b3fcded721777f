// A dialog of 40 controls created from its compiled template and shown (painted whole), against
// the floor: the same 40 windows at the same places created bare with CreateWindowEx under a
// bare parent, shown and painted by the default procedure. Headless backend, real fonts.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Button.h"
#include "platform/controls/Dialog.h"
#include "platform/controls/EditDefs.h"
#include "platform/controls/StandardControls.h"
#include "platform/controls/Static.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

DialogItemTemplate ItemOf(DialogControlClass cls, const std::string& text, DWORD style, short x, short y, short cx,
                          short cy, WORD id)
{
    DialogItemTemplate item;
    item.style = style | WS_CHILD | WS_VISIBLE;
    item.x = x;
    item.y = y;
    item.cx = cx;
    item.cy = cy;
    item.id = id;
    item.windowClass.isOrdinal = true;
    item.windowClass.ordinal = static_cast<WORD>(cls);
    item.title.text = text;
    return item;
}

// Ten labelled edits, a group of eight check boxes and one of four radio buttons, a line and a
// note, and four push buttons: 40 controls.
DialogTemplate FortyControls()
{
    DialogTemplate t;
    t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | WS_VISIBLE;
    t.cx = 400;
    t.cy = 230;
    t.title = "Project Settings";
    t.pointSize = 8;
    t.typeface = "MS Shell Dlg";
    WORD id = 1000;
    for (int i = 0; i < 10; ++i) {
        const short y = static_cast<short>(7 + i * 16);
        t.items.push_back(ItemOf(DialogControlClass::Static, "Field " + std::to_string(i + 1) + ":", SS_LEFT, 7, y + 2,
                                 40, 8, 0xFFFF));
        t.items.push_back(ItemOf(DialogControlClass::Edit, "value " + std::to_string(i), WS_BORDER | WS_TABSTOP |
                                 ES_AUTOHSCROLL, 50, y, 100, 12, id++));
    }
    t.items.push_back(ItemOf(DialogControlClass::Button, "Options", BS_GROUPBOX, 160, 5, 110, 120, 0xFFFF));
    for (int i = 0; i < 8; ++i)
        t.items.push_back(ItemOf(DialogControlClass::Button, "Option " + std::to_string(i + 1),
                                 BS_AUTOCHECKBOX | WS_TABSTOP, 167, static_cast<short>(17 + i * 13), 95, 10, id++));
    t.items.push_back(ItemOf(DialogControlClass::Button, "Backups", BS_GROUPBOX, 280, 5, 110, 70, 0xFFFF));
    t.items.push_back(ItemOf(DialogControlClass::Static, "", SS_ETCHEDHORZ, 280, 85, 110, 2, 0xFFFF));
    t.items.push_back(ItemOf(DialogControlClass::Static, "Backups are kept beside the pages.", SS_LEFT, 280, 92, 110,
                             20, 0xFFFF));
    for (int i = 0; i < 4; ++i)
        t.items.push_back(ItemOf(DialogControlClass::Button, "Scheme " + std::to_string(i + 1),
                                 BS_AUTORADIOBUTTON | (i == 0 ? WS_GROUP | WS_TABSTOP : 0), 287,
                                 static_cast<short>(17 + i * 13), 95, 10, id++));
    const char* buttons[] = {"OK", "Cancel", "Apply", "Help"};
    for (int i = 0; i < 4; ++i)
        t.items.push_back(ItemOf(DialogControlClass::Button, buttons[i],
                                 (i == 0 ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON) | WS_TABSTOP,
                                 static_cast<short>(175 + i * 55), 205, 50, 14, static_cast<WORD>(i + 1)));
    return t;
}

HeadlessBackend& Backend()
{
    static HeadlessBackend& backend = [&]() -> HeadlessBackend& {
        HeadlessBackend& b = HeadlessBackend::Install(SIZE{1280, 1024});
        SetTestFontMode(false);
        RegisterStandardControls();
        return b;
    }();
    return backend;
}

void BM_DialogFromTemplate(benchmark::State& state)
{
    HeadlessBackend& backend = Backend();
    const std::vector<BYTE> bytes = WriteDialogTemplate(FortyControls());
    for (auto _ : state) {
        HWND dlg = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), nullptr,
                                             nullptr, 0);
        // Shown means painted: every control has drawn itself.
        backend.ProcessMessages();
        benchmark::DoNotOptimize(dlg);
        state.PauseTiming();
        DestroyWindow(dlg);
        backend.ProcessMessages();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_DialogFromTemplate)->Unit(benchmark::kMillisecond);

void BM_FortyBareWindowsFloor(benchmark::State& state)
{
    HeadlessBackend& backend = Backend();
    static bool registered = false;
    if (!registered) {
        registered = true;
        WNDCLASS wc{};
        wc.lpfnWndProc = DefWindowProc;
        wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
        wc.lpszClassName = "BareBench";
        RegisterClass(&wc);
    }
    // The dialog's own places, in pixels, taken from one made for the purpose.
    const std::vector<BYTE> bytes = WriteDialogTemplate(FortyControls());
    HWND model = CreateDialogIndirectParam(nullptr, reinterpret_cast<LPCDLGTEMPLATE>(bytes.data()), nullptr, nullptr, 0);
    RECT frame;
    GetWindowRect(model, &frame);
    std::vector<RECT> places;
    for (HWND c = GetWindow(model, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        RECT r;
        GetWindowRect(c, &r);
        MapWindowPoints(nullptr, model, reinterpret_cast<POINT*>(&r), 2);
        places.push_back(r);
    }
    DestroyWindow(model);
    backend.ProcessMessages();
    for (auto _ : state) {
        HWND parent = CreateWindowEx(0, "BareBench", "Project Settings", WS_POPUP | WS_CAPTION | WS_SYSMENU,
                                     frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top,
                                     nullptr, nullptr, nullptr, nullptr);
        for (size_t i = 0; i < places.size(); ++i) {
            const RECT& r = places[i];
            CreateWindowEx(0, "BareBench", "", WS_CHILD | WS_VISIBLE, r.left, r.top, r.right - r.left,
                           r.bottom - r.top, parent, reinterpret_cast<HMENU>(i + 1), nullptr, nullptr);
        }
        ShowWindow(parent, SW_SHOWNORMAL);
        UpdateWindow(parent);
        backend.ProcessMessages();
        state.PauseTiming();
        DestroyWindow(parent);
        backend.ProcessMessages();
        state.ResumeTiming();
    }
    state.counters["windows"] = static_cast<double>(places.size());
}
BENCHMARK(BM_FortyBareWindowsFloor)->Unit(benchmark::kMillisecond);

} // namespace
