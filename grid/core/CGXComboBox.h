// CGXComboBox: an edit cell with a drop-down button that opens the cell's choice list (its
// lines) under the cell; picking a line puts it into the cell. CGXComboBoxWnd is the drop-down
// list variant: the text can only be one of the choices, picked from the list or by typing
// its first letter, which steps to the next choice that begins with it.
#pragma once

#include "grid/core/CGXEditControl.h"
#include "platform/afx/dlg/CListBox.h"

#include <memory>
#include <string>

class CGXBitmapButtonChild;
class CGXComboBox;

// The pop-up list of a combo-box cell.
class CGXComboListBox : public CListBox {
    DECLARE_DYNAMIC(CGXComboListBox)
public:
    explicit CGXComboListBox(CGXComboBox* pControl) : m_pControl(pControl) {}

protected:
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnKillFocus(CWnd* pNewWnd);
    void OnSysKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags);
    void OnClose();
    DECLARE_MESSAGE_MAP()

private:
    CGXComboBox* m_pControl;
};

class CGXComboBox : public CGXEditControl {
    DECLARE_DYNAMIC(CGXComboBox)
public:
    // bDropDownList: the text is one of the choices and is not typed freely.
    CGXComboBox(CGXGridCore* pGrid, UINT nID, BOOL bDropDownList = FALSE);
    ~CGXComboBox() override;

    CRect GetCellRect(ROWCOL nRow, ROWCOL nCol, LPRECT rectItem, const CGXStyle* pStyle) override;
    void LayoutChildren(ROWCOL nRow, ROWCOL nCol, const CRect& rectCell, const CGXStyle& style) override;
    void OnClickedButton(CGXChild* pChild) override;
    BOOL LButtonDown(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL LButtonUp(UINT nFlags, CPoint pt, UINT nHitState) override;
    BOOL KeyPressed(UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    void SetActive(BOOL bActive) override;
    void Reset() override;
    BOOL OnWindowChar(UINT nChar) override;

    // Opens the list under the bound cell; FALSE without choices or a window to show it in.
    BOOL ShowDropDown();
    void CloseDropDown();
    BOOL IsDroppedDown() const;
    // The list picked a line (-1: closed without a choice).
    void OnListChoice(int nIndex);
    BOOL IsDropDownList() const { return m_bDropDownList; }

protected:
    CRect CalcEditRect() override;
    int ButtonWidth(const CRect& rectCell) const;
    // A drop-down list takes a typed character (one byte of it at a time) as a pick of the
    // next choice that begins with it.
    void PickChoiceByChar(UINT nChar);
    // Widens the open list, under the cell (screen coordinates), to its longest choice, and
    // opens it above the cell where the screen's bottom leaves more room there.
    void FitListToChoices(const CRect& rectCell);

    BOOL m_bDropDownList;
    CGXBitmapButtonChild* m_pButton;
    std::unique_ptr<CGXComboListBox> m_pList;
    // The bytes of a typed character still arriving.
    std::string m_sTypedChar;
};

class CGXComboBoxWnd : public CGXComboBox {
    DECLARE_DYNAMIC(CGXComboBoxWnd)
public:
    CGXComboBoxWnd(CGXGridCore* pGrid, UINT nID) : CGXComboBox(pGrid, nID, TRUE) {}
};
