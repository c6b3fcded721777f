// CGXView: a view for grids that owns or borrows a print device and takes its scroll bars from
// a registered scroll-bar parent when there is one. CGXGridView: the grid as a document view,
// its window messages going to its own engine, the edit and find commands to the grid.
#pragma once

#include "grid/core/CGXGridCore.h"
#include "platform/afx/doc/CView.h"

class CGXPrintDevice;
class CPrintDialog;

class CGXView : public CView {
    DECLARE_DYNAMIC(CGXView)
public:
    CGXView() = default;
    ~CGXView() override;
    void SetPrintDevice(CObject* pDevice, BOOL bMustDelete = TRUE);
    CObject* GetPrintDevice() const { return m_pPrintDevice; }
    void OnInitialUpdate() override;
    // Called once the print dialog or the preparation of a print changed the printer.
    virtual void OnPrintDeviceChanged() {}
    // NULL when the view has the bar itself, else the registered scroll-bar parent's bar.
    virtual CWnd* GetScrollBarCtrl(int nBar) const;

    // Printing through the library's print-device feature, on the view's print device; the
    // platform's own steps without the feature.
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    virtual INT_PTR DoPrintDialog(CPrintDialog* pPD);
    // File > Print Setup: the printer for this view's document.
    void OnFilePrintSetup();

protected:
    CGXPrintDevice* GetGridPrintDevice() const;
    BOOL m_bOwnPrintDevice = FALSE;
    CObject* m_pPrintDevice = nullptr;
    DECLARE_MESSAGE_MAP()
};

class CGXGridView : public CGXView, public CGXGridCore {
    DECLARE_DYNCREATE(CGXGridView)
public:
    CGXGridView();
    ~CGXGridView() override;

    void OnInitialUpdate() override;
    void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView) override;
    void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr) override;
    void OnDraw(CDC* pDC) override;
    void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint) override;
    BOOL OnPreparePrinting(CPrintInfo* pInfo) override;
    void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    void OnPrint(CDC* pDC, CPrintInfo* pInfo) override;
    void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo) override;
    CWnd* GetScrollBarCtrl(int nBar) const override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
    INT_PTR OnToolHitTest(CPoint point, TOOLINFO* pTI) const override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void ShowAsBeforePreview();
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;

    void OnEditCopy() { Copy(); }
    void OnEditCut() { Cut(); }
    void OnEditPaste() { Paste(); }
    void OnEditUndo() { UndoCommand(gxUndo); }
    void OnEditRedo() { UndoCommand(gxRedo); }
    void OnEditFind() { ShowFindReplaceDialog(TRUE); }
    void OnEditReplace() { ShowFindReplaceDialog(FALSE); }
    void OnEditRepeat();
    void OnUpdateEditCopy(CCmdUI* pCmdUI);
    void OnUpdateEditCut(CCmdUI* pCmdUI);
    void OnUpdateEditPaste(CCmdUI* pCmdUI);
    void OnUpdateEditUndo(CCmdUI* pCmdUI);
    void OnUpdateEditRedo(CCmdUI* pCmdUI);
    DECLARE_MESSAGE_MAP()

private:
    BOOL m_bPaintReported = FALSE;
    // The first row and column shown when a print preview began: the preview takes the view's
    // place, and the frame's panes change the view's size around it.
    ROWCOL m_nTopRowBeforePreview = 0;
    ROWCOL m_nLeftColBeforePreview = 0;
};
