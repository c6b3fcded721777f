// Opening and closing a document window in an MDI frame (created through the MDI client,
// activated, listed in the Window menu, painted, destroyed with the next one activated), and a
// document with its view opened through the class framework's template and closed, beside the
// bare window-layer work underneath: a child window with the same frame created, shown,
// painted and destroyed in the same client.
#include "platform/backends/headless/HeadlessBackend.h"
#include "platform/controls/MdiClient.h"
#include "platform/controls/StandardControls.h"
#include "platform/win/Gdi.h"
#include "platform/win/UserApi.h"

#include <benchmark/benchmark.h>

namespace {

HWND g_client = nullptr;

LRESULT CALLBACK FrameProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CREATE) {
        CLIENTCREATESTRUCT ccs{GetSubMenu(GetMenu(hwnd), 1), 0xFF00};
        g_client = CreateWindowEx(WS_EX_CLIENTEDGE, WC_MDICLIENT, nullptr, WS_CHILD | WS_CLIPCHILDREN | WS_VISIBLE, 0,
                                  0, 0, 0, hwnd, nullptr, nullptr, &ccs);
        return 0;
    }
    return DefFrameProc(hwnd, g_client, message, wParam, lParam);
}

LRESULT CALLBACK DocumentProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        TextOut(dc, 4, 4, "index.html", 10);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefMDIChildProc(hwnd, message, wParam, lParam);
}

LRESULT CALLBACK PlainProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(hwnd, &ps);
        TextOut(dc, 4, 4, "index.html", 10);
        EndPaint(hwnd, &ps);
        return 0;
    }
    return DefWindowProc(hwnd, message, wParam, lParam);
}

struct Program {
    HeadlessBackend* backend = nullptr;
    HWND frame = nullptr;
    HWND resident = nullptr;   // a document that stays open, as in a working session

    explicit Program(bool maximised)
    {
        backend = &HeadlessBackend::Install();
        RegisterStandardControls();
        static bool registered = false;
        if (!registered) {
            registered = true;
            WNDCLASS wc{};
            wc.lpfnWndProc = FrameProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_BTNFACE + 1));
            wc.lpszClassName = "MdiBenchFrame";
            RegisterClass(&wc);
            wc.lpfnWndProc = DocumentProc;
            wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1));
            wc.lpszClassName = "MdiBenchDocument";
            RegisterClass(&wc);
            wc.lpfnWndProc = PlainProc;
            wc.lpszClassName = "MdiBenchPlain";
            RegisterClass(&wc);
        }
        HMENU bar = CreateMenu();
        HMENU file = CreatePopupMenu();
        AppendMenu(file, MF_STRING, 100, "&Open...");
        AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(file), "&File");
        HMENU window = CreatePopupMenu();
        AppendMenu(window, MF_STRING, 200, "&Cascade");
        AppendMenu(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(window), "&Window");
        frame = CreateWindowEx(0, "MdiBenchFrame", "Site", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 1024, 740, nullptr,
                               bar, nullptr, nullptr);
        resident = NewDocument();
        if (maximised)
            SendMessage(g_client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(resident), 0);
        backend->ProcessMessages();
    }
    ~Program()
    {
        DestroyWindow(frame);
        backend->ProcessMessages();
        SetWindowBackend(nullptr);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    static HWND NewDocument()
    {
        MDICREATESTRUCT mcs{"MdiBenchDocument", "index.html", nullptr, CW_USEDEFAULT, CW_USEDEFAULT,
                            CW_USEDEFAULT, CW_USEDEFAULT, WS_VISIBLE, 0};
        return reinterpret_cast<HWND>(SendMessage(g_client, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
    }
};

void OpenAndClose(benchmark::State& state, bool maximised)
{
    Program program(maximised);
    for (auto _ : state) {
        HWND child = Program::NewDocument();
        program.backend->ProcessMessages();   // painted
        SendMessage(g_client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(child), 0);
        program.backend->ProcessMessages();   // the resident one painted again
        benchmark::DoNotOptimize(child);
    }
}

void BM_MdiChildOpenClose(benchmark::State& state)
{
    OpenAndClose(state, false);
}
BENCHMARK(BM_MdiChildOpenClose)->Unit(benchmark::kMicrosecond);

// Maximised, each new child takes over the maximised state, the frame's bar and its title.
void BM_MdiChildOpenCloseMaximised(benchmark::State& state)
{
    OpenAndClose(state, true);
}
BENCHMARK(BM_MdiChildOpenCloseMaximised)->Unit(benchmark::kMicrosecond);

// The floor: the same child window made, shown and painted, then destroyed, by the window layer.
void BM_PlainChildOpenClose(benchmark::State& state)
{
    Program program(false);
    RECT area;
    GetClientRect(g_client, &area);
    for (auto _ : state) {
        HWND child = CreateWindowEx(WS_EX_MDICHILD, "MdiBenchPlain", "index.html",
                                    WS_CHILD | WS_CLIPSIBLINGS | WS_OVERLAPPEDWINDOW | WS_VISIBLE, 23, 23,
                                    area.right * 3 / 4, area.bottom * 3 / 4, g_client, nullptr, nullptr, nullptr);
        program.backend->ProcessMessages();
        DestroyWindow(child);
        program.backend->ProcessMessages();
        benchmark::DoNotOptimize(child);
    }
}
BENCHMARK(BM_PlainChildOpenClose)->Unit(benchmark::kMicrosecond);

} // namespace

// ---- The framework's document window with its view ----

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocTemplate.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CMDIChildWnd.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/afx/gdi/CDC.h"

namespace {

class CBenchDoc : public CDocument {
    DECLARE_DYNCREATE(CBenchDoc)
};
IMPLEMENT_DYNCREATE(CBenchDoc, CDocument)

class CBenchView : public CView {
    DECLARE_DYNCREATE(CBenchView)
public:
    void OnDraw(CDC* pDC) override { pDC->TextOut(4, 4, "index.html"); }
};
IMPLEMENT_DYNCREATE(CBenchView, CView)

class CBenchApp : public CWinApp {
public:
    CBenchApp() : CWinApp("MdiBench") {}
};

// Opening a document from the template (document, MDI window, view, initial update, shown and
// activated, painted) and closing its window (the document with it).
void BM_MdiDocumentWithViewOpenClose(benchmark::State& state)
{
    HeadlessBackend& backend = HeadlessBackend::Install();
    RegisterStandardControls();
    {
        CBenchApp app;
        auto* pages = new CMultiDocTemplate(0, RUNTIME_CLASS(CBenchDoc), RUNTIME_CLASS(CMDIChildWnd),
                                            RUNTIME_CLASS(CBenchView));
        app.AddDocTemplate(pages);
        auto* frame = new CMDIFrameWnd;
        frame->Create(nullptr, "Site", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 1024, 740));
        app.m_pMainWnd = frame;
        pages->OpenDocumentFile(nullptr, TRUE);   // a resident document, as in a working session
        backend.ProcessMessages();
        for (auto _ : state) {
            CDocument* doc = pages->OpenDocumentFile(nullptr, TRUE);
            backend.ProcessMessages();
            frame->MDIGetActive()->SendMessage(WM_CLOSE);
            backend.ProcessMessages();
            benchmark::DoNotOptimize(doc);
        }
        frame->DestroyWindow();
        app.m_pMainWnd = nullptr;
        backend.ProcessMessages();
        MSG quit;
        ::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }
    SetWindowBackend(nullptr);
}
BENCHMARK(BM_MdiDocumentWithViewOpenClose)->Unit(benchmark::kMicrosecond);

} // namespace
