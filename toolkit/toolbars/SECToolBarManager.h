// SECToolBarManager: how a frame owns its toolbars: the button images and drawing context they
// share, the text-button map, the default toolbars made at first start, the user's switches
// (tooltips, cool look, large buttons) kept in the profile, the customise mode with drag and
// drop of buttons between bars, and the factory that makes toolbars again from a saved layout.
#pragma once

#include "platform/afx/bars/CControlBar.h"
#include "platform/afx/wnd/CWnd.h"
#include "platform/core/CRect.h"
#include "platform/core/CString.h"
#include "toolkit/docking/SECControlBarManager.h"
#include "toolkit/docking/SECDockState.h"
#include "toolkit/toolbars/SECBtnDrawContext.h"
#include "toolkit/toolbars/SECStdBtn.h"

#include <memory>
#include <vector>

class CFrameWnd;
class SECPTNFactory;
class SECPersistentTreeNode;
class SECBmpMgr;
class SECCustomToolBar;

// Saved-layout type ids of the bars this manager makes.
#define SEC_BARTYPE_CUSTOMTOOLBAR 14946
#define SEC_BARTYPE_MENUBAR 14947

class SECToolBarManager : public SECControlBarManager {
    DECLARE_DYNAMIC(SECToolBarManager)
public:
    SECToolBarManager(CFrameWnd* pFrameWnd = nullptr, CWnd* pOwnerWnd = nullptr);
    ~SECToolBarManager() override;

    CFrameWnd* GetFrameWnd() const { return m_pFrameWnd; }

    // ---- Images, button maps, default bars ----
    BOOL LoadToolBarResource(UINT nIDSmall, UINT nIDLarge = 0);
    void SetButtonMap(const SECBtnMapEntry* pMap, const SECBtnMapEntry* pMap2 = nullptr);
    const SECBtnMapEntry* GetButtonMap() const { return m_pBtnMap; }
    const SECBtnMapEntry* GetButtonMap2() const { return m_pBtnMap2; }
    void DefineDefaultToolBar(UINT nID, LPCTSTR lpszTitle, int nCount, const UINT* pIDs, DWORD dwAlignment,
                              UINT nDockBarID, UINT nDockNextToID = 0, BOOL bDocked = TRUE, BOOL bVisible = TRUE);
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    SECBtnDrawContext& GetDrawContext() { return *m_pDrawContext; }

    // ---- Switches ----
    void EnableToolTips(BOOL bEnable);
    void EnableCoolLook(BOOL bEnable, DWORD dwStyle = 0x300);
    void EnableLargeButtons(BOOL bEnable);
    BOOL IsToolTips() const { return m_bToolTips; }
    BOOL IsCoolLook() const { return m_bCoolLook; }
    BOOL IsLargeButtons() const { return m_bLargeButtons; }

    // ---- Toolbars ----
    // A new empty user toolbar with the lowest free id from 0xE820; null when none is free.
    SECCustomToolBar* CreateUserToolBar(LPCTSTR lpszTitle = nullptr);
    SECCustomToolBar* ToolBarFromRect(const CRect& rcScreen) const;
    SECCustomToolBar* ToolBarFromID(UINT nID) const;
    // Every toolbar of the frame, in the frame's bar order.
    std::vector<SECCustomToolBar*> GetToolBars() const;
    virtual void SetDefaultToolBarState();
    virtual void LargeButtonsChanged();
    virtual void InitToolBars();
    // Gives a toolbar the current button size.
    void ApplyButtonSize(SECCustomToolBar* pToolBar);
    // Applies a style change to every button of a command on every toolbar.
    void InformBtns(UINT nID, UINT nCode, DWORD dwSet, DWORD dwClear);
    // Gives a new bar what every bar of this manager has.
    void AttachToolBar(SECCustomToolBar* pToolBar);
    DWORD GetToolBarStyle() const;

    // ---- Saved layout factory ----
    DWORD GetBarTypeID(CControlBar* pBar) override;
    CControlBar* DynCreateControlBar(SECControlBarInfo* pInfo, CFrameWnd* pFrameWnd) override;
    SECControlBarInfoEx* CreateControlBarInfoEx(SECControlBarInfo* pInfo) override;
    BOOL IsCustomizing() const override { return m_bCustomizing; }

