// 10,000 warning lines into the Output Area: each posted as atoms by PostOutputAreaLine, read
// and deleted by the pane, and appended at the end of its read-only text. Floor, measured in
// the same run: the same 10,000 lines appended straight into a bare rich edit of the same size,
// without atoms or messages.
#include "app/panes/COutputAreaControlBar.h"
#include "engine/project/EngineMessages.h"
#include "engine/project/OutputAreaLine.h"
#include "platform/afx/bars/CDockBar.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/StandardControls.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {

constexpr int kLines = 10000;

struct OutputFixture {
    HeadlessBackend* backend = nullptr;
    CFrameWnd* frame = nullptr;
    COutputAreaControlBar* bar = nullptr;
    CRichEditCtrl bare;

    OutputFixture()
    {
        backend = &HeadlessBackend::Install(SIZE{1280, 800});
        RegisterStandardControls();
        frame = new CFrameWnd;
        frame->Create(nullptr, "Bench", WS_POPUP | WS_VISIBLE, CRect(0, 0, 1280, 800));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        bar = new COutputAreaControlBar;
        bar->Create(frame, "Output Area", WS_VISIBLE | CBRS_BOTTOM | CBRS_SIZE_DYNAMIC, 0, 0xE906);
        bar->EnableDocking(CBRS_ALIGN_ANY);
        frame->DockControlBar(bar, AFX_IDW_DOCKBAR_BOTTOM);
        frame->RecalcLayout();
        bare.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL, CRect(0, 0, 1280, 180), frame, 7);
        bare.SetReadOnly(TRUE);
        backend->ProcessMessages();
    }
};

OutputFixture& Fixture()
{
    static OutputFixture fixture;
    return fixture;
}

std::string Line(int i) { return "Missing HEAD end tag. (" + std::to_string(i) + ")"; }

void BM_OutputAreaPostedLines(benchmark::State& state)
{
    OutputFixture& f = Fixture();
    for (auto _ : state) {
        f.bar->SendMessage(kMsgOutputClear, 0, 0);
        for (int i = 0; i < kLines; ++i)
            PostOutputAreaLine(f.bar->m_hWnd, "pages/index.htm", Line(i).c_str());
        f.backend->ProcessMessages();
        benchmark::DoNotOptimize(f.bar->GetOutputWnd().GetTextLength());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_OutputAreaPostedLines)->Unit(benchmark::kMillisecond);

void BM_FloorBareRichEditAppend(benchmark::State& state)
{
    OutputFixture& f = Fixture();
    for (auto _ : state) {
        f.bare.SetSel(0, -1);
        f.bare.ReplaceSel("");
        for (int i = 0; i < kLines; ++i) {
            const long end = f.bare.GetTextLength();
            f.bare.SetSel(end, end);
            f.bare.ReplaceSel(("PAGES/INDEX.HTM : " + Line(i) + "\n").c_str());
        }
        f.backend->ProcessMessages();
        benchmark::DoNotOptimize(f.bare.GetTextLength());
    }
    state.SetItemsProcessed(state.iterations() * kLines);
}
BENCHMARK(BM_FloorBareRichEditAppend)->Unit(benchmark::kMillisecond);

} // namespace
