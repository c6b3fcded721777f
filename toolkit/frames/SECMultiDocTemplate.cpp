#include "toolkit/frames/SECMultiDocTemplate.h"

#include "platform/afx/app/CWinApp.h"
#include "platform/afx/doc/CCreateContext.h"
#include "platform/afx/doc/CDocManager.h"
#include "platform/afx/doc/CDocument.h"
#include "platform/afx/doc/CView.h"
#include "platform/afx/frame/CMDIFrameWnd.h"
#include "platform/core/ResourceFormats.h"
#include "platform/core/ResourceTable.h"
#include "platform/win/MenuApi.h"
#include "platform/win/UserApi.h"
#include "toolkit/docking/SECControlBar.h"
#include "toolkit/docking/SECGlobalData.h"
#include "toolkit/frames/SECDockableFrame.h"
#include "toolkit/frames/SECFrameBar.h"
#include "toolkit/frames/SECMDIChildWnd.h"
#include "toolkit/frames/SECMDIFrameWnd.h"

#include <vector>

IMPLEMENT_DYNAMIC(SECMultiDocTemplate, CMultiDocTemplate)

namespace {

SECMDIFrameWnd* MainFrame()
{
    CWnd* main = AfxGetMainWnd();
    return main && main->IsKindOf(RUNTIME_CLASS(SECMDIFrameWnd)) ? static_cast<SECMDIFrameWnd*>(main) : nullptr;
}

DWORD AlignmentOf(UINT nDockBarID)
{
    switch (nDockBarID) {
    case AFX_IDW_DOCKBAR_TOP:
        return 0x2800;
    case AFX_IDW_DOCKBAR_LEFT:
        return 0x1400;
    case AFX_IDW_DOCKBAR_RIGHT:
        return 0x4100;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return 0x8200;
    default:
        return 0;
    }
}

// Restores a value when the scope ends, whatever way it ends.
template <typename T>
class Restore {
public:
    Restore(T& ref, T value) : m_ref(ref), m_old(ref) { m_ref = value; }
    ~Restore() { m_ref = m_old; }
    Restore(const Restore&) = delete;
    Restore& operator=(const Restore&) = delete;

private:
    T& m_ref;
    T m_old;
};

} // namespace

SECMultiDocTemplate::SECMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                                         CRuntimeClass* pViewClass, UINT nIDDockedResource,
                                         CRuntimeClass* pDockedFrameClass, CRuntimeClass* pFrameBarClass,
                                         int nCaptionMask)
    : CMultiDocTemplate(nIDResource, pDocClass, pFrameClass ? pFrameClass : RUNTIME_CLASS(SECMDIChildWnd), pViewClass),
      m_pDockedFrameClass(pDockedFrameClass ? pDockedFrameClass : RUNTIME_CLASS(SECDockableFrame)),
      m_pFrameBarClass(pFrameBarClass ? pFrameBarClass : RUNTIME_CLASS(SECFrameBar)),
      m_nIDDockedResource(nIDDockedResource ? nIDDockedResource : nIDResource),
      m_nMDIChildCaptionMask(nCaptionMask == -1 ? 7 : nCaptionMask),
      m_nDockedCaptionMask(nCaptionMask == -1 ? 7 : nCaptionMask)
{
    LoadTemplate();
}

SECMultiDocTemplate::~SECMultiDocTemplate()
{
    if (m_hMenuDocked && m_hMenuDocked != m_hMenuShared)
        ::DestroyMenu(m_hMenuDocked);
}

void SECMultiDocTemplate::LoadTemplate()
{
    CDocTemplate::LoadTemplate();
    if (m_nIDDockedResource && !m_hMenuDocked) {
        const LPCTSTR name = MAKEINTRESOURCE(m_nIDDockedResource);
        if (HINSTANCE module = AfxFindResourceHandle(name, RT_MENU))
            m_hMenuDocked = ::LoadMenu(module, name);
        if (HINSTANCE module = AfxFindResourceHandle(name, RT_ACCELERATOR))
            m_hAccelDocked = ::LoadAccelerators(module, name);
    }
}

CDocument* SECMultiDocTemplate::OpenDocumentFileEx(LPCTSTR lpszPathName, BOOL bMakeVisible, BOOL bDocked, int nBarID)
{
    m_bOpenDocked = bDocked;
    if (bDocked)
        m_nBarID = nBarID;
    CDocument* doc = OpenDocumentFile(lpszPathName, bMakeVisible);
    if (doc && bDocked) {
        POSITION pos = doc->GetFirstViewPosition();
        if (CView* view = pos ? doc->GetNextView(pos) : nullptr)
            ActivateFrameEx(view->GetParentFrame());
    }
    m_bOpenDocked = FALSE;
    m_nBarID = 0;
    return doc;
}

