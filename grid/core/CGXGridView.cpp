#include "grid/core/CGXGridView.h"

#include "grid/core/CGXGridAppData.h"
#include "grid/core/CGXPrintDevice.h"
#include "grid/core/CGXPrintDeviceImp.h"
#include "grid/core/GXGridWindowMessages.h"
#include "platform/afx/AfxRes.h"
#include "platform/afx/app/CWinApp.h"
#include "platform/afx/dlg/CPrintDialog.h"
#include "platform/afx/doc/CPrintInfo.h"
#include "platform/afx/frame/CSplitterWnd.h"
#include "platform/afx/gdi/CDC.h"
#include "platform/afx/wnd/CCmdUI.h"

#ifndef ID_EDIT_REPEAT
#define ID_EDIT_REPEAT 0xE128
#endif
#ifndef AFX_IDW_HSCROLL_FIRST
#define AFX_IDW_HSCROLL_FIRST 0xEA00
#endif
#ifndef AFX_IDW_VSCROLL_FIRST
#define AFX_IDW_VSCROLL_FIRST 0xEA10
#endif

IMPLEMENT_DYNAMIC(CGXView, CView)
IMPLEMENT_DYNCREATE(CGXGridView, CGXView)

// ---- CGXView ----

CGXView::~CGXView()
{
    if (m_bOwnPrintDevice)
        delete m_pPrintDevice;
}

void CGXView::SetPrintDevice(CObject* pDevice, BOOL bMustDelete)
{
    if (m_bOwnPrintDevice && pDevice != m_pPrintDevice)
        delete m_pPrintDevice;
    m_pPrintDevice = pDevice;
    m_bOwnPrintDevice = bMustDelete;
}

void CGXView::OnInitialUpdate()
{
    if (m_bOwnPrintDevice)
        delete m_pPrintDevice;
    m_pPrintDevice = nullptr;
    m_bOwnPrintDevice = FALSE;
    CView::OnInitialUpdate();
}

CWnd* CGXView::GetScrollBarCtrl(int nBar) const
{
    const DWORD dwStyle = GetStyle();
    if ((nBar == SB_VERT && (dwStyle & WS_VSCROLL)) || (nBar == SB_HORZ && (dwStyle & WS_HSCROLL)))
        return nullptr;
    if (CWnd* pParent = GXGetAppData()->FindScrollBarParent(const_cast<CGXView*>(this)))
        return pParent->GetDlgItem(nBar == SB_VERT ? AFX_IDW_VSCROLL_FIRST : AFX_IDW_HSCROLL_FIRST);
    return nullptr;
}

BEGIN_MESSAGE_MAP(CGXView, CView)
ON_COMMAND(ID_FILE_PRINT_SETUP, &CGXView::OnFilePrintSetup)
END_MESSAGE_MAP()

CGXPrintDevice* CGXView::GetGridPrintDevice() const
{
    return dynamic_cast<CGXPrintDevice*>(m_pPrintDevice);
}

BOOL CGXView::OnPreparePrinting(CPrintInfo* pInfo)
{
    CWaitCursor wait;
    if (pInfo != nullptr)
        pInfo->SetMaxPage(0xFFFF);
    return DoPreparePrinting(pInfo);
}

BOOL CGXView::DoPreparePrinting(CPrintInfo* pInfo)
{
    auto* pImp = dynamic_cast<CGXPrintDeviceImp*>(GXGetAppData()->m_pPrintDeviceImp);
    if (pImp == nullptr)
        return CView::DoPreparePrinting(pInfo);
    if (!pImp->DoPreparePrinting(this, GetGridPrintDevice(), pInfo))
        return FALSE;
    OnPrintDeviceChanged();
    return TRUE;
}

INT_PTR CGXView::DoPrintDialog(CPrintDialog* pPD)
{
    auto* pImp = dynamic_cast<CGXPrintDeviceImp*>(GXGetAppData()->m_pPrintDeviceImp);
    if (pImp == nullptr) {
        CWinApp* pApp = AfxGetApp();
        return pApp != nullptr ? pApp->DoPrintDialog(pPD) : pPD->DoModal();
    }
    const INT_PTR nResult = pImp->DoPrintDialog(GetGridPrintDevice(), pPD);
    if (nResult == IDOK)
        OnPrintDeviceChanged();
    return nResult;
}

void CGXView::OnFilePrintSetup()
{
    CWaitCursor wait;
    CPrintDialog dlg(TRUE, PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIES | PD_HIDEPRINTTOFILE);
    DoPrintDialog(&dlg);
}

// ---- CGXGridView ----

