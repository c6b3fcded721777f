// The window a layout tree is shown in, as the drag docking of nodes sees it: conversions
// between screen, client and node coordinates, drawing lock, showing, and the floating
// container a torn-off node moves into.
#pragma once

#include "platform/core/CRect.h"
#include "platform/win/UserApi.h"

class SECLayoutNode;
class SECLNRootRegistry;
class SECLayoutMiniFloatWnd;

class ISECLNContainer {
public:
    virtual ~ISECLNContainer() = default;
    virtual BOOL ClientToScreen(CRect& rect) const = 0;
    virtual BOOL ClientToScreen(CPoint& point) const = 0;
    virtual BOOL ScreenToClient(CRect& rect) const = 0;
    virtual BOOL ScreenToClient(CPoint& point) const = 0;
    // Between the node's coordinates and the container's client coordinates.
    virtual BOOL NodeToClient(CRect& rect) const = 0;
    virtual BOOL NodeToClient(CPoint& point) const = 0;
    virtual BOOL ClientToNode(CRect& rect) const = 0;
    virtual BOOL ClientToNode(CPoint& point) const = 0;
    virtual BOOL NodeToScreen(CRect& rect) const { return NodeToClient(rect) && ClientToScreen(rect); }
    virtual BOOL NodeToScreen(CPoint& point) const { return NodeToClient(point) && ClientToScreen(point); }
    virtual BOOL ScreenToNode(CRect& rect) const { return ScreenToClient(rect) && ClientToNode(rect); }
    virtual BOOL ScreenToNode(CPoint& point) const { return ScreenToClient(point) && ClientToNode(point); }
    virtual CPoint GetNodeOrigin() const
    {
        CPoint origin(0, 0);
        NodeToClient(origin);
        return CPoint(-origin.x, -origin.y);
    }
    virtual void InvalidateContainer(BOOL bErase) = 0;
    virtual void LockDrawing(BOOL bLock) = 0;
    virtual void ShowContainer(BOOL bShow) = 0;
    virtual BOOL GetClientRect(CRect& rect) const = 0;
    virtual BOOL GetWindowRect(CRect& rect) const = 0;
    virtual CRect GetFrameBorders() const { return CRect(0, 0, 0, 0); }
    virtual int QueryContainer(int /*what*/) const { return 0; }
    virtual void RefreshFrameLayout() = 0;
    virtual ISECLNContainer* Clone() const = 0;
    virtual ISECLNContainer* CreateFloatingContainer(SECLayoutNode* pNode, SECLNRootRegistry* pRegistry) = 0;
    virtual BOOL SetWindowParent(HWND hWnd) = 0;
    virtual HWND GetHwnd() const = 0;
};

// The container of one window.
class SECLNHwndContainer : public ISECLNContainer {
public:
    explicit SECLNHwndContainer(HWND hWnd = nullptr) : m_hWnd(hWnd) {}

    BOOL ClientToScreen(CRect& rect) const override;
    BOOL ClientToScreen(CPoint& point) const override;
    BOOL ScreenToClient(CRect& rect) const override;
    BOOL ScreenToClient(CPoint& point) const override;
    BOOL NodeToClient(CRect& /*rect*/) const override { return TRUE; }
    BOOL NodeToClient(CPoint& /*point*/) const override { return TRUE; }
    BOOL ClientToNode(CRect& /*rect*/) const override { return TRUE; }
    BOOL ClientToNode(CPoint& /*point*/) const override { return TRUE; }
    void InvalidateContainer(BOOL bErase) override;
    void LockDrawing(BOOL bLock) override;
    void ShowContainer(BOOL bShow) override;
    BOOL GetClientRect(CRect& rect) const override;
    BOOL GetWindowRect(CRect& rect) const override;
    void RefreshFrameLayout() override;
    ISECLNContainer* Clone() const override { return new SECLNHwndContainer(m_hWnd); }
    ISECLNContainer* CreateFloatingContainer(SECLayoutNode* pNode, SECLNRootRegistry* pRegistry) override;
    BOOL SetWindowParent(HWND hWnd) override;
    HWND GetHwnd() const override { return m_hWnd; }

protected:
    // Makes the floating container object for a frame that exists.
    virtual ISECLNContainer* NewFloatingContainer(SECLayoutMiniFloatWnd* pFrame);

    HWND m_hWnd;
};

// The container of a node that floats in a frame of its own: node coordinates are the frame's
// window coordinates, shifted from its client area by the frame's border and caption.
class SECLNFloatingHwndContainer : public SECLNHwndContainer {
public:
    explicit SECLNFloatingHwndContainer(SECLayoutMiniFloatWnd* pFrame);

    BOOL NodeToClient(CRect& rect) const override;
    BOOL NodeToClient(CPoint& point) const override;
    BOOL ClientToNode(CRect& rect) const override;
    BOOL ClientToNode(CPoint& point) const override;
    ISECLNContainer* Clone() const override;
    SECLayoutMiniFloatWnd* GetFrame() const { return m_pFrame; }
    CPoint GetClientOffset() const { return m_offset; }

private:
    SECLayoutMiniFloatWnd* m_pFrame;
    CPoint m_offset{0, 0};
};