CFrameWnd* SECMultiDocTemplate::CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther)
{
    return CreateNewFrameEx(pDoc, pOther, m_bOpenDocked, m_nBarID);
}

CFrameWnd* SECMultiDocTemplate::CreateNewFrameEx(CDocument* pDoc, CFrameWnd* pOther, BOOL bDocked, int nBarID)
{
    m_bOpenDocked = bDocked;
    CFrameWnd* frame = nullptr;
    if (bDocked) {
        m_nBarID = nBarID;
        UINT id = 0;
        SECDockPos pos;
        SECDockSize size;
        if (SECMDIFrameWnd* main = MainFrame())
            main->GetNextDockPosition(id, pos, size);
        frame = CreateDockedFrame(pDoc, pOther, id, &pos, &size);
    } else {
        m_nBarID = 0;
        frame = CMultiDocTemplate::CreateNewFrame(pDoc, pOther);
        if (frame)
            ApplyCaptionMask(frame, m_nMDIChildCaptionMask);
    }
    m_bOpenDocked = FALSE;
    m_nBarID = 0;
    return frame;
}

CFrameWnd* SECMultiDocTemplate::CreateDockedFrame(CDocument* pDoc, CFrameWnd* pOther, UINT nDockBarID,
                                                  const SECDockPos* pPos, const SECDockSize* pSize)
{
    // The docked resource stands in for the template's for this call only.
    Restore<UINT> resource(m_nIDResource, m_nIDDockedResource);
    SECMDIFrameWnd* main = MainFrame();
    if (!main)
        return nullptr;
    CCreateContext context;
    context.m_pNewViewClass = m_pViewClass;
    context.m_pCurrentDoc = pDoc;
    context.m_pNewDocTemplate = this;
    context.m_pCurrentFrame = pOther;

    CRuntimeClass* barClass = m_pFrameBarClass ? m_pFrameBarClass : RUNTIME_CLASS(SECControlBar);
    std::unique_ptr<CObject> object;
    if (barClass == RUNTIME_CLASS(SECFrameBar))
        object = std::make_unique<SECFrameBar>();
    else
        object.reset(barClass->CreateObject());
    auto* bar = dynamic_cast<SECControlBar*>(object.get());
    if (!bar)
        return nullptr;

    UINT id = nDockBarID;
    SECDockPos pos;
    SECDockSize size;
    if (!nDockBarID || !pPos || !pSize) {
        main->GetNextDockPosition(id, pos, size);
        if (nDockBarID)
            id = nDockBarID;
    }
    if (pPos)
        pos = *pPos;
    if (pSize)
        size = *pSize;
    const DWORD align = AlignmentOf(id);
    const UINT barId = m_nBarID >= 1 ? static_cast<UINT>(m_nBarID) : bar->FindFreeBarID(256);
    m_nBarID = 0;
    CString title = pDoc ? pDoc->GetTitle() : CString();
    // Made in the main frame, which lists it among its bars and becomes its dock site. Until its
    // window stands the bar is this function's: a window made and then refused must not have
    // deleted it in PostNcDestroy.
    bar->m_bAutoDelete = FALSE;
    if (!bar->Create(main, title, align | 0x50000004, CBRS_EX_SIZE_TO_FIT, barId))
        return nullptr;
    // From here the bar belongs to its window and deletes itself with it.
    object.release();
    bar->m_bAutoDelete = TRUE;
    bar->EnableDocking(CBRS_ALIGN_ANY);
    main->DockControlBarEx(bar, pos, id, size);

    if (!m_pDockedFrameClass) {
        bar->DestroyWindow();
        return nullptr;
    }
    std::unique_ptr<CObject> made(m_pDockedFrameClass->CreateObject());
    auto* frame = dynamic_cast<CFrameWnd*>(made.get());
    if (!frame) {
        bar->DestroyWindow();
        return nullptr;
    }
    made.release();   // a frame deletes itself with its window, or when it fails to load
    if (!frame->LoadFrame(m_nIDDockedResource, 0x40C88000, bar, &context)) {
        bar->DestroyWindow();   // the frame has deleted itself
        return nullptr;
    }
    ApplyCaptionMask(frame, m_nDockedCaptionMask);
    main->RecalcLayout();
    return frame;
}

BOOL SECMultiDocTemplate::IsDockableFrame(CFrameWnd* pFrame) const
{
    return pFrame && pFrame->IsKindOf(RUNTIME_CLASS(SECDockableFrame));
}

