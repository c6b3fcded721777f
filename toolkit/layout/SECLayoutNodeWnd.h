// SECLayoutNodeWnd: the layout node bound to one child window of the host; realising the
// layout moves the window. Its two mix-ins let it move to another container window and hide.
#pragma once

#include "toolkit/layout/SECLNContainer.h"
#include "toolkit/layout/SECLayoutNode.h"

class CWnd;

class ISECReparentableNode {
public:
    virtual ~ISECReparentableNode() = default;
    virtual BOOL SetContainer(ISECLNContainer* pContainer) = 0;
    virtual ISECLNContainer* GetContainer() const = 0;
};

class SECDefReparentableNode : public ISECReparentableNode {
public:
    BOOL SetContainer(ISECLNContainer* pContainer) override;
    ISECLNContainer* GetContainer() const override { return m_pContainer; }
    virtual void ReparentWindow(HWND /*hwndNewParent*/) {}
    virtual void AdoptRootOwner() {}
    virtual BOOL AttachToContainer(ISECLNContainer* pContainer);

protected:
    ISECLNContainer* m_pContainer = nullptr;
};

class ISECHideableNode {
public:
    virtual ~ISECHideableNode() = default;
    virtual BOOL ShowNode(BOOL bShow, BOOL bForce, BOOL bDeep) = 0;
    virtual BOOL IsNodeVisible() const = 0;
    virtual BOOL SetNodeVisible(BOOL bVisible) = 0;
};

class SECDefHideableNode : public ISECHideableNode {
public:
    BOOL ShowNode(BOOL bShow, BOOL bForce, BOOL bDeep) override;
    BOOL IsNodeVisible() const override { return m_bVisible; }
    BOOL SetNodeVisible(BOOL bVisible) override;

protected:
    // The node whose descendants a deep show reaches.
    virtual SECLayoutNode* GetHideableNode() = 0;

    int m_nShowCount = 0;
    BOOL m_bVisible = TRUE;
};

class SECLayoutNodeWnd : public SECLayoutNode, public SECDefReparentableNode, public SECDefHideableNode {
public:
    SECLayoutNodeWnd() = default;
    ~SECLayoutNodeWnd() override = default;

    int GetRealizeCount() override { return 1; }
    BOOL IsNodeValid() override { return m_hWndNode != nullptr; }
    BOOL RealizeNode(HDWP* phDWP, LPARAM lArg) override;
    virtual HWND GetHwnd() const { return m_hWndNode; }
    virtual int GetRealizeCountEx(LPARAM /*ignored*/) { return GetRealizeCount(); }

    // Binds the node to a window of the host: the window's rectangle in host client
    // coordinates becomes the node's initial rectangle. FALSE for a null window or host.
    BOOL BindWindow(HWND hWnd, CWnd* pHost);
    BOOL BindWindow(CWnd* pWnd, CWnd* pHost);
    HWND GetHostHwnd() const { return m_hWndParent; }

    void ReparentWindow(HWND hwndNewParent) override;
    void AdoptRootOwner() override;
    BOOL SetNodeVisible(BOOL bVisible) override;

protected:
    void InvalidateNodeRect(const CRect& rect, BOOL bErase) override;
    SECLayoutNode* GetHideableNode() override { return this; }

    HWND m_hWndNode = nullptr;
    HWND m_hWndParent = nullptr;
    BOOL m_bIsOleControl = FALSE;
};
