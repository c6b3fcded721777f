// SECDockState and SECControlBarInfo: the toolkit's saved docking layout. Over the framework's
// record of a bar they keep its styles, its three remembered sizes, its row share, its place as
// a window of the main frame's client, and the class, window name and template from which a
// missing bar is made again. A layout lives in the profile, in a tree of persistent nodes or in
// an archive.
#pragma once

#include "platform/afx/bars/CDockState.h"
#include "platform/core/CString.h"
#include "platform/win/WinUser.h"

class CArchive;
class CFrameWnd;
class CPtrList;
class SECControlBarManager;
class SECDockState;
class SECPersistentTreeNode;
class SECPTNFactory;

// A window placement as the profile keeps it: exactly 44 bytes, its length field first.
#pragma pack(push, 4)
struct SECWindowPlacement44 {
    UINT length;
    UINT flags;
    UINT showCmd;
    POINT ptMinPosition;
    POINT ptMaxPosition;
    RECT rcNormalPosition;
};
#pragma pack(pop)
static_assert(sizeof(SECWindowPlacement44) == 44, "the stored placement is 44 bytes");

// The extension point of a bar's saved state.
class SECControlBarInfoEx : public CObject {
    DECLARE_DYNCREATE(SECControlBarInfoEx)
public:
    SECControlBarInfoEx() = default;
    ~SECControlBarInfoEx() override = default;
    virtual void Serialize(CArchive& ar, SECDockState* pDockState);
    virtual BOOL LoadFromNode(SECPersistentTreeNode* pNode);
    virtual BOOL LoadState(LPCTSTR lpszSection, SECDockState* pDockState);
    virtual BOOL SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pNode);
    virtual BOOL SaveState(LPCTSTR lpszSection);
};

class SECControlBarInfo : public CControlBarInfo {
public:
    explicit SECControlBarInfo(SECControlBarManager* pManager = nullptr);
    virtual ~SECControlBarInfo();
    SECControlBarInfo(const SECControlBarInfo&) = delete;
    SECControlBarInfo& operator=(const SECControlBarInfo&) = delete;

    virtual BOOL LoadFromNode(SECPersistentTreeNode* pNode, SECDockState* pDockState);
    virtual BOOL LoadState(LPCTSTR lpszProfileName, int nIndex, SECDockState* pDockState);
    virtual BOOL SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pParent, int nIndex);
    virtual BOOL SaveState(LPCTSTR lpszProfileName, int nIndex);
    virtual BOOL LoadBaseFromNode(SECPersistentTreeNode* pNode, SECDockState* pDockState);
    virtual BOOL LoadExFromNode(SECPersistentTreeNode* pNode);
    virtual BOOL SaveBaseToNode(SECPTNFactory& factory, SECPersistentTreeNode* pNode);
    virtual BOOL SaveExToNode(SECPTNFactory& factory, SECPersistentTreeNode* pNode);
    void Serialize(CArchive& ar, SECDockState* pDockState);

    // Replaces the extension object (owned).
    void SetInfoEx(SECControlBarInfoEx* pInfoEx);

    CSize m_szHorz{0, 0};
    CSize m_szVert{0, 0};
    CSize m_szFloat{0, 0};
    DWORD m_dwMRUDockingState = 0;
    DWORD m_dwDockStyle = 0;
    float m_fPctWidth = 1.0f;
    DWORD m_dwStyle = 0;
    DWORD m_dwExStyle = 0;
    BOOL m_bPrevFloating = FALSE;
    BOOL m_bMDIChild = FALSE;
    SECWindowPlacement44 m_wp{};
    CString m_strClassName;
    CString m_strWindowName;
    UINT m_nResourceID = 0;
    SECControlBarInfoEx* m_pBarInfoEx = nullptr;
    DWORD m_dwTypeID = 0;
    SECControlBarManager* m_pManager = nullptr;
};

class SECDockState : public CDockState {
    DECLARE_DYNCREATE(SECDockState)
public:
    SECDockState();
    explicit SECDockState(SECControlBarManager* pManager);
    ~SECDockState() override;

    void Serialize(CArchive& ar) override;

    virtual BOOL SaveToNode(SECPTNFactory& factory, SECPersistentTreeNode* pParent);
    virtual void SaveState(LPCTSTR lpszProfileName);
    virtual BOOL LoadFromNode(SECPersistentTreeNode* pParent);
    virtual void LoadState(LPCTSTR lpszProfileName);
    virtual BOOL GetState(CFrameWnd* pFrame);
    virtual void SetState(CFrameWnd* pFrame);
    virtual SECControlBarInfo* CreateBarInfo(SECControlBarManager* pManager);
    virtual void ResolveBars(CFrameWnd* pFrame, BOOL bMDI);
    virtual void PlaceFloatingBars();
    virtual void RestoreMDIPlacements(CFrameWnd* pFrame);
    virtual CControlBar* CreateBarByClass(const CString& strClassName, CFrameWnd* pFrame, SECControlBarInfo* pInfo);
    virtual CRuntimeClass* FindRuntimeClass(const CString& strClassName);

    void CleanBarIDs();
    // Deletes every record (they are SECControlBarInfo objects, owned).
    void ClearInfo();
    SECControlBarInfo* GetInfo(INT_PTR i) const { return static_cast<SECControlBarInfo*>(m_arrBarInfo[i]); }

    SECControlBarManager* m_pManager = nullptr;
    CPtrList* m_pCreatedBars = nullptr;
};
