// The class framework's costs beside the window-layer work underneath them: a command from an
// accelerator routed through the view, the document, the frame and the application (its
// handler is the application's, so every target is asked); and an idle update of a frame
// with 200 command targets.
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/Button.h"
#include "platform/controls/StandardControls.h"

#include <benchmark/benchmark.h>

#include <memory>

namespace {

constexpr UINT ID_BENCH = 0x7001;
constexpr UINT ID_TARGET_FIRST = 0x7100;
constexpr int kTargets = 200;

int g_handled = 0;

class CBenchDoc : public CDocument {
    DECLARE_DYNCREATE(CBenchDoc)
};
IMPLEMENT_DYNCREATE(CBenchDoc, CDocument)

class CBenchView : public CView {
    DECLARE_DYNCREATE(CBenchView)
public:
    void OnDraw(CDC*) override {}
};
IMPLEMENT_DYNCREATE(CBenchView, CView)

class CBenchApp : public CWinApp {
public:
    CBenchApp() : CWinApp("Bench") {}
    void OnBench() { ++g_handled; }
    // Every other target has an update handler; the rest are enabled by their command handler.
    void OnTarget(UINT) {}
    void OnUpdateTarget(CCmdUI* pCmdUI) { pCmdUI->Enable(pCmdUI->m_nID % 3 != 0); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CBenchApp, CWinApp)
    ON_COMMAND(ID_BENCH, &CBenchApp::OnBench)
    ON_COMMAND_RANGE(ID_TARGET_FIRST, ID_TARGET_FIRST + kTargets - 1, &CBenchApp::OnTarget)
    ON_UPDATE_COMMAND_UI_RANGE(ID_TARGET_FIRST, ID_TARGET_FIRST + kTargets / 2, &CBenchApp::OnUpdateTarget)
END_MESSAGE_MAP()

// A bar of buttons that updates its buttons from the frame's route when the frame idles, as
// tool and status bars do.
class CButtonBar : public CWnd {
public:
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM)
    {
        UpdateDialogControls(GetParentFrame(), static_cast<BOOL>(wParam));
        return 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CButtonBar, CWnd)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, &CButtonBar::OnIdleUpdateCmdUI)
END_MESSAGE_MAP()

LRESULT CALLBACK FloorProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_COMMAND && LOWORD(wParam) == ID_BENCH) {
        ++g_handled;
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

struct Program {
    Program()
    {
        HeadlessBackend::Install();
        RegisterStandardControls();
        app = std::make_unique<CBenchApp>();
        auto* doc = new CBenchDoc;
        CCreateContext context;
        context.m_pNewViewClass = RUNTIME_CLASS(CBenchView);
        context.m_pCurrentDoc = doc;
        frame = new CFrameWnd;
        frame->Create(nullptr, "Bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 800, 600), nullptr, nullptr, 0,
                      &context);
        frame->InitialUpdateFrame(doc, TRUE);
        app->m_pMainWnd = frame;
        ACCEL accel{FVIRTKEY, VK_F5, static_cast<WORD>(ID_BENCH)};
        frame->m_hAccelTable = ::CreateAcceleratorTable(&accel, 1);
    }
    ~Program()
    {
        app->m_pMainWnd = nullptr;
        frame->DestroyWindow();
        app.reset();
        SetWindowBackend(nullptr);
    }
    std::unique_ptr<CBenchApp> app;
    CFrameWnd* frame = nullptr;
};

void BM_AcceleratorRoutedToTheApplication(benchmark::State& state)
{
    Program program;
    MSG key{};
    key.hwnd = program.frame->GetActiveView()->m_hWnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_F5;
    g_handled = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(program.app->PreTranslateMessage(&key));
    if (g_handled != static_cast<int>(state.iterations()))
        state.SkipWithError("the command did not arrive every time");
}
BENCHMARK(BM_AcceleratorRoutedToTheApplication);

// The floor: the same accelerator translated by the window layer into WM_COMMAND to a plain
// window procedure.
void BM_AcceleratorFloor(benchmark::State& state)
{
    HeadlessBackend::Install();
    WNDCLASS wc{};
    wc.lpfnWndProc = FloorProc;
    wc.lpszClassName = "AfxBenchFloor";
    RegisterClass(&wc);
    HWND hwnd = CreateWindowEx(0, "AfxBenchFloor", "Floor", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr,
                               nullptr, nullptr, nullptr);
    ACCEL accel{FVIRTKEY, VK_F5, static_cast<WORD>(ID_BENCH)};
    HACCEL table = CreateAcceleratorTable(&accel, 1);
    MSG key{};
    key.hwnd = hwnd;
    key.message = WM_KEYDOWN;
    key.wParam = VK_F5;
    g_handled = 0;
    for (auto _ : state)
        benchmark::DoNotOptimize(TranslateAccelerator(hwnd, table, &key));
    if (g_handled != static_cast<int>(state.iterations()))
        state.SkipWithError("the command did not arrive every time");
    DestroyAcceleratorTable(table);
    DestroyWindow(hwnd);
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_AcceleratorFloor);

void BM_IdleUpdateOf200Targets(benchmark::State& state)
{
    Program program;
    auto* bar = new CButtonBar;
    bar->Create(nullptr, "bar", WS_CHILD | WS_VISIBLE, CRect(0, 0, 800, 30), program.frame, AFX_IDW_TOOLBAR);
    for (int i = 0; i < kTargets; ++i)
        CreateWindowEx(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, (i % 40) * 20, (i / 40) * 6, 20, 6,
                       bar->m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_TARGET_FIRST + i)), nullptr,
                       nullptr);
    for (auto _ : state)
        benchmark::DoNotOptimize(program.app->OnIdle(0));
    // The first id divisible by three has an update handler that disables it.
    if (::IsWindowEnabled(::GetDlgItem(bar->m_hWnd, ID_TARGET_FIRST + 1)))
        state.SkipWithError("the update handlers did not run");
    bar->DestroyWindow();
    delete bar;
}
BENCHMARK(BM_IdleUpdateOf200Targets)->Unit(benchmark::kMicrosecond);

// The floor: the window-layer work an update does at the least, each of the 200 buttons asked
// what it is and set enabled or disabled.
void BM_IdleUpdateFloor(benchmark::State& state)
{
    HeadlessBackend::Install();
    RegisterStandardControls();
    HWND parent = CreateWindowEx(0, "Button", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 800, 600, nullptr, nullptr,
                                 nullptr, nullptr);
    for (int i = 0; i < kTargets; ++i)
        CreateWindowEx(0, "Button", "", WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, (i % 40) * 20, (i / 40) * 6, 20, 6,
                       parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(ID_TARGET_FIRST + i)), nullptr, nullptr);
    for (auto _ : state)
        for (HWND child = GetWindow(parent, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            benchmark::DoNotOptimize(SendMessage(child, WM_GETDLGCODE, 0, 0));
            EnableWindow(child, GetDlgCtrlID(child) % 3 != 0);
        }
    DestroyWindow(parent);
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_IdleUpdateFloor)->Unit(benchmark::kMicrosecond);

} // namespace
