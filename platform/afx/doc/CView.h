// CView: a window that shows a document inside a frame. It draws through OnDraw, hears of the
// document's changes through OnUpdate, and routes commands to its document after itself.
#pragma once

#include "platform/afx/wnd/CWnd.h"

class CDC;
class CDocument;
class CFrameWnd;
struct CCreateContext;
struct CPrintInfo;

#define AFX_WS_DEFAULT_VIEW (WS_CHILD | WS_VISIBLE | WS_BORDER)

class CView : public CWnd {
    DECLARE_DYNAMIC(CView)
public:
    CView() = default;
    ~CView() override;

    CDocument* GetDocument() const { return m_pDocument; }
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;

    virtual void OnInitialUpdate();
    // The document changed: the base repaints the whole view.
    virtual void OnUpdate(CView* pSender, LPARAM lHint, CObject* pHint);
    virtual void OnDraw(CDC* pDC) = 0;
    virtual void OnPrepareDC(CDC* pDC, CPrintInfo* pInfo = nullptr);
    virtual void OnActivateView(BOOL bActivate, CView* pActivateView, CView* pDeactiveView);
    virtual void OnActivateFrame(UINT nState, CFrameWnd* pFrameWnd);
    virtual BOOL IsSelected(const CObject* pDocItem) const;
    // Printing hooks; the printing machinery calls them.
    virtual BOOL OnPreparePrinting(CPrintInfo* pInfo);
    virtual void OnBeginPrinting(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnPrint(CDC* pDC, CPrintInfo* pInfo);
    virtual void OnEndPrinting(CDC* pDC, CPrintInfo* pInfo);
    // The name the print job (and the file it writes) is given: the document's title.
    virtual CString GetPrintJobTitle();
    // Asks for the printer (or takes the default one for direct printing and preview) and
    // makes the job's device context; FALSE when cancelled.
    BOOL DoPreparePrinting(CPrintInfo* pInfo);
    // The File menu's Print, Print Direct and Print Preview, for views that map them.
    void OnFilePrint();
    void OnFilePrintPreview();

    CDocument* m_pDocument = nullptr;

protected:
    void PostNcDestroy() override;
    int OnCreate(LPCREATESTRUCT lpcs);
    void OnDestroy();
    void OnPaint();
    int OnMouseActivate(CWnd* pDesktopWnd, UINT nHitTest, UINT message);
    LRESULT OnInitialUpdateMessage(WPARAM, LPARAM);
    friend class CDocument;
    DECLARE_MESSAGE_MAP()
};
