// CListTypeAttribDlg: the option list of a single-choice list setting, one option per row.
#pragma once

#include "app/values/CKeywordsGridCtrl.h"
#include "platform/afx/dlg/CDialog.h"
#include "platform/core/CPtrList.h"

class CListTypeAttribDlg : public CDialog {
public:
    enum { IDD = 148 };
    static constexpr UINT kIdGrid = 1029;
    static constexpr UINT kIdDelete = 1030;
    static constexpr UINT kIdAdd = 1031;

    explicit CListTypeAttribDlg(CWnd* pParent = nullptr);

    void SetOptions(const CStringList& options);
    // The grid's non-empty options, each once, in row order.
    void GetOptions(CStringList& options);

    CKeywordsGridCtrl& GetGrid() { return m_grid; }

protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnAdd();
    void OnDelete();
    void OnHelp();

    DECLARE_MESSAGE_MAP()

private:
    CStringList m_Options;
    CKeywordsGridCtrl m_grid;
};