    // ---- Profile and tree ----
    virtual void LoadState(LPCTSTR lpszProfileName);
    virtual void SaveState(LPCTSTR lpszProfileName);
    // A child "ToolBarMgr" with the three switches; a missing child gives the first-start values.
    virtual BOOL LoadFromNode(SECPersistentTreeNode* pNode);
    virtual BOOL SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pParent);

    // ---- Customising ----
    void BeginCustomize();
    void EndCustomize();
    void SetCustomizeMode(BOOL bMode);
    BOOL InCustomizeMode() const { return m_bToolBarCustomize; }
    void SetCustomizeWnd(CWnd* pWnd) { m_pCustomizeWnd = pWnd; }
    CWnd* GetCustomizeWnd() const { return m_pCustomizeWnd; }
    void RegisterNotifyWnd(CWnd* pWnd);
    void UnregisterNotifyWnd(CWnd* pWnd);
    void BroadcastBarNotify(UINT nBarID, int nCode);
    // The toolbar that holds the customise selection.
    SECCustomToolBar* GetSelectionHolder() const { return m_pSelectionHolder; }
    void SetSelectionHolder(SECCustomToolBar* pBar) { m_pSelectionHolder = pBar; }
    // Destroys an emptied user toolbar once the message that emptied it has finished.
    void PostDestroyToolBar(SECCustomToolBar* pBar);
    // Whether a destruction is waiting (tests and the frame's idle time).
    BOOL HasPendingDestroy() const { return !m_pendingDestroy.empty(); }
    void DestroyPendingToolBars();

    // The shared pressed-button record: the flag is set while a button's command is sent, with
    // the button's screen rectangle.
    struct PressedRecord {
        BOOL bDispatching = FALSE;
        CRect rcButton;
    };
    PressedRecord& GetPressedRecord() { return m_pressed; }

    CRuntimeClass* m_pToolBarClass;

    // The customisation dialogs' needs: the Toolbars dialog run modally (its result, 43099 when
    // the user asked to customise), the buttons a default toolbar was defined with (null for an
    // id without a definition), and the fly-by switch.
    int ExecViewToolBarsDlg();
    const std::vector<UINT>* GetDefaultButtons(UINT nID) const;
    BOOL IsFlyBy() const { return m_bFlyBy; }

protected:
    // Docks a bar at a dock bar of the frame, through the toolkit frame's own docking when the
    // frame is one.
    void DockInFrame(CControlBar* pBar, UINT nDockBarID, LPCRECT lpRect);

    struct DefaultToolBar {
        UINT nID = 0;
        CString strTitle;
        std::vector<UINT> ids;
        DWORD dwAlignment = CBRS_ALIGN_ANY;
        UINT nDockBarID = 0;
        UINT nDockNextToID = 0;
        BOOL bDocked = TRUE;
        BOOL bVisible = TRUE;
    };
    SECCustomToolBar* MakeToolBar(UINT nID, LPCTSTR lpszTitle);

    CFrameWnd* m_pFrameWnd = nullptr;
    CWnd* m_pOwnerWnd = nullptr;
    std::vector<HWND> m_disabledWnds;
    std::vector<DefaultToolBar> m_defaults;
    std::vector<HWND> m_notifyWnds;
    CWnd* m_pCustomizeWnd = nullptr;
    BOOL m_bCustomizing = FALSE;
    BOOL m_bToolBarCustomize = FALSE;
    BOOL m_bToolTips = TRUE;
    BOOL m_bFlyBy = TRUE;
    BOOL m_bCoolLook = FALSE;
    BOOL m_bLargeButtons = FALSE;
    const SECBtnMapEntry* m_pBtnMap = nullptr;
    const SECBtnMapEntry* m_pBtnMap2 = nullptr;
    SECCustomToolBar* m_pSelectionHolder = nullptr;
    PressedRecord m_pressed;
    SECBmpMgr* m_pBmpMgr = nullptr;
    std::unique_ptr<SECBtnDrawContext> m_pDrawContext;
    std::vector<UINT> m_pendingDestroy;
    std::unique_ptr<CWnd> m_pPostWnd;
};
