// SECBmpMenuPlugIn: the plug-in that gives a frame's popup menus the toolbar button images.
// On WM_INITMENUPOPUP each plain text item becomes owner-drawn; the plug-in measures and draws
// it with the menu font, the command's image in an image column (checked as a sunken box,
// disabled embossed), the accelerator right-aligned, and answers the mnemonics itself.
#pragma once

#include <map>
#include <set>
#include <vector>

#include "platform/core/CString.h"
#include "toolkit/menus/SECWndPlugIn.h"

class SECBmpMgr;

// What the plug-in keeps of one item it made owner-drawn.
class SECBmpMenuItemInfo : public CObject {
    DECLARE_DYNAMIC(SECBmpMenuItemInfo)
public:
    UINT m_nID = 0;
    CString m_strText;     // as the menu had it, with the '&' and the tab part
    char m_cMnemonic = 0;  // after the first '&', lower-cased; 0 when none
};

class SECBmpMenuPlugIn : public SECWndPlugIn {
    DECLARE_DYNAMIC(SECBmpMenuPlugIn)
public:
    struct SECBmpMenuInfo {
        HMENU hMenu = nullptr;
        std::vector<SECBmpMenuItemInfo*> items;   // owned
    };

    explicit SECBmpMenuPlugIn(BOOL bToolkitCheckMark = FALSE);
    ~SECBmpMenuPlugIn() override;

    // Takes a reference to the manager whose small images the menus show.
    void SetBmpMgr(SECBmpMgr* pMgr);
    SECBmpMgr* GetBmpMgr() const { return m_pBmpMgr; }
    HFONT GetMenuFont();
    HFONT GetBoldMenuFont();
    // Prepares a popup menu: plain items become owner-drawn with a record of their own.
    void PrepareMenu(HMENU hMenu);

    virtual void Purge();
    virtual HFONT CreateMenuFont(BOOL bBold);
    virtual HBITMAP CreateImageMask(HDC hdcSource, HDC& hdcMask, int cx, int cy, int xSource);
    virtual void DrawCheckedImageBack(HDC hDC, HDC hdcSource, int x, int y, int cx, int cy, int xSource);
    virtual void DrawDisabledImage(HDC hDC, HDC hdcSource, int x, int y, int cx, int cy, int xSource);
    virtual void DrawItemImage(const DRAWITEMSTRUCT& item, HDC hDC, RECT& rc, HBITMAP hImages, int nIndex, int cx, int cy);

    // The record of a menu item, only when it is one of this plug-in's own.
    SECBmpMenuItemInfo* FindOwnRecord(ULONG_PTR itemData) const;
    BOOL IsForeign(UINT nID) const { return m_foreignItems.count(nID) != 0; }
    size_t GetMenuCount() const { return m_menus.size(); }

protected:
    LRESULT OnMeasureItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnDrawItem(WPARAM wParam, LPARAM lParam);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);
    LRESULT OnInitMenuPopup(WPARAM wParam, LPARAM lParam);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    LRESULT OnSettingChange(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysColorChange(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

protected:
    void DrawItem(const DRAWITEMSTRUCT& item, const SECBmpMenuItemInfo& info);
    void RestoreAllItems();
    HBRUSH DitherBrush();

    std::map<HMENU, SECBmpMenuInfo*> m_menus;
    std::set<UINT> m_foreignItems;
    std::set<const SECBmpMenuItemInfo*> m_records;   // every record made, for the ownership test
    BOOL m_bToolkitCheckMark;
    SECBmpMgr* m_pBmpMgr = nullptr;
    HFONT m_hMenuFont = nullptr;
    HFONT m_hBoldMenuFont = nullptr;
    HBRUSH m_hbrDither = nullptr;
    HBITMAP m_hbmRadioDot = nullptr;
    HBITMAP m_hbmOldRadioDot = nullptr;
    BOOL m_bInstalledRadioDot = FALSE;
    HBITMAP m_hbmCheck = nullptr;
};
