#include "platform/afx/doc/CView.h"

#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/frame/CFrameWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/win/Cursor.h"

IMPLEMENT_DYNAMIC(CView, CWnd)

BEGIN_MESSAGE_MAP(CView, CWnd)
    ON_WM_CREATE()
    ON_WM_DESTROY()
    ON_WM_PAINT()
    ON_WM_MOUSEACTIVATE()
    ON_MESSAGE(WM_INITIALUPDATE, &CView::OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument)
        m_pDocument->RemoveView(this);
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (!cs.lpszClass)
        cs.lpszClass = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW),
                                           reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_WINDOW + 1)));
    // A border asked for is drawn as the sunken client edge.
    if (cs.style & WS_BORDER) {
        cs.dwExStyle |= WS_EX_CLIENTEDGE;
        cs.style &= ~WS_BORDER;
    }
    return cs.lpszClass != nullptr;
}

int CView::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CWnd::OnCreate(lpcs) == -1)
        return -1;
    // The context names the document the view shows.
    if (auto* context = static_cast<CCreateContext*>(lpcs->lpCreateParams))
        if (context->m_pCurrentDoc)
            context->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* frame = GetParentFrame())
        if (frame->GetActiveView() == this)
            frame->SetActiveView(nullptr, FALSE);
    CWnd::OnDestroy();
}

void CView::PostNcDestroy()
{
    // Views are made by their frames with new and go with their windows; leaving the document
    // may close the document.
    delete this;
}

void CView::OnPaint()
{
    CPaintDC dc(this);
    OnPrepareDC(&dc);
    OnDraw(&dc);
}

int CView::OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message)
{
    const int result = CWnd::OnMouseActivate(pDesktopWnd, nHitTest, message);
    if (result == MA_NOACTIVATE || result == MA_NOACTIVATEANDEAT)
        return result;
    // A click makes the view its frame's active view.
    if (CFrameWnd* frame = GetParentFrame())
        if (frame->GetActiveView() != this)
            frame->SetActiveView(this);
    return result;
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // The view first, then its document.
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView* pSender, LPARAM, CObject*)
{
    if (pSender != this)
        Invalidate(TRUE);
}

void CView::OnPrepareDC(CDC*, CPrintInfo* pInfo)
{
    // A view that does not know its page count prints one page.
    if (pInfo)
        pInfo->m_bContinuePrinting = pInfo->GetMaxPage() != 0xFFFF || pInfo->m_nCurPage == 1;
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    // The active view gets the keyboard.
    if (bActivate && pActivateView == this && m_hWnd)
        if (::GetFocus() != m_hWnd && !::IsChild(m_hWnd, ::GetFocus()))
            ::SetFocus(m_hWnd);
}

void CView::OnActivateFrame(UINT, CFrameWnd*) {}

BOOL CView::IsSelected(const CObject*) const
{
    return FALSE;
}

BOOL CView::OnPreparePrinting(CPrintInfo*)
{
    return FALSE;
}

void CView::OnBeginPrinting(CDC*, CPrintInfo*) {}

void CView::OnPrint(CDC* pDC, CPrintInfo*)
{
    // The print loop and the preview have called OnPrepareDC for this page already: a second
    // call would apply a view's page offset twice.
    OnDraw(pDC);
}

void CView::OnEndPrinting(CDC*, CPrintInfo*) {}
