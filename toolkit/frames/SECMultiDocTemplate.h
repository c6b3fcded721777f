// SECMultiDocTemplate: a multiple-document template whose frames can be MDI children, frames
// docked at a side of the main frame, or floating, converted between these while the document
// stays open; it also keeps which caption features its frames show.
#pragma once

#include "platform/afx/doc/CDocTemplate.h"
#include "toolkit/docking/SECDockBar.h"

class SECDockableFrame;

// Caption mask bits.
#define SEC_CAPTION_FEATURES 0x1       // the caption features are on
#define SEC_CAPTION_NOEXTBUTTON 0x2    // the extension button is off
#define SEC_CAPTION_NODBLCLK 0x4       // the caption double click is off
#define SEC_CAPTION_NOCONTEXTMENU 0x8  // the caption context menu is off

class SECMultiDocTemplate : public CMultiDocTemplate {
    DECLARE_DYNAMIC(SECMultiDocTemplate)
public:
    SECMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass, CRuntimeClass* pFrameClass,
                        CRuntimeClass* pViewClass, UINT nIDDockedResource = 0,
                        CRuntimeClass* pDockedFrameClass = nullptr, CRuntimeClass* pFrameBarClass = nullptr,
                        int nCaptionMask = -1);
    ~SECMultiDocTemplate() override;

    void LoadTemplate();
    CFrameWnd* CreateNewFrame(CDocument* pDoc, CFrameWnd* pOther) override;
    virtual CFrameWnd* CreateNewFrameEx(CDocument* pDoc, CFrameWnd* pOther, BOOL bDocked, int nBarID);
    virtual CDocument* OpenDocumentFileEx(LPCTSTR lpszPathName, BOOL bMakeVisible, BOOL bDocked, int nBarID = 0);
    virtual CFrameWnd* ToggleDocking(CFrameWnd* pFrame);
    virtual CFrameWnd* CreateDockedFrame(CDocument* pDoc, CFrameWnd* pOther, UINT nDockBarID,
                                         const SECDockPos* pPos, const SECDockSize* pSize);
    virtual BOOL IsDockableFrame(CFrameWnd* pFrame) const;
    // 0 top, 1 left, 2 bottom, 3 right, 4 floating, -1 not docked.
    virtual int GetDockSide(CFrameWnd* pFrame) const;
    virtual CFrameWnd* DockFrame(CFrameWnd* pFrame, UINT nDockBarID, const SECDockPos* pPos, const SECDockSize* pSize);
    virtual CFrameWnd* DockFrame(CFrameWnd* pFrame) { return DockFrame(pFrame, 0, nullptr, nullptr); }
    virtual CFrameWnd* UndockFrame(CFrameWnd* pFrame);
    virtual void MoveFrameChildren(CFrameWnd* pOld, CFrameWnd* pNew);
    virtual BOOL ActivateFrameEx(CFrameWnd* pFrame);
    virtual void ApplyCaptionMask(CFrameWnd* pFrame, int nMask);
    virtual void EnableExtensionButton(BOOL bOn, BOOL bApply = TRUE);
    virtual void EnableCaptionDblClk(BOOL bOn, BOOL bApply = TRUE);
    virtual void EnableCaptionContextMenu(BOOL bOn, BOOL bApply = TRUE);
    virtual BOOL IsExtensionButtonEnabled() const;
    virtual BOOL IsCaptionDblClkEnabled() const;
    virtual BOOL IsCaptionContextMenuEnabled() const;
    virtual BOOL ModifyCaptionMask(int nRemove, int nAdd, BOOL bApply = TRUE);
    virtual void ApplyCaptionMaskToAll();

    CRuntimeClass* m_pDockedFrameClass;
    CRuntimeClass* m_pFrameBarClass;
    BOOL m_bOpenDocked = FALSE;
    UINT m_nIDDockedResource;
    int m_nMDIChildCaptionMask;
    int m_nDockedCaptionMask;
    int m_nBarID = 0;
    HMENU m_hMenuDocked = nullptr;
    HACCEL m_hAccelDocked = nullptr;

protected:
    // Replaces an old frame by a new one for the same document and view.
    CFrameWnd* ReplaceFrame(CFrameWnd* pOld, CFrameWnd* pNew);
};
