// CMetaSettingGridCtrl: the catalogue editor's grid, one row per META setting: its name, whether
// the page grid shows it, its type, the attributes cell its type lays out, whether it is an
// HTTP-EQUIV tag, and its description. Each row holds its setting in the name cell.
#pragma once

#include "app/dialogs/CGridWndWrapper.h"

#include <vector>

class CMetaSetting;
class CMetaSettingList;

class CMetaSettingGridCtrl : public CGridWndWrapper {
    DECLARE_DYNCREATE(CMetaSettingGridCtrl)

public:
    enum : ROWCOL {
        kColName = 1,
        kColShow = 2,
        kColType = 3,
        kColAttributes = 4,
        kColHttpEquiv = 5,
        kColDescription = 6,
        kColumnCount = 6,
    };

    // The list the grid's rows belong to: a type change replaces the row's setting in it.
    void SetSettingList(CMetaSettingList* pList) { m_pList = pList; }

    ROWCOL GetAttributesColumn() const override { return kColAttributes; }

    // Six columns with their headers; the Show column as wide as its header.
    void SetUpColumns();
    // One row per setting of the list, then the columns sized to what they show.
    void LoadSettings(CMetaSettingList& list);
    void LoadRow(ROWCOL nRow, CMetaSetting* pSetting);
    // Takes the row's cells back into its setting (name, Show, attributes, HTTP-EQUIV,
    // description); 1 when the row holds no setting.
    UINT ReadRow(ROWCOL nRow);
    // Every row read back; the list's settings become copies of the rows' settings, in row
    // order. Rows without a setting are skipped.
    void ReadSettings(CMetaSettingList& list);
    // The setting the row holds; 1 when none.
    UINT GetSettingOfRow(ROWCOL nRow, CMetaSetting*& pSetting);
    // The distinct rows the selection covers, highest first.
    std::vector<ROWCOL> GetSelectedRowsDescending();
    // Gives the row a setting of the named type in place of its own, keeping what the row
    // shows of name, Show, HTTP-EQUIV and description; FALSE when the type is the row's own
    // or unknown.
    BOOL ChangeRowType(ROWCOL nRow, const CString& strTypeName);

    // A push of the attributes button opens the setting's option dialog; a check box clicked
    // sets its flag at once; a type chosen gives the row a setting of that type.
    void OnClickedButtonRowCol(ROWCOL nRow, ROWCOL nCol) override;
    void OnModifyCell(ROWCOL nRow, ROWCOL nCol) override;
    // A right click, or Shift+F10 and the menu key on the current cell: the dialog's commands
    // as a menu beside the cell.
    BOOL OnRButtonClickedRowCol(ROWCOL nRow, ROWCOL nCol, ROWCOL nStartRow, ROWCOL nStartCol, UINT nFlags, CPoint pt,
                                UINT nHitState) override;
    // The keys of the dialog's commands: Insert adds a setting, Delete outside a cell's edit
    // deletes the chosen rows (with none chosen, the current row, once the user agrees),
    // Shift+Space chooses the rows of the current cell or selection.
    BOOL HandleKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags) override;
    BOOL RouteKeyMessage(CWnd* pSender, UINT nMessage, UINT nChar, UINT nRepCnt, UINT nFlags) override;
    // Chooses the whole rows that the selection, or else the current cell, stands in.
    void ChooseRowsOfSelection();
    // Whether no cell is chosen but the current one (or none at all).
    BOOL ChoosesCurrentCellAlone();

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    void ApplyTypeChoice(ROWCOL nRow);

    // Sends one of the dialog's commands to it, as its toolbar would.
    void SendCommand(UINT nCommand);

    CMetaSettingList* m_pList = nullptr;
    // The space that Shift+Space types after choosing the rows goes into no cell.
    BOOL m_bSwallowSpace = FALSE;
};
