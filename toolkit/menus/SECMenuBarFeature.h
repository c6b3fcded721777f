// The pieces a frame plugs in when a toolbar stands in for its menu bar: buttons that open the
// top-level menus, the maximized child's icon button with its system menu and its minimize,
// restore and close buttons, and the feature that maps the frame's keyboard and menu messages
// to the bar (Alt+letter, Alt+Space, the arrows inside an open menu) and tracks the menus under
// the bar's buttons. The bar window itself serves these pieces through ISECMenuBarHost.
#pragma once

#include "platform/core/CString.h"
#include "platform/core/ThreadApi.h"
#include "toolkit/menus/SECBmpMenuPlugIn.h"
#include "toolkit/toolbars/SECStdBtn.h"

class CFont;
class CFrameWnd;
class CMDIChildWnd;

// What the menu bar window gives its buttons and the feature.
class ISECMenuBarHost {
public:
    virtual ~ISECMenuBarHost() = default;
    virtual CWnd* GetBarWnd() = 0;
    // The index of the button whose mnemonic is the (lower-case) character, or -1.
    virtual int FindMnemonicButton(char cMnemonic) = 0;
    // Opens the menu of a button (index -1: the system menu).
    virtual void OpenButtonMenu(int nIndex, BOOL bKeyboard) = 0;
    virtual CRect GetButtonScreenRect(int nIndex) = 0;
    virtual void EndMenuMode() = 0;
    // Moves to the menu before (-1) or after (+1) the open one.
    virtual void MoveToMenu(int nDirection) = 0;
    virtual CFont* GetMenuFont() = 0;
};

// A button that opens one top-level menu.
class SECTBMenuBtn : public SECStdBtn {
public:
    SECTBMenuBtn();
    // The menu it opens; the text with its '&'.
    void InitMenu(HMENU hMenu, int nMenuIndex, LPCTSTR lpszText, UINT nExtra = 0);
    void AdjustSize() override;
    BOOL BtnPressed(CPoint point) override;
    void Paint(CDC& dc, SECBtnDrawContext& ctx) override;
    const SECButtonClass* GetBtnClass() const override;
    virtual void ShowMenu();
    virtual void ParseMnemonic();

    static const SECButtonClass classSECTBMenuBtn;

    CString m_strText;
    HMENU m_hMenu = nullptr;
    int m_nMenuIndex = 0;
    char m_cMnemonic = 0;
    UINT m_nExtra = 0;

protected:
    ISECMenuBarHost* Host() const;
};

// The maximized child's icon: opens its system menu.
class SECCapMenuBtn : public SECTBMenuBtn {
public:
    SECCapMenuBtn();
    void AdjustSize() override;
    void Paint(CDC& dc, SECBtnDrawContext& ctx) override;
    void ShowMenu() override;
    const SECButtonClass* GetBtnClass() const override;
    static const SECButtonClass classSECCapMenuBtn;
    HICON m_hIcon = nullptr;
};

// The maximized child's minimize, restore and close buttons side by side.
#define SEC_BTNCAPTION_SHOWMINMAX 0x20000
#define SEC_BTNCAPTION_SHOWN 0x80000

class SECBtnCaption : public SECStdBtn {
public:
    SECBtnCaption();
    void AdjustSize() override;
    BOOL BtnPressed(CPoint point) override;
    void BtnMouseMove(CPoint point) override;
    UINT BtnReleased(CPoint point) override;
    void BtnCancel() override;
    void Paint(CDC& dc, SECBtnDrawContext& ctx) override;
    const SECButtonClass* GetBtnClass() const override;
    // The part under a point of the bar: 0 minimize, 1 restore, 2 close, -1 none.
    int HitTest(CPoint point) const;
    CRect PartRect(int nPart) const;
    static const SECButtonClass classSECBtnCaption;

    int m_nPressedPart = -1;
    int m_cxPart;
    int m_cyPart;
};

// The bar's drop-down notifications: a button's menu, or the system menu (index -1). A request
// the bar allocated with new carries bHeap and is deleted once served.
#define SEC_MBN_BUTTONMENU (-2121)
#define SEC_MBN_SYSTEMMENU (-2120)

struct SECMenuBarNotify {
    NMHDR hdr;
    HMENU hMenu;
    int nIndex;
    BOOL bHeap;
};

// Maps a frame's keyboard and menu messages to its menu bar.
class SECMenuBarMessages {
public:
    virtual ~SECMenuBarMessages();
    virtual void ProdMenu(int nIndex);
    virtual void CancelMenu();
    virtual void OnMenuChanged(UINT nMenuID);
    virtual BOOL OnBarNcHit(const MSG& msg);
    virtual CFrameWnd* GetFrame() const;
    virtual void TrackButtonMenu(HMENU hMenu, int nIndex);
    virtual void TrackSystemMenu(HMENU hMenu);
    virtual void SetMenuHook(BOOL bOn);
    virtual BOOL OnSysChar(const MSG& msg);
    virtual void OnMenuSelect();
    virtual void OnProd();
    // Opens the menu a bar notification asks for; while another menu runs, that one is
    // cancelled and the request waits in the one pending slot until it has ended.
    virtual BOOL OnBarNotify(NMHDR* pHdr);
    virtual void OnInitMenu();
    virtual BOOL OnSysCommand(UINT nID);

    ISECMenuBarHost* m_pMenuBar = nullptr;
    CFrameWnd* m_pFrame = nullptr;
    BOOL m_bKeyboardOpen = FALSE;
    BOOL m_bMenuSelected = FALSE;
    int m_nProdIndex = -1;

    static UINT ProdMessage();      // "WM_SEC_MENUPROD"
    static UINT GetMenuMessage();   // "WM_SECGETMENU"
    // The frame's system-menu icon area (screen), where a click cancels and a double click
    // runs the default command.
    static CRect SystemIconRect(HWND hFrame);

private:
    // The popup a request stands for, or null when there is none.
    HMENU RequestedMenu(const SECMenuBarNotify& request) const;
    void TrackRequest(const SECMenuBarNotify& request);
};

// The bitmap menus with the toolkit's check mark plus the menu bar's messages.
class SECMenuBarFeature : public SECBmpMenuPlugIn, public SECMenuBarMessages {
    DECLARE_DYNAMIC(SECMenuBarFeature)
public:
    SECMenuBarFeature() : SECBmpMenuPlugIn(TRUE) {}
    BOOL OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    BOOL PreTranslateMessage(MSG* pMsg) override;
};