int SECMultiDocTemplate::GetDockSide(CFrameWnd* pFrame) const
{
    if (!IsDockableFrame(pFrame))
        return -1;
    auto* frame = static_cast<SECDockableFrame*>(pFrame);
    SECControlBar* bar = frame->GetFrameBar();
    if (!bar)
        return -1;
    if (bar->IsFloating())
        return 4;
    CWnd* dock = bar->GetParent();
    switch (dock ? dock->GetDlgCtrlID() : 0) {
    case AFX_IDW_DOCKBAR_TOP:
        return 0;
    case AFX_IDW_DOCKBAR_LEFT:
        return 1;
    case AFX_IDW_DOCKBAR_BOTTOM:
        return 2;
    case AFX_IDW_DOCKBAR_RIGHT:
        return 3;
    default:
        return -1;
    }
}

void SECMultiDocTemplate::MoveFrameChildren(CFrameWnd* pOld, CFrameWnd* pNew)
{
    std::vector<HWND> children;
    for (HWND child = ::GetWindow(pOld->m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        children.push_back(child);
    for (HWND child : children) {
        ::SetParent(child, pNew->m_hWnd);
        if (SECGetGlobalData().m_bWin4 && (::GetWindowLong(child, GWL_EXSTYLE) & WS_EX_CLIENTEDGE))
            pNew->ModifyStyleEx(WS_EX_CLIENTEDGE, 0, SWP_FRAMECHANGED);
    }
}

CFrameWnd* SECMultiDocTemplate::ReplaceFrame(CFrameWnd* pOld, CFrameWnd* pNew)
{
    MoveFrameChildren(pOld, pNew);
    pOld->SetActiveView(nullptr, FALSE);
    // The old frame goes; its view lives on in the new one.
    if (pOld->IsKindOf(RUNTIME_CLASS(SECDockableFrame)))
        static_cast<SECDockableFrame*>(pOld)->DestroyWindow();
    else
        pOld->DestroyWindow();
    if (!pNew->GetActiveView()) {
        CWnd* pane = pNew->GetDlgItem(AFX_IDW_PANE_FIRST);
        if (auto* view = dynamic_cast<CView*>(pane))
            pNew->SetActiveView(view, FALSE);
    }
    // The view still stands where the old frame had it: the new frame places it now.
    pNew->RecalcLayout();
    ActivateFrameEx(pNew);
    return pNew;
}

CFrameWnd* SECMultiDocTemplate::DockFrame(CFrameWnd* pFrame, UINT nDockBarID, const SECDockPos* pPos,
                                          const SECDockSize* pSize)
{
    if (!pFrame || IsDockableFrame(pFrame))
        return nullptr;
    CDocument* doc = pFrame->GetActiveDocument();
    Restore<CRuntimeClass*> noView(m_pViewClass, nullptr);
    UINT id = nDockBarID;
    SECDockPos pos;
    SECDockSize size;
    if (!id) {
        if (SECMDIFrameWnd* main = MainFrame())
            main->GetNextDockPosition(id, pos, size);
    } else if (id == AFX_IDW_DOCKBAR_TOP || id == AFX_IDW_DOCKBAR_LEFT) {
        pos = SECDockPos{1, 0, 3};
    } else {
        pos = SECDockPos{0, 0, 4};
    }
    if (pPos)
        pos = *pPos;
    if (pSize)
        size = *pSize;
    CFrameWnd* frame = CreateDockedFrame(doc, nullptr, id, &pos, &size);
    // Without a new frame the old one keeps its view and stays.
    if (!frame)
        return nullptr;
    return ReplaceFrame(pFrame, frame);
}

CFrameWnd* SECMultiDocTemplate::UndockFrame(CFrameWnd* pFrame)
{
    if (!IsDockableFrame(pFrame))
        return nullptr;
    CDocument* doc = pFrame->GetActiveDocument();
    Restore<CRuntimeClass*> noView(m_pViewClass, nullptr);
    CFrameWnd* frame = CreateNewFrameEx(doc, nullptr, FALSE, 0);
    if (!frame)
        return nullptr;
    ReplaceFrame(pFrame, frame);
    frame->SendMessage(WM_SIZE, 0, 0);
    return frame;
}

CFrameWnd* SECMultiDocTemplate::ToggleDocking(CFrameWnd* pFrame)
{
    return IsDockableFrame(pFrame) ? UndockFrame(pFrame) : DockFrame(pFrame);
}

BOOL SECMultiDocTemplate::ActivateFrameEx(CFrameWnd* pFrame)
{
    if (!pFrame || !pFrame->m_hWnd)
        return FALSE;
    pFrame->SendMessage(WM_ACTIVATE, WA_ACTIVE, 0);
    int show = -1;
    if (CWinApp* app = AfxGetApp(); app && app->m_pMainWnd == pFrame) {
        show = app->m_nCmdShow;
        app->m_nCmdShow = -1;
    }
    pFrame->ActivateFrame(show);
    pFrame->OnUpdateFrameTitle(TRUE);
    return TRUE;
}

void SECMultiDocTemplate::ApplyCaptionMask(CFrameWnd* pFrame, int nMask)
{
    // Both kinds take the mask: a frame docked from its caption needs the features that bring
    // it back.
    if (!pFrame)
        return;
    if (pFrame->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)))
        static_cast<SECMDIChildWnd*>(pFrame)->EnableCaptionButtons(nMask);
    else if (pFrame->IsKindOf(RUNTIME_CLASS(SECDockableFrame)))
        static_cast<SECDockableFrame*>(pFrame)->EnableCaptionButtons(nMask);
}

