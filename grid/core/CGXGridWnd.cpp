#include "grid/core/CGXGridWnd.h"

#include "grid/core/CGXDrawingAndFormatting.h"
#include "grid/core/GXGridWindowMessages.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/core/CException.h"
#include "platform/win/UserApi.h"

#include <set>

IMPLEMENT_DYNCREATE(CGXGridWnd, CWnd)

namespace {
constexpr const char* kClassName = "CGXGridWnd";
constexpr DWORD kFrameStyle = 0x200;

// The objects the class procedure made: their windows delete them.
std::set<CGXGridWnd*>& SelfCreated()
{
    static std::set<CGXGridWnd*> objects;
    return objects;
}
} // namespace

LRESULT CALLBACK GXGridWndClassProc(HWND hWnd, UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    // A window the program made with its own object only passes its default processing here.
    if (CWnd::FromHandlePermanent(hWnd) != nullptr)
        return ::DefWindowProc(hWnd, nMessage, wParam, lParam);
    // The first message of a window made by class name: it gets its object, and the
    // framework's procedure takes over.
    auto* pWnd = new CGXGridWnd;
    pWnd->Attach(hWnd);
    SelfCreated().insert(pWnd);
    ::SetWindowLongPtr(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AfxWndProc));
    return AfxWndProc(hWnd, nMessage, wParam, lParam);
}

CGXGridWnd::CGXGridWnd() : CGXGridCore(this, nullptr, FALSE) {}

CGXGridWnd::~CGXGridWnd()
{
    SelfCreated().erase(this);
}

size_t CGXGridWnd::GetSelfCreatedCount()
{
    return SelfCreated().size();
}

LPCTSTR CGXGridWnd::RegisterWndClass(HINSTANCE hInstance)
{
    WNDCLASS wc{};
    if (::GetClassInfo(hInstance, kClassName, &wc))
        return kClassName;
    wc.style = CS_DBLCLKS | CS_GLOBALCLASS;
    wc.lpfnWndProc = GXGridWndClassProc;
    wc.hInstance = hInstance;
    wc.lpszClassName = kClassName;
    if (!::RegisterClass(&wc))
        AfxThrowResourceException();
    return kClassName;
}

void CGXGridWnd::UnregisterWndClass(HINSTANCE hInstance)
{
    ::UnregisterClass(kClassName, hInstance);
}

void CGXGridWnd::Initialize()
{
    if (GetScrollBarParent() != nullptr) {
        SetScrollBarMode(SB_BOTH, 12, FALSE);
    } else {
        const DWORD dwStyle = GetSafeHwnd() != nullptr ? GetStyle() : 0;
        SetScrollBarMode(SB_VERT, (dwStyle & WS_VSCROLL) ? 10 : 0, FALSE);
        SetScrollBarMode(SB_HORZ, (dwStyle & WS_HSCROLL) ? 10 : 0, FALSE);
    }
    OnInitialUpdate();
}

void CGXGridWnd::OnInitialUpdate()
{
    CGXGridCore::Initialize();
    m_bInitialised = TRUE;
}

void CGXGridWnd::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    OnGridBeginPrinting(pDC, pInfo);
}

void CGXGridWnd::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    OnGridEndPrinting(pDC, pInfo);
}

void CGXGridWnd::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    OnGridPrint(pDC, pInfo);
}

BOOL CGXGridWnd::PreTranslateMessage(MSG* pMsg)
{
    return HandlePreTranslateMessage(pMsg) || CWnd::PreTranslateMessage(pMsg);
}

INT_PTR CGXGridWnd::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    // A cell's own tip first; otherwise the child windows', such as the current cell's editor.
    const INT_PTR nHit = const_cast<CGXGridWnd*>(this)->HitTestToolTip(point, pTI);
    return nHit != -1 ? nHit : CWnd::OnToolHitTest(point, pTI);
}

BOOL CGXGridWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return HandleCommand(wParam, lParam) || CWnd::OnCommand(wParam, lParam);
}

void CGXGridWnd::PostNcDestroy()
{
    if (SelfCreated().erase(this) != 0)
        delete this;
}

void CGXGridWnd::OnNcPaintFrame()
{
    CWnd* pParent = GetParent();
    if (pParent == nullptr)
        return;
    CRect rect;
    GetWindowRect(&rect);
    pParent->ScreenToClient(&rect);
    rect.InflateRect(2, 2, 3, 3);
    CClientDC dc(pParent);
    CGXDrawingAndFormatting::GetInstance()->Draw3dFrame(&dc, rect, TRUE, TRUE);
}

LRESULT CGXGridWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (HandleWindowProc(message, wParam, lParam, &lResult))
        return lResult;
    if (message == WM_PAINT) {
        if (!IsInitialized()) {
            GXPaintUninitialised(*this, m_bPaintReported);
            return 0;
        }
        CPaintDC dc(this);
        PrepareDC(&dc);
        Paint(&dc);
        return 0;
    }
    if (message == WM_NCPAINT) {
        lResult = CWnd::WindowProc(message, wParam, lParam);
        if (m_bFrame || (GetStyle() & kFrameStyle))
            OnNcPaintFrame();
        return lResult;
    }
    if (GXDispatchGridMessage(*this, *this, GXGridWindowKind::window, message, wParam, lParam, lResult))
        return lResult;
    return CWnd::WindowProc(message, wParam, lParam);
}
