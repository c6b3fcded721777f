// SECWndListener: watches the messages of a window it does not own by replacing the window's
// procedure (or, for a dialog, its dialog procedure) and handing each message to every listener
// of that window before the saved procedure runs. SECLayoutWndListener drives a layout tree
// from its host: it recalculates on size changes, turns the root's limits into tracking sizes
// and forwards erase and paint notices to the nodes.
#pragma once

#include "toolkit/menus/SECWndPlugIn.h"

class SECLayoutNode;
struct SECWndHookRecord;

// Flags a handler sets while one message is dispatched.
#define SEC_WNDLISTENER_STOP 0x0001      // no later listener of the window sees the message
#define SEC_WNDLISTENER_HANDLED 0x0002   // the saved procedure is not called

class SECWndListener : public SECWndPlugIn {
    DECLARE_DYNAMIC(SECWndListener)
public:
    SECWndListener() = default;
    ~SECWndListener() override;

    virtual BOOL Attach(CWnd* pWnd) override;
    virtual void Detach() override;
    virtual BOOL AttachEx(CWnd* pWnd, BOOL /*ignored*/) { return Attach(pWnd); }
    virtual void SetMsgFlags(DWORD dwFlags) { m_dwMsgFlags = dwFlags; }
    DWORD GetMsgFlags() const { return m_dwMsgFlags; }
    virtual BOOL DispatchHookedMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* pResult);
    virtual void OnHookedMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) {}
    HWND GetHookedHwnd() const { return m_hWndHooked; }

    // Default from a handler reaches the hooked window's saved procedure, once per message.
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // The hook procedures (window and dialog form); public for the layer's procedure slots.
    static LRESULT CALLBACK HookWndProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    static INT_PTR CALLBACK HookDlgProc(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // Whether any listener hooks the window (for tests and diagnostics).
    static BOOL IsHooked(HWND hWnd);

protected:
    virtual BOOL Hook(CWnd* pWnd);
    virtual BOOL JoinHook(SECWndHookRecord* pRecord);
    virtual BOOL CreateHook(HWND hWnd);
    virtual BOOL HasNoDialogProc(HWND hWnd);
    virtual BOOL Unhook();

    DWORD m_dwMsgFlags = 0;
    HWND m_hWndHooked = nullptr;

private:
    static LRESULT RunHook(HWND hWnd, UINT msg, WPARAM wParam, LPARAM lParam, bool bDialog);
    friend struct SECWndHookDispatch;
};

class SECLayoutWndListener : public SECWndListener {
    DECLARE_DYNAMIC(SECLayoutWndListener)
public:
    SECLayoutWndListener() = default;

    virtual BOOL SetRootNode(SECLayoutNode* pRoot)
    {
        m_pRootNode = pRoot;
        return TRUE;
    }
    virtual SECLayoutNode* GetRootNode() const { return m_pRootNode; }
    virtual void SetAutoRecalc(BOOL bAuto) { m_bAutoRecalc = bAuto; }
    // Sets the root's initial rectangle to the area, hooks the window and, with bRecalcNow,
    // lays out and shows the tree at once.
    virtual BOOL Init(SECLayoutNode* pRoot, CWnd* pWnd, const RECT* pArea, BOOL x, BOOL bRecalcNow);
    // Init over the window's client rectangle (or its window rectangle moved to 0,0).
    virtual BOOL AutoInit(SECLayoutNode* pRoot, CWnd* pWnd, BOOL x, BOOL bRecalcNow, BOOL bUseWindowRect);

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnPaint();
    void OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct);
    DECLARE_MESSAGE_MAP()

protected:
    SECLayoutNode* m_pRootNode = nullptr;
    BOOL m_bUseWindowRect = FALSE;
    BOOL m_bAutoRecalc = TRUE;
};