BOOL SECMultiDocTemplate::ModifyCaptionMask(int nRemove, int nAdd, BOOL bApply)
{
    m_nMDIChildCaptionMask = (m_nMDIChildCaptionMask & ~nRemove) | nAdd;
    m_nDockedCaptionMask = (m_nDockedCaptionMask & ~nRemove) | nAdd;
    const BOOL given = nRemove != 0 || nAdd != 0;
    if (given && bApply)
        ApplyCaptionMaskToAll();
    return given;
}

void SECMultiDocTemplate::EnableExtensionButton(BOOL bOn, BOOL bApply)
{
    if (bOn == IsExtensionButtonEnabled())
        return;
    if (bOn)
        ModifyCaptionMask(SEC_CAPTION_NOEXTBUTTON, SEC_CAPTION_FEATURES, bApply);
    else
        ModifyCaptionMask(0, SEC_CAPTION_NOEXTBUTTON, bApply);
}

void SECMultiDocTemplate::EnableCaptionDblClk(BOOL bOn, BOOL bApply)
{
    if (bOn == IsCaptionDblClkEnabled())
        return;
    if (bOn)
        ModifyCaptionMask(SEC_CAPTION_NODBLCLK, SEC_CAPTION_FEATURES | SEC_CAPTION_NOCONTEXTMENU, bApply);
    else
        ModifyCaptionMask(0, SEC_CAPTION_NODBLCLK, bApply);
}

void SECMultiDocTemplate::EnableCaptionContextMenu(BOOL bOn, BOOL bApply)
{
    if (bOn == IsCaptionContextMenuEnabled())
        return;
    if (bOn)
        ModifyCaptionMask(SEC_CAPTION_NOCONTEXTMENU, SEC_CAPTION_FEATURES | SEC_CAPTION_NODBLCLK, bApply);
    else
        ModifyCaptionMask(0, SEC_CAPTION_NOCONTEXTMENU, bApply);
}

BOOL SECMultiDocTemplate::IsExtensionButtonEnabled() const
{
    return !(m_nMDIChildCaptionMask & SEC_CAPTION_NOEXTBUTTON);
}

BOOL SECMultiDocTemplate::IsCaptionDblClkEnabled() const
{
    return !(m_nMDIChildCaptionMask & SEC_CAPTION_NODBLCLK);
}

BOOL SECMultiDocTemplate::IsCaptionContextMenuEnabled() const
{
    return !(m_nMDIChildCaptionMask & SEC_CAPTION_NOCONTEXTMENU);
}

void SECMultiDocTemplate::ApplyCaptionMaskToAll()
{
    BOOL maximised = FALSE;
    CFrameWnd* last = nullptr;
    for (CDocument* doc : m_docList) {
        POSITION pos = doc->GetFirstViewPosition();
        while (pos) {
            CView* view = doc->GetNextView(pos);
            CFrameWnd* frame = view ? view->GetParentFrame() : nullptr;
            if (!frame || frame == last)
                continue;
            last = frame;
            if (frame->IsKindOf(RUNTIME_CLASS(SECDockableFrame)))
                ApplyCaptionMask(frame, m_nDockedCaptionMask);
            else if (frame->IsKindOf(RUNTIME_CLASS(SECMDIChildWnd)))
                ApplyCaptionMask(frame, m_nMDIChildCaptionMask);
            frame->SetWindowPos(nullptr, 0, 0, 0, 0,
                                SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
            maximised |= frame->IsZoomed();
        }
    }
    if (maximised)
        if (CWnd* main = AfxGetMainWnd())
            main->DrawMenuBar();
}