BEGIN_MESSAGE_MAP(CGXGridView, CGXView)
ON_COMMAND(ID_EDIT_COPY, &CGXGridView::OnEditCopy)
ON_COMMAND(ID_EDIT_CUT, &CGXGridView::OnEditCut)
ON_COMMAND(ID_EDIT_PASTE, &CGXGridView::OnEditPaste)
ON_COMMAND(ID_EDIT_UNDO, &CGXGridView::OnEditUndo)
ON_COMMAND(ID_EDIT_REDO, &CGXGridView::OnEditRedo)
ON_COMMAND(ID_EDIT_FIND, &CGXGridView::OnEditFind)
ON_COMMAND(ID_EDIT_REPLACE, &CGXGridView::OnEditReplace)
ON_COMMAND(ID_EDIT_REPEAT, &CGXGridView::OnEditRepeat)
ON_UPDATE_COMMAND_UI(ID_EDIT_COPY, &CGXGridView::OnUpdateEditCopy)
ON_UPDATE_COMMAND_UI(ID_EDIT_CUT, &CGXGridView::OnUpdateEditCut)
ON_UPDATE_COMMAND_UI(ID_EDIT_PASTE, &CGXGridView::OnUpdateEditPaste)
ON_UPDATE_COMMAND_UI(ID_EDIT_UNDO, &CGXGridView::OnUpdateEditUndo)
ON_UPDATE_COMMAND_UI(ID_EDIT_REDO, &CGXGridView::OnUpdateEditRedo)
END_MESSAGE_MAP()

CGXGridView::CGXGridView() : CGXGridCore(this, nullptr, FALSE) {}

CGXGridView::~CGXGridView() = default;

void CGXGridView::OnInitialUpdate()
{
    m_pGridWnd = this;
    m_bIsViewContext = TRUE;
    m_pGridDoc = GetDocument();
    auto* pSplitter = dynamic_cast<CSplitterWnd*>(GetParent());
    const BOOL bSplitter = pSplitter != nullptr && (pSplitter->GetStyle() & SPLS_DYNAMIC_SPLIT);
    SetScrollBarMode(SB_BOTH, (bSplitter || GetScrollBarParent() != nullptr) ? 12 : 10, TRUE);
    CGXGridCore::Initialize();
    CGXView::OnInitialUpdate();
    // The document's printer lives with its parameter object; every view prints on it.
    if (m_pParam != nullptr) {
        if (m_pParam->GetPrintDevice() == nullptr)
            m_pParam->SetPrintDevice(new CGXPrintDevice, TRUE);
        SetPrintDevice(m_pParam->GetPrintDevice(), FALSE);
    }
    if (bSplitter) {
        // A new pane of a split view starts where the pane it was split from stands.
        int nRow = 0, nCol = 0;
        if (pSplitter->IsChildPane(this, &nRow, &nCol) && (nRow > 0 || nCol > 0)) {
            auto* pFirst = dynamic_cast<CGXGridView*>(pSplitter->GetPane(nRow > 0 ? 0 : nRow, nRow > 0 ? nCol : 0));
            if (pFirst != nullptr) {
                SetTopRow(pFirst->GetTopRow(), 0, FALSE);
                SetLeftCol(pFirst->GetLeftCol(), 0, FALSE);
            }
        }
        UpdateScrollbars(TRUE, FALSE);
    }
}

void CGXGridView::OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView)
{
    if (bActivate != m_bActiveFrame && !GXGetPopupLock())
        ActivateGrid(bActivate);
    CView::OnActivateView(bActivate, pActivateView, pDeactiveView);
}

void CGXGridView::OnPrepareDC(CDC* pDC, CPrintInfo* pInfo)
{
    PrepareDC(pDC);
    // The printing feature counted the pages when the job began; the job stops after the last.
    if (pInfo != nullptr && pDC != nullptr && pDC->IsPrinting())
        pInfo->m_bContinuePrinting = pInfo->m_nCurPage <= pInfo->GetMaxPage();
}

void CGXGridView::OnDraw(CDC* pDC)
{
    Paint(pDC);
}

void CGXGridView::OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint)
{
    ProcessHint(pSender, lHint, pHint);
}

BOOL CGXGridView::OnPreparePrinting(CPrintInfo* pInfo)
{
    if (pInfo != nullptr) {
        pInfo->SetMaxPage(0xFFFF);
        // A grid can print just its selection.
        if (pInfo->m_pPD != nullptr) {
            pInfo->m_pPD->m_pd.Flags &= ~static_cast<DWORD>(PD_NOSELECTION);
            pInfo->m_pPD->m_pd.hInstance = AfxGetInstanceHandle();
        }
    }
    return CGXView::DoPreparePrinting(pInfo);
}

