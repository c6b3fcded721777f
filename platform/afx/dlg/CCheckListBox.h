// CCheckListBox: an owner-drawn list box with a check box before each item. Clicking the box
// (or Space on the current item) changes the check of the auto styles and tells the parent with
// CLBN_CHKCHANGE; items can be disabled. The item data callers set stays theirs.
#pragma once

#include "platform/afx/dlg/CListBox.h"
#include "platform/controls/Button.h"

#include <memory>
#include <unordered_map>

// The notification of a check changed by the user.
#define CLBN_CHKCHANGE 40

class CCheckListBox : public CListBox {
    DECLARE_DYNAMIC(CCheckListBox)
public:
    CCheckListBox() = default;
    ~CCheckListBox() override;
    // The style must be owner-drawn (fixed or variable) with strings.
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) override;

    // BS_CHECKBOX, BS_AUTOCHECKBOX (the default), BS_3STATE or BS_AUTO3STATE.
    void SetCheckStyle(UINT nStyle);
    UINT GetCheckStyle() const { return m_nStyle; }
    void SetCheck(int nIndex, int nCheck);
    int GetCheck(int nIndex) const;
    void Enable(int nIndex, BOOL bEnabled = TRUE);
    BOOL IsEnabled(int nIndex) const;
    // Where an item's check box goes; rectCheckBox is the default place at the item's left.
    virtual CRect OnGetCheckPosition(CRect rectItem, CRect rectCheckBox);

    void DrawItem(LPDRAWITEMSTRUCT lpDrawItemStruct) override;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMeasureItemStruct) override;
    void DeleteItem(LPDELETEITEMSTRUCT lpDeleteItemStruct) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void PreSubclassWindow() override;

private:
    struct CheckData {
        int check = 0;
        BOOL enabled = TRUE;
        DWORD_PTR user = 0;   // the caller's item data
    };
    CheckData* Find(int nIndex) const;
    // The item's data, made on first use; null when there is no such item.
    CheckData* Ensure(int nIndex);
    void Forget(const CheckData* data);
    int CheckBoxSize() const;
    CRect CheckRect(int nIndex);
    // The user changed an item's check: the next state of the style, redrawn, and the parent told.
    void ToggleByUser(int nIndex);

    UINT m_nStyle = BS_AUTOCHECKBOX;
    std::unordered_map<const CheckData*, std::unique_ptr<CheckData>> m_data;
};
