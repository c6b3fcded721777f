// The settings dialogs and the system information report at the sizes the issue names: the
// Metatag Settings dialog over 500 settings opened and painted, one resize step, one type
// change, and OK with the settings file written; the Project Settings sheet with 200
// extensions opened on its Scan Options page; the System Info report built. Beside each, the
// floor: a plain grid of 500 x 6 values filled and painted, the grid window alone resized by
// the same step, one row of the grid laid out again, the list written without the grid, the
// extension grid alone, and the /proc files the report reads, read whole.
// Runs on the headless backend with the real sans font.
#include "app/dialogs/CMetaSettingDlg.h"
#include "app/dialogs/CProjSettingsSheet.h"
#include "app/sysinfo/CSysInfo.h"
#include "engine/meta/CMetaSettingList.h"
#include "engine/project/CProjectSettings.h"
#include "engine/project/CVostrelAppModel.h"
#include "grid/core/CGXControlFactory.h"
#include "grid/data/CGXRange.h"
#include "grid/features/GXGridFeatures.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <unistd.h>

namespace {

struct Window {
    CWnd top;
    CVostrelAppModel model;
    Window()
    {
        HeadlessBackend::Install(SIZE{1280, 1024});
        SetTestFontMode(false);
        RegisterStandardControls();
        static bool started = false;
        if (!started) {
            started = true;
            GXInstallGridFeatures();
            GXInitControlFactory();
        }
        model.Install();
        top.CreateEx(0, nullptr, "Bench", WS_POPUP | WS_VISIBLE, 0, 0, 1000, 800, nullptr, nullptr);
    }
    ~Window() { top.DestroyWindow(); }
};

// 500 settings: the default catalogue over and over, each with its own name.
void MakeSettings(CMetaSettingList& list, int count)
{
    CMetaSettingList defaults;
    defaults.SetDefaults();
    list.DeleteAll();
    int made = 0;
    while (made < count)
        for (POSITION pos = defaults.GetHeadPosition(); pos != nullptr && made < count; ++made) {
            const CMetaSetting* pSource = defaults.GetNext(pos);
            std::unique_ptr<CMetaSetting> pCopy = pSource->Clone();
            pCopy->CopyFrom(pSource);
            pCopy->SetName(("tag" + std::to_string(made)).c_str());
            list.AddTail(pCopy.release());
        }
}

std::string TempPath(const char* name)
{
    return "/tmp/vostrel-bench-" + std::to_string(getpid()) + "-" + name;
}

// Floor: a plain dialog grid of 500 x 6 values filled cell by cell and painted.
void BM_SettingsGridFillFloor(benchmark::State& state)
{
    Window w;
    for (auto _ : state) {
        CGridWndWrapper grid;
        grid.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                      CRect(0, 0, 900, 600), &w.top, 102);
        grid.Initialize();
        grid.GetParam()->EnableUndo(FALSE);
        grid.SetColCount(6, 0);
        grid.SetRowCount(500, 0);
        for (ROWCOL r = 1; r <= 500; ++r)
            for (ROWCOL c = 1; c <= 6; ++c)
                grid.SetValueRange(CGXRange(r, c, r, c), "value", gxOverride, 0, 0);
        grid.UpdateWindow();
        benchmark::DoNotOptimize(grid.GetRowCount());
        grid.DestroyWindow();
    }
}
BENCHMARK(BM_SettingsGridFillFloor)->Unit(benchmark::kMillisecond);

// The dialog made over 500 settings (toolbar, grid, layout) and painted once.
void BM_MetaSettingsOpen(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    for (auto _ : state) {
        CMetaSettingDlg dlg;
        dlg.SetSettings(list);
        dlg.Create(CMetaSettingDlg::IDD, &w.top);
        dlg.ShowWindow(SW_SHOW);
        dlg.UpdateWindow();
        benchmark::DoNotOptimize(dlg.GetGrid().GetRowCount());
        dlg.DestroyWindow();
    }
}
BENCHMARK(BM_MetaSettingsOpen)->Unit(benchmark::kMillisecond);

// One resize step of the open dialog, every control scaled and painted again.
void BM_MetaSettingsResizeStep(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    dlg.Create(CMetaSettingDlg::IDD, &w.top);
    dlg.ShowWindow(SW_SHOW);
    CRect rect;
    dlg.GetWindowRect(&rect);
    int step = 0;
    for (auto _ : state) {
        const int dx = (step++ % 2) * 8;
        dlg.SetWindowPos(nullptr, 0, 0, rect.Width() + dx, rect.Height() + dx, SWP_NOZORDER | SWP_NOMOVE);
        dlg.UpdateWindow();
    }
    dlg.DestroyWindow();
}
BENCHMARK(BM_MetaSettingsResizeStep)->Unit(benchmark::kMillisecond);

// Floor: the grid window alone resized by the same step and painted.
void BM_SettingsGridResizeFloor(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    dlg.Create(CMetaSettingDlg::IDD, &w.top);
    dlg.ShowWindow(SW_SHOW);
    CRect rect;
    dlg.GetGrid().GetWindowRect(&rect);
    int step = 0;
    for (auto _ : state) {
        const int dx = (step++ % 2) * 8;
        dlg.GetGrid().SetWindowPos(nullptr, 0, 0, rect.Width() + dx, rect.Height() + dx, SWP_NOZORDER | SWP_NOMOVE);
        dlg.GetGrid().UpdateWindow();
    }
    dlg.DestroyWindow();
}
BENCHMARK(BM_SettingsGridResizeFloor)->Unit(benchmark::kMillisecond);