void CGXGridView::OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    if (pInfo != nullptr && pInfo->m_bPreview) {
        m_nTopRowBeforePreview = GetTopRow();
        m_nLeftColBeforePreview = GetLeftCol();
    }
    OnGridBeginPrinting(pDC, pInfo);
}

void CGXGridView::OnPrint(CDC* pDC, CPrintInfo* pInfo)
{
    OnGridPrint(pDC, pInfo);
}

void CGXGridView::OnEndPrinting(CDC* pDC, CPrintInfo* pInfo)
{
    OnGridEndPrinting(pDC, pInfo);
    // While the preview stood in its place, the view was sized as the frame's panes came and
    // went, and a taller view shows the last rows from an earlier top row. The view comes back
    // showing what it showed before, its current cell where the user left it, once the frame
    // has given it its place again.
    if (pInfo != nullptr && pInfo->m_bPreview && GetSafeHwnd() != nullptr)
        PostMessage(WM_GX_PREVIEWCLOSED);
}

void CGXGridView::ShowAsBeforePreview()
{
    if (!IsInitialized() || IsPrinting())
        return;
    if (m_nTopRowBeforePreview > GetFrozenRows() && m_nTopRowBeforePreview <= GetRowCount() &&
        m_nTopRowBeforePreview != GetTopRow())
        SetTopRow(m_nTopRowBeforePreview, GX_INVALIDATE);
    if (m_nLeftColBeforePreview > GetFrozenCols() && m_nLeftColBeforePreview <= GetColCount() &&
        m_nLeftColBeforePreview != GetLeftCol())
        SetLeftCol(m_nLeftColBeforePreview, GX_INVALIDATE);
}

CWnd* CGXGridView::GetScrollBarCtrl(int nBar) const
{
    if (CWnd* pBar = const_cast<CGXGridView*>(this)->CGXGridCore::GetScrollBarCtrl(nBar))
        return pBar;
    return CGXView::GetScrollBarCtrl(nBar);
}

BOOL CGXGridView::PreTranslateMessage(MSG* pMsg)
{
    return HandlePreTranslateMessage(pMsg) || CGXView::PreTranslateMessage(pMsg);
}

INT_PTR CGXGridView::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    // A cell's own tip first; otherwise the child windows', such as the current cell's editor.
    const INT_PTR nHit = const_cast<CGXGridView*>(this)->HitTestToolTip(point, pTI);
    return nHit != -1 ? nHit : CGXView::OnToolHitTest(point, pTI);
}

BOOL CGXGridView::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return HandleCommand(wParam, lParam) || CGXView::OnCommand(wParam, lParam);
}

void CGXGridView::OnEditRepeat()
{
    if (!FindNext(TRUE))
        Beep(nullptr);
}

void CGXGridView::OnUpdateEditCopy(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanCopy());
}

void CGXGridView::OnUpdateEditCut(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanCut());
}

void CGXGridView::OnUpdateEditPaste(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanPaste());
}

void CGXGridView::OnUpdateEditUndo(CCmdUI* pCmdUI)
{
    UpdateUndoCommand(gxUndo, pCmdUI); // enables the command and names what it undoes
}

void CGXGridView::OnUpdateEditRedo(CCmdUI* pCmdUI)
{
    UpdateUndoCommand(gxRedo, pCmdUI);
}

LRESULT CGXGridView::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (HandleWindowProc(message, wParam, lParam, &lResult))
        return lResult;
    switch (message) {
    case WM_PAINT:
        if (!IsInitialized()) {
            GXPaintUninitialised(*this, m_bPaintReported);
            return 0;
        }
        break; // the view's own paint: OnPrepareDC, then OnDraw
    case WM_DESTROY:
        if (HandleDestroy())
            return 0;
        break;
    case WM_MOUSEACTIVATE: {
        const int nResult = HandleMouseActivate(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)), LOWORD(lParam), HIWORD(lParam));
        if (nResult != 0)
            return nResult;
        break;
    }
    case WM_KILLFOCUS:
        lResult = CGXView::WindowProc(message, wParam, lParam);
        HandleKillFocus(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        return lResult;
    case WM_GX_PREVIEWCLOSED:
        ShowAsBeforePreview();
        return 0;
    default:
        if (GXDispatchGridMessage(*this, *this, GXGridWindowKind::view, message, wParam, lParam, lResult))
            return lResult;
        break;
    }
    return CGXView::WindowProc(message, wParam, lParam);
}
