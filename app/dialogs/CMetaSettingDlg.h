// CMetaSettingDlg: the catalogue of META settings edited as a grid, one row per setting, with a
// toolbar to open and save settings files, add and delete settings, restore the built-in
// catalogue and hide every setting. The dialog can be resized; its controls scale with it.
#pragma once

#include "app/dialogs/CMetaSettingGridCtrl.h"
#include "engine/meta/CMetaSettingList.h"
#include "platform/afx/bars/CToolBar.h"
#include "platform/afx/dlg/CBitmapButton.h"
#include "platform/afx/dlg/CDialog.h"
#include "toolkit/layout/SECLayoutFactory.h"

#include <utility>
#include <vector>

struct NMHDR;

class CMetaSettingToolbar : public CToolBar {};

class CMetaSettingDlg : public CDialog {
public:
    enum { IDD = 268 };
    static constexpr UINT kIdGrid = 102;
    static constexpr UINT kIdBar = 59392;
    static constexpr UINT kIdToolbarResource = 186;
    // Toolbar commands.
    static constexpr UINT kIdOpen = 1033;
    static constexpr UINT kIdSave = 109;
    static constexpr UINT kIdAdd = 106;
    static constexpr UINT kIdDelete = 107;
    static constexpr UINT kIdRestoreDefaults = 1035;
    static constexpr UINT kIdDisableAll = 1072;

    // dwCaller is the opener's word (1 from the page grid, 0 otherwise), kept for it.
    explicit CMetaSettingDlg(CWnd* pParent = nullptr, DWORD dwCaller = 0);

    // The list is copied in, with its file path and its mark of unsaved changes.
    void SetSettings(const CMetaSettingList& list);
    // The edited list, marked modified when it has changed here or had been before.
    void GetSettings(CMetaSettingList& list) const;
    // The settings whose tags the project's pages hold unsaved edits of, each with the number of
    // such pages: OK asks before it takes a list without one of them, whose edits then go.
    void SetUnsavedEdits(std::vector<std::pair<CString, UINT>> edits) { m_unsavedEdits = std::move(edits); }

    CMetaSettingGridCtrl& GetGrid() { return m_grid; }
    CMetaSettingList& GetWorkingList() { return m_Working; }
    CMetaSettingToolbar& GetToolbar() { return m_toolbar; }
    // The toolbar's commands as a menu at a point of the screen, for the keys and the right
    // button; a chosen command comes to the dialog as the toolbar's would.
    void TrackCommandMenu(CPoint screen);
    DWORD GetCaller() const { return m_dwCaller; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnOpen();
    void OnSave();
    void OnAdd();
    void OnDelete();
    void OnRestoreDefaults();
    void OnDisableAll();
    void OnHelp();
    LRESULT OnHelpInfo(WPARAM wParam, LPARAM lParam);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnToolTipText(UINT nId, NMHDR* pNMHDR, LRESULT* pResult);
    // Shift+F10 and the menu key on the dialog's buttons: the commands' menu.
    void OnContextMenu(CWnd* pWnd, CPoint point);

    DECLARE_MESSAGE_MAP()

private:
    // The title, and the note under the grid that says which file OK writes.
    void SetTitle();
    void ShowSaveNote();
    // Columns set up again and every setting of the working list loaded.
    void ReloadGrid();
    // The rows' cells taken back into their settings, so that a reload keeps what was typed.
    void ReadRowsIntoSettings();
    void SetUpLayout();
    // Whether every row of the grid makes a setting that writes right pages: a name a META tag
    // can carry, that no other row has, and a date format the date field can use. The first
    // row that does not is told, naming the row and the rule, and its cell becomes current.
    BOOL CheckRows();
    // Whether the user lets the unsaved edits of the settings the list no longer holds go; TRUE
    // when there are none.
    BOOL AgreeToDropEdits(const CMetaSettingList& list) const;

    CMetaSettingToolbar m_toolbar;
    CBitmapButton m_btnOk;
    CBitmapButton m_btnCancel;
    CBitmapButton m_btnHelp;
    SECLayoutFactory m_layoutFactory;
    DWORD m_dwCaller = 0;
    CMetaSettingList m_Working;
    // What the working list's file holds as far as the dialog knows: the list it was given, or
    // the one last opened or saved. OK measures the edits against it.
    CMetaSettingList m_Baseline;
    CMetaSettingGridCtrl m_grid;
    std::vector<std::pair<CString, UINT>> m_unsavedEdits;
};