// A row's type changed back and forth between Edit and Date / Time.
void BM_MetaSettingsTypeChange(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    dlg.Create(CMetaSettingDlg::IDD, &w.top);
    dlg.ShowWindow(SW_SHOW);
    CMetaSettingGridCtrl& grid = dlg.GetGrid();
    int step = 0;
    for (auto _ : state) {
        benchmark::DoNotOptimize(grid.ChangeRowType(250, (step++ % 2) != 0 ? "Edit" : "Date / Time"));
        grid.UpdateWindow();
    }
    dlg.DestroyWindow();
}
BENCHMARK(BM_MetaSettingsTypeChange)->Unit(benchmark::kMicrosecond);

// Floor: the same row laid out again with the setting it has.
void BM_SettingsRowLoadFloor(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    CMetaSettingDlg dlg;
    dlg.SetSettings(list);
    dlg.Create(CMetaSettingDlg::IDD, &w.top);
    dlg.ShowWindow(SW_SHOW);
    CMetaSettingGridCtrl& grid = dlg.GetGrid();
    CMetaSetting* pSetting = nullptr;
    grid.GetSettingOfRow(250, pSetting);
    for (auto _ : state) {
        grid.LoadRow(250, pSetting);
        grid.UpdateWindow();
    }
    dlg.DestroyWindow();
}
BENCHMARK(BM_SettingsRowLoadFloor)->Unit(benchmark::kMicrosecond);

// OK: the grid read back, compared and the settings file written.
void BM_MetaSettingsOk(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    const std::string path = TempPath("ok.vsl");
    list.SetFilePath(path.c_str());
    for (auto _ : state) {
        state.PauseTiming();
        CMetaSettingDlg dlg;
        dlg.SetSettings(list);
        dlg.Create(CMetaSettingDlg::IDD, &w.top);
        dlg.GetGrid().SetCellValue(1, CMetaSettingGridCtrl::kColName, "changed");
        state.ResumeTiming();
        dlg.SendMessage(WM_COMMAND, IDOK);
        state.PauseTiming();
        dlg.DestroyWindow();
        state.ResumeTiming();
    }
    std::remove(path.c_str());
}
BENCHMARK(BM_MetaSettingsOk)->Unit(benchmark::kMillisecond);

// Floor: the same 500 settings written to the file straight from the list.
void BM_SettingsFileWriteFloor(benchmark::State& state)
{
    Window w;
    CMetaSettingList list;
    MakeSettings(list, 500);
    const std::string path = TempPath("floor.vsl");
    for (auto _ : state)
        benchmark::DoNotOptimize(list.SaveToFile(path.c_str()));
    std::remove(path.c_str());
}
BENCHMARK(BM_SettingsFileWriteFloor)->Unit(benchmark::kMillisecond);

void ManyExtensions(CProjectSettings& settings)
{
    settings.m_FileExtensions.RemoveAll();
    for (int i = 0; i < 200; ++i)
        settings.m_FileExtensions.AddTail((".ext" + std::to_string(i)).c_str());
}

// The sheet made with 200 extensions and shown on its Scan Options page.
void BM_ProjectSheetOpen(benchmark::State& state)
{
    Window w;
    CProjectSettings settings;
    ManyExtensions(settings);
    for (auto _ : state) {
        CProjSettingsSheet sheet(63008, &w.top, 1);
        sheet.SetSettings(settings);
        sheet.Create(&w.top);
        sheet.ShowWindow(SW_SHOW);
        sheet.UpdateWindow();
        benchmark::DoNotOptimize(sheet.GetScanPage().GetGrid().GetRowCount());
        sheet.DestroyWindow();
    }
}
BENCHMARK(BM_ProjectSheetOpen)->Unit(benchmark::kMillisecond);

// Floor: the extension grid alone loaded with the 200 extensions and painted.
void BM_ExtensionGridFloor(benchmark::State& state)
{
    Window w;
    CProjectSettings settings;
    ManyExtensions(settings);
    for (auto _ : state) {
        CExtensionsGridCtrl grid;
        grid.CreateEx(0, AfxRegisterWndClass(CS_DBLCLKS), nullptr, WS_CHILD | WS_VISIBLE | WS_VSCROLL,
                      CRect(0, 0, 150, 90), &w.top, 1005);
        grid.Initialize();
        grid.LoadList(settings.m_FileExtensions);
        grid.UpdateWindow();
        benchmark::DoNotOptimize(grid.GetRowCount());
        grid.DestroyWindow();
    }
}
BENCHMARK(BM_ExtensionGridFloor)->Unit(benchmark::kMillisecond);

// The System Info report built from this machine and turned into its text.
void BM_SysInfoReport(benchmark::State& state)
{
    Window w;
    for (auto _ : state) {
        CSysInfo report("Vostrel System Info", CString(), nullptr);
        benchmark::DoNotOptimize(report.GetText().GetLength());
    }
}
BENCHMARK(BM_SysInfoReport)->Unit(benchmark::kMillisecond);

// Floor: the /proc files and os-release the report reads, read whole.
void BM_SysInfoFilesFloor(benchmark::State& state)
{
    for (auto _ : state) {
        size_t total = 0;
        for (const char* path : {"/proc/meminfo", "/proc/cpuinfo", "/etc/os-release"}) {
            std::ifstream in(path, std::ios::binary);
            std::ostringstream text;
            text << in.rdbuf();
            total += text.str().size();
        }
        benchmark::DoNotOptimize(total);
    }
}
BENCHMARK(BM_SysInfoFilesFloor)->Unit(benchmark::kMillisecond);

} // namespace
